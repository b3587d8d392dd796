#include <set>

#include "FrameElements.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"
#include "SystemMenu.h"

namespace {

// The hover timers' cells that are alive: a timer message that was already on its way when its
// button went finds its cell gone and does nothing.
std::set<CSkinCaptionButton**>& LiveTimerCells()
{
    static std::set<CSkinCaptionButton**> cells;
    return cells;
}

}  // namespace

CSkinCaptionButton::CSkinCaptionButton(int left, int top, int right, int bottom, CSkinWindow* host,
                                       CSkinObject* object)
    : CSkinArea(left, top, right, bottom, host, object)
{
    BuildShape();
}

CSkinCaptionButton::~CSkinCaptionButton()
{
    StopHoverTimer();
    if (m_hShapeRgn)
        DeleteObject(m_hShapeRgn);
}

CSkinCaptionButtonObject* CSkinCaptionButton::ButtonObject() const
{
    return dynamic_cast<CSkinCaptionButtonObject*>(m_pSkinObject);
}

DWORD CSkinCaptionButton::Action() const
{
    CSkinCaptionButtonObject* o = ButtonObject();
    return o ? o->m_nAction : CSkinCaptionButtonObject::ACTION_COMMAND;
}

bool CSkinCaptionButton::IsSticky() const
{
    CSkinCaptionButtonObject* o = ButtonObject();
    return o && o->m_bSticky;
}

CSkinObject* CSkinCaptionButton::SetSkinObject(CSkinObject* object)
{
    if (object)
        SetName(object->GetName());
    CSkinObject* previous = CSkinArea::SetSkinObject(object);
    BuildShape();
    return previous;
}

void CSkinCaptionButton::BuildShape()
{
    if (m_hShapeRgn) {
        DeleteObject(m_hShapeRgn);
        m_hShapeRgn = nullptr;
    }
    CSkinCaptionButtonObject* o = ButtonObject();
    CSkinFile* file = o ? o->GetOwner() : nullptr;
    auto* app = file ? static_cast<CSkinApplicationObject*>(file->FindObjectByType(SKIN_APPLICATION)) : nullptr;
    m_crTransparent = app ? app->GetKeyColor() : 0xFF00FF;
    m_bShaped = app && app->m_bTransparent;
    if (!m_bShaped)
        return;
    // The first look that has a picture gives the shape: hover, pressed, then normal.
    for (const SkinImagePart* part : {&o->m_states[0], &o->m_states[1], &o->m_image}) {
        SkinImageCacheEntry cut;
        o->GetImagePart(*part, cut);
        const bool found = cut.image != nullptr;
        if (found) {
            m_hShapeRgn = cut.region;  // without the key colour, from the picture's corner
            cut.region = nullptr;
        }
        CSkinObject::ReleaseImagePart(cut);
        if (found)
            return;
    }
}

BOOL CSkinCaptionButton::HitTest(int x, int y)
{
    // A hidden button is not there to be clicked.
    if (!m_bEnabled || !IsVisible() || !PtInRect(&m_rc, POINT{x, y}))
        return FALSE;
    return !m_hShapeRgn || PtInRegion(m_hShapeRgn, x - m_rc.left, y - m_rc.top);
}

// ---- looks ------------------------------------------------------------------------------------

void CSkinCaptionButton::Draw(HDC hdc) { DrawState(hdc, m_nShownState); }

