// The drawing effects. Per-pixel work happens on bottom-up 32-bit DIB sections made for the
// purpose. Their pixel words hold blue in the low byte while a COLORREF holds red there, so
// every colour operation converts a pixel to a COLORREF and back; comparing a pixel with a
// mask colour or weighting the channels for grey then means the same on both sides.
#include "DrawManager.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

COLORREF PixelToColor(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
uint32_t ColorToPixel(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

bool SurfaceSizeOk(int w, int h)
{
    return w > 0 && h > 0 && w <= CDrawManager::kMaxSurfaceSide && h <= CDrawManager::kMaxSurfaceSide;
}

// A bottom-up 32-bit DIB section with its bits.
HBITMAP CreateSurface(int w, int h, uint32_t** bits)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &raw, nullptr, 0);
    if (!bmp || !raw) {
        if (bmp) DeleteObject(bmp);
        return nullptr;
    }
    *bits = static_cast<uint32_t*>(raw);
    return bmp;
}

// A memory DC compatible with the screen with one object selected; restores and frees itself.
class ScopedMemDC {
public:
    explicit ScopedMemDC(HGDIOBJ object) : m_dc(CreateCompatibleDC(nullptr))
    {
        if (m_dc && object) m_old = SelectObject(m_dc, object);
    }
    ~ScopedMemDC()
    {
        if (!m_dc) return;
        if (m_old) SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    ScopedMemDC(const ScopedMemDC&) = delete;
    ScopedMemDC& operator=(const ScopedMemDC&) = delete;
    HDC Get() const { return m_dc; }
    bool Ok() const { return m_dc && m_old; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

class ScopedPen {
public:
    ScopedPen(HDC hdc, int style, int width, COLORREF color) : m_dc(hdc), m_pen(CreatePen(style, width, color))
    {
        if (m_pen) m_old = SelectObject(hdc, m_pen);
    }
    ~ScopedPen()
    {
        if (m_old) SelectObject(m_dc, m_old);
        if (m_pen) DeleteObject(m_pen);
    }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old = nullptr;
};

int PenStyleOf(int borderStyle)
{
    switch (borderStyle) {
    case CDrawManager::kBorderDashed: return PS_DASH;
    case CDrawManager::kBorderDotted: return PS_DOT;
    case CDrawManager::kBorderDashDot: return PS_DASHDOT;
    case CDrawManager::kBorderDashDotDot: return PS_DASHDOTDOT;
    default: return PS_SOLID;
    }
}

bool DrawsLines(int style, int width)
{
    return style > CDrawManager::kBorderNone && style <= CDrawManager::kBorderDouble && width >= 1;
}

int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Box sums of `values` (w x h) over a window of ex x ey around each place, the area outside
// counted as `outside`; two running-sum passes, independent of the window size.
std::vector<int64_t> BoxSums(const std::vector<int>& values, int w, int h, int ex, int ey, int outside)
{
    const int rx = ex / 2, ry = ey / 2;
    std::vector<int64_t> rows(size_t(w) * size_t(h));
    std::vector<int64_t> prefix(size_t(w) + 1);
    for (int y = 0; y < h; ++y) {
        prefix[0] = 0;
        for (int x = 0; x < w; ++x) prefix[size_t(x) + 1] = prefix[size_t(x)] + values[size_t(y) * w + x];
        for (int x = 0; x < w; ++x) {
            const int lo = x - rx, hi = x + rx;  // inclusive
            const int a = std::max(lo, 0), b = std::min(hi, w - 1);
            const int64_t inside = prefix[size_t(b) + 1] - prefix[size_t(a)];
            rows[size_t(y) * w + x] = inside + int64_t(outside) * ((hi - lo + 1) - (b - a + 1));
        }
    }
    std::vector<int64_t> sums(rows.size());
    std::vector<int64_t> colPrefix(size_t(h) + 1);
    const int64_t outsideRow = int64_t(outside) * ex;
    for (int x = 0; x < w; ++x) {
        colPrefix[0] = 0;
        for (int y = 0; y < h; ++y) colPrefix[size_t(y) + 1] = colPrefix[size_t(y)] + rows[size_t(y) * w + x];
        for (int y = 0; y < h; ++y) {
            const int lo = y - ry, hi = y + ry;
            const int a = std::max(lo, 0), b = std::min(hi, h - 1);
            const int64_t inside = colPrefix[size_t(b) + 1] - colPrefix[size_t(a)];
            sums[size_t(y) * w + x] = inside + outsideRow * ((hi - lo + 1) - (b - a + 1));
        }
    }
    return sums;
}

}  // namespace

// ---- colours and sizes ---------------------------------------------------------------------------

SIZE CDrawManager::GetIconSize(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return SIZE{0, 0};
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return SIZE{LONG(info.xHotspot * 2), LONG(info.yHotspot * 2)};
}

SIZE CDrawManager::GetBitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

COLORREF CDrawManager::GrayColor(COLORREF c)
{
    const int level = int(0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c));
    return RGB(level, level, level);
}

COLORREF CDrawManager::InvertColor(COLORREF c)
{
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

COLORREF CDrawManager::DarkenColor(COLORREF c, double factor)
{
    if (!(factor >= 0.0 && factor < 1.0)) return c;
    return RGB(int(GetRValue(c) * factor), int(GetGValue(c) * factor), int(GetBValue(c) * factor));
}

COLORREF CDrawManager::LightenColor(COLORREF c, double factor)
{
    if (!(factor >= 0.0 && factor <= 1.0)) return c;
    const double k = 1.0 + factor;
    return RGB(ClampByte(int(GetRValue(c) * k)), ClampByte(int(GetGValue(c) * k)), ClampByte(int(GetBValue(c) * k)));
}

// ---- surfaces --------------------------------------------------------------------------------------

HBITMAP CDrawManager::CreateEffectBitmap(HBITMAP bitmap, int w, int h, DWORD effects, BOOL mask,
                                         COLORREF maskColor, COLORREF fillColor)
{
    return BuildEffectSurface(bitmap, w, h, effects, mask, maskColor, fillColor, true);
}

HBITMAP CDrawManager::BuildEffectSurface(HBITMAP bitmap, int w, int h, DWORD effects, BOOL mask,
                                         COLORREF maskColor, COLORREF fillColor, bool invertMasked)
{
    if (!bitmap || !SurfaceSizeOk(w, h)) return nullptr;
    uint32_t* bits = nullptr;
    HBITMAP surface = CreateSurface(w, h, &bits);
    if (!surface) return nullptr;
    {
        ScopedMemDC src(bitmap), dst(surface);
        if (!src.Ok() || !dst.Ok()) {
            DeleteObject(surface);
            return nullptr;
        }
        BitBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const size_t count = size_t(w) * size_t(h);
    for (size_t i = 0; i < count; ++i) {
        COLORREF c = PixelToColor(bits[i]);
        const bool masked = mask && c == (maskColor & 0xFFFFFF);
        if (masked) {
            c = 0;
        } else {
            if (effects & kGray) c = GrayColor(c);
            if (effects & kDarker) c = DarkenColor(c, 0.75);
            if (effects & kLighter) c = LightenColor(c, 0.25);
            if (effects & kFill) c = fillColor & 0xFFFFFF;
        }
        if ((effects & kInvert) && (invertMasked || !masked)) c = InvertColor(c);
        bits[i] = ColorToPixel(c);
    }
    return surface;
}

HICON CDrawManager::StretchIcon(HICON icon, int w, int h)
{
    if (!icon || !SurfaceSizeOk(w, h)) return nullptr;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    const SIZE from = GetIconSize(icon);
    HICON result = nullptr;
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP color = info.hbmColor ? CreateBitmap(w, h, 1, 32, nullptr) : nullptr;
    if (mask && (color || !info.hbmColor) && from.cx > 0 && from.cy > 0) {
        const HBITMAP pairs[2][2] = {{info.hbmMask, mask}, {info.hbmColor, color}};
        for (const auto& pair : pairs) {
            if (!pair[0] || !pair[1]) continue;
            ScopedMemDC src(pair[0]), dst(pair[1]);
            SetStretchBltMode(dst.Get(), COLORONCOLOR);
            StretchBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, from.cx, from.cy, SRCCOPY);
        }
        ICONINFO made{};
        made.fIcon = TRUE;
        made.xHotspot = DWORD(w / 2);
        made.yHotspot = DWORD(h / 2);
        made.hbmMask = mask;
        made.hbmColor = color;
        result = CreateIconIndirect(&made);
    }
    for (HBITMAP b : {mask, color, info.hbmMask, info.hbmColor})
        if (b) DeleteObject(b);
    return result;
}

// ---- fills -------------------------------------------------------------------------------------------

void CDrawManager::FillGradient(HDC hdc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                                BOOL horizontal)
{
    const int64_t start = horizontal ? left : top;
    const int64_t length = int64_t(horizontal ? right : bottom) - start;
    if (length <= 0) return;
    const int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    const int dr = GetRValue(to) - fr, dg = GetGValue(to) - fg, db = GetBValue(to) - fb;
    for (int i = 0; i < 64; ++i) {
        const int a = int(start + ((length * i) >> 6));
        const int b = int(start + ((length * (i + 1)) >> 6));
        if (a == b) continue;
        const COLORREF c = RGB((fr * 64 + i * dr) >> 6, (fg * 64 + i * dg) >> 6, (fb * 64 + i * db) >> 6);
        const RECT band = horizontal ? RECT{a, top, b, bottom} : RECT{left, a, right, b};
        HBRUSH brush = CreateSolidBrush(c);
        FillRect(hdc, &band, brush);
        DeleteObject(brush);
    }
}

void CDrawManager::FillTwoHalves(HDC hdc, const RECT& rc, COLORREF first, COLORREF middle, COLORREF last,
                                 BOOL horizontal)
{
    if (horizontal) {
        const int midX = int((int64_t(rc.left) + rc.right) / 2);
        FillGradient(hdc, rc.left, rc.top, midX, rc.bottom, first, middle, TRUE);
        FillGradient(hdc, midX, rc.top, rc.right, rc.bottom, middle, last, TRUE);
    } else {
        const int midY = int((int64_t(rc.top) + rc.bottom) / 2);
        FillGradient(hdc, rc.left, rc.top, rc.right, midY, first, middle, FALSE);
        FillGradient(hdc, rc.left, midY, rc.right, rc.bottom, middle, last, FALSE);
    }
}

void CDrawManager::FillBackground(HDC hdc, int effect, const RECT& rc, COLORREF start, COLORREF middle,
                                  COLORREF end)
{
    switch (effect) {
    case kBackHGradient: FillGradient(hdc, rc.left, rc.top, rc.right, rc.bottom, start, end, TRUE); break;
    case kBackVGradient: FillGradient(hdc, rc.left, rc.top, rc.right, rc.bottom, start, end, FALSE); break;
    // The centred ones run to the end colour in the middle and back again.
    case kBackHCGradient: FillTwoHalves(hdc, rc, start, end, start, TRUE); break;
    case kBackVCGradient: FillTwoHalves(hdc, rc, start, end, start, FALSE); break;
    case kBack3HGradient: FillTwoHalves(hdc, rc, start, middle, end, TRUE); break;
    case kBack3VGradient: FillTwoHalves(hdc, rc, start, middle, end, FALSE); break;
    default: {
        HBRUSH brush = CreateSolidBrush(start);
        FillRect(hdc, &rc, brush);
        DeleteObject(brush);
        break;
    }
    }
}

void CDrawManager::TileBlit(HDC hdc, int x, int y, int w, int h, HDC source, int sx, int sy, int tileWidth,
                            int tileHeight)
{
    // An empty tile would never advance.
    if (tileWidth <= 0 || tileHeight <= 0 || w <= 0 || h <= 0) return;
    for (int64_t oy = 0; oy < h; oy += tileHeight) {
        const int ch = int(std::min<int64_t>(tileHeight, h - oy));
        for (int64_t ox = 0; ox < w; ox += tileWidth) {
            const int cw = int(std::min<int64_t>(tileWidth, w - ox));
            BitBlt(hdc, int(x + ox), int(y + oy), cw, ch, source, sx, sy, SRCCOPY);
        }
    }
}

// ---- images --------------------------------------------------------------------------------------------

void CDrawManager::BlitMasked(HDC hdc, int x, int y, int w, int h, HBITMAP maskSurface, HBITMAP imageSurface)
{
    ScopedMemDC maskDC(maskSurface), imageDC(imageSurface);
    if (!maskDC.Ok() || !imageDC.Ok()) return;
    BitBlt(hdc, x, y, w, h, maskDC.Get(), 0, 0, SRCAND);
    BitBlt(hdc, x, y, w, h, imageDC.Get(), 0, 0, SRCPAINT);
}

void CDrawManager::DrawBitmap(HDC hdc, int x, int y, int w, int h, HBITMAP bitmap, BOOL mask, COLORREF maskColor,
                              DWORD effects, BOOL shadow, int dx, int dy, int extentX, int extentY,
                              COLORREF shadowColor)
{
    if (!bitmap || !SurfaceSizeOk(w, h)) return;
    const SIZE own = GetBitmapSize(bitmap);
    if (own.cx <= 0 || own.cy <= 0) return;
    HBITMAP sized = CreateBitmap(w, h, 1, 32, nullptr);
    if (!sized) return;
    {
        ScopedMemDC src(bitmap), dst(sized);
        if (own.cx == w && own.cy == h) {
            BitBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dst.Get(), COLORONCOLOR);
            StretchBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, own.cx, own.cy, SRCCOPY);
        }
    }
    HBITMAP maskSurface = CreateEffectBitmap(sized, w, h, kFill | kInvert, mask, maskColor, 0xFFFFFF);
    HBITMAP imageSurface = BuildEffectSurface(sized, w, h, effects, mask, maskColor, 0xFFFFFF, false);
    if (shadow) {
        if (effects & kShadowMask) {
            HBITMAP shade = CreateEffectBitmap(sized, w, h, kFill | kInvert, mask, maskColor, InvertColor(shadowColor));
            if (shade) {
                DrawShadow(hdc, x + dx, y + dy, w, h, shade, (effects & kSoftShadow) != 0, extentX, extentY);
                DeleteObject(shade);
            }
        } else if (maskSurface && imageSurface) {
            BlitMasked(hdc, x + dx, y + dy, w, h, maskSurface, imageSurface);
        }
    }
    if (maskSurface && imageSurface) BlitMasked(hdc, x, y, w, h, maskSurface, imageSurface);
    for (HBITMAP b : {maskSurface, imageSurface, sized})
        if (b) DeleteObject(b);
}

