#include "ButtonSkins.h"

#include <initializer_list>

#include "SkinDraw.h"
#include "SkinObjectTypes.h"

namespace {

RECT LessMargins(RECT rc, const SkinNineGrid& grid)
{
    rc.left += grid.marginLeft;
    rc.top += grid.marginTop;
    rc.right -= grid.marginRight;
    rc.bottom -= grid.marginBottom;
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

// The first of the states whose record is not empty; the first one listed when all are.
template <typename IsSet>
int FirstSet(std::initializer_list<int> states, IsSet isSet)
{
    for (int s : states)
        if (isSet(s))
            return s;
    return *states.begin();
}

// A button's text measured in the DC's font, placed by the style inside `area` and drawn with
// the text style.
void DrawButtonText(HDC dc, const RECT& area, const char* text, const SkinTextStyle& look, DWORD style,
                    DWORD exStyle)
{
    if (!text[0])
        return;
    const UINT format = GetButtonTextFormat(style, exStyle);
    RECT calc = area;
    DrawTextExA(dc, const_cast<char*>(text), -1, &calc, format | DT_CALCRECT, nullptr);
    RECT rc = area;
    AlignTextRect(&rc, calc.right - calc.left, calc.bottom - calc.top, style);
    DrawSkinTextStyle(dc, look, rc, text, -1, format);
}

SIZE IconSize(HICON icon)
{
    SIZE size{32, 32};
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return size;
    BITMAP bm{};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm))
        size = SIZE{bm.bmWidth, bm.bmHeight};
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return size;
}

void DrawButtonIcon(HDC dc, HWND hwnd, RECT area, DWORD style)
{
    auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd, BM_GETIMAGE, IMAGE_ICON, 0));
    if (!icon)
        return;
    const SIZE size = IconSize(icon);
    AlignTextRect(&area, size.cx, size.cy, style);
    DrawIcon(dc, area.left, area.top, icon);
}

void DrawButtonBitmap(HDC dc, HWND hwnd, RECT area, DWORD style)
{
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return;
    AlignTextRect(&area, bm.bmWidth, bm.bmHeight, style);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, area.left, area.top, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The DC's font, background mode and text colour for the time of a paint.
class TextScope {
public:
    TextScope(HDC dc, HFONT font, COLORREF color)
        : m_dc(dc), m_oldFont(font ? SelectObject(dc, font) : nullptr), m_oldMode(SetBkMode(dc, TRANSPARENT)),
          m_oldColor(SetTextColor(dc, color))
    {
    }
    ~TextScope()
    {
        SetTextColor(m_dc, m_oldColor);
        SetBkMode(m_dc, m_oldMode);
        if (m_oldFont)
            SelectObject(m_dc, m_oldFont);
    }
    TextScope(const TextScope&) = delete;
    TextScope& operator=(const TextScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_oldFont;
    int m_oldMode;
    COLORREF m_oldColor;
};

}  // namespace

// ---- the push-button face (push buttons and push-like check boxes and radios) -----------------------

void CSkinCheckButtonBase::DrawPushButtonFace(HDC dc, const CSkinButtonObject& object, int state)
{
    const SkinGridState& look = object.m_states[state];
    const RECT rc = ClientRect(m_hWnd);
    DrawParentBackground(dc);
    DrawSkinImagePartTransparent(object.GetOwner(), dc, rc, look.grid, m_crKey, IsMirrored(m_hWnd));
    const DWORD style = StyleOf(m_hWnd);
    const RECT content = LessMargins(rc, look.grid);
    if (style & BS_ICON) {
        DrawButtonIcon(dc, m_hWnd, content, style);
        return;
    }
    if (style & BS_BITMAP) {
        DrawButtonBitmap(dc, m_hWnd, content, style);
        return;
    }
    char text[301] = {};
    GetWindowTextA(m_hWnd, text, sizeof text);
    TextScope scope(dc, GetControlFont(), object.m_font.color);
    DrawButtonText(dc, content, text, look.style, style, DWORD(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
}

// ---- push buttons ------------------------------------------------------------------------------------

CSkinButton::CSkinButton(CSkinWindow* owner, int type) : CSkinCheckButtonBase(owner, type) {}

BOOL CSkinButton::Attach(HWND hwnd)
{
    m_bDefault = (StyleOf(hwnd) & BS_DEFPUSHBUTTON) ? TRUE : FALSE;
    return CSkinCheckButtonBase::Attach(hwnd);
}

CSkinObject* CSkinButton::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinCheckButtonBase::SetSkinObject(object);
    UpdateButtonRegion();
    return previous;
}

int CSkinButton::ChooseState()
{
    auto* b = dynamic_cast<CSkinButtonObject*>(m_pSkinObject);
    if (!b || !m_hWnd)
        return SKINBTN_NORMAL;
    auto isSet = [b](int s) { return !b->m_states[s].grid.IsEmpty(); };
    if (!IsWindowEnabled(m_hWnd))
        return FirstSet({SKINBTN_DISABLED, SKINBTN_NORMAL}, isSet);
    const UINT state = UINT(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0));
    if ((state & BST_PUSHED) || m_bPressed)
        return FirstSet({SKINBTN_PRESSED, SKINBTN_NORMAL}, isSet);
    if (m_bHover && isSet(SKINBTN_HOT))
        return SKINBTN_HOT;
    if (state & BST_CHECKED)
        return FirstSet({SKINBTN_PRESSED, SKINBTN_NORMAL}, isSet);
    const bool focused = GetFocus() == m_hWnd;
    if (m_bDefault)
        return focused ? FirstSet({SKINBTN_FOCUSED, SKINBTN_DEFAULT, SKINBTN_NORMAL}, isSet)
                       : FirstSet({SKINBTN_DEFAULT, SKINBTN_NORMAL}, isSet);
    return focused ? FirstSet({SKINBTN_FOCUSED, SKINBTN_NORMAL}, isSet) : SKINBTN_NORMAL;
}

void CSkinButton::Draw(HDC dc)
{
    if (auto* b = dynamic_cast<CSkinButtonObject*>(m_pSkinObject))
        DrawPushButtonFace(dc, *b, ChooseState());
}

LRESULT CSkinButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT: {
        const LRESULT result = CallSavedHidden(msg, wParam, lParam);
        RepaintNow(TRUE);
        return result;
    }
    case WM_STYLECHANGED:
        if (int(wParam) == GWL_STYLE && lParam)
            m_bDefault = (reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew & BS_DEFPUSHBUTTON) ? TRUE : FALSE;
        break;
    default:
        break;
    }
    return CSkinCheckButtonBase::WindowProc(msg, wParam, lParam);
}

// ---- check boxes and radio buttons ----------------------------------------------------------------------

CSkinMarkButton::Look CSkinMarkButton::ChooseLook()
{
    auto* o = dynamic_cast<CSkinCheckBoxObject*>(m_pSkinObject);
    if (!o || !m_hWnd)
        return Look{SKINMARK_UNCHECKED, SKINMARK_UNCHECKED, SKINMARK_UNCHECKED};
    auto grid = [o](int s) { return !o->m_states[s].grid.IsEmpty(); };
    auto mark = [o](int s) { return !o->m_states[s].box.IsEmpty(); };
    const bool radio = m_nType == SKIN_RADIO;
    const UINT state = UINT(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0));
    const bool checked = (state & BST_CHECKED) != 0;  // an indeterminate box looks unchecked
    if (!IsWindowEnabled(m_hWnd)) {
        if (!checked)
            return Look{FirstSet({SKINMARK_DISABLED_UNCHECKED, SKINMARK_DISABLED, SKINMARK_UNCHECKED}, grid),
                        FirstSet({SKINMARK_DISABLED_UNCHECKED, SKINMARK_DISABLED, SKINMARK_UNCHECKED}, mark),
                        SKINMARK_DISABLED_UNCHECKED};
        if (radio)
            return Look{FirstSet({SKINMARK_DISABLED_CHECKED, SKINMARK_CHECKED}, grid),
                        FirstSet({SKINMARK_DISABLED_CHECKED, SKINMARK_CHECKED}, mark), SKINMARK_DISABLED_CHECKED};
        return Look{FirstSet({SKINMARK_DISABLED_CHECKED, SKINMARK_DISABLED, SKINMARK_UNCHECKED}, grid),
                    FirstSet({SKINMARK_DISABLED_CHECKED, SKINMARK_DISABLED, SKINMARK_CHECKED}, mark),
                    SKINMARK_DISABLED_CHECKED};
    }
    if (state & BST_PUSHED)
        return Look{FirstSet({SKINMARK_CHECKED, SKINMARK_UNCHECKED}, grid), SKINMARK_CHECKED, SKINMARK_CHECKED};
    // A check box held down already shows the checked look; focus counts as hover.
    const bool on = checked || (!radio && m_bPressed);
    const bool hot = GetFocus() == m_hWnd || m_bHover;
    if (!on)
        return hot ? Look{FirstSet({SKINMARK_HOT_UNCHECKED, SKINMARK_UNCHECKED}, grid),
                          FirstSet({SKINMARK_HOT_UNCHECKED, SKINMARK_UNCHECKED}, mark), SKINMARK_HOT_UNCHECKED}
                   : Look{SKINMARK_UNCHECKED, SKINMARK_UNCHECKED, SKINMARK_UNCHECKED};
    return hot ? Look{FirstSet({SKINMARK_HOT_CHECKED, SKINMARK_CHECKED, SKINMARK_UNCHECKED}, grid),
                      FirstSet({SKINMARK_HOT_CHECKED, SKINMARK_CHECKED}, mark), SKINMARK_HOT_CHECKED}
               : Look{FirstSet({SKINMARK_CHECKED, SKINMARK_UNCHECKED}, grid), SKINMARK_CHECKED, SKINMARK_CHECKED};
}

