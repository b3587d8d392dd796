// Region objects (HRGN) and the shapes they are built from.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gdi/objects.h"

namespace plat::gdi {

namespace {

RECT Normal(int l, int t, int r, int b) { return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}; }

// Rows built top-down become a region band by band.
Region FromRows(const std::vector<RECT>& rows) { return Region::FromRows(rows); }

// Shapes are computed row by row; a region object's rows are limited to this many so that
// absurd coordinates cannot stall the program.
constexpr long long kMaxRows = 1 << 16;

// The rows [y0, y1) to compute: within `bounds` when given, and never more than kMaxRows.
void RowRange(long long top, long long bottom, const RECT* bounds, int& y0, int& y1) {
    if (bounds) {
        top = std::max<long long>(top, bounds->top);
        bottom = std::min<long long>(bottom, bounds->bottom);
    }
    if (bottom - top > kMaxRows) bottom = top + kMaxRows;
    y0 = int(top);
    y1 = int(std::max(top, bottom));
}

void PushSpan(std::vector<RECT>& rows, long long x0, long long x1, int y, const RECT* bounds) {
    if (bounds) {
        x0 = std::max<long long>(x0, bounds->left);
        x1 = std::min<long long>(x1, bounds->right);
    }
    x0 = std::max<long long>(x0, INT32_MIN / 2);
    x1 = std::min<long long>(x1, INT32_MAX / 2);
    if (x1 > x0) rows.push_back(RECT{LONG(x0), y, LONG(x1), y + 1});
}

}  // namespace

Region RoundRectRegion(int l, int t, int r, int b, int ew, int eh, const RECT* bounds) {
    RECT rc = Normal(l, t, r, b);
    long long w = (long long)rc.right - rc.left, h = (long long)rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return Region();
    ew = int(std::min<long long>(std::llabs(ew), w));
    eh = int(std::min<long long>(std::llabs(eh), h));
    if (ew <= 1 || eh <= 1) {
        Region whole(rc);
        if (bounds) whole.Intersect(*bounds);
        return whole;
    }
    double a = ew / 2.0, bb = eh / 2.0;
    std::vector<RECT> rows;
    int ya, yb;
    RowRange(rc.top, rc.bottom, bounds, ya, yb);
    rows.reserve(size_t(yb - ya));
    for (int y = ya; y < yb; ++y) {
        // Pixels whose centres lie inside the shape.
        double yc = y + 0.5, dy = 0;
        if (yc < rc.top + bb)
            dy = rc.top + bb - yc;
        else if (yc > rc.bottom - bb)
            dy = yc - (rc.bottom - bb);
        double dx = dy > 0 ? a * std::sqrt(std::max(0.0, 1.0 - (dy / bb) * (dy / bb))) : a;
        long long x0 = (long long)std::ceil(rc.left + a - dx - 0.5);
        long long x1 = (long long)std::floor(rc.right - a + dx - 0.5) + 1;
        PushSpan(rows, x0, x1, y, bounds);
    }
    return FromRows(rows);
}

Region PolygonRegion(const POINT* const* polys, const int* counts, int npolys, int mode, const RECT* bounds) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    int ymin = INT32_MAX, ymax = INT32_MIN;
    for (int p = 0; p < npolys; ++p) {
        int n = counts[p];
        if (n < 2) continue;
        for (int i = 0; i < n; ++i) {
            POINT a = polys[p][i], b = polys[p][(i + 1) % n];
            ymin = std::min<int>(ymin, a.y);
            ymax = std::max<int>(ymax, a.y);
            if (a.y == b.y) continue;
            int dir = b.y > a.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), dir});
        }
    }
    if (edges.empty()) return Region();
    std::vector<RECT> rows;
    std::vector<std::pair<double, int>> xs;
    int ya, yb;
    RowRange(ymin, ymax, bounds, ya, yb);
    for (int y = ya; y < yb; ++y) {
        double yc = y + 0.5;
        xs.clear();
        for (const Edge& e : edges)
            if (yc >= e.y0 && yc < e.y1) xs.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        std::sort(xs.begin(), xs.end());
        auto span = [&](double xa, double xb) {
            PushSpan(rows, (long long)std::ceil(xa - 0.5), (long long)std::ceil(xb - 0.5), y, bounds);
        };
        if (mode == WINDING) {
            int wind = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                wind += xs[i].second;
                if (wind != 0) span(xs[i].first, xs[i + 1].first);
            }
        } else {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) span(xs[i].first, xs[i + 1].first);
        }
    }
    return FromRows(rows);
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

namespace {

HRGN NewRegion(Region r) {
    auto o = std::make_shared<RegionObj>();
    o->rgn = std::move(r);
    return Regions().Add<HRGN>(o);
}

int KindOf(const Region& r) {
    if (r.Empty()) return NULLREGION;
    return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

WINGDIAPI HRGN WINAPI CreateRectRgn(int l, int t, int r, int b) {
    return NewRegion(Region(RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}));
}

WINGDIAPI HRGN WINAPI CreateRectRgnIndirect(const RECT* rc) {
    if (!rc) return nullptr;
    return CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom);
}

WINGDIAPI HRGN WINAPI CreateRoundRectRgn(int l, int t, int r, int b, int ew, int eh) {
    return NewRegion(RoundRectRegion(l, t, r, b, ew, eh));
}

WINGDIAPI HRGN WINAPI CreateEllipticRgn(int l, int t, int r, int b) {
    return NewRegion(RoundRectRegion(l, t, r, b, std::abs(r - l), std::abs(b - t)));
}

