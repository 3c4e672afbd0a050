#include "platform/ProfileFile.h"

#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
struct ProfileFileTest : ::testing::Test {
    TempProgramFolder folder;
    QString path = folder.File("TorvIni.ini");
    ProfileFile ini{path};
};
} // namespace

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndWriteCreatesIt)
{
    EXPECT_EQ(ini.Check(), ProfileFile::Status::Missing);
    EXPECT_EQ(ini.ReadString("LastValues", "Price", "100000"), "100000");
    ASSERT_TRUE(ini.WriteString("LastValues", "AutoCalc", "OFF"));
    EXPECT_EQ(TempProgramFolder::ReadFile(path), "[LastValues]\nAutoCalc=OFF\n");
    EXPECT_EQ(ini.Check(), ProfileFile::Status::Ok);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{"TorvIni.ini"});
}

TEST_F(ProfileFileTest, NamesCompareWithoutCaseAndBlanksAreIgnored)
{
    TempProgramFolder::WriteFile(path, "[lastvalues]\r\n  PRICE =  250000 \r\nTerm=\"15\"\r\n");
    EXPECT_EQ(ini.ReadString("LastValues", "Price", "x"), "250000");
    EXPECT_EQ(ini.ReadString("LASTVALUES", "term", "x"), "15");
    EXPECT_EQ(ini.ReadString("Other", "Price", "x"), "x");
    EXPECT_EQ(ini.ReadString("LastValues", "Interest", "8.75"), "8.75");
}

TEST_F(ProfileFileTest, WriteReplacesInPlaceAndKeepsOtherLines)
{
    TempProgramFolder::WriteFile(path, "; my notes\n[Other]\nPrice=1\n\n[LastValues]\nPrice=5\n"
                                       "Term=30\n\n[Tail]\nx=y\n");
    ASSERT_TRUE(ini.WriteString("LastValues", "price", "7"));
    ASSERT_TRUE(ini.WriteString("LastValues", "AutoCalc", "ON"));
    ASSERT_TRUE(ini.WriteString("New", "Key", "V"));
    EXPECT_EQ(TempProgramFolder::ReadFile(path),
              "; my notes\n[Other]\nPrice=1\n\n[LastValues]\nprice=7\nTerm=30\nAutoCalc=ON\n"
              "\n[Tail]\nx=y\n\n[New]\nKey=V\n");
    EXPECT_EQ(ini.ReadString("Other", "Price", ""), "1");
}

TEST_F(ProfileFileTest, KeepsWindowsLineEndingsAndAFileWithoutFinalLineBreak)
{
    TempProgramFolder::WriteFile(path, "[LastValues]\r\nPrice=5");
    ASSERT_TRUE(ini.WriteString("LastValues", "Term", "30"));
    EXPECT_EQ(TempProgramFolder::ReadFile(path), "[LastValues]\r\nPrice=5\r\nTerm=30\r\n");
}

TEST_F(ProfileFileTest, AValueCannotAddLines)
{
    ASSERT_TRUE(ini.WriteString("LastValues", "AutoCalc", "ON\n[Evil]\nx=1"));
    EXPECT_EQ(ini.ReadString("Evil", "x", "none"), "none");
    EXPECT_FALSE(ini.WriteString("LastValues", "Bad=Key", "1"));
    EXPECT_FALSE(ini.WriteString("Last]Values", "Key", "1"));
}

TEST_F(ProfileFileTest, EmptyUnreadableAndNonTextFiles)
{
    TempProgramFolder::WriteFile(path, "");
    EXPECT_EQ(ini.Check(), ProfileFile::Status::Ok);
    EXPECT_EQ(ini.ReadString("LastValues", "Price", "100000"), "100000");

    // Bytes that are not UTF-8 and lines without "=" are still text.
    TempProgramFolder::WriteFile(path, "caf\xe9 \xfd junk\n[LastValues]\nPrice=9\n");
    EXPECT_EQ(ini.Check(), ProfileFile::Status::Ok);

    // NUL bytes (UTF-16, binary): never written.
    static const char binary[] = "\x00\xff\xfe\n[LastValues]\nPrice=9\ngarbage\n";
    const QByteArray before(binary, sizeof binary - 1);
    TempProgramFolder::WriteFile(path, before);
    QString detail;
    EXPECT_EQ(ini.Check(&detail), ProfileFile::Status::NotText);
    EXPECT_TRUE(detail.contains("not a text file"));
    EXPECT_FALSE(ini.WriteString("LastValues", "Price", "10"));
    EXPECT_EQ(TempProgramFolder::ReadFile(path), before);

    // A path that exists but cannot be read as a file (a folder, even for root).
    QDir().mkpath(folder.File("Folder.ini"));
    ProfileFile unreadable(folder.File("Folder.ini"));
    EXPECT_EQ(unreadable.Check(), ProfileFile::Status::Unreadable);
    EXPECT_EQ(unreadable.ReadString("LastValues", "Price", "100000"), "100000");
    EXPECT_FALSE(unreadable.WriteString("LastValues", "Price", "1"));
}

