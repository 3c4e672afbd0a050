#include "report/PrintQueue.h"

#include <QLibrary>
#include <cups/cups.h>
#include <memory>
#include <vector>

namespace {
// libcups is loaded when the printing system is first asked, not linked: with the libraries it
// brings (TLS, Kerberos, service discovery, each with its own start-up work) it would make every
// start of the window several milliseconds slower, for a print that may never come.
#define TALLYHORN_CUPS_FUNCTIONS(X)                                                                \
    X(cupsDoRequest)                                                                               \
    X(cupsEncryption)                                                                              \
    X(cupsFreeDests)                                                                               \
    X(cupsGetDests2)                                                                               \
    X(cupsGetNamedDest)                                                                            \
    X(cupsLastError)                                                                               \
    X(cupsLastErrorString)                                                                         \
    X(cupsPrintFile2)                                                                              \
    X(cupsServer)                                                                                  \
    X(httpAssembleURIf)                                                                            \
    X(httpClose)                                                                                   \
    X(httpConnect2)                                                                                \
    X(ippAddString)                                                                                \
    X(ippAddStrings)                                                                               \
    X(ippDelete)                                                                                   \
    X(ippFindAttribute)                                                                            \
    X(ippGetBoolean)                                                                               \
    X(ippGetInteger)                                                                               \
    X(ippGetString)                                                                                \
    X(ippNewRequest)                                                                               \
    X(ippPort)

struct TCups {
#define TALLYHORN_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    TALLYHORN_CUPS_FUNCTIONS(TALLYHORN_CUPS_POINTER)
#undef TALLYHORN_CUPS_POINTER
    bool Loaded = false;
    QString Problem; // why it is not loaded
};

// The library's functions, resolved once; none when the library or one of them is missing.
const TCups& Cups()
{
    static const TCups cups = [] {
        TCups api;
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load()) {
            api.Problem = library.errorString();
            return api;
        }
        bool all = true;
#define TALLYHORN_CUPS_RESOLVE(name)                                                               \
    api.name = reinterpret_cast<decltype(api.name)>(library.resolve(#name));                       \
    all = all && api.name;
        TALLYHORN_CUPS_FUNCTIONS(TALLYHORN_CUPS_RESOLVE)
#undef TALLYHORN_CUPS_RESOLVE
        if (!all) {
            api = TCups();
            api.Problem =
                QStringLiteral("%1 lacks a function the program needs").arg(library.fileName());
            return api;
        }
        api.Loaded = true;
        return api; // the library stays loaded: QLibrary unloads only when asked to
    }();
    return cups;
}
#undef TALLYHORN_CUPS_FUNCTIONS

// Connections to the server named by the environment (CUPS_SERVER) or the client
// configuration; an unreachable server, or no libcups, gives none.
struct HttpClose {
    void operator()(http_t* http) const { Cups().httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpClose>;

Http Connect()
{
    const TCups& cups = Cups();
    if (!cups.Loaded)
        return nullptr;
    return Http(cups.httpConnect2(cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC,
                                  cups.cupsEncryption(), 1, 5000, nullptr));
}

// The queue's name without the instance: jobs go to the queue, instances only hold options.
QByteArray QueueName(const QString& queue)
{
    return queue.section(QLatin1Char('/'), 0, 0).toUtf8();
}

QString LastError()
{
    const TCups& cups = Cups();
    return cups.Loaded ? QString::fromUtf8(cups.cupsLastErrorString()) : cups.Problem;
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
    const TCups& cups = Cups();
    Http http = Connect();
    if (!http)
        return {};
    cups_dest_t* dest = cups.cupsGetNamedDest(http.get(), nullptr, nullptr);
    if (!dest)
        return {};
    QString name = QString::fromUtf8(dest->name);
    if (dest->instance)
        name += QLatin1Char('/') + QString::fromUtf8(dest->instance);
    cups.cupsFreeDests(1, dest);
    return name;
}

bool HasQueues()
{
    const TCups& cups = Cups();
    Http http = Connect();
    if (!http)
        return false;
    cups_dest_t* dests = nullptr;
    const int count = cups.cupsGetDests2(http.get(), &dests);
    cups.cupsFreeDests(count, dests);
    return count > 0;
}

TQueueState Check(const QString& queue)
{
    const TCups& cups = Cups();
    Http http = Connect();
    if (!http)
        return {TQueueProblem::NoService, LastError()};

    const QByteArray name = QueueName(queue);
    char uri[HTTP_MAX_URI];
    cups.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                          "/printers/%s", name.constData());
    ipp_t* request = cups.ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-is-accepting-jobs",
                                         "printer-state-message"};
    cups.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                       static_cast<int>(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cups.cupsDoRequest(http.get(), request, "/");
    const ipp_status_t status = cups.cupsLastError();
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
            cups.ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
        if (message && cups.ippGetString(message, 0, nullptr))
            state.Detail = QString::fromUtf8(cups.ippGetString(message, 0, nullptr));
        ipp_attribute_t* accepting =
            cups.ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        ipp_attribute_t* printerState =
            cups.ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
        if (accepting && !cups.ippGetBoolean(accepting, 0))
            state.Problem = TQueueProblem::NotAccepting;
        else if (printerState && cups.ippGetInteger(printerState, 0) == IPP_PSTATE_STOPPED)
            state.Problem = TQueueProblem::Stopped;
    }
    cups.ippDelete(response);
    return state;
}

int Submit(const QString& queue, const QString& file, const QString& title,
           const TQueueOptions& options, TQueueState& state)
{
    state = {};
    const TCups& cups = Cups();
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
    const int job = cups.cupsPrintFile2(http.get(), QueueName(queue).constData(),
                                        file.toLocal8Bit().constData(), title.toUtf8().constData(),
                                        static_cast<int>(cupsOptions.size()),
                                        cupsOptions.empty() ? nullptr : cupsOptions.data());
    if (job <= 0) {
        const ipp_status_t status = cups.cupsLastError();
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
