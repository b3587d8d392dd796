#include "backend/x11_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <dlfcn.h>

#include <cstdio>

namespace plat::sdl {
namespace {

// Loaded on first use rather than linked, as the shape extension is: a Wayland session runs
// without the X libraries.
struct DesktopApi {
    using InternAtom = Atom (*)(Display*, const char*, Bool);
    using GetWindowProperty = int (*)(Display*, ::Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*,
                                      unsigned long*, unsigned char**);
    using Free = int (*)(void*);
    using RaiseWindow = int (*)(Display*, ::Window);
    using Flush = int (*)(Display*);
    using DefaultRootWindow = ::Window (*)(Display*);
    using ErrorHandler = int (*)(Display*, XErrorEvent*);
    using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
    InternAtom intern_atom = nullptr;
    GetWindowProperty get_property = nullptr;
    Free free = nullptr;
    RaiseWindow raise = nullptr;
    Flush flush = nullptr;
    DefaultRootWindow root = nullptr;
    SetErrorHandler set_error_handler = nullptr;

    DesktopApi() {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11) return;
        intern_atom = reinterpret_cast<InternAtom>(dlsym(x11, "XInternAtom"));
        get_property = reinterpret_cast<GetWindowProperty>(dlsym(x11, "XGetWindowProperty"));
        free = reinterpret_cast<Free>(dlsym(x11, "XFree"));
        raise = reinterpret_cast<RaiseWindow>(dlsym(x11, "XRaiseWindow"));
        flush = reinterpret_cast<Flush>(dlsym(x11, "XFlush"));
        root = reinterpret_cast<DefaultRootWindow>(dlsym(x11, "XDefaultRootWindow"));
        set_error_handler = reinterpret_cast<SetErrorHandler>(dlsym(x11, "XSetErrorHandler"));
    }
    bool ok() const { return intern_atom && get_property && free && raise && flush && root; }
};

DesktopApi& Api() {
    static DesktopApi api;
    return api;
}

bool X11Handles(SDL_Window* window, Display** dpy, ::Window* xw) {
    if (!window || !Api().ok()) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *dpy = info.info.x11.display;
    *xw = info.info.x11.window;
    return true;
}

int ReportX11Error(Display*, XErrorEvent* e) {
    static int reported = 0;
    if (reported++ < 20)
        std::fprintf(stderr, "X11: request %d failed with error %d on resource 0x%lx\n", int(e->request_code),
                     int(e->error_code), static_cast<unsigned long>(e->resourceid));
    return 0;
}

}  // namespace

bool X11PointerEventRoot(const SDL_SysWMmsg* msg, int* x, int* y) {
    if (!msg || msg->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& e = msg->msg.x11.event;
    switch (e.type) {
        case MotionNotify:
            *x = e.xmotion.x_root;
            *y = e.xmotion.y_root;
            return true;
        case ButtonPress:
        case ButtonRelease:
            *x = e.xbutton.x_root;
            *y = e.xbutton.y_root;
            return true;
        case EnterNotify:
        case LeaveNotify:
            *x = e.xcrossing.x_root;
            *y = e.xcrossing.y_root;
            return true;
        default: return false;
    }
}

void SurviveX11Errors() {
    if (Api().set_error_handler) Api().set_error_handler(&ReportX11Error);
}

bool X11HasWindowManager(SDL_Window* window) {
    Display* dpy;
    ::Window xw;
    if (!X11Handles(window, &dpy, &xw)) return false;
    DesktopApi& api = Api();
    // A conforming manager names its check window on the root window while it runs.
    Atom check = api.intern_atom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (api.get_property(dpy, api.root(dpy), check, 0, 1, False, XA_WINDOW, &type, &format, &items, &after, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data)
        found = *reinterpret_cast<unsigned long*>(data) != 0;
    if (data) api.free(data);
    return found;
}

bool RaiseX11Window(SDL_Window* window) {
    Display* dpy;
    ::Window xw;
    if (!X11Handles(window, &dpy, &xw)) return false;
    Api().raise(dpy, xw);
    Api().flush(dpy);
    return true;
}

}  // namespace plat::sdl
