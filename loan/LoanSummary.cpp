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
    : m_figures(model.Figures(mi, miMonths)), m_inputs(model.Disclosed(mi, miMonths)),
      m_rate(model.Inputs().rate), m_n(model.User().n), m_miAmount(mi), m_miMonths(miMonths)
{
    // The window's APR field beside the figures' APR, that of the payments as disclosed.
    try {
        m_windowApr = model.Apr();
    } catch (const calc::EMathError&) {
        m_windowApr = std::numeric_limits<double>::quiet_NaN();
    }
}

void TLoanSummary::SetExtraPayments(const calc::ExtraPayments& extra)
{
    if (!extra.Any()) {
        m_extra = calc::ExtraPayments();
        m_paid.reset();
        return;
    }
    m_paid = calc::ApplyExtraPayments(m_figures, m_inputs, extra);
    m_extra = extra;
}

QString TLoanSummary::ContractNote()
{
    return QStringLiteral("The APR and disclosure figures are those of the contract; extra "
                          "payments are prepayments you choose.");
}

const std::vector<calc::ScheduleRow>& TLoanSummary::Rows() const
{
    return m_paid ? m_paid->rows : m_figures.rows;
}

const std::vector<calc::YearTotal>& TLoanSummary::Years() const
{
    return m_paid ? m_paid->years : m_figures.years;
}

std::vector<TLoanSummary::Figure> TLoanSummary::ExtraFields() const
{
    if (!m_paid)
        return {};
    const calc::PrepaidSchedule& p = *m_paid;
    const calc::Cents monthly = calc::ToCents(m_extra.monthly);
    calc::Cents lumps = 0;
    for (const calc::LumpSum& l : m_extra.lumps)
        lumps += calc::ToCents(l.amount);
    const int count = int(m_extra.lumps.size());
    // The first payment with the monthly extra is named in the caption, so the text stays as
    // short as the other figures'.
    return {{monthly == 0 || m_extra.fromMonth == 1
                 ? QStringLiteral("Extra Each Month")
                 : QStringLiteral("Extra from Payment %1").arg(m_extra.fromMonth),
             monthly == 0 ? QStringLiteral("None") : Money(monthly), Units(monthly)},
            {"One-Time Payments",
             count == 0 ? QStringLiteral("None")
                        : QStringLiteral("%1 (%2)").arg(count).arg(Money(lumps)),
             Units(lumps)},
            {"Total Extra Principal", Money(p.totalExtra), Units(p.totalExtra)},
            {"Payoff Month",
             QStringLiteral("%1 of %2").arg(p.payoffMonth).arg(m_figures.rows.size()),
             double(p.payoffMonth)},
            {"Payments Saved", QString::number(p.paymentsSaved), double(p.paymentsSaved)},
            {"Interest Saved", Money(p.interestSaved), Units(p.interestSaved)}};
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
    if (m_paid) {
        for (const Figure& f : ExtraFields())
            source.ExtraFields.push_back({f.label, f.text});
        source.Note = ContractNote();
        source.Figures.rows = m_paid->rows;
        source.Figures.years = m_paid->years;
    }
    return source;
}

