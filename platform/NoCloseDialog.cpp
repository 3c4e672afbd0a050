#include "platform/NoCloseDialog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

TNoCloseDialog::TNoCloseDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setModal(true);
}

TNoCloseDialog::~TNoCloseDialog()
{
    if (m_loop)
        m_loop->exit(static_cast<int>(ModalResult::mrCancel));
}

ModalResult TNoCloseDialog::ShowModal()
{
    m_result = ModalResult::mrNone;
    setWindowModality(Qt::ApplicationModal);
    if (!isVisible()) {
        CenterOnScreen(this);
        show();
    }
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    return m_result;
}

void TNoCloseDialog::SetModalResult(ModalResult result)
{
    m_result = result;
    if (m_loop)
        m_loop->quit();
}

void TNoCloseDialog::closeEvent(QCloseEvent* event)
{
    // The window manager's close (a spontaneous event) is refused; a close by the program,
    // such as closing every window when it quits, ends the dialog.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    SetModalResult(ModalResult::mrCancel);
    done(QDialog::Rejected);
    event->accept();
}

void CenterOnScreen(QWidget* window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
