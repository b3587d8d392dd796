// Tooltips: tools (a window, or a rectangle of one) with a text or a text callback; a popup near
// the cursor after the initial delay, gone after the auto-pop delay; tracking tips placed by the
// caller. Delays run on the layer's timers, so tests drive them with the virtual clock.
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "core/utf8.h"
#include "core/handles.h"
#include "platres.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr UINT_PTR kShowTimer = 1;   // initial / reshow delay
constexpr UINT_PTR kPopTimer = 2;    // auto-pop delay
constexpr UINT_PTR kCheckTimer = 3;  // watches the cursor leave the tool
constexpr int kCheckMs = 100;
constexpr int kCursorGap = 20;       // the tip sits this far below the cursor's hot spot

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    HINSTANCE hinst = nullptr;
    std::string text;
    bool callback = false;
    LPARAM lparam = 0;
};

struct Tooltip {
    HWND hwnd = nullptr;
    std::vector<Tool> tools;
    bool active = true;
    int delay[4] = {-1, -1, -1, -1};  // by TTDT_*; -1 automatic
    int max_width = -1;
    // Colours the program set; the others follow the system's info colours when used.
    std::optional<COLORREF> set_bk, set_fg;
    COLORREF Bk() const { return set_bk ? *set_bk : GetSysColor(COLOR_INFOBK); }
    COLORREF Fg() const { return set_fg ? *set_fg : GetSysColor(COLOR_INFOTEXT); }
    RECT margin{0, 0, 0, 0};
    HFONT font = nullptr;
    std::string title;
    int hot = -1;          // tool under the cursor
    int shown = -1;        // tool whose tip is up
    bool suppressed = false;  // the hot tool's tip was popped; wait for another tool
    POINT last{-100000, -100000};
    int tracking = -1;     // tool shown by TTM_TRACKACTIVATE
    POINT track_pos{0, 0};
    std::string text;      // text being shown
    DWORD popped_at = 0;   // when a tip last went away (for the reshow delay)
};

Tooltip* TT(HWND h) { return State<Tooltip>(h); }

int Delay(const Tooltip& s, int which) {
    if (s.delay[which] >= 0) return s.delay[which];
    int base = s.delay[TTDT_AUTOMATIC] >= 0 ? s.delay[TTDT_AUTOMATIC] : int(GetDoubleClickTime());
    switch (which) {
        case TTDT_AUTOPOP: return base * 10;
        case TTDT_RESHOW: return base / 5;
        default: return base;
    }
}

int Find(const Tooltip& s, HWND hwnd, UINT_PTR id) {
    for (size_t k = 0; k < s.tools.size(); ++k)
        if (s.tools[k].hwnd == hwnd && s.tools[k].id == id) return int(k);
    return -1;
}

