// The RIFF AVI reader and the frame decoder.
#include "vfw/clip.h"

#include <algorithm>
#include <cstring>

namespace plat::vfw {
namespace {

constexpr uint32_t kKeyFrame = 0x10;  // an index entry's key-frame flag

uint32_t Fourcc(const char* s) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// Little-endian reads within [begin, end) of the clip's bytes; out of range reads give 0 and
// mark the reader as failed, so a short structure is caught at one check.
struct Reader {
    const std::vector<uint8_t>& b;
    bool ok = true;
    uint32_t U32(size_t at) {
        if (at > b.size() || b.size() - at < 4) return ok = false, 0;
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
    }
    uint16_t U16(size_t at) {
        if (at > b.size() || b.size() - at < 2) return ok = false, 0;
        return uint16_t(b[at] | b[at + 1] << 8);
    }
};

struct Chunk {
    uint32_t id = 0;
    size_t data = 0;  // first byte of the chunk's data
    size_t size = 0;  // its size as stored, cut to what the bytes hold
};

// Calls f for every chunk in [begin, end); stops at a chunk whose header does not fit.
template <class F>
void ForEachChunk(Reader& r, size_t begin, size_t end, F f) {
    size_t at = begin;
    while (at + 8 <= end) {
        Chunk c;
        c.id = r.U32(at);
        uint32_t size = r.U32(at + 4);
        c.data = at + 8;
        c.size = std::min<size_t>(size, end - c.data);
        if (!f(c)) return;
        size_t next = c.data + size_t(size) + (size & 1);
        if (next <= at || next > end) return;  // the last chunk, or one that claims past the end
        at = next;
    }
}

struct Found {
    bool main = false, video = false;
    int video_index = -1;
    size_t movi = 0, movi_end = 0;  // the 'movi' fourcc's place and the list's end
    bool has_movi = false;
    size_t idx = 0, idx_size = 0;
    bool has_idx = false;
};

void ReadMainHeader(Reader& r, const Chunk& c, Clip* clip, Found* f) {
    if (c.size < 40) return;
    clip->usec_per_frame = r.U32(c.data);
    clip->max_bytes_per_sec = r.U32(c.data + 4);
    clip->flags = r.U32(c.data + 12);
    clip->total_frames = r.U32(c.data + 16);
    clip->streams = r.U32(c.data + 24);
    clip->suggested_buffer = r.U32(c.data + 28);
    f->main = true;
}

bool ReadStreamHeader(Reader& r, const Chunk& c, Clip* clip) {
    if (c.size < 48 || r.U32(c.data) != Fourcc("vids")) return false;
    clip->handler = r.U32(c.data + 4);
    clip->stream_flags = r.U32(c.data + 8);
    clip->scale = r.U32(c.data + 20);
    clip->rate = r.U32(c.data + 24);
    clip->start = r.U32(c.data + 28);
    clip->length = r.U32(c.data + 32);
    clip->quality = r.U32(c.data + 40);
    clip->sample_size = r.U32(c.data + 44);
    if (c.size >= 56)
        for (int k = 0; k < 4; ++k) clip->frame_rect[k] = int16_t(r.U16(c.data + 48 + 2 * size_t(k)));
    return true;
}

// The format: a bitmap header of at least 40 bytes, then as much of its palette as is there.
bool ReadFormat(Reader& r, const Chunk& c, Clip* clip, std::string* why) {
    uint32_t header = r.U32(c.data);
    if (c.size < 40 || header < 40 || header > c.size) return *why = "the video format is too short", false;
    int32_t w = int32_t(r.U32(c.data + 4)), h = int32_t(r.U32(c.data + 8));
    clip->bit_count = r.U16(c.data + 14);
    clip->compression = r.U32(c.data + 16);
    uint32_t used = r.U32(c.data + 32);
    if (w <= 0 || w > kMaxDimension || h == 0 || h < -kMaxDimension || h > kMaxDimension)
        return *why = "the frame size is out of range", false;
    bool rgb = clip->compression == kCompressionRgb &&
               (clip->bit_count == 8 || clip->bit_count == 16 || clip->bit_count == 24 || clip->bit_count == 32);
    bool rle = clip->compression == kCompressionRle8 && clip->bit_count == 8 && h > 0;
    if (!rgb && !rle) return *why = "the frames are neither uncompressed nor RLE8", false;
    clip->width = w;
    clip->height = h < 0 ? -h : h;
    clip->top_down = h < 0;
    uint32_t entries = clip->bit_count <= 8 ? (used ? std::min<uint32_t>(used, 256) : 256u) : 0;
    entries = std::min<uint32_t>(entries, uint32_t((c.size - header) / 4));
    clip->palette_size = entries;
    clip->format.assign(40 + entries * 4, 0);
    std::memcpy(clip->format.data(), &clip->bytes[c.data], 40);
    std::memcpy(clip->format.data() + 40, &clip->bytes[c.data + header], entries * 4);
    // Stored as this reader hands it out: a 40-byte header of a bottom-up picture.
    auto put = [&](size_t at, uint32_t v) { std::memcpy(clip->format.data() + at, &v, 4); };
    put(0, 40);
    put(8, uint32_t(clip->height));
    put(20, uint32_t(FrameBytes(*clip)));
    put(32, entries);
    return true;
}

bool ReadHeaderList(Reader& r, const Chunk& list, Clip* clip, Found* f, std::string* why) {
    bool failed = false;
    int stream = 0;
    ForEachChunk(r, list.data + 4, list.data + list.size, [&](const Chunk& c) {
        if (c.id == Fourcc("avih")) ReadMainHeader(r, c, clip, f);
        if (c.id != Fourcc("LIST") || c.size < 4 || r.U32(c.data) != Fourcc("strl")) return true;
        bool video = false;
        ForEachChunk(r, c.data + 4, c.data + c.size, [&](const Chunk& s) {
            if (s.id == Fourcc("strh") && !f->video) video = ReadStreamHeader(r, s, clip);
            if (s.id == Fourcc("strf") && video && !f->video) {
                if (!ReadFormat(r, s, clip, why)) failed = true;
                f->video = !failed;
                f->video_index = stream;
            }
            return !failed;
        });
        ++stream;
        return !failed && !f->video;
    });
    return !failed;
}

bool Scan(Reader& r, Clip* clip, Found* f, std::string* why) {
    const std::vector<uint8_t>& b = clip->bytes;
    if (b.size() < 12 || r.U32(0) != Fourcc("RIFF") || r.U32(8) != Fourcc("AVI ")) return *why = "not an AVI file", false;
    size_t end = std::min<size_t>(b.size(), size_t(r.U32(4)) + 8);
    bool ok = true;
    ForEachChunk(r, 12, end, [&](const Chunk& c) {
        if (c.id == Fourcc("LIST") && c.size >= 4) {
            uint32_t type = r.U32(c.data);
            if (type == Fourcc("hdrl") && !f->video) ok = ReadHeaderList(r, c, clip, f, why);
            if (type == Fourcc("movi") && !f->has_movi) {
                f->has_movi = true;
                f->movi = c.data;
                f->movi_end = c.data + c.size;
            }
        }
        if (c.id == Fourcc("idx1") && !f->has_idx) {
            f->has_idx = true;
            f->idx = c.data;
            f->idx_size = c.size;
        }
        return ok;
    });
    if (!ok) return false;
    if (!f->video) return *why = "no video stream", false;
    if (!f->has_movi) return *why = "no frames", false;
    return true;
}

// The chunk ids of the video stream's frames: "NNdb" and "NNdc" with its two-digit number.
bool IsFrameId(uint32_t id, int stream) {
    char d0 = char('0' + stream / 10 % 10), d1 = char('0' + stream % 10);
    char want[5] = {d0, d1, 'd', 'b', 0};
    if (id == Fourcc(want)) return true;
    want[3] = 'c';
    return id == Fourcc(want);
}

void FramesFromIndex(Reader& r, Clip* clip, const Found& f) {
    size_t count = f.idx_size / 16;
    for (size_t k = 0; k < count && clip->frames.size() < kMaxFrames; ++k) {
        size_t e = f.idx + k * 16;
        uint32_t id = r.U32(e), flags = r.U32(e + 4), offset = r.U32(e + 8), size = r.U32(e + 12);
        if (!IsFrameId(id, f.video_index)) continue;
        // Offsets count from the 'movi' fourcc in most files and from the file's start in some.
        size_t chunk = f.movi + size_t(offset);
        if (!(chunk >= f.movi && chunk + 8 <= f.movi_end && r.U32(chunk) == id)) chunk = size_t(offset);
        if (chunk < f.movi || chunk > f.movi_end || f.movi_end - chunk < 8 || r.U32(chunk) != id) continue;
        FrameChunk fc;
        fc.offset = chunk + 8;
        fc.size = std::min<size_t>({size_t(size), size_t(r.U32(chunk + 4)), f.movi_end - fc.offset});
        fc.key = (flags & kKeyFrame) != 0;
        clip->frames.push_back(fc);
    }
}

void FramesFromList(Reader& r, Clip* clip, size_t begin, size_t end, int stream, int depth) {
    ForEachChunk(r, begin, end, [&](const Chunk& c) {
        if (clip->frames.size() >= kMaxFrames) return false;
        if (c.id == Fourcc("LIST") && c.size >= 4 && depth < 4) FramesFromList(r, clip, c.data + 4, c.data + c.size, stream, depth + 1);
        if (IsFrameId(c.id, stream)) clip->frames.push_back(FrameChunk{c.data, c.size, clip->frames.empty()});
        return true;
    });
}

}  // namespace

size_t RowStride(const Clip& clip) { return (size_t(clip.width) * clip.bit_count + 31) / 32 * 4; }
size_t FrameBytes(const Clip& clip) { return RowStride(clip) * size_t(clip.height); }

bool ParseClip(std::vector<uint8_t> bytes, Clip* out, std::string* why) {
    std::string ignored;
    if (!why) why = &ignored;
    *out = Clip{};
    out->bytes = std::move(bytes);
    Reader r{out->bytes};
    Found f;
    if (!Scan(r, out, &f, why)) return false;
    if (f.has_idx) FramesFromIndex(r, out, f);
    if (out->frames.empty()) FramesFromList(r, out, f.movi + 4, f.movi_end, f.video_index, 0);
    if (out->frames.empty()) return *why = "no frames", false;
    // Uncompressed frames stand alone, whatever the index says.
    if (out->compression == kCompressionRgb)
        for (FrameChunk& fc : out->frames) fc.key = fc.size > 0;
    out->frames.front().key = true;
    out->length = uint32_t(out->frames.size());
    return true;
}

bool DecodeRle8(const uint8_t* src, size_t size, uint8_t* dst, size_t stride, int width, int height) {
    size_t i = 0;
    long x = 0, y = 0;  // y counts from the bottom row, as the rows are stored
    auto put = [&](uint8_t v) {
        if (x >= 0 && x < width && y >= 0 && y < height) dst[size_t(y) * stride + size_t(x)] = v;
        ++x;
    };
    while (i + 2 <= size) {
        uint8_t count = src[i], value = src[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < width; ++k) put(value);
            continue;
        }
        switch (value) {
            case 0: x = 0; ++y; break;   // end of row
            case 1: return true;        // end of picture
            case 2:                      // move right and up
                if (i + 2 > size) return false;
                x += src[i];
                y += src[i + 1];
                i += 2;
                break;
            default: {                   // `value` pixels as they stand, padded to a word
                size_t n = value;
                if (size - i < n) return false;
                for (size_t k = 0; k < n; ++k) put(src[i + k]);
                i += n + (n & 1);
                break;
            }
        }
        if (y >= height) return true;  // past the top row nothing more can be drawn
    }
    return false;
}

