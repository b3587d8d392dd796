// Option table, parser, help, option handlers and the per-run reset.
#include "ffmpeg_internal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

namespace ffdrv {

Options g_opt;
std::bitset<256> g_given;
const char* g_program_name = "ffmpeg";

// ---------------------------------------------------------------------------
// Messages

static MessageSink g_sink = nullptr;

void set_message_sink(MessageSink sink) { g_sink = sink; }

static void vmsg(int stream, const char* fmt, va_list ap) {
    va_list copy;
    va_copy(copy, ap);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) return;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    vsnprintf(&text[0], text.size(), fmt, ap);
    text.resize(static_cast<size_t>(n));
    if (g_sink) {
        g_sink(stream, text.c_str());
    } else {
        FILE* f = stream == 1 ? stdout : stderr;
        fputs(text.c_str(), f);
    }
}

void emsg(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vmsg(2, fmt, ap);
    va_end(ap);
}

void omsg(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vmsg(1, fmt, ap);
    va_end(ap);
}

// ---------------------------------------------------------------------------
// Number parsing, independent of the process locale.

static const char* skip_space(const char* s) {
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\f' || *s == '\v') ++s;
    return s;
}

int64_t parse_int64(const char* s) {
    if (!s) return 0;
    s = skip_space(s);
    bool neg = false;
    if (*s == '+' || *s == '-') neg = (*s++ == '-');
    int64_t v = 0;
    while (*s >= '0' && *s <= '9') {
        int d = *s++ - '0';
        if (v > (INT64_MAX - d) / 10) {
            v = INT64_MAX;
            while (*s >= '0' && *s <= '9') ++s;
            break;
        }
        v = v * 10 + d;
    }
    return neg ? -v : v;
}

