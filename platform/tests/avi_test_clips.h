// Writes small AVI clips for tests: uncompressed or RLE8 frames given as bytes, with or without
// an index, and with any header field overridden so tests can make broken clips on purpose.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace avitest {

struct ClipSpec {
    int width = 4, height = 2;
    int bit_count = 24;
    uint32_t compression = 0;  // 0 uncompressed, 1 RLE8
    uint32_t rate = 10, scale = 1;
    uint32_t usec_per_frame = 100000;
    std::vector<uint32_t> palette;  // 0x00RRGGBB entries (8-bit clips)
    std::vector<std::vector<uint8_t>> frames;
    std::vector<bool> key;  // per frame; missing entries are key frames
    bool index = true;
    int height_sign = 1;    // -1 writes a top-down height
};

inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(v >> (8 * k)));
}
inline void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void PutId(std::vector<uint8_t>& b, const char* id) { b.insert(b.end(), id, id + 4); }

// A chunk: id, size, data, padding to an even length.
inline void PutChunk(std::vector<uint8_t>& b, const char* id, const std::vector<uint8_t>& data) {
    PutId(b, id);
    Put32(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
}
inline void PutList(std::vector<uint8_t>& b, const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> d;
    PutId(d, type);
    d.insert(d.end(), body.begin(), body.end());
    PutChunk(b, "LIST", d);
}

inline std::vector<uint8_t> MakeClip(const ClipSpec& s) {
    std::vector<uint8_t> avih, strh, strf, strl, hdrl, movi, idx;
    Put32(avih, s.usec_per_frame);
    Put32(avih, 0);
    Put32(avih, 0);
    Put32(avih, s.index ? 0x10 : 0);
    Put32(avih, uint32_t(s.frames.size()));
    Put32(avih, 0);
    Put32(avih, 1);
    Put32(avih, 0);
    Put32(avih, uint32_t(s.width));
    Put32(avih, uint32_t(s.height));
    for (int k = 0; k < 4; ++k) Put32(avih, 0);

    PutId(strh, "vids");
    PutId(strh, s.compression ? "mrle" : "DIB ");
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put32(strh, 0);
    Put32(strh, s.scale);
    Put32(strh, s.rate);
    Put32(strh, 0);
    Put32(strh, uint32_t(s.frames.size()));
    Put32(strh, 0);
    Put32(strh, uint32_t(-1));
    Put32(strh, 0);
    for (int k = 0; k < 4; ++k) Put16(strh, 0);

    Put32(strf, 40);
    Put32(strf, uint32_t(s.width));
    Put32(strf, uint32_t(s.height * s.height_sign));
    Put16(strf, 1);
    Put16(strf, uint16_t(s.bit_count));
    Put32(strf, s.compression);
    Put32(strf, 0);
    Put32(strf, 0);
    Put32(strf, 0);
    Put32(strf, uint32_t(s.palette.size()));
    Put32(strf, 0);
    for (uint32_t c : s.palette) Put32(strf, c);

    PutChunk(strl, "strh", strh);
    PutChunk(strl, "strf", strf);
    PutChunk(hdrl, "avih", avih);
    PutList(hdrl, "strl", strl);

    for (size_t k = 0; k < s.frames.size(); ++k) {
        uint32_t offset = uint32_t(movi.size() + 4);  // from the 'movi' fourcc
        PutChunk(movi, s.compression ? "00dc" : "00db", s.frames[k]);
        PutId(idx, s.compression ? "00dc" : "00db");
        bool key = k >= s.key.size() || s.key[k];
        Put32(idx, key ? 0x10 : 0);
        Put32(idx, offset);
        Put32(idx, uint32_t(s.frames[k].size()));
    }

    std::vector<uint8_t> body;
    PutId(body, "AVI ");
    PutList(body, "hdrl", hdrl);
    PutList(body, "movi", movi);
    if (s.index) PutChunk(body, "idx1", idx);
    std::vector<uint8_t> file;
    PutChunk(file, "RIFF", body);
    return file;
}

// An uncompressed 24-bit frame filled with one colour (0x00RRGGBB), bottom-up rows.
inline std::vector<uint8_t> SolidFrame24(int w, int h, uint32_t rgb) {
    size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> f(stride * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &f[size_t(y) * stride + size_t(x) * 3];
            p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
        }
    return f;
}

// A clip written to a file of its own for the length of a test.
struct ClipFile {
    std::string path;
    explicit ClipFile(const std::vector<uint8_t>& bytes) {
        char name[] = "/tmp/test-clip-XXXXXX";
        int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            ssize_t n = write(fd, bytes.data(), bytes.size());
            (void)n;
            close(fd);
        }
    }
    ~ClipFile() { unlink(path.c_str()); }
};

}  // namespace avitest
