// Window shapes on X11: a top-level window with a window region shows only inside it, as the
// window system promises (skinned frames with rounded corners, shaped popups).
#pragma once

#include <vector>

struct SDL_Window;

namespace plat::sdl {

struct ShapeRect {
    int left, top, right, bottom;
};

// Sets the window's shape to the union of `rects` (window coordinates, y-x banded), or back to
// the whole window when `rects` is null. False where shapes are not available (not X11, or
// no shape extension library); the window then stays rectangular.
bool SetX11WindowShape(SDL_Window* window, const std::vector<ShapeRect>* rects);

}  // namespace plat::sdl
