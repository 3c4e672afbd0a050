// The default inputs: what a new window shows, what Reset brings back, what a missing or
// unreadable stored value gives, and what the command line starts from.
#pragma once

struct TLoanInputs {
    double price;
    double interest; // note rate, annual percent
    double term;     // years
    double downPercent;
};

inline constexpr TLoanInputs DefaultInputs{100000, 8.75, 30, 0};
