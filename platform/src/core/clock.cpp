#include "core/clock.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace plat::clock {
namespace {

// Where virtual time starts: not zero, since programs often treat a zero tick count as
// "never happened".
constexpr uint64_t kVirtualStart = 0x10000;

// A virtual-time waiter re-checks at least this often (real time): it covers the narrow window
// in which an Advance lands between the waiter's deadline check and its wait.
constexpr auto kRecheck = std::chrono::milliseconds(10);

uint64_t SteadyMs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

struct State {
    std::mutex mu;
    bool is_virtual;
    uint64_t virtual_now = kVirtualStart;
    // Real time is SteadyMs() + real_offset (the offset keeps time continuous across switches
    // and carries Advance in real mode).
    int64_t real_offset = 0;

    std::mutex waiters_mu;
    std::multiset<std::condition_variable*> waiters;
    std::map<int, std::function<void()>> listeners;
    int next_listener = 1;

    State() {
        const char* b = std::getenv("VELMORA_BACKEND");
        is_virtual = b && std::strcmp(b, "headless") == 0;
    }

    uint64_t NowLocked() const {
        if (is_virtual) return virtual_now;
        return uint64_t(int64_t(SteadyMs()) + real_offset);
    }
};

State& S() {
    static State* s = new State;  // never destroyed: threads may read the clock at exit
    return *s;
}

void WakeAll() {
    State& s = S();
    std::vector<std::function<void()>> fns;
    {
        std::lock_guard<std::mutex> g(s.waiters_mu);
        for (auto* cv : s.waiters) cv->notify_all();
        for (auto& [id, fn] : s.listeners) fns.push_back(fn);
    }
    for (auto& fn : fns) fn();
}

// Keeps a cv registered for Advance notifications while its owner waits.
struct Registration {
    std::condition_variable* cv;
    explicit Registration(std::condition_variable* c) : cv(c) {
        std::lock_guard<std::mutex> g(S().waiters_mu);
        S().waiters.insert(cv);
    }
    ~Registration() {
        std::lock_guard<std::mutex> g(S().waiters_mu);
        S().waiters.erase(S().waiters.find(cv));
    }
};

}  // namespace

uint64_t NowMs() {
    State& s = S();
    std::lock_guard<std::mutex> g(s.mu);
    return s.NowLocked();
}

bool IsVirtual() {
    State& s = S();
    std::lock_guard<std::mutex> g(s.mu);
    return s.is_virtual;
}

void UseRealTime(bool real) {
    State& s = S();
    {
        std::lock_guard<std::mutex> g(s.mu);
        if (s.is_virtual == !real) return;
        uint64_t now = s.NowLocked();
        if (real) {
            s.real_offset = int64_t(now) - int64_t(SteadyMs());
        } else {
            s.virtual_now = now;
        }
        s.is_virtual = !real;
    }
    WakeAll();
}

void Advance(uint64_t ms) {
    State& s = S();
    {
        std::lock_guard<std::mutex> g(s.mu);
        if (s.is_virtual)
            s.virtual_now += ms;
        else
            s.real_offset += int64_t(ms);
    }
    WakeAll();
}

void SetVirtualNow(uint64_t ms) {
    State& s = S();
    {
        std::lock_guard<std::mutex> g(s.mu);
        if (!s.is_virtual || ms <= s.virtual_now) return;
        s.virtual_now = ms;
    }
    WakeAll();
}

int AddAdvanceListener(std::function<void()> fn) {
    State& s = S();
    std::lock_guard<std::mutex> g(s.waiters_mu);
    int id = s.next_listener++;
    s.listeners[id] = std::move(fn);
    return id;
}

void RemoveAdvanceListener(int id) {
    State& s = S();
    std::lock_guard<std::mutex> g(s.waiters_mu);
    s.listeners.erase(id);
}

bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_ms) {
    if (NowMs() >= deadline_ms) return true;
    Registration reg(&cv);
    if (deadline_ms == kForever) {
        cv.wait(lock);
        return false;
    }
    if (IsVirtual()) {
        cv.wait_for(lock, kRecheck);
    } else {
        uint64_t now = NowMs();
        if (now < deadline_ms) cv.wait_for(lock, std::chrono::milliseconds(deadline_ms - now));
    }
    return NowMs() >= deadline_ms;
}

}  // namespace plat::clock
