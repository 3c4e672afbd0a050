// A temporary program folder for one test: the settings file and help file go there.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString Path() const; // with a trailing "/"
    QString File(const QString& name) const { return Path() + name; }

    static QByteArray ReadFile(const QString& path);
    static void WriteFile(const QString& path, const QByteArray& contents);

private:
    QTemporaryDir m_dir;
};
