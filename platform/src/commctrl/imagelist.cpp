// Image lists. Each image is stored as cx*cy pixels (0xAARRGGBB) plus, for ILC_MASK lists, one
// byte per pixel saying it is transparent. Drawing builds a premultiplied copy and alpha-blends it,
// so masked, alpha and opaque images all go through one path.
#include "commctrl/imagelist.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "commctrl/common.h"
#include "core/handles.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

struct Image {
    std::vector<uint32_t> px;    // colour, alpha 0xFF unless the image carries its own alpha
    std::vector<uint8_t> clear;  // 1 = transparent (masked lists only)
    bool alpha = false;          // px holds meaningful per-pixel alpha
};

struct ImageList {
    int cx = 0, cy = 0;
    UINT flags = 0;
    int grow = 4;
    COLORREF bk = CLR_NONE;
    std::vector<Image> images;
    int overlays[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    HBITMAP strip = nullptr, strip_mask = nullptr;  // built on demand for GetImageInfo
    bool masked() const { return flags & ILC_MASK; }
    ~ImageList() {
        if (strip) DeleteObject(strip);
        if (strip_mask) DeleteObject(strip_mask);
    }
};

HandleTable<ImageList>& Lists() {
    static auto* t = new HandleTable<ImageList>(HandleKind::ImageList);
    return *t;
}

std::shared_ptr<ImageList> Get(HIMAGELIST h) { return Lists().Get(h); }

// Reads a bitmap as top-down 32-bit pixels.
bool ReadBitmap(HBITMAP bmp, int* w, int* h, std::vector<uint32_t>* px) {
    BITMAP bm{};
    if (!bmp || !GetObjectA(bmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    px->assign(size_t(bm.bmWidth) * size_t(bm.bmHeight), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    int got = GetDIBits(dc, bmp, 0, UINT(bm.bmHeight), px->data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (got <= 0) return false;
    *w = bm.bmWidth;
    *h = bm.bmHeight;
    if (bm.bmBitsPixel != 32)
        for (auto& p : *px) p |= 0xFF000000u;
    return true;
}

uint32_t FromColorref(COLORREF c) {
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
bool SameRgb(uint32_t p, COLORREF c) { return (p & 0xFFFFFF) == (FromColorref(c) & 0xFFFFFF); }

// Cuts a strip (w x h) into images of the list's size; pixels outside the strip stay clear.
std::vector<Image> Cut(const ImageList& l, const std::vector<uint32_t>& px, int w, int h,
                       const std::vector<uint32_t>* mask, bool keep_alpha) {
    std::vector<Image> out;
    int n = std::max(1, w / std::max(1, l.cx));
    bool alpha = false;
    if (keep_alpha)
        for (uint32_t p : px)
            if ((p >> 24) != 0xFF) alpha = true;
    if (keep_alpha && alpha) {
        bool all_zero = std::all_of(px.begin(), px.end(), [](uint32_t p) { return (p >> 24) == 0; });
        if (all_zero) alpha = false;  // a 32-bit bitmap without alpha
    }
    for (int k = 0; k < n; ++k) {
        Image im;
        im.px.assign(size_t(l.cx) * size_t(l.cy), 0xFF000000u);
        im.clear.assign(l.masked() ? im.px.size() : 0, 0);
        im.alpha = alpha;
        for (int y = 0; y < l.cy; ++y)
            for (int x = 0; x < l.cx; ++x) {
                int sx = k * l.cx + x;
                size_t d = size_t(y) * size_t(l.cx) + size_t(x);
                if (sx >= w || y >= h) {
                    if (l.masked()) im.clear[d] = 1;
                    continue;
                }
                uint32_t p = px[size_t(y) * size_t(w) + size_t(sx)];
                im.px[d] = alpha ? p : (p | 0xFF000000u);
                if (l.masked() && mask) {
                    bool c = ((*mask)[size_t(y) * size_t(w) + size_t(sx)] & 0xFFFFFF) != 0;
                    im.clear[d] = c;
                    if (c) im.px[d] = 0xFF000000u & (alpha ? 0 : 0xFF000000u);
                }
            }
        out.push_back(std::move(im));
    }
    return out;
}

void DropStrip(ImageList& l) {
    if (l.strip) DeleteObject(l.strip);
    if (l.strip_mask) DeleteObject(l.strip_mask);
    l.strip = l.strip_mask = nullptr;
}

HBITMAP MakeDib(int w, int h, const uint32_t* px) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (b && bits && px) memcpy(bits, px, size_t(w) * size_t(h) * 4);
    return b;
}

// A monochrome bitmap: set bits are transparent pixels.
HBITMAP MakeMask(int w, int h, const std::vector<uint8_t>& clear, int stride_px, int x0) {
    int row = ((w + 15) / 16) * 2;
    std::vector<uint8_t> bits(size_t(row) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!clear.empty() && clear[size_t(y) * size_t(stride_px) + size_t(x0 + x)])
                bits[size_t(y) * size_t(row) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    return CreateBitmap(w, h, 1, 1, bits.data());
}

int Append(ImageList& l, std::vector<Image> add) {
    if (add.empty()) return -1;
    int first = int(l.images.size());
    for (auto& im : add) l.images.push_back(std::move(im));
    DropStrip(l);
    return first;
}

uint32_t Blend(uint32_t p, COLORREF with, int percent) {
    auto ch = [&](int shift, int c) {
        int v = int((p >> shift) & 0xFF);
        return uint32_t((v * (100 - percent) + c * percent) / 100) << shift;
    };
    return (p & 0xFF000000u) | ch(16, GetRValue(with)) | ch(8, GetGValue(with)) | ch(0, GetBValue(with));
}

}  // namespace

bool ImageListSize(HIMAGELIST himl, int* cx, int* cy) {
    auto l = Get(himl);
    if (!l) return false;
    *cx = l->cx;
    *cy = l->cy;
    return true;
}

bool DrawImage(const IMAGELISTDRAWPARAMS& p) {
    std::vector<uint32_t> buf;
    int w = 0, h = 0;
    // Asked before the lock is taken: a skin may answer the system colours under its own lock,
    // which it holds while it asks about windows.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    {
        Guard g(GlobalLock());
        auto l = Get(p.himl);
        if (!l || p.i < 0 || p.i >= int(l->images.size()) || !p.hdcDst) return false;
        const Image& im = l->images[size_t(p.i)];
        int xs = std::max(0, p.xBitmap), ys = std::max(0, p.yBitmap);
        w = p.cx > 0 ? std::min(p.cx, l->cx - xs) : l->cx - xs;
        h = p.cy > 0 ? std::min(p.cy, l->cy - ys) : l->cy - ys;
        if (w <= 0 || h <= 0) return true;
        COLORREF bk = p.rgbBk == CLR_DEFAULT ? l->bk : p.rgbBk;
        if (p.fStyle & ILD_TRANSPARENT) bk = CLR_NONE;
        COLORREF fg = p.rgbFg == CLR_DEFAULT || p.rgbFg == CLR_NONE ? highlight : p.rgbFg;
        int blend = (p.fStyle & ILD_BLEND50) ? 50 : (p.fStyle & ILD_BLEND25) ? 25 : 0;
        int ov = int((p.fStyle & ILD_OVERLAYMASK) >> 8);
        const Image* over = nullptr;
        if (ov > 0 && ov < 16 && l->overlays[ov] >= 0 && l->overlays[ov] < int(l->images.size()))
            over = &l->images[size_t(l->overlays[ov])];
        buf.resize(size_t(w) * size_t(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                size_t s = size_t(y + ys) * size_t(l->cx) + size_t(x + xs);
                bool clear = !im.clear.empty() && im.clear[s];
                uint32_t c = im.px[s];
                if (over && !(over->clear.size() && over->clear[s])) {
                    c = over->px[s] | 0xFF000000u;
                    clear = false;
                }
                uint32_t out;
                if (p.fStyle & ILD_MASK) {
                    out = clear ? 0xFFFFFFFFu : 0xFF000000u;
                } else if (clear) {
                    out = bk == CLR_NONE ? 0 : FromColorref(bk);
                } else {
                    if (blend) c = Blend(c, fg, blend);
                    if (im.alpha) {  // premultiply for the blend
                        uint32_t a = c >> 24;
                        auto pm = [&](int sh) { return (((c >> sh) & 0xFF) * a / 255) << sh; };
                        out = (a << 24) | pm(16) | pm(8) | pm(0);
                        if (bk != CLR_NONE && a != 0xFF) {
                            uint32_t b = FromColorref(bk), ia = 255 - a;
                            auto mix = [&](int sh) { return ((((b >> sh) & 0xFF) * ia / 255) << sh); };
                            out = 0xFF000000u | (out + (mix(16) | mix(8) | mix(0)));
                        }
                    } else {
                        out = c | 0xFF000000u;
                    }
                }
                buf[size_t(y) * size_t(w) + size_t(x)] = out;
            }
    }
    HBITMAP dib = MakeDib(w, h, buf.data());
    if (!dib) return false;
    HDC mem = CreateCompatibleDC(p.hdcDst);
    HGDIOBJ old = SelectObject(mem, dib);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    BOOL ok = AlphaBlend(p.hdcDst, p.x, p.y, w, h, mem, 0, 0, w, h, bf);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return ok;
}

}  // namespace plat::commctrl

using namespace plat;
using namespace plat::commctrl;

WINCOMMCTRLAPI HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (cx <= 0 || cy <= 0 || initial < 0) return nullptr;
    auto l = std::make_shared<ImageList>();
    l->cx = cx;
    l->cy = cy;
    l->flags = flags;
    l->grow = std::max(1, grow);
    l->images.reserve(size_t(initial));
    return Lists().Add<HIMAGELIST>(l);
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_Destroy(HIMAGELIST himl) { return Lists().Remove(himl) != nullptr; }

WINCOMMCTRLAPI int WINAPI ImageList_GetImageCount(HIMAGELIST himl) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    return l ? int(l->images.size()) : 0;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_SetImageCount(HIMAGELIST himl, UINT count) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return FALSE;
    Image blank;
    blank.px.assign(size_t(l->cx) * size_t(l->cy), 0xFF000000u);
    blank.clear.assign(l->masked() ? blank.px.size() : 0, 1);
    l->images.resize(count, blank);
    DropStrip(*l);
    return TRUE;
}

WINCOMMCTRLAPI int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask) {
    std::vector<uint32_t> px, mpx;
    int w, h, mw, mh;
    if (!ReadBitmap(image, &w, &h, &px)) return -1;
    bool has_mask = mask && ReadBitmap(mask, &mw, &mh, &mpx) && mw >= w && mh >= h;
    if (has_mask && mw != w) {  // align the mask rows with the image's
        std::vector<uint32_t> m(size_t(w) * size_t(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) m[size_t(y) * size_t(w) + size_t(x)] = mpx[size_t(y) * size_t(mw) + size_t(x)];
        mpx.swap(m);
    }
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return -1;
    bool keep_alpha = (l->flags & 0xFE) == ILC_COLOR32;
    return Append(*l, Cut(*l, px, w, h, has_mask ? &mpx : nullptr, keep_alpha));
}

WINCOMMCTRLAPI int WINAPI ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF mask) {
    std::vector<uint32_t> px;
    int w, h;
    if (!ReadBitmap(image, &w, &h, &px)) return -1;
    std::vector<uint32_t> m(px.size(), 0);
    for (size_t k = 0; k < px.size(); ++k) m[k] = SameRgb(px[k], mask) ? 0xFFFFFFu : 0;
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return -1;
    if (!l->masked()) {
        // Without a mask the colour still goes: it becomes black, as a masked blit would leave it.
        for (size_t k = 0; k < px.size(); ++k)
            if (m[k]) px[k] = 0xFF000000u;
    }
    return Append(*l, Cut(*l, px, w, h, &m, false));
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask) {
    std::vector<uint32_t> px, mpx;
    int w, h, mw, mh;
    if (!ReadBitmap(image, &w, &h, &px)) return FALSE;
    bool has_mask = mask && ReadBitmap(mask, &mw, &mh, &mpx) && mw == w && mh == h;
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l || i < 0 || i >= int(l->images.size())) return FALSE;
    auto cut = Cut(*l, px, w, h, has_mask ? &mpx : nullptr, (l->flags & 0xFE) == ILC_COLOR32);
    l->images[size_t(i)] = std::move(cut[0]);
    DropStrip(*l);
    return TRUE;
}

WINCOMMCTRLAPI int WINAPI ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON icon) {
    ICONINFO ii{};
    if (!icon || !GetIconInfo(icon, &ii)) return -1;
    std::vector<uint32_t> px, mpx;
    int w = 0, h = 0, mw = 0, mh = 0;
    bool ok = ReadBitmap(ii.hbmColor, &w, &h, &px);
    bool has_mask = ReadBitmap(ii.hbmMask, &mw, &mh, &mpx);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    if (!ok && has_mask && mh >= 2) {
        // A monochrome icon: the mask's top half is the AND mask, its bottom half the image.
        h = mh / 2;
        w = mw;
        px.assign(mpx.begin() + std::ptrdiff_t(size_t(w) * size_t(h)), mpx.end());
        for (auto& p : px) p |= 0xFF000000u;
        mpx.resize(size_t(w) * size_t(h));
        mh = h;
        ok = true;
    }
    if (!ok) return -1;
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l || i < -1 || i >= int(l->images.size())) return -1;
    // Icons are scaled (nearest pixel) to the list's size.
    bool alpha = std::any_of(px.begin(), px.end(), [](uint32_t p) { return (p >> 24) != 0 && (p >> 24) != 0xFF; }) ||
                 (std::any_of(px.begin(), px.end(), [](uint32_t p) { return (p >> 24) == 0; }) &&
                  !std::all_of(px.begin(), px.end(), [](uint32_t p) { return (p >> 24) == 0; }));
    Image im;
    im.px.resize(size_t(l->cx) * size_t(l->cy));
    im.clear.assign(l->masked() ? im.px.size() : 0, 0);
    im.alpha = alpha;
    for (int y = 0; y < l->cy; ++y)
        for (int x = 0; x < l->cx; ++x) {
            int sx = x * w / l->cx, sy = y * h / l->cy;
            uint32_t p = px[size_t(sy) * size_t(w) + size_t(sx)];
            bool clear = has_mask && sy < mh && sx < mw && (mpx[size_t(sy) * size_t(mw) + size_t(sx)] & 0xFFFFFF);
            if (alpha) clear = clear && (p >> 24) == 0;
            size_t d = size_t(y) * size_t(l->cx) + size_t(x);
            im.px[d] = alpha ? p : (p | 0xFF000000u);
            if (clear && l->masked()) im.clear[d] = 1;
        }
    DropStrip(*l);
    if (i == -1) {
        l->images.push_back(std::move(im));
        return int(l->images.size()) - 1;
    }
    l->images[size_t(i)] = std::move(im);
    return i;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return FALSE;
    if (i == -1) {
        l->images.clear();
    } else {
        if (i < 0 || i >= int(l->images.size())) return FALSE;
        l->images.erase(l->images.begin() + i);
    }
    DropStrip(*l);
    return TRUE;
}

