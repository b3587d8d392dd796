// Tool bars: docked in a framework control bar (the bar's side turns the background) or
// floating on their own; buttons by state, texts beside or below the images, tips from the
// commands' strings.
#include <commctrl.h>

#include <cstring>

#include "CommCtlSkins.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"
#include "SkinTooltip.h"

using commctl::Side;

namespace {

enum ButtonLook { kNormal, kPressed, kHot, kDisabled };

// The classes of the framework's dockable control bars.
bool IsDockingBarClass(const char* name)
{
    return !std::strcmp(name, "AfxControlBar42s") || !std::strcmp(name, "AfxControlBar42sd") ||
           !std::strcmp(name, "AfxControlBar42su") || !std::strcmp(name, "AfxControlBar42sud");
}

CSkinToolBarObject* ToolObject(CSkinObject* o) { return dynamic_cast<CSkinToolBarObject*>(o); }

}  // namespace

Side CSkinToolBar::GetDockSide() const
{
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    char name[64] = {};
    if (!parent || !GetClassNameA(parent, name, sizeof name) || !IsDockingBarClass(name))
        return Side::Top;
    const DWORD style = DWORD(GetWindowLongA(parent, GWL_STYLE));
    if (style & commctl::kAlignLeft)
        return Side::Left;
    if (style & commctl::kAlignRight)
        return Side::Right;
    if (style & commctl::kAlignTop)
        return Side::Top;
    if (style & commctl::kAlignBottom)
        return Side::Bottom;
    return Side::Top;
}

void CSkinToolBar::SetName(const char* name)
{
    CSkinControlBase::SetName(name);
    // A tool bar that tips from the skin has no tips of its own.
    ChangeStyleBits(GWL_STYLE, 0, 0x10);
}

void CSkinToolBar::DrawBackground(HDC hdc, const RECT& rc)
{
    CSkinToolBarObject* o = ToolObject(m_pSkinObject);
    if (!o) {
        FillSolidRect(hdc, rc, GetSysColor(COLOR_BTNFACE));
        return;
    }
    const Side side = GetDockSide();
    if (side == Side::Left || side == Side::Right)
        commctl::DrawGridTurned(GetSkinFile(), hdc, rc, o->m_background, o->m_crBack, 3, false, 0);
    else
        commctl::FillBackground(GetSkinFile(), hdc, rc, o->m_background, o->m_crBack);
}

void CSkinToolBar::DrawButton(HDC hdc, int index, bool hot, bool withText)
{
    CSkinToolBarObject* o = ToolObject(m_pSkinObject);
    TBBUTTON button{};
    if (!o || !::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&button)))
        return;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TB_GETIMAGELIST, 0, 0));
    if (!images || (button.fsStyle & TBSTYLE_SEP) || (button.fsState & TBSTATE_HIDDEN))
        return;
    RECT r{};
    if (!::SendMessageA(m_hWnd, TB_GETRECT, WPARAM(button.idCommand), reinterpret_cast<LPARAM>(&r)))
        return;
    int look = kNormal;
    if (button.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED))
        look = kPressed;
    else if ((button.fsState & TBSTATE_INDETERMINATE) || !(button.fsState & TBSTATE_ENABLED))
        look = kDisabled;
    else if (hot)
        look = kHot;
    DrawSkinImagePartTransparent(GetSkinFile(), hdc, r, o->m_grids[look], GetKeyColor(), false);

    int iconW = 0, iconH = 0;
    ImageList_GetIconSize(images, &iconW, &iconH);
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    const bool list = (style & TBSTYLE_LIST) != 0;
    const std::string text = withText ? commctl::ToolButtonText(m_hWnd, button.idCommand) : std::string();
    const int w = r.right - r.left, h = r.bottom - r.top;
    int x = r.left + (w - iconW) / 2, y = r.top + (h - iconH) / 2;
    if (withText) {
        if (list) {
            x = r.left + 3;
        } else {
            y = r.top + 3;
        }
    }
    if (button.iBitmap >= 0) {
        HIMAGELIST from = images;
        if (look == kDisabled) {
            from = reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TB_GETDISABLEDIMAGELIST, 0, 0));
        } else if (look == kHot) {
            if (HIMAGELIST hotList = reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TB_GETHOTIMAGELIST, 0, 0)))
                from = hotList;
        }
        if (from) {
            ImageList_Draw(from, button.iBitmap, hdc, x, y, ILD_TRANSPARENT);
        } else if (HICON icon = ImageList_GetIcon(images, button.iBitmap, ILD_TRANSPARENT)) {
            DrawStateA(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, iconW, iconH,
                       DST_ICON | DSS_DISABLED);
            DestroyIcon(icon);
        }
    }
    if (text.empty())
        return;
    SetTextColor(hdc, look == kDisabled ? GetSysColor(COLOR_GRAYTEXT) : o->m_font.color);
    if (list) {
        RECT tr{x + iconW + 3, r.top, r.right, r.bottom};
        DrawTextA(hdc, text.c_str(), int(text.size()), &tr, DT_VCENTER | DT_SINGLELINE);
    } else {
        RECT tr{r.left, y + iconH, r.right, r.bottom};
        DrawTextA(hdc, text.c_str(), int(text.size()), &tr, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    }
}

void CSkinToolBar::Draw(HDC hdc)
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    DrawBackground(hdc, client);
    const int count = int(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    bool anyText = false;
    for (int i = 0; i < count && !anyText; ++i) {
        TBBUTTON b{};
        if (::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&b)))
            anyText = ::SendMessageA(m_hWnd, TB_GETBUTTONTEXTA, WPARAM(b.idCommand), 0) > 0;
    }
    HGDIOBJ oldFont = SelectObject(hdc, GetControlFont());
    SetBkMode(hdc, TRANSPARENT);
    const int hot = int(::SendMessageA(m_hWnd, TB_GETHOTITEM, 0, 0));
    for (int i = 0; i < count; ++i)
        DrawButton(hdc, i, false, anyText);
    if (hot >= 0 && hot < count)
        DrawButton(hdc, hot, true, anyText);
    SelectObject(hdc, oldFont);
}

void CSkinToolBar::OnPaint()
{
    ValidateRect(m_hWnd, nullptr);
    CallSaved(WM_PAINT, 0, 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (IsRectEmpty(&client))
        return;
    HDC dc = GetDC(m_hWnd);
    if (!dc)
        return;
    {
        CSkinMemDC surface(dc, client.right, client.bottom);
        if (surface.IsValid()) {
            Draw(surface);
            BitBlt(dc, 0, 0, client.right, client.bottom, surface, 0, 0, SRCCOPY);
        }
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CSkinToolBar::PaintNonClient()
{
    HDC dc = GetWindowDC();
    if (!dc)
        return;
    RECT bounds;
    GetWindowBounds(&bounds);
    RECT client;
    GetClientRect(m_hWnd, &client);
    POINT origin{0, 0};
    ClientToScreen(m_hWnd, &origin);
    ScreenToWindow(&origin);
    ExcludeClipRect(dc, origin.x, origin.y, origin.x + client.right, origin.y + client.bottom);
    DrawBackground(dc, bounds);
    ReleaseDC(dc);
}

int CSkinToolBar::HitButton(POINT clientPoint) const
{
    return int(::SendMessageA(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&clientPoint)));
}

void CSkinToolBar::OnMouseMove(LPARAM lParam)
{
    const int hit = HitButton(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    ISkinElementTooltip* tip = GetSkinElementTooltip();
    if (hit < 0 || m_strName.empty()) {
        m_nTipButton = -1;
        HideTooltip();
        return;
    }
    if (hit == m_nTipButton || !tip)
        return;
    m_nTipButton = hit;
    tip->SetOwner(this);
    tip->SetSkinObject(FindTooltipObject());
    tip->ShowDelayed("TB");
}

std::string CSkinToolBar::GetTooltipText()
{
    POINT p;
    if (!m_hWnd || !GetCursorPos(&p))
        return std::string();
    ScreenToClient(m_hWnd, &p);
    const int hit = HitButton(p);
    TBBUTTON button{};
    if (hit < 0 || !::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(hit), reinterpret_cast<LPARAM>(&button)))
        return std::string();
    auto* tip = dynamic_cast<CSkinTooltip*>(GetSkinElementTooltip());
    return tip ? tip->GetMarkupRenderer().GetResourceStringField(UINT(button.idCommand), 1) : std::string();
}

LRESULT CSkinToolBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCPAINT:
        CallSaved(msg, wParam, lParam);
        PaintNonClient();
        return 0;
    case WM_LBUTTONDOWN: {
        const LRESULT r = CSkinControlBase::WindowProc(msg, wParam, lParam);
        if (m_hWnd && HitButton(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) >= 0)
            RepaintNow(FALSE);
        return r;
    }
    case WM_MOUSEMOVE: {
        const LRESULT r = CSkinControlBase::WindowProc(msg, wParam, lParam);
        if (m_hWnd)
            OnMouseMove(lParam);
        return r;
    }
    case WM_MOUSELEAVE:
        m_nTipButton = -1;
        break;
    default:
        break;
    }
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeToolBarSkinner(int, CSkinWindow* owner) { return new CSkinToolBar(owner); }
CSkinWindow* MakeFloatingToolBarSkin() { return new CSkinToolBar(nullptr); }
