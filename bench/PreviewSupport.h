// What the preview benchmarks share: the time to a widget's first paint, and the first print
// command of a window, whose preview closes as soon as it shows.
#pragma once

#include "app/Main.h"
#include "report/Preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <functional>

// Lets the first paint of `watched` happen, notes the time, then runs `after` from the message
// loop.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* watched, const QElapsedTimer& clock, std::function<void()> after)
        : m_watched(watched), m_clock(clock), m_after(std::move(after))
    {
        watched->installEventFilter(this);
    }
    ~FirstPaint() override
    {
        if (m_watched)
            m_watched->removeEventFilter(this);
    }
    double Ms() const { return m_ns / 1e6; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_ns >= 0)
            return false;
        watched->event(event);
        m_ns = m_clock.nsecsElapsed();
        QMetaObject::invokeMethod(this, m_after, Qt::QueuedConnection);
        return true;
    }

private:
    QPointer<QWidget> m_watched;
    const QElapsedTimer& m_clock;
    std::function<void()> m_after;
    qint64 m_ns = -1;
};

// The first print command, which makes the chart and the preview window; the preview closes
// as soon as it is shown.
inline void FirstPrint(TfrmMain& window)
{
    struct Closer : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (auto* preview = qobject_cast<TfrmPreview*>(watched);
                preview && event->type() == QEvent::Show)
                QMetaObject::invokeMethod(
                    preview, [preview] { preview->bbCloseClick(); }, Qt::QueuedConnection);
            return false;
        }
    } closer;
    qApp->installEventFilter(&closer);
    window.btnPrintClick();
    qApp->removeEventFilter(&closer);
}
