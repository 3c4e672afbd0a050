// The "Offer Comparison" report: one page with the date, the offers' inputs and figures side
// by side (rows are figures, columns are offers, a last column names the lowest offer in
// words), the break-even of every pair and the notes that explain them. The columns follow
// the page width, so the page fits Letter, A4 and A5 alike; the texts come from the owner's
// TOfferReportSource (TOfferComparison::Source()).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class TQRBand;
class TQRLabel;
class TQRReport;
class TQRSysData;

// What the report prints, as texts.
struct TOfferReportSource {
    struct Row {
        QString Caption;   // "Annual Percentage Rate (APR)"
        QStringList Texts; // one per offer
        QString Lowest;    // "Offer 2" on a marked row, else empty
    };
    QStringList Offers; // the column headings, 2 to 4: "Offer 1" ...
    std::vector<Row> Inputs;
    std::vector<Row> Figures;
    std::vector<std::pair<QString, QString>> BreakEvens; // caption, text
    QStringList Notes;
};

class TQROfferComparison : public QObject {
    Q_OBJECT

public:
    explicit TQROfferComparison(QObject* parent = nullptr);

    static constexpr const char* ProgressCaption = "Preparing Offer Comparison";
    static constexpr const char* Title = "Offer Comparison";
    static constexpr int MaxColumns = 4;

    void SetSource(TOfferReportSource source) { m_source = std::move(source); }
    TQRReport* Report() const { return Rep; }

    // Lays the report out and shows it in the preview (the page store's preview hook).
    void Preview();
    // Lays the report out and prints it to the PDF file `path` on the shared printer's paper,
    // with no progress window and no preview. False when the file cannot be written or the
    // page store is busy with another report.
    bool PrintToPdf(const QString& path);

private:
    // One printed line of the table.
    enum class TLine { Heading, Columns, Row, Pair, Note };
    struct TPrintedLine {
        TLine Kind;
        std::size_t Index; // into the source's list of that kind
        QString Text;      // Heading: its caption
    };

    void PlaceColumns();
    void RepBeforePrint(bool& printReport);
    void RepNeedData(bool& moreData);
    void DetailBeforePrint(bool& printBand);

    TQRReport* Rep;
    TQRBand* TitleBand;
    TQRBand* Detail;
    TQRBand* PageFooter;
    TQRLabel* lblTitle;
    TQRSysData* QRDateTime;
    TQRLabel* lblCaption;            // a row's caption
    std::vector<TQRLabel*> m_values; // a row's texts, one per offer column
    TQRLabel* lblLowest;             // the "Lowest" column
    TQRLabel* lblWide;               // headings, break-even texts and notes
    TQRLabel* lblFooter;             // the page footer's title
    TQRLabel* lblVersion;            // the page footer's program and version

    TOfferReportSource m_source;
    std::vector<TPrintedLine> m_lines;
    std::size_t m_next = 0;    // the next line OnNeedData supplies
    std::size_t m_current = 0; // the line supplied last
    int m_valuesLeft = 0;      // where the offers' columns start
    int m_right = 0;           // the table's right edge
    int m_width = 0;           // the printed width
    int m_fontHeight = 12;     // the table's font (character height, report units)
};
