// The program's icon, drawn at every size the desktop asks for and compiled in, so that every
// window and the task switcher show it whether or not the desktop entry is installed.
#pragma once

#include <QIcon>

// The icon at 16, 24, 32, 48, 64, 128 and 256 pixels.
QIcon ProgramIcon();

// Makes the program's icon the icon of every window of the application.
void SetProgramWindowIcon();
