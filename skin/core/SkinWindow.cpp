#include "SkinWindow.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

#include "SkinDraw.h"
#include "SkinEngineServices.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinManager.h"
#include "SkinMemDC.h"
#include "SkinObject.h"
#include "SkinObjectTypes.h"

namespace {

const char kObjectProp[] = "OBJECT";
// A skin taken off a window that was subclassed again after it (the framework's own procedure
// on top, calling ours) cannot take its procedure out of the chain: ours stays there and hands
// every message on to the procedure kept here, until a new skin takes its place.
const char kPassOnProp[] = "SKINPASSON";
const char kKeepPlainProp[] = "SKINKEEPPLAIN";

ISkinElementTooltip* g_tooltip = nullptr;
SkinElementCreator g_elementCreator = nullptr;

int Width(const RECT& r) { return SkinWidth(r); }
int Height(const RECT& r) { return SkinHeight(r); }

// A job handed to another thread's window; `ran` tells the sender whether it happened.
struct ThreadJob {
    const std::function<void()>* fn;
    bool ran;
};

UINT ThreadJobMessage()
{
    static const UINT msg = RegisterWindowMessageA("VelmoraSkinThreadJob");
    return msg;
}

}  // namespace

// ---- cross-thread jobs --------------------------------------------------------------------------

bool SkinRunOnWindowThread(HWND hwnd, const std::function<void()>& fn)
{
    if (!IsWindow(hwnd))
        return false;
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        fn();
        return true;
    }
    ThreadJob job{&fn, false};
    ::SendMessageA(hwnd, ThreadJobMessage(), 0, reinterpret_cast<LPARAM>(&job));
    return job.ran;
}

bool SkinHandleThreadJob(UINT msg, LPARAM lParam)
{
    if (msg == 0 || msg != ThreadJobMessage())
        return false;
    auto* job = reinterpret_cast<ThreadJob*>(lParam);
    if (job && !job->ran) {
        // Marked first: the hook and the window procedure both see the message.
        job->ran = true;
        (*job->fn)();
    }
    return true;
}

// ---- window-procedure helpers ---------------------------------------------------------------------

LRESULT SkinCallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!proc)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return CallWindowProcA(proc, hwnd, msg, wParam, lParam);
}

WNDPROC SkinSetWindowProc(HWND hwnd, WNDPROC proc)
{
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

WNDPROC SkinGetWindowProc(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

// ---- elements -------------------------------------------------------------------------------------

void SetSkinElementTooltip(ISkinElementTooltip* tooltip) { g_tooltip = tooltip; }
ISkinElementTooltip* GetSkinElementTooltip() { return g_tooltip; }
void SetSkinElementCreator(SkinElementCreator creator) { g_elementCreator = creator; }

CSkinElement::~CSkinElement()
{
    // The tooltip must not keep pointing at an element that is gone.
    if (g_tooltip && g_tooltip->GetOwner() == this)
        g_tooltip->SetOwner(nullptr);
}

CSkinObject* CSkinElement::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = m_pSkinObject;
    m_pSkinObject = object;
    return previous;
}

std::string CSkinElement::GetTooltipText() { return m_strName; }

void CSkinElement::SetName(const char* name) { m_strName = name ? name : ""; }

CSkinObject* CSkinElement::FindTooltipObject()
{
    if (!m_pSkinObject || !m_pSkinObject->GetOwner())
        return nullptr;
    return m_pSkinObject->GetOwner()->FindObjectByType(SKIN_TOOLTIP);
}

void CSkinElement::HideTooltip()
{
    if (g_tooltip && g_tooltip->GetOwner() == this)
        g_tooltip->Hide();
}

void CSkinElement::ShowTooltip()
{
    if (m_strName.empty() || !g_tooltip)
        return;
    g_tooltip->SetSkinObject(FindTooltipObject());
    g_tooltip->SetOwner(this);
    g_tooltip->ShowDelayed(GetTooltipText().c_str());
}

const char* CSkinElement::GetObjectName() const { return m_pSkinObject ? m_pSkinObject->GetName() : nullptr; }

int CSkinElement::GetObjectType() const { return m_pSkinObject ? m_pSkinObject->GetType() : 0; }

// ---- construction and the window procedure ----------------------------------------------------------

CSkinWindow::CSkinWindow() = default;

CSkinWindow::~CSkinWindow()
{
    DeleteElements();
    // Neither the host nor the child skins may keep a pointer to this one.
    if (m_pChildHost) {
        auto& map = m_pChildHost->m_childControls;
        for (auto it = map.begin(); it != map.end();)
            it = it->second == this ? map.erase(it) : std::next(it);
    }
    for (auto& entry : m_childControls)
        if (entry.second && entry.second->m_pChildHost == this)
            entry.second->m_pChildHost = nullptr;
    // A skin deleted while still attached lets go of its window first, so that no message
    // finds it through the property afterwards. The window keeps (and frees) its region.
    if (m_hWnd && m_pfnSaved && IsWindow(m_hWnd) && FromHandle(m_hWnd) == this)
        DetachDestroyed();
}

void CSkinWindow::DeleteElements()
{
    ++m_nElementGeneration;
    std::list<CSkinElement*> elements;
    elements.swap(m_elements);
    for (CSkinElement* e : elements)
        delete e;
}

void CSkinWindow::KeepPlain(HWND hwnd)
{
    // Only a control is skinned again with its parent; a top-level window needs no mark.
    if (IsWindow(hwnd) && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
        SetPropA(hwnd, kKeepPlainProp, reinterpret_cast<HANDLE>(1));
}

CSkinWindow* CSkinWindow::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CSkinWindow*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

void CSkinWindow::Destroy(CSkinWindow* skin)
{
    if (!skin)
        return;
    if (skin->m_nCallDepth > 0)
        skin->m_bDeletePending = true;  // the outermost window procedure deletes it
    else
        delete skin;
}

LRESULT CALLBACK CSkinWindow::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (SkinHandleThreadJob(msg, lParam))
        return 1;
    CSkinWindow* self = FromHandle(hwnd);
    if (!self) {
        const auto next = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPassOnProp));
        if (next && msg == WM_NCDESTROY)
            RemovePropA(hwnd, kPassOnProp);
        return next ? CallWindowProcA(next, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ++self->m_nCallDepth;
    LRESULT result = self->WindowProc(msg, wParam, lParam);
    if (--self->m_nCallDepth == 0 && self->m_bDeletePending)
        delete self;
    return result;
}

LRESULT CSkinWindow::CallSaved(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SkinCallWindowProc(m_pfnSaved, m_hWnd, msg, wParam, lParam);
}

LRESULT CSkinWindow::CallSavedWithStyle(UINT msg, WPARAM wParam, LPARAM lParam, DWORD remove, DWORD replace)
{
    HWND hwnd = m_hWnd;
    const DWORD before = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    const DWORD during = replace ? replace : (before & ~remove);
    const DWORD changed = before ^ during;
    if (changed)
        SetWindowLongA(hwnd, GWL_STYLE, LONG(during));
    LRESULT result = SkinCallWindowProc(m_pfnSaved, hwnd, msg, wParam, lParam);
    if (changed && IsWindow(hwnd)) {
        // Only the bits taken away for the call are put back; whatever else the procedure
        // changed meanwhile stays.
        const DWORD now = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
        const DWORD restored = (now & ~changed) | (before & changed);
        if (restored != now)
            SetWindowLongA(hwnd, GWL_STYLE, LONG(restored));
    }
    return result;
}

LRESULT CSkinWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_pfnSaved)
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (HandleFrameMessage(msg, wParam, lParam, &result))
        return result;
    switch (msg) {
    case WM_SHOWWINDOW:
        OnShowWindow(wParam, lParam);
        return CallSaved(msg, wParam, lParam);
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_CTLCOLOREDIT:
        if (LRESULT brush = ChildEditColors(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        return CallSaved(msg, wParam, lParam);
    case WM_CTLCOLORLISTBOX: {
        HWND control = reinterpret_cast<HWND>(lParam);
        CSkinWindow* skin = control && control != m_hWnd ? FromHandle(control) : nullptr;
        if (skin && skin->GetObjectType() == SKIN_LISTBOX)
            return ::SendMessageA(control, msg, wParam, lParam);
        return CallSaved(msg, wParam, lParam);
    }
    case WM_SKIN_CONTROLGOING: {
        auto it = m_childControls.find(reinterpret_cast<HWND>(wParam));
        if (it != m_childControls.end()) {
            if (it->second && it->second->m_pChildHost == this)
                it->second->m_pChildHost = nullptr;
            m_childControls.erase(it);
        }
        return 0;
    }
    case WM_SKIN_MENUKEY:
        return OnMenuKey(wParam, lParam);
    default:
        return CallSaved(msg, wParam, lParam);
    }
}

// ---- attach and detach ---------------------------------------------------------------------------

BOOL CSkinWindow::Attach(HWND hwnd)
{
    if (!IsWindow(hwnd) || m_hWnd)
        return FALSE;
    m_hWnd = hwnd;
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    m_bFramed = !(style & WS_CHILD) || (style & (WS_DLGFRAME | WS_THICKFRAME | DS_MODALFRAME));
    SkinChildren(hwnd, m_pSkinObject);
    // Where an earlier skin's procedure was left in the chain, this one takes its place there.
    const auto passOn = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPassOnProp));
    m_pfnSaved = passOn ? passOn : SkinGetWindowProc(hwnd);
    SetPropA(hwnd, kObjectProp, this);
    // Caption buttons follow the window's own boxes.
    for (CSkinElement* e : m_elements) {
        auto* button = dynamic_cast<ISkinCaptionButtonElement*>(e);
        auto* object = dynamic_cast<CSkinCaptionButtonObject*>(e->GetSkinObject());
        if (!button || !object)
            continue;
        switch (object->m_nAction) {
        case CSkinCaptionButtonObject::ACTION_CLOSE:
        case CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE:
            button->SetEnabled((style & WS_SYSMENU) != 0);
            break;
        case CSkinCaptionButtonObject::ACTION_MAXIMIZE:
            button->SetEnabled((style & WS_MAXIMIZEBOX) != 0);
            break;
        case CSkinCaptionButtonObject::ACTION_MINIMIZE:
            button->SetEnabled((style & WS_MINIMIZEBOX) != 0);
            break;
        default:
            break;
        }
    }
    if (passOn)
        RemovePropA(hwnd, kPassOnProp);
    else
        SkinSetWindowProc(hwnd, &CSkinWindow::StaticWindowProc);
    const bool subclassed = m_pfnSaved && (passOn || SkinGetWindowProc(hwnd) == &CSkinWindow::StaticWindowProc);
    if (!subclassed) {
        // A property left behind would point at a skin that the caller is about to delete.
        RemovePropA(hwnd, kObjectProp);
        m_pfnSaved = nullptr;
        m_hWnd = nullptr;
        ::SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
        return FALSE;
    }
    // A skinned frame has its own size: the client area is measured again.
    if (m_bBaseFrameHandling && HasSkinnedFrame())
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RemovePropA(hwnd, kKeepPlainProp);
    if (m_pSkinObject)
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    ::SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

void CSkinWindow::ReleaseChildControl(HWND child)
{
    auto it = m_childControls.find(child);
    if (it != m_childControls.end()) {
        if (it->second && it->second->m_pChildHost == this)
            it->second->m_pChildHost = nullptr;
        m_childControls.erase(it);
    }
    CSkinManager::Instance().RemoveSkin(child, FALSE);
}

namespace {
void CollectDescendants(HWND parent, std::vector<HWND>& out)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        CollectDescendants(child, out);  // a child's own children first
        out.push_back(child);
    }
}
}  // namespace

