// Making the windowing application object with a clear end when its platform cannot start.
// Qt ends the process with a fatal error (an abort, status 134) when, say, no display can be
// reached, after a few lines of its own. While a TPlatformStart lives, the messages logged are
// held back; on such a fatal error the program prints only `failureLine` (with a line break)
// on standard error and exits with status 1. When it goes, the held messages go on to the
// handler installed before it, as if nothing had been held.
#pragma once

#include <QString>

class TPlatformStart {
public:
    static constexpr int FailureStatus = 1; // the command line's status for a failure
    explicit TPlatformStart(const QString& failureLine);
    ~TPlatformStart();
    TPlatformStart(const TPlatformStart&) = delete;
    TPlatformStart& operator=(const TPlatformStart&) = delete;
};
