// Banded regions. Every operation rebuilds the canonical form: bands sorted top-down, spans of a
// band sorted and separated by at least one pixel, and two touching bands with the same spans
// merged. Equal point sets therefore have equal rectangle lists.
#include "gdi/region.h"

#include <algorithm>

namespace plat {

namespace {

struct Span {
    LONG l, r;
};

enum class Op { Union, Intersect, Subtract, Xor };

bool Keep(Op op, bool a, bool b) {
    switch (op) {
        case Op::Union: return a || b;
        case Op::Intersect: return a && b;
        case Op::Subtract: return a && !b;
        case Op::Xor: return a != b;
    }
    return false;
}

// Combines two sorted, disjoint span lists into `out` (sorted, disjoint, touching spans merged).
void CombineSpans(Op op, const RECT* a, size_t na, const RECT* b, size_t nb, std::vector<Span>& out) {
    out.clear();
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false;
    bool inside = false;
    LONG start = 0;
    // Sweep over every span edge in x order.
    while (ia < na * 2 || ib < nb * 2) {
        LONG xa = ia < na * 2 ? ((ia & 1) ? a[ia / 2].right : a[ia / 2].left) : LONG(0x7FFFFFFF);
        LONG xb = ib < nb * 2 ? ((ib & 1) ? b[ib / 2].right : b[ib / 2].left) : LONG(0x7FFFFFFF);
        LONG x = std::min(xa, xb);
        if (xa == x) {
            inA = !(ia & 1);
            ++ia;
        }
        if (xb == x) {
            inB = !(ib & 1);
            ++ib;
        }
        bool now = Keep(op, inA, inB);
        if (now && !inside) {
            start = x;
            inside = true;
        } else if (!now && inside) {
            inside = false;
            if (!out.empty() && out.back().r == start)
                out.back().r = x;
            else if (x > start)
                out.push_back({start, x});
        }
    }
}

// Index ranges of the bands of a canonical rectangle list.
struct BandIndex {
    std::vector<size_t> starts;  // first rect of each band, plus one past the end
    explicit BandIndex(const std::vector<RECT>& rects) {
        for (size_t i = 0; i < rects.size(); ++i)
            if (i == 0 || rects[i].top != rects[i - 1].top) starts.push_back(i);
        starts.push_back(rects.size());
    }
    size_t Count() const { return starts.size() - 1; }
};

std::vector<RECT> Combine(Op op, const std::vector<RECT>& A, const std::vector<RECT>& B) {
    BandIndex ba(A), bb(B);
    std::vector<LONG> ys;
    ys.reserve((ba.Count() + bb.Count()) * 2);
    for (size_t i = 0; i < ba.Count(); ++i) {
        ys.push_back(A[ba.starts[i]].top);
        ys.push_back(A[ba.starts[i]].bottom);
    }
    for (size_t i = 0; i < bb.Count(); ++i) {
        ys.push_back(B[bb.starts[i]].top);
        ys.push_back(B[bb.starts[i]].bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<RECT> out;
    std::vector<Span> spans;
    size_t prevStart = 0, prevCount = 0;  // the last band written to `out`
    bool havePrev = false;
    size_t ka = 0, kb = 0;
    for (size_t yi = 0; yi + 1 < ys.size(); ++yi) {
        LONG y0 = ys[yi], y1 = ys[yi + 1];
        while (ka < ba.Count() && A[ba.starts[ka]].bottom <= y0) ++ka;
        while (kb < bb.Count() && B[bb.starts[kb]].bottom <= y0) ++kb;
        const RECT* pa = nullptr;
        size_t na = 0;
        if (ka < ba.Count() && A[ba.starts[ka]].top <= y0) {
            pa = &A[ba.starts[ka]];
            na = ba.starts[ka + 1] - ba.starts[ka];
        }
        const RECT* pb = nullptr;
        size_t nb = 0;
        if (kb < bb.Count() && B[bb.starts[kb]].top <= y0) {
            pb = &B[bb.starts[kb]];
            nb = bb.starts[kb + 1] - bb.starts[kb];
        }
        CombineSpans(op, pa, na, pb, nb, spans);
        if (spans.empty()) continue;
        // Merge with the band above when it touches and has the same spans.
        if (havePrev && prevCount == spans.size() && out[prevStart].bottom == y0) {
            bool same = true;
            for (size_t i = 0; i < prevCount && same; ++i)
                same = out[prevStart + i].left == spans[i].l && out[prevStart + i].right == spans[i].r;
            if (same) {
                for (size_t i = 0; i < prevCount; ++i) out[prevStart + i].bottom = y1;
                continue;
            }
        }
        prevStart = out.size();
        prevCount = spans.size();
        havePrev = true;
        for (const Span& s : spans) out.push_back({s.l, y0, s.r, y1});
    }
    return out;
}

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

Region::Region(const RECT& r) { SetRect(r); }

RECT Region::Bounds() const {
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT b = rects_.front();
    b.bottom = rects_.back().bottom;
    for (const RECT& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
    }
    return b;
}

bool Region::Contains(int x, int y) const {
    // Bands are sorted by top: binary search for the first rect whose bottom is below y.
    auto it = std::lower_bound(rects_.begin(), rects_.end(), y,
                               [](const RECT& r, int yy) { return r.bottom <= yy; });
    for (; it != rects_.end() && it->top <= y; ++it) {
        if (x < it->left) return false;
        if (x < it->right) return true;
    }
    return false;
}

bool Region::Intersects(const RECT& r) const {
    if (IsEmptyRect(r)) return false;
    auto it = std::lower_bound(rects_.begin(), rects_.end(), r.top,
                               [](const RECT& a, int yy) { return a.bottom <= yy; });
    for (; it != rects_.end() && it->top < r.bottom; ++it)
        if (it->left < r.right && it->right > r.left) return true;
    return false;
}

void Region::SetRect(const RECT& r) {
    rects_.clear();
    if (!IsEmptyRect(r)) rects_.push_back(r);
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

void Region::Union(const Region& other) {
    if (other.rects_.empty()) return;
    if (rects_.empty()) {
        rects_ = other.rects_;
        return;
    }
    // Common case while collecting damage: the new part lies wholly below the old.
    if (other.rects_.front().top >= rects_.back().bottom) {
        size_t before = rects_.size();
        rects_.insert(rects_.end(), other.rects_.begin(), other.rects_.end());
        if (other.rects_.front().top > rects_[before - 1].bottom) return;
        // Touching: the canonical merge decides whether bands join.
    }
    rects_ = Combine(Op::Union, rects_, other.rects_);
}

void Region::Intersect(const Region& other) {
    if (rects_.empty()) return;
    if (other.rects_.empty()) {
        rects_.clear();
        return;
    }
    if (other.rects_.size() == 1) {
        // Clipping to one rectangle keeps the band structure; only merges can change.
        const RECT& c = other.rects_.front();
        RECT b = Bounds();
        if (b.left >= c.left && b.right <= c.right && b.top >= c.top && b.bottom <= c.bottom) return;
    }
    rects_ = Combine(Op::Intersect, rects_, other.rects_);
}

void Region::Subtract(const Region& other) {
    if (rects_.empty() || other.rects_.empty()) return;
    rects_ = Combine(Op::Subtract, rects_, other.rects_);
}

void Region::Xor(const Region& other) {
    if (other.rects_.empty()) return;
    rects_ = Combine(Op::Xor, rects_, other.rects_);
}

Region Region::FromRects(const std::vector<RECT>& rects) {
    Region out;
    if (rects.empty()) return out;
    // Union in a balanced tree so that many rectangles stay near n log n.
    std::vector<Region> parts;
    parts.reserve(rects.size());
    for (const RECT& r : rects)
        if (!IsEmptyRect(r)) parts.emplace_back(r);
    if (parts.empty()) return out;
    while (parts.size() > 1) {
        std::vector<Region> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2) {
            parts[i].Union(parts[i + 1]);
            next.push_back(std::move(parts[i]));
        }
        if (parts.size() & 1) next.push_back(std::move(parts.back()));
        parts.swap(next);
    }
    return std::move(parts.front());
}

Region Region::FromRows(const std::vector<RECT>& rows) {
    Region out;
    std::vector<RECT>& o = out.rects_;
    size_t prevStart = 0, prevCount = 0;
    bool havePrev = false;
    std::vector<RECT> band;
    for (size_t i = 0; i < rows.size();) {
        LONG top = rows[i].top, bottom = rows[i].bottom;
        band.clear();
        size_t j = i;
        for (; j < rows.size() && rows[j].top == top; ++j)
            if (rows[j].right > rows[j].left && rows[j].bottom == bottom) band.push_back(rows[j]);
        i = j;
        if (band.empty()) continue;
        std::sort(band.begin(), band.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
        size_t n = 0;
        for (size_t k = 1; k < band.size(); ++k) {
            if (band[k].left <= band[n].right)
                band[n].right = std::max(band[n].right, band[k].right);
            else
                band[++n] = band[k];
        }
        band.resize(n + 1);
        if (havePrev && !o.empty() && o[prevStart].bottom == top && prevCount == band.size()) {
            bool same = true;
            for (size_t k = 0; k < prevCount && same; ++k)
                same = o[prevStart + k].left == band[k].left && o[prevStart + k].right == band[k].right;
            if (same) {
                for (size_t k = 0; k < prevCount; ++k) o[prevStart + k].bottom = bottom;
                continue;
            }
        }
        if (!o.empty() && o.back().bottom > top) return FromRects(rows);  // not top-down after all
        prevStart = o.size();
        prevCount = band.size();
        havePrev = true;
        o.insert(o.end(), band.begin(), band.end());
    }
    return out;
}

}  // namespace plat
