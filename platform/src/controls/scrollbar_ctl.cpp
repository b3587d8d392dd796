// The scroll-bar control: the window scroll bar's state rules and look, as a child window
// that reports to its parent with WM_HSCROLL / WM_VSCROLL (lParam = the control).
#include <algorithm>

#include "controls/common.h"
#include "user/scroll.h"

namespace plat::controls {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 400, kRepeatDelay = 50;

struct ScrollBar {
    user::ScrollState s;
    int part = -1;       // the part held down (SB_LINEUP... or SB_THUMBTRACK)
    bool pressed = false;  // drawn pressed: the mouse is still over the held part
    int grab = 0;        // thumb drag: offset of the mouse inside the thumb
    bool focus = false;
};

bool Vertical(HWND h) {
    DWORD st = DWORD(GetWindowLongA(h, GWL_STYLE));
    return (st & SBS_VERT) != 0;
}

user::ScrollGeometry Geometry(HWND h, const ScrollBar* sb) {
    RECT rc;
    GetClientRect(h, &rc);
    return user::ComputeScrollGeometry(rc, Vertical(h), sb->s);
}

int PartAt(const user::ScrollGeometry& g, bool vertical, POINT p) {
    if (PtInRect(&g.up, p)) return SB_LINEUP;
    if (PtInRect(&g.down, p)) return SB_LINEDOWN;
    if (g.has_thumb && PtInRect(&g.thumb, p)) return SB_THUMBTRACK;
    if (PtInRect(&g.track, p) && g.has_thumb) {
        int v = vertical ? p.y : p.x;
        int t = vertical ? g.thumb.top : g.thumb.left;
        return v < t ? SB_PAGEUP : SB_PAGEDOWN;
    }
    return -1;
}

void Report(HWND h, int code, int pos = 0) {
    HWND parent = GetParent(h);
    if (!parent) return;
    UINT msg = Vertical(h) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(parent, msg, MAKEWPARAM(WORD(code), WORD(std::clamp(pos, -32768, 65535))), reinterpret_cast<LPARAM>(h));
}

bool PartEnabled(HWND h, const ScrollBar* sb, int part) {
    if (!IsWindowEnabled(h) || !user::Scrollable(sb->s)) return false;
    if (part == SB_LINEUP && (sb->s.disabled & ESB_DISABLE_LTUP)) return false;
    if (part == SB_LINEDOWN && (sb->s.disabled & ESB_DISABLE_RTDN)) return false;
    return sb->s.disabled != ESB_DISABLE_BOTH;
}

void Paint(HWND h, ScrollBar* sb, HDC dc) {
    RECT rc;
    GetClientRect(h, &rc);
    DWORD st = DWORD(GetWindowLongA(h, GWL_STYLE));
    if (st & (SBS_SIZEBOX | SBS_SIZEGRIP)) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HBRUSH track = ControlColor(h, dc, WM_CTLCOLORSCROLLBAR);
    user::DrawScrollBar(dc, rc, Vertical(h), sb->s, IsWindowEnabled(h) != FALSE, sb->pressed ? sb->part : -1, track);
    if (sb->focus && (st & WS_TABSTOP)) {
        auto g = Geometry(h, sb);
        if (g.has_thumb) {
            RECT f = g.thumb;
            InflateRect(&f, -2, -2);
            DrawFocusRect(dc, &f);
        }
    }
}

int SetInfo(HWND h, ScrollBar* sb, const SCROLLINFO& si, bool redraw) {
    int pos = user::ApplyScrollInfo(sb->s, si);
    if (redraw) InvalidateRect(h, nullptr, FALSE);
    return pos;
}

LRESULT OnFocus(HWND h, ScrollBar* sb, bool gained) {
    sb->focus = gained;
    if (gained) DialogFocusMoved(h);
    InvalidateRect(h, nullptr, FALSE);
    return 0;
}

LRESULT OnLButtonDown(HWND h, ScrollBar* sb, LPARAM lp) {
    if (!IsWindowEnabled(h)) return 0;
    if (GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) SetFocus(h);
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    auto g = Geometry(h, sb);
    int part = PartAt(g, Vertical(h), p);
    if (part < 0 || !PartEnabled(h, sb, part)) return 0;
    sb->part = part;
    sb->pressed = true;
    SetCapture(h);
    if (part == SB_THUMBTRACK) {
        sb->s.tracking = true;
        sb->s.track = sb->s.pos;
        sb->grab = Vertical(h) ? p.y - g.thumb.top : p.x - g.thumb.left;
    } else {
        Report(h, part);
        SetTimer(h, kRepeatTimer, kFirstDelay, nullptr);
    }
    InvalidateRect(h, nullptr, FALSE);
    return 0;
}

void DragThumb(HWND h, ScrollBar* sb, POINT p) {
    auto g = Geometry(h, sb);
    int off = (Vertical(h) ? p.y - g.track.top : p.x - g.track.left) - sb->grab;
    int pos = user::PositionForThumbOffset(g, sb->s, off);
    if (pos == sb->s.track) return;
    sb->s.track = pos;
    InvalidateRect(h, nullptr, FALSE);
    Report(h, SB_THUMBTRACK, pos);
}

LRESULT OnMouseMove(HWND h, ScrollBar* sb, LPARAM lp) {
    if (sb->part < 0) return 0;
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (sb->part == SB_THUMBTRACK) {
        DragThumb(h, sb, p);
        return 0;
    }
    bool over = PartAt(Geometry(h, sb), Vertical(h), p) == sb->part;
    if (over != sb->pressed) {
        sb->pressed = over;
        InvalidateRect(h, nullptr, FALSE);
    }
    return 0;
}

LRESULT OnTimer(HWND h, ScrollBar* sb, WPARAM wp, LPARAM lp) {
    if (wp != kRepeatTimer) return DefWindowProcA(h, WM_TIMER, wp, lp);
    if (sb->part >= 0 && sb->part != SB_THUMBTRACK && sb->pressed) {
        // A page click repeats only while the thumb hasn't reached the mouse.
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(h, &p);
        if (PartAt(Geometry(h, sb), Vertical(h), p) == sb->part) Report(h, sb->part);
    }
    SetTimer(h, kRepeatTimer, kRepeatDelay, nullptr);
    return 0;
}

// The press ends by the button's release or by losing the capture.
LRESULT OnPressEnded(HWND h, ScrollBar* sb, bool released) {
    if (sb->part < 0) return 0;
    int part = sb->part;
    sb->part = -1;
    sb->pressed = false;
    KillTimer(h, kRepeatTimer);
    if (part == SB_THUMBTRACK) {
        int track = sb->s.track;
        sb->s.tracking = false;
        Report(h, SB_THUMBPOSITION, track);
    }
    Report(h, SB_ENDSCROLL);
    if (released && GetCapture() == h) ReleaseCapture();
    InvalidateRect(h, nullptr, FALSE);
    return 0;
}

// The scroll code a key asks for; -1 for other keys.
int KeyCode(WPARAM vk) {
    switch (vk) {
        case VK_LEFT: case VK_UP: return SB_LINEUP;
        case VK_RIGHT: case VK_DOWN: return SB_LINEDOWN;
        case VK_PRIOR: return SB_PAGEUP;
        case VK_NEXT: return SB_PAGEDOWN;
        case VK_HOME: return SB_TOP;
        case VK_END: return SB_BOTTOM;
        default: return -1;
    }
}

LRESULT OnKeyDown(HWND h, WPARAM wp) {
    int code = KeyCode(wp);
    if (code >= 0 && IsWindowEnabled(h)) Report(h, code);
    return 0;
}

LRESULT OnKeyUp(HWND h, WPARAM wp, LPARAM lp) {
    if (KeyCode(wp) < 0) return DefWindowProcA(h, WM_KEYUP, wp, lp);
    Report(h, SB_ENDSCROLL);
    return 0;
}

LRESULT OnSetPos(HWND h, ScrollBar* sb, WPARAM wp, LPARAM lp) {
    int old = sb->s.pos;
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, int(wp), 0};
    SetInfo(h, sb, si, lp != 0);
    return old;
}

