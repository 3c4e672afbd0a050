#include "report/QRDateFormat.h"

#include "platform/Regional.h"

#include <QRegularExpression>

namespace QRDateFormat {

namespace {
// The number of times `c` repeats from `i` on.
qsizetype RunLength(const QString& s, qsizetype i)
{
    qsizetype n = 1;
    while (i + n < s.size() && s[i + n] == s[i])
        ++n;
    return n;
}

QString Number(int value, qsizetype digits)
{
    return QStringLiteral("%1").arg(value, static_cast<int>(digits), 10, QLatin1Char('0'));
}
} // namespace

QString Format(const QString& picture, const QDateTime& moment, const TFormatSettings& settings)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    const bool twelveHour = picture.contains(QLatin1String("AMPM"));
    QString out;
    for (qsizetype i = 0; i < picture.size();) {
        const QChar c = picture[i];
        if (picture.mid(i, 4) == QLatin1String("AMPM")) {
            out += time.hour() < 12 ? settings.TimeAMString : settings.TimePMString;
            i += 4;
            continue;
        }
        if (c == '"' || c == '\'') {
            const qsizetype end = picture.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? picture.size() : end;
            out += picture.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const qsizetype n = RunLength(picture, i);
        switch (c.unicode()) {
        case 'd': out += Number(date.day(), n >= 2 ? 2 : 1); break;
        case 'M': out += Number(date.month(), n >= 2 ? 2 : 1); break;
        case 'y': out += n >= 3 ? Number(date.year(), 4) : Number(date.year() % 100, 2); break;
        case 'h': {
            int hour = time.hour();
            if (twelveHour)
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += Number(hour, n >= 2 ? 2 : 1);
            break;
        }
        case 'm':
        case 'n': out += Number(time.minute(), n >= 2 ? 2 : 1); break;
        case 's': out += Number(time.second(), n >= 2 ? 2 : 1); break;
        default: out += QString(n, c); break;
        }
        i += n;
    }
    return out;
}

QString ShortTimeFormat(const QString& longTimeFormat)
{
    QString picture = longTimeFormat;
    picture.remove(QRegularExpression(QStringLiteral("[:.]s+")));
    return picture;
}

} // namespace QRDateFormat
