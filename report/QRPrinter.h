// The page store and printer driver shared by every report and every preview control: one
// instance per process (TQRPrinter::Instance()). A report's layout records each page at four
// canvas units per report unit, in memory (TQRPageRecording); a page becomes a QPicture when it
// is first asked for, and the preview control and the printer play the pictures back stretched
// onto their targets. Making the pictures of pages no one looks at would cost more than the
// layout itself.
//
// Units: every size and offset here is in screen pixels at 96 per inch (one report unit each).
// Page numbers start at 1.
#pragma once

#include <QList>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <QPoint>
#include <QSize>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPrinter;
class QRectF;
class TQRPageRecording;
class TQRPreviewHook;
class TQRProgress;

enum class TQRPrinterState { Idle, Generating, Ready };

class TQRPrinter : public QObject {
    Q_OBJECT

public:
    // Canvas units per report unit in the recorded page pictures.
    static constexpr int CanvasScale = 4;

    static TQRPrinter& Instance();

    TQRPrinterState State() const;

    // The recorded pages (valid while Ready); PageNumber() is the current page, the one a
    // preview shows.
    int PageCount() const;
    int PageNumber() const;
    const QPicture* Page(int pageNumber) const; // nullptr when out of range
    const QPicture* CurrentPage() const;
    // Selects the current page; ignored unless Ready and 1 <= pageNumber <= PageCount().
    void SelectPage(int pageNumber);

    // Page geometry read from the current printer when a document or a page begins.
    QSize PageSize() const;        // printable area
    QSize PaperSize() const;       // whole sheet
    QPoint PrintingOffset() const; // top-left of the printable area on the sheet
    // False when no printer is installed (and no output file chosen) or it cannot be queried.
    bool PrinterOK() const;
    // The page the layout fills and the pictures hold: the printable area, or, for a document
    // begun with a least page size the printable area does not hold, the printable area
    // enlarged in proportion until it holds that size. Previews and printing shrink it back
    // onto the printable area, so such a document prints whole on the paper, smaller.
    QSize LayoutSize() const;

    // The shared printer: the system's default printer until printer setup chooses another
    // printer or a PDF file, which then stays chosen until the program ends.
    QPrinter& Printer();

    // Texts the owner sets before a report runs.
    QString Title;         // the report's title, which the progress messages end with
    QString DocumentTitle; // the print job's name and the title a PDF file carries; empty: Title
    QString PreviewCaption;
    QString ProgressCaption;
    bool ShowProgress = true; // copied from the report when layout starts
    // The printing range; 0 and 0 mean every page.
    int FirstPage = 0;
    int LastPage = 0;

    // Cancel flag: set by the progress window's Cancel, read by layout and printing.
    bool Cancelled() const;
    void Cancel();
    void ClearCancel();

    // The preview hook shows the stored pages and returns when the user closes the preview; a
    // TQRPreviewHook installs one for its lifetime. ShowPreview runs it: false when none is
    // installed.
    bool HasPreviewHook() const { return !m_previewHooks.empty(); }
    bool ShowPreview();

    // Document building, used by the report layout. BeginDoc discards a finished document,
    // measures the page and starts page 1 (`leastPage`, in report units, when valid, is the
    // least layout size of this document: see LayoutSize()); Canvas() paints the current page
    // picture; NewPage closes it and starts the next; EndDoc closes the last page, becomes Ready
    // and selects page 1.
    void BeginDoc(QSize leastPage = QSize());
    QPainter* Canvas();
    void NewPage();
    void EndDoc();
    // After EndDoc: paints on stored page `pageNumber` over what it holds (the layout's fields
    // that wait for the page total), in a picture of its own that DrawPage plays over the page
    // (Page() is the page without it). Nothing when not Ready or the page does not exist.
    void AmendPage(int pageNumber, const std::function<void(QPainter&)>& paint);
    // Discards every page: Idle, printing range cleared.
    void Cleanup();

    // Prints the stored pages on Printer(), with the progress window; Cancel aborts the job.
    // A chosen file is written by Qt's PDF engine; for a printer the queue is checked first
    // (it exists, takes jobs, is not stopped) and the pages go to it as one PDF job through
    // libcups, whose job id tells that the queue took it. Returns true when the job went out
    // or the user cancelled it; false, with `problem` set to what the user should read
    // (naming the printer and what to do), when nothing was printed. Does nothing and returns
    // false while a print is already running.
    bool Print(QString* problem = nullptr);
    // The id of the last job handed to a print queue by Print(); 0 when it wrote a file.
    int LastJob() const { return m_lastJob; }

