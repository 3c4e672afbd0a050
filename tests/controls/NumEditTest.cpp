// The masked numeric edit driven like a user: focus in, keys, focus out.
#include "controls/NumEdit.h"

#include "calc/Errors.h"
#include "tests/controls/NumericEditTestSupport.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <limits>

namespace {

class NumEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TNumEdit(&w.window);
        edit->setObjectName("edtPurchasePrice");
        w.Show();
    }
    // Tabs into the edit (which selects its whole text).
    void FocusIn()
    {
        edit->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(edit->hasFocus());
    }
    // Tabs on to the other edit.
    void Leave() { QTest::keyClick(edit, Qt::Key_Tab); }
    // Types into the edit after tabbing in, then leaves it.
    void Enter(const QString& keys)
    {
        FocusIn();
        Type(edit, keys);
        Leave();
    }

    EditWindow w;
    TNumEdit* edit = nullptr;
};

// What the user types over the selected text, the Value after leaving and what then shows.
struct TypingRow {
    const char* name;
    const char* keys;
    double value;
    const char* shown;
};

class NumEditTyping : public NumEditTest, public ::testing::WithParamInterface<TypingRow> {};

TEST_P(NumEditTyping, GivesTheValueAndTheDisplay)
{
    edit->SetValue(7);
    Enter(GetParam().keys);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_DOUBLE_EQ(edit->Value(), GetParam().value);
    EXPECT_EQ(edit->text().toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumEditTyping,
    ::testing::Values(TypingRow{"MinusInsideIsDropped", "12-3", 123, "$123.00"},
                      TypingRow{"TrailingMinus", "123-", -123, "($123.00)"},
                      TypingRow{"LeadingMinus", "-45.5", -45.5, "($45.50)"},
                      TypingRow{"SecondSeparatorRefused", "1.2.3", 1.23, "$1.23"},
                      TypingRow{"SecondMinusRefused", "-1-2", -12, "($12.00)"},
                      TypingRow{"ThousandsSeparatorsDropped", "1,000.5", 1000.5, "$1,000.50"},
                      TypingRow{"LettersAndSymbolsRefused", "1a2$3 ", 123, "$123.00"},
                      TypingRow{"Cleared", "\b", 0, "$0.00"},
                      TypingRow{"BackspaceEdits", "129\b", 12, "$12.00"},
                      TypingRow{"DisplayRoundsHalvesUp", "0.125", 0.125, "$0.13"},
                      TypingRow{"LimitIsDigits", "1234567890123", 123456789012.0,
                                "$123,456,789,012.00"},
                      TypingRow{"SeparatorGrowsTheLimit", "123456789012.", 123456789012.0,
                                "$123,456,789,012.00"}),
    [](const ::testing::TestParamInfo<TypingRow>& row) { return std::string(row.param.name); });

// Display text of a Value under the rounding rules and numeric types.
struct DisplayRow {
    const char* name;
    TNumericType type;
    bool rounding;
    double value;
    const char* shown;
};

class NumEditDisplay : public NumEditTest, public ::testing::WithParamInterface<DisplayRow> {};

TEST_P(NumEditDisplay, ShowsTheRoundedText)
{
    edit->SetUseRounding(GetParam().rounding);
    edit->SetNumericType(GetParam().type);
    edit->SetValue(GetParam().value);
    EXPECT_EQ(edit->text().toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumEditDisplay,
    ::testing::Values(DisplayRow{"HalfUpFromTheDecimal", ntCurrency, true, 1000.005, "$1,000.01"},
                      DisplayRow{"HalfUp", ntCurrency, true, 0.125, "$0.13"},
                      DisplayRow{"RoundsUp", ntCurrency, true, 0.129, "$0.13"},
                      DisplayRow{"Truncates", ntCurrency, false, 0.129, "$0.12"},
                      DisplayRow{"TruncatesTowardZero", ntCurrency, false, -0.129, "($0.12)"},
                      DisplayRow{"Grouped", ntCurrency, true, 100000, "$100,000.00"},
                      DisplayRow{"Negative", ntCurrency, true, -5, "($5.00)"},
                      DisplayRow{"EveryCentBeyondTwelveDigits", ntCurrency, true, 8999999999999.99,
                                 "$8,999,999,999,999.99"},
                      DisplayRow{"TooLargeToRoundStaysAsIs", ntCurrency, true, 1e17, "1E17"},
                      DisplayRow{"Percentage", ntPercentage, true, 0.25, "25.00%"},
                      DisplayRow{"PercentageRounds", ntPercentage, true, 0.123456, "12.35%"},
                      DisplayRow{"MaskPositive", ntGeneral, true, 1234.567, "1,235"},
                      DisplayRow{"MaskNegative", ntGeneral, true, -1234, "-1,234"},
                      DisplayRow{"MaskRoundsBeforeTheMask", ntGeneral, false, 2.999, "3"}),
    [](const ::testing::TestParamInfo<DisplayRow>& row) { return std::string(row.param.name); });

TEST_F(NumEditTest, CreationDefaults)
{
    TNumEdit fresh;
    EXPECT_EQ(fresh.width(), 85);
    EXPECT_EQ(fresh.text(), "$0.00");
    EXPECT_EQ(fresh.Decimals(), 2);
    EXPECT_EQ(fresh.Digits(), 12);
    EXPECT_EQ(fresh.NumericType(), ntCurrency);
    EXPECT_TRUE(fresh.UseRounding());
    EXPECT_FALSE(fresh.Validate());
    EXPECT_EQ(fresh.Masks()->PositiveMask(), "#,##0");
    EXPECT_EQ(fresh.UnfocusedAlignment(), 1);
    const int system = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(fresh.TextMargin(), std::min(system, fresh.fontMetrics().height()) / 4);
}

// An amount wider than the field is shown whole in a smaller font; a short one in the full font.
TEST_F(NumEditTest, AnAmountTooWideForTheFieldShowsWholeInASmallerFont)
{
    const QFont full = edit->font();
    for (const double value : {999999999999.99, 100.0, 8999999999999.99}) {
        edit->SetValue(value);
        const bool wide = value > 1e6;
        EXPECT_EQ(edit->font() != full, wide) << value;
        EXPECT_LE(QFontMetrics(edit->font()).horizontalAdvance(edit->text()),
                  edit->contentsRect().width())
            << value;
    }
}

// A screen reader sets a field's text through its accessible interface, without the focus: the
// text is an entry as if typed and the field left (the value, the display, OnExit).
TEST_F(NumEditTest, ATextSetThroughTheAccessibleInterfaceIsTakenAsAnEntry)
{
    QSignalSpy exits(edit, &TNumEdit::OnExit);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->editableTextInterface(), nullptr);
    const struct {
        const char* text;
        double value;
        const char* display;
    } cases[] = {{"250000", 250000, "$250,000.00"}, {"$1,234.5", 1234.5, "$1,234.50"}};
    for (const auto& c : cases) {
        const int length = accessible->textInterface()->characterCount();
        accessible->editableTextInterface()->replaceText(0, length, c.text);
        EXPECT_EQ(edit->Value(), c.value) << c.text;
        EXPECT_EQ(edit->text(), c.display) << c.text;
    }
    EXPECT_EQ(exits.count(), 2);
    EXPECT_FALSE(edit->hasFocus());
}

TEST_F(NumEditTest, FocusSwitchesBetweenDisplayAndEditText)
{
    edit->SetValue(100000);
    FocusIn();
    EXPECT_EQ(edit->text(), "100,000.00");
    EXPECT_EQ(edit->selectedText(), "100,000.00");
    EXPECT_EQ(edit->MaxLength(), 12);
    EXPECT_EQ(edit->UnfocusedAlignment(), 0);
    Leave();
    EXPECT_EQ(edit->text(), "$100,000.00");
    EXPECT_EQ(edit->MaxLength(), 0);
    EXPECT_EQ(edit->UnfocusedAlignment(), 1);
}

TEST_F(NumEditTest, NegativeAmountBecomesMinusOnEntry)
{
    edit->SetValue(-5);
    EXPECT_EQ(edit->text(), "($5.00)");
    FocusIn();
    EXPECT_EQ(edit->text(), "-5.00");
    Leave();
    EXPECT_EQ(edit->Value(), -5);
}

TEST_F(NumEditTest, SignShownByThePatternGivesOneMinusOnEntry)
{
    // "-$5.00" and "$5.00-" already carry the sign; the edit text still gets just one.
    for (int pattern : {1, 3}) {
        TFormatSettings s = Regional::UnitedStates();
        s.NegCurrFormat = pattern;
        RegionalOverride regional(s);
        edit->SetValue(-5);
        edit->SetDecimals(3);
        edit->SetDecimals(2);
        FocusIn();
        EXPECT_EQ(edit->text(), "-5.00") << pattern;
        Leave();
        EXPECT_EQ(edit->Value(), -5) << pattern;
    }
}

TEST_F(NumEditTest, EnteringAndLeavingTakesTheDisplayedValue)
{
    edit->SetValue(100000.004);
    Enter("");
    EXPECT_EQ(edit->Value(), 100000);
    edit->SetValue(0.129);
    Enter("");
    EXPECT_EQ(edit->Value(), 0.13);

    // A read-only edit takes the focus on a click, and the same happens.
    edit->setReadOnly(true);
    edit->SetValue(1.994);
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(edit->hasFocus());
    Type(edit, "99");
    EXPECT_EQ(edit->text(), "1.99");
    Leave();
    EXPECT_EQ(edit->Value(), 1.99);
}

TEST_F(NumEditTest, ScientificDisplayDoesNotChangeTheValueOnEntry)
{
    // "8E15" read back digit by digit would be 815.
    edit->SetValue(8e15);
    FocusIn();
    EXPECT_EQ(edit->text(), "8000000000000000.00");
    Leave();
    EXPECT_EQ(edit->Value(), 8e15);
    EXPECT_EQ(edit->text(), "8E15");
}

TEST_F(NumEditTest, CurrencySymbolWithADotIsNoPartOfTheNumber)
{
    TFormatSettings s = Regional::UnitedStates();
    s.CurrencyString = "Rs.";
    RegionalOverride regional(s);
    edit->SetValue(1234.5);
    EXPECT_EQ(edit->text(), "Rs.1,234.50");
    FocusIn();
    EXPECT_EQ(edit->text(), "1,234.50");
    Leave();
    EXPECT_EQ(edit->Value(), 1234.5);
}

TEST_F(NumEditTest, ThirtyDigitValueSurvivesEntryAndExit)
{
    edit->SetValue(1e29);
    EXPECT_EQ(edit->text(), "1E29");
    FocusIn();
    EXPECT_EQ(edit->text(), "100000000000000000000000000000.00");
    Leave();
    EXPECT_EQ(edit->Value(), 1e29);
}

TEST_F(NumEditTest, InputMethodTextIsFiltered)
{
    FocusIn();
    QInputMethodEvent event;
    event.setCommitString("4x2-");
    QCoreApplication::sendEvent(edit, &event);
    EXPECT_EQ(edit->text(), "42-");
}

TEST_F(NumEditTest, TextLongerThanTheLimitStaysWholeButTakesNoMore)
{
    edit->SetValue(123456789);
    FocusIn();
    EXPECT_EQ(edit->text(), "123,456,789.00");
    QTest::keyClick(edit, Qt::Key_End);
    Type(edit, "5");
    EXPECT_EQ(edit->text(), "123,456,789.00");
    Type(edit, "\b\b5");
    EXPECT_EQ(edit->text(), "123,456,789.");
    Leave();
    EXPECT_EQ(edit->Value(), 123456789);
}

TEST_F(NumEditTest, OnExitFiresAfterTheValueIsParsed)
{
    QList<double> seen;
    QObject::connect(edit, &TNumEdit::OnExit, [&] { seen << edit->Value(); });
    QSignalSpy entered(edit, &TNumEdit::OnEnter);
    Enter("250");
    EXPECT_EQ(seen, QList<double>{250});
    EXPECT_EQ(entered.count(), 1);
}

// A receiver of OnEnter or OnExit may delete the edit (a command that commits the field and
// closes its window): the edit touches nothing of itself afterwards (the sanitizer build
// catches a touch of the freed edit).
TEST_F(NumEditTest, AReceiverMayDeleteTheEditOnEnterOrExit)
{
    // Entry and exit as a focus change runs them.
    struct Edit : TNumEdit {
        using TCustomNumEdit::FocusExit;
        using TCustomNumEdit::focusInEvent;
        using TNumEdit::TNumEdit;
    };
    QPointer<Edit> leaving(new Edit(&w.window));
    leaving->show();
    leaving->setFocus(Qt::TabFocusReason);
    Type(leaving, "250");
    double committed = 0;
    QObject::connect(leaving, &TNumEdit::OnExit, [&] {
        committed = leaving->Value();
        delete leaving.data();
    });
    leaving->FocusExit();
    EXPECT_TRUE(leaving.isNull());
    EXPECT_EQ(committed, 250);

    QPointer<Edit> entering(new Edit(&w.window));
    QObject::connect(entering, &TNumEdit::OnEnter, [&] { delete entering.data(); });
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    entering->focusInEvent(&in);
    EXPECT_TRUE(entering.isNull());
}

TEST_F(NumEditTest, LoneMinusOrSeparatorIsAConversionError)
{
    // Backspace first: a separator typed over a selection that holds one is refused.
    for (const char* keys : {"-", "\b."}) {
        TrapRecorder trap;
        QSignalSpy exits(edit, &TNumEdit::OnExit);
        edit->SetValue(42);
        Enter(keys);
        ASSERT_EQ(trap.messages.size(), 1) << keys;
        const QString typed = QString(keys).remove('\b');
        EXPECT_EQ(trap.messages[0], QString("'%1' is not a valid floating point value").arg(typed));
        EXPECT_EQ(edit->Value(), 42);
        EXPECT_EQ(exits.count(), 0);
        EXPECT_EQ(edit->text(), typed);           // stays as typed
        EXPECT_EQ(edit->UnfocusedAlignment(), 0); // and left-aligned
        EXPECT_EQ(edit->MaxLength(), TCustomNumEdit::SavedLimit());
        EXPECT_FALSE(edit->hasFocus());

        // The next accepted exit brings the right alignment back.
        Enter("\b5");
        EXPECT_EQ(edit->Value(), 5);
        EXPECT_EQ(edit->text(), "$5.00");
        EXPECT_EQ(edit->UnfocusedAlignment(), 1);
    }
}

TEST_F(NumEditTest, RangeCheckOnExitKeepsTheFocus)
{
    edit->SetMax(100);
    edit->SetMin(1);
    edit->SetValidate(true);
    EXPECT_EQ(edit->Value(), 1);
    QSignalSpy exits(edit, &TNumEdit::OnExit);
    {
        MessageBoxAnswerer boxes;
        Enter("500");
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].text, "Value must be between 1 and 100");
        EXPECT_EQ(boxes.Boxes()[0].caption, "Information");
        EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Information);
        EXPECT_EQ(boxes.Boxes()[0].buttons, MessageButtons::Ok);
    }
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_FALSE(w.other->hasFocus());
    EXPECT_EQ(edit->selectedText(), "500");
    EXPECT_EQ(edit->Value(), 1);
    EXPECT_EQ(exits.count(), 0);
    EXPECT_EQ(edit->MaxLength(), 12); // still editing
    Type(edit, "50");
    Leave();
    EXPECT_EQ(edit->Value(), 50);
    EXPECT_EQ(edit->text(), "$50.00");
    EXPECT_EQ(exits.count(), 1);
}

