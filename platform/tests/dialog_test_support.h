// Builds dialog templates in memory for the dialog and control tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "windows.h"
#include "windlg.h"
#include "winplat_test.h"

namespace dlgtest {

class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short x, short y, short cx, short cy, const char* title) {
        Put<DWORD>(style);
        Put<DWORD>(0);
        count_at_ = buf_.size();
        Put<WORD>(0);
        Put<short>(x);
        Put<short>(y);
        Put<short>(cx);
        Put<short>(cy);
        Put<WORD>(0);  // menu
        Put<WORD>(0);  // class
        Str(title);
        if (style & DS_SETFONT) {
            Put<WORD>(8);
            Str("DejaVu Sans");
        }
    }
    // `cls` is an atom (0x80 Button .. 0x85 ComboBox) or zero with `cls_name`.
    TemplateBuilder& Item(WORD atom, const char* text, WORD id, DWORD style, short x, short y, short cx, short cy,
                          const char* cls_name = nullptr) {
        while (buf_.size() % 4) buf_.push_back(0);
        Put<DWORD>(style | WS_CHILD | WS_VISIBLE);
        Put<DWORD>(0);
        Put<short>(x);
        Put<short>(y);
        Put<short>(cx);
        Put<short>(cy);
        Put<WORD>(id);
        if (cls_name) Str(cls_name);
        else {
            Put<WORD>(0xFFFF);
            Put<WORD>(atom);
        }
        Str(text);
        Put<WORD>(0);
        WORD n;
        std::memcpy(&n, &buf_[count_at_], 2);
        ++n;
        std::memcpy(&buf_[count_at_], &n, 2);
        return *this;
    }
    const DLGTEMPLATE* Get() {
        while (buf_.size() % 4) buf_.push_back(0);
        return reinterpret_cast<const DLGTEMPLATE*>(buf_.data());
    }

private:
    template <class T>
    void Put(T v) {
        size_t at = buf_.size();
        buf_.resize(at + sizeof(T));
        std::memcpy(&buf_[at], &v, sizeof(T));
    }
    void Str(const char* s) {
        for (; s && *s; ++s) Put<WORD>(WORD(static_cast<unsigned char>(*s)));
        Put<WORD>(0);
    }
    std::vector<unsigned char> buf_;
    size_t count_at_ = 0;
};

enum : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84, kComboBox = 0x85 };

// Client point at the centre of a dialog control, in the dialog's client coordinates.
inline POINT CenterOf(HWND ctl) {
    RECT r;
    GetClientRect(ctl, &r);
    POINT p{(r.right) / 2, (r.bottom) / 2};
    return p;
}

inline void Press(UINT vk) {
    WinTestKeyPress(vk);
}

inline void ShiftTab() {
    WinTestKey(VK_SHIFT, TRUE);
    WinTestKeyPress(VK_TAB);
    WinTestKey(VK_SHIFT, FALSE);
}

}  // namespace dlgtest

namespace dlgtest {

// A top-level window that records what its controls tell it.
struct Note {
    UINT msg;
    int id;
    int code;
    bool operator==(const Note& o) const { return msg == o.msg && id == o.id && code == o.code; }
};

inline std::vector<Note>& Notes() {
    static std::vector<Note> v;
    return v;
}
inline std::vector<DRAWITEMSTRUCT>& Draws() {
    static std::vector<DRAWITEMSTRUCT> v;
    return v;
}

inline LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_COMMAND:
            Notes().push_back({m, LOWORD(w), HIWORD(w)});
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            Notes().push_back({m, l ? GetDlgCtrlID(reinterpret_cast<HWND>(l)) : 0, LOWORD(w) | (HIWORD(w) << 16)});
            return 0;
        case WM_DRAWITEM:
            Draws().push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
            return TRUE;
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 20;
            return TRUE;
        default:
            return DefWindowProcA(h, m, w, l);
    }
}

inline HWND Host(int w = 400, int h = 300) {
    static bool reg = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "ControlTestHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        return RegisterClassA(&wc) != 0;
    }();
    (void)reg;
    HWND host = CreateWindowExA(0, "ControlTestHost", "Host", WS_POPUP | WS_VISIBLE, 10, 10, w, h, nullptr, nullptr,
                                nullptr, nullptr);
    WinTestPumpUntilIdle();
    Notes().clear();
    Draws().clear();
    return host;
}

inline HWND Child(HWND host, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host,
                             reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    WinTestPumpUntilIdle();
    return c;
}

// Notes of WM_COMMAND only, as (id, code).
inline std::vector<std::pair<int, int>> Commands() {
    std::vector<std::pair<int, int>> v;
    for (auto& n : Notes())
        if (n.msg == WM_COMMAND) v.emplace_back(n.id, n.code);
    return v;
}

inline void Pump() { WinTestPumpUntilIdle(); }

// A combo box's drop-down list: a top-level "ComboLBox" popup of this thread (null if none).
inline HWND DroppedList() {
    HWND l = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            char cls[32] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (std::string(cls) != "ComboLBox") return TRUE;
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&l));
    return l;
}

}  // namespace dlgtest