void PixelAt(const Clip& clip, const uint8_t* row, int x, uint8_t bgr[3]) {
    switch (clip.bit_count) {
        case 8: {
            uint8_t i = row[x];
            const uint8_t* p = clip.format.data() + 40 + size_t(i) * 4;
            bool there = i < clip.palette_size;
            for (int k = 0; k < 3; ++k) bgr[k] = there ? p[k] : 0;
            return;
        }
        case 16: {
            uint16_t v = uint16_t(row[2 * x] | row[2 * x + 1] << 8);
            bgr[0] = uint8_t((v & 0x1F) << 3);
            bgr[1] = uint8_t(((v >> 5) & 0x1F) << 3);
            bgr[2] = uint8_t(((v >> 10) & 0x1F) << 3);
            return;
        }
        default: {
            const uint8_t* p = row + size_t(x) * (clip.bit_count / 8);
            bgr[0] = p[0];
            bgr[1] = p[1];
            bgr[2] = p[2];
        }
    }
}

bool FrameDecoder::Apply(uint32_t n) {
    const FrameChunk& fc = clip_.frames[n];
    const uint8_t* src = clip_.bytes.data() + fc.offset;
    if (clip_.compression == kCompressionRle8) {
        DecodeRle8(src, fc.size, pixels_.data(), RowStride(clip_), clip_.width, clip_.height);
        return true;
    }
    size_t stride = RowStride(clip_);
    for (size_t row = 0; row < size_t(clip_.height); ++row) {
        size_t from = row * stride;
        if (from >= fc.size) break;  // a short frame changes only the rows it holds
        size_t dst_row = clip_.top_down ? size_t(clip_.height) - 1 - row : row;
        std::memcpy(&pixels_[dst_row * stride], src + from, std::min(stride, fc.size - from));
    }
    return true;
}

const uint8_t* FrameDecoder::Frame(uint32_t n) {
    if (n >= clip_.frames.size()) return nullptr;
    if (pixels_.size() != FrameBytes(clip_)) {
        pixels_.assign(FrameBytes(clip_), 0);
        have_ = -1;
    }
    if (have_ == int64_t(n)) return pixels_.data();
    uint32_t from = n;
    if (!(have_ >= 0 && int64_t(n) == have_ + 1)) {
        while (from > 0 && !clip_.frames[from].key) --from;
        std::fill(pixels_.begin(), pixels_.end(), uint8_t(0));
    }
    for (uint32_t k = from; k <= n; ++k) Apply(k);
    have_ = n;
    return pixels_.data();
}

}  // namespace plat::vfw
