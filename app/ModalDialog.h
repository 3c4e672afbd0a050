// Showing the per-command dialogs (about box, disclaimer, update centre, loan summary).
#pragma once

#include <QDialog>
#include <memory>

// Shows a dialog made for this one showing: `caller` is repainted first so that it is whole
// behind the dialog, the dialog is centred on the screen (whatever the caller's position),
// shown modally and destroyed when it closes, also when an error leaves it; a dialog whose
// parent is deleted while it shows goes with the parent.
void ShowModalDialog(QWidget* caller, std::unique_ptr<QDialog> dialog);

// Places `window` in the middle of the available area of the screen that shows `caller` (or
// of the primary screen).
void CentreOnScreen(QWidget* window, const QWidget* caller);
