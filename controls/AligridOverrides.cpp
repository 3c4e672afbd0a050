// The aligned grid's overrides: setting and reading alignment, editability, fonts, brushes,
// selected colours and hints per cell, column and row, and the effective value of each for a
// cell (the lookup order lives in GridOverrideStore.h).
#include "controls/Aligrid.h"

// --- Alignment and editability -------------------------------------------------------------

void TStringAlignGrid::SetAlignCell(int col, int row, TMyAlign align)
{
    m_align.cell.Set(col, row, align);
    InvalidateCell(col, row);
}
void TStringAlignGrid::SetAlignCol(int col, TMyAlign align)
{
    m_align.col.Set(col, align);
    InvalidateGrid();
}
void TStringAlignGrid::SetAlignRow(int row, TMyAlign align)
{
    m_align.row.Set(row, align);
    InvalidateGrid();
}
void TStringAlignGrid::SetFixedAlignCol(int col, TMyAlign align)
{
    m_align.fixedCol.Set(col, align);
    InvalidateGrid();
}
void TStringAlignGrid::SetFixedAlignRow(int row, TMyAlign align)
{
    m_align.fixedRow.Set(row, align);
    InvalidateGrid();
}

namespace {
template <class T> std::optional<T> Optional(const T* value)
{
    return value ? std::optional<T>(*value) : std::nullopt;
}
} // namespace

std::optional<TMyAlign> TStringAlignGrid::AlignCell(int col, int row) const
{
    return Optional(m_align.cell.Find(col, row));
}
std::optional<TMyAlign> TStringAlignGrid::AlignCol(int col) const
{
    return Optional(m_align.col.Find(col));
}
std::optional<TMyAlign> TStringAlignGrid::AlignRow(int row) const
{
    return Optional(m_align.row.Find(row));
}
std::optional<TMyAlign> TStringAlignGrid::FixedAlignCol(int col) const
{
    return Optional(m_align.fixedCol.Find(col));
}
std::optional<TMyAlign> TStringAlignGrid::FixedAlignRow(int row) const
{
    return Optional(m_align.fixedRow.Find(row));
}

void TStringAlignGrid::SetEditCell(int col, int row, bool on)
{
    m_edit.cell.Set(col, row, on);
}
void TStringAlignGrid::SetEditCol(int col, bool on)
{
    m_edit.col.Set(col, on);
}
void TStringAlignGrid::SetEditRow(int row, bool on)
{
    m_edit.row.Set(row, on);
}
std::optional<bool> TStringAlignGrid::EditCell(int col, int row) const
{
    return Optional(m_edit.cell.Find(col, row));
}
std::optional<bool> TStringAlignGrid::EditCol(int col) const
{
    return Optional(m_edit.col.Find(col));
}
std::optional<bool> TStringAlignGrid::EditRow(int row) const
{
    return Optional(m_edit.row.Find(row));
}

// --- Fonts and brushes -------------------------------------------------------------------------

TStringAlignGrid::FontPtr TStringAlignGrid::NewFont()
{
    auto font = std::make_unique<TMyFont>(m_font.Font(), m_font.Color());
    connect(font.get(), &TMyFont::OnChange, this, &TStringAlignGrid::InvalidateGrid);
    return font;
}

TStringAlignGrid::BrushPtr TStringAlignGrid::NewBrush()
{
    // A copy of the grid's brush, so the override starts with the grid's colour and style.
    auto brush = std::make_unique<TMyBrush>(m_brush.Color(), m_brush.Style());
    connect(brush.get(), &TMyBrush::OnChange, this, &TStringAlignGrid::InvalidateGrid);
    return brush;
}

TMyFont* TStringAlignGrid::DemandFont(TIndexStore<FontPtr>& store, int index)
{
    if (index < 0)
        return nullptr;
    if (FontPtr* found = store.Find(index))
        return found->get();
    return store.Set(index, NewFont()).get();
}

TMyBrush* TStringAlignGrid::DemandBrush(TIndexStore<BrushPtr>& store, int index)
{
    if (index < 0)
        return nullptr;
    if (BrushPtr* found = store.Find(index))
        return found->get();
    return store.Set(index, NewBrush()).get();
}

TMyFont* TStringAlignGrid::FontCell(int col, int row)
{
    if (col < 0 || row < 0)
        return nullptr;
    if (FontPtr* found = m_fonts.cell.Find(col, row))
        return found->get();
    return m_fonts.cell.Set(col, row, NewFont()).get();
}
TMyFont* TStringAlignGrid::FontCol(int col)
{
    return DemandFont(m_fonts.col, col);
}
TMyFont* TStringAlignGrid::FontRow(int row)
{
    return DemandFont(m_fonts.row, row);
}
TMyFont* TStringAlignGrid::FontFixedCol(int col)
{
    return DemandFont(m_fonts.fixedCol, col);
}
TMyFont* TStringAlignGrid::FontFixedRow(int row)
{
    return DemandFont(m_fonts.fixedRow, row);
}

TMyBrush* TStringAlignGrid::BrushCell(int col, int row)
{
    if (col < 0 || row < 0)
        return nullptr;
    if (BrushPtr* found = m_brushes.cell.Find(col, row))
        return found->get();
    return m_brushes.cell.Set(col, row, NewBrush()).get();
}
TMyBrush* TStringAlignGrid::BrushCol(int col)
{
    return DemandBrush(m_brushes.col, col);
}
TMyBrush* TStringAlignGrid::BrushRow(int row)
{
    return DemandBrush(m_brushes.row, row);
}
TMyBrush* TStringAlignGrid::BrushFixedCol(int col)
{
    return DemandBrush(m_brushes.fixedCol, col);
}
TMyBrush* TStringAlignGrid::BrushFixedRow(int row)
{
    return DemandBrush(m_brushes.fixedRow, row);
}

namespace {
// Setting the colour repaints through the brush's change notification.
void SetBrushColor(TMyBrush* brush, const QColor& color)
{
    if (brush)
        brush->SetColor(color);
}
} // namespace

void TStringAlignGrid::SetColorCell(int col, int row, const QColor& color)
{
    SetBrushColor(BrushCell(col, row), color);
}
void TStringAlignGrid::SetColorCol(int col, const QColor& color)
{
    SetBrushColor(BrushCol(col), color);
}
void TStringAlignGrid::SetColorRow(int row, const QColor& color)
{
    SetBrushColor(BrushRow(row), color);
}
void TStringAlignGrid::SetColorFixedCol(int col, const QColor& color)
{
    SetBrushColor(BrushFixedCol(col), color);
}
void TStringAlignGrid::SetColorFixedRow(int row, const QColor& color)
{
    SetBrushColor(BrushFixedRow(row), color);
}

QColor TStringAlignGrid::ColorCell(int col, int row) const
{
    const BrushPtr* b = m_brushes.cell.Find(col, row);
    return b ? (*b)->Color() : m_brush.Color();
}
QColor TStringAlignGrid::ColorCol(int col) const
{
    const BrushPtr* b = m_brushes.col.Find(col);
    return b ? (*b)->Color() : m_brush.Color();
}
QColor TStringAlignGrid::ColorRow(int row) const
{
    const BrushPtr* b = m_brushes.row.Find(row);
    return b ? (*b)->Color() : m_brush.Color();
}
QColor TStringAlignGrid::ColorFixedCol(int col) const
{
    const BrushPtr* b = m_brushes.fixedCol.Find(col);
    return b ? (*b)->Color() : m_brush.Color();
}
QColor TStringAlignGrid::ColorFixedRow(int row) const
{
    const BrushPtr* b = m_brushes.fixedRow.Find(row);
    return b ? (*b)->Color() : m_brush.Color();
}

// --- Selected colours and hints ------------------------------------------------------------

void TStringAlignGrid::SetSelectedColorCell(int col, int row, const QColor& color)
{
    m_selectedColor.cell.Set(col, row, color);
    InvalidateGrid();
}
void TStringAlignGrid::SetSelectedColorCol(int col, const QColor& color)
{
    m_selectedColor.col.Set(col, color);
    InvalidateGrid();
}
void TStringAlignGrid::SetSelectedColorRow(int row, const QColor& color)
{
    m_selectedColor.row.Set(row, color);
    InvalidateGrid();
}
void TStringAlignGrid::SetSelectedFontColorCell(int col, int row, const QColor& color)
{
    m_selectedFont.cell.Set(col, row, color);
    InvalidateGrid();
}
void TStringAlignGrid::SetSelectedFontColorCol(int col, const QColor& color)
{
    m_selectedFont.col.Set(col, color);
    InvalidateGrid();
}
void TStringAlignGrid::SetSelectedFontColorRow(int row, const QColor& color)
{
    m_selectedFont.row.Set(row, color);
    InvalidateGrid();
}

void TStringAlignGrid::SetHintCell(int col, int row, const QString& hint)
{
    if (col >= 0 && row >= 0)
        m_hints.Set(col, row, hint);
}

QString TStringAlignGrid::HintCell(int col, int row) const
{
    const QString* hint = m_hints.Find(col, row);
    return hint ? *hint : QString();
}

// --- Effective values ----------------------------------------------------------------------

TMyAlign TStringAlignGrid::GetCellAlign(int col, int row) const
{
    const TMyAlign* v = m_align.Lookup(col, row, IsFixed(col, row));
    return v ? *v : m_alignment;
}

bool TStringAlignGrid::GetCellEditable(int col, int row) const
{
    const bool* v = m_edit.Lookup(col, row, IsFixed(col, row), false);
    return v ? *v : m_editable;
}

const TMyFont* TStringAlignGrid::GetCellFont(int col, int row) const
{
    const FontPtr* v = m_fonts.Lookup(col, row, IsFixed(col, row));
    return v ? v->get() : &m_font;
}

const TMyBrush* TStringAlignGrid::GetCellBrush(int col, int row) const
{
    const bool fixed = IsFixed(col, row);
    const BrushPtr* v = m_brushes.Lookup(col, row, fixed);
    if (v)
        return v->get();
    return fixed ? &m_fixedBrush : &m_brush;
}

QColor TStringAlignGrid::GetCellSelectedColor(int col, int row) const
{
    const QColor* v = m_selectedColor.Lookup(col, row, IsFixed(col, row), false);
    return v ? *v : m_selectedCellColor;
}

QColor TStringAlignGrid::GetCellSelectedFontColor(int col, int row) const
{
    const QColor* v = m_selectedFont.Lookup(col, row, IsFixed(col, row), false);
    return v ? *v : m_selectedFontColor;
}
