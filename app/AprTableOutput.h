// The APR table of one set of inputs, computed as the calculator window computes it (the same
// loan formulas and calc::BuildAprTable), and written as text, CSV or JSON.
//
// Columns and rows count from 0 as in the window's grid: row 0 holds the fee totals, column 0
// the loan amounts, column 1 the note rates. Money is in currency units, rates in annual
// percent.
#pragma once

#include "app/CommandRequest.h"
#include "app/DefaultInputs.h"
#include "calc/AprTable.h"

#include <QString>
#include <array>
#include <vector>

struct TTableInputs {
    double price = DefaultInputs.price;
    double downPercent = DefaultInputs.downPercent;
    double term = DefaultInputs.term; // whole years
    double rate = DefaultInputs.interest;
    double fees = 0;
    double loanStep = 1000;
    double feeStep = 1000;
};

class TAprTableOutput {
public:
    // Computes the user's loan and the whole table. Math errors (calc::EMathError) propagate.
    explicit TAprTableOutput(const TTableInputs& inputs);

    const calc::UserLoan& User() const { return m_user; }
    double Apr() const { return m_apr; }

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

    // A plain number at full precision: the shortest digits that read back as the same double,
    // without an exponent unless the value is below 1e-4 or from 1e15 on.
    static QString PlainNumber(double value);

private:
    // The inputs and results: the window's caption, the field's text and the number.
    struct Field {
        QString label;
        QString text;
        double value;
    };
    std::vector<Field> Fields() const;

    TTableInputs m_inputs;
    calc::UserLoan m_user;
    double m_apr = 0;
    std::array<std::array<QString, calc::AprTableRows>, calc::AprTableCols> m_texts;
    std::array<std::array<double, calc::AprTableRows>, calc::AprTableCols> m_values{};
};
