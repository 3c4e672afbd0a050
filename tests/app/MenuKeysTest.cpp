// Opening and closing a menu, from the keyboard or with the mouse, is no exit from the field
// that has the focus: real key events go to the window, through its menu bar.
#include "app/Main.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "tests/support/TempFolder.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct MenuKeysTest : ::testing::Test {
    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;

    void SetUp() override
    {
        w = std::make_unique<TfrmMain>();
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        w->close();
    }
    QWindow* Window() const { return w->windowHandle(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(Window(), key, modifiers);
        QApplication::processEvents();
    }
    void ClickMenuTitle(QMenu* menu) const
    {
        QMenuBar* bar = w->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QApplication::processEvents();
    }
    // Nothing has been calculated since start-up: the results still hold their placeholders.
    void ExpectNoCalculation(const char* when) const
    {
        EXPECT_EQ(w->edtLoan->text(), "$1.00") << when;
        EXPECT_EQ(w->edtPayment->text(), "$1.00") << when;
        EXPECT_FALSE(w->btnReset->isEnabled()) << when;
        EXPECT_FALSE(w->btnPrint->isEnabled()) << when;
    }
    // The menu bar or one of its menus has the keyboard.
    static bool MenuActive()
    {
        return QApplication::activePopupWidget() ||
               qobject_cast<QMenuBar*>(QApplication::focusWidget());
    }
};

struct MenuCase {
    const char* name;
    bool bounded; // the bounded edit (interest) rather than the masked one (price)
    std::function<void(MenuKeysTest&)> open;
    std::vector<Qt::Key> close; // keys that bring the focus back to the field
};

struct MenuKeysCases : MenuKeysTest, ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuKeysCases, OpeningAndClosingAMenuIsNoExit)
{
    const MenuCase& c = GetParam();
    QWidget* field = c.bounded ? static_cast<QWidget*>(w->edtInterest) : w->edtPurchasePrice;
    field->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), field);
    ExpectNoCalculation("after entry");

    c.open(*this);
    EXPECT_TRUE(MenuActive());
    ExpectNoCalculation("menu open");
    for (Qt::Key key : c.close)
        Key(key);
    EXPECT_FALSE(MenuActive());
    EXPECT_EQ(QApplication::focusWidget(), field);
    ExpectNoCalculation("menu closed");

    // Still in the field: leaving it now is the exit, once.
    Key(Qt::Key_Tab);
    EXPECT_EQ(w->edtLoan->text(), "$100,000.00");
    EXPECT_TRUE(w->btnReset->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    , MenuKeysCases,
    ::testing::Values(
        MenuCase{"AltAloneInThePrice", false, [](MenuKeysTest& t) { t.Key(Qt::Key_Alt, Qt::AltModifier); },
                 {Qt::Key_Escape}},
        MenuCase{"AltAloneInTheInterest", true,
                 [](MenuKeysTest& t) { t.Key(Qt::Key_Alt, Qt::AltModifier); }, {Qt::Key_Escape}},
        MenuCase{"AltFInThePrice", false, [](MenuKeysTest& t) { t.Key(Qt::Key_F, Qt::AltModifier); },
                 {Qt::Key_Escape, Qt::Key_Escape}},
        MenuCase{"AltHThenArrowsInTheInterest", true,
                 [](MenuKeysTest& t) {
                     t.Key(Qt::Key_H, Qt::AltModifier);
                     t.Key(Qt::Key_Left);
                     t.Key(Qt::Key_Down);
                 },
                 {Qt::Key_Escape, Qt::Key_Escape}},
        MenuCase{"MouseMenuThenEscapeInThePrice", false,
                 [](MenuKeysTest& t) { t.ClickMenuTitle(t.w->mnuFile); },
                 {Qt::Key_Escape, Qt::Key_Escape}},
        MenuCase{"MouseMenuThenEscapeInTheInterest", true,
                 [](MenuKeysTest& t) { t.ClickMenuTitle(t.w->mnuPreferences); },
                 {Qt::Key_Escape, Qt::Key_Escape}}),
    [](const auto& row) { return std::string(row.param.name); });

// From the menu bar the user may go on to another field with the mouse: that leaves the field
// the menu bar took the focus from, before the new field's entry.
TEST_F(MenuKeysTest, MovingOnFromTheMenuBarIsTheExit)
{
    w->edtInterest->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Key(Qt::Key_Alt, Qt::AltModifier);
    ASSERT_TRUE(MenuActive());
    ExpectNoCalculation("menu bar selected");

    QTest::mouseClick(w->edtTerm, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w->edtTerm);
    EXPECT_EQ(w->edtLoan->text(), "$100,000.00");
    EXPECT_EQ(w->edtPayment->text(), "$786.70");
}

} // namespace
