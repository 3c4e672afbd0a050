// The preview control's arithmetic: the zoom of each mode, the sheet's size and place, and
// where the border, the shadow and the page picture go.
#include "report/QRPreviewGeometry.h"

#include <gtest/gtest.h>

namespace {
using G = TQRPreviewGeometry;

struct ZoomCase {
    const char* name;
    TQRZoomMode mode;
    int fixedZoom;
    QSize control;
    QSize paper;
    bool printerOK;
    int zoom;
};

class PreviewZoom : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(PreviewZoom, Zoom)
{
    const ZoomCase& c = GetParam();
    EXPECT_EQ(G::Zoom(c.mode, c.fixedZoom, c.control, c.paper, c.printerOK), c.zoom);
}

const QSize letter(816, 1056); // 8.5 x 11 inches
INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewZoom,
    ::testing::Values(
        ZoomCase{"FixedIgnoresControlAndPrinter",
                 TQRZoomMode::Fixed,
                 150,
                 {300, 200},
                 letter,
                 false,
                 150},
        // 95 % of 700/816 = 81.5 -> 81; of 560/1056 = 50.4 -> 50: the height decides.
        ZoomCase{
            "FitPageTakesTheSmallerShare", TQRZoomMode::FitPage, 100, {700, 560}, letter, true, 50},
        // 95 % of 400/816 = 46.6 -> 47; of 2000/1056 = 179.9 -> 180: the width decides.
        ZoomCase{"FitPageNarrowControl", TQRZoomMode::FitPage, 100, {400, 2000}, letter, true, 47},
        // 98 % of 700/816 = 84.07 -> 84, whatever the height.
        ZoomCase{"FitWidthIgnoresHeight", TQRZoomMode::FitWidth, 100, {700, 10}, letter, true, 84},
        // 98 % of 408/816 = 49.0; of 412/816 = 49.48 -> 49; of 413/816 = 49.6 -> 50.
        ZoomCase{"FitWidthRoundsDown", TQRZoomMode::FitWidth, 100, {412, 500}, letter, true, 49},
        ZoomCase{"FitWidthRoundsUp", TQRZoomMode::FitWidth, 100, {413, 500}, letter, true, 50},
        ZoomCase{
            "FitPageWithoutPrinterIs100", TQRZoomMode::FitPage, 60, {300, 300}, letter, false, 100},
        ZoomCase{"FitWidthWithoutPrinterIs100",
                 TQRZoomMode::FitWidth,
                 60,
                 {2000, 300},
                 letter,
                 false,
                 100},
        ZoomCase{"FitWithoutPaperIs100", TQRZoomMode::FitPage, 60, {300, 300}, {0, 0}, true, 100},
        ZoomCase{
            "TinyControlStillShowsSomething", TQRZoomMode::FitPage, 100, {2, 2}, letter, true, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PreviewSheet, SizeIsZoomedPaperPlusBorderAndShadow)
{
    EXPECT_EQ(G::SheetSize(letter, 100), QSize(820, 1060));
    EXPECT_EQ(G::SheetSize(letter, 50), QSize(412, 532));
    // 816 x 0.33 = 269.28 -> 269; 1056 x 0.33 = 348.48 -> 348.
    EXPECT_EQ(G::SheetSize(letter, 33), QSize(273, 352));
}

TEST(PreviewSheet, CentredOnlyWhereSmallerThanTheControl)
{
    // Narrower and shorter: centred both ways, odd differences truncated.
    EXPECT_EQ(G::SheetOrigin({412, 532}, {701, 600}), QPoint(144, 34));
    // Wider than the control: starts at 0 there and scrolls by the difference.
    EXPECT_EQ(G::SheetOrigin({820, 1060}, {700, 1100}), QPoint(0, 20));
    EXPECT_EQ(G::ScrollRange({820, 1060}, {700, 1100}), QSize(120, 0));
    // Exactly as wide: neither centred nor scrolled.
    EXPECT_EQ(G::SheetOrigin({700, 1060}, {700, 500}), QPoint(0, 0));
    EXPECT_EQ(G::ScrollRange({700, 1060}, {700, 500}), QSize(0, 560));
}

TEST(PreviewSheet, BorderShadowAndPictureTileTheSheet)
{
    const QSize sheet = G::SheetSize(letter, 50); // 412 x 532
    // The outline's pixels run from 0 to 409 and 529; the shadow takes the last two.
    EXPECT_EQ(G::PageOutline(sheet), QRect(0, 0, 409, 529));
    EXPECT_EQ(G::RightShadow(sheet), QRect(410, 2, 2, 530));
    EXPECT_EQ(G::BottomShadow(sheet), QRect(2, 530, 410, 2));
    // Printable area 776 x 1016 at offset 20: inside the border, at half size.
    EXPECT_EQ(G::PictureRect({20, 20}, {776, 1016}, 50), QRect(11, 11, 388, 508));
    // At 100 one report unit is one pixel; the offset of a page without printer is 5.
    EXPECT_EQ(G::PictureRect({5, 5}, {748, 1080}, 100), QRect(6, 6, 748, 1080));
}
} // namespace
