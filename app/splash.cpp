#include "app/splash.h"

#include "platform/Application.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

void InitAppResources()
{
    Q_INIT_RESOURCE(app);
}

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    InitAppResources();
    setObjectName("SplashScreen");
    setWindowTitle("Tallyhorn");
    setFixedSize(326, 194);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    // A lowered bevel with a 3-pixel border around the white panel holding the picture.
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setLineWidth(1);
    bevel->setGeometry(0, 0, 326, 194);
    auto* picture = new QLabel(this);
    picture->setObjectName("imgProduct");
    picture->setPixmap(QPixmap(":/app/product.bmp"));
    picture->setAlignment(Qt::AlignCenter);
    picture->setGeometry(4, 4, 318, 186);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    m_timer1->setInterval(5000);
    connect(m_timer1, &QTimer::timeout, this,
            [this] { Application::Guard(this, [this] { Timer1Timer(); }); });

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashScreen::Timer1Timer()
{
    m_timer1->stop();
    hide();
}
