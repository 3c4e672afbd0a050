// The command line without a process: reading the arguments, the stored inputs, and the
// table written as text, CSV and JSON.
#include "app/CommandLine.h"

#include "app/AprTableOutput.h"
#include "app/CommandRunner.h"
#include "app/StoredInputs.h"
#include "app/TableTexts.h"
#include "calc/Errors.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>

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
        BadInput{"MiOnTable", {"table", "--mi", "5"}, "--mi"}),
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
        const QString text = TAprTableOutput::PlainNumber(c.value);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(text.toDouble(), c.value) << c.text;
    }
}

// Solving ahead on several threads must not change which error the table meets first.
TEST(AprTableOutput, MeetsTheErrorABuildThatSolvesAsItGoesMeets)
{
    const TTableInputs cases[] = {
        {.price = 0},                               // no payment: a zero slope in the APR cells
        {.price = 37400, .loanStep = 7500},         // row 1 lends -100 against a payment of 294
        {.price = 460, .term = 1, .loanStep = 100}, // the same in a one-year loan's table
        {.rate = 1e308},                            // the payment itself overflows
    };
    for (const TTableInputs& in : cases) {
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

// A decimal comma reads in every locale, and a "." as well; grouping never does, and three
// digits after a lone comma under a "." locale are grouping typed by hand.
TEST(StoredInputs, NumbersReadWithEitherDecimalSeparator)
{
    TFormatSettings comma = Regional::UnitedStates();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    const TFormatSettings point = Regional::UnitedStates();
    const struct {
        const char* text;
        const TFormatSettings& settings;
        std::optional<double> value; // empty: the conversion error
    } cases[] = {
        {"8.75", point, 8.75},    {"8,75", point, 8.75},   {"8,75", comma, 8.75},
        {"8.75", comma, 8.75},    {"-0,5", point, -0.5},   {"1,5E3", point, 1500},
        {"100,0000", point, 100}, {"100,000", comma, 100}, {"100,000", point, {}},
        {"1,000E2", point, {}},   {"1,234,5", point, {}},  {"1.234,5", point, {}},
        {"1.234,5", comma, {}},   {"12abc", comma, {}},
    };
    for (const auto& c : cases) {
        const bool underPoint = c.settings.DecimalSeparator == '.';
        if (c.value) {
            EXPECT_EQ(TStoredInputs::StoredNumber(c.text, c.settings), *c.value)
                << c.text << (underPoint ? " under '.'" : " under ','");
        } else {
            EXPECT_THROW(TStoredInputs::StoredNumber(c.text, c.settings), calc::EConvertError)
                << c.text << (underPoint ? " under '.'" : " under ','");
        }
    }
}

} // namespace
