// Skinned window scroll bars: attaching and detaching, the scroll-bar functions answered from
// the record, the parts painted by state from the flat skin (with its fall-backs), and mouse
// input giving the same notices as the platform's own bars, with auto-repeat and thumb drags on
// the hand-driven clock.
#include "scroll_test_support.h"

#include <climits>

using namespace sbtest;

namespace {

class ScrollBarsTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        UseSkin();
    }
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        counters.clear();
        for (HWND h : windows)
            if (IsWindow(h))
                DestroyWindow(h);
        WinTestPumpUntilIdle();
        const WinTestLiveCounts end = WinTestLiveCounts::Now();
        EXPECT_EQ(end, baseline) << end.ChangesFrom(baseline);
        CSkinnerTest::TearDown();
    }
    void UseSkin(std::vector<std::string> leaveEmpty = {}, bool withScrollBar = true)
    {
        ApplySkin(Objects(withScrollBar), std::move(leaveEmpty));
        WinTestPumpUntilIdle();
        baseline = WinTestLiveCounts::Now();
    }
    HWND Plain(DWORD style = WS_VSCROLL)
    {
        // Side by side, so that screen input reaches the window meant.
        const int x = 20 + 230 * static_cast<int>(windows.size() % 4);
        windows.push_back(MakeScrolled(style, RECT{x, 60, x + 200, 210}));
        return windows.back();
    }
    // A window with skinned bars whose scroll messages are counted below the skin.
    HWND Skinned(DWORD style = WS_VSCROLL)
    {
        HWND h = Plain(style);
        Count(h);
        EXPECT_TRUE(InitializeSkinSB(h));
        WinTestPumpUntilIdle();
        return h;
    }
    CMessageCounter& Count(HWND h, UINT msg = WM_VSCROLL)
    {
        counters.push_back(std::make_unique<CMessageCounter>(h, msg));
        return *counters.back();
    }
    CMessageCounter& Counter(size_t i = 0) { return *counters[i]; }
    COLORREF Color(const std::string& path, int cell = -1) const { return skin->ColorOf("ScrollBar." + path, cell); }
    static COLORREF At(HWND h, POINT p) { return CPicture::OfWindow(h).At(p); }

    std::vector<HWND> windows;
    std::vector<std::unique_ptr<CMessageCounter>> counters;
    WinTestLiveCounts baseline;
};

// Window coordinates of the parts of the 150-high vertical bar at position 0 (range 0..99,
// page 10: an 11-pixel thumb right below the first arrow).
constexpr int kArrow1Y = 8, kThumbY = 21, kTrackY = 80, kArrow2Y = 142;

TEST_F(ScrollBarsTest, AttachReservesTheBarsAndDetachGivesTheWindowBackWithNothingLeft)
{
    HWND h = Plain(WS_VSCROLL | WS_HSCROLL);
    RECT before;
    GetClientRect(h, &before);
    ASSERT_TRUE(InitializeSkinSB(h));
    EXPECT_FALSE(InitializeSkinSB(h));
    EXPECT_TRUE(IsSkinSBWindow(h));
    EXPECT_NE(GetPropA(h, "SkinSBSubclassPtr"), nullptr);
    RECT skinned;
    GetClientRect(h, &skinned);
    EXPECT_EQ(Width(skinned), Width(before));
    EXPECT_EQ(Height(skinned), Height(before));
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL);

    EXPECT_EQ(UninitializeSkinSB(h), S_OK);
    EXPECT_EQ(UninitializeSkinSB(h), E_FAIL);
    EXPECT_FALSE(IsSkinSBWindow(h));
    EXPECT_EQ(GetPropA(h, "SkinSBSubclassPtr"), nullptr);
    RECT after;
    GetClientRect(h, &after);
    EXPECT_TRUE(EqualRect(&after, &before));

    // A window that goes with its bars skinned takes its record along.
    HWND gone = Plain();
    ASSERT_TRUE(InitializeSkinSB(gone));
    DestroyWindow(gone);
    EXPECT_FALSE(IsSkinSBWindow(gone));
}

