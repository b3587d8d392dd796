// The IP-address control: four number fields (edit controls of its own) between dots, each
// limited to a range, that the user fills in and moves between, with one address for the program.
#include <algorithm>
#include <array>
#include <string>

#include "commctrl/common.h"
#include "controls/common.h"

namespace plat::commctrl {
namespace {

constexpr int kFields = 4;
constexpr const char* kFieldProc = "plat.ipfield.proc";  // on a field: the edit's own procedure

struct Field {
    HWND edit = nullptr;
    int lo = 0, hi = 255;
    std::string on_entry;  // the text when the field got the focus
};

struct IpAddress {
    HWND hwnd = nullptr;
    std::array<Field, kFields> fields;
    HFONT font = nullptr;
    bool quiet = false;  // the program is setting the fields: no change notices
    HWND came_from = nullptr;  // where the focus was when the control passed it to a field
};

IpAddress* S(HWND h) { return State<IpAddress>(h); }

int IndexOf(const IpAddress& s, HWND edit) {
    for (int k = 0; k < kFields; ++k)
        if (s.fields[size_t(k)].edit == edit) return k;
    return -1;
}

std::string FieldText(HWND edit) {
    char buf[8] = {};
    GetWindowTextA(edit, buf, sizeof buf);
    return buf;
}

// The field's number; -1 when blank.
int FieldValue(HWND edit) {
    std::string t = FieldText(edit);
    return t.empty() ? -1 : std::atoi(t.c_str());
}

void SetFieldValue(IpAddress& s, int k, int v) {
    bool quiet = s.quiet;
    s.quiet = true;
    SetWindowTextA(s.fields[size_t(k)].edit, v < 0 ? "" : std::to_string(v).c_str());
    s.quiet = quiet;
}

void FocusField(IpAddress& s, int k, bool at_end = false) {
    if (k < 0 || k >= kFields) return;
    HWND e = s.fields[size_t(k)].edit;
    SetFocus(e);
    if (at_end) SendMessageA(e, EM_SETSEL, 0x7FFF, 0x7FFF);
    else SendMessageA(e, EM_SETSEL, 0, -1);
}

// A field the user leaves: an out-of-range number is brought into the range, and a change
// goes to the parent, which may put another value in its place.
void FieldLeft(HWND h, int k) {
    IpAddress* s = S(h);
    if (!s) return;
    Field& f = s->fields[size_t(k)];
    int v = FieldValue(f.edit);
    int kept = v < 0 ? -1 : std::clamp(v, f.lo, f.hi);
    if (kept != v) SetFieldValue(*s, k, kept);
    if (FieldText(f.edit) == f.on_entry && kept == v) return;
    NMIPADDRESS nm{};
    nm.iField = k;
    nm.iValue = kept;
    SendNotify(h, IPN_FIELDCHANGED, &nm.hdr);
    if (!(s = S(h))) return;
    Field& g = s->fields[size_t(k)];
    int answer = nm.iValue < 0 ? -1 : std::clamp(nm.iValue, g.lo, g.hi);
    if (answer != kept) SetFieldValue(*s, k, answer);
    g.on_entry = FieldText(g.edit);
}

void NotifyParent(HWND h, int code) {
    HWND parent = GetParent(h);
    if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
}

// Whether the focus moves within the control. The control itself only holds the focus for the
// moment it takes to hand it to a field, so a field focused from it was focused from where the
// control's own focus came.
bool Ours(HWND h, HWND other) { return other && (other == h || GetParent(other) == h); }
HWND FocusedFrom(HWND h, const IpAddress& s, HWND from) { return from == h ? s.came_from : from; }

// ---- a field's own keys --------------------------------------------------------------------

DWORD Caret(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return a == b ? a : DWORD(-1);  // -1: a selection
}

// True when the key moved the focus to a neighbouring field instead of editing this one.
bool OnFieldKey(HWND h, int k, HWND e, WPARAM vk) {
    IpAddress* s = S(h);
    DWORD caret = Caret(e), len = DWORD(FieldText(e).size());
    switch (vk) {
        case VK_BACK:
        case VK_LEFT:
            if (caret != 0 || k == 0) return false;
            FocusField(*s, k - 1, true);
            return true;
        case VK_RIGHT:
            if (caret != len || k == kFields - 1) return false;
            FocusField(*s, k + 1, false);
            SendMessageA(s->fields[size_t(k + 1)].edit, EM_SETSEL, 0, 0);
            return true;
        default: return false;
    }
}

LRESULT OnFieldChar(HWND h, int k, HWND e, WNDPROC old, WPARAM ch, LPARAM l) {
    if (ch == '.' || ch == ' ') {
        if (!FieldText(e).empty() && k < kFields - 1) FocusField(*S(h), k + 1);
        return 0;
    }
    LRESULT r = CallWindowProcA(old, e, WM_CHAR, ch, l);
    // A full field hands the typing on to the next.
    IpAddress* s = S(h);
    if (s && ch >= '0' && ch <= '9' && FieldText(e).size() == 3 && Caret(e) == 3 && k < kFields - 1)
        FocusField(*s, k + 1);
    return r;
}

LRESULT CALLBACK FieldProc(HWND e, UINT m, WPARAM w, LPARAM l) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(e, kFieldProc));
    HWND h = GetParent(e);
    IpAddress* s = h ? S(h) : nullptr;
    int k = s ? IndexOf(*s, e) : -1;
    if (!old) return DefWindowProcA(e, m, w, l);
    if (k < 0) return CallWindowProcA(old, e, m, w, l);
    switch (m) {
        case WM_CHAR: return OnFieldChar(h, k, e, old, w, l);
        case WM_KEYDOWN:
            if (OnFieldKey(h, k, e, w)) return 0;
            break;
        case WM_SETFOCUS:
            s->fields[size_t(k)].on_entry = FieldText(e);
            if (!Ours(h, FocusedFrom(h, *s, reinterpret_cast<HWND>(w)))) NotifyParent(h, EN_SETFOCUS);
            break;
        case WM_KILLFOCUS: {
            LRESULT r = CallWindowProcA(old, e, m, w, l);
            FieldLeft(h, k);
            if (!Ours(h, reinterpret_cast<HWND>(w))) NotifyParent(h, EN_KILLFOCUS);
            return r;
        }
        case WM_NCDESTROY:
            RemovePropA(e, kFieldProc);
            SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            break;
    }
    return CallWindowProcA(old, e, m, w, l);
}

