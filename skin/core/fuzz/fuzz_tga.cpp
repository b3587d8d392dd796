// TGA reader under libFuzzer: any bytes must fail cleanly or give a picture that survives a
// write and a second read unchanged, alpha included.
#include "ImageCodecs.h"
#include "SkinFile.h"

#include <cstdlib>
#include <cstring>

static bool SamePixels(const CRasterImage& a, const CRasterImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp() ||
        a.HasAlpha() != b.HasAlpha())
        return false;
    for (DWORD y = 0; y < a.GetHeight(); ++y) {
        if (std::memcmp(a.GetBits(y), b.GetBits(y), a.GetWidth() * a.GetBpp() / 8) != 0) return false;
        for (DWORD x = 0; a.HasAlpha() && x < a.GetWidth(); ++x)
            if (a.AlphaGet((LONG)x, (LONG)y) != b.AlphaGet((LONG)x, (LONG)y)) return false;
    }
    return a.GetPaletteSize() == 0 || std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize()) == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As a skin takes pictures: over its budget they are refused from the header.
    if (CRasterImage::DecodedSizeOf(data, (DWORD)size, RASTER_FORMAT_TGA) > CSkinFile::kPictureBudget)
        return 0;
    CRasterImage img;
    if (!img.DecodeFromMemory(data, (DWORD)size, RASTER_FORMAT_TGA)) {
        if (img.IsValid() || img.GetLastError()[0] == '\0') std::abort();  // failure must say why
        return 0;
    }
    BYTE* buf = nullptr;
    LONG len = 0;
    if (!img.EncodeToMemory(&buf, &len, RASTER_FORMAT_TGA)) std::abort();
    CRasterImage again;
    if (!again.DecodeFromMemory(buf, (DWORD)len, RASTER_FORMAT_TGA)) std::abort();
    std::free(buf);
    if (!SamePixels(img, again)) std::abort();
    return 0;
}
