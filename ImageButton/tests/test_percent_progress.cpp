// The text progress bar: its own range, position and step behind the standard messages, the
// bar split and the centred percentage whose colours swap over the filled part, vertical bars,
// empty ranges, and repainting only when the bar length changes.
#include <gtest/gtest.h>

#include <string>

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

// Counts its paints.
class CCountingBar : public CPercentProgressCtrl {
public:
    int paints = 0;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PAINT) ++paints;
        return CPercentProgressCtrl::WindowProc(msg, wp, lp);
    }
};

class PercentProgressTest : public testing::Test {
protected:
    void SetUp() override {
        host.font.CreateFontA(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        Pump();
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    void Make(CPercentProgressCtrl& p, int x, int y, int w, int h, DWORD style = 0, UINT id = 100) {
        ASSERT_TRUE(p.Create(WS_CHILD | WS_VISIBLE | style, CRect(x, y, x + w, y + h), &host, id));
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

bool SamePicture(HWND a, HWND b) {
    WinTestWindowPicture pa(a), pb(b);
    return pa.w == pb.w && pa.h == pb.h && pa.px == pb.px;
}

}  // namespace

TEST_F(PercentProgressTest, AnswersTheStandardMessagesFromItsOwnState) {
    CPercentProgressCtrl p;
    Make(p, 10, 10, 101, 24);
    HWND h = p.m_hWnd;
    EXPECT_EQ(SendMessageA(h, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, FALSE, 0), 100);

    EXPECT_EQ(SendMessageA(h, PBM_SETRANGE, 0, MAKELPARAM(10, 60)), MAKELONG(0, 100));
    PBRANGE r{};
    EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r)), 60);
    EXPECT_EQ(r.iLow, 10);
    EXPECT_EQ(r.iHigh, 60);
    EXPECT_EQ(SendMessageA(h, PBM_SETRANGE32, WPARAM(-50), 5000), MAKELONG(10, 60));
    int lo = 0, hi = 0;
    p.GetRange(lo, hi);
    EXPECT_EQ(lo, -50);
    EXPECT_EQ(hi, 5000);

    EXPECT_EQ(p.SetPos(30), 0);
    EXPECT_EQ(p.GetPos(), 30);
    EXPECT_EQ(p.OffsetPos(-45), 30);
    EXPECT_EQ(p.GetPos(), -15);
    EXPECT_EQ(p.SetStep(7), 1);
    EXPECT_EQ(p.StepIt(), -15);
    EXPECT_EQ(p.GetPos(), -8);
    EXPECT_EQ(SendMessageA(h, PBM_SETSTEP, 3, 0), 7);
    SendMessageA(h, PBM_STEPIT, 0, 0);
    EXPECT_EQ(p.GetPos(), -5);

    EXPECT_EQ(SendMessageA(h, PBM_SETBARCOLOR, 0, RGB(1, 2, 3)), LRESULT(kBar));
    EXPECT_EQ(p.GetBarColor(), RGB(1, 2, 3));
    EXPECT_EQ(SendMessageA(h, CCM_SETBKCOLOR, 0, RGB(4, 5, 6)), LRESULT(kBk));
    EXPECT_EQ(p.GetBkColor(), RGB(4, 5, 6));
    EXPECT_EQ(p.GetTextColor(), CLR_DEFAULT);
    SendMessageA(h, CPercentProgressCtrl::PBM_SETTEXTCOLOR, 0, RGB(7, 8, 9));
    EXPECT_EQ(p.GetTextColor(), RGB(7, 8, 9));
    EXPECT_EQ(SendMessageA(h, CPercentProgressCtrl::PBM_SETSHOWTEXT, FALSE, 0), TRUE);
    EXPECT_EQ(SendMessageA(h, CPercentProgressCtrl::PBM_SETSHOWTEXT, TRUE, 0), FALSE);
}

