#include "DialogSkin.h"

#include <cstring>

#include "SkinObject.h"
#include "SystemMenu.h"

CSkinDialog::CSkinDialog()
{
    // This skin answers every non-client message itself.
    m_bBaseFrameHandling = false;
}

CSkinDialog::~CSkinDialog() = default;

bool CSkinDialog::IsFramed()
{
    const DWORD style = m_hWnd ? DWORD(GetWindowLongA(m_hWnd, GWL_STYLE)) : 0;
    return (style & WS_DLGFRAME) || (style & DS_MODALFRAME);
}

void CSkinDialog::ResizeToClient()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    AdjustWindowToClient(client.right, client.bottom);
}

BOOL CSkinDialog::Attach(HWND hwnd)
{
    if (!CSkinWindow::Attach(hwnd))
        return FALSE;
    m_dwAttachStyle = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    if ((m_dwAttachStyle & WS_CAPTION) != WS_CAPTION)
        m_bDrawCaptionText = 0;
    // The controls were laid out for the client area the system's frame left: the skinned
    // frame goes around the same client area.
    if (IsFramed() && GetWindowObject())
        ResizeToClient();
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

void CSkinDialog::Detach()
{
    HWND hwnd = m_hWnd;
    const bool framed = hwnd && !IsDestroyed() && IsFramed() && GetWindowObject();
    RECT client = {0, 0, 0, 0};
    if (framed)
        GetClientRect(hwnd, &client);
    m_background.Drop();
    CSkinWindow::Detach();
    if (!framed || !IsWindow(hwnd))
        return;
    // The system's frame comes back around the client area the skin had, so that nothing of
    // the dialog is cut off.
    RECT want = client;
    AdjustWindowRectEx(&want, DWORD(GetWindowLongA(hwnd, GWL_STYLE)), FALSE, DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CSkinObject* CSkinDialog::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinWindow::SetSkinObject(object);
    m_background.Drop();
    if (!m_hWnd || !GetWindowObject())
        return previous;
    if (IsFramed()) {
        ResizeToClient();
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    std::memset(m_lastSize, 0, sizeof m_lastSize);
    InvalidateRect(nullptr, nullptr, TRUE);
    RedrawWindow(m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME);
    return previous;
}

// ---- the window procedure ----------------------------------------------------------------------

LRESULT CSkinDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetSavedProc() || !GetWindowObject())
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    return IsFramed() ? FramedProc(msg, wParam, lParam) : FramelessProc(msg, wParam, lParam);
}

bool CSkinDialog::CommonMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_ERASEBKGND:
        if (!m_background.Erase(*this, reinterpret_cast<HDC>(wParam)))
            return false;
        *result = 1;
        return true;
    case WM_CTLCOLORSTATIC:
        *result = OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_SKIN_PAINTCHILDBACK:
        m_background.PaintUnderChild(*this, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        *result = 1;
        return true;
    case WM_SETTEXT:
        *result = CallAsPopup(msg, wParam, lParam);
        return true;
    default:
        return false;
    }
}

LRESULT CSkinDialog::FramelessProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (msg == WM_CTLCOLORDLG)
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    if (CommonMessage(msg, wParam, lParam, &result))
        return result;
    return CSkinWindow::WindowProc(msg, wParam, lParam);
}

LRESULT CSkinDialog::FramedProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ShowSkinSystemMenuOnRequest(m_hWnd, msg, wParam, lParam))
        return 0;
    switch (msg) {
    case WM_NCCALCSIZE:
        if (lParam)
            CalcFrameClientRect(reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NCPAINT:
        return OnNcPaint(wParam);
    case WM_NCHITTEST:
        return OnNcHitTest(lParam);
    case WM_NCACTIVATE:
        return CallAsPopup(msg, wParam, 0);
    case WM_ENABLE:
    case WM_SETICON:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        return CallWithoutSysMenu(msg, wParam, lParam, true);
    case WM_SETCURSOR:
        return CallWithoutSysMenu(msg, wParam, lParam, false);
    case WM_NCMOUSEMOVE:
        return OnNcMouseMove(wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        return OnNcButton(msg, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
        return OnNcLButtonDblClk(wParam, lParam);
    case WM_NCRBUTTONDOWN:
        // Only a caption element sees it (a system-menu button opens the menu).
        RelayMouseToElements(WM_RBUTTONDOWN, WindowPoint(lParam));
        return 0;
    case WM_NCRBUTTONUP:
        // Released over a caption button, the element had the click; elsewhere on the caption
        // the window system makes it a request for the system menu.
        if (RelayMouseToElements(WM_RBUTTONUP, WindowPoint(lParam)))
            return 0;
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_GETMINMAXINFO:
        return AnswerFrameMinMaxInfo(*this, reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_WINDOWPOSCHANGED:
        // The frame's shape follows a new size at once, not at the next paint: input that
        // comes first (a click on a window the desktop just restored) finds the window where
        // it shows. The move or size already asked for the repaint.
        if (UpdateFrameLayout(FALSE))
            m_background.Drop();
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    default:
        if (CommonMessage(msg, wParam, lParam, &result))
            return result;
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
}

POINT CSkinDialog::WindowPoint(LPARAM screenPoint)
{
    POINT pt{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToWindow(&pt);
    return pt;
}

LRESULT CSkinDialog::CallAsPopup(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, 0, WS_POPUP);
    if (IsWindow(hwnd) && m_hWnd)
        ::SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    return result;
}

LRESULT CSkinDialog::CallWithoutSysMenu(UINT msg, WPARAM wParam, LPARAM lParam, bool repaint)
{
    HWND hwnd = m_hWnd;
    const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
    if (repaint && IsWindow(hwnd) && m_hWnd)
        ::SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    return result;
}

LRESULT CSkinDialog::OnNcPaint(WPARAM update)
{
    PaintSkinnedFrame(update, m_background);
    return 0;
}

LRESULT CSkinDialog::OnNcHitTest(LPARAM lParam)
{
    RECT bounds;
    GetWindowBounds(&bounds);
    CalcFrameLayout(bounds.right, bounds.bottom);
    return HitTestFrame(WindowPoint(lParam));
}

LRESULT CSkinDialog::OnNcMouseMove(WPARAM hit, LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    const LRESULT result = CallWithoutSysMenu(WM_NCMOUSEMOVE, hit, lParam, false);
    if (IsWindow(hwnd) && m_hWnd && IsActiveCaption())
        RelayMouseToElements(WM_MOUSEMOVE, WindowPoint(lParam));
    return result;
}

LRESULT CSkinDialog::OnNcButton(UINT msg, WPARAM hit, LPARAM lParam)
{
    if (RelayMouseToElements(msg == WM_NCLBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP, WindowPoint(lParam)))
        return 0;
    // The system moves (or sizes) the dialog without drawing a caption of its own.
    if (m_hWnd && !IsZoomed())
        CallSavedWithStyle(msg, hit, lParam, WS_SYSMENU);
    return 0;
}

LRESULT CSkinDialog::OnNcLButtonDblClk(WPARAM hit, LPARAM lParam)
{
    // A double click that a caption button took is the button's alone: it neither maximises
    // nor restores the dialog as well.
    if (RelayMouseToElements(WM_LBUTTONDBLCLK, WindowPoint(lParam)) || hit != HTCAPTION || !m_hWnd)
        return 0;
    DoubleClickCaption(lParam, m_dwAttachStyle);
    return 0;
}

CSkinWindow* MakeDialogSkin() { return new CSkinDialog; }
