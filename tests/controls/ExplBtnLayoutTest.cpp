// Where the flat button puts its image, caption and marks, for each layout, alignment, size
// mode and drop-down style, without a widget (the caption size is given).
#include "controls/ExplBtnLayout.h"

#include <gtest/gtest.h>

namespace {
struct LayoutCase {
    const char* name;
    TButtonFace face;
    QRect image;
    QRect text;
};

TButtonFace Face(QSize size, TExplorerButtonLayout layout, TAlignment alignment, QSize bitmap,
                 QSize text = {})
{
    TButtonFace face;
    face.size = size;
    face.layout = layout;
    face.alignment = alignment;
    face.options = boPopupMark | boShowBevel | boShowDownPattern;
    face.bitmapSize = bitmap;
    face.hasText = !text.isEmpty();
    face.textSize = text;
    return face;
}

TButtonFace With(TButtonFace face, TExplorerButtonButtonSize mode)
{
    face.buttonSize = mode;
    return face;
}

TButtonFace Wrapped(TButtonFace face)
{
    face.options |= boWordWrap;
    return face;
}

const QSize icon(16, 16), toolbar(25, 24), wide(131, 25);

class ExplBtnLayout : public ::testing::TestWithParam<LayoutCase> {};
} // namespace

TEST_P(ExplBtnLayout, PlacesImageAndCaption)
{
    const TButtonFaceLayout at = LayOutButtonFace(GetParam().face);
    EXPECT_EQ(at.image, GetParam().image);
    EXPECT_EQ(at.text, GetParam().text);
    EXPECT_EQ(at.face, QRect(QPoint(0, 0), GetParam().face.size));
    EXPECT_TRUE(at.arrow.isNull());
    EXPECT_FALSE(at.showMark);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExplBtnLayout,
    ::testing::Values(
        // The toolbar's image-only button: centred in its face.
        LayoutCase{"ToolbarIcon",
                   Face(toolbar, blBitmapTop, taCenter, icon),
                   {4, 4, 16, 16},
                   {12, 20, 0, 0}},
        // Image above or below a caption, 2 pixels apart, the pair centred vertically.
        LayoutCase{"Top",
                   Face({50, 40}, blBitmapTop, taCenter, icon, {30, 13}),
                   {17, 4, 16, 16},
                   {10, 22, 30, 13}},
        LayoutCase{"Bottom",
                   Face({50, 40}, blBitmapBottom, taCenter, icon, {30, 13}),
                   {17, 19, 16, 16},
                   {10, 4, 30, 13}},
        LayoutCase{"TopLeft",
                   Face({50, 40}, blBitmapTop, taLeftJustify, icon, {30, 13}),
                   {3, 4, 16, 16},
                   {3, 22, 30, 13}},
        LayoutCase{"TopRight",
                   Face({50, 40}, blBitmapTop, taRightJustify, icon, {30, 13}),
                   {31, 4, 16, 16},
                   {17, 22, 30, 13}},
        // The update centre's buttons: image left of the caption, the pair centred.
        LayoutCase{"Left",
                   Face(wide, blBitmapLeft, taCenter, icon, {100, 13}),
                   {6, 4, 16, 16},
                   {24, 6, 100, 13}},
        // A caption too long for what the image leaves is narrowed to fit in the face less 4.
        LayoutCase{"LeftNarrowed",
                   Face(wide, blBitmapLeft, taCenter, icon, {120, 13}),
                   {2, 4, 16, 16},
                   {20, 6, 109, 13}},
        LayoutCase{"RightAlignedLeft",
                   Face(wide, blBitmapLeft, taRightJustify, icon, {50, 13}),
                   {60, 4, 16, 16},
                   {78, 6, 50, 13}},
        LayoutCase{"LeftAlignedRight",
                   Face(wide, blBitmapRight, taLeftJustify, icon, {50, 13}),
                   {55, 4, 16, 16},
                   {3, 6, 50, 13}},
        // Caption only, right-aligned 3 pixels in.
        LayoutCase{"TextOnly",
                   Face({80, 24}, blBitmapTop, taRightJustify, {}, {40, 13}),
                   {},
                   {37, 5, 40, 13}},
        // Word wrap keeps the caption's right edge 5 pixels inside the face.
        LayoutCase{"WordWrap",
                   Wrapped(Face({50, 40}, blBitmapTop, taLeftJustify, {}, {48, 26})),
                   {},
                   {3, 7, 42, 26}},
        // The small size draws 16 x 16 of any bitmap, the large one 32 x 32.
        LayoutCase{"Small",
                   With(Face({23, 22}, blBitmapTop, taCenter, {32, 32}), bsSmall),
                   {3, 3, 16, 16},
                   {11, 19, 0, 0}},
        LayoutCase{"Large",
                   With(Face({39, 38}, blBitmapTop, taCenter, icon), bsLarge),
                   {3, 3, 32, 32},
                   {19, 35, 0, 0}}),
    [](const ::testing::TestParamInfo<LayoutCase>& p) { return std::string(p.param.name); });

TEST(ExplBtnLayoutMarks, PopupMarkNeedsAMenuAndTheExplorerStyleAndTakesTenPixels)
{
    TButtonFace face = Face(toolbar, blBitmapTop, taCenter, icon);
    EXPECT_FALSE(LayOutButtonFace(face).showMark); // no menu: no mark, no room taken
    face.hasMenu = true;
    TButtonFaceLayout at = LayOutButtonFace(face);
    EXPECT_TRUE(at.showMark);
    EXPECT_EQ(at.image, QRect(0, 4, 16, 16)); // the image and the mark are centred together
    EXPECT_EQ(at.imageMark, QPoint(18, 11));  // 2 pixels after the image, at its middle
    face.options &= ~TExplorerButtonOptions(boPopupMark);
    EXPECT_FALSE(LayOutButtonFace(face).showMark);

    // Without an image the mark follows the caption.
    face = Face({80, 24}, blBitmapTop, taLeftJustify, {}, {40, 13});
    face.hasMenu = true;
    at = LayOutButtonFace(face);
    EXPECT_EQ(at.textMark, QPoint(45, 10));

    // The office style draws no mark on the body; its arrow part is the right 11 pixels.
    face = Face({50, 24}, blBitmapTop, taCenter, icon);
    face.hasMenu = true;
    face.dropDownStyle = ddsOffice;
    at = LayOutButtonFace(face);
    EXPECT_FALSE(at.showMark);
    EXPECT_EQ(at.face, QRect(0, 0, 39, 24));
    EXPECT_EQ(at.arrow, QRect(39, 0, 11, 24));
    EXPECT_EQ(at.image, QRect(11, 4, 16, 16)); // centred in the body, not the whole button
    EXPECT_EQ(at.arrowMark, QPoint(41, 11));
    EXPECT_EQ(CaptionRoom(ButtonFaceWidth(50, ddsOffice)), 35);
}
