// The list box's own messages: items and their text and data, selection, the caret and anchor,
// the top item, item heights and rectangles, and searching.
#include "controls/listbox_state.h"

#include <algorithm>
#include <cstring>

namespace plat::controls::listbox {
namespace {

LRESULT OnDeleteString(HWND h, ListBox* lb, WPARAM wp) {
    long i = long(int(wp));
    if (!Valid(lb, i)) return LB_ERR;
    DeleteItemNotice(h, lb, int(i));
    lb->items.erase(lb->items.begin() + i);
    if (lb->cur == i)
        lb->cur = MultiSel(h) ? std::min<int>(int(i), int(lb->items.size()) - 1) : -1;
    else if (lb->cur > i)
        --lb->cur;
    if (lb->anchor == i)
        lb->anchor = -1;
    else if (lb->anchor > i)
        --lb->anchor;
    SetTop(h, lb, lb->top);
    UpdateScroll(h, lb);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(lb->items.size());
}

LRESULT OnResetContent(HWND h, ListBox* lb) {
    for (int i = 0; i < int(lb->items.size()); ++i) DeleteItemNotice(h, lb, i);
    lb->items.clear();
    lb->cur = lb->anchor = -1;
    lb->top = 0;
    UpdateScroll(h, lb);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// Lists without strings answer with the item's data.
LRESULT OnGetText(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    long i = long(int(wp));
    if (!Valid(lb, i) || !lp) return LB_ERR;
    if (!HasStrings(h)) {
        ULONG_PTR d = lb->items[size_t(i)].data;
        memcpy(reinterpret_cast<void*>(lp), &d, sizeof d);
        return sizeof d;
    }
    const std::string& s = lb->items[size_t(i)].text;
    memcpy(reinterpret_cast<char*>(lp), s.c_str(), s.size() + 1);
    return LRESULT(s.size());
}

LRESULT OnGetTextLen(HWND h, ListBox* lb, WPARAM wp) {
    long i = long(int(wp));
    if (!Valid(lb, i)) return LB_ERR;
    return HasStrings(h) ? LRESULT(lb->items[size_t(i)].text.size()) : LRESULT(sizeof(ULONG_PTR));
}

LRESULT OnSetCurSel(HWND h, ListBox* lb, WPARAM wp) {
    if (MultiSel(h)) return LB_ERR;
    long i = long(int(wp));
    if (!Valid(lb, i)) {
        lb->cur = -1;
        InvalidateRect(h, nullptr, TRUE);
        return LB_ERR;
    }
    lb->cur = int(i);
    EnsureVisible(h, lb, int(i));
    InvalidateRect(h, nullptr, TRUE);
    return i;
}

LRESULT OnGetCurSel(HWND h, ListBox* lb) {
    if (MultiSel(h)) return lb->cur;
    return Valid(lb, lb->cur) ? lb->cur : LB_ERR;
}

LRESULT OnSetSel(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    if (!MultiSel(h)) return LB_ERR;
    long i = long(int(lp));
    if (i == -1) {
        for (auto& it : lb->items) it.sel = wp != 0;
    } else {
        if (!Valid(lb, i)) return LB_ERR;
        lb->items[size_t(i)].sel = wp != 0;
        lb->cur = int(i);
        if (wp) lb->anchor = int(i);
    }
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnGetSel(HWND h, ListBox* lb, WPARAM wp) {
    long i = long(int(wp));
    if (!Valid(lb, i)) return LB_ERR;
    return Selected(h, lb, int(i)) ? 1 : 0;
}

LRESULT OnGetSelCount(HWND h, ListBox* lb) {
    if (!MultiSel(h)) return LB_ERR;
    return std::count_if(lb->items.begin(), lb->items.end(), [](const Item& it) { return it.sel; });
}

LRESULT OnGetSelItems(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    if (!MultiSel(h)) return LB_ERR;
    int* out = reinterpret_cast<int*>(lp);
    int got = 0;
    for (int i = 0; i < int(lb->items.size()) && got < int(wp); ++i)
        if (lb->items[size_t(i)].sel) {
            if (out) out[got] = i;
            ++got;
        }
    return got;
}

LRESULT OnSelItemRange(HWND h, ListBox* lb, int a, int b, bool on) {
    if (!MultiSel(h)) return LB_ERR;
    SelectRange(lb, a, b, on);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// From a to b selects; from b down to a clears.
LRESULT OnSelItemRangeEx(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    int a = int(wp), b = int(lp);
    return a <= b ? OnSelItemRange(h, lb, a, b, true) : OnSelItemRange(h, lb, b, a, false);
}

bool EmptyAndFirst(const ListBox* lb, long i) { return lb->items.empty() && i == 0; }

LRESULT OnSetTopIndex(HWND h, ListBox* lb, WPARAM wp) {
    if (!Valid(lb, long(int(wp))) && !EmptyAndFirst(lb, long(wp))) return LB_ERR;
    SetTop(h, lb, int(wp));
    return 0;
}

LRESULT OnGetItemData(ListBox* lb, WPARAM wp) {
    long i = long(int(wp));
    return Valid(lb, i) ? LRESULT(lb->items[size_t(i)].data) : LB_ERR;
}

LRESULT OnSetItemData(ListBox* lb, WPARAM wp, LPARAM lp) {
    long i = long(int(wp));
    if (!Valid(lb, i)) return LB_ERR;
    lb->items[size_t(i)].data = ULONG_PTR(lp);
    return 0;
}

LRESULT OnGetItemRect(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    long i = long(int(wp));
    if (!lp || (!Valid(lb, i) && !EmptyAndFirst(lb, i))) return LB_ERR;
    *reinterpret_cast<RECT*>(lp) = ItemRect(h, lb, int(i));
    return 0;
}

LRESULT OnSetItemHeight(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    int hgt = LOWORD(lp);
    if (hgt <= 0 || hgt > 255) return LB_ERR;
    if (Variable(h)) {
        long i = long(int(wp));
        if (!Valid(lb, i)) return LB_ERR;
        lb->items[size_t(i)].height = UINT(hgt);
    } else {
        lb->item_height = hgt;
    }
    UpdateScroll(h, lb);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnGetItemHeight(HWND h, ListBox* lb, WPARAM wp) {
    if (!Variable(h)) return lb->item_height;
    long i = long(int(wp));
    return Valid(lb, i) ? LRESULT(lb->items[size_t(i)].height) : LB_ERR;
}

LRESULT OnSelectString(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    int i = Find(h, lb, int(wp), reinterpret_cast<const char*>(lp), false);
    if (i < 0) return LB_ERR;
    if (MultiSel(h)) lb->items[size_t(i)].sel = true;
    lb->cur = i;
    EnsureVisible(h, lb, i);
    InvalidateRect(h, nullptr, TRUE);
    return i;
}

LRESULT OnItemFromPoint(HWND h, ListBox* lb, LPARAM lp) {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT rc;
    GetClientRect(h, &rc);
    bool outside = !PtInRect(&rc, p);
    int n = int(lb->items.size());
    int i = ItemAt(h, lb, std::max<LONG>(0, p.y));
    if (i < 0) {
        i = n > 0 ? std::min(n - 1, lb->top + PageSize(h, lb) - 1) : 0;
        outside = true;
    }
    return MAKELONG(i, outside ? 1 : 0);
}

LRESULT OnSetCaretIndex(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    if (!Valid(lb, long(int(wp)))) return LB_ERR;
    lb->cur = int(wp);
    if (!LOWORD(lp)) EnsureVisible(h, lb, lb->cur);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetAnchorIndex(ListBox* lb, WPARAM wp) {
    if (!Valid(lb, long(int(wp)))) return LB_ERR;
    lb->anchor = int(wp);
    return 0;
}

LRESULT OnInitStorage(ListBox* lb, WPARAM wp) {
    lb->items.reserve(lb->items.size() + size_t(wp));
    return LRESULT(lb->items.capacity());
}

const char* Text(LPARAM lp) { return reinterpret_cast<const char*>(lp); }

}  // namespace

LRESULT OnListBoxMessage(HWND h, ListBox* lb, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case LB_ADDSTRING: return Insert(h, lb, -1, lp, (Style(h) & LBS_SORT) != 0);
        case LB_INSERTSTRING: return Insert(h, lb, int(wp), lp, false);
        case LB_DELETESTRING: return OnDeleteString(h, lb, wp);
        case LB_RESETCONTENT: return OnResetContent(h, lb);
        case LB_GETCOUNT: return LRESULT(lb->items.size());
        case LB_GETTEXT: return OnGetText(h, lb, wp, lp);
        case LB_GETTEXTLEN: return OnGetTextLen(h, lb, wp);
        case LB_SETCURSEL: return OnSetCurSel(h, lb, wp);
        case LB_GETCURSEL: return OnGetCurSel(h, lb);
        case LB_SETSEL: return OnSetSel(h, lb, wp, lp);
        case LB_GETSEL: return OnGetSel(h, lb, wp);
        case LB_GETSELCOUNT: return OnGetSelCount(h, lb);
        case LB_GETSELITEMS: return OnGetSelItems(h, lb, wp, lp);
        case LB_SELITEMRANGE: return OnSelItemRange(h, lb, LOWORD(lp), HIWORD(lp), wp != 0);
        case LB_SELITEMRANGEEX: return OnSelItemRangeEx(h, lb, wp, lp);
        case LB_GETTOPINDEX: return lb->top;
        case LB_SETTOPINDEX: return OnSetTopIndex(h, lb, wp);
        case LB_GETITEMDATA: return OnGetItemData(lb, wp);
        case LB_SETITEMDATA: return OnSetItemData(lb, wp, lp);
        case LB_GETITEMRECT: return OnGetItemRect(h, lb, wp, lp);
        case LB_SETITEMHEIGHT: return OnSetItemHeight(h, lb, wp, lp);
        case LB_GETITEMHEIGHT: return OnGetItemHeight(h, lb, wp);
        case LB_FINDSTRING: return Find(h, lb, int(wp), Text(lp), false);
        case LB_FINDSTRINGEXACT: return Find(h, lb, int(wp), Text(lp), true);
        case LB_SELECTSTRING: return OnSelectString(h, lb, wp, lp);
        case LB_ITEMFROMPOINT: return OnItemFromPoint(h, lb, lp);
        case LB_SETCARETINDEX: return OnSetCaretIndex(h, lb, wp, lp);
        case LB_GETCARETINDEX: return lb->cur < 0 ? 0 : lb->cur;
        case LB_SETANCHORINDEX: return OnSetAnchorIndex(lb, wp);
        case LB_GETANCHORINDEX: return lb->anchor < 0 ? 0 : lb->anchor;
        case LB_SETHORIZONTALEXTENT: lb->horz_extent = int(wp); return 0;
        case LB_GETHORIZONTALEXTENT: return lb->horz_extent;
        case LB_INITSTORAGE: return OnInitStorage(lb, wp);
        case LB_SETCOUNT: return LB_ERR;
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls::listbox
