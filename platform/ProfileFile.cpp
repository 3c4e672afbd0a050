#include "platform/ProfileFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Line {
    qsizetype start; // offset of the first byte of the line
    qsizetype end;   // offset just past the line's text, before its line break
    qsizetype next;  // offset of the following line
};

QList<Line> SplitLines(const QByteArray& contents)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < contents.size()) {
        qsizetype nl = contents.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? contents.size() : nl + 1;
        qsizetype end = nl < 0 ? contents.size() : nl;
        if (end > pos && contents[end - 1] == '\r')
            --end;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

// "[ Name ]" -> "Name"; null when the line is not a section header.
QByteArray SectionName(const QByteArray& trimmed)
{
    if (!trimmed.startsWith('['))
        return QByteArray();
    const qsizetype close = trimmed.indexOf(']');
    const QByteArray name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return name.isNull() ? QByteArray("") : name;
}

// Names compare with the ASCII letters folded, as the profile-string services do.
bool SameName(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() && a.toLower() == b.toLower();
}

// Splits "key = value" at the first "="; false when the line has none.
bool SplitKey(const QByteArray& trimmed, QByteArray* key, QByteArray* value)
{
    const qsizetype eq = trimmed.indexOf('=');
    if (eq < 0)
        return false;
    *key = trimmed.left(eq).trimmed();
    *value = trimmed.mid(eq + 1).trimmed();
    return true;
}

QByteArray Unquoted(const QByteArray& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Ends the last line of `text`, which has no line feed; a lone carriage return there is
// completed to the Windows line end rather than left inside the line.
void EndLine(QByteArray& text, const QByteArray& eol)
{
    text += text.endsWith('\r') ? QByteArray("\n") : eol;
}

const QByteArray utf8Bom("\xEF\xBB\xBF");

// The contents without a leading UTF-8 byte-order mark, which `bom` receives.
QByteArray WithoutBom(const QByteArray& contents, QByteArray* bom = nullptr)
{
    const bool has = contents.startsWith(utf8Bom);
    if (bom)
        *bom = has ? utf8Bom : QByteArray();
    return has ? contents.mid(utf8Bom.size()) : contents;
}

bool ReadAll(const QString& fileName, QByteArray* contents, bool* exists)
{
    QFile file(fileName);
    *exists = file.exists();
    if (!*exists || !file.open(QIODevice::ReadOnly))
        return false;
    *contents = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

ProfileFile::ProfileFile(QString fileName) : m_fileName(std::move(fileName)) {}

QByteArray ProfileFile::Lookup(const QByteArray& raw, const QByteArray& section,
                               const QByteArray& key, bool* found)
{
    *found = false;
    const QByteArray contents = WithoutBom(raw);
    bool inSection = false;
    bool seenSection = false;
    for (const Line& line : SplitLines(contents)) {
        const QByteArray trimmed = contents.mid(line.start, line.end - line.start).trimmed();
        const QByteArray name = SectionName(trimmed);
        if (!name.isNull()) {
            // Only the first section of a name counts.
            if (inSection)
                return QByteArray();
            inSection = !seenSection && SameName(name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        QByteArray k, v;
        if (inSection && SplitKey(trimmed, &k, &v) && SameName(k, key)) {
            *found = true;
            return Unquoted(v);
        }
    }
    return QByteArray();
}

QByteArray ProfileFile::Replace(const QByteArray& raw, const QByteArray& section,
                                const QByteArray& key, const QByteArray& value)
{
    QByteArray bom;
    const QByteArray contents = WithoutBom(raw, &bom);
    const QList<Line> lines = SplitLines(contents);
    const QByteArray eol = contents.contains("\r\n") ? "\r\n" : "\n";
    const QByteArray entry = key + '=' + value;
    qsizetype sectionAt = -1;   // index of the section header line
    qsizetype insertAfter = -1; // index of the section's last non-blank line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const QByteArray trimmed = contents.mid(line.start, line.end - line.start).trimmed();
        const QByteArray name = SectionName(trimmed);
        if (!name.isNull()) {
            if (sectionAt >= 0)
                break;
            if (SameName(name, section))
                sectionAt = insertAfter = i;
            continue;
        }
        if (sectionAt < 0)
            continue;
        QByteArray k, v;
        if (SplitKey(trimmed, &k, &v) && SameName(k, key)) {
            // Replace the value in place, keeping the line's own line break.
            return bom + contents.left(line.start) + entry + contents.mid(line.end);
        }
        if (!trimmed.isEmpty())
            insertAfter = i;
    }
    if (sectionAt >= 0) {
        const Line& after = lines[insertAfter];
        QByteArray head = contents.left(after.next);
        if (!head.endsWith('\n')) // the last line had no line break
            EndLine(head, eol);
        return bom + head + entry + eol + contents.mid(after.next);
    }
    QByteArray out = contents;
    if (!out.isEmpty() && !out.endsWith('\n'))
        EndLine(out, eol);
    if (!out.isEmpty())
        out += eol;
    return bom + out + '[' + section + ']' + eol + entry + eol;
}

bool ProfileFile::IsText(const QByteArray& contents)
{
    // UTF-16 and UTF-32 text holds NUL bytes or starts with a UTF-16 byte-order mark.
    return !contents.contains('\0') && !contents.startsWith("\xFF\xFE") &&
           !contents.startsWith("\xFE\xFF");
}

QList<ProfileFile::SectionValues> ProfileFile::Values(const QByteArray& raw)
{
    const QByteArray contents = WithoutBom(raw);
    QList<SectionValues> sections;
    QSet<QByteArray> seenSections;
    QSet<QByteArray> seenKeys;
    bool inSection = false;
    for (const Line& line : SplitLines(contents)) {
        const QByteArray trimmed = contents.mid(line.start, line.end - line.start).trimmed();
        const QByteArray name = SectionName(trimmed);
        if (!name.isNull()) {
            // A later section of the same name is never read.
            inSection = !name.isEmpty() && !seenSections.contains(name.toLower());
            if (inSection) {
                seenSections.insert(name.toLower());
                seenKeys.clear();
                sections.append({name, {}});
            }
            continue;
        }
        QByteArray k, v;
        if (inSection && SplitKey(trimmed, &k, &v) && !k.isEmpty() &&
            !seenKeys.contains(k.toLower())) {
            seenKeys.insert(k.toLower());
            sections.last().values.append({k, v});
        }
    }
    return sections;
}

std::optional<QString> ProfileFile::ReadValue(const QString& section, const QString& key) const
{
    QByteArray contents;
    bool exists = false;
    if (!ReadAll(m_fileName, &contents, &exists))
        return std::nullopt;
    bool found = false;
    const QByteArray value = Lookup(contents, section.toUtf8(), key.toUtf8(), &found);
    if (!found)
        return std::nullopt;
    return QString::fromUtf8(value);
}

QString ProfileFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    return ReadValue(section, key).value_or(defaultValue);
}

bool ProfileFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    return WriteStrings(section, {{key, value}});
}

bool ProfileFile::WriteStrings(const QString& section, const QList<Entry>& entries)
{
    static const QRegularExpression badSection("[\\]\\r\\n]");
    static const QRegularExpression badKey("[=\\r\\n]");
    if (section.contains(badSection))
        return false;
    for (const Entry& entry : entries)
        if (entry.first.contains(badKey) || entry.first.trimmed().isEmpty())
            return false;
    QByteArray contents;
    bool exists = false;
    if (!ReadAll(m_fileName, &contents, &exists) && exists)
        return false;
    if (!IsText(contents))
        return false;
    QByteArray updated = contents;
    for (const Entry& entry : entries) {
        QString flat = entry.second;
        flat.replace('\r', ' ').replace('\n', ' ').replace(QChar(0), ' ');
        updated = Replace(updated, section.trimmed().toUtf8(), entry.first.trimmed().toUtf8(),
                          flat.toUtf8());
    }
    if (exists && updated == contents)
        return true;
    return Save(updated);
}

bool ProfileFile::TakeValuesFrom(const QString& source, const QList<Name>& names)
{
    QByteArray from;
    bool sourceExists = false;
    if (!ReadAll(source, &from, &sourceExists) || !IsText(from))
        return false;
    QByteArray contents;
    bool exists = false;
    if (!ReadAll(m_fileName, &contents, &exists) && exists)
        return false;
    if (!IsText(contents))
        return false;
    QByteArray updated = contents;
    for (const SectionValues& section : Values(from))
        for (const auto& [key, value] : section.values)
            for (const Name& name : names)
                if (SameName(section.section, name.section.toUtf8()) &&
                    SameName(key, name.key.toUtf8()))
                    updated = Replace(updated, name.section.toUtf8(), name.key.toUtf8(), value);
    return updated == contents || Save(updated);
}

int ProfileFile::RemoveLeftovers(int minimumAge) const
{
    // The save writes beside the file a link leads to, under that file's name.
    QFileInfo file(m_fileName);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    const QDir folder = file.absoluteDir();
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(file.fileName()) + "\\.[A-Za-z]{6}"));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    int removed = 0;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!pattern.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st;
        if (lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
            now - st.st_mtime < minimumAge)
            continue;
        removed += unlink(path.constData()) == 0;
    }
    return removed;
}

bool ProfileFile::Save(const QByteArray& contents)
{
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

ProfileFile::Status ProfileFile::Check(QString* detail) const
{
    QByteArray contents;
    bool exists = false;
    const QString name = QFileInfo(m_fileName).absoluteFilePath();
    if (!ReadAll(m_fileName, &contents, &exists)) {
        if (!exists)
            return Status::Missing;
        if (detail)
            *detail = QStringLiteral("The settings file \"%1\" cannot be read.").arg(name);
        return Status::Unreadable;
    }
    if (!IsText(contents)) {
        if (detail)
            *detail = QStringLiteral("The settings file \"%1\" is not a text file.").arg(name);
        return Status::NotText;
    }
    return Status::Ok;
}
