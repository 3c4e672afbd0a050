#include "update/InfoPage.h"

#include "calc/Errors.h"
#include "update/WfiTags.h"

#include <QRegularExpression>
#include <QUrl>

namespace {
// Upper case for ASCII letters only, so that every character keeps its position.
QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper)
        if (c >= QChar('a') && c <= QChar('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return upper;
}

// The text from `start` up to the next double quote, looking at no more than MaxField
// characters.
QString QuotedField(const QString& line, qsizetype start)
{
    QString field = line.mid(start, InfoPage::MaxField);
    const qsizetype quote = field.indexOf('"');
    if (quote >= 0)
        field.truncate(quote);
    return field;
}

// A part of a dotted version read as an integer; 0 when it is not one.
long long VersionPart(const QString& part)
{
    bool ok = false;
    const long long value = part.toLongLong(&ok);
    return ok ? value : 0;
}

// Characters that show nothing, or change how the text around them shows: format and
// direction characters, unassigned and private code points, line and paragraph separators,
// fillers, variation selectors and the combining grapheme joiner.
bool IsInvisible(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Format:
    case QChar::Other_NotAssigned:
    case QChar::Other_PrivateUse:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: break;
    }
    return c == 0x034f || c == 0x115f || c == 0x1160 || c == 0x17b4 || c == 0x17b5 ||
           (c >= 0x180b && c <= 0x180f) || c == 0x2800 || c == 0x3164 || c == 0xffa0 ||
           (c >= 0xfe00 && c <= 0xfe0f) || (c >= 0xe0100 && c <= 0xe01ef);
}

[[noreturn]] void InvalidDate(const QString& text)
{
    throw calc::EConvertError("'" + text.toStdString() + "' is not a valid date");
}
} // namespace

namespace InfoPage {

bool ReadLine(const QString& line, QString* name, QString* value)
{
    const qsizetype at = AsciiUpper(line).indexOf(QLatin1String("META HTTP-EQUIV"));
    if (at < 0)
        return false;
    // After the 15 letters come an equals sign and a double quote.
    *name = QuotedField(line, at + 17);
    *value = ExtractContent(line);
    return true;
}

QString ExtractContent(const QString& line)
{
    const qsizetype at = line.indexOf(QLatin1String("CONTENT="));
    return at < 0 ? QString() : QuotedField(line, at + 9);
}

TInfoPageValues Parse(const QStringList& lines, const TWfiTags& tags)
{
    TInfoPageValues values;
    const std::pair<const QString*, QString*> targets[] = {
        {&tags.ProductNameTag, &values.ProductName},
        {&tags.ReadMeTag, &values.ReadMe},
        {&tags.ReadMeExtTag, &values.ReadMeExt},
        {&tags.VersionTag, &values.Version},
        {&tags.DateTag, &values.DateStr},
        {&tags.AuthorTag, &values.Author},
        {&tags.AuthorEMailTag, &values.AuthorEMail},
        {&tags.DownloadTag, &values.DownloadURL},
        {&tags.RedirectTag, &values.RedirectURL},
        {&tags.RunParamsTag, &values.RunParams},
        {&tags.SignatureTag, &values.Signature},
        {&tags.ManifestTag, &values.Manifest},
    };
    QString name;
    QString value;
    for (const QString& line : lines) {
        if (!ReadLine(line, &name, &value))
            continue;
        for (const auto& [tag, target] : targets)
            if (!tag->isEmpty() && *tag == name)
                *target = value;
    }
    return values;
}

QDate ParseProductDate(const QString& text)
{
    static const QString months = QStringLiteral("JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC");
    const QString abbreviation = AsciiUpper(text.left(3));
    const qsizetype at = abbreviation.size() == 3 ? months.indexOf(abbreviation) : -1;
    // Only a whole month name counts ("UGS" inside "AUGSEP" is none).
    if (at < 0 || at % 3 != 0)
        InvalidDate(text);
    const int month = static_cast<int>(at / 3) + 1;

    const qsizetype comma = text.indexOf(',');
    if (comma < 2)
        InvalidDate(text);
    bool dayOk = false;
    const int day = text.mid(comma - 2, 2).trimmed().toInt(&dayOk);

    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    const QString yearText = text.right(4);
    if (!dayOk || !fourDigits.match(yearText).hasMatch())
        InvalidDate(text);
    const QDate date(yearText.toInt(), month, day);
    if (!date.isValid())
        InvalidDate(text);
    return date;
}

bool IsNewerBuildNumber(const QString& current, const QString& product)
{
    QString a = current;
    QString b = product;
    for (;;) {
        const qsizetype dotA = a.indexOf('.');
        const qsizetype dotB = b.indexOf('.');
        const long long partA = VersionPart(dotA < 0 ? a : a.left(dotA));
        const long long partB = VersionPart(dotB < 0 ? b : b.left(dotB));
        if (partA < partB)
            return true;
        if (partA > partB)
            return false;
        if (dotA < 0)
            return false;
        a = a.mid(dotA + 1);
        if (dotB >= 0)
            b = b.mid(dotB + 1);
    }
}

QString FileNameFromAddress(const QString& address)
{
    QString path = address;
    const qsizetype cut = path.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        path.truncate(cut);
    const qsizetype scheme = path.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        path = path.mid(scheme + 3);
        if (!path.contains('/'))
            return {}; // a bare host names no file
    }
    const QString segment = path.mid(path.lastIndexOf('/') + 1);
    return CleanFileName(QUrl::fromPercentEncoding(segment.toUtf8()));
}

