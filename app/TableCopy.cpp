#include "app/TableCopy.h"

#include "controls/StringGrid.h"
#include "platform/Application.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

TTableCopy::TTableCopy(QWidget* window, const TStringGrid* grid)
    : QObject(window), m_window(window), m_grid(grid)
{
    // An edit field with the focus takes Ctrl+C for itself before a window shortcut sees it;
    // Ctrl+Shift+C is no edit's key.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::Copy), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            m_tableNoted = false;
            Application::Guard(this, [this] { Copy(); });
        });
    }
    // A disabled grid gets no mouse events of its own, and keys go to the focus widget: both
    // are seen here before anyone handles them.
    qApp->installEventFilter(this);
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

bool TTableCopy::InWindow(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->window() == m_window;
}

bool TTableCopy::eventFilter(QObject* watched, QEvent* event)
{
    // Input reaches a window's platform window first and then its widgets: the widgets decide.
    if (!watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A press reaches the widget hit and then, unless taken, its parents: each sees the
        // same point, so each decides alike by the widget on top there.
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const QWidget* hit =
            InWindow(watched) ? m_window->childAt(m_window->mapFromGlobal(at)) : nullptr;
        m_tableNoted = hit && (hit == m_grid || m_grid->isAncestorOf(hit));
        break;
    }
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        if (!m_tableNoted)
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Control:
        case Qt::Key_Shift:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_AltGr:
        case Qt::Key_unknown: return false; // a modifier on its way to its key
        default: break;
        }
        if (!key->matches(QKeySequence::Copy) || !InWindow(watched)) {
            if (event->type() == QEvent::KeyPress)
                m_tableNoted = false;
            break;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // Claimed for the key press, which comes here next whoever has the focus.
            event->accept();
            return true;
        }
        m_tableNoted = false;
        Application::Guard(this, [this] { Copy(); });
        return true;
    }
    default: break;
    }
    return false;
}
