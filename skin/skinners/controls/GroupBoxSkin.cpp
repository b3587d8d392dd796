#include "GroupBoxSkin.h"

#include <algorithm>
#include <cstring>

#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

CSkinGroupBox::CSkinGroupBox(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

BOOL CSkinGroupBox::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    AddTransparentStyle();
    RepaintParentUnder(nullptr);
    return TRUE;
}

RECT CSkinGroupBox::CalcCaptionRect(const char* text)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    auto* g = dynamic_cast<CSkinGroupBoxObject*>(m_pSkinObject);
    const SkinNineGrid empty{};
    const SkinNineGrid& caption = g ? g->m_caption : empty;
    SIZE extent{0, 0};
    if (HDC dc = GetDC(m_hWnd)) {
        HFONT font = GetControlFont();
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        const char* measured = text && text[0] ? text : "A";
        GetTextExtentPoint32A(dc, measured, int(std::strlen(measured)), &extent);
        if (old)
            SelectObject(dc, old);
        ::ReleaseDC(m_hWnd, dc);
    }
    const int width = extent.cx + caption.marginLeft + caption.marginRight;
    const int height = extent.cy + caption.marginTop + caption.marginBottom;
    RECT rc{0, client.top, 0, client.top + height};
    const DWORD align = StyleOf(m_hWnd) & BS_CENTER;
    if (align == BS_CENTER) {
        rc.left = client.left + (client.right - client.left - width) / 2;
        rc.right = rc.left + width;
    } else if (align == BS_RIGHT) {
        rc.right = client.right - 4;
        rc.left = std::max<LONG>(rc.right - width, client.left + 2);
    } else {
        rc.left = client.left + 4;
        rc.right = std::min<LONG>(rc.left + width, client.right - 2);
    }
    return rc;
}

void CSkinGroupBox::PaintParentPart(HDC dc, const RECT& part)
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    CSkinMemDC surface(dc, client.right, client.bottom);
    if (!surface.IsValid())
        return;
    DrawParentBackground(surface);
    BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, surface, part.left, part.top,
           SRCCOPY);
}

void CSkinGroupBox::Draw(HDC dc)
{
    auto* g = dynamic_cast<CSkinGroupBoxObject*>(m_pSkinObject);
    if (!g || !m_hWnd)
        return;
    char text[201] = {};
    GetWindowTextA(m_hWnd, text, sizeof text);
    RECT caption = CalcCaptionRect(text);
    RECT frame;
    GetClientRect(m_hWnd, &frame);
    frame.top = caption.top + (caption.bottom - caption.top) / 2;
    if (m_bEraseCaption) {
        PaintParentPart(dc, m_rcCaption);
        m_bEraseCaption = FALSE;
    }
    m_rcCaption = caption;
    const bool mirror = IsMirrored(m_hWnd);
    DrawSkinImageFrame(g->GetOwner(), dc, frame, g->m_background, g->m_crBack, 0, mirror);
    if (!text[0])
        return;
    // The second loose value is the see-through caption flag, the first the caption's colour.
    if (g->m_nGroupValue2)
        PaintParentPart(dc, caption);
    else
        DrawSkinImagePart(g->GetOwner(), dc, caption, g->m_caption, COLORREF(g->m_nGroupValue1), 1, mirror);
    caption.left += g->m_caption.marginLeft;
    caption.top += g->m_caption.marginTop;
    caption.right -= g->m_caption.marginRight;
    caption.bottom -= g->m_caption.marginBottom;
    HFONT font = GetControlFont();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawSkinTextStyle(dc, g->m_style, caption, text, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, mode);
    if (old)
        SelectObject(dc, old);
}

void CSkinGroupBox::OnPaint()
{
    PaintIntoPaintDc();
    RedrawControlsInside();
}

void CSkinGroupBox::RedrawControlsInside()
{
    // The controls the frame holds lie after it in z-order and paint over it.
    RECT mine;
    ::GetWindowRect(m_hWnd, &mine);
    for (HWND sibling = GetWindow(m_hWnd, GW_HWNDNEXT); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if ((StyleOf(sibling) & WS_GROUP) || !IsWindowVisible(sibling))
            continue;
        RECT theirs, both;
        ::GetWindowRect(sibling, &theirs);
        if (IntersectRect(&both, &mine, &theirs))
            RedrawWindow(sibling, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

LRESULT CSkinGroupBox::OnSetText(WPARAM wParam, LPARAM lParam)
{
    char old[201] = {};
    GetWindowTextA(m_hWnd, old, sizeof old);
    const char* text = reinterpret_cast<const char*>(lParam);
    const bool shorter = std::strlen(text ? text : "") < std::strlen(old);
    const RECT oldCaption = shorter ? CalcCaptionRect(old) : RECT{};
    const LRESULT result = CallSavedHidden(WM_SETTEXT, wParam, lParam);
    if (!shorter) {
        const RECT caption = CalcCaptionRect(text);
        InvalidateRect(m_hWnd, &caption, TRUE);
        UpdateWindow(m_hWnd);
        return result;
    }
    // What the old caption covered is the parent's again.
    RepaintParentUnder(&oldCaption);
    InvalidateRect(m_hWnd, &oldCaption, TRUE);
    UpdateWindow(m_hWnd);
    return result;
}

LRESULT CSkinGroupBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ENABLE: {
        const LRESULT result = CallSavedHidden(msg, wParam, lParam);
        RepaintNow(TRUE);
        return result;
    }
    case WM_SETTEXT:
        return OnSetText(wParam, lParam);
    case WM_SETFONT: {
        const LRESULT result = CallSavedHidden(msg, wParam, lParam);
        m_bEraseCaption = TRUE;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return result;
    }
    default:
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
}

CSkinWindow* MakeGroupBoxSkinner(int type, CSkinWindow* owner) { return new CSkinGroupBox(owner, type); }
