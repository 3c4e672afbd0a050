// A dialog the user cannot close by the title bar, the window manager or Escape: it has no
// close box and ends only when the program sets its modal result (a button of its own, or the
// end of the work it watches) or closes it through CloseByProgram.
#pragma once

#include "platform/MessageBox.h"

#include <QDialog>

class QEventLoop;

class TNoCloseDialog : public QDialog {
    Q_OBJECT

public:
    explicit TNoCloseDialog(QWidget* parent = nullptr);
    ~TNoCloseDialog() override;

    // Shows the window modally, centred on the screen, and returns when SetModalResult is
    // called. The window stays visible afterwards until it is hidden or freed, so that it can
    // be shown again without flickering away in between.
    ModalResult ShowModal();
    // Ends ShowModal with `result`; does nothing when no ShowModal runs.
    void SetModalResult(ModalResult result);
    ModalResult Result() const { return m_result; }
    bool InModalLoop() const { return m_loop != nullptr; }

    // Escape does nothing.
    void reject() override {}

    // Ends ShowModal with mrCancel and closes the window.
    void CloseByProgram();
    // Closes every window of the program, these dialogs included, as quitting does.
    static void CloseAllWindows();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QEventLoop* m_loop = nullptr;
    ModalResult m_result = ModalResult::mrNone;
    bool m_closing = false;
};

// Places `window` in the middle of the primary screen's available area.
void CenterOnScreen(QWidget* window);
