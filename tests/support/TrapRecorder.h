// Records what reaches the application's exception trap while it lives, then puts back the
// handler that was installed before.
#pragma once

#include "platform/Application.h"

#include <QStringList>

struct TrapRecorder {
    QStringList messages;
    Application::ExceptionHandler previous = Application::instance()->OnException();

    TrapRecorder()
    {
        Application::instance()->SetOnException(
            [this](QObject*, const std::exception& e) { messages << e.what(); });
    }
    ~TrapRecorder() { Application::instance()->SetOnException(std::move(previous)); }
    TrapRecorder(const TrapRecorder&) = delete;
    TrapRecorder& operator=(const TrapRecorder&) = delete;
};