void CDrawManager::DrawIcon(HDC hdc, int x, int y, int w, int h, HICON icon, DWORD effects, BOOL shadow, int dx,
                            int dy, int extentX, int extentY, COLORREF shadowColor)
{
    if (!icon || !SurfaceSizeOk(w, h)) return;
    const SIZE own = GetIconSize(icon);
    HICON stretched = (own.cx == w && own.cy == h) ? nullptr : StretchIcon(icon, w, h);
    ICONINFO info{};
    if (!GetIconInfo(stretched ? stretched : icon, &info)) {
        if (stretched) DestroyIcon(stretched);
        return;
    }
    HBITMAP imageSurface = info.hbmColor ? BuildEffectSurface(info.hbmColor, w, h, effects, TRUE, 0, 0xFFFFFF, false)
                                         : nullptr;
    if (shadow && info.hbmMask) {
        if (effects & kShadowMask) {
            HBITMAP shade = CreateEffectBitmap(info.hbmMask, w, h, kFill | kInvert, TRUE, 0xFFFFFF,
                                               InvertColor(shadowColor));
            if (shade) {
                DrawShadow(hdc, x + dx, y + dy, w, h, shade, (effects & kSoftShadow) != 0, extentX, extentY);
                DeleteObject(shade);
            }
        }
    }
    if (info.hbmMask && imageSurface) {
        // Monochrome to colour takes 0 as the text colour and 1 as the background colour: the
        // mask's transparent ones must come out white, whatever background the text left.
        const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(hdc, RGB(255, 255, 255));
        const auto paintAt = [&](int px, int py) {
            ScopedMemDC maskDC(info.hbmMask), imageDC(imageSurface);
            if (!maskDC.Ok() || !imageDC.Ok()) return;
            BitBlt(hdc, px, py, w, h, maskDC.Get(), 0, 0, SRCAND);
            BitBlt(hdc, px, py, w, h, imageDC.Get(), 0, 0, SRCPAINT);
        };
        if (shadow && !(effects & kShadowMask)) paintAt(x + dx, y + dy);
        paintAt(x, y);
        SetBkColor(hdc, oldBack);
        SetTextColor(hdc, oldText);
    }
    for (HBITMAP b : {imageSurface, info.hbmMask, info.hbmColor})
        if (b) DeleteObject(b);
    if (stretched) DestroyIcon(stretched);
}

