#include "report/QRPrinter.h"

#include "calc/Errors.h"
#include "platform/Application.h"
#include "report/PrintQueue.h"
#include "report/QRInputBlock.h"
#include "report/QRPageRecording.h"
#include "report/QRProgress.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRectF>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

namespace {
// The page assumed when there is no printer to ask: 4672 x 6752 at 600 per inch.
constexpr double FallbackWidthInches = 4672.0 / 600.0;
constexpr double FallbackHeightInches = 6752.0 / 600.0;
constexpr int OffsetNoPrinter = 5;
constexpr int OffsetQueryFailed = 20;

TQRPrinter* instance = nullptr;

[[noreturn]] void PrinterDriverError()
{
    throw calc::Exception("Printer driver error");
}
} // namespace

TQRPrinter& TQRPrinter::Instance()
{
    if (!instance) {
        instance = new TQRPrinter;
        // Freed with the application, while the printing system is still there.
        qAddPostRoutine(&TQRPrinter::Destroy);
    }
    return *instance;
}

void TQRPrinter::Destroy()
{
    delete instance;
    instance = nullptr;
}

TQRPrinter::TQRPrinter()
{
    setObjectName(QStringLiteral("QRPrinter"));
    // The page is measured when first asked for: asking the printing system for its printers
    // costs tens of milliseconds, which the program's start should not pay.
}

TQRPrinter::~TQRPrinter()
{
    if (m_canvas)
        m_canvas->end();
}

TQRPrinterState TQRPrinter::State() const
{
    return m_state;
}

int TQRPrinter::PageCount() const
{
    return m_state == TQRPrinterState::Idle ? 0
                                            : static_cast<int>(m_pages.size()) +
                                                  (m_state == TQRPrinterState::Generating ? 1 : 0);
}

int TQRPrinter::PageNumber() const
{
    return m_pageNumber;
}

const QPicture* TQRPrinter::Page(int pageNumber) const
{
    if (pageNumber < 1 || pageNumber > static_cast<int>(m_pages.size()))
        return nullptr;
    TPage& page = m_pages[pageNumber - 1];
    if (!page.Picture) {
        page.Picture = page.Recording->ToPicture(page.Bounds);
        page.Recording.reset();
    }
    return &*page.Picture;
}

QRect TQRPrinter::PageBounds() const
{
    return QRect(0, 0, m_layoutSize.width() * CanvasScale, m_layoutSize.height() * CanvasScale);
}

const QPicture* TQRPrinter::CurrentPage() const
{
    return m_state == TQRPrinterState::Ready ? Page(m_pageNumber) : nullptr;
}

void TQRPrinter::SelectPage(int pageNumber)
{
    if (m_state != TQRPrinterState::Ready || pageNumber < 1 ||
        pageNumber > static_cast<int>(m_pages.size()))
        return;
    if (pageNumber == m_pageNumber)
        return;
    m_pageNumber = pageNumber;
    emit PageChanged();
}

QSize TQRPrinter::PageSize() const
{
    EnsureMeasured();
    return m_pageSize;
}

QSize TQRPrinter::LayoutSize() const
{
    EnsureMeasured();
    return m_layoutSize;
}

QSize TQRPrinter::PaperSize() const
{
    EnsureMeasured();
    return m_paperSize;
}

QPoint TQRPrinter::PrintingOffset() const
{
    EnsureMeasured();
    return m_offset;
}

bool TQRPrinter::PrinterOK() const
{
    EnsureMeasured();
    return m_printerOK;
}

QPrinter& TQRPrinter::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool TQRPrinter::PrinterInstalled()
{
    return !QPrinterInfo::availablePrinters().isEmpty() || !Printer().outputFileName().isEmpty();
}

bool TQRPrinter::Cancelled() const
{
    return m_cancelled;
}

void TQRPrinter::Cancel()
{
    m_cancelled = true;
}

