// CRasterImage and the drawing layer: bitmaps to and from GDI, and drawing into a device
// context at natural size, stretched or tiled, with a transparent colour and alpha blending.
#include "RasterImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "SkinGeometry.h"

namespace {

// The DC's clip region, put back exactly as it was (or removed again when there was none).
class ClipRestorer {
public:
    explicit ClipRestorer(HDC hdc) : m_hdc(hdc), m_saved(CreateRectRgn(0, 0, 0, 0)) {
        m_had = m_saved && GetClipRgn(hdc, m_saved) == 1;
    }
    ~ClipRestorer() {
        SelectClipRgn(m_hdc, m_had ? m_saved : nullptr);
        if (m_saved) DeleteObject(m_saved);
    }
    ClipRestorer(const ClipRestorer&) = delete;
    ClipRestorer& operator=(const ClipRestorer&) = delete;

private:
    HDC m_hdc;
    HRGN m_saved;
    bool m_had = false;
};

// A 24-bit bottom-up DIB section selected into a memory DC compatible with `hdc`.
class Scratch24 {
public:
    Scratch24(HDC hdc, LONG w, LONG h) : m_w(w), m_h(h) {
        std::memset(&m_bmi, 0, sizeof(m_bmi));
        m_bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        m_bmi.bmiHeader.biWidth = w;
        m_bmi.bmiHeader.biHeight = h;
        m_bmi.bmiHeader.biPlanes = 1;
        m_bmi.bmiHeader.biBitCount = 24;
        m_bmi.bmiHeader.biCompression = BI_RGB;
        m_stride = ((24 * (DWORD)w + 31) / 32) * 4;
        m_bmi.bmiHeader.biSizeImage = m_stride * (DWORD)h;
        m_dc = CreateCompatibleDC(hdc);
        if (!m_dc) return;
        m_bmp = CreateDIBSection(m_dc, &m_bmi, DIB_RGB_COLORS, (void**)&m_bits, nullptr, 0);
        if (m_bmp) m_old = SelectObject(m_dc, m_bmp);
    }
    ~Scratch24() {
        if (m_dc && m_old) SelectObject(m_dc, m_old);
        if (m_bmp) DeleteObject(m_bmp);
        if (m_dc) DeleteDC(m_dc);
    }
    Scratch24(const Scratch24&) = delete;
    Scratch24& operator=(const Scratch24&) = delete;

    bool Ok() const { return m_dc && m_bmp && m_bits; }
    HDC Dc() const { return m_dc; }
    BYTE* Row(LONG r) const { return m_bits + (size_t)r * m_stride; }
    // Copies the section to the destination at (x, y).
    void Put(HDC hdc, LONG x, LONG y) const {
        SetDIBitsToDevice(hdc, x, y, (DWORD)m_w, (DWORD)m_h, 0, 0, 0, (UINT)m_h, m_bits, &m_bmi,
                          DIB_RGB_COLORS);
    }

private:
    LONG m_w, m_h;
    DWORD m_stride = 0;
    BITMAPINFO m_bmi;
    HDC m_dc = nullptr;
    HBITMAP m_bmp = nullptr;
    HGDIOBJ m_old = nullptr;
    BYTE* m_bits = nullptr;
};

}  // namespace

HBITMAP CRasterImage::MakeBitmap(HDC hdc) const {
    if (!m_dib) return nullptr;
    const BITMAPINFO* bmi = (const BITMAPINFO*)m_dib;
    if (hdc)
        return CreateDIBitmap(hdc, &bmi->bmiHeader, CBM_INIT, m_info.imageBits, bmi, DIB_RGB_COLORS);
    HDC mem = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) std::memcpy(bits, m_info.imageBits, m_head.biSizeImage);
    if (mem) DeleteDC(mem);
    return bmp;
}

