// The help file: its format, its reader and the checks that keep it whole.
//
// Format of "torv.hlp" (version 1). A UTF-8 text file of lines ending in LF (a CR before the LF
// is dropped), at most MaxFileSize bytes:
//
//   TORVHELP 1                  first line: the format's name and version
//   @title Tallyhorn Help       the file's title (before the first topic): the viewer's caption
//   @contents                   the contents, one entry per line up to the next "@" line:
//   Getting started               a line "Text" is a book (a heading that holds what follows),
//     Welcome = welcome           a line "Text = topic-id" a page that opens the topic; two
//                                 blanks of indentation per level
//   @topic welcome              a topic: its id (lower-case letters, digits and "-")
//   @title Welcome              the topic's title, shown as its heading
//   @context 35                 optional: the topic's context number (1 or more, unique)
//   @keywords AutoCalc; grid    index keywords separated by ";" (the line may repeat)
//   <p>Body ...</p>             every other line is the topic's body: rich text (HTML subset of
//                               the text browser); links to topics are <a href="topic:id">,
//                               optionally "topic:id#anchor"
//   @# a comment                lines starting "@#" are ignored anywhere
//   @end 12                     last line: the number of topics; a file without it is truncated
//
// A file that breaks these rules is damaged: Load reports the first fault with its line number.
// Authoring faults that do not stop the file from being read (a dead link, a topic missing from
// the contents or without keywords) are listed by Problems().
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct HelpTopic {
    QString id;
    QString title;
    int context = 0; // 0: none
    QStringList keywords;
    QString body;
    int line = 0; // line of the "@topic" directive, from 1
};

struct HelpContentsEntry {
    QString text;
    QString topicId; // empty for a book
    int level = 0;   // 0 for the outermost entries
};

struct HelpIndexEntry {
    QString keyword;
    QString topicId;
    QString topicTitle;
};

class HelpFile {
public:
    static constexpr qint64 MaxFileSize = 8 * 1024 * 1024;
    static constexpr const char* Magic = "TORVHELP 1";

    enum class Status { Ok, Missing, Unreadable, Damaged };

    // Reads and parses the file at `path`; Status() and Error() tell how it went.
    static HelpFile Load(const QString& path);
    // Parses the bytes of a help file.
    static HelpFile Parse(const QByteArray& data);

    Status GetStatus() const { return m_status; }
    bool IsOk() const { return m_status == Status::Ok; }
    // What went wrong, for the user ("line 12: ..."); empty when the file is whole.
    QString Error() const { return m_error; }
    QString Path() const { return m_path; }

    QString Title() const { return m_title; }
    const QList<HelpTopic>& Topics() const { return m_topics; }
    const QList<HelpContentsEntry>& Contents() const { return m_contents; }
    const HelpTopic* Topic(const QString& id) const;
    const HelpTopic* TopicForContext(int context) const;
    // The topic opened by the contents command: the first page of the contents.
    QString FirstTopicId() const;
    // Every keyword with its topic, sorted by keyword (ignoring case), then by topic title.
    QList<HelpIndexEntry> Index() const;
    // The rich text of a topic as the viewer shows and prints it: its title as a heading, then
    // its body. Empty for an unknown id.
    QString TopicHtml(const QString& id) const;

    // Authoring faults: dead links, duplicate context numbers, topics missing from the contents
    // or without keywords, contents pages naming no topic. Empty for a sound file.
    QStringList Problems() const;

    // The link targets ("topic:id", "#anchor", ...) written in a piece of rich text.
    static QStringList Links(const QString& html);
    // The topic id of a "topic:id[#anchor]" link; empty for any other link.
    static QString LinkedTopic(const QString& link);

private:
    bool Fail(int line, const QString& reason);

    Status m_status = Status::Damaged;
    QString m_error;
    QString m_path;
    QString m_title;
    QList<HelpTopic> m_topics;
    QList<HelpContentsEntry> m_contents;
};