int parse_int(const char* s) {
    int64_t v = parse_int64(s);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

double parse_double(const char* s) {
    if (!s) return 0.0;
    s = skip_space(s);
    if (*s == '+') ++s;
    double v = 0.0;
    auto r = std::from_chars(s, s + strlen(s), v);
    if (r.ec == std::errc::invalid_argument) return 0.0;
    if (r.ec == std::errc::result_out_of_range) return 0.0;
    return v;
}

int64_t saturate_mul(int64_t v, int64_t m) {
    int64_t r;
    if (!__builtin_mul_overflow(v, m, &r)) return r;
    return (v < 0) != (m < 0) ? INT64_MIN : INT64_MAX;
}

static float to_float(double d) {
    if (std::isnan(d)) return 0.0f;
    if (d > 3.4e38) return 3.4e38f;
    if (d < -3.4e38) return -3.4e38f;
    return static_cast<float>(d);
}

int clamp_to_int(double d) {
    if (!(d == d)) return 0;
    if (d >= 2147483647.0) return INT_MAX;
    if (d <= -2147483648.0) return INT_MIN;
    return static_cast<int>(d);
}

int64_t clamp_to_int64(double d) {
    if (!(d == d)) return 0;
    if (d >= 9223372036854775807.0) return INT64_MAX;
    if (d <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(d);
}

// The old verbosity numbers (-1 quiet, 0 errors, 1 information, 2 debug)
// against the library's current levels.
int map_log_level(int old_level) {
    if (old_level < 0) return AV_LOG_QUIET;
    if (old_level == 0) return AV_LOG_ERROR;
    if (old_level == 1) return AV_LOG_INFO;
    return AV_LOG_DEBUG;
}

// ---------------------------------------------------------------------------
// Reset

void ResetOptionDefaults() {
    g_opt = Options{};
    g_given.reset();
    g_run.input_files.clear();
    g_run.output_files.clear();
    g_run.stream_maps.clear();
    g_run.meta_data_maps.clear();
    g_run.picture_bytes = g_run.sound_bytes = g_run.header_bytes = 0;
    g_run.pictures_repeated = g_run.pictures_dropped = 0;
    g_run.output_failed = false;
    // The stop flag is not touched: a stop asked for while the run was being prepared is
    // for this run, and the end of each run clears it.
}

bool option_given(const char* name) {
    const OptionEntry* po = FindOption(kOptionTable, name);
    if (!po->name) return false;
    return g_given.test(static_cast<size_t>(po - kOptionTable));
}

// ---------------------------------------------------------------------------
// Handlers

static void handle_int_store(int* dst, const char* arg) { *dst = parse_int(arg); }
static void handle_float_store(float* dst, const char* arg) { *dst = to_float(parse_double(arg)); }

#define INT_HANDLER(fn, member) \
    static void fn(const char* arg) { handle_int_store(&g_opt.member, arg); }
#define FLOAT_HANDLER(fn, member) \
    static void fn(const char* arg) { handle_float_store(&g_opt.member, arg); }
#define KBIT_HANDLER(fn, member) \
    static void fn(const char* arg) { g_opt.member = saturate_mul(parse_int64(arg), 1000); }

INT_HANDLER(handle_bug, workaround_bugs)
INT_HANDLER(handle_dct_algo, dct_algo)
INT_HANDLER(handle_idct_algo, idct_algo)
INT_HANDLER(handle_me_threshold, me_threshold)
INT_HANDLER(handle_mb_threshold, mb_threshold)
INT_HANDLER(handle_er, error_resilience)
INT_HANDLER(handle_ec, error_concealment)
INT_HANDLER(handle_vismv, show_motion)
INT_HANDLER(handle_gop, gop_size)
INT_HANDLER(handle_mbd, mb_decision)
INT_HANDLER(handle_mbcmp, mb_cmp)
INT_HANDLER(handle_ildctcmp, ildct_cmp)
INT_HANDLER(handle_subcmp, sub_cmp)
INT_HANDLER(handle_cmp, cmp)
INT_HANDLER(handle_precmp, pre_cmp)
INT_HANDLER(handle_preme, pre_me)
INT_HANDLER(handle_ibias, key_block_bias)
INT_HANDLER(handle_pbias, predicted_block_bias)
INT_HANDLER(handle_ps, packet_size)
INT_HANDLER(handle_error, error_rate)
INT_HANDLER(handle_strict, strict)
INT_HANDLER(handle_top, top_field_first)
INT_HANDLER(handle_nr, noise_reduction)
INT_HANDLER(handle_qns, qns)
INT_HANDLER(handle_sc_threshold, sc_threshold)
INT_HANDLER(handle_me_range, me_range)
INT_HANDLER(handle_ar, sound_rate)
INT_HANDLER(handle_ac, sound_channels)

KBIT_HANDLER(handle_b, picture_bit_rate)
KBIT_HANDLER(handle_bt, picture_bit_rate_leeway)
KBIT_HANDLER(handle_maxrate, rate_max)
KBIT_HANDLER(handle_minrate, rate_min)
KBIT_HANDLER(handle_ab, sound_bit_rate)
KBIT_HANDLER(handle_muxab, tag_audio_bit_rate)
KBIT_HANDLER(handle_muxvb, tag_video_bit_rate)

static void handle_bufsize(const char* arg) {
    g_opt.rate_buffer_bits = saturate_mul(parse_int64(arg), 8192);
}

FLOAT_HANDLER(handle_lumi_mask, lumi_mask)
FLOAT_HANDLER(handle_dark_mask, dark_mask)
FLOAT_HANDLER(handle_scplx_mask, scplx_mask)
FLOAT_HANDLER(handle_tcplx_mask, tcplx_mask)
FLOAT_HANDLER(handle_p_mask, p_mask)
FLOAT_HANDLER(handle_qblur, quantiser_blur)
FLOAT_HANDLER(handle_qcomp, quantiser_compression)
FLOAT_HANDLER(handle_rc_init_cplx, rate_initial_complexity)
FLOAT_HANDLER(handle_b_qfactor, bidir_q_factor)
FLOAT_HANDLER(handle_i_qfactor, key_q_factor)
FLOAT_HANDLER(handle_b_qoffset, bidir_q_offset)
FLOAT_HANDLER(handle_i_qoffset, key_q_offset)

static void handle_lmin(const char* arg) { g_opt.lambda_min = clamp_to_int(parse_double(arg) * 118); }
static void handle_lmax(const char* arg) { g_opt.lambda_max = clamp_to_int(parse_double(arg) * 118); }

static void handle_mb_lmin(const char* arg) {
    g_opt.block_lambda_min = clamp_to_int(parse_double(arg) * 118);
    if (g_opt.block_lambda_min < 1 || g_opt.block_lambda_min > 32767)
        emsg("mblmin must be >= 1 and <= %d\n", 277);
}

static void handle_mb_lmax(const char* arg) {
    g_opt.block_lambda_max = clamp_to_int(parse_double(arg) * 118);
    if (g_opt.block_lambda_max < 1 || g_opt.block_lambda_max > 32767)
        emsg("mblmax must be >= 1 and <= %d\n", 277);
}

static void handle_qmin(const char* arg) {
    g_opt.quantiser_min = parse_int(arg);
    if (g_opt.quantiser_min < 1 || g_opt.quantiser_min > 51) emsg("qmin must be >= 1 and <= 51\n");
}

static void handle_qmax(const char* arg) {
    g_opt.quantiser_max = parse_int(arg);
    if (g_opt.quantiser_max < 1 || g_opt.quantiser_max > 51) emsg("qmax must be >= 1 and <= 51\n");
}

static void handle_qdiff(const char* arg) {
    g_opt.quantiser_step_max = parse_int(arg);
    if (g_opt.quantiser_step_max < 1 || g_opt.quantiser_step_max > 31) emsg("qdiff must be >= 1 and <= 31\n");
}

static void handle_lelim(const char* arg) {
    g_opt.lelim = parse_int(arg);
    if (g_opt.lelim < -99 || g_opt.lelim > 99) emsg("lelim must be >= -99 and <= 99\n");
}

static void handle_celim(const char* arg) {
    g_opt.celim = parse_int(arg);
    if (g_opt.celim < -99 || g_opt.celim > 99) emsg("celim must be >= -99 and <= 99\n");
}

static void handle_bf(const char* arg) {
    g_opt.bidir_frames = parse_int(arg);
    if (g_opt.bidir_frames > 8) {
        emsg("\nCannot have more than %d B frames, increase FF_MAX_B_FRAMES.\n", 8);
    } else if (g_opt.bidir_frames < 1) {
        emsg("\nNumber of B frames must be higher than 0\n");
    }
}

static void handle_qscale(const char* arg) {
    g_opt.fixed_quantiser = to_float(parse_double(arg));
    if (g_opt.fixed_quantiser < 0.01f || g_opt.fixed_quantiser > 255.0f)
        emsg("qscale must be >= 0.01 and <= 255\n");
}

static void handle_qsquish(const char* arg) {
    g_opt.quantiser_squish = to_float(parse_double(arg));
    if (g_opt.quantiser_squish < 0.0f || g_opt.quantiser_squish > 99.0f)
        emsg("qsquish must be >= 0.0 and <= 99.0\n");
}

static void handle_rc_eq(const char* arg) { g_opt.rc_eq = arg; }
static void handle_rc_override(const char* arg) { g_opt.rc_override = arg; }
static void handle_vd(const char* arg) { g_opt.capture_picture_device = arg; }
static void handle_gd(const char* arg) { g_opt.capture_device = arg; }
static void handle_ad(const char* arg) { g_opt.capture_sound_device = arg; }
static void handle_tvstd(const char* arg) { g_opt.capture_norm = arg; }

static void handle_vc(const char* arg) {
    g_opt.capture_channel = static_cast<int>(strtol(arg, nullptr, 0));
}

static int parse_fourcc(const char* arg) {
    char* tail = nullptr;
    long v = strtol(arg, &tail, 0);
    if (tail && *tail == '\0' && tail != arg) return static_cast<int>(v);
    // Fewer than four characters leave the missing bytes zero.
    unsigned char c[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && arg[i]; ++i) c[i] = static_cast<unsigned char>(arg[i]);
    return static_cast<int>(c[0] + (c[1] << 8) + (c[2] << 16) + (static_cast<unsigned>(c[3]) << 24));
}

static void handle_atag(const char* arg) { g_opt.sound_tag = parse_fourcc(arg); }
static void handle_vtag(const char* arg) { g_opt.picture_tag = parse_fourcc(arg); }

static int64_t parse_duration(const char* arg) {
    int64_t us = 0;
    if (av_parse_time(&us, arg, 1) < 0) return 0;
    return std::clamp(us, -kMaxOptionTime, kMaxOptionTime);
}

static void handle_recording_time(const char* arg) { g_opt.duration_limit = parse_duration(arg); }
static void handle_start_time(const char* arg) { g_opt.start_offset = parse_duration(arg); }
static void handle_input_ts_offset(const char* arg) { g_opt.input_time_shift = parse_duration(arg); }

static void handle_rec_timestamp(const char* arg) {
    int64_t us = 0;
    if (av_parse_time(&us, arg, 0) < 0) us = 0;
    g_opt.header_date = us / 1000000;
}

// The fix-aspect rule: the picture keeps the input's shape inside the
// requested frame, the rest becomes pad bands. W x H is the picture size the
// request replaces.
static void fix_aspect_size(int w, int h, int W, int H) {
    const double a = g_opt.input_sar == 0.0f ? 1.0 : g_opt.input_sar;
    // A zero input width would divide by zero below: treat it like an unknown size.
    if (H == 0 || h == 0 || W == 0) {
        g_opt.picture_width = w;
        g_opt.picture_height = h;
        return;
    }
    const int64_t d = (int64_t(w) * 1000) / h - clamp_to_int(W * a * 1000.0 / H);
    if (g_opt.fixaspect && d != 0) {
        // The picture part is held within the frame (a rounding, or a far-off sample aspect,
        // could put it past), so no band comes out negative; an empty picture the set-up refuses.
        if (d < 0) {
            const int h2 = static_cast<int>(
                std::clamp<int64_t>(2 * int64_t(clamp_to_int((double(w) * H) / (W * a) / 2.0)), 0, h));
            const int r = h - h2;
            g_opt.picture_width = w;
            g_opt.picture_height = h2;
            g_opt.pad_top = 2 * ((r / 2) / 2);
            g_opt.pad_bottom = r - g_opt.pad_top;
            g_opt.pad_left = g_opt.pad_right = 0;
        } else {
            const int w2 = static_cast<int>(
                std::clamp<int64_t>(2 * int64_t(clamp_to_int((double(h) * W * a) / H / 2.0)), 0, w));
            const int r = w - w2;
            g_opt.picture_width = w2;
            g_opt.picture_height = h;
            g_opt.pad_left = 2 * ((r / 2) / 2);
            g_opt.pad_right = r - g_opt.pad_left;
            g_opt.pad_top = g_opt.pad_bottom = 0;
        }
        return;
    }
    g_opt.picture_width = w;
    g_opt.picture_height = h;
}

static void handle_frame_size(const char* arg) {
    int w = 0, h = 0;
    if (av_parse_video_size(&w, &h, arg) < 0) {
        emsg("Incorrect frame size\n");
        return;
    }
    if ((w % 2) != 0 || (h % 2) != 0) {
        emsg("Frame size must be a multiple of 2\n");
        return;
    }
    if (av_image_check_size(static_cast<unsigned>(w), static_cast<unsigned>(h), 0, nullptr) < 0) {
        emsg("Frame size %dx%d is larger than a picture can be\n", w, h);
        return;
    }
    g_opt.requested_width = w;
    g_opt.requested_height = h;
    g_opt.fixaspect_applied = g_opt.fixaspect;
    fix_aspect_size(w, h, g_opt.picture_width, g_opt.picture_height);
}

// The encoder wrapper names "-fixaspect" after "-s", when the size has already
// been taken as it is; the rule then applies when the output is created, so
// that the setting is not silently lost.
void apply_late_fixaspect() {
    if (!g_opt.fixaspect || g_opt.fixaspect_applied || !g_opt.requested_width || !g_opt.input_width) return;
    const int W = g_opt.input_width - g_opt.crop_left - g_opt.crop_right;
    const int H = g_opt.input_height - g_opt.crop_top - g_opt.crop_bottom;
    if (W <= 0 || H <= 0) return;
    g_opt.fixaspect_applied = 1;
    fix_aspect_size(g_opt.requested_width, g_opt.requested_height, W, H);
}

static void crop_band(int* band, const char* arg, const char* name, const char* Name, bool vertical) {
    *band = parse_int(arg);
    if (*band < 0) {
        emsg("Incorrect %s crop size\n", name);
        return;
    }
    if ((*band % 2) != 0) {
        emsg("%s crop size must be a multiple of 2\n", Name);
        return;
    }
    int& dim = vertical ? g_opt.picture_height : g_opt.picture_width;
    if (*band >= dim) {
        if (vertical)
            emsg("Vertical crop dimensions are outside the range of the original image.\n"
                 "Remember to crop first and scale second.\n");
        else
            emsg("Horizontal crop dimensions are outside the range of the original image.\n"
                 "Remember to crop first and scale second.\n");
        return;
    }
    dim -= *band;
}

static void handle_crop_top(const char* a) { crop_band(&g_opt.crop_top, a, "top", "Top", true); }
static void handle_crop_bottom(const char* a) { crop_band(&g_opt.crop_bottom, a, "bottom", "Bottom", true); }
static void handle_crop_left(const char* a) { crop_band(&g_opt.crop_left, a, "left", "Left", false); }
static void handle_crop_right(const char* a) { crop_band(&g_opt.crop_right, a, "right", "Right", false); }

static void pad_band(int* band, const char* arg, const char* name, const char* Name) {
    *band = parse_int(arg);
    if (*band < 0) {
        emsg("Incorrect %s pad size\n", name);
        return;
    }
    if ((*band % 2) != 0) emsg("%s pad size must be a multiple of 2\n", Name);
}

static void handle_pad_top(const char* a) { pad_band(&g_opt.pad_top, a, "top", "Top"); }
static void handle_pad_bottom(const char* a) { pad_band(&g_opt.pad_bottom, a, "bottom", "Bottom"); }
static void handle_pad_left(const char* a) { pad_band(&g_opt.pad_left, a, "left", "Left"); }
static void handle_pad_right(const char* a) { pad_band(&g_opt.pad_right, a, "right", "Right"); }

static void handle_pad_color(const char* arg) {
    const long rgb = strtol(arg, nullptr, 16);
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    g_opt.pad_color[0] = (306 * r + 601 * g + 117 * b + 512) >> 10;
    g_opt.pad_color[1] = ((-173 * r - 339 * g + 512 * b + 511) >> 10) + 128;
    g_opt.pad_color[2] = ((512 * r - 429 * g - 83 * b + 511) >> 10) + 128;
}

static void handle_frame_aspect_ratio(const char* arg) {
    double ar = 0;
    const char* colon = strchr(arg, ':');
    long x = 0, y = 0;
    if (colon) {
        x = strtol(arg, nullptr, 10);
        y = strtol(colon + 1, nullptr, 10);
    }
    if (x > 0 && y > 0)
        ar = double(x) / double(y);
    else
        ar = parse_double(arg);
    if (ar == 0.0) {
        emsg("Incorrect aspect ratio specification.\n");
        return;
    }
    g_opt.display_aspect = to_float(ar);
}

static void handle_pix_fmt(const char* arg) {
    g_opt.pixel_format = av_get_pix_fmt(arg);
    g_opt.pix_fmt_given = 1;
}

static void handle_frame_rate(const char* arg) {
    AVRational r;
    if (av_parse_video_rate(&r, arg) < 0) {
        emsg("Incorrect frame rate\n");
        return;
    }
    g_opt.picture_rate = r;
}

static void handle_max_frame_rate(const char* arg) {
    AVRational r;
    if (av_parse_video_rate(&r, arg) < 0) {
        emsg("Incorrect frame rate\n");
        return;
    }
    g_opt.max_frame_rate = r;
}

static const char* const kMotionStr[] = {"zero", "full", "log", "phods", "epzs", "x1"};

static void handle_motion_estimation(const char* arg) {
    for (int i = 0; i < 6; ++i) {
        if (!strcmp(kMotionStr[i], arg)) {
            g_opt.motion_search = i + 1;
            return;
        }
    }
    emsg("Unknown motion estimation method '%s'\n", arg);
}

// The encoder names the wrapper and older command lines use, against what this
// library build offers.
static const char* codec_alias(const char* name, AVMediaType type) {
    if (type == AVMEDIA_TYPE_VIDEO && !strcmp(name, "xvid")) return "libxvid";
    return name;
}

static void set_codec_option(int* copy_flag, int* codec_id, AVMediaType type, const char* arg) {
    if (!strcmp(arg, "copy")) {
        *copy_flag = 1;
        return;
    }
    const char* name = codec_alias(arg, type);
    void* it = nullptr;
    const AVCodec* c;
    while ((c = av_codec_iterate(&it))) {
        if (c->type == type && !strcmp(c->name, name)) {
            *codec_id = c->id;
            return;
        }
    }
    const AVCodecDescriptor* d = avcodec_descriptor_get_by_name(name);
    if (d && d->type == type) {
        *codec_id = d->id;
        return;
    }
    emsg("Unknown codec '%s'\n", arg);
}

static void handle_video_codec(const char* arg) {
    set_codec_option(&g_opt.copy_pictures, &g_opt.picture_codec, AVMEDIA_TYPE_VIDEO, arg);
}
static void handle_audio_codec(const char* arg) {
    set_codec_option(&g_opt.copy_sound, &g_opt.sound_codec, AVMEDIA_TYPE_AUDIO, arg);
}
static void handle_subtitle_codec(const char* arg) {
    set_codec_option(&g_opt.copy_subtitles, &g_opt.subtitle_codec, AVMEDIA_TYPE_SUBTITLE, arg);
}

static void handle_format(const char* arg) {
    if (!strcmp(arg, "pgmyuv")) {
        g_opt.pgmyuv_input = 1;
        arg = "image2";
    }
    g_opt.forced_input_format = av_find_input_format(arg);
    g_opt.forced_output_format = av_guess_format(arg, nullptr, nullptr);
    if (!g_opt.forced_input_format && !g_opt.forced_output_format) emsg("Unknown input or output format: %s\n", arg);
}

static void handle_image_format(const char* arg) {
    // This library build has no separate image-format list.
    emsg("Unknown image format: '%s'\n", arg);
}

static void handle_grab(const char* arg) {
    g_opt.forced_input_format = av_find_input_format(arg);
    open_input_file("");
}

static void handle_map(const char* arg) {
    if (g_run.stream_maps.size() >= kMaxStreamMaps) {
        emsg("Too many stream maps (at most %d)\n", kMaxStreamMaps);
        return;
    }
    StreamMap m{};
    char* p = const_cast<char*>(arg);
    m.file_index = static_cast<int>(strtol(arg, &p, 0));
    if (*p) ++p;
    m.stream_index = static_cast<int>(strtol(p, &p, 0));
    if (*p) {
        ++p;
        m.sync_file_index = static_cast<int>(strtol(p, &p, 0));
        if (*p) ++p;
        m.sync_stream_index = static_cast<int>(strtol(p, &p, 0));
    } else {
        m.sync_file_index = m.file_index;
        m.sync_stream_index = m.stream_index;
    }
    g_run.stream_maps.push_back(m);
}

static void handle_map_meta_data(const char* arg) {
    if (g_run.meta_data_maps.size() >= kMaxMetaDataMaps) {
        emsg("Too many meta data maps (at most %d)\n", kMaxMetaDataMaps);
        return;
    }
    MetaDataMap m{};
    char* p = const_cast<char*>(arg);
    m.out_file = static_cast<int>(strtol(arg, &p, 0));
    if (*p) ++p;
    m.in_file = static_cast<int>(strtol(p, &p, 0));
    g_run.meta_data_maps.push_back(m);
}

static void handle_pass(const char* arg) {
    const int pass = parse_int(arg);
    if (pass != 1 && pass != 2) {
        emsg("pass number can be only 1 or 2\n");
        return;
    }
    g_opt.pass_number = pass;
}

static void handle_bitexact(const char*) { g_opt.bitexact = 1; }

static void parse_matrix(std::vector<uint16_t>* m, const char* arg) {
    m->assign(64, 0);
    const char* p = arg;
    for (int i = 0; i < 64; ++i) {
        (*m)[i] = static_cast<uint16_t>(parse_int(p));
        if (i == 63) break;
        p = strchr(p, ',');
        if (!p) {
            emsg("Syntax error in matrix \"%s\" at coeff %d\n", arg, i);
            break;
        }
        ++p;
    }
}

static void handle_intra_matrix(const char* arg) { parse_matrix(&g_opt.intra_matrix, arg); }
static void handle_inter_matrix(const char* arg) { parse_matrix(&g_opt.inter_matrix, arg); }

static void handle_verbose(const char* arg) {
    g_opt.verbosity = parse_int(arg);
    av_log_set_level(map_log_level(g_opt.verbosity));
}

static void handle_debug(const char* arg) {
    g_opt.debug = parse_int(arg);
    av_log_set_level(map_log_level(2));
}

static void handle_thread_count(const char* arg) {
    // Each thread is a decoder or encoder copy: a count past what any machine uses is held.
    g_opt.thread_count = std::clamp(parse_int(arg), 0, kMaxThreads);
    if (g_opt.verbosity >= 0) emsg("Warning: not compiled with thread support, using thread emulation\n");
}

static void handle_video_hook(const char* arg) {
    // No hook loader exists here; the text is only split to report it.
    g_opt.vhook_text = arg;
    g_opt.hook_requested = 1;
    int words = 0;
    const char* p = arg;
    while (*p && words < 63) {
        while (*p == ' ') ++p;
        if (!*p) break;
        ++words;
        while (*p && *p != ' ') ++p;
    }
    emsg("Failed to add video hook function: %s\n", arg);
}

static void handle_new_video_stream(const char*) {
    if (g_run.output_files.empty()) {
        emsg("At least one output file must be specified\n");
        return;
    }
    add_video_stream(g_run.output_files.back().ctx);
}

static void handle_new_audio_stream(const char*) {
    if (g_run.output_files.empty()) {
        emsg("At least one output file must be specified\n");
        return;
    }
    add_audio_stream(g_run.output_files.back().ctx);
}

static void handle_new_subtitle_stream(const char*) {
    if (g_run.output_files.empty()) {
        emsg("At least one output file must be specified\n");
        return;
    }
    add_subtitle_stream(g_run.output_files.back().ctx);
}

static void show_banner() {
    emsg("Velmora Corvane transcoding driver, build %d\n", 4759);
    emsg("  configuration: %s\n", "the codec and format libraries installed on this system");
    emsg("  built on Dec 31 2006 10:16:07");
    emsg(", using a non-gcc compiler\n");
}

static void show_license(const char*) {
    show_banner();
    emsg("This driver is part of Velmora Corvane. The codec and format libraries it calls are\n"
         "separate works, used as they are installed on this system, and each comes under the\n"
         "licence it was distributed with.\n");
}

static void show_version(const char*) {
    emsg("ffmpeg      CVS\nlibavcodec  %d\nlibavformat %d\n", static_cast<int>(avcodec_version()), 4629);
}

static void show_formats(const char*) {
    emsg("File formats:\n");
    // Merge demuxers and muxers by name, in name order.
    std::vector<std::pair<std::string, std::pair<int, std::string>>> names;
    auto add = [&names](const char* name, const char* long_name, int bit) {
        for (auto& n : names) {
            if (n.first == name) {
                n.second.first |= bit;
                return;
            }
        }
        names.push_back({name, {bit, long_name ? long_name : ""}});
    };
    void* it = nullptr;
    const AVInputFormat* ifmt;
    while ((ifmt = av_demuxer_iterate(&it))) add(ifmt->name, ifmt->long_name, 1);
    it = nullptr;
    const AVOutputFormat* ofmt;
    while ((ofmt = av_muxer_iterate(&it))) add(ofmt->name, ofmt->long_name, 2);
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& n : names)
        emsg(" %s%s %-15s %s\n", (n.second.first & 1) ? "D" : " ", (n.second.first & 2) ? "E" : " ",
             n.first.c_str(), n.second.second.c_str());
    emsg("\n");
    emsg("Image formats (filename extensions, if any, follow):\n");
    emsg("\n");
    emsg("Codecs:\n");
    std::vector<std::pair<std::string, int>> codecs;  // name, caps bits
    it = nullptr;
    const AVCodec* c;
    while ((c = av_codec_iterate(&it))) {
        const int bit = av_codec_is_encoder(c) ? 2 : 1;
        bool found = false;
        for (auto& e : codecs) {
            if (e.first == c->name) {
                e.second |= bit;
                found = true;
            }
        }
        if (!found) codecs.push_back({c->name, bit | (c->type << 4) | ((c->capabilities & 0xFF) << 8)});
    }
    std::sort(codecs.begin(), codecs.end());
    for (auto& e : codecs) {
        const int type = (e.second >> 4) & 0xF;
        const int caps = e.second >> 8;
        const char* t = type == AVMEDIA_TYPE_VIDEO ? "V" : type == AVMEDIA_TYPE_AUDIO ? "A"
                      : type == AVMEDIA_TYPE_SUBTITLE ? "S" : "?";
        emsg(" %s%s%s%s%s%s %s", (e.second & 1) ? "D" : " ", (e.second & 2) ? "E" : " ", t,
             (caps & AV_CODEC_CAP_DRAW_HORIZ_BAND) ? "S" : " ", (caps & AV_CODEC_CAP_DR1) ? "D" : " ",
             (caps & AV_CODEC_CAP_TRUNCATED) ? "T" : " ", e.first.c_str());
        emsg("\n");
    }
    emsg("\n");
    emsg("Supported file protocols:\n");
    void* op = nullptr;
    const char* proto;
    while ((proto = avio_enum_protocols(&op, 0))) emsg(" %s:", proto);
    emsg("\n");
    emsg("Frame size, frame rate abbreviations:\n ntsc pal qntsc qpal sntsc spal film ntsc-film sqcif qcif cif 4cif\n");
    emsg("Motion estimation methods:\n");
    for (int i = 0; i < 6; ++i) {
        emsg(" %s", kMotionStr[i]);
        if (i == 0) emsg("(fastest)");
        else if (i == 1) emsg("(slowest)");
        else if (i == 4) emsg("(default)");
    }
    emsg("\n\n");
    emsg("Note, the names of encoders and decoders dont always match: one codec may be listed\n"
         "twice, once under the name of its decoder and once under that of its encoder, each\n"
         "with a single mark. A container listed for reading only or writing only may still\n"
         "be handled both ways under another name.\n");
}

// "target" presets.
static void call_option(const char* name, const char* arg);

static void handle_target(const char* arg) {
    enum { UNKNOWN, PAL, NTSC, FILM } norm = UNKNOWN;
    static const char* const frame_rates[] = {"25", "30000/1001", "24000/1001"};
    if (!strncmp(arg, "pal-", 4)) {
        norm = PAL;
        arg += 4;
    } else if (!strncmp(arg, "ntsc-", 5)) {
        norm = NTSC;
        arg += 5;
    } else if (!strncmp(arg, "film-", 5)) {
        norm = FILM;
        arg += 5;
    } else {
        const int fr = clamp_to_int(av_q2d(g_opt.picture_rate) * 1000.0);
        norm = fr == 25000 ? PAL : (fr == 29970 || fr == 23976) ? NTSC : UNKNOWN;
        for (size_t j = 0; norm == UNKNOWN && j < g_run.input_files.size(); ++j) {
            AVFormatContext* ic = g_run.input_files[j].ctx;
            for (unsigned i = 0; i < ic->nb_streams; ++i) {
                AVStream* st = ic->streams[i];
                if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
                AVRational tb = st->avg_frame_rate.num ? av_inv_q(st->avg_frame_rate) : st->time_base;
                if (!tb.num) continue;
                const int f = static_cast<int>(int64_t(tb.den) * 1000 / tb.num);
                if (f == 25000) {
                    norm = PAL;
                    break;
                }
                if (f == 29970 || f == 23976) {
                    norm = NTSC;
                    break;
                }
            }
        }
        if (g_opt.verbosity && norm != UNKNOWN) emsg("Assuming %s for target.\n", norm == PAL ? "PAL" : "NTSC");
    }
    if (norm == UNKNOWN) {
        emsg("Could not determine norm (PAL/NTSC/NTSC-Film) for target.\n");
        emsg("Please prefix target with \"pal-\", \"ntsc-\" or \"film-\",\n");
        emsg("or set a framerate with \"-r xxx\".\n");
        return;
    }
    const int n = norm - 1;  // PAL 0, NTSC 1, FILM 2
    const bool pal = norm == PAL;
    if (!strcmp(arg, "vcd")) {
        call_option("vcodec", "mpeg1video");
        call_option("acodec", "mp2");
        call_option("f", "vcd");
        call_option("s", pal ? "352x288" : "352x240");
        call_option("r", frame_rates[n]);
        call_option("g", pal ? "15" : "18");
        g_opt.picture_bit_rate = 1150000;
        g_opt.rate_max = 1150000;
        g_opt.rate_min = 1150000;
        g_opt.rate_buffer_bits = 327680;
        g_opt.sound_bit_rate = 224000;
        g_opt.sound_rate = 44100;
        g_opt.container_packet_size = 2324;
        g_opt.container_rate = 1411200;
        g_opt.container_preload = 0.44f;
    } else if (!strcmp(arg, "svcd")) {
        call_option("vcodec", "mpeg2video");
        call_option("acodec", "mp2");
        call_option("f", "svcd");
        call_option("s", pal ? "480x576" : "480x480");
        call_option("r", frame_rates[n]);
        call_option("g", pal ? "15" : "18");
        g_opt.picture_bit_rate = 2040000;
        g_opt.rate_max = 2516000;
        g_opt.rate_min = 0;
        g_opt.rate_buffer_bits = 1835008;
        g_opt.scan_offset_room = 1;
        g_opt.sound_bit_rate = 224000;
        g_opt.sound_rate = 44100;
        g_opt.container_packet_size = 2324;
    } else if (!strcmp(arg, "dvd")) {
        call_option("vcodec", "mpeg2video");
        call_option("acodec", "ac3");
        call_option("f", "dvd");
        call_option("s", pal ? "720x576" : "720x480");
        call_option("r", frame_rates[n]);
        call_option("g", pal ? "15" : "18");
        g_opt.picture_bit_rate = 6000000;
        g_opt.rate_max = 9000000;
        g_opt.rate_min = 0;
        g_opt.rate_buffer_bits = 1835008;
        g_opt.container_packet_size = 2048;
        g_opt.container_rate = 10080000;
        g_opt.sound_bit_rate = 448000;
        g_opt.sound_rate = 48000;
    } else if (!strcmp(arg, "dv")) {
        call_option("f", "dv");
        call_option("s", pal ? "720x576" : "720x480");
        call_option("r", frame_rates[n]);
        g_opt.sound_rate = 48000;
        g_opt.sound_channels = 2;
    } else {
        emsg("Unknown target: %s\n", arg);
    }
}

// ---------------------------------------------------------------------------
// The table

static const char* const kVcodecChoices[] = {"mpeg4", "msmpeg4", "msmpeg4v1", "msmpeg4v2", "mpeg1video",
                                             "mpeg2video", "wmv1", "wmv2", "h263", "h263p", "rawvideo",
                                             "rv10", "dvvideo", "huffyuv", "ljpeg", "mjpeg", "svq1", "zlib"};
static const char* const kAcodecChoices[] = {"mp3"};
static const char* const kSizeChoices[] = {"128x96 (sqcif)", "176x144 (qcif)", "352x288 (cif)",
                                           "704x576 (4cif)", "352x240", "320x240", "640x480"};
static const char* const kRateChoices[] = {"23.97", "24.0", "25.0", "29.97", "30.0"};
static const char* const kChannelChoices[] = {"1 (Mono)", "2 (Stereo)", "5 (5.1)"};
static const char* const kAbChoices[] = {"32", "48", "56", "64", "80", "96", "112",
                                         "128", "160", "192", "224", "256", "320", "384"};
static const char* const kAnChoices[] = {"False", "True"};
static const char* const kArChoices[] = {"22050", "32000", "44100", "48000"};
static const char* const kAspectChoices[] = {"4:3", "16:9"};
static const char* const kTvstdChoices[] = {"NTSC", "PAL"};

#define N(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))
#define VAR(name, flags, member, help, argname) \
    {name, flags, static_cast<void*>(&g_opt.member), nullptr, help, argname, 0, nullptr, 0}
#define FN(name, flags, fn, help, argname) {name, flags, nullptr, fn, help, argname, 0, nullptr, 0}
#define FNC(name, flags, fn, help, argname, ch) {name, flags, nullptr, fn, help, argname, 1, ch, N(ch)}
#define VARC(name, flags, member, help, argname, ch) \
    {name, flags, static_cast<void*>(&g_opt.member), nullptr, help, argname, 1, ch, N(ch)}

const OptionEntry kOptionTable[] = {
    // main options
    FN("L", 0, show_license, "print the licence notes of this driver", nullptr),
    FN("h", 0, print_help, "show help", nullptr),
    FN("version", 0, show_version, "print the driver's and the libraries' build numbers", nullptr),
    FN("formats", 0, show_formats, "list the containers, codecs and protocols the libraries offer", nullptr),
    FN("f", HAS_ARG, handle_format, "force format", "Force Format"),
    FN("img", HAS_ARG, handle_image_format, "name an image format for the next file", "image format"),
    FN("i", HAS_ARG, open_input_file, "input file name", "Input File Name"),
    VAR("y", OPT_BOOL, overwrite_outputs, "overwrite output files", nullptr),
    FN("map", HAS_ARG | OPT_EXPERT, handle_map,
       "take an output stream from this input stream (and time it by another)", "in:stream[:syncin:syncstream]"),
    FN("map_meta_data", HAS_ARG | OPT_EXPERT, handle_map_meta_data,
       "copy the text tags of an input file into an output file", "out:in"),
    FN("t", HAS_ARG, handle_recording_time, "stop the output after this much time", "seconds or hh:mm:ss"),
    VAR("fs", HAS_ARG | OPT_INT, size_limit_kib, "set the limit file size", "Limit Size"),
    FN("ss", HAS_ARG, handle_start_time, "begin reading the next input at this time", "seconds or hh:mm:ss"),
    FN("itsoffset", HAS_ARG, handle_input_ts_offset,
       "shift the times of the next input by this much", "seconds or hh:mm:ss"),
    VAR("title", HAS_ARG | OPT_STRING, title, "set the title", "Title"),
    FN("timestamp", HAS_ARG, handle_rec_timestamp, "date written into the output's header", "date"),
    VAR("author", HAS_ARG | OPT_STRING, author, "author written into the output's tags", "name"),
    VAR("copyright", HAS_ARG | OPT_STRING, copyright, "copyright note written into the output's tags", "text"),
    VAR("comment", HAS_ARG | OPT_STRING, comment, "comment written into the output's tags", "text"),
    FN("debug", HAS_ARG | OPT_EXPERT, handle_debug, "debugging output flags for the decoders", "flags"),
    FN("vismv", HAS_ARG | OPT_EXPERT, handle_vismv, "draw motion vectors into decoded pictures", "flags"),
    VAR("benchmark", OPT_BOOL | OPT_EXPERT, print_run_time, "print how long the conversion took", nullptr),
    VAR("dump", OPT_BOOL | OPT_EXPERT, print_packets, "print every packet read", nullptr),
    VAR("hex", OPT_BOOL | OPT_EXPERT, print_packet_bytes, "print the bytes too when printing packets", nullptr),
    FN("bitexact", OPT_EXPERT, handle_bitexact, "only use bit exact algorithms (for codec testing)", nullptr),
    VAR("re", OPT_BOOL | OPT_EXPERT, read_at_own_pace, "read input at native frame rate", nullptr),
    VAR("loop", OPT_BOOL | OPT_EXPERT, repeat_input,
        "read the next input again from its start at its end (still pictures)", nullptr),
    VAR("loop_output", HAS_ARG | OPT_INT | OPT_EXPERT, player_loops,
        "how often players repeat the output, where the format can say so (0: without end)", "times"),
    FN("v", HAS_ARG, handle_verbose, "control amount of logging", "verbose"),
    FN("target", HAS_ARG, handle_target,
       "preset for a disc or camera format: vcd, svcd, dvd or dv, optionally after pal-, ntsc- or film- "
       "(as in pal-vcd or ntsc-svcd)",
       "Target Type"),
    FN("threads", HAS_ARG | OPT_EXPERT, handle_thread_count, "how many threads the codecs may use", "threads"),
    VAR("vsync", HAS_ARG | OPT_INT | OPT_EXPERT, keep_frame_rate,
        "repeat and drop pictures to keep the output's frame rate (0: no)", "0 or 1"),
    VAR("async", HAS_ARG | OPT_INT | OPT_EXPERT, fit_sound_to_time,
        "fit the sound to its timestamps: 1 at the start only, more: also stretch by up to that many samples a second",
        "samples"),
    VAR("vglobal", HAS_ARG | OPT_INT | OPT_EXPERT, header_placement,
        "where picture headers go: 1 once for the file, 2 in every key frame, 3 both", "1, 2 or 3"),
    VAR("copyts", OPT_BOOL | OPT_EXPERT, keep_input_times, "keep the inputs' own timestamps", nullptr),
    VAR("shortest", OPT_BOOL | OPT_EXPERT, end_with_shortest_input,
        "end the output when its first input runs out", nullptr),

    // video options
    FN("b", HAS_ARG | OPT_VIDEO, handle_b, "set video bitrate (in kbit/s)", "Video Bitrate"),
    VAR("vframes", OPT_INT | HAS_ARG | OPT_VIDEO, frame_limits[AVMEDIA_TYPE_VIDEO],
        "stop after this many pictures", "pictures"),
    VAR("aframes", OPT_INT | HAS_ARG | OPT_AUDIO, frame_limits[AVMEDIA_TYPE_AUDIO],
        "stop after this many sound frames", "frames"),
    VAR("dframes", OPT_INT | HAS_ARG, frame_limits[AVMEDIA_TYPE_DATA], "stop after this many data packets",
        "packets"),
    FNC("r", HAS_ARG | OPT_VIDEO, handle_frame_rate, "set frame rate (Hz value, fraction or abbreviation)",
        "Frame Rate", kRateChoices),
    FN("maxfr", HAS_ARG | OPT_VIDEO, handle_max_frame_rate,
       "highest frame rate taken from the input; faster inputs are divided down",
       "Maximum Rate"),
    FNC("s", HAS_ARG | OPT_VIDEO, handle_frame_size, "set frame size (WxH or abbreviation)", "Frame Size",
        kSizeChoices),
    FNC("aspect", HAS_ARG | OPT_VIDEO, handle_frame_aspect_ratio,
        "shape of the picture on screen, as width:height or as a number",
        "shape", kAspectChoices),
    VAR("fixaspect", OPT_BOOL | OPT_VIDEO, fixaspect, "fix aspect ratio", nullptr),
    FN("pix_fmt", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_pix_fmt, "pixel layout of the encoded pictures", "layout"),
    FN("croptop", HAS_ARG | OPT_VIDEO, handle_crop_top, "rows cut from the top of the input picture", "rows"),
    FN("cropbottom", HAS_ARG | OPT_VIDEO, handle_crop_bottom, "rows cut from the bottom of the input picture", "rows"),
    FN("cropleft", HAS_ARG | OPT_VIDEO, handle_crop_left, "columns cut from the left of the input picture", "columns"),
    FN("cropright", HAS_ARG | OPT_VIDEO, handle_crop_right,
       "columns cut from the right of the input picture", "columns"),
    FN("padtop", HAS_ARG | OPT_VIDEO, handle_pad_top, "rows of band added above the picture", "rows"),
    FN("padbottom", HAS_ARG | OPT_VIDEO, handle_pad_bottom, "rows of band added below the picture", "rows"),
    FN("padleft", HAS_ARG | OPT_VIDEO, handle_pad_left, "columns of band added left of the picture", "columns"),
    FN("padright", HAS_ARG | OPT_VIDEO, handle_pad_right, "columns of band added right of the picture", "columns"),
    FN("padcolor", HAS_ARG | OPT_VIDEO, handle_pad_color,
       "colour of the added bands, as six hex digits RRGGBB", "RRGGBB"),
    FN("g", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_gop, "pictures from one key frame to the next", "pictures"),
    VAR("intra", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, key_frames_only, "make every picture a key frame", nullptr),
    VAR("vn", OPT_BOOL | OPT_VIDEO, no_video, "leave the pictures out", nullptr),
    VAR("vdt", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, skip_level,
        "skip decoding pictures from this level of unimportance on", "level"),
    FN("qscale", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qscale,
       "encode every picture at this fixed quantiser instead of a bit rate", "quantiser"),
    FN("qmin", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qmin,
       "lowest quantiser the rate control may choose", "quantiser"),
    FN("qmax", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qmax,
       "highest quantiser the rate control may choose", "quantiser"),
    FN("lmin", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_lmin,
       "lowest picture-level lambda, in quantiser units", "quantiser"),
    FN("lmax", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_lmax,
       "highest picture-level lambda, in quantiser units", "quantiser"),
    FN("mblmin", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_mb_lmin,
       "lowest block-level lambda, in quantiser units", "quantiser"),
    FN("mblmax", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_mb_lmax,
       "highest block-level lambda, in quantiser units", "quantiser"),
    FN("qdiff", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qdiff,
       "largest change of quantiser from one picture to the next",
       "steps"),
    FN("qblur", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qblur,
       "how much the rate control smooths the quantiser over time", "amount"),
    FN("qsquish", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qsquish,
       "how the quantiser is held between its bounds: 0 cut off, 1 eased in", "0 or 1"),
    FN("qcomp", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qcomp,
       "how far the quantiser follows a picture's complexity (0 constant bit rate, 1 constant quantiser)",
       "share"),
    FN("rc_init_cplx", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_rc_init_cplx,
       "complexity the rate control assumes before the first picture",
       "complexity"),
    FN("b_qfactor", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_b_qfactor,
       "quantiser of bidirectional pictures relative to predicted ones", "factor"),
    FN("i_qfactor", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_i_qfactor,
       "quantiser of key frames relative to predicted pictures", "factor"),
    FN("b_qoffset", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_b_qoffset,
       "quantiser added to bidirectional pictures after the factor", "offset"),
    FN("i_qoffset", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_i_qoffset,
       "quantiser added to key frames after the factor", "offset"),
    FN("ibias", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_ibias,
       "rounding bias of the quantiser inside key blocks", "bias"),
    FN("pbias", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_pbias,
       "rounding bias of the quantiser inside predicted blocks", "bias"),
    VAR("b_strategy", HAS_ARG | OPT_INT | OPT_EXPERT | OPT_VIDEO, bidir_strategy,
        "how bidirectional pictures are placed",
        "method"),
    FN("rc_eq", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_rc_eq,
       "formula the rate control weighs pictures by", "formula"),
    FN("rc_override", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_rc_override,
       "fixed quality for ranges of pictures: first,last,q/first,last,q...", "ranges"),
    FN("bt", HAS_ARG | OPT_VIDEO, handle_bt,
       "how far the video bit rate may stray from its aim (in kbit/s)", "Bit Rate Leeway"),
    FN("maxrate", HAS_ARG | OPT_VIDEO, handle_maxrate, "set max video bitrate tolerance (in kbit/s)",
       "MAX Video Bitrate"),
    FN("minrate", HAS_ARG | OPT_VIDEO, handle_minrate,
       "lowest video bit rate the rate control may go down to (in kbit/s)", "Minimum Bit Rate"),
    FN("bufsize", HAS_ARG | OPT_VIDEO, handle_bufsize, "set ratecontrol buffer size (in kByte)",
       "ratecontrol buffer size"),
    FNC("vcodec", HAS_ARG | OPT_VIDEO, handle_video_codec, "force video codec ('copy' to copy stream)", "Video Codec",
        kVcodecChoices),
    FN("me", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_motion_estimation,
       "how motion is searched for: zero, full, log, phods, epzs or x1", "search"),
    FN("dct_algo", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_dct_algo,
       "transform the encoder uses (by number)", "number"),
    FN("idct_algo", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_idct_algo,
       "inverse transform the codecs use (by number)", "number"),
    FN("me_threshold", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_me_threshold,
       "motion below which blocks keep the vectors they came with",
       "limit"),
    FN("mb_threshold", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_mb_threshold,
       "difference below which blocks keep the modes they came with", "limit"),
    FN("er", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_er, "how hard decoders look for damage (0 to 4)", "level"),
    FN("ec", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_ec, "how decoders hide damage they find (a bit mask)", "mask"),
    FN("bf", HAS_ARG | OPT_VIDEO, handle_bf, "bidirectional pictures between two others (1 to 8)", "pictures"),
    VAR("hq", OPT_BOOL, mb_decision, "choose block modes by trying them out", nullptr),
    FN("mbd", HAS_ARG | OPT_EXPERT, handle_mbd,
       "how block modes are chosen: 0 by comparison, 1 by fewest bits, 2 by best quality per bit", "method"),
    FN("mbcmp", HAS_ARG | OPT_EXPERT, handle_mbcmp, "comparison that chooses block modes", "comparison"),
    FN("ildctcmp", HAS_ARG | OPT_EXPERT, handle_ildctcmp,
       "comparison that chooses between field and frame transforms", "comparison"),
    FN("subcmp", HAS_ARG | OPT_EXPERT, handle_subcmp,
       "comparison for the fine part of the motion search", "comparison"),
    FN("cmp", HAS_ARG | OPT_EXPERT, handle_cmp,
       "comparison for the whole-pixel part of the motion search", "comparison"),
    FN("precmp", HAS_ARG | OPT_EXPERT, handle_precmp, "comparison for the motion search's first pass", "comparison"),
    FN("preme", HAS_ARG | OPT_EXPERT, handle_preme,
       "run a first motion search pass (0 never, 1 at times, 2 always)", "when"),
    FN("lelim", HAS_ARG | OPT_EXPERT, handle_lelim,
       "drop blocks whose brightness detail scores below this (negative: the average too)",
       "score"),
    FN("celim", HAS_ARG | OPT_EXPERT, handle_celim,
       "drop blocks whose colour detail scores below this (negative: the average too)",
       "score"),
    FN("lumi_mask", HAS_ARG | OPT_EXPERT, handle_lumi_mask, "spend fewer bits where the picture is bright", "strength"),
    FN("dark_mask", HAS_ARG | OPT_EXPERT, handle_dark_mask, "spend fewer bits where the picture is dark", "strength"),
    FN("scplx_mask", HAS_ARG | OPT_EXPERT, handle_scplx_mask,
       "spend fewer bits on busy areas of a picture", "strength"),
    FN("tcplx_mask", HAS_ARG | OPT_EXPERT, handle_tcplx_mask, "spend fewer bits on fast-moving areas", "strength"),
    FN("p_mask", HAS_ARG | OPT_EXPERT, handle_p_mask, "spend fewer bits on predicted blocks", "strength"),
    VAR("4mv", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, four_vectors, "let each block move in four parts (MPEG-4)", nullptr),
    VAR("obmc", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, blended_motion, "blend neighbouring blocks' motion (H.263+)",
        nullptr),
    VAR("lf", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, loop_filter, "smooth block edges after decoding (H.263+)", nullptr),
    VAR("part", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, partitions,
        "store a picture's parts apart, to survive damage better (MPEG-4)", nullptr),
    FN("bug", HAS_ARG | OPT_EXPERT, handle_bug, "make up for faults of the encoders that wrote the input", "faults"),
    FN("ps", HAS_ARG | OPT_EXPERT, handle_ps, "cut pictures into packets of about this many bits", "bits"),
    FN("error", HAS_ARG | OPT_EXPERT, handle_error, "how many packets in a hundred a receiver may lose", "rate"),
    FN("strict", HAS_ARG | OPT_EXPERT, handle_strict,
       "how closely to keep to the standards (higher keeps closer)", "level"),
    VAR("sameq", OPT_BOOL | OPT_VIDEO, keep_input_quality, "keep the quality each input picture had", nullptr),
    FN("pass", HAS_ARG | OPT_VIDEO, handle_pass, "which pass of a two-pass encoding this is", "1 or 2"),
    VAR("passlogfile", HAS_ARG | OPT_STRING | OPT_VIDEO, pass_log_name,
        "first part of the name of the two-pass statistics file", "name"),
    VAR("deinterlace", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, deinterlace_pictures,
        "blend the two fields of interlaced pictures", nullptr),
    VAR("ildct", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, field_transform,
        "transform fields apart where that serves better", nullptr),
    VAR("ilme", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, field_motion_search,
        "search motion per field where that serves better", nullptr),
    VAR("psnr", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, measure_psnr, "measure the quality lost in every picture", nullptr),
    VAR("vstats", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, write_picture_stats,
        "write a line of figures per picture into a file", nullptr),
    FN("vhook", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_video_hook,
       "picture processing module to call (none can be loaded here)", "module and words"),
    VAR("aic", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, edge_prediction,
        "predict block edges from neighbours (H.263+)", nullptr),
    VAR("aiv", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, alt_inter_table,
        "use the other code table for predicted blocks (H.263+)", nullptr),
    VAR("umv", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, open_motion,
        "let motion reach past the picture's edge (H.263+)", nullptr),
    VAR("ssm", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, slices, "cut pictures into slices (H.263+)", nullptr),
    VAR("alt", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, alt_scan,
        "read blocks in the other scan order (MPEG-2 and MPEG-4)", nullptr),
    VAR("qprd", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, rd_quantiser, "", nullptr),
    VAR("cbp", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, rd_block_pattern, "", nullptr),
    VAR("trell", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, trellis_search,
        "choose quantised values by a trellis search", nullptr),
    VAR("mv0", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, try_zero_motion,
        "also try each block without motion and keep the better (needs -mbd above 0)", nullptr),
    VAR("naq", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, even_masking,
        "even out how strongly the masking options act", nullptr),
    VAR("cgop", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, closed_groups,
        "make each group of pictures decodable on its own", nullptr),
    VAR("sgop", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, strict_groups,
        "keep the group size even where a scene changes", nullptr),
    VAR("noout", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, discard_output, "encode without keeping the result", nullptr),
    VAR("scan_offset", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, scan_offset_room,
        "leave room for the scan information of an SVCD",
        nullptr),
    VAR("qpel", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, quarter_pel, "search motion to a quarter pixel", nullptr),
    FN("intra_matrix", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_intra_matrix,
       "64 numbers, comma-separated: the weights for key blocks", "numbers"),
    FN("inter_matrix", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_inter_matrix,
       "64 numbers, comma-separated: the weights for predicted blocks", "numbers"),
    FN("top", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_top,
       "which field comes first: 1 top, 0 bottom, -1 as the input says", "field"),
    FN("nr", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_nr, "how strongly to smooth noise before encoding", "strength"),
    FN("qns", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_qns,
       "shape the quantising error to be less seen (0 to 3)", "level"),
    FN("sc_threshold", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_sc_threshold,
       "how different a picture must be to start a new scene", "difference"),
    FN("me_range", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_me_range, "farthest a motion vector may reach, in pixels",
       "pixels"),
    VAR("dc", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, intra_dc_precision,
        "bits kept for the average of each block (8 to 11)", "bits"),
    VAR("coder", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, coder, "how the encoder codes its symbols", "method"),
    VAR("context", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, context, "context model of the symbol coder", "model"),
    VAR("pred", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, predictor,
        "how pixels are predicted (lossless encoders)", "method"),
    VAR("vprofile", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, video_profile,
        "profile the video stream claims", "profile"),
    VAR("vlevel", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, video_level, "level the video stream claims", "level"),
    VAR("nssew", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, nsse_weight,
        "weight of the noise-preserving comparison", "weight"),
    VAR("subq", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, subpel_quality,
        "how thorough the fine motion search is", "effort"),
    VAR("mepc", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, me_penalty_compensation,
        "motion estimation bitrate penalty compensation", "factor (1.0 = 256)"),
    VAR("lowres", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, lowres,
        "decode at a half, quarter or eighth of the size (1, 2 or 3)", "steps"),
    FN("vtag", HAS_ARG | OPT_EXPERT | OPT_VIDEO, handle_vtag,
       "four-character code written for the video codec", "code"),
    VAR("skip_threshold", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, skip_threshold,
        "difference below which a picture is not encoded at all",
        "difference"),
    VAR("skip_factor", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, skip_factor,
        "weight of the quantiser in the decision to skip a picture", "factor"),
    VAR("skip_exp", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, skip_exponent,
        "exponent of the difference in the decision to skip a picture", "exponent"),
    VAR("skip_cmp", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_VIDEO, skip_comparison,
        "comparison for the decision to skip a picture",
        "comparison"),
    VAR("gray", OPT_BOOL | OPT_EXPERT | OPT_VIDEO, gray_pictures, "work on brightness only, without colour", nullptr),
    FN("newvideo", OPT_VIDEO, handle_new_video_stream, "add one more video stream to the last output file", nullptr),

    // audio options
    FNC("ab", HAS_ARG | OPT_AUDIO, handle_ab, "set audio bitrate (in kbit/s)", "Audio Bitrate", kAbChoices),
    FNC("ar", HAS_ARG | OPT_AUDIO, handle_ar, "set audio sampling rate (in Hz)", "Sampling Rate", kArChoices),
    FNC("ac", HAS_ARG | OPT_AUDIO, handle_ac, "set number of audio channels", "Channels", kChannelChoices),
    VARC("an", OPT_BOOL | OPT_AUDIO, no_audio, "disable audio", "Disable Audio", kAnChoices),
    FNC("acodec", HAS_ARG | OPT_AUDIO, handle_audio_codec, "force audio codec ('copy' to copy stream)", "Audio Codec",
        kAcodecChoices),
    FN("atag", HAS_ARG | OPT_EXPERT | OPT_AUDIO, handle_atag,
       "four-character code written for the audio codec", "code"),
    VAR("vol", OPT_INT | HAS_ARG | OPT_AUDIO, sound_volume, "change audio volume (256=normal)", "volume"),
    FN("newaudio", OPT_AUDIO, handle_new_audio_stream, "add one more audio stream to the last output file", nullptr),
    VAR("alang", HAS_ARG | OPT_STRING | OPT_AUDIO, sound_language,
        "language of the next audio stream, as three letters", "language"),

    // subtitle options
    FN("scodec", HAS_ARG | OPT_SUBTITLE, handle_subtitle_codec,
       "subtitle codec of the output ('copy' keeps the input's)", "codec"),
    FN("newsubtitle", OPT_SUBTITLE, handle_new_subtitle_stream,
       "add one more subtitle stream to the last output file", nullptr),
    VAR("slang", HAS_ARG | OPT_STRING | OPT_SUBTITLE, subtitle_language,
        "language of the next subtitle stream, as three letters", "language"),

    // grab options
    FN("vd", HAS_ARG | OPT_EXPERT | OPT_VIDEO | OPT_GRAB, handle_vd, "device to capture pictures from", "device"),
    FN("vc", HAS_ARG | OPT_EXPERT | OPT_VIDEO | OPT_GRAB, handle_vc, "channel of the capture device", "channel"),
    FNC("tvstd", HAS_ARG | OPT_EXPERT | OPT_VIDEO | OPT_GRAB, handle_tvstd, "television norm of the capture device",
        "norm", kTvstdChoices),
    FN("ad", HAS_ARG | OPT_EXPERT | OPT_AUDIO | OPT_GRAB, handle_ad, "device to capture sound from", "device"),
    FN("grab", HAS_ARG | OPT_EXPERT | OPT_GRAB, handle_grab, "capture from a device of this kind", "kind"),
    FN("gd", HAS_ARG | OPT_EXPERT | OPT_GRAB, handle_gd, "capture device", "device"),

    // muxer options
    VAR("muxrate", OPT_INT | HAS_ARG | OPT_EXPERT, container_rate,
        "bit rate the container declares", "bits per second"),
    VAR("packetsize", OPT_INT | HAS_ARG | OPT_EXPERT, container_packet_size,
        "size of the container's packets", "bytes"),
    VAR("muxdelay", OPT_FLOAT | HAS_ARG | OPT_EXPERT, container_max_delay, "set the maximum demux-decode delay",
        "seconds"),
    VAR("muxpreload", OPT_FLOAT | HAS_ARG | OPT_EXPERT, container_preload, "set the initial demux-decode delay",
        "seconds"),
    FN("muxab", HAS_ARG | OPT_EXPERT, handle_muxab, "set the audio bitrate in mux tag (in kbit/s)", "bitrate"),
    FN("muxvb", HAS_ARG | OPT_EXPERT, handle_muxvb, "set the video bitrate in mux tag (in kbit/s)", "bitrate"),
    {nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0},
};

const int kOptionCount = N(kOptionTable) - 1;

// ---------------------------------------------------------------------------
// Parser and help

const OptionEntry* FindOption(const OptionEntry* table, const char* name) {
    const OptionEntry* po = table;
    while (po->name && strcmp(name, po->name) != 0) ++po;
    return po;
}

static void apply_option(const OptionEntry* po, const char* arg) {
    g_given.set(static_cast<size_t>(po - kOptionTable));
    if (po->flags & OPT_STRING) {
        *static_cast<std::string*>(po->var) = arg;
    } else if (po->flags & OPT_BOOL) {
        *static_cast<int*>(po->var) = 1;
    } else if (po->flags & OPT_INT) {
        *static_cast<int*>(po->var) = parse_int(arg);
    } else if (po->flags & OPT_FLOAT) {
        *static_cast<float*>(po->var) = to_float(parse_double(arg));
    } else {
        po->handler(arg);
    }
}

static void call_option(const char* name, const char* arg) {
    const OptionEntry* po = FindOption(kOptionTable, name);
    if (po->name) apply_option(po, arg);
}

void ParseOptions(int argc, char** argv, const OptionEntry* table) {
    const char* prog = (argc > 0 && argv && argv[0]) ? argv[0] : "ffmpeg";
    int optindex = 1;
    while (optindex < argc) {
        const char* opt = argv[optindex++];
        if (!opt) continue;
        if (opt[0] == '-' && opt[1] != '\0') {
            const OptionEntry* po = FindOption(table, opt + 1);
            if (!po->name) {
                emsg("%s: unrecognized option '%s'\n", prog, opt);
                return;
            }
            const char* arg = nullptr;
            if (po->flags & HAS_ARG) {
                if (optindex >= argc || !argv[optindex]) {
                    emsg("%s: missing argument for option '%s'\n", prog, opt);
                    return;
                }
                arg = argv[optindex++];
            }
            apply_option(po, arg);
        } else {
            opt_output_file(opt);
        }
    }
}

void ShowHelpOptions(const OptionEntry* table, const char* msg, int mask, int value) {
    bool first = true;
    for (const OptionEntry* po = table; po->name; ++po) {
        if ((po->flags & mask) != value) continue;
        if (first) {
            omsg("%s", msg);
            first = false;
        }
        char buf[64];
        av_strlcpy(buf, po->name, sizeof(buf));
        if (po->flags & HAS_ARG) {
            av_strlcat(buf, " ", sizeof(buf));
            av_strlcat(buf, po->argname ? po->argname : "", sizeof(buf));
        }
        omsg("-%-17s  %s\n", buf, po->help ? po->help : "");
    }
}

void print_help(const char*) {
    show_banner();
    emsg("usage: ffmpeg [[infile options] -i infile]... {[outfile options] outfile}...\n"
         "Hyper fast Audio and Video encoder\n");
    emsg("\n");
    ShowHelpOptions(kOptionTable, "Main options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO, 0);
    ShowHelpOptions(kOptionTable, "\nVideo options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO | OPT_GRAB, OPT_VIDEO);
    ShowHelpOptions(kOptionTable, "\nAdvanced Video options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO | OPT_GRAB,
                    OPT_VIDEO | OPT_EXPERT);
    ShowHelpOptions(kOptionTable, "\nAudio options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO | OPT_GRAB, OPT_AUDIO);
    ShowHelpOptions(kOptionTable, "\nAdvanced Audio options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO | OPT_GRAB,
                    OPT_AUDIO | OPT_EXPERT);
    ShowHelpOptions(kOptionTable, "\nSubtitle options:\n", OPT_SUBTITLE | OPT_GRAB, OPT_SUBTITLE);
    ShowHelpOptions(kOptionTable, "\nAudio/Video grab options:\n", OPT_GRAB, OPT_GRAB);
    ShowHelpOptions(kOptionTable, "\nAdvanced options:\n", OPT_EXPERT | OPT_AUDIO | OPT_VIDEO | OPT_GRAB,
                    OPT_EXPERT);
}

}  // namespace ffdrv
