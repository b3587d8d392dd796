// A region as a sorted list of y-bands, each a sorted list of disjoint x-spans: the shape of
// update regions, window regions, clip regions and HRGN objects.
#pragma once

#include <vector>

#include "windef.h"

namespace plat {

class Region {
public:
    Region() = default;
    explicit Region(const RECT& r);

    bool Empty() const { return rects_.empty(); }
    RECT Bounds() const;
    // The region as non-overlapping rectangles, top-down then left-right, banded: rectangles
    // of one band share top and bottom, and no two bands overlap.
    const std::vector<RECT>& Rects() const { return rects_; }
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    bool Equals(const Region& other) const { return rects_ == other.rects_; }

    void SetEmpty() { rects_.clear(); }
    void SetRect(const RECT& r);
    void Offset(int dx, int dy);
    void Union(const Region& other);
    void Intersect(const Region& other);
    void Subtract(const Region& other);
    void Xor(const Region& other);
    void Union(const RECT& r) { Union(Region(r)); }
    void Intersect(const RECT& r) { Intersect(Region(r)); }
    void Subtract(const RECT& r) { Subtract(Region(r)); }

    // Builds a region from arbitrary (possibly overlapping) rectangles.
    static Region FromRects(const std::vector<RECT>& rects);
    // Builds a region from one-pixel-high rows given top-down, each row's spans left to right
    // (spans may touch or overlap): the fast path of shapes computed scan line by scan line.
    static Region FromRows(const std::vector<RECT>& rows);

private:
    std::vector<RECT> rects_;
};

}  // namespace plat

// In the global namespace, RECT's own, so that argument-dependent lookup finds them from
// std algorithms (vector comparison) as well as from plat code.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }
