// The text progress bar: its own state behind the standard messages, the bar split and the
// centred percentage whose colours swap over the filled part, vertical bars, empty ranges, and
// repainting only when the bar length changes.
#include <gtest/gtest.h>

#include <cstring>

#include "PercentProgressCtrl.h"
#include "winplat_test.h"

namespace {

const COLORREF kBar = RGB(0, 0, 200), kBk = RGB(240, 240, 240);

// A parent with a large bold font, so text pixels are plentiful.
class CFontHost : public CWnd {
public:
    CFont font;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font.GetSafeHandle());
        return CWnd::WindowProc(msg, wp, lp);
    }
};

class CCountingBar : public CPercentProgressCtrl {
public:
    int paints = 0;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        paints += msg == WM_PAINT;
        return CPercentProgressCtrl::WindowProc(msg, wp, lp);
    }
};

class PercentProgressTest : public testing::Test {
protected:
    void SetUp() override {
        host.font.CreateFontA(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    void Make(CPercentProgressCtrl& p, int y, int w, int h, DWORD style = 0, UINT id = 100) {
        ASSERT_TRUE(p.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, y, 10 + w, y + h), &host, id));
        p.SetBarColor(kBar);
        p.SetBkColor(kBk);
        Pump();
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    CFontHost host;
};

std::vector<DWORD> Picture(HWND h) {
    WinTestPumpUntilIdle();
    return WinTestWindowPicture(h).px;
}

}  // namespace

TEST_F(PercentProgressTest, AnswersTheStandardMessagesFromItsOwnState) {
    CPercentProgressCtrl p;
    Make(p, 10, 101, 24);
    HWND h = p.m_hWnd;
    EXPECT_EQ(SendMessageA(h, PBM_SETRANGE, 0, MAKELPARAM(10, 60)), MAKELONG(0, 100));
    PBRANGE r{};
    EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r)), 60);
    EXPECT_TRUE(r.iLow == 10 && r.iHigh == 60);
    EXPECT_EQ(SendMessageA(h, PBM_SETRANGE32, WPARAM(-50), 5000), MAKELONG(10, 60));
    EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, TRUE, 0), -50);

    EXPECT_EQ(p.SetPos(30), 0);
    EXPECT_EQ(p.OffsetPos(-45), 30);
    EXPECT_EQ(p.SetStep(7), 1);
    EXPECT_EQ(p.StepIt(), -15);
    EXPECT_EQ(p.GetPos(), -8);

    EXPECT_EQ(SendMessageA(h, PBM_SETBARCOLOR, 0, RGB(1, 2, 3)), LRESULT(kBar));
    EXPECT_EQ(SendMessageA(h, CCM_SETBKCOLOR, 0, RGB(4, 5, 6)), LRESULT(kBk));
    SendMessageA(h, CPercentProgressCtrl::WM_PERCENTBAR_SETTEXTCOLOR, 0, RGB(7, 8, 9));
    EXPECT_TRUE(p.GetBarColor() == RGB(1, 2, 3) && p.GetBkColor() == RGB(4, 5, 6) && p.GetTextColor() == RGB(7, 8, 9));
    EXPECT_EQ(SendMessageA(h, CPercentProgressCtrl::WM_PERCENTBAR_SHOWTEXT, FALSE, 0), TRUE);

    // Text comes back within the caller's buffer, always terminated.
    p.SetWindowText("Converting");
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 10);
    EXPECT_STREQ(buf, "Converting");
    EXPECT_EQ(SendMessageA(h, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buf)), 4);
    EXPECT_STREQ(buf, "Conv");
    EXPECT_EQ(SendMessageA(h, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    SendMessageA(h, WM_SETTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 0);
}

TEST_F(PercentProgressTest, HalfOfA101PixelBarFillsFiftyColumnsUnderFiftyPercentInSwappedColours) {
    CPercentProgressCtrl p, ref;
    Make(p, 10, 101, 24, 0, 100);
    Make(ref, 50, 101, 24, 0, 101);
    p.SetPos(50);
    WinTestWindowPicture pic(p.m_hWnd);
    for (int x = 0; x < 101; ++x) EXPECT_EQ(pic.At(x, 0), x < 50 ? kBar : kBk) << x;
    int bk_in_bar = 0, bar_in_bk = 0;
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) (x < 50 ? bk_in_bar : bar_in_bk) += pic.At(x, y) == (x < 50 ? kBk : kBar);
    EXPECT_GT(bk_in_bar, 10);
    EXPECT_GT(bar_in_bk, 10);

    // Its text is "50%": a bar told to show exactly that looks the same, and "51%" does not.
    ref.SetPos(50);
    ref.SetWindowText("50%");
    EXPECT_EQ(Picture(p.m_hWnd), Picture(ref.m_hWnd));
    ref.SetWindowText("51%");
    EXPECT_NE(Picture(p.m_hWnd), Picture(ref.m_hWnd));

    // One text colour over both parts; then no text at all.
    p.SetTextColor(RGB(255, 0, 0));
    Pump();
    WinTestWindowPicture red(p.m_hWnd);
    EXPECT_GT(red.Count(RGB(255, 0, 0)), 20);
    SendMessageA(p.m_hWnd, CPercentProgressCtrl::WM_PERCENTBAR_SHOWTEXT, FALSE, 0);
    Pump();
    WinTestWindowPicture plain(p.m_hWnd);
    EXPECT_TRUE(plain.Count(kBar) == 50 * 24 && plain.Count(kBk) == 51 * 24);
}

