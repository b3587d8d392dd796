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
