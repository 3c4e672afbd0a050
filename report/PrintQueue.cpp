#include "report/PrintQueue.h"

#include <cups/cups.h>
#include <memory>
#include <vector>

namespace {
// Connections to the server named by the environment (CUPS_SERVER) or the client
// configuration; an unreachable server gives none.
struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpClose>;

Http Connect()
{
    return Http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000,
                             nullptr));
}

// The queue's name without the instance: jobs go to the queue, instances only hold options.
QByteArray QueueName(const QString& queue)
{
    return queue.section(QLatin1Char('/'), 0, 0).toUtf8();
}

QString LastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// A sentence starts with the report's name: "the Amortization Schedule" as "The ...".
QString Capitalised(const QString& text)
{
    return text.isEmpty() ? text : text.front().toUpper() + text.mid(1);
}
} // namespace

namespace PrintQueue {

QString DefaultQueue()
{
    Http http = Connect();
    if (!http)
        return {};
    cups_dest_t* dest = cupsGetNamedDest(http.get(), nullptr, nullptr);
    if (!dest)
        return {};
    QString name = QString::fromUtf8(dest->name);
    if (dest->instance)
        name += QLatin1Char('/') + QString::fromUtf8(dest->instance);
    cupsFreeDests(1, dest);
    return name;
}

bool HasQueues()
{
    Http http = Connect();
    if (!http)
        return false;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    cupsFreeDests(count, dests);
    return count > 0;
}

TQueueState Check(const QString& queue)
{
    Http http = Connect();
    if (!http)
        return {TQueueProblem::NoService, LastError()};

    const QByteArray name = QueueName(queue);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-is-accepting-jobs",
                                         "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cupsDoRequest(http.get(), request, "/");
    const ipp_status_t status = cupsLastError();
    TQueueState state;
    if (!response || status > IPP_STATUS_OK_CONFLICTING) {
        state.Detail = LastError();
        state.Problem =
            status == IPP_STATUS_ERROR_NOT_FOUND ? TQueueProblem::NoSuchQueue
            : status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL
                ? TQueueProblem::NoService
                : TQueueProblem::NoSuchQueue;
    } else {
        ipp_attribute_t* message =
            ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
        if (message && ippGetString(message, 0, nullptr))
            state.Detail = QString::fromUtf8(ippGetString(message, 0, nullptr));
        ipp_attribute_t* accepting =
            ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        ipp_attribute_t* printerState = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
        if (accepting && !ippGetBoolean(accepting, 0))
            state.Problem = TQueueProblem::NotAccepting;
        else if (printerState && ippGetInteger(printerState, 0) == IPP_PSTATE_STOPPED)
            state.Problem = TQueueProblem::Stopped;
    }
    ippDelete(response);
    return state;
}

int Submit(const QString& queue, const QString& file, const QString& title,
           const TQueueOptions& options, TQueueState& state)
{
    state = {};
    Http http = Connect();
    if (!http) {
        state = {TQueueProblem::NoService, LastError()};
        return 0;
    }
    std::vector<cups_option_t> cupsOptions;
    cupsOptions.reserve(static_cast<size_t>(options.size()));
    for (const auto& [optionName, value] : options)
        cupsOptions.push_back(
            {const_cast<char*>(optionName.constData()), const_cast<char*>(value.constData())});
    const int job =
        cupsPrintFile2(http.get(), QueueName(queue).constData(), file.toLocal8Bit().constData(),
                       title.toUtf8().constData(), static_cast<int>(cupsOptions.size()),
                       cupsOptions.empty() ? nullptr : cupsOptions.data());
    if (job <= 0) {
        const ipp_status_t status = cupsLastError();
        state.Detail = LastError();
        state.Problem = status == IPP_STATUS_ERROR_NOT_FOUND ? TQueueProblem::NoSuchQueue
                        : status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS
                            ? TQueueProblem::NotAccepting
                            : TQueueProblem::Refused;
        return 0;
    }
    return job;
}

QString Message(const QString& report, const QString& queue, const TQueueState& state)
{
    const QString printer = QStringLiteral("\"%1\"").arg(queue);
    const QString detail =
        state.Detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(state.Detail);
    QString why;
    switch (state.Problem) {
    case TQueueProblem::None: return {};
    case TQueueProblem::NoService:
        why = QStringLiteral("the printing system that serves the printer %1 cannot be "
                             "reached%2.\n\nStart the printing service (CUPS), or choose another "
                             "printer with Print Setup, then print again.")
                  .arg(printer, detail);
        break;
    case TQueueProblem::NoSuchQueue:
        why = QStringLiteral("the printer %1 is no longer installed.\n\nChoose another printer "
                             "with Print Setup, then print again.")
                  .arg(printer);
        break;
    case TQueueProblem::NotAccepting:
        why = QStringLiteral("the printer %1 is not accepting jobs%2.\n\nLet it accept jobs "
                             "again in the system's printer settings, or choose another printer "
                             "with Print Setup, then print again.")
                  .arg(printer, detail);
        break;
    case TQueueProblem::Stopped:
        why = QStringLiteral("the printer %1 is stopped%2.\n\nResume the printer in the "
                             "system's printer settings, or choose another printer with Print "
                             "Setup, then print again.")
                  .arg(printer, detail);
        break;
    case TQueueProblem::Refused:
        why = QStringLiteral("the printer %1 did not take the job%2.\n\nCheck the printer in "
                             "the system's printer settings, or choose another printer with "
                             "Print Setup, then print again.")
                  .arg(printer, detail);
        break;
    }
    return Capitalised(report) + QStringLiteral(" was not printed: ") + why;
}

QString NoPrinterMessage(const QString& report, bool printersInstalled)
{
    if (printersInstalled)
        return Capitalised(report) +
               QStringLiteral(" cannot be printed. No default printer is chosen: choose one "
                              "with Print Setup, or a PDF file, then print again.");
    return Capitalised(report) +
           QStringLiteral(" cannot be printed: no printer is installed.\n\nInstall a printer in "
                          "the system's printer settings, or choose a PDF file with Print Setup, "
                          "then print again.");
}

} // namespace PrintQueue
