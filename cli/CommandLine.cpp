#include "cli/CommandLine.h"

#include "Version.h"
#include "calc/AprTable.h"
#include "controls/NumberFormats.h"
#include "platform/Regional.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct ValueOption {
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* description;
    const char* commands; // the commands that take it, blank-separated
};

const ValueOption valueOptions[] = {
    {"price", "amount", "Purchase price. Default: the settings file.",
     "table chart schedule compare"},
    {"down", "percent", "Down payment, percent of the price. Default: the settings file.",
     "table chart schedule compare"},
    {"term", "years", "Term in whole years. Default: the settings file.",
     "table chart schedule compare"},
    {"rate", "percent",
     "Note interest rate, percent a year. Default (table, chart, schedule, compare): the "
     "settings file.",
     "table chart payment schedule compare"},
    {"fees", "amount",
     "Total fixed fees, Other Fees on the chart, the prepaid finance charges of the "
     "schedule and of each offer. Default: 0.",
     "table chart schedule compare"},
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
    {"mi", "amount", "Monthly mortgage insurance. Default: 0.", "schedule compare"},
    {"mi-months", "count", "Number of payments that carry the mortgage insurance. Default: 0.",
     "schedule compare"},
    {"extra", "amount", "Extra principal paid each month from --extra-from on.", "schedule"},
    {"extra-from", "month", "The first payment that carries --extra. Default: 1.", "schedule"},
    {"lump", "MONTH:AMOUNT",
     "A one-time extra principal payment with payment MONTH; repeat for more.", "schedule"},
    {"offer", "KEY=VALUE,...",
     "One offer, 2 to 4 in all; keys loan, term, rate, points, fees, costs, mi and "
     "mi-months. An offer's loan replaces --price and --down; the keys left out come from "
     "the other options, then from the settings file.",
     "compare"},
    {"payments", "count", "Number of monthly payments.", "apr payment"},
    {"loan", "amount", "Loan amount.", "payment"},
    {"format", "text|csv|json", "Output format. Default: text.",
     "table apr payment schedule compare"},
    {"output", "file.pdf",
     "The PDF file to write; - for standard output. The schedule and the comparison write "
     "their printed report there instead of the text.",
     "chart schedule compare"},
    {"paper", "letter|a4|a5", "Paper size. Default: letter.", "chart schedule compare"},
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
                       "           Schedule report as a PDF; with --extra or --lump, the\n"
                       "           schedule as paid with extra principal payments.\n"
                       "  compare  Print 2 to 4 loan offers side by side (payment, APR, TIP,\n"
                       "           In 5 Years, break-even), or write the Offer Comparison\n"
                       "           report as a PDF.\n"
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
        "accurate.\n"
        "\n"
        "Example: a $300,000 loan over 30 years with $2,400 of fees, at 6.875% with no\n"
        "points or at 6.5% with 1.5 points ($4,500):\n"
        "  tallyhorn compare --price 300000 --down 0 --term 30 --fees 2400 \\\n"
        "      --offer rate=6.875 --offer rate=6.5,points=1.5\n"
        "pays $1,970.79 or $1,896.20 a month, at an APR of 6.954% or 6.725%; In 5\n"
        "Years $120,647.40 or $120,672.00 is paid and $17,986.04 or $19,166.74 of\n"
        "principal paid off; the points pay off from month 48 (4 years). Paying the\n"
        "first $200 extra a month from payment 13, and $10,000 and $5,000 with\n"
        "payments 60 and 120:\n"
        "  tallyhorn schedule --price 300000 --down 0 --term 30 --rate 6.875 \\\n"
        "      --fees 2400 --extra 200 --extra-from 13 --lump 60:10000 --lump 120:5000\n"
        "pays it off with payment 260 of 360, saving 100 payments and $134,294.92 of\n"
        "interest.\n");
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

namespace {

// A whole count from `text` that `check` accepts: empty problem and the count, or the problem.
QString ReadCount(const QString& text, const std::function<QString(double)>& check, int& count)
{
    double value = 0;
    if (!ReadNumber(text, value))
        return Quoted(text) + " is not a number";
    const QString problem = check(value);
    if (!problem.isEmpty())
        return problem + ", not " + Quoted(text);
    count = static_cast<int>(value);
    return QString();
}

// The schedule's extra principal payments: --extra from --extra-from on, and each --lump.
void ReadExtraPayments(const QCommandLineParser& parser, TCommandRequest& request, QString& error,
                       bool& ok)
{
    auto fail = [&](const char* name, const QString& what) {
        error = QStringLiteral("--%1: %2").arg(name, what);
        ok = false;
    };
    calc::ExtraPayments& extra = request.extra;
    if (parser.isSet("extra")) {
        const QString text = parser.value("extra");
        if (!ReadNumber(text, extra.monthly))
            return fail("extra", Quoted(text) + " is not a number");
        if (const QString problem = TCommandLine::CheckFees(extra.monthly); !problem.isEmpty())
            return fail("extra", problem + ", not " + Quoted(text));
    }
    if (parser.isSet("extra-from")) {
        if (!parser.isSet("extra"))
            return fail("extra-from", "is used only with --extra");
        const QString problem =
            ReadCount(parser.value("extra-from"), TCommandLine::CheckPayments, extra.fromMonth);
        if (!problem.isEmpty())
            return fail("extra-from", problem);
    }
    for (const QString& text : parser.values("lump")) {
        const qsizetype colon = text.indexOf(':');
        calc::LumpSum lump;
        double month = 0;
        if (colon < 0 || !ReadNumber(text.left(colon).trimmed(), month) ||
            !ReadNumber(text.mid(colon + 1).trimmed(), lump.amount))
            return fail("lump", "must be MONTH:AMOUNT, such as 60:10000, not " + Quoted(text));
        if (const QString problem = TCommandLine::CheckPayments(month); !problem.isEmpty())
            return fail("lump", "the month " + problem + ", not " + Quoted(text));
        if (const QString problem = TCommandLine::CheckPrice(lump.amount); !problem.isEmpty())
            return fail("lump", "the amount " + problem + ", not " + Quoted(text));
        lump.month = static_cast<int>(month);
        extra.lumps.push_back(lump);
    }
}

// The compare command's offers: "KEY=VALUE,..." each, every key once, each value checked as
// the option of the same name is. Errors name the offer and the key ("offer 2: rate: ...").
void ReadOffers(const QStringList& texts, TCommandRequest& request, QString& error, bool& ok)
{
    if (texts.size() < calc::MinOffers || texts.size() > calc::MaxOffers) {
        error = QStringLiteral("--offer: give %1 to %2 offers, not %3")
                    .arg(calc::MinOffers)
                    .arg(calc::MaxOffers)
                    .arg(texts.size());
        ok = false;
        return;
    }
    const auto percent = [](double v) {
        return TCommandLine::CheckPercent(TCommandLine::AsFieldValue(v, 3));
    };
    const auto months = [](double v) {
        return v == 0 ? QString() : TCommandLine::CheckPayments(v);
    };
    for (qsizetype n = 0; n < texts.size() && ok; ++n) {
        const QString name = QStringLiteral("offer %1").arg(n + 1);
        auto fail = [&](const QString& what) {
            error = name + ": " + what;
            ok = false;
        };
        TOfferOption offer;
        for (const QString& item : texts[n].split(',')) {
            const qsizetype equals = item.indexOf('=');
            const QString key = item.left(equals).trimmed().toLower();
            const QString text = item.mid(equals + 1).trimmed();
            if (equals < 0 || key.isEmpty() || text.isEmpty())
                return fail("must be KEY=VALUE items separated by commas, such as "
                            "rate=6.5,fees=3000, not " +
                            Quoted(item));
            struct Key {
                const char* name;
                std::optional<double>* value;
                std::function<QString(double)> check;
            };
            std::optional<double> miMonths;
            const Key keys[] = {{"loan", &offer.loan, TCommandLine::CheckPrice},
                                {"term", &offer.term, TCommandLine::CheckTerm},
                                {"rate", &offer.rate, percent},
                                {"points", &offer.points, percent},
                                {"fees", &offer.fees, TCommandLine::CheckFees},
                                {"costs", &offer.costs, TCommandLine::CheckFees},
                                {"mi", &offer.mi, TCommandLine::CheckFees},
                                {"mi-months", &miMonths, months}};
            const Key* found = nullptr;
            for (const Key& k : keys)
                if (key == QLatin1String(k.name))
                    found = &k;
            if (!found)
                return fail(Quoted(key) + " is not a key: use loan, term, rate, points, fees, "
                                          "costs, mi or mi-months");
            const bool given =
                key == "mi-months" ? offer.miMonths.has_value() : found->value->has_value();
            if (given)
                return fail(key + ": given twice");
            double value = 0;
            if (!ReadNumber(text, value))
                return fail(key + ": " + Quoted(text) + " is not a number");
            if (const QString problem = found->check(value); !problem.isEmpty())
                return fail(key + ": " + problem + ", not " + Quoted(text));
            // Rates and points as the window's three-decimal fields hold them.
            if (key == "rate" || key == "points")
                value = TCommandLine::AsFieldValue(value, 3);
            if (key == "mi-months")
                offer.miMonths = static_cast<int>(value);
            else
                *found->value = value;
        }
        if (offer.mi.value_or(0) > 0 && !offer.miMonths && request.miMonths == 0)
            return fail("mi-months: is required with mi (or give --mi-months)");
        request.offers.push_back(offer);
    }
}

} // namespace

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
            "no command given: use table, apr, payment, chart, schedule or compare (see --help)");
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
    else if (command == "compare")
        request.kind = TCommandKind::Compare;
    else {
        error = QStringLiteral(
                    "unknown command %1: use table, apr, payment, chart, schedule or compare")
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
    case TCommandKind::Schedule:
    case TCommandKind::Compare: {
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
        if (request.kind == TCommandKind::Schedule || request.kind == TCommandKind::Compare) {
            request.mi = number("mi", CheckFees).value_or(0);
            request.miMonths = static_cast<int>(number("mi-months", [](double v) {
                                                    return v == 0 ? QString() : CheckPayments(v);
                                                }).value_or(0));
            if (ok && request.mi > 0 && request.miMonths == 0 && !parser.isSet("mi-months"))
                fail("mi-months", "is required with --mi");
        }
        if (ok && request.kind == TCommandKind::Schedule)
            ReadExtraPayments(parser, request, error, ok);
        if (ok && request.kind == TCommandKind::Compare)
            ReadOffers(parser.values("offer"), request, error, ok);
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
