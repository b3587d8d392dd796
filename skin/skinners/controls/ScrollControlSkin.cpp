#include "ScrollControlSkin.h"

#include "ApiHook.h"
#include "ControlDraw.h"
#include "ScrollBarSkin.h"
#include "ScrollBarSkinRecord.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
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

BOOL CSkinScrollControl::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    const int os = skin::GetOsVersionClass();
    m_bFollowScrolling = os == 3 || os == 4;
    ::PostMessageA(hwnd, WM_SKIN_ATTACHSCROLLBARS, 0, 0);
    return TRUE;
}

void CSkinScrollControl::Detach()
{
    if (m_hWnd && m_bScrollBars)
        UninitializeSkinSB(m_hWnd);
    m_bScrollBars = FALSE;
    CSkinControlBase::Detach();
}

CSkinObject* CSkinScrollControl::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinControlBase::SetSkinObject(object);
    if (m_bScrollBars)
        SizeScrollBars();
    return previous;
}

void CSkinScrollControl::SizeScrollBars()
{
    CSkinFile* file = GetSkinFile();
    auto* bars = file ? dynamic_cast<CSkinScrollBarObject*>(file->FindObjectByType(SKIN_SCROLLBAR)) : nullptr;
    if (!bars || !m_hWnd)
        return;
    // A record without a picture to measure leaves the system's size (-1: one system metric).
    const int thickness = SkinHeight(bars->m_horizontal[0].arrow1.src);
    const int thumb = SkinWidth(bars->m_horizontal[0].thumb.src);
    for (int bar : {SB_HORZ, SB_VERT}) {
        SkinSB_SetSize(m_hWnd, bar, thickness > 0 ? thickness : -1, thickness > 0 ? thickness : -1);
        if (thumb > 0)
            SkinSB_SetMinThumbSize(m_hWnd, bar, thumb);
    }
}

void CSkinScrollControl::AttachScrollBars()
{
    CSkinFile* file = GetSkinFile();
    if (m_bScrollBars || !m_hWnd || !file || !file->FindObjectByType(SKIN_SCROLLBAR))
        return;  // without a ScrollBar object the control keeps the system's bars
    if (!InitializeSkinSB(m_hWnd))
        return;
    m_bScrollBars = TRUE;
    SkinSB_SetStyle(m_hWnd, SB_HORZ, 2);
    SkinSB_SetStyle(m_hWnd, SB_VERT, 2);
    SizeScrollBars();
}

BOOL CSkinScrollControl::SystemScrollInfo(HWND hwnd, int bar, SCROLLINFO& si)
{
    si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    using Fn = BOOL(WINAPI*)(HWND, int, LPSCROLLINFO);
    return reinterpret_cast<Fn>(skin::GetApiHookSystemFunction(skin::kHookGetScrollInfo))(hwnd, bar, &si);
}

void CSkinScrollControl::CopyBar(int bar)
{
    SCROLLINFO si;
    if (m_hWnd && m_bScrollBars && SystemScrollInfo(m_hWnd, bar, si))
        SkinSB_SetScrollInfoAndPaint(m_hWnd, bar, &si, TRUE);
}

void CSkinScrollControl::ResyncScrollBars()
{
    if (!m_hWnd || !m_bScrollBars)
        return;
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO skinned{sizeof skinned, SIF_ALL, 0, 0, 0, 0, 0}, real;
        if (!SkinSB_GetScrollInfo(m_hWnd, bar, &skinned) || !SystemScrollInfo(m_hWnd, bar, real))
            continue;
        if (skinned.nMin != real.nMin || skinned.nMax != real.nMax || skinned.nPos != real.nPos ||
            skinned.nPage != real.nPage)
            SkinSB_SetScrollInfoAndPaint(m_hWnd, bar, &real, TRUE);
        // A page that holds the whole range leaves nothing to scroll. Shown or hidden only on a
        // change: every change lays the frame out again, which sizes the control. (The
        // control's own bar styles say nothing here: the system sets them as it likes.)
        const bool wanted = real.nPage > 0 && skinsb::IsScrollable(real);
        const SkinSBRecord* rec = skinsb::RecordOf(m_hWnd);
        const bool shown = rec && (rec->bars[bar].flags & kSBShown);
        if (rec && wanted != shown) {
            SkinSB_ShowScrollBar(m_hWnd, bar, wanted ? TRUE : FALSE);
            if (!wanted)
                UpdateWindow(m_hWnd);
        }
    }
}

CSkinScrollControl::Follow CSkinScrollControl::FollowAfter(UINT msg, WPARAM, LPARAM) const
{
    return msg == WM_SIZE ? Follow::BothLater : Follow::None;
}

CSkinScrollControl::Follow CSkinScrollControl::ScrollingFollow(UINT msg, WPARAM wParam)
{
    switch (msg) {
    case WM_HSCROLL:
        return Follow::HorzBar;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
        return Follow::VertBar;
    case WM_SIZE:
    case WM_LBUTTONDBLCLK:
        return Follow::BothLater;
    case WM_KEYDOWN:
    case WM_KEYUP:
        switch (wParam) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_DELETE:
            return Follow::BothLater;
        default:
            return Follow::None;
        }
    default:
        return Follow::None;
    }
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
        // The whole frame once more, through every procedure of the chain: the parent covered
        // the skinned scroll bars inside the border as well.
        ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
    }
    return result;
}

LRESULT CSkinScrollControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        return OnPaintPassed(wParam, lParam);
    case WM_ERASEBKGND:
        return CSkinWindow::WindowProc(msg, wParam, lParam);  // the control paints itself
    case WM_NCPAINT:
        return OnNcPaint(wParam, lParam);
    case WM_SKIN_ATTACHSCROLLBARS:
        AttachScrollBars();
        return 0;
    case WM_SKIN_SYNCSCROLL:
        ResyncScrollBars();
        return 0;
    default:
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CSkinScrollControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const Follow follow = m_bFollowScrolling ? FollowAfter(msg, wParam, lParam) : Follow::None;
    const LRESULT result = Dispatch(msg, wParam, lParam);
    switch (follow) {
    case Follow::HorzBar:
        CopyBar(SB_HORZ);
        break;
    case Follow::VertBar:
        CopyBar(SB_VERT);
        break;
    case Follow::BothLater:
        if (m_hWnd && m_bScrollBars)
            ::PostMessageA(m_hWnd, WM_SKIN_SYNCSCROLL, 0, 0);
        break;
    case Follow::None:
        break;
    }
    return result;
}

// IP-address controls take the base as it stands: their four fields are edits of their own.
CSkinWindow* MakeScrollControlSkinner(int type, CSkinWindow* owner) { return new CSkinScrollControl(owner, type); }
