// Shared by the markup tests: a pixel canvas, text extents through the platform's own fonts,
// and bitmaps made on the spot.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "../../core/tests/test_skindraw_canvas.h"

namespace markuptest {

using skindrawtest::Canvas;

struct FontSpec {
    int height = 13;  // the body rule's 10 pt at 96 dots per inch
    int weight = FW_NORMAL;
    bool italic = false;
    const char* face = "Verdana";
};

// Width and height of a text in a font, measured by the platform the renderer measures with.
inline SIZE Extent(const std::string& text, FontSpec f = {})
{
    LOGFONTA lf{};
    lf.lfHeight = f.height;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, f.face, sizeof lf.lfFaceName - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &s);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return s;
}

inline int FontHeight(FontSpec f = {}) { return Extent("x", f).cy; }

// A 32-bit bitmap of one colour, with an optional rectangle of a second colour.
inline HBITMAP SolidBitmap(int w, int h, COLORREF fill, RECT inner = {}, COLORREF innerColor = 0)
{
    HBITMAP bmp = CreateBitmap(w, h, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT all{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc, &all, b);
    DeleteObject(b);
    if (inner.right > inner.left) {
        b = CreateSolidBrush(innerColor);
        FillRect(dc, &inner, b);
        DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

inline std::string HandleText(HGDIOBJ h) { return std::to_string(reinterpret_cast<UINT_PTR>(h)); }

// Counts canvas pixels of one colour inside a rectangle.
inline int CountIn(const Canvas& c, RECT r, COLORREF color)
{
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            if (x >= 0 && y >= 0 && x < c.W() && y < c.H() && c.At(x, y) == color) ++n;
    return n;
}

}  // namespace markuptest
