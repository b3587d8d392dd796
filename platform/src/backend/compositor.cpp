#include "backend/compositor.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

inline uint32_t Mix(uint32_t c, uint32_t wc, uint32_t d, uint32_t wd) {
    // (c*wc + d*wd) / 255 with rounding, per 8-bit channel; wc + wd <= 255.
    uint32_t v = c * wc + d * wd + 128;
    return (v + (v >> 8)) >> 8;
}

struct Blender {
    uint8_t alpha;
    bool keyed;
    uint32_t key_pixel;  // 0x00RRGGBB
    bool per_pixel;

    bool Plain() const { return alpha == 255 && !keyed && !per_pixel; }

    void Span(uint32_t* dst, const uint32_t* src, int n) const {
        if (Plain()) {
            for (int i = 0; i < n; ++i) dst[i] = src[i] | 0xFF000000u;
            return;
        }
        for (int i = 0; i < n; ++i) {
            uint32_t s = src[i], d = dst[i];
            if (keyed && (s & 0xFFFFFFu) == key_pixel) continue;
            uint32_t out = 0xFF000000u;
            if (per_pixel) {
                // Premultiplied source, scaled by the constant alpha.
                uint32_t sa = Mix(s >> 24, alpha, 0, 0);
                for (int sh = 0; sh < 24; sh += 8) {
                    uint32_t sc = Mix((s >> sh) & 0xFF, alpha, 0, 0);
                    uint32_t v = sc + Mix((d >> sh) & 0xFF, 255 - sa, 0, 0);
                    out |= std::min<uint32_t>(v, 255) << sh;
                }
            } else {
                for (int sh = 0; sh < 24; sh += 8)
                    out |= Mix((s >> sh) & 0xFF, alpha, (d >> sh) & 0xFF, 255u - alpha) << sh;
            }
            dst[i] = out;
        }
    }
};

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{0, 0, 0, 0};
    return r;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

void Composite(const std::vector<TopLevelView>& views, Surface& screen, POINT origin, uint32_t background) {
    std::fill(screen.pixels.begin(), screen.pixels.end(), background | 0xFF000000u);
    const RECT screen_rect{origin.x, origin.y, origin.x + screen.width, origin.y + screen.height};
    for (const TopLevelView& v : views) {
        if (!v.visible || !v.surface || v.alpha == 0) continue;
        const Surface& surf = *v.surface;
        // What of the window can show: its rect, no more than its surface holds.
        RECT win{v.screen_rect.left, v.screen_rect.top,
                 v.screen_rect.left + std::min<LONG>(surf.width, v.screen_rect.right - v.screen_rect.left),
                 v.screen_rect.top + std::min<LONG>(surf.height, v.screen_rect.bottom - v.screen_rect.top)};
        win = Intersect(win, screen_rect);
        if (IsEmpty(win)) continue;
        std::vector<RECT> parts;
        if (v.window_region) {
            for (RECT r : v.window_region->Rects()) {
                r.left += v.screen_rect.left;
                r.right += v.screen_rect.left;
                r.top += v.screen_rect.top;
                r.bottom += v.screen_rect.top;
                r = Intersect(r, win);
                if (!IsEmpty(r)) parts.push_back(r);
            }
        } else {
            parts.push_back(win);
        }
        Blender b{v.alpha, v.color_keyed, PixelFromColorref(v.color_key) & 0xFFFFFFu, v.per_pixel_alpha};
        for (const RECT& r : parts) {
            int n = r.right - r.left;
            for (int y = r.top; y < r.bottom; ++y) {
                uint32_t* dst = screen.Row(y - origin.y) + (r.left - origin.x);
                const uint32_t* src = surf.Row(y - v.screen_rect.top) + (r.left - v.screen_rect.left);
                b.Span(dst, src, n);
            }
        }
    }
}

Surface Crop(const Surface& src, const RECT& r) {
    RECT c = Intersect(r, RECT{0, 0, src.width, src.height});
    Surface out;
    if (IsEmpty(c)) return out;
    out.Resize(c.right - c.left, c.bottom - c.top);
    for (int y = c.top; y < c.bottom; ++y)
        std::memcpy(out.Row(y - c.top), src.Row(y) + c.left, size_t(out.width) * 4);
    return out;
}

}  // namespace plat
