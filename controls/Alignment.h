// The horizontal alignment of a control's text or content, shared by the controls.
#pragma once

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
