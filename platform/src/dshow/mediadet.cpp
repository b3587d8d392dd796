// The media detector: the streams of a file, their types, formats and lengths, and pictures
// of its video stream at given times, grabbed by decoding from the key frame before them.
// One detector serves one thread at a time, as the system's own does.
#include "dshow/mediadet.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dshow/media.h"
#include "qedit.h"

namespace plat::dshow {
namespace {

// A media subtype for a four-character code, as the system builds them.
GUID FourccSubtype(uint32_t fourcc) {
    return GUID{fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
}

// A question's answer: E_POINTER without a place for it, E_UNEXPECTED before a file is loaded.
template <class T>
HRESULT Answer(T* out, bool ready, T value) {
    if (!out) return E_POINTER;
    if (!ready) return E_UNEXPECTED;
    *out = value;
    return S_OK;
}

// A 24-bit bottom-up DIB of w x h: its header, then rows padded to four bytes.
size_t DibSize(long w, long h) { return sizeof(BITMAPINFOHEADER) + size_t((w * 3 + 3) & ~3) * size_t(h); }

class MediaDet final : public IMediaDet {
public:
    ~MediaDet() { Close(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IMediaDet) return E_NOINTERFACE;
        *out = static_cast<IMediaDet*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    HRESULT STDMETHODCALLTYPE put_Filename(BSTR file) override;
    HRESULT STDMETHODCALLTYPE get_OutputStreams(long* count) override {
        return Answer(count, fmt_ != nullptr, long(streams_.size()));
    }
    HRESULT STDMETHODCALLTYPE get_CurrentStream(long* index) override { return Answer(index, fmt_ != nullptr, current_); }
    HRESULT STDMETHODCALLTYPE put_CurrentStream(long index) override {
        if (!fmt_) return E_UNEXPECTED;
        if (index < 0 || size_t(index) >= streams_.size()) return E_INVALIDARG;
        current_ = index;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_StreamType(GUID* type) override {
        const AVStream* st = Current();
        return Answer(type, st != nullptr,
                      st && st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? MEDIATYPE_Video : MEDIATYPE_Audio);
    }
    HRESULT STDMETHODCALLTYPE get_StreamLength(double* length) override;
    HRESULT STDMETHODCALLTYPE get_StreamMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE get_FrameRate(double* rate) override;
    HRESULT STDMETHODCALLTYPE EnterBitmapGrabMode(double seek_time) override;
    HRESULT STDMETHODCALLTYPE GetBitmapBits(double stream_time, long* size, char* buffer, long width,
                                            long height) override;
    HRESULT STDMETHODCALLTYPE WriteBitmapBits(double stream_time, long width, long height, BSTR file) override;

private:
    const AVStream* Current() const {
        return fmt_ && size_t(current_) < streams_.size() ? fmt_->streams[streams_[current_]] : nullptr;
    }
    void Close();
    HRESULT OpenPictures();
    bool DecodeAt(LONGLONG target);
    bool TakeFrames(LONGLONG target);

    std::atomic<ULONG> refs_{1};
    AVFormatContext* fmt_ = nullptr;
    std::vector<int> streams_;  // the file's video and sound streams
    long current_ = 0;

    // Pictures of the first video stream.
    int vidx_ = -1;
    AVCodecContext* vdec_ = nullptr;
    AVPacket* pkt_ = nullptr;
    AVFrame* decoded_ = nullptr;
    AVFrame* shown_ = nullptr;  // the picture on screen at the time asked for
    SwsContext* sws_ = nullptr;
    std::vector<uint32_t> work_, bgra_;
};

void MediaDet::Close() {
    if (sws_) sws_freeContext(sws_);
    sws_ = nullptr;
    av_frame_free(&decoded_);
    av_frame_free(&shown_);
    av_packet_free(&pkt_);
    avcodec_free_context(&vdec_);
    if (fmt_) avformat_close_input(&fmt_);
    streams_.clear();
    current_ = 0;
    vidx_ = -1;
}

HRESULT MediaDet::put_Filename(BSTR file) {
    if (!file) return E_POINTER;
    Close();
    HRESULT hr = OpenMediaFile(Utf8FromWide(file), &fmt_);
    if (FAILED(hr)) return hr;
    for (unsigned i = 0; i < fmt_->nb_streams; ++i) {
        AVMediaType t = fmt_->streams[i]->codecpar->codec_type;
        if (t == AVMEDIA_TYPE_VIDEO || t == AVMEDIA_TYPE_AUDIO) streams_.push_back(int(i));
    }
    return S_OK;
}

HRESULT MediaDet::get_StreamLength(double* length) {
    if (!length) return E_POINTER;
    const AVStream* st = Current();
    if (!st) return E_UNEXPECTED;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        *length = double(st->duration) * av_q2d(st->time_base);
    else if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0)
        *length = double(fmt_->duration) / AV_TIME_BASE;
    else
        *length = 0.0;
    return S_OK;
}

HRESULT MediaDet::get_FrameRate(double* rate) {
    if (!rate) return E_POINTER;
    const AVStream* st = Current();
    if (!st) return E_UNEXPECTED;
    if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) return VFW_E_INVALIDMEDIATYPE;
    AVRational r = st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0 ? st->avg_frame_rate : st->r_frame_rate;
    *rate = r.num > 0 && r.den > 0 ? av_q2d(r) : 0.0;
    return S_OK;
}

HRESULT MediaDet::get_StreamMediaType(AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    const AVStream* st = Current();
    if (!st) return E_UNEXPECTED;
    const AVCodecParameters* par = st->codecpar;
    std::memset(type, 0, sizeof *type);
    type->subtype = FourccSubtype(par->codec_tag);
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        auto* vih = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
        if (!vih) return E_OUTOFMEMORY;
        std::memset(vih, 0, sizeof *vih);
        vih->rcSource = RECT{0, 0, par->width, par->height};
        vih->rcTarget = vih->rcSource;
        vih->dwBitRate = DWORD(std::max<int64_t>(par->bit_rate, 0));
        double fps = 0;
        get_FrameRate(&fps);
        vih->AvgTimePerFrame = fps > 0 ? REFERENCE_TIME(std::llround(kUnitsPerSecond / fps)) : 0;
        vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        vih->bmiHeader.biWidth = par->width;
        vih->bmiHeader.biHeight = par->height;
        vih->bmiHeader.biPlanes = 1;
        vih->bmiHeader.biBitCount = WORD(par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample : 24);
        vih->bmiHeader.biCompression = par->codec_tag;
        type->majortype = MEDIATYPE_Video;
        type->bTemporalCompression = TRUE;
        type->formattype = FORMAT_VideoInfo;
        type->cbFormat = sizeof *vih;
        type->pbFormat = reinterpret_cast<BYTE*>(vih);
    } else {
        auto* wfx = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        if (!wfx) return E_OUTOFMEMORY;
        std::memset(wfx, 0, sizeof *wfx);
        wfx->wFormatTag = WORD(par->codec_tag);
        wfx->nChannels = WORD(par->ch_layout.nb_channels);
        wfx->nSamplesPerSec = DWORD(par->sample_rate);
        wfx->nAvgBytesPerSec = DWORD(std::max<int64_t>(par->bit_rate, 0) / 8);
        wfx->nBlockAlign = WORD(par->block_align);
        wfx->wBitsPerSample = WORD(par->bits_per_coded_sample);
        type->majortype = MEDIATYPE_Audio;
        type->bFixedSizeSamples = TRUE;
        type->lSampleSize = ULONG(par->block_align);
        type->formattype = FORMAT_WaveFormatEx;
        type->cbFormat = sizeof *wfx;
        type->pbFormat = reinterpret_cast<BYTE*>(wfx);
    }
    return S_OK;
}

HRESULT MediaDet::OpenPictures() {
    if (!fmt_) return E_UNEXPECTED;
    for (size_t i = 0; i < streams_.size(); ++i) {
        if (fmt_->streams[streams_[i]]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        current_ = long(i);
        if (vdec_) return S_OK;
        vdec_ = OpenStreamDecoder(fmt_, streams_[i]);
        pkt_ = av_packet_alloc();
        decoded_ = av_frame_alloc();
        shown_ = av_frame_alloc();
        if (!vdec_ || !pkt_ || !decoded_ || !shown_) return E_FAIL;
        vidx_ = streams_[i];
        return S_OK;
    }
    return VFW_E_INVALIDMEDIATYPE;
}

HRESULT MediaDet::EnterBitmapGrabMode(double seek_time) {
    HRESULT hr = OpenPictures();
    if (FAILED(hr)) return hr;
    return DecodeAt(std::llround(seek_time * kUnitsPerSecond)) ? S_OK : E_FAIL;
}

// Moves every picture the decoder has ready into `shown_` while it is not past `target`.
// True once a picture past it has come (the one before it is the one on screen).
bool MediaDet::TakeFrames(LONGLONG target) {
    while (avcodec_receive_frame(vdec_, decoded_) == 0) {
        int64_t best = decoded_->best_effort_timestamp != AV_NOPTS_VALUE ? decoded_->best_effort_timestamp
                                                                          : decoded_->pts;
        LONGLONG t = ToMediaTime(fmt_, best, fmt_->streams[vidx_]->time_base);
        if (shown_->buf[0] && t > target) {
            av_frame_unref(decoded_);
            return true;
        }
        av_frame_unref(shown_);
        av_frame_move_ref(shown_, decoded_);
    }
    return false;
}

// Decodes from the key frame at or before `target` to the picture shown at `target` (the
// last one when the target is past the end, the first when it is before the start).
bool MediaDet::DecodeAt(LONGLONG target) {
    const AVStream* st = fmt_->streams[vidx_];
    int64_t ts = av_rescale_q(std::max<LONGLONG>(target, 0) + StartUnits(fmt_), AVRational{1, int(kUnitsPerSecond)},
                              st->time_base);
    if (av_seek_frame(fmt_, vidx_, ts, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(fmt_, vidx_, ts, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    avcodec_flush_buffers(vdec_);
    av_frame_unref(shown_);
    while (av_read_frame(fmt_, pkt_) >= 0) {
        const bool ours = pkt_->stream_index == vidx_;
        if (ours) avcodec_send_packet(vdec_, pkt_);
        av_packet_unref(pkt_);
        if (ours && TakeFrames(target)) return true;
    }
    avcodec_send_packet(vdec_, nullptr);
    TakeFrames(target);
    return shown_->buf[0] != nullptr;
}

HRESULT MediaDet::GetBitmapBits(double stream_time, long* size, char* buffer, long width, long height) {
    if (!size) return E_POINTER;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return E_INVALIDARG;
    const size_t needed = DibSize(width, height);
    if (!buffer) {
        *size = long(needed);
        return S_OK;
    }
    if (*size < 0 || size_t(*size) < needed) return E_OUTOFMEMORY;
    HRESULT hr = OpenPictures();
    if (FAILED(hr)) return hr;
    if (!DecodeAt(std::llround(stream_time * kUnitsPerSecond))) return E_FAIL;
    if (!ToBgra(shown_, int(width), int(height), &sws_, &work_, &bgra_)) return E_FAIL;
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = width;
    bih.biHeight = height;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = DWORD(needed - sizeof bih);
    std::memcpy(buffer, &bih, sizeof bih);
    const size_t stride = size_t((width * 3 + 3) & ~3);
    uint8_t* rows = reinterpret_cast<uint8_t*>(buffer) + sizeof bih;
    for (long y = 0; y < height; ++y) {
        uint8_t* out = rows + size_t(height - 1 - y) * stride;  // bottom-up
        const uint32_t* in = bgra_.data() + size_t(y) * width;
        for (long x = 0; x < width; ++x) {
            out[3 * x] = uint8_t(in[x]);
            out[3 * x + 1] = uint8_t(in[x] >> 8);
            out[3 * x + 2] = uint8_t(in[x] >> 16);
        }
        std::memset(out + 3 * width, 0, stride - size_t(3 * width));
    }
    return S_OK;
}

HRESULT MediaDet::WriteBitmapBits(double stream_time, long width, long height, BSTR file) {
    if (!file) return E_POINTER;
    long size = 0;
    HRESULT hr = GetBitmapBits(stream_time, &size, nullptr, width, height);
    if (FAILED(hr)) return hr;
    std::vector<char> dib(size_t(size), 0);
    hr = GetBitmapBits(stream_time, &size, dib.data(), width, height);
    if (FAILED(hr)) return hr;
    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;  // "BM"
    bfh.bfOffBits = DWORD(sizeof bfh + sizeof(BITMAPINFOHEADER));
    bfh.bfSize = DWORD(sizeof bfh + dib.size());
    std::FILE* f = std::fopen(Utf8FromWide(file).c_str(), "wb");
    if (!f) return E_FAIL;
    bool ok = std::fwrite(&bfh, sizeof bfh, 1, f) == 1 && std::fwrite(dib.data(), 1, dib.size(), f) == dib.size();
    ok = std::fclose(f) == 0 && ok;
    return ok ? S_OK : E_FAIL;
}

}  // namespace

HRESULT CreateMediaDet(REFIID iid, void** out) {
    return NewObject<MediaDet>(iid, out);
}

}  // namespace plat::dshow
