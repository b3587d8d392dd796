// The transcode loop: read, decode, adjust sound and pictures, encode or copy,
// write interleaved; then flush and write the trailers.
#include "ffmpeg_internal.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <thread>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
}

namespace ffdrv {

constexpr int kAudioPacketLimit = 131072;  // bytes of silence at most per insertion
constexpr int kAudioDriftThreshold = 50;   // samples
constexpr int64_t kDiscontinuityThreshold = 10LL * AV_TIME_BASE;
// Decoding times never go back within one recording, by more than a reordering or a rounding
// could explain: further back is the start of another recording.
constexpr int64_t kBackwardJumpThreshold = AV_TIME_BASE / 2;

static FILE* g_picture_stats_file = nullptr;

static int64_t round_nearest(double x) { return clamp_to_int64(x < 0 ? x - 0.5 : x + 0.5); }

static double input_sync_time(const OutputStream* ost) {
    const InputStream* ist = ost->timing_source;
    return double(ist->pts + g_run.input_files[ist->file_index].ts_offset - g_opt.start_offset) / AV_TIME_BASE;
}

static double output_time(const OutputStream* ost) {
    if (ost->enc && ost->encodes) return double(ost->sync_opts) * av_q2d(ost->enc->time_base);
    return double(ost->last_pts_out) * av_q2d(ost->st->time_base);
}

// ---------------------------------------------------------------------------
// Writing

int write_packet(OutputStream* ost, AVPacket* pkt) {
    OutputFile& of = g_run.output_files[ost->file_index];
    pkt->stream_index = ost->index;
    // Containers refuse decoding times that go backwards.
    if (pkt->dts != AV_NOPTS_VALUE && ost->last_mux_dts != AV_NOPTS_VALUE && pkt->dts <= ost->last_mux_dts) {
        const int64_t fixed = ost->last_mux_dts + 1;
        if (pkt->pts != AV_NOPTS_VALUE && pkt->pts >= pkt->dts) pkt->pts = std::max(pkt->pts, fixed);
        pkt->dts = fixed;
    }
    if (pkt->dts != AV_NOPTS_VALUE) ost->last_mux_dts = pkt->dts;
    if (pkt->pts != AV_NOPTS_VALUE) ost->last_pts_out = pkt->pts + std::max<int64_t>(pkt->duration, 0);
    const int ret = av_interleaved_write_frame(of.ctx, pkt);
    if (ret < 0 || (of.ctx->pb && of.ctx->pb->error < 0)) {
        if (!of.write_failed) emsg("Error while writing to output file #%d\n", ost->file_index);
        of.write_failed = true;
        av_packet_unref(pkt);
        return -1;
    }
    of.packets_written++;
    return 0;
}

static void write_video_stats(OutputStream* ost, int frame_size) {
    if (!g_picture_stats_file) {
        time_t now = time(nullptr);
        struct tm tmv;
        localtime_r(&now, &tmv);
        char name[64];
        snprintf(name, sizeof name, "vstats_%02d%02d%02d.log", tmv.tm_hour, tmv.tm_min, tmv.tm_sec);
        g_picture_stats_file = fopen(name, "w");
        if (!g_picture_stats_file) {
            perror("fopen");
            return;
        }
    }
    AVCodecContext* enc = ost->enc;
    fprintf(g_picture_stats_file, "frame= %5d q= %2.1f ", static_cast<int>(ost->frame_number),
            ost->quality / (float)FF_QP2LAMBDA);
    if (enc->flags & AV_CODEC_FLAG_PSNR) {
        const double scale = double(enc->width) * enc->height * 255.0 * 255.0;
        const double d = ost->last_error[0] / scale;
        fprintf(g_picture_stats_file, "PSNR= %6.2f ", d > 0 ? -10.0 * log10(d) : INFINITY);
    }
    fprintf(g_picture_stats_file, "f_size= %6d ", frame_size);
    const double reached = std::max(0.01, double(ost->sync_opts) * av_q2d(enc->time_base));
    const double bitrate = frame_size * 8 / av_q2d(enc->time_base) / 1000.0;
    const double avg_bitrate = double(g_run.picture_bytes) * 8 / reached / 1000.0;
    fprintf(g_picture_stats_file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
            double(g_run.picture_bytes) / 1024, reached, bitrate, avg_bitrate);
    fprintf(g_picture_stats_file, "type= %c\n", av_get_picture_type_char(static_cast<AVPictureType>(ost->pict_type)));
}

// Takes every packet the encoder has ready and writes it.
static int drain_encoder(OutputStream* ost) {
    AVCodecContext* enc = ost->enc;
    AVPacket* pkt = ost->pkt;
    for (;;) {
        int ret = avcodec_receive_packet(enc, pkt);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return 0;
        if (ret < 0) return ret;
        const int size = pkt->size;
        if (ost->type == AVMEDIA_TYPE_VIDEO) {
            size_t sd_size = 0;
            const uint8_t* sd = av_packet_get_side_data(pkt, AV_PKT_DATA_QUALITY_STATS, &sd_size);
            if (sd && sd_size >= 5) {
                ost->quality = static_cast<float>(AV_RL32(sd));
                ost->pict_type = sd[4];
                ost->has_quality = true;
                const int nerr = sd_size >= 6 ? sd[5] : 0;
                for (int i = 0; i < 3 && i < nerr && 8 + 8 * (i + 1) <= static_cast<int>(sd_size); ++i)
                    ost->last_error[i] = AV_RL64(sd + 8 + 8 * i);
            }
            if (ost->logfile && enc->stats_out) fprintf(ost->logfile, "%s", enc->stats_out);
            g_run.picture_bytes += size;
        } else {
            g_run.sound_bytes += size;
            pkt->flags |= AV_PKT_FLAG_KEY;
        }
        av_packet_rescale_ts(pkt, enc->time_base, ost->st->time_base);
        if (write_packet(ost, pkt) < 0) return -1;
        av_packet_unref(pkt);
        if (ost->type == AVMEDIA_TYPE_VIDEO && g_opt.write_picture_stats && size) write_video_stats(ost, size);
    }
}

static int encode_frame(OutputStream* ost, AVFrame* frame) {
    int ret = avcodec_send_frame(ost->enc, frame);
    if (ret < 0 && ret != AVERROR_EOF) {
        emsg("%s encoding failed\n", ost->type == AVMEDIA_TYPE_VIDEO ? "Video" : "Audio");
        return ret;
    }
    return drain_encoder(ost);
}

// ---------------------------------------------------------------------------
// Audio

static int encode_audio_samples(OutputStream* ost, const uint8_t* s16, int nb) {
    AVFrame* f = ost->aframe;
    if (f->nb_samples != nb || !f->buf[0]) {
        av_frame_unref(f);
        f->nb_samples = nb;
        f->format = ost->enc->sample_fmt;
        f->sample_rate = ost->enc->sample_rate;
        if (av_channel_layout_copy(&f->ch_layout, &ost->enc->ch_layout) < 0 || av_frame_get_buffer(f, 0) < 0)
            return AVERROR(ENOMEM);
    } else if (av_frame_make_writable(f) < 0) {
        return AVERROR(ENOMEM);
    }
    const uint8_t* in[1] = {s16};
    if (swr_convert(ost->swr_enc, f->data, nb, in, nb) < 0) return -1;
    f->pts = ost->sync_opts;
    ost->sync_opts += nb;
    ost->frame_number++;
    return encode_frame(ost, f);
}

static void apply_volume(int16_t* s, size_t count) {
    // In 64 bits: a volume option can be any int, and the product must not overflow.
    const int64_t vol = g_opt.sound_volume;
    for (size_t i = 0; i < count; ++i) {
        const int64_t v = (s[i] * vol + 128) >> 8;
        s[i] = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
    }
}

// Queues converted samples and encodes every whole frame they complete.
static int queue_audio(OutputStream* ost, uint8_t* data, int n) {
    const int bps = 2 * std::max(1, ost->out_channels);
    const int frame_size = ost->enc->frame_size;
    if (frame_size > 1) {
        void* planes[1] = {data};
        if (av_audio_fifo_write(ost->sound_queue, planes, n) < n) return AVERROR(ENOMEM);
        const size_t frame_bytes = static_cast<size_t>(frame_size) * bps;
        if (ost->s16frame.size() < frame_bytes) ost->s16frame.resize(frame_bytes);
        while (av_audio_fifo_size(ost->sound_queue) >= frame_size) {
            void* dst[1] = {ost->s16frame.data()};
            av_audio_fifo_read(ost->sound_queue, dst, frame_size);
            const int ret = encode_audio_samples(ost, ost->s16frame.data(), frame_size);
            if (ret < 0) return ret;
        }
    } else if (n > 0) {
        return encode_audio_samples(ost, data, n);
    }
    return 0;
}

static int write_audio_frames(OutputStream* ost, InputStream* ist, AVFrame* frame) {
    const int ch = std::max(1, ost->out_channels);
    const int bps = 2 * ch;
    const int max_out = swr_get_out_samples(ost->swr, frame->nb_samples);
    if (max_out < 0) return -1;
    // Room for the converted samples plus the largest silence insertion.
    const size_t need = static_cast<size_t>(max_out) * bps + kAudioPacketLimit;
    if (ost->s16buf.size() < need) ost->s16buf.resize(need);
    uint8_t* base = ost->s16buf.data() + kAudioPacketLimit;
    uint8_t* out[1] = {base};
    int n = swr_convert(ost->swr, out, max_out, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (n < 0) return -1;
    if (g_opt.sound_volume != 256) apply_volume(reinterpret_cast<int16_t*>(base), static_cast<size_t>(n) * ch);

    uint8_t* data = base;
    const int fifo_samples = av_audio_fifo_size(ost->sound_queue);
    if (g_opt.fit_sound_to_time) {
        const double delta = input_sync_time(ost) * ost->out_rate - double(ost->sync_opts) - fifo_samples;
        bool keep_start = false;
        if (std::fabs(delta) > kAudioDriftThreshold) {
            if (ist->at_stream_start) {
                if (delta < 0) {
                    const int drop = static_cast<int>(std::min<double>(-delta, n));
                    if (g_opt.verbosity > 2) emsg("discarding %d audio samples\n", drop);
                    data += static_cast<size_t>(drop) * bps;
                    n -= drop;
                    // All of it came before the picture's start: the next samples may too,
                    // so the stream stays at its start until sound reaches the picture.
                    if (n <= 0) return 0;
                } else {
                    int add = static_cast<int>(std::min(delta, double(kAudioPacketLimit)));
                    if ((add + n) * bps > kAudioPacketLimit) {
                        add = std::max(0, kAudioPacketLimit / bps - n);
                        keep_start = true;
                    }
                    if (g_opt.verbosity > 2) emsg("adding %d audio samples of silence\n", add);
                    data -= static_cast<size_t>(add) * bps;
                    memset(data, 0, static_cast<size_t>(add) * bps);
                    n += add;
                }
            } else if (g_opt.fit_sound_to_time > 1) {
                const int comp = static_cast<int>(std::clamp<double>(delta, -g_opt.fit_sound_to_time,
                                                                     g_opt.fit_sound_to_time));
                if (g_opt.verbosity > 2)
                    emsg("compensating audio timestamp drift:%f compensation:%d in:%d\n", delta, comp,
                         ost->out_rate);
                swr_set_compensation(ost->swr, comp, ost->out_rate);
            }
        }
        if (!keep_start) ist->at_stream_start = false;
    } else {
        ost->sync_opts = round_nearest(input_sync_time(ost) * ost->out_rate) - fifo_samples;
    }

    return queue_audio(ost, data, n);
}

// The samples the resampler still holds at the end of the input.
static int drain_resampler(OutputStream* ost) {
    if (!ost->swr) return 0;
    const int max_out = swr_get_out_samples(ost->swr, 0);
    if (max_out <= 0) return 0;
    const int bps = 2 * std::max(1, ost->out_channels);
    const size_t need = static_cast<size_t>(max_out) * bps + kAudioPacketLimit;
    if (ost->s16buf.size() < need) ost->s16buf.resize(need);
    uint8_t* base = ost->s16buf.data() + kAudioPacketLimit;
    uint8_t* out[1] = {base};
    const int n = swr_convert(ost->swr, out, max_out, nullptr, 0);
    if (n <= 0) return n;
    if (g_opt.sound_volume != 256)
        apply_volume(reinterpret_cast<int16_t*>(base), static_cast<size_t>(n) * std::max(1, ost->out_channels));
    return queue_audio(ost, base, n);
}

// ---------------------------------------------------------------------------
// Video

static void fill_band(AVFrame* f, int plane, int x, int y, int w, int h, int value) {
    for (int j = 0; j < h; ++j)
        memset(f->data[plane] + static_cast<ptrdiff_t>(y + j) * f->linesize[plane] + x, value, w);
}

// Paints the pad bands of a 4:2:0 picture.
static void fill_padding(OutputStream* ost, AVFrame* f) {
    const int W = f->width, H = f->height;
    for (int p = 0; p < 3; ++p) {
        const int s = p ? 1 : 0;
        const int top = ost->pad_top >> s, bottom = ost->pad_bottom >> s;
        const int left = ost->pad_left >> s, right = ost->pad_right >> s;
        const int pw = W >> s, ph = H >> s;
        const int v = ost->pad_color[p];
        fill_band(f, p, 0, 0, pw, top, v);
        fill_band(f, p, 0, ph - bottom, pw, bottom, v);
        fill_band(f, p, 0, top, left, ph - top - bottom, v);
        fill_band(f, p, pw - right, top, right, ph - top - bottom, v);
    }
}

// A vertical low-pass over every line of each 8-bit plane, so that the two
// fields of an interlaced picture blend.
static AVFrame* deinterlace(OutputStream* ost, AVFrame* in) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(in->format));
    if (!d || !(d->flags & AV_PIX_FMT_FLAG_PLANAR) || d->comp[0].depth != 8 || (d->flags & AV_PIX_FMT_FLAG_RGB))
        return in;
    if (!ost->deint || ost->deint->width != in->width || ost->deint->height != in->height ||
        ost->deint->format != in->format) {
        av_frame_free(&ost->deint);
        ost->deint = av_frame_alloc();
        if (!ost->deint) return in;
        ost->deint->width = in->width;
        ost->deint->height = in->height;
        ost->deint->format = in->format;
        if (av_frame_get_buffer(ost->deint, 0) < 0) {
            av_frame_free(&ost->deint);
            return in;
        }
    } else if (av_frame_make_writable(ost->deint) < 0) {
        return in;
    }
    AVFrame* out = ost->deint;
    for (int p = 0; p < 4 && in->data[p]; ++p) {
        const int w = p == 1 || p == 2 ? AV_CEIL_RSHIFT(in->width, d->log2_chroma_w) : in->width;
        const int h = p == 1 || p == 2 ? AV_CEIL_RSHIFT(in->height, d->log2_chroma_h) : in->height;
        for (int y = 0; y < h; ++y) {
            const uint8_t* l[5];
            for (int k = -2; k <= 2; ++k)
                l[k + 2] = in->data[p] + static_cast<ptrdiff_t>(std::clamp(y + k, 0, h - 1)) * in->linesize[p];
            uint8_t* o = out->data[p] + static_cast<ptrdiff_t>(y) * out->linesize[p];
            for (int x = 0; x < w; ++x) {
                const int v = (-l[0][x] + 4 * l[1][x] + 2 * l[2][x] + 4 * l[3][x] - l[4][x] + 4) >> 3;
                o[x] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    av_frame_copy_props(out, in);
    return out;
}

static AVFrame* alloc_picture(int w, int h, AVPixelFormat fmt) {
    AVFrame* f = av_frame_alloc();
    if (!f) return nullptr;
    f->width = w;
    f->height = h;
    f->format = fmt;
    if (av_frame_get_buffer(f, 0) < 0) av_frame_free(&f);
    return f;
}

// The full-range formats are the same layouts as the plain ones with another
// range; the scaler is given the plain name and the range, which keeps its
// cached context valid from frame to frame.
static AVPixelFormat plain_range_format(AVPixelFormat fmt, int* full_range) {
    switch (fmt) {
        case AV_PIX_FMT_YUVJ420P: *full_range = 1; return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P: *full_range = 1; return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P: *full_range = 1; return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P: *full_range = 1; return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P: *full_range = 1; return AV_PIX_FMT_YUV411P;
        default: return fmt;
    }
}

// A picture in the encoder's size and format that nobody else holds. Encoders
// may keep references to pictures they were given (reordering, look-ahead),
// so a few are kept in turn instead of allocating one per frame.
static AVFrame* next_work_picture(OutputStream* ost) {
    for (AVFrame* f : ost->work_ring)
        if (av_frame_is_writable(f)) return f;
    if (ost->work_ring.size() >= 64) {
        // Far more than any encoder keeps: fall back to a copy-on-write.
        AVFrame* f = ost->work_ring.front();
        return av_frame_make_writable(f) < 0 ? nullptr : f;
    }
    AVFrame* f = alloc_picture(ost->enc->width, ost->enc->height, ost->enc->pix_fmt);
    if (f) ost->work_ring.push_back(f);
    return f;
}

// Brings a decoded picture to the encoder's size and format: crop, scale,
// pad. Returns the picture to encode, or null.
static AVFrame* convert_picture(OutputStream* ost, AVFrame* in) {
    AVCodecContext* enc = ost->enc;
    const bool crop = ost->crop_top || ost->crop_bottom || ost->crop_left || ost->crop_right;
    const bool pad = ost->pad_top || ost->pad_bottom || ost->pad_left || ost->pad_right;
    if (!crop && !pad && in->width == enc->width && in->height == enc->height && in->format == enc->pix_fmt)
        return in;

    int src_full_range = in->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat src_fmt = plain_range_format(static_cast<AVPixelFormat>(in->format), &src_full_range);
    const int src_w = in->width - ost->crop_left - ost->crop_right;
    const int src_h = in->height - ost->crop_top - ost->crop_bottom;
    const int dst_w = enc->width - ost->pad_left - ost->pad_right;
    const int dst_h = enc->height - ost->pad_top - ost->pad_bottom;
    if (src_w <= 0 || src_h <= 0 || dst_w <= 0 || dst_h <= 0) return nullptr;
    int dst_full_range = 0;
    const AVPixelFormat pic_fmt = pad ? AV_PIX_FMT_YUV420P : plain_range_format(enc->pix_fmt, &dst_full_range);

    const int flags = SWS_BICUBIC | (g_opt.bitexact ? SWS_BITEXACT | SWS_ACCURATE_RND : 0);
    SwsContext* const previous = ost->sws;
    ost->sws = sws_getCachedContext(ost->sws, src_w, src_h, src_fmt, dst_w, dst_h, pic_fmt, flags, nullptr, nullptr,
                                    nullptr);
    if (!ost->sws) {
        if (g_opt.verbosity >= 0) emsg("pixel format conversion not handled\n");
        return nullptr;
    }
    const int ranges = src_full_range * 2 + dst_full_range;
    if (ost->sws != previous) ost->sws_src_fmt = -1;
    if (ranges != ost->sws_src_fmt) {
        int* inv_table = nullptr;
        int* table = nullptr;
        int src_range = 0, dst_range = 0, brightness = 0, contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(ost->sws, &inv_table, &src_range, &table, &dst_range, &brightness, &contrast,
                                     &saturation) >= 0)
            sws_setColorspaceDetails(ost->sws, inv_table, src_full_range, table, dst_full_range, brightness,
                                     contrast, saturation);
        ost->sws_src_fmt = ranges;
    }

    const uint8_t* src[4] = {in->data[0], in->data[1], in->data[2], in->data[3]};
    if (crop) {
        const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(src_fmt);
        int steps[4] = {0, 0, 0, 0};
        av_image_fill_max_pixsteps(steps, nullptr, d);
        for (int p = 0; p < 4 && src[p]; ++p) {
            const int xs = (p == 1 || p == 2) ? d->log2_chroma_w : 0;
            const int ys = (p == 1 || p == 2) ? d->log2_chroma_h : 0;
            src[p] += static_cast<ptrdiff_t>(ost->crop_top >> ys) * in->linesize[p] + (ost->crop_left >> xs) * steps[p];
        }
    }

    AVFrame* out = next_work_picture(ost);
    if (!out) return nullptr;
    AVFrame* pic = out;
    if (pad && enc->pix_fmt != AV_PIX_FMT_YUV420P) {
        // Bands are painted in 4:2:0, then the whole picture is converted.
        if (!ost->inter) ost->inter = alloc_picture(enc->width, enc->height, AV_PIX_FMT_YUV420P);
        if (!ost->inter || av_frame_make_writable(ost->inter) < 0) return nullptr;
        pic = ost->inter;
    }
    uint8_t* dst[4] = {pic->data[0], pic->data[1], pic->data[2], pic->data[3]};
    if (pad) {
        dst[0] += static_cast<ptrdiff_t>(ost->pad_top) * pic->linesize[0] + ost->pad_left;
        dst[1] += static_cast<ptrdiff_t>(ost->pad_top >> 1) * pic->linesize[1] + (ost->pad_left >> 1);
        dst[2] += static_cast<ptrdiff_t>(ost->pad_top >> 1) * pic->linesize[2] + (ost->pad_left >> 1);
    }
    sws_scale(ost->sws, src, in->linesize, 0, src_h, dst, pic->linesize);
    if (pad) fill_padding(ost, pic);

    if (pic != out) {
        int pad_full_range = 0;
        const AVPixelFormat pad_fmt = plain_range_format(enc->pix_fmt, &pad_full_range);
        SwsContext* const previous_pad = ost->sws_pad;
        ost->sws_pad = sws_getCachedContext(ost->sws_pad, enc->width, enc->height, AV_PIX_FMT_YUV420P, enc->width,
                                            enc->height, pad_fmt, flags, nullptr, nullptr, nullptr);
        if (!ost->sws_pad) {
            if (g_opt.verbosity >= 0) emsg("pixel format conversion not handled\n");
            return nullptr;
        }
        if (ost->sws_pad != previous_pad && pad_full_range) {
            int *inv_table = nullptr, *table = nullptr;
            int src_range = 0, dst_range = 0, brightness = 0, contrast = 0, saturation = 0;
            if (sws_getColorspaceDetails(ost->sws_pad, &inv_table, &src_range, &table, &dst_range, &brightness,
                                         &contrast, &saturation) >= 0)
                sws_setColorspaceDetails(ost->sws_pad, inv_table, 0, table, 1, brightness, contrast, saturation);
        }
        sws_scale(ost->sws_pad, pic->data, pic->linesize, 0, enc->height, out->data, out->linesize);
    }
    out->interlaced_frame = in->interlaced_frame;
    out->top_field_first = in->top_field_first;
    return out;
}

static int write_video_frame(OutputStream* ost, InputStream* ist, AVFrame* in) {
    AVCodecContext* enc = ost->enc;
    int nb_frames = 1;
    const double input_frames = input_sync_time(ost) / av_q2d(enc->time_base);
    if (g_opt.keep_frame_rate) {
        const double frames_ahead = input_frames - double(ost->sync_opts);
        if (frames_ahead < -1.1) {
            nb_frames = 0;
        } else if (frames_ahead > 1.1) {
            nb_frames = static_cast<int>(std::min<int64_t>(round_nearest(frames_ahead), INT32_MAX));
        }
        if (nb_frames == 0) {
            ++g_run.pictures_dropped;
            if (g_opt.verbosity > 2) emsg("*** drop!\n");
        } else if (nb_frames > 1) {
            g_run.pictures_repeated += nb_frames - 1;
            if (g_opt.verbosity > 2) emsg("*** %d dup!\n", nb_frames - 1);
        }
    } else {
        // Without synchronisation the input's time is the picture's time; one
        // that does not advance cannot be encoded.
        const int64_t pts = round_nearest(input_frames);
        if (ost->frame_number > 0 && pts < ost->sync_opts) {
            ++g_run.pictures_dropped;
            return 0;
        }
        if (ost->frame_number == 0 && pts < 0) {
            ++g_run.pictures_dropped;
            return 0;
        }
        ost->sync_opts = pts;
    }
    const int64_t left = g_opt.frame_limits[AVMEDIA_TYPE_VIDEO] - ost->frame_number;
    nb_frames = static_cast<int>(std::min<int64_t>(nb_frames, left));
    if (nb_frames <= 0) return 0;

    AVFrame* pic = convert_picture(ost, in);
    if (!pic) return 0;

    for (int i = 0; i < nb_frames; ++i) {
        pic->pts = ost->sync_opts;
        pic->pict_type = AV_PICTURE_TYPE_NONE;
        pic->quality = g_opt.keep_input_quality ? static_cast<int>(ist->quality) : enc->global_quality;
        if (ost->top_field_first != -1) pic->top_field_first = ost->top_field_first;
        const int ret = encode_frame(ost, pic);
        if (ret < 0) return ret;
        ost->sync_opts++;
        ost->frame_number++;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Subtitles

static int write_subtitle(OutputStream* ost, AVSubtitle* sub, int64_t pts) {
    if (pts == AV_NOPTS_VALUE) {
        emsg("Subtitle packets must have a pts\n");
        return 0;
    }
    static std::vector<uint8_t> buf(1024 * 1024);
    const int nb = ost->enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 2 : 1;
    for (int i = 0; i < nb; ++i) {
        sub->pts = pts;
        if (i == 1) sub->num_rects = 0;  // the second packet clears the display
        const int size = avcodec_encode_subtitle(ost->enc, buf.data(), static_cast<int>(buf.size()), sub);
        if (size < 0) {
            emsg("Subtitle encoding failed\n");
            return -1;
        }
        AVPacket* pkt = ost->pkt;
        if (av_new_packet(pkt, size) < 0) return -1;
        memcpy(pkt->data, buf.data(), size);
        pkt->pts = pkt->dts = av_rescale_q(pts, AV_TIME_BASE_Q, ost->st->time_base);
        if (i == 1) pkt->pts = pkt->dts += av_rescale_q(sub->end_display_time, AVRational{1, 1000}, ost->st->time_base);
        if (write_packet(ost, pkt) < 0) return -1;
        av_packet_unref(pkt);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// One input packet (or, with null, the end of an input stream)

static int64_t frame_duration_us(const InputStream* ist) {
    if (ist->framerate.num > 0 && ist->framerate.den > 0)
        return av_rescale_q(1, av_inv_q(ist->framerate), AV_TIME_BASE_Q);
    return AV_TIME_BASE / 25;
}

static void pace(InputStream* ist) {
    if (!g_run.input_files[ist->file_index].read_at_own_pace) return;
    const int64_t pts = ist->pts - (ist->st->start_time != AV_NOPTS_VALUE
                                        ? av_rescale_q(ist->st->start_time, ist->st->time_base, AV_TIME_BASE_Q)
                                        : 0);
    const int64_t now = av_gettime_relative() - ist->start;
    if (pts > now) std::this_thread::sleep_for(std::chrono::microseconds(pts - now));
    ist->frame_count++;
}

static int audio_input_changed(InputStream* ist, AVFrame* frame) {
    const int ch = frame->ch_layout.nb_channels;
    const bool first = ist->channels == 0;
    const bool changed = !first && (frame->sample_rate != ist->sample_rate || ch != ist->channels);
    for (OutputStream* ost : g_run.output_streams) {
        if (g_run.input_streams[ost->source] != ist || !ost->encodes) continue;
        if (ost->swr && !changed && ost->in_fmt == frame->format) continue;
        if (!audio_setup_resampler(ost, ist, frame->sample_rate, &frame->ch_layout,
                                   static_cast<AVSampleFormat>(frame->format)))
            return -1;
        ost->in_fmt = frame->format;
        if (g_opt.fit_sound_to_time > 1) ost->converts_sound = true;
    }
    if (changed) emsg("\nChanged audio rate : sample_rate:%d  channels:%d\n", frame->sample_rate, ch);
    ist->sample_rate = frame->sample_rate;
    ist->channels = ch;
    return 0;
}

static int flush_encoders(InputStream* ist) {
    for (OutputStream* ost : g_run.output_streams) {
        if (g_run.input_streams[ost->source] != ist || !ost->encodes || ost->flushed) continue;
        ost->flushed = true;
        if (ost->type == AVMEDIA_TYPE_AUDIO) {
            if (drain_resampler(ost) < 0) return -1;
            if (ost->enc->frame_size <= 1) continue;
            // The tail shorter than a frame goes out as a short last frame
            // where the encoder takes one, rather than being lost.
            const int left = av_audio_fifo_size(ost->sound_queue);
            if (left > 0 && (ost->enc->codec->capabilities &
                             (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE))) {
                const size_t bytes = static_cast<size_t>(left) * 2 * std::max(1, ost->out_channels);
                if (ost->s16frame.size() < bytes) ost->s16frame.resize(bytes);
                void* dst[1] = {ost->s16frame.data()};
                av_audio_fifo_read(ost->sound_queue, dst, left);
                if (encode_audio_samples(ost, ost->s16frame.data(), left) < 0) return -1;
            }
        } else if (ost->type != AVMEDIA_TYPE_VIDEO) {
            continue;
        }
        if (encode_frame(ost, nullptr) < 0) return -1;
    }
    return 0;
}

static int copy_packet(OutputStream* ost, InputStream* ist, const AVPacket* pkt) {
    const InputFile& f = g_run.input_files[ist->file_index];
    AVPacket* opkt = ost->pkt;
    if (av_packet_ref(opkt, pkt) < 0) return -1;
    const int64_t offset = f.ts_offset - g_opt.start_offset;
    int64_t dts_us = pkt->dts != AV_NOPTS_VALUE ? av_rescale_q(pkt->dts, ist->st->time_base, AV_TIME_BASE_Q)
                                                : ist->pts;
    dts_us += offset;
    opkt->dts = av_rescale_q(dts_us, AV_TIME_BASE_Q, ost->st->time_base);
    if (pkt->pts != AV_NOPTS_VALUE)
        opkt->pts = av_rescale_q(av_rescale_q(pkt->pts, ist->st->time_base, AV_TIME_BASE_Q) + offset, AV_TIME_BASE_Q,
                                 ost->st->time_base);
    else
        opkt->pts = opkt->dts;
    opkt->duration = av_rescale_q(pkt->duration, ist->st->time_base, ost->st->time_base);
    if (ost->type == AVMEDIA_TYPE_VIDEO) {
        g_run.picture_bytes += pkt->size;
        ost->sync_opts++;
        ost->frame_number++;
    } else if (ost->type == AVMEDIA_TYPE_AUDIO) {
        g_run.sound_bytes += pkt->size;
        ost->frame_number++;
    }
    const int ret = write_packet(ost, opkt);
    av_packet_unref(opkt);
    return ret;
}

static int64_t packet_duration_us(const InputStream* ist, const AVPacket* pkt) {
    if (pkt->duration > 0) return av_rescale_q(pkt->duration, ist->st->time_base, AV_TIME_BASE_Q);
    const AVCodecParameters* par = ist->st->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0)
        return av_rescale(par->frame_size, AV_TIME_BASE, par->sample_rate);
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        AVRational r = ist->st->r_frame_rate.num ? ist->st->r_frame_rate : ist->st->avg_frame_rate;
        return r.num && r.den ? av_rescale_q(1, av_inv_q(r), AV_TIME_BASE_Q) : AV_TIME_BASE / 25;
    }
    return 0;
}

static void shift_packet(AVPacket* pkt, const InputStream* ist, int64_t us) {
    if (!us) return;
    const int64_t d = av_rescale_q(us, AV_TIME_BASE_Q, ist->st->time_base);
    if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += d;
    if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += d;
}

// Puts a packet on its file's running time. The correction travels with the packet into the
// decoder, so pictures and sound still in a decoder when a jump is met keep the time they had;
// the packet clock, not the decoded frames' (which lag by the decoder's delay), tells whether
// the timestamps jumped. True when this packet starts a new stretch of time.
static bool join_timestamps(const InputStream* ist, AVPacket* pkt) {
    InputFile& f = g_run.input_files[ist->file_index];
    shift_packet(pkt, ist, f.jump_correction);
    if (pkt->dts == AV_NOPTS_VALUE || ist->next_packet_time == AV_NOPTS_VALUE || g_opt.keep_input_times) return false;
    const int64_t delta = av_rescale_q(pkt->dts, ist->st->time_base, AV_TIME_BASE_Q) - ist->next_packet_time;
    if (delta <= kDiscontinuityThreshold && delta >= -kBackwardJumpThreshold) return false;
    f.jump_correction -= delta;
    shift_packet(pkt, ist, -delta);
    if (g_opt.verbosity > 2)
        emsg("timestamp discontinuity %lld, new offset= %lld\n", static_cast<long long>(delta),
             static_cast<long long>(f.ts_offset + f.jump_correction));
    return true;
}

// Failures on the output side end the run; a packet that does not decode only loses itself.
static int output_failure(int err) {
    g_run.output_failed = true;
    return err;
}

static int process_input_packet(InputStream* ist, const AVPacket* pkt) {
    if (ist->next_time == AV_NOPTS_VALUE) ist->next_time = ist->pts;
    if (pkt) {
        const int64_t start = pkt->dts != AV_NOPTS_VALUE ? av_rescale_q(pkt->dts, ist->st->time_base, AV_TIME_BASE_Q)
                              : ist->next_packet_time != AV_NOPTS_VALUE ? ist->next_packet_time
                                                                : ist->next_time;
        ist->next_packet_time = start + packet_duration_us(ist, pkt);
    }
    if (!pkt) {
        ist->pts = ist->next_time;
    } else if (pkt->dts != AV_NOPTS_VALUE) {
        ist->next_time = ist->pts = av_rescale_q(pkt->dts, ist->st->time_base, AV_TIME_BASE_Q);
    } else {
        ist->pts = ist->next_time;
    }
    const AVMediaType type = ist->st->codecpar->codec_type;

    if (ist->decodes) {
        if (type == AVMEDIA_TYPE_SUBTITLE) {
            if (!pkt) return 0;
            AVSubtitle sub;
            int got = 0;
            const int ret = avcodec_decode_subtitle2(ist->dec, &sub, &got, const_cast<AVPacket*>(pkt));
            if (ret < 0) return ret;
            if (!got) return 0;
            int64_t pts = pkt->pts != AV_NOPTS_VALUE
                              ? av_rescale_q(pkt->pts, ist->st->time_base, AV_TIME_BASE_Q) +
                                    g_run.input_files[ist->file_index].ts_offset
                              : AV_NOPTS_VALUE;
            int err = 0;
            for (OutputStream* ost : g_run.output_streams)
                if (g_run.input_streams[ost->source] == ist && ost->encodes && err >= 0)
                    err = write_subtitle(ost, &sub, pts);
            avsubtitle_free(&sub);
            return err < 0 ? output_failure(err) : 0;
        }
        if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) return 0;
        int ret = avcodec_send_packet(ist->dec, pkt);
        if (ret < 0 && ret != AVERROR_EOF && ret != AVERROR(EAGAIN)) return ret;
        AVFrame* frame = ist->frame;
        for (;;) {
            ret = avcodec_receive_frame(ist->dec, frame);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) break;
            if (ret < 0) return ret;
            const int64_t be = frame->best_effort_timestamp;
            if (be != AV_NOPTS_VALUE) ist->pts = av_rescale_q(be, ist->st->time_base, AV_TIME_BASE_Q);
            else ist->pts = ist->next_time;
            int err = 0;
            if (type == AVMEDIA_TYPE_AUDIO) {
                if (frame->sample_rate <= 0) {
                    av_frame_unref(frame);
                    continue;
                }
                ist->next_time = ist->pts + av_rescale(frame->nb_samples, AV_TIME_BASE, frame->sample_rate);
                err = audio_input_changed(ist, frame);
                pace(ist);
                for (OutputStream* ost : g_run.output_streams) {
                    if (err < 0) break;
                    if (g_run.input_streams[ost->source] == ist && ost->encodes)
                        err = write_audio_frames(ost, ist, frame);
                }
            } else {
                ist->quality = static_cast<float>(frame->quality);
                ist->next_time = ist->pts + frame_duration_us(ist);
                AVFrame* pic = frame;
                pace(ist);
                for (OutputStream* ost : g_run.output_streams) {
                    if (err < 0) break;
                    if (g_run.input_streams[ost->source] != ist || !ost->encodes) continue;
                    if (g_opt.deinterlace_pictures) pic = deinterlace(ost, frame);
                    err = write_video_frame(ost, ist, pic);
                }
            }
            av_frame_unref(frame);
            if (err < 0) return output_failure(err);
        }
    } else if (pkt) {
        // Copied only: advance the expected time by one packet.
        ist->next_time = ist->pts + packet_duration_us(ist, pkt);
    }

    if (pkt) {
        for (OutputStream* ost : g_run.output_streams) {
            if (g_run.input_streams[ost->source] != ist || !ost->stream_copy) continue;
            if (copy_packet(ost, ist, pkt) < 0) return output_failure(-1);
        }
    } else if (ist->decodes) {
        if (flush_encoders(ist) < 0) return output_failure(-1);
    }
    return 0;
}

// ---------------------------------------------------------------------------

static bool output_failed() {
    for (const OutputFile& f : g_run.output_files)
        if (f.write_failed) return true;
    return g_run.output_failed;
}

// A file that received no frame and no sample holds nothing the user asked for; one whose
// picture stream got not a single picture is a few moments of sound, not the video asked for.
static bool any_output_empty() {
    bool empty = false;
    for (size_t i = 0; i < g_run.output_files.size(); ++i) {
        OutputFile& of = g_run.output_files[i];
        if (of.packets_written == 0) {
            emsg("Nothing was written to output file #%d: no frame or sample could be converted\n",
                 static_cast<int>(i));
            empty = true;
            continue;
        }
        for (const OutputStream* ost : g_run.output_streams) {
            if (ost->file_index != static_cast<int>(i) || ost->type != AVMEDIA_TYPE_VIDEO || ost->frame_number > 0)
                continue;
            emsg("Output stream #%d.%d received no picture: the input's pictures could not be converted\n",
                 ost->file_index, ost->index);
            of.without_picture = true;
            empty = true;
        }
    }
    return empty;
}

int transcode() {
    int ret = transcode_setup();
    if (ret < 0) {
        transcode_release();
        return ret;
    }

    std::vector<int> eof(g_run.input_files.size(), 0);
    std::vector<unsigned> nb_streams(g_run.input_files.size(), 0);
    std::vector<size_t> first_ist(g_run.input_files.size(), 0);
    for (size_t i = 0, k = 0; i < g_run.input_files.size(); ++i) {
        nb_streams[i] = g_run.input_files[i].ctx->nb_streams;
        first_ist[i] = k;
        k += nb_streams[i];
    }
    AVPacket* pkt = av_packet_alloc();
    if (!pkt) {
        transcode_release();
        return -1;
    }
    bool failed = false;

    for (;;) {
        // Tested before every read, also after a packet that did not decode: a damaged
        // stretch must not hold a stop back.
        if (stop_requested.load(std::memory_order_relaxed)) break;
        // The input whose output is furthest behind is read next.
        int file_index = -1;
        double least_time = 1e300;
        bool limit = false;
        for (OutputStream* ost : g_run.output_streams) {
            const InputStream* ist = g_run.input_streams[ost->source];
            const double t = output_time(ost);
            if (!eof[ist->file_index] && t < least_time) {
                least_time = t;
                file_index = ist->file_index;
            }
            if (ost->type >= 0 && ost->type <= AVMEDIA_TYPE_SUBTITLE &&
                ost->frame_number >= g_opt.frame_limits[ost->type]) {
                limit = true;
                break;
            }
        }
        if (limit || file_index < 0) break;
        if (g_opt.duration_limit > 0 && least_time >= double(g_opt.duration_limit) / AV_TIME_BASE) break;
        if (g_opt.size_limit_kib && !g_run.output_files.empty() && g_run.output_files[0].ctx->pb &&
            avio_tell(g_run.output_files[0].ctx->pb) > int64_t(g_opt.size_limit_kib) * 1024)
            break;

        AVFormatContext* ic = g_run.input_files[file_index].ctx;
        if (av_read_frame(ic, pkt) < 0) {
            eof[file_index] = 1;
            if (g_opt.end_with_shortest_input) break;
            continue;
        }
        if (g_opt.print_packets) av_pkt_dump2(stdout, pkt, g_opt.print_packet_bytes, ic->streams[pkt->stream_index]);
        if (pkt->stream_index < 0 || static_cast<unsigned>(pkt->stream_index) >= nb_streams[file_index]) {
            av_packet_unref(pkt);
            continue;
        }
        InputStream* ist = g_run.input_streams[first_ist[file_index] + pkt->stream_index];
        if (ist->unused) {
            av_packet_unref(pkt);
            continue;
        }
        if (join_timestamps(ist, pkt)) {
            for (size_t k = 0; k < nb_streams[file_index]; ++k)
                g_run.input_streams[first_ist[file_index] + k]->at_stream_start = true;
        }
        if (process_input_packet(ist, pkt) < 0) {
            av_packet_unref(pkt);
            if (output_failed()) {
                failed = true;
                break;
            }
            if (g_opt.verbosity >= 0) emsg("Error while decoding stream #%d.%d\n", ist->file_index, ist->index);
            continue;
        }
        av_packet_unref(pkt);
        report_progress(0);
    }
    av_packet_free(&pkt);

    // Flush decoders and encoders, even after a stop, so the output is whole.
    if (!failed) {
        for (InputStream* ist : g_run.input_streams) {
            if (!ist->decodes) continue;
            if (process_input_packet(ist, nullptr) < 0 && output_failed()) {
                failed = true;
                break;
            }
        }
    }
    for (size_t i = 0; i < g_run.output_files.size(); ++i) {
        OutputFile& of = g_run.output_files[i];
        if (av_write_trailer(of.ctx) < 0 || (of.ctx->pb && of.ctx->pb->error < 0)) {
            if (!of.write_failed) emsg("Error while writing the trailer of output file #%d\n", static_cast<int>(i));
            of.write_failed = true;
        }
        if (of.ctx->pb) avio_flush(of.ctx->pb);
        if (of.ctx->pb && of.ctx->pb->error < 0) of.write_failed = true;
    }
    report_progress(1);
    if (g_picture_stats_file) fflush(g_picture_stats_file);
    if (any_output_empty()) failed = true;
    transcode_release();
    return failed || output_failed() ? -1 : 0;
}

}  // namespace ffdrv
