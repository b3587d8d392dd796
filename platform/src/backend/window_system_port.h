// The backends' view of the window system, behind one seam: the top-level windows to show and
// the sink for input. The window system registers its port; unit tests of the backends give
// their own.
#pragma once

#include <cstdint>
#include <vector>

#include "backend/backend.h"

namespace plat {

// One piece of input from the screen, as the backends queue it.
struct InputEvent {
    enum class Kind { MouseMove, MouseButton, MouseWheel, Key, Char, CloseRequest, Activate, MinimizeRequest, MovedByDesktop };
    Kind kind = Kind::MouseMove;
    POINT pt{0, 0};
    input::Button button = input::Button::Left;
    bool down = false;
    int delta = 0;
    UINT vk = 0;
    uint32_t codepoint = 0;
    HWND hwnd = nullptr;

    static InputEvent Move(POINT p);
    static InputEvent Button(input::Button b, bool down, POINT p);
    static InputEvent Wheel(int delta, POINT p);
    static InputEvent KeyEvent(UINT vk, bool down);
    static InputEvent CharEvent(uint32_t cp);
    static InputEvent Close(HWND top);
    static InputEvent Activate(HWND top);
    // The desktop minimised (down) or restored (!down) the window itself (its task bar).
    static InputEvent Minimize(HWND top, bool minimize);
    // The desktop moved the window itself (its manager's move): its top-left corner is now at p.
    static InputEvent Moved(HWND top, POINT p);
};

class WindowSystemPort {
public:
    virtual ~WindowSystemPort() = default;
    virtual std::vector<TopLevelView> TopLevels() = 0;
    virtual void Deliver(const InputEvent& e) = 0;
    // The display went away for good (its server ended): the program has no screen left.
    // Called on the display thread, which must not be kept waiting.
    virtual void DisplayLost() {}
};

// The backends' registration point: the window system gives its port from the library's
// start-up. The default port forwards to it; with none given (the backends' own white-box
// tests) it shows no windows and drops input.
void SetWindowSystemPort(WindowSystemPort* port);
WindowSystemPort& DefaultWindowSystemPort();

// The code points of UTF-8 text (typed text from SDL or from tests). Malformed sequences,
// overlong forms, surrogates and values past U+10FFFF are dropped, never passed on.
std::vector<uint32_t> Utf8ToCodepoints(const char* s);

}  // namespace plat
