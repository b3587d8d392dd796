#include <commctrl.h>

#include <algorithm>

#include "CommCtlSkins.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

using commctl::Side;

namespace {

enum TabState { kNormal, kSelected, kHot, kDisabled };
constexpr int kIconGap = 4;

struct TabItem {
    char text[101] = {};
    int image = -1;
    DWORD state = 0;
};

TabItem ReadItem(HWND tab, int index)
{
    TabItem item;
    TCITEMA query{};
    query.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    query.dwStateMask = TCIS_BUTTONPRESSED | TCIS_HIGHLIGHTED;
    query.pszText = item.text;
    query.cchTextMax = int(sizeof item.text);
    if (::SendMessageA(tab, TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&query))) {
        item.image = query.iImage;
        item.state = query.dwState;
    }
    item.text[sizeof item.text - 1] = '\0';
    return item;
}

RECT ItemRect(HWND tab, int index)
{
    RECT r{};
    ::SendMessageA(tab, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

// The rectangle of the window's client area in the client coordinates of `to`.
RECT ClientIn(HWND hwnd, HWND to)
{
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, to, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

CSkinTabObject* CSkinTab::TabObject() const { return dynamic_cast<CSkinTabObject*>(m_pSkinObject); }

BOOL CSkinTab::Attach(HWND hwnd)
{
    if (GetWindowLongA(hwnd, GWL_STYLE) & TCS_OWNERDRAWFIXED)
        return FALSE;
    return CSkinControlBase::Attach(hwnd);
}

Side CSkinTab::GetSide() const
{
    const LONG style = m_hWnd ? GetWindowLongA(m_hWnd, GWL_STYLE) : 0;
    if (style & TCS_VERTICAL)
        return (style & TCS_RIGHT) && (style & TCS_MULTILINE) ? Side::Right : Side::Left;
    return (style & TCS_BOTTOM) ? Side::Bottom : Side::Top;
}

RECT CSkinTab::GetPageRect() const
{
    RECT page;
    GetClientRect(m_hWnd, &page);
    const int count = int(::SendMessageA(m_hWnd, TCM_GETITEMCOUNT, 0, 0));
    const Side side = GetSide();
    for (int i = 0; i < count; ++i) {
        const RECT r = ItemRect(m_hWnd, i);
        switch (side) {
        case Side::Top: page.top = std::max(page.top, r.bottom - 1); break;
        case Side::Bottom: page.bottom = std::min(page.bottom, r.top + 1); break;
        case Side::Left: page.left = std::max(page.left, r.right - 1); break;
        case Side::Right: page.right = std::min(page.right, r.left + 1); break;
        }
    }
    return page;
}

void CSkinTab::Draw(HDC hdc)
{
    CSkinTabObject* o = TabObject();
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!o) {
        FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
        return;
    }
    if (o->m_nTabValue)
        DrawParentBackground(hdc);
    else
        commctl::FillBackground(GetSkinFile(), hdc, client, o->m_background, GetSysColor(COLOR_BTNFACE));
    const RECT page = GetPageRect();
    if (!IsRectEmpty(&page) && !IsGridPartEmpty(o->m_page))
        DrawSkinImagePart(GetSkinFile(), hdc, page, o->m_page, GetSysColor(COLOR_BTNFACE), 0, false);
    HGDIOBJ oldFont = SelectObject(hdc, GetControlFont());
    SetBkMode(hdc, TRANSPARENT);
    const int count = int(::SendMessageA(m_hWnd, TCM_GETITEMCOUNT, 0, 0));
    const int current = int(::SendMessageA(m_hWnd, TCM_GETCURSEL, 0, 0));
    const Side side = GetSide();
    for (int i = 0; i < count; ++i)
        DrawTab(hdc, i, current, side);
    SelectObject(hdc, oldFont);
}

void CSkinTab::DrawTab(HDC hdc, int index, int current, Side side)
{
    CSkinTabObject* o = TabObject();
    const RECT r = ItemRect(m_hWnd, index);
    if (IsRectEmpty(&r))
        return;
    const TabItem item = ReadItem(m_hWnd, index);
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    int state = kNormal;
    UINT imageStyle = ILD_TRANSPARENT;
    if (!IsWindowEnabled(m_hWnd)) {
        state = kDisabled;
    } else if (index == current || ((style & TCS_BUTTONS) && (item.state & TCIS_BUTTONPRESSED))) {
        state = kSelected;
        imageStyle = 3;
    } else if (item.state & TCIS_HIGHLIGHTED) {
        state = kHot;
    }
    const SkinNineGrid& chosen = o->m_states[state].grid;
    const SkinNineGrid& grid = IsGridPartEmpty(chosen) ? o->m_states[kNormal].grid : chosen;
    const COLORREF key = GetKeyColor();
    switch (side) {
    case Side::Top: DrawSkinImagePartTransparent(GetSkinFile(), hdc, r, grid, key, false); break;
    case Side::Bottom: commctl::DrawGridTurned(GetSkinFile(), hdc, r, grid, key, 2, true, key); break;
    case Side::Left: commctl::DrawGridTurned(GetSkinFile(), hdc, r, grid, key, 3, true, key); break;
    case Side::Right: commctl::DrawGridTurned(GetSkinFile(), hdc, r, grid, key, 1, true, key); break;
    }

    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TCM_GETIMAGELIST, 0, 0));
    int iconW = 0, iconH = 0;
    if (images && item.image >= 0)
        ImageList_GetIconSize(images, &iconW, &iconH);
    const bool hasIcon = iconW > 0;
    const int gap = hasIcon ? kIconGap : 0;
    const int length = int(strlen(item.text));
    SIZE text{0, 0};
    GetTextExtentPoint32A(hdc, item.text, length, &text);
    SetTextColor(hdc, o->m_states[state].style.GetTextColor());
    const int w = r.right - r.left, h = r.bottom - r.top;

    if (side == Side::Top || side == Side::Bottom) {
        const int group = iconW + gap + text.cx;
        const int x = group <= w ? r.left + (w - group) / 2 : r.left;
        if (hasIcon)
            ImageList_Draw(images, item.image, hdc, x, r.top + (h - iconH) / 2, imageStyle);
        RECT tr{x + iconW + gap, r.top, group <= w ? x + group : r.right, r.bottom};
        DrawTextA(hdc, item.text, length, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        return;
    }
    // Side tabs: the icon at the tab's lower (left side) or upper (right side) end, the text
    // following it along the tab.
    const int iconX = r.left + (w - iconW) / 2;
    if (side == Side::Left) {
        if (hasIcon)
            ImageList_Draw(images, item.image, hdc, iconX, r.bottom - kIconGap - iconH, imageStyle);
        const int y = r.bottom - (hasIcon ? iconH + kIconGap : 0) - kIconGap - text.cy;
        TextOutA(hdc, r.left + (w - text.cx) / 2, y, item.text, length);
    } else {
        if (hasIcon)
            ImageList_Draw(images, item.image, hdc, iconX, r.top + kIconGap, imageStyle);
        const int y = r.top + (hasIcon ? iconH + kIconGap : 0) + kIconGap;
        TextOutA(hdc, r.left + (w - text.cx) / 2, y, item.text, length);
    }
}

void CSkinTab::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (dc && !IsRectEmpty(&client)) {
        CSkinMemDC surface(dc, client.right, client.bottom);
        if (surface.IsValid()) {
            Draw(surface);
            // Windows over the tab (the controls of its pages) are not painted over.
            HRGN clip = CreateRectRgnIndirect(&client);
            const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
            auto cut = [&](HWND other) {
                if (other == m_hWnd || !IsWindowVisible(other))
                    return;
                RECT wr;
                ::GetWindowRect(other, &wr);
                MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&wr), 2);
                HRGN piece = CreateRectRgnIndirect(&wr);
                CombineRgn(clip, clip, piece, RGN_DIFF);
                DeleteObject(piece);
            };
            if (style & WS_CLIPSIBLINGS)
                for (HWND s = GetWindow(GetParent(m_hWnd), GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT))
                    cut(s);
            if (style & WS_CLIPCHILDREN)
                for (HWND c = GetWindow(m_hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    cut(c);
            const int saved = SaveDC(dc);
            ExtSelectClipRgn(dc, clip, RGN_AND);
            BitBlt(dc, 0, 0, client.right, client.bottom, surface, 0, 0, SRCCOPY);
            RestoreDC(dc, saved);
            DeleteObject(clip);
        }
    }
    EndPaint(m_hWnd, &ps);
}

LRESULT CSkinTab::PaintChildBackground(HDC childDc, HWND child)
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!childDc || !IsWindow(child) || IsRectEmpty(&client))
        return 0;
    CSkinMemDC surface(childDc, client.right, client.bottom);
    if (!surface.IsValid())
        return 0;
    Draw(surface);
    const RECT under = ClientIn(child, m_hWnd);
    BitBlt(childDc, 0, 0, under.right - under.left, under.bottom - under.top, surface, under.left, under.top, SRCCOPY);
    return 1;
}

LRESULT CSkinTab::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_PAINTCHILDBACK)
        return PaintChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeTabSkinner(int, CSkinWindow* owner) { return new CSkinTab(owner); }
