#include "ControlBase.h"

#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinMemDC.h"
#include "SkinObject.h"

namespace {

// Every object carries this rectangle until a skin gives it a place of its own.
constexpr RECT kUnplacedRect = {0, 0, 60, 30};

CSkinFontObject* AsFontObject(CSkinObject* object) { return dynamic_cast<CSkinFontObject*>(object); }

// An object's own font: one whose face the skin names (an empty face keeps the control's font).
HFONT OwnFont(CSkinObject* object)
{
    CSkinFontObject* f = AsFontObject(object);
    return f && f->m_font.lfFaceName[0] ? f->GetFont() : nullptr;
}

// An object places its control when its design rectangle is one the skin gave it.
bool HasOwnPosition(CSkinObject* object)
{
    if (!AsFontObject(object))
        return false;
    const RECT& r = object->m_rc;
    return !IsRectEmpty(&r) && !EqualRect(&r, &kUnplacedRect);
}

// BeginPaint and EndPaint as one scope, so that a painter that throws still ends the paint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd), m_dc(BeginPaint(hwnd, &m_ps)) {}
    ~PaintScope() { EndPaint(m_hwnd, &m_ps); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// The tooltip's window, when the installed tooltip is a window of the engine's.
HWND TooltipWindow()
{
    auto* tip = dynamic_cast<CSkinWindow*>(GetSkinElementTooltip());
    return tip ? tip->GetHwnd() : nullptr;
}

}  // namespace

CSkinControlBase::CSkinControlBase(CSkinWindow* owner, int type)
    : m_hOwner(owner ? owner->GetHwnd() : nullptr), m_nType(type)
{
}

CSkinControlBase::~CSkinControlBase() = default;

bool CSkinControlBase::TouchesFont() const
{
    return m_nType != SKIN_PROGRESSBAR && m_nType != SKIN_SCROLLBAR && m_nType != SKIN_SLIDER &&
           m_nType != SKIN_SPIN;
}

CSkinFile* CSkinControlBase::GetSkinFile() const
{
    return m_pSkinObject ? m_pSkinObject->GetOwner() : nullptr;
}

CSkinFontObject* CSkinControlBase::GetFontObject() const { return AsFontObject(m_pSkinObject); }

HFONT CSkinControlBase::GetControlFont()
{
    return m_hWnd ? reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)) : nullptr;
}

// ---- the per-dialog look -------------------------------------------------------------------------

CSkinObject* CSkinControlBase::FindControlOverride(CSkinObject* ancestorObject, int id, int type)
{
    if (!ancestorObject)
        return nullptr;
    auto find = [&](int wanted) -> CSkinObject* {
        for (auto& entry : ancestorObject->GetChildren()) {
            CSkinFontObject* f = AsFontObject(entry.second.get());
            if (f && f->GetType() == wanted && int(f->m_nControlId) == id)
                return f;
        }
        return nullptr;
    };
    CSkinObject* found = find(type);
    if (!found && type == SKIN_RICHEDIT)
        found = find(SKIN_EDIT);
    return found;
}

CSkinObject* CSkinControlBase::LookUpOverride(HWND hwnd)
{
    if (!hwnd || !m_hOwner)
        return nullptr;
    CSkinManager& manager = CSkinManager::Instance();
    manager.Lock();
    CSkinWindow* ancestor = manager.FindSkinnedAncestor(m_hOwner);
    CSkinObject* ancestorObject = ancestor ? ancestor->GetSkinObject() : nullptr;
    manager.Unlock();
    return FindControlOverride(ancestorObject, GetDlgCtrlID(hwnd), m_nType);
}

bool CSkinControlBase::ApplyObjectLook(CSkinObject* object, BOOL redrawFont, bool usePosition)
{
    const bool moves = usePosition && HasOwnPosition(object);
    if (HFONT font = OwnFont(object))
        SetControlFont(m_hWnd, font, moves ? FALSE : redrawFont);
    if (moves)
        MoveWindow(&object->m_rc, TRUE);
    return moves;
}

// ---- attach, skin changes, detach -------------------------------------------------------------------

BOOL CSkinControlBase::Attach(HWND hwnd)
{
    if (!IsWindow(hwnd) || m_hWnd)
        return FALSE;
    if (HWND parent = GetParent(hwnd)) {
        const int id = GetDlgCtrlID(hwnd);
        if (::SendMessageA(parent, WM_SKIN_ASKUNSKINNED, WPARAM(id), reinterpret_cast<LPARAM>(hwnd)) != 0)
            return FALSE;
    }
    // Until attached, setting the object only stores it.
    CSkinObject* override = LookUpOverride(hwnd);
    if (override)
        SetSkinObject(override);
    if (!CSkinWindow::Attach(hwnd))
        return FALSE;
    ApplyObjectLook(m_pSkinObject, TRUE, override != nullptr);
    return TRUE;
}

CSkinObject* CSkinControlBase::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinWindow::SetSkinObject(object);
    if (!m_hWnd)
        return previous;
    if (CSkinObject* override = LookUpOverride(m_hWnd)) {
        CSkinElement::SetSkinObject(override);
        if (ApplyObjectLook(override, FALSE, true))
            return previous;  // moving it repainted it
    }
    if (HFONT font = OwnFont(m_pSkinObject)) {
        SetControlFont(m_hWnd, font, FALSE);
    } else if (TouchesFont()) {
        m_bFontPending = false;
        if (m_bFontSaved)
            ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hSavedFont), FALSE);
        m_bFontSaved = false;
        m_hSavedFont = nullptr;
    }
    UINT flags = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME;
    if (!ParentIsToPaint())
        flags |= RDW_UPDATENOW;
    RedrawWindow(m_hWnd, nullptr, nullptr, flags);
    return previous;
}

void CSkinControlBase::SetControlFont(HWND hwnd, HFONT font, BOOL redraw)
{
    if (!TouchesFont() || !hwnd)
        return;
    if (m_bFontSaved && !m_bFontPending) {
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
        return;
    }
    // The first font waits for the control's next turn at its queue: a control being created
    // is still given its dialog's font after this, and that is the font to keep. Only the one
    // message is posted, so a skin taken away before it arrives leaves the control untouched.
    m_hPendingFont = font;
    m_bPendingRedraw = redraw;
    if (!m_bFontPending) {
        m_bFontPending = true;
        ::PostMessageA(hwnd, WM_SKIN_SAVEFONT, 0, 0);
    }
}

void CSkinControlBase::OnSaveFont()
{
    if (!m_bFontPending)
        return;  // the skin changed its mind (or went) since
    m_bFontPending = false;
    if (!m_bFontSaved) {
        m_hSavedFont = GetControlFont();
        m_bFontSaved = true;
    }
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hPendingFont), MAKELPARAM(m_bPendingRedraw, 0));
}

void CSkinControlBase::Detach()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return;
    m_life.Cut();
    HideTooltip();
    m_bFontPending = false;
    if (TouchesFont() && m_bFontSaved)
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hSavedFont), TRUE);
    m_bFontSaved = false;
    m_hSavedFont = nullptr;
    for (int i = 0; i < 2; ++i) {
        const int index = i == 0 ? GWL_STYLE : GWL_EXSTYLE;
        const DWORD now = DWORD(GetWindowLongA(hwnd, index));
        const DWORD before = (now & ~m_styleBits[i].added) | m_styleBits[i].removed;
        if (before != now)
            SetWindowLongA(hwnd, index, LONG(before));
        m_styleBits[i] = StyleBits();
    }
    m_bHover = FALSE;
    CSkinWindow::Detach();
    // The control paints its own look again.
    if (IsWindow(hwnd))
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT CSkinControlBase::OnNcDestroy()
{
    // The owner forgets the control; a host on another thread is told by the base.
    if (m_hOwner && IsWindow(m_hOwner) && FromHandle(m_hOwner) &&
        GetWindowThreadProcessId(m_hOwner, nullptr) == GetCurrentThreadId())
        ::SendMessageA(m_hOwner, WM_SKIN_CONTROLGOING, reinterpret_cast<WPARAM>(m_hWnd), 0);
    return CSkinWindow::OnNcDestroy();
}

CSkinObject* CSkinControlBase::FindTooltipObject()
{
    CSkinWindow* ancestor = m_hWnd ? CSkinManager::Instance().FindSkinnedAncestor(m_hWnd) : nullptr;
    if (CSkinObject* object = ancestor ? ancestor->GetSkinObject() : nullptr)
        for (auto& entry : object->GetChildren())
            if (entry.second->GetType() == SKIN_TOOLTIP)
                return entry.second.get();
    return CSkinElement::FindTooltipObject();
}

// ---- messages ----------------------------------------------------------------------------------------

LRESULT CSkinControlBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers the whole client area
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_UPDATEUISTATE:
        return 0;
    case WM_MOUSEMOVE:
        StartHover();
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_SKIN_SAVEFONT:
        OnSaveFont();
        return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        HideTooltip();
        break;
    default:
        break;
    }
    return CSkinWindow::WindowProc(msg, wParam, lParam);
}

void CSkinControlBase::StartHover()
{
    if (m_bHover)
        return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    _TrackMouseEvent(&track);
    m_bHover = TRUE;
    RepaintNow(FALSE);
    ShowTooltip();
}

void CSkinControlBase::OnMouseLeave()
{
    if (m_bHover) {
        m_bHover = FALSE;
        RepaintNow(FALSE);
    }
    // Moving onto the tip itself keeps it.
    HWND tip = TooltipWindow();
    POINT cursor;
    RECT tipRect;
    if (tip && IsWindowVisible(tip) && GetCursorPos(&cursor) && ::GetWindowRect(tip, &tipRect) &&
        PtInRect(&tipRect, cursor))
        return;
    HideTooltip();
}

void CSkinControlBase::OnPaint()
{
    PaintScope paint(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (!paint.Dc() || IsRectEmpty(&rc))
        return;
    CSkinMemDC surface(paint.Dc(), rc.right, rc.bottom);
    if (!surface.IsValid())
        return;
    Draw(surface);
    BitBlt(paint.Dc(), 0, 0, rc.right, rc.bottom, surface, 0, 0, SRCCOPY);
}

// ---- helpers for the skinners ------------------------------------------------------------------------

void CSkinControlBase::DrawParentBackground(HDC dc)
{
    HWND target = m_hWnd ? GetTabControlParent() : nullptr;
    if (!target || !dc)
        return;
    // A skinned window paints its own background under the child; the private message is
    // never sent to a window procedure that does not know it.
    if (FromHandle(target) &&
        ::SendMessageA(target, WM_SKIN_PAINTCHILDBACK, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)))
        return;
    POINT origin{0, 0};
    MapWindowPoints(m_hWnd, target, &origin, 1);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    ::SendMessageA(target, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
}

LRESULT CSkinControlBase::CallSavedHidden(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallSavedWithStyle(msg, wParam, lParam, WS_VISIBLE);
}

bool CSkinControlBase::ParentIsToPaint() const
{
    // A parent that still has to paint would cover the control again: the control then paints
    // after it, in the parent-first order of painting.
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    return parent && GetUpdateRect(parent, nullptr, FALSE);
}

void CSkinControlBase::RepaintNow(BOOL erase)
{
    if (!m_hWnd)
        return;
    InvalidateRect(m_hWnd, nullptr, erase);
    if (!ParentIsToPaint())
        UpdateWindow(m_hWnd);
}

void CSkinControlBase::RepaintParentUnder(const RECT* part)
{
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    if (!parent)
        return;
    RECT rc;
    if (part) {
        rc = *part;
        ClientToScreenRect(m_hWnd, rc);
    } else {
        ::GetWindowRect(m_hWnd, &rc);  // with the control's border
    }
    ScreenToClientRect(parent, rc);
    InvalidateRect(parent, &rc, TRUE);
    UpdateWindow(parent);
}

void CSkinControlBase::PaintIntoPaintDc()
{
    PAINTSTRUCT ps;
    if (HDC dc = BeginPaint(m_hWnd, &ps))
        Draw(dc);
    EndPaint(m_hWnd, &ps);
}

DWORD CSkinControlBase::StyleOf(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)); }

bool CSkinControlBase::IsMirrored(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }

RECT CSkinControlBase::ClientRect(HWND hwnd)
{
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return rc;
}

void CSkinControlBase::AddTransparentStyle() { ChangeStyleBits(GWL_EXSTYLE, WS_EX_TRANSPARENT, 0); }

void CSkinControlBase::ChangeStyleBits(int index, DWORD add, DWORD remove)
{
    if (!m_hWnd || (index != GWL_STYLE && index != GWL_EXSTYLE))
        return;
    StyleBits& bits = m_styleBits[index == GWL_STYLE ? 0 : 1];
    const DWORD now = DWORD(GetWindowLongA(m_hWnd, index));
    const DWORD added = add & ~now, removed = remove & now;
    if (!added && !removed)
        return;
    // A bit changed back is the control's own again.
    bits.added = (bits.added | added) & ~removed;
    bits.removed = (bits.removed | removed) & ~added;
    SetWindowLongA(m_hWnd, index, LONG((now | added) & ~removed));
}
