// The update information component against web sites on 127.0.0.1, with the message boxes,
// the save dialog and the shell answered by the test.
#include "update/WebFileInfo.h"

#include "calc/Errors.h"
#include "platform/Application.h"
#include "tests/support/UpdateSeams.h"
#include "update/PleaseWait.h"
#include "update/ReadMeWindow.h"
#include "update/WebDlProgress.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>

namespace {
using Connection = LoopbackServer::Connection;

// A key pair made for the test, signing like scripts/sign-update.
struct TestKey {
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    TestKey()
    {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
    }
    QString Public() const
    {
        return QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64();
    }
    std::string Sign(const std::string& data) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr,
                             reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                             secretKey);
        return QByteArray(reinterpret_cast<const char*>(signature), sizeof signature)
            .toBase64()
            .toStdString();
    }
};

std::string Release(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7919) % 251);
    return bytes;
}

struct WebFileInfoTest : ::testing::Test {
    ScriptedSite site;
    UpdateSeams seams;
    TestKey key;
    QTemporaryDir folder;
    std::unique_ptr<TWebFileInfo> wfi = std::make_unique<TWebFileInfo>();
    const std::string release = Release(200000);

    void SetUp() override
    {
        TWfiTags* tags = wfi->InfoTags();
        tags->AuthorTag = "author";
        tags->DateTag = "date";
        tags->DownloadTag = "url";
        tags->ProductNameTag = "name";
        tags->ReadMeTag = "readme";
        tags->RedirectTag = "redirect";
        tags->RunParamsTag = "runparams";
        tags->SignatureTag = "signature";
        tags->VersionTag = "version";
        wfi->SetCurrentVersion("1.0.00");
        wfi->SetHomeURL(site.Url("/Torv/Torv.htm"));
        wfi->SetPublicKey(key.Public());
        wfi->SetOptions({wfioDisplayReadMe, wfioRunUpdate});
        seams.saveAnswer = {true, folder.filePath("Torv101.zip"), 2};
    }
    // A page announcing `version` whose download is /dl/Torv101.zip, signed with the key.
    void Announce(const std::string& version, const std::string& extra = {})
    {
        std::vector<std::pair<std::string, std::string>> tags = {
            {"name", "Tallyhorn"},
            {"version", version},
            {"date", "May 3, 2000"},
            {"author", "Velmora Software"},
            {"url", site.Url("/dl/Torv101.zip").toStdString()},
            {"runparams", "/silent"},
            {"signature", key.Sign(release)}};
        if (!extra.empty())
            tags.emplace_back("readme", extra);
        site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    }
    QString Final() const { return folder.filePath("Torv101.zip"); }
    QString Part() const { return Final() + ".part"; }
};

TEST_F(WebFileInfoTest, ReadsThePageOnceAndKeepsItWhileActive)
{
    Announce("1.0.01");
    ASSERT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
    EXPECT_EQ(wfi->ProductName(), "Tallyhorn");
    EXPECT_EQ(wfi->ProductVersion(), "1.0.01");
    EXPECT_EQ(wfi->ProductDateStr(), "May 3, 2000");
    EXPECT_EQ(wfi->ProductDate(), QDate(2000, 5, 3));
    EXPECT_EQ(wfi->ProductAuthor(), "Velmora Software");
    EXPECT_EQ(wfi->RunParams(), "/silent");
    EXPECT_EQ(wfi->DownloadFileName(), "Torv101.zip");
    EXPECT_TRUE(wfi->IsNewerVersion());
    EXPECT_EQ(site.RequestLines(), std::vector<std::string>{"GET /Torv/Torv.htm HTTP/1.0"});

    ASSERT_TRUE(wfi->GetInfo());
    wfi->SetActive(true); // ignored
    ASSERT_TRUE(wfi->GetInfo());
    EXPECT_EQ(site.RequestLines().size(), 1u) << "a kept page is not fetched again";

    // Setting Active False, or a new address, fetches again; other addresses are ignored.
    wfi->SetActive(false);
    wfi->SetDateFormat(wfidNone);
    wfi->SetVersionFormat(wfivSimpleString);
    Announce("1.0.00b");
    ASSERT_TRUE(wfi->GetInfo());
    EXPECT_EQ(site.RequestLines().size(), 2u);
    EXPECT_FALSE(wfi->ProductDate().isValid());
    EXPECT_TRUE(wfi->IsNewerVersion()) << "as text, 1.0.00b sorts after 1.0.00";
    wfi->SetVersionFormat(wfivBuildNumber);
    EXPECT_FALSE(wfi->IsNewerVersion());

    const QString home = wfi->HomeURL();
    wfi->SetHomeURL("ftp://127.0.0.1/Torv/Torv.htm");
    wfi->SetHomeURL("http:/");
    EXPECT_EQ(wfi->HomeURL(), home);
    EXPECT_TRUE(wfi->Active());
    wfi->SetHomeURL(home);
    EXPECT_FALSE(wfi->Active());
    EXPECT_TRUE(wfi->Options().Contains(wfioDisplayUI)) << "always in force";
    EXPECT_TRUE(seams.boxes.isEmpty());
}

TEST_F(WebFileInfoTest, FollowsAtMostTenRedirectTags)
{
    // /p0 -> /p1 -> ... -> /pN, the last page announcing the version.
    auto chain = [this](int redirects) {
        for (int i = 0; i < redirects; ++i)
            site.SetDocument(
                "/p" + std::to_string(i),
                InfoPageHtml({{"version", "0.1"},
                              {"redirect", site.Url("/p" + std::to_string(i + 1)).toStdString()}}));
        site.SetDocument("/p" + std::to_string(redirects),
                         InfoPageHtml({{"version", "1.0.01"}, {"name", "end"}}));
    };
    chain(10);
    wfi->SetHomeURL(site.Url("/p0"));
    ASSERT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
    EXPECT_EQ(wfi->ProductName(), "end");
    EXPECT_EQ(wfi->ProductVersion(), "1.0.01");
    EXPECT_EQ(site.RequestLines().size(), 11u);

    chain(11);
    wfi->SetActive(false);
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "Too many redirections");
    EXPECT_TRUE(wfi->ProductVersion().isEmpty());

    site.SetDocument("/self", InfoPageHtml({{"redirect", site.Url("/self").toStdString()}}));
    wfi->SetHomeURL(site.Url("/self"));
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "Too many redirections");
    EXPECT_TRUE(seams.boxes.isEmpty());
}

TEST_F(WebFileInfoTest, RetrievalFailuresAreReportedAndLeaveNoValues)
{
    // A status above 200: the bare code in a plain box, the reason as LastError.
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "Not Found");
    ASSERT_EQ(seams.boxes.size(), 1);
    EXPECT_EQ(seams.boxes[0].text, "404");
    EXPECT_EQ(seams.boxes[0].caption, "Tallyhorn");
    EXPECT_EQ(seams.boxes[0].icon, MessageIcon::None);

    // A page beyond the size bound, and one that trickles beyond the time bound.
    wfi->MaxPageBytes = 4096;
    site.SetDocument("/Torv/Torv.htm", std::string(10000, 'x'));
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "The answer is larger than 4,096 bytes");
    wfi->PageTimeLimit = 200;
    site.Set("/Torv/Torv.htm", [](Connection& c) {
        c.Send("HTTP/1.0 200 OK\r\n\r\n<HTML>");
        c.WaitForRelease();
    });
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "No complete answer within 0.2 seconds");
    site.Server().Release();

    // A header line without end fails the request.
    site.Set("/Torv/Torv.htm", [](Connection& c) {
        c.Send("HTTP/1.0 200 OK\r\n" + std::string(9000, 'x'));
        c.WaitForPeerClose();
    });
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "HTTP line too long");

    // An HTTP fault raised by any handler while the page loads ends the wait at once.
    site.Set("/Torv/Torv.htm", [](Connection& c) {
        c.Send("HTTP/1.0 200 OK\r\n");
        c.WaitForRelease();
    });
    WhenWindowShown<TPleaseWait>([](TPleaseWait*) {
        Application::Guard(nullptr, [] { throw EHttpException("Simulated fault", 99); });
    });
    EXPECT_FALSE(wfi->GetInfo());
    site.Server().Release();
    EXPECT_EQ(wfi->LastError(), "Simulated fault");
    EXPECT_EQ(seams.BoxTexts().last(),
              "Exception: Error retrieving update information.\rException: Simulated fault.");
    EXPECT_FALSE(wfi->Active());
    EXPECT_TRUE(wfi->ProductVersion().isEmpty());

    // A date of another form is a conversion error for the caller.
    site.SetDocument("/Torv/Torv.htm",
                     InfoPageHtml({{"version", "1.0.01"}, {"date", "06-04-1999"}}));
    EXPECT_THROW(wfi->GetInfo(), calc::EConvertError);
    EXPECT_FALSE(wfi->Active());

    // Nothing to ask for.
    TWebFileInfo bare;
    EXPECT_FALSE(bare.GetInfo());
    bare.SetHomeURL(site.Url("/Torv/Torv.htm"));
    EXPECT_FALSE(bare.GetInfo());
    EXPECT_EQ(seams.BoxTexts().mid(seams.BoxTexts().size() - 2),
              (QStringList{"Missing Home URL: Can not retrieve version information\rbecause no "
                           "home url was provided.",
                           "Missing Tag Information: Can not retrieve version information\rbecause "
                           "no tag information was provided."}));
}

