#include "dshow/media.h"

#include "res/resources.h"

namespace plat::dshow {

std::string Utf8FromWide(LPCWSTR w) { return res::Utf16ToUtf8(w, std::char_traits<char16_t>::length(w)); }

HRESULT OpenMediaFile(const std::string& path, AVFormatContext** out) {
    *out = nullptr;
    if (path.empty()) return VFW_E_NOT_FOUND;
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    AVFormatContext* fmt = nullptr;
    int rc = avformat_open_input(&fmt, ("file:" + path).c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (rc < 0)
        return rc == AVERROR(ENOENT) || rc == AVERROR(EACCES) || rc == AVERROR(EISDIR) ? VFW_E_NOT_FOUND
                                                                                       : VFW_E_UNKNOWN_FILE_TYPE;
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        avformat_close_input(&fmt);
        return VFW_E_INVALID_FILE_FORMAT;
    }
    *out = fmt;
    return S_OK;
}

AVCodecContext* OpenStreamDecoder(const AVFormatContext* fmt, int index) {
    if (index < 0 || unsigned(index) >= fmt->nb_streams) return nullptr;
    const AVCodecParameters* par = fmt->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    if (!c) return nullptr;
    if (avcodec_parameters_to_context(c, par) < 0 || avcodec_open2(c, codec, nullptr) < 0 ||
        (par->codec_type == AVMEDIA_TYPE_VIDEO && (c->width <= 0 || c->height <= 0))) {
        avcodec_free_context(&c);
        return nullptr;
    }
    return c;
}

int64_t StartUnits(const AVFormatContext* fmt) {
    return fmt->start_time == AV_NOPTS_VALUE ? 0 : av_rescale(fmt->start_time, kUnitsPerSecond, AV_TIME_BASE);
}

int64_t ToMediaTime(const AVFormatContext* fmt, int64_t ts, AVRational tb) {
    if (ts == AV_NOPTS_VALUE) return -1;
    return av_rescale_q(ts, tb, AVRational{1, int(kUnitsPerSecond)}) - StartUnits(fmt);
}

bool ToBgra(const AVFrame* f, int w, int h, SwsContext** cache, std::vector<uint32_t>* work,
            std::vector<uint32_t>* out) {
    if (f->width <= 0 || f->height <= 0 || w <= 0 || h <= 0) return false;
    *cache = sws_getCachedContext(*cache, f->width, f->height, AVPixelFormat(f->format), w, h, AV_PIX_FMT_BGRA,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!*cache) return false;
    // The scaler writes whole vector blocks, past the end of a row whose width is not a
    // multiple of the block: it gets rows padded to 64 pixels and a spare row, and the picture
    // is then copied out tight.
    int stride = (w + 63) & ~63;
    work->assign(size_t(stride) * (h + 1), 0);
    uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(work->data()), nullptr, nullptr, nullptr};
    int dst_stride[4] = {stride * 4, 0, 0, 0};
    sws_scale(*cache, f->data, f->linesize, 0, f->height, dst, dst_stride);
    out->resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* from = work->data() + size_t(y) * stride;
        uint32_t* to = out->data() + size_t(y) * w;
        for (int x = 0; x < w; ++x) to[x] = from[x] | 0xFF000000u;
    }
    return true;
}

}  // namespace plat::dshow
