// The command line without a process: reading the arguments, the stored inputs, and the
// table written as text, CSV and JSON.
#include "cli/CommandLine.h"

#include "calc/Errors.h"
#include "cli/AprTableOutput.h"
#include "cli/CommandOutput.h"
#include "cli/CommandRunner.h"
#include "loan/StoredInputs.h"
#include "loan/TableTexts.h"
#include "tests/support/FailingDevice.h"
#include "tests/support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Parse(const QStringList& args, TCommandRequest& request, QString& error)
{
    return TCommandLine::Parse(QStringList{"tallyhorn"} + args, request, error);
}

struct BadInput {
    const char* name;
    QStringList args;
    const char* mentions; // the option or argument the message must name
};

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithOneLineNamingTheCulprit)
{
    TCommandRequest request;
    QString error;
    EXPECT_FALSE(Parse(GetParam().args, request, error));
    EXPECT_TRUE(error.contains(GetParam().mentions)) << error.toStdString();
    EXPECT_FALSE(error.contains('\n')) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, BadInputTest,
    ::testing::Values(
        BadInput{"NoCommand", {"--price", "5"}, "no command"},
        BadInput{"UnknownCommand", {"tabel"}, "'tabel'"},
        BadInput{"ExtraArgument", {"table", "now"}, "'now'"},
        BadInput{"UnknownOption", {"table", "--prize", "5"}, "prize"},
        BadInput{"MissingValue", {"table", "--price"}, "--price"},
        BadInput{"PriceNotANumber", {"table", "--price", "abc"}, "--price: 'abc'"},
        BadInput{"Infinity", {"table", "--fees", "INF"}, "--fees"},
        BadInput{"NegativeTerm", {"table", "--term", "-5"}, "--term"},
        BadInput{"FractionalTerm", {"chart", "--output", "x.pdf", "--term", "30.5"}, "--term"},
        BadInput{"EndlessTerm", {"table", "--term", "100000000"}, "--term"},
        BadInput{"NegativeRate", {"table", "--rate", "-1"}, "--rate"},
        // Beyond what the window's fields hold, or no price at all.
        BadInput{"HugePrice", {"table", "--price", "1e15"}, "--price"},
        BadInput{"NegativePrice", {"table", "--price", "-1"}, "--price"},
        BadInput{"ZeroPrice", {"chart", "--output", "x.pdf", "--price", "0"}, "--price"},
        BadInput{"PriceOfThirteenDigits", {"table", "--price", "1000000000000"}, "--price"},
        BadInput{"HugeFees", {"table", "--fees", "1e15"}, "--fees"},
        BadInput{"HugeRate", {"table", "--rate", "1e15"}, "--rate"},
        BadInput{"HugeDown", {"table", "--down", "1e15"}, "--down"},
        BadInput{"RateRoundingToTheLimit", {"table", "--rate", "99999.9996"}, "--rate"},
        BadInput{"HugeLoan",
                 {"payment", "--loan", "-1e12", "--rate", "5", "--payments", "12"},
                 "--loan"},
        BadInput{"HugePaymentRate",
                 {"payment", "--loan", "1", "--rate", "1e300", "--payments", "12"},
                 "--rate"},
        BadInput{"HugeAmountFinanced",
                 {"apr", "--amount-financed", "1e308", "--payment", "1", "--payments", "12"},
                 "--amount-financed"},
        BadInput{"StepNotAnIncrement", {"table", "--loan-step", "1500"}, "--loan-step"},
        BadInput{"UnknownFormat", {"table", "--format", "xml"}, "--format"},
        BadInput{"OptionOfAnotherCommand", {"apr", "--price", "5"}, "--price"},
        BadInput{"FormatOnChart", {"chart", "--output", "x.pdf", "--format", "csv"}, "--format"},
        BadInput{
            "AprWithoutPayment", {"apr", "--amount-financed", "1", "--payments", "3"}, "--payment"},
        BadInput{"PaymentsNotWhole",
                 {"payment", "--loan", "1", "--rate", "5", "--payments", "2.5"},
                 "--payments"},
        BadInput{"ChartWithoutOutput", {"chart"}, "--output"},
        BadInput{"UnknownPaper", {"chart", "--output", "x.pdf", "--paper", "legal"}, "--paper"},
        BadInput{"StreamAndPayment",
                 {"apr", "--amount-financed", "1", "--stream", "12x1", "--payment", "1"},
                 "--stream"},
        BadInput{"StreamAndPayments",
                 {"apr", "--amount-financed", "1", "--stream", "12x1", "--payments", "12"},
                 "--stream"},
        BadInput{"StreamWithoutCount",
                 {"apr", "--amount-financed", "1", "--stream", "x5"},
                 "--stream: must be COUNTxPAYMENT"},
        BadInput{"StreamOfNoPayments",
                 {"apr", "--amount-financed", "1", "--stream", "0x5"},
                 "--stream: the count"},
        BadInput{"StreamNegativePayment",
                 {"apr", "--amount-financed", "1", "--stream", "12x1", "--stream", "3x-1"},
                 "'3x-1'"},
        BadInput{"StreamsTooLong",
                 {"apr", "--amount-financed", "1", "--stream", "12000x1", "--stream", "1x1"},
                 "--stream"},
        BadInput{"DisclosedNotANumber",
                 {"apr", "--amount-financed", "1", "--stream", "12x1", "--disclosed", "8%"},
                 "--disclosed"},
        BadInput{"MiWithoutMonths", {"schedule", "--mi", "50"}, "--mi-months"},
        BadInput{"NegativeMi", {"schedule", "--mi", "-5", "--mi-months", "3"}, "--mi"},
        BadInput{
            "MiMonthsFraction", {"schedule", "--mi", "5", "--mi-months", "2.5"}, "--mi-months"},
        BadInput{"MiOnTable", {"table", "--mi", "5"}, "--mi"},
        // No rate makes payments of nothing, or less, worth an amount.
        BadInput{"ZeroPayment",
                 {"apr", "--amount-financed", "1000", "--payment", "0", "--payments", "12"},
                 "--payment: must be more than 0"},
        BadInput{"NegativePayment",
                 {"apr", "--amount-financed", "1000", "--payment", "-100", "--payments", "12"},
                 "--payment: must be more than 0"},
        BadInput{"StreamsOfZeroPayments",
                 {"apr", "--amount-financed", "1000", "--stream", "12x0", "--stream", "3x0"},
                 "--stream: the streams must hold a payment above 0"},
        // An empty value is refused, not taken for the default or for standard output.
        BadInput{"EmptyPaper", {"chart", "--output", "x.pdf", "--paper", ""}, "--paper: "},
        BadInput{"EmptyOutput", {"schedule", "--output="}, "--output: the value is empty"},
        BadInput{"EmptyChartOutput", {"chart", "--output", ""}, "--output: the value is empty"},
        BadInput{"EmptyFormat", {"table", "--format", ""}, "--format: "},
        BadInput{"EmptyStreamAmongOthers",
                 {"apr", "--amount-financed", "1", "--stream", "12x1", "--stream", ""},
                 "--stream: the value is empty"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandLine, ReadsOptionsAnywhereWithTheirDefaultsAndTheWindowsDecimals)
{
    TCommandRequest r;
    QString error;
    ASSERT_TRUE(Parse({"table"}, r, error)) << error.toStdString();
    EXPECT_FALSE(r.price || r.downPercent || r.term || r.rate); // from the settings file
    EXPECT_EQ(r.fees + r.loanStep + r.feeStep, 2000);
    // Before or after the command, "=value" or the next argument; the
    // note rate is held to three decimals, as in the window's field.
    ASSERT_TRUE(Parse({"--rate=6.12345", "chart", "--price", "5e4", "--down", "20", "--term", "15",
                       "--output", "out.pdf", "--paper", "A4"},
                      r, error))
        << error.toStdString();
    EXPECT_EQ(r.kind, TCommandKind::Chart);
    EXPECT_EQ(*r.price, 50000);
    EXPECT_EQ(*r.rate, 6.123);
    EXPECT_EQ(r.paper, TChartPaper::A4);
    EXPECT_TRUE(r.HasAllLoanInputs());
    // The largest inputs the window's fields hold are taken.
    ASSERT_TRUE(Parse({"table", "--price", "999999999999", "--fees", "999999999999.99", "--rate",
                       "99999.999", "--down", "99999.999"},
                      r, error))
        << error.toStdString();
    ASSERT_TRUE(Parse({"apr", "--amount-financed", "-999999999999", "--payment", "999999999999",
                       "--payments", "1"},
                      r, error))
        << error.toStdString();
    // --help wins over everything else, bad input included.
    ASSERT_TRUE(Parse({"table", "--price", "abc", "--help"}, r, error));
    EXPECT_EQ(r.kind, TCommandKind::Help);
}

TEST(CommandLine, HelpFitsEightyColumns)
{
    for (const QString& line : TCommandLine::HelpText().split('\n'))
        EXPECT_LE(line.size(), 79) << line.toStdString();
}

TEST(CommandLine, OnlyArgumentsBeyondTheWindowingSystemsOwnMakeACommand)
{
    const struct {
        std::vector<const char*> argv;
        bool command;
    } cases[] = {
        {{"tallyhorn"}, false},
        {{"tallyhorn", "-platform", "xcb"}, false},
        {{"tallyhorn", "--style", "fusion", "-reverse"}, false},
        {{"tallyhorn", "table"}, true},
        {{"tallyhorn", "-style", "fusion", "--version"}, true},
        {{"tallyhorn", "--price", "5"}, true}, // a command's option: refused later, not ignored
        {{"tallyhorn", "-platform"}, true},    // no value: not the windowing system's
    };
    for (const auto& c : cases)
        EXPECT_EQ(TCommandRunner::Wanted(static_cast<int>(c.argv.size()), c.argv.data()), c.command)
            << c.argv.back();
}

// CSV and JSON readers take these as they stand: whole amounts in full, every digit kept.
TEST(AprTableOutput, PlainNumbersAreWrittenOutInFull)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {100000, "100000"},
        {-7500, "-7500"},
        {1e14, "100000000000000"},
        {8.749999999999991, "8.749999999999991"},
        {0, "0"},
        {0.0001, "0.0001"},
        {1e300, "1e+300"},
        {1e-7, "1e-07"},
    };
    for (const auto& c : cases) {
        const QString text = TableTexts::PlainNumber(c.value);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(text.toDouble(), c.value) << c.text;
    }
}

