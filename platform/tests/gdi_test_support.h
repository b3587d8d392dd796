// Helpers of the drawing layer's tests: a memory DC over a 32-bit top-down DIB section whose
// pixels a test reads directly.
#pragma once

#include <cstdint>

#include "windows.h"

namespace gdit {

struct Canvas32 {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int w = 0, h = 0;

    Canvas32(int width, int height, COLORREF fill = RGB(255, 255, 255)) : w(width), h(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bmp);
        Fill(fill);
    }
    ~Canvas32() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    Canvas32(const Canvas32&) = delete;
    Canvas32& operator=(const Canvas32&) = delete;

    void Fill(COLORREF c) {
        for (int i = 0; i < w * h; ++i) bits[i] = Px(c);
    }
    // The pixel as a COLORREF (alpha ignored).
    COLORREF At(int x, int y) const {
        uint32_t v = bits[y * w + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    static uint32_t Px(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += At(x, y) == c;
        return n;
    }
    // Bounding box of pixels different from `bg`; empty rect when none.
    RECT InkBox(COLORREF bg) const {
        RECT r{w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (At(x, y) != bg) {
                    if (x < r.left) r.left = x;
                    if (y < r.top) r.top = y;
                    if (x + 1 > r.right) r.right = x + 1;
                    if (y + 1 > r.bottom) r.bottom = y + 1;
                }
        if (r.right == 0) r = RECT{0, 0, 0, 0};
        return r;
    }
};

}  // namespace gdit