// ---- the control ---------------------------------------------------------------------------

int DotWidth(HFONT font) { return std::max(4, TextWidth(font, ".") + 2); }

void Layout(HWND h, IpAddress& s) {
    RECT cr;
    GetClientRect(h, &cr);
    int dot = DotWidth(FontOr(s.font));
    int fw = std::max(0, (int(cr.right) - 3 * dot) / kFields);
    int lh = LineHeight(FontOr(s.font)), y = std::max(0, (int(cr.bottom) - lh) / 2);
    for (int k = 0; k < kFields; ++k)
        MoveWindow(s.fields[size_t(k)].edit, k * (fw + dot), y, fw, std::min(lh, int(cr.bottom)), TRUE);
}

LRESULT OnCreate(HWND h, IpAddress* s) {
    DWORD style = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_NUMBER;
    if (GetWindowLongA(h, GWL_STYLE) & WS_DISABLED) style |= WS_DISABLED;
    for (int k = 0; k < kFields; ++k) {
        HWND e = CreateWindowExA(0, "Edit", "", style, 0, 0, 0, 0, h, reinterpret_cast<HMENU>(intptr_t(k)), nullptr, nullptr);
        if (!e) return -1;
        s->fields[size_t(k)].edit = e;
        SendMessageA(e, EM_LIMITTEXT, 3, 0);
        LONG_PTR old = SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc));
        SetPropA(e, kFieldProc, reinterpret_cast<HANDLE>(old));
    }
    Layout(h, *s);
    return 0;
}

void Paint(HWND h, IpAddress& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    UINT kind = IsWindowEnabled(h) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    if (HBRUSH bg = controls::ControlColor(h, dc, kind)) FillRect(dc, &cr, bg);
    HGDIOBJ old = SelectObject(dc, FontOr(s.font));
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(h)) SetTextColor(dc, Sys(COLOR_GRAYTEXT));
    for (int k = 0; k + 1 < kFields; ++k) {
        RECT fr;
        GetWindowRect(s.fields[size_t(k)].edit, &fr);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&fr), 2);
        RECT dot{fr.right, fr.top, fr.right + DotWidth(FontOr(s.font)), fr.bottom};
        DrawTextA(dc, ".", 1, &dot, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
    SelectObject(dc, old);
}

