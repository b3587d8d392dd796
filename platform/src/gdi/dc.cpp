// Device contexts: creation, the state stack, object selection, colours and modes, coordinate
// origins and clipping.
#include "gdi/dc.h"

#include <algorithm>
#include <atomic>
#include <strings.h>

#include <cstring>
#include <utility>

#include "gdi/screen.h"
#include "gdi/surface_dc.h"

namespace plat::gdi {

HandleTable<DC>& DCs() {
    static HandleTable<DC> t(HandleKind::DC);
    return t;
}

std::shared_ptr<DC> GetDC(HDC h) { return DCs().Get(h); }

namespace {
std::atomic<ScreenRectSource> g_screen_source{nullptr};
}  // namespace

void SetScreenRectSource(ScreenRectSource source) { g_screen_source.store(source); }
RECT ScreenRect() {
    ScreenRectSource source = g_screen_source.load();
    return source ? source() : RECT{0, 0, 1024, 768};
}

namespace {

template <typename T>
void Retain(const std::shared_ptr<T>& o) {
    if (o) ++o->selectedIn;
}
template <typename T>
void Drop(const std::shared_ptr<T>& o) {
    if (o && o->selectedIn > 0) --o->selectedIn;
}
// Puts `h` in a DC slot (handle and the object it names, `obj`), keeping the selection counts
// right; answers the handle it replaced, or null when `obj` named nothing.
template <typename H, typename T>
HGDIOBJ Reselect(H& handle, std::shared_ptr<T>& slot, HGDIOBJ h, std::shared_ptr<T> obj) {
    if (!obj) return nullptr;
    HGDIOBJ old = handle;
    Drop(slot);
    handle = H(h);
    slot = std::move(obj);
    Retain(slot);
    return old;
}

void RetainAll(DCState& s) {
    Retain(s.penObj);
    Retain(s.brushObj);
    Retain(s.fontObj);
    Retain(s.bitmapObj);
}
void DropAll(DCState& s) {
    Drop(s.penObj);
    Drop(s.brushObj);
    Drop(s.fontObj);
    Drop(s.bitmapObj);
}

void InitState(DCState& s, bool memory) {
    s.pen = HPEN(Stock(BLACK_PEN));
    s.penObj = Pens().Get(s.pen);
    s.brush = HBRUSH(Stock(WHITE_BRUSH));
    s.brushObj = Brushes().Get(s.brush);
    s.font = HFONT(Stock(SYSTEM_FONT));
    s.fontObj = Fonts().Get(s.font);
    s.palette = HPALETTE(Stock(DEFAULT_PALETTE));
    if (memory) {
        s.bitmap = DefaultBitmap();
        s.bitmapObj = Bitmaps().Get(s.bitmap);
    }
}

HDC AddDC(std::shared_ptr<DC> dc) {
    Guard g(GlobalLock());
    RetainAll(dc->st);
    return DCs().Add<HDC>(std::move(dc));
}

}  // namespace

int DC::Depth() const {
    if (kind == DCKind::Memory) return st.bitmapObj && st.bitmapObj->px.bpp == 1 ? 1 : 32;
    return 32;
}

bool DC::Target(PixelStore& out) const {
    if (kind == DCKind::Memory) {
        if (!st.bitmapObj) return false;
        const PixelStore& p = st.bitmapObj->px;
        // A view sharing the bitmap's bits (never a copy of its storage).
        out.width = p.width;
        out.height = p.height;
        out.bpp = p.bpp;
        out.stride = p.stride;
        out.bottomUp = p.bottomUp;
        out.bits = p.bits;
        out.palette = p.palette;
        std::memcpy(out.masks, p.masks, sizeof(out.masks));
        out.bitfields = p.bitfields;
        return out.bits != nullptr;
    }
    if (!surface || surface->width <= 0 || surface->height <= 0) return false;
    out = PixelStore();
    out.width = surface->width;
    out.height = surface->height;
    out.bpp = 32;
    out.stride = surface->width * 4;
    out.bits = reinterpret_cast<uint8_t*>(surface->pixels.data());
    return true;
}

const Region& DC::Clip() {
    int w = 0, h = 0;
    const void* bits = nullptr;
    if (kind == DCKind::Memory) {
        if (st.bitmapObj) {
            w = st.bitmapObj->px.width;
            h = st.bitmapObj->px.height;
            bits = st.bitmapObj.get();
        }
    } else if (surface) {
        w = surface->width;
        h = surface->height;
        bits = surface.get();
    }
    if (clipValid_ && w == cacheW_ && h == cacheH_ && bits == cacheBits_) return clipCache_;
    clipCache_.SetRect(RECT{0, 0, w, h});
    if (visible) clipCache_.Intersect(*visible);
    if (st.clip) {
        Region c = *st.clip;
        c.Offset(origin.x, origin.y);
        clipCache_.Intersect(c);
    }
    clipValid_ = true;
    cacheW_ = w;
    cacheH_ = h;
    cacheBits_ = bits;
    return clipCache_;
}

Canvas::Canvas(std::shared_ptr<DC> d) : dc(std::move(d)) {
    if (!dc) return;
    ok = dc->Target(px);
    if (ok) {
        clip = &dc->Clip();
        ok = !clip->Empty();
    }
}

// ---- the window system's side ---------------------------------------------------------------

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region* visible, HWND hwnd) {
    auto dc = std::make_shared<DC>();
    dc->kind = DCKind::Window;
    dc->surface = std::move(surface);
    dc->origin = origin;
    if (visible) dc->visible = *visible;
    dc->hwnd = hwnd;
    InitState(dc->st, false);
    return AddDC(std::move(dc));
}

