// The images the flat button derives from its bitmap: the grey form, the one-colour silhouette
// of the disabled look, and the shared pattern of a button that is down.
#pragma once

#include "controls/ExplBtnTypes.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

// Each pixel except those of the colour at (0, 0) becomes, from the sum R + G + B, white,
// `highlight`, `shadow` or black by the thresholds of `shading`.
QImage MakeGreyImage(const QImage& bitmap, TExplorerButtonShadingType shading,
                     const QColor& highlight, const QColor& shadow);
// Every pixel that is not of the transparent colour (the pixel at (0, 0)) in `color`, the others
// see-through: the layers of the embossed, disabled form.
QImage SilhouetteImage(const QImage& source, const QColor& color);
// The 8 x 8 pattern of a button that is down (button face, with highlight where x and y are
// both even or both odd), shared by all buttons and made on first use.
const QPixmap& DownPattern();
// Drops the shared pattern, so that the next use picks up a changed theme.
void ResetDownPattern();
