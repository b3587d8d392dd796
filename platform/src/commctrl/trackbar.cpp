// The trackbar: a thumb on a channel for a position in a range, moved by mouse and keys, telling
// the parent through WM_HSCROLL / WM_VSCROLL with the TB_* codes and the control as lParam.
#include <algorithm>
#include <vector>

#include "commctrl/common.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr int kThumbHalf = 5;   // the thumb is 11 pixels along the channel
constexpr int kEnd = 8;         // channel ends inset so the thumb fits at both ends

struct Trackbar {
    int lo = 0, hi = 100, pos = 0;
    int line = 1, page = 20, freq = 1;
    int thumb_len = 0;  // 0: from the client size
    int sel_lo = 0, sel_hi = 0;
    std::vector<int> tics;
    HWND buddy[2] = {nullptr, nullptr};
    bool dragging = false;
    int grab = 0;       // mouse minus thumb centre along the axis
    int paging = 0;     // -1 / +1 while a page click repeats
    POINT page_pt{};
};

Trackbar* T(HWND h) { return State<Trackbar>(h); }
bool Vert(HWND h) { return GetWindowLongA(h, GWL_STYLE) & TBS_VERT; }

struct Geo {
    RECT channel;   // in client coordinates
    RECT thumb;
    int a0, a1;     // channel span along the axis
};

Geo Layout(HWND h, const Trackbar& s) {
    RECT cr;
    GetClientRect(h, &cr);
    DWORD st = DWORD(GetWindowLongA(h, GWL_STYLE));
    bool vert = st & TBS_VERT;
    int len = vert ? cr.bottom : cr.right;      // along
    int across = vert ? cr.right : cr.bottom;  // across
    int th = s.thumb_len > 0 && (st & TBS_FIXEDLENGTH) ? s.thumb_len : std::clamp(across - 8, 4, 20);
    int t0;  // thumb start across
    if ((st & TBS_BOTH) || (st & TBS_NOTICKS)) t0 = (across - th) / 2;
    else if (st & TBS_TOP) t0 = std::max(0, across - th - 3);
    else t0 = 3;
    Geo g;
    g.a0 = kEnd;
    g.a1 = std::max(kEnd + 1, len - kEnd);
    int c0 = t0 + th / 2 - 2;
    long long range = (long long)s.hi - s.lo;
    int centre = g.a0 + (range > 0 ? int(((long long)s.pos - s.lo) * (g.a1 - g.a0) / range) : 0);
    if (vert) {
        g.channel = RECT{c0, g.a0 - 2, c0 + 4, g.a1 + 2};
        g.thumb = RECT{t0, centre - kThumbHalf, t0 + th, centre + kThumbHalf + 1};
    } else {
        g.channel = RECT{g.a0 - 2, c0, g.a1 + 2, c0 + 4};
        g.thumb = RECT{centre - kThumbHalf, t0, centre + kThumbHalf + 1, t0 + th};
    }
    return g;
}

int PosFromAxis(HWND h, const Trackbar& s, int a) {
    Geo g = Layout(h, s);
    long long range = (long long)s.hi - s.lo;
    if (g.a1 <= g.a0 || range <= 0) return s.lo;
    long long p = s.lo + ((long long)(a - g.a0) * range + (g.a1 - g.a0) / 2) / (g.a1 - g.a0);
    return int(std::clamp<long long>(p, s.lo, s.hi));
}

int Clamp(const Trackbar& s, long long v) { return int(std::clamp<long long>(v, s.lo, std::max(s.lo, s.hi))); }

void Notify(HWND h, int code, int pos = 0) {
    HWND parent = GetParent(h);
    if (!parent) return;
    UINT msg = Vert(h) ? WM_VSCROLL : WM_HSCROLL;
    WPARAM wp = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? MAKEWPARAM(WORD(code), WORD(pos)) : WPARAM(code);
    SendMessageA(parent, msg, wp, reinterpret_cast<LPARAM>(h));
}

void Move(HWND h, Trackbar& s, int pos) {
    pos = Clamp(s, pos);
    if (pos == s.pos) return;
    s.pos = pos;
    InvalidateRect(h, nullptr, TRUE);
}

void Paint(HWND h, Trackbar& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    HBRUSH bg = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(h), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(h)));
    if (!T(h)) return;
    if (bg) FillRect(dc, &cr, bg);
    else FillSolid(dc, cr, GetSysColor(COLOR_BTNFACE));
    DWORD st = DWORD(GetWindowLongA(h, GWL_STYLE));
    bool vert = st & TBS_VERT;
    Geo g = Layout(h, s);
    RECT ch = g.channel;
    DrawEdge(dc, &ch, EDGE_SUNKEN, BF_RECT);
    if (!(st & TBS_NOTICKS)) {
        long long range = (long long)s.hi - s.lo;
        std::vector<int> at;
        at.push_back(s.lo);
        at.push_back(s.hi);
        if ((st & TBS_AUTOTICKS) && s.freq > 0)
            for (long long p = s.lo + s.freq; p < s.hi; p += s.freq) at.push_back(int(p));
        for (int t : s.tics) at.push_back(t);
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
        HGDIOBJ old = SelectObject(dc, pen);
        for (int p : at) {
            if (p < s.lo || p > s.hi) continue;
            int a = g.a0 + (range > 0 ? int(((long long)p - s.lo) * (g.a1 - g.a0) / range) : 0);
            auto tick = [&](int c0, int c1) {
                if (vert) {
                    MoveToEx(dc, c0, a, nullptr);
                    LineTo(dc, c1, a);
                } else {
                    MoveToEx(dc, a, c0, nullptr);
                    LineTo(dc, a, c1);
                }
            };
            int t0 = vert ? g.thumb.left : g.thumb.top, t1 = vert ? g.thumb.right : g.thumb.bottom;
            if ((st & TBS_BOTH) || !(st & TBS_TOP)) tick(t1 + 1, t1 + 4);
            if ((st & TBS_BOTH) || (st & TBS_TOP)) tick(t0 - 4, t0 - 1);
        }
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    if (!(st & TBS_NOTHUMB)) {
        RECT t = g.thumb;
        FillSolid(dc, t, GetSysColor(COLOR_BTNFACE));
        DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    if (GetFocus() == h) {
        RECT f = cr;
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &f);
    }
}

void PageStep(HWND h) {
    Trackbar* s = T(h);
    if (!s || !s->paging) return;
    Geo g = Layout(h, *s);
    int a = Vert(h) ? s->page_pt.y : s->page_pt.x;
    int centre = Vert(h) ? (g.thumb.top + g.thumb.bottom) / 2 : (g.thumb.left + g.thumb.right) / 2;
    // Stop once the thumb has reached the point pressed.
    if ((s->paging < 0 && a >= centre - kThumbHalf) || (s->paging > 0 && a <= centre + kThumbHalf)) return;
    Move(h, *s, s->pos + s->paging * s->page);
    Notify(h, s->paging < 0 ? TB_PAGEUP : TB_PAGEDOWN);
}

