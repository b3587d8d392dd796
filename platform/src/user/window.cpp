// Windows: classes, creation and destruction, the tree, long values, text and properties.
#include "user/window.h"

#include <algorithm>
#include <cstring>

#include "backend/backend.h"
#include "kernel/kobjects.h"
#include "user/classes.h"
#include "user/queue.h"

namespace plat::user {

HandleTable<Window>& Windows() {
    static auto* t = new HandleTable<Window>(HandleKind::Window);
    return *t;
}
Window* W(HWND h) { return Windows().GetRaw(h); }
std::shared_ptr<Window> WRef(HWND h) { return Windows().Get(h); }

LockedWindow::LockedWindow(HWND h, Lookup how) : Locked<Window>(Windows(), h) {
    if (!get() && how == Lookup::Report) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
}

namespace {

std::vector<std::shared_ptr<WindowClass>>& Classes() {
    static auto* v = new std::vector<std::shared_ptr<WindowClass>>;
    return *v;
}
ATOM g_next_atom = 0xC000;

bool SameName(const std::string& a, LPCSTR b) { return strcasecmp(a.c_str(), b) == 0; }

// Procedures the layers above gave the system classes, in the order they came.
std::vector<SystemClassSetup>& Setups() {
    static auto* v = new std::vector<SystemClassSetup>;
    return *v;
}
bool g_system_classes_made = false;  // under the global lock

// Under the global lock, once the system classes exist.
std::shared_ptr<WindowClass> SystemClass(const char* name) {
    for (auto& c : Classes())
        if (c->system && SameName(c->name, name)) return c;
    return nullptr;
}
bool ApplySetup(const SystemClassSetup& s) {
    std::shared_ptr<WindowClass> c = SystemClass(s.name);
    if (!c) return false;
    c->proc = s.proc;
    c->wnd_extra = s.wnd_extra;
    c->style = s.style;
    c->background = s.background;
    return true;
}
ATOM AddClass(std::shared_ptr<WindowClass> c);
// A registration names a class of the layer's own: one the window system does not make itself
// becomes a system class like the others.
void ApplyOrAdd(const SystemClassSetup& s) {
    if (ApplySetup(s)) return;
    auto c = std::make_shared<WindowClass>();
    c->name = s.name;
    c->system = true;
    AddClass(c);
    ApplySetup(s);
}

std::shared_ptr<WindowClass> ClassByAtom(ATOM a) {
    for (auto& c : Classes())
        if (c->atom == a) return c;
    return nullptr;
}

ATOM AddClass(std::shared_ptr<WindowClass> c) {
    Guard g(GlobalLock());
    for (auto& o : Classes()) {
        if (SameName(o->name, c->name.c_str()) && (o->system || o->instance == c->instance)) {
            if (o->system && !c->system) {
                // A program may register its own class under a system name; it then shadows it.
                continue;
            }
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    c->atom = g_next_atom++;
    Classes().insert(Classes().begin(), c);  // newest first: program classes shadow system ones
    return c->atom;
}

LRESULT CALLBACK DesktopProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCSTR name, HINSTANCE instance) {
    EnsureSystemClasses();
    Guard g(GlobalLock());
    if (!name) return nullptr;
    if (IS_INTRESOURCE(name)) return ClassByAtom(ATOM(reinterpret_cast<uintptr_t>(name)));
    std::shared_ptr<WindowClass> sys;
    for (auto& c : Classes()) {
        if (!SameName(c->name, name)) continue;
        if (!c->system && (c->instance == instance || !instance || (c->style & CS_GLOBALCLASS))) return c;
        if (!c->system && !sys) sys = c;
        if (c->system && !sys) sys = c;
    }
    return sys;
}

// Classes every program finds registered. Their procedures are the layer's defaults until the
// controls' registrations replace them.
void EnsureSystemClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        static const char* const kNames[] = {
            "#32770", "#32768", "#32769", "Button", "Static", "Edit", "ListBox", "ComboBox", "ComboLBox",
            "ScrollBar", "SysListView32", "SysHeader32", "msctls_trackbar32", "msctls_progress32",
            "tooltips_class32", "msctls_updown32", "SysTabControl32", "ToolbarWindow32", "msctls_statusbar32",
            "ReBarWindow32", "SysDateTimePick32", "SysMonthCal32", "SysAnimate32", "SysLink", "Message"};
        for (const char* n : kNames) {
            auto c = std::make_shared<WindowClass>();
            c->name = n;
            c->system = true;
            c->proc = DefWindowProcA;
            c->style = CS_DBLCLKS;
            if (strcmp(n, "#32770") == 0) {
                c->wnd_extra = DLGWINDOWEXTRA;
                c->style = CS_DBLCLKS | CS_SAVEBITS;
            }
            if (strcmp(n, "#32768") == 0) c->style = CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW;
            if (strcmp(n, "#32769") == 0) c->proc = DesktopProc;
            c->background = strcmp(n, "#32770") == 0 ? reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1))
                                                     : nullptr;
            AddClass(c);
        }
        Guard g(GlobalLock());
        g_system_classes_made = true;
        for (const SystemClassSetup& s : Setups()) ApplyOrAdd(s);
    });
}

