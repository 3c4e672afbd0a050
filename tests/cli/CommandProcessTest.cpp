// The built program run as a command: output, exit status, standard error, and the settings
// file left alone. The program is copied into a temporary folder, which is then its program
// folder, and its configuration folder is another temporary folder.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/RadioGroup.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/FindChild.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <locale.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

class CommandProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        s_config = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(QFile::copy(TALLYHORN_EXECUTABLE, Program()));
    }
    static void TearDownTestSuite()
    {
        s_folder.reset();
        s_config.reset();
    }
    void TearDown() override { QFile::remove(Settings()); }

    static QString Program() { return s_folder->filePath("tallyhorn"); }
    static QString Settings() { return s_folder->filePath("TorvIni.ini"); }

    // Runs the program in the "C" locale (United States texts), with no display or with one
    // that cannot be reached. `setup` may change the process and its environment before the
    // start.
    using Setup = std::function<void(QProcess&, QProcessEnvironment&)>;
    static Outcome Start(const QStringList& args, const QString& display = QString(),
                         const Setup& setup = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", s_config->path());
        env.insert("LC_ALL", "C");
        env.remove("QT_QPA_PLATFORM");
        env.remove("WAYLAND_DISPLAY");
        env.remove("DISPLAY");
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
        if (setup)
            setup(process, env);
        process.setProcessEnvironment(env);
        process.start(Program(), args);
        Outcome run;
        if (!process.waitForFinished(120000))
            return run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // The grid part of the text output: one list of cells per row.
    static QList<QStringList> Cells(const QString& text)
    {
        QList<QStringList> rows;
        const QStringList lines = text.split('\n');
        for (qsizetype i = lines.indexOf(QString()) + 1; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                rows << lines[i].trimmed().split(QRegularExpression(" {2,}"));
        return rows;
    }

    static std::unique_ptr<QTemporaryDir> s_folder;
    static std::unique_ptr<QTemporaryDir> s_config;
};

std::unique_ptr<QTemporaryDir> CommandProcessTest::s_folder;
std::unique_ptr<QTemporaryDir> CommandProcessTest::s_config;

// The same inputs typed into the window and given to the command (as options, or left to the
// settings file) give the same 96 texts; the default table is the one the window tests know.
TEST_F(CommandProcessTest, EveryCellEqualsTheWindowsForTheSameInputs)
{
    struct Case {
        QByteArray stored; // for the command
        QStringList args;
        std::array<double, 7> window; // price, down, term, rate, fees, loan and fee item
    };
    const Case cases[] = {
        {"", {}, {100000, 0, 30, 8.75, 0, 3, 3}},
        {"[LastValues]\nDownPercent=20\nTerm=15\nInterest=6.5\n",
         {"--fees", "3000", "--loan-step", "2500", "--fee-step", "500"},
         {100000, 20, 15, 6.5, 3000, 5, 2}},
        {"", {"--price", "30000", "--loan-step", "7500"}, {30000, 0, 30, 8.75, 0, 9, 3}},
        {"[LastValues]\nPrice=250000\nInterest=7.125\n",
         {"--down", "12.5", "--fee-step", "250", "--fees", "1234.56"},
         {250000, 12.5, 30, 7.125, 1234.56, 3, 1}},
    };
    for (const Case& c : cases) {
        TempProgramFolder window;
        TfrmMain w;
        Find<TNumEdit>(w, "edtPurchasePrice")->SetValue(c.window[0]);
        Find<TFnpNumericEdit>(w, "edtDownPaymentPercent")->SetValue(c.window[1]);
        Find<TFnpNumericEdit>(w, "edtTerm")->SetValue(c.window[2]);
        Find<TFnpNumericEdit>(w, "edtInterest")->SetValue(c.window[3]);
        Find<TNumEdit>(w, "edtFixedFees")->SetValue(c.window[4]);
        Find<TRadioGroup>(w, "rgLoan")->SetItemIndex(static_cast<int>(c.window[5]));
        Find<TRadioGroup>(w, "rgFixed")->SetItemIndex(static_cast<int>(c.window[6]));
        w.CalcAPRTable(Find<TExplorerButton>(w, "btnCalculate"));

        QFile::remove(Settings());
        if (!c.stored.isEmpty())
            TempProgramFolder::WriteFile(Settings(), c.stored);
        const Outcome run = Start(QStringList{"table"} + c.args);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        const QList<QStringList> cells = Cells(run.out);
        ASSERT_EQ(cells.size(), 12);
        for (int row = 0; row < 12; ++row)
            for (int col = 0; col < 8; ++col)
                EXPECT_EQ(cells[row].value(col),
                          Find<TStringAlignGrid>(w, "grdAPR")->Cells(col, row).trimmed())
                    << c.args.join(' ').toStdString() << " at " << col << ", " << row;
        EXPECT_TRUE(run.out.contains(" " + Find<TNumEdit>(w, "edtPayment")->text() + "\n"));
        EXPECT_TRUE(run.out.contains(" " + Find<TFnpNumericEdit>(w, "edtAPR")->text() + "%\n"));
        for (int row = 1; c.args.isEmpty() && row <= 11; ++row)
            for (int col = 1; col <= 7; ++col)
                EXPECT_EQ(cells[row][col], QString(DefaultAprTable[row - 1][col - 1]) + "%");
        w.close();
    }
    // Nothing was written: the settings file as it was, no configuration folder.
    EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), cases[3].stored);
    EXPECT_TRUE(QDir(s_config->path()).isEmpty());
}

