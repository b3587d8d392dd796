// The combo box's own messages: most go on to its list or its edit field; the selection field's
// height, the drop-down state and the extended interface are the combo box's.
#include "controls/combobox_state.h"

#include <algorithm>

namespace plat::controls::combo {
namespace {

LRESULT ToList(Combo* c, UINT msg, WPARAM wp, LPARAM lp) { return SendMessageA(c->list, msg, wp, lp); }

LRESULT OnDeleteString(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    LRESULT r = ToList(c, LB_DELETESTRING, wp, lp);
    InvalidateRect(h, nullptr, TRUE);
    return r;
}

LRESULT OnResetContent(HWND h, Combo* c) {
    ToList(c, LB_RESETCONTENT, 0, 0);
    if (c->edit) SetWindowTextA(c->edit, "");
    InvalidateRect(h, nullptr, TRUE);
    return CB_OKAY;
}

LRESULT OnSetCurSel(HWND h, Combo* c, WPARAM wp) {
    LRESULT r = ToList(c, LB_SETCURSEL, wp, 0);
    if (c->dropped) c->sel_on_open = int(r);
    UpdateField(h, c);
    return r;
}

LRESULT OnSelectString(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    LRESULT r = ToList(c, LB_SELECTSTRING, wp, lp);
    if (r >= 0) UpdateField(h, c);
    return r;
}

// Index -1 names the selection field; others go to the list.
LRESULT OnSetItemHeight(HWND h, Combo* c, WPARAM wp, LPARAM lp) {
    if (int(wp) != -1) return ToList(c, LB_SETITEMHEIGHT, wp, lp);
    if (LOWORD(lp) == 0) return CB_ERR;
    c->face_height = LOWORD(lp);
    FitHeight(h, c);
    Layout(h, c);
    InvalidateRect(h, nullptr, TRUE);
    return CB_OKAY;
}

LRESULT OnGetItemHeight(Combo* c, WPARAM wp) {
    return int(wp) == -1 ? c->face_height : ToList(c, LB_GETITEMHEIGHT, wp, 0);
}

LRESULT OnShowDropDown(HWND h, Combo* c, WPARAM wp) {
    if (wp)
        Open(h, c);
    else
        Close(h, c, false);
    return TRUE;
}

LRESULT OnGetDroppedControlRect(HWND h, Combo* c, LPARAM lp) {
    if (!lp) return CB_ERR;
    if (c->type == CBS_SIMPLE) {
        GetWindowRect(c->list, reinterpret_cast<RECT*>(lp));
        return TRUE;
    }
    RECT r = DropRect(h, c);
    RECT wr;
    GetWindowRect(h, &wr);
    r.top = wr.top;
    *reinterpret_cast<RECT*>(lp) = r;
    return TRUE;
}

LRESULT OnGetDroppedWidth(HWND h, Combo* c) {
    RECT wr;
    GetWindowRect(h, &wr);
    return std::max<LONG>(c->dropped_width, wr.right - wr.left);
}

LRESULT OnSetDroppedWidth(Combo* c, WPARAM wp) {
    c->dropped_width = int(wp);
    return std::max(c->dropped_width, 0);
}

LRESULT OnSetEditSel(Combo* c, LPARAM lp) {
    if (!c->edit) return CB_ERR;
    SendMessageA(c->edit, EM_SETSEL, WPARAM(short(LOWORD(lp))), LPARAM(short(HIWORD(lp))));
    return TRUE;
}

LRESULT OnLimitText(Combo* c, WPARAM wp) {
    if (!c->edit) return CB_ERR;
    SendMessageA(c->edit, EM_LIMITTEXT, wp, 0);
    return TRUE;
}

}  // namespace

LRESULT OnComboMessage(HWND h, Combo* c, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case CB_ADDSTRING: return ToList(c, LB_ADDSTRING, wp, lp);
        case CB_INSERTSTRING: return ToList(c, LB_INSERTSTRING, wp, lp);
        case CB_DELETESTRING: return OnDeleteString(h, c, wp, lp);
        case CB_GETCOUNT: return ToList(c, LB_GETCOUNT, 0, 0);
        case CB_GETCURSEL: return ToList(c, LB_GETCURSEL, 0, 0);
        case CB_GETLBTEXT: return ToList(c, LB_GETTEXT, wp, lp);
        case CB_GETLBTEXTLEN: return ToList(c, LB_GETTEXTLEN, wp, lp);
        case CB_RESETCONTENT: return OnResetContent(h, c);
        case CB_FINDSTRING: return ToList(c, LB_FINDSTRING, wp, lp);
        case CB_FINDSTRINGEXACT: return ToList(c, LB_FINDSTRINGEXACT, wp, lp);
        case CB_SETCURSEL: return OnSetCurSel(h, c, wp);
        case CB_SELECTSTRING: return OnSelectString(h, c, wp, lp);
        case CB_GETITEMDATA: return ToList(c, LB_GETITEMDATA, wp, 0);
        case CB_SETITEMDATA: return ToList(c, LB_SETITEMDATA, wp, lp);
        case CB_GETTOPINDEX: return ToList(c, LB_GETTOPINDEX, 0, 0);
        case CB_SETTOPINDEX: return ToList(c, LB_SETTOPINDEX, wp, 0) == LB_ERR ? CB_ERR : CB_OKAY;
        case CB_INITSTORAGE: return ToList(c, LB_INITSTORAGE, wp, lp);
        case CB_SETHORIZONTALEXTENT: return ToList(c, LB_SETHORIZONTALEXTENT, wp, 0);
        case CB_GETHORIZONTALEXTENT: return ToList(c, LB_GETHORIZONTALEXTENT, 0, 0);
        case CB_SETITEMHEIGHT: return OnSetItemHeight(h, c, wp, lp);
        case CB_GETITEMHEIGHT: return OnGetItemHeight(c, wp);
        case CB_SHOWDROPDOWN: return OnShowDropDown(h, c, wp);
        case CB_GETDROPPEDSTATE: return c->dropped ? TRUE : FALSE;
        case CB_GETDROPPEDCONTROLRECT: return OnGetDroppedControlRect(h, c, lp);
        case CB_GETCOMBOBOXINFO: return OnGetComboBoxInfo(h, c, lp);
        case CB_SETEXTENDEDUI: c->extended_ui = wp != 0; return CB_OKAY;
        case CB_GETEXTENDEDUI: return c->extended_ui;
        case CB_GETDROPPEDWIDTH: return OnGetDroppedWidth(h, c);
        case CB_SETDROPPEDWIDTH: return OnSetDroppedWidth(c, wp);
        case CB_GETEDITSEL: return c->edit ? SendMessageA(c->edit, EM_GETSEL, wp, lp) : CB_ERR;
        case CB_SETEDITSEL: return OnSetEditSel(c, lp);
        case CB_LIMITTEXT: return OnLimitText(c, wp);
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls::combo
