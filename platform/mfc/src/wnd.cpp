// CWnd: the handle map, creation hooks, message maps, reflection, the modal loop and tooltips.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "afx_api.h"
#include "afx_state.h"
#include "afxcmn.h"

// ---- state ---------------------------------------------------------------------------------
namespace afx {

namespace {
// The permanent map is shared by all threads: a worker uses the UI thread's CWnd objects.
std::mutex& PermLock() {
    static std::mutex m;
    return m;
}
std::unordered_map<HWND, CWnd*>& PermMap() {
    static auto* m = new std::unordered_map<HWND, CWnd*>;
    return *m;
}
}  // namespace

ThreadState& State() {
    thread_local ThreadState s;
    return s;
}

void FreeTempMaps(ThreadState& s) {
    // Detach first: a temporary wrapper never owns its handle.
    for (auto& kv : s.temp_wnds) {
        kv.second->m_hWnd = nullptr;
        delete kv.second;
    }
    s.temp_wnds.clear();
    for (auto& kv : s.temp_dcs) {
        kv.second->m_hDC = kv.second->m_hAttribDC = nullptr;
        delete kv.second;
    }
    s.temp_dcs.clear();
    for (auto& kv : s.temp_gdi) {
        kv.second->m_hObject = nullptr;
        delete kv.second;
    }
    s.temp_gdi.clear();
    for (auto& kv : s.temp_menus) {
        kv.second->m_hMenu = nullptr;
        delete kv.second;
    }
    s.temp_menus.clear();
}

ThreadState::~ThreadState() {
    FreeTempMaps(*this);
    if (cbt_hook) ::UnhookWindowsHookEx(cbt_hook);
    if (filter_hook) ::UnhookWindowsHookEx(filter_hook);
}

}  // namespace afx

using afx::State;

void AfxOnIdleCleanup() { afx::FreeTempMaps(State()); }

// ---- message maps --------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT msg, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->pRegistered) {
                if (*e->pRegistered == msg && msg != 0) return e;
                continue;
            }
            if (e->nMessage == msg && e->nCode == code && id >= e->nID && id <= e->nLastID) return e;
        }
    return nullptr;
}

namespace {

union MessageMapFunctions {
    AFX_PMSG pfn;
    void (CCmdTarget::*pfn_cmd_v)();
    BOOL (CCmdTarget::*pfn_cmd_b)();
    void (CCmdTarget::*pfn_cmd_w)(UINT);
    void (CCmdTarget::*pfn_notify_v)(NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*pfn_notify_b)(NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*pfn_notify_ex)(UINT, NMHDR*, LRESULT*);
    void (CCmdTarget::*pfn_notify_range)(UINT, NMHDR*, LRESULT*);
    void (CWnd::*pfn_vv)();
    BOOL (CWnd::*pfn_bv)();
    int (CWnd::*pfn_is)(LPCREATESTRUCT);
    BOOL (CWnd::*pfn_bD)(CDC*);
    void (CWnd::*pfn_vwii)(UINT, int, int);
    void (CWnd::*pfn_vii)(int, int);
    void (CWnd::*pfn_vt)(UINT_PTR);
    void (CWnd::*pfn_vwp)(UINT, CPoint);
    BOOL (CWnd::*pfn_bWww)(CWnd*, UINT, UINT);
    void (CWnd::*pfn_vwww)(UINT, UINT, UINT);
    void (CWnd::*pfn_vW)(CWnd*);
    void (CWnd::*pfn_vwWb)(UINT, CWnd*, BOOL);
    void (CWnd::*pfn_vb)(BOOL);
    UINT (CWnd::*pfn_wv)();
    void (CWnd::*pfn_vwl)(UINT, LPARAM);
    HCURSOR (CWnd::*pfn_hv)();
    HBRUSH (CWnd::*pfn_hDWw)(CDC*, CWnd*, UINT);
    HBRUSH (CWnd::*pfn_hDw)(CDC*, UINT);
    void (CWnd::*pfn_vOWNER)(int, LPDRAWITEMSTRUCT);
    void (CWnd::*pfn_vMEASURE)(int, LPMEASUREITEMSTRUCT);
    LRESULT (CWnd::*pfn_lwwM)(UINT, UINT, CMenu*);
    void (CWnd::*pfn_vwwX)(UINT, UINT, CScrollBar*);
    void (CWnd::*pfn_vWp)(CWnd*, CPoint);
    void (CWnd::*pfn_vbw)(BOOL, UINT);
    void (CWnd::*pfn_vMwb)(CMenu*, UINT, BOOL);
    LRESULT (CWnd::*pfn_lwl)(WPARAM, LPARAM);
    LRESULT (CWnd::*pfn_lp)(CPoint);
    BOOL (CWnd::*pfn_bwsp)(UINT, short, CPoint);
};

bool IsCtlColor(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

// Calls a window-message handler; false when the signature does not fit a window message.
bool CallWindowHandler(CWnd* w, const AFX_MSGMAP_ENTRY* e, UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    MessageMapFunctions f;
    f.pfn = e->pfn;
    LRESULT res = 0;
    switch (e->nSig) {
        case AfxSig_vv: (w->*f.pfn_vv)(); break;
        case AfxSig_bv: res = (w->*f.pfn_bv)(); break;
        case AfxSig_is: res = (w->*f.pfn_is)(reinterpret_cast<LPCREATESTRUCT>(lp)); break;
        case AfxSig_bD: res = (w->*f.pfn_bD)(CDC::FromHandle(reinterpret_cast<HDC>(wp))); break;
        case AfxSig_vwii: (w->*f.pfn_vwii)(UINT(wp), short(LOWORD(lp)), short(HIWORD(lp))); break;
        case AfxSig_vii: (w->*f.pfn_vii)(short(LOWORD(lp)), short(HIWORD(lp))); break;
        case AfxSig_vt: (w->*f.pfn_vt)(UINT_PTR(wp)); break;
        case AfxSig_vwp: (w->*f.pfn_vwp)(UINT(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))); break;
        case AfxSig_bWww:
            res = (w->*f.pfn_bWww)(CWnd::FromHandle(reinterpret_cast<HWND>(wp)), LOWORD(lp), HIWORD(lp));
            break;
        case AfxSig_vwww: (w->*f.pfn_vwww)(UINT(wp), LOWORD(lp), HIWORD(lp)); break;
        case AfxSig_vW: (w->*f.pfn_vW)(CWnd::FromHandle(reinterpret_cast<HWND>(wp ? wp : UINT_PTR(lp)))); break;
        case AfxSig_vwWb:
            (w->*f.pfn_vwWb)(LOWORD(wp), CWnd::FromHandle(reinterpret_cast<HWND>(lp)), HIWORD(wp));
            break;
        case AfxSig_vb: (w->*f.pfn_vb)(BOOL(wp)); break;
        case AfxSig_wv: res = (w->*f.pfn_wv)(); break;
        case AfxSig_vwl: (w->*f.pfn_vwl)(UINT(wp), lp); break;
        case AfxSig_hv: res = reinterpret_cast<LRESULT>((w->*f.pfn_hv)()); break;
        case AfxSig_hDWw: {
            UINT type = msg == WM_CTLCOLOR ? UINT(HIWORD(lp)) : msg - WM_CTLCOLORMSGBOX;
            HWND ctl = msg == WM_CTLCOLOR ? reinterpret_cast<HWND>(uintptr_t(LOWORD(lp))) : reinterpret_cast<HWND>(lp);
            res = reinterpret_cast<LRESULT>(
                (w->*f.pfn_hDWw)(CDC::FromHandle(reinterpret_cast<HDC>(wp)), CWnd::FromHandle(ctl), type));
            break;
        }
        case AfxSig_vOWNER: (w->*f.pfn_vOWNER)(int(wp), reinterpret_cast<LPDRAWITEMSTRUCT>(lp)); res = TRUE; break;
        case AfxSig_vMEASURE: (w->*f.pfn_vMEASURE)(int(wp), reinterpret_cast<LPMEASUREITEMSTRUCT>(lp)); res = TRUE; break;
        case AfxSig_lwwM:
            res = (w->*f.pfn_lwwM)(LOWORD(wp), HIWORD(wp), CMenu::FromHandle(reinterpret_cast<HMENU>(lp)));
            break;
        case AfxSig_vwwX:
            (w->*f.pfn_vwwX)(LOWORD(wp), HIWORD(wp),
                             reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lp))));
            break;
        case AfxSig_vWp:
            (w->*f.pfn_vWp)(CWnd::FromHandle(reinterpret_cast<HWND>(wp)), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
            break;
        case AfxSig_vbw: (w->*f.pfn_vbw)(BOOL(wp), UINT(lp)); break;
        case AfxSig_vMwb:
            (w->*f.pfn_vMwb)(CMenu::FromHandle(reinterpret_cast<HMENU>(wp)), LOWORD(lp), HIWORD(lp));
            break;
        case AfxSig_lwl: res = (w->*f.pfn_lwl)(wp, lp); break;
        case AfxSig_lp: res = (w->*f.pfn_lp)(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))); break;
        case AfxSig_bwsp:
            res = (w->*f.pfn_bwsp)(LOWORD(wp), short(HIWORD(wp)), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
            break;
        default: return false;
    }
    if (r) *r = res;
    return true;
}

}  // namespace

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, void*) {
    UINT msg = extra ? WM_NOTIFY : WM_COMMAND;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->pRegistered || e->nMessage != msg || e->nCode != UINT(code) || id < e->nID || id > e->nLastID)
                continue;
            MessageMapFunctions f;
            f.pfn = e->pfn;
            if (!extra) {
                if (e->nSig == AfxSig_cmd_w) (this->*f.pfn_cmd_w)(id);
                else (this->*f.pfn_cmd_v)();
                return TRUE;
            }
            auto* n = static_cast<AFX_NOTIFY*>(extra);
            LRESULT dummy = 0;
            LRESULT* pr = n->pResult ? n->pResult : &dummy;
            if (e->nSig == AfxSig_notify_ex) {
                // An _EX handler that returns FALSE lets the search go on.
                if ((this->*f.pfn_notify_ex)(id, n->pNMHDR, pr)) return TRUE;
                continue;
            }
            if (e->nSig == AfxSig_notify_range) (this->*f.pfn_notify_range)(id, n->pNMHDR, pr);
            else (this->*f.pfn_notify_v)(n->pNMHDR, pr);
            return TRUE;
        }
    }
    return FALSE;
}

