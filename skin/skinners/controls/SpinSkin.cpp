// The spin control skinner: state tracking from the mouse and the two halves' images.
#include "SpinSkin.h"

#include <commctrl.h>

#include <algorithm>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

enum { IMAGE_NORMAL = 0, IMAGE_HOT, IMAGE_PRESSED, IMAGE_DISABLED };

bool BothEmpty(const SkinSpinState& s) { return s.parts[0].IsEmpty() && s.parts[1].IsEmpty(); }

// The half of a width x height drawing: top and bottom, or left and right.
RECT HalfRect(int width, int height, bool horizontal, int half)
{
    if (horizontal) {
        const int mid = width / 2;
        return half == 0 ? RECT{0, 0, mid, height} : RECT{mid, 0, width, height};
    }
    const int mid = height / 2;
    return half == 0 ? RECT{0, 0, width, mid} : RECT{0, mid, width, height};
}

}  // namespace

CSkinSpin::CSkinSpin(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

bool CSkinSpin::IsHorizontal() const { return (StyleOf(m_hWnd) & UDS_HORZ) != 0; }

int CSkinSpin::HalfAt(POINT p) const
{
    const RECT rc = ClientRect(m_hWnd);
    if (!PtInRect(&rc, p))
        return -1;
    const bool horizontal = IsHorizontal();
    const RECT first = HalfRect(rc.right, rc.bottom, horizontal, 0);
    return PtInRect(&first, p) ? 0 : 1;
}

void CSkinSpin::SetState(int state)
{
    if (state == m_nState)
        return;
    m_nState = state;
    RepaintNow(FALSE);
}

void CSkinSpin::OnMouseLeave()
{
    CSkinControlBase::OnMouseLeave();
    SetState(STATE_NONE);
}

LRESULT CSkinSpin::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_MOUSEMOVE: {
        const int half = HalfAt(p);
        const bool down = (wParam & MK_LBUTTON) != 0;
        SetState(half < 0 ? STATE_NONE
                          : down ? (half == 0 ? STATE_UP_PRESSED : STATE_DOWN_PRESSED)
                                 : (half == 0 ? STATE_UP_HOT : STATE_DOWN_HOT));
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int half = HalfAt(p);
        if (half >= 0)
            SetState(half == 0 ? STATE_UP_PRESSED : STATE_DOWN_PRESSED);
        break;
    }
    case WM_LBUTTONUP: {
        const int half = HalfAt(p);
        SetState(half < 0 ? STATE_NONE : half == 0 ? STATE_UP_HOT : STATE_DOWN_HOT);
        break;
    }
    default:
        break;
    }
    // The system control counts, captures and repeats as it always does.
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

void CSkinSpin::DrawHalves(HDC dc, int width, int height, bool horizontal, const SkinSpinState* set)
{
    CSkinFile* file = GetSkinFile();
    const bool enabled = IsWindowEnabled(m_hWnd) != FALSE;
    for (int half = 0; half < 2; ++half) {
        int look = IMAGE_NORMAL;
        if (!enabled)
            look = IMAGE_DISABLED;
        else if (m_nState == (half == 0 ? STATE_UP_PRESSED : STATE_DOWN_PRESSED))
            look = IMAGE_PRESSED;
        else if (m_nState == (half == 0 ? STATE_UP_HOT : STATE_DOWN_HOT))
            look = IMAGE_HOT;
        SkinImagePart part = set[look].parts[half];
        if (part.IsEmpty())
            part = set[IMAGE_NORMAL].parts[half];
        if (part.IsEmpty())
            continue;
        // Clipped at the image's own size from the half's corner.
        const RECT area = HalfRect(width, height, horizontal, half);
        const RECT rc{area.left, area.top, area.left + std::min<LONG>(area.right - area.left, part.src.right - part.src.left),
                      area.top + std::min<LONG>(area.bottom - area.top, part.src.bottom - part.src.top)};
        part.mode = 0;
        DrawSkinImage(file, dc, rc, part, GetSysColor(COLOR_BTNFACE), 0, false);
    }
}

// A horizontal control drawn from the vertical images: the drawing is made at the swapped size
// and turned a quarter counter-clockwise (270 degrees clockwise), so the top half comes left.
void CSkinSpin::DrawTurned(HDC dc, int width, int height, const SkinSpinState* set)
{
    CSkinMemDC upright(dc, height, width);
    if (!upright.IsValid())
        return;
    RECT all{0, 0, height, width};
    FillRect(upright, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawHalves(upright, height, width, false, set);
    HBITMAP bitmap = upright.DetachBitmap();
    CRasterImage image;
    if (image.CreateFromHBITMAP(bitmap) && image.RotateLeft())
        image.Draw(dc, 0, 0, width, height);
    DeleteObject(bitmap);
}

void CSkinSpin::Draw(HDC dc)
{
    auto* object = dynamic_cast<CSkinSpinObject*>(m_pSkinObject);
    const RECT rc = ClientRect(m_hWnd);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (!object)
        return;
    if (!IsHorizontal())
        DrawHalves(dc, rc.right, rc.bottom, false, object->m_states);
    else if (!BothEmpty(object->m_states2[IMAGE_NORMAL]))
        DrawHalves(dc, rc.right, rc.bottom, true, object->m_states2);
    else
        DrawTurned(dc, rc.right, rc.bottom, object->m_states);
}

CSkinWindow* MakeSpinSkinner(int type, CSkinWindow* owner) { return new CSkinSpin(owner, type); }
