// The calculator and its dialogs from the keyboard alone, through real key events: the
// fixed-fees panel's tab stops, the menu routes of the toolbar's commands, the edit keys of the
// fields, the dialogs' focus, and the title-bar buttons each window asks for.
#include "app/About.h"
#include "app/Disclaim.h"
#include "app/LoanSummaryDialog.h"
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/URLLabel.h"
#include "platform/MessageBox.h"
#include "platform/RadioGroup.h"
#include "report/Preview.h"
#include "report/QRProgress.h"
#include "tests/support/FindChild.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/ModalCloser.h"
#include "tests/support/TempFolder.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"

#include <QAccessible>
#include <QClipboard>
#include <QFrame>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct KeyboardAccessTest : ::testing::Test {
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
        w->close();
        w.reset();
    }
    // A key as the display sends it: to the active window, which routes it.
    static void Key(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window->windowHandle(), key, modifiers);
        QApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const
    {
        Key(w.get(), key, modifiers);
    }
    // "^v" is Ctrl+V; any other character is typed.
    void Keys(const char* keys) const
    {
        for (const char* k = keys; *k; ++k) {
            if (*k == '^' && k[1]) {
                ++k;
                Key(static_cast<Qt::Key>(Qt::Key_A + (*k - 'a')), Qt::ControlModifier);
            } else {
                QTest::keyClick(w->windowHandle(), *k);
                QApplication::processEvents();
            }
        }
    }
    static QString FocusName()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
    static std::string Text(const QStringList& list) { return list.join(' ').toStdString(); }
    static bool Invisible(QWidget* widget)
    {
        return QAccessible::queryAccessibleInterface(widget)->state().invisible;
    }
};

TEST_F(KeyboardAccessTest, TheOpenFeesPanelKeepsTabAndShiftTabToItsOwnFields)
{
    auto* price = Find<TNumEdit>(*w, "edtPurchasePrice");
    price->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 4; ++i)
        Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), "btnCalcFixed");
    Key(Qt::Key_Space);
    auto* panel = Find<QFrame>(*w, "pnlFixedFees");
    ASSERT_TRUE(panel->isVisible());

    const QStringList stops = QString("edtOriginationFees edtPoints edtPrepaidMortgageInterest "
                                      "edtMortgageInsurancePremiums edtBuydownFunds "
                                      "edtFloodCheckFee edtTaxServicingFee edtOtherFees "
                                      "btnCloseFixedFees")
                                  .split(' ');
    QStringList forward{FocusName()};
    QStringList backward;
    for (int i = 0; i < stops.size(); ++i) {
        Key(Qt::Key_Tab);
        forward << FocusName();
    }
    for (int i = 0; i < stops.size(); ++i) {
        backward.prepend(FocusName());
        Key(Qt::Key_Tab, Qt::ShiftModifier);
    }
    backward.prepend(FocusName());
    EXPECT_EQ(Text(forward), Text(stops + QStringList{stops.front()}));
    EXPECT_EQ(Text(backward), Text(stops + QStringList{stops.front()}));

    // What the panel covers is no screen reader's either, and comes back when it closes.
    const QList<QWidget*> covered = {price,
                                     Find<TFnpNumericEdit>(*w, "edtInterest"),
                                     Find<QWidget>(*w, "btnCalcFixed"),
                                     Find<TRadioGroup>(*w, "rgLoan"),
                                     Find<TRadioGroup>(*w, "rgFixed"),
                                     Find<TNumEdit>(*w, "edtPayment")};
    for (QWidget* field : covered)
        EXPECT_TRUE(Invisible(field)) << field->objectName().toStdString();
    Key(Qt::Key_O, Qt::AltModifier); // the button's click follows its pressed look
    EXPECT_TRUE(QTest::qWaitFor([panel] { return !panel->isVisible(); }));
    for (QWidget* field : covered) {
        EXPECT_TRUE(field->isVisible()) << field->objectName().toStdString();
        EXPECT_FALSE(Invisible(field)) << field->objectName().toStdString();
    }
    EXPECT_EQ(FocusName(), "edtPurchasePrice");
    for (int i = 0; i < 4; ++i)
        Key(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "btnCalcFixed");
}

