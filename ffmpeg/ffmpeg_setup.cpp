// Input and output set-up: opening inputs and outputs while the options are
// parsed, creating output streams, and the set-up phase of a transcode.
#include "ffmpeg_internal.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
}

namespace ffdrv {

RunState g_run;

// ---------------------------------------------------------------------------
// Helpers

void print_error(const char* filename, int err) {
    if (err == AVERROR_INVALIDDATA) {
        emsg("%s: Error while parsing header\n", filename);
    } else if (err == AVERROR(ENOMEM)) {
        emsg("%s: memory allocation error occured\n", filename);
    } else if (err == AVERROR(EIO) || err == AVERROR_EOF) {
        emsg("%s: I/O error occured\nUsually that means that input file is truncated and/or corrupted.\n", filename);
    } else if (err == -3) {
        emsg("%s: Incorrect image filename syntax.\n"
             "Use '%%d' to specify the image number:\n"
             "  for img1.jpg, img2.jpg, ..., use 'img%%d.jpg';\n"
             "  for img001.jpg, img002.jpg, ..., use 'img%%03d.jpg'.\n",
             filename);
    } else if (err == AVERROR_DEMUXER_NOT_FOUND || err == AVERROR(EINVAL)) {
        emsg("%s: Unknown format\n", filename);
    } else {
        emsg("%s: Error while opening file\n", filename);
    }
}

static bool ends_with_nocase(const std::string& s, const char* suffix) {
    const size_t n = strlen(suffix);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, suffix) == 0;
}

// The wrapper hands inputs over through a script naming the real file. This
// library has no reader for such scripts: read the name the script gives.
static bool script_target(const std::string& script, std::string* target) {
    std::ifstream f(script, std::ios::binary);
    if (!f) return false;
    std::stringstream ss;
    ss << f.rdbuf();
    const std::string text = ss.str();
    const char* key = "DirectShowSource(";
    size_t p = text.find(key);
    if (p == std::string::npos) return false;
    p += strlen(key);
    // A name holding a double quote is written in AviSynth's triple-quoted form.
    const std::string quote = text.compare(p, 3, "\"\"\"") == 0 ? "\"\"\"" : "\"";
    if (text.compare(p, quote.size(), quote) != 0) return false;
    p += quote.size();
    const size_t q = text.find(quote, p);
    if (q == std::string::npos || q == p) return false;
    *target = text.substr(p, q - p);
    return true;
}

namespace {
struct ScriptHandover {
    std::string script, target;
    ScriptReadCallback read = nullptr;
    void* user = nullptr;
};
ScriptHandover g_handover;
}  // namespace

void end_script_handover() {
    const ScriptHandover done = g_handover;
    g_handover = ScriptHandover();
    if (done.read) done.read(done.user);
}

// The host's own script has been read: its lock goes, and the file named must be the one the
// host gave, or another program's input would be converted under this file's name.
static bool script_is_the_hosts(const std::string& script, const std::string* target) {
    if (!g_handover.read || script != g_handover.script) return true;
    const std::string expected = g_handover.target;
    end_script_handover();
    if (target && *target == expected) return true;
    emsg("%s: the script names '%s', not the input '%s'\n", script.c_str(), target ? target->c_str() : "",
         expected.c_str());
    return false;
}

// Names go to the library as file URLs, so that no name reaches another
// protocol ("http:", "concat:", a relative name with a colon).
static std::string file_url(const std::string& name) {
    if (name.compare(0, 5, "file:") == 0) return name;
    return "file:" + name;
}

// Nested opens from inside a file (playlists, references to other files) are
// refused: a crafted input must not make the driver read other files.
struct InputGuard {
    int (*orig)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**);
    std::string url;
};

static int guarded_io_open(AVFormatContext* s, AVIOContext** pb, const char* url, int flags,
                           AVDictionary** options) {
    auto* g = static_cast<InputGuard*>(s->opaque);
    if (!g) return AVERROR(EPERM);
    // An image sequence reads the numbered files its pattern names.
    const bool sequence = s->iformat && !strcmp(s->iformat->name, "image2") && !strncmp(url, "file:", 5);
    if (g->url != url && !sequence) return AVERROR(EPERM);
    return g->orig(s, pb, url, flags, options);
}

static bool is_main_thread() { return static_cast<pid_t>(syscall(SYS_gettid)) == getpid(); }

// ---------------------------------------------------------------------------
// Input

static AVRational limit_frame_rate(AVRational real, AVRational max) {
    if (!max.den) return real;
    const int m = clamp_to_int(av_q2d(max) * 100.0);
    const int r = clamp_to_int(av_q2d(real) * 100.0);
    if (m >= r) return real;
    if (real.num && max.num && real.den > 0) {
        // The rate divided by the least whole k that brings it to the maximum: k is worked
        // out rather than counted up to, which a tiny maximum would make take billions of steps.
        const double hundredths = av_q2d(real) * 100.0;
        int64_t k = std::max<int64_t>(2, clamp_to_int64(hundredths / (double(std::max(m, 0)) + 1.0)));
        const int64_t k_max = std::max<int64_t>(1, INT_MAX / real.den);
        while (k > 2 && clamp_to_int(hundredths / double(k - 1)) <= m) --k;
        while (k < k_max && clamp_to_int(hundredths / double(k)) > m) ++k;
        AVRational rate{real.num, static_cast<int>(real.den * std::min(k, k_max))};
        const int g = static_cast<int>(av_gcd(rate.num, rate.den));
        if (g > 1) {
            rate.num /= g;
            rate.den /= g;
        }
        return rate;
    }
    if (max.num) return max;
    return real;
}

