// A window's child of type T by object name, for tests that reach controls the window keeps
// private. A missing child throws, so the test fails naming it instead of crashing.
#pragma once

#include <QObject>
#include <stdexcept>
#include <string>

template <typename T> T* Find(const QObject& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error("no child \"" + std::string(name) + "\" of the expected type in " +
                                 window.objectName().toStdString());
    return child;
}
