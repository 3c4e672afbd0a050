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
    const QFontMetricsF& canvasMetrics = CanvasMetrics(Font(), scale);
    QFont font = m_canvasFont;
    const qreal ascent = canvasMetrics.ascent();
    // What the text measures as it is shown: right-aligned text keeps a space's width from the
    // box's right edge.
    const QString shown = m_alignment == taRightJustify ? text + QLatin1Char(' ') : text;
    qreal shownWidth = canvasMetrics.horizontalAdvance(shown);
    std::optional<QFontMetricsF> shrunk;
    if (ShrinkToFit && !m_autoSize) {
        qreal now = shownWidth;
        const qreal room = Width * scale;
        // Glyph widths do not scale exactly with the size: step down until the text fits.
        for (int step = 0; now > room && step < 8; ++step) {
            font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / now)));
            shrunk.emplace(font);
            now = shrunk->horizontalAdvance(shown);
        }
        if (shrunk)
            shownWidth = now;
    }
    const QFontMetricsF& metrics = shrunk ? *shrunk : canvasMetrics;

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
    if (m_alignment == taRightJustify)
        textLeft = (boxLeft + boxWidth) * scale - shownWidth;
    else if (m_alignment == taCenter)
        textLeft = (boxLeft + boxWidth / 2) * scale - shownWidth / 2;
    const qreal textWidth = shownWidth;
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

const QFontMetricsF& TQRCustomLabel::CanvasMetrics(const QFont& report, int scale)
{
    if (!m_metrics || scale != m_metricsScale || report != m_metricsFor ||
        report.resolveMask() != m_metricsFor.resolveMask()) {
        m_metricsFor = report;
        m_metricsScale = scale;
        m_canvasFont = QRFonts::CanvasFont(report, scale);
        m_metrics.emplace(m_canvasFont);
    }
    return *m_metrics;
}
