// The skinned tooltip window: timers, placement, the frame and the markup painting.
#include "SkinTooltip.h"

#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinMonitors.h"
#include "SkinObject.h"
#include "SkinTooltipPaint.h"

namespace {

const char kThisProp[] = "this";

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Both corners inside by the window system's point rule: right and bottom edges excluded.
bool RectContainsRect(const RECT& outer, const RECT& inner)
{
    const POINT a{inner.left, inner.top}, b{inner.right, inner.bottom};
    return PtInRect(&outer, a) && PtInRect(&outer, b);
}

RECT WorkAreaNear(POINT pt)
{
    RECT work;
    if (GetMonitorRectOfPoint(pt.x, pt.y, &work, TRUE)) return work;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

const char CSkinTooltip::kClassName[] = "QuorventaTooltip32";

CSkinTooltip::CSkinTooltip()
{
    // The built-in look draws its one-pixel frame in the object's first colour, black.
    m_defaultObject.m_crActiveFill = 0;
    m_defaultObject.m_crInactiveFill = 0;
    m_pSkinObject = &m_defaultObject;
}

CSkinTooltip::~CSkinTooltip()
{
    // Gone before the element base's destructor asks the elements' tooltip about its owner.
    if (GetSkinElementTooltip() == this)
        SetSkinElementTooltip(nullptr);
    Destroy();
}

BOOL CSkinTooltip::Create(HWND parent)
{
    if (m_hWnd) return TRUE;
    CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                    m_renderer.GetInstanceHandle(), this);
    return m_hWnd != nullptr;
}

void CSkinTooltip::Destroy()
{
    if (m_bHearsSkinChanges && m_hWnd) RemoveSkinChangeNotify(m_hWnd);
    m_bHearsSkinChanges = false;
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void CSkinTooltip::SetInstanceHandle(HINSTANCE instance) { m_renderer.SetInstanceHandle(instance); }

CSkinTooltipObject* CSkinTooltip::GetTooltipObject()
{
    auto* object = dynamic_cast<CSkinTooltipObject*>(m_pSkinObject);
    return object ? object : &m_defaultObject;
}

CSkinObject* CSkinTooltip::SetSkinObject(CSkinObject* object)
{
    // Elements call from their own threads; the object is read where the tip paints.
    CSkinObject* result = nullptr;
    OnWindowThread([&] { result = TakeSkinObject(object); });
    return result;
}

CSkinObject* CSkinTooltip::TakeSkinObject(CSkinObject* object)
{
    auto* tip = object && object->GetType() == SKIN_TOOLTIP ? dynamic_cast<CSkinTooltipObject*>(object) : nullptr;
    if (!tip) {
        // The built-in look comes with the default style sheet, not the last skin's.
        if (m_pSkinObject != &m_defaultObject) m_renderer.SetStyleSheet(nullptr);
        CSkinWindow::SetSkinObject(&m_defaultObject);
        return nullptr;
    }
    m_renderer.SetStyleSheet(tip->GetStyleSheet());
    CSkinObject* previous = CSkinWindow::SetSkinObject(tip);
    if (tip->GetOwner()) HearSkinChanges();
    return previous;
}

// The engine frees a skin file once another is applied, and the tooltip is no window of the
// manager's that it would hand the new object: it asks for the change notice itself.
void CSkinTooltip::HearSkinChanges()
{
    if (m_bHearsSkinChanges || !m_hWnd) return;
    m_bRegisteringNotice = true;
    m_bHearsSkinChanges = SetSkinChangeNotify(m_hWnd, WM_SKIN_CHANGED) != FALSE;
    m_bRegisteringNotice = false;
}

// Sent while the old file still exists: the object of the same name in the new skin, else its
// first Tooltip object, else the built-in one. A tip shown in the old look goes.
void CSkinTooltip::OnSkinChanged()
{
    CSkinObject* current = m_pSkinObject;
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    if (m_bRegisteringNotice || current == &m_defaultObject || !current || current->GetOwner() == file) return;
    CSkinObject* next = file ? file->FindObject(current->GetName()) : nullptr;
    if (!next || next->GetType() != SKIN_TOOLTIP) next = file ? file->FindObjectByType(SKIN_TOOLTIP) : nullptr;
    TakeSkinObject(next);
    if (m_hWnd && IsWindowVisible(m_hWnd)) Hide();
}

// ---- showing and hiding -----------------------------------------------------------------------------

void CSkinTooltip::OnWindowThread(const std::function<void()>& fn)
{
    if (!m_hWnd || !SkinRunOnWindowThread(m_hWnd, fn)) fn();
}

void CSkinTooltip::SetAnchor(const POINT* point)
{
    if (point)
        m_anchor = *point;
    else
        GetCursorPos(&m_anchor);
}

void CSkinTooltip::ShowDelayed(const char* text, const POINT* point)
{
    const std::string copy = text ? text : "";
    const POINT at = point ? *point : POINT{};
    OnWindowThread([this, copy, at, point] {
        SetAnchor(point ? &at : nullptr);
        Hide();
        m_strText = copy;
        if (!m_strText.empty() && m_hWnd) SetTimer(m_hWnd, kShowTimer, GetTooltipObject()->m_nShowDelay, nullptr);
    });
}

void CSkinTooltip::ShowAt(const char* text, const POINT* point)
{
    if (!text) return;
    const std::string copy = text;
    const POINT at = point ? *point : POINT{};
    OnWindowThread([this, copy, at, point] {
        m_strText = copy;
        SetAnchor(point ? &at : nullptr);
        ShowNow();
    });
}

void CSkinTooltip::Hide()
{
    if (!m_hWnd) return;
    OnWindowThread([this] {
        ::ShowWindow(m_hWnd, SW_HIDE);
        KillTimer(m_hWnd, kShowTimer);
        KillTimer(m_hWnd, kHideTimer);
        m_bTracking = FALSE;
    });
}

void CSkinTooltip::ShowNow()
{
    Hide();
    if (!m_hWnd) return;
    const SIZE size = MeasureText();
    const RECT rc = CalcPlacement(size);
    SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, Width(rc), Height(rc),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    InvalidateRect(m_hWnd, nullptr, FALSE);  // a new text in an unchanged size
    SetTimer(m_hWnd, kHideTimer, GetTooltipObject()->m_nHideDelay, nullptr);
}

SIZE CSkinTooltip::MeasureText()
{
    return MeasureTooltipWindow(m_hWnd, m_renderer, *GetTooltipObject(), m_strText.c_str());
}

// ---- placement -----------------------------------------------------------------------------------

RECT CSkinTooltip::PlaceTooltipRect(POINT p, SIZE s, int mode)
{
    LONG left, top;
    switch (mode) {
    case 1: left = p.x - s.cx / 2; top = p.y + 22; break;
    case 2: left = p.x - 2 - s.cx; top = p.y + 22; break;
    case 3: left = p.x + 2; top = p.y - s.cy / 2; break;
    case 4: left = p.x - 2 - s.cx; top = p.y - s.cy / 2; break;
    case 5: left = p.x + 2; top = p.y - 2 - s.cy; break;
    case 6: left = p.x - s.cx / 2; top = p.y - 2 - s.cy; break;
    case 7: left = p.x - 2 - s.cx; top = p.y - 2 - s.cy; break;
    default: left = p.x + 2; top = p.y + 22; break;
    }
    return RECT{left, top, left + s.cx, top + s.cy};
}

RECT CSkinTooltip::FindFittingPlacement(SIZE size, const RECT& work)
{
    for (int mode = 0; mode <= 7; ++mode) {
        const RECT rc = PlaceTooltipRect(m_anchor, size, mode);
        if (RectContainsRect(work, rc)) return rc;
    }
    return PlaceTooltipRect(m_anchor, size, 7);
}

RECT CSkinTooltip::CalcPlacement(SIZE size)
{
    const RECT rc = PlaceTooltipRect(m_anchor, size, int(GetTooltipObject()->m_nPlacement));
    const RECT work = WorkAreaNear(m_anchor);
    return RectContainsRect(work, rc) ? rc : FindFittingPlacement(size, work);
}

// ---- the window procedure -------------------------------------------------------------------------

LRESULT CALLBACK CSkinTooltip::TooltipWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* tip = cs ? static_cast<CSkinTooltip*>(cs->lpCreateParams) : nullptr;
        if (tip) {
            SetPropA(hwnd, kThisProp, tip);
            tip->m_hWnd = hwnd;
        }
    }
    if (auto* tip = static_cast<CSkinTooltip*>(GetPropA(hwnd, kThisProp)))
        return tip->WindowProc(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CSkinTooltip::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (SkinHandleThreadJob(msg, lParam)) return 0;
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCCALCSIZE: return OnNcCalcSize(wParam, lParam);
    case WM_NCPAINT: OnNcPaint(); return 0;
    case WM_TIMER: OnTimer(wParam); break;
    case WM_MOUSEMOVE: OnMouseMove(); break;
    case WM_MOUSELEAVE: Hide(); break;
    case WM_SKIN_CHANGED: OnSkinChanged(); return 0;
    case WM_NCDESTROY: {
        HWND hwnd = m_hWnd;
        RemovePropA(hwnd, kThisProp);
        m_hWnd = nullptr;
        m_bTracking = FALSE;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    default: break;
    }
    return CSkinWindow::WindowProc(msg, wParam, lParam);
}

void CSkinTooltip::OnPaint() { PaintTooltipBody(m_hWnd, *GetTooltipObject(), m_renderer, m_strText.c_str()); }

LRESULT CSkinTooltip::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    return CalcTooltipClientRect(*this, *GetTooltipObject(), wParam, lParam);
}

void CSkinTooltip::OnNcPaint() { PaintTooltipFrame(*this, &m_lastRegionRect); }

void CSkinTooltip::OnTimer(UINT_PTR id)
{
    if (id == kHideTimer) {
        Hide();
        return;
    }
    if (id != kShowTimer) return;
    GetCursorPos(&m_anchor);
    if (m_pOwner) m_strText = m_pOwner->GetTooltipText();
    // With no text yet the timer stays and asks again at its next tick.
    if (!m_strText.empty()) ShowNow();
}

void CSkinTooltip::OnMouseMove()
{
    if (m_bTracking) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&tme);
    m_bTracking = TRUE;
}
