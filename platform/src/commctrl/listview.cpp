// The list view in report mode: rows of items with sub-item texts under a header, selection and
// focus, check boxes as state images, custom draw down to sub-items, and window scroll bars.
// Other views are laid out as the report view without its header.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "commctrl/imagelist.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr int kCellPad = 4;    // text inset inside a cell
constexpr int kStateWidth = 16;

struct Item {
    std::vector<std::string> text;     // by sub-item
    std::vector<bool> text_callback;   // LPSTR_TEXTCALLBACKA given for that sub-item
    std::vector<int> image;            // by sub-item; -1 none
    UINT state = 0;
    LPARAM param = 0;
    int indent = 0;
};

struct Column {
    int cx = 0;
    int fmt = LVCFMT_LEFT;
    int sub = 0;
    int image = -1;
};

struct ListView {
    HWND hwnd = nullptr;
    HWND header = nullptr;
    std::vector<Item> items;
    std::vector<Column> cols;
    DWORD ex = 0;
    HIMAGELIST il_normal = nullptr, il_small = nullptr, il_state = nullptr;
    // Colours the program set; those it did not follow the system colours, read when used
    // (never kept across WM_SYSCOLORCHANGE).
    std::optional<COLORREF> set_bk, set_text, set_textbk;
    COLORREF Bk() const { return set_bk ? *set_bk : GetSysColor(COLOR_WINDOW); }
    COLORREF Text() const { return set_text ? *set_text : GetSysColor(COLOR_WINDOWTEXT); }
    COLORREF TextBk() const { return set_textbk ? *set_textbk : GetSysColor(COLOR_WINDOW); }
    HFONT font = nullptr;
    int top = 0;        // first visible row
    int scroll_x = 0;   // horizontal scroll in pixels
    int anchor = -1;    // selection mark for Shift ranges
    int wheel = 0;      // unused wheel delta
    UINT callback_mask = 0;
    bool in_layout = false;
    bool focused = false;
    bool click_pending = false;
    bool rclick_pending = false;
    POINT click_pt{};
};

ListView* L(HWND h) { return State<ListView>(h); }

DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool Report(HWND h) { return (Style(h) & LVS_TYPEMASK) == LVS_REPORT; }
bool HasChecks(const ListView& s) { return (s.ex & LVS_EX_CHECKBOXES) || s.il_state; }
int CheckIndex(UINT state) { return int((state & LVIS_STATEIMAGEMASK) >> 12); }

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

std::string RawText(const Item& it, int sub) { return sub < int(it.text.size()) ? it.text[size_t(sub)] : std::string(); }

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
    if (i < top) top = i;
    else if (i >= top + per) top = i - per + 1;
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

// ---- painting ----------------------------------------------------------------------------

struct CdResult {
    LRESULT r;
    COLORREF text, bk;
};

CdResult Custom(HWND h, HDC dc, DWORD stage, const RECT& rc, int item, int sub, UINT state, LPARAM lp,
                COLORREF text, COLORREF bk) {
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = stage;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = rc;
    cd.nmcd.dwItemSpec = DWORD_PTR(item < 0 ? 0 : item);
    cd.nmcd.uItemState = state;
    cd.nmcd.lItemlParam = lp;
    cd.clrText = text;
    cd.clrTextBk = bk;
    cd.iSubItem = sub;
    LRESULT r = SendNotify(h, NM_CUSTOMDRAW, &cd.nmcd.hdr);
    return {r, cd.clrText, cd.clrTextBk};
}

void DrawCheck(HDC dc, const RECT& area, int check) {
    int size = 13;
    RECT b;
    b.left = area.left + std::max(0, (int(area.right - area.left) - size) / 2);
    b.top = area.top + std::max(0, (int(area.bottom - area.top) - size) / 2);
    b.right = b.left + size;
    b.bottom = b.top + size;
    if (b.right > area.right) return;
    DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONCHECK | (check == 2 ? DFCS_CHECKED : 0));
}

