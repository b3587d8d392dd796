// The layer's clock: virtual time under the headless backend, continuity across modes, and
// waiters woken by Advance.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/clock.h"

namespace clk = plat::clock;

namespace {

struct VirtualClock : ::testing::Test {
    void SetUp() override { clk::UseRealTime(false); }
    void TearDown() override { clk::UseRealTime(false); }
};

}  // namespace

TEST_F(VirtualClock, StandsStillUntilAdvancedAndThenMovesByExactlyTheAmount) {
    ASSERT_TRUE(clk::IsVirtual());
    uint64_t t0 = clk::NowMs();
    EXPECT_NE(t0, 0u) << "a zero tick count reads as 'never' to many programs";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(clk::NowMs(), t0);
    clk::Advance(250);
    EXPECT_EQ(clk::NowMs(), t0 + 250);
    clk::Advance(0);
    EXPECT_EQ(clk::NowMs(), t0 + 250);
}

TEST_F(VirtualClock, KeepsCountingPastThe32BitWrapSoTruncatedDifferencesStayRight) {
    clk::SetVirtualNow(0xFFFFFFF0ull);
    uint64_t before = clk::NowMs();
    ASSERT_EQ(before, 0xFFFFFFF0ull);
    clk::Advance(0x30);
    uint64_t after = clk::NowMs();
    EXPECT_EQ(after, 0x100000020ull);
    uint32_t tick_before = uint32_t(before), tick_after = uint32_t(after);
    EXPECT_LT(tick_after, tick_before);
    EXPECT_EQ(uint32_t(tick_after - tick_before), 0x30u);
    // Setting never moves time backwards.
    clk::SetVirtualNow(5);
    EXPECT_EQ(clk::NowMs(), after);
}

TEST_F(VirtualClock, SwitchingModesKeepsTimeContinuousAndMonotonic) {
    clk::Advance(1000);
    uint64_t v = clk::NowMs();
    clk::UseRealTime(true);
    EXPECT_FALSE(clk::IsVirtual());
    uint64_t r = clk::NowMs();
    EXPECT_GE(r, v);
    EXPECT_LT(r, v + 1000) << "switching to real time must not leap forward";
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    uint64_t r2 = clk::NowMs();
    EXPECT_GE(r2, r + 10) << "real time moves by itself";
    clk::Advance(500);
    EXPECT_GE(clk::NowMs(), r2 + 500) << "Advance also works in real mode";
    uint64_t before_back = clk::NowMs();
    clk::UseRealTime(false);
    uint64_t back = clk::NowMs();
    EXPECT_GE(back, before_back);
    EXPECT_EQ(clk::NowMs(), back);
}

TEST_F(VirtualClock, WaiterOnAVirtualDeadlineWakesOnlyWhenAdvancedPastIt) {
    std::mutex mu;
    std::condition_variable cv;
    std::atomic<bool> done{false};
    uint64_t deadline = clk::NowMs() + 100;
    std::thread waiter([&] {
        std::unique_lock<std::mutex> lock(mu);
        clk::WaitUntil(cv, lock, deadline, [] { return false; });
        done = true;
    });
    clk::Advance(50);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(done) << "woke before its deadline";
    clk::Advance(50);
    waiter.join();
    EXPECT_TRUE(done);
    EXPECT_GE(clk::NowMs(), deadline);
}

TEST_F(VirtualClock, WaiterReturnsOnItsPredicateBeforeTheDeadline) {
    std::mutex mu;
    std::condition_variable cv;
    bool posted = false;
    bool result = false;
    std::thread waiter([&] {
        std::unique_lock<std::mutex> lock(mu);
        result = clk::WaitUntil(cv, lock, clk::kForever, [&] { return posted; });
    });
    {
        std::lock_guard<std::mutex> g(mu);
        posted = true;
    }
    cv.notify_all();
    waiter.join();
    EXPECT_TRUE(result);
}

TEST_F(VirtualClock, PastDeadlineReturnsAtOnceAndListenersHearEveryAdvance) {
    std::mutex mu;
    std::condition_variable cv;
    std::unique_lock<std::mutex> lock(mu);
    EXPECT_TRUE(clk::WaitUntil(cv, lock, clk::NowMs()));

    int heard = 0;
    int id = clk::AddAdvanceListener([&] { ++heard; });
    clk::Advance(1);
    clk::Advance(2);
    clk::RemoveAdvanceListener(id);
    clk::Advance(3);
    EXPECT_EQ(heard, 2);
}

TEST(RealClock, WaitUntilHonoursARealDeadline) {
    clk::UseRealTime(true);
    std::mutex mu;
    std::condition_variable cv;
    std::unique_lock<std::mutex> lock(mu);
    uint64_t deadline = clk::NowMs() + 30;
    EXPECT_FALSE(clk::WaitUntil(cv, lock, deadline, [] { return false; }));
    EXPECT_GE(clk::NowMs(), deadline);
    clk::UseRealTime(false);
}
