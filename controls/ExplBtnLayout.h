// Where the flat button puts its image, caption and drop-down marks. Pure: the caption is
// measured by the caller (it needs the font), everything else follows from sizes and options,
// so each layout, alignment and style can be checked with a table of numbers.
#pragma once

#include "controls/ExplBtnTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// What the layout depends on.
struct TButtonFace {
    QSize size; // the whole button
    TExplorerButtonDropDownStyle dropDownStyle = ddsIExplorer;
    TExplorerButtonLayout layout = blBitmapTop;
    TAlignment alignment = taCenter;
    TExplorerButtonButtonSize buttonSize = bsCustom;
    TExplorerButtonOptions options;
    QSize bitmapSize;     // empty: no image
    bool hasMenu = false; // a drop-down menu is assigned
    bool hasText = false; // a caption is shown (not icon-only, not empty)
    QSize textSize;       // the caption measured within CaptionRoom(face width)
};

struct TButtonFaceLayout {
    QRect face;            // the body; a ddsOffice button's arrow part lies right of it
    QRect arrow;           // the arrow part of ddsOffice, else empty
    QRect image;           // the image at its drawn size; empty without an image
    QRect text;            // the caption's box; its width may be 0 when nothing fits
    bool showMark = false; // the ddsIExplorer drop-down mark is drawn
    QPoint imageMark;      // the mark's point after the image
    QPoint textMark;       // the mark's point after the caption, for a button without an image
    QPoint arrowMark;      // the ddsOffice triangle's point, unpressed
};

// The body's width: the button's, less the arrow part with ddsOffice.
int ButtonFaceWidth(int width, TExplorerButtonDropDownStyle style);
// The width the caption is measured (and wrapped) in.
inline int CaptionRoom(int faceWidth)
{
    return faceWidth - 4;
}

TButtonFaceLayout LayOutButtonFace(const TButtonFace& face);
