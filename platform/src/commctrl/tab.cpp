// The tab control: a row of tabs (or buttons) over a page, at the top, the bottom or either
// side, with one selected tab that the mouse and the arrow keys change, asking the parent
// first (TCN_SELCHANGING) and telling it after (TCN_SELCHANGE).
#include <algorithm>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr int kEdge = 2;      // tabs start this far from the control's edge
constexpr int kIconGap = 4;   // between a tab's icon and its text
constexpr int kButtonGap = 3; // between buttons in button mode
constexpr int kLift = 2;      // the selected tab stands out this much on each side
constexpr int kPageInset = 4; // page border plus margin, for TCM_ADJUSTRECT

enum class Side { Top, Bottom, Left, Right };

struct TabItem {
    std::string text;
    int image = -1;
    LPARAM lparam = 0;
    DWORD state = 0;
};

struct Tab {
    HWND hwnd = nullptr;
    std::vector<TabItem> items;
    int cur = -1;
    int focus = -1;
    HIMAGELIST images = nullptr;
    HFONT font = nullptr;
    HWND tooltips = nullptr;
    int fixed_cx = 0, fixed_cy = 0;  // TCM_SETITEMSIZE
    int pad_x = 6, pad_y = 3;        // TCM_SETPADDING
    int min_width = -1;              // TCM_SETMINTABWIDTH; -1 the default
    DWORD ex_style = 0;
};

DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }

Side SideOf(HWND h) {
    DWORD st = Style(h);
    if (st & TCS_VERTICAL) return (st & TCS_RIGHT) ? Side::Right : Side::Left;
    return (st & TCS_BOTTOM) ? Side::Bottom : Side::Top;
}
bool Vertical(Side s) { return s == Side::Left || s == Side::Right; }
bool Buttons(HWND h) { return (Style(h) & TCS_BUTTONS) != 0; }

bool IconSize(const Tab& s, int* cx, int* cy) {
    *cx = *cy = 0;
    return s.images && ImageList_GetIconSize(s.images, cx, cy) && *cx > 0;
}

bool HasIcon(const Tab& s, const TabItem& it) {
    int cx, cy;
    return it.image >= 0 && IconSize(s, &cx, &cy);
}

// The thickness of the row of tabs (across it) and one tab's length (along it).
int RowThickness(const Tab& s) {
    if (s.fixed_cy > 0) return s.fixed_cy;
    int cx, cy;
    int content = std::max(LineHeight(s.font), IconSize(s, &cx, &cy) ? cy : 0);
    return content + 2 * s.pad_y;
}

int TabLength(const Tab& s, HWND h, const TabItem& it) {
    if ((Style(h) & TCS_FIXEDWIDTH) && s.fixed_cx > 0) return s.fixed_cx;
    int cx = 0, cy = 0;
    int len = 2 * s.pad_x + TextWidth(s.font, it.text);
    if (HasIcon(s, it) && IconSize(s, &cx, &cy)) len += cx + (it.text.empty() ? 0 : kIconGap);
    int least = s.min_width >= 0 ? s.min_width : 2 * s.pad_x;
    return std::max(len, least);
}

// Every tab's rectangle in client coordinates, unselected (the selected one is drawn larger).
std::vector<RECT> Layout(HWND h, const Tab& s) {
    RECT cr;
    GetClientRect(h, &cr);
    Side side = SideOf(h);
    int row = RowThickness(s);
    int gap = Buttons(h) ? kButtonGap : 0;
    std::vector<RECT> out;
    int at = kEdge;
    for (const TabItem& it : s.items) {
        int len = TabLength(s, h, it);
        RECT r{};
        switch (side) {
            case Side::Top: r = RECT{at, kEdge, at + len, kEdge + row}; break;
            case Side::Bottom: r = RECT{at, cr.bottom - kEdge - row, at + len, cr.bottom - kEdge}; break;
            case Side::Left: r = RECT{kEdge, at, kEdge + row, at + len}; break;
            case Side::Right: r = RECT{cr.right - kEdge - row, at, cr.right - kEdge, at + len}; break;
        }
        out.push_back(r);
        at += len + gap;
    }
    return out;
}

