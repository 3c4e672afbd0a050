#include "platform/ProgramFolder.h"

#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProgramFolder, SettingsGoBesideTheProgramWhenItsFolderCanBeWritten)
{
    TempProgramFolder folder;
    EXPECT_EQ(ProgramFolder(), folder.Path());
    EXPECT_EQ(SettingsFilePath("TorvIni.Ini"), folder.File("TorvIni.Ini"));
}

TEST(ProgramFolder, AFolderThatCannotBeWrittenSendsThemToTheConfigurationFolder)
{
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // A path that is a file, not a folder, can never take a settings file beside it.
    TempProgramFolder folder;
    TempProgramFolder::WriteFile(folder.File("program"), "");
    SetProgramFolder(folder.File("program"));
    const QString path = SettingsFilePath("TorvIni.Ini");
    EXPECT_TRUE(path.startsWith(config.path())) << path.toStdString();
    EXPECT_TRUE(path.endsWith("/TorvIni.Ini"));
    EXPECT_TRUE(QDir(QFileInfo(path).path()).exists());
    SetProgramFolder(folder.Path());
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}