LRESULT OnSetRange(HWND h, ScrollBar* sb, WPARAM wp, LPARAM lp, bool redraw) {
    int old = sb->s.pos;
    SCROLLINFO si{sizeof si, SIF_RANGE, int(wp), int(lp), 0, 0, 0};
    SetInfo(h, sb, si, redraw);
    return old;
}

LRESULT OnGetRange(ScrollBar* sb, WPARAM wp, LPARAM lp) {
    if (wp) *reinterpret_cast<int*>(wp) = sb->s.min;
    if (lp) *reinterpret_cast<int*>(lp) = sb->s.max;
    return 0;
}

LRESULT OnEnableArrows(HWND h, ScrollBar* sb, WPARAM wp) {
    sb->s.disabled = UINT(wp) & ESB_DISABLE_BOTH;
    InvalidateRect(h, nullptr, FALSE);
    return TRUE;
}

LRESULT OnSetScrollInfo(HWND h, ScrollBar* sb, WPARAM wp, LPARAM lp) {
    auto* si = reinterpret_cast<const SCROLLINFO*>(lp);
    return si ? SetInfo(h, sb, *si, wp != 0) : sb->s.pos;
}

LRESULT OnGetScrollInfo(ScrollBar* sb, LPARAM lp) {
    auto* si = reinterpret_cast<SCROLLINFO*>(lp);
    if (!si) return FALSE;
    user::FillScrollInfo(sb->s, *si);
    return TRUE;
}

LRESULT OnGetScrollBarInfo(HWND h, ScrollBar* sb, LPARAM lp) {
    auto* info = reinterpret_cast<SCROLLBARINFO*>(lp);
    if (!info) return FALSE;
    GetWindowRect(h, &info->rcScrollBar);
    auto g = Geometry(h, sb);
    bool v = Vertical(h);
    info->dxyLineButton = v ? g.up.bottom - g.up.top : g.up.right - g.up.left;
    info->xyThumbTop = v ? g.thumb.top : g.thumb.left;
    info->xyThumbBottom = v ? g.thumb.bottom : g.thumb.right;
    return TRUE;
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    ScrollBar* sb = AttachState<ScrollBar>(h, msg);
    if (!sb) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCDESTROY: return FreeState(h, msg, wp, lp, sb);
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, sb, dc); });
        case WM_ENABLE: InvalidateRect(h, nullptr, FALSE); return 0;
        case WM_SETFOCUS: return OnFocus(h, sb, true);
        case WM_KILLFOCUS: return OnFocus(h, sb, false);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, sb, lp);
        case WM_MOUSEMOVE: return OnMouseMove(h, sb, lp);
        case WM_TIMER: return OnTimer(h, sb, wp, lp);
        case WM_LBUTTONUP: return OnPressEnded(h, sb, true);
        case WM_CAPTURECHANGED: return OnPressEnded(h, sb, false);
        case WM_KEYDOWN: return OnKeyDown(h, wp);
        case WM_KEYUP: return OnKeyUp(h, wp, lp);
        case SBM_SETPOS: return OnSetPos(h, sb, wp, lp);
        case SBM_GETPOS: return sb->s.pos;
        case SBM_SETRANGE: return OnSetRange(h, sb, wp, lp, false);
        case SBM_SETRANGEREDRAW: return OnSetRange(h, sb, wp, lp, true);
        case SBM_GETRANGE: return OnGetRange(sb, wp, lp);
        case SBM_ENABLE_ARROWS: return OnEnableArrows(h, sb, wp);
        case SBM_SETSCROLLINFO: return OnSetScrollInfo(h, sb, wp, lp);
        case SBM_GETSCROLLINFO: return OnGetScrollInfo(sb, lp);
        case SBM_GETSCROLLBARINFO: return OnGetScrollBarInfo(h, sb, lp);
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls
