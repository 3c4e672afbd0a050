#include "platform/ScreenCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
TCursor current = TCursor::crDefault;

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
    current = cursor;
    if (cursor == TCursor::crDefault) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    } else if (QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(QCursor(Shape(cursor)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Shape(cursor)));
    }
}

TCursor Screen::Cursor()
{
    return current;
}
