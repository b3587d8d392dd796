// A small anti-aliased drawing kit for the skin builder. Shapes are described by signed
// distances (or sampled on a 4 x 4 grid for polygons) and composited "over" a straight-alpha
// float canvas; the result becomes a 24-bit picture in which fully transparent pixels take the
// key colour and partly covered pixels are blended against the colour that will lie under them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "RasterImage.h"

namespace skinbuild {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB as written in design tools, with an opacity.
Rgba Hex(uint32_t rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba WithAlpha(const Rgba& c, float alpha);
// The same colour as a COLORREF (0x00BBGGRR) for skin records.
COLORREF ToColorRef(const Rgba& c);

struct PointF {
    float x, y;
};

// The colour of a shape at a point (pixel centres are at +0.5).
using Paint = std::function<Rgba(float x, float y)>;
Paint Solid(const Rgba& c);
// Top-to-bottom gradient between y0 and y1 (clamped outside).
Paint VerticalGradient(float y0, float y1, const Rgba& top, const Rgba& bottom);

class CCanvas {
public:
    CCanvas(int width, int height, const Rgba& fill = Rgba());

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgba At(int x, int y) const;
    void Set(int x, int y, const Rgba& c);
    // Source-over of c whose alpha is scaled by coverage (0..1).
    void Blend(int x, int y, const Rgba& c, float coverage);

    void FillRect(int left, int top, int right, int bottom, const Paint& paint);
    // Rounded rectangle with separate radii for the top and the bottom corners.
    void RoundRect(float left, float top, float right, float bottom, float radiusTop, float radiusBottom,
                   const Paint& paint);
    void RoundRect(float left, float top, float right, float bottom, float radius, const Paint& paint)
    {
        RoundRect(left, top, right, bottom, radius, radius, paint);
    }
    // A border of the given width along the inside of a rounded rectangle.
    void RoundBorder(float left, float top, float right, float bottom, float radius, float width,
                     const Rgba& color);
    void Circle(float cx, float cy, float radius, const Paint& paint);
    void Line(float x0, float y0, float x1, float y1, float width, const Rgba& color);
    void Polyline(const std::vector<PointF>& points, float width, const Rgba& color);
    void Polygon(const std::vector<PointF>& points, const Rgba& color);
    // Blends a colour over the pixels already drawn, in proportion to their own opacity.
    void Tint(int left, int top, int right, int bottom, const Rgba& color);
    // Composites another canvas at (x, y).
    void Draw(const CCanvas& src, int x, int y);

    // The finished picture: pixels below the alpha threshold become the key colour, the others
    // are blended against matte(x, y) (the colour that lies under them when drawn).
    using Matte = std::function<Rgba(int x, int y)>;
    void ToImage(CRasterImage& out, const Matte& matte) const;

private:
    template <typename Coverage>
    void Shape(float left, float top, float right, float bottom, Coverage coverage, const Paint& paint);

    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};

// The key colour that marks transparent pixels in every skin picture.
constexpr COLORREF kKeyColor = RGB(255, 0, 255);

}  // namespace skinbuild