TEST_F(NumEditTest, PropertyWrites)
{
    QSignalSpy changes(edit, &TNumEdit::OnChange);
    edit->SetValue(5);
    EXPECT_EQ(changes.count(), 1);
    edit->SetValue(5); // the same value again: no refresh
    EXPECT_EQ(changes.count(), 1);

    // Min pulls Value up without refreshing the text.
    TNumEdit zero;
    zero.SetMin(1);
    EXPECT_EQ(zero.Value(), 1);
    EXPECT_EQ(zero.text(), "$0.00");
    zero.SetMax(-3);
    EXPECT_EQ(zero.Value(), -3);
    EXPECT_EQ(zero.text(), "$0.00");

    // Validate moves an outside Value to Min and refreshes.
    TNumEdit ranged;
    ranged.SetValue(500);
    ranged.SetMax(1000);
    ranged.SetMin(10);
    ranged.SetMax(100);
    EXPECT_EQ(ranged.Value(), 100);
    ranged.SetValidate(true);
    EXPECT_EQ(ranged.Value(), 100);
    {
        MessageBoxAnswerer boxes;
        ranged.SetValue(5);
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].text, "Value must be between 10 and 100");
    }
    EXPECT_EQ(ranged.Value(), 100);

    // Masks cut to 25 characters and refresh the text.
    edit->SetNumericType(ntGeneral);
    edit->Masks()->SetPositiveMask("0.000 kg and a long suffix");
    EXPECT_EQ(edit->Masks()->PositiveMask(), "0.000 kg and a long suffi");
    EXPECT_EQ(edit->text(), "5.000 kg and a long suffi");
}

TEST_F(NumEditTest, InfinityAndNaNAreRefused)
{
    edit->SetValue(3);
    EXPECT_THROW(edit->SetValue(std::numeric_limits<double>::quiet_NaN()), calc::EInvalidOp);
    EXPECT_THROW(edit->SetValue(std::numeric_limits<double>::infinity()), calc::EInvalidOp);
    EXPECT_THROW(edit->SetMin(std::numeric_limits<double>::quiet_NaN()), calc::EInvalidOp);
    EXPECT_EQ(edit->Value(), 3);
    EXPECT_EQ(edit->text(), "$3.00");
    // An open upper bound is fine.
    edit->SetMax(std::numeric_limits<double>::infinity());
    EXPECT_EQ(edit->Value(), 3);
}

TEST_F(NumEditTest, PercentageStoresTheFraction)
{
    edit->SetNumericType(ntPercentage);
    edit->SetValue(0.25);
    FocusIn();
    EXPECT_EQ(edit->text(), "25.00");
    Type(edit, "12.5");
    Leave();
    EXPECT_DOUBLE_EQ(edit->Value(), 0.125);
    EXPECT_EQ(edit->text(), "12.50%");
}

TEST_F(NumEditTest, CommaDecimalSeparator)
{
    TFormatSettings s = Regional::UnitedStates();
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    RegionalOverride regional(s);
    Enter("1.234,5");
    EXPECT_EQ(edit->Value(), 1234.5);
    EXPECT_EQ(edit->text(), "$1.234,50");
}