void RegisterSystemClass(const SystemClassSetup& setup) {
    Guard g(GlobalLock());
    Setups().push_back(setup);
    if (g_system_classes_made) ApplyOrAdd(setup);
}

bool ReplaceSystemClassProc(const char* name, WNDPROC proc, int wnd_extra, UINT style, HBRUSH background) {
    EnsureSystemClasses();
    Guard g(GlobalLock());
    return ApplySetup(SystemClassSetup{name, proc, wnd_extra, style, background});
}

HWND Desktop() {
    static HWND desktop = [] {
        EnsureSystemClasses();
        auto w = std::make_shared<Window>();
        w->cls = FindClass("#32769", nullptr);
        w->is_desktop = true;
        w->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        Backend* b = BackendOrNull();
        RECT s = b ? b->ScreenRect() : RECT{0, 0, 1024, 768};
        w->wr = w->cr = s;
        w->proc = DesktopProc;
        w->created = true;
        HWND h = Windows().Add<HWND>(w);
        w->hwnd = h;
        return h;
    }();
    return desktop;
}

std::vector<HWND>& TopLevels() {
    static auto* v = new std::vector<HWND>;
    return *v;
}

// Where the parent's client area lies on the screen: the ancestors' client offsets summed.
static POINT ParentClientOrigin(const Window* w) {
    POINT p{0, 0};
    for (const Window* a = w->parent ? W(w->parent) : nullptr; a; a = a->parent ? W(a->parent) : nullptr) {
        p.x += a->cr.left;
        p.y += a->cr.top;
    }
    return p;
}
POINT ClientOrigin(const Window* w) {
    POINT p = ParentClientOrigin(w);
    return POINT{p.x + w->cr.left, p.y + w->cr.top};
}
POINT WindowOrigin(const Window* w) {
    POINT p = ParentClientOrigin(w);
    return POINT{p.x + w->wr.left, p.y + w->wr.top};
}
RECT ScreenWindowRect(const Window* w) {
    POINT o = WindowOrigin(w);
    return RECT{o.x, o.y, o.x + (w->wr.right - w->wr.left), o.y + (w->wr.bottom - w->wr.top)};
}
RECT ScreenClientRect(const Window* w) {
    POINT o = ClientOrigin(w);
    return RECT{o.x, o.y, o.x + (w->cr.right - w->cr.left), o.y + (w->cr.bottom - w->cr.top)};
}
Window* RootOf(Window* w) {
    while (w && w->parent) w = W(w->parent);
    return w;
}

bool OwnedBy(const Window* w, HWND owner) {
    int depth = 0;  // owners set through GWLP_HWNDPARENT may form a loop
    for (const Window* o = w ? W(w->owner) : nullptr; o && depth < 64; o = W(o->owner), ++depth)
        if (o->hwnd == owner) return true;
    return false;
}

