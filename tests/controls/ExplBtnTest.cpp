// The flat toolbar button: grey images, hint rules, groups, mouse and keyboard, and what it
// paints in each state (checked at known pixels of an off-screen rendering).
#include "controls/ExplBtn.h"

#include "controls/Artwork.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEnterEvent>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QColor key(255, 0, 255);

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->resize(300, 100);
        form->show(); // hidden buttons take no clicks
    }
    TExplorerButton* Make(int x = 0)
    {
        auto* b = new TExplorerButton(form.get());
        b->move(x, 0);
        b->show();
        return b;
    }
    static void Enter(TExplorerButton* b)
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(b, &enter);
    }
    static void Leave(TExplorerButton* b)
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
    }
    QColor Back() const { return QColor(form->palette().color(form->backgroundRole()).rgb()); }
    std::unique_ptr<QWidget> form;
};

// The first pixel of the image that is not its transparent colour.
QPoint FirstOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != image.pixelColor(0, 0))
                return {x, y};
    return {-1, -1};
}
} // namespace

// --- Grey image ----------------------------------------------------------------------------

struct GreyCase {
    const char* name;
    TExplorerButtonShadingType shading;
    QColor in;
    const char* out; // "white", "highlight", "shadow" or "black"
};

class ExplBtnGreyImage : public ::testing::TestWithParam<GreyCase> {};

TEST_P(ExplBtnGreyImage, SumOfChannelsPicksTheShade)
{
    const GreyCase& c = GetParam();
    const QColor highlight(230, 230, 230), shadow(100, 100, 100);
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixelColor(0, 0, key);
    source.setPixelColor(1, 0, c.in);
    const QImage grey = TExplorerButton::MakeGreyImage(source, c.shading, highlight, shadow);
    const QColor got = grey.pixelColor(1, 0);
    const char* name = got == Qt::white         ? "white"
                       : got == highlight       ? "highlight"
                       : got == shadow          ? "shadow"
                       : got == QColor(0, 0, 0) ? "black"
                                                : "other";
    EXPECT_STREQ(name, c.out);
    EXPECT_EQ(grey.pixelColor(0, 0), key); // the background keeps its colour
}

INSTANTIATE_TEST_SUITE_P(
    ShadingTables, ExplBtnGreyImage,
    ::testing::Values(GreyCase{"LightAbove205", stLight, QColor(69, 69, 68), "white"},
                      GreyCase{"LightAt205", stLight, QColor(69, 68, 68), "highlight"},
                      GreyCase{"LightAt127", stLight, QColor(43, 42, 42), "shadow"},
                      GreyCase{"LightAt68", stLight, QColor(23, 23, 22), "black"},
                      GreyCase{"MediumAbove553", stMedium, QColor(185, 185, 184), "white"},
                      GreyCase{"MediumAt553", stMedium, QColor(185, 184, 184), "highlight"},
                      GreyCase{"MediumAt231", stMedium, QColor(77, 77, 77), "shadow"},
                      GreyCase{"MediumAbove57", stMedium, QColor(20, 19, 19), "shadow"},
                      GreyCase{"MediumAt57", stMedium, QColor(19, 19, 19), "black"},
                      GreyCase{"DarkAbove335", stDark, QColor(112, 112, 112), "white"},
                      GreyCase{"DarkAt274", stDark, QColor(92, 91, 91), "shadow"},
                      GreyCase{"DarkAt175", stDark, QColor(59, 58, 58), "black"}),
    [](const ::testing::TestParamInfo<GreyCase>& p) { return std::string(p.param.name); });

TEST_F(ButtonTest, GreyImageIsMadeFromTheBitmapAndFollowsTheShading)
{
    TExplorerButton* b = Make();
    b->SetBitmap(LoadArtwork("help"));
    const QImage medium = b->GreyImage();
    ASSERT_FALSE(medium.isNull());
    b->SetShadingType(stDark);
    EXPECT_NE(b->GreyImage(), medium);
    EXPECT_EQ(b->GreyImage(), TExplorerButton::MakeGreyImage(LoadArtwork("help"), stDark,
                                                             SystemColors::BtnHighlight(),
                                                             SystemColors::BtnShadow()));
}

// --- Hints and accelerators ----------------------------------------------------------------

TEST(ExplBtnText, AcceleratorMarksAreStripped)
{
    EXPECT_EQ(TExplorerButton::StripAccelerator(" &Close Update Center"), " Close Update Center");
    EXPECT_EQ(TExplorerButton::StripAccelerator("Fees && &Costs"), "Fees & Costs");
    EXPECT_EQ(TExplorerButton::StripAccelerator("&&&X"), "&X");
    EXPECT_EQ(TExplorerButton::StripAccelerator("Plain"), "Plain");
}

TEST_F(ButtonTest, IconOnlyButtonTakesItsCaptionAsHintButKeepsAnExplicitOne)
{
    TExplorerButton* b = Make();
    b->SetCaption("E&xit");
    b->SetOptions(b->Options() | boIconOnly);
    EXPECT_EQ(b->Hint(), "Exit");
    EXPECT_TRUE(b->ShowHint());
    EXPECT_EQ(b->toolTip(), "Exit");
    b->SetOptions(b->Options() & ~TExplorerButtonOptions(boIconOnly));
    EXPECT_EQ(b->Hint(), "");
    EXPECT_FALSE(b->ShowHint());

    TExplorerButton* print = Make(30);
    print->SetHint(" Print Preview ...");
    print->SetOptions(print->Options() | boIconOnly);
    EXPECT_EQ(print->Hint(), " Print Preview ...");
    EXPECT_EQ(print->toolTip(), " Print Preview ...");
    // With the option on, a new caption becomes the hint.
    print->SetCaption("&Print");
    EXPECT_EQ(print->Hint(), "Print");
}

TEST_F(ButtonTest, AltAndTheMarkedLetterClicksTheButton)
{
    TExplorerButton* close = Make();
    close->SetCaption(" &Close Update Center");
    close->resize(131, 25);
    TExplorerButton* other = Make(140);
    other->SetCaption("Check for &Update");
    QSignalSpy closeClicks(close, &TExplorerButton::OnClick);
    QSignalSpy otherClicks(other, &TExplorerButton::OnClick);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(closeClicks.count(), 1);
    EXPECT_EQ(otherClicks.count(), 0);
    EXPECT_FALSE(close->IsPressed());
    close->setEnabled(false);
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(closeClicks.count(), 1);
}

// --- Clicks, groups and sizes --------------------------------------------------------------

TEST_F(ButtonTest, ReleasingOutsideGivesNoClick)
{
    TExplorerButton* b = Make();
    QSignalSpy clicks(b, &TExplorerButton::OnClick);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(b->IsPressed());
    QTest::mouseMove(b, QPoint(200, 10));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(b->IsPressed());
    EXPECT_FALSE(b->IsHot());
}

TEST_F(ButtonTest, GroupButtonsGoDownOneAtATime)
{
    TExplorerButton* a = Make(0);
    TExplorerButton* b = Make(60);
    TExplorerButton* loose = Make(120);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    loose->SetDown(true); // GroupIndex 0: no effect
    EXPECT_FALSE(loose->Down());
    QTest::mouseClick(loose, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(loose->Down());

    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a->Down());
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); // without AllowAllUp: stays down
    EXPECT_TRUE(b->Down());

    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp()); // shared by the group
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b->Down());
    b->SetDown(true);
    b->SetGroupIndex(0);
    EXPECT_FALSE(b->Down());
}

TEST_F(ButtonTest, EachSizeModeKeepsItsOwnSize)
{
    TExplorerButton* b = Make();
    EXPECT_EQ(b->size(), QSize(50, 40));
    b->SetButtonSize(bsSmall);
    EXPECT_EQ(b->size(), QSize(23, 22));
    b->resize(30, 28);
    EXPECT_EQ(b->SmallWidth(), 30);
    EXPECT_EQ(b->SmallHeight(), 28);
    b->SetLargeWidth(45); // not the current mode: no resize
    EXPECT_EQ(b->size(), QSize(30, 28));
    b->SetButtonSize(bsLarge);
    EXPECT_EQ(b->size(), QSize(45, 38));
    b->SetButtonSize(bsCustom);
    EXPECT_EQ(b->size(), QSize(50, 40));
}

TEST_F(ButtonTest, DropDownMenuOpensOnPressAndReplacesTheClick)
{
    TExplorerButton* b = Make();
    QMenu menu;
    menu.addAction("One");
    b->SetDropDownMenu(&menu);
    QSignalSpy clicks(b, &TExplorerButton::OnClick);
    QSignalSpy dropDowns(b, &TExplorerButton::OnDropDownClick);
    bool shown = false;
    // Closes the menu as soon as it is up, as the user pressing Escape would.
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        shown = true;
        QTimer::singleShot(0, &menu, &QMenu::close);
    });
    form->show();
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(shown);
    EXPECT_EQ(dropDowns.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(b->IsPressed());
}

TEST_F(ButtonTest, OfficeStyleClicksOnTheBodyAndDropsDownOnTheArrow)
{
    TExplorerButton* b = Make();
    b->SetDropDownStyle(ddsOffice);
    QSignalSpy clicks(b, &TExplorerButton::OnClick);
    QSignalSpy dropDowns(b, &TExplorerButton::OnDropDownClick);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() - 5, 5));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(dropDowns.count(), 1);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtonTest, PointerEnteringAndLeavingMakesTheButtonHot)
{
    TExplorerButton* b = Make();
    QSignalSpy enters(b, &TExplorerButton::OnEnter);
    QSignalSpy exits(b, &TExplorerButton::OnExit);
    Enter(b);
    EXPECT_TRUE(b->IsHot());
    Leave(b);
    EXPECT_FALSE(b->IsHot());
    EXPECT_EQ(enters.count(), 1);
    EXPECT_EQ(exits.count(), 1);
}

// --- Painting ------------------------------------------------------------------------------

TEST_F(ButtonTest, ToolbarImageIsCentredOnAFlatFaceAndRaisedUnderThePointer)
{
    TExplorerButton* b = Make();
    const QImage icon = LoadArtwork("exit");
    b->SetBitmap(icon);
    b->SetOptions(boIconOnly | boPopupMark | boShowBevel | boShowDownPattern);
    b->SetHint(" Exit");
    b->resize(25, 24);
    const QPoint opaque = FirstOpaque(icon);
    QImage image = b->grab().toImage();
    // 16 x 16 in 25 x 24: at (4, 4); the transparent colour shows the background.
    EXPECT_EQ(image.pixelColor(QPoint(4, 4) + opaque), icon.pixelColor(opaque));
    EXPECT_EQ(image.pixelColor(4, 4), Back());
    EXPECT_EQ(image.pixelColor(0, 0), Back()); // flat: no bevel
    Enter(b);
    image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 0), SystemColors::BtnHighlight());
    EXPECT_EQ(image.pixelColor(5, 23), SystemColors::BtnShadow());
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 0), SystemColors::BtnShadow());                // sunken
    EXPECT_EQ(image.pixelColor(QPoint(5, 5) + opaque), icon.pixelColor(opaque)); // one down
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ButtonTest, DisabledImageButtonIsEmbossedAndShowsNoBevelOnHover)
{
    TExplorerButton* b = Make();
    const QImage icon = LoadArtwork("exit");
    b->SetBitmap(icon);
    b->SetOptions(boIconOnly | boShowBevel);
    b->resize(25, 24);
    b->setEnabled(false);
    Enter(b);
    const QImage image = b->grab().toImage();
    const QSet<QRgb> allowed = {Back().rgb(), SystemColors::BtnHighlight().rgb(),
                                SystemColors::BtnShadow().rgb()};
    int shadowPixels = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 25; ++x) {
            const QRgb c = image.pixelColor(x, y).rgb();
            EXPECT_TRUE(allowed.contains(c)) << "pixel " << x << "," << y;
            shadowPixels += c == SystemColors::BtnShadow().rgb();
        }
    EXPECT_GT(shadowPixels, 50);
    EXPECT_EQ(image.pixelColor(5, 0), Back()); // no bevel although the pointer is over it
    // The two layers: the highlight one pixel right and down of the shadow.
    const QPoint opaque = FirstOpaque(icon);
    EXPECT_EQ(image.pixelColor(QPoint(4, 4) + opaque), SystemColors::BtnShadow());

    // A disabled bitmap of its own replaces the embossed form.
    b->SetDisabledBitmap(LoadArtwork("ok"));
    const QImage own = b->grab().toImage();
    const QPoint okPixel = FirstOpaque(LoadArtwork("ok"));
    EXPECT_EQ(own.pixelColor(QPoint(4, 4) + okPixel), LoadArtwork("ok").pixelColor(okPixel));
}

TEST_F(ButtonTest, PopupMarkNeedsAMenuAndMakesRoomForItself)
{
    TExplorerButton* b = Make();
    const QImage icon = LoadArtwork("help");
    b->SetBitmap(icon);
    b->SetOptions(boIconOnly | boPopupMark | boShowBevel);
    b->resize(50, 24);
    const QPoint opaque = FirstOpaque(icon);
    QImage image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(QPoint(17, 4) + opaque), icon.pixelColor(opaque)); // (50-16)/2
    QMenu menu;
    b->SetDropDownMenu(&menu);
    image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(QPoint(12, 4) + opaque), icon.pixelColor(opaque)); // (50-26)/2
    // The mark: a 7-pixel bar and a 5-pixel row of the triangle right of the image.
    const int markX = 12 + 16 + 2, markY = 4 + 8 - 1;
    EXPECT_EQ(image.pixelColor(markX, markY - 1), b->UnselectedFontColor());
    EXPECT_EQ(image.pixelColor(markX + 6, markY - 1), b->UnselectedFontColor());
    EXPECT_EQ(image.pixelColor(markX + 3, markY + 2), b->UnselectedFontColor());
    EXPECT_EQ(image.pixelColor(markX, markY + 2), Back());
}

TEST_F(ButtonTest, DownButtonShowsThePattern)
{
    TExplorerButton* b = Make();
    b->SetGroupIndex(3);
    b->SetDown(true);
    QImage image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(4, 4), SystemColors::BtnHighlight());
    EXPECT_EQ(image.pixelColor(5, 4), SystemColors::BtnFace());
    EXPECT_EQ(image.pixelColor(5, 5), SystemColors::BtnHighlight());
    EXPECT_EQ(image.pixelColor(2, 0), SystemColors::BtnShadow()); // sunken bevel
    b->SetOptions(b->Options() & ~TExplorerButtonOptions(boShowDownPattern));
    image = b->grab().toImage();
    EXPECT_EQ(image.pixelColor(4, 4), Back());
}

TEST_F(ButtonTest, CaptionIsGreyedWhenThePointerIsElsewhereAndTheFontColourWhenHot)
{
    TExplorerButton* b = Make();
    b->SetCaption("AutoCalc Grid:  OFF");
    QFont bold = b->font();
    bold.setBold(true);
    b->setFont(bold);
    b->resize(114, 24);
    b->SetUnselectedFontColor(QColor(0, 0, 255));
    b->SetFontColor(QColor(255, 0, 0));
    auto count = [&](const QColor& colour) {
        const QImage image = b->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(QColor(0, 0, 255)), 10);
    EXPECT_EQ(count(QColor(255, 0, 0)), 0);
    Enter(b);
    EXPECT_GT(count(QColor(255, 0, 0)), 10);
}

// --- Artwork -------------------------------------------------------------------------------

struct ArtworkCase {
    const char* name;
    int width, height;
};

class ExplBtnArtwork : public ::testing::TestWithParam<ArtworkCase> {};

TEST_P(ExplBtnArtwork, ExistsAtItsSizeWithAKeyColourCorner)
{
    const QImage image = LoadArtwork(GetParam().name);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(GetParam().width, GetParam().height));
    EXPECT_EQ(image.pixelColor(0, 0), key);
    EXPECT_NE(FirstOpaque(image), QPoint(-1, -1));
}

INSTANTIATE_TEST_SUITE_P(
    Images, ExplBtnArtwork,
    ::testing::Values(ArtworkCase{"print_preview", 16, 16}, ArtworkCase{"printer_setup", 16, 16},
                      ArtworkCase{"reset", 16, 16}, ArtworkCase{"disclaimer", 16, 16},
                      ArtworkCase{"update", 16, 16}, ArtworkCase{"help", 16, 16},
                      ArtworkCase{"exit", 16, 16}, ArtworkCase{"calculate", 16, 16},
                      ArtworkCase{"ok", 16, 16}, ArtworkCase{"preview_prev", 15, 12},
                      ArtworkCase{"preview_next", 15, 12}, ArtworkCase{"preview_zoom_out", 16, 17},
                      ArtworkCase{"preview_zoom_100", 16, 17},
                      ArtworkCase{"preview_zoom_in", 16, 17}, ArtworkCase{"preview_print", 20, 20},
                      ArtworkCase{"preview_close", 17, 17}, ArtworkCase{"update_check", 16, 16},
                      ArtworkCase{"update_retrieve", 15, 14}, ArtworkCase{"update_close", 17, 17}),
    [](const ::testing::TestParamInfo<ArtworkCase>& p) { return std::string(p.param.name); });

