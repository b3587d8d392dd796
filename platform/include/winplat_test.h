// This project's platform layer: the interface tests drive it through (screen captures,
// injected input, the clock, message pumping). Not part of the window-system API.
#pragma once

#include "windef.h"

#define WINTESTAPI WINAPI_EXPORT

#define WINTEST_LEFT 0
#define WINTEST_RIGHT 1
#define WINTEST_MIDDLE 2

// The backend in use: "headless" or "sdl".
WINTESTAPI const char* WinTestBackendName(void);

// The screen. Setting its size works on the headless backend only (FALSE otherwise).
WINTESTAPI BOOL WinTestGetScreenSize(int* width, int* height);
WINTESTAPI BOOL WinTestSetScreenSize(int width, int height);

// Captures, as 0xAARRGGBB pixels (bytes B,G,R,A), top-down rows, fully opaque.
// The screen: every visible top-level window over the desktop. `pixels` holds width*height
// values; the size must be the screen's (WinTestGetScreenSize).
WINTESTAPI BOOL WinTestCaptureScreen(DWORD* pixels, int width, int height);
WINTESTAPI BOOL WinTestCaptureScreenPng(const char* path);
// One window (top-level or child) as its top-level window painted it, whatever covers it.
// Sets *width/*height; fills `pixels` only when `capacity` (in pixels) is large enough, and
// returns FALSE otherwise, so a first call with no buffer asks for the size.
WINTESTAPI BOOL WinTestCaptureWindow(HWND hwnd, DWORD* pixels, int capacity, int* width, int* height);
WINTESTAPI BOOL WinTestCaptureWindowPng(HWND hwnd, const char* path);
// One pixel of the screen as a COLORREF (CLR_INVALID, 0xFFFFFFFF, outside the screen).
WINTESTAPI COLORREF WinTestScreenPixel(int x, int y);
// Reads a PNG the same way (for comparing against a saved picture).
WINTESTAPI BOOL WinTestReadPng(const char* path, DWORD* pixels, int capacity, int* width, int* height);

// Mouse input. With `hwnd` NULL, (x, y) are screen coordinates; otherwise they are client
// coordinates of `hwnd`. Input is queued; WinTestPumpUntilIdle (or the window system's own
// message loop) delivers it. Double-clicks are two clicks in quick succession on the layer's
// clock. A drag presses at the start, moves in `steps` steps and releases at the end.
WINTESTAPI BOOL WinTestMouseMove(HWND hwnd, int x, int y);
WINTESTAPI BOOL WinTestMouseButton(HWND hwnd, int button, BOOL down, int x, int y);
WINTESTAPI BOOL WinTestClick(HWND hwnd, int button, int x, int y);
WINTESTAPI BOOL WinTestDoubleClick(HWND hwnd, int button, int x, int y);
WINTESTAPI BOOL WinTestDrag(HWND hwnd, int button, int x0, int y0, int x1, int y1, int steps);
WINTESTAPI BOOL WinTestWheel(HWND hwnd, int delta, int x, int y);

// Keyboard input: virtual-key codes, and typed text (UTF-8). Text arrives as characters;
// line breaks, tabs, backspace and escape in it are typed as their keys.
WINTESTAPI void WinTestKey(UINT vk, BOOL down);
WINTESTAPI void WinTestKeyPress(UINT vk);
WINTESTAPI void WinTestText(const char* utf8);

// What the desktop asks of a top-level window: to close, to become active.
WINTESTAPI void WinTestCloseRequest(HWND top_level);
WINTESTAPI void WinTestActivate(HWND top_level);

// The layer's clock. Under the headless backend it is virtual and moves only when advanced
// (timers come due, waits end); WinTestUseRealTime(TRUE) makes it follow real time.
WINTESTAPI void WinTestAdvanceClock(DWORD ms);
WINTESTAPI void WinTestUseRealTime(BOOL real);
WINTESTAPI ULONGLONG WinTestNow(void);

// Delivers queued input and handles every message waiting for the calling thread (painting
// and due timers included) until nothing is left. Returns how many it handled; stops after
// a generous bound if a window keeps feeding itself messages.
WINTESTAPI int WinTestPumpUntilIdle(void);

#ifdef __cplusplus
#include <vector>

// A window's own pixels as its top level painted them, for tests that probe colours.
struct WinTestWindowPicture {
    int w = 0, h = 0;
    std::vector<DWORD> px;
    explicit WinTestWindowPicture(HWND hwnd) {
        WinTestCaptureWindow(hwnd, nullptr, 0, &w, &h);
        px.resize(size_t(w > 0 ? w : 0) * size_t(h > 0 ? h : 0));
        WinTestCaptureWindow(hwnd, px.data(), int(px.size()), &w, &h);
    }
    // As a COLORREF; CLR_INVALID outside the window.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return CLR_INVALID;
        DWORD p = px[size_t(y) * size_t(w) + size_t(x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += At(x, y) == c;
        return n;
    }
};
#endif
