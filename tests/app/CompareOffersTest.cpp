// The Compare Offers command and dialog, driven with keys: offers typed, their figures against
// calc::ComputeOffer, an offer out of range, a column added and removed, Copy, and the offers
// kept in the settings file (a malformed offer falls back, the rest of the file is kept).
#include "app/CompareOffersDialog.h"
#include "app/Main.h"
#include "calc/Offers.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "loan/LoanSummary.h"
#include "loan/OfferComparison.h"
#include "loan/StoredOffers.h"
#include "platform/ProfileFile.h"
#include "tests/support/FindChild.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `inside` on the Compare Offers dialog once the window's File menu has opened it
// through its keys (Alt+F, O).
void WithDialogFromMenu(TfrmMain& w, const std::function<void(TfrmCompareOffers&)>& inside)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QMenu* file = Find<QMenu>(w, "mnuFile");
        ASSERT_TRUE(ProcessMessagesUntil([&] { return file->isVisible(); }, 5000));
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TfrmCompareOffers*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // The offscreen platform gives the activation back to the window whose menu
            // closed: the dialog takes it as a desktop's window manager gives it.
            dialog->activateWindow();
            ASSERT_TRUE(
                ProcessMessagesUntil([&] { return QApplication::activeWindow() == dialog; }, 5000));
            ran = true;
            inside(*dialog);
            if (dialog->isVisible())
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(file, Qt::Key_O);
    });
    QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(ProcessMessagesUntil([&] { return ran; }, 10000));
}

// Types `text` into the focused field as a user does: the old text selected, the new typed,
// then Enter, which must move on to the next field.
void TypeAndEnter(const QString& text)
{
    QWidget* field = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(field)) << "the focus is not in a field";
    static_cast<QLineEdit*>(field)->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_NE(QApplication::focusWidget(), field)
        << "Enter stayed in " << field->objectName().toStdString();
}

QString Money(calc::Cents cents)
{
    return TLoanSummary::Money(cents);
}

QString Percent(double value)
{
    return QString::number(value, 'f', 3) + '%';
}

// The table's cell of the figure captioned `caption` for offer `offer` (from 0).
QString Cell(QTableWidget* table, const QString& caption, int offer)
{
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->verticalHeaderItem(r)->text() == caption)
            return table->item(r, offer + 1)->text();
    ADD_FAILURE() << "no row " << caption.toStdString();
    return {};
}

} // namespace

