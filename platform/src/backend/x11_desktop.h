// What SDL2 does not offer of the X11 desktop: whether a window manager runs, and stacking a
// window without giving it the keyboard.
#pragma once

struct SDL_Window;
struct SDL_SysWMmsg;

namespace plat::sdl {

// True when a window manager that follows the desktop conventions manages the screen the
// window is on; false without one, and where the window is not on X11.
bool X11HasWindowManager(SDL_Window* window);

// Raises the window above its siblings without activating it. False where not on X11.
bool RaiseX11Window(SDL_Window* window);

// Where on the screen a pointer event of the X server (a system event SDL passes on before the
// event it makes of it) happened. SDL's own event says where in the window, and the window may
// have moved since the server sent it. False for any other event.
bool X11PointerEventRoot(const SDL_SysWMmsg* msg, int* x, int* y);

// A request that fails on the server (a window that went away while a request for it was on
// its way, a race every X client meets) is reported on the standard error stream and the
// program goes on, instead of ending as the X library's default would have it.
void SurviveX11Errors();

// Watches the connection of `window`'s display: once the X server is gone (it ended, the
// session closed, a remote display dropped), `lost` runs, once, on the thread whose request
// found it, and that request returns failed instead of the process ending inside the X library.
// No X call may follow. False where not on X11 or where the X library cannot go on after a loss.
bool WatchX11Connection(SDL_Window* window, void (*lost)());

// A round trip on the watched connection finds a server that went away unnoticed (the loss is
// then reported as any other): false once the connection is lost, true where none is watched.
bool X11ConnectionAlive();

// Stops watching the connection before SDL closes it.
void ForgetX11Connection();

// Waits until the watched connection has events for SDL to read, `wake_fd` is readable, or
// `timeout_ms` ends (-1: no end); false when it ended by the timeout, or at once when no
// connection is watched or it is lost.
bool WaitForX11Events(int wake_fd, int timeout_ms);

}  // namespace plat::sdl