    // Plays a stored page stretched over `target` (in the painter's coordinates); nothing when
    // the page does not exist. A picture's fonts are rescaled by the ratio of the device's
    // resolution to the picture's, so on a device of PlaybackResolution dots per inch (printers
    // are set to it before a job) the page is played directly, as vectors; on any other device
    // it is played onto an image of that resolution first.
    void DrawPage(QPainter& painter, int pageNumber, const QRectF& target) const;

    // Plays the stored pages in the printing range onto `target`, one sheet each, stretched over
    // its printable area, without progress window or message processing; `target` may be any
    // printer (a PDF file, for instance), not only Printer(). The job is named DocumentTitle
    // (Title when empty), which a PDF file carries as its title. Returns
    // false when the pages cannot be played (not Ready, or the printer refuses the job).
    bool PrintTo(QPrinter& target);

    // True when a printer is installed or an output file is chosen.
    bool PrinterInstalled();

    // Before and after a layout: applies the report's orientation and, when given, its paper
    // size (only a size the printer lists as supported), and restores the previous paper.
    // Throws calc::Exception("Printer driver error") when the printer is invalid or refuses the
    // orientation or the paper. Having no printer is not an error: nothing is applied.
    void ApplyPageSettings(QPageLayout::Orientation orientation,
                           const std::optional<QPageSize>& paper);
    void RestorePageSettings();

    // True between Print()'s begin and end of a job on Printer().
    bool Printing() const { return m_printing; }

    // The screen's pixels per inch in report units.
    static constexpr double ScreenPixelsPerInch = 96.0;
    // The dots per inch of a device the pages are played onto: that of the recorded pictures.
    // Printing stays vector output at this setting; only the device's coordinates change.
    static constexpr int PlaybackResolution = 96;

signals:
    // The current page changed (SelectPage, EndDoc, Cleanup).
    void PageChanged();

private:
    TQRPrinter();
    ~TQRPrinter() override;
    static void Destroy(); // frees the instance with the application

    void MeasurePage();
    void EnsureMeasured() const;
    void MeasureFallback(int offset);
    void MeasureLayout(); // the layout size of the page just measured
    void StartPicture();
    void FinishPicture();
    bool InPrintingRange(int pageNumber) const;
    // Plays the pages in the printing range onto `target`, stepping `progress`, stopping when
    // the cancel flag is set. False when the painter cannot begin or end (a file that cannot
    // be written).
    bool PlayPages(QPrinter& target, TQRProgress* progress);
    QString PdfTitle() const;
    // The report as messages name it: "the Amortization Schedule" ("The ..." to start one).
    QString ReportName(bool sentenceStart) const;
    bool PrintToQueue(const QString& queue, TQRProgress& progress, QString& problem);

    std::unique_ptr<QPrinter> m_printer;
    TQRPrinterState m_state = TQRPrinterState::Idle;
    // A finished page: its recording until its picture is made.
    struct TPage {
        std::unique_ptr<TQRPageRecording> Recording;
        QRect Bounds; // in canvas units
        std::optional<QPicture> Picture;
    };
    mutable std::deque<TPage> m_pages; // a deque: pictures handed out stay where they are
    QList<QPicture> m_overlays;        // what AmendPage added to each page; empty pictures: nothing
    const QPicture* Overlay(int pageNumber) const; // nullptr for none
    QRect PageBounds() const;                      // a page picture's rectangle, in canvas units
    std::unique_ptr<TQRPageRecording> m_current;
    std::unique_ptr<QPainter> m_canvas;
    int m_pageNumber = 0;
    QSize m_pageSize;
    QSize m_layoutSize;
    QSize m_leastPage; // of the document being built or shown
    QSize m_paperSize;
    QPoint m_offset;
    bool m_printerOK = false;
    bool m_measured = false;
    bool m_cancelled = false;
    bool m_printing = false;
    int m_lastJob = 0;
    std::optional<QPageSize> m_savedPageSize;
    // The installed preview hooks, the newest last: that one is in force.
    std::vector<TQRPreviewHook*> m_previewHooks;
    friend class TQRPreviewHook;
};

// Installs `hook` as the page store's preview hook while it lives; the hook in force before
// comes back afterwards. Hooks may end in any order: the newest one still installed is in force.
class TQRPreviewHook {
public:
    explicit TQRPreviewHook(std::function<void()> hook);
    ~TQRPreviewHook();
    TQRPreviewHook(const TQRPreviewHook&) = delete;
    TQRPreviewHook& operator=(const TQRPreviewHook&) = delete;

    // Runs the hook installed before this one; false when there is none.
    bool RunPrevious() const;

private:
    friend class TQRPrinter;
    std::function<void()> m_hook;
};
