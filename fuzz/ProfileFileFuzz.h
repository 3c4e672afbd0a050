// Arbitrary bytes as the settings file: every key the program reads is looked up, one key is
// written and read back, and the program's keys are taken over into another file. Shared by
// the fuzz target and the corpus replay test.
//
// Input: byte 0 chooses the key, byte 1 the length of the value (taken from the bytes after
// it), the rest is the file.
#pragma once

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

namespace profile {

struct Key {
    const char* section;
    const char* key;
};
inline const Key keys[] = {{"LastValues", "Price"},    {"LastValues", "Interest"},
                           {"LastValues", "Term"},     {"LastValues", "DownPercent"},
                           {"LastValues", "AutoCalc"}, {"Update", "Host"}};

// The lines as the reader splits them: at "\n", without a "\r" before it, after a UTF-8
// byte-order mark.
inline QList<QByteArray> Lines(QByteArray contents)
{
    if (contents.startsWith("\xEF\xBB\xBF"))
        contents.remove(0, 3);
    QList<QByteArray> lines = contents.split('\n');
    if (contents.endsWith('\n') || contents.isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// True when `part` is `whole` with at most `extra` lines added.
inline bool KeptInOrder(const QList<QByteArray>& part, const QList<QByteArray>& whole, int extra)
{
    if (whole.size() < part.size() || whole.size() - part.size() > extra)
        return false;
    qsizetype j = 0;
    for (const QByteArray& line : part) {
        while (j < whole.size() && whole[j] != line)
            ++j;
        if (j == whole.size())
            return false;
        ++j;
    }
    return true;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace profile

// Returns an empty text when every check holds, else what went wrong.
inline std::string RunProfileFile(const std::uint8_t* data, std::size_t size)
{
    using namespace profile;
    // In memory where there is such a folder: a save flushes the file to its disk.
    static QTemporaryDir dir(QDir("/dev/shm").exists()
                                 ? "/dev/shm/tallyhorn-fuzz-XXXXXX"
                                 : QDir::tempPath() + "/tallyhorn-fuzz-XXXXXX");
    const QString path = QDir(dir.path()).filePath("TorvIni.ini");
    const QString other = QDir(dir.path()).filePath("Other.ini");

    const Key& key = keys[size > 0 ? data[0] % std::size(keys) : 0];
    const std::size_t valueLength = size > 1 ? std::min<std::size_t>(data[1] % 48, size - 2) : 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const QByteArray rawValue = size > 2 ? QByteArray(bytes + 2, valueLength) : QByteArray();
    const QByteArray before =
        size > 2 ? QByteArray(bytes + 2 + valueLength, size - 2 - valueLength) : QByteArray();

    // Every key the program reads, straight from the bytes.
    QList<QByteArray> readBefore;
    QList<bool> foundBefore;
    for (const Key& k : keys) {
        bool found = false;
        readBefore << ProfileFile::Lookup(before, k.section, k.key, &found);
        foundBefore << found;
    }

    if (!WriteFile(path, before))
        return "cannot write the test file";
    ProfileFile ini(path);
    const ProfileFile::Status status = ini.Check();

    // A value the profile rules store unchanged: no line breaks or NULs, no surrounding blanks,
    // not in matching quotes.
    QString value = QString::fromUtf8(rawValue);
    value.remove('\r').remove('\n').remove(QChar(0));
    for (;;) {
        value = QString::fromUtf8(value.toUtf8().trimmed());
        if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') ||
            value.back() != value.front())
            break;
        value.remove(0, 1);
    }

    const bool written = ini.WriteString(key.section, key.key, value);
    const QByteArray after = ReadFile(path);
    if (status != ProfileFile::Status::Ok) {
        if (written || after != before)
            return "a file that is not text was written";
        return {};
    }
    if (!written)
        return "a text file could not be written";
    if (ini.ReadString(key.section, key.key,
                       "\x01"
                       "default") != value)
        return "the written value does not read back";
    if (before.startsWith("\xEF\xBB\xBF") != after.startsWith("\xEF\xBB\xBF"))
        return "the byte-order mark changed";
    for (qsizetype i = 0; i < std::ssize(keys); ++i) {
        if (&keys[i] == &key)
            continue;
        bool found = false;
        const QByteArray read = ProfileFile::Lookup(after, keys[i].section, keys[i].key, &found);
        if (found != foundBefore[i] || read != readBefore[i])
            return "writing one key changed another";
    }
    // Every other line is still there, byte for byte: the key's line replaced in place, or
    // the key (with its section, after a blank line) added.
    const QList<QByteArray> linesBefore = Lines(before);
    const QList<QByteArray> linesAfter = Lines(after);
    const int wasThere = foundBefore[&key - keys];
    if (wasThere) {
        if (linesAfter.size() != linesBefore.size())
            return "replacing a value changed the number of lines";
        int changed = 0;
        for (qsizetype i = 0; i < linesBefore.size(); ++i)
            changed += linesBefore[i] != linesAfter[i];
        if (changed > 1)
            return "replacing a value changed other lines";
    } else if (!KeptInOrder(linesBefore, linesAfter, 3)) {
        return "adding a value lost or changed other lines";
    }

    // Taking the program's keys over into another file: each reads there as it read here, the
    // keys this file lacks keep the other file's values, and nothing else comes along.
    if (!WriteFile(other, "; kept\n[LastValues]\nPrice=1\nTerm=30\n"))
        return "cannot write the test file";
    const QByteArray otherBefore = ReadFile(other);
    QList<ProfileFile::Name> names;
    for (const Key& k : keys)
        names.append(ProfileFile::Name{k.section, k.key});
    ProfileFile target(other);
    if (!target.TakeValuesFrom(path, names))
        return "the values of a text file could not be taken over";
    const QByteArray taken = ReadFile(other);
    for (const Key& k : keys) {
        bool foundHere = false, foundThere = false, foundEarlier = false;
        const QByteArray here = ProfileFile::Lookup(after, k.section, k.key, &foundHere);
        const QByteArray there = ProfileFile::Lookup(taken, k.section, k.key, &foundThere);
        const QByteArray was = ProfileFile::Lookup(otherBefore, k.section, k.key, &foundEarlier);
        if (foundHere ? (!foundThere || here != there)
                      : (foundThere != foundEarlier || there != was))
            return "a value taken over reads differently";
    }
    for (const ProfileFile::SectionValues& section : ProfileFile::Values(taken))
        for (const auto& [k, v] : section.values) {
            bool own = false;
            for (const Key& name : keys)
                own = own || (section.section.toLower() == QByteArray(name.section).toLower() &&
                              k.toLower() == QByteArray(name.key).toLower());
            if (!own)
                return "a key that is not the program's own was taken over";
        }
    if (!taken.startsWith("; kept\n"))
        return "taking values over lost the target's own lines";
    return {};
}

} // namespace fuzz
