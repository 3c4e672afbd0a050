#include "app/StoredInputs.h"

#include "calc/Errors.h"
#include "controls/NumberFormats.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFileInfo>

namespace {

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
    const SettingsLocation location = LocateSettingsFile("TorvIni.ini");
    return location.takeOverFrom.isEmpty() ? location.path : location.takeOverFrom;
}

double TStoredInputs::StoredNumber(const QString& text, const TFormatSettings& settings)
{
    double value = 0;
    if (NumberFormats::TryTextToFloat(text, value, settings))
        return value;
    TFormatSettings point = settings;
    point.DecimalSeparator = '.';
    if (NumberFormats::TryTextToFloat(text, value, point))
        return value;
    throw calc::EConvertError::invalidFloat(text.toStdString());
}

TStoredInputs TStoredInputs::Read(QString* warning)
{
    TStoredInputs inputs;
    const ProfileFile ini(FilePath());
    QString problem;
    const ProfileFile::Status status = ini.Check(&problem);
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::NotText) {
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
            inputs.*field = StoredNumber(text, settings);
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
