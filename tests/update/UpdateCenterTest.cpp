// The update centre window: its states after the check, that its Close button and Escape end
// it (the window manager does not), and its keys.
#include "controls/ExplBtn.h"
#include "tests/support/SignedRelease.h"
#include "tests/support/UpdateSeams.h"
#include "update/PleaseWait.h"
#include "update/ReadMeWindow.h"
#include "update/Update.h"
#include "update/WebDlProgress.h"
#include "update/WebFileInfo.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {
using Connection = LoopbackServer::Connection;

struct UpdateCenterTest : ::testing::Test {
    ScriptedSite site;
    UpdateSeams seams;
    TWebFileInfo wfi;
    std::unique_ptr<TfrmUpdate> form;

    void SetUp() override
    {
        wfi.InfoTags()->VersionTag = "version";
        wfi.InfoTags()->DateTag = "date";
        wfi.SetCurrentVersion(TfrmUpdate::RunningVersion);
        wfi.SetHomeURL(site.Url("/Torv/Torv.htm"));
        seams.Attach(wfi);
    }
    void Announce(const std::string& version)
    {
        site.SetDocument("/Torv/Torv.htm",
                         InfoPageHtml({{"version", version}, {"date", "May 3, 2000"}}));
    }
    // Shows the window and waits until its check has run.
    void Open()
    {
        form = std::make_unique<TfrmUpdate>(&wfi);
        form->show();
        ASSERT_TRUE(ProcessMessagesUntil([this] {
            return form->lblUpdateStatus->text() != "Update Status:  Unknown" ||
                   !seams.boxes.isEmpty();
        }));
    }
    static QColor Colour(QLabel* label) { return label->palette().color(QPalette::WindowText); }
};

struct StateCase {
    const char* name;
    const char* version;
    const char* status;
    bool retrieve;
};

class UpdateCenterStates : public UpdateCenterTest,
                           public ::testing::WithParamInterface<StateCase> {};

TEST_P(UpdateCenterStates, ShowTheServersVersionAndOfferNewerOnes)
{
    Announce(GetParam().version);
    Open();
    EXPECT_EQ(form->lblUpdateStatus->text(), GetParam().status);
    EXPECT_EQ(Colour(form->lblUpdateStatus), QColor(255, 0, 0));
    EXPECT_EQ(form->lblVersion->text(), GetParam().version);
    EXPECT_EQ(Colour(form->lblVersion), QColor(0, 0, 255));
    // What the page says is shown as text, one line high, never drawn as markup.
    EXPECT_EQ(form->lblVersion->textFormat(), Qt::PlainText);
    EXPECT_LT(form->lblVersion->height(), 20);
    // However long, it ends short of the picture.
    EXPECT_LT(form->lblVersion->geometry().right(), form->Image1->x());
    EXPECT_EQ(form->lblDate->text(), "May 3, 2000");
    EXPECT_FALSE(form->lblDate->isVisible());
    EXPECT_EQ(form->btnRetrieveUpdate->isVisible(), GetParam().retrieve);
    EXPECT_FALSE(form->btnCheckForUpdate->isVisible());
    EXPECT_TRUE(seams.boxes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, UpdateCenterStates,
    ::testing::Values(StateCase{"Newer", "1.0.01", "Update Information", true},
                      StateCase{"Same", "1.0.00", "No Update Available", false},
                      StateCase{"NotNumeric", "beta two", "No Update Available", false},
                      StateCase{"LongNewer", "1.0.01.2000.0503.1742.release.candidate.7",
                                "Update Information", true},
                      StateCase{"Markup", "<h1 style=color:red>2.0 FREE!</h1>",
                                "No Update Available", false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(UpdateCenterTest, FailureKeepsTheInitialTextsAndNamesTheReason)
{
    Open();
    ASSERT_TRUE(ProcessMessagesUntil([this] { return seams.boxes.size() == 2; }));
    EXPECT_EQ(seams.BoxTexts(),
              (QStringList{"Tallyhorn: 404", "Tallyhorn: Get Info failed due to:\r\nNot Found"}));
    EXPECT_EQ(form->lblUpdateStatus->text(), "Update Status:  Unknown");
    EXPECT_EQ(form->lblVersion->text(), "Status Unknown");
    EXPECT_EQ(Colour(form->lblVersion), QColor(192, 192, 192));
    EXPECT_EQ(form->lblCurrentVersion->text(), "1.0.00");
    EXPECT_EQ(form->lblCurrentCompileDate->text(), "April 6, 1999");
}

TEST_F(UpdateCenterTest, OnlyTheCloseButtonAndEscapeEndTheWindow)
{
    Announce("1.0.01");
    form = std::make_unique<TfrmUpdate>(&wfi);
    EXPECT_EQ(form->windowTitle(), "Velmora Software Update Center");
    EXPECT_EQ(form->size(), QSize(411, 223));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->Image1->geometry(), QRect(238, 25, 144, 155));
    EXPECT_EQ(form->Image1->pixmap().size(), QSize(144, 155));
    // What a screen reader is told: the picture's name, and each value labelled by its caption.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Image1)->text(QAccessible::Name),
              "Update Center picture");
    for (QLabel* value : {form->lblApplicationName, form->lblDeveloper, form->lblCurrentVersion,
                          form->lblCurrentCompileDate, form->lblReadMe, form->lblURL, form->lblDate,
                          form->lblVersion}) {
        QStringList labelledBy;
        for (const auto& [other, relation] :
             QAccessible::queryAccessibleInterface(value)->relations(QAccessible::Label))
            labelledBy << other->text(QAccessible::Name);
        EXPECT_EQ(labelledBy.size(), 1) << value->objectName().toStdString();
        EXPECT_TRUE(labelledBy.value(0).endsWith(':')) << labelledBy.join('|').toStdString();
    }
    EXPECT_EQ(form->btnClose->geometry(), QRect(274, 196, 131, 25));
    EXPECT_EQ(form->btnClose->Caption(), " &Close Update Center");
    EXPECT_EQ(form->lblVersion->pos(), QPoint(157, 153));

    bool windowManagerTried = false;
    // Once the check has offered the update, the user tries the window manager's close, then
    // Escape, which is Close.
    WhenWidgetShown(
        [&](QWidget* w) { return w == form.get() && form->btnRetrieveUpdate->isVisible(); },
        [&](QWidget*) {
            QCloseEvent close; // as the window manager sends it
            QSpontaneKeyEvent::setSpontaneous(&close);
            QApplication::sendEvent(form.get(), &close);
            windowManagerTried = form->InModalLoop() && form->isVisible();
            QTest::keyClick(form.get(), Qt::Key_Escape);
        });
    EXPECT_EQ(form->ShowModal(), ModalResult::mrOk);
    EXPECT_TRUE(windowManagerTried);
    EXPECT_FALSE(form->isVisible());

    // Shown again, it checks again, from the kept values.
    form->show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return form->btnRetrieveUpdate->isVisible(); }));
    EXPECT_EQ(site.RequestLines().size(), 1u);
}

// The centre opens on Close; Tab goes round its buttons, Space presses the one focused, and
// Escape is Close except while the check runs.
TEST_F(UpdateCenterTest, TheKeyboardReachesTheButtonsAndEscapeWaitsForTheCheck)
{
    site.Set("/Torv/Torv.htm", [](Connection& c) {
        const std::string response =
            ScriptedSite::Ok(InfoPageHtml({{"version", "1.0.01"}, {"date", "May 3, 2000"}}));
        c.Send(response.substr(0, 17));
        c.WaitForRelease();
        c.Send(response.substr(17));
    });
    bool escapeDuringCheck = false;
    WhenWindowShown<TPleaseWait>([&](TPleaseWait*) {
        QTest::keyClick(form.get(), Qt::Key_Escape);
        escapeDuringCheck = form->isVisible();
        site.Server().Release();
    });
    form = std::make_unique<TfrmUpdate>(&wfi);
    EXPECT_EQ(form->focusWidget(), form->btnClose);
    form->show();
    ASSERT_TRUE(ProcessMessagesUntil([&] {
        return form->btnRetrieveUpdate->isVisible() && QApplication::activeWindow() == form.get();
    }));
    EXPECT_TRUE(escapeDuringCheck);
    QStringList focus;
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(form->windowHandle(), k, modifiers);
        QApplication::processEvents();
        focus << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "");
    };
    focus << QApplication::focusWidget()->objectName();
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focus,
              QStringList({"btnClose", "btnRetrieveUpdate", "btnClose", "btnRetrieveUpdate"}));
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    EXPECT_FALSE(form->isVisible());
}

// The component's wait and progress windows, its boxes, dialogs and read-me window belong to
// the centre and are transient for it, so that the window manager keeps them together above
// the main window.
TEST_F(UpdateCenterTest, TheComponentsWindowsBelongToTheCentre)
{
    QTemporaryDir folder;
    wfi.InfoTags()->DownloadTag = "url";
    wfi.InfoTags()->ReadMeTag = "readme";
    wfi.InfoTags()->ManifestTag = "manifest";
    wfi.InfoTags()->SignatureTag = "signature";
    wfi.SetOptions({wfioDisplayReadMe, wfioRunUpdate});
    // A signed release, so that the download starts and its progress window shows.
    const TestKey key;
    wfi.SetPublicKey(key.Public());
    const std::string release(4096, 'x');
    std::vector<std::pair<std::string, std::string>> tags = {
        {"version", "1.0.01"},
        {"url", site.Url("/dl/Torv101.zip").toStdString()},
        {"readme", site.Url("/ReadMe.txt").toStdString()}};
    for (const auto& tag : SignedTags(ManifestText("1.0.01", release), key))
        tags.push_back(tag);
    const std::string page = InfoPageHtml(tags);
    // Each answer is held back until the window watching it has been looked at.
    auto held = [](const std::string& response) {
        return [response](Connection& c) {
            c.Send(response.substr(0, 17));
            c.WaitForRelease();
            c.Send(response.substr(17));
        };
    };
    site.Set("/Torv/Torv.htm", held(ScriptedSite::Ok(page)));
    site.SetDocument("/dl/Torv101.zip", release);
    site.SetDocument("/ReadMe.txt", "notes", true, "text/plain");
    seams.saveAnswer = {true, folder.filePath("Torv101.zip"), 3};

    QStringList owners;
    auto record = [&](QWidget* window) {
        const QWindow* handle = window->windowHandle();
        owners << QString("%1 %2 %3")
                      .arg(window->metaObject()->className())
                      .arg(window->parentWidget() == form.get())
                      .arg(handle && handle->transientParent() == form->windowHandle());
    };
    WhenWindowShown<TPleaseWait>([&](TPleaseWait* w) {
        record(w);
        site.Server().Release();
    });
    form = std::make_unique<TfrmUpdate>(&wfi);
    form->show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return form->btnRetrieveUpdate->isVisible(); }));

    WhenWindowShown<TReadMeWindow>([&](TReadMeWindow* w) {
        record(w);
        w->OkButton->click();
    });
    QObject::connect(&wfi, &TWebFileInfo::OnDownloadProgress, form.get(), [&] {
        if (TWebDlProgress* w = wfi.ProgressWindow(); w && !w->Cancelled) {
            record(w);
            w->btnCancel->click();
        }
    });
    form->btnRetrieveUpdate->OnClick();
    EXPECT_EQ(owners, (QStringList{"TPleaseWait 1 1", "TReadMeWindow 1 1", "TWebDlProgress 1 1"}));
    ASSERT_EQ(seams.boxes.size(), 3) << seams.BoxTexts().join("\n").toStdString();
    for (const MessageBoxRecord& box : seams.boxes)
        EXPECT_EQ(box.owner, form.get()) << box.text.toStdString();
    ASSERT_EQ(seams.saveRequests.size(), 1);
    EXPECT_EQ(seams.saveRequests[0].owner, form.get());
    EXPECT_EQ(wfi.WindowParent(), form.get());
    form.reset();
    EXPECT_EQ(wfi.WindowParent(), nullptr) << "the centre gives its windows back";
}

