// Copying the whole APR table from the calculator window, as tab-separated text: one line per
// grid row, row 0 the header row, so a spreadsheet pastes it into cells; every cell keeps its
// displayed text.
//
// The grid is disabled and takes no focus, so the keys that copy it belong to the window:
// - Ctrl+C while the focus is anywhere but an edit field (an edit copies its own selection);
// - Ctrl+C after a press on the table, wherever the focus is: the press is noted without
//   moving the focus (so no field is left and nothing is calculated), and any other key or a
//   press elsewhere forgets it;
// - Ctrl+Shift+C from anywhere in the window, edit fields included.
#pragma once

#include <QObject>
#include <QString>

class QWidget;
class TStringGrid;

class TTableCopy : public QObject {
    Q_OBJECT

public:
    // Installs the keys on `window` for `grid`; the object belongs to the window.
    TTableCopy(QWidget* window, const TStringGrid* grid);

    // The grid's texts: cells separated by tabs, rows ended by a line feed, each text without
    // the blanks around it (blanks, tabs and line breaks inside a text become one blank).
    static QString TabText(const TStringGrid& grid);

    // Puts the grid's text on the clipboard.
    void Copy() const;

    // True between a press on the table and the next key or press.
    bool TableNoted() const { return m_tableNoted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InWindow(const QObject* object) const;

    QWidget* m_window;
    const TStringGrid* m_grid;
    bool m_tableNoted = false;
};
