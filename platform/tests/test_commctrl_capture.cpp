// A window holding each common control, captured headless to a PNG and checked at chosen pixels:
// the classic look painted with the system colours.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

HBITMAP SolidBitmap(int w, int h, COLORREF c) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ o = SelectObject(mem, b);
    RECT r{0, 0, w, h};
    HBRUSH br = CreateSolidBrush(c);
    FillRect(mem, &r, br);
    DeleteObject(br);
    SelectObject(mem, o);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return b;
}

TEST(CommCtrlCapture, EachControlPaintsItsClassicLook) {
    Reset();
    HWND parent = MakeParent(480, 360);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, 300,
                                160, parent, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES);
    const char* names[] = {"File", "Size", "Status"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = c == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
        col.cx = c == 0 ? 130 : 80;
        col.pszText = const_cast<char*>(names[c]);
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    // A header image: a red square in front of the "Size" text.
    HIMAGELIST himl = ImageList_Create(10, 10, ILC_COLOR32 | ILC_MASK, 1, 1);
    HBITMAP red = SolidBitmap(10, 10, RGB(255, 0, 0));
    ImageList_AddMasked(himl, red, RGB(255, 0, 255));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(himl));
    HDITEMA hi{};
    hi.mask = HDI_IMAGE | HDI_FORMAT;
    hi.fmt = HDF_STRING | HDF_IMAGE | HDF_LEFT;
    hi.iImage = 0;
    SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&hi));
    const char* files[] = {"clip one.avi", "holiday.mpg", "talk.wmv"};
    for (int i = 0; i < 3; ++i) {
        LVITEMA it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = const_cast<char*>(files[i]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
        LVITEMA sub{};
        sub.iSubItem = 2;
        sub.pszText = const_cast<char*>("Ready");
        SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
    }
    LVITEMA st{};
    st.state = st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&st));
    st.state = INDEXTOSTATEIMAGEMASK(2);
    st.stateMask = LVIS_STATEIMAGEMASK;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&st));

    HWND track = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 10, 190, 220, 32, parent,
                                 nullptr, nullptr, nullptr);
    SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(track, TBM_SETPOS, TRUE, 3);
    HWND vtrack = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH, 330, 10, 34, 160,
                                  parent, nullptr, nullptr, nullptr);
    HWND prog = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 240, 220, 18, parent, nullptr,
                                nullptr, nullptr);
    SendMessageA(prog, PBM_SETPOS, 60, 0);
    HWND smooth = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 10, 270, 220, 18, parent,
                                  nullptr, nullptr, nullptr);
    SendMessageA(smooth, PBM_SETPOS, 30, 0);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr,
                               nullptr);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = parent;
    ti.uId = 1;
    ti.lpszText = const_cast<char*>("Start Convert");
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(260, 240));
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    SetFocus(list);
    Pump();

    // One file per run: other checkouts may run this test at the same moment.
    std::string path = ::testing::TempDir() + "commctrl_capture_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(WinTestCaptureScreenPng(path.c_str()));

    // The list: the selected row in the highlight colour across all cells, others on the window.
    RECT r1{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
    POINT o{0, 0};
    ClientToScreen(list, &o);
    int y1 = o.y + r1.top + 3;
    EXPECT_EQ(WinTestScreenPixel(o.x + 200, y1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(WinTestScreenPixel(o.x + 200, o.y + r1.top - 4), GetSysColor(COLOR_WINDOW));
    // Check box of row 0: a white box with a dark tick somewhere inside.
    RECT r0{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    int dark = 0;
    for (int y = r0.top; y < r0.bottom; ++y)
        for (int x = 2; x < 18; ++x)
            if (WinTestScreenPixel(o.x + x, o.y + y) == RGB(0, 0, 0)) ++dark;
    EXPECT_GT(dark, 4);
    // The header image.
    RECT hr;
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&hr));
    POINT ho{0, 0};
    ClientToScreen(header, &ho);
    EXPECT_EQ(WinTestScreenPixel(ho.x + hr.left + 9, ho.y + (hr.top + hr.bottom) / 2), RGB(255, 0, 0));
    // The progress bar's fill and its empty part.
    POINT po{0, 0};
    ClientToScreen(smooth, &po);
    EXPECT_EQ(WinTestScreenPixel(po.x + 20, po.y + 9), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(WinTestScreenPixel(po.x + 150, po.y + 9), GetSysColor(COLOR_BTNFACE));
    // The tooltip in the info colours.
    RECT tr;
    GetWindowRect(tip, &tr);
    EXPECT_EQ(WinTestScreenPixel(tr.left + 2, tr.top + 2), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(WinTestScreenPixel(tr.left, tr.top), GetSysColor(COLOR_WINDOWFRAME));
    // The trackbar thumb face.
    RECT th;
    SendMessageA(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th));
    POINT to{0, 0};
    ClientToScreen(track, &to);
    EXPECT_EQ(WinTestScreenPixel(to.x + (th.left + th.right) / 2, to.y + (th.top + th.bottom) / 2),
              GetSysColor(COLOR_BTNFACE));
    (void)vtrack;
    DestroyWindow(tip);
    DestroyWindow(parent);
    ImageList_Destroy(himl);
    DeleteObject(red);
    Pump();
}

}  // namespace
