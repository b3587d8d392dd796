// Device-independent bitmaps: DIB sections (live bits), and the functions that move pixels
// between a program's DIB memory and bitmaps or devices.
#include <algorithm>
#include <cstring>

#include "gdi/dc.h"

namespace plat::gdi {
namespace {

// Describes `rows` rows of the program's DIB memory in the format `bmi` gives. The rows are
// addressed in memory order (row 0 first in memory); callers map scan lines themselves.
bool DibView(const BITMAPINFO* bmi, UINT usage, const void* bits, int rows, PixelStore& out) {
    if (!bmi) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0) return false;
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return false;
    out = PixelStore();
    out.width = h.biWidth;
    out.height = rows;
    out.bpp = bpp;
    out.stride = PixelStore::StrideFor(h.biWidth, bpp);
    out.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
    const uint8_t* after = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? std::min<size_t>(h.biClrUsed, size_t(1) << bpp) : size_t(1) << bpp;
        out.palette.resize(n);
        for (size_t i = 0; i < n; ++i) {
            if (usage == DIB_PAL_COLORS) {
                WORD idx;
                std::memcpy(&idx, after + i * 2, 2);
                uint32_t g = idx & 0xFF;
                out.palette[i] = (g << 16) | (g << 8) | g;
            } else {
                RGBQUAD q;
                std::memcpy(&q, after + i * 4, 4);
                out.palette[i] = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            }
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        std::memcpy(out.masks, after, 12);
        if (!out.masks[0] || !out.masks[1] || !out.masks[2]) return false;
        out.bitfields = !(bpp == 32 && out.masks[0] == 0xFF0000 && out.masks[1] == 0xFF00 && out.masks[2] == 0xFF);
    } else if (bpp == 16) {
        out.masks[0] = 0x7C00;
        out.masks[1] = 0x03E0;
        out.masks[2] = 0x001F;
    }
    return true;
}

std::shared_ptr<DC> DcOverView(const PixelStore& view) {
    auto bmp = std::make_shared<Bitmap>();
    bmp->dib = true;
    bmp->px = view;
    auto dc = std::make_shared<DC>();
    dc->kind = DCKind::Memory;
    dc->st.bitmapObj = bmp;
    return dc;
}

// The colour table GetDIBits reports for an indexed format.
std::vector<uint32_t> TableFor(const Bitmap& b, int bpp) {
    if (b.px.bpp == bpp && !b.px.palette.empty()) {
        std::vector<uint32_t> t = b.px.palette;
        t.resize(size_t(1) << bpp, 0);
        return t;
    }
    std::vector<uint32_t> t;
    if (bpp == 1) return {0x000000, 0xFFFFFF};
    if (bpp == 4) {
        const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                  0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        return std::vector<uint32_t>(vga, vga + 16);
    }
    // 8 bits: a 6x6x6 colour cube, then a grey ramp.
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int bl = 0; bl < 6; ++bl) t.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(bl * 51));
    for (int i = 0; t.size() < 256; ++i) {
        uint32_t v = uint32_t(i * 255 / 39);
        t.push_back(v << 16 | v << 8 | v);
    }
    return t;
}

}  // namespace
}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

WINGDIAPI HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                                          DWORD offset) {
    if (bits) *bits = nullptr;
    (void)hdc;
    if (section || offset) return nullptr;  // file-mapping sections are not supported
    auto b = Bitmap::MakeDib(bmi, usage, nullptr);
    if (!b) return nullptr;
    if (bits) *bits = b->px.bits;
    return Bitmaps().Add<HBITMAP>(b);
}

