// Printing the chart through a real print queue: the cups-pdf queue that scripts/print-queue
// starts (TALLYHORN_TEST_QUEUE names it, CUPS_SERVER reaches it; ctest label printqueue). A chart
// printed from the window's preview comes out of the queue as one page with the window's texts;
// a removed, rejecting or stopped queue, or an unreachable printing system, is reported with the
// printer's name while the preview stays open.
#include "report/PrintQueue.h"

#include "app/LoanSummaryDialog.h"
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "report/Preview.h"
#include "report/QRAPRChart.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRSchedule.h"
#include "tests/report/PdfText.h"
#include "tests/support/FindChild.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cups/cups.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Runs a printing-system command (lpadmin, cupsreject, ...) against the test's server.
void Cups(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    ASSERT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
}

// The queue's kept copy of job `job`: the document as the queue took it.
QString SpooledDocument(int job)
{
    return QStringLiteral("%1/spool/d%2-001")
        .arg(qEnvironmentVariable("TALLYHORN_CUPSD_ROOT"))
        .arg(job, 5, 10, QLatin1Char('0'));
}

// The title of job `job` in the queue's job list; empty when there is no such job.
QString JobTitle(int job)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QString title;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id == job)
            title = QString::fromUtf8(jobs[i].title);
    cupsFreeJobs(count, jobs);
    return title;
}

class PrintQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        queue = qEnvironmentVariable("TALLYHORN_TEST_QUEUE");
        if (queue.isEmpty())
            MISSING_FOR_TEST()
                << "no test print queue: scripts/test starts one (scripts/print-queue)";
        w = std::make_unique<TfrmMain>();
        w->SetMessageInterval(0);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"),
                          Qt::LeftButton); // AutoCalc on: the table
        w->Chart().Rep->ShowProgress = false;
        TQRPrinter::Instance().Printer().setPrinterName(queue);
    }
    void TearDown() override
    {
        cupsSetServer(nullptr); // back to CUPS_SERVER
        w.reset();
        TQRPrinter::Instance().Cleanup();
        TQRPrinter::Instance().Printer().setPrinterName(QString());
        if (!scratch.isEmpty()) { // gone already when the test removed it
            QProcess remove;
            remove.start("lpadmin", {"-x", scratch});
            remove.waitForFinished(30000);
        }
    }
    // Opens the preview from the File menu, clicks Print and gives the preview back when it is
    // still open; `before` runs in the open preview first.
    bool PrintFromPreview(const std::function<void()>& before = {})
    {
        bool stillOpen = false;
        bool shown = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* preview = qobject_cast<TfrmPreview*>(QApplication::activeModalWidget());
            if (!preview || shown)
                return;
            shown = true;
            poll.stop();
            if (before)
                before();
            QTest::mouseClick(preview->bbPrint, Qt::LeftButton);
            stillOpen = preview->isVisible();
            preview->close();
        });
        poll.start();
        EXPECT_TRUE(Find<QAction>(*w, "mnuFilePrint")->isEnabled());
        Find<QAction>(*w, "mnuFilePrint")->trigger();
        EXPECT_TRUE(shown);
        return stillOpen;
    }
    // A second queue of cups-pdf for a test to break, named after this process so that tests
    // running side by side each break their own.
    void AddScratchQueue()
    {
        scratch = QStringLiteral("TallyhornScratch%1").arg(QCoreApplication::applicationPid());
        Cups("lpadmin", {"-p", scratch, "-E", "-v", "cups-pdf:/"});
        TQRPrinter::Instance().Printer().setPrinterName(scratch);
    }

    TempProgramFolder folder;
    QString queue;
    QString scratch;
    std::unique_ptr<TfrmMain> w;
};

