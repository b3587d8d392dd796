// Input from the screen, routed to windows: hit testing, capture, activation on click,
// double clicks, the cursor, keys to the focus window; and the compositor's view of top levels.
#include <cstring>
#include <mutex>

#include "backend/backend.h"
#include "core/utf8.h"
#include "core/clock.h"
#include "kernel/kobjects.h"
#include "user/backend_port.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
void MouseTrackingMoved(HWND under, LRESULT hit);  // focus.cpp
char KeyChar(UINT vk, bool shift, bool caps);       // misc.cpp
HWND CaptureWindow();
HWND FocusWindowAnyThread();
HWND ActiveWindowAnyThread();
}  // namespace plat::user

using namespace plat;
using namespace plat::user;

namespace {

struct ClickMemory {
    HWND hwnd = nullptr;
    UINT button_msg = 0;
    uint64_t time = 0;
    POINT pt{0, 0};
};
ClickMemory g_last_click;
std::mutex g_input_mu;
BYTE g_down[256];
// The character the last key press will give through TranslateMessage: a screen that reports
// the same keystroke as text too must not type it twice.
uint32_t g_pending_char = 0;

DWORD WindowTid(HWND h) {
    Guard g(GlobalLock());
    Window* w = W(h);
    return w ? w->tid : 0;
}

void PostInput(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, POINT screen) {
    DWORD tid = WindowTid(hwnd);
    if (!tid) return;
    MSG m{hwnd, msg, wp, lp, DWORD(clock::NowMs()), screen};
    PostTo(tid, m, true);
}

WPARAM MouseKeys() {
    WPARAM k = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) k |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) k |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) k |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) k |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) k |= MK_CONTROL;
    return k;
}

// The deepest visible, enabled window at the point among `h`'s later siblings (the windows
// below it), or null.
HWND SiblingBelow(HWND h, POINT screen) {
    for (HWND s = GetWindow(h, GW_HWNDNEXT); s; s = GetWindow(s, GW_HWNDNEXT)) {
        RECT r;
        if (!IsWindowVisible(s) || !IsWindowEnabled(s) || !GetWindowRect(s, &r)) continue;
        if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom) continue;
        for (;;) {
            POINT c = screen;
            ScreenToClient(s, &c);
            HWND d = ChildWindowFromPointEx(s, c, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
            if (!d || d == s) return s;
            s = d;
        }
    }
    return nullptr;
}

// The window under the pointer and what part of it: capture wins, then hit testing, where a
// child answering HTTRANSPARENT (a group box) passes the point to the windows below it, then
// to its parent; a top level answering it passes the point to the top levels of its thread
// below it.
HWND Target(POINT screen, LRESULT* hit) {
    if (HWND c = CaptureWindow()) {
        *hit = HTCLIENT;
        return c;
    }
    HWND h = WindowFromPoint(screen);
    HWND top = h ? GetAncestor(h, GA_ROOT) : nullptr;
    if (top && !IsWindowEnabled(top)) {
        // A disabled top level (the owner of a modal dialog) takes no mouse input, nor do its
        // controls, enabled as they are.
        *hit = HTERROR;
        return top;
    }
    while (h) {
        LRESULT r = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (r != HTTRANSPARENT) {
            *hit = r;
            return h;
        }
        bool child = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0;
        HWND below = SiblingBelow(h, screen);
        if (below && !child && WindowTid(GetAncestor(below, GA_ROOT)) != WindowTid(h)) below = nullptr;
        if (below) {
            h = below;
            continue;
        }
        if (!child) break;
        HWND p = GetAncestor(h, GA_PARENT);
        h = (p && p != GetDesktopWindow()) ? p : nullptr;
    }
    *hit = HTNOWHERE;
    return nullptr;
}

// The topmost visible, enabled window that `owner` owns, directly or through other owned
// windows (a message box over a dialog over the main window), or null.
HWND EnabledOwnedWindow(HWND owner) {
    Guard g(GlobalLock());
    for (HWND t : TopLevels()) {
        Window* w = W(t);
        if (w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && OwnedBy(w, owner)) return t;
    }
    return nullptr;
}

bool ClassHasDblClks(HWND h) { return (GetClassLongA(h, GCL_STYLE) & CS_DBLCLKS) != 0; }

}  // namespace