bool IsVisibleChain(const Window* w) {
    for (; w; w = w->parent ? W(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return SendMessageA(hwnd, msg, wp, lp); }

// A thread that ends takes its windows with it. Nothing can answer their messages any more, so
// they go without any: out of the tree, the handle table and the screen.
void DestroyThreadWindows(DWORD tid) {
    std::vector<std::shared_ptr<Window>> gone;
    std::vector<HWND> tops;
    std::vector<HRGN> rgns;
    {
        Guard g(GlobalLock());
        std::vector<HWND> all;
        Windows().ForEach([&](const std::shared_ptr<Window>& w) {
            if (w->tid == tid && !w->is_desktop) all.push_back(w->hwnd);
        });
        for (HWND h : all) {
            Window* w = W(h);
            if (!w) continue;
            gone.push_back(WRef(h));
            if (!w->parent && !w->is_message_only) tops.push_back(h);
            if (w->window_rgn) rgns.push_back(w->window_rgn);
        }
        for (auto& w : gone) {
            if (w->parent) {
                if (Window* p = W(w->parent)) {
                    auto& c = p->children;
                    c.erase(std::remove(c.begin(), c.end(), w->hwnd), c.end());
                }
            } else {
                auto& v = TopLevels();
                v.erase(std::remove(v.begin(), v.end(), w->hwnd), v.end());
            }
            w->destroyed = true;
            w->props.clear();
            if (w->cls) w->cls->windows--;
            Windows().Remove(w->hwnd);
        }
    }
    for (auto& w : gone) ForgetWindowState(w->hwnd);
    for (HRGN r : rgns) DeleteObject(r);
    if (Backend* b = BackendOrNull())
        for (HWND h : tops) b->DestroyTopLevel(h);
}

void NotifyTopLevelChanged(Window* w) {
    Backend* b = BackendOrNull();
    if (!b || !w || w->parent || w->is_desktop || w->is_message_only) return;
    b->MoveTopLevel(w->hwnd, w->wr);
}

}  // namespace plat::user

using namespace plat;
using namespace plat::user;

namespace {

HWND RootHwnd(HWND h) {
    Window* w = W(h);
    Window* r = RootOf(w);
    return r ? r->hwnd : nullptr;
}

// The top-level insertion point: below topmost windows unless the new one is topmost.
void InsertTopLevel(Window* w) {
    auto& v = TopLevels();
    size_t i = 0;
    if (!(w->exstyle & WS_EX_TOPMOST)) {
        while (i < v.size()) {
            Window* o = W(v[i]);
            if (!o || !(o->exstyle & WS_EX_TOPMOST)) break;
            ++i;
        }
    }
    v.insert(v.begin() + long(i), w->hwnd);
}

void Unlink(Window* w) {
    if (w->parent) {
        if (Window* p = W(w->parent)) {
            auto& c = p->children;
            c.erase(std::remove(c.begin(), c.end(), w->hwnd), c.end());
        }
    } else {
        auto& v = TopLevels();
        v.erase(std::remove(v.begin(), v.end(), w->hwnd), v.end());
    }
}

// Menus, drop-down lists and tooltips float over the desktop on their own; every other top
// level, a dialog without a caption included, is a window the desktop's manager keeps.
bool IsDesktopPopup(const Window& w) {
    if (!(w.style & WS_POPUP) || (w.exstyle & WS_EX_APPWINDOW)) return false;
    if (w.cls && w.cls->name == "#32770") return false;
    return (w.style & WS_CAPTION) != WS_CAPTION;
}

bool ValidIndexForExtra(const Window* w, int index, size_t size) {
    return index >= 0 && size_t(index) + size <= w->extra.size();
}

int DefaultCoord(int v, int fallback) { return v == CW_USEDEFAULT ? fallback : v; }

void SendDestroy(HWND hwnd) {
    Send(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> kids;
    {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) kids = w->children;
    }
    for (HWND k : kids) {
        bool ok;
        {
            Guard g(GlobalLock());
            Window* kw = W(k);
            ok = kw && !kw->destroying;
            if (ok) kw->destroying = true;
        }
        if (ok) SendDestroy(k);
    }
}

void SendNcDestroy(HWND hwnd) {
    std::vector<HWND> kids;
    {
        Guard g(GlobalLock());
        if (Window* w = W(hwnd)) kids = w->children;
    }
    for (HWND k : kids) SendNcDestroy(k);
    Send(hwnd, WM_NCDESTROY, 0, 0);
    // Now the handle dies: properties, timers, queued messages and the frame go with it.
    HMENU menu = nullptr;
    HRGN rgn = nullptr;
    DWORD tid = 0;
    bool top = false;
    std::shared_ptr<Window> keep;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return;
        keep = WRef(hwnd);
        tid = w->tid;
        top = !w->parent;
        if (!(w->style & WS_CHILD)) menu = w->menu;
        rgn = w->window_rgn;
        w->props.clear();
        w->destroyed = true;
        Unlink(w);
        if (w->cls) w->cls->windows--;
        Windows().Remove(hwnd);
    }
    KillWindowTimers(hwnd);
    PurgeWindowMessages(hwnd, tid);
    ForgetWindowState(hwnd);
    if (menu) DestroyMenu(menu);
    if (rgn) DeleteObject(rgn);
    if (top) {
        if (Backend* b = BackendOrNull()) b->DestroyTopLevel(hwnd);
    }
}

}  // namespace

