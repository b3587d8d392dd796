// This project's platform layer: the interface tests drive it through (screen captures,
// injected input, the clock, message pumping). Not part of the window-system API.
#pragma once

#include "windef.h"
#include "winbase.h"

#define WINTESTAPI WINAPI_EXPORT

#define WINTEST_LEFT 0
#define WINTEST_RIGHT 1
#define WINTEST_MIDDLE 2

// The backend in use: "headless" or "sdl".
WINTESTAPI const char* WinTestBackendName(void);

// The screen: every display together (the virtual screen). Setting its size makes it one
// display of that size, its work area all of it; headless backend only (FALSE otherwise).
WINTESTAPI BOOL WinTestGetScreenSize(int* width, int* height);
WINTESTAPI BOOL WinTestSetScreenSize(int width, int height);
// Several displays, headless only: `count` monitors and their work areas (`work` NULL: each
// whole monitor). The first is the primary and has its top-left corner at (0,0); the others
// lie around it, at negative coordinates to its left or above. Work areas lie inside their
// monitors; coordinates stay within 8192 of the origin. FALSE, changing nothing, otherwise.
WINTESTAPI BOOL WinTestSetMonitors(const RECT* monitors, const RECT* work, int count);

// Captures, as 0xAARRGGBB pixels (bytes B,G,R,A), top-down rows, fully opaque.
// The screen: every visible top-level window over the desktop. `pixels` holds width*height
// values; the size must be the screen's (WinTestGetScreenSize); its first pixel is the
// virtual screen's corner (SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN).
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
// The date GetSystemTime reports now (UTC), and GetLocalTime as that plus the offset in
// minutes (at most a day either way); both then move on with the layer's clock. Until a test
// sets it, the date is the time of day the layer first read and local time the machine's.
// FALSE, changing nothing, for a date that does not exist (the day of week is not read).
WINTESTAPI BOOL WinTestSetDateTime(const SYSTEMTIME* utc, int local_offset_minutes);

// Delivers queued input and handles every message waiting for the calling thread (painting
// and due timers included) until nothing is left. Returns how many it handled; stops after
// a generous bound if a window keeps feeding itself messages.
WINTESTAPI int WinTestPumpUntilIdle(void);

// Whether a visible window of that thread still waits for a paint or a frame paint, or has
// drawing not yet handed to the screen: FALSE once what it shows is up to date. Any thread.
WINTESTAPI BOOL WinTestPaintPending(DWORD thread_id);

// Modal loops. The hook runs when a loop finds nothing left to do, before it waits: the
// dialog manager's and message boxes' loops, menu tracking, the mouse loops of moving and
// sizing and of a held scroll bar or caption button (on any thread), and the program's own
// loops (a GetMessageA or WaitMessage that would wait) on the thread that set the hook. It runs
// once each time a loop becomes idle; what it does (inject input, post, advance the clock, end
// a dialog) the loop sees before it waits. A loop that stays idle after the hook returns waits
// as usual. `window` is the dialog, the message box, the menu's window, the window being moved
// or tracked, or the active window for the program's loops. NULL removes the hook.
#define WINTEST_LOOP_PROGRAM 0
#define WINTEST_LOOP_DIALOG 1
#define WINTEST_LOOP_MESSAGEBOX 2
#define WINTEST_LOOP_MENU 3
#define WINTEST_LOOP_MOVESIZE 4
#define WINTEST_LOOP_TRACK 5
typedef void (*WINTESTIDLEPROC)(int loop, HWND window, void* data);
WINTESTAPI void WinTestSetIdleHook(WINTESTIDLEPROC proc, void* data);

// Makes one of the modules the layer provides under a system module's name ("user32.dll",
// "avifil32"...) missing, as on a system without it: LoadLibrary and GetModuleHandle fail for
// it until the switch is turned back. Handles given out before keep working.
WINTESTAPI void WinTestSetModuleMissing(const char* name, BOOL missing);

