#include "FrameSupport.h"

#include <algorithm>

#include "SkinDraw.h"
#include "SkinGeometry.h"
#include "SkinMemDC.h"
#include "SkinMonitors.h"
#include "SkinObject.h"
#include "SkinWindow.h"

CSkinClientBackground::CSkinClientBackground() = default;
CSkinClientBackground::~CSkinClientBackground() = default;

void CSkinClientBackground::Drop()
{
    m_pSurface.reset();
    m_size = SIZE{0, 0};
    m_bStretched = false;
}

CSkinMemDC* CSkinClientBackground::Get(CSkinWindow& skin)
{
    auto* w = dynamic_cast<CSkinWindowObject*>(skin.GetSkinObject());
    HWND hwnd = skin.GetHwnd();
    if (!w || !hwnd)
        return nullptr;
    RECT client;
    GetClientRect(hwnd, &client);
    // Kept by the client size of its own: the frame's size record belongs to the frame paint.
    if (m_pSurface && m_size.cx == client.right && m_size.cy == client.bottom)
        return m_pSurface.get();
    HDC windowDC = GetWindowDC(hwnd);
    m_pSurface = std::make_unique<CSkinMemDC>(windowDC, client.right, client.bottom);
    ReleaseDC(hwnd, windowDC);
    m_size = SIZE{client.right, client.bottom};
    if (m_pSurface->IsValid())
        DrawSkinImage(w->GetOwner(), *m_pSurface, client, w->m_parts[4], w->m_crBackground, 1, false);
    m_bStretched = w->m_parts[4].mode == 2;
    return m_pSurface.get();
}

bool CSkinClientBackground::Erase(CSkinWindow& skin, HDC hdc)
{
    auto* w = dynamic_cast<CSkinWindowObject*>(skin.GetSkinObject());
    if (!w || !w->m_bClientBackground || !hdc)
        return false;
    CSkinMemDC* surface = Get(skin);
    if (!surface || !surface->IsValid())
        return false;
    if (m_bStretched) {
        // Every pixel of a stretched background moved with the new size, not only the part
        // the size change uncovered.
        m_bStretched = false;
        RedrawWindow(skin.GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
        return true;
    }
    RECT rc = {0, 0, m_size.cx, m_size.cy}, clip;
    if (GetClipBox(hdc, &clip) != NULLREGION && !IsRectEmpty(&clip))
        IntersectRect(&rc, &rc, &clip);
    BitBlt(hdc, rc.left, rc.top, SkinWidth(rc), SkinHeight(rc), *surface, rc.left, rc.top, SRCCOPY);
    return true;
}

void CSkinClientBackground::PaintUnderChild(CSkinWindow& skin, HDC childDC, HWND child)
{
    if (CSkinMemDC* surface = Get(skin))
        if (surface->IsValid())
            skin.DrawChildBackground(childDC, child, *surface);
}

LRESULT AnswerFrameMinMaxInfo(CSkinWindow& skin, MINMAXINFO* info)
{
    auto* w = dynamic_cast<CSkinWindowObject*>(skin.GetSkinObject());
    if (!info || !w)
        return skin.CallSaved(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
    MINMAXINFO own = *info;
    RECT work;
    if (GetMonitorRectOfWindow(skin.GetHwnd(), &work, TRUE)) {
        own.ptMaxPosition = POINT{work.left, work.top};
        own.ptMaxSize = POINT{SkinWidth(work), SkinHeight(work)};
    }
    const RECT* f = w->m_frameRects;
    own.ptMinTrackSize.x = std::max(SkinAdd(SkinWidth(f[0]), SkinWidth(f[2])), SkinAdd(SkinWidth(f[6]), SkinWidth(f[8]))) + 2;
    own.ptMinTrackSize.y = SkinAdd(SkinHeight(f[0]), SkinHeight(f[6])) + 2;
    MINMAXINFO theirs = *info;
    skin.CallSaved(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&theirs));
    own.ptMaxTrackSize.x = std::min(own.ptMaxTrackSize.x, theirs.ptMaxTrackSize.x);
    own.ptMaxTrackSize.y = std::min(own.ptMaxTrackSize.y, theirs.ptMaxTrackSize.y);
    own.ptMinTrackSize.x = std::max(own.ptMinTrackSize.x, theirs.ptMinTrackSize.x);
    own.ptMinTrackSize.y = std::max(own.ptMinTrackSize.y, theirs.ptMinTrackSize.y);
    // A damaged skin's frame never asks for more than the largest size a window may have.
    own.ptMinTrackSize.x = std::min(own.ptMinTrackSize.x, own.ptMaxTrackSize.x);
    own.ptMinTrackSize.y = std::min(own.ptMinTrackSize.y, own.ptMaxTrackSize.y);
    *info = own;
    return 0;
}

void CSkinFramedWindow::PaintSkinnedFrame(WPARAM update, CSkinClientBackground& background)
{
    if (UpdateFrameLayout(TRUE)) {
        background.Drop();
        ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        UpdateWindow(m_hWnd);
        return;
    }
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    PaintFrameSurface(dc, update > 1 ? reinterpret_cast<HRGN>(update) : nullptr);
    ::ReleaseDC(m_hWnd, dc);
}

void CSkinFramedWindow::DoubleClickCaption(LPARAM screenPoint, DWORD attachStyle)
{
    if (IsIconic())
        ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, screenPoint);
    else if (IsSizable() && (attachStyle & WS_MAXIMIZEBOX))
        ::SendMessageA(m_hWnd, WM_SYSCOMMAND, IsZoomed() ? SC_RESTORE : SC_MAXIMIZE, screenPoint);
    else
        CallSaved(WM_NCLBUTTONDBLCLK, HTCAPTION, screenPoint);
}