// How far the page lies from each edge of the control: the row of tabs on its side.
RECT PageOffsets(HWND h, const Tab& s) {
    int band = s.items.empty() && !Buttons(h) ? 0 : kEdge + RowThickness(s);
    if (Buttons(h) && band) band += kButtonGap;
    switch (SideOf(h)) {
        case Side::Top: return RECT{0, band, 0, 0};
        case Side::Bottom: return RECT{0, 0, 0, band};
        case Side::Left: return RECT{band, 0, 0, 0};
        case Side::Right: return RECT{0, 0, band, 0};
    }
    return RECT{};
}

RECT PageRect(HWND h, const Tab& s) {
    RECT cr;
    GetClientRect(h, &cr);
    RECT o = PageOffsets(h, s);
    return RECT{cr.left + o.left, cr.top + o.top, cr.right - o.right, cr.bottom - o.bottom};
}

// The selected tab's drawn rectangle: wider and reaching over the page's edge.
RECT Lifted(RECT r, Side side) {
    if (Vertical(side)) InflateRect(&r, 0, kLift);
    else InflateRect(&r, kLift, 0);
    switch (side) {
        case Side::Top: r.top -= kLift; r.bottom += kLift; break;
        case Side::Bottom: r.bottom += kLift; r.top -= kLift; break;
        case Side::Left: r.left -= kLift; r.right += kLift; break;
        case Side::Right: r.right += kLift; r.left -= kLift; break;
    }
    return r;
}

int HitTest(HWND h, const Tab& s, POINT p, UINT* flags) {
    *flags = TCHT_NOWHERE;
    std::vector<RECT> rects = Layout(h, s);
    for (size_t k = 0; k < rects.size(); ++k) {
        if (!PtInRect(&rects[k], p)) continue;
        *flags = TCHT_ONITEMLABEL;
        int cx, cy;
        if (HasIcon(s, s.items[k]) && IconSize(s, &cx, &cy)) {
            int x0 = Vertical(SideOf(h)) ? rects[k].top : rects[k].left;
            int along = Vertical(SideOf(h)) ? p.y : p.x;
            if (along >= x0 + s.pad_x && along < x0 + s.pad_x + cx) *flags = TCHT_ONITEMICON;
        }
        return int(k);
    }
    return -1;
}

// ---- painting ----

void DrawTabFrame(HDC dc, RECT r, Side side, bool pressed_button, bool buttons) {
    if (buttons) {
        DrawEdge(dc, &r, pressed_button ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        return;
    }
    UINT open = side == Side::Top ? BF_BOTTOM : side == Side::Bottom ? BF_TOP : side == Side::Left ? BF_RIGHT : BF_LEFT;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT & ~open);
}