// Solving ahead on several threads must not change which error the table meets first.
TEST(AprTableOutput, MeetsTheErrorABuildThatSolvesAsItGoesMeets)
{
    const calc::LoanInputs cases[] = {
        {.price = 0},                               // no payment: a zero slope in the APR cells
        {.price = 37400, .loanStep = 7500},         // row 1 lends -100 against a payment of 294
        {.price = 460, .term = 1, .loanStep = 100}, // the same in a one-year loan's table
        {.rate = 1e308},                            // the payment itself overflows
    };
    for (const calc::LoanInputs& in : cases) {
        std::string sequential, ahead;
        try {
            const calc::UserLoan user =
                calc::ComputeUserLoan(in.price, in.downPercent, in.term, in.rate, in.fees);
            calc::CalcSimpleAPR(user.n, user.loan - user.fees, user.payment);
            calc::BuildAprTable(user, in.loanStep, in.feeStep, TableTexts::CellFormats(),
                                [](int, int, const std::string&) {});
        } catch (const calc::EMathError& e) {
            sequential = e.what();
        }
        try {
            TAprTableOutput table(in);
        } catch (const calc::EMathError& e) {
            ahead = e.what();
        }
        EXPECT_FALSE(sequential.empty()) << in.price;
        EXPECT_EQ(ahead, sequential) << in.price;
    }
}

