// The update information component against web sites on 127.0.0.1, with the message boxes,
// the save dialog and the shell answered by the test.
#include "update/WebFileInfo.h"

#include "calc/Errors.h"
#include "platform/Application.h"
#include "tests/support/FailingDevice.h"
#include "tests/support/SignedRelease.h"
#include "tests/support/StubNameResolver.h"
#include "tests/support/TrapRecorder.h"
#include "tests/support/UpdateSeams.h"
#include "update/PleaseWait.h"
#include "update/ReadMeWindow.h"
#include "update/WebDlProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
using Connection = LoopbackServer::Connection;

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
        tags->ManifestTag = "manifest";
        tags->SignatureTag = "signature";
        tags->VersionTag = "version";
        wfi->SetCurrentVersion("1.0.00");
        wfi->SetHomeURL(site.Url("/Torv/Torv.htm"));
        wfi->SetPublicKey(key.Public());
        wfi->SetOptions({wfioDisplayReadMe, wfioRunUpdate});
        seams.Attach(*wfi);
        seams.saveAnswer = {true, folder.filePath("Torv101.zip"), 2};
    }
    // A page announcing `version` whose download is /dl/Torv101.zip, described by a manifest
    // signed with the key.
    void Announce(const std::string& version, const std::string& extra = {})
    {
        std::vector<std::pair<std::string, std::string>> tags = {
            {"name", "Tallyhorn"},
            {"version", version},
            {"date", "May 3, 2000"},
            {"author", "Velmora Software"},
            {"url", site.Url("/dl/Torv101.zip").toStdString()},
            {"runparams", "/silent"}};
        for (const auto& tag : SignedTags(ManifestText(version, release), key))
            tags.push_back(tag);
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

// Each component's requests take its own resolver, though all go through the one client.
TEST_F(WebFileInfoTest, EachComponentsRequestsUseItsOwnResolver)
{
    Announce("1.0.01");
    const QString byName =
        "http://localhost:" + QString::number(site.Server().Port()) + "/Torv/Torv.htm";
    wfi->SetHomeURL(byName);
    wfi->SetNameResolver(StubNameResolver("update.example", {"127.0.0.1"}));
    TWebFileInfo other;
    other.InfoTags()->VersionTag = "version";
    other.SetHomeURL(byName);
    other.SetNameResolver(StubNameResolver("localhost", {"127.0.0.1"}));

    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "can't resolve hostname to IP address");
    EXPECT_TRUE(other.GetInfo()) << other.LastError().toStdString();
    EXPECT_EQ(other.ProductVersion(), "1.0.01");
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(site.RequestLines(), std::vector<std::string>{"GET /Torv/Torv.htm HTTP/1.0"});
    EXPECT_EQ(seams.BoxTexts(), (QStringList{"Tallyhorn: 404", "Tallyhorn: 404"}));
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
    const char* reason;       // LastError
    qint64 partBytes;         // size of the kept .part file; -1 for none
    const char* lastProgress; // null: not checked (it depends on how the blocks arrive)
};

