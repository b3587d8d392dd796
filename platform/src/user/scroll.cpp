// Scroll bars of a window: their state with the platform's clamping rules, their painting in
// the non-client area and mouse tracking with auto-repeat.
#include "user/scroll.h"

#include <algorithm>
#include <climits>

#include "user/hotpatch.h"
#include "user/modal.h"
#include "user/queue.h"

namespace plat::user {
void FillSolid(HDC hdc, const RECT& r, COLORREF c);                 // nonclient.cpp
void ButtonFace(HDC hdc, const RECT& r, bool pushed);                 // nonclient.cpp
void InvalidateWindowArea(HWND hwnd, bool frame, bool erase);         // paint.cpp

int ApplyScrollInfo(ScrollState& s, const SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        s.min = info.nMin;
        s.max = info.nMax < info.nMin ? info.nMin : info.nMax;
    }
    if (info.fMask & SIF_PAGE) s.page = info.nPage;
    if (info.fMask & SIF_POS) s.pos = info.nPos;
    // Clamp the page to the range, then the position to what the page leaves.
    long long range = (long long)s.max - s.min + 1;
    if ((long long)s.page > range) s.page = UINT(range);
    long long hi = (long long)s.max - std::max<long long>((long long)s.page - 1, 0);
    if (s.pos > hi) s.pos = int(hi);
    if (s.pos < s.min) s.pos = s.min;
    if (!s.tracking) s.track = s.pos;
    return s.pos;
}

void FillScrollInfo(const ScrollState& s, SCROLLINFO& info) {
    if (info.fMask & SIF_RANGE) {
        info.nMin = s.min;
        info.nMax = s.max;
    }
    if (info.fMask & SIF_PAGE) info.nPage = s.page;
    if (info.fMask & SIF_POS) info.nPos = s.pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = s.tracking ? s.track : s.pos;
}

bool Scrollable(const ScrollState& s) {
    return (long long)s.max - s.min >= std::max<long long>(s.page, 1);
}

ScrollGeometry ComputeScrollGeometry(const RECT& r, bool vertical, const ScrollState& s) {
    ScrollGeometry g;
    int len = vertical ? r.bottom - r.top : r.right - r.left;
    int thick = vertical ? r.right - r.left : r.bottom - r.top;
    int arrow = std::min(thick, len / 2);
    if (vertical) {
        g.up = RECT{r.left, r.top, r.right, r.top + arrow};
        g.down = RECT{r.left, r.bottom - arrow, r.right, r.bottom};
        g.track = RECT{r.left, g.up.bottom, r.right, g.down.top};
    } else {
        g.up = RECT{r.left, r.top, r.left + arrow, r.bottom};
        g.down = RECT{r.right - arrow, r.top, r.right, r.bottom};
        g.track = RECT{g.up.right, r.top, g.down.left, r.bottom};
    }
    g.track_len = std::max(0, len - 2 * arrow);
    if (!Scrollable(s)) return g;
    long long range = (long long)s.max - s.min + 1;
    int thumb = s.page ? int((long long)g.track_len * s.page / range) : thick;
    thumb = std::max(thumb, 8);
    if (thumb > g.track_len) return g;  // no room for a thumb
    long long span = range - std::max<long long>(s.page, 1);
    int pos = s.tracking ? s.track : s.pos;
    int off = span > 0 ? int((long long)(g.track_len - thumb) * (pos - s.min) / span) : 0;
    g.thumb_len = thumb;
    g.has_thumb = true;
    if (vertical)
        g.thumb = RECT{r.left, g.track.top + off, r.right, g.track.top + off + thumb};
    else
        g.thumb = RECT{g.track.left + off, r.top, g.track.left + off + thumb, r.bottom};
    return g;
}

int PositionForThumbOffset(const ScrollGeometry& g, const ScrollState& s, int offset) {
    int room = g.track_len - g.thumb_len;
    long long span = (long long)s.max - s.min + 1 - std::max<long long>(s.page, 1);
    if (room <= 0 || span <= 0) return s.min;
    offset = std::clamp(offset, 0, room);
    return int(s.min + (span * offset + room / 2) / room);
}

namespace {

void Arrow(HDC hdc, const RECT& r, bool vertical, bool first, bool enabled, bool pushed) {
    ButtonFace(hdc, r, pushed);
    COLORREF c = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0), cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    for (int i = 0; i < 4; ++i) {
        if (vertical) {
            int y = first ? cy - 2 + i : cy + 1 - i;
            FillSolid(hdc, RECT{cx - i, y, cx + i + 1, y + 1}, c);
        } else {
            int x = first ? cx - 2 + i : cx + 1 - i;
            FillSolid(hdc, RECT{x, cy - i, x + 1, cy + i + 1}, c);
        }
    }
}

}  // namespace

void DrawScrollBar(HDC hdc, const RECT& r, bool vertical, const ScrollState& s, bool enabled, int pressed_part,
                   HBRUSH track) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    ScrollGeometry g = ComputeScrollGeometry(r, vertical, s);
    bool scrollable = enabled && Scrollable(s);
    Arrow(hdc, g.up, vertical, true, scrollable && !(s.disabled & ESB_DISABLE_LTUP), pressed_part == SB_LINEUP);
    Arrow(hdc, g.down, vertical, false, scrollable && !(s.disabled & ESB_DISABLE_RTDN), pressed_part == SB_LINEDOWN);
    if (track)
        FillRect(hdc, &g.track, track);
    else
        FillSolid(hdc, g.track, GetSysColor(COLOR_SCROLLBAR));
    if (g.has_thumb && scrollable && s.disabled != ESB_DISABLE_BOTH) {
        if (pressed_part == SB_PAGEUP) {
            RECT p = g.track;
            if (vertical) p.bottom = g.thumb.top; else p.right = g.thumb.left;
            FillSolid(hdc, p, GetSysColor(COLOR_3DDKSHADOW));
        } else if (pressed_part == SB_PAGEDOWN) {
            RECT p = g.track;
            if (vertical) p.top = g.thumb.bottom; else p.left = g.thumb.right;
            FillSolid(hdc, p, GetSysColor(COLOR_3DDKSHADOW));
        }
        ButtonFace(hdc, g.thumb, false);
    }
}