TEST_F(ScrollBarsTest, TheFunctionsKeepPositionPageAndRangeConsistent)
{
    HWND h = Skinned();
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(SkinSB_GetScrollInfo(h, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 99);
    EXPECT_EQ(si.nPage, 10u);

    // A page larger than the range is cut to it; a position past the last page is cut back.
    SCROLLINFO in{sizeof in, SIF_PAGE | SIF_POS, 0, 0, 500, 95, 0};
    EXPECT_EQ(SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE), 0);
    in = {sizeof in, SIF_PAGE | SIF_POS, 0, 0, 10, 95, 0};
    EXPECT_EQ(SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE), 90);
    // A range and a position together: the position is kept within the new range.
    in = {sizeof in, SIF_RANGE | SIF_POS, 0, 200, 0, 150, 0};
    EXPECT_EQ(SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE), 150);
    // A narrower range takes the position (and the page) along.
    EXPECT_TRUE(SkinSB_SetScrollRange(h, SB_VERT, 0, 50, TRUE));
    EXPECT_EQ(SkinSB_GetScrollPos(h, SB_VERT), 41);
    // Page 0: the position may go up to nMax, not past it.
    in = {sizeof in, SIF_PAGE | SIF_POS, 0, 0, 0, 70, 0};
    EXPECT_EQ(SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE), 50);
    // An inverted range holds no page and no position beyond its start.
    in = {sizeof in, SIF_RANGE | SIF_PAGE | SIF_POS, 20, 5, 8, 30, 0};
    EXPECT_EQ(SkinSB_SetScrollInfo(h, SB_VERT, &in, FALSE), 20);
    si = {sizeof si, SIF_PAGE, 0, 0, 0, 0, 0};
    SkinSB_GetScrollInfo(h, SB_VERT, &si);
    EXPECT_EQ(si.nPage, 0u);

    EXPECT_EQ(SkinSB_SetScrollPos(h, SB_VERT, 3, TRUE), 20);
    int lo = -1, hi = -1;
    EXPECT_FALSE(SkinSB_GetScrollRange(h, SB_VERT, nullptr, &hi));
    EXPECT_FALSE(SkinSB_GetScrollRange(h, SB_VERT, &lo, nullptr));
    EXPECT_TRUE(SkinSB_GetScrollRange(h, SB_VERT, &lo, &hi));
    EXPECT_EQ(lo, 20);
    EXPECT_EQ(hi, 5);
    si = {sizeof si, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(SkinSB_GetScrollInfo(h, SB_VERT, &si));

    EXPECT_TRUE(SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_LTUP));
    EXPECT_FALSE(SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_LTUP));
    // Showing both bars sets both styles; a range of one value hides the bar again.
    EXPECT_TRUE(SkinSB_ShowScrollBar(h, SB_BOTH, TRUE));
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL);
    EXPECT_TRUE(SkinSB_SetScrollRange(h, SB_VERT, 7, 7, TRUE));
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL, 0);
    // No notice of the bars' own style changes reaches the window.
    EXPECT_EQ(Counter().Count(), 0);
}

TEST(ScrollBarMath, TheThumbStaysInsideTheTrackAndPositionsInsideTheRange)
{
    const SCROLLINFO cases[] = {
        {sizeof(SCROLLINFO), SIF_ALL, INT_MIN, INT_MAX, 10, 0, 0},
        {sizeof(SCROLLINFO), SIF_ALL, INT_MIN, INT_MAX, 0, INT_MAX, 0},
        {sizeof(SCROLLINFO), SIF_ALL, 10, 109, 10, 50, 0},
        {sizeof(SCROLLINFO), SIF_ALL, 0, 0, 1, 0, 0},
        {sizeof(SCROLLINFO), SIF_ALL, 5, 5, 0, 5, 0},
        {sizeof(SCROLLINFO), SIF_ALL, 0, 9, 10, 0, 0},
    };
    for (const SCROLLINFO& given : cases)
        for (int length : {0, 1, 20, 33, 40, 4000}) {
            SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
            skinsb::ApplyScrollInfo(si, given);
            const SkinSBLayout l = skinsb::CalcThumb(si, 100, 100 + length, 16, 6);
            if (l.hasThumb) {
                EXPECT_GE(l.thumbStart, 100 + l.arrow) << length;
                EXPECT_LE(l.thumbStart + l.thumbLength, 100 + length - l.arrow) << length;
            }
            for (int at : {-5000, 0, 100, 150, 5000}) {
                const int pos = skinsb::PositionForThumb(si, l, at);
                EXPECT_GE(pos, si.nMin);
                EXPECT_LE(pos, skinsb::MaxScrollPos(si));
            }
        }
    // The far end of the track is the last page's position, counted from nMin.
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    skinsb::ApplyScrollInfo(si, SCROLLINFO{sizeof si, SIF_ALL, 10, 109, 10, 0, 0});
    const SkinSBLayout l = skinsb::CalcThumb(si, 0, 200, 16, 6);
    EXPECT_EQ(skinsb::PositionForThumb(si, l, 200 - 16 - l.thumbLength), 100);
    EXPECT_EQ(skinsb::PositionForThumb(si, l, 16), 10);
}

