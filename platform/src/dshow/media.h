// What the media layer's objects share: opening a file and its decoders, and turning a
// decoded picture into the BGRA pixels the window system draws.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "dshow.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace plat::dshow {

constexpr int64_t kUnitsPerSecond = 10000000;  // media time is in 100-ns units

// A new object's interface `iid` in *out: the one reference the caller gets.
template <class Object>
HRESULT NewObject(REFIID iid, void** out) {
    auto* o = new (std::nothrow) Object();
    if (!o) return E_OUTOFMEMORY;
    HRESULT hr = o->QueryInterface(iid, out);
    o->Release();  // the object's own first reference
    return hr;
}

// A file name the program passed as a wide string, as the file system takes it.
std::string Utf8FromWide(LPCWSTR w);

// Opens a file and reads its stream information: S_OK with *out set, VFW_E_NOT_FOUND,
// VFW_E_UNKNOWN_FILE_TYPE or VFW_E_INVALID_FILE_FORMAT. Only the file protocol is allowed, so
// that no name with a colon is read as some other protocol.
HRESULT OpenMediaFile(const std::string& path, AVFormatContext** out);

// A decoder for stream `index`, or null when none opens (for video, also when the stream's
// pictures have no size).
AVCodecContext* OpenStreamDecoder(const AVFormatContext* fmt, int index);

// The file's own start time in 100-ns units, 0 when it has none: media times count from it.
int64_t StartUnits(const AVFormatContext* fmt);

// A stream timestamp as media time from the file's start; -1 for no timestamp.
int64_t ToMediaTime(const AVFormatContext* fmt, int64_t ts, AVRational tb);

// Scales a picture to w x h opaque BGRA, top-down, into *out. *cache keeps the scaler from
// call to call and *work its padded rows.
bool ToBgra(const AVFrame* f, int w, int h, SwsContext** cache, std::vector<uint32_t>* work,
            std::vector<uint32_t>* out);

}  // namespace plat::dshow