bool CRasterImage::CreateFromHBITMAP(HBITMAP hbmp, HPALETTE hpal) {
    Destroy();
    if (!hbmp) return false;
    BITMAP bm;
    std::memset(&bm, 0, sizeof(bm));
    if (!GetObject(hbmp, sizeof(bm), &bm)) return false;
    if (!Create(bm.bmWidth, (DWORD)std::abs(bm.bmHeight), bm.bmBitsPixel, 0)) return false;
    HDC dc = GetDC(nullptr);
    HPALETTE oldPal = nullptr;
    if (hpal) {
        oldPal = SelectPalette(dc, hpal, FALSE);
        RealizePalette(dc);
    }
    // The request travels in a copy of our header, so a layer that rewrites it cannot change
    // the size this image was allocated for.
    BITMAPINFO* bmi = (BITMAPINFO*)m_dib;
    const BITMAPINFOHEADER keep = bmi->bmiHeader;
    const int lines = GetDIBits(dc, hbmp, 0, GetHeight(), m_info.imageBits, bmi, DIB_RGB_COLORS);
    bmi->bmiHeader = keep;
    if (lines == 0) SetLastError("GetDIBits failed");
    if (hpal) SelectPalette(dc, oldPal, FALSE);
    ReleaseDC(nullptr, dc);
    ResetNearestCache();
    return lines != 0;
}

