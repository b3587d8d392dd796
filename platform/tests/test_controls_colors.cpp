// Colours of the controls as skins steer them: every control paints with the brush and colours
// its parent answers to WM_CTLCOLOR*, WM_PRINTCLIENT paints what the screen shows, and
// controls read the system colours again, through the public GetSysColor, after
// WM_SYSCOLORCHANGE. The program's GetSysColor here stands in for a skin's replacement of it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "commctrl.h"
#include "dialog_test_support.h"
#include "windows.h"
#include "winplat_test.h"

namespace {
std::map<int, COLORREF>* g_sys_override = nullptr;
}  // namespace

// Every call of the layer's own goes through its exported entry, so this one is found first.
extern "C" DWORD WINAPI GetSysColor(int index) {
    using Fn = DWORD (*)(int);
    static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "GetSysColor"));
    if (g_sys_override) {
        auto it = g_sys_override->find(index);
        if (it != g_sys_override->end()) return it->second;
    }
    return real(index);
}

namespace {

// What the host answers for each question: a brush, a text colour and a background colour.
struct Answer {
    COLORREF brush, text;
};
const std::map<UINT, Answer> kAnswers = {
    {WM_CTLCOLOREDIT, {RGB(250, 215, 215), RGB(190, 0, 0)}},
    {WM_CTLCOLORSTATIC, {RGB(215, 250, 215), RGB(0, 130, 0)}},
    {WM_CTLCOLORLISTBOX, {RGB(215, 215, 250), RGB(0, 0, 190)}},
    {WM_CTLCOLORBTN, {RGB(250, 250, 200), RGB(120, 0, 120)}},
    {WM_CTLCOLORSCROLLBAR, {RGB(200, 250, 250), RGB(0, 0, 0)}},
    {WM_CTLCOLORDLG, {RGB(240, 220, 180), RGB(0, 0, 0)}},
};
std::map<UINT, HBRUSH> g_brushes;
struct Asked {
    UINT msg;
    HWND from;
};
std::vector<Asked> g_asked;

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto it = kAnswers.find(m);
    if (it != kAnswers.end()) {
        g_asked.push_back({m, reinterpret_cast<HWND>(l)});
        HDC dc = reinterpret_cast<HDC>(w);
        SetTextColor(dc, it->second.text);
        SetBkColor(dc, it->second.brush);
        HBRUSH& b = g_brushes[m];
        if (!b) b = CreateSolidBrush(it->second.brush);
        return reinterpret_cast<LRESULT>(b);
    }
    return DefWindowProcA(h, m, w, l);
}

HWND Host() {
    static bool reg = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "ColourHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        return RegisterClassA(&wc) != 0;
    }();
    (void)reg;
    g_asked.clear();
    HWND h = CreateWindowExA(0, "ColourHost", "", WS_POPUP | WS_VISIBLE, 20, 20, 460, 300, nullptr, nullptr, nullptr,
                             nullptr);
    WinTestPumpUntilIdle();
    return h;
}

HWND Child(HWND host, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, DWORD ex = 0) {
    HWND c = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host, nullptr, nullptr, nullptr);
    HFONT f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    return c;
}

// The control's client area as the screen shows it.
struct ClientPicture {
    WinTestWindowPicture pic;
    int ox, oy, w, h;
    explicit ClientPicture(HWND c) : pic(c) {
        RECT wr, cr;
        GetWindowRect(c, &wr);
        GetClientRect(c, &cr);
        POINT o{0, 0};
        ClientToScreen(c, &o);
        ox = o.x - wr.left;
        oy = o.y - wr.top;
        w = cr.right;
        h = cr.bottom;
    }
    COLORREF At(int x, int y) const { return pic.At(ox + x, oy + y); }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += At(x, y) == c;
        return n;
    }
};

bool WasAsked(UINT msg, HWND from) {
    for (const Asked& a : g_asked)
        if (a.msg == msg && a.from == from) return true;
    return false;
}

