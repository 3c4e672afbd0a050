// The offers of the Compare Offers dialog as the settings file keeps them, in their own
// section:
//
//   [Offers]
//   Count=3
//   Offer1=250000,30,6.5,0,3000,1200,0,0
//
// Count is the number of offers shown (MinOffers to MaxOffers); each OfferN holds one offer's
// loan, term (years), note rate (percent), points (percent), other prepaid finance charges,
// other loan costs, monthly mortgage insurance and its number of payments, in that order,
// separated by "," with "." as the decimal separator whatever the regional settings (a
// regional "," would split the list). An offer beyond Count is written empty.
#pragma once

#include "calc/Offers.h"
#include "platform/ProfileFile.h"

#include <QList>
#include <QString>
#include <optional>
#include <vector>

struct TStoredOffers {
    static constexpr const char* Section = "Offers";

    // The offers stored in `ini`: none when the section is missing or its Count is not a whole
    // number from MinOffers to MaxOffers (the dialog then starts afresh). An offer whose text
    // is missing or malformed (not eight numbers, a negative or non-finite one, a term or a
    // number of insurance payments that is not whole) is `fallback`.
    static std::vector<calc::Offer> Read(const ProfileFile& ini, const calc::Offer& fallback);

    // Count and Offer1 to Offer4 for a save of the section (offers beyond the first
    // MaxOffers are not kept).
    static QList<ProfileFile::Entry> Entries(const std::vector<calc::Offer>& offers);

    // One offer's text, and the offer read back from one (nothing when it is malformed).
    static QString OfferText(const calc::Offer& offer);
    static std::optional<calc::Offer> ParseOffer(const QString& text);
};