void open_input_file(const char* name_arg) {
    std::string name = name_arg ? name_arg : "";
    if (g_run.input_files.size() >= kMaxFiles) {
        emsg("Too many input files (at most %d)\n", kMaxFiles);
        return;
    }
    // Only "-" reaches the pipe protocol (standard input); every other name,
    // "pipe:..." included, is a file name.
    const bool is_pipe = name == "-";
    if (is_pipe) name = "pipe:";
    if (name.compare(0, 5, "pipe:") == 0 || name == "/dev/stdin") g_opt.reads_standard_input = 1;

    std::string real = name;
    if (!is_pipe && ends_with_nocase(name, ".avs") && !av_find_input_format("avisynth")) {
        std::string target;
        const bool named = script_target(name, &target);
        if (!script_is_the_hosts(name, named ? &target : nullptr)) return;
        if (named) real = target;
    }

    AVFormatContext* ic = avformat_alloc_context();
    if (!ic) {
        print_error(name.c_str(), AVERROR(ENOMEM));
        return;
    }
    auto* guard = new InputGuard{ic->io_open, is_pipe ? std::string("pipe:") : file_url(real)};
    ic->opaque = guard;
    ic->io_open = guarded_io_open;
    if (g_opt.pgmyuv_input) ic->video_codec_id = AV_CODEC_ID_PGMYUV;
    if (g_opt.picture_codec) ic->video_codec_id = static_cast<AVCodecID>(g_opt.picture_codec);
    if (g_opt.sound_codec) ic->audio_codec_id = static_cast<AVCodecID>(g_opt.sound_codec);

    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", is_pipe ? "pipe" : "file", 0);
    if (option_given("ar")) av_dict_set_int(&opts, "sample_rate", g_opt.sound_rate, 0);
    if (option_given("ac")) av_dict_set_int(&opts, "channels", g_opt.sound_channels, 0);
    if (option_given("r")) {
        char buf[64];
        snprintf(buf, sizeof buf, "%d/%d", g_opt.picture_rate.num, g_opt.picture_rate.den);
        av_dict_set(&opts, "framerate", buf, 0);
    }
    if (g_opt.picture_width && g_opt.picture_height) {
        char buf[64];
        snprintf(buf, sizeof buf, "%dx%d", g_opt.picture_width, g_opt.picture_height);
        av_dict_set(&opts, "video_size", buf, 0);
    }
    if (g_opt.pix_fmt_given && g_opt.pixel_format >= 0)
        av_dict_set(&opts, "pixel_format", av_get_pix_fmt_name(static_cast<AVPixelFormat>(g_opt.pixel_format)), 0);

    int err = avformat_open_input(&ic, guard->url.c_str(), g_opt.forced_input_format, &opts);
    av_dict_free(&opts);
    if (err < 0) {
        // avformat_open_input frees the context on failure.
        delete guard;
        print_error(name.c_str(), err);
        return;
    }
    if (avformat_find_stream_info(ic, nullptr) < 0) {
        if (g_opt.verbosity >= 0) emsg("%s: could not find codec parameters\n", name.c_str());
        avformat_close_input(&ic);
        delete guard;
        return;
    }

    int64_t timestamp = g_opt.start_offset;
    if (ic->start_time != AV_NOPTS_VALUE) timestamp += ic->start_time;
    if (g_opt.start_offset != 0) {
        if (av_seek_frame(ic, -1, timestamp, AVSEEK_FLAG_BACKWARD) < 0)
            emsg("%s: could not seek to position %0.3f\n", name.c_str(), double(timestamp) / AV_TIME_BASE);
        g_opt.start_offset = 0;
    }

    InputFile f;
    f.ctx = ic;
    f.real_name = real;
    f.thread_count = g_opt.thread_count;
    f.workaround_bugs = g_opt.workaround_bugs;
    f.error_resilience = g_opt.error_resilience;
    f.error_concealment = g_opt.error_concealment;
    f.idct_algo = g_opt.idct_algo;
    f.debug = g_opt.debug;
    f.lowres = g_opt.lowres;
    f.bitexact = g_opt.bitexact;
    f.gray = g_opt.gray_pictures;
    f.read_at_own_pace = g_opt.read_at_own_pace;

    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        AVCodecParameters* par = st->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
            g_opt.sound_channels = par->ch_layout.nb_channels;
            g_opt.sound_rate = par->sample_rate;
            if (g_opt.no_audio) st->discard = AVDISCARD_ALL;
        } else if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            g_opt.picture_width = par->width;
            g_opt.picture_height = par->height;
            AVRational sar = av_guess_sample_aspect_ratio(ic, st, nullptr);
            const double sarf = sar.num && sar.den ? av_q2d(sar) : 0.0;
            g_opt.display_aspect =
                par->height ? static_cast<float>(sarf * par->width / par->height) : 0.0f;
            g_opt.pixel_format = par->format;
            g_opt.input_sar = sarf == 0.0 ? 1.0f : static_cast<float>(sarf);
            g_opt.input_width = par->width;
            g_opt.input_height = par->height;
            AVRational real_rate = st->r_frame_rate;
            if (!real_rate.num || !real_rate.den) real_rate = st->avg_frame_rate;
            if (!real_rate.num || !real_rate.den) real_rate = AVRational{25, 1};
            AVRational codec_rate = st->avg_frame_rate;
            if (codec_rate.num && codec_rate.den && av_cmp_q(codec_rate, real_rate) != 0 && g_opt.verbosity >= 0)
                emsg("\nSeems that stream %d comes from film source: %2.2f (%d/%d) -> %2.2f (%d/%d)\n", i,
                     av_q2d(codec_rate), codec_rate.num, codec_rate.den, av_q2d(real_rate), real_rate.num,
                     real_rate.den);
            g_opt.picture_rate = limit_frame_rate(real_rate, g_opt.max_frame_rate);
            f.video_rate = g_opt.picture_rate;
            if (g_opt.no_video)
                st->discard = AVDISCARD_ALL;
            else if (g_opt.skip_level)
                st->discard = static_cast<AVDiscard>(std::clamp<int>(g_opt.skip_level, AVDISCARD_NONE, AVDISCARD_ALL));
        }
    }

    f.ts_offset = g_opt.input_time_shift - (g_opt.keep_input_times ? 0 : timestamp);
    if (g_opt.verbosity >= 0) av_dump_format(ic, static_cast<int>(g_run.input_files.size()), name.c_str(), 0);
    g_run.input_files.push_back(f);

    g_opt.forced_input_format = nullptr;
    g_opt.forced_output_format = nullptr;
    g_opt.image_format.clear();
    g_opt.capture_device.clear();
    g_opt.capture_channel = 0;
    g_opt.read_at_own_pace = 0;
}

static void check_input_types(bool* has_video, bool* has_audio) {
    *has_video = *has_audio = false;
    for (auto& f : g_run.input_files) {
        for (unsigned i = 0; i < f.ctx->nb_streams; ++i) {
            const AVMediaType t = f.ctx->streams[i]->codecpar->codec_type;
            if (t == AVMEDIA_TYPE_VIDEO) *has_video = true;
            if (t == AVMEDIA_TYPE_AUDIO) *has_audio = true;
        }
    }
}

// ---------------------------------------------------------------------------
// Output streams

static void set_priv(AVCodecContext* enc, const char* name, int64_t v) {
    av_opt_set_int(enc, name, v, AV_OPT_SEARCH_CHILDREN);
}
static void set_priv_d(AVCodecContext* enc, const char* name, double v) {
    av_opt_set_double(enc, name, v, AV_OPT_SEARCH_CHILDREN);
}
static void set_priv_s(AVCodecContext* enc, const char* name, const char* v) {
    av_opt_set(enc, name, v, AV_OPT_SEARCH_CHILDREN);
}
static bool given(const char* name) { return option_given(name); }

static OutputStream* new_output_stream(AVFormatContext* oc, AVMediaType type) {
    AVStream* st = avformat_new_stream(oc, nullptr);
    if (!st) {
        emsg("Could not alloc stream\n");
        return nullptr;
    }
    auto* ost = new OutputStream;
    ost->st = st;
    ost->type = type;
    ost->index = st->index;
    ost->file_index = static_cast<int>(g_run.output_files.size());
    // A stream added by "newvideo" and friends belongs to the last output.
    bool existing = false;
    for (size_t i = 0; i < g_run.output_files.size(); ++i) {
        if (g_run.output_files[i].ctx == oc) {
            ost->file_index = static_cast<int>(i);
            existing = true;
        }
    }
    st->codecpar->codec_type = type;
    if (existing)
        g_run.output_streams.push_back(ost);
    else
        g_run.pending_streams.push_back(ost);
    return ost;
}

static void apply_header_flags(AVFormatContext* oc, AVCodecContext* enc) {
    if ((g_opt.header_placement & 1) ||
        (g_opt.header_placement == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER)))
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (g_opt.header_placement & 2) enc->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
}

static AVCodecID guess_codec(AVFormatContext* oc, AVMediaType type) {
    return av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, type);
}

// Parses "start,end,q/start,end,q..."; false on a triple that does not parse.
static bool parse_rc_override(AVCodecContext* enc, const std::string& text) {
    std::vector<RcOverride> list;
    const char* p = text.c_str();
    while (p && *p) {
        int start = 0, end = 0, q = 0;
        if (sscanf(p, "%d,%d,%d", &start, &end, &q) != 3) {
            emsg("error parsing rc_override\n");
            return false;
        }
        RcOverride o{};
        o.start_frame = start;
        o.end_frame = end;
        if (q > 0) {
            o.qscale = q;
            o.quality_factor = 1.0f;
        } else {
            o.qscale = 0;
            o.quality_factor = -q / 100.0f;
        }
        list.push_back(o);
        p = strchr(p, '/');
        if (p) ++p;
    }
    if (list.empty()) return true;
    enc->rc_override = static_cast<RcOverride*>(av_malloc_array(list.size(), sizeof(RcOverride)));
    if (!enc->rc_override) return false;
    memcpy(enc->rc_override, list.data(), list.size() * sizeof(RcOverride));
    enc->rc_override_count = static_cast<int>(list.size());
    return true;
}