TEST_F(CommandProcessTest, CsvAndJsonParseAndAgreeWithTheText)
{
    const QStringList inputs{"--price", "187500", "--down", "10",   "--term",      "20",
                             "--rate",  "5.875",  "--fees", "2750", "--loan-step", "5000"};
    const Outcome text = Start(QStringList{"table"} + inputs);
    const Outcome csv = Start(QStringList{"table", "--format", "csv"} + inputs);
    const Outcome json = Start(QStringList{"table", "--format=json"} + inputs);
    ASSERT_EQ(text.status + csv.status + json.status, 0);
    const QList<QStringList> cells = Cells(text.out);
    ASSERT_EQ(cells.size(), 12);

    // CSV: rectangular 12 x 8, every number rounds to the text shown.
    const QStringList records = csv.out.split("\r\n");
    for (int row = 0; row < 12; ++row) {
        const QStringList fields = records[row].split(',');
        ASSERT_EQ(fields.size(), 8) << row;
        for (int col = row == 0 ? 2 : 0; col < 8; ++col) {
            bool isNumber = false;
            const double v = fields[col].toDouble(&isNumber);
            ASSERT_TRUE(isNumber) << fields[col].toStdString();
            const QString shown = cells[row][col];
            if (shown.endsWith('%'))
                EXPECT_EQ(QString::number(v, 'f', 3) + "%", shown);
            else
                EXPECT_EQ("$" + QLocale(QLocale::English).toString(v, 'f', 0), shown);
        }
    }

    // JSON: well formed, and the same numbers as the CSV.
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = doc.object();
    EXPECT_EQ(root["loan"].toDouble(), 168750);
    EXPECT_EQ(root["fees"].toArray().first().toDouble(), 2750);
    EXPECT_EQ(root["rows"][5]["aprs"][0].toDouble(), records[6].split(',')[2].toDouble());
    EXPECT_TRUE(
        records.contains("Payment (P&I)," + QString::number(root["payment"].toDouble(), 'g',
                                                            QLocale::FloatingPointShortest)));
}

TEST_F(CommandProcessTest, AprPaymentHelpAndVersion)
{
    const struct {
        QStringList args;
        const char* out; // the start of standard output
    } cases[] = {
        {{"apr", "--amount-financed", "99000", "--payment", "786.7004056", "--payments", "360"},
         "8.861%\n"},
        {{"payment", "--loan", "100000", "--rate", "8.75", "--payments", "360"}, "$786.70\n"},
        {{"payment", "--loan", "-5", "--rate", "0", "--payments", "1"}, "($5.00)\n"},
        {{"payment", "--loan", "120000", "--rate", "0", "--payments", "360", "--format", "csv"},
         "333.3333333333333\r\n"},
        // One payment: the exact rate, (1010 / 1000 - 1) x 12.
        {{"apr", "--amount-financed", "1000", "--payment", "1010", "--payments", "1"}, "12.000%\n"},
        {{"--version"}, "tallyhorn 1.0.00\n"},
        {{"--help"}, "Usage: tallyhorn [COMMAND [OPTIONS]]\n"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(c.out)) << run.out.toStdString();
    }
}