// The background fills most of the control and some pixels carry the text colour.
void ExpectPaintedWith(HWND c, UINT msg, const char* what, bool text = true) {
    const Answer& a = kAnswers.at(msg);
    EXPECT_TRUE(WasAsked(msg, c)) << what;
    ClientPicture p(c);
    EXPECT_GT(p.Count(a.brush), p.w * p.h / 3) << what << ": the answered brush";
    if (text) {
        EXPECT_GT(p.Count(a.text), 0) << what << ": the answered text colour";
    }
}

TEST(CtlColor, EachControlPaintsWithTheColoursItsParentAnswers) {
    HWND host = Host();
    HWND edit = Child(host, "Edit", "HIH", WS_BORDER, 10, 10, 120, 24);
    HWND ro = Child(host, "Edit", "HIH", WS_BORDER | ES_READONLY, 10, 40, 120, 24);
    HWND off = Child(host, "Edit", "HIH", WS_BORDER | WS_DISABLED, 10, 70, 120, 24);
    HWND label = Child(host, "Static", "HIH", SS_LEFT, 10, 100, 120, 24);
    HWND list = Child(host, "ListBox", "", WS_BORDER, 150, 10, 120, 80);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("HIH"));
    HWND check = Child(host, "Button", "HIH", BS_AUTOCHECKBOX, 150, 100, 120, 24);
    HWND group = Child(host, "Button", "HIH", BS_GROUPBOX, 290, 150, 150, 100);
    HWND push = Child(host, "Button", "HIH", BS_PUSHBUTTON, 10, 130, 120, 26);
    HWND bar = Child(host, "ScrollBar", "", SBS_HORZ, 150, 140, 120, 17);
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 100, 10, 0, 0};
    SendMessageA(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
    HWND combo = Child(host, "ComboBox", "", CBS_DROPDOWNLIST, 290, 10, 150, 120);
    for (const char* item : {"HIH", "IHI", "HHI", "IIH"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    WinTestPumpUntilIdle();

    ExpectPaintedWith(edit, WM_CTLCOLOREDIT, "edit");
    ExpectPaintedWith(ro, WM_CTLCOLORSTATIC, "read-only edit");
    ExpectPaintedWith(off, WM_CTLCOLORSTATIC, "disabled edit", false);
    EXPECT_FALSE(WasAsked(WM_CTLCOLOREDIT, ro));
    ExpectPaintedWith(label, WM_CTLCOLORSTATIC, "static");
    ExpectPaintedWith(list, WM_CTLCOLORLISTBOX, "list box");
    ExpectPaintedWith(check, WM_CTLCOLORSTATIC, "check box");
    EXPECT_TRUE(WasAsked(WM_CTLCOLORSTATIC, group)) << "group box";
    EXPECT_GT(ClientPicture(group).Count(kAnswers.at(WM_CTLCOLORSTATIC).text), 0) << "group box title";
    EXPECT_TRUE(WasAsked(WM_CTLCOLORBTN, push)) << "push button";
    // The scroll bar's track between its arrows.
    EXPECT_TRUE(WasAsked(WM_CTLCOLORSCROLLBAR, bar));
    EXPECT_EQ(ClientPicture(bar).At(90, 8), kAnswers.at(WM_CTLCOLORSCROLLBAR).brush) << "scroll bar track";
    // The drop-down list's field, then its list: the list asks its combo box, which asks its
    // parent on the list's behalf.
    ExpectPaintedWith(combo, WM_CTLCOLOREDIT, "drop-down list field");
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    WinTestPumpUntilIdle();
    HWND dropped = dlgtest::DroppedList();
    ASSERT_TRUE(dropped);
    ExpectPaintedWith(dropped, WM_CTLCOLORLISTBOX, "drop-down list");
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    // Default answers give the classic look.
    HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 500, 20, 200, 100, nullptr, nullptr, nullptr,
                                 nullptr);
    HWND plain_edit = Child(plain, "Edit", "", WS_BORDER, 10, 10, 100, 24);
    HWND plain_list = Child(plain, "ScrollBar", "", SBS_HORZ, 10, 50, 120, 17);
    SendMessageA(plain_list, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
    WinTestPumpUntilIdle();
    EXPECT_EQ(ClientPicture(plain_edit).At(50, 10), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ClientPicture(plain_list).At(90, 8), GetSysColor(COLOR_SCROLLBAR));
    DestroyWindow(plain);
    DestroyWindow(host);
    for (auto& [m, b] : g_brushes) DeleteObject(b);
    g_brushes.clear();
}

INT_PTR CALLBACK ColouredDialog(HWND, UINT m, WPARAM w, LPARAM) {
    if (m == WM_CTLCOLORDLG) {
        HBRUSH& b = g_brushes[m];
        if (!b) b = CreateSolidBrush(kAnswers.at(WM_CTLCOLORDLG).brush);
        (void)w;
        return reinterpret_cast<INT_PTR>(b);
    }
    return m == WM_INITDIALOG;
}

TEST(CtlColor, ADialogErasesWithItsCtlColorDlgBrush) {
    dlgtest::TemplateBuilder t(WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 100, 60, "");
    HWND dlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, ColouredDialog, 0);
    ASSERT_TRUE(dlg);
    WinTestPumpUntilIdle();
    EXPECT_EQ(ClientPicture(dlg).At(20, 20), kAnswers.at(WM_CTLCOLORDLG).brush);
    DestroyWindow(dlg);
    for (auto& [m, b] : g_brushes) DeleteObject(b);
    g_brushes.clear();
}

// ---- WM_PRINTCLIENT ----

// What a control paints into a memory DC, over a colour no control uses; the DC's clip is
// the whole bitmap again afterwards.
std::vector<COLORREF> Printed(HWND c, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    RECT all{0, 0, w, h};
    HBRUSH marker = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, marker);
    DeleteObject(marker);
    SendMessageA(c, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    RECT clip;
    GetClipBox(dc, &clip);
    EXPECT_TRUE(EqualRect(&clip, &all)) << "the control left a clip on the caller's DC";
    std::vector<COLORREF> out(size_t(w) * h);
    const auto* px = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < out.size(); ++i) out[i] = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    return out;
}

