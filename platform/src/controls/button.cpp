// The button family: push buttons, check boxes, radio buttons, group boxes, owner-drawn.
#include "controls/common.h"

namespace plat::controls {
namespace {

struct Button {
    UINT check = BST_UNCHECKED;
    bool pushed = false;     // drawn pressed (mouse held inside, or space held)
    bool tracking = false;   // the mouse button went down on us and we hold the capture
    bool space = false;      // space bar held
    bool focus = false;
    HFONT font = nullptr;
    HANDLE image = nullptr;  // BS_BITMAP / BS_ICON
};

UINT Type(HWND h) { return UINT(GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK); }
bool IsCheck(UINT t) { return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE; }
bool IsRadio(UINT t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }
bool IsPush(UINT t) { return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_USERBUTTON || t == BS_PUSHBOX; }

// Auto radio buttons check themselves and clear the others of their group.
void CheckAutoRadioGroup(HWND self) {
    HWND parent = GetParent(self);
    if (!parent) return;
    // The group: from the nearest sibling at or before us that has WS_GROUP, up to the next one.
    HWND first = self;
    for (HWND w = self; w; w = GetWindow(w, GW_HWNDPREV)) {
        first = w;
        if (GetWindowLongA(w, GWL_STYLE) & WS_GROUP) break;
    }
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLongA(w, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        SendMessageA(w, BM_SETCHECK, w == self ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Click(HWND h, Button* b) {
    UINT t = Type(h);
    switch (t) {
        case BS_AUTOCHECKBOX: SendMessageA(h, BM_SETCHECK, b->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0); break;
        case BS_AUTO3STATE: SendMessageA(h, BM_SETCHECK, (b->check + 1) % 3, 0); break;
        case BS_AUTORADIOBUTTON: CheckAutoRadioGroup(h); break;
        default: break;
    }
    Notify(h, BN_CLICKED);
}

void SetPushed(HWND h, Button* b, bool p) {
    if (b->pushed == p) return;
    b->pushed = p;
    if (Type(h) == BS_OWNERDRAW || (GetWindowLongA(h, GWL_STYLE) & BS_NOTIFY)) Notify(h, p ? BN_HILITE : BN_UNHILITE);
    InvalidateRect(h, nullptr, FALSE);
}

void DrawOwner(HWND h, Button* b, HDC dc, UINT action) {
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_BUTTON;
    d.CtlID = UINT(GetDlgCtrlID(h));
    d.itemAction = action;
    d.hwndItem = h;
    d.hDC = dc;
    GetClientRect(h, &d.rcItem);
    if (b->pushed) d.itemState |= ODS_SELECTED;
    if (b->focus) d.itemState |= ODS_FOCUS;
    if (!IsWindowEnabled(h)) d.itemState |= ODS_DISABLED;
    if (b->check == BST_CHECKED) d.itemState |= ODS_CHECKED;
    SendMessageA(GetParent(h), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
}

// Draws the label (text or image) into r with the alignment bits of the style.
void DrawLabel(HWND h, Button* b, HDC dc, RECT r, DWORD style, UINT def_h) {
    bool enabled = IsWindowEnabled(h);
    UINT halign = style & BS_CENTER;
    UINT valign = style & BS_VCENTER;
    if (b->image && (style & (BS_BITMAP | BS_ICON))) {
        int w = 0, hgt = 0;
        if (style & BS_ICON) {
            w = GetSystemMetrics(SM_CXICON);
            hgt = GetSystemMetrics(SM_CYICON);
        } else {
            BITMAP bm{};
            GetObjectA(b->image, sizeof bm, &bm);
            w = bm.bmWidth;
            hgt = bm.bmHeight;
        }
        int x = r.left + (r.right - r.left - w) / 2, y = r.top + (r.bottom - r.top - hgt) / 2;
        if (halign == BS_LEFT) x = r.left;
        if (halign == BS_RIGHT) x = r.right - w;
        if (valign == BS_TOP) y = r.top;
        if (valign == BS_BOTTOM) y = r.bottom - hgt;
        UINT kind = (style & BS_ICON) ? DST_ICON : DST_BITMAP;
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(b->image), 0, x, y, w, hgt,
                   kind | (enabled ? DSS_NORMAL : DSS_DISABLED));
        return;
    }
    std::string text = WindowText(h);
    UINT fmt = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    UINT ha = halign ? halign : def_h;
    fmt |= ha == BS_LEFT ? DT_LEFT : ha == BS_RIGHT ? DT_RIGHT : DT_CENTER;
    if (!(style & BS_MULTILINE)) fmt |= valign == BS_TOP ? DT_TOP : valign == BS_BOTTOM ? DT_BOTTOM : DT_VCENTER;
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT s = r;
        OffsetRect(&s, 1, 1);
        DrawTextA(dc, text.c_str(), -1, &s, fmt);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    DrawTextA(dc, text.c_str(), -1, &r, fmt);
}

void Paint(HWND h, Button* b, HDC dc) {
    DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    UINT t = style & BS_TYPEMASK;
    if (t == BS_OWNERDRAW) {
        DrawOwner(h, b, dc, ODA_DRAWENTIRE);
        return;
    }
    RECT rc;
    GetClientRect(h, &rc);
    HFONT old = static_cast<HFONT>(SelectObject(dc, b->font ? b->font : DefaultFont()));
    bool pushlike = (style & BS_PUSHLIKE) && (IsCheck(t) || IsRadio(t));
    // Check boxes, radio buttons and group boxes sit on their parent's background as its
    // statics do, and ask for colours as they do.
    bool static_like = !pushlike && (IsCheck(t) || IsRadio(t) || t == BS_GROUPBOX);
    HBRUSH bg = ControlColor(h, dc, static_like ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN);
    if (IsPush(t) || pushlike) {
        bool down = b->pushed || (pushlike && b->check == BST_CHECKED);
        RECT r = rc;
        if (t == BS_DEFPUSHBUTTON) {
            FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&r, -1, -1);
        }
        if (style & BS_FLAT) {
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            FrameRect(dc, &r, GetSysColorBrush(down ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
        } else {
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
        }
        RECT lr = r;
        InflateRect(&lr, -3, -3);
        if (down) OffsetRect(&lr, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawLabel(h, b, dc, lr, style, BS_CENTER);
        if (b->focus) {
            RECT f = r;
            InflateRect(&f, -3, -3);
            DrawFocusRect(dc, &f);
        }
    } else if (IsCheck(t) || IsRadio(t)) {
        if (bg) FillRect(dc, &rc, bg);
        const int box = 13;
        RECT br;
        bool left_text = (style & BS_LEFTTEXT) != 0;
        br.top = rc.top + (rc.bottom - rc.top - box) / 2;
        br.bottom = br.top + box;
        br.left = left_text ? rc.right - box : rc.left;
        br.right = br.left + box;
        UINT state = IsRadio(t) ? DFCS_BUTTONRADIO : (t == BS_3STATE || t == BS_AUTO3STATE) ? DFCS_BUTTON3STATE
                                                                                            : DFCS_BUTTONCHECK;
        if (b->check == BST_CHECKED) state |= DFCS_CHECKED;
        if (b->check == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_INACTIVE;
        if (b->pushed) state |= DFCS_PUSHED;
        if (!IsWindowEnabled(h)) state |= DFCS_INACTIVE;
        if (style & BS_FLAT) state |= DFCS_FLAT;
        DrawFrameControl(dc, &br, DFC_BUTTON, state);
        RECT lr = rc;
        if (left_text) lr.right = br.left - 4;
        else lr.left = br.right + 4;
        DrawLabel(h, b, dc, lr, style, BS_LEFT);
        if (b->focus) {
            std::string text = WindowText(h);
            RECT f = lr;
            DrawTextA(dc, text.c_str(), -1, &f, DT_SINGLELINE | DT_CALCRECT);
            int hgt = f.bottom - f.top;
            f.top = lr.top + (lr.bottom - lr.top - hgt) / 2;
            f.bottom = f.top + hgt;
            InflateRect(&f, 1, 1);
            IntersectRect(&f, &f, &rc);
            DrawFocusRect(dc, &f);
        }
    } else if (t == BS_GROUPBOX) {
        std::string text = WindowText(h);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        RECT frame = rc;
        frame.top += tm.tmHeight / 2;
        if (bg) FillRect(dc, &rc, bg);
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (!text.empty()) {
            RECT tr{rc.left + 8, rc.top, rc.right - 8, rc.top + tm.tmHeight};
            RECT calc = tr;
            DrawTextA(dc, text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
            tr.right = std::min(tr.right, calc.right + 2);
            tr.left -= 2;
            if (bg) FillRect(dc, &tr, bg);
            tr.left += 2;
            SetBkMode(dc, TRANSPARENT);
            if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextA(dc, text.c_str(), -1, &tr, DT_SINGLELINE | DT_LEFT | DT_TOP);
        }
    }
    SelectObject(dc, old);
}

LRESULT OnGetDlgCode(HWND h) {
    UINT t = Type(h);
    if (t == BS_GROUPBOX) return DLGC_STATIC;
    if (IsRadio(t)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
    if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (t == BS_PUSHBUTTON || t == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    return DLGC_BUTTON;
}

LRESULT OnSetFont(HWND h, Button* b, WPARAM wp, LPARAM lp) {
    b->font = reinterpret_cast<HFONT>(wp);
    if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// Text and enabled state change the look: the default answer, then a repaint.
LRESULT DefaultThenRepaint(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = DefWindowProcA(h, msg, wp, lp);
    InvalidateRect(h, nullptr, TRUE);
    return r;
}

LRESULT OnFocus(HWND h, Button* b, bool gained) {
    b->focus = gained;
    if (gained) {
        DialogFocusMoved(h);
    } else if (b->space) {
        b->space = false;
        SetPushed(h, b, false);
    }
    InvalidateRect(h, nullptr, FALSE);
    if (GetWindowLongA(h, GWL_STYLE) & BS_NOTIFY) Notify(h, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    return 0;
}

LRESULT OnLButtonDown(HWND h, Button* b) {
    if (Type(h) == BS_GROUPBOX) return 0;
    if (GetFocus() != h) SetFocus(h);
    SetCapture(h);
    b->tracking = true;
    SetPushed(h, b, true);
    return 0;
}

LRESULT OnLButtonDblClk(HWND h, Button* b) {
    UINT t = Type(h);
    if (t == BS_OWNERDRAW || IsRadio(t) || (GetWindowLongA(h, GWL_STYLE) & BS_NOTIFY)) {
        Notify(h, BN_DOUBLECLICKED);
        return 0;
    }
    return OnLButtonDown(h, b);
}

LRESULT OnMouseMove(HWND h, Button* b, LPARAM lp) {
    if (!b->tracking) return 0;
    RECT rc;
    GetClientRect(h, &rc);
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    SetPushed(h, b, PtInRect(&rc, p) != FALSE);
    return 0;
}

LRESULT OnLButtonUp(HWND h, Button* b) {
    if (!b->tracking) return 0;
    b->tracking = false;
    bool inside = b->pushed;
    SetPushed(h, b, false);
    ReleaseCapture();
    if (inside) Click(h, b);
    return 0;
}

LRESULT OnCaptureChanged(HWND h, Button* b) {
    if (b->tracking) {
        b->tracking = false;
        SetPushed(h, b, false);
    }
    return 0;
}

LRESULT OnKeyDown(HWND h, Button* b, WPARAM wp, LPARAM lp) {
    if (wp != VK_SPACE || Type(h) == BS_GROUPBOX) return DefWindowProcA(h, WM_KEYDOWN, wp, lp);
    if (!b->space) {
        b->space = true;
        SetPushed(h, b, true);
    }
    return 0;
}

LRESULT OnKeyUp(HWND h, Button* b, WPARAM wp, LPARAM lp) {
    if (wp != VK_SPACE || !b->space) return DefWindowProcA(h, WM_KEYUP, wp, lp);
    b->space = false;
    SetPushed(h, b, false);
    Click(h, b);
    return 0;
}

bool HasCheck(UINT t) { return IsCheck(t) || IsRadio(t) || t == BS_OWNERDRAW; }

LRESULT OnSetCheck(HWND h, Button* b, WPARAM wp) {
    UINT t = Type(h);
    UINT c = UINT(wp);
    if (c == BST_INDETERMINATE && !(t == BS_3STATE || t == BS_AUTO3STATE)) c = BST_CHECKED;
    if (c > BST_INDETERMINATE) c = BST_UNCHECKED;
    if (!HasCheck(t)) return 0;
    if (b->check != c) {
        b->check = c;
        InvalidateRect(h, nullptr, FALSE);
    }
    // A checked radio button becomes a tab stop, as the keyboard reaches the group through it.
    if (IsRadio(t)) {
        LONG s = GetWindowLongA(h, GWL_STYLE);
        SetWindowLongA(h, GWL_STYLE, c ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
    }
    return 0;
}

LRESULT OnSetStyle(HWND h, WPARAM wp, LPARAM lp) {
    LONG s = GetWindowLongA(h, GWL_STYLE);
    DWORD ns = DWORD(wp) & 0xFFFF;
    // The dialog manager moves the default look with BS_(DEF)PUSHBUTTON; an owner-drawn button
    // stays owner-drawn.
    if (Type(h) == BS_OWNERDRAW && ((ns & BS_TYPEMASK) == BS_PUSHBUTTON || (ns & BS_TYPEMASK) == BS_DEFPUSHBUTTON))
        ns = (ns & ~BS_TYPEMASK) | BS_OWNERDRAW;
    SetWindowLongA(h, GWL_STYLE, LONG((DWORD(s) & ~0xFFFFu) | ns));
    if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// A click as the mouse makes it, through every procedure on the button, so one that tracks
// presses itself sees this one too.
LRESULT OnClick(HWND h) {
    if (!IsWindowEnabled(h)) return 0;
    RECT rc;
    GetClientRect(h, &rc);
    LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
    return 0;
}

LRESULT OnSetImage(HWND h, Button* b, LPARAM lp) {
    HANDLE old = b->image;
    b->image = reinterpret_cast<HANDLE>(lp);
    InvalidateRect(h, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Button* b = AttachState<Button>(h, msg);
    if (!b) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCDESTROY: return FreeState(h, msg, wp, lp, b);
        case WM_GETDLGCODE: return OnGetDlgCode(h);
        case WM_NCHITTEST: return Type(h) == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProcA(h, msg, wp, lp);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, b, dc); });
        case WM_SETFONT: return OnSetFont(h, b, wp, lp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
        case WM_SETTEXT:
        case WM_ENABLE: return DefaultThenRepaint(h, msg, wp, lp);
        case WM_SETFOCUS: return OnFocus(h, b, true);
        case WM_KILLFOCUS: return OnFocus(h, b, false);
        case WM_LBUTTONDBLCLK: return OnLButtonDblClk(h, b);
        case WM_LBUTTONDOWN: return OnLButtonDown(h, b);
        case WM_MOUSEMOVE: return OnMouseMove(h, b, lp);
        case WM_LBUTTONUP: return OnLButtonUp(h, b);
        case WM_CAPTURECHANGED: return OnCaptureChanged(h, b);
        case WM_KEYDOWN: return OnKeyDown(h, b, wp, lp);
        case WM_KEYUP: return OnKeyUp(h, b, wp, lp);
        case WM_CHAR: return wp == ' ' ? 0 : DefWindowProcA(h, msg, wp, lp);
        case BM_GETCHECK: return HasCheck(Type(h)) ? b->check : BST_UNCHECKED;
        case BM_SETCHECK: return OnSetCheck(h, b, wp);
        case BM_GETSTATE: return b->check | (b->pushed ? BST_PUSHED : 0) | (b->focus ? BST_FOCUS : 0);
        case BM_SETSTATE: SetPushed(h, b, wp != 0); return 0;
        case BM_SETSTYLE: return OnSetStyle(h, wp, lp);
        case BM_CLICK: return OnClick(h);
        case BM_GETIMAGE: return reinterpret_cast<LRESULT>(b->image);
        case BM_SETIMAGE: return OnSetImage(h, b, lp);
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls
