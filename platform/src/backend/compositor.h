// Puts the top-level windows' surfaces together into one picture of the screen, as a desktop
// compositor would: bottom to top, clipped to window regions, with layered-window alpha and
// colour keys.
#pragma once

#include <vector>

#include "backend/backend.h"

namespace plat {

// The desktop behind all windows.
constexpr uint32_t kDesktopPixel = 0xFF3A6EA5;

// Draws `views` (bottom first) onto `screen`, whose (0,0) is screen point `origin`. Window
// surfaces are opaque unless layered; the result is fully opaque.
void Composite(const std::vector<TopLevelView>& views, Surface& screen, POINT origin = {0, 0},
               uint32_t background = kDesktopPixel);

// The part of `src` inside `r` (clipped to the surface; empty if they do not meet).
Surface Crop(const Surface& src, const RECT& r);

}  // namespace plat
