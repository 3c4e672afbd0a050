// A control printed on a band: placed by Left, Top, Width, Height (report units) relative to
// the band's top-left corner.
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QPainter;
class TQRBand;
class TQRReport;

// A text as it went onto a page, in report units: what the layout tests and the command line
// read back without parsing the pictures.
struct TQRPrintedText {
    int Page = 0;
    QRect Box; // the text's own rectangle on the page
    QString Text;
    QString Name; // the control's objectName
};

// The texts of a layout. A text's rectangle may be measured only when the list is first read:
// measuring every text of a long report costs more than laying it out.
class TQRPrintedTexts {
public:
    void Add(int page, const QString& text, const QString& name, const QRect& box);
    void Add(int page, const QString& text, const QString& name, std::function<QRect()> measure);
    const QList<TQRPrintedText>& List() const;
    void Clear();

private:
    mutable QList<TQRPrintedText> m_texts;
    mutable std::vector<std::pair<qsizetype, std::function<QRect()>>> m_unmeasured;
};

// What a control needs to print itself.
struct TQRPrintContext {
    QPainter* Canvas = nullptr;
    const TQRReport* Report = nullptr;
    int Scale = 4;     // canvas units per report unit
    int PageWidth = 0; // report units
    int PageNumber = 1;
    TQRPrintedTexts* Texts = nullptr;
};

class TQRPrintable : public QObject {
    Q_OBJECT

public:
    // Adds the control to `band`, after the controls already there.
    explicit TQRPrintable(TQRBand* band);

    TQRBand* Band() const { return m_band; }
    QRect BoundsRect() const { return {Left, Top, Width, Height}; }
    void SetBounds(int left, int top, int width, int height);

    int Left = 0;
    int Top = 0;
    int Width = 65;
    int Height = 17;
    bool Visible = true;

    // Prints the control with the band's top-left corner at (x, y) report units.
    virtual void Print(TQRPrintContext& context, int x, int y) = 0;

private:
    TQRBand* m_band;
};
