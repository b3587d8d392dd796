// Time: tick counts and the date, both read from the layer's clock, so that a test moving the
// hand-driven clock moves the date with it.
#include <sys/time.h>

#include <climits>
#include <cstdint>
#include <ctime>
#include <mutex>

#include "core/clock.h"
#include "kernel/calendar.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

// The date is an anchor (milliseconds since 1970, UTC) at a reading of the layer's clock: the
// time of day when first asked, or what a test set.
struct WallClock {
    std::mutex mu;
    bool anchored = false;
    int64_t epoch_ms = 0;
    uint64_t at_clock = 0;
    bool fixed_offset = false;  // local time is UTC plus `offset_min`, not the machine's zone
    int offset_min = 0;
};

WallClock& Wall() {
    static auto* w = new WallClock;
    return *w;
}

int64_t NowEpochMs(bool* fixed, int* offset) {
    WallClock& w = Wall();
    std::lock_guard<std::mutex> g(w.mu);
    uint64_t now = plat::clock::NowMs();
    if (!w.anchored) {
        timeval tv{};
        gettimeofday(&tv, nullptr);
        w.epoch_ms = int64_t(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
        w.at_clock = now;
        w.anchored = true;
    }
    *fixed = w.fixed_offset;
    *offset = w.offset_min;
    return w.epoch_ms + int64_t(now - w.at_clock);
}

void Fill(LPSYSTEMTIME st, bool local) {
    if (!st) return;
    bool fixed;
    int offset;
    int64_t ms = NowEpochMs(&fixed, &offset);
    int64_t msec = ((ms % 1000) + 1000) % 1000;
    time_t secs = time_t((ms - msec) / 1000);
    tm t{};
    if (local && !fixed) {
        localtime_r(&secs, &t);
    } else {
        if (local) secs += time_t(offset) * 60;
        gmtime_r(&secs, &t);
    }
    st->wYear = WORD(t.tm_year + 1900);
    st->wMonth = WORD(t.tm_mon + 1);
    st->wDayOfWeek = WORD(t.tm_wday);
    st->wDay = WORD(t.tm_mday);
    st->wHour = WORD(t.tm_hour);
    st->wMinute = WORD(t.tm_min);
    st->wSecond = WORD(t.tm_sec);
    st->wMilliseconds = WORD(msec);
}

}  // namespace

extern "C" {

DWORD WINAPI GetTickCount(void) { return DWORD(plat::clock::NowMs()); }
void WINAPI GetSystemTime(LPSYSTEMTIME st) { Fill(st, false); }
void WINAPI GetLocalTime(LPSYSTEMTIME st) { Fill(st, true); }

}  // extern "C"

BOOL WinTestSetDateTime(const SYSTEMTIME* utc, int local_offset_minutes) {
    if (!utc) return FALSE;
    const SYSTEMTIME& t = *utc;
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > plat::kernel::DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
        t.wMilliseconds > 999)
        return FALSE;
    if (local_offset_minutes < -24 * 60 || local_offset_minutes > 24 * 60) return FALSE;
    int64_t days = plat::kernel::CivilDays(t.wYear, t.wMonth, t.wDay) - plat::kernel::CivilDays(1970, 1, 1);
    int64_t secs = days * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
    WallClock& w = Wall();
    std::lock_guard<std::mutex> g(w.mu);
    w.epoch_ms = secs * 1000 + t.wMilliseconds;
    w.at_clock = plat::clock::NowMs();
    w.anchored = true;
    w.fixed_offset = true;
    w.offset_min = local_offset_minutes;
    return TRUE;
}
