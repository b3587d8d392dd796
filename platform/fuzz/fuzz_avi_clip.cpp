// The AVI clip reader under libFuzzer: any bytes are refused or give a clip whose frames all
// lie inside the bytes and decode, in order and out of it, without a write outside the frame.
// RLE8 data is also decoded on its own into a picture with guard bytes around it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vfw/clip.h"

using namespace plat::vfw;

static void Check(bool ok) {
    if (!ok) std::abort();
}

static void RleAlone(const uint8_t* data, size_t size) {
    if (size < 2) return;
    int w = 1 + data[0] % 40, h = 1 + data[1] % 20;
    size_t stride = (size_t(w) + 3) / 4 * 4, guard = 64;
    std::vector<uint8_t> buf(stride * size_t(h) + 2 * guard, 0xA5);
    DecodeRle8(data + 2, size - 2, buf.data() + guard, stride, w, h);
    for (size_t k = 0; k < guard; ++k) Check(buf[k] == 0xA5 && buf[buf.size() - 1 - k] == 0xA5);
    // The padding at the end of each row is never written either.
    for (int y = 0; y < h; ++y)
        for (size_t x = size_t(w); x < stride; ++x) Check(buf[guard + size_t(y) * stride + x] == 0xA5);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RleAlone(data, size);
    Clip clip;
    if (!ParseClip(std::vector<uint8_t>(data, data + size), &clip, nullptr)) return 0;
    Check(clip.width > 0 && clip.width <= kMaxDimension && clip.height > 0 && clip.height <= kMaxDimension);
    Check(!clip.frames.empty() && clip.frames.size() <= kMaxFrames && clip.length == clip.frames.size());
    Check(clip.format.size() == 40 + size_t(clip.palette_size) * 4);
    for (const FrameChunk& f : clip.frames) Check(f.offset <= clip.bytes.size() && f.size <= clip.bytes.size() - f.offset);
    FrameDecoder dec(clip);
    size_t n = clip.frames.size();
    // Forward through the first frames, then a jump back and one to the end.
    for (uint32_t k = 0; k < n && k < 32; ++k) Check(dec.Frame(k) != nullptr);
    Check(dec.Frame(uint32_t(n / 2)) != nullptr);
    Check(dec.Frame(uint32_t(n - 1)) != nullptr);
    Check(dec.Frame(uint32_t(n)) == nullptr);
    return 0;
}
