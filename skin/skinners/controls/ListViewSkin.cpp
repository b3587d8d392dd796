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

LRESULT CSkinListView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_PUSHCOLORS)
        return PushColors();
    return CSkinScrollControl::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeListViewSkinner(int type, CSkinWindow* owner) { return new CSkinListView(owner, type); }
