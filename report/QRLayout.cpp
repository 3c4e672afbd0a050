#include "report/QRLayout.h"

#include <algorithm>
#include <cmath>

TQRPageGeometry TQRPageGeometry::For(QSize page, double leftMarginInches, double columnMarginInches,
                                     int columns, int footerHeight)
{
    TQRPageGeometry g;
    g.PageWidth = page.width();
    g.PageHeight = page.height();
    g.Columns = std::max(1, columns);
    g.LeftMargin = static_cast<int>(std::lround(leftMarginInches * 96.0));
    g.ColumnGap = static_cast<int>(std::lround(columnMarginInches * 96.0));
    const int usable = g.PageWidth - g.LeftMargin;
    g.ColumnWidth = static_cast<int>(
        std::lround(static_cast<double>(usable - g.ColumnGap * (g.Columns - 1)) / g.Columns));
    g.FooterHeight = footerHeight;
    return g;
}

TQRLayout::TQRLayout(const TQRPageGeometry& geometry)
    : m_geometry(geometry), m_x(geometry.LeftMargin)
{
}

TQRLayout::TMove TQRLayout::MoveFor(int height, bool forceNewPage) const
{
    if (m_y + height < Room() && !(forceNewPage && m_printed))
        return TMove::Stay;
    return m_column < m_geometry.Columns ? TMove::NextColumn : TMove::NewPage;
}

void TQRLayout::ToNextColumn()
{
    m_x += m_geometry.ColumnWidth + m_geometry.ColumnGap;
    m_y = m_columnTop;
    ++m_column;
}

void TQRLayout::ToNewPage()
{
    ++m_page;
    m_x = m_geometry.LeftMargin;
    m_y = 0;
    m_columnTop = 0;
    m_column = 1;
    m_printed = false;
}
