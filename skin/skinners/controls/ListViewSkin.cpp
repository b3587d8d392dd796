#include "ListViewSkin.h"

#include <commctrl.h>

CSkinListView::CSkinListView(CSkinWindow* owner, int type) : CSkinScrollControl(owner, type) {}

BOOL CSkinListView::Attach(HWND hwnd)
{
    if (StyleOf(hwnd) & LVS_OWNERDRAWFIXED)
        return FALSE;
    if (!CSkinScrollControl::Attach(hwnd))
        return FALSE;
    ::SendMessageA(hwnd, WM_SKIN_PUSHCOLORS, 0, 0);
    return TRUE;
}

CSkinObject* CSkinListView::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinScrollControl::SetSkinObject(object);
    if (m_hWnd)
        ::SendMessageA(m_hWnd, WM_SKIN_PUSHCOLORS, 0, 0);
    return previous;
}

LRESULT CSkinListView::PushColors()
{
    if (!ScrollObject())
        return 0;
    if (!m_bPushed) {
        m_own.back = COLORREF(CallSaved(LVM_GETBKCOLOR, 0, 0));
        m_own.textBack = COLORREF(CallSaved(LVM_GETTEXTBKCOLOR, 0, 0));
        m_own.text = COLORREF(CallSaved(LVM_GETTEXTCOLOR, 0, 0));
        m_bPushed = true;
    }
    CallSaved(LVM_SETBKCOLOR, 0, LPARAM(BackColor()));
    CallSaved(LVM_SETTEXTBKCOLOR, 0, LPARAM(BackColor()));
    CallSaved(LVM_SETTEXTCOLOR, 0, LPARAM(TextColor()));
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 1;
}

void CSkinListView::Detach()
{
    if (m_hWnd && m_bPushed) {
        CallSaved(LVM_SETBKCOLOR, 0, LPARAM(m_own.back));
        CallSaved(LVM_SETTEXTBKCOLOR, 0, LPARAM(m_own.textBack));
        CallSaved(LVM_SETTEXTCOLOR, 0, LPARAM(m_own.text));
    }
    m_bPushed = false;
    CSkinScrollControl::Detach();
}

namespace {

int ViewOf(HWND hwnd) { return int(GetWindowLongA(hwnd, GWL_STYLE) & LVS_TYPEMASK); }

}  // namespace

CSkinScrollControl::Follow CSkinListView::FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg) {
    case WM_MOUSEWHEEL:
        return m_hWnd && ViewOf(m_hWnd) == LVS_LIST ? Follow::HorzBar : Follow::VertBar;
    case WM_NOTIFY:
        // The header let go of the mouse after a column was dragged.
        return lParam && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(NM_RELEASEDCAPTURE) ? Follow::BothLater
                                                                                                 : Follow::None;
    case WM_STYLECHANGED: {
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        return wParam == WPARAM(GWL_STYLE) && change && change->styleOld != change->styleNew ? Follow::BothLater
                                                                                              : Follow::None;
    }
    case LVM_SETITEMA:
    case LVM_INSERTITEMA:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_FINDITEMA:
    case LVM_SETITEMPOSITION:
    case LVM_ENSUREVISIBLE:
    case LVM_SCROLL:
    case LVM_SETCOLUMNA:
    case LVM_INSERTCOLUMNA:
    case LVM_DELETECOLUMN:
    case LVM_SETCOLUMNWIDTH:
    case LVM_SETICONSPACING:
    case LVM_SETCOLUMNORDERARRAY:
        return Follow::BothLater;
    default:
        return ScrollingFollow(msg, wParam);
    }
}

LRESULT CSkinListView::OnThumbTrack(UINT msg, WPARAM wParam)
{
    const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    // From the list's own position: the skinned bar already shows the thumb where it is dragged.
    SCROLLINFO si;
    SystemScrollInfo(m_hWnd, bar, si);
    int distance = int(HIWORD(wParam)) - si.nPos;
    // Rows are scrolled in pixels: one row counted as 16.
    if (bar == SB_VERT && (ViewOf(m_hWnd) & 1))
        distance *= 16;
    CallSaved(LVM_SCROLL, bar == SB_HORZ ? WPARAM(distance) : 0, bar == SB_VERT ? LPARAM(distance) : 0);
    CopyBar(bar);
    return 0;
}

LRESULT CSkinListView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_PUSHCOLORS)
        return PushColors();
    if (FollowsScrolling() && (msg == WM_VSCROLL || msg == WM_HSCROLL) && LOWORD(wParam) == SB_THUMBTRACK && m_hWnd)
        return OnThumbTrack(msg, wParam);
    return CSkinScrollControl::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeListViewSkinner(int type, CSkinWindow* owner) { return new CSkinListView(owner, type); }
