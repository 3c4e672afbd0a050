// The APR table of one loan model, as the calculator window shows it, written as text, CSV or
// JSON.
//
// Columns and rows count from 0 as in the window's grid: row 0 holds the fee totals, column 0
// the loan amounts, column 1 the note rates. Money is in currency units, rates in annual
// percent.
#pragma once

#include "calc/LoanModel.h"
#include "cli/CommandRequest.h"

#include <QString>
#include <array>
#include <vector>

class TAprTableOutput {
public:
    // Computes the user's loan and the whole table. Math errors (calc::EMathError) propagate.
    explicit TAprTableOutput(const calc::LoanInputs& inputs);

    const calc::LoanModel& Model() const { return m_model; }
    const calc::UserLoan& User() const { return m_model.User(); }
    double Apr() const { return m_model.Apr(); }

    // The cell's text as the window's grid shows it (" 8.750%", "$95,000", "  IR %  ").
    QString Cell(int col, int row) const { return m_texts[col][row]; }
    // The cell's number at full precision; NaN for the two text headers (0, 0) and (1, 0).
    double Value(int col, int row) const { return m_values[col][row]; }

    // Text: the inputs and results as the window's fields show them, then the table with the
    // grid's texts in aligned columns.
    QString Text() const;
    // CSV: the table (the header row, then one row per loan amount) with plain numbers at full
    // precision, an empty record, then one "name,number" record per input and result.
    QString Csv() const;
    // JSON: one object with the inputs, the results, the fee totals and one entry per row.
    QString Json() const;
    QString Format(TOutputFormat format) const;

private:
    // The inputs and results: the window's caption, the field's text and the number.
    struct Field {
        QString label;
        QString text;
        double value;
    };
    std::vector<Field> Fields() const;

    calc::LoanModel m_model;
    std::array<std::array<QString, calc::AprTableRows>, calc::AprTableCols> m_texts;
    std::array<std::array<double, calc::AprTableRows>, calc::AprTableCols> m_values{};
};
