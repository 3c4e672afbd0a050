// The information page reader and the decisions around it, on text in memory.
#include "update/InfoPage.h"

#include "calc/Errors.h"
#include "update/WfiTags.h"

#include <gtest/gtest.h>

namespace {
struct PageCase {
    const char* name;
    QStringList lines;
    QString version; // ProductVersion expected
    QString url;     // DownloadURL expected
};

class InfoPageParse : public ::testing::TestWithParam<PageCase> {};

TEST_P(InfoPageParse, ReadsTheTagsAsWritten)
{
    TWfiTags tags;
    tags.VersionTag = "version";
    tags.DownloadTag = "url";
    tags.ReadMeExtTag = ""; // an unset tag never matches an empty name
    const TInfoPageValues values = InfoPage::Parse(GetParam().lines, tags);
    EXPECT_EQ(values.Version, GetParam().version);
    EXPECT_EQ(values.DownloadURL, GetParam().url);
    EXPECT_TRUE(values.ReadMeExt.isEmpty());
}

const QString longValue(1200, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, InfoPageParse,
    ::testing::Values(
        PageCase{"Capitals",
                 {R"(<META HTTP-EQUIV="version" CONTENT="1.0.01">)",
                  R"(<META HTTP-EQUIV="url" CONTENT="http://h/Torv.zip">)"},
                 "1.0.01",
                 "http://h/Torv.zip"},
        PageCase{"LowerCaseHttpEquivIsRead",
                 {R"(<meta http-equiv="version" CONTENT="2.1">)"},
                 "2.1",
                 ""},
        PageCase{"LowerCaseContentYieldsNoValue",
                 {R"(<meta http-equiv="version" content="2.1">)"},
                 "",
                 ""},
        PageCase{"TagNamesMatchCaseSensitively",
                 {R"(<META HTTP-EQUIV="Version" CONTENT="9.9">)"},
                 "",
                 ""},
        PageCase{"BlankAfterEqualsShiftsTheName",
                 {R"(<META HTTP-EQUIV= "version" CONTENT="9.9">)"},
                 "",
                 ""},
        PageCase{"LaterLineOverwrites",
                 {R"(<META HTTP-EQUIV="version" CONTENT="1.0">)",
                  R"(<META HTTP-EQUIV="version" CONTENT="1.1">)"},
                 "1.1",
                 ""},
        PageCase{"EmptyNameMatchesNoUnsetTag", {R"(<META HTTP-EQUIV="" CONTENT="x">)"}, "", ""},
        PageCase{"ValueCutAfter1000Characters",
                 {R"(<META HTTP-EQUIV="url" CONTENT=")" + longValue + R"(">)"},
                 "",
                 longValue.left(1000)},
        PageCase{"TagAndContentOnDifferentLines",
                 {R"(<META HTTP-EQUIV="version")", R"(CONTENT="1.0.01">)"},
                 "",
                 ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(InfoPage, ProductDateReadsTheDocumentedFormAndRejectsOthers)
{
    EXPECT_EQ(InfoPage::ParseProductDate("April 6, 1999"), QDate(1999, 4, 6));
    EXPECT_EQ(InfoPage::ParseProductDate("dec 25, 2001"), QDate(2001, 12, 25));
    EXPECT_EQ(InfoPage::ParseProductDate("February 29, 2000"), QDate(2000, 2, 29));
    for (const char* text :
         {"06-04-1999", "Ugs 5, 1999", "April 31, 1999", "April 6 1999", "April 6, 99", ""})
        EXPECT_THROW(InfoPage::ParseProductDate(text), calc::EConvertError) << text;
}

TEST(InfoPage, BuildNumbersCompareStepByStepUpToTheCurrentVersionsLastPart)
{
    struct {
        const char* current;
        const char* product;
        bool newer;
    } cases[] = {
        {"1.0.00", "1.0.01", true},          {"1.0.00", "1.1", true},      {"1.0.00", "2", true},
        {"1.0.00", "1.0.00", false},         {"1.0.00", "0.9", false},     {"1.0.00", "1.0", false},
        {"1.0.00", "1.0.00.1", false},       {"1.0.00", "1.0.00b", false}, {"1.0.5", "1", true},
        {"1.0.00", "Status Unknown", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoPage::IsNewerBuildNumber(c.current, c.product), c.newer)
            << c.current << " vs " << c.product;
}

TEST(InfoPage, ProposedFileNamesNeverLeaveTheChosenFolder)
{
    struct {
        const char* address;
        const char* name;
    } cases[] = {
        {"http://h/dl/Torv101.zip", "Torv101.zip"},
        {"http://h/dl/", ""},
        {"http://h", ""},
        {"Torv.zip", "Torv.zip"},
        {"http://h/get?file=../../etc/passwd", "get"},
        {"http://h/dl/Torv.zip#part/2", "Torv.zip"},
        {"http://h/dl/Torv%20Setup.zip", "Torv Setup.zip"},
        {"http://h/dl/..%2F..%2Fx", ""},
        {"http://h/dl/%2e%2e", ""},
        {"http://h/dl/a%5Cb", ""},
        {"http://h/dl/a%0Ab", ""},
        // Format, direction and other invisible characters are removed.
        {"http://h/dl/Setup%E2%80%AEtxt.exe", "Setuptxt.exe"},
        {"http://h/dl/Torv%E2%80%8B101%E2%81%A6.zip%EF%B8%8F", "Torv101.zip"},
        {"http://h/dl/%E2%80%AE..", ""},
        {"http://h/dl/a%C2%85b", ""}, // a C1 control character
        {"http://h/dl/caf%C3%A9%20%E2%82%AC.zip", "caf\u00e9 \u20ac.zip"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoPage::FileNameFromAddress(c.address), c.name) << c.address;
}

TEST(InfoPage, AManifestHasOneSpellingOnly)
{
    const QByteArray hash(64, 'a');
    const QByteArray good = "update-manifest=1\nproduct=Tallyhorn\nversion=1.0.01\n"
                            "file=Torv101.zip\nsize=200000\nsha256=" +
                            hash + "\n";
    TUpdateManifest m;
    ASSERT_TRUE(InfoPage::ParseManifest(good, &m));
    EXPECT_EQ(m.Product, "Tallyhorn");
    EXPECT_EQ(m.Version, "1.0.01");
    EXPECT_EQ(m.FileName, "Torv101.zip");
    EXPECT_EQ(m.Size, 200000);
    EXPECT_EQ(m.Sha256, QByteArray(32, '\xaa'));

    const std::pair<const char*, const char*> edits[] = {
        {"update-manifest=1", "update-manifest=2"},
        {"\nsha256=", "\nSHA256="},
        {"size=200000", "size=0200000"},
        {"size=200000", "size=-1"},
        {"size=200000", "size=1234567890123456"},
        {"file=Torv101.zip", "file=../Torv101.zip"},
        {"file=Torv101.zip", "file=Torv\xe2\x80\xae"
                             "101.zip"},
        {"version=1.0.01", "version="},
        {"version=1.0.01", "version=1.0.01\r"},
        {"product=Tallyhorn", "product=Tally\xffhorn"},
        {"\nversion=1.0.01", ""},
        {"Torv101.zip\n", "Torv101.zip\nextra=1\n"},
    };
    for (const auto& [from, to] : edits) {
        QByteArray bad = good;
        bad.replace(from, to);
        ASSERT_NE(bad, good) << to;
        EXPECT_FALSE(InfoPage::ParseManifest(bad, &m)) << to;
    }
    EXPECT_FALSE(InfoPage::ParseManifest(good.chopped(1), &m)) << "no final line feed";
    EXPECT_FALSE(InfoPage::ParseManifest(QByteArray(good).replace('\n', "\r\n"), &m));
    EXPECT_FALSE(
        InfoPage::ParseManifest(QByteArray(good).replace("a\n", QByteArray(700, 'a') + "\n"), &m));
    EXPECT_EQ(m.Version, "1.0.01") << "a refused text leaves the manifest as it was";
}

TEST(InfoPage, ThousandsAndLoopback)
{
    EXPECT_EQ(InfoPage::FormatThousands(0), "0");
    EXPECT_EQ(InfoPage::FormatThousands(999), "999");
    EXPECT_EQ(InfoPage::FormatThousands(1000), "1,000");
    EXPECT_EQ(InfoPage::FormatThousands(1234567), "1,234,567");
    EXPECT_TRUE(InfoPage::IsLoopbackAddress("http://127.0.0.1:8080/Torv/Torv.htm"));
    EXPECT_TRUE(InfoPage::IsLoopbackAddress("127.4.5.6"));
    EXPECT_FALSE(InfoPage::IsLoopbackAddress("http://127.0.0.1.example/"));
    EXPECT_FALSE(InfoPage::IsLoopbackAddress("http://www.velmora.example/Torv/Torv.htm"));
}
} // namespace
