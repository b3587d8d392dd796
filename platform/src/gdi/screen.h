// The screen as the drawing layer knows it: the display DC's size and the device caps. The
// drawing layer has no display of its own; the library's start-up gives it the backend's screen.
#pragma once

#include "windef.h"

namespace plat::gdi {

using ScreenRectSource = RECT (*)();
void SetScreenRectSource(ScreenRectSource source);
// The screen's rectangle; 1024x768 until a source is set.
RECT ScreenRect();

}  // namespace plat::gdi
