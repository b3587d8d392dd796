#include "SkinPopupMenu.h"

#include <algorithm>
#include <cctype>

#include "SkinMonitors.h"

namespace {

const char kThisProp[] = "this";
const char kPopupClass[] = "QuorventaPopupMenuWnd";
constexpr UINT kMenuClosed = 0xFFFF0000;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
LPARAM LParamOf(POINT p) { return MAKELPARAM(p.x, p.y); }

// The owner's top-level window keeps its active caption while a root popup shows: its
// procedure is subclassed, the old one kept in kOwnerProcProp, and kHoldProp counts the popups
// holding it.
const char kOwnerProcProp[] = "SKIN_WNDPROC";
const char kHoldProp[] = "SkinPopupHolds";

HWND TopLevelOf(HWND hwnd)
{
    while (hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) && GetParent(hwnd))
        hwnd = GetParent(hwnd);
    return hwnd;
}

LRESULT CALLBACK OwnerCaptionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOwnerProcProp));
    if (msg == WM_NCACTIVATE && !wParam && GetPropA(hwnd, kHoldProp))
        return TRUE;
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kOwnerProcProp);
        RemovePropA(hwnd, kHoldProp);
    }
    return old ? CallWindowProcA(old, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void CSkinPopupMenu::HoldOwnerCaption()
{
    HWND top = TopLevelOf(m_hOwner);
    if (m_pParent || m_hHeldOwner || !top || !IsWindow(top))
        return;
    // Subclassed once, by the first root popup; a procedure left in the chain under another
    // subclass is held again as it is.
    if (!GetPropA(top, kOwnerProcProp)) {
        SetPropA(top, kOwnerProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(top, GWLP_WNDPROC)));
        SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerCaptionProc));
    }
    SetPropA(top, kHoldProp, reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(GetPropA(top, kHoldProp)) + 1));
    m_hHeldOwner = top;
}

void CSkinPopupMenu::ReleaseOwnerCaption()
{
    HWND top = m_hHeldOwner;
    m_hHeldOwner = nullptr;
    if (!top || !IsWindow(top))
        return;
    const INT_PTR holds = reinterpret_cast<INT_PTR>(GetPropA(top, kHoldProp)) - 1;
    if (holds > 0) {
        SetPropA(top, kHoldProp, reinterpret_cast<HANDLE>(holds));
        return;
    }
    RemovePropA(top, kHoldProp);
    // Under a subclass that came later the procedure stays, passing everything on.
    if (GetWindowLongPtrA(top, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OwnerCaptionProc)) {
        SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(top, kOwnerProcProp)));
        RemovePropA(top, kOwnerProcProp);
    }
}

CSkinPopupMenu::CSkinPopupMenu(HWND owner, CSkinPopupMenu* parent, int mode)
    : m_pParent(parent), m_hOwner(owner), m_nMode(mode), m_pModel(std::make_unique<CSkinMenuModel>())
{
    // The look without a skin: a thin dark border around white rows, the selection in navy.
    CSkinPopupMenuObject& d = m_defaultObject;
    const RECT rects[9] = {{0, 0, 1, 1}, {1, 0, 2, 1}, {2, 0, 3, 1}, {0, 1, 1, 2}, {1, 1, 2, 2},
                           {2, 1, 3, 2}, {0, 2, 1, 3}, {1, 2, 2, 3}, {2, 2, 3, 3}};
    std::copy(std::begin(rects), std::end(rects), d.m_frameRects);
    d.m_crActiveFill = d.m_crInactiveFill = RGB(64, 64, 64);
    d.m_crBackground = RGB(255, 255, 255);
    d.m_crText = RGB(0, 0, 0);
    d.m_crBack = RGB(0, 0, 128);
    d.m_values[0] = RGB(255, 255, 255);
    d.m_values[1] = RGB(128, 128, 128);
    d.m_rects[0] = RECT{4, 1, 4, 1};
    m_pSkinObject = &m_defaultObject;
    m_bDrawCaptionText = 0;
    // The popup paints and sizes its own frame.
    m_bBaseFrameHandling = false;
    if (parent)
        SetMenuParams(parent->GetMenuParams());
}

