#include "testmedia.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ftw.h>
#include <memory>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace testmedia {
namespace {

struct KindSpec {
    Kind kind;
    const char* name;
    const char* ext;
    const char* muxer;
    const char* vcodec;  // null: no video
    const char* acodec;  // null: no audio
    int fixedW, fixedH;  // 0: free size
    int defRate, defChannels;
};

const KindSpec kSpecs[] = {
    {Kind::AviMpeg4, "avi_mpeg4", ".avi", "avi", "mpeg4", "pcm_s16le", 0, 0, 44100, 2},
    {Kind::AviMjpeg, "avi_mjpeg", ".avi", "avi", "mjpeg", "libmp3lame", 0, 0, 44100, 2},
    {Kind::Mp4, "mp4_h264", ".mp4", "mp4", "libx264", "aac", 0, 0, 44100, 2},
    {Kind::Mov, "mov_mpeg4", ".mov", "mov", "mpeg4", "aac", 0, 0, 44100, 2},
    {Kind::MpegPs, "mpeg_ps", ".mpg", "mpeg", "mpeg1video", "mp2", 0, 0, 44100, 2},
    {Kind::Flv, "flv", ".flv", "flv", "flv", "libmp3lame", 0, 0, 22050, 1},
    {Kind::ThreeGp, "3gp_h263", ".3gp", "3gp", "h263", "aac", 176, 144, 44100, 2},
    {Kind::Asf, "asf_wmv2", ".wmv", "asf", "wmv2", "wmav2", 0, 0, 44100, 2},
    {Kind::RealMedia, "rm_rv10", ".rm", "rm", "rv10", "ac3", 0, 0, 44100, 2},
    {Kind::MkvSurround, "mkv_6ch", ".mkv", "matroska", "mpeg4", "aac", 0, 0, 48000, 6},
    {Kind::Ogg, "ogg_theora", ".ogg", "ogg", "libtheora", "flac", 0, 0, 44100, 2},
    {Kind::RawH261, "raw_h261", ".h261", "h261", "h261", nullptr, 352, 288, 0, 0},
    {Kind::RawH263, "raw_h263", ".h263", "h263", "h263", nullptr, 176, 144, 0, 0},
    {Kind::RawH264, "raw_h264", ".h264", "h264", "libx264", nullptr, 0, 0, 0, 0},
    {Kind::RawM4v, "raw_m4v", ".m4v", "m4v", "mpeg4", nullptr, 0, 0, 0, 0},
    {Kind::Y4m, "y4m", ".y4m", "yuv4mpegpipe", "wrapped_avframe", nullptr, 0, 0, 0, 0},
    {Kind::Wav, "wav", ".wav", "wav", nullptr, "pcm_s16le", 0, 0, 44100, 2},
    {Kind::MpegTs, "mpeg_ts", ".ts", "mpegts", "mpeg2video", "mp2", 0, 0, 48000, 2},
};

const KindSpec& SpecOf(Kind kind) {
    for (const KindSpec& s : kSpecs)
        if (s.kind == kind) return s;
    return kSpecs[0];
}

std::string AvError(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(err, buf, sizeof buf);
    return buf;
}

struct OutputCloser {
    void operator()(AVFormatContext* oc) const {
        if (oc == nullptr) return;
        if (oc->pb && !(oc->oformat->flags & AVFMT_NOFILE)) avio_closep(&oc->pb);
        avformat_free_context(oc);
    }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;

struct Track {
    CodecPtr enc;
    AVStream* st = nullptr;
    FramePtr frame;
    int64_t next = 0;      // next pts in the encoder's time base
    int64_t total = 0;     // frames (video) or samples (audio) to produce
    bool done = false;
};

AVSampleFormat PickSampleFormat(const AVCodec* codec) {
    static const AVSampleFormat kUsable[] = {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S16,
                                             AV_SAMPLE_FMT_S16P};
    if (codec->sample_fmts == nullptr) return AV_SAMPLE_FMT_S16;
    for (AVSampleFormat want : kUsable)
        for (const AVSampleFormat* p = codec->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
            if (*p == want) return want;
    return AV_SAMPLE_FMT_NONE;
}

int PickSampleRate(const AVCodec* codec, int wanted) {
    if (codec->supported_samplerates == nullptr) return wanted;
    int best = 0;
    for (const int* p = codec->supported_samplerates; *p; ++p)
        if (best == 0 || std::abs(*p - wanted) < std::abs(best - wanted)) best = *p;
    return best;
}

// Writes one encoder's pending packets to the file.
int Drain(AVFormatContext* oc, Track& t, AVPacket* pkt) {
    for (;;) {
        int ret = avcodec_receive_packet(t.enc.get(), pkt);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return 0;
        if (ret < 0) return ret;
        av_packet_rescale_ts(pkt, t.enc->time_base, t.st->time_base);
        pkt->stream_index = t.st->index;
        ret = av_interleaved_write_frame(oc, pkt);
        if (ret < 0) return ret;
    }
}

void FillPicture(AVFrame* f, int64_t index) {
    for (int y = 0; y < f->height; ++y) {
        uint8_t* row = f->data[0] + y * f->linesize[0];
        for (int x = 0; x < f->width; ++x) row[x] = static_cast<uint8_t>(32 + ((x + y + 4 * index) % 192));
    }
    int cw = (f->width + 1) / 2, ch = (f->height + 1) / 2;
    for (int y = 0; y < ch; ++y) {
        uint8_t* u = f->data[1] + y * f->linesize[1];
        uint8_t* v = f->data[2] + y * f->linesize[2];
        for (int x = 0; x < cw; ++x) {
            u[x] = static_cast<uint8_t>(128 + ((x - index) % 64) - 32);
            v[x] = static_cast<uint8_t>(128 + ((y + index) % 64) - 32);
        }
    }
}

void FillTone(AVFrame* f, int64_t firstSample, int sampleRate) {
    const int ch = f->ch_layout.nb_channels;
    const auto fmt = static_cast<AVSampleFormat>(f->format);
    for (int i = 0; i < f->nb_samples; ++i) {
        double v = 0.25 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(firstSample + i) / sampleRate);
        for (int c = 0; c < ch; ++c) {
            switch (fmt) {
            case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(f->data[c])[i] = static_cast<float>(v); break;
            case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(f->data[0])[i * ch + c] = static_cast<float>(v); break;
            case AV_SAMPLE_FMT_S16P:
                reinterpret_cast<int16_t*>(f->data[c])[i] = static_cast<int16_t>(v * 32767);
                break;
            default: reinterpret_cast<int16_t*>(f->data[0])[i * ch + c] = static_cast<int16_t>(v * 32767); break;
            }
        }
    }
}

// Black before the event and white from it on.
void ShowEvent(AVFrame* f, bool after) {
    for (int p = 0; p < 3; ++p) {
        const int h = p ? (f->height + 1) / 2 : f->height;
        const int w = p ? (f->width + 1) / 2 : f->width;
        for (int y = 0; y < h; ++y) std::memset(f->data[p] + y * f->linesize[p], p ? 128 : (after ? 235 : 16), w);
    }
}

// Silence before the event (sample index `eventSample`); the tone from it on.
void SilenceBefore(AVFrame* f, int64_t firstSample, int64_t eventSample) {
    const int64_t quiet = std::min<int64_t>(std::max<int64_t>(eventSample - firstSample, 0), f->nb_samples);
    if (quiet <= 0) return;
    const int bytes = av_get_bytes_per_sample(static_cast<AVSampleFormat>(f->format));
    const int ch = f->ch_layout.nb_channels;
    if (av_sample_fmt_is_planar(static_cast<AVSampleFormat>(f->format))) {
        for (int c = 0; c < ch; ++c) std::memset(f->data[c], 0, static_cast<size_t>(quiet) * bytes);
    } else {
        std::memset(f->data[0], 0, static_cast<size_t>(quiet) * bytes * ch);
    }
}

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

}  // namespace

std::vector<Kind> AllKinds() {
    std::vector<Kind> all;
    for (const KindSpec& s : kSpecs) all.push_back(s.kind);
    return all;
}
const char* KindName(Kind kind) { return SpecOf(kind).name; }
const char* KindExtension(Kind kind) { return SpecOf(kind).ext; }
bool KindHasVideo(Kind kind) { return SpecOf(kind).vcodec != nullptr; }
bool KindHasAudio(Kind kind) { return SpecOf(kind).acodec != nullptr; }

Options Effective(Kind kind, const Options& o) {
    const KindSpec& s = SpecOf(kind);
    Options e = o;
    if (e.seconds <= 0) e.seconds = 1.0;
    if (s.fixedW) {
        e.width = s.fixedW;
        e.height = s.fixedH;
    } else {
        if (e.width <= 0) e.width = 320;
        if (e.height <= 0) e.height = 240;
    }
    if (e.fps <= 0) e.fps = 25.0;
    // Raw H.261 and H.263 carry no frame rate: their pictures run at 30000/1001.
    if (kind == Kind::RawH261 || kind == Kind::RawH263) e.fps = 30000.0 / 1001.0;
    if (e.sampleRate <= 0) e.sampleRate = s.defRate;
    if (e.channels <= 0) e.channels = s.defChannels;
    if (!s.vcodec) e.width = e.height = 0, e.fps = 0;
    if (!s.acodec || e.noAudio) e.sampleRate = e.channels = 0;
    return e;
}

bool Generate(Kind kind, const std::string& path, double seconds, int width, int height, double fps) {
    Options o;
    o.seconds = seconds;
    o.width = width;
    o.height = height;
    o.fps = fps;
    return Generate(kind, path, o);
}

bool Generate(Kind kind, const std::string& path, const Options& options, std::string* error) {
    const KindSpec& spec = SpecOf(kind);
    const Options o = Effective(kind, options);

    AVFormatContext* raw = nullptr;
    int ret = avformat_alloc_output_context2(&raw, nullptr, spec.muxer, path.c_str());
    if (ret < 0 || raw == nullptr) return Fail(error, std::string("no muxer ") + spec.muxer);
    OutputPtr oc(raw);
    av_dict_set(&oc->metadata, "title", "testmedia", 0);
    oc->output_ts_offset = static_cast<int64_t>(o.start * AV_TIME_BASE);

    Track video, audio;
    if (spec.vcodec) {
        const AVCodec* codec = avcodec_find_encoder_by_name(spec.vcodec);
        if (!codec) return Fail(error, std::string("no encoder ") + spec.vcodec);
        video.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = video.enc.get();
        AVRational rate = av_d2q(o.fps, 1001000);
        if (codec->supported_framerates)
            rate = codec->supported_framerates[av_find_nearest_q_idx(rate, codec->supported_framerates)];
        c->width = o.width;
        c->height = o.height;
        c->time_base = av_inv_q(rate);
        c->framerate = rate;
        c->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        c->gop_size = 12;
        c->bit_rate = 600000;
        c->thread_count = 1;
        c->sample_aspect_ratio = AVRational{1, 1};
        if (std::strcmp(spec.vcodec, "libx264") == 0) av_opt_set(c->priv_data, "preset", "ultrafast", 0);
        if (oc->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if ((ret = avcodec_open2(c, codec, nullptr)) < 0) return Fail(error, "video open: " + AvError(ret));
        video.st = avformat_new_stream(oc.get(), nullptr);
        video.st->time_base = c->time_base;
        video.st->avg_frame_rate = rate;
        video.st->sample_aspect_ratio = c->sample_aspect_ratio;
        avcodec_parameters_from_context(video.st->codecpar, c);
        video.frame.reset(av_frame_alloc());
        video.frame->format = c->pix_fmt;
        video.frame->width = c->width;
        video.frame->height = c->height;
        if (av_frame_get_buffer(video.frame.get(), 0) < 0) return Fail(error, "video frame");
        video.total = static_cast<int64_t>(std::llround(o.seconds * av_q2d(rate)));
    } else {
        video.done = true;
    }
    if (spec.acodec && !o.noAudio) {
        const AVCodec* codec = avcodec_find_encoder_by_name(spec.acodec);
        if (!codec) return Fail(error, std::string("no encoder ") + spec.acodec);
        audio.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = audio.enc.get();
        c->sample_fmt = PickSampleFormat(codec);
        c->sample_rate = PickSampleRate(codec, o.sampleRate);
        av_channel_layout_default(&c->ch_layout, o.channels);
        c->bit_rate = o.channels > 2 ? 256000 : 128000;
        c->time_base = AVRational{1, c->sample_rate};
        c->thread_count = 1;
        if (oc->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if ((ret = avcodec_open2(c, codec, nullptr)) < 0) return Fail(error, "audio open: " + AvError(ret));
        audio.st = avformat_new_stream(oc.get(), nullptr);
        audio.st->time_base = c->time_base;
        avcodec_parameters_from_context(audio.st->codecpar, c);
        audio.frame.reset(av_frame_alloc());
        audio.frame->format = c->sample_fmt;
        av_channel_layout_copy(&audio.frame->ch_layout, &c->ch_layout);
        audio.frame->sample_rate = c->sample_rate;
        bool variable = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        audio.frame->nb_samples = (c->frame_size > 0 && !variable) ? c->frame_size : 1024;
        if (av_frame_get_buffer(audio.frame.get(), 0) < 0) return Fail(error, "audio frame");
        audio.total = static_cast<int64_t>(std::llround(o.seconds * c->sample_rate));
    } else {
        audio.done = true;
    }

    if (!(oc->oformat->flags & AVFMT_NOFILE)) {
        AVDictionary* opts = nullptr;
        av_dict_set(&opts, "protocol_whitelist", "file", 0);
        ret = avio_open2(&oc->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, &opts);
        av_dict_free(&opts);
        if (ret < 0) return Fail(error, "open " + path + ": " + AvError(ret));
    }
    if ((ret = avformat_write_header(oc.get(), nullptr)) < 0) return Fail(error, "header: " + AvError(ret));

    PacketPtr pkt(av_packet_alloc());
    while (!video.done || !audio.done) {
        // Feed whichever stream is behind in time, so the muxer gets interleaved packets.
        bool pickVideo = !video.done;
        if (!video.done && !audio.done)
            pickVideo = av_compare_ts(video.next, video.enc->time_base, audio.next, audio.enc->time_base) <= 0;
        Track& t = pickVideo ? video : audio;
        if (t.next >= t.total) {
            avcodec_send_frame(t.enc.get(), nullptr);
            if ((ret = Drain(oc.get(), t, pkt.get())) < 0) return Fail(error, "drain: " + AvError(ret));
            t.done = true;
            continue;
        }
        if (av_frame_make_writable(t.frame.get()) < 0) return Fail(error, "frame not writable");
        if (pickVideo) {
            FillPicture(t.frame.get(), t.next);
            if (o.eventAt >= 0) ShowEvent(t.frame.get(), t.next >= std::llround(o.eventAt * av_q2d(av_inv_q(t.enc->time_base))));
            t.frame->pts = t.next++;
        } else {
            int64_t left = t.total - t.next;
            AVFrame* f = t.frame.get();
            int full = f->nb_samples;
            bool variable = t.enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
            bool smallLast = t.enc->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
            if (left < full && (variable || smallLast)) f->nb_samples = static_cast<int>(left);
            FillTone(f, t.next, t.enc->sample_rate);
            if (o.eventAt >= 0) SilenceBefore(f, t.next, std::llround(o.eventAt * t.enc->sample_rate));
            f->pts = t.next;
            t.next += f->nb_samples;
            ret = avcodec_send_frame(t.enc.get(), f);
            f->nb_samples = full;
            if (ret < 0) return Fail(error, "audio encode: " + AvError(ret));
            if ((ret = Drain(oc.get(), t, pkt.get())) < 0) return Fail(error, "write: " + AvError(ret));
            continue;
        }
        if ((ret = avcodec_send_frame(t.enc.get(), t.frame.get())) < 0)
            return Fail(error, "video encode: " + AvError(ret));
        if ((ret = Drain(oc.get(), t, pkt.get())) < 0) return Fail(error, "write: " + AvError(ret));
    }
    if ((ret = av_write_trailer(oc.get())) < 0) return Fail(error, "trailer: " + AvError(ret));
    if (oc->pb && oc->pb->error) return Fail(error, "write error");
    return true;
}

ScratchDir::ScratchDir(const char* prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && tmp[0] == '/') ? tmp : "/tmp";
    std::string templ = base + "/" + prefix + "-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) m_path = buf.data();
}

ScratchDir::~ScratchDir() {
    if (m_path.empty()) return;
    nftw(m_path.c_str(),
         [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); }, 16,
         FTW_DEPTH | FTW_PHYS);
}

bool WriteJunk(const std::string& path, std::size_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    uint32_t x = 0x9e3779b9u;
    for (std::size_t i = 0; i < bytes; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        std::fputc(static_cast<int>(x & 0xff), f);
    }
    return std::fclose(f) == 0;
}

bool WriteTruncated(const std::string& source, const std::string& path, double fraction) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) return false;
    std::vector<char> data;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data.insert(data.end(), buf, buf + n);
    std::fclose(in);
    std::size_t keep = static_cast<std::size_t>(static_cast<double>(data.size()) * fraction);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(data.data(), 1, keep, out) == keep;
    return (std::fclose(out) == 0) && ok;
}

