// The progress bar: a position in a range shown as a filled bar, smooth or in blocks.
#include <algorithm>

#include "commctrl/common.h"

namespace plat::commctrl {
namespace {

struct Progress {
    int lo = 0, hi = 100, pos = 0, step = 10;
    COLORREF bar = CLR_DEFAULT, bk = CLR_DEFAULT;
};

void Paint(HWND h, Progress& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    RECT in = cr;
    DrawEdge(dc, &in, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    FillSolid(dc, in, s.bk == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : s.bk);
    long long range = (long long)s.hi - s.lo;
    if (range <= 0 || s.pos <= s.lo) return;
    bool vert = GetWindowLongA(h, GWL_STYLE) & PBS_VERTICAL;
    bool smooth = GetWindowLongA(h, GWL_STYLE) & PBS_SMOOTH;
    InflateRect(&in, -1, -1);
    int len = vert ? in.bottom - in.top : in.right - in.left;
    int across = vert ? in.right - in.left : in.bottom - in.top;
    if (len <= 0 || across <= 0) return;
    int fill = int(std::min<long long>(len, ((long long)std::min(s.pos, s.hi) - s.lo) * len / range));
    COLORREF c = s.bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : s.bar;
    auto span = [&](int a, int b) {  // a..b along the axis from its start
        RECT r = vert ? RECT{in.left, in.bottom - b, in.right, in.bottom - a} : RECT{in.left + a, in.top, in.left + b, in.bottom};
        FillSolid(dc, r, c);
    };
    if (smooth) {
        span(0, fill);
        return;
    }
    int block = std::max(2, across * 2 / 3), gap = 2;
    for (int a = 0; a < fill; a += block + gap) span(a, std::min(a + block, len));
}

int Clamp(const Progress& s, long long v) { return int(std::clamp<long long>(v, std::min(s.lo, s.hi), std::max(s.lo, s.hi))); }

LRESULT SetRange(HWND h, Progress* s, int lo, int hi) {
    LRESULT old = MAKELONG(WORD(s->lo), WORD(s->hi));
    s->lo = lo;
    s->hi = hi;
    s->pos = Clamp(*s, s->pos);
    InvalidateRect(h, nullptr, TRUE);
    return old;
}

LRESULT OnGetRange(Progress* s, WPARAM w, LPARAM l) {
    if (auto* r = reinterpret_cast<PBRANGE*>(l)) {
        r->iLow = s->lo;
        r->iHigh = s->hi;
    }
    return w ? s->lo : s->hi;
}

// Moves to p (clamped into the range), repainting on a change; answers the old position.
LRESULT MoveTo(HWND h, Progress* s, long long p) {
    int old = s->pos;
    s->pos = Clamp(*s, p);
    if (s->pos != old) InvalidateRect(h, nullptr, TRUE);
    return old;
}

LRESULT OnStepIt(HWND h, Progress* s) {
    long long p = (long long)s->pos + s->step;
    long long range = (long long)s->hi - s->lo;
    // Past the end the bar starts over from the beginning.
    if (range > 0 && p > s->hi) p = s->lo + (p - s->lo) % range;
    if (range > 0 && p < s->lo) p = s->hi - (s->lo - p) % range;
    return MoveTo(h, s, p);
}

LRESULT SetColor(HWND h, COLORREF& slot, LPARAM l) {
    COLORREF old = slot;
    slot = COLORREF(l);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LRESULT OnSetStep(Progress* s, WPARAM w) {
    int old = s->step;
    s->step = int(w);
    return old;
}

}  // namespace

LRESULT CALLBACK ProgressProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Progress* s = AttachState<Progress>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case PBM_SETRANGE: return SetRange(h, s, LOWORD(l), HIWORD(l));
        case PBM_SETRANGE32: return SetRange(h, s, int(w), int(l));
        case PBM_GETRANGE: return OnGetRange(s, w, l);
        case PBM_SETPOS: return MoveTo(h, s, (long long)int(w));
        case PBM_DELTAPOS: return MoveTo(h, s, (long long)s->pos + int(w));
        case PBM_SETSTEP: return OnSetStep(s, w);
        case PBM_STEPIT: return OnStepIt(h, s);
        case PBM_GETPOS: return s->pos;
        case PBM_SETBARCOLOR: return SetColor(h, s->bar, l);
        case PBM_SETBKCOLOR: return SetColor(h, s->bk, l);
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace plat::commctrl
