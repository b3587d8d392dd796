#include "FrameWndSkin.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "MenuBar.h"
#include "SkinDraw.h"
#include "SkinGeometry.h"
#include "SkinManager.h"
#include "SkinMonitors.h"
#include "SkinObjectTypes.h"
#include "SystemMenu.h"

namespace {

constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME;
// Taken from an MDI child's style while its saved procedure paints: no system menu or boxes.
constexpr DWORD kMdiChildBoxes = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

}  // namespace

CSkinFrameWnd::CSkinFrameWnd() : m_pMenuBar(std::make_unique<CSkinMenuBar>(0, 0, 0, 0, this, nullptr))
{
    // This skin answers every non-client message itself.
    m_bBaseFrameHandling = false;
}

CSkinFrameWnd::~CSkinFrameWnd()
{
    m_pMenuBar.reset();
    m_background.Drop();
}

CSkinFrameWndObject* CSkinFrameWnd::GetFrameObject() const
{
    return dynamic_cast<CSkinFrameWndObject*>(m_pSkinObject);
}

// ---- attach, detach, skin changes ----------------------------------------------------------------

BOOL CSkinFrameWnd::Attach(HWND hwnd)
{
    if (!IsWindow(hwnd) || m_hWnd)
        return FALSE;
    m_dwAttachStyle = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    if ((m_dwAttachStyle & WS_CAPTION) != WS_CAPTION)
        m_bDrawCaptionText = 0;
    m_bMdiChild = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
    m_dwPaintStyle = m_bMdiChild ? (m_dwAttachStyle & ~kMdiChildBoxes) : kTopLevelPaintStyle;
    // The client area the application laid out for, before the menu leaves the system frame.
    RECT client;
    GetClientRect(hwnd, &client);
    if (!m_bMdiChild) {
        m_hAppMenu = ::GetMenu(hwnd);
        TakeMenu(hwnd, m_hAppMenu);
    }
    if (!CSkinWindow::Attach(hwnd)) {
        if (!m_bMdiChild)
            GiveMenuBack(hwnd);
        m_hAppMenu = nullptr;
        return FALSE;
    }
    if (!m_bMdiChild)
        AttachMdiClient();
    if (IsSizable()) {
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    } else {
        AdjustWindowToClient(client.right, client.bottom);
        std::memset(m_lastSize, 0, sizeof m_lastSize);
        RedrawWindow(hwnd, nullptr, nullptr, kRedrawAll);
        InvalidateRect(nullptr, nullptr, TRUE);
    }
    return TRUE;
}

void CSkinFrameWnd::TakeMenu(HWND hwnd, HMENU menu)
{
    m_pMenuBar->RebuildFromMenu(menu);
    if (menu) {
        ::SetMenu(hwnd, nullptr);
        DrawMenuBar(hwnd);
    }
}

void CSkinFrameWnd::GiveMenuBack(HWND hwnd)
{
    HMENU menu = m_pMenuBar->ReleaseMenu();
    if (menu && hwnd && IsWindow(hwnd) && IsMenu(menu)) {
        ::SetMenu(hwnd, menu);
        DrawMenuBar(hwnd);
    }
}

void CSkinFrameWnd::AttachMdiClient()
{
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[101] = {};
        if (!GetClassNameA(child, name, sizeof name) || strcasecmp(name, "MDIClient") != 0)
            continue;
        SetWindowLongA(child, GWL_STYLE, GetWindowLongA(child, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        CSkinManager& manager = CSkinManager::Instance();
        auto* skin = new CSkinMdiClient;
        if (!manager.RegisterWindow(skin, child)) {
            delete skin;
            return;
        }
        if (!skin->Attach(child)) {
            manager.UnregisterWindow(child, skin);
            CSkinWindow::Destroy(skin);
            return;
        }
        m_hMdiClient = child;
        InvalidateRect(child, nullptr, TRUE);
        UpdateWindow(child);
        return;
    }
}

void CSkinFrameWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (m_hMdiClient && !IsDestroyed())
        CSkinManager::Instance().RemoveSkin(m_hMdiClient, FALSE);
    m_hMdiClient = nullptr;
    m_background.Drop();
    // The menu goes back to the window before the window is told its frame changed.
    if (hwnd && IsWindow(hwnd) && m_pMenuBar->GetMenu()) {
        HMENU menu = m_pMenuBar->ReleaseMenu();
        CSkinWindow::Detach();
        if (IsWindow(hwnd) && IsMenu(menu)) {
            ::SetMenu(hwnd, menu);
            DrawMenuBar(hwnd);
        }
        return;
    }
    m_pMenuBar->ReleaseMenu();
    CSkinWindow::Detach();
}

