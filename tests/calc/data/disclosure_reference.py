#!/usr/bin/env python3
"""Independent exact computation of the disclosure figures for DisclosureTest.

Decimal and Fraction arithmetic only: every input number is taken at its exact binary value
(the value the program holds), except that the loan, the fees and the insurance count in cents
as their 15-significant-digit decimal shows them (rounded half up: a typed 1000.005 is
1000.01), and each month's interest is the balance times the note
rate as its decimal text with three decimals (as the fields show it) over 1200, rounded to
cents with halves up; the last payment clears the balance, and the APR is that of the payments as disclosed (each
payment with its insurance in cents, the last one adjusted, against the amount financed in
cents), found by bisection to 40 digits on the closed-form value of each stream. Writes the table DisclosureTest reads:

    python3 tests/calc/data/disclosure_reference.py > tests/calc/data/disclosure_reference.txt
"""
from decimal import Decimal, getcontext, ROUND_HALF_UP
from fractions import Fraction

getcontext().prec = 60

# name, loan, payments, note rate %, prepaid finance charges, monthly MI, MI months
LOANS = [
    ("default", 100000.0, 360, 8.75, 0.0, 0.0, 0),
    ("fees15y", 80000.0, 180, 6.5, 3000.0, 0.0, 0),
    ("oddCents", 250000.55, 360, 7.125, 4321.1, 0.0, 0),
    ("mi84", 250000.55, 360, 7.125, 4321.1, 104.17, 84),
    ("miAll", 150000.0, 240, 5.375, 2500.0, 62.5, 240),
    ("mi1", 120000.0, 360, 4.0, 1800.0, 55.0, 1),
    ("oneYear", 95000.0, 12, 8.75, 1000.0, 0.0, 0),
    ("zeroRate", 100000.0, 360, 0.0, 500.0, 0.0, 0),
    ("onePayment", 1000.0, 1, 12.0, 10.0, 0.0, 0),
    ("bigLoan", 987654321.99, 480, 13.333, 12345.67, 4321.09, 120),
    ("tinyRate", 100.0, 60, 0.05, 0.0, 0.0, 0),
    ("tie48", 100001.25, 360, 4.8, 0.0, 0.0, 0),
    ("tie48long", 100001.25, 480, 4.8, 750.0, 0.0, 0),
    ("typedHalves", 250000.005, 360, 6.125, 1000.005, 104.175, 12),
]


def exact(x):
    return Fraction(x)


def round_cents(q):
    """A Fraction of currency units to whole cents, halves away from zero."""
    c = q * 100
    sign = -1 if c < 0 else 1
    c = abs(c)
    whole = c.numerator // c.denominator
    if c - whole >= Fraction(1, 2):
        whole += 1
    return sign * whole


def readable_cents(x):
    """A number to whole cents from its 15-significant-digit decimal, halves away from zero."""
    d = Decimal(format(x, ".14e")).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    return int(d * 100)


def exact_payment(loan, n, rate):
    r = Decimal(rate.numerator) / Decimal(rate.denominator) / 1200
    L = Decimal(loan.numerator) / Decimal(loan.denominator)
    if r == 0:
        return L / n
    return L * r / (1 - (1 + r) ** (-n))


def dec_to_fraction(d):
    return Fraction(d)


def stream_value(streams, i):
    """Present value at monthly rate i of the streams paid at the end of each month."""
    total = Decimal(0)
    before = 0
    v = 1 / (1 + i)
    for count, pay in streams:
        if i == 0:
            a = Decimal(count)
        else:
            a = (1 - v ** count) / i
        total += pay * v ** before * a
        before += count
    return total


def stream_apr(financed, streams):
    if sum(c for c, _ in streams) == 1:
        return (streams[0][1] / financed - 1) * 1200
    lo, hi = Decimal("-0.999999"), Decimal(10)
    for _ in range(200):
        mid = (lo + hi) / 2
        if stream_value(streams, mid) > financed:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2 * 1200


def figures(loan, n, rate, prepaid, mi, mi_months):
    L, R, F, M = exact(loan), exact(rate), exact(prepaid), exact(mi)
    shown_rate = Fraction(Decimal(repr(rate)).quantize(Decimal("0.001"), ROUND_HALF_UP))
    pay = exact_payment(Fraction(readable_cents(loan), 100), n, R)
    pay_cents = round_cents(dec_to_fraction(pay))
    mi_cents = readable_cents(mi)
    balance = readable_cents(loan)
    loan_cents = balance
    total_interest = total_mi = total_payments = 0
    year_interest = []
    last_payment = 0
    paid = []  # each month's payment and insurance, in cents
    for k in range(1, n + 1):
        if balance <= 0:
            break
        interest = round_cents(Fraction(balance, 100) * shown_rate / 1200)
        payment = pay_cents
        if k == n or balance + interest <= payment:
            payment = balance + interest
        balance -= payment - interest
        m = mi_cents if k <= mi_months else 0
        total_interest += interest
        total_mi += m
        total_payments += payment + m
        paid.append(payment + m)
        if (k - 1) % 12 == 0:
            year_interest.append(0)
        year_interest[-1] += interest
        last_payment = payment
    assert balance == 0
    financed_cents = loan_cents - readable_cents(prepaid)
    finance_charge = total_payments - financed_cents
    tip = Decimal(total_interest) / Decimal(loan_cents) * 100
    streams = []
    for c in paid:
        if streams and streams[-1][1] == c:
            streams[-1][0] += 1
        else:
            streams.append([1, c])
    apr = stream_apr(Decimal(financed_cents) / 100, [(k, Decimal(c) / 100) for k, c in streams])
    return dict(payment=pay_cents, financed=financed_cents, charge=finance_charge,
                total=total_payments, interest=total_interest, mi=total_mi, tip=tip, apr=apr,
                last=last_payment, first_year=year_interest[0], last_year=year_interest[-1],
                years=len(year_interest))


def cents(c):
    sign = "-" if c < 0 else ""
    c = abs(c)
    return "%s%d.%02d" % (sign, c // 100, c % 100)


def main():
    print("# name loan n rate prepaid mi miMonths | payment amountFinanced financeCharge "
          "totalOfPayments totalInterest totalMI tip apr lastPayment firstYearInterest "
          "lastYearInterest years")
    for name, loan, n, rate, prepaid, mi, months in LOANS:
        f = figures(loan, n, rate, prepaid, mi, months)
        print(" ".join([name, repr(loan), str(n), repr(rate), repr(prepaid), repr(mi), str(months),
                        "|", cents(f["payment"]), cents(f["financed"]), cents(f["charge"]),
                        cents(f["total"]), cents(f["interest"]), cents(f["mi"]),
                        "%.12f" % f["tip"], "%.12f" % f["apr"], cents(f["last"]),
                        cents(f["first_year"]), cents(f["last_year"]), str(f["years"])]))


if __name__ == "__main__":
    main()
