#include "SliderSkin.h"

#include <commctrl.h>

#include <vector>

#include "ControlDraw.h"
#include "SkinDraw.h"
#include "SkinObjectTypes.h"

CSkinSlider::CSkinSlider(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

CSkinSliderObject* CSkinSlider::SliderObject() const { return dynamic_cast<CSkinSliderObject*>(m_pSkinObject); }

BOOL CSkinSlider::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    ChangeStyleBits(GWL_STYLE, TBS_BOTH, 0);
    return TRUE;
}

RECT CSkinSlider::GetThumbRect() const
{
    RECT r{};
    if (m_hWnd)
        ::SendMessageA(m_hWnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

RECT CSkinSlider::GetChannelRect() const
{
    RECT r{};
    if (m_hWnd)
        ::SendMessageA(m_hWnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool CSkinSlider::IsTransparent() const
{
    CSkinSliderObject* o = SliderObject();
    return o && o->m_nSliderValue != 0;
}

// ---- painting ---------------------------------------------------------------------------------------

namespace {

// The skin has no disabled pictures for a slider: a disabled one fades what `draw` paints into
// the rectangle (its grey, halfway to white), so that it reads disabled like the controls
// around it. Pixels the drawing left alone (a keyed picture's corners) keep their colour.
template <typename Draw>
void DrawFadedWhenDisabled(HDC dc, const RECT& r, bool disabled, Draw draw)
{
    if (!disabled || IsRectEmpty(&r)) {
        draw();
        return;
    }
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<COLORREF> under(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            under[size_t(y) * size_t(w) + size_t(x)] = GetPixel(dc, r.left + x, r.top + y);
    draw();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(dc, r.left + x, r.top + y);
            if (c == CLR_INVALID || c == under[size_t(y) * size_t(w) + size_t(x)])
                continue;
            int v = int(0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c));
            v += (255 - v) / 2;
            SetPixel(dc, r.left + x, r.top + y, RGB(v, v, v));
        }
}

}  // namespace

void CSkinSlider::DrawTrack(HDC dc, const CSkinSliderObject& o, const RECT& all, bool withBackground)
{
    const bool mirror = IsMirrored(m_hWnd);
    if (withBackground)
        DrawSkinImagePart(o.GetOwner(), dc, all, o.m_background, GetSysColor(COLOR_BTNFACE), 1, mirror);
    // The channel's rounded ends are key-coloured in its picture: what lies under it shows there.
    const RECT channel = GetChannelRect();
    if (!IsRectEmpty(&channel) && !IsGridPartEmpty(o.m_channel))
        DrawFadedWhenDisabled(dc, channel, !IsWindowEnabled(m_hWnd), [&] {
            DrawSkinImagePartTransparent(o.GetOwner(), dc, channel, o.m_channel, m_crKey, mirror);
        });
}

void CSkinSlider::DrawThumb(HDC dc, const CSkinSliderObject& o, bool vertical)
{
    if (StyleOf(m_hWnd) & TBS_NOTHUMB)
        return;
    const RECT thumb = GetThumbRect();
    if (IsRectEmpty(&thumb))
        return;
    if (!vertical || !IsGridPartEmpty(o.m_verticalThumb)) {
        const SkinNineGrid& grid = vertical ? o.m_verticalThumb : o.m_thumb;
        DrawSkinImagePartTransparent(o.GetOwner(), dc, thumb, grid, m_crKey, IsMirrored(m_hWnd));
        return;
    }
    // No picture of its own: the horizontal thumb, laid out lying down and stood up.
    if (!IsGridPartEmpty(o.m_thumb))
        ctldraw::DrawGridTurned(o.GetOwner(), dc, thumb, o.m_thumb, m_crKey, 3, true, m_crKey);
}

void CSkinSlider::Draw(HDC dc)
{
    CSkinSliderObject* o = SliderObject();
    if (!o || !m_hWnd)
        return;
    const RECT r = ClientRect(m_hWnd);
    const bool vertical = (StyleOf(m_hWnd) & TBS_VERT) != 0;
    const bool transparent = IsTransparent();
    if (transparent)
        DrawParentBackground(dc);
    if (!vertical) {
        DrawTrack(dc, *o, r, !transparent);
    } else {
        // The parent's background lies as it is; only the skin's pictures are laid out lying
        // down and stood up (a quarter turn anticlockwise), keyed over it when transparent.
        ctldraw::DrawTurned(dc, r, 3, GetSysColor(COLOR_BTNFACE), transparent, m_crKey,
                            [&](HDC layout, const RECT& all) { DrawTrack(layout, *o, all, !transparent); });
    }
    DrawFadedWhenDisabled(dc, GetThumbRect(), !IsWindowEnabled(m_hWnd), [&] { DrawThumb(dc, *o, vertical); });
    // The control marks the keyboard focus around its whole client; the skin keeps that mark.
    if (GetFocus() == m_hWnd) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &r);
    }
}

// ---- messages -----------------------------------------------------------------------------------------

LRESULT CSkinSlider::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON)
            break;  // a drag: the control repaints as the thumb moves
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = CSkinControlBase::WindowProc(msg, wParam, lParam);
        RepaintNow(FALSE);
        return result;
    }
    default:
        break;
    }
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeSliderSkinner(int type, CSkinWindow* owner) { return new CSkinSlider(owner, type); }