extern "C" {

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName || wc->cbClsExtra < 0 || wc->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    EnsureSystemClasses();
    auto c = std::make_shared<WindowClass>();
    if (IS_INTRESOURCE(wc->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    c->name = wc->lpszClassName;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->cls_extra = wc->cbClsExtra;
    c->wnd_extra = wc->cbWndExtra;
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->icon_small = wc->hIconSm;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) c->menu_name = wc->lpszMenuName;
    c->extra.assign(size_t(wc->cbClsExtra), 0);
    return AddClass(c);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA x{};
    x.cbSize = sizeof(x);
    x.style = wc->style;
    x.lpfnWndProc = wc->lpfnWndProc;
    x.cbClsExtra = wc->cbClsExtra;
    x.cbWndExtra = wc->cbWndExtra;
    x.hInstance = wc->hInstance;
    x.hIcon = wc->hIcon;
    x.hCursor = wc->hCursor;
    x.hbrBackground = wc->hbrBackground;
    x.lpszMenuName = wc->lpszMenuName;
    x.lpszClassName = wc->lpszClassName;
    return RegisterClassExA(&x);
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    Guard g(GlobalLock());
    auto& v = Classes();
    for (size_t i = 0; i < v.size(); ++i) {
        auto& c = v[i];
        bool match = IS_INTRESOURCE(name) ? c->atom == ATOM(reinterpret_cast<uintptr_t>(name))
                                          : (name && SameName(c->name, name));
        if (!match || c->system || c->instance != instance) continue;
        if (c->windows > 0) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
        v.erase(v.begin() + long(i));
        return TRUE;
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE instance, LPCSTR name, LPWNDCLASSEXA wc) {
    auto c = FindClass(name, instance);
    if (!c || !wc) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    Guard g(GlobalLock());
    wc->style = c->style;
    wc->lpfnWndProc = c->proc;
    wc->cbClsExtra = c->cls_extra;
    wc->cbWndExtra = c->wnd_extra;
    wc->hInstance = c->instance;
    wc->hIcon = c->icon;
    wc->hIconSm = c->icon_small;
    wc->hCursor = c->cursor;
    wc->hbrBackground = c->background;
    wc->lpszMenuName = c->menu_name.empty() ? nullptr : c->menu_name.c_str();
    wc->lpszClassName = c->name.c_str();
    return BOOL(c->atom);
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, LPWNDCLASSA wc) {
    WNDCLASSEXA x{};
    x.cbSize = sizeof(x);
    BOOL r = GetClassInfoExA(instance, name, &x);
    if (!r || !wc) return r;
    wc->style = x.style;
    wc->lpfnWndProc = x.lpfnWndProc;
    wc->cbClsExtra = x.cbClsExtra;
    wc->cbWndExtra = x.cbWndExtra;
    wc->hInstance = x.hInstance;
    wc->hIcon = x.hIcon;
    wc->hCursor = x.hCursor;
    wc->hbrBackground = x.hbrBackground;
    wc->lpszMenuName = x.lpszMenuName;
    wc->lpszClassName = x.lpszClassName;
    return r;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR name, int size) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !name || size <= 0) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const std::string& n = w->cls->name;
    int len = std::min<int>(int(n.size()), size - 1);
    memcpy(name, n.data(), size_t(len));
    name[len] = 0;
    return len;
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hwnd, int index) {
    LockedWindow w(hwnd);
    if (!w) return 0;
    WindowClass* c = w->cls.get();
    switch (index) {
        case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->background);
        case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->cursor);
        case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c->icon);
        case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c->icon_small);
        case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c->instance);
        case GCL_CBWNDEXTRA: return ULONG_PTR(c->wnd_extra);
        case GCL_CBCLSEXTRA: return ULONG_PTR(c->cls_extra);
        case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->proc);
        case GCL_STYLE: return c->style;
        case GCW_ATOM: return c->atom;
        default:
            if (index >= 0 && size_t(index) + sizeof(ULONG_PTR) <= c->extra.size()) {
                ULONG_PTR v;
                memcpy(&v, c->extra.data() + index, sizeof(v));
                return v;
            }
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

DWORD WINAPI GetClassLongA(HWND hwnd, int index) { return DWORD(GetClassLongPtrA(hwnd, index)); }

ULONG_PTR WINAPI SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    LockedWindow w(hwnd);
    if (!w) return 0;
    ULONG_PTR old = GetClassLongPtrA(hwnd, index);
    WindowClass* c = w->cls.get();
    switch (index) {
        case GCLP_HBRBACKGROUND: c->background = reinterpret_cast<HBRUSH>(value); break;
        case GCLP_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(value); break;
        case GCLP_HICON: c->icon = reinterpret_cast<HICON>(value); break;
        case GCLP_HICONSM: c->icon_small = reinterpret_cast<HICON>(value); break;
        case GCLP_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(value); break;
        case GCL_STYLE: c->style = UINT(value); break;
        default:
            if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= c->extra.size()) {
                memcpy(c->extra.data() + index, &value, sizeof(value));
                break;
            }
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
    return old;
}

HWND WINAPI CreateWindowExA(DWORD exstyle, LPCSTR class_name, LPCSTR name, DWORD style, int x, int y, int cx,
                            int cy, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    auto cls = FindClass(class_name, instance);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    CurrentQueue();  // a thread with windows has a queue, and its windows end with it
    auto w = std::make_shared<Window>();
    bool message_only = parent == HWND_MESSAGE;
    if (message_only) parent = nullptr;
    if (parent == Desktop()) parent = nullptr;
    {
        Guard g(GlobalLock());
        if (parent && !W(parent)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if ((style & WS_CHILD) && !parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (!(style & WS_CHILD) && menu && !IsMenu(menu)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return nullptr;
        }
        w->cls = cls;
        w->tid = kernel::CurrentTid();
        w->is_message_only = message_only;
        if (style & WS_CHILD) {
            w->parent = parent;
            w->id = LONG_PTR(reinterpret_cast<uintptr_t>(menu));
        } else {
            // A parent given to a top level becomes its owner (the owner is always a top level).
            w->owner = parent ? RootHwnd(parent) : nullptr;
            w->menu = menu;
        }
        // Overlapped windows always have a caption and a border.
        if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
        if (style & WS_CHILD) exstyle &= ~DWORD(WS_EX_TOPMOST);
        if (exstyle & WS_EX_DLGMODALFRAME) exstyle |= WS_EX_WINDOWEDGE;
        if ((style & WS_THICKFRAME) || (style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME))
            exstyle |= WS_EX_WINDOWEDGE;
        w->style = style & ~DWORD(WS_VISIBLE);
        w->exstyle = exstyle;
        w->proc = cls->proc;
        w->instance = instance;
        w->extra.assign(size_t(cls->wnd_extra), 0);
        if (name && !IS_INTRESOURCE(name)) w->text = name;
        if (style & WS_CHILD) {
            x = DefaultCoord(x, 0);
            y = DefaultCoord(y, 0);
            cx = DefaultCoord(cx, 0);
            cy = DefaultCoord(cy, 0);
        } else {
            if (x == CW_USEDEFAULT) {
                x = 100;
                y = 100;
            }
            if (cx == CW_USEDEFAULT) {
                cx = 640;
                cy = 480;
            }
        }
        if (cx < 0) cx = 0;
        if (cy < 0) cy = 0;
        w->wr = RECT{x, y, x + cx, y + cy};
        w->cr = w->wr;
        w->normal = w->wr;
        HWND h = Windows().Add<HWND>(w);
        w->hwnd = h;
        cls->windows++;
        if (w->parent) {
            W(w->parent)->children.push_back(h);  // new children go to the bottom of the z-order
        } else if (!message_only) {
            InsertTopLevel(w.get());
        }
        if (!w->parent && !message_only) w->surface = MakeWindowStore(cx, cy);
    }
    HWND hwnd = w->hwnd;
    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = w->wr.right - w->wr.left;
    cs.cy = w->wr.bottom - w->wr.top;
    cs.x = w->wr.left;
    cs.y = w->wr.top;
    cs.style = LONG(style);
    cs.lpszName = name;
    cs.lpszClass = class_name;
    cs.dwExStyle = w->exstyle;

    auto fail = [&]() -> HWND {
        bool alive;
        {
            Guard g(GlobalLock());
            alive = W(hwnd) != nullptr;
            if (alive) W(hwnd)->destroying = true;
        }
        if (alive) SendNcDestroy(hwnd);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    };

    if (!(style & WS_CHILD)) {
        MINMAXINFO mmi{};
        Backend* b = BackendOrNull();
        RECT work = b ? b->WorkArea() : RECT{0, 0, 1024, 768};
        mmi.ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
        mmi.ptMaxPosition = POINT{0, 0};
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    }
    if (!IsWindow(hwnd)) return fail();
    if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
    if (!IsWindow(hwnd)) return fail();
    {
        if (!(style & WS_CHILD) && !message_only) {
            if (Backend* b = BackendOrNull()) {
                // The backend is called without the lock: its compositor takes the lock too.
                RECT r;
                std::string title;
                bool popup;
                HWND owner;
                {
                    Guard g(GlobalLock());
                    r = W(hwnd)->wr;
                    title = W(hwnd)->text;
                    popup = IsDesktopPopup(*W(hwnd));
                    owner = W(hwnd)->owner;
                }
                WatchForSessionEnd();
                b->CreateTopLevel(hwnd, r, popup);
                b->SetTitle(hwnd, title.c_str());
                if (owner) b->SetTopLevelOwner(hwnd, owner);
            }
        }
        RECT rc;
        {
            Guard g(GlobalLock());
            rc = W(hwnd)->wr;
        }
        RECT wrc = rc;
        Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
        Guard g(GlobalLock());
        if (Window* ww = W(hwnd)) {
            if (rc.right < rc.left) rc.right = rc.left;
            if (rc.bottom < rc.top) rc.bottom = rc.top;
            ww->cr = rc;
            ww->wr = wrc;
        }
    }
    if (!IsWindow(hwnd)) return fail();
    if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
    if (!IsWindow(hwnd)) return fail();
    {
        Guard g(GlobalLock());
        W(hwnd)->created = true;
    }
    RECT cr, wr;
    {
        Guard g(GlobalLock());
        cr = W(hwnd)->cr;
        wr = W(hwnd)->wr;
    }
    Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right - cr.left, cr.bottom - cr.top));
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(cr.left, cr.top));
    (void)wr;
    if ((style & WS_CHILD) && !(exstyle & WS_EX_NOPARENTNOTIFY)) {
        // Each ancestor hears of the new child, nearest first, up to the first one that opted out.
        HWND child = hwnd;
        for (;;) {
            HWND p;
            DWORD pex;
            LONG_PTR cid;
            {
                Guard g(GlobalLock());
                Window* cw = W(child);
                if (!cw || !cw->parent || !(cw->style & WS_CHILD)) break;
                p = cw->parent;
                cid = W(hwnd) ? W(hwnd)->id : 0;
                pex = cw->exstyle;
            }
            if (child != hwnd && (pex & WS_EX_NOPARENTNOTIFY)) break;
            Send(p, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, cid), reinterpret_cast<LPARAM>(hwnd));
            if (!IsWindow(hwnd)) return nullptr;
            child = p;
        }
    }
    if (!IsWindow(hwnd)) return nullptr;
    if (style & WS_VISIBLE) {
        if (style & WS_MAXIMIZE)
            ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        else if (style & WS_MINIMIZE)
            ShowWindow(hwnd, SW_SHOWMINIMIZED);
        else
            ShowWindow(hwnd, SW_SHOW);
    }
    if (!IsWindow(hwnd)) return nullptr;
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    std::vector<HWND> owned;
    bool visible, child;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w || w->is_desktop) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (w->tid != kernel::CurrentTid()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) return TRUE;
        w->destroying = true;
        visible = (w->style & WS_VISIBLE) != 0;
        child = (w->style & WS_CHILD) != 0;
        if (!w->parent) {
            for (HWND t : TopLevels()) {
                Window* o = W(t);
                if (o && o->owner == hwnd) owned.push_back(t);
            }
        }
    }
    // Owned windows go first.
    for (HWND o : owned) DestroyWindow(o);
    if (child) {
        HWND p = nullptr;
        LONG_PTR id = 0;
        DWORD ex = 0;
        {
            Guard g(GlobalLock());
            Window* w = W(hwnd);
            if (w) {
                p = w->parent;
                id = w->id;
                ex = w->exstyle;
            }
        }
        if (p && !(ex & WS_EX_NOPARENTNOTIFY)) Send(p, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, id), LPARAM(hwnd));
    }
    if (visible && IsWindow(hwnd)) {
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (!IsWindow(hwnd)) return TRUE;
    ForgetWindowState(hwnd);
    SendDestroy(hwnd);
    SendNcDestroy(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    return w != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    return w && IsVisibleChain(w);
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsWindowUnicode(HWND) { return FALSE; }

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    while (w && (w->style & WS_CHILD) && w->parent) {
        if (w->parent == parent) return TRUE;
        w = W(w->parent);
    }
    return FALSE;
}

BOOL WINAPI IsIconic(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    return w && (w->style & WS_MINIMIZE);
}

BOOL WINAPI IsZoomed(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    return w && (w->style & WS_MAXIMIZE);
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    bool was_disabled;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        was_disabled = (w->style & WS_DISABLED) != 0;
        if (was_disabled == !enable) return was_disabled;
        if (enable)
            w->style &= ~DWORD(WS_DISABLED);
        else
            w->style |= WS_DISABLED;
    }
    // A disabled window loses the keyboard focus and the capture. A window that had the focus
    // itself loses it first; one whose control had it is told first, while the control still
    // has it: a dialog remembers which one, to give it back when it is enabled and active again.
    if (!enable && GetFocus() == hwnd) SetFocus(nullptr);
    Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    if (!enable && IsWindow(hwnd)) {
        HWND f = GetFocus();
        if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(nullptr);
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    return was_disabled;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    LockedWindow w(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
        case GWL_STYLE: return LONG_PTR(LONG(w->style));
        case GWL_EXSTYLE: return LONG_PTR(LONG(w->exstyle));
        case GWLP_USERDATA: return w->userdata;
        case GWLP_ID: return (w->style & WS_CHILD) ? w->id : reinterpret_cast<LONG_PTR>(w->menu);
        default:
            if (ValidIndexForExtra(w, index, sizeof(LONG_PTR))) {
                LONG_PTR v;
                memcpy(&v, w->extra.data() + index, sizeof(v));
                return v;
            }
            if (ValidIndexForExtra(w, index, sizeof(LONG))) {
                LONG v;
                memcpy(&v, w->extra.data() + index, sizeof(v));
                return v;
            }
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    LONG_PTR old;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        old = GetWindowLongPtrA(hwnd, index);
        switch (index) {
            case GWLP_WNDPROC:
                w->proc = reinterpret_cast<WNDPROC>(value);
                SetLastError(0);
                return old;
            case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
            case GWLP_HWNDPARENT:
                if (!(w->style & WS_CHILD)) w->owner = reinterpret_cast<HWND>(value);
                return old;
            case GWLP_USERDATA: w->userdata = value; return old;
            case GWLP_ID:
                if (w->style & WS_CHILD)
                    w->id = value;
                else
                    w->menu = reinterpret_cast<HMENU>(value);
                return old;
            case GWL_STYLE:
            case GWL_EXSTYLE: break;
            default:
                if (ValidIndexForExtra(w, index, sizeof(LONG_PTR))) {
                    memcpy(w->extra.data() + index, &value, sizeof(value));
                    return old;
                }
                SetLastError(ERROR_INVALID_INDEX);
                return 0;
        }
    }
    // Style changes are announced before and after, and the procedure may amend the new value.
    STYLESTRUCT ss{DWORD(old), DWORD(value)};
    Send(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return 0;
        if (index == GWL_STYLE) {
            // WS_VISIBLE too changes silently: nothing is shown, hidden or repainted for it.
            w->style = ss.styleNew;
        } else {
            w->exstyle = ss.styleNew;
        }
    }
    Send(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
    return old;
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    if (index >= 0) {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (w && ValidIndexForExtra(w, index, sizeof(LONG))) {
            LONG v;
            memcpy(&v, w->extra.data() + index, sizeof(v));
            return v;
        }
    }
    return LONG(GetWindowLongPtrA(hwnd, index));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    if (index >= 0) {
        LockedWindow w(hwnd);
        if (!w) return 0;
        if (!ValidIndexForExtra(w, index, sizeof(LONG))) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG old;
        memcpy(&old, w->extra.data() + index, sizeof(old));
        memcpy(w->extra.data() + index, &value, sizeof(value));
        return old;
    }
    return LONG(SetWindowLongPtrA(hwnd, index, value));
}

WORD WINAPI GetWindowWord(HWND hwnd, int index) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !ValidIndexForExtra(w, index, sizeof(WORD))) {
        SetLastError(w ? ERROR_INVALID_INDEX : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    WORD v;
    memcpy(&v, w->extra.data() + index, sizeof(v));
    return v;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int max) {
    if (!text || max <= 0) return 0;
    text[0] = 0;
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT n = Send(hwnd, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(text));
    if (n < 0) n = 0;
    if (n >= max) n = max - 1;
    text[n] = 0;
    return int(n);
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return int(Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return BOOL(Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

HWND WINAPI GetParent(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    if (w->style & WS_POPUP) return w->owner;
    return nullptr;
}

HWND WINAPI SetParent(HWND hwnd, HWND parent) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || (parent && !W(parent))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (parent == Desktop()) parent = nullptr;
    HWND old = w->parent ? w->parent : Desktop();
    POINT origin = WindowOrigin(w);
    int cx = w->wr.right - w->wr.left, cy = w->wr.bottom - w->wr.top;
    RECT c_off{w->cr.left - w->wr.left, w->cr.top - w->wr.top, w->cr.right - w->wr.left, w->cr.bottom - w->wr.top};
    Unlink(w);
    w->parent = parent;
    if (parent) {
        W(parent)->children.insert(W(parent)->children.begin(), hwnd);
        w->surface.reset();
        POINT po = ClientOrigin(W(parent));
        origin.x -= po.x;
        origin.y -= po.y;
    } else {
        InsertTopLevel(w);
        w->surface = MakeWindowStore(cx, cy);
    }
    w->wr = RECT{origin.x, origin.y, origin.x + cx, origin.y + cy};
    w->cr = RECT{origin.x + c_off.left, origin.y + c_off.top, origin.x + c_off.right, origin.y + c_off.bottom};
    return old;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || w->is_desktop) return nullptr;
    switch (flags) {
        case GA_PARENT: return w->parent ? w->parent : Desktop();
        case GA_ROOT: return RootOf(w)->hwnd;
        case GA_ROOTOWNER: {
            Window* r = RootOf(w);
            while (r && r->owner && W(r->owner)) r = RootOf(W(r->owner));
            return r ? r->hwnd : nullptr;
        }
        default: return nullptr;
    }
}

HWND WINAPI GetDesktopWindow(void) { return Desktop(); }

HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) {
        if (w->is_desktop) return TopLevels().empty() ? nullptr : TopLevels().front();
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (cmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
    if (cmd == GW_ENABLEDPOPUP) {
        for (HWND t : TopLevels()) {
            Window* o = W(t);
            if (o && o->owner == hwnd && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED)) return t;
        }
        return nullptr;
    }
    if (w->is_desktop) return nullptr;
    const std::vector<HWND>& sib = w->parent ? W(w->parent)->children : TopLevels();
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    if (it == sib.end()) return nullptr;
    switch (cmd) {
        case GW_HWNDFIRST: return sib.front();
        case GW_HWNDLAST: return sib.back();
        case GW_HWNDNEXT: return it + 1 == sib.end() ? nullptr : *(it + 1);
        case GW_HWNDPREV: return it == sib.begin() ? nullptr : *(it - 1);
        default: SetLastError(ERROR_INVALID_GW_COMMAND); return nullptr;
    }
}

HWND WINAPI GetNextWindow(HWND hwnd, UINT cmd) { return GetWindow(hwnd, cmd); }

HWND WINAPI GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : Desktop(), GW_CHILD); }

