#include "FlatXPButton.h"

CFlatXPButton::CFlatXPButton() : m_bRounded(FALSE) {}
CFlatXPButton::~CFlatXPButton() = default;

void CFlatXPButton::SetRounded(BOOL bRounded, BOOL bRepaint) {
    m_bRounded = bRounded;
    if (bRepaint && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

DWORD CFlatXPButton::OnDrawBorder(CDC*, CRect*) { return BTNST_OK; }

DWORD CFlatXPButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    if (!m_bMouseOnButton && !m_bIsPressed) return CImageButton::OnDrawBackground(pDC, pRect);
    HDC dc = pDC->GetSafeHdc();
    HBRUSH brush = ::CreateSolidBrush(m_crColors[BTNST_COLOR_BK_IN]);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ old_brush = ::SelectObject(dc, brush), old_pen = ::SelectObject(dc, pen);
    const CRect& r = *pRect;
    if (m_bRounded)
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
    else
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
    return BTNST_OK;
}
