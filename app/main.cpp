#include "app/CommandRunner.h"
#include "app/MainBlock.h"
#include "platform/Application.h"

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// While the window's application object is created: when no display can be reached the
// windowing system gives up with a fatal error and aborts; say why in one line and end with
// status 1 instead. Other messages go out as usual.
void WindowStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr,
                     "tallyhorn: cannot open the window: no display can be reached (is DISPLAY "
                     "set?); the commands work without one, see tallyhorn --help\n");
        std::fflush(stderr);
        std::_Exit(TCommandRunner::Failure);
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv)
{
    // With arguments the program runs as a command and opens no window.
    if (TCommandRunner::Wanted(argc, argv))
        return TCommandRunner::Run(argc, argv);
    g_previousHandler = qInstallMessageHandler(WindowStartMessages);
    Application app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    TMainBlock block = StartProgram(app);
    return app.Run();
}
