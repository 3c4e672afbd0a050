#!/usr/bin/env python3
"""Independent exact computation of compared loan offers and of schedules paid with extra
principal, for OffersTest.

Decimal and Fraction arithmetic only. An offer's loan, fees, other loan costs and insurance
count in cents as their 15-significant-digit decimal shows them (halves up); its points are the
percent of the loan with three decimals as typed, and the points amount is the loan in cents
times the points over 100, exactly, rounded to cents with halves up. The payment is the exact
annuity payment of the loan in cents at the note rate over term x 12 months, rounded to cents;
each month's interest is the balance times the note rate with three decimals over 1200, rounded
to cents with halves up, and the last payment clears the balance. The prepaid finance charges
are the points and the fees; the APR is that of the payments as disclosed (each with its
insurance, in cents) against the loan less the prepaid finance charges, by bisection on the
closed-form value of each run of equal payments.

In 5 Years: the first 60 payments (all of them for a shorter loan) with their insurance, plus
the points, fees and other loan costs paid up front; the principal paid off in those months.
The cost of an offer at month m: its up-front costs, the payments and insurance of months 1..m
and the balance owed after month m, less the loan. The break-even of a pair: the first month
from which the offer with more paid up front costs strictly less at every month to the end of
the shorter term ("never" when there is none); equal up-front costs have none, and the offer
costing less at the end of the shorter term (the first of equals) is named instead. The best
offer of a comparison: the lowest APR as shown (rounded to three decimals, halves up), the
lowest 5-year total, the lowest TIP (exact); none where two or more share the lowest.

Extra payments: each month the contract's interest and regular payment, then that month's
extra principal (the monthly extra from its first month, plus every lump of the month) but
never more than the balance still owed; the schedule ends when the balance reaches zero.

Reads the offers from the tables below, or a JSON object {"offers": [...], "comparisons":
[...], "extras": [...]} in the tables' layout on standard input with --stdin. Prints the table
OffersTest reads (it runs this script):

    python3 tests/calc/data/offers_reference.py
"""
import json
import sys
from decimal import Decimal, getcontext, ROUND_HALF_UP
from fractions import Fraction

getcontext().prec = 60

# name, loan, term years, note rate %, points %, fees, other loan costs, monthly MI, MI months
OFFERS = [
    ("rate6875", 300000.0, 30, 6.875, 0.0, 2400.0, 0.0, 0.0, 0),
    ("points150", 300000.0, 30, 6.5, 1.5, 2400.0, 0.0, 0.0, 0),
    ("term15", 300000.0, 15, 6.0, 0.0, 2400.0, 0.0, 0.0, 0),
    # Equal up-front costs (4500 each), one of them twice.
    ("lowFees", 250000.0, 30, 6.875, 0.0, 1000.0, 3500.0, 0.0, 0),
    ("highFees", 250000.0, 30, 7.0, 0.0, 3000.0, 1500.0, 0.0, 0),
    ("lowFeesAgain", 250000.0, 30, 6.875, 0.0, 1000.0, 3500.0, 0.0, 0),
    # Insurance against none: a lower rate with a point and 11 years of insurance.
    ("withMI", 200000.0, 30, 6.25, 1.0, 2000.0, 900.0, 150.0, 132),
    ("noMI", 200000.0, 30, 6.75, 0.0, 2000.0, 900.0, 0.0, 0),
    # More up front and a higher rate: never worth it.
    ("pointsHigher", 180000.0, 20, 7.125, 2.0, 1200.0, 0.0, 0.0, 0),
    ("plain", 180000.0, 20, 6.875, 0.0, 1200.0, 0.0, 0.0, 0),
    # Shorter than five years against ten years.
    ("threeYears", 30000.0, 3, 7.5, 0.0, 500.0, 250.0, 0.0, 0),
    ("tenYears", 30000.0, 10, 7.0, 1.0, 500.0, 0.0, 0.0, 0),
    # The offer with more up front is cheaper while the other pays insurance, then no more.
    ("dipHigher", 200000.0, 30, 6.75, 0.0, 3000.0, 0.0, 0.0, 0),
    ("dipLower", 200000.0, 30, 6.25, 0.0, 1000.0, 0.0, 300.0, 24),
    # It is cheaper for a while, then dearer, then cheaper for good.
    ("crossHigher", 200000.0, 30, 6.0, 1.0, 1000.0, 0.0, 200.0, 120),
    ("crossLower", 200000.0, 30, 6.5, 0.0, 1000.0, 0.0, 500.0, 12),
    # The same loan; the insurance of the one with less up front makes up the difference
    # exactly in month 20, and they cost the same from then on: never less.
    ("tieHigher", 200000.0, 30, 6.5, 0.0, 3000.0, 0.0, 0.0, 0),
    ("tieLower", 200000.0, 30, 6.5, 0.0, 1000.0, 0.0, 100.0, 20),
    # Four offers, one loan a little smaller; points of half a cent that round up.
    ("four700", 400000.0, 30, 7.0, 0.0, 1500.0, 800.0, 0.0, 0),
    ("four675", 400000.0, 30, 6.75, 0.5, 1500.0, 800.0, 0.0, 0),
    ("four650", 395000.0, 30, 6.5, 1.25, 1500.0, 800.0, 0.0, 0),
    ("four625", 1000000.4, 30, 6.25, 1.25, 1500.0, 800.0, 210.55, 60),
]

