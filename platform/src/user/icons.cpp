// Icons: creation from mask and colour bitmaps, drawing with the mask, copying.
#include "user/icons.h"

#include <algorithm>

#include "gdi/dc.h"
#include "windows.h"

// Image kinds and load flags of CopyImage (declared with the resource loaders).
#ifndef IMAGE_BITMAP
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#endif
#ifndef LR_MONOCHROME
#define LR_MONOCHROME 0x00000001
#define LR_COPYDELETEORG 0x00000008
#define LR_CREATEDIBSECTION 0x00002000
#endif

namespace plat::gdi {

HandleTable<IconObj>& Icons() {
    static HandleTable<IconObj> t(HandleKind::Icon);
    return t;
}

std::shared_ptr<Bitmap> CloneBitmap(const Bitmap& src) {
    auto b = Bitmap::MakeDevice(src.px.width, src.px.height, src.px.bpp == 1 ? 1 : 32);
    if (!b) return nullptr;
    std::vector<uint32_t> row(size_t(src.px.width));
    for (int y = 0; y < src.px.height; ++y) {
        src.px.ReadRow(y, 0, src.px.width, row.data());
        if (src.px.bpp == 1)
            for (auto& v : row) v = (v & 0xFFFFFF) == (src.px.palette.size() > 1 ? src.px.palette[1] & 0xFFFFFF : 0xFFFFFF) ? 0xFFFFFF : 0;
        b->px.WriteRow(y, 0, src.px.width, row.data());
    }
    return b;
}

namespace {

std::shared_ptr<DC> DcOver(const std::shared_ptr<Bitmap>& b) {
    auto dc = std::make_shared<DC>();
    dc->kind = DCKind::Memory;
    dc->st.bitmapObj = b;
    return dc;
}

HICON AddIcon(std::shared_ptr<IconObj> ic) { return Icons().Add<HICON>(std::move(ic)); }

}  // namespace
}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

WINUSERAPI HICON WINAPI CreateIconIndirect(PICONINFO info) {
    if (!info) return nullptr;
    Guard g(GlobalLock());
    std::shared_ptr<Bitmap> mask = Bitmaps().Get(info->hbmMask);
    std::shared_ptr<Bitmap> color = info->hbmColor ? Bitmaps().Get(info->hbmColor) : nullptr;
    if (!mask || (info->hbmColor && !color)) return nullptr;
    auto ic = std::make_shared<IconObj>();
    ic->isIcon = info->fIcon != 0;
    ic->hotspot = POINT{LONG(info->xHotspot), LONG(info->yHotspot)};
    // The icon keeps copies: the program may delete its bitmaps at once.
    ic->mask = Bitmap::MakeDevice(mask->px.width, mask->px.height, 1);
    if (!ic->mask) return nullptr;
    std::vector<uint32_t> row(size_t(mask->px.width));
    for (int y = 0; y < mask->px.height; ++y) {
        mask->px.ReadRow(y, 0, mask->px.width, row.data());
        // Monochrome source: 1 bits are white. Colour source: white pixels count as 1.
        for (auto& v : row) v = ((v & 0xFFFFFF) == 0xFFFFFF || (mask->px.bpp == 1 && mask->px.palette.size() > 1 && (v & 0xFFFFFF) == (mask->px.palette[1] & 0xFFFFFF))) ? 0xFFFFFF : 0;
        ic->mask->px.WriteRow(y, 0, mask->px.width, row.data());
    }
    ic->width = mask->px.width;
    ic->height = color ? mask->px.height : mask->px.height / 2;
    if (color) {
        ic->color = CloneBitmap(*color);
        if (!ic->color) return nullptr;
        ic->width = color->px.width;
        ic->height = color->px.height;
        if (color->px.bpp == 32)
            for (uint32_t v : ic->color->px.surface->pixels)
                if (v >> 24) {
                    ic->alpha = true;
                    break;
                }
    }
    if (ic->width <= 0 || ic->height <= 0) return nullptr;
    return AddIcon(ic);
}

