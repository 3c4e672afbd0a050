// A grid of text cells with fixed (header) columns and rows at the top and left: scrolling by
// whole cells, column widths and row heights, mouse and keyboard selection, sizing columns and
// rows with the mouse, grid lines with the 3-D look of fixed cells, and an in-place editor.
//
// Columns and rows are counted from 0, fixed ones included; sizes are in pixels.
#pragma once

#include "controls/GridGeometry.h"
#include "controls/GridTypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <vector>

class QLineEdit;

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    int ColCount() const { return m_geo.ColCount(); }
    void SetColCount(int count);
    int RowCount() const { return m_geo.RowCount(); }
    void SetRowCount(int count);
    int FixedCols() const { return m_geo.FixedCols(); }
    void SetFixedCols(int count);
    int FixedRows() const { return m_geo.FixedRows(); }
    void SetFixedRows(int count);

    // Setting a default size gives every column (row) that size.
    int DefaultColWidth() const { return m_geo.DefaultColWidth(); }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return m_geo.DefaultRowHeight(); }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const { return m_geo.ColWidth(col); }
    void SetColWidths(int col, int width);
    int RowHeights(int row) const { return m_geo.RowHeight(row); }
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return m_geo.GridLineWidth(); }
    void SetGridLineWidth(int width);

    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions options);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle style);
    // Background of ordinary cells (the window colour) and of fixed cells (button face).
    QColor Color() const { return m_color; }
    virtual void SetColor(const QColor& color);
    QColor FixedColor() const { return m_fixedColor; }
    virtual void SetFixedColor(const QColor& color);
    // With default drawing off, cells are left to OnDrawCell.
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool on);
    // Columns whose tab stop is off are stepped over by the Tab key.
    bool TabStops(int col) const;
    void SetTabStops(int col, bool on);

    // The current cell.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    void SetCol(int col) { FocusCell(col, m_row, true); }
    void SetRow(int row) { FocusCell(m_col, row, true); }
    // The selected rectangle; setting it makes its bottom-right cell the current cell.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& selection);
    // The first ordinary column and row on screen.
    int LeftCol() const { return m_geo.LeftCol(); }
    void SetLeftCol(int col);
    int TopRow() const { return m_geo.TopRow(); }
    void SetTopRow(int row);

    // The text of a cell; a cell outside the grid reads as empty and writing it is ignored.
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);

    // The cell's rectangle on the viewport, without its grid lines; empty when not on screen.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point, or {-1, -1}.
    TGridCoord MouseCoord(const QPoint& pos) const { return m_geo.MouseCoord(pos); }

    // The column (row) at `from` goes to `to`; those between shift by one toward `from`.
    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);

    bool EditorMode() const;
    void SetEditorMode(bool on);
    QLineEdit* InplaceEditor() const { return m_editor; }

signals:
    // A cell was drawn (after the default drawing when that is on); a receiver may paint over
    // it with `painter`, whose state is restored afterwards.
    void OnDrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state);

protected:
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                          TGridDrawState state);
    // Whether the editor may open on the current cell.
    virtual bool CanEditShow() const;
    virtual QLineEdit* CreateEditor();
    // Gives the editor the look of the current cell before it is shown.
    virtual void UpdateEditor(QLineEdit* editor);
    virtual void EditorShown() {}
    // Enter in the editor: the edit is kept and the editor closes.
    virtual void EditorAccepted();
    // Escape in the editor: the text the cell had when the edit began comes back.
    virtual void EditorCancelled();
    // The focus left the grid during an edit: the edit is kept.
    virtual void EditorFocusLost();
    // Tab or Shift+Tab; the base moves one column right or left, wrapping into the next row.
    virtual void TabPressed(bool backward);
    virtual void ColumnMoved(int from, int to);
    virtual void RowMoved(int from, int to);
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    // A selection change is about to make (col, row) current; false refuses it.
    virtual bool SelectCell(int col, int row);

    // Makes (col, row) current; `moveAnchor` false extends the selection (range select).
    void FocusCell(int col, int row, bool moveAnchor);
    // An empty column (row) at `index`, later ones move up by one.
    virtual void InsertColumnAt(int col);
    virtual void InsertRowAt(int row);
    void ShowEditor();
    void HideEditor();
    QString EditOriginalText() const { return m_editOriginal; }
    void InvalidateGrid();
    void InvalidateCell(int col, int row);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Resize(int cols, int rows);
    QSize ViewSize() const;
    void ScrollToCurrent();
    void UpdateScrollBars();
    TGridSizingLine SizingLine(const QPoint& pos) const;

    TGridGeometry m_geo;
    std::vector<bool> m_tabStops;
    std::vector<std::vector<QString>> m_cells; // by column, then row
    TGridOptions m_options =
        goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle m_scrollBars = ssBoth;
    QColor m_color;
    QColor m_fixedColor;
    bool m_defaultDrawing = true;

    int m_col = 1;
    int m_row = 1;
    int m_anchorCol = 1;
    int m_anchorRow = 1;

    bool m_selecting = false;
    int m_sizingIndex = -1; // column or row being sized with the mouse
    bool m_sizingColumn = false;
    int m_sizingStart = 0;
    int m_sizingOriginal = 0;
    int m_movingIndex = -1; // column or row being dragged to a new place
    bool m_movingColumn = false;

    QLineEdit* m_editor = nullptr;
    bool m_editing = false;
    int m_editCol = -1;
    int m_editRow = -1;
    QString m_editOriginal;
};