namespace {

bool ReadWhole(const std::string& path, std::vector<char>* data) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data->insert(data->end(), buf, buf + n);
    std::fclose(in);
    return true;
}

bool WriteWhole(const std::string& path, const char* data, std::size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(data, 1, size, out) == size;
    return (std::fclose(out) == 0) && ok;
}

}  // namespace

bool WriteJoined(const std::string& first, const std::string& second, const std::string& path) {
    std::vector<char> data;
    if (!ReadWhole(first, &data) || !ReadWhole(second, &data)) return false;
    return WriteWhole(path, data.data(), data.size());
}

int64_t FirstPacketPosition(const std::string& path) {
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    AVFormatContext* ic = nullptr;
    int ret = avformat_open_input(&ic, ("file:" + path).c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (ret < 0) return -1;
    int64_t pos = -1;
    PacketPtr pkt(av_packet_alloc());
    if (av_read_frame(ic, pkt.get()) >= 0) pos = pkt->pos;
    avformat_close_input(&ic);
    return pos;
}

bool WriteCutBeforeFirstFrame(const std::string& source, const std::string& path) {
    std::vector<char> data;
    const int64_t pos = FirstPacketPosition(source);
    if (pos <= 0 || !ReadWhole(source, &data) || pos > static_cast<int64_t>(data.size())) return false;
    return WriteWhole(path, data.data(), static_cast<std::size_t>(pos));
}

bool WriteDamagedMarker(const std::string& source, const std::string& path, const std::string& marker) {
    std::vector<char> data;
    if (marker.empty() || !ReadWhole(source, &data)) return false;
    auto at = std::search(data.begin(), data.end(), marker.begin(), marker.end());
    if (at == data.end()) return false;
    std::fill(at, at + static_cast<std::ptrdiff_t>(marker.size()), 'X');
    return WriteWhole(path, data.data(), data.size());
}

const StreamReport* Report::FirstOf(const std::string& type) const {
    for (const StreamReport& s : streams)
        if (s.type == type) return &s;
    return nullptr;
}

bool Report::HasBrand(const std::string& brand) const {
    for (const std::string& b : compatibleBrands)
        if (b == brand) return true;
    return false;
}

namespace {

void ReadBrands(const std::string& path, Report& r) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    unsigned char head[256];
    std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n < 16 || std::memcmp(head + 4, "ftyp", 4) != 0) return;
    std::size_t size = (std::size_t(head[0]) << 24) | (head[1] << 16) | (head[2] << 8) | head[3];
    if (size > n) size = n;
    r.majorBrand.assign(reinterpret_cast<char*>(head + 8), 4);
    for (std::size_t off = 16; off + 4 <= size; off += 4)
        r.compatibleBrands.emplace_back(reinterpret_cast<char*>(head + off), 4);
}

