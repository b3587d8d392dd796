// Where the tooltip goes: the rectangle of each mode, and the first mode that fits the work
// area of the monitor nearest the anchor, near every edge of a work area with a task bar and
// on a second monitor left of the first.
#include "SkinTestKit.h"
#include "tooltip_test_support.h"

namespace {

using tooltiptest::Text;
using tooltiptest::TooltipWindow;

bool Inside(const RECT& outer, const RECT& r)
{
    const POINT a{r.left, r.top}, b{r.right, r.bottom};
    return PtInRect(&outer, a) && PtInRect(&outer, b);
}

struct PlacementCase {
    int mode;
    LONG left, top;  // for a 40 x 20 tip at (100, 100)
};

class TooltipPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(TooltipPlacement, EachModePlacesTheRectangleAsItsRowSays)
{
    const PlacementCase c = GetParam();
    const RECT rc = CSkinTooltip::PlaceTooltipRect(POINT{100, 100}, SIZE{40, 20}, c.mode);
    EXPECT_EQ(c.left, rc.left);
    EXPECT_EQ(c.top, rc.top);
    EXPECT_EQ(40, rc.right - rc.left);
    EXPECT_EQ(20, rc.bottom - rc.top);
}

INSTANTIATE_TEST_SUITE_P(Modes, TooltipPlacement,
                         ::testing::Values(PlacementCase{0, 102, 122}, PlacementCase{1, 80, 122},
                                           PlacementCase{2, 58, 122}, PlacementCase{3, 102, 90},
                                           PlacementCase{4, 58, 90}, PlacementCase{5, 102, 78},
                                           PlacementCase{6, 80, 78}, PlacementCase{7, 58, 78},
                                           PlacementCase{99, 102, 122}, PlacementCase{-1, 102, 122}));

TEST_F(TooltipWindow, OnOneDisplayTheFirstModeThatFitsIsTaken)
{
    const SIZE size{100, 30};
    struct Case {
        POINT at;
        int expectedMode;
    } cases[] = {
        {{10, 10}, 0},     // top left: room below and right
        {{790, 10}, 2},    // right edge: to the left, below
        {{10, 590}, 5},    // bottom edge: above, to the right
        {{790, 590}, 7},   // bottom right: above and to the left
        {{400, 300}, 0},
    };
    for (const Case& c : cases) {
        tip->ShowAt("x", &c.at);  // sets the anchor
        const RECT rc = tip->CalcPlacement(size);
        const RECT want = CSkinTooltip::PlaceTooltipRect(c.at, size, c.expectedMode);
        EXPECT_TRUE(EqualRect(&rc, &want)) << c.at.x << "," << c.at.y << " got " << rc.left << "," << rc.top;
    }
    // A right edge exactly on the work area's right edge does not fit (it is outside).
    const POINT edge{800 - 2 - 100, 100};
    tip->ShowAt("x", &edge);
    RECT rc = tip->CalcPlacement(size);
    EXPECT_EQ(800, CSkinTooltip::PlaceTooltipRect(edge, size, 0).right);
    EXPECT_EQ(CSkinTooltip::PlaceTooltipRect(edge, size, 1).left, rc.left);
    // Larger than the work area: mode 7 anyway.
    tip->ShowAt("x", &edge);
    rc = tip->CalcPlacement(SIZE{2000, 2000});
    EXPECT_EQ(edge.x - 2, rc.right);
    EXPECT_EQ(edge.y - 2, rc.bottom);
}


// A tip whose own mode is set, for the cases where that mode must be refused.
class TooltipWithMode : public TooltipWindow {
protected:
    void UseMode(int mode)
    {
        object.m_nPlacement = DWORD(mode);
        tip->SetSkinObject(&object);
    }
    // The size of the window for the text, from a show where everything fits.
    SIZE SizeOf(const char* text)
    {
        const RECT rc = ShowAt(text, POINT{300, 200});
        tip->Hide();
        return SIZE{rc.right - rc.left, rc.bottom - rc.top};
    }
    CSkinTooltipObject object;
};

struct TaskBarCase {
    const char* side;
    RECT work;                          // of the one 800 x 600 display
    int mode;                           // the object's own mode, refused by the task bar alone
    POINT (*anchor)(const RECT& work, SIZE tip);
    int expectedMode;
};

const TaskBarCase kTaskBarCases[] = {
    // Below the point would reach into a task bar along the bottom: beside it, centred.
    {"bottom", {0, 0, 800, 560}, 0, [](const RECT& w, SIZE s) { return POINT{400, w.bottom - 12 - s.cy}; }, 3},
    // Above the point would reach into a task bar along the top: below it.
    {"top", {0, 40, 800, 600}, 5, [](const RECT& w, SIZE s) { return POINT{400, w.top + s.cy - 5}; }, 0},
    // Left of the point would reach into a task bar along the left: to its right.
    {"left", {40, 0, 800, 600}, 4, [](const RECT& w, SIZE s) { return POINT{w.left + s.cx - 10, 300}; }, 0},
    // Right of the point would reach into a task bar along the right: centred below it.
    {"right", {0, 0, 760, 600}, 0, [](const RECT& w, SIZE s) { return POINT{w.right - s.cx, 300}; }, 1},
};

TEST_F(TooltipWithMode, NearEachEdgeOfAWorkAreaWithATaskBarTheTipStaysOffTheBar)
{
    const RECT monitor{0, 0, 800, 600};
    const SIZE size = SizeOf("Add Media file");
    ASSERT_GT(size.cx, 40);
    for (const TaskBarCase& c : kTaskBarCases) {
        SCOPED_TRACE(c.side);
        ASSERT_TRUE(WinTestSetMonitors(&monitor, &c.work, 1));
        UseMode(c.mode);
        const POINT at = c.anchor(c.work, size);
        // The object's own mode would fit the display; only the task bar refuses it.
        const RECT own = CSkinTooltip::PlaceTooltipRect(at, size, c.mode);
        ASSERT_TRUE(Inside(monitor, own)) << Text(own);
        ASSERT_FALSE(Inside(c.work, own)) << Text(own);
        const RECT rc = ShowAt("Add Media file", at);
        const RECT want = CSkinTooltip::PlaceTooltipRect(at, size, c.expectedMode);
        EXPECT_TRUE(EqualRect(&rc, &want)) << Text(rc) << " instead of " << Text(want);
        EXPECT_TRUE(Inside(c.work, rc)) << Text(rc);
        EXPECT_TRUE(Shown());
    }
}

// A primary display with a task bar along its bottom and a larger one to its left with a task
// bar of its own along its bottom.
class TooltipOnTwoMonitors : public TooltipWithMode {
protected:
    void SetUp() override
    {
        TooltipWithMode::SetUp();
        const RECT monitors[2] = {kPrimary, kLeft};
        const RECT work[2] = {kPrimaryWork, kLeftWork};
        ASSERT_TRUE(WinTestSetMonitors(monitors, work, 2));
        size = SizeOf("Set output folder");
    }
    RECT Expect(POINT at, int mode) const { return CSkinTooltip::PlaceTooltipRect(at, size, mode); }
    static constexpr RECT kPrimary{0, 0, 800, 600};
    static constexpr RECT kPrimaryWork{0, 0, 800, 570};
    static constexpr RECT kLeft{-1024, 0, 0, 768};
    static constexpr RECT kLeftWork{-1024, 0, 0, 738};
    SIZE size{};
};

TEST_F(TooltipOnTwoMonitors, ThePointsMonitorsWorkAreaDecidesNotThePrimaryOrTheWholeScreen)
{
    struct Case {
        POINT at;
        int mode, expectedMode;
        const char* why;
    } cases[] = {
        {{-300, 650}, 0, 0, "below the primary's bottom, inside the left one's work area"},
        {{-10, 300}, 0, 2, "at the left display's right edge: kept off the primary"},
        {{10, 300}, 4, 0, "at the primary's left edge: kept off the left display"},
        {{-500, 760}, 0, 7, "in the left display's task bar: nothing fits, the last mode is taken"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        UseMode(c.mode);
        const RECT rc = ShowAt("Set output folder", c.at);
        const RECT want = Expect(c.at, c.expectedMode);
        EXPECT_TRUE(EqualRect(&rc, &want)) << Text(rc) << " instead of " << Text(want);
    }
}

TEST_F(TooltipOnTwoMonitors, ADelayedTipFollowsTheCursorOntoTheLeftMonitorAndIsDrawnThere)
{
    UseMode(0);
    ASSERT_TRUE(WinTestMouseMove(nullptr, -300, 650));
    WinTestPumpUntilIdle();
    tip->ShowDelayed("Set output folder", nullptr);
    Advance(999);
    EXPECT_FALSE(Shown());
    Advance(1);
    ASSERT_TRUE(Shown());
    const RECT rc = WindowRect();
    const RECT want = Expect(POINT{-300, 650}, 0);
    ASSERT_TRUE(EqualRect(&rc, &want)) << Text(rc);
    // On the screen at negative coordinates: the object's frame colour all round and its
    // background inside.
    object.m_crActiveFill = RGB(160, 20, 40);
    object.m_crBackground = RGB(250, 240, 200);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    WinTestPumpUntilIdle();
    const skinkit::CPicture screen = skinkit::CPicture::OfScreen();
    ASSERT_EQ(-1024, screen.Origin().x);
    const RECT top{rc.left, rc.top, rc.right, rc.top + 1}, bottom{rc.left, rc.bottom - 1, rc.right, rc.bottom};
    const RECT left{rc.left, rc.top, rc.left + 1, rc.bottom}, right{rc.right - 1, rc.top, rc.right, rc.bottom};
    for (const RECT& edge : {top, bottom, left, right})
        EXPECT_TRUE(screen.IsUniform(edge, RGB(160, 20, 40))) << Text(edge);
    EXPECT_EQ(RGB(250, 240, 200), screen.At(rc.left + 1, rc.top + 1));
    EXPECT_EQ(RGB(250, 240, 200), screen.At(rc.right - 2, rc.bottom - 2));
    EXPECT_GT(screen.Count(RECT{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1}, RGB(0, 0, 0)), 20);
}

}  // namespace