void CSkinWindow::Detach()
{
    if (!m_hWnd)
        return;
    LeaveHostOfOtherThread();
    CSkinManager& manager = CSkinManager::Instance();
    // The window list is taken first: removing skins repaints and may change it.
    std::vector<HWND> descendants;
    CollectDescendants(m_hWnd, descendants);
    for (HWND child : descendants) {
        m_childControls.erase(child);
        manager.RemoveSkin(child, FALSE);
    }
    // Whatever is left was re-parented elsewhere; each one is released, not just the first.
    std::vector<HWND> left;
    for (auto& entry : m_childControls)
        left.push_back(entry.first);
    for (HWND child : left)
        ReleaseChildControl(child);
    m_childControls.clear();

    if (m_pfnSaved) {
        HWND hwnd = m_hWnd;
        if (!m_bDestroyed && m_hRegion) {
            SetWindowRgn(hwnd, nullptr, FALSE);  // frees the region the window owned
            m_hRegion = nullptr;
        }
        if (SkinGetWindowProc(hwnd) == &CSkinWindow::StaticWindowProc)
            SkinSetWindowProc(hwnd, m_pfnSaved);
        else if (!m_bDestroyed)
            SetPropA(hwnd, kPassOnProp, reinterpret_cast<HANDLE>(m_pfnSaved));
        if (!m_bDestroyed)
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        RemovePropA(hwnd, kObjectProp);
        m_hWnd = nullptr;
        m_pfnSaved = nullptr;
    }
    m_hRegion = nullptr;
}

void CSkinWindow::LeaveHostOfOtherThread()
{
    HWND host = m_pChildHost ? m_pChildHost->m_hWnd : nullptr;
    if (m_hWnd && host && IsWindow(host) && GetWindowThreadProcessId(host, nullptr) != GetCurrentThreadId())
        ::SendMessageA(host, WM_SKIN_CONTROLGOING, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CSkinWindow::DetachDestroyed()
{
    LeaveHostOfOtherThread();
    m_bDestroyed = 1;
    if (m_hWnd && m_pfnSaved) {
        if (SkinGetWindowProc(m_hWnd) == &CSkinWindow::StaticWindowProc)
            SkinSetWindowProc(m_hWnd, m_pfnSaved);
        RemovePropA(m_hWnd, kObjectProp);
    }
    for (auto& entry : m_childControls)
        if (entry.second && entry.second->m_pChildHost == this)
            entry.second->m_pChildHost = nullptr;
    m_childControls.clear();
    m_hWnd = nullptr;
    m_pfnSaved = nullptr;
    m_hRegion = nullptr;  // the window frees its own region
}

LRESULT CSkinWindow::OnNcDestroy()
{
    m_bDestroyed = 1;
    // Kept aside: removing the skin clears both.
    HWND hwnd = m_hWnd;
    WNDPROC saved = m_pfnSaved;
    if (!CSkinManager::Instance().RemoveSkin(hwnd, TRUE))
        DetachDestroyed();  // a skin the manager never knew still lets go of the window
    return SkinCallWindowProc(saved, hwnd, WM_NCDESTROY, 0, 0);
}

// ---- skin object and child controls ----------------------------------------------------------------

CSkinWindowObject* CSkinWindow::GetWindowObject() const
{
    return dynamic_cast<CSkinWindowObject*>(m_pSkinObject);
}

CSkinObject* CSkinWindow::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinElement::SetSkinObject(object);
    DeleteElements();
    if (!object || !object->GetOwner())
        return previous;
    CSkinFile* file = object->GetOwner();
    if (CSkinObject* app = file->FindObjectByType(SKIN_APPLICATION)) {
        m_crKey = app->GetKeyColor();
        m_bRegion = static_cast<CSkinApplicationObject*>(app)->m_bTransparent ? 1 : 0;
    } else {
        m_crKey = 0xFF00FF;
        m_bRegion = 0;
    }
    m_bDrawCaptionText = 1;
    for (auto& entry : object->GetChildren()) {
        CSkinObject* child = entry.second.get();
        const int type = child->GetType();
        if (type != SKIN_CAPTIONBUTTON && type != SKIN_AREA && type != SKIN_CAPTIONSTATIC)
            continue;
        if (type == SKIN_CAPTIONSTATIC && static_cast<CSkinCaptionStaticObject*>(child)->m_nRole == 1)
            m_bDrawCaptionText = 0;
        if (CSkinElement* element = g_elementCreator ? g_elementCreator(type, this, child) : nullptr) {
            m_elements.push_back(element);
            element->SetSkinObject(child);
        }
    }
    std::memset(m_lastSize, 0, sizeof m_lastSize);
    if (m_hWnd)
        SkinChildren(m_hWnd, object);
    LoadFrameParts();
    if (m_hWnd) {
        // Another skin may have other frame sizes.
        if (m_bBaseFrameHandling && HasSkinnedFrame())
            SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return previous;
}

void CSkinWindow::LoadFrameParts()
{
    if (CSkinWindowObject* w = GetWindowObject())
        for (int i = 0; i < 9; ++i)
            m_frameParts[i] = SkinClampRect(w->m_frameRects[i]);
    else
        std::memset(m_frameParts, 0, sizeof m_frameParts);
}

void CSkinWindow::SkinChildren(HWND parent, CSkinObject* windowObject)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children)
        SkinChildControl(child, windowObject);
}

namespace {
// The window object's own look for one control: a direct child of that type and control id.
CSkinObject* FindControlSkinObject(CSkinObject* windowObject, int type, int id)
{
    if (!windowObject)
        return nullptr;
    for (auto& entry : windowObject->GetChildren()) {
        auto* font = dynamic_cast<CSkinFontObject*>(entry.second.get());
        if (font && font->GetType() == type && int(font->m_nControlId) == id)
            return font;
    }
    return nullptr;
}
}  // namespace