// ---- the handle map ------------------------------------------------------------------------
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::CWnd() = default;

CWnd::~CWnd() {
    AfxForgetWindow(this);
    if (m_hWnd) {
        CWnd* perm = FromHandlePermanent(m_hWnd);
        if (perm == this) {
            if (::IsWindow(m_hWnd)) DestroyWindow();
            if (m_hWnd) Detach();
        }
    }
}

HWND CWnd::GetSafeHwnd() const {
    const CWnd* self = this;
    return self ? m_hWnd : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND h) {
    if (!h) return nullptr;
    std::lock_guard<std::mutex> g(afx::PermLock());
    auto it = afx::PermMap().find(h);
    return it == afx::PermMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND h) {
    if (!h) return nullptr;
    if (CWnd* p = FromHandlePermanent(h)) return p;
    auto& temp = State().temp_wnds;
    auto it = temp.find(h);
    if (it != temp.end()) return it->second;
    CWnd* w = new CWnd;
    w->m_hWnd = h;
    temp[h] = w;
    return w;
}

void CWnd::DeleteTempMap() { AfxOnIdleCleanup(); }

BOOL CWnd::Attach(HWND h) {
    if (!h || m_hWnd) return FALSE;
    {
        std::lock_guard<std::mutex> g(afx::PermLock());
        auto [it, fresh] = afx::PermMap().emplace(h, this);
        if (!fresh) return FALSE;  // another object owns this window
    }
    m_hWnd = h;
    // A temporary wrapper for the same window would now be stale.
    auto& temp = State().temp_wnds;
    auto t = temp.find(h);
    if (t != temp.end()) {
        t->second->m_hWnd = nullptr;
        delete t->second;
        temp.erase(t);
    }
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        std::lock_guard<std::mutex> g(afx::PermLock());
        auto it = afx::PermMap().find(h);
        if (it != afx::PermMap().end() && it->second == this) afx::PermMap().erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND h) {
    if (!::IsWindow(h) || !Attach(h)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    HWND h = ::GetDlgItem(parent->m_hWnd, int(id));
    return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- creation ------------------------------------------------------------------------------
namespace {

void AttachAtBirth(CWnd* w, HWND h) {
    if (!w->Attach(h)) return;
    w->PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) w->m_pfnSuper = old;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) {
    auto& s = State();
    if (code == HCBT_CREATEWND && s.pending_create) {
        CWnd* w = s.pending_create;
        s.pending_create = nullptr;
        AttachAtBirth(w, reinterpret_cast<HWND>(wp));
    }
    return ::CallNextHookEx(s.cbt_hook, code, wp, lp);
}

// System modal loops (message boxes, menus, the dialog manager's own loops) run the framework's
// pre-translation too, so tooltips and relays keep working while they are up.
LRESULT CALLBACK FilterHook(int code, WPARAM wp, LPARAM lp) {
    auto& s = State();
    if (code >= 0 && lp) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (CWnd::WalkPreTranslateTree(nullptr, msg)) return TRUE;
    }
    return ::CallNextHookEx(s.filter_hook, code, wp, lp);
}

void EnsureHooks() {
    auto& s = State();
    if (!s.cbt_hook) s.cbt_hook = ::SetWindowsHookExA(WH_CBT, &CbtHook, nullptr, ::GetCurrentThreadId());
    if (!s.filter_hook) s.filter_hook = ::SetWindowsHookExA(WH_MSGFILTER, &FilterHook, nullptr, ::GetCurrentThreadId());
}

}  // namespace

