#include "ProgressSkin.h"

#include <commctrl.h>

#include <algorithm>

#include "ControlDraw.h"
#include "SkinDraw.h"
#include "SkinGeometry.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

// The record's three values: the colour behind everything, the colour under the bar, the mode.
COLORREF BackColor(const CSkinProgressBarObject& o) { return COLORREF(o.m_values[0]); }
COLORREF BarColor(const CSkinProgressBarObject& o) { return COLORREF(o.m_values[1]); }
DWORD ModeOf(const CSkinProgressBarObject& o) { return o.m_values[2]; }

int Clamp(long long value, int a, int b)
{
    return int(std::clamp<long long>(value, std::min(a, b), std::max(a, b)));
}

RECT WindowBounds(HWND hwnd)
{
    RECT wr{};
    ::GetWindowRect(hwnd, &wr);
    return RECT{0, 0, wr.right - wr.left, wr.bottom - wr.top};
}

}  // namespace

CSkinProgressBar::CSkinProgressBar(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

CSkinProgressBarObject* CSkinProgressBar::ProgressObject() const
{
    return dynamic_cast<CSkinProgressBarObject*>(m_pSkinObject);
}

BOOL CSkinProgressBar::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    // A control being created has its state set after this: it is taken at its next turn.
    ::PostMessageA(hwnd, WM_SKIN_PROGRESSSTATE, 0, 0);
    return TRUE;
}

