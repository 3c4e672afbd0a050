#include "report/QRReport.h"

#include "calc/Errors.h"
#include "platform/Application.h"
#include "platform/LoopGuard.h"
#include "report/QRBand.h"
#include "report/QRInputBlock.h"
#include "report/QRLayout.h"
#include "report/QRPrinter.h"
#include "report/QRProgress.h"
#include "report/QRStandardPreview.h"
#include "report/QRSysData.h"

#include <QMetaMethod>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace {
constexpr int ProgressSteps = 100;

// Ends the layout state whatever way the layout is left; a report deleted meanwhile took its
// layout along.
struct LayoutScope {
    const TLoopGuard report;
    TQRLayout*& layout;
    TQRProgress*& progress;
    ~LayoutScope()
    {
        if (!report.Alive())
            return;
        delete layout;
        layout = nullptr;
        progress = nullptr;
    }
};
} // namespace

TQRReport::TQRReport(QObject* parent) : QObject(parent) {}

TQRReport::~TQRReport()
{
    delete m_layout; // deleted in the middle of a layout
}

std::optional<QPageSize> TQRReport::PageSizeFor(TQRPaperSize size) const
{
    switch (size) {
    case qrpDefault: return std::nullopt;
    case qrpLetter: return QPageSize(QPageSize::Letter);
    case qrpLegal: return QPageSize(QPageSize::Legal);
    case qrpA3: return QPageSize(QPageSize::A3);
    case qrpA4: return QPageSize(QPageSize::A4);
    case qrpA5: return QPageSize(QPageSize::A5);
    case qrpCustom:
        if (PaperWidth <= 0 || PaperLength <= 0)
            return std::nullopt;
        return QPageSize(QSizeF(PaperWidth / 10.0, PaperLength / 10.0), QPageSize::Millimeter);
    }
    return std::nullopt;
}

QList<TQRBand*> TQRReport::BandsOf(TQRBandType type) const
{
    QList<TQRBand*> bands;
    for (TQRBand* band : m_bands)
        if (band->BandType == type)
            bands.append(band);
    return bands;
}

bool TQRReport::HasNeedData() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TQRReport::OnNeedData));
}

bool TQRReport::HasFilter() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TQRReport::OnFilter));
}

void TQRReport::Preview()
{
    TQRPrinter& store = TQRPrinter::Instance();
    const bool layOut = store.State() == TQRPrinterState::Idle;
    try {
        if (layOut)
            Prepare();
        if (!store.Cancelled() && store.State() == TQRPrinterState::Ready) {
            if (!store.ShowPreview())
                TQRStandardPreview::Show();
        }
    } catch (...) {
        if (layOut)
            store.Cleanup();
        throw;
    }
    if (layOut)
        store.Cleanup();
}

bool TQRReport::PrintToPdf(const QString& path, const QString& progressCaption)
{
    TQRPrinter& store = TQRPrinter::Instance();
    if (store.State() != TQRPrinterState::Idle)
        return false;
    QPrinter& printer = store.Printer();
    const QString previousFile = printer.outputFileName();
    const QPrinter::OutputFormat previousFormat = printer.outputFormat();
    const bool showProgress = ShowProgress;
    const TLoopGuard self(this);
    const auto restore = [&] {
        store.Cleanup();
        if (self.Alive())
            ShowProgress = showProgress;
        printer.setOutputFileName(previousFile);
        printer.setOutputFormat(previousFormat);
    };
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ShowProgress = false;
    bool printed = false;
    try {
        store.ProgressCaption = progressCaption;
        printed = Prepare() && store.PrintTo(printer);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return printed;
}

bool TQRReport::Prepare()
{
    TQRPrinter& store = TQRPrinter::Instance();
    store.ApplyPageSettings(Orientation, PageSizeFor(PaperSize));
    try {
        store.ClearCancel();
        store.BeginDoc(LeastPage);
        store.Title = ReportTitle;
        store.DocumentTitle = DocumentTitle;
        store.ShowProgress = ShowProgress;
        m_placements.clear();
        m_texts.Clear();

        TQRProgress progress(store.ProgressCaption,
                             QStringLiteral("Preparing report ") + ReportTitle, ProgressSteps);
        TQRInputBlock block(&progress);
        if (ShowProgress)
            progress.show();
        m_progress = &progress;
        LayoutScope scope{TLoopGuard(this), m_layout, m_progress};

        bool printReport = true;
        emit BeforePrint(printReport);
        if (!printReport) {
            store.Cancel();
            store.Cleanup();
            store.RestorePageSettings();
            return false;
        }
        LayOut();
        store.EndDoc();
        PrintPageTotals();
    } catch (...) {
        store.Cleanup();
        store.RestorePageSettings();
        throw;
    }
    store.RestorePageSettings();
    return !store.Cancelled();
}

void TQRReport::LayOut()
{
    TQRPrinter& store = TQRPrinter::Instance();
    int footerHeight = 0;
    for (TQRBand* band : BandsOf(rbPageFooter))
        footerHeight += band->Height;
    m_layout = new TQRLayout(TQRPageGeometry::For(store.LayoutSize(), LeftMarginInches,
                                                  ColumnMarginInches, Columns, footerHeight));
    m_pageNumber = 1;
    m_detailCount = 0;
    m_detailNo = 1;
    m_pageTotal = 0;
    m_groupKeys.clear();
    m_deferred.clear();

    emit OnStartPage();
    if (TitleBeforeHeader) {
        PrintBands(rbTitle);
        PrintBands(rbPageHeader);
    } else {
        PrintBands(rbPageHeader);
        PrintBands(rbTitle);
    }
    m_layout->MarkColumnTop();
    PrintBands(rbColumnHeader);
    PrintGroupBands(rbGroupHeader, false);

    // Rows come from the owner; without a row handler exactly one detail prints, unfiltered.
    const bool rowsFromOwner = HasNeedData();
    const auto nextRow = [this, rowsFromOwner](bool preset, bool& printRow) {
        bool more = preset;
        if (rowsFromOwner)
            emit OnNeedData(more);
        printRow = more;
        if (more && rowsFromOwner && HasFilter())
            emit OnFilter(printRow);
        return more;
    };
    bool printRow = true;
    bool more = nextRow(true, printRow);
    while (more && !TQRPrinter::Instance().Cancelled()) {
        if (printRow) {
            PrintGroupBands(rbGroupFooter, true);
            PrintGroupBands(rbGroupHeader, true);
            emit BeforeDetail();
            PrintBands(rbDetail);
            ++m_detailCount;
            emit AfterDetail();
            ++m_detailNo;
            m_progress->Step();
        }
        if (!rowsFromOwner)
            break; // exactly one detail without a data handler
        more = nextRow(false, printRow);
    }

    for (TQRBand* band : BandsOf(rbGroupFooter))
        if (!band->GroupKey || m_groupKeys.contains(band))
            PrintBand(band); // the last group's footer, and the footers without a key
    PrintBands(rbSummary);
    FinishPage(true);
    emit AfterPrint();
}

void TQRReport::PrintBands(TQRBandType type)
{
    for (TQRBand* band : BandsOf(type))
        PrintBand(band);
}

void TQRReport::PrintGroupBands(TQRBandType type, bool keyed)
{
    for (TQRBand* band : BandsOf(type)) {
        if (!keyed) {
            if (!band->GroupKey)
                PrintBand(band);
            continue;
        }
        if (!band->GroupKey)
            continue;
        const QVariant key = band->GroupKey();
        const auto last = m_groupKeys.constFind(band);
        const bool changed = last == m_groupKeys.cend() || *last != key;
        // A footer closes the group before the one starting; a header opens the new one.
        if (changed && (type == rbGroupHeader || last != m_groupKeys.cend()))
            PrintBand(band);
        m_groupKeys.insert(band, key);
    }
}

void TQRReport::PrintPageTotals()
{
    TQRPrinter& store = TQRPrinter::Instance();
    m_pageTotal = store.PageCount();
    const int lastPage = m_pageNumber;
    for (const TDeferredField& field : m_deferred)
        store.AmendPage(field.Page, [&](QPainter& canvas) {
            m_pageNumber = field.Page;
            TQRPrintContext context{&canvas,         this,       TQRPrinter::CanvasScale,
                                    field.PageWidth, field.Page, &m_texts};
            field.Control->Print(context, field.X, field.Y);
        });
    m_pageNumber = lastPage;
    m_deferred.clear();
}

void TQRReport::PrintFooters()
{
    const int saved = m_layout->Y();
    m_layout->SetY(m_layout->FooterOrigin().y());
    PrintBands(rbPageFooter);
    m_layout->SetY(saved);
}

void TQRReport::PrintPageFrame()
{
    const TQRPageGeometry& g = m_layout->Geometry();
    PageFrame.Paint(*TQRPrinter::Instance().Canvas(), QRect(0, 0, g.PageWidth, g.PageHeight),
                    TQRPrinter::CanvasScale);
}

void TQRReport::FinishPage(bool lastPage)
{
    // A page ending for the next one tells OnEndPage before its overlays; the last page after.
    PrintFooters();
    if (!lastPage)
        emit OnEndPage();
    PrintBands(rbOverlay);
    PrintPageFrame();
    if (lastPage)
        emit OnEndPage();
}

void TQRReport::NewPage()
{
    FinishPage(false);
    TQRPrinter::Instance().NewPage();
    m_layout->ToNewPage();
    ++m_pageNumber;
    emit OnStartPage();
    PrintBands(rbPageHeader);
    m_layout->MarkColumnTop();
}

void TQRReport::NewColumn()
{
    m_layout->ToNextColumn();
    PrintBands(rbColumnHeader);
}

void TQRReport::PrintBand(TQRBand* band)
{
    if (!band->Enabled)
        return;
    // The one message pass per band: how Cancel in the progress window is seen. Whatever ran
    // in it may have deleted the report or the band (their owner closed): the layout stops
    // there, silently, touching neither.
    const TLoopGuard reportGuard(this), bandGuard(band);
    Application::ProcessMessages();
    if (!reportGuard.Alive() || !bandGuard.Alive())
        throw calc::EAbort();
    TQRPrinter& store = TQRPrinter::Instance();
    const TQRPageGeometry& g = m_layout->Geometry();
    const int height = band->Height;
    band->Width = g.PageWidth;

    int x = m_layout->X();
    int y = m_layout->Y();
    switch (band->BandType) {
    case rbPageHeader: break;
    case rbPageFooter: x = g.LeftMargin; break;
    case rbOverlay:
        x = 0;
        y = 0;
        break;
    default:
        switch (m_layout->MoveFor(height, band->ForceNewPage)) {
        case TQRLayout::TMove::Stay: break;
        case TQRLayout::TMove::NextColumn: NewColumn(); break;
        case TQRLayout::TMove::NewPage:
            NewPage();
            PrintBands(rbColumnHeader);
            break;
        }
        x = m_layout->X();
        y = m_layout->Y();
        if (band->BandType == rbDetail || band->BandType == rbGroupFooter ||
            band->BandType == rbSubDetail)
            m_layout->MarkPrinted();
        break;
    }

    bool printBand = true;
    emit band->BeforePrint(printBand);
    if (printBand) {
        QPainter& canvas = *store.Canvas();
        constexpr int s = TQRPrinter::CanvasScale;
        const QRect rect(x, y, g.ColumnWidth, band->Height);
        if (band->BandType != rbOverlay)
            canvas.fillRect(QRectF(x * s, y * s, g.ColumnWidth * s, band->Height * s - 1),
                            band->Color);
        TQRPrintContext context{&canvas, this, s, g.PageWidth, m_pageNumber, &m_texts};
        for (TQRPrintable* control : band->Controls()) {
            if (!control->Visible)
                continue;
            const auto* field = qobject_cast<const TQRSysData*>(control);
            if (field && field->PageTotal && field->Data == qrsPageNumber)
                m_deferred.append({control, m_pageNumber, x, y, g.PageWidth});
            else
                control->Print(context, x, y);
        }
        band->Frame.Paint(canvas, rect, s);
        m_placements.append({band, m_pageNumber, rect});
        if (band->BandType != rbOverlay)
            m_layout->SetY(y + band->Height);
    }
    emit band->AfterPrint(printBand);
    band->Height = height;
}