struct StoredInputsTest : ::testing::Test {
    TempProgramFolder folder;
    QString warning;
};

// Any spelling of the name is the same file; the exact one wins. Nothing is written.
TEST_F(StoredInputsTest, FindsTheFileWhateverItsLetterCase)
{
    EXPECT_EQ(TStoredInputs::Read(&warning).interest, 8.75); // no file: the default inputs
    TempProgramFolder::WriteFile(folder.File("TORVINI.INI"), "[LastValues]\nPrice=1\n");
    EXPECT_EQ(TStoredInputs::Read(&warning).price, 1);
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), "[lastvalues]\nprice=250000\n");
    EXPECT_EQ(TStoredInputs::Read(&warning).price, 250000);
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files).size(), 2);
}

// Stored values go through the same checks as the options; the message names the key.
TEST_F(StoredInputsTest, AStoredValueTheOptionsWouldRefuseIsBadInput)
{
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), "[LastValues]\nTerm=0\n");
    TCommandRequest request;
    request.kind = TCommandKind::Table;
    QByteArray out;
    QString err;
    QTextStream errStream(&err);
    EXPECT_EQ(TCommandRunner::Execute(request, out, errStream), TCommandRunner::BadInput);
    EXPECT_TRUE(err.contains("Term=0") && err.contains("--term")) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());

    // Given on the command line, the stored value is not needed and not checked.
    request.term = 20;
    err.clear();
    EXPECT_EQ(TCommandRunner::Execute(request, out, errStream), TCommandRunner::Success);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();

    // A price beyond the window's field, stored by hand.
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), "[LastValues]\nPrice=1e15\n");
    err.clear();
    EXPECT_EQ(TCommandRunner::Execute(request, out, errStream), TCommandRunner::BadInput);
    EXPECT_TRUE(err.contains("Price=1e+15") && err.contains("--price")) << err.toStdString();
}

