// The program's command line: `tallyhorn COMMAND [options]` with the commands table, apr,
// payment and chart, plus --help and --version. Reading and checking the arguments is pure
// (no application object, no files), so every rule is testable on a list of texts.
#pragma once

#include "cli/CommandRequest.h"

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
    static QString CheckPrice(double amount);  // above 0, below MaxAmount
    static QString CheckFees(double amount);   // from 0, below MaxAmount
    static QString CheckAmount(double amount); // either sign, below MaxAmount in size
    static QString CheckPercent(double value); // from 0, below MaxPercent
    static QString CheckRate(double value);    // either sign, below MaxPercent in size

    // `value` as a window field with `decimals` decimals holds it (halves away from zero), so
    // the command computes with the numbers the window would.
    static double AsFieldValue(double value, int decimals);

    // The longest term and payment count accepted: beyond them a table would take minutes.
    static constexpr int MaxTermYears = 1000;
    static constexpr int MaxPayments = 12 * MaxTermYears;
    // The window's money fields take 12 digits, so every amount they hold lies below 10^12.
    static constexpr double MaxAmount = 1e12;
    // Percentages below 10^5: five digits before the point, what the table's rate texts and
    // the window's APR field show whole (beyond it they turn to scientific notation).
    static constexpr double MaxPercent = 1e5;
};
