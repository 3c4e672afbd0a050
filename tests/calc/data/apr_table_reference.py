#!/usr/bin/env python3
"""Independent computation of the default APR table the tests compare with.

The default loan: 100,000 at 8.75 % over 30 years, no fees, both increments 1,000. Its monthly
payment P is computed exactly (Decimal, 60 digits); each row is a loan amount L from 95,000 to
105,000, and its cells are the annual rates at which 360 end-of-month payments of P are worth
L - F, for the fee totals F = 0 (the note rate column, then the first fee column again) and
1,000 to 5,000, found by bisection to 40 digits and shown with three decimals. Writes the
table tests/support/DefaultTable.h reads:

    python3 tests/calc/data/apr_table_reference.py > tests/calc/data/default_apr_table.txt
"""
from decimal import Decimal, getcontext, ROUND_HALF_EVEN

getcontext().prec = 60
N = 360


def payment(loan, annual_percent):
    r = Decimal(annual_percent) / 1200
    return loan * r / (1 - (1 + r) ** -N)


def present_value(monthly, pay):
    return pay * (1 - (1 + monthly) ** -N) / monthly


def rate(financed, pay):
    lo, hi = Decimal("1e-12"), Decimal(1)
    for _ in range(200):
        mid = (lo + hi) / 2
        if present_value(mid, pay) > financed:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2 * 1200


def text(percent):
    return str(percent.quantize(Decimal("0.001"), rounding=ROUND_HALF_EVEN))


def main():
    pay = payment(Decimal(100000), "8.75")
    print("# rows: loan amounts 95000 to 105000; columns: note rate, APR for fees 0 to 5000")
    for loan in range(95000, 105001, 1000):
        cells = [rate(Decimal(loan - fees), pay) for fees in (0, 0, 1000, 2000, 3000, 4000, 5000)]
        print(" ".join(text(c) for c in cells))


if __name__ == "__main__":
    main()
