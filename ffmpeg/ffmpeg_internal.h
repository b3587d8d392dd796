// Internal state of the transcoding driver: option variables, file and stream
// tables, and the functions the driver's modules share. Not for the wrapper.
#ifndef VELMORA_FFMPEG_INTERNAL_H
#define VELMORA_FFMPEG_INTERNAL_H

#include "ffmpeg.h"

#include <atomic>
#include <bitset>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace ffdrv {

// Option flag bits of the option table.
enum {
    HAS_ARG = 0x001,
    OPT_BOOL = 0x002,
    OPT_EXPERT = 0x004,
    OPT_STRING = 0x008,
    OPT_VIDEO = 0x010,
    OPT_AUDIO = 0x020,
    OPT_GRAB = 0x040,
    OPT_INT = 0x080,
    OPT_FLOAT = 0x100,
    OPT_SUBTITLE = 0x200,
};

typedef void (*OptionHandler)(const char* arg);

struct OptionEntry {
    const char* name;
    int flags;
    void* var;              // option variable for the storing kinds
    OptionHandler handler;  // for every other option
    const char* help;
    const char* argname;
    int has_choices;
    const char* const* choices;
    int choice_count;
};

extern const OptionEntry kOptionTable[];
extern const int kOptionCount;  // rows without the terminating one

constexpr int kMaxFiles = 20;
constexpr int kMaxStreamMaps = 20;
constexpr int kMaxMetaDataMaps = 20;

// Every option variable of a run. Reset by assigning a fresh instance, so no
// value can survive from one run to the next.
struct Options {
    // formats
    const AVInputFormat* file_iformat = nullptr;
    const AVOutputFormat* file_oformat = nullptr;
    int pgmyuv_compat = 0;
    std::string image_format;  // "img": no image-format list in this library

    // picture geometry
    int frame_width = 0, frame_height = 0;
    float frame_aspect_ratio = 0.0f;
    float input_sar = 1.0f;  // input's sample aspect ratio, for the fix-aspect rule
    int input_width = 0, input_height = 0;  // input's picture size, for the same rule
    int requested_width = 0, requested_height = 0;  // last "-s", before the rule
    int fixaspect_applied = 0;  // the rule ran for the last "-s"
    int fixaspect = 0;
    int frame_pix_fmt = -1;
    int pix_fmt_given = 0;
    int crop_top = 0, crop_bottom = 0, crop_left = 0, crop_right = 0;
    int pad_top = 0, pad_bottom = 0, pad_left = 0, pad_right = 0;
    int pad_color[3] = {16, 128, 128};
    AVRational frame_rate{25, 1};
    AVRational max_frame_rate{0, 0};

