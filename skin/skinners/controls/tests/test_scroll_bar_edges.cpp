// The edges of skinned scroll bars, found from what is painted rather than from the layout: each
// part answers a press from its first to its last pixel and its neighbour from the next one, the
// bar starts at its first column, and a dragged thumb takes the position nearest to where the
// mouse leaves it.
#include <cmath>

#include "scroll_test_support.h"

using namespace sbtest;

namespace {

class ScrollBarEdgeTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        ApplySkin(Objects());
        WinTestPumpUntilIdle();
        hwnd = MakeScrolled();
        counter = std::make_unique<CMessageCounter>(hwnd, WM_VSCROLL);
        ASSERT_TRUE(InitializeSkinSB(hwnd));
        WinTestPumpUntilIdle();
        RECT w;
        GetWindowRect(hwnd, &w);
        width = w.right - w.left;
        height = w.bottom - w.top;
    }
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        counter.reset();
        DestroyWindow(hwnd);
        WinTestPumpUntilIdle();
        CSkinnerTest::TearDown();
    }
    void SetBar(int maxPos, UINT page, int pos)
    {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, maxPos, page, pos, 0};
        SkinSB_SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
        WinTestPumpUntilIdle();
    }
    // The rows of each part of the vertical bar as painted: "arrow1", "track", "thumb", "arrow2".
    std::map<std::string, std::pair<int, int>> PaintedParts() const
    {
        return PaintedRuns(CPicture::OfWindow(hwnd), *skin, height, [&](int y) { return POINT{width - kBar / 2, y}; });
    }
    // The first line or page code a press and release at a window point sends; -1 for none.
    int CodeOfPress(POINT p)
    {
        counter->calls.clear();
        Press(hwnd, p);
        WinTestPumpUntilIdle();
        Release(hwnd, p);
        WinTestPumpUntilIdle();
        return FirstLineOrPageCode(*counter);
    }
    int CodeAtRow(int y) { return CodeOfPress(POINT{width - kBar / 2, y}); }

    HWND hwnd = nullptr;
    std::unique_ptr<CMessageCounter> counter;
    int width = 0, height = 0;
};

TEST_F(ScrollBarEdgeTest, EachPartAnswersFromItsFirstToItsLastPaintedPixel)
{
    SetBar(99, 10, 45);
    const auto parts = PaintedParts();
    const auto presses = EdgePresses(parts);
    ASSERT_FALSE(presses.empty());
    ASSERT_EQ(parts.at("arrow1").first, 0);
    ASSERT_EQ(parts.at("arrow2").second, height - 1);
    for (const auto& [row, code] : presses) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(CodeAtRow(row), code);
        EXPECT_EQ(SkinSB_GetScrollPos(hwnd, SB_VERT), 45);  // the window scrolls nothing itself
    }
    const auto arrow1 = parts.at("arrow1");
    // Across the bar: its first and last column, and the client's last one beside it.
    EXPECT_EQ(CodeOfPress(POINT{width - kBar, arrow1.first}), SB_LINEUP);
    EXPECT_EQ(CodeOfPress(POINT{width - 1, arrow1.first}), SB_LINEUP);
    EXPECT_EQ(CodeOfPress(POINT{width - kBar - 1, arrow1.first}), -1);
    EXPECT_EQ(counter->calls.size(), 0u);
}

TEST_F(ScrollBarEdgeTest, ADraggedThumbTakesThePositionNearestToWhereTheMouseLeavesIt)
{
    // Ten positions over a long track: a step is many pixels, so a position rounded the wrong
    // way lies a whole step off.
    SetBar(9, 1, 0);
    const auto parts = PaintedParts();
    const auto thumb = parts.at("thumb");
    const int trackStart = parts.at("arrow1").second + 1, trackEnd = parts.at("arrow2").first;
    ASSERT_EQ(thumb.first, trackStart);
    const int free = (trackEnd - trackStart) - (thumb.second - thumb.first + 1);
    const double step = free / 9.0;
    ASSERT_GT(step, 6.0);
    const int grab = thumb.first + 2;
    for (int offset = 0; offset <= free; ++offset) {
        SCOPED_TRACE("dragged " + std::to_string(offset) + " pixels");
        SkinSB_SetScrollPos(hwnd, SB_VERT, 0, TRUE);
        counter->calls.clear();
        Press(hwnd, POINT{width - kBar / 2, grab});
        WinTestPumpUntilIdle();
        MoveTo(hwnd, POINT{width - kBar / 2, grab + offset});
        WinTestPumpUntilIdle();
        // Tracking tells only positions other than the one the drag started at.
        const int tracked = LastPosOf(*counter, SB_THUMBTRACK);
        const int pos = tracked < 0 ? 0 : tracked;
        Release(hwnd, POINT{width - kBar / 2, grab + offset});
        WinTestPumpUntilIdle();
        EXPECT_LE(std::fabs(pos * step - offset), step / 2 + 0.5) << "position " << pos;
        if (pos > 0) {
            EXPECT_EQ(LastPosOf(*counter, SB_THUMBPOSITION), pos);
        }
    }
}

}  // namespace