int CRasterImage::Draw(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip) {
    if (!m_dib || !hdc || cx == 0 || cy == 0 || !m_info.enabled) return 0;
    const LONG width = m_head.biWidth, height = m_head.biHeight;
    if (cx < 0) cx = width;
    if (cy < 0) cy = height;
    // Far-off or huge placements stay inside what the arithmetic below can hold; no surface
    // reaches that far.
    x = SkinClampCoord(x);
    y = SkinClampCoord(y);
    cx = std::min(cx, kSkinCoordLimit);
    cy = std::min(cy, kSkinCoordLimit);
    const bool transparent = m_info.transIndex != -1;
    const bool alpha = m_alpha != nullptr;
    const bool paletted = m_head.biBitCount <= 8;

    std::optional<ClipRestorer> restore;
    if (clip) {
        restore.emplace(hdc);
        // Clip regions are in device units: a DC with a moved origin draws its logical clip.
        POINT corners[2] = {{clip->left, clip->top}, {clip->right, clip->bottom}};
        LPtoDP(hdc, corners, 2);
        HRGN rgn = CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
        ExtSelectClipRgn(hdc, rgn, RGN_AND);
        DeleteObject(rgn);
    }

    const BITMAPINFO* bmi = (const BITMAPINFO*)m_dib;
    if (!transparent && !alpha && !m_info.paletteAlpha && cx == width && cy == height) {
        SetStretchBltMode(hdc, COLORONCOLOR);
        SetDIBitsToDevice(hdc, x, y, (DWORD)cx, (DWORD)cy, 0, 0, 0, (UINT)cy, m_info.imageBits, bmi,
                          DIB_RGB_COLORS);
        return 1;
    }

    // Only the part of the destination inside the clip box is computed.
    RECT cb;
    if (GetClipBox(hdc, &cb) == ERROR) return 1;
    const LONG left = std::min(cb.right, std::max(cb.left, x));
    const LONG right = std::max(cb.left, std::min(cb.right, x + cx));
    const LONG top = std::min(cb.bottom, std::max(cb.top, y));
    const LONG bottom = std::max(cb.top, std::min(cb.bottom, y + cy));
    const LONG w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) return 1;
    Scratch24 dib(hdc, w, h);
    if (!dib.Ok()) return 1;

    const bool natural = cx == width && cy == height;
    const float fx = (float)width / (float)cx, fy = (float)height / (float)cy;
    // The source pixel under box column c and box row r (0 = bottom). Scaled positions are
    // clamped: the single-precision arithmetic can land one past the last row or column.
    auto sourceX = [&](LONG c) {
        if (natural) return left - x + c;
        return std::clamp((LONG)std::floor((float)(c - x + left) * fx), 0, width - 1);
    };
    auto sourceY = [&](LONG r) {
        if (natural) return height - bottom + y + r;
        const LONG sy = height - (LONG)std::ceil((float)((bottom - r) - y) * fy);
        return std::clamp(sy, 0, height - 1);
    };
    const RGBQUAD* pal = GetPalette();

    if (!transparent && !alpha && !m_info.paletteAlpha) {
        for (LONG r = 0; r < h; ++r) {
            BYTE* d = dib.Row(r);
            const LONG sy = sourceY(r);
            const BYTE* srow = GetBits((DWORD)sy);
            for (LONG c = 0; c < w; ++c, d += 3) {
                const LONG sx = sourceX(c);
                if (paletted) {
                    const RGBQUAD q = pal[GetPixelIndex(sx, sy)];
                    d[0] = q.rgbBlue;
                    d[1] = q.rgbGreen;
                    d[2] = q.rgbRed;
                } else {
                    std::memcpy(d, srow + 3 * sx, 3);
                }
            }
        }
        dib.Put(hdc, left, top);
        return 1;
    }

    // Blend over what the destination already shows.
    BitBlt(dib.Dc(), 0, 0, w, h, hdc, left, top, SRCCOPY);
    const RGBQUAD ct = GetTransColor();
    const unsigned alphaMax = m_info.alphaMax;
    for (LONG r = 0; r < h; ++r) {
        BYTE* d = dib.Row(r);
        const LONG sy = sourceY(r);
        if (sy < 0 || sy >= height) continue;
        const BYTE* srow = GetBits((DWORD)sy);
        for (LONG c = 0; c < w; ++c, d += 3) {
            const LONG sx = sourceX(c);
            if (sx < 0 || sx >= width) continue;
            unsigned a = alpha ? m_alpha[(size_t)sy * width + sx] : 255;
            a = ((alphaMax + 1) * a) >> 8;
            RGBQUAD col;
            if (paletted) {
                col = pal[GetPixelIndex(sx, sy)];
                if (m_info.paletteAlpha) a = ((col.rgbReserved + 1u) * a) >> 8;
            } else {
                col.rgbBlue = srow[3 * sx];
                col.rgbGreen = srow[3 * sx + 1];
                col.rgbRed = srow[3 * sx + 2];
                col.rgbReserved = 0;
            }
            if (a == 0 || (transparent && std::memcmp(&col, &ct, 4) == 0)) continue;
            if (a == 255) {
                d[0] = col.rgbBlue;
                d[1] = col.rgbGreen;
                d[2] = col.rgbRed;
            } else {
                const unsigned na = 255 - a;
                d[0] = (BYTE)((d[0] * na + col.rgbBlue * a) >> 8);
                d[1] = (BYTE)((d[1] * na + col.rgbGreen * a) >> 8);
                d[2] = (BYTE)((d[2] * na + col.rgbRed * a) >> 8);
            }
        }
    }
    dib.Put(hdc, left, top);
    return 1;
}

