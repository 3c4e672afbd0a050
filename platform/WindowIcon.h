// The program's icon, drawn at every size the desktop asks for and compiled in, so that every
// window and the task switcher show it whether or not the desktop entry is installed.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

// The sizes the icon is drawn at, in pixels.
inline constexpr int ProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon's picture at one of those sizes (a null image at any other). Reading them all takes
// milliseconds; any thread may read them, so the start reads them on a worker thread.
QImage ProgramIconImage(int size);

// The icon at every size, made of `images` (one for each of ProgramIconSizes, in that order)
// when they are given, else of the pictures read now.
QIcon ProgramIcon(const QList<QImage>& images = {});

// Makes `icon` the icon of every window of the application that has none of its own.
void SetProgramWindowIcon(const QIcon& icon = ProgramIcon());