void AfxHookWindowCreate(CWnd* wnd) {
    EnsureHooks();
    State().pending_create = wnd;
}

BOOL AfxUnhookWindowCreate() {
    auto& s = State();
    bool consumed = s.pending_create == nullptr;
    s.pending_create = nullptr;
    return consumed;
}

LPCSTR AfxRegisterWndClass(UINT class_style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex m;
    static std::set<std::string>* names = new std::set<std::string>;
    char name[128];
    std::snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", class_style, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    std::lock_guard<std::mutex> g(m);
    auto it = names->find(name);
    if (it != names->end()) return it->c_str();
    WNDCLASSA wc{};
    wc.style = class_style;
    // The framework's procedure from birth: creation messages reach the object even where the
    // layer runs no creation hook. Unowned windows of the class get the default procedure.
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc)) {
        WNDCLASSA existing;
        if (!::GetClassInfoA(wc.hInstance, name, &existing)) return nullptr;
    }
    return names->insert(name).first->c_str();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)));
    return cs.lpszClass != nullptr;
}

BOOL CWnd::CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int w, int h,
                    HWND parent, HMENU id_or_menu, LPVOID param) {
    CREATESTRUCT cs{};
    cs.dwExStyle = ex_style;
    cs.lpszClass = class_name;
    cs.lpszName = window_name;
    cs.style = LONG(style);
    cs.x = x;
    cs.y = y;
    cs.cx = w;
    cs.cy = h;
    cs.hwndParent = parent;
    cs.hMenu = id_or_menu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    bool hooked = AfxUnhookWindowCreate();
    if (hwnd && !hooked && !m_hWnd) AttachAtBirth(this, hwnd);  // the layer ran no creation hook
    if (!hwnd) {
        if (m_hWnd) Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& r, CWnd* parent,
                    UINT id, LPVOID param) {
    return CreateEx(ex_style, class_name, window_name, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(uintptr_t(id)), param);
}

BOOL CWnd::Create(LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& r, CWnd* parent, UINT id, void*) {
    return CreateEx(0, class_name, window_name, style | WS_CHILD, r, parent, id);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    HWND h = m_hWnd;
    bool perm = FromHandlePermanent(h) == this;
    BOOL ok = ::DestroyWindow(h);
    // A window attached without our procedure never reported its last message: it is still
    // mapped to this object. One that did may have deleted its object (a frame does), so the
    // object is not touched unless the map still holds it.
    if (perm && FromHandlePermanent(h) == this) Detach();
    return ok;
}

void CWnd::PostNcDestroy() {}

// ---- dispatch ------------------------------------------------------------------------------
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& s = State();
    MSG saved = s.last_msg;
    s.last_msg.hwnd = hwnd;
    s.last_msg.message = msg;
    s.last_msg.wParam = wp;
    s.last_msg.lParam = lp;
    LRESULT r = wnd->WindowProc(msg, wp, lp);
    if (msg == WM_NCDESTROY && wnd->m_hWnd == hwnd) {
        // The window is gone: give the original procedure back and forget the handle.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &AfxWndProc && wnd->m_pfnSuper)
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_pfnSuper));
        wnd->m_pfnSuper = nullptr;
        wnd->Detach();
        AfxForgetWindow(wnd);
        wnd->m_nFlags &= ~(WF_TOOLTIPS | WF_TRACKINGTOOLTIPS);
        if (s.tip_owner == hwnd || s.tip_info.hwnd == hwnd) {
            // The tooltip must not ask a dead window for its text.
            if (s.tip_hit != -1 && s.tooltip && ::IsWindow(s.tooltip))
                ::SendMessageA(s.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&s.tip_info));
            s.tip_owner = nullptr;
            s.tip_hit = -1;
        }
        s.last_msg = saved;
        wnd->PostNcDestroy();
        return r;
    }
    s.last_msg = saved;
    return r;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* w = CWnd::FromHandlePermanent(hwnd);
    if (!w) {
        auto& s = State();
        if (s.pending_create) {  // no creation hook: attach at the first message instead
            w = s.pending_create;
            s.pending_create = nullptr;
            if (!w->Attach(hwnd)) return ::DefWindowProcA(hwnd, msg, wp, lp);
        } else {
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        }
    }
    return AfxCallWndProc(w, hwnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (!OnWndMsg(msg, wp, lp, &r)) r = DefWindowProc(msg, wp, lp);
    return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() {
    const MSG& m = State().last_msg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    LRESULT r = 0;
    if (msg == WM_COMMAND) {
        if (!OnCommand(wp, lp)) return FALSE;
        if (result) *result = 1;
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        if (!OnNotify(wp, lp, &r)) return FALSE;
        if (result) *result = r;
        return TRUE;
    }
    UINT key = IsCtlColor(msg) ? UINT(WM_CTLCOLOR) : msg;
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), key, 0, 0);
    if (e && CallWindowHandler(this, e, msg, wp, lp, &r)) {
        if (result) *result = r;
        return TRUE;
    }
    // No handler: the framework's defaults that reflect to the control first.
    switch (msg) {
        case WM_DRAWITEM: OnDrawItem(int(wp), reinterpret_cast<LPDRAWITEMSTRUCT>(lp)); r = TRUE; break;
        case WM_MEASUREITEM: OnMeasureItem(int(wp), reinterpret_cast<LPMEASUREITEMSTRUCT>(lp)); r = TRUE; break;
        case WM_HSCROLL:
            OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lp))));
            break;
        case WM_VSCROLL:
            OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lp))));
            break;
        case WM_DELETEITEM:
        case WM_COMPAREITEM: {
            // The control's handle is in the structure.
            HWND ctl = msg == WM_DELETEITEM ? reinterpret_cast<LPDELETEITEMSTRUCT>(lp)->hwndItem
                                            : reinterpret_cast<LPCOMPAREITEMSTRUCT>(lp)->hwndItem;
            if (!ReflectLastMsg(ctl, &r)) return FALSE;
            break;
        }
        default:
            if (IsCtlColor(msg)) {
                r = reinterpret_cast<LRESULT>(
                    OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wp)), FromHandle(reinterpret_cast<HWND>(lp)),
                               msg - WM_CTLCOLORMSGBOX));
                break;
            }
            return FALSE;
    }
    if (result) *result = r;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    int code = HIWORD(wp);
    HWND ctl = reinterpret_cast<HWND>(lp);
    if (ctl && ReflectLastMsg(ctl)) return TRUE;  // the control handled its own notification
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lp, LRESULT* result) {
    NMHDR* h = reinterpret_cast<NMHDR*>(lp);
    if (!h) return FALSE;
    if (h->hwndFrom && ReflectLastMsg(h->hwndFrom, result)) return TRUE;
    AFX_NOTIFY n{result, h};
    return OnCmdMsg(UINT(h->idFrom), int(h->code), &n, nullptr);
}