TEST_F(CommandProcessTest, BadInputAndMathErrorsExitWithOneLineOnStandardError)
{
    const struct {
        QStringList args;
        int status;
        const char* mentions;
    } cases[] = {
        {{"table", "--price", "abc"}, 2, "--price"},
        {{"table", "--frobnicate"}, 2, "frobnicate"},
        {{"price"}, 2, "'price'"},
        {{"table", "--price", "0"}, 2, "--price"},
        {{"chart", "--price", "-1", "--output", "x.pdf"}, 2, "--price"},
        // Row 1 lends -100 against a payment of 294: below -100 % a month.
        {{"table", "--price", "37400", "--loan-step", "7500"}, 1, "cannot be determined"},
        {{"payment", "--loan", "1000", "--rate", "-1200", "--payments", "12"},
         1,
         "cannot be determined"},
        // Values the calculation cannot take are bad input that names its option.
        {{"apr", "--amount-financed", "1000", "--payment", "0", "--payments", "12"},
         2,
         "--payment: "},
        {{"apr", "--amount-financed", "1000", "--stream", "12x0"}, 2, "--stream: "},
        {{"schedule", "--price", "100000", "--mi", "999999999999.99", "--mi-months", "12"},
         2,
         "--mi: "},
        {{"schedule", "--price", "0.004", "--down", "0", "--term", "1", "--rate", "5"},
         2,
         "--price: "},
        {{"schedule", "--price", "1000", "--down", "0", "--term", "30", "--rate", "5", "--fees",
          "999.999"},
         2,
         "--fees: "},
        {{"schedule", "--output", ""}, 2, "--output: "},
        {{"schedule", "--paper", ""}, 2, "--paper: "},
    };
    TempProgramFolder::WriteFile(Settings(), "[LastValues]\nPrice=100000\n");
    const QDateTime modified = QFileInfo(Settings()).lastModified();
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("tallyhorn: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.mentions)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(run.out.isEmpty());
        }
    }
    EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), "[LastValues]\nPrice=100000\n");
    EXPECT_EQ(QFileInfo(Settings()).lastModified(), modified);
}

// The window without a display to open it on, and the chart with a platform forced that
// needs one: one clear line and status 1, not an abort.
TEST_F(CommandProcessTest, NoDisplayEndsWithOneClearLine)
{
    const QString window = "tallyhorn: cannot open the window: no display can be reached (is "
                           "DISPLAY set?); the commands work without one, see tallyhorn --help\n";
    const Setup forceXcb = [](QProcess&, QProcessEnvironment& env) {
        env.insert("QT_QPA_PLATFORM", "xcb");
    };
    QTemporaryDir out;
    const struct {
        QStringList args;
        QString display;
        Setup setup;
        QString line;
    } cases[] = {
        {{}, {}, {}, window},
        {{}, ":4242", {}, window},
        {{}, {}, forceXcb, window},
        {{"chart", "--output", out.filePath("chart.pdf")},
         ":4242",
         forceXcb,
         "tallyhorn: cannot draw the chart: the windowing platform 'xcb' cannot start (no "
         "display can be reached?); without QT_QPA_PLATFORM the chart needs no display\n"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args, c.display, c.setup);
        EXPECT_EQ(run.status, 1) << c.display.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.err, c.line);
    }
    EXPECT_FALSE(QFileInfo::exists(Settings()));
    EXPECT_FALSE(QFileInfo::exists(out.filePath("chart.pdf")));
}