void TQRPrinter::ClearCancel()
{
    m_cancelled = false;
}

void TQRPrinter::EnsureMeasured() const
{
    // The one instance is never const itself; only the accessors are.
    if (!m_measured)
        const_cast<TQRPrinter*>(this)->MeasurePage();
}

void TQRPrinter::MeasureFallback(int offset)
{
    const QSizeF page(FallbackWidthInches * ScreenPixelsPerInch,
                      FallbackHeightInches * ScreenPixelsPerInch);
    m_pageSize = page.toSize();
    m_paperSize = (page * 1.05).toSize();
    m_offset = QPoint(offset, offset);
    m_printerOK = false;
    MeasureLayout();
}

void TQRPrinter::MeasureLayout()
{
    m_layoutSize = m_pageSize;
    if (!m_leastPage.isValid() || m_pageSize.isEmpty())
        return;
    // One factor for both directions, so that the layout keeps the printable area's shape
    // and fills it whole once shrunk back.
    const double factor = std::max({1.0, double(m_leastPage.width()) / m_pageSize.width(),
                                    double(m_leastPage.height()) / m_pageSize.height()});
    if (factor > 1.0)
        m_layoutSize = QSize(static_cast<int>(std::ceil(m_pageSize.width() * factor)),
                             static_cast<int>(std::ceil(m_pageSize.height() * factor)));
}

void TQRPrinter::MeasurePage()
{
    m_measured = true;
    if (!PrinterInstalled()) {
        MeasureFallback(OffsetNoPrinter);
        return;
    }
    QPrinter& printer = Printer();
    const int dpi = printer.resolution();
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    if (!printer.isValid() || dpi <= 0 || page.isEmpty()) {
        MeasureFallback(OffsetQueryFailed);
        return;
    }
    const auto toScreen = [dpi](double devicePixels) {
        return static_cast<int>(std::lround(devicePixels / dpi * ScreenPixelsPerInch));
    };
    m_pageSize = QSize(toScreen(page.width()), toScreen(page.height()));
    if (paper.isEmpty()) {
        m_paperSize = m_pageSize;
        m_offset = QPoint(0, 0);
    } else {
        m_paperSize = QSize(toScreen(paper.width()), toScreen(paper.height()));
        m_offset = QPoint(toScreen(page.left() - paper.left()), toScreen(page.top() - paper.top()));
    }
    m_printerOK = true;
    MeasureLayout();
}

void TQRPrinter::ApplyPageSettings(QPageLayout::Orientation orientation,
                                   const std::optional<QPageSize>& paper)
{
    m_savedPageSize.reset();
    if (!PrinterInstalled())
        return;
    QPrinter& printer = Printer();
    if (!printer.isValid() || !printer.setPageOrientation(orientation))
        PrinterDriverError();
    if (!paper)
        return;
    // A file takes any paper; a printer only the ones its driver lists.
    bool supported = !printer.outputFileName().isEmpty();
    if (!supported) {
        const QPrinterInfo info(printer);
        for (const QPageSize& size : info.supportedPageSizes())
            supported = supported || size.isEquivalentTo(*paper);
    }
    if (!supported)
        return;
    const QPageSize previous = printer.pageLayout().pageSize();
    if (!printer.setPageSize(*paper))
        PrinterDriverError();
    m_savedPageSize = previous;
}

void TQRPrinter::RestorePageSettings()
{
    if (m_savedPageSize && m_printer)
        m_printer->setPageSize(*m_savedPageSize);
    m_savedPageSize.reset();
}

void TQRPrinter::StartPicture()
{
    m_current = std::make_unique<TQRPageRecording>();
    m_canvas = std::make_unique<QPainter>(m_current.get());
    // The page's own clip, recorded in the picture: a clipped label restores the canvas to it
    // rather than to no clip at all, which on playback would switch off the clip of the
    // target and let the rest of the page spill past its edges.
    m_canvas->setClipRect(PageBounds());
}

