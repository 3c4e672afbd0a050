#include "loan/OfferComparison.h"

#include "calc/Errors.h"
#include "loan/LoanSummary.h"
#include "loan/TableTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

double Units(calc::Cents cents)
{
    return static_cast<double>(cents) / 100.0;
}

QString Money(calc::Cents cents)
{
    return TLoanSummary::Money(cents);
}

QString Percent(double value)
{
    return TableTexts::Fixed(value, 3) + '%';
}

// A number of a CSV cell: money to the cent, other numbers at full precision.
QString Plain(double value)
{
    return TableTexts::PlainNumber(value);
}

} // namespace

QString TOfferComparison::Row::LowestText() const
{
    if (lowest >= 0)
        return OfferName(lowest);
    return costRow ? QStringLiteral("Tie") : QString();
}

TOfferComparison::TOfferComparison(std::vector<calc::Offer> offers) : m_offers(std::move(offers))
{
    if (Count() < calc::MinOffers || Count() > calc::MaxOffers)
        throw calc::ERangeError(QStringLiteral("%1 offers given: compare %2 to %3")
                                    .arg(Count())
                                    .arg(calc::MinOffers)
                                    .arg(calc::MaxOffers)
                                    .toStdString());
    for (int i = 0; i < Count(); ++i) {
        try {
            m_figures.push_back(calc::ComputeOffer(m_offers[std::size_t(i)]));
        } catch (const calc::ERangeError& e) {
            throw calc::ERangeError("offer " + std::to_string(i + 1) + ": " + e.what());
        }
    }
}

QString TOfferComparison::OfferName(int index)
{
    return QStringLiteral("Offer %1").arg(index + 1);
}

QString TOfferComparison::Duration(int months)
{
    const int years = months / 12, rest = months % 12;
    const QString y = years == 1 ? QStringLiteral("1 year") : QStringLiteral("%1 years").arg(years);
    const QString m = rest == 1 ? QStringLiteral("1 month") : QStringLiteral("%1 months").arg(rest);
    if (years == 0)
        return m;
    return rest == 0 ? y : y + ' ' + m;
}

std::vector<TOfferComparison::Row> TOfferComparison::InputRows() const
{
    std::vector<Row> rows{{"loan", "Loan Amount", {}, {}},
                          {"term", "Term", {}, {}},
                          {"rate", "Note Rate", {}, {}},
                          {"points", "Points", {}, {}},
                          {"pointsAmount", "Points Paid", {}, {}},
                          {"fees", "Other Prepaid Finance Charges", {}, {}},
                          {"costs", "Other Loan Costs", {}, {}},
                          {"mortgageInsurance", "Mortgage Insurance", {}, {}}};
    for (int i = 0; i < Count(); ++i) {
        const calc::Offer& o = m_offers[std::size_t(i)];
        const calc::OfferFigures& f = m_figures[std::size_t(i)];
        const calc::Cents mi = calc::ToCents(o.mi);
        const auto add = [&](std::size_t row, const QString& text, double value) {
            rows[row].texts << text;
            rows[row].values.push_back(value);
        };
        add(0, Money(f.disclosure.loan), Units(f.disclosure.loan));
        add(1, Duration(int(o.term) * 12), o.term);
        add(2, Percent(o.rate), o.rate);
        add(3, f.pointsAmount == 0 ? QStringLiteral("None") : Percent(o.points), o.points);
        add(4, Money(f.pointsAmount), Units(f.pointsAmount));
        add(5, Money(f.prepaid - f.pointsAmount), Units(f.prepaid - f.pointsAmount));
        add(6, Money(f.upFront - f.prepaid), Units(f.upFront - f.prepaid));
        add(7,
            mi == 0 || o.miMonths == 0 ? QStringLiteral("None")
                                       : QStringLiteral("%1 x %2").arg(Money(mi)).arg(o.miMonths),
            Units(mi));
    }
    return rows;
}

std::vector<TOfferComparison::Row> TOfferComparison::FigureRows() const
{
    std::vector<Row> rows{{"payment", "Monthly Principal & Interest", {}, {}},
                          {"apr", "Annual Percentage Rate (APR)", {}, {}},
                          {"tip", "Total Interest Percentage (TIP)", {}, {}},
                          {"amountFinanced", "Amount Financed", {}, {}},
                          {"financeCharge", "Finance Charge", {}, {}},
                          {"totalOfPayments", "Total of Payments", {}, {}},
                          {"upFront", "Paid Up Front", {}, {}},
                          {"fiveYearTotal", "In 5 Years: Total Paid", {}, {}},
                          {"fiveYearPrincipal", "In 5 Years: Principal Paid Off", {}, {}}};
    for (int i = 0; i < Count(); ++i) {
        const calc::OfferFigures& f = m_figures[std::size_t(i)];
        const calc::Disclosure& d = f.disclosure;
        // A loan shorter than five years shows its whole term, and says so.
        const QString within = f.fiveYearMonths < calc::InFiveYearsMonths
                                   ? " (in " + Duration(f.fiveYearMonths) + ')'
                                   : QString();
        const auto add = [&](std::size_t row, const QString& text, double value) {
            rows[row].texts << text;
            rows[row].values.push_back(value);
        };
        add(0, Money(d.regularPayment), Units(d.regularPayment));
        add(1, Percent(d.apr), d.apr);
        add(2, Percent(d.tip), d.tip);
        add(3, Money(d.amountFinanced), Units(d.amountFinanced));
        add(4, Money(d.financeCharge), Units(d.financeCharge));
        add(5, Money(d.totalOfPayments), Units(d.totalOfPayments));
        add(6, Money(f.upFront), Units(f.upFront));
        add(7, Money(f.fiveYearTotal) + within, Units(f.fiveYearTotal));
        add(8, Money(f.fiveYearPrincipal) + within, Units(f.fiveYearPrincipal));
    }
    rows[1].costRow = rows[2].costRow = rows[7].costRow = true;
    rows[1].lowest = calc::LowestApr(m_figures);
    rows[2].lowest = calc::LowestTip(m_figures);
    rows[7].lowest = calc::LowestFiveYearTotal(m_figures);
    return rows;
}

std::vector<TOfferComparison::PairRow> TOfferComparison::BreakEvenRows() const
{
    std::vector<PairRow> rows;
    for (int a = 0; a < Count(); ++a)
        for (int b = a + 1; b < Count(); ++b) {
            const calc::BreakEven pair =
                calc::ComputeBreakEven(m_figures[std::size_t(a)], m_figures[std::size_t(b)]);
            PairRow row;
            // The offer with more paid up front is named first; equal costs keep their order.
            const bool swap = pair.kind != calc::BreakEven::Kind::Sooner && pair.higher == 1;
            row.first = swap ? b : a;
            row.second = swap ? a : b;
            row.breakEven =
                swap ? calc::ComputeBreakEven(m_figures[std::size_t(b)], m_figures[std::size_t(a)])
                     : pair;
            row.caption = OfferName(row.first) + " vs " + OfferName(row.second) + ": Break-Even";
            switch (row.breakEven.kind) {
            case calc::BreakEven::Kind::Month:
                row.text = QStringLiteral("month %1 (%2)")
                               .arg(row.breakEven.month)
                               .arg(Duration(row.breakEven.month));
                break;
            case calc::BreakEven::Kind::Never: row.text = QStringLiteral("never"); break;
            case calc::BreakEven::Kind::Sooner: {
                row.text = QStringLiteral("no break-even: equal up-front costs");
                // Which one has cost less by the end of the shorter term, unless neither.
                const calc::OfferFigures& fa = m_figures[std::size_t(a)];
                const calc::OfferFigures& fb = m_figures[std::size_t(b)];
                const int end = int(std::min(fa.disclosure.rows.size(), fb.disclosure.rows.size()));
                if (calc::CostAtMonth(fa, end) != calc::CostAtMonth(fb, end))
                    row.text +=
                        "; " + OfferName(row.breakEven.cheaper == 0 ? a : b) + " costs less";
                break;
            }
            }
            rows.push_back(row);
        }
    return rows;
}

