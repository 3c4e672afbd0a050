// Sparse override stores of the aligned grid and the lookup of a cell's effective value.
//
// An entry that is missing means "not set at this level". Indices are column or row numbers
// counted from 0, fixed columns and rows included. Stores grow when an entry is set beyond
// their end; reading beyond the end finds nothing and changes nothing.
#pragma once

#include <algorithm>
#include <optional>
#include <vector>

// One entry per column or per row.
template <class T> class TIndexStore {
public:
    // The entry at `index`, or nullptr when none is set there.
    const T* Find(int index) const
    {
        if (index < 0 || index >= Size() || !m_items[index])
            return nullptr;
        return &*m_items[index];
    }
    T* Find(int index)
    {
        return const_cast<T*>(static_cast<const TIndexStore&>(*this).Find(index));
    }

    T& Set(int index, T value)
    {
        Grow(index + 1);
        m_items[index] = std::move(value);
        return *m_items[index];
    }

    void Clear(int index)
    {
        if (index >= 0 && index < Size())
            m_items[index].reset();
    }

    // A new empty entry at `index`; the entries from `index` on move up by one.
    void Insert(int index)
    {
        if (index < 0 || index >= Size())
            return; // nothing stored at or after it, so nothing moves
        m_items.insert(m_items.begin() + index, std::nullopt);
    }

    // The entry at `from` goes to `to`; the entries between shift by one toward `from`.
    void Move(int from, int to)
    {
        if (from == to || from < 0 || to < 0)
            return;
        if (from >= Size() && to >= Size())
            return; // both empty
        Grow(std::max(from, to) + 1);
        if (from < to)
            std::rotate(m_items.begin() + from, m_items.begin() + from + 1,
                        m_items.begin() + to + 1);
        else
            std::rotate(m_items.begin() + to, m_items.begin() + from, m_items.begin() + from + 1);
    }

    int Size() const { return static_cast<int>(m_items.size()); }

private:
    void Grow(int size)
    {
        if (size > Size())
            m_items.resize(size);
    }

    std::vector<std::optional<T>> m_items;
};

// One entry per cell, kept as a list per column holding entries by row.
template <class T> class TCellStore {
public:
    const T* Find(int col, int row) const
    {
        if (col < 0 || col >= static_cast<int>(m_cols.size()))
            return nullptr;
        return m_cols[col].Find(row);
    }
    T* Find(int col, int row)
    {
        return const_cast<T*>(static_cast<const TCellStore&>(*this).Find(col, row));
    }

    T& Set(int col, int row, T value)
    {
        if (col >= static_cast<int>(m_cols.size()))
            m_cols.resize(col + 1);
        return m_cols[col].Set(row, std::move(value));
    }

    void Clear(int col, int row)
    {
        if (col >= 0 && col < static_cast<int>(m_cols.size()))
            m_cols[col].Clear(row);
    }

    void InsertCol(int col)
    {
        if (col >= 0 && col < static_cast<int>(m_cols.size()))
            m_cols.insert(m_cols.begin() + col, TIndexStore<T>());
    }
    void InsertRow(int row)
    {
        for (auto& column : m_cols)
            column.Insert(row);
    }
    void MoveCol(int from, int to)
    {
        if (from == to || from < 0 || to < 0)
            return;
        const int size = static_cast<int>(m_cols.size());
        if (from >= size && to >= size)
            return;
        if (std::max(from, to) >= size)
            m_cols.resize(std::max(from, to) + 1);
        if (from < to)
            std::rotate(m_cols.begin() + from, m_cols.begin() + from + 1, m_cols.begin() + to + 1);
        else
            std::rotate(m_cols.begin() + to, m_cols.begin() + from, m_cols.begin() + from + 1);
    }
    void MoveRow(int from, int to)
    {
        for (auto& column : m_cols)
            column.Move(from, to);
    }

private:
    std::vector<TIndexStore<T>> m_cols;
};

// The five stores of one attribute. Attributes without the fixed split (editability, the
// selected colours) leave the fixed stores empty and are looked up with `split` false.
template <class T> struct TOverrideSet {
    TCellStore<T> cell;
    TIndexStore<T> col;
    TIndexStore<T> row;
    TIndexStore<T> fixedCol;
    TIndexStore<T> fixedRow;

    // The override that applies to (col, row): the cell's, else the column's, else the row's;
    // a fixed cell looks in the fixed stores when `split` is set. nullptr means the default.
    const T* Lookup(int c, int r, bool fixed, bool split = true) const
    {
        if (const T* v = cell.Find(c, r))
            return v;
        const bool useFixed = fixed && split;
        if (const T* v = (useFixed ? fixedCol : col).Find(c))
            return v;
        return (useFixed ? fixedRow : row).Find(r);
    }

    void InsertCol(int c)
    {
        cell.InsertCol(c);
        col.Insert(c);
        fixedCol.Insert(c);
    }
    void InsertRow(int r)
    {
        cell.InsertRow(r);
        row.Insert(r);
        fixedRow.Insert(r);
    }
    void MoveCol(int from, int to)
    {
        cell.MoveCol(from, to);
        col.Move(from, to);
        fixedCol.Move(from, to);
    }
    void MoveRow(int from, int to)
    {
        cell.MoveRow(from, to);
        row.Move(from, to);
        fixedRow.Move(from, to);
    }
};