void TQRPrinter::FinishPicture()
{
    if (!m_canvas)
        return;
    m_canvas->end();
    m_canvas.reset();
    m_pages.push_back({std::move(m_current), PageBounds(), std::nullopt});
}

void TQRPrinter::BeginDoc(QSize leastPage)
{
    if (m_state != TQRPrinterState::Idle) {
        if (m_canvas) {
            m_canvas->end();
            m_canvas.reset();
        }
        m_pages.clear();
        m_overlays.clear();
    }
    m_leastPage = leastPage;
    MeasurePage();
    m_state = TQRPrinterState::Generating;
    m_pageNumber = 1;
    StartPicture();
}

QPainter* TQRPrinter::Canvas()
{
    return m_canvas.get();
}

void TQRPrinter::NewPage()
{
    if (m_state != TQRPrinterState::Generating)
        return;
    FinishPicture();
    MeasurePage();
    StartPicture();
    m_pageNumber = static_cast<int>(m_pages.size()) + 1;
}

void TQRPrinter::EndDoc()
{
    if (m_state != TQRPrinterState::Generating)
        return;
    FinishPicture();
    m_state = TQRPrinterState::Ready;
    m_pageNumber = 1;
    emit PageChanged();
}

void TQRPrinter::AmendPage(int pageNumber, const std::function<void(QPainter&)>& paint)
{
    if (m_state != TQRPrinterState::Ready || pageNumber < 1 ||
        pageNumber > static_cast<int>(m_pages.size()))
        return;
    // The additions go to a picture of their own, played over the page: replaying a whole
    // page into a new picture would cost more than laying it out.
    if (m_overlays.size() < static_cast<qsizetype>(m_pages.size()))
        m_overlays.resize(static_cast<qsizetype>(m_pages.size()));
    QPicture& overlay = m_overlays[pageNumber - 1];
    const QRect page = m_pages[pageNumber - 1].Bounds;
    QPicture amended;
    {
        QPainter painter(&amended);
        painter.setClipRect(page);
        if (overlay.size() > 0)
            painter.drawPicture(0, 0, overlay);
        paint(painter);
    }
    amended.setBoundingRect(page);
    overlay = amended;
}

void TQRPrinter::Cleanup()
{
    if (m_canvas) {
        m_canvas->end();
        m_canvas.reset();
    }
    m_pages.clear();
    m_overlays.clear();
    m_current.reset();
    m_state = TQRPrinterState::Idle;
    m_pageNumber = 0;
    FirstPage = 0;
    LastPage = 0;
    emit PageChanged();
}

void TQRPrinter::DrawPage(QPainter& painter, int pageNumber, const QRectF& target) const
{
    const QPicture* page = Page(pageNumber);
    if (!page || m_layoutSize.isEmpty() || target.isEmpty())
        return;
    const QSizeF logical(m_layoutSize.width() * CanvasScale, m_layoutSize.height() * CanvasScale);
    const QPaintDevice* device = painter.device();
    if (device && device->logicalDpiY() != PlaybackResolution) {
        // A picture's fonts grow with the device's resolution: on a screen of another
        // resolution the page is played onto an image of 96 per inch and that image is drawn.
        const qreal ratio = device->devicePixelRatioF();
        const QSize pixels =
            (painter.transform().mapRect(target).size() * ratio).toSize().expandedTo(QSize(1, 1));
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const int dotsPerMeter = qRound(PlaybackResolution / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        QPainter imagePainter(&image);
        imagePainter.setRenderHints(painter.renderHints());
        imagePainter.scale(pixels.width() / logical.width(), pixels.height() / logical.height());
        imagePainter.drawPicture(0, 0, *page);
        if (const QPicture* overlay = Overlay(pageNumber))
            imagePainter.drawPicture(0, 0, *overlay);
        imagePainter.end();
        painter.drawImage(target, image);
        return;
    }
    painter.save();
    // Whatever a band painted below or right of the page is cut off by the page.
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / logical.width(), target.height() / logical.height());
    painter.drawPicture(0, 0, *page);
    if (const QPicture* overlay = Overlay(pageNumber))
        painter.drawPicture(0, 0, *overlay);
    painter.restore();
}

