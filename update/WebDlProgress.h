// TWebDlProgress: the "Download Progress" window. It shows what is downloaded and how far it
// has come; its Cancel button is the user's only way to end it while the transfer runs.
#pragma once

#include "platform/NoCloseDialog.h"

#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class THttpCli;

class TWebDlProgress : public TNoCloseDialog {
    Q_OBJECT

public:
    // `client` is the transfer that Cancel aborts.
    TWebDlProgress(THttpCli* client, const QFont& font, QWidget* parent = nullptr);

    // Shows `received` of `size` bytes; a negative size means the server gave none. The bar
    // never moves back.
    void ShowProgress(qint64 received, qint64 size);

    QProgressBar* pbarProgress;
    QLabel* lblDownloading;
    QLabel* lblProgress;
    QPushButton* btnCancel;
    bool Cancelled = false;

    void btnCancelClick();

private:
    static constexpr int TextInterval = 25; // milliseconds

    THttpCli* m_client;
    qint64 m_shownPercent = -1;
    QElapsedTimer m_shown;
};