TEST_F(ScrollBarsTest, PartsArePaintedFromTheSkinByState)
{
    HWND h = Skinned();
    // Painted once, then idle: painting asks for no painting of its own.
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestPumpUntilIdle(), 0);
    EXPECT_EQ(At(h, OnVBar(h, kArrow1Y)), Color("vertical[0].arrow1"));
    EXPECT_EQ(At(h, OnVBar(h, kThumbY)), Color("vertical[0].thumb", 4));
    EXPECT_EQ(At(h, OnVBar(h, kTrackY)), Color("vertical[0].track", 4));
    EXPECT_EQ(At(h, OnVBar(h, kArrow2Y)), Color("vertical[0].arrow2"));

    // Held: the pressed look, back to normal when the mouse leaves the part and at the release.
    Press(h, OnVBar(h, kArrow2Y));
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(h, OnVBar(h, kArrow2Y)), Color("vertical[1].arrow2"));
    MoveTo(h, OnVBar(h, kTrackY));
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(h, OnVBar(h, kArrow2Y)), Color("vertical[0].arrow2"));
    Release(h, OnVBar(h, kTrackY));
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(h, OnVBar(h, kArrow2Y)), Color("vertical[0].arrow2"));

    // Style 2 shows the part under the mouse hot; leaving the bar takes the hot look away.
    ASSERT_TRUE(SkinSB_SetStyle(h, SB_VERT, 2));
    MoveTo(h, OnVBar(h, kArrow1Y));
    WinTestPumpUntilIdle();
    Advance(20);
    Advance(20);
    EXPECT_LE(WinTestPumpUntilIdle(), 0);
    EXPECT_EQ(At(h, OnVBar(h, kArrow1Y)), Color("vertical[2].arrow1"));
    MoveTo(h, POINT{20, 20});
    WinTestPumpUntilIdle();
    Advance(20);
    EXPECT_EQ(At(h, OnVBar(h, kArrow1Y)), Color("vertical[0].arrow1"));

    // Both arrows disabled: the disabled look, and no thumb.
    SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH);
    WinTestPumpUntilIdle();
    const CPicture p = CPicture::OfWindow(h);
    EXPECT_EQ(p.At(OnVBar(h, kArrow1Y)), Color("verticalLast.arrow1"));
    EXPECT_EQ(p.At(OnVBar(h, kTrackY)), Color("verticalLast.track", 4));
    const RECT column{200 - kBar, 0, 200, 150};
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(p.Count(column, Color("verticalLast.thumb", cell)) + p.Count(column, Color("vertical[0].thumb", cell)), 0);
}

TEST_F(ScrollBarsTest, ASparseSkinFallsBackToTheNormalLook)
{
    UseSkin({"ScrollBar.vertical[1]", "ScrollBar.verticalLast"});
    HWND h = Skinned();
    Press(h, OnVBar(h, kThumbY));
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(h, OnVBar(h, kThumbY)), Color("vertical[0].thumb", 4));
    Release(h, OnVBar(h, kThumbY));
    SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(h, OnVBar(h, kArrow1Y)), Color("vertical[0].arrow1"));
    EXPECT_EQ(At(h, OnVBar(h, kTrackY)), Color("vertical[0].track", 4));
}

TEST_F(ScrollBarsTest, WithoutAScrollBarObjectTheClassicLookIsPainted)
{
    UseSkin({}, false);
    HWND h = Skinned(WS_VSCROLL | WS_HSCROLL);
    const CPicture p = CPicture::OfWindow(h);
    const RECT arrow{200 - kBar, 0, 200, kBar};
    EXPECT_GT(p.Count(arrow, GetSysColor(COLOR_3DFACE)), kBar * kBar / 2);
    EXPECT_GT(p.Count(RECT{200 - kBar, 60, 200, 100}, GetSysColor(COLOR_SCROLLBAR)), 0);
    // The corner between the bars of a window that is no child: the face colour.
    EXPECT_TRUE(p.IsUniform(RECT{200 - kBar, 150 - kBar, 200, 150}, GetSysColor(COLOR_3DFACE)));
}

