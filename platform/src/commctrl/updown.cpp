// The up-down control: a pair of arrow buttons that step a position in a range, optionally
// shown in a buddy window's text, with auto-repeat that speeds up while a button is held.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commctrl/common.h"

namespace plat::commctrl {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 400;  // ms before a held button starts repeating
constexpr UINT kRepeatDelay = 100;
constexpr const char* kBuddyOwner = "plat.updown.owner";  // on the buddy: the up-down it serves
constexpr const char* kBuddyProc = "plat.updown.proc";    // on the buddy: its own procedure

struct UpDown {
    HWND hwnd = nullptr;
    // The system's default range runs from 100 down to 0, so the up arrow lowers the value.
    int lo = 100, hi = 0, pos = 0;
    int base = 10;
    HWND buddy = nullptr;
    std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};
    int pressed = -1;     // the half held by the mouse: 0 up (or right), 1 down (or left); -1 none
    bool inside = false;  // the mouse is over the held half
    bool key_held = false;
    DWORD press_tick = 0;
};

UpDown* U(HWND h) { return State<UpDown>(h); }
DWORD StyleOf(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool Horz(HWND h) { return StyleOf(h) & UDS_HORZ; }
int Lower(const UpDown& s) { return std::min(s.lo, s.hi); }
int Upper(const UpDown& s) { return std::max(s.lo, s.hi); }
int Clamp(const UpDown& s, long long v) { return int(std::clamp<long long>(v, Lower(s), Upper(s))); }

// The button half under p: 0 for the up arrow (the right one when horizontal), 1 for the other.
int HalfAt(HWND h, POINT p) {
    RECT cr;
    GetClientRect(h, &cr);
    if (!PtInRect(&cr, p)) return -1;
    if (Horz(h)) return p.x >= cr.right / 2 ? 0 : 1;
    return p.y < cr.bottom / 2 ? 0 : 1;
}

RECT HalfRect(HWND h, int half) {
    RECT cr;
    GetClientRect(h, &cr);
    if (Horz(h)) {
        int mid = cr.right / 2;
        return half == 0 ? RECT{mid, 0, cr.right, cr.bottom} : RECT{0, 0, mid, cr.bottom};
    }
    int mid = cr.bottom / 2;
    return half == 0 ? RECT{0, 0, cr.right, mid} : RECT{0, mid, cr.right, cr.bottom};
}

// ---- the buddy's text --------------------------------------------------------------------

std::string FormatPos(HWND h, const UpDown& s) {
    char buf[32];
    if (s.base == 16) {
        snprintf(buf, sizeof buf, "0x%X", unsigned(s.pos) & 0xFFFFu);
        return buf;
    }
    snprintf(buf, sizeof buf, "%d", s.pos < 0 ? -s.pos : s.pos);
    std::string digits = buf, out;
    bool group = !(StyleOf(h) & UDS_NOTHOUSANDS);
    for (size_t k = 0; k < digits.size(); ++k) {
        if (group && k > 0 && (digits.size() - k) % 3 == 0) out += ',';
        out += digits[k];
    }
    return s.pos < 0 ? "-" + out : out;
}

// The number in the buddy's text; false when it holds none.
bool ParseBuddy(const UpDown& s, long long* out) {
    char buf[64] = {};
    GetWindowTextA(s.buddy, buf, sizeof buf);
    std::string t;
    for (const char* c = buf; *c; ++c)
        if (*c != ',' && *c != ' ') t += *c;
    if (t.empty()) return false;
    char* end = nullptr;
    long long v = s.base == 16 ? strtoll(t.c_str(), &end, 16) : strtoll(t.c_str(), &end, 10);
    if (!end || *end) return false;
    *out = v;
    return true;
}

bool IntBuddy(HWND h, const UpDown& s) { return s.buddy && IsWindow(s.buddy) && (StyleOf(h) & UDS_SETBUDDYINT); }

void ShowInBuddy(HWND h, const UpDown& s) {
    if (IntBuddy(h, s)) SetWindowTextA(s.buddy, FormatPos(h, s).c_str());
}

// Takes up what the user typed into the buddy; false when it is no number in the range.
bool ReadBuddy(HWND h, UpDown& s) {
    if (!IntBuddy(h, s)) return true;
    long long v = 0;
    if (!ParseBuddy(s, &v) || v < Lower(s) || v > Upper(s)) return false;
    s.pos = int(v);
    return true;
}

// ---- stepping ----------------------------------------------------------------------------

void NotifyScroll(HWND h, int code, int pos) {
    HWND parent = GetParent(h);
    if (!parent) return;
    UINT msg = Horz(h) ? WM_HSCROLL : WM_VSCROLL;
    SendMessageA(parent, msg, MAKEWPARAM(WORD(code), WORD(pos)), reinterpret_cast<LPARAM>(h));
}

// The increment for a button held since the press: the last step whose time has come.
int HeldIncrement(const UpDown& s) {
    DWORD secs = (GetTickCount() - s.press_tick) / 1000;
    int inc = s.accel.empty() ? 1 : int(s.accel[0].nInc);
    for (const UDACCEL& a : s.accel)
        if (a.nSec <= secs) inc = int(a.nInc);
    return inc;
}

// One step of `half` by inc: the parent may refuse it (or change it) through UDN_DELTAPOS; the
// position wraps or stops at the ends; the parent then hears SB_THUMBPOSITION.
void Step(HWND h, int half, int inc) {
    UpDown* s = U(h);
    if (!s) return;
    ReadBuddy(h, *s);
    int delta = half == 0 ? inc : -inc;
    if (s->hi < s->lo) delta = -delta;  // the up arrow moves towards the upper end of the range
    NMUPDOWN nm{};
    nm.iPos = s->pos;
    nm.iDelta = delta;
    if (SendNotify(h, UDN_DELTAPOS, &nm.hdr)) return;
    s = U(h);
    if (!s) return;
    long long next = (long long)s->pos + nm.iDelta;
    if (next < Lower(*s) || next > Upper(*s)) {
        if (StyleOf(h) & UDS_WRAP) next = next < Lower(*s) ? Upper(*s) : Lower(*s);
        else next = Clamp(*s, next);
    }
    s->pos = int(next);
    ShowInBuddy(h, *s);
    NotifyScroll(h, SB_THUMBPOSITION, s->pos);
}

void EndPress(HWND h, UpDown& s, bool release_capture) {
    if (s.pressed < 0) return;
    s.pressed = -1;
    s.inside = false;
    KillTimer(h, kRepeatTimer);
    if (release_capture && GetCapture() == h) ReleaseCapture();
    InvalidateRect(h, nullptr, FALSE);
    NotifyScroll(h, SB_ENDSCROLL, U(h) ? U(h)->pos : 0);
}

// ---- the buddy ---------------------------------------------------------------------------

LRESULT CALLBACK BuddyProc(HWND b, UINT m, WPARAM w, LPARAM l);

void ReleaseBuddy(UpDown& s) {
    HWND b = s.buddy;
    s.buddy = nullptr;
    if (!b || !IsWindow(b) || GetPropA(b, kBuddyOwner) != s.hwnd) return;
    auto old = reinterpret_cast<WNDPROC>(GetPropA(b, kBuddyProc));
    // Our procedure comes out only when nobody chained after it; otherwise it keeps passing
    // everything through, since the owner property is gone.
    if (old && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(b, GWLP_WNDPROC)) == BuddyProc) {
        SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(b, kBuddyProc);
    }
    RemovePropA(b, kBuddyOwner);
}

// Keys the buddy hands to its up-down (UDS_ARROWKEYS): the arrows along the control's axis.
int KeyHalf(HWND h, WPARAM vk) {
    if (Horz(h)) return vk == VK_RIGHT ? 0 : vk == VK_LEFT ? 1 : -1;
    return vk == VK_UP ? 0 : vk == VK_DOWN ? 1 : -1;
}

bool OnArrowKey(HWND h, UINT m, WPARAM vk) {
    UpDown* s = U(h);
    int half = KeyHalf(h, vk);
    if (!s || half < 0 || !IsWindowEnabled(h)) return false;
    if (m == WM_KEYDOWN) {
        s->key_held = true;
        Step(h, half, s->accel.empty() ? 1 : int(s->accel[0].nInc));
    } else if (s->key_held) {
        s->key_held = false;
        NotifyScroll(h, SB_ENDSCROLL, s->pos);
    }
    return true;
}

LRESULT CALLBACK BuddyProc(HWND b, UINT m, WPARAM w, LPARAM l) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(b, kBuddyProc));
    auto owner = static_cast<HWND>(GetPropA(b, kBuddyOwner));
    if ((m == WM_KEYDOWN || m == WM_KEYUP) && owner && IsWindow(owner) && OnArrowKey(owner, m, w)) return 0;
    if (m == WM_NCDESTROY) {
        if (UpDown* s = owner && IsWindow(owner) ? U(owner) : nullptr; s && s->buddy == b) s->buddy = nullptr;
        RemovePropA(b, kBuddyOwner);
        RemovePropA(b, kBuddyProc);
        SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    return old ? CallWindowProcA(old, b, m, w, l) : DefWindowProcA(b, m, w, l);
}

