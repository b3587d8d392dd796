#include "SkinMemDC.h"

CSkinMemDC::CSkinMemDC(HDC hdc, int width, int height)
{
    HDC screen = hdc ? nullptr : GetDC(nullptr);
    HDC model = hdc ? hdc : screen;
    m_hDC = CreateCompatibleDC(model);
    // A zero-sized bitmap cannot be made; keep at least one pixel so the DC stays usable.
    m_hBitmap = CreateCompatibleBitmap(model, width > 0 ? width : 1, height > 0 ? height : 1);
    if (m_hDC && m_hBitmap)
        m_hOldBitmap = SelectObject(m_hDC, m_hBitmap);
    if (screen)
        ReleaseDC(nullptr, screen);
}

CSkinMemDC::~CSkinMemDC()
{
    if (m_hDC && m_hOldBitmap)
        SelectObject(m_hDC, m_hOldBitmap);
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
    if (m_hDC)
        DeleteDC(m_hDC);
}

HBITMAP CSkinMemDC::DetachBitmap()
{
    if (m_hDC && m_hOldBitmap)
        SelectObject(m_hDC, m_hOldBitmap);
    if (m_hDC)
        DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_hOldBitmap = nullptr;
    HBITMAP bitmap = m_hBitmap;
    m_hBitmap = nullptr;
    return bitmap;
}