// Client pixels covered by a visible child, which printing the client alone does not show.
bool UnderAChild(HWND c, int x, int y) {
    for (HWND k = GetWindow(c, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) {
        if (!IsWindowVisible(k)) continue;
        RECT r;
        GetWindowRect(k, &r);
        MapWindowPoints(nullptr, c, reinterpret_cast<POINT*>(&r), 2);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
    return false;
}

TEST(PrintClient, EachControlPrintsWhatTheScreenShowsAndNothingMore) {
    HWND host = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 20, 20, 460, 320, nullptr, nullptr, nullptr,
                                nullptr);
    std::vector<std::pair<const char*, HWND>> controls = {
        {"static", Child(host, "Static", "Label", SS_LEFT, 10, 10, 100, 20)},
        {"push button", Child(host, "Button", "Push", BS_PUSHBUTTON, 10, 40, 100, 26)},
        {"check box", Child(host, "Button", "Check", BS_AUTOCHECKBOX, 10, 75, 100, 20)},
        {"edit", Child(host, "Edit", "text", 0, 10, 105, 100, 22, WS_EX_CLIENTEDGE)},
        {"list box", Child(host, "ListBox", "", WS_BORDER, 130, 10, 120, 80)},
        {"list view", Child(host, WC_LISTVIEWA, "", LVS_REPORT, 130, 100, 200, 100)},
        {"trackbar", Child(host, TRACKBAR_CLASSA, "", 0, 10, 210, 200, 30)},
        {"progress", Child(host, PROGRESS_CLASSA, "", 0, 10, 250, 200, 18)},
    };
    HWND list = controls[4].second;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
    HWND lv = controls[5].second;
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 120;
    col.pszText = const_cast<char*>("Name");
    SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    LVITEMA it{};
    it.mask = LVIF_TEXT;
    it.pszText = const_cast<char*>("row");
    SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    SendMessageA(controls[7].second, PBM_SETPOS, 40, 0);
    WinTestPumpUntilIdle();
    for (auto& [what, c] : controls) {
        ClientPicture screen(c);
        std::vector<COLORREF> printed = Printed(c, screen.w, screen.h);
        int differ = 0;
        for (int y = 0; y < screen.h; ++y)
            for (int x = 0; x < screen.w; ++x)
                differ += !UnderAChild(c, x, y) && printed[size_t(y) * screen.w + x] != screen.At(x, y);
        EXPECT_EQ(differ, 0) << what;
        // Printing changed nothing on the screen and left nothing to repaint.
        ClientPicture after(c);
        int moved = 0;
        for (int y = 0; y < screen.h; ++y)
            for (int x = 0; x < screen.w; ++x) moved += after.At(x, y) != screen.At(x, y);
        EXPECT_EQ(moved, 0) << what;
        EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE)) << what;
    }
    DestroyWindow(host);
}