void DrawWindowScrollBars(HWND hwnd, HDC hdc, const NcLayout& l) {
    ScrollState sv, sh;
    bool enabled;
    {
        Guard gd(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return;
        sv = w->scroll[SB_VERT];
        sh = w->scroll[SB_HORZ];
        enabled = !(w->style & WS_DISABLED);
    }
    DrawScrollBar(hdc, l.vscroll, true, sv, enabled, -1);
    DrawScrollBar(hdc, l.hscroll, false, sh, enabled, -1);
}

namespace {

// Which part of a bar a window-coordinate point is on (-1 none, SB_THUMBTRACK the thumb).
int PartAt(const ScrollGeometry& g, bool vertical, POINT p) {
    auto in = [&](const RECT& r) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; };
    if (in(g.up)) return SB_LINEUP;
    if (in(g.down)) return SB_LINEDOWN;
    if (g.has_thumb && in(g.thumb)) return SB_THUMBTRACK;
    if (in(g.track)) {
        if (!g.has_thumb) return -1;
        int v = vertical ? p.y : p.x;
        int t = vertical ? g.thumb.top : g.thumb.left;
        return v < t ? SB_PAGEUP : SB_PAGEDOWN;
    }
    return -1;
}

bool BarInfo(HWND hwnd, int bar, RECT* r, ScrollState* s, POINT* origin) {
    Guard gd(GlobalLock());
    Window* w = W(hwnd);
    if (!w) return false;
    NcLayout l = LayoutOf(w);
    *r = bar == SB_VERT ? l.vscroll : l.hscroll;
    *s = w->scroll[bar];
    RECT sw = ScreenWindowRect(w);
    *origin = POINT{sw.left, sw.top};
    return r->right > r->left;
}

void RepaintBar(HWND hwnd, int bar, int pressed) {
    RECT r;
    ScrollState s;
    POINT o;
    if (!BarInfo(hwnd, bar, &r, &s, &o)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    DrawScrollBar(dc, r, bar == SB_VERT, s, IsWindowEnabled(hwnd), pressed);
    ReleaseDC(hwnd, dc);
}

}  // namespace

void TrackWindowScrollBar(HWND hwnd, int bar, POINT screen) {
    RECT r;
    ScrollState s;
    POINT o;
    if (!BarInfo(hwnd, bar, &r, &s, &o) || !IsWindowEnabled(hwnd)) return;
    bool vertical = bar == SB_VERT;
    UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
    ScrollGeometry g = ComputeScrollGeometry(r, vertical, s);
    POINT p{screen.x - o.x, screen.y - o.y};
    int part = PartAt(g, vertical, p);
    if (part < 0 || !Scrollable(s)) return;
    if ((part == SB_LINEUP && (s.disabled & ESB_DISABLE_LTUP)) || (part == SB_LINEDOWN && (s.disabled & ESB_DISABLE_RTDN)))
        return;
    SetCapture(hwnd);
    int grab = vertical ? p.y - g.thumb.top : p.x - g.thumb.left;
    if (part == SB_THUMBTRACK) {
        Guard gd(GlobalLock());
        if (Window* w = W(hwnd)) {
            w->scroll[bar].tracking = true;
            w->scroll[bar].track = w->scroll[bar].pos;
        }
    } else {
        SendMessageA(hwnd, msg, MAKEWPARAM(part, 0), 0);
        RepaintBar(hwnd, bar, part);
    }
    // Auto-repeat: a first pause, then a steady rate, while the button stays down on the part.
    UINT_PTR timer = part == SB_THUMBTRACK ? 0 : SetTimer(nullptr, 0, 400, nullptr);
    bool first_tick = true;
    POINT cur = p;
    MSG m;
    int last_track = s.pos;
    ModalLoopScope loop(LoopKind::Track, hwnd);
    for (;;) {
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (GetCapture() != hwnd || !IsWindow(hwnd)) break;
        if (m.message == WM_TIMER && m.hwnd == nullptr && m.wParam == timer) {
            if (first_tick) {
                KillTimer(nullptr, timer);
                timer = SetTimer(nullptr, 0, 50, nullptr);
                first_tick = false;
            }
            RECT rr;
            ScrollState ss;
            POINT oo;
            if (!BarInfo(hwnd, bar, &rr, &ss, &oo)) break;
            ScrollGeometry gg = ComputeScrollGeometry(rr, vertical, ss);
            if (PartAt(gg, vertical, cur) == part) {
                SendMessageA(hwnd, msg, MAKEWPARAM(part, 0), 0);
                RepaintBar(hwnd, bar, part);
            }
            continue;
        }
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE || m.message == WM_LBUTTONUP ||
            m.message == WM_NCLBUTTONUP) {
            cur = POINT{m.pt.x - o.x, m.pt.y - o.y};
            if (part == SB_THUMBTRACK) {
                int off = (vertical ? cur.y - g.track.top : cur.x - g.track.left) - grab;
                int pos = PositionForThumbOffset(g, s, off);
                if (pos != last_track || m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
                    {
                        Guard gd(GlobalLock());
                        if (Window* w = W(hwnd)) w->scroll[bar].track = pos;
                    }
                    last_track = pos;
                    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
                        SendMessageA(hwnd, msg, MAKEWPARAM(SB_THUMBTRACK, WORD(pos)), 0);
                        RepaintBar(hwnd, bar, -1);
                    }
                }
                if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
                    SendMessageA(hwnd, msg, MAKEWPARAM(SB_THUMBPOSITION, WORD(last_track)), 0);
                    break;
                }
            } else if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
                break;
            }
            continue;
        }
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (timer) KillTimer(nullptr, timer);
    {
        Guard gd(GlobalLock());
        if (Window* w = W(hwnd)) w->scroll[bar].tracking = false;
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    if (IsWindow(hwnd)) {
        SendMessageA(hwnd, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        RepaintBar(hwnd, bar, -1);
    }
}

}  // namespace plat::user

using namespace plat;
using namespace plat::user;

namespace {

DWORD BarStyle(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

// Shows or hides window bars by style, then recomputes the frame.
void SetBarsVisible(HWND hwnd, int bar, bool show) {
    DWORD mask = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : BarStyle(bar);
    bool changed;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return;
        DWORD before = w->style;
        if (show) w->style |= mask;
        else w->style &= ~mask;
        changed = before != w->style;
    }
    if (changed)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

extern "C" {

PLAT_HOTPATCH int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (!info || (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != sizeof(SCROLLINFO) - 4) ||
        (info->fMask & ~UINT(SIF_ALL | SIF_DISABLENOSCROLL))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bar == SB_CTL) {
        if (!IsWindow(hwnd)) return 0;
        return int(SendMessageA(hwnd, SBM_SETSCROLLINFO, WPARAM(redraw), reinterpret_cast<LPARAM>(info)));
    }
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int pos;
    bool scrollable, has_bar, disabled_before;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        ScrollState& s = w->scroll[bar];
        pos = ApplyScrollInfo(s, *info);
        scrollable = Scrollable(s);
        has_bar = (w->style & BarStyle(bar)) != 0;
        disabled_before = s.disabled == ESB_DISABLE_BOTH;
        if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
            if (info->fMask & SIF_DISABLENOSCROLL) s.disabled = scrollable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
            else if (scrollable && disabled_before) s.disabled = ESB_ENABLE_BOTH;
        }
    }
    if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
        if (info->fMask & SIF_DISABLENOSCROLL) {
            if (!has_bar) SetBarsVisible(hwnd, bar, true);
        } else if (scrollable != has_bar) {
            SetBarsVisible(hwnd, bar, scrollable);
        }
    }
    if (redraw) {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) w->frame_pending = true;
    }
    return pos;
}