TEST_F(WebFileInfoTest, ExecuteUpdateDownloadsVerifiesAndOffersTheInstall)
{
    Announce("1.0.01");
    site.SetDocument("/dl/Torv101.zip", release, true, "application/zip");
    QStringList progress;
    QObject::connect(wfi.get(), &TWebFileInfo::OnDownloadProgress, wfi.get(),
                     [&](QObject*, qint64 received, qint64 size) {
                         TWebDlProgress* window = wfi->ProgressWindow();
                         progress << QString("%1/%2 %3 %4%")
                                         .arg(received)
                                         .arg(size)
                                         .arg(window->lblProgress->text())
                                         .arg(window->pbarProgress->value());
                         EXPECT_TRUE(window->isVisible());
                         EXPECT_EQ(window->lblDownloading->text(), "Downloading Update");
                     });

    EXPECT_TRUE(wfi->ExecuteUpdate()) << seams.BoxTexts().join("\n").toStdString();
    EXPECT_EQ(seams.BoxTexts(),
              (QStringList{"Update Available: Current version is 1.0.00.\rVersion 1.0.01 is "
                           "available.\rDownload the update?",
                           "Install Update: Do you want to install the update now?"}));
    ASSERT_EQ(seams.saveRequests.size(), 1);
    const SaveFileRequest& dialog = seams.saveRequests[0];
    EXPECT_EQ(dialog.fileName, "Torv101.zip");
    ASSERT_EQ(dialog.filters.size(), 3);
    EXPECT_EQ(dialog.filters[0].text, "Application (*.EXE)");
    EXPECT_EQ(dialog.filters[1].text, "Zipped File");
    EXPECT_EQ(dialog.filters[1].patterns, QStringList{"*.ZIP"});
    EXPECT_EQ(dialog.filters[2].text, "All Files (*.*)");
    EXPECT_EQ(DialogPatterns(dialog.filters[2]), QStringList{"*"});
    EXPECT_TRUE(dialog.overwritePrompt && dialog.folderMustExist);

    EXPECT_EQ(Sha256OfFile(Final()), Sha256OfBytes(release));
    EXPECT_FALSE(QFileInfo::exists(Part()));
    EXPECT_FALSE(QFileInfo(Final()).isExecutable());
    ASSERT_EQ(seams.opened.size(), 1);
    EXPECT_EQ(seams.opened[0].file, Final());
    EXPECT_TRUE(seams.opened[0].parameters.isEmpty());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), "200000/200000 200,000 of 200,000 bytes received. 100%");
    EXPECT_GE(progress.size(), 2) << "the body arrives in several blocks";
}

struct DownloadCase {
    const char* name;
    std::function<void(ScriptedSite&, const std::string& release)> serve;
    bool signedRelease;
    bool cancelOnFirstBlock;
    bool ok;
    const char* reason; // LastError
    qint64 partBytes;   // size of the kept .part file; -1 for none
    const char* lastProgress;
};

class Downloads : public WebFileInfoTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(Downloads, LandWholeOrKeepThePartWithAClearMessage)
{
    const DownloadCase& c = GetParam();
    Announce("1.0.01");
    if (!c.signedRelease)
        site.SetDocument("/Torv/Torv.htm",
                         InfoPageHtml({{"version", "1.0.01"},
                                       {"url", site.Url("/dl/Torv101.zip").toStdString()},
                                       {"signature", key.Sign("another file")}}));
    c.serve(site, release);
    QString lastProgress;
    QObject::connect(wfi.get(), &TWebFileInfo::OnDownloadProgress, wfi.get(), [&] {
        lastProgress = wfi->ProgressWindow()->lblProgress->text();
        if (c.cancelOnFirstBlock)
            wfi->ProgressWindow()->btnCancel->click();
    });
    wfi->SetOptions({}); // no read-me, no install offer

    EXPECT_EQ(wfi->ExecuteUpdate(), c.ok);
    EXPECT_EQ(wfi->LastError(), c.reason);
    EXPECT_EQ(lastProgress, c.lastProgress);
    EXPECT_EQ(QFileInfo::exists(Final()), c.ok);
    if (c.ok) {
        EXPECT_EQ(Sha256OfFile(Final()), Sha256OfBytes(release));
    }
    EXPECT_EQ(QFileInfo::exists(Part()) ? QFileInfo(Part()).size() : -1, c.partBytes);
    if (!c.ok) {
        QString text = QString("Download Error: Error occurred while downloading update.\r"
                               "Error: \"%1.\"")
                           .arg(c.reason);
        if (c.partBytes > 0)
            text += "\rThe part received is kept as " + Part() + ".";
        EXPECT_EQ(seams.BoxTexts().last(), text);
        EXPECT_EQ(seams.boxes.last().icon, MessageIcon::Warning);
    }
}

void Serve(ScriptedSite& site, const std::string& response)
{
    site.Set("/dl/Torv101.zip", [response](Connection& c) { c.Send(response); });
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, Downloads,
    ::testing::Values(
        DownloadCase{"WithoutContentLength",
                     [](ScriptedSite& s, const std::string& r) {
                         Serve(s, ScriptedSite::Ok(r, false, "application/zip"));
                     },
                     true, false, true, "", -1, "200,000 bytes received."},
        DownloadCase{"CutOffEarly",
                     [](ScriptedSite& s, const std::string& r) {
                         Serve(s, "HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" +
                                      r.substr(0, 50000));
                     },
                     true, false, false, "Connection closed before the whole document arrived",
                     50000, "50,000 of 200,000 bytes received."},
        DownloadCase{"NotFound", [](ScriptedSite&, const std::string&) {}, true, false, false,
                     "Not Found", -1, ""},
        DownloadCase{"BadSignature",
                     [](ScriptedSite& s, const std::string& r) { Serve(s, ScriptedSite::Ok(r)); },
                     false, false, false,
                     "The update is not signed by its maker; the file was removed", -1,
                     "200,000 of 200,000 bytes received."},
        DownloadCase{"CancelledWhileStalled",
                     [](ScriptedSite& s, const std::string& r) {
                         s.Set("/dl/Torv101.zip", [r](Connection& c) {
                             c.Send("HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" +
                                    r.substr(0, 1000));
                             c.WaitForPeerClose();
                         });
                     },
                     true, true, false, "Connection aborted on request", 1000,
                     "1,000 of 200,000 bytes received."},
        DownloadCase{"NoStatusLine",
                     [](ScriptedSite& s, const std::string& r) {
                         Serve(s, "Content-Type: application/zip\r\n\r\n" + r);
                     },
                     true, false, false, "The server's answer has no status line", 200000,
                     "200,000 bytes received."},
        DownloadCase{"Informational",
                     [](ScriptedSite& s, const std::string& r) {
                         Serve(s, "HTTP/1.0 102 Processing\r\nContent-Length: 200000\r\n\r\n" +
                                      r);
                     },
                     true, false, false, "Processing", 200000,
                     "200,000 of 200,000 bytes received."}),
    [](const auto& row) { return std::string(row.param.name); });
} // namespace

namespace {
TEST_F(WebFileInfoTest, ReadMeIsOfferedFirstAndShownInItsWindow)
{
    Announce("1.0.01", site.Url("/ReadMe.txt").toStdString());
    site.SetDocument("/ReadMe.txt", "What is new\r\nin 1.0.01\r\n", true, "text/plain");
    seams.answer = [](const MessageBoxRecord& box) {
        return box.text.endsWith("Download the update?") ? ModalResult::mrNo : ModalResult::mrYes;
    };
    QString shownText;
    QString caption;
    WhenWindowShown<TReadMeWindow>([&](TReadMeWindow* window) {
        shownText = window->Memo->toPlainText();
        caption = window->windowTitle();
        EXPECT_EQ(window->OkButton->text(), "&Ok");
        EXPECT_EQ(window->OkButton->geometry(),
                  QRect(window->width() / 2 - 34, window->height() - 56, 68, 22));
        window->OkButton->click();
    });
    EXPECT_FALSE(wfi->ExecuteUpdate());
    EXPECT_EQ(shownText, "What is new\nin 1.0.01\n");
    EXPECT_EQ(caption, "Read Me");
    EXPECT_EQ(seams.BoxTexts(),
              (QStringList{"Update Available: Current version is 1.0.00.\rVersion 1.0.01 is "
                           "available.\rWould you like to view the ReadMe file?",
                           "Update Available: Current version is 1.0.00.\rVersion 1.0.01 is "
                           "available.\rDownload the update?"}));
    EXPECT_TRUE(seams.saveRequests.isEmpty());
}

TEST_F(WebFileInfoTest, EveryReadMeIsShownAsTextAndNothingIsOpened)
{
    wfi->InfoTags()->ReadMeExtTag = "readmeext";
    auto page = [this](const std::string& ext) {
        site.SetDocument("/Torv/Torv.htm",
                         InfoPageHtml({{"version", "1.0.01"},
                                       {"readmeext", site.Url(ext).toStdString()},
                                       {"readme", site.Url("/ReadMe.txt").toStdString()}}));
    };
    page("/docs/Notes.exe");
    site.SetDocument("/docs/Notes.exe", "<h1>notes</h1>\r\n#!/bin/sh\r\n");
    site.SetDocument("/ReadMe.txt", "plain notes", true, "text/plain");
    QStringList shown;
    auto readOnce = [&] {
        WhenWindowShown<TReadMeWindow>([&](TReadMeWindow* window) {
            shown << window->Memo->toPlainText();
            window->OkButton->click();
        });
    };
    readOnce();
    ASSERT_TRUE(wfi->ShowReadMe(false));
    // The plain one stands in when the read-me-ext address fails, also with a status below 200.
    site.Set("/docs/Gone.htm", [](Connection& c) {
        c.Send("HTTP/1.0 101 Switching Protocols\r\n\r\n<b>not a read-me</b>");
    });
    page("/docs/Gone.htm");
    wfi->SetActive(false);
    readOnce();
    ASSERT_TRUE(wfi->ShowReadMe(false));
    EXPECT_EQ(shown, (QStringList{"<h1>notes</h1>\n#!/bin/sh\n", "plain notes"}));
    EXPECT_TRUE(seams.opened.isEmpty()) << "nothing from the server is handed to the shell";
    EXPECT_TRUE(seams.boxes.isEmpty());
}

TEST_F(WebFileInfoTest, InstallOfferStartsTheFileAndClosesTheProgram)
{
    Announce("1.0.01");
    site.SetDocument("/dl/Torv101.zip", release);
    wfi->SetOptions({wfioRunUpdate, wfioExitDuringUpdate});
    seams.saveAnswer = {true, folder.filePath("Torv101"), 1}; // no extension: ".EXE" added
    QWidget program;
    program.show();

    seams.shellResult = ShellErrorFileNotFound;
    EXPECT_TRUE(wfi->ExecuteUpdate()) << "the download itself succeeded";
    EXPECT_EQ(seams.BoxTexts().mid(1), (QStringList{"Install Update: Do you want to install "
                                                    "the update now?\rThis will close Tallyhorn.",
                                                    "Error: Can not start program."}));
    EXPECT_EQ(seams.opened.last().file, folder.filePath("Torv101.EXE"));
    EXPECT_TRUE(program.isVisible());

    seams.shellResult = 42;
    seams.saveAnswer = {true, folder.path() + "/", 3}; // a folder: the proposed name is added
    EXPECT_TRUE(wfi->ExecuteUpdate());
    EXPECT_EQ(seams.opened.last().file, folder.filePath("Torv101.zip"));
    EXPECT_TRUE(ProcessMessagesUntil([&] { return !program.isVisible(); }));

    // Already up to date: nothing to download.
    wfi->SetActive(false);
    Announce("1.0.00");
    seams.boxes.clear();
    EXPECT_FALSE(wfi->ExecuteUpdate());
    EXPECT_EQ(seams.BoxTexts(), QStringList{"No Update Found: There is no update available."});
    EXPECT_EQ(seams.boxes[0].icon, MessageIcon::Information);

    // No page: the connection error names the reason.
    wfi->SetHomeURL(site.Url("/missing.htm"));
    seams.boxes.clear();
    EXPECT_FALSE(wfi->ExecuteUpdate());
    EXPECT_EQ(seams.BoxTexts(),
              (QStringList{"Tallyhorn: 404", "Connection Error: Could not retrieve version "
                                             "information from the Internet.\rError: \"Not "
                                             "Found.\""}));
}
} // namespace

