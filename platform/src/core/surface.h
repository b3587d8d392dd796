// A 32-bit pixel surface: the backing store of a top-level window, of a bitmap at screen depth
// and of the headless virtual screen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// Pixels are top-down rows of 32-bit values laid out as the platform's 32-bit DIBs are:
// bytes B, G, R, A in memory, that is 0xAARRGGBB as a little-endian integer. COLORREF is
// 0x00BBGGRR, so converting swaps red and blue.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Surface() = default;
    Surface(int w, int h, uint32_t fill = 0) { Resize(w, h, fill); }

    void Resize(int w, int h, uint32_t fill = 0) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        // One row is filled pixel by pixel and the others are block copies of it: a per-pixel
        // loop over a whole window costs much in instrumented builds.
        const std::vector<uint32_t> row(size_t(width), fill);
        pixels.clear();
        pixels.reserve(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y) pixels.insert(pixels.end(), row.begin(), row.end());
    }
    uint32_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t At(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }
};

// A window's backing store covers at most this much each way: what lies beyond is off every
// screen, and a window sized from hostile input (a skin's frame, say) must not exhaust memory.
constexpr int kMaxWindowStoreExtent = 8192;

inline std::shared_ptr<Surface> MakeWindowStore(int cx, int cy) {
    return std::make_shared<Surface>(std::min(cx, kMaxWindowStoreExtent), std::min(cy, kMaxWindowStoreExtent),
                                     0xFF000000u);
}

inline uint32_t PixelFromColorref(uint32_t cr) {
    return ((cr & 0xFF) << 16) | (cr & 0xFF00) | ((cr >> 16) & 0xFF);
}
inline uint32_t ColorrefFromPixel(uint32_t px) {
    return ((px >> 16) & 0xFF) | (px & 0xFF00) | ((px & 0xFF) << 16);
}

}  // namespace plat