WINGDIAPI int WINAPI SetDIBits(HDC, HBITMAP hbmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi,
                               UINT usage) {
    Guard g(GlobalLock());
    std::shared_ptr<Bitmap> b = Bitmaps().Get(hbmp);
    if (!b || !bits || !bmi) return 0;
    PixelStore src;
    if (!DibView(bmi, usage, bits, int(lines), src)) return 0;
    int dibH = std::abs(bmi->bmiHeader.biHeight);
    bool bottomUp = bmi->bmiHeader.biHeight > 0;
    if (start >= UINT(dibH)) return 0;
    lines = std::min<UINT>(lines, UINT(dibH) - start);
    int w = std::min(src.width, b->px.width);
    std::vector<uint32_t> row(size_t(src.width));
    int done = 0;
    for (UINT i = 0; i < lines; ++i) {
        int scan = int(start + i);
        int imageRow = bottomUp ? dibH - 1 - scan : scan;
        // Bottom-up images align their bottom rows with the bitmap's.
        int y = bottomUp ? imageRow - (dibH - b->px.height) : imageRow;
        if (y < 0 || y >= b->px.height) continue;
        src.ReadRow(int(i), 0, w, row.data());
        b->px.WriteRow(y, 0, w, row.data());
        ++done;
    }
    return done;
}

WINGDIAPI HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                        const BITMAPINFO* bmi, UINT usage) {
    if (!header || header->biWidth <= 0 || header->biHeight == 0) return nullptr;
    HBITMAP h = nullptr;
    {
        Guard g(GlobalLock());
        if (hdc && !DCs().Valid(hdc)) return nullptr;
        auto b = Bitmap::MakeDevice(header->biWidth, std::abs(header->biHeight), 32);
        if (!b) return nullptr;
        h = Bitmaps().Add<HBITMAP>(b);
    }
    if ((init & CBM_INIT) && bits && bmi)
        SetDIBits(hdc, h, 0, UINT(std::abs(bmi->bmiHeader.biHeight)), bits, bmi, usage);
    return h;
}

WINGDIAPI int WINAPI GetDIBits(HDC hdc, HBITMAP hbmp, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi,
                               UINT usage) {
    Guard g(GlobalLock());
    std::shared_ptr<Bitmap> b = Bitmaps().Get(hbmp);
    if (!b || !bmi || (hdc && !DCs().Valid(hdc))) return 0;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (h.biBitCount == 0) {
        // Describe the bitmap itself.
        h.biWidth = b->px.width;
        h.biHeight = b->dib && !b->px.bottomUp ? -b->px.height : b->px.height;
        h.biPlanes = 1;
        h.biBitCount = WORD(b->px.bpp);
        h.biCompression = (b->dib && b->px.bitfields) ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = DWORD(PixelStore::StrideFor(b->px.width, b->px.bpp)) * DWORD(b->px.height);
        h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
        h.biClrUsed = b->px.bpp <= 8 ? DWORD(b->px.palette.size()) : 0;
        h.biClrImportant = 0;
        if (h.biCompression == BI_BITFIELDS) std::memcpy(bmi->bmiColors, b->px.masks, 12);
        return 1;
    }
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return 0;
    if (h.biWidth <= 0 || h.biHeight == 0) return 0;
    h.biPlanes = 1;
    h.biSizeImage = DWORD(PixelStore::StrideFor(h.biWidth, bpp)) * DWORD(std::abs(h.biHeight));
    std::vector<uint32_t> table;
    if (bpp <= 8) {
        table = TableFor(*b, bpp);
        if (usage == DIB_RGB_COLORS) {
            for (size_t i = 0; i < table.size(); ++i) {
                RGBQUAD q{BYTE(table[i]), BYTE(table[i] >> 8), BYTE(table[i] >> 16), 0};
                std::memcpy(reinterpret_cast<uint8_t*>(bmi->bmiColors) + i * 4, &q, 4);
            }
        }
        h.biClrUsed = 0;
    } else if (h.biCompression == BI_BITFIELDS) {
        uint32_t* m = reinterpret_cast<uint32_t*>(bmi->bmiColors);
        if (!m[0] || !m[1] || !m[2]) {
            if (bpp == 16) {
                m[0] = 0xF800;
                m[1] = 0x07E0;
                m[2] = 0x001F;
            } else {
                m[0] = 0xFF0000;
                m[1] = 0xFF00;
                m[2] = 0xFF;
            }
        }
    }
    if (!bits) return int(std::abs(h.biHeight));
    PixelStore out;
    if (!DibView(bmi, DIB_RGB_COLORS, bits, int(lines), out)) return 0;
    if (bpp <= 8) out.palette = table;
    int dibH = std::abs(h.biHeight);
    bool bottomUp = h.biHeight > 0;
    if (start >= UINT(dibH)) return 0;
    lines = std::min<UINT>(lines, UINT(dibH) - start);
    int w = std::min(out.width, b->px.width);
    std::vector<uint32_t> row(size_t(out.width), 0);
    int done = 0;
    for (UINT i = 0; i < lines; ++i) {
        int scan = int(start + i);
        int imageRow = bottomUp ? dibH - 1 - scan : scan;
        int y = bottomUp ? imageRow - (dibH - b->px.height) : imageRow;
        std::fill(row.begin(), row.end(), 0u);
        if (y >= 0 && y < b->px.height) {
            b->px.ReadRow(y, 0, w, row.data());
            ++done;
        }
        std::memset(out.RowBytes(int(i)), 0, size_t(out.stride));
        out.WriteRow(int(i), 0, out.width, row.data());
    }
    return done;
}

