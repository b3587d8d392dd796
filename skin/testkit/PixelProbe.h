// Pixel probes for skinner tests: a captured picture of one window (in window coordinates) or
// of the whole screen (in screen coordinates), and the questions tests ask of its pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skinkit {

class CFlatSkin;

class CPicture {
public:
    CPicture() = default;
    // The window as its top-level window painted it, whatever covers it; (0, 0) is the
    // top-left corner of its window rectangle. Empty when the window is not on the screen.
    static CPicture OfWindow(HWND hwnd);
    // Every visible top-level window over the desktop, in screen coordinates: with a monitor
    // left of or above the primary one, the picture starts at negative coordinates.
    static CPicture OfScreen();

    int Width() const { return m_w; }
    int Height() const { return m_h; }
    // The coordinates of the picture's first pixel.
    POINT Origin() const { return m_origin; }
    bool IsEmpty() const { return m_w <= 0 || m_h <= 0; }
    // CLR_INVALID outside the picture.
    COLORREF At(int x, int y) const;
    COLORREF At(POINT p) const { return At(p.x, p.y); }

    // The questions below look at the part of the rectangle inside the picture.
    int Count(const RECT& r, COLORREF color) const;
    // Pixels within `tolerance` of the colour in every channel: text drawn in it, whose
    // antialiased ink leaves few pixels exactly in the colour at dialog sizes.
    int CountNear(const RECT& r, COLORREF color, int tolerance = 40) const;
    // True when the rectangle holds pixels and all of them have the colour.
    bool IsUniform(const RECT& r, COLORREF color) const;
    // The smallest rectangle holding every pixel that differs from the background (for text
    // and marks); empty when there is none.
    RECT BoundsOfOthers(const RECT& r, COLORREF background) const;
    // Pixels that differ from the other picture's at the same place; a pixel only one of the two
    // pictures has counts as different.
    int CountDifferences(const CPicture& other, const RECT& r) const;
    RECT Whole() const { return RECT{m_origin.x, m_origin.y, m_origin.x + m_w, m_origin.y + m_h}; }

private:
    int m_w = 0, m_h = 0;
    POINT m_origin = {0, 0};
    std::vector<DWORD> m_px;  // 0x00RRGGBB, top-down rows
};

// A window's client rectangle, and a window's rectangle, in the window coordinates of `outer`
// (the window whose picture is probed).
RECT ClientRectIn(HWND hwnd, HWND outer);
RECT WindowRectIn(HWND hwnd, HWND outer);

// Checks that a nine-grid of the flat skin was drawn over `where`: the middle pixel of each of
// the nine cells (corners at the grid's margins, edges and centre between them) has that
// cell's colour. "" when it has; otherwise one line per cell that differs, naming what painted
// the pixel instead.
std::string CheckNineGrid(const CPicture& picture, const RECT& where, const CFlatSkin& skin, const std::string& path);

// What painted a pixel of the picture, as the flat skin names it ("no record (#rrggbb)" for a
// pixel no record painted, "outside" for a point outside the picture).
std::string Painter(const CPicture& picture, POINT p, const CFlatSkin& skin);

}  // namespace skinkit
