// Reading the update information page, and the small decisions around it: the release date,
// version comparison, the file name proposed for a download and the byte counts shown while
// it runs. Pure functions on text, tested without sockets or windows.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class TWfiTags;

// The values the information page carries; empty when the page does not name them.
struct TInfoPageValues {
    QString ProductName;
    QString ReadMe;
    QString ReadMeExt;
    QString Version;
    QString DateStr;
    QString Author;
    QString AuthorEMail;
    QString DownloadURL;
    QString RedirectURL;
    QString RunParams;
    QString Signature;
};

namespace InfoPage {
// At most this many characters are taken for a tag's name or value.
constexpr int MaxField = 1000;

// Reads every line that holds "META HTTP-EQUIV" (any case): the name starts 17 characters
// after it and runs to the next double quote; the value starts 9 characters after a
// "CONTENT=" written in capitals and runs to the next double quote. A later line overwrites
// an earlier value of the same tag.
TInfoPageValues Parse(const QStringList& lines, const TWfiTags& tags);

// The name and the value of one line; false when the line carries no tag.
bool ReadLine(const QString& line, QString* name, QString* value);

// The value after "CONTENT=" (capitals) in `line`; empty without one.
QString ExtractContent(const QString& line);

// "April 6, 1999" -> 6 April 1999: the month from the first three letters, the day from the
// two characters before the first ",", the year from the last four. Throws
// calc::EConvertError for text of any other form.
QDate ParseProductDate(const QString& text);

// The dotted-number comparison: true when `product` is a newer version than `current`. Parts
// are read as integers (0 when not a number) and compared left to right; a string with no
// parts left keeps comparing its last part; the comparison ends with the last part of
// `current`.
bool IsNewerBuildNumber(const QString& current, const QString& product);

// The name a downloaded file gets from its address: the last path segment, cut at "?" or
// "#", percent-decoded, and then empty when it would be "." or "..", or holds a "/", a "\" or
// a control character, so it can never leave the folder it is saved in. An address ending in
// "/" gives an empty name.
QString FileNameFromAddress(const QString& address);

// 1234567 -> "1,234,567": a "," before every group of three digits from the right.
QString FormatThousands(qint64 value);

// True when the address's host is 127.0.0.0/8 or "localhost".
bool IsLoopbackAddress(const QString& address);
} // namespace InfoPage
