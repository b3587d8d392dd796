// Resources the owner-drawn menu tests load: a menu template, a tool bar and its image strip,
// built in memory and registered with the program's resource table.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platres.h"
#include "windows.h"

namespace ownermenu_test {

enum : UINT {
    kMenuId = 500,
    kToolbarId = 600,
    kBadToolbarId = 601,  // a tool bar whose bitmap is missing
    kIconBitmapId = 602,  // one 16x15 image: yellow on magenta
    kTruncatedMenuId = 501,  // a template cut off inside an item's text
    kUnendedMenuId = 502,    // a template whose popup never ends
    ID_OPEN = 101,
    ID_SAVE = 102,
    ID_PRINT = 103,
    ID_EXIT = 104,
    ID_WRAP = 105,
    ID_ZOOM = 201,
    ID_FIT = 202,
};

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kImageRed = RGB(200, 0, 0), kImageGreen = RGB(0, 160, 0), kImageBlue = RGB(0, 0, 200);
const COLORREF kImageYellow = RGB(230, 230, 0);

inline void PutWord(std::vector<BYTE>& v, WORD w) {
    v.push_back(BYTE(w & 0xFF));
    v.push_back(BYTE(w >> 8));
}

inline void PutText(std::vector<BYTE>& v, const char* s) {
    for (; *s; ++s) PutWord(v, WORD(BYTE(*s)));
    PutWord(v, 0);
}

inline void Item(std::vector<BYTE>& v, WORD flags, WORD id, const char* text) {
    PutWord(v, flags);
    if (!(flags & MF_POPUP)) PutWord(v, id);
    PutText(v, text);
}

// The drop-down: one popup holding every kind of item.
inline std::vector<BYTE> MenuTemplate() {
    std::vector<BYTE> v;
    PutWord(v, 0);  // version
    PutWord(v, 0);  // header size
    Item(v, MF_POPUP | MF_END, 0, "Drop");
    Item(v, 0, ID_OPEN, "&Open\tCtrl+O");
    Item(v, MF_CHECKED, ID_SAVE, "&Save");
    Item(v, MF_CHECKED, ID_WRAP, "&Wrap");
    Item(v, 0, 0, "");  // separator
    Item(v, MF_GRAYED, ID_PRINT, "&Print");
    Item(v, MF_POPUP, 0, "&More");
    Item(v, 0, ID_ZOOM, "&Zoom");
    Item(v, MF_END, ID_FIT, "&Fit");
    Item(v, MF_END, ID_EXIT, "E&xit");
    return v;
}

// A 24-bit bottom-up DIB of `count` 16x15 squares: a one-pixel magenta border round a colour.
inline std::vector<BYTE> StripBitmap(const std::vector<COLORREF>& colours) {
    const int w = 16 * int(colours.size()), h = 15;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> v(40 + size_t(stride) * h, 0);
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    std::memcpy(v.data(), &bih, 40);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cx = x % 16;
            bool border = cx == 0 || cx == 15 || y == 0 || y == h - 1;
            COLORREF c = border ? kMagenta : colours[size_t(x / 16)];
            BYTE* p = v.data() + 40 + size_t(h - 1 - y) * stride + size_t(x) * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return v;
}

// Tool bar: Open, a separator, Save, Zoom.
inline std::vector<BYTE> ToolbarData(const std::vector<WORD>& ids) {
    std::vector<BYTE> v;
    PutWord(v, 1);
    PutWord(v, 16);
    PutWord(v, 15);
    PutWord(v, WORD(ids.size()));
    for (WORD id : ids) PutWord(v, id);
    return v;
}

inline std::vector<BYTE> TruncatedTemplate() {
    std::vector<BYTE> v = MenuTemplate();
    v.resize(4 + 2 + 10 + 2 + 2 + 6);  // the header, "Drop", then half of "&Open"
    return v;
}

inline std::vector<BYTE> UnendedTemplate() {
    std::vector<BYTE> v;
    PutWord(v, 0);
    PutWord(v, 0);
    Item(v, MF_POPUP | MF_END, 0, "Drop");
    Item(v, 0, ID_OPEN, "&Open");  // no MF_END anywhere below
    return v;
}

inline void RegisterResources() {
    static const std::vector<BYTE> menu = MenuTemplate();
    static const std::vector<BYTE> truncated = TruncatedTemplate();
    static const std::vector<BYTE> unended = UnendedTemplate();
    static const std::vector<BYTE> strip = StripBitmap({kImageRed, kImageGreen, kImageBlue});
    static const std::vector<BYTE> single = StripBitmap({kImageYellow});
    static const std::vector<BYTE> toolbar = ToolbarData({ID_OPEN, 0, ID_SAVE, ID_ZOOM});
    static const std::vector<BYTE> bad_toolbar = ToolbarData({ID_OPEN});
    static const PLATRES_ENTRY entries[] = {
        {nullptr, 4, nullptr, WORD(kMenuId), menu.data(), DWORD(menu.size())},
        {nullptr, 4, nullptr, WORD(kTruncatedMenuId), truncated.data(), DWORD(truncated.size())},
        {nullptr, 4, nullptr, WORD(kUnendedMenuId), unended.data(), DWORD(unended.size())},
        {nullptr, 2, nullptr, WORD(kToolbarId), strip.data(), DWORD(strip.size())},
        {nullptr, 241, nullptr, WORD(kToolbarId), toolbar.data(), DWORD(toolbar.size())},
        {nullptr, 241, nullptr, WORD(kBadToolbarId), bad_toolbar.data(), DWORD(bad_toolbar.size())},
        {nullptr, 2, nullptr, WORD(kIconBitmapId), single.data(), DWORD(single.size())},
    };
    PlatRegisterResources(entries, UINT(sizeof entries / sizeof entries[0]));
}

}  // namespace ownermenu_test
