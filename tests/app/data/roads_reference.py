#!/usr/bin/env python3
"""The exact figures of many loans at once, for RoadsAgreeTest.

Reads one loan a line on standard input, as the user types it:

    price downPercent termYears rate fees mi miMonths

and writes one line a loan: the price, down payment, loan, fees and the figures in whole cents,
then the total interest percentage, the APR of the disclosed payments and the APR of the
unrounded payment against the loan less the fees (the calculator's APR field), 12 decimals:

    price down loan fees payment financed charge total interest mi last firstYear lastYear
    years tip apr fieldApr

The down payment is the price's cents times the percent to three decimals, rounded half up; the
loan is the rest. The figures are those of disclosure_reference.py (exact decimal arithmetic).
"""
import os
import sys
from decimal import Decimal, ROUND_HALF_UP
from fractions import Fraction

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "calc",
                                "data"))
import disclosure_reference as ref  # noqa: E402


def readable_thousandths(x):
    """A number x 1000 from its 15-significant-digit decimal, halves away from zero."""
    d = Decimal(format(x, ".14e")).quantize(Decimal("0.001"), rounding=ROUND_HALF_UP)
    return int(d * 1000)


def loan_line(fields):
    price, down, term, rate, fees, mi = (float(f) for f in fields[:6])
    months = int(fields[6])
    price_cents = ref.readable_cents(price)
    down_cents = ref.round_cents(Fraction(price_cents * readable_thousandths(down), 10 ** 7))
    loan_cents = price_cents - down_cents
    loan = loan_cents / 100
    n = 12 * int(term)
    f = ref.figures(loan, n, rate, fees, mi, months)
    fee_cents = ref.readable_cents(fees)
    financed = Fraction(loan) - Fraction(fee_cents / 100)
    payment = ref.exact_payment(Fraction(loan), n, Fraction(rate))
    field_apr = ref.stream_apr(Decimal(financed.numerator) / Decimal(financed.denominator),
                               [(n, payment)])
    cents = [price_cents, down_cents, loan_cents, fee_cents, f["payment"], f["financed"],
             f["charge"], f["total"], f["interest"], f["mi"], f["last"], f["first_year"],
             f["last_year"], f["years"]]
    return " ".join([str(c) for c in cents] +
                    ["%.12f" % f["tip"], "%.12f" % f["apr"], "%.12f" % field_apr])


def main():
    for line in sys.stdin:
        if line.strip():
            print(loan_line(line.split()))


if __name__ == "__main__":
    main()