double SampleValue(const AVFrame* f, int c, int i) {
    const int ch = f->ch_layout.nb_channels;
    switch (f->format) {
    case AV_SAMPLE_FMT_FLTP: return reinterpret_cast<const float*>(f->data[c])[i];
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(f->data[0])[i * ch + c];
    case AV_SAMPLE_FMT_S16P: return reinterpret_cast<const int16_t*>(f->data[c])[i] / 32768.0;
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(f->data[0])[i * ch + c] / 32768.0;
    default: return 0.0;
    }
}

}  // namespace

Report Check(const std::string& path, bool decode) {
    Report r;
    ReadBrands(path, r);
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    AVFormatContext* ic = nullptr;
    std::string url = "file:" + path;
    int ret = avformat_open_input(&ic, url.c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (ret < 0) return r;
    if (avformat_find_stream_info(ic, nullptr) < 0) {
        avformat_close_input(&ic);
        return r;
    }
    r.opened = true;
    r.formatName = ic->iformat->name;
    if (ic->duration != AV_NOPTS_VALUE) r.duration = ic->duration / double(AV_TIME_BASE);
    if (const AVDictionaryEntry* t = av_dict_get(ic->metadata, "title", nullptr, 0)) r.title = t->value;

    std::vector<CodecPtr> decoders(ic->nb_streams);
    std::vector<double> sumSquares(ic->nb_streams, 0.0);
    std::vector<int64_t> sampleCount(ic->nb_streams, 0);
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        const AVStream* st = ic->streams[i];
        const AVCodecParameters* par = st->codecpar;
        StreamReport s;
        switch (par->codec_type) {
        case AVMEDIA_TYPE_VIDEO: s.type = "video"; break;
        case AVMEDIA_TYPE_AUDIO: s.type = "audio"; break;
        case AVMEDIA_TYPE_DATA: s.type = "data"; break;
        case AVMEDIA_TYPE_SUBTITLE: s.type = "subtitle"; break;
        default: s.type = "other"; break;
        }
        s.codec = avcodec_get_name(par->codec_id);
        s.width = par->width;
        s.height = par->height;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            const char* pf = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
            s.pixFmt = pf ? pf : "";
            s.rateNum = st->r_frame_rate.num;
            s.rateDen = st->r_frame_rate.den;
        }
        s.sampleRate = par->sample_rate;
        s.channels = par->ch_layout.nb_channels;
        if (st->duration != AV_NOPTS_VALUE) s.duration = st->duration * av_q2d(st->time_base);
        r.streams.push_back(s);
        if (decode && (par->codec_type == AVMEDIA_TYPE_VIDEO || par->codec_type == AVMEDIA_TYPE_AUDIO)) {
            const AVCodec* codec = avcodec_find_decoder(par->codec_id);
            if (!codec) {
                r.streams.back().decodeErrors++;
                continue;
            }
            CodecPtr dec(avcodec_alloc_context3(codec));
            avcodec_parameters_to_context(dec.get(), par);
            dec->thread_count = 1;
            if (avcodec_open2(dec.get(), codec, nullptr) < 0) {
                r.streams.back().decodeErrors++;
                continue;
            }
            decoders[i] = std::move(dec);
        }
    }
    if (decode) {
        r.decoded = true;
        PacketPtr pkt(av_packet_alloc());
        FramePtr frame(av_frame_alloc());
        auto receive = [&](unsigned idx) {
            StreamReport& s = r.streams[idx];
            for (;;) {
                int rr = avcodec_receive_frame(decoders[idx].get(), frame.get());
                if (rr == AVERROR(EAGAIN) || rr == AVERROR_EOF) return;
                if (rr < 0) {
                    s.decodeErrors++;
                    return;
                }
                s.framesDecoded++;
                if (frame->decode_error_flags || (frame->flags & AV_FRAME_FLAG_CORRUPT)) s.decodeErrors++;
                const int64_t ts = frame->best_effort_timestamp;
                const double at = ts == AV_NOPTS_VALUE ? 0.0 : ts * av_q2d(ic->streams[idx]->time_base);
                if (s.type == "video" && s.eventSeen < 0 && frame->data[0] &&
                    frame->data[0][(frame->height / 2) * frame->linesize[0] + frame->width / 2] > 128)
                    s.eventSeen = at;
                if (s.type == "audio") {
                    s.samplesDecoded += frame->nb_samples;
                    for (int c = 0; c < frame->ch_layout.nb_channels; ++c)
                        for (int k = 0; k < frame->nb_samples; ++k) {
                            double v = SampleValue(frame.get(), c, k);
                            if (s.eventSeen < 0 && std::fabs(v) > 0.1) s.eventSeen = at + double(k) / frame->sample_rate;
                            sumSquares[idx] += v * v;
                            sampleCount[idx]++;
                        }
                }
                av_frame_unref(frame.get());
            }
        };
        while (av_read_frame(ic, pkt.get()) >= 0) {
            unsigned idx = static_cast<unsigned>(pkt->stream_index);
            if (idx < decoders.size() && decoders[idx]) {
                if (avcodec_send_packet(decoders[idx].get(), pkt.get()) < 0) r.streams[idx].decodeErrors++;
                receive(idx);
            }
            av_packet_unref(pkt.get());
        }
        for (unsigned i = 0; i < decoders.size(); ++i) {
            if (!decoders[i]) continue;
            avcodec_send_packet(decoders[i].get(), nullptr);
            receive(i);
            if (sampleCount[i] > 0) r.streams[i].audioRms = std::sqrt(sumSquares[i] / sampleCount[i]);
        }
        for (const StreamReport& s : r.streams) r.decodeErrors += s.decodeErrors;
    }
    avformat_close_input(&ic);
    return r;
}

}  // namespace testmedia
