#include "cli/AprTableOutput.h"

#include "calc/Errors.h"
#include "loan/LoanSummary.h"
#include "loan/TableTexts.h"

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

TAprTableOutput::TAprTableOutput(const calc::LoanInputs& inputs)
    : m_model(calc::LoanModel::SolvedAhead(inputs))
{
    Apr(); // its error before any cell, as in the window

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
    m_model.BuildTable(recording, [&](int col, int row, const std::string& text) {
        m_texts[col][row] = QString::fromStdString(text);
        m_values[col][row] = pending;
        pending = none;
    });
}

std::vector<TAprTableOutput::Field> TAprTableOutput::Fields() const
{
    auto percent = [](double v) { return TableTexts::Fixed(v, 3) + "%"; };
    return {
        {"Purchase Price", TableTexts::Money(m_model.Inputs().price), m_model.Inputs().price},
        {"Percent Down", percent(m_model.Inputs().downPercent), m_model.Inputs().downPercent},
        {"Term in Years", TableTexts::Fixed(m_model.Inputs().term, 0), m_model.Inputs().term},
        {"Interest Rate", percent(m_model.Inputs().rate), m_model.Inputs().rate},
        {"Total Fixed Fees", TableTexts::Money(User().fees), User().fees},
        {"Down Payment", TableTexts::Money(User().downPayment), User().downPayment},
        {"Loan Amount", TableTexts::Money(User().loan), User().loan},
        {"Payment (P&I)", TableTexts::Money(User().payment), User().payment},
        {"APR", percent(Apr()), Apr()},
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
            record << (std::isnan(v) ? CsvField(Cell(col, row).trimmed())
                                     : TableTexts::PlainNumber(v));
        }
        out += record.join(',') + "\r\n";
    }
    out += "\r\n";
    for (const Field& f : Fields())
        out += CsvField(f.label) + ',' + TableTexts::PlainNumber(f.value) + "\r\n";
    return out;
}

QString TAprTableOutput::Json() const
{
    QJsonObject inputs{
        {"price", m_model.Inputs().price},    {"downPercent", m_model.Inputs().downPercent},
        {"term", m_model.Inputs().term},      {"rate", m_model.Inputs().rate},
        {"fees", m_model.Inputs().fees},      {"loanStep", m_model.Inputs().loanStep},
        {"feeStep", m_model.Inputs().feeStep}};
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
    QJsonObject root{{"inputs", inputs},    {"downPayment", User().downPayment},
                     {"loan", User().loan}, {"payment", User().payment},
                     {"apr", Apr()},        {"fees", fees},
                     {"rows", rows}};
    // The disclosure figures of the user's loan, the fees its prepaid finance charges; null
    // where they do not exist (fees of the whole loan or more).
    try {
        root.insert("disclosure", TLoanSummary(m_model, 0, 0).FiguresJson());
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
