#include "platform/ScreenCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
TCursor current = TCursor::crDefault;
bool pushed = false; // our override cursor is on the application's stack

Qt::CursorShape Shape(TCursor cursor)
{
    switch (cursor) {
    case TCursor::crHourGlass: return Qt::WaitCursor;
    case TCursor::crHandPoint: return Qt::PointingHandCursor;
    case TCursor::crDefault: break;
    }
    return Qt::ArrowCursor;
}
} // namespace

void Screen::SetCursor(TCursor cursor)
{
    // One override cursor of our own, pushed once and changed in place; the default takes back
    // only ours, so that an override cursor someone else set before stays as it was found.
    current = cursor;
    if (cursor == TCursor::crDefault) {
        if (pushed)
            QGuiApplication::restoreOverrideCursor();
        pushed = false;
    } else if (pushed) {
        QGuiApplication::changeOverrideCursor(QCursor(Shape(cursor)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Shape(cursor)));
        pushed = true;
    }
}

TCursor Screen::Cursor()
{
    return current;
}