bool SurfaceDCOffset(HDC hdc, POINT* offset) {
    Guard g(GlobalLock());
    DC* d = DCs().GetRaw(hdc);
    if (!d || d->kind != DCKind::Window) return false;
    *offset = POINT{d->OffX(), d->OffY()};
    return true;
}

bool ReleaseSurfaceDC(HDC hdc) {
    Locked<DC> d(DCs(), hdc);
    if (!d || d->kind != DCKind::Window) return false;
    DropAll(d->st);
    DCs().Remove(hdc);
    return true;
}

HWND WindowOfDC(HDC hdc) {
    Locked<DC> d(DCs(), hdc);
    return d ? d->hwnd : nullptr;
}

Region* RegionOf(HRGN hrgn) {
    Locked<RegionObj> r(Regions(), hrgn);
    return r ? &r->rgn : nullptr;
}

void SetSurfaceDCVisible(HDC hdc, const Region* visible) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return;
    if (visible)
        d->visible = *visible;
    else
        d->visible.reset();
    d->ClipChanged();
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

// ---- creation -------------------------------------------------------------------------------

WINGDIAPI HDC WINAPI CreateCompatibleDC(HDC hdc) {
    Guard g(GlobalLock());
    if (hdc && !DCs().Valid(hdc)) return nullptr;
    auto dc = std::make_shared<DC>();
    dc->kind = DCKind::Memory;
    InitState(dc->st, true);
    return AddDC(std::move(dc));
}

WINGDIAPI HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const void*) {
    // Only the screen exists: "DISPLAY" as driver or device.
    const char* name = driver ? driver : device;
    if (!name || strcasecmp(name, "DISPLAY") != 0) return nullptr;
    RECT s = ScreenRect();
    auto dc = std::make_shared<DC>();
    dc->kind = DCKind::Display;
    dc->surface = std::make_shared<Surface>(s.right - s.left, s.bottom - s.top, 0);
    InitState(dc->st, false);
    return AddDC(std::move(dc));
}

WINGDIAPI BOOL WINAPI DeleteDC(HDC hdc) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return FALSE;
    DropAll(d->st);
    DCs().Remove(hdc);
    return TRUE;
}

// ---- objects --------------------------------------------------------------------------------

