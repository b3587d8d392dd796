// Up-down control: range and position, steps by click with the parent's say over them, wrap and
// stop at the ends, the buddy's number text, held-button repeat and acceleration on the test
// clock, arrow keys through the buddy, alignment beside the buddy, and the arrows' look.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct UpDownTest : ::testing::Test {
    HWND parent = nullptr;
    std::vector<NMUPDOWN> deltas;
    LRESULT refuse = 0;
    void SetUp() override {
        Reset();
        parent = MakeParent();
        OnNotify() = [this](NMHDR* nm, bool* handled) -> LRESULT {
            if (nm->code != UDN_DELTAPOS) return 0;
            deltas.push_back(*reinterpret_cast<NMUPDOWN*>(nm));
            *handled = true;
            return refuse;
        };
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(DWORD style, int x = 100, int y = 10, int cx = 16, int cy = 24) {
        return CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent,
                               reinterpret_cast<HMENU>(9), nullptr, nullptr);
    }
    HWND MakeEdit(const char* text = "") {
        return CreateWindowExA(0, "Edit", text, WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 80, 24, parent,
                               reinterpret_cast<HMENU>(8), nullptr, nullptr);
    }
    static std::string Text(HWND h) {
        char buf[64] = {};
        GetWindowTextA(h, buf, sizeof buf);
        return buf;
    }
    static int Pos(HWND u) { return int(SendMessageA(u, UDM_GETPOS32, 0, 0)); }
    void ClickUp(HWND u) { WinTestClick(u, WINTEST_LEFT, 8, 4); Pump(); }
    void ClickDown(HWND u) { WinTestClick(u, WINTEST_LEFT, 8, 20); Pump(); }
};

