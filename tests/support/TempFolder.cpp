#include "tests/support/TempFolder.h"

#include "platform/ProgramFolder.h"

#include <QFile>

TempProgramFolder::TempProgramFolder()
{
    SetProgramFolder(Path());
}

TempProgramFolder::~TempProgramFolder()
{
    SetProgramFolder(QString());
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
