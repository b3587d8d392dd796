#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace skinbuild {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

BYTE ToByte(float v) { return BYTE(std::lround(Clamp01(v) * 255.0f)); }

// Signed distance to a rounded rectangle; the radius is picked by the half the point lies in.
float RoundRectDistance(float px, float py, float left, float top, float right, float bottom, float rTop,
                        float rBottom)
{
    float cx = (left + right) / 2, cy = (top + bottom) / 2;
    float hx = (right - left) / 2, hy = (bottom - top) / 2;
    float r = py < cy ? rTop : rBottom;
    r = std::min(r, std::min(hx, hy));
    float qx = std::fabs(px - cx) - (hx - r);
    float qy = std::fabs(py - cy) - (hy - r);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? Clamp01(((px - x0) * dx + (py - y0) * dy) / len2) : 0.0f;
    float ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

bool InsidePolygon(const std::vector<PointF>& pts, float x, float y)
{
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const PointF& a = pts[i];
        const PointF& b = pts[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

}  // namespace

Rgba Hex(uint32_t rgb, float alpha)
{
    return Rgba{((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba WithAlpha(const Rgba& c, float alpha) { return Rgba{c.r, c.g, c.b, alpha}; }

COLORREF ToColorRef(const Rgba& c) { return RGB(ToByte(c.r), ToByte(c.g), ToByte(c.b)); }

Paint Solid(const Rgba& c)
{
    return [c](float, float) { return c; };
}

Paint VerticalGradient(float y0, float y1, const Rgba& top, const Rgba& bottom)
{
    return [=](float, float y) { return Mix(top, bottom, y1 > y0 ? Clamp01((y - y0) / (y1 - y0)) : 0.0f); };
}

CCanvas::CCanvas(int width, int height, const Rgba& fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_pixels(size_t(m_width) * m_height, fill)
{
}

Rgba CCanvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return Rgba();
    return m_pixels[size_t(y) * m_width + x];
}

void CCanvas::Set(int x, int y, const Rgba& c)
{
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
        m_pixels[size_t(y) * m_width + x] = c;
}

void CCanvas::Blend(int x, int y, const Rgba& c, float coverage)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    float sa = Clamp01(c.a * coverage);
    if (sa <= 0)
        return;
    Rgba& d = m_pixels[size_t(y) * m_width + x];
    float oa = sa + d.a * (1 - sa);
    if (oa <= 0) {
        d = Rgba();
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
}

template <typename Coverage>
void CCanvas::Shape(float left, float top, float right, float bottom, Coverage coverage, const Paint& paint)
{
    int x0 = std::max(0, int(std::floor(left)) - 1), y0 = std::max(0, int(std::floor(top)) - 1);
    int x1 = std::min(m_width, int(std::ceil(right)) + 1), y1 = std::min(m_height, int(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float c = coverage(x + 0.5f, y + 0.5f);
            if (c > 0)
                Blend(x, y, paint(x + 0.5f, y + 0.5f), c);
        }
}

void CCanvas::FillRect(int left, int top, int right, int bottom, const Paint& paint)
{
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x)
            Blend(x, y, paint(x + 0.5f, y + 0.5f), 1.0f);
}

void CCanvas::RoundRect(float left, float top, float right, float bottom, float radiusTop, float radiusBottom,
                        const Paint& paint)
{
    Shape(left, top, right, bottom,
          [&](float x, float y) {
              return Clamp01(0.5f - RoundRectDistance(x, y, left, top, right, bottom, radiusTop, radiusBottom));
          },
          paint);
}

void CCanvas::RoundBorder(float left, float top, float right, float bottom, float radius, float width,
                          const Rgba& color)
{
    float inner = std::max(radius - width, 0.0f);
    Shape(left, top, right, bottom,
          [&](float x, float y) {
              float outer = Clamp01(0.5f - RoundRectDistance(x, y, left, top, right, bottom, radius, radius));
              float in = Clamp01(0.5f - RoundRectDistance(x, y, left + width, top + width, right - width,
                                                          bottom - width, inner, inner));
              return std::max(outer - in, 0.0f);
          },
          Solid(color));
}

void CCanvas::Circle(float cx, float cy, float radius, const Paint& paint)
{
    Shape(cx - radius, cy - radius, cx + radius, cy + radius,
          [&](float x, float y) { return Clamp01(0.5f - (std::hypot(x - cx, y - cy) - radius)); }, paint);
}

void CCanvas::Line(float x0, float y0, float x1, float y1, float width, const Rgba& color)
{
    float h = width / 2;
    Shape(std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h,
          [&](float x, float y) { return Clamp01(0.5f - (SegmentDistance(x, y, x0, y0, x1, y1) - h)); },
          Solid(color));
}

void CCanvas::Polyline(const std::vector<PointF>& points, float width, const Rgba& color)
{
    if (points.size() < 2)
        return;
    float h = width / 2;
    float l = points[0].x, t = points[0].y, r = l, b = t;
    for (const PointF& p : points) {
        l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
    }
    // One pass over the union, so the joints are not covered twice.
    Shape(l - h, t - h, r + h, b + h,
          [&](float x, float y) {
              float d = 1e9f;
              for (size_t i = 1; i < points.size(); ++i)
                  d = std::min(d, SegmentDistance(x, y, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y));
              return Clamp01(0.5f - (d - h));
          },
          Solid(color));
}

void CCanvas::Polygon(const std::vector<PointF>& points, const Rgba& color)
{
    if (points.size() < 3)
        return;
    float l = points[0].x, t = points[0].y, r = l, b = t;
    for (const PointF& p : points) {
        l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
    }
    Shape(l, t, r, b,
          [&](float x, float y) {
              int hits = 0;
              for (int sy = 0; sy < 4; ++sy)
                  for (int sx = 0; sx < 4; ++sx)
                      hits += InsidePolygon(points, x - 0.5f + (sx + 0.5f) / 4, y - 0.5f + (sy + 0.5f) / 4);
              return hits / 16.0f;
          },
          Solid(color));
}

void CCanvas::Tint(int left, int top, int right, int bottom, const Rgba& color)
{
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x) {
            Rgba& d = m_pixels[size_t(y) * m_width + x];
            float a = color.a;
            d.r += (color.r - d.r) * a;
            d.g += (color.g - d.g) * a;
            d.b += (color.b - d.b) * a;
        }
}

void CCanvas::Draw(const CCanvas& src, int x, int y)
{
    for (int sy = 0; sy < src.m_height; ++sy)
        for (int sx = 0; sx < src.m_width; ++sx)
            Blend(x + sx, y + sy, src.At(sx, sy), 1.0f);
}

void CCanvas::ToImage(CRasterImage& out, const Matte& matte) const
{
    out.Create(m_width, DWORD(m_height), 24);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const Rgba& p = m_pixels[size_t(y) * m_width + x];
            COLORREF c = kKeyColor;
            if (p.a >= 0.04f) {
                Rgba m = matte ? matte(x, y) : Rgba{1, 1, 1, 1};
                c = ToColorRef(Mix(m, Rgba{p.r, p.g, p.b, 1}, Clamp01(p.a)));
                if (c == kKeyColor)  // never let a drawn pixel read as transparent
                    c = RGB(254, 0, 255);
            }
            out.SetPixelColor(x, m_height - 1 - y, c);  // the picture's rows run bottom-up
        }
}

}  // namespace skinbuild
