// The combo box: drop-down list, drop-down with an edit field, and simple. Its list is a
// "ComboLBox" window: a popup at screen position for the drop-down kinds.
#include <algorithm>
#include <string>

#include "controls/listbox.h"

namespace plat::controls {
namespace {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;

struct Combo {
    UINT type = CBS_DROPDOWNLIST;
    HWND edit = nullptr, list = nullptr;
    bool dropped = false;
    bool focus = false;
    bool button_down = false;  // the arrow drawn pressed
    bool opened_by_press = false;
    bool moved_into_list = false;
    int sel_on_open = -1;
    HFONT font = nullptr;
    int face_height = 0;   // the selection field's item height
    int drop_height = 100; // the height the creator gave: face plus list
    int dropped_width = 0;
    bool extended_ui = false;
    WNDPROC edit_proc = nullptr;
    DWORD list_scroll = 0;
};

DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool OwnerDrawn(HWND h) { return (Style(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(HWND h) { return !OwnerDrawn(h) || (Style(h) & CBS_HASSTRINGS); }

int CurSel(Combo* c) { return int(SendMessageA(c->list, LB_GETCURSEL, 0, 0)); }

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
        case VK_UP: case VK_LEFT: to = sel < 0 ? 0 : sel - 1; break;
        case VK_DOWN: case VK_RIGHT: to = sel < 0 ? 0 : sel + 1; break;
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
        if (c->dropped) Close(h, c, true);
        else Open(h, c);
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
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
            StepSelection(h, c, vk);
            return true;
        case VK_HOME: case VK_END: case VK_LEFT: case VK_RIGHT:
            if (c->edit) return false;  // the edit field moves its caret
            StepSelection(h, c, vk);
            return true;
        default:
            return false;
    }
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
        case WM_GETDLGCODE: {
            LRESULT code = CallWindowProcA(base, e, msg, wp, lp) | DLGC_WANTARROWS;
            auto* m = reinterpret_cast<MSG*>(lp);
            if (c->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_SETFOCUS:
            if (!c->focus) {
                c->focus = true;
                DialogFocusMoved(h);
                Cmd(h, CBN_SETFOCUS);
            }
            break;
        case WM_KILLFOCUS: {
            HWND to = reinterpret_cast<HWND>(wp);
            if (to != h && to != c->list) {
                Close(h, c, false);
                c->focus = false;
                Cmd(h, CBN_KILLFOCUS);
            }
            break;
        }
        default:
            break;
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
    DrawFrameControl(dc, &br, DFC_SCROLL,
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
    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, c->face_height + 6,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT ToList(HWND h, Combo* c, LPARAM lp) {
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

}  // namespace

LRESULT CALLBACK ComboProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Combo* c = AttachState<Combo>(h, msg);
    if (!c) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCCREATE:
            OnNcCreate(h, c, reinterpret_cast<CREATESTRUCTA*>(lp));
            break;
        case WM_CREATE: {
            DWORD st = Style(h);
            DWORD ls = c->list_scroll | LBS_NOTIFY;
            if (st & CBS_OWNERDRAWFIXED) ls |= LBS_OWNERDRAWFIXED;
            if (st & CBS_OWNERDRAWVARIABLE) ls |= LBS_OWNERDRAWVARIABLE;
            if (st & CBS_SORT) ls |= LBS_SORT;
            if (st & CBS_HASSTRINGS) ls |= LBS_HASSTRINGS;
            if (st & CBS_DISABLENOSCROLL) ls |= LBS_DISABLENOSCROLL;
            ls |= LBS_NOINTEGRALHEIGHT;
            HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
            if (c->type == CBS_SIMPLE) {
                c->list = CreateWindowExA(WS_EX_CLIENTEDGE, "ComboLBox", "", WS_CHILD | WS_VISIBLE | ls, 0, 0, 10, 10,
                                          h, reinterpret_cast<HMENU>(uintptr_t(kListId)), inst, nullptr);
            } else {
                c->list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", WS_POPUP | WS_BORDER | ls,
                                          0, 0, 10, 10, h, nullptr, inst, nullptr);
            }
            if (!c->list) return -1;
            SendMessageA(c->list, kLbSetCombo, reinterpret_cast<WPARAM>(h), 0);
            if (c->type != CBS_DROPDOWNLIST) {
                DWORD es = WS_CHILD | WS_VISIBLE | ES_LEFT;
                if (st & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
                if (st & CBS_UPPERCASE) es |= ES_UPPERCASE;
                if (st & CBS_LOWERCASE) es |= ES_LOWERCASE;
                c->edit = CreateWindowExA(0, "Edit", "", es, 0, 0, 10, 10, h,
                                          reinterpret_cast<HMENU>(uintptr_t(kEditId)), inst, nullptr);
                if (!c->edit) return -1;
                c->edit_proc = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(c->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclass)));
            }
            c->face_height = FaceHeight(h, c);
            FitHeight(h, c);
            Layout(h, c);
            return 0;
        }
        case WM_NCDESTROY:
            if (c->list && IsWindow(c->list)) DestroyWindow(c->list);
            return FreeState(h, msg, wp, lp, c);
        case WM_DESTROY:
            if (c->dropped && GetCapture() == h) ReleaseCapture();
            c->dropped = false;
            if (c->list && IsWindow(c->list) && c->type != CBS_SIMPLE) {
                HWND l = c->list;
                c->list = nullptr;
                DestroyWindow(l);
                c->list = nullptr;
            }
            return 0;
        case WM_SIZE:
            Layout(h, c);
            return 0;
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
            auto* m = reinterpret_cast<MSG*>(lp);
            if (c->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, c, dc); });
        case WM_SETFONT:
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
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(c->font);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            // The parent colours the combo box's edit field and list.
            if (HWND parent = GetParent(h)) return SendMessageA(parent, msg, wp, lp);
            return DefWindowProcA(h, msg, wp, lp);
        case WM_ENABLE:
            if (c->edit) EnableWindow(c->edit, BOOL(wp));
            if (c->list && c->type == CBS_SIMPLE) EnableWindow(c->list, BOOL(wp));
            if (!wp) Close(h, c, false);
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_SETFOCUS:
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
        case WM_KILLFOCUS: {
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
        case WM_COMMAND: {
            HWND from = reinterpret_cast<HWND>(lp);
            int code = HIWORD(wp);
            if (from == c->edit && c->edit) {
                if (code == EN_CHANGE) Cmd(h, CBN_EDITCHANGE);
                else if (code == EN_UPDATE) Cmd(h, CBN_EDITUPDATE);
            } else if (from == c->list && c->type == CBS_SIMPLE && code == LBN_SELCHANGE) {
                UpdateField(h, c);
                Cmd(h, CBN_SELCHANGE);
            } else if (from == c->list && c->type == CBS_SIMPLE && code == LBN_DBLCLK) {
                Cmd(h, CBN_DBLCLK);
            }
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Key(h, c, msg, wp)) return 0;
            return DefWindowProcA(h, msg, wp, lp);
        case WM_CHAR:
            if (!c->edit && wp >= 32 && HasStrings(h)) {
                char s[2] = {char(wp), 0};
                int i = int(SendMessageA(c->list, LB_FINDSTRING, WPARAM(CurSel(c)), reinterpret_cast<LPARAM>(s)));
                if (i >= 0 && i != CurSel(c)) {
                    SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
                    if (c->dropped) c->sel_on_open = i;
                    UpdateField(h, c);
                    Cmd(h, CBN_SELCHANGE);
                }
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (c->dropped) {
                POINT lpnt = ToList(h, c, lp);
                RECT lwr;
                GetWindowRect(c->list, &lwr);
                POINT sp{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ClientToScreen(h, &sp);
                if (InList(c, lpnt)) return 0;  // chosen on release
                if (PtInRect(&lwr, sp)) {
                    // The list's scroll bar: let the list track it, then take the mouse back.
                    ReleaseCapture();
                    c->dropped = true;
                    SendMessageA(c->list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(sp.x, sp.y));
                    if (c->dropped) SetCapture(h);
                    return 0;
                }
                Close(h, c, false);
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
        case WM_MOUSEMOVE:
            if (c->dropped) {
                POINT lpnt = ToList(h, c, lp);
                if (InList(c, lpnt)) {
                    c->moved_into_list = true;
                    LRESULT r = SendMessageA(c->list, LB_ITEMFROMPOINT, 0, MAKELPARAM(lpnt.x, lpnt.y));
                    if (!HIWORD(r) && int(LOWORD(r)) != CurSel(c)) SendMessageA(c->list, LB_SETCURSEL, LOWORD(r), 0);
                }
            }
            return 0;
        case WM_LBUTTONUP:
            if (c->dropped) {
                bool was_press = c->opened_by_press;
                c->opened_by_press = false;
                if (c->button_down) {
                    c->button_down = false;
                    InvalidateRect(h, nullptr, FALSE);
                }
                POINT lpnt = ToList(h, c, lp);
                if (InList(c, lpnt)) {
                    LRESULT r = SendMessageA(c->list, LB_ITEMFROMPOINT, 0, MAKELPARAM(lpnt.x, lpnt.y));
                    if (!HIWORD(r)) {
                        SendMessageA(c->list, LB_SETCURSEL, LOWORD(r), 0);
                        Close(h, c, true);
                    }
                } else if (!was_press) {
                    // A release outside after a click that opened nothing keeps the list open.
                }
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (c->dropped && reinterpret_cast<HWND>(lp) != h && reinterpret_cast<HWND>(lp) != c->list) {
                // Someone else took the mouse (a menu, another window): the list goes.
                if (!IsWindowVisible(c->list)) c->dropped = false;
            }
            return 0;
        case WM_MOUSEWHEEL:
            if (c->dropped) SendMessageA(c->list, WM_MOUSEWHEEL, wp, lp);
            else StepSelection(h, c, short(HIWORD(wp)) > 0 ? VK_UP : VK_DOWN);
            return 0;
        case WM_SETTEXT: {
            if (c->edit) return SetWindowTextA(c->edit, reinterpret_cast<LPCSTR>(lp));
            int i = int(SendMessageA(c->list, LB_FINDSTRINGEXACT, WPARAM(-1), lp));
            if (i < 0) return CB_ERR;
            SendMessageA(c->list, LB_SETCURSEL, WPARAM(i), 0);
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case WM_GETTEXT: {
            if (!lp || !wp) return 0;
            std::string s;
            if (c->edit) {
                int n = GetWindowTextLengthA(c->edit);
                s.resize(size_t(n) + 1);
                GetWindowTextA(c->edit, &s[0], n + 1);
                s.resize(size_t(n));
            } else if (CurSel(c) >= 0 && HasStrings(h)) {
                s = ItemText(c, CurSel(c));
            }
            size_t n = std::min(s.size(), size_t(wp) - 1);
            memcpy(reinterpret_cast<char*>(lp), s.data(), n);
            reinterpret_cast<char*>(lp)[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH:
            if (c->edit) return GetWindowTextLengthA(c->edit);
            return CurSel(c) >= 0 && HasStrings(h) ? LRESULT(ItemText(c, CurSel(c)).size()) : 0;
        // ---- the list's messages ----
        case CB_ADDSTRING: return SendMessageA(c->list, LB_ADDSTRING, wp, lp);
        case CB_INSERTSTRING: return SendMessageA(c->list, LB_INSERTSTRING, wp, lp);
        case CB_DELETESTRING: {
            LRESULT r = SendMessageA(c->list, LB_DELETESTRING, wp, lp);
            InvalidateRect(h, nullptr, TRUE);
            return r;
        }
        case CB_GETCOUNT: return SendMessageA(c->list, LB_GETCOUNT, 0, 0);
        case CB_GETCURSEL: return SendMessageA(c->list, LB_GETCURSEL, 0, 0);
        case CB_GETLBTEXT: return SendMessageA(c->list, LB_GETTEXT, wp, lp);
        case CB_GETLBTEXTLEN: return SendMessageA(c->list, LB_GETTEXTLEN, wp, lp);
        case CB_RESETCONTENT:
            SendMessageA(c->list, LB_RESETCONTENT, 0, 0);
            if (c->edit) SetWindowTextA(c->edit, "");
            InvalidateRect(h, nullptr, TRUE);
            return CB_OKAY;
        case CB_FINDSTRING: return SendMessageA(c->list, LB_FINDSTRING, wp, lp);
        case CB_FINDSTRINGEXACT: return SendMessageA(c->list, LB_FINDSTRINGEXACT, wp, lp);
        case CB_SETCURSEL: {
            LRESULT r = SendMessageA(c->list, LB_SETCURSEL, wp, 0);
            if (c->dropped) c->sel_on_open = int(r);
            UpdateField(h, c);
            return r;
        }
        case CB_SELECTSTRING: {
            LRESULT r = SendMessageA(c->list, LB_SELECTSTRING, wp, lp);
            if (r >= 0) UpdateField(h, c);
            return r;
        }
        case CB_GETITEMDATA: return SendMessageA(c->list, LB_GETITEMDATA, wp, 0);
        case CB_SETITEMDATA: return SendMessageA(c->list, LB_SETITEMDATA, wp, lp);
        case CB_GETTOPINDEX: return SendMessageA(c->list, LB_GETTOPINDEX, 0, 0);
        case CB_SETTOPINDEX: return SendMessageA(c->list, LB_SETTOPINDEX, wp, 0) == LB_ERR ? CB_ERR : CB_OKAY;
        case CB_INITSTORAGE: return SendMessageA(c->list, LB_INITSTORAGE, wp, lp);
        case CB_SETHORIZONTALEXTENT: return SendMessageA(c->list, LB_SETHORIZONTALEXTENT, wp, 0);
        case CB_GETHORIZONTALEXTENT: return SendMessageA(c->list, LB_GETHORIZONTALEXTENT, 0, 0);
        case CB_SETITEMHEIGHT:
            if (int(wp) == -1) {
                if (LOWORD(lp) == 0) return CB_ERR;
                c->face_height = LOWORD(lp);
                FitHeight(h, c);
                Layout(h, c);
                InvalidateRect(h, nullptr, TRUE);
                return CB_OKAY;
            }
            return SendMessageA(c->list, LB_SETITEMHEIGHT, wp, lp);
        case CB_GETITEMHEIGHT:
            if (int(wp) == -1) return c->face_height;
            return SendMessageA(c->list, LB_GETITEMHEIGHT, wp, 0);
        case CB_SHOWDROPDOWN:
            if (wp) Open(h, c);
            else Close(h, c, false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return c->dropped ? TRUE : FALSE;
        case CB_GETDROPPEDCONTROLRECT:
            if (!lp) return CB_ERR;
            if (c->type == CBS_SIMPLE) GetWindowRect(c->list, reinterpret_cast<RECT*>(lp));
            else {
                RECT r = DropRect(h, c);
                RECT wr;
                GetWindowRect(h, &wr);
                r.top = wr.top;
                *reinterpret_cast<RECT*>(lp) = r;
            }
            return TRUE;
        case CB_SETEXTENDEDUI:
            c->extended_ui = wp != 0;
            return CB_OKAY;
        case CB_GETEXTENDEDUI:
            return c->extended_ui;
        case CB_GETDROPPEDWIDTH: {
            RECT wr;
            GetWindowRect(h, &wr);
            return std::max<LONG>(c->dropped_width, wr.right - wr.left);
        }
        case CB_SETDROPPEDWIDTH:
            c->dropped_width = int(wp);
            return std::max(c->dropped_width, 0);
        case CB_GETEDITSEL:
            if (!c->edit) return CB_ERR;
            return SendMessageA(c->edit, EM_GETSEL, wp, lp);
        case CB_SETEDITSEL:
            if (!c->edit) return CB_ERR;
            SendMessageA(c->edit, EM_SETSEL, WPARAM(short(LOWORD(lp))), LPARAM(short(HIWORD(lp))));
            return TRUE;
        case CB_LIMITTEXT:
            if (!c->edit) return CB_ERR;
            SendMessageA(c->edit, EM_LIMITTEXT, wp, 0);
            return TRUE;
        default:
            break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace plat::controls
