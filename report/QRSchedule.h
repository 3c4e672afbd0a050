// The "Amortization Schedule" report: a title band with the loan and its disclosure figures, a
// column header repeated on every page, one detail row per payment, a footer after each year
// with that year's sums, a summary band with the totals and a page footer "Page N of M". The
// column positions follow the page width, so the report fits Letter, A4 and A5 alike.
#pragma once

#include "calc/Disclosure.h"

#include <QObject>
#include <QString>
#include <array>
#include <utility>
#include <vector>

class TQRBand;
class TQRLabel;
class TQRReport;
class TQRSysData;

// What the report prints: the captions and texts of the two lists of figures, and the
// schedule with its totals (money in cents). With extra payments, ExtraFields holds their
// figures (payoff month, payments and interest saved ...), Note the line saying the disclosure
// figures are the contract's, and Figures' rows and years are the schedule as paid, each row's
// `extra` in its own column; the totals are those of the rows printed.
struct TScheduleSource {
    std::vector<std::pair<QString, QString>> LoanFields;
    std::vector<std::pair<QString, QString>> DisclosureFields;
    std::vector<std::pair<QString, QString>> ExtraFields; // empty: no extra payments
    QString Note;
    calc::Disclosure Figures;
};

class TQRSchedule : public QObject {
    Q_OBJECT

public:
    explicit TQRSchedule(QObject* parent = nullptr);

    static constexpr const char* ProgressCaption = "Preparing Amortization Schedule";
    static constexpr const char* Title = "Amortization Schedule";

    void SetSource(TScheduleSource source) { m_source = std::move(source); }
    TQRReport* Report() const { return Rep; }

    // Lays the report out and shows it in the preview (the page store's preview hook).
    void Preview();
    // Lays the report out and prints it to the PDF file `path` on the shared printer's paper,
    // with no progress window and no preview. False when the file cannot be written or the
    // page store is busy with another report.
    bool PrintToPdf(const QString& path);

private:
    // One printed row: number (or caption), payment, interest, principal, extra, insurance,
    // balance.
    using TRow = std::array<TQRLabel*, 7>;

    TRow MakeRow(TQRBand* band, const char* name, bool bold);
    void PlaceColumns(bool mi, bool extra);
    void SetRow(const TRow& row, const QString& first, calc::Cents payment, calc::Cents interest,
                calc::Cents principal, calc::Cents extra, calc::Cents mi, const QString& balance);
    void RepBeforePrint(bool& printReport);
    void RepNeedData(bool& moreData);

    TQRReport* Rep;
    TQRBand* TitleBand;
    TQRBand* ColumnHeader;
    TQRBand* Detail;
    TQRBand* YearFooter;
    TQRBand* Summary;
    TQRBand* PageFooter;
    TQRLabel* lblTitle;
    TQRSysData* QRDateTime;
    std::vector<std::pair<TQRLabel*, TQRLabel*>> m_figureLabels; // loan fields, then disclosure
    std::vector<std::pair<TQRLabel*, TQRLabel*>> m_extraLabels;  // the extra payments' figures
    TQRLabel* lblNote;                                           // the contract's figures' note
    TRow m_header{}, m_detail{}, m_year{}, m_total{};
    TQRLabel* lblPageTitle;
    TQRSysData* QRPageNumber;

    TScheduleSource m_source;
    std::size_t m_next = 0;    // the next row OnNeedData supplies
    std::size_t m_current = 0; // the row supplied last
    std::size_t m_printed = 0; // the row printed last
};