void CDrawManager::DrawShadow(HDC hdc, int x, int y, int w, int h, HBITMAP shadow, BOOL soft, int extentX,
                              int extentY)
{
    if (!shadow || !SurfaceSizeOk(w, h)) return;
    if (soft) {
        extentX = std::max(extentX, 1) | 1;
        extentY = std::max(extentY, 1) | 1;
        // A shadow no larger than its blur has no room for the shrunk picture.
        if (w <= extentX || h <= extentY) return;
    }
    uint32_t* shadowBits = nullptr;
    HBITMAP shadowSurface = CreateSurface(w, h, &shadowBits);
    uint32_t* destBits = nullptr;
    HBITMAP destSurface = CreateSurface(w, h, &destBits);
    if (shadowSurface && destSurface) {
        {
            ScopedMemDC src(shadow), dst(shadowSurface);
            if (soft) {
                const RECT all{0, 0, w, h};
                FillRect(dst.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                const SIZE own = GetBitmapSize(shadow);
                SetStretchBltMode(dst.Get(), COLORONCOLOR);
                StretchBlt(dst.Get(), extentX / 2, extentY / 2, w - extentX, h - extentY, src.Get(), 0, 0, own.cx,
                           own.cy, SRCCOPY);
            } else {
                BitBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, SRCCOPY);
            }
            ScopedMemDC block(destSurface);
            BitBlt(block.Get(), 0, 0, w, h, hdc, x, y, SRCCOPY);
        }
        GdiFlush();
        const size_t count = size_t(w) * size_t(h);
        if (soft) {
            std::vector<int> levels(count);
            for (size_t i = 0; i < count; ++i) levels[i] = GetRValue(PixelToColor(shadowBits[i]));
            const std::vector<int64_t> sums = BoxSums(levels, w, h, extentX, extentY, 255);
            const double scale = 1.0 / (double(extentX) * double(extentY) * 255.0);
            for (size_t i = 0; i < count; ++i)
                destBits[i] = ColorToPixel(DarkenColor(PixelToColor(destBits[i]), double(sums[i]) * scale));
        } else {
            for (size_t i = 0; i < count; ++i) {
                const double f = GetRValue(PixelToColor(shadowBits[i])) * 0.00392156862745098;
                destBits[i] = ColorToPixel(DarkenColor(PixelToColor(destBits[i]), f));
            }
        }
        ScopedMemDC block(destSurface);
        BitBlt(hdc, x, y, w, h, block.Get(), 0, 0, SRCCOPY);
    }
    if (shadowSurface) DeleteObject(shadowSurface);
    if (destSurface) DeleteObject(destSurface);
}

