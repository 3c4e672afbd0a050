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

SettingsLocation ChooseSettingsFile(const QString& fileName)
{
    const QString beside = FileInFolder(ProgramFolder(), fileName);
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString config = FileInFolder(configFolder, fileName);

    const ProfileFile besideFile(beside);
    const ProfileFile::Status status = besideFile.Check();
    const QFileInfo besideInfo(beside);
    const bool folderWritable = QFileInfo(ProgramFolder()).isWritable();
    const bool useBeside =
        folderWritable && (status == ProfileFile::Status::Missing ||
                           (status == ProfileFile::Status::Ok && besideInfo.isWritable()));

    SettingsLocation location;
    location.beside = beside;
    if (useBeside) {
        location.path = beside;
        // Values saved in the configuration folder while this one could not be used.
        const QFileInfo configInfo(config);
        if (configInfo.isFile() && WrittenLater(configInfo, besideInfo))
            ProfileFile(beside).TakeValuesFrom(config);
        return location;
    }

    QDir().mkpath(configFolder);
    location.path = config;
    if (status == ProfileFile::Status::Ok && WrittenLater(besideInfo, QFileInfo(config)))
        ProfileFile(config).TakeValuesFrom(beside);
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::NotText)
        location.passedOver = status;
    return location;
}
