// The tree view's view: rows of the expanded items, their geometry and hit testing, the
// vertical scroll bar, the plain look with lines, buttons, images and custom draw, and the mouse
// and keys; plus the window procedure.
#include <algorithm>

#include "commctrl/treeview_state.h"

namespace plat::commctrl {
namespace tree {

namespace {

void AddRows(const std::vector<Item*>& level, std::vector<Item*>& out) {
    for (Item* i : level) {
        out.push_back(i);
        if (i->state & TVIS_EXPANDED) AddRows(i->children, out);
    }
}

bool RootColumn(HWND h) { return StyleOf(h) & TVS_LINESATROOT; }

// Left edge of the item's image (or label, without images).
int ItemX(HWND h, const Tree& t, const Item* i) { return (Level(i) + (RootColumn(h) ? 1 : 0)) * t.indent; }

int ImageWidth(const Tree& t) {
    int cx = 0, cy = 0;
    if (!t.images || !ImageList_GetIconSize(t.images, &cx, &cy)) return 0;
    return cx + 3;
}

bool HasButton(HWND h, const Item* i) {
    return (StyleOf(h) & TVS_HASBUTTONS) && HasChildren(i) && (i->parent || RootColumn(h));
}

int ClientHeight(HWND h) {
    RECT cr;
    GetClientRect(h, &cr);
    return cr.bottom;
}

}  // namespace

std::vector<Item*> Rows(const Tree& t) {
    std::vector<Item*> v;
    AddRows(t.roots, v);
    return v;
}

int RowOf(const Tree& t, const Item* i) {
    auto rows = Rows(t);
    auto it = std::find(rows.begin(), rows.end(), i);
    return it == rows.end() ? -1 : int(it - rows.begin());
}

int ItemHeight(HWND h, const Tree& t) {
    if (t.item_height > 0) return t.item_height;
    int ih = LineHeight(FontOr(t.font)) + 3;
    int cx = 0, cy = 0;
    if (t.images && ImageList_GetIconSize(t.images, &cx, &cy)) ih = std::max(ih, cy + 1);
    if (ih % 2 && !(StyleOf(h) & TVS_NONEVENHEIGHT)) ++ih;
    return ih;
}

int VisibleRows(HWND h, const Tree& t) { return std::max(0, ClientHeight(h) / ItemHeight(h, t)); }

bool ItemRect(HWND h, const Tree& t, const Item* i, bool label, RECT* r) {
    int row = RowOf(t, i);
    if (row < 0) return false;
    RECT cr;
    GetClientRect(h, &cr);
    int ih = ItemHeight(h, t), y = (row - t.top) * ih;
    *r = RECT{0, y, cr.right, y + ih};
    if (label) {
        int x = ItemX(h, t, i) + ImageWidth(t);
        *r = RECT{x, y, x + TextWidth(FontOr(t.font), i->text) + 4, y + ih};
    }
    return true;
}

Item* HitTest(HWND h, const Tree& t, POINT p, UINT* flags) {
    RECT cr;
    GetClientRect(h, &cr);
    UINT f = 0;
    if (p.y < 0) f |= TVHT_ABOVE;
    if (p.y >= cr.bottom) f |= TVHT_BELOW;
    if (p.x < 0) f |= TVHT_TOLEFT;
    if (p.x >= cr.right) f |= TVHT_TORIGHT;
    Item* hit = nullptr;
    auto rows = Rows(t);
    int row = p.y >= 0 ? t.top + p.y / ItemHeight(h, t) : -1;
    if (!f && row >= 0 && row < int(rows.size())) {
        hit = rows[size_t(row)];
        RECT label;
        ItemRect(h, t, hit, true, &label);
        int x = ItemX(h, t, hit);
        if (p.x >= label.right) f = TVHT_ONITEMRIGHT;
        else if (p.x >= label.left) f = TVHT_ONITEMLABEL;
        else if (p.x >= x) f = TVHT_ONITEMICON;
        else if (HasButton(h, hit) && p.x >= x - t.indent) f = TVHT_ONITEMBUTTON;
        else f = TVHT_ONITEMINDENT;
    }
    if (!f) f = TVHT_NOWHERE;
    if (flags) *flags = f;
    return hit;
}

void Changed(HWND h, Tree& t) {
    int rows = int(Rows(t).size()), page = VisibleRows(h, t);
    t.top = std::clamp(t.top, 0, std::max(0, rows - std::max(page, 1)));
    if (t.vscroll) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, rows - 1), UINT(page), t.top, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    InvalidateRect(h, nullptr, TRUE);
}

void ScrollTo(HWND h, Tree& t, int top) {
    if (top == t.top) return;
    t.top = top;
    Changed(h, t);
}

void EnsureVisible(HWND h, Tree& t, Item* i) {
    for (Item* p = i->parent; p; p = p->parent)
        if (!(p->state & TVIS_EXPANDED)) Expand(h, p, TVE_EXPAND, false);
    Tree* now = T(h);
    if (!now) return;
    int row = RowOf(*now, i), page = std::max(1, VisibleRows(h, *now));
    if (row < 0) return;
    if (row < now->top) ScrollTo(h, *now, row);
    else if (row >= now->top + page) ScrollTo(h, *now, row - page + 1);
}

// ---- painting ------------------------------------------------------------------------------

namespace {

COLORREF Back(const Tree& t) { return t.back == CLR_NONE ? Sys(COLOR_WINDOW) : t.back; }
COLORREF Fore(const Tree& t) { return t.fore == CLR_NONE ? Sys(COLOR_WINDOWTEXT) : t.fore; }
COLORREF LineColour(const Tree& t) { return t.line == CLR_DEFAULT ? Sys(COLOR_GRAYTEXT) : t.line; }

// Lines are dotted: every other pixel, on even coordinates so rows join up.
void DottedV(HDC dc, int x, int y0, int y1, COLORREF c) {
    for (int y = y0 + (y0 & 1); y < y1; y += 2) SetPixel(dc, x, y, c);
}
void DottedH(HDC dc, int x0, int x1, int y, COLORREF c) {
    for (int x = x0 + (x0 & 1); x < x1; x += 2) SetPixel(dc, x, y, c);
}

bool IsLast(const Tree& t, const Item* i) { return Siblings(t, i).back() == i; }

void DrawLines(HWND h, const Tree& t, HDC dc, const Item* i, const RECT& row) {
    if (!(StyleOf(h) & TVS_HASLINES) || (!i->parent && !RootColumn(h))) return;
    COLORREF c = LineColour(t);
    int cx = ItemX(h, t, i) - t.indent / 2, cy = (row.top + row.bottom) / 2;
    bool first_root = !i->parent && t.roots.front() == i;
    DottedV(dc, cx, first_root ? cy : row.top, IsLast(t, i) ? cy + 1 : row.bottom, c);
    DottedH(dc, cx, ItemX(h, t, i), cy, c);
    // The ancestors' lines that carry on below this row.
    for (const Item* a = i->parent; a && (a->parent || RootColumn(h)); a = a->parent)
        if (!IsLast(t, a)) DottedV(dc, ItemX(h, t, a) - t.indent / 2, row.top, row.bottom, c);
}

void DrawButton(HWND h, const Tree& t, HDC dc, const Item* i, const RECT& row) {
    if (!HasButton(h, i)) return;
    int cx = ItemX(h, t, i) - t.indent / 2, cy = (row.top + row.bottom) / 2;
    RECT box{cx - 4, cy - 4, cx + 5, cy + 5};
    FillSolid(dc, box, Sys(COLOR_BTNSHADOW));
    RECT inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FillSolid(dc, inner, Back(t));
    FillSolid(dc, RECT{cx - 2, cy, cx + 3, cy + 1}, Fore(t));
    if (!(i->state & TVIS_EXPANDED)) FillSolid(dc, RECT{cx, cy - 2, cx + 1, cy + 3}, Fore(t));
}

struct ItemLook {
    COLORREF text, back;  // back CLR_NONE: the control's background shows
};

ItemLook DefaultLook(HWND h, const Tree& t, const Item* i) {
    bool shown = (i->state & TVIS_SELECTED) && (t.focus || (StyleOf(h) & TVS_SHOWSELALWAYS));
    if ((i->state & TVIS_DROPHILITED) || (shown && t.focus)) return {Sys(COLOR_HIGHLIGHTTEXT), Sys(COLOR_HIGHLIGHT)};
    if (shown) return {Fore(t), Sys(COLOR_BTNFACE)};
    return {IsWindowEnabled(h) ? Fore(t) : Sys(COLOR_GRAYTEXT), CLR_NONE};
}

LRESULT CustomDraw(HWND h, NMTVCUSTOMDRAW& cd, DWORD stage) {
    cd.nmcd.dwDrawStage = stage;
    return SendNotify(h, NM_CUSTOMDRAW, &cd.nmcd.hdr);
}

void DrawItem(HWND h, const Tree& t, HDC dc, const Item* i, const RECT& row, LRESULT wants) {
    NMTVCUSTOMDRAW cd{};
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = row;
    cd.nmcd.dwItemSpec = DWORD_PTR(i->id);
    cd.nmcd.lItemlParam = i->lparam;
    cd.nmcd.uItemState = ((i->state & TVIS_SELECTED) ? CDIS_SELECTED : 0) | (t.focus && t.caret == i ? CDIS_FOCUS : 0);
    cd.iLevel = Level(i);
    ItemLook look = DefaultLook(h, t, i);
    cd.clrText = look.text;
    cd.clrTextBk = look.back == CLR_NONE ? Back(t) : look.back;
    LRESULT r = (wants & CDRF_NOTIFYITEMDRAW) ? CustomDraw(h, cd, CDDS_ITEMPREPAINT) : CDRF_DODEFAULT;
    if (r & CDRF_SKIPDEFAULT) return;
    DrawLines(h, t, dc, i, row);
    DrawButton(h, t, dc, i, row);
    int x = ItemX(h, t, i);
    if (t.images) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(t.images, &cx, &cy);
        int index = (i->state & TVIS_SELECTED) ? i->selimage : i->image;
        ImageList_Draw(t.images, index, dc, x, (row.top + row.bottom - cy) / 2, ILD_TRANSPARENT);
    }
    RECT label;
    ItemRect(h, t, i, true, &label);
    if (look.back != CLR_NONE || cd.clrTextBk != Back(t)) FillSolid(dc, label, cd.clrTextBk);
    SetTextColor(dc, cd.clrText);
    RECT text{label.left + 2, label.top, label.right, label.bottom};
    DrawTextA(dc, i->text.c_str(), int(i->text.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (t.focus && t.caret == i) DrawFocusRect(dc, &label);
    if (r & CDRF_NOTIFYPOSTPAINT) CustomDraw(h, cd, CDDS_ITEMPOSTPAINT);
}

void Paint(HWND h, Tree& t, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, Back(t));
    HGDIOBJ oldf = SelectObject(dc, FontOr(t.font));
    SetBkMode(dc, TRANSPARENT);
    NMTVCUSTOMDRAW cd{};
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = cr;
    LRESULT wants = CustomDraw(h, cd, CDDS_PREPAINT);
    if (!T(h)) return;
    if (!(wants & CDRF_SKIPDEFAULT)) {
        auto rows = Rows(t);
        int ih = ItemHeight(h, t);
        for (int r = t.top; r < int(rows.size()) && (r - t.top) * ih < cr.bottom; ++r) {
            RECT row{0, (r - t.top) * ih, cr.right, (r - t.top + 1) * ih};
            DrawItem(h, t, dc, rows[size_t(r)], row, wants);
        }
    }
    if (wants & CDRF_NOTIFYPOSTPAINT) CustomDraw(h, cd, CDDS_POSTPAINT);
    SelectObject(dc, oldf);
}

// ---- mouse, keys, scrolling -----------------------------------------------------------------

LRESULT Notice(HWND h, UINT code) {
    NMHDR nm{};
    return SendNotify(h, code, &nm);
}

LRESULT OnLButtonDown(HWND h, Tree* t, LPARAM l) {
    SetFocus(h);
    if (!(t = T(h))) return 0;
    UINT flags = 0;
    Item* i = HitTest(h, *t, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &flags);
    bool row_hit = (StyleOf(h) & TVS_FULLROWSELECT) && (flags & (TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT));
    if (i && (flags & TVHT_ONITEMBUTTON)) Expand(h, i, TVE_TOGGLE, true);
    else if (i && ((flags & TVHT_ONITEM) || row_hit)) Select(h, i, TVC_BYMOUSE);
    Notice(h, NM_CLICK);
    return 0;
}

LRESULT OnLButtonDblClk(HWND h, Tree* t, LPARAM l) {
    UINT flags = 0;
    Item* i = HitTest(h, *t, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &flags);
    uintptr_t id = i ? i->id : 0;
    if (Notice(h, NM_DBLCLK) || !i || !(flags & TVHT_ONITEM)) return 0;
    if ((t = T(h)) && (i = Find(*t, reinterpret_cast<HTREEITEM>(id)))) Expand(h, i, TVE_TOGGLE, true);
    return 0;
}

Item* KeyTarget(HWND h, Tree& t, WPARAM vk) {
    auto rows = Rows(t);
    if (rows.empty()) return nullptr;
    int row = t.caret ? RowOf(t, t.caret) : -1, last = int(rows.size()) - 1;
    int page = std::max(1, VisibleRows(h, t) - 1);
    auto at = [&](int r) { return rows[size_t(std::clamp(r, 0, last))]; };
    switch (vk) {
        case VK_UP: return at(row - 1);
        case VK_DOWN: return at(row + 1);
        case VK_HOME: return at(0);
        case VK_END: return at(last);
        case VK_PRIOR: return at(row - page);
        case VK_NEXT: return at(row + page);
        default: return nullptr;
    }
}

// Left closes an open item or goes to its parent; right opens a closed one or goes to its
// first child.
void OnSideKey(HWND h, Tree& t, bool left) {
    Item* c = t.caret;
    if (!c) return;
    bool open = c->state & TVIS_EXPANDED;
    if (left && open) Expand(h, c, TVE_COLLAPSE, true);
    else if (left && c->parent) Select(h, c->parent, TVC_BYKEYBOARD);
    else if (!left && HasChildren(c) && !open) Expand(h, c, TVE_EXPAND, true);
    else if (!left && open && !c->children.empty()) Select(h, c->children.front(), TVC_BYKEYBOARD);
}

LRESULT OnKeyDown(HWND h, Tree* t, WPARAM vk, LPARAM l) {
    NMTVKEYDOWN kd{};
    kd.wVKey = WORD(vk);
    SendNotify(h, TVN_KEYDOWN, &kd.hdr);
    if (!(t = T(h))) return 0;
    switch (vk) {
        case VK_LEFT: OnSideKey(h, *t, true); return 0;
        case VK_RIGHT: OnSideKey(h, *t, false); return 0;
        case VK_ADD: Expand(h, t->caret, TVE_EXPAND, true); return 0;
        case VK_SUBTRACT: Expand(h, t->caret, TVE_COLLAPSE, true); return 0;
        default: break;
    }
    if (Item* to = KeyTarget(h, *t, vk)) Select(h, to, TVC_BYKEYBOARD);
    else return DefWindowProcA(h, WM_KEYDOWN, vk, l);
    return 0;
}

LRESULT OnVScroll(HWND h, Tree* t, WPARAM w) {
    int page = std::max(1, VisibleRows(h, *t)), top = t->top;
    switch (LOWORD(w)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = int(Rows(*t).size()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = short(HIWORD(w)); break;
        default: return 0;
    }
    int most = std::max(0, int(Rows(*t).size()) - page);
    ScrollTo(h, *t, std::clamp(top, 0, most));
    return 0;
}

LRESULT OnFocus(HWND h, Tree* t, bool gained) {
    t->focus = gained;
    InvalidateRect(h, nullptr, TRUE);
    Notice(h, gained ? NM_SETFOCUS : NM_KILLFOCUS);
    return 0;
}

LRESULT OnSetFont(HWND h, Tree* t, WPARAM w) {
    t->font = reinterpret_cast<HFONT>(w);
    Changed(h, *t);
    return 0;
}

}  // namespace
}  // namespace tree

LRESULT CALLBACK TreeViewProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    using namespace tree;
    Tree* t = AttachState<Tree>(h, m);
    if (!t) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_CREATE: t->vscroll = reinterpret_cast<CREATESTRUCTA*>(l)->style & WS_VSCROLL; return 0;
        case WM_DESTROY: DeleteAll(h, *t); return 0;
        case WM_NCDESTROY: return FreeState(h, m, w, l, t);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *t, dc); });
        case WM_SIZE:
        case WM_STYLECHANGED: Changed(h, *t); return DefWindowProcA(h, m, w, l);
        case WM_SETFONT: return OnSetFont(h, t, w);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(t->font);
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: return OnFocus(h, t, true);
        case WM_KILLFOCUS: return OnFocus(h, t, false);
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_LBUTTONDOWN: return OnLButtonDown(h, t, l);
        case WM_LBUTTONDBLCLK: return OnLButtonDblClk(h, t, l);
        case WM_RBUTTONDOWN: Notice(h, NM_RCLICK); return 0;
        case WM_KEYDOWN: return OnKeyDown(h, t, w, l);
        case WM_VSCROLL: return OnVScroll(h, t, w);
        case WM_MOUSEWHEEL: return OnVScroll(h, t, short(HIWORD(w)) > 0 ? SB_LINEUP : SB_LINEDOWN);
        default: return OnTreeMessage(h, t, m, w, l);
    }
}

}  // namespace plat::commctrl