    // video encoder
    int64_t video_bit_rate = 200000;
    int64_t video_bit_rate_tolerance = 4000000;
    float video_qscale = 0.0f;
    int video_qmin = 2, video_qmax = 31;
    int video_lmin = 236, video_lmax = 3658;
    int video_mb_lmin = 236, video_mb_lmax = 3658;
    int video_qdiff = 3;
    int lelim = 0, celim = 0;
    float video_qblur = 0.5f, video_qcomp = 0.5f, video_qsquish = 0.0f;
    std::vector<uint16_t> intra_matrix, inter_matrix;  // empty = none
    std::string rc_override;
    std::string rc_eq = "tex^qComp";
    int64_t video_rc_buffer_size = 0, video_rc_max_rate = 0, video_rc_min_rate = 0;
    float video_rc_buffer_aggressivity = 1.0f;
    float video_rc_initial_cplx = 0.0f;
    float video_b_qfactor = 1.25f, video_b_qoffset = 1.25f;
    float video_i_qfactor = -0.8f, video_i_qoffset = 0.0f;
    int video_intra_quant_bias = 999999, video_inter_quant_bias = 999999;
    int me_method = 5;
    int dct_algo = 0, idct_algo = 0;
    int me_threshold = 0, mb_threshold = 0;
    int workaround_bugs = 1, error_resilience = 1, error_concealment = 3;
    int b_frames = 0;
    int mb_decision = 0;  // "hq" sets 1, "mbd" any value
    int mb_cmp = 0, ildct_cmp = 8, sub_cmp = 0, cmp = 0, pre_cmp = 0, pre_me = 0;
    float lumi_mask = 0, dark_mask = 0, scplx_mask = 0, tcplx_mask = 0, p_mask = 0;
    int packet_size = 0;  // "ps"
    int error_rate = 0;   // "error"
    int strict = 0;
    int do_pass = 0;
    std::string pass_logfilename;
    int top_field_first = -1;
    int noise_reduction = 0, qns = 0, sc_threshold = 0, me_range = 0;
    int intra_dc_precision = 8, coder = 0, context = 0, predictor = 0;
    int video_profile = -99, video_level = -99;
    int nsse_weight = 8, subpel_quality = 8, me_penalty_compensation = 256;
    int lowres = 0;
    int video_codec_tag = 0, audio_codec_tag = 0;
    int frame_skip_threshold = 0, frame_skip_factor = 0, frame_skip_exp = 0, frame_skip_cmp = 13;
    int gop_size = 12;
    int debug = 0, debug_mv = 0;
    int bitexact = 0;

    // boolean encoder flags
    int intra_only = 0, video_disable = 0, use_4mv = 0, use_obmc = 0, use_loop = 0,
        use_part = 0, use_aic = 0, use_aiv = 0, use_umv = 0, use_ss = 0, use_alt_scan = 0,
        use_qprd = 0, use_cbprd = 0, use_mv0 = 0, use_naq = 0, closed_gop = 0, strict_gop = 0,
        no_output = 0, use_scan_offset = 0, use_qpel = 0, do_interlace_dct = 0,
        do_interlace_me = 0, do_psnr = 0, do_vstats = 0, gray_only = 0, same_quality = 0,
        do_deinterlace = 0, use_trell = 0;
    int b_strategy = 0;
    int video_discard = 0;  // "vdt"

    // audio
    int audio_sample_rate = 44100;
    int64_t audio_bit_rate = 64000;
    int audio_channels = 1;
    int audio_disable = 0;
    int audio_volume = 256;
    float audio_qscale = 0.0f;
    std::string audio_language, subtitle_language;

    // codec choice, per type
    int video_codec_id = 0, audio_codec_id = 0, subtitle_codec_id = 0;
    int video_stream_copy = 0, audio_stream_copy = 0, subtitle_stream_copy = 0;

    // container
    std::string title, author, copyright, comment;
    int64_t rec_timestamp = 0;
    int64_t recording_time = 0, start_time = 0, input_ts_offset = 0;
    int limit_filesize = 0;
    int loop_input = 0, loop_output = -1;
    int mux_rate = 0, mux_packet_size = 0;
    float mux_preload = 0.5f, mux_max_delay = 0.7f;
    int64_t mux_audio_bitrate = 0, mux_video_bitrate = 0;
    int file_overwrite = 0;

    // run behaviour
    int do_benchmark = 0, do_hex_dump = 0, do_pkt_dump = 0, rate_emu = 0, copy_ts = 0,
        opt_shortest = 0;
    int video_sync_method = 1, audio_sync_method = 1;
    int use_global_header_opt = 0;  // "vglobal"
    int max_frames[4] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};  // by media type
    int verbose = 1;
    int thread_count = 1;
    int using_vhook = 0;
    std::string vhook_text;

    // capture
    std::string video_device, audio_device, grab_device;
    std::string video_grab_format = "video4linux", audio_grab_format = "audio_device";
    std::string video_standard = "ntsc";
    int video_channel = 0;

    // side effects of the run
    int using_stdin = 0;
};

