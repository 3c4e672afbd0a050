#include "loan/LoanSummary.h"

#include "calc/Errors.h"
#include "calc/LoanMath.h"
#include "controls/NumberFormats.h"
#include "loan/TableTexts.h"
#include "platform/Regional.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

double Units(calc::Cents cents)
{
    return static_cast<double>(cents) / 100.0;
}

QString Plain(calc::Cents cents)
{
    return QString::fromStdString(calc::CentsText(cents));
}

QString Percent(double value)
{
    return TableTexts::Fixed(value, 3) + '%';
}

} // namespace

TLoanSummary::TLoanSummary(const calc::LoanModel& model, double mi, int miMonths)
    : m_figures(model.Figures(mi, miMonths)), m_rate(model.Inputs().rate), m_n(model.User().n),
      m_miAmount(mi), m_miMonths(miMonths)
{
    // The window's APR field beside the figures' APR, that of the payments as disclosed.
    try {
        m_windowApr = model.Apr();
    } catch (const calc::EMathError&) {
        m_windowApr = std::numeric_limits<double>::quiet_NaN();
    }
}

QString TLoanSummary::Money(calc::Cents cents)
{
    return NumberFormats::CentsCurrencyText(cents, Regional::Current());
}

std::vector<TLoanSummary::Figure> TLoanSummary::LoanFields() const
{
    const calc::Disclosure& d = m_figures;
    const calc::Cents mi = calc::ToCents(m_miAmount);
    const QString insurance = mi == 0 || m_miMonths == 0
                                  ? QStringLiteral("None")
                                  : QStringLiteral("%1 x %2").arg(Money(mi)).arg(m_miMonths);
    // A payment rounded up to the cent can clear the loan before its term: the count is the
    // payments the schedule holds, with the term's count beside it then ("6000 of 12000").
    const int made = int(d.rows.size());
    const QString count =
        made == m_n ? QString::number(made) : QStringLiteral("%1 of %2").arg(made).arg(m_n);
    return {{"Loan Amount", Money(d.loan), Units(d.loan)},
            {"Number of Payments", count, double(made)},
            {"Note Rate", Percent(m_rate), m_rate},
            {"Monthly Payment", Money(d.regularPayment), Units(d.regularPayment)},
            {"Prepaid Finance Charges", Money(d.prepaid), Units(d.prepaid)},
            {"Mortgage Insurance", insurance, Units(mi)}};
}

std::vector<TLoanSummary::Figure> TLoanSummary::DisclosureFields() const
{
    const calc::Disclosure& d = m_figures;
    // Named for what it is where it shows another rate than the window's APR field.
    const bool asWindow = Percent(d.apr) == Percent(m_windowApr);
    return {{asWindow ? "Annual Percentage Rate" : "APR of These Payments", Percent(d.apr), d.apr},
            {"Finance Charge", Money(d.financeCharge), Units(d.financeCharge)},
            {"Amount Financed", Money(d.amountFinanced), Units(d.amountFinanced)},
            {"Total of Payments", Money(d.totalOfPayments), Units(d.totalOfPayments)},
            {"Total Interest", Money(d.totalInterest), Units(d.totalInterest)},
            {"Total Interest Percentage", Percent(d.tip), d.tip}};
}

TScheduleSource TLoanSummary::Source() const
{
    TScheduleSource source;
    for (const Figure& f : LoanFields())
        source.LoanFields.push_back({f.label, f.text});
    for (const Figure& f : DisclosureFields())
        source.DisclosureFields.push_back({f.label, f.text});
    source.Figures = m_figures;
    return source;
}

QString TLoanSummary::CopyText() const
{
    QString out;
    for (const auto& list : {LoanFields(), DisclosureFields()})
        for (const Figure& f : list)
            out += f.label + '\t' + f.text + '\n';
    return out;
}

QJsonObject TLoanSummary::FiguresJson() const
{
    const calc::Disclosure& d = m_figures;
    return QJsonObject{{"numberOfPayments", int(d.rows.size())},
                       {"amountFinanced", Units(d.amountFinanced)},
                       {"financeCharge", Units(d.financeCharge)},
                       {"totalOfPayments", Units(d.totalOfPayments)},
                       {"totalInterest", Units(d.totalInterest)},
                       {"totalInterestPercentage", d.tip},
                       {"totalMortgageInsurance", Units(d.totalMI)},
                       {"scheduledPayment", Units(d.regularPayment)},
                       {"lastPayment", Units(d.rows.back().payment)},
                       {"apr", d.apr},
                       {"irregular", d.irregular}};
}

