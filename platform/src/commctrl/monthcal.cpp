// The month calendar: one month as a grid of days under a title with buttons to the previous
// and next months, the selected date, today, colours for each of its parts, and hit tests that
// name every part of it.
#include <algorithm>
#include <string>

#include "commctrl/common.h"
#include "commctrl/dates.h"
#include "windlg.h"

namespace plat::commctrl {
using namespace dates;
namespace {

constexpr int kMargin = 4;
constexpr int kRows = 6;

struct MonthCal {
    HWND hwnd = nullptr;
    SYSTEMTIME sel{}, sel_end{}, today{};
    bool today_set = false;
    int year = 0, month = 0;  // the month shown
    int first_day = 6;        // 0 Monday .. 6 Sunday, as the messages count
    COLORREF colors[6] = {};
    bool has_min = false, has_max = false;
    SYSTEMTIME min{}, max{};
    int max_sel = 7;
    int delta = 0;  // months per button press; 0 the months shown
    HFONT font = nullptr;
    bool selecting = false;  // the left button went down on a date
};

MonthCal* M(HWND h) { return State<MonthCal>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }

// The grid's measures in the control's font.
struct Geo {
    int cell_w, cell_h, title_h, names_h, today_h, week_w;
    RECT title, prev, next, names, grid, today, month;  // the month block and its parts
};

Geo Measure(HWND h, const MonthCal& s) {
    Geo g{};
    int line = LineHeight(s.font);
    g.cell_w = TextWidth(s.font, "00") + 10;
    g.cell_h = line + 2;
    g.title_h = line + 10;
    g.names_h = line + 3;
    g.today_h = (Style(h) & MCS_NOTODAY) ? 0 : line + 6;
    g.week_w = (Style(h) & MCS_WEEKNUMBERS) ? g.cell_w : 0;
    int width = g.week_w + 7 * g.cell_w;
    int height = g.title_h + g.names_h + kRows * g.cell_h + g.today_h;
    // The month stands in the middle of a larger window.
    RECT cr;
    GetClientRect(h, &cr);
    int x = std::max(kMargin, int(cr.right - width) / 2), y = std::max(kMargin, int(cr.bottom - height) / 2);
    g.title = RECT{x, y, x + width, y + g.title_h};
    int b = g.title_h - 4;
    g.prev = RECT{x + 2, y + 2, x + 2 + b, y + 2 + b};
    g.next = RECT{x + width - 2 - b, y + 2, x + width - 2, y + 2 + b};
    y += g.title_h;
    g.names = RECT{x + g.week_w, y, x + width, y + g.names_h};
    y += g.names_h;
    g.grid = RECT{x + g.week_w, y, x + width, y + kRows * g.cell_h};
    y += kRows * g.cell_h;
    g.today = RECT{x, y, x + width, y + g.today_h};
    g.month = RECT{x, y - height + g.today_h, x + width, y + g.today_h};
    return g;
}

// Column of a weekday (0 Sunday) counted from the first day of the week.
int Column(const MonthCal& s, int weekday) {
    int first = (s.first_day + 1) % 7;  // as 0 Sunday
    return (weekday - first + 7) % 7;
}

// The date in the grid's top-left cell: the start of the week holding the 1st.
SYSTEMTIME GridStart(const MonthCal& s) {
    SYSTEMTIME first{};
    first.wYear = WORD(s.year);
    first.wMonth = WORD(s.month);
    first.wDay = 1;
    int col = Column(s, DayOfWeek(s.year, s.month, 1));
    // A month starting on the first column still shows a week of the month before.
    return AddDays(first, -(col == 0 ? 7 : col));
}

SYSTEMTIME CellDate(const MonthCal& s, int row, int col) { return AddDays(GridStart(s), row * 7 + col); }

RECT CellRect(const Geo& g, int row, int col) {
    int x = g.grid.left + col * g.cell_w, y = g.grid.top + row * g.cell_h;
    return RECT{x, y, x + g.cell_w, y + g.cell_h};
}

bool InRange(const MonthCal& s, const SYSTEMTIME& d) {
    if (s.has_min && CompareDays(d, s.min) < 0) return false;
    if (s.has_max && CompareDays(d, s.max) > 0) return false;
    return true;
}

SYSTEMTIME Today(const MonthCal& s) {
    if (s.today_set) return s.today;
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = t.wMinute = t.wSecond = t.wMilliseconds = 0;
    return t;
}

void Show(MonthCal& s, int year, int month) {
    SYSTEMTIME d{};
    d.wYear = WORD(year);
    d.wMonth = WORD(month);
    d.wDay = 1;
    if (!IsValidDate(d)) return;
    s.year = year;
    s.month = month;
}

void ShowMonthOf(MonthCal& s, const SYSTEMTIME& d) { Show(s, d.wYear, d.wMonth); }

// ---- hit testing ----

UINT HitTest(HWND h, const MonthCal& s, POINT p, SYSTEMTIME* date) {
    Geo g = Measure(h, s);
    RECT cr;
    GetClientRect(h, &cr);
    if (!PtInRect(&cr, p)) return MCHT_NOWHERE;
    if (PtInRect(&g.prev, p)) return MCHT_TITLEBTNPREV;
    if (PtInRect(&g.next, p)) return MCHT_TITLEBTNNEXT;
    if (PtInRect(&g.title, p)) {
        int month_w = TextWidth(s.font, MonthName(s.month)), gap = TextWidth(s.font, " ");
        int year_w = TextWidth(s.font, "0000");
        int x0 = (g.title.left + g.title.right - (month_w + gap + year_w)) / 2;
        if (p.x >= x0 && p.x < x0 + month_w) return MCHT_TITLEMONTH;
        if (p.x >= x0 + month_w + gap && p.x < x0 + month_w + gap + year_w) return MCHT_TITLEYEAR;
        return MCHT_TITLEBK;
    }
    if (PtInRect(&g.names, p)) {
        if (date) date->wDayOfWeek = WORD(((p.x - g.names.left) / g.cell_w + s.first_day) % 7);  // 0 Monday
        return MCHT_CALENDARDAY;
    }
    if (p.y >= g.grid.top && p.y < g.grid.bottom) {
        int row = (p.y - g.grid.top) / g.cell_h;
        if (p.x >= g.month.left && p.x < g.grid.left) {
            if (date) *date = CellDate(s, row, 0);
            return MCHT_CALENDARWEEKNUM;
        }
        if (p.x >= g.grid.left && p.x < g.grid.right) {
            SYSTEMTIME d = CellDate(s, row, (p.x - g.grid.left) / g.cell_w);
            if (date) *date = d;
            if (d.wMonth == s.month) return MCHT_CALENDARDATE;
            return CompareDays(d, CellDate(s, 2, 0)) < 0 ? MCHT_CALENDARDATEPREV : MCHT_CALENDARDATENEXT;
        }
    }
    if (g.today_h && PtInRect(&g.today, p)) {
        if (date) *date = Today(s);
        return MCHT_TODAYLINK;
    }
    return MCHT_CALENDARBK;  // the margins around the month
}

// ---- painting ----

void DrawArrow(HDC dc, const RECT& b, bool left, COLORREF c) {
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = SelectObject(dc, pen);
    int cy = (b.top + b.bottom) / 2, cx = (b.left + b.right) / 2;
    for (int i = 0; i < 4; ++i) {
        int x = left ? cx - 2 + i : cx + 2 - i;
        MoveToEx(dc, x, cy - i, nullptr);
        LineTo(dc, x, cy + i + 1);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawTitle(const MonthCal& s, HDC dc, const Geo& g) {
    FillSolid(dc, g.title, s.colors[MCSC_TITLEBK]);
    DrawArrow(dc, g.prev, true, s.colors[MCSC_TITLETEXT]);
    DrawArrow(dc, g.next, false, s.colors[MCSC_TITLETEXT]);
    std::string text = std::string(MonthName(s.month)) + " " + std::to_string(s.year);
    RECT t = g.title;
    SetTextColor(dc, s.colors[MCSC_TITLETEXT]);
    DrawTextA(dc, text.c_str(), -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawNames(const MonthCal& s, HDC dc, const Geo& g) {
    SetTextColor(dc, s.colors[MCSC_TITLEBK]);
    for (int col = 0; col < 7; ++col) {
        int weekday = (s.first_day + 1 + col) % 7;  // 0 Sunday
        std::string n(DayName(weekday), 1);
        RECT r{g.names.left + col * g.cell_w, g.names.top, g.names.left + (col + 1) * g.cell_w, g.names.bottom - 1};
        DrawTextA(dc, n.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RECT line{g.names.left, g.names.bottom - 1, g.names.right, g.names.bottom};
    FillSolid(dc, line, s.colors[MCSC_TRAILINGTEXT]);
}

bool Selected(const MonthCal& s, const SYSTEMTIME& d) {
    if (!(Style(s.hwnd) & MCS_MULTISELECT)) return CompareDays(d, s.sel) == 0;
    return CompareDays(d, s.sel) >= 0 && CompareDays(d, s.sel_end) <= 0;
}

void DrawDays(const MonthCal& s, HDC dc, const Geo& g) {
    SYSTEMTIME today = Today(s);
    bool circle = !(Style(s.hwnd) & MCS_NOTODAYCIRCLE);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < 7; ++col) {
            SYSTEMTIME d = CellDate(s, row, col);
            RECT r = CellRect(g, row, col);
            bool own = d.wMonth == s.month;
            COLORREF fg = own ? s.colors[MCSC_TEXT] : s.colors[MCSC_TRAILINGTEXT];
            if (own && Selected(s, d)) {
                FillSolid(dc, r, s.colors[MCSC_TITLEBK]);
                fg = s.colors[MCSC_MONTHBK];
            }
            if (circle && CompareDays(d, today) == 0) {
                HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
                FrameRect(dc, &r, red);
                DeleteObject(red);
            }
            SetTextColor(dc, fg);
            std::string n = std::to_string(d.wDay);
            DrawTextA(dc, n.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        if (g.week_w) {
            SYSTEMTIME d = CellDate(s, row, 0);
            RECT r{g.month.left, g.grid.top + row * g.cell_h, g.grid.left, g.grid.top + (row + 1) * g.cell_h};
            SetTextColor(dc, s.colors[MCSC_TRAILINGTEXT]);
            std::string n = std::to_string(IsoWeek(d.wYear, d.wMonth, d.wDay));
            DrawTextA(dc, n.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
}

void DrawToday(const MonthCal& s, HDC dc, const Geo& g) {
    if (!g.today_h) return;
    SYSTEMTIME t = Today(s);
    std::string text = "Today: " + Format(t, "M/d/yyyy");
    RECT r = g.today;
    SetTextColor(dc, s.colors[MCSC_TEXT]);
    DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND h, const MonthCal& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, s.colors[MCSC_BACKGROUND]);
    Geo g = Measure(h, s);
    FillSolid(dc, g.month, s.colors[MCSC_MONTHBK]);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    SetBkMode(dc, TRANSPARENT);
    DrawTitle(s, dc, g);
    DrawNames(s, dc, g);
    DrawDays(s, dc, g);
    DrawToday(s, dc, g);
    SelectObject(dc, old_font);
}

// ---- selection ----

void NotifySelection(HWND h, UINT code) {
    MonthCal* s = M(h);
    if (!s) return;
    NMSELCHANGE nm{};
    nm.stSelStart = WithWeekday(s->sel);
    nm.stSelEnd = WithWeekday((Style(h) & MCS_MULTISELECT) ? s->sel_end : s->sel);
    SendNotify(h, code, &nm.nmhdr);
}

// Selects a date as the user does; true when the selection changed.
bool SelectByUser(HWND h, MonthCal& s, SYSTEMTIME d) {
    if (!IsValidDate(d) || !InRange(s, d)) return false;
    d.wHour = d.wMinute = d.wSecond = d.wMilliseconds = 0;
    bool changed = CompareDays(d, s.sel) != 0 || CompareDays(d, s.sel_end) != 0;
    s.sel = s.sel_end = WithWeekday(d);
    ShowMonthOf(s, d);
    InvalidateRect(h, nullptr, TRUE);
    if (changed) NotifySelection(h, MCN_SELCHANGE);
    return changed;
}

void Scroll(HWND h, MonthCal& s, int months) {
    SYSTEMTIME first{};
    first.wYear = WORD(s.year);
    first.wMonth = WORD(s.month);
    first.wDay = 1;
    SYSTEMTIME to = AddMonths(first, months);
    ShowMonthOf(s, to);
    InvalidateRect(h, nullptr, TRUE);
}

// ---- message handlers ----

LRESULT OnCreate(HWND h, MonthCal& s) {
    s.colors[MCSC_BACKGROUND] = Sys(COLOR_WINDOW);
    s.colors[MCSC_TEXT] = Sys(COLOR_WINDOWTEXT);
    s.colors[MCSC_TITLEBK] = Sys(COLOR_ACTIVECAPTION);
    s.colors[MCSC_TITLETEXT] = Sys(COLOR_CAPTIONTEXT);
    s.colors[MCSC_MONTHBK] = Sys(COLOR_WINDOW);
    s.colors[MCSC_TRAILINGTEXT] = Sys(COLOR_GRAYTEXT);
    s.sel = s.sel_end = WithWeekday(Today(s));
    ShowMonthOf(s, s.sel);
    (void)h;
    return 0;
}

LRESULT OnSetCurSel(HWND h, MonthCal& s, const SYSTEMTIME* d) {
    if (!d || !IsValidDate(*d) || !InRange(s, *d) || (Style(h) & MCS_MULTISELECT)) return FALSE;
    s.sel = s.sel_end = WithWeekday(*d);
    ShowMonthOf(s, *d);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetCurSel(HWND h, const MonthCal& s, SYSTEMTIME* out) {
    if (!out || (Style(h) & MCS_MULTISELECT)) return FALSE;
    *out = WithWeekday(s.sel);
    return TRUE;
}

LRESULT OnSetSelRange(HWND h, MonthCal& s, const SYSTEMTIME* r) {
    if (!r || !(Style(h) & MCS_MULTISELECT) || !IsValidDate(r[0]) || !IsValidDate(r[1])) return FALSE;
    SYSTEMTIME a = r[0], b = r[1];
    if (CompareDays(a, b) > 0) std::swap(a, b);
    if (DayNumber(b.wYear, b.wMonth, b.wDay) - DayNumber(a.wYear, a.wMonth, a.wDay) >= s.max_sel) return FALSE;
    s.sel = WithWeekday(a);
    s.sel_end = WithWeekday(b);
    ShowMonthOf(s, a);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetSelRange(HWND h, const MonthCal& s, SYSTEMTIME* r) {
    if (!r || !(Style(h) & MCS_MULTISELECT)) return FALSE;
    r[0] = WithWeekday(s.sel);
    r[1] = WithWeekday(s.sel_end);
    return TRUE;
}

LRESULT OnSetColor(HWND h, MonthCal& s, WPARAM which, COLORREF c) {
    if (which > MCSC_TRAILINGTEXT) return LRESULT(CLR_INVALID);
    COLORREF old = s.colors[which];
    s.colors[which] = c;
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LRESULT OnGetMinReqRect(HWND h, const MonthCal& s, RECT* out) {
    if (!out) return FALSE;
    Geo g = Measure(h, s);
    *out = RECT{0, 0, g.month.right - g.month.left + 2 * kMargin, g.month.bottom - g.month.top + 2 * kMargin};
    return TRUE;
}

LRESULT OnHitTest(HWND h, const MonthCal& s, MCHITTESTINFO* ht) {
    if (!ht || ht->cbSize < sizeof(MCHITTESTINFO)) return -1;
    ht->st = SYSTEMTIME{};
    ht->uHit = HitTest(h, s, ht->pt, &ht->st);
    return LRESULT(ht->uHit);
}

LRESULT OnSetToday(HWND h, MonthCal& s, const SYSTEMTIME* d) {
    s.today_set = d && IsValidDate(*d);
    if (s.today_set) s.today = WithWeekday(*d);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnGetToday(const MonthCal& s, SYSTEMTIME* out) {
    if (!out) return FALSE;
    *out = WithWeekday(Today(s));
    return TRUE;
}

LRESULT OnSetFirstDay(HWND h, MonthCal& s, int day) {
    LRESULT old = MAKELONG(WORD(s.first_day), 0);
    s.first_day = day < 0 ? 6 : day % 7;
    InvalidateRect(h, nullptr, TRUE);
    return old;
}

LRESULT OnSetRange(HWND h, MonthCal& s, DWORD which, const SYSTEMTIME* r) {
    if (!r) return FALSE;
    s.has_min = (which & GDTR_MIN) && IsValidDate(r[0]);
    s.has_max = (which & GDTR_MAX) && IsValidDate(r[1]);
    if (s.has_min) s.min = r[0];
    if (s.has_max) s.max = r[1];
    if (!InRange(s, s.sel)) s.sel = s.sel_end = s.has_min && CompareDays(s.sel, s.min) < 0 ? s.min : s.max;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnGetRange(const MonthCal& s, SYSTEMTIME* r) {
    if (!r) return 0;
    r[0] = s.has_min ? s.min : SYSTEMTIME{};
    r[1] = s.has_max ? s.max : SYSTEMTIME{};
    return (s.has_min ? GDTR_MIN : 0) | (s.has_max ? GDTR_MAX : 0);
}

// The visible range: the whole grid with its trailing days, or only the month shown.
LRESULT OnGetMonthRange(const MonthCal& s, DWORD which, SYSTEMTIME* r) {
    if (r) {
        if (which == GMR_DAYSTATE) {
            r[0] = GridStart(s);
            r[1] = AddDays(r[0], kRows * 7 - 1);
        } else {
            r[0] = SYSTEMTIME{};
            r[0].wYear = WORD(s.year);
            r[0].wMonth = WORD(s.month);
            r[0].wDay = 1;
            r[0] = WithWeekday(r[0]);
            r[1] = r[0];
            r[1].wDay = WORD(DaysInMonth(s.year, s.month));
            r[1] = WithWeekday(r[1]);
        }
    }
    return which == GMR_DAYSTATE ? 3 : 1;
}

LRESULT OnLButtonDown(HWND h, MonthCal& s, LPARAM l) {
    if (GetFocus() != h) SetFocus(h);
    MonthCal* now = M(h);
    if (!now) return 0;
    SYSTEMTIME d{};
    UINT hit = HitTest(h, *now, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &d);
    int step = now->delta > 0 ? now->delta : 1;
    switch (hit) {
        case MCHT_TITLEBTNPREV: Scroll(h, *now, -step); break;
        case MCHT_TITLEBTNNEXT: Scroll(h, *now, step); break;
        case MCHT_CALENDARDATE:
        case MCHT_CALENDARDATEPREV:
        case MCHT_CALENDARDATENEXT:
        case MCHT_TODAYLINK:
            now->selecting = true;
            SetCapture(h);
            SelectByUser(h, *now, d);
            break;
    }
    (void)s;
    return 0;
}

LRESULT OnMouseMove(HWND h, MonthCal& s, LPARAM l) {
    if (!s.selecting) return 0;
    SYSTEMTIME d{};
    UINT hit = HitTest(h, s, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &d);
    if (hit == MCHT_CALENDARDATE) SelectByUser(h, s, d);  // dragging over the month's own days
    return 0;
}

LRESULT OnLButtonUp(HWND h, MonthCal& s) {
    if (!s.selecting) return 0;
    s.selecting = false;
    if (GetCapture() == h) ReleaseCapture();
    NotifySelection(h, MCN_SELECT);
    return 0;
}

LRESULT OnKeyDown(HWND h, MonthCal& s, WPARAM vk) {
    switch (vk) {
        case VK_LEFT: SelectByUser(h, s, AddDays(s.sel, -1)); break;
        case VK_RIGHT: SelectByUser(h, s, AddDays(s.sel, 1)); break;
        case VK_UP: SelectByUser(h, s, AddDays(s.sel, -7)); break;
        case VK_DOWN: SelectByUser(h, s, AddDays(s.sel, 7)); break;
        case VK_PRIOR: SelectByUser(h, s, AddMonths(s.sel, -1)); break;
        case VK_NEXT: SelectByUser(h, s, AddMonths(s.sel, 1)); break;
        case VK_RETURN: NotifySelection(h, MCN_SELECT); break;
        default: return DefWindowProcA(h, WM_KEYDOWN, vk, 0);
    }
    return 0;
}

LRESULT OnSetFont(HWND h, MonthCal& s, WPARAM w, LPARAM l) {
    s.font = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnCaptureChanged(HWND h, MonthCal& s, HWND to) {
    if (to != h) s.selecting = false;
    return 0;
}

}  // namespace

LRESULT CALLBACK MonthCalProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    MonthCal* s = AttachState<MonthCal>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    if (m == WM_NCCREATE) OnCreate(h, *s);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE:
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFONT: return OnSetFont(h, *s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN: return OnLButtonDown(h, *s, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, *s, l);
        case WM_LBUTTONUP: return OnLButtonUp(h, *s);
        case WM_CAPTURECHANGED: return OnCaptureChanged(h, *s, reinterpret_cast<HWND>(l));
        case WM_KEYDOWN: return OnKeyDown(h, *s, w);
        case MCM_SETCURSEL: return OnSetCurSel(h, *s, reinterpret_cast<const SYSTEMTIME*>(l));
        case MCM_GETCURSEL: return OnGetCurSel(h, *s, reinterpret_cast<SYSTEMTIME*>(l));
        case MCM_SETSELRANGE: return OnSetSelRange(h, *s, reinterpret_cast<const SYSTEMTIME*>(l));
        case MCM_GETSELRANGE: return OnGetSelRange(h, *s, reinterpret_cast<SYSTEMTIME*>(l));
        case MCM_SETMAXSELCOUNT: s->max_sel = std::max(1, int(w)); return TRUE;
        case MCM_GETMAXSELCOUNT: return s->max_sel;
        case MCM_SETCOLOR: return OnSetColor(h, *s, w, COLORREF(l));
        case MCM_GETCOLOR: return w <= MCSC_TRAILINGTEXT ? LRESULT(s->colors[w]) : LRESULT(CLR_INVALID);
        case MCM_GETMINREQRECT: return OnGetMinReqRect(h, *s, reinterpret_cast<RECT*>(l));
        case MCM_HITTEST: return OnHitTest(h, *s, reinterpret_cast<MCHITTESTINFO*>(l));
        case MCM_SETTODAY: return OnSetToday(h, *s, reinterpret_cast<const SYSTEMTIME*>(l));
        case MCM_GETTODAY: return OnGetToday(*s, reinterpret_cast<SYSTEMTIME*>(l));
        case MCM_SETFIRSTDAYOFWEEK: return OnSetFirstDay(h, *s, int(l));
        case MCM_GETFIRSTDAYOFWEEK: return s->first_day;
        case MCM_SETRANGE: return OnSetRange(h, *s, DWORD(w), reinterpret_cast<const SYSTEMTIME*>(l));
        case MCM_GETRANGE: return OnGetRange(*s, reinterpret_cast<SYSTEMTIME*>(l));
        case MCM_GETMONTHRANGE: return OnGetMonthRange(*s, DWORD(w), reinterpret_cast<SYSTEMTIME*>(l));
        case MCM_SETMONTHDELTA: { int old = s->delta; s->delta = std::max(0, int(w)); return old; }
        case MCM_GETMONTHDELTA: return s->delta > 0 ? s->delta : 1;
        case MCM_GETMAXTODAYWIDTH: return TextWidth(s->font, "Today: 00/00/0000");
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
