#include "app/ModalDialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {
// Centres its window by the frame. The window manager adds the frame only after the window
// shows, and tells its size later still: so the window is centred again whenever the frame's
// size has changed since the last centring (a move by the user changes no size and is left
// alone).
class CentreByFrame : public QObject {
public:
    CentreByFrame(QWidget* window, const QWidget* caller) : QObject(window), m_caller(caller)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize: {
            auto* window = static_cast<QWidget*>(watched);
            if (!window->isVisible())
                break;
            const QSize frame = window->frameGeometry().size();
            if (frame != m_centredFrame) {
                m_centredFrame = frame;
                CentreOnScreen(window, m_caller);
            }
            break;
        }
        default: break;
        }
        return false;
    }

private:
    const QWidget* m_caller;
    QSize m_centredFrame;
};
} // namespace

void CentreOnScreen(QWidget* window, const QWidget* caller)
{
    QScreen* screen = caller ? caller->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame's size once the window has one; the client's before.
    const QSize outer = window->isVisible() ? window->frameGeometry().size() : window->size();
    const QRect area = screen->availableGeometry();
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

void ShowModalDialog(QWidget* caller, std::unique_ptr<QDialog> dialog)
{
    if (caller)
        caller->repaint();
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    // Deleted here after its loop, unless a parent deleted meanwhile (the caller's window
    // closed for good) took it along.
    struct Owned {
        QPointer<QDialog> dialog;
        ~Owned() { delete dialog.data(); }
    } shown{dialog.release()};
    CentreOnScreen(shown.dialog, caller);
    new CentreByFrame(shown.dialog, caller);
    shown.dialog->exec();
}
