#include "backend/x11_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
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
    using Sync = int (*)(Display*, Bool);
    using DefaultRootWindow = ::Window (*)(Display*);
    using ErrorHandler = int (*)(Display*, XErrorEvent*);
    using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
    using IOErrorHandler = int (*)(Display*);
    using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler);
    using IOErrorExitHandler = void (*)(Display*, void*);
    using SetIOErrorExitHandler = void (*)(Display*, IOErrorExitHandler, void*);
    using EventsQueued = int (*)(Display*, int);
    using ConnectionNumber = int (*)(Display*);
    InternAtom intern_atom = nullptr;
    GetWindowProperty get_property = nullptr;
    Free free = nullptr;
    RaiseWindow raise = nullptr;
    Flush flush = nullptr;
    Sync sync = nullptr;
    DefaultRootWindow root = nullptr;
    SetErrorHandler set_error_handler = nullptr;
    SetIOErrorHandler set_io_error_handler = nullptr;
    SetIOErrorExitHandler set_io_error_exit_handler = nullptr;  // libX11 1.7 and later
    EventsQueued events_queued = nullptr;
    ConnectionNumber connection_number = nullptr;

    DesktopApi() {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11) return;
        intern_atom = reinterpret_cast<InternAtom>(dlsym(x11, "XInternAtom"));
        get_property = reinterpret_cast<GetWindowProperty>(dlsym(x11, "XGetWindowProperty"));
        free = reinterpret_cast<Free>(dlsym(x11, "XFree"));
        raise = reinterpret_cast<RaiseWindow>(dlsym(x11, "XRaiseWindow"));
        flush = reinterpret_cast<Flush>(dlsym(x11, "XFlush"));
        sync = reinterpret_cast<Sync>(dlsym(x11, "XSync"));
        root = reinterpret_cast<DefaultRootWindow>(dlsym(x11, "XDefaultRootWindow"));
        set_error_handler = reinterpret_cast<SetErrorHandler>(dlsym(x11, "XSetErrorHandler"));
        set_io_error_handler = reinterpret_cast<SetIOErrorHandler>(dlsym(x11, "XSetIOErrorHandler"));
        set_io_error_exit_handler = reinterpret_cast<SetIOErrorExitHandler>(dlsym(x11, "XSetIOErrorExitHandler"));
        events_queued = reinterpret_cast<EventsQueued>(dlsym(x11, "XEventsQueued"));
        connection_number = reinterpret_cast<ConnectionNumber>(dlsym(x11, "XConnectionNumber"));
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

// The connection being watched for its loss, and who is told of it.
std::atomic<Display*> g_watched{nullptr};
void (*g_on_lost)() = nullptr;
std::atomic<bool> g_lost{false};

int OnLostConnection(Display* dpy) {
    if (dpy != g_watched.load()) {
        // A connection nobody prepared to lose: the X library would now end the process
        // through exit(), whose handlers talk to the dead server and never come back.
        std::fprintf(stderr, "X11: the connection to the display was lost\n");
        _exit(1);
    }
    if (!g_lost.exchange(true)) {
        std::fprintf(stderr, "X11: the display went away\n");
        if (g_on_lost) g_on_lost();
    }
    return 0;
}

// Runs after OnLostConnection: returning lets the failed request return, the connection dead.
void KeepRunning(Display*, void*) {}

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

bool WatchX11Connection(SDL_Window* window, void (*lost)()) {
    Display* dpy;
    ::Window xw;
    DesktopApi& api = Api();
    if (!api.set_io_error_handler || !api.set_io_error_exit_handler || !api.events_queued ||
        !api.connection_number || !X11Handles(window, &dpy, &xw))
        return false;
    g_on_lost = lost;
    api.set_io_error_exit_handler(dpy, &KeepRunning, nullptr);
    g_watched.store(dpy);
    api.set_io_error_handler(&OnLostConnection);
    return true;
}

bool X11ConnectionAlive() {
    Display* dpy = g_watched.load();
    if (dpy && !g_lost.load() && Api().sync) Api().sync(dpy, False);
    return !g_lost.load();
}

void ForgetX11Connection() {
    if (g_lost.load()) return;  // stays watched: any further failure on it is survived too
    g_watched.store(nullptr);
    g_on_lost = nullptr;
}

bool WaitForX11Events(int wake_fd, int timeout_ms) {
    Display* dpy = g_watched.load();
    DesktopApi& api = Api();
    if (!dpy || g_lost.load()) return false;
    // Requests still buffered would wait with us; events already read need no wait.
    api.flush(dpy);
    if (g_lost.load() || api.events_queued(dpy, QueuedAlready) > 0) return true;
    pollfd fds[2] = {{api.connection_number(dpy), POLLIN, 0}, {wake_fd, POLLIN, 0}};
    int n = poll(fds, 2, timeout_ms);
    return n > 0 || (n < 0 && errno == EINTR);
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
