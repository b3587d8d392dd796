// BMP reader under libFuzzer: any bytes must fail cleanly or give a picture that survives a
// write and a second read unchanged.
#include "ImageCodecs.h"
#include "SkinFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

static bool SamePixels(const CRasterImage& a, const CRasterImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return false;
    for (DWORD y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetBits(y), b.GetBits(y), (a.GetWidth() * a.GetBpp() + 7) / 8) != 0)
            return false;
    return a.GetPaletteSize() == 0 || std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize()) == 0;
}

namespace {

// Clamps a little-endian dimension field of `bytes` bytes (signed when it has four) to at most
// kSide each way; the sign, which says which way the rows run, is kept.
constexpr int32_t kSide = 64;

void ClampDimension(uint8_t* field, int bytes) {
    if (bytes == 2) {
        const uint16_t v = uint16_t(field[0] | field[1] << 8);
        const uint16_t small = uint16_t(v % (kSide + 1));
        field[0] = uint8_t(small);
        field[1] = uint8_t(small >> 8);
        return;
    }
    uint32_t raw;
    std::memcpy(&raw, field, 4);
    const int32_t v = int32_t(raw);
    const int32_t small = v % (kSide + 1);
    raw = uint32_t(small);
    std::memcpy(field, &raw, 4);
}

}  // namespace

// Most mutants keep their picture small: decoding, writing and decoding again one the size of a
// skin's budget takes a large part of a second in this build, and a small picture goes through
// the same reader. One mutant in 16 keeps the dimensions the mutation gave, so large pictures,
// and the budget check that refuses larger ones, still come up, and the seeds run as they are.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size, unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, max_size);
    if (seed % 16 == 0) return size;
    // The info header follows the 14-byte file header, or starts the bytes of a bare one.
    const size_t at = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    if (size < at + 4) return size;
    const uint32_t headerSize = uint32_t(data[at] | data[at + 1] << 8 | data[at + 2] << 16) | uint32_t(data[at + 3]) << 24;
    if (headerSize == 12 && size >= at + 8) {
        ClampDimension(data + at + 4, 2);
        ClampDimension(data + at + 6, 2);
    } else if (size >= at + 12) {
        ClampDimension(data + at + 4, 4);
        ClampDimension(data + at + 8, 4);
    }
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A skin refuses a picture over its budget from the header alone; anything it would take
    // must decode quickly, however large.
    if (CRasterImage::DecodedSizeOf(data, (DWORD)size, RASTER_FORMAT_BMP) > CSkinFile::kPictureBudget)
        return 0;
    CRasterImage img;
    if (!img.DecodeFromMemory(data, (DWORD)size, RASTER_FORMAT_BMP)) {
        if (img.IsValid() || img.GetLastError()[0] == '\0') std::abort();  // failure must say why
        return 0;
    }
    BYTE* buf = nullptr;
    LONG len = 0;
    if (!img.EncodeToMemory(&buf, &len, RASTER_FORMAT_BMP)) std::abort();
    CRasterImage again;
    if (!again.DecodeFromMemory(buf, (DWORD)len, RASTER_FORMAT_UNKNOWN)) std::abort();
    std::free(buf);
    if (!SamePixels(img, again)) std::abort();
    return 0;
}
