// A countdown control for the socket's blocking waits: while a wait runs it shows the seconds
// left as its caption and lets the message loop run, so events arrive during the wait.
#pragma once

#include <QLabel>
#include <functional>

class TWait : public QLabel {
    Q_OBJECT

public:
    explicit TWait(QWidget* parent = nullptr);

    // Waits up to `seconds` for `done` to become true, processing messages meanwhile.
    // Returns true when `done` held or Stop() was called, false when the time ran out.
    bool Wait(int seconds, const std::function<bool()>& done);
    // Ends the running wait as successful.
    void Stop() { m_stopped = true; }
    bool Running() const { return m_running; }

private:
    bool m_running = false;
    bool m_stopped = false;
};