// Calls `onShow` whenever a window of type T is about to be shown.
template <typename T> struct ShowWatch : QObject {
    std::function<void()> onShow;
    explicit ShowWatch(std::function<void()> f) : onShow(std::move(f))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<T*>(watched))
            onShow();
        return false;
    }
};

// The check starts once the centre is the active window: its "Please Wait" window shown over a
// centre not yet active would leave the main window taken for the active one, and the centre's
// keys dead. After the check, and after every way the update can end short, Alt+R and Alt+C
// work.
TEST_F(UpdateCenterTest, TheCheckWaitsForTheActivationAndTheKeysWorkAfterEveryFailure)
{
    QWidget main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return QApplication::activeWindow() == &main; }));
    QList<bool> centreActiveAtWait;
    ShowWatch<TPleaseWait> watch([&] { centreActiveAtWait << form->isActiveWindow(); });
    auto alt = [this](Qt::Key key) { QTest::keyClick(form.get(), key, Qt::AltModifier); };

    // The page cannot be had: the failure's boxes, then Alt+C.
    form = std::make_unique<TfrmUpdate>(&wfi);
    form->show();
    ASSERT_TRUE(ProcessMessagesUntil([this] { return seams.boxes.size() == 2; }));
    ASSERT_TRUE(
        ProcessMessagesUntil([this] { return QApplication::activeWindow() == form.get(); }));
    alt(Qt::Key_C);
    EXPECT_FALSE(form->isVisible());

    // A signed release whose download is missing.
    wfi.InfoTags()->DownloadTag = "url";
    wfi.InfoTags()->ManifestTag = "manifest";
    wfi.InfoTags()->SignatureTag = "signature";
    wfi.SetOptions({});
    const TestKey key;
    wfi.SetPublicKey(key.Public());
    std::vector<std::pair<std::string, std::string>> tags = {
        {"version", "1.0.01"}, {"url", site.Url("/dl/Torv101.zip").toStdString()}};
    for (const auto& tag : SignedTags(ManifestText("1.0.01", "release"), key))
        tags.push_back(tag);
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    QTemporaryDir folder;
    seams.saveAnswer = {true, folder.filePath("Torv101.zip"), 3};
    form = std::make_unique<TfrmUpdate>(&wfi);
    form->show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return form->btnRetrieveUpdate->isVisible(); }));
    EXPECT_EQ(centreActiveAtWait, (QList<bool>{true, true}));

    const QString offer =
        "Update Available: Current version is 1.0.00.\rVersion 1.0.01 is available.\r"
        "Download the update?";
    const struct {
        const char* name;
        std::function<void()> arrange;
        QStringList boxes; // after the offer
        int saveDialogs;
    } endings[] = {
        {"declined",
         [&] { seams.answer = [](const MessageBoxRecord&) { return ModalResult::mrNo; }; },
         {},
         0},
        {"save cancelled", [&] { seams.saveAnswer.accepted = false; }, {}, 1},
        {"download failed",
         [&] { seams.saveAnswer.accepted = true; },
         {"Download Error: Error occurred while downloading update.\rError: \"Not Found.\""},
         1},
    };
    for (const auto& ending : endings) {
        seams.answer = nullptr;
        ending.arrange();
        seams.boxes.clear();
        seams.saveRequests.clear();
        alt(Qt::Key_R);
        EXPECT_EQ(seams.BoxTexts(), QStringList{offer} + ending.boxes) << ending.name;
        EXPECT_EQ(seams.saveRequests.size(), ending.saveDialogs) << ending.name;
        ASSERT_TRUE(ProcessMessagesUntil([this] {
            return QApplication::activeWindow() == form.get();
        })) << ending.name;
    }
    alt(Qt::Key_C);
    EXPECT_FALSE(form->isVisible());
}
} // namespace
