// The command line without a process: reading the arguments, the stored inputs, and the
// table written as text, CSV and JSON.
#include "app/CommandLine.h"

#include "app/AprTableOutput.h"
#include "app/CommandRunner.h"
#include "app/StoredInputs.h"
#include "app/TableTexts.h"
#include "calc/Errors.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

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
        BadInput{"ThousandsSeparator", {"table", "--price", "100,000"}, "--price"},
        BadInput{"Infinity", {"table", "--fees", "INF"}, "--fees"},
        BadInput{"NegativeTerm", {"table", "--term", "-5"}, "--term"},
        BadInput{"ZeroTerm", {"table", "--term", "0"}, "--term"},
        BadInput{"FractionalTerm", {"chart", "--output", "x.pdf", "--term", "30.5"}, "--term"},
        BadInput{"EndlessTerm", {"table", "--term", "100000000"}, "--term"},
        BadInput{"NegativeRate", {"table", "--rate", "-1"}, "--rate"},
        BadInput{"NegativeDown", {"table", "--down=-3"}, "--down"},
        BadInput{"NegativeFees", {"table", "--fees", "-10"}, "--fees"},
        BadInput{"StepNotAnIncrement", {"table", "--loan-step", "1500"}, "--loan-step"},
        BadInput{"FeeStepNotAnIncrement", {"table", "--fee-step", "0"}, "--fee-step"},
        BadInput{"UnknownFormat", {"table", "--format", "xml"}, "--format"},
        BadInput{"OptionOfAnotherCommand", {"apr", "--price", "5"}, "--price"},
        BadInput{"FormatOnChart", {"chart", "--output", "x.pdf", "--format", "csv"}, "--format"},
        BadInput{
            "AprWithoutPayment", {"apr", "--amount-financed", "1", "--payments", "3"}, "--payment"},
        BadInput{"PaymentsNotWhole",
                 {"payment", "--loan", "1", "--rate", "5", "--payments", "2.5"},
                 "--payments"},
        BadInput{"ChartWithoutOutput", {"chart"}, "--output"},
        BadInput{"UnknownPaper", {"chart", "--output", "x.pdf", "--paper", "legal"}, "--paper"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandLine, ReadsEachCommandWithItsDefaultsAndTheWindowsDecimals)
{
    TCommandRequest r;
    QString error;
    ASSERT_TRUE(Parse({"table"}, r, error)) << error.toStdString();
    EXPECT_EQ(r.kind, TCommandKind::Table);
    EXPECT_EQ(r.format, TOutputFormat::Text);
    EXPECT_FALSE(r.price || r.downPercent || r.term || r.rate); // from the settings file
    EXPECT_EQ(r.fees, 0);
    EXPECT_EQ(r.loanStep, 1000);
    EXPECT_EQ(r.feeStep, 1000);

    // Options may come before the command; values after "=" or as the next argument, negative
    // ones too; rates are held to three decimals as in the window's fields.
    ASSERT_TRUE(
        Parse({"--rate=6.12345", "table", "--price", "-5e4", "--down", "20", "--term", "15",
               "--fees", "3000", "--loan-step", "2500", "--fee-step", "500", "--format", "CSV"},
              r, error))
        << error.toStdString();
    EXPECT_EQ(*r.price, -50000);
    EXPECT_EQ(*r.rate, 6.123);
    EXPECT_EQ(*r.term, 15);
    EXPECT_EQ(r.loanStep, 2500);
    EXPECT_EQ(r.format, TOutputFormat::Csv);
    EXPECT_TRUE(r.HasAllLoanInputs());

    ASSERT_TRUE(Parse({"chart", "--output", "out.pdf", "--paper", "A4"}, r, error));
    EXPECT_EQ(r.kind, TCommandKind::Chart);
    EXPECT_EQ(r.output, "out.pdf");
    EXPECT_EQ(r.paper, TChartPaper::A4);
    ASSERT_TRUE(Parse({"chart", "--output", "out.pdf"}, r, error));
    EXPECT_EQ(r.paper, TChartPaper::Letter);

    ASSERT_TRUE(Parse({"apr", "--amount-financed", "99000", "--payment", "786.7", "--payments",
                       "360", "--format", "json"},
                      r, error));
    EXPECT_EQ(r.amountFinanced, 99000);
    EXPECT_EQ(r.payments, 360);
    EXPECT_EQ(r.format, TOutputFormat::Json);

    // --help and --version win over everything else, bad input included.
    ASSERT_TRUE(Parse({"table", "--price", "abc", "--help"}, r, error));
    EXPECT_EQ(r.kind, TCommandKind::Help);
    ASSERT_TRUE(Parse({"-v"}, r, error));
    EXPECT_EQ(r.kind, TCommandKind::Version);
    EXPECT_EQ(TCommandLine::VersionText(), "tallyhorn 1.0.00");
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

// The table's cells, split from the text output: columns stand at least two blanks apart.
QList<QStringList> TextCells(const QString& text)
{
    QList<QStringList> rows;
    const QStringList lines = text.split('\n');
    const qsizetype start = lines.indexOf(QString()) + 1;
    for (qsizetype i = start; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            rows << lines[i].trimmed().split(QRegularExpression(" {2,}"));
    return rows;
}

TEST(AprTableOutput, DefaultTableMatchesTheWindowsTextsInEveryFormat)
{
    const TAprTableOutput table{TTableInputs{}};
    EXPECT_EQ(table.Cell(1, 0), "  IR %  ");
    EXPECT_EQ(table.Cell(0, 1), "$95,000");
    EXPECT_EQ(table.Cell(7, 0), "$5,000");

    // Text: the inputs and results as the window's fields show them, then the grid's texts.
    const QString text = table.Text();
    for (const char* line :
         {"Down Payment                 $0.00", "Loan Amount            $100,000.00",
          "Payment (P&I)              $786.70", "APR                         8.750%"})
        EXPECT_TRUE(text.contains(line)) << line;
    const QList<QStringList> cells = TextCells(text);
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells[0], (QStringList{"Loan / Fees", "IR %", "$0", "$1,000", "$2,000", "$3,000",
                                     "$4,000", "$5,000"}));
    for (int row = 1; row <= 11; ++row) {
        ASSERT_EQ(cells[row].size(), 8) << row;
        EXPECT_EQ(cells[row][0], QString("$%1,000").arg(94 + row));
        for (int col = 1; col <= 7; ++col)
            EXPECT_EQ(cells[row][col], QString(DefaultAprTable[row - 1][col - 1]) + "%")
                << col << ", " << row;
    }

    // CSV: the same table as plain numbers that round to the texts shown.
    const QStringList records = table.Csv().split("\r\n");
    EXPECT_EQ(records[0], "Loan / Fees,IR %,0,1000,2000,3000,4000,5000");
    for (int row = 1; row <= 11; ++row) {
        const QStringList fields = records[row].split(',');
        ASSERT_EQ(fields.size(), 8);
        EXPECT_EQ(fields[0].toDouble(), 94000 + 1000 * row);
        for (int col = 1; col <= 7; ++col)
            EXPECT_EQ(QString::number(fields[col].toDouble(), 'f', 3),
                      DefaultAprTable[row - 1][col - 1]);
    }
    EXPECT_EQ(records[12], "");
    EXPECT_TRUE(records.contains("Payment (P&I),786.700405613371"));

    // JSON: the numbers behind the same texts, at full precision.
    QJsonParseError parseError;
    const QJsonObject json = QJsonDocument::fromJson(table.Json().toUtf8(), &parseError).object();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError);
    EXPECT_EQ(json["payment"].toDouble(), table.User().payment);
    EXPECT_NEAR(json["apr"].toDouble(), 8.75, 1e-7);
    EXPECT_EQ(json["inputs"]["term"].toDouble(), 30);
    EXPECT_EQ(json["fees"].toArray().last().toDouble(), 5000);
    const QJsonArray rows = json["rows"].toArray();
    ASSERT_EQ(rows.size(), 11);
    EXPECT_EQ(rows[7]["loan"].toDouble(), 102000);
    EXPECT_EQ(QString::number(rows[7]["noteRate"].toDouble(), 'f', 3), "8.533");
    EXPECT_EQ(QString::number(rows[0]["aprs"][5].toDouble(), 'f', 3), "9.953");
}

