// Lines and filled shapes: pens (styles, widths, binary raster operations), rectangles,
// rounded rectangles, ellipses, polygons and region painting.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi/dc.h"

namespace plat::gdi {

namespace {

// Dash lengths of the cosmetic styles: on, off, on, off...
const std::vector<int>& DashesOf(const Pen& pen) {
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashdot{9, 6, 3, 6}, dashdotdot{9, 3, 3, 3, 3, 3},
        alternate{1, 1};
    switch (pen.Kind()) {
        case PS_DASH: return dash;
        case PS_DOT: return dot;
        case PS_DASHDOT: return dashdot;
        case PS_DASHDOTDOT: return dashdotdot;
        case PS_ALTERNATE: return alternate;
        default: return solid;
    }
}

struct Stroker {
    Canvas& cv;
    DC& dc;
    const Pen* pen;
    Paint paint;
    std::vector<int> dashes;
    size_t dashIdx = 0;
    int dashLeft = 0;
    uint32_t gapColor = 0;
    bool opaqueGaps = false;

    Stroker(Canvas& c, const Pen* p) : cv(c), dc(*c.dc), pen(p), paint(PenPaint(*c.dc, p)) {
        if (pen && pen->Kind() == PS_USERSTYLE) {
            for (DWORD v : pen->user) dashes.push_back(int(std::max<DWORD>(1, v)));
        } else if (pen) {
            dashes = DashesOf(*pen);
        }
        if (!dashes.empty()) dashLeft = dashes[0];
        gapColor = Px(dc.st.bkColor);
        opaqueGaps = dc.st.bkMode == OPAQUE;
    }
    bool Wide() const { return pen && pen->width > 1; }

    void Plot(int x, int y, uint32_t color) {
        if (!cv.clip->Contains(x, y)) return;
        PixelStore& t = cv.px;
        if (uint32_t* row = t.Row32(y)) {
            uint32_t d = row[x];
            Rop2Row(paint.rop2, &d, color, 1);
            row[x] = d;
            return;
        }
        uint32_t d = t.Get(x, y);
        Rop2Row(paint.rop2, &d, t.bpp == 1 ? t.Nearest(color) : color, 1);
        t.Set(x, y, d);
    }

    // One-pixel segment, end point excluded, dashes continuing from the previous segment.
    // Lines reaching far outside the surface are cut to its neighbourhood first, so that
    // their cost is what is visible; the dash pattern skips the cut length.
    bool CutToSurface(POINT& a, POINT& b) {
        RECT c = cv.clip->Bounds();
        long long span = 4LL * ((c.right - c.left) + (c.bottom - c.top)) + 64;
        long long len = std::max(std::llabs((long long)b.x - a.x), std::llabs((long long)b.y - a.y));
        if (len <= span) return true;
        double x0 = a.x, y0 = a.y, ddx = double(b.x) - a.x, ddy = double(b.y) - a.y;
        double t0 = 0, t1 = 1;
        const double lo[2] = {c.left - 2.0, c.top - 2.0}, hi[2] = {c.right + 2.0, c.bottom + 2.0};
        const double p0[2] = {x0, y0}, d[2] = {ddx, ddy};
        for (int k = 0; k < 2; ++k) {
            if (d[k] == 0) {
                if (p0[k] < lo[k] || p0[k] > hi[k]) return false;
                continue;
            }
            double ta = (lo[k] - p0[k]) / d[k], tb = (hi[k] - p0[k]) / d[k];
            if (ta > tb) std::swap(ta, tb);
            t0 = std::max(t0, ta);
            t1 = std::min(t1, tb);
        }
        if (t0 >= t1) return false;
        Skip(int(std::min<long long>(len, (long long)(t0 * double(len)))));
        POINT na{LONG(std::lround(x0 + ddx * t0)), LONG(std::lround(y0 + ddy * t0))};
        POINT nb{LONG(std::lround(x0 + ddx * t1)), LONG(std::lround(y0 + ddy * t1))};
        a = na;
        b = nb;
        return true;
    }
    void Skip(int steps) {
        if (dashes.empty() || steps <= 0) return;
        long long period = 0;
        for (int v : dashes) period += v;
        steps = int(steps % period);
        while (steps-- > 0)
            if (--dashLeft <= 0) {
                dashIdx = (dashIdx + 1) % dashes.size();
                dashLeft = dashes[dashIdx];
            }
    }

