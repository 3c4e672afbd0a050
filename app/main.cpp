#include "app/MainBlock.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    TMainBlock block = StartProgram(app);
    return app.Run();
}
