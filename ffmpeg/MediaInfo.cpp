#include "MediaInfo.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
#include <libavutil/pixdesc.h>
}

#include "EngineFormat.h"

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const char* fmt, ...) __attribute__((format(printf, 2, 3)));

template <std::size_t N>
void SetText(char (&field)[N], const char* fmt, ...) {
    // At most N-1 characters, so a longer value is cut and the last byte stays zero.
    va_list ap;
    va_start(ap, fmt);
    FormatC_v(field, N, fmt, ap);
    va_end(ap);
}

// Appends to a fixed buffer without ever running past it.
void Append(char* buf, int size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
void Append(char* buf, int size, const char* fmt, ...) {
    if (size <= 0) return;
    std::size_t used = std::strlen(buf);
    if (used + 1 >= static_cast<std::size_t>(size)) return;
    va_list ap;
    va_start(ap, fmt);
    FormatC_v(buf + used, static_cast<std::size_t>(size) - used, fmt, ap);
    va_end(ap);
}

void LogC(int level, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void LogC(int level, const char* fmt, ...) {
    char line[1024];
    va_list ap;
    va_start(ap, fmt);
    FormatC_v(line, sizeof line, fmt, ap);
    va_end(ap);
    av_log(nullptr, level, "%s", line);
}

// Opens a file through the file protocol only: a name like "http:x" or "concat:a|b" is a
// file name here, never a network request or a way to read other files.
AVFormatContext* OpenFile(const char* path) {
    std::string url = path;
    if (url.compare(0, 5, "file:") != 0) url = "file:" + url;
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    AVFormatContext* ic = nullptr;
    int ret = avformat_open_input(&ic, url.c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (ret < 0) return nullptr;
    if (avformat_find_stream_info(ic, nullptr) < 0) {
        avformat_close_input(&ic);
        return nullptr;
    }
    return ic;
}

double StreamFrameRate(const AVStream* st) {
    if (st->r_frame_rate.num != 0 && st->r_frame_rate.den != 0) return av_q2d(st->r_frame_rate);
    if (st->avg_frame_rate.num != 0 && st->avg_frame_rate.den != 0) return av_q2d(st->avg_frame_rate);
    return 0.0;
}

void CodecName(char* out, std::size_t size, const AVCodecParameters* par) {
    if (const AVCodec* dec = avcodec_find_decoder(par->codec_id)) {
        FormatC(out, size, "%s", dec->name);
    } else if (par->codec_id != AV_CODEC_ID_NONE) {
        FormatC(out, size, "%s", avcodec_get_name(par->codec_id));
    } else {
        unsigned tag = par->codec_tag;
        int c0 = tag & 0xff, c1 = (tag >> 8) & 0xff, c2 = (tag >> 16) & 0xff, c3 = (tag >> 24) & 0xff;
        auto printable = [](int c) { return c >= 0x20 && c < 0x7f; };
        if (printable(c0) && printable(c1) && printable(c2) && printable(c3))
            FormatC(out, size, "%c%c%c%c / 0x%04X", c0, c1, c2, c3, tag);
        else
            FormatC(out, size, "0x%04x", tag);
    }
}

void ChannelsText(char (&field)[20], int channels) {
    switch (channels) {
    case 1: SetText(field, "mono"); break;
    case 2: SetText(field, "stereo"); break;
    case 6: SetText(field, "5:1"); break;
    default: SetText(field, "%d channels", channels); break;
    }
}

// Raw streams are read to their end to count their pictures; past this much the rest of the
// file is estimated from its size, so adding a huge file does not hold the window up.
const int64_t kScanLimitBytes = 64LL * 1024 * 1024;

// Where a packet ends, in microseconds on its stream's clock counted from `origin` (in the
// stream's time base); AV_NOPTS_VALUE when it carries no timestamp.
int64_t PacketEnd(const AVStream* st, const AVPacket* pkt, int64_t origin) {
    int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
    if (ts == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
    return av_rescale_q(ts - origin + std::max<int64_t>(pkt->duration, 0), st->time_base, AV_TIME_BASE_Q);
}

// The latest packet end of an opened input on the file's own clock, read from its last seek
// point on; AV_NOPTS_VALUE when the input cannot seek there or more than max_bytes of packets
// follow it. Leaves the input read to its end.
int64_t MeasureContentEnd(AVFormatContext* ic, int64_t beyond, int64_t max_bytes) {
    if (av_seek_frame(ic, -1, beyond, AVSEEK_FLAG_BACKWARD) < 0) return AV_NOPTS_VALUE;
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) return AV_NOPTS_VALUE;
    int64_t end = AV_NOPTS_VALUE;
    int64_t bytes = 0;
    while (av_read_frame(ic, pkt) >= 0) {
        int64_t e = PacketEnd(ic->streams[pkt->stream_index], pkt, 0);
        if (e != AV_NOPTS_VALUE && (end == AV_NOPTS_VALUE || e > end)) end = e;
        bytes += pkt->size;
        av_packet_unref(pkt);
        if (bytes > max_bytes) {
            end = AV_NOPTS_VALUE;
            break;
        }
    }
    av_packet_free(&pkt);
    return end;
}

// The length of what an input holds, given the duration its container states. Containers
// with a timeline of their own (QuickTime and MP4 movies, Matroska segments, ASF) state the
// duration from that timeline's zero, so content whose first packet is at 10 s is stated
// 10 s too long; others state the span from the first packet, as the library measures it.
// Which was meant shows at the content's end: a stated duration that reaches the last packet
// counts from zero. Files that start at zero are left as stated.
int64_t HeldDuration(AVFormatContext* ic, int64_t stated) {
    const int64_t start = ic->start_time;
    if (start == AV_NOPTS_VALUE || start <= 0 || stated > INT64_MAX - start) return stated;
    const int64_t end = MeasureContentEnd(ic, start + stated, kScanLimitBytes);
    if (end == AV_NOPTS_VALUE || end <= start) return stated;
    const bool fromZero = llabs(stated - end) < llabs(stated - (end - start));
    if (!fromZero) return stated;
    return stated > start ? stated - start : end - start;
}

}  // namespace

int64_t measure_stream_duration(AVFormatContext* ic, int64_t max_bytes) {
    if (ic == nullptr || ic->pb == nullptr || ic->iformat == nullptr) return AV_NOPTS_VALUE;
    int video = av_find_best_stream(ic, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int64_t frames = 0;
    int64_t end = AV_NOPTS_VALUE;
    bool cut = false;
    int64_t consumed = 0;
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) return AV_NOPTS_VALUE;
    const int64_t kMaxPackets = 10 * 1000 * 1000;
    for (int64_t n = 0; n < kMaxPackets && av_read_frame(ic, pkt) >= 0; ++n) {
        const AVStream* st = ic->streams[pkt->stream_index];
        if (pkt->stream_index == video) ++frames;
        int64_t e = PacketEnd(st, pkt, st->start_time != AV_NOPTS_VALUE ? st->start_time : 0);
        if (e != AV_NOPTS_VALUE && (end == AV_NOPTS_VALUE || e > end)) end = e;
        // How far into the file the packets read so far reach (the reader itself may be
        // further ahead: stream analysis buffers packets).
        if (pkt->pos >= 0) consumed = pkt->pos + pkt->size;
        av_packet_unref(pkt);
        if (max_bytes > 0 && consumed >= max_bytes) {
            cut = true;
            break;
        }
    }
    av_packet_free(&pkt);
    // What was read stands for its share of the whole file.
    double scale = 1.0;
    if (cut) {
        int64_t size = avio_size(ic->pb);
        if (size > consumed && consumed > 0) scale = static_cast<double>(size) / static_cast<double>(consumed);
    }
    if (video >= 0 && frames > 0) {
        double fps = StreamFrameRate(ic->streams[video]);
        if (fps > 0.0) return static_cast<int64_t>(frames * scale / fps * AV_TIME_BASE + 0.5);
    }
    if (end == AV_NOPTS_VALUE || end <= 0) return AV_NOPTS_VALUE;
    return static_cast<int64_t>(end * scale + 0.5);
}

void describe_codec(char* buf, int buf_size, const AVCodecParameters* par, int is_output,
                    MediaInfo* info) {
    if (buf == nullptr || buf_size <= 0) return;
    buf[0] = '\0';
    if (par == nullptr) return;
    char name[128];
    CodecName(name, sizeof name, par);
    switch (par->codec_type) {
    case AVMEDIA_TYPE_VIDEO: {
        const char* pix = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
        Append(buf, buf_size, "Video: %s%s%s", name, pix ? ", " : "", pix ? pix : "");
        if (par->width) Append(buf, buf_size, ", %dx%d", par->width, par->height);
        if (par->bit_rate) Append(buf, buf_size, ", %d kb/s", static_cast<int>(par->bit_rate / 1000));
        if (info) {
            SetText(info->szVideoCodec, "%s", name);
            SetText(info->szFrameSize, "%dx%d", par->width, par->height);
            SetText(info->szVideoBitrate, "%d kb/s", static_cast<int>(par->bit_rate / 1000));
        }
        break;
    }
    case AVMEDIA_TYPE_AUDIO: {
        int channels = par->ch_layout.nb_channels;
        Append(buf, buf_size, "Audio: %s", name);
        if (par->sample_rate) Append(buf, buf_size, ", %d Hz", par->sample_rate);
        Append(buf, buf_size, ", %d channels", channels);
        // PCM has no stated bit rate: it follows from the sample size.
        int64_t bits;
        switch (par->codec_id) {
        case AV_CODEC_ID_PCM_S16LE: case AV_CODEC_ID_PCM_S16BE:
        case AV_CODEC_ID_PCM_U16LE: case AV_CODEC_ID_PCM_U16BE:
            bits = static_cast<int64_t>(par->sample_rate) * channels * 16;
            break;
        case AV_CODEC_ID_PCM_S8: case AV_CODEC_ID_PCM_U8:
        case AV_CODEC_ID_PCM_MULAW: case AV_CODEC_ID_PCM_ALAW:
            bits = static_cast<int64_t>(par->sample_rate) * channels * 8;
            break;
        default:
            bits = par->bit_rate;
            break;
        }
        if (bits) Append(buf, buf_size, ", %d kb/s", static_cast<int>(bits / 1000));
        if (info) {
            SetText(info->szAudioCodec, "%s", name);
            SetText(info->szSampleRate, "%d HZ", par->sample_rate);
            ChannelsText(info->szChannels, channels);
            SetText(info->szAudioBitrate, "%d kb/s", static_cast<int>(bits / 1000));
        }
        break;
    }
    case AVMEDIA_TYPE_DATA: Append(buf, buf_size, "Data: %s", name); break;
    case AVMEDIA_TYPE_SUBTITLE: Append(buf, buf_size, "Subtitle: %s", name); break;
    default: Append(buf, buf_size, "Invalid Codec type %d", static_cast<int>(par->codec_type)); break;
    }
}

void dump_media_format(AVFormatContext* ic, int index, const char* path, int is_output,
                       MediaInfo* info) {
    if (ic == nullptr) return;
    const char* fmtname = is_output ? (ic->oformat ? ic->oformat->name : "?")
                                    : (ic->iformat ? ic->iformat->name : "?");
    LogC(AV_LOG_INFO, "%s #%d, %s, %s '%s':\n", is_output ? "Output" : "Input", index, fmtname,
         is_output ? "to" : "from", path ? path : "");
    if (!is_output) {
        int64_t duration = ic->duration;
        if (duration == AV_NOPTS_VALUE || duration <= 0)
            duration = measure_stream_duration(ic, kScanLimitBytes);
        else
            duration = HeldDuration(ic, duration);
        char line[256] = "  Duration: ";
        if (duration != AV_NOPTS_VALUE && duration > 0) {
            int64_t secs = duration / AV_TIME_BASE;
            int64_t us = duration % AV_TIME_BASE;
            Append(line, sizeof line, "%02d:%02d:%02d.%01d", static_cast<int>(secs / 3600),
                   static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60),
                   static_cast<int>(10 * us / AV_TIME_BASE));
            if (info) {
                SetText(info->szDuration, "%02d:%02d:%02d", static_cast<int>(secs / 3600),
                        static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
                info->nDuration = secs > 0x7fffffff ? 0x7fffffff : static_cast<int>(secs);
            }
        } else {
            Append(line, sizeof line, "N/A");
            if (info) {
                SetText(info->szDuration, "N/A");
                info->nDuration = 0;
            }
        }
        if (ic->start_time != AV_NOPTS_VALUE) {
            int64_t s = ic->start_time;
            Append(line, sizeof line, ", start: %s%d.%06d", s < 0 ? "-" : "",
                   static_cast<int>(llabs(s) / AV_TIME_BASE), static_cast<int>(llabs(s) % AV_TIME_BASE));
        }
        Append(line, sizeof line, ", bitrate: ");
        if (ic->bit_rate) {
            Append(line, sizeof line, "%d kb/s", static_cast<int>(ic->bit_rate / 1000));
            if (info) SetText(info->szBitrate, "%d kb/s", static_cast<int>(ic->bit_rate / 1000));
        } else {
            Append(line, sizeof line, "N/A");
            if (info) SetText(info->szBitrate, "N/A");
        }
        LogC(AV_LOG_INFO, "%s\n", line);
    }
    const bool showIds = (is_output ? (ic->oformat && (ic->oformat->flags & AVFMT_SHOW_IDS))
                                    : (ic->iformat && (ic->iformat->flags & AVFMT_SHOW_IDS)));
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        const AVStream* st = ic->streams[i];
        char line[512];
        FormatC(line, sizeof line, "  Stream #%d.%u", index, i);
        if (showIds) Append(line, sizeof line, "[0x%x]", st->id);
        if (const AVDictionaryEntry* lang = av_dict_get(st->metadata, "language", nullptr, 0))
            Append(line, sizeof line, "(%s)", lang->value);
        LogC(AV_LOG_INFO, "%s", line);
        LogC(AV_LOG_DEBUG, ", %d/%d", st->time_base.num, st->time_base.den);
        char desc[256];
        describe_codec(desc, sizeof desc, st->codecpar, is_output, info);
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            bool real = st->r_frame_rate.num != 0 && st->r_frame_rate.den != 0;
            double fps = StreamFrameRate(st);
            LogC(AV_LOG_INFO, real ? ", %5.2f fps(r)" : ", %5.2f fps(c)", fps);
            if (info) {
                SetText(info->szFrameRate, "%5.2f fps", fps);
                info->fFrameRate = static_cast<float>(fps);
            }
        }
        LogC(AV_LOG_INFO, ": %s\n", desc);
    }
}

int query_media_info(const char* path, MediaInfo* info) {
    if (path == nullptr || info == nullptr) return -1;
    AVFormatContext* ic = OpenFile(path);
    if (ic == nullptr) return -1;
    // Fill a copy, so a failure halfway leaves the caller's record as it was.
    MediaInfo filled = *info;
    dump_media_format(ic, 0, path, 0, &filled);
    avformat_close_input(&ic);
    *info = filled;
    return 0;
}

int probe_media_file(const char* path) {
    if (path == nullptr) return -1;
    AVFormatContext* ic = OpenFile(path);
    if (ic == nullptr) return -1;
    avformat_close_input(&ic);
    return 0;
}