WINUSERAPI BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info) {
    Locked<IconObj> ic(Icons(), icon);
    if (!ic || !info) return FALSE;
    info->fIcon = ic->isIcon;
    info->xHotspot = DWORD(ic->isIcon ? ic->width / 2 : ic->hotspot.x);
    info->yHotspot = DWORD(ic->isIcon ? ic->height / 2 : ic->hotspot.y);
    // The caller owns (and deletes) copies of the bitmaps.
    auto m = CloneBitmap(*ic->mask);
    info->hbmMask = m ? Bitmaps().Add<HBITMAP>(m) : nullptr;
    info->hbmColor = nullptr;
    if (ic->color) {
        auto c = CloneBitmap(*ic->color);
        info->hbmColor = c ? Bitmaps().Add<HBITMAP>(c) : nullptr;
    }
    return TRUE;
}

void plat::gdi::MarkIconShared(HICON icon) {
    if (IconObj* ic = Icons().GetRaw(icon)) ic->shared = true;
}

// Destroying a shared icon succeeds and leaves it for its other users.
WINUSERAPI BOOL WINAPI DestroyIcon(HICON icon) {
    Locked<IconObj> ic(Icons(), icon);
    if (!ic) return FALSE;
    if (!ic->shared) Icons().Remove(icon);
    return TRUE;
}

WINUSERAPI HICON WINAPI CopyIcon(HICON icon) {
    Locked<IconObj> ic(Icons(), icon);
    if (!ic) return nullptr;
    auto c = std::make_shared<IconObj>(*ic);
    c->mask = CloneBitmap(*ic->mask);
    if (ic->color) c->color = CloneBitmap(*ic->color);
    return AddIcon(c);
}

WINUSERAPI BOOL WINAPI DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker,
                                  UINT flags) {
    (void)step;
    Guard g(GlobalLock());
    std::shared_ptr<IconObj> ic = Icons().Get(icon);
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!ic || !d) return FALSE;
    if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
    if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? 32 : ic->width;
    if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? 32 : ic->height;
    std::shared_ptr<DC> target = d;
    int tx = x, ty = y;
    std::shared_ptr<Bitmap> off;
    if (flicker) {
        // Draw into an off-screen image filled with the brush, then copy it in one piece.
        std::shared_ptr<Brush> br = Brushes().Get(flicker);
        off = Bitmap::MakeDevice(cx, cy, 32);
        if (!br || !off) return FALSE;
        target = DcOver(off);
        Canvas cv(target);
        FillRectT(cv, RECT{0, 0, cx, cy}, BrushPaint(*target, br.get(), 32));
        tx = ty = 0;
    }
    // The mask converts with black for 0 and white for 1 whatever the DC's colours.
    COLORREF oldText = target->st.textColor, oldBk = target->st.bkColor;
    target->st.textColor = 0;
    target->st.bkColor = 0xFFFFFF;
    auto maskDc = DcOver(ic->mask);
    if (ic->color && ic->alpha && (flags & DI_IMAGE)) {
        // Premultiply a temporary copy, then blend it over the target.
        auto pre = CloneBitmap(*ic->color);
        for (uint32_t& v : pre->px.surface->pixels) {
            uint32_t a = v >> 24;
            uint32_t r = ((v >> 16) & 0xFF) * a / 255, gg = ((v >> 8) & 0xFF) * a / 255, b = (v & 0xFF) * a / 255;
            v = (a << 24) | (r << 16) | (gg << 8) | b;
        }
        Canvas cv(target);
        if (cv.ok) {
            RECT dr{tx + cv.ox(), ty + cv.oy(), tx + cv.ox() + cx, ty + cv.oy() + cy};
            std::vector<uint32_t> drow;
            for (const RECT& c : cv.clip->Rects()) {
                int x0 = std::max(c.left, dr.left), x1 = std::min(c.right, dr.right);
                int y0 = std::max(c.top, dr.top), y1 = std::min(c.bottom, dr.bottom);
                if (x1 <= x0) continue;
                drow.resize(size_t(x1 - x0));
                for (int yy = y0; yy < y1; ++yy) {
                    int sy = int((long long)(yy - dr.top) * ic->height / cy);
                    cv.px.ReadRow(yy, x0, x1 - x0, drow.data());
                    for (int xx = x0; xx < x1; ++xx) {
                        int sx = int((long long)(xx - dr.left) * ic->width / cx);
                        uint32_t s = pre->px.surface->pixels[size_t(sy) * size_t(ic->width) + size_t(sx)];
                        uint32_t a = s >> 24, dv = drow[size_t(xx - x0)], out = 0;
                        for (int sh = 0; sh < 24; sh += 8)
                            out |= std::min<uint32_t>(255, ((s >> sh) & 0xFF) + ((dv >> sh) & 0xFF) * (255 - a) / 255) << sh;
                        drow[size_t(xx - x0)] = out;
                    }
                    cv.px.WriteRow(yy, x0, x1 - x0, drow.data());
                }
            }
        }
    } else {
        if (flags & DI_MASK) BlitFrom(target, tx, ty, cx, cy, maskDc, 0, 0, ic->width, ic->height, SRCAND, true);
        if (flags & DI_IMAGE) {
            if (ic->color)
                BlitFrom(target, tx, ty, cx, cy, DcOver(ic->color), 0, 0, ic->width, ic->height,
                         (flags & DI_MASK) ? SRCINVERT : SRCCOPY, true);
            else
                BlitFrom(target, tx, ty, cx, cy, maskDc, 0, ic->height, ic->width, ic->height,
                         (flags & DI_MASK) ? SRCINVERT : SRCCOPY, true);
        }
    }
    target->st.textColor = oldText;
    target->st.bkColor = oldBk;
    if (off) BlitFrom(d, x, y, cx, cy, target, 0, 0, cx, cy, SRCCOPY, false);
    return TRUE;
}

