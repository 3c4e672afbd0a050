// The window's status line: a label whose text a screen reader can read at any time (its
// accessible role is the status bar's), such as the hint under the mouse. Announce also tells
// a reader at once, through a notification the line holds: readers speak a notification as it
// appears, while they pass over a status bar's change away from the focus.
#pragma once

#include <QLabel>

// The notification: an empty-sized label, shown to announce its text.
class TAnnouncement : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
};

class TStatusLine : public QLabel {
    Q_OBJECT

public:
    explicit TStatusLine(const QString& text, QWidget* parent = nullptr);

    // Shows `text` on the line and announces it (without the blanks that space it).
    void Announce(const QString& text);

private:
    TAnnouncement* m_announcement;
};
