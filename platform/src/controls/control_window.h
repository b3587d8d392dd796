// What every control with state of its own does alike, for the standard and the common controls:
// the state lives in the window's first extra slot, is made on WM_NCCREATE and freed on
// WM_NCDESTROY, and one paint function serves both WM_PAINT and WM_PRINTCLIENT.
#pragma once

#include <type_traits>
#include <utility>

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

namespace detail {
template <class T, class = void>
struct HasHwnd : std::false_type {};
template <class T>
struct HasHwnd<T, std::void_t<decltype(std::declval<T&>().hwnd)>> : std::true_type {};
}  // namespace detail

// Every control procedure's first step: the window's state, made on WM_NCCREATE (with the
// window in its `hwnd`, for the types that keep one). Null for the messages that come before
// WM_NCCREATE and after WM_NCDESTROY: the caller gives those the default answer.
template <class T>
T* AttachState(HWND h, UINT msg) {
    T* s = State<T>(h);
    if (s || msg != WM_NCCREATE) return s;
    s = new T;
    if constexpr (detail::HasHwnd<T>::value) s->hwnd = h;
    SetState(h, s);
    return s;
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
        // The caller's DC comes back as it was: clip, objects and colours included.
        HDC dc = reinterpret_cast<HDC>(wp);
        int saved = SaveDC(dc);
        paint(dc);
        RestoreDC(dc, saved);
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
