// The compare command: the offers of the command line with the inputs they leave out taken
// from the other options and then the settings file, as the table command takes them; and
// the Offer Comparison report as a PDF through the report engine, with no window.
#pragma once

#include "calc/Offers.h"
#include "cli/CommandRequest.h"
#include "loan/OfferComparison.h"

#include <QByteArray>
#include <QString>
#include <QTextStream>
#include <optional>
#include <vector>

class TCompareCommand {
public:
    // Each --offer completed: an offer's loan, or else the loan of --price and --down; its
    // term and rate, or else --term and --rate; fees, mi and mi-months, or else --fees, --mi
    // and --mi-months; points and costs, or else 0. The settings file is read only for what
    // some offer needs and no option gives. Empty with `error` set (one line) when a stored
    // value it needs is not acceptable; a warning about the file goes to `err`.
    static std::optional<std::vector<calc::Offer>> Offers(const TCommandRequest& request,
                                                          QTextStream& err, QString& error);

    // Makes the report of `comparison` on `paper` as the bytes of a PDF file, in memory. False
    // with `error` set (one line) when the PDF cannot be made.
    static bool Make(const TOfferComparison& comparison, TChartPaper paper, QByteArray& pdf,
                     QString& error);
};