// The encoders' rate control stops the whole process on some values outside the ranges the
// option handlers check (a lower bound above its upper one, a quantiser step of billions):
// a value that failed its check, already reported, is not passed on.
static bool in_range(const char* name, double v, double least, double most) {
    return given(name) && v >= least && v <= most;
}

// A lower and an upper bound (each the driver's default when not given) are passed on when at
// least one was given and least <= low <= high <= most.
static bool ordered_pair(const char* low_name, const char* high_name, int low, int high, int least, int most) {
    if (!given(low_name) && !given(high_name)) return false;
    if (low >= least && low <= high && high <= most) return true;
    emsg("-%s %d and -%s %d are not a range the encoder takes: both are ignored\n", low_name, low, high_name, high);
    return false;
}

void add_video_stream(AVFormatContext* oc) {
    OutputStream* ost = new_output_stream(oc, AVMEDIA_TYPE_VIDEO);
    if (!ost) return;
    AVStream* st = ost->st;
    ost->crop_top = g_opt.crop_top;
    ost->crop_bottom = g_opt.crop_bottom;
    ost->crop_left = g_opt.crop_left;
    ost->crop_right = g_opt.crop_right;
    ost->pad_top = g_opt.pad_top;
    ost->pad_bottom = g_opt.pad_bottom;
    ost->pad_left = g_opt.pad_left;
    ost->pad_right = g_opt.pad_right;
    memcpy(ost->pad_color, g_opt.pad_color, sizeof ost->pad_color);
    ost->top_field_first = g_opt.top_field_first;
    if (g_opt.picture_tag) st->codecpar->codec_tag = g_opt.picture_tag;

    if (g_opt.copy_pictures) {
        ost->stream_copy = true;
    } else {
        AVCodecID id = guess_codec(oc, AVMEDIA_TYPE_VIDEO);
        if (g_opt.picture_codec) id = static_cast<AVCodecID>(g_opt.picture_codec);
        const AVCodec* codec = avcodec_find_encoder(id);
        ost->codec = codec;
        AVCodecContext* enc = avcodec_alloc_context3(codec);
        ost->enc = enc;
        if (!enc) {
            emsg("Could not alloc stream\n");
        } else {
            enc->codec_id = id;
            enc->codec_type = AVMEDIA_TYPE_VIDEO;
            if (g_opt.picture_tag) enc->codec_tag = g_opt.picture_tag;
            apply_header_flags(oc, enc);
            enc->bit_rate = g_opt.picture_bit_rate;
            if (given("bt"))
                enc->bit_rate_tolerance = static_cast<int>(std::min<int64_t>(g_opt.picture_bit_rate_leeway, INT_MAX));
            AVRational rate = g_opt.picture_rate;
            if (!rate.num || !rate.den) rate = AVRational{25, 1};
            if (codec && codec->supported_framerates) {
                int best = av_find_nearest_q_idx(rate, codec->supported_framerates);
                rate = codec->supported_framerates[best];
            }
            enc->time_base = av_inv_q(rate);
            enc->framerate = rate;
            // Bands may be anything an option gave: the sums are checked before the set-up uses them.
            const int64_t out_w = int64_t(g_opt.picture_width) + g_opt.pad_left + g_opt.pad_right;
            const int64_t out_h = int64_t(g_opt.picture_height) + g_opt.pad_top + g_opt.pad_bottom;
            const bool fits = out_w > 0 && out_h > 0 && out_w <= INT_MAX && out_h <= INT_MAX;
            enc->width = fits ? static_cast<int>(out_w) : 0;
            enc->height = fits ? static_cast<int>(out_h) : 0;
            ost->bands_added = g_opt.pad_left || g_opt.pad_right || g_opt.pad_top || g_opt.pad_bottom;
            if (ost->bands_added && g_opt.fixaspect) {
                // The bands keep the picture's shape, so the pixels are square.
                enc->sample_aspect_ratio = AVRational{1, 1};
            } else if (enc->width && enc->height) {
                enc->sample_aspect_ratio =
                    av_d2q(double(g_opt.display_aspect) * enc->height / enc->width, 255);
            }
            st->sample_aspect_ratio = enc->sample_aspect_ratio;

            // Pixel format: the one asked for; otherwise 4:2:0 where the encoder
            // offers it, which every player decodes; otherwise the input's.
            int pix = g_opt.pixel_format;
            if (codec && codec->pix_fmts) {
                bool listed = false;
                AVPixelFormat plain = AV_PIX_FMT_NONE;  // the first 4:2:0 of the list
                for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
                    if (*p == pix) listed = true;
                    if (plain == AV_PIX_FMT_NONE && (*p == AV_PIX_FMT_YUV420P || *p == AV_PIX_FMT_YUVJ420P))
                        plain = *p;
                }
                if (!g_opt.pix_fmt_given && plain != AV_PIX_FMT_NONE)
                    pix = plain;
                else if (!listed)
                    pix = codec->pix_fmts[0];
            }
            if (pix < 0) pix = AV_PIX_FMT_YUV420P;
            enc->pix_fmt = static_cast<AVPixelFormat>(pix);

            enc->gop_size = g_opt.key_frames_only ? 0 : g_opt.gop_size;
            if (in_range("qscale", g_opt.fixed_quantiser, 0.01, 255.0) || g_opt.keep_input_quality) {
                enc->flags |= AV_CODEC_FLAG_QSCALE;
                enc->global_quality = clamp_to_int(FF_QP2LAMBDA * double(g_opt.fixed_quantiser));
            }
            if (!g_opt.intra_matrix.empty()) {
                enc->intra_matrix = static_cast<uint16_t*>(av_malloc(64 * sizeof(uint16_t)));
                if (enc->intra_matrix) memcpy(enc->intra_matrix, g_opt.intra_matrix.data(), 64 * sizeof(uint16_t));
            }
            if (!g_opt.inter_matrix.empty()) {
                enc->inter_matrix = static_cast<uint16_t*>(av_malloc(64 * sizeof(uint16_t)));
                if (enc->inter_matrix) memcpy(enc->inter_matrix, g_opt.inter_matrix.data(), 64 * sizeof(uint16_t));
            }
            if (g_opt.four_vectors) enc->flags |= AV_CODEC_FLAG_4MV;
            if (g_opt.blended_motion) set_priv(enc, "obmc", 1);
            if (g_opt.loop_filter) enc->flags |= AV_CODEC_FLAG_LOOP_FILTER;
            if (g_opt.partitions) set_priv(enc, "data_partitioning", 1);
            if (g_opt.edge_prediction) enc->flags |= AV_CODEC_FLAG_AC_PRED;
            if (g_opt.alt_inter_table) set_priv(enc, "aiv", 1);
            if (g_opt.open_motion) set_priv(enc, "umv", 1);
            if (g_opt.slices) set_priv(enc, "structured_slices", 1);
            if (g_opt.alt_scan) set_priv(enc, "alternate_scan", 1);
            if (g_opt.rd_quantiser) set_priv_s(enc, "mpv_flags", "+qp_rd");
            if (g_opt.rd_block_pattern) set_priv_s(enc, "mpv_flags", "+cbp_rd");
            if (g_opt.trellis_search) enc->trellis = 1;
            if (g_opt.try_zero_motion) set_priv_s(enc, "mpv_flags", "+mv0");
            if (g_opt.even_masking) set_priv_s(enc, "mpv_flags", "+naq");
            if (g_opt.closed_groups) enc->flags |= AV_CODEC_FLAG_CLOSED_GOP;
            if (g_opt.strict_groups) set_priv_s(enc, "mpv_flags", "+strict_gop");
            if (g_opt.discard_output) enc->flags2 |= AV_CODEC_FLAG2_NO_OUTPUT;
            if (g_opt.scan_offset_room) set_priv(enc, "scan_offset", 1);
            if (g_opt.quarter_pel) enc->flags |= AV_CODEC_FLAG_QPEL;
            if (g_opt.field_transform) enc->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
            if (g_opt.field_motion_search) enc->flags |= AV_CODEC_FLAG_INTERLACED_ME;
            if (g_opt.gray_pictures) enc->flags |= AV_CODEC_FLAG_GRAY;
            if (g_opt.bitexact) enc->flags |= AV_CODEC_FLAG_BITEXACT;
            if (given("bf")) {
                enc->max_b_frames = std::clamp(g_opt.bidir_frames, 0, 8);
                enc->b_quant_factor = 2.0f;
            }
            if (given("b_strategy")) set_priv(enc, "b_strategy", g_opt.bidir_strategy);
            if (ordered_pair("qmin", "qmax", g_opt.quantiser_min, g_opt.quantiser_max, 1, 51)) {
                if (given("qmin")) enc->qmin = g_opt.quantiser_min;
                if (given("qmax")) enc->qmax = g_opt.quantiser_max;
            }
            if (ordered_pair("lmin", "lmax", g_opt.lambda_min, g_opt.lambda_max, 0, INT_MAX)) {
                if (given("lmin")) set_priv(enc, "lmin", g_opt.lambda_min);
                if (given("lmax")) set_priv(enc, "lmax", g_opt.lambda_max);
            }
            if (ordered_pair("mblmin", "mblmax", g_opt.block_lambda_min, g_opt.block_lambda_max, 1, 32767)) {
                if (given("mblmin")) enc->mb_lmin = g_opt.block_lambda_min;
                if (given("mblmax")) enc->mb_lmax = g_opt.block_lambda_max;
            }
            if (in_range("qdiff", g_opt.quantiser_step_max, 1, 31)) enc->max_qdiff = g_opt.quantiser_step_max;
            if (given("qblur")) enc->qblur = g_opt.quantiser_blur;
            if (in_range("qsquish", g_opt.quantiser_squish, 0, 99)) set_priv_d(enc, "qsquish", g_opt.quantiser_squish);
            if (given("qcomp")) enc->qcompress = g_opt.quantiser_compression;
            if (given("rc_eq")) set_priv_s(enc, "rc_eq", g_opt.rc_eq.c_str());
            if (in_range("lelim", g_opt.lelim, -99, 99)) set_priv(enc, "luma_elim_threshold", g_opt.lelim);
            if (in_range("celim", g_opt.celim, -99, 99)) set_priv(enc, "chroma_elim_threshold", g_opt.celim);
            if (given("mbd") || given("hq")) enc->mb_decision = g_opt.mb_decision;
            if (given("mbcmp")) enc->mb_cmp = g_opt.mb_cmp;
            if (given("ildctcmp")) enc->ildct_cmp = g_opt.ildct_cmp;
            if (given("subcmp")) enc->me_sub_cmp = g_opt.sub_cmp;
            if (given("cmp")) enc->me_cmp = g_opt.cmp;
            if (given("precmp")) enc->me_pre_cmp = g_opt.pre_cmp;
            if (given("preme")) set_priv(enc, "mepre", g_opt.pre_me);
            if (given("lumi_mask")) enc->lumi_masking = g_opt.lumi_mask;
            if (given("dark_mask")) enc->dark_masking = g_opt.dark_mask;
            if (given("scplx_mask")) enc->spatial_cplx_masking = g_opt.scplx_mask;
            if (given("tcplx_mask")) enc->temporal_cplx_masking = g_opt.tcplx_mask;
            if (given("p_mask")) enc->p_masking = g_opt.p_mask;
            if (given("maxrate")) enc->rc_max_rate = g_opt.rate_max;
            if (given("minrate")) enc->rc_min_rate = g_opt.rate_min;
            if (given("bufsize"))
                enc->rc_buffer_size = static_cast<int>(std::min<int64_t>(g_opt.rate_buffer_bits, INT_MAX));
            if (given("target")) {
                // The presets set the rate-control values without their options.
                enc->rc_max_rate = g_opt.rate_max;
                enc->rc_min_rate = g_opt.rate_min;
                enc->rc_buffer_size = static_cast<int>(std::min<int64_t>(g_opt.rate_buffer_bits, INT_MAX));
                if (g_opt.scan_offset_room) set_priv(enc, "scan_offset", 1);
            }
            if (given("rc_init_cplx")) set_priv_d(enc, "rc_init_cplx", g_opt.rate_initial_complexity);
            if (given("i_qfactor")) enc->i_quant_factor = g_opt.key_q_factor;
            if (given("b_qfactor")) enc->b_quant_factor = g_opt.bidir_q_factor;
            if (given("i_qoffset")) enc->i_quant_offset = g_opt.key_q_offset;
            if (given("b_qoffset")) enc->b_quant_offset = g_opt.bidir_q_offset;
            if (given("dct_algo")) enc->dct_algo = g_opt.dct_algo;
            if (given("idct_algo")) enc->idct_algo = g_opt.idct_algo;
            if (given("strict")) enc->strict_std_compliance = g_opt.strict;
            if (given("error")) set_priv(enc, "error_rate", g_opt.error_rate);
            if (given("nr")) set_priv(enc, "noise_reduction", g_opt.noise_reduction);
            if (given("qns")) set_priv(enc, "quantizer_noise_shaping", g_opt.qns);
            if (given("sc_threshold")) set_priv(enc, "sc_threshold", g_opt.sc_threshold);
            if (given("me_range")) enc->me_range = g_opt.me_range;
            if (given("dc")) enc->intra_dc_precision = std::max(g_opt.intra_dc_precision, INT_MIN + 8) - 8;
            if (given("coder")) set_priv(enc, "coder", g_opt.coder);
            if (given("context")) set_priv(enc, "context", g_opt.context);
            if (given("pred")) set_priv(enc, "pred", g_opt.predictor);
            if (given("vprofile")) enc->profile = g_opt.video_profile;
            if (given("vlevel")) enc->level = g_opt.video_level;
            if (given("nssew")) enc->nsse_weight = g_opt.nsse_weight;
            if (given("subq")) enc->me_subpel_quality = g_opt.subpel_quality;
            if (given("mepc")) set_priv(enc, "mepc", g_opt.me_penalty_compensation);
            if (given("skip_threshold")) set_priv(enc, "skip_threshold", g_opt.skip_threshold);
            if (given("skip_factor")) set_priv(enc, "skip_factor", g_opt.skip_factor);
            if (given("skip_exp")) set_priv(enc, "skip_exp", g_opt.skip_exponent);
            if (given("skip_cmp")) set_priv(enc, "skip_cmp", g_opt.skip_comparison);
            if (given("ps")) set_priv(enc, "ps", g_opt.packet_size);
            if (given("me")) {
                static const char* const kMe[] = {nullptr, "zero", nullptr, nullptr, nullptr, "epzs", "xone"};
                if (g_opt.motion_search >= 1 && g_opt.motion_search <= 6 && kMe[g_opt.motion_search])
                    set_priv_s(enc, "motion_est", kMe[g_opt.motion_search]);
            }
            if (!g_opt.rc_override.empty() && !parse_rc_override(enc, g_opt.rc_override)) {
                // The stream's set-up ends at a broken override list.
            } else {
                if (g_opt.measure_psnr) enc->flags |= AV_CODEC_FLAG_PSNR;
                if (g_opt.pass_number == 1) enc->flags |= AV_CODEC_FLAG_PASS1;
                if (g_opt.pass_number == 2) enc->flags |= AV_CODEC_FLAG_PASS2;
            }
            enc->thread_count = g_opt.thread_count;
        }
    }
    g_opt.no_video = 0;
    g_opt.picture_codec = 0;
    g_opt.copy_pictures = 0;
}