# name, offers (by name)
COMPARISONS = [
    ("example", ["rate6875", "points150", "term15"]),
    ("equalCosts", ["lowFees", "highFees", "lowFeesAgain"]),
    ("insurance", ["withMI", "noMI"]),
    ("never", ["pointsHigher", "plain"]),
    ("shortLoan", ["threeYears", "tenYears"]),
    ("dip", ["dipHigher", "dipLower"]),
    ("crossings", ["crossLower", "crossHigher"]),
    ("tie", ["tieHigher", "tieLower"]),
    ("fourOffers", ["four700", "four675", "four650", "four625"]),
]

# name, offer, monthly extra, first month of it, lumps [(month, amount)]
EXTRAS = [
    ("from13", "rate6875", 200.0, 13, [(60, 10000.0), (120, 5000.0)]),
    # The balance after month 120's payment exactly: the lump ends the loan there.
    ("lumpPaysOff", "points150", 0.0, 1, [(120, 254329.14)]),
    ("lumpTooLarge", "term15", 0.0, 1, [(24, 1000000.0)]),
    ("insuranceStops", "withMI", 500.0, 1, [(36, 2000.0), (36, 3000.0)]),
    ("threeYearsEarly", "threeYears", 1000.0, 1, []),
    ("lastMonthOnly", "tenYears", 0.0, 1, [(120, 100.0)]),
]


def readable_cents(x):
    """A number to whole cents from its 15-significant-digit decimal, halves away from zero."""
    d = Decimal(format(x, ".14e")).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    return int(d * 100)


def half_up(q):
    """A non-negative Fraction to a whole number, halves up."""
    whole = q.numerator // q.denominator
    return whole + 1 if q - whole >= Fraction(1, 2) else whole


def thousandths(x):
    """The number with three decimals, as a field shows it."""
    return Fraction(Decimal(repr(x)).quantize(Decimal("0.001"), ROUND_HALF_UP))


def annuity_payment_cents(loan_cents, n, rate):
    L = Decimal(loan_cents) / 100
    R = Fraction(rate)
    r = Decimal(R.numerator) / Decimal(R.denominator) / 1200
    pay = L / n if r == 0 else L * r / (1 - (1 + r) ** (-n))
    return half_up(Fraction(pay) * 100)


def interest_cents(balance, rate3):
    return half_up(balance * rate3 / 1200)


