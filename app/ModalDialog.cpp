#include "app/ModalDialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {
// Centres its window again once it shows, when the size of its frame is known.
class CentreWhenShown : public QObject {
public:
    CentreWhenShown(QWidget* window, const QWidget* caller) : QObject(window), m_caller(caller)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            CentreOnScreen(static_cast<QWidget*>(watched), m_caller);
        return false;
    }

private:
    const QWidget* m_caller;
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
    dialog->setAttribute(Qt::WA_DeleteOnClose, false); // the unique_ptr owns it
    CentreOnScreen(dialog.get(), caller);
    new CentreWhenShown(dialog.get(), caller);
    dialog->exec();
}
