#include "report/QRPreviewGeometry.h"

#include <algorithm>
#include <cmath>

int TQRPreviewGeometry::Zoom(TQRZoomMode mode, int fixedZoom, QSize control, QSize paper,
                             bool printerOK)
{
    if (mode == TQRZoomMode::Fixed)
        return std::max(1, fixedZoom);
    if (!printerOK || paper.width() <= 0 || paper.height() <= 0)
        return FallbackZoom;
    const auto share = [](int length, int paperLength, int percent) {
        return static_cast<int>(std::lround(double(length) / paperLength * percent));
    };
    int zoom = share(control.width(), paper.width(), FitWidthShare);
    if (mode == TQRZoomMode::FitPage)
        zoom = std::min(share(control.width(), paper.width(), FitPageShare),
                        share(control.height(), paper.height(), FitPageShare));
    return std::max(1, zoom);
}

int TQRPreviewGeometry::Scaled(int units, int zoom)
{
    return static_cast<int>(std::lround(double(units) * zoom / 100));
}

QSize TQRPreviewGeometry::SheetSize(QSize paper, int zoom)
{
    return {Scaled(paper.width(), zoom) + SheetExtra, Scaled(paper.height(), zoom) + SheetExtra};
}

QPoint TQRPreviewGeometry::SheetOrigin(QSize sheet, QSize control)
{
    const auto along = [](int sheetLength, int controlLength) {
        return sheetLength < controlLength ? (controlLength - sheetLength) / 2 : 0;
    };
    return {along(sheet.width(), control.width()), along(sheet.height(), control.height())};
}

QSize TQRPreviewGeometry::ScrollRange(QSize sheet, QSize control)
{
    return {std::max(0, sheet.width() - control.width()),
            std::max(0, sheet.height() - control.height())};
}

QRect TQRPreviewGeometry::PageOutline(QSize sheet)
{
    // An outline of this rectangle with a 1-pixel pen covers pixels 0 .. width - 3.
    return {0, 0, sheet.width() - ShadowWidth - 1, sheet.height() - ShadowWidth - 1};
}

QRect TQRPreviewGeometry::RightShadow(QSize sheet)
{
    return {sheet.width() - ShadowWidth, ShadowWidth, ShadowWidth, sheet.height() - ShadowWidth};
}

QRect TQRPreviewGeometry::BottomShadow(QSize sheet)
{
    return {ShadowWidth, sheet.height() - ShadowWidth, sheet.width() - ShadowWidth, ShadowWidth};
}

QRect TQRPreviewGeometry::PictureRect(QPoint printingOffset, QSize printable, int zoom)
{
    // Both ends move one pixel in, past the border, so the picture keeps the printable area's
    // zoomed size: at zoom 100 one report unit is exactly one pixel.
    const QPoint topLeft(Scaled(printingOffset.x(), zoom), Scaled(printingOffset.y(), zoom));
    const QPoint end(Scaled(printingOffset.x() + printable.width(), zoom),
                     Scaled(printingOffset.y() + printable.height(), zoom));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())).translated(1, 1);
}
