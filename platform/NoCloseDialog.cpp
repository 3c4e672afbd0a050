#include "platform/NoCloseDialog.h"

#include <QApplication>
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
    // Closes that the window manager or the platform send are refused.
    if (!m_closing) {
        event->ignore();
        return;
    }
    event->accept();
}

void TNoCloseDialog::CloseByProgram()
{
    m_closing = true;
    SetModalResult(ModalResult::mrCancel);
    close();
    m_closing = false;
}

void TNoCloseDialog::CloseAllWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<TNoCloseDialog*>(window); dialog && dialog->isVisible())
            dialog->CloseByProgram();
    QApplication::closeAllWindows();
}

void CenterOnScreen(QWidget* window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
