// Shared by the markup fuzz targets: their surface and the checks every input must pass.
#pragma once

#include <windows.h>
#include <winplat_test.h>

#include <cstdio>
#include <cstdlib>

#include "../../core/tests/test_skindraw_canvas.h"
#include "MarkupRenderer.h"

namespace markupfuzz {

// The 512 x 512 surface every input is drawn on, made once per process.
inline HDC SurfaceDc()
{
    static skindrawtest::Canvas surface(512, 512, RGB(255, 255, 255));
    return surface.Dc();
}

inline void Check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Measures and paints the text; the size is sane and no GDI object is left behind.
inline void MeasureAndPaint(CSkinMarkupRenderer& r, HDC dc, const char* text)
{
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    const SIZE s = r.MeasureMarkup(dc, text);
    Check(s.cx >= 2 && s.cy >= 2, "size below 2 x 2");
    r.PaintMarkup(dc, text, RECT{0, 0, 512, 512});
    Check(WinTestLiveCounts::Now() == before, "GDI objects left behind");
    Check(r.GetStyleStackDepth() == 0, "style stack left filled");
}

}  // namespace markupfuzz