TEST_F(PrintQueue, ChartPrintedThroughTheQueueIsOnePageWithTheWindowsTexts)
{
    ASSERT_TRUE(PdfText::Available());
    // cups-pdf writes the job's PDF, named after the job, into the user's PDF folder.
    const QDir out(QDir::home().filePath("PDF"));
    const QString name = "Chart_of_Annual_Percentage_Rates";
    for (const QFileInfo& old : out.entryInfoList({name + "*.pdf"}))
        QFile::remove(old.filePath());

    MessageBoxAnswerer boxes;
    EXPECT_FALSE(PrintFromPreview()) << "the preview closes once the job is handed over";
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_GT(TQRPrinter::Instance().LastJob(), 0);
    // The job carries the chart's whole title in the queue's job list.
    EXPECT_EQ(JobTitle(TQRPrinter::Instance().LastJob()), "Chart of Annual Percentage Rates");

    // A listing read afresh each time: a QDir keeps the one it read first.
    const auto written = [&] {
        const auto files = QDir(out.path()).entryInfoList({name + "*.pdf"});
        return files.isEmpty() ? QString() : files[0].filePath();
    };
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !written().isEmpty(); }, 60000))
        << "no " << name.toStdString() << "*.pdf in " << out.path().toStdString();
    const QString pdf = written();
    // cups-pdf writes the file and closes it before the job completes; it prints the page anew
    // (its text cannot be read back), so the texts are read from the document the queue took.
    ASSERT_TRUE(ProcessMessagesUntil([&] { return PdfText::Read(pdf).Pages > 0; }, 30000));
    EXPECT_EQ(PdfText::Read(pdf).Pages, 1);
    const QString spooled = SpooledDocument(TQRPrinter::Instance().LastJob());
    const PdfText printed = PdfText::Read(spooled);
    EXPECT_EQ(printed.Pages, 1) << spooled.toStdString();
    for (const QString& text :
         {QString("Chart of Annual Percentage Rates"), QString("Mortgage Loan Variables"),
          QString("Prepaid Mortgage Interest:"), QString("$100,000.00"), QString("$786.70"),
          QString("8.75%"), QString("30 Years"), QString("Tallyhorn, 1.0.00"),
          QString("before making any financial decisions.")})
        EXPECT_TRUE(printed.Text.contains(text)) << text.toStdString();
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 8; ++column)
            if (const QString cell =
                    Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row).trimmed();
                !cell.isEmpty()) {
                EXPECT_TRUE(printed.Text.contains(cell)) << cell.toStdString();
            }
    if (!HasFailure())
        QFile::remove(pdf);
}

TEST_F(PrintQueue, SchedulePrintedThroughTheQueueHasEveryPageWithItsPageTotal)
{
    ASSERT_TRUE(PdfText::Available());
    // File > Loan Summary, Preview Schedule, then Print in the preview; the dialog closes last.
    int previewPages = 0;
    bool previewed = false;
    bool previewing = false;
    MessageBoxAnswerer boxes;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* preview = qobject_cast<TfrmPreview*>(modal)) {
            previewed = true;
            previewPages = TQRPrinter::Instance().PageCount();
            QTest::mouseClick(preview->bbPrint, Qt::LeftButton);
            preview->close();
        } else if (auto* dialog = qobject_cast<TfrmLoanSummary*>(modal)) {
            if (!previewed && !previewing) {
                // From the loop, not from this timer: the preview's own loop must see it again.
                previewing = true;
                QMetaObject::invokeMethod(
                    dialog,
                    [dialog] {
                        QTest::mouseClick(Find<QPushButton>(*dialog, "btnPreview"), Qt::LeftButton);
                    },
                    Qt::QueuedConnection);
            } else if (previewed)
                dialog->close();
        }
    });
    poll.start();
    ASSERT_TRUE(Find<QAction>(*w, "mnuFileLoanSummary")->isEnabled());
    Find<QAction>(*w, "mnuFileLoanSummary")->trigger();
    poll.stop();
    ASSERT_TRUE(previewed);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    ASSERT_GT(TQRPrinter::Instance().LastJob(), 0);
    // The window's default 30-year loan: 360 rows run to several pages on any paper.
    EXPECT_GE(previewPages, 6);

    const QString spooled = SpooledDocument(TQRPrinter::Instance().LastJob());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return PdfText::Read(spooled).Pages > 0; }, 30000));
    const PdfText printed = PdfText::Read(spooled);
    EXPECT_EQ(printed.Pages, previewPages) << spooled.toStdString();
    const QString total = QString::number(previewPages);
    for (int page = 1; page <= previewPages; ++page) {
        const QString footer = "Page " + QString::number(page) + " of " + total;
        EXPECT_EQ(printed.Text.count(footer), 1) << footer.toStdString();
    }
    EXPECT_FALSE(printed.Text.contains("Page " + QString::number(previewPages + 1)));
    EXPECT_EQ(printed.Text.count("Amortization Schedule"), previewPages + 1)
        << "the title band once and the footer's title on every page";
    for (const QString& text : {QString("Payment"), QString("Year 30"), QString("Total")})
        EXPECT_TRUE(printed.Text.contains(text)) << text.toStdString();
}

