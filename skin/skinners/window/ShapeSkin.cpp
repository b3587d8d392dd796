#include "ShapeSkin.h"

#include "FrameSupport.h"
#include "SkinDraw.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinObjectTypes.h"

namespace {

constexpr DWORD kStripStyle = WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX;
constexpr DWORD kKeepStyle = WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kType45Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                               WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

}  // namespace

// ---- the frameless base --------------------------------------------------------------------------

CSkinFramelessBase::CSkinFramelessBase()
{
    // The frame is painted in the client area; the non-client area is the system's (and empty).
    m_bBaseFrameHandling = false;
}

CSkinFramelessBase::~CSkinFramelessBase() = default;

void CSkinFramelessBase::SetSurface(std::unique_ptr<CSkinMemDC> surface)
{
    m_surfaceLife.Cut();
    m_pSurface = std::move(surface);
}

void CSkinFramelessBase::SaveStyles(HWND hwnd)
{
    m_dwSavedStyle = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    m_dwSavedExStyle = DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE));
}

void CSkinFramelessBase::RestoreStyles(HWND hwnd)
{
    SetWindowLongA(hwnd, GWL_STYLE, LONG(m_dwSavedStyle));
    SetWindowLongA(hwnd, GWL_EXSTYLE, LONG(m_dwSavedExStyle));
}

BOOL CSkinFramelessBase::Attach(HWND hwnd)
{
    // Attached already: the saved styles are that window's and stay so.
    if (!IsWindow(hwnd) || m_hWnd)
        return FALSE;
    SaveStyles(hwnd);
    SetWindowLongA(hwnd, GWL_STYLE, LONG((m_dwSavedStyle & ~kStripStyle) | kKeepStyle));
    if (!CSkinWindow::Attach(hwnd)) {
        // A window left without its frame and without a skin would have neither.
        RestoreStyles(hwnd);
        return FALSE;
    }
    ApplyShape();
    return TRUE;
}

void CSkinFramelessBase::Detach()
{
    HWND hwnd = m_hWnd;
    const bool alive = hwnd && !IsDestroyed();
    if (alive)
        RestoreStyles(hwnd);
    SetSurface(nullptr);
    CSkinWindow::Detach();
    if (alive && IsWindow(hwnd))
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

CSkinObject* CSkinFramelessBase::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinWindow::SetSkinObject(object);
    if (m_hWnd) {
        SetSurface(nullptr);
        ApplyShape();
    }
    return previous;
}

void CSkinFramelessBase::InvalidateFrameRect(const RECT* rc)
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, rc, TRUE);
}

CSkinMemDC* CSkinFramelessBase::Surface()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!m_pSurface || m_surfaceSize.cx != client.right || m_surfaceSize.cy != client.bottom)
        BuildSurface(client.right, client.bottom);
    return m_pSurface && m_pSurface->IsValid() ? m_pSurface.get() : nullptr;
}

POINT CSkinFramelessBase::ClientPoint(LPARAM screenPoint)
{
    POINT pt{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(m_hWnd, &pt);
    return pt;
}

LRESULT CSkinFramelessBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetSavedProc() || !GetSkinObject())
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (CSkinMemDC* surface = Surface())
            BitBlt(dc, 0, 0, m_surfaceSize.cx, m_surfaceSize.cy, *surface, 0, 0, SRCCOPY);
        DrawElements(dc);
        return 1;
    }
    case WM_NCHITTEST: {
        const POINT pt = ClientPoint(lParam);
        if (RelayMouseToElements(WM_NCHITTEST, pt))
            return HTCLIENT;
        return HitTest(pt.x, pt.y);
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        if (RelayMouseToElements(msg, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 1;
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SKIN_PAINTCHILDBACK:
        if (CSkinMemDC* surface = Surface())
            DrawChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), *surface);
        return 1;
    default:
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
}

// ---- the shaped window ---------------------------------------------------------------------------

CSkinShapeWnd::CSkinShapeWnd() = default;
CSkinShapeWnd::~CSkinShapeWnd() = default;

CSkinShapeWndObject* CSkinShapeWnd::ShapeObject() const
{
    return dynamic_cast<CSkinShapeWndObject*>(m_pSkinObject);
}

SIZE CSkinShapeWnd::ShapeSize() const
{
    CSkinShapeWndObject* o = ShapeObject();
    return o ? SkinSize(SkinClampRect(o->m_shape.src)) : SIZE{0, 0};
}

BOOL CSkinShapeWnd::Attach(HWND hwnd)
{
    if (!CSkinFramelessBase::Attach(hwnd))
        return FALSE;
    m_bCaptionDrag = (m_dwSavedStyle & WS_CAPTION) == WS_CAPTION;
    return TRUE;
}