// Every output is checked to the close: a full device, a file size limit. The failure is one
// line and status 1; the chart's file is never left cut short, and an old one stays as it was.
TEST_F(CommandProcessTest, WriteErrorsExitWithOneLineAndLeaveNoCutFile)
{
    QTemporaryDir out;
    const QString pdf = out.filePath("chart.pdf");
    const QString csv = out.filePath("table.csv");
    auto toFile = [](const QString& file) -> Setup {
        return [file](QProcess& p, QProcessEnvironment&) { p.setStandardOutputFile(file); };
    };
    // No file may grow past 4 KiB: the chart is about 29 KiB, the CSV table about 1.7 KiB.
    auto limited = [](qint64 bytes, const QString& stdoutFile = QString()) -> Setup {
        return [bytes, stdoutFile](QProcess& p, QProcessEnvironment&) {
            if (!stdoutFile.isEmpty())
                p.setStandardOutputFile(stdoutFile);
            p.setChildProcessModifier([bytes] {
                const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        };
    };
    const struct {
        const char* name;
        QStringList args;
        Setup setup;
        const char* mentions;
    } cases[] = {
        {"TableToAFullDevice", {"table"}, toFile("/dev/full"), "standard output"},
        {"HelpToAFullDevice", {"--help"}, toFile("/dev/full"), "standard output"},
        {"CsvPastTheLimit", {"table", "--format", "csv"}, limited(1000, csv), "standard output"},
        {"ChartToStandardOutputOnAFullDevice",
         {"chart", "--output", "-"},
         toFile("/dev/full"),
         "standard output"},
        {"ChartOnAFullDevice", {"chart", "--output", "/dev/full"}, {}, "--output"},
        {"ChartPastTheLimit", {"chart", "--output", pdf}, limited(4096), "--output"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args, {}, c.setup);
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_TRUE(run.err.startsWith("tallyhorn: ") && run.err.contains(c.mentions))
            << c.name << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << c.name << ": " << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"table.csv"});

    // An old file is replaced only by a whole new one.
    TempProgramFolder::WriteFile(pdf, "old");
    EXPECT_EQ(Start({"chart", "--output", pdf}, {}, limited(4096)).status, 1);
    EXPECT_EQ(TempProgramFolder::ReadFile(pdf), "old");
    EXPECT_EQ(Start({"chart", "--output", pdf}).status, 0);
    const QByteArray whole = TempProgramFolder::ReadFile(pdf);
    EXPECT_TRUE(whole.startsWith("%PDF-") && whole.trimmed().endsWith("%%EOF"));

    // "-" is standard output: the same chart, whole. Its printing time may differ, and with
    // it a few compressed bytes, so the sizes are compared with a small margin.
    const Outcome piped = Start({"chart", "--output", "-"}, {}, toFile(pdf));
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
    const QByteArray streamed = TempProgramFolder::ReadFile(pdf);
    EXPECT_TRUE(streamed.startsWith("%PDF-") && streamed.trimmed().endsWith("%%EOF"));
    EXPECT_LT(std::abs(streamed.size() - whole.size()), 200);
}

// An old file in a folder the user cannot write cannot be replaced whole: it is left byte for
// byte, with one line and status 1, before anything is written (CommandOutput's test fills the
// disk). The shell's redirection through /dev/stdout is still written in place there. As an
// ordinary user: root can write any folder, so root runs the program as nobody.
TEST_F(CommandProcessTest, AnOldFileInAReadOnlyFolderIsKeptByteForByte)
{
    const bool root = geteuid() == 0;
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (root) {
        ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (util-linux) is missing";
    }
    const uid_t user = root ? 65534 : geteuid();
    const gid_t group = root ? 65534 : getegid();
    auto chmodTo = [](const QString& path, mode_t mode) {
        return chmod(QFile::encodeName(path).constData(), mode) == 0;
    };
    auto give = [&](const QString& path) {
        return chown(QFile::encodeName(path).constData(), user, group) == 0;
    };
    const QString pattern = QStringLiteral("/tmp/tallyhorn-readonly-XXXXXX");
    QTemporaryDir bin(pattern), home(pattern), folder(pattern);
    const QString program = bin.filePath("tallyhorn");
    ASSERT_TRUE(QFile::copy(TALLYHORN_EXECUTABLE, program));
    ASSERT_TRUE(chmodTo(bin.path(), 0755) && chmodTo(program, 0755));
    ASSERT_TRUE(give(home.path()) && give(folder.path()));
    const QByteArray old = "OLD REPORT\n";
    const QString report = folder.filePath("report.pdf");
    const QString redirected = folder.filePath("redirected.pdf");
    for (const QString& file : {report, redirected}) {
        TempProgramFolder::WriteFile(file, old);
        ASSERT_TRUE(give(file));
    }
    ASSERT_TRUE(chmodTo(folder.path(), 0555));

    const QStringList loan{"--price", "250000", "--down", "20", "--term", "30", "--rate", "7"};
    const struct {
        const char* name;
        QStringList args;
        QString standardOutput;
        int status;
    } cases[] = {
        {"Schedule", QStringList{"schedule", "--output", report} + loan, {}, 1},
        {"Chart", QStringList{"chart", "--paper", "a4", "--output", report} + loan, {}, 1},
        {"StandardOutputToTheOldFile", QStringList{"chart", "--output", "/dev/stdout"} + loan,
         redirected, 0},
    };
    for (const auto& c : cases) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("TMPDIR", home.path());
        env.insert("XDG_CONFIG_HOME", home.path());
        env.insert("LC_ALL", "C");
        env.remove("QT_QPA_PLATFORM");
        env.remove("XDG_RUNTIME_DIR");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.path());
        if (!c.standardOutput.isEmpty())
            process.setStandardOutputFile(c.standardOutput);
        if (root)
            process.start(setpriv, QStringList{"--reuid=65534", "--regid=65534", "--clear-groups",
                                               "--", program} +
                                       c.args);
        else
            process.start(program, c.args);
        ASSERT_TRUE(process.waitForFinished(120000)) << c.name;
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), c.status) << c.name << ": " << err.toStdString();
        if (c.status == 0) {
            const QByteArray pdf = c.standardOutput.isEmpty()
                                       ? process.readAllStandardOutput()
                                       : TempProgramFolder::ReadFile(c.standardOutput);
            EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF")) << c.name;
            EXPECT_TRUE(err.isEmpty()) << c.name << ": " << err.toStdString();
        } else {
            EXPECT_TRUE(err.startsWith("tallyhorn: --output: ") && err.contains(report) &&
                        err.contains("left as it was") && err.count('\n') == 1)
                << c.name << ": " << err.toStdString();
        }
        EXPECT_EQ(TempProgramFolder::ReadFile(report), old) << c.name;
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"redirected.pdf", "report.pdf"}));
    chmodTo(folder.path(), 0755);
}

