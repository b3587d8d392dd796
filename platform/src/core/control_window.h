// What every control with state of its own does alike, for the standard and the common controls:
// the state lives in the window's first extra slot, and one paint function serves both WM_PAINT
// and WM_PRINTCLIENT.
#pragma once

#include "windows.h"

namespace plat::ctl {

// Per-window state kept in the first extra slot of the control's window.
template <class T>
T* State(HWND h) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(h, 0));
}
template <class T>
void SetState(HWND h, T* s) {
    SetWindowLongPtrA(h, 0, reinterpret_cast<LONG_PTR>(s));
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

}  // namespace plat::ctl
