// The test interface: captures, injected input, clock and pumping, over the backend in use.
#include <cstring>
#include <vector>

#include "backend/backend.h"
#include "core/clock.h"
#include "core/handles.h"
#include "backend/compositor.h"
#include "backend/headless.h"
#include "backend/png.h"
#include "backend/window_system_port.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

using plat::InputEvent;

plat::Backend& B() { return plat::CurrentBackend(); }

bool ToScreen(HWND hwnd, int x, int y, POINT* out) {
    *out = POINT{x, y};
    if (!hwnd) return true;
    return ClientToScreen(hwnd, out) != FALSE;
}

bool ButtonOf(int b, plat::input::Button* out) {
    switch (b) {
    case WINTEST_LEFT: *out = plat::input::Button::Left; return true;
    case WINTEST_RIGHT: *out = plat::input::Button::Right; return true;
    case WINTEST_MIDDLE: *out = plat::input::Button::Middle; return true;
    default: return false;
    }
}

bool CopyOut(const plat::Surface& s, DWORD* pixels, int capacity, int* width, int* height) {
    if (width) *width = s.width;
    if (height) *height = s.height;
    if (s.width <= 0 || s.height <= 0) return FALSE;
    size_t n = size_t(s.width) * size_t(s.height);
    if (!pixels || capacity < 0 || size_t(capacity) < n) return FALSE;
    std::memcpy(pixels, s.pixels.data(), n * 4);
    return TRUE;
}

// The window as its top-level window's surface holds it, opaque.
bool CaptureWindow(HWND hwnd, plat::Surface* out) {
    if (!hwnd) return false;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root) return false;
    // Drawing holds the window system's lock: so does the copy, whichever thread asks.
    plat::Guard g(plat::GlobalLock());
    for (const plat::TopLevelView& v : plat::DefaultWindowSystemPort().TopLevels()) {
        if (v.hwnd != root || !v.surface) continue;
        RECT r{v.screen_rect.left, v.screen_rect.top, v.screen_rect.right, v.screen_rect.bottom};
        if (hwnd != root && !GetWindowRect(hwnd, &r)) return false;
        RECT local{r.left - v.screen_rect.left, r.top - v.screen_rect.top, r.right - v.screen_rect.left,
                   r.bottom - v.screen_rect.top};
        *out = plat::Crop(*v.surface, local);
        for (uint32_t& p : out->pixels) p |= 0xFF000000u;
        return out->width > 0;
    }
    return false;
}

void Inject(const InputEvent& e) { B().InjectInput(e); }

}  // namespace

const char* WinTestBackendName(void) { return B().Name(); }

BOOL WinTestGetScreenSize(int* width, int* height) {
    RECT r = B().VirtualScreen();
    if (width) *width = r.right - r.left;
    if (height) *height = r.bottom - r.top;
    return TRUE;
}

BOOL WinTestSetScreenSize(int width, int height) {
    auto* h = dynamic_cast<plat::HeadlessBackend*>(&B());
    if (!h || width <= 0 || height <= 0) return FALSE;
    h->SetScreenSize(width, height);
    return TRUE;
}

BOOL WinTestSetMonitors(const RECT* monitors, const RECT* work, int count) {
    auto* h = dynamic_cast<plat::HeadlessBackend*>(&B());
    if (!h || !monitors || count < 1) return FALSE;
    std::vector<plat::MonitorArea> layout;
    for (int i = 0; i < count; ++i) layout.push_back(plat::MonitorArea{monitors[i], work ? work[i] : monitors[i]});
    return h->SetMonitors(layout) ? TRUE : FALSE;
}

BOOL WinTestCaptureScreen(DWORD* pixels, int width, int height) {
    plat::Surface s = B().CaptureScreen();
    if (width != s.width || height != s.height) return FALSE;
    return CopyOut(s, pixels, width * height, nullptr, nullptr);
}

BOOL WinTestCaptureScreenPng(const char* path) {
    if (!path) return FALSE;
    return plat::png::Write(B().CaptureScreen(), path) ? TRUE : FALSE;
}

BOOL WinTestCaptureWindow(HWND hwnd, DWORD* pixels, int capacity, int* width, int* height) {
    plat::Surface s;
    if (!CaptureWindow(hwnd, &s)) {
        if (width) *width = 0;
        if (height) *height = 0;
        return FALSE;
    }
    return CopyOut(s, pixels, capacity, width, height);
}

BOOL WinTestCaptureWindowPng(HWND hwnd, const char* path) {
    plat::Surface s;
    if (!path || !CaptureWindow(hwnd, &s)) return FALSE;
    return plat::png::Write(s, path) ? TRUE : FALSE;
}

