// Where the program's own files live.
#pragma once

#include "platform/ProfileFile.h"

#include <QString>

// The folder of the running program file, with a trailing "/".
QString ProgramFolder();

// Overrides the program folder (tests use a temporary one); an empty text restores it.
void SetProgramFolder(const QString& folder);

// The file named `fileName` in `folder`, found regardless of letter case (the names are one
// file to the design): the exact spelling when it exists, else the first match in name order,
// else the exact spelling, which is where the file is created.
QString FileInFolder(const QString& folder, const QString& fileName);

// Where the settings file is read and written. One rule, applied afresh at each start: the file
// beside the program when it can be read and written and is text (or is missing from a folder
// that can be written), else the file of the same name in the user's configuration folder.
// Whenever the file in the other place was written later than the chosen one (the choice
// changed since), its values are taken over first, so values never stay behind in the place
// that is no longer used.
struct SettingsLocation {
    QString path;   // the file to read and write
    QString beside; // the file beside the program (chosen or not)
    // The state of the file beside the program when it was passed over although it exists:
    // Unreadable or NotText mean the user's values there cannot be used. Ok otherwise.
    ProfileFile::Status passedOver = ProfileFile::Status::Ok;
    // The file in the other place, when its values are to be taken over first.
    QString takeOverFrom;
};
SettingsLocation ChooseSettingsFile(const QString& fileName);
// The same decision without acting on it: nothing is created, copied or written.
SettingsLocation LocateSettingsFile(const QString& fileName);