// Either decimal separator reads in every locale; grouping never does. In the price (an
// amount), three digits after the separator that is not the regional one are grouping typed by
// hand; in a rate or percentage they are decimals.
TEST(StoredInputs, NumbersReadWithEitherDecimalSeparator)
{
    TFormatSettings comma = Regional::UnitedStates();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    const TFormatSettings point = Regional::UnitedStates();
    const bool price = true, rate = false;
    const struct {
        const char* text;
        const TFormatSettings& settings;
        bool amount;
        std::optional<double> value; // empty: the conversion error
    } cases[] = {
        {"8.75", point, rate, 8.75},     {"8,75", point, rate, 8.75},
        {"8,75", comma, rate, 8.75},     {"8.75", comma, rate, 8.75},
        {"-0,5", point, price, -0.5},    {"1,5E3", point, price, 1500},
        {"100,0000", point, price, 100}, {"100,000", comma, price, 100},
        {"100,000", point, price, {}},   {"1,000E2", point, price, {}},
        {"8,125", point, rate, 8.125},   {"250.000", comma, price, {}},
        {" 250.000", comma, price, {}},  {"1.000E2", comma, price, {}},
        {"250.000", point, price, 250},  {"250.00", comma, price, 250},
        {"250.0000", comma, price, 250}, {"8.125", comma, rate, 8.125},
        {"12.500", comma, rate, 12.5},   {"1,234,5", point, price, {}},
        {"1.234,5", point, price, {}},   {"1.234,5", comma, price, {}},
        {"1.234.5", comma, rate, {}},    {"12abc", comma, price, {}},
    };
    for (const auto& c : cases) {
        const std::string where =
            std::string(c.text) +
            (c.settings.DecimalSeparator == '.' ? " under '.'" : " under ','") +
            (c.amount ? " as the price" : " as a rate");
        if (c.value) {
            EXPECT_EQ(TStoredInputs::StoredNumber(c.text, c.settings, c.amount), *c.value) << where;
        } else {
            EXPECT_THROW(TStoredInputs::StoredNumber(c.text, c.settings, c.amount),
                         calc::EConvertError)
                << where;
        }
    }
}