TEST_F(KeyboardAccessTest, F9AndHelpDisclaimerRunTheToolbarsCommandsOnTheNumberTyped)
{
    auto* price = Find<TNumEdit>(*w, "edtPurchasePrice");
    auto* payment = Find<TNumEdit>(*w, "edtPayment");
    auto* grid = Find<TStringAlignGrid>(*w, "grdAPR");
    QAction* calculate = Find<QAction>(*w, "mnuFileCalculate");
    EXPECT_TRUE(calculate->isVisible() && calculate->isEnabled());

    // F9 builds the table as Calculate does, with the price still being typed; the focus stays.
    price->setFocus(Qt::TabFocusReason);
    Keys("200000");
    ASSERT_TRUE(grid->Cells(1, 1).isEmpty());
    Key(Qt::Key_F9);
    EXPECT_EQ(payment->text(), "$1,573.40");
    EXPECT_FALSE(grid->Cells(1, 1).isEmpty());
    EXPECT_EQ(FocusName(), "edtPurchasePrice");

    // With AutoCalc on there is neither the button nor the item.
    QAction* autoCalc = Find<QAction>(*w, "mnuPreferencesAutoCalc");
    autoCalc->trigger();
    EXPECT_FALSE(calculate->isVisible() || calculate->isEnabled());
    autoCalc->trigger();
    EXPECT_TRUE(calculate->isVisible() && calculate->isEnabled());

    // Alt+H, D: the disclaimer, once however often asked while it shows, after the price typed
    // is taken.
    QStringList shown;
    ModalCloser closer([&](QWidget* modal) {
        shown << modal->objectName() + " " + payment->text();
        Find<QAction>(*w, "mnuHelpDisclaimer")->trigger();
        emit Find<TExplorerButton>(*w, "btnDisclaim")->OnClick();
    });
    price->setFocus(Qt::TabFocusReason);
    Keys("300000");
    Key(Qt::Key_H, Qt::AltModifier);
    Key(Qt::Key_D);
    EXPECT_EQ(shown, QStringList{"frmDisclaim $2,360.10"});
}

struct EditKeysCase {
    const char* name;
    const char* field;
    const char* clipboard;
    const char* keys; // after tabbing in, which selects the field's text
    const char* text;
    const char* copied; // the clipboard afterwards
    const char* shown;  // after Tab
};

struct EditKeys : KeyboardAccessTest, ::testing::WithParamInterface<EditKeysCase> {};