LRESULT CSkinShapeWnd::HitTest(int, int) { return m_bCaptionDrag ? HTCAPTION : HTCLIENT; }

void CSkinShapeWnd::BuildSurface(int width, int height)
{
    CSkinShapeWndObject* o = ShapeObject();
    HDC windowDC = ::GetWindowDC(m_hWnd);
    SetSurface(std::make_unique<CSkinMemDC>(windowDC, width, height));
    ::ReleaseDC(m_hWnd, windowDC);
    m_surfaceSize = SIZE{width, height};
    if (o && m_pSurface->IsValid())
        DrawSkinImage(o->GetOwner(), *m_pSurface, RECT{0, 0, width, height}, o->m_shape, GetSysColor(COLOR_BTNFACE), 1,
                      false);
}

HRGN CSkinShapeWnd::CreateWindowRegion()
{
    CSkinShapeWndObject* o = ShapeObject();
    if (!o)
        return nullptr;
    const SIZE size = ShapeSize();
    HRGN region = ::CreateSkinImageRegion(o->GetOwner(), o->m_shape, RECT{0, 0, size.cx, size.cy}, m_crKey);
    for (CSkinElement* e : m_elements) {
        auto* element = dynamic_cast<ISkinFrameElement*>(e);
        if (!element || !region || e->GetObjectType() != SKIN_CAPTIONSTATIC)
            continue;
        element->Layout(0, 0, size.cx, size.cy);
        element->CombineRegion(region);
    }
    return region;
}

void CSkinShapeWnd::ApplyShape()
{
    CSkinShapeWndObject* o = ShapeObject();
    CSkinFile* file = o ? o->GetOwner() : nullptr;
    if (!m_hWnd || !o || !file || IsImagePartEmpty(o->m_shape) || !file->FindImage(o->m_shape.name))
        return;
    const SIZE size = ShapeSize();
    BuildSurface(size.cx, size.cy);
    const BYTE alpha = o->m_nByte;
    DWORD ex = o->m_values[1] ? (m_dwSavedExStyle & ~DWORD(WS_EX_TOOLWINDOW)) : DWORD(WS_EX_TOOLWINDOW);
    if (alpha < 255)
        ex |= WS_EX_LAYERED;
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, LONG(ex));
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    HRGN region = CreateWindowRegion();
    // The window owns the region from now on and frees the one it replaces.
    SetWindowRgn(m_hWnd, region, TRUE);
    m_hRegion = region;
    if (alpha < 255)
        if (SkinEngine::SetLayeredWindowAttributesFn layered = SkinEngine::GetLayeredWindowAttributes())
            layered(m_hWnd, o->m_values[0], alpha, LWA_COLORKEY | LWA_ALPHA);
}

// ---- the type-45 window -------------------------------------------------------------------------------

CSkinType45Wnd::CSkinType45Wnd() = default;
CSkinType45Wnd::~CSkinType45Wnd() = default;

BOOL CSkinType45Wnd::Attach(HWND hwnd)
{
    if (!IsWindow(hwnd) || m_hWnd)
        return FALSE;
    SaveStyles(hwnd);
    SetWindowLongA(hwnd, GWL_STYLE, LONG(m_dwSavedStyle | kType45Style));
    if (!CSkinWindow::Attach(hwnd)) {
        RestoreStyles(hwnd);
        return FALSE;
    }
    // The client area is the whole window from now on, whatever its size.
    UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED;
    RECT bounds = {0, 0, 0, 0};
    if (auto* w = GetWindowObject(); w && w->GetType() == SKIN_TYPE45)
        bounds = SkinClampRect(w->GetFrameBounds());
    else
        flags |= SWP_NOSIZE;
    SetWindowPos(hwnd, nullptr, 0, 0, bounds.right, bounds.bottom, flags);
    ApplyShape();
    return TRUE;
}

void CSkinType45Wnd::ApplyShape()
{
    if (!m_hWnd || !GetWindowObject())
        return;
    RECT bounds;
    GetWindowBounds(&bounds);
    CalcFrameLayout(bounds.right, bounds.bottom);
    HRGN region = CreateWindowRegion();
    SetWindowRgn(m_hWnd, region, TRUE);
    m_hRegion = region;
}

void CSkinType45Wnd::BuildSurface(int width, int height)
{
    HDC windowDC = ::GetWindowDC(m_hWnd);
    SetSurface(std::make_unique<CSkinMemDC>(windowDC, width, height));
    ::ReleaseDC(m_hWnd, windowDC);
    m_surfaceSize = SIZE{width, height};
    if (!m_pSurface->IsValid())
        return;
    CalcFrameLayout(width, height);
    const BOOL active = IsActiveCaption();
    DrawFrame(*m_pSurface, active);
    DrawFramePart(*m_pSurface, 4, active, false);
}

LRESULT CSkinType45Wnd::HitTest(int x, int y)
{
    RECT bounds;
    GetWindowBounds(&bounds);
    CalcFrameLayout(bounds.right, bounds.bottom);
    const POINT pt = {x, y};
    const LRESULT element = HitTestCaptionElements(pt);
    if (IsZoomed()) {
        if (element == HTCAPTION || IsInShownFramePart(0, pt) || IsInShownFramePart(1, pt) || IsInShownFramePart(2, pt))
            return HTCAPTION;
        return IsInShownFramePart(4, pt) ? HTCLIENT : HTNOWHERE;
    }
    if (element)
        return element;
    return HitTestFrameParts(pt, true, HTERROR);
}

void CSkinType45Wnd::GetMargins(RECT* margins) const
{
    auto* w = dynamic_cast<CSkinWindowObject*>(m_pSkinObject);
    if (!margins)
        return;
    if (!w) {
        SetRectEmpty(margins);
        return;
    }
    const RECT b = w->GetFrameBounds(), c = w->m_frameRects[4];
    *margins = RECT{c.left, c.top, SkinSub(b.right, c.right), SkinSub(b.bottom, c.bottom)};
}

void CSkinType45Wnd::RedrawCaptionBand()
{
    RECT band;
    GetClientRect(m_hWnd, &band);
    band.bottom = std::min<LONG>(band.bottom, GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION));
    RedrawWindow(m_hWnd, &band, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CSkinType45Wnd::OnSize(WPARAM wParam, LPARAM lParam)
{
    const int width = LOWORD(lParam), height = HIWORD(lParam);
    CalcFrameLayout(width, height);
    LayoutChildren(width, height);
    const LRESULT result = CSkinFramelessBase::WindowProc(WM_SIZE, wParam, lParam);
    ApplyShape();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return result;
}

LRESULT CSkinType45Wnd::OnPaint()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    CalcFrameLayout(client.right, client.bottom);
    if (IsSizeChanged() || !m_pSurface) {
        ::GetWindowRect(m_hWnd, reinterpret_cast<RECT*>(m_lastSize));
        BuildSurface(client.right, client.bottom);
    }
    PAINTSTRUCT ps;
    HWND hwnd = m_hWnd;  // the paint ends on this window even if the skin leaves it meanwhile
    HDC dc = BeginPaint(hwnd, &ps);
    if (m_pSurface && m_pSurface->IsValid()) {
        const BOOL active = IsActiveCaption();
        DrawFrame(*m_pSurface, active);
        DrawFramePart(*m_pSurface, 4, active, false);
        DrawElements(*m_pSurface);
        // The program draws its own content into the client part of the surface.
        RECT clientPart = m_frameParts[4];
        // The program may re-apply or remove the skin meanwhile; the surface then went with it.
        if (m_surfaceLife.Send(m_hWnd, WM_SKIN_DRAWCLIENT, reinterpret_cast<WPARAM>(HDC(*m_pSurface)),
                               reinterpret_cast<LPARAM>(&clientPart)))
            BitBlt(dc, 0, 0, m_surfaceSize.cx, m_surfaceSize.cy, *m_pSurface, 0, 0, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT CSkinType45Wnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetSavedProc() || !GetWindowObject())
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    switch (msg) {
    case WM_NCCALCSIZE:
        if (wParam)
            return 0;
        break;
    case WM_SIZE:
        return OnSize(wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return 1;
    case WM_NCACTIVATE: {
        const bool visible = IsWindowVisible(m_hWnd) != 0;
        if (visible)
            ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
        const LRESULT result = CSkinFramelessBase::WindowProc(msg, wParam, lParam);
        if (visible && m_hWnd)
            ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
        if (m_hWnd)
            RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_SETCURSOR:
        return CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
    case WM_INITMENU:
    case WM_INITMENUPOPUP: {
        const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
        RedrawCaptionBand();
        return result;
    }
    case WM_NCLBUTTONDBLCLK: {
        const LRESULT result = CallSavedWithStyle(msg, wParam, lParam, 0, WS_POPUP);
        if (m_hWnd)
            RedrawCaptionBand();
        return result;
    }
    case WM_GETMINMAXINFO:
        return AnswerFrameMinMaxInfo(*this, reinterpret_cast<MINMAXINFO*>(lParam));
    default:
        break;
    }
    return CSkinFramelessBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeShapeSkin() { return new CSkinShapeWnd; }
CSkinWindow* MakeType45Skin() { return new CSkinType45Wnd; }