// A damaged value: one warning line, the default inputs, success, and the file as it was.
TEST_F(CommandProcessTest, ADamagedStoredValueGivesOneWarningAndTheDefaultInputs)
{
    TempProgramFolder::WriteFile(Settings(), "[LastValues]\nPrice=12O000\n");
    const Outcome run = Start({"table"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_TRUE(run.err.startsWith("tallyhorn: warning: ") && run.err.contains("Price=12O000,") &&
                run.err.endsWith("; the default inputs are used\n"))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(" $100,000.00\n"));
    EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), "[LastValues]\nPrice=12O000\n");

    // A file beside the program that is not text: the window passes it over for the one in
    // the configuration folder, and the warning is about the file passed over.
    const QByteArray binary("[LastValues]\nPrice=5\0\n", 21);
    TempProgramFolder::WriteFile(Settings(), binary);
    const Outcome skipped = Start({"table"});
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.err.count('\n'), 1);
    EXPECT_TRUE(
        skipped.err.startsWith("tallyhorn: warning: ") &&
        skipped.err.contains(QFileInfo(Settings()).absoluteFilePath() + "\" is not a text file") &&
        skipped.err.endsWith(" or the default inputs are used.\n"))
        << skipped.err.toStdString();
    EXPECT_TRUE(skipped.out.contains(" $100,000.00\n"));
    EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), binary);

    // A link beside the program that is not to be followed: the same one warning, and the
    // file it leads to is neither read nor written.
    QFile::remove(Settings());
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("shared.txt");
    TempProgramFolder::WriteFile(target, "[LastValues]\nPrice=5\n");
    chmod(QFile::encodeName(elsewhere.path()).constData(), 0777);
    ASSERT_TRUE(QFile::link(target, Settings()));
    const Outcome linked = Start({"table"});
    EXPECT_EQ(linked.status, 0);
    EXPECT_EQ(linked.err.count('\n'), 1);
    EXPECT_TRUE(linked.err.startsWith("tallyhorn: warning: ") && linked.err.contains("is a link"))
        << linked.err.toStdString();
    EXPECT_TRUE(linked.out.contains(" $100,000.00\n"));
    EXPECT_EQ(TempProgramFolder::ReadFile(target), "[LastValues]\nPrice=5\n");
    QFile::remove(Settings());

    // Under a decimal-comma locale three digits after a point are grouping in the price only:
    // "250.000" is the damaged value, "8.125" a rate.
    const locale_t comma = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(0));
    if (!comma)
        MISSING_FOR_TEST() << "the de_DE.UTF-8 locale is not installed (scripts/setup makes it)";
    freelocale(comma);
    const Setup german = [](QProcess&, QProcessEnvironment& env) {
        env.insert("LC_ALL", "de_DE.UTF-8");
    };
    const struct {
        QByteArray file;
        double price, rate;
        bool warned;
    } stored[] = {{"[LastValues]\nPrice=250000\nInterest=8.125\n", 250000, 8.125, false},
                  {"[LastValues]\nPrice=250.000\nInterest=8.125\n", 100000, 8.75, true}};
    for (const auto& c : stored) {
        TempProgramFolder::WriteFile(Settings(), c.file);
        const Outcome read = Start({"table", "--format", "json"}, {}, german);
        EXPECT_EQ(read.status, 0) << read.err.toStdString();
        EXPECT_EQ(read.err.contains("Price=250.000, which is not a number"), c.warned)
            << read.err.toStdString();
        const QJsonObject inputs =
            QJsonDocument::fromJson(read.out.toUtf8()).object()["inputs"].toObject();
        EXPECT_EQ(inputs["price"].toDouble(), c.price) << c.file.constData();
        EXPECT_EQ(inputs["rate"].toDouble(), c.rate) << c.file.constData();
        EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), c.file);
    }
}