WINCOMMCTRLAPI COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST himl, COLORREF bk) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return CLR_NONE;
    COLORREF old = l->bk;
    l->bk = bk;
    return old;
}

WINCOMMCTRLAPI COLORREF WINAPI ImageList_GetBkColor(HIMAGELIST himl) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    return l ? l->bk : CLR_NONE;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_SetOverlayImage(HIMAGELIST himl, int image, int overlay) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l || overlay < 1 || overlay > 15 || image < 0 || image >= int(l->images.size())) return FALSE;
    l->overlays[overlay] = image;
    return TRUE;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_DrawIndirect(IMAGELISTDRAWPARAMS* params) {
    if (!params) return FALSE;
    return DrawImage(*params);
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdc, int x, int y, int dx, int dy,
                                            COLORREF bk, COLORREF fg, UINT style) {
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof p;
    p.himl = himl;
    p.i = i;
    p.hdcDst = hdc;
    p.x = x;
    p.y = y;
    p.cx = dx;
    p.cy = dy;
    p.rgbBk = bk;
    p.rgbFg = fg;
    p.fStyle = style;
    p.dwRop = SRCCOPY;
    return DrawImage(p);
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdc, int x, int y, UINT style) {
    return ImageList_DrawEx(himl, i, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

WINCOMMCTRLAPI HICON WINAPI ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags) {
    (void)flags;
    std::vector<uint32_t> px;
    std::vector<uint8_t> clear;
    int cx, cy;
    {
        Guard g(GlobalLock());
        auto l = Get(himl);
        if (!l || i < 0 || i >= int(l->images.size())) return nullptr;
        cx = l->cx;
        cy = l->cy;
        px = l->images[size_t(i)].px;
        clear = l->images[size_t(i)].clear;
        if (!l->images[size_t(i)].alpha)
            for (size_t k = 0; k < px.size(); ++k)
                if (!clear.empty() && clear[k]) px[k] = 0;
    }
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmColor = MakeDib(cx, cy, px.data());
    ii.hbmMask = MakeMask(cx, cy, clear, cx, 0);
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return icon;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    if (!cx || !cy) return FALSE;
    return ImageListSize(himl, cx, cy) ? TRUE : FALSE;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l || cx <= 0 || cy <= 0) return FALSE;
    l->cx = cx;
    l->cy = cy;
    l->images.clear();  // the images no longer fit
    DropStrip(*l);
    return TRUE;
}

