// A settings file of profile strings (an INI file): "[Section]" lines, each followed by
// "Key=Value" lines.
//
// It behaves like the platform's profile-string services: section and key names compare
// without regard to letter case, blanks around names and values are ignored, a value in
// matching quotes loses them, a missing file, section or key reads as the default, and a
// write creates the file, section or key as needed and replaces the value in place, keeping
// every other line byte for byte. The file is opened only for the moment of each call.
//
// Saving is crash-safe: the new contents go to a temporary file in the same folder, which is
// flushed and renamed over the old one, so the file is always either the old or the new one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

class ProfileFile {
public:
    enum class Status {
        Ok,         // readable and well formed (or empty)
        Missing,    // no such file: reads give the defaults
        Unreadable, // the file exists but cannot be read
        Garbled,    // readable, but holds lines that are not profile strings or is not text
    };

    explicit ProfileFile(QString fileName);

    const QString& FileName() const { return m_fileName; }

    // The value of `key` in `section`, or `defaultValue` when the file, section or key is
    // missing or the file cannot be read.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // Sets `key` in `section` to `value`. Returns false when the file cannot be written (its
    // folder is read-only, or it exists but cannot be read, so rewriting it would lose it).
    // Line breaks in `value` become blanks so a value can never add lines to the file.
    bool WriteString(const QString& section, const QString& key, const QString& value);

    // Sets several keys of `section` in one save, in the order given: the file then holds all
    // of the new values or none of them. Same rules and result as WriteString.
    using Entry = std::pair<QString, QString>; // key, value
    bool WriteStrings(const QString& section, const QList<Entry>& entries);

    // What state the file is in; `detail` receives a sentence for the user when not Ok.
    Status Check(QString* detail = nullptr) const;

    // Parsing on bytes in memory, used by the calls above and testable on its own.
    static QByteArray Lookup(const QByteArray& contents, const QByteArray& section,
                             const QByteArray& key, bool* found);
    static QByteArray Replace(const QByteArray& contents, const QByteArray& section,
                              const QByteArray& key, const QByteArray& value);
    static bool IsWellFormed(const QByteArray& contents);

private:
    QString m_fileName;
};