def schedule(loan_cents, n, rate3, payment, mi_cents, mi_months, extra=None):
    """Rows (number, payment, interest, principal, extra, balance, mi) in cents. `extra` maps a
    month to the extra principal wanted in it."""
    rows = []
    balance = loan_cents
    k = 0
    while balance > 0 and k < n:
        k += 1
        interest = interest_cents(balance, rate3)
        pay = payment
        if k == n or balance + interest <= pay:
            pay = balance + interest
        principal = pay - interest
        balance -= principal
        x = min(extra(k), balance) if extra else 0
        balance -= x
        rows.append((k, pay, interest, principal, x, balance, mi_cents if k <= mi_months else 0))
    assert balance == 0
    return rows


def present_value(runs, i):
    total, before = Decimal(0), 0
    v = 1 / (1 + i)
    for count, amount in runs:
        a = Decimal(count) if i == 0 else (1 - v ** count) / i
        total += amount * v ** before * a
        before += count
    return total


def apr(financed_cents, paid_cents):
    runs = []
    for c in paid_cents:
        if runs and runs[-1][1] == c:
            runs[-1][0] += 1
        else:
            runs.append([1, c])
    runs = [(count, Decimal(c) / 100) for count, c in runs]
    financed = Decimal(financed_cents) / 100
    if len(paid_cents) == 1:
        return (runs[0][1] / financed - 1) * 1200
    lo, hi = Decimal("-0.999999"), Decimal(10)
    for _ in range(200):
        mid = (lo + hi) / 2
        if present_value(runs, mid) > financed:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2 * 1200


def offer_figures(loan, term, rate, points, fees, costs, mi, mi_months):
    n = term * 12
    loan_c = readable_cents(loan)
    points_c = half_up(loan_c * thousandths(points) / 100)
    prepaid = points_c + readable_cents(fees)
    up_front = prepaid + readable_cents(costs)
    payment = annuity_payment_cents(loan_c, n, rate)
    mi_c = readable_cents(mi)
    rate3 = thousandths(rate)
    rows = schedule(loan_c, n, rate3, payment, mi_c, mi_months)
    interest = sum(r[2] for r in rows)
    total = sum(r[1] + r[6] for r in rows)
    financed = loan_c - prepaid
    five = rows[:60]
    return dict(loan=loan_c, n=n, rate3=rate3, mi=mi_c, mi_months=mi_months, rows=rows,
                payment=payment, points=points_c, prepaid=prepaid, up_front=up_front,
                financed=financed, interest=interest, total=total, charge=total - financed,
                tip=Fraction(interest * 100, loan_c),
                apr=apr(financed, [r[1] + r[6] for r in rows]),
                five_months=len(five), five_total=up_front + sum(r[1] + r[6] for r in five),
                five_principal=sum(r[3] for r in five))


def cost_at(f, m):
    paid = sum(r[1] + r[6] for r in f["rows"][:m])
    owed = f["loan"] if m == 0 else f["rows"][m - 1][5]
    return f["up_front"] + paid + owed - f["loan"]


def break_even(a, b):
    """(kind, higher, month, cheaper) of the pair."""
    end = min(len(a["rows"]), len(b["rows"]))
    ca = [cost_at(a, m) for m in range(end + 1)]
    cb = [cost_at(b, m) for m in range(end + 1)]
    if a["up_front"] == b["up_front"]:
        return ("sooner", 0, 0, 1 if cb[end] < ca[end] else 0)
    higher = 0 if a["up_front"] > b["up_front"] else 1
    ch, co = (ca, cb) if higher == 0 else (cb, ca)
    for m in range(1, end + 1):
        if all(ch[k] < co[k] for k in range(m, end + 1)):
            return ("month", higher, m, 0)
    return ("never", higher, 0, 0)


def lowest(values):
    best = min(values)
    if values.count(best) > 1:
        return -1  # a shared lowest value marks no offer
    return values.index(best)


def apr_as_shown(a):
    return a.quantize(Decimal("0.001"), ROUND_HALF_UP)


