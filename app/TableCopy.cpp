#include "app/TableCopy.h"

#include "controls/StringGrid.h"
#include "platform/Application.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QShortcut>

TTableCopy::TTableCopy(QWidget* window, const TStringGrid* grid) : QObject(window), m_grid(grid)
{
    // An edit field with the focus takes Ctrl+C for itself before a window shortcut sees it.
    auto* shortcut = new QShortcut(QKeySequence::Copy, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this] { Application::Guard(this, [this] { Copy(); }); });
}

QString TTableCopy::TabText(const TStringGrid& grid)
{
    QString text;
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.Cells(col, row).simplified(); // no tab or line break inside a cell
        text += cells.join('\t') + '\n';
    }
    return text;
}

void TTableCopy::Copy() const
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(TabText(*m_grid));
}