TEST_F(UpDownTest, RangeAndPositionClampAndAnswerTheOldValues) {
    HWND u = Make(0);
    // The system's default range runs from 100 (minimum) down to 0 (maximum).
    EXPECT_EQ(SendMessageA(u, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(u, UDM_SETPOS32, 0, 250), 0);
    EXPECT_EQ(Pos(u), 100);
    SendMessageA(u, UDM_SETRANGE, 0, MAKELPARAM(20, -20));  // upper in the low word
    EXPECT_EQ(Pos(u), 20);
    EXPECT_EQ(SendMessageA(u, UDM_SETPOS, 0, MAKELPARAM(-30, 0)), 20);
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS, 0, 0), MAKELONG(WORD(-20), 0));

    SendMessageA(u, UDM_SETRANGE32, -100000, 100000);
    int lo = 0, hi = 0;
    SendMessageA(u, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, -100000);
    EXPECT_EQ(hi, 100000);
    SendMessageA(u, UDM_SETPOS32, 0, 70000);
    EXPECT_EQ(Pos(u), 70000);

    EXPECT_EQ(SendMessageA(u, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(SendMessageA(u, UDM_SETBASE, 7, 0), 0);  // refused
    EXPECT_EQ(SendMessageA(u, UDM_GETBASE, 0, 0), 16);
}

TEST_F(UpDownTest, ClicksAskTheParentThenReportThePositionAndTheEnd) {
    HWND u = Make(0);
    SendMessageA(u, UDM_SETRANGE32, 0, 10);
    SendMessageA(u, UDM_SETPOS32, 0, 5);
    ClickUp(u);
    ASSERT_EQ(deltas.size(), 1u);
    EXPECT_EQ(deltas[0].iPos, 5);
    EXPECT_EQ(deltas[0].iDelta, 1);
    EXPECT_EQ(deltas[0].hdr.hwndFrom, u);
    EXPECT_EQ(Pos(u), 6);
    ASSERT_EQ(Scrolls().size(), 2u);
    EXPECT_EQ(Scrolls()[0].msg, UINT(WM_VSCROLL));
    EXPECT_EQ(Scrolls()[0].code, SB_THUMBPOSITION);
    EXPECT_EQ(Scrolls()[0].pos, 6);
    EXPECT_EQ(Scrolls()[0].ctl, u);
    EXPECT_EQ(Scrolls()[1].code, SB_ENDSCROLL);

    ClickDown(u);
    EXPECT_EQ(deltas.back().iDelta, -1);
    EXPECT_EQ(Pos(u), 5);

    refuse = 1;  // the parent says no
    ClickUp(u);
    EXPECT_EQ(Pos(u), 5);

    // With the range reversed the up arrow lowers the number.
    refuse = 0;
    SendMessageA(u, UDM_SETRANGE32, 10, 0);
    ClickUp(u);
    EXPECT_EQ(deltas.back().iDelta, -1);
    EXPECT_EQ(Pos(u), 4);

    // A horizontal control steps up with its right half and reports by WM_HSCROLL.
    HWND hz = Make(UDS_HORZ, 200, 10, 32, 16);
    SendMessageA(hz, UDM_SETRANGE32, 0, 10);
    Scrolls().clear();
    WinTestClick(hz, WINTEST_LEFT, 24, 8);
    Pump();
    EXPECT_EQ(Pos(hz), 1);
    ASSERT_FALSE(Scrolls().empty());
    EXPECT_EQ(Scrolls()[0].msg, UINT(WM_HSCROLL));
}

TEST_F(UpDownTest, EndsStopTheValueOrWrapIt) {
    HWND stop = Make(0);
    SendMessageA(stop, UDM_SETRANGE32, 0, 3);
    SendMessageA(stop, UDM_SETPOS32, 0, 3);
    ClickUp(stop);
    EXPECT_EQ(Pos(stop), 3);
    HWND wrap = Make(UDS_WRAP, 140);
    SendMessageA(wrap, UDM_SETRANGE32, 0, 3);
    SendMessageA(wrap, UDM_SETPOS32, 0, 3);
    ClickUp(wrap);
    EXPECT_EQ(Pos(wrap), 0);
    ClickDown(wrap);
    EXPECT_EQ(Pos(wrap), 3);
}

TEST_F(UpDownTest, NumberBuddyShowsThePositionAndLendsItWhatTheUserTyped) {
    HWND e = MakeEdit("12");
    HWND u = Make(UDS_SETBUDDYINT);
    EXPECT_EQ(SendMessageA(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(e), 0), 0);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(u, UDM_GETBUDDY, 0, 0)), e);
    SendMessageA(u, UDM_SETRANGE32, 0, 100000);
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS, 0, 0), MAKELONG(12, 0));  // read from the buddy
    ClickUp(u);
    EXPECT_EQ(Text(e), "13");
    SendMessageA(u, UDM_SETPOS32, 0, 12345);
    EXPECT_EQ(Text(e), "12,345");

    SetWindowTextA(e, "41");  // typed by the user
    ClickUp(u);
    EXPECT_EQ(Pos(u), 42);
    EXPECT_EQ(Text(e), "42");

    SetWindowTextA(e, "many");
    BOOL error = FALSE;
    EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);
    EXPECT_TRUE(error);
    EXPECT_EQ(HIWORD(SendMessageA(u, UDM_GETPOS, 0, 0)), 1);

    HWND plain = Make(UDS_SETBUDDYINT | UDS_NOTHOUSANDS, 140);
    SendMessageA(plain, UDM_SETBUDDY, reinterpret_cast<WPARAM>(e), 0);
    SendMessageA(plain, UDM_SETRANGE32, 0, 100000);
    SendMessageA(plain, UDM_SETPOS32, 0, 12345);
    EXPECT_EQ(Text(e), "12345");
    SendMessageA(plain, UDM_SETBASE, 16, 0);
    SendMessageA(plain, UDM_SETPOS32, 0, 31);
    EXPECT_EQ(Text(e), "0x1F");
    ClickUp(plain);
    EXPECT_EQ(Pos(plain), 32);
}