WINGDIAPI HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ obj) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return nullptr;
    DCState& s = d->st;
    switch (KindOfHandle(obj)) {
        case HandleKind::Pen:
            return Reselect(s.pen, s.penObj, obj, Pens().Get(obj));
        case HandleKind::Brush:
            return Reselect(s.brush, s.brushObj, obj, Brushes().Get(obj));
        case HandleKind::Font:
            return Reselect(s.font, s.fontObj, obj, Fonts().Get(obj));
        case HandleKind::Bitmap: {
            if (d->kind != DCKind::Memory) return nullptr;
            auto b = Bitmaps().Get(obj);
            if (!b) return nullptr;
            if (b == s.bitmapObj) return obj;
            // A bitmap lives in one memory DC at a time (the shared default excepted).
            if (b->selectedIn > 0 && !b->stock) return nullptr;
            HGDIOBJ old = s.bitmap;
            Drop(s.bitmapObj);
            s.bitmap = HBITMAP(obj);
            s.bitmapObj = b;
            Retain(b);
            // Selecting a bitmap resets the clip to the whole bitmap.
            s.clip.reset();
            d->ClipChanged();
            return old;
        }
        case HandleKind::Region: {
            RegionObj* r = Regions().GetRaw(obj);
            if (!r) return nullptr;
            int kind = SelectClipRgn(hdc, HRGN(obj));
            return reinterpret_cast<HGDIOBJ>(intptr_t(kind));
        }
        default: return nullptr;
    }
}

WINGDIAPI HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return nullptr;
    switch (type) {
        case OBJ_PEN: return d->st.pen;
        case OBJ_BRUSH: return d->st.brush;
        case OBJ_FONT: return d->st.font;
        case OBJ_BITMAP: return d->st.bitmap;
        case OBJ_PAL: return d->st.palette;
        default: return nullptr;
    }
}

WINGDIAPI HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE pal, BOOL) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !Palettes().Valid(pal)) return nullptr;
    HPALETTE old = d->st.palette;
    d->st.palette = pal;
    return old;
}

WINGDIAPI UINT WINAPI RealizePalette(HDC hdc) { return DCs().Valid(hdc) ? 0 : GDI_ERROR; }

// ---- state stack ----------------------------------------------------------------------------

WINGDIAPI int WINAPI SaveDC(HDC hdc) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return 0;
    d->saved.push_back(d->st);
    RetainAll(d->saved.back());
    return int(d->saved.size());
}

WINGDIAPI BOOL WINAPI RestoreDC(HDC hdc, int which) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return FALSE;
    int n = int(d->saved.size());
    int target = which < 0 ? n + which + 1 : which;  // -1 is the most recent
    if (target < 1 || target > n) return FALSE;
    // A restored bitmap may meanwhile be selected elsewhere; refuse as selection would.
    DCState& want = d->saved[size_t(target - 1)];
    if (d->kind == DCKind::Memory && want.bitmapObj && want.bitmapObj != d->st.bitmapObj && !want.bitmapObj->stock &&
        want.bitmapObj->selectedIn > 1)
        return FALSE;
    DropAll(d->st);
    d->st = want;  // its references move from the saved entry to the current state
    for (int i = n - 1; i >= target; --i) DropAll(d->saved[size_t(i)]);
    d->saved.resize(size_t(target - 1));
    d->ClipChanged();
    return TRUE;
}

// ---- colours and modes ----------------------------------------------------------------------

namespace {
template <typename T, typename F>
T Swap(HDC hdc, T fail, F&& f) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return fail;
    return f(*d);
}
}  // namespace