void CSkinProgressBar::TakeOver()
{
    if (m_bActive || !m_hWnd)
        return;
    PBRANGE range{};
    CallSaved(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    m_state.minimum = range.iLow;
    m_state.maximum = range.iHigh;
    m_state.position = int(CallSaved(PBM_GETPOS, 0, 0));
    // Setting a step answers the one it replaces; the control gets its own back at once, so
    // neither its position nor its look changes on the way.
    m_state.step = int(CallSaved(PBM_SETSTEP, 1, 0));
    CallSaved(PBM_SETSTEP, WPARAM(m_state.step), 0);
    m_bActive = TRUE;
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RepaintNow(TRUE);
}

void CSkinProgressBar::Detach()
{
    if (m_hWnd && m_bActive) {
        CallSaved(PBM_SETRANGE32, WPARAM(m_state.minimum), LPARAM(m_state.maximum));
        CallSaved(PBM_SETPOS, WPARAM(m_state.position), 0);
        CallSaved(PBM_SETSTEP, WPARAM(m_state.step), 0);
    }
    m_bActive = FALSE;
    CSkinControlBase::Detach();
}

CSkinProgressBar::State CSkinProgressBar::GetState()
{
    if (m_bActive || !m_hWnd)
        return m_state;
    State s;
    PBRANGE range{};
    CallSaved(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    s.minimum = range.iLow;
    s.maximum = range.iHigh;
    s.position = int(CallSaved(PBM_GETPOS, 0, 0));
    return s;
}

int CSkinProgressBar::FillLength(const State& s, int length)
{
    const double span = double(s.maximum) - double(s.minimum);
    if (span <= 0 || length <= 0)
        return 0;
    const double fill = (double(s.position) - double(s.minimum)) * length / span;
    return int(std::clamp(fill, 0.0, double(length)));
}

// ---- painting ---------------------------------------------------------------------------------------

void CSkinProgressBar::DrawFill(HDC dc, const CSkinProgressBarObject& o, const RECT& rc, int fill)
{
    CSkinFile* file = o.GetOwner();
    const RECT filled{rc.left, rc.top, rc.left + fill, rc.bottom};
    const int chunk = SkinWidth(o.m_bar.src);
    DWORD mode = ModeOf(o);
    if (mode == BAR_CHUNKS && (chunk <= 0 || IsGridPartEmpty(o.m_bar)))
        mode = BAR_STRETCH;  // no width to step by
    if (mode == BAR_REVEAL) {
        CSkinMemDC bar(dc, rc.right - rc.left, rc.bottom - rc.top);
        if (!bar.IsValid())
            return;
        const RECT all{0, 0, rc.right - rc.left, rc.bottom - rc.top};
        DrawSkinImagePart(file, bar, all, o.m_bar, BarColor(o), 1, false);
        HBITMAP picture = bar.DetachBitmap();
        TransparentBitBlt(dc, rc.left, rc.top, fill, all.bottom, picture, 0, 0, m_crKey);
        DeleteObject(picture);
    } else if (mode == BAR_CHUNKS) {
        for (int x = 0; x + chunk <= fill; x += chunk) {
            const RECT piece{rc.left + x, rc.top, rc.left + x + chunk, rc.bottom};
            DrawSkinImagePartTransparent(file, dc, piece, o.m_bar, m_crKey, false);
        }
    } else if (IsGridPartEmpty(o.m_bar)) {
        FillSolidRect(dc, filled, BarColor(o));
    } else {
        DrawSkinImagePartTransparent(file, dc, filled, o.m_bar, m_crKey, false);
    }
}

void CSkinProgressBar::DrawBar(HDC dc, const CSkinProgressBarObject& o, const RECT& rc, const State& s)
{
    DrawSkinImagePart(o.GetOwner(), dc, rc, o.m_background, BackColor(o), 1, false);
    const int fill = FillLength(s, rc.right - rc.left);
    if (fill > 0)
        DrawFill(dc, o, rc, fill);
}

void CSkinProgressBar::Draw(HDC dc)
{
    CSkinProgressBarObject* o = ProgressObject();
    if (!o || !m_hWnd)
        return;
    const State s = GetState();
    const RECT bounds = WindowBounds(m_hWnd);
    CSkinMemDC whole(dc, bounds.right, bounds.bottom);
    if (!whole.IsValid())
        return;
    if (StyleOf(m_hWnd) & PBS_VERTICAL)
        ctldraw::DrawTurned(whole, bounds, 3, BackColor(*o), false, 0,
                            [&](HDC layout, const RECT& all) { DrawBar(layout, *o, all, s); });
    else
        DrawBar(whole, *o, bounds, s);
    // The client area lies in the middle of the window.
    const RECT client = ClientRect(m_hWnd);
    const int dx = (bounds.right - client.right) / 2, dy = (bounds.bottom - client.bottom) / 2;
    BitBlt(dc, 0, 0, client.right, client.bottom, whole, dx, dy, SRCCOPY);
}

void CSkinProgressBar::OnNcPaint()
{
    CSkinProgressBarObject* o = ProgressObject();
    const RECT bounds = WindowBounds(m_hWnd);
    const RECT client = ClientRect(m_hWnd);
    const int mx = (bounds.right - client.right) / 2, my = (bounds.bottom - client.bottom) / 2;
    if (!o || (mx <= 0 && my <= 0))
        return;
    if (HDC dc = GetWindowDC()) {
        DrawSkinImageFrameEx(o->GetOwner(), dc, bounds, o->m_background, mx, my, mx, my, BackColor(*o), 1, false);
        ReleaseDC(dc);
    }
}

// ---- messages -----------------------------------------------------------------------------------------

LRESULT CSkinProgressBar::SetRange(int minimum, int maximum)
{
    const LRESULT old = MAKELONG(WORD(m_state.minimum), WORD(m_state.maximum));
    m_state.minimum = minimum;
    m_state.maximum = maximum;
    m_state.position = Clamp(m_state.position, minimum, maximum);
    RepaintNow(TRUE);
    return old;
}

LRESULT CSkinProgressBar::MoveTo(long long position)
{
    const int old = m_state.position;
    // Every move stays inside the range, stepping and moving by a delta included.
    m_state.position = Clamp(position, m_state.minimum, m_state.maximum);
    RepaintNow(TRUE);
    return old;
}

bool CSkinProgressBar::OnProgressMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case PBM_SETRANGE: *result = SetRange(LOWORD(lParam), HIWORD(lParam)); return true;
    case PBM_SETRANGE32: *result = SetRange(int(wParam), int(lParam)); return true;
    case PBM_SETPOS: *result = MoveTo(int(wParam)); return true;
    case PBM_DELTAPOS: *result = MoveTo((long long)m_state.position + int(wParam)); return true;
    case PBM_STEPIT: *result = MoveTo((long long)m_state.position + m_state.step); return true;
    case PBM_SETSTEP:
        *result = m_state.step;
        m_state.step = int(wParam);
        return true;
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
            range->iLow = m_state.minimum;
            range->iHigh = m_state.maximum;
        }
        *result = wParam ? m_state.minimum : m_state.maximum;
        return true;
    case PBM_GETPOS: *result = m_state.position; return true;
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR: *result = LRESULT(CLR_DEFAULT); return true;
    case WM_SKIN_SAVEFONT: *result = 0; return true;
    case WM_NCPAINT:
        OnNcPaint();
        *result = 0;
        return true;
    default: return false;
    }
}

LRESULT CSkinProgressBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SKIN_PROGRESSSTATE) {
        TakeOver();
        return 0;
    }
    LRESULT result = 0;
    if (m_bActive && OnProgressMessage(msg, wParam, lParam, &result))
        return result;
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

CSkinWindow* MakeProgressBarSkinner(int type, CSkinWindow* owner) { return new CSkinProgressBar(owner, type); }
