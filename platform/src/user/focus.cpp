// Keyboard focus, mouse capture, activation, mouse tracking and cursors.
#include <algorithm>
#include <mutex>

#include "backend/backend.h"
#include "core/clock.h"
#include "kernel/kobjects.h"
#include "user/queue.h"
#include "user/res_objects.h"
#include "user/window.h"

using namespace plat;
using namespace plat::user;

namespace {

HWND g_focus = nullptr;
HWND g_active = nullptr;
HWND g_capture = nullptr;

struct Tracking {
    HWND hwnd = nullptr;
    DWORD flags = 0;
    DWORD hover_ms = 400;
    UINT_PTR hover_timer = 0;
    POINT hover_origin{0, 0};
};
std::vector<Tracking> g_tracking;  // guarded by the global lock

HCURSOR g_cursor = nullptr;
int g_cursor_count = 0;

bool InTree(HWND root, HWND h) { return h && (h == root || IsChild(root, h)); }

bool IsOwnThread(HWND h) {
    Guard g(GlobalLock());
    Window* w = W(h);
    return w && w->tid == kernel::CurrentTid();
}

void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    HWND target = nullptr;
    bool nonclient = false;
    POINT pt = CursorPosInternal();
    {
        Guard g(GlobalLock());
        for (auto it = g_tracking.begin(); it != g_tracking.end(); ++it) {
            if (it->hover_timer != id) continue;
            int dx = pt.x - it->hover_origin.x, dy = pt.y - it->hover_origin.y;
            if (dx < -2 || dx > 2 || dy < -2 || dy > 2) {
                // Moved: start the hover period again from here.
                it->hover_origin = pt;
                return;
            }
            target = it->hwnd;
            nonclient = (it->flags & TME_NONCLIENT) != 0;
            it->flags &= ~DWORD(TME_HOVER);
            it->hover_timer = 0;
            if (!(it->flags & TME_LEAVE)) g_tracking.erase(it);
            break;
        }
    }
    KillTimer(nullptr, id);
    if (!target) return;
    POINT c = pt;
    if (nonclient) {
        PostMessageA(target, WM_NCMOUSEHOVER, WPARAM(SendMessageA(target, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y))),
                     MAKELPARAM(pt.x, pt.y));
    } else {
        ScreenToClient(target, &c);
        WPARAM keys = 0;
        if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
        if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
        PostMessageA(target, WM_MOUSEHOVER, keys, MAKELPARAM(c.x, c.y));
    }
}

}  // namespace

namespace plat::user {

void ForgetWindowState(HWND hwnd) {
    bool was_active = false;
    {
        Guard g(GlobalLock());
        if (g_focus && (g_focus == hwnd || !W(g_focus) || IsChild(hwnd, g_focus))) g_focus = nullptr;
        if (g_capture == hwnd || (g_capture && !W(g_capture))) g_capture = nullptr;
        if (g_active == hwnd) {
            g_active = nullptr;
            was_active = true;
        }
        g_tracking.erase(std::remove_if(g_tracking.begin(), g_tracking.end(),
                                        [&](const Tracking& t) { return t.hwnd == hwnd; }),
                         g_tracking.end());
    }
    (void)was_active;
}

void ActivateOnShow(HWND hwnd) {
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || w->parent || (w->exstyle & WS_EX_NOACTIVATE) || w->is_message_only) return;
        if (w->cls && w->cls->name == "#32768") return;  // menus never take activation
        if (w->exstyle & WS_EX_TOOLWINDOW && (w->style & WS_POPUP) && !(w->style & WS_CAPTION)) return;
    }
    if (IsOwnThread(hwnd)) SetActiveWindow(hwnd);
}

void DeactivateOnHide(HWND hwnd) {
    HWND next = nullptr;
    bool was_active;
    {
        Guard g(GlobalLock());
        was_active = g_active == hwnd;
        if (g_focus && InTree(hwnd, g_focus)) {
            // The focus leaves a hidden window quietly; activation below may give it a new home.
        }
        if (!was_active) return;
        Window* w = W(hwnd);
        auto takes_over = [&](HWND t) {
            Window* o = W(t);
            return t != hwnd && o && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED) &&
                   o->tid == kernel::CurrentTid() && !(o->cls && o->cls->name == "#32768");
        };
        // The owner takes over; an owner that another modal box keeps disabled hands over to
        // that box (a message box that ends over a question box); else the next top level.
        Window* owner = w ? W(w->owner) : nullptr;
        if (owner && (owner->style & WS_VISIBLE)) {
            if (!(owner->style & WS_DISABLED)) next = owner->hwnd;
            else
                for (HWND t : TopLevels())
                    if (takes_over(t) && OwnedBy(W(t), owner->hwnd)) {
                        next = t;
                        break;
                    }
        }
        if (!next)
            for (HWND t : TopLevels())
                if (takes_over(t)) {
                    next = t;
                    break;
                }
    }
    SetActiveWindow(next);
}

void SetCursorShapeFor(HCURSOR c);

}  // namespace plat::user

