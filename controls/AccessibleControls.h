// What screen readers see of the controls Qt does not know: the explorer button as a push
// button named by its caption or hint, the link label as a link, and the string grid as a read-only
// table whose header row and column are the column and row headers. Read over AT-SPI on Linux.
#pragma once

class TStringGrid;

// Registers the controls' accessibility interfaces with Qt (once; the controls' constructors
// call it).
void InstallAccessibleControls();

// Tells assistive technologies that the grid's texts changed: one announcement for all the
// changes made before control returns to the event loop.
void AnnounceGridChange(TStringGrid* grid);
