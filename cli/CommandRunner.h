// Runs the program as a command (`tallyhorn table ...`) instead of opening the window: reads
// the arguments, prints the result on standard output, and reports problems as one line on
// standard error. Never shows a window or a message box and never writes the settings file.
#pragma once

#include "calc/LoanModel.h"
#include "cli/CommandRequest.h"

#include <QTextStream>
#include <QtGlobal>
#include <optional>
#include <string>

class TCommandRunner {
public:
    // Exit statuses.
    static constexpr int Success = 0;
    static constexpr int Failure = 1;     // a math error, or the output cannot be written
    static constexpr int BadInput = 2;    // the arguments or a stored input are not acceptable
    static constexpr int NotAccurate = 3; // the --disclosed APR is outside its tolerance

    // True when the program was started with arguments other than the windowing system's own
    // (-platform NAME, -style NAME, -reverse and the like, which the window takes as before):
    // then it runs as a command.
    static bool Wanted(int argc, const char* const* argv);

    // Creates the application object the command needs (a windowing one only for the chart, on
    // the offscreen platform), runs the command and returns the exit status.
    static int Run(int argc, char** argv);

    // The process-wide settings a command runs under, set for the guard's lifetime and put back
    // as found afterwards: Qt's messages only when critical, SIGXFSZ ignored (past a file size
    // limit a write fails like one on a full disk, and is reported as such, instead of the
    // signal ending the program with the file cut short), and the C locale from the user's
    // environment (the regional settings are read from it, as the window reads them).
    class TProcessSettings {
    public:
        TProcessSettings();
        ~TProcessSettings();
        TProcessSettings(const TProcessSettings&) = delete;
        TProcessSettings& operator=(const TProcessSettings&) = delete;

    private:
        QtMessageHandler m_handler;
        void (*m_fileSizeSignal)(int);
        std::string m_locale;
    };

    // The table's inputs: the options given, the rest as the window would start with them
    // (the settings file is read only when some are missing; a warning about it goes to
    // `err`). Empty with `error` set when a stored value it needs is not acceptable.
    static std::optional<calc::LoanInputs> ResolveInputs(const TCommandRequest& request,
                                                         QTextStream& err, QString& error);

    // Carries out a parsed request; the application object exists already. The result for
    // standard output is left in `out` (the caller writes it); problems go to `err`.
    static int Execute(const TCommandRequest& request, QByteArray& out, QTextStream& err);

private:
    // Puts a made PDF where --output says: standard output ("-", left in `out`) or the file.
    static int WritePdf(const TCommandRequest& request, const QByteArray& pdf, QByteArray& out,
                        QTextStream& err);
};