void add_audio_stream(AVFormatContext* oc) {
    OutputStream* ost = new_output_stream(oc, AVMEDIA_TYPE_AUDIO);
    if (!ost) return;
    AVStream* st = ost->st;
    if (g_opt.sound_tag) st->codecpar->codec_tag = g_opt.sound_tag;
    if (g_opt.copy_sound) {
        ost->stream_copy = true;
        ost->out_channels = g_opt.sound_channels;
    } else {
        AVCodecID id = guess_codec(oc, AVMEDIA_TYPE_AUDIO);
        if (g_opt.sound_codec) id = static_cast<AVCodecID>(g_opt.sound_codec);
        const AVCodec* codec = avcodec_find_encoder(id);
        ost->codec = codec;
        AVCodecContext* enc = avcodec_alloc_context3(codec);
        ost->enc = enc;
        if (enc && (g_opt.sound_channels < 1 || g_opt.sound_channels > kMaxAudioChannels ||
                    g_opt.sound_rate < 1 || g_opt.sound_rate > kMaxSampleRate)) {
            // Past these the sample arithmetic would overflow: the stream is refused, and with
            // it the run.
            emsg("Output stream #%d.%d: %d channels at %d Hz is out of range (1 to %d channels, up to %d Hz)\n",
                 ost->file_index, ost->index, g_opt.sound_channels, g_opt.sound_rate, kMaxAudioChannels,
                 kMaxSampleRate);
            avcodec_free_context(&ost->enc);
            enc = nullptr;
        }
        if (enc) {
            enc->codec_id = id;
            enc->codec_type = AVMEDIA_TYPE_AUDIO;
            if (g_opt.sound_tag) enc->codec_tag = g_opt.sound_tag;
            apply_header_flags(oc, enc);
            const int ch = g_opt.sound_channels > 0 ? g_opt.sound_channels : 1;
            // An AAC rate is given per channel (as the muxer's figure below counts it, and as
            // the host divides its choice); the library's encoder takes the whole stream's.
            enc->bit_rate = id == AV_CODEC_ID_AAC ? saturate_mul(g_opt.sound_bit_rate, ch) : g_opt.sound_bit_rate;
            if (given("strict")) enc->strict_std_compliance = g_opt.strict;
            enc->thread_count = g_opt.thread_count;
            av_channel_layout_default(&enc->ch_layout, ch);
            enc->sample_rate = g_opt.sound_rate;
            enc->time_base = AVRational{1, enc->sample_rate > 0 ? enc->sample_rate : 1};
            if (g_opt.sound_quality != 0.0f) {
                enc->flags |= AV_CODEC_FLAG_QSCALE;
                enc->global_quality = clamp_to_int(FF_QP2LAMBDA * double(g_opt.sound_quality));
            }
            if (g_opt.bitexact) enc->flags |= AV_CODEC_FLAG_BITEXACT;
            enc->sample_fmt = codec && codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        }
        ost->out_channels = g_opt.sound_channels;
        ost->out_rate = g_opt.sound_rate;
    }
    if (!g_opt.sound_language.empty())
        av_dict_set(&st->metadata, "language", g_opt.sound_language.substr(0, 3).c_str(), 0);
    g_opt.no_audio = 0;
    g_opt.sound_language.clear();
    g_opt.sound_codec = 0;
    g_opt.copy_sound = 0;
}

void add_subtitle_stream(AVFormatContext* oc) {
    OutputStream* ost = new_output_stream(oc, AVMEDIA_TYPE_SUBTITLE);
    if (!ost) return;
    if (g_opt.copy_subtitles) {
        ost->stream_copy = true;
    } else {
        AVCodecID id = static_cast<AVCodecID>(g_opt.subtitle_codec);
        if (!id) id = oc->oformat->subtitle_codec;
        const AVCodec* codec = avcodec_find_encoder(id);
        ost->codec = codec;
        ost->enc = avcodec_alloc_context3(codec);
        if (ost->enc) {
            ost->enc->codec_id = id;
            ost->enc->codec_type = AVMEDIA_TYPE_SUBTITLE;
            ost->enc->time_base = AV_TIME_BASE_Q;
        }
    }
    if (!g_opt.subtitle_language.empty())
        av_dict_set(&ost->st->metadata, "language", g_opt.subtitle_language.substr(0, 3).c_str(), 0);
    g_opt.subtitle_language.clear();
    g_opt.subtitle_codec = 0;
    g_opt.copy_subtitles = 0;
}

// ---------------------------------------------------------------------------
// Output

static void free_ost(OutputStream* ost) {
    if (!ost) return;
    if (ost->enc) av_freep(&ost->enc->stats_in);  // ours, not the codec context's
    avcodec_free_context(&ost->enc);
    sws_freeContext(ost->sws);
    sws_freeContext(ost->sws_pad);
    swr_free(&ost->swr);
    swr_free(&ost->swr_enc);
    if (ost->sound_queue) av_audio_fifo_free(ost->sound_queue);
    av_frame_free(&ost->aframe);
    for (AVFrame*& f : ost->work_ring) av_frame_free(&f);
    av_frame_free(&ost->inter);
    av_frame_free(&ost->deint);
    av_packet_free(&ost->pkt);
    if (ost->logfile) fclose(ost->logfile);
    delete ost;
}

static void drop_pending_streams() {
    for (OutputStream* ost : g_run.pending_streams) free_ost(ost);
    g_run.pending_streams.clear();
}

// A name the user gave as a bare relative name may be asked about; an absolute
// path (what the wrapper always builds) is overwritten without a question.
static bool needs_overwrite_test(const std::string& name) {
    if (name.compare(0, 5, "file:") == 0) return name.size() > 5 && name[5] != '/';
    if (name.find(':') != std::string::npos) return false;
    return !name.empty() && name[0] != '/';
}