// UDS_ALIGNRIGHT / UDS_ALIGNLEFT: the buddy gives up the control's width at that side and the
// control takes the buddy's height beside it.
void AlignToBuddy(HWND h) {
    UpDown* s = U(h);
    DWORD st = StyleOf(h);
    if (!s || !s->buddy || !(st & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
    RECT br, ur;
    GetWindowRect(s->buddy, &br);
    GetWindowRect(h, &ur);
    HWND parent = GetParent(h);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&br), 2);
    int w = ur.right - ur.left, bw = std::max(0, int(br.right - br.left) - w), bh = br.bottom - br.top;
    int bx = (st & UDS_ALIGNRIGHT) ? br.left : br.left + w;
    int ux = (st & UDS_ALIGNRIGHT) ? br.left + bw : br.left;
    SetWindowPos(s->buddy, nullptr, bx, br.top, bw, bh, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(h, nullptr, ux, br.top, w, bh, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND SetBuddy(HWND h, HWND b) {
    UpDown* s = U(h);
    HWND old = s->buddy;
    ReleaseBuddy(*s);
    if (!b || !IsWindow(b)) return old;
    s->buddy = b;
    if ((StyleOf(h) & UDS_ARROWKEYS) && !GetPropA(b, kBuddyOwner)) {
        SetPropA(b, kBuddyOwner, h);
        if (!GetPropA(b, kBuddyProc)) {
            LONG_PTR prev = SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
            SetPropA(b, kBuddyProc, reinterpret_cast<HANDLE>(prev));
        }
    }
    AlignToBuddy(h);
    return old;
}

// ---- painting and the mouse --------------------------------------------------------------

void Paint(HWND h, const UpDown& s, HDC dc) {
    bool horz = Horz(h), enabled = IsWindowEnabled(h);
    for (int half = 0; half < 2; ++half) {
        RECT r = HalfRect(h, half);
        UINT kind = horz ? (half == 0 ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT) : (half == 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
        if (s.pressed == half && s.inside) kind |= DFCS_PUSHED;
        if (!enabled) kind |= DFCS_INACTIVE;
        DrawFrameControl(dc, &r, DFC_SCROLL, kind);
    }
}

LRESULT OnLButtonDown(HWND h, UpDown* s, LPARAM l) {
    if (!IsWindowEnabled(h) || s->pressed >= 0) return 0;
    int half = HalfAt(h, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    if (half < 0) return 0;
    if (s->buddy && IsWindow(s->buddy)) SetFocus(s->buddy);
    s->pressed = half;
    s->inside = true;
    s->press_tick = GetTickCount();
    SetCapture(h);
    InvalidateRect(h, nullptr, FALSE);
    SetTimer(h, kRepeatTimer, kFirstDelay, nullptr);
    Step(h, half, HeldIncrement(*s));
    return 0;
}

LRESULT OnMouseMove(HWND h, UpDown* s, LPARAM l) {
    if (s->pressed < 0) return 0;
    bool inside = HalfAt(h, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}) == s->pressed;
    if (inside != s->inside) {
        s->inside = inside;
        InvalidateRect(h, nullptr, FALSE);
    }
    return 0;
}

LRESULT OnTimer(HWND h, UpDown* s, WPARAM w, LPARAM l) {
    if (w != kRepeatTimer) return DefWindowProcA(h, WM_TIMER, w, l);
    if (s->pressed < 0) {
        KillTimer(h, kRepeatTimer);
        return 0;
    }
    SetTimer(h, kRepeatTimer, kRepeatDelay, nullptr);
    if (s->inside) Step(h, s->pressed, HeldIncrement(*s));
    return 0;
}

// ---- messages ----------------------------------------------------------------------------

LRESULT OnSetRange32(HWND h, UpDown* s, int lo, int hi) {
    s->lo = lo;
    s->hi = hi;
    s->pos = Clamp(*s, s->pos);
    InvalidateRect(h, nullptr, FALSE);
    return 0;
}

LRESULT OnSetPos(HWND h, UpDown* s, int pos) {
    int old = s->pos;
    s->pos = Clamp(*s, pos);
    ShowInBuddy(h, *s);
    return old;
}

LRESULT OnGetPos(HWND h, UpDown* s, BOOL* error) {
    bool ok = ReadBuddy(h, *s);
    if (error) *error = ok ? FALSE : TRUE;
    return s->pos;
}

LRESULT OnGetRange32(UpDown* s, WPARAM w, LPARAM l) {
    if (auto* lo = reinterpret_cast<int*>(w)) *lo = s->lo;
    if (auto* hi = reinterpret_cast<int*>(l)) *hi = s->hi;
    return 0;
}

LRESULT OnSetAccel(UpDown* s, WPARAM count, LPARAM l) {
    auto* a = reinterpret_cast<const UDACCEL*>(l);
    if (!a || count == 0) return FALSE;
    s->accel.assign(a, a + count);
    return TRUE;
}

LRESULT OnGetAccel(UpDown* s, WPARAM count, LPARAM l) {
    if (auto* a = reinterpret_cast<UDACCEL*>(l))
        std::copy_n(s->accel.begin(), std::min(size_t(count), s->accel.size()), a);
    return LRESULT(s->accel.size());
}

LRESULT OnSetBase(UpDown* s, WPARAM base) {
    if (base != 10 && base != 16) return 0;
    int old = s->base;
    s->base = int(base);
    return old;
}

LRESULT OnUpDownMessage(HWND h, UpDown* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case UDM_SETRANGE: return OnSetRange32(h, s, short(HIWORD(l)), short(LOWORD(l)));
        case UDM_GETRANGE: return MAKELONG(WORD(s->hi), WORD(s->lo));
        case UDM_SETRANGE32: return OnSetRange32(h, s, int(w), int(l));
        case UDM_GETRANGE32: return OnGetRange32(s, w, l);
        case UDM_SETPOS: return OnSetPos(h, s, short(LOWORD(l)));
        case UDM_SETPOS32: return OnSetPos(h, s, int(l));
        case UDM_GETPOS: {
            BOOL error = FALSE;
            int pos = int(OnGetPos(h, s, &error));
            return MAKELONG(WORD(pos), error ? 1 : 0);
        }
        case UDM_GETPOS32: return OnGetPos(h, s, reinterpret_cast<BOOL*>(l));
        case UDM_SETBUDDY: return reinterpret_cast<LRESULT>(SetBuddy(h, reinterpret_cast<HWND>(w)));
        case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s->buddy);
        case UDM_SETACCEL: return OnSetAccel(s, w, l);
        case UDM_GETACCEL: return OnGetAccel(s, w, l);
        case UDM_SETBASE: return OnSetBase(s, w);
        case UDM_GETBASE: return s->base;
        default: return DefWindowProcA(h, m, w, l);
    }
}

// UDS_AUTOBUDDY takes the window made just before: the one before it in the z-order.
LRESULT OnCreate(HWND h) {
    if (StyleOf(h) & UDS_AUTOBUDDY) SetBuddy(h, GetWindow(h, GW_HWNDPREV));
    return 0;
}

}  // namespace

LRESULT CALLBACK UpDownProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    UpDown* s = AttachState<UpDown>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_CREATE: return OnCreate(h);
        case WM_DESTROY: ReleaseBuddy(*s); return 0;
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_ENABLE:
            if (!w) EndPress(h, *s, true);
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, s, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, s, l);
        case WM_LBUTTONUP: EndPress(h, *s, true); return 0;
        case WM_CAPTURECHANGED: EndPress(h, *s, false); return 0;
        case WM_TIMER: return OnTimer(h, s, w, l);
        case WM_KEYDOWN:
        case WM_KEYUP:
            if ((StyleOf(h) & UDS_ARROWKEYS) && OnArrowKey(h, m, w)) return 0;
            return DefWindowProcA(h, m, w, l);
        default: return OnUpDownMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl
