// Sizes, offsets and rectangles derived from skin values. A skin file may hold any 32-bit number
// where a coordinate, a margin or a cell size belongs, so whatever the engine derives from such
// values is computed in 64 bits and held to +-kSkinCoordLimit: far beyond any drawing surface,
// yet small enough that a sum of a few held values still fits in a LONG.
#pragma once

#include <windows.h>

#include <algorithm>

constexpr LONG kSkinCoordLimit = 1 << 26;
// Font heights and widths from skin records are held to this many pixels: far beyond any
// caption or control text, and the window system then never renders glyphs the size of a
// screen for a damaged record.
constexpr LONG kSkinMaxFontSize = 256;

constexpr LONG SkinClampCoord(long long v)
{
    return LONG(std::clamp<long long>(v, -kSkinCoordLimit, kSkinCoordLimit));
}
constexpr LONG SkinAdd(LONG a, LONG b) { return SkinClampCoord((long long)a + b); }
constexpr LONG SkinSub(LONG a, LONG b) { return SkinClampCoord((long long)a - b); }

// Negative for a reversed rectangle, as the plain difference would be.
constexpr LONG SkinWidth(const RECT& rc) { return SkinSub(rc.right, rc.left); }
constexpr LONG SkinHeight(const RECT& rc) { return SkinSub(rc.bottom, rc.top); }
inline SIZE SkinSize(const RECT& rc) { return SIZE{SkinWidth(rc), SkinHeight(rc)}; }
constexpr bool SkinRectHasArea(const RECT& rc) { return rc.right > rc.left && rc.bottom > rc.top; }

// Each corner held to half the limit, so that the held rectangle's width and height are exact.
constexpr LONG SkinClampCorner(LONG v)
{
    return LONG(std::clamp<long long>(v, -kSkinCoordLimit / 2, kSkinCoordLimit / 2));
}
constexpr RECT SkinClampRect(const RECT& rc)
{
    return RECT{SkinClampCorner(rc.left), SkinClampCorner(rc.top), SkinClampCorner(rc.right),
                SkinClampCorner(rc.bottom)};
}
constexpr RECT SkinOffsetRect(const RECT& rc, LONG dx, LONG dy)
{
    return RECT{SkinAdd(rc.left, dx), SkinAdd(rc.top, dy), SkinAdd(rc.right, dx), SkinAdd(rc.bottom, dy)};
}
// The common part of two rectangles; left == right or top == bottom when they do not meet.
constexpr RECT SkinIntersectRect(const RECT& a, const RECT& b)
{
    const LONG left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    return RECT{left, top, std::max(left, std::min(a.right, b.right)), std::max(top, std::min(a.bottom, b.bottom))};
}
