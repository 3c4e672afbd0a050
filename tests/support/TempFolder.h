// A temporary program folder for one test: the settings file and help file go there. The
// user's configuration folder (XDG_CONFIG_HOME) is a temporary one as well, so no test reads or
// writes the real one.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString Path() const; // with a trailing "/"
    QString File(const QString& name) const { return Path() + name; }
    // The configuration folder's own folder for this application, where a settings file goes
    // when the program folder cannot take it.
    QString ConfigFile(const QString& name) const;

    static QByteArray ReadFile(const QString& path);
    static void WriteFile(const QString& path, const QByteArray& contents);

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    QByteArray m_savedConfigHome;
};
