// The link components: the scheme prefixes, Execute's result, and the link label's look under
// the mouse. The shell is replaced by a recorder, so nothing is ever opened.
#include "controls/URL.h"

#include "controls/URLLabel.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {
// Records every shell request and answers with a chosen result code.
class ShellRecorder {
public:
    explicit ShellRecorder(int result = 42) : m_result(result) {}
    // The opener a link component is given.
    ShellOpener Opener()
    {
        return [this](const ShellOpenRequest& r) {
            requests.push_back(r);
            order.push_back("open");
            return m_result;
        };
    }
    std::vector<ShellOpenRequest> requests;
    std::vector<std::string> order;

private:
    int m_result;
};

void Enter(QWidget* w)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(w, &enter);
}

void Leave(QWidget* w)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
}
} // namespace

struct PrefixCase {
    TURLType type;
    const char* address;
};

class URLPrefixes : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(URLPrefixes, ExecuteOpensThePrefixedAddressWithoutActivatingIt)
{
    ShellRecorder shell;
    TURL url;
    url.SetShellOpener(shell.Opener());
    url.SetURLType(GetParam().type);
    url.SetURL("host.example/path");
    EXPECT_TRUE(url.Execute());
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].file, GetParam().address);
    EXPECT_EQ(shell.requests[0].operation, "open");
    EXPECT_EQ(shell.requests[0].parameters, "");
    EXPECT_EQ(shell.requests[0].directory, "");
    EXPECT_EQ(shell.requests[0].show, ShellShowMode::ShowNoActivate);
}

INSTANTIATE_TEST_SUITE_P(EveryScheme, URLPrefixes,
                         ::testing::Values(PrefixCase{utFile, "file://host.example/path"},
                                           PrefixCase{utFtp, "ftp://host.example/path"},
                                           PrefixCase{utGopher, "gopher://host.example/path"},
                                           PrefixCase{utHttp, "http://host.example/path"},
                                           PrefixCase{utHttps, "https://host.example/path"},
                                           PrefixCase{utMailto, "mailto:host.example/path"},
                                           PrefixCase{utNews, "news:host.example/path"},
                                           PrefixCase{utTelnet, "telnet:host.example/path"},
                                           PrefixCase{utWais, "wais:host.example/path"}));

TEST(URL, DefaultIsWebAndAMailboxGetsMailto)
{
    ShellRecorder shell;
    TURL web;
    web.SetShellOpener(shell.Opener());
    EXPECT_EQ(web.URLType(), utHttp);
    web.SetURL("www.example.com/Torv/Torv.htm");
    TURL mail;
    mail.SetShellOpener(shell.Opener());
    mail.SetURLType(utMailto);
    mail.SetURL("support@example.com");
    EXPECT_TRUE(web.Execute());
    EXPECT_TRUE(mail.Execute());
    ASSERT_EQ(shell.requests.size(), 2u);
    EXPECT_EQ(shell.requests[0].file, "http://www.example.com/Torv/Torv.htm");
    EXPECT_EQ(shell.requests[1].file, "mailto:support@example.com");
}

TEST(URL, EmptyAddressAndShellFailuresGiveFalse)
{
    {
        ShellRecorder shell;
        TURL empty;
        empty.SetShellOpener(shell.Opener());
        EXPECT_FALSE(empty.Execute());
        EXPECT_TRUE(shell.requests.empty()); // nothing was asked of the shell
    }
    for (int code : {0, 2, 31, 32}) {
        ShellRecorder shell(code);
        TURL url;
        url.SetShellOpener(shell.Opener());
        url.SetURL("www.example.com/");
        EXPECT_FALSE(url.Execute()) << code;
    }
    ShellRecorder shell(33);
    TURL url;
    url.SetShellOpener(shell.Opener());
    url.SetURL("www.example.com/");
    EXPECT_TRUE(url.Execute());
}

TEST(URL, LongAddressesArePassedWhole)
{
    ShellRecorder shell;
    TURL url;
    url.SetShellOpener(shell.Opener());
    const QString path = "www.example.com/" + QString(120, 'a');
    url.SetURL(path);
    EXPECT_TRUE(url.Execute());
    EXPECT_EQ(shell.requests.at(0).file, "http://" + path);
}

TEST(URL, WithoutAnOpenerATestRunOpensNothing)
{
    if (!NoDesktop())
        GTEST_SKIP() << "on a real desktop this would open a browser";
    TURL url;
    url.SetURL("www.example.com/");
    EXPECT_FALSE(url.Execute());
}

TEST(URLLabel, StartsBlackAndPlainWithBlueForTheMouse)
{
    TURLLabel label;
    EXPECT_EQ(label.FontColor(), QColor(0, 0, 0));
    EXPECT_EQ(label.FontStyle(), TFontStyles());
    EXPECT_EQ(label.MouseOverColor(), QColor(0, 0, 255));
    EXPECT_FALSE(label.URL().isEmpty());
}

TEST(URLLabel, MouseOverChangesColourAndStyleAndLeavingRestoresThem)
{
    QWidget about;
    auto* link = new TURLLabel(&about);
    link->SetFontColor(QColor(0, 0, 255));
    link->SetFontStyle(fsUnderline);
    link->SetMouseOverColor(QColor(255, 0, 0));
    link->SetMouseOverFont(fsUnderline);
    Enter(link);
    EXPECT_EQ(link->FontColor(), QColor(255, 0, 0));
    EXPECT_EQ(link->FontStyle(), TFontStyles(fsUnderline));
    // A change made while the mouse is over the label is undone when it leaves.
    link->SetFontColor(QColor(0, 128, 0));
    link->SetFontStyle(fsBold);
    Leave(link);
    EXPECT_EQ(link->FontColor(), QColor(0, 0, 255));
    EXPECT_EQ(link->FontStyle(), TFontStyles(fsUnderline));
}

TEST(URLLabel, AnyMouseButtonOpensTheAddressAsHeldAfterTheOrdinaryHandling)
{
    ShellRecorder shell(2); // a failure is silent
    QWidget about;
    about.setObjectName("AboutBox");
    auto* link = new TURLLabel(&about);
    link->SetShellOpener(shell.Opener());
    link->setText("www.example.com");
    link->SetURL("http://www.example.com/");
    QObject::connect(link, &TURLLabel::OnMouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
                         shell.order.push_back("mousedown");
                     });
    about.show();
    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(shell.requests.size(), 2u);
    EXPECT_EQ(shell.requests[0].file, "http://www.example.com/");
    EXPECT_EQ(shell.requests[0].show, ShellShowMode::ShowNormal);
    EXPECT_EQ(shell.requests[0].owner.data(), &about);
    EXPECT_EQ(shell.order, (std::vector<std::string>{"mousedown", "open", "mousedown", "open"}));
}

// A mouse-down receiver that closes the window holding the label: the label, gone with it,
// opens nothing afterwards.
TEST(URLLabel, AMouseDownReceiverThatDeletesTheLabelEndsTheClick)
{
    ShellRecorder shell;
    auto* about = new QWidget;
    auto* link = new TURLLabel(about);
    link->SetShellOpener(shell.Opener());
    QPointer<TURLLabel> watched(link);
    QObject::connect(link, &TURLLabel::OnMouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { delete about; });
    about->show();
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(shell.requests.empty());
}
