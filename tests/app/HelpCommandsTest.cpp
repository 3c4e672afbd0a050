// The window's commands from each place they are offered, F1, the help file the build makes,
// and the about box and disclaimer.
#include "app/About.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "controls/ExplBtn.h"
#include "controls/URL.h"
#include "controls/URLLabel.h"
#include "platform/Application.h"
#include "platform/HelpBrowser.h"
#include "platform/HelpViewer.h"
#include "platform/RadioGroup.h"
#include "platform/Shell.h"
#include "tests/support/FindChild.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/ModalCloser.h"
#include "tests/support/TempFolder.h"

#include <QAccessible>
#include <QAction>
#include <QEnterEvent>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct HelpCommandsTest : ::testing::Test {
    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;
    QList<ShellOpenRequest> opened;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(TALLYHORN_HELP_FILE, folder.File("torv.hlp")));
        w = std::make_unique<TfrmMain>();
        for (TURL* url : w->findChildren<TURL*>())
            url->SetShellOpener(Opener());
        w->show();
        Activate(w.get());
    }
    void TearDown() override
    {
        if (w)
            w->close();
        w.reset();
        HelpViewer::Help({}, hcQuit);
    }
    // Records what a link component asks the shell to open.
    ShellOpener Opener()
    {
        return [this](const ShellOpenRequest& request) {
            opened.append(request);
            return 42;
        };
    }
    static void Activate(QWidget* window)
    {
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    // Runs a command the way its place offers it: a menu item, a toolbar button or a label.
    void Run(const char* name) const
    {
        QObject* command = w->findChild<QObject*>(name);
        ASSERT_NE(command, nullptr) << name;
        if (auto* action = qobject_cast<QAction*>(command)) {
            ASSERT_TRUE(action->isEnabled()) << name;
            action->trigger();
        } else {
            auto* widget = qobject_cast<QWidget*>(command);
            ASSERT_TRUE(widget->isEnabled()) << name;
            QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
        }
    }
    static QString HelpPage()
    {
        HelpViewer* viewer = HelpViewer::Current();
        return viewer && viewer->isVisible() ? viewer->CurrentPage() : QString();
    }
};

enum class Effect { Dialog, HelpPage, HelpIndex, Opens, Closes };

struct CommandCase {
    const char* name;
    const char* command;
    Effect effect;
    const char* result;            // the dialog's name, the help page or the address opened
    bool afterCalculation = false; // the print commands wait for a calculation
};

class WindowCommands : public HelpCommandsTest,
                       public ::testing::WithParamInterface<CommandCase> {};