BOOL CWnd::OnCmdMsg(UINT id, int code, void* extra, void* info) { return CCmdTarget::OnCmdMsg(id, code, extra, info); }

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
    CWnd* w = FromHandlePermanent(child);
    if (!w) return FALSE;
    const MSG& m = State().last_msg;
    return w->OnChildNotify(m.message, m.wParam, m.lParam, result);
}

BOOL CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return ReflectChildNotify(msg, wp, lp, result);
}

BOOL CWnd::OnChildNotifyDefault(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return ReflectChildNotify(msg, wp, lp, result);
}

BOOL CWnd::ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    LRESULT dummy = 0;
    LRESULT* pr = result ? result : &dummy;
    const AFX_MSGMAP* map = GetMessageMap();
    MessageMapFunctions f;
    if (msg == WM_COMMAND) {
        const AFX_MSGMAP_ENTRY* e = FindEntry(map, WM_REFLECT_BASE + WM_COMMAND, HIWORD(wp), 0);
        if (!e) return FALSE;
        f.pfn = e->pfn;
        if (e->nSig == AfxSig_cmd_b) return (this->*f.pfn_cmd_b)();
        (this->*f.pfn_cmd_v)();
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        NMHDR* h = reinterpret_cast<NMHDR*>(lp);
        const AFX_MSGMAP_ENTRY* e = FindEntry(map, WM_REFLECT_BASE + WM_NOTIFY, h->code, 0);
        if (!e) return FALSE;
        f.pfn = e->pfn;
        if (e->nSig == AfxSig_notify_b) return (this->*f.pfn_notify_b)(h, pr);
        (this->*f.pfn_notify_v)(h, pr);
        return TRUE;
    }
    if (IsCtlColor(msg)) {
        const AFX_MSGMAP_ENTRY* e = FindEntry(map, WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
        if (!e) return FALSE;
        f.pfn = e->pfn;
        HBRUSH b = (this->*f.pfn_hDw)(CDC::FromHandle(reinterpret_cast<HDC>(wp)), msg - WM_CTLCOLORMSGBOX);
        if (!b) return FALSE;  // no brush: the parent decides
        *pr = reinterpret_cast<LRESULT>(b);
        return TRUE;
    }
    return FALSE;
}

