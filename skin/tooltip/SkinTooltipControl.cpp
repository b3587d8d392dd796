// The tooltip-control skinner: the look of the engine's tooltip on the platform's control.
#include "SkinTooltipControl.h"

#include <commctrl.h>

#include "SkinMonitors.h"
#include "SkinObjectTypes.h"
#include "SkinTooltipPaint.h"

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Moves the rectangle as little as it takes to lie inside the work area.
void KeepInside(RECT* rc, const RECT& work)
{
    if (rc->right > work.right) OffsetRect(rc, work.right - rc->right, 0);
    if (rc->bottom > work.bottom) OffsetRect(rc, 0, work.bottom - rc->bottom);
    if (rc->left < work.left) OffsetRect(rc, work.left - rc->left, 0);
    if (rc->top < work.top) OffsetRect(rc, 0, work.top - rc->top);
}

// Where a tip that the control placed as `asked` goes at its skinned size: a centred tip stays
// centred under its tool, a tip above the cursor grows upwards, and the tip stays inside the work
// area. A tip its program tracks at absolute points stays where it was put.
RECT PlaceSkinnedTip(const RECT& asked, SIZE size, UINT toolFlags)
{
    RECT rc{asked.left, asked.top, asked.left + size.cx, asked.top + size.cy};
    if ((toolFlags & TTF_TRACK) && (toolFlags & TTF_ABSOLUTE)) return rc;
    if (toolFlags & TTF_CENTERTIP) OffsetRect(&rc, -(size.cx - Width(asked)) / 2, 0);
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!(toolFlags & TTF_TRACK) && asked.bottom <= cursor.y) OffsetRect(&rc, 0, -(size.cy - Height(asked)));
    RECT work;
    if (GetMonitorRectOfPoint(asked.left, asked.top, &work, TRUE)) KeepInside(&rc, work);
    return rc;
}

}  // namespace

std::string TooltipTextAsMarkup(const std::string& text, bool prefix, bool multiline)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (prefix && c == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        if (c == '\r') continue;
        if (!multiline && (c == '\n' || c == '\t')) c = ' ';
        // The renderer reads "<<" as a plain '<'; '>' and '&' are plain outside tags.
        if (c == '<') out += '<';
        out += c;
    }
    return out;
}

CSkinWindow* MakeTooltipControlSkinner(int, CSkinWindow*) { return new CSkinTooltipControl; }

CSkinTooltipObject* CSkinTooltipControl::GetTooltipObject() const
{
    return dynamic_cast<CSkinTooltipObject*>(m_pSkinObject);
}

CSkinObject* CSkinTooltipControl::SetSkinObject(CSkinObject* object)
{
    auto* tip = dynamic_cast<CSkinTooltipObject*>(object);
    m_renderer.SetStyleSheet(tip ? tip->GetStyleSheet() : nullptr);
    m_lastRegionRect = RECT{0, 0, 0, 0};  // another look may shape the window otherwise
    // The base asks for the frame again, which sizes a tip on show for the new look.
    return CSkinWindow::SetSkinObject(object);
}

void CSkinTooltipControl::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd && !IsDestroyed()) SetWindowRgn(hwnd, nullptr, FALSE);
    m_lastRegionRect = RECT{0, 0, 0, 0};
    CSkinWindow::Detach();
    // A tip on show takes the control's own size and look again.
    if (hwnd && IsWindowVisible(hwnd)) ::SendMessageA(hwnd, TTM_UPDATE, 0, 0);
}

LRESULT CSkinTooltipControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    CSkinTooltipObject* object = GetTooltipObject();
    if (!object || !m_pfnSaved) return CSkinWindow::WindowProc(msg, wParam, lParam);
    switch (msg) {
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return CallSaved(msg, wParam, lParam);
    case WM_NCCALCSIZE: return CalcTooltipClientRect(*this, *object, wParam, lParam);
    case WM_NCPAINT: PaintTooltipFrame(*this, &m_lastRegionRect); return 0;
    case WM_NCHITTEST: return CallSaved(msg, wParam, lParam);  // the mouse goes through a tip
    case WM_PAINT: PaintTooltipBody(m_hWnd, *object, m_renderer, m_strMarkup.c_str()); return 0;
    case WM_ERASEBKGND: return 1;
    default: return CSkinWindow::WindowProc(msg, wParam, lParam);
    }
}

bool CSkinTooltipControl::ReadShownTip(std::string* markup, UINT* toolFlags)
{
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    if (!CallSaved(TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) return false;
    char text[1024] = {};
    ti.lpszText = text;
    CallSaved(TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    const DWORD style = DWORD(GetWindowLongA(m_hWnd, GWL_STYLE));
    const bool multiline = int(CallSaved(TTM_GETMAXTIPWIDTH, 0, 0)) >= 0;
    *markup = TooltipTextAsMarkup(text, !(style & TTS_NOPREFIX), multiline);
    *toolFlags = ti.uFlags;
    return true;
}

// The control measured its text in its own font and margins: the window takes the look's.
void CSkinTooltipControl::OnWindowPosChanging(WINDOWPOS* wp)
{
    UINT toolFlags = 0;
    if (!wp || !ReadShownTip(&m_strMarkup, &toolFlags)) return;
    RECT now;
    ::GetWindowRect(m_hWnd, &now);
    const POINT at = wp->flags & SWP_NOMOVE ? POINT{now.left, now.top} : POINT{wp->x, wp->y};
    const SIZE asked = wp->flags & SWP_NOSIZE ? SIZE{Width(now), Height(now)} : SIZE{wp->cx, wp->cy};
    const SIZE size = MeasureTooltipWindow(m_hWnd, m_renderer, *GetTooltipObject(), m_strMarkup.c_str());
    const RECT rc = PlaceSkinnedTip(RECT{at.x, at.y, at.x + asked.cx, at.y + asked.cy}, size, toolFlags);
    wp->x = rc.left;
    wp->y = rc.top;
    wp->cx = Width(rc);
    wp->cy = Height(rc);
    if (rc.left != now.left || rc.top != now.top) wp->flags &= ~UINT(SWP_NOMOVE);
    if (Width(rc) != Width(now) || Height(rc) != Height(now)) wp->flags &= ~UINT(SWP_NOSIZE);
    // The text may be new in an unchanged size.
    InvalidateRect(m_hWnd, nullptr, FALSE);
}