void CSkinMarkButton::Draw(HDC dc)
{
    auto* o = dynamic_cast<CSkinCheckBoxObject*>(m_pSkinObject);
    if (!o)
        return;
    if (StyleOf(m_hWnd) & BS_PUSHLIKE)
        DrawPushLike(dc);
    else
        DrawMarkAndText(dc, *o, ChooseLook());
}

void CSkinMarkButton::DrawPushLike(HDC dc)
{
    auto* b = dynamic_cast<CSkinButtonObject*>(FindPushLikeObject());
    if (!b)
        return;
    auto isSet = [b](int s) { return !b->m_states[s].grid.IsEmpty(); };
    const UINT state = UINT(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0));
    const bool checked = (state & BST_CHECKED) != 0;
    int look;
    if (!IsWindowEnabled(m_hWnd))
        look = checked ? FirstSet({SKINBTN_DEFAULT, SKINBTN_NORMAL}, isSet)
                       : FirstSet({SKINBTN_DISABLED, SKINBTN_NORMAL}, isSet);
    else if (!(state & BST_PUSHED) && !m_bPressed && !checked)
        look = m_bHover && isSet(SKINBTN_HOT) ? SKINBTN_HOT : SKINBTN_NORMAL;
    else
        look = FirstSet({SKINBTN_PRESSED, SKINBTN_NORMAL}, isSet);
    DrawPushButtonFace(dc, *b, look);
}

void CSkinMarkButton::DrawMarkAndText(HDC dc, const CSkinCheckBoxObject& o, const Look& look)
{
    const RECT rc = ClientRect(m_hWnd);
    const bool mirror = IsMirrored(m_hWnd);
    const SkinNineGrid& background = o.m_states[look.background].grid;
    if (o.m_nCheckValue) {  // see-through: the parent shows around the mark
        DrawParentBackground(dc);
        DrawSkinImagePartTransparent(o.GetOwner(), dc, rc, background, m_crKey, mirror);
    } else {
        DrawSkinImagePart(o.GetOwner(), dc, rc, background, GetSysColor(COLOR_BTNFACE), 1, mirror);
    }
    const RECT content = LessMargins(rc, background);
    const SkinImagePart& mark = o.m_states[look.mark].box;
    const SIZE markSize{mark.src.right - mark.src.left, mark.src.bottom - mark.src.top};
    const DWORD style = StyleOf(m_hWnd);
    RECT markRect, textRect;
    LayoutCheckMark(content, markSize, style, &markRect, &textRect);
    const SkinTextStyle& textLook = o.m_states[look.text].style;
    TextScope scope(dc, GetControlFont(), textLook.GetTextColor());
    if (!mark.IsEmpty())
        DrawSkinImageTransparent(o.GetOwner(), dc, markRect, mark, m_crKey, mirror);
    char text[201] = {};
    GetWindowTextA(m_hWnd, text, sizeof text);
    DrawButtonText(dc, textRect, text, textLook, style, DWORD(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
}

void CSkinCheckBox::OnClick()
{
    const DWORD kind = StyleOf(m_hWnd) & BS_TYPEMASK;
    const WPARAM now = WPARAM(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0));
    if (kind == BS_AUTOCHECKBOX)
        ::SendMessageA(m_hWnd, BM_SETCHECK, now == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
    else if (kind == BS_AUTO3STATE)
        ::SendMessageA(m_hWnd, BM_SETCHECK, (now + 1) % 3, 0);
}

void CSkinRadio::OnClick()
{
    if ((StyleOf(m_hWnd) & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
        return;
    // The group starts at the nearest window with WS_GROUP at or before this one (the first
    // sibling when there is none) and ends before the next one.
    HWND first = nullptr;
    for (HWND h = m_hWnd; h && !first; h = GetWindow(h, GW_HWNDPREV))
        if (StyleOf(h) & WS_GROUP)
            first = h;
    if (!first)
        first = GetWindow(m_hWnd, GW_HWNDFIRST);
    for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h != first && (StyleOf(h) & WS_GROUP))
            break;
        // Only radio buttons: a check box in the group keeps its state.
        if (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
            ::SendMessageA(h, BM_SETCHECK, h == m_hWnd ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// ---- makers -----------------------------------------------------------------------------------------------

CSkinWindow* MakeButtonSkinner(int type, CSkinWindow* owner) { return new CSkinButton(owner, type); }
CSkinWindow* MakeCheckBoxSkinner(int type, CSkinWindow* owner) { return new CSkinCheckBox(owner, type); }
CSkinWindow* MakeRadioSkinner(int type, CSkinWindow* owner) { return new CSkinRadio(owner, type); }
