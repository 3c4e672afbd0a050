// Modal message boxes, centred on the screen, with a hook that tests use to answer them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The result of a modal window or message box.
enum class ModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct MessageBoxRecord {
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
    QWidget* owner = nullptr;
};

// Shows a modal message box and returns the button the user pressed. A splash window still
// showing is closed first, so that it cannot hide the box. The text is shown as plain text,
// never as markup: it may carry what a server sent. With an owner the box belongs to that
// window and the window manager keeps it above it.
ModalResult MessageBox(const QString& text, const QString& caption, MessageIcon icon,
                       MessageButtons buttons, QWidget* owner = nullptr);

// The text as the box shows it: CR LF, LF CR and a lone CR each break the line once. The hook
// receives the text unchanged.
QString ScreenText(const QString& text);

// The program's own information box: caption "Information", information icon, one OK button.
void ShowInformation(const QString& text);

// While a hook is installed, message boxes are not shown: the hook receives each one and its
// result is the answer. Pass an empty function to remove it.
using MessageBoxHook = std::function<ModalResult(const MessageBoxRecord&)>;
void SetMessageBoxHook(MessageBoxHook hook);
