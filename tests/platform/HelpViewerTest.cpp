#include "platform/HelpViewer.h"

#include "platform/HelpBrowser.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QByteArray SampleFile(const QByteArray& title = "Sample Help")
{
    return "TORVHELP 1\n"
           "@title " +
           title +
           "\n"
           "@contents\n"
           "Start = intro\n"
           "Printing\n"
           "  The preview = preview\n"
           "  Printer setup = setup\n"
           "@topic intro\n"
           "@title Introduction\n"
           "@keywords overview\n"
           "<p>Read about <a href=\"topic:preview\">the preview</a>.</p>\n"
           "@topic preview\n"
           "@title The print preview\n"
           "@context 35\n"
           "@keywords print preview; preview; printing\n"
           "<p>Zoom and <a href=\"topic:setup\">setup</a>.</p>\n"
           "@topic setup\n"
           "@title Printer setup\n"
           "@keywords printer setup; printing\n"
           "<p>Choose a printer.</p>\n"
           "@end 3\n";
}

struct HelpViewerTest : ::testing::Test {
    TempProgramFolder folder;
    QString path = folder.File("torv.hlp");

    HelpViewerTest() { TempProgramFolder::WriteFile(path, SampleFile()); }
    ~HelpViewerTest() override { HelpViewer::Help(path, hcQuit); }

    HelpViewer* Viewer() const
    {
        HelpViewer* viewer = HelpViewer::Current();
        EXPECT_NE(viewer, nullptr);
        return viewer;
    }
    QStringList IndexRows() const
    {
        QStringList rows;
        for (int i = 0; i < Viewer()->IndexList()->count(); ++i)
            rows.append(Viewer()->IndexList()->item(i)->text());
        return rows;
    }
    void Trigger(const char* action) const
    {
        QAction* a = Viewer()->findChild<QAction*>(action);
        ASSERT_NE(a, nullptr) << action;
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
    }
};

} // namespace

TEST_F(HelpViewerTest, EveryCommandReusesTheOneWindow)
{
    ASSERT_TRUE(HelpViewer::Help(path, hcContents));
    HelpViewer* viewer = Viewer();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Sample Help");
    EXPECT_EQ(viewer->Tabs()->currentIndex(), 0);
    EXPECT_EQ(viewer->CurrentPage(), "topic:intro");
    // The contents as a tree of books and pages, the page shown marked.
    ASSERT_EQ(viewer->ContentsTree()->topLevelItemCount(), 2);
    EXPECT_EQ(viewer->ContentsTree()->topLevelItem(1)->child(0)->text(0), "The preview");
    EXPECT_EQ(viewer->ContentsTree()->currentItem(), viewer->ContentsTree()->topLevelItem(0));

    ASSERT_TRUE(HelpViewer::Help(path, hcContext, 35));
    EXPECT_EQ(HelpViewer::Current(), viewer);
    EXPECT_EQ(viewer->CurrentPage(), "topic:preview");
    EXPECT_EQ(viewer->ContentsTree()->currentItem()->text(0), "The preview");
    ASSERT_TRUE(HelpViewer::Help(path, hcPartialKey));
    ASSERT_TRUE(HelpViewer::Help(path, hcHelpOnHelp));
    EXPECT_EQ(HelpViewer::Current(), viewer);
    EXPECT_EQ(viewer->CurrentPage(), HelpBrowser::HowToUseUrl);
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Finding a topic by keyword"));

    HelpViewer::Help(path, hcQuit);
    EXPECT_EQ(HelpViewer::Current(), nullptr);
}

TEST_F(HelpViewerTest, TheIndexNarrowsAsTheUserTypesAndEnterOpensTheTopic)
{
    ASSERT_TRUE(HelpViewer::Help(path, hcPartialKey));
    HelpViewer* viewer = Viewer();
    EXPECT_EQ(viewer->Tabs()->currentIndex(), 1);
    EXPECT_EQ(IndexRows().size(), 6);
    QApplication::setActiveWindow(viewer);
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    EXPECT_EQ(QApplication::focusWidget(), viewer->IndexSearch());

    QTest::keyClicks(viewer->IndexSearch(), "pri");
    // A keyword of two topics names each topic beside it.
    EXPECT_EQ(IndexRows(),
              QStringList({"print preview", "printer setup", "printing \u2013 Printer setup",
                           "printing \u2013 The print preview"}));
    QTest::keyClicks(viewer->IndexSearch(), "nter");
    EXPECT_EQ(IndexRows(), QStringList({"printer setup"}));
    QTest::keyClick(viewer->IndexSearch(), Qt::Key_Return);
    EXPECT_EQ(viewer->CurrentPage(), "topic:setup");

    // Down in the search field chooses the next row.
    viewer->IndexSearch()->clear();
    QTest::keyClicks(viewer->IndexSearch(), "printing");
    QTest::keyClick(viewer->IndexSearch(), Qt::Key_Down);
    QTest::keyClick(viewer->IndexSearch(), Qt::Key_Return);
    EXPECT_EQ(viewer->CurrentPage(), "topic:preview");
}

TEST_F(HelpViewerTest, LinksBackAndForward)
{
    ASSERT_TRUE(HelpViewer::Help(path, hcContents));
    HelpViewer* viewer = Viewer();
    QAction* back = viewer->findChild<QAction*>("actBack");
    QAction* forward = viewer->findChild<QAction*>("actForward");
    EXPECT_FALSE(back->isEnabled());
    emit viewer->Browser()->anchorClicked(QUrl("topic:preview"));
    emit viewer->Browser()->anchorClicked(QUrl("topic:setup"));
    EXPECT_EQ(viewer->CurrentPage(), "topic:setup");
    Trigger("actBack");
    Trigger("actBack");
    EXPECT_EQ(viewer->CurrentPage(), "topic:intro");
    EXPECT_FALSE(back->isEnabled());
    Trigger("actForward");
    EXPECT_EQ(viewer->CurrentPage(), "topic:preview");
    EXPECT_TRUE(forward->isEnabled());

    // A link that leaves the help opens nothing; an unknown topic says so in the pane.
    emit viewer->Browser()->anchorClicked(QUrl("http://www.example.com/"));
    EXPECT_EQ(viewer->CurrentPage(), "topic:preview");
    EXPECT_FALSE(viewer->ShowTopic("gone"));
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Topic not found"));
}

TEST_F(HelpViewerTest, PrintsTheTopicShown)
{
    ASSERT_TRUE(HelpViewer::Help(path, hcContext, 35));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.File("topic.pdf"));
    Viewer()->PrintTopic(&printer);
    const QByteArray pdf = TempProgramFolder::ReadFile(folder.File("topic.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
}

TEST_F(HelpViewerTest, AChangedFileIsReadAgain)
{
    ASSERT_TRUE(HelpViewer::Help(path, hcContents));
    TempProgramFolder::WriteFile(path, SampleFile("Newer Help") + "\n");
    ASSERT_TRUE(HelpViewer::Help(path, hcContents));
    EXPECT_EQ(Viewer()->windowTitle(), "Newer Help");
}

struct BrokenFileCase {
    const char* name;
    QByteArray contents; // empty: no file
    const char* reason;
};

class HelpViewerBrokenFile : public HelpViewerTest,
                             public ::testing::WithParamInterface<BrokenFileCase> {};

TEST_P(HelpViewerBrokenFile, GivesOneClearMessageAndOpensNothing)
{
    QFile::remove(path);
    if (!GetParam().contents.isEmpty())
        TempProgramFolder::WriteFile(path, GetParam().contents);
    MessageBoxAnswerer answers;
    for (THelpCommand command : {hcContents, hcPartialKey, hcContext}) {
        EXPECT_FALSE(HelpViewer::Help(path, command, 35));
        EXPECT_TRUE(HelpViewer::Current() == nullptr || !HelpViewer::Current()->isVisible());
    }
    ASSERT_EQ(answers.Boxes().size(), 3); // one per command
    const MessageBoxRecord& box = answers.Boxes().front();
    EXPECT_EQ(box.icon, MessageIcon::Warning);
    EXPECT_TRUE(box.text.contains(path)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(GetParam().reason)) << box.text.toStdString();

    // The viewer's own instructions need no help file.
    EXPECT_TRUE(HelpViewer::Help(path, hcHelpOnHelp));
    EXPECT_EQ(Viewer()->CurrentPage(), HelpBrowser::HowToUseUrl);
    EXPECT_EQ(answers.Boxes().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HelpViewerBrokenFile,
    ::testing::Values(BrokenFileCase{"Missing", {}, "is missing"},
                      BrokenFileCase{"Truncated", SampleFile().left(200), "is damaged"},
                      BrokenFileCase{"NotAHelpFile", "\x89PNG\r\n\x1a\n\0\0\0", "is damaged"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HelpViewerTest, F1InAModalWindowOpensItsContextAndTheHelpTakesInput)
{
    // F1 in a widget inside a panel that carries the preview's help context.
    QDialog preview;
    auto* panel = new QWidget(&preview);
    panel->setProperty("HelpContext", 35);
    auto* button = new QPushButton("Zoom", panel);
    QPointer<HelpViewer> viewer;
    HelpViewer::SetApplicationHelpFile(path);
    QTimer::singleShot(0, &preview, [&] {
        QTest::keyClick(button, Qt::Key_F1);
        viewer = HelpViewer::Current();
        preview.close();
    });
    preview.exec();
    ASSERT_FALSE(viewer.isNull());
    EXPECT_EQ(viewer->parentWidget(), &preview);
    EXPECT_EQ(viewer->CurrentPage(), "topic:preview");
    // The next command outside the modal window frees it again.
    ASSERT_TRUE(HelpViewer::Help(path, hcContents));
    EXPECT_EQ(viewer->parentWidget(), nullptr);
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(HelpViewerTest, AnUnknownContextNumberIsReported)
{
    MessageBoxAnswerer answers;
    EXPECT_FALSE(HelpViewer::Help(path, hcContext, 36));
    ASSERT_EQ(answers.Boxes().size(), 1);
    EXPECT_EQ(answers.Boxes().front().text, "The help file has no topic for context number 36.");
}
