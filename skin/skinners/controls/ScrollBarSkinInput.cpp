// Mouse input on skinned window scroll bars: a pressed arrow or page zone scrolls at once and
// repeats while held (a first pause, then a steady rate), a dragged thumb tracks the mouse and
// snaps back when the mouse strays far from the bar, and the part under the mouse is hot.
#include "ScrollBarSkinInput.h"

#include <algorithm>

#include "ScrollBarSkinRecord.h"

namespace skinsb {

namespace {

TrackState g_track;

// How far the mouse may stray from a bar while dragging its thumb before the thumb goes back.
constexpr int kDragSlackAlong = 48;
constexpr int kDragSlackAcross = 24;

POINT ScreenToWindowPoint(HWND hwnd, POINT p)
{
    RECT w;
    GetWindowRect(hwnd, &w);
    return POINT{p.x - w.left, p.y - w.top};
}

POINT CursorInWindow(HWND hwnd)
{
    POINT p;
    GetCursorPos(&p);
    return ScreenToWindowPoint(hwnd, p);
}

POINT PointOf(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

POINT ClientToWindowPoint(HWND hwnd, LPARAM lParam)
{
    POINT p = PointOf(lParam);
    ClientToScreen(hwnd, &p);
    return ScreenToWindowPoint(hwnd, p);
}

int Along(const SkinSBBar& bar, POINT p) { return bar.type == 1 ? p.y : p.x; }

void Send(HWND hwnd, UINT msg, int code, int pos = 0)
{
    SendMessageA(hwnd, msg, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

void Send(HWND hwnd, int code, int pos = 0) { Send(hwnd, g_track.scrollMsg, code, pos); }

void Repaint(HWND hwnd, const SkinSBRecord& rec, int bar)
{
    HDC dc = GetWindowDC(hwnd);
    if (!dc)
        return;
    const bool hot = g_track.hotHwnd == hwnd && g_track.hotBar == bar;
    const int pressed = g_track.hwnd == hwnd && g_track.bar == bar ? g_track.drawnPressed : kSBNone;
    PaintBar(hwnd, rec, bar, dc, pressed, hot ? g_track.hotPart : kSBNone);
    ReleaseDC(hwnd, dc);
}

void StopRepeat(HWND hwnd)
{
    KillTimer(hwnd, kFirstRepeatTimer);
    KillTimer(hwnd, kRepeatTimer);
}

void ClearTracking()
{
    const HWND hotHwnd = g_track.hotHwnd;
    const int hotBar = g_track.hotBar, hotPart = g_track.hotPart;
    const RECT hotRect = g_track.hotRect;
    g_track = TrackState{};
    g_track.hotHwnd = hotHwnd;
    g_track.hotBar = hotBar;
    g_track.hotPart = hotPart;
    g_track.hotRect = hotRect;
}

void ClearHover()
{
    if (g_track.hotHwnd)
        KillTimer(g_track.hotHwnd, kHoverTimer);
    g_track.hotHwnd = nullptr;
    g_track.hotBar = -1;
    g_track.hotPart = kSBNone;
    g_track.hotRect = RECT{};
}

bool IsTracking(HWND hwnd) { return g_track.hwnd == hwnd && g_track.pressed != kSBNone; }

void StartThumbDrag(HWND hwnd, SkinSBRecord& rec, const RECT& rc, POINT p)
{
    SkinSBBar& b = rec.bars[g_track.bar];
    const SkinSBLayout l = LayoutOf(b, rc);
    g_track.thumbStart = g_track.dragStart = l.thumbStart;
    g_track.thumbLength = l.thumbLength;
    g_track.grabOffset = Along(b, p) - l.thumbStart;
    g_track.startPos = g_track.lastPos = b.info.nPos;
    b.info.nTrackPos = b.info.nPos;
    rec.thumbTracking = TRUE;
    Repaint(hwnd, rec, g_track.bar);
    SetCapture(hwnd);
}

void StartPress(HWND hwnd, SkinSBRecord& rec, int part)
{
    Send(hwnd, part);
    if (!IsWindow(hwnd) || g_track.hwnd != hwnd)
        return;
    Repaint(hwnd, rec, g_track.bar);
    SetTimer(hwnd, kFirstRepeatTimer, kFirstRepeatDelay, nullptr);
    SetCapture(hwnd);
}

// The thumb follows the mouse while it stays near the bar, else it goes back to its start.
void DragThumb(HWND hwnd, SkinSBRecord& rec, POINT p)
{
    SkinSBBar& b = rec.bars[g_track.bar];
    RECT near = g_track.barRect;
    if (b.type == 1)
        InflateRect(&near, kDragSlackAcross, kDragSlackAlong);
    else
        InflateRect(&near, kDragSlackAlong, kDragSlackAcross);
    const SkinSBLayout l = LayoutOf(b, g_track.barRect);
    int pos = g_track.startPos;
    int start = g_track.dragStart;
    if (PtInRect(&near, p)) {
        const int first = l.start + l.arrow, last = l.end - l.arrow - g_track.thumbLength;
        start = std::max(first, std::min(Along(b, p) - g_track.grabOffset, last));
        SkinSBLayout dragged = l;
        dragged.thumbLength = g_track.thumbLength;
        pos = PositionForThumb(b.info, dragged, start);
    }
    if (start != g_track.thumbStart) {
        g_track.thumbStart = start;
        Repaint(hwnd, rec, g_track.bar);
    }
    if (pos != g_track.lastPos) {
        g_track.lastPos = pos;
        b.info.nTrackPos = pos;
        Send(hwnd, SB_THUMBTRACK, pos);
    }
}

void FollowPressedPart(HWND hwnd, SkinSBRecord& rec, POINT p)
{
    const int under = PartAt(rec.bars[g_track.bar], g_track.barRect, p);
    const int drawn = under == g_track.pressed ? g_track.pressed : kSBNone;
    g_track.lastPart = under;
    if (drawn != g_track.drawnPressed) {
        g_track.drawnPressed = drawn;
        Repaint(hwnd, rec, g_track.bar);
    }
}

void RepeatTick(HWND hwnd, SkinSBRecord& rec)
{
    if (!IsTracking(hwnd) || g_track.pressed == kSBThumb) {
        StopRepeat(hwnd);
        return;
    }
    const RECT rc = BarRect(hwnd, rec, g_track.bar);
    if (PartAt(rec.bars[g_track.bar], rc, CursorInWindow(hwnd)) == g_track.pressed)
        Send(hwnd, g_track.pressed);
}

void HoverTick(HWND hwnd, SkinSBRecord& rec)
{
    if (g_track.hotHwnd != hwnd) {
        KillTimer(hwnd, kHoverTimer);
        return;
    }
    if (rec.thumbTracking)
        return;
    const int bar = g_track.hotBar;
    const RECT rc = BarRect(hwnd, rec, bar);
    const POINT p = CursorInWindow(hwnd);
    if (!PtInRect(&rc, p)) {
        ClearHover();
        SendMessageA(hwnd, WM_NCPAINT, 1, 0);
        return;
    }
    g_track.hotRect = rc;
    const int part = PartAt(rec.bars[bar], rc, p);
    if (part != g_track.hotPart) {
        g_track.hotPart = part;
        Repaint(hwnd, rec, bar);
    }
}

}  // namespace

const TrackState& Tracking() { return g_track; }

SkinSBLayout DrawnLayout(HWND hwnd, const SkinSBRecord& rec, int bar, const RECT& rc)
{
    SkinSBLayout l = LayoutOf(rec.bars[bar], rc);
    if (rec.thumbTracking && g_track.hwnd == hwnd && g_track.bar == bar && g_track.pressed == kSBThumb) {
        l.thumbStart = g_track.thumbStart;
        l.thumbLength = g_track.thumbLength;
    }
    return l;
}

void ForgetWindow(HWND hwnd)
{
    if (g_track.hwnd == hwnd) {
        StopRepeat(hwnd);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        ClearTracking();
    }
    if (g_track.hotHwnd == hwnd)
        ClearHover();
}

LRESULT OnBarButtonDown(HWND hwnd, SkinSBRecord& rec, WPARAM hit, LPARAM lParam)
{
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    const RECT rc = BarRect(hwnd, rec, bar);
    const POINT p = ScreenToWindowPoint(hwnd, PointOf(lParam));
    const SkinSBBar& b = rec.bars[bar];
    const int part = PartAt(b, rc, p);
    if (part == kSBNone || BothArrowsDisabled(b))
        return 0;
    if ((part == kSBFirstArrow && (b.flags & ESB_DISABLE_LTUP)) || (part == kSBLastArrow && (b.flags & ESB_DISABLE_RTDN)))
        return 0;
    if (g_track.hwnd && g_track.hwnd != hwnd)
        ForgetWindow(g_track.hwnd);
    ClearTracking();
    g_track.hwnd = hwnd;
    g_track.bar = bar;
    g_track.scrollMsg = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    g_track.pressed = g_track.drawnPressed = g_track.lastPart = part;
    g_track.barRect = rc;
    if (part == kSBThumb)
        StartThumbDrag(hwnd, rec, rc, p);
    else
        StartPress(hwnd, rec, part);
    return 0;
}

void OnNcMouseMove(HWND hwnd, SkinSBRecord& rec, WPARAM hit)
{
    if (hit != HTHSCROLL && hit != HTVSCROLL)
        return;
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    if (g_track.hotHwnd == hwnd && g_track.hotBar == bar)
        return;
    const HWND previous = g_track.hotHwnd;
    ClearHover();
    if (previous && previous != hwnd && IsWindow(previous))
        SendMessageA(previous, WM_NCPAINT, 1, 0);
    g_track.hotHwnd = hwnd;
    g_track.hotBar = bar;
    g_track.hotRect = BarRect(hwnd, rec, bar);
    SetTimer(hwnd, kHoverTimer, kHoverDelay, nullptr);
    SendMessageA(hwnd, WM_NCPAINT, 1, 0);
}

bool OnTrackMouseMove(HWND hwnd, SkinSBRecord& rec, LPARAM lParam, bool screen)
{
    if (!IsTracking(hwnd))
        return false;
    const POINT p = screen ? ScreenToWindowPoint(hwnd, PointOf(lParam)) : ClientToWindowPoint(hwnd, lParam);
    if (g_track.pressed == kSBThumb)
        DragThumb(hwnd, rec, p);
    else
        FollowPressedPart(hwnd, rec, p);
    return true;
}

bool OnTrackButtonUp(HWND hwnd, SkinSBRecord& rec)
{
    if (!IsTracking(hwnd))
        return false;
    const int bar = g_track.bar;
    const bool thumb = g_track.pressed == kSBThumb;
    const int last = g_track.lastPos;
    const UINT msg = g_track.scrollMsg;
    StopRepeat(hwnd);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (thumb) {
        Send(hwnd, msg, SB_THUMBPOSITION, last);
        if (RecordOf(hwnd) == &rec)
            rec.thumbTracking = FALSE;
    }
    if (IsWindow(hwnd))
        Send(hwnd, msg, SB_ENDSCROLL);
    ClearTracking();
    if (IsWindow(hwnd) && RecordOf(hwnd) == &rec)
        Repaint(hwnd, rec, bar);
    return true;
}

bool OnBarTimer(HWND hwnd, SkinSBRecord& rec, WPARAM id)
{
    switch (id) {
    case kFirstRepeatTimer:
        KillTimer(hwnd, kFirstRepeatTimer);
        if (IsTracking(hwnd))
            SetTimer(hwnd, kRepeatTimer, kRepeatDelay, nullptr);
        return true;
    case kRepeatTimer:
        RepeatTick(hwnd, rec);
        return true;
    case kHoverTimer:
        HoverTick(hwnd, rec);
        return true;
    default:
        return false;
    }
}

}  // namespace skinsb