TEST_F(NumEditTest, ClipboardKeysPasteThroughTheFilter)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("9x9");
    FocusIn();
    Type(edit, "12");
    // Ctrl+V, Ctrl+X and Ctrl+C are the edit's commands, which the key filter cannot swallow;
    // the pasted characters still pass it. Ctrl+Z takes the edits back one at a time.
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "1299");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(clipboard->text(), "1299");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "1299");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);

    // Shift+Insert pastes, but character by character through the filter and the limit.
    clipboard->setText("1a2.3.4-\r\n");
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "12.34-");
    Leave();
    EXPECT_DOUBLE_EQ(edit->Value(), -12.34);

    clipboard->setText("123456789012345");
    FocusIn();
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "123456789012");

    // Shift+Delete cuts, Ctrl+Insert copies.
    edit->setSelection(0, 3);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "456789012");
    EXPECT_EQ(clipboard->text(), "123");
    edit->setSelection(0, 2);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "45");
}

TEST_F(NumEditTest, ContextMenuPasteGoesThroughTheFilter)
{
    QGuiApplication::clipboard()->setText("7x7.5.5");
    FocusIn();
    std::unique_ptr<QMenu> menu(edit->CreateEditMenu());
    QStringList captions;
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
        captions << action->text();
        if (action->text() == "&Paste")
            paste = action;
    }
    EXPECT_EQ(captions,
              QStringList({"&Undo", "", "Cu&t", "&Copy", "&Paste", "&Delete", "", "Select &All"}));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(edit->text(), "77.55");

    edit->setReadOnly(true);
    std::unique_ptr<QMenu> readOnlyMenu(edit->CreateEditMenu());
    for (QAction* action : readOnlyMenu->actions()) {
        if (action->text() == "&Paste" || action->text() == "Cu&t") {
            EXPECT_FALSE(action->isEnabled());
        }
    }
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->text(), "77.55");
}