WINUSERAPI BOOL WINAPI DrawIcon(HDC hdc, int x, int y, HICON icon) {
    return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

WINUSERAPI HANDLE WINAPI CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags) {
    Guard g(GlobalLock());
    if (type == IMAGE_BITMAP) {
        std::shared_ptr<Bitmap> src = Bitmaps().Get(h);
        if (!src) return nullptr;
        int w = cx > 0 ? cx : src->px.width, ht = cy > 0 ? cy : src->px.height;
        std::shared_ptr<Bitmap> out;
        if (flags & LR_CREATEDIBSECTION) {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            bi.bmiHeader.biWidth = w;
            bi.bmiHeader.biHeight = ht;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            out = Bitmap::MakeDib(&bi, DIB_RGB_COLORS, nullptr);
        } else {
            out = Bitmap::MakeDevice(w, ht, (flags & LR_MONOCHROME) || src->px.bpp == 1 ? 1 : 32);
        }
        if (!out) return nullptr;
        BlitFrom(DcOver(out), 0, 0, w, ht, DcOver(src), 0, 0, src->px.width, src->px.height, SRCCOPY, true);
        HBITMAP r = Bitmaps().Add<HBITMAP>(out);
        if (flags & LR_COPYDELETEORG) DeleteObject(h);
        return r;
    }
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        std::shared_ptr<IconObj> ic = Icons().Get(h);
        if (!ic) return nullptr;
        auto c = std::make_shared<IconObj>(*ic);
        int w = cx > 0 ? cx : ic->width, ht = cy > 0 ? cy : ic->height;
        c->width = w;
        c->height = ht;
        int maskH = ic->color ? ht : ht * 2;
        c->mask = Bitmap::MakeDevice(w, maskH, 1);
        if (!c->mask) return nullptr;
        BlitFrom(DcOver(c->mask), 0, 0, w, maskH, DcOver(ic->mask), 0, 0, ic->mask->px.width, ic->mask->px.height,
                 SRCCOPY, true);
        if (ic->color) {
            c->color = Bitmap::MakeDevice(w, ht, 32);
            if (!c->color) return nullptr;
            BlitFrom(DcOver(c->color), 0, 0, w, ht, DcOver(ic->color), 0, 0, ic->width, ic->height, SRCCOPY, true);
        }
        HICON r = AddIcon(c);
        if (flags & LR_COPYDELETEORG) DestroyIcon(HICON(h));
        return r;
    }
    return nullptr;
}
