// The flat button's enumerations and options, apart from the widget so that its layout can be
// calculated (and tested) without one.
#pragma once

#include "controls/Alignment.h"

#include <QFlags>

enum TExplorerButtonLayout { blBitmapTop, blBitmapBottom, blBitmapLeft, blBitmapRight };

enum TExplorerButtonOption {
    boMonoDisplay = 0x01,
    boIconOnly = 0x02,
    boPopupMark = 0x04,
    boShowBevel = 0x08,
    boShowDownPattern = 0x10,
    boTransparent = 0x20,
    boWordWrap = 0x40,
    boNoDepress = 0x80,
};
Q_DECLARE_FLAGS(TExplorerButtonOptions, TExplorerButtonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TExplorerButtonOptions)

enum TExplorerButtonShadingType { stLight, stMedium, stDark };
enum TExplorerButtonDropDownStyle { ddsIExplorer, ddsOffice };
enum TExplorerButtonButtonSize { bsCustom, bsSmall, bsLarge };
enum TBevelStyle { bsLowered, bsRaised };

// Width of the arrow part of a ddsOffice button, at its right edge.
constexpr int ExplorerButtonArrowWidth = 11;