TEST_F(ScrollBarsTest, TheCornerBetweenTwoBarsAndAShortBar)
{
    HWND h = Skinned(WS_VSCROLL | WS_HSCROLL);
    EXPECT_TRUE(CPicture::OfWindow(h).IsUniform(RECT{200 - kBar, 150 - kBar, 200, 150}, Color("sizeGrip")));
    // A bar too short for two arrows shows the two arrows alone, sharing its length.
    SetWindowPos(h, nullptr, 0, 0, 200, 20 + kBar, SWP_NOMOVE | SWP_NOZORDER);
    WinTestPumpUntilIdle();
    const CPicture p = CPicture::OfWindow(h);
    EXPECT_EQ(p.At(OnVBar(h, 3)), Color("vertical[0].arrow1"));
    EXPECT_EQ(p.At(OnVBar(h, 17)), Color("vertical[0].arrow2"));
    const RECT column{200 - kBar, 0, 200, 20};
    EXPECT_EQ(p.Count(column, Color("vertical[0].thumb", 4)) + p.Count(column, Color("vertical[0].track", 4)), 0);
}

TEST_F(ScrollBarsTest, ClicksAndDragsSendWhatThePlatformsBarsSend)
{
    HWND skinned = Skinned();
    HWND plain = Plain();
    CMessageCounter& platform = Count(plain);
    struct Gesture {
        int from, to;
    };
    for (Gesture g : {Gesture{kArrow2Y, kArrow2Y}, Gesture{kArrow1Y, kArrow1Y}, Gesture{kTrackY, kTrackY},
                      Gesture{kThumbY, kThumbY}, Gesture{kThumbY, 140}}) {
        for (HWND h : {plain, skinned}) {
            Press(h, OnVBar(h, g.from));
            for (int y = g.from; y < g.to; y += 5)
                MoveTo(h, OnVBar(h, y));
            MoveTo(h, OnVBar(h, g.to));
            Release(h, OnVBar(h, g.to));
            WinTestPumpUntilIdle();
        }
        EXPECT_EQ(CodeRuns(Counter()), CodeRuns(platform)) << g.from << " to " << g.to;
        EXPECT_EQ(LastPosOf(Counter(), SB_THUMBPOSITION), LastPosOf(platform, SB_THUMBPOSITION));
        Counter().calls.clear();
        platform.calls.clear();
    }
}

TEST_F(ScrollBarsTest, AHeldArrowRepeatsAfterAPauseAtASteadyRate)
{
    HWND h = Skinned();
    Press(h, OnVBar(h, kArrow2Y));
    WinTestPumpUntilIdle();
    EXPECT_EQ(Counter().Count(), 1);
    Advance(299, 1);
    EXPECT_EQ(Counter().Count(), 1);
    Advance(1 + 55, 1);
    EXPECT_EQ(Counter().Count(), 2);
    Advance(55 * 3, 1);
    EXPECT_EQ(Counter().Count(), 5);
    // Off the pressed part the repeats pause; back on it they go on.
    MoveTo(h, OnVBar(h, kTrackY));
    Advance(110, 1);
    EXPECT_EQ(Counter().Count(), 5);
    MoveTo(h, OnVBar(h, kArrow2Y));
    Advance(55, 1);
    EXPECT_EQ(Counter().Count(), 6);
    Release(h, OnVBar(h, kArrow2Y));
    WinTestPumpUntilIdle();
    Advance(200);
    const std::vector<int> codes = Codes(Counter());
    ASSERT_EQ(codes.size(), 7u);
    for (size_t i = 0; i + 1 < codes.size(); ++i)
        EXPECT_EQ(codes[i], SB_LINEDOWN);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
}

