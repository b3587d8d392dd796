#include "CheckButtonBase.h"

#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

bool IsPushKind(DWORD style)
{
    const DWORD kind = style & BS_TYPEMASK;
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_USERBUTTON;
}

CSkinObject* FindButtonObject(CSkinFile* file, const char* name)
{
    CSkinObject* o = file && name && name[0] ? file->FindObject(name) : nullptr;
    return o && o->GetType() == SKIN_BUTTON ? o : nullptr;
}

}  // namespace

// ---- layout --------------------------------------------------------------------------------------

void LayoutCheckMark(const RECT& content, SIZE mark, DWORD style, RECT* markRect, RECT* textRect)
{
    RECT m{};
    switch (style & BS_VCENTER) {
    case BS_BOTTOM:
        m.bottom = content.bottom;
        m.top = m.bottom - mark.cy;
        break;
    case BS_TOP:
        m.top = content.top;
        m.bottom = m.top + mark.cy;
        break;
    default:  // BS_VCENTER or none
        m.top = content.top + (content.bottom - content.top - mark.cy) / 2;
        m.bottom = m.top + mark.cy;
        break;
    }
    RECT t{content.left, content.top, content.right, content.bottom};
    if (style & BS_LEFTTEXT) {
        m.right = content.right;
        m.left = m.right - mark.cx;
        t.right = m.left;
    } else {
        m.left = content.left;
        m.right = m.left + mark.cx;
        t.left = m.right + 2;
    }
    if (markRect)
        *markRect = m;
    if (textRect)
        *textRect = t;
}

void AlignTextRect(RECT* rc, int width, int height, DWORD style)
{
    if (!rc)
        return;
    const int spareX = rc->right - rc->left - width;
    if (spareX > 0) {
        DWORD h = style & BS_CENTER;
        if (!h)
            h = IsPushKind(style) || (style & BS_PUSHLIKE) ? BS_CENTER : BS_LEFT;
        if (h == BS_CENTER) {
            rc->left += spareX / 2;
            rc->right = rc->left + width;
        } else if (h == BS_RIGHT) {
            rc->left = rc->right - width;
        } else {
            rc->right = rc->left + width;
        }
    }
    const int spareY = rc->bottom - rc->top - height;
    if (spareY > 0) {
        switch (style & BS_VCENTER) {
        case BS_TOP:
            rc->bottom = rc->top + height;
            break;
        case BS_BOTTOM:
            rc->top = rc->bottom - height;
            break;
        default:
            rc->top += spareY / 2;
            rc->bottom = rc->top + height;
            break;
        }
    }
}

UINT GetButtonTextFormat(DWORD style, DWORD exStyle)
{
    UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK | DT_EDITCONTROL : DT_CENTER;
    if (exStyle & WS_EX_LAYOUTRTL)
        format |= DT_RTLREADING;
    return format;
}

// ---- attach and the window region ----------------------------------------------------------------

