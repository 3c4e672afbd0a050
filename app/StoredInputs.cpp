#include "app/StoredInputs.h"

#include "calc/Errors.h"
#include "controls/NumberFormats.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The settings file in `folder`, its name compared without regard to letter case; the exact
// "TorvIni.ini" wins over other spellings. Empty when there is none.
QString FindIn(const QString& folder)
{
    if (folder.isEmpty())
        return QString();
    const QDir dir(folder);
    const QStringList names = dir.entryList({"TorvIni.ini"}, QDir::Files | QDir::Hidden);
    if (names.isEmpty())
        return QString();
    for (const char* preferred : {"TorvIni.ini", "TorvIni.Ini"})
        if (names.contains(preferred))
            return dir.filePath(preferred);
    return dir.filePath(names.first());
}

// A text for one line of a terminal: control characters (line breaks, NUL) become blanks.
QString OneLine(QString text)
{
    for (QChar& c : text)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = ' ';
    return text.simplified();
}

} // namespace

QString TStoredInputs::FilePath()
{
    const QString folder = ProgramFolder();
    const QString found = FindIn(folder);
    const QString beside = found.isEmpty() ? folder + "TorvIni.ini" : found;
    const QFileInfo file(beside);
    if (QFileInfo(folder).isWritable() && (!file.exists() || file.isWritable()))
        return beside;
    // The window keeps its values in the configuration folder then; until it has made its
    // copy there, the file beside the program holds them.
    const QString moved =
        FindIn(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    return moved.isEmpty() ? beside : moved;
}

TStoredInputs TStoredInputs::Read(QString* warning)
{
    TStoredInputs inputs;
    const ProfileFile ini(FilePath());
    QString problem;
    const ProfileFile::Status status = ini.Check(&problem);
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::Garbled) {
        if (warning)
            *warning = OneLine(problem) + " (using what can be read, and the designed inputs for "
                                          "the rest)";
    }

    // A line break can never be a stored value, so it marks a missing key.
    const QString missing = QStringLiteral("\n");
    const TFormatSettings& settings = Regional::Current();
    const std::pair<const char*, double TStoredInputs::*> keys[] = {
        {"Price", &TStoredInputs::price},
        {"Interest", &TStoredInputs::interest},
        {"Term", &TStoredInputs::term},
        {"DownPercent", &TStoredInputs::downPercent}};
    for (const auto& [key, field] : keys) {
        const QString text = ini.ReadString("LastValues", key, missing);
        if (text == missing)
            continue; // the designed value stays
        try {
            inputs.*field = NumberFormats::TextToFloat(text, settings);
        } catch (const calc::EConvertError&) {
            if (warning)
                *warning = QStringLiteral("the settings file %1 holds %2=%3, which is not a "
                                          "number; the designed inputs are used")
                               .arg(ini.FileName(), key, OneLine(text));
            return TStoredInputs();
        }
    }
    return inputs;
}
