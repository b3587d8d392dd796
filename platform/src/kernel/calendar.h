// Calendar arithmetic over the proleptic Gregorian calendar, for the date functions and the
// date controls alike.
#pragma once

#include <cstdint>

namespace plat::kernel {

inline bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// 28 to 31; 0 for a month outside 1..12.
inline int DaysInMonth(int64_t year, int month) {
    static const int kLen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kLen[month - 1];
}

// Days from 1 March of year 0 to the date (the year shifted so that February ends it).
inline int64_t CivilDays(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

}  // namespace plat::kernel
