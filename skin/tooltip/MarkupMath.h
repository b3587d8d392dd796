// Integer scaling for the markup layout: a * b / c in 64 bits, rounded half away from zero,
// -1 for a zero divisor or a result outside 32 bits (the window system's MulDiv rule).
#pragma once

#include <climits>
#include <cstdint>

inline int MarkupMulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const int64_t num = int64_t(a) * int64_t(b);
    const int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const uint64_t n = uint64_t(num < 0 ? -num : num), d = uint64_t(den < 0 ? -den : den);
    const uint64_t q = (n + d / 2) / d;
    if (q > uint64_t(INT_MAX)) return -1;
    return negative ? -int(q) : int(q);
}
