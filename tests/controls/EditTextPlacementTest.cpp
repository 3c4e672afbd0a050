// Where the two numeric edits put their text, focused and unfocused, as pixels on the screen.
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "tests/controls/NumericEditTestSupport.h"

#include <QFont>
#include <gtest/gtest.h>

namespace {

// The box around the dark pixels inside the edit's frame.
QRect Ink(QWidget* edit)
{
    const QImage image = edit->grab().toImage();
    QRect ink;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The box around the last digit written (its rightmost six columns of ink): the same glyph
// focused and unfocused, away from the caret at the start of the text.
QRect LastDigit(QWidget* edit)
{
    const QImage image = edit->grab().toImage();
    const QRect all = Ink(edit);
    QRect ink;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = all.right() - 5; x <= all.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

struct EditTextPlacement : ::testing::Test {
    EditWindow window;
    TNumEdit* money = nullptr;
    TFnpNumericEdit* rate = nullptr;
    TNumEdit* tallMoney = nullptr; // taller than its text needs
    TFnpNumericEdit* tallRate = nullptr;

    void SetUp() override
    {
        QFont font("Arial");
        font.setPixelSize(11);
        window.window.setFont(font);
        money = new TNumEdit(&window.window);
        money->setGeometry(0, 0, 85, 22);
        money->SetValue(100000);
        rate = new TFnpNumericEdit(&window.window);
        rate->setGeometry(100, 0, 85, 22);
        rate->SetAlignment(taCenter);
        rate->SetDecimals(3);
        rate->SetValue(8.75);
        tallMoney = new TNumEdit(&window.window);
        tallMoney->setGeometry(200, 0, 85, 32);
        tallMoney->SetValue(100000);
        tallRate = new TFnpNumericEdit(&window.window);
        tallRate->setGeometry(200, 40, 85, 32);
        tallRate->SetAlignment(taCenter);
        tallRate->SetDecimals(3);
        tallRate->SetValue(8.75);
        window.Show();
    }
    // The edit's ink while it has the focus, caret at the start of the text, nothing selected.
    template <typename Measure> QRect Focused(QWidget* edit, Measure measure)
    {
        edit->setFocus(Qt::TabFocusReason);
        static_cast<QLineEdit*>(edit)->deselect();
        static_cast<QLineEdit*>(edit)->setCursorPosition(0);
        const QRect ink = measure(edit);
        window.other->setFocus(Qt::TabFocusReason);
        return ink;
    }
};

} // namespace

TEST_F(EditTextPlacement, MaskedEditWritesAtTheSameHeightFocusedOrNot)
{
    const QRect unfocused = LastDigit(money);
    const QRect focused = Focused(money, LastDigit);
    ASSERT_FALSE(unfocused.isEmpty());
    ASSERT_FALSE(focused.isEmpty());
    EXPECT_EQ(unfocused.top(), focused.top());
    EXPECT_EQ(unfocused.bottom(), focused.bottom());
    // Right-aligned while unfocused, on the left while the user types.
    EXPECT_GT(Ink(money).right(), 85 - 8);
    EXPECT_LT(Focused(money, Ink).left(), 8);
}

TEST_F(EditTextPlacement, BoundedEditKeepsItsCentreWhileFocused)
{
    const QRect unfocused = Ink(rate);
    const QRect focused = Focused(rate, LastDigit);
    ASSERT_FALSE(unfocused.isEmpty());
    EXPECT_LE(std::abs(unfocused.center().x() - 85 / 2), 2);
    EXPECT_EQ(focused, LastDigit(rate));
    // Both edits write their digits at the same height.
    EXPECT_EQ(LastDigit(rate).top(), LastDigit(money).top());
    EXPECT_EQ(LastDigit(rate).bottom(), LastDigit(money).bottom());
}

TEST_F(EditTextPlacement, TextStaysAtTheTopMarginInATallerEdit)
{
    EXPECT_EQ(LastDigit(tallMoney).top(), LastDigit(money).top());
    EXPECT_EQ(Focused(tallMoney, LastDigit).top(), LastDigit(money).top());
    EXPECT_EQ(LastDigit(tallRate).top(), LastDigit(rate).top());
}
