// Where the bands of a report go: the page geometry, the current position and the decisions
// when a band needs a new column or a new page. No painting; every value is in report units
// (1/96 inch). Pages and columns are numbered from 1.
#pragma once

#include <QPoint>
#include <QSize>

struct TQRPageGeometry {
    int PageWidth = 0;
    int PageHeight = 0;
    int LeftMargin = 0;  // x of the first column
    int ColumnWidth = 0; // width of each newspaper column
    int ColumnGap = 0;   // space between columns
    int Columns = 1;
    int FooterHeight = 0; // the page footers' heights together

    // Left margin = inches x 96, rounded; column width = (page width - left margin - gap x
    // (columns - 1)) / columns, rounded.
    static TQRPageGeometry For(QSize page, double leftMarginInches, double columnMarginInches,
                               int columns, int footerHeight);
};

class TQRLayout {
public:
    enum class TMove { Stay, NextColumn, NewPage };

    explicit TQRLayout(const TQRPageGeometry& geometry);

    const TQRPageGeometry& Geometry() const { return m_geometry; }
    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Page() const { return m_page; }
    int Column() const { return m_column; }
    bool PrintedOnPage() const { return m_printed; }
    // The lowest y a band may reach: the top of the page footers.
    int Room() const { return m_geometry.PageHeight - m_geometry.FooterHeight; }
    // Where the page footers start.
    QPoint FooterOrigin() const { return {m_geometry.LeftMargin, Room()}; }

    // What must happen before a band of `height` (other than a page header, page footer or
    // overlay) prints: it goes on when it ends above the footers (y + height < room) and no
    // forced new page is due; otherwise the next column, or on the last column a new page.
    // The band is then placed without asking again, so a band taller than a page still prints.
    TMove MoveFor(int height, bool forceNewPage) const;

    // The next column: x moves right by a column and the gap, y goes back to the column top.
    void ToNextColumn();
    // A new page: page + 1, column 1 at the left margin, y = 0, nothing printed yet.
    void ToNewPage();
    // The current y is where the columns of this page start (below the page header).
    void MarkColumnTop() { m_columnTop = m_y; }
    void Advance(int height) { m_y += height; }
    void SetY(int y) { m_y = y; }
    void MarkPrinted() { m_printed = true; }

private:
    TQRPageGeometry m_geometry;
    int m_x = 0;
    int m_y = 0;
    int m_columnTop = 0;
    int m_page = 1;
    int m_column = 1;
    bool m_printed = false;
};
