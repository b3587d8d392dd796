// Progress bar and trackbar: ranges, positions and clamping, stepping, the scroll codes a
// trackbar sends its parent for keys, thumb drags and page clicks, and what the bars paint.
#include <gtest/gtest.h>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct Bars : ::testing::Test {
    HWND parent = nullptr;
    void SetUp() override {
        Reset();
        parent = MakeParent();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(const char* cls, DWORD style, int x, int y, int cx, int cy) {
        return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent, reinterpret_cast<HMENU>(7),
                               nullptr, nullptr);
    }
};

// ---- progress bar ----------------------------------------------------------------------------

TEST_F(Bars, ProgressRangesClampThePositionAndAnswerTheOldValues) {
    HWND p = Make(PROGRESS_CLASSA, 0, 10, 10, 200, 20);
    EXPECT_EQ(SendMessageA(p, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(p, PBM_SETPOS, 150, 0), 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageA(p, PBM_SETPOS, -5, 0), 100);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 0);

    EXPECT_EQ(SendMessageA(p, PBM_SETRANGE32, -50, 1000000), MAKELONG(0, 100));
    PBRANGE r{};
    SendMessageA(p, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.iLow, -50);
    EXPECT_EQ(r.iHigh, 1000000);
    SendMessageA(p, PBM_SETPOS, 999999, 0);
    SendMessageA(p, PBM_SETRANGE, 0, MAKELPARAM(10, 20));  // shrinking the range pulls the position in
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(SendMessageA(p, PBM_DELTAPOS, 5, 0), 20);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 20);
    SendMessageA(p, PBM_DELTAPOS, -30, 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 10);
}

TEST_F(Bars, ProgressStepsAndStartsOverPastTheEnd) {
    HWND p = Make(PROGRESS_CLASSA, 0, 10, 10, 200, 20);
    EXPECT_EQ(SendMessageA(p, PBM_SETSTEP, 30, 0), 10);
    EXPECT_EQ(SendMessageA(p, PBM_STEPIT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(p, PBM_STEPIT, 0, 0), 30);
    SendMessageA(p, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 90);
    SendMessageA(p, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 20);
    // An empty range leaves the position alone.
    SendMessageA(p, PBM_SETRANGE32, 5, 5);
    SendMessageA(p, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 5);
}

TEST_F(Bars, ProgressPaintsTheBarUpToThePositionInItsColours) {
    HWND p = Make(PROGRESS_CLASSA, PBS_SMOOTH, 10, 10, 202, 20);
    const COLORREF bar = RGB(0, 0, 200), bk = RGB(250, 250, 0);
    SendMessageA(p, PBM_SETBARCOLOR, 0, LPARAM(bar));
    EXPECT_EQ(COLORREF(SendMessageA(p, PBM_SETBKCOLOR, 0, LPARAM(bk))), COLORREF(CLR_DEFAULT));
    SendMessageA(p, PBM_SETPOS, 50, 0);
    Pump();
    Capture c(p);
    EXPECT_EQ(c.At(20, 10), bar);
    EXPECT_EQ(c.At(95, 10), bar);
    EXPECT_EQ(c.At(110, 10), bk);
    EXPECT_EQ(c.At(195, 10), bk);
    SendMessageA(p, PBM_SETPOS, 0, 0);
    Pump();
    Capture empty(p);
    EXPECT_EQ(empty.At(20, 10), bk);

    HWND v = Make(PROGRESS_CLASSA, PBS_SMOOTH | PBS_VERTICAL, 250, 10, 20, 102);
    SendMessageA(v, PBM_SETBARCOLOR, 0, LPARAM(bar));
    SendMessageA(v, PBM_SETPOS, 25, 0);
    Pump();
    Capture vc(v);
    EXPECT_EQ(vc.At(10, 95), bar);  // a vertical bar fills from the bottom
    EXPECT_NE(vc.At(10, 20), bar);
}

// ---- trackbar --------------------------------------------------------------------------------

TEST_F(Bars, TrackbarRangeAndPositionClampAndSizesAnswerTheirOldValues) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_HORZ | TBS_AUTOTICKS, 10, 10, 220, 30);
    SendMessageA(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 768));
    SendMessageA(t, TBM_SETPOS, TRUE, 256);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 256);
    SendMessageA(t, TBM_SETPOS, TRUE, 1000);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 768);
    SendMessageA(t, TBM_SETRANGEMAX, TRUE, 100);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 100);
    SendMessageA(t, TBM_SETRANGEMIN, TRUE, 40);
    SendMessageA(t, TBM_SETPOS, TRUE, 0);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageA(t, TBM_GETRANGEMIN, 0, 0), 40);
    EXPECT_EQ(SendMessageA(t, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessageA(t, TBM_SETPAGESIZE, 0, 15), 20);
    EXPECT_EQ(SendMessageA(t, TBM_SETLINESIZE, 0, 3), 1);
    EXPECT_EQ(SendMessageA(t, TBM_GETPAGESIZE, 0, 0), 15);
}

TEST_F(Bars, TrackbarThumbMovesAlongTheChannelWithThePosition) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_HORZ | TBS_BOTH, 10, 10, 220, 30);
    RECT ch, th0, th1;
    SendMessageA(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
    SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th0));
    EXPECT_LT(ch.left, th0.right);
    EXPECT_GE(th0.left, 0);
    SendMessageA(t, TBM_SETPOS, TRUE, 100);
    SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th1));
    EXPECT_LE(th1.right, 220);
    EXPECT_GT(th1.left, th0.left + 150);
    // The thumb lies across the channel.
    EXPECT_LT(th1.top, ch.top);
    EXPECT_GT(th1.bottom, ch.bottom);
}

TEST_F(Bars, TrackbarKeysSendScrollCodesWithTheControlAsLparam) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_HORZ, 10, 10, 220, 30);
    SendMessageA(t, TBM_SETPOS, TRUE, 50);
    SetFocus(t);
    WinTestKeyPress(VK_RIGHT);
    WinTestKeyPress(VK_PRIOR);
    WinTestKeyPress(VK_END);
    Pump();
    std::vector<int> codes;
    for (auto& s : Scrolls()) {
        EXPECT_EQ(s.msg, UINT(WM_HSCROLL));
        EXPECT_EQ(s.ctl, t);
        codes.push_back(s.code);
    }
    std::vector<int> want = {TB_LINEDOWN, TB_ENDTRACK, TB_PAGEUP, TB_ENDTRACK, TB_BOTTOM, TB_ENDTRACK};
    EXPECT_EQ(codes, want);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 100);
    WinTestKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 0);
}

TEST_F(Bars, TrackbarThumbDragTracksThenReportsThePositionAndEnds) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_HORZ | TBS_NOTICKS, 10, 10, 216, 30);
    RECT th;
    SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th));
    int cy = (th.top + th.bottom) / 2, cx = (th.left + th.right) / 2;
    WinTestDrag(t, WINTEST_LEFT, cx, cy, 216 - 8, cy, 4);  // to the far end of the channel
    Pump();
    ASSERT_GE(Scrolls().size(), 3u);
    EXPECT_EQ(Scrolls().front().code, TB_THUMBTRACK);
    auto last = Scrolls()[Scrolls().size() - 1], before = Scrolls()[Scrolls().size() - 2];
    EXPECT_EQ(before.code, TB_THUMBPOSITION);
    EXPECT_EQ(before.pos, 100);
    EXPECT_EQ(last.code, TB_ENDTRACK);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 100);
}

TEST_F(Bars, TrackbarPageClickMovesTowardTheClickAndVerticalSendsVscroll) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_VERT, 10, 10, 30, 216);
    SendMessageA(t, TBM_SETPOS, TRUE, 50);
    WinTestClick(t, WINTEST_LEFT, 15, 200);
    Pump();
    ASSERT_FALSE(Scrolls().empty());
    EXPECT_EQ(Scrolls().front().msg, UINT(WM_VSCROLL));
    EXPECT_EQ(Scrolls().front().code, TB_PAGEDOWN);
    EXPECT_EQ(Scrolls().back().code, TB_ENDTRACK);
    EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 70);
    // Holding the button repeats until the thumb reaches the cursor.
    Scrolls().clear();
    WinTestMouseButton(t, WINTEST_LEFT, TRUE, 15, 200);
    Pump();
    for (int k = 0; k < 10; ++k) {
        WinTestAdvanceClock(100);
        Pump();
    }
    WinTestMouseButton(t, WINTEST_LEFT, FALSE, 15, 200);
    Pump();
    int pos = int(SendMessageA(t, TBM_GETPOS, 0, 0));
    EXPECT_GE(pos, 90);
    EXPECT_LE(pos, 100);
    RECT th;
    SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th));
    EXPECT_GE(th.bottom + 6, 200);
}

TEST_F(Bars, VerticalChannelIsReportedInTheHorizontalFrame) {
    HWND t = Make(TRACKBAR_CLASSA, TBS_VERT, 10, 10, 30, 216);
    RECT ch;
    SendMessageA(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
    EXPECT_GT(ch.right - ch.left, ch.bottom - ch.top);  // long side along x
    RECT th;
    SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&th));
    EXPECT_GT(th.right - th.left, th.bottom - th.top);  // the thumb is in client coordinates
}

}  // namespace
