#include "report/QRCustomLabel.h"

#include "controls/SystemColors.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

TQRCustomLabel::TQRCustomLabel(TQRBand* band) : TQRPrintable(band) {}

void TQRCustomLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    FitToText();
}

void TQRCustomLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    FitToText();
}

QFont TQRCustomLabel::Font() const
{
    return m_parentFont ? Band()->Font : m_font;
}

QColor TQRCustomLabel::FontColor() const
{
    const QColor color = m_parentFont ? Band()->FontColor : m_fontColor;
    return color.isValid() ? color : SystemColors::WindowText();
}

void TQRCustomLabel::SetFont(const QFont& font, const QColor& color)
{
    m_font = font;
    m_fontColor = color;
    m_parentFont = false;
    FitToText();
}

void TQRCustomLabel::SetParentFont(bool parentFont)
{
    m_parentFont = parentFont;
    FitToText();
}

void TQRCustomLabel::FitToText()
{
    if (!m_autoSize)
        return;
    const QSize size = QRFonts::TextSize(m_caption, Font());
    if (m_alignment == taRightJustify)
        Left += Width - size.width();
    Width = size.width();
    Height = size.height();
}

QString TQRCustomLabel::PrintText()
{
    return m_caption;
}

void TQRCustomLabel::Print(TQRPrintContext& context, int x, int y)
{
    QString text = PrintText();
    emit OnPrint(this, text);
    if (text.isEmpty())
        return;

    const int scale = context.Scale;
    QFont font = QRFonts::CanvasFont(Font(), scale);
    const qreal ascent = QFontMetricsF(font).ascent();
    if (ShrinkToFit && !m_autoSize) {
        const QString measured = m_alignment == taRightJustify ? text + QLatin1Char(' ') : text;
        qreal now = QFontMetricsF(font).horizontalAdvance(measured);
        const qreal room = Width * scale;
        // Glyph widths do not scale exactly with the size: step down until the text fits.
        for (int step = 0; now > room && step < 8; ++step) {
            font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / now)));
            now = QFontMetricsF(font).horizontalAdvance(measured);
        }
    }
    const QFontMetricsF metrics(font);

    // The box, in report units.
    int boxLeft = x + Left;
    int boxWidth = Width;
    if (AlignToBand) {
        switch (m_alignment) {
        case taLeftJustify: boxLeft = x; break;
        case taRightJustify: {
            const int w = QRFonts::TextSize(QStringLiteral("W"), Font()).width();
            boxLeft = x + context.PageWidth - Width - w;
            boxWidth = Width + w;
            break;
        }
        case taCenter: boxLeft = x + (context.PageWidth - Width) / 2; break;
        }
    }
    const int boxTop = y + Top;

    // The text's left edge, in canvas units.
    qreal textLeft = boxLeft * scale;
    QString shown = text;
    if (m_alignment == taRightJustify) {
        shown += QLatin1Char(' ');
        textLeft = (boxLeft + boxWidth) * scale - metrics.horizontalAdvance(shown);
    } else if (m_alignment == taCenter) {
        textLeft = (boxLeft + boxWidth / 2) * scale - metrics.horizontalAdvance(text) / 2;
        shown = text;
    }
    const qreal textWidth = metrics.horizontalAdvance(shown);
    const QRectF textRect(textLeft, boxTop * scale + ascent - metrics.ascent(), textWidth,
                          metrics.height());

    QPainter& canvas = *context.Canvas;
    canvas.save();
    if (!m_autoSize)
        canvas.setClipRect(
            QRectF(boxLeft * scale, boxTop * scale, boxWidth * scale, Height * scale),
            Qt::IntersectClip);
    if (!Transparent)
        canvas.fillRect(textRect, Color.isValid() ? Color : Band()->Color);
    canvas.setFont(font);
    canvas.setPen(FontColor());
    // A shrunk text keeps the baseline of the label's own font.
    canvas.drawText(QPointF(textLeft, boxTop * scale + ascent), shown);
    canvas.restore();

    if (context.Texts) {
        const QRectF box(textRect.left() / scale, textRect.top() / scale,
                         (shown == text ? textWidth : metrics.horizontalAdvance(text)) / scale,
                         textRect.height() / scale);
        context.Texts->append({context.PageNumber, box.toAlignedRect(), text, objectName()});
    }
}
