// Painting management: update regions, WM_PAINT and erasing, device contexts over the top
// level's surface clipped to each window's visible part, window regions and presentation.
#include <algorithm>
#include <cstring>
#include <map>

#include "backend/backend.h"
#include "gdi/surface_dc.h"
#include "kernel/kobjects.h"
#include "user/queue.h"
#include "user/window.h"
#include "winplat_test.h"

namespace plat::user {
void PaintNonClient(HWND hwnd, HDC hdc);  // nonclient.cpp
void CaretHideForPaint(HWND hwnd);        // caret.cpp
void CaretShowAfterPaint(HWND hwnd);

namespace {

struct DcInfo {
    HWND hwnd;
    HWND root;
    RECT bounds;  // surface coordinates of what it can touch
};
std::map<HDC, DcInfo>& DcTable() {
    static auto* m = new std::map<HDC, DcInfo>;
    return *m;
}

HWND g_locked = nullptr;

RECT Offset(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// What of `w` shows on its top level's surface, in surface coordinates (global lock held).
Region VisibleRegion(Window* w, bool client, bool clip_children, bool clip_siblings) {
    Window* root = RootOf(w);
    if (!root || !IsVisibleChain(w)) return Region();
    int ox = -root->wr.left, oy = -root->wr.top;
    RECT area = Offset(client ? ScreenClientRect(w) : ScreenWindowRect(w), ox, oy);
    Region vis(area);
    if (w->window_region) {
        Region wr = *w->window_region;
        RECT sw = Offset(ScreenWindowRect(w), ox, oy);
        wr.Offset(sw.left, sw.top);
        vis.Intersect(wr);
    }
    // Siblings above, on every level that clips its siblings.
    for (Window* c = w; c && c->parent; c = W(c->parent)) {
        Window* p = W(c->parent);
        if (!p) break;
        if ((c->style & WS_CLIPSIBLINGS) || (c == w && clip_siblings)) {
            for (HWND s : p->children) {
                if (s == c->hwnd) break;
                Window* sw = W(s);
                if (!sw || !(sw->style & WS_VISIBLE)) continue;
                vis.Subtract(Offset(ScreenWindowRect(sw), ox, oy));
            }
        }
        vis.Intersect(Offset(ScreenClientRect(p), ox, oy));
        if (p->window_region) {
            Region pr = *p->window_region;
            RECT ps = Offset(ScreenWindowRect(p), ox, oy);
            pr.Offset(ps.left, ps.top);
            vis.Intersect(pr);
        }
    }
    if (client && ((w->style & WS_CLIPCHILDREN) || clip_children)) {
        for (HWND k : w->children) {
            Window* kw = W(k);
            if (!kw || !(kw->style & WS_VISIBLE)) continue;
            vis.Subtract(Offset(ScreenWindowRect(kw), ox, oy));
        }
    }
    return vis;
}

void MarkDirty(HWND root, const RECT& r) {
    Window* w = W(root);
    if (!w || r.right <= r.left || r.bottom <= r.top) return;
    w->dirty.Union(r);
}

// Adds a client-coordinate region to a window's update region, then to its children's.
void InvalidateTree(Window* w, const Region& rgn, UINT flags, bool top_call) {
    if (!w) return;
    if (!IsVisibleChain(w)) return;
    RECT client{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
    Region r = rgn;
    r.Intersect(client);
    if (flags & RDW_INVALIDATE) {
        if (!r.Empty()) {
            w->update.Union(r);
            if (flags & RDW_ERASE) w->erase_pending = true;
        }
        if ((flags & RDW_FRAME) && top_call) w->frame_pending = true;
    }
    if (flags & RDW_INTERNALPAINT) w->internal_paint = true;
    if (flags & RDW_VALIDATE) {
        w->update.Subtract(r.Empty() ? Region(client) : r);
        if (w->update.Empty()) w->erase_pending = false;
        if (flags & RDW_NOFRAME) w->frame_pending = false;
    }
    if (flags & RDW_NOERASE) w->erase_pending = false;
    if (flags & RDW_NOINTERNALPAINT) w->internal_paint = false;
    bool kids = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (!kids) return;
    for (HWND k : w->children) {
        Window* kw = W(k);
        if (!kw || !(kw->style & WS_VISIBLE)) continue;
        Region kr = rgn;
        kr.Intersect(client);
        // Child client coordinates: parent client origin is the frame of reference of kw->cr.
        kr.Offset(-kw->cr.left, -kw->cr.top);
        RECT kwr = Offset(kw->wr, -kw->cr.left, -kw->cr.top);  // child's window rect in its client coords
        if (!kr.Intersects(kwr)) continue;
        if (flags & RDW_INVALIDATE) {
            Region nc(kwr);
            nc.Subtract(RECT{0, 0, kw->cr.right - kw->cr.left, kw->cr.bottom - kw->cr.top});
            nc.Intersect(kr);
            if (!nc.Empty()) kw->frame_pending = true;
        }
        InvalidateTree(kw, kr, flags, false);
    }
}

bool NeedsPaint(const Window* w) { return !w->update.Empty() || w->internal_paint; }

void SendPaintNow(HWND hwnd) {
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return;
        w->paint_seen = false;
    }
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (w && !w->paint_seen) {
        // A procedure that ignored WM_PAINT must not be asked forever.
        w->update.SetEmpty();
        w->erase_pending = false;
        w->internal_paint = false;
    }
}

void SendFramePaint(HWND hwnd) {
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || !w->frame_pending) return;
        w->frame_pending = false;
        // The frame is what the window's own WM_NCCALCSIZE answer left around its client
        // area, whatever its style bits say.
        bool has_frame = w->cr.left > w->wr.left || w->cr.top > w->wr.top || w->cr.right < w->wr.right ||
                         w->cr.bottom < w->wr.bottom;
        if (!has_frame) return;
    }
    SendMessageA(hwnd, WM_NCPAINT, 1, 0);
}

void UpdateNow(HWND hwnd, bool children, bool erase_only) {
    SendFramePaint(hwnd);
    bool paint;
    std::vector<HWND> kids;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || !IsVisibleChain(w)) return;
        paint = NeedsPaint(w);
        kids = w->children;
    }
    if (paint) {
        if (erase_only) {
            bool erase;
            {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                erase = w && w->erase_pending;
                if (w) w->erase_pending = false;
            }
            if (erase) {
                HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_INTERSECTUPDATE);
                SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
                ReleaseDC(hwnd, dc);
            }
        } else {
            SendPaintNow(hwnd);
        }
    }
    if (!children) return;
    for (HWND k : kids) UpdateNow(k, true, erase_only);
}

