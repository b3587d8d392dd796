#include <climits>

#include "ScrollBarSkin.h"

namespace skinsb {

namespace {

long long RangeOf(const SCROLLINFO& si) { return static_cast<long long>(si.nMax) - si.nMin + 1; }

// a * b / c in 64 bits; the caller makes sure c is not 0.
int Scale(long long a, long long b, long long c) { return static_cast<int>(a * b / c); }

}  // namespace

int MaxScrollPos(const SCROLLINFO& si)
{
    const long long page = si.nPage > 0 ? static_cast<long long>(si.nPage) - 1 : 0;
    const long long top = static_cast<long long>(si.nMax) - page;
    return top < si.nMin ? si.nMin : static_cast<int>(top);
}

bool IsScrollable(const SCROLLINFO& si)
{
    // A page as large as the whole range leaves nothing to scroll, wherever the range starts.
    return si.nMax > si.nMin && static_cast<long long>(si.nPage) < RangeOf(si);
}

void ApplyScrollInfo(SCROLLINFO& si, const SCROLLINFO& in)
{
    if (in.fMask & SIF_RANGE) {
        si.nMin = in.nMin;
        si.nMax = in.nMax;
    }
    if (in.fMask & SIF_PAGE)
        si.nPage = in.nPage;
    // An inverted range counts as empty: no page rather than a wrapped one.
    const long long range = RangeOf(si);
    if (range <= 0)
        si.nPage = 0;
    else if (static_cast<long long>(si.nPage) > range)
        si.nPage = static_cast<UINT>(range);
    if (in.fMask & SIF_POS)
        si.nPos = in.nPos;
    if (si.nPos < si.nMin)
        si.nPos = si.nMin;
    if (si.nPos > MaxScrollPos(si))
        si.nPos = MaxScrollPos(si);
}

SkinSBLayout CalcThumb(const SCROLLINFO& si, int start, int end, int arrow, int minThumb, int zeroPageThumb)
{
    SkinSBLayout l;
    l.start = start;
    l.end = end;
    const int length = end - start;
    l.arrow = length < 2 * arrow ? length / 2 : arrow;
    const int track = length - 2 * l.arrow;
    const long long range = RangeOf(si);
    int thumb;
    if (si.nPage == 0)
        thumb = zeroPageThumb < 0 ? l.arrow : zeroPageThumb;
    else if (range < 1)
        thumb = 0;
    else {
        thumb = Scale(si.nPage, track, range);
        if (thumb < minThumb)
            thumb = minThumb;
    }
    int offset = 0;
    const int free = track - thumb;
    const long long span = range - (si.nPage > 1 ? si.nPage : 1);
    if (range > 0 && free > 0 && span > 0) {
        offset = Scale(static_cast<long long>(si.nPos) - si.nMin, free, span);
        if (offset < 0)
            offset = 0;
        if (offset > free)
            offset = free;
    }
    l.thumbStart = start + l.arrow + offset;
    l.thumbLength = thumb;
    l.hasThumb = thumb >= 1 && thumb <= track;
    return l;
}

int PositionForThumb(const SCROLLINFO& si, const SkinSBLayout& l, int thumbStart)
{
    const int free = (l.end - l.start) - 2 * l.arrow - l.thumbLength;
    const int top = MaxScrollPos(si);
    if (free <= 0 || top <= si.nMin)
        return si.nMin;
    int offset = thumbStart - (l.start + l.arrow);
    if (offset < 0)
        offset = 0;
    if (offset > free)
        offset = free;
    // Rounded to the nearest position, and counted from nMin.
    const long long span = static_cast<long long>(top) - si.nMin;
    // In 64 bits: the step from nMin alone may not fit an int when the range spans all of them.
    return static_cast<int>(si.nMin + (offset * span + free / 2) / free);
}

}  // namespace skinsb