TEST_P(WindowCommands, WorkFromEachPlace)
{
    const CommandCase& c = GetParam();
    if (QString(c.command) == "lblTitle")
        w->CalculateFixedFees(); // the title shows on the fixed-fees panel
    if (c.afterCalculation)
        w->CalcAPRTable(Find<TExplorerButton>(*w, "btnCalculate"));
    MessageBoxAnswerer boxes;
    ModalCloser closer({}, c.effect == Effect::Dialog ? c.result : "");
    Run(c.command);
    switch (c.effect) {
    case Effect::Dialog: EXPECT_EQ(closer.Names(), QStringList({c.result})); break;
    case Effect::HelpPage: EXPECT_EQ(HelpPage(), c.result); break;
    case Effect::HelpIndex:
        ASSERT_NE(HelpViewer::Current(), nullptr);
        EXPECT_EQ(HelpViewer::Current()->Tabs()->currentIndex(), 1);
        EXPECT_GT(HelpViewer::Current()->IndexList()->count(), 50);
        break;
    case Effect::Opens:
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.front().file, c.result);
        EXPECT_EQ(opened.front().show, ShellShowMode::ShowNoActivate);
        break;
    case Effect::Closes: EXPECT_FALSE(w->isVisible()); break;
    }
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WindowCommands,
    ::testing::Values(
        CommandCase{"MenuContents", "mnuHelpContents", Effect::HelpPage, "topic:welcome"},
        CommandCase{"ToolbarHelp", "btnHelp", Effect::HelpPage, "topic:welcome"},
        CommandCase{"MenuSearch", "SearchforHelpOn1", Effect::HelpIndex, ""},
        CommandCase{"MenuHowToUseHelp", "HowtoUseHelp1", Effect::HelpPage,
                    HelpBrowser::HowToUseUrl},
        CommandCase{"MenuAbout", "mnuHelpAbout", Effect::Dialog, "AboutBox"},
        CommandCase{"PopupAbout", "mnuPopAbout", Effect::Dialog, "AboutBox"},
        CommandCase{"FixedFeesTitle", "lblTitle", Effect::Dialog, "AboutBox"},
        CommandCase{"ToolbarDisclaimer", "btnDisclaim", Effect::Dialog, "frmDisclaim"},
        CommandCase{"MenuPrint", "mnuFilePrint", Effect::Dialog, "frmPreview", true},
        CommandCase{"PopupPrintPreview", "mnuPopPrint", Effect::Dialog, "frmPreview", true},
        CommandCase{"ToolbarPrintPreview", "btnPrint", Effect::Dialog, "frmPreview", true},
        CommandCase{"MenuPrintSetup", "mnuFilePrintSetup", Effect::Dialog, "PrinterSetupDialog"},
        CommandCase{"ToolbarPrinterSetup", "btnPrinterSetup", Effect::Dialog, "PrinterSetupDialog"},
        CommandCase{"HomePage", "mnuInternetWebHome", Effect::Opens, "http://www.velmora.example/"},
        CommandCase{"ProductPage", "mnuInternetApplicationPage", Effect::Opens,
                    "http://www.velmora.example/Torv/Torv.htm"},
        CommandCase{"FreewarePage", "mnuInternetFreeware", Effect::Opens,
                    "http://www.velmora.example/freeware.htm"},
        CommandCase{"SuggestionBox", "mnuInternetWebSuggest", Effect::Opens,
                    "http://www.velmora.example/suggest.htm"},
        CommandCase{"MailSuggestions", "mnuInternetEmailSuggest", Effect::Opens,
                    "mailto:suggestions@velmora.example"},
        CommandCase{"MailSupport", "mnuInternetEmailSupport", Effect::Opens,
                    "mailto:support@velmora.example"},
        CommandCase{"MenuExit", "mnuFileExit", Effect::Closes, ""},
        CommandCase{"PopupExit", "mnuPopExit", Effect::Closes, ""},
        CommandCase{"ToolbarExit", "btnExit", Effect::Closes, ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HelpCommandsTest, F1AnywhereInTheWindowOpensTheContents)
{
    struct Place {
        const char* name;
        bool onFeesPanel;
    };
    const Place places[] = {{"edtPurchasePrice", false},  {"edtInterest", false},
                            {"btnCalcFixed", false},      {"client", false},
                            {"edtOriginationFees", true}, {"btnCloseFixedFees", true}};
    for (const Place& place : places) {
        HelpViewer::Help({}, hcQuit);
        Activate(w.get());
        if (place.onFeesPanel)
            w->CalculateFixedFees();
        auto* widget = w->findChild<QWidget*>(place.name);
        ASSERT_NE(widget, nullptr) << place.name;
        widget->setFocus(Qt::OtherFocusReason);
        // Leaving the price field calculates; the window is active again when that is done.
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == w.get(); }));
        QTest::keyClick(widget, Qt::Key_F1);
        EXPECT_EQ(HelpPage(), "topic:welcome") << place.name;
        EXPECT_EQ(HelpViewer::Current()->Tabs()->currentIndex(), 0);
    }
    // F1 in the print preview opens its topic, in a help window that takes input meanwhile.
    HelpViewer::Help({}, hcQuit);
    w->CalcAPRTable(Find<TExplorerButton>(*w, "btnCalculate"));
    QString page;
    ModalCloser closer(
        [&page](QWidget* preview) {
            // As the user would: in the active preview, where the page view has the focus.
            QApplication::setActiveWindow(preview);
            ASSERT_TRUE(QTest::qWaitFor([preview] { return preview->focusWidget() != nullptr; }));
            QTest::keyClick(preview->focusWidget(), Qt::Key_F1);
            page = HelpPage();
            ASSERT_NE(HelpViewer::Current(), nullptr);
            EXPECT_EQ(HelpViewer::Current()->parentWidget(), preview);
        },
        "frmPreview");
    Run("btnPrint");
    EXPECT_EQ(page, "topic:print-preview");
}

TEST_F(HelpCommandsTest, ClosingTheWindowClosesTheHelp)
{
    Run("mnuHelpContents");
    ASSERT_NE(HelpViewer::Current(), nullptr);
    w->close();
    EXPECT_EQ(HelpViewer::Current(), nullptr);
}

