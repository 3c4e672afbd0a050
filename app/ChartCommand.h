// The chart command: lays the Chart of Annual Percentage Rates out through the report engine
// and writes it as a PDF file, with no window, no progress window and no preview.
#pragma once

#include "app/AprTableOutput.h"
#include "app/CommandRequest.h"

#include <QString>

class TChartCommand {
public:
    // Writes the chart of `inputs` to `fileName`. False with `error` set (one line) when the
    // file cannot be written. Math errors propagate.
    static bool Write(const TTableInputs& inputs, const QString& fileName, TChartPaper paper,
                      QString& error);

    // The chart's width in report units: its rules and footer run from 25 to 760.
    static constexpr int ChartWidth = 760;
};