TEST(CompareOffersCommand, TypedOffersShowTheirFiguresCopyAndComeBackAtTheNextStart)
{
    TempProgramFolder folder;
    const QString ini = folder.File("TorvIni.ini");
    // Three offers kept; the second is malformed and becomes the window's loan.
    TempProgramFolder::WriteFile(ini, "[LastValues]\nPrice=250000\nInterest=7.125\nTerm=30\n"
                                      "DownPercent=20\n[Offers]\nCount=3\n"
                                      "Offer1=150000,15,5.5,0,0,0,0,0\nOffer2=200000,30,abc\n"
                                      "Offer3=100000,30,6,0,0,0,0,0\n[Mine]\nKey=kept\n");
    const std::vector<calc::Offer> typed = {{300000, 30, 6.5, 1, 1500, 2000, 100, 60},
                                            {300000, 30, 6.875, 0, 1200, 2000, 100, 60},
                                            {300000, 15, 6, 0.5, 900, 2000, 0, 0}};
    {
        TfrmMain w;
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        WithDialogFromMenu(w, [&](TfrmCompareOffers& dialog) {
            EXPECT_EQ(dialog.property("HelpContext").toInt(), TfrmCompareOffers::HelpContextNumber);
            ASSERT_EQ(dialog.OfferCount(), 3);
            const std::vector<calc::Offer> read = dialog.Offers();
            EXPECT_EQ(read[0].loan, 150000);
            EXPECT_EQ(read[0].term, 15);
            // The malformed offer is the window's loan: 80 % of the price, its term and rate.
            EXPECT_EQ(read[1].loan, 200000);
            EXPECT_EQ(read[1].rate, 7.125);
            EXPECT_EQ(read[2].rate, 6);

            // The dialog opens on the first field; every field is typed, Enter moving on.
            EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>(dialog, "edtLoan1"));
            for (const calc::Offer& o : typed)
                for (const QString& text :
                     {QString::number(o.loan), QString::number(o.term), QString::number(o.rate),
                      QString::number(o.points), QString::number(o.fees), QString::number(o.costs),
                      QString::number(o.mi), QString::number(o.miMonths)})
                    TypeAndEnter(text);
            // Past the last offer's last field, Enter reaches the table of figures.
            auto* table = Find<QTableWidget>(dialog, "grdFigures");
            EXPECT_EQ(QApplication::focusWidget(), table);
            const std::vector<calc::Offer> entered = dialog.Offers();
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(entered[i].loan, typed[i].loan);
                EXPECT_EQ(entered[i].rate, typed[i].rate);
                EXPECT_EQ(entered[i].points, typed[i].points);
                EXPECT_EQ(entered[i].miMonths, typed[i].miMonths);
            }

            // Each column is the offer's own figures; the lowest named in words.
            ASSERT_EQ(table->columnCount(), 5);
            EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "Offer 2");
            EXPECT_EQ(table->horizontalHeaderItem(4)->text(), "Lowest");
            std::vector<calc::OfferFigures> figures;
            for (int i = 0; i < 3; ++i) {
                const calc::OfferFigures f = calc::ComputeOffer(typed[i]);
                figures.push_back(f);
                const calc::Disclosure& d = f.disclosure;
                EXPECT_EQ(Cell(table, "Monthly Principal & Interest", i), Money(d.regularPayment));
                EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", i), Percent(d.apr));
                EXPECT_EQ(Cell(table, "Total Interest Percentage (TIP)", i), Percent(d.tip));
                EXPECT_EQ(Cell(table, "Finance Charge", i), Money(d.financeCharge));
                EXPECT_EQ(Cell(table, "In 5 Years: Total Paid", i), Money(f.fiveYearTotal));
                EXPECT_EQ(Cell(table, "In 5 Years: Principal Paid Off", i),
                          Money(f.fiveYearPrincipal));
            }
            EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", 3),
                      TOfferComparison::OfferName(calc::LowestApr(figures)));
            EXPECT_EQ(Cell(table, "In 5 Years: Total Paid", 3),
                      TOfferComparison::OfferName(calc::LowestFiveYearTotal(figures)));
            EXPECT_EQ(Cell(table, "In 5 Years: Principal Paid Off", 3), "");
            // More paid up front for the lower rate: offer 1 against offer 2 breaks even.
            const calc::BreakEven even = calc::ComputeBreakEven(figures[0], figures[1]);
            ASSERT_EQ(even.kind, calc::BreakEven::Kind::Month);
            EXPECT_TRUE(Find<QLabel>(dialog, "lblPair1")
                            ->text()
                            .startsWith(QString("month %1 ").arg(even.month)))
                << Find<QLabel>(dialog, "lblPair1")->text().toStdString();

            // Copy: the comparison's tab-separated text.
            auto* copy = Find<QPushButton>(dialog, "btnCopy");
            copy->setFocus(Qt::TabFocusReason);
            QTest::keyClick(copy, Qt::Key_Return);
            const QString copied = QApplication::clipboard()->text();
            EXPECT_EQ(copied, TOfferComparison(typed).CopyText());
            EXPECT_TRUE(copied.startsWith("\tOffer 1\tOffer 2\tOffer 3\tLowest\n"))
                << copied.toStdString();

            // A term out of range: the offer says why under its column, and shows no figure.
            auto* term = Find<QWidget>(dialog, "edtTerm2");
            term->setFocus(Qt::TabFocusReason);
            TypeAndEnter("0");
            auto* message = Find<QLabel>(dialog, "lblMessage2");
            EXPECT_TRUE(message->text().startsWith("The term must be"))
                << message->text().toStdString();
            EXPECT_TRUE(message->isVisible());
            EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", 1), "");
            EXPECT_EQ(table->item(0, 2)->data(Qt::AccessibleTextRole).toString(),
                      "No figure: " + message->text());
            EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", 0),
                      Percent(figures[0].disclosure.apr));
            EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", 3), "");
            EXPECT_FALSE(copy->isEnabled());
            term->setFocus(Qt::TabFocusReason);
            TypeAndEnter("30");
            EXPECT_TRUE(message->text().isEmpty());
            EXPECT_EQ(Cell(table, "Annual Percentage Rate (APR)", 1),
                      Percent(figures[1].disclosure.apr));

            // A fourth column from the window's loan, and removed again, by their buttons.
            auto* add = Find<QPushButton>(dialog, "btnAdd");
            auto* remove = Find<QPushButton>(dialog, "btnRemove");
            add->setFocus(Qt::TabFocusReason);
            QTest::keyClick(add, Qt::Key_Return);
            EXPECT_EQ(dialog.OfferCount(), 4);
            EXPECT_EQ(table->columnCount(), 6);
            EXPECT_EQ(table->horizontalHeaderItem(4)->text(), "Offer 4");
            EXPECT_EQ(dialog.Offers()[3].loan, 200000);
            EXPECT_FALSE(add->isEnabled());
            EXPECT_EQ(Find<QWidget>(dialog, "edtRate4")->accessibleName(), "Offer 4, Note Rate");
            remove->setFocus(Qt::TabFocusReason);
            QTest::keyClick(remove, Qt::Key_Space);
            EXPECT_EQ(dialog.OfferCount(), 3);
            EXPECT_EQ(table->columnCount(), 5);
        });
        w.close();
    }
    const QByteArray saved = TempProgramFolder::ReadFile(ini);
    EXPECT_TRUE(saved.contains("[Offers]\nCount=3\nOffer1=300000,30,6.5,1,1500,2000,100,60\n"))
        << saved.toStdString();
    EXPECT_TRUE(saved.contains("\n[Mine]\nKey=kept\n"));

    // The next start brings them back.
    TfrmMain w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    WithDialogFromMenu(w, [&](TfrmCompareOffers& dialog) {
        ASSERT_EQ(dialog.OfferCount(), 3);
        const std::vector<calc::Offer> back = dialog.Offers();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(back[i].loan, typed[i].loan);
            EXPECT_EQ(back[i].term, typed[i].term);
            EXPECT_EQ(back[i].rate, typed[i].rate);
            EXPECT_EQ(back[i].points, typed[i].points);
            EXPECT_EQ(back[i].fees, typed[i].fees);
            EXPECT_EQ(back[i].costs, typed[i].costs);
            EXPECT_EQ(back[i].mi, typed[i].mi);
            EXPECT_EQ(back[i].miMonths, typed[i].miMonths);
        }
    });
    w.close();
}

