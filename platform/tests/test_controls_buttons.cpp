// The button family and statics: clicks by mouse and space bar with BN_CLICKED, check states
// of automatic check boxes, three-state boxes and radio groups, owner-drawn buttons with
// their drawing states, images, and static notifications.
#include <gtest/gtest.h>

#include "dialog_test_support.h"

using namespace dlgtest;

namespace {

TEST(ControlsButtons, ClickCountsOnlyWhenReleasedInsideTheButton) {
    HWND host = Host();
    HWND b = Child(host, "Button", "Push", BS_PUSHBUTTON, 10, 10, 10, 80, 24);
    WinTestClick(b, WINTEST_LEFT, 40, 12);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{10, BN_CLICKED}}));
    EXPECT_EQ(GetFocus(), b);
    // Pressed look while held inside, gone when the mouse leaves; no click on release outside.
    Notes().clear();
    WinTestAdvanceClock(1000);
    WinTestMouseButton(b, WINTEST_LEFT, TRUE, 40, 12);
    Pump();
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    WinTestMouseMove(b, 200, 100);
    Pump();
    EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    WinTestMouseButton(b, WINTEST_LEFT, FALSE, 200, 100);
    Pump();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(GetCapture(), nullptr);
    // Space bar: pressed on key-down, clicked on key-up.
    WinTestKey(VK_SPACE, TRUE);
    Pump();
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_TRUE(Commands().empty());
    WinTestKey(VK_SPACE, FALSE);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{10, BN_CLICKED}}));
    // A disabled button ignores the mouse and BM_CLICK.
    Notes().clear();
    EnableWindow(b, FALSE);
    WinTestClick(b, WINTEST_LEFT, 40, 12);
    SendMessageA(b, BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(Commands().empty());
    DestroyWindow(host);
}

TEST(ControlsButtons, AutomaticCheckBoxesAndRadioGroupsKeepTheirState) {
    HWND host = Host();
    HWND chk = Child(host, "Button", "Check", BS_AUTOCHECKBOX | WS_TABSTOP, 1, 10, 10, 100, 20);
    HWND tri = Child(host, "Button", "Three", BS_AUTO3STATE, 2, 10, 35, 100, 20);
    HWND manual = Child(host, "Button", "Manual", BS_CHECKBOX, 3, 10, 60, 100, 20);
    HWND r1 = Child(host, "Button", "R1", BS_AUTORADIOBUTTON | WS_GROUP, 4, 150, 10, 80, 20);
    HWND r2 = Child(host, "Button", "R2", BS_AUTORADIOBUTTON, 5, 150, 35, 80, 20);
    HWND r3 = Child(host, "Button", "R3", BS_AUTORADIOBUTTON, 6, 150, 60, 80, 20);
    HWND other = Child(host, "Button", "Other group", BS_AUTORADIOBUTTON | WS_GROUP, 7, 150, 85, 80, 20);
    WinTestClick(chk, WINTEST_LEFT, 5, 10);
    Pump();
    EXPECT_EQ(SendMessageA(chk, BM_GETCHECK, 0, 0), BST_CHECKED);
    WinTestClick(chk, WINTEST_LEFT, 5, 10);
    Pump();
    EXPECT_EQ(SendMessageA(chk, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Three states in turn.
    for (LRESULT want : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        SendMessageA(tri, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageA(tri, BM_GETCHECK, 0, 0), want);
    }
    // A plain check box only notifies; the parent decides. Indeterminate needs a 3-state box.
    SendMessageA(manual, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(manual, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(manual, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Radio group: one checked at a time, and the next group is untouched.
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    WinTestClick(r2, WINTEST_LEFT, 5, 10);
    Pump();
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
    WinTestClick(r3, WINTEST_LEFT, 5, 10);
    Pump();
    EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(r3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Notifications in click order.
    auto cmds = Commands();
    ASSERT_GE(cmds.size(), 2u);
    EXPECT_EQ(cmds[cmds.size() - 2], std::make_pair(5, int(BN_CLICKED)));
    EXPECT_EQ(cmds.back(), std::make_pair(6, int(BN_CLICKED)));
    // Dialog codes the dialog manager relies on.
    EXPECT_TRUE(SendMessageA(r1, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
    EXPECT_FALSE(SendMessageA(chk, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
    DestroyWindow(host);
}

TEST(ControlsButtons, OwnerDrawnButtonsAreDrawnByTheParentWithTheirState) {
    HWND host = Host();
    HWND b = Child(host, "Button", "Owner", BS_OWNERDRAW | WS_TABSTOP, 42, 10, 10, 80, 24);
    ASSERT_FALSE(Draws().empty());
    EXPECT_EQ(Draws().back().CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(Draws().back().CtlID, 42u);
    EXPECT_EQ(Draws().back().hwndItem, b);
    EXPECT_EQ(Draws().back().rcItem.right, 80);
    Draws().clear();
    WinTestMouseButton(b, WINTEST_LEFT, TRUE, 10, 10);
    Pump();
    ASSERT_FALSE(Draws().empty());
    EXPECT_TRUE(Draws().back().itemState & ODS_SELECTED);
    EXPECT_TRUE(Draws().back().itemState & ODS_FOCUS);
    WinTestMouseButton(b, WINTEST_LEFT, FALSE, 10, 10);
    Pump();
    EXPECT_FALSE(Draws().back().itemState & ODS_SELECTED);
    EXPECT_EQ(Commands().back(), std::make_pair(42, int(BN_CLICKED)));
    // The default-button style keeps the owner-drawn type; the dialog code says "push button".
    SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(SendMessageA(b, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
    EnableWindow(b, FALSE);
    Pump();
    EXPECT_TRUE(Draws().back().itemState & ODS_DISABLED);
    DestroyWindow(host);
}

TEST(ControlsButtons, ImagesAndStaticNotifications) {
    HWND host = Host();
    HWND b = Child(host, "Button", "", BS_PUSHBUTTON | BS_BITMAP, 1, 10, 10, 60, 30);
    HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
    EXPECT_EQ(SendMessageA(b, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)), 0);
    EXPECT_EQ(SendMessageA(b, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
    // A bitmap static takes its image's size; the previous image comes back on replacement.
    HWND s = Child(host, "Static", "", SS_BITMAP | SS_NOTIFY, 2, 100, 10, 100, 100);
    EXPECT_EQ(SendMessageA(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)), 0);
    RECT r;
    GetClientRect(s, &r);
    EXPECT_EQ(r.right, 16);
    EXPECT_EQ(r.bottom, 16);
    EXPECT_EQ(SendMessageA(s, STM_SETIMAGE, IMAGE_ICON, 0), 0);  // wrong kind: refused
    EXPECT_EQ(SendMessageA(s, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
    HWND ic = Child(host, "Static", "", SS_ICON, 3, 200, 10, 10, 10);
    HICON icon = LoadIconA(nullptr, IDI_HAND);
    SendMessageA(ic, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    EXPECT_EQ(SendMessageA(ic, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
    // SS_NOTIFY statics report clicks; others let the click through to the parent.
    Notes().clear();
    WinTestClick(s, WINTEST_LEFT, 5, 5);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{2, STN_CLICKED}}));
    HWND t = Child(host, "Static", "Text", SS_LEFT, 4, 10, 150, 100, 20);
    EXPECT_EQ(SendMessageA(t, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(s, WM_NCHITTEST, 0, 0), HTCLIENT);
    char buf[16];
    GetWindowTextA(t, buf, sizeof buf);
    EXPECT_STREQ(buf, "Text");
    DestroyWindow(host);
    DeleteObject(bmp);
}

}  // namespace
