// A settings file of profile strings (an INI file): "[Section]" lines, each followed by
// "Key=Value" lines.
//
// It behaves like the platform's profile-string services: section and key names compare
// without regard to letter case, blanks around names and values are ignored, a value in
// matching quotes loses them, a missing file, section or key reads as the default, and a
// write creates the file, section or key as needed and replaces the value in place, keeping
// every other line byte for byte. Lines that are not profile strings (text without "=", text
// before the first section, bytes that are not UTF-8) are read past and kept. A UTF-8
// byte-order mark is ignored on reading and kept on writing. The file is opened only for the
// moment of each call.
//
// A file that is not text (it holds NUL bytes, as UTF-16 and binary files do) is never
// written: rewriting it would leave a mix of two encodings.
//
// Saving is crash-safe: the new contents go to a temporary file in the same folder, which is
// flushed and renamed over the old one, so the file is always either the old or the new one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

class ProfileFile {
public:
    enum class Status {
        Ok,         // readable text (or empty)
        Missing,    // no such file: reads give the defaults
        Unreadable, // the file exists but cannot be read
        NotText,    // readable, but not a text file: never written
    };

    explicit ProfileFile(QString fileName);

    const QString& FileName() const { return m_fileName; }

    // The value of `key` in `section`, or `defaultValue` when the file, section or key is
    // missing or the file cannot be read.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // The same, with no value when the file, section or key is missing.
    std::optional<QString> ReadValue(const QString& section, const QString& key) const;

    // Sets `key` in `section` to `value`. Returns false when the file cannot be written (its
    // folder is read-only, it exists but cannot be read, or it is not text).
    // Line breaks and NUL characters in `value` become blanks, so a value can never add lines
    // to the file or make it a file that is not text.
    bool WriteString(const QString& section, const QString& key, const QString& value);

    // Sets several keys of `section` in one save, in the order given: the file then holds all
    // of the new values or none of them. Same rules and result as WriteString.
    using Entry = std::pair<QString, QString>; // key, value
    bool WriteStrings(const QString& section, const QList<Entry>& entries);

    // A key and its section.
    struct Name {
        QString section;
        QString key;
    };
    // Takes over the values of `names` that the readable text file `source` holds, as a read
    // finds them, and nothing else of it: they are replaced or added in one save, and a missing
    // file is created with just them. False when nothing could be taken over (the source
    // cannot be read or is not text, or this file cannot be written).
    bool TakeValuesFrom(const QString& source, const QList<Name>& names);

    // Removes what interrupted saves of this file left behind: regular files of the user's
    // own in the folder the file is saved in (after links, as a save follows them), named as
    // the save names its temporary file (the file name, "." and six letters) and unchanged for
    // at least `minimumAge` seconds, so that a save in progress elsewhere is never touched.
    // Returns how many were removed.
    int RemoveLeftovers(int minimumAge = 60) const;

    // What state the file is in; `detail` receives a sentence for the user when not Ok.
    Status Check(QString* detail = nullptr) const;

    // Parsing on bytes in memory, used by the calls above and testable on its own.
    static QByteArray Lookup(const QByteArray& contents, const QByteArray& section,
                             const QByteArray& key, bool* found);
    static QByteArray Replace(const QByteArray& contents, const QByteArray& section,
                              const QByteArray& key, const QByteArray& value);
    static bool IsText(const QByteArray& contents);
    // Every value as a read finds it: the first section of each name, the first key of each
    // name in it, the value as written (quotes kept), in the order of the file.
    struct SectionValues {
        QByteArray section;
        QList<std::pair<QByteArray, QByteArray>> values;
    };
    static QList<SectionValues> Values(const QByteArray& contents);

private:
    bool Save(const QByteArray& contents);

    QString m_fileName;
};