CSkinPopupMenu::~CSkinPopupMenu()
{
    DestroyPopup();
    // The base must not reach for an object this popup owned.
    m_pSkinObject = nullptr;
}

CSkinPopupMenuObject* CSkinPopupMenu::GetMenuObject()
{
    auto* object = dynamic_cast<CSkinPopupMenuObject*>(m_pSkinObject);
    return object ? object : &m_defaultObject;
}

CSkinObject* CSkinPopupMenu::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinWindow::SetSkinObject(object ? object : &m_defaultObject);
    m_bDrawCaptionText = 0;  // a popup has no caption
    return previous;
}

void CSkinPopupMenu::DrawFrame(HDC hdc, BOOL)
{
    // Popups never take activation from their owner: they always look active.
    CSkinWindow::DrawFrame(hdc, TRUE);
}

BOOL CSkinPopupMenu::CreatePopupWindow()
{
    if (m_hWnd)
        return TRUE;
    DWORD ex = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (m_hOwner && (GetWindowLongA(m_hOwner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL))
        ex |= WS_EX_LAYOUTRTL;
    HWND parent = m_pParent ? m_pParent->GetHwnd() : m_hOwner;
    HINSTANCE instance = parent ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)) : nullptr;
    CreateWindowExA(ex, kPopupClass, "", WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, 100, 100, parent, nullptr,
                    instance ? instance : GetModuleHandleA(nullptr), this);
    return m_hWnd != nullptr;
}

void CSkinPopupMenu::LoadMenu(HMENU menu)
{
    m_hMenu = menu;
    m_pModel->LoadMenuItems(menu);
    m_nSelected = -1;
    m_bScrolling = FALSE;
    m_nFirstVisible = 0;
    m_nVisibleRows = m_pModel->GetCount();
    m_rcScrollUp = m_rcScrollDown = RECT{0, 0, 0, 0};
    m_nRowHeight = MeasureRowHeight();
}

void CSkinPopupMenu::DestroyPopup()
{
    m_bTracking = FALSE;
    CloseChild();
    if (m_hWnd && IsWindow(m_hWnd)) {
        HWND hwnd = m_hWnd;
        if (!m_pParent)
            ::ShowWindow(hwnd, SW_HIDE);
        DestroyWindow(hwnd);
    }
    m_hWnd = nullptr;
}

CSkinPopupMenu* CSkinPopupMenu::GetRootMenu()
{
    CSkinPopupMenu* p = this;
    while (p->m_pParent)
        p = p->m_pParent;
    return p;
}

CSkinPopupMenu* CSkinPopupMenu::GetInnermost()
{
    CSkinPopupMenu* p = this;
    while (p->m_pChild && p->m_pChild->GetHwnd())
        p = p->m_pChild.get();
    return p;
}

// ---- placement ----------------------------------------------------------------------------------

RECT CSkinPopupMenu::PlacePopup(int x, int y, SIZE size, UINT flags, bool rightToLeft)
{
    const int w = size.cx, h = size.cy;
    RECT r;
    if (flags & TPM_CENTERALIGN)
        r.left = x - w / 2;
    else if (rightToLeft == !(flags & TPM_RIGHTALIGN))
        r.left = x - w;
    else
        r.left = x;
    if (flags & TPM_VCENTERALIGN)
        r.top = y - h / 2;
    else if (flags & TPM_BOTTOMALIGN)
        r.top = y - h;
    else
        r.top = y;
    r.right = r.left + w;
    r.bottom = r.top + h;
    RECT work;
    if (!GetMonitorRectOfPoint(x, y, &work, TRUE))
        return r;
    // Inside the work area; what is larger than it becomes exactly as large.
    if (w > work.right - work.left) {
        r.left = work.left;
        r.right = work.right;
    }
    if (h > work.bottom - work.top) {
        r.top = work.top;
        r.bottom = work.bottom;
    }
    FitRectIntoRect(&work, &r);
    return r;
}

void CSkinPopupMenu::ShowAt(int x, int y, UINT flags)
{
    if (!m_hWnd)
        return;
    const RECT r = PlacePopup(x, y, GetPopupSize(), flags, IsRightToLeft());
    MoveWindow(&r, FALSE);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(m_hWnd);
}

// ---- window procedure ---------------------------------------------------------------------------

LRESULT CALLBACK CSkinPopupMenu::PopupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE || msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* popup = cs ? static_cast<CSkinPopupMenu*>(cs->lpCreateParams) : nullptr;
        if (popup && !GetPropA(hwnd, kThisProp)) {
            SetPropA(hwnd, kThisProp, popup);
            popup->m_hWnd = hwnd;
        }
    }
    if (auto* popup = static_cast<CSkinPopupMenu*>(GetPropA(hwnd, kThisProp)))
        return popup->WindowProc(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CSkinPopupMenu::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    UINT chosen = 0;
    switch (msg) {
    case WM_NCCALCSIZE:
        OnNcCalcSize(wParam, lParam);
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam, lParam);
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    case WM_MOUSEMOVE:
        OnMouseMove(PointOf(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(msg, PointOf(lParam), &chosen);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(UINT(wParam));
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SKINPOPUP_CLOSESUB:
        if (CSkinMenuEntry* e = m_pModel->GetEntry(m_nSelected); e && e->m_hSubMenu)
            CloseChild();
        return 0;
    case WM_SKINPOPUP_COMMAND:
        OnCommandMessage(UINT(wParam));
        return 0;
    case WM_SKIN_MENUKEY:
        return OnMenuKey(wParam, lParam);
    case WM_DRAWITEM:
        return m_hOwner ? ::SendMessageA(m_hOwner, msg, wParam, lParam) : 0;
    case WM_NCDESTROY: {
        HWND hwnd = m_hWnd;
        ReleaseOwnerCaption();
        KillTimer(hwnd, kSubmenuTimer);
        RemovePropA(hwnd, kThisProp);
        m_hWnd = nullptr;
        // Destroyed from outside (with its owner, say): a loop waiting for the menu wakes up.
        if (!m_pParent && m_bTracking && !m_bDone) {
            m_bDone = TRUE;
            PostThreadMessageA(GetCurrentThreadId(), WM_SKINPOPUP_ENDED, 0, 0);
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    default:
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    }
}

void CSkinPopupMenu::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    RECT* rc = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    CalcFrameClientRect(rc);
}

void CSkinPopupMenu::OnNcPaint()
{
    if (UpdateFrameLayout(FALSE)) {
        // A new size: the region is set, then the frame painted whole with the new layout.
        ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        return;
    }
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    PaintFrameSurface(dc, nullptr);
    ::ReleaseDC(m_hWnd, dc);
}

void CSkinPopupMenu::OnShowWindow(WPARAM shown, LPARAM)
{
    if (shown) {
        MeasureRows();
        for (int i = 0; i < m_pModel->GetCount(); ++i)
            m_pModel->GetEntry(i)->m_bSelected = FALSE;
        m_nSelected = -1;
        if (!m_pParent) {
            HoldOwnerCaption();
            SetCapture(m_hWnd);
        }
    } else {
        ReleaseOwnerCaption();
        KillTimer(m_hWnd, kSubmenuTimer);
        if (!m_pParent && GetCapture() == m_hWnd)
            ReleaseCapture();
    }
}

// ---- rows -----------------------------------------------------------------------------------------

RECT CSkinPopupMenu::RowArea()
{
    RECT rc = {0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(m_hWnd, &rc);
    if (m_bScrolling) {
        rc.top = m_rcScrollUp.bottom;
        rc.bottom = m_rcScrollDown.top;
    }
    return rc;
}

RECT CSkinPopupMenu::GetRowRect(int index)
{
    if (index < m_nFirstVisible || index >= m_nFirstVisible + m_nVisibleRows || index >= m_pModel->GetCount())
        return RECT{0, 0, 0, 0};
    const RECT area = RowArea();
    const int top = area.top + (index - m_nFirstVisible) * m_nRowHeight;
    return RECT{area.left, top, area.right, top + m_nRowHeight};
}

int CSkinPopupMenu::HitIndex(POINT client)
{
    const RECT area = RowArea();
    if (m_pModel->GetCount() == 0 || m_nRowHeight <= 0 || !PtInRect(&area, client))
        return -1;
    const int index = (client.y - area.top) / m_nRowHeight + m_nFirstVisible;
    // A window taller than its rows has room below the last one.
    if (index >= m_pModel->GetCount() || index >= m_nFirstVisible + m_nVisibleRows)
        return -1;
    return index;
}

void CSkinPopupMenu::MeasureRows()
{
    m_nRowHeight = MeasureRowHeight();
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int height = client.bottom - client.top, count = m_pModel->GetCount();
    m_bScrolling = FALSE;
    m_nFirstVisible = 0;
    m_nVisibleRows = count;
    m_rcScrollUp = m_rcScrollDown = RECT{0, 0, 0, 0};
    if (m_nRowHeight <= 0 || height >= m_nRowHeight * count)
        return;
    m_bScrolling = TRUE;
    int rows = height / m_nRowHeight;
    if (height - rows * m_nRowHeight < kMinRowRemainder)
        --rows;
    // However small the window, one row shows.
    m_nVisibleRows = std::max(1, rows);
    const int area = std::max(0, (height - m_nVisibleRows * m_nRowHeight) / 2);
    m_rcScrollUp = RECT{client.left, client.top, client.right, client.top + area};
    m_rcScrollDown = RECT{client.left, client.bottom - area, client.right, client.bottom};
}

// ---- mouse ----------------------------------------------------------------------------------------

void CSkinPopupMenu::OnMouseMove(POINT client)
{
    POINT screen = client;
    ClientToScreen(m_hWnd, &screen);
    if (CSkinPopupMenu* child = m_pChild.get(); child && child->GetHwnd()) {
        RECT cr;
        ::GetWindowRect(child->GetHwnd(), &cr);
        if (PtInRect(&cr, screen)) {
            POINT inChild = screen;
            ScreenToClient(child->GetHwnd(), &inChild);
            child->OnMouseMove(inChild);
            return;
        }
    }
    const int index = HitIndex(client);
    if (index < 0) {
        if (m_pChild && m_pChild->GetHwnd()) {
            POINT inChild = screen;
            ScreenToClient(m_pChild->GetHwnd(), &inChild);
            m_pChild->OnMouseMove(inChild);
            return;
        }
        RECT wr;
        ::GetWindowRect(m_hWnd, &wr);
        if (!PtInRect(&wr, screen) && m_nSelected >= 0 && !Select(-1, 0))
            return;
        if (m_nMode == MODE_MENUBAR && m_hOwner)
            ::PostMessageA(m_hOwner, WM_SKINPOPUP_MOVEOUT, 0, LParamOf(screen));
        return;
    }
    if (index == m_nSelected)
        return;
    CSkinMenuEntry* e = m_pModel->GetEntry(index);
    if (!Select(e->IsSeparator() ? -1 : index, MF_HILITE | MF_MOUSESELECT))
        return;
    if (m_nSelected >= 0)
        SetTimer(m_hWnd, kSubmenuTimer, kSubmenuDelay, nullptr);
}

bool CSkinPopupMenu::Select(int index, UINT how)
{
    KillTimer(m_hWnd, kSubmenuTimer);
    if (index == m_nSelected)
        return true;
    if (CSkinMenuEntry* old = m_pModel->GetEntry(m_nSelected)) {
        old->m_bSelected = FALSE;
        if (old->m_hSubMenu)
            CloseChild();
        RepaintRow(m_nSelected);
    }
    m_nSelected = index;
    CSkinMenuEntry* e = m_pModel->GetEntry(index);
    if (!e)
        return true;
    e->m_bSelected = TRUE;
    // A row scrolled out of sight comes into view.
    if (m_bScrolling && index < m_nFirstVisible)
        m_nFirstVisible = index;
    else if (m_bScrolling && index >= m_nFirstVisible + m_nVisibleRows)
        m_nFirstVisible = index - m_nVisibleRows + 1;
    if (m_hOwner && !m_life.Send(m_hOwner, WM_MENUSELECT, MAKEWPARAM(e->m_hSubMenu ? UINT(index) : e->m_nId, how),
                                 reinterpret_cast<LPARAM>(m_hMenu)))
        return false;
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE), UpdateWindow(m_hWnd);
    return true;
}

void CSkinPopupMenu::OnTimer(UINT_PTR id)
{
    if (id != kSubmenuTimer)
        return;
    KillTimer(m_hWnd, kSubmenuTimer);
    CSkinMenuEntry* e = m_pModel->GetEntry(m_nSelected);
    if (e && e->m_hSubMenu && e->IsSelectable())
        OpenSubmenu();
}

int CSkinPopupMenu::OnButtonDown(UINT msg, POINT client, UINT* chosen)
{
    POINT screen = client;
    ClientToScreen(m_hWnd, &screen);
    if (CSkinPopupMenu* child = m_pChild.get(); child && child->GetHwnd()) {
        POINT inChild = screen;
        ScreenToClient(child->GetHwnd(), &inChild);
        const int r = child->OnButtonDown(msg, inChild, chosen);
        if (r == 1) {
            if (!m_pParent)
                EndMenu(*chosen);
            return 1;
        }
        if (r == 2)
            return 2;
    }
    RECT client_rc;
    GetClientRect(m_hWnd, &client_rc);
    if (m_bScrolling && PtInRect(&m_rcScrollDown, client)) {
        if (m_nFirstVisible + m_nVisibleRows < m_pModel->GetCount())
            ++m_nFirstVisible;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 2;
    }
    if (m_bScrolling && PtInRect(&m_rcScrollUp, client)) {
        if (m_nFirstVisible > 0)
            --m_nFirstVisible;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 2;
    }
    if (CSkinMenuEntry* e = m_pModel->GetEntry(HitIndex(client))) {
        if (e->m_hSubMenu || e->IsSeparator() || !e->IsSelectable())
            return 2;
        ::ShowWindow(m_hWnd, SW_HIDE);
        if (m_pParent) {
            *chosen = e->m_nId;
            return 1;
        }
        EndMenu(e->m_nId);
        return 1;
    }
    RECT wr;
    ::GetWindowRect(m_hWnd, &wr);
    if (PtInRect(&wr, screen))
        return 2;
    if (m_pParent)
        return 0;
    EndMenu(0);
    // The click was meant for what lies under it.
    if (m_hOwner) {
        if (m_nMode == MODE_MENUBAR)
            ::PostMessageA(m_hOwner, msg == WM_LBUTTONDOWN ? WM_SKINPOPUP_LCLICKOUT : WM_SKINPOPUP_RCLICKOUT, 0,
                           LParamOf(screen));
        else
            ::PostMessageA(m_hOwner, WM_NCLBUTTONDOWN, 0, LParamOf(screen));
    }
    return 0;
}

// ---- keys -----------------------------------------------------------------------------------------

void CSkinPopupMenu::OnKeyDown(UINT key)
{
    const CSkinLifeline::Watch watch = m_life.Observe();
    CSkinMenuEntry* e = m_pModel->GetEntry(m_nSelected);
    switch (key) {
    case VK_RETURN:
        if (e && e->IsSelectable() && e->m_hSubMenu)
            OpenSubmenu();
        else if (e && e->IsSelectable() && !e->IsSeparator())
            ::PostMessageA((m_pParent ? m_pParent : this)->GetHwnd(), WM_SKINPOPUP_COMMAND, e->m_nId, 0);
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        if (m_pParent) {
            if (m_life.Send(m_hOwner, WM_MENUSELECT, kMenuClosed, 0))
                ::PostMessageA(m_pParent->GetHwnd(), WM_SKINPOPUP_CLOSESUB, 0, 0);
        } else if (key == VK_ESCAPE) {
            EndMenu(0);
        } else if (m_nMode == MODE_MENUBAR) {
            // The menu bar moves on to the previous menu.
            ::PostMessageA(m_hOwner, WM_SKIN_MENUKEY, VK_LEFT, 0);
        }
        break;
    case VK_UP:
        MoveSelection(-1);
        break;
    case VK_DOWN:
        MoveSelection(1);
        break;
    case VK_RIGHT:
        if (e && e->IsSelectable() && e->m_hSubMenu)
            OpenSubmenu();
        else if (m_nMode == MODE_MENUBAR)
            ::PostMessageA(GetRootMenu()->GetOwner(), WM_SKIN_MENUKEY, VK_RIGHT, 0);
        break;
    default:
        ChooseByMnemonic(key);
        break;
    }
    if (watch.Alive() && m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CSkinPopupMenu::MoveSelection(int step)
{
    const int count = m_pModel->GetCount();
    if (count == 0)
        return;
    int index = m_nSelected;
    if (index < 0)
        index = step > 0 ? -1 : count;
    // At most once round: a menu of separators only has nothing to stop at.
    for (int tries = 0; tries < count; ++tries) {
        index = (index + step + count) % count;
        if (!m_pModel->GetEntry(index)->IsSeparator()) {
            Select(index, MF_HILITE);
            return;
        }
    }
}

void CSkinPopupMenu::ChooseByMnemonic(UINT key)
{
    const int upper = key < 256 ? std::toupper(int(key)) : 0;
    for (int i = 0; upper && i < m_pModel->GetCount(); ++i) {
        CSkinMenuEntry* e = m_pModel->GetEntry(i);
        if (e->m_chMnemonic != upper)
            continue;
        if (!e->IsSelectable())
            return;
        // A submenu's letter opens the submenu; it is no command.
        if (!Select(i, MF_HILITE))
            return;
        if (e->m_hSubMenu) {
            OpenSubmenu();
            return;
        }
        ::PostMessageA((m_pParent ? m_pParent : this)->GetHwnd(), WM_SKINPOPUP_COMMAND, e->m_nId, 0);
        return;
    }
}

LRESULT CSkinPopupMenu::OnMenuKey(WPARAM key, LPARAM keyData)
{
    if (!(keyData & (1 << 29)))
        return 0;
    const int upper = key < 256 ? std::toupper(int(key)) : 0;
    for (int i = 0; upper && i < m_pModel->GetCount(); ++i) {
        CSkinMenuEntry* e = m_pModel->GetEntry(i);
        if (e->m_chMnemonic == upper && e->IsSelectable()) {
            ChooseByMnemonic(UINT(key));
            return 1;
        }
    }
    if (m_nMode != MODE_TRACKED)
        ::PostMessageA(m_hOwner, WM_SKIN_MENUKEY, key, keyData);
    else
        GetRootMenu()->m_bDone = TRUE;
    return 0;
}

// ---- submenus and the end of the menu -------------------------------------------------------------

void CSkinPopupMenu::OpenSubmenu()
{
    CSkinMenuEntry* e = m_pModel->GetEntry(m_nSelected);
    if (!e || !e->m_hSubMenu || (m_pChild && m_pChild->GetHwnd()))
        return;
    const int selected = m_nSelected;
    if (!m_life.Send(m_hOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(e->m_hSubMenu), e->m_nPos))
        return;
    // The owner may have changed the menu meanwhile.
    e = m_pModel->GetEntry(selected);
    if (!e || !m_hWnd)
        return;
    auto child = std::make_unique<CSkinPopupMenu>(m_hOwner, this, m_nMode);
    if (!child->CreatePopupWindow())
        return;
    child->LoadMenu(e->m_hSubMenu);
    if (m_pSkinObject != &m_defaultObject)
        child->SetSkinObject(m_pSkinObject);
    const SIZE size = child->GetPopupSize();
    RECT row = GetRowRect(selected);
    POINT tl{row.left, row.top}, br{row.right, row.bottom};
    ClientToScreen(m_hWnd, &tl);
    ClientToScreen(m_hWnd, &br);
    const int rowLeft = std::min(tl.x, br.x), rowRight = std::max(tl.x, br.x);
    RECT r = IsRightToLeft() ? RECT{rowLeft - size.cx, tl.y, rowLeft, tl.y + size.cy}
                             : RECT{rowRight, tl.y, rowRight + size.cx, tl.y + size.cy};
    RECT work;
    if (GetMonitorRectOfWindow(m_hWnd, &work, TRUE)) {
        if (r.bottom > work.bottom) {
            r.bottom = work.bottom - 1;
            r.top = std::max<LONG>(r.bottom - size.cy, work.top + 1);
        }
        if (r.right > work.right) {
            // The other side of this popup; when that does not fit either, the work area's edge.
            r.left = std::max<LONG>(rowLeft - size.cx, work.left);
            r.right = std::min<LONG>(r.left + size.cx, work.right);
        }
        if (r.left < work.left && IsRightToLeft()) {
            // Leftwards does not fit: the other side of this popup, as far as the work area goes.
            r.left = std::max<LONG>(std::min<LONG>(rowRight, work.right - size.cx), work.left);
            r.right = std::min<LONG>(r.left + size.cx, work.right);
        }
        if (r.left < work.left) {
            r.left = work.left;
            r.right = std::min<LONG>(r.left + size.cx, work.right);
        }
    }
    m_pChild = std::move(child);
    m_pChild->MoveWindow(&r, FALSE);
    ::ShowWindow(m_pChild->GetHwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(m_pChild->GetHwnd());
}

void CSkinPopupMenu::CloseChild()
{
    if (!m_pChild)
        return;
    m_pChild->ClearTracking();
    std::unique_ptr<CSkinPopupMenu> child = std::move(m_pChild);
    child->DestroyPopup();
}

void CSkinPopupMenu::EndMenu(UINT command)
{
    CloseChild();
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
    m_bDone = TRUE;
    if (!m_hOwner)
        return;
    // The owner's answer may close this popup: what follows goes by copies.
    const HWND owner = m_hOwner;
    const int mode = m_nMode;
    const bool alive = m_life.Send(owner, WM_MENUSELECT, kMenuClosed, 0);
    ::PostMessageA(owner, WM_SKINPOPUP_ENDED, 0, 0);
    if (!command)
        return;
    switch (mode) {
    case MODE_SYSTEM:
        ::PostMessageA(owner, WM_SYSCOMMAND, command, 0);
        break;
    case MODE_RETURNCMD:
        if (alive)
            m_nResultCmd = command;
        break;
    default:
        ::PostMessageA(owner, WM_COMMAND, command, 0);
        break;
    }
}

void CSkinPopupMenu::OnCommandMessage(UINT command)
{
    if (m_pParent) {
        ::PostMessageA(m_pParent->GetHwnd(), WM_SKINPOPUP_COMMAND, command, 0);
        return;
    }
    EndMenu(command);
}
