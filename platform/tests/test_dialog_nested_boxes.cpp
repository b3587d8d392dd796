// Message boxes opened over one another: when each closes, activation, the stacking order and
// the owner's enabled state go back to the window that is really waiting for the user.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

HWND MainWindow() {
    HWND h = CreateWindowExA(WS_EX_APPWINDOW, "Static", "Main", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 30,
                             30, 500, 350, nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    return h;
}

// Position from the bottom of the stacking order.
int Depth(HWND h) {
    int n = 0;
    for (HWND t = GetWindow(GetTopWindow(nullptr), GW_HWNDLAST); t; t = GetWindow(t, GW_HWNDPREV), ++n)
        if (t == h) return n;
    return -1;
}

TEST(NestedBoxes, ANoticeThatEndsOverAQuestionLeavesTheQuestionInCharge) {
    HWND main = MainWindow();
    HWND question = nullptr;
    bool main_enabled_under_notice = true;
    bool main_enabled_after_notice = true;
    HWND active_after_notice = nullptr;
    bool question_above_main = false;
    WinTestIdleScript script({
        // The question is up; something finishes meanwhile and tells the user so.
        [&](int, HWND box) {
            question = box;
            MessageBoxA(main, "Done.", "", MB_ICONINFORMATION);
        },
        [&](int, HWND) {
            main_enabled_under_notice = IsWindowEnabled(main) != FALSE;
            WinTestKeyPress(VK_RETURN);  // OK on the notice
        },
        // Back in the question's loop.
        [&](int, HWND) {
            main_enabled_after_notice = IsWindowEnabled(main) != FALSE;
            active_after_notice = GetActiveWindow();
            question_above_main = Depth(question) > Depth(main);
            WinTestKeyPress(VK_RETURN);  // the question has the keyboard: Yes
        },
        // Only when Enter went elsewhere: the question is ended, so that the test fails
        // instead of waiting.
        [&](int, HWND) { PostMessageA(question, WM_COMMAND, IDNO, 0); },
    });
    int answer = MessageBoxA(main, "Stop?", "Warning", MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(script.Left(), 1u);
    EXPECT_EQ(script.Overruns(), 0);
    EXPECT_EQ(answer, IDYES);
    EXPECT_FALSE(main_enabled_under_notice);
    EXPECT_FALSE(main_enabled_after_notice) << "the notice gave the main window its input while the question was up";
    EXPECT_EQ(active_after_notice, question);
    EXPECT_TRUE(question_above_main) << "the question went behind the main window";
    // The question was the box that disabled the main window: it gives it back.
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetActiveWindow(), main);
    DestroyWindow(main);
}

}  // namespace
