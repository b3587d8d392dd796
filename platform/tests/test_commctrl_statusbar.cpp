// The status bar: its place along the parent's bottom, parts and their rectangles, texts with
// drawing types in the answers' high words, simple mode, clicks per part, and the look of
// sunken, raised and borderless parts.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct StatusFixture : ::testing::Test {
    HWND parent = nullptr, bar = nullptr;
    void SetUp() override {
        Reset();
        parent = MakeParent(400, 300);
        bar = CreateWindowExA(0, STATUSCLASSNAMEA, "Ready", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(9), nullptr, nullptr);
        Pump();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    RECT BarRect() {
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    RECT Part(int k) {
        RECT r{};
        EXPECT_TRUE(SendMessageA(bar, SB_GETRECT, k, reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    void ThreeParts() {
        int rights[] = {100, 250, -1};
        ASSERT_TRUE(SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)));
    }
};

TEST_F(StatusFixture, ItSpansTheBottomOfItsParentAndFollowsItsSize) {
    RECT r = BarRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    EXPECT_GT(r.bottom - r.top, 14);
    SetWindowPos(parent, nullptr, 0, 0, 500, 200, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(bar, WM_SIZE, 0, 0);  // the parent passes its size on
    r = BarRect();
    EXPECT_EQ(r.right, 500);
    EXPECT_EQ(r.bottom, 200);

    HWND top = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_TOP, 0, 0, 10, 10, parent, nullptr,
                               nullptr, nullptr);
    RECT t;
    GetWindowRect(top, &t);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&t), 2);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.right, 500);
    HWND fixed = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE, 5, 6, 70, 20,
                                 parent, nullptr, nullptr, nullptr);
    GetWindowRect(fixed, &t);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&t), 2);
    EXPECT_EQ(t.left, 5);
    EXPECT_EQ(t.top, 6);
    EXPECT_EQ(t.right, 75);
}

TEST_F(StatusFixture, PartsEndAtTheirRightEdgesAndTheLastRunsToTheEnd) {
    ThreeParts();
    int got[8] = {};
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 3);
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(got)), 3);
    EXPECT_EQ(got[0], 100);
    EXPECT_EQ(got[1], 250);
    EXPECT_EQ(got[2], 0);  // only as many as asked for
    RECT a = Part(0), b = Part(1), c = Part(2);
    int borders[3];
    SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    EXPECT_EQ(a.left, borders[0]);
    EXPECT_EQ(a.right, 100);
    EXPECT_EQ(b.left, 100 + borders[2]);
    EXPECT_EQ(b.right, 250);
    EXPECT_EQ(c.right, 400);
    EXPECT_EQ(a.top, borders[1]);
    RECT none;
    EXPECT_FALSE(SendMessageA(bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&none)));
    EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(got)));
    EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(got)));
}

TEST_F(StatusFixture, TextsAnswerTheirLengthWithTheDrawingTypeInTheHighWord) {
    ThreeParts();
    EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)), 5u);  // the window's title
    ASSERT_TRUE(SendMessageA(bar, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Raised part")));
    LRESULT len = SendMessageA(bar, SB_GETTEXTLENGTHA, 1, 0);
    EXPECT_EQ(LOWORD(len), 11u);
    EXPECT_EQ(HIWORD(len), UINT(SBT_POPOUT));
    std::string buf(LOWORD(len) + 1, '\x7f');
    LRESULT got = SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(&buf[0]));
    EXPECT_EQ(LOWORD(got), 11u);
    EXPECT_STREQ(buf.c_str(), "Raised part");
    EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTHA, 2, 0), 0);  // empty, plain
    EXPECT_FALSE(SendMessageA(bar, SB_SETTEXTA, 7, reinterpret_cast<LPARAM>("x")));

    SetWindowTextA(bar, "Zero");
    char title[16];
    GetWindowTextA(bar, title, sizeof title);
    EXPECT_STREQ(title, "Zero");
    EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)), 4u);

    SendMessageA(bar, SB_SETTEXTA, 2 | SBT_OWNERDRAW, 0x1234);
    EXPECT_EQ(SendMessageA(bar, SB_GETTEXTA, 2, 0), 0x1234);  // the owner's value
}

