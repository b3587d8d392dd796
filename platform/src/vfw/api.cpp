// The AVI file and stream functions over the clip reader, frame readers that hand out packed
// bitmaps, and DrawDibDraw; all objects are handles of one table, checked on every call.
#include "vfw/api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "core/handles.h"
#include "kernel/modules.h"
#include "vfw.h"
#include "vfw/clip.h"

namespace plat::vfw {
namespace {

constexpr size_t kMaxFileBytes = size_t(256) << 20;

enum class Kind { File, Stream, Frames, DrawDib };

struct Object {
    Kind kind;
    std::shared_ptr<const Clip> clip;
    int refs = 1;
    // A frame reader's decoder and the packed bitmap it hands out; one caller at a time.
    std::mutex lock;
    std::unique_ptr<FrameDecoder> decoder;
    std::vector<uint8_t> packed;
    uint16_t out_bits = 0;  // 0: the clip's own depth
};

HandleTable<Object>& Objects() {
    static auto* t = new HandleTable<Object>(HandleKind::Other);
    return *t;
}

template <class H>
H Add(Kind kind, std::shared_ptr<const Clip> clip) {
    auto o = std::make_shared<Object>();
    o->kind = kind;
    o->clip = std::move(clip);
    return Objects().Add<H>(o);
}

std::shared_ptr<Object> Get(const void* h, Kind kind) {
    std::shared_ptr<Object> o = Objects().Get(h);
    return o && o->kind == kind ? o : nullptr;
}

ULONG AddRef(const void* h, Kind kind) {
    Guard g(GlobalLock());
    Object* o = Objects().GetRaw(h);
    if (!o || o->kind != kind) return 0;
    return ULONG(++o->refs);
}

ULONG Release(const void* h, Kind kind) {
    Guard g(GlobalLock());
    Object* o = Objects().GetRaw(h);
    if (!o || o->kind != kind) return 0;
    if (--o->refs > 0) return ULONG(o->refs);
    Objects().Remove(h);
    return 0;
}

bool ReadFile(const char* path, std::vector<uint8_t>* out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes.size() + n > kMaxFileBytes) break;
        bytes.insert(bytes.end(), buf, buf + n);
    }
    bool ok = !std::ferror(f) && bytes.size() <= kMaxFileBytes;
    std::fclose(f);
    *out = std::move(bytes);
    return ok;
}

uint32_t PutFormat(const Clip& clip, uint16_t bits, std::vector<uint8_t>* out) {
    out->assign(clip.format.begin(), clip.format.end());
    uint32_t rgb = 0;
    std::memcpy(out->data() + 16, &rgb, 4);  // frames are handed out decoded
    if (bits == 0 || bits == clip.bit_count) return uint32_t(out->size());
    // Converted frames are true colour: no palette, the depth asked for.
    out->resize(40);
    uint16_t b = bits;
    uint32_t stride = (uint32_t(clip.width) * bits + 31) / 32 * 4;
    uint32_t image = stride * uint32_t(clip.height), none = 0;
    std::memcpy(out->data() + 14, &b, 2);
    std::memcpy(out->data() + 20, &image, 4);
    std::memcpy(out->data() + 32, &none, 4);
    return 40;
}

void Convert(const Clip& clip, const uint8_t* src, uint16_t bits, uint8_t* dst) {
    size_t in_stride = RowStride(clip), out_stride = (size_t(clip.width) * bits + 31) / 32 * 4;
    for (int y = 0; y < clip.height; ++y) {
        const uint8_t* row = src + size_t(y) * in_stride;
        uint8_t* out = dst + size_t(y) * out_stride;
        for (int x = 0; x < clip.width; ++x) {
            uint8_t bgr[3];
            PixelAt(clip, row, x, bgr);
            uint8_t* p = out + size_t(x) * (bits / 8);
            std::memcpy(p, bgr, 3);
            if (bits == 32) p[3] = 0;
        }
    }
}

// The frame's stream-relative number from a position counted from the stream's start.
bool FrameIndex(const Clip& clip, LONG pos, uint32_t* n) {
    long long rel = (long long)pos - clip.start;
    if (rel < 0 || rel >= (long long)clip.frames.size()) return false;
    *n = uint32_t(rel);
    return true;
}

}  // namespace
}  // namespace plat::vfw

using namespace plat::vfw;