namespace {
struct PageStatusCase {
    const char* name;
    std::string response;
    const char* reason;
    QStringList boxes;
};

class PageStatus : public WebFileInfoTest, public ::testing::WithParamInterface<PageStatusCase> {};

TEST_P(PageStatus, OnlyTwoHundredIsSuccess)
{
    const std::string page = InfoPageHtml({{"version", "1.0.01"}});
    site.Set("/Torv/Torv.htm",
             [response = GetParam().response + page](Connection& c) { c.Send(response); });
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), GetParam().reason);
    EXPECT_TRUE(wfi->ProductVersion().isEmpty());
    EXPECT_EQ(seams.BoxTexts(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PageStatus,
    ::testing::Values(
        PageStatusCase{"NoStatusLine", "Content-Type: text/html\r\n\r\n",
                       "The server's answer has no status line", {}},
        PageStatusCase{"Continue", "HTTP/1.0 100 Continue\r\n\r\n", "Continue",
                       {"Tallyhorn: 100"}},
        PageStatusCase{"NoContent", "HTTP/1.0 204 No Content\r\n\r\n", "No Content",
                       {"Tallyhorn: 204"}}),
    [](const auto& row) { return std::string(row.param.name); });

// Whatever GetInfo or ExecuteUpdate raises, from any of their steps or from a handler while
// a transfer runs, reaches the application's trap once; the wait and progress windows are
// gone afterwards, nothing modal is left, and the next check works.
struct RaiseTest;
struct RaiseCase {
    const char* name;
    bool executeUpdate; // else GetInfo
    std::function<void(RaiseTest&)> arrange;
    const char* trapped;
};

struct RaiseTest : WebFileInfoTest, ::testing::WithParamInterface<RaiseCase> {
    QStringList trapped;
    Application::ExceptionHandler savedTrap = Application::instance()->OnException();

    void SetUp() override
    {
        WebFileInfoTest::SetUp();
        wfi->SetOptions({});
        Announce("1.0.01", site.Url("/ReadMe.txt").toStdString());
        site.SetDocument("/ReadMe.txt", "notes", true, "text/plain");
        site.SetDocument("/dl/Torv101.zip", release);
        Application::instance()->SetOnException(
            [this](QObject*, const std::exception& e) { trapped << e.what(); });
    }
    void TearDown() override { Application::instance()->SetOnException(savedTrap); }
    // The first box whose text contains `text` raises instead of being answered.
    void RaiseAtBox(const QString& text)
    {
        seams.answer = [text](const MessageBoxRecord& box) {
            if (box.text.contains(text))
                throw std::runtime_error("raised at " + text.toStdString());
            return box.buttons == MessageButtons::YesNo ? ModalResult::mrYes : ModalResult::mrOk;
        };
    }
    void RaiseInHandler()
    {
        Application::Guard(nullptr, [] { throw std::runtime_error("raised in a handler"); });
    }
};

TEST_P(RaiseTest, TakesTheWindowsDownAndReachesTheTrapOnce)
{
    GetParam().arrange(*this);
    Application::Guard(nullptr, [this] {
        if (GetParam().executeUpdate)
            wfi->ExecuteUpdate();
        else
            wfi->GetInfo();
    });
    site.Server().Release();
    EXPECT_EQ(trapped, QStringList{GetParam().trapped});
    // An error in a handler ends the transfer it interrupted, at once, as its failure.
    if (QString(GetParam().trapped).startsWith("raised in") ||
        QString(GetParam().trapped).startsWith("raised by")) {
        EXPECT_EQ(wfi->LastError(), GetParam().trapped);
    }
    EXPECT_EQ(wfi->WaitWindow(), nullptr);
    EXPECT_EQ(wfi->ProgressWindow(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();

    // The trap is the application's again, and the component checks anew.
    RaiseInHandler();
    EXPECT_EQ(trapped.size(), 2);
    seams.answer = nullptr;
    SetSaveFileHook([](const SaveFileRequest&) { return SaveFileAnswer{}; });
    SetShellOpenHook([](const ShellOpenRequest&) { return 42; });
    if (QString(GetParam().name).startsWith("Missing"))
        return; // a component without an address or tags has nothing to check
    Announce("1.0.01");
    wfi->SetHomeURL(site.Url("/Torv/Torv.htm"));
    wfi->SetActive(false);
    EXPECT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
    EXPECT_EQ(wfi->ProductVersion(), "1.0.01");
}

// A page whose answer is held back until the test releases it.
void StallPage(RaiseTest& t)
{
    t.site.Set("/Torv/Torv.htm", [](Connection& c) {
        c.Send("HTTP/1.0 200 OK\r\n");
        c.WaitForRelease();
    });
}

INSTANTIATE_TEST_SUITE_P(
    ExitPaths, RaiseTest,
    ::testing::Values(
        // GetInfo
        RaiseCase{"MissingHomeUrl", false,
                  [](RaiseTest& r) {
                      r.wfi = std::make_unique<TWebFileInfo>();
                      r.RaiseAtBox("no home url");
                  },
                  "raised at no home url"},
        RaiseCase{"MissingTags", false,
                  [](RaiseTest& r) {
                      r.wfi = std::make_unique<TWebFileInfo>();
                      r.wfi->SetHomeURL(r.site.Url("/Torv/Torv.htm"));
                      r.RaiseAtBox("no tag information");
                  },
                  "raised at no tag information"},
        RaiseCase{"StatusBox", false,
                  [](RaiseTest& r) {
                      r.wfi->SetHomeURL(r.site.Url("/missing.htm"));
                      r.RaiseAtBox("404");
                  },
                  "raised at 404"},
        RaiseCase{"UnreadableDate", false,
                  [](RaiseTest& r) {
                      r.site.SetDocument("/Torv/Torv.htm",
                                         InfoPageHtml({{"version", "2.0"}, {"date", "06-04-1999"}}));
                  },
                  "'06-04-1999' is not a valid date"},
        RaiseCase{"UnreadableDateAfterARedirect", false,
                  [](RaiseTest& r) {
                      r.site.SetDocument(
                          "/Torv/Torv.htm",
                          InfoPageHtml({{"redirect", r.site.Url("/next.htm").toStdString()}}));
                      r.site.SetDocument("/next.htm",
                                         InfoPageHtml({{"version", "2.0"}, {"date", "2026-12-01"}}));
                  },
                  "'2026-12-01' is not a valid date"},
        RaiseCase{"HandlerWhileThePageLoads", false,
                  [](RaiseTest& r) {
                      StallPage(r);
                      WhenWindowShown<TPleaseWait>([&r](TPleaseWait*) { r.RaiseInHandler(); });
                  },
                  "raised in a handler"},
        // ExecuteUpdate
        RaiseCase{"ConnectionErrorBox", true,
                  [](RaiseTest& r) {
                      r.wfi->SetHomeURL(r.site.Url("/missing.htm"));
                      r.RaiseAtBox("Could not retrieve");
                  },
                  "raised at Could not retrieve"},
        RaiseCase{"NoUpdateBox", true,
                  [](RaiseTest& r) {
                      r.Announce("1.0.00");
                      r.RaiseAtBox("no update available");
                  },
                  "raised at no update available"},
        RaiseCase{"ReadMeOffer", true,
                  [](RaiseTest& r) {
                      r.wfi->SetOptions({wfioDisplayReadMe});
                      r.RaiseAtBox("view the ReadMe");
                  },
                  "raised at view the ReadMe"},
        RaiseCase{"ReadMeLoading", true,
                  [](RaiseTest& r) {
                      r.wfi->SetOptions({wfioDisplayReadMe});
                      r.site.Set("/ReadMe.txt", [](Connection& c) {
                          c.Send("HTTP/1.0 200 OK\r\n");
                          c.WaitForRelease();
                      });
                      WhenWindowShown<TPleaseWait>([&r](TPleaseWait*) { r.RaiseInHandler(); });
                      r.seams.answer = [](const MessageBoxRecord& box) {
                          return box.text.endsWith("Download the update?") ? ModalResult::mrNo
                                                                           : ModalResult::mrYes;
                      };
                  },
                  "raised in a handler"},
        RaiseCase{"DownloadOffer", true, [](RaiseTest& r) { r.RaiseAtBox("Download the update"); },
                  "raised at Download the update"},
        RaiseCase{"SaveDialog", true,
                  [](RaiseTest&) {
                      SetSaveFileHook([](const SaveFileRequest&) -> SaveFileAnswer {
                          throw std::runtime_error("the save dialog failed");
                      });
                  },
                  "the save dialog failed"},
        RaiseCase{"ProgressHandler", true,
                  [](RaiseTest& r) {
                      r.site.Set("/dl/Torv101.zip", [bytes = r.release](Connection& c) {
                          c.Send("HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" +
                                 bytes.substr(0, 1000));
                          c.WaitForRelease();
                      });
                      QObject::connect(r.wfi.get(), &TWebFileInfo::OnDownloadProgress, r.wfi.get(),
                                       [] { throw std::runtime_error("raised by a progress slot"); });
                  },
                  "raised by a progress slot"},
        RaiseCase{"DownloadErrorBox", true,
                  [](RaiseTest& r) {
                      r.site.Set("/dl/Torv101.zip",
                                 [](Connection& c) { c.Send("HTTP/1.0 410 Gone\r\n\r\n"); });
                      r.RaiseAtBox("Error occurred while downloading");
                  },
                  "raised at Error occurred while downloading"},
        RaiseCase{"InstallOffer", true,
                  [](RaiseTest& r) {
                      r.wfi->SetOptions({wfioRunUpdate});
                      r.RaiseAtBox("install the update now");
                  },
                  "raised at install the update now"},
        RaiseCase{"ShellOpen", true,
                  [](RaiseTest& r) {
                      r.wfi->SetOptions({wfioRunUpdate});
                      SetShellOpenHook([](const ShellOpenRequest&) -> int {
                          throw std::runtime_error("the desktop failed");
                      });
                  },
                  "the desktop failed"},
        RaiseCase{"CannotStartBox", true,
                  [](RaiseTest& r) {
                      r.wfi->SetOptions({wfioRunUpdate});
                      r.seams.shellResult = ShellErrorFileNotFound;
                      r.RaiseAtBox("Can not start program");
                  },
                  "raised at Can not start program"}),
    [](const auto& row) { return std::string(row.param.name); });
} // namespace
