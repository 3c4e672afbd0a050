#include "loan/StoredOffers.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {
// Far beyond any amount or count an offer can have, and small enough for an int.
constexpr double Largest = 1e12;
constexpr double LargestCount = 100000;

QString Number(double value)
{
    return QString::number(value, 'g', 15);
}
} // namespace

QString TStoredOffers::OfferText(const calc::Offer& o)
{
    return QStringList{Number(o.loan), Number(o.term),  Number(o.rate), Number(o.points),
                       Number(o.fees), Number(o.costs), Number(o.mi),   QString::number(o.miMonths)}
        .join(',');
}

std::optional<calc::Offer> TStoredOffers::ParseOffer(const QString& text)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 8)
        return std::nullopt;
    double values[8];
    for (int i = 0; i < 8; ++i) {
        bool ok = false;
        // The C locale's reading: "." only, no grouping, whatever the regional settings.
        values[i] = QLocale::c().toDouble(parts[i].trimmed(), &ok);
        if (!ok || !std::isfinite(values[i]) || values[i] < 0 || values[i] > Largest)
            return std::nullopt;
    }
    const double term = values[1], months = values[7];
    if (term != std::floor(term) || term > LargestCount || months != std::floor(months) ||
        months > LargestCount)
        return std::nullopt;
    return calc::Offer{values[0], term,      values[2], values[3],
                       values[4], values[5], values[6], static_cast<int>(months)};
}

std::vector<calc::Offer> TStoredOffers::Read(const ProfileFile& ini, const calc::Offer& fallback)
{
    const std::optional<QString> countText = ini.ReadValue(Section, "Count");
    bool ok = false;
    const int count = countText ? countText->trimmed().toInt(&ok) : 0;
    if (!ok || count < calc::MinOffers || count > calc::MaxOffers)
        return {};
    std::vector<calc::Offer> offers;
    for (int i = 1; i <= count; ++i) {
        const std::optional<QString> text = ini.ReadValue(Section, "Offer" + QString::number(i));
        const std::optional<calc::Offer> offer = text ? ParseOffer(*text) : std::nullopt;
        offers.push_back(offer.value_or(fallback));
    }
    return offers;
}

QList<ProfileFile::Entry> TStoredOffers::Entries(const std::vector<calc::Offer>& offers)
{
    const int count = static_cast<int>(std::min<size_t>(offers.size(), calc::MaxOffers));
    QList<ProfileFile::Entry> entries{{"Count", QString::number(count)}};
    for (int i = 0; i < calc::MaxOffers; ++i)
        entries.append({"Offer" + QString::number(i + 1), i < count ? OfferText(offers[i]) : ""});
    return entries;
}
