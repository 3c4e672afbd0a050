// The application-wide mouse cursor: one override cursor of our own, set and changed in place,
// never stacked; the default removes only ours.
#pragma once

enum class TCursor { crDefault, crHourGlass, crHandPoint };

namespace Screen {
void SetCursor(TCursor cursor);
TCursor Cursor();
} // namespace Screen
