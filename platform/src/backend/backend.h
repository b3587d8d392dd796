// The display backend: what the window system needs from the screen it shows windows on.
// Two implementations: headless (memory surfaces composited into a virtual screen, input
// injected by tests) and SDL2 (each top-level window a borderless window on the desktop).
#pragma once

#include <memory>
#include <vector>

#include "core/surface.h"
#include "gdi/region.h"
#include "windef.h"

namespace plat {

struct InputEvent;

// One display: all of it, and the part windows are placed and maximised in (the work area,
// without task bars and docks).
struct MonitorArea {
    RECT monitor{0, 0, 0, 0};
    RECT work{0, 0, 0, 0};
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    // Top-level windows (children paint into their top level's surface). `popup` marks menus,
    // drop-down lists and tooltips, which the desktop's window manager must leave alone; every
    // other top level is an ordinary window of the desktop (in its task bar, focused by it),
    // undecorated because the window system draws the frame.
    virtual void CreateTopLevel(HWND hwnd, const RECT& screen_rect, bool popup) = 0;
    virtual void DestroyTopLevel(HWND hwnd) = 0;
    virtual void MoveTopLevel(HWND hwnd, const RECT& screen_rect) = 0;
    virtual void ShowTopLevel(HWND hwnd, bool visible) = 0;
    // Restacks above the other windows; the keyboard stays where it is.
    virtual void RaiseTopLevel(HWND hwnd) = 0;
    virtual void SetTitle(HWND hwnd, const char* utf8) = 0;
    // The window stays above its owner (a dialog above the window that opened it).
    virtual void SetTopLevelOwner(HWND hwnd, HWND owner) = 0;
    // The window system activated the window: the desktop's keyboard goes to it.
    virtual void FocusTopLevel(HWND hwnd) = 0;
    // The window was minimised (or restored): the desktop shows it as its icon in the task
    // bar, or not at all without one. Moves of a minimised window are remembered, not shown.
    // Headless, a minimised window simply lies off the screen.
    virtual void MinimizeTopLevel(HWND hwnd, bool minimized) {}

    // Copies the dirty part of a top-level window's surface to the screen.
    virtual void Present(HWND hwnd, const Surface& surface, const RECT& dirty) = 0;

    // Called on the display (main) thread: waits until input arrives, Wake() is called, or the
    // timeout (ms, -1 forever) ends, then delivers pending input through the input functions
    // of the window system (plat::input, below). Returns false on timeout. The timeout runs on the
    // layer's clock (core/clock.h): under virtual time it ends when the clock is advanced
    // past it, not after real milliseconds.
    virtual bool WaitAndDispatch(int timeout_ms) = 0;
    // Any thread: ends a WaitAndDispatch early; a Wake that comes before the wait ends the
    // next wait at once, so none is lost.
    virtual void Wake() = 0;

    // The displays, the primary first (never empty).
    virtual std::vector<MonitorArea> Monitors() const = 0;
    // The primary display, its work area, and the bounds of every display together.
    RECT ScreenRect() const { return Monitors().front().monitor; }
    RECT WorkArea() const { return Monitors().front().work; }
    RECT VirtualScreen() const {
        RECT u{0, 0, 0, 0};
        bool first = true;
        for (const MonitorArea& m : Monitors()) {
            if (first) u = m.monitor;
            u.left = m.monitor.left < u.left ? m.monitor.left : u.left;
            u.top = m.monitor.top < u.top ? m.monitor.top : u.top;
            u.right = m.monitor.right > u.right ? m.monitor.right : u.right;
            u.bottom = m.monitor.bottom > u.bottom ? m.monitor.bottom : u.bottom;
            first = false;
        }
        return u;
    }

    // Cursor shape by system cursor id (IDC_* value); sound by file path or system sound id.
    virtual void SetCursorShape(int idc) = 0;
    virtual bool PlaySoundFile(const char* path) = 0;

    // Input injected by tests (any thread): queued, then delivered on the display thread by
    // WaitAndDispatch, or on the calling thread by DispatchQueuedInput, which returns how many
    // events it delivered.
    virtual void InjectInput(const InputEvent& e) = 0;
    virtual int DispatchQueuedInput() = 0;
    // The screen as the program shows it: every visible top-level window over the desktop,
    // the whole virtual screen (its top-left pixel is VirtualScreen()'s corner).
    virtual Surface CaptureScreen() = 0;
};

// The backend in use, chosen on first use: VELMORA_BACKEND=headless|sdl, otherwise SDL2 when a
// display is available and headless when not.
Backend& CurrentBackend();

}  // namespace plat

namespace plat {

// What the backends show and deliver, in the window system's terms (window_system_port.h).

// A top-level window as the compositor sees it, bottom to top.
struct TopLevelView {
    HWND hwnd = nullptr;
    RECT screen_rect{0, 0, 0, 0};
    bool visible = false;
    std::shared_ptr<Surface> surface;
    // Layered windows: constant alpha (255 opaque), a colour key (COLORREF; pixels of that
    // colour are transparent) and per-pixel alpha (the surface holds premultiplied alpha).
    uint8_t alpha = 255;
    bool color_keyed = false;
    uint32_t color_key = 0;
    bool per_pixel_alpha = false;
    // The window region in window coordinates (null: the whole window shows).
    std::shared_ptr<const Region> window_region;
};

namespace input {
enum class Button { Left, Right, Middle };
}  // namespace input

}  // namespace plat
