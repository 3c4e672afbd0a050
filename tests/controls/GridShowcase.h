// The calculator window's APR grid as that window sets it up, and its toolbar, for the pixel
// tests and the showcase window.
#pragma once

#include "controls/Aligrid.h"
#include "controls/Artwork.h"
#include "controls/ExplBtn.h"

#include <QFont>

namespace showcase {

inline const QColor yellow{255, 255, 0};

// grdAPR: 8 x 12 cells with one fixed column and row, display only, the placeholders of a
// fresh start and the user's own loan marked at column 1, row 6.
inline void ConfigureAprGrid(TStringAlignGrid& grid)
{
    grid.setObjectName("grdAPR");
    grid.SetColCount(8);
    grid.SetRowCount(12);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetDefaultColWidth(75);
    grid.SetDefaultRowHeight(18);
    grid.SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    grid.SetScrollBars(ssNone);
    grid.setFocusPolicy(Qt::NoFocus);
    grid.setEnabled(false);
    QFont font("Arial");
    font.setPixelSize(11);
    grid.Font()->SetFont(font);
    grid.Font()->SetColor(Qt::black);
    grid.SetAlignment(alCenter);
    grid.SetEditable(false);
    grid.SetShowCellHints(false);
    grid.SetSelectedCellColor(yellow);
    grid.SetSelectedFontColor(QColor(255, 0, 0));
    grid.SetNextCellEdit(nc_leftup);
    grid.SetNextCellTab(nc_leftup);
    grid.SetAfterLastCellEdit(lc_stop);
    grid.SetAfterLastCellTab(lc_stop);
    for (int col = 0; col <= 7; ++col)
        grid.SetColWidths(col, 75);

    grid.SetCells(0, 0, "Loan / Fees");
    for (int row = 1; row <= 11; ++row)
        grid.SetCells(0, row, QString("$%1,000").arg(94 + row));
    grid.SetCells(1, 0, "$0");
    for (int col = 2; col <= 7; ++col)
        grid.SetCells(col, 0, QString("$%1,000").arg(col - 1));

    grid.SetSelection({1, 6, 1, 6});
    grid.SetColorCol(1, yellow);
    grid.SetColorRow(6, yellow);
}

// An image-only toolbar button: 25 x 24 with a bevel and a hint.
inline TExplorerButton* ToolbarButton(QWidget* parent, const char* name, const char* image,
                                      const QString& hint, int x)
{
    auto* button = new TExplorerButton(parent);
    button->setObjectName(name);
    button->SetBitmap(LoadArtwork(image));
    button->SetOptions(boIconOnly | boPopupMark | boShowBevel | boShowDownPattern);
    button->SetHint(hint);
    button->SetShowHint(true);
    button->setGeometry(x, 3, 25, 24);
    return button;
}

} // namespace showcase
