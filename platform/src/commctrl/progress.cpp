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

}  // namespace

LRESULT CALLBACK ProgressProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Progress* s = AttachState<Progress>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    auto changed = [&](int old) {
        if (s->pos != old) InvalidateRect(h, nullptr, TRUE);
    };
    switch (m) {
        case WM_NCDESTROY:
            return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case PBM_SETRANGE: {
            LRESULT old = MAKELONG(WORD(s->lo), WORD(s->hi));
            s->lo = LOWORD(l);
            s->hi = HIWORD(l);
            s->pos = Clamp(*s, s->pos);
            InvalidateRect(h, nullptr, TRUE);
            return old;
        }
        case PBM_SETRANGE32: {
            LRESULT old = MAKELONG(WORD(s->lo), WORD(s->hi));
            s->lo = int(w);
            s->hi = int(l);
            s->pos = Clamp(*s, s->pos);
            InvalidateRect(h, nullptr, TRUE);
            return old;
        }
        case PBM_GETRANGE: {
            if (auto* r = reinterpret_cast<PBRANGE*>(l)) {
                r->iLow = s->lo;
                r->iHigh = s->hi;
            }
            return w ? s->lo : s->hi;
        }
        case PBM_SETPOS: {
            int old = s->pos;
            s->pos = Clamp(*s, (long long)int(w));
            changed(old);
            return old;
        }
        case PBM_DELTAPOS: {
            int old = s->pos;
            s->pos = Clamp(*s, (long long)s->pos + int(w));
            changed(old);
            return old;
        }
        case PBM_SETSTEP: {
            int old = s->step;
            s->step = int(w);
            return old;
        }
        case PBM_STEPIT: {
            int old = s->pos;
            long long p = (long long)s->pos + s->step;
            long long range = (long long)s->hi - s->lo;
            // Past the end the bar starts over from the beginning.
            if (range > 0 && p > s->hi) p = s->lo + (p - s->lo) % range;
            if (range > 0 && p < s->lo) p = s->hi - (s->lo - p) % range;
            s->pos = Clamp(*s, p);
            changed(old);
            return old;
        }
        case PBM_GETPOS:
            return s->pos;
        case PBM_SETBARCOLOR: {
            COLORREF old = s->bar;
            s->bar = COLORREF(l);
            InvalidateRect(h, nullptr, TRUE);
            return LRESULT(old);
        }
        case PBM_SETBKCOLOR: {
            COLORREF old = s->bk;
            s->bk = COLORREF(l);
            InvalidateRect(h, nullptr, TRUE);
            return LRESULT(old);
        }
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
