// List boxes, combo boxes with their drop-down list, and the scroll-bar control: selection by
// mouse and keyboard with notifications in order, sorting and searching, item data,
// scrolling, and the scroll bar's drag, page clicks and auto-repeat.
#include <gtest/gtest.h>

#include <string>

#include "dialog_test_support.h"

using namespace dlgtest;

namespace {

using Cmds = std::vector<std::pair<int, int>>;

int ItemHeight(HWND lb) { return int(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0)); }

TEST(ControlsLists, ListBoxSelectionByMouseAndKeyboardNotifies) {
    HWND host = Host();
    HWND lb = Child(host, "ListBox", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 5, 10, 10, 150,
                    100);
    for (const char* s : {"apple", "banana", "cherry", "date", "elder", "fig", "grape", "honeydew", "kiwi", "lemon"})
        SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(SendMessageA(lb, LB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), LB_ERR);
    int ih = ItemHeight(lb);
    ASSERT_GT(ih, 0);
    Notes().clear();
    WinTestClick(lb, WINTEST_LEFT, 20, ih * 2 + ih / 2);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
    Cmds want = {{5, LBN_SETFOCUS}, {5, LBN_SELCHANGE}};
    EXPECT_EQ(Commands(), want);
    // Clicking the selected item again changes nothing.
    Notes().clear();
    WinTestAdvanceClock(1000);  // not a double click
    WinTestClick(lb, WINTEST_LEFT, 20, ih * 2 + ih / 2);
    Pump();
    EXPECT_TRUE(Commands().empty());
    // Keyboard: arrows, End, a letter; the list scrolls to keep the selection in view.
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 3);
    WinTestKeyPress(VK_END);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 9);
    EXPECT_GT(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 0);
    WinTestText("b");
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 1);
    int changes = 0;
    for (auto& c : Commands()) changes += c.second == LBN_SELCHANGE;
    EXPECT_EQ(changes, 3);
    // Double click.
    Notes().clear();
    WinTestDoubleClick(lb, WINTEST_LEFT, 20, ih / 2);
    Pump();
    EXPECT_EQ(Commands().back(), std::make_pair(5, int(LBN_DBLCLK)));
    // The program's own selection changes don't notify.
    Notes().clear();
    SendMessageA(lb, LB_SETCURSEL, 4, 0);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(SendMessageA(lb, LB_SETCURSEL, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), LB_ERR);
    DestroyWindow(host);
}

LRESULT g_vkey_answer = -1;
std::vector<WPARAM> g_vkeys;

LRESULT CALLBACK KeyHostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_VKEYTOITEM) {
        g_vkeys.push_back(w);
        return g_vkey_answer;
    }
    return HostProc(h, m, w, l);
}

TEST(ControlsLists, ParentCanTakeTheListsKeys) {
    HWND host = Host();
    SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyHostProc));
    HWND lb = Child(host, "ListBox", "", LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, 6, 10, 10, 120, 100);
    for (const char* s : {"a", "b", "c", "d"}) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageA(lb, LB_SETCURSEL, 1, 0);
    SetFocus(lb);
    Pump();
    g_vkeys.clear();
    g_vkey_answer = -1;  // the list's own handling
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
    ASSERT_FALSE(g_vkeys.empty());
    EXPECT_EQ(LOWORD(g_vkeys[0]), VK_DOWN);
    EXPECT_EQ(HIWORD(g_vkeys[0]), 1);  // the caret before the key
    g_vkey_answer = -2;  // taken by the parent
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
    g_vkey_answer = 0;  // the parent picks an item
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 0);
    DestroyWindow(host);
}

TEST(ControlsLists, ListBoxStringsDataSortingAndSearch) {
    HWND host = Host();
    HWND lb = Child(host, "ListBox", "", LBS_SORT | LBS_NOTIFY, 5, 10, 10, 150, 100);
    for (const char* s : {"pear", "Apple", "banana", "apple pie"})
        SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    char buf[32];
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        SendMessageA(lb, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        order.push_back(buf);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Apple", "apple pie", "banana", "pear"}));
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXTLEN, 1, 0), 9);
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXTLEN, 9, 0), LB_ERR);
    // Pointer-sized item data survives whole.
    LPARAM big = LPARAM(0x123456789ABCDEF0ll);
    SendMessageA(lb, LB_SETITEMDATA, 2, big);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 2, 0), big);
    // Prefix and exact searches, case-insensitive, starting after the given index and wrapping.
    EXPECT_EQ(SendMessageA(lb, LB_FINDSTRING, -1, reinterpret_cast<LPARAM>("APP")), 0);
    EXPECT_EQ(SendMessageA(lb, LB_FINDSTRING, 0, reinterpret_cast<LPARAM>("app")), 1);
    EXPECT_EQ(SendMessageA(lb, LB_FINDSTRING, 1, reinterpret_cast<LPARAM>("app")), 0);
    EXPECT_EQ(SendMessageA(lb, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("APPLE")), 0);
    EXPECT_EQ(SendMessageA(lb, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("appl")), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>("ban")), 2);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
    // Deleting before the selection moves it along; deleting it clears it.
    EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 1, 0), big);
    SendMessageA(lb, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), LB_ERR);
    // Insert at a position (no sorting), and out of range.
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zzz")), 0);
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 50, reinterpret_cast<LPARAM>("x")), LB_ERR);
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETCOUNT, 0, 0), 0);
    // Item from point: the flag says "outside the items".
    SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("only"));
    int ih = ItemHeight(lb);
    EXPECT_EQ(SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, ih / 2)), MAKELONG(0, 0));
    EXPECT_EQ(HIWORD(SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, ih * 3))), 1);
    DestroyWindow(host);
}

TEST(ControlsLists, MultipleAndExtendedSelection) {
    HWND host = Host();
    HWND multi = Child(host, "ListBox", "", LBS_MULTIPLESEL | LBS_NOTIFY, 1, 10, 10, 100, 150);
    HWND ext = Child(host, "ListBox", "", LBS_EXTENDEDSEL | LBS_NOTIFY, 2, 150, 10, 100, 150);
    for (int i = 0; i < 6; ++i) {
        std::string s = "item " + std::to_string(i);
        SendMessageA(multi, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        SendMessageA(ext, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    int ih = ItemHeight(multi);
    WinTestClick(multi, WINTEST_LEFT, 5, ih / 2);
    WinTestClick(multi, WINTEST_LEFT, 5, ih * 3 + ih / 2);
    Pump();
    int sel[8] = {};
    EXPECT_EQ(SendMessageA(multi, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(sel)), 2);
    EXPECT_EQ(sel[0], 0);
    EXPECT_EQ(sel[1], 3);
    WinTestClick(multi, WINTEST_LEFT, 5, ih / 2);  // toggles off
    Pump();
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(multi, LB_SETCURSEL, 1, 0), LB_ERR);  // single-selection message
    // Extended: click, shift+click range, ctrl+click toggle.
    WinTestClick(ext, WINTEST_LEFT, 5, ih + ih / 2);
    Pump();
    WinTestKey(VK_SHIFT, TRUE);
    WinTestClick(ext, WINTEST_LEFT, 5, ih * 4 + ih / 2);
    Pump();
    WinTestKey(VK_SHIFT, FALSE);
    EXPECT_EQ(SendMessageA(ext, LB_GETSELCOUNT, 0, 0), 4);
    WinTestKey(VK_CONTROL, TRUE);
    WinTestClick(ext, WINTEST_LEFT, 5, ih * 2 + ih / 2);
    Pump();
    WinTestKey(VK_CONTROL, FALSE);
    EXPECT_EQ(SendMessageA(ext, LB_GETSELCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(ext, LB_GETSEL, 2, 0), 0);
    // Shift+Down extends from the anchor.
    WinTestKey(VK_SHIFT, TRUE);
    WinTestKeyPress(VK_DOWN);
    WinTestKey(VK_SHIFT, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(ext, LB_GETSELCOUNT, 0, 0), 2);  // items 2..3 from anchor 2
    SendMessageA(ext, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(SendMessageA(ext, LB_GETSELCOUNT, 0, 0), 6);
    DestroyWindow(host);
}

TEST(ControlsLists, ListBoxScrollsWithItsScrollBar) {
    HWND host = Host();
    HWND lb = Child(host, "ListBox", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 1, 10, 10, 120, 80);
    for (int i = 0; i < 40; ++i) {
        std::string s = std::to_string(i);
        SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 39);
    int page = int(si.nPage);
    EXPECT_EQ(page, 80 / ItemHeight(lb));
    SendMessageA(lb, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), page);
    SendMessageA(lb, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 40 - page);
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 40 - page);
    SendMessageA(lb, LB_SETTOPINDEX, 39, 0);  // no room below: stops at the last page
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 40 - page);
    DestroyWindow(host);
}

struct ComboFixture : ::testing::Test {
    HWND host = nullptr, combo = nullptr;
    void Make(DWORD style) {
        host = Host(400, 300);
        combo = Child(host, "ComboBox", "", style | WS_VSCROLL | WS_TABSTOP, 9, 20, 20, 150, 120);
        for (const char* s : {"Low", "Medium", "High", "Best"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        Pump();
        Notes().clear();
    }
    HWND List() { return DroppedList(); }
    std::string Face() {
        char buf[64] = {};
        GetWindowTextA(combo, buf, sizeof buf);
        return buf;
    }
    void TearDown() override {
        if (host) DestroyWindow(host);
        Pump();
    }
};

TEST_F(ComboFixture, DropDownListOpensSelectsAndClosesByMouse) {
    Make(CBS_DROPDOWNLIST);
    RECT wr;
    GetWindowRect(combo, &wr);
    EXPECT_LT(wr.bottom - wr.top, 40);  // the field only; the list drops below
    EXPECT_EQ(SendMessageA(combo, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 140, wr.top + 8)), HTCLIENT);
    EXPECT_FALSE(GetWindowLongA(combo, GWL_STYLE) & WS_VSCROLL);
    WinTestClick(combo, WINTEST_LEFT, 140, 8);
    Pump();
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    HWND list = List();
    ASSERT_TRUE(list);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, wr.bottom);
    EXPECT_EQ(lr.left, wr.left);
    // Choose the third item with the mouse.
    int ih = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    POINT p{lr.left + 20, lr.top + 1 + ih * 2 + ih / 2};
    WinTestMouseMove(nullptr, p.x, p.y);
    WinTestClick(nullptr, WINTEST_LEFT, p.x, p.y);
    Pump();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Face(), "High");
    Cmds want = {{9, CBN_SETFOCUS}, {9, CBN_DROPDOWN}, {9, CBN_SELENDOK}, {9, CBN_CLOSEUP}, {9, CBN_SELCHANGE}};
    EXPECT_EQ(Commands(), want);
    // Open again and click outside: cancelled, the selection stays.
    Notes().clear();
    WinTestClick(combo, WINTEST_LEFT, 140, 8);
    Pump();
    WinTestMouseMove(nullptr, lr.left + 20, lr.top + 2);  // hover over the first item
    WinTestClick(nullptr, WINTEST_LEFT, 380, 280);
    Pump();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    want = {{9, CBN_DROPDOWN}, {9, CBN_SELENDCANCEL}, {9, CBN_CLOSEUP}};
    EXPECT_EQ(Commands(), want);
}

