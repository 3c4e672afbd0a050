// The program's start: splash window, application title, the main window.
#pragma once

#include "app/Main.h"
#include "app/splash.h"

#include <functional>
#include <memory>

class Application;

struct TMainBlock {
    std::unique_ptr<TSplashScreen> splash;
    std::unique_ptr<TfrmMain> frmMain;
};

// Shows the splash window (its timer running), sets the title and the program's icon, creates
// and shows the main window. The caller then runs the message loop. `reached`, when given, is
// called with the name of each step as it ends (the start-up benchmark times them).
TMainBlock StartProgram(Application& app,
                        const std::function<void(const char* step)>& reached = nullptr);
