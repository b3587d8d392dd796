#include <gtest/gtest.h>

#include <random>

#include "gdi/region.h"

namespace {

using plat::Region;

constexpr int kGrid = 24;

// A per-pixel model of a region on a small grid.
struct Bitset {
    bool px[kGrid][kGrid] = {};
    void Fill(const RECT& r) {
        for (int y = std::max<int>(0, r.top); y < std::min<int>(kGrid, r.bottom); ++y)
            for (int x = std::max<int>(0, r.left); x < std::min<int>(kGrid, r.right); ++x) px[y][x] = true;
    }
};

Bitset ModelOf(const Region& rg) {
    Bitset b;
    for (const RECT& r : rg.Rects()) b.Fill(r);
    return b;
}

// The canonical form: bands sorted and disjoint, spans separated, identical touching bands merged.
void ExpectCanonical(const Region& rg) {
    const auto& rs = rg.Rects();
    for (size_t i = 0; i < rs.size(); ++i) {
        ASSERT_LT(rs[i].left, rs[i].right);
        ASSERT_LT(rs[i].top, rs[i].bottom);
        if (i == 0) continue;
        const RECT& p = rs[i - 1];
        if (p.top == rs[i].top) {
            ASSERT_EQ(p.bottom, rs[i].bottom);
            ASSERT_LT(p.right, rs[i].left) << "spans of a band must not touch";
        } else {
            ASSERT_LE(p.bottom, rs[i].top) << "bands must not overlap";
        }
    }
    // No two touching bands with identical spans.
    size_t i = 0;
    std::vector<std::vector<std::pair<LONG, LONG>>> bands;
    std::vector<std::pair<LONG, LONG>> ys;
    while (i < rs.size()) {
        std::vector<std::pair<LONG, LONG>> spans;
        size_t j = i;
        for (; j < rs.size() && rs[j].top == rs[i].top; ++j) spans.push_back({rs[j].left, rs[j].right});
        bands.push_back(spans);
        ys.push_back({rs[i].top, rs[i].bottom});
        i = j;
    }
    for (size_t k = 1; k < bands.size(); ++k)
        if (ys[k - 1].second == ys[k].first) {
            ASSERT_NE(bands[k - 1], bands[k]) << "unmerged bands";
        }
}

RECT RandomRect(std::mt19937& rng) {
    std::uniform_int_distribution<int> d(0, kGrid);
    int a = d(rng), b = d(rng), c = d(rng), e = d(rng);
    return RECT{std::min(a, b), std::min(c, e), std::max(a, b), std::max(c, e)};
}

Region RandomRegion(std::mt19937& rng) {
    std::uniform_int_distribution<int> n(0, 5);
    std::vector<RECT> rects;
    for (int i = n(rng); i > 0; --i) rects.push_back(RandomRect(rng));
    return Region::FromRects(rects);
}

TEST(RegionCombine, EveryModeMatchesPerPixelModelOnRandomRegions) {
    std::mt19937 rng(12345);
    for (int iter = 0; iter < 1500; ++iter) {
        Region a = RandomRegion(rng), b = RandomRegion(rng);
        Bitset ma = ModelOf(a), mb = ModelOf(b);
        for (int mode = 0; mode < 4; ++mode) {
            Region r = a;
            switch (mode) {
                case 0: r.Union(b); break;
                case 1: r.Intersect(b); break;
                case 2: r.Subtract(b); break;
                case 3: r.Xor(b); break;
            }
            ExpectCanonical(r);
            Bitset mr = ModelOf(r);
            for (int y = 0; y < kGrid; ++y)
                for (int x = 0; x < kGrid; ++x) {
                    bool want = mode == 0   ? ma.px[y][x] || mb.px[y][x]
                                : mode == 1 ? ma.px[y][x] && mb.px[y][x]
                                : mode == 2 ? ma.px[y][x] && !mb.px[y][x]
                                            : ma.px[y][x] != mb.px[y][x];
                    ASSERT_EQ(mr.px[y][x], want) << "mode " << mode << " at " << x << "," << y;
                    ASSERT_EQ(r.Contains(x, y), want);
                }
        }
    }
}

TEST(RegionCombine, EqualPointSetsHaveEqualRectLists) {
    // The same L shape built three different ways.
    Region a = Region::FromRects({{0, 0, 10, 5}, {0, 5, 5, 10}});
    Region b = Region::FromRects({{0, 0, 5, 10}, {5, 0, 10, 5}});
    Region c(RECT{0, 0, 10, 10});
    c.Subtract(RECT{5, 5, 10, 10});
    EXPECT_TRUE(a.Equals(b));
    EXPECT_TRUE(a.Equals(c));
    // Two halves that touch become one rectangle.
    Region d(RECT{0, 0, 10, 5});
    d.Union(RECT{0, 5, 10, 10});
    ASSERT_EQ(d.Rects().size(), 1u);
    EXPECT_EQ(d.Rects()[0], (RECT{0, 0, 10, 10}));
    Region e(RECT{0, 0, 5, 10});
    e.Union(RECT{5, 0, 10, 10});
    EXPECT_TRUE(d.Equals(e));
}

TEST(RegionCombine, EmptyRectanglesAndEmptyOperands) {
    Region empty(RECT{5, 5, 5, 10});
    EXPECT_TRUE(empty.Empty());
    EXPECT_TRUE(Region(RECT{5, 10, 1, 0}).Empty());
    Region a(RECT{0, 0, 4, 4});
    Region b = a;
    b.Intersect(Region());
    EXPECT_TRUE(b.Empty());
    b = a;
    b.Union(Region());
    EXPECT_TRUE(b.Equals(a));
    b = a;
    b.Subtract(a);
    EXPECT_TRUE(b.Empty());
    b = a;
    b.Xor(a);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(Region().Bounds(), (RECT{0, 0, 0, 0}));
}

TEST(RegionQueries, BoundsOffsetContainsIntersects) {
    Region r = Region::FromRects({{2, 2, 6, 4}, {10, 8, 12, 20}, {-3, 5, 0, 6}});
    EXPECT_EQ(r.Bounds(), (RECT{-3, 2, 12, 20}));
    EXPECT_TRUE(r.Contains(2, 2));
    EXPECT_FALSE(r.Contains(6, 2)) << "right edge is exclusive";
    EXPECT_FALSE(r.Contains(2, 4)) << "bottom edge is exclusive";
    EXPECT_TRUE(r.Contains(-3, 5));
    EXPECT_FALSE(r.Contains(7, 9));
    EXPECT_TRUE(r.Intersects(RECT{5, 3, 11, 9}));
    EXPECT_FALSE(r.Intersects(RECT{6, 2, 10, 8})) << "touching is not intersecting";
    EXPECT_FALSE(r.Intersects(RECT{3, 3, 3, 3}));
    r.Offset(100, -2);
    EXPECT_EQ(r.Bounds(), (RECT{97, 0, 112, 18}));
    EXPECT_TRUE(r.Contains(102, 0));
}

TEST(RegionCombine, UnionOfBandsAppendedBelowStaysCanonical) {
    Region r;
    for (int y = 0; y < 50; y += 5) r.Union(RECT{0, y, 10, y + 5});
    ASSERT_EQ(r.Rects().size(), 1u);
    EXPECT_EQ(r.Rects()[0], (RECT{0, 0, 10, 50}));
    r.Union(RECT{0, 60, 10, 70});
    EXPECT_EQ(r.Rects().size(), 2u);
    ExpectCanonical(r);
}

TEST(RegionBuild, RowsGivenTopDownMatchTheGeneralConstructor) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> x(-5, 30), gap(0, 2), spans(0, 3);
    for (int iter = 0; iter < 300; ++iter) {
        std::vector<RECT> rows;
        int y = -3;
        for (int k = 0; k < 20; ++k) {
            y += gap(rng);
            for (int s = spans(rng); s > 0; --s) {
                int a = x(rng), b = x(rng);
                rows.push_back(RECT{std::min(a, b), y, std::max(a, b), y + 1});  // may be empty or overlap
            }
            ++y;
        }
        Region fast = Region::FromRows(rows);
        ExpectCanonical(fast);
        EXPECT_TRUE(fast.Equals(Region::FromRects(rows)));
    }
    // Rows out of order fall back to the general path.
    std::vector<RECT> backwards{{0, 5, 4, 6}, {0, 1, 4, 2}};
    EXPECT_TRUE(Region::FromRows(backwards).Equals(Region::FromRects(backwards)));
}

}  // namespace
