#include "ScrollBarCtlSkin.h"

#include <commctrl.h>

#include <algorithm>

#include "ScrollBarSkinRecord.h"
#include "SkinGeometry.h"
#include "SkinObjectTypes.h"

namespace {

constexpr int kDefaultMinThumb = 6;

bool IsArrow(int part) { return part == kSBFirstArrow || part == kSBLastArrow; }
bool IsPage(int part) { return part == kSBPageBefore || part == kSBPageAfter; }

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

POINT CursorIn(HWND hwnd)
{
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    return cursor;
}

// A length taken from an image; `fallback` when the skin leaves it empty.
int LengthOr(LONG length, int fallback) { return length > 0 ? int(length) : fallback; }

}  // namespace

CSkinScrollBar::CSkinScrollBar(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

CSkinScrollBarObject* CSkinScrollBar::BarObject() const { return dynamic_cast<CSkinScrollBarObject*>(m_pSkinObject); }

bool CSkinScrollBar::IsVertical() const { return (StyleOf(m_hWnd) & SBS_VERT) != 0; }

bool CSkinScrollBar::IsGrip() const { return (StyleOf(m_hWnd) & (SBS_SIZEGRIP | SBS_SIZEBOX)) != 0; }

// ---- attach and the skin's sizes ---------------------------------------------------------------

BOOL CSkinScrollBar::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    // A control being created has its range set after this: it is taken at its next turn.
    ::PostMessageA(hwnd, WM_SKIN_SCROLLSTATE, 0, 0);
    return TRUE;
}

void CSkinScrollBar::TakeOver()
{
    if (m_bActive || !m_hWnd)
        return;
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    CallSaved(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si));
    m_si = si;
    m_si.fMask = SIF_ALL;
    m_si.nTrackPos = m_si.nPos;
    m_bActive = TRUE;
    RepaintNow(TRUE);
}

void CSkinScrollBar::Detach()
{
    if (m_hWnd && m_bTracking) {
        // Nothing is sent: the control is no longer the skin's when the capture goes.
        m_bTracking = FALSE;
        KillTimer(m_hWnd, kRepeatTimer);
        if (GetCapture() == m_hWnd)
            ReleaseCapture();
    }
    m_bActive = FALSE;
    m_nHit = m_nHot = kSBNone;
    CSkinControlBase::Detach();
}

CSkinObject* CSkinScrollBar::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinControlBase::SetSkinObject(object);
    if (CSkinScrollBarObject* o = BarObject()) {
        m_arrow[0] = LengthOr(SkinWidth(o->m_horizontal[0].arrow1.src), -1);
        m_arrow[1] = LengthOr(SkinHeight(o->m_vertical[0].arrow1.src), -1);
        m_minThumb[0] = LengthOr(SkinWidth(o->m_horizontal[0].thumb.src), kDefaultMinThumb);
        m_minThumb[1] = LengthOr(SkinHeight(o->m_vertical[0].thumb.src), kDefaultMinThumb);
        RepaintNow(FALSE);
    }
    return previous;
}

// ---- geometry ----------------------------------------------------------------------------------

SkinSBBar CSkinScrollBar::AsBar() const
{
    SkinSBBar bar;
    bar.type = IsVertical() ? 1 : 0;
    bar.arrowLength = m_arrow[bar.type];
    bar.minThumb = bar.zeroPageThumb = m_minThumb[bar.type];
    bar.flags = m_arrows;
    bar.info = m_si;
    if (m_bTracking && m_nHit == kSBThumb)
        bar.info.nPos = m_si.nTrackPos;
    return bar;
}

SkinSBLayout CSkinScrollBar::Layout() const { return skinsb::LayoutOf(AsBar(), ClientRect(m_hWnd)); }

int CSkinScrollBar::PartAt(POINT p) const
{
    const SkinSBBar bar = AsBar();
    const RECT rc = ClientRect(m_hWnd);
    return skinsb::PartAt(bar, rc, skinsb::LayoutOf(bar, rc), p);
}

UINT CSkinScrollBar::PartState(int part) const
{
    const SkinSBBar bar = AsBar();
    if (!IsWindowEnabled(m_hWnd) || skinsb::BothArrowsDisabled(bar))
        return kSBStateDisabled;
    if ((part == kSBFirstArrow && (m_arrows & ESB_DISABLE_LTUP)) || (part == kSBLastArrow && (m_arrows & ESB_DISABLE_RTDN)))
        return kSBStateDisabled;
    if (m_bTracking && part == m_nHit && (m_bOverHit || part == kSBThumb))
        return kSBStatePressed;
    if (!m_bTracking && part == m_nHot)
        return kSBStateHot;
    return kSBStateNormal;
}

// ---- painting ----------------------------------------------------------------------------------