extern Options g_opt;
// Which options the current run named (table row index), so that encoder
// fields are written only when asked for: some encoders refuse the generic
// default values written explicitly.
extern std::bitset<256> g_given;
bool option_given(const char* name);

struct StreamMap {
    int file_index, stream_index, sync_file_index, sync_stream_index;
};
struct MetaDataMap {
    int out_file, in_file;
};

struct InputFile {
    AVFormatContext* ctx = nullptr;
    int64_t ts_offset = 0;
    // Added to every packet read, microseconds: the sum of the timestamp jumps met so far,
    // so that the file's time runs on without a gap across them.
    int64_t jump_correction = 0;
    // Decoder settings captured when the file was opened ("-i" applies the
    // options that precede it).
    int thread_count = 1, workaround_bugs = 1, error_resilience = 1, error_concealment = 3,
        idct_algo = 0, debug = 0, lowres = 0, bitexact = 0, gray = 0, rate_emu = 0;
    AVRational video_rate{0, 0};
    std::string real_name;  // the file opened (differs for a script)
};

struct OutputFile {
    AVFormatContext* ctx = nullptr;
    bool write_failed = false;
    int64_t packets_written = 0;
    bool without_picture = false;  // has a picture stream that received no picture
    std::string created_path;  // the file this run created, empty when it was there before
    int64_t mux_audio_bitrate = 0, mux_video_bitrate = 0;
};

struct InputStream {
    int file_index = 0;
    int index = 0;  // within the file
    AVStream* st = nullptr;
    bool discard = true;
    bool decoding_needed = false;
    AVCodecContext* dec = nullptr;
    AVFrame* frame = nullptr;
    int64_t next_pts = AV_NOPTS_VALUE;  // microseconds
    int64_t next_dts = AV_NOPTS_VALUE;  // where the next packet is expected, microseconds
    int64_t pts = 0;                   // microseconds
    bool is_start = true;
    int64_t start = 0;  // pacing start, microseconds
    int64_t frame_count = 0;
    AVRational framerate{0, 0};
    int sample_rate = 0, channels = 0;  // recorded decoder parameters
    float quality = 0;
    int top_field_first = 0, interlaced = 0;
};

struct OutputStream {
    int file_index = 0;
    int index = 0;
    int source_index = -1;
    InputStream* sync_ist = nullptr;
    AVStream* st = nullptr;
    AVCodecContext* enc = nullptr;
    const AVCodec* codec = nullptr;
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    bool stream_copy = false;
    bool encoding_needed = false;
    bool flushed = false;
    int64_t frame_number = 0;
    int64_t sync_opts = 0;
    int64_t last_mux_dts = AV_NOPTS_VALUE;
    int64_t last_pts_out = 0;  // in stream time base, for the output-time choice

    // video geometry, captured when the stream is created
    int crop_top = 0, crop_bottom = 0, crop_left = 0, crop_right = 0;
    int pad_top = 0, pad_bottom = 0, pad_left = 0, pad_right = 0;
    int pad_color[3] = {16, 128, 128};
    bool bands_added = false;
    int top_field_first = -1;
    SwsContext* sws = nullptr;
    SwsContext* sws_pad = nullptr;  // 4:2:0 padded picture -> encoder format
    bool in_swr_ready = false;
    int in_fmt = -1;
    int sws_src_w = 0, sws_src_h = 0, sws_src_fmt = -1;
    std::vector<AVFrame*> work_ring;  // pictures in the encoder's size and format
    AVFrame* inter = nullptr;    // 4:2:0 picture before a last format conversion
    AVFrame* deint = nullptr;    // deinterlaced copy