// ---- colours after WM_SYSCOLORCHANGE ----

TEST(SysColors, ControlsReadTheColoursAgainAfterWmSysColorChange) {
    HWND host = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 300, nullptr, nullptr, nullptr,
                                nullptr);
    HWND lv = Child(host, WC_LISTVIEWA, "", LVS_REPORT, 10, 10, 200, 120);
    HWND own = Child(host, WC_LISTVIEWA, "", LVS_REPORT, 220, 10, 150, 120);
    SendMessageA(own, LVM_SETBKCOLOR, 0, RGB(10, 20, 30));
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, host, nullptr, nullptr,
                               nullptr);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0), LRESULT(GetSysColor(COLOR_WINDOW)));

    // A skin replaces the system colours and tells the windows.
    std::map<int, COLORREF> skin = {{COLOR_WINDOW, RGB(30, 90, 60)},
                                    {COLOR_WINDOWTEXT, RGB(250, 250, 0)},
                                    {COLOR_INFOBK, RGB(60, 30, 90)},
                                    {COLOR_INFOTEXT, RGB(0, 250, 250)}};
    g_sys_override = &skin;
    for (HWND w : {lv, own, tip}) SendMessageA(w, WM_SYSCOLORCHANGE, 0, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0), LRESULT(RGB(30, 90, 60)));
    EXPECT_EQ(SendMessageA(lv, LVM_GETTEXTCOLOR, 0, 0), LRESULT(RGB(250, 250, 0)));
    EXPECT_EQ(SendMessageA(lv, LVM_GETTEXTBKCOLOR, 0, 0), LRESULT(RGB(30, 90, 60)));
    EXPECT_EQ(ClientPicture(lv).At(100, 100), RGB(30, 90, 60)) << "repainted in the new window colour";
    EXPECT_EQ(SendMessageA(own, LVM_GETBKCOLOR, 0, 0), LRESULT(RGB(10, 20, 30))) << "a colour the program set stays";
    EXPECT_EQ(ClientPicture(own).At(100, 100), RGB(10, 20, 30));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), LRESULT(RGB(60, 30, 90)));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), LRESULT(RGB(0, 250, 250)));
    g_sys_override = nullptr;
    for (HWND w : {lv, tip}) SendMessageA(w, WM_SYSCOLORCHANGE, 0, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(ClientPicture(lv).At(100, 100), GetSysColor(COLOR_WINDOW)) << "and back when the skin goes";
    DestroyWindow(tip);
    DestroyWindow(host);
}

}  // namespace
