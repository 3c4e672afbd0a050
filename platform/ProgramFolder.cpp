#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& Override()
{
    static QString folder;
    return folder;
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

QString SettingsFilePath(const QString& fileName)
{
    const QString beside = ProgramFolder() + fileName;
    const QFileInfo file(beside);
    const QFileInfo folder(ProgramFolder());
    if (folder.isWritable() && (!file.exists() || file.isWritable()))
        return beside;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    const QString moved = QDir(config).filePath(fileName);
    // The first time, the values kept beside the program come along.
    if (!QFileInfo::exists(moved) && file.isFile() && file.isReadable())
        QFile::copy(beside, moved);
    return moved;
}