extern "C" {

void WINAPI AVIFileInit(void) {}
void WINAPI AVIFileExit(void) {}

HRESULT WINAPI AVIFileOpenA(PAVIFILE* file, LPCSTR path, UINT mode, const CLSID*) {
    if (!file) return AVIERR_BADPARAM;
    *file = nullptr;
    if (!path) return AVIERR_BADPARAM;
    if (mode & (OF_WRITE | OF_READWRITE | OF_CREATE)) return AVIERR_READONLY;
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, &bytes)) return AVIERR_FILEOPEN;
    auto clip = std::make_shared<Clip>();
    if (!ParseClip(std::move(bytes), clip.get(), nullptr)) return AVIERR_BADFORMAT;
    *file = Add<PAVIFILE>(Kind::File, std::move(clip));
    return AVIERR_OK;
}

ULONG WINAPI AVIFileAddRef(PAVIFILE file) { return AddRef(file, Kind::File); }
ULONG WINAPI AVIFileRelease(PAVIFILE file) { return Release(file, Kind::File); }

HRESULT WINAPI AVIFileInfoA(PAVIFILE file, LPAVIFILEINFOA info, LONG size) {
    auto o = Get(file, Kind::File);
    if (!o) return AVIERR_BADHANDLE;
    if (!info || size < LONG(sizeof(AVIFILEINFOA))) return AVIERR_BADSIZE;
    const Clip& c = *o->clip;
    *info = AVIFILEINFOA{};
    info->dwMaxBytesPerSec = c.max_bytes_per_sec;
    info->dwFlags = c.flags & (AVIFILEINFO_HASINDEX | AVIFILEINFO_MUSTUSEINDEX | AVIFILEINFO_ISINTERLEAVED);
    info->dwCaps = AVIFILECAPS_CANREAD;
    info->dwStreams = std::max<uint32_t>(c.streams, 1);
    info->dwSuggestedBufferSize = c.suggested_buffer;
    info->dwWidth = DWORD(c.width);
    info->dwHeight = DWORD(c.height);
    info->dwScale = c.scale;
    info->dwRate = c.rate;
    info->dwLength = c.length;
    std::snprintf(info->szFileType, sizeof info->szFileType, "AVI");
    return AVIERR_OK;
}

// Only the file's video stream is there to be had: type streamtypeVIDEO (or 0), index 0.
HRESULT WINAPI AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD type, LONG index) {
    if (!stream) return AVIERR_BADPARAM;
    *stream = nullptr;
    auto o = Get(file, Kind::File);
    if (!o) return AVIERR_BADHANDLE;
    if ((type != 0 && type != streamtypeVIDEO) || index != 0) return AVIERR_NODATA;
    *stream = Add<PAVISTREAM>(Kind::Stream, o->clip);
    return AVIERR_OK;
}

ULONG WINAPI AVIStreamAddRef(PAVISTREAM stream) { return AddRef(stream, Kind::Stream); }
ULONG WINAPI AVIStreamRelease(PAVISTREAM stream) { return Release(stream, Kind::Stream); }

HRESULT WINAPI AVIStreamInfoA(PAVISTREAM stream, LPAVISTREAMINFOA info, LONG size) {
    auto o = Get(stream, Kind::Stream);
    if (!o) return AVIERR_BADHANDLE;
    if (!info || size < LONG(sizeof(AVISTREAMINFOA))) return AVIERR_BADSIZE;
    const Clip& c = *o->clip;
    *info = AVISTREAMINFOA{};
    info->fccType = streamtypeVIDEO;
    info->fccHandler = c.handler;
    info->dwFlags = c.stream_flags;
    info->dwScale = c.scale;
    info->dwRate = c.rate;
    info->dwStart = c.start;
    info->dwLength = c.length;
    info->dwSuggestedBufferSize = c.suggested_buffer;
    info->dwQuality = c.quality;
    info->dwSampleSize = c.sample_size;
    info->rcFrame = RECT{0, 0, c.width, c.height};
    std::snprintf(info->szName, sizeof info->szName, "video");
    return AVIERR_OK;
}

LONG WINAPI AVIStreamStart(PAVISTREAM stream) {
    auto o = Get(stream, Kind::Stream);
    return o ? LONG(o->clip->start) : -1;
}

LONG WINAPI AVIStreamLength(PAVISTREAM stream) {
    auto o = Get(stream, Kind::Stream);
    return o ? LONG(o->clip->length) : -1;
}