static bool EnumDescendants(HWND parent, WNDENUMPROC proc, LPARAM lp) {
    std::vector<HWND> kids;
    {
        LockedWindow w(parent, Lookup::Quiet);
        if (!w) return true;
        kids = w->children;
    }
    for (HWND k : kids) {
        if (!IsWindow(k)) continue;
        if (!proc(k, lp)) return false;
        if (!EnumDescendants(k, proc, lp)) return false;
    }
    return true;
}

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lp) {
    if (!proc) return FALSE;
    if (!parent) return EnumWindows(proc, lp);
    return EnumDescendants(parent, proc, lp) ? TRUE : FALSE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lp) {
    if (!proc) return FALSE;
    std::vector<HWND> tops;
    {
        Guard g(GlobalLock());
        tops = TopLevels();
    }
    for (HWND t : tops)
        if (IsWindow(t) && !proc(t, lp)) return FALSE;
    return TRUE;
}

BOOL WINAPI EnumThreadWindows(DWORD tid, WNDENUMPROC proc, LPARAM lp) {
    if (!proc) return FALSE;
    std::vector<HWND> tops;
    {
        Guard g(GlobalLock());
        for (HWND t : TopLevels())
            if (W(t) && W(t)->tid == tid) tops.push_back(t);
    }
    for (HWND t : tops)
        if (IsWindow(t) && !proc(t, lp)) return FALSE;
    return TRUE;
}