void DrawCell(HWND h, ListView& s, HDC dc, int i, int col, const RECT& cell, COLORREF text, COLORREF bk,
              bool sel_look, bool focus) {
    const Item& it = s.items[size_t(i)];
    int sub = col < int(s.cols.size()) ? s.cols[size_t(col)].sub : col;
    RECT r = cell;
    COLORREF tc = text, bc = bk;
    RECT fill = r;
    if (col == 0) {
        RECT st, ic, lb;
        FirstCellParts(h, s, i, &st, &ic, &lb);
        if (bk != CLR_NONE) FillSolid(dc, r, bk == CLR_DEFAULT ? s.Bk() : bk);
        if (HasChecks(s)) {
            int chk = CheckIndex(it.state);
            if (s.il_state && chk > 0) {
                int cx, cy;
                ImageListSize(s.il_state, &cx, &cy);
                ImageList_Draw(s.il_state, chk - 1, dc, st.left, st.top + (RowHeight(s) - cy) / 2, ILD_TRANSPARENT);
            } else if (chk > 0) {
                DrawCheck(dc, st, chk);
            }
        }
        int img = CellImage(h, s, i, 0);
        if (s.il_small && img >= 0 && ic.right > ic.left) {
            int cx, cy;
            ImageListSize(s.il_small, &cx, &cy);
            ImageList_DrawEx(s.il_small, img, dc, ic.left, ic.top + (RowHeight(s) - cy) / 2, ic.right - ic.left, cy,
                             CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT | (sel_look ? ILD_BLEND50 : 0));
        }
        r = lb;
        fill = lb;
    } else if ((s.ex & LVS_EX_SUBITEMIMAGES) && s.il_small) {
        if (bk != CLR_NONE) FillSolid(dc, r, bk == CLR_DEFAULT ? s.Bk() : bk);
        int img = CellImage(h, s, i, sub);
        if (img >= 0) {
            int cx, cy;
            ImageListSize(s.il_small, &cx, &cy);
            ImageList_DrawEx(s.il_small, img, dc, r.left + 2, r.top + (RowHeight(s) - cy) / 2,
                             std::min(cx, int(r.right - r.left) - 2), cy, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
            r.left = std::min(int(r.right), int(r.left) + 2 + cx);
        }
        fill = r;
    }
    if (sel_look) {
        bc = focus ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
        tc = focus ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
    }
    if (bc != CLR_NONE) FillSolid(dc, fill, bc == CLR_DEFAULT ? s.Bk() : bc);
    std::string t = CellText(h, s, i, sub);
    if (t.empty()) return;
    RECT tr = r;
    InflateRect(&tr, -kCellPad / 2, 0);
    if (col == 0) tr.left = r.left + 2;
    int fmt = col < int(s.cols.size()) ? s.cols[size_t(col)].fmt : LVCFMT_LEFT;
    UINT align = (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? DT_RIGHT
                 : (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? DT_CENTER
                                                               : DT_LEFT;
    if (col == 0) align = DT_LEFT;  // the first column is always left aligned
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, tc == CLR_DEFAULT ? s.Text() : tc);
    DrawTextA(dc, t.c_str(), -1, &tr, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void Paint(HWND h, HDC dc, const RECT& clip) {
    ListView* s = L(h);
    RECT cr;
    GetClientRect(h, &cr);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s->font));
    CdResult pre = Custom(h, dc, CDDS_PREPAINT, cr, -1, 0, 0, 0, s->Text(), s->TextBk());
    s = L(h);
    if (!s) return;
    if (!(pre.r & CDRF_SKIPDEFAULT)) {
        RECT content = ContentRect(h, *s);
        bool has_focus = GetFocus() == h;
        bool show_sel = has_focus || (Style(h) & LVS_SHOWSELALWAYS);
        int rh = RowHeight(*s);
        int first = s->top + std::max(0, int(clip.top - content.top)) / rh;
        for (int i = first; L(h) && i < int(L(h)->items.size()); ++i) {
            s = L(h);
            RECT row = RowBounds(h, *s, i);
            if (row.top >= clip.bottom || row.top >= content.bottom) break;
            Item it = s->items[size_t(i)];
            bool selected = (it.state & LVIS_SELECTED) != 0;
            UINT cdis = (selected && show_sel ? CDIS_SELECTED : 0) |
                        ((it.state & LVIS_FOCUSED) && has_focus ? CDIS_FOCUS : 0);
            if (Style(h) & LVS_OWNERDRAWFIXED) {
                DRAWITEMSTRUCT dis{};
                dis.CtlType = ODT_LISTVIEW;
                dis.CtlID = UINT(GetDlgCtrlID(h));
                dis.itemID = UINT(i);
                dis.itemAction = ODA_DRAWENTIRE;
                dis.itemState = (selected ? ODS_SELECTED : 0) | ((it.state & LVIS_FOCUSED) && has_focus ? ODS_FOCUS : 0);
                dis.hwndItem = h;
                dis.hDC = dc;
                dis.rcItem = row;
                dis.itemData = ULONG_PTR(it.param);
                SendMessageA(GetParent(h), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
                continue;
            }
            CdResult ir{CDRF_DODEFAULT, s->Text(), s->TextBk()};
            if (pre.r & CDRF_NOTIFYITEMDRAW) {
                ir = Custom(h, dc, CDDS_ITEMPREPAINT, row, i, 0, cdis, it.param, s->Text(), s->TextBk());
                if (!L(h)) return;
                s = L(h);
                if (i >= int(s->items.size())) break;
            }
            if (!(ir.r & CDRF_SKIPDEFAULT)) {
                if (!(ir.r & CDRF_NEWFONT)) SelectObject(dc, FontOr(s->font));
                // A font chosen for one sub-item (CDRF_NEWFONT) does not spill into the next.
                HGDIOBJ item_font = GetCurrentObject(dc, OBJ_FONT);
                for (int c = 0; c < int(s->cols.size()); ++c) {
                    RECT cell = CellRect(h, *s, i, c);
                    if (cell.right <= cell.left || cell.right <= clip.left || cell.left >= clip.right) continue;
                    CdResult sr = ir;
                    SelectObject(dc, item_font);
                    if (ir.r & CDRF_NOTIFYSUBITEMDRAW) {
                        sr = Custom(h, dc, CDDS_ITEMPREPAINT | CDDS_SUBITEM, cell, i, c, cdis, it.param, ir.text, ir.bk);
                        s = L(h);
                        if (!s || i >= int(s->items.size())) return;
                        if (sr.r & CDRF_SKIPDEFAULT) continue;
                        if (!(sr.r & CDRF_NEWFONT)) SelectObject(dc, item_font);
                    }
                    int save = SaveDC(dc);
                    IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
                    bool sel_look = selected && show_sel && (c == 0 || (s->ex & LVS_EX_FULLROWSELECT));
                    DrawCell(h, *s, dc, i, c, cell, sr.text, sr.bk, sel_look, has_focus);
                    RestoreDC(dc, save);
                    if (sr.r & CDRF_NOTIFYPOSTPAINT)
                        Custom(h, dc, CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, cell, i, c, cdis, it.param, sr.text, sr.bk);
                    s = L(h);
                    if (!s || i >= int(s->items.size())) return;
                }
                if ((it.state & LVIS_FOCUSED) && has_focus) {
                    RECT fr = row;
                    if (!(s->ex & LVS_EX_FULLROWSELECT) && !s->cols.empty()) {
                        RECT st, ic, lb;
                        FirstCellParts(h, *s, i, &st, &ic, &lb);
                        fr = lb;
                    }
                    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                    DrawFocusRect(dc, &fr);
                }
            }
            if (ir.r & CDRF_NOTIFYPOSTPAINT) Custom(h, dc, CDDS_ITEMPOSTPAINT, row, i, 0, cdis, it.param, ir.text, ir.bk);
        }
        s = L(h);
        if (!s) return;
        if (s->ex & LVS_EX_GRIDLINES) {
            HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
            HGDIOBJ old = SelectObject(dc, pen);
            int right = ColumnLeft(*s, int(s->cols.size()));
            for (int y = content.top + rh - 1; y < content.bottom; y += rh) {
                MoveToEx(dc, ColumnLeft(*s, 0), y, nullptr);
                LineTo(dc, right, y);
            }
            for (int c = 1; c <= int(s->cols.size()); ++c) {
                int x = ColumnLeft(*s, c) - 1;
                MoveToEx(dc, x, content.top, nullptr);
                LineTo(dc, x, content.bottom);
            }
            SelectObject(dc, old);
            DeleteObject(pen);
        }
    }
    if (pre.r & CDRF_NOTIFYPOSTPAINT) Custom(h, dc, CDDS_POSTPAINT, cr, -1, 0, 0, 0, pre.text, pre.bk);
    SelectObject(dc, old_font);
}

// ---- items and columns -------------------------------------------------------------------

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
    if (s->anchor == i) s->anchor = -1;
    else if (s->anchor > i) --s->anchor;
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

void SyncColumnsFromHeader(HWND h) {
    ListView* s = L(h);
    if (!s || !s->header) return;
    for (size_t k = 0; k < s->cols.size(); ++k) {
        HDITEMA hi{};
        hi.mask = HDI_WIDTH | HDI_FORMAT;
        if (SendMessageA(s->header, HDM_GETITEMA, k, reinterpret_cast<LPARAM>(&hi))) {
            s = L(h);
            if (!s || k >= s->cols.size()) return;
            s->cols[k].cx = hi.cxy;
            s->cols[k].fmt = (s->cols[k].fmt & ~LVCFMT_JUSTIFYMASK) | (hi.fmt & HDF_JUSTIFYMASK);
        }
    }
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

// ---- input -------------------------------------------------------------------------------

UINT KeyFlags() {
    UINT f = 0;
    if (GetKeyState(VK_MENU) < 0) f |= LVKF_ALT;
    if (GetKeyState(VK_CONTROL) < 0) f |= LVKF_CONTROL;
    if (GetKeyState(VK_SHIFT) < 0) f |= LVKF_SHIFT;
    return f;
}

void SendActivate(HWND h, UINT code, POINT p) {
    ListView* s = L(h);
    if (!s) return;
    LVHITTESTINFO ht{};
    ht.pt = p;
    SubItemHitTest(h, *s, &ht);
    NMITEMACTIVATE nm{};
    nm.iItem = ht.iItem;
    nm.iSubItem = ht.iSubItem;
    nm.ptAction = p;
    nm.uKeyFlags = KeyFlags();
    if (ht.iItem >= 0) {
        nm.lParam = s->items[size_t(ht.iItem)].param;
        nm.uNewState = nm.uOldState = s->items[size_t(ht.iItem)].state;
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
int ThumbPos(const SCROLLINFO& si, int message_pos) {
    return si.nTrackPos != si.nPos ? si.nTrackPos : message_pos;
}

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
            case SB_THUMBTRACK: case SB_THUMBPOSITION: top = ThumbPos(si, message_pos); break;
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
            case SB_THUMBTRACK: case SB_THUMBPOSITION: x = ThumbPos(si, message_pos); break;
            case SB_LEFT: x = 0; break;
            case SB_RIGHT: x = TotalWidth(*s); break;
            default: return;
        }
        ScrollTo(h, s->top, x);
    }
}

LRESULT OnHeaderNotify(HWND h, NMHDR* nm) {
    ListView* s = L(h);
    if (!s || nm->hwndFrom != s->header) return SendMessageA(GetParent(h), WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
    // The header's notifications go on to the list's parent.
    LRESULT r = SendMessageA(GetParent(h), WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
    if (!L(h)) return r;
    switch (nm->code) {
        case HDN_ITEMCHANGEDA:
        case HDN_ITEMCHANGEDW:
            SyncColumnsFromHeader(h);
            Layout(h);
            InvalidateRect(h, nullptr, TRUE);
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

}  // namespace

LRESULT CALLBACK ListViewProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    ListView* s = AttachState<ListView>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCCREATE:
            return DefWindowProcA(h, m, w, l);
        case WM_CREATE: {
            DWORD hs = WS_CHILD | HDS_HORZ | HDS_FULLDRAG;
            if (!(Style(h) & LVS_NOSORTHEADER)) hs |= HDS_BUTTONS;
            HWND hd = CreateWindowExA(0, WC_HEADERA, "", hs, 0, 0, 0, 0, h, nullptr,
                                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)), nullptr);
            s = L(h);
            if (!s) return -1;
            s->header = hd;
            Layout(h);
            return 0;
        }
        case WM_DESTROY:
            DeleteAll(h);
            return DefWindowProcA(h, m, w, l);
        case WM_NCDESTROY:
            return FreeState(h, m, w, l, s);
        case WM_SYSCOLORCHANGE:
            // The colours it follows are read again as it repaints.
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_SIZE:
        case WM_STYLECHANGED:
            Layout(h);
            InvalidateRect(h, nullptr, TRUE);
            break;
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(w);
            if (s->header) SendMessageA(s->header, WM_SETFONT, w, l);
            Layout(h);
            if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case WM_ERASEBKGND: {
            if (s->Bk() == CLR_NONE) return DefWindowProcA(h, m, w, l);
            RECT cr;
            GetClientRect(h, &cr);
            FillSolid(reinterpret_cast<HDC>(w), cr, s->Bk());
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            if (!IsRectEmpty(&ps.rcPaint)) Paint(h, dc, ps.rcPaint);
            EndPaint(h, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT cr;
            GetClientRect(h, &cr);
            HDC dc = reinterpret_cast<HDC>(w);
            int saved = SaveDC(dc);
            if (l & PRF_ERASEBKGND) SendMessageA(h, WM_ERASEBKGND, w, 0);
            Paint(h, dc, cr);
            RestoreDC(dc, saved);
            return 0;
        }
        case WM_NOTIFY:
            return OnHeaderNotify(h, reinterpret_cast<NMHDR*>(l));
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            s->focused = m == WM_SETFOCUS;
            InvalidateRect(h, nullptr, TRUE);
            NMHDR nm{};
            SendNotify(h, m == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &nm);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(h, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, w, m == WM_LBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP:
            if (s->click_pending) {
                s->click_pending = false;
                POINT p = s->click_pt;
                if (GetCapture() == h) ReleaseCapture();
                SendActivate(h, NM_CLICK, p);
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(l) != h) s->click_pending = false;
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            if (GetFocus() != h) SetFocus(h);
            s = L(h);
            if (!s) return 0;
            POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            LVHITTESTINFO ht{};
            ht.pt = p;
            int i = HitTest(h, *s, &ht);
            if (i >= 0 && !(s->items[size_t(i)].state & LVIS_SELECTED)) SelectFocus(h, i, false, false, false);
            else if (i >= 0) SetItemState(h, i, LVIS_FOCUSED, LVIS_FOCUSED);
            if (L(h)) {
                L(h)->rclick_pending = true;
                L(h)->click_pt = p;
            }
            return 0;
        }
        case WM_RBUTTONUP:
            if (s->rclick_pending) {
                s->rclick_pending = false;
                POINT p = s->click_pt;
                ListView* cur = L(h);
                LVHITTESTINFO ht{};
                ht.pt = p;
                SubItemHitTest(h, *cur, &ht);
                NMITEMACTIVATE nm{};
                nm.iItem = ht.iItem;
                nm.iSubItem = ht.iSubItem;
                nm.ptAction = p;
                nm.uKeyFlags = KeyFlags();
                if (SendNotify(h, NM_RCLICK, &nm.hdr)) return 0;
            }
            return DefWindowProcA(h, m, w, l);
        case WM_KEYDOWN:
            Key(h, UINT(w));
            return 0;
        case WM_CHAR:
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (l == 0) Scroll(h, m == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(w), HIWORD(w));
            return 0;
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            s->wheel += GET_WHEEL_DELTA_WPARAM(w);
            int steps = s->wheel / WHEEL_DELTA;
            s->wheel -= steps * WHEEL_DELTA;
            if (steps) ScrollTo(h, s->top - steps * int(lines), s->scroll_x);
            return 0;
        }

        // ---- list view messages ----
        case LVM_GETBKCOLOR: return LRESULT(s->Bk());
        case LVM_SETBKCOLOR:
            s->set_bk = COLORREF(l);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        case LVM_GETTEXTCOLOR: return LRESULT(s->Text());
        case LVM_SETTEXTCOLOR:
            s->set_text = COLORREF(l);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        case LVM_GETTEXTBKCOLOR: return LRESULT(s->TextBk());
        case LVM_SETTEXTBKCOLOR:
            s->set_textbk = COLORREF(l);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        case LVM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(w == LVSIL_NORMAL ? s->il_normal : w == LVSIL_SMALL ? s->il_small
                                                                            : w == LVSIL_STATE ? s->il_state : nullptr);
        case LVM_SETIMAGELIST: {
            auto nl = reinterpret_cast<HIMAGELIST>(l);
            HIMAGELIST old = nullptr;
            if (w == LVSIL_NORMAL) old = s->il_normal, s->il_normal = nl;
            else if (w == LVSIL_SMALL) old = s->il_small, s->il_small = nl;
            else if (w == LVSIL_STATE) old = s->il_state, s->il_state = nl;
            else return 0;
            Layout(h);
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETITEMCOUNT: return LRESULT(s->items.size());
        case LVM_SETITEMCOUNT:
            // Only a hint for ordinary lists; a wild count must not exhaust memory.
            s->items.reserve(std::min<size_t>(size_t(w), 1u << 16));
            return TRUE;
        case LVM_GETITEMA: return GetItem(h, reinterpret_cast<LVITEMA*>(l));
        case LVM_SETITEMA: return l ? SetItem(h, *reinterpret_cast<LVITEMA*>(l)) : FALSE;
        case LVM_INSERTITEMA: return l ? InsertItem(h, *reinterpret_cast<LVITEMA*>(l)) : -1;
        case LVM_DELETEITEM: return DeleteItem(h, int(w));
        case LVM_DELETEALLITEMS: return DeleteAll(h);
        case LVM_GETCALLBACKMASK: return s->callback_mask;
        case LVM_SETCALLBACKMASK: s->callback_mask = UINT(w); return TRUE;
        case LVM_GETNEXTITEM: return NextItem(*s, int(w), UINT(LOWORD(l)));
        case LVM_FINDITEMA: return l ? FindItem(h, *s, int(w), *reinterpret_cast<LVFINDINFOA*>(l)) : -1;
        case LVM_GETITEMRECT:
        case LVM_GETSUBITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(l);
            int i = int(w);
            if (!r || i < 0 || i >= int(s->items.size())) return FALSE;
            int code = r->left;
            int sub = m == LVM_GETSUBITEMRECT ? r->top : 0;
            if (sub < 0 || (sub > 0 && sub >= int(s->cols.size()))) return FALSE;
            RECT st, ic, lb;
            FirstCellParts(h, *s, i, &st, &ic, &lb);
            if (sub == 0) {
                switch (code) {
                    // Bounds of sub-item 0 are the bounds of the whole row.
                    case LVIR_BOUNDS: *r = RowBounds(h, *s, i); break;
                    case LVIR_ICON: *r = ic; break;
                    case LVIR_LABEL: *r = lb; break;
                    case LVIR_SELECTBOUNDS:
                        if (s->ex & LVS_EX_FULLROWSELECT) {
                            *r = RowBounds(h, *s, i);
                            r->left = ic.left;
                        } else {
                            *r = RECT{ic.left, lb.top, lb.right, lb.bottom};
                        }
                        break;
                    default: return FALSE;
                }
                return TRUE;
            }
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
        case LVM_GETSTRINGWIDTHA: return l ? TextWidth(h, *s, reinterpret_cast<LPCSTR>(l)) : 0;
        case LVM_HITTEST: return l ? HitTest(h, *s, reinterpret_cast<LVHITTESTINFO*>(l)) : -1;
        case LVM_SUBITEMHITTEST: return l ? SubItemHitTest(h, *s, reinterpret_cast<LVHITTESTINFO*>(l)) : -1;
        case LVM_ENSUREVISIBLE:
            if (int(w) < 0 || int(w) >= int(s->items.size())) return FALSE;
            EnsureVisible(h, int(w));
            return TRUE;
        case LVM_SCROLL: {
            int dx = int(w), dy = int(l);
            int rh = RowHeight(*s);
            // Report view scrolls in whole rows: dy rounds to the nearest row count.
            int rows = dy >= 0 ? (dy + rh / 2) / rh : -((-dy + rh / 2) / rh);
            ScrollTo(h, s->top + rows, s->scroll_x + dx);
            return TRUE;
        }
        case LVM_REDRAWITEMS:
            for (int i = std::max(0, int(w)); i <= int(l) && i < int(s->items.size()); ++i) InvalidateRow(h, *s, i);
            return TRUE;
        case LVM_UPDATE:
            InvalidateRow(h, *s, int(w));
            UpdateWindow(h);
            return TRUE;
        case LVM_ARRANGE: return TRUE;
        case LVM_GETCOLUMNA: return GetColumn(h, int(w), reinterpret_cast<LVCOLUMNA*>(l));
        case LVM_SETCOLUMNA: return l ? SetColumn(h, int(w), *reinterpret_cast<LVCOLUMNA*>(l)) : FALSE;
        case LVM_INSERTCOLUMNA: return l ? InsertColumn(h, int(w), *reinterpret_cast<LVCOLUMNA*>(l)) : -1;
        case LVM_DELETECOLUMN: return DeleteColumn(h, int(w));
        case LVM_GETCOLUMNWIDTH:
            return int(w) >= 0 && int(w) < int(s->cols.size()) ? s->cols[size_t(w)].cx : 0;
        case LVM_SETCOLUMNWIDTH: return SetColumnWidth(h, int(w), int(short(LOWORD(l))));
        case LVM_GETHEADER: return reinterpret_cast<LRESULT>(s->header);
        case LVM_GETVIEWRECT: {
            auto* r = reinterpret_cast<RECT*>(l);
            if (!r) return FALSE;
            *r = RECT{-s->scroll_x, 0, TotalWidth(*s) - s->scroll_x, int(s->items.size()) * RowHeight(*s)};
            return TRUE;
        }
        case LVM_GETORIGIN: {
            auto* p = reinterpret_cast<POINT*>(l);
            if (!p) return FALSE;
            *p = POINT{s->scroll_x, s->top * RowHeight(*s)};
            return TRUE;
        }
        case LVM_GETTOPINDEX: return s->top;
        case LVM_GETCOUNTPERPAGE: return PerPage(h, *s);
        case LVM_SETITEMSTATE: {
            auto* it = reinterpret_cast<LVITEMA*>(l);
            if (!it) return FALSE;
            return SetItemState(h, int(w), it->state, it->stateMask);
        }
        case LVM_GETITEMSTATE:
            return int(w) >= 0 && int(w) < int(s->items.size()) ? s->items[size_t(w)].state & UINT(l) : 0;
        case LVM_GETITEMTEXTA: {
            auto* it = reinterpret_cast<LVITEMA*>(l);
            if (!it || int(w) < 0 || int(w) >= int(s->items.size()) || it->iSubItem < 0) return 0;
            std::string t = CellText(h, *s, int(w), it->iSubItem);
            CopyOut(t, it->pszText, it->cchTextMax);
            return it->pszText && it->cchTextMax > 0 ? LRESULT(std::min<size_t>(t.size(), size_t(it->cchTextMax - 1))) : 0;
        }
        case LVM_SETITEMTEXTA: {
            auto* it = reinterpret_cast<LVITEMA*>(l);
            if (!it || int(w) < 0 || int(w) >= int(s->items.size()) || it->iSubItem < 0) return FALSE;
            SetText(s->items[size_t(w)], it->iSubItem, it->pszText);
            InvalidateRow(h, *s, int(w));
            return TRUE;
        }
        case LVM_SORTITEMS: {
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
        case LVM_GETSELECTEDCOUNT: {
            int n = 0;
            for (auto& it : s->items) n += (it.state & LVIS_SELECTED) ? 1 : 0;
            return n;
        }
        case LVM_GETSELECTIONMARK: return s->anchor;
        case LVM_SETSELECTIONMARK: {
            int old = s->anchor;
            s->anchor = int(l) >= -1 && int(l) < int(s->items.size()) ? int(l) : -1;
            return old;
        }
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
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
        case LVM_GETEXTENDEDLISTVIEWSTYLE: return LRESULT(s->ex);
        case LVM_GETHOTITEM: return -1;
        case CCM_SETVERSION: return 5;
        case CCM_GETVERSION: return 5;
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
