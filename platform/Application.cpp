#include "platform/Application.h"

#include "calc/Errors.h"
#include "platform/MessageBox.h"

#include <QCursor>
#include <QEvent>
#include <QProxyStyle>
#include <QStyle>
#include <QWidget>

namespace {
const char* const hintProperty = "tallyhornHint";

// The message of an error as the default presentation shows it: a full stop is added when
// the last character sorts after the full stop (letters and digits do).
QString WithFullStop(QString message)
{
    if (!message.isEmpty() && message.back() > QChar('.'))
        message += '.';
    return message;
}
// The platform style, except that a tooltip waits for the application's hint pause.
class HintPauseStyle : public QProxyStyle {
public:
    explicit HintPauseStyle(const Application* app) : m_app(app) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return m_app->HintPause();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    const Application* m_app;
};
} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // Installed before any widget exists, so that no widget needs polishing again.
    setStyle(new HintPauseStyle(this));
    installEventFilter(this);
    connect(this, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive)
            Guard(this, [this] { emit Activated(); });
    });
}

Application::~Application() = default;

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::SetTitle(const QString& title)
{
    // Not the display name: on X11 that would be appended to every window's caption.
    m_title = title;
}

void Application::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int Application::Run()
{
    return exec();
}

void Application::Guard(QObject* sender, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        if (Application* app = instance())
            app->HandleException(sender, std::current_exception());
        else
            throw;
    }
}

void Application::HandleException(QObject* sender, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const calc::EAbort&) {
        // The silent kind: unwinds without a message.
    } catch (const std::exception& e) {
        // A copy: the handler may install another one while it runs.
        if (const ExceptionHandler handler = m_onException)
            handler(sender, e);
        else
            ShowDefaultException(QString::fromStdString(e.what()));
    } catch (...) {
        const std::runtime_error unknown("An unidentified error has occurred.");
        if (m_onException)
            m_onException(sender, unknown);
        else
            ShowDefaultException(unknown.what());
    }
}

void Application::ShowDefaultException(const QString& message)
{
    MessageBox(WithFullStop(message), m_title, MessageIcon::Error, MessageButtons::Ok);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(receiver, std::current_exception());
        return true;
    }
}

TExceptionHook::TExceptionHook(Application::ExceptionHandler handler)
    : m_app(Application::instance())
{
    if (!m_app)
        return;
    m_saved = m_app->OnException();
    m_app->SetOnException(std::move(handler));
}

TExceptionHook::~TExceptionHook()
{
    if (m_app)
        m_app->SetOnException(std::move(m_saved));
}

void Application::SetHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    Guard(this, [this] { emit HintChanged(m_hint); });
}

void Application::SetHintPause(int milliseconds)
{
    m_hintPause = milliseconds;
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    // The hint follows the widget under the mouse, whether or not it shows a tooltip.
    if (event->type() == QEvent::Enter && watched->isWidgetType())
        SetHint(HintOf(static_cast<QWidget*>(watched)));
    else if (event->type() == QEvent::Leave && watched->isWidgetType() &&
             static_cast<QWidget*>(watched)->isWindow())
        SetHint(QString());
    return QApplication::eventFilter(watched, event);
}

QString GetShortHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf('|');
    return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf('|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget* widget, const QString& hint)
{
    widget->setProperty(hintProperty, hint);
    widget->setToolTip(GetShortHint(hint));
    // The blanks that space a hint on the screen are not read aloud.
    widget->setAccessibleDescription(GetShortHint(hint).trimmed());
}

QString HintOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        const QString hint = w->property(hintProperty).toString();
        if (!hint.isEmpty())
            return hint;
    }
    return QString();
}
