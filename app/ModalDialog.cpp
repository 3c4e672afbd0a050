#include "app/ModalDialog.h"

#include <QGuiApplication>
#include <QScreen>

void CentreOnScreen(QWidget* window, const QWidget* caller)
{
    QScreen* screen = caller ? caller->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->move(screen->availableGeometry().center() - window->rect().center());
}

void ShowModalDialog(QWidget* caller, std::unique_ptr<QDialog> dialog)
{
    if (caller)
        caller->repaint();
    dialog->setAttribute(Qt::WA_DeleteOnClose, false); // the unique_ptr owns it
    CentreOnScreen(dialog.get(), caller);
    dialog->exec();
}
