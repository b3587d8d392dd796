// Dialog templates built in memory, in the platform's layout (the dialog manager reads them).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "windows.h"

namespace plat::dialogs {

class Template {
public:
    enum : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85 };

    Template(DWORD style, short cx, short cy, const std::string& title) {
        Put<DWORD>(style);
        Put<DWORD>(0);
        count_at_ = buf_.size();
        Put<WORD>(0);
        Put<short>(0);
        Put<short>(0);
        Put<short>(cx);
        Put<short>(cy);
        Put<WORD>(0);  // no menu
        Put<WORD>(0);  // the dialog class
        Str(title);
    }
    // Positions are placeholders in dialog units: the dialogs lay their controls out in pixels.
    void Item(WORD atom, const std::string& text, WORD id, DWORD style, short x, short y, short cx, short cy) {
        while (buf_.size() % 4) buf_.push_back(0);
        Put<DWORD>(style | WS_CHILD | WS_VISIBLE);
        Put<DWORD>(0);
        Put<short>(x);
        Put<short>(y);
        Put<short>(cx);
        Put<short>(cy);
        Put<WORD>(id);
        Put<WORD>(0xFFFF);
        Put<WORD>(atom);
        Str(text);
        Put<WORD>(0);  // no creation data
        WORD n;
        std::memcpy(&n, &buf_[count_at_], 2);
        ++n;
        std::memcpy(&buf_[count_at_], &n, 2);
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
    // Template texts are fixed ASCII; texts from callers (titles, paths) are set on the
    // windows once they exist.
    void Str(const std::string& s) {
        for (unsigned char c : s) Put<WORD>(WORD(c));
        Put<WORD>(0);
    }
    std::vector<unsigned char> buf_;
    size_t count_at_ = 0;
};

}  // namespace plat::dialogs
