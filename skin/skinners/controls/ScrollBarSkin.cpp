// The record of a window's skinned scroll bars, its attachment, its window procedure and the
// scroll-bar functions answered from it.
#include "ScrollBarSkin.h"

#include <map>
#include <memory>

#include "ApiHook.h"
#include "ScrollBarSkinInput.h"
#include "ScrollBarSkinRecord.h"
#include "SkinEngineServices.h"

namespace {

constexpr char kRecordProp[] = "SkinSBSubclassPtr";
constexpr DWORD kBarStyles = WS_HSCROLL | WS_VSCROLL;

// The records, owned here; the window property points at its own.
std::map<HWND, std::unique_ptr<SkinSBRecord>>& Records()
{
    static std::map<HWND, std::unique_ptr<SkinSBRecord>> records;
    return records;
}

LRESULT CALLBACK SkinSBWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RecalcFrame(HWND hwnd)
{
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void RepaintFrame(HWND hwnd) { SendMessageA(hwnd, WM_NCPAINT, 1, 0); }

// Bars addressed by SB_HORZ, SB_VERT or SB_BOTH: first and one past the last index.
bool BarSpan(int bar, int& first, int& last)
{
    if (bar == SB_HORZ || bar == SB_VERT) {
        first = bar;
        last = bar + 1;
        return true;
    }
    if (bar == SB_BOTH) {
        first = 0;
        last = 2;
        return true;
    }
    return false;
}

// One bar of a skinned window, or null (not skinned, or SB_CTL).
SkinSBBar* BarOf(HWND hwnd, int bar)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    return rec && (bar == SB_HORZ || bar == SB_VERT) ? &rec->bars[bar] : nullptr;
}

// Applies f to each bar that SB_HORZ, SB_VERT or SB_BOTH names; false without a record.
template <typename F>
bool ForEachBar(HWND hwnd, int bar, F&& f)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    int first, last;
    if (!rec || !BarSpan(bar, first, last))
        return false;
    for (int b = first; b < last; ++b)
        f(rec->bars[b]);
    return true;
}

template <typename F>
F System(skin::ApiHookFunction which)
{
    return reinterpret_cast<F>(skin::GetApiHookSystemFunction(which));
}

int DefaultMinThumb()
{
    const DWORD v = GetVersion();
    return (v & 0xFF) >= 5 && !(v & 0x80000000) ? 6 : 8;
}

// Calls the window's own procedure with the bar styles taken away, so that it neither reserves
// nor paints bars of its own.
LRESULT CallWithoutBars(HWND hwnd, SkinSBRecord& rec, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const BOOL guard = rec.styleGuard;
    rec.styleGuard = TRUE;
    if (style & kBarStyles)
        SetWindowLongA(hwnd, GWL_STYLE, style & ~kBarStyles);
    const LRESULT r = CallWindowProcA(rec.savedProc, hwnd, msg, wParam, lParam);
    if ((style & kBarStyles) && IsWindow(hwnd))
        SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~kBarStyles) | (style & kBarStyles));
    rec.styleGuard = guard;
    return r;
}

bool VerticalOnLeft(HWND hwnd, const SkinSBRecord& rec)
{
    const bool rtl = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    return rtl != (rec.leftScrollBar != FALSE);
}

LRESULT OnNcCalcSize(HWND hwnd, SkinSBRecord& rec, WPARAM wParam, LPARAM lParam)
{
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    const RECT window = *r;
    const LRESULT result = CallWithoutBars(hwnd, rec, WM_NCCALCSIZE, wParam, lParam);
    rec.insetLeft = r->left - window.left;
    rec.insetRight = window.right - r->right;
    rec.insetTop = r->top - window.top;
    rec.insetBottom = window.bottom - r->bottom;
    SkinSBBar& h = rec.bars[SB_HORZ];
    SkinSBBar& v = rec.bars[SB_VERT];
    const int ht = skinsb::Thickness(h), vt = skinsb::Thickness(v);
    h.visible = (h.flags & kSBShown) && r->bottom - r->top > ht;
    if (h.visible)
        r->bottom -= ht;
    v.visible = (v.flags & kSBShown) && r->right - r->left >= vt;
    if (v.visible) {
        if (VerticalOnLeft(hwnd, rec))
            r->left += vt;
        else
            r->right -= vt;
    }
    return result;
}

LRESULT OnNcPaint(HWND hwnd, SkinSBRecord& rec, WPARAM wParam)
{
    // The frame first, so that the bars lie over whatever the window's own frame painting covers.
    const LRESULT result = CallWithoutBars(hwnd, rec, WM_NCPAINT, wParam, 0);
    HDC dc = GetWindowDC(hwnd);
    if (!dc)
        return result;
    const skinsb::TrackState& t = skinsb::Tracking();
    for (int bar = 0; bar < 2; ++bar) {
        if (!rec.bars[bar].visible)
            continue;
        const bool mine = t.hwnd == hwnd && t.bar == bar;
        const bool hot = t.hotHwnd == hwnd && t.hotBar == bar;
        skinsb::PaintBar(hwnd, rec, bar, dc, mine ? t.drawnPressed : kSBNone, hot ? t.hotPart : kSBNone);
    }
    if (rec.bars[0].visible && rec.bars[1].visible)
        skinsb::PaintCorner(hwnd, rec, dc);
    ReleaseDC(hwnd, dc);
    return result;
}

LRESULT OnNcHitTest(HWND hwnd, SkinSBRecord& rec, LPARAM lParam)
{
    RECT w;
    GetWindowRect(hwnd, &w);
    const POINT p{static_cast<short>(LOWORD(lParam)) - w.left, static_cast<short>(HIWORD(lParam)) - w.top};
    for (int bar = 0; bar < 2; ++bar) {
        const RECT rc = skinsb::BarRect(hwnd, rec, bar);
        if (PtInRect(&rc, p))
            return bar == SB_HORZ ? HTHSCROLL : HTVSCROLL;
    }
    return CallWindowProcA(rec.savedProc, hwnd, WM_NCHITTEST, 0, lParam);
}

LRESULT OnStyleChanged(HWND hwnd, SkinSBRecord& rec, WPARAM wParam, LPARAM lParam)
{
    if (wParam == static_cast<WPARAM>(GWL_EXSTYLE))
        rec.leftScrollBar = (reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
    return CallWindowProcA(rec.savedProc, hwnd, WM_STYLECHANGED, wParam, lParam);
}

bool IsBarHit(WPARAM hit) { return hit == HTHSCROLL || hit == HTVSCROLL; }

LRESULT Dispatch(HWND hwnd, SkinSBRecord& rec, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(hwnd, rec, wParam, lParam);
    case WM_NCPAINT:
        return OnNcPaint(hwnd, rec, wParam);
    case WM_NCHITTEST:
        return OnNcHitTest(hwnd, rec, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (IsBarHit(wParam))
            return skinsb::OnBarButtonDown(hwnd, rec, wParam, lParam);
        break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        if (IsBarHit(wParam))
            return 0;
        break;
    case WM_NCMOUSEMOVE:
        if (skinsb::OnTrackMouseMove(hwnd, rec, lParam, true))
            return 0;
        skinsb::OnNcMouseMove(hwnd, rec, wParam);
        break;
    case WM_MOUSEMOVE:
        if (skinsb::OnTrackMouseMove(hwnd, rec, lParam, false))
            return 0;
        break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        if (skinsb::OnTrackButtonUp(hwnd, rec))
            return 0;
        break;
    case WM_TIMER:
        if (skinsb::OnBarTimer(hwnd, rec, wParam))
            return 0;
        break;
    case WM_STYLECHANGING:
        if (rec.styleGuard)
            return 0;
        break;
    case WM_STYLECHANGED:
        return rec.styleGuard ? 0 : OnStyleChanged(hwnd, rec, wParam, lParam);
    case WM_NCDESTROY: {
        const WNDPROC saved = rec.savedProc;
        UninitializeSkinSB(hwnd);
        // With another subclass above, the record was only released; the window goes now and
        // nothing calls this procedure for it again.
        Records().erase(hwnd);
        return CallWindowProcA(saved, hwnd, msg, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(rec.savedProc, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SkinSBWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto it = Records().find(hwnd);
    if (it == Records().end())
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    SkinSBRecord& rec = *it->second;
    if (rec.released) {
        const WNDPROC saved = rec.savedProc;
        if (msg == WM_NCDESTROY)
            Records().erase(it);
        return CallWindowProcA(saved, hwnd, msg, wParam, lParam);
    }
    return Dispatch(hwnd, rec, msg, wParam, lParam);
}

void ShowBars(HWND hwnd, SkinSBRecord& rec, int first, int last, BOOL show)
{
    DWORD bits = 0;
    for (int b = first; b < last; ++b) {
        if (show)
            rec.bars[b].flags |= kSBShown;
        else
            rec.bars[b].flags &= ~kSBShown;
        bits |= b == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    }
    const BOOL guard = rec.styleGuard;
    rec.styleGuard = TRUE;
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE, show ? (style | bits) : (style & ~bits));
    rec.styleGuard = guard;
    RecalcFrame(hwnd);
}

bool WantsShown(const SkinSBBar& b, UINT mask)
{
    if ((mask & SIF_DISABLENOSCROLL) || (b.flags & kSBKeepEnabled))
        return true;
    return skinsb::IsScrollable(b.info);
}

}  // namespace

namespace skinsb {

SkinSBRecord* RecordOf(HWND hwnd)
{
    auto it = Records().find(hwnd);
    return it == Records().end() || it->second->released ? nullptr : it->second.get();
}

size_t RecordCount() { return Records().size(); }

}  // namespace skinsb

BOOL InitializeSkinSB(HWND hwnd)
{
    auto found = Records().find(hwnd);
    const bool reuse = found != Records().end() && found->second->released;
    if (!IsWindow(hwnd) || (found != Records().end() && !reuse))
        return FALSE;
    auto rec = std::make_unique<SkinSBRecord>();
    for (int bar = 0; bar < 2; ++bar) {
        SkinSBBar& b = rec->bars[bar];
        b.info = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        System<BOOL(WINAPI*)(HWND, int, LPSCROLLINFO)>(skin::kHookGetScrollInfo)(hwnd, bar, &b.info);
        b.info.cbSize = sizeof(SCROLLINFO);
        b.info.fMask = SIF_ALL;
        b.type = bar;
        b.minThumb = DefaultMinThumb();
    }
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (style & WS_HSCROLL)
        rec->bars[SB_HORZ].flags |= kSBShown;
    if (style & WS_VSCROLL)
        rec->bars[SB_VERT].flags |= kSBShown;
    rec->leftScrollBar = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    SkinSBRecord* raw = rec.get();
    if (reuse) {
        // The released procedure still sits in the chain, under a subclass that came later:
        // the bars take up their place there again.
        raw->savedProc = found->second->savedProc;
        found->second = std::move(rec);
        SetPropA(hwnd, kRecordProp, raw);
    } else {
        Records()[hwnd] = std::move(rec);
        SetPropA(hwnd, kRecordProp, raw);
        raw->savedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinSBWindowProc)));
    }
    RecalcFrame(hwnd);
    return TRUE;
}

