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
    EXPECT_EQ(ChooseSettingsFile("TorvIni.ini").path, folder.File("TorvIni.ini"));
}

TEST(ProgramFolder, AFolderThatCannotBeWrittenSendsThemToTheConfigurationFolder)
{
    // A path that is a file, not a folder, can never take a settings file beside it.
    TempProgramFolder folder;
    TempProgramFolder::WriteFile(folder.File("program"), "");
    SetProgramFolder(folder.File("program"));
    const QString path = ChooseSettingsFile("TorvIni.ini").path;
    EXPECT_EQ(path, folder.ConfigFile("TorvIni.ini"));
    EXPECT_TRUE(QDir(QFileInfo(path).path()).exists());
    SetProgramFolder(folder.Path());
}
