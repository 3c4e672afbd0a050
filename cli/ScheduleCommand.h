// The schedule command's PDF: lays the Amortization Schedule report out through the report
// engine and prints it to PDF bytes, with no window, no progress window and no preview.
#pragma once

#include "cli/CommandRequest.h"
#include "loan/LoanSummary.h"

#include <QByteArray>
#include <QString>

class TScheduleCommand {
public:
    // Makes the report of `summary` on `paper` as the bytes of a PDF file, in memory. False
    // with `error` set (one line) when the PDF cannot be made.
    static bool Make(const TLoanSummary& summary, TChartPaper paper, QByteArray& pdf,
                     QString& error);
};