// Live objects, for tests that prove something leaves nothing behind. Stock objects and what
// the layer keeps for its own lifetime (system colour brushes, stock icons) are not counted.
#define WINTEST_LIVE_BITMAP 0
#define WINTEST_LIVE_BRUSH 1
#define WINTEST_LIVE_PEN 2
#define WINTEST_LIVE_FONT 3
#define WINTEST_LIVE_REGION 4
#define WINTEST_LIVE_PALETTE 5
#define WINTEST_LIVE_ICON 6      // icons and cursors
#define WINTEST_LIVE_DC 7        // memory DCs and window DCs not yet released
#define WINTEST_LIVE_TIMER 8     // every thread's timers
#define WINTEST_LIVE_PROPERTY 9  // window properties, over every window
#define WINTEST_LIVE_HOOK 10
#define WINTEST_LIVE_WINDOW 11   // every window but the desktop
#define WINTEST_LIVE_KINDS 12
// The count of one kind; -1 for an unknown kind.
WINTESTAPI int WinTestLiveCount(int kind);

#ifdef __cplusplus
#include <functional>
#include <string>
#include <utility>
#include <vector>

// True when two colours differ by at most `tolerance` in every channel. Antialiased text leaves
// few pixels exactly in its colour at dialog sizes: tests find its ink as pixels near it.
inline bool WinTestNear(COLORREF a, COLORREF b, int tolerance = 40) {
    auto off = [](int x, int y) { return x > y ? x - y : y - x; };
    return off(GetRValue(a), GetRValue(b)) <= tolerance && off(GetGValue(a), GetGValue(b)) <= tolerance &&
           off(GetBValue(a), GetBValue(b)) <= tolerance;
}

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
    // Pixels near the colour (text in it, with its antialiased ink).
    int CountNear(COLORREF c, int tolerance = 40) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += WinTestNear(At(x, y), c, tolerance);
        return n;
    }
};

// Every live-object count at one moment; two snapshots compare equal when nothing leaked.
struct WinTestLiveCounts {
    int n[WINTEST_LIVE_KINDS] = {};
    static WinTestLiveCounts Now() {
        WinTestLiveCounts c;
        for (int k = 0; k < WINTEST_LIVE_KINDS; ++k) c.n[k] = WinTestLiveCount(k);
        return c;
    }
    bool operator==(const WinTestLiveCounts& o) const {
        for (int k = 0; k < WINTEST_LIVE_KINDS; ++k)
            if (n[k] != o.n[k]) return false;
        return true;
    }
    bool operator!=(const WinTestLiveCounts& o) const { return !(*this == o); }
    // The kinds that differ from `base`, as "fonts 3 -> 4", for a failure message.
    std::string ChangesFrom(const WinTestLiveCounts& base) const {
        static const char* const names[WINTEST_LIVE_KINDS] = {"bitmaps", "brushes", "pens", "fonts",
                                                              "regions", "palettes", "icons", "DCs",
                                                              "timers", "properties", "hooks", "windows"};
        std::string s;
        for (int k = 0; k < WINTEST_LIVE_KINDS; ++k) {
            if (n[k] == base.n[k]) continue;
            if (!s.empty()) s += ", ";
            s += std::string(names[k]) + " " + std::to_string(base.n[k]) + " -> " + std::to_string(n[k]);
        }
        return s;
    }
};

// A script for modal loops: each idle turn runs the next step (with the loop's kind and
// window); the hook goes when the script does. An idle turn after the last step counts as an
// overrun and presses Escape, so a loop the script failed to end ends instead of waiting
// forever (a test checks Overruns() to fail on it).
class WinTestIdleScript {
public:
    using Step = std::function<void(int loop, HWND window)>;
    explicit WinTestIdleScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        WinTestSetIdleHook(&WinTestIdleScript::Run, this);
    }
    ~WinTestIdleScript() { WinTestSetIdleHook(nullptr, nullptr); }
    WinTestIdleScript(const WinTestIdleScript&) = delete;
    WinTestIdleScript& operator=(const WinTestIdleScript&) = delete;
    // Steps not run yet, and idle turns that found the script already finished.
    size_t Left() const { return steps_.size() - next_; }
    int Overruns() const { return overruns_; }

private:
    static void Run(int loop, HWND window, void* self) {
        auto* s = static_cast<WinTestIdleScript*>(self);
        if (s->next_ >= s->steps_.size()) {
            if (++s->overruns_ <= 16) WinTestKeyPress(0x1B);
            return;
        }
        // Taken before it runs: a step may open a nested loop that wants the step after it.
        Step& step = s->steps_[s->next_++];
        step(loop, window);
    }
    std::vector<Step> steps_;
    size_t next_ = 0;
    int overruns_ = 0;
};
#endif
