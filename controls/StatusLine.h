// The window's status line: a label whose text a screen reader hears when it changes (its
// accessible role is the status bar's), such as the hint under the mouse or the result of a
// calculation.
#pragma once

#include <QLabel>

class TStatusLine : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
};
