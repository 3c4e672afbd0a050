// Where the program's own files live.
#pragma once

#include "platform/ProfileFile.h"

#include <QString>

// The folder of the running program file, with a trailing "/".
QString ProgramFolder();

// Overrides the program folder (tests use a temporary one); an empty text restores it.
void SetProgramFolder(const QString& folder);

// The file named `fileName` in `folder`, found regardless of letter case (names that differ
// only in case are one file here): the exact spelling when it exists, else the first match in
// name order, else the exact spelling, which is where the file is created.
QString FileInFolder(const QString& folder, const QString& fileName);

// The marker file that an installation writes beside the program (`cmake --install`, the
// distribution package). An installed copy keeps its settings in each user's configuration
// folder, never in its install folder.
inline constexpr const char* installedMarker = "tallyhorn.installed";

// The keys the program keeps in its settings file: the only ones carried over when the file's
// place changes.
const QList<ProfileFile::Name>& SettingsFileKeys();

// Where the settings file is read and written. One rule, applied afresh at each start:
// - an installed copy (installedMarker beside the program) uses the file in the user's
//   configuration folder;
// - otherwise the file beside the program when it can be read and written and is text (or is
//   missing from a folder that can be written), provided no other user can change it: the
//   program folder (and the folder of the file a link leads to) can be written by no other
//   user, the file belongs to the user (or root), and a link is followed only when it and
//   every link after it and the file it leads to belong to the user;
// - else the file of the same name in the user's configuration folder.
// Whenever the file in the other place was written later than the chosen one (the choice
// changed since), the program's own keys (SettingsFileKeys) are taken over from it first, so
// values never stay behind in the place that is no longer used. A file beside the program that
// others could have changed is never read, written or taken over from.
struct SettingsLocation {
    QString path;   // the file to read and write
    QString beside; // the file beside the program (chosen or not)
    // The state of the file beside the program when it was passed over although it exists:
    // Unreadable or NotText mean the user's values there cannot be used. Ok otherwise.
    ProfileFile::Status passedOver = ProfileFile::Status::Ok;
    // The file in the other place, when its values are to be taken over first.
    QString takeOverFrom;
    // Why a file beside the program was left alone because someone else could have made or
    // changed it (passedOver is then Ok).
    enum class Distrust {
        None,
        Link,         // a link that is not the user's, or leads to no file of the user's
        NotOwned,     // a file that belongs to another user
        SharedFolder, // its folder can be written by another user
    };
    Distrust distrust = Distrust::None;
    bool installed = false; // an installed copy: the file beside the program is not used
};
SettingsLocation ChooseSettingsFile(const QString& fileName);
// Why a file beside the program was left alone, to complete "The settings file ... beside the
// program" (empty for Distrust::None).
QString DistrustText(SettingsLocation::Distrust distrust);
// The same decision without acting on it: nothing is created, copied or written.
SettingsLocation LocateSettingsFile(const QString& fileName);
