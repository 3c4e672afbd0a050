// TQRPreview: the preview control. A scrolling box holding one page sheet: the page store's
// current page at a fixed zoom, or zoomed to fit the whole page or the page's width into the
// control. The sheet is white with a 1-pixel black border and a 2-pixel black shadow, centred
// along each direction in which it is smaller than the control.
//
// The control handles no keys itself (not even the scroll keys a scrolling box normally takes):
// the window around it decides what page and arrow keys do.
#pragma once

#include "report/QRPreviewGeometry.h"

#include <QAbstractScrollArea>
#include <QRect>

class TQRPreview : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TQRPreview(QWidget* parent = nullptr);

    // The page shown, from 1. Setting a page from 1 to the store's page count other than the
    // current one selects it in the store and scrolls to the top left; any other value is
    // ignored.
    int PageNumber() const { return m_pageNumber; }
    void SetPageNumber(int pageNumber);

    // Percent of actual size (100: one report unit per screen pixel).
    int Zoom() const { return m_zoom; }
    TQRZoomMode ZoomMode() const { return m_zoomMode; }
    // A fixed zoom, kept when the control is resized.
    void SetZoom(int zoom);
    // The whole page, or the page's width, fitted into the control; computed again whenever
    // the control is resized. 100 when the printer is not usable.
    void ZoomToFit();
    void ZoomToWidth();

    // The sheet (border and shadow included) in viewport coordinates, as last laid out.
    QRect SheetRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void SetZoomMode(TQRZoomMode mode, int fixedZoom);
    int ComputedZoom() const;
    void StoreChanged();
    void UpdateScrollBars();
    void ScrollHome();
    QSize SheetSize() const;

    int m_pageNumber = 1;
    int m_zoom = 100;
    int m_fixedZoom = 100;
    TQRZoomMode m_zoomMode = TQRZoomMode::Fixed;
};
