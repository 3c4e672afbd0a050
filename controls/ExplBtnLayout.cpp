#include "controls/ExplBtnLayout.h"

#include <algorithm>

int ButtonFaceWidth(int width, TExplorerButtonDropDownStyle style)
{
    return style == ddsOffice ? width - ExplorerButtonArrowWidth : width;
}

TButtonFaceLayout LayOutButtonFace(const TButtonFace& face)
{
    TButtonFaceLayout out;
    const int w = face.size.width(), h = face.size.height();
    const int a = ButtonFaceWidth(w, face.dropDownStyle);
    out.face = QRect(0, 0, a, h);
    if (face.dropDownStyle == ddsOffice)
        out.arrow = QRect(a, 0, w - a, h);

    int tw = 0, th = 0, spacing = 0;
    if (face.hasText) {
        tw = std::min(face.textSize.width(), std::max(CaptionRoom(a), 0));
        th = face.textSize.height();
        spacing = 2;
    }

    // The image, with room for the drop-down mark after it.
    const bool hasImage = !face.bitmapSize.isEmpty();
    out.showMark =
        (face.options & boPopupMark) && face.hasMenu && face.dropDownStyle == ddsIExplorer;
    int iw = 0, ih = 0;
    if (hasImage) {
        const QSize s = face.buttonSize == bsSmall   ? QSize(16, 16)
                        : face.buttonSize == bsLarge ? QSize(32, 32)
                                                     : face.bitmapSize;
        iw = s.width();
        ih = s.height();
    }
    const int imageOnlyWidth = iw;
    if (hasImage && out.showMark)
        iw += 10;
    if (!hasImage)
        spacing = 0;

    auto alignedX = [&](int itemWidth) {
        switch (face.alignment) {
        case taLeftJustify: return 3;
        case taRightJustify: return a - itemWidth - 3;
        case taCenter: break;
        }
        return (a - itemWidth) / 2;
    };
    int ix = 0, iy = 0, tx = 0, ty = 0;
    if (!hasImage) {
        ty = (h - th) / 2;
        tx = alignedX(tw);
    } else if (face.layout == blBitmapTop || face.layout == blBitmapBottom) {
        const int start = (h - th - ih - spacing) / 2;
        if (face.layout == blBitmapTop) {
            iy = start;
            ty = iy + ih + spacing;
        } else {
            ty = start;
            iy = ty + th + spacing;
        }
        ix = alignedX(iw);
        tx = alignedX(tw);
    } else {
        iy = (h - ih) / 2;
        ty = (h - th) / 2;
        tw = std::max(0, std::min(tw, a - 4 - iw - spacing));
        const int total = iw + spacing + tw;
        const int first = face.alignment == taLeftJustify    ? 3
                          : face.alignment == taRightJustify ? a - 3 - total
                                                             : (a - total) / 2;
        if (face.layout == blBitmapLeft) {
            ix = first;
            tx = ix + iw + spacing;
        } else {
            tx = first;
            ix = tx + tw + spacing;
        }
    }
    if ((face.options & boWordWrap) && tx + tw > a - 5)
        tw = std::max(0, a - 5 - tx);

    if (hasImage)
        out.image = QRect(ix, iy, imageOnlyWidth, ih);
    out.text = QRect(tx, ty, tw, th);
    out.imageMark = QPoint(ix + imageOnlyWidth + 2, iy + ih / 2 - 1);
    out.textMark = QPoint(tx + tw + 2, ty + th / 2 - 1);
    out.arrowMark = QPoint(a + (ExplorerButtonArrowWidth - 7) / 2, h / 2 - 1);
    return out;
}
