// Ctrl+C in the calculator window copies the whole APR table: the grid takes no focus, so the
// key is the window's while the focus is anywhere but an edit field (an edit copies its own
// selection). The text is tab-separated, one line per grid row, row 0 the header row, so a
// spreadsheet pastes it into cells; every cell keeps its displayed text.
#pragma once

#include <QObject>
#include <QString>

class QWidget;
class TStringGrid;

class TTableCopy : public QObject {
    Q_OBJECT

public:
    // Installs the key on `window` for `grid`; the object belongs to the window.
    TTableCopy(QWidget* window, const TStringGrid* grid);

    // The grid's texts: cells separated by tabs, rows ended by a line feed, each text without
    // the blanks around it (blanks, tabs and line breaks inside a text become one blank).
    static QString TabText(const TStringGrid& grid);

    // Puts the grid's text on the clipboard.
    void Copy() const;

private:
    const TStringGrid* m_grid;
};
