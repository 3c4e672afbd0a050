#include "loan/StoredInputs.h"

#include "calc/Errors.h"
#include "controls/NumberFormats.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

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

double TStoredInputs::StoredNumber(const QString& text, const TFormatSettings& settings,
                                   bool amount)
{
    double value = 0;
    if (NumberFormats::TryTextToFloat(text, value, settings))
        return value;
    // The program writes no grouping, so a lone "." or "," that is not the regional decimal
    // separator is a decimal separator written under other regional settings. In an amount,
    // exactly three digits after it are grouping typed by hand ("100,000" under a "." locale,
    // "250.000" under a "," one): that is refused, never taken for 100 or 250. A rate or a
    // percentage keeps them as decimals ("8.125").
    const bool point = text.contains('.');
    if (point == text.contains(','))
        throw calc::EConvertError::invalidFloat(text.toStdString());
    const QChar separator = point ? QChar('.') : QChar(',');
    const qsizetype at = text.indexOf(separator);
    qsizetype digits = 0;
    while (at + 1 + digits < text.size() && text[at + 1 + digits].isDigit())
        ++digits;
    TFormatSettings other = settings;
    other.DecimalSeparator = separator;
    if (separator != settings.DecimalSeparator && text.count(separator) == 1 &&
        !(amount && digits == 3) && NumberFormats::TryTextToFloat(text, value, other))
        return value;
    throw calc::EConvertError::invalidFloat(text.toStdString());
}

TStoredInputs TStoredInputs::ReadValues(const ProfileFile& ini, TNotANumber* wrong)
{
    TStoredInputs inputs;
    const TFormatSettings& settings = Regional::Current();
    const struct {
        const char* key;
        double TStoredInputs::*field;
        bool amount;
    } keys[] = {{"Price", &TStoredInputs::price, true},
                {"Interest", &TStoredInputs::interest, false},
                {"Term", &TStoredInputs::term, false},
                {"DownPercent", &TStoredInputs::downPercent, false}};
    for (const auto& [key, field, amount] : keys) {
        const std::optional<QString> text = ini.ReadValue(Section, key);
        if (!text)
            continue; // the default stays
        try {
            inputs.*field = StoredNumber(*text, settings, amount);
        } catch (const calc::EConvertError& e) {
            if (wrong)
                *wrong = {key, *text, QString::fromStdString(e.what())};
            return TStoredInputs();
        }
    }
    return inputs;
}

QList<ProfileFile::Entry> TStoredInputs::Entries(const TFormatSettings& settings) const
{
    return {{"Price", NumberFormats::GeneralText(price, settings)},
            {"Interest", NumberFormats::GeneralText(interest, settings)},
            {"Term", NumberFormats::GeneralText(term, settings)},
            {"DownPercent", NumberFormats::GeneralText(downPercent, settings)}};
}

TStoredInputs TStoredInputs::Read(QString* warning)
{
    QStringList warnings;
    const SettingsLocation location = LocateSettingsFile("TorvIni.ini");
    const QString readFrom =
        location.takeOverFrom.isEmpty() ? location.path : location.takeOverFrom;
    // The window passes over a damaged file beside the program and tells the user; so does
    // the command, about that file and not the one it reads instead.
    QString problem;
    if (location.passedOver != ProfileFile::Status::Ok &&
        ProfileFile(location.beside).Check(&problem) != ProfileFile::Status::Ok)
        warnings << OneLine(problem) + " It is left as it is; the values in " +
                        QDir::toNativeSeparators(QFileInfo(readFrom).absoluteFilePath()) +
                        " or the default inputs are used.";

    if (location.distrust != SettingsLocation::Distrust::None)
        warnings << "the settings file " + QDir::toNativeSeparators(location.beside) +
                        " beside the program " + DistrustText(location.distrust) +
                        "; it is left as it is and the values in " +
                        QDir::toNativeSeparators(QFileInfo(readFrom).absoluteFilePath()) +
                        " or the default inputs are used";

    const ProfileFile ini(readFrom);
    const ProfileFile::Status status = ini.Check(&problem);
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::NotText)
        warnings << OneLine(problem) + " (using what can be read, and the default inputs for "
                                       "the rest)";

    TNotANumber wrong;
    const TStoredInputs inputs = ReadValues(ini, &wrong);
    if (!wrong.key.isEmpty())
        warnings << QStringLiteral("the settings file %1 holds %2=%3, which is not a "
                                   "number; the default inputs are used")
                        .arg(ini.FileName(), wrong.key, OneLine(wrong.text));
    if (warning)
        *warning = warnings.join(QStringLiteral("; "));
    return inputs;
}
