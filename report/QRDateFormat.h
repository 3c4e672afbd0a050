// Dates and times in the regional pictures: d, dd (day), M, MM (month), yy, yyyy (year), h, hh
// (hour), m, mm, n, nn (minutes), s, ss (seconds), AMPM (the regional AM or PM text; hours
// then count 1 to 12). Any other character is copied; text in quotes is copied without them.
#pragma once

#include <QDateTime>
#include <QString>

struct TFormatSettings;

namespace QRDateFormat {

QString Format(const QString& picture, const QDateTime& moment, const TFormatSettings& settings);

// The short time picture: the long one without its seconds ("h:mm:ss AMPM" -> "h:mm AMPM").
QString ShortTimeFormat(const QString& longTimeFormat);

} // namespace QRDateFormat
