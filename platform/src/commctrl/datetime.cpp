// The date-time picker: a date or a time shown in fields of a picture, edited field by field
// with the arrow keys and digits or with an up-down pair, and for dates a drop-down month
// calendar run in a loop of its own until a date is chosen or the calendar is dismissed.
#include <algorithm>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "commctrl/dates.h"
#include "windlg.h"

namespace plat::commctrl {
using namespace dates;
namespace {

constexpr int kButton = 17;      // the drop-down button or the up-down pair at the right
constexpr int kCheck = 16;       // the check box of DTS_SHOWNONE at the left
constexpr int kTextLeft = 2;

struct Segment {
    char field = 0;  // 'd', 'M', 'y', 'h', 'H', 'm', 's', 't'; 0 for literal text
    int count = 0;
    std::string text;
    RECT rect{};
};

struct DateTime {
    HWND hwnd = nullptr;
    SYSTEMTIME st{};
    bool none = false;
    std::string picture;  // DTM_SETFORMAT's; empty: the style's
    bool has_min = false, has_max = false;
    SYSTEMTIME min{}, max{};
    HFONT font = nullptr, mc_font = nullptr;
    COLORREF mc_colors[6];
    bool mc_color_set[6] = {};
    HWND calendar = nullptr;  // the drop-down while it is open
    bool chosen = false;      // the drop-down's calendar answered MCN_SELECT
    int field = 0;            // index of the focused editable segment
    int typed = 0;            // digits typed into the focused field so far
};

DateTime* D(HWND h) { return State<DateTime>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool IsTime(HWND h) { return (Style(h) & DTS_TIMEFORMAT) == DTS_TIMEFORMAT; }
bool UpDown(HWND h) { return (Style(h) & DTS_UPDOWN) != 0; }
bool ShowNone(HWND h) { return (Style(h) & DTS_SHOWNONE) != 0; }

std::string Picture(HWND h, const DateTime& s) {
    if (!s.picture.empty()) return s.picture;
    if (IsTime(h)) return "h:mm:ss tt";
    if ((Style(h) & DTS_SHORTDATECENTURYFORMAT) == DTS_SHORTDATECENTURYFORMAT) return "M/d/yyyy";
    if (Style(h) & DTS_LONGDATEFORMAT) return "dddd, MMMM dd, yyyy";
    return "M/d/yyyy";
}

// The picture cut into fields and literal text, each with its place in the control.
std::vector<Segment> Segments(HWND h, const DateTime& s) {
    std::string pic = Picture(h, s);
    std::vector<Segment> out;
    for (size_t i = 0; i < pic.size();) {
        Segment seg;
        char c = pic[i];
        size_t j = i;
        if (c == '\'') {
            j = pic.find('\'', i + 1);
            j = j == std::string::npos ? pic.size() : j + 1;
            seg.text = Format(s.st, pic.substr(i, j - i));
        } else {
            while (j < pic.size() && pic[j] == c) ++j;
            if (std::string("dMyhHmst").find(c) != std::string::npos) {
                seg.field = c;
                seg.count = int(j - i);
            }
            seg.text = Format(s.st, pic.substr(i, j - i));
        }
        out.push_back(seg);
        i = j;
    }
    RECT cr;
    GetClientRect(h, &cr);
    int x = kTextLeft + (ShowNone(h) ? kCheck : 0);
    for (Segment& seg : out) {
        int w = TextWidth(s.font, seg.text);
        seg.rect = RECT{x, 0, x + w, cr.bottom};
        x += w;
    }
    return out;
}

std::vector<int> Editable(const std::vector<Segment>& segs) {
    std::vector<int> out;
    for (int k = 0; k < int(segs.size()); ++k)
        if (segs[size_t(k)].field) out.push_back(k);
    return out;
}

std::string Text(HWND h, const DateTime& s) {
    std::string t;
    for (const Segment& seg : Segments(h, s)) t += seg.text;
    return t;
}

RECT ButtonRect(HWND h) {
    RECT cr;
    GetClientRect(h, &cr);
    return RECT{std::max(0, int(cr.right) - kButton), 0, cr.right, cr.bottom};
}

bool InRange(const DateTime& s, const SYSTEMTIME& d) {
    if (s.has_min && CompareDays(d, s.min) < 0) return false;
    if (s.has_max && CompareDays(d, s.max) > 0) return false;
    return true;
}

void NotifyChange(HWND h) {
    DateTime* s = D(h);
    if (!s) return;
    NMDATETIMECHANGE nm{};
    nm.dwFlags = s->none ? GDT_NONE : GDT_VALID;
    nm.st = s->st;
    SendNotify(h, DTN_DATETIMECHANGE, &nm.nmhdr);
}

// ---- painting ----

void DrawCheck(HWND h, const DateTime& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    int top = (cr.bottom - 13) / 2;
    RECT box{2, top, 15, top + 13};
    DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (s.none ? 0 : DFCS_CHECKED));
}

void DrawButton(HWND h, const DateTime& s, HDC dc) {
    RECT b = ButtonRect(h);
    UINT inactive = IsWindowEnabled(h) ? 0 : DFCS_INACTIVE;
    if (!UpDown(h)) {
        DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | inactive | (s.calendar ? DFCS_PUSHED : 0));
        return;
    }
    RECT up = b, down = b;
    up.bottom = down.top = (b.top + b.bottom) / 2;
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | inactive);
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | inactive);
}

