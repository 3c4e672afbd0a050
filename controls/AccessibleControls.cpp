#include "controls/AccessibleControls.h"

#include "controls/AccessibleTexts.h"
#include "controls/ExplBtn.h"
#include "controls/StringGrid.h"
#include "controls/URLLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <map>

namespace {

// The short part of a hint ("short|long"), without the leading blanks and trailing " ..." the
// toolbar's hints carry.
QString ShortHint(const QString& hint)
{
    QString text = hint.section('|', 0, 0).trimmed();
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    return text.trimmed();
}

// A caption as read aloud: without the mnemonic marks and runs of blanks.
QString SpokenCaption(QString caption)
{
    caption.replace(QRegularExpression(QStringLiteral("&(?!&)")), QString());
    caption.replace(QLatin1String("&&"), QLatin1String("&"));
    return caption.simplified();
}

class ExplorerButtonAccessible : public QAccessibleWidget {
public:
    explicit ExplorerButtonAccessible(TExplorerButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("OnClick()"));
    }

    TExplorerButton* Button() const { return static_cast<TExplorerButton*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        // Hints start with a blank that spaces them on the screen; a reader needs none.
        const QString own = QAccessibleWidget::text(t).trimmed();
        if (!own.isEmpty() && (t == QAccessible::Name || t == QAccessible::Description))
            return own;
        const QString caption = SpokenCaption(Button()->Caption());
        const QString hint = ShortHint(Button()->Hint());
        if (t == QAccessible::Name)
            return caption.isEmpty() ? hint : caption;
        if (t == QAccessible::Description)
            return caption.isEmpty() ? QString() : hint;
        return own;
    }

    QStringList actionNames() const override
    {
        return Button()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && Button()->isEnabled() && Button()->isVisible())
            emit Button()->OnClick();
    }
};

// A label read by its text (without the blanks that space it on the screen) in a role of its
// own: the status line as the status bar, its announcement as a notification, which a reader
// speaks as it appears.
class RoleLabelAccessible : public QAccessibleWidget {
public:
    RoleLabelAccessible(QLabel* label, QAccessible::Role role) : QAccessibleWidget(label, role) {}
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t).trimmed();
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<QLabel*>(widget())->text().trimmed();
        return own;
    }
};

// The link label: a link named by its text, whose action opens it.
class URLLabelAccessible : public QAccessibleWidget {
public:
    explicit URLLabelAccessible(TURLLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    TURLLabel* Label() const { return static_cast<TURLLabel*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return Label()->text();
        if (t == QAccessible::Value)
            return Label()->URL();
        return own;
    }

    QStringList actionNames() const override
    {
        return Label()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && Label()->isEnabled() && Label()->isVisible())
            Label()->Open();
    }
};

class GridAccessible;