namespace plat::input {

void MouseMove(POINT screen) {
    SetCursorPosInternal(screen);
    LRESULT hit;
    HWND h = Target(screen, &hit);
    MouseTrackingMoved(h, hit);
    if (!h) return;
    if (!CaptureWindow()) SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(hit, WM_MOUSEMOVE));
    if (hit == HTERROR) return;
    if (hit == HTCLIENT) {
        POINT c = screen;
        ScreenToClient(h, &c);
        PostInput(h, WM_MOUSEMOVE, MouseKeys(), MAKELPARAM(c.x, c.y), screen);
    } else {
        PostInput(h, WM_NCMOUSEMOVE, WPARAM(hit), MAKELPARAM(screen.x, screen.y), screen);
    }
}

void MouseButton(Button button, bool down, POINT screen) {
    SetCursorPosInternal(screen);
    UINT vk = button == Button::Left ? VK_LBUTTON : button == Button::Right ? VK_RBUTTON : VK_MBUTTON;
    SetMouseButtonState(vk, down);
    UINT base = button == Button::Left ? WM_LBUTTONDOWN : button == Button::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    UINT nc_base = button == Button::Left ? WM_NCLBUTTONDOWN : button == Button::Right ? WM_NCRBUTTONDOWN : WM_NCMBUTTONDOWN;
    LRESULT hit;
    HWND h = Target(screen, &hit);
    if (!h) return;
    if (hit == HTERROR) {
        if (down) SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(WORD(short(HTERROR)), base));
        return;
    }
    bool eat = false;
    if (down && !CaptureWindow()) {
        HWND top = GetAncestor(h, GA_ROOT);
        bool activatable = top && !(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
        char cls[16] = {0};
        GetClassNameA(top, cls, sizeof(cls));
        if (strcmp(cls, "#32768") == 0) activatable = false;
        if (activatable && top != ActiveWindowAnyThread()) {
            LRESULT ma = SendMessageA(h, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(hit, base));
            if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && WindowTid(top) == kernel::CurrentTid())
                SetActiveWindow(top);
            eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
        }
        SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(hit, base));
    }
    if (eat) return;
    UINT msg_off = down ? 0 : 1;
    if (down) {
        std::lock_guard<std::mutex> g(g_input_mu);
        uint64_t now = clock::NowMs();
        int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, dy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        bool dbl = g_last_click.hwnd == h && g_last_click.button_msg == base &&
                   now - g_last_click.time <= GetDoubleClickTime() && std::abs(screen.x - g_last_click.pt.x) <= dx &&
                   std::abs(screen.y - g_last_click.pt.y) <= dy;
        bool eligible = hit != HTCLIENT || ClassHasDblClks(h);
        if (dbl && eligible) {
            msg_off = 2;
            g_last_click = ClickMemory{};  // a third click starts a new pair
        } else {
            g_last_click = ClickMemory{h, base, now, screen};
        }
    }
    if (hit == HTCLIENT) {
        POINT c = screen;
        ScreenToClient(h, &c);
        PostInput(h, base + msg_off, MouseKeys(), MAKELPARAM(c.x, c.y), screen);
    } else {
        PostInput(h, nc_base + msg_off, WPARAM(hit), MAKELPARAM(screen.x, screen.y), screen);
    }
}

// The wheel turns what is under the pointer, found as a click would find it (a window holding
// the mouse, such as an open drop-down, keeps it), whichever window has the keyboard; what a
// window leaves unhandled goes up to its parent. Over a window a modal box disables, or over
// no window of the program, it turns nothing.
void MouseWheel(int delta, POINT screen) {
    SetCursorPosInternal(screen);
    LRESULT hit;
    HWND h = Target(screen, &hit);
    if (!h || hit == HTERROR) return;
    WORD keys = WORD(MouseKeys());
    WORD d = WORD(short(delta));
    PostInput(h, WM_MOUSEWHEEL, MAKEWPARAM(keys, d), MAKELPARAM(screen.x, screen.y), screen);
}

