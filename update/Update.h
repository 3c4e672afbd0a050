// TfrmUpdate: the update centre. It shows what the program knows about itself, asks the main
// window's update component for the newest version as soon as it is shown, and offers the
// download when that version is newer. It opens with " &Close Update Center" focused; that
// button and Escape close it (Escape not while a transfer of the centre runs): there is no
// close box.
#pragma once

#include "Version.h"
#include "platform/NoCloseDialog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class QFrame;
class QLabel;
class TExplorerButton;
class TWebFileInfo;

class TfrmUpdate : public TNoCloseDialog {
    Q_OBJECT

public:
    // The running program's version and compile date, as the window shows them.
    static constexpr const char* RunningVersion = TALLYHORN_VERSION;
    static constexpr const char* CompileDate = "April 6, 1999";

    // `webFileInfo` is the main window's component; it outlives the window.
    // While the window exists, the component's windows and boxes belong to it.
    explicit TfrmUpdate(TWebFileInfo* webFileInfo, QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    void FormCreate();
    void CheckUpdate();
    void RetrieveUpdate();
    void CloseUpdateCenter();
    // True when the newest version shown is newer than the running one.
    bool IsUpdateAvailable() const;
    // Escape: Close, unless a check or a download runs.
    void reject() override;

    QFrame* Panel1;
    QLabel* Image1;
    QLabel* Label7;
    QLabel* Label1;
    QLabel* lblApplicationName;
    QLabel* Label2;
    QLabel* lblDeveloper;
    QLabel* Label8;
    QLabel* lblCurrentVersion;
    QLabel* Label10;
    QLabel* lblCurrentCompileDate;
    QLabel* Label5;
    QLabel* lblReadMe;
    QLabel* Label6;
    QLabel* lblURL;
    QLabel* lblUpdateStatus;
    QLabel* Label3;
    QLabel* lblDate;
    QLabel* Label4;
    QLabel* lblVersion;
    TExplorerButton* btnCheckForUpdate;
    TExplorerButton* btnRetrieveUpdate;
    TExplorerButton* btnClose;

    // Milliseconds the check waits for the window's activation before it starts anyway.
    static constexpr int ActivationWait = 1000;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // `label` is made here unless given.
    QLabel* AddLabel(const char* name, const QString& text, int left, int top, const QColor& colour,
                     bool visible = true, QLabel* label = nullptr);
    TExplorerButton* AddButton(const char* name, const QString& caption, int left,
                               const QString& image, bool visible);

    // Starts the showing's check, unless it has started already.
    void StartCheck();
    // Makes the centre the active window again once the windows shown over it have closed,
    // so that its keys work.
    void Reactivate();
    // Takes the activation back from a window under the centre.
    void TakeBackActivation();

    QPointer<TWebFileInfo> m_webFileInfo;
    bool m_transferring = false; // a check or a download of the centre runs
    bool m_checkQueued = false;  // this showing's check is arranged
    bool m_checkPending = false; // and waits for the window's activation
    QTimer m_activationWait;
    QElapsedTimer m_reactivated; // since the windows over the centre closed
};

// The update centre while ShowUpdate shows it; null otherwise.
extern TfrmUpdate* frmUpdate;