TEST_F(PercentProgressTest, TextIsStoredAndReadBackWithinTheCallersBuffer) {
    CPercentProgressCtrl p;
    Make(p, 10, 10, 101, 24);
    p.SetWindowText("Converting");
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(SendMessageA(p.m_hWnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 10);
    EXPECT_STREQ(buf, "Converting");
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(SendMessageA(p.m_hWnd, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buf)), 4);
    EXPECT_STREQ(buf, "Conv");  // always terminated inside the buffer
    EXPECT_EQ(buf[5], 'x');
    EXPECT_EQ(SendMessageA(p.m_hWnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(SendMessageA(p.m_hWnd, WM_GETTEXT, 10, 0), 0);
    EXPECT_EQ(p.GetWindowTextLength(), 10);
    SendMessageA(p.m_hWnd, WM_SETTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(p.m_hWnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(PercentProgressTest, HalfOfA101PixelBarFillsFiftyColumnsAndReadsFiftyPercent) {
    CPercentProgressCtrl p, ref;
    Make(p, 10, 10, 101, 24, 0, 100);
    Make(ref, 10, 50, 101, 24, 0, 101);
    p.SetPos(50);
    Pump();
    WinTestWindowPicture pic(p.m_hWnd);
    for (int x = 0; x < 101; ++x) EXPECT_EQ(pic.At(x, 0), x < 50 ? kBar : kBk) << x;
    // The text changes colour where the bar passes under it.
    int bk_in_bar = 0, bar_in_bk = 0, other = 0;
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            COLORREF c = pic.At(x, y);
            if (x < 50) bk_in_bar += c == kBk;
            else bar_in_bk += c == kBar;
            other += c != kBar && c != kBk;
        }
    EXPECT_GT(bk_in_bar, 10);
    EXPECT_GT(bar_in_bk, 10);
    EXPECT_GT(other, 0);  // the glyphs' smoothed edges

    // Its text is "50%": a bar told to show exactly that looks the same.
    ref.SetPos(50);
    ref.SetWindowText("50%");
    Pump();
    EXPECT_TRUE(SamePicture(p.m_hWnd, ref.m_hWnd));
    ref.SetWindowText("51%");
    Pump();
    EXPECT_FALSE(SamePicture(p.m_hWnd, ref.m_hWnd));
}

TEST_F(PercentProgressTest, ThePercentageFollowsPositionAndRangeExactly) {
    CPercentProgressCtrl p, ref;
    Make(p, 10, 10, 101, 24, 0, 100);
    Make(ref, 10, 50, 101, 24, 0, 101);
    struct Case {
        int lo, hi, pos;
        const char* text;
    } cases[] = {
        {0, 100, 29, "29%"},  // not 28: the share is taken in exact integers
        {10, 60, 35, "50%"},  {-50, 50, 0, "50%"},  {0, 3, 1, "33%"},
        {0, 100, 100, "100%"}, {0, 100, 0, "0%"},   {0, 100, 150, "100%"}, {0, 100, -20, "0%"},
        {-2000000000, 2000000000, 2000000000, "100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        p.SetRange(c.lo, c.hi);
        p.SetPos(c.pos);
        ref.SetRange(0, 100);
        ref.SetPos(std::string(c.text) == "100%" ? 100 : std::atoi(c.text));
        ref.SetWindowText(c.text);
        Pump();
        EXPECT_TRUE(SamePicture(p.m_hWnd, ref.m_hWnd));
    }
    // Out-of-range positions are kept as given; only the picture stops at the ends.
    EXPECT_EQ(p.GetPos(), 2000000000);
}

TEST_F(PercentProgressTest, TextColourAndHiddenText) {
    CPercentProgressCtrl p;
    Make(p, 10, 10, 101, 24);
    p.SetPos(50);
    p.SetTextColor(RGB(255, 0, 0));
    Pump();
    WinTestWindowPicture red(p.m_hWnd);
    EXPECT_GT(red.Count(RGB(255, 0, 0)), 20);
    int bk_in_bar = 0;
    for (int y = 0; y < red.h; ++y)
        for (int x = 0; x < 50; ++x) bk_in_bar += red.At(x, y) == kBk;
    EXPECT_EQ(bk_in_bar, 0);

    SendMessageA(p.m_hWnd, CPercentProgressCtrl::PBM_SETSHOWTEXT, FALSE, 0);
    Pump();
    WinTestWindowPicture plain(p.m_hWnd);
    EXPECT_EQ(plain.Count(kBar), 50 * 24);
    EXPECT_EQ(plain.Count(kBk), 51 * 24);
}

TEST_F(PercentProgressTest, DefaultColoursAreTheSystemHighlightAndWindowColours) {
    CPercentProgressCtrl p;
    ASSERT_TRUE(p.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 30), &host, 100));
    p.SetPos(25);
    SendMessageA(p.m_hWnd, CPercentProgressCtrl::PBM_SETSHOWTEXT, FALSE, 0);
    Pump();
    WinTestWindowPicture pic(p.m_hWnd);
    EXPECT_EQ(pic.At(0, 5), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pic.At(24, 5), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pic.At(25, 5), GetSysColor(COLOR_WINDOW));
}

TEST_F(PercentProgressTest, VerticalBarsRiseFromTheBottomWithoutText) {
    CPercentProgressCtrl p;
    Make(p, 10, 10, 24, 101, PBS_VERTICAL);
    p.SetPos(50);
    Pump();
    WinTestWindowPicture pic(p.m_hWnd);
    EXPECT_EQ(pic.Count(kBar), 24 * 50);
    EXPECT_EQ(pic.Count(kBk), 24 * 51);
    EXPECT_EQ(pic.At(5, 50), kBk);
    EXPECT_EQ(pic.At(5, 51), kBar);
    EXPECT_EQ(pic.At(5, 100), kBar);
}

TEST_F(PercentProgressTest, AnEmptyRangePaintsNothing) {
    CCountingBar p;
    Make(p, 10, 10, 101, 24);
    p.SetPos(50);
    Pump();
    WinTestWindowPicture before(p.m_hWnd);
    p.paints = 0;
    p.SetRange(5, 5);
    EXPECT_EQ(p.SetPos(5), 50);
    Pump();
    p.SetRange(9, 3);
    p.SetPos(7);
    Pump();
    EXPECT_GT(p.paints, 0);
    // Painted, but what was there stays.
    EXPECT_EQ(WinTestWindowPicture(p.m_hWnd).px, before.px);
}

TEST_F(PercentProgressTest, RepaintsOnlyWhenTheBarLengthChanges) {
    CCountingBar p;
    Make(p, 10, 10, 101, 24);
    p.SetRange(0, 1000);
    Pump();
    p.paints = 0;
    p.SetPos(500);  // 50 columns: painted at once
    EXPECT_EQ(p.paints, 1);
    p.SetPos(500);
    p.SetPos(501);  // still 50 columns
    EXPECT_EQ(p.paints, 1);
    p.SetPos(510);
    EXPECT_EQ(p.paints, 2);
    // A new size forgets the painted length.
    p.SetWindowPos(nullptr, 0, 0, 101, 30, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    p.paints = 0;
    p.SetPos(510);
    EXPECT_EQ(p.paints, 1);

    // A vertical bar measures along its height.
    CCountingBar v;
    Make(v, 200, 10, 10, 100, PBS_VERTICAL, 101);
    v.paints = 0;
    for (int pos = 1; pos <= 3; ++pos) v.SetPos(pos);
    EXPECT_EQ(v.paints, 3);
}