HRESULT UninitializeSkinSB(HWND hwnd)
{
    auto it = Records().find(hwnd);
    if (it == Records().end() || it->second->released)
        return E_FAIL;
    skinsb::ForgetWindow(hwnd);
    RemovePropA(hwnd, kRecordProp);
    const bool onTop = GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SkinSBWindowProc);
    if (onTop) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second->savedProc));
        Records().erase(it);
    } else {
        // Another subclass sits above: the record stays as a pass-through until the window goes.
        it->second->released = true;
    }
    if (IsWindow(hwnd))
        RecalcFrame(hwnd);
    return S_OK;
}

BOOL IsSkinSBWindow(HWND hwnd) { return skinsb::RecordOf(hwnd) != nullptr; }

BOOL SkinSB_SetSize(HWND hwnd, int bar, int arrowLength, int thickness)
{
    auto ok = [](int v) { return v != 0 && v >= -8 && v <= 256; };
    if (!ok(arrowLength) || !ok(thickness) || !ForEachBar(hwnd, bar, [&](SkinSBBar& b) {
            b.arrowLength = arrowLength;
            b.thickness = thickness;
        }))
        return FALSE;
    RecalcFrame(hwnd);
    return TRUE;
}

BOOL SkinSB_SetStyle(HWND hwnd, int bar, int style)
{
    if (!ForEachBar(hwnd, bar, [&](SkinSBBar& b) { b.style = style; }))
        return FALSE;
    RepaintFrame(hwnd);
    return TRUE;
}

BOOL SkinSB_SetMinThumbSize(HWND hwnd, int bar, int size)
{
    return ForEachBar(hwnd, bar, [&](SkinSBBar& b) { b.minThumb = size == -1 ? DefaultMinThumb() : size; });
}

BOOL SkinSB_GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info)
{
    const SkinSBBar* b = BarOf(hwnd, bar);
    if (!b)
        return System<BOOL(WINAPI*)(HWND, int, LPSCROLLINFO)>(skin::kHookGetScrollInfo)(hwnd, bar, info);
    if (!info || !(info->fMask & (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)))
        return FALSE;
    if (info->fMask & SIF_RANGE) {
        info->nMin = b->info.nMin;
        info->nMax = b->info.nMax;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = b->info.nPage;
    if (info->fMask & SIF_POS)
        info->nPos = b->info.nPos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = b->info.nTrackPos;
    return TRUE;
}

int SkinSB_GetScrollPos(HWND hwnd, int bar)
{
    const SkinSBBar* b = BarOf(hwnd, bar);
    return b ? b->info.nPos : System<int(WINAPI*)(HWND, int)>(skin::kHookGetScrollPos)(hwnd, bar);
}

BOOL SkinSB_GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos)
{
    const SkinSBBar* b = BarOf(hwnd, bar);
    if (!b)
        return System<BOOL(WINAPI*)(HWND, int, LPINT, LPINT)>(skin::kHookGetScrollRange)(hwnd, bar, minPos, maxPos);
    if (!minPos || !maxPos)
        return FALSE;
    *minPos = b->info.nMin;
    *maxPos = b->info.nMax;
    return TRUE;
}