bool CSkinWindow::SkinChildControl(HWND child, CSkinObject* windowObject)
{
    if (!IsWindow(child))
        return false;
    const int id = GetDlgCtrlID(child);
    SkinChildren(child, windowObject);
    CSkinManager& manager = CSkinManager::Instance();
    const int type = manager.ClassifyWindow(child);
    if (!type || GetPropA(child, kKeepPlainProp))
        return false;
    const int lookup = type == SKIN_LINKWND ? SKIN_STATIC : type;
    CSkinObject* object = FindControlSkinObject(windowObject, lookup, id);
    if (!object) {
        CSkinFile* file = windowObject && windowObject->GetOwner() ? windowObject->GetOwner() : manager.GetSkinFile();
        object = file ? file->FindObjectByType(lookup) : nullptr;
    }
    auto it = m_childControls.find(child);
    if (!object) {
        if (it != m_childControls.end())
            ReleaseChildControl(child);
        return true;
    }
    if (it == m_childControls.end()) {
        CSkinWindow* skinner = CSkinManager::CreateControlSkinner(type, this);
        if (!skinner)
            return true;
        if (!manager.RegisterWindow(skinner, child)) {
            delete skinner;  // the control is skinned already
            return true;
        }
        skinner->SetSkinObject(object);
        m_childControls[child] = skinner;
        skinner->m_pChildHost = this;
        if (!skinner->Attach(child)) {
            // A control that refused its skinner is not left registered with a dead skin.
            m_childControls.erase(child);
            skinner->m_pChildHost = nullptr;
            manager.UnregisterWindow(child, skinner);
            CSkinWindow::Destroy(skinner);
        }
        return true;
    }
    CSkinWindow* skinner = it->second;
    if (skinner && skinner->GetHwnd() == child && manager.FindSkinWindow(child) == skinner) {
        skinner->SetSkinObject(object);
    } else {
        if (skinner && skinner->m_pChildHost == this)
            skinner->m_pChildHost = nullptr;
        m_childControls.erase(it);
    }
    return true;
}

// ---- frame layout and painting ---------------------------------------------------------------------

void CSkinWindow::CalcFrameLayout(int width, int height)
{
    LoadFrameParts();
    RECT* p = m_frameParts;
    const int w2 = Width(p[2]), w5 = Width(p[5]), h6 = Height(p[6]), w8 = Width(p[8]), h8 = Height(p[8]);
    const int h7 = Height(p[7]);
    width = SkinClampCoord(width);
    height = SkinClampCoord(height);
    p[2].left = SkinSub(width, w2);
    p[2].right = width;
    p[1].right = p[2].left;
    p[5].left = SkinSub(width, w5);
    p[5].right = width;
    p[4].right = p[5].left;
    p[6].top = SkinSub(height, h6);
    p[6].bottom = height;
    p[3].bottom = p[6].top;
    p[4].bottom = p[6].top;
    p[8] = RECT{SkinSub(width, w8), SkinSub(height, h8), width, height};
    p[5].bottom = p[8].top;
    p[7].right = p[8].left;
    p[7].top = SkinSub(height, h7);
    p[7].bottom = height;
}

void CSkinWindow::DrawFramePart(HDC hdc, int part, BOOL active, bool mirror)
{
    CSkinWindowObject* w = GetWindowObject();
    if (!w || part < 0 || part > 8)
        return;
    const SkinImagePart* image = &w->m_parts[part];
    if (!active && !w->m_parts[part + 9].IsEmpty())
        image = &w->m_parts[part + 9];
    const RECT rc = mirror ? ShownFramePart(part) : m_frameParts[part];
    DrawSkinImage(w->GetOwner(), hdc, rc, *image, active ? w->m_crActiveFill : w->m_crInactiveFill, 1, mirror);
}

bool CSkinWindow::IsLayoutRightToLeft() const
{
    return m_hWnd && (DWORD(GetWindowLongA(m_hWnd, GWL_EXSTYLE)) & WS_EX_LAYOUTRTL);
}

RECT CSkinWindow::ShownFramePart(int part)
{
    RECT rc = m_frameParts[part];
    if (IsLayoutRightToLeft()) {
        RECT bounds;
        GetWindowBounds(&bounds);
        rc = RECT{SkinSub(bounds.right, rc.right), rc.top, SkinSub(bounds.right, rc.left), rc.bottom};
    }
    return rc;
}

bool CSkinWindow::IsInShownFramePart(int part, POINT pt)
{
    const RECT rc = ShownFramePart(part);
    return PtInRect(&rc, pt) != FALSE;
}

