#include "platform/HelpFile.h"

#include "platform/HelpIndex.h"

#include <gtest/gtest.h>

namespace {

// A small, sound help file: two books, three topics, links between them.
const QByteArray sound = "TORVHELP 1\n"
                         "@# comment lines are skipped anywhere\n"
                         "@title Sample Help\n"
                         "@contents\n"
                         "Start = intro\n"
                         "Sums\n"
                         "  Adding = adding\n"
                         "  More\n"
                         "    Fees and rates = fees\n"
                         "@topic intro\n"
                         "@title Introduction\n"
                         "@keywords overview; start\n"
                         "<p>See <a href=\"topic:adding\">adding</a> and "
                         "<a href=\"topic:fees#rate\">the rate</a>.</p>\n"
                         "@topic adding\n"
                         "@title Adding things\n"
                         "@context 35\n"
                         "@keywords sums; fixed fees\n"
                         "@keywords adding\n"
                         "<p>Body with @ inside a line.</p>\n"
                         "@topic fees\n"
                         "@title Fees\n"
                         "@keywords Fees; fixed fees\n"
                         "<p><a name=\"rate\"></a><a href=\"#rate\">here</a></p>\n"
                         "@end 3\n";

QByteArray Replace(QByteArray text, const QByteArray& from, const QByteArray& to)
{
    return text.replace(from, to);
}

} // namespace

TEST(HelpFile, ReadsTopicsContentsKeywordsAndContexts)
{
    const HelpFile file = HelpFile::Parse(sound);
    ASSERT_TRUE(file.IsOk()) << file.Error().toStdString();
    EXPECT_EQ(file.Title(), "Sample Help");
    ASSERT_EQ(file.Topics().size(), 3);
    EXPECT_EQ(file.FirstTopicId(), "intro");
    EXPECT_EQ(file.TopicForContext(35)->id, "adding");
    EXPECT_EQ(file.TopicForContext(36), nullptr);
    EXPECT_EQ(file.Topic("adding")->keywords, QStringList({"sums", "fixed fees", "adding"}));
    EXPECT_EQ(file.Topic("adding")->body, "<p>Body with @ inside a line.</p>\n");
    EXPECT_TRUE(file.TopicHtml("intro").startsWith("<h2>Introduction</h2>"));
    EXPECT_TRUE(file.Problems().isEmpty()) << file.Problems().join('\n').toStdString();

    QStringList contents;
    for (const HelpContentsEntry& e : file.Contents())
        contents.append(QString("%1:%2:%3").arg(e.level).arg(e.text, e.topicId));
    EXPECT_EQ(contents, QStringList({"0:Start:intro", "0:Sums:", "1:Adding:adding",
                                     "1:More:", "2:Fees and rates:fees"}));

    // Sorted by keyword ignoring case, a shared keyword once per topic, by topic title.
    QStringList index;
    for (const HelpIndexEntry& e : file.Index())
        index.append(e.keyword + "/" + e.topicId);
    EXPECT_EQ(index,
              QStringList({"adding/adding", "Fees/fees", "fixed fees/adding", "fixed fees/fees",
                           "overview/intro", "start/intro", "sums/adding"}));
}

TEST(HelpFile, CarriageReturnsAndAByteOrderMarkAreAccepted)
{
    QByteArray crlf = sound;
    crlf.replace("\n", "\r\n");
    EXPECT_TRUE(HelpFile::Parse(crlf).IsOk());
    EXPECT_TRUE(HelpFile::Parse("\xEF\xBB\xBF" + sound).IsOk());
}

struct DamagedCase {
    const char* name;
    QByteArray data;
    const char* error; // a part of the reported error
};

class HelpFileDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(HelpFileDamaged, IsReportedWithItsFault)
{
    const HelpFile file = HelpFile::Parse(GetParam().data);
    EXPECT_EQ(file.GetStatus(), HelpFile::Status::Damaged);
    EXPECT_TRUE(file.Error().contains(GetParam().error)) << file.Error().toStdString();
    EXPECT_TRUE(file.Topics().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HelpFileDamaged,
    ::testing::Values(
        DamagedCase{"Empty", "", "does not start with"},
        DamagedCase{"OtherFormat", Replace(sound, "TORVHELP 1", "TORVHELP 2"), "line 1:"},
        DamagedCase{"Truncated", sound.left(sound.size() / 2), "incomplete"},
        DamagedCase{"WrongCount", Replace(sound, "@end 3", "@end 4"), "not the 4"},
        DamagedCase{"NotUtf8", Replace(sound, "Fees and", "Fees \xff and"), "not a text file"},
        DamagedCase{"NulByte", Replace(sound, "Adding things", QByteArray("Add\0", 4)),
                    "not a text file"},
        DamagedCase{"DuplicateTopic", Replace(sound, "@topic fees", "@topic adding"),
                    "defined twice"},
        DamagedCase{"UnknownDirective", Replace(sound, "@keywords adding", "@keyword adding"),
                    "unknown directive \"@keyword\""},
        DamagedCase{"TextBeforeTopics", Replace(sound, "@contents\n", "stray\n@contents\n"),
                    "line 4: text outside a topic"},
        DamagedCase{"ContentsSkipALevel",
                    Replace(sound, "  Adding = adding", "    Adding = adding"), "line 7:"},
        DamagedCase{"ContentsBelowAPage", Replace(sound, "Sums\n", "Sums = intro\n"), "line 7:"},
        DamagedCase{"TopicWithoutTitle", Replace(sound, "@title Fees\n", ""), "has no title"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HelpFile, LoadTellsMissingAndTooLargeFilesApart)
{
    EXPECT_EQ(HelpFile::Load("/nonexistent/torv.hlp").GetStatus(), HelpFile::Status::Missing);
    EXPECT_EQ(HelpFile::Load("/").GetStatus(), HelpFile::Status::Unreadable);
    EXPECT_EQ(HelpFile::Parse(QByteArray(HelpFile::MaxFileSize + 1, 'x')).GetStatus(),
              HelpFile::Status::Damaged);
}

struct ProblemCase {
    const char* name;
    QByteArray data;
    const char* problem;
};

class HelpFileProblems : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(HelpFileProblems, AreListed)
{
    const HelpFile file = HelpFile::Parse(GetParam().data);
    ASSERT_TRUE(file.IsOk()) << file.Error().toStdString();
    ASSERT_EQ(file.Problems().size(), 1) << file.Problems().join('\n').toStdString();
    EXPECT_TRUE(file.Problems().front().contains(GetParam().problem))
        << file.Problems().front().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Authoring, HelpFileProblems,
    ::testing::Values(
        ProblemCase{"DeadLink", Replace(sound, "topic:adding\"", "topic:adds\""),
                    "unknown topic \"adds\""},
        ProblemCase{"LinkOutside", Replace(sound, "href=\"#rate\"", "href=\"http://x.example/\""),
                    "links outside"},
        ProblemCase{"NotInContents", Replace(sound, "  Adding = adding\n", ""),
                    "\"adding\" is not in the contents"},
        ProblemCase{"NoKeywords", Replace(sound, "@keywords Fees; fixed fees\n", ""),
                    "\"fees\" has no keywords"},
        ProblemCase{"ContentsToNowhere", Replace(sound, "Sums\n", "Sums\n  Gone = gone\n"),
                    "unknown topic \"gone\""},
        ProblemCase{"SharedContext", Replace(sound, "@title Fees\n", "@title Fees\n@context 35\n"),
                    "context number 35"}),
    [](const auto& p) { return std::string(p.param.name); });

struct IndexCase {
    const char* name;
    const char* typed;
    QStringList keywords;
};

class HelpIndexMatching : public ::testing::TestWithParam<IndexCase> {};

TEST_P(HelpIndexMatching, NarrowsToWhatWasTyped)
{
    const QList<HelpIndexEntry> index = {
        {"AutoCalc", "a", "A"},         {"fees", "b", "B"},          {"fixed fees", "c", "C"},
        {"Fixed Fees Entry", "d", "D"}, {"print preview", "e", "E"}, {"printer setup", "f", "F"}};
    QStringList found;
    for (int i : HelpIndex::Matching(index, GetParam().typed))
        found.append(index[i].keyword);
    EXPECT_EQ(found, GetParam().keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Typing, HelpIndexMatching,
    ::testing::Values(IndexCase{"NothingTyped",
                                "  ",
                                {"AutoCalc", "fees", "fixed fees", "Fixed Fees Entry",
                                 "print preview", "printer setup"}},
                      IndexCase{"PrefixIgnoringCase", "FIX", {"fixed fees", "Fixed Fees Entry"}},
                      IndexCase{"KeywordStartsFirstThenLaterWords",
                                "fe",
                                {"fees", "fixed fees", "Fixed Fees Entry"}},
                      IndexCase{"AcrossABlank", "print p", {"print preview"}},
                      IndexCase{"LaterWordOnly", "setup", {"printer setup"}},
                      IndexCase{"NoMatch", "zebra", {}}),
    [](const auto& p) { return std::string(p.param.name); });