HRESULT WINAPI AVIStreamReadFormat(PAVISTREAM stream, LONG, LPVOID format, LONG* size) {
    auto o = Get(stream, Kind::Stream);
    if (!o) return AVIERR_BADHANDLE;
    if (!size) return AVIERR_BADPARAM;
    const std::vector<uint8_t>& f = o->clip->format;
    LONG have = *size;
    *size = LONG(f.size());
    if (!format) return AVIERR_OK;
    if (have <= 0) return AVIERR_BUFFERTOOSMALL;
    std::memcpy(format, f.data(), std::min(size_t(have), f.size()));
    return size_t(have) < f.size() ? AVIERR_BUFFERTOOSMALL : AVIERR_OK;
}

// One frame's stored bytes; with no buffer, only its size.
HRESULT WINAPI AVIStreamRead(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG buffer_size, LONG* bytes,
                             LONG* samples_read) {
    if (bytes) *bytes = 0;
    if (samples_read) *samples_read = 0;
    auto o = Get(stream, Kind::Stream);
    if (!o) return AVIERR_BADHANDLE;
    uint32_t n;
    if (samples == 0 || !FrameIndex(*o->clip, start, &n)) return AVIERR_NODATA;
    const FrameChunk& fc = o->clip->frames[n];
    if (bytes) *bytes = LONG(fc.size);
    if (!buffer) {
        if (samples_read) *samples_read = 1;
        return AVIERR_OK;
    }
    if (buffer_size < 0 || size_t(buffer_size) < fc.size) return AVIERR_BUFFERTOOSMALL;
    std::memcpy(buffer, o->clip->bytes.data() + fc.offset, fc.size);
    if (samples_read) *samples_read = 1;
    return AVIERR_OK;
}

// Frames come in the clip's own depth, or as 24- or 32-bit true colour when asked for.
PGETFRAME WINAPI AVIStreamGetFrameOpen(PAVISTREAM stream, LPBITMAPINFOHEADER wanted) {
    auto o = Get(stream, Kind::Stream);
    if (!o) return nullptr;
    uint16_t bits = 0;
    bool best = wanted == reinterpret_cast<LPBITMAPINFOHEADER>(uintptr_t(AVIGETFRAMEF_BESTDISPLAYFMT));
    if (wanted && !best) {
        if (wanted->biCompression != BI_RGB) return nullptr;
        bits = wanted->biBitCount;
        if (bits != 24 && bits != 32 && bits != o->clip->bit_count) return nullptr;
    }
    if (best) bits = 32;
    PGETFRAME h = Add<PGETFRAME>(Kind::Frames, o->clip);
    auto f = Get(h, Kind::Frames);
    f->decoder = std::make_unique<FrameDecoder>(*f->clip);
    f->out_bits = bits;
    return h;
}

LPVOID WINAPI AVIStreamGetFrame(PGETFRAME frames, LONG pos) {
    auto o = Get(frames, Kind::Frames);
    if (!o) return nullptr;
    std::lock_guard<std::mutex> hold(o->lock);
    const Clip& c = *o->clip;
    uint32_t n;
    if (!FrameIndex(c, pos, &n)) return nullptr;
    const uint8_t* pixels = o->decoder->Frame(n);
    if (!pixels) return nullptr;
    uint32_t head = PutFormat(c, o->out_bits, &o->packed);
    uint16_t bits = o->out_bits ? o->out_bits : c.bit_count;
    size_t image = (size_t(c.width) * bits + 31) / 32 * 4 * size_t(c.height);
    o->packed.resize(head + image);
    if (bits == c.bit_count) std::memcpy(o->packed.data() + head, pixels, image);
    else Convert(c, pixels, bits, o->packed.data() + head);
    return o->packed.data();
}

HRESULT WINAPI AVIStreamGetFrameClose(PGETFRAME frames) {
    if (!Get(frames, Kind::Frames)) return AVIERR_BADHANDLE;
    Objects().Remove(frames);
    return AVIERR_OK;
}

HDRAWDIB WINAPI DrawDibOpen(void) { return Add<HDRAWDIB>(Kind::DrawDib, nullptr); }

BOOL WINAPI DrawDibClose(HDRAWDIB hdd) {
    if (!Get(hdd, Kind::DrawDib)) return FALSE;
    Objects().Remove(hdd);
    return TRUE;
}

