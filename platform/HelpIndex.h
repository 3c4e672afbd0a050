// The keyword index's search: which entries a partly typed keyword selects.
#pragma once

#include "platform/HelpFile.h"

#include <QList>
#include <QString>

class HelpIndex {
public:
    // Positions in `index` of the entries that `typed` selects, ignoring case and surrounding
    // blanks: first those whose keyword begins with it, then those with a later word that
    // begins with it ("fees" finds "fixed fees"), each group in index order. Every entry when
    // `typed` is blank.
    static QList<int> Matching(const QList<HelpIndexEntry>& index, const QString& typed);
};