const QPicture* TQRPrinter::Overlay(int pageNumber) const
{
    if (pageNumber < 1 || pageNumber > m_overlays.size() || m_overlays[pageNumber - 1].size() == 0)
        return nullptr;
    return &m_overlays[pageNumber - 1];
}

bool TQRPrinter::InPrintingRange(int pageNumber) const
{
    if (FirstPage == 0 && LastPage == 0)
        return true;
    return pageNumber >= FirstPage && (LastPage == 0 || pageNumber <= LastPage);
}

QString TQRPrinter::PdfTitle() const
{
    return DocumentTitle.isEmpty() ? Title : DocumentTitle;
}

QString TQRPrinter::ReportName(bool sentenceStart) const
{
    const QString title = PdfTitle();
    if (title.isEmpty())
        return sentenceStart ? QStringLiteral("The report") : QStringLiteral("the report");
    return (sentenceStart ? QStringLiteral("The ") : QStringLiteral("the ")) + title;
}

bool TQRPrinter::PlayPages(QPrinter& target, TQRProgress* progress)
{
    target.setResolution(PlaybackResolution);
    QPainter painter;
    if (!painter.begin(&target))
        return false;
    const QRectF area(QPointF(0, 0), target.pageRect(QPrinter::DevicePixel).size());
    int last = PageCount();
    while (last > 0 && !InPrintingRange(last))
        --last;
    for (int page = 1; page <= last && !m_cancelled; ++page) {
        if (!InPrintingRange(page))
            continue;
        if (progress) {
            progress->Step();
            SelectPage(page);
        }
        DrawPage(painter, page, area);
        if (page != last)
            target.newPage();
    }
    if (m_cancelled)
        target.abort();
    return painter.end() || m_cancelled;
}

bool TQRPrinter::PrintTo(QPrinter& target)
{
    if (m_state != TQRPrinterState::Ready)
        return false;
    target.setDocName(PdfTitle());
    return PlayPages(target, nullptr);
}

