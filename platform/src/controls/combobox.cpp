// The combo box: drop-down list, drop-down with an edit field, and simple. Its list is a
// "ComboLBox" window: a popup at screen position for the drop-down kinds. The messages it
// answers for its list and field are in combobox_messages.cpp.
#include <algorithm>
#include <cstring>
#include <string>

#include "controls/combobox_state.h"

namespace plat::controls::combo {

std::string ItemText(Combo* c, int i) {
    LRESULT n = SendMessageA(c->list, LB_GETTEXTLEN, WPARAM(i), 0);
    if (n < 0) return {};
    std::string s(size_t(n) + 1, '\0');
    SendMessageA(c->list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(size_t(n));
    return s;
}

RECT ButtonRect(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    InflateRect(&rc, -2, -2);
    rc.left = std::max(rc.left, rc.right - GetSystemMetrics(SM_CXVSCROLL));
    return rc;
}

RECT TextRect(HWND h, Combo* c) {
    RECT rc;
    GetClientRect(h, &rc);
    if (c->type == CBS_SIMPLE) {
        rc.bottom = c->face_height + 6;
        InflateRect(&rc, -2, -2);
        return rc;
    }
    InflateRect(&rc, -2, -2);
    rc.right = ButtonRect(h).left;
    return rc;
}

LRESULT OnGetComboBoxInfo(HWND h, Combo* c, LPARAM lp) {
    auto* info = reinterpret_cast<COMBOBOXINFO*>(lp);
    if (!info || info->cbSize != sizeof *info) return FALSE;
    info->rcItem = TextRect(h, c);
    info->rcButton = c->type == CBS_SIMPLE ? RECT{} : ButtonRect(h);
    info->stateButton = c->type == CBS_SIMPLE ? STATE_SYSTEM_INVISIBLE : c->button_down ? STATE_SYSTEM_PRESSED : 0;
    info->hwndCombo = h;
    info->hwndItem = c->edit ? c->edit : h;
    info->hwndList = c->list;
    return TRUE;
}

void Cmd(HWND h, int code) { Notify(h, code); }

void UpdateField(HWND h, Combo* c) {
    int sel = CurSel(c);
    if (c->edit) {
        std::string s = sel >= 0 && HasStrings(h) ? ItemText(c, sel) : std::string();
        SetWindowTextA(c->edit, s.c_str());
        if (c->focus || GetFocus() == c->edit) SendMessageA(c->edit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(h, nullptr, TRUE);
}

void Layout(HWND h, Combo* c) {
    RECT rc;
    GetClientRect(h, &rc);
    if (c->edit) {
        RECT tr = TextRect(h, c);
        SetWindowPos(c->edit, nullptr, tr.left + 1, tr.top + 1, tr.right - tr.left - 2, tr.bottom - tr.top - 2,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (c->type == CBS_SIMPLE && c->list) {
        int top = c->face_height + 6;
        SetWindowPos(c->list, nullptr, 0, top, rc.right, std::max(0, int(rc.bottom) - top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RECT DropRect(HWND h, Combo* c) {
    RECT wr;
    GetWindowRect(h, &wr);
    int count = int(SendMessageA(c->list, LB_GETCOUNT, 0, 0));
    int ih = std::max(1, int(SendMessageA(c->list, LB_GETITEMHEIGHT, 0, 0)));
    int want = std::max(1, count) * ih + 2;
    int room = std::max(ih + 2, c->drop_height - int(wr.bottom - wr.top));
    if (!(Style(h) & CBS_NOINTEGRALHEIGHT)) room = ((room - 2) / ih) * ih + 2;
    int height = std::min(want, std::max(room, ih + 2));
    int width = std::max<int>(c->dropped_width, wr.right - wr.left);
    RECT r{wr.left, wr.bottom, wr.left + width, wr.bottom + height};
    int sh = GetSystemMetrics(SM_CYSCREEN);
    if (r.bottom > sh && wr.top - height >= 0) OffsetRect(&r, 0, -(height + (wr.bottom - wr.top)));
    return r;
}

void Open(HWND h, Combo* c) {
    if (c->dropped || c->type == CBS_SIMPLE || !c->list) return;
    Cmd(h, CBN_DROPDOWN);
    if (!IsWindow(h)) return;
    c->sel_on_open = CurSel(c);
    RECT r = DropRect(h, c);
    SetWindowPos(c->list, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (c->sel_on_open >= 0) SendMessageA(c->list, LB_SETTOPINDEX, WPARAM(c->sel_on_open), 0);
    c->dropped = true;
    c->moved_into_list = false;
    SetCapture(h);
    InvalidateRect(h, nullptr, TRUE);
}

void Close(HWND h, Combo* c, bool ok) {
    if (!c->dropped) return;
    c->dropped = false;
    c->button_down = false;
    Cmd(h, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    int sel = CurSel(c);
    if (!ok && sel != c->sel_on_open) SendMessageA(c->list, LB_SETCURSEL, WPARAM(c->sel_on_open), 0);
    ShowWindow(c->list, SW_HIDE);
    if (GetCapture() == h) ReleaseCapture();
    Cmd(h, CBN_CLOSEUP);
    int now = CurSel(c);
    if (ok && now != c->sel_on_open) {
        UpdateField(h, c);
        Cmd(h, CBN_SELCHANGE);
    } else {
        InvalidateRect(h, nullptr, TRUE);
    }
}

// Keyboard selection: at once in the field, with CBN_SELCHANGE, open or closed.
void StepSelection(HWND h, Combo* c, WPARAM vk) {
    int n = int(SendMessageA(c->list, LB_GETCOUNT, 0, 0));
    if (n == 0) return;
    int sel = CurSel(c);
    int page = 1;
    if (c->dropped) {
        RECT lr;
        GetClientRect(c->list, &lr);
        int ih = std::max(1, int(SendMessageA(c->list, LB_GETITEMHEIGHT, 0, 0)));
        page = std::max(1, int(lr.bottom) / ih - 1);
    }
    int to = sel;
    switch (vk) {
        case VK_UP:
        case VK_LEFT: to = sel < 0 ? 0 : sel - 1; break;
        case VK_DOWN:
        case VK_RIGHT: to = sel < 0 ? 0 : sel + 1; break;
        case VK_PRIOR: to = sel - page; break;
        case VK_NEXT: to = sel + page; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n - 1; break;
        default: return;
    }
    to = std::clamp(to, 0, n - 1);
    if (to == sel) return;
    SendMessageA(c->list, LB_SETCURSEL, WPARAM(to), 0);
    if (c->dropped) c->sel_on_open = to;  // kept on close: the keyboard committed it
    UpdateField(h, c);
    Cmd(h, CBN_SELCHANGE);
}

// Keys for the combo box, from itself or from its edit field. True when used.
bool Key(HWND h, Combo* c, UINT msg, WPARAM vk) {
    bool alt = msg == WM_SYSKEYDOWN;
    if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
        if (c->type == CBS_SIMPLE) return false;
        if (c->dropped)
            Close(h, c, true);
        else
            Open(h, c);
        return true;
    }
    if (alt) return false;
    if (c->dropped && vk == VK_RETURN) {
        Close(h, c, true);
        return true;
    }
    if (c->dropped && vk == VK_ESCAPE) {
        Close(h, c, false);
        return true;
    }
    if (c->extended_ui && !c->dropped && vk == VK_DOWN && c->type != CBS_SIMPLE) {
        Open(h, c);
        return true;
    }
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: StepSelection(h, c, vk); return true;
        case VK_HOME:
        case VK_END:
        case VK_LEFT:
        case VK_RIGHT:
            if (c->edit) return false;  // the edit field moves its caret
            StepSelection(h, c, vk);
            return true;
        default: return false;
    }
}

// The field gaining or losing the focus is the combo box gaining or losing it, unless the focus
// only moves between the box, its field and its list.
void FieldFocus(HWND h, Combo* c, UINT msg, WPARAM wp) {
    if (msg == WM_SETFOCUS) {
        if (c->focus) return;
        c->focus = true;
        DialogFocusMoved(h);
        Cmd(h, CBN_SETFOCUS);
        return;
    }
    HWND to = reinterpret_cast<HWND>(wp);
    if (to == h || to == c->list) return;
    Close(h, c, false);
    c->focus = false;
    Cmd(h, CBN_KILLFOCUS);
}

// While the list is down, Enter and Escape are the combo box's, not the dialog's.
LRESULT WithListKeys(Combo* c, LRESULT code, LPARAM lp) {
    auto* m = reinterpret_cast<MSG*>(lp);
    if (c->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CALLBACK EditSubclass(HWND e, UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = GetParent(e);
    Combo* c = State<Combo>(h);
    WNDPROC base = c && c->edit_proc ? c->edit_proc : EditProc;
    if (!c) return CallWindowProcA(base, e, msg, wp, lp);
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Key(h, c, msg, wp)) return 0;
            break;
        case WM_CHAR:
            if (c->dropped && (wp == '\r' || wp == 27)) return 0;
            break;
        case WM_GETDLGCODE: return WithListKeys(c, CallWindowProcA(base, e, msg, wp, lp) | DLGC_WANTARROWS, lp);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: FieldFocus(h, c, msg, wp); break;
        default: break;
    }
    return CallWindowProcA(base, e, msg, wp, lp);
}

void Paint(HWND h, Combo* c, HDC dc) {
    RECT rc;
    GetClientRect(h, &rc);
    HGDIOBJ old = SelectObject(dc, c->font ? c->font : DefaultFont());
    bool enabled = IsWindowEnabled(h);
    // A drop-down list's field asks as an edit does: as one while enabled, as a static when not.
    UINT question = c->edit ? WM_CTLCOLOREDIT : enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    HBRUSH bg = ControlColor(h, dc, question);
    COLORREF text = GetTextColor(dc);
    if (c->type == CBS_SIMPLE) {
        RECT top{0, 0, rc.right, c->face_height + 6};
        if (bg) FillRect(dc, &top, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &top, EDGE_SUNKEN, BF_RECT);
        SelectObject(dc, old);
        return;
    }
    DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    RECT tr = TextRect(h, c);
    FillRect(dc, &tr, bg ? bg : GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    RECT br = ButtonRect(h);
    DrawFrameControl(
        dc, &br, DFC_SCROLL,
        DFCS_SCROLLCOMBOBOX | (c->button_down ? DFCS_PUSHED | DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE));
    if (c->edit) {
        SelectObject(dc, old);
        return;
    }
    int sel = CurSel(c);
    RECT item = tr;
    InflateRect(&item, -1, -1);
    bool hilite = c->focus && !c->dropped && enabled;
    if (OwnerDrawn(h)) {
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_COMBOBOX;
        d.CtlID = UINT(GetDlgCtrlID(h));
        d.itemID = UINT(sel);
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = ODS_COMBOBOXEDIT | (hilite ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        d.hwndItem = h;
        d.hDC = dc;
        d.rcItem = item;
        d.itemData = sel >= 0 ? ULONG_PTR(SendMessageA(c->list, LB_GETITEMDATA, WPARAM(sel), 0)) : 0;
        SendMessageA(GetParent(h), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
        SelectObject(dc, old);
        return;
    }
    if (hilite) {
        FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(dc, enabled ? text : GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    if (sel >= 0) {
        std::string s = ItemText(c, sel);
        RECT t = item;
        t.left += 2;
        DrawTextA(dc, s.c_str(), int(s.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }
    if (hilite) DrawFocusRect(dc, &item);
    SelectObject(dc, old);
}

int FaceHeight(HWND h, Combo* c) {
    if (OwnerDrawn(h)) {
        MEASUREITEMSTRUCT mi{};
        mi.CtlType = ODT_COMBOBOX;
        mi.CtlID = UINT(GetDlgCtrlID(h));
        mi.itemID = UINT(-1);
        HDC dc = GetDC(h);
        TEXTMETRICA tm{};
        HGDIOBJ old = SelectObject(dc, c->font ? c->font : DefaultFont());
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(h, dc);
        mi.itemHeight = UINT(tm.tmHeight);
        SendMessageA(GetParent(h), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
        return int(mi.itemHeight);
    }
    return ctl::FontLineHeight(h, c->font);
}

void FitHeight(HWND h, Combo* c) {
    if (c->type == CBS_SIMPLE) return;
    RECT wr;
    GetWindowRect(h, &wr);
    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, c->face_height + 6, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT ListPoint(HWND h, Combo* c, LPARAM lp) {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(h, &p);
    ScreenToClient(c->list, &p);
    return p;
}

bool InList(Combo* c, POINT lp_client) {
    RECT rc;
    GetClientRect(c->list, &rc);
    return PtInRect(&rc, lp_client) != FALSE;
}

void OnNcCreate(HWND h, Combo* c, CREATESTRUCTA* cs) {
    c->type = UINT(cs->style) & 3;
    if (c->type == 0) c->type = CBS_SIMPLE;
    c->drop_height = cs->cy;
    // The scroll-bar styles are the list's: the combo box itself has no scroll bars.
    c->list_scroll = (cs->style & (WS_VSCROLL | WS_HSCROLL));
    SetWindowLongA(h, GWL_STYLE, LONG(DWORD(cs->style) & ~DWORD(WS_VSCROLL | WS_HSCROLL)));
    cs->style &= ~LONG(WS_VSCROLL | WS_HSCROLL);
}

// The list takes the combo box's own list styles; its scroll bars are the ones the creator gave.
DWORD ListStyle(HWND h, Combo* c) {
    DWORD st = Style(h);
    DWORD ls = c->list_scroll | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (st & CBS_OWNERDRAWFIXED) ls |= LBS_OWNERDRAWFIXED;
    if (st & CBS_OWNERDRAWVARIABLE) ls |= LBS_OWNERDRAWVARIABLE;
    if (st & CBS_SORT) ls |= LBS_SORT;
    if (st & CBS_HASSTRINGS) ls |= LBS_HASSTRINGS;
    if (st & CBS_DISABLENOSCROLL) ls |= LBS_DISABLENOSCROLL;
    return ls;
}

HWND CreateList(HWND h, Combo* c, HINSTANCE inst) {
    DWORD ls = ListStyle(h, c);
    if (c->type == CBS_SIMPLE)
        return CreateWindowExA(WS_EX_CLIENTEDGE, "ComboLBox", "", WS_CHILD | WS_VISIBLE | ls, 0, 0, 10, 10, h,
                               reinterpret_cast<HMENU>(uintptr_t(kListId)), inst, nullptr);
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", WS_POPUP | WS_BORDER | ls, 0, 0, 10, 10,
                           h, nullptr, inst, nullptr);
}

HWND CreateField(HWND h, Combo* c, HINSTANCE inst) {
    DWORD st = Style(h);
    DWORD es = WS_CHILD | WS_VISIBLE | ES_LEFT;
    if (st & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
    if (st & CBS_UPPERCASE) es |= ES_UPPERCASE;
    if (st & CBS_LOWERCASE) es |= ES_LOWERCASE;
    HWND e =
        CreateWindowExA(0, "Edit", "", es, 0, 0, 10, 10, h, reinterpret_cast<HMENU>(uintptr_t(kEditId)), inst, nullptr);
    if (e)
        c->edit_proc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclass)));
    return e;
}

// The list is made with the combo box's frame, before its creation is announced: whoever
// watches creations (the skin engine's hook sees WM_CREATE before this procedure) finds the
// combo box with its list.
LRESULT OnNcCreateList(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    OnNcCreate(h, c, reinterpret_cast<CREATESTRUCTA*>(lp));
    if (!DefWindowProcA(h, WM_NCCREATE, wp, lp)) return FALSE;
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
    c->list = CreateList(h, c, inst);
    if (!c->list) return FALSE;
    SendMessageA(c->list, kLbSetCombo, reinterpret_cast<WPARAM>(h), 0);
    return TRUE;
}

LRESULT OnCreate(HWND h, Combo* c) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
    if (!c->list) return -1;
    if (c->type != CBS_DROPDOWNLIST) {
        c->edit = CreateField(h, c, inst);
        if (!c->edit) return -1;
    }
    c->face_height = FaceHeight(h, c);
    FitHeight(h, c);
    Layout(h, c);
    return 0;
}

LRESULT OnNcDestroy(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    if (c->list && IsWindow(c->list)) DestroyWindow(c->list);
    return FreeState(h, WM_NCDESTROY, wp, lp, c);
}

// A drop-down list is a popup, not a child: it goes with the combo box.
LRESULT OnDestroy(HWND h, Combo* c) {
    if (c->dropped && GetCapture() == h) ReleaseCapture();
    c->dropped = false;
    if (c->list && IsWindow(c->list) && c->type != CBS_SIMPLE) {
        HWND l = c->list;
        c->list = nullptr;
        DestroyWindow(l);
    }
    return 0;
}

LRESULT OnSetFont(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    c->font = reinterpret_cast<HFONT>(wp);
    if (c->edit) SendMessageA(c->edit, WM_SETFONT, wp, lp);
    if (c->list) SendMessageA(c->list, WM_SETFONT, wp, lp);
    if (!OwnerDrawn(h)) {
        c->face_height = FaceHeight(h, c);
        FitHeight(h, c);
    }
    Layout(h, c);
    if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// The parent colours the combo box's edit field and list.
LRESULT OnCtlColor(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (HWND parent = GetParent(h)) return SendMessageA(parent, msg, wp, lp);
    return DefWindowProcA(h, msg, wp, lp);
}

LRESULT OnEnable(HWND h, Combo* c, WPARAM wp) {
    if (c->edit) EnableWindow(c->edit, BOOL(wp));
    if (c->list && c->type == CBS_SIMPLE) EnableWindow(c->list, BOOL(wp));
    if (!wp) Close(h, c, false);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetFocus(HWND h, Combo* c) {
    if (c->edit) {
        SetFocus(c->edit);
        SendMessageA(c->edit, EM_SETSEL, 0, -1);
        return 0;
    }
    if (!c->focus) {
        c->focus = true;
        DialogFocusMoved(h);
        Cmd(h, CBN_SETFOCUS);
    }
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnKillFocus(HWND h, Combo* c, WPARAM wp) {
    HWND to = reinterpret_cast<HWND>(wp);
    if (to == c->edit || to == c->list) return 0;
    Close(h, c, false);
    if (c->focus) {
        c->focus = false;
        Cmd(h, CBN_KILLFOCUS);
    }
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// The field's and a simple combo box's list's notices, told as the combo box's own.
LRESULT OnCommand(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    HWND from = reinterpret_cast<HWND>(lp);
    int code = HIWORD(wp);
    if (from == c->edit && c->edit) {
        if (code == EN_CHANGE)
            Cmd(h, CBN_EDITCHANGE);
        else if (code == EN_UPDATE)
            Cmd(h, CBN_EDITUPDATE);
    } else if (from == c->list && c->type == CBS_SIMPLE && code == LBN_SELCHANGE) {
        UpdateField(h, c);
        Cmd(h, CBN_SELCHANGE);
    } else if (from == c->list && c->type == CBS_SIMPLE && code == LBN_DBLCLK) {
        Cmd(h, CBN_DBLCLK);
    }
    return 0;
}

// Without a field a typed character selects the next item it starts.
LRESULT OnChar(HWND h, Combo* c, WPARAM wp) {
    if (c->edit || wp < 32 || !HasStrings(h)) return 0;
    char s[2] = {char(wp), 0};
    int i = int(SendMessageA(c->list, LB_FINDSTRING, WPARAM(CurSel(c)), reinterpret_cast<LPARAM>(s)));
    if (i < 0 || i == CurSel(c)) return 0;
    SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
    if (c->dropped) c->sel_on_open = i;
    UpdateField(h, c);
    Cmd(h, CBN_SELCHANGE);
    return 0;
}

// A press while the list is down: in it the item is chosen on release, on its scroll bar the
// list tracks the bar, anywhere else the list closes.
void PressWhileDropped(HWND h, Combo* c, LPARAM lp) {
    if (InList(c, ListPoint(h, c, lp))) return;
    RECT lwr;
    GetWindowRect(c->list, &lwr);
    POINT sp{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(h, &sp);
    if (!PtInRect(&lwr, sp)) {
        Close(h, c, false);
        return;
    }
    // Let the list track its bar, then take the mouse back.
    ReleaseCapture();
    c->dropped = true;
    SendMessageA(c->list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(sp.x, sp.y));
    if (c->dropped) SetCapture(h);
}

LRESULT OnLButtonDown(HWND h, Combo* c, LPARAM lp) {
    if (c->dropped) {
        PressWhileDropped(h, c, lp);
        return 0;
    }
    if (c->type == CBS_SIMPLE) return 0;
    if (GetFocus() != h && GetFocus() != c->edit) SetFocus(h);
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT br = ButtonRect(h);
    if (c->type == CBS_DROPDOWNLIST || PtInRect(&br, p)) {
        c->button_down = true;
        c->opened_by_press = true;
        Open(h, c);
    }
    return 0;
}

// The item under the mouse, or -1 when the mouse is not over one.
int ItemUnder(HWND h, Combo* c, LPARAM lp) {
    POINT p = ListPoint(h, c, lp);
    if (!InList(c, p)) return -1;
    LRESULT r = SendMessageA(c->list, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    return HIWORD(r) ? -1 : int(LOWORD(r));
}

LRESULT OnMouseMove(HWND h, Combo* c, LPARAM lp) {
    if (!c->dropped || !InList(c, ListPoint(h, c, lp))) return 0;
    c->moved_into_list = true;
    int i = ItemUnder(h, c, lp);
    if (i >= 0 && i != CurSel(c)) SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
    return 0;
}

// A release over an item chooses it; a release anywhere else leaves the list open.
LRESULT OnLButtonUp(HWND h, Combo* c, LPARAM lp) {
    if (!c->dropped) return 0;
    c->opened_by_press = false;
    if (c->button_down) {
        c->button_down = false;
        InvalidateRect(h, nullptr, FALSE);
    }
    int i = ItemUnder(h, c, lp);
    if (i < 0) return 0;
    SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
    Close(h, c, true);
    return 0;
}

// Someone else took the mouse (a menu, another window): the list goes.
LRESULT OnCaptureChanged(HWND h, Combo* c, LPARAM lp) {
    HWND to = reinterpret_cast<HWND>(lp);
    if (c->dropped && to != h && to != c->list && !IsWindowVisible(c->list)) c->dropped = false;
    return 0;
}

LRESULT OnMouseWheel(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    if (c->dropped)
        SendMessageA(c->list, WM_MOUSEWHEEL, wp, lp);
    else
        StepSelection(h, c, short(HIWORD(wp)) > 0 ? VK_UP : VK_DOWN);
    return 0;
}

// Without a field the text chooses the item that matches it exactly.
LRESULT OnSetText(HWND h, Combo* c, LPARAM lp) {
    if (c->edit) return SetWindowTextA(c->edit, reinterpret_cast<LPCSTR>(lp));
    int i = int(SendMessageA(c->list, LB_FINDSTRINGEXACT, WPARAM(-1), lp));
    if (i < 0) return CB_ERR;
    SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

std::string FieldText(HWND h, Combo* c) {
    if (c->edit) {
        int n = GetWindowTextLengthA(c->edit);
        std::string s(size_t(n) + 1, '\0');
        GetWindowTextA(c->edit, &s[0], n + 1);
        s.resize(size_t(n));
        return s;
    }
    return CurSel(c) >= 0 && HasStrings(h) ? ItemText(c, CurSel(c)) : std::string();
}

LRESULT OnGetText(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    if (!lp || !wp) return 0;
    std::string s = FieldText(h, c);
    size_t n = std::min(s.size(), size_t(wp) - 1);
    memcpy(reinterpret_cast<char*>(lp), s.data(), n);
    reinterpret_cast<char*>(lp)[n] = 0;
    return LRESULT(n);
}

LRESULT OnGetTextLength(HWND h, Combo* c) {
    if (c->edit) return GetWindowTextLengthA(c->edit);
    return CurSel(c) >= 0 && HasStrings(h) ? LRESULT(ItemText(c, CurSel(c)).size()) : 0;
}

LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Combo* c = AttachState<Combo>(h, msg);
    if (!c) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCCREATE: return OnNcCreateList(h, c, wp, lp);
        case WM_CREATE: return OnCreate(h, c);
        case WM_NCDESTROY: return OnNcDestroy(h, c, wp, lp);
        case WM_DESTROY: return OnDestroy(h, c);
        case WM_SIZE: Layout(h, c); return 0;
        case WM_GETDLGCODE: return WithListKeys(c, DLGC_WANTARROWS | DLGC_WANTCHARS, lp);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, c, dc); });
        case WM_SETFONT: return OnSetFont(h, c, wp, lp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: return OnCtlColor(h, msg, wp, lp);
        case WM_ENABLE: return OnEnable(h, c, wp);
        case WM_SETFOCUS: return OnSetFocus(h, c);
        case WM_KILLFOCUS: return OnKillFocus(h, c, wp);
        case WM_COMMAND: return OnCommand(h, c, wp, lp);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return Key(h, c, msg, wp) ? 0 : DefWindowProcA(h, msg, wp, lp);
        case WM_CHAR: return OnChar(h, c, wp);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, c, lp);
        case WM_MOUSEMOVE: return OnMouseMove(h, c, lp);
        case WM_LBUTTONUP: return OnLButtonUp(h, c, lp);
        case WM_CAPTURECHANGED: return OnCaptureChanged(h, c, lp);
        case WM_MOUSEWHEEL: return OnMouseWheel(h, c, wp, lp);
        case WM_SETTEXT: return OnSetText(h, c, lp);
        case WM_GETTEXT: return OnGetText(h, c, wp, lp);
        case WM_GETTEXTLENGTH: return OnGetTextLength(h, c);
        default: return OnComboMessage(h, c, msg, wp, lp);
    }
}

}  // namespace plat::controls::combo

namespace plat::controls {

LRESULT CALLBACK ComboProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return combo::Proc(h, msg, wp, lp); }

}  // namespace plat::controls

extern "C" BOOL WINAPI GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
    return SendMessageA(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)) == TRUE;
}
