// The loan formulas: monthly payment, present value of an annuity due, APR and note rate.
//
// Units: n is the number of monthly payments; money is in currency units; "monthly rate" is a
// monthly decimal rate (annual percent / 1200); results named "percent" are annual percent
// (8.75 means 8.75 % a year).
//
// Errors: a formula that meets the logarithm of zero or of a negative number, or 0/0, throws
// EInvalidOp; a non-zero number divided by zero throws EZeroDivide; a result too large for a
// double throws EOverflow. Underflow is silent (the value becomes 0). No NaN or infinity is
// ever returned.
#pragma once

#include <functional>

namespace calc {

// Called once per solver step so that the caller can process pending window messages.
using ProcessMessagesFn = std::function<void()>;
// A present-value factor with the arguments and meaning of CalcPVofOne.
using PVofOneFn = std::function<double(int n, double rate)>;

// Monthly principal-and-interest payment of `principal` over n months at `monthlyRate`.
// n == 0 gives 0; a rate of exactly 0 gives principal / n.
double CalcPayment(int n, double principal, double monthlyRate);

// Present value of n payments of 1 made at the start of each period at `rate` (monthly decimal):
// the sum of (1 + rate)^-k for k = 0 .. n-1. For n <= 2 the result is 1 + 1 / (1 + rate).
// The terms are added one by one; the loop ends as soon as the sum is final (a falling term
// that no longer changes it) or has overflowed (EOverflow), so a huge n costs no more.
double CalcPVofOne(int n, double rate);

// APR in annual percent that makes n monthly payments of `payment` worth `amountFinanced`.
// A non-positive (or NaN) amount financed gives 0. Runs 30 Newton steps with a
// forward-difference slope, calling `processMessages` after each; their result stands where
// they have settled. Where they have not (or met a math error on the way), the exact root is
// found by a bracketed solve; only where no root exists (a payment that is not positive, an
// infinite amount) does the math error propagate. `pvOfOne` replaces CalcPVofOne in the steps.
double CalcSimpleAPR(int n, double amountFinanced, double payment,
                     const ProcessMessagesFn& processMessages = {}, const PVofOneFn& pvOfOne = {});

// APR in annual percent of exactly n monthly payments (n >= 1) of `payment` worth
// `amountFinanced`. CalcSimpleAPR counts at least two payments (its present-value factor does),
// which the table never meets (n is 12 or more) but a single payment does: for n = 1 the rate is
// exactly (payment / amountFinanced - 1) a month. Otherwise, and for the guards and errors, it is
// CalcSimpleAPR's.
double CalcExactAPR(int n, double amountFinanced, double payment);

// Note rate in annual percent at which `payment` amortises `principal` over n months.
// n == 0 or a zero principal gives 0. For n >= 1 with a positive principal and a positive
// payment the result is the exact rate; other inputs give the fixed-point iteration's value.
double CalcIR(int n, double principal, double payment);

} // namespace calc
