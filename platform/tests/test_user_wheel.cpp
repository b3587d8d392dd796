// The mouse wheel turns what is under the pointer, whichever window has the keyboard: a list
// under the pointer scrolls while a closed drop-down list keeps the focus and its choice; what
// a window leaves unhandled goes up to its parent; an open drop-down keeps the wheel; a window
// a modal box disabled, and the bare desktop, take none.
#include <gtest/gtest.h>

#include <string>

#include "windows.h"
#include "winplat_test.h"

namespace {

int g_parent_wheels = 0;

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_MOUSEWHEEL) ++g_parent_wheels;
    return DefWindowProcA(h, m, w, l);
}

class Wheel : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WheelParent";
        RegisterClassA(&wc);
        top = CreateWindowExA(0, "WheelParent", "wheel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 420, 320, nullptr,
                              nullptr, nullptr, nullptr);
        combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 150,
                                200, top, HMENU(1), nullptr, nullptr);
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 200, 10, 180, 120,
                               top, HMENU(2), nullptr, nullptr);
        label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 10, 200, 150, 40, top, HMENU(3), nullptr,
                                nullptr);
        for (int i = 0; i < 40; ++i) {
            const std::string t = "entry " + std::to_string(i);
            SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(t.c_str()));
            SendMessageA(list, LB_ADDSTRING, 0, LPARAM(t.c_str()));
        }
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        SetFocus(combo);
        WinTestPumpUntilIdle();
        g_parent_wheels = 0;
    }
    void TearDown() override {
        DestroyWindow(top);
        WinTestPumpUntilIdle();
    }
    // One notch down with the pointer at (x, y) of `over`.
    void TurnDown(HWND over, int x, int y) {
        WinTestWheel(over, -WHEEL_DELTA, x, y);
        WinTestPumpUntilIdle();
    }
    LRESULT ListTop() const { return SendMessageA(list, LB_GETTOPINDEX, 0, 0); }
    LRESULT Choice() const { return SendMessageA(combo, CB_GETCURSEL, 0, 0); }

    HWND top = nullptr, combo = nullptr, list = nullptr, label = nullptr;
};

TEST_F(Wheel, AListUnderThePointerScrollsWhileAClosedDropDownKeepsTheFocusAndItsChoice) {
    ASSERT_EQ(GetFocus(), combo);
    TurnDown(list, 90, 60);
    EXPECT_GT(ListTop(), 0) << "the list under the pointer did not scroll";
    EXPECT_EQ(Choice(), 0) << "the drop-down with the focus took the wheel";
    EXPECT_EQ(GetFocus(), combo);
    // Its first and last pixel are the list's too.
    const LRESULT after = ListTop();
    TurnDown(list, 0, 0);
    EXPECT_GT(ListTop(), after);
    RECT r;
    GetWindowRect(list, &r);
    const LRESULT before_last = ListTop();
    WinTestWheel(nullptr, WHEEL_DELTA, r.right - 1, r.bottom - 1);
    WinTestPumpUntilIdle();
    EXPECT_LT(ListTop(), before_last);
    EXPECT_EQ(Choice(), 0);
}

TEST_F(Wheel, AClosedDropDownUnderThePointerStepsItsChoiceWithoutTheFocus) {
    SetFocus(list);
    TurnDown(combo, 20, 8);
    EXPECT_EQ(Choice(), 1);
    EXPECT_EQ(ListTop(), 0);
}

TEST_F(Wheel, WhatAWindowLeavesUnhandledGoesUpToItsParent) {
    TurnDown(label, 5, 5);
    EXPECT_EQ(g_parent_wheels, 1) << "the static's wheel did not reach its parent";
    EXPECT_EQ(Choice(), 0);
    EXPECT_EQ(ListTop(), 0);
}

TEST_F(Wheel, AnOpenDropDownKeepsTheWheelWhereverThePointerIs) {
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    TurnDown(list, 90, 60);
    EXPECT_EQ(ListTop(), 0) << "the list behind the open drop-down scrolled";
    EXPECT_GT(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 0) << "the open drop-down's list did not scroll";
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(Wheel, ADisabledWindowAndTheBareDesktopTakeNone) {
    EnableWindow(top, FALSE);  // as a modal box over it does
    TurnDown(list, 90, 60);
    EXPECT_EQ(ListTop(), 0);
    EXPECT_EQ(Choice(), 0);
    EnableWindow(top, TRUE);
    SetFocus(combo);
    RECT r;
    GetWindowRect(top, &r);
    WinTestWheel(nullptr, -WHEEL_DELTA, r.right + 20, r.bottom + 20);
    WinTestPumpUntilIdle();
    EXPECT_EQ(ListTop(), 0);
    EXPECT_EQ(Choice(), 0) << "a wheel over no window went to the focus";
    EXPECT_EQ(g_parent_wheels, 0);
}

}  // namespace