void CSkinWindow::DrawFrame(HDC hdc, BOOL active)
{
    if (!GetWindowObject())
        return;
    const bool mirror = m_hWnd && (GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    if (!IsIconic()) {
        DrawFramePart(hdc, 3, active, mirror);
        DrawFramePart(hdc, 5, active, mirror);
    }
    for (int part : {0, 1, 2, 6, 7, 8})
        DrawFramePart(hdc, part, active, mirror);
    DrawCaptionText(hdc, active);
    DrawExtra(hdc);
}

void CSkinWindow::Draw(HDC hdc)
{
    DrawFrame(hdc, 0);
    DrawBackground(hdc, 0);
}

void CSkinWindow::DrawCaptionText(HDC hdc, BOOL active)
{
    CSkinWindowObject* w = GetWindowObject();
    if (!w || !m_bDrawCaptionText || !m_hWnd)
        return;
    char text[301] = {};
    GetWindowTextA(m_hWnd, text, sizeof text);
    LOGFONTA lf = w->m_captionFont.ToLogFont();
    if (!lf.lfFaceName[0])
        std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = font ? SelectObject(hdc, font) : nullptr;
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, w->m_captionFont.color);
    const DWORD ex = DWORD(GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (ex & WS_EX_RTLREADING)
        format |= DT_RTLREADING;
    // The start of a right-to-left caption is its right end.
    if (!(ex & WS_EX_RIGHT) != !(ex & WS_EX_LAYOUTRTL))
        format |= DT_RIGHT;
    RECT rc = ShownFramePart(1);
    DrawTextA(hdc, text, -1, &rc, format);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    if (font) {
        SelectObject(hdc, oldFont);
        DeleteObject(font);
    }
}

void CSkinWindow::DrawBackground(HDC hdc, BOOL active)
{
    CSkinWindowObject* w = GetWindowObject();
    if (!w || !m_hWnd)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const SkinImagePart* image = &w->m_parts[4];
    if (!active && !w->m_parts[13].IsEmpty())
        image = &w->m_parts[13];
    const bool mirror = GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL;
    DrawSkinImage(w->GetOwner(), hdc, rc, *image, w->m_crBackground, 1, mirror);
}

void CSkinWindow::LayoutElements()
{
    RECT bounds;
    GetWindowBounds(&bounds);
    for (CSkinElement* e : m_elements)
        if (auto* element = dynamic_cast<ISkinFrameElement*>(e))
            element->Layout(0, 0, bounds.right, bounds.bottom);
}

void CSkinWindow::DrawElements(HDC hdc)
{
    LayoutElements();
    for (CSkinElement* e : m_elements) {
        auto* element = dynamic_cast<ISkinFrameElement*>(e);
        if (!element || element->IsVisible())
            e->Draw(hdc);
    }
}

bool CSkinWindow::RelayMouseToElements(UINT msg, POINT pt, UINT)
{
    LayoutElements();
    const unsigned generation = m_nElementGeneration;
    // A handler notifies the host, whose answer may change the skin and with it the list.
    const std::vector<CSkinElement*> elements(m_elements.begin(), m_elements.end());
    bool taken = false;
    for (CSkinElement* e : elements) {
        auto* element = dynamic_cast<ISkinFrameElement*>(e);
        if (!element)
            continue;
        if (element->HitTestHostPoint(pt.x, pt.y) && e->GetObjectType() != SKIN_CAPTIONSTATIC)
            taken = true;
        element->OnMouseMessage(msg, pt.x, pt.y);
        if (generation != m_nElementGeneration || !m_hWnd)
            break;
    }
    return taken;
}

void CSkinWindow::GetExtraMargins(RECT* rc)
{
    if (rc)
        SetRectEmpty(rc);
}

bool CSkinWindow::IsSizeChanged()
{
    RECT rc{};
    if (m_hWnd)
        ::GetWindowRect(m_hWnd, &rc);
    return Width(rc) != m_lastSize[2] - m_lastSize[0] || Height(rc) != m_lastSize[3] - m_lastSize[1];
}

HRGN CSkinWindow::CreateSkinImageRegion(int part)
{
    CSkinWindowObject* w = GetWindowObject();
    // Nothing of a part outside the window can shape it: each part's region stops at the
    // window's edges, so tiling makes no more copies than the window can hold.
    RECT bounds;
    GetWindowBounds(&bounds);
    const RECT& rc = m_frameParts[part];
    const RECT shown = SkinIntersectRect(rc, bounds);
    if (!w || IsRectEmpty(&shown))
        return nullptr;
    const SkinImageCacheEntry& cached = w->GetCachedPart(part);
    HRGN fitted = nullptr;
    if (cached.region && cached.width > 0 && cached.height > 0) {
        const DWORD mode = w->m_parts[part].mode;
        if (mode == 0) {
            fitted = TransformRegion(cached.region, 1.0f, 1.0f, rc.left, rc.top);
        } else if (mode == 1) {
            // The tiles keep their places from the part's corner.
            const RECT from = {rc.left + (shown.left - rc.left) / cached.width * cached.width,
                               rc.top + (shown.top - rc.top) / cached.height * cached.height, shown.right,
                               shown.bottom};
            fitted = TileRegion(cached.region, cached.width, cached.height, from);
        } else {
            fitted = TransformRegion(cached.region, float(Width(rc)) / float(cached.width),
                                     float(Height(rc)) / float(cached.height), rc.left, rc.top);
        }
    }
    HRGN clip = CreateRectRgnIndirect(&shown);
    if (fitted && clip)
        CombineRgn(fitted, fitted, clip, RGN_AND);
    if (!fitted)
        return clip;
    if (clip)
        DeleteObject(clip);
    return fitted;
}

HRGN CSkinWindow::CreateWindowRegion()
{
    if (!m_bRegion || !GetWindowObject())
        return nullptr;
    RECT bounds;
    GetWindowBounds(&bounds);
    CSkinWindowObject* w = GetWindowObject();
    if (IsIconic() && w->m_iconicCaption[0].name[0] == 0)
        return CreateRectRgnIndirect(&bounds);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (int part = 0; part < 9; ++part) {
        if (HRGN r = CreateSkinImageRegion(part)) {
            CombineRgn(result, result, r, RGN_OR);
            DeleteObject(r);
        }
    }
    if (IsLayoutRightToLeft())
        if (HRGN mirrored = TransformRegion(result, -1.0f, 1.0f, bounds.right, 0)) {
            DeleteObject(result);
            result = mirrored;
        }
    // Caption texts add, cut or replace their own shapes.
    for (CSkinElement* e : m_elements) {
        auto* element = dynamic_cast<ISkinFrameElement*>(e);
        if (!element || e->GetObjectType() != SKIN_CAPTIONSTATIC)
            continue;
        element->Layout(0, 0, bounds.right, bounds.bottom);
        element->CombineRegion(result);
    }
    return result;
}

void CSkinWindow::UpdateRegion(BOOL redraw)
{
    HRGN region = CreateWindowRegion();
    if (region) {
        RECT box, bounds;
        GetWindowBounds(&bounds);
        if (GetRgnBox(region, &box) == SIMPLEREGION && EqualRect(&box, &bounds)) {
            DeleteObject(region);
            region = nullptr;
        }
    }
    if (!region && !m_hRegion)
        return;
    // The window owns it from now on and frees the one it replaces.
    SetWindowRgn(m_hWnd, region, redraw);
    m_hRegion = region;
}

bool CSkinWindow::UpdateFrameLayout(BOOL redraw)
{
    RECT bounds;
    GetWindowBounds(&bounds);
    CalcFrameLayout(Width(bounds), Height(bounds));
    if (!IsSizeChanged())
        return false;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    m_lastSize[0] = rc.left;
    m_lastSize[1] = rc.top;
    m_lastSize[2] = rc.right;
    m_lastSize[3] = rc.bottom;
    UpdateRegion(redraw);
    return true;
}

void CSkinWindow::PaintFrameSurface(HDC windowDC, HRGN update)
{
    RECT bounds;
    GetWindowBounds(&bounds);
    const int width = Width(bounds), height = Height(bounds);
    if (width <= 0 || height <= 0)
        return;
    CSkinWindowObject* w = GetWindowObject();
    if (IsIconic() && !IsGridPartEmpty(w->m_iconicCaption[0])) {
        DrawIconicFrame(w->m_iconicCaption[0], w->m_iconicCaption[1]);
        return;
    }
    CSkinMemDC mem(windowDC, width, height);
    if (!mem.IsValid())
        return;
    DrawFrame(mem, IsActiveCaption());
    DrawElements(mem);
    // Only what needs painting reaches the window (a right-to-left layout takes it all).
    const bool clip = update && !(GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    if (clip) {
        RECT wr;
        ::GetWindowRect(m_hWnd, &wr);
        HRGN local = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(local, update, nullptr, RGN_COPY);
        OffsetRgn(local, -wr.left, -wr.top);
        SelectClipRgn(windowDC, local);
        DeleteObject(local);
    }
    // Only the four bands around the client area: the client paints itself. Extra rows under
    // the caption (a menu bar) belong to the top band.
    RECT extra;
    GetExtraMargins(&extra);
    RECT c = ShownFramePart(4);
    c.top = std::min<LONG>(SkinAdd(c.top, Height(extra)), c.bottom);
    const RECT bands[4] = {{0, 0, width, c.top},
                           {0, c.bottom, width, height},
                           {0, c.top, c.left, c.bottom},
                           {c.right, c.top, width, c.bottom}};
    for (const RECT& b : bands)
        if (!IsRectEmpty(&b))
            BitBlt(windowDC, b.left, b.top, Width(b), Height(b), mem, b.left, b.top, SRCCOPY);
    if (clip)
        SelectClipRgn(windowDC, nullptr);
}

void CSkinWindow::PaintFrame(HDC windowDC)
{
    UpdateFrameLayout(FALSE);
    PaintFrameSurface(windowDC, nullptr);
}

void CSkinWindow::DrawIconicFrame(const SkinNineGrid& active, const SkinNineGrid& inactive)
{
    if (!IsIconic() || IsGridPartEmpty(active) || !GetWindowObject())
        return;
    RECT bounds;
    GetWindowBounds(&bounds);
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    {
        CSkinMemDC mem(dc, Width(bounds), Height(bounds));
        if (mem.IsValid()) {
            const bool isActive = IsActiveCaption();
            const SkinNineGrid& grid = isActive || IsGridPartEmpty(inactive) ? active : inactive;
            DrawSkinImagePart(GetWindowObject()->GetOwner(), mem, bounds, grid, GetSysColor(COLOR_BTNFACE), 1, false);
            DrawCaptionText(mem, isActive);
            DrawElements(mem);
            BitBlt(dc, 0, 0, Width(bounds), Height(bounds), mem, 0, 0, SRCCOPY);
        }
    }
    ::ReleaseDC(m_hWnd, dc);
}

bool CSkinWindow::HandleFrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    CSkinWindowObject* w = m_bBaseFrameHandling ? GetWindowObject() : nullptr;
    if (!w)
        return false;
    const bool framed = m_bFramed;
    switch (msg) {
    case WM_ERASEBKGND:
        if (!w->m_bClientBackground)
            return false;
        DrawBackground(reinterpret_cast<HDC>(wParam), IsActiveCaption());
        *result = 1;
        return true;
    case WM_CTLCOLORSTATIC:
        *result = OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_CTLCOLORDLG:
        if (framed)
            return false;
        *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    case WM_SETTEXT:
        // The default handling would draw the system caption: it sees a bare popup.
        *result = CallSavedWithStyle(msg, wParam, lParam, 0, WS_POPUP);
        if (m_hWnd)
            ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        return true;
    default:
        break;
    }
    if (!framed)
        return false;
    switch (msg) {
    case WM_NCCALCSIZE: {
        auto* rc = reinterpret_cast<RECT*>(lParam);
        if (!rc)
            return false;
        CalcFrameClientRect(rc);
        *result = 0;
        return true;
    }
    case WM_NCHITTEST: {
        RECT bounds;
        GetWindowBounds(&bounds);
        CalcFrameLayout(bounds.right, bounds.bottom);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToWindow(&pt);
        *result = HitTestFrame(pt);
        return true;
    }
    case WM_NCPAINT: {
        HDC dc = ::GetWindowDC(m_hWnd);
        if (dc) {
            PaintFrame(dc);
            ::ReleaseDC(m_hWnd, dc);
        }
        *result = 0;
        return true;
    }
    case WM_NCACTIVATE:
        *result = CallSavedWithStyle(msg, wParam, 0, 0, WS_POPUP);
        if (m_hWnd)
            ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        return true;
    case WM_ENABLE:
    case WM_SETICON:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        *result = CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
        if (m_hWnd)
            ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        return true;
    case WM_SETCURSOR:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        *result = CallSavedWithStyle(msg, wParam, lParam, WS_SYSMENU);
        return true;
    case WM_NCRBUTTONDOWN:
        *result = 0;
        return true;
    default:
        return false;
    }
}

void CSkinWindow::CalcFrameClientRect(RECT* rc)
{
    CSkinWindowObject* w = GetWindowObject();
    if (!w || !rc)
        return;
    const RECT* f = w->m_frameRects;
    const bool rtl = m_hWnd && (GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    // A band of a damaged skin may end before it starts: it counts as no band at all, so the
    // client never grows past the window.
    // A band wider than the window leaves an empty client at the window's far edge.
    auto band = [](LONG extent) { return extent > 0 ? extent : 0; };
    const RECT outer = *rc;
    rc->left = std::min(SkinAdd(rc->left, band(rtl ? Width(f[5]) : Width(f[3]))), outer.right);
    rc->right = SkinSub(rc->right, band(rtl ? Width(f[3]) : Width(f[5])));
    rc->top = std::min(SkinAdd(rc->top, band(Height(f[0]))), outer.bottom);
    rc->bottom = SkinSub(rc->bottom, band(Height(f[6])));
    if (rc->right < rc->left)
        rc->right = rc->left;
    if (rc->bottom < rc->top)
        rc->bottom = rc->top;
}

// ---- small helpers ------------------------------------------------------------------------------

HMENU CSkinWindow::GetMenu() { return m_hWnd ? ::GetMenu(m_hWnd) : nullptr; }
BOOL CSkinWindow::SetMenu(HMENU menu) { return m_hWnd ? ::SetMenu(m_hWnd, menu) : FALSE; }
LRESULT CSkinWindow::OnMenuKey(WPARAM, LPARAM) { return 0; }

HWND CSkinWindow::GetActiveMdiChild(BOOL* maximised)
{
    if (maximised)
        *maximised = FALSE;
    return nullptr;
}

BOOL CSkinWindow::GetWindowRect(RECT* rc) { return m_hWnd && rc ? ::GetWindowRect(m_hWnd, rc) : FALSE; }

void CSkinWindow::InvalidateFrameRect(const RECT* rc) { RedrawNonClientRect(rc); }

HDC CSkinWindow::GetWindowDC() { return ::GetWindowDC(m_hWnd); }
int CSkinWindow::ReleaseDC(HDC hdc) { return ::ReleaseDC(m_hWnd, hdc); }
LRESULT CSkinWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessageA(m_hWnd, msg, wParam, lParam); }
BOOL CSkinWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::PostMessageA(m_hWnd, msg, wParam, lParam); }
BOOL CSkinWindow::ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
BOOL CSkinWindow::IsZoomed() { return m_hWnd && ::IsZoomed(m_hWnd); }
BOOL CSkinWindow::IsIconic() { return m_hWnd && ::IsIconic(m_hWnd); }

BOOL CSkinWindow::MoveWindow(const RECT* rc, BOOL repaint)
{
    return rc ? ::MoveWindow(m_hWnd, rc->left, rc->top, Width(*rc), Height(*rc), repaint) : FALSE;
}

void CSkinWindow::GetWindowBounds(RECT* rc)
{
    RECT r{};
    if (m_hWnd)
        ::GetWindowRect(m_hWnd, &r);
    *rc = RECT{0, 0, Width(r), Height(r)};
}

bool CSkinWindow::IsSizable()
{
    const DWORD style = DWORD(GetWindowLongA(m_hWnd, GWL_STYLE));
    if (!(style & WS_THICKFRAME))
        return false;
    return !((style & WS_DLGFRAME) && (style & DS_MODALFRAME));
}

bool CSkinWindow::IsActiveCaption()
{
    WINDOWINFO wi{};
    wi.cbSize = sizeof wi;
    return m_hWnd && GetWindowInfo(m_hWnd, &wi) && wi.dwWindowStatus == WS_ACTIVECAPTION;
}

HWND CSkinWindow::GetTopParent() { return m_hWnd ? GetAncestor(m_hWnd, GA_ROOT) : nullptr; }

void CSkinWindow::ScreenToWindow(POINT* pt)
{
    RECT rc;
    if (pt && ::GetWindowRect(m_hWnd, &rc)) {
        pt->x -= rc.left;
        pt->y -= rc.top;
    }
}