LRESULT OnSetFont(HWND h, IpAddress* s, WPARAM w, LPARAM l) {
    s->font = reinterpret_cast<HFONT>(w);
    for (Field& f : s->fields) SendMessageA(f.edit, WM_SETFONT, w, l);
    Layout(h, *s);
    if (l) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnFieldCommand(HWND h, IpAddress* s, WPARAM w, LPARAM l) {
    if (HIWORD(w) == EN_CHANGE && !s->quiet && IndexOf(*s, reinterpret_cast<HWND>(l)) >= 0) NotifyParent(h, EN_CHANGE);
    return 0;
}

// The fields ask the control for their colours; the control asks its parent, for itself.
LRESULT OnFieldColor(HWND h, UINT m, WPARAM w) {
    HWND parent = GetParent(h);
    LRESULT b = parent ? SendMessageA(parent, m, w, reinterpret_cast<LPARAM>(h)) : 0;
    return b ? b : DefWindowProcA(h, m, w, reinterpret_cast<LPARAM>(h));
}

LRESULT OnEnable(HWND h, IpAddress* s, WPARAM w) {
    for (Field& f : s->fields) EnableWindow(f.edit, BOOL(w));
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

void SetAll(IpAddress& s, const int (&v)[kFields]) {
    for (int k = 0; k < kFields; ++k) {
        SetFieldValue(s, k, v[k]);
        s.fields[size_t(k)].on_entry = FieldText(s.fields[size_t(k)].edit);
    }
}

LRESULT OnSetAddress(IpAddress* s, LPARAM l) {
    DWORD a = DWORD(l);
    const int v[kFields] = {int(FIRST_IPADDRESS(a)), int(SECOND_IPADDRESS(a)), int(THIRD_IPADDRESS(a)),
                            int(FOURTH_IPADDRESS(a))};
    SetAll(*s, v);
    return TRUE;
}

LRESULT OnGetAddress(IpAddress* s, LPARAM l) {
    DWORD a = 0;
    int filled = 0;
    for (const Field& f : s->fields) {
        int v = FieldValue(f.edit);
        if (v >= 0) ++filled;
        a = (a << 8) | DWORD(std::max(v, 0) & 0xFF);
    }
    if (auto* out = reinterpret_cast<DWORD*>(l)) *out = a;
    return filled;
}

LRESULT OnSetRange(IpAddress* s, WPARAM w, LPARAM l) {
    if (w >= WPARAM(kFields)) return FALSE;
    int lo = int(LOBYTE(LOWORD(l))), hi = int(HIBYTE(LOWORD(l)));
    if (lo > hi) return FALSE;
    s->fields[size_t(w)].lo = lo;
    s->fields[size_t(w)].hi = hi;
    return TRUE;
}

// A field past the last one means the first blank field, else the first.
LRESULT OnSetFocusField(IpAddress* s, WPARAM w) {
    int k = int(w);
    if (w >= WPARAM(kFields)) {
        k = 0;
        for (int j = kFields - 1; j >= 0; --j)
            if (FieldValue(s->fields[size_t(j)].edit) < 0) k = j;
    }
    FocusField(*s, k);
    return 0;
}

LRESULT OnIsBlank(IpAddress* s) {
    for (const Field& f : s->fields)
        if (!FieldText(f.edit).empty()) return FALSE;
    return TRUE;
}

LRESULT OnIpMessage(HWND h, IpAddress* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case IPM_CLEARADDRESS: {
            const int blank[kFields] = {-1, -1, -1, -1};
            SetAll(*s, blank);
            return 0;
        }
        case IPM_SETADDRESS: return OnSetAddress(s, l);
        case IPM_GETADDRESS: return OnGetAddress(s, l);
        case IPM_SETRANGE: return OnSetRange(s, w, l);
        case IPM_SETFOCUS: return OnSetFocusField(s, w);
        case IPM_ISBLANK: return OnIsBlank(s);
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace

LRESULT CALLBACK IpAddressProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    IpAddress* s = AttachState<IpAddress>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_CREATE: return OnCreate(h, s);
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE: Layout(h, *s); return 0;
        case WM_SETFONT: return OnSetFont(h, s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_SETFOCUS:
            s->came_from = reinterpret_cast<HWND>(w);
            FocusField(*s, 0);
            return 0;
        case WM_ENABLE: return OnEnable(h, s, w);
        case WM_COMMAND: return OnFieldCommand(h, s, w, l);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: return OnFieldColor(h, m, w);
        default: return OnIpMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl
