#include "app/MainBlock.h"
#include "cli/CommandRunner.h"
#include "platform/Application.h"
#include "platform/FontPreload.h"
#include "platform/PlatformStart.h"

#include <memory>

int main(int argc, char** argv)
{
    // With arguments the program runs as a command and opens no window.
    if (TCommandRunner::Wanted(argc, argv))
        return TCommandRunner::Run(argc, argv);
    FontPreload::Start(); // while the display connection is made
    std::unique_ptr<Application> app;
    {
        const TPlatformStart start(QStringLiteral(
            "tallyhorn: cannot open the window: no display can be reached (is DISPLAY set?); "
            "the commands work without one, see tallyhorn --help"));
        app = std::make_unique<Application>(argc, argv);
    }
    TMainBlock block = StartProgram(*app);
    return app->Run();
}
