// Waiting in tests: for a condition, with a bound, never for a fixed time. A busy machine only
// makes the wait longer; the bound turns a condition that never comes into a failure.
#pragma once

#include <chrono>
#include <thread>

namespace testwait {

// Asks `done` until it says yes (true) or `bound` has passed (false, after one last look).
// `between` runs between two looks: pumping messages, a round of a display loop; by default a
// short rest, so the waiter leaves the processor to what it waits for.
template <class Done, class Between>
bool Until(Done&& done, std::chrono::milliseconds bound, Between&& between) {
    const auto end = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return done();
        between();
    }
}

template <class Done>
bool Until(Done&& done, std::chrono::milliseconds bound) {
    return Until(done, bound, [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
}

}  // namespace testwait
