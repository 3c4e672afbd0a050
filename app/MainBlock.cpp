#include "app/MainBlock.h"

#include "platform/Application.h"
#include "platform/FontPreload.h"
#include "platform/WindowIcon.h"

#include <QImage>
#include <QList>
#include <future>

TMainBlock StartProgram(Application& app, const std::function<void(const char* step)>& reached)
{
    const auto step = [&reached](const char* name) {
        if (reached)
            reached(name);
    };
    TMainBlock block;
    FontPreload::Finish(); // the font configuration, read ahead, is there for the splash's text
    // The program's icon is read on a worker thread while the splash window is made and shown
    // (which shows the smallest size only).
    std::future<QList<QImage>> icon = std::async(std::launch::async, [] {
        QList<QImage> images;
        for (int size : ProgramIconSizes)
            images.append(ProgramIconImage(size));
        return images;
    });
    // The program's font is the windows' font, so text measures with one font family.
    QFont font("Arial");
    font.setPixelSize(11);
    QApplication::setFont(font);
    // The splash window is visible while the rest loads; its timer hides it 5 seconds later.
    block.splash = std::make_unique<TSplashScreen>();
    block.splash->Timer1()->start();
    block.splash->show();
    block.splash->repaint();
    Application::ProcessMessages();
    step("splash shown");
    // Every window from here on carries the program's icon (a message box of the main
    // window's start among them).
    SetProgramWindowIcon(ProgramIcon(icon.get()));
    step("icon set");

    app.SetTitle("Tallyhorn");
    // The desktop finds the program's name and icon in its desktop entry, tallyhorn.desktop.
    QGuiApplication::setDesktopFileName("tallyhorn");
    block.frmMain = std::make_unique<TfrmMain>();
    step("main window built");
    block.frmMain->show();
    step("main window show()");
    return block;
}
