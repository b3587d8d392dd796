// The caret: one per thread, blinking on a timer by inverting its rectangle.
#include <mutex>

#include "kernel/kobjects.h"
#include "user/queue.h"
#include "user/window.h"

using namespace plat;
using namespace plat::user;

namespace {

struct Caret {
    HWND hwnd = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
    POINT pos{0, 0};
    int hide_count = 1;  // a new caret starts hidden
    bool on = false;     // drawn right now
    UINT_PTR timer = 0;
};
thread_local Caret t_caret;
UINT g_blink_ms = 530;

void Invert(Caret& c) {
    if (!c.hwnd || !IsWindow(c.hwnd)) return;
    HDC dc = GetDC(c.hwnd);
    if (!dc) return;
    if (c.bitmap && c.bitmap != reinterpret_cast<HBITMAP>(1)) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, c.bitmap);
        BitBlt(dc, c.pos.x, c.pos.y, c.width, c.height, mem, 0, 0, SRCINVERT);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else {
        PatBlt(dc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
    }
    ReleaseDC(c.hwnd, dc);
    c.on = !c.on;
}

void SetOn(Caret& c, bool on) {
    if (c.on != on) Invert(c);
}

void CALLBACK BlinkProc(HWND, UINT, UINT_PTR, DWORD) {
    Caret& c = t_caret;
    if (!c.hwnd || c.hide_count > 0) return;
    Invert(c);
}

void Restart(Caret& c) {
    if (c.timer) KillTimer(nullptr, c.timer);
    c.timer = SetTimer(nullptr, 0, g_blink_ms, BlinkProc);
}

}  // namespace

namespace plat::user {

// Painting over the caret would leave a half-inverted mess: it goes away during BeginPaint.
void CaretHideForPaint(HWND hwnd) {
    Caret& c = t_caret;
    if (c.hwnd == hwnd) SetOn(c, false);
}
void CaretShowAfterPaint(HWND hwnd) {
    Caret& c = t_caret;
    if (c.hwnd == hwnd && c.hide_count == 0) SetOn(c, true);
}

}  // namespace plat::user

extern "C" {

BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DestroyCaret();
    Caret& c = t_caret;
    c.hwnd = hwnd;
    c.bitmap = bitmap;
    if (bitmap && bitmap != reinterpret_cast<HBITMAP>(1)) {
        BITMAP bm{};
        if (GetObjectA(bitmap, sizeof(bm), &bm)) {
            width = bm.bmWidth;
            height = bm.bmHeight;
        }
    }
    c.width = width ? width : GetSystemMetrics(SM_CXBORDER);
    c.height = height ? height : GetSystemMetrics(SM_CYBORDER);
    c.pos = POINT{0, 0};
    c.hide_count = 1;
    c.on = false;
    return TRUE;
}

BOOL WINAPI DestroyCaret(void) {
    Caret& c = t_caret;
    if (!c.hwnd) return FALSE;
    SetOn(c, false);
    if (c.timer) KillTimer(nullptr, c.timer);
    c = Caret{};
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND hwnd) {
    Caret& c = t_caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd)) return FALSE;
    if (c.hide_count == 0) return TRUE;
    if (--c.hide_count == 0) {
        SetOn(c, true);
        Restart(c);
    }
    return TRUE;
}

BOOL WINAPI HideCaret(HWND hwnd) {
    Caret& c = t_caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd)) return FALSE;
    if (c.hide_count++ == 0) {
        SetOn(c, false);
        if (c.timer) KillTimer(nullptr, c.timer);
        c.timer = 0;
    }
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y) {
    Caret& c = t_caret;
    if (!c.hwnd) return FALSE;
    if (c.pos.x == x && c.pos.y == y) return TRUE;
    bool was = c.on;
    SetOn(c, false);
    c.pos = POINT{x, y};
    if (was || c.hide_count == 0) {
        SetOn(c, c.hide_count == 0);
        if (c.hide_count == 0) Restart(c);
    }
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT pt) {
    Caret& c = t_caret;
    if (!c.hwnd || !pt) return FALSE;
    *pt = c.pos;
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime(void) { return g_blink_ms; }

BOOL WINAPI SetCaretBlinkTime(UINT ms) {
    if (ms == 0) return FALSE;
    g_blink_ms = ms;
    return TRUE;
}

}  // extern "C"
