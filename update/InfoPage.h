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
    QString Manifest;
};

// The signed description of a release (the manifest): the product, its version, the file's
// name, size in bytes and SHA-256. The maker signs its text; the download is accepted only when
// it matches.
struct TUpdateManifest {
    QString Product;
    QString Version;
    QString FileName;
    qint64 Size = -1;
    QByteArray Sha256; // 32 bytes
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

// The manifest text, at most MaxManifestBytes of UTF-8: exactly these six lines in this order,
// each ended by a line feed, values without control characters and never empty:
//   update-manifest=1
//   product=<product name>
//   version=<version as the page gives it>
//   file=<file name, as CleanFileName leaves it>
//   size=<bytes, decimal, no leading zero>
//   sha256=<64 lower-case hex digits>
// False (and `manifest` untouched) for anything else.
constexpr int MaxManifestBytes = 700;
bool ParseManifest(const QByteArray& text, TUpdateManifest* manifest);

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
// "#", percent-decoded and cleaned (CleanFileName). An address ending in "/" gives an empty
// name.
QString FileNameFromAddress(const QString& address);

// A file name as the user may be shown it and the program may save it: format and direction
// characters (such as the right-to-left override) and other invisible characters are removed;
// then the name is empty when it would be "." or "..", or holds a "/", a "\" or a control
// character, so it can never leave the folder it is saved in or pretend another extension.
QString CleanFileName(const QString& name);

// 1234567 -> "1,234,567": a "," before every group of three digits from the right.
QString FormatThousands(qint64 value);

// True when the address's host is 127.0.0.0/8 or "localhost".
bool IsLoopbackAddress(const QString& address);
} // namespace InfoPage
