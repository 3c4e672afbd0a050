// "MS Sans Serif", the small dialogs' font. The name is kept in the fonts the dialogs are given;
// a substitution maps it to an installed sans-serif face.
#pragma once

#include <QFont>

// "MS Sans Serif" at a character height of `pixelSize` pixels.
QFont DialogFont(int pixelSize, bool bold = false);