QStringList TOfferComparison::Notes()
{
    return {QStringLiteral(
                "Lowest: the offer with the lowest APR, TIP or 5-year total (Tie: equal lowest)."),
            QStringLiteral("In 5 Years: the first 60 payments with their insurance, plus what is "
                           "paid up front."),
            QStringLiteral("Break-even: the month from which the offer named first, with more "
                           "paid up front,"),
            QStringLiteral("costs less (paid so far plus the balance owed) to the end of the "
                           "shorter term.")};
}

TOfferReportSource TOfferComparison::Source() const
{
    TOfferReportSource source;
    for (int i = 0; i < Count(); ++i)
        source.Offers << OfferName(i);
    for (const Row& r : InputRows())
        source.Inputs.push_back({r.caption, r.texts, r.LowestText()});
    // The printed columns are narrow: a shorter loan's In 5 Years texts carry a mark, and a
    // note below says what it stands for.
    for (Row r : FigureRows()) {
        if (r.key.startsWith("fiveYear"))
            for (int i = 0; i < Count(); ++i)
                if (m_figures[std::size_t(i)].fiveYearMonths < calc::InFiveYearsMonths)
                    r.texts[i] = Money(r.key == "fiveYearTotal"
                                           ? m_figures[std::size_t(i)].fiveYearTotal
                                           : m_figures[std::size_t(i)].fiveYearPrincipal) +
                                 '*';
        source.Figures.push_back({r.caption, r.texts, r.LowestText()});
    }
    for (const PairRow& p : BreakEvenRows())
        source.BreakEvens.emplace_back(p.caption, p.text);
    source.Notes = Notes();
    for (int i = 0; i < Count(); ++i)
        if (const int months = m_figures[std::size_t(i)].fiveYearMonths;
            months < calc::InFiveYearsMonths)
            source.Notes << QStringLiteral("* %1: In 5 Years over its whole term, %2.")
                                .arg(OfferName(i), Duration(months));
    return source;
}

QString TOfferComparison::Text() const
{
    // Caption, one column per offer, "Lowest": each column as wide as its longest text, two
    // spaces at least between them.
    std::vector<QStringList> lines;
    QStringList header{QString()};
    for (int i = 0; i < Count(); ++i)
        header << OfferName(i);
    lines.push_back(header << QStringLiteral("Lowest"));
    const std::vector<Row> groups[] = {InputRows(), FigureRows()};
    for (const auto& group : groups) {
        lines.push_back({});
        for (const Row& r : group)
            lines.push_back(QStringList{r.caption} + r.texts << r.LowestText());
    }
    std::vector<qsizetype> width(std::size_t(Count()) + 2, 0);
    for (const QStringList& line : lines)
        for (qsizetype i = 0; i < line.size(); ++i)
            width[std::size_t(i)] = std::max(width[std::size_t(i)], line[i].size());
    QString out;
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i == 0)
                text += line[i].leftJustified(width[0]);
            else if (i == line.size() - 1)
                text += "  " + line[i];
            else
                text += "  " + line[i].rightJustified(width[std::size_t(i)]);
        }
        while (text.endsWith(' '))
            text.chop(1);
        out += text + '\n';
    }
    out += '\n';
    qsizetype captionWidth = 0;
    const std::vector<PairRow> pairs = BreakEvenRows();
    for (const PairRow& p : pairs)
        captionWidth = std::max(captionWidth, p.caption.size());
    for (const PairRow& p : pairs)
        out += p.caption.leftJustified(captionWidth) + "  " + p.text + '\n';
    out += '\n';
    for (const QString& note : Notes())
        out += note + '\n';
    return out;
}