WINGDIAPI int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                                       UINT startScan, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> dst = GetDC(hdc);
    if (!dst || !bits || !bmi || lines == 0) return 0;
    PixelStore view;
    if (!DibView(bmi, usage, bits, int(lines), view)) return 0;
    bool bottomUp = bmi->bmiHeader.biHeight > 0;
    view.bottomUp = bottomUp;  // band row y is scan startScan + (lines - 1 - y) when bottom-up
    int ys = bottomUp ? int(startScan) + int(lines) - ySrc - int(h) : ySrc - int(startScan);
    BlitFrom(dst, xDest, yDest, int(w), int(h), DcOverView(view), xSrc, ys, int(w), int(h), SRCCOPY, false);
    return int(lines);
}

WINGDIAPI int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                                   int hSrc, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> dst = GetDC(hdc);
    if (!dst || !bmi) return 0;
    int dibH = std::abs(bmi->bmiHeader.biHeight);
    if (!bits) return 0;
    PixelStore view;
    if (!DibView(bmi, usage, bits, dibH, view)) return 0;
    view.bottomUp = bmi->bmiHeader.biHeight > 0;
    // Bottom-up source rectangles are measured from the image's bottom edge.
    int ys = view.bottomUp ? dibH - ySrc - hSrc : ySrc;
    if (!BlitFrom(dst, xDest, yDest, wDest, hDest, DcOverView(view), xSrc, ys, wSrc, hSrc, rop, true)) return 0;
    return std::abs(hSrc);
}

WINGDIAPI UINT WINAPI GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !colors || !d->st.bitmapObj || !d->st.bitmapObj->dib) return 0;
    const auto& pal = d->st.bitmapObj->px.palette;
    UINT n = 0;
    for (UINT i = start; i < pal.size() && n < count; ++i, ++n)
        colors[n] = RGBQUAD{BYTE(pal[i]), BYTE(pal[i] >> 8), BYTE(pal[i] >> 16), 0};
    return n;
}

WINGDIAPI UINT WINAPI SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !colors || !d->st.bitmapObj || !d->st.bitmapObj->dib) return 0;
    auto& pal = d->st.bitmapObj->px.palette;
    UINT n = 0;
    for (UINT i = start; i < pal.size() && n < count; ++i, ++n)
        pal[i] = (uint32_t(colors[n].rgbRed) << 16) | (uint32_t(colors[n].rgbGreen) << 8) | colors[n].rgbBlue;
    return n;
}