BOOL WINAPI DrawDibDraw(HDRAWDIB hdd, HDC dc, int x, int y, int cx, int cy, LPBITMAPINFOHEADER header, LPVOID bits,
                        int src_x, int src_y, int src_cx, int src_cy, UINT flags) {
    if (!Get(hdd, Kind::DrawDib) || !header || header->biSize < 40) return FALSE;
    if (flags & DDF_DONTDRAW) return TRUE;
    int w = header->biWidth, h = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    if (w <= 0 || h <= 0 || w > kMaxDimension || h > kMaxDimension) return FALSE;
    DWORD colours = header->biBitCount <= 8 ? (header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount) : 0;
    colours = std::min<DWORD>(colours, 256);
    const uint8_t* data = bits ? static_cast<const uint8_t*>(bits)
                               : reinterpret_cast<const uint8_t*>(header) + header->biSize + colours * 4;
    // The DIB's header and palette as one block, for the drawing layer.
    std::vector<uint8_t> info(40 + colours * 4);
    std::memcpy(info.data(), header, 40);
    std::memcpy(info.data() + 40, reinterpret_cast<const uint8_t*>(header) + header->biSize, colours * 4);
    auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    bi->biSize = 40;
    std::vector<uint8_t> unpacked;
    if (header->biCompression == BI_RLE8) {
        if (header->biBitCount != 8 || header->biHeight < 0) return FALSE;
        size_t stride = (size_t(w) + 3) / 4 * 4;
        unpacked.assign(stride * size_t(h), 0);
        DecodeRle8(data, header->biSizeImage, unpacked.data(), stride, w, h);
        data = unpacked.data();
        bi->biCompression = BI_RGB;
        bi->biSizeImage = DWORD(unpacked.size());
    } else if (header->biCompression != BI_RGB) {
        return FALSE;
    }
    if (src_cx < 0) src_cx = w;
    if (src_cy < 0) src_cy = h;
    if (cx < 0) cx = src_cx;
    if (cy < 0) cy = src_cy;
    return StretchDIBits(dc, x, y, cx, cy, src_x, src_y, src_cx, src_cy, data, reinterpret_cast<BITMAPINFO*>(bi),
                         DIB_RGB_COLORS, SRCCOPY) != 0;
}

}  // extern "C"

namespace plat::vfw {

void RegisterVideoModules() {
    // Through void*: each entry keeps its own type, and callers cast it back to that type.
    auto proc = [](auto f) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f)); };
    kernel::RegisterBuiltinModule(
        {"avifil32"},
        {{"AVIFileInit", proc(&AVIFileInit)}, {"AVIFileExit", proc(&AVIFileExit)},
         {"AVIFileOpenA", proc(&AVIFileOpenA)}, {"AVIFileOpen", proc(&AVIFileOpenA)},
         {"AVIFileAddRef", proc(&AVIFileAddRef)}, {"AVIFileRelease", proc(&AVIFileRelease)},
         {"AVIFileInfoA", proc(&AVIFileInfoA)}, {"AVIFileInfo", proc(&AVIFileInfoA)},
         {"AVIFileGetStream", proc(&AVIFileGetStream)}, {"AVIStreamAddRef", proc(&AVIStreamAddRef)},
         {"AVIStreamRelease", proc(&AVIStreamRelease)}, {"AVIStreamInfoA", proc(&AVIStreamInfoA)},
         {"AVIStreamInfo", proc(&AVIStreamInfoA)}, {"AVIStreamStart", proc(&AVIStreamStart)},
         {"AVIStreamLength", proc(&AVIStreamLength)}, {"AVIStreamReadFormat", proc(&AVIStreamReadFormat)},
         {"AVIStreamRead", proc(&AVIStreamRead)}, {"AVIStreamGetFrameOpen", proc(&AVIStreamGetFrameOpen)},
         {"AVIStreamGetFrame", proc(&AVIStreamGetFrame)}, {"AVIStreamGetFrameClose", proc(&AVIStreamGetFrameClose)}});
    kernel::RegisterBuiltinModule({"msvfw32"}, {{"DrawDibOpen", proc(&DrawDibOpen)},
                                                {"DrawDibClose", proc(&DrawDibClose)},
                                                {"DrawDibDraw", proc(&DrawDibDraw)}});
}

}  // namespace plat::vfw
