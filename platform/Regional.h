// The user's regional settings: separators, currency symbol and patterns, date and time formats.
#pragma once

#include <QString>

struct TFormatSettings {
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QString CurrencyString = QStringLiteral("$");
    // Positive currency pattern: 0 = "$1", 1 = "1$", 2 = "$ 1", 3 = "1 $".
    int CurrencyFormat = 0;
    // Negative currency pattern, 0 to 15: 0 = "($1)", 1 = "-$1", 2 = "$-1", 3 = "$1-",
    // 4 = "(1$)", 5 = "-1$", 6 = "1-$", 7 = "1$-", 8 = "-1 $", 9 = "-$ 1", 10 = "1 $-",
    // 11 = "$ 1-", 12 = "$ -1", 13 = "1- $", 14 = "($ 1)", 15 = "(1 $)".
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    // Date and time pictures: d, dd, M, MM, yy, yyyy; h, hh, nn (minutes), ss, AMPM.
    QString ShortDateFormat = QStringLiteral("M/d/yyyy");
    QString LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
};

namespace Regional {

// The settings in force for the whole process.
TFormatSettings& Current();

// The United States values, which also apply under the "C" and "POSIX" locales.
TFormatSettings UnitedStates();

// Reads the settings of the user's POSIX locale (LANG, LC_ALL, LC_NUMERIC, LC_MONETARY...).
TFormatSettings FromSystem();

// Maps the POSIX placement of a negative currency amount onto the pattern numbers above.
int NegativePattern(bool symbolFirst, bool separatedBySpace, int signPosition);
int PositivePattern(bool symbolFirst, bool separatedBySpace);

// Converts a strftime picture ("%m/%d/%Y") into the picture language above ("MM/dd/yyyy").
QString FromStrftime(const QString& picture);

} // namespace Regional