QString TLoanSummary::Text() const
{
    QString out;
    const std::vector<Figure> lists[] = {LoanFields(), DisclosureFields()};
    qsizetype figureWidth = 22;
    for (const auto& list : lists)
        for (const Figure& f : list)
            figureWidth = std::max(figureWidth, f.text.size());
    for (const auto& list : lists) {
        for (const Figure& f : list)
            out += f.label.leftJustified(26) + f.text.rightJustified(figureWidth) + '\n';
        out += '\n';
    }
    const calc::Disclosure& d = m_figures;
    const bool mi = d.totalMI > 0;
    std::vector<QStringList> rows;
    auto add = [&](const QString& first, calc::Cents payment, calc::Cents interest,
                   calc::Cents principal, calc::Cents insurance, calc::Cents balance) {
        QStringList row{first, Money(payment), Money(interest), Money(principal)};
        if (mi)
            row << Money(insurance);
        rows.push_back(row << Money(balance));
    };
    QStringList header{"No.", "Payment", "Interest", "Principal"};
    if (mi)
        header << "Insurance";
    rows.push_back(header << "Balance");
    std::size_t year = 0;
    for (const calc::ScheduleRow& r : d.rows) {
        add(QString::number(r.number), r.payment, r.interest, r.principal, r.mi, r.balance);
        const calc::YearTotal& y = d.years[year];
        if (r.number == y.lastPayment) {
            add("Year " + QString::number(y.year), y.payment, y.interest, y.principal, y.mi,
                y.balance);
            ++year;
        }
    }
    add("Total", d.totalOfPayments - d.totalMI, d.totalInterest, d.loan, d.totalMI, 0);

    // The columns are as wide as a usual loan needs, and wider where an amount is longer, so
    // that two spaces at least stand between any two of them.
    std::vector<qsizetype> width = mi ? std::vector<qsizetype>{8, 15, 15, 15, 12, 17}
                                      : std::vector<qsizetype>{8, 15, 15, 15, 17};
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            width[i] = std::max(width[i], row[i].size() + (i == 0 ? 1 : 2));
    for (const QStringList& row : rows) {
        QString text = row[0].leftJustified(width[0]);
        for (qsizetype i = 1; i < row.size(); ++i)
            text += row[i].rightJustified(width[i]);
        out += text + '\n';
    }
    return out;
}

QString TLoanSummary::Csv() const
{
    const calc::Disclosure& d = m_figures;
    auto line = [](int first, const auto& r) {
        return QStringList{QString::number(first), Plain(r.payment), Plain(r.interest),
                           Plain(r.principal),     Plain(r.mi),      Plain(r.balance)}
                   .join(',') +
               "\r\n";
    };
    QString out = "number,payment,interest,principal,mortgageInsurance,balance\r\n";
    for (const calc::ScheduleRow& r : d.rows)
        out += line(r.number, r);
    out += "\r\nyear,payment,interest,principal,mortgageInsurance,balance\r\n";
    for (const calc::YearTotal& y : d.years)
        out += line(y.year, y);
    out += "\r\n";
    const QJsonObject figures = FiguresJson();
    for (auto it = figures.begin(); it != figures.end(); ++it)
        out += it.key() + ',' +
               (it->isBool() ? QString(it->toBool() ? "1" : "0")
                             : TableTexts::PlainNumber(it->toDouble())) +
               "\r\n";
    return out;
}

QString TLoanSummary::Json() const
{
    const calc::Disclosure& d = m_figures;
    QJsonArray rows;
    for (const calc::ScheduleRow& r : d.rows)
        rows.append(QJsonObject{{"number", r.number},
                                {"payment", Units(r.payment)},
                                {"interest", Units(r.interest)},
                                {"principal", Units(r.principal)},
                                {"mortgageInsurance", Units(r.mi)},
                                {"balance", Units(r.balance)}});
    QJsonArray years;
    for (const calc::YearTotal& y : d.years)
        years.append(QJsonObject{{"year", y.year},
                                 {"firstPayment", y.firstPayment},
                                 {"lastPayment", y.lastPayment},
                                 {"payment", Units(y.payment)},
                                 {"interest", Units(y.interest)},
                                 {"principal", Units(y.principal)},
                                 {"mortgageInsurance", Units(y.mi)},
                                 {"balance", Units(y.balance)}});
    const QJsonObject loan{{"loan", Units(d.loan)},
                           {"payments", m_n},
                           {"noteRate", m_rate},
                           {"prepaidFinanceCharges", Units(d.prepaid)},
                           {"mortgageInsurance", m_miAmount},
                           {"mortgageInsuranceMonths", m_miMonths}};
    const QJsonObject root{
        {"loan", loan}, {"disclosure", FiguresJson()}, {"rows", rows}, {"years", years}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString TLoanSummary::Format(TOutputFormat format) const
{
    switch (format) {
    case TOutputFormat::Csv: return Csv();
    case TOutputFormat::Json: return Json();
    default: return Text();
    }
}
