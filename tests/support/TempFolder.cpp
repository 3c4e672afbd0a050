#include "tests/support/TempFolder.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

TempProgramFolder::TempProgramFolder() : m_savedConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    SetProgramFolder(Path());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

TempProgramFolder::~TempProgramFolder()
{
    SetProgramFolder(QString());
    if (m_savedConfigHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
}

QString TempProgramFolder::ConfigFile(const QString& name) const
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

QString TempProgramFolder::Path() const
{
    return m_dir.path() + '/';
}

QByteArray TempProgramFolder::ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TempProgramFolder::WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
}