void CSkinWindow::WindowToScreen(POINT* pt)
{
    RECT rc;
    if (pt && ::GetWindowRect(m_hWnd, &rc)) {
        pt->x += rc.left;
        pt->y += rc.top;
    }
}

void CSkinWindow::SetMenuParams(const UINT_PTR params[5])
{
    for (int i = 0; i < 5; ++i)
        m_menuParams[i] = params ? params[i] : 0;
}

void CSkinWindow::RedrawNonClientRect(const RECT* rc)
{
    if (!m_hWnd || !rc)
        return;
    RECT wr;
    ::GetWindowRect(m_hWnd, &wr);
    HRGN region = CreateRectRgn(rc->left + wr.left, rc->top + wr.top, rc->right + wr.left, rc->bottom + wr.top);
    ::SendMessageA(m_hWnd, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    DeleteObject(region);
}

void CSkinWindow::DrawChildBackground(HDC target, HWND child, HDC source)
{
    if (!m_hWnd || !child || !target || !source)
        return;
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    ScreenToClient(m_hWnd, &origin);
    RECT rc;
    GetClientRect(child, &rc);
    BitBlt(target, 0, 0, Width(rc), Height(rc), source, origin.x, origin.y, SRCCOPY);
}

LRESULT CSkinWindow::OnCtlColorStatic(HDC hdc, HWND child)
{
    CSkinWindow* skin = CSkinManager::Instance().FindSkinWindow(child);
    if (!skin) {
        SetBkMode(hdc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    if (skin->GetObjectType() == SKIN_STATIC)
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    if (LRESULT brush = ChildEditColors(WM_CTLCOLORSTATIC, hdc, child))
        return brush;
    return CallSaved(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(child));
}

LRESULT CSkinWindow::ChildEditColors(UINT msg, HDC hdc, HWND child)
{
    CSkinWindow* skin = child && child != m_hWnd ? CSkinManager::Instance().FindSkinWindow(child) : nullptr;
    auto* colors = skin && skin->GetObjectType() == SKIN_EDIT ? dynamic_cast<ISkinControlColors*>(skin) : nullptr;
    return colors ? reinterpret_cast<LRESULT>(colors->OnParentCtlColor(msg, hdc)) : 0;
}

LRESULT CSkinWindow::HitTestCaptionElements(POINT pt)
{
    LayoutElements();
    for (CSkinElement* e : m_elements) {
        auto* element = dynamic_cast<ISkinFrameElement*>(e);
        if (!element || !element->HitTestHostPoint(pt.x, pt.y))
            continue;
        if (e->GetObjectType() == SKIN_CAPTIONBUTTON)
            return HTCAPTION;
        if (e->GetObjectType() == SKIN_CAPTIONSTATIC)
            return element->GetHitTestCode();
    }
    return 0;
}

LRESULT CSkinWindow::HitTestFrame(POINT pt)
{
    if (HitTestCaptionElements(pt) == HTCAPTION)
        return HTCAPTION;
    return HitTestFrameParts(pt, IsSizable() && !IsZoomed(), HTNOWHERE);
}

LRESULT CSkinWindow::HitTestFrameParts(POINT pt, bool sizing, LRESULT gap)
{
    if (!IsLayoutRightToLeft())
        return HitTestLaidOutParts(pt, sizing, gap);
    // The parts are laid out left to right and shown mirrored; the codes name the sides the
    // point is on as the window shows them.
    RECT bounds;
    GetWindowBounds(&bounds);
    switch (const LRESULT code = HitTestLaidOutParts(POINT{SkinSub(bounds.right, pt.x), pt.y}, sizing, gap)) {
    case HTLEFT: return HTRIGHT;
    case HTRIGHT: return HTLEFT;
    case HTTOPLEFT: return HTTOPRIGHT;
    case HTTOPRIGHT: return HTTOPLEFT;
    case HTBOTTOMLEFT: return HTBOTTOMRIGHT;
    case HTBOTTOMRIGHT: return HTBOTTOMLEFT;
    default: return code;
    }
}

LRESULT CSkinWindow::HitTestLaidOutParts(POINT pt, bool sizing, LRESULT gap)
{
    const RECT* p = m_frameParts;
    if (PtInRect(&p[4], pt))
        return HTCLIENT;
    auto corner = [&](const RECT& r, int dx, int dy) {
        // The 5 x 5 pixels in the part's corner given by the signs.
        const int x = dx < 0 ? pt.x - r.left : r.right - 1 - pt.x;
        const int y = dy < 0 ? pt.y - r.top : r.bottom - 1 - pt.y;
        return x < 5 && y < 5;
    };
    if (PtInRect(&p[0], pt))
        return sizing && corner(p[0], -1, -1) ? HTTOPLEFT : HTCAPTION;
    if (PtInRect(&p[1], pt))
        return sizing && pt.y - p[1].top < 5 ? HTTOP : HTCAPTION;
    if (PtInRect(&p[2], pt))
        return sizing && corner(p[2], 1, -1) ? HTTOPRIGHT : HTCAPTION;
    const bool side = PtInRect(&p[3], pt) || PtInRect(&p[5], pt) || PtInRect(&p[6], pt) ||
                      PtInRect(&p[7], pt) || PtInRect(&p[8], pt);
    if (!side)
        return gap;
    if (!sizing)
        return HTNOWHERE;
    if (PtInRect(&p[5], pt))
        return HTRIGHT;
    if (PtInRect(&p[3], pt))
        return HTLEFT;
    if (PtInRect(&p[8], pt))
        return corner(p[8], 1, 1) ? HTBOTTOMRIGHT : HTBOTTOM;
    if (PtInRect(&p[6], pt))
        return corner(p[6], -1, 1) ? HTBOTTOMLEFT : HTBOTTOM;
    return HTBOTTOM;
}

void CSkinWindow::GetCaptionRect(RECT* rc)
{
    RECT extra;
    GetExtraMargins(&extra);
    *rc = RECT{m_frameParts[0].left, m_frameParts[0].top, m_frameParts[2].right,
               m_frameParts[0].bottom + Height(extra)};
}

HWND CSkinWindow::GetTabControlParent()
{
    HWND parent = GetParent(m_hWnd);
    RECT mine;
    ::GetWindowRect(m_hWnd, &mine);
    for (HWND sibling = GetWindow(m_hWnd, GW_HWNDFIRST); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == m_hWnd)
            continue;  // a tab control is not its own background
        char name[101] = {};
        GetClassNameA(sibling, name, sizeof name);
        if (strcasecmp(name, "SysTabControl32") != 0)
            continue;
        RECT tab, both;
        ::GetWindowRect(sibling, &tab);
        if (IntersectRect(&both, &tab, &mine) && EqualRect(&both, &mine))
            return sibling;
    }
    return parent;
}

void CSkinWindow::GetMinTrackSize(SIZE* size)
{
    if (!size)
        return;
    CSkinWindowObject* w = GetWindowObject();
    if (!w) {
        *size = SIZE{10, 10};
        return;
    }
    const RECT* f = w->m_frameRects;
    *size = SIZE{Width(f[0]) + Width(f[2]) + 10, Height(f[0]) + 5};
}

void CSkinWindow::AdjustWindowToClient(int clientWidth, int clientHeight)
{
    CSkinWindowObject* w = GetWindowObject();
    if (!w || !m_hWnd)
        return;
    const RECT* f = w->m_frameRects;
    RECT extra;
    GetExtraMargins(&extra);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    POINT pos{rc.left, rc.top};
    if (HWND parent = (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) ? GetParent(m_hWnd) : nullptr)
        ScreenToClient(parent, &pos);
    // Never larger than the desktop lets a window be sized: a damaged skin's frame would make a
    // window no screen shows, yet every paint would cost its whole area.
    const LONG width = std::min<LONG>(SkinAdd(Width(f[3]) + Width(f[5]), clientWidth), GetSystemMetrics(SM_CXMAXTRACK));
    const LONG height = std::min<LONG>(SkinAdd(Height(f[0]) + Height(f[6]) + Height(extra), clientHeight),
                                       GetSystemMetrics(SM_CYMAXTRACK));
    ::MoveWindow(m_hWnd, pos.x, pos.y, width, height, FALSE);
}

int CSkinWindow::LayoutChildren(int width, int height)
{
    CSkinObject* windowObject = m_pSkinObject;
    if (!windowObject)
        return 0;
    const int wt = windowObject->GetType();
    if (wt != SKIN_FRAMEWND && wt != SKIN_POPUPMENU && wt != SKIN_TYPE45)
        return 0;
    const int w0 = Width(windowObject->m_rc), h0 = Height(windowObject->m_rc);
    int moved = 0;
    for (auto& entry : m_childControls) {
        CSkinWindow* skin = entry.second;
        auto* object = skin ? dynamic_cast<CSkinFontObject*>(skin->GetSkinObject()) : nullptr;
        if (!object)
            continue;
        const int t = object->GetType();
        const bool anchorable = (t >= 4 && t <= 14) || t == 16 || t == 24 || (t >= 26 && t <= 35) || t == 37 ||
                                t == 40 || t == 41;
        const DWORD* a = object->m_anchor;
        if (!anchorable || !object->m_nAnchoring || !(a[0] || a[1] || a[2] || a[3]))
            continue;
        const RECT d = SkinClampRect(object->m_rc);
        RECT r = d;
        // Anchored edges keep their distance from the window's right or bottom edge.
        if (a[2]) {
            r.right = SkinSub(width, w0 - d.right);
            if (!a[0])
                r.left = r.right - Width(d);
        }
        if (a[3]) {
            r.bottom = SkinSub(height, h0 - d.bottom);
            if (!a[1])
                r.top = r.bottom - Height(d);
        }
        ::MoveWindow(entry.first, r.left, r.top, Width(r), Height(r), FALSE);
        ++moved;
    }
    return moved;
}