void CSkinScrollBar::Draw(HDC dc)
{
    const RECT rc = ClientRect(m_hWnd);
    CSkinScrollBarObject* o = BarObject();
    if (!o) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    SkinSBDrawInfo info;
    info.hwnd = m_hWnd;
    info.dc = dc;
    info.stage = kSBStagePart;
    info.rightToLeft = IsMirrored(m_hWnd);
    info.bar = IsVertical() ? SB_VERT : SB_HORZ;
    info.rc = rc;
    info.state = kSBStateNormal;
    if (IsGrip()) {
        info.bar = kSBCorner;
        skinsb::DrawPart(*o, info);
        return;
    }
    if (!m_bActive) {
        // Until the state is known only the track shows.
        info.part = kSBPageAfter;
        skinsb::DrawPart(*o, info);
        return;
    }
    const SkinSBBar bar = AsBar();
    const SkinSBLayout l = skinsb::LayoutOf(bar, rc);
    for (int part : {kSBFirstArrow, kSBPageBefore, kSBThumb, kSBPageAfter, kSBLastArrow}) {
        info.rc = skinsb::PartRect(bar, rc, l, part);
        if (IsRectEmpty(&info.rc))
            continue;
        info.part = part;
        info.state = PartState(part);
        skinsb::DrawPart(*o, info);
    }
}

// ---- the control's messages --------------------------------------------------------------------

void CSkinScrollBar::Notify(int code, int pos)
{
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    if (!parent)
        return;
    const WORD shown = WORD(std::clamp(pos, -32768, 65535));
    ::SendMessageA(parent, IsVertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, shown), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CSkinScrollBar::Update(UINT msg, WPARAM wParam, LPARAM lParam, const SCROLLINFO& change, bool redraw)
{
    skinsb::ApplyScrollInfo(m_si, change);
    if (!(m_bTracking && m_nHit == kSBThumb))
        m_si.nTrackPos = m_si.nPos;  // a dragged thumb stays under the mouse
    const LRESULT result = CallSavedHidden(msg, wParam, lParam);
    if (redraw)
        RepaintNow(FALSE);
    return result;
}

LRESULT CSkinScrollBar::OnSetScrollInfo(WPARAM redraw, const SCROLLINFO* in)
{
    if (!in || in->cbSize != sizeof(SCROLLINFO))
        return m_si.nPos;
    // The control is told without drawing; the skin draws once below.
    Update(SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(in), *in, false);
    if (in->fMask & SIF_TRACKPOS)
        m_si.nTrackPos = in->nTrackPos;
    if ((in->fMask & SIF_DISABLENOSCROLL) && (in->fMask & (SIF_RANGE | SIF_PAGE))) {
        // Disabled only while there is nothing to scroll, enabled again once there is.
        m_arrows = skinsb::IsScrollable(m_si) ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
        CallSavedHidden(SBM_ENABLE_ARROWS, m_arrows, 0);
    }
    if (redraw)
        RepaintNow(FALSE);
    return m_si.nPos;
}

LRESULT CSkinScrollBar::OnGetScrollInfo(SCROLLINFO* out) const
{
    if (!out || !(out->fMask & (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)))
        return FALSE;
    if (out->fMask & SIF_RANGE) {
        out->nMin = m_si.nMin;
        out->nMax = m_si.nMax;
    }
    if (out->fMask & SIF_PAGE)
        out->nPage = m_si.nPage;
    if (out->fMask & SIF_POS)
        out->nPos = m_si.nPos;
    if (out->fMask & SIF_TRACKPOS)
        out->nTrackPos = m_si.nTrackPos;
    return TRUE;
}

bool CSkinScrollBar::OnScrollMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const int old = m_si.nPos;
    switch (msg) {
    case SBM_SETSCROLLINFO: *result = OnSetScrollInfo(wParam, reinterpret_cast<const SCROLLINFO*>(lParam)); return true;
    case SBM_GETSCROLLINFO: *result = OnGetScrollInfo(reinterpret_cast<SCROLLINFO*>(lParam)); return true;
    case SBM_GETPOS: *result = m_si.nPos; return true;
    case SBM_SETPOS:
        Update(SBM_SETPOS, wParam, FALSE, SCROLLINFO{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, int(wParam), 0}, lParam != 0);
        *result = old;
        return true;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        Update(SBM_SETRANGE, wParam, lParam, SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE, int(wParam), int(lParam), 0, 0, 0},
               msg == SBM_SETRANGEREDRAW);
        *result = old;
        return true;
    case SBM_GETRANGE:
        if (auto* minPos = reinterpret_cast<int*>(wParam))
            *minPos = m_si.nMin;
        if (auto* maxPos = reinterpret_cast<int*>(lParam))
            *maxPos = m_si.nMax;
        *result = 0;
        return true;
    case SBM_ENABLE_ARROWS:
        m_arrows = UINT(wParam) & ESB_DISABLE_BOTH;
        CallSavedHidden(msg, wParam, lParam);
        RepaintNow(FALSE);
        *result = TRUE;
        return true;
    case WM_ENABLE:
        *result = CallSavedHidden(msg, wParam, lParam);
        RepaintNow(FALSE);
        return true;
    default: return false;
    }
}

// ---- the mouse ---------------------------------------------------------------------------------

