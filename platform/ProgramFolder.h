// Where the program's own files live.
#pragma once

#include <QString>

// The folder of the running program file, with a trailing "/".
QString ProgramFolder();

// Overrides the program folder (tests use a temporary one); an empty text restores it.
void SetProgramFolder(const QString& folder);

// The path of a settings file named `fileName`: in the program folder when that folder (and the
// file, if it exists) can be written, otherwise in the user's configuration folder (created when
// needed), where a copy of the program folder's file is made the first time.
QString SettingsFilePath(const QString& fileName);