// Printers installed, none of them the default: printing says so and what to do. The
// printing system is one of the test's own (scripts/print-queue, whose queue is removed) so
// that no default can come from elsewhere, and the program runs as a child process whose home
// holds no printer options: the window starts with no printer at all, then a printer is
// added that nobody made the default.
TEST(PrintQueueNoDefault, PrintingSaysToChooseADefaultPrinter)
{
    if (qEnvironmentVariable("TALLYHORN_TEST_QUEUE").isEmpty())
        MISSING_FOR_TEST() << "no test print queue: scripts/test starts one (scripts/print-queue)";
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    QProcess start;
    start.setProcessEnvironment(env);
    start.start(TALLYHORN_SOURCE_DIR "/scripts/print-queue", {"start"});
    ASSERT_TRUE(start.waitForFinished(60000));
    ASSERT_EQ(start.exitCode(), 0) << start.readAllStandardError().toStdString();
    // "export NAME=value NAME=value ...", none of the values quoted.
    for (const QString& assignment : QString::fromUtf8(start.readAllStandardOutput())
                                         .trimmed()
                                         .split(' ', Qt::SkipEmptyParts)
                                         .mid(1))
        env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    struct Stop {
        QProcessEnvironment env;
        ~Stop()
        {
            QProcess stop;
            stop.setProcessEnvironment(env);
            stop.start(TALLYHORN_SOURCE_DIR "/scripts/print-queue", {"stop"});
            stop.waitForFinished(30000);
        }
    } stop{env};
    ASSERT_FALSE(env.value("TALLYHORN_CUPSD_PID").isEmpty());
    QFile::remove(home.filePath(".cups/lpoptions"));
    QProcess remove;
    remove.setProcessEnvironment(env);
    remove.start("lpadmin", {"-x", env.value("TALLYHORN_TEST_QUEUE")});
    ASSERT_TRUE(remove.waitForFinished(30000));
    ASSERT_EQ(remove.exitCode(), 0);

    env.insert("TALLYHORN_NO_DEFAULT_CHILD", "1");
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests",
                 "--gtest_filter=PrintQueueNoDefaultChild.DISABLED_PrintsWithNoDefault"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

// The child's part of the test above; it runs only there.
TEST(PrintQueueNoDefaultChild, DISABLED_PrintsWithNoDefault)
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("TALLYHORN_NO_DEFAULT_CHILD"));
    TempProgramFolder folder;
    TfrmMain w;
    w.SetMessageInterval(0);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(Find<TExplorerButton>(w, "btnAutoCalcStatus"), Qt::LeftButton);
    w.Chart().Rep->ShowProgress = false;
    ASSERT_TRUE(TQRPrinter::Instance().Printer().printerName().isEmpty());
    Cups("lpadmin", {"-p", "TallyhornLate", "-E", "-v", "cups-pdf:/"});
    ASSERT_TRUE(::PrintQueue::HasQueues());
    ASSERT_TRUE(::PrintQueue::DefaultQueue().isEmpty());

    MessageBoxAnswerer boxes;
    bool stillOpen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* preview = qobject_cast<TfrmPreview*>(QApplication::activeModalWidget())) {
            poll.stop();
            QTest::mouseClick(preview->bbPrint, Qt::LeftButton);
            stillOpen = preview->isVisible();
            preview->close();
        }
    });
    poll.start();
    Find<QAction>(w, "mnuFilePrint")->trigger();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(
        "The Chart of Annual Percentage Rates cannot be printed. No default printer is chosen: "
        "choose one with Print Setup"))
        << boxes.Boxes()[0].text.toStdString();
    w.close();
}

struct FailureCase {
    const char* name;
    std::function<void(const QString& printer)> breakIt;
    const char* says;
};

class PrintQueueFailure : public PrintQueue, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PrintQueueFailure, NamesThePrinterAndKeepsThePreviewOpen)
{
    AddScratchQueue();
    MessageBoxAnswerer boxes;
    const bool stillOpen = PrintFromPreview([&] { GetParam().breakIt(scratch); });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    const QString text = boxes.Boxes()[0].text;
    EXPECT_TRUE(text.contains("\"" + scratch + "\"")) << text.toStdString();
    EXPECT_TRUE(text.contains(GetParam().says)) << text.toStdString();
    EXPECT_TRUE(text.startsWith("The Chart of Annual Percentage Rates was not printed: "))
        << text.toStdString();
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");

    // The schedule on the same printer names itself.
    TQRSchedule schedule;
    schedule.SetSource(
        TLoanSummary(calc::LoanModel({.price = 100000, .term = 1, .rate = 8.75}), 0, 0).Source());
    schedule.Report()->ShowProgress = false;
    ASSERT_TRUE(schedule.Report()->Prepare());
    QString problem;
    EXPECT_FALSE(TQRPrinter::Instance().Print(&problem));
    TQRPrinter::Instance().Cleanup();
    EXPECT_TRUE(problem.startsWith("The Amortization Schedule was not printed: "))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains(GetParam().says)) << problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PrintQueueFailure,
    ::testing::Values(FailureCase{"Removed",
                                  [](const QString& p) {
                                      Cups("lpadmin", {"-x", p});
                                  },
                                  "is no longer installed"},
                      FailureCase{"Rejecting", [](const QString& p) { Cups("cupsreject", {p}); },
                                  "is not accepting jobs"},
                      FailureCase{"Stopped", [](const QString& p) { Cups("cupsdisable", {p}); },
                                  "is stopped"},
                      // The printing system gone: a server address where nothing listens.
                      FailureCase{"ServiceUnreachable",
                                  [](const QString&) { cupsSetServer("/nonexistent/cups.sock"); },
                                  "cannot be reached"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
