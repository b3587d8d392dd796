#include "EditSkin.h"

#include "SkinObjectTypes.h"

CSkinEdit::CSkinEdit(CSkinWindow* owner, int type) : CSkinScrollControl(owner, type) {}

HBRUSH CSkinEdit::OnParentCtlColor(UINT msg, HDC hdc)
{
    if (!ScrollObject() || !hdc)
        return nullptr;
    const bool readOnly = msg == WM_CTLCOLORSTATIC;
    const COLORREF back = readOnly ? ReadOnlyColor() : BackColor();
    SetBkColor(hdc, back);
    SetTextColor(hdc, TextColor());
    // Made from the object the control has now, so a new skin or a dialog's own look is
    // followed at the next paint.
    return readOnly ? m_readOnlyBrush.Get(back) : m_editBrush.Get(back);
}

// A rich edit reports its scrolling in a way of its own and is left to it.
CSkinScrollControl::Follow CSkinEdit::FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    if (GetObjectType() == SKIN_RICHEDIT)
        return CSkinScrollControl::FollowAfter(msg, wParam, lParam);
    switch (msg) {
    case WM_SETTEXT:
    case WM_CHAR:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    // What the program itself does to an edit's view (a log appended to, a line shown).
    case EM_REPLACESEL:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
        return Follow::BothLater;
    default:
        return ScrollingFollow(msg, wParam);
    }
}

CSkinWindow* MakeEditSkinner(int type, CSkinWindow* owner) { return new CSkinEdit(owner, type); }