TEST_F(ScrollBarsTest, ADraggedThumbTracksFromTheRangeMinimumAndSnapsBackWhenFarAway)
{
    HWND h = Skinned();
    SCROLLINFO in{sizeof in, SIF_RANGE | SIF_POS, 10, 109, 0, 10, 0};
    SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE);
    WinTestPumpUntilIdle();
    Press(h, OnVBar(h, kThumbY));
    MoveTo(h, OnVBar(h, 60));
    WinTestPumpUntilIdle();
    const int middle = LastPosOf(Counter(), SB_THUMBTRACK);
    EXPECT_GT(middle, 10);
    SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    SkinSB_GetScrollInfo(h, SB_VERT, &si);
    EXPECT_EQ(si.nTrackPos, middle);
    EXPECT_EQ(si.nPos, 10);
    EXPECT_EQ(At(h, OnVBar(h, 60)), Color("vertical[1].thumb", 4));

    // Far to the side: back where it began; near again: tracking goes on.
    MoveTo(h, POINT{200 - kBar - 30, 60});
    WinTestPumpUntilIdle();
    EXPECT_EQ(LastPosOf(Counter(), SB_THUMBTRACK), 10);
    EXPECT_EQ(At(h, OnVBar(h, kThumbY)), Color("vertical[1].thumb", 4));
    MoveTo(h, OnVBar(h, 300));
    WinTestPumpUntilIdle();
    EXPECT_EQ(LastPosOf(Counter(), SB_THUMBTRACK), 10);
    MoveTo(h, OnVBar(h, 170));
    WinTestPumpUntilIdle();
    EXPECT_EQ(LastPosOf(Counter(), SB_THUMBTRACK), 100);
    Release(h, OnVBar(h, 170));
    WinTestPumpUntilIdle();
    EXPECT_EQ(LastPosOf(Counter(), SB_THUMBPOSITION), 100);
    EXPECT_EQ(Codes(Counter()).back(), SB_ENDSCROLL);
}

TEST_F(ScrollBarsTest, DisabledArrowsAndAnUnscrollableBarTakeNoInput)
{
    HWND h = Skinned();
    SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_RTDN);
    Press(h, OnVBar(h, kArrow2Y));
    Release(h, OnVBar(h, kArrow2Y));
    WinTestPumpUntilIdle();
    EXPECT_EQ(Counter().Count(), 0);
    SkinSB_EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH);
    Press(h, OnVBar(h, kThumbY));
    MoveTo(h, OnVBar(h, 100));
    Release(h, OnVBar(h, 100));
    WinTestPumpUntilIdle();
    EXPECT_EQ(Counter().Count(), 0);
}

TEST_F(ScrollBarsTest, SettingAndPaintingAtOnceKeepsTheBarShownAndLeavesADraggedThumbAlone)
{
    HWND h = Skinned();
    // Painted before anything else runs: the thumb at the last position, 123..134.
    SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, 95, 0};
    EXPECT_EQ(SkinSB_SetScrollInfoAndPaint(h, SB_VERT, &in, TRUE), 90);
    CPicture p = CPicture::OfWindow(h);
    EXPECT_EQ(p.At(OnVBar(h, 128)), Color("vertical[0].thumb", 4));
    EXPECT_EQ(p.At(OnVBar(h, kThumbY)), Color("vertical[0].track", 4));

    // Without redraw nothing is painted until the frame is.
    in.nPos = 0;
    EXPECT_EQ(SkinSB_SetScrollInfoAndPaint(h, SB_VERT, &in, FALSE), 0);
    EXPECT_EQ(At(h, OnVBar(h, 128)), Color("vertical[0].thumb", 4));
    SendMessageA(h, WM_NCPAINT, 1, 0);
    EXPECT_EQ(At(h, OnVBar(h, kThumbY)), Color("vertical[0].thumb", 4));

    // Nothing left to scroll: the bar stays where SetScrollInfo would hide it, drawn disabled.
    RECT client;
    GetClientRect(h, &client);
    in = {sizeof in, SIF_RANGE | SIF_PAGE, 0, 5, 10, 0, 0};
    SkinSB_SetScrollInfoAndPaint(h, SB_VERT, &in, TRUE);
    WinTestPumpUntilIdle();
    RECT now;
    GetClientRect(h, &now);
    EXPECT_TRUE(EqualRect(&now, &client));
    EXPECT_EQ(At(h, OnVBar(h, kArrow1Y)), Color("verticalLast.arrow1"));
    SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE);
    WinTestPumpUntilIdle();
    GetClientRect(h, &now);
    EXPECT_EQ(Width(now), Width(client) + kBar);

    // While the thumb is dragged it stays under the mouse.
    in = {sizeof in, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SkinSB_SetScrollInfo(h, SB_VERT, &in, TRUE);
    WinTestPumpUntilIdle();
    Press(h, OnVBar(h, kThumbY));
    WinTestPumpUntilIdle();
    in = {sizeof in, SIF_POS, 0, 0, 0, 90, 0};
    EXPECT_EQ(SkinSB_SetScrollInfoAndPaint(h, SB_VERT, &in, TRUE), 90);
    EXPECT_EQ(At(h, OnVBar(h, kThumbY)), Color("vertical[1].thumb", 4));
    EXPECT_EQ(At(h, OnVBar(h, 128)), Color("vertical[0].track", 4));
    Release(h, OnVBar(h, kThumbY));
    WinTestPumpUntilIdle();
}

}  // namespace