void opt_output_file(const char* name_arg) {
    std::string name = name_arg ? name_arg : "";
    const bool is_pipe = name == "-";  // standard output; see open_input_file
    if (is_pipe) name = "pipe:";
    if (g_run.output_files.size() >= kMaxFiles) {
        emsg("Too many output files (at most %d)\n", kMaxFiles);
        return;
    }
    AVFormatContext* oc = nullptr;
    const AVOutputFormat* fmt = g_opt.forced_output_format;
    if (!fmt) fmt = av_guess_format(nullptr, name.c_str(), nullptr);
    if (!fmt) {
        emsg("Unable for find a suitable output format for '%s'\n", name.c_str());
        return;
    }
    const std::string url = is_pipe ? name : file_url(name);
    if (avformat_alloc_output_context2(&oc, fmt, nullptr, url.c_str()) < 0 || !oc) {
        emsg("Unable for find a suitable output format for '%s'\n", name.c_str());
        return;
    }

    bool use_video = oc->oformat->video_codec != AV_CODEC_ID_NONE || g_opt.copy_pictures || g_opt.picture_codec;
    bool use_audio = oc->oformat->audio_codec != AV_CODEC_ID_NONE || g_opt.copy_sound || g_opt.sound_codec;
    if (!g_run.input_files.empty()) {
        bool has_video = false, has_audio = false;
        check_input_types(&has_video, &has_audio);
        if (!has_video) use_video = false;
        if (!has_audio) use_audio = false;
    }
    if (g_opt.no_audio) use_audio = false;
    if (g_opt.no_video) use_video = false;
    apply_late_fixaspect();
    if (use_video) add_video_stream(oc);
    if (use_audio) add_audio_stream(oc);
    if (oc->nb_streams == 0) {
        emsg("No audio or video streams available\n");
        drop_pending_streams();
        avformat_free_context(oc);
        return;
    }

    if (g_opt.header_date) {
        char buf[64];
        time_t t = static_cast<time_t>(g_opt.header_date);
        struct tm tmv;
        gmtime_r(&t, &tmv);
        strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S.000000Z", &tmv);
        av_dict_set(&oc->metadata, "creation_time", buf, 0);
    }
    if (!g_opt.title.empty()) av_dict_set(&oc->metadata, "title", g_opt.title.c_str(), 0);
    if (!g_opt.author.empty()) av_dict_set(&oc->metadata, "author", g_opt.author.c_str(), 0);
    if (!g_opt.copyright.empty()) av_dict_set(&oc->metadata, "copyright", g_opt.copyright.c_str(), 0);
    if (!g_opt.comment.empty()) av_dict_set(&oc->metadata, "comment", g_opt.comment.c_str(), 0);
    if (g_opt.bitexact) oc->flags |= AVFMT_FLAG_BITEXACT;

    bool ok = true;
    std::string created_path;
    if ((oc->oformat->flags & AVFMT_NEEDNUMBER) && !av_filename_number_test(name.c_str())) {
        print_error(name.c_str(), -3);
        ok = false;
    }
    if (ok && !(oc->oformat->flags & AVFMT_NOFILE)) {
        if (!g_opt.overwrite_outputs && !is_pipe && needs_overwrite_test(name)) {
            const std::string path = name.compare(0, 5, "file:") == 0 ? name.substr(5) : name;
            struct stat sb;
            if (stat(path.c_str(), &sb) == 0) {
                if (g_opt.reads_standard_input) {
                    emsg("File '%s' already exists. Exiting.\n", name.c_str());
                    ok = false;
                } else {
                    emsg("File '%s' already exists. Overwrite ? [y/N] ", name.c_str());
                    fflush(stderr);
                    int c = 'n';
                    // Only a person at a terminal can answer, and never a worker
                    // thread: anything else is a no.
                    if (isatty(STDIN_FILENO) && is_main_thread()) c = getchar();
                    if (c != 'y' && c != 'Y') {
                        emsg("Not overwriting - exiting\n");
                        ok = false;
                    }
                }
            }
        }
        if (ok) {
            const std::string path = name.compare(0, 5, "file:") == 0 ? name.substr(5) : name;
            struct stat sb;
            const bool existed = is_pipe || stat(path.c_str(), &sb) == 0;
            AVDictionary* opts = nullptr;
            av_dict_set(&opts, "protocol_whitelist", is_pipe ? "pipe" : "file", 0);
            if (avio_open2(&oc->pb, url.c_str(), AVIO_FLAG_WRITE, nullptr, &opts) < 0) {
                emsg("Could not open '%s'\n", name.c_str());
                ok = false;
            } else if (!existed) {
                created_path = path;
            }
            av_dict_free(&opts);
        }
    }
    if (!ok) {
        drop_pending_streams();
        avformat_free_context(oc);
        return;
    }

    if (g_opt.container_packet_size) oc->packet_size = static_cast<unsigned>(g_opt.container_packet_size);
    if (g_opt.container_rate) av_opt_set_int(oc, "muxrate", g_opt.container_rate, AV_OPT_SEARCH_CHILDREN);
    if (given("muxpreload") || given("target"))
        av_opt_set_int(oc, "preload", clamp_to_int64(g_opt.container_preload * 1000000.0), AV_OPT_SEARCH_CHILDREN);
    oc->max_delay = clamp_to_int(g_opt.container_max_delay * 1000000.0);
    if (given("loop_output")) av_opt_set_int(oc, "loop", g_opt.player_loops, AV_OPT_SEARCH_CHILDREN);

    OutputFile of;
    of.ctx = oc;
    of.created_path = created_path;
    of.tag_audio_bit_rate = g_opt.tag_audio_bit_rate ? g_opt.tag_audio_bit_rate
                                                   : saturate_mul(g_opt.sound_bit_rate, g_opt.sound_channels);
    of.tag_video_bit_rate = g_opt.tag_video_bit_rate ? g_opt.tag_video_bit_rate : g_opt.picture_bit_rate;
    g_run.output_files.push_back(of);
    for (OutputStream* ost : g_run.pending_streams) g_run.output_streams.push_back(ost);
    g_run.pending_streams.clear();

    g_opt.forced_output_format = nullptr;
    g_opt.forced_input_format = nullptr;
    g_opt.image_format.clear();
}

void close_output_file(OutputFile& of) {
    if (!of.ctx) return;
    if (!(of.ctx->oformat->flags & AVFMT_NOFILE) && of.ctx->pb) {
        if (avio_closep(&of.ctx->pb) < 0) of.write_failed = true;
    }
    avformat_free_context(of.ctx);
    of.ctx = nullptr;
}

// ---------------------------------------------------------------------------
// Set-up phase of a transcode

bool audio_setup_resampler(OutputStream* ost, InputStream* ist, int in_rate, const AVChannelLayout* in_layout,
                           AVSampleFormat in_fmt) {
    swr_free(&ost->swr);
    AVChannelLayout in_l{};
    if (in_layout && in_layout->nb_channels > 0 && in_layout->order != AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_copy(&in_l, in_layout);
    else
        av_channel_layout_default(&in_l, in_layout && in_layout->nb_channels > 0 ? in_layout->nb_channels : 1);
    AVChannelLayout out_l{};
    av_channel_layout_default(&out_l, ost->out_channels);
    int ret = swr_alloc_set_opts2(&ost->swr, &out_l, AV_SAMPLE_FMT_S16, ost->out_rate, &in_l, in_fmt, in_rate, 0,
                                  nullptr);
    const int in_ch = in_l.nb_channels;
    if (ret >= 0 && in_ch == 1 && out_l.nb_channels > 1) {
        // A mono sound goes into every channel whole, as a player plays it on each speaker;
        // the library's own mix would put it in at -3 dB.
        std::vector<double> whole(size_t(out_l.nb_channels), 1.0);
        ret = swr_set_matrix(ost->swr, whole.data(), 1);
    }
    av_channel_layout_uninit(&in_l);
    av_channel_layout_uninit(&out_l);
    if (ret < 0 || swr_init(ost->swr) < 0) {
        emsg("Can't resample.  Aborting.\n");
        swr_free(&ost->swr);
        return false;
    }
    ost->in_rate = in_rate;
    ost->in_channels = in_ch;
    ost->converts_sound = !(in_rate == ost->out_rate && in_ch == ost->out_channels);
    (void)ist;
    return true;
}

static bool open_two_pass_log(OutputStream* ost) {
    AVCodecContext* enc = ost->enc;
    if (!(enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))) return true;
    char buf[32];
    snprintf(buf, sizeof buf, "-%d.log", ost->index);
    ost->logname = (g_opt.pass_log_name.empty() ? std::string("ffmpeg2pass") : g_opt.pass_log_name) + buf;
    if (enc->codec_id == AV_CODEC_ID_H264) {
        // This encoder keeps its statistics file itself.
        av_opt_set(enc, "stats", ost->logname.c_str(), AV_OPT_SEARCH_CHILDREN);
        return true;
    }
    if (enc->flags & AV_CODEC_FLAG_PASS1) {
        ost->logfile = fopen(ost->logname.c_str(), "w");
        if (!ost->logfile) {
            perror(ost->logname.c_str());
            return false;
        }
    } else {
        FILE* f = fopen(ost->logname.c_str(), "rb");
        if (!f) {
            perror(ost->logname.c_str());
            return false;
        }
        fseek(f, 0, SEEK_END);
        long size = ftell(f);
        fseek(f, 0, SEEK_SET);
        if (size < 0) size = 0;
        char* logbuffer = static_cast<char*>(av_malloc(static_cast<size_t>(size) + 1));
        if (!logbuffer) {
            emsg("Could not allocate log buffer\n");
            fclose(f);
            return false;
        }
        const size_t got = fread(logbuffer, 1, static_cast<size_t>(size), f);
        logbuffer[got] = '\0';
        fclose(f);
        enc->stats_in = logbuffer;
    }
    return true;
}

