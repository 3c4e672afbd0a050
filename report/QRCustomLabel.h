// The text controls of a band: the label and the system-data field share this base.
//
// AutoSize: whenever the text or the font changes, the box is fitted to the text as the font
// prints it; the left edge stays, or the right edge for right-aligned text. A fitted box is
// never clipped; with AutoSize off the text is clipped to the box.
#pragma once

#include "controls/Alignment.h"
#include "report/QRPrintable.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <optional>

class TQRCustomLabel : public TQRPrintable {
    Q_OBJECT

public:
    explicit TQRCustomLabel(TQRBand* band);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);

    // The font in force: the band's when ParentFont is on.
    QFont Font() const;
    QColor FontColor() const;
    // Sets the label's own font (ParentFont off) and fits the box when AutoSize is on.
    void SetFont(const QFont& font, const QColor& color = QColor());
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool parentFont);

    bool AlignToBand = false;
    // With AutoSize off: a text wider than the box prints in a font made smaller until it fits
    // (same baseline), so a long figure prints whole rather than clipped.
    bool ShrinkToFit = false;
    QColor Color;             // background; invalid: the band's colour
    bool Transparent = false; // false: the text's rectangle is filled with the background

    // The text this control prints now (the caption; a system-data field rebuilds it first).
    virtual QString PrintText();

    void Print(TQRPrintContext& context, int x, int y) override;

signals:
    // The text about to print; a handler may change it.
    void OnPrint(TQRCustomLabel* sender, QString& value);

protected:
    // Fits the box to the text when AutoSize is on.
    void FitToText();

private:
    // The canvas font of the font in force at `scale`, and its metrics, made again only when
    // that font changes: building a font and resolving its engine for every print costs more
    // than the text itself.
    const QFontMetricsF& CanvasMetrics(const QFont& report, int scale);

    QString m_caption;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    bool m_parentFont = true;
    QFont m_font;
    QColor m_fontColor;
    QFont m_metricsFor;
    int m_metricsScale = 0;
    QFont m_canvasFont;
    std::optional<QFontMetricsF> m_metrics;
};
