#include "app/splash.h"

#include "Version.h"
#include "platform/Application.h"
#include "platform/WindowIcon.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

void InitAppResources()
{
    Q_INIT_RESOURCE(app);
}

QPixmap ProductPicture()
{
    InitAppResources();
    QPixmap picture(":/app/product.bmp");
    // The version is drawn here rather than in the artwork, so that it follows the program's.
    QPainter painter(&picture);
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(QColor(0xdb, 0xe9, 0xf5));
    painter.drawText(QPoint(18, 140), "Version " TALLYHORN_CAPTION_VERSION);
    return picture;
}

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    InitAppResources();
    setObjectName("SplashScreen");
    setWindowTitle("Tallyhorn");
    // The program's icon at its smallest size only: no desktop shows a splash window's icon (it
    // has no taskbar button and no place in the window switcher), and the whole set, some
    // 90,000 pixels read, sent to the display and read again by the window manager, delayed
    // the main window by milliseconds.
    setWindowIcon(QPixmap::fromImage(ProgramIconImage(ProgramIconSizes[0])));
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
    picture->setPixmap(ProductPicture());
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
    // Its native window goes too, so that a screen reader no longer lists the hidden splash.
    destroy();
}