HWND FindPaintable(HWND hwnd, DWORD tid) {
    Window* w = W(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return nullptr;
    if (w->tid == tid && NeedsPaint(w)) return hwnd;
    for (HWND k : w->children)
        if (HWND r = FindPaintable(k, tid)) return r;
    return nullptr;
}

HWND FindFramePending(HWND hwnd, DWORD tid) {
    Window* w = W(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return nullptr;
    if (w->tid == tid && w->frame_pending) return hwnd;
    for (HWND k : w->children)
        if (HWND r = FindFramePending(k, tid)) return r;
    return nullptr;
}

// Whether the thread still owes the screen something in this visible tree: a client or frame
// paint not yet done, or drawing not yet handed to the window system.
bool OwesPaint(HWND hwnd, DWORD tid) {
    Window* w = W(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return false;
    if (w->tid == tid && (NeedsPaint(w) || w->frame_pending || !w->dirty.Empty())) return true;
    for (HWND k : w->children)
        if (OwesPaint(k, tid)) return true;
    return false;
}

HDC MakeDC(HWND hwnd, const Region* extra_clip, bool window_dc, bool clip_children, bool clip_siblings,
           bool intersect_update) {
    LockedWindow w(hwnd, Lookup::Quiet);
    if (!w) return nullptr;
    Window* root = RootOf(w);
    if (root && root->is_desktop && !root->surface) {
        // The screen DC: measuring and compatible DCs need one; what is drawn on it stays there.
        root->surface = std::make_shared<Surface>(root->wr.right - root->wr.left, root->wr.bottom - root->wr.top);
    }
    if (!root || !root->surface) return nullptr;
    Region vis = VisibleRegion(w, !window_dc, clip_children, clip_siblings);
    int ox = -root->wr.left, oy = -root->wr.top;
    if (extra_clip) vis.Intersect(*extra_clip);
    if (intersect_update) {
        Region u = w->update;
        RECT c = Offset(ScreenClientRect(w), ox, oy);
        u.Offset(c.left, c.top);
        vis.Intersect(u);
    }
    RECT area = Offset(window_dc ? ScreenWindowRect(w) : ScreenClientRect(w), ox, oy);
    POINT origin{area.left, area.top};
    HDC dc = gdi::CreateSurfaceDC(root->surface, origin, &vis, hwnd);
    if (dc) DcTable()[dc] = DcInfo{hwnd, root->hwnd, vis.Bounds()};
    return dc;
}

}  // namespace

void InvalidateWindowArea(HWND hwnd, bool frame, bool erase) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w) return;
    RECT client{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
    InvalidateTree(w, Region(client), RDW_INVALIDATE | RDW_ALLCHILDREN | (erase ? RDW_ERASE : 0) | (frame ? RDW_FRAME : 0),
                   true);
    if (frame) w->frame_pending = true;
}

HWND NextWindowToPaint(DWORD tid) {
    // Frames first: they are painted at once, without a WM_PAINT of their own.
    for (;;) {
        HWND f = nullptr;
        {
            Guard g(GlobalLock());
            for (HWND t : TopLevels())
                if ((f = FindFramePending(t, tid))) break;
        }
        if (!f) break;
        SendFramePaint(f);
    }
    Guard g(GlobalLock());
    for (HWND t : TopLevels())
        if (HWND r = FindPaintable(t, tid)) return r;
    return nullptr;
}

void PresentDirty(DWORD tid) {
    Backend* b = BackendOrNull();
    std::vector<std::pair<HWND, std::pair<std::shared_ptr<Surface>, RECT>>> work;
    {
        Guard g(GlobalLock());
        for (HWND t : TopLevels()) {
            Window* w = W(t);
            if (!w || w->tid != tid || w->dirty.Empty() || !w->surface) continue;
            if (g_locked && (g_locked == t)) continue;
            work.push_back({t, {w->surface, w->dirty.Bounds()}});
            w->dirty.SetEmpty();
        }
    }
    if (!b) return;
    for (auto& [h, s] : work) b->Present(h, *s.first, s.second);
}

// Region of a window region, for the compositor.
std::shared_ptr<const Region> WindowRegionOf(Window* w) { return w->window_region; }

bool DcScreenOffset(HDC hdc, POINT* offset) {
    POINT in_surface;
    if (!gdi::SurfaceDCOffset(hdc, &in_surface)) return false;
    Guard g(GlobalLock());
    auto it = DcTable().find(hdc);
    Window* root = it == DcTable().end() ? nullptr : W(it->second.root);
    if (!root) return false;
    *offset = POINT{root->wr.left + in_surface.x, root->wr.top + in_surface.y};
    return true;
}

}  // namespace plat::user