namespace {
// The job options a print dialog chose for `printer`, as the printing system names them.
TQueueOptions JobOptions(QPrinter& printer)
{
    TQueueOptions options;
    const QPageLayout layout = printer.pageLayout();
    options.emplaceBack("media", layout.pageSize().key().toUtf8());
    if (printer.copyCount() > 1) {
        options.emplaceBack("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies())
            options.emplaceBack("Collate", "True");
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: options.emplaceBack("sides", "one-sided"); break;
    case QPrinter::DuplexAuto:
    case QPrinter::DuplexLongSide: options.emplaceBack("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options.emplaceBack("sides", "two-sided-short-edge"); break;
    }
    // The printer's own options chosen in the print dialog's properties, in name-value pairs
    // under the CUPS engine's private property key.
    constexpr auto CupsOptionsKey = static_cast<QPrintEngine::PrintEnginePropertyKey>(0xfe00);
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList pairs = engine->property(CupsOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            options.emplaceBack(pairs[i].toUtf8(), pairs[i + 1].toUtf8());
    }
    return options;
}
} // namespace

bool TQRPrinter::PrintToQueue(const QString& queue, TQRProgress& progress, QString& problem)
{
    QPrinter& printer = Printer();
    // The pages go to the queue as one PDF file, laid out on the printer's page.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tallyhorn-print-XXXXXX"));
    const QString file = folder.filePath(QStringLiteral("chart.pdf"));
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    pdf.setPageLayout(printer.pageLayout());
    pdf.setDocName(PdfTitle());
    m_printing = true;
    const bool played = folder.isValid() && PlayPages(pdf, &progress);
    m_printing = false;
    if (m_cancelled)
        return true;
    if (!played) {
        problem = QStringLiteral("%1 was not printed: its print file could not be written in "
                                 "the temporary folder \"%2\".\n\nMake room there, then print "
                                 "again.")
                      .arg(ReportName(true), QDir::toNativeSeparators(QDir::tempPath()));
        return false;
    }
    TQueueState state;
    m_lastJob = PrintQueue::Submit(queue, file, PdfTitle(), JobOptions(printer), state);
    if (m_lastJob <= 0) {
        problem = PrintQueue::Message(ReportName(false), queue, state);
        return false;
    }
    return true;
}

bool TQRPrinter::Print(QString* problem)
{
    QString reason;
    const bool printed = [&] {
        if (m_printing || m_state != TQRPrinterState::Ready)
            return false;
        QPrinter& printer = Printer();
        const bool toFile = !printer.outputFileName().isEmpty();
        // Qt's printing system names the default printer; the queue is asked once more, so a
        // printer removed or a service stopped since then is reported rather than lost.
        QString queue;
        if (!toFile) {
            queue = printer.printerName();
            if (queue.isEmpty())
                queue = PrintQueue::DefaultQueue();
            if (queue.isEmpty()) {
                reason = PrintQueue::NoPrinterMessage(ReportName(false), PrintQueue::HasQueues());
                return false;
            }
            const TQueueState state = PrintQueue::Check(queue);
            if (state.Problem != TQueueProblem::None) {
                reason = PrintQueue::Message(ReportName(false), queue, state);
                return false;
            }
        }

        const int previous = m_pageNumber;
        TQRProgress progress(ProgressCaption, QStringLiteral("Printing report ") + Title,
                             PageCount());
        TQRInputBlock block(&progress);
        if (ShowProgress)
            progress.show();
        ClearCancel();
        m_lastJob = 0;
        if (m_printing || printer.printerState() == QPrinter::Active)
            printer.abort();
        printer.setDocName(PdfTitle());
        // The one chance for Cancel: just before the first page goes out. A job cancelled
        // here is never begun, so a chosen file is not touched either.
        Application::ProcessMessages();
        bool done = true;
        if (!m_cancelled) {
            if (toFile) {
                m_printing = true;
                done = PlayPages(printer, &progress);
                m_printing = false;
                if (!done)
                    reason = QStringLiteral("%1 was not printed: the file \"%2\" could not be "
                                            "written.\n\nChoose another file with Print Setup, "
                                            "then print again.")
                                 .arg(ReportName(true),
                                      QDir::toNativeSeparators(printer.outputFileName()));
            } else {
                done = PrintToQueue(queue, progress, reason);
            }
        }
        SelectPage(previous);
        return done;
    }();
    if (problem)
        *problem = reason;
    return printed;
}

bool TQRPrinter::ShowPreview()
{
    if (m_previewHooks.empty())
        return false;
    // A copy: the hook may end its installer while it runs.
    const std::function<void()> hook = m_previewHooks.back()->m_hook;
    hook();
    return true;
}

TQRPreviewHook::TQRPreviewHook(std::function<void()> hook) : m_hook(std::move(hook))
{
    TQRPrinter::Instance().m_previewHooks.push_back(this);
}

TQRPreviewHook::~TQRPreviewHook()
{
    if (!instance) // the store went with the application
        return;
    auto& hooks = instance->m_previewHooks;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
}

bool TQRPreviewHook::RunPrevious() const
{
    const auto& hooks = TQRPrinter::Instance().m_previewHooks;
    const auto self = std::find(hooks.begin(), hooks.end(), this);
    if (self == hooks.begin() || self == hooks.end())
        return false;
    const std::function<void()> previous = (*std::prev(self))->m_hook;
    previous();
    return true;
}
