// The application-wide mouse cursor: one override cursor that is set, never stacked.
#pragma once

enum class TCursor { crDefault, crHourGlass, crHandPoint };

namespace Screen {
void SetCursor(TCursor cursor);
TCursor Cursor();
} // namespace Screen