using namespace plat;
using namespace plat::user;

extern "C" {

HDC WINAPI GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    if (!hwnd) hwnd = Desktop();
    Region extra;
    const Region* extra_ptr = nullptr;
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        Region* r = gdi::RegionOf(clip);
        if (w && r) {
            // The region comes in screen coordinates.
            Window* root = RootOf(w);
            Region rr = *r;
            rr.Offset(-root->wr.left, -root->wr.top);
            if (flags & DCX_INTERSECTRGN) {
                extra = rr;
            } else {
                extra = Region(RECT{-100000, -100000, 100000, 100000});
                extra.Subtract(rr);
            }
            extra_ptr = &extra;
        }
    }
    bool window_dc = (flags & DCX_WINDOW) != 0;
    HDC dc = MakeDC(hwnd, extra_ptr, window_dc, (flags & DCX_CLIPCHILDREN) != 0, (flags & DCX_CLIPSIBLINGS) != 0,
                    (flags & DCX_INTERSECTUPDATE) != 0);
    if (!dc) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return dc;
}

HDC WINAPI GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE); }
HDC WINAPI GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_WINDOW); }

int WINAPI ReleaseDC(HWND, HDC hdc) {
    DcInfo info{};
    {
        Guard g(GlobalLock());
        auto it = DcTable().find(hdc);
        if (it == DcTable().end()) return 0;
        info = it->second;
        DcTable().erase(it);
        MarkDirty(info.root, info.bounds);
    }
    gdi::ReleaseSurfaceDC(hdc);
    return 1;
}

