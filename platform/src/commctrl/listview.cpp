// The list view in report mode: rows of items with sub-item texts under a header, selection and
// focus, check boxes as state images, custom draw down to sub-items, and window scroll bars.
// Other views are laid out as the report view without its header. Painting is in
// listview_draw.cpp, the items, the columns and the list view's own messages in
// listview_messages.cpp.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "commctrl/listview_state.h"

namespace plat::commctrl::listview {

int HeaderHeight(const ListView& s) {
    if (!s.header || !IsWindowVisible(s.header)) return 0;
    RECT r;
    GetWindowRect(s.header, &r);
    return r.bottom - r.top;
}

int RowHeight(const ListView& s) {
    int h = LineHeight(s.font) + 4;
    int cx, cy;
    if (s.il_small && ImageListSize(s.il_small, &cx, &cy)) h = std::max(h, cy + 1);
    if (s.il_state && ImageListSize(s.il_state, &cx, &cy)) h = std::max(h, cy + 1);
    if (s.ex & LVS_EX_CHECKBOXES) h = std::max(h, 16);
    return h;
}

int TotalWidth(const ListView& s) {
    int w = 0;
    for (auto& c : s.cols) w += std::max(0, c.cx);
    return w;
}

int ColumnLeft(const ListView& s, int col) {
    int x = -s.scroll_x;
    for (int k = 0; k < col && k < int(s.cols.size()); ++k) x += std::max(0, s.cols[size_t(k)].cx);
    return x;
}

RECT ContentRect(HWND h, const ListView& s) {
    RECT cr;
    GetClientRect(h, &cr);
    cr.top = std::min(cr.bottom, cr.top + HeaderHeight(s));
    return cr;
}

int PerPage(HWND h, const ListView& s) {
    RECT c = ContentRect(h, s);
    return std::max(0, int(c.bottom - c.top) / RowHeight(s));
}

int RowTop(HWND h, const ListView& s, int i) { return ContentRect(h, s).top + (i - s.top) * RowHeight(s); }

RECT RowBounds(HWND h, const ListView& s, int i) {
    int y = RowTop(h, s, i);
    int x = ColumnLeft(s, 0);
    return RECT{x, y, x + TotalWidth(s), y + RowHeight(s)};
}

RECT CellRect(HWND h, const ListView& s, int i, int col) {
    int y = RowTop(h, s, i);
    int x = ColumnLeft(s, col);
    int w = col < int(s.cols.size()) ? std::max(0, s.cols[size_t(col)].cx) : 0;
    return RECT{x, y, x + w, y + RowHeight(s)};
}

// Column 0's parts: state image, small icon, label.
void FirstCellParts(HWND h, const ListView& s, int i, RECT* state, RECT* icon, RECT* label) {
    RECT c = CellRect(h, s, i, 0);
    int x = c.left + 2;
    if (i >= 0 && i < int(s.items.size())) x += s.items[size_t(i)].indent * 16;
    int sw = 0;
    if (HasChecks(s)) {
        int cx = kStateWidth, cy;
        if (s.il_state) ImageListSize(s.il_state, &cx, &cy);
        sw = cx;
    }
    *state = RECT{x, c.top, std::min(int(c.right), x + sw), c.bottom};
    x += sw;
    int iw = 0;
    int cx, cy;
    if (s.il_small && ImageListSize(s.il_small, &cx, &cy)) iw = cx;
    *icon = RECT{std::min(x, int(c.right)), c.top, std::min(int(c.right), x + iw), c.bottom};
    *label = RECT{std::min(x + iw, int(c.right)), c.top, c.right, c.bottom};
}

// The text shown for a cell: stored, or asked of the parent for callback texts.
std::string CellText(HWND h, const ListView& s, int i, int sub) {
    const Item& it = s.items[size_t(i)];
    bool cb = sub < int(it.text_callback.size()) && it.text_callback[size_t(sub)];
    if (!cb) return RawText(it, sub);
    char buf[1024] = {0};
    NMLVDISPINFOA di{};
    di.item.mask = LVIF_TEXT;
    di.item.iItem = i;
    di.item.iSubItem = sub;
    di.item.pszText = buf;
    di.item.cchTextMax = int(sizeof buf);
    di.item.lParam = it.param;
    SendNotify(h, LVN_GETDISPINFOA, &di.hdr);
    if (!di.item.pszText || di.item.pszText == LPSTR_TEXTCALLBACKA) return std::string();
    return std::string(di.item.pszText, strnlen(di.item.pszText, sizeof buf));
}

int CellImage(HWND h, const ListView& s, int i, int sub) {
    const Item& it = s.items[size_t(i)];
    int img = sub < int(it.image.size()) ? it.image[size_t(sub)] : -1;
    if (img != I_IMAGECALLBACK) return img;
    NMLVDISPINFOA di{};
    di.item.mask = LVIF_IMAGE;
    di.item.iItem = i;
    di.item.iSubItem = sub;
    di.item.lParam = it.param;
    SendNotify(h, LVN_GETDISPINFOA, &di.hdr);
    return di.item.iImage;
}

void EnsureSub(Item& it, int sub) {
    size_t n = size_t(std::max(sub + 1, 1));
    if (it.text.size() < n) it.text.resize(n);
    if (it.text_callback.size() < n) it.text_callback.resize(n, false);
    if (it.image.size() < n) it.image.resize(n, -1);
}

void SetText(Item& it, int sub, LPCSTR text) {
    EnsureSub(it, sub);
    bool cb = text == LPSTR_TEXTCALLBACKA;
    it.text_callback[size_t(sub)] = cb;
    it.text[size_t(sub)] = (!cb && text) ? std::string(text) : std::string();
}

void InvalidateRow(HWND h, const ListView& s, int i) {
    if (i < 0 || i >= int(s.items.size())) return;
    RECT r = RowBounds(h, s, i);
    RECT cr;
    GetClientRect(h, &cr);
    r.left = cr.left;
    r.right = cr.right;
    InvalidateRect(h, &r, TRUE);
}

// ---- layout and scrolling ----------------------------------------------------------------

void Layout(HWND h) {
    ListView* s = L(h);
    if (!s || s->in_layout) return;
    s->in_layout = true;
    // Showing or hiding a scroll bar changes the client area, so settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        RECT cr;
        GetClientRect(h, &cr);
        bool show_header = Report(h) && !(Style(h) & LVS_NOCOLUMNHEADER);
        int hh = 0;
        if (s->header) {
            if (show_header) {
                RECT pr{0, 0, cr.right, cr.bottom};
                WINDOWPOS wp{};
                HDLAYOUT lay{&pr, &wp};
                SendMessageA(s->header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&lay));
                hh = wp.cy;
            }
            s = L(h);
            if (!s) return;
        }
        int total = TotalWidth(*s);
        int width = cr.right - cr.left;
        s->scroll_x = std::clamp(s->scroll_x, 0, std::max(0, total - width));
        if (s->header) {
            SetWindowPos(s->header, nullptr, -s->scroll_x, 0, std::max(width + s->scroll_x, total), hh,
                         SWP_NOZORDER | SWP_NOACTIVATE | (show_header ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        }
        int per = std::max(0, int(cr.bottom - hh) / RowHeight(*s));
        int count = int(s->items.size());
        s->top = std::clamp(s->top, 0, std::max(0, count - per));
        if (!(Style(h) & LVS_NOSCROLL)) {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            si.nMin = 0;
            si.nMax = std::max(0, count - 1);
            si.nPage = UINT(per);
            si.nPos = s->top;
            SetScrollInfo(h, SB_VERT, &si, TRUE);
            si.nMax = std::max(0, total - 1);
            si.nPage = UINT(std::max(0, width));
            si.nPos = s->scroll_x;
            SetScrollInfo(h, SB_HORZ, &si, TRUE);
        }
        s = L(h);
        if (!s) return;
        RECT after;
        GetClientRect(h, &after);
        if (EqualRect(&after, &cr)) break;
    }
    s->in_layout = false;
}

void ScrollTo(HWND h, int top, int x) {
    ListView* s = L(h);
    if (!s) return;
    RECT cr;
    GetClientRect(h, &cr);
    int per = PerPage(h, *s);
    top = std::clamp(top, 0, std::max(0, int(s->items.size()) - per));
    x = std::clamp(x, 0, std::max(0, TotalWidth(*s) - int(cr.right)));
    if (top == s->top && x == s->scroll_x) return;
    s->top = top;
    s->scroll_x = x;
    Layout(h);
    InvalidateRect(h, nullptr, TRUE);
}

void EnsureVisible(HWND h, int i) {
    ListView* s = L(h);
    if (!s || i < 0 || i >= int(s->items.size())) return;
    int per = std::max(1, PerPage(h, *s));
    int top = s->top;
    if (i < top)
        top = i;
    else if (i >= top + per)
        top = i - per + 1;
    ScrollTo(h, top, s->scroll_x);
}

// ---- state changes -----------------------------------------------------------------------

// Changes an item's state bits with LVN_ITEMCHANGING / LVN_ITEMCHANGED; false when refused.
bool ChangeState(HWND h, int i, UINT state, UINT mask) {
    ListView* s = L(h);
    if (!s || i < 0 || i >= int(s->items.size())) return false;
    UINT old = s->items[size_t(i)].state;
    UINT now = (old & ~mask) | (state & mask);
    if (now == old) return true;
    NMLISTVIEW nm{};
    nm.iItem = i;
    nm.uOldState = old;
    nm.uNewState = now;
    nm.uChanged = LVIF_STATE;
    nm.lParam = s->items[size_t(i)].param;
    if (SendNotify(h, LVN_ITEMCHANGING, &nm.hdr)) return false;
    s = L(h);
    if (!s || i >= int(s->items.size())) return false;
    old = s->items[size_t(i)].state;
    now = (old & ~mask) | (state & mask);
    s->items[size_t(i)].state = now;
    InvalidateRow(h, *s, i);
    nm = NMLISTVIEW{};
    nm.iItem = i;
    nm.uOldState = old;
    nm.uNewState = now;
    nm.uChanged = LVIF_STATE;
    nm.lParam = s->items[size_t(i)].param;
    SendNotify(h, LVN_ITEMCHANGED, &nm.hdr);
    return true;
}

// Sets state on one item (or all for -1), keeping a single focus and, with LVS_SINGLESEL, a single
// selection.
bool SetItemState(HWND h, int i, UINT state, UINT mask) {
    ListView* s = L(h);
    if (!s) return false;
    if (i == -1) {
        bool ok = true;
        for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k) {
            UINT m = mask;
            if ((state & LVIS_FOCUSED) && k != 0) m &= ~UINT(LVIS_FOCUSED);  // one focus only
            if ((Style(h) & LVS_SINGLESEL) && (state & LVIS_SELECTED) && k != 0) m &= ~UINT(LVIS_SELECTED);
            ok = ChangeState(h, k, state, m) && ok;
        }
        return ok;
    }
    if (i < 0 || i >= int(s->items.size())) return false;
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k)
            if (k != i && (L(h)->items[size_t(k)].state & LVIS_FOCUSED)) ChangeState(h, k, 0, LVIS_FOCUSED);
    if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && (Style(h) & LVS_SINGLESEL))
        for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k)
            if (k != i && (L(h)->items[size_t(k)].state & LVIS_SELECTED)) ChangeState(h, k, 0, LVIS_SELECTED);
    return ChangeState(h, i, state, mask);
}

