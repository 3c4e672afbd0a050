// The Loan Summary command and dialog: enabled with Print, the figures of the window's loan,
// mortgage insurance changing them, and Copy; the schedule's text.
#include "app/LoanSummaryDialog.h"

#include "app/Main.h"
#include "calc/AprTable.h"
#include "controls/ExplBtn.h"
#include "controls/NumEdit.h"
#include "loan/LoanSummary.h"
#include "tests/support/FindChild.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(LoanSummaryDialog, FiguresFollowTheInsuranceAndCopyAsTabSeparatedText)
{
    TfrmLoanSummary dialog(calc::LoanModel({.price = 250000.55, .rate = 7.125, .fees = 4321.10}));
    // Values 1 to 6: the loan; 7 to 12: APR, finance charge, amount financed, total of
    // payments, total interest, total interest percentage.
    auto value = [&](int i) {
        return Find<QLabel>(dialog, QString("lblValue%1").arg(i).toLatin1())->text();
    };
    EXPECT_EQ(value(7), "7.300%");
    EXPECT_EQ(value(8), "$360,668.86");
    EXPECT_EQ(value(9), "$245,679.45");
    EXPECT_EQ(value(12), "142.539%");
    EXPECT_EQ(Find<QSpinBox>(dialog, "edtMIMonths")->maximum(), 360);

    Find<QDoubleSpinBox>(dialog, "edtMI")->setValue(104.17);
    EXPECT_EQ(value(7), "7.300%"); // no months yet: no insurance
    EXPECT_FALSE(Find<QLabel>(dialog, "lblMessage")->text().isEmpty());
    Find<QSpinBox>(dialog, "edtMIMonths")->setValue(84);
    EXPECT_EQ(value(6), "$104.17 x 84");
    EXPECT_EQ(value(7), "7.584%");
    EXPECT_EQ(value(8), "$369,419.14");
    EXPECT_EQ(value(10), "$615,098.59");
    EXPECT_TRUE(Find<QLabel>(dialog, "lblMessage")->text().isEmpty());

    QTest::mouseClick(Find<QPushButton>(dialog, "btnCopy"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("Loan Amount\t$250,000.55\n")) << copied.toStdString();
    // With insurance the figures' APR is not the window's: it says whose it is.
    EXPECT_TRUE(copied.contains("\nAPR of These Payments\t7.584%\nFinance Charge\t$369,419.14\n"))
        << copied.toStdString();
    EXPECT_EQ(copied.count('\n'), 12);
}

TEST(LoanSummaryCommand, EnabledWithPrintAndShowsTheWindowsLoan)
{
    TempProgramFolder folder;
    TfrmMain w;
    w.show();
    QAction& item = *Find<QAction>(w, "mnuFileLoanSummary");
    QAction& print = *Find<QAction>(w, "mnuFilePrint");
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    const QList<QAction*> file = Find<QMenu>(w, "mnuFile")->actions();
    EXPECT_EQ(file.indexOf(&item), file.indexOf(&print) + 1);
    EXPECT_FALSE(item.isEnabled());

    QTest::mouseClick(Find<TExplorerButton>(w, "btnCalculate"), Qt::LeftButton);
    EXPECT_TRUE(print.isEnabled());
    EXPECT_TRUE(item.isEnabled());

    QString apr, charge;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        apr = Find<QLabel>(*dialog, "lblValue7")->text();
        charge = Find<QLabel>(*dialog, "lblValue8")->text();
        EXPECT_EQ(dialog->property("HelpContext").toInt(), TfrmLoanSummary::HelpContextNumber);
        dialog->close();
    });
    item.trigger();
    EXPECT_EQ(apr, "8.750%");
    EXPECT_EQ(charge, "$183,212.97");

    w.Reset(Find<TExplorerButton>(w, "btnReset"));
    EXPECT_FALSE(print.isEnabled());
    EXPECT_FALSE(item.isEnabled());
    w.close();
}

// Fees of the whole loan are refused with the amount as money, in the program's own box; a
// number of insured payments above the loan's is refused with its range, not dropped silently.
TEST(LoanSummaryCommand, RefusesFeesOfTheWholeLoanAndTooManyInsuredPayments)
{
    TempProgramFolder folder;
    TfrmMain w;
    w.show();
    Find<TNumEdit>(w, "edtPurchasePrice")->SetValue(1000);
    Find<TNumEdit>(w, "edtOtherFees")->SetValue(1000);
    w.AddFixedFees();
    QTest::mouseClick(Find<TExplorerButton>(w, "btnCalculate"), Qt::LeftButton);
    {
        MessageBoxAnswerer boxes;
        Find<QAction>(w, "mnuFileLoanSummary")->trigger();
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].text, "The prepaid finance charge must be from 0 to less "
                                         "than the loan amount, not $1,000.00");
        EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");
    }
    w.close();

    TfrmLoanSummary dialog(calc::LoanModel({.price = 250000, .rate = 7.125}));
    dialog.show();
    auto* months = Find<QSpinBox>(dialog, "edtMIMonths");
    months->setFocus();
    months->selectAll();
    MessageBoxAnswerer boxes;
    QTest::keyClicks(months, "400");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !boxes.Boxes().isEmpty(); }, 2000));
    EXPECT_EQ(boxes.Boxes()[0].text,
              "The number of payments with mortgage insurance must be from 0 to 360, not 400.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");
    EXPECT_EQ(months->value(), 40);
    QTest::keyClicks(months, "0", Qt::NoModifier);
    ProcessPostedMessages();
    EXPECT_EQ(boxes.Boxes().size(), 2) << "each refused number is told";
    QTest::keyClick(months, Qt::Key_Backspace);
    QTest::keyClicks(months, "6");
    ProcessPostedMessages();
    EXPECT_EQ(months->value(), 46);
    EXPECT_EQ(boxes.Boxes().size(), 2);
}

