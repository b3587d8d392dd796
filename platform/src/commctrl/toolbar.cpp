// The tool bar: buttons with images and texts, their states (enabled, checked, pressed,
// hidden, indeterminate), check groups and drop-downs, the hot button of a flat bar, and the
// commands and notices it sends when the mouse uses them.
#include <algorithm>
#include <cstring>

#include "commctrl/bars.h"
#include "commctrl/toolbar.h"
#include "windlg.h"

namespace plat::commctrl {
using namespace toolbar;
namespace {

Toolbar* T(HWND h) { return State<Toolbar>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
HWND NotifyWindow(HWND h, const Toolbar& s) { return s.notify ? s.notify : GetParent(h); }

int IndexOf(const Toolbar& s, int command) {
    for (size_t k = 0; k < s.buttons.size(); ++k)
        if (s.buttons[k].command == command) return int(k);
    return -1;
}

Button* ByCommand(Toolbar& s, int command) {
    int k = IndexOf(s, command);
    return k < 0 ? nullptr : &s.buttons[size_t(k)];
}

// A text pointer or a string index, as TBBUTTON's iString carries either.
void TakeString(Button& b, INT_PTR value) {
    if (value == -1 || (value >= 0 && uintptr_t(value) <= 0xFFFF)) {
        b.string = value;
        b.text.clear();
    } else {
        b.string = -1;
        b.text = reinterpret_cast<const char*>(value);
    }
}

Button FromRecord(const TBBUTTON& in) {
    Button b;
    b.image = in.iBitmap;
    b.command = in.idCommand;
    b.state = in.fsState;
    b.style = in.fsStyle;
    b.data = in.dwData;
    TakeString(b, in.iString);
    return b;
}

LRESULT Changed(HWND h, Toolbar& s) {
    InvalidateRect(h, nullptr, TRUE);
    if (s.pressed >= int(s.buttons.size())) s.pressed = -1;
    if (s.hot >= int(s.buttons.size())) s.hot = -1;
    return TRUE;
}

LRESULT SendCommandNotice(HWND h, Toolbar& s, UINT code, NMHDR* nm) { return SendNotifyTo(NotifyWindow(h, s), h, code, nm); }

// ---- buttons ----

LRESULT OnInsert(HWND h, Toolbar& s, int at, const TBBUTTON* in, int count) {
    if (!in || count <= 0) return FALSE;
    at = (at < 0 || at > int(s.buttons.size())) ? int(s.buttons.size()) : at;
    for (int k = 0; k < count; ++k) s.buttons.insert(s.buttons.begin() + at + k, FromRecord(in[k]));
    return Changed(h, s);
}

LRESULT OnDelete(HWND h, Toolbar& s, int k) {
    if (k < 0 || k >= int(s.buttons.size())) return FALSE;
    s.buttons.erase(s.buttons.begin() + k);
    if (s.pressed == k) {
        s.pressed = -1;
        if (GetCapture() == h) ReleaseCapture();
    }
    if (s.hot == k) s.hot = -1;
    else if (s.hot > k) --s.hot;
    return Changed(h, s);
}

LRESULT OnMove(HWND h, Toolbar& s, int from, int to) {
    int n = int(s.buttons.size());
    if (from < 0 || from >= n || to < 0 || to >= n) return FALSE;
    Button b = s.buttons[size_t(from)];
    s.buttons.erase(s.buttons.begin() + from);
    s.buttons.insert(s.buttons.begin() + to, b);
    return Changed(h, s);
}

LRESULT OnGetButton(const Toolbar& s, int k, TBBUTTON* out) {
    if (!out || k < 0 || k >= int(s.buttons.size())) return FALSE;
    const Button& b = s.buttons[size_t(k)];
    *out = TBBUTTON{};
    out->iBitmap = b.image;
    out->idCommand = b.command;
    out->fsState = b.state;
    out->fsStyle = b.style;
    out->dwData = b.data;
    out->iString = b.string >= 0 ? b.string : b.text.empty() ? -1 : reinterpret_cast<INT_PTR>(b.text.c_str());
    return TRUE;
}

// Sets or clears one state bit of the button with that command.
LRESULT SetStateBit(HWND h, Toolbar& s, int command, BYTE bit, bool on) {
    Button* b = ByCommand(s, command);
    if (!b) return FALSE;
    BYTE was = b->state;
    b->state = on ? BYTE(b->state | bit) : BYTE(b->state & ~bit);
    if (b->state != was) InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT HasStateBit(Toolbar& s, int command, BYTE bit) {
    Button* b = ByCommand(s, command);
    if (!b) return -1;
    return (b->state & bit) ? TRUE : FALSE;
}

LRESULT OnSetState(HWND h, Toolbar& s, int command, BYTE state) {
    Button* b = ByCommand(s, command);
    if (!b) return FALSE;
    b->state = state;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetState(Toolbar& s, int command) {
    Button* b = ByCommand(s, command);
    return b ? b->state : -1;
}

LRESULT OnGetRect(HWND h, const Toolbar& s, int k, RECT* out) {
    if (!out || k < 0 || k >= int(s.buttons.size())) return FALSE;
    *out = Layout(h, s)[size_t(k)];
    return TRUE;
}

// The length without a buffer, else the text copied whole (the caller sized it by asking).
LRESULT OnGetButtonText(Toolbar& s, int command, char* buf) {
    Button* b = ByCommand(s, command);
    if (!b) return -1;
    std::string text = TextOf(s, *b);
    if (buf) memcpy(buf, text.c_str(), text.size() + 1);
    return LRESULT(text.size());
}

// Null-separated strings ending in an empty one, or a string resource by id.
LRESULT OnAddString(Toolbar& s, HINSTANCE inst, LPARAM l) {
    LRESULT first = LRESULT(s.strings.size());
    if (inst) {
        char buf[512];
        if (LoadStringA(inst, UINT(l), buf, sizeof buf) <= 0) return -1;
        s.strings.push_back(buf);
        return first;
    }
    const char* p = reinterpret_cast<const char*>(l);
    if (!p) return -1;
    while (*p) {
        s.strings.push_back(p);
        p += strlen(p) + 1;
    }
    return first;
}

LRESULT OnAddBitmap(HWND h, Toolbar& s, int count, const TBADDBITMAP* add) {
    if (!add || count <= 0 || add->hInst == HINST_COMMCTRL) return -1;
    HBITMAP bm = add->hInst ? LoadBitmapA(add->hInst, MAKEINTRESOURCEA(add->nID)) : reinterpret_cast<HBITMAP>(add->nID);
    if (!bm) return -1;
    if (!s.images) s.images = s.own_images = ImageList_Create(s.bitmap_cx, s.bitmap_cy, ILC_COLOR32, count, 4);
    int first = ImageList_GetImageCount(s.images);
    int got = ImageList_Add(s.images, bm, nullptr);
    if (add->hInst) DeleteObject(bm);  // a loaded bitmap is ours; a given one stays the caller's
    InvalidateRect(h, nullptr, TRUE);
    return got < 0 ? -1 : first;
}

LRESULT OnSetImageList(HWND h, HIMAGELIST& slot, HIMAGELIST list) {
    HIMAGELIST old = slot;
    slot = list;
    InvalidateRect(h, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT OnSetSize(HWND h, int& cx, int& cy, LPARAM l) {
    cx = std::max(0, int(short(LOWORD(l))));
    cy = std::max(0, int(short(HIWORD(l))));
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnButtonInfo(HWND h, Toolbar& s, WPARAM w, TBBUTTONINFOA* info, bool set) {
    if (!info || info->cbSize < sizeof(TBBUTTONINFOA)) return -1;
    int k = (info->dwMask & TBIF_BYINDEX) ? int(w) : IndexOf(s, int(w));
    if (k < 0 || k >= int(s.buttons.size())) return -1;
    Button& b = s.buttons[size_t(k)];
    DWORD m = info->dwMask;
    if (set) {
        if (m & TBIF_COMMAND) b.command = info->idCommand;
        if (m & TBIF_IMAGE) b.image = info->iImage;
        if (m & TBIF_STATE) b.state = info->fsState;
        if (m & TBIF_STYLE) b.style = info->fsStyle;
        if (m & TBIF_LPARAM) b.data = info->lParam;
        if (m & TBIF_SIZE) b.cx = info->cx;
        if (m & TBIF_TEXT) TakeString(b, info->pszText ? reinterpret_cast<INT_PTR>(info->pszText) : -1);
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
    }
    if (m & TBIF_COMMAND) info->idCommand = b.command;
    if (m & TBIF_IMAGE) info->iImage = b.image;
    if (m & TBIF_STATE) info->fsState = b.state;
    if (m & TBIF_STYLE) info->fsStyle = b.style;
    if (m & TBIF_LPARAM) info->lParam = b.data;
    if (m & TBIF_SIZE) info->cx = WORD(Layout(h, s)[size_t(k)].right - Layout(h, s)[size_t(k)].left);
    if (m & TBIF_TEXT) CopyOut(TextOf(s, b), info->pszText, info->cchText);
    return k;
}

LRESULT OnGetMaxSize(HWND h, const Toolbar& s, SIZE* out) {
    if (!out) return FALSE;
    *out = MaxSize(h, s);
    return TRUE;
}

// The bar's height: its rows of buttons, or one row of the standard size while it has none.
LRESULT OnAutoSize(HWND h, const Toolbar& s) {
    int rows = std::max(int(MaxSize(h, s).cy), 2 + int(ButtonSize(s, h).cy));
    AlignBar(h, rows + 2, BarEdge::Top);
    return 0;
}

LRESULT OnGetRows(HWND h, const Toolbar& s) {
    int rows = 0, last_top = -1;
    for (const RECT& r : Layout(h, s))
        if (r.bottom > r.top && r.top != last_top) {
            last_top = r.top;
            ++rows;
        }
    return rows;
}

LRESULT OnHitTest(HWND h, const Toolbar& s, const POINT* p) { return p ? ButtonAt(h, s, *p) : -1; }

// ---- the hot button ----

// Changes the hot button when the parent lets it; true when it changed.
bool SetHot(HWND h, int k, DWORD flags) {
    Toolbar* s = T(h);
    if (!s || k == s->hot) return false;
    NMTBHOTITEM nm{};
    nm.idOld = s->hot >= 0 ? s->buttons[size_t(s->hot)].command : 0;
    nm.idNew = k >= 0 ? s->buttons[size_t(k)].command : 0;
    nm.dwFlags = flags | (s->hot < 0 ? HICF_ENTERING : 0) | (k < 0 ? HICF_LEAVING : 0);
    if (SendCommandNotice(h, *s, TBN_HOTITEMCHANGE, &nm.hdr)) return false;
    s = T(h);
    if (!s || k >= int(s->buttons.size())) return false;
    s->hot = k;
    InvalidateRect(h, nullptr, TRUE);
    return true;
}

LRESULT OnSetHotItem(HWND h, Toolbar& s, int k) {
    int old = s.hot;
    if (k >= int(s.buttons.size()) || (k >= 0 && (s.buttons[size_t(k)].style & BTNS_SEP))) k = -1;
    SetHot(h, k, HICF_OTHER);
    return old;
}

// ---- the mouse ----

bool InArrow(HWND h, const Toolbar& s, int k, POINT p) {
    const Button& b = s.buttons[size_t(k)];
    if (!(b.style & BTNS_DROPDOWN)) return false;
    if ((b.style & BTNS_WHOLEDROPDOWN) || !(s.ex_style & TBSTYLE_EX_DRAWDDARROWS)) return true;
    RECT r = Layout(h, s)[size_t(k)];
    return p.x >= r.right - 12;
}

// TBN_DROPDOWN; true when the parent wants the button pressed as well.
bool DropDown(HWND h, Toolbar& s, int k) {
    NMTOOLBARA nm{};
    nm.iItem = s.buttons[size_t(k)].command;
    nm.rcButton = Layout(h, s)[size_t(k)];
    OnGetButton(s, k, &nm.tbButton);
    return SendCommandNotice(h, s, TBN_DROPDOWN, &nm.hdr) == TBDDRET_TREATPRESSED;
}

void NotifyClick(HWND h, UINT code, int command, POINT p) {
    Toolbar* s = T(h);
    if (!s) return;
    NMMOUSE nm{};
    nm.dwItemSpec = DWORD_PTR(INT_PTR(command));
    nm.pt = p;
    SendCommandNotice(h, *s, code, &nm.hdr);
}

LRESULT OnLButtonDown(HWND h, Toolbar& s, LPARAM l) {
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    int k = ButtonAt(h, s, p);
    if (k < 0 || !(s.buttons[size_t(k)].state & TBSTATE_ENABLED)) return 0;
    if (InArrow(h, s, k, p) && !DropDown(h, s, k)) return 0;
    Toolbar* now = T(h);
    if (!now || k >= int(now->buttons.size())) return 0;
    now->pressed = k;
    now->pressed_in = true;
    now->buttons[size_t(k)].state |= TBSTATE_PRESSED;
    SetCapture(h);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

void TrackLeave(HWND h, Toolbar& s) {
    if (s.tracking_leave) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, h, 0};
    s.tracking_leave = TrackMouseEvent(&tme) != 0;
}

LRESULT OnMouseMove(HWND h, Toolbar& s, LPARAM l) {
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    int k = ButtonAt(h, s, p);
    if (s.pressed >= 0) {
        bool in = k == s.pressed;
        if (in != s.pressed_in) {
            s.pressed_in = in;
            BYTE& st = s.buttons[size_t(s.pressed)].state;
            st = in ? BYTE(st | TBSTATE_PRESSED) : BYTE(st & ~TBSTATE_PRESSED);
            InvalidateRect(h, nullptr, TRUE);
        }
        return 0;
    }
    if (!(Style(h) & TBSTYLE_FLAT)) return 0;  // only flat bars have a hot button
    TrackLeave(h, s);
    SetHot(h, k >= 0 ? k : -1, HICF_MOUSE);
    return 0;
}

LRESULT OnMouseLeave(HWND h, Toolbar& s) {
    s.tracking_leave = false;
    if (s.pressed < 0) SetHot(h, -1, HICF_MOUSE);
    return 0;
}

// A check button toggles; one of a check group is checked and the others of its group not.
void Toggle(Toolbar& s, int k) {
    Button& b = s.buttons[size_t(k)];
    if ((b.style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) {
        int lo = k, hi = k;
        auto grouped = [&](int i) { return (s.buttons[size_t(i)].style & BTNS_CHECKGROUP) == BTNS_CHECKGROUP; };
        while (lo > 0 && grouped(lo - 1)) --lo;
        while (hi + 1 < int(s.buttons.size()) && grouped(hi + 1)) ++hi;
        for (int i = lo; i <= hi; ++i) s.buttons[size_t(i)].state &= BYTE(~TBSTATE_CHECKED);
        b.state |= TBSTATE_CHECKED;
    } else if (b.style & BTNS_CHECK) {
        b.state ^= TBSTATE_CHECKED;
    }
}

LRESULT OnLButtonUp(HWND h, Toolbar& s, LPARAM l) {
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    int k = s.pressed;
    if (k < 0) {
        int at = ButtonAt(h, s, p);
        NotifyClick(h, NM_CLICK, at >= 0 ? s.buttons[size_t(at)].command : -1, p);
        return 0;
    }
    bool in = s.pressed_in;
    s.pressed = -1;
    s.buttons[size_t(k)].state &= BYTE(~TBSTATE_PRESSED);
    if (in) Toggle(s, k);
    int command = s.buttons[size_t(k)].command;
    HWND to = NotifyWindow(h, s);
    InvalidateRect(h, nullptr, TRUE);
    if (GetCapture() == h) ReleaseCapture();
    if (!in) return 0;
    NotifyClick(h, NM_CLICK, command, p);
    if (T(h) && to) SendMessageA(to, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(h));
    return 0;
}

LRESULT OnRButtonUp(HWND h, Toolbar& s, LPARAM l) {
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    int at = ButtonAt(h, s, p);
    NotifyClick(h, NM_RCLICK, at >= 0 ? s.buttons[size_t(at)].command : -1, p);
    return 0;
}

LRESULT OnCaptureChanged(HWND h, Toolbar& s, HWND to) {
    if (to == h || s.pressed < 0) return 0;
    s.buttons[size_t(s.pressed)].state &= BYTE(~TBSTATE_PRESSED);
    s.pressed = -1;
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// ---- the window ----

LRESULT OnDestroy(HWND h, UINT m, WPARAM w, LPARAM l, Toolbar* s) {
    if (s->own_images) ImageList_Destroy(s->own_images);
    return FreeState(h, m, w, l, s);
}

LRESULT OnSetFont(HWND h, Toolbar& s, WPARAM w, LPARAM l) {
    s.font = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetExtendedStyle(HWND h, Toolbar& s, WPARAM mask, LPARAM l) {
    DWORD old = s.ex_style;
    s.ex_style = mask ? (s.ex_style & ~DWORD(mask)) | (DWORD(l) & DWORD(mask)) : DWORD(l);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LRESULT OnSetCmdId(HWND h, Toolbar& s, int k, int command) {
    if (k < 0 || k >= int(s.buttons.size())) return FALSE;
    s.buttons[size_t(k)].command = command;
    return Changed(h, s);
}

LRESULT OnChangeBitmap(HWND h, Toolbar& s, int command, int image) {
    Button* b = ByCommand(s, command);
    if (!b) return FALSE;
    b->image = image;
    return Changed(h, s);
}

LRESULT OnGetBitmap(Toolbar& s, int command) {
    Button* b = ByCommand(s, command);
    return b ? b->image : -1;
}

LRESULT OnSetParent(HWND h, Toolbar& s, HWND to) {
    HWND old = NotifyWindow(h, s);
    s.notify = to;
    return reinterpret_cast<LRESULT>(old);
}


LRESULT ButtonMessage(HWND h, Toolbar& s, UINT m, WPARAM w, LPARAM l) {
    const bool on = LOWORD(l) != 0;
    switch (m) {
        case TB_ENABLEBUTTON: return SetStateBit(h, s, int(w), TBSTATE_ENABLED, on);
        case TB_CHECKBUTTON: return SetStateBit(h, s, int(w), TBSTATE_CHECKED, on);
        case TB_PRESSBUTTON: return SetStateBit(h, s, int(w), TBSTATE_PRESSED, on);
        case TB_HIDEBUTTON: return SetStateBit(h, s, int(w), TBSTATE_HIDDEN, on);
        case TB_INDETERMINATE: return SetStateBit(h, s, int(w), TBSTATE_INDETERMINATE, on);
        case TB_MARKBUTTON: return SetStateBit(h, s, int(w), TBSTATE_MARKED, on);
        case TB_ISBUTTONENABLED: return HasStateBit(s, int(w), TBSTATE_ENABLED);
        case TB_ISBUTTONCHECKED: return HasStateBit(s, int(w), TBSTATE_CHECKED);
        case TB_ISBUTTONPRESSED: return HasStateBit(s, int(w), TBSTATE_PRESSED);
        case TB_ISBUTTONHIDDEN: return HasStateBit(s, int(w), TBSTATE_HIDDEN);
        case TB_ISBUTTONINDETERMINATE: return HasStateBit(s, int(w), TBSTATE_INDETERMINATE);
        case TB_ISBUTTONHIGHLIGHTED: return HasStateBit(s, int(w), TBSTATE_MARKED);
        case TB_SETSTATE: return OnSetState(h, s, int(w), BYTE(LOWORD(l)));
        case TB_GETSTATE: return OnGetState(s, int(w));
    }
    return -2;
}

}  // namespace

LRESULT CALLBACK ToolbarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Toolbar* s = AttachState<Toolbar>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    if (m >= TB_ENABLEBUTTON && m <= TB_GETSTATE) {
        LRESULT r = ButtonMessage(h, *s, m, w, l);
        if (r != -2) return r;
    }
    switch (m) {
        case WM_NCDESTROY: return OnDestroy(h, m, w, l, s);
        case WM_CREATE: return OnAutoSize(h, *s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE:
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFONT: return OnSetFont(h, *s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, *s, l);
        case WM_LBUTTONUP: return OnLButtonUp(h, *s, l);
        case WM_RBUTTONUP: return OnRButtonUp(h, *s, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, *s, l);
        case WM_MOUSELEAVE: return OnMouseLeave(h, *s);
        case WM_CAPTURECHANGED: return OnCaptureChanged(h, *s, reinterpret_cast<HWND>(l));
        case TB_BUTTONSTRUCTSIZE: return 0;
        case TB_ADDBUTTONSA: return OnInsert(h, *s, -1, reinterpret_cast<const TBBUTTON*>(l), int(w));
        case TB_INSERTBUTTONA: return OnInsert(h, *s, int(w), reinterpret_cast<const TBBUTTON*>(l), 1);
        case TB_DELETEBUTTON: return OnDelete(h, *s, int(w));
        case TB_MOVEBUTTON: return OnMove(h, *s, int(w), int(l));
        case TB_GETBUTTON: return OnGetButton(*s, int(w), reinterpret_cast<TBBUTTON*>(l));
        case TB_BUTTONCOUNT: return LRESULT(s->buttons.size());
        case TB_COMMANDTOINDEX: return IndexOf(*s, int(w));
        case TB_GETITEMRECT: return OnGetRect(h, *s, int(w), reinterpret_cast<RECT*>(l));
        case TB_GETRECT: return OnGetRect(h, *s, IndexOf(*s, int(w)), reinterpret_cast<RECT*>(l));
        case TB_GETBUTTONTEXTA: return OnGetButtonText(*s, int(w), reinterpret_cast<char*>(l));
        case TB_ADDSTRINGA: return OnAddString(*s, reinterpret_cast<HINSTANCE>(w), l);
        case TB_ADDBITMAP: return OnAddBitmap(h, *s, int(w), reinterpret_cast<const TBADDBITMAP*>(l));
        case TB_SETIMAGELIST: return OnSetImageList(h, s->images, reinterpret_cast<HIMAGELIST>(l));
        case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(s->images);
        case TB_SETHOTIMAGELIST: return OnSetImageList(h, s->hot_images, reinterpret_cast<HIMAGELIST>(l));
        case TB_GETHOTIMAGELIST: return reinterpret_cast<LRESULT>(s->hot_images);
        case TB_SETDISABLEDIMAGELIST: return OnSetImageList(h, s->disabled_images, reinterpret_cast<HIMAGELIST>(l));
        case TB_GETDISABLEDIMAGELIST: return reinterpret_cast<LRESULT>(s->disabled_images);
        case TB_SETBITMAPSIZE: return OnSetSize(h, s->bitmap_cx, s->bitmap_cy, l);
        case TB_SETBUTTONSIZE: return OnSetSize(h, s->button_cx, s->button_cy, l);
        case TB_GETBUTTONSIZE: { SIZE b = ButtonSize(*s, h); return MAKELONG(WORD(b.cx), WORD(b.cy)); }
        case TB_GETBUTTONINFOA: return OnButtonInfo(h, *s, w, reinterpret_cast<TBBUTTONINFOA*>(l), false);
        case TB_SETBUTTONINFOA: return OnButtonInfo(h, *s, w, reinterpret_cast<TBBUTTONINFOA*>(l), true);
        case TB_AUTOSIZE: return OnAutoSize(h, *s);
        case TB_GETMAXSIZE: return OnGetMaxSize(h, *s, reinterpret_cast<SIZE*>(l));
        case TB_GETROWS: return OnGetRows(h, *s);
        case TB_HITTEST: return OnHitTest(h, *s, reinterpret_cast<const POINT*>(l));
        case TB_GETHOTITEM: return s->hot;
        case TB_SETHOTITEM: return OnSetHotItem(h, *s, int(w));
        case TB_SETSTYLE: SetWindowLongA(h, GWL_STYLE, LONG(l)); return Changed(h, *s);
        case TB_GETSTYLE: return LRESULT(Style(h));
        case TB_SETEXTENDEDSTYLE: return OnSetExtendedStyle(h, *s, w, l);
        case TB_GETEXTENDEDSTYLE: return LRESULT(s->ex_style);
        case TB_SETINDENT: s->indent = int(w); return Changed(h, *s);
        case TB_SETTOOLTIPS: s->tooltips = reinterpret_cast<HWND>(w); return 0;
        case TB_GETTOOLTIPS: return reinterpret_cast<LRESULT>(s->tooltips);
        case TB_SETPARENT: return OnSetParent(h, *s, reinterpret_cast<HWND>(w));
        case TB_SETCMDID: return OnSetCmdId(h, *s, int(w), int(l));
        case TB_CHANGEBITMAP: return OnChangeBitmap(h, *s, int(w), int(short(LOWORD(l))));
        case TB_GETBITMAP: return OnGetBitmap(*s, int(w));
        case TB_SETMAXTEXTROWS: s->max_text_rows = std::max(0, int(w)); return Changed(h, *s);
        case TB_GETTEXTROWS: return s->max_text_rows;
        case TB_SETDRAWTEXTFLAGS: return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