void CSkinCaptionButton::DrawState(HDC hdc, int state)
{
    CSkinCaptionButtonObject* o = ButtonObject();
    if (!o)
        return;
    const RECT rc = ShownRect();
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (o->m_nAction == CSkinCaptionButtonObject::ACTION_SYSMENU) {
        DrawWindowIcon(hdc, hwnd, rc);
        return;
    }
    // Only the part the DC shows is copied and drawn: a damaged skin's button may be far larger
    // than its window, and a copy of all of it would cost its whole area at every paint.
    const RECT shown = SkinVisiblePart(hdc, rc);
    const int w = SkinWidth(shown), h = SkinHeight(shown);
    if (w <= 0 || h <= 0)
        return;
    const SkinImagePart* look = !m_bEnabled ? &o->m_states[2]
                                : state == STATE_HOVER ? &o->m_states[0]
                                : state == STATE_PRESSED ? &o->m_states[1]
                                                         : &o->m_image;
    // A look the skin left out shows the normal one rather than nothing.
    if (IsImagePartEmpty(*look))
        look = &o->m_image;
    CSkinMemDC mem(hdc, w, h);
    if (!mem.IsValid())
        return;
    BitBlt(mem, 0, 0, w, h, hdc, shown.left, shown.top, SRCCOPY);
    DrawSkinImageTransparent(o->GetOwner(), mem, SkinOffsetRect(rc, -shown.left, -shown.top), *look, m_crTransparent,
                             IsLayoutRTL(hwnd));
    BitBlt(hdc, shown.left, shown.top, w, h, mem, 0, 0, SRCCOPY);
}

void CSkinCaptionButton::ShowState(int state)
{
    if (m_nShownState == state)
        return;
    m_nShownState = state;
    if (IsVisible())
        Redraw();
}

void CSkinCaptionButton::ChangeState(int state)
{
    m_nState = state;
    ShowState(state);
}

BOOL CSkinCaptionButton::SetState(int state)
{
    if (state < 0 || state > 3)
        return FALSE;
    m_nState = state;
    m_nShownState = state;
    Redraw();
    return TRUE;
}

// ---- hover ------------------------------------------------------------------------------------

void CSkinCaptionButton::StartHoverTimer()
{
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (m_pHoverTimer || !hwnd)
        return;
    auto cell = std::make_unique<CSkinCaptionButton*>(this);
    if (!SetTimer(hwnd, reinterpret_cast<UINT_PTR>(cell.get()), kHoverInterval, &HoverTimerProc))
        return;
    LiveTimerCells().insert(cell.get());
    m_hTimerWindow = hwnd;
    m_pHoverTimer = std::move(cell);
}

void CSkinCaptionButton::StopHoverTimer()
{
    if (!m_pHoverTimer)
        return;
    KillTimer(m_hTimerWindow, reinterpret_cast<UINT_PTR>(m_pHoverTimer.get()));
    LiveTimerCells().erase(m_pHoverTimer.get());
    m_pHoverTimer.reset();
    m_hTimerWindow = nullptr;
}

void CALLBACK CSkinCaptionButton::HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    auto* cell = reinterpret_cast<CSkinCaptionButton**>(id);
    if (LiveTimerCells().count(cell))
        (*cell)->OnHoverTimer();
}

void CSkinCaptionButton::OnHoverTimer()
{
    POINT pt;
    if (!m_pHost || !GetCursorPos(&pt))
        return;
    m_pHost->ScreenToWindow(&pt);
    if (HitTestHostPoint(pt.x, pt.y))
        return;
    StopHoverTimer();
    // The leave notice goes last: the host may take the button away in its answer.
    HideTooltip();
    OnMouseLeave();
}

void CSkinCaptionButton::OnMouseLeave()
{
    if (!IsSticky()) {
        m_bPressed = 0;
        m_nState = STATE_NORMAL;
    }
    ShowState(m_nState);
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (hwnd)
        SendMessageA(hwnd, WM_SKINELEMENT_LEAVE, GetCommandId(), 0);
}

// ---- the mouse ---------------------------------------------------------------------------------

void CSkinCaptionButton::OnMouseMove(int x, int y)
{
    if (!TakeMouse(WM_SKINELEMENT_MOVE, x, y))
        return;
    if (IsSticky())
        ShowState(STATE_HOVER);
    else
        ChangeState(m_bPressed ? STATE_PRESSED : STATE_HOVER);
    if (!m_pHoverTimer) {
        StartHoverTimer();
        ShowTooltip();
    }
}

void CSkinCaptionButton::OnLButtonDown(int x, int y)
{
    if (!TakeMouse(WM_SKINELEMENT_LDOWN, x, y))
        return;
    HideTooltip();
    const DWORD action = Action();
    if (action == CSkinCaptionButtonObject::ACTION_SYSMENU || action == CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE) {
        const DWORD now = GetTickCount();
        // Only a click that follows another one closes: the first click of all never does,
        // however soon after the clock's start it comes.
        const bool second = m_bClicked && now - m_dwLastClickTick < kCloseClickInterval;
        m_dwLastClickTick = now;
        m_bClicked = true;
        if (second)
            m_pHost->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            RunAction();
        return;
    }
    Press();
}

void CSkinCaptionButton::OnLButtonUp(int x, int y)
{
    if (!m_bPressed)
        return;
    if (!TakeMouse(WM_SKINELEMENT_LUP, x, y))
        return;
    const DWORD action = Action();
    if (action == CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE)
        return;
    m_bPressed = 0;
    if (action == CSkinCaptionButtonObject::ACTION_MAXIMIZE || action == CSkinCaptionButtonObject::ACTION_MINIMIZE) {
        m_nState = m_nShownState = STATE_NORMAL;
    } else if (IsSticky()) {
        ChangeState(m_nState == STATE_PRESSED ? STATE_NORMAL : STATE_PRESSED);
    } else {
        // Still under the pointer while the hover timer runs; without one nothing will put the
        // look back later, so it goes back now.
        ChangeState(m_pHoverTimer ? STATE_HOVER : STATE_NORMAL);
    }
    RunAction();
}

void CSkinCaptionButton::OnRButtonDown(int x, int y)
{
    if (!TakeMouse(WM_SKINELEMENT_RDOWN, x, y))
        return;
    if (Action() == CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE && m_pHost)
        ShowSkinSystemMenu(m_pHost->GetHwnd());
}

void CSkinCaptionButton::OnRButtonUp(int x, int y)
{
    TakeMouse(WM_SKINELEMENT_RUP, x, y);
}

void CSkinCaptionButton::OnLButtonDblClk(int x, int y)
{
    if (!TakeMouse(WM_SKINELEMENT_LDBLCLK, x, y))
        return;
    const DWORD action = Action();
    if (action == CSkinCaptionButtonObject::ACTION_SYSMENU || action == CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE) {
        m_pHost->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    // The second press of a quick pair is a press like the first: a sticky button toggles
    // back, a command button runs again.
    Press();
}

void CSkinCaptionButton::Press()
{
    m_bPressed = 1;
    if (IsSticky())
        ShowState(STATE_PRESSED);
    else
        ChangeState(STATE_PRESSED);
}

void CSkinCaptionButton::RunAction()
{
    if (!m_pHost || !m_pHost->GetHwnd())
        return;
    switch (Action()) {
    case CSkinCaptionButtonObject::ACTION_COMMAND:
        m_pHost->PostMessage(WM_COMMAND, GetCommandId(), 0);
        break;
    case CSkinCaptionButtonObject::ACTION_CLOSE:
        // Without its timer nothing would take the hover look away again, should the window
        // refuse to close.
        StopHoverTimer();
        ChangeState(STATE_NORMAL);
        m_pHost->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case CSkinCaptionButtonObject::ACTION_SYSMENU:
    case CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE:
        ShowSkinSystemMenu(m_pHost->GetHwnd());
        break;
    case CSkinCaptionButtonObject::ACTION_MAXIMIZE:
        m_pHost->PostMessage(WM_SYSCOMMAND, m_pHost->IsZoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    case CSkinCaptionButtonObject::ACTION_MINIMIZE:
        m_pHost->PostMessage(WM_SYSCOMMAND, m_pHost->IsIconic() ? SC_RESTORE : SC_MINIMIZE, 0);
        break;
    default:
        break;
    }
}
