#include "update/WebDlProgress.h"

#include "platform/Application.h"
#include "update/HttpProt.h"
#include "update/InfoPage.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TWebDlProgress::TWebDlProgress(THttpCli* client, const QFont& font, QWidget* parent)
    : TNoCloseDialog(parent), m_client(client)
{
    setObjectName("WebDlProgress");
    setWindowTitle("Download Progress");
    setFont(font);
    setCursor(Qt::WaitCursor);
    setFixedSize(272, 123);

    lblDownloading = new QLabel(this);
    lblDownloading->setObjectName("lblDownloading");
    lblDownloading->setGeometry(2, 10, 268, 18);
    lblDownloading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    pbarProgress = new QProgressBar(this);
    pbarProgress->setObjectName("pbarProgress");
    pbarProgress->setGeometry(36, 40, 200, 14);
    pbarProgress->setRange(0, 100);
    pbarProgress->setValue(0);
    pbarProgress->setTextVisible(false);

    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblProgress->setGeometry(2, 60, 268, 22);
    lblProgress->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(102, 94, 68, 22);
    btnCancel->setCursor(Qt::ArrowCursor);
    btnCancel->setAutoDefault(false);
    setTabOrder(pbarProgress, btnCancel);
    btnCancel->setFocus();
    connect(btnCancel, &QPushButton::clicked, this,
            [this] { Application::Guard(this, [this] { btnCancelClick(); }); });
}

void TWebDlProgress::ShowProgress(qint64 received, qint64 size)
{
    if (Cancelled)
        return;
    if (size >= 0) {
        const qint64 percent = size > 0 ? std::min<qint64>(received * 100 / size, 100) : 100;
        // A large download brings thousands of blocks: the text changes with each whole
        // percent, at the end, and otherwise every few hundredths of a second.
        const bool due = percent != m_shownPercent || received >= size || !m_shown.isValid() ||
                         m_shown.hasExpired(TextInterval);
        if (!due)
            return;
        m_shownPercent = percent;
        lblProgress->setText(
            QString("%1 of %2 bytes received.")
                .arg(InfoPage::FormatThousands(received), InfoPage::FormatThousands(size)));
        if (percent > pbarProgress->value())
            pbarProgress->setValue(static_cast<int>(percent));
    } else {
        // Without a length there is no share to show, only the count.
        lblProgress->setText(
            QString("%1 bytes received.").arg(InfoPage::FormatThousands(received)));
    }
    m_shown.start();
}

void TWebDlProgress::btnCancelClick()
{
    Cancelled = true;
    if (m_client)
        m_client->Abort();
}
