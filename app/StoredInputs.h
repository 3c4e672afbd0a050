// The loan inputs the window would start with, read from the settings file without writing
// anything: no file, folder or copy is created and no key is written back.
#pragma once

#include <QString>

struct TStoredInputs {
    // The window's designed inputs, used for missing keys and after a value that is not a
    // number (then for all four, as at the window's start).
    double price = 100000;
    double interest = 8.75;
    double term = 30;
    double downPercent = 0;

    // Reads section "LastValues" of the settings file the window would use. `warning`
    // receives one line for the user when the file cannot be read, is damaged or holds a value
    // that is not a number; it is left empty otherwise.
    static TStoredInputs Read(QString* warning);

    // The settings file the window would read, found without side effects: the one in the
    // program folder (its name compared without regard to letter case, "TorvIni.ini" first),
    // or the copy in the user's configuration folder when the program folder cannot be written.
    static QString FilePath();
};
