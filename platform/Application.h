// The application object: title, message processing, the hint line and the exception trap.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <exception>
#include <functional>

class QWidget;

// Every exception that escapes an event handler reaches the installed exception handler (the
// main window's AppOnException); EAbort is the silent kind and is dropped before it.
class Application : public QApplication {
    Q_OBJECT

public:
    using ExceptionHandler = std::function<void(QObject* sender, const std::exception& e)>;

    Application(int& argc, char** argv);
    ~Application() override;

    static Application* instance();

    // The text of the taskbar button and the caption of default message boxes.
    QString Title() const { return m_title; }
    void SetTitle(const QString& title);

    // One pass over the pending window messages, then control returns.
    static void ProcessMessages();

    // Runs the message loop until the main window closes.
    int Run();

    // The installed exception handler. It is installed and removed only by scope guards
    // (TExceptionHook), each of which puts back the handler it found.
    const ExceptionHandler& OnException() const { return m_onException; }
    void SetOnException(ExceptionHandler handler) { m_onException = std::move(handler); }

    // Runs `handler` as an event handler: any exception is reported through HandleException.
    // Every slot, posted-message handler and timer callback of the program runs through this.
    static void Guard(QObject* sender, const std::function<void()>& handler);

    // Reports the exception currently being handled (call from a catch block).
    void HandleException(QObject* sender, std::exception_ptr error);

    // The current hint: the whole hint ("short|long") of the control under the mouse.
    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    // Milliseconds the mouse rests on a control before its tooltip shows.
    int HintPause() const { return m_hintPause; }
    void SetHintPause(int milliseconds);

    bool notify(QObject* receiver, QEvent* event) override;

    // The default presentation of an error: a message box captioned with the title, an error
    // icon and the message, with a full stop added when its last character sorts after one.
    void ShowDefaultException(const QString& message);

signals:
    // The application's hint changed; the argument is the whole hint ("short|long").
    void HintChanged(const QString& hint);
    void Activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_title;
    QString m_hint;
    int m_hintPause = 500;
    ExceptionHandler m_onException;
};

// Installs an exception handler for its lifetime and puts back the one it found. Guards end in
// the reverse order of their making. Without an application it does nothing.
class TExceptionHook {
public:
    explicit TExceptionHook(Application::ExceptionHandler handler);
    ~TExceptionHook();
    TExceptionHook(const TExceptionHook&) = delete;
    TExceptionHook& operator=(const TExceptionHook&) = delete;

private:
    QPointer<Application> m_app;
    Application::ExceptionHandler m_saved;
};

// The short part of a hint ("short|long" -> "short"), shown as the tooltip.
QString GetShortHint(const QString& hint);
// The long part of a hint: the text after the first "|", or the whole hint without one.
QString GetLongHint(const QString& hint);

// Gives a widget its hint: the tooltip shows the short part, the hint line the long part.
void SetHint(QWidget* widget, const QString& hint);
// The widget's own hint, or the nearest parent's hint when it has none.
QString HintOf(const QWidget* widget);