WINGDIAPI COLORREF WINAPI SetBkColor(HDC hdc, COLORREF c) {
    return Swap(hdc, COLORREF(CLR_INVALID), [&](DC& d) { return std::exchange(d.st.bkColor, c & 0xFFFFFF); });
}
WINGDIAPI COLORREF WINAPI GetBkColor(HDC hdc) {
    return Swap(hdc, COLORREF(CLR_INVALID), [](DC& d) { return d.st.bkColor; });
}
WINGDIAPI COLORREF WINAPI SetTextColor(HDC hdc, COLORREF c) {
    return Swap(hdc, COLORREF(CLR_INVALID), [&](DC& d) { return std::exchange(d.st.textColor, c & 0xFFFFFF); });
}
WINGDIAPI COLORREF WINAPI GetTextColor(HDC hdc) {
    return Swap(hdc, COLORREF(CLR_INVALID), [](DC& d) { return d.st.textColor; });
}
WINGDIAPI COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF c) {
    return Swap(hdc, COLORREF(CLR_INVALID), [&](DC& d) { return std::exchange(d.st.dcBrushColor, c & 0xFFFFFF); });
}
WINGDIAPI COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF c) {
    return Swap(hdc, COLORREF(CLR_INVALID), [&](DC& d) { return std::exchange(d.st.dcPenColor, c & 0xFFFFFF); });
}
WINGDIAPI int WINAPI SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return Swap(hdc, 0, [&](DC& d) { return std::exchange(d.st.bkMode, mode); });
}
WINGDIAPI int WINAPI GetBkMode(HDC hdc) {
    return Swap(hdc, 0, [](DC& d) { return d.st.bkMode; });
}
WINGDIAPI UINT WINAPI SetTextAlign(HDC hdc, UINT a) {
    return Swap(hdc, UINT(GDI_ERROR), [&](DC& d) { return std::exchange(d.st.textAlign, a); });
}
WINGDIAPI UINT WINAPI GetTextAlign(HDC hdc) {
    return Swap(hdc, UINT(GDI_ERROR), [](DC& d) { return d.st.textAlign; });
}
WINGDIAPI int WINAPI SetROP2(HDC hdc, int rop) {
    if (rop < R2_BLACK || rop > R2_WHITE) return 0;
    return Swap(hdc, 0, [&](DC& d) { return std::exchange(d.st.rop2, rop); });
}
WINGDIAPI int WINAPI GetROP2(HDC hdc) {
    return Swap(hdc, 0, [](DC& d) { return d.st.rop2; });
}
WINGDIAPI int WINAPI SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return Swap(hdc, 0, [&](DC& d) { return std::exchange(d.st.stretchMode, mode); });
}
WINGDIAPI int WINAPI GetStretchBltMode(HDC hdc) {
    return Swap(hdc, 0, [](DC& d) { return d.st.stretchMode; });
}
WINGDIAPI int WINAPI SetPolyFillMode(HDC hdc, int mode) {
    if (mode != ALTERNATE && mode != WINDING) return 0;
    return Swap(hdc, 0, [&](DC& d) { return std::exchange(d.st.polyFillMode, mode); });
}
WINGDIAPI int WINAPI GetPolyFillMode(HDC hdc) {
    return Swap(hdc, 0, [](DC& d) { return d.st.polyFillMode; });
}
WINGDIAPI int WINAPI SetMapMode(HDC hdc, int mode) {
    // Only MM_TEXT: one logical unit is one pixel.
    if (mode != MM_TEXT) return 0;
    return Swap(hdc, 0, [&](DC& d) { return std::exchange(d.st.mapMode, mode); });
}
WINGDIAPI int WINAPI GetMapMode(HDC hdc) {
    return Swap(hdc, 0, [](DC& d) { return d.st.mapMode; });
}
WINGDIAPI int WINAPI SetTextCharacterExtra(HDC hdc, int extra) {
    return Swap(hdc, int(0x80000000), [&](DC& d) { return std::exchange(d.st.charExtra, extra); });
}
WINGDIAPI int WINAPI GetTextCharacterExtra(HDC hdc) {
    return Swap(hdc, int(0x80000000), [](DC& d) { return d.st.charExtra; });
}

// ---- coordinates ----------------------------------------------------------------------------

namespace {
BOOL SetPoint(HDC hdc, POINT DCState::*field, int x, int y, bool relative, LPPOINT old) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return FALSE;
    POINT& p = d->st.*field;
    if (old) *old = p;
    if (relative) {
        p.x += x;
        p.y += y;
    } else {
        p = POINT{x, y};
    }
    return TRUE;
}
BOOL GetPoint(HDC hdc, POINT DCState::*field, LPPOINT out) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !out) return FALSE;
    *out = d->st.*field;
    return TRUE;
}
}  // namespace

WINGDIAPI BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::brushOrg, x, y, false, old);
}
WINGDIAPI BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT out) { return GetPoint(hdc, &DCState::brushOrg, out); }
WINGDIAPI BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::viewportOrg, x, y, false, old);
}
WINGDIAPI BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT out) { return GetPoint(hdc, &DCState::viewportOrg, out); }
WINGDIAPI BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
    return SetPoint(hdc, &DCState::viewportOrg, dx, dy, true, old);
}
WINGDIAPI BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::windowOrg, x, y, false, old);
}
WINGDIAPI BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT out) { return GetPoint(hdc, &DCState::windowOrg, out); }
WINGDIAPI BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
    return SetPoint(hdc, &DCState::windowOrg, dx, dy, true, old);
}
WINGDIAPI BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT out) { return GetPoint(hdc, &DCState::curPos, out); }

WINGDIAPI BOOL WINAPI LPtoDP(HDC hdc, LPPOINT pts, int count) {
    Locked<DC> d(DCs(), hdc);
    if (!d || (!pts && count > 0)) return FALSE;
    for (int i = 0; i < count; ++i) {
        pts[i].x += d->DevX();
        pts[i].y += d->DevY();
    }
    return TRUE;
}
WINGDIAPI BOOL WINAPI DPtoLP(HDC hdc, LPPOINT pts, int count) {
    Locked<DC> d(DCs(), hdc);
    if (!d || (!pts && count > 0)) return FALSE;
    for (int i = 0; i < count; ++i) {
        pts[i].x -= d->DevX();
        pts[i].y -= d->DevY();
    }
    return TRUE;
}

// ---- clipping -------------------------------------------------------------------------------

namespace {

int KindOf(const Region& r) {
    if (r.Empty()) return NULLREGION;
    return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// The device area drawing may reach without any clip: the bitmap or the window's part of
// its surface, in device coordinates.
Region DeviceArea(DC& d) {
    if (d.kind == DCKind::Memory) {
        if (!d.st.bitmapObj) return Region();
        return Region(RECT{0, 0, d.st.bitmapObj->px.width, d.st.bitmapObj->px.height});
    }
    if (!d.surface) return Region();
    Region r(RECT{0, 0, d.surface->width, d.surface->height});
    if (d.visible) r.Intersect(*d.visible);
    r.Offset(-d.origin.x, -d.origin.y);
    return r;
}

int ResultKind(DC& d) {
    Region eff = DeviceArea(d);
    if (d.st.clip) eff.Intersect(*d.st.clip);
    return KindOf(eff);
}

}  // namespace

WINGDIAPI int WINAPI ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return ERROR;
    if (!rgn) {
        if (mode != RGN_COPY) return ERROR;
        d->st.clip.reset();
    } else {
        RegionObj* r = Regions().GetRaw(rgn);
        if (!r) return ERROR;
        // The region's coordinates are device coordinates.
        const Region& src = r->rgn;
        switch (mode) {
            case RGN_COPY: d->st.clip = src; break;
            case RGN_AND:
                if (!d->st.clip)
                    d->st.clip = src;
                else
                    d->st.clip->Intersect(src);
                break;
            case RGN_OR:
                // With no clip the DC already reaches everything: OR keeps it unclipped.
                if (d->st.clip) d->st.clip->Union(src);
                break;
            case RGN_XOR:
                if (!d->st.clip) d->st.clip = DeviceArea(*d);
                d->st.clip->Xor(src);
                break;
            case RGN_DIFF:
                if (!d->st.clip) d->st.clip = DeviceArea(*d);
                d->st.clip->Subtract(src);
                break;
            default: return ERROR;
        }
    }
    d->ClipChanged();
    return ResultKind(*d);
}

WINGDIAPI int WINAPI SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

WINGDIAPI int WINAPI IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return ERROR;
    RECT rc{l + d->DevX(), t + d->DevY(), r + d->DevX(), b + d->DevY()};
    if (!d->st.clip)
        d->st.clip = Region(rc);
    else
        d->st.clip->Intersect(rc);
    d->ClipChanged();
    return ResultKind(*d);
}

WINGDIAPI int WINAPI ExcludeClipRect(HDC hdc, int l, int t, int r, int b) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return ERROR;
    RECT rc{l + d->DevX(), t + d->DevY(), r + d->DevX(), b + d->DevY()};
    if (!d->st.clip) d->st.clip = DeviceArea(*d);
    d->st.clip->Subtract(rc);
    d->ClipChanged();
    return ResultKind(*d);
}

WINGDIAPI int WINAPI OffsetClipRgn(HDC hdc, int dx, int dy) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return ERROR;
    if (d->st.clip) d->st.clip->Offset(dx, dy);
    d->ClipChanged();
    return ResultKind(*d);
}

WINGDIAPI int WINAPI GetClipBox(HDC hdc, LPRECT out) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !out) return ERROR;
    Region eff = DeviceArea(*d);
    if (d->st.clip) eff.Intersect(*d->st.clip);
    RECT b = eff.Bounds();
    // In logical coordinates.
    out->left = b.left - d->DevX();
    out->right = b.right - d->DevX();
    out->top = b.top - d->DevY();
    out->bottom = b.bottom - d->DevY();
    return KindOf(eff);
}

WINGDIAPI int WINAPI GetClipRgn(HDC hdc, HRGN out) {
    Locked<DC> d(DCs(), hdc);
    RegionObj* r = Regions().GetRaw(out);
    if (!d || !r) return -1;
    if (!d->st.clip) return 0;
    r->rgn = *d->st.clip;
    return 1;
}

WINGDIAPI BOOL WINAPI PtVisible(HDC hdc, int x, int y) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return -1;
    return d->Clip().Contains(x + d->OffX(), y + d->OffY());
}

WINGDIAPI BOOL WINAPI RectVisible(HDC hdc, const RECT* rc) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc) return FALSE;
    RECT r{std::min(rc->left, rc->right), std::min(rc->top, rc->bottom), std::max(rc->left, rc->right),
           std::max(rc->top, rc->bottom)};
    r.left += d->OffX();
    r.right += d->OffX();
    r.top += d->OffY();
    r.bottom += d->OffY();
    return d->Clip().Intersects(r);
}

// ---- capabilities ---------------------------------------------------------------------------

WINGDIAPI int WINAPI GetDeviceCaps(HDC hdc, int index) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return 0;
    RECT s = ScreenRect();
    int w = s.right - s.left, h = s.bottom - s.top;
    switch (index) {
        case DRIVERVERSION: return 0x4000;
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZRES:
        case DESKTOPHORZRES: return w;
        case VERTRES:
        case DESKTOPVERTRES: return h;
        case HORZSIZE: return w * 254 / 960;  // millimetres at 96 dpi
        case VERTSIZE: return h * 254 / 960;
        case BITSPIXEL: return d->Depth();
        case PLANES: return 1;
        case NUMBRUSHES:
        case NUMPENS: return -1;
        case NUMFONTS: return 0;
        case NUMCOLORS: return -1;
        case RASTERCAPS:
            return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT |
                   RC_STRETCHDIB;
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        case SIZEPALETTE:
        case NUMRESERVED: return 0;
        case COLORRES: return 24;
        case VREFRESH: return 60;
        case SHADEBLENDCAPS: return 0x3F;
        default: return 0;
    }
}
