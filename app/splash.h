// The splash window shown while the program loads; its timer hides it after 5 seconds.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class TSplashScreen : public QWidget {
    Q_OBJECT

public:
    explicit TSplashScreen(QWidget* parent = nullptr);

    QTimer* Timer1() const { return m_timer1; }

    // Disables the timer and hides the window for good.
    void Timer1Timer();

private:
    QTimer* m_timer1;
};

// The product picture of the splash window and the about box, with the version drawn on it.
QPixmap ProductPicture();

// Makes the compiled-in images of app/ available (the library is static).
void InitAppResources();
