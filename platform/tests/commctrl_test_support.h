// Shared scaffolding of the common-control tests: a parent window that records the
// notifications and scroll messages its children send, and pixel reading from captures.
#pragma once

#include <cstring>
#include <functional>
#include <vector>

#include "commctrl.h"
#include "windows.h"
#include "winplat_test.h"

namespace cctest {

struct Note {
    UINT code = 0;
    HWND from = nullptr;
    int item = -1, sub = -1;
    UINT new_state = 0, old_state = 0, changed = 0;
    LPARAM lparam = 0;
    DWORD stage = 0;
    int hd_width = -1;
};

struct Scroll {
    UINT msg;
    int code;
    int pos;
    HWND ctl;
};

inline std::vector<Note>& Notes() {
    static std::vector<Note> v;
    return v;
}
inline std::vector<Scroll>& Scrolls() {
    static std::vector<Scroll> v;
    return v;
}
// A hook for tests that answer notifications (custom draw, refusals, text callbacks).
inline std::function<LRESULT(NMHDR*, bool*)>& OnNotify() {
    static std::function<LRESULT(NMHDR*, bool*)> f;
    return f;
}

inline void Record(NMHDR* nm) {
    Note n;
    n.code = nm->code;
    n.from = nm->hwndFrom;
    switch (nm->code) {
        case LVN_ITEMCHANGED: case LVN_ITEMCHANGING: case LVN_INSERTITEM: case LVN_DELETEITEM:
        case LVN_COLUMNCLICK: case LVN_DELETEALLITEMS: {
            auto* lv = reinterpret_cast<NMLISTVIEW*>(nm);
            n.item = lv->iItem;
            n.sub = lv->iSubItem;
            n.new_state = lv->uNewState;
            n.old_state = lv->uOldState;
            n.changed = lv->uChanged;
            n.lparam = lv->lParam;
            break;
        }
        case NM_CLICK: case NM_DBLCLK: case NM_RCLICK: {
            // Only a list view's mouse notices carry the item; the others send a bare header.
            char cls[32] = {};
            GetClassNameA(nm->hwndFrom, cls, sizeof cls);
            if (std::strcmp(cls, "SysListView32") != 0) break;
            auto* ia = reinterpret_cast<NMITEMACTIVATE*>(nm);
            n.item = ia->iItem;
            n.sub = ia->iSubItem;
            break;
        }
        case NM_CUSTOMDRAW: {
            auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
            n.stage = cd->nmcd.dwDrawStage;
            n.item = int(cd->nmcd.dwItemSpec);
            n.sub = (cd->nmcd.dwDrawStage & CDDS_SUBITEM) ? cd->iSubItem : -1;
            break;
        }
        case HDN_BEGINTRACKA: case HDN_TRACKA: case HDN_ENDTRACKA: case HDN_ITEMCHANGINGA: case HDN_ITEMCHANGEDA:
        case HDN_ITEMCLICKA: case HDN_DIVIDERDBLCLICKA: {
            auto* hd = reinterpret_cast<NMHEADERA*>(nm);
            n.item = hd->iItem;
            if (hd->pitem && (hd->pitem->mask & HDI_WIDTH)) n.hd_width = hd->pitem->cxy;
            break;
        }
        case LVN_KEYDOWN:
            n.item = reinterpret_cast<NMLVKEYDOWN*>(nm)->wVKey;
            break;
    }
    Notes().push_back(n);
}

inline LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(l);
            Record(nm);
            if (OnNotify()) {
                bool handled = false;
                LRESULT r = OnNotify()(nm, &handled);
                if (handled) return r;
            }
            return 0;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (l) {
                Scrolls().push_back(Scroll{m, int(LOWORD(w)), int(short(HIWORD(w))), reinterpret_cast<HWND>(l)});
                return 0;
            }
            break;
    }
    return DefWindowProcA(h, m, w, l);
}

inline HWND MakeParent(int cx = 480, int cy = 360) {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = "CommCtrlTestParent";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        wc.style = CS_DBLCLKS;
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(0, "CommCtrlTestParent", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, cx, cy, nullptr,
                           nullptr, nullptr, nullptr);
}

inline void Pump() { WinTestPumpUntilIdle(); }

inline void Reset() {
    Notes().clear();
    Scrolls().clear();
    OnNotify() = nullptr;
}

inline std::vector<UINT> Codes(bool skip_draw = true) {
    std::vector<UINT> v;
    for (auto& n : Notes())
        if (!skip_draw || n.code != NM_CUSTOMDRAW) v.push_back(n.code);
    return v;
}

inline size_t IndexOf(UINT code, size_t from = 0) {
    for (size_t k = from; k < Notes().size(); ++k)
        if (Notes()[k].code == code) return k;
    return size_t(-1);
}

using Capture = WinTestWindowPicture;

}  // namespace cctest
