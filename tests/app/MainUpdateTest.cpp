// The main window's update command: the update centre on the configured host, a new window
// per opening, and the page fetched once per run.
#include "app/Main.h"
#include "controls/ExplBtn.h"
#include "platform/ProfileFile.h"
#include "tests/support/FindChild.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UpdateSeams.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>
#include <gtest/gtest.h>

namespace {
TEST(MainUpdate, OpensANewCentrePerCommandAndFetchesThePageOnce)
{
    TempProgramFolder folder;
    ScriptedSite site;
    UpdateSeams seams;
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml({{"version", "1.0.01"}}));
    TfrmMain w;
    w.show();
    auto* component = w.findChild<TWebFileInfo*>("WebFileInfo");
    ASSERT_EQ(component, Find<TWebFileInfo>(w, "WebFileInfo"));
    seams.Attach(*component);
    EXPECT_EQ(component->HomeURL(), "http://www.velmora.example/Torv/Torv.htm");
    ASSERT_TRUE(
        ProfileFile(w.IniFileName())
            .WriteString("Update", "Host", QString("127.0.0.1:%1").arg(site.Server().Port())));

    QStringList seen;
    QList<const void*> windows;
    auto closeWhenChecked = [&] {
        WhenWidgetShown(
            [](QWidget* window) {
                return window == frmUpdate && frmUpdate->btnRetrieveUpdate->isVisible();
            },
            [&](QWidget*) {
                seen << frmUpdate->lblUpdateStatus->text() + " " + frmUpdate->lblVersion->text();
                windows << frmUpdate;
                frmUpdate->btnClose->OnClick();
            });
    };
    closeWhenChecked();
    Find<TExplorerButton>(w, "btnUpdate")->OnClick();
    EXPECT_EQ(frmUpdate, nullptr);
    closeWhenChecked();
    Find<QAction>(w, "mnuHelpUpdate")->trigger();
    EXPECT_EQ(seen, (QStringList{"Update Information 1.0.01", "Update Information 1.0.01"}));
    EXPECT_EQ(site.RequestLines().size(), 1u);
    EXPECT_EQ(component->HomeURL(), site.Url("/Torv/Torv.htm"));
    EXPECT_TRUE(seams.boxes.isEmpty());

    // A host that is not one goes unused; the test run then refuses the maker's host.
    ASSERT_TRUE(ProfileFile(w.IniFileName()).WriteString("Update", "Host", "mirror/x?y"));
    // The check runs inside the centre's own loop, so the centre is closed from the polling
    // once the box is there (or after 10 s, which fails below), never by waiting inside it.
    QElapsedTimer clock;
    clock.start();
    bool closedAfterTheBox = false;
    WhenWidgetShown(
        [&](QWidget* window) {
            return window == frmUpdate && (!seams.boxes.isEmpty() || clock.elapsed() > 10000);
        },
        [&](QWidget*) {
            closedAfterTheBox = !seams.boxes.isEmpty();
            frmUpdate->btnClose->OnClick();
        },
        20000);
    Find<TExplorerButton>(w, "btnUpdate")->OnClick();
    EXPECT_TRUE(closedAfterTheBox);
    EXPECT_EQ(component->HomeURL(), "http://www.velmora.example/Torv/Torv.htm");
    EXPECT_EQ(
        seams.BoxTexts(),
        QStringList{"Tallyhorn: Get Info failed due to:\r\nA test run reaches only 127.0.0.1"});
    w.close();
}

// A page whose date cannot be read: the error reaches the program's trap once, and then
// nothing is left above the centre, which is a child of the main window and closes as usual;
// afterwards the main window takes input again.
TEST(MainUpdate, AnErrorInTheCheckLeavesTheCentreAndTheMainWindowWorking)
{
    TempProgramFolder folder;
    ScriptedSite site;
    UpdateSeams seams;
    site.SetDocument("/Torv/Torv.htm",
                     InfoPageHtml({{"version", "1.0.01"}, {"date", "06-04-1999"}}));
    TfrmMain w;
    w.show();
    seams.Attach(*Find<TWebFileInfo>(w, "WebFileInfo"));
    ASSERT_TRUE(
        ProfileFile(w.IniFileName())
            .WriteString("Update", "Host", QString("127.0.0.1:%1").arg(site.Server().Port())));

    bool centreOnTop = false;
    bool centreIsChild = false;
    WhenWidgetShown([&](QWidget* window) { return window == frmUpdate && !seams.boxes.isEmpty(); },
                    [&](QWidget*) {
                        centreOnTop = QApplication::activeModalWidget() == frmUpdate;
                        centreIsChild =
                            frmUpdate->parentWidget() == &w &&
                            frmUpdate->windowHandle()->transientParent() == w.windowHandle();
                        frmUpdate->btnClose->OnClick();
                    });
    Find<TExplorerButton>(w, "btnUpdate")->OnClick();
    EXPECT_EQ(seams.BoxTexts(), QStringList{"Information: An unidentified error has occurred."});
    EXPECT_TRUE(centreOnTop) << "the centre is the modal window, nothing above it";
    EXPECT_TRUE(centreIsChild);
    EXPECT_EQ(frmUpdate, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Find<TWebFileInfo>(w, "WebFileInfo")->WaitWindow(), nullptr);
    w.close();
}
} // namespace
