// The MDI client window ("MDIClient"): the area of a frame window that holds its document
// windows. It makes them (WM_MDICREATE), knows which one is active and maximises, restores,
// activates and destroys them on request. Document windows are its children with
// WS_EX_MDICHILD; the window system's ordinary child handling does the rest.
#include <algorithm>

#include "controls/common.h"

namespace plat::controls {

namespace {

struct MdiClient {
    HWND hwnd = nullptr;
    HWND active = nullptr;
    UINT nextId = 0;
    int cascade = 0;  // how many children were placed by default so far
};

bool IsMdiChild(HWND client, HWND child) {
    return child && IsWindow(child) && GetParent(child) == client &&
           (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

// The active child; when it went away, the topmost remaining one takes its place.
HWND Active(MdiClient* s) {
    if (IsMdiChild(s->hwnd, s->active)) return s->active;
    s->active = nullptr;
    for (HWND c = GetWindow(s->hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsMdiChild(s->hwnd, c) && IsWindowVisible(c)) return s->active = c;
    return nullptr;
}

void Activate(MdiClient* s, HWND child) {
    HWND old = Active(s);
    if (!IsMdiChild(s->hwnd, child) || child == old) return;
    s->active = child;
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (old) SendMessageA(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
}

LRESULT Create(MdiClient* s, const MDICREATESTRUCTA* cs) {
    if (!cs || !cs->szClass) return 0;
    RECT client;
    GetClientRect(s->hwnd, &client);
    int x = cs->x, y = cs->y, cx = cs->cx, cy = cs->cy;
    // Unplaced children cascade down from the top-left corner at two thirds of the client.
    if (x == int(CW_USEDEFAULT)) {
        const int step = GetSystemMetrics(SM_CYCAPTION) * (s->cascade++ % 8);
        x = y = step;
    }
    if (cx == int(CW_USEDEFAULT)) {
        cx = std::max<int>(client.right * 2 / 3, 1);
        cy = std::max<int>(client.bottom * 2 / 3, 1);
    }
    // A maximised active child makes the new one start maximised too.
    BOOL maximised = FALSE;
    if (HWND a = Active(s)) maximised = IsZoomed(a);
    const DWORD style = (cs->style | WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE) & ~WS_POPUP;
    HWND child = CreateWindowExA(WS_EX_MDICHILD, cs->szClass, cs->szTitle, style, x, y, cx, cy, s->hwnd,
                                 reinterpret_cast<HMENU>(uintptr_t(s->nextId++)),
                                 static_cast<HINSTANCE>(cs->hOwner), reinterpret_cast<LPVOID>(cs->lParam));
    if (!child) return 0;
    Activate(s, child);
    if (maximised) ShowWindow(child, SW_MAXIMIZE);
    return reinterpret_cast<LRESULT>(child);
}

LRESULT Destroy(MdiClient* s, HWND child) {
    if (!IsMdiChild(s->hwnd, child)) return 0;
    if (child == s->active) s->active = nullptr;
    DestroyWindow(child);
    if (HWND next = Active(s)) {
        s->active = nullptr;
        Activate(s, next);
    }
    return 0;
}

LRESULT GetActive(MdiClient* s, LPARAM maximised) {
    HWND a = Active(s);
    if (maximised) *reinterpret_cast<BOOL*>(maximised) = a ? IsZoomed(a) : FALSE;
    return reinterpret_cast<LRESULT>(a);
}

LRESULT Show(MdiClient* s, HWND child, int cmd) {
    if (IsMdiChild(s->hwnd, child)) ShowWindow(child, cmd);
    return 0;
}

LRESULT OnCreate(MdiClient* s, LPARAM lParam) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* ccs = create ? static_cast<CLIENTCREATESTRUCT*>(create->lpCreateParams) : nullptr;
    s->nextId = ccs ? ccs->idFirstChild : 0;
    return 0;
}

}  // namespace

LRESULT CALLBACK MdiClientProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    MdiClient* s = ctl::AttachState<MdiClient>(h, msg);
    if (!s) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(s, lp);
    case WM_MDICREATE: return Create(s, reinterpret_cast<const MDICREATESTRUCTA*>(lp));
    case WM_MDIDESTROY: return Destroy(s, reinterpret_cast<HWND>(wp));
    case WM_MDIACTIVATE: Activate(s, reinterpret_cast<HWND>(wp)); return 0;
    case WM_MDIGETACTIVE: return GetActive(s, lp);
    case WM_MDIRESTORE: return Show(s, reinterpret_cast<HWND>(wp), SW_RESTORE);
    case WM_MDIMAXIMIZE: return Show(s, reinterpret_cast<HWND>(wp), SW_MAXIMIZE);
    case WM_NCDESTROY: return ctl::FreeState(h, msg, wp, lp, s);
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls
