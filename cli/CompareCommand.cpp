#include "cli/CompareCommand.h"

#include "calc/LoanModel.h"
#include "cli/ChartCommand.h"
#include "cli/CommandRunner.h"
#include "report/QROfferComparison.h"

#include <algorithm>

std::optional<std::vector<calc::Offer>> TCompareCommand::Offers(const TCommandRequest& request,
                                                                QTextStream& err, QString& error)
{
    const auto all = [&](auto given) {
        return std::all_of(request.offers.begin(), request.offers.end(), given);
    };
    // What every offer gives itself needs no option and no stored value: the options are
    // filled with stand-ins that are never used, so the settings file is read (and its values
    // checked) only for the inputs still missing, as for the table.
    TCommandRequest base = request;
    const bool loans = all([](const TOfferOption& o) { return o.loan.has_value(); });
    if (loans) {
        base.price = base.price.value_or(1);
        base.downPercent = base.downPercent.value_or(0);
    }
    if (all([](const TOfferOption& o) { return o.term.has_value(); }))
        base.term = base.term.value_or(1);
    if (all([](const TOfferOption& o) { return o.rate.has_value(); }))
        base.rate = base.rate.value_or(0);
    const std::optional<calc::LoanInputs> inputs = TCommandRunner::ResolveInputs(base, err, error);
    if (!inputs)
        return std::nullopt;
    // The loan of the price and the down payment, in whole cents as the window has it.
    const double loan = loans ? 0 : calc::LoanModel(*inputs).User().loan;
    std::vector<calc::Offer> offers;
    for (const TOfferOption& o : request.offers) {
        calc::Offer offer;
        offer.loan = o.loan.value_or(loan);
        offer.term = o.term.value_or(inputs->term);
        offer.rate = o.rate.value_or(inputs->rate);
        offer.points = o.points.value_or(0);
        offer.fees = o.fees.value_or(request.fees);
        offer.costs = o.costs.value_or(0);
        offer.mi = o.mi.value_or(request.mi);
        offer.miMonths = o.miMonths.value_or(request.miMonths);
        offers.push_back(offer);
    }
    return offers;
}

bool TCompareCommand::Make(const TOfferComparison& comparison, TChartPaper paper, QByteArray& pdf,
                           QString& error)
{
    TQROfferComparison report;
    report.SetSource(comparison.Source());

    return TChartCommand::PdfOnPaper(
        paper, [&](const QString& path) { return report.PrintToPdf(path); }, pdf, error);
}