// ---- borders and lines -------------------------------------------------------------------------------------

void CDrawManager::DrawLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color, int style, int width)
{
    if (!DrawsLines(style, width)) return;
    ScopedPen pen(hdc, PenStyleOf(style), width, color);
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
    if (style != kBorderDouble) return;
    const int64_t gap = int64_t(width) * 2;
    const int ox = y1 != y2 ? int(std::min<int64_t>(gap, INT32_MAX)) : 0;
    const int oy = x1 != x2 ? int(std::min<int64_t>(gap, INT32_MAX)) : 0;
    MoveToEx(hdc, x1 + ox, y1 + oy, nullptr);
    LineTo(hdc, x2 + ox, y2 + oy);
}

void CDrawManager::DrawBorder(HDC hdc, const RECT& rc, COLORREF light, COLORREF dark, int style, int width)
{
    DrawBorder(hdc, rc.left, rc.top, rc.right, rc.bottom, light, dark, style, width);
}

void CDrawManager::DrawBorder(HDC hdc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark,
                              int style, int width)
{
    if (!DrawsLines(style, width)) return;
    DrawBorderEdges(hdc, RECT{left, top, right, bottom}, light, dark, style, width);
    if (style != kBorderDouble) return;
    const int64_t inset = int64_t(width) * 2;
    if (int64_t(right) - left <= 2 * inset || int64_t(bottom) - top <= 2 * inset) return;
    DrawBorderEdges(hdc, RECT{LONG(left + inset), LONG(top + inset), LONG(right - inset), LONG(bottom - inset)},
                    light, dark, style, width);
}

// The pen runs on the rectangle's own outer pixels: left and top at width / 2 inside the
// edge, right and bottom as far inside the exclusive edge, so no stroke falls outside it.
void CDrawManager::DrawBorderEdges(HDC hdc, RECT rc, COLORREF light, COLORREF dark, int style, int width)
{
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    const int near = width / 2, far = (width + 1) / 2;
    const int l = rc.left + near, t = rc.top + near;
    const int r = std::max(l, int(rc.right) - far), b = std::max(t, int(rc.bottom) - far);
    const int pen = PenStyleOf(style);
    {
        ScopedPen p(hdc, pen, width, light);
        MoveToEx(hdc, l, b, nullptr);
        LineTo(hdc, l, t);
        LineTo(hdc, r, t);
        if (light == dark) {
            LineTo(hdc, r, b);
            LineTo(hdc, l, b);
            return;
        }
    }
    ScopedPen p(hdc, pen, width, dark);
    MoveToEx(hdc, r, t, nullptr);
    LineTo(hdc, r, b);
    LineTo(hdc, l, b);
}