    void Thin(POINT a, POINT b) {
        if (!CutToSurface(a, b)) return;
        int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
        int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        int x = a.x, y = a.y;
        while (!(x == b.x && y == b.y)) {
            bool on = true;
            if (!dashes.empty()) {
                on = (dashIdx % 2) == 0;
                if (--dashLeft <= 0) {
                    dashIdx = (dashIdx + 1) % dashes.size();
                    dashLeft = dashes[dashIdx];
                }
            }
            if (on)
                Plot(x, y, paint.color);
            else if (opaqueGaps)
                Plot(x, y, gapColor);
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    // A wide segment: the band of the pen's width around the line, with round ends.
    void AddWide(POINT a, POINT b, std::vector<RECT>& rects, Region& shape) {
        double w = pen->width;
        double vx = double(b.x) - a.x, vy = double(b.y) - a.y;
        double len = std::sqrt(vx * vx + vy * vy);
        if (len > 0) {
            double nx = -vy / len * w / 2, ny = vx / len * w / 2;
            POINT q[4] = {{LONG(std::lround(a.x + nx)), LONG(std::lround(a.y + ny))},
                          {LONG(std::lround(b.x + nx)), LONG(std::lround(b.y + ny))},
                          {LONG(std::lround(b.x - nx)), LONG(std::lround(b.y - ny))},
                          {LONG(std::lround(a.x - nx)), LONG(std::lround(a.y - ny))}};
            const POINT* polys[1] = {q};
            int four = 4;
            RECT lim = cv.clip->Bounds();
            Region band = PolygonRegion(polys, &four, 1, WINDING, &lim);
            shape.Union(band);
        }
        int wi = pen->width, h0 = wi / 2;
        RECT lim0 = cv.clip->Bounds();
        for (POINT p : {a, b}) {
            if ((pen->style & PS_ENDCAP_MASK) == PS_ENDCAP_FLAT && pen->ext) continue;
            if ((pen->style & PS_ENDCAP_MASK) == PS_ENDCAP_SQUARE && pen->ext)
                rects.push_back(RECT{p.x - h0, p.y - h0, p.x - h0 + wi, p.y - h0 + wi});
            else
                shape.Union(RoundRectRegion(p.x - h0, p.y - h0, p.x - h0 + wi, p.y - h0 + wi, wi, wi, &lim0));
        }
    }

    void Path(const POINT* pts, int n, bool closed) {
        if (!pen || pen->Kind() == PS_NULL || n < 1 || paint.kind == Paint::None) return;
        if (!Wide()) {
            for (int i = 0; i + 1 < n; ++i) Thin(pts[i], pts[i + 1]);
            if (closed && n > 1) Thin(pts[n - 1], pts[0]);
            return;
        }
        std::vector<RECT> rects;
        Region shape;
        for (int i = 0; i + 1 < n; ++i) AddWide(pts[i], pts[i + 1], rects, shape);
        if (closed && n > 1) AddWide(pts[n - 1], pts[0], rects, shape);
        if (!rects.empty()) shape.Union(Region::FromRects(rects));
        FillRegion(cv, shape, paint);
    }
};

std::shared_ptr<DC> Begin(HDC hdc) {
    std::shared_ptr<DC> d = GetDC(hdc);
    return d;
}

// Draws a closed shape: `fill` with the brush, then `ring` with the pen's colour.
void FillAndFrame(Canvas& cv, const Region& fill, const Region& ring) {
    DC& dc = *cv.dc;
    Paint b = BrushPaint(dc, dc.CurBrush(), cv.px.bpp);
    FillRegion(cv, fill, b);
    Paint p = PenPaint(dc, dc.CurPen());
    FillRegion(cv, ring, p);
}

// The pen's frame of a box: outer and inner rectangles of the ring.
void PenBox(const Pen* pen, RECT r, RECT& outer, RECT& inner) {
    int w = pen ? pen->width : 1;
    if (pen && pen->Kind() == PS_INSIDEFRAME) {
        outer = r;
    } else {
        int half = w / 2;
        outer = RECT{r.left - half, r.top - half, r.right - 1 - half + w, r.bottom - 1 - half + w};
    }
    inner = RECT{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
}

RECT Norm(int l, int t, int r, int b) { return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}; }

bool NullPen(const Pen* p) { return !p || p->Kind() == PS_NULL; }

// Shapes drawn with a styled one-pixel pen trace their outline as lines.
bool StyledThin(const Pen* p) { return p && p->width <= 1 && p->Kind() != PS_SOLID && p->Kind() != PS_INSIDEFRAME && p->Kind() != PS_NULL; }

BOOL RoundShape(HDC hdc, int l, int t, int r, int b, int ew, int eh, bool ellipse) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = Begin(hdc);
    if (!d) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    RECT rc = Norm(l + cv.ox(), t + cv.oy(), r + cv.ox(), b + cv.oy());
    const Pen* pen = d->CurPen();
    if (ellipse) {
        ew = rc.right - rc.left;
        eh = rc.bottom - rc.top;
    }
    if (NullPen(pen)) {
        rc.right -= 1;
        rc.bottom -= 1;
        RECT lim = cv.clip->Bounds();
        FillAndFrame(cv, RoundRectRegion(rc.left, rc.top, rc.right, rc.bottom, ew, eh, &lim), Region());
        return TRUE;
    }
    RECT outer, inner;
    PenBox(pen, rc, outer, inner);
    int w = pen->width;
    if (ellipse) {
        ew = outer.right - outer.left;
        eh = outer.bottom - outer.top;
    }
    RECT lim = cv.clip->Bounds();
    Region out = RoundRectRegion(outer.left, outer.top, outer.right, outer.bottom, ew, eh, &lim);
    Region in = RoundRectRegion(inner.left, inner.top, inner.right, inner.bottom,
                                ellipse ? inner.right - inner.left : ew - 2 * w, ellipse ? inner.bottom - inner.top : eh - 2 * w,
                                &lim);
    in.Intersect(out);
    Region ring = out;
    ring.Subtract(in);
    if (StyledThin(pen)) {
        FillAndFrame(cv, in, Region());
        // Trace the ring's outline pixels in order is costly; a styled ring is drawn as the
        // pen's dashes along the bounding rows, which is what such pens are used for (focus
        // and selection outlines on plain rectangles).
        Stroker s(cv, pen);
        POINT pts[4] = {{outer.left, outer.top}, {outer.right - 1, outer.top}, {outer.right - 1, outer.bottom - 1},
                        {outer.left, outer.bottom - 1}};
        if (!ellipse && ew <= 1 && eh <= 1) {
            s.Path(pts, 4, true);
            return TRUE;
        }
        FillRegion(cv, ring, s.paint);
        return TRUE;
    }
    FillAndFrame(cv, in, ring);
    return TRUE;
}

}  // namespace

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

WINGDIAPI BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return FALSE;
    if (old) *old = d->st.curPos;
    d->st.curPos = POINT{x, y};
    return TRUE;
}

namespace {
BOOL StrokeLogical(HDC hdc, const POINT* pts, int n, bool closed) {
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    std::vector<POINT> t(pts, pts + n);
    for (POINT& p : t) {
        p.x += cv.ox();
        p.y += cv.oy();
    }
    Stroker s(cv, d->CurPen());
    s.Path(t.data(), n, closed);
    return TRUE;
}
}  // namespace

WINGDIAPI BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    Locked<DC> d(DCs(), hdc);
    if (!d) return FALSE;
    POINT pts[2] = {d->st.curPos, {x, y}};
    BOOL ok = StrokeLogical(hdc, pts, 2, false);
    d->st.curPos = POINT{x, y};
    return ok;
}

WINGDIAPI BOOL WINAPI Polyline(HDC hdc, const POINT* pts, int count) {
    Guard g(GlobalLock());
    if (!pts || count < 2) return FALSE;
    return StrokeLogical(hdc, pts, count, false);
}

WINGDIAPI BOOL WINAPI PolylineTo(HDC hdc, const POINT* pts, DWORD count) {
    Locked<DC> d(DCs(), hdc);
    if (!d || !pts) return FALSE;
    std::vector<POINT> all;
    all.push_back(d->st.curPos);
    all.insert(all.end(), pts, pts + count);
    BOOL ok = StrokeLogical(hdc, all.data(), int(all.size()), false);
    if (count) d->st.curPos = pts[count - 1];
    return ok;
}

WINGDIAPI BOOL WINAPI PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int polys) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !pts || !counts || polys <= 0) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    std::vector<std::vector<POINT>> t;
    std::vector<const POINT*> ptrs;
    std::vector<int> ns;
    const POINT* p = pts;
    for (int i = 0; i < polys; ++i) {
        if (counts[i] < 2) return FALSE;
        t.emplace_back(p, p + counts[i]);
        for (POINT& q : t.back()) {
            q.x += cv.ox();
            q.y += cv.oy();
        }
        p += counts[i];
    }
    for (auto& v : t) {
        ptrs.push_back(v.data());
        ns.push_back(int(v.size()));
    }
    RECT lim = cv.clip->Bounds();
    Region fill = PolygonRegion(ptrs.data(), ns.data(), polys, d->st.polyFillMode, &lim);
    Paint b = BrushPaint(*d, d->CurBrush(), cv.px.bpp);
    FillRegion(cv, fill, b);
    Stroker s(cv, d->CurPen());
    for (auto& v : t) s.Path(v.data(), int(v.size()), true);
    return TRUE;
}

WINGDIAPI BOOL WINAPI Polygon(HDC hdc, const POINT* pts, int count) {
    if (count < 2) return FALSE;
    return PolyPolygon(hdc, pts, &count, 1);
}

WINGDIAPI BOOL WINAPI Rectangle(HDC hdc, int l, int t, int r, int b) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    RECT rc = Norm(l + cv.ox(), t + cv.oy(), r + cv.ox(), b + cv.oy());
    const Pen* pen = d->CurPen();
    Paint brush = BrushPaint(*d, d->CurBrush(), cv.px.bpp);
    if (NullPen(pen)) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        FillRectT(cv, RECT{rc.left, rc.top, rc.right - 1, rc.bottom - 1}, brush);
        return TRUE;
    }
    RECT outer, inner;
    PenBox(pen, rc, outer, inner);
    FillRectT(cv, inner, brush);
    if (StyledThin(pen)) {
        Stroker s(cv, pen);
        POINT pts[4] = {{outer.left, outer.top}, {outer.right - 1, outer.top}, {outer.right - 1, outer.bottom - 1},
                        {outer.left, outer.bottom - 1}};
        s.Path(pts, 4, true);
        return TRUE;
    }
    Paint p = PenPaint(*d, pen);
    if (inner.right <= inner.left || inner.bottom <= inner.top) {
        FillRectT(cv, outer, p);
        return TRUE;
    }
    FillRectT(cv, RECT{outer.left, outer.top, outer.right, inner.top}, p);
    FillRectT(cv, RECT{outer.left, inner.bottom, outer.right, outer.bottom}, p);
    FillRectT(cv, RECT{outer.left, inner.top, inner.left, inner.bottom}, p);
    FillRectT(cv, RECT{inner.right, inner.top, outer.right, inner.bottom}, p);
    return TRUE;
}

WINGDIAPI BOOL WINAPI RoundRect(HDC hdc, int l, int t, int r, int b, int ew, int eh) {
    return RoundShape(hdc, l, t, r, b, ew, eh, false);
}

WINGDIAPI BOOL WINAPI Ellipse(HDC hdc, int l, int t, int r, int b) { return RoundShape(hdc, l, t, r, b, 0, 0, true); }

namespace {
BOOL PaintRegion(HDC hdc, HRGN rgn, HBRUSH brush, bool useCurrent, bool invert) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    RegionObj* r = Regions().GetRaw(rgn);
    if (!d || !r) return FALSE;
    std::shared_ptr<Brush> b;
    if (!useCurrent && !invert) {
        b = Brushes().Get(brush);
        if (!b) return FALSE;
    }
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    Region area = r->rgn;
    area.Offset(cv.ox(), cv.oy());
    if (invert) {
        Paint p;
        p.kind = Paint::SolidColor;
        p.rop2 = R2_NOT;
        FillRegion(cv, area, p);
        return TRUE;
    }
    Paint p = BrushPaint(*d, useCurrent ? d->CurBrush() : b.get(), cv.px.bpp);
    p.rop2 = R2_COPYPEN;
    FillRegion(cv, area, p);
    return TRUE;
}
}  // namespace

WINGDIAPI BOOL WINAPI FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) { return PaintRegion(hdc, rgn, brush, false, false); }
WINGDIAPI BOOL WINAPI PaintRgn(HDC hdc, HRGN rgn) { return PaintRegion(hdc, rgn, nullptr, true, false); }
WINGDIAPI BOOL WINAPI InvertRgn(HDC hdc, HRGN rgn) { return PaintRegion(hdc, rgn, nullptr, false, true); }

WINGDIAPI BOOL WINAPI FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int w, int h) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    RegionObj* r = Regions().GetRaw(rgn);
    std::shared_ptr<Brush> b = Brushes().Get(brush);
    if (!d || !r || !b || w < 0 || h < 0) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    // The frame is the region less the region shrunk by w horizontally and h vertically.
    Region inner = r->rgn;
    for (int s = -1; s <= 1; s += 2) {
        Region sh = r->rgn;
        sh.Offset(s * w, 0);
        inner.Intersect(sh);
        sh = r->rgn;
        sh.Offset(0, s * h);
        inner.Intersect(sh);
    }
    Region frame = r->rgn;
    frame.Subtract(inner);
    frame.Offset(cv.ox(), cv.oy());
    Paint p = BrushPaint(*d, b.get(), cv.px.bpp);
    p.rop2 = R2_COPYPEN;
    FillRegion(cv, frame, p);
    return TRUE;
}