// A PDF file written over an old one past a file size limit, as on a full disk: the old file is
// replaced only by a whole new one, and where no temporary file can be made beside it (a folder
// the user cannot write) it is not touched at all. Root can write any folder: as root the case
// runs again as nobody below.
TEST(CommandOutput, AnOldFileIsKeptByteForBytePastAFileSizeLimit)
{
    const QByteArray old = "OLD REPORT\n";
    const QByteArray pdf = "%PDF-1.4\n" + QByteArray(20000, 'x') + "\n%%EOF\n";
    for (const bool readOnly : {false, true}) {
        if (readOnly && geteuid() == 0)
            continue; // root writes the folder anyway: run as nobody by the test below
        QTemporaryDir folder;
        const QString file = folder.filePath("report.pdf");
        TempProgramFolder::WriteFile(file, old);
        const QByteArray path = QFile::encodeName(folder.path());
        ASSERT_EQ(chmod(path.constData(), readOnly ? 0555 : 0700), 0);
        QString error;
        bool written = true;
        {
            const FileSizeLimit limit(4096);
            written = TCommandOutput::WriteFile(file, pdf, error);
        }
        EXPECT_FALSE(written) << (readOnly ? "read-only" : "writable");
        EXPECT_EQ(TempProgramFolder::ReadFile(file), old) << error.toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"report.pdf"});
        EXPECT_FALSE(error.isEmpty() || error.contains('\n')) << error.toStdString();
        if (readOnly) {
            EXPECT_TRUE(error.contains("left as it was")) << error.toStdString();
        }
        chmod(path.constData(), 0700);
    }
}

TEST(CommandOutputAsOrdinaryUser, TheOldFileIsKeptForNobody)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "the case ran as this ordinary user already";
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (util-linux) is missing";
    // This program where nobody can run it, and a home (and temporary folder) of nobody's.
    const QString pattern = QStringLiteral("/tmp/tallyhorn-nobody-XXXXXX");
    QTemporaryDir bin(pattern), home(pattern);
    const QString program = bin.filePath("test_app");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    ASSERT_EQ(chmod(QFile::encodeName(bin.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(program).constData(), 0755), 0);
    ASSERT_EQ(chown(QFile::encodeName(home.path()).constData(), 65534, 65534), 0);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("TMPDIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("XDG_RUNTIME_DIR");
    env.remove("XDG_CONFIG_HOME");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(home.path());
    child.start(setpriv,
                {"--reuid=65534", "--regid=65534", "--clear-groups", "--", program,
                 "--gtest_filter=CommandOutput.AnOldFileIsKeptByteForBytePastAFileSizeLimit"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString log = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << log.toStdString();
    EXPECT_TRUE(log.contains("[  PASSED  ] 1 test.")) << log.toStdString();
}

} // namespace

// A command sets Qt's message handler, SIGXFSZ and the C locale for its run only: what the
// process had before comes back when it ends.
TEST(CommandProcessSettings, AreSetForTheRunAndPutBackAsFound)
{
    static bool ours = false;
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ours = true; });
    const auto signalBefore = std::signal(SIGXFSZ, SIG_DFL);
    const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
    // A numeric locale the environment does not give (scripts/setup makes de_DE.UTF-8).
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    const std::string planted = std::setlocale(LC_ALL, nullptr);
    {
        const TCommandRunner::TProcessSettings settings;
        EXPECT_EQ(std::signal(SIGXFSZ, SIG_IGN), SIG_IGN);
        EXPECT_NE(std::setlocale(LC_ALL, nullptr), planted);
        ours = false;
        qWarning("a warning the command keeps quiet");
        EXPECT_FALSE(ours);
    }
    EXPECT_EQ(std::signal(SIGXFSZ, signalBefore), SIG_DFL);
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), planted);
    ours = false;
    qWarning("a warning the test's handler sees");
    EXPECT_TRUE(ours);
    qInstallMessageHandler(before);
    std::setlocale(LC_ALL, localeBefore.c_str());
}