TEST_F(ComboFixture, ListOpensAboveWhenThereIsNoRoomBelowAndScrollsToTheSelection) {
    Make(CBS_DROPDOWNLIST);
    for (int i = 0; i < 30; ++i) {
        std::string s = "extra " + std::to_string(i);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    int sw = 0, sh = 0;
    WinTestGetScreenSize(&sw, &sh);
    SetWindowPos(host, nullptr, 10, sh - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(combo, CB_SETCURSEL, 25, 0);
    Pump();
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    HWND list = List();
    ASSERT_TRUE(list);
    RECT wr, lr;
    GetWindowRect(combo, &wr);
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.bottom, wr.top);
    EXPECT_LE(lr.bottom - lr.top, 120);  // no taller than the height the combo box was given
    // The selection is in view.
    int top = int(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, 25);
    RECT ir;
    SendMessageA(list, LB_GETITEMRECT, 25, reinterpret_cast<LPARAM>(&ir));
    RECT cr;
    GetClientRect(list, &cr);
    EXPECT_GE(ir.top, 0);
    EXPECT_LE(ir.bottom, cr.bottom);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ComboFixture, DropDownListFollowsTheKeyboardOpenAndClosed) {
    Make(CBS_DROPDOWNLIST);
    SetFocus(combo);
    Pump();
    Notes().clear();
    // Closed: arrows change the selection at once.
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    WinTestKeyPress(VK_END);
    Pump();
    EXPECT_EQ(Face(), "Best");
    EXPECT_EQ(Commands(), (Cmds{{9, CBN_SELCHANGE}, {9, CBN_SELCHANGE}}));
    WinTestText("m");
    Pump();
    EXPECT_EQ(Face(), "Medium");
    // F4 opens; Up moves; Enter accepts and closes.
    Notes().clear();
    WinTestKeyPress(VK_F4);
    Pump();
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    WinTestKeyPress(VK_UP);
    Pump();
    EXPECT_EQ(Face(), "Low");
    WinTestKeyPress(VK_RETURN);
    Pump();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    Cmds want = {{9, CBN_DROPDOWN}, {9, CBN_SELCHANGE}, {9, CBN_SELENDOK}, {9, CBN_CLOSEUP}};
    EXPECT_EQ(Commands(), want);
    // Alt+Down opens, Escape cancels.
    Notes().clear();
    WinTestKey(VK_MENU, TRUE);
    WinTestKeyPress(VK_DOWN);
    WinTestKey(VK_MENU, FALSE);
    Pump();
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    WinTestKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Commands(), (Cmds{{9, CBN_DROPDOWN}, {9, CBN_SELENDCANCEL}, {9, CBN_CLOSEUP}}));
    // CB_SHOWDROPDOWN and the program's selection.
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 3, 0), 3);
    EXPECT_EQ(Face(), "Best");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, WPARAM(-1), 0), CB_ERR);
    EXPECT_EQ(Face(), "");
}