void Key(UINT vk, bool down) {
    bool was_down;
    {
        std::lock_guard<std::mutex> g(g_input_mu);
        was_down = vk < 256 && g_down[vk];
        if (vk < 256) g_down[vk] = down ? 1 : 0;
    }
    SetAsyncKey(vk, down);
    {
        std::lock_guard<std::mutex> g(g_input_mu);
        g_pending_char = 0;
        if (down && GetAsyncKeyState(VK_CONTROL) >= 0 && GetAsyncKeyState(VK_MENU) >= 0) {
            char c = KeyChar(vk, GetAsyncKeyState(VK_SHIFT) < 0, (GetKeyState(VK_CAPITAL) & 1) != 0);
            if (BYTE(c) >= 0x20) g_pending_char = BYTE(c);
        }
    }
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) SetAsyncKey(VK_SHIFT, down);
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) SetAsyncKey(VK_CONTROL, down);
    if (vk == VK_LMENU || vk == VK_RMENU) SetAsyncKey(VK_MENU, down);
    bool alt = GetAsyncKeyState(VK_MENU) < 0 || (vk == VK_MENU && !down);
    bool ctrl = GetAsyncKeyState(VK_CONTROL) < 0;
    HWND h = FocusWindowAnyThread();
    bool sys = (alt && !ctrl) || vk == VK_F10;
    if (!h) {
        h = ActiveWindowAnyThread();
        sys = true;  // keys with no focus window go to the active window as system keys
    }
    if (!h) return;
    LPARAM lp = 1 | (LPARAM(MapVirtualKeyA(vk, 0) & 0xFF) << 16);
    if (alt) lp |= LPARAM(1) << 29;
    if (was_down) lp |= LPARAM(1) << 30;
    if (!down) lp |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    PostInput(h, msg, vk, LPARAM(DWORD(lp)), CursorPosInternal());
}

// Text from the screen. A character that the key just pressed gives through TranslateMessage
// is not typed again; others arrive as their UTF-8 bytes, the program's narrow encoding.
void Char(uint32_t cp) {
    {
        std::lock_guard<std::mutex> g(g_input_mu);
        bool dup = cp == g_pending_char && cp != 0;
        g_pending_char = 0;
        if (dup) return;
    }
    if (cp == 0 || cp > 0x10FFFF) return;
    HWND h = FocusWindowAnyThread();
    if (!h) return;
    std::string bytes;
    core::AppendUtf8(bytes, cp);
    for (char b : bytes) PostInput(h, WM_CHAR, WPARAM(BYTE(b)), 1, CursorPosInternal());
}

void CloseRequest(HWND top_level) {
    if (IsWindow(top_level)) PostMessageA(top_level, WM_CLOSE, 0, 0);
}

void MinimizeRequest(HWND top_level, bool minimize) {
    // As the window's own minimise and restore buttons would ask: the program may refuse.
    // The desktop shows the window again before it sends the input that follows (a click on
    // the restored window), and input finds its window when it arrives: on the window's own
    // thread the request is answered before the next event is delivered.
    if (IsWindow(top_level) && (IsIconic(top_level) != 0) != minimize)
        SendNotifyMessageA(top_level, WM_SYSCOMMAND, minimize ? SC_MINIMIZE : SC_RESTORE, 0);
}

void MovedByDesktop(HWND top_level, POINT screen) {
    // The window is already there on the desktop; the window system's record (and the
    // window's WM_MOVE) catch up.
    if (IsWindow(top_level) && !IsIconic(top_level))
        SetWindowPos(top_level, nullptr, screen.x, screen.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Activate(HWND top_level) {
    if (!IsWindow(top_level)) return;
    // The desktop activated the owner of an open modal dialog: the dialog is what answers,
    // and the desktop's keyboard goes back to it.
    if (!IsWindowEnabled(top_level))
        if (HWND popup = EnabledOwnedWindow(top_level)) {
            top_level = popup;
            if (Backend* b = BackendOrNull()) b->FocusTopLevel(popup);
        }
    if (WindowTid(top_level) == kernel::CurrentTid()) SetActiveWindow(top_level);
    else SetForegroundWindow(top_level);
}

}  // namespace plat::input

namespace plat {

std::vector<TopLevelView> TopLevelsInZOrder() {
    std::vector<TopLevelView> out;
    Guard g(GlobalLock());
    const auto& tops = user::TopLevels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window* w = W(*it);
        if (!w || w->is_message_only) continue;
        TopLevelView v{};
        v.hwnd = w->hwnd;
        v.screen_rect = w->wr;
        // What was shown stays on the screen when a style change clears WS_VISIBLE (or
        // WM_SETREDRAW does); only hiding takes it off.
        v.visible = w->shown && !(w->style & WS_MINIMIZE);
        v.surface = w->surface;
        if (w->exstyle & WS_EX_LAYERED) {
            if (w->layered_flags & LWA_ALPHA) v.alpha = w->alpha;
            if (w->layered_flags & LWA_COLORKEY) {
                v.color_keyed = true;
                v.color_key = w->color_key;
            }
        }
        v.window_region = w->window_region;
        out.push_back(v);
    }
    return out;
}

}  // namespace plat