def with_extra(f, monthly, first, lumps):
    monthly_c = readable_cents(monthly)
    by_month = {}
    for month, amount in lumps:
        by_month[month] = by_month.get(month, 0) + readable_cents(amount)
    wanted = lambda k: (monthly_c if k >= first else 0) + by_month.get(k, 0)  # noqa: E731
    rows = schedule(f["loan"], f["n"], f["rate3"], f["payment"], f["mi"], f["mi_months"], wanted)
    interest = sum(r[2] for r in rows)
    return dict(payoff=len(rows), saved=len(f["rows"]) - len(rows), interest=interest,
                interest_saved=f["interest"] - interest, extra=sum(r[4] for r in rows),
                mi=sum(r[6] for r in rows), paid=sum(r[1] + r[4] + r[6] for r in rows),
                last_payment=rows[-1][1], last_extra=rows[-1][4],
                years=(len(rows) + 11) // 12,
                first_year_extra=sum(r[4] for r in rows[:12]))


def cents(c):
    sign = "-" if c < 0 else ""
    c = abs(c)
    return "%s%d.%02d" % (sign, c // 100, c % 100)


def main():
    offers, comparisons, extras = OFFERS, COMPARISONS, EXTRAS
    if "--stdin" in sys.argv[1:]:
        given = json.load(sys.stdin)
        offers = [tuple(o) for o in given.get("offers", [])]
        comparisons = [tuple(c) for c in given.get("comparisons", [])]
        extras = [(e[0], e[1], e[2], e[3], [tuple(x) for x in e[4]])
                  for e in given.get("extras", [])]
    figures = {}
    print("# offer name loan term rate points fees costs mi miMonths | payment apr tip "
          "amountFinanced financeCharge totalOfPayments totalInterest pointsAmount prepaid "
          "upFront fiveYearMonths fiveYearTotal fiveYearPrincipal costAtMonth12 costAtEnd")
    for name, loan, term, rate, points, fees, costs, mi, months in offers:
        f = offer_figures(loan, term, rate, points, fees, costs, mi, months)
        figures[name] = f
        print(" ".join(["offer", name, repr(loan), str(term), repr(rate), repr(points),
                        repr(fees), repr(costs), repr(mi), str(months), "|",
                        cents(f["payment"]), "%.12f" % f["apr"],
                        "%.12f" % (Decimal(f["tip"].numerator) / f["tip"].denominator),
                        cents(f["financed"]), cents(f["charge"]), cents(f["total"]),
                        cents(f["interest"]), cents(f["points"]), cents(f["prepaid"]),
                        cents(f["up_front"]), str(f["five_months"]), cents(f["five_total"]),
                        cents(f["five_principal"]), cents(cost_at(f, 12)),
                        cents(cost_at(f, len(f["rows"])))]))
    print("# compare name offers | lowestApr lowestFiveYearTotal lowestTip")
    print("# pair first second | kind higher month cheaper")
    for name, members in comparisons:
        fs = [figures[m] for m in members]
        print(" ".join(["compare", name, ",".join(members), "|",
                        str(lowest([apr_as_shown(f["apr"]) for f in fs])),
                        str(lowest([f["five_total"] for f in fs])),
                        str(lowest([f["tip"] for f in fs]))]))
        for i in range(len(members)):
            for j in range(i + 1, len(members)):
                kind, higher, month, cheaper = break_even(fs[i], fs[j])
                print(" ".join(["pair", members[i], members[j], "|", kind, str(higher),
                                str(month), str(cheaper)]))
    print("# extra name offer monthly fromMonth lumps | payoffMonth paymentsSaved "
          "totalInterest interestSaved totalExtra totalMI totalPaid lastPayment lastExtra "
          "years firstYearExtra")
    for name, offer, monthly, first, lumps in extras:
        x = with_extra(figures[offer], monthly, first, lumps)
        lump_text = ",".join("%d:%r" % (m, a) for m, a in lumps) or "-"
        print(" ".join(["extra", name, offer, repr(monthly), str(first), lump_text, "|",
                        str(x["payoff"]), str(x["saved"]), cents(x["interest"]),
                        cents(x["interest_saved"]), cents(x["extra"]), cents(x["mi"]),
                        cents(x["paid"]), cents(x["last_payment"]), cents(x["last_extra"]),
                        str(x["years"]), cents(x["first_year_extra"])]))


if __name__ == "__main__":
    main()