int FocusedItem(const ListView& s) {
    for (size_t k = 0; k < s.items.size(); ++k)
        if (s.items[k].state & LVIS_FOCUSED) return int(k);
    return -1;
}

// Selects exactly the items in [a, b] (inclusive, any order), or only `keep` when a < 0.
void SelectRange(HWND h, int a, int b) {
    if (a > b) std::swap(a, b);
    for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k) {
        bool want = k >= a && k <= b;
        bool has = (L(h)->items[size_t(k)].state & LVIS_SELECTED) != 0;
        if (want != has) ChangeState(h, k, want ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

void ToggleCheck(HWND h, int i) {
    ListView* s = L(h);
    if (!s || i < 0 || i >= int(s->items.size())) return;
    int cur = CheckIndex(s->items[size_t(i)].state);
    int next = cur == 2 ? 1 : 2;
    ChangeState(h, i, INDEXTOSTATEIMAGEMASK(UINT(next)), LVIS_STATEIMAGEMASK);
}

// ---- hit testing -------------------------------------------------------------------------

int RowAt(HWND h, const ListView& s, POINT p) {
    RECT c = ContentRect(h, s);
    if (p.y < c.top || p.y >= c.bottom) return -1;
    int i = s.top + (p.y - c.top) / RowHeight(s);
    return i < int(s.items.size()) ? i : -1;
}

int ColumnAt(const ListView& s, int x) {
    int left = -s.scroll_x;
    for (size_t k = 0; k < s.cols.size(); ++k) {
        int w = std::max(0, s.cols[k].cx);
        if (x >= left && x < left + w) return int(k);
        left += w;
    }
    return -1;
}

// The flags for a point in column 0 of row i.
UINT FirstCellFlags(HWND h, const ListView& s, int i, POINT p) {
    RECT st, ic, lb;
    FirstCellParts(h, s, i, &st, &ic, &lb);
    if (PtInRect(&st, p)) return LVHT_ONITEMSTATEICON;
    if (PtInRect(&ic, p)) return LVHT_ONITEMICON;
    return LVHT_ONITEMLABEL;
}

int SubItemHitTest(HWND h, const ListView& s, LVHITTESTINFO* ht) {
    ht->flags = LVHT_NOWHERE;
    ht->iItem = -1;
    ht->iSubItem = 0;
    RECT cr;
    GetClientRect(h, &cr);
    POINT p = ht->pt;
    if (p.y < ContentRect(h, s).top) {
        ht->flags = LVHT_ABOVE;
        return -1;
    }
    if (p.y >= cr.bottom) ht->flags = LVHT_BELOW;
    if (p.x < cr.left) ht->flags = LVHT_TOLEFT;
    if (p.x >= cr.right) ht->flags = LVHT_TORIGHT;
    if (ht->flags != LVHT_NOWHERE) return -1;
    int i = RowAt(h, s, p);
    int col = ColumnAt(s, p.x);
    if (i < 0 || col < 0) return -1;
    ht->iItem = i;
    ht->iSubItem = col;
    ht->flags = col == 0 ? FirstCellFlags(h, s, i, p) : LVHT_ONITEMLABEL;
    return i;
}

int HitTest(HWND h, const ListView& s, LVHITTESTINFO* ht) {
    LVHITTESTINFO sub = *ht;
    SubItemHitTest(h, s, &sub);
    ht->iItem = -1;
    ht->flags = sub.flags;
    if (sub.iItem < 0) return -1;
    // Past column 0 a row counts as hit only with full-row selection.
    if (sub.iSubItem != 0 && !(s.ex & LVS_EX_FULLROWSELECT)) {
        ht->flags = LVHT_NOWHERE;
        return -1;
    }
    ht->iItem = sub.iItem;
    if (sub.iSubItem != 0) ht->flags = LVHT_ONITEMLABEL;
    return ht->iItem;
}

// ---- input -------------------------------------------------------------------------------

UINT KeyFlags() {
    UINT f = 0;
    if (GetKeyState(VK_MENU) < 0) f |= LVKF_ALT;
    if (GetKeyState(VK_CONTROL) < 0) f |= LVKF_CONTROL;
    if (GetKeyState(VK_SHIFT) < 0) f |= LVKF_SHIFT;
    return f;
}

// The notice of a click at p: the item and sub-item under it and the keys held.
NMITEMACTIVATE ClickNotice(HWND h, const ListView& s, POINT p) {
    LVHITTESTINFO ht{};
    ht.pt = p;
    SubItemHitTest(h, s, &ht);
    NMITEMACTIVATE nm{};
    nm.iItem = ht.iItem;
    nm.iSubItem = ht.iSubItem;
    nm.ptAction = p;
    nm.uKeyFlags = KeyFlags();
    return nm;
}

void SendActivate(HWND h, UINT code, POINT p) {
    ListView* s = L(h);
    if (!s) return;
    NMITEMACTIVATE nm = ClickNotice(h, *s, p);
    if (nm.iItem >= 0) {
        nm.lParam = s->items[size_t(nm.iItem)].param;
        nm.uNewState = nm.uOldState = s->items[size_t(nm.iItem)].state;
    }
    SendNotify(h, code, &nm.hdr);
}

// Moves the focus to i with the selection rules of a click or key: plain selects only i, Ctrl
// moves the focus alone (or toggles on a click), Shift selects from the anchor.
void SelectFocus(HWND h, int i, bool ctrl, bool shift, bool toggle) {
    ListView* s = L(h);
    if (!s) return;
    bool single = Style(h) & LVS_SINGLESEL;
    if (single) ctrl = shift = false;
    if (i < 0) {
        if (!ctrl && !shift) SelectRange(h, -1, -1);
        return;
    }
    if (shift) {
        int a = s->anchor >= 0 && s->anchor < int(s->items.size()) ? s->anchor : i;
        SelectRange(h, a, i);
    } else if (ctrl) {
        if (toggle) {
            bool sel = (s->items[size_t(i)].state & LVIS_SELECTED) != 0;
            ChangeState(h, i, sel ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        }
        if (L(h)) L(h)->anchor = i;
    } else {
        // Deselect the others first so the parent never sees two selected in single mode.
        for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k)
            if (k != i && (L(h)->items[size_t(k)].state & LVIS_SELECTED)) ChangeState(h, k, 0, LVIS_SELECTED);
        ChangeState(h, i, LVIS_SELECTED, LVIS_SELECTED);
        if (L(h)) L(h)->anchor = i;
    }
    if (L(h)) SetItemState(h, i, LVIS_FOCUSED, LVIS_FOCUSED);
    EnsureVisible(h, i);
}

void OnButtonDown(HWND h, POINT p, WPARAM keys, bool dbl) {
    if (GetFocus() != h) SetFocus(h);
    ListView* s = L(h);
    if (!s) return;
    LVHITTESTINFO ht{};
    ht.pt = p;
    int i = HitTest(h, *s, &ht);
    if (i >= 0 && (ht.flags & LVHT_ONITEMSTATEICON) && HasChecks(*s)) {
        ToggleCheck(h, i);
    } else {
        SelectFocus(h, i, (keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0, true);
    }
    s = L(h);
    if (!s) return;
    if (dbl) {
        SendActivate(h, NM_DBLCLK, p);
        return;
    }
    s->click_pending = true;
    s->click_pt = p;
    SetCapture(h);
}

void Key(HWND h, UINT vk) {
    ListView* s = L(h);
    if (!s) return;
    NMLVKEYDOWN kd{};
    kd.wVKey = WORD(vk);
    SendNotify(h, LVN_KEYDOWN, &kd.hdr);
    s = L(h);
    if (!s) return;
    int n = int(s->items.size());
    if (n == 0) return;
    int f = FocusedItem(*s);
    int per = std::max(1, PerPage(h, *s));
    int target = -2;
    switch (vk) {
        case VK_UP: target = f < 0 ? 0 : std::max(0, f - 1); break;
        case VK_DOWN: target = f < 0 ? 0 : std::min(n - 1, f + 1); break;
        case VK_HOME: target = 0; break;
        case VK_END: target = n - 1; break;
        case VK_PRIOR: {
            // First to the top of the page, then a page up.
            int t = f <= s->top ? f - per + 1 : s->top;
            target = std::clamp(t, 0, n - 1);
            break;
        }
        case VK_NEXT: {
            int bottom = s->top + per - 1;
            int t = f >= bottom ? f + per - 1 : bottom;
            target = std::clamp(t, 0, n - 1);
            break;
        }
        case VK_SPACE:
            if (HasChecks(*s) && f >= 0) {
                int next = CheckIndex(s->items[size_t(f)].state) == 2 ? 1 : 2;
                // Every selected item follows the focused one.
                for (int k = 0; L(h) && k < int(L(h)->items.size()); ++k)
                    if (k == f || (L(h)->items[size_t(k)].state & LVIS_SELECTED))
                        ChangeState(h, k, INDEXTOSTATEIMAGEMASK(UINT(next)), LVIS_STATEIMAGEMASK);
            } else if (f >= 0) {
                // Space selects the focused item; with Ctrl it toggles it.
                bool ctrl = GetKeyState(VK_CONTROL) < 0;
                SelectFocus(h, f, ctrl, false, ctrl);
            }
            return;
        case VK_RETURN: {
            NMHDR nm{};
            SendNotify(h, NM_RETURN, &nm);
            return;
        }
        default: return;
    }
    if (target >= 0) SelectFocus(h, target, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0, false);
}

// The thumb's position: the bar's own while it is being dragged; otherwise (a scroll message sent
// by someone drawing the bar themselves) the position the message carries.
int ThumbPos(const SCROLLINFO& si, int message_pos) { return si.nTrackPos != si.nPos ? si.nTrackPos : message_pos; }

void Scroll(HWND h, int bar, int code, int message_pos) {
    ListView* s = L(h);
    if (!s) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    if (bar == SB_VERT) {
        int per = std::max(1, PerPage(h, *s));
        int top = s->top;
        switch (code) {
            case SB_LINEUP: --top; break;
            case SB_LINEDOWN: ++top; break;
            case SB_PAGEUP: top -= per; break;
            case SB_PAGEDOWN: top += per; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: top = ThumbPos(si, message_pos); break;
            case SB_TOP: top = 0; break;
            case SB_BOTTOM: top = int(s->items.size()); break;
            default: return;
        }
        ScrollTo(h, top, s->scroll_x);
    } else {
        RECT cr;
        GetClientRect(h, &cr);
        int x = s->scroll_x;
        int line = std::max(1, LineHeight(s->font) / 2 + 2);
        switch (code) {
            case SB_LINELEFT: x -= line; break;
            case SB_LINERIGHT: x += line; break;
            case SB_PAGELEFT: x -= cr.right; break;
            case SB_PAGERIGHT: x += cr.right; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: x = ThumbPos(si, message_pos); break;
            case SB_LEFT: x = 0; break;
            case SB_RIGHT: x = TotalWidth(*s); break;
            default: return;
        }
        ScrollTo(h, s->top, x);
    }
}

LRESULT OnHeaderNotify(HWND h, NMHDR* nm) {
    ListView* s = L(h);
    if (!s || nm->hwndFrom != s->header)
        return SendMessageA(GetParent(h), WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
    // The header's notifications go on to the list's parent.
    LRESULT r = SendMessageA(GetParent(h), WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
    if (!L(h)) return r;
    switch (nm->code) {
        case HDN_ITEMCHANGEDA:
        case HDN_ITEMCHANGEDW:
            // A new header image or text leaves the cells as they are; repainting the list
            // then would cover a header already painted again.
            if (SyncColumnsFromHeader(h)) {
                Layout(h);
                InvalidateRect(h, nullptr, TRUE);
            }
            break;
        case HDN_ITEMCLICKA:
        case HDN_ITEMCLICKW: {
            NMLISTVIEW lv{};
            lv.iItem = -1;
            lv.iSubItem = reinterpret_cast<NMHEADERA*>(nm)->iItem;
            SendNotify(h, LVN_COLUMNCLICK, &lv.hdr);
            break;
        }
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW:
            if (!r) SetColumnWidth(h, reinterpret_cast<NMHEADERA*>(nm)->iItem, LVSCW_AUTOSIZE);
            break;
    }
    return r;
}

// ---- window messages ---------------------------------------------------------------------

LRESULT OnCreate(HWND h) {
    DWORD hs = WS_CHILD | HDS_HORZ | HDS_FULLDRAG;
    if (!(Style(h) & LVS_NOSORTHEADER)) hs |= HDS_BUTTONS;
    HWND hd = CreateWindowExA(0, WC_HEADERA, "", hs, 0, 0, 0, 0, h, nullptr,
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)), nullptr);
    ListView* s = L(h);
    if (!s) return -1;
    s->header = hd;
    Layout(h);
    return 0;
}

LRESULT OnSetFont(HWND h, ListView* s, WPARAM w, LPARAM l) {
    s->font = reinterpret_cast<HFONT>(w);
    if (s->header) SendMessageA(s->header, WM_SETFONT, w, l);
    Layout(h);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnEraseBkgnd(HWND h, ListView* s, WPARAM w, LPARAM l) {
    if (s->Bk() == CLR_NONE) return DefWindowProcA(h, WM_ERASEBKGND, w, l);
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(reinterpret_cast<HDC>(w), cr, s->Bk());
    return 1;
}

LRESULT OnPaint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    if (!IsRectEmpty(&ps.rcPaint)) Paint(h, dc, ps.rcPaint);
    EndPaint(h, &ps);
    return 0;
}

LRESULT OnPrintClient(HWND h, WPARAM w, LPARAM l) {
    RECT cr;
    GetClientRect(h, &cr);
    HDC dc = reinterpret_cast<HDC>(w);
    int saved = SaveDC(dc);
    if (l & PRF_ERASEBKGND) SendMessageA(h, WM_ERASEBKGND, w, 0);
    Paint(h, dc, cr);
    RestoreDC(dc, saved);
    return 0;
}

LRESULT OnFocus(HWND h, ListView* s, bool gained) {
    s->focused = gained;
    InvalidateRect(h, nullptr, TRUE);
    NMHDR nm{};
    SendNotify(h, gained ? NM_SETFOCUS : NM_KILLFOCUS, &nm);
    return 0;
}

// The click is told on release, where the press was.
LRESULT OnLButtonUp(HWND h, ListView* s) {
    if (!s->click_pending) return 0;
    s->click_pending = false;
    POINT p = s->click_pt;
    if (GetCapture() == h) ReleaseCapture();
    SendActivate(h, NM_CLICK, p);
    return 0;
}

// A right press selects the item under it unless it is already selected; one on no item leaves
// none selected, as a left press does, so that a context menu never acts on an item the user
// did not point at. The focus handler may have destroyed the control.
LRESULT OnRButtonDown(HWND h, LPARAM l) {
    if (GetFocus() != h) SetFocus(h);
    ListView* s = L(h);
    if (!s) return 0;
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    LVHITTESTINFO ht{};
    ht.pt = p;
    int i = HitTest(h, *s, &ht);
    if (i < 0 || !(s->items[size_t(i)].state & LVIS_SELECTED))
        SelectFocus(h, i, false, false, false);
    else
        SetItemState(h, i, LVIS_FOCUSED, LVIS_FOCUSED);
    if (L(h)) {
        L(h)->rclick_pending = true;
        L(h)->click_pt = p;
    }
    return 0;
}

// NM_RCLICK for the press; unless the parent says it handled it, the default handling follows
// (a context menu request).
LRESULT OnRButtonUp(HWND h, ListView* s, WPARAM w, LPARAM l) {
    if (s->rclick_pending) {
        s->rclick_pending = false;
        NMITEMACTIVATE nm = ClickNotice(h, *s, s->click_pt);
        if (SendNotify(h, NM_RCLICK, &nm.hdr)) return 0;
    }
    return DefWindowProcA(h, WM_RBUTTONUP, w, l);
}

// Wheel deltas add up until they make whole notches, each the system's number of lines.
LRESULT OnMouseWheel(HWND h, ListView* s, WPARAM w) {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    s->wheel += GET_WHEEL_DELTA_WPARAM(w);
    int steps = s->wheel / WHEEL_DELTA;
    s->wheel -= steps * WHEEL_DELTA;
    if (steps) ScrollTo(h, s->top - steps * int(lines), s->scroll_x);
    return 0;
}

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    ListView* s = AttachState<ListView>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_CREATE: return OnCreate(h);
        case WM_DESTROY: DeleteAll(h); return DefWindowProcA(h, m, w, l);
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        // The colours it follows are read again as it repaints.
        case WM_SYSCOLORCHANGE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SIZE:
        case WM_STYLECHANGED:
            Layout(h);
            InvalidateRect(h, nullptr, TRUE);
            return DefWindowProcA(h, m, w, l);
        case WM_SETFONT: return OnSetFont(h, s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_ERASEBKGND: return OnEraseBkgnd(h, s, w, l);
        case WM_PAINT: return OnPaint(h);
        case WM_PRINTCLIENT: return OnPrintClient(h, w, l);
        case WM_NOTIFY: return OnHeaderNotify(h, reinterpret_cast<NMHDR*>(l));
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: return OnFocus(h, s, true);
        case WM_KILLFOCUS: return OnFocus(h, s, false);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(h, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, w, m == WM_LBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP: return OnLButtonUp(h, s);
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(l) != h) s->click_pending = false;
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: return OnRButtonDown(h, l);
        case WM_RBUTTONUP: return OnRButtonUp(h, s, w, l);
        case WM_KEYDOWN: Key(h, UINT(w)); return 0;
        case WM_CHAR: return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (l == 0) Scroll(h, m == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(w), HIWORD(w));
            return 0;
        case WM_MOUSEWHEEL: return OnMouseWheel(h, s, w);
        default: return OnListViewMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl::listview

namespace plat::commctrl {

LRESULT CALLBACK ListViewProc(HWND h, UINT m, WPARAM w, LPARAM l) { return listview::Proc(h, m, w, l); }

}  // namespace plat::commctrl