TEST_F(PercentProgressTest, ThePercentageFollowsPositionAndRangeExactly) {
    CPercentProgressCtrl p, ref;
    Make(p, 10, 101, 24, 0, 100);
    Make(ref, 50, 101, 24, 0, 101);
    struct Case {
        int lo, hi, pos, shown;
        const char* text;
    } cases[] = {
        {0, 100, 29, 29, "29%"},  // not 28: the share is taken in exact integers
        {10, 60, 35, 50, "50%"},    {-50, 50, 0, 50, "50%"},   {0, 3, 1, 33, "33%"},
        {0, 100, 150, 100, "100%"}, {0, 100, -20, 0, "0%"},    {-2000000000, 2000000000, 2000000000, 100, "100%"},
    };
    for (const Case& c : cases) {
        p.SetRange(c.lo, c.hi);
        p.SetPos(c.pos);
        ref.SetPos(c.shown);
        ref.SetWindowText(c.text);
        EXPECT_EQ(Picture(p.m_hWnd), Picture(ref.m_hWnd)) << c.text;
    }
    EXPECT_EQ(p.GetPos(), 2000000000);  // kept as given; only the picture stops at the ends
}

TEST_F(PercentProgressTest, VerticalBarsRiseFromTheBottomWithoutTextAndEmptyRangesPaintNothing) {
    CPercentProgressCtrl v;
    Make(v, 10, 24, 101, PBS_VERTICAL);
    v.SetPos(50);
    WinTestWindowPicture pic(v.m_hWnd);
    EXPECT_TRUE(pic.Count(kBar) == 24 * 50 && pic.Count(kBk) == 24 * 51);
    EXPECT_TRUE(pic.At(5, 50) == kBk && pic.At(5, 51) == kBar);

    CCountingBar e;
    Make(e, 150, 101, 24, 0, 101);
    e.SetPos(50);
    std::vector<DWORD> before = Picture(e.m_hWnd);
    e.paints = 0;
    e.SetRange(5, 5);
    EXPECT_EQ(e.SetPos(5), 50);
    e.SetRange(9, 3);
    e.SetPos(7);
    EXPECT_EQ(Picture(e.m_hWnd), before);
    EXPECT_GT(e.paints, 0);
}

TEST_F(PercentProgressTest, RepaintsOnlyWhenTheBarLengthChanges) {
    CCountingBar p, v;
    Make(p, 10, 101, 24, 0, 100);
    Make(v, 50, 10, 100, PBS_VERTICAL, 101);
    p.SetRange(0, 1000);
    Pump();
    p.paints = 0;
    p.SetPos(500);  // 50 columns, painted at once
    p.SetPos(500);
    p.SetPos(501);  // still 50
    EXPECT_EQ(p.paints, 1);
    p.SetPos(510);
    EXPECT_EQ(p.paints, 2);
    p.SetWindowPos(nullptr, 0, 0, 101, 30, SWP_NOMOVE | SWP_NOZORDER);  // a new size forgets the length
    Pump();
    p.paints = 0;
    p.SetPos(510);
    EXPECT_EQ(p.paints, 1);
    // A vertical bar measures along its height.
    v.paints = 0;
    for (int pos = 1; pos <= 3; ++pos) v.SetPos(pos);
    EXPECT_EQ(v.paints, 3);
}
