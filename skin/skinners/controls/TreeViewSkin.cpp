// The tree view skinner: the skin's colours pushed into the control and given back with the skin.
#include "TreeViewSkin.h"

#include <commctrl.h>

#include "SkinObjectTypes.h"

CSkinTreeView::CSkinTreeView(CSkinWindow* owner, int type) : CSkinScrollControl(owner, type) {}

// The colours go to the control once it is attached and its procedure is ours.
BOOL CSkinTreeView::Attach(HWND hwnd)
{
    if (!CSkinScrollControl::Attach(hwnd))
        return FALSE;
    ::PostMessageA(hwnd, WM_SKIN_PUSHCOLORS, 0, 0);
    return TRUE;
}

CSkinObject* CSkinTreeView::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinScrollControl::SetSkinObject(object);
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_SKIN_PUSHCOLORS, 0, 0);
    return previous;
}

COLORREF CSkinTreeView::LineColor() const
{
    auto* tree = dynamic_cast<const CSkinTreeViewObject*>(ScrollObject());
    return tree ? COLORREF(tree->m_values[0]) : TextColor();
}

LRESULT CSkinTreeView::PushColors()
{
    if (!ScrollObject())
        return 0;
    if (!m_bPushed) {
        m_own.text = COLORREF(CallSaved(TVM_GETTEXTCOLOR, 0, 0));
        m_own.back = COLORREF(CallSaved(TVM_GETBKCOLOR, 0, 0));
        m_own.line = COLORREF(CallSaved(TVM_GETLINECOLOR, 0, 0));
        m_bPushed = true;
    }
    CallSaved(TVM_SETTEXTCOLOR, 0, LPARAM(TextColor()));
    CallSaved(TVM_SETBKCOLOR, 0, LPARAM(BackColor()));
    CallSaved(TVM_SETLINECOLOR, 0, LPARAM(LineColor()));
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 1;
}

void CSkinTreeView::Detach()
{
    if (m_hWnd && m_bPushed) {
        CallSaved(TVM_SETTEXTCOLOR, 0, LPARAM(m_own.text));
        CallSaved(TVM_SETBKCOLOR, 0, LPARAM(m_own.back));
        CallSaved(TVM_SETLINECOLOR, 0, LPARAM(m_own.line));
    }
    m_bPushed = false;
    CSkinScrollControl::Detach();
}

CSkinScrollControl::Follow CSkinTreeView::FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case TVM_INSERTITEMA:
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_SETINDENT:
    case TVM_SETIMAGELIST:
    case TVM_SELECTITEM:
    case TVM_SETITEMA:
    case TVM_SORTCHILDREN:
    case TVM_ENSUREVISIBLE:
    case TVM_SETINSERTMARK:
    case TVM_SETITEMHEIGHT:
        return Follow::BothLater;
    default:
        return ScrollingFollow(msg, wParam);
    }
}

LRESULT CSkinTreeView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_PUSHCOLORS)
        return PushColors();
    return CSkinScrollControl::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeTreeViewSkinner(int type, CSkinWindow* owner) { return new CSkinTreeView(owner, type); }
