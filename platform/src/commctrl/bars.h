// What the tool bar, the status bar and the rebar share: placing themselves along an edge of
// their parent as their CCS_* styles say.
#pragma once

#include "windows.h"

namespace plat::commctrl {

// Edge a bar sits on when its style names none (CCS_TOP or CCS_BOTTOM).
enum class BarEdge { Top, Bottom };

// Moves and sizes the bar to span its parent's client area along its edge at `thickness`
// pixels; CCS_NORESIZE keeps the size, CCS_NOPARENTALIGN the place, CCS_NOMOVEY the height
// offset. Vertical bars (CCS_VERT) span the parent's height instead.
void AlignBar(HWND bar, int thickness, BarEdge default_edge);

}  // namespace plat::commctrl
