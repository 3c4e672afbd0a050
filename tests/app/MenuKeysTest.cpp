// Opening and closing a menu, from the keyboard or with the mouse, is no exit from the field
// that has the focus: real key events go to the window, through its menu bar.
#include "app/Main.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "tests/support/FindChild.h"
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
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QApplication::processEvents();
    }
    // The field has the focus and holds a value typed but not yet committed; the results are
    // still those of start-up.
    void TypeAndStay(QWidget* field, const char* text) const
    {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        w->Reset(Find<TExplorerButton>(
            *w, "btnReset")); // back to the start-up results, the focus in the price field
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), field);
        QTest::keyClicks(field, text);
        m_payment = Find<TNumEdit>(*w, "edtPayment")->text();
    }
    void ExpectNoExit(QWidget* field, const char* text, const char* when) const
    {
        EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), m_payment) << when;
        EXPECT_EQ(static_cast<QLineEdit*>(field)->text(), text) << when;
    }
    mutable QString m_payment;
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
    QWidget* field = c.bounded ? static_cast<QWidget*>(Find<TFnpNumericEdit>(*w, "edtInterest"))
                               : Find<TNumEdit>(*w, "edtPurchasePrice");
    const char* typed = c.bounded ? "7.500" : "200000";
    TypeAndStay(field, typed);

    c.open(*this);
    EXPECT_TRUE(MenuActive());
    ExpectNoExit(field, typed, "menu open");
    for (Qt::Key key : c.close)
        Key(key);
    EXPECT_FALSE(MenuActive());
    EXPECT_EQ(QApplication::focusWidget(), field);
    ExpectNoExit(field, typed, "menu closed");

    // Still in the field: leaving it now is the exit, with the value typed.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), c.bounded ? "$699.21" : "$1,573.40");
}

INSTANTIATE_TEST_SUITE_P(
    , MenuKeysCases,
    ::testing::Values(MenuCase{"AltAloneInThePrice",
                               false,
                               [](MenuKeysTest& test) { test.Key(Qt::Key_Alt, Qt::AltModifier); },
                               {Qt::Key_Escape}},
                      MenuCase{"AltAloneInTheInterest",
                               true,
                               [](MenuKeysTest& test) { test.Key(Qt::Key_Alt, Qt::AltModifier); },
                               {Qt::Key_Escape}},
                      MenuCase{"AltFInThePrice",
                               false,
                               [](MenuKeysTest& test) { test.Key(Qt::Key_F, Qt::AltModifier); },
                               {Qt::Key_Escape, Qt::Key_Escape}},
                      MenuCase{"AltHThenArrowsInTheInterest",
                               true,
                               [](MenuKeysTest& test) {
                                   test.Key(Qt::Key_H, Qt::AltModifier);
                                   test.Key(Qt::Key_Left);
                                   test.Key(Qt::Key_Down);
                               },
                               {Qt::Key_Escape, Qt::Key_Escape}},
                      MenuCase{"MouseMenuThenEscapeInThePrice",
                               false,
                               [](MenuKeysTest& test) {
                                   test.ClickMenuTitle(Find<QMenu>(*test.w, "mnuFile"));
                               },
                               {Qt::Key_Escape, Qt::Key_Escape}},
                      MenuCase{"MouseMenuThenEscapeInTheInterest",
                               true,
                               [](MenuKeysTest& test) {
                                   test.ClickMenuTitle(Find<QMenu>(*test.w, "mnuPreferences"));
                               },
                               {Qt::Key_Escape, Qt::Key_Escape}}),
    [](const auto& row) { return std::string(row.param.name); });

// From the menu bar the user may go on to another field with the mouse: that leaves the field
// the menu bar took the focus from, before the new field's entry.
TEST_F(MenuKeysTest, MovingOnFromTheMenuBarIsTheExit)
{
    TypeAndStay(Find<TFnpNumericEdit>(*w, "edtInterest"), "7.500");
    Key(Qt::Key_Alt, Qt::AltModifier);
    ASSERT_TRUE(MenuActive());
    ExpectNoExit(Find<TFnpNumericEdit>(*w, "edtInterest"), "7.500", "menu bar selected");

    QTest::mouseClick(Find<TFnpNumericEdit>(*w, "edtTerm"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Find<TFnpNumericEdit>(*w, "edtTerm"));
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$699.21");
}

} // namespace