TEST_F(ProfileFileTest, TakesOverOnlyTheNamedValuesOfAnotherFile)
{
    const QString source = folder.File("Other.ini");
    const QList<ProfileFile::Name> names = {
        {"LastValues", "Price"}, {"LastValues", "Term"}, {"Update", "Host"}};
    TempProgramFolder::WriteFile(source, "root:x:0:0:root:/root:/bin/bash\n; theirs\n"
                                         "[LastValues]\nPrice=\" 5 \"\nTerm=15\nShell=/bin/sh\n"
                                         "[lastvalues]\nPrice=6\n[Update]\nHost=h\nPort=1\n"
                                         "[Other]\nTerm=9\n");
    // A missing file is created with the named values alone, not as a copy.
    ASSERT_TRUE(ini.TakeValuesFrom(source, names));
    EXPECT_EQ(TempProgramFolder::ReadFile(path),
              "[LastValues]\nPrice=\" 5 \"\nTerm=15\n\n[Update]\nHost=h\n");
    // An existing one keeps its own lines and gets the values as a read finds them.
    TempProgramFolder::WriteFile(path, "; mine\n[LastValues]\nTerm=30\nAutoCalc=ON\n");
    ASSERT_TRUE(ini.TakeValuesFrom(source, names));
    EXPECT_EQ(TempProgramFolder::ReadFile(path), "; mine\n[LastValues]\nTerm=15\nAutoCalc=ON\n"
                                                 "Price=\" 5 \"\n\n[Update]\nHost=h\n");
    EXPECT_EQ(ini.ReadString("LastValues", "Price", ""), " 5 ");
    EXPECT_FALSE(ini.TakeValuesFrom(folder.File("Missing.ini"), names));

    // A source without any of them creates nothing.
    const QString empty = folder.File("Empty.ini");
    TempProgramFolder::WriteFile(source, "[Other]\nPrice=1\n");
    ASSERT_TRUE(ProfileFile(empty).TakeValuesFrom(source, names));
    EXPECT_FALSE(QFileInfo::exists(empty));
}

TEST_F(ProfileFileTest, SeveralKeysGoInOneSaveOrNotAtAll)
{
    TempProgramFolder::WriteFile(path, "[LastValues]\nTerm=15\n");
    ASSERT_TRUE(
        ini.WriteStrings("LastValues", {{"Price", "1"}, {"Term", "30"}, {"AutoCalc", "ON"}}));
    EXPECT_EQ(TempProgramFolder::ReadFile(path), "[LastValues]\nTerm=30\nPrice=1\nAutoCalc=ON\n");
    EXPECT_FALSE(ini.WriteStrings("LastValues", {{"Price", "2"}, {"Bad=Key", "3"}}));
    EXPECT_EQ(ini.ReadString("LastValues", "Price", ""), "1");
}

TEST_F(ProfileFileTest, AFileThatCannotBeWrittenReportsIt)
{
    ProfileFile nowhere(folder.File("missing-folder/TorvIni.ini"));
    EXPECT_FALSE(nowhere.WriteString("LastValues", "Price", "1"));
    EXPECT_EQ(nowhere.ReadString("LastValues", "Price", "d"), "d");
}

TEST(ProfileFileParsing, FirstSectionOfANameCounts)
{
    bool found = false;
    EXPECT_EQ(ProfileFile::Lookup("[A]\nk=1\n[A]\nk=2\nj=3\n", "a", "k", &found), "1");
    EXPECT_TRUE(found);
    ProfileFile::Lookup("[A]\nk=1\n[A]\nj=3\n", "a", "j", &found);
    EXPECT_FALSE(found);
    ProfileFile::Lookup("k=1\n", "a", "k", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(ProfileFile::Lookup("[A]\nk=a=b\n", "A", "k", &found), "a=b");
}
