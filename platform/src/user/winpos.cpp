// Window positions: SetWindowPos and its messages, ShowWindow, rectangles and coordinate mapping,
// and finding the window under a point.
#include <algorithm>
#include <cstring>

#include "backend/backend.h"
#include "kernel/kobjects.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
void InvalidateWindowArea(HWND hwnd, bool frame, bool erase);  // paint.cpp
void ActivateOnShow(HWND hwnd);                                 // focus.cpp
void DeactivateOnHide(HWND hwnd);                               // focus.cpp
RECT WorkAreaFor(const RECT& r);                                // monitors.cpp
}  // namespace plat::user

using namespace plat;
using namespace plat::user;

namespace {

void Restack(Window* w, HWND after) {
    std::vector<HWND>& sib = w->parent ? W(w->parent)->children : TopLevels();
    auto it = std::find(sib.begin(), sib.end(), w->hwnd);
    if (it == sib.end()) return;
    sib.erase(it);
    if (after == HWND_TOPMOST) {
        w->exstyle |= WS_EX_TOPMOST;
        after = HWND_TOP;
    } else if (after == HWND_NOTOPMOST) {
        w->exstyle &= ~DWORD(WS_EX_TOPMOST);
        after = HWND_TOP;
    }
    size_t pos = 0;
    if (after == HWND_TOP) {
        // Non-topmost top levels stay below the topmost ones.
        if (!w->parent && !(w->exstyle & WS_EX_TOPMOST))
            while (pos < sib.size() && W(sib[pos]) && (W(sib[pos])->exstyle & WS_EX_TOPMOST)) ++pos;
    } else if (after == HWND_BOTTOM) {
        pos = sib.size();
    } else {
        auto a = std::find(sib.begin(), sib.end(), after);
        pos = a == sib.end() ? 0 : size_t(a - sib.begin()) + 1;
    }
    sib.insert(sib.begin() + long(pos), w->hwnd);
}

// Owned windows stay above their owner: a top level brought up brings the windows it owns
// (dialogs, message boxes) along, in their own order, directly above it. Returns them, the
// lowest first.
std::vector<HWND> LiftOwnedWindows(const Window* w) {
    std::vector<HWND>& tops = TopLevels();
    std::vector<HWND> owned;  // topmost first
    for (HWND t : tops) {
        const Window* o = W(t);
        bool keeps_band = !(o && (o->exstyle & WS_EX_TOPMOST)) || (w->exstyle & WS_EX_TOPMOST);
        if (t != w->hwnd && keeps_band && OwnedBy(o, w->hwnd)) owned.push_back(t);
    }
    if (owned.empty()) return owned;
    for (HWND o : owned) tops.erase(std::find(tops.begin(), tops.end(), o));
    tops.insert(std::find(tops.begin(), tops.end(), w->hwnd), owned.begin(), owned.end());
    std::reverse(owned.begin(), owned.end());
    return owned;
}

}  // namespace

