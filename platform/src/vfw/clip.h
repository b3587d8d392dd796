// A RIFF AVI clip read from bytes: its first video stream's format, rate and frames, and the
// decoder that turns a frame (uncompressed or RLE8) into the rows of a bottom-up DIB. The
// bytes come from files nobody vouches for: every size, count and offset is checked against
// what is really there, and a clip that does not add up is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat::vfw {

struct FrameChunk {
    size_t offset = 0;  // of the frame's data within the clip's bytes
    size_t size = 0;
    bool key = true;
};

struct Clip {
    std::vector<uint8_t> bytes;  // the whole file
    // The main header's values.
    uint32_t usec_per_frame = 0, max_bytes_per_sec = 0, flags = 0, total_frames = 0, streams = 0;
    uint32_t suggested_buffer = 0;
    // The video stream's header.
    uint32_t handler = 0, stream_flags = 0, scale = 0, rate = 0, start = 0, length = 0, quality = 0;
    uint32_t sample_size = 0;
    int16_t frame_rect[4] = {};
    // Its format: a BITMAPINFOHEADER (40 bytes) and the palette after it, as stored.
    std::vector<uint8_t> format;
    int32_t width = 0, height = 0;  // height positive: the frames are bottom-up
    bool top_down = false;
    uint16_t bit_count = 0;
    uint32_t compression = 0;  // 0 uncompressed, 1 RLE8
    uint32_t palette_size = 0;  // entries stored after the header
    std::vector<FrameChunk> frames;
};

// Limits a clip must keep to be read at all.
constexpr int32_t kMaxDimension = 4096;
constexpr size_t kMaxFrames = 1u << 20;
constexpr uint32_t kCompressionRgb = 0, kCompressionRle8 = 1;

// Reads a clip; false with a reason when the bytes are not a clip this reader can play.
bool ParseClip(std::vector<uint8_t> bytes, Clip* out, std::string* why);

// Bytes per row of the decoded frame (rows padded to four bytes).
size_t RowStride(const Clip& clip);
// Size of a decoded frame: stride times height.
size_t FrameBytes(const Clip& clip);

// Pixel x of one decoded row, as blue, green and red (palette colours looked up).
void PixelAt(const Clip& clip, const uint8_t* row, int x, uint8_t bgr[3]);

// Decodes frames in order, keeping the last one: RLE8 frames may only change the previous
// picture, so a frame is built from the nearest key frame before it.
class FrameDecoder {
public:
    explicit FrameDecoder(const Clip& clip) : clip_(clip) {}
    // The bottom-up rows of frame n in the clip's own depth (8 bits for RLE8); null when n is
    // out of range. The pointer stays good until the next call.
    const uint8_t* Frame(uint32_t n);

private:
    bool Apply(uint32_t n);
    const Clip& clip_;
    std::vector<uint8_t> pixels_;
    int64_t have_ = -1;  // the frame pixels_ holds
};

// Decodes one RLE8 frame over `dst` (stride bytes a row, `height` rows, bottom-up); runs that
// reach past a row or the picture are cut where they leave it. False when the data ends
// before its end-of-picture code (what was drawn stays).
bool DecodeRle8(const uint8_t* src, size_t size, uint8_t* dst, size_t stride, int width, int height);

}  // namespace plat::vfw