TEST_P(EditKeys, TakeTheDesktopsEditKeysAndFilterPastedText)
{
    const EditKeysCase& c = GetParam();
    auto* field = Find<TKeyRoutedEdit>(*w, c.field);
    if (!field->isVisible())
        w->CalculateFixedFees();
    QGuiApplication::clipboard()->setText(c.clipboard);
    field->setFocus(Qt::TabFocusReason);
    Keys(c.keys);
    EXPECT_EQ(field->text(), c.text);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.copied);
    Key(Qt::Key_Tab);
    EXPECT_EQ(field->text(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    , EditKeys,
    ::testing::Values(
        EditKeysCase{"PricePasteAsTyped", "edtPurchasePrice", "$1,234.5x", "^a^v", "1,234.5",
                     "$1,234.5x", "$1,234.50"},
        EditKeysCase{"PriceCutThenUndo", "edtPurchasePrice", "", "^a^x^z", "100,000.00",
                     "100,000.00", "$100,000.00"},
        EditKeysCase{"PriceUndoStepByStep", "edtPurchasePrice", "9", "^v^v5^z^z", "9", "9",
                     "$9.00"},
        EditKeysCase{"FeePaste", "edtOriginationFees", "2,500", "^v", "2,500", "2,500",
                     "$2,500.00"},
        EditKeysCase{"FeePasteOfLettersChangesNothing", "edtOtherFees", "abc", "^a^v", "0.00",
                     "abc", "$0.00"},
        EditKeysCase{"FeeCopy", "edtPoints", "", "12.5^a^c", "12.5", "12.5", "$12.50"},
        EditKeysCase{"InterestPaste", "edtInterest", "7.25", "^a^v", "7.250", "7.25", "7.250"},
        EditKeysCase{"InterestPasteUndone", "edtInterest", "6", "^v^z", "8.750", "6", "8.750"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(KeyboardAccessTest, AboutAndDisclaimerOpenOnTheirOKButtonAndTakeTheirKeys)
{
    QList<ShellOpenRequest> opened;
    QStringList seen;
    ModalCloser closer([&](QWidget* modal) {
        (void)QTest::qWaitForWindowActive(modal);
        if (auto* about = qobject_cast<TAboutBox*>(modal)) {
            TURLLabel* link = about->URLLabel1;
            link->SetShellOpener([&](const ShellOpenRequest& request) {
                opened << request;
                return 42;
            });
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(link);
            EXPECT_EQ(read->role(), QAccessible::Link);
            EXPECT_EQ(read->text(QAccessible::Name), "www.velmora.example");
            EXPECT_TRUE(read->state().focusable);
            seen << FocusName();
            Key(about, Qt::Key_Tab);
            seen << FocusName();
            Key(about, Qt::Key_Return); // on the link: opens it, the box stays
            Key(about, Qt::Key_Tab, Qt::ShiftModifier);
            seen << FocusName();
            EXPECT_TRUE(about->isVisible());
            Key(about, Qt::Key_Return);
            EXPECT_FALSE(about->isVisible());
        } else if (auto* disclaimer = qobject_cast<TfrmDisclaim*>(modal)) {
            seen << FocusName();
            Key(disclaimer, Qt::Key_Tab);
            seen << FocusName();
            Key(disclaimer, Qt::Key_Space);
            EXPECT_FALSE(disclaimer->isVisible());
        }
    });
    Key(Qt::Key_H, Qt::AltModifier);
    Key(Qt::Key_A);
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    Key(Qt::Key_H, Qt::AltModifier);
    Key(Qt::Key_D);
    EXPECT_EQ(Text(seen), "OKButton URLLabel1 OKButton btnOK btnOK");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front().file, "http://www.velmora.example/");
}

// The title-bar buttons each window asks the window manager for.
struct FlagsCase {
    const char* name;
    std::function<Qt::WindowFlags()> flags;
    Qt::WindowFlags wanted;
};

struct WindowFlags : ::testing::TestWithParam<FlagsCase> {
    TempProgramFolder folder;
};

TEST_P(WindowFlags, AskForTheTitleBarButtonsTheWindowNeeds)
{
    constexpr Qt::WindowFlags titleBar = Qt::WindowType_Mask | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinimizeButtonHint |
                                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    EXPECT_EQ(GetParam().flags() & titleBar, GetParam().wanted);
}

template <typename T, typename... Args> std::function<Qt::WindowFlags()> FlagsOf(Args... args)
{
    return [=] { return T(args...).windowFlags(); };
}

Qt::WindowFlags MessageBoxFlags()
{
    Qt::WindowFlags flags;
    SetMessageBoxHook(nullptr);
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            flags = box->windowFlags();
            box->close();
        }
    });
    MessageBox("Text", "Caption", MessageIcon::Information, MessageButtons::Ok);
    MessageBoxAnswerer::InstallDefault();
    return flags;
}

constexpr Qt::WindowFlags dialogTitle = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
// A close button is the system menu's on this desktop: the toolkit adds the one to the other.
constexpr Qt::WindowFlags closeOnly =
    dialogTitle | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

INSTANTIATE_TEST_SUITE_P(
    , WindowFlags,
    ::testing::Values(
        FlagsCase{"Calculator", FlagsOf<TfrmMain>(),
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                      Qt::WindowCloseButtonHint},
        FlagsCase{"About", FlagsOf<TAboutBox>(), dialogTitle},
        FlagsCase{"Disclaimer", FlagsOf<TfrmDisclaim>(), dialogTitle},
        FlagsCase{"UpdateCentre",
                  [] {
                      TWebFileInfo webInfo;
                      return TfrmUpdate(&webInfo).windowFlags();
                  },
                  dialogTitle},
        FlagsCase{"Progress", FlagsOf<TQRProgress>(QString("Printing"), QString("Page 1"), 3),
                  dialogTitle},
        FlagsCase{"Preview", FlagsOf<TfrmPreview>(), closeOnly},
        FlagsCase{"LoanSummary",
                  [] { return TfrmLoanSummary(calc::LoanModel({.price = 250000})).windowFlags(); },
                  closeOnly},
        FlagsCase{"MessageBox", MessageBoxFlags, closeOnly}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
