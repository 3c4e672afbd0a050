// The texts the calculator window shows, shared by the window's table, the copy of its grid
// and the command line, so that all of them write a number the same way.
#pragma once

#include "calc/AprTable.h"

#include <QString>

namespace TableTexts {

// The table's cells: loan amounts and fee totals in whole currency units (up to 10 digits,
// "$95,000"); rates as a blank, three decimals (or five significant digits) and "%"
// (" 8.750%"). Both follow the regional settings in force.
calc::AprTableFormats CellFormats();

// A money field of the window: currency text with two decimals ("$786.70").
QString Money(double value);

// A rate field of the window with `decimals` decimals ("8.750").
QString Fixed(double value, int decimals);

// A plain number at full precision, for CSV and messages: the shortest digits that read back
// as the same double, without an exponent unless the value is below 1e-4 or from 1e15 on.
QString PlainNumber(double value);

} // namespace TableTexts
