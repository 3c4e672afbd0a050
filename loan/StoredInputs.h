// The loan inputs the window would start with, read from the settings file without writing
// anything: no file, folder or copy is created and no key is written back.
#pragma once

#include "calc/DefaultInputs.h"
#include "platform/ProfileFile.h"
#include "platform/Regional.h"

#include <QList>
#include <QString>

struct TStoredInputs {
    // The section of the settings file that holds the window's last values.
    static constexpr const char* Section = "LastValues";

    // The default inputs, used for missing keys and after a value that is not a number (then
    // for all four, as at the window's start).
    double price = DefaultInputs.price;
    double interest = DefaultInputs.interest;
    double term = DefaultInputs.term;
    double downPercent = DefaultInputs.downPercent;

    // A stored value that is not a number: its key, its text and the conversion's message.
    struct TNotANumber {
        QString key;
        QString text;
        QString message;
    };

    // The four values in section "LastValues" of `ini`, a missing key giving the default. At
    // the first value that is not a number all four are the defaults and `wrong` (when given)
    // describes that value; its key stays empty otherwise.
    static TStoredInputs ReadValues(const ProfileFile& ini, TNotANumber* wrong);

    // The four values as the settings file keeps them: general text with the regional decimal
    // separator, in the order Price, Interest, Term, DownPercent.
    QList<ProfileFile::Entry> Entries(const TFormatSettings& settings) const;

    // Reads section "LastValues" of the settings file the window would use. `warning`
    // receives one line for the user when that file, or the file beside the program that the
    // window passes over, cannot be read or is damaged, or when a value is not a number; it is
    // empty otherwise.
    static TStoredInputs Read(QString* warning);

    // The settings file the window would read, found without side effects by the window's own
    // rule (platform/ProgramFolder.h); where the window would first take over the values of
    // the file in the other place, that file.
    static QString FilePath();

    // A stored number: the regional decimal separator or the other of "." and "," (one of
    // them, once) and no grouping, so a file written under other regional settings, or by
    // hand, still reads. For an `amount` (the price), exactly three digits after the separator
    // that is not the regional one are grouping typed by hand ("100,000" under a "." locale,
    // "250.000" under a "," one), not a decimal separator: refused. Throws
    // calc::EConvertError for a text that is not a number.
    static double StoredNumber(const QString& text, const TFormatSettings& settings, bool amount);
};
