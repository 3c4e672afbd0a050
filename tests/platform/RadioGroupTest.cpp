#include "platform/RadioGroup.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(RadioGroup, ItemsSelectionClicksAndItsSingleTabStop)
{
    TRadioGroup group;
    group.setObjectName("rg");
    group.resize(132, 95);
    group.SetColumns(2);
    group.SetItems({" 100", " 250", " 500", " 1000", " 2000", " 2500"});
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Button(0)->focusPolicy(), Qt::StrongFocus);
    group.SetItemIndex(3);
    EXPECT_EQ(group.ItemIndex(), 3);
    EXPECT_EQ(group.Button(3)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(group.Button(0)->focusPolicy(), Qt::ClickFocus);
    // Items fill the first column top to bottom, then the second.
    EXPECT_EQ(group.Button(2)->x(), group.Button(0)->x());
    EXPECT_GT(group.Button(3)->x(), group.Button(0)->x());
    EXPECT_EQ(group.Button(3)->y(), group.Button(0)->y());

    group.show();
    QSignalSpy clicks(&group, &TRadioGroup::Click);
    QTest::mouseClick(group.Button(1), Qt::LeftButton);
    QTest::mouseClick(group.Button(1), Qt::LeftButton); // the selected item clicks too
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(group.ItemIndex(), 1);
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(clicks.count(), 2); // setting by code is no click
}
