// The chart command: lays the Chart of Annual Percentage Rates out through the report engine
// and writes it as a PDF file, with no window, no progress window and no preview.
#pragma once

#include "cli/AprTableOutput.h"
#include "cli/CommandRequest.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <functional>

class TChartCommand {
public:
    // Makes the chart of `inputs` as the bytes of a PDF file, in memory: nothing is written
    // until the whole file exists, so the caller checks the one write that puts it in place.
    // False with `error` set (one line) when the PDF cannot be made. Math errors propagate.
    static bool Make(const calc::LoanInputs& inputs, TChartPaper paper, QByteArray& pdf,
                     QString& error);

    // The page size of `paper`.
    static QPageSize PageSize(TChartPaper paper);

    // Sets the shared printer to a PDF on `paper`, portrait, with margins of a quarter inch
    // (`side` at the left and right), and runs PdfInMemory(print, pdf, error).
    static bool PdfOnPaper(TChartPaper paper, const std::function<bool(const QString& path)>& print,
                           QByteArray& pdf, QString& error, double side = 0.25);

    // Runs `print` on a file in memory (the PDF engine ignores the results of its own writes,
    // and no write there fails for want of room) and reads its bytes back into `pdf`, checked
    // whole. False with `error` set (one line) otherwise.
    static bool PdfInMemory(const std::function<bool(const QString& path)>& print, QByteArray& pdf,
                            QString& error);

    // True when `pdf` holds a whole PDF file: its last cross-reference table stands where
    // the file's end says it does.
    static bool IsWholePdf(const QByteArray& pdf);
};
