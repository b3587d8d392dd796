// The tree view's state: items in a tree with their texts, images and states, the selection,
// the first row shown and the look; shared by its model (treeview.cpp) and its view
// (treeview_view.cpp).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commctrl/common.h"

namespace plat::commctrl::tree {

struct Item {
    uintptr_t id = 0;
    Item* parent = nullptr;  // null for items at the root
    std::vector<Item*> children;
    std::string text;
    int image = 0, selimage = 0;
    int kids = 0;  // TVIF_CHILDREN: 1 shows a button before any child is added
    UINT state = 0;
    LPARAM lparam = 0;
};

struct Tree {
    HWND hwnd = nullptr;
    std::map<uintptr_t, std::unique_ptr<Item>> items;  // owns every item, by handle
    std::vector<Item*> roots;
    uintptr_t next_id = 1;  // handles are never reused, so a deleted item's handle stays dead
    Item* caret = nullptr;  // the selected item
    Item* drop = nullptr;   // TVGN_DROPHILITE
    int top = 0;            // first row shown
    int indent = 19;
    int item_height = 0;    // 0: from the font
    COLORREF back = CLR_NONE, fore = CLR_NONE, line = CLR_DEFAULT;
    HIMAGELIST images = nullptr, state_images = nullptr;
    HFONT font = nullptr;
    bool focus = false;
    bool vscroll = false;  // made with WS_VSCROLL (the window system drops the style while the bar is hidden)
};

inline Tree* T(HWND h) { return State<Tree>(h); }
inline DWORD StyleOf(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
inline HTREEITEM Handle(const Item* i) { return i ? reinterpret_cast<HTREEITEM>(i->id) : nullptr; }
Item* Find(const Tree& t, HTREEITEM h);

// ---- the model (treeview.cpp) ------------------------------------------------------------
int Level(const Item* i);
const std::vector<Item*>& Siblings(const Tree& t, const Item* i);
bool HasChildren(const Item* i);
// Makes `to` the selection, asking the parent first; false when it refused.
bool Select(HWND h, Item* to, UINT action);
// Expands, collapses or toggles (TVE_*) with the notices; `by_user` always notifies.
bool Expand(HWND h, Item* i, UINT how, bool by_user);
LRESULT OnTreeMessage(HWND h, Tree* t, UINT m, WPARAM w, LPARAM l);
void DeleteAll(HWND h, Tree& t);

// ---- the view (treeview_view.cpp) --------------------------------------------------------
// The expanded items in display order.
std::vector<Item*> Rows(const Tree& t);
int RowOf(const Tree& t, const Item* i);  // -1 when hidden under a collapsed parent
int ItemHeight(HWND h, const Tree& t);
int VisibleRows(HWND h, const Tree& t);
// The row's whole rectangle, or its label's.
bool ItemRect(HWND h, const Tree& t, const Item* i, bool label, RECT* r);
Item* HitTest(HWND h, const Tree& t, POINT p, UINT* flags);
void ScrollTo(HWND h, Tree& t, int top);
void EnsureVisible(HWND h, Tree& t, Item* i);
// After any change of the rows: clamps the first row, updates the scroll bar and repaints.
void Changed(HWND h, Tree& t);

}  // namespace plat::commctrl::tree
