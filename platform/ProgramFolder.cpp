#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& Override()
{
    static QString folder;
    return folder;
}

// True when `later` was written after `earlier` (or `earlier` does not exist).
bool WrittenLater(const QFileInfo& later, const QFileInfo& earlier)
{
    return !earlier.exists() || later.lastModified() > earlier.lastModified();
}
} // namespace

QString ProgramFolder()
{
    QString folder = Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

void SetProgramFolder(const QString& folder)
{
    Override() = folder;
}

QString FileInFolder(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(fileName)))
        return dir.filePath(fileName);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return dir.filePath(fileName);
}

SettingsLocation LocateSettingsFile(const QString& fileName)
{
    const QString beside = FileInFolder(ProgramFolder(), fileName);
    const QString config =
        FileInFolder(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation), fileName);

    const ProfileFile::Status status = ProfileFile(beside).Check();
    const QFileInfo besideInfo(beside);
    const QFileInfo configInfo(config);
    const bool folderWritable = QFileInfo(ProgramFolder()).isWritable();
    const bool useBeside =
        folderWritable && (status == ProfileFile::Status::Missing ||
                           (status == ProfileFile::Status::Ok && besideInfo.isWritable()));

    SettingsLocation location;
    location.beside = beside;
    if (useBeside) {
        location.path = beside;
        // Values saved in the configuration folder while this one could not be used.
        if (configInfo.isFile() && WrittenLater(configInfo, besideInfo))
            location.takeOverFrom = config;
        return location;
    }
    location.path = config;
    if (status == ProfileFile::Status::Ok && WrittenLater(besideInfo, configInfo))
        location.takeOverFrom = beside;
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::NotText)
        location.passedOver = status;
    return location;
}

SettingsLocation ChooseSettingsFile(const QString& fileName)
{
    const SettingsLocation location = LocateSettingsFile(fileName);
    QDir().mkpath(QFileInfo(location.path).path());
    if (!location.takeOverFrom.isEmpty())
        ProfileFile(location.path).TakeValuesFrom(location.takeOverFrom);
    return location;
}