WINGDIAPI HRGN WINAPI CreateEllipticRgnIndirect(const RECT* rc) {
    if (!rc) return nullptr;
    return CreateEllipticRgn(rc->left, rc->top, rc->right, rc->bottom);
}

WINGDIAPI HRGN WINAPI CreatePolygonRgn(const POINT* pts, int count, int mode) {
    if (!pts || count < 0 || (mode != ALTERNATE && mode != WINDING)) return nullptr;
    const POINT* polys[1] = {pts};
    return NewRegion(PolygonRegion(polys, &count, 1, mode));
}

WINGDIAPI int WINAPI CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    Locked<RegionObj> d(Regions(), dst);
    RegionObj* ra = Regions().GetRaw(a);
    if (!d || !ra) return ERROR;
    if (mode == RGN_COPY) {
        d->rgn = ra->rgn;
        return KindOf(d->rgn);
    }
    RegionObj* rb = Regions().GetRaw(b);
    if (!rb) return ERROR;
    Region out = ra->rgn;
    switch (mode) {
        case RGN_AND: out.Intersect(rb->rgn); break;
        case RGN_OR: out.Union(rb->rgn); break;
        case RGN_XOR: out.Xor(rb->rgn); break;
        case RGN_DIFF: out.Subtract(rb->rgn); break;
        default: return ERROR;
    }
    d->rgn = std::move(out);
    return KindOf(d->rgn);
}

WINGDIAPI int WINAPI OffsetRgn(HRGN h, int dx, int dy) {
    Locked<RegionObj> r(Regions(), h);
    if (!r) return ERROR;
    r->rgn.Offset(dx, dy);
    return KindOf(r->rgn);
}

WINGDIAPI BOOL WINAPI PtInRegion(HRGN h, int x, int y) {
    Locked<RegionObj> r(Regions(), h);
    return r && r->rgn.Contains(x, y);
}

WINGDIAPI BOOL WINAPI RectInRegion(HRGN h, const RECT* rc) {
    Locked<RegionObj> r(Regions(), h);
    if (!r || !rc) return FALSE;
    return r->rgn.Intersects(RECT{std::min(rc->left, rc->right), std::min(rc->top, rc->bottom),
                                  std::max(rc->left, rc->right), std::max(rc->top, rc->bottom)});
}

WINGDIAPI BOOL WINAPI EqualRgn(HRGN a, HRGN b) {
    Locked<RegionObj> ra(Regions(), a);
    RegionObj* rb = Regions().GetRaw(b);
    if (!ra || !rb) return ERROR;
    return ra->rgn.Equals(rb->rgn);
}

WINGDIAPI int WINAPI GetRgnBox(HRGN h, LPRECT out) {
    Locked<RegionObj> r(Regions(), h);
    if (!r || !out) return ERROR;
    *out = r->rgn.Bounds();
    return KindOf(r->rgn);
}

WINGDIAPI BOOL WINAPI SetRectRgn(HRGN h, int l, int t, int r, int b) {
    Locked<RegionObj> o(Regions(), h);
    if (!o) return FALSE;
    o->rgn.SetRect(RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
    return TRUE;
}

WINGDIAPI DWORD WINAPI GetRegionData(HRGN h, DWORD size, LPRGNDATA data) {
    Locked<RegionObj> r(Regions(), h);
    if (!r) return 0;
    const auto& rects = r->rgn.Rects();
    DWORD need = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data) return need;
    if (size < need) return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    data->rdh.rcBound = r->rgn.Bounds();
    if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return need;
}

// Rectangles transformed by `xform` are rounded outward: left and top down, right and bottom
// up, so a scaled region covers at least every pixel the exact shape touches.
WINGDIAPI HRGN WINAPI ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data) {
    if (!data || size < sizeof(RGNDATAHEADER)) return nullptr;
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize < sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
    if (h.nCount > (size - h.dwSize) / sizeof(RECT)) return nullptr;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data) + h.dwSize;
    std::vector<RECT> rects;
    rects.reserve(h.nCount);
    for (DWORD i = 0; i < h.nCount; ++i) {
        RECT rc;
        std::memcpy(&rc, p + i * sizeof(RECT), sizeof(RECT));
        if (xform) {
            double xs[4], ys[4];
            const double cx[4] = {double(rc.left), double(rc.right), double(rc.left), double(rc.right)};
            const double cy[4] = {double(rc.top), double(rc.top), double(rc.bottom), double(rc.bottom)};
            for (int k = 0; k < 4; ++k) {
                xs[k] = cx[k] * xform->eM11 + cy[k] * xform->eM21 + xform->eDx;
                ys[k] = cx[k] * xform->eM12 + cy[k] * xform->eM22 + xform->eDy;
            }
            double x0 = *std::min_element(xs, xs + 4), x1 = *std::max_element(xs, xs + 4);
            double y0 = *std::min_element(ys, ys + 4), y1 = *std::max_element(ys, ys + 4);
            if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) return nullptr;
            auto clampL = [](double v) { return LONG(std::max(-1e9, std::min(1e9, v))); };
            rc = RECT{clampL(std::floor(x0 + 1e-6)), clampL(std::floor(y0 + 1e-6)), clampL(std::ceil(x1 - 1e-6)),
                      clampL(std::ceil(y1 - 1e-6))};
        }
        if (rc.right > rc.left && rc.bottom > rc.top) rects.push_back(rc);
    }
    return NewRegion(Region::FromRects(rects));
}