TEST_F(NumEditTest, EnterReachesTheDefaultButton)
{
    QDialog dialog;
    auto* dialogEdit = new TNumEdit(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->move(0, 40);
    ok->setDefault(true);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialogEdit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialogEdit, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(NumEditTest, KeyPressHandlerSeesAcceptedCharactersOnly)
{
    QString seen;
    QObject::connect(edit, &TKeyRoutedEdit::OnKeyPress, [&](QChar& key) {
        seen += key;
        if (key == '9')
            key = QChar(0); // a handler may discard a key
    });
    Enter("1x9-2");
    EXPECT_EQ(seen, "19-2");
    EXPECT_EQ(edit->Value(), 12); // a minus inside the text is dropped
}

// The control paints its text on the right while unfocused, the platform edit on the left
// while the user types.
int InkColumns(QWidget* widget, bool leftHalf)
{
    const QImage image = widget->grab().toImage();
    int ink = 0;
    const int from = leftHalf ? 4 : image.width() / 2;
    const int to = leftHalf ? image.width() / 2 : image.width() - 4;
    for (int x = from; x < to; ++x)
        for (int y = 4; y < image.height() - 4; ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                ++ink;
                break;
            }
    return ink;
}

TEST_F(NumEditTest, UnfocusedTextIsPaintedOnTheRight)
{
    edit->resize(200, edit->height());
    edit->SetValue(5);
    EXPECT_GT(InkColumns(edit, false), 0);
    EXPECT_EQ(InkColumns(edit, true), 0);
    FocusIn();
    edit->deselect();
    EXPECT_GT(InkColumns(edit, true), 0);
    EXPECT_EQ(InkColumns(edit, false), 0);
}

TEST(CustomStrEdit, TextPosition)
{
    const QRect area(2, 2, 100, 20); // right edge at 102
    EXPECT_EQ(TCustomStrEdit::TextLeft(area, 30, 3, 1), 69);
    EXPECT_EQ(TCustomStrEdit::TextLeft(area, 30, 3, 2), 37);
    EXPECT_EQ(TCustomStrEdit::TextLeft(area, 31, 3, 7), 36); // halfway, rounded toward zero
    EXPECT_EQ(TCustomStrEdit::TextLeft(QRect(-10, 0, 5, 5), 0, 0, 2), -7);
}

} // namespace
