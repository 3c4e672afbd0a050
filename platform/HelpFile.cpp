#include "platform/HelpFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>

namespace {
const QRegularExpression& TopicIdPattern()
{
    static const QRegularExpression pattern("^[a-z0-9][a-z0-9-]*$");
    return pattern;
}

// The value of a directive line "@name value", trimmed.
QString ValueOf(const QString& line, const QString& name)
{
    return line.mid(name.size()).trimmed();
}

bool IsDirective(const QString& line, const QString& name)
{
    return line == name || line.startsWith(name + ' ');
}
} // namespace

HelpFile HelpFile::Load(const QString& path)
{
    HelpFile file;
    file.m_path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        file.m_status = Status::Missing;
        file.m_error = QStringLiteral("the file does not exist");
        return file;
    }
    QFile device(path);
    if (!info.isFile() || !device.open(QIODevice::ReadOnly)) {
        file.m_status = Status::Unreadable;
        file.m_error = QStringLiteral("the file cannot be read");
        return file;
    }
    if (device.size() > MaxFileSize) {
        file.m_status = Status::Damaged;
        file.m_error = QStringLiteral("the file is too large to be a help file");
        return file;
    }
    const QByteArray data = device.read(MaxFileSize + 1);
    if (device.error() != QFileDevice::NoError) {
        file.m_status = Status::Unreadable;
        file.m_error = QStringLiteral("the file cannot be read");
        return file;
    }
    HelpFile parsed = Parse(data);
    parsed.m_path = path;
    return parsed;
}

bool HelpFile::Fail(int line, const QString& reason)
{
    m_status = Status::Damaged;
    m_error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(reason) : reason;
    m_topics.clear();
    m_contents.clear();
    return false;
}

HelpFile HelpFile::Parse(const QByteArray& data)
{
    HelpFile file;
    if (data.size() > MaxFileSize) {
        file.Fail(0, QStringLiteral("the file is too large to be a help file"));
        return file;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(data);
    if (decoder.hasError() || text.contains(QChar(0))) {
        file.Fail(0, QStringLiteral("the file is not a text file"));
        return file;
    }
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the line end of the last line
    for (QString& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.front().startsWith(QChar(0xFEFF)))
        lines.front().remove(0, 1);

    if (lines.isEmpty() || lines.front() != QLatin1String(Magic)) {
        file.Fail(1, QStringLiteral("the file does not start with \"%1\"").arg(Magic));
        return file;
    }

    enum class Section { Header, Contents, Topic };
    Section section = Section::Header;
    QSet<QString> ids;
    bool ended = false;
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const int number = i + 1;
        if (ended) {
            if (!line.trimmed().isEmpty()) {
                file.Fail(number, QStringLiteral("text after the end of the file"));
                return file;
            }
            continue;
        }
        if (line.startsWith("@#"))
            continue;
        if (!line.startsWith('@')) {
            if (section == Section::Topic) {
                file.m_topics.back().body += line + '\n';
            } else if (section == Section::Contents) {
                if (line.trimmed().isEmpty())
                    continue;
                qsizetype indent = 0;
                while (indent < line.size() && line[indent] == ' ')
                    ++indent;
                if (indent % 2 != 0) {
                    file.Fail(number, QStringLiteral("contents entries are indented by two blanks "
                                                     "per level"));
                    return file;
                }
                HelpContentsEntry entry;
                entry.level = int(indent / 2);
                const int previousLevel =
                    file.m_contents.isEmpty() ? -1 : file.m_contents.back().level;
                // A deeper entry belongs to the book just above it.
                if (entry.level > previousLevel &&
                    (entry.level != previousLevel + 1 ||
                     (previousLevel >= 0 && !file.m_contents.back().topicId.isEmpty()))) {
                    file.Fail(number, QStringLiteral("a contents entry is indented below a page "
                                                     "or by more than one level"));
                    return file;
                }
                const qsizetype equals = line.indexOf('=');
                entry.text = (equals < 0 ? line : line.left(equals)).trimmed();
                if (equals >= 0) {
                    entry.topicId = line.mid(equals + 1).trimmed();
                    if (!TopicIdPattern().match(entry.topicId).hasMatch()) {
                        file.Fail(number,
                                  QStringLiteral("\"%1\" is not a topic id").arg(entry.topicId));
                        return file;
                    }
                }
                if (entry.text.isEmpty()) {
                    file.Fail(number, QStringLiteral("a contents entry has no text"));
                    return file;
                }
                file.m_contents.append(entry);
            } else if (!line.trimmed().isEmpty()) {
                file.Fail(number, QStringLiteral("text outside a topic"));
                return file;
            }
            continue;
        }

        if (IsDirective(line, "@title")) {
            const QString title = ValueOf(line, "@title");
            if (title.isEmpty()) {
                file.Fail(number, QStringLiteral("an empty title"));
                return file;
            }
            if (section == Section::Topic)
                file.m_topics.back().title = title;
            else
                file.m_title = title;
        } else if (IsDirective(line, "@contents")) {
            if (section != Section::Header || !file.m_contents.isEmpty()) {
                file.Fail(number, QStringLiteral("the contents must come once, before the topics"));
                return file;
            }
            section = Section::Contents;
        } else if (IsDirective(line, "@topic")) {
            HelpTopic topic;
            topic.id = ValueOf(line, "@topic");
            topic.line = number;
            if (!TopicIdPattern().match(topic.id).hasMatch()) {
                file.Fail(number, QStringLiteral("\"%1\" is not a topic id").arg(topic.id));
                return file;
            }
            if (ids.contains(topic.id)) {
                file.Fail(number, QStringLiteral("topic \"%1\" is defined twice").arg(topic.id));
                return file;
            }
            ids.insert(topic.id);
            file.m_topics.append(topic);
            section = Section::Topic;
        } else if (IsDirective(line, "@context") || IsDirective(line, "@keywords")) {
            if (section != Section::Topic) {
                file.Fail(number,
                          QStringLiteral("%1 outside a topic").arg(line.section(' ', 0, 0)));
                return file;
            }
            HelpTopic& topic = file.m_topics.back();
            if (IsDirective(line, "@context")) {
                bool ok = false;
                const int context = ValueOf(line, "@context").toInt(&ok);
                if (!ok || context < 1 || topic.context != 0) {
                    file.Fail(number, QStringLiteral("a topic has one context number, 1 or more"));
                    return file;
                }
                topic.context = context;
            } else {
                for (const QString& keyword : ValueOf(line, "@keywords").split(';'))
                    if (!keyword.trimmed().isEmpty())
                        topic.keywords.append(keyword.simplified());
            }
        } else if (IsDirective(line, "@end")) {
            bool ok = false;
            const int count = ValueOf(line, "@end").toInt(&ok);
            if (!ok || count != file.m_topics.size()) {
                file.Fail(number, QStringLiteral("the file holds %1 topics, not the %2 its end "
                                                 "line counts")
                                      .arg(file.m_topics.size())
                                      .arg(ValueOf(line, "@end")));
                return file;
            }
            ended = true;
        } else {
            file.Fail(number,
                      QStringLiteral("unknown directive \"%1\"").arg(line.section(' ', 0, 0)));
            return file;
        }
    }
    if (!ended) {
        file.Fail(0, QStringLiteral("the file ends before its end line: it is incomplete"));
        return file;
    }
    if (file.m_title.isEmpty()) {
        file.Fail(0, QStringLiteral("the file has no title"));
        return file;
    }
    for (const HelpTopic& topic : std::as_const(file.m_topics))
        if (topic.title.isEmpty()) {
            file.Fail(topic.line, QStringLiteral("topic \"%1\" has no title").arg(topic.id));
            return file;
        }
    file.m_status = Status::Ok;
    return file;
}

const HelpTopic* HelpFile::Topic(const QString& id) const
{
    for (const HelpTopic& topic : m_topics)
        if (topic.id == id)
            return &topic;
    return nullptr;
}

const HelpTopic* HelpFile::TopicForContext(int context) const
{
    if (context <= 0)
        return nullptr;
    for (const HelpTopic& topic : m_topics)
        if (topic.context == context)
            return &topic;
    return nullptr;
}

QString HelpFile::FirstTopicId() const
{
    for (const HelpContentsEntry& entry : m_contents)
        if (!entry.topicId.isEmpty() && Topic(entry.topicId))
            return entry.topicId;
    return m_topics.isEmpty() ? QString() : m_topics.front().id;
}

QList<HelpIndexEntry> HelpFile::Index() const
{
    QList<HelpIndexEntry> index;
    for (const HelpTopic& topic : m_topics) {
        QSet<QString> seen;
        for (const QString& keyword : topic.keywords)
            if (!seen.contains(keyword.toCaseFolded())) {
                seen.insert(keyword.toCaseFolded());
                index.append({keyword, topic.id, topic.title});
            }
    }
    std::stable_sort(
        index.begin(), index.end(), [](const HelpIndexEntry& a, const HelpIndexEntry& b) {
            const int byKeyword = QString::compare(a.keyword, b.keyword, Qt::CaseInsensitive);
            if (byKeyword != 0)
                return byKeyword < 0;
            return QString::compare(a.topicTitle, b.topicTitle, Qt::CaseInsensitive) < 0;
        });
    return index;
}

QString HelpFile::TopicHtml(const QString& id) const
{
    const HelpTopic* topic = Topic(id);
    if (!topic)
        return {};
    return QStringLiteral("<h2>%1</h2>\n%2").arg(topic->title.toHtmlEscaped(), topic->body);
}

QStringList HelpFile::Links(const QString& html)
{
    static const QRegularExpression href(R"(href\s*=\s*["']([^"']*)["'])",
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();)
        links.append(it.next().captured(1));
    return links;
}

QString HelpFile::LinkedTopic(const QString& link)
{
    if (!link.startsWith("topic:"))
        return {};
    return link.mid(6).section('#', 0, 0);
}

QStringList HelpFile::Problems() const
{
    QStringList problems;
    QSet<QString> inContents;
    for (const HelpContentsEntry& entry : m_contents) {
        if (entry.topicId.isEmpty())
            continue;
        inContents.insert(entry.topicId);
        if (!Topic(entry.topicId))
            problems.append(
                QStringLiteral("the contents page \"%1\" names the unknown topic \"%2\"")
                    .arg(entry.text, entry.topicId));
    }
    QSet<int> contexts;
    for (const HelpTopic& topic : m_topics) {
        if (!inContents.contains(topic.id))
            problems.append(QStringLiteral("topic \"%1\" is not in the contents").arg(topic.id));
        if (topic.keywords.isEmpty())
            problems.append(QStringLiteral("topic \"%1\" has no keywords").arg(topic.id));
        if (topic.context != 0) {
            if (contexts.contains(topic.context))
                problems.append(
                    QStringLiteral("context number %1 is given to two topics").arg(topic.context));
            contexts.insert(topic.context);
        }
        for (const QString& link : Links(topic.body)) {
            const QString target = LinkedTopic(link);
            if (link.startsWith('#'))
                continue;
            if (target.isEmpty())
                problems.append(QStringLiteral("topic \"%1\" links outside the help file: \"%2\"")
                                    .arg(topic.id, link));
            else if (!Topic(target))
                problems.append(QStringLiteral("topic \"%1\" links to the unknown topic \"%2\"")
                                    .arg(topic.id, target));
        }
    }
    return problems;
}
