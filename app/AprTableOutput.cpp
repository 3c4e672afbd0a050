#include "app/AprTableOutput.h"

#include "app/LoanSummary.h"
#include "app/TableSolvers.h"
#include "app/TableTexts.h"
#include "calc/Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cmath>
#include <limits>

namespace {

QString CsvField(const QString& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n'))
        return text;
    return '"' + QString(text).replace("\"", "\"\"") + '"';
}

} // namespace

TAprTableOutput::TAprTableOutput(const TTableInputs& inputs) : m_inputs(inputs)
{
    // The same steps as the window's calculation, in the same order.
    m_user = calc::ComputeUserLoan(inputs.price, inputs.downPercent, inputs.term, inputs.rate,
                                   inputs.fees);
    const TTableSolvers solvers(m_user, inputs.loanStep, inputs.feeStep);
    m_apr = solvers.UserApr();

    // Each formatter call is followed by the cell it made, so the number it saw is that cell's.
    const double none = std::numeric_limits<double>::quiet_NaN();
    double pending = none;
    const calc::AprTableFormats texts = TableTexts::CellFormats();
    const calc::AprTableFormats recording{[&](double v) {
                                              pending = v;
                                              return texts.currency(v);
                                          },
                                          [&](double v) {
                                              pending = v;
                                              return texts.rate(v);
                                          }};
    calc::BuildAprTable(
        m_user, inputs.loanStep, inputs.feeStep, recording,
        [&](int col, int row, const std::string& text) {
            m_texts[col][row] = QString::fromStdString(text);
            m_values[col][row] = pending;
            pending = none;
        },
        {}, solvers.Solvers());
}

QString TAprTableOutput::PlainNumber(double value)
{
    // Amounts are written out in full ("100000", not "1e+05"), as a spreadsheet or a script
    // expects them; only values too large or too small for that keep the exponent form.
    const double size = std::fabs(value);
    const bool fixed = size == 0 || (size >= 1e-4 && size < 1e15);
    return QString::number(value, fixed ? 'f' : 'g', QLocale::FloatingPointShortest);
}

std::vector<TAprTableOutput::Field> TAprTableOutput::Fields() const
{
    auto percent = [](double v) { return TableTexts::Fixed(v, 3) + "%"; };
    return {
        {"Purchase Price", TableTexts::Money(m_inputs.price), m_inputs.price},
        {"Percent Down", percent(m_inputs.downPercent), m_inputs.downPercent},
        {"Term in Years", TableTexts::Fixed(m_inputs.term, 0), m_inputs.term},
        {"Interest Rate", percent(m_inputs.rate), m_inputs.rate},
        {"Total Fixed Fees", TableTexts::Money(m_user.fees), m_user.fees},
        {"Down Payment", TableTexts::Money(m_user.downPayment), m_user.downPayment},
        {"Loan Amount", TableTexts::Money(m_user.loan), m_user.loan},
        {"Payment (P&I)", TableTexts::Money(m_user.payment), m_user.payment},
        {"APR", percent(m_apr), m_apr},
    };
}

QString TAprTableOutput::Text() const
{
    QString out;
    for (const Field& f : Fields())
        out += QString(f.label).leftJustified(18) + f.text.rightJustified(16) + '\n';
    out += '\n';

    // Each column as wide as its widest text; columns two blanks apart, texts right-aligned.
    std::array<qsizetype, calc::AprTableCols> width{};
    for (int col = 0; col < calc::AprTableCols; ++col)
        for (int row = 0; row < calc::AprTableRows; ++row)
            width[col] = std::max(width[col], Cell(col, row).trimmed().size());
    for (int row = 0; row < calc::AprTableRows; ++row) {
        QString line;
        for (int col = 0; col < calc::AprTableCols; ++col) {
            if (col > 0)
                line += "  ";
            line += Cell(col, row).trimmed().rightJustified(width[col]);
        }
        out += line + '\n';
    }
    return out;
}

QString TAprTableOutput::Csv() const
{
    QString out;
    for (int row = 0; row < calc::AprTableRows; ++row) {
        QStringList record;
        for (int col = 0; col < calc::AprTableCols; ++col) {
            const double v = Value(col, row);
            record << (std::isnan(v) ? CsvField(Cell(col, row).trimmed()) : PlainNumber(v));
        }
        out += record.join(',') + "\r\n";
    }
    out += "\r\n";
    for (const Field& f : Fields())
        out += CsvField(f.label) + ',' + PlainNumber(f.value) + "\r\n";
    return out;
}

QString TAprTableOutput::Json() const
{
    QJsonObject inputs{{"price", m_inputs.price},    {"downPercent", m_inputs.downPercent},
                       {"term", m_inputs.term},      {"rate", m_inputs.rate},
                       {"fees", m_inputs.fees},      {"loanStep", m_inputs.loanStep},
                       {"feeStep", m_inputs.feeStep}};
    QJsonArray fees;
    for (int col = 2; col < calc::AprTableCols; ++col)
        fees.append(Value(col, 0));
    QJsonArray rows;
    for (int row = 1; row < calc::AprTableRows; ++row) {
        QJsonArray aprs;
        for (int col = 2; col < calc::AprTableCols; ++col)
            aprs.append(Value(col, row));
        rows.append(
            QJsonObject{{"loan", Value(0, row)}, {"noteRate", Value(1, row)}, {"aprs", aprs}});
    }
    QJsonObject root{{"inputs", inputs},    {"downPayment", m_user.downPayment},
                     {"loan", m_user.loan}, {"payment", m_user.payment},
                     {"apr", m_apr},        {"fees", fees},
                     {"rows", rows}};
    // The disclosure figures of the user's loan, the fees its prepaid finance charges; null
    // where they do not exist (fees of the whole loan or more).
    try {
        root.insert("disclosure", TLoanSummary(m_user, m_inputs.rate, 0, 0).FiguresJson());
    } catch (const calc::ERangeError&) {
        root.insert("disclosure", QJsonValue::Null);
    }
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString TAprTableOutput::Format(TOutputFormat format) const
{
    switch (format) {
    case TOutputFormat::Csv: return Csv();
    case TOutputFormat::Json: return Json();
    default: return Text();
    }
}
