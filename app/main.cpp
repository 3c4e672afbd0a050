#include "app/CommandRunner.h"
#include "app/MainBlock.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    // With arguments the program runs as a command and opens no window.
    if (TCommandRunner::Wanted(argc, argv))
        return TCommandRunner::Run(argc, argv);
    Application app(argc, argv);
    TMainBlock block = StartProgram(app);
    return app.Run();
}
