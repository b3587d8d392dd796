// BMP reader under libFuzzer: any bytes must fail cleanly or give a picture that survives a
// write and a second read unchanged.
#include "ImageCodecs.h"

#include <cstdlib>
#include <cstring>

static bool SamePixels(const CRasterImage& a, const CRasterImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return false;
    for (DWORD y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetBits(y), b.GetBits(y), (a.GetWidth() * a.GetBpp() + 7) / 8) != 0)
            return false;
    return a.GetPaletteSize() == 0 || std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize()) == 0;
}

// Headers that ask for a large but allowed picture only make every run slow (the size limit
// itself is exercised by anything larger); they are passed over.
static bool MerelySlow(const uint8_t* data, size_t size) {
    const size_t info = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    if (size < info + 12) return false;
    const uint8_t* p = data + info;
    uint64_t w, h;
    if (p[0] == 12 && !p[1] && !p[2] && !p[3]) {
        w = p[4] | (p[5] << 8);
        h = p[6] | (p[7] << 8);
    } else {
        int32_t sw, sh;
        std::memcpy(&sw, p + 4, 4);
        std::memcpy(&sh, p + 8, 4);
        w = (uint64_t)std::llabs((long long)sw);
        h = (uint64_t)std::llabs((long long)sh);
    }
    return w * h > (1u << 20) && w * h <= (64u << 20);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (MerelySlow(data, size)) return 0;
    CRasterImage img;
    if (!img.DecodeFromMemory(data, (DWORD)size, RASTER_FORMAT_BMP)) {
        if (img.IsValid() || img.GetLastError()[0] == '\0') std::abort();  // failure must say why
        return 0;
    }
    if ((uint64_t)img.GetWidth() * img.GetHeight() > (1u << 20)) return 0;
    BYTE* buf = nullptr;
    LONG len = 0;
    if (!img.EncodeToMemory(&buf, &len, RASTER_FORMAT_BMP)) std::abort();
    CRasterImage again;
    if (!again.DecodeFromMemory(buf, (DWORD)len, RASTER_FORMAT_UNKNOWN)) std::abort();
    std::free(buf);
    if (!SamePixels(img, again)) std::abort();
    return 0;
}
