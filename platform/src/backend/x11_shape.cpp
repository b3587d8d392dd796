#include "backend/x11_shape.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

namespace plat::sdl {
namespace {

// The shape extension is loaded on first use rather than linked: a desktop without it (or a
// Wayland session) still runs, with rectangular windows.
struct ShapeApi {
    using CombineRectangles = void (*)(Display*, ::Window, int, int, int, XRectangle*, int, int, int);
    using CombineMask = void (*)(Display*, ::Window, int, int, int, Pixmap, int);
    using Flush = int (*)(Display*);
    CombineRectangles combine_rectangles = nullptr;
    CombineMask combine_mask = nullptr;
    Flush flush = nullptr;

    ShapeApi() {
        void* xext = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL);
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!xext || !x11) return;
        combine_rectangles = reinterpret_cast<CombineRectangles>(dlsym(xext, "XShapeCombineRectangles"));
        combine_mask = reinterpret_cast<CombineMask>(dlsym(xext, "XShapeCombineMask"));
        flush = reinterpret_cast<Flush>(dlsym(x11, "XFlush"));
    }
    bool ok() const { return combine_rectangles && combine_mask && flush; }
};

constexpr int kShapeBounding = 0, kShapeSet = 0, kYXBanded = 3;

}  // namespace

bool SetX11WindowShape(SDL_Window* window, const std::vector<ShapeRect>* rects) {
    static ShapeApi api;
    if (!window || !api.ok()) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* dpy = info.info.x11.display;
    ::Window xw = info.info.x11.window;
    if (!rects) {
        api.combine_mask(dpy, xw, kShapeBounding, 0, 0, 0 /* None */, kShapeSet);
    } else {
        std::vector<XRectangle> xr;
        xr.reserve(rects->size());
        for (const ShapeRect& r : *rects) {
            if (r.right <= r.left || r.bottom <= r.top) continue;
            xr.push_back(XRectangle{short(r.left), short(r.top), (unsigned short)(r.right - r.left),
                                    (unsigned short)(r.bottom - r.top)});
        }
        api.combine_rectangles(dpy, xw, kShapeBounding, 0, 0, xr.data(), int(xr.size()), kShapeSet, kYXBanded);
    }
    api.flush(dpy);
    return true;
}

}  // namespace plat::sdl
