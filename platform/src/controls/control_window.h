// What every control with state of its own does alike, for the standard and the common controls:
// the state lives in the window's first extra slot, and one paint function serves both WM_PAINT
// and WM_PRINTCLIENT.
#pragma once

#include <atomic>
#include <mutex>

#include "windows.h"

namespace plat::user {
// Lets the controls install their procedure and extra bytes on a system class.
bool ReplaceSystemClassProc(const char* name, WNDPROC proc, int wnd_extra, UINT style, HBRUSH background);
}

namespace plat::ctl {

// Runs install() once per process (each call site, being its own lambda type, has its own
// guard). Installing re-enters the class set-up, which calls back into the installer: that
// inner call returns at once on the installing thread.
template <class Fn>
void InstallOnce(Fn install) {
    static std::atomic<bool> done{false};
    static thread_local bool busy = false;
    if (done.load(std::memory_order_acquire) || busy) return;
    static std::once_flag once;
    busy = true;
    std::call_once(once, install);
    busy = false;
    done.store(true, std::memory_order_release);
}

// Per-window state kept in the first extra slot of the control's window.
template <class T>
T* State(HWND h) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(h, 0));
}
template <class T>
void SetState(HWND h, T* s) {
    SetWindowLongPtrA(h, 0, reinterpret_cast<LONG_PTR>(s));
}

// Answers WM_NCDESTROY: frees the state, clears its slot and lets the default procedure finish.
template <class T>
LRESULT FreeState(HWND h, UINT msg, WPARAM wp, LPARAM lp, T* s) {
    SetState<T>(h, nullptr);
    delete s;
    return DefWindowProcA(h, msg, wp, lp);
}

// Answers WM_PAINT (between BeginPaint and EndPaint) or WM_PRINTCLIENT (into the DC it carries)
// by calling paint(dc).
template <class PaintFn>
LRESULT PaintOrPrint(HWND h, UINT msg, WPARAM wp, PaintFn paint) {
    if (msg == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wp));
        return 0;
    }
    PAINTSTRUCT ps;
    if (HDC dc = BeginPaint(h, &ps)) paint(dc);
    EndPaint(h, &ps);
    return 0;
}

// Height of a line of text in font (the GUI font when null), measured on the window's DC (the
// screen's when h is null); 13 when it cannot be measured.
inline int FontLineHeight(HWND h, HFONT font) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return tm.tmHeight > 0 ? int(tm.tmHeight) : 13;
}

}  // namespace plat::ctl
