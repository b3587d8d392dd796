// A dialog with every standard control kind, captured headless: the picture is written for
// a person to look at, and a few chosen pixels are checked against the classic colours.
#include <gtest/gtest.h>

#include <vector>

#include "dialog_test_support.h"

using namespace dlgtest;

namespace {

INT_PTR CALLBACK Proc(HWND, UINT m, WPARAM, LPARAM) { return m == WM_INITDIALOG; }

COLORREF At(const std::vector<DWORD>& px, int w, int x, int y) {
    DWORD p = px[size_t(y) * size_t(w) + size_t(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Where a control's client point lands in the dialog's window capture.
POINT InCapture(HWND dlg, HWND ctl, int x, int y) {
    POINT p{x, y};
    ClientToScreen(ctl, &p);
    RECT wr;
    GetWindowRect(dlg, &wr);
    return {p.x - wr.left, p.y - wr.top};
}

TEST(DialogCapture, EveryControlKindPaintsItsClassicLook) {
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE, 10, 10, 230, 150,
                      "Every control");
    t.Item(kStatic, "&Name:", 100, SS_LEFT, 6, 8, 30, 10)
        .Item(kEdit, "Some text", 101, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 40, 6, 100, 12)
        .Item(kButton, "&Check", 102, BS_AUTOCHECKBOX | WS_TABSTOP, 6, 24, 60, 10)
        .Item(kButton, "Group", 109, BS_GROUPBOX, 4, 36, 90, 50)
        .Item(kButton, "Radio &1", 103, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 46, 60, 10)
        .Item(kButton, "Radio &2", 104, BS_AUTORADIOBUTTON, 10, 58, 60, 10)
        .Item(kListBox, "", 106, WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 150, 6, 70, 50)
        .Item(kComboBox, "", 107, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 150, 62, 70, 60)
        .Item(kScrollBar, "", 108, SBS_HORZ, 6, 92, 90, 10)
        .Item(kStatic, "", 110, SS_ETCHEDHORZ, 6, 110, 214, 2)
        .Item(kStatic, "", 111, SS_BLACKRECT, 110, 92, 20, 10)
        .Item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 110, 128, 50, 14)
        .Item(kButton, "Cancel", IDCANCEL, WS_TABSTOP, 170, 128, 50, 14);
    HWND dlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dlg);
    for (const char* s : {"First", "Second", "Third"}) {
        SendDlgItemMessageA(dlg, 106, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageA(dlg, 107, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    SendDlgItemMessageA(dlg, 106, LB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dlg, 107, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dlg, 102, BST_CHECKED);
    CheckDlgButton(dlg, 104, BST_CHECKED);
    SetScrollPos(GetDlgItem(dlg, 108), SB_CTL, 30, TRUE);
    WinTestPumpUntilIdle();

    EXPECT_TRUE(WinTestCaptureWindowPng(dlg, "dialog_every_control.png"));
    int w = 0, h = 0;
    WinTestCaptureWindow(dlg, nullptr, 0, &w, &h);
    ASSERT_GT(w, 0);
    std::vector<DWORD> px(size_t(w) * size_t(h));
    ASSERT_TRUE(WinTestCaptureWindow(dlg, px.data(), int(px.size()), &w, &h));

    auto probe = [&](int id, int x, int y) {
        POINT p = InCapture(dlg, GetDlgItem(dlg, id), x, y);
        return At(px, w, p.x, p.y);
    };
    // Dialog face between controls.
    RECT r{0, 0, 0, 0};
    POINT face = InCapture(dlg, dlg, 2, 2);
    (void)r;
    EXPECT_EQ(At(px, w, face.x, face.y), GetSysColor(COLOR_BTNFACE));
    // The edit's inside is the window colour; the list's selected row is highlighted.
    RECT er;
    GetClientRect(GetDlgItem(dlg, 101), &er);
    EXPECT_EQ(probe(101, er.right - 2, er.bottom - 2), GetSysColor(COLOR_WINDOW));
    int ih = int(SendDlgItemMessageA(dlg, 106, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(probe(106, 50, ih + ih / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(probe(106, 50, ih * 3 + 2), GetSysColor(COLOR_WINDOW));
    // The default button's outer frame is black; the black rectangle is the frame colour.
    EXPECT_EQ(probe(IDOK, 10, 0), RGB(0, 0, 0));
    EXPECT_EQ(probe(111, 5, 5), GetSysColor(COLOR_WINDOWFRAME));
    // The etched line: shadow over highlight.
    EXPECT_EQ(probe(110, 50, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(probe(110, 50, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    // The checked box holds dark check-mark pixels in its white square.
    RECT cr;
    GetClientRect(GetDlgItem(dlg, 102), &cr);
    int top = (cr.bottom - 13) / 2;
    int dark = 0, white = 0;
    for (int y = top + 2; y < top + 11; ++y)
        for (int x = 2; x < 11; ++x) {
            COLORREF c = probe(102, x, y);
            dark += c == GetSysColor(COLOR_WINDOWTEXT);
            white += c == GetSysColor(COLOR_WINDOW);
        }
    EXPECT_GT(dark, 5);
    EXPECT_GT(white, 20);
    DestroyWindow(dlg);
    WinTestPumpUntilIdle();
}

HWND g_box = nullptr;

LRESULT CALLBACK BoxOwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ENTERIDLE && w == MSGF_DIALOGBOX && !g_box) {
        g_box = reinterpret_cast<HWND>(l);
        WinTestCaptureWindowPng(g_box, "message_box.png");
        WinTestKeyPress(VK_RETURN);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

TEST(DialogCapture, MessageBoxShowsItsIconTextAndButtons) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BoxOwnerProc;
    wc.lpszClassName = "BoxCaptureOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "BoxCaptureOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                                 nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    g_box = nullptr;
    // The box is captured at its first idle turn, before Enter answers it.
    std::vector<DWORD> px;
    int w = 0, h = 0;
    int r = MessageBoxA(owner, "The file could not be read.\nSecond line, longer than the first one.", "Velmora",
                        MB_OKCANCEL | MB_ICONHAND);
    EXPECT_EQ(r, IDOK);
    ASSERT_TRUE(WinTestReadPng("message_box.png", nullptr, 0, &w, &h) || w > 0);
    px.resize(size_t(w) * size_t(h));
    ASSERT_TRUE(WinTestReadPng("message_box.png", px.data(), int(px.size()), &w, &h));
    // The hand icon's red is there, left of the text; the face is the button face.
    int red = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 3; ++x) red += At(px, w, x, y) == RGB(0xD0, 0x20, 0x20);
    EXPECT_GT(red, 100);
    EXPECT_EQ(At(px, w, w / 2, h - 4), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(w, 200);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

}  // namespace
