// TStringAlignGrid: a text grid whose alignment, editability, font, brush, selected colours and
// hint can be set per cell, per column and per row (with separate column and row settings for
// the fixed area) in front of a grid-wide default. It draws the cell text itself: lines break at
// CR or CR LF and each line is aligned on its own, 2 pixels inside the cell.
//
// Columns and rows are counted from 0, fixed ones included; sizes are in pixels.
#pragma once

#include "controls/GridNavigation.h"
#include "controls/GridOverrideStore.h"
#include "controls/MyBrush.h"
#include "controls/MyFont.h"
#include "controls/StringGrid.h"

#include <memory>
#include <optional>

enum TMyAlign { alRight, alLeft, alCenter };

// The result of comparing two rows (or columns) when sorting.
enum t_relation { rel_less, rel_equal, rel_greater };

class TStringAlignGrid : public TStringGrid {
    Q_OBJECT

public:
    // Private window messages the grid posts to itself so that the edit events run after the
    // editor's own key handling.
    static constexpr int WM_BEFOREEDIT = 3024;
    static constexpr int WM_AFTEREDIT = 3025;
    static constexpr int WM_CANCELEDIT = 3026;
    static constexpr int WM_REOPENEDIT = 3027;
    static constexpr int WM_EDITNEXTCELL = 3028;

    explicit TStringAlignGrid(QWidget* parent = nullptr);
    ~TStringAlignGrid() override;

    // Grid-wide defaults.
    TMyAlign Alignment() const { return m_alignment; }
    void SetAlignment(TMyAlign align);
    bool Editable() const { return m_editable; }
    void SetEditable(bool on) { m_editable = on; }
    void SetColor(const QColor& color) override;      // the grid's Brush follows it
    void SetFixedColor(const QColor& color) override; // the fixed brush follows it
    bool ShowCellHints() const { return m_showCellHints; }
    void SetShowCellHints(bool on) { m_showCellHints = on; }
    QColor SelectedCellColor() const { return m_selectedCellColor; }
    void SetSelectedCellColor(const QColor& color);
    QColor SelectedFontColor() const { return m_selectedFontColor; }
    void SetSelectedFontColor(const QColor& color);
    bool DrawSelection() const { return m_drawSelection; }
    void SetDrawSelection(bool on);
    bool AutoEditNextCell() const { return m_autoEditNextCell; }
    void SetAutoEditNextCell(bool on) { m_autoEditNextCell = on; }
    T_nextcell NextCellEdit() const { return m_nextCellEdit; }
    void SetNextCellEdit(T_nextcell dir) { m_nextCellEdit = dir; }
    T_nextcell NextCellTab() const { return m_nextCellTab; }
    void SetNextCellTab(T_nextcell dir) { m_nextCellTab = dir; }
    t_lastcell AfterLastCellEdit() const { return m_afterLastCellEdit; }
    void SetAfterLastCellEdit(t_lastcell rule) { m_afterLastCellEdit = rule; }
    t_lastcell AfterLastCellTab() const { return m_afterLastCellTab; }
    void SetAfterLastCellTab(t_lastcell rule) { m_afterLastCellTab = rule; }

    // The grid's font (with its text colour), its brush and the brush of fixed cells. Changing
    // any of them repaints the grid.
    TMyFont* Font() { return &m_font; }
    TMyBrush* Brush() { return &m_brush; }
    TMyBrush* FixedBrush() { return &m_fixedBrush; }

    // Alignment overrides; an empty optional means "not set at this level".
    void SetAlignCell(int col, int row, TMyAlign align);
    void SetAlignCol(int col, TMyAlign align);
    void SetAlignRow(int row, TMyAlign align);
    void SetFixedAlignCol(int col, TMyAlign align);
    void SetFixedAlignRow(int row, TMyAlign align);
    std::optional<TMyAlign> AlignCell(int col, int row) const;
    std::optional<TMyAlign> AlignCol(int col) const;
    std::optional<TMyAlign> AlignRow(int row) const;
    std::optional<TMyAlign> FixedAlignCol(int col) const;
    std::optional<TMyAlign> FixedAlignRow(int row) const;

    // Editability overrides.
    void SetEditCell(int col, int row, bool on);
    void SetEditCol(int col, bool on);
    void SetEditRow(int row, bool on);
    std::optional<bool> EditCell(int col, int row) const;
    std::optional<bool> EditCol(int col) const;
    std::optional<bool> EditRow(int row) const;

    // Font and brush overrides, created on first demand as copies of the grid's font (brush)
    // and owned by the grid. Later demands return the same object.
    TMyFont* FontCell(int col, int row);
    TMyFont* FontCol(int col);
    TMyFont* FontRow(int row);
    TMyFont* FontFixedCol(int col);
    TMyFont* FontFixedRow(int row);
    TMyBrush* BrushCell(int col, int row);
    TMyBrush* BrushCol(int col);
    TMyBrush* BrushRow(int row);
    TMyBrush* BrushFixedCol(int col);
    TMyBrush* BrushFixedRow(int row);

    // Colours are those of the brush overrides: setting one creates the override if needed;
    // reading one without an override gives the grid's brush colour and creates nothing.
    void SetColorCell(int col, int row, const QColor& color);
    void SetColorCol(int col, const QColor& color);
    void SetColorRow(int row, const QColor& color);
    void SetColorFixedCol(int col, const QColor& color);
    void SetColorFixedRow(int row, const QColor& color);
    QColor ColorCell(int col, int row) const;
    QColor ColorCol(int col) const;
    QColor ColorRow(int row) const;
    QColor ColorFixedCol(int col) const;
    QColor ColorFixedRow(int row) const;

    // Colours of the selected state.
    void SetSelectedColorCell(int col, int row, const QColor& color);
    void SetSelectedColorCol(int col, const QColor& color);
    void SetSelectedColorRow(int row, const QColor& color);
    void SetSelectedFontColorCell(int col, int row, const QColor& color);
    void SetSelectedFontColorCol(int col, const QColor& color);
    void SetSelectedFontColorRow(int row, const QColor& color);

    // The hint shown for one cell while ShowCellHints is on; empty means no hint.
    void SetHintCell(int col, int row, const QString& hint);
    QString HintCell(int col, int row) const;

    // Effective values: cell, then column, then row, then the grid default; fixed cells look
    // only in the fixed column and row stores (alignment, font, brush).
    TMyAlign GetCellAlign(int col, int row) const;
    bool GetCellEditable(int col, int row) const;
    const TMyFont* GetCellFont(int col, int row) const;
    const TMyBrush* GetCellBrush(int col, int row) const;
    QColor GetCellSelectedColor(int col, int row) const;
    QColor GetCellSelectedFontColor(int col, int row) const;
    bool IsFixed(int col, int row) const { return col < FixedCols() || row < FixedRows(); }

    // An empty column (row) at `index`; an index inside the fixed area becomes the first
    // ordinary one. Later columns (rows) and their overrides move up by one.
    void InsertCol(int col);
    void InsertRow(int row);

    // Sorts the ordinary rows by the texts of column `col` (or the ordinary columns by row
    // `row`), in the order OnCompareRow (OnCompareCol) gives, text order by default. Overrides
    // move with their rows (columns).
    void SortRows(int col, bool ascending = true);
    void SortColumns(int row, bool ascending = true);

signals:
    // How line `compare1` relates to line `compare2` by the texts of column (row) `colrow`;
    // `result` comes preset to their text order and a receiver may change it.
    void OnCompareRow(TStringAlignGrid* sender, int colrow, int compare1, int compare2,
                      t_relation& result);
    void OnCompareCol(TStringAlignGrid* sender, int colrow, int compare1, int compare2,
                      t_relation& result);
    void OnBeforeEdit(TStringAlignGrid* sender, int col, int row);
    void OnAfterEdit(TStringAlignGrid* sender, int col, int row);
    void OnCancelEdit(TStringAlignGrid* sender, int col, int row);
    void OnColWidthsChanged();
    void OnRowHeightsChanged();

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                  TGridDrawState state) override;
    bool CanEditShow() const override;
    QLineEdit* CreateEditor() override;
    void UpdateEditor(QLineEdit* editor) override;
    void EditorShown() override;
    void EditorAccepted() override;
    void EditorCancelled() override;
    void EditorFocusLost() override;
    void TabPressed(bool backward) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    using FontPtr = std::unique_ptr<TMyFont>;
    using BrushPtr = std::unique_ptr<TMyBrush>;

    TMyFont* DemandFont(TIndexStore<FontPtr>& store, int index);
    TMyBrush* DemandBrush(TIndexStore<BrushPtr>& store, int index);
    FontPtr NewFont();
    BrushPtr NewBrush();
    void PostEditEvent(int msg, int col, int row);
    // Moves the current cell one step for the Tab key or automatic editing.
    void StepToNextCell(T_nextcell dir, t_lastcell rule, bool editableOnly);
    void SortLines(bool rows, int key, bool ascending);

    TMyAlign m_alignment = alLeft;
    bool m_editable = true;
    bool m_showCellHints = true;
    QColor m_selectedCellColor;
    QColor m_selectedFontColor = Qt::white;
    bool m_drawSelection = true;
    bool m_autoEditNextCell = false;
    T_nextcell m_nextCellEdit = nc_rightdown;
    T_nextcell m_nextCellTab = nc_rightdown;
    t_lastcell m_afterLastCellEdit = lc_newcolrow;
    t_lastcell m_afterLastCellTab = lc_first;

    TMyFont m_font;
    TMyBrush m_brush;
    TMyBrush m_fixedBrush;

    TOverrideSet<TMyAlign> m_align;
    TOverrideSet<bool> m_edit;
    TOverrideSet<FontPtr> m_fonts;
    TOverrideSet<BrushPtr> m_brushes;
    TOverrideSet<QColor> m_selectedColor;
    TOverrideSet<QColor> m_selectedFont;
    TCellStore<QString> m_hints;

    // The editor's selection when the grid lost the focus, restored when it reopens.
    int m_reopenSelStart = -1;
    int m_reopenSelLength = 0;
    TGridCoord m_hintCell;
};
