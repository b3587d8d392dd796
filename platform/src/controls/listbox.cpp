// The list box: strings or owner-drawn items with pointer-sized data, single, multiple and
// extended selection, sorting, scrolling and notifications. The combo box's list ("ComboLBox")
// is the same control reporting to its combo box.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/listbox_state.h"

namespace plat::controls::listbox {

void NotifyLb(HWND h, ListBox* lb, int code) {
    if (lb->combo) {
        SendMessageA(lb->combo, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
        return;
    }
    if (Style(h) & LBS_NOTIFY) Notify(h, code);
}

int TextHeight(HWND h, ListBox* lb) { return ctl::FontLineHeight(h, lb->font); }

UINT Measure(HWND h, ListBox* lb, int index, ULONG_PTR data) {
    MEASUREITEMSTRUCT mi{};
    mi.CtlType = lb->combo ? ODT_COMBOBOX : ODT_LISTBOX;
    mi.CtlID = UINT(GetDlgCtrlID(AsCtl(h, lb)));
    mi.itemID = UINT(index);
    mi.itemHeight = UINT(lb->item_height);
    mi.itemData = data;
    RECT rc;
    GetClientRect(h, &rc);
    mi.itemWidth = UINT(rc.right);
    SendMessageA(Target(h, lb), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
    return mi.itemHeight ? mi.itemHeight : 1;
}

int HeightOf(HWND h, const ListBox* lb, int i) {
    if (Variable(h) && i >= 0 && size_t(i) < lb->items.size()) return int(lb->items[size_t(i)].height);
    return lb->item_height;
}

RECT ItemRect(HWND h, const ListBox* lb, int i) {
    RECT rc;
    GetClientRect(h, &rc);
    int y = 0;
    if (i >= lb->top)
        for (int k = lb->top; k < i; ++k) y += HeightOf(h, lb, k);
    else
        for (int k = i; k < lb->top; ++k) y -= HeightOf(h, lb, k);
    return RECT{0, y, std::max<LONG>(rc.right, lb->horz_extent), y + HeightOf(h, lb, i)};
}

// Items that fit whole in the client area from `top`.
int PageSize(HWND h, const ListBox* lb) {
    RECT rc;
    GetClientRect(h, &rc);
    int y = 0, n = 0;
    for (int i = lb->top; i < int(lb->items.size()); ++i) {
        y += HeightOf(h, lb, i);
        if (y > rc.bottom) break;
        ++n;
    }
    if (n == 0 && lb->item_height > 0) n = std::max(1, int(rc.bottom) / lb->item_height);
    return std::max(1, n);
}

int MaxTop(HWND h, const ListBox* lb) {
    RECT rc;
    GetClientRect(h, &rc);
    int y = 0, i = int(lb->items.size()) - 1;
    for (; i >= 0; --i) {
        y += HeightOf(h, lb, i);
        if (y > rc.bottom) break;
    }
    return std::max(0, i + 1);
}

void UpdateScroll(HWND h, ListBox* lb) {
    if (!lb->vscroll) return;
    SCROLLINFO si{
        sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, int(lb->items.size()) - 1, UINT(PageSize(h, lb)), lb->top, 0};
    if (Style(h) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void SetTop(HWND h, ListBox* lb, int top) {
    top = std::clamp(top, 0, MaxTop(h, lb));
    if (top == lb->top) return;
    lb->top = top;
    UpdateScroll(h, lb);
    InvalidateRect(h, nullptr, TRUE);
}

void EnsureVisible(HWND h, ListBox* lb, int i) {
    if (i < 0 || i >= int(lb->items.size())) return;
    if (i < lb->top)
        SetTop(h, lb, i);
    else {
        int page = PageSize(h, lb);
        if (i >= lb->top + page) SetTop(h, lb, i - page + 1);
    }
}

int ItemAt(HWND h, const ListBox* lb, int y) {
    if (y < 0) return -1;
    int acc = 0;
    for (int i = lb->top; i < int(lb->items.size()); ++i) {
        acc += HeightOf(h, lb, i);
        if (y < acc) return i;
    }
    return -1;
}

bool Selected(HWND h, const ListBox* lb, int i) {
    if (i < 0 || i >= int(lb->items.size())) return false;
    return MultiSel(h) ? lb->items[size_t(i)].sel : i == lb->cur;
}

void DrawItem(HWND h, ListBox* lb, HDC dc, int i, const RECT& r, HBRUSH bg, COLORREF text) {
    bool sel = Selected(h, lb, i);
    bool has_focus_rect = lb->focus && i == lb->cur;
    if (OwnerDraw(h)) {
        DRAWITEMSTRUCT d{};
        d.CtlType = lb->combo ? ODT_COMBOBOX : ODT_LISTBOX;
        d.CtlID = UINT(GetDlgCtrlID(AsCtl(h, lb)));
        d.itemID = UINT(i);
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState =
            (sel ? ODS_SELECTED : 0) | (has_focus_rect ? ODS_FOCUS : 0) | (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
        d.hwndItem = h;
        d.hDC = dc;
        d.rcItem = r;
        d.itemData = i >= 0 && size_t(i) < lb->items.size() ? lb->items[size_t(i)].data : 0;
        SendMessageA(Target(h, lb), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
        return;
    }
    if (sel && IsWindowEnabled(h)) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        // The text colour the parent answered, as set on the DC before the items are drawn.
        if (bg) FillRect(dc, &r, bg);
        SetTextColor(dc, IsWindowEnabled(h) ? text : GetSysColor(COLOR_GRAYTEXT));
    }
    if (i >= 0 && size_t(i) < lb->items.size()) {
        RECT tr = r;
        tr.left += 2;
        const std::string& s = lb->items[size_t(i)].text;
        DrawTextA(dc, s.c_str(), int(s.size()), &tr,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((Style(h) & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0));
    }
    if (has_focus_rect) DrawFocusRect(dc, &r);
}

void Paint(HWND h, ListBox* lb, HDC dc) {
    HGDIOBJ old = SelectObject(dc, lb->font ? lb->font : DefaultFont());
    HBRUSH bg = nullptr;
    if (lb->combo)  // the combo box passes the question on to its parent
        bg = reinterpret_cast<HBRUSH>(
            SendMessageA(lb->combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    else
        bg = ControlColor(h, dc, WM_CTLCOLORLISTBOX);
    if (!bg) bg = GetSysColorBrush(COLOR_WINDOW);
    COLORREF text = GetTextColor(dc);
    RECT rc;
    GetClientRect(h, &rc);
    SetBkMode(dc, TRANSPARENT);
    int y = 0;
    for (int i = lb->top; i < int(lb->items.size()) && y < rc.bottom; ++i) {
        RECT r = ItemRect(h, lb, i);
        DrawItem(h, lb, dc, i, r, bg, text);
        y = r.bottom;
    }
    if (y < rc.bottom) {
        RECT rest{0, y, rc.right, rc.bottom};
        FillRect(dc, &rest, bg);
    }
    if (lb->items.empty() && lb->focus && !OwnerDraw(h)) {
        RECT f{0, 0, rc.right, lb->item_height};
        DrawFocusRect(dc, &f);
    }
    SelectObject(dc, old);
}

int CompareText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()); }

int Insert(HWND h, ListBox* lb, int at, LPARAM lp, bool sorted) {
    Item it;
    if (HasStrings(h))
        it.text = lp ? reinterpret_cast<const char*>(lp) : "";
    else
        it.data = ULONG_PTR(lp);
    int n = int(lb->items.size());
    if (sorted && HasStrings(h)) {
        at = n;
        for (int i = 0; i < n; ++i)
            if (CompareText(it.text, lb->items[size_t(i)].text) < 0) {
                at = i;
                break;
            }
    } else if (sorted) {
        // Owner-drawn items without strings are ordered by the parent.
        at = n;
        for (int i = 0; i < n; ++i) {
            COMPAREITEMSTRUCT ci{};
            ci.CtlType = lb->combo ? ODT_COMBOBOX : ODT_LISTBOX;
            ci.CtlID = UINT(GetDlgCtrlID(AsCtl(h, lb)));
            ci.hwndItem = h;
            ci.itemID1 = UINT(-1);
            ci.itemData1 = it.data;
            ci.itemID2 = UINT(i);
            ci.itemData2 = lb->items[size_t(i)].data;
            if (SendMessageA(Target(h, lb), WM_COMPAREITEM, ci.CtlID, reinterpret_cast<LPARAM>(&ci)) < 0) {
                at = i;
                break;
            }
        }
    } else if (at < 0 || at > n) {
        if (at > n) return LB_ERR;
        at = n;
    }
    if (Variable(h)) it.height = Measure(h, lb, at, it.data);
    lb->items.insert(lb->items.begin() + at, it);
    if (lb->cur >= at && lb->cur >= 0 && !(lb->cur == at && n == 0)) ++lb->cur;
    if (lb->anchor >= at && lb->anchor >= 0) ++lb->anchor;
    UpdateScroll(h, lb);
    InvalidateRect(h, nullptr, TRUE);
    return at;
}

void DeleteItemNotice(HWND h, ListBox* lb, int i) {
    if (!OwnerDraw(h)) return;
    DELETEITEMSTRUCT d{};
    d.CtlType = lb->combo ? ODT_COMBOBOX : ODT_LISTBOX;
    d.CtlID = UINT(GetDlgCtrlID(AsCtl(h, lb)));
    d.itemID = UINT(i);
    d.hwndItem = h;
    d.itemData = lb->items[size_t(i)].data;
    SendMessageA(Target(h, lb), WM_DELETEITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
}

int Find(HWND h, const ListBox* lb, int start, const char* s, bool exact) {
    int n = int(lb->items.size());
    if (n == 0) return LB_ERR;
    if (!HasStrings(h)) {
        for (int k = 1; k <= n; ++k) {
            int i = ((start < 0 ? -1 : start) + k) % n;
            if (lb->items[size_t(i)].data == ULONG_PTR(reinterpret_cast<uintptr_t>(s))) return i;
        }
        return LB_ERR;
    }
    std::string want = s ? s : "";
    for (int k = 1; k <= n; ++k) {
        int i = (((start < 0 || start >= n) ? -1 : start) + k) % n;
        const std::string& t = lb->items[size_t(i)].text;
        if (exact ? CompareText(t, want) == 0 : strncasecmp(t.c_str(), want.c_str(), want.size()) == 0) return i;
    }
    return LB_ERR;
}

// Selection changes driven by the user.
void SelectSingle(HWND h, ListBox* lb, int i, bool notify) {
    if (i < 0 || i >= int(lb->items.size())) return;
    bool changed = lb->cur != i;
    lb->cur = i;
    EnsureVisible(h, lb, i);
    InvalidateRect(h, nullptr, TRUE);
    if (changed && notify) NotifyLb(h, lb, LBN_SELCHANGE);
}

void SelectRange(ListBox* lb, int a, int b, bool on) {
    if (a > b) std::swap(a, b);
    for (int i = std::max(0, a); i <= b && i < int(lb->items.size()); ++i) lb->items[size_t(i)].sel = on;
}

std::vector<bool> SelState(const ListBox* lb) {
    std::vector<bool> v;
    for (auto& it : lb->items) v.push_back(it.sel);
    return v;
}

void ClickItem(HWND h, ListBox* lb, int i, WPARAM keys, bool drag) {
    if (i < 0) return;
    DWORD st = Style(h);
    if (st & LBS_NOSEL) {
        lb->cur = i;
        InvalidateRect(h, nullptr, TRUE);
        return;
    }
    if (!MultiSel(h)) {
        lb->cur = i;
        EnsureVisible(h, lb, i);
        InvalidateRect(h, nullptr, TRUE);
        return;
    }
    if (st & LBS_EXTENDEDSEL) {
        if ((keys & MK_SHIFT) || drag) {
            if (lb->anchor < 0) lb->anchor = i;
            if (!(keys & MK_CONTROL))
                for (auto& it : lb->items) it.sel = false;
            SelectRange(lb, lb->anchor, i, true);
        } else if (keys & MK_CONTROL) {
            lb->items[size_t(i)].sel = !lb->items[size_t(i)].sel;
            lb->anchor = i;
        } else {
            for (auto& it : lb->items) it.sel = false;
            lb->items[size_t(i)].sel = true;
            lb->anchor = i;
        }
    } else if (!drag) {
        lb->items[size_t(i)].sel = !lb->items[size_t(i)].sel;
    }
    lb->cur = i;
    EnsureVisible(h, lb, i);
    InvalidateRect(h, nullptr, TRUE);
}

void KeyMove(HWND h, ListBox* lb, WPARAM vk) {
    int n = int(lb->items.size());
    if (n == 0) return;
    int c = lb->cur < 0 ? 0 : lb->cur;
    int page = PageSize(h, lb);
    int to = c;
    switch (vk) {
        case VK_UP:
        case VK_LEFT: to = lb->cur < 0 ? 0 : c - 1; break;
        case VK_DOWN:
        case VK_RIGHT: to = lb->cur < 0 ? 0 : c + 1; break;
        case VK_PRIOR: to = c - (page > 1 ? page - 1 : 1); break;
        case VK_NEXT: to = c + (page > 1 ? page - 1 : 1); break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n - 1; break;
        default: return;
    }
    to = std::clamp(to, 0, n - 1);
    DWORD st = Style(h);
    if (!MultiSel(h)) {
        SelectSingle(h, lb, to, true);
        return;
    }
    auto before = SelState(lb);
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    if ((st & LBS_EXTENDEDSEL) && !ctrl) {
        if (!shift || lb->anchor < 0) lb->anchor = to;
        for (auto& it : lb->items) it.sel = false;
        SelectRange(lb, lb->anchor, to, true);
    }
    lb->cur = to;
    EnsureVisible(h, lb, to);
    InvalidateRect(h, nullptr, TRUE);
    if (SelState(lb) != before) NotifyLb(h, lb, LBN_SELCHANGE);
}

LRESULT OnCreate(HWND h, ListBox* lb) {
    lb->item_height = TextHeight(h, lb);
    if (Style(h) & LBS_OWNERDRAWFIXED) lb->item_height = int(Measure(h, lb, 0, 0));
    lb->in_create = false;
    UpdateScroll(h, lb);
    return 0;
}

LRESULT OnNcDestroy(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    for (int i = 0; i < int(lb->items.size()); ++i) DeleteItemNotice(h, lb, i);
    return FreeState(h, WM_NCDESTROY, wp, lp, lb);
}

LRESULT OnSetCombo(HWND h, ListBox* lb, WPARAM wp) {
    lb->combo = reinterpret_cast<HWND>(wp);
    if (Style(h) & LBS_OWNERDRAWFIXED) lb->item_height = int(Measure(h, lb, 0, 0));
    return 0;
}

LRESULT OnSize(HWND h, ListBox* lb) {
    SetTop(h, lb, lb->top);
    UpdateScroll(h, lb);
    return 0;
}

LRESULT OnSetFont(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    lb->font = reinterpret_cast<HFONT>(wp);
    if (!OwnerDraw(h)) lb->item_height = TextHeight(h, lb);
    UpdateScroll(h, lb);
    if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnFocus(HWND h, ListBox* lb, bool gained) {
    lb->focus = gained;
    InvalidateRect(h, nullptr, TRUE);
    if (gained && !lb->combo) DialogFocusMoved(h);
    NotifyLb(h, lb, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
    return 0;
}

LRESULT OnLButtonDown(HWND h, ListBox* lb, UINT msg, WPARAM wp, LPARAM lp) {
    if (GetFocus() != h) SetFocus(h);
    int i = ItemAt(h, lb, GET_Y_LPARAM(lp));
    lb->sel_at_press = lb->cur;
    lb->sels_at_press = SelState(lb);
    ClickItem(h, lb, i, wp, false);
    if (msg == WM_LBUTTONDBLCLK && i >= 0) {
        NotifyLb(h, lb, LBN_DBLCLK);
        return 0;
    }
    lb->tracking = true;
    SetCapture(h);
    return 0;
}

// Dragging moves the selection, and past an edge the list scrolls one item.
LRESULT OnMouseMove(HWND h, ListBox* lb, WPARAM wp, LPARAM lp) {
    if (!lb->tracking || (Style(h) & LBS_MULTIPLESEL)) return 0;
    int y = GET_Y_LPARAM(lp);
    RECT rc;
    GetClientRect(h, &rc);
    int i;
    if (y < 0)
        i = std::max(0, lb->top - 1);
    else if (y >= rc.bottom)
        i = std::min(int(lb->items.size()) - 1, lb->top + PageSize(h, lb));
    else
        i = ItemAt(h, lb, y);
    if (i >= 0 && i != lb->cur) ClickItem(h, lb, i, wp, true);
    return 0;
}

LRESULT OnLButtonUp(HWND h, ListBox* lb) {
    if (!lb->tracking) return 0;
    lb->tracking = false;
    ReleaseCapture();
    bool changed = MultiSel(h) ? SelState(lb) != lb->sels_at_press : lb->cur != lb->sel_at_press;
    if (changed) NotifyLb(h, lb, LBN_SELCHANGE);
    return 0;
}

LRESULT OnVScroll(HWND h, ListBox* lb, WPARAM wp) {
    int page = PageSize(h, lb);
    switch (LOWORD(wp)) {
        case SB_LINEUP: SetTop(h, lb, lb->top - 1); break;
        case SB_LINEDOWN: SetTop(h, lb, lb->top + 1); break;
        case SB_PAGEUP: SetTop(h, lb, lb->top - page); break;
        case SB_PAGEDOWN: SetTop(h, lb, lb->top + page); break;
        case SB_TOP: SetTop(h, lb, 0); break;
        case SB_BOTTOM: SetTop(h, lb, int(lb->items.size())); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(h, SB_VERT, &si);
            SetTop(h, lb, LOWORD(wp) == SB_THUMBTRACK ? si.nTrackPos : int(HIWORD(wp)));
            break;
        }
        default: break;
    }
    return 0;
}

// Moves the caret of a multiple-selection list, or the selection of a single one.
void MoveTo(HWND h, ListBox* lb, int i) {
    if (MultiSel(h)) {
        lb->cur = i;
        EnsureVisible(h, lb, i);
        InvalidateRect(h, nullptr, TRUE);
    } else {
        SelectSingle(h, lb, i, true);
    }
}

// With LBS_WANTKEYBOARDINPUT the parent may take the key: -2 done, -1 the list's own handling,
// else the item to move to. True when the parent handled it.
bool ParentTookKey(HWND h, ListBox* lb, WPARAM wp) {
    if (!(Style(h) & LBS_WANTKEYBOARDINPUT)) return false;
    int caret = lb->cur < 0 ? 0 : lb->cur;
    LRESULT r =
        SendMessageA(Target(h, lb), WM_VKEYTOITEM, MAKEWPARAM(WORD(wp), WORD(caret)), reinterpret_cast<LPARAM>(h));
    if (!IsWindow(h) || r == -2) return true;
    if (r < 0 || r >= LRESULT(lb->items.size())) return false;
    MoveTo(h, lb, int(r));
    return true;
}

LRESULT OnKeyDown(HWND h, ListBox* lb, WPARAM wp) {
    if (ParentTookKey(h, lb, wp)) return 0;
    if (wp != VK_SPACE) {
        KeyMove(h, lb, wp);
        return 0;
    }
    if ((Style(h) & LBS_MULTIPLESEL) && Valid(lb, lb->cur)) {
        lb->items[size_t(lb->cur)].sel = !lb->items[size_t(lb->cur)].sel;
        InvalidateRect(h, nullptr, TRUE);
        NotifyLb(h, lb, LBN_SELCHANGE);
    }
    return 0;
}

// A typed character moves to the next item it starts; an owner-drawn list without strings
// asks its parent.
LRESULT OnChar(HWND h, ListBox* lb, WPARAM wp) {
    if ((Style(h) & LBS_WANTKEYBOARDINPUT) && !HasStrings(h)) {
        int caret = lb->cur < 0 ? 0 : lb->cur;
        LRESULT r =
            SendMessageA(Target(h, lb), WM_CHARTOITEM, MAKEWPARAM(WORD(wp), WORD(caret)), reinterpret_cast<LPARAM>(h));
        if (IsWindow(h) && r >= 0 && r < LRESULT(lb->items.size()) && !MultiSel(h)) SelectSingle(h, lb, int(r), true);
        return 0;
    }
    if (wp < 32 || !HasStrings(h)) return 0;
    char s[2] = {char(wp), 0};
    int i = Find(h, lb, lb->cur, s, false);
    if (i >= 0) MoveTo(h, lb, i);
    return 0;
}

LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    ListBox* lb = AttachState<ListBox>(h, msg);
    if (!lb) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCCREATE:
            lb->vscroll = (reinterpret_cast<CREATESTRUCTA*>(lp)->style & WS_VSCROLL) != 0;
            return DefWindowProcA(h, msg, wp, lp);
        case WM_CREATE: return OnCreate(h, lb);
        case WM_NCDESTROY: return OnNcDestroy(h, lb, wp, lp);
        case kLbSetCombo: return OnSetCombo(h, lb, wp);
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, lb, dc); });
        case WM_SIZE: return OnSize(h, lb);
        case WM_SETFONT: return OnSetFont(h, lb, wp, lp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(lb->font);
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFOCUS: return OnFocus(h, lb, true);
        case WM_KILLFOCUS: return OnFocus(h, lb, false);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, lb, msg, wp, lp);
        case WM_MOUSEMOVE: return OnMouseMove(h, lb, wp, lp);
        case WM_LBUTTONUP: return OnLButtonUp(h, lb);
        case WM_CAPTURECHANGED: lb->tracking = false; return 0;
        case WM_MOUSEWHEEL: SetTop(h, lb, lb->top + (short(HIWORD(wp)) > 0 ? -3 : 3)); return 0;
        case WM_VSCROLL: return OnVScroll(h, lb, wp);
        case WM_KEYDOWN: return OnKeyDown(h, lb, wp);
        case WM_CHAR: return OnChar(h, lb, wp);
        default: return OnListBoxMessage(h, lb, msg, wp, lp);
    }
}

}  // namespace plat::controls::listbox

namespace plat::controls {

LRESULT CALLBACK ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return listbox::Proc(h, msg, wp, lp); }
LRESULT CALLBACK ComboLBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    // The drop-down list never takes the focus or activation: the combo box keeps both.
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return listbox::Proc(h, msg, wp, lp);
}

}  // namespace plat::controls