WINCOMMCTRLAPI BOOL WINAPI ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* info) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l || !info || i < 0 || i >= int(l->images.size())) return FALSE;
    if (!l->strip) {
        // One strip of all images, as the list's own bitmaps; they belong to the list.
        int n = int(l->images.size());
        std::vector<uint32_t> all(size_t(l->cx) * size_t(n) * size_t(l->cy));
        std::vector<uint8_t> clear(l->masked() ? all.size() : 0, 0);
        for (int k = 0; k < n; ++k)
            for (int y = 0; y < l->cy; ++y)
                for (int x = 0; x < l->cx; ++x) {
                    size_t s = size_t(y) * size_t(l->cx) + size_t(x);
                    size_t d = size_t(y) * size_t(l->cx) * size_t(n) + size_t(k * l->cx + x);
                    all[d] = l->images[size_t(k)].px[s];
                    if (l->masked()) clear[d] = l->images[size_t(k)].clear[s];
                }
        l->strip = MakeDib(l->cx * n, l->cy, all.data());
        if (l->masked()) l->strip_mask = MakeMask(l->cx * n, l->cy, clear, l->cx * n, 0);
    }
    info->hbmImage = l->strip;
    info->hbmMask = l->strip_mask;
    info->Unused1 = info->Unused2 = 0;
    info->rcImage = RECT{i * l->cx, 0, (i + 1) * l->cx, l->cy};
    return TRUE;
}

WINCOMMCTRLAPI HIMAGELIST WINAPI ImageList_LoadImageA(HINSTANCE hi, LPCSTR name, int cx, int grow, COLORREF mask,
                                                      UINT type, UINT flags) {
    if (type != IMAGE_BITMAP) return nullptr;
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(hi, name, IMAGE_BITMAP, 0, 0, flags));
    if (!bmp) return nullptr;
    BITMAP bm{};
    GetObjectA(bmp, sizeof bm, &bm);
    if (cx <= 0) cx = bm.bmHeight;
    HIMAGELIST l = ImageList_Create(cx, bm.bmHeight, ILC_COLOR32 | (mask != CLR_NONE ? ILC_MASK : 0),
                                    std::max(1, bm.bmWidth / std::max(1, cx)), grow);
    if (l) {
        int r = mask != CLR_NONE ? ImageList_AddMasked(l, bmp, mask) : ImageList_Add(l, bmp, nullptr);
        if (r < 0) {
            ImageList_Destroy(l);
            l = nullptr;
        }
    }
    DeleteObject(bmp);
    return l;
}

WINCOMMCTRLAPI HIMAGELIST WINAPI ImageList_Duplicate(HIMAGELIST himl) {
    Guard g(GlobalLock());
    auto l = Get(himl);
    if (!l) return nullptr;
    auto c = std::make_shared<ImageList>();
    c->cx = l->cx;
    c->cy = l->cy;
    c->flags = l->flags;
    c->grow = l->grow;
    c->bk = l->bk;
    c->images = l->images;
    std::copy(std::begin(l->overlays), std::end(l->overlays), std::begin(c->overlays));
    return Lists().Add<HIMAGELIST>(c);
}