PLAT_HOTPATCH BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (!info || (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != sizeof(SCROLLINFO) - 4)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (bar == SB_CTL) return BOOL(SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    if (!(info->fMask & SIF_ALL)) return FALSE;
    FillScrollInfo(w->scroll[bar], *info);
    return TRUE;
}

PLAT_HOTPATCH int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (bar == SB_CTL) return int(SendMessageA(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
    int old;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || (bar != SB_HORZ && bar != SB_VERT)) {
            SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        old = w->scroll[bar].pos;
    }
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &si, redraw);
    return old;
}

PLAT_HOTPATCH int WINAPI GetScrollPos(HWND hwnd, int bar) {
    if (bar == SB_CTL) return int(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->scroll[bar].pos;
}

PLAT_HOTPATCH BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
    if ((long long)max - min > INT_MAX) {
        SetLastError(ERROR_INVALID_SCROLLBAR_RANGE);
        return FALSE;
    }
    if (bar == SB_CTL) {
        SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(min), LPARAM(max));
        return TRUE;
    }
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    SCROLLINFO si{sizeof(si), SIF_RANGE, min, max, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &si, redraw);
    return TRUE;
}

PLAT_HOTPATCH BOOL WINAPI GetScrollRange(HWND hwnd, int bar, LPINT min, LPINT max) {
    if (!min || !max) return FALSE;
    if (bar == SB_CTL) {
        SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(min), reinterpret_cast<LPARAM>(max));
        return TRUE;
    }
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) {
        *min = *max = 0;
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *min = w->scroll[bar].min;
    *max = w->scroll[bar].max;
    return TRUE;
}

PLAT_HOTPATCH BOOL WINAPI ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (bar == SB_CTL) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) return FALSE;
    SetBarsVisible(hwnd, bar, show != FALSE);
    return TRUE;
}

PLAT_HOTPATCH BOOL WINAPI EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (bar == SB_CTL) return BOOL(SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
    bool changed = false;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        for (int b = 0; b < 2; ++b) {
            if (bar != SB_BOTH && int(bar) != b) continue;
            if (w->scroll[b].disabled != (arrows & ESB_DISABLE_BOTH)) changed = true;
            w->scroll[b].disabled = arrows & ESB_DISABLE_BOTH;
        }
        if (changed) w->frame_pending = true;
    }
    return changed ? TRUE : FALSE;
}

BOOL WINAPI GetScrollBarInfo(HWND hwnd, LONG object, PSCROLLBARINFO info) {
    if (!info || info->cbSize != sizeof(SCROLLBARINFO)) return FALSE;
    int bar = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : -1;
    if (bar < 0) return FALSE;
    RECT r;
    ScrollState s;
    POINT o;
    bool present = BarInfo(hwnd, bar, &r, &s, &o);
    if (!IsWindow(hwnd)) return FALSE;
    memset(reinterpret_cast<char*>(info) + sizeof(DWORD), 0, sizeof(*info) - sizeof(DWORD));
    ScrollGeometry g = ComputeScrollGeometry(r, bar == SB_VERT, s);
    info->rcScrollBar = RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
    info->dxyLineButton = bar == SB_VERT ? g.up.bottom - g.up.top : g.up.right - g.up.left;
    info->xyThumbTop = bar == SB_VERT ? g.thumb.top - r.top : g.thumb.left - r.left;
    info->xyThumbBottom = bar == SB_VERT ? g.thumb.bottom - r.top : g.thumb.right - r.left;
    if (!present) info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    else if (!Scrollable(s) || s.disabled == ESB_DISABLE_BOTH) info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
    return TRUE;
}

}  // extern "C"
