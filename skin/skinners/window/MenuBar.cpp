#include "MenuBar.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "FrameWndSkin.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinManager.h"
#include "SkinMenuModel.h"
#include "SkinMonitors.h"
#include "SkinObjectTypes.h"
#include "SkinPopupMenu.h"

namespace {

constexpr UINT kItemText = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int kMdiLead = 20, kPlainLead = 4, kRowGap = 2, kMdiButtonsWidth = 48;

CSkinCaptionTextObject* AsBarObject(CSkinObject* o) { return dynamic_cast<CSkinCaptionTextObject*>(o); }

}  // namespace

// ---- items ------------------------------------------------------------------------------------

CSkinMenuBarItem::CSkinMenuBarItem(CSkinWindow* host, CSkinObject* object) : CSkinArea(0, 0, 0, 0, host, object) {}

CSkinMenuBarItem::~CSkinMenuBarItem() { ClosePopup(); }

bool CSkinMenuBarItem::IsEnabled() const
{
    const UINT state = GetMenuState(m_hOwnerMenu, UINT(m_nPos), MF_BYPOSITION);
    return state != UINT(-1) && !(state & (MF_DISABLED | MF_GRAYED));
}

void CSkinMenuBarItem::Draw(HDC hdc)
{
    CSkinCaptionTextObject* o = AsBarObject(m_pSkinObject);
    if (!o)
        return;
    const RECT rc = ShownRect();
    RECT text = rc;
    COLORREF color = o->m_crNormalText;
    const bool enabled = IsEnabled();
    if (!enabled) {
        color = o->m_crDisabledText;
    } else if (m_nState == STATE_HOT || m_nState == STATE_OPEN) {
        const CSkinCaptionTextObject::ItemLook& look = m_nState == STATE_HOT ? o->m_hotItem : o->m_openItem;
        const bool mirror = m_pHost && IsLayoutRTL(m_pHost->GetHwnd());
        DrawSkinImagePart(o->GetOwner(), hdc, rc, look.grid, look.fill, 1, mirror);
        text = RECT{rc.left + look.textMargins.left, rc.top + look.textMargins.top, rc.right - look.textMargins.right,
                    rc.bottom - look.textMargins.bottom};
        color = look.textColor;
    }
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, color);
    DrawTextA(hdc, m_strText.c_str(), -1, &text, kItemText);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

bool CSkinMenuBarItem::OpenPopup()
{
    HWND owner = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (!m_hSubMenu || !owner)
        return true;
    if (!m_life.Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_hSubMenu), m_nPos))
        return false;
    if (!IsWindow(owner) || !IsMenu(m_hSubMenu))
        return true;
    auto popup = std::make_unique<CSkinPopupMenu>(owner, nullptr, CSkinPopupMenu::MODE_MENUBAR);
    popup->SetMenuParams(m_pHost->GetMenuParams());
    if (!popup->CreatePopupWindow())
        return true;
    popup->LoadMenu(m_hSubMenu);
    if (CSkinFile* file = CSkinManager::Instance().GetSkinFile())
        if (CSkinObject* menuObject = file->FindObjectByType(SKIN_POPUPMENU))
            popup->SetSkinObject(menuObject);
    const SIZE size = popup->GetPopupSize();
    RECT wr;
    ::GetWindowRect(owner, &wr);
    RECT item = ShownRect();
    OffsetRect(&item, wr.left, wr.top);
    RECT work = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    if (GetMonitorRectOfRect(&item, &work, TRUE))
        FitRectIntoRect(&work, &item);
    RECT r;
    if (IsLayoutRTL(owner)) {
        r = RECT{item.right - size.cx, item.bottom, item.right, item.bottom + size.cy};
    } else {
        r = RECT{item.left, item.bottom, item.left + size.cx, item.bottom + size.cy};
        if (r.right > work.right)
            r = RECT{item.right - size.cx, r.top, item.right, r.bottom};
        if (r.bottom > work.bottom)
            r = RECT{r.left, item.top - size.cy, r.right, item.top};  // opens upward
        if (r.top < work.top)
            r = RECT{r.left, work.top + 1, r.right, std::min<LONG>(work.top + 1 + size.cy, work.bottom - 1)};
        if (r.left < work.left)
            r = RECT{work.left + 1, r.top, std::min<LONG>(work.left + 1 + size.cx, work.right - 1), r.bottom};
    }
    popup->MoveWindow(&r, FALSE);
    m_pPopup = std::move(popup);
    ::ShowWindow(m_pPopup->GetHwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(m_pPopup->GetHwnd());
    m_nState = STATE_OPEN;
    return true;
}

