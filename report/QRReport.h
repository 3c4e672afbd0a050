// A banded report: its settings, its bands in the order they were created, the events through
// which its owner supplies rows and adjusts bands, and the layout that records the pages in the
// page store (TQRPrinter). Positions are report units (1/96 inch); pages count from 1.
#pragma once

#include "report/QRFrame.h"
#include "report/QRPrintable.h"
#include "report/QRTypes.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPageLayout>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QPageSize;
class TQRBand;
class TQRLayout;
class TQRProgress;

// Where a band went, in report units.
struct TQRBandPlacement {
    const TQRBand* Band = nullptr;
    int Page = 0;
    QRect Rect; // x, y, column width, height
};

class TQRReport : public QObject {
    Q_OBJECT

public:
    explicit TQRReport(QObject* parent = nullptr);
    ~TQRReport() override;

    QString ReportTitle;   // the end of the progress messages
    QString DocumentTitle; // the print job's name and a PDF file's title; empty: ReportTitle
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    TQRPaperSize PaperSize = qrpDefault;
    int PaperWidth = 0;  // tenths of a millimetre, with qrpCustom
    int PaperLength = 0; // tenths of a millimetre, with qrpCustom
    int Columns = 1;
    double LeftMarginInches = 0;
    double ColumnMarginInches = 0;
    TQRFrame PageFrame;
    bool TitleBeforeHeader = false;
    bool RestartData = true;         // no bound data source: no effect
    bool DisplayPrintDialog = false; // not used by preview and print here
    bool ShowProgress = true;
    // The least page the report is laid out on, in report units; empty: none. A report that
    // must print whole on one sheet gives its own size: on a smaller printable area it is laid
    // out on a proportionally larger page and printed scaled down to fit.
    QSize LeastPage;
    // The clock the report's date and time fields read; tests pin it.
    std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };

    double LeftMarginMM() const { return LeftMarginInches * 25.4; }
    void SetLeftMarginMM(double mm) { LeftMarginInches = mm / 25.4; }
    double ColumnMarginMM() const { return ColumnMarginInches * 25.4; }
    void SetColumnMarginMM(double mm) { ColumnMarginInches = mm / 25.4; }

    // The paper `size` stands for (none for qrpDefault; qrpCustom from PaperWidth/Length).
    std::optional<QPageSize> PageSizeFor(TQRPaperSize size) const;

    const QList<TQRBand*>& Bands() const { return m_bands; }
    void AddBand(TQRBand* band) { m_bands.append(band); }

    // Lays the report out (unless the page store already holds pages), shows the pages through
    // the store's preview hook unless the layout was cancelled, and discards the pages it laid
    // out, also when an error escapes.
    void Preview();
    // Lays the report out into the page store, which is Ready afterwards (the caller discards
    // the pages), or Idle when BeforePrint refused to print. Returns false when nothing is to
    // be shown: refused or cancelled.
    bool Prepare();
    // Lays the report out and prints it to the PDF file `path` with no window, the store's
    // printer and this report's progress setting put back afterwards. False when the store
    // is busy or nothing was printed.
    bool PrintToPdf(const QString& path, const QString& progressCaption);

    // While laying out: the current page, the number of detail rows printed and the running
    // number of the row being printed.
    int PageNumber() const { return m_pageNumber; }
    int DetailCount() const { return m_detailCount; }
    int DetailNo() const { return m_detailNo; }
    // The number of pages, known once the layout has ended (0 before): page-number fields with
    // a page total print then.
    int PageTotal() const { return m_pageTotal; }

    // Facts of the last layout: every band printed, and every text.
    const QList<TQRBandPlacement>& Placements() const { return m_placements; }
    const QList<TQRPrintedText>& PrintedTexts() const { return m_texts.List(); }

signals:
    // When the layout starts; set printReport to false to print nothing.
    void BeforePrint(bool& printReport);
    void AfterPrint();
    void BeforeDetail();
    void AfterDetail();
    void OnStartPage();
    void OnEndPage();
    // Before each detail row: leave or set moreData to true to print one (it comes preset to
    // true on the first request of a report, false on later ones).
    void OnNeedData(bool& moreData);
    // May veto a row OnNeedData supplied.
    void OnFilter(bool& printRecord);

private:
    void LayOut();
    QList<TQRBand*> BandsOf(TQRBandType type) const;
    bool HasNeedData() const;
    bool HasFilter() const;
    void PrintBands(TQRBandType type);
    void PrintBand(TQRBand* band);
    void PrintFooters();
    void StartBandsOfPage();
    void FinishPage(bool lastPage);
    void NewPage();
    void NewColumn();
    void PrintPageFrame();
    void PrintGroupBands(TQRBandType type, bool keyed);
    void PrintPageTotals();

    QList<TQRBand*> m_bands;
    TQRLayout* m_layout = nullptr;     // during a layout
    TQRProgress* m_progress = nullptr; // during a layout
    int m_pageNumber = 0;
    int m_detailCount = 0;
    int m_detailNo = 0;
    QList<TQRBandPlacement> m_placements;
    TQRPrintedTexts m_texts;
    int m_pageTotal = 0;
    // The key of the group each keyed band printed for, during a layout.
    QHash<const TQRBand*, QVariant> m_groupKeys;
    // Fields waiting for the page total: the control, its page and its band's corner.
    struct TDeferredField {
        TQRPrintable* Control;
        int Page;
        int X, Y, PageWidth;
    };
    QList<TDeferredField> m_deferred;
};