CSkinCheckButtonBase::CSkinCheckButtonBase(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

BOOL CSkinCheckButtonBase::Attach(HWND hwnd)
{
    if ((StyleOf(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW)
        return FALSE;  // owner-drawn buttons keep the look their owner draws
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    if (m_pSkinObject)
        UpdateButtonRegion();
    return TRUE;
}

bool CSkinCheckButtonBase::HasButtonShape() const
{
    return m_nType == SKIN_BUTTON || (m_hWnd && (StyleOf(m_hWnd) & BS_PUSHLIKE));
}

CSkinObject* CSkinCheckButtonBase::FindPushLikeObject()
{
    if (!m_pSkinObject)
        return nullptr;
    if (m_nType == SKIN_BUTTON)
        return m_pSkinObject;
    CSkinFile* file = m_pSkinObject->GetOwner();
    if (!file)
        return nullptr;
    if (auto* check = dynamic_cast<CSkinCheckBoxObject*>(m_pSkinObject))
        if (CSkinObject* named = FindButtonObject(file, check->m_szExtraName))
            return named;
    if (CSkinObject* named = FindButtonObject(file, "PushLikeButton"))
        return named;
    return file->FindObjectByType(SKIN_BUTTON);
}

void CSkinCheckButtonBase::SetButtonRegion(CSkinObject* object, int width, int height)
{
    auto* button = dynamic_cast<CSkinButtonObject*>(object);
    HRGN region = nullptr;
    if (button && width > 0 && height > 0) {
        const RECT rc{0, 0, width, height};
        CSkinMemDC surface(nullptr, width, height);
        if (surface.IsValid()) {
            DrawSkinImagePart(button->GetOwner(), surface, rc, button->m_states[0].grid, GetSysColor(COLOR_BTNFACE),
                              1, false);
            HBITMAP picture = surface.DetachBitmap();
            region = CreateRegionFromBitmap(picture, m_crKey);
            DeleteObject(picture);
        }
        // A picture without see-through pixels needs no region.
        RECT box;
        if (region && GetRgnBox(region, &box) == SIMPLEREGION && EqualRect(&box, &rc)) {
            DeleteObject(region);
            region = nullptr;
        }
    }
    if (!region && !m_hRegion)
        return;
    SetWindowRgn(m_hWnd, region, TRUE);  // the window owns it now and frees the one it replaces
    m_hRegion = region;
}

void CSkinCheckButtonBase::UpdateButtonRegion()
{
    if (!m_hWnd)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    SetButtonRegion(HasButtonShape() ? FindPushLikeObject() : nullptr, rc.right, rc.bottom);
}

// ---- painting and notifying ----------------------------------------------------------------------------

void CSkinCheckButtonBase::Redraw()
{
    if (!m_hWnd)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    HDC dc = GetDC(m_hWnd);
    if (!dc)
        return;
    {
        CSkinMemDC surface(dc, rc.right, rc.bottom);
        if (surface.IsValid() && !IsRectEmpty(&rc)) {
            Draw(surface);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, surface, 0, 0, SRCCOPY);
        }
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CSkinCheckButtonBase::NotifyClicked()
{
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    if (!parent)
        return;
    const int id = GetDlgCtrlID(m_hWnd);
    ::PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- messages ------------------------------------------------------------------------------------------

bool CSkinCheckButtonBase::HasCapture() const { return m_hWnd && GetCapture() == m_hWnd; }

bool CSkinCheckButtonBase::IsInside(LPARAM lParam) const
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&rc, p) != FALSE;
}

LRESULT CSkinCheckButtonBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return OnFocusChange(msg, wParam, lParam);
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE: {
        HWND hwnd = m_hWnd;
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        if (IsWindow(hwnd) && m_hWnd == hwnd)
            Redraw();
        return result;
    }
    case WM_SIZE: {
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        UpdateButtonRegion();
        return result;
    }
    case WM_STYLECHANGED:
        return OnStyleChanged(wParam, lParam);
    case BM_GETCHECK:
        return CallSaved(msg, wParam, lParam);
    case BM_SETCHECK: {
        HWND hwnd = m_hWnd;
        const LRESULT result = CallSavedHidden(msg, wParam, lParam);
        if (IsWindow(hwnd) && m_hWnd == hwnd)
            Redraw();
        return result;
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE)
            break;
        HideTooltip();
        m_bPressed = TRUE;
        m_bSpaceDown = true;
        Redraw();
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_bSpaceDown)
            return OnSpaceUp();
        break;
    case WM_CHAR:
    case WM_DEADCHAR:
        if (HasCapture())
            CancelPress();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnButtonDown();
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && HasCapture())
            return OnMouseMoveHeld(lParam);
        break;
    case WM_LBUTTONUP:
        if (HasCapture())
            return OnButtonUp(lParam);
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse in the middle of a press.
        if (m_bPressed && !m_bSpaceDown) {
            m_bPressed = FALSE;
            Redraw();
        }
        break;
    default:
        break;
    }
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

LRESULT CSkinCheckButtonBase::OnFocusChange(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    if (msg == WM_KILLFOCUS && m_bSpaceDown) {
        // The key-up goes elsewhere now: the press ends without a click.
        m_bSpaceDown = false;
        m_bPressed = FALSE;
    }
    // The control keeps its own focus bookkeeping (the dialog's default button, its notices)
    // but cannot paint meanwhile; the skin repaints.
    CallSavedHidden(msg, wParam, lParam);
    if (IsWindow(hwnd) && m_hWnd == hwnd)
        Redraw();
    return 0;
}

LRESULT CSkinCheckButtonBase::OnStyleChanged(WPARAM wParam, LPARAM lParam)
{
    const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    if (int(wParam) == GWL_STYLE && change && m_nType != SKIN_BUTTON &&
        ((change->styleNew ^ change->styleOld) & BS_PUSHLIKE))
        UpdateButtonRegion();
    return CSkinControlBase::WindowProc(WM_STYLECHANGED, wParam, lParam);
}

LRESULT CSkinCheckButtonBase::OnButtonDown()
{
    HWND hwnd = m_hWnd;
    HideTooltip();
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    if (!IsWindow(hwnd) || m_hWnd != hwnd)
        return 0;
    SetCapture(hwnd);
    m_bSpaceDown = false;
    m_bPressed = TRUE;
    Redraw();
    return 0;
}

LRESULT CSkinCheckButtonBase::OnMouseMoveHeld(LPARAM lParam)
{
    const BOOL inside = IsInside(lParam) ? TRUE : FALSE;
    if (inside != m_bPressed) {
        m_bPressed = inside;
        Redraw();
    }
    return 0;
}

LRESULT CSkinCheckButtonBase::OnButtonUp(LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    const bool inside = IsInside(lParam);
    m_bPressed = FALSE;
    ReleaseCapture();
    if (inside)
        OnClick();
    if (!IsWindow(hwnd) || m_hWnd != hwnd)
        return 0;
    Redraw();
    if (inside)
        NotifyClicked();
    return 0;
}

LRESULT CSkinCheckButtonBase::OnSpaceUp()
{
    HWND hwnd = m_hWnd;
    m_bSpaceDown = false;
    m_bPressed = FALSE;
    OnClick();
    if (!IsWindow(hwnd) || m_hWnd != hwnd)
        return 0;
    Redraw();
    NotifyClicked();
    return 0;
}

void CSkinCheckButtonBase::CancelPress()
{
    m_bPressed = FALSE;
    ReleaseCapture();
    Redraw();
}
