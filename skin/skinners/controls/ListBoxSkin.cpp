#include "ListBoxSkin.h"

#include <cstring>

#include "SkinDraw.h"

CSkinListBox::CSkinListBox(CSkinWindow* owner, int type) : CSkinScrollControl(owner, type) {}

BOOL CSkinListBox::Attach(HWND hwnd)
{
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    m_bComboList = std::strcmp(name, "ComboLBox") == 0 ? TRUE : FALSE;
    if (!m_bComboList && (StyleOf(hwnd) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        return FALSE;
    return CSkinScrollControl::Attach(hwnd);
}

LRESULT CSkinListBox::OnCtlColor(WPARAM wParam, LPARAM lParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (reinterpret_cast<HWND>(lParam) != m_hWnd || !ScrollObject() || !dc)
        return CSkinScrollControl::WindowProc(WM_CTLCOLORLISTBOX, wParam, lParam);
    SetBkColor(dc, BackColor());
    SetTextColor(dc, TextColor());
    return reinterpret_cast<LRESULT>(m_brush.Get(BackColor()));
}

LRESULT CSkinListBox::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    // A new font may change the list's height: what it no longer covers is painted again.
    RECT before{};
    ::GetWindowRect(m_hWnd, &before);
    HWND hwnd = m_hWnd;
    const LRESULT result = CSkinScrollControl::WindowProc(WM_SETFONT, wParam, lParam);
    HWND under = GetParent(hwnd);
    if (under && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        ScreenToClientRect(under, before);
        InvalidateRect(under, &before, TRUE);
        UpdateWindow(under);
    }
    return result;
}

LRESULT CSkinListBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(wParam, lParam);
    case WM_SETFONT:
        return OnSetFont(wParam, lParam);
    default:
        return CSkinScrollControl::WindowProc(msg, wParam, lParam);
    }
}

CSkinScrollControl::Follow CSkinListBox::FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_SELITEMRANGEEX:
    case LB_RESETCONTENT:
    case LB_SETSEL:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_DIR:
    case LB_SETHORIZONTALEXTENT:
    case LB_ADDFILE:
    case LB_SETTOPINDEX:
    case LB_SELITEMRANGE:
    case LB_SETCARETINDEX:
        return Follow::BothLater;
    default:
        return ScrollingFollow(msg, wParam);
    }
}

CSkinWindow* MakeListBoxSkinner(int type, CSkinWindow* owner) { return new CSkinListBox(owner, type); }