TEST_F(HelpCommandsTest, EveryTopicOfTheHelpFileIsReachableAndEveryKeywordOpensItsTopic)
{
    const HelpFile file = HelpFile::Load(TALLYHORN_HELP_FILE);
    ASSERT_TRUE(file.IsOk()) << file.Error().toStdString();
    // Reachable from the contents and the index, no dead links, unique context numbers.
    EXPECT_TRUE(file.Problems().isEmpty()) << file.Problems().join('\n').toStdString();
    EXPECT_GE(file.Topics().size(), 20);
    ASSERT_NE(file.TopicForContext(35), nullptr);
    EXPECT_EQ(file.TopicForContext(35)->title, "The print preview");

    Run("SearchforHelpOn1");
    HelpViewer* viewer = HelpViewer::Current();
    ASSERT_NE(viewer, nullptr);
    const QList<HelpIndexEntry> index = file.Index();
    ASSERT_EQ(viewer->IndexList()->count(), index.size());
    for (int i = 0; i < index.size(); ++i) {
        viewer->IndexList()->setCurrentRow(i);
        QTest::keyClick(viewer->IndexList(), Qt::Key_Return);
        EXPECT_EQ(viewer->CurrentPage(), "topic:" + index[i].topicId)
            << index[i].keyword.toStdString();
    }
    // Every link of every topic, followed in the viewer, shows a topic of the file.
    for (const HelpTopic& topic : file.Topics())
        for (const QString& link : HelpFile::Links(topic.body)) {
            viewer->ShowTopic(topic.id);
            emit viewer->Browser()->anchorClicked(QUrl(link));
            EXPECT_FALSE(viewer->Browser()->toPlainText().startsWith("Topic not found"))
                << topic.id.toStdString() << " -> " << link.toStdString();
        }
}

TEST_F(HelpCommandsTest, AMissingHelpFileIsOneMessage)
{
    QFile::remove(folder.File("torv.hlp"));
    MessageBoxAnswerer boxes;
    QTest::keyClick(w.get(), Qt::Key_F1);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes().front().text.contains("is missing"));
    EXPECT_EQ(boxes.Boxes().front().caption, "Tallyhorn"); // as every other box
    EXPECT_EQ(HelpPage(), "");
}

TEST_F(HelpCommandsTest, TheAboutBoxLinkAndTheDisclaimerTexts)
{
    ModalCloser closer([this](QWidget* modal) {
        if (auto* about = qobject_cast<TAboutBox*>(modal)) {
            // No close box: the OK button closes it.
            EXPECT_FALSE(about->windowFlags().testFlag(Qt::WindowCloseButtonHint));
            // The picture has a name for a screen reader.
            EXPECT_EQ(
                QAccessible::queryAccessibleInterface(about->ProgramIcon)->text(QAccessible::Name),
                "Tallyhorn product picture");
            TURLLabel* link = about->URLLabel1;
            link->SetShellOpener(Opener());
            EXPECT_EQ(link->FontColor(), QColor(Qt::blue));
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(link, &enter);
            EXPECT_EQ(link->FontColor(), QColor(Qt::red));
            EXPECT_EQ(link->FontStyle(), TFontStyles(fsUnderline));
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(link, &leave);
            EXPECT_EQ(link->FontColor(), QColor(Qt::blue));
            QTest::mouseClick(link, Qt::RightButton);
            ASSERT_EQ(opened.size(), 1);
            EXPECT_EQ(opened.front().file, "http://www.velmora.example/");
        } else if (auto* disclaimer = qobject_cast<TfrmDisclaim*>(modal)) {
            // The double blanks are part of the texts.
            EXPECT_EQ(disclaimer->Label1->text(), "NOTE:  While effort was made to ensure the "
                                                  "accuracy of these calculations,");
            EXPECT_TRUE(disclaimer->Label2->text().startsWith("there is  NO WARRANTY,  expressed"));
            EXPECT_EQ(disclaimer->Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
            // Enter closes it as its OK button does.
            QTest::keyClick(disclaimer, Qt::Key_Return);
            EXPECT_FALSE(disclaimer->isVisible());
        }
    });
    w->btnAboutClick();
    w->btnDisclaimClick();
    EXPECT_EQ(closer.Names(), QStringList({"AboutBox", "frmDisclaim"}));
}

TEST_F(HelpCommandsTest, EachOpeningIsAFreshBoxCentredOnTheScreenAndDestroyedOnClose)
{
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QList<QPointer<QWidget>> boxes;
    QList<QPoint> centres;
    ModalCloser closer([&](QWidget* modal) {
        boxes.append(modal);
        centres.append(modal->frameGeometry().center());
        EXPECT_FALSE(modal->property("seen").isValid()); // nothing of the first survives
        modal->setProperty("seen", true);
    });
    w->btnAboutClick();
    w->move(w->pos() + QPoint(-70, 45));
    w->btnAboutClick();
    w->btnDisclaimClick();
    ASSERT_EQ(boxes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(boxes[i].isNull()) << i;
        EXPECT_LE((centres[i] - screenCentre).manhattanLength(), 1) << i;
    }
}

TEST_F(HelpCommandsTest, AnErrorWhileTheBoxShowsReachesTheTrapAndTheBoxIsStillDestroyed)
{
    MessageBoxAnswerer answers;
    QPointer<QWidget> box;
    ModalCloser closer([&](QWidget* modal) {
        box = modal;
        TURLLabel* link = qobject_cast<TAboutBox*>(modal)->URLLabel1;
        link->SetShellOpener(
            [](const ShellOpenRequest&) -> int { throw std::runtime_error("no shell"); });
        QTest::mouseClick(link, Qt::LeftButton);
    });
    testing::internal::CaptureStderr();
    Run("mnuHelpAbout");
    // The box names no cause; standard error keeps the error's own text.
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("tallyhorn: no shell\n"), std::string::npos) << errors;
    ASSERT_EQ(answers.Boxes().size(), 1);
    EXPECT_EQ(answers.Boxes().front().text, "An unidentified error has occurred.");
    EXPECT_TRUE(box.isNull());
    EXPECT_TRUE(w->isVisible());
}

} // namespace