int SkinSB_SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    SkinSBBar* b = BarOf(hwnd, bar);
    if (!b)
        return System<int(WINAPI*)(HWND, int, LPCSCROLLINFO, BOOL)>(skin::kHookSetScrollInfo)(hwnd, bar, info, redraw);
    if (!info)
        return b->info.nPos;
    skinsb::ApplyScrollInfo(b->info, *info);
    const bool wasShown = (b->flags & kSBShown) != 0;
    const bool show = WantsShown(*b, info->fMask);
    if (show != wasShown) {
        ShowBars(hwnd, *rec, bar, bar + 1, show);
    } else if (redraw && !rec->thumbTracking) {
        RepaintFrame(hwnd);
    }
    return b->info.nPos;
}

int SkinSB_SetScrollInfoAndPaint(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    SkinSBBar* b = BarOf(hwnd, bar);
    if (!b || !info)
        return b ? b->info.nPos : 0;
    skinsb::ApplyScrollInfo(b->info, *info);
    if (redraw && !rec->thumbTracking && b->visible) {
        if (HDC dc = GetWindowDC(hwnd)) {
            skinsb::PaintBar(hwnd, *rec, bar, dc, kSBNone, kSBNone);
            ReleaseDC(hwnd, dc);
        }
    }
    return b->info.nPos;
}

int SkinSB_SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    SkinSBBar* b = BarOf(hwnd, bar);
    if (!b)
        return System<int(WINAPI*)(HWND, int, int, BOOL)>(skin::kHookSetScrollPos)(hwnd, bar, pos, redraw);
    const int old = b->info.nPos;
    SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, pos, 0};
    skinsb::ApplyScrollInfo(b->info, in);
    if (redraw && !rec->thumbTracking)
        RepaintFrame(hwnd);
    return old;
}

BOOL SkinSB_SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    SkinSBBar* b = BarOf(hwnd, bar);
    if (!b)
        return System<BOOL(WINAPI*)(HWND, int, int, int, BOOL)>(skin::kHookSetScrollRange)(hwnd, bar, minPos, maxPos,
                                                                                          redraw);
    if (rec->thumbTracking)
        return b->info.nPos;
    SCROLLINFO in{sizeof in, SIF_RANGE, minPos, maxPos, 0, 0, 0};
    skinsb::ApplyScrollInfo(b->info, in);
    if (minPos == maxPos)
        SkinSB_ShowScrollBar(hwnd, bar, FALSE);
    else if (redraw)
        RepaintFrame(hwnd);
    return TRUE;
}

BOOL SkinSB_ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    int first, last;
    if (!rec || !BarSpan(bar, first, last))
        return System<BOOL(WINAPI*)(HWND, int, BOOL)>(skin::kHookShowScrollBar)(hwnd, bar, show);
    ShowBars(hwnd, *rec, first, last, show);
    return TRUE;
}

BOOL SkinSB_EnableScrollBar(HWND hwnd, UINT bar, UINT arrows)
{
    SkinSBRecord* rec = skinsb::RecordOf(hwnd);
    int first, last;
    if (!rec || !BarSpan(static_cast<int>(bar), first, last))
        return System<BOOL(WINAPI*)(HWND, UINT, UINT)>(skin::kHookEnableScrollBar)(hwnd, bar, arrows);
    bool changed = false;
    for (int b = first; b < last; ++b) {
        const DWORD bits = arrows & (ESB_DISABLE_LTUP | ESB_DISABLE_RTDN);
        changed |= (rec->bars[b].flags & 3) != bits;
        rec->bars[b].flags = (rec->bars[b].flags & ~3u) | bits;
    }
    if (changed)
        RepaintFrame(hwnd);
    return changed;
}

namespace {

BOOL WINAPI HasRecord(HWND hwnd) { return IsSkinSBWindow(hwnd); }

const SkinScrollBarService kService = {
    &InitializeSkinSB,        &UninitializeSkinSB,    &HasRecord,
    &SkinSB_SetSize,          &SkinSB_SetStyle,       &SkinSB_SetMinThumbSize,
    &SkinSB_EnableScrollBar,  &SkinSB_GetScrollInfo,  &SkinSB_GetScrollPos,
    &SkinSB_GetScrollRange,   &SkinSB_SetScrollInfo,  &SkinSB_SetScrollPos,
    &SkinSB_SetScrollRange,   &SkinSB_ShowScrollBar,
};

}  // namespace

void InstallSkinScrollBars() { SetSkinScrollBarService(&kService); }