TEST(ExplBtnArtworkMissing, UnknownNameGivesANullImage)
{
    EXPECT_TRUE(LoadArtwork("no_such_picture").isNull());
}

TEST_F(ButtonTest, ClickHandlerMayDestroyTheButton)
{
    QPointer<TExplorerButton> b = Make();
    b->SetCaption("&Close");
    QObject::connect(b, &TExplorerButton::OnClick, b, [&] { delete b.data(); });
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(b.isNull());
    QPointer<TExplorerButton> mouse = Make();
    QObject::connect(mouse, &TExplorerButton::OnClick, mouse, [&] { delete mouse.data(); });
    QTest::mouseClick(mouse, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(mouse.isNull());
}

namespace {
// Runs `action` from the `passes`-th message pass from now: each pass delivers the messages
// posted before it began, so every hop waits for the next one.
void OnMessagePass(int passes, const std::function<void()>& action)
{
    QTimer::singleShot(0, [=] {
        if (passes <= 1)
            action();
        else
            OnMessagePass(passes - 1, action);
    });
}
} // namespace

// An accelerator runs three message passes (hot, pressed, released). The same accelerator
// arriving in any of them clicks no second time, and a handler deleting the button in any of
// them ends the accelerator without touching it.
TEST_F(ButtonTest, AnAcceleratorInsideItsOwnMessagePassesClicksOnce)
{
    struct Case {
        int pass;
        bool deleteButton;
        int clicks;
    };
    for (const Case c : {Case{1, false, 1}, Case{2, false, 1}, Case{3, false, 1}, Case{1, true, 0},
                         Case{2, true, 0}, Case{3, true, 1}}) {
        QPointer<TExplorerButton> b = Make();
        b->SetCaption("&Close");
        int clicks = 0;
        QObject::connect(b, &TExplorerButton::OnClick, [&] { ++clicks; });
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        OnMessagePass(c.pass, [&] {
            if (c.deleteButton)
                delete b.data();
            else
                QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
        });
        QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, c.clicks) << c.pass << c.deleteButton;
        EXPECT_EQ(b.isNull(), c.deleteButton) << c.pass;
        if (b) {
            EXPECT_FALSE(b->IsPressed()) << c.pass;
            // Done: the next accelerator clicks again.
            QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
            EXPECT_EQ(clicks, c.clicks + 1) << c.pass;
            delete b.data();
        }
    }
}

TEST_F(ButtonTest, AMenuCommandMayDestroyTheButtonDuringADoubleClickOrAContextMenu)
{
    // Each menu destroys the button as soon as it is up, as a command closing the window would;
    // nothing may touch the button afterwards (the sanitizer build sees any use).
    QMenu menu;
    menu.addAction("Close");
    QPointer<TExplorerButton> b;
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        QTimer::singleShot(0, &menu, [&] {
            delete b.data();
            menu.close();
        });
    });

    b = Make();
    b->SetDropDownMenu(&menu);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5),
                            b->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(b, &doubleClick);
    EXPECT_TRUE(b.isNull());

    b = Make();
    b->SetPopupMenu(&menu);
    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(5, 5), b->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(b, &context);
    EXPECT_TRUE(b.isNull());
}

TEST_F(ButtonTest, ADropDownHandlerMayDestroyTheButtonBeforeItsMenuOpens)
{
    // OnDropDownClick runs before the menu; a handler that closes the window takes the button
    // with it, and the menu must then not open for a button that is gone.
    QMenu menu;
    menu.addAction("One");
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        ++shown;
        QTimer::singleShot(0, &menu, &QMenu::close);
    });
    for (const TExplorerButtonDropDownStyle style : {ddsIExplorer, ddsOffice}) {
        QPointer<TExplorerButton> b = Make();
        b->SetDropDownStyle(style);
        b->SetDropDownMenu(&menu);
        QObject::connect(b, &TExplorerButton::OnDropDownClick, b, [&] { delete b.data(); });
        const QPointF arrow(b->width() - 3, 5);
        QMouseEvent press(QEvent::MouseButtonPress, arrow, b->mapToGlobal(arrow), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b, &press);
        EXPECT_TRUE(b.isNull()) << style;
    }
    EXPECT_EQ(shown, 0);
}
