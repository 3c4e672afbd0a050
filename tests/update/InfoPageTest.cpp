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
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoPage::FileNameFromAddress(c.address), c.name) << c.address;
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