QString CleanFileName(const QString& name)
{
    QString clean;
    for (const char32_t c : name.toUcs4()) {
        if (IsInvisible(c))
            continue;
        if (c < 0x20 || c == 0x7f || QChar::category(c) == QChar::Other_Control || c == U'/' ||
            c == U'\\')
            return {};
        clean += QString::fromUcs4(&c, 1);
    }
    if (clean == QLatin1String(".") || clean == QLatin1String(".."))
        return {};
    return clean;
}

bool ParseManifest(const QByteArray& text, TUpdateManifest* manifest)
{
    if (text.size() > MaxManifestBytes || !text.endsWith('\n'))
        return false;
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    static const char* const keys[] = {"update-manifest", "product", "version", "file", "size",
                                       "sha256"};
    if (lines.size() != 6)
        return false;
    QString values[6];
    for (int i = 0; i < 6; ++i) {
        const QByteArray prefix = QByteArray(keys[i]) + '=';
        if (!lines[i].startsWith(prefix) || lines[i].size() == prefix.size())
            return false;
        const QByteArray bytes = lines[i].mid(prefix.size());
        values[i] = QString::fromUtf8(bytes);
        if (values[i].toUtf8() != bytes) // not UTF-8
            return false;
        for (const char32_t c : values[i].toUcs4())
            if (c < 0x20 || c == 0x7f || QChar::category(c) == QChar::Other_Control)
                return false;
    }
    static const QRegularExpression size(QStringLiteral("^[1-9][0-9]{0,14}$"));
    static const QRegularExpression sha256(QStringLiteral("^[0-9a-f]{64}$"));
    if (values[0] != QLatin1String("1") || CleanFileName(values[3]) != values[3] ||
        !size.match(values[4]).hasMatch() || !sha256.match(values[5]).hasMatch())
        return false;
    manifest->Product = values[1];
    manifest->Version = values[2];
    manifest->FileName = values[3];
    manifest->Size = values[4].toLongLong();
    manifest->Sha256 = QByteArray::fromHex(values[5].toLatin1());
    return true;
}

QString FormatThousands(qint64 value)
{
    const bool negative = value < 0;
    QString digits = QString::number(value).remove('-');
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, ',');
    return negative ? "-" + digits : digits;
}

bool IsLoopbackAddress(const QString& address)
{
    const QUrl url(address.contains(QLatin1String("://")) ? address : "http://" + address);
    const QString host = url.host();
    static const QRegularExpression loopback(
        QStringLiteral("^127\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    const QRegularExpressionMatch match = loopback.match(host);
    if (host == QLatin1String("localhost"))
        return true;
    if (!match.hasMatch())
        return false;
    for (int i = 1; i <= 3; ++i)
        if (match.captured(i).toInt() > 255)
            return false;
    return true;
}

} // namespace InfoPage