// Bands that are negative, or that leave no picture between them, would move the picture
// conversion's pointers outside the pictures: such a stream is refused before its first frame.
static bool video_geometry_usable(const OutputStream* ost, const AVCodecParameters* ipar) {
    const AVCodecContext* enc = ost->enc;
    if (std::min({ost->crop_top, ost->crop_bottom, ost->crop_left, ost->crop_right, ost->pad_top, ost->pad_bottom,
                  ost->pad_left, ost->pad_right}) < 0) {
        emsg("Output stream #%d.%d: crop and pad bands cannot be negative\n", ost->file_index, ost->index);
        return false;
    }
    const int64_t kept_w = int64_t(ipar->width) - ost->crop_left - ost->crop_right;
    const int64_t kept_h = int64_t(ipar->height) - ost->crop_top - ost->crop_bottom;
    const int64_t pic_w = int64_t(enc->width) - ost->pad_left - ost->pad_right;
    const int64_t pic_h = int64_t(enc->height) - ost->pad_top - ost->pad_bottom;
    if (kept_w <= 0 || kept_h <= 0 || pic_w <= 0 || pic_h <= 0 ||
        av_image_check_size(static_cast<unsigned>(enc->width), static_cast<unsigned>(enc->height), 0, nullptr) < 0) {
        emsg("Output stream #%d.%d: the crop and pad bands leave no picture (input %dx%d, output %dx%d)\n",
             ost->file_index, ost->index, ipar->width, ipar->height, enc->width, enc->height);
        return false;
    }
    return true;
}

static InputStream* find_ist(int file, int stream) {
    for (InputStream* ist : g_run.input_streams)
        if (ist->file_index == file && ist->index == stream) return ist;
    return nullptr;
}

