// The status bar: a strip along the bottom of its parent cut into parts, each with a text, a
// drawing type (sunken, raised, borderless or owner-drawn), an icon and a tip; or, in simple
// mode, one part across the whole strip.
#include <algorithm>
#include <string>
#include <vector>

#include "commctrl/bars.h"
#include "commctrl/common.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr int kMaxParts = 256;
constexpr int kBorderX = 0, kBorderY = 2, kGap = 2;  // what SB_GETBORDERS reports
constexpr int kTextMargin = 3;
constexpr int kGrip = 14;  // the size grip's square

struct Part {
    std::string text;
    WORD type = 0;           // SBT_* drawing type
    LPARAM data = 0;         // the owner-drawn part's value
    HICON icon = nullptr;
    std::string tip;
};

struct StatusBar {
    HWND hwnd = nullptr;
    std::vector<int> rights{-1};  // right edge of each part; -1 runs to the end
    std::vector<Part> parts{Part{}};
    Part simple_part;
    bool simple = false;
    HFONT font = nullptr;
    int min_height = 0;
    COLORREF bk = CLR_DEFAULT;
};

StatusBar* S(HWND h) { return State<StatusBar>(h); }
bool HasGrip(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & SBARS_SIZEGRIP) != 0; }

int Height(const StatusBar& s) { return std::max(s.min_height, LineHeight(s.font) + 2 * kBorderY + 4); }

RECT PartRect(HWND h, const StatusBar& s, int k) {
    RECT cr;
    GetClientRect(h, &cr);
    int end = cr.right - (HasGrip(h) ? kGrip : 0);
    if (s.simple) return RECT{kBorderX, kBorderY, end, cr.bottom};
    int left = k == 0 ? kBorderX : s.rights[size_t(k - 1)] + kGap;
    if (k > 0 && s.rights[size_t(k - 1)] < 0) left = end;  // past a part that took the rest
    int right = s.rights[size_t(k)] < 0 ? end : std::min(s.rights[size_t(k)], int(cr.right));
    return RECT{std::min(left, end), kBorderY, std::max(left, right), cr.bottom};
}

Part* PartAt(StatusBar& s, int k) {
    if (k == SB_SIMPLEID) return &s.simple_part;
    if (k < 0 || k >= int(s.parts.size())) return nullptr;
    return &s.parts[size_t(k)];
}

int PartFromPoint(HWND h, const StatusBar& s, POINT p) {
    if (s.simple) return SB_SIMPLEID;
    for (int k = 0; k < int(s.parts.size()); ++k) {
        RECT r = PartRect(h, s, k);
        if (p.x >= r.left && p.x < r.right) return k;
    }
    return -1;
}

// ---- painting ----

// Text parts cut at tabs: the first piece left, the second centred, the third right.
void DrawPartText(HDC dc, const Part& p, RECT r) {
    InflateRect(&r, -kTextMargin, 0);
    if (p.icon) {
        int sz = std::min(16, int(r.bottom - r.top));
        DrawIconEx(dc, r.left, r.top + (r.bottom - r.top - sz) / 2, p.icon, sz, sz, 0, nullptr, DI_NORMAL);
        r.left += sz + kTextMargin;
    }
    const UINT kAlign[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    std::string rest = p.text;
    for (int piece = 0; piece < 3; ++piece) {
        size_t tab = (p.type & SBT_NOTABPARSING) || piece == 2 ? std::string::npos : rest.find('\t');
        std::string s = rest.substr(0, tab);
        DrawTextA(dc, s.c_str(), -1, &r, kAlign[piece] | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        if (tab == std::string::npos) break;
        rest = rest.substr(tab + 1);
    }
}

void DrawPart(HWND h, const Part& p, HDC dc, int k, RECT r) {
    if (!(p.type & SBT_NOBORDERS)) {
        RECT e = r;
        DrawEdge(dc, &e, (p.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    RECT in = r;
    InflateRect(&in, -1, -1);
    if (p.type & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT dis{};
        dis.CtlID = UINT(GetDlgCtrlID(h));
        dis.itemID = UINT(k);
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = in;
        dis.itemData = ULONG_PTR(p.data);
        SendMessageA(GetParent(h), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
        return;
    }
    DrawPartText(dc, p, in);
}

void DrawGrip(HDC dc, const RECT& cr) {
    HPEN light = CreatePen(PS_SOLID, 1, Sys(COLOR_BTNHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, Sys(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(dc, dark);
    for (int d = 3; d < kGrip; d += 4) {
        for (int line = 0; line < 2; ++line) {
            SelectObject(dc, line == 0 ? light : dark);
            int o = d + line;
            MoveToEx(dc, cr.right - o, cr.bottom - 1, nullptr);
            LineTo(dc, cr.right, cr.bottom - 1 - o);
        }
    }
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

void Paint(HWND h, StatusBar& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, s.bk == CLR_DEFAULT ? Sys(COLOR_BTNFACE) : s.bk);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Sys(COLOR_BTNTEXT));
    if (s.simple) {
        DrawPart(h, s.simple_part, dc, SB_SIMPLEID, PartRect(h, s, 0));
    } else {
        // Parts are drawn from copies: an owner-drawn part's parent may change the bar.
        std::vector<Part> parts = s.parts;
        for (int k = 0; k < int(parts.size()); ++k) {
            StatusBar* now = S(h);
            if (!now || k >= int(now->parts.size())) break;
            RECT r = PartRect(h, *now, k);
            if (r.right > r.left) DrawPart(h, parts[size_t(k)], dc, k, r);
        }
    }
    if (HasGrip(h)) DrawGrip(dc, cr);
    SelectObject(dc, old_font);
}

void InvalidatePart(HWND h, const StatusBar& s, int k) {
    RECT r = s.simple || k == SB_SIMPLEID ? RECT{} : PartRect(h, s, k);
    InvalidateRect(h, IsRectEmpty(&r) ? nullptr : &r, TRUE);
}

// ---- message handlers ----

LRESULT OnSetParts(HWND h, StatusBar& s, int count, const int* rights) {
    if (count <= 0 || count > kMaxParts || !rights) return FALSE;
    s.rights.assign(rights, rights + count);
    s.parts.resize(size_t(count));
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetParts(const StatusBar& s, int count, int* out) {
    if (out)
        for (int k = 0; k < std::min(count, int(s.rights.size())); ++k) out[k] = s.rights[size_t(k)];
    return s.simple ? 1 : LRESULT(s.rights.size());
}

LRESULT OnSetText(HWND h, StatusBar& s, WPARAM w, LPARAM l) {
    Part* p = PartAt(s, int(w & 0xFF));
    if (!p) return FALSE;
    p->type = WORD(w & 0xFF00);
    if (p->type & SBT_OWNERDRAW) {
        p->data = l;
        p->text.clear();
    } else {
        p->text = l ? reinterpret_cast<const char*>(l) : "";
        p->data = 0;
    }
    InvalidatePart(h, s, int(w & 0xFF));
    return TRUE;
}

// Length in the low word, drawing type in the high word; an owner-drawn part gives its value.
LRESULT OnGetText(StatusBar& s, int k, char* buf) {
    Part* p = PartAt(s, k);
    if (!p) return 0;
    if (p->type & SBT_OWNERDRAW) return p->data;
    // The caller sized its buffer by SB_GETTEXTLENGTH, which reports at most 0xFFFF characters.
    const size_t n = std::min<size_t>(p->text.size(), 0xFFFF);
    if (buf) {
        memcpy(buf, p->text.data(), n);
        buf[n] = '\0';
    }
    return MAKELONG(WORD(n), p->type);
}

LRESULT OnGetTextLength(StatusBar& s, int k) {
    Part* p = PartAt(s, k);
    if (!p) return 0;
    return MAKELONG(WORD(std::min<size_t>(p->text.size(), 0xFFFF)), p->type);
}

LRESULT OnGetRect(HWND h, const StatusBar& s, int k, RECT* out) {
    if (!out || (!s.simple && (k < 0 || k >= int(s.parts.size())))) return FALSE;
    *out = PartRect(h, s, k);
    return TRUE;
}

LRESULT OnGetBorders(int* out) {
    if (!out) return FALSE;
    out[0] = kBorderX;
    out[1] = kBorderY;
    out[2] = kGap;
    return TRUE;
}

LRESULT OnSimple(HWND h, StatusBar& s, BOOL on) {
    if (bool(on) == s.simple) return 0;
    s.simple = on != 0;
    InvalidateRect(h, nullptr, TRUE);
    NMHDR nm{};
    SendNotify(h, SBN_SIMPLEMODECHANGE, &nm);
    return 0;
}

LRESULT OnSetIcon(HWND h, StatusBar& s, int k, HICON icon) {
    Part* p = PartAt(s, k == -1 ? SB_SIMPLEID : k);
    if (!p) return FALSE;
    p->icon = icon;
    InvalidatePart(h, s, k);
    return TRUE;
}

LRESULT OnGetIcon(StatusBar& s, int k) {
    Part* p = PartAt(s, k == -1 ? SB_SIMPLEID : k);
    return p ? reinterpret_cast<LRESULT>(p->icon) : 0;
}

LRESULT OnSetTipText(StatusBar& s, int k, const char* text) {
    if (Part* p = PartAt(s, k)) p->tip = text ? text : "";
    return 0;
}

LRESULT OnGetTipText(StatusBar& s, WPARAM w, char* buf) {
    Part* p = PartAt(s, LOWORD(w));
    if (p && buf) CopyOut(p->tip, buf, HIWORD(w));
    return 0;
}

LRESULT OnMouse(HWND h, StatusBar& s, UINT code, LPARAM l) {
    NMMOUSE nm{};
    nm.pt = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    int k = PartFromPoint(h, s, nm.pt);
    nm.dwItemSpec = DWORD_PTR(k);
    SendNotify(h, code, &nm.hdr);
    return 0;
}

LRESULT OnNcHitTest(HWND h, WPARAM w, LPARAM l) {
    LRESULT hit = DefWindowProcA(h, WM_NCHITTEST, w, l);
    if (hit != HTCLIENT || !HasGrip(h)) return hit;
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    ScreenToClient(h, &p);
    RECT cr;
    GetClientRect(h, &cr);
    HWND top = GetAncestor(h, GA_ROOT);
    bool sizable = top && (GetWindowLongA(top, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(top);
    // The grip sizes the window it belongs to; the bar itself lets the click through to it.
    if (sizable && p.x >= cr.right - kGrip && p.y >= cr.bottom - kGrip) return HTBOTTOMRIGHT;
    return hit;
}

LRESULT OnWmSetText(HWND h, StatusBar& s, LPARAM l) {
    DefWindowProcA(h, WM_SETTEXT, 0, l);
    return OnSetText(h, s, 0, l);
}

LRESULT OnWmGetText(StatusBar& s, WPARAM cap, LPARAM l) {
    Part& p = s.parts[0];
    CopyOut(p.text, reinterpret_cast<char*>(l), int(cap));
    return cap ? LRESULT(std::min(p.text.size(), size_t(cap - 1))) : 0;
}

LRESULT Realign(HWND h, StatusBar& s) {
    AlignBar(h, Height(s), BarEdge::Bottom);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetFont(HWND h, StatusBar& s, WPARAM w, LPARAM l) {
    s.font = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnCreate(HWND h, StatusBar& s, const CREATESTRUCTA* cs) {
    if (cs && cs->lpszName && *cs->lpszName) s.parts[0].text = cs->lpszName;
    return Realign(h, s);
}

LRESULT OnSetBkColor(HWND h, StatusBar& s, COLORREF c) {
    COLORREF old = s.bk;
    s.bk = c;
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

}  // namespace

LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    StatusBar* s = AttachState<StatusBar>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_CREATE: return OnCreate(h, *s, reinterpret_cast<const CREATESTRUCTA*>(l));
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE: return Realign(h, *s);
        case WM_SETFONT: return OnSetFont(h, *s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_SETTEXT: return OnWmSetText(h, *s, l);
        case WM_GETTEXT: return OnWmGetText(*s, w, l);
        case WM_GETTEXTLENGTH: return LRESULT(s->parts[0].text.size());
        case WM_NCHITTEST: return OnNcHitTest(h, w, l);
        case WM_LBUTTONUP: return OnMouse(h, *s, NM_CLICK, l);
        case WM_LBUTTONDBLCLK: return OnMouse(h, *s, NM_DBLCLK, l);
        case WM_RBUTTONUP: return OnMouse(h, *s, NM_RCLICK, l);
        case WM_RBUTTONDBLCLK: return OnMouse(h, *s, NM_RDBLCLK, l);
        case SB_SETPARTS: return OnSetParts(h, *s, int(w), reinterpret_cast<const int*>(l));
        case SB_GETPARTS: return OnGetParts(*s, int(w), reinterpret_cast<int*>(l));
        case SB_SETTEXTA: return OnSetText(h, *s, w, l);
        case SB_GETTEXTA: return OnGetText(*s, int(w), reinterpret_cast<char*>(l));
        case SB_GETTEXTLENGTHA: return OnGetTextLength(*s, int(w));
        case SB_GETRECT: return OnGetRect(h, *s, int(w), reinterpret_cast<RECT*>(l));
        case SB_GETBORDERS: return OnGetBorders(reinterpret_cast<int*>(l));
        case SB_SETMINHEIGHT: s->min_height = int(w); return 0;
        case SB_SIMPLE: return OnSimple(h, *s, BOOL(w));
        case SB_ISSIMPLE: return s->simple;
        case SB_SETICON: return OnSetIcon(h, *s, int(w), reinterpret_cast<HICON>(l));
        case SB_GETICON: return OnGetIcon(*s, int(w));
        case SB_SETTIPTEXTA: return OnSetTipText(*s, int(w), reinterpret_cast<const char*>(l));
        case SB_GETTIPTEXTA: return OnGetTipText(*s, w, reinterpret_cast<char*>(l));
        case SB_SETBKCOLOR: return OnSetBkColor(h, *s, COLORREF(l));
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