// The window a tool covers: the id itself for TTF_IDISHWND tools.
HWND ToolWindow(const Tool& t) { return (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd; }

// The tool at a point given in screen coordinates.
int ToolAtScreen(const Tooltip& s, POINT sp) {
    HWND under = WindowFromPoint(sp);
    for (size_t k = 0; k < s.tools.size(); ++k) {
        const Tool& t = s.tools[k];
        if (t.flags & TTF_TRACK) continue;
        HWND w = ToolWindow(t);
        if (!w || w != under) continue;
        if (t.flags & TTF_IDISHWND) return int(k);
        POINT cp = sp;
        ScreenToClient(w, &cp);
        if (PtInRect(&t.rect, cp)) return int(k);
    }
    return -1;
}

// The tool at a point in a window's client coordinates.
int ToolAt(const Tooltip& s, HWND w, POINT p) {
    for (size_t k = 0; k < s.tools.size(); ++k) {
        const Tool& t = s.tools[k];
        if (t.flags & TTF_TRACK) continue;
        if (ToolWindow(t) != w) continue;
        if ((t.flags & TTF_IDISHWND) || PtInRect(&t.rect, p)) return int(k);
    }
    return -1;
}

std::string FromWide(const WCHAR* w) {
    std::string out;
    for (; w && *w; ++w) {
        uint32_t c = *w;
        if (c >= 0xD800 && c < 0xDC00 && w[1] >= 0xDC00 && w[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(w[1]) - 0xDC00);
            ++w;
        }
        plat::core::AppendUtf8(out, c);
    }
    return out;
}

std::string ResourceText(HINSTANCE hinst, UINT id) {
    char buf[1024] = {0};
    int n = LoadStringA(hinst, id, buf, int(sizeof buf));
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

// The tool's text, asking its window for callback texts (the ANSI form first, then the wide one).
std::string ToolText(HWND h, int index) {
    Tooltip* s = TT(h);
    if (!s || index < 0 || index >= int(s->tools.size())) return std::string();
    Tool t = s->tools[size_t(index)];
    if (!t.callback) {
        if (t.text.empty() && t.hinst) return std::string();
        return t.text;
    }
    NMTTDISPINFOA a{};
    a.lParam = t.lparam;
    a.uFlags = t.flags;
    a.hdr.hwndFrom = h;
    a.hdr.idFrom = t.id;
    a.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(t.hwnd, WM_NOTIFY, WPARAM(t.id), reinterpret_cast<LPARAM>(&a));
    std::string text;
    if (a.lpszText && a.lpszText != LPSTR_TEXTCALLBACKA) {
        if (IS_INTRESOURCE(a.lpszText)) text = ResourceText(a.hinst, UINT(reinterpret_cast<uintptr_t>(a.lpszText)));
        else text = a.lpszText;
    } else if (a.szText[0]) {
        text.assign(a.szText, strnlen(a.szText, sizeof a.szText));
    }
    if (text.empty()) {
        NMTTDISPINFOW wi{};
        wi.lParam = t.lparam;
        wi.uFlags = t.flags;
        wi.hdr.hwndFrom = h;
        wi.hdr.idFrom = t.id;
        wi.hdr.code = TTN_GETDISPINFOW;
        SendMessageA(t.hwnd, WM_NOTIFY, WPARAM(t.id), reinterpret_cast<LPARAM>(&wi));
        if (wi.lpszText && !IS_INTRESOURCE(wi.lpszText)) text = FromWide(wi.lpszText);
        else if (wi.szText[0]) text = FromWide(wi.szText);
        if (text.empty()) return text;
        a.uFlags = wi.uFlags;
    }
    s = TT(h);
    if (s && (a.uFlags & TTF_DI_SETITEM)) {
        int k = Find(*s, t.hwnd, t.id);
        if (k >= 0) {
            s->tools[size_t(k)].text = text;
            s->tools[size_t(k)].callback = false;
        }
    }
    return text;
}

std::string Displayed(const Tooltip& s, const std::string& text) {
    std::string out;
    bool multi = s.max_width >= 0;
    bool prefix = !(GetWindowLongA(s.hwnd, GWL_STYLE) & TTS_NOPREFIX);
    for (size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (prefix && c == '&') {
            if (k + 1 < text.size() && text[k + 1] == '&') out += '&', ++k;
            continue;
        }
        if (c == '\r') continue;
        if (c == '\n' && !multi) c = ' ';
        if (c == '\t' && !multi) c = ' ';
        out += c;
    }
    return out;
}

UINT TextFlags(const Tooltip& s) {
    return DT_NOPREFIX | DT_LEFT | (s.max_width >= 0 ? DT_WORDBREAK : DT_SINGLELINE);
}

SIZE Measure(const Tooltip& s, const std::string& text) {
    HDC dc = GetDC(s.hwnd);
    HGDIOBJ old = SelectObject(dc, FontOr(s.font));
    RECT r{0, 0, s.max_width >= 0 ? std::max(1, s.max_width) : 10000, 0};
    DrawTextA(dc, text.c_str(), -1, &r, TextFlags(s) | DT_CALCRECT);
    int tw = r.right - r.left, th = r.bottom - r.top;
    if (!s.title.empty()) {
        RECT tr{0, 0, 10000, 0};
        DrawTextA(dc, s.title.c_str(), -1, &tr, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        tw = std::max(tw, int(tr.right));
        th += tr.bottom + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(s.hwnd, dc);
    return SIZE{tw + 8 + s.margin.left + s.margin.right, th + 4 + s.margin.top + s.margin.bottom};
}

void Hide(HWND h) {
    Tooltip* s = TT(h);
    if (!s) return;
    KillTimer(h, kPopTimer);
    if (s->shown < 0) return;
    int was = s->shown;
    s->shown = -1;
    s->popped_at = GetTickCount();
    ShowWindow(h, SW_HIDE);
    if (was < int(s->tools.size())) {
        NMHDR nm{};
        nm.hwndFrom = h;
        nm.idFrom = s->tools[size_t(was)].id;
        nm.code = TTN_POP;
        SendMessageA(s->tools[size_t(was)].hwnd, WM_NOTIFY, WPARAM(nm.idFrom), reinterpret_cast<LPARAM>(&nm));
    }
}

void Show(HWND h, int index) {
    Tooltip* s = TT(h);
    if (!s || index < 0 || index >= int(s->tools.size())) return;
    KillTimer(h, kShowTimer);
    std::string text = Displayed(*s, ToolText(h, index));
    s = TT(h);
    if (!s || index >= int(s->tools.size())) return;
    if (text.empty()) {
        Hide(h);
        return;
    }
    if (s->shown >= 0 && s->shown != index) Hide(h);
    s->text = text;
    Tool t = s->tools[size_t(index)];
    SIZE sz = Measure(*s, text);
    POINT at;
    if (t.flags & TTF_TRACK) {
        at = s->track_pos;
        if (!(t.flags & TTF_ABSOLUTE)) at.y += kCursorGap / 2;
    } else if (t.flags & TTF_CENTERTIP) {
        RECT r = t.rect;
        HWND w = ToolWindow(t);
        if (t.flags & TTF_IDISHWND) GetClientRect(w, &r);
        POINT a{(r.left + r.right) / 2, r.bottom};
        ClientToScreen(w, &a);
        at = POINT{a.x - sz.cx / 2, a.y + 2};
    } else {
        GetCursorPos(&at);
        at.y += kCursorGap;
    }
    // Keep the tip inside the work area of the screen.
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!(t.flags & TTF_ABSOLUTE)) {
        if (at.x + sz.cx > work.right) at.x = work.right - sz.cx;
        if (at.y + sz.cy > work.bottom) at.y = at.y - sz.cy - kCursorGap - 4;
        at.x = std::max(at.x, work.left);
        at.y = std::max(at.y, work.top);
    }
    bool was_shown = s->shown == index;
    s->shown = index;
    SetWindowPos(h, HWND_TOPMOST, at.x, at.y, sz.cx, sz.cy, SWP_NOACTIVATE);
    if (!was_shown) {
        NMHDR nm{};
        nm.hwndFrom = h;
        nm.idFrom = t.id;
        nm.code = TTN_SHOW;
        SendMessageA(t.hwnd, WM_NOTIFY, WPARAM(t.id), reinterpret_cast<LPARAM>(&nm));
    }
    if (!TT(h)) return;
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(h, nullptr, TRUE);
    if (!(t.flags & TTF_TRACK)) SetTimer(h, kPopTimer, UINT(std::max(1, Delay(*TT(h), TTDT_AUTOPOP))), nullptr);
}

// The cursor is now over tool `index` (or none): arm, re-arm or drop the tip.
void Hover(HWND h, int index, POINT screen_pt) {
    Tooltip* s = TT(h);
    if (!s || s->tracking >= 0) return;
    if (index != s->hot) {
        bool was_up = s->shown >= 0;
        Hide(h);
        s = TT(h);
        if (!s) return;
        s->hot = index;
        s->suppressed = false;
        s->last = screen_pt;
        KillTimer(h, kShowTimer);
        if (index >= 0 && s->active) {
            // Moving from one tip straight to another uses the shorter reshow delay.
            bool recent = was_up || (s->popped_at && GetTickCount() - s->popped_at < DWORD(Delay(*s, TTDT_RESHOW)));
            SetTimer(h, kShowTimer, UINT(std::max(1, Delay(*s, recent ? TTDT_RESHOW : TTDT_INITIAL))), nullptr);
            SetTimer(h, kCheckTimer, kCheckMs, nullptr);
        } else if (index < 0) {
            KillTimer(h, kCheckTimer);
        }
        return;
    }
    if (index >= 0 && s->shown < 0 && !s->suppressed && s->active &&
        (screen_pt.x != s->last.x || screen_pt.y != s->last.y)) {
        // The pointer must rest for the initial delay.
        s->last = screen_pt;
        SetTimer(h, kShowTimer, UINT(std::max(1, Delay(*s, TTDT_INITIAL))), nullptr);
    }
}

void Relay(HWND h, const MSG& msg) {
    Tooltip* s = TT(h);
    if (!s) return;
    switch (msg.message) {
        case WM_MOUSEMOVE: {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            POINT sp = p;
            ClientToScreen(msg.hwnd, &sp);
            Hover(h, ToolAt(*s, msg.hwnd, p), sp);
            break;
        }
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MOUSEWHEEL:
            // A click puts the tip away until the cursor goes to another tool.
            if (s->tracking >= 0) break;
            KillTimer(h, kShowTimer);
            Hide(h);
            if (TT(h)) TT(h)->suppressed = true;
            break;
    }
}

// ---- TTF_SUBCLASS: the tool window's mouse messages are relayed without the program's help.

struct Subclass {
    WNDPROC old = nullptr;
    std::vector<HWND> tips;
};

std::map<HWND, Subclass>& Subclasses() {
    static auto* m = new std::map<HWND, Subclass>;
    return *m;
}

LRESULT CALLBACK SubclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    WNDPROC old = nullptr;
    std::vector<HWND> tips;
    {
        Guard g(GlobalLock());
        auto it = Subclasses().find(h);
        if (it == Subclasses().end()) return DefWindowProcA(h, m, w, l);
        old = it->second.old;
        tips = it->second.tips;
        if (m == WM_NCDESTROY) {
            Subclasses().erase(it);
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        }
    }
    if ((m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE) {
        MSG msg{};
        msg.hwnd = h;
        msg.message = m;
        msg.wParam = w;
        msg.lParam = l;
        msg.time = GetTickCount();
        for (HWND tip : tips)
            if (IsWindow(tip)) SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    return CallWindowProcA(old, h, m, w, l);
}

void Hook(HWND tip, HWND target) {
    if (!target || !IsWindow(target)) return;
    Guard g(GlobalLock());
    auto it = Subclasses().find(target);
    if (it != Subclasses().end()) {
        auto& v = it->second.tips;
        if (std::find(v.begin(), v.end(), tip) == v.end()) v.push_back(tip);
        return;
    }
    Subclass sc;
    sc.tips.push_back(tip);
    sc.old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(target, GWLP_WNDPROC));
    Subclasses()[target] = sc;
    SetWindowLongPtrA(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
}

void Unhook(HWND tip) {
    Guard g(GlobalLock());
    for (auto& kv : Subclasses()) {
        auto& v = kv.second.tips;
        v.erase(std::remove(v.begin(), v.end(), tip), v.end());
    }
}

void ToTool(const TOOLINFOA& in, Tool* t) {
    t->flags = in.uFlags;
    t->hwnd = in.hwnd;
    t->id = in.uId;
    t->rect = in.rect;
    t->hinst = in.hinst;
    t->callback = in.lpszText == LPSTR_TEXTCALLBACKA;
    if (t->callback || !in.lpszText) t->text.clear();
    else if (IS_INTRESOURCE(in.lpszText)) t->text = ResourceText(in.hinst, UINT(reinterpret_cast<uintptr_t>(in.lpszText)));
    else t->text = in.lpszText;
    if (in.cbSize >= TTTOOLINFOA_V2_SIZE) t->lparam = in.lParam;
}

void FromTool(const Tool& t, TOOLINFOA* out, bool with_text) {
    out->uFlags = t.flags;
    out->hwnd = t.hwnd;
    out->uId = t.id;
    out->rect = t.rect;
    out->hinst = t.hinst;
    if (with_text) {
        if (t.callback) out->lpszText = LPSTR_TEXTCALLBACKA;
        else if (out->lpszText && out->lpszText != LPSTR_TEXTCALLBACKA) CopyOut(t.text, out->lpszText, 80);
    }
    if (out->cbSize >= TTTOOLINFOA_V2_SIZE) out->lParam = t.lparam;
}

bool ValidInfo(const TOOLINFOA* ti) { return ti && ti->cbSize >= TTTOOLINFOA_V1_SIZE; }

void Paint(HWND h, Tooltip& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, s.Bk());
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
    FrameRect(dc, &cr, frame);
    DeleteObject(frame);
    RECT in{cr.left + 4 + s.margin.left, cr.top + 2 + s.margin.top, cr.right - 4 - s.margin.right,
            cr.bottom - 2 - s.margin.bottom};
    HGDIOBJ old = SelectObject(dc, FontOr(s.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, s.Fg());
    if (!s.title.empty()) {
        RECT tr = in;
        DrawTextA(dc, s.title.c_str(), -1, &tr, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        DrawTextA(dc, s.title.c_str(), -1, &tr, DT_SINGLELINE | DT_NOPREFIX);
        in.top = tr.bottom + 2;
    }
    DrawTextA(dc, s.text.c_str(), -1, &in, TextFlags(s));
    SelectObject(dc, old);
}

// A tip is always a top-most popup, whatever style it was created with.
LRESULT OnNcCreate(HWND h, UINT m, WPARAM w, LPARAM l) {
    LONG style = GetWindowLongA(h, GWL_STYLE) & ~LONG(WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
    SetWindowLongA(h, GWL_STYLE, style | LONG(WS_POPUP));
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    return DefWindowProcA(h, m, w, l);
}

LRESULT OnPaint(HWND h, Tooltip* s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    Paint(h, *s, dc);
    EndPaint(h, &ps);
    return 0;
}

// Follows the mouse while it is over a tool, so the tip goes when the mouse leaves.
void CheckHover(HWND h, Tooltip* s) {
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) == h) return;  // over the tip itself: the mouse goes through it
    int now = ToolAtScreen(*s, p);
    if (now != s->hot) Hover(h, now, p);
    if (TT(h) && TT(h)->hot < 0) KillTimer(h, kCheckTimer);
}

LRESULT OnTimer(HWND h, Tooltip* s, WPARAM w, LPARAM l) {
    switch (w) {
        case kShowTimer:
            KillTimer(h, kShowTimer);
            if (s->hot >= 0 && s->active && !s->suppressed && s->tracking < 0) Show(h, s->hot);
            return 0;
        case kPopTimer:
            KillTimer(h, kPopTimer);
            Hide(h);
            if (TT(h)) TT(h)->suppressed = true;
            return 0;
        case kCheckTimer: CheckHover(h, s); return 0;
        default: return DefWindowProcA(h, WM_TIMER, w, l);
    }
}

LRESULT OnActivate(HWND h, Tooltip* s, WPARAM w) {
    s->active = w != 0;
    if (!s->active) {
        KillTimer(h, kShowTimer);
        Hide(h);
    }
    return 0;
}

LRESULT OnSetDelayTime(Tooltip* s, WPARAM w, LPARAM l) {
    int v = int(short(LOWORD(l)));
    int which = int(w);
    if (which == TTDT_AUTOMATIC) {
        s->delay[TTDT_AUTOMATIC] = v < 0 ? -1 : v;
        s->delay[TTDT_INITIAL] = s->delay[TTDT_AUTOPOP] = s->delay[TTDT_RESHOW] = -1;
    } else if (which >= 1 && which <= 3) {
        s->delay[which] = v < 0 ? -1 : v;
    }
    return 0;
}

LRESULT OnGetDelayTime(Tooltip* s, WPARAM w) {
    if (int(w) < 0 || int(w) > 3) return 0;
    return Delay(*s, int(w) == TTDT_AUTOMATIC ? TTDT_INITIAL : int(w));
}

// The tool a TOOLINFO names; -1 for a bad record or an unknown tool.
int ToolOf(const Tooltip* s, LPARAM l) {
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    return ValidInfo(ti) ? Find(*s, ti->hwnd, ti->uId) : -1;
}

LRESULT OnAddTool(HWND h, Tooltip* s, LPARAM l) {
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (!ValidInfo(ti)) return FALSE;
    Tool t;
    ToTool(*ti, &t);
    int k = Find(*s, t.hwnd, t.id);
    if (k >= 0)
        s->tools[size_t(k)] = t;
    else
        s->tools.push_back(t);
    if (t.flags & TTF_SUBCLASS) Hook(h, ToolWindow(t));
    return TRUE;
}

LRESULT OnDelTool(HWND h, Tooltip* s, LPARAM l) {
    int k = ToolOf(s, l);
    if (k < 0) return 0;
    if (s->shown == k) Hide(h);
    s = TT(h);
    if (!s) return 0;
    KillTimer(h, kShowTimer);
    s->tools.erase(s->tools.begin() + k);
    auto fix = [&](int& v) {
        if (v == k)
            v = -1;
        else if (v > k)
            --v;
    };
    fix(s->hot);
    fix(s->shown);
    fix(s->tracking);
    return 0;
}

LRESULT OnNewToolRect(Tooltip* s, LPARAM l) {
    int k = ToolOf(s, l);
    if (k >= 0) s->tools[size_t(k)].rect = reinterpret_cast<TOOLINFOA*>(l)->rect;
    return 0;
}

LRESULT OnGetToolInfo(Tooltip* s, LPARAM l) {
    int k = ToolOf(s, l);
    if (k < 0) return FALSE;
    FromTool(s->tools[size_t(k)], reinterpret_cast<TOOLINFOA*>(l), true);
    return TRUE;
}

LRESULT OnSetToolInfo(HWND h, Tooltip* s, LPARAM l) {
    int k = ToolOf(s, l);
    if (k < 0) return 0;
    Tool& t = s->tools[size_t(k)];
    ToTool(*reinterpret_cast<TOOLINFOA*>(l), &t);
    if (t.flags & TTF_SUBCLASS) Hook(h, ToolWindow(t));
    if (s->shown == k) Show(h, k);
    return 0;
}

LRESULT OnHitTest(Tooltip* s, LPARAM l) {
    auto* ht = reinterpret_cast<TTHITTESTINFOA*>(l);
    if (!ht) return FALSE;
    int k = ToolAt(*s, ht->hwnd, ht->pt);
    if (k < 0) return FALSE;
    if (ht->ti.cbSize >= TTTOOLINFOA_V1_SIZE) FromTool(s->tools[size_t(k)], &ht->ti, false);
    return TRUE;
}

LRESULT OnGetText(HWND h, Tooltip* s, WPARAM w, LPARAM l) {
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (!ValidInfo(ti) || !ti->lpszText) return 0;
    int k = Find(*s, ti->hwnd, ti->uId);
    int cap = w ? int(w) : 80;
    std::string t = k >= 0 ? s->tools[size_t(k)].text : std::string();
    if (k >= 0 && s->tools[size_t(k)].callback) t = ToolText(h, k);
    CopyOut(t, ti->lpszText, cap);
    return 0;
}

LRESULT OnUpdateTipText(HWND h, Tooltip* s, LPARAM l) {
    int k = ToolOf(s, l);
    if (k < 0) return 0;
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    Tool& t = s->tools[size_t(k)];
    t.callback = ti->lpszText == LPSTR_TEXTCALLBACKA;
    if (t.callback || !ti->lpszText)
        t.text.clear();
    else if (IS_INTRESOURCE(ti->lpszText))
        t.text = ResourceText(ti->hinst, UINT(reinterpret_cast<uintptr_t>(ti->lpszText)));
    else
        t.text = ti->lpszText;
    if (s->shown == k) Show(h, k);
    return 0;
}

LRESULT OnEnumTools(Tooltip* s, WPARAM w, LPARAM l) {
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (!ValidInfo(ti) || int(w) < 0 || int(w) >= int(s->tools.size())) return FALSE;
    FromTool(s->tools[size_t(w)], ti, true);
    return TRUE;
}

LRESULT OnGetCurrentTool(Tooltip* s, LPARAM l) {
    if (s->shown < 0) return FALSE;
    auto* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (ValidInfo(ti)) FromTool(s->tools[size_t(s->shown)], ti, true);
    return TRUE;
}

LRESULT OnTrackActivate(HWND h, Tooltip* s, WPARAM w, LPARAM l) {
    if (w) {
        int k = ToolOf(s, l);
        if (k < 0) return 0;
        KillTimer(h, kShowTimer);
        s->tracking = k;
        Show(h, k);
    } else if (s->tracking >= 0) {
        s->tracking = -1;
        Hide(h);
    }
    return 0;
}

LRESULT OnTrackPosition(HWND h, Tooltip* s, LPARAM l) {
    s->track_pos = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (s->tracking >= 0 && s->shown == s->tracking) Show(h, s->tracking);
    return 0;
}

LRESULT SetColor(HWND h, std::optional<COLORREF>& slot, WPARAM w) {
    slot = COLORREF(w);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetMaxTipWidth(Tooltip* s, LPARAM l) {
    int old = s->max_width;
    s->max_width = int(l);
    return old;
}

LRESULT OnPop(HWND h) {
    KillTimer(h, kShowTimer);
    Hide(h);
    return 0;
}

LRESULT OnPopup(HWND h, Tooltip* s) {
    POINT p;
    GetCursorPos(&p);
    int k = s->hot >= 0 ? s->hot : ToolAtScreen(*s, p);
    if (k >= 0) Show(h, k);
    return 0;
}

// The tooltip's own messages.
LRESULT OnTooltipMessage(HWND h, Tooltip* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case TTM_ACTIVATE: return OnActivate(h, s, w);
        case TTM_SETDELAYTIME: return OnSetDelayTime(s, w, l);
        case TTM_GETDELAYTIME: return OnGetDelayTime(s, w);
        case TTM_ADDTOOLA: return OnAddTool(h, s, l);
        case TTM_DELTOOLA: return OnDelTool(h, s, l);
        case TTM_NEWTOOLRECTA: return OnNewToolRect(s, l);
        case TTM_RELAYEVENT:
            if (l) Relay(h, *reinterpret_cast<const MSG*>(l));
            return 0;
        case TTM_GETTOOLINFOA: return OnGetToolInfo(s, l);
        case TTM_SETTOOLINFOA: return OnSetToolInfo(h, s, l);
        case TTM_HITTESTA: return OnHitTest(s, l);
        case TTM_GETTEXTA: return OnGetText(h, s, w, l);
        case TTM_UPDATETIPTEXTA: return OnUpdateTipText(h, s, l);
        case TTM_GETTOOLCOUNT: return LRESULT(s->tools.size());
        case TTM_ENUMTOOLSA: return OnEnumTools(s, w, l);
        case TTM_GETCURRENTTOOLA: return OnGetCurrentTool(s, l);
        case TTM_WINDOWFROMPOINT: return l ? reinterpret_cast<LRESULT>(WindowFromPoint(*reinterpret_cast<POINT*>(l))) : 0;
        case TTM_TRACKACTIVATE: return OnTrackActivate(h, s, w, l);
        case TTM_TRACKPOSITION: return OnTrackPosition(h, s, l);
        case TTM_SETTIPBKCOLOR: return SetColor(h, s->set_bk, w);
        case TTM_SETTIPTEXTCOLOR: return SetColor(h, s->set_fg, w);
        case TTM_GETTIPBKCOLOR: return LRESULT(s->Bk());
        case TTM_GETTIPTEXTCOLOR: return LRESULT(s->Fg());
        case TTM_SETMAXTIPWIDTH: return OnSetMaxTipWidth(s, l);
        case TTM_GETMAXTIPWIDTH: return s->max_width;
        case TTM_SETMARGIN:
            if (l) s->margin = *reinterpret_cast<RECT*>(l);
            return 0;
        case TTM_GETMARGIN:
            if (l) *reinterpret_cast<RECT*>(l) = s->margin;
            return 0;
        case TTM_POP: return OnPop(h);
        case TTM_POPUP: return OnPopup(h, s);
        case TTM_UPDATE:
            if (s->shown >= 0) Show(h, s->shown);
            return 0;
        case TTM_SETTITLEA:
            s->title = l ? reinterpret_cast<LPCSTR>(l) : "";
            return TRUE;
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace

LRESULT CALLBACK TooltipProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Tooltip* s = AttachState<Tooltip>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCCREATE: return OnNcCreate(h, m, w, l);
        case WM_DESTROY:
            Unhook(h);
            return DefWindowProcA(h, m, w, l);
        case WM_SYSCOLORCHANGE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: return OnPaint(h, s);
        case WM_SETFONT: s->font = reinterpret_cast<HFONT>(w); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_MOUSEMOVE:
            if (s->tracking < 0) Hide(h);
            return 0;
        case WM_TIMER: return OnTimer(h, s, w, l);
        default: return OnTooltipMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl
