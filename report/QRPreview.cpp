#include "report/QRPreview.h"

#include "controls/SystemColors.h"
#include "report/QRPrinter.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

TQRPreview::TQRPreview(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setTracking(true);
        bar->setSingleStep(16);
    }
    viewport()->setAutoFillBackground(false);
    connect(&TQRPrinter::Instance(), &TQRPrinter::PageChanged, this, &TQRPreview::StoreChanged);
    StoreChanged();
}

void TQRPreview::SetPageNumber(int pageNumber)
{
    TQRPrinter& store = TQRPrinter::Instance();
    if (pageNumber < 1 || pageNumber > store.PageCount() || pageNumber == m_pageNumber)
        return;
    store.SelectPage(pageNumber);
    m_pageNumber = pageNumber;
    ScrollHome();
    viewport()->update();
}

void TQRPreview::SetZoom(int zoom)
{
    SetZoomMode(TQRZoomMode::Fixed, zoom);
}

void TQRPreview::ZoomToFit()
{
    SetZoomMode(TQRZoomMode::FitPage, m_fixedZoom);
}

void TQRPreview::ZoomToWidth()
{
    SetZoomMode(TQRZoomMode::FitWidth, m_fixedZoom);
}

void TQRPreview::SetZoomMode(TQRZoomMode mode, int fixedZoom)
{
    m_zoomMode = mode;
    m_fixedZoom = fixedZoom;
    m_zoom = ComputedZoom();
    UpdateScrollBars();
    ScrollHome();
    viewport()->update();
}

int TQRPreview::ComputedZoom() const
{
    const TQRPrinter& store = TQRPrinter::Instance();
    return TQRPreviewGeometry::Zoom(m_zoomMode, m_fixedZoom, viewport()->size(), store.PaperSize(),
                                    store.PrinterOK());
}

QSize TQRPreview::SheetSize() const
{
    return TQRPreviewGeometry::SheetSize(TQRPrinter::Instance().PaperSize(), m_zoom);
}

QRect TQRPreview::SheetRect() const
{
    const QSize sheet = SheetSize();
    const QPoint origin = TQRPreviewGeometry::SheetOrigin(sheet, viewport()->size());
    return QRect(origin, sheet)
        .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void TQRPreview::StoreChanged()
{
    // A new document may bring another paper size; the page may have been changed by the store
    // (printing selects each page in turn and then the one shown before).
    const TQRPrinter& store = TQRPrinter::Instance();
    if (store.State() == TQRPrinterState::Ready && store.PageNumber() >= 1)
        m_pageNumber = store.PageNumber();
    m_zoom = ComputedZoom();
    UpdateScrollBars();
    viewport()->update();
}

void TQRPreview::UpdateScrollBars()
{
    const QSize range = TQRPreviewGeometry::ScrollRange(SheetSize(), viewport()->size());
    horizontalScrollBar()->setRange(0, range.width());
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, range.height());
    verticalScrollBar()->setPageStep(viewport()->height());
}

void TQRPreview::ScrollHome()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TQRPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int zoom = ComputedZoom();
    const bool zoomChanged = zoom != m_zoom;
    m_zoom = zoom;
    UpdateScrollBars();
    if (zoomChanged)
        ScrollHome();
}

void TQRPreview::keyPressEvent(QKeyEvent* event)
{
    // Left to the window: page keys change pages there, arrow keys scroll by its own steps.
    event->ignore();
}

void TQRPreview::scrollContentsBy(int, int)
{
    viewport()->update();
}

void TQRPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), SystemColors::BtnShadow());

    const QRect sheetRect = SheetRect();
    const QSize sheet = sheetRect.size();
    painter.translate(sheetRect.topLeft());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(TQRPreviewGeometry::PageOutline(sheet));
    painter.fillRect(TQRPreviewGeometry::RightShadow(sheet), Qt::black);
    painter.fillRect(TQRPreviewGeometry::BottomShadow(sheet), Qt::black);

    const TQRPrinter& store = TQRPrinter::Instance();
    if (store.State() != TQRPrinterState::Ready)
        return;
    const QRect target =
        TQRPreviewGeometry::PictureRect(store.PrintingOffset(), store.PageSize(), m_zoom);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    store.DrawPage(painter, m_pageNumber, QRectF(target));
}