    // audio
    SwrContext* swr = nullptr;      // decoder -> s16 interleaved at the output rate
    SwrContext* swr_enc = nullptr;  // s16 interleaved -> encoder sample format
    bool resample = false;
    int in_rate = 0, in_channels = 0;
    AVAudioFifo* fifo = nullptr;
    AVFrame* aframe = nullptr;      // encoder input frame
    std::vector<uint8_t> s16buf;    // converted samples
    std::vector<uint8_t> s16frame;  // one frame read from the FIFO
    int out_channels = 0, out_rate = 0;
    int async_pending = 0;

    // two-pass
    FILE* logfile = nullptr;
    std::string logname;

    // report
    float quality = 0;
    int pict_type = 0;
    uint64_t last_error[3] = {0, 0, 0};
    bool has_quality = false;
    AVPacket* pkt = nullptr;
};

// Run state: tables of the current run.
struct RunState {
    std::vector<InputFile> input_files;
    std::vector<OutputFile> output_files;
    std::vector<StreamMap> stream_maps;
    std::vector<MetaDataMap> meta_data_maps;
    std::vector<InputStream*> ist_table;
    std::vector<OutputStream*> ost_table;
    std::vector<OutputStream*> pending_ost;  // created by add_*_stream, before transcode
    int64_t video_size = 0, audio_size = 0, extra_size = 0;
    int nb_frames_dup = 0, nb_frames_drop = 0;
    // A resampler or an encoder failed: what follows would be a file with a hole in it.
    bool output_failed = false;
};
extern RunState g_run;

extern std::atomic<int> stop_requested;

// Messages: standard error, unless a test installs a sink.
void emsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void omsg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
typedef void (*MessageSink)(int stream /*1 stdout, 2 stderr*/, const char* text);
void set_message_sink(MessageSink sink);
extern const char* g_program_name;

// Locale-independent conversions with the C library's forgiving semantics:
// garbage gives 0, trailing text is ignored.
int parse_int(const char* s);
int64_t parse_int64(const char* s);
double parse_double(const char* s);
int64_t saturate_mul(int64_t v, int64_t m);
// Doubles to integers, held to the type's range (NaN gives 0): options may hold anything.
int clamp_to_int(double d);
int64_t clamp_to_int64(double d);
// Limits of what an output stream takes, past which the driver's own arithmetic would not hold.
constexpr int kMaxAudioChannels = 64;
constexpr int kMaxSampleRate = 768000;
constexpr int kMaxThreads = 64;
// Times given in options stay within about 140 years, so sums of them cannot overflow.
constexpr int64_t kMaxOptionTime = int64_t(1) << 52;
int map_log_level(int old_level);

// Option layer.
void ResetOptionDefaults();
void ParseOptions(int argc, char** argv, const OptionEntry* table);
const OptionEntry* FindOption(const OptionEntry* table, const char* name);
void ShowHelpOptions(const OptionEntry* table, const char* msg, int mask, int value);
void print_help(const char*);
void apply_late_fixaspect();

// Set-up.
void opt_input_file(const char* filename);
void opt_output_file(const char* filename);
void add_video_stream(AVFormatContext* oc);
void add_audio_stream(AVFormatContext* oc);
void add_subtitle_stream(AVFormatContext* oc);
void print_error(const char* filename, int err);
// Ends the host's hand-over of its script (see set_input_script), if one is under way.
void end_script_handover();
int transcode_setup();
void transcode_release();
bool audio_setup_resampler(OutputStream* ost, InputStream* ist, int in_rate,
                           const AVChannelLayout* in_layout, AVSampleFormat in_fmt);
void close_output_file(OutputFile& of);
void close_input_files();
// Closes and frees everything a run holds (after a run that did not finish).
void release_run();

// Loop.
int transcode();
int write_packet(OutputStream* ost, AVPacket* pkt);

// Progress.
void report_progress(int is_last_report);
// Forgets when the last report was made, as at process start (tests).
void reset_report_clock();
// The clock the reports are spaced by, in microseconds; null puts the library's back (tests).
typedef int64_t (*ReportClock)();
void set_report_clock(ReportClock now);

}  // namespace ffdrv

#endif