QString TOfferComparison::Csv() const
{
    QString out = QStringLiteral("figure");
    for (int i = 0; i < Count(); ++i)
        out += QStringLiteral(",offer%1").arg(i + 1);
    out += QStringLiteral(",lowest\r\n");
    for (const auto& group : {InputRows(), FigureRows()})
        for (const Row& r : group) {
            out += r.key;
            for (double v : r.values)
                out += ',' + Plain(v);
            out += ',' + (r.lowest < 0 ? QString() : QString::number(r.lowest + 1)) + "\r\n";
        }
    // The 5-year months and the mortgage insurance months, which the texts carry.
    out += QStringLiteral("fiveYearMonths");
    for (const calc::OfferFigures& f : m_figures)
        out += ',' + QString::number(f.fiveYearMonths);
    out += QStringLiteral(",\r\nmortgageInsuranceMonths");
    for (const calc::Offer& o : m_offers)
        out += ',' + QString::number(o.miMonths);
    out += QStringLiteral(",\r\n\r\nfirst,second,breakEven,month\r\n");
    for (const PairRow& p : BreakEvenRows()) {
        const bool month = p.breakEven.kind == calc::BreakEven::Kind::Month;
        const char* kind = month                                              ? "month"
                           : p.breakEven.kind == calc::BreakEven::Kind::Never ? "never"
                                                                              : "equal";
        out += QStringLiteral("%1,%2,%3,%4\r\n")
                   .arg(p.first + 1)
                   .arg(p.second + 1)
                   .arg(QLatin1String(kind), month ? QString::number(p.breakEven.month) : "");
    }
    return out;
}

QString TOfferComparison::Json() const
{
    const std::vector<Row> inputs = InputRows(), figures = FigureRows();
    QJsonArray offers;
    for (int i = 0; i < Count(); ++i) {
        QJsonObject in, out;
        for (const Row& r : inputs)
            in.insert(r.key, r.values[std::size_t(i)]);
        in.insert("mortgageInsuranceMonths", m_offers[std::size_t(i)].miMonths);
        for (const Row& r : figures)
            out.insert(r.key, r.values[std::size_t(i)]);
        out.insert("fiveYearMonths", m_figures[std::size_t(i)].fiveYearMonths);
        out.insert("numberOfPayments", int(m_figures[std::size_t(i)].disclosure.rows.size()));
        offers.append(QJsonObject{{"offer", i + 1}, {"inputs", in}, {"figures", out}});
    }
    QJsonObject lowest;
    for (const Row& r : figures)
        if (r.lowest >= 0)
            lowest.insert(r.key, r.lowest + 1);
    QJsonArray pairs;
    for (const PairRow& p : BreakEvenRows()) {
        const calc::BreakEven::Kind kind = p.breakEven.kind;
        QJsonObject pair{{"first", p.first + 1},
                         {"second", p.second + 1},
                         {"kind", kind == calc::BreakEven::Kind::Month   ? "month"
                                  : kind == calc::BreakEven::Kind::Never ? "never"
                                                                         : "equal"},
                         {"text", p.text}};
        if (kind == calc::BreakEven::Kind::Month)
            pair.insert("month", p.breakEven.month);
        pairs.append(pair);
    }
    const QJsonObject root{{"offers", offers}, {"lowest", lowest}, {"breakEven", pairs}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString TOfferComparison::Format(TOutputFormat format) const
{
    switch (format) {
    case TOutputFormat::Csv: return Csv();
    case TOutputFormat::Json: return Json();
    default: return Text();
    }
}

QString TOfferComparison::CopyText() const
{
    QString out;
    for (int i = 0; i < Count(); ++i)
        out += '\t' + OfferName(i);
    out += QStringLiteral("\tLowest\n");
    for (const auto& group : {InputRows(), FigureRows()})
        for (const Row& r : group)
            out += r.caption + '\t' + r.texts.join('\t') + '\t' + r.LowestText() + '\n';
    for (const PairRow& p : BreakEvenRows())
        out += p.caption + '\t' + p.text + '\n';
    return out;
}
