// Whether the texts of a dialog's controls fit them, measured with each control's own font as
// the platform draws it: labels and buttons hold their text, combo boxes drop down a list that
// shows every item or scrolls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin_looks.h"  // Joined

namespace textfit {

using skinlooks::Joined;

inline std::string TextOf(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

inline std::string ClassOf(HWND h) {
    char buf[64] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

// The text's size in the control's font; `width` > 0 wraps it at that width.
inline SIZE Measure(HWND h, const std::string& text, UINT format, int width = 0) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width > 0 ? width : 10000, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

inline std::string Misfit(HWND h, const std::string& text, int need, int room) {
    return "control " + std::to_string(GetDlgCtrlID(h)) + " \"" + text + "\" needs " + std::to_string(need) +
           " pixels, has " + std::to_string(room);
}

// A label wraps within its width; its lines must fit its height, and no word may be wider.
inline void CheckStatic(HWND h, std::vector<std::string>* out) {
    const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    const DWORD type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
        return;
    const std::string text = TextOf(h);
    if (text.empty()) return;
    RECT rc;
    GetClientRect(h, &rc);
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    const SIZE one = Measure(h, text, prefix);
    if (!wraps || one.cy >= rc.bottom - one.cy + 1) {
        // One line high: the whole text on it.
        if (one.cx > rc.right) out->push_back(Misfit(h, text, one.cx, rc.right));
        return;
    }
    const SIZE wrapped = Measure(h, text, prefix, rc.right);
    if (wrapped.cx > rc.right || wrapped.cy > rc.bottom) out->push_back(Misfit(h, text, wrapped.cy, rc.bottom));
}

// Push buttons draw their text inside the frame, check boxes and radio buttons beside the box,
// group boxes between the frame's ends.
inline void CheckButton(HWND h, std::vector<std::string>* out) {
    const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    const DWORD type = style & BS_TYPEMASK;
    const std::string text = TextOf(h);
    if (text.empty() || type == BS_OWNERDRAW || (style & (BS_BITMAP | BS_ICON))) return;
    RECT rc;
    GetClientRect(h, &rc);
    int room = rc.right;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        room -= 8;
    else if (type == BS_GROUPBOX)
        room -= 16;
    else
        room -= 13 + 4;
    const SIZE s = Measure(h, text, 0);
    if (s.cx > room) out->push_back(Misfit(h, text, s.cx, room));
}

// The drop-down list shows every item, or holds a scroll bar to reach them; no item is wider
// than the list.
inline void CheckCombo(HWND h, std::vector<std::string>* out) {
    const int count = int(SendMessageA(h, CB_GETCOUNT, 0, 0));
    if (count <= 0 || !IsWindowEnabled(h)) return;
    SendMessageA(h, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(h, &info) || !info.hwndList) {
        out->push_back("combo " + std::to_string(GetDlgCtrlID(h)) + " shows no list");
        return;
    }
    HWND list = info.hwndList;
    RECT rc;
    GetClientRect(list, &rc);
    const int row = std::max(1, int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    const bool scrolls = (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) && GetScrollInfo(list, SB_VERT, &si) &&
                         si.nMax - si.nMin + 1 > int(si.nPage);
    if (rc.bottom / row < count && !scrolls)
        out->push_back("combo " + std::to_string(GetDlgCtrlID(h)) + " shows " + std::to_string(rc.bottom / row) +
                       " of " + std::to_string(count) + " items and no scroll bar");
    for (int i = 0; i < count; ++i) {
        char buf[256] = {};
        SendMessageA(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        const SIZE s = Measure(list, buf, DT_NOPREFIX);
        if (s.cx + 2 > rc.right) out->push_back(Misfit(h, buf, s.cx + 2, rc.right));
    }
    SendMessageA(h, CB_SHOWDROPDOWN, FALSE, 0);
}

// Every control of the dialog whose text does not fit, one line each; empty when all fit.
inline std::vector<std::string> Misfits(HWND dialog) {
    std::vector<std::string> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        const std::string cls = ClassOf(c);
        if (lstrcmpiA(cls.c_str(), "Static") == 0) CheckStatic(c, &out);
        else if (lstrcmpiA(cls.c_str(), "Button") == 0) CheckButton(c, &out);
        else if (lstrcmpiA(cls.c_str(), "ComboBox") == 0) CheckCombo(c, &out);
    }
    return out;
}

}  // namespace textfit
