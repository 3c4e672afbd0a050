// The help compiler: joins the help sources into one help file and refuses a file that the
// viewer could not read or that has authoring faults (dead links, topics that no contents
// page or keyword reaches).
//
// Usage: tallyhorn_helpc OUTPUT HEADER TOPIC-FILE...
// HEADER holds the first line, the title and the contents; each topic file holds topics. The
// compiler writes them in the order given and appends the end line with the topic count.
// "@VERSION@" and "@CAPTION_VERSION@" in the sources become the program's version ("1.0.00") and
// the version of its captions ("1.0").
#include "Version.h"
#include "platform/HelpFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT HEADER TOPIC-FILE...\n", argv[0]);
        return 2;
    }
    QByteArray joined;
    int topics = 0;
    for (int i = 2; i < argc; ++i) {
        QFile source(QString::fromLocal8Bit(argv[i]));
        if (!source.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
            return 1;
        }
        QByteArray text = source.readAll();
        if (!text.endsWith('\n'))
            text += '\n';
        for (const QByteArray& line : text.split('\n'))
            if (line.startsWith("@topic "))
                ++topics;
        joined += text;
    }
    joined.replace("@VERSION@", TALLYHORN_VERSION);
    joined.replace("@CAPTION_VERSION@", TALLYHORN_CAPTION_VERSION);
    joined += "@end " + QByteArray::number(topics) + '\n';

    const HelpFile file = HelpFile::Parse(joined);
    QStringList faults;
    if (!file.IsOk())
        faults.append(file.Error());
    else
        faults = file.Problems();
    if (!faults.isEmpty()) {
        for (const QString& fault : faults)
            std::fprintf(stderr, "help file: %s\n", qPrintable(fault));
        return 1;
    }

    QSaveFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(joined) != joined.size() ||
        !output.commit()) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[1]);
        return 1;
    }
    return 0;
}
