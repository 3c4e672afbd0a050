// Records what reaches the application's exception trap while it lives, then puts back the
// handler that was installed before.
#pragma once

#include "platform/Application.h"

#include <QStringList>

struct TrapRecorder {
    QStringList messages;
    TExceptionHook hook{[this](QObject*, const std::exception& e) { messages << e.what(); }};
};