int transcode_setup() {
    // 1. input stream records
    for (size_t fi = 0; fi < g_run.input_files.size(); ++fi) {
        AVFormatContext* ic = g_run.input_files[fi].ctx;
        for (unsigned k = 0; k < ic->nb_streams; ++k) {
            auto* ist = new InputStream;
            ist->file_index = static_cast<int>(fi);
            ist->index = static_cast<int>(k);
            ist->st = ic->streams[k];
            ist->unused = true;
            if (g_run.input_files[fi].read_at_own_pace) ist->start = av_gettime_relative();
            g_run.input_streams.push_back(ist);
        }
    }

    // 2. stream maps
    const size_t nb_ost = g_run.output_streams.size();
    const auto& maps = g_run.stream_maps;
    if (!maps.empty() && maps.size() != nb_ost) {
        emsg("Number of stream maps must match number of output streams\n");
        return -1;
    }
    for (const StreamMap& m : maps) {
        if (m.file_index < 0 || m.file_index >= static_cast<int>(g_run.input_files.size()) || m.stream_index < 0 ||
            m.stream_index >= static_cast<int>(g_run.input_files[m.file_index].ctx->nb_streams)) {
            emsg("Could not find input stream #%d.%d\n", m.file_index, m.stream_index);
            return -1;
        }
        if (m.sync_file_index < 0 || m.sync_file_index >= static_cast<int>(g_run.input_files.size()) ||
            m.sync_stream_index < 0 ||
            m.sync_stream_index >= static_cast<int>(g_run.input_files[m.sync_file_index].ctx->nb_streams)) {
            emsg("Could not find sync stream #%d.%d\n", m.sync_file_index, m.sync_stream_index);
            return -1;
        }
    }

    // 3. choose the source of every output stream
    for (size_t i = 0; i < nb_ost; ++i) {
        OutputStream* ost = g_run.output_streams[i];
        InputStream* src = nullptr;
        if (!maps.empty()) {
            const StreamMap& m = maps[i];
            src = find_ist(m.file_index, m.stream_index);
            if (src->st->codecpar->codec_type != ost->type) {
                emsg("Codec type mismatch for mapping #%d.%d -> #%d.%d\n", m.file_index, m.stream_index,
                     ost->file_index, ost->index);
                return -1;
            }
            ost->timing_source = find_ist(m.sync_file_index, m.sync_stream_index);
        } else {
            InputStream* last = nullptr;
            for (InputStream* ist : g_run.input_streams) {
                if (ist->st->codecpar->codec_type != ost->type) continue;
                if (ist->st->discard == AVDISCARD_ALL) continue;  // "-an" / "-vn" at the input
                if (ist->unused) {
                    src = ist;
                    break;
                }
                last = ist;
            }
            if (!src) src = last;
            if (!src) {
                emsg("Could not find input stream matching output stream #%d.%d\n", ost->file_index, ost->index);
                return -1;
            }
            ost->timing_source = src;
        }
        src->unused = false;
        for (size_t k = 0; k < g_run.input_streams.size(); ++k)
            if (g_run.input_streams[k] == src) ost->source = static_cast<int>(k);
    }

    // 4. copy or re-encode
    for (OutputStream* ost : g_run.output_streams) {
        InputStream* ist = g_run.input_streams[ost->source];
        AVCodecParameters* ipar = ist->st->codecpar;
        ost->pkt = av_packet_alloc();
        if (!ost->pkt) return -1;
        if (ost->stream_copy) {
            const uint32_t forced_tag = ost->st->codecpar->codec_tag;
            if (avcodec_parameters_copy(ost->st->codecpar, ipar) < 0) return -1;
            const AVOutputFormat* ofmt = g_run.output_files[ost->file_index].ctx->oformat;
            if (forced_tag) {
                ost->st->codecpar->codec_tag = forced_tag;
            } else {
                unsigned int tag = 0;
                // Keep the input's tag only where the container accepts it.
                if (!ofmt->codec_tag ||
                    av_codec_get_id(ofmt->codec_tag, ipar->codec_tag) == ipar->codec_id ||
                    !av_codec_get_tag2(ofmt->codec_tag, ipar->codec_id, &tag))
                    ost->st->codecpar->codec_tag = ipar->codec_tag;
                else
                    ost->st->codecpar->codec_tag = 0;
            }
            ost->st->time_base = ist->st->time_base;
            ost->st->sample_aspect_ratio = ist->st->sample_aspect_ratio;
            ost->st->avg_frame_rate = ist->st->avg_frame_rate;
            continue;
        }
        if (!ost->enc) return -1;
        if (ost->type == AVMEDIA_TYPE_AUDIO) {
            ost->sound_queue = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, ost->out_channels > 0 ? ost->out_channels : 1,
                                            262144 / (2 * std::max(1, ost->out_channels)));
            if (!ost->sound_queue) return -1;
            ost->in_rate = ipar->sample_rate;
            ost->in_channels = ipar->ch_layout.nb_channels;
            ost->converts_sound = !(ost->in_rate == ost->out_rate && ost->in_channels == ost->out_channels);
            if (ost->in_channels != ost->out_channels &&
                (ipar->codec_id == AV_CODEC_ID_AC3 || ipar->codec_id == AV_CODEC_ID_DTS)) {
                ist->channels = ost->out_channels;  // ask the decoder to downmix
                ost->converts_sound = ost->in_rate != ost->out_rate;
            }
            if (g_opt.fit_sound_to_time > 1) ost->converts_sound = true;
        } else if (ost->type == AVMEDIA_TYPE_VIDEO) {
            // Scaling contexts are made when the first picture arrives, for its
            // real size and format; the bands are checked against the input here, once.
            if (!video_geometry_usable(ost, ipar)) return -1;
        }
        ist->decodes = true;
        ost->encodes = true;
        avcodec_parameters_from_context(ost->st->codecpar, ost->enc);  // for the format dump
        if (ost->type == AVMEDIA_TYPE_VIDEO && !open_two_pass_log(ost)) return -1;
    }

    // 5. dump output formats
    if (g_opt.verbosity >= 0)
        for (size_t i = 0; i < g_run.output_files.size(); ++i)
            av_dump_format(g_run.output_files[i].ctx, static_cast<int>(i), g_run.output_files[i].ctx->url, 1);

    // 6. stream mapping
    if (g_opt.verbosity >= 0) {
        emsg("Stream mapping:\n");
        for (OutputStream* ost : g_run.output_streams) {
            InputStream* ist = g_run.input_streams[ost->source];
            emsg("  Stream #%d.%d -> #%d.%d", ist->file_index, ist->index, ost->file_index, ost->index);
            if (ost->timing_source != ist)
                emsg(" [sync #%d.%d]", ost->timing_source->file_index, ost->timing_source->index);
            emsg("\n");
        }
    }

    // 7. open the encoders
    for (OutputStream* ost : g_run.output_streams) {
        if (!ost->encodes) continue;
        if (!ost->codec) {
            emsg("Unsupported codec for output stream #%d.%d\n", ost->file_index, ost->index);
            return -1;
        }
        if (avcodec_open2(ost->enc, ost->codec, nullptr) < 0) {
            emsg("Error while opening codec for output stream #%d.%d - maybe incorrect parameters such as "
                 "bit_rate, rate, width or height\n",
                 ost->file_index, ost->index);
            return -1;
        }
        if (avcodec_parameters_from_context(ost->st->codecpar, ost->enc) < 0) return -1;
        ost->st->time_base = ost->enc->time_base;
        if (ost->type == AVMEDIA_TYPE_VIDEO) ost->st->avg_frame_rate = ost->enc->framerate;
        g_run.header_bytes += ost->enc->extradata_size;
        if (ost->type == AVMEDIA_TYPE_AUDIO) {
            ost->aframe = av_frame_alloc();
            if (!ost->aframe) return -1;
            AVChannelLayout s16{};
            av_channel_layout_copy(&s16, &ost->enc->ch_layout);
            if (swr_alloc_set_opts2(&ost->swr_enc, &ost->enc->ch_layout, ost->enc->sample_fmt,
                                    ost->enc->sample_rate, &s16, AV_SAMPLE_FMT_S16, ost->enc->sample_rate, 0,
                                    nullptr) < 0 ||
                swr_init(ost->swr_enc) < 0) {
                av_channel_layout_uninit(&s16);
                emsg("Can't resample.  Aborting.\n");
                return -1;
            }
            av_channel_layout_uninit(&s16);
        }
    }

    // 8. open the decoders
    for (InputStream* ist : g_run.input_streams) {
        if (!ist->decodes) continue;
        const AVCodecParameters* par = ist->st->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) {
            emsg("Unsupported codec (id=%d) for input stream #%d.%d\n", par->codec_id, ist->file_index, ist->index);
            return -1;
        }
        ist->dec = avcodec_alloc_context3(codec);
        if (!ist->dec || avcodec_parameters_to_context(ist->dec, par) < 0) return -1;
        const InputFile& f = g_run.input_files[ist->file_index];
        ist->dec->pkt_timebase = ist->st->time_base;
        ist->dec->thread_count = f.thread_count;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            ist->dec->workaround_bugs = f.workaround_bugs;
            ist->dec->err_recognition = f.error_resilience >= 3   ? AV_EF_AGGRESSIVE
                                        : f.error_resilience == 2 ? AV_EF_COMPLIANT
                                        : f.error_resilience == 1 ? AV_EF_CAREFUL
                                                                  : 0;
            ist->dec->error_concealment = f.error_concealment;
            ist->dec->idct_algo = f.idct_algo;
            ist->dec->debug = f.debug;
            ist->dec->lowres = f.lowres;
            if (f.bitexact) ist->dec->flags |= AV_CODEC_FLAG_BITEXACT;
            if (f.gray) ist->dec->flags |= AV_CODEC_FLAG_GRAY;
            ist->framerate = f.video_rate;
        }
        AVDictionary* dopts = nullptr;
        if (par->codec_type == AVMEDIA_TYPE_AUDIO && ist->channels > 0 &&
            ist->channels != par->ch_layout.nb_channels) {
            char desc[64];
            AVChannelLayout l{};
            av_channel_layout_default(&l, ist->channels);
            av_channel_layout_describe(&l, desc, sizeof desc);
            av_dict_set(&dopts, "downmix", desc, 0);
        }
        if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
            ist->sample_rate = par->sample_rate;
            ist->channels = 0;  // recorded from the first decoded frame
        }
        const int err = avcodec_open2(ist->dec, codec, &dopts);
        av_dict_free(&dopts);
        if (err < 0) {
            emsg("Error while opening codec for input stream #%d.%d\n", ist->file_index, ist->index);
            return -1;
        }
        ist->frame = av_frame_alloc();
        if (!ist->frame) return -1;
    }

    // 9. timestamps
    for (InputStream* ist : g_run.input_streams) {
        ist->pts = 0;
        const AVStream* st = ist->st;
        ist->next_time = st->start_time != AV_NOPTS_VALUE ? av_rescale_q(st->start_time, st->time_base, AV_TIME_BASE_Q)
                                                         : 0;
        if (g_run.input_files[ist->file_index].ts_offset) ist->next_time = AV_NOPTS_VALUE;
        ist->next_packet_time = ist->next_time;
        ist->at_stream_start = true;
    }

    // 10. meta-data maps
    for (const MetaDataMap& m : g_run.meta_data_maps) {
        if (m.out_file < 0 || m.out_file >= static_cast<int>(g_run.output_files.size())) {
            emsg("Invalid output file index %d map_meta_data(%d,%d)\n", m.out_file, m.out_file, m.in_file);
            return -1;
        }
        if (m.in_file < 0 || m.in_file >= static_cast<int>(g_run.input_files.size())) {
            emsg("Invalid input file index %d map_meta_data(%d,%d)\n", m.in_file, m.out_file, m.in_file);
            return -1;
        }
        static const char* const keys[] = {"title", "author", "copyright", "comment", "album", "genre"};
        for (const char* k : keys) {
            const AVDictionaryEntry* e = av_dict_get(g_run.input_files[m.in_file].ctx->metadata, k, nullptr, 0);
            if (e) av_dict_set(&g_run.output_files[m.out_file].ctx->metadata, k, e->value, 0);
        }
    }

    // 11. headers
    for (size_t i = 0; i < g_run.output_files.size(); ++i) {
        AVFormatContext* oc = g_run.output_files[i].ctx;
        if (avformat_write_header(oc, nullptr) < 0) {
            emsg("Could not write header for output file #%d (incorrect codec parameters ?)\n", static_cast<int>(i));
            return -1;
        }
    }
    return 0;
}

void transcode_release() {
    for (OutputStream* ost : g_run.output_streams) free_ost(ost);
    g_run.output_streams.clear();
    drop_pending_streams();
    for (InputStream* ist : g_run.input_streams) {
        avcodec_free_context(&ist->dec);
        av_frame_free(&ist->frame);
        delete ist;
    }
    g_run.input_streams.clear();
}

void close_input_files() {
    for (InputFile& f : g_run.input_files) {
        if (!f.ctx) continue;
        auto* guard = static_cast<InputGuard*>(f.ctx->opaque);
        avformat_close_input(&f.ctx);
        delete guard;
    }
    g_run.input_files.clear();
}

}  // namespace ffdrv

void set_input_script(const char* script, const char* target, ScriptReadCallback read, void* user) {
    ffdrv::g_handover.script = script ? script : "";
    ffdrv::g_handover.target = target ? target : "";
    ffdrv::g_handover.read = read;
    ffdrv::g_handover.user = user;
}
