#include "ScrollControlSkin.h"

#include "ControlDraw.h"
#include "SkinObjectTypes.h"

HBRUSH CSkinColorBrush::Get(COLORREF color)
{
    if (m_hBrush && m_crColor == color)
        return m_hBrush;
    Reset();
    m_hBrush = CreateSolidBrush(color);
    m_crColor = color;
    return m_hBrush;
}

void CSkinColorBrush::Reset()
{
    if (m_hBrush)
        DeleteObject(m_hBrush);
    m_hBrush = nullptr;
}

CSkinScrollControl::CSkinScrollControl(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

CSkinScrollControlObject* CSkinScrollControl::ScrollObject() const
{
    return dynamic_cast<CSkinScrollControlObject*>(m_pSkinObject);
}

COLORREF CSkinScrollControl::BackColor() const
{
    CSkinScrollControlObject* o = ScrollObject();
    return o ? o->m_crBack : GetSysColor(COLOR_WINDOW);
}

COLORREF CSkinScrollControl::TextColor() const
{
    CSkinScrollControlObject* o = ScrollObject();
    return o ? o->m_crText : GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF CSkinScrollControl::ReadOnlyColor() const
{
    CSkinScrollControlObject* o = ScrollObject();
    return o ? COLORREF(o->m_nThird) : GetSysColor(COLOR_BTNFACE);
}

LRESULT CSkinScrollControl::OnNcPaint(WPARAM wParam, LPARAM lParam)
{
    CSkinScrollControlObject* o = ScrollObject();
    if (!o || !ctldraw::PaintSkinBorder(*this, o->GetOwner(), wParam, o->m_background, o->m_crBack, true))
        return CSkinWindow::WindowProc(WM_NCPAINT, wParam, lParam);
    // A parent still to paint covers the border again; the control's next paint, which comes
    // after the parent's, draws it once more.
    m_bBorderCovered = ParentIsToPaint();
    return 0;
}

LRESULT CSkinScrollControl::OnPaintPassed(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CSkinWindow::WindowProc(WM_PAINT, wParam, lParam);
    CSkinScrollControlObject* o = ScrollObject();
    if (m_bBorderCovered && m_hWnd && o && !ParentIsToPaint()) {
        m_bBorderCovered = false;
        ctldraw::DrawSkinBorder(*this, o->GetOwner(), o->m_background, o->m_crBack, true);
    }
    return result;
}

LRESULT CSkinScrollControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        return OnPaintPassed(wParam, lParam);
    case WM_ERASEBKGND:
        return CSkinWindow::WindowProc(msg, wParam, lParam);  // the control paints itself
    case WM_NCPAINT:
        return OnNcPaint(wParam, lParam);
    default:
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
}