CSkinObject* CSkinFrameWnd::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinWindow::SetSkinObject(object);
    CSkinFrameWndObject* frame = GetFrameObject();
    m_pMenuBar->SetSkinObject(frame ? &frame->m_menuBar : nullptr);
    if (!m_hWnd)
        return previous;
    m_background.Drop();
    if (m_hMdiClient && IsWindow(m_hMdiClient)) {
        InvalidateRect(m_hMdiClient, nullptr, TRUE);
        UpdateWindow(m_hMdiClient);
    }
    if (!IsIconic() && GetWindowObject()) {
        if (IsSizable()) {
            SIZE least;
            GetMinTrackSize(&least);
            RECT rc;
            ::GetWindowRect(m_hWnd, &rc);
            if (SkinWidth(rc) < least.cx || SkinHeight(rc) < least.cy) {
                rc.right = std::max<LONG>(rc.right, rc.left + least.cx);
                rc.bottom = std::max<LONG>(rc.bottom, rc.top + least.cy);
                if (HWND parent = m_bMdiChild ? GetParent(m_hWnd) : nullptr)
                    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
                MoveWindow(&rc, TRUE);
                return previous;
            }
        } else {
            RECT client;
            GetClientRect(m_hWnd, &client);
            AdjustWindowToClient(client.right, client.bottom);
            std::memset(m_lastSize, 0, sizeof m_lastSize);
            RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawAll);
        }
    }
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
    return previous;
}

// ---- the menu -----------------------------------------------------------------------------------

HMENU CSkinFrameWnd::GetMenu() { return m_pMenuBar->GetMenu(); }

BOOL CSkinFrameWnd::SetMenu(HMENU menu)
{
    if (m_pMenuBar->IsPopupOpen() || !menu || !IsMenu(menu) || !m_hWnd)
        return FALSE;
    m_pMenuBar->RebuildFromMenu(menu);
    ::SetMenu(m_hWnd, nullptr);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kFrameChanged);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return TRUE;
}

void CSkinFrameWnd::TakeOverWindowMenu()
{
    HMENU menu = m_pMenuBar->IsPopupOpen() ? nullptr : ::GetMenu(m_hWnd);
    if (!menu)
        return;
    const int before = m_pMenuBar->CalcHeight(SkinWidth(GetFramePart(4)));
    m_pMenuBar->RebuildFromMenu(menu);
    ::SetMenu(m_hWnd, nullptr);
    // A bar of another height moves the client area.
    if (m_pMenuBar->CalcHeight(SkinWidth(GetFramePart(4))) != before)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kFrameChanged);
}

LRESULT CSkinFrameWnd::OnMenuKey(WPARAM key, LPARAM keyData)
{
    if (key == VK_LEFT || key == VK_RIGHT) {
        m_pMenuBar->OnMenuKey(UINT(key));
        return 1;
    }
    if (key == VK_F10)
        return 1;  // the system's menu mode has no menu to show here
    if (!(keyData & (1 << 29)))
        return 0;
    return m_pMenuBar->OnMenuKey(UINT(key));
}

void CSkinFrameWnd::GetExtraMargins(RECT* rc)
{
    if (rc)
        m_pMenuBar->GetBarRect(rc);
}

void CSkinFrameWnd::DrawExtra(HDC hdc) { m_pMenuBar->Draw(hdc); }

// ---- MDI --------------------------------------------------------------------------------------------

HWND CSkinFrameWnd::GetActiveMdiChild(BOOL* maximised)
{
    if (maximised)
        *maximised = FALSE;
    if (!m_hMdiClient || !IsWindow(m_hMdiClient))
        return nullptr;
    return reinterpret_cast<HWND>(::SendMessageA(m_hMdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximised)));
}

void CSkinFrameWnd::ShowMdiChildSystemMenu()
{
    HWND child = GetActiveMdiChild(nullptr);
    if (!child)
        return;
    ShowSkinSystemMenu(child);
    if (m_hMdiClient && IsWindow(m_hMdiClient)) {
        RECT rc;
        GetClientRect(m_hMdiClient, &rc);
        RedrawWindow(m_hMdiClient, &rc, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_NOERASE);
    }
}

void CSkinFrameWnd::MinimizeMdiChild()
{
    if (HWND child = GetActiveMdiChild(nullptr))
        ::SendMessageA(child, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CSkinFrameWnd::RestoreMdiChild()
{
    if (HWND child = GetActiveMdiChild(nullptr))
        ::SendMessageA(m_hMdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
}

void CSkinFrameWnd::CloseMdiChild()
{
    if (HWND child = GetActiveMdiChild(nullptr))
        ::SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool CSkinFrameWnd::GetMdiChildMaximisedRect(RECT* rc)
{
    CSkinWindowObject* w = GetWindowObject();
    HWND parent = GetParent(m_hWnd);
    if (!w || !parent)
        return false;
    RECT c;
    GetClientRect(parent, &c);
    const RECT* f = w->m_frameRects;
    *rc = RECT{-SkinWidth(f[3]), -SkinHeight(f[0]), SkinWidth(f[3]) + SkinWidth(f[5]) + c.right - SkinWidth(f[3]),
               SkinHeight(f[0]) + SkinHeight(f[6]) + c.bottom - SkinHeight(f[0])};
    return true;
}

void CSkinFrameWnd::GetMinMaxInfo(MINMAXINFO* info)
{
    if (!m_bMdiChild) {
        AnswerFrameMinMaxInfo(*this, info);
        return;
    }
    RECT max;
    if (!info || !GetMdiChildMaximisedRect(&max)) {
        CallSaved(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
        return;
    }
    RECT monitor;
    AnswerFrameMinMaxInfo(*this, info);
    info->ptMaxPosition = POINT{max.left, max.top};
    info->ptMaxSize = POINT{SkinWidth(max), SkinHeight(max)};
    if (GetMonitorRectOfWindow(m_hWnd, &monitor, FALSE)) {
        info->ptMaxTrackSize.x = std::min<LONG>(info->ptMaxTrackSize.x, SkinWidth(monitor));
        info->ptMaxTrackSize.y = std::min<LONG>(info->ptMaxTrackSize.y, SkinHeight(monitor));
    }
}

// ---- the window procedure --------------------------------------------------------------------------

LRESULT CSkinFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetSavedProc() || !GetWindowObject())
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    bool handled = false;
    if (m_bMdiChild) {
        const LRESULT result = MdiChildMessage(msg, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    if (ShowSkinSystemMenuOnRequest(m_hWnd, msg, wParam, lParam))
        return 0;
    switch (msg) {
    case WM_NCCALCSIZE:
        OnNcCalcSize(reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NCPAINT:
        return OnNcPaint(wParam);
    case WM_NCHITTEST: {
        const POINT pt = WindowPoint(lParam);
        return HitTest(pt.x, pt.y);
    }
    case WM_NCACTIVATE:
        return OnNcActivate(wParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCMOUSEMOVE:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        return MouseMessage(msg, wParam, lParam);
    case WM_NCRBUTTONUP:
        // As on a dialog: a caption button had the click, the rest of the caption asks for the
        // system menu.
        if (RelayMouseToElements(WM_RBUTTONUP, WindowPoint(lParam)))
            return 0;
        return FrameMessage(msg, wParam, lParam);
    case WM_GETMINMAXINFO:
        GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    default:
        return FrameMessage(msg, wParam, lParam);
    }
}

LRESULT CSkinFrameWnd::FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
    case WM_SETICON:
        return OnCaptionChange(msg, wParam, lParam);
    case WM_SETCURSOR:
        return CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
    case WM_INITMENU:
    case WM_INITMENUPOPUP: {
        const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, 0, m_dwPaintStyle);
        RepaintWholeFrame();
        return result;
    }
    case WM_DESTROY:
        OnDestroy();
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TIMER:
        if (wParam != m_pMenuBar->GetTimerId())
            return CSkinWindow::WindowProc(msg, wParam, lParam);
        m_pMenuBar->OnHoverTimer();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        // While a menu of the bar is open its keys are the menu's.
        if (HWND popup = m_pMenuBar->GetPopupKeyWindow())
            return ::SendMessageA(popup, msg, wParam, lParam);
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_SKINPOPUP_LCLICKOUT:
    case WM_SKINPOPUP_RCLICKOUT:
        return OnClickOutsidePopup(msg, lParam);
    case WM_SKINPOPUP_MOVEOUT: {
        const POINT pt = WindowPoint(lParam);
        OnNcMouseMove(int(HitTest(pt.x, pt.y)), pt.x, pt.y);
        return 0;
    }
    case WM_SKINPOPUP_ENDED:
        return OnPopupEnded(msg, wParam, lParam);
    case WM_SKIN_PAINTCHILDBACK:
        m_background.PaintUnderChild(*this, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return 1;
    case WM_SKIN_ATTACHSTYLE:
        return LRESULT(m_dwAttachStyle);
    default:
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CSkinFrameWnd::MdiChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool* handled)
{
    RECT max;
    switch (msg) {
    case WM_WINDOWPOSCHANGED: {
        *handled = true;
        const LRESULT result = CallWithoutSysMenu(msg, wParam, lParam);
        RepaintWholeFrame();
        return result;
    }
    case WM_SIZE:
        // A maximised child covers its parent's client area with its frame outside it.
        if (::IsZoomed(m_hWnd) && GetMdiChildMaximisedRect(&max))
            ::SetWindowPos(m_hWnd, nullptr, max.left, max.top, SkinWidth(max), SkinHeight(max),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (::IsZoomed(m_hWnd) && lParam && GetMdiChildMaximisedRect(&max)) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            pos->x = max.left;
            pos->y = max.top;
            pos->cx = SkinWidth(max);
            pos->cy = SkinHeight(max);
        }
        return 0;  // the default handling follows
    default:
        return 0;
    }
}

void CSkinFrameWnd::OnNcCalcSize(RECT* rc)
{
    if (!rc)
        return;
    CalcFrameClientRect(rc);
    rc->top = SkinAdd(rc->top, m_pMenuBar->CalcHeight(rc->right - rc->left));
    if (rc->bottom < rc->top)
        rc->bottom = rc->top;
}

LRESULT CSkinFrameWnd::OnNcPaint(WPARAM update)
{
    TakeOverWindowMenu();
    PaintSkinnedFrame(update, m_background);
    if (m_hWnd) {
        m_pMenuBar->GetBarRect(&m_rcMenuBar);
        CSkinArea::MirrorRectInWindow(m_hWnd, m_rcMenuBar);  // the hit test takes points as shown
    }
    return 0;
}

void CSkinFrameWnd::RepaintWholeFrame()
{
    if (m_hWnd && IsWindow(m_hWnd))
        ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
}

LRESULT CSkinFrameWnd::OnNcActivate(WPARAM active)
{
    HWND hwnd = m_hWnd;
    LRESULT result;
    if (m_bMdiChild) {
        result = CallSavedWithStyle(WM_NCACTIVATE, active, 0, 0, m_dwPaintStyle);
    } else {
        if (m_pMenuBar->IsPopupOpen())
            return TRUE;  // the bar's menu keeps the frame looking active
        const bool locked = LockWindowUpdate(GetDesktopWindow()) != FALSE;
        result = CallSavedWithStyle(WM_NCACTIVATE, active, 0, 0, m_dwPaintStyle);
        if (locked)
            LockWindowUpdate(nullptr);
    }
    if (IsWindow(hwnd) && m_hWnd)
        RepaintWholeFrame();
    return result;
}

LRESULT CSkinFrameWnd::OnCaptionChange(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    const DWORD style = (m_bMdiChild && msg == WM_SETTEXT) ? m_dwPaintStyle : DWORD(WS_POPUP);
    const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, 0, style);
    if (IsWindow(hwnd) && m_hWnd) {
        RECT caption;
        GetCaptionRect(&caption);
        RedrawNonClientRect(&caption);
    }
    return result;
}

LRESULT CSkinFrameWnd::OnEraseBackground(HDC hdc)
{
    if (m_background.Erase(*this, hdc))
        return 1;
    return CallSaved(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
}

void CSkinFrameWnd::OnDestroy()
{
    if (m_bMdiChild) {
        if (HWND parent = GetParent(m_hWnd)) {
            RECT rc;
            ::GetWindowRect(m_hWnd, &rc);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
            ::SendMessageA(parent, WM_SKIN_MDICHILDCLOSED, 0, reinterpret_cast<LPARAM>(&rc));
        }
        return;
    }
    // The window's menu goes with the window, as it would have without the skin.
    if (HMENU menu = m_pMenuBar->ReleaseMenu())
        if (IsMenu(menu))
            ::SetMenu(m_hWnd, menu);
}

LRESULT CSkinFrameWnd::OnClickOutsidePopup(UINT msg, LPARAM screenPoint)
{
    HWND hwnd = m_hWnd;
    const POINT screen{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    RECT wr;
    ::GetWindowRect(hwnd, &wr);
    const POINT pt = WindowPoint(screenPoint);
    const LRESULT hit = PtInRect(&wr, screen) ? HitTest(pt.x, pt.y) : HTNOWHERE;
    // Off the bar the menu is over; on the bar the click decides (the open item closes, another
    // one opens).
    if (hit != HTMENU)
        m_pMenuBar->OnPopupLoopEnd();
    if (!PtInRect(&wr, screen) || msg != WM_SKINPOPUP_LCLICKOUT)
        return 0;
    if (hit == HTCLIENT) {
        POINT client = screen;
        ScreenToClient(hwnd, &client);
        ::SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    } else {
        ::SendMessageA(hwnd, WM_NCLBUTTONDOWN, WPARAM(hit), screenPoint);
    }
    return 0;
}

LRESULT CSkinFrameWnd::OnPopupEnded(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A click outside the menu follows this notice: the click decides what becomes of the
    // open item, so that a click on it closes it instead of opening it again.
    MSG next;
    if (!PeekMessageA(&next, m_hWnd, WM_SKINPOPUP_LCLICKOUT, WM_SKINPOPUP_RCLICKOUT, PM_NOREMOVE))
        m_pMenuBar->OnPopupLoopEnd();
    return CSkinWindow::WindowProc(msg, wParam, lParam);
}

// ---- mouse on the frame -----------------------------------------------------------------------------

POINT CSkinFrameWnd::WindowPoint(LPARAM screenPoint)
{
    POINT pt{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToWindow(&pt);
    return pt;
}

bool CSkinFrameWnd::IsMaximised()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    return m_hWnd && GetWindowPlacement(m_hWnd, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
}

LRESULT CSkinFrameWnd::HitTest(int x, int y)
{
    const POINT pt{x, y};
    if (PtInRect(&m_rcMenuBar, pt))
        return HTMENU;
    RECT bounds;
    GetWindowBounds(&bounds);
    CalcFrameLayout(bounds.right, bounds.bottom);
    if (IsMaximised()) {
        if (HitTestCaptionElements(pt) == HTCAPTION)
            return HTCAPTION;
        for (int part : {0, 1, 2})
            if (IsInShownFramePart(part, pt))
                return HTCAPTION;
        return IsInShownFramePart(4, pt) ? HTCLIENT : HTNOWHERE;
    }
    if (const LRESULT element = HitTestCaptionElements(pt))
        return element;
    return HitTestFrameParts(pt, IsSizable(), HTERROR);
}

LRESULT CSkinFrameWnd::MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const POINT pt = WindowPoint(lParam);
    const int hit = int(wParam);
    switch (msg) {
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(hit, pt.x, pt.y);
        return 0;
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(hit, pt.x, pt.y);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(hit, pt.x, pt.y);
        return 0;
    case WM_NCMOUSEMOVE: {
        HWND hwnd = m_hWnd;
        const LRESULT result = CallWithoutSysMenu(msg, wParam, lParam);
        if (IsWindow(hwnd) && m_hWnd)
            OnNcMouseMove(hit, pt.x, pt.y);
        return result;
    }
    default:
        // A right click on the frame opens nothing the system would draw; a system-menu
        // button among the elements still sees it.
        if (msg == WM_NCRBUTTONDOWN)
            RelayMouseToElements(WM_RBUTTONDOWN, pt);
        return 0;
    }
}

LRESULT CSkinFrameWnd::CallWithoutSysMenu(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND top = m_bMdiChild ? GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    const DWORD topStyle = top ? DWORD(GetWindowLongA(top, GWL_STYLE)) : 0;
    if (top && (topStyle & WS_SYSMENU))
        SetWindowLongA(top, GWL_STYLE, LONG(topStyle & ~WS_SYSMENU));
    const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
    if (top && (topStyle & WS_SYSMENU) && IsWindow(top))
        SetWindowLongA(top, GWL_STYLE, GetWindowLongA(top, GWL_STYLE) | WS_SYSMENU);
    return result;
}

bool CSkinFrameWnd::GiveMouseToFrameElements(UINT msg, int x, int y, void (CSkinMenuBar::*onBar)(int, int))
{
    if (RelayMouseToElements(msg, POINT{x, y}) || !m_hWnd)
        return true;
    RECT bar;
    m_pMenuBar->GetBarRect(&bar);  // the bar's place for the window's size now
    if (!m_pMenuBar->HitTestHostPoint(x, y))
        return false;
    (m_pMenuBar.get()->*onBar)(x, y);
    return true;
}

void CSkinFrameWnd::OnNcLButtonDown(int hit, int x, int y)
{
    HWND hwnd = m_hWnd;
    if (GiveMouseToFrameElements(WM_LBUTTONDOWN, x, y, &CSkinMenuBar::OnLButtonDown))
        return;
    // The system moves or sizes the frame; a maximised frame stays where it is.
    if (IsWindow(hwnd) && !IsZoomed()) {
        POINT screen{x, y};
        WindowToScreen(&screen);
        CallWithoutSysMenu(WM_NCLBUTTONDOWN, WPARAM(hit), MAKELPARAM(screen.x, screen.y));
    }
}

void CSkinFrameWnd::OnNcLButtonUp(int hit, int x, int y)
{
    if (GiveMouseToFrameElements(WM_LBUTTONUP, x, y, &CSkinMenuBar::OnLButtonUp))
        return;
    if (IsZoomed()) {
        // A maximised frame is not moved, so its double click is made of two releases within
        // the double-click time.
        const DWORD now = GetTickCount();
        if (m_bNcUpPending && now - m_dwLastNcUp < GetDoubleClickTime()) {
            m_bNcUpPending = false;
            OnNcLButtonDblClk(hit, x, y);
            return;
        }
        m_dwLastNcUp = now;
        m_bNcUpPending = true;
        return;
    }
    m_bNcUpPending = false;
    POINT screen{x, y};
    WindowToScreen(&screen);
    CallWithoutSysMenu(WM_NCLBUTTONUP, WPARAM(hit), MAKELPARAM(screen.x, screen.y));
}

void CSkinFrameWnd::OnNcLButtonDblClk(int hit, int x, int y)
{
    // A double click that a caption button or the bar took is theirs alone.
    if (GiveMouseToFrameElements(WM_LBUTTONDBLCLK, x, y, &CSkinMenuBar::OnLButtonDblClk) || hit != HTCAPTION)
        return;
    POINT screen{x, y};
    WindowToScreen(&screen);
    DoubleClickCaption(MAKELPARAM(screen.x, screen.y), m_dwAttachStyle);
}

void CSkinFrameWnd::OnNcMouseMove(int, int x, int y)
{
    if (!IsActiveCaption())
        return;
    if (RelayMouseToElements(WM_MOUSEMOVE, POINT{x, y}) || !m_hWnd)
        return;
    m_pMenuBar->OnMouseMove(x, y);
}

CSkinWindow* MakeFrameSkin() { return new CSkinFrameWnd; }

// ---- the MDI client -----------------------------------------------------------------------------------

CSkinMdiClient::CSkinMdiClient() { m_bBaseFrameHandling = false; }
CSkinMdiClient::~CSkinMdiClient() = default;

CSkinFrameWnd* CSkinMdiClient::Host() const
{
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    return parent ? dynamic_cast<CSkinFrameWnd*>(CSkinManager::Instance().FindSkinWindow(parent)) : nullptr;
}

bool CSkinMdiClient::EraseBackground(HDC hdc)
{
    CSkinFrameWnd* host = Host();
    CSkinFrameWndObject* frame = host ? host->GetFrameObject() : nullptr;
    if (!frame || !hdc)
        return false;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    DrawSkinImage(frame->GetOwner(), hdc, rc, frame->m_mdiClientBackground, frame->m_crBackground, 1, false);
    return true;
}

LRESULT CSkinMdiClient::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetSavedProc())
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    switch (msg) {
    case WM_ERASEBKGND:
        if (EraseBackground(reinterpret_cast<HDC>(wParam)))
            return 1;
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_MDICREATE: {
        BOOL maximised = FALSE;
        HWND active = reinterpret_cast<HWND>(CallSaved(WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
        if (active && maximised)
            ::SendMessageA(active, WM_SYSCOMMAND, SC_RESTORE, 0);
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
    case WM_SKIN_MDICHILDCLOSED:
        if (!CallSaved(WM_MDIGETACTIVE, 0, 0) && lParam) {
            InvalidateRect(m_hWnd, reinterpret_cast<const RECT*>(lParam), TRUE);
            UpdateWindow(m_hWnd);
        }
        return 0;
    default:
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
}
