// Readiness of one non-blocking socket descriptor, delivered as network messages: the
// platform's stand-in for asynchronous select on a window.
//
// Each event reaches `window` as a posted message `msg` with the descriptor as the first
// parameter and MakeSelectLParam(event bit, Windows Sockets error) as the second, one message
// per event. As with the system this stands in for, an event is reported once and then waits
// until the owner has acted on it:
// - read (or close, when the peer has ended the connection) is reported again only after
//   ReadDone(), which the owner calls after each receive;
// - accept is reported again after ReadDone() as well (call it after each accept);
// - write is watched only while a connect is in progress (ConnectStarted()) or after a send
//   would have blocked (WriteBlocked());
// - connect is reported once, with the error the system gives for the attempt (SO_ERROR),
//   followed by a write event when the connection is up.
#pragma once

#include <QObject>

class QSocketNotifier;

class TSocketEvents : public QObject {
    Q_OBJECT

public:
    TSocketEvents(QObject* window, int msg, QObject* parent = nullptr);
    ~TSocketEvents() override;

    // Starts reporting the events in `mask` (FD_... bits) for `fd`; replaces an earlier
    // selection. With an empty mask nothing is reported.
    void Select(int fd, unsigned mask);
    // Stops every report and drops the messages still queued for the descriptor. Call it
    // before the descriptor is closed.
    void Release();

    void ConnectStarted();
    void ReadDone();
    void WriteBlocked();

    // Stops and restarts the reports without forgetting the selection.
    void SetPaused(bool paused);

    int Descriptor() const { return m_fd; }

private:
    void ReadReady();
    void WriteReady();
    void Post(unsigned event, int error);
    void UpdateNotifiers();

    QObject* m_window;
    int m_msg;
    int m_fd = -1;
    unsigned m_mask = 0;
    bool m_connecting = false;
    bool m_readArmed = false;
    bool m_writeArmed = false;
    bool m_endOfStream = false;
    bool m_paused = false;
    QSocketNotifier* m_read = nullptr;
    QSocketNotifier* m_write = nullptr;
};