TEST_F(StatusFixture, SimpleModeShowsOnePartAndTellsTheParent) {
    ThreeParts();
    SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>("Menu help"));
    SendMessageA(bar, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(Codes(), (std::vector<UINT>{SBN_SIMPLEMODECHANGE}));
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 1);
    RECT r = Part(0);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, SB_SIMPLEID, 0)), 9u);
    SendMessageA(bar, SB_SIMPLE, TRUE, 0);  // no change: no notice
    EXPECT_EQ(Notes().size(), 1u);
    SendMessageA(bar, SB_SIMPLE, FALSE, 0);
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 3);
}

TEST_F(StatusFixture, ClicksTellTheParentWhichPartWasHit) {
    ThreeParts();
    std::vector<DWORD_PTR> parts;
    OnNotify() = [&](NMHDR* nm, bool*) -> LRESULT {
        if (nm->code == NM_CLICK || nm->code == NM_RCLICK) parts.push_back(reinterpret_cast<NMMOUSE*>(nm)->dwItemSpec);
        return 0;
    };
    WinTestClick(bar, WINTEST_LEFT, 180, 8);
    WinTestClick(bar, WINTEST_RIGHT, 20, 8);
    Pump();
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_CLICK, NM_RCLICK}));
    EXPECT_EQ(parts, (std::vector<DWORD_PTR>{1, 0}));
}

TEST_F(StatusFixture, PartsAreSunkenRaisedOrBorderlessAsTheirTypeSays) {
    ThreeParts();
    SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(bar, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>(""));
    SendMessageA(bar, SB_SETTEXTA, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
    Pump();
    Capture pic(bar);
    RECT a = Part(0), b = Part(1), c = Part(2);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                   face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(pic.At(a.left + 10, a.top), shadow);
    EXPECT_EQ(pic.At(a.left + 10, a.bottom - 1), light);
    EXPECT_EQ(pic.At(b.left + 10, b.top), light);
    EXPECT_EQ(pic.At(b.left + 10, b.bottom - 1), shadow);
    EXPECT_EQ(pic.At(c.left + 10, c.top), face);
    EXPECT_EQ(pic.At(a.left + 10, (a.top + a.bottom) / 2), face);  // an empty part is only its frame
}

TEST_F(StatusFixture, TextIsDrawnInsideItsPartAndTabsAlignThePieces) {
    ThreeParts();
    SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("\t\tRIGHT"));
    Pump();
    Capture pic(bar);
    RECT a = Part(0);
    auto dark_in = [&](int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = a.top + 1; y < a.bottom - 1; ++y) n += pic.At(x, y) == GetSysColor(COLOR_BTNTEXT);
        return n;
    };
    EXPECT_EQ(dark_in(a.left + 1, a.left + 40), 0);  // nothing at the left: the text went right
    EXPECT_GT(dark_in(a.left + 50, a.right - 1), 0);
}

TEST_F(StatusFixture, TheSizeGripShowsOnlyWithItsStyleAndHitsAsTheCorner) {
    HWND grip = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_TOP, 0, 0, 10, 10, parent,
                                nullptr, nullptr, nullptr);
    Pump();
    RECT cr;
    GetClientRect(grip, &cr);
    Capture with(grip), without(bar);
    EXPECT_GT(with.Count(GetSysColor(COLOR_BTNSHADOW)), without.Count(GetSysColor(COLOR_BTNSHADOW)));
    RECT p{};
    SendMessageA(grip, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&p));
    EXPECT_LT(p.right, cr.right);  // the last part stops before the grip
    // The parent here has no sizing frame: the grip is only drawn.
    POINT corner{cr.right - 3, cr.bottom - 3};
    ClientToScreen(grip, &corner);
    EXPECT_EQ(SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCLIENT);
}

}  // namespace
