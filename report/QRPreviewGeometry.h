// The preview control's arithmetic, apart from any painting: the zoom of each zoom mode, the
// size and place of the page sheet inside the control, and where the page picture goes on it.
//
// Units: every size and position is in screen pixels; page sizes and offsets are in report
// units (one screen pixel at zoom 100). Zooms are in percent of actual size.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

enum class TQRZoomMode { Fixed, FitPage, FitWidth };

class TQRPreviewGeometry {
public:
    // Zoom given to the fit modes when the printer is not usable or the paper has no size.
    static constexpr int FallbackZoom = 100;
    // Shares of the control the fit modes fill, in percent.
    static constexpr int FitPageShare = 95;
    static constexpr int FitWidthShare = 98;
    // Border (1 pixel at each side) and shadow (2 pixels) added to the zoomed paper.
    static constexpr int SheetExtra = 4;
    static constexpr int ShadowWidth = 2;

    // The zoom of `mode` for a control of `control` pixels showing a sheet of `paper`;
    // `fixedZoom` is the answer of TQRZoomMode::Fixed. At least 1.
    static int Zoom(TQRZoomMode mode, int fixedZoom, QSize control, QSize paper, bool printerOK);

    // The sheet: the paper at `zoom`, rounded, plus border and shadow.
    static QSize SheetSize(QSize paper, int zoom);
    // Top-left of the sheet in the scrolled area: centred along each direction in which the
    // sheet is smaller than the control, else 0.
    static QPoint SheetOrigin(QSize sheet, QSize control);
    // How far the sheet can be scrolled along each direction (0 when it fits).
    static QSize ScrollRange(QSize sheet, QSize control);

    // Relative to the sheet's top-left: the white page with its 1-pixel border (the sheet less
    // the shadow's and one more pixel at the right and bottom, as an outline drawn with a
    // 1-pixel pen), and the two shadow strips along the right and the bottom edge.
    static QRect PageOutline(QSize sheet);
    static QRect RightShadow(QSize sheet);
    static QRect BottomShadow(QSize sheet);

    // Relative to the sheet's top-left: where the page picture is stretched, the printable area
    // at `zoom`, one pixel in past the border.
    static QRect PictureRect(QPoint printingOffset, QSize printable, int zoom);

private:
    static int Scaled(int units, int zoom);
};