class Downloads : public WebFileInfoTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(Downloads, LandWholeOrKeepThePartWithAClearMessage)
{
    const DownloadCase& c = GetParam();
    Announce("1.0.01");
    if (!c.signedRelease) {
        std::vector<std::pair<std::string, std::string>> tags = {
            {"version", "1.0.01"}, {"url", site.Url("/dl/Torv101.zip").toStdString()}};
        for (const auto& tag : SignedTags(ManifestText("1.0.01", release), TestKey()))
            tags.push_back(tag);
        site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    }
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
    if (c.lastProgress) {
        EXPECT_EQ(lastProgress, c.lastProgress);
    }
    EXPECT_EQ(QFileInfo::exists(Final()), c.ok);
    if (c.ok) {
        EXPECT_EQ(Sha256OfFile(Final()), Sha256OfBytes(release));
    }
    EXPECT_EQ(QFileInfo::exists(Part()) ? QFileInfo(Part()).size() : -1, c.partBytes);
    if (!c.ok) {
        // An unsigned release is refused before anything is downloaded.
        QString text = QString("Download Error: %1\rError: \"%2.\"")
                           .arg(c.signedRelease ? "Error occurred while downloading update."
                                                : "The update cannot be downloaded.",
                                c.reason);
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

INSTANTIATE_TEST_SUITE_P(Outcomes, Downloads,
                         ::testing::Values(
                             DownloadCase{"WithoutContentLength",
                                          [](ScriptedSite& s, const std::string& r) {
                                              Serve(s,
                                                    ScriptedSite::Ok(r, false, "application/zip"));
                                          },
                                          true, false, true, "", -1, "200,000 bytes received."},
                             DownloadCase{
                                 "CutOffEarly",
                                 [](ScriptedSite& s, const std::string& r) {
                                     Serve(s, "HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" +
                                                  r.substr(0, 50000));
                                 },
                                 true, false, false,
                                 "Connection closed before the whole document arrived", 50000,
                                 "50,000 of 200,000 bytes received."},
                             DownloadCase{"NotFound", [](ScriptedSite&, const std::string&) {},
                                          true, false, false, "Not Found", -1, ""},
                             DownloadCase{"BadSignatureFetchesNothing",
                                          [](ScriptedSite& s, const std::string& r) {
                                              Serve(s, ScriptedSite::Ok(r));
                                          },
                                          false, false, false,
                                          "The update is not signed by its maker", -1, ""},
                             DownloadCase{"AnotherFileOfTheSignedSize",
                                          [](ScriptedSite& s, const std::string& r) {
                                              std::string other = r;
                                              other[123456] ^= 1;
                                              Serve(s, ScriptedSite::Ok(other));
                                          },
                                          true, false, false,
                                          "The download is not the file its maker signed; the file "
                                          "was removed",
                                          -1, "200,000 of 200,000 bytes received."},
                             DownloadCase{"EndlessWithoutLength",
                                          [](ScriptedSite& s, const std::string& r) {
                                              s.Set("/dl/Torv101.zip", [r](Connection& c) {
                                                  c.Send("HTTP/1.0 200 OK\r\n\r\n" + r);
                                                  for (int i = 0; i < 400;
                                                       ++i) // 100 MiB unless the client stops
                                                      c.Send(std::string(256 * 1024, 'x'));
                                              });
                                          },
                                          true, false, false,
                                          "The download is larger than the 200,000 bytes of the "
                                          "signed update",
                                          -1, nullptr},
                             DownloadCase{"LargerAnnounced",
                                          [](ScriptedSite& s, const std::string& r) {
                                              s.Set("/dl/Torv101.zip", [r](Connection& c) {
                                                  c.Send("HTTP/1.0 200 OK\r\nContent-Length: "
                                                         "1000000000000\r\n\r\n" +
                                                         r);
                                                  c.WaitForPeerClose();
                                              });
                                          },
                                          true, false, false,
                                          "The download is larger than the 200,000 bytes of the "
                                          "signed update",
                                          -1, ""},
                             DownloadCase{
                                 "ShorterAnnounced",
                                 [](ScriptedSite& s, const std::string& r) {
                                     Serve(s, "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" +
                                                  r.substr(0, 100000));
                                 },
                                 true, false, false,
                                 "The download ended after 100,000 of 200,000 bytes", 100000,
                                 "100,000 of 100,000 bytes received."},
                             DownloadCase{
                                 "CancelledWhileStalled",
                                 [](ScriptedSite& s, const std::string& r) {
                                     s.Set("/dl/Torv101.zip", [r](Connection& c) {
                                         c.Send(
                                             "HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" +
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
                                          true, false, false,
                                          "The server's answer has no status line", 200000,
                                          "200,000 bytes received."},
                             // Without a status line the answer is read as header lines: the file's
                             // bytes, or a header whose announced body is cut short.
                             DownloadCase{"NoHeaderAtAll",
                                          [](ScriptedSite& s, const std::string& r) {
                                              Serve(s, r);
                                          },
                                          true,
                                          false, false, "The server's answer has no status line",
                                          -1, ""},
                             DownloadCase{"NoStatusLineCutShort",
                                          [](ScriptedSite& s, const std::string& r) {
                                              Serve(s, "Content-Length: 200000\r\n\r\n" +
                                                           r.substr(0, 50000));
                                          },
                                          true,
                                          false, false, "The server's answer has no status line",
                                          50000, "50,000 of 200,000 bytes received."},
                             DownloadCase{"Informational",
                                          [](ScriptedSite& s, const std::string& r) {
                                              Serve(s, "HTTP/1.0 102 Processing\r\nContent-Length: "
                                                       "200000\r\n\r\n" +
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
// Requests for the download that reached the site.
int DownloadRequests(ScriptedSite& site)
{
    int n = 0;
    for (const std::string& line : site.RequestLines())
        n += line.find("/dl/") != std::string::npos;
    return n;
}

TEST_F(WebFileInfoTest, OnlyASignedManifestOfANewerReleaseOfThisFileIsDownloaded)
{
    site.SetDocument("/dl/Torv101.zip", release);
    const TestKey stranger;
    struct Row {
        const char* name;
        std::string pageVersion;
        std::vector<std::pair<std::string, std::string>> signedTags;
        QString publicKey; // "*" = the test's key
        const char* reason;
    };
    const Row rows[] = {
        {"replayed older release announced as newer", "9.9",
         SignedTags(ManifestText("1.0.01", release), key), "*",
         "The signed update is version 1.0.01, not the version 9.9 the page announces"},
        {"older release, honestly announced", "0.9", SignedTags(ManifestText("0.9", release), key),
         "*", "The signed update is version 0.9, which is not newer than 1.0.00"},
        {"another product", "1.0.01",
         SignedTags(ManifestText("1.0.01", release, "Torv101.zip", "Otherware"), key), "*",
         "The signed update is for another product (Otherware)"},
        {"another file", "1.0.01", SignedTags(ManifestText("1.0.01", release, "Torv100.zip"), key),
         "*", "The signed update is the file Torv100.zip, not the Torv101.zip the page offers"},
        {"signed by another key", "1.0.01", SignedTags(ManifestText("1.0.01", release), stranger),
         "*", "The update is not signed by its maker"},
        {"no manifest", "1.0.01", {}, "*", "The update carries no signature of its maker"},
        {"no key in this copy", "1.0.01", SignedTags(ManifestText("1.0.01", release), key), "",
         "This copy of the program has no key to check updates with, so it cannot install them"},
    };
    for (const Row& row : rows) {
        std::vector<std::pair<std::string, std::string>> tags = {
            {"version", row.pageVersion}, {"url", site.Url("/dl/Torv101.zip").toStdString()}};
        tags.insert(tags.end(), row.signedTags.begin(), row.signedTags.end());
        site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
        wfi->SetPublicKey(row.publicKey == "*" ? key.Public() : row.publicKey);
        wfi->SetActive(false);
        // The check itself still reports the version.
        ASSERT_TRUE(wfi->GetInfo()) << row.name;
        EXPECT_EQ(wfi->ProductVersion().toStdString(), row.pageVersion) << row.name;
        EXPECT_FALSE(wfi->DownloadUpdateTo(Final())) << row.name;
        EXPECT_EQ(wfi->LastError(), row.reason) << row.name;
        // Asked for interactively, the refusal comes before the question where to save it.
        EXPECT_FALSE(wfi->ExecuteUpdate()) << row.name;
        EXPECT_EQ(seams.BoxTexts().last(),
                  wfi->IsNewerVersion()
                      ? QString("Download Error: The update cannot be downloaded.\r"
                                "Error: \"%1.\"")
                            .arg(row.reason)
                      : QString("No Update Found: There is no update available."))
            << row.name;
    }
    EXPECT_TRUE(seams.saveRequests.isEmpty()) << "no save dialog for a refused release";
    EXPECT_EQ(DownloadRequests(site), 0) << "nothing is fetched before the manifest holds";
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

// An address whose last part cleans to nothing offers no file to save: it is refused as such,
// and no save dialog proposes an empty name.
TEST_F(WebFileInfoTest, AnUnusableOfferedNameIsRefusedBeforeTheSaveDialog)
{
    site.SetDocument("/dl/Torv101.zip", release);
    const QString reason = "The page offers no usable file name for the update";
    for (const char* path : {"/dl/", "/dl/%2E%2E", "/dl/a%2Fb", "/dl/%E2%80%8B", "/dl/x%0Ay"}) {
        std::vector<std::pair<std::string, std::string>> tags = {
            {"version", "1.0.01"}, {"url", site.Url(path).toStdString()}};
        for (const auto& tag : SignedTags(ManifestText("1.0.01", release), key))
            tags.push_back(tag);
        site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
        wfi->SetActive(false);
        EXPECT_FALSE(wfi->ExecuteUpdate()) << path;
        EXPECT_EQ(wfi->LastError(), reason) << path;
        EXPECT_EQ(seams.BoxTexts().last(),
                  "Download Error: The update cannot be downloaded.\rError: \"" + reason + ".\"")
            << path;
    }
    EXPECT_TRUE(seams.saveRequests.isEmpty());
    EXPECT_EQ(DownloadRequests(site), 0);
}

TEST_F(WebFileInfoTest, ThePartFileIsNeverWrittenThroughALinkOrIntoAForeignFile)
{
    Announce("1.0.01");
    site.SetDocument("/dl/Torv101.zip", release);
    const QString victim = folder.filePath("victim.txt");
    const auto plant = [&](const QString& kind) {
        QFile::remove(Part());
        QDir(Part()).removeRecursively();
        QFile file(victim);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("precious");
        file.close();
        if (kind == "link") {
            EXPECT_TRUE(QFile::link(victim, Part()));
        } else if (kind == "dangling link") {
            EXPECT_TRUE(QFile::link(folder.filePath("new.txt"), Part()));
        } else if (kind == "folder") {
            EXPECT_TRUE(QDir().mkdir(Part()));
        } else if (kind == "another user's file") {
            EXPECT_TRUE(QFile::copy(victim, Part()));
            EXPECT_EQ(chown(QFile::encodeName(Part()), 65534, 65534), 0);
        }
    };
    QStringList kinds = {"link", "dangling link", "folder"};
    if (geteuid() == 0)
        kinds << "another user's file";
    for (const QString& kind : kinds) {
        plant(kind);
        EXPECT_FALSE(wfi->DownloadUpdateTo(Final())) << kind.toStdString();
        EXPECT_EQ(wfi->LastError(),
                  Part() + " already exists and is not a file of yours, so it was left alone");
        EXPECT_TRUE(QFileInfo(Part()).isSymLink() || QFileInfo(Part()).exists());
        EXPECT_EQ(Sha256OfFile(victim), Sha256OfBytes("precious")) << kind.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("new.txt")));
        EXPECT_FALSE(QFileInfo::exists(Final()));
    }
    EXPECT_EQ(DownloadRequests(site), 0);

    // A part of ours left by an earlier try is replaced: a retry works.
    plant("none");
    QFile stale(Part());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(std::string(300000, 's').c_str());
    stale.close();
    ASSERT_TRUE(wfi->DownloadUpdateTo(Final())) << wfi->LastError().toStdString();
    EXPECT_EQ(Sha256OfFile(Final()), Sha256OfBytes(release));
    EXPECT_FALSE(QFileInfo::exists(Part()));
}

// The file system refusing the download, as on a full disk: the size of the files written is
// limited. A body that fits the file's buffer fails when it is flushed, a larger one while it
// arrives; what was written is kept, an empty part is removed, and the reason is the file
// system's.
TEST_F(WebFileInfoTest, AFileSystemThatRefusesTheDownloadIsReportedWithItsReason)
{
    const std::string small = Release(10000);
    site.SetDocument("/dl/small.bin", small, true, "application/octet-stream");
    site.SetDocument("/dl/large.bin", release, true, "application/octet-stream");
    struct Case {
        const char* name;
        rlim_t limit;
        const char* path;
        QString file;
        QString reason;   // LastError starts with it
        qint64 partBytes; // -1: no part file
    };
    const QString missing = folder.filePath("missing/large.bin");
    const Case cases[] = {
        {"NothingFitsAtTheFlush", 0, "/dl/small.bin", folder.filePath("small.bin"),
         "Cannot write " + folder.filePath("small.bin.part") + ": File too large", -1},
        {"NothingFitsWhileArriving", 0, "/dl/large.bin", folder.filePath("large.bin"),
         "The document could not be stored: File too large", -1},
        {"PartFitsAtTheFlush", 4096, "/dl/small.bin", folder.filePath("small.bin"),
         "Cannot write " + folder.filePath("small.bin.part") + ": ", 4096},
        {"PartFitsWhileArriving", 4096, "/dl/large.bin", folder.filePath("large.bin"),
         "The document could not be stored: ", 4096},
        {"NoFolder", 4096, "/dl/large.bin", missing,
         "Cannot write " + missing + ".part: No such file or directory", -1},
    };
    for (const Case& c : cases) {
        bool ok = true;
        {
            FileSizeLimit limit(c.limit);
            ok = wfi->DownloadFile(site.Url(c.path), c.file, "Downloading");
        }
        EXPECT_FALSE(ok) << c.name;
        EXPECT_TRUE(wfi->LastError().startsWith(c.reason))
            << c.name << ": " << wfi->LastError().toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.file)) << c.name;
        const QString part = c.file + ".part";
        EXPECT_EQ(QFileInfo::exists(part) ? QFileInfo(part).size() : -1, c.partBytes) << c.name;
        EXPECT_EQ(wfi->KeptPartFile(), c.partBytes > 0 ? part : QString()) << c.name;
        if (c.partBytes > 0) {
            EXPECT_EQ(Sha256OfFile(part), Sha256OfBytes(small.substr(0, 4096))) << c.name;
        }
    }
    EXPECT_TRUE(seams.boxes.isEmpty());
}

TEST_F(WebFileInfoTest, PageAddressesAreHttpOnlyAndResolvedAgainstThePage)
{
    // A relative redirect tag and a relative download address resolve against their page.
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml({{"redirect", "2000/Torv.htm"}}));
    std::vector<std::pair<std::string, std::string>> tags = {{"version", "1.0.01"},
                                                             {"url", "../../dl/Torv101.zip"}};
    for (const auto& tag : SignedTags(ManifestText("1.0.01", release), key))
        tags.push_back(tag);
    site.SetDocument("/Torv/2000/Torv.htm", InfoPageHtml(tags));
    site.SetDocument("/dl/Torv101.zip", release);
    ASSERT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
    EXPECT_EQ(wfi->DownloadURL(), site.Url("/dl/Torv101.zip"));
    ASSERT_TRUE(wfi->DownloadUpdateTo(Final())) << wfi->LastError().toStdString();
    EXPECT_EQ(Sha256OfFile(Final()), Sha256OfBytes(release));

    // Other schemes are refused before anything is sent, naming the tag.
    const std::string port = std::to_string(site.Server().Port());
    site.SetDocument("/Torv/Torv.htm",
                     InfoPageHtml({{"redirect", "HTTPS://127.0.0.1:" + port + "/Torv/x.htm"}}));
    wfi->SetActive(false);
    const std::size_t before = site.RequestLines().size();
    EXPECT_FALSE(wfi->GetInfo());
    EXPECT_EQ(wfi->LastError(), "The update page's redirect address is not an http:// address");
    EXPECT_EQ(site.RequestLines().size(), before + 1);

    tags[1] = {"url", "ftp://127.0.0.1:" + port + "/dl/Torv101.zip"};
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    wfi->SetActive(false);
    ASSERT_TRUE(wfi->GetInfo());
    EXPECT_FALSE(wfi->DownloadUpdateTo(folder.filePath("other.zip")));
    EXPECT_EQ(wfi->LastError(), "The update page's download address is not an http:// address");
    EXPECT_EQ(site.RequestLines().size(), before + 2);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("other.zip.part")));
}

TEST_F(WebFileInfoTest, ThePagesCredentialsNeverReachAnotherServer)
{
    ScriptedSite mirror;
    const auto authorised = [](const std::string& request) {
        return request.find("Authorization: Basic dXNlcjpwdw==\r\n") != std::string::npos;
    };
    std::vector<std::pair<std::string, std::string>> tags = {
        {"version", "1.0.01"}, {"url", mirror.Url("/dl/Torv101.zip").toStdString()}};
    for (const auto& tag : SignedTags(ManifestText("1.0.01", release), key))
        tags.push_back(tag);
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    mirror.SetDocument("/dl/Torv101.zip", release);
    site.SetDocument("/dl/Torv101.zip", release);
    wfi->SetHomeURL(QString("http://user:pw@127.0.0.1:%1/Torv/Torv.htm").arg(site.Server().Port()));
    ASSERT_TRUE(wfi->DownloadUpdateTo(Final())) << wfi->LastError().toStdString();
    ASSERT_EQ(site.Server().Requests().size(), 1u);
    EXPECT_TRUE(authorised(site.Server().Requests()[0]));
    ASSERT_EQ(mirror.Server().Requests().size(), 1u);
    EXPECT_FALSE(authorised(mirror.Server().Requests()[0])) << mirror.Server().Requests()[0];

    // A download on the page's own server, written relative, still gets them.
    tags[1] = {"url", "/dl/Torv101.zip"};
    site.SetDocument("/Torv/Torv.htm", InfoPageHtml(tags));
    wfi->SetActive(false);
    ASSERT_TRUE(wfi->DownloadUpdateTo(Final())) << wfi->LastError().toStdString();
    ASSERT_EQ(site.Server().Requests().size(), 3u);
    EXPECT_TRUE(authorised(site.Server().Requests()[2]));
}

// A request that finds the shared client still busy (a transfer given up after an exception)
// waits for it in a loop that runs posted work. That work may ask the component for another
// check, or delete it.
struct WaitForBusyClient : WebFileInfoTest {
    int PageRequests() const
    {
        int n = 0;
        for (const std::string& line : site.RequestLines())
            n += line == "GET /Torv/Torv.htm HTTP/1.0";
        return n;
    }
    // Leaves the shared client in the middle of a request, as an exception would.
    void MakeClientBusy()
    {
        Announce("1.0.01");
        ASSERT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
        wfi->SetActive(false);
        THttpCli* cli = TWebFileInfo::SharedHttpCli();
        cli->SetURL(site.Url("/busy"));
        cli->GetAsync();
        ASSERT_NE(cli->State(), hcReady);
    }
};

TEST_F(WaitForBusyClient, ACheckAskedForInsideTheWaitIsRefusedAndThePageFetchedOnce)
{
    MakeClientBusy();
    int nested = 0;
    bool nestedResult = true;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ++nested;
            nestedResult = wfi->GetInfo();
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(wfi->GetInfo()) << wfi->LastError().toStdString();
    ASSERT_EQ(nested, 1) << "the posted check ran inside the wait";
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(PageRequests(), 2); // the first check and this one, nothing twice
    EXPECT_EQ(wfi->ProductVersion(), "1.0.01");
    EXPECT_TRUE(seams.boxes.isEmpty());
}

TEST_F(WaitForBusyClient, AComponentDeletedInsideTheWaitIsNotTouchedAgain)
{
    MakeClientBusy();
    TrapRecorder trap;
    TWebFileInfo* component = wfi.get();
    QMetaObject::invokeMethod(
        qApp, [&] { wfi.reset(); }, Qt::QueuedConnection);
    // The check gives up silently (EAbort) without a request; its hook is gone with it.
    EXPECT_THROW(component->GetInfo(), calc::EAbort);
    EXPECT_EQ(wfi, nullptr);
    EXPECT_EQ(TWebFileInfo::SharedHttpCli(), nullptr);
    ProcessPostedMessages();
    EXPECT_EQ(PageRequests(), 1);
    Application::Guard(nullptr, [] { throw std::runtime_error("after"); });
    EXPECT_EQ(trap.messages, QStringList({"after"}));
    EXPECT_TRUE(seams.boxes.isEmpty());
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
        PageStatusCase{"NoStatusLine",
                       "Content-Type: text/html\r\n\r\n",
                       "The server's answer has no status line",
                       {}},
        PageStatusCase{"NoStatusLineCutShort",
                       "Content-Length: 999999\r\n\r\n",
                       "The server's answer has no status line",
                       {}},
        PageStatusCase{"Continue", "HTTP/1.0 100 Continue\r\n\r\n", "Continue", {"Tallyhorn: 100"}},
        PageStatusCase{
            "NoContent", "HTTP/1.0 204 No Content\r\n\r\n", "No Content", {"Tallyhorn: 204"}}),
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
    TrapRecorder trap;

    void SetUp() override
    {
        WebFileInfoTest::SetUp();
        wfi->SetOptions({});
        Announce("1.0.01", site.Url("/ReadMe.txt").toStdString());
        site.SetDocument("/ReadMe.txt", "notes", true, "text/plain");
        site.SetDocument("/dl/Torv101.zip", release);
    }
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
    EXPECT_EQ(trap.messages, QStringList{GetParam().trapped});
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
    EXPECT_EQ(trap.messages.size(), 2);
    seams.answer = nullptr;
    seams.Attach(*wfi);
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
                      r.site.SetDocument("/Torv/Torv.htm", InfoPageHtml({{"version", "2.0"},
                                                                         {"date", "06-04-1999"}}));
                  },
                  "'06-04-1999' is not a valid date"},
        RaiseCase{"UnreadableDateAfterARedirect", false,
                  [](RaiseTest& r) {
                      r.site.SetDocument(
                          "/Torv/Torv.htm",
                          InfoPageHtml({{"redirect", r.site.Url("/next.htm").toStdString()}}));
                      r.site.SetDocument(
                          "/next.htm", InfoPageHtml({{"version", "2.0"}, {"date", "2026-12-01"}}));
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
                  [](RaiseTest& r) {
                      r.wfi->SetSaveFileChooser([](const SaveFileRequest&) -> SaveFileAnswer {
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
                      QObject::connect(
                          r.wfi.get(), &TWebFileInfo::OnDownloadProgress, r.wfi.get(),
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
                      r.wfi->SetShellOpener([](const ShellOpenRequest&) -> int {
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
