#include "report/QRCustomLabel.h"

#include "controls/SystemColors.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRPageRecording.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <memory>

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

namespace {
// What a label prints, taken when the layout reaches it: enough to place and paint the text
// later, when its page is played, without the label.
struct TLabelShot {
    QString Text;
    QString Shown; // right-aligned text keeps a space's width from the box's right edge
    QFont Font;    // the canvas font
    QFontMetricsF Metrics;
    int Scale;
    int BoxLeft, BoxTop, BoxWidth, BoxHeight; // report units
    int Room;                                 // the label's own width: what a shrunk text fits
    TAlignment Alignment;
    bool AutoSize;
    bool ShrinkToFit;
    QColor Fill; // invalid: none
    QColor Pen;
};

// Places the text of `shot` and paints it on `canvas` (when given); returns the text's own
// rectangle in report units.
QRect PlaceAndPaint(const TLabelShot& shot, QPainter* canvas)
{
    const int scale = shot.Scale;
    QFont font = shot.Font;
    const qreal ascent = shot.Metrics.ascent();
    qreal shownWidth = shot.Metrics.horizontalAdvance(shot.Shown);
    std::optional<QFontMetricsF> shrunk;
    if (shot.ShrinkToFit && !shot.AutoSize) {
        qreal now = shownWidth;
        const qreal room = shot.Room * scale;
        // Glyph widths do not scale exactly with the size: step down until the text fits.
        for (int step = 0; now > room && step < 8; ++step) {
            font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / now)));
            shrunk.emplace(font);
            now = shrunk->horizontalAdvance(shot.Shown);
        }
        if (shrunk)
            shownWidth = now;
    }
    const QFontMetricsF& metrics = shrunk ? *shrunk : shot.Metrics;

    // The text's left edge, in canvas units.
    qreal textLeft = shot.BoxLeft * scale;
    if (shot.Alignment == taRightJustify)
        textLeft = (shot.BoxLeft + shot.BoxWidth) * scale - shownWidth;
    else if (shot.Alignment == taCenter)
        textLeft = (shot.BoxLeft + shot.BoxWidth / 2) * scale - shownWidth / 2;
    const QRectF textRect(textLeft, shot.BoxTop * scale + ascent - metrics.ascent(), shownWidth,
                          metrics.height());

    if (canvas) {
        // Every state change goes into the page's picture, and recording and playing it costs
        // more than the text: the clip is set only where the text would reach past its box,
        // and the font only when it differs from the canvas's.
        const QRectF box(shot.BoxLeft * scale, shot.BoxTop * scale, shot.BoxWidth * scale,
                         shot.BoxHeight * scale);
        const bool clip = !shot.AutoSize && !box.contains(textRect);
        const QFont canvasFont = canvas->font();
        const QPen canvasPen = canvas->pen();
        if (clip) {
            canvas->save();
            canvas->setClipRect(box, Qt::IntersectClip);
        }
        if (shot.Fill.isValid())
            canvas->fillRect(textRect, shot.Fill);
        if (canvasFont != font)
            canvas->setFont(font);
        canvas->setPen(shot.Pen);
        // A shrunk text keeps the baseline of the label's own font.
        canvas->drawText(QPointF(textLeft, shot.BoxTop * scale + ascent), shot.Shown);
        if (clip) {
            canvas->restore();
        } else {
            // The canvas as it was, for what paints after the label.
            if (canvasFont != font)
                canvas->setFont(canvasFont);
            canvas->setPen(canvasPen);
        }
    }

    const qreal width = shot.Shown == shot.Text ? shownWidth : metrics.horizontalAdvance(shot.Text);
    return QRectF(textRect.left() / scale, textRect.top() / scale, width / scale,
                  textRect.height() / scale)
        .toAlignedRect();
}
} // namespace

void TQRCustomLabel::Print(TQRPrintContext& context, int x, int y)
{
    QString text = PrintText();
    emit OnPrint(this, text);
    if (text.isEmpty())
        return;

    const int scale = context.Scale;
    const QFontMetricsF& metrics = CanvasMetrics(Font(), scale);

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
    const QString shown = m_alignment == taRightJustify ? text + QLatin1Char(' ') : text;
    auto shot = std::make_shared<const TLabelShot>(TLabelShot{
        text, shown, m_canvasFont, metrics, scale, boxLeft, y + Top, boxWidth, Height, Width,
        m_alignment, m_autoSize, ShrinkToFit,
        Transparent ? QColor() : (Color.isValid() ? Color : Band()->Color), FontColor()});

    // On a page recording the text is placed and painted when its page is played, and its
    // rectangle measured when asked for: a page no one looks at costs no text shaping.
    if (TQRPageRecording* page = TQRPageRecording::Of(*context.Canvas)) {
        page->PaintLater(*context.Canvas,
                         [shot](QPainter& canvas) { PlaceAndPaint(*shot, &canvas); });
        if (context.Texts)
            context.Texts->Add(context.PageNumber, text, objectName(),
                               [shot] { return PlaceAndPaint(*shot, nullptr); });
        return;
    }
    const QRect box = PlaceAndPaint(*shot, context.Canvas);
    if (context.Texts)
        context.Texts->Add(context.PageNumber, text, objectName(), box);
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