void Paint(HWND h, const DateTime& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    bool enabled = IsWindowEnabled(h) != 0;
    FillSolid(dc, cr, Sys(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    SetBkMode(dc, TRANSPARENT);
    std::vector<Segment> segs = Segments(h, s);
    std::vector<int> fields = Editable(segs);
    int focus = GetFocus() == h && !s.none && !fields.empty() ? fields[size_t(std::min(s.field, int(fields.size()) - 1))] : -1;
    for (int k = 0; k < int(segs.size()); ++k) {
        const Segment& seg = segs[size_t(k)];
        RECT r = seg.rect;
        COLORREF fg = !enabled || s.none ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_WINDOWTEXT);
        if (k == focus) {
            FillSolid(dc, r, Sys(COLOR_HIGHLIGHT));
            fg = Sys(COLOR_HIGHLIGHTTEXT);
        }
        SetTextColor(dc, fg);
        DrawTextA(dc, seg.text.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (ShowNone(h)) DrawCheck(h, s, dc);
    DrawButton(h, s, dc);
    SelectObject(dc, old_font);
}

// ---- editing ----

// The date with one field moved by `delta`, or set to `value` when delta is 0; each field
// wraps within its own range.
SYSTEMTIME Adjusted(SYSTEMTIME st, char field, int delta, int value) {
    auto wrap = [](int v, int lo, int hi) { return lo + ((v - lo) % (hi - lo + 1) + (hi - lo + 1)) % (hi - lo + 1); };
    switch (field) {
        case 'd': {
            int days = DaysInMonth(st.wYear, st.wMonth);
            st.wDay = WORD(delta ? wrap(st.wDay + delta, 1, days) : std::clamp(value, 1, days));
            break;
        }
        case 'M':
            st.wMonth = WORD(delta ? wrap(st.wMonth + delta, 1, 12) : std::clamp(value, 1, 12));
            st.wDay = WORD(std::min<int>(st.wDay, DaysInMonth(st.wYear, st.wMonth)));
            break;
        case 'y':
            st.wYear = WORD(std::clamp(delta ? st.wYear + delta : value, 1601, 9999));
            st.wDay = WORD(std::min<int>(st.wDay, DaysInMonth(st.wYear, st.wMonth)));
            break;
        case 'h':
        case 'H': st.wHour = WORD(delta ? wrap(st.wHour + delta, 0, 23) : std::clamp(value, 0, 23)); break;
        case 'm': st.wMinute = WORD(delta ? wrap(st.wMinute + delta, 0, 59) : std::clamp(value, 0, 59)); break;
        case 's': st.wSecond = WORD(delta ? wrap(st.wSecond + delta, 0, 59) : std::clamp(value, 0, 59)); break;
        case 't': st.wHour = WORD((st.wHour + 12) % 24); break;
    }
    return WithWeekday(st);
}

char FocusedField(HWND h, const DateTime& s) {
    std::vector<Segment> segs = Segments(h, s);
    std::vector<int> fields = Editable(segs);
    if (fields.empty()) return 0;
    return segs[size_t(fields[size_t(std::min(s.field, int(fields.size()) - 1))])].field;
}

void SetByUser(HWND h, DateTime& s, const SYSTEMTIME& st) {
    if (!InRange(s, st)) return;
    s.st = st;
    InvalidateRect(h, nullptr, TRUE);
    NotifyChange(h);
}

void Step(HWND h, DateTime& s, int delta) {
    if (s.none) return;
    s.typed = 0;
    SetByUser(h, s, Adjusted(s.st, FocusedField(h, s), delta, 0));
}

void MoveField(HWND h, DateTime& s, int by) {
    int n = int(Editable(Segments(h, s)).size());
    if (n == 0) return;
    s.field = std::clamp(s.field + by, 0, n - 1);
    s.typed = 0;
    InvalidateRect(h, nullptr, TRUE);
}

void TypeDigit(HWND h, DateTime& s, int digit) {
    char f = FocusedField(h, s);
    if (s.none || !f || f == 't') return;
    int limit = f == 'y' ? 9999 : f == 'd' ? 31 : f == 'M' ? 12 : f == 'h' || f == 'H' ? 23 : 59;
    int v = s.typed * 10 + digit;
    s.typed = v > limit ? digit : v;
    if (f == 'y' && s.typed < 1601) {  // a year is taken once it has its four digits
        InvalidateRect(h, nullptr, TRUE);
        return;
    }
    SetByUser(h, s, Adjusted(s.st, f, 0, s.typed));
}

// ---- the drop-down ----

HWND OpenCalendar(HWND h, DateTime& s) {
    RECT wr;
    GetWindowRect(h, &wr);
    HWND cal = CreateWindowExA(WS_EX_TOOLWINDOW, MONTHCAL_CLASSA, "", WS_POPUP | WS_BORDER, wr.left, wr.bottom, 0, 0, h,
                               nullptr, nullptr, nullptr);
    if (!cal) return nullptr;
    if (s.mc_font) SendMessageA(cal, WM_SETFONT, reinterpret_cast<WPARAM>(s.mc_font), FALSE);
    for (int k = 0; k < 6; ++k)
        if (s.mc_color_set[k]) SendMessageA(cal, MCM_SETCOLOR, k, LPARAM(s.mc_colors[k]));
    SYSTEMTIME range[2] = {s.min, s.max};
    SendMessageA(cal, MCM_SETRANGE, (s.has_min ? GDTR_MIN : 0) | (s.has_max ? GDTR_MAX : 0), reinterpret_cast<LPARAM>(range));
    SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&s.st));
    RECT need{};
    SendMessageA(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&need));
    int cx = need.right + 2, cy = need.bottom + 2;  // with the border
    int x = (Style(h) & DTS_RIGHTALIGN) ? wr.right - cx : wr.left;
    SetWindowPos(cal, HWND_TOP, x, wr.bottom, cx, cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetFocus(cal);
    return cal;
}

bool IsMouseDown(UINT m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_NCLBUTTONDOWN ||
           m == WM_NCRBUTTONDOWN;
}

// Runs messages until a date is chosen, Escape or a click elsewhere dismisses the calendar,
// either window goes, or the program is asked to quit (which the loop passes on).
void RunDropDown(HWND h, HWND cal) {
    MSG msg;
    for (;;) {
        DateTime* s = D(h);
        if (!s || s->chosen || !IsWindow(cal)) return;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        bool in_calendar = msg.hwnd == cal || IsChild(cal, msg.hwnd);
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return;
        if (IsMouseDown(msg.message) && !in_calendar) {
            // A click on the picker itself only closes; one elsewhere goes on to its window.
            if (msg.hwnd != h) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        // The calendar's own notices go to its owner's window: a release on a date, or
        // Enter, is read here instead.
        if (in_calendar && msg.message == WM_LBUTTONUP && IsWindow(cal)) {
            MCHITTESTINFO ht{};
            ht.cbSize = sizeof ht;
            ht.pt = POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            UINT hit = UINT(SendMessageA(cal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
            if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && (hit & 0xFFFF) == 1) s->chosen = true;
        }
        if (in_calendar && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) s->chosen = true;
    }
}

LRESULT DropDown(HWND h) {
    DateTime* s = D(h);
    if (!s || s->calendar || UpDown(h)) return 0;
    NMHDR nm{};
    SendNotify(h, DTN_DROPDOWN, &nm);
    s = D(h);
    if (!s) return 0;
    s->chosen = false;
    HWND cal = OpenCalendar(h, *s);
    s->calendar = cal;
    InvalidateRect(h, nullptr, TRUE);
    if (cal) RunDropDown(h, cal);
    s = D(h);
    SYSTEMTIME picked{};
    bool chosen = s && s->chosen && cal && IsWindow(cal) && SendMessageA(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&picked));
    if (s) s->calendar = nullptr;
    if (cal && IsWindow(cal)) DestroyWindow(cal);
    if (!IsWindow(h)) return 0;
    SetFocus(h);
    SendNotify(h, DTN_CLOSEUP, &nm);
    s = D(h);
    if (!s) return 0;
    InvalidateRect(h, nullptr, TRUE);
    if (chosen) {
        picked.wHour = s->st.wHour;  // the calendar picks a day; the time of day stays
        picked.wMinute = s->st.wMinute;
        picked.wSecond = s->st.wSecond;
        picked.wMilliseconds = s->st.wMilliseconds;
        s->none = false;
        SetByUser(h, *s, WithWeekday(picked));
    }
    return 0;
}

// ---- message handlers ----

LRESULT OnCreate(HWND h, DateTime& s) {
    GetLocalTime(&s.st);
    s.st.wMilliseconds = 0;
    if (IsTime(h)) s.field = 0;
    (void)h;
    return 0;
}

LRESULT OnSetSystemTime(HWND h, DateTime& s, WPARAM flag, const SYSTEMTIME* st) {
    if (flag == GDT_NONE) {
        if (!ShowNone(h)) return FALSE;
        s.none = true;
    } else {
        if (flag != GDT_VALID || !st || !IsValidDate(*st) || st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59)
            return FALSE;
        if (!InRange(s, *st)) return FALSE;
        s.st = WithWeekday(*st);
        s.none = false;
    }
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetSystemTime(const DateTime& s, SYSTEMTIME* out) {
    if (!out) return GDT_ERROR;
    if (s.none) return GDT_NONE;
    *out = WithWeekday(s.st);
    return GDT_VALID;
}

LRESULT OnSetRange(HWND h, DateTime& s, DWORD which, const SYSTEMTIME* r) {
    if (!r) return FALSE;
    s.has_min = (which & GDTR_MIN) && IsValidDate(r[0]);
    s.has_max = (which & GDTR_MAX) && IsValidDate(r[1]);
    if (s.has_min) s.min = r[0];
    if (s.has_max) s.max = r[1];
    if (s.has_min && CompareDays(s.st, s.min) < 0) s.st = s.min;
    if (s.has_max && CompareDays(s.st, s.max) > 0) s.st = s.max;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetRange(const DateTime& s, SYSTEMTIME* r) {
    if (!r) return 0;
    r[0] = s.has_min ? s.min : SYSTEMTIME{};
    r[1] = s.has_max ? s.max : SYSTEMTIME{};
    return (s.has_min ? GDTR_MIN : 0) | (s.has_max ? GDTR_MAX : 0);
}

LRESULT OnSetFormat(HWND h, DateTime& s, const char* picture) {
    s.picture = picture ? picture : "";
    s.field = 0;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnSetMcColor(DateTime& s, WPARAM which, COLORREF c) {
    if (which > MCSC_TRAILINGTEXT) return LRESULT(CLR_INVALID);
    COLORREF old = s.mc_color_set[which] ? s.mc_colors[which] : CLR_DEFAULT;
    s.mc_colors[which] = c;
    s.mc_color_set[which] = true;
    if (s.calendar) SendMessageA(s.calendar, MCM_SETCOLOR, which, LPARAM(c));
    return LRESULT(old);
}

LRESULT OnGetMcColor(const DateTime& s, WPARAM which) {
    if (which > MCSC_TRAILINGTEXT) return LRESULT(CLR_INVALID);
    return s.mc_color_set[which] ? LRESULT(s.mc_colors[which]) : LRESULT(CLR_DEFAULT);
}

LRESULT OnGetText(HWND h, const DateTime& s, WPARAM cap, char* buf) {
    std::string t = Text(h, s);
    CopyOut(t, buf, int(cap));
    return cap ? LRESULT(std::min(t.size(), size_t(cap - 1))) : 0;
}

LRESULT OnLButtonDown(HWND h, LPARAM l) {
    if (GetFocus() != h) SetFocus(h);
    DateTime* s = D(h);
    if (!s) return 0;
    POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    RECT b = ButtonRect(h);
    if (PtInRect(&b, p)) {
        if (!UpDown(h)) return DropDown(h);
        Step(h, *s, p.y < (b.top + b.bottom) / 2 ? 1 : -1);
        return 0;
    }
    if (ShowNone(h) && p.x < kCheck) {
        s->none = !s->none;
        InvalidateRect(h, nullptr, TRUE);
        NotifyChange(h);
        return 0;
    }
    std::vector<Segment> segs = Segments(h, *s);
    std::vector<int> fields = Editable(segs);
    for (size_t i = 0; i < fields.size(); ++i)
        if (p.x >= segs[size_t(fields[i])].rect.left && p.x < segs[size_t(fields[i])].rect.right) {
            s->field = int(i);
            s->typed = 0;
            InvalidateRect(h, nullptr, TRUE);
        }
    return 0;
}

LRESULT OnKeyDown(HWND h, DateTime& s, WPARAM vk) {
    bool alt = GetKeyState(VK_MENU) < 0;
    switch (vk) {
        case VK_LEFT: MoveField(h, s, -1); return 0;
        case VK_RIGHT: MoveField(h, s, 1); return 0;
        case VK_HOME: MoveField(h, s, -1000); return 0;
        case VK_END: MoveField(h, s, 1000); return 0;
        case VK_UP: Step(h, s, 1); return 0;
        case VK_DOWN:
            if (alt) return DropDown(h);
            Step(h, s, -1);
            return 0;
        case VK_F4: return DropDown(h);
    }
    return DefWindowProcA(h, WM_KEYDOWN, vk, 0);
}

LRESULT OnChar(HWND h, DateTime& s, WPARAM c) {
    if (c >= '0' && c <= '9') TypeDigit(h, s, int(c - '0'));
    return 0;
}

LRESULT OnSetFont(HWND h, DateTime& s, WPARAM w, LPARAM l) {
    s.font = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT Redraw(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

}  // namespace

LRESULT CALLBACK DateTimeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    DateTime* s = AttachState<DateTime>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    if (m == WM_NCCREATE) OnCreate(h, *s);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE:
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return Redraw(h);
        case WM_SETFONT: return OnSetFont(h, *s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_GETTEXT: return OnGetText(h, *s, w, reinterpret_cast<char*>(l));
        case WM_GETTEXTLENGTH: return LRESULT(Text(h, *s).size());
        case WM_SETTEXT: return FALSE;  // the text follows the date, not the other way
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_LBUTTONDOWN: return OnLButtonDown(h, l);
        case WM_KEYDOWN: return OnKeyDown(h, *s, w);
        case WM_CHAR: return OnChar(h, *s, w);
        case DTM_GETSYSTEMTIME: return OnGetSystemTime(*s, reinterpret_cast<SYSTEMTIME*>(l));
        case DTM_SETSYSTEMTIME: return OnSetSystemTime(h, *s, w, reinterpret_cast<const SYSTEMTIME*>(l));
        case DTM_GETRANGE: return OnGetRange(*s, reinterpret_cast<SYSTEMTIME*>(l));
        case DTM_SETRANGE: return OnSetRange(h, *s, DWORD(w), reinterpret_cast<const SYSTEMTIME*>(l));
        case DTM_SETFORMATA: return OnSetFormat(h, *s, reinterpret_cast<const char*>(l));
        case DTM_SETMCCOLOR: return OnSetMcColor(*s, w, COLORREF(l));
        case DTM_GETMCCOLOR: return OnGetMcColor(*s, w);
        case DTM_GETMONTHCAL: return reinterpret_cast<LRESULT>(s->calendar);
        case DTM_SETMCFONT: s->mc_font = reinterpret_cast<HFONT>(w); return 0;
        case DTM_GETMCFONT: return reinterpret_cast<LRESULT>(s->mc_font);
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
