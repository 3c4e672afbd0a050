#include "platform/HelpIndex.h"

#include <QRegularExpression>

QList<int> HelpIndex::Matching(const QList<HelpIndexEntry>& index, const QString& typed)
{
    const QString key = typed.simplified();
    QList<int> starts;
    QList<int> words;
    static const QRegularExpression separator("[\\s,/(-]+");
    for (int i = 0; i < index.size(); ++i) {
        const QString& keyword = index[i].keyword;
        if (keyword.startsWith(key, Qt::CaseInsensitive)) {
            starts.append(i);
            continue;
        }
        for (auto it = separator.globalMatch(keyword); it.hasNext();) {
            const qsizetype from = it.next().capturedEnd();
            if (QStringView(keyword).mid(from).startsWith(key, Qt::CaseInsensitive)) {
                words.append(i);
                break;
            }
        }
    }
    return starts + words;
}