void CSkinMenuBarItem::ClosePopup()
{
    if (m_pPopup) {
        std::unique_ptr<CSkinPopupMenu> popup = std::move(m_pPopup);
        popup->ClearTracking();
        popup->DestroyPopup();
    }
    m_nState = STATE_NORMAL;
}

HWND CSkinMenuBarItem::GetPopupKeyWindow() const
{
    if (!m_pPopup || !m_pPopup->GetHwnd())
        return nullptr;
    return m_pPopup->GetInnermost()->GetHwnd();
}

// ---- MDI child buttons ------------------------------------------------------------------------

void CSkinMenuBarButton::SetImages(const SkinImagePart* normal, const SkinImagePart* hot,
                                   const SkinImagePart* pressed, CSkinFile* file)
{
    m_pImages[0] = normal;
    m_pImages[1] = hot;
    m_pImages[2] = pressed;
    m_pFile = file;
}

void CSkinMenuBarButton::Draw(HDC hdc, HWND host)
{
    const SkinImagePart* image = m_pImages[std::clamp(m_nState, 0, 2)];
    if (!image || image->IsEmpty())
        image = m_pImages[0];
    RECT shown = m_rc;
    CSkinArea::MirrorRectInWindow(host, shown);
    if (image)
        DrawSkinImage(m_pFile, hdc, shown, *image, GetSysColor(COLOR_BTNFACE), 1, CSkinArea::IsLayoutRTL(host));
}

// ---- the bar ----------------------------------------------------------------------------------

CSkinMenuBar::CSkinMenuBar(int left, int top, int right, int bottom, CSkinFrameWnd* host, CSkinObject* object)
    : CSkinArea(left, top, right, bottom, host, object), m_pFrame(host)
{
}

CSkinMenuBar::~CSkinMenuBar()
{
    StopTimer();
    m_items.clear();
}

CSkinCaptionTextObject* CSkinMenuBar::BarObject() const { return AsBarObject(m_pSkinObject); }

CSkinObject* CSkinMenuBar::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinArea::SetSkinObject(object);
    for (auto& item : m_items)
        item->SetSkinObject(object);
    CSkinCaptionTextObject* o = AsBarObject(object);
    for (int b = 0; b < BUTTON_COUNT; ++b) {
        if (o)
            m_buttons[b].SetImages(&o->m_buttons[b][0], &o->m_buttons[b][1], &o->m_buttons[b][2], o->GetOwner());
        else
            m_buttons[b].SetImages(nullptr, nullptr, nullptr, nullptr);
    }
    return previous;
}

CSkinMenuBarItem* CSkinMenuBar::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_items[size_t(index)].get() : nullptr;
}

BOOL CSkinMenuBar::RebuildFromMenu(HMENU menu)
{
    if (m_pOpenItem) {
        CloseOpenPopup();
        ReturnKeys();
    }
    m_pHotItem = nullptr;
    StopTimer();
    m_items.clear();
    m_hMenu = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        std::string text = GetMenuItemText(menu, UINT(i), TRUE);
        if (text.empty())
            continue;  // separators, bitmaps and owner-drawn entries have no place in the bar
        auto item = std::make_unique<CSkinMenuBarItem>(m_pFrame, m_pSkinObject);
        item->m_chMnemonic = GetMnemonicChar(text.c_str());
        item->m_strText = std::move(text);
        item->m_hSubMenu = GetSubMenu(menu, i);
        item->m_nId = item->m_hSubMenu ? UINT(-1) : GetMenuItemID(menu, i);
        item->m_hOwnerMenu = menu;
        item->m_nPos = i;
        m_items.push_back(std::move(item));
    }
    return TRUE;
}

HMENU CSkinMenuBar::ReleaseMenu()
{
    HMENU menu = m_hMenu;
    RebuildFromMenu(nullptr);
    return menu;
}

// ---- measuring and layout -----------------------------------------------------------------------

