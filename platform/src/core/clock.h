// The layer's clock: tick counts, timers and message times all read it.
//
// Time is a 64-bit millisecond count that never wraps; GetTickCount truncates it to 32 bits,
// so code that compares tick counts by unsigned subtraction keeps working across the 32-bit
// wrap. When VELMORA_BACKEND=headless the clock is virtual: it stands still until a test
// advances it, so timer tests don't depend on the machine's speed. Otherwise, or after
// UseRealTime(true), it follows the monotonic clock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace plat::clock {

// Now, in milliseconds.
uint64_t NowMs();

// True while the clock is virtual (stands still between Advance calls).
bool IsVirtual();

// Switches between real and virtual time. Time stays continuous across the switch: it never
// jumps backwards and never leaps forward.
void UseRealTime(bool real);

// Moves the clock forward by `ms` (virtual or real mode alike: in real mode it adds an offset)
// and wakes every thread waiting in WaitUntil and every advance listener.
void Advance(uint64_t ms);

// Tests only: sets the virtual time (e.g. just before the 32-bit wrap). Ignored unless virtual;
// never moves time backwards.
void SetVirtualNow(uint64_t ms);

// Called (on the advancing thread, without any clock lock held) after every Advance, so a
// display loop or timer thread waiting elsewhere can look at its deadlines again.
// Returns an id for RemoveAdvanceListener.
int AddAdvanceListener(std::function<void()> fn);
void RemoveAdvanceListener(int id);

// Waits on `cv` (with `lock` held, as for cv.wait) until it is notified or the clock reaches
// `deadline_ms`. Advance notifies the waiting cv itself. Returns true when the deadline has
// been reached, false on a notification (or a spurious wake-up: callers loop, like with any
// condition variable). UINT64_MAX waits without a deadline.
bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_ms);

// As above, looping until `pred()` holds or the deadline is reached; returns pred().
template <class Pred>
bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_ms,
               Pred pred) {
    while (!pred()) {
        if (WaitUntil(cv, lock, deadline_ms)) return pred();
    }
    return true;
}

constexpr uint64_t kForever = UINT64_MAX;

}  // namespace plat::clock
