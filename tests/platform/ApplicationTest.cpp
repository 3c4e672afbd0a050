#include "platform/Application.h"

#include "calc/Errors.h"
#include "platform/FileDialog.h"
#include "platform/HiddenWindow.h"
#include "platform/Regional.h"
#include "platform/ScreenCursor.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TrapRecorder.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

TEST(Application, EveryEscapingExceptionReachesTheTrapExceptTheSilentAbort)
{
    TrapRecorder trap;
    Application::Guard(nullptr, [] { throw calc::EZeroDivide(); });
    Application::Guard(nullptr, [] { throw calc::EAbort(); });
    Application::Guard(nullptr, [] { throw 42; });
    // From a timer callback and from an overridden event method, through the message loop.
    QTimer::singleShot(0, [] { Application::Guard(nullptr, [] { throw calc::EOverflow(); }); });
    struct Thrower : QObject {
        bool event(QEvent* e) override
        {
            if (e->type() == QEvent::User)
                throw calc::EConvertError::invalidFloat("abc");
            return QObject::event(e);
        }
    } thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(
        trap.messages,
        QStringList({"Floating point division by zero", "An unidentified error has occurred.",
                     "Floating point overflow", "'abc' is not a valid floating point value"}));
}

TEST(Application, WithoutATrapTheErrorIsShownWithAFullStop)
{
    MessageBoxAnswerer boxes;
    Application::Guard(nullptr, [] { throw calc::EConvertError::invalidFloat("x"); });
    Application::Guard(nullptr, [] { throw calc::EAbort(); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'x' is not a valid floating point value.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Error);
}

TEST(Application, PostedMessagesArriveLaterAndCanBeWithdrawn)
{
    QList<TMessage> received;
    THiddenWindow window([&](TMessage& m) { received << m; });
    PostMessage(&window, 1025, 7, -3);
    PostMessage(&window, 3024);
    PostMessage(&window, 1026);
    EXPECT_TRUE(received.isEmpty());
    RemovePostedMessages(&window, 3024);
    QCoreApplication::processEvents();
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0].Msg, 1025);
    EXPECT_EQ(received[0].WParam, 7u);
    EXPECT_EQ(received[0].LParam, -3);
    EXPECT_EQ(received[1].Msg, 1026);
}

TEST(Application, InformationBoxAndCursor)
{
    MessageBoxAnswerer boxes;
    ShowInformation("Hello");
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Information");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Information);
    EXPECT_EQ(boxes.Boxes()[0].buttons, MessageButtons::Ok);

    Screen::SetCursor(TCursor::crHourGlass);
    Screen::SetCursor(TCursor::crHourGlass);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen::SetCursor(TCursor::crDefault); // set, not stacked: one call restores the arrow
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Screen::Cursor(), TCursor::crDefault);
}

TEST(Application, HintsSplitAndFollowTheParent)
{
    EXPECT_EQ(GetShortHint(" Reset|Restores the defaults"), " Reset");
    EXPECT_EQ(GetLongHint(" Reset|Restores the defaults"), "Restores the defaults");
    EXPECT_EQ(GetLongHint(" Reset"), " Reset");
    QWidget parent;
    QWidget* child = new QWidget(&parent);
    EXPECT_EQ(HintOf(child), "");
    SetHint(&parent, "Group|Choose one");
    EXPECT_EQ(HintOf(child), "Group|Choose one");
    EXPECT_EQ(parent.toolTip(), "Group");
    QStringList seen;
    auto c = QObject::connect(Application::instance(), &Application::HintChanged,
                              [&](const QString& h) { seen << h; });
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(child, &enter);
    QObject::disconnect(c);
    EXPECT_EQ(seen, QStringList{"Group|Choose one"});
    EXPECT_EQ(Application::instance()->Hint(), "Group|Choose one");
}

TEST(Regional, CurrencyPatternsFromThePosixLocale)
{
    EXPECT_EQ(Regional::NegativePattern(true, false, 0), 0);  // ($1)
    EXPECT_EQ(Regional::NegativePattern(true, false, 1), 1);  // -$1
    EXPECT_EQ(Regional::NegativePattern(true, false, 4), 2);  // $-1
    EXPECT_EQ(Regional::NegativePattern(false, true, 1), 8);  // -1 $
    EXPECT_EQ(Regional::NegativePattern(false, true, 0), 15); // (1 $)
    EXPECT_EQ(Regional::NegativePattern(true, true, 4), 12);  // $ -1
    EXPECT_EQ(Regional::PositivePattern(false, true), 3);     // 1 $
    EXPECT_EQ(Regional::FromStrftime("%m/%d/%Y"), "MM/dd/yyyy");
    EXPECT_EQ(Regional::FromStrftime("%d.%m.%y"), "dd.MM.yy");
    EXPECT_EQ(Regional::FromStrftime("%I:%M:%S %p"), "hh:nn:ss AMPM");

    const TFormatSettings us = Regional::UnitedStates();
    EXPECT_EQ(us.DecimalSeparator, '.');
    EXPECT_EQ(us.ThousandSeparator, ',');
    EXPECT_EQ(us.CurrencyString, "$");
    EXPECT_EQ(us.CurrencyFormat, 0);
    EXPECT_EQ(us.NegCurrFormat, 0);
}

TEST(Regional, PlainLocaleGivesUnitedStatesValues)
{
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");
    const TFormatSettings s = Regional::FromSystem();
    if (saved.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", saved);
    EXPECT_EQ(s.DecimalSeparator, '.');
    EXPECT_EQ(s.ThousandSeparator, ',');
    EXPECT_EQ(s.CurrencyString, "$");
    EXPECT_EQ(s.NegCurrFormat, 0);
}

TEST(MessageBoxText, EveryKindOfLineEndBreaksTheLineOnce)
{
    EXPECT_EQ(ScreenText("Could not retrieve.\rError unknown."),
              "Could not retrieve.\nError unknown.");
    EXPECT_EQ(ScreenText("a\r\nb\n\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(ScreenText("a\r\rb"), "a\n\nb");
}

// The real box, not the test hook: a server's text is shown as it is, never as markup, and a
// box with an owner is transient for it.
TEST(MessageBoxText, IsPlainTextAndBelongsToItsOwner)
{
    QWidget owner;
    owner.show();
    SetMessageBoxHook({});
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    bool transient = false;
    std::function<void()> look;
    look = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(5, qApp, look);
            return;
        }
        shown = box->text();
        format = box->textFormat();
        transient = box->parentWidget() == &owner &&
                    box->windowHandle()->transientParent() == owner.windowHandle();
        box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, qApp, look);
    const ModalResult result =
        MessageBox("<h1 style=color:red>2.0 FREE!</h1>\rsecond line", "Tallyhorn",
                   MessageIcon::None, MessageButtons::Ok, &owner);
    MessageBoxAnswerer::InstallDefault();
    EXPECT_EQ(result, ModalResult::mrOk);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, "<h1 style=color:red>2.0 FREE!</h1>\nsecond line");
    EXPECT_TRUE(transient);
}

// The modal dialogs the platform runs for its callers live on the heap: an owner deleted while
// one waits (a window closed by a timer, a quit) takes it along, and the caller gets a cancel
// instead of a crash when the dialog's loop returns. Each case deletes the owner from inside
// the dialog's own loop; the sanitizer build catches any touch of the freed dialog.
TEST(ModalDialogs, AnOwnerDeletedMeanwhileEndsTheDialogAsACancel)
{
    const std::function<bool(QWidget*)> runs[] = {
        [](QWidget* owner) {
            SetMessageBoxHook({});
            const ModalResult result =
                MessageBox("Text", "Tallyhorn", MessageIcon::None, MessageButtons::OkCancel, owner);
            MessageBoxAnswerer::InstallDefault();
            return result == ModalResult::mrCancel;
        },
        [](QWidget* owner) {
            SaveFileRequest request;
            request.caption = "Save As";
            request.filters = {{"All Files", {"*.*"}}};
            request.owner = owner;
            return !SaveFileDialog(request).accepted;
        },
    };
    for (const auto& run : runs) {
        auto* owner = new QWidget;
        owner->show();
        bool sawDialog = false;
        std::function<void()> removeOwner = [&] {
            if (!QApplication::activeModalWidget()) {
                QTimer::singleShot(5, qApp, removeOwner);
                return;
            }
            sawDialog = true;
            delete owner;
        };
        QTimer::singleShot(0, qApp, removeOwner);
        EXPECT_TRUE(run(owner));
        EXPECT_TRUE(sawDialog);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// Our hourglass is one override cursor of its own: it goes back to whatever was set before it.
TEST(Application, TheCursorComesBackToWhatItFound)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    Screen::SetCursor(TCursor::crHourGlass);
    Screen::SetCursor(TCursor::crHandPoint);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    Screen::SetCursor(TCursor::crDefault);
    Screen::SetCursor(TCursor::crDefault);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
