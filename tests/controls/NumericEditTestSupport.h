// Helpers for driving the numeric edits like a user: a shown, active window, keys, the
// exception trap and temporary regional settings.
#pragma once

#include "platform/Regional.h"
#include "tests/support/TrapRecorder.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// Replaces the process-wide regional settings while it lives.
struct RegionalOverride {
    TFormatSettings previous = Regional::Current();
    explicit RegionalOverride(const TFormatSettings& settings) { Regional::Current() = settings; }
    ~RegionalOverride() { Regional::Current() = previous; }
};

// A top-level window holding the edit under test and a plain edit to move the focus to.
struct EditWindow {
    QWidget window;
    QLineEdit* other = nullptr;

    EditWindow() { window.resize(320, 120); }
    // Shows and activates the window, with the focus on the other edit.
    void Show()
    {
        other = new QLineEdit(&window);
        other->setObjectName("other");
        other->move(0, 60);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(other->hasFocus());
    }
};

// Types `keys` into the focused widget: "\b" Backspace, "\x7f" Delete, "\r" Enter,
// "\x1b" Escape, "<" and ">" the Left and Right arrows, anything else as a typed character.
inline void Type(QWidget* widget, const QString& keys)
{
    for (const QChar c : keys) {
        switch (c.unicode()) {
        case '\b': QTest::keyClick(widget, Qt::Key_Backspace); break;
        case 0x7f: QTest::keyClick(widget, Qt::Key_Delete); break;
        case '\r': QTest::keyClick(widget, Qt::Key_Return); break;
        case 0x1b: QTest::keyClick(widget, Qt::Key_Escape); break;
        case '<': QTest::keyClick(widget, Qt::Key_Left); break;
        case '>': QTest::keyClick(widget, Qt::Key_Right); break;
        default: QTest::keyClick(widget, c.toLatin1()); break;
        }
    }
}