HWND WINAPI FindWindowExA(HWND parent, HWND after, LPCSTR class_name, LPCSTR title) {
    auto cls = class_name ? FindClass(class_name, nullptr) : nullptr;
    if (class_name && !cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Guard g(GlobalLock());
    const std::vector<HWND>* list = &TopLevels();
    if (parent && parent != Desktop()) {
        Window* p = W(parent);
        if (!p) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        list = &p->children;
    }
    bool started = after == nullptr;
    for (HWND h : *list) {
        if (!started) {
            started = h == after;
            continue;
        }
        Window* w = W(h);
        if (!w) continue;
        if (cls && strcasecmp(w->cls->name.c_str(), cls->name.c_str()) != 0) continue;
        if (title && w->text != title) continue;
        return h;
    }
    return nullptr;
}

HWND WINAPI FindWindowA(LPCSTR class_name, LPCSTR title) { return FindWindowExA(nullptr, nullptr, class_name, title); }

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD pid) {
    LockedWindow w(hwnd);
    if (!w) return 0;
    if (pid) *pid = GetCurrentProcessId();
    return w->tid;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Guard g(GlobalLock());
    Window* w = W(hwnd);
    if (!w || !(w->style & WS_CHILD)) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return int(w->id);
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    LockedWindow w(dialog);
    if (!w) return nullptr;
    for (HWND k : w->children) {
        Window* c = W(k);
        if (c && int(c->id) == id) return k;
    }
    SetLastError(ERROR_INVALID_PARAMETER);  // the platform's "control ID not found"
    return nullptr;
}

// Property names are case-insensitive; atoms (integer names) are compared by value.
static std::string PropKey(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(uintptr_t(name));
    std::string s = name;
    for (auto& c : s) c = char(toupper(static_cast<unsigned char>(c)));
    return s;
}

BOOL WINAPI SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    std::string k = PropKey(name);
    for (auto& p : w->props)
        if (p.first == k) {
            p.second = data;
            return TRUE;
        }
    w->props.emplace_back(k, data);
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    LockedWindow w(hwnd, Lookup::Quiet);
    if (!w) return nullptr;
    std::string k = PropKey(name);
    for (auto& p : w->props)
        if (p.first == k) return p.second;
    return nullptr;
}

HANDLE WINAPI RemovePropA(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    LockedWindow w(hwnd, Lookup::Quiet);
    if (!w) return nullptr;
    std::string k = PropKey(name);
    for (size_t i = 0; i < w->props.size(); ++i)
        if (w->props[i].first == k) {
            HANDLE d = w->props[i].second;
            w->props.erase(w->props.begin() + long(i));
            return d;
        }
    return nullptr;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc) return 0;
    return proc(hwnd, msg, wp, lp);
}

}  // extern "C"