TEST_F(UpDownTest, HeldButtonRepeatsOnTheClockAndSpeedsUp) {
    HWND u = Make(0);
    SendMessageA(u, UDM_SETRANGE32, 0, 1000);
    WinTestMouseButton(u, WINTEST_LEFT, TRUE, 8, 4);
    Pump();
    EXPECT_EQ(Pos(u), 1);
    WinTestAdvanceClock(399);
    Pump();
    EXPECT_EQ(Pos(u), 1);  // no repeat before the first delay
    WinTestAdvanceClock(1);
    Pump();
    EXPECT_EQ(Pos(u), 2);
    for (int k = 0; k < 3; ++k) {
        WinTestAdvanceClock(100);
        Pump();
    }
    EXPECT_EQ(Pos(u), 5);

    // Off the pressed half the repeat pauses, and resumes on coming back.
    WinTestMouseMove(u, 8, 20);
    WinTestAdvanceClock(100);
    Pump();
    EXPECT_EQ(Pos(u), 5);
    WinTestMouseMove(u, 8, 4);
    WinTestAdvanceClock(100);
    Pump();
    EXPECT_EQ(Pos(u), 6);

    // After two seconds held, the default acceleration steps by 5.
    while (WinTestNow() % 100 != 0) WinTestAdvanceClock(1);
    for (int k = 0; k < 13; ++k) {
        WinTestAdvanceClock(100);
        Pump();
    }
    int before = Pos(u);
    WinTestAdvanceClock(100);
    Pump();
    EXPECT_EQ(Pos(u) - before, 5);

    WinTestMouseButton(u, WINTEST_LEFT, FALSE, 8, 4);
    Pump();
    int released = Pos(u);
    WinTestAdvanceClock(1000);
    Pump();
    EXPECT_EQ(Pos(u), released);
    EXPECT_EQ(Scrolls().back().code, SB_ENDSCROLL);

    UDACCEL one[] = {{0, 3}};
    EXPECT_TRUE(SendMessageA(u, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(one)));
    UDACCEL got[4] = {};
    EXPECT_EQ(SendMessageA(u, UDM_GETACCEL, 4, reinterpret_cast<LPARAM>(got)), 1);
    EXPECT_EQ(got[0].nInc, 3u);
    ClickUp(u);
    EXPECT_EQ(Pos(u), released + 3);
}

TEST_F(UpDownTest, ArrowKeysInTheBuddyStepTheControl) {
    HWND e = MakeEdit("5");
    HWND u = Make(UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_AUTOBUDDY);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(u, UDM_GETBUDDY, 0, 0)), e);
    SendMessageA(u, UDM_SETRANGE32, 0, 10);
    WinTestActivate(parent);
    SetFocus(e);
    WinTestKeyPress(VK_UP);
    Pump();
    EXPECT_EQ(Text(e), "6");
    EXPECT_EQ(Scrolls().back().code, SB_ENDSCROLL);
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(Text(e), "4");

    // The buddy goes first: the control forgets it and keeps working.
    DestroyWindow(e);
    Pump();
    EXPECT_EQ(SendMessageA(u, UDM_GETBUDDY, 0, 0), 0);
    ClickUp(u);
    EXPECT_EQ(Pos(u), 5);
}

TEST_F(UpDownTest, AlignedControlSitsBesideItsBuddyAtItsHeight) {
    HWND e = MakeEdit();  // 10,10 80x24
    HWND u = Make(UDS_AUTOBUDDY | UDS_ALIGNRIGHT, 200, 50, 16, 10);
    RECT er, ur;
    GetWindowRect(e, &er);
    GetWindowRect(u, &ur);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&er), 2);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&ur), 2);
    EXPECT_EQ(er.left, 10);
    EXPECT_EQ(er.right, 74);
    EXPECT_EQ(ur.left, 74);
    EXPECT_EQ(ur.right, 90);
    EXPECT_EQ(ur.top, 10);
    EXPECT_EQ(ur.bottom, 34);
}

TEST_F(UpDownTest, ArrowsShowPressAndDisabledStates) {
    HWND u = Make(0, 100, 10, 16, 24);
    Pump();
    Capture idle(u);
    auto differs = [&](const Capture& a, const Capture& b, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < a.w; ++x)
                if (a.At(x, y) != b.At(x, y)) return true;
        return false;
    };
    WinTestMouseButton(u, WINTEST_LEFT, TRUE, 8, 4);
    Pump();
    Capture pressed(u);
    EXPECT_TRUE(differs(idle, pressed, 0, 12));
    EXPECT_FALSE(differs(idle, pressed, 12, 24));
    WinTestMouseButton(u, WINTEST_LEFT, FALSE, 8, 4);
    Pump();
    EXPECT_FALSE(differs(idle, Capture(u), 0, 24));
    EnableWindow(u, FALSE);
    Pump();
    EXPECT_TRUE(differs(idle, Capture(u), 0, 24));
}

}  // namespace