HWND WINAPI WindowFromDC(HDC hdc) {
    Guard g(GlobalLock());
    auto it = DcTable().find(hdc);
    return it == DcTable().end() ? nullptr : it->second.hwnd;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    if (!ps) return nullptr;
    memset(ps, 0, sizeof(*ps));
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    CaretHideForPaint(hwnd);
    SendFramePaint(hwnd);
    Region upd;
    bool erase;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return nullptr;
        w->paint_seen = true;
        upd = w->update;
        erase = w->erase_pending;
        w->update.SetEmpty();
        w->erase_pending = false;
        w->internal_paint = false;
    }
    Region clip;
    const Region* clip_ptr = nullptr;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        Window* root = RootOf(w);
        RECT c = ScreenClientRect(w);
        clip = upd;
        clip.Offset(c.left - root->wr.left, c.top - root->wr.top);
        clip_ptr = &clip;
    }
    HDC dc = MakeDC(hwnd, clip_ptr, false, false, false, false);
    ps->hdc = dc;
    ps->rcPaint = upd.Bounds();
    ps->fErase = TRUE;
    if (erase && dc) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    else if (!erase) ps->fErase = FALSE;
    return dc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
    CaretShowAfterPaint(hwnd);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags) {
    if (!hwnd || hwnd == Desktop()) {
        std::vector<HWND> tops;
        {
            Guard g(GlobalLock());
            tops = TopLevels();
        }
        for (HWND t : tops) RedrawWindow(t, nullptr, nullptr, flags | RDW_FRAME | RDW_ALLCHILDREN);
        return TRUE;
    }
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        Region area;
        RECT client{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
        if (rgn) {
            if (Region* r = gdi::RegionOf(rgn)) area = *r;
        } else if (rect) {
            area = Region(*rect);
        } else {
            area = Region(client);
            if (flags & RDW_INVALIDATE) {
                // The whole window, frame included, for the children too.
                RECT all = Offset(w->wr, -w->cr.left, -w->cr.top);
                area = Region(all);
            }
        }
        if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT | RDW_NOERASE))
            InvalidateTree(w, area, flags, true);
        if ((flags & RDW_VALIDATE) && !rect && !rgn) {
            w->update.SetEmpty();
            w->erase_pending = false;
        }
    }
    if (flags & RDW_UPDATENOW)
        UpdateNow(hwnd, !(flags & RDW_NOCHILDREN), false);
    else if (flags & RDW_ERASENOW)
        UpdateNow(hwnd, !(flags & RDW_NOCHILDREN), true);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!hwnd) return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Region area;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        area = rect ? Region(*rect) : Region(RECT{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top});
        InvalidateTree(w, area, RDW_INVALIDATE | (erase ? RDW_ERASE : 0), true);
    }
    return TRUE;
}

BOOL WINAPI InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    if (!rgn) return InvalidateRect(hwnd, nullptr, erase);
    return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0)) ;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    if (!hwnd) return RedrawWindow(nullptr, nullptr, nullptr, RDW_VALIDATE);
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    w->paint_seen = true;
    if (rect)
        w->update.Subtract(*rect);
    else
        w->update.SetEmpty();
    w->internal_paint = false;
    if (w->update.Empty()) w->erase_pending = false;
    return TRUE;
}

BOOL WINAPI ValidateRgn(HWND hwnd, HRGN rgn) {
    if (!rgn) return ValidateRect(hwnd, nullptr);
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    Region* r = gdi::RegionOf(rgn);
    if (!w || !r) return FALSE;
    w->paint_seen = true;
    w->update.Subtract(*r);
    if (w->update.Empty()) w->erase_pending = false;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    UpdateNow(hwnd, true, false);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    bool has, pending;
    RECT b;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return FALSE;
        has = !w->update.Empty();
        b = w->update.Bounds();
        pending = w->erase_pending;
        if (erase && pending) w->erase_pending = false;
    }
    if (rect) *rect = has ? b : RECT{0, 0, 0, 0};
    if (has && erase && pending) {
        HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_INTERSECTUPDATE);
        SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(hwnd, dc);
    }
    return has;
}

int WINAPI GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    Region u;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        Region* r = gdi::RegionOf(rgn);
        if (!w || !r) return ERROR;
        u = w->update;
        *r = u;
    }
    if (erase) GetUpdateRect(hwnd, nullptr, TRUE);
    size_t n = u.Rects().size();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int WINAPI SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
    HRGN old = nullptr;
    bool top;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        Region* r = rgn ? gdi::RegionOf(rgn) : nullptr;
        if (rgn && !r) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        old = w->window_rgn;
        w->window_rgn = rgn;
        w->window_region = r ? std::make_shared<Region>(*r) : nullptr;
        top = !w->parent;
    }
    // The window owns the region from now on; the one it replaces is freed.
    if (old && old != rgn) DeleteObject(old);
    if (redraw) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        HWND parent = GetAncestor(hwnd, GA_PARENT);
        if (!top && parent) {
            RECT r;
            GetWindowRect(hwnd, &r);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
            RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
    }
    if (top) {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) w->dirty.Union(RECT{0, 0, w->wr.right - w->wr.left, w->wr.bottom - w->wr.top});
    }
    return 1;
}

int WINAPI GetWindowRgn(HWND hwnd, HRGN rgn) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    Region* r = gdi::RegionOf(rgn);
    if (!w || !r || !w->window_region) return ERROR;
    *r = *w->window_region;
    size_t n = r->Rects().size();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL WINAPI SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    if (!(w->exstyle & WS_EX_LAYERED) || w->parent) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w->color_key = key & 0xFFFFFF;
    w->alpha = alpha;
    w->layered_flags = flags & (LWA_ALPHA | LWA_COLORKEY);
    w->dirty.Union(RECT{0, 0, w->wr.right - w->wr.left, w->wr.bottom - w->wr.top});
    return TRUE;
}

BOOL WINAPI GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !(w->exstyle & WS_EX_LAYERED)) return FALSE;
    if (key) *key = w->color_key;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = w->layered_flags;
    return TRUE;
}

BOOL WINAPI LockWindowUpdate(HWND hwnd) {
    Guard g(GlobalLock());
    if (hwnd && g_locked && IsWindow(g_locked)) return FALSE;  // one window at a time
    if (hwnd && !W(hwnd)) return FALSE;
    HWND was = g_locked;
    g_locked = hwnd;
    if (!hwnd && was) {
        if (Window* w = W(was)) InvalidateTree(w, Region(RECT{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top}),
                                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, true);
    }
    return TRUE;
}

int WINAPI ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                          LPRECT update_rect, UINT flags) {
    Region exposed;
    std::vector<HWND> kids;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return ERROR;
        Window* root = RootOf(w);
        RECT client{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
        RECT src = scroll ? *scroll : client;
        RECT cl = clip ? *clip : client;
        IntersectRect(&src, &src, &client);
        IntersectRect(&cl, &cl, &client);
        // Move the pixels that stay visible, inside the window's visible part of the surface.
        Region vis = VisibleRegion(w, true, false, false);
        RECT c = Offset(ScreenClientRect(w), -root->wr.left, -root->wr.top);
        Region moved(src);
        moved.Offset(dx, dy);
        moved.Intersect(cl);
        Region movable = moved;
        Region src_vis = vis;
        src_vis.Offset(-c.left + dx, -c.top + dy);
        movable.Intersect(src_vis);
        Region dst_vis = vis;
        dst_vis.Offset(-c.left, -c.top);
        movable.Intersect(dst_vis);
        Surface& s = *root->surface;
        std::vector<uint32_t> copy = s.pixels;
        for (const RECT& r : movable.Rects())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    int sx = c.left + x - dx, sy = c.top + y - dy, tx = c.left + x, ty = c.top + y;
                    if (s.Contains(sx, sy) && s.Contains(tx, ty)) s.Row(ty)[tx] = copy[size_t(sy) * size_t(s.width) + size_t(sx)];
                }
        exposed = Region(cl);
        exposed.Intersect(Region(src));
        Region m2 = moved;
        m2.Intersect(movable);
        exposed.Union(moved);
        exposed.Subtract(movable);
        exposed.Intersect(cl);
        root->dirty.Union(Offset(cl, c.left, c.top));
        if (flags & SW_SCROLLCHILDREN) kids = w->children;
    }
    for (HWND k : kids) {
        RECT r;
        GetWindowRect(k, &r);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(k, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (update) {
        if (Region* r = gdi::RegionOf(update)) *r = exposed;
    }
    if (update_rect) *update_rect = exposed.Bounds();
    if (flags & SW_INVALIDATE) {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) InvalidateTree(w, exposed, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) | RDW_ALLCHILDREN, true);
    }
    size_t n = exposed.Rects().size();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL WINAPI ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr,
                          SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

}  // extern "C"

BOOL WinTestPaintPending(DWORD thread_id) {
    Guard g(GlobalLock());
    for (HWND t : TopLevels())
        if (OwesPaint(t, thread_id)) return TRUE;
    return FALSE;
}