TEST(AprTableOutput, NegativeRowsKeepTheRegionalFormAndPlainNumbers)
{
    TTableInputs inputs;
    inputs.price = 30000;
    inputs.loanStep = 7500;
    const TAprTableOutput table(inputs);
    EXPECT_EQ(table.Cell(0, 1), "($7,500)");
    EXPECT_EQ(table.Value(0, 1), -7500);
    EXPECT_EQ(table.Cell(1, 1), " -37.762%");
    EXPECT_EQ(table.Cell(2, 1), " 0.000%");
    EXPECT_TRUE(table.Csv().contains("\r\n-7500,-37.76"));
    EXPECT_TRUE(std::isnan(table.Value(0, 0)));
}

// Solving ahead on several threads must not change which error the table meets first.
TEST(AprTableOutput, MeetsTheErrorABuildThatSolvesAsItGoesMeets)
{
    auto inputs = [](double price, double rate, double term, double loanStep) {
        TTableInputs in;
        in.price = price;
        in.rate = rate;
        in.term = term;
        in.loanStep = loanStep;
        return in;
    };
    const TTableInputs cases[] = {
        inputs(0, 8.75, 30, 1000),       // no payment: a zero slope in the APR cells
        inputs(37400, 8.75, 30, 7500),   // row 1 lends -100 against a payment of 294
        inputs(460, 8.75, 1, 100),       // the same in a one-year loan's table
        inputs(100000, 1e308, 30, 1000), // the payment itself overflows
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

TEST_F(StoredInputsTest, ReadsTheWindowsValuesAndWritesNothing)
{
    // No file: the designed inputs, no warning, and still no file afterwards.
    TStoredInputs in = TStoredInputs::Read(&warning);
    EXPECT_EQ(in.price, 100000);
    EXPECT_EQ(in.interest, 8.75);
    EXPECT_EQ(in.term, 30);
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_TRUE(QDir(folder.Path()).entryList(QDir::Files).isEmpty());

    // Any spelling of the name is the same file; the exact one wins.
    TempProgramFolder::WriteFile(folder.File("TORVINI.INI"), "[LastValues]\nPrice=1\n");
    EXPECT_EQ(TStoredInputs::Read(&warning).price, 1);
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"),
                                 "[lastvalues]\nprice=250000\nTerm=15\nInterest=6.5\n");
    in = TStoredInputs::Read(&warning);
    EXPECT_EQ(in.price, 250000);
    EXPECT_EQ(in.term, 15);
    EXPECT_EQ(in.interest, 6.5);
    EXPECT_EQ(in.downPercent, 0);
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files).size(), 2);
}

TEST_F(StoredInputsTest, AValueThatIsNotANumberGivesTheDesignedInputsAndOneWarning)
{
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"),
                                 "[LastValues]\nPrice=250000\nTerm=abc\n");
    const TStoredInputs in = TStoredInputs::Read(&warning);
    EXPECT_EQ(in.price, 100000);
    EXPECT_EQ(in.term, 30);
    EXPECT_TRUE(warning.contains("'abc' is not a valid floating point value"))
        << warning.toStdString();
    EXPECT_FALSE(warning.contains('\n'));
}

// Stored values go through the same checks as the options; the message names the key.
TEST_F(StoredInputsTest, AStoredValueTheOptionsWouldRefuseIsBadInput)
{
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), "[LastValues]\nTerm=0\n");
    TCommandRequest request;
    request.kind = TCommandKind::Table;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    EXPECT_EQ(TCommandRunner::Execute(request, outStream, errStream), TCommandRunner::BadInput);
    EXPECT_TRUE(err.contains("Term=0") && err.contains("--term")) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());

    // Given on the command line, the stored value is not needed and not checked.
    request.term = 20;
    err.clear();
    EXPECT_EQ(TCommandRunner::Execute(request, outStream, errStream), TCommandRunner::Success);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
}

} // namespace
