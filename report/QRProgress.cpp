#include "report/QRProgress.h"

#include "platform/Application.h"
#include "report/QRPrinter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

TQRProgress::TQRProgress(const QString& caption, const QString& message, int maximum,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_maximum(std::max(1, maximum)), m_barStep(std::max(1, m_maximum / 20))
{
    setObjectName(QStringLiteral("QRProgressForm"));
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(ClientWidth, ClientHeight);
    setCursor(Qt::WaitCursor);

    m_message = new QLabel(message, this);
    m_message->setObjectName(QStringLiteral("Info"));
    m_message->setGeometry(20, 10, 360, 20);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Gauge"));
    m_bar->setGeometry(20, 40, 360, 20);
    m_bar->setRange(0, m_maximum);
    m_bar->setValue(0);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setGeometry(170, 75, 60, 26);
    m_cancel->setDefault(true);
    m_cancel->setAutoDefault(true);
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { Application::Guard(this, [] { TQRPrinter::Instance().Cancel(); }); });

    m_redraw.setSingleShot(true);
    connect(&m_redraw, &QTimer::timeout, this, [this] { ShowValue(); });

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TQRProgress::Step()
{
    ++m_position;
    if (m_position % m_barStep == 0 || m_position >= m_maximum) {
        m_value = std::min(m_position, m_maximum);
        ShowValue();
    }
}

void TQRProgress::ShowValue()
{
    // The bar draws itself at once on every new value, which costs more than laying out many
    // rows: it is drawn at most once per interval, with the newest value.
    if (m_drawn.isValid() && m_drawn.elapsed() < RedrawInterval) {
        if (!m_redraw.isActive())
            m_redraw.start(static_cast<int>(RedrawInterval - m_drawn.elapsed()));
        return;
    }
    m_redraw.stop();
    m_drawn.start();
    m_bar->setValue(m_value);
}

void TQRProgress::reject()
{
    TQRPrinter::Instance().Cancel();
}