int CSkinScrollBar::DragPosition(POINT p) const
{
    const SkinSBLayout l = Layout();
    const int along = IsVertical() ? p.y : p.x;
    return skinsb::PositionForThumb(m_si, l, along - m_nGrab);
}

void CSkinScrollBar::OnButtonDown(POINT p)
{
    if (!IsWindowEnabled(m_hWnd))
        return;
    if (StyleOf(m_hWnd) & WS_TABSTOP)
        SetFocus(m_hWnd);
    const int part = PartAt(p);
    if (part == kSBNone || PartState(part) == kSBStateDisabled)
        return;
    if (part == kSBThumb)
        m_nGrab = (IsVertical() ? p.y : p.x) - Layout().thumbStart;
    m_nHit = part;
    m_bTracking = TRUE;
    m_bOverHit = true;
    m_si.nTrackPos = m_si.nPos;
    SetCapture(m_hWnd);
    if (part == kSBThumb) {
        RepaintNow(FALSE);
        Notify(SB_THUMBTRACK, m_si.nPos);
        return;
    }
    Notify(part);  // the parts are numbered as their scroll codes
    if (!m_hWnd || !m_bTracking)
        return;
    SetTimer(m_hWnd, kRepeatTimer, kRepeatDelay, nullptr);
    m_bRepeating = true;
    RepaintNow(FALSE);
}

void CSkinScrollBar::OnDragMove(POINT p)
{
    const int pos = DragPosition(p);
    if (pos == m_si.nTrackPos)
        return;
    m_si.nTrackPos = pos;
    RepaintNow(FALSE);
    Notify(SB_THUMBTRACK, pos);
}

void CSkinScrollBar::OnPressedMove(POINT p)
{
    const bool over = PartAt(p) == m_nHit;
    if (over == m_bOverHit)
        return;
    m_bOverHit = over;
    // Repeats pause while the mouse is off the pressed part.
    if (over && !m_bRepeating)
        SetTimer(m_hWnd, kRepeatTimer, kRepeatDelay, nullptr);
    else if (!over)
        KillTimer(m_hWnd, kRepeatTimer);
    m_bRepeating = over;
    RepaintNow(FALSE);
}

void CSkinScrollBar::OnHover(POINT p)
{
    const int part = PartAt(p);
    if (part == m_nHot)
        return;
    m_nHot = part;
    RepaintNow(FALSE);
}

void CSkinScrollBar::OnMouseLeave()
{
    CSkinControlBase::OnMouseLeave();
    if (m_nHot != kSBNone) {
        m_nHot = kSBNone;
        RepaintNow(FALSE);
    }
}

void CSkinScrollBar::OnRepeat()
{
    const int under = PartAt(CursorIn(m_hWnd));
    // A page zone repeats until the thumb has come under the mouse.
    if (!m_bTracking || m_nHit == kSBThumb || (IsPage(m_nHit) && under == kSBThumb)) {
        KillTimer(m_hWnd, kRepeatTimer);
        m_bRepeating = false;
        return;
    }
    if (under == m_nHit && (IsArrow(m_nHit) || IsPage(m_nHit)))
        Notify(m_nHit);
}

void CSkinScrollBar::EndPress()
{
    if (!m_bTracking)
        return;
    const int hit = m_nHit;
    m_bTracking = FALSE;
    m_bRepeating = false;
    m_nHit = kSBNone;
    KillTimer(m_hWnd, kRepeatTimer);
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    if (hit == kSBThumb)
        Notify(SB_THUMBPOSITION, m_si.nTrackPos);
    Notify(SB_ENDSCROLL);
    if (!m_hWnd)
        return;
    m_si.nTrackPos = m_si.nPos;
    // What is hot now is the part under the mouse where the press ended.
    m_nHot = PartAt(CursorIn(m_hWnd));
    RepaintNow(FALSE);
}

bool CSkinScrollBar::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(PointOf(lParam));
        return true;
    case WM_MOUSEMOVE:
        if (!m_bTracking)
            OnHover(PointOf(lParam));
        else if (m_nHit == kSBThumb)
            OnDragMove(PointOf(lParam));
        else
            OnPressedMove(PointOf(lParam));
        return false;  // the base tracks the hover
    case WM_LBUTTONUP:
        if (!m_bTracking)
            return false;
        EndPress();
        return true;
    case WM_CAPTURECHANGED:
        EndPress();
        return false;
    case WM_TIMER:
        if (wParam != kRepeatTimer)
            return false;
        OnRepeat();
        return true;
    default: return false;
    }
}

LRESULT CSkinScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_SCROLLSTATE) {
        TakeOver();
        return 0;
    }
    LRESULT result = 0;
    if (m_bActive && OnScrollMessage(msg, wParam, lParam, &result))
        return result;
    if (m_bActive && IsGrip() && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_LBUTTONUP))
        return 0;  // a grip takes no clicks
    if (m_bActive && !IsGrip() && OnMouseMessage(msg, wParam, lParam))
        return 0;
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeScrollBarSkinner(int type, CSkinWindow* owner) { return new CSkinScrollBar(owner, type); }