// A modal command delivered again from inside its own dialog's message loop (an accelerator or
// a posted click reaches the window there) opens no second dialog; the window deleted from
// inside that loop is not touched when the dialog's loop returns. The command works again
// afterwards.
struct ModalReentryCase {
    const char* name;
    void (TfrmMain::*command)();
    const char* dialog;
    bool deleteWindow; // inside the loop: delete the window instead of running the command
};

void PrintTo(const ModalReentryCase& c, std::ostream* os)
{
    *os << c.name;
}

class ModalReentry : public HelpCommandsTest,
                     public ::testing::WithParamInterface<ModalReentryCase> {};

TEST_P(ModalReentry, TheCommandInsideItsOwnDialogOpensNoSecond)
{
    const ModalReentryCase& c = GetParam();
    MessageBoxAnswerer boxes;
    QList<QPointer<QWidget>> seen;
    bool inside = false;
    QTimer closer; // not the timer whose slot runs the command, so it works in nested loops too
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || seen.contains(modal) || modal->objectName() != c.dialog)
            return;
        seen.append(modal);
        if (inside) {
            modal->close(); // a second dialog: close it so that the first one's loop goes on
            return;
        }
        inside = true;
        QTimer::singleShot(0, [&, first = QPointer<QWidget>(modal)] {
            if (c.deleteWindow)
                w.reset();
            else
                (w.get()->*c.command)();
            if (first)
                first->close();
        });
    });
    closer.start();
    (w.get()->*c.command)();
    ASSERT_EQ(seen.size(), 1) << "a second dialog opened inside the first";
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    if (c.deleteWindow) {
        EXPECT_EQ(w, nullptr);
        return;
    }
    inside = true; // close the next one at once
    (w.get()->*c.command)();
    EXPECT_EQ(seen.size(), 2) << "the command works again";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ModalReentry,
    ::testing::Values(
        ModalReentryCase{"About", &TfrmMain::btnAboutClick, "AboutBox", false},
        ModalReentryCase{"Disclaimer", &TfrmMain::btnDisclaimClick, "frmDisclaim", false},
        ModalReentryCase{"PrintSetup", &TfrmMain::mnuFilePrintSetupClick, "PrinterSetupDialog",
                         false},
        ModalReentryCase{"AboutThenTheWindowGoes", &TfrmMain::btnAboutClick, "AboutBox", true},
        ModalReentryCase{"PrintSetupThenTheWindowGoes", &TfrmMain::mnuFilePrintSetupClick,
                         "PrinterSetupDialog", true},
        ModalReentryCase{"LoanSummary", &TfrmMain::mnuFileLoanSummaryClick, "frmLoanSummary",
                         false},
        ModalReentryCase{"LoanSummaryThenTheWindowGoes", &TfrmMain::mnuFileLoanSummaryClick,
                         "frmLoanSummary", true}),
    [](const auto& p) { return std::string(p.param.name); });