extern "C" {

HWND WINAPI SetFocus(HWND hwnd) {
    HWND old;
    {
        Guard g(GlobalLock());
        old = g_focus;
        if (hwnd && !W(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (hwnd && W(hwnd)->tid != kernel::CurrentTid()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        if (old && W(old) && W(old)->tid != kernel::CurrentTid()) old = nullptr;
    }
    if (hwnd == old) return old;
    if (hwnd) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        if (root && GetActiveWindow() != root) {
            SetActiveWindow(root);
            Guard g(GlobalLock());
            if (!W(hwnd)) return nullptr;
            old = g_focus;
        }
        if (hwnd == old) return old;
    }
    {
        Guard g(GlobalLock());
        g_focus = hwnd;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && IsWindow(hwnd)) {
        Guard g(GlobalLock());
        if (g_focus != hwnd) return old;  // the old window moved the focus elsewhere meanwhile
    }
    if (hwnd && IsWindow(hwnd)) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND WINAPI GetFocus(void) {
    Guard g(GlobalLock());
    Window* w = W(g_focus);
    return w && w->tid == kernel::CurrentTid() ? g_focus : nullptr;
}

HWND WINAPI SetCapture(HWND hwnd) {
    HWND old;
    {
        Guard g(GlobalLock());
        if (hwnd && !W(hwnd)) return nullptr;
        old = g_capture;
        g_capture = hwnd;
    }
    if (old && old != hwnd && IsWindow(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    HWND old;
    {
        Guard g(GlobalLock());
        old = g_capture;
        g_capture = nullptr;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    Guard g(GlobalLock());
    Window* w = W(g_capture);
    return w && w->tid == kernel::CurrentTid() ? g_capture : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    HWND old;
    {
        Guard g(GlobalLock());
        if (hwnd) {
            Window* w = W(hwnd);
            if (!w) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
            Window* r = RootOf(w);
            hwnd = r->hwnd;
        }
        old = g_active;
        if (old && !W(old)) old = nullptr;
    }
    if (old == hwnd) return old;
    HWND focus_in_old = nullptr;
    {
        Guard g(GlobalLock());
        if (old && g_focus && InTree(old, g_focus)) focus_in_old = g_focus;
    }
    if (old) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), reinterpret_cast<LPARAM>(hwnd));
    }
    if (focus_in_old && IsWindow(focus_in_old)) {
        {
            Guard g(GlobalLock());
            if (g_focus == focus_in_old) g_focus = nullptr;
        }
        SendMessageA(focus_in_old, WM_KILLFOCUS, 0, 0);
    }
    {
        Guard g(GlobalLock());
        g_active = hwnd && W(hwnd) ? hwnd : nullptr;
    }
    if (!hwnd || !IsWindow(hwnd)) return old;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The desktop's keyboard follows: keys typed on the screen reach the active window.
    if (Backend* b = BackendOrNull()) b->FocusTopLevel(hwnd);
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(hwnd)), reinterpret_cast<LPARAM>(old));
    return old;
}

HWND WINAPI GetActiveWindow(void) {
    Guard g(GlobalLock());
    Window* w = W(g_active);
    return w && w->tid == kernel::CurrentTid() ? g_active : nullptr;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    if (IsOwnThread(hwnd)) {
        SetActiveWindow(hwnd);
    } else {
        // Another thread's window becomes active in its own thread.
        PostMessageA(hwnd, WM_NULL, 0, 0);
        Guard g(GlobalLock());
        g_active = GetAncestor(hwnd, GA_ROOT);
    }
    if (Backend* b = BackendOrNull()) b->RaiseTopLevel(GetAncestor(hwnd, GA_ROOT));
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
    Guard g(GlobalLock());
    return W(g_active) ? g_active : nullptr;
}

BOOL WINAPI TrackMouseEvent(LPTRACKMOUSEEVENT tme) {
    if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (tme->dwFlags & TME_QUERY) {
        Guard g(GlobalLock());
        for (auto& t : g_tracking)
            if (W(t.hwnd) && W(t.hwnd)->tid == kernel::CurrentTid()) {
                tme->dwFlags = t.flags;
                tme->hwndTrack = t.hwnd;
                tme->dwHoverTime = t.hover_ms;
                return TRUE;
            }
        tme->dwFlags = 0;
        tme->hwndTrack = nullptr;
        return TRUE;
    }
    HWND hwnd = tme->hwndTrack;
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DWORD what = tme->dwFlags & (TME_HOVER | TME_LEAVE);
    bool nonclient = (tme->dwFlags & TME_NONCLIENT) != 0;
    if (tme->dwFlags & TME_CANCEL) {
        UINT_PTR timer = 0;
        {
            Guard g(GlobalLock());
            for (auto it = g_tracking.begin(); it != g_tracking.end(); ++it)
                if (it->hwnd == hwnd) {
                    it->flags &= ~what;
                    if (!(it->flags & TME_HOVER)) {
                        timer = it->hover_timer;
                        it->hover_timer = 0;
                    }
                    if (!(it->flags & (TME_HOVER | TME_LEAVE))) g_tracking.erase(it);
                    break;
                }
        }
        if (timer) KillTimer(nullptr, timer);
        return TRUE;
    }
    // Is the mouse over the window (in the part asked for) right now?
    POINT pt = CursorPosInternal();
    HWND under = WindowFromPoint(pt);
    bool over = under == hwnd;
    if (over) {
        LRESULT ht = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
        over = nonclient ? ht != HTCLIENT : ht == HTCLIENT;
    }
    if (!over) {
        if (what & TME_LEAVE) PostMessageA(hwnd, nonclient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return TRUE;
    }
    DWORD hover = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
    UINT_PTR old_timer = 0;
    {
        Guard g(GlobalLock());
        // One tracked window at a time, as the platform has it.
        g_tracking.erase(std::remove_if(g_tracking.begin(), g_tracking.end(),
                                        [&](const Tracking& t) {
                                            if (t.hwnd != hwnd && t.hover_timer) old_timer = t.hover_timer;
                                            return t.hwnd != hwnd;
                                        }),
                         g_tracking.end());
    }
    if (old_timer) KillTimer(nullptr, old_timer);
    UINT_PTR timer = 0;
    if (what & TME_HOVER) timer = SetTimer(nullptr, 0, hover, HoverTimerProc);
    Guard g(GlobalLock());
    Tracking* t = nullptr;
    for (auto& x : g_tracking)
        if (x.hwnd == hwnd) t = &x;
    if (!t) {
        g_tracking.push_back(Tracking{});
        t = &g_tracking.back();
        t->hwnd = hwnd;
    }
    UINT_PTR replaced = 0;
    if (timer) {
        replaced = t->hover_timer;
        t->hover_timer = timer;
        t->hover_origin = pt;
        t->hover_ms = hover;
    }
    t->flags = (t->flags & ~DWORD(TME_NONCLIENT)) | what | (nonclient ? TME_NONCLIENT : 0);
    if (replaced) KillTimer(nullptr, replaced);
    return TRUE;
}

BOOL WINAPI _TrackMouseEvent(LPTRACKMOUSEEVENT tme) { return TrackMouseEvent(tme); }

// System cursors are small constant handles carrying their IDC_* number; the program's own
// cursors come from its resources.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    uintptr_t id = IS_INTRESOURCE(name) ? reinterpret_cast<uintptr_t>(name) : 0;
    if (!instance && id >= 32512 && id <= 32651) return reinterpret_cast<HCURSOR>(uintptr_t(0x7F000000u) + id);
    if (HCURSOR c = LoadCursorResource(name, 0, 0)) return c;
    SetLastError(1812);  // ERROR_RESOURCE_DATA_NOT_FOUND
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    HCURSOR old;
    {
        Guard g(GlobalLock());
        old = g_cursor;
        g_cursor = cursor;
    }
    uintptr_t v = reinterpret_cast<uintptr_t>(cursor);
    if (Backend* b = BackendOrNull()) {
        if (v > 0x7F000000u && v <= 0x7F000000u + 32651) b->SetCursorShape(int(v - 0x7F000000u));
        else if (!cursor) b->SetCursorShape(0);
    }
    return old;
}

HCURSOR WINAPI GetCursor(void) {
    Guard g(GlobalLock());
    return g_cursor;
}

int WINAPI ShowCursor(BOOL show) {
    Guard g(GlobalLock());
    g_cursor_count += show ? 1 : -1;
    return g_cursor_count;
}

}  // extern "C"

namespace plat::user {

// Mouse tracking as the pointer moves: leave messages for windows it left.
void MouseTrackingMoved(HWND under, LRESULT hit) {
    std::vector<std::pair<HWND, UINT>> leaves;
    std::vector<UINT_PTR> timers;
    {
        Guard g(GlobalLock());
        for (auto it = g_tracking.begin(); it != g_tracking.end();) {
            bool nonclient = (it->flags & TME_NONCLIENT) != 0;
            bool still = under == it->hwnd && (nonclient ? hit != HTCLIENT : hit == HTCLIENT);
            if (!still && (it->flags & TME_LEAVE)) {
                leaves.push_back({it->hwnd, nonclient ? UINT(WM_NCMOUSELEAVE) : UINT(WM_MOUSELEAVE)});
                if (it->hover_timer) timers.push_back(it->hover_timer);
                it = g_tracking.erase(it);
            } else if (!still) {
                if (it->hover_timer) timers.push_back(it->hover_timer);
                it = g_tracking.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (UINT_PTR t : timers) KillTimer(nullptr, t);
    for (auto& [h, m] : leaves) PostMessageA(h, m, 0, 0);
}

HWND CaptureWindow() {
    Guard g(GlobalLock());
    return W(g_capture) ? g_capture : nullptr;
}
HWND FocusWindowAnyThread() {
    Guard g(GlobalLock());
    return W(g_focus) ? g_focus : nullptr;
}
HWND ActiveWindowAnyThread() {
    Guard g(GlobalLock());
    return W(g_active) ? g_active : nullptr;
}

}  // namespace plat::user
