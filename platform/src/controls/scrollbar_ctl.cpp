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

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    ScrollBar* sb = AttachState<ScrollBar>(h, msg);
    if (!sb) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCDESTROY:
            return FreeState(h, msg, wp, lp, sb);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, sb, dc); });
        case WM_ENABLE:
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
            sb->focus = true;
            DialogFocusMoved(h);
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_KILLFOCUS:
            sb->focus = false;
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
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
        case WM_MOUSEMOVE: {
            if (sb->part < 0) return 0;
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (sb->part == SB_THUMBTRACK) {
                auto g = Geometry(h, sb);
                int off = (Vertical(h) ? p.y - g.track.top : p.x - g.track.left) - sb->grab;
                int pos = user::PositionForThumbOffset(g, sb->s, off);
                if (pos != sb->s.track) {
                    sb->s.track = pos;
                    InvalidateRect(h, nullptr, FALSE);
                    Report(h, SB_THUMBTRACK, pos);
                }
                return 0;
            }
            bool over = PartAt(Geometry(h, sb), Vertical(h), p) == sb->part;
            if (over != sb->pressed) {
                sb->pressed = over;
                InvalidateRect(h, nullptr, FALSE);
            }
            return 0;
        }
        case WM_TIMER:
            if (wp == kRepeatTimer) {
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
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
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
            if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        }
        case WM_KEYDOWN: {
            int code = -1;
            switch (wp) {
                case VK_LEFT: case VK_UP: code = SB_LINEUP; break;
                case VK_RIGHT: case VK_DOWN: code = SB_LINEDOWN; break;
                case VK_PRIOR: code = SB_PAGEUP; break;
                case VK_NEXT: code = SB_PAGEDOWN; break;
                case VK_HOME: code = SB_TOP; break;
                case VK_END: code = SB_BOTTOM; break;
                default: break;
            }
            if (code >= 0 && IsWindowEnabled(h)) Report(h, code);
            return 0;
        }
        case WM_KEYUP:
            switch (wp) {
                case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME:
                case VK_END:
                    Report(h, SB_ENDSCROLL);
                    return 0;
                default:
                    break;
            }
            break;
        case SBM_SETPOS: {
            int old = sb->s.pos;
            SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, int(wp), 0};
            SetInfo(h, sb, si, lp != 0);
            return old;
        }
        case SBM_GETPOS:
            return sb->s.pos;
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW: {
            int old = sb->s.pos;
            SCROLLINFO si{sizeof si, SIF_RANGE, int(wp), int(lp), 0, 0, 0};
            SetInfo(h, sb, si, msg == SBM_SETRANGEREDRAW);
            return old;
        }
        case SBM_GETRANGE:
            if (wp) *reinterpret_cast<int*>(wp) = sb->s.min;
            if (lp) *reinterpret_cast<int*>(lp) = sb->s.max;
            return 0;
        case SBM_ENABLE_ARROWS:
            sb->s.disabled = UINT(wp) & ESB_DISABLE_BOTH;
            InvalidateRect(h, nullptr, FALSE);
            return TRUE;
        case SBM_SETSCROLLINFO: {
            auto* si = reinterpret_cast<const SCROLLINFO*>(lp);
            if (!si) return sb->s.pos;
            return SetInfo(h, sb, *si, wp != 0);
        }
        case SBM_GETSCROLLINFO: {
            auto* si = reinterpret_cast<SCROLLINFO*>(lp);
            if (!si) return FALSE;
            user::FillScrollInfo(sb->s, *si);
            return TRUE;
        }
        case SBM_GETSCROLLBARINFO: {
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
        default:
            break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace plat::controls
