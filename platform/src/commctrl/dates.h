// Calendar arithmetic shared by the month calendar and the date-time picker: days of months,
// weekdays, moving by days and months, comparing and formatting dates.
#pragma once

#include <string>

#include "windows.h"

namespace plat::commctrl::dates {

bool IsLeap(int year);
int DaysInMonth(int year, int month);
// 0 Sunday .. 6 Saturday, as SYSTEMTIME counts them.
int DayOfWeek(int year, int month, int day);
// A valid date of the Gregorian calendar in the years the platform's dates cover (1601-30827).
bool IsValidDate(const SYSTEMTIME& st);
// Days since 1 January 1601, and back.
long DayNumber(int year, int month, int day);
SYSTEMTIME FromDayNumber(long n);
// The date n days or months on (a month's day is cut to the new month's length).
SYSTEMTIME AddDays(const SYSTEMTIME& st, long n);
SYSTEMTIME AddMonths(const SYSTEMTIME& st, int n);
// Orders dates by day only (the time of day is ignored): <0, 0, >0.
int CompareDays(const SYSTEMTIME& a, const SYSTEMTIME& b);
// The date's own weekday filled in; the time of day kept.
SYSTEMTIME WithWeekday(SYSTEMTIME st);
// ISO week number (weeks start on Monday; week 1 holds the year's first Thursday).
int IsoWeek(int year, int month, int day);
const char* MonthName(int month);    // "January"...
const char* DayName(int weekday);     // "Sunday"... (0 Sunday)
// A picture string: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, h hh H HH, m mm, s ss, t tt,
// and 'quoted' literal text; anything else stands as it is.
std::string Format(const SYSTEMTIME& st, const std::string& picture);

}  // namespace plat::commctrl::dates