int CRasterImage::DrawTransparent(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) {
    if (!m_dib || !hdc || cx == 0 || cy == 0 || !m_info.enabled) return 0;
    const LONG width = m_head.biWidth, height = m_head.biHeight;
    if (cx < 0) cx = width;
    if (cy < 0) cy = height;
    // As in Draw: a far-off or huge placement stays inside what the arithmetic can hold.
    x = SkinClampCoord(x);
    y = SkinClampCoord(y);
    cx = std::min(cx, kSkinCoordLimit);
    cy = std::min(cy, kSkinCoordLimit);
    const BITMAPINFO* bmi = (const BITMAPINFO*)m_dib;
    if (m_info.transIndex == -1) {
        SetStretchBltMode(hdc, COLORONCOLOR);
        StretchDIBits(hdc, x, y, cx, cy, 0, 0, width, height, m_info.imageBits, bmi, DIB_RGB_COLORS,
                      SRCCOPY);
        return 1;
    }
    const RECT rc = {x, y, x + cx, y + cy};
    if (!RectVisible(hdc, &rc)) return 1;

    // The picture at natural size, and a mask that is white where it shows the transparent colour.
    HDC imgDc = CreateCompatibleDC(hdc);
    HDC maskDc = CreateCompatibleDC(hdc);
    HBITMAP imgBmp = CreateCompatibleBitmap(hdc, width, height);
    HBITMAP maskBmp = CreateBitmap(width, height, 1, 1, nullptr);
    if (imgDc && maskDc && imgBmp && maskBmp) {
        HGDIOBJ oldImg = SelectObject(imgDc, imgBmp);
        HGDIOBJ oldMask = SelectObject(maskDc, maskBmp);
        SetStretchBltMode(imgDc, COLORONCOLOR);
        StretchDIBits(imgDc, 0, 0, width, height, 0, 0, width, height, m_info.imageBits, bmi,
                      DIB_RGB_COLORS, SRCCOPY);
        const RGBQUAD t = GetTransColor();
        SetBkColor(imgDc, RGB(t.rgbRed, t.rgbGreen, t.rgbBlue));
        BitBlt(maskDc, 0, 0, width, height, imgDc, 0, 0, SRCCOPY);
        // Black text and white background on the destination make the mask's 0 and 1 bits
        // black and white when it is combined there, whatever colours the caller had set.
        const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
        const COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
        const int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
        StretchBlt(hdc, x, y, cx, cy, imgDc, 0, 0, width, height, SRCINVERT);
        StretchBlt(hdc, x, y, cx, cy, maskDc, 0, 0, width, height, SRCAND);
        StretchBlt(hdc, x, y, cx, cy, imgDc, 0, 0, width, height, SRCINVERT);
        SetStretchBltMode(hdc, oldMode);
        SetTextColor(hdc, oldText);
        SetBkColor(hdc, oldBk);
        SelectObject(imgDc, oldImg);
        SelectObject(maskDc, oldMask);
    }
    if (imgBmp) DeleteObject(imgBmp);
    if (maskBmp) DeleteObject(maskBmp);
    if (imgDc) DeleteDC(imgDc);
    if (maskDc) DeleteDC(maskDc);
    return 1;
}

int CRasterImage::Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) {
    if (!m_dib || !hdc) return 0;
    SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, m_head.biWidth, m_head.biHeight, m_info.imageBits,
                  (const BITMAPINFO*)m_dib, DIB_RGB_COLORS, SRCCOPY);
    return 1;
}

int CRasterImage::Tile(HDC hdc, const RECT* rc) {
    if (!m_dib || !hdc || !rc) return 0;
    const LONG tw = m_head.biWidth, th = m_head.biHeight;  // at least 1 each
    // Only the tiles that reach into the DC's clip box are drawn, however large the rectangle.
    const RECT area = SkinClampRect(*rc);
    RECT box;
    if (GetClipBox(hdc, &box) == ERROR) return 1;
    const RECT shown = SkinIntersectRect(area, SkinClampRect(box));
    if (!SkinRectHasArea(shown)) return 1;
    const LONG firstRow = (shown.top - area.top) / th * th, firstCol = (shown.left - area.left) / tw * tw;
    for (LONG row = firstRow; area.top + row < shown.bottom; row += th) {
        const LONG h = std::min(th, area.bottom - area.top - row);
        for (LONG col = firstCol; area.left + col < shown.right; col += tw) {
            const LONG w = std::min(tw, area.right - area.left - col);
            const RECT tile = {area.left + col, area.top + row, area.left + col + w, area.top + row + h};
            Draw(hdc, tile.left, tile.top, -1, -1, &tile);
        }
    }
    return 1;
}