// The schedule as text: every line of it has its columns at least two spaces apart, for the
// usual loan and for the largest amounts the fields take.
TEST(LoanSummaryText, ScheduleColumnsStayApartForEveryAmount)
{
    const struct {
        double price, rate, mi;
        int miMonths;
    } loans[] = {{250000, 6.875, 0, 0},
                 {250000, 6.875, 95.5, 84},
                 {9999999999, 99.5, 0, 0},
                 {9999999999, 0.001, 999999999.99, 480}};
    for (const auto& l : loans) {
        const calc::LoanModel model(
            {.price = l.price, .downPercent = 0, .term = 40, .rate = l.rate});
        const QString text = TLoanSummary(model, l.mi, l.miMonths).Text();
        const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
        const qsizetype header = lines.indexOf(QRegularExpression("^No\\.\\s.*"));
        ASSERT_GE(header, 0);
        const qsizetype columns = l.miMonths ? 6 : 5;
        for (qsizetype i = header; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].trimmed().split(QRegularExpression("\\s{2,}")).size(), columns)
                << l.price << ": " << lines[i].toStdString();
        EXPECT_EQ(lines.size() - header, 1 + 480 + 40 + 1);
    }
}

// Extra principal typed into the dialog: the payoff and what it saves, from the schedule as
// paid; the contract's figures and APR unchanged beside the note that says so; one-time
// payments that are not month:amount, or fall outside the loan, are told and show nothing.
TEST(LoanSummaryDialog, ExtraPaymentsShowThePayoffAndSavingsBesideTheContractsFigures)
{
    const calc::LoanModel model({.price = 250000.55, .rate = 7.125, .fees = 4321.10});
    TfrmLoanSummary dialog(model);
    dialog.show();
    auto value = [&](const char* name) { return Find<QLabel>(dialog, name)->text(); };
    auto* note = Find<QLabel>(dialog, "lblContractNote");
    auto* message = Find<QLabel>(dialog, "lblExtraMessage");
    EXPECT_FALSE(note->isVisible());
    EXPECT_FALSE(Find<QLabel>(dialog, "lblExtra1")->isVisible());

    auto type = [&](QWidget* field, const QString& text) {
        field->setFocus(Qt::TabFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        else
            static_cast<QAbstractSpinBox*>(field)->selectAll();
        QTest::keyClicks(field, text);
    };
    type(Find<QDoubleSpinBox>(dialog, "edtExtra"), "200");
    type(Find<QSpinBox>(dialog, "edtExtraFrom"), "13");
    type(Find<QLineEdit>(dialog, "edtLumps"), "60:10,000, 120 : 5000");
    EXPECT_TRUE(message->text().isEmpty()) << message->text().toStdString();

    calc::ExtraPayments extra;
    extra.monthly = 200;
    extra.fromMonth = 13;
    extra.lumps = {{60, 10000}, {120, 5000}};
    const calc::PrepaidSchedule paid =
        calc::ApplyExtraPayments(model.Figures(0, 0), model.Disclosed(0, 0), extra);
    TLoanSummary expected(model, 0, 0);
    expected.SetExtraPayments(extra);
    const std::vector<TLoanSummary::Figure> figures = expected.ExtraFields();
    ASSERT_EQ(int(figures.size()), TfrmLoanSummary::ExtraFigureCount);
    bool payoffShown = false, savedShown = false;
    for (int i = 0; i < TfrmLoanSummary::ExtraFigureCount; ++i) {
        const QString shown = value(QString("lblExtra%1").arg(i + 1).toLatin1());
        EXPECT_EQ(shown, figures[size_t(i)].text);
        payoffShown |= shown.contains(QString::number(paid.payoffMonth));
        savedShown |= shown == TLoanSummary::Money(paid.interestSaved);
    }
    EXPECT_TRUE(payoffShown && savedShown);
    EXPECT_LT(paid.payoffMonth, 300);
    // The contract's APR and finance charge, and the note beside them.
    EXPECT_EQ(value("lblValue7"), "7.300%");
    EXPECT_EQ(value("lblValue8"), "$360,668.86");
    EXPECT_TRUE(note->isVisible());

    const struct {
        const char* typed;
        const char* named; // a word of the message
    } wrong[] = {{"60-10000", "60-10000"}, {"60:", "60:"}, {"400:1000", "400"}, {"60:x", "60:x"}};
    for (const auto& w : wrong) {
        type(Find<QLineEdit>(dialog, "edtLumps"), w.typed);
        EXPECT_TRUE(message->text().contains(w.named))
            << w.typed << ": " << message->text().toStdString();
        EXPECT_FALSE(Find<QLabel>(dialog, "lblExtra1")->isVisible()) << w.typed;
        EXPECT_FALSE(note->isVisible()) << w.typed;
    }
}
