// The fixed-point numeric edit driven like a user: keys at a caret position, selections,
// clipboard, focus in and out.
#include "controls/FnpNumericEdit.h"

#include "calc/Errors.h"
#include "tests/controls/NumericEditTestSupport.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <limits>

namespace {

class FnpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TFnpNumericEdit(&w.window);
        edit->setObjectName("edtInterest");
        w.Show();
    }
    void FocusIn()
    {
        edit->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(edit->hasFocus());
    }
    void Leave() { QTest::keyClick(edit, Qt::Key_Tab); }

    EditWindow w;
    TFnpNumericEdit* edit = nullptr;
};

constexpr int all = -1; // the whole text selected, as tabbing in leaves it

// Text and caret before, keys, text and caret after. The caret is shown as "|" in the
// readable form of the row: "8.|750".
struct KeyRow {
    const char* name;
    int decimals;
    double minValue;
    double value;
    int caret; // or `all`
    const char* keys;
    const char* after; // the text with "|" at the caret
};

class FnpKeys : public FnpTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(FnpKeys, EditTheTextInPlace)
{
    const KeyRow& row = GetParam();
    edit->SetDecimals(row.decimals);
    edit->SetMinValue(row.minValue);
    edit->SetValue(row.value);
    FocusIn();
    if (row.caret != all)
        edit->setCursorPosition(row.caret);
    Type(edit, row.keys);
    QString shown = edit->text();
    if (!edit->hasSelectedText())
        shown.insert(edit->cursorPosition(), '|');
    EXPECT_EQ(shown.toStdString(), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FnpKeys,
    ::testing::Values(KeyRow{"DigitOverwritesADecimal", 3, 0, 8.75, 2, "1", "8.1|50"},
                      KeyRow{"BackspacePullsDecimalsLeft", 3, 0, 8.75, 3, "\b", "8.|500"},
                      KeyRow{"BackspaceAfterSeparatorOnlyMoves", 3, 0, 8.75, 2, "\b", "8|.750"},
                      KeyRow{"LoneDigitDeletedBecomesZero", 3, 0, 5, 1, "\b", "0|.000"},
                      KeyRow{"DigitReplacesTheLoneZero", 3, 0, 5, 1, "\b7", "7|.000"},
                      KeyRow{"EnterKeepsTheSelectedValue", 3, 0, 8.75, all, "\r", "8.750"},
                      KeyRow{"EnterKeepsTheSelectedValueNoDecimals", 0, 0, 30, all, "\r", "30"},
                      KeyRow{"LettersKeepTheSelectedValue", 3, 0, 8.75, all, "x", "8.750"},
                      KeyRow{"EscapeKeepsTheSelectedValue", 3, 0, 8.75, all, "\x1b", "8.750"},
                      KeyRow{"ZeroAtTheStartIgnored", 3, 0, 8.75, 0, "0", "|8.750"},
                      KeyRow{"SeparatorJumpsToTheDecimals", 3, 0, 8.75, 0, ".", "8.|750"},
                      KeyRow{"SeparatorOverSelectionCollapsesIt", 3, 0, 8.75, all, ".", "8.|750"},
                      KeyRow{"NoDigitAtTheEnd", 3, 0, 8.75, 5, "9", "8.750|"},
                      KeyRow{"BackspaceAtTheEnd", 3, 0, 8.75, 5, "\b", "8.75|0"},
                      KeyRow{"DigitInsertedIntoIntegerPart", 3, 0, 8.75, 0, "1", "1|8.750"},
                      KeyRow{"DigitJustBeforeTheSeparator", 3, 0, 8.75, 1, "2", "82|.750"},
                      KeyRow{"TypedOverTheSelection", 3, 0, 8.75, all, "7.5", "7.5|00"},
                      KeyRow{"TwoDigitInteger", 3, 0, 8.75, all, "12.5", "12.5|00"},
                      KeyRow{"DeleteForwardInDecimals", 3, 0, 8.75, 2, "\x7f", "8.|500"},
                      KeyRow{"DeleteAtTheSeparatorJumps", 3, 0, 8.75, 1, "\x7f", "8.|750"},
                      KeyRow{"DeleteTheLoneDigit", 3, 0, 8.75, 0, "\x7f", "0|.750"},
                      KeyRow{"DeleteSelectionNoDecimals", 0, 0, 30, all, "\x7f", "0|"},
                      KeyRow{"DeleteInIntegerPart", 3, 0, 18.75, 0, "\x7f", "|8.750"},
                      KeyRow{"NoDecimalsAppends", 0, 0, 30, 2, "5", "305|"},
                      KeyRow{"NoDecimalsSeparatorIgnored", 0, 0, 30, 2, ".", "30|"},
                      KeyRow{"NoDecimalsLoneDigitBackspace", 0, 0, 5, 1, "\b7", "7|"},
                      KeyRow{"MinusIgnoredWithMinZero", 3, 0, 8.75, 1, "-", "8|.750"},
                      KeyRow{"MinusTogglesOn", 3, -1, 8.75, 1, "-", "-8|.750"},
                      KeyRow{"MinusTogglesOff", 3, -1, -8.75, 2, "-", "8|.750"},
                      KeyRow{"DigitAfterMinusZero", 3, -1, 0, 0, "-5", "-5|.000"},
                      KeyRow{"CaretSkipsTheMinus", 3, -1, -8.75, 0, "1", "-1|8.750"},
                      KeyRow{"MinusDigitBackspace", 3, -1, -5, 2, "\b", "-|0.000"},
                      KeyRow{"NoDecimalsDigitsAfterMinusKeepTheirOrder", 0, -1, 0, 1, "-53",
                             "-53|"},
                      KeyRow{"ArrowsMoveTheCaret", 3, 0, 8.75, 0, ">>>4", "8.74|0"}),
    [](const ::testing::TestParamInfo<KeyRow>& row) { return std::string(row.param.name); });

TEST_F(FnpTest, CreationAndValue)
{
    TFnpNumericEdit fresh;
    EXPECT_EQ(fresh.width(), 73);
    EXPECT_EQ(fresh.text(), "0.00");
    EXPECT_EQ(fresh.Alignment(), taRightJustify);
    EXPECT_EQ(fresh.Version(), "1.00.08");
    EXPECT_EQ(fresh.FormatMask(), "0.00");
    EXPECT_TRUE(fresh.alignment() & Qt::AlignRight);

    fresh.SetDecimals(3);
    fresh.SetValue(8.75);
    EXPECT_EQ(fresh.text(), "8.750");
    EXPECT_EQ(fresh.Value(), 8.75);
    fresh.SetDecimals(0);
    EXPECT_EQ(fresh.FormatMask(), "0");
    EXPECT_EQ(fresh.text(), "9"); // 8.75 to no decimals, halves away from zero
    fresh.SetValue(30);
    EXPECT_EQ(fresh.text(), "30");
    fresh.SetDecimals(12);
    EXPECT_EQ(fresh.Decimals(), 9);
    EXPECT_EQ(fresh.text(), "30.000000000");
    fresh.SetDecimals(-4);
    EXPECT_EQ(fresh.Decimals(), 0);
    fresh.SetAlignment(taCenter);
    EXPECT_TRUE(fresh.alignment() & Qt::AlignHCenter);
}

TEST_F(FnpTest, BadValuesAreClearErrors)
{
    edit->SetDecimals(3);
    edit->SetValue(8.75);
    EXPECT_THROW(edit->SetValue(std::numeric_limits<double>::quiet_NaN()), calc::EInvalidOp);
    EXPECT_THROW(edit->SetValue(-std::numeric_limits<double>::infinity()), calc::EInvalidOp);
    EXPECT_EQ(edit->text(), "8.750");

    // Thirty digits stay digits and read back as the same number.
    edit->SetValue(1e29);
    EXPECT_EQ(edit->text(), "100000000000000000000000000000.000");
    EXPECT_EQ(edit->Value(), 1e29);

    edit->setText("12a");
    try {
        (void)edit->Value();
        ADD_FAILURE() << "no conversion error";
    } catch (const calc::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid floating point value");
    }
}

TEST_F(FnpTest, ChangeEvents)
{
    edit->SetDecimals(3);
    edit->SetMaxValue(10);
    QSignalSpy changes(edit, &TFnpNumericEdit::OnChange);
    QSignalSpy valid(edit, &TFnpNumericEdit::OnValidChange);
    edit->SetValue(8.75);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(valid.count(), 1);
    edit->SetValue(8.75); // same text: nothing
    EXPECT_EQ(changes.count(), 1);

    FocusIn();
    edit->setCursorPosition(0);
    Type(edit, "4"); // 48.750 is above the maximum
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(valid.count(), 1);

    // Reformatting holds OnChange back but not OnValidChange.
    edit->SetValue(5);
    const int changesBefore = changes.count();
    edit->SetDecimals(2);
    EXPECT_EQ(edit->text(), "5.00");
    EXPECT_EQ(changes.count(), changesBefore);
    EXPECT_EQ(valid.count(), 3);

    // Deleting a selection reports one change, however many characters go.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "0.00");
    EXPECT_EQ(changes.count(), changesBefore + 1);
}

TEST_F(FnpTest, InvalidEntryOnExit)
{
    QSignalSpy invalid(edit, &TFnpNumericEdit::OnInvalidEntry);
    QSignalSpy exits(edit, &TFnpNumericEdit::OnExit);
    QSignalSpy enters(edit, &TFnpNumericEdit::OnEnter);
    // Equal limits: no check at all.
    FocusIn();
    Leave();
    EXPECT_EQ(invalid.count(), 0);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(enters.count(), 1);

    // MinValue 1 and MaxValue 0: every exit is out of range; the text stays and the focus
    // moves on.
    edit->SetMinValue(1);
    edit->SetValue(30);
    FocusIn();
    Leave();
    EXPECT_EQ(invalid.count(), 1);
    EXPECT_EQ(exits.count(), 2);
    EXPECT_EQ(edit->text(), "30.00");
    EXPECT_TRUE(w.other->hasFocus());

    edit->SetMaxValue(100);
    FocusIn();
    Leave();
    EXPECT_EQ(invalid.count(), 1);

    // A text that is not a number: the conversion error reaches the trap, no OnExit.
    TrapRecorder trap;
    edit->setText("abc");
    FocusIn();
    Leave();
    EXPECT_EQ(trap.messages, QStringList{"'abc' is not a valid floating point value"});
    EXPECT_EQ(exits.count(), 3);
}

TEST_F(FnpTest, ClipboardGoesThroughTheKeyRules)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    edit->SetDecimals(3);
    edit->SetValue(8.75);
    FocusIn();
    QSignalSpy changes(edit, &TFnpNumericEdit::OnChange);

    // Cut: copied, then deleted like Backspace, one change reported.
    edit->setSelection(2, 2);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "75");
    EXPECT_EQ(edit->text(), "8.000");
    EXPECT_EQ(changes.count(), 1);

    // Paste: the selection goes, then each character is typed.
    clipboard->setText("12.5x9");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12.590");

    clipboard->setText("3");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "3.000");

    // Copy leaves the text alone.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "3.000");
    EXPECT_EQ(edit->text(), "3.000");

    // The context menu's Paste and Delete take the same paths.
    auto menuCommand = [this](const QString& caption) {
        std::unique_ptr<QMenu> menu(edit->CreateEditMenu());
        for (QAction* action : menu->actions()) {
            if (action->text() == caption)
                action->trigger();
        }
    };
    clipboard->setText("4.25");
    edit->selectAll();
    menuCommand("&Paste");
    EXPECT_EQ(edit->text(), "4.250");
    edit->setSelection(0, 1);
    menuCommand("&Delete");
    EXPECT_EQ(edit->text(), "0.250");

    // Undo takes the user's edits back, one at a time, as far as the entry.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "4.250");
    menuCommand("&Undo");
    EXPECT_EQ(edit->text(), "3.000");
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "8.750");
}

TEST_F(FnpTest, ReadOnlyTakesNoKeysButCopies)
{
    edit->SetDecimals(3);
    edit->SetValue(8.75);
    edit->setReadOnly(true);
    FocusIn();
    Type(edit, "12\b\x7f");
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText("5");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "8.750");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "8.750");
}

TEST_F(FnpTest, EnterAndEscapeReachTheDialogButtons)
{
    QDialog dialog;
    auto* field = new TFnpNumericEdit(&dialog);
    field->SetDecimals(3);
    field->SetValue(8.75);
    auto* ok = new QPushButton("OK", &dialog);
    ok->move(0, 40);
    ok->setDefault(true);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(field->text(), "8.750"); // the Enter left the value as it was

    // Pasted line ends are no Enter.
    QGuiApplication::clipboard()->setText("7\r\n");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(field->text(), "7.000");

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
}

TEST_F(FnpTest, KeyPressHandlerRunsBeforeTheRules)
{
    edit->SetDecimals(3);
    edit->SetValue(8.75);
    QString seen;
    QObject::connect(edit, &TKeyRoutedEdit::OnKeyPress, [&](QChar& key) {
        seen += key;
        if (key == '1')
            key = QChar(0);
    });
    FocusIn();
    edit->setCursorPosition(2);
    Type(edit, "1x2");
    EXPECT_EQ(seen, "1x2");
    EXPECT_EQ(edit->text(), "8.250");
}

TEST_F(FnpTest, CommaDecimalSeparator)
{
    TFormatSettings s = Regional::UnitedStates();
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    RegionalOverride regional(s);
    edit->SetValue(8.75); // the text "0.00" was made with the United States settings
    edit->SetDecimals(3);
    EXPECT_EQ(edit->text(), "8,750");
    FocusIn();
    Type(edit, "6,5");
    EXPECT_EQ(edit->text(), "6,500");
    EXPECT_EQ(edit->Value(), 6.5);
    Type(edit, "."); // not the separator here
    EXPECT_EQ(edit->text(), "6,500");
}

} // namespace