HFONT CSkinMenuBar::CreateBarFont() const
{
    CSkinCaptionTextObject* o = BarObject();
    if (!o)
        return nullptr;
    LOGFONTA lf = o->m_menuFont.ToLogFont();
    if (!lf.lfFaceName[0])
        lstrcpynA(lf.lfFaceName, "Arial", sizeof lf.lfFaceName);
    return CreateFontIndirectA(&lf);
}

SIZE CSkinMenuBar::MeasureItem(HDC hdc, const CSkinMenuBarItem& item) const
{
    CSkinCaptionTextObject* o = BarObject();
    RECT text = {0, 0, 0, 0};
    DrawTextA(hdc, item.m_strText.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
    const RECT& h = o->m_hotItem.textMargins;
    const RECT& p = o->m_openItem.textMargins;
    return SIZE{SkinWidth(text) + std::max(h.left, p.left) + std::max(h.right, p.right),
                SkinHeight(text) + std::max(h.top, p.top) + std::max(h.bottom, p.bottom)};
}

CSkinMenuBar::Placement CSkinMenuBar::Place(const RECT& inner, bool mdiButtons) const
{
    Placement place;
    if (m_items.empty() || !BarObject())
        return place;
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateBarFont();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    std::vector<SIZE> sizes;
    for (const auto& item : m_items) {
        sizes.push_back(MeasureItem(dc, *item));
        place.rowHeight = std::max<int>(place.rowHeight, sizes.back().cy);
    }
    if (font) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
    const int rowStep = place.rowHeight + kRowGap;
    const LONG start = inner.left + (mdiButtons ? kMdiLead : kPlainLead);
    LONG x = start;
    int row = 1;
    for (const SIZE& s : sizes) {
        // A new row only after something was placed on this one: an item wider than the bar
        // gets a row of its own, not an empty row before it.
        if (SkinAdd(x, s.cx) > inner.right && x > (row == 1 ? start : inner.left)) {
            ++row;
            x = inner.left;
        }
        const LONG top = inner.top + (row - 1) * rowStep;
        place.items.push_back(RECT{x, top, SkinAdd(x, s.cx), top + rowStep});
        x = SkinAdd(x, s.cx);
    }
    if (mdiButtons && SkinAdd(x, kMdiButtonsWidth) > inner.right)
        ++row;
    place.rows = row;
    return place;
}

int CSkinMenuBar::CalcHeight(int width)
{
    CSkinCaptionTextObject* o = BarObject();
    if (m_items.empty() || !o)
        return 0;
    const RECT& m = o->m_barMargins;
    const RECT inner = {m.left, m.top, SkinSub(width, m.right), m.top};
    const Placement place = Place(inner, HasMdiButtons());
    return SkinAdd(SkinAdd((place.rowHeight + kRowGap) * place.rows, m.top), m.bottom);
}

void CSkinMenuBar::GetBarRect(RECT* rc)
{
    SetRectEmpty(rc);
    if (!m_pFrame || !m_pFrame->GetHwnd())
        return;
    RECT bounds;
    m_pFrame->GetWindowBounds(&bounds);
    m_pFrame->CalcFrameLayout(bounds.right, bounds.bottom);
    rc->left = m_pFrame->GetFramePart(3).right;
    rc->top = m_pFrame->GetFramePart(0).bottom;
    rc->right = std::max(rc->left, m_pFrame->GetFramePart(5).left);
    rc->bottom = SkinAdd(rc->top, CalcHeight(rc->right - rc->left));
    m_rc = *rc;
}

void CSkinMenuBar::LayoutItems()
{
    CSkinCaptionTextObject* o = BarObject();
    RECT bar;
    GetBarRect(&bar);
    if (m_items.empty() || !o)
        return;
    const RECT& m = o->m_barMargins;
    const RECT inner = {bar.left + m.left, bar.top + m.top, bar.right - m.right, bar.bottom - m.bottom};
    const bool mdi = HasMdiButtons();
    const Placement place = Place(inner, mdi);
    for (size_t i = 0; i < m_items.size() && i < place.items.size(); ++i)
        m_items[i]->SetRect(place.items[i]);
    if (mdi)
        LayoutButtons(inner, place.rowHeight);
}

void CSkinMenuBar::LayoutButtons(const RECT& inner, int rowHeight)
{
    const int pad = (rowHeight - 14) / 2;
    m_buttons[BUTTON_SYSMENU].m_rc = RECT{inner.left + 2, inner.top + pad, inner.left + 18, inner.top + pad + 16};
    const RECT close = {inner.right - 16, inner.bottom - pad - 16, inner.right, inner.bottom - pad};
    m_buttons[BUTTON_CLOSE].m_rc = close;
    m_buttons[BUTTON_RESTORE].m_rc = RECT{close.left - 18, close.top, close.left - 2, close.bottom};
    m_buttons[BUTTON_MINIMIZE].m_rc = RECT{close.left - 36, close.top, close.left - 20, close.bottom};
}

bool CSkinMenuBar::HasMdiButtons()
{
    BOOL maximised = FALSE;
    HWND child = m_pFrame ? m_pFrame->GetActiveMdiChild(&maximised) : nullptr;
    return child && maximised && (DWORD(::SendMessageA(child, WM_SKIN_ATTACHSTYLE, 0, 0)) & WS_SYSMENU);
}

// ---- drawing ------------------------------------------------------------------------------------

void CSkinMenuBar::Draw(HDC hdc)
{
    CSkinCaptionTextObject* o = BarObject();
    LayoutItems();
    if (m_items.empty() || !o)
        return;
    const bool mirror = m_pHost && IsLayoutRTL(m_pHost->GetHwnd());
    DrawSkinImagePart(o->GetOwner(), hdc, ShownRect(), o->m_barBackground, o->m_crBack, 1, mirror);
    HFONT font = CreateBarFont();
    HGDIOBJ old = font ? SelectObject(hdc, font) : nullptr;
    for (auto& item : m_items)
        item->Draw(hdc);
    if (font) {
        SelectObject(hdc, old);
        DeleteObject(font);
    }
    if (HasMdiButtons())
        for (CSkinMenuBarButton& b : m_buttons)
            b.Draw(hdc, m_pHost->GetHwnd());
}

void CSkinMenuBar::RedrawBar() { Redraw(); }

// ---- mouse --------------------------------------------------------------------------------------

int CSkinMenuBar::BarX(int x) const
{
    MirrorX(x);
    return x;
}

CSkinMenuBarItem* CSkinMenuBar::ItemAt(int x, int y) const
{
    const POINT pt{x, y};
    for (const auto& item : m_items) {
        RECT rc;
        item->GetElementRect(&rc);
        if (PtInRect(&rc, pt))
            return item->IsEnabled() ? item.get() : nullptr;
    }
    return nullptr;
}

int CSkinMenuBar::ButtonAt(int x, int y) const
{
    for (int b = 0; b < BUTTON_COUNT; ++b)
        if (PtInRect(&m_buttons[b].m_rc, POINT{x, y}))
            return b;
    return -1;
}

void CSkinMenuBar::OnLButtonDown(int x, int y)
{
    LayoutItems();
    x = BarX(x);
    if (CSkinMenuBarItem* item = ItemAt(x, y)) {
        ClickItem(item);
        return;
    }
    if (m_pOpenItem) {
        CloseOpenPopup();
        ReturnKeys();
        m_pHotItem = nullptr;
        StopTimer();
        RedrawBar();
    }
    if (!HasMdiButtons())
        return;
    const int b = ButtonAt(x, y);
    if (b == BUTTON_SYSMENU) {
        m_pFrame->ShowMdiChildSystemMenu();
    } else if (b >= 0) {
        m_buttons[b].m_nState = CSkinMenuBarButton::STATE_PRESSED;
        RedrawBar();
    }
}

void CSkinMenuBar::ClickItem(CSkinMenuBarItem* item)
{
    HWND host = m_pFrame->GetHwnd();
    if (item == m_pOpenItem) {
        // A click on the open item closes its menu and leaves the item under the mouse.
        CloseOpenPopup();
        ReturnKeys();
        item->m_nState = CSkinMenuBarItem::STATE_HOT;
        m_pHotItem = item;
        RedrawBar();
        StartTimer();
        return;
    }
    // The owner may change its menu (and so the items) or remove the skin in its answer; the
    // bar itself lives as long as the frame's skin, which outlasts this message.
    if (!m_pOpenItem) {
        const CSkinLifeline::Watch clicked = item->Observe();
        ::SendMessageA(host, WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu), 0);
        if (!clicked.Alive())
            return;
    }
    if (m_pHotItem && m_pHotItem != item)
        m_pHotItem->m_nState = CSkinMenuBarItem::STATE_NORMAL;
    if (!item->HasSubMenu()) {
        item->m_nState = CSkinMenuBarItem::STATE_NORMAL;
        CloseOpenPopup();
        ReturnKeys();
        m_pHotItem = nullptr;
        StopTimer();
        RedrawBar();
        ::PostMessageA(host, WM_COMMAND, item->m_nId, 0);
        return;
    }
    SwitchOpenItem(item);
}

void CSkinMenuBar::SwitchOpenItem(CSkinMenuBarItem* item)
{
    CloseOpenPopup();
    m_pHotItem = nullptr;
    StopTimer();
    item->m_nState = CSkinMenuBarItem::STATE_OPEN;
    m_pOpenItem = item;
    RedrawBar();
    TakeKeys();
    if (!item->OpenPopup())
        return;
    if (!item->m_pPopup && m_pOpenItem == item) {
        // The popup could not be made: the item does not stay open without one.
        item->m_nState = CSkinMenuBarItem::STATE_NORMAL;
        m_pOpenItem = nullptr;
        ReturnKeys();
        RedrawBar();
    }
}

void CSkinMenuBar::CloseOpenPopup()
{
    CSkinMenuBarItem* open = m_pOpenItem;
    m_pOpenItem = nullptr;
    if (!open)
        return;
    open->ClosePopup();
    if (HWND host = m_pFrame->GetHwnd())
        RedrawWindow(host, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CSkinMenuBar::OnLButtonUp(int x, int y)
{
    if (!HasMdiButtons())
        return;
    LayoutItems();
    x = BarX(x);
    const int b = ButtonAt(x, y);
    bool changed = false;
    for (int i = 0; i < BUTTON_COUNT; ++i)
        if (i != b && m_buttons[i].m_nState == CSkinMenuBarButton::STATE_PRESSED) {
            m_buttons[i].m_nState = CSkinMenuBarButton::STATE_NORMAL;
            changed = true;
        }
    if (b > BUTTON_SYSMENU) {
        m_buttons[b].m_nState = CSkinMenuBarButton::STATE_HOT;
        changed = true;
    }
    if (changed)
        RedrawBar();
    if (b == BUTTON_MINIMIZE)
        m_pFrame->MinimizeMdiChild();
    else if (b == BUTTON_RESTORE)
        m_pFrame->RestoreMdiChild();
    else if (b == BUTTON_CLOSE)
        m_pFrame->CloseMdiChild();
}

void CSkinMenuBar::OnMouseMove(int x, int y)
{
    LayoutItems();
    x = BarX(x);
    CSkinMenuBarItem* item = ItemAt(x, y);
    if (item && item != m_pOpenItem) {
        HotTrackItem(item);
        return;
    }
    if (item || m_pOpenItem)
        return;
    bool changed = false;
    if (m_pHotItem) {
        m_pHotItem->m_nState = CSkinMenuBarItem::STATE_NORMAL;
        m_pHotItem = nullptr;
        StopTimer();
        changed = true;
    }
    if (HasMdiButtons()) {
        const int b = ButtonAt(x, y);
        for (int i = 0; i < BUTTON_COUNT; ++i) {
            const int want = i == b ? CSkinMenuBarButton::STATE_HOT : CSkinMenuBarButton::STATE_NORMAL;
            if (m_buttons[i].m_nState != want && m_buttons[i].m_nState != CSkinMenuBarButton::STATE_PRESSED) {
                m_buttons[i].m_nState = want;
                changed = true;
            }
        }
        if (b >= 0)
            StartTimer();
    }
    if (changed)
        RedrawBar();
}

void CSkinMenuBar::HotTrackItem(CSkinMenuBarItem* item)
{
    if (!m_pOpenItem) {
        if (m_pHotItem == item)
            return;
        if (m_pHotItem)
            m_pHotItem->m_nState = CSkinMenuBarItem::STATE_NORMAL;
        StartTimer();
        ResetButtons();
        item->m_nState = CSkinMenuBarItem::STATE_HOT;
        m_pHotItem = item;
        RedrawBar();
        return;
    }
    // Another item's menu is open: the menu moves along with the mouse.
    if (!item->HasSubMenu()) {
        CloseOpenPopup();
        ReturnKeys();
        item->m_nState = CSkinMenuBarItem::STATE_HOT;
        m_pHotItem = item;
        StartTimer();
        RedrawBar();
        return;
    }
    SwitchOpenItem(item);
}

bool CSkinMenuBar::ResetButtons()
{
    bool changed = false;
    for (CSkinMenuBarButton& b : m_buttons)
        if (b.m_nState != CSkinMenuBarButton::STATE_NORMAL) {
            b.m_nState = CSkinMenuBarButton::STATE_NORMAL;
            changed = true;
        }
    return changed;
}

void CSkinMenuBar::StartTimer()
{
    if (HWND host = m_pFrame ? m_pFrame->GetHwnd() : nullptr)
        m_bTimer = SetTimer(host, GetTimerId(), kHoverInterval, nullptr) != 0;
}

void CSkinMenuBar::StopTimer()
{
    if (m_bTimer && m_pFrame && m_pFrame->GetHwnd())
        KillTimer(m_pFrame->GetHwnd(), GetTimerId());
    m_bTimer = false;
}

void CSkinMenuBar::OnHoverTimer()
{
    HWND host = m_pFrame->GetHwnd();
    POINT cursor;
    RECT wr;
    if (!host || !GetCursorPos(&cursor) || !::GetWindowRect(host, &wr))
        return;
    RECT bar;
    GetBarRect(&bar);
    const POINT pt{BarX(cursor.x - wr.left), cursor.y - wr.top};
    if (PtInRect(&bar, pt))
        return;
    ResetButtons();
    if (m_pHotItem)
        m_pHotItem->m_nState = CSkinMenuBarItem::STATE_NORMAL;
    m_pHotItem = nullptr;
    StopTimer();
    RedrawBar();
}

// ---- keys ---------------------------------------------------------------------------------------

LRESULT CSkinMenuBar::OnMenuKey(UINT key)
{
    if (key == 0xFFFFFFFFu) {
        // Alt alone: an open menu closes.
        if (m_pOpenItem) {
            CloseOpenPopup();
            ReturnKeys();
            RedrawBar();
        }
        return 1;
    }
    LayoutItems();
    const int count = GetItemCount();
    if (key == VK_LEFT || key == VK_RIGHT) {
        int index = -1;
        for (int i = 0; i < count; ++i)
            if (m_items[size_t(i)].get() == m_pOpenItem)
                index = i;
        if (index < 0)
            return 1;
        // The next menu that can open, once round at most: disabled items are passed over, and
        // so are commands, which an arrow key must not carry out.
        const int step = key == VK_RIGHT ? 1 : -1;
        for (int tries = 1; tries < count; ++tries) {
            CSkinMenuBarItem* next = m_items[size_t(((index + step * tries) % count + count) % count)].get();
            if (next->IsEnabled() && next->HasSubMenu()) {
                ClickItem(next);
                break;
            }
        }
        return 1;
    }
    const int upper = key < 256 ? std::toupper(int(key)) : 0;
    for (auto& item : m_items)
        if (upper && item->m_chMnemonic == upper) {
            if (!item->IsEnabled())
                return 0;
            if (item.get() != m_pOpenItem)
                ClickItem(item.get());
            return 1;
        }
    return 0;
}

void CSkinMenuBar::OnPopupLoopEnd()
{
    if (!m_pOpenItem)
        return;
    CloseOpenPopup();
    ReturnKeys();
    RedrawBar();
}

HWND CSkinMenuBar::GetPopupKeyWindow() const { return m_pOpenItem ? m_pOpenItem->GetPopupKeyWindow() : nullptr; }

void CSkinMenuBar::TakeKeys()
{
    HWND host = m_pFrame->GetHwnd();
    if (!host || m_hFocusBeforeMenu)
        return;
    HWND focus = GetFocus();
    m_hFocusBeforeMenu = focus ? focus : host;
    if (focus != host)
        SetFocus(host);
}

void CSkinMenuBar::ReturnKeys()
{
    HWND previous = m_hFocusBeforeMenu;
    m_hFocusBeforeMenu = nullptr;
    HWND host = m_pFrame->GetHwnd();
    if (previous && previous != host && IsWindow(previous) && GetFocus() == host)
        SetFocus(previous);
}
