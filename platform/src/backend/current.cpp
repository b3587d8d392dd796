// Chooses the backend once, on first use.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend/backend.h"
#include "backend/headless.h"
#include "backend/sdl_backend.h"

namespace plat {
namespace {

// VELMORA_SCREEN=WIDTHxHEIGHT sizes the headless screen.
void HeadlessScreenSize(int* w, int* h) {
    *w = 1024;
    *h = 768;
    const char* s = std::getenv("VELMORA_SCREEN");
    int sw = 0, sh = 0;
    if (s && std::sscanf(s, "%dx%d", &sw, &sh) == 2 && sw > 0 && sh > 0 && sw <= 16384 && sh <= 16384) {
        *w = sw;
        *h = sh;
    }
}

Backend* Choose() {
    const char* want = std::getenv("VELMORA_BACKEND");
    bool headless = want && std::strcmp(want, "headless") == 0;
    bool sdl_asked = want && std::strcmp(want, "sdl") == 0;
    bool has_display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                       (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
    if (!headless && (sdl_asked || has_display)) {
        if (auto b = CreateSdlBackend(DefaultWindowSystemPort())) return b.release();
        if (sdl_asked) std::fprintf(stderr, "winplat: no usable display for SDL; running headless\n");
    }
    int w, h;
    HeadlessScreenSize(&w, &h);
    return new HeadlessBackend(DefaultWindowSystemPort(), w, h);
}

}  // namespace

// Never destroyed: windows and threads may still talk to it while the process exits.
Backend& CurrentBackend() {
    static Backend* backend = Choose();
    return *backend;
}

}  // namespace plat