QString TLoanSummary::CopyText() const
{
    QString out;
    for (const auto& list : {LoanFields(), DisclosureFields(), ExtraFields()})
        for (const Figure& f : list)
            out += f.label + '\t' + f.text + '\n';
    if (m_paid)
        out += ContractNote() + '\n';
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
    const std::vector<Figure> lists[] = {LoanFields(), DisclosureFields(), ExtraFields()};
    qsizetype figureWidth = 22;
    for (const auto& list : lists)
        for (const Figure& f : list)
            figureWidth = std::max(figureWidth, f.text.size());
    for (const auto& list : lists) {
        for (const Figure& f : list)
            out += f.label.leftJustified(26) + f.text.rightJustified(figureWidth) + '\n';
        if (!list.empty())
            out += '\n';
    }
    if (m_paid)
        out += ContractNote() + "\n\n";
    const calc::Disclosure& d = m_figures;
    const bool mi = d.totalMI > 0;
    const bool extra = m_paid.has_value();
    std::vector<QStringList> rows;
    auto add = [&](const QString& first, calc::Cents payment, calc::Cents interest,
                   calc::Cents principal, calc::Cents paidExtra, calc::Cents insurance,
                   const QString& balance) {
        QStringList row{first, Money(payment), Money(interest), Money(principal)};
        if (extra)
            row << Money(paidExtra);
        if (mi)
            row << Money(insurance);
        rows.push_back(row << balance);
    };
    QStringList header{"No.", "Payment", "Interest", "Principal"};
    if (extra)
        header << "Extra";
    if (mi)
        header << "Insurance";
    rows.push_back(header << "Balance");
    std::size_t year = 0;
    calc::YearTotal total;
    for (const calc::ScheduleRow& r : Rows()) {
        add(QString::number(r.number), r.payment, r.interest, r.principal, r.extra, r.mi,
            Money(r.balance));
        total.payment += r.payment;
        total.interest += r.interest;
        total.principal += r.principal;
        total.extra += r.extra;
        total.mi += r.mi;
        const calc::YearTotal& y = Years()[year];
        if (r.number == y.lastPayment) {
            add("Year " + QString::number(y.year), y.payment, y.interest, y.principal, y.extra,
                y.mi, Money(y.balance));
            ++year;
        }
    }
    add("Total", total.payment, total.interest, total.principal, total.extra, total.mi, Money(0));

    // The columns are as wide as a usual loan needs, and wider where an amount is longer, so
    // that two spaces at least stand between any two of them.
    std::vector<qsizetype> width{8, 15, 15, 15};
    if (extra)
        width.push_back(13);
    if (mi)
        width.push_back(12);
    width.push_back(17);
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

QJsonObject TLoanSummary::ExtraJson() const
{
    const calc::PrepaidSchedule& p = *m_paid;
    QJsonArray lumps;
    for (const calc::LumpSum& l : m_extra.lumps)
        lumps.append(QJsonObject{{"month", l.month}, {"amount", Units(calc::ToCents(l.amount))}});
    return QJsonObject{{"monthly", Units(calc::ToCents(m_extra.monthly))},
                       {"fromMonth", m_extra.fromMonth},
                       {"lumps", lumps},
                       {"payoffMonth", p.payoffMonth},
                       {"paymentsSaved", p.paymentsSaved},
                       {"totalExtra", Units(p.totalExtra)},
                       {"totalInterest", Units(p.totalInterest)},
                       {"interestSaved", Units(p.interestSaved)},
                       {"totalMortgageInsurance", Units(p.totalMI)},
                       {"totalPaid", Units(p.totalPaid)}};
}

QString TLoanSummary::Csv() const
{
    const bool extra = m_paid.has_value();
    auto line = [extra](int first, const auto& r) {
        QStringList cells{QString::number(first), Plain(r.payment), Plain(r.interest),
                          Plain(r.principal)};
        if (extra)
            cells << Plain(r.extra);
        return (cells << Plain(r.mi) << Plain(r.balance)).join(',') + "\r\n";
    };
    const QString columns = extra ? "payment,interest,principal,extra,mortgageInsurance,balance"
                                  : "payment,interest,principal,mortgageInsurance,balance";
    QString out = "number," + columns + "\r\n";
    for (const calc::ScheduleRow& r : Rows())
        out += line(r.number, r);
    out += "\r\nyear," + columns + "\r\n";
    for (const calc::YearTotal& y : Years())
        out += line(y.year, y);
    out += "\r\n";
    const auto write = [&out](const QJsonObject& figures, const QString& prefix) {
        for (auto it = figures.begin(); it != figures.end(); ++it)
            if (!it->isArray())
                out += prefix + it.key() + ',' +
                       (it->isBool() ? QString(it->toBool() ? "1" : "0")
                                     : TableTexts::PlainNumber(it->toDouble())) +
                       "\r\n";
    };
    write(FiguresJson(), QString());
    if (extra) {
        // The extra payments' figures after the contract's, named apart from them.
        write(ExtraJson(), QStringLiteral("extra."));
        for (const calc::LumpSum& l : m_extra.lumps)
            out += QStringLiteral("extra.lump,%1:%2\r\n")
                       .arg(l.month)
                       .arg(Plain(calc::ToCents(l.amount)));
    }
    return out;
}

QString TLoanSummary::Json() const
{
    const calc::Disclosure& d = m_figures;
    const bool extra = m_paid.has_value();
    QJsonArray rows;
    for (const calc::ScheduleRow& r : Rows()) {
        QJsonObject row{{"number", r.number},
                        {"payment", Units(r.payment)},
                        {"interest", Units(r.interest)},
                        {"principal", Units(r.principal)},
                        {"mortgageInsurance", Units(r.mi)},
                        {"balance", Units(r.balance)}};
        if (extra)
            row.insert("extra", Units(r.extra));
        rows.append(row);
    }
    QJsonArray years;
    for (const calc::YearTotal& y : Years()) {
        QJsonObject year{{"year", y.year},
                         {"firstPayment", y.firstPayment},
                         {"lastPayment", y.lastPayment},
                         {"payment", Units(y.payment)},
                         {"interest", Units(y.interest)},
                         {"principal", Units(y.principal)},
                         {"mortgageInsurance", Units(y.mi)},
                         {"balance", Units(y.balance)}};
        if (extra)
            year.insert("extra", Units(y.extra));
        years.append(year);
    }
    const QJsonObject loan{{"loan", Units(d.loan)},
                           {"payments", m_n},
                           {"noteRate", m_rate},
                           {"prepaidFinanceCharges", Units(d.prepaid)},
                           {"mortgageInsurance", m_miAmount},
                           {"mortgageInsuranceMonths", m_miMonths}};
    QJsonObject root{
        {"loan", loan}, {"disclosure", FiguresJson()}, {"rows", rows}, {"years", years}};
    if (extra) {
        QJsonObject paid = ExtraJson();
        paid.insert("note", ContractNote());
        root.insert("extraPayments", paid);
    }
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
