#include "ComboSkin.h"

#include <string>

#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

// The focused item's colours are the skin's highlight colours (the system colours the engine
// answers from the skin); the record's own pair is the disabled look.
COLORREF SelectionBack() { return GetSysColor(COLOR_HIGHLIGHT); }
COLORREF SelectionText() { return GetSysColor(COLOR_HIGHLIGHTTEXT); }

}  // namespace

CSkinComboBox::CSkinComboBox(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

CSkinComboBox::~CSkinComboBox() { DeleteBrushes(); }

CSkinComboBoxObject* CSkinComboBox::ComboObject() const { return dynamic_cast<CSkinComboBoxObject*>(m_pSkinObject); }

BOOL CSkinComboBox::Attach(HWND hwnd)
{
    const DWORD style = StyleOf(hwnd);
    if ((style & CBS_OWNERDRAWVARIABLE) || (style & 3) == CBS_SIMPLE)
        return FALSE;
    m_bOwnerDraw = (style & CBS_OWNERDRAWFIXED) ? TRUE : FALSE;
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    SkinDropDownList();
    return TRUE;
}

HWND CSkinComboBox::FindDropDownList() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(m_hWnd, &info) ? info.hwndList : nullptr;
}

void CSkinComboBox::SkinDropDownList()
{
    CSkinManager& manager = CSkinManager::Instance();
    CSkinFile* file = GetSkinFile();
    CSkinObject* look = file ? file->FindObjectByType(SKIN_LISTBOX) : nullptr;
    HWND list = look ? FindDropDownList() : nullptr;
    if (!list || manager.FindSkinWindow(list))
        return;
    if (manager.CreateControlSkin(list, look->GetName(), nullptr))
        m_hSkinnedList = list;
}

void CSkinComboBox::Detach()
{
    HWND list = m_hSkinnedList;
    m_hSkinnedList = nullptr;
    if (list && IsWindow(list))
        CSkinManager::Instance().RemoveSkin(list, FALSE);
    CSkinControlBase::Detach();
}

void CSkinComboBox::DeleteBrushes()
{
    if (m_hNormalBrush)
        DeleteObject(m_hNormalBrush);
    if (m_hDisabledBrush)
        DeleteObject(m_hDisabledBrush);
    m_hNormalBrush = m_hDisabledBrush = nullptr;
}

void CSkinComboBox::UpdateBrushes()
{
    // Made again whenever the object's colours differ from the brushes', so that a new skin or
    // a dialog's own look (which may replace the object given) is followed without a repaint
    // in the old colours.
    CSkinComboBoxObject* o = ComboObject();
    if (!o) {
        DeleteBrushes();
        return;
    }
    if (m_hNormalBrush && m_crNormalBrush == o->m_crBack && m_crDisabledBrush == o->m_crColor1)
        return;
    DeleteBrushes();
    m_hNormalBrush = CreateSolidBrush(o->m_crBack);
    m_hDisabledBrush = CreateSolidBrush(o->m_crColor1);
    m_crNormalBrush = o->m_crBack;
    m_crDisabledBrush = o->m_crColor1;
}

RECT CSkinComboBox::GetButtonRect() const
{
    const RECT r = ClientRect(m_hWnd);
    CSkinComboBoxObject* o = ComboObject();
    const SkinNineGrid empty{};
    const SkinNineGrid& frame = o ? o->m_background : empty;
    return RECT{r.right - GetSystemMetrics(SM_CXVSCROLL), r.top + frame.marginTop, r.right - frame.marginRight,
                r.bottom - frame.marginBottom};
}

// ---- painting ---------------------------------------------------------------------------------------

void CSkinComboBox::DrawButton(HDC dc, const CSkinComboBoxObject& o, const RECT& button)
{
    auto pick = [&o](int preferred) { return o.m_buttons[preferred].IsEmpty() ? 0 : preferred; };
    int look = 0;  // the records: normal, pressed, hot, disabled
    if (!IsWindowEnabled(m_hWnd))
        look = pick(3);
    else if (m_nButtonState == BUTTON_HOT)
        look = pick(2);
    else if (m_nButtonState == BUTTON_PRESSED)
        look = pick(1);
    DrawSkinImagePartTransparent(o.GetOwner(), dc, button, o.m_buttons[look], m_crKey, IsMirrored(m_hWnd));
}

void CSkinComboBox::DrawCurrentItem(HDC dc, const CSkinComboBoxObject& o, const RECT& area)
{
    const bool enabled = IsWindowEnabled(m_hWnd) != FALSE;
    const bool focused = GetFocus() == m_hWnd;
    if (!enabled)
        FillSolidRect(dc, area, o.m_crColor1);
    else if (focused)
        FillSolidRect(dc, area, SelectionBack());
    const int item = int(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0));
    if (item < 0)
        return;
    const int length = int(::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, WPARAM(item), 0));
    if (length <= 0)
        return;  // no text (or an error answer): nothing to read into
    std::string text(size_t(length) + 1, '\0');
    ::SendMessageA(m_hWnd, CB_GETLBTEXT, WPARAM(item), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::char_traits<char>::length(text.c_str()));
    HFONT font = GetControlFont();
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF color = !enabled ? o.m_crColor2 : focused ? SelectionText() : o.m_font.color;
    const COLORREF oldColor = SetTextColor(dc, color);
    RECT rc = area;
    DrawTextA(dc, text.c_str(), int(text.size()), &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
}

void CSkinComboBox::Draw(HDC dc)
{
    CSkinComboBoxObject* o = ComboObject();
    if (!o || !m_hWnd)
        return;
    const RECT r = ClientRect(m_hWnd);
    const SkinNineGrid& frame = o->m_background;
    const RECT button = GetButtonRect();
    DrawSkinImageFrame(o->GetOwner(), dc, r, frame, o->m_crBack, 1, IsMirrored(m_hWnd));
    const RECT inner{r.left + frame.marginLeft, r.top + frame.marginTop, r.right - frame.marginRight,
                     r.bottom - frame.marginBottom};
    UpdateBrushes();
    if (HBRUSH brush = IsWindowEnabled(m_hWnd) ? m_hNormalBrush : m_hDisabledBrush)
        FillRect(dc, &inner, brush);
    const RECT text{r.left + frame.marginLeft + 1, r.top + frame.marginTop + 1, button.left - 2,
                    r.bottom - frame.marginBottom - 1};
    if (text.right > text.left && text.bottom > text.top)
        DrawCurrentItem(dc, *o, text);
    DrawButton(dc, *o, button);
}

void CSkinComboBox::PaintOwnerDrawn()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    CSkinComboBoxObject* o = ComboObject();
    const RECT r = ClientRect(m_hWnd);
    if (dc && o && !IsRectEmpty(&r)) {
        CSkinMemDC face(dc, r.right, r.bottom), printed(dc, r.right, r.bottom);
        if (face.IsValid() && printed.IsValid()) {
            // The control's own drawing of its item, framed by the skin.
            ::SendMessageA(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.GetSafeHdc()), PRF_CLIENT);
            DrawSkinImagePart(o->GetOwner(), face, r, o->m_background, o->m_crBack, 1, IsMirrored(m_hWnd));
            DrawButton(face, *o, GetButtonRect());
            const int w = r.right - GetSystemMetrics(SM_CXVSCROLL) - 4, h = r.bottom - 4;
            if (w > 0 && h > 0)
                BitBlt(face, 2, 2, w, h, printed, 2, 2, SRCCOPY);
            BitBlt(dc, 0, 0, r.right, r.bottom, face, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &ps);
}

// ---- messages -----------------------------------------------------------------------------------------

void CSkinComboBox::SetButtonState(int state)
{
    if (state == m_nButtonState)
        return;
    m_nButtonState = state;
    RepaintNow(FALSE);
}

LRESULT CSkinComboBox::OnEditColors(UINT msg, WPARAM wParam, LPARAM lParam, bool disabledLook)
{
    CSkinComboBoxObject* o = ComboObject();
    if (!o)
        return CallSaved(msg, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    UpdateBrushes();
    SetBkColor(dc, disabledLook ? o->m_crColor1 : o->m_crBack);
    SetTextColor(dc, disabledLook ? o->m_crColor2 : o->m_crText);
    return reinterpret_cast<LRESULT>(disabledLook ? m_hDisabledBrush : m_hNormalBrush);
}

LRESULT CSkinComboBox::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CSkinControlBase::WindowProc(WM_MOUSEMOVE, wParam, lParam);
    if (!m_hWnd || m_nButtonState == BUTTON_PRESSED)
        return result;  // a held button stays pressed until it is let go
    const RECT r = ClientRect(m_hWnd);
    CSkinComboBoxObject* o = ComboObject();
    const SkinNineGrid empty{};
    const SkinNineGrid& frame = o ? o->m_background : empty;
    const RECT hotZone{r.right - 16, r.top + frame.marginTop, r.right - frame.marginRight, r.bottom - frame.marginBottom};
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (PtInRect(&hotZone, p))
        SetButtonState(BUTTON_HOT);
    return result;
}

void CSkinComboBox::OnMouseLeave()
{
    // While the open list holds the mouse no leave comes: the press shows until the release.
    m_nButtonState = BUTTON_NORMAL;
    CSkinControlBase::OnMouseLeave();
}

LRESULT CSkinComboBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        if (!m_bOwnerDraw)
            break;
        PaintOwnerDrawn();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_COMMAND:
    case CB_SELECTSTRING:
    case CB_SETCURSEL: {
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        RepaintNow(TRUE);
        return result;
    }
    case WM_CTLCOLOREDIT:
        return OnEditColors(msg, wParam, lParam, !IsWindowEnabled(m_hWnd));
    case WM_CTLCOLORSTATIC:  // a disabled or read-only edit field
        return OnEditColors(msg, wParam, lParam, true);
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN: {
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        // A press in the open list (the combo box holds the mouse) is not a press of the button.
        const RECT r = ClientRect(m_hWnd);
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (m_hWnd && PtInRect(&r, p))
            SetButtonState(BUTTON_PRESSED);
        return result;
    }
    case WM_LBUTTONUP: {
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        if (m_hWnd)
            SetButtonState(BUTTON_NORMAL);
        return result;
    }
    default:
        break;
    }
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeComboBoxSkinner(int type, CSkinWindow* owner) { return new CSkinComboBox(owner, type); }
