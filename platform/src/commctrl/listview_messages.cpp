// The list view's items and columns and its own messages (LVM_*).
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "commctrl/listview_state.h"

namespace plat::commctrl::listview {

void RenumberAfterInsert(ListView& s, int at) {
    if (s.anchor >= at) ++s.anchor;
}

int InsertItem(HWND h, const LVITEMA& in) {
    ListView* s = L(h);
    if (!s || in.iSubItem != 0 || in.iItem < 0) return -1;
    Item it;
    EnsureSub(it, 0);
    if (in.mask & LVIF_TEXT) SetText(it, 0, in.pszText);
    if (in.mask & LVIF_IMAGE) it.image[0] = in.iImage;
    if (in.mask & LVIF_PARAM) it.param = in.lParam;
    if (in.mask & LVIF_INDENT) it.indent = std::max(0, in.iIndent);
    if (in.mask & LVIF_STATE) it.state = in.state & in.stateMask;
    if ((s->ex & LVS_EX_CHECKBOXES) && CheckIndex(it.state) == 0) it.state |= INDEXTOSTATEIMAGEMASK(1);
    int at = std::min(in.iItem, int(s->items.size()));
    DWORD st = Style(h);
    if (st & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
        bool asc = st & LVS_SORTASCENDING;
        at = 0;
        while (at < int(s->items.size())) {
            int c = lstrcmpiA(RawText(s->items[size_t(at)], 0).c_str(), it.text[0].c_str());
            if (asc ? c > 0 : c < 0) break;
            ++at;
        }
    }
    if ((st & LVS_SINGLESEL) && (it.state & LVIS_SELECTED))
        for (auto& o : s->items) o.state &= ~UINT(LVIS_SELECTED);
    if (it.state & LVIS_FOCUSED)
        for (auto& o : s->items) o.state &= ~UINT(LVIS_FOCUSED);
    s->items.insert(s->items.begin() + at, std::move(it));
    RenumberAfterInsert(*s, at);
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    NMLISTVIEW nm{};
    nm.iItem = at;
    if (L(h)) nm.lParam = L(h)->items[size_t(at)].param;
    SendNotify(h, LVN_INSERTITEM, &nm.hdr);
    return at;
}

bool DeleteItem(HWND h, int i) {
    ListView* s = L(h);
    if (!s || i < 0 || i >= int(s->items.size())) return false;
    NMLISTVIEW nm{};
    nm.iItem = i;
    nm.lParam = s->items[size_t(i)].param;
    SendNotify(h, LVN_DELETEITEM, &nm.hdr);
    s = L(h);
    if (!s || i >= int(s->items.size())) return false;
    s->items.erase(s->items.begin() + i);
    if (s->anchor == i)
        s->anchor = -1;
    else if (s->anchor > i)
        --s->anchor;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return true;
}

bool DeleteAll(HWND h) {
    ListView* s = L(h);
    if (!s) return false;
    if (s->items.empty()) return true;
    NMLISTVIEW nm{};
    nm.iItem = -1;
    bool quiet = SendNotify(h, LVN_DELETEALLITEMS, &nm.hdr) != 0;
    if (!quiet)
        for (int i = 0; L(h) && i < int(L(h)->items.size()); ++i) {
            NMLISTVIEW d{};
            d.iItem = i;
            d.lParam = L(h)->items[size_t(i)].param;
            SendNotify(h, LVN_DELETEITEM, &d.hdr);
        }
    s = L(h);
    if (!s) return false;
    s->items.clear();
    s->anchor = -1;
    s->top = 0;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return true;
}

bool GetItem(HWND h, LVITEMA* out) {
    ListView* s = L(h);
    if (!s || !out || out->iItem < 0 || out->iItem >= int(s->items.size()) || out->iSubItem < 0) return false;
    if (out->mask & LVIF_TEXT) CopyOut(CellText(h, *s, out->iItem, out->iSubItem), out->pszText, out->cchTextMax);
    // The text callback may have changed the list.
    s = L(h);
    if (!s || out->iItem >= int(s->items.size())) return false;
    const Item& it = s->items[size_t(out->iItem)];
    if (out->mask & LVIF_IMAGE)
        out->iImage = out->iSubItem < int(it.image.size()) ? it.image[size_t(out->iSubItem)] : -1;
    if (out->mask & LVIF_PARAM) out->lParam = it.param;
    if (out->mask & LVIF_STATE) out->state = it.state & out->stateMask;
    if (out->mask & LVIF_INDENT) out->iIndent = it.indent;
    return true;
}

bool SetItem(HWND h, const LVITEMA& in) {
    ListView* s = L(h);
    if (!s || in.iItem < 0 || in.iItem >= int(s->items.size()) || in.iSubItem < 0) return false;
    Item& it = s->items[size_t(in.iItem)];
    if (in.mask & LVIF_TEXT) SetText(it, in.iSubItem, in.pszText);
    if (in.mask & LVIF_IMAGE) {
        EnsureSub(it, in.iSubItem);
        it.image[size_t(in.iSubItem)] = in.iImage;
    }
    if (in.iSubItem == 0) {
        if (in.mask & LVIF_PARAM) it.param = in.lParam;
        if (in.mask & LVIF_INDENT) it.indent = std::max(0, in.iIndent);
    }
    InvalidateRow(h, *s, in.iItem);
    if ((in.mask & LVIF_STATE) && in.iSubItem == 0) return SetItemState(h, in.iItem, in.state, in.stateMask);
    return true;
}

bool SyncColumnsFromHeader(HWND h) {
    ListView* s = L(h);
    if (!s || !s->header) return false;
    bool changed = false;
    for (size_t k = 0; k < s->cols.size(); ++k) {
        HDITEMA hi{};
        hi.mask = HDI_WIDTH | HDI_FORMAT;
        if (SendMessageA(s->header, HDM_GETITEMA, k, reinterpret_cast<LPARAM>(&hi))) {
            s = L(h);
            if (!s || k >= s->cols.size()) return changed;
            const int fmt = (s->cols[k].fmt & ~LVCFMT_JUSTIFYMASK) | (hi.fmt & HDF_JUSTIFYMASK);
            changed = changed || s->cols[k].cx != hi.cxy || s->cols[k].fmt != fmt;
            s->cols[k].cx = hi.cxy;
            s->cols[k].fmt = fmt;
        }
    }
    return changed;
}

int InsertColumn(HWND h, int at, const LVCOLUMNA& in) {
    ListView* s = L(h);
    if (!s || at < 0) return -1;
    at = std::min(at, int(s->cols.size()));
    Column c;
    if (in.mask & LVCF_FMT) c.fmt = in.fmt;
    if (in.mask & LVCF_WIDTH) c.cx = std::max(0, in.cx);
    if (in.mask & LVCF_IMAGE) c.image = in.iImage;
    c.sub = (in.mask & LVCF_SUBITEM) ? in.iSubItem : at;
    if (at == 0) c.fmt = (c.fmt & ~LVCFMT_JUSTIFYMASK) | LVCFMT_LEFT;
    s->cols.insert(s->cols.begin() + at, c);
    // Later columns show the sub-items they showed before.
    for (size_t k = size_t(at) + 1; k < s->cols.size(); ++k)
        if (!(in.mask & LVCF_SUBITEM) && s->cols[k].sub >= at) ++s->cols[k].sub;
    if (!(in.mask & LVCF_SUBITEM))
        for (auto& it : s->items)
            if (int(it.text.size()) > at) {
                it.text.insert(it.text.begin() + at, std::string());
                it.text_callback.insert(it.text_callback.begin() + at, false);
                it.image.insert(it.image.begin() + at, -1);
            }
    if (s->header) {
        HDITEMA hi{};
        hi.mask = HDI_WIDTH | HDI_FORMAT;
        hi.cxy = c.cx;
        hi.fmt = (c.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING;
        if ((c.fmt & LVCFMT_IMAGE) && (in.mask & LVCF_IMAGE)) {
            hi.mask |= HDI_IMAGE;
            hi.fmt |= HDF_IMAGE;
            hi.iImage = c.image;
        }
        if ((in.mask & LVCF_TEXT) && in.pszText) {
            hi.mask |= HDI_TEXT;
            hi.pszText = in.pszText;
        }
        SendMessageA(s->header, HDM_INSERTITEMA, WPARAM(at), reinterpret_cast<LPARAM>(&hi));
    }
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return at;
}

bool SetColumn(HWND h, int at, const LVCOLUMNA& in) {
    ListView* s = L(h);
    if (!s || at < 0 || at >= int(s->cols.size())) return false;
    Column& c = s->cols[size_t(at)];
    HDITEMA hi{};
    if (in.mask & LVCF_FMT) {
        c.fmt = in.fmt;
        if (at == 0) c.fmt = (c.fmt & ~LVCFMT_JUSTIFYMASK) | LVCFMT_LEFT;
        hi.mask |= HDI_FORMAT;
        hi.fmt = (c.fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING | ((c.fmt & LVCFMT_IMAGE) ? HDF_IMAGE : 0);
        if (s->header) {
            HDITEMA cur{};
            cur.mask = HDI_FORMAT;
            SendMessageA(s->header, HDM_GETITEMA, WPARAM(at), reinterpret_cast<LPARAM>(&cur));
            hi.fmt |= cur.fmt & (HDF_BITMAP | HDF_OWNERDRAW | HDF_BITMAP_ON_RIGHT | HDF_IMAGE);
        }
    }
    s = L(h);
    if (!s) return false;
    Column& c2 = s->cols[size_t(at)];
    if (in.mask & LVCF_WIDTH) {
        c2.cx = std::max(0, in.cx);
        hi.mask |= HDI_WIDTH;
        hi.cxy = c2.cx;
    }
    if (in.mask & LVCF_IMAGE) {
        c2.image = in.iImage;
        hi.mask |= HDI_IMAGE;
        hi.iImage = in.iImage;
    }
    if (in.mask & LVCF_SUBITEM) c2.sub = in.iSubItem;
    if ((in.mask & LVCF_TEXT) && in.pszText) {
        hi.mask |= HDI_TEXT;
        hi.pszText = in.pszText;
    }
    if (s->header && hi.mask) {
        SendMessageA(s->header, HDM_SETITEMA, WPARAM(at), reinterpret_cast<LPARAM>(&hi));
        SyncColumnsFromHeader(h);  // the parent may have refused the change
    }
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return true;
}

bool GetColumn(HWND h, int at, LVCOLUMNA* out) {
    ListView* s = L(h);
    if (!s || !out || at < 0 || at >= int(s->cols.size())) return false;
    const Column c = s->cols[size_t(at)];
    if (out->mask & LVCF_FMT) out->fmt = c.fmt;
    if (out->mask & LVCF_WIDTH) out->cx = c.cx;
    if (out->mask & LVCF_SUBITEM) out->iSubItem = c.sub;
    if (out->mask & LVCF_IMAGE) out->iImage = c.image;
    if (out->mask & LVCF_ORDER) out->iOrder = at;
    if ((out->mask & LVCF_TEXT) && out->pszText && out->cchTextMax > 0) {
        out->pszText[0] = 0;
        if (s->header) {
            HDITEMA hi{};
            hi.mask = HDI_TEXT;
            hi.pszText = out->pszText;
            hi.cchTextMax = out->cchTextMax;
            SendMessageA(s->header, HDM_GETITEMA, WPARAM(at), reinterpret_cast<LPARAM>(&hi));
        }
    }
    return true;
}

int TextWidth(HWND h, const ListView& s, const std::string& t) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, FontOr(s.font));
    SIZE sz{0, 0};
    GetTextExtentPoint32A(dc, t.c_str(), int(t.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return sz.cx;
}

bool SetColumnWidth(HWND h, int at, int cx) {
    ListView* s = L(h);
    if (!s || at < 0 || at >= int(s->cols.size())) return false;
    if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) {
        int w = 0;
        int sub = s->cols[size_t(at)].sub;
        for (int i = 0; i < int(s->items.size()); ++i) w = std::max(w, TextWidth(h, *s, CellText(h, *s, i, sub)));
        w += kCellPad + 2;
        if (at == 0) {
            RECT st, ic, lb;
            if (!s->items.empty()) {
                FirstCellParts(h, *s, 0, &st, &ic, &lb);
                w += lb.left - CellRect(h, *s, 0, 0).left;
            }
        }
        if (cx == LVSCW_AUTOSIZE_USEHEADER) {
            char buf[260] = {0};
            LVCOLUMNA lc{};
            lc.mask = LVCF_TEXT;
            lc.pszText = buf;
            lc.cchTextMax = sizeof buf;
            GetColumn(h, at, &lc);
            w = std::max(w, TextWidth(h, *s, buf) + 12);
            if (at == int(s->cols.size()) - 1) {  // the last column fills the rest
                RECT cr;
                GetClientRect(h, &cr);
                w = std::max(w, int(cr.right) - (ColumnLeft(*s, at) + s->scroll_x));
            }
        }
        cx = w;
    }
    LVCOLUMNA lc{};
    lc.mask = LVCF_WIDTH;
    lc.cx = std::max(0, cx);
    return SetColumn(h, at, lc);
}

bool DeleteColumn(HWND h, int at) {
    ListView* s = L(h);
    if (!s || at < 0 || at >= int(s->cols.size())) return false;
    int sub = s->cols[size_t(at)].sub;
    s->cols.erase(s->cols.begin() + at);
    for (auto& c : s->cols)
        if (c.sub > sub) --c.sub;
    for (auto& it : s->items)
        if (sub > 0 && sub < int(it.text.size())) {
            it.text.erase(it.text.begin() + sub);
            it.text_callback.erase(it.text_callback.begin() + sub);
            it.image.erase(it.image.begin() + sub);
        }
    if (s->header) SendMessageA(s->header, HDM_DELETEITEM, WPARAM(at), 0);
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return true;
}

int NextItem(const ListView& s, int start, UINT flags) {
    UINT want = 0;
    if (flags & LVNI_FOCUSED) want |= LVIS_FOCUSED;
    if (flags & LVNI_SELECTED) want |= LVIS_SELECTED;
    if (flags & LVNI_CUT) want |= LVIS_CUT;
    if (flags & LVNI_DROPHILITED) want |= LVIS_DROPHILITED;
    int n = int(s.items.size());
    auto match = [&](int i) { return (s.items[size_t(i)].state & want) == want; };
    if (flags & LVNI_ABOVE) {
        for (int i = start - 1; i >= 0; --i)
            if (match(i)) return i;
        return -1;
    }
    for (int i = std::max(-1, start) + 1; i < n; ++i)
        if (match(i)) return i;
    return -1;
}

int FindItem(HWND h, const ListView& s, int start, const LVFINDINFOA& f) {
    int n = int(s.items.size());
    if (n == 0) return -1;
    int from = start + 1;
    int count = (f.flags & LVFI_WRAP) ? n : n - std::max(0, from);
    for (int k = 0; k < count; ++k) {
        int i = (std::max(0, from) + k) % n;
        if (f.flags & LVFI_PARAM) {
            if (s.items[size_t(i)].param == f.lParam) return i;
        } else if ((f.flags & (LVFI_STRING | LVFI_PARTIAL)) && f.psz) {
            std::string t = CellText(h, s, i, 0);
            size_t len = strlen(f.psz);
            if (f.flags & LVFI_PARTIAL) {
                if (t.size() >= len && strncasecmp(t.c_str(), f.psz, len) == 0) return i;
            } else if (strcasecmp(t.c_str(), f.psz) == 0) {
                return i;
            }
        }
    }
    return -1;
}

// ---- the list view's own messages --------------------------------------------------------

LRESULT SetColour(HWND h, std::optional<COLORREF>* slot, LPARAM l) {
    *slot = COLORREF(l);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

HIMAGELIST* ImageListSlot(ListView* s, WPARAM which) {
    switch (which) {
        case LVSIL_NORMAL: return &s->il_normal;
        case LVSIL_SMALL: return &s->il_small;
        case LVSIL_STATE: return &s->il_state;
        default: return nullptr;
    }
}

LRESULT OnGetImageList(ListView* s, WPARAM w) {
    HIMAGELIST* slot = ImageListSlot(s, w);
    return reinterpret_cast<LRESULT>(slot ? *slot : nullptr);
}

LRESULT OnSetImageList(HWND h, ListView* s, WPARAM w, LPARAM l) {
    HIMAGELIST* slot = ImageListSlot(s, w);
    if (!slot) return 0;
    HIMAGELIST old = *slot;
    *slot = reinterpret_cast<HIMAGELIST>(l);
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

// Only a hint for ordinary lists; a wild count must not exhaust memory.
LRESULT OnSetItemCount(ListView* s, WPARAM w) {
    s->items.reserve(std::min<size_t>(size_t(w), 1u << 16));
    return TRUE;
}

// Sub-item 0's parts; its bounds are the bounds of the whole row.
bool FirstCellRect(HWND h, const ListView& s, int i, int code, RECT* r) {
    RECT st, ic, lb;
    FirstCellParts(h, s, i, &st, &ic, &lb);
    switch (code) {
        case LVIR_BOUNDS: *r = RowBounds(h, s, i); return true;
        case LVIR_ICON: *r = ic; return true;
        case LVIR_LABEL: *r = lb; return true;
        case LVIR_SELECTBOUNDS:
            if (s.ex & LVS_EX_FULLROWSELECT) {
                *r = RowBounds(h, s, i);
                r->left = ic.left;
            } else {
                *r = RECT{ic.left, lb.top, lb.right, lb.bottom};
            }
            return true;
        default: return false;
    }
}

// The rectangle's left names the part wanted and, for a sub-item, its top the sub-item.
LRESULT OnGetItemRect(HWND h, ListView* s, UINT m, WPARAM w, LPARAM l) {
    auto* r = reinterpret_cast<RECT*>(l);
    int i = int(w);
    if (!r || i < 0 || i >= int(s->items.size())) return FALSE;
    int code = r->left;
    int sub = m == LVM_GETSUBITEMRECT ? r->top : 0;
    if (sub < 0 || (sub > 0 && sub >= int(s->cols.size()))) return FALSE;
    if (sub == 0) return FirstCellRect(h, *s, i, code, r);
    RECT c = CellRect(h, *s, i, sub);
    if (code == LVIR_ICON) {
        int cx = 0, cy;
        if (s->il_small) ImageListSize(s->il_small, &cx, &cy);
        c.right = std::min(int(c.right), int(c.left) + cx);
    } else if (code != LVIR_BOUNDS && code != LVIR_LABEL && code != LVIR_SELECTBOUNDS) {
        return FALSE;
    }
    *r = c;
    return TRUE;
}

LRESULT OnEnsureVisible(HWND h, ListView* s, WPARAM w) {
    if (int(w) < 0 || int(w) >= int(s->items.size())) return FALSE;
    EnsureVisible(h, int(w));
    return TRUE;
}

// Report view scrolls in whole rows: dy rounds to the nearest row count.
LRESULT OnScroll(HWND h, ListView* s, WPARAM w, LPARAM l) {
    int dx = int(w), dy = int(l);
    int rh = RowHeight(*s);
    int rows = dy >= 0 ? (dy + rh / 2) / rh : -((-dy + rh / 2) / rh);
    ScrollTo(h, s->top + rows, s->scroll_x + dx);
    return TRUE;
}

LRESULT OnRedrawItems(HWND h, ListView* s, WPARAM w, LPARAM l) {
    for (int i = std::max(0, int(w)); i <= int(l) && i < int(s->items.size()); ++i) InvalidateRow(h, *s, i);
    return TRUE;
}

LRESULT OnUpdate(HWND h, ListView* s, WPARAM w) {
    InvalidateRow(h, *s, int(w));
    UpdateWindow(h);
    return TRUE;
}

LRESULT OnGetViewRect(ListView* s, LPARAM l) {
    auto* r = reinterpret_cast<RECT*>(l);
    if (!r) return FALSE;
    *r = RECT{-s->scroll_x, 0, TotalWidth(*s) - s->scroll_x, int(s->items.size()) * RowHeight(*s)};
    return TRUE;
}

LRESULT OnGetOrigin(ListView* s, LPARAM l) {
    auto* p = reinterpret_cast<POINT*>(l);
    if (!p) return FALSE;
    *p = POINT{s->scroll_x, s->top * RowHeight(*s)};
    return TRUE;
}

LRESULT OnGetItemText(HWND h, ListView* s, WPARAM w, LPARAM l) {
    auto* it = reinterpret_cast<LVITEMA*>(l);
    if (!it || int(w) < 0 || int(w) >= int(s->items.size()) || it->iSubItem < 0) return 0;
    std::string t = CellText(h, *s, int(w), it->iSubItem);
    CopyOut(t, it->pszText, it->cchTextMax);
    return it->pszText && it->cchTextMax > 0 ? LRESULT(std::min<size_t>(t.size(), size_t(it->cchTextMax - 1))) : 0;
}

LRESULT OnSetItemText(HWND h, ListView* s, WPARAM w, LPARAM l) {
    auto* it = reinterpret_cast<LVITEMA*>(l);
    if (!it || int(w) < 0 || int(w) >= int(s->items.size()) || it->iSubItem < 0) return FALSE;
    SetText(s->items[size_t(w)], it->iSubItem, it->pszText);
    InvalidateRow(h, *s, int(w));
    return TRUE;
}

// The program's comparison sorts a copy: it may change or destroy the list meanwhile.
LRESULT OnSortItems(HWND h, ListView* s, WPARAM w, LPARAM l) {
    auto fn = reinterpret_cast<PFNLVCOMPARE>(l);
    if (!fn) return FALSE;
    std::vector<Item> copy = s->items;
    std::stable_sort(copy.begin(), copy.end(),
                     [&](const Item& a, const Item& b) { return fn(a.param, b.param, LPARAM(w)) < 0; });
    s = L(h);
    if (!s || s->items.size() != copy.size()) return FALSE;
    s->items.swap(copy);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT SelectedCount(const ListView* s) {
    return std::count_if(s->items.begin(), s->items.end(),
                         [](const Item& it) { return (it.state & LVIS_SELECTED) != 0; });
}

LRESULT OnSetSelectionMark(ListView* s, LPARAM l) {
    int old = s->anchor;
    s->anchor = int(l) >= -1 && int(l) < int(s->items.size()) ? int(l) : -1;
    return old;
}

// Check boxes turned on give every item an unchecked box; turned off without a state image
// list they take the boxes away.
LRESULT OnSetExtendedStyle(HWND h, ListView* s, WPARAM w, LPARAM l) {
    DWORD old = s->ex;
    DWORD mask = w ? DWORD(w) : 0xFFFFFFFFu;
    s->ex = (s->ex & ~mask) | (DWORD(l) & mask);
    if ((s->ex & LVS_EX_CHECKBOXES) && !(old & LVS_EX_CHECKBOXES))
        for (auto& it : s->items)
            if (CheckIndex(it.state) == 0) it.state |= INDEXTOSTATEIMAGEMASK(1);
    if (!(s->ex & LVS_EX_CHECKBOXES) && (old & LVS_EX_CHECKBOXES) && !s->il_state)
        for (auto& it : s->items) it.state &= ~UINT(LVIS_STATEIMAGEMASK);
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LRESULT OnSetItemState(HWND h, WPARAM w, LPARAM l) {
    auto* it = reinterpret_cast<LVITEMA*>(l);
    return it ? SetItemState(h, int(w), it->state, it->stateMask) : FALSE;
}

LRESULT OnGetItemState(const ListView* s, WPARAM w, LPARAM l) {
    return int(w) >= 0 && int(w) < int(s->items.size()) ? s->items[size_t(w)].state & UINT(l) : 0;
}

LRESULT OnGetColumnWidth(const ListView* s, WPARAM w) {
    return int(w) >= 0 && int(w) < int(s->cols.size()) ? s->cols[size_t(w)].cx : 0;
}

template <class T>
T* Arg(LPARAM l) {
    return reinterpret_cast<T*>(l);
}

LRESULT OnListViewMessage(HWND h, ListView* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case LVM_GETBKCOLOR: return LRESULT(s->Bk());
        case LVM_SETBKCOLOR: return SetColour(h, &s->set_bk, l);
        case LVM_GETTEXTCOLOR: return LRESULT(s->Text());
        case LVM_SETTEXTCOLOR: return SetColour(h, &s->set_text, l);
        case LVM_GETTEXTBKCOLOR: return LRESULT(s->TextBk());
        case LVM_SETTEXTBKCOLOR: return SetColour(h, &s->set_textbk, l);
        case LVM_GETIMAGELIST: return OnGetImageList(s, w);
        case LVM_SETIMAGELIST: return OnSetImageList(h, s, w, l);
        case LVM_GETITEMCOUNT: return LRESULT(s->items.size());
        case LVM_SETITEMCOUNT: return OnSetItemCount(s, w);
        case LVM_GETITEMA: return GetItem(h, Arg<LVITEMA>(l));
        case LVM_SETITEMA: return l ? SetItem(h, *Arg<LVITEMA>(l)) : FALSE;
        case LVM_INSERTITEMA: return l ? InsertItem(h, *Arg<LVITEMA>(l)) : -1;
        case LVM_DELETEITEM: return DeleteItem(h, int(w));
        case LVM_DELETEALLITEMS: return DeleteAll(h);
        case LVM_GETCALLBACKMASK: return s->callback_mask;
        case LVM_SETCALLBACKMASK: s->callback_mask = UINT(w); return TRUE;
        case LVM_GETNEXTITEM: return NextItem(*s, int(w), UINT(LOWORD(l)));
        case LVM_FINDITEMA: return l ? FindItem(h, *s, int(w), *Arg<LVFINDINFOA>(l)) : -1;
        case LVM_GETITEMRECT:
        case LVM_GETSUBITEMRECT: return OnGetItemRect(h, s, m, w, l);
        case LVM_GETSTRINGWIDTHA: return l ? TextWidth(h, *s, reinterpret_cast<LPCSTR>(l)) : 0;
        case LVM_HITTEST: return l ? HitTest(h, *s, Arg<LVHITTESTINFO>(l)) : -1;
        case LVM_SUBITEMHITTEST: return l ? SubItemHitTest(h, *s, Arg<LVHITTESTINFO>(l)) : -1;
        case LVM_ENSUREVISIBLE: return OnEnsureVisible(h, s, w);
        case LVM_SCROLL: return OnScroll(h, s, w, l);
        case LVM_REDRAWITEMS: return OnRedrawItems(h, s, w, l);
        case LVM_UPDATE: return OnUpdate(h, s, w);
        case LVM_ARRANGE: return TRUE;
        case LVM_GETCOLUMNA: return GetColumn(h, int(w), Arg<LVCOLUMNA>(l));
        case LVM_SETCOLUMNA: return l ? SetColumn(h, int(w), *Arg<LVCOLUMNA>(l)) : FALSE;
        case LVM_INSERTCOLUMNA: return l ? InsertColumn(h, int(w), *Arg<LVCOLUMNA>(l)) : -1;
        case LVM_DELETECOLUMN: return DeleteColumn(h, int(w));
        case LVM_GETCOLUMNWIDTH: return OnGetColumnWidth(s, w);
        case LVM_SETCOLUMNWIDTH: return SetColumnWidth(h, int(w), int(short(LOWORD(l))));
        case LVM_GETHEADER: return reinterpret_cast<LRESULT>(s->header);
        case LVM_GETVIEWRECT: return OnGetViewRect(s, l);
        case LVM_GETORIGIN: return OnGetOrigin(s, l);
        case LVM_GETTOPINDEX: return s->top;
        case LVM_GETCOUNTPERPAGE: return PerPage(h, *s);
        case LVM_SETITEMSTATE: return OnSetItemState(h, w, l);
        case LVM_GETITEMSTATE: return OnGetItemState(s, w, l);
        case LVM_GETITEMTEXTA: return OnGetItemText(h, s, w, l);
        case LVM_SETITEMTEXTA: return OnSetItemText(h, s, w, l);
        case LVM_SORTITEMS: return OnSortItems(h, s, w, l);
        case LVM_GETSELECTEDCOUNT: return SelectedCount(s);
        case LVM_GETSELECTIONMARK: return s->anchor;
        case LVM_SETSELECTIONMARK: return OnSetSelectionMark(s, l);
        case LVM_SETEXTENDEDLISTVIEWSTYLE: return OnSetExtendedStyle(h, s, w, l);
        case LVM_GETEXTENDEDLISTVIEWSTYLE: return LRESULT(s->ex);
        case LVM_GETHOTITEM: return -1;
        case CCM_SETVERSION:
        case CCM_GETVERSION: return 5;
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace plat::commctrl::listview
