#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

ModalResult FromQt(int button)
{
    switch (button) {
    case QMessageBox::Ok: return ModalResult::mrOk;
    case QMessageBox::Cancel: return ModalResult::mrCancel;
    case QMessageBox::Yes: return ModalResult::mrYes;
    case QMessageBox::No: return ModalResult::mrNo;
    default: return ModalResult::mrCancel;
    }
}
// A splash window stays on top of every other window: a message shown while it is up would
// sit behind it, unseen, so the splash goes first.
void CloseSplashWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->windowType() == Qt::SplashScreen && window->isVisible())
            window->hide();
}
} // namespace

ModalResult MessageBox(const QString& text, const QString& caption, MessageIcon icon,
                       MessageButtons buttons, QWidget* owner)
{
    CloseSplashWindows();
    if (Hook())
        return Hook()({text, caption, icon, buttons, owner});
    // On the heap: an owner deleted while the box waits takes the box with it, and the box's
    // loop then ends as a cancel.
    auto* box = new QMessageBox(ToQt(icon), caption, QString(), ToQt(buttons), owner);
    const QPointer<QMessageBox> alive(box);
    // A close button only: no system menu, minimise or maximise.
    box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                        Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box->setTextFormat(Qt::PlainText);
    box->setText(ScreenText(text));
    box->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        box->move(screen->availableGeometry().center() - box->rect().center());
    const int answer = box->exec();
    if (!alive)
        return ModalResult::mrCancel;
    delete box;
    return FromQt(answer);
}

QString ScreenText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace('\r', '\n');
    return shown;
}

void ShowInformation(const QString& text)
{
    MessageBox(text, QStringLiteral("Information"), MessageIcon::Information, MessageButtons::Ok);
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}