void DrawTabContent(HWND h, const Tab& s, HDC dc, const TabItem& it, RECT r, bool enabled) {
    if (it.state & TCIS_HIGHLIGHTED) {
        RECT in = r;
        InflateRect(&in, -kEdge, -kEdge);
        FillSolid(dc, in, Sys(COLOR_HIGHLIGHT));
    }
    int icx = 0, icy = 0;
    bool icon = HasIcon(s, it) && IconSize(s, &icx, &icy);
    Side side = SideOf(h);
    if (Vertical(side)) {
        // Without turned fonts a side tab shows its icon only.
        if (icon) ImageList_Draw(s.images, it.image, dc, (r.left + r.right - icx) / 2, r.top + s.pad_x, ILD_TRANSPARENT);
        return;
    }
    int tw = TextWidth(s.font, it.text);
    int group = tw + (icon ? icx + (it.text.empty() ? 0 : kIconGap) : 0);
    int x = r.left + std::max(s.pad_x, (int(r.right - r.left) - group) / 2);
    if (icon) {
        ImageList_Draw(s.images, it.image, dc, x, (r.top + r.bottom - icy) / 2, ILD_TRANSPARENT);
        x += icx + kIconGap;
    }
    RECT tr{x, r.top, r.right - s.pad_x / 2, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    COLORREF fg = !enabled ? Sys(COLOR_GRAYTEXT) : (it.state & TCIS_HIGHLIGHTED) ? Sys(COLOR_HIGHLIGHTTEXT) : Sys(COLOR_BTNTEXT);
    SetTextColor(dc, fg);
    DrawTextA(dc, it.text.c_str(), -1, &tr, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void OwnerDraw(HWND h, const Tab& s, HDC dc, int k, RECT r) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_TAB;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemID = UINT(k);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = k == s.cur ? ODS_SELECTED : 0;
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = ULONG_PTR(s.items[size_t(k)].lparam);
    SendMessageA(GetParent(h), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void DrawTab(HWND h, const Tab& s, HDC dc, int k, RECT r) {
    const TabItem& it = s.items[size_t(k)];
    bool buttons = Buttons(h);
    bool selected = k == s.cur;
    Side side = SideOf(h);
    if (selected && !buttons) r = Lifted(r, side);
    FillSolid(dc, r, Sys(COLOR_BTNFACE));
    bool pressed = buttons && (selected || (it.state & TCIS_BUTTONPRESSED));
    DrawTabFrame(dc, r, side, pressed, buttons);
    if (Style(h) & TCS_OWNERDRAWFIXED) {
        OwnerDraw(h, s, dc, k, r);
        return;
    }
    DrawTabContent(h, s, dc, it, r, IsWindowEnabled(h) != 0);
    if (selected && GetFocus() == h && !(Style(h) & TCS_FOCUSNEVER)) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        SetTextColor(dc, Sys(COLOR_BTNTEXT));
        SetBkColor(dc, Sys(COLOR_BTNFACE));
        DrawFocusRect(dc, &f);
    }
}

void Paint(HWND h, const Tab& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, Sys(COLOR_BTNFACE));
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    if (!Buttons(h)) {
        RECT page = PageRect(h, s);
        DrawEdge(dc, &page, EDGE_RAISED, BF_RECT);
    }
    std::vector<RECT> rects = Layout(h, s);
    // The selected tab last, so that it covers its neighbours and the page's edge.
    for (size_t k = 0; k < rects.size(); ++k)
        if (int(k) != s.cur) DrawTab(h, s, dc, int(k), rects[k]);
    if (s.cur >= 0 && s.cur < int(rects.size())) DrawTab(h, s, dc, s.cur, rects[size_t(s.cur)]);
    SelectObject(dc, old_font);
}

// ---- selection ----

// Moves the selection as the user does: the parent may refuse; true when it changed.
bool SelectByUser(HWND h, int k) {
    Tab* s = State<Tab>(h);
    if (!s || k < 0 || k >= int(s->items.size()) || k == s->cur) return false;
    NMHDR nm{};
    if (SendNotify(h, TCN_SELCHANGING, &nm)) return false;
    s = State<Tab>(h);
    if (!s || k >= int(s->items.size())) return false;
    s->cur = s->focus = k;
    InvalidateRect(h, nullptr, TRUE);
    SendNotify(h, TCN_SELCHANGE, &nm);
    return true;
}

// ---- message handlers ----

LRESULT OnInsertItem(HWND h, Tab& s, int at, const TCITEMA* in) {
    if (!in || at < 0) return -1;
    at = std::min(at, int(s.items.size()));
    TabItem it;
    if ((in->mask & TCIF_TEXT) && in->pszText && in->pszText != LPSTR_TEXTCALLBACKA) it.text = in->pszText;
    if (in->mask & TCIF_IMAGE) it.image = in->iImage;
    if (in->mask & TCIF_PARAM) it.lparam = in->lParam;
    if (in->mask & TCIF_STATE) it.state = in->dwState & in->dwStateMask;
    s.items.insert(s.items.begin() + at, it);
    if (s.cur < 0) s.cur = 0;  // the first tab starts selected
    else if (at <= s.cur) ++s.cur;
    if (s.focus >= 0 && at <= s.focus) ++s.focus;
    if (s.focus < 0) s.focus = s.cur;
    InvalidateRect(h, nullptr, TRUE);
    return at;
}

LRESULT OnDeleteItem(HWND h, Tab& s, int k) {
    if (k < 0 || k >= int(s.items.size())) return FALSE;
    s.items.erase(s.items.begin() + k);
    auto shift = [&](int& v) {
        if (v == k) v = -1;
        else if (v > k) --v;
    };
    shift(s.cur);
    shift(s.focus);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnDeleteAll(HWND h, Tab& s) {
    s.items.clear();
    s.cur = s.focus = -1;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetItem(const Tab& s, int k, TCITEMA* out) {
    if (!out || k < 0 || k >= int(s.items.size())) return FALSE;
    const TabItem& it = s.items[size_t(k)];
    if (out->mask & TCIF_TEXT) CopyOut(it.text, out->pszText, out->cchTextMax);
    if (out->mask & TCIF_IMAGE) out->iImage = it.image;
    if (out->mask & TCIF_PARAM) out->lParam = it.lparam;
    if (out->mask & TCIF_STATE) out->dwState = it.state & out->dwStateMask;
    return TRUE;
}

LRESULT OnSetItem(HWND h, Tab& s, int k, const TCITEMA* in) {
    if (!in || k < 0 || k >= int(s.items.size())) return FALSE;
    TabItem& it = s.items[size_t(k)];
    if (in->mask & TCIF_TEXT) it.text = in->pszText && in->pszText != LPSTR_TEXTCALLBACKA ? in->pszText : "";
    if (in->mask & TCIF_IMAGE) it.image = in->iImage;
    if (in->mask & TCIF_PARAM) it.lparam = in->lParam;
    if (in->mask & TCIF_STATE) it.state = (it.state & ~in->dwStateMask) | (in->dwState & in->dwStateMask);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetItemRect(HWND h, const Tab& s, int k, RECT* out) {
    if (!out || k < 0 || k >= int(s.items.size())) return FALSE;
    *out = Layout(h, s)[size_t(k)];
    return TRUE;
}

LRESULT OnSetCurSel(HWND h, Tab& s, int k) {
    int old = s.cur;
    if (k < 0 || k >= int(s.items.size())) return -1;
    s.cur = s.focus = k;
    if (k != old) InvalidateRect(h, nullptr, TRUE);
    return old;
}

LRESULT OnHitTest(HWND h, const Tab& s, TCHITTESTINFO* ht) {
    if (!ht) return -1;
    return HitTest(h, s, ht->pt, &ht->flags);
}

// TRUE: a display rectangle becomes the window rectangle that holds it; FALSE: the reverse.
LRESULT OnAdjustRect(HWND h, const Tab& s, BOOL larger, RECT* r) {
    if (!r) return 0;
    RECT o = PageOffsets(h, s);
    int sign = larger ? -1 : 1;
    r->left += sign * (o.left + kPageInset);
    r->top += sign * (o.top + kPageInset);
    r->right -= sign * (o.right + kPageInset);
    r->bottom -= sign * (o.bottom + kPageInset);
    return 0;
}

LRESULT OnSetItemSize(HWND h, Tab& s, LPARAM l) {
    LRESULT old = MAKELONG(WORD(s.fixed_cx), WORD(RowThickness(s)));
    s.fixed_cx = short(LOWORD(l));
    s.fixed_cy = short(HIWORD(l));
    InvalidateRect(h, nullptr, TRUE);
    return old;
}

LRESULT OnSetPadding(HWND h, Tab& s, LPARAM l) {
    s.pad_x = std::max(0, int(short(LOWORD(l))));
    s.pad_y = std::max(0, int(short(HIWORD(l))));
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnHighlightItem(HWND h, Tab& s, int k, BOOL on) {
    if (k < 0 || k >= int(s.items.size())) return FALSE;
    DWORD& st = s.items[size_t(k)].state;
    st = on ? (st | TCIS_HIGHLIGHTED) : (st & ~DWORD(TCIS_HIGHLIGHTED));
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnDeselectAll(HWND h, Tab& s, BOOL keep_focus) {
    if (!Buttons(h)) return 0;
    for (size_t k = 0; k < s.items.size(); ++k)
        if (!(keep_focus && int(k) == s.focus)) s.items[k].state &= ~DWORD(TCIS_BUTTONPRESSED);
    if (!keep_focus) s.cur = -1;
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnLButtonDown(HWND h, WPARAM keys, LPARAM l) {
    UINT flags;
    int k = HitTest(h, *State<Tab>(h), POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &flags);
    DWORD st = Style(h);
    if (!(st & TCS_FOCUSNEVER) && GetFocus() != h) SetFocus(h);
    Tab* s = State<Tab>(h);  // focus handlers may have changed the tabs
    if (!s) return 0;
    if (k < 0 || k >= int(s->items.size())) {
    } else if ((st & TCS_BUTTONS) && (st & TCS_MULTISELECT) && (keys & MK_CONTROL)) {
        s->items[size_t(k)].state ^= TCIS_BUTTONPRESSED;  // adds or removes one more pressed button
        InvalidateRect(h, nullptr, TRUE);
    } else {
        SelectByUser(h, k);
    }
    NMHDR nm{};
    if (State<Tab>(h)) SendNotify(h, NM_CLICK, &nm);
    return 0;
}

LRESULT OnKeyDown(HWND h, WPARAM vk, LPARAM l) {
    NMTCKEYDOWN kd{};
    kd.wVKey = WORD(vk);
    kd.flags = UINT(HIWORD(l));
    SendNotify(h, TCN_KEYDOWN, &kd.hdr);
    Tab* s = State<Tab>(h);
    if (!s || s->items.empty()) return 0;
    int k = s->cur;
    switch (vk) {
        case VK_LEFT: case VK_UP: k = std::max(0, k - 1); break;
        case VK_RIGHT: case VK_DOWN: k = std::min(int(s->items.size()) - 1, k + 1); break;
        case VK_HOME: k = 0; break;
        case VK_END: k = int(s->items.size()) - 1; break;
        default: return 0;
    }
    SelectByUser(h, k);
    return 0;
}

LRESULT OnCreate(HWND h) {
    // Side tabs are always laid out as several rows may be.
    if (Style(h) & TCS_VERTICAL) SetWindowLongA(h, GWL_STYLE, LONG(Style(h) | TCS_MULTILINE));
    return 0;
}

LRESULT Redraw(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

template <class T>
T Swap(T& slot, T v) {
    T old = slot;
    slot = v;
    return old;
}

}  // namespace

LRESULT CALLBACK TabProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Tab* s = AttachState<Tab>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_CREATE: return OnCreate(h);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SETFONT: s->font = reinterpret_cast<HFONT>(w); return LOWORD(l) ? Redraw(h) : 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_SIZE:
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return Redraw(h);
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN: return OnLButtonDown(h, w, l);
        case WM_KEYDOWN: return OnKeyDown(h, w, l);
        case TCM_GETITEMCOUNT: return LRESULT(s->items.size());
        case TCM_INSERTITEMA: return OnInsertItem(h, *s, int(w), reinterpret_cast<const TCITEMA*>(l));
        case TCM_DELETEITEM: return OnDeleteItem(h, *s, int(w));
        case TCM_DELETEALLITEMS: return OnDeleteAll(h, *s);
        case TCM_GETITEMA: return OnGetItem(*s, int(w), reinterpret_cast<TCITEMA*>(l));
        case TCM_SETITEMA: return OnSetItem(h, *s, int(w), reinterpret_cast<const TCITEMA*>(l));
        case TCM_GETITEMRECT: return OnGetItemRect(h, *s, int(w), reinterpret_cast<RECT*>(l));
        case TCM_GETCURSEL: return s->cur;
        case TCM_SETCURSEL: return OnSetCurSel(h, *s, int(w));
        case TCM_GETCURFOCUS: return s->focus;
        case TCM_SETCURFOCUS: return Buttons(h) ? (s->focus = int(w), 0) : (OnSetCurSel(h, *s, int(w)), 0);
        case TCM_HITTEST: return OnHitTest(h, *s, reinterpret_cast<TCHITTESTINFO*>(l));
        case TCM_ADJUSTRECT: return OnAdjustRect(h, *s, BOOL(w), reinterpret_cast<RECT*>(l));
        case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(s->images);
        case TCM_SETIMAGELIST: return reinterpret_cast<LRESULT>(Swap(s->images, reinterpret_cast<HIMAGELIST>(l)));
        case TCM_SETITEMSIZE: return OnSetItemSize(h, *s, l);
        case TCM_SETPADDING: return OnSetPadding(h, *s, l);
        case TCM_SETMINTABWIDTH: return Swap(s->min_width, int(l));
        case TCM_GETROWCOUNT: return s->items.empty() ? 0 : 1;
        case TCM_HIGHLIGHTITEM: return OnHighlightItem(h, *s, int(w), BOOL(LOWORD(l)));
        case TCM_DESELECTALL: return OnDeselectAll(h, *s, BOOL(w));
        case TCM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(s->tooltips);
        case TCM_SETTOOLTIPS: s->tooltips = reinterpret_cast<HWND>(w); return 0;
        case TCM_SETITEMEXTRA: return s->items.empty() ? TRUE : FALSE;
        case TCM_GETEXTENDEDSTYLE: return LRESULT(s->ex_style);
        case TCM_SETEXTENDEDSTYLE: return LRESULT(Swap(s->ex_style, w ? (s->ex_style & ~DWORD(w)) | (DWORD(l) & DWORD(w)) : DWORD(l)));
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
