#include "app/ChartCommand.h"

bool TChartCommand::Write(const TTableInputs& inputs, const QString& fileName, TChartPaper paper,
                          QString& error)
{
    Q_UNUSED(inputs);
    Q_UNUSED(fileName);
    Q_UNUSED(paper);
    error = QStringLiteral("the chart needs the report engine, which this build does not have yet");
    return false;
}
