// The rich edit skinner: the skin's background colour pushed into the control.
#include "RichEditSkin.h"

#include <richedit.h>

CSkinRichEdit::CSkinRichEdit(CSkinWindow* owner, int type) : CSkinEdit(owner, type) {}

void CSkinRichEdit::PushBackground()
{
    if (!m_hWnd || !ScrollObject())
        return;
    const COLORREF previous = COLORREF(CallSaved(EM_SETBKGNDCOLOR, 0, LPARAM(BackColor())));
    if (!m_bPushed) {
        // Compared at once, while the system colour is the one the control answered with.
        m_crOwnBack = previous;
        m_bOwnSystem = previous == GetSysColor(COLOR_WINDOW);
        m_bPushed = true;
    }
}

BOOL CSkinRichEdit::Attach(HWND hwnd)
{
    if (!CSkinEdit::Attach(hwnd))
        return FALSE;
    PushBackground();
    return TRUE;
}

CSkinObject* CSkinRichEdit::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinEdit::SetSkinObject(object);
    PushBackground();
    return previous;
}

// A control that showed the system's window colour goes back to following it.
void CSkinRichEdit::Detach()
{
    if (m_hWnd && m_bPushed)
        CallSaved(EM_SETBKGNDCOLOR, m_bOwnSystem ? 1 : 0, LPARAM(m_crOwnBack));
    m_bPushed = false;
    CSkinEdit::Detach();
}

CSkinWindow* MakeRichEditSkinner(int type, CSkinWindow* owner) { return new CSkinRichEdit(owner, type); }