COLORREF WinTestScreenPixel(int x, int y) {
    RECT r = B().VirtualScreen();
    if (x < r.left || y < r.top || x >= r.right || y >= r.bottom) return 0xFFFFFFFFu;
    // A one-pixel screen at that point: tests ask for many single pixels.
    plat::Surface one(1, 1);
    plat::Composite(plat::DefaultWindowSystemPort().TopLevels(), one, POINT{x, y});
    return plat::ColorrefFromPixel(one.At(0, 0));
}

BOOL WinTestReadPng(const char* path, DWORD* pixels, int capacity, int* width, int* height) {
    plat::Surface s;
    if (!path || !plat::png::Read(path, &s)) {
        if (width) *width = 0;
        if (height) *height = 0;
        return FALSE;
    }
    return CopyOut(s, pixels, capacity, width, height);
}

BOOL WinTestMouseMove(HWND hwnd, int x, int y) {
    POINT p;
    if (!ToScreen(hwnd, x, y, &p)) return FALSE;
    Inject(InputEvent::Move(p));
    return TRUE;
}

BOOL WinTestMouseButton(HWND hwnd, int button, BOOL down, int x, int y) {
    POINT p;
    plat::input::Button b;
    if (!ButtonOf(button, &b) || !ToScreen(hwnd, x, y, &p)) return FALSE;
    Inject(InputEvent::Move(p));
    Inject(InputEvent::Button(b, down != FALSE, p));
    return TRUE;
}

BOOL WinTestClick(HWND hwnd, int button, int x, int y) {
    POINT p;
    plat::input::Button b;
    if (!ButtonOf(button, &b) || !ToScreen(hwnd, x, y, &p)) return FALSE;
    Inject(InputEvent::Move(p));
    Inject(InputEvent::Button(b, true, p));
    Inject(InputEvent::Button(b, false, p));
    return TRUE;
}

BOOL WinTestDoubleClick(HWND hwnd, int button, int x, int y) {
    return WinTestClick(hwnd, button, x, y) && WinTestClick(hwnd, button, x, y);
}

BOOL WinTestDrag(HWND hwnd, int button, int x0, int y0, int x1, int y1, int steps) {
    POINT a, z;
    plat::input::Button b;
    if (!ButtonOf(button, &b) || !ToScreen(hwnd, x0, y0, &a) || !ToScreen(hwnd, x1, y1, &z)) return FALSE;
    if (steps < 1) steps = 1;
    Inject(InputEvent::Move(a));
    Inject(InputEvent::Button(b, true, a));
    for (int i = 1; i <= steps; ++i) {
        POINT p{LONG(a.x + int64_t(z.x - a.x) * i / steps), LONG(a.y + int64_t(z.y - a.y) * i / steps)};
        Inject(InputEvent::Move(p));
    }
    Inject(InputEvent::Button(b, false, z));
    return TRUE;
}

BOOL WinTestWheel(HWND hwnd, int delta, int x, int y) {
    POINT p;
    if (!ToScreen(hwnd, x, y, &p)) return FALSE;
    Inject(InputEvent::Move(p));
    Inject(InputEvent::Wheel(delta, p));
    return TRUE;
}

void WinTestKey(UINT vk, BOOL down) { Inject(InputEvent::KeyEvent(vk, down != FALSE)); }

void WinTestKeyPress(UINT vk) {
    WinTestKey(vk, TRUE);
    WinTestKey(vk, FALSE);
}

void WinTestText(const char* utf8) {
    for (uint32_t cp : plat::Utf8ToCodepoints(utf8)) {
        // As from a keyboard: these come from their keys (the window system's translation
        // makes their characters), never as bare characters.
        UINT vk = cp == '\n' || cp == '\r' ? 0x0D : cp == '\t' ? 0x09 : cp == '\b' ? 0x08 : cp == 0x1B ? 0x1B : 0;
        if (vk)
            WinTestKeyPress(vk);
        else
            Inject(InputEvent::CharEvent(cp));
    }
}

void WinTestCloseRequest(HWND top_level) { Inject(InputEvent::Close(top_level)); }
void WinTestActivate(HWND top_level) { Inject(InputEvent::Activate(top_level)); }

void WinTestAdvanceClock(DWORD ms) { plat::clock::Advance(ms); }
void WinTestUseRealTime(BOOL real) { plat::clock::UseRealTime(real != FALSE); }
ULONGLONG WinTestNow(void) { return plat::clock::NowMs(); }

int WinTestPumpUntilIdle(void) {
    // Bound on rounds, against a window that posts itself a message for every one it handles.
    constexpr int kMaxMessages = 100000;
    int handled = 0;
    while (handled < kMaxMessages) {
        int round = B().DispatchQueuedInput();
        MSG msg;
        while (handled + round < kMaxMessages && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // The quit message stays for the test's own loop to see.
            if (msg.message == WM_QUIT) return handled + round;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            ++round;
        }
        if (round == 0) break;
        handled += round;
    }
    return handled;
}
