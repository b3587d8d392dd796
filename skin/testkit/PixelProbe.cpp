#include "PixelProbe.h"

#include <algorithm>

#include "FlatSkin.h"
#include "winplat_test.h"

namespace skinkit {

namespace {

RECT Clip(const RECT& r, const RECT& bounds)
{
    RECT c{std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
           std::min(r.bottom, bounds.bottom)};
    if (c.right < c.left)
        c.right = c.left;
    if (c.bottom < c.top)
        c.bottom = c.top;
    return c;
}

RECT Offset(RECT r, HWND outer)
{
    RECT o{};
    GetWindowRect(outer, &o);
    OffsetRect(&r, -o.left, -o.top);
    return r;
}

}  // namespace

CPicture CPicture::OfWindow(HWND hwnd)
{
    CPicture p;
    int w = 0, h = 0;
    WinTestCaptureWindow(hwnd, nullptr, 0, &w, &h);
    if (w <= 0 || h <= 0)
        return p;
    p.m_px.resize(size_t(w) * size_t(h));
    if (!WinTestCaptureWindow(hwnd, p.m_px.data(), int(p.m_px.size()), &w, &h))
        return CPicture();
    p.m_w = w;
    p.m_h = h;
    return p;
}

CPicture CPicture::OfScreen()
{
    CPicture p;
    int w = 0, h = 0;
    if (!WinTestGetScreenSize(&w, &h) || w <= 0 || h <= 0)
        return p;
    p.m_px.resize(size_t(w) * size_t(h));
    if (!WinTestCaptureScreen(p.m_px.data(), w, h))
        return CPicture();
    p.m_w = w;
    p.m_h = h;
    p.m_origin = POINT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    return p;
}

COLORREF CPicture::At(int x, int y) const
{
    x -= m_origin.x;
    y -= m_origin.y;
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return CLR_INVALID;
    const DWORD v = m_px[size_t(y) * size_t(m_w) + size_t(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int CPicture::Count(const RECT& r, COLORREF color) const
{
    const RECT c = Clip(r, Whole());
    int n = 0;
    for (LONG y = c.top; y < c.bottom; ++y)
        for (LONG x = c.left; x < c.right; ++x)
            n += At(x, y) == color;
    return n;
}

int CPicture::CountNear(const RECT& r, COLORREF color, int tolerance) const
{
    const RECT c = Clip(r, Whole());
    int n = 0;
    for (LONG y = c.top; y < c.bottom; ++y)
        for (LONG x = c.left; x < c.right; ++x)
            n += WinTestNear(At(x, y), color, tolerance);
    return n;
}

bool CPicture::IsUniform(const RECT& r, COLORREF color) const
{
    const RECT c = Clip(r, Whole());
    const int area = (c.right - c.left) * (c.bottom - c.top);
    return area > 0 && Count(c, color) == area;
}

RECT CPicture::BoundsOfOthers(const RECT& r, COLORREF background) const
{
    const RECT c = Clip(r, Whole());
    RECT b{c.right, c.bottom, c.left, c.top};
    for (LONG y = c.top; y < c.bottom; ++y)
        for (LONG x = c.left; x < c.right; ++x)
            if (At(x, y) != background) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x + 1);
                b.bottom = std::max(b.bottom, y + 1);
            }
    return b.left < b.right ? b : RECT{};
}

int CPicture::CountDifferences(const CPicture& other, const RECT& r) const
{
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x) {
            const COLORREF a = At(x, y), b = other.At(x, y);
            n += a != b;
        }
    return n;
}

RECT ClientRectIn(HWND hwnd, HWND outer)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return Offset(r, outer);
}

RECT WindowRectIn(HWND hwnd, HWND outer)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return Offset(r, outer);
}

std::string Painter(const CPicture& picture, POINT p, const CFlatSkin& skin)
{
    const COLORREF c = picture.At(p);
    return c == CLR_INVALID ? "outside" : skin.Describe(c);
}

std::string CheckNineGrid(const CPicture& picture, const RECT& where, const CFlatSkin& skin, const std::string& path)
{
    const FlatRecord* grid = skin.FindRecord(path);
    if (!grid || grid->cell < 0)
        return path + " is not a nine-grid of the skin\n";
    const RECT& m = grid->margins;
    const LONG xs[4] = {where.left, where.left + m.left, where.right - m.right, where.right};
    const LONG ys[4] = {where.top, where.top + m.top, where.bottom - m.bottom, where.bottom};
    std::string problems;
    for (int cell = 0; cell < 9; ++cell) {
        const int col = cell % 3, row = cell / 3;
        if (xs[col + 1] <= xs[col] || ys[row + 1] <= ys[row])
            continue;  // a cell of no size is not drawn
        const POINT p{(xs[col] + xs[col + 1] - 1) / 2, (ys[row] + ys[row + 1] - 1) / 2};
        if (picture.At(p) == skin.ColorOf(path, cell))
            continue;
        problems += "cell " + std::to_string(cell) + " at (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                    ") is " + Painter(picture, p, skin) + "\n";
    }
    return problems;
}

}  // namespace skinkit
