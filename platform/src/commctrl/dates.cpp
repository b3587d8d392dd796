// Calendar arithmetic over the proleptic Gregorian calendar.
#include "commctrl/dates.h"

#include <algorithm>
#include <cstdio>

#include "kernel/calendar.h"

namespace plat::commctrl::dates {

namespace {
constexpr int kMinYear = 1601, kMaxYear = 30827;
const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

long Civil(long y, long m, long d) { return long(kernel::CivilDays(y, m, d)); }
const long kEpoch = Civil(1601, 1, 1);
}  // namespace

bool IsLeap(int year) { return kernel::IsLeapYear(year); }

int DaysInMonth(int year, int month) { return kernel::DaysInMonth(year, month); }

long DayNumber(int year, int month, int day) { return Civil(year, month, day) - kEpoch; }

int DayOfWeek(int year, int month, int day) {
    long n = DayNumber(year, month, day);  // 1 January 1601 was a Monday
    return int(((n % 7) + 7 + 1) % 7);
}

bool IsValidDate(const SYSTEMTIME& st) {
    return st.wYear >= kMinYear && st.wYear <= kMaxYear && st.wMonth >= 1 && st.wMonth <= 12 && st.wDay >= 1 &&
           st.wDay <= DaysInMonth(st.wYear, st.wMonth);
}

SYSTEMTIME FromDayNumber(long n) {
    long z = n + kEpoch;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    long d = doy - (153 * mp + 2) / 5 + 1;
    long m = mp + (mp < 10 ? 3 : -9);
    SYSTEMTIME st{};
    st.wYear = WORD(std::clamp<long>(y + (m <= 2), kMinYear, kMaxYear));
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    st.wDayOfWeek = WORD(DayOfWeek(st.wYear, st.wMonth, st.wDay));
    return st;
}

SYSTEMTIME AddDays(const SYSTEMTIME& st, long n) {
    long day = DayNumber(st.wYear, st.wMonth, st.wDay) + n;
    day = std::clamp(day, 0L, DayNumber(kMaxYear, 12, 31));
    SYSTEMTIME out = FromDayNumber(day);
    out.wHour = st.wHour;
    out.wMinute = st.wMinute;
    out.wSecond = st.wSecond;
    out.wMilliseconds = st.wMilliseconds;
    return out;
}

SYSTEMTIME AddMonths(const SYSTEMTIME& st, int n) {
    long months = long(st.wYear) * 12 + (st.wMonth - 1) + n;
    months = std::clamp(months, long(kMinYear) * 12, long(kMaxYear) * 12 + 11);
    SYSTEMTIME out = st;
    out.wYear = WORD(months / 12);
    out.wMonth = WORD(months % 12 + 1);
    out.wDay = WORD(std::min<int>(st.wDay, DaysInMonth(out.wYear, out.wMonth)));
    out.wDayOfWeek = WORD(DayOfWeek(out.wYear, out.wMonth, out.wDay));
    return out;
}

int CompareDays(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    long x = DayNumber(a.wYear, a.wMonth, a.wDay), y = DayNumber(b.wYear, b.wMonth, b.wDay);
    return x < y ? -1 : x > y ? 1 : 0;
}

SYSTEMTIME WithWeekday(SYSTEMTIME st) {
    st.wDayOfWeek = WORD(DayOfWeek(st.wYear, st.wMonth, st.wDay));
    return st;
}

int IsoWeek(int year, int month, int day) {
    long n = DayNumber(year, month, day);
    int wd = (DayOfWeek(year, month, day) + 6) % 7;  // 0 Monday
    long thursday = n - wd + 3;
    SYSTEMTIME t = FromDayNumber(thursday);
    long jan1 = DayNumber(t.wYear, 1, 1);
    return int((thursday - jan1) / 7 + 1);
}

const char* MonthName(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }
const char* DayName(int weekday) { return weekday >= 0 && weekday <= 6 ? kDays[weekday] : ""; }

namespace {

std::string Number(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, v);
    return buf;
}

std::string Field(const SYSTEMTIME& st, char c, int n) {
    int hour12 = st.wHour % 12 == 0 ? 12 : st.wHour % 12;
    switch (c) {
        case 'd':
            if (n >= 4) return DayName(st.wDayOfWeek);
            if (n == 3) return std::string(DayName(st.wDayOfWeek)).substr(0, 3);
            return Number(st.wDay, n);
        case 'M':
            if (n >= 4) return MonthName(st.wMonth);
            if (n == 3) return std::string(MonthName(st.wMonth)).substr(0, 3);
            return Number(st.wMonth, n);
        case 'y':
            if (n >= 3) return Number(st.wYear, 4);
            if (n == 2) return Number(st.wYear % 100, 2);
            return Number(st.wYear % 10, 1);
        case 'h': return Number(hour12, std::min(n, 2));
        case 'H': return Number(st.wHour, std::min(n, 2));
        case 'm': return Number(st.wMinute, std::min(n, 2));
        case 's': return Number(st.wSecond, std::min(n, 2));
        case 't': return n == 1 ? (st.wHour < 12 ? "A" : "P") : (st.wHour < 12 ? "AM" : "PM");
    }
    return std::string(size_t(n), c);
}

}  // namespace

std::string Format(const SYSTEMTIME& st, const std::string& picture) {
    std::string out;
    SYSTEMTIME t = st;
    if (IsValidDate(t)) t.wDayOfWeek = WORD(DayOfWeek(t.wYear, t.wMonth, t.wDay));
    for (size_t i = 0; i < picture.size();) {
        char c = picture[i];
        if (c == '\'') {
            size_t end = picture.find('\'', i + 1);
            out += picture.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? picture.size() : end + 1;
            continue;
        }
        size_t j = i;
        while (j < picture.size() && picture[j] == c) ++j;
        int n = int(j - i);
        if (std::string("dMyhHmst").find(c) != std::string::npos) out += Field(t, c, n);
        else out.append(size_t(n), c);
        i = j;
    }
    return out;
}

}  // namespace plat::commctrl::dates