// What the settings file may hold in [Offers]: a count outside 2 to 4 or not a number starts
// afresh; an offer that is not eight non-negative numbers (whole term and months) is the
// fallback; the numbers read whatever the regional settings.
TEST(StoredOffers, MalformedSectionsFallBack)
{
    const calc::Offer fallback{123456, 20, 5, 0, 0, 0, 0, 0};
    const struct {
        const char* name;
        QByteArray section;
        int count;        // offers read
        double firstLoan; // the first offer's loan
    } cases[] = {
        {"missing", "", 0, 0},
        {"count not a number", "Count=x\nOffer1=1,30,6,0,0,0,0,0\n", 0, 0},
        {"count too small", "Count=1\nOffer1=1,30,6,0,0,0,0,0\n", 0, 0},
        {"count too large", "Count=5\nOffer1=1,30,6,0,0,0,0,0\n", 0, 0},
        {"whole offers", "Count=2\nOffer1=250000.5,30,6.5,1,0,0,0,0\nOffer2=1,2,3,4,5,6,7,8\n", 2,
         250000.5},
        {"seven numbers", "Count=2\nOffer1=1,30,6,0,0,0,0\n", 2, 123456},
        {"a negative one", "Count=2\nOffer1=-1,30,6,0,0,0,0,0\n", 2, 123456},
        {"a fractional term", "Count=2\nOffer1=1,30.5,6,0,0,0,0,0\n", 2, 123456},
        {"not finite", "Count=2\nOffer1=inf,30,6,0,0,0,0,0\n", 2, 123456},
        {"a decimal comma", "Count=2\nOffer1=1;30;6,5;0;0;0;0;0\n", 2, 123456},
        {"empty", "Count=4\nOffer1=\n", 4, 123456},
    };
    TempProgramFolder folder;
    for (const auto& c : cases) {
        const QString path = folder.File(QString("%1.ini").arg(c.name));
        TempProgramFolder::WriteFile(path, "[Offers]\n" + c.section);
        const std::vector<calc::Offer> offers = TStoredOffers::Read(ProfileFile(path), fallback);
        ASSERT_EQ(int(offers.size()), c.count) << c.name;
        if (c.count) {
            EXPECT_EQ(offers[0].loan, c.firstLoan) << c.name;
        }
    }
    // Written and read back to the digit; an offer beyond the count is written empty.
    const std::vector<calc::Offer> offers = {
        {250000.55, 30, 6.125, 0.375, 1234.56, 99.99, 87.5, 84}, {1e9, 40, 0.001, 0, 0, 0, 0, 0}};
    const QString path = folder.File("round.ini");
    ASSERT_TRUE(
        ProfileFile(path).WriteStrings(TStoredOffers::Section, TStoredOffers::Entries(offers)));
    EXPECT_EQ(ProfileFile(path).ReadString("Offers", "Offer4", "?"), "");
    const std::vector<calc::Offer> back = TStoredOffers::Read(ProfileFile(path), fallback);
    ASSERT_EQ(back.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(TStoredOffers::OfferText(back[i]), TStoredOffers::OfferText(offers[i]));
    EXPECT_EQ(back[0].rate, 6.125);
    EXPECT_EQ(back[0].miMonths, 84);
}