// ---- default handlers ----------------------------------------------------------------------
int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnCancelMode() { Default(); }
UINT CWnd::OnGetDlgCode() { return UINT(Default()); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT) {
    LRESULT r = 0;
    const MSG& m = State().last_msg;
    HWND ctl = m.message == WM_CTLCOLOR ? nullptr : reinterpret_cast<HWND>(m.lParam);
    if (!ctl && wnd) ctl = wnd->m_hWnd;
    if (ctl && ReflectLastMsg(ctl, &r)) return reinterpret_cast<HBRUSH>(r);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (dis && dis->CtlType == ODT_MENU) {
        if (CMenu* m = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(dis->hwndItem))) {
            m->DrawItem(dis);
            return;
        }
    } else if (dis && ReflectLastMsg(dis->hwndItem)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
    if (mis && mis->CtlType != ODT_MENU) {
        HWND ctl = ::GetDlgItem(m_hWnd, int(mis->CtlID));
        if (ctl && ReflectLastMsg(ctl)) return;
    }
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && bar->m_hWnd && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && bar->m_hWnd && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}

// ---- pre-translation and modal loops -------------------------------------------------------
BOOL CWnd::PreTranslateMessage(MSG* msg) {
    if (m_nFlags & WF_TOOLTIPS) FilterToolTipMessage(msg);
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    // From the target up through its parents to its top-level window (or `stop`).
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* w = FromHandlePermanent(h))
            if (w->PreTranslateMessage(msg)) return TRUE;
        if (h == stop) break;
        if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

BOOL AfxPreTranslateMessage(MSG* msg) {
    if (CWinThread* t = AfxGetThread()) return t->PreTranslateMessage(msg);
    return msg->hwnd ? CWnd::WalkPreTranslateTree(nullptr, msg) : FALSE;
}

BOOL AfxPumpMessage() {
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int result) {
    m_nModalResult = result;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    }
}

int CWnd::RunModalLoop(DWORD) {
    m_nFlags |= WF_MODALLOOP;
    MSG msg;
    while (ContinueModal()) {
        while (ContinueModal() && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxOnIdleCleanup();
            if (!ContinueModal()) break;
            ::WaitMessage();
        }
        if (!ContinueModal()) break;
        if (!AfxPumpMessage()) {
            ::PostQuitMessage(0);  // keep the quit for the outer loop
            break;
        }
        if (!m_hWnd) break;  // destroyed while running
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

// ---- tooltips ------------------------------------------------------------------------------
BOOL CWnd::EnableToolTips(BOOL enable) {
    if (enable) m_nFlags |= WF_TOOLTIPS;
    else {
        m_nFlags &= ~WF_TOOLTIPS;
        auto& s = State();
        if (s.tip_owner == m_hWnd) CancelToolTips();
    }
    return TRUE;
}

BOOL CWnd::EnableTrackingToolTips(BOOL enable) {
    if (enable) m_nFlags |= WF_TRACKINGTOOLTIPS;
    else m_nFlags &= ~WF_TRACKINGTOOLTIPS;
    return EnableToolTips(enable);
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFOA* ti) const {
    // The default tool is the child control under the point, by its window handle.
    HWND child = ::ChildWindowFromPoint(m_hWnd, point);
    if (!child || child == m_hWnd) return -1;
    int id = ::GetDlgCtrlID(child);
    if (id == 0 || id == -1 || id == 0xFFFF) return -1;
    if (ti) {
        ti->hwnd = m_hWnd;
        ti->uId = reinterpret_cast<UINT_PTR>(child);
        ti->uFlags |= TTF_IDISHWND;
        ti->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return id;
}

void CWnd::CancelToolTips(BOOL) {
    auto& s = State();
    if (s.tooltip && ::IsWindow(s.tooltip)) ::SendMessageA(s.tooltip, TTM_POP, 0, 0);
}

namespace {
bool IsMouseMessage(UINT m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}
void FreeToolText(TOOLINFOA& ti) {
    if (ti.lpszText && ti.lpszText != LPSTR_TEXTCALLBACKA) std::free(ti.lpszText);
    ti.lpszText = nullptr;
}
}  // namespace

void CWnd::FilterToolTipMessage(MSG* msg) {
    UINT m = msg->message;
    auto& s = State();
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN) {
        // Presses hide the tip; the press is still relayed below so the control sees it.
        if (s.tooltip && ::IsWindow(s.tooltip) && !IsMouseMessage(m)) ::SendMessageA(s.tooltip, TTM_POP, 0, 0);
    }
    if (!IsMouseMessage(m)) return;

    // The framework's tooltip control is one per thread, owned by the top-level window.
    if (!s.tooltip || !::IsWindow(s.tooltip)) {
        HWND top = m_hWnd;
        while (::GetWindowLongA(top, GWL_STYLE) & WS_CHILD) top = ::GetParent(top);
        s.tooltip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr,
                                      AfxGetInstanceHandle(), nullptr);
        s.tip_owner = nullptr;
        s.tip_hit = -1;
        if (!s.tooltip) return;
        ::SendMessageA(s.tooltip, TTM_ACTIVATE, TRUE, 0);
    }

    POINT pt = msg->pt;
    ::ScreenToClient(m_hWnd, &pt);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    INT_PTR hit = OnToolHitTest(CPoint(pt), &ti);
    bool same = hit == s.tip_hit && s.tip_owner == m_hWnd && ti.hwnd == s.tip_info.hwnd && ti.uId == s.tip_info.uId;
    if (!same) {
        if (s.tip_hit != -1) {
            ::SendMessageA(s.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&s.tip_info));
            s.tip_hit = -1;
            s.tip_owner = nullptr;
        }
        if (hit != -1) {
            if (!ti.hwnd) ti.hwnd = m_hWnd;
            ::SendMessageA(s.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
            s.tip_info = ti;
            s.tip_info.lpszText = LPSTR_TEXTCALLBACKA;
            s.tip_hit = hit;
            s.tip_owner = m_hWnd;
        }
    }
    FreeToolText(ti);
    if (s.tip_hit != -1) {
        // The tooltip reads positions in the tool window's client coordinates.
        // A tool named by a window handle is that window's; others belong to the tool's hwnd.
        HWND tool = (s.tip_info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(s.tip_info.uId) : s.tip_info.hwnd;
        MSG relay = *msg;
        if (relay.hwnd != tool && relay.message < WM_NCMOUSEMOVE) {
            POINT p = msg->pt;
            ::ScreenToClient(tool, &p);
            relay.hwnd = tool;
            relay.lParam = MAKELPARAM(p.x, p.y);
        }
        ::SendMessageA(s.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    } else {
        ::SendMessageA(s.tooltip, TTM_POP, 0, 0);
    }
}