// The chart as a one-page PDF with the table's texts, on Letter, A4 or A5 (scaled down to
// fit), with no display or an unreachable one, and the settings file untouched.
TEST_F(CommandProcessTest, ChartIsOnePdfPageWithTheTablesTexts)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdftotext.isEmpty() || pdfinfo.isEmpty())
        MISSING_FOR_TEST()
            << "pdftotext and pdfinfo (poppler-utils, installed by scripts/setup) are "
               "needed to read the PDF";
    auto tool = [](const QString& program, const QStringList& args) {
        QProcess process;
        process.start(program, args);
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    const QByteArray stored = "[LastValues]\nPrice=187500\nDownPercent=10\nTerm=20\n";
    TempProgramFolder::WriteFile(Settings(), stored);
    const QDateTime modified = QFileInfo(Settings()).lastModified();
    const QStringList inputs{"--rate", "5.875", "--fees", "2750", "--loan-step", "5000"};
    const QList<QStringList> table = Cells(Start(QStringList{"table"} + inputs).out);
    ASSERT_EQ(table.size(), 12);

    QTemporaryDir out;
    const struct {
        QStringList paper;
        const char* size;
        const char* display;
    } papers[] = {{{}, "612 x 792 pts (letter)", ""},
                  {{"--paper", "a4"}, "595 x 842 pts (A4)", ":4242"},
                  {{"--paper", "A5"}, "420 x 595 pts (A5)", ""}};
    for (const auto& p : papers) {
        const QString pdf = out.filePath("chart.pdf");
        const Outcome run =
            Start(QStringList{"chart", "--output", pdf} + inputs + p.paper, p.display);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty()) << run.err.toStdString();
        const QString info = tool(pdfinfo, {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\n"))) << info.toStdString();
        EXPECT_TRUE(info.contains(p.size)) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Title: +Chart of Annual Percentage Rates\n")))
            << info.toStdString();

        const QString text = tool(pdftotext, {"-layout", pdf, "-"});
        EXPECT_TRUE(text.contains("Chart of Annual Percentage Rates"));
        EXPECT_TRUE(text.contains(QRegularExpression("Purchase Price: +\\$187,500\\.00")));
        EXPECT_TRUE(text.contains(QRegularExpression("Other Fees: +\\$2,750\\.00")));
        // The APR as the window's field holds it: 3 decimals at most (not "6.1234%").
        EXPECT_TRUE(text.contains(QRegularExpression("APR: +\\d+\\.\\d{1,3}%\\s")))
            << text.toStdString();
        // Every row of the table, its cells in order on one line.
        for (const QStringList& row : table) {
            QStringList escaped;
            for (const QString& cell : row)
                escaped << QRegularExpression::escape(cell);
            EXPECT_TRUE(text.contains(QRegularExpression(escaped.join(" +"))))
                << row.join(' ').toStdString();
        }

        // The chart fits the printable width: the footer's right-aligned web address is drawn
        // to its last letter (the page cuts off what lies beyond).
        const QRegularExpressionMatch word =
            QRegularExpression("<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                               "yMax=\"([\\d.]+)\">www\\.")
                .match(tool(pdftotext, {"-bbox", pdf, "-"}));
        ASSERT_TRUE(word.hasMatch());
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (!pdftoppm.isEmpty()) {
            tool(pdftoppm, {"-r", "72", "-gray", "-png", "-singlefile", pdf, out.filePath("page")});
            const QImage page(out.filePath("page.png"));
            ASSERT_FALSE(page.isNull());
            int inkRight = -1;
            for (int y = qFloor(word.captured(1).toDouble()); y < word.captured(3).toDouble(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qGray(page.pixel(x, y)) < 128)
                        inkRight = std::max(inkRight, x);
            EXPECT_GE(inkRight, word.captured(2).toDouble() - 3) << p.size;
        }
        QFile::remove(pdf);
    }
    EXPECT_EQ(TempProgramFolder::ReadFile(Settings()), stored);
    EXPECT_EQ(QFileInfo(Settings()).lastModified(), modified);

    // A file that cannot be written: status 1 and one line naming the option.
    const Outcome failed = Start({"chart", "--output", out.filePath("missing/chart.pdf")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.startsWith("tallyhorn: --output: ")) << failed.err.toStdString();
    EXPECT_EQ(failed.err.count('\n'), 1) << failed.err.toStdString();
}

} // namespace

// The schedule and the payment streams from a shell: status, the start of standard output, and
// the figures of the JSON, which the exact computation of DisclosureTest also gives.
// Money texts keep every cent at every size the options accept, and never take E-notation;
// the figures' APR is that of the payments as disclosed (the figures worked out by hand in
// decimal).
TEST_F(CommandProcessTest, FiguresKeepEveryCentAndTheAprIsThatOfThePaymentsDisclosed)
{
    const struct {
        QStringList args;
        QStringList shows;
    } cases[] = {
        // 99999999999 x (1 + 0.05 / 12) = 100416666665.6625
        {{"payment", "--loan", "99999999999", "--rate", "5", "--payments", "1"},
         {"\\$100,416,666,665\\.66\n"}},
        // Loan labels from 10^10: 12345678900 - 5 x 1000 up to + 5 x 1000.
        {{"table", "--price", "12345678900", "--down", "0"},
         {"\n\\$12,345,673,900 ", "\n\\$12,345,683,900 ", "Loan Amount +\\$12,345,678,900\\.00"}},
        // The interest never goes below the payment: 11999 payments of 7,499,999,999.99 and a
        // last one of 999,999,999,999 + 7,499,999,999.99.
        {{"schedule", "--price", "999999999999", "--down", "0", "--term", "1000", "--rate", "9"},
         {"Total of Payments +\\$90,999,999,999,879\\.00\n",
          "Finance Charge +\\$89,999,999,999,880\\.00\n"}},
        // $1 at 5 % for a year with $0.10 of fees: 11 x $0.09 and $0.01 on $0.90 is 21.368 %,
        // not the unrounded payment's 25.155 % of the window's APR field, and is named so.
        {{"schedule", "--price", "1", "--down", "0", "--term", "1", "--rate", "5", "--fees",
          "0.10"},
         {"APR of These Payments +21\\.368%\n", "Total of Payments +\\$1\\.00\n"}},
        {{"schedule", "--price", "100000", "--down", "0", "--term", "30", "--rate", "8.75"},
         {"Annual Percentage Rate +8\\.750%\n"}},
        // The down payment and the loan add up to the price to the cent, on every road:
        // 50 % of 100000.01 is 50000.005, half up 50000.01, leaving 50000.00 to borrow.
        {{"table", "--price", "100000.01", "--down", "50", "--fees", "1000.005"},
         {"Down Payment +\\$50,000\\.01\n", "Loan Amount +\\$50,000\\.00\n",
          "Total Fixed Fees +\\$1,000\\.01\n"}},
        {{"schedule", "--price", "100000.01", "--down", "50", "--fees", "1000.005"},
         {"Loan Amount +\\$50,000\\.00\n", "Prepaid Finance Charges +\\$1,000\\.01\n",
          "Amount Financed +\\$48,999\\.99\n"}},
        // An irregular first payment keeps the loan regular: 1/8 point, not 1/4.
        {{"apr", "--amount-financed", "5000", "--stream", "1x250", "--stream", "23x230",
          "--disclosed", "10.30"},
         {"tolerance 0\\.125"}},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        ASSERT_EQ(run.status, c.args.contains("--disclosed") ? 3 : 0) << run.err.toStdString();
        for (const QString& pattern : c.shows)
            EXPECT_TRUE(run.out.contains(QRegularExpression(pattern)))
                << c.args.join(' ').toStdString() << ": " << pattern.toStdString();
        EXPECT_FALSE(run.out.contains(QRegularExpression("\\dE\\d"))) << run.out.toStdString();
    }
}

TEST_F(CommandProcessTest, ScheduleAndPaymentStreams)
{
    const QStringList loan{"--price", "100000", "--down", "0", "--term", "30", "--rate", "8.75"};
    const struct {
        QStringList args;
        int status;
        const char* out;
    } cases[] = {
        {QStringList{"schedule"} + loan, 0, "Loan Amount                          $100,000.00\n"},
        {QStringList{"schedule", "--format", "csv"} + loan, 0,
         "number,payment,interest,principal,mortgageInsurance,balance\r\n"
         "1,786.70,729.17,57.53,0.00,99942.47\r\n"},
        {{"apr", "--amount-financed", "245679.45", "--stream", "84x1788.47", "--stream",
          "276X1684.30"},
         0,
         "7.584%\n"},
        // The same loan as one stream or split: the same rate.
        {{"apr", "--amount-financed", "99000", "--stream", "84x786.7004056", "--stream",
          "276x786.7004056"},
         0,
         "8.861%\n"},
        {{"apr", "--amount-financed", "99000", "--payment", "786.7004056", "--payments", "360",
          "--disclosed", "8.986"},
         0,
         "8.861%\ndisclosed 8.986%: accurate (+0.125 percentage points"},
        {{"apr", "--amount-financed", "99000", "--payment", "786.7004056", "--payments", "360",
          "--disclosed", "8.987"},
         3,
         "8.861%\ndisclosed 8.987%: not accurate"},
        // Changing payments are irregular: a quarter point.
        {{"apr", "--amount-financed", "245679.45", "--stream", "84x1788.47", "--stream",
          "276x1684.30", "--disclosed", "7.8", "--format", "csv"},
         0,
         "apr,7.58442"},
        {{"apr", "--amount-financed", "245679.45", "--stream", "84x1788.47", "--stream",
          "276x1684.30", "--disclosed", "7.85", "--format", "json"},
         3,
         "{"},
        {QStringList{"schedule", "--fees", "100000"} + loan, 2, ""},
        {QStringList{"schedule", "--mi", "50", "--mi-months", "361"} + loan, 2, ""},
        {{"apr", "--amount-financed", "1000", "--stream", "12x0"}, 2, ""},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(*c.out ? run.out.startsWith(c.out) : run.out.isEmpty())
            << c.args.join(' ').toStdString() << "\n"
            << run.out.toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(run.err.startsWith("tallyhorn: --")) << run.err.toStdString();
            EXPECT_EQ(run.err.count('\n'), 1);
        }
    }

    const Outcome json = Start(QStringList{
        "schedule", "--fees", "4321.10", "--mi", "104.17", "--mi-months", "84", "--format", "json",
        "--price", "250000.55", "--down", "0", "--term", "30", "--rate", "7.125"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonObject d = root["disclosure"].toObject();
    EXPECT_EQ(d["financeCharge"].toDouble(), 369419.14);
    EXPECT_EQ(d["totalOfPayments"].toDouble(), 615098.59);
    EXPECT_EQ(d["amountFinanced"].toDouble(), 245679.45);
    EXPECT_NEAR(d["apr"].toDouble(), 7.584421583236, 1e-9); // the reference's mi84 loan
    EXPECT_EQ(root["rows"].toArray().size(), 360);
    EXPECT_EQ(root["years"].toArray().size(), 30);
    EXPECT_EQ(root["rows"].toArray().last().toObject()["balance"].toDouble(), 0.0);

    EXPECT_EQ(d["numberOfPayments"].toInt(), 360);
    EXPECT_EQ(root["loan"].toObject()["payments"].toInt(), 360);

    // A payment rounded up to the cent clears this loan in half its term: the count shown is
    // the rows', with the scheduled one beside it ("6000 of 12000"); "payments" stays the
    // term's count.
    const QStringList early{"schedule", "--price", "60",     "--down", "0",
                            "--term",   "1000",    "--rate", "0"};
    const Outcome text = Start(early);
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains(QRegularExpression("\nNumber of Payments +6000 of 12000\n")))
        << text.out.left(300).toStdString();
    EXPECT_TRUE(text.out.contains("\n6000 ") && !text.out.contains("\n6001 "));
    const Outcome shortJson = Start(early + QStringList{"--format", "json"});
    const QJsonObject shortRoot = QJsonDocument::fromJson(shortJson.out.toUtf8()).object();
    EXPECT_EQ(shortRoot["rows"].toArray().size(), 6000);
    EXPECT_EQ(shortRoot["disclosure"].toObject()["numberOfPayments"].toInt(), 6000);
    EXPECT_EQ(shortRoot["loan"].toObject()["payments"].toInt(), 12000);
    const Outcome csv = Start(early + QStringList{"--format", "csv"});
    EXPECT_TRUE(csv.out.contains("\r\nnumberOfPayments,6000\r\n"))
        << csv.out.right(400).toStdString();

    const Outcome table = Start(QStringList{"table", "--format", "json"} + loan);
    const QJsonObject figures =
        QJsonDocument::fromJson(table.out.toUtf8()).object()["disclosure"].toObject();
    EXPECT_EQ(figures["financeCharge"].toDouble(), 183212.97);
    EXPECT_EQ(figures["totalInterestPercentage"].toDouble(), 183.21297);
}
