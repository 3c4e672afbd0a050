#include "app/Main.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    app.SetTitle("Tallyhorn");
    TfrmMain frmMain;
    frmMain.show();
    return app.Run();
}
