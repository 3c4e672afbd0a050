#include "cli/CommandLine.h"

#include "Version.h"
#include "calc/AprTable.h"
#include "controls/NumberFormats.h"
#include "platform/Regional.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cmath>

namespace {

struct ValueOption {
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* description;
    const char* commands; // the commands that take it, blank-separated
};

const ValueOption valueOptions[] = {
    {"price", "amount", "Purchase price. Default: the settings file.", "table chart schedule"},
    {"down", "percent", "Down payment, percent of the price. Default: the settings file.",
     "table chart schedule"},
    {"term", "years", "Term in whole years. Default: the settings file.", "table chart schedule"},
    {"rate", "percent",
     "Note interest rate, percent a year. Default (table, chart, schedule): the settings "
     "file.",
     "table chart payment schedule"},
    {"fees", "amount",
     "Total fixed fees, Other Fees on the chart, the prepaid finance charges of the "
     "schedule. Default: 0.",
     "table chart schedule"},
    {"loan-step", "amount", "Loan amount increment between rows. Default: 1000.", "table chart"},
    {"fee-step", "amount", "Fixed fees increment between columns. Default: 1000.", "table chart"},
    {"amount-financed", "amount", "Amount financed: the loan less the fixed fees.", "apr"},
    {"payment", "amount", "Monthly payment.", "apr"},
    {"stream", "COUNTxPAYMENT",
     "COUNT monthly payments of PAYMENT; repeat for the streams that follow one another, "
     "instead of --payment and --payments.",
     "apr"},
    {"disclosed", "percent",
     "A disclosed APR to check: accurate within 1/8 point, 1/4 point for streams of "
     "changing payments (exit status 3 when not).",
     "apr"},
    {"mi", "amount", "Monthly mortgage insurance. Default: 0.", "schedule"},
    {"mi-months", "count", "Number of payments that carry the mortgage insurance. Default: 0.",
     "schedule"},
    {"payments", "count", "Number of monthly payments.", "apr payment"},
    {"loan", "amount", "Loan amount.", "payment"},
    {"format", "text|csv|json", "Output format. Default: text.", "table apr payment schedule"},
    {"output", "file.pdf",
     "The PDF file to write; - for standard output. The schedule writes its printed report "
     "there instead of the text.",
     "chart schedule"},
    {"paper", "letter|a4|a5", "Paper size. Default: letter.", "chart schedule"},
};

const char* const stepList = "100, 250, 500, 1000, 2000, 2500, 3000, 4000, 5000 or 7500";

QString Quoted(const QString& text)
{
    return "'" + text + "'";
}

// A number as the user may write it: with a "." or the regional decimal separator, an
// optional exponent, no thousands separators.
bool ReadNumber(const QString& text, double& value)
{
    if (NumberFormats::TryTextToFloat(text, value, Regional::UnitedStates()))
        return true;
    const TFormatSettings& regional = Regional::Current();
    return regional.DecimalSeparator != '.' && NumberFormats::TryTextToFloat(text, value, regional);
}

bool IsStep(double value)
{
    for (int i = 0; i < 10; ++i)
        if (calc::IncrementOfItem(i) == value)
            return true;
    return false;
}

bool Takes(const ValueOption& option, const QString& command)
{
    return QString::fromLatin1(option.commands).split(' ').contains(command);
}

} // namespace

QString TCommandLine::VersionText()
{
    return QStringLiteral("tallyhorn " TALLYHORN_VERSION);
}

QString TCommandLine::HelpText()
{
    QString text =
        QStringLiteral("Usage: tallyhorn [COMMAND [OPTIONS]]\n"
                       "APR calculator for fixed-rate mortgages. Without a command the calculator\n"
                       "window opens.\n"
                       "\n"
                       "Commands:\n"
                       "  table    Print the APR table around a loan, with its down payment, loan\n"
                       "           amount, payment and APR.\n"
                       "  apr      Print the APR of a loan.\n"
                       "  payment  Print the monthly payment of a loan.\n"
                       "  chart    Write the Chart of Annual Percentage Rates as a one-page PDF.\n"
                       "  schedule Print the payment schedule of a loan with its yearly\n"
                       "           subtotals and disclosure figures, or write the Amortization\n"
                       "           Schedule report as a PDF.\n"
                       "\n"
                       "Options:\n"
                       "  -h, --help                  Display this help and exit.\n"
                       "  -v, --version               Display the version and exit.\n");
    // Two columns: the option, then its commands and description wrapped at 79 characters.
    const int indent = 30;
    for (const ValueOption& option : valueOptions) {
        QString line = QStringLiteral("  --%1 <%2>").arg(option.name, option.valueName);
        line =
            line.size() < indent ? line.leftJustified(indent) : line + '\n' + QString(indent, ' ');
        const QString words = "(" + QString::fromLatin1(option.commands).replace(' ', ", ") + ") " +
                              option.description;
        qsizetype column = indent;
        for (const QString& word : words.split(' ')) {
            if (column > indent && column + 1 + word.size() > 79) {
                line += '\n' + QString(indent, ' ');
                column = indent;
            } else if (column > indent) {
                line += ' ';
                ++column;
            }
            line += word;
            column += word.size();
        }
        text += line + '\n';
    }
    text += QStringLiteral(
        "\n"
        "The steps must be one of 100, 250, 500, 1000, 2000, 2500, 3000, 4000, 5000 or\n"
        "7500.\n"
        "Percentages are used to three decimals, as the window's fields hold them.\n"
        "Amounts lie below 1000000000000 in size and percentages below 100000.\n"
        "Exit status: 0 on success, 1 when the results cannot be determined or the\n"
        "output cannot be written, 2 on bad input, 3 when a --disclosed APR is not\n"
        "accurate.\n");
    return text;
}

QString TCommandLine::CheckTerm(double years)
{
    if (years != std::floor(years) || years < 1 || years > MaxTermYears)
        return QStringLiteral("must be a whole number of years from 1 to %1").arg(MaxTermYears);
    return QString();
}

QString TCommandLine::CheckPayments(double count)
{
    if (count != std::floor(count) || count < 1 || count > MaxPayments)
        return QStringLiteral("must be a whole number from 1 to %1").arg(MaxPayments);
    return QString();
}

QString TCommandLine::CheckPrice(double amount)
{
    if (!(amount > 0 && amount < MaxAmount))
        return QStringLiteral("must be more than 0 and less than %1").arg(MaxAmount, 0, 'f', 0);
    return QString();
}

QString TCommandLine::CheckFees(double amount)
{
    if (!(amount >= 0 && amount < MaxAmount))
        return QStringLiteral("must be from 0 to less than %1").arg(MaxAmount, 0, 'f', 0);
    return QString();
}

QString TCommandLine::CheckAmount(double amount)
{
    if (!(std::fabs(amount) < MaxAmount))
        return QStringLiteral("must be less than %1 in size").arg(MaxAmount, 0, 'f', 0);
    return QString();
}

QString TCommandLine::CheckPercent(double value)
{
    if (!(value >= 0 && value < MaxPercent))
        return QStringLiteral("must be from 0 to less than %1").arg(MaxPercent, 0, 'f', 0);
    return QString();
}

QString TCommandLine::CheckRate(double value)
{
    if (!(std::fabs(value) < MaxPercent))
        return QStringLiteral("must be less than %1 in size").arg(MaxPercent, 0, 'f', 0);
    return QString();
}

double TCommandLine::AsFieldValue(double value, int decimals)
{
    const TFormatSettings us = Regional::UnitedStates();
    const QString mask = decimals == 0 ? QStringLiteral("0") : "0." + QString(decimals, '0');
    double rounded = value;
    NumberFormats::TryTextToFloat(NumberFormats::MaskText(value, mask, us), rounded, us);
    return rounded;
}

bool TCommandLine::Parse(const QStringList& arguments, TCommandRequest& request, QString& error)
{
    request = TCommandRequest();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"}), version(QStringList{"v", "version"});
    parser.addOption(help);
    parser.addOption(version);
    for (const ValueOption& option : valueOptions)
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        request.kind = TCommandKind::Help;
        return true;
    }
    if (parser.isSet(version)) {
        request.kind = TCommandKind::Version;
        return true;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = QStringLiteral(
            "no command given: use table, apr, payment, chart or schedule (see --help)");
        return false;
    }
    const QString command = positional.first();
    if (positional.size() > 1) {
        error = QStringLiteral("unexpected argument %1 after the command %2")
                    .arg(Quoted(positional[1]), command);
        return false;
    }
    if (command == "table")
        request.kind = TCommandKind::Table;
    else if (command == "apr")
        request.kind = TCommandKind::Apr;
    else if (command == "payment")
        request.kind = TCommandKind::Payment;
    else if (command == "chart")
        request.kind = TCommandKind::Chart;
    else if (command == "schedule")
        request.kind = TCommandKind::Schedule;
    else {
        error = QStringLiteral("unknown command %1: use table, apr, payment, chart or schedule")
                    .arg(Quoted(command));
        return false;
    }

    // Every option given must belong to the command; then each value is read and checked.
    for (const ValueOption& option : valueOptions)
        if (parser.isSet(option.name) && !Takes(option, command)) {
            error =
                QStringLiteral("--%1 is not an option of the %2 command").arg(option.name, command);
            return false;
        }

    bool ok = true;
    auto fail = [&](const char* name, const QString& what) {
        if (ok)
            error = QStringLiteral("--%1: %2").arg(name, what);
        ok = false;
    };
    // An empty value is never a choice: not the default paper, not standard output.
    for (const ValueOption& option : valueOptions)
        if (parser.isSet(option.name) && parser.values(option.name).contains(QString()))
            fail(option.name,
                 QStringLiteral("the value is empty; give <%1>").arg(option.valueName));
    // Reads a number option; `check` returns what is wrong with an acceptable-looking number.
    auto number = [&](const char* name, auto check) -> std::optional<double> {
        if (!ok || !parser.isSet(name))
            return std::nullopt;
        const QString text = parser.value(name);
        double value = 0;
        if (!ReadNumber(text, value)) {
            fail(name, Quoted(text) + " is not a number");
            return std::nullopt;
        }
        const QString problem = check(value);
        if (!problem.isEmpty()) {
            fail(name, problem + ", not " + Quoted(text));
            return std::nullopt;
        }
        return value;
    };
    // Percentages are checked as the window's three-decimal field holds them.
    auto percent = [](double v) { return CheckPercent(AsFieldValue(v, 3)); };
    auto step = [](double v) {
        return IsStep(v) ? QString() : QStringLiteral("must be one of %1").arg(stepList);
    };
    auto required = [&](const char* name, std::optional<double> value) {
        if (ok && !value)
            fail(name, QStringLiteral("is required by the %1 command").arg(command));
        return value.value_or(0);
    };

    if (parser.isSet("format")) {
        const QString format = parser.value("format").toLower();
        if (format == "text")
            request.format = TOutputFormat::Text;
        else if (format == "csv")
            request.format = TOutputFormat::Csv;
        else if (format == "json")
            request.format = TOutputFormat::Json;
        else
            fail("format", "must be text, csv or json, not " + Quoted(parser.value("format")));
    }

    switch (request.kind) {
    case TCommandKind::Table:
    case TCommandKind::Chart:
    case TCommandKind::Schedule: {
        request.price = number("price", CheckPrice);
        request.downPercent = number("down", percent);
        request.term = number("term", CheckTerm);
        request.rate = number("rate", percent);
        request.fees = number("fees", CheckFees).value_or(0);
        request.loanStep = number("loan-step", step).value_or(1000);
        request.feeStep = number("fee-step", step).value_or(1000);
        if (request.downPercent)
            request.downPercent = AsFieldValue(*request.downPercent, 3);
        if (request.rate)
            request.rate = AsFieldValue(*request.rate, 3);
        const bool chart = request.kind == TCommandKind::Chart;
        request.output = parser.value("output");
        if (ok && chart && request.output.isEmpty())
            fail("output", "the PDF file to write is required by the chart command");
        const QString paper = parser.value("paper").toLower();
        if (paper == "a4")
            request.paper = TChartPaper::A4;
        else if (paper == "a5")
            request.paper = TChartPaper::A5;
        else if (!paper.isEmpty() && paper != "letter")
            fail("paper", "must be letter, a4 or a5, not " + Quoted(parser.value("paper")));
        if (request.kind == TCommandKind::Schedule) {
            request.mi = number("mi", CheckFees).value_or(0);
            request.miMonths = static_cast<int>(number("mi-months", [](double v) {
                                                    return v == 0 ? QString() : CheckPayments(v);
                                                }).value_or(0));
            if (ok && request.mi > 0 && request.miMonths == 0 && !parser.isSet("mi-months"))
                fail("mi-months", "is required with --mi");
        }
        break;
    }
    case TCommandKind::Apr:
        request.amountFinanced =
            required("amount-financed", number("amount-financed", CheckAmount));
        if (parser.isSet("stream")) {
            if (ok && (parser.isSet("payment") || parser.isSet("payments")))
                fail("stream", "give either --stream or --payment and --payments, not both");
            long long total = 0;
            for (const QString& text : parser.values("stream")) {
                const qsizetype x = text.indexOf('x', 0, Qt::CaseInsensitive);
                double count = 0, payment = 0;
                QString problem;
                if (x < 0 || !ReadNumber(text.left(x).trimmed(), count) ||
                    !ReadNumber(text.mid(x + 1).trimmed(), payment))
                    problem = "must be COUNTxPAYMENT, such as 84x890.87";
                else if (!(problem = CheckPayments(count)).isEmpty())
                    problem = "the count " + problem;
                else if (!(payment >= 0 && payment < MaxAmount))
                    problem = QStringLiteral("the payment must be from 0 to less than %1")
                                  .arg(MaxAmount, 0, 'f', 0);
                else if ((total += static_cast<long long>(count)) > MaxPayments)
                    problem = QStringLiteral("the streams hold more than %1 payments in all")
                                  .arg(MaxPayments);
                if (!problem.isEmpty()) {
                    fail("stream", problem + ", not " + Quoted(text));
                    break;
                }
                request.streams.push_back({static_cast<int>(count), payment});
            }
            if (ok && std::none_of(request.streams.begin(), request.streams.end(),
                                   [](const calc::PaymentStream& s) { return s.payment > 0; }))
                fail("stream", "the streams must hold a payment above 0");
        } else {
            // No rate makes payments of nothing, or less, worth an amount.
            request.payment = required("payment", number("payment", CheckPrice));
            request.payments =
                static_cast<int>(required("payments", number("payments", CheckPayments)));
        }
        request.disclosed = number("disclosed", CheckRate);
        break;
    case TCommandKind::Payment:
        request.loan = required("loan", number("loan", CheckAmount));
        request.rate = required("rate", number("rate", CheckRate));
        request.payments =
            static_cast<int>(required("payments", number("payments", CheckPayments)));
        break;
    default: break;
    }
    return ok;
}
