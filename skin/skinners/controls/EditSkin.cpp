#include "EditSkin.h"

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

CSkinWindow* MakeEditSkinner(int type, CSkinWindow* owner) { return new CSkinEdit(owner, type); }