void Redraw(HWND h, WPARAM flag) {
    if (flag) InvalidateRect(h, nullptr, TRUE);
}
LRESULT Repaint(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetRange(HWND h, Trackbar* s, WPARAM w, LPARAM l) {
    s->lo = short(LOWORD(l));
    s->hi = short(HIWORD(l));
    if (s->hi < s->lo) std::swap(s->lo, s->hi);
    s->pos = Clamp(*s, s->pos);
    Redraw(h, w);
    return 0;
}

LRESULT OnSetRangeEnd(HWND h, Trackbar* s, WPARAM w, LPARAM l, bool minimum) {
    if (minimum) {
        s->lo = int(l);
        if (s->hi < s->lo) s->hi = s->lo;
    } else {
        s->hi = int(l);
        if (s->lo > s->hi) s->lo = s->hi;
    }
    s->pos = Clamp(*s, s->pos);
    Redraw(h, w);
    return 0;
}

LRESULT OnSetTic(HWND h, Trackbar* s, LPARAM l) {
    if (int(l) < s->lo || int(l) > s->hi) return FALSE;
    s->tics.push_back(int(l));
    std::sort(s->tics.begin(), s->tics.end());
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetTicPos(HWND h, Trackbar* s, WPARAM w) {
    if (int(w) < 0 || int(w) >= int(s->tics.size())) return -1;
    Geo g = Layout(h, *s);
    long long range = (long long)s->hi - s->lo;
    return g.a0 + (range > 0 ? int(((long long)s->tics[size_t(w)] - s->lo) * (g.a1 - g.a0) / range) : 0);
}

LRESULT Exchange(int& slot, LPARAM l) {
    int old = slot;
    slot = int(l);
    return old;
}

LRESULT SetSelection(HWND h, int* lo, int* hi, WPARAM w, LPARAM l) {
    if (lo) *lo = int(l);
    if (hi) *hi = int(l);
    Redraw(h, w);
    return 0;
}

LRESULT OnGetThumbRect(HWND h, Trackbar* s, LPARAM l) {
    if (auto* r = reinterpret_cast<RECT*>(l)) *r = Layout(h, *s).thumb;
    return 0;
}

LRESULT OnGetChannelRect(HWND h, Trackbar* s, LPARAM l) {
    auto* r = reinterpret_cast<RECT*>(l);
    if (!r) return 0;
    RECT c = Layout(h, *s).channel;
    // A vertical channel is reported in the horizontal frame, as its callers expect.
    *r = Vert(h) ? RECT{c.top, c.left, c.bottom, c.right} : c;
    return 0;
}

LRESULT OnGetThumbLength(HWND h, Trackbar* s) {
    RECT t = Layout(h, *s).thumb;
    return Vert(h) ? t.right - t.left : t.bottom - t.top;
}

LRESULT OnSetBuddy(Trackbar* s, WPARAM w, LPARAM l) {
    HWND old = s->buddy[w ? 0 : 1];
    s->buddy[w ? 0 : 1] = reinterpret_cast<HWND>(l);
    return reinterpret_cast<LRESULT>(old);
}

// The trackbar's own messages.
LRESULT OnTrackbarMessage(HWND h, Trackbar* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case TBM_GETPOS: return s->pos;
        case TBM_GETRANGEMIN: return s->lo;
        case TBM_GETRANGEMAX: return s->hi;
        case TBM_SETPOS: Move(h, *s, int(l)); return 0;
        case TBM_SETRANGE: return OnSetRange(h, s, w, l);
        case TBM_SETRANGEMIN: return OnSetRangeEnd(h, s, w, l, true);
        case TBM_SETRANGEMAX: return OnSetRangeEnd(h, s, w, l, false);
        case TBM_SETTICFREQ: s->freq = std::max(1, int(w)); return Repaint(h);
        case TBM_SETTIC: return OnSetTic(h, s, l);
        case TBM_CLEARTICS: s->tics.clear(); Redraw(h, w); return 0;
        case TBM_GETNUMTICS: return (GetWindowLongA(h, GWL_STYLE) & TBS_NOTICKS) ? 0 : LRESULT(s->tics.size() + 2);
        case TBM_GETTIC: return int(w) >= 0 && int(w) < int(s->tics.size()) ? s->tics[size_t(w)] : -1;
        case TBM_GETPTICS: return s->tics.empty() ? 0 : reinterpret_cast<LRESULT>(s->tics.data());
        case TBM_GETTICPOS: return OnGetTicPos(h, s, w);
        case TBM_SETPAGESIZE: return Exchange(s->page, l);
        case TBM_GETPAGESIZE: return s->page;
        case TBM_SETLINESIZE: return Exchange(s->line, l);
        case TBM_GETLINESIZE: return s->line;
        case TBM_SETSEL:
            s->sel_lo = short(LOWORD(l));
            s->sel_hi = short(HIWORD(l));
            Redraw(h, w);
            return 0;
        case TBM_SETSELSTART: return SetSelection(h, &s->sel_lo, nullptr, w, l);
        case TBM_SETSELEND: return SetSelection(h, nullptr, &s->sel_hi, w, l);
        case TBM_GETSELSTART: return s->sel_lo;
        case TBM_GETSELEND: return s->sel_hi;
        case TBM_CLEARSEL: return SetSelection(h, &s->sel_lo, &s->sel_hi, w, 0);
        case TBM_GETTHUMBRECT: return OnGetThumbRect(h, s, l);
        case TBM_GETCHANNELRECT: return OnGetChannelRect(h, s, l);
        case TBM_SETTHUMBLENGTH: s->thumb_len = int(w); return Repaint(h);
        case TBM_GETTHUMBLENGTH: return OnGetThumbLength(h, s);
        case TBM_SETBUDDY: return OnSetBuddy(s, w, l);
        case TBM_GETBUDDY: return reinterpret_cast<LRESULT>(s->buddy[w ? 0 : 1]);
        case TBM_GETTOOLTIPS:
        case TBM_SETTOOLTIPS: return 0;
        default: return DefWindowProcA(h, m, w, l);
    }
}

int ThumbCentre(HWND h, const Geo& g) {
    return Vert(h) ? (g.thumb.top + g.thumb.bottom) / 2 : (g.thumb.left + g.thumb.right) / 2;
}

// A press on the thumb drags it; elsewhere it pages towards the press, and a quick second
// press pages again.
LRESULT OnLButtonDown(HWND h, LPARAM l) {
    if (!IsWindowEnabled(h)) return 0;
    SetFocus(h);
    Trackbar* s = T(h);
    if (!s) return 0;
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    Geo g = Layout(h, *s);
    int a = Vert(h) ? p.y : p.x;
    SetCapture(h);
    if (PtInRect(&g.thumb, p)) {
        s->dragging = true;
        s->grab = a - ThumbCentre(h, g);
        InvalidateRect(h, nullptr, TRUE);
    } else {
        s->paging = a < ThumbCentre(h, g) ? -1 : 1;
        s->page_pt = p;
        PageStep(h);
        SetTimer(h, kRepeatTimer, 100, nullptr);
    }
    return 0;
}

LRESULT OnMouseMove(HWND h, Trackbar* s, LPARAM l) {
    if (s->dragging) {
        int a = Vert(h) ? GET_Y_LPARAM(l) : GET_X_LPARAM(l);
        Move(h, *s, PosFromAxis(h, *s, a - s->grab));
        Notify(h, TB_THUMBTRACK, s->pos);
    } else if (s->paging) {
        s->page_pt = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    }
    return 0;
}

// The press ends by the button's release or by losing the capture.
LRESULT OnPressEnded(HWND h, Trackbar* s, bool released) {
    bool was_drag = s->dragging, was_page = s->paging != 0;
    if (!was_drag && !was_page) return 0;
    s->dragging = false;
    s->paging = 0;
    KillTimer(h, kRepeatTimer);
    if (released && GetCapture() == h) ReleaseCapture();
    s = T(h);
    if (!s) return 0;
    if (was_drag) Notify(h, TB_THUMBPOSITION, s->pos);
    Notify(h, TB_ENDTRACK);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// The scroll code a key sends; -1 for other keys.
int KeyCode(WPARAM vk) {
    switch (vk) {
        case VK_LEFT: case VK_UP: return TB_LINEUP;
        case VK_RIGHT: case VK_DOWN: return TB_LINEDOWN;
        case VK_PRIOR: return TB_PAGEUP;
        case VK_NEXT: return TB_PAGEDOWN;
        case VK_HOME: return TB_TOP;
        case VK_END: return TB_BOTTOM;
        default: return -1;
    }
}

LRESULT OnKeyDown(HWND h, Trackbar* s, WPARAM w, LPARAM l) {
    int code = KeyCode(w);
    long long p = s->pos;
    switch (code) {
        case TB_LINEUP: p -= s->line; break;
        case TB_LINEDOWN: p += s->line; break;
        case TB_PAGEUP: p -= s->page; break;
        case TB_PAGEDOWN: p += s->page; break;
        case TB_TOP: p = s->lo; break;
        case TB_BOTTOM: p = s->hi; break;
        default: return DefWindowProcA(h, WM_KEYDOWN, w, l);
    }
    Move(h, *s, Clamp(*s, p));
    Notify(h, code);
    return 0;
}

LRESULT OnKeyUp(HWND h, WPARAM w, LPARAM l) {
    if (KeyCode(w) < 0) return DefWindowProcA(h, WM_KEYUP, w, l);
    Notify(h, TB_ENDTRACK);
    return 0;
}

}  // namespace

LRESULT CALLBACK TrackbarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Trackbar* s = AttachState<Trackbar>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE:
            InvalidateRect(h, nullptr, TRUE);
            return DefWindowProcA(h, m, w, l);
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE: return Repaint(h);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, s, l);
        case WM_TIMER:
            if (w != kRepeatTimer) return DefWindowProcA(h, m, w, l);
            PageStep(h);
            return 0;
        case WM_LBUTTONUP: return OnPressEnded(h, s, true);
        case WM_CAPTURECHANGED: return OnPressEnded(h, s, false);
        case WM_KEYDOWN: return OnKeyDown(h, s, w, l);
        case WM_KEYUP: return OnKeyUp(h, w, l);
        default: return OnTrackbarMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl
