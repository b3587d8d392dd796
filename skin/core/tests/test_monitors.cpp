// Monitor and work-area rectangles of the nearest monitor, and fitting a rectangle into another,
// over a layout of two monitors: a primary one with a task bar along its bottom and a smaller
// one to its left with a task bar along its top.
#include <gtest/gtest.h>

#include "SkinMonitors.h"
#include "winplat_test.h"

namespace {

const RECT kPrimary{0, 0, 800, 600};
const RECT kPrimaryWork{0, 0, 800, 570};
const RECT kLeft{-640, 0, 0, 480};
const RECT kLeftWork{-640, 24, 0, 480};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

class MonitorRects : public ::testing::Test {
protected:
    void SetUp() override
    {
        const RECT monitors[2] = {kPrimary, kLeft};
        const RECT work[2] = {kPrimaryWork, kLeftWork};
        ASSERT_TRUE(WinTestSetMonitors(monitors, work, 2));
    }
    void TearDown() override
    {
        for (HWND h : windows)
            DestroyWindow(h);
        WinTestSetScreenSize(1024, 768);
    }
    HWND Window(int x, int y)
    {
        HWND h = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, x, y, 120, 80, nullptr, nullptr, nullptr,
                                 nullptr);
        windows.push_back(h);
        return h;
    }
    std::vector<HWND> windows;
};

TEST_F(MonitorRects, AWindowGetsTheMonitorItIsOnOrItsWorkArea)
{
    RECT r{};
    ASSERT_TRUE(GetMonitorRectOfWindow(Window(-500, 100), &r, FALSE));
    EXPECT_TRUE(Same(r, kLeft)) << Text(r);
    ASSERT_TRUE(GetMonitorRectOfWindow(windows.back(), &r, TRUE));
    EXPECT_TRUE(Same(r, kLeftWork)) << Text(r);
    ASSERT_TRUE(GetMonitorRectOfWindow(Window(300, 200), &r, TRUE));
    EXPECT_TRUE(Same(r, kPrimaryWork)) << Text(r);
    // Mostly on the primary monitor, a little on the left one.
    ASSERT_TRUE(GetMonitorRectOfWindow(Window(-20, 200), &r, FALSE));
    EXPECT_TRUE(Same(r, kPrimary)) << Text(r);
}

TEST_F(MonitorRects, APointOrARectangleGetsTheNearestMonitor)
{
    const struct {
        POINT p;
        RECT expected;
    } points[] = {
        {{-1, 10}, kLeftWork},      {{0, 10}, kPrimaryWork},
        {{-3000, 200}, kLeftWork},  {{5000, 5000}, kPrimaryWork},
        {{-320, -400}, kLeftWork},  {{400, 900}, kPrimaryWork},
    };
    for (const auto& c : points) {
        RECT r{};
        ASSERT_TRUE(GetMonitorRectOfPoint(c.p.x, c.p.y, &r, TRUE));
        EXPECT_TRUE(Same(r, c.expected)) << c.p.x << "," << c.p.y << " gave " << Text(r);
    }
    const struct {
        RECT rc;
        RECT expected;
    } rects[] = {
        {{-100, 100, 20, 200}, kLeft},       // more of it on the left monitor
        {{-20, 100, 100, 200}, kPrimary},    // more on the primary
        {{-900, 100, -700, 200}, kLeft},     // beside the left monitor
        {{900, 700, 950, 750}, kPrimary},    // beyond the primary's corner
    };
    for (const auto& c : rects) {
        RECT r{};
        ASSERT_TRUE(GetMonitorRectOfRect(&c.rc, &r, FALSE));
        EXPECT_TRUE(Same(r, c.expected)) << Text(c.rc) << " gave " << Text(r);
    }
}

TEST_F(MonitorRects, MissingArgumentsAnswerFalseAndLeaveTheOutputAlone)
{
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(GetMonitorRectOfRect(nullptr, &r, TRUE));
    EXPECT_TRUE(Same(r, RECT{1, 2, 3, 4}));
    EXPECT_FALSE(GetMonitorRectOfPoint(10, 10, nullptr, TRUE));
    EXPECT_FALSE(GetMonitorRectOfWindow(Window(10, 10), nullptr, FALSE));
    const RECT rc{0, 0, 10, 10};
    EXPECT_FALSE(GetMonitorRectOfRect(&rc, nullptr, FALSE));
}

TEST(FitRectIntoRect, MovesTheRectangleInsideAndKeepsItsSize)
{
    const RECT bounds{0, 0, 800, 570};
    const struct {
        RECT in, out;
    } cases[] = {
        {{10, 10, 110, 60}, {10, 10, 110, 60}},        // inside already
        {{750, 550, 850, 600}, {700, 520, 800, 570}},  // past the right and bottom edges
        {{-30, -5, 70, 45}, {0, 0, 100, 50}},          // past the left and top edges
        {{-10, 10, 990, 60}, {0, 10, 1000, 60}},       // wider than the bounds: on their left edge
        {{20, 500, 120, 1200}, {20, 0, 120, 700}},     // taller: on their top edge
        {{800, 570, 900, 670}, {700, 470, 800, 570}},  // just outside the corner
    };
    for (const auto& c : cases) {
        RECT r = c.in;
        FitRectIntoRect(&bounds, &r);
        EXPECT_TRUE(Same(r, c.out)) << Text(c.in) << " became " << Text(r);
    }
    RECT r{5, 5, 6, 6};
    FitRectIntoRect(nullptr, &r);
    EXPECT_TRUE(Same(r, RECT{5, 5, 6, 6}));
    FitRectIntoRect(&bounds, nullptr);
}

}  // namespace
