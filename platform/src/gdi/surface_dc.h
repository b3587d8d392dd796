// What the window system asks of the drawing layer: device contexts over a window's surface.
#pragma once

#include <memory>

#include "core/surface.h"
#include "gdi/region.h"
#include "windef.h"

namespace plat::gdi {

// A DC drawing into `surface`. `origin` is where the DC's (0,0) lies in surface pixels;
// `visible` (surface coordinates, null for the whole surface) limits every drawing, below any
// clip region the program selects. `hwnd` is what WindowFromDC answers.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region* visible, HWND hwnd);
// Frees a DC made by CreateSurfaceDC; false for any other handle.
bool ReleaseSurfaceDC(HDC hdc);
HWND WindowOfDC(HDC hdc);
// Where a DC made by CreateSurfaceDC puts logical (0,0), in surface pixels; false for others.
bool SurfaceDCOffset(HDC hdc, POINT* offset);
// Replaces the visible region of a DC made by CreateSurfaceDC (null: the whole surface), for
// a DC that lives across changes of the window tree.
void SetSurfaceDCVisible(HDC hdc, const Region* visible);

// The region object behind an HRGN (null for a bad handle); owned by the handle table.
Region* RegionOf(HRGN hrgn);

}  // namespace plat::gdi
