// The edges of a skinned scroll-bar control, found from what is painted: each part answers a
// press from its first to its last pixel and its neighbour from the next one, and a dragged thumb
// takes the position nearest to where the mouse leaves it, wherever on the thumb it was held.
#include <cmath>

#include "ScrollBarCtlSkin.h"
#include "scroll_test_support.h"

using namespace sbtest;

namespace {

class ScrollBarControlEdgeTest : public CHostedSkinnerTest {
protected:
    void SetUp() override
    {
        CHostedSkinnerTest::SetUp();
        ApplySkin(Objects());
        host = std::make_unique<CHost>();
        bar = host->Add("ScrollBar", "", SBS_HORZ, RECT{20, 20, 260, 36}, 5);
        counter = std::make_unique<CMessageCounter>(*host, WM_HSCROLL);
        ASSERT_TRUE(host->Skin());
        ASSERT_NE(SkinOf<CSkinScrollBar>(bar), nullptr);
    }
    void TearDown() override
    {
        counter.reset();
        CHostedSkinnerTest::TearDown();
    }
    void SetBar(int maxPos, UINT page, int pos)
    {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, maxPos, page, pos, 0};
        SetScrollInfo(bar, SB_CTL, &si, TRUE);
        WinTestPumpUntilIdle();
    }
    // The columns of each painted part along the bar's middle row.
    std::map<std::string, std::pair<int, int>> PaintedParts() const
    {
        RECT cr;
        GetClientRect(bar, &cr);
        HWND top = GetAncestor(bar, GA_ROOT);
        return PaintedRuns(CPicture::OfWindow(top), *skin, cr.right,
                           [&](int x) { return InHost(bar, top, POINT{x, cr.bottom / 2}); });
    }
    void Press(int x)
    {
        WinTestAdvanceClock(1000);
        WinTestPumpUntilIdle();
        WinTestMouseMove(bar, x, 8);
        WinTestPumpUntilIdle();
        WinTestMouseButton(bar, WINTEST_LEFT, TRUE, x, 8);
        WinTestPumpUntilIdle();
    }
    void Release(int x)
    {
        WinTestMouseButton(bar, WINTEST_LEFT, FALSE, x, 8);
        WinTestPumpUntilIdle();
    }
    int CodeAt(int x)
    {
        counter->calls.clear();
        Press(x);
        Release(x);
        return FirstLineOrPageCode(*counter);
    }

    HWND bar = nullptr;
    std::unique_ptr<CMessageCounter> counter;
};

TEST_F(ScrollBarControlEdgeTest, EachPartAnswersFromItsFirstToItsLastPaintedPixel)
{
    SetBar(99, 10, 45);
    const auto presses = EdgePresses(PaintedParts());
    ASSERT_FALSE(presses.empty());
    for (const auto& [x, code] : presses) {
        SCOPED_TRACE("column " + std::to_string(x));
        EXPECT_EQ(CodeAt(x), code);
    }
}

TEST_F(ScrollBarControlEdgeTest, ADraggedThumbTakesThePositionNearestToWhereTheMouseLeavesIt)
{
    SetBar(9, 1, 0);
    const auto parts = PaintedParts();
    const auto thumb = parts.at("thumb");
    const int trackStart = parts.at("arrow1").second + 1, trackEnd = parts.at("arrow2").first;
    ASSERT_EQ(thumb.first, trackStart);
    const int free = (trackEnd - trackStart) - (thumb.second - thumb.first + 1);
    const double step = free / 9.0;
    ASSERT_GT(step, 6.0);
    // Held near its start and near its end: the grip point does not move the result.
    for (int grab : {thumb.first + 1, thumb.second - 1}) {
        for (int offset = 0; offset <= free; ++offset) {
            SCOPED_TRACE("held at " + std::to_string(grab) + ", dragged " + std::to_string(offset));
            SetBar(9, 1, 0);
            counter->calls.clear();
            Press(grab);
            WinTestMouseMove(bar, grab + offset, 8);
            WinTestPumpUntilIdle();
            const int tracked = LastPosOf(*counter, SB_THUMBTRACK);
            const int pos = tracked < 0 ? 0 : tracked;
            Release(grab + offset);
            EXPECT_LE(std::fabs(pos * step - offset), step / 2 + 0.5) << "position " << pos;
        }
    }
}

}  // namespace
