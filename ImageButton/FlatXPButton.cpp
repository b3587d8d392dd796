#include "FlatXPButton.h"

CFlatXPButton::CFlatXPButton() : m_bRoundCorners(FALSE) {}
CFlatXPButton::~CFlatXPButton() = default;

void CFlatXPButton::SetRounded(BOOL bRoundCorners, BOOL bRepaint) {
    m_bRoundCorners = bRoundCorners;
    if (bRepaint && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

DWORD CFlatXPButton::OnDrawBorder(CDC*, CRect*) { return RESULT_OK; }

DWORD CFlatXPButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    if (!m_bHovering && !m_bPressed) return CImageButton::OnDrawBackground(pDC, pRect);
    HDC dc = pDC->GetSafeHdc();
    HBRUSH brush = ::CreateSolidBrush(m_crState[HOVER_FACE]);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ old_brush = ::SelectObject(dc, brush), old_pen = ::SelectObject(dc, pen);
    const CRect& r = *pRect;
    if (m_bRoundCorners)
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
    else
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
    return RESULT_OK;
}
