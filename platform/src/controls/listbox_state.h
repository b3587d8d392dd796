// The list box's state and the helpers its window procedure and its message handlers share.
#pragma once

#include <string>
#include <vector>

#include "controls/listbox.h"

namespace plat::controls::listbox {

struct Item {
    std::string text;
    ULONG_PTR data = 0;
    bool sel = false;
    UINT height = 0;
};

struct ListBox {
    std::vector<Item> items;
    int cur = -1;  // single selection: the selected item; otherwise the caret item
    int anchor = -1;  // extended selection's anchor
    int top = 0;
    int item_height = 0;
    bool focus = false;
    bool tracking = false;
    int sel_at_press = -1;
    std::vector<bool> sels_at_press;
    HFONT font = nullptr;
    HWND combo = nullptr;  // set for a combo box's list
    int horz_extent = 0;
    bool in_create = true;
    bool vscroll = false;  // made with WS_VSCROLL (the window system hides the bar when idle)
};

inline DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
inline bool MultiSel(HWND h) { return (Style(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
inline bool OwnerDraw(HWND h) { return (Style(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
inline bool HasStrings(HWND h) { return !OwnerDraw(h) || (Style(h) & LBS_HASSTRINGS); }
inline bool Variable(HWND h) { return (Style(h) & LBS_OWNERDRAWVARIABLE) != 0; }
inline bool Valid(const ListBox* lb, long i) { return i >= 0 && i < long(lb->items.size()); }

// Where owner-draw and notification messages go, and as which control.
inline HWND Target(HWND h, const ListBox* lb) { return lb->combo ? GetParent(lb->combo) : GetParent(h); }
inline HWND AsCtl(HWND h, const ListBox* lb) { return lb->combo ? lb->combo : h; }

void NotifyLb(HWND h, ListBox* lb, int code);
RECT ItemRect(HWND h, const ListBox* lb, int i);
int PageSize(HWND h, const ListBox* lb);  // items that fit whole from the top one
void UpdateScroll(HWND h, ListBox* lb);
void SetTop(HWND h, ListBox* lb, int top);
void EnsureVisible(HWND h, ListBox* lb, int i);
int ItemAt(HWND h, const ListBox* lb, int y);
bool Selected(HWND h, const ListBox* lb, int i);
int Insert(HWND h, ListBox* lb, int at, LPARAM lp, bool sorted);
void DeleteItemNotice(HWND h, ListBox* lb, int i);
int Find(HWND h, const ListBox* lb, int start, const char* s, bool exact);
void SelectSingle(HWND h, ListBox* lb, int i, bool notify);
void SelectRange(ListBox* lb, int a, int b, bool on);

// The list box's own messages (LB_*).
LRESULT OnListBoxMessage(HWND h, ListBox* lb, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace plat::controls::listbox
