#include <initializer_list>

#include "ScrollBarSkinRecord.h"

namespace skinsb {

namespace {

int Metric(int n, int index) { return -n * GetSystemMetrics(index); }

}  // namespace

int ArrowLength(const SkinSBBar& bar)
{
    if (bar.arrowLength >= 0)
        return bar.arrowLength;
    return Metric(bar.arrowLength, bar.type == 0 ? SM_CXHSCROLL : SM_CYVSCROLL);
}

int Thickness(const SkinSBBar& bar)
{
    if (bar.thickness >= 0)
        return bar.thickness;
    return Metric(bar.thickness, bar.type == 0 ? SM_CYHSCROLL : SM_CXVSCROLL);
}

RECT BarRect(HWND hwnd, const SkinSBRecord& rec, int bar)
{
    RECT w;
    GetWindowRect(hwnd, &w);
    OffsetRect(&w, -w.left, -w.top);
    const SkinSBBar& h = rec.bars[SB_HORZ];
    const SkinSBBar& v = rec.bars[SB_VERT];
    const bool rtl = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    const bool left = rtl != (rec.leftScrollBar != FALSE);
    RECT r{};
    if (bar == SB_HORZ && h.visible) {
        r.left = w.left + rec.insetLeft + (v.visible && left ? Thickness(v) : 0);
        r.right = w.right - rec.insetRight - (v.visible && !left ? Thickness(v) : 0);
        r.bottom = w.bottom - rec.insetBottom;
        r.top = r.bottom - Thickness(h);
    } else if (bar == SB_VERT && v.visible) {
        r.top = w.top + rec.insetTop;
        r.bottom = w.bottom - rec.insetBottom - (h.visible ? Thickness(h) : 0);
        if (left) {
            r.left = w.left + rec.insetLeft;
            r.right = r.left + Thickness(v);
        } else {
            r.right = w.right - rec.insetRight;
            r.left = r.right - Thickness(v);
        }
    }
    if (r.right <= r.left || r.bottom <= r.top)
        return RECT{};
    return r;
}

bool BothArrowsDisabled(const SkinSBBar& bar)
{
    if ((bar.flags & 3) == 3)
        return true;
    return !IsScrollable(bar.info) && !(bar.flags & kSBKeepEnabled);
}

SkinSBLayout LayoutOf(const SkinSBBar& bar, const RECT& rc)
{
    const bool vertical = bar.type == 1;
    SkinSBLayout l = CalcThumb(bar.info, vertical ? rc.top : rc.left, vertical ? rc.bottom : rc.right, ArrowLength(bar),
                               bar.minThumb, bar.zeroPageThumb);
    if (!IsScrollable(bar.info) || BothArrowsDisabled(bar) || l.end - l.start <= 2 * ArrowLength(bar))
        l.hasThumb = false;
    return l;
}

RECT PartRect(const SkinSBBar& bar, const RECT& rc, int part) { return PartRect(bar, rc, LayoutOf(bar, rc), part); }

RECT PartRect(const SkinSBBar& bar, const RECT& rc, const SkinSBLayout& l, int part)
{
    int a = 0, b = 0;
    const int trackStart = l.start + l.arrow;
    // A bar too short for two arrows is shared by them alone, without a track between.
    const int trackEnd = l.end - l.start <= 2 * ArrowLength(bar) ? trackStart : l.end - l.arrow;
    switch (part) {
    case kSBFirstArrow: a = l.start; b = trackStart; break;
    case kSBLastArrow: a = trackEnd; b = l.end; break;
    case kSBPageBefore:
        a = trackStart;
        b = l.hasThumb ? l.thumbStart : trackStart;
        break;
    case kSBPageAfter:
        a = l.hasThumb ? l.thumbStart + l.thumbLength : trackStart;
        b = trackEnd;
        break;
    case kSBThumb:
        if (l.hasThumb) {
            a = l.thumbStart;
            b = l.thumbStart + l.thumbLength;
        }
        break;
    default: break;
    }
    if (b <= a)
        return RECT{};
    return bar.type == 1 ? RECT{rc.left, a, rc.right, b} : RECT{a, rc.top, b, rc.bottom};
}

int PartAt(const SkinSBBar& bar, const RECT& rc, POINT p) { return PartAt(bar, rc, LayoutOf(bar, rc), p); }

int PartAt(const SkinSBBar& bar, const RECT& rc, const SkinSBLayout& l, POINT p)
{
    if (!PtInRect(&rc, p))
        return kSBNone;
    for (int part : {kSBFirstArrow, kSBLastArrow, kSBThumb, kSBPageBefore, kSBPageAfter}) {
        const RECT r = PartRect(bar, rc, l, part);
        if (PtInRect(&r, p))
            return part;
    }
    return kSBNone;
}

}  // namespace skinsb