// One cell of the grid. Cells of the fixed row are column headers, cells of the fixed column
// row headers; the others are the table's cells. The text is read from the grid each time.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(TStringGrid* grid, int col, int row) : m_grid(grid), m_col(col), m_row(row)
    {
    }

    bool isValid() const override
    {
        return m_grid && m_col < m_grid->ColCount() && m_row < m_grid->RowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_grid);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return m_grid->Cells(m_col, m_row).trimmed();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = m_grid->CellRect(m_col, m_row);
        return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::Role role() const override
    {
        if (m_row < Fixed().second)
            return QAccessible::ColumnHeader;
        if (m_col < Fixed().first)
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.disabled = !m_grid;
        s.invisible = !m_grid || !m_grid->isVisible() || rect().isEmpty();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface && role() == QAccessible::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // Table cell: positions count from the first cell after the fixed row and column.
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return m_col - Fixed().first; }
    int rowIndex() const override { return m_row - Fixed().second; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    // The fixed columns and rows: the headers.
    std::pair<int, int> Fixed() const
    {
        return m_grid ? std::pair{m_grid->FixedCols(), m_grid->FixedRows()} : std::pair{0, 0};
    }

    QPointer<TStringGrid> m_grid;
    int m_col, m_row;
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(TStringGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    ~GridAccessible() override
    {
        for (const auto& [position, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    TStringGrid* Grid() const { return static_cast<TStringGrid*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The grid widget stays disabled (no tab stop, no editing); to a reader it is an enabled,
    // read-only table, which it reads rather than skips.
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.disabled = false;
        return s;
    }

    // The children are the cells, row by row, headers included.
    int childCount() const override { return Grid()->ColCount() * Grid()->RowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return Cell(index % Grid()->ColCount(), index / Grid()->ColCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const auto& [position, id] : m_cells)
            if (QAccessible::accessibleInterface(id) == child) {
                const auto [col, row] = position;
                if (col >= Grid()->ColCount() || row >= Grid()->RowCount())
                    return -1;
                return row * Grid()->ColCount() + col;
            }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
        for (int row = 0; row < Grid()->RowCount(); ++row)
            for (int col = 0; col < Grid()->ColCount(); ++col)
                if (Grid()->CellRect(col, row).contains(local))
                    return Cell(col, row);
        return nullptr;
    }

    // Table: the cells after the fixed row and column; the fixed ones are the headers.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return Cell(column + Grid()->FixedCols(), row + Grid()->FixedRows());
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override
    {
        return Grid()->FixedRows() > 0 ? Grid()->Cells(column + Grid()->FixedCols(), 0).trimmed()
                                       : QString();
    }
    QString rowDescription(int row) const override
    {
        return Grid()->FixedCols() > 0 ? Grid()->Cells(0, row + Grid()->FixedRows()).trimmed()
                                       : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return Grid()->ColCount() - Grid()->FixedCols(); }
    int rowCount() const override { return Grid()->RowCount() - Grid()->FixedRows(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Read-only: nothing is selected through the accessibility tree.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The cells read the grid afresh, so a change of the texts leaves them valid.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // Announces the new text of each cell an assistive technology has asked for: the AT-SPI
    // bridge passes a cell's name change on, where it drops the table's model change.
    void AnnounceCellTexts() const
    {
        for (const auto& [position, id] : m_cells)
            if (QAccessibleInterface* cell = QAccessible::accessibleInterface(id);
                cell && cell->isValid()) {
                QAccessibleEvent changed(cell, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&changed);
            }
    }

    // The interface of a cell, made on first use and kept while the table's interface lives.
    QAccessibleInterface* Cell(int col, int row) const
    {
        const auto found = m_cells.find({col, row});
        if (found != m_cells.end())
            return QAccessible::accessibleInterface(found->second);
        auto* cell = new GridCellAccessible(Grid(), col, row);
        m_cells[{col, row}] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }

private:
    // Cell interfaces made so far, by column and row; Qt's registry owns them until deleted here.
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QList<QAccessibleInterface*> GridCellAccessible::columnHeaderCells() const
{
    auto* table = static_cast<GridAccessible*>(parent());
    if (!table || Fixed().second == 0)
        return {};
    return {table->Cell(m_col, 0)};
}

QList<QAccessibleInterface*> GridCellAccessible::rowHeaderCells() const
{
    auto* table = static_cast<GridAccessible*>(parent());
    if (!table || Fixed().first == 0)
        return {};
    return {table->Cell(0, m_row)};
}

QAccessibleInterface* ControlsFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TExplorerButton"))
        return new ExplorerButtonAccessible(static_cast<TExplorerButton*>(object));
    if (className == QLatin1String("TURLLabel"))
        return new URLLabelAccessible(static_cast<TURLLabel*>(object));
    if (className == QLatin1String("TStringGrid"))
        return new GridAccessible(static_cast<TStringGrid*>(object));
    if (className == QLatin1String("TKeyRoutedEdit"))
        return NewLineEditAccessible(qobject_cast<QLineEdit*>(object));
    if (className == QLatin1String("HelpBrowser"))
        return NewDocumentAccessible(qobject_cast<QTextEdit*>(object));
    if (className == QLatin1String("QWidget") && static_cast<QWidget*>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("TAnnouncement"))
        return new RoleLabelAccessible(static_cast<QLabel*>(object), QAccessible::Notification);
    if (className == QLatin1String("TStatusLine"))
        return new RoleLabelAccessible(static_cast<QLabel*>(object), QAccessible::StatusBar);
    // Asked for a plain frame only: the classes built on it (labels, group boxes and the like)
    // are answered by their own names first.
    if (className == QLatin1String("QFrame") && !static_cast<QWidget*>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void AnnounceGridChange(TStringGrid* grid)
{
    if (!QAccessible::isActive() || grid->property("accessibleChangePending").toBool())
        return;
    grid->setProperty("accessibleChangePending", true);
    QTimer::singleShot(0, grid, [grid] {
        grid->setProperty("accessibleChangePending", false);
        QAccessibleTableModelChangeEvent reset(grid, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
        QAccessibleEvent changed(grid, QAccessible::VisibleDataChanged);
        QAccessible::updateAccessibility(&changed);
        if (auto* table =
                dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid)))
            table->AnnounceCellTexts();
    });
}