WINCOMMCTRLAPI HIMAGELIST WINAPI ImageList_Merge(HIMAGELIST a, int ia, HIMAGELIST b, int ib, int dx, int dy) {
    Guard g(GlobalLock());
    auto la = Get(a), lb = Get(b);
    if (!la || !lb || ia < 0 || ia >= int(la->images.size()) || ib < 0 || ib >= int(lb->images.size()))
        return nullptr;
    // The second image lies over the first at (dx, dy); the result is big enough for both.
    int x0 = std::min(0, dx), y0 = std::min(0, dy);
    int cx = std::max(la->cx, dx + lb->cx) - x0, cy = std::max(la->cy, dy + lb->cy) - y0;
    auto m = std::make_shared<ImageList>();
    m->cx = cx;
    m->cy = cy;
    m->flags = ILC_COLOR32 | ILC_MASK;
    Image im;
    im.px.assign(size_t(cx) * size_t(cy), 0xFF000000u);
    im.clear.assign(im.px.size(), 1);
    auto put = [&](const ImageList& l, const Image& s, int ox, int oy) {
        for (int y = 0; y < l.cy; ++y)
            for (int x = 0; x < l.cx; ++x) {
                size_t k = size_t(y) * size_t(l.cx) + size_t(x);
                if (!s.clear.empty() && s.clear[k]) continue;
                size_t d = size_t(y + oy) * size_t(cx) + size_t(x + ox);
                im.px[d] = s.px[k] | 0xFF000000u;
                im.clear[d] = 0;
            }
    };
    put(*la, la->images[size_t(ia)], -x0, -y0);
    put(*lb, lb->images[size_t(ib)], dx - x0, dy - y0);
    m->images.push_back(std::move(im));
    return Lists().Add<HIMAGELIST>(m);
}
