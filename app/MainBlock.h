// The program's start: splash window, application title, the main window.
#pragma once

#include "app/Main.h"
#include "app/splash.h"

#include <memory>

class Application;

struct TMainBlock {
    std::unique_ptr<TSplashScreen> splash;
    std::unique_ptr<TfrmMain> frmMain;
};

// Shows the splash window (its timer running), sets the title, creates and shows the main
// window. The caller then runs the message loop.
TMainBlock StartProgram(Application& app);