extern "C" {

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
    RECT old_wr, old_cr;
    bool was_visible;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || w->is_desktop) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        old_wr = w->wr;
        old_cr = w->cr;
        was_visible = (w->style & WS_VISIBLE) != 0;
        if (flags & SWP_NOMOVE) {
            wp.x = old_wr.left;
            wp.y = old_wr.top;
        }
        if (flags & SWP_NOSIZE) {
            wp.cx = old_wr.right - old_wr.left;
            wp.cy = old_wr.bottom - old_wr.top;
        }
        if (wp.cx < 0) wp.cx = 0;
        if (wp.cy < 0) wp.cy = 0;
        // Nothing to do reported as no move / no size, as the platform does.
        if (wp.x == old_wr.left && wp.y == old_wr.top) wp.flags |= SWP_NOMOVE;
        if (wp.cx == old_wr.right - old_wr.left && wp.cy == old_wr.bottom - old_wr.top) wp.flags |= SWP_NOSIZE;
        if ((flags & SWP_SHOWWINDOW) && was_visible) wp.flags &= ~UINT(SWP_SHOWWINDOW);
        if ((flags & SWP_HIDEWINDOW) && !was_visible) wp.flags &= ~UINT(SWP_HIDEWINDOW);
    }
    if (!(wp.flags & SWP_NOSENDCHANGING)) {
        Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!IsWindow(hwnd)) return FALSE;
        // The procedure may have changed the position or size.
        Guard g(GlobalLock());
        if (wp.x == old_wr.left && wp.y == old_wr.top) wp.flags |= SWP_NOMOVE;
        else wp.flags &= ~UINT(SWP_NOMOVE);
        if (wp.cx == old_wr.right - old_wr.left && wp.cy == old_wr.bottom - old_wr.top) wp.flags |= SWP_NOSIZE;
        else wp.flags &= ~UINT(SWP_NOSIZE);
    }
    bool moved = !(wp.flags & SWP_NOMOVE), sized = !(wp.flags & SWP_NOSIZE);
    bool frame = (wp.flags & SWP_FRAMECHANGED) != 0;
    RECT new_wr{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
    RECT new_cr = old_cr;
    if (sized || frame) {
        NCCALCSIZE_PARAMS p{};
        p.rgrc[0] = new_wr;
        p.rgrc[1] = old_wr;
        p.rgrc[2] = old_cr;
        p.lppos = &wp;
        Send(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
        if (!IsWindow(hwnd)) return FALSE;
        new_cr = p.rgrc[0];
        if (new_cr.right < new_cr.left) new_cr.right = new_cr.left;
        if (new_cr.bottom < new_cr.top) new_cr.bottom = new_cr.top;
    } else if (moved) {
        int dx = new_wr.left - old_wr.left, dy = new_wr.top - old_wr.top;
        new_cr = RECT{old_cr.left + dx, old_cr.top + dy, old_cr.right + dx, old_cr.bottom + dy};
    }
    bool top;
    bool show = (wp.flags & SWP_SHOWWINDOW) != 0, hide = (wp.flags & SWP_HIDEWINDOW) != 0;
    std::vector<HWND> lifted;
    HWND parent = nullptr;
    bool shown_changed = false, shown = false;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return FALSE;
        w->wr = new_wr;
        w->cr = new_cr;
        top = !w->parent;
        parent = w->parent;
        if (!(wp.flags & SWP_NOZORDER)) {
            Restack(w, after);
            if (!w->parent && after != HWND_BOTTOM) lifted = LiftOwnedWindows(w);
        }
        if (show) w->style |= WS_VISIBLE;
        if (hide) w->style &= ~DWORD(WS_VISIBLE);
        // On the screen or off it only when asked here: a style change alone never moves it.
        bool was_shown = w->shown;
        if (flags & SWP_SHOWWINDOW) w->shown = true;
        if (flags & SWP_HIDEWINDOW) w->shown = false;
        shown = w->shown;
        shown_changed = shown != was_shown;
        if (top && (sized || !w->surface) && !w->is_message_only) {
            // A new backing store; the old one may still be on screen until the repaint.
            w->surface = MakeWindowStore(wp.cx, wp.cy);
            w->dirty.SetRect(RECT{0, 0, wp.cx, wp.cy});
        }
        if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->normal = new_wr;
    }
    if (top) {
        if (Backend* b = BackendOrNull()) {
            if (moved || sized) b->MoveTopLevel(hwnd, new_wr);
            if (!(wp.flags & SWP_NOZORDER) || show) b->RaiseTopLevel(hwnd);
            for (HWND o : lifted) b->RaiseTopLevel(o);
            if (shown_changed) b->ShowTopLevel(hwnd, shown);
        }
    }
    // Repaint what changed: the window itself, and what it uncovered in its parent.
    if (!(wp.flags & SWP_NOREDRAW)) {
        if (sized || frame || show) InvalidateWindowArea(hwnd, true, true);
        if (parent && (moved || sized || hide)) {
            RECT r = old_wr;
            RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            (void)r;
        }
        if (parent && moved && !sized && !show) InvalidateWindowArea(hwnd, true, true);
    } else if (frame) {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) w->frame_pending = true;
    }
    if (show && top && !(wp.flags & SWP_NOACTIVATE)) ActivateOnShow(hwnd);
    if (hide) DeactivateOnHide(hwnd);
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    bool was_visible;
    DWORD style;
    RECT normal;
    bool top;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        was_visible = (w->style & WS_VISIBLE) != 0;
        style = w->style;
        normal = w->normal;
        top = !w->parent;
    }
    bool show = cmd != SW_HIDE;
    if (show != was_visible) {
        Send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!IsWindow(hwnd)) return was_visible;
    }
    UINT flags = SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    bool activate = show && top && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWMINNOACTIVE &&
                    cmd != SW_MINIMIZE;
    if (!activate) flags |= SWP_NOACTIVATE;
    else flags &= ~UINT(SWP_NOZORDER);
    int x = 0, y = 0, cx = 0, cy = 0;
    bool place = false;
    UINT size_kind = SIZE_RESTORED;
    switch (cmd) {
        case SW_MAXIMIZE: {
            if (!(style & WS_MAXIMIZE)) {
                // A top level fills the work area of the display it is on.
                RECT work = WorkAreaFor(normal);
                if (!top) {
                    Guard g(GlobalLock());
                    Window* w = W(hwnd);
                    Window* p = w && w->parent ? W(w->parent) : nullptr;
                    if (p) work = RECT{0, 0, p->cr.right - p->cr.left, p->cr.bottom - p->cr.top};
                }
                {
                    Guard g(GlobalLock());
                    Window* w = W(hwnd);
                    w->style = (w->style & ~DWORD(WS_MINIMIZE)) | WS_MAXIMIZE;
                }
                x = work.left;
                y = work.top;
                cx = work.right - work.left;
                cy = work.bottom - work.top;
                place = true;
                size_kind = SIZE_MAXIMIZED;
            }
            break;
        }
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE: {
            if (!(style & WS_MINIMIZE)) {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                w->style = (w->style & ~DWORD(WS_MAXIMIZE)) | WS_MINIMIZE;
                x = -32000;
                y = -32000;
                cx = GetSystemMetrics(SM_CXMINIMIZED);
                cy = GetSystemMetrics(SM_CYMINIMIZED);
                place = true;
                size_kind = SIZE_MINIMIZED;
            }
            break;
        }
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT: {
            if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
                Guard g(GlobalLock());
                Window* w = W(hwnd);
                w->style &= ~DWORD(WS_MINIMIZE | WS_MAXIMIZE);
                x = normal.left;
                y = normal.top;
                cx = normal.right - normal.left;
                cy = normal.bottom - normal.top;
                place = true;
            }
            break;
        }
        default: break;
    }
    if (!place) flags |= SWP_NOMOVE | SWP_NOSIZE;
    else flags |= SWP_FRAMECHANGED;
    const bool was_minimized = (style & WS_MINIMIZE) != 0;
    const bool minimized = IsIconic(hwnd) != 0;
    Backend* backend = top && was_minimized != minimized ? BackendOrNull() : nullptr;
    // Minimised before the move off the screen, restored after the move back: the desktop
    // never shows the window where a minimised one lies.
    if (backend && minimized) backend->MinimizeTopLevel(hwnd, true);
    SetWindowPos(hwnd, HWND_TOP, x, y, cx, cy, flags);
    if (backend && !minimized && IsWindow(hwnd)) backend->MinimizeTopLevel(hwnd, false);
    if (place && IsWindow(hwnd)) {
        RECT cr;
        {
            Guard g(GlobalLock());
            cr = W(hwnd)->cr;
        }
        (void)size_kind;
    }
    return was_visible;
}

BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !wp) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    wp->length = sizeof(*wp);
    wp->flags = 0;
    wp->showCmd = (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                  : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                  : (w->style & WS_VISIBLE) ? SW_SHOWNORMAL
                                            : SW_HIDE;
    wp->ptMinPosition = POINT{-1, -1};
    wp->ptMaxPosition = POINT{-1, -1};
    wp->rcNormalPosition = w->normal;
    return TRUE;
}

BOOL WINAPI SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
    if (!wp) return FALSE;
    RECT r = wp->rcNormalPosition;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        w->normal = r;
    }
    if (!IsIconic(hwnd) && !IsZoomed(hwnd))
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, int(wp->showCmd));
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = ScreenWindowRect(w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = RECT{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
    return TRUE;
}

BOOL WINAPI GetWindowInfo(HWND hwnd, PWINDOWINFO info) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !info) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    info->rcWindow = ScreenWindowRect(w);
    info->rcClient = ScreenClientRect(w);
    info->dwStyle = w->style;
    info->dwExStyle = w->exstyle;
    info->dwWindowStatus = w->nc_active ? WS_ACTIVECAPTION : 0;
    NcLayout l = LayoutOf(w);
    info->cxWindowBorders = UINT(l.frame);
    info->cyWindowBorders = UINT(l.frame);
    info->atomWindowType = w->cls->atom;
    info->wCreatorVersion = 0x0501;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = ClientOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = ClientOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count) {
    Guard g(GlobalLock());
    POINT a{0, 0}, b{0, 0};
    if (from && from != Desktop()) {
        Window* w = W(from);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        a = ClientOrigin(w);
    }
    if (to && to != Desktop()) {
        Window* w = W(to);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        b = ClientOrigin(w);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; pts && i < count; ++i) {
        pts[i].x += dx;
        pts[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exstyle) {
    if (!rect) return FALSE;
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION;
    NcLayout l = ComputeNcLayout(style & ~DWORD(WS_HSCROLL | WS_VSCROLL), exstyle, menu != FALSE, 1000, 1000,
                                 GetSystemMetrics(SM_CYMENU));
    rect->left -= l.client.left;
    rect->top -= l.client.top;
    rect->right += 1000 - l.client.right;
    rect->bottom += 1000 - l.client.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

}  // extern "C"

namespace plat::user {

// The deepest visible, enabled-or-not child of `parent` containing the screen point, or the
// parent itself. Window regions count.
HWND ChildAtScreenPoint(HWND parent, POINT pt, UINT skip) {
    LockedWindow w(parent, Lookup::Quiet);
    if (!w) return nullptr;
    for (HWND k : w->children) {
        Window* c = W(k);
        if (!c) continue;
        if ((skip & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
        if ((skip & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
        if ((skip & CWP_SKIPTRANSPARENT) && (c->exstyle & WS_EX_TRANSPARENT)) continue;
        RECT r = ScreenWindowRect(c);
        if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom) continue;
        if (c->window_region && !c->window_region->Contains(pt.x - r.left, pt.y - r.top)) continue;
        return k;
    }
    return parent;
}

// The top level under a screen point (visible ones only), honouring window regions.
HWND TopLevelAtScreenPoint(POINT pt) {
    Guard g(GlobalLock());
    for (HWND t : TopLevels()) {
        Window* w = W(t);
        if (!w || !(w->style & WS_VISIBLE) || w->is_message_only) continue;
        RECT r = w->wr;
        if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom) continue;
        if (w->window_region && !w->window_region->Contains(pt.x - r.left, pt.y - r.top)) continue;
        if (w->layered_flags & 0x80000000u) continue;
        return t;
    }
    return nullptr;
}

}  // namespace plat::user

extern "C" {

HWND WINAPI WindowFromPoint(POINT pt) {
    HWND h = TopLevelAtScreenPoint(pt);
    if (!h) return nullptr;
    // Descend through visible children; a child answering HTTRANSPARENT lets its parent take it.
    for (;;) {
        // Hidden and disabled children do not take the mouse; their parent does.
        HWND c = ChildAtScreenPoint(h, pt, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!c || c == h) break;
        Window* cw;
        {
            Guard g(GlobalLock());
            cw = W(c);
            if (!cw) break;
        }
        h = c;
    }
    return h;
}

HWND WINAPI ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
    {
        LockedWindow w(parent, Lookup::Quiet);
        if (!w) return nullptr;
        POINT o = ClientOrigin(w);
        RECT r{0, 0, w->cr.right - w->cr.left, w->cr.bottom - w->cr.top};
        if (!w->is_desktop && (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom)) return nullptr;
        pt.x += o.x;
        pt.y += o.y;
    }
    return ChildAtScreenPoint(parent, pt, flags);
}

HWND WINAPI ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

}  // extern "C"