TEST_F(ComboFixture, ComboMessagesAndPointerSizedData) {
    Make(CBS_DROPDOWNLIST | CBS_SORT);
    char buf[32];
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "Best");  // sorted
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 3, 0), 6);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("high")), 1);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("Me")), 3);
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("lo")), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    LPARAM p = LPARAM(0x7FEEDDCCBBAA9988ll);
    SendMessageA(combo, CB_SETITEMDATA, 2, p);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), p);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 9, 0), CB_ERR);
    // WM_SETTEXT on a drop-down list selects the matching item, or fails.
    EXPECT_EQ(SetWindowTextA(combo, "Best") != FALSE, true);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("none")), CB_ERR);
    SendMessageA(combo, CB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(ComboFixture, DropDownWithAnEditFieldTypesAndPicks) {
    Make(CBS_DROPDOWN | CBS_AUTOHSCROLL);
    HWND edit = GetWindow(combo, GW_CHILD);
    ASSERT_TRUE(edit);
    char cls[16];
    GetClassNameA(edit, cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");
    SetFocus(combo);
    Pump();
    EXPECT_EQ(GetFocus(), edit);
    Notes().clear();
    WinTestText("Hi");
    Pump();
    EXPECT_EQ(Face(), "Hi");
    int edits = 0;
    for (auto& c : Commands()) edits += c.second == CBN_EDITCHANGE;
    EXPECT_EQ(edits, 2);
    // Down picks from the list and puts the text in the field.
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(Face(), "Low");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    DWORD a = 0, b = 0;
    SendMessageA(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b, 3u);
    SendMessageA(combo, CB_LIMITTEXT, 2, 0);
    SetWindowTextA(combo, "");
    WinTestText("abc");
    Pump();
    EXPECT_EQ(Face(), "ab");
}

TEST_F(ComboFixture, ComboBoxInfoNamesTheListTheFieldAndTheButton) {
    Make(CBS_DROPDOWN);
    COMBOBOXINFO info{};
    EXPECT_FALSE(GetComboBoxInfo(combo, &info));  // no size given
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    EXPECT_EQ(info.hwndCombo, combo);
    EXPECT_EQ(info.hwndList, List());
    char cls[16] = {};
    GetClassNameA(info.hwndItem, cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");
    RECT rc;
    GetClientRect(combo, &rc);
    EXPECT_EQ(info.rcButton.right, rc.right - 2);
    EXPECT_EQ(info.rcItem.right, info.rcButton.left);
    EXPECT_EQ(info.stateButton, 0u);
    // Pressing the button opens the list and shows the button pressed.
    WinTestMouseButton(combo, WINTEST_LEFT, TRUE, (info.rcButton.left + info.rcButton.right) / 2, 5);
    Pump();
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    EXPECT_EQ(info.stateButton, DWORD(STATE_SYSTEM_PRESSED));
    WinTestMouseButton(combo, WINTEST_LEFT, FALSE, (info.rcButton.left + info.rcButton.right) / 2, 5);
    Pump();
    HWND plain = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
    EXPECT_FALSE(GetComboBoxInfo(plain, &info));
}

TEST_F(ComboFixture, SimpleComboKeepsItsListShown) {
    Make(CBS_SIMPLE);
    HWND list = nullptr;
    for (HWND c = GetWindow(combo, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16];
        GetClassNameA(c, cls, sizeof cls);
        if (std::string(cls) == "ComboLBox") list = c;
    }
    ASSERT_TRUE(list);
    EXPECT_TRUE(IsWindowVisible(list));
    int ih = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    WinTestClick(list, WINTEST_LEFT, 10, ih + ih / 2);
    Pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Face(), "Medium");
    EXPECT_EQ(Commands().back(), std::make_pair(9, int(CBN_SELCHANGE)));
}

TEST(ControlsLists, OwnerDrawnListsAndCombosAskTheParent) {
    HWND host = Host();
    HWND lb = Child(host, "ListBox", "", LBS_OWNERDRAWFIXED | LBS_NOTIFY, 4, 10, 10, 120, 100);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0), 20);  // the parent's WM_MEASUREITEM
    int token = 0;
    SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(&token));  // no strings: item data
    SendMessageA(lb, LB_ADDSTRING, 0, 7);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 0, 0), reinterpret_cast<LRESULT>(&token));
    ULONG_PTR got = 0;
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(&got)), LRESULT(sizeof got));
    EXPECT_EQ(got, 7u);
    SendMessageA(lb, LB_SETCURSEL, 1, 0);
    Draws().clear();
    InvalidateRect(lb, nullptr, TRUE);
    Pump();
    ASSERT_EQ(Draws().size(), 2u);
    EXPECT_EQ(Draws()[1].CtlType, UINT(ODT_LISTBOX));
    EXPECT_EQ(Draws()[1].itemID, 1u);
    EXPECT_TRUE(Draws()[1].itemState & ODS_SELECTED);
    EXPECT_FALSE(Draws()[0].itemState & ODS_SELECTED);
    EXPECT_EQ(Draws()[1].rcItem.top, 20);
    EXPECT_EQ(Draws()[0].itemData, reinterpret_cast<ULONG_PTR>(&token));
    // An owner-drawn drop-down list: its field is drawn by the parent as the combo box.
    HWND combo = Child(host, "ComboBox", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 5, 150, 10,
                       120, 100);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    Draws().clear();
    InvalidateRect(combo, nullptr, TRUE);
    Pump();
    ASSERT_FALSE(Draws().empty());
    EXPECT_EQ(Draws().back().CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(Draws().back().CtlID, 5u);
    EXPECT_EQ(Draws().back().hwndItem, combo);
    EXPECT_TRUE(Draws().back().itemState & ODS_COMBOBOXEDIT);
    EXPECT_EQ(Draws().back().itemID, 0u);
    char buf[8] = {};
    GetWindowTextA(combo, buf, sizeof buf);
    EXPECT_STREQ(buf, "one");
    DestroyWindow(host);
}

TEST(ControlsLists, ScrollBarControlReportsDragsPagesAndRepeats) {
    HWND host = Host();
    HWND sb = Child(host, "ScrollBar", "", SBS_HORZ, 3, 10, 10, 200, 17);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 50, 0};
    EXPECT_EQ(SetScrollInfo(sb, SB_CTL, &si, TRUE), 50);
    // The window scroll bar's clamping rules.
    EXPECT_EQ(SetScrollPos(sb, SB_CTL, 500, TRUE), 50);
    EXPECT_EQ(GetScrollPos(sb, SB_CTL), 91);
    SetScrollPos(sb, SB_CTL, 20, TRUE);
    int lo = -1, hi = -1;
    GetScrollRange(sb, SB_CTL, &lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 100);
    // Arrow and page clicks report to the parent, lParam the control.
    Notes().clear();
    WinTestClick(sb, WINTEST_LEFT, 5, 8);
    WinTestClick(sb, WINTEST_LEFT, 150, 8);
    Pump();
    std::vector<Note> want = {{WM_HSCROLL, 3, SB_LINEUP}, {WM_HSCROLL, 3, SB_ENDSCROLL},
                              {WM_HSCROLL, 3, SB_PAGEDOWN}, {WM_HSCROLL, 3, SB_ENDSCROLL}};
    EXPECT_EQ(Notes(), want);
    // Holding an arrow repeats on the layer's timers.
    Notes().clear();
    WinTestMouseButton(sb, WINTEST_LEFT, TRUE, 195, 8);
    Pump();
    WinTestAdvanceClock(400);
    Pump();
    WinTestAdvanceClock(50);
    Pump();
    WinTestAdvanceClock(50);
    Pump();
    WinTestMouseButton(sb, WINTEST_LEFT, FALSE, 195, 8);
    Pump();
    int downs = 0;
    for (auto& n : Notes()) downs += n.code == SB_LINEDOWN;
    EXPECT_EQ(downs, 4);
    EXPECT_EQ(Notes().back().code, SB_ENDSCROLL);
    // Thumb drag: THUMBTRACK positions while moving, THUMBPOSITION at the end.
    Notes().clear();
    WinTestAdvanceClock(1000);
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    SendMessageA(sb, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    int thumb_mid = (info.xyThumbTop + info.xyThumbBottom) / 2;
    // One step per pump: the mouse reaches whoever holds the capture by then.
    WinTestMouseButton(sb, WINTEST_LEFT, TRUE, thumb_mid, 8);
    Pump();
    for (int x : {100, 200, 300, 400}) {
        WinTestMouseMove(sb, x, 30);
        Pump();
    }
    WinTestMouseButton(sb, WINTEST_LEFT, FALSE, 400, 30);
    Pump();
    ASSERT_GE(Notes().size(), 3u);
    EXPECT_EQ(Notes()[0].code & 0xFFFF, SB_THUMBTRACK);
    auto& last_pos = Notes()[Notes().size() - 2];
    EXPECT_EQ(last_pos.code & 0xFFFF, SB_THUMBPOSITION);
    EXPECT_EQ(last_pos.code >> 16, 91);  // the farthest a page of 10 allows
    EXPECT_EQ(Notes().back().code, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(sb, SB_CTL), 20);  // the parent moves it, not the bar
    // A disabled bar ignores the mouse.
    Notes().clear();
    EnableWindow(sb, FALSE);
    WinTestClick(sb, WINTEST_LEFT, 5, 8);
    Pump();
    EXPECT_TRUE(Notes().empty());
    DestroyWindow(host);
}

TEST_F(ComboFixture, ADropDownListAtItsEndsKeepsItsSelectionOnTheArrowsWithoutANotice) {
    Make(CBS_DROPDOWNLIST);
    SetFocus(combo);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    Pump();
    Notes().clear();
    for (UINT vk : {VK_UP, VK_LEFT, VK_HOME, VK_PRIOR}) WinTestKeyPress(vk);
    Pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0) << "at the first item";
    EXPECT_TRUE(Commands().empty());
    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    Pump();
    Notes().clear();
    for (UINT vk : {VK_DOWN, VK_RIGHT, VK_END, VK_NEXT}) WinTestKeyPress(vk);
    Pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3) << "at the last item";
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Face(), "Best");
    // The same at the ends of the open list.
    WinTestKeyPress(VK_F4);
    Pump();
    Notes().clear();
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(Commands().empty());
    WinTestKeyPress(VK_ESCAPE);
    Pump();
}

}  // namespace
