#include "app/Main.h"
#include "app/splash.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    // The splash window shows while the rest loads; its timer hides it 5 seconds later.
    TSplashScreen splash;
    splash.Timer1()->start();
    splash.show();
    splash.repaint();
    Application::ProcessMessages();

    app.SetTitle("Tallyhorn");
    TfrmMain frmMain;
    frmMain.show();
    return app.Run();
}
