// Icons and cursors from their stored form: an image (a DIB with its AND mask, of any depth)
// and .ico/.cur files holding several images, of which the one nearest the size asked is used.
#include "user/icon_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "windlg.h"

namespace plat::user {
namespace {

constexpr int kMaxSide = 1024;
constexpr size_t kMaxFile = size_t(16) << 20;

template <typename T>
T Read(const BYTE* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The colour image as a 32-bit bottom-up DIB section; other depths go through SetDIBits.
HBITMAP ColourImage(const BITMAPINFOHEADER& h, const BYTE* header, size_t colours, const BYTE* bits, int w, int ht) {
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + colours * 4);
    BITMAPINFOHEADER one = h;
    one.biSize = sizeof(BITMAPINFOHEADER);
    one.biHeight = ht;  // the colour rows only
    one.biCompression = 0;
    one.biSizeImage = 0;
    one.biClrUsed = DWORD(colours);
    std::memcpy(info.data(), &one, sizeof one);
    if (colours) std::memcpy(info.data() + sizeof one, header + h.biSize, colours * 4);
    BITMAPINFO out{};
    out.bmiHeader = one;
    out.bmiHeader.biBitCount = 32;
    out.bmiHeader.biClrUsed = 0;
    void* px = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &px, nullptr, 0);
    if (!bm || !px) {
        if (bm) DeleteObject(bm);
        return nullptr;
    }
    if (h.biBitCount == 32) {
        std::memcpy(px, bits, size_t(w) * 4 * size_t(ht));  // keeps the alpha channel
        return bm;
    }
    HDC screen = GetDC(nullptr);
    int lines = SetDIBits(screen, bm, 0, UINT(ht), bits, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != ht) {
        DeleteObject(bm);
        return nullptr;
    }
    return bm;
}

struct Entry {
    int w, h, bpp;
    POINT hot;
    DWORD size, offset;
};

// The entries of an .ico/.cur file whose image lies inside it; `cursor` tells which it is.
bool Directory(const std::vector<BYTE>& f, std::vector<Entry>* out, bool* cursor) {
    if (f.size() < 6 || Read<WORD>(&f[0]) != 0) return false;
    WORD type = Read<WORD>(&f[2]), count = Read<WORD>(&f[4]);
    if ((type != 1 && type != 2) || count == 0 || f.size() < 6 + size_t(count) * 16) return false;
    *cursor = type == 2;
    for (size_t i = 0; i < count; ++i) {
        const BYTE* e = &f[6 + i * 16];
        Entry en{e[0] ? e[0] : 256, e[1] ? e[1] : 256, Read<WORD>(e + 6),
                 POINT{Read<WORD>(e + 4), Read<WORD>(e + 6)}, Read<DWORD>(e + 8), Read<DWORD>(e + 12)};
        if (en.offset > f.size() || en.size > f.size() - en.offset || en.size < sizeof(BITMAPINFOHEADER)) continue;
        // Images stored as PNG are not read here.
        if (std::memcmp(&f[en.offset], "\x89PNG", 4) == 0) continue;
        BITMAPINFOHEADER h = Read<BITMAPINFOHEADER>(&f[en.offset]);
        en.bpp = h.biBitCount;  // the directory's count is unreliable (and a hot spot for cursors)
        out->push_back(en);
    }
    return !out->empty();
}

// As the resource loader chooses: the exact size, else the nearest larger, else the nearest
// smaller (the largest when both sizes are 0); the deepest colour among equals.
const Entry& Choose(const std::vector<Entry>& es, int cx, int cy) {
    const Entry* best = &es[0];
    auto score = [&](const Entry& e) {
        if (cx <= 0 && cy <= 0) return -long(e.w) * e.h;
        long dx = e.w - (cx > 0 ? cx : e.w), dy = e.h - (cy > 0 ? cy : e.h);
        return (dx < 0 || dy < 0 ? 100000L : 0L) + std::labs(dx) + std::labs(dy);
    };
    for (const Entry& e : es) {
        long s = score(e), b = score(*best);
        if (s < b || (s == b && e.bpp > best->bpp)) best = &e;
    }
    return *best;
}

bool ReadFile(const char* path, std::vector<BYTE>* out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    BYTE buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && out->size() <= kMaxFile) out->insert(out->end(), buf, buf + n);
    std::fclose(f);
    return out->size() <= kMaxFile;
}

}  // namespace

HICON IconFromDib(const BYTE* p, size_t size, POINT hot, bool icon) {
    if (!p || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER h = Read<BITMAPINFOHEADER>(p);
    int w = h.biWidth, ht = h.biHeight / 2;
    int bpp = h.biBitCount;
    if (h.biSize < sizeof h || h.biSize > size || w <= 0 || ht <= 0 || w > kMaxSide || ht > kMaxSide) return nullptr;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
    if (h.biCompression != 0) return nullptr;
    size_t colours = bpp <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : (1u << bpp)) : 0;
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4, mask_stride = ((size_t(w) + 31) / 32) * 4;
    size_t need = h.biSize + colours * 4 + stride * size_t(ht) + mask_stride * size_t(ht);
    if (need > size) return nullptr;
    const BYTE* xor_bits = p + h.biSize + colours * 4;
    const BYTE* and_bits = xor_bits + stride * size_t(ht);
    HBITMAP colour_bm = ColourImage(h, p, colours, xor_bits, w, ht);
    if (!colour_bm) return nullptr;
    // CreateBitmap wants top-down rows padded to 16 bits.
    size_t mono_stride = ((size_t(w) + 15) / 16) * 2;
    std::vector<BYTE> mono(mono_stride * size_t(ht), 0);
    for (int y = 0; y < ht; ++y)
        std::memcpy(&mono[size_t(y) * mono_stride], and_bits + size_t(ht - 1 - y) * mask_stride, (size_t(w) + 7) / 8);
    HBITMAP mask_bm = CreateBitmap(w, ht, 1, 1, mono.data());
    ICONINFO ii{};
    ii.fIcon = icon;
    // Icons keep their hot spot in the middle: callers read an icon's size as twice the hot spot.
    ii.xHotspot = icon ? DWORD(w / 2) : DWORD(hot.x);
    ii.yHotspot = icon ? DWORD(ht / 2) : DWORD(hot.y);
    ii.hbmMask = mask_bm;
    ii.hbmColor = colour_bm;
    HICON result = mask_bm ? CreateIconIndirect(&ii) : nullptr;
    DeleteObject(colour_bm);
    if (mask_bm) DeleteObject(mask_bm);
    return result;
}

HICON LoadIconFile(const char* path, int cx, int cy, bool icon) {
    std::vector<BYTE> f;
    std::vector<Entry> entries;
    bool cursor = false;
    if (!path || !ReadFile(path, &f) || !Directory(f, &entries, &cursor)) return nullptr;
    const Entry& e = Choose(entries, cx, cy);
    HICON img = IconFromDib(&f[e.offset], e.size, cursor ? e.hot : POINT{0, 0}, icon);
    if (!img) return nullptr;
    int want_w = cx > 0 ? cx : e.w, want_h = cy > 0 ? cy : e.h;
    ICONINFO ii{};
    if (!GetIconInfo(img, &ii)) return img;
    BITMAP bm{};
    GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (bm.bmWidth == want_w && (ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2) == want_h) return img;
    // Stretched to the size asked, as the platform does with a file lacking that size.
    return static_cast<HICON>(CopyImage(img, icon ? IMAGE_ICON : IMAGE_CURSOR, want_w, want_h, LR_COPYDELETEORG));
}

}  // namespace plat::user
