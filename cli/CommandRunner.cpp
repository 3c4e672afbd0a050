#include "cli/CommandRunner.h"

#include "calc/AprTable.h"
#include "calc/Disclosure.h"
#include "calc/Errors.h"
#include "calc/LoanMath.h"
#include "cli/AprTableOutput.h"
#include "cli/ChartCommand.h"
#include "cli/CommandLine.h"
#include "cli/CommandOutput.h"
#include "cli/CompareCommand.h"
#include "cli/ScheduleCommand.h"
#include "loan/LoanSummary.h"
#include "loan/StoredInputs.h"
#include "loan/TableTexts.h"
#include "platform/Application.h"
#include "platform/PlatformStart.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <clocale>
#include <csignal>
#include <memory>
#include <optional>

namespace {

const char* const prefix = "tallyhorn: ";

} // namespace

std::optional<calc::LoanInputs> TCommandRunner::ResolveInputs(const TCommandRequest& request,
                                                              QTextStream& err, QString& error)
{
    calc::LoanInputs inputs;
    inputs.fees = request.fees;
    inputs.loanStep = request.loanStep;
    inputs.feeStep = request.feeStep;
    TStoredInputs stored;
    if (!request.HasAllLoanInputs()) {
        QString warning;
        stored = TStoredInputs::Read(&warning);
        if (!warning.isEmpty())
            err << prefix << "warning: " << warning << Qt::endl;
        // The window's fields hold these with their own decimals.
        stored.downPercent = TCommandLine::AsFieldValue(stored.downPercent, 3);
        stored.term = TCommandLine::AsFieldValue(stored.term, 0);
        stored.interest = TCommandLine::AsFieldValue(stored.interest, 3);
    }
    struct Stored {
        const char* key;
        const char* option;
        double value;
        QString problem;
    };
    const Stored checks[] = {
        {"Price", "price", stored.price, TCommandLine::CheckPrice(stored.price)},
        {"DownPercent", "down", stored.downPercent, TCommandLine::CheckPercent(stored.downPercent)},
        {"Term", "term", stored.term, TCommandLine::CheckTerm(stored.term)},
        {"Interest", "rate", stored.interest, TCommandLine::CheckPercent(stored.interest)}};
    const std::optional<double> given[] = {request.price, request.downPercent, request.term,
                                           request.rate};
    for (int i = 0; i < 4; ++i)
        if (!given[i] && !checks[i].problem.isEmpty()) {
            error = QStringLiteral("%1=%2 in the settings file %3: %4; give --%5")
                        .arg(checks[i].key, TableTexts::PlainNumber(checks[i].value),
                             TStoredInputs::FilePath(), checks[i].problem, checks[i].option);
            return std::nullopt;
        }
    inputs.price = request.price.value_or(stored.price);
    inputs.downPercent = request.downPercent.value_or(stored.downPercent);
    inputs.term = request.term.value_or(stored.term);
    inputs.rate = request.rate.value_or(stored.interest);
    return inputs;
}

namespace {

// What the schedule's figures refuse in the options of the schedule command, found before they
// are computed so that the message names the option: a loan under a cent, fees of the whole
// loan, more insurance months than payments, and insurance that lifts the
// monthly payment out of range. Empty when the options are acceptable.
QString ScheduleOptionProblem(const calc::LoanModel& model, double mi, int miMonths)
{
    const calc::UserLoan& user = model.User();
    // The loan and the fees are in whole cents: fees below the loan leave at least a cent.
    if (!(user.loan >= 0.01))
        return QStringLiteral("--price: the loan amount (the price less the down payment, in "
                              "cents) must be at least 0.01, not %1")
            .arg(TableTexts::PlainNumber(user.loan));
    if (!(user.fees < user.loan))
        return QStringLiteral("--fees: the prepaid finance charges (%1, to the cent) must be "
                              "less than the loan amount, %2")
            .arg(TableTexts::PlainNumber(user.fees), TableTexts::PlainNumber(user.loan));
    if (miMonths > user.n)
        return QStringLiteral("--mi-months: must be from 0 to the number of payments, %1, not %2")
            .arg(user.n)
            .arg(miMonths);
    if (miMonths > 0 && calc::ToCents(mi) > 0 && !(user.payment + mi < calc::MaxDisclosureAmount))
        return QStringLiteral("--mi: the monthly payment with the insurance, %1 + %2, must be "
                              "less than %3")
            .arg(QString::number(user.payment, 'f', 2), TableTexts::PlainNumber(mi),
                 TableTexts::PlainNumber(calc::MaxDisclosureAmount));
    return QString();
}

// The months of the extra payments against the schedule's payments, so that the message names
// the option. Empty when they are acceptable.
QString ExtraPaymentsProblem(const calc::ExtraPayments& extra, int payments)
{
    if (extra.monthly > 0 && extra.fromMonth > payments)
        return QStringLiteral("--extra-from: must be from 1 to the number of payments, %1, not %2")
            .arg(payments)
            .arg(extra.fromMonth);
    for (const calc::LumpSum& lump : extra.lumps)
        if (lump.month > payments)
            return QStringLiteral("--lump: the month must be from 1 to the number of payments, "
                                  "%1, not %2")
                .arg(payments)
                .arg(lump.month);
    return QString();
}

QByteArray Single(TOutputFormat format, const char* name, double value, const QString& text)
{
    switch (format) {
    case TOutputFormat::Csv: return (TableTexts::PlainNumber(value) + "\r\n").toUtf8();
    case TOutputFormat::Json: return QJsonDocument(QJsonObject{{name, value}}).toJson();
    default: return (text + '\n').toUtf8();
    }
}

// The computed APR beside a disclosed one, with the verdict of the tolerance check.
QByteArray ToleranceOutput(TOutputFormat format, double apr, const QString& aprText,
                           double disclosed, const calc::AprToleranceCheck& check)
{
    switch (format) {
    case TOutputFormat::Csv:
        return QStringLiteral("apr,%1\r\ndisclosed,%2\r\ndifference,%3\r\ntolerance,%4\r\n"
                              "accurate,%5\r\n")
            .arg(TableTexts::PlainNumber(apr), TableTexts::PlainNumber(disclosed),
                 TableTexts::PlainNumber(check.difference),
                 TableTexts::PlainNumber(check.tolerance), check.accurate ? "1" : "0")
            .toUtf8();
    case TOutputFormat::Json:
        return QJsonDocument(QJsonObject{{"apr", apr},
                                         {"disclosed", disclosed},
                                         {"difference", check.difference},
                                         {"tolerance", check.tolerance},
                                         {"accurate", check.accurate}})
            .toJson();
    default:
        return QStringLiteral("%1\ndisclosed %2%: %3 (%4 percentage points from the computed "
                              "APR, tolerance %5)\n")
            .arg(aprText, TableTexts::Fixed(disclosed, 3),
                 check.accurate ? "accurate" : "not accurate",
                 (check.difference > 0 ? "+" : "") + TableTexts::Fixed(check.difference, 3),
                 TableTexts::Fixed(check.tolerance, 3))
            .toUtf8();
    }
}

// The chart opens no window, so it needs no display: it is drawn on the offscreen platform,
// which works with no display and with one that cannot be reached, unless the user has chosen
// a platform.
void ChooseOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A command's standard error carries only its own lines: the platform's notes and warnings
// (a missing runtime folder, a printer that cannot start) are dropped; its fatal errors stay.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << Qt::endl;
}

} // namespace

bool TCommandRunner::Wanted(int argc, const char* const* argv)
{
    // The windowing system's options, with one or two leading dashes.
    static const QStringList withValue{"platform",
                                       "platformpluginpath",
                                       "platformtheme",
                                       "plugin",
                                       "qwindowgeometry",
                                       "geometry",
                                       "qwindowicon",
                                       "icon",
                                       "qwindowtitle",
                                       "title",
                                       "display",
                                       "style",
                                       "stylesheet",
                                       "session",
                                       "name"};
    static const QStringList switches{"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (int i = 1; i < argc; ++i) {
        QString arg = QString::fromLocal8Bit(argv[i]);
        if (!arg.startsWith('-'))
            return true;
        arg.remove(0, arg.startsWith("--") ? 2 : 1);
        if (withValue.contains(arg) && i + 1 < argc)
            ++i;
        else if (!switches.contains(arg))
            return true;
    }
    return false;
}

TCommandRunner::TProcessSettings::TProcessSettings()
    : m_handler(qInstallMessageHandler(QuietQtMessages)),
      m_fileSizeSignal(std::signal(SIGXFSZ, SIG_IGN))
{
    if (const char* locale = std::setlocale(LC_ALL, nullptr))
        m_locale = locale;
    std::setlocale(LC_ALL, "");
}

TCommandRunner::TProcessSettings::~TProcessSettings()
{
    if (!m_locale.empty())
        std::setlocale(LC_ALL, m_locale.c_str());
    if (m_fileSizeSignal != SIG_ERR)
        std::signal(SIGXFSZ, m_fileSizeSignal);
    qInstallMessageHandler(m_handler);
}

int TCommandRunner::Run(int argc, char** argv)
{
    const TProcessSettings settings;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    TCommandRequest request;
    QString error;
    const bool parsed = TCommandLine::Parse(arguments, request, error);

    std::unique_ptr<QCoreApplication> app;
    const bool drawn =
        request.kind == TCommandKind::Chart ||
        ((request.kind == TCommandKind::Schedule || request.kind == TCommandKind::Compare) &&
         !request.output.isEmpty());
    if (parsed && drawn) {
        ChooseOffscreenPlatform();
        const TPlatformStart start(
            QStringLiteral("%1cannot draw the %3: the windowing platform '%2' cannot start (no "
                           "display can be reached?); without QT_QPA_PLATFORM the %3 needs "
                           "no display")
                .arg(prefix, qEnvironmentVariable("QT_QPA_PLATFORM"),
                     request.kind == TCommandKind::Chart ? "chart" : "report"));
        auto gui = std::make_unique<Application>(argc, argv);
        gui->SetTitle("Tallyhorn");
        app = std::move(gui);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream err(stderr);
    if (!parsed) {
        err << prefix << error << Qt::endl;
        return BadInput;
    }
    QByteArray out;
    const int status = Execute(request, out, err);
    if (!TCommandOutput::WriteStandardOutput(out, error)) {
        err << prefix << "cannot write to standard output: " << error << Qt::endl;
        return Failure;
    }
    return status;
}

int TCommandRunner::WritePdf(const TCommandRequest& request, const QByteArray& pdf, QByteArray& out,
                             QTextStream& err)
{
    if (request.output == "-") {
        out = pdf;
        return Success;
    }
    QString error;
    if (!TCommandOutput::WriteFile(request.output, pdf, error)) {
        err << prefix
            << QStringLiteral("--output: cannot write the PDF file '%1': %2")
                   .arg(request.output, error)
            << Qt::endl;
        return Failure;
    }
    return Success;
}

int TCommandRunner::Execute(const TCommandRequest& request, QByteArray& out, QTextStream& err)
{
    try {
        switch (request.kind) {
        case TCommandKind::Help: out = TCommandLine::HelpText().toUtf8(); return Success;
        case TCommandKind::Version:
            out = (TCommandLine::VersionText() + '\n').toUtf8();
            return Success;
        case TCommandKind::Apr: {
            // The exact rate for every count, one payment included.
            const bool streams = !request.streams.empty();
            const double apr =
                streams
                    ? calc::CalcStreamAPR(request.amountFinanced, request.streams)
                    : calc::CalcExactAPR(request.payments, request.amountFinanced, request.payment);
            const QString text =
                QString::fromStdString(TableTexts::CellFormats().rate(apr)).trimmed();
            if (!request.disclosed) {
                out = Single(request.format, "apr", apr, text);
                return Success;
            }
            const calc::AprToleranceCheck check = calc::CheckAprTolerance(
                *request.disclosed, apr, streams && calc::IsIrregular(request.streams));
            out = ToleranceOutput(request.format, apr, text, *request.disclosed, check);
            return check.accurate ? Success : NotAccurate;
        }
        case TCommandKind::Payment: {
            const double payment =
                calc::CalcPayment(request.payments, request.loan, request.rate.value_or(0) / 1200);
            out = Single(request.format, "payment", payment, TableTexts::Money(payment));
            return Success;
        }
        case TCommandKind::Table:
        case TCommandKind::Chart:
        case TCommandKind::Schedule:
        case TCommandKind::Compare: {
            QString error;
            QByteArray pdf;
            bool made = false;
            if (request.kind == TCommandKind::Compare) {
                const auto offers = TCompareCommand::Offers(request, err, error);
                if (!offers) {
                    err << prefix << error << Qt::endl;
                    return BadInput;
                }
                const TOfferComparison comparison(*offers);
                if (request.output.isEmpty()) {
                    out = comparison.Format(request.format).toUtf8();
                    return Success;
                }
                if (!TCompareCommand::Make(comparison, request.paper, pdf, error)) {
                    err << prefix << "--output: " << error << Qt::endl;
                    return Failure;
                }
                return WritePdf(request, pdf, out, err);
            }
            const std::optional<calc::LoanInputs> inputs = ResolveInputs(request, err, error);
            if (!inputs) {
                err << prefix << error << Qt::endl;
                return BadInput;
            }
            if (request.kind == TCommandKind::Table) {
                out = TAprTableOutput(*inputs).Format(request.format).toUtf8();
                return Success;
            }
            if (request.kind == TCommandKind::Schedule) {
                const calc::LoanModel model(*inputs);
                error = ScheduleOptionProblem(model, request.mi, request.miMonths);
                if (!error.isEmpty()) {
                    err << prefix << error << Qt::endl;
                    return BadInput;
                }
                TLoanSummary summary(model, request.mi, request.miMonths);
                error = ExtraPaymentsProblem(request.extra, int(summary.Figures().rows.size()));
                if (!error.isEmpty()) {
                    err << prefix << error << Qt::endl;
                    return BadInput;
                }
                summary.SetExtraPayments(request.extra);
                if (request.output.isEmpty()) {
                    out = summary.Format(request.format).toUtf8();
                    return Success;
                }
                made = TScheduleCommand::Make(summary, request.paper, pdf, error);
            } else {
                made = TChartCommand::Make(*inputs, request.paper, pdf, error);
            }
            if (!made) {
                err << prefix << "--output: " << error << Qt::endl;
                return Failure;
            }
            return WritePdf(request, pdf, out, err);
        }
        }
    } catch (const calc::ERangeError& e) {
        err << prefix << e.what() << Qt::endl;
        return BadInput;
    } catch (const calc::EMathError& e) {
        err << prefix << e.what()
            << ": the results of this calculation cannot be determined using the values you "
               "have entered"
            << Qt::endl;
        return Failure;
    }
    return Failure;
}
