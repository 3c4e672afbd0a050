// The program's command line: `tallyhorn COMMAND [options]` with the commands table, apr,
// payment and chart, plus --help and --version. Reading and checking the arguments is pure
// (no application object, no files), so every rule is testable on a list of texts.
#pragma once

#include "app/CommandRequest.h"

#include <QStringList>

class TCommandLine {
public:
    // Reads `arguments` (the first is the program's name). True with `request` filled, or false
    // with `error` set to one line that names the option or argument at fault.
    static bool Parse(const QStringList& arguments, TCommandRequest& request, QString& error);

    static QString HelpText();
    static QString VersionText(); // "tallyhorn 1.0.00"

    // The checks shared by the options and the values read from the settings file. Each
    // returns an empty text when the value is acceptable, else what it must be.
    static QString CheckTerm(double years);
    static QString CheckPayments(double count);
    static QString CheckNotNegative(double value);

    // `value` as a window field with `decimals` decimals holds it (halves away from zero), so
    // the command computes with the numbers the window would.
    static double AsFieldValue(double value, int decimals);

    // The longest term and payment count accepted: beyond them a table would take minutes.
    static constexpr int MaxTermYears = 1000;
    static constexpr int MaxPayments = 12 * MaxTermYears;
};
