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
    const AVInputFormat* forced_input_format = nullptr;
    const AVOutputFormat* forced_output_format = nullptr;
    int pgmyuv_input = 0;
    std::string image_format;  // "img": no image-format list in this library

    // picture geometry
    int picture_width = 0, picture_height = 0;
    float display_aspect = 0.0f;
    float input_sar = 1.0f;  // input's sample aspect ratio, for the fix-aspect rule
    int input_width = 0, input_height = 0;  // input's picture size, for the same rule
    int requested_width = 0, requested_height = 0;  // last "-s", before the rule
    int fixaspect_applied = 0;  // the rule ran for the last "-s"
    int fixaspect = 0;
    int pixel_format = -1;
    int pix_fmt_given = 0;
    int crop_top = 0, crop_bottom = 0, crop_left = 0, crop_right = 0;
    int pad_top = 0, pad_bottom = 0, pad_left = 0, pad_right = 0;
    int pad_color[3] = {16, 128, 128};
    AVRational picture_rate{25, 1};
    AVRational max_frame_rate{0, 0};

    // video encoder
    int64_t picture_bit_rate = 200000;
    int64_t picture_bit_rate_leeway = 4000000;
    float fixed_quantiser = 0.0f;
    int quantiser_min = 2, quantiser_max = 31;
    int lambda_min = 236, lambda_max = 3658;
    int block_lambda_min = 236, block_lambda_max = 3658;
    int quantiser_step_max = 3;
    int lelim = 0, celim = 0;
    float quantiser_blur = 0.5f, quantiser_compression = 0.5f, quantiser_squish = 0.0f;
    std::vector<uint16_t> intra_matrix, inter_matrix;  // empty = none
    std::string rc_override;
    std::string rc_eq = "tex^qComp";
    int64_t rate_buffer_bits = 0, rate_max = 0, rate_min = 0;
    float rate_buffer_eagerness = 1.0f;
    float rate_initial_complexity = 0.0f;
    float bidir_q_factor = 1.25f, bidir_q_offset = 1.25f;
    float key_q_factor = -0.8f, key_q_offset = 0.0f;
    int key_block_bias = 999999, predicted_block_bias = 999999;
    int motion_search = 5;
    int dct_algo = 0, idct_algo = 0;
    int me_threshold = 0, mb_threshold = 0;
    int workaround_bugs = 1, error_resilience = 1, error_concealment = 3;
    int bidir_frames = 0;
    int mb_decision = 0;  // "hq" sets 1, "mbd" any value
    int mb_cmp = 0, ildct_cmp = 8, sub_cmp = 0, cmp = 0, pre_cmp = 0, pre_me = 0;
    float lumi_mask = 0, dark_mask = 0, scplx_mask = 0, tcplx_mask = 0, p_mask = 0;
    int packet_size = 0;  // "ps"
    int error_rate = 0;   // "error"
    int strict = 0;
    int pass_number = 0;
    std::string pass_log_name;
    int top_field_first = -1;
    int noise_reduction = 0, qns = 0, sc_threshold = 0, me_range = 0;
    int intra_dc_precision = 8, coder = 0, context = 0, predictor = 0;
    int video_profile = -99, video_level = -99;
    int nsse_weight = 8, subpel_quality = 8, me_penalty_compensation = 256;
    int lowres = 0;
    int picture_tag = 0, sound_tag = 0;
    int skip_threshold = 0, skip_factor = 0, skip_exponent = 0, skip_comparison = 13;
    int gop_size = 12;
    int debug = 0, show_motion = 0;
    int bitexact = 0;

    // boolean encoder flags
    int key_frames_only = 0, no_video = 0, four_vectors = 0, blended_motion = 0, loop_filter = 0, partitions = 0,
        edge_prediction = 0, alt_inter_table = 0, open_motion = 0, slices = 0, alt_scan = 0, rd_quantiser = 0,
        rd_block_pattern = 0, try_zero_motion = 0, even_masking = 0, closed_groups = 0, strict_groups = 0,
        discard_output = 0, scan_offset_room = 0, quarter_pel = 0, field_transform = 0, field_motion_search = 0,
        measure_psnr = 0, write_picture_stats = 0, gray_pictures = 0, keep_input_quality = 0, deinterlace_pictures = 0,
        trellis_search = 0;
    int bidir_strategy = 0;
    int skip_level = 0;  // "vdt"

    // audio
    int sound_rate = 44100;
    int64_t sound_bit_rate = 64000;
    int sound_channels = 1;
    int no_audio = 0;
    int sound_volume = 256;
    float sound_quality = 0.0f;
    std::string sound_language, subtitle_language;

    // codec choice, per type
    int picture_codec = 0, sound_codec = 0, subtitle_codec = 0;
    int copy_pictures = 0, copy_sound = 0, copy_subtitles = 0;

    // container
    std::string title, author, copyright, comment;
    int64_t header_date = 0;
    int64_t duration_limit = 0, start_offset = 0, input_time_shift = 0;
    int size_limit_kib = 0;
    int repeat_input = 0, player_loops = -1;
    int container_rate = 0, container_packet_size = 0;
    float container_preload = 0.5f, container_max_delay = 0.7f;
    int64_t tag_audio_bit_rate = 0, tag_video_bit_rate = 0;
    int overwrite_outputs = 0;

    // run behaviour
    int print_run_time = 0, print_packet_bytes = 0, print_packets = 0, read_at_own_pace = 0, keep_input_times = 0,
        end_with_shortest_input = 0;
    int keep_frame_rate = 1, fit_sound_to_time = 1;
    int header_placement = 0;  // "vglobal"
    int frame_limits[4] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};  // by media type
    int verbosity = 1;
    int thread_count = 1;
    int hook_requested = 0;
    std::string vhook_text;

    // capture
    std::string capture_picture_device, capture_sound_device, capture_device;
    std::string capture_picture_format = "video4linux", capture_sound_format = "audio_device";
    std::string capture_norm = "ntsc";
    int capture_channel = 0;

    // side effects of the run
    int reads_standard_input = 0;
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
        idct_algo = 0, debug = 0, lowres = 0, bitexact = 0, gray = 0, read_at_own_pace = 0;
    AVRational video_rate{0, 0};
    std::string real_name;  // the file opened (differs for a script)
};

struct OutputFile {
    AVFormatContext* ctx = nullptr;
    bool write_failed = false;
    int64_t packets_written = 0;
    bool without_picture = false;  // has a picture stream that received no picture
    std::string created_path;  // the file this run created, empty when it was there before
    int64_t tag_audio_bit_rate = 0, tag_video_bit_rate = 0;
};

struct InputStream {
    int file_index = 0;
    int index = 0;  // within the file
    AVStream* st = nullptr;
    bool unused = true;  // no output takes this stream
    bool decodes = false;
    AVCodecContext* dec = nullptr;
    AVFrame* frame = nullptr;
    int64_t next_time = AV_NOPTS_VALUE;  // microseconds
    int64_t next_packet_time = AV_NOPTS_VALUE;  // where the next packet is expected, microseconds
    int64_t pts = 0;                   // microseconds
    bool at_stream_start = true;
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
    int source = -1;
    InputStream* timing_source = nullptr;
    AVStream* st = nullptr;
    AVCodecContext* enc = nullptr;
    const AVCodec* codec = nullptr;
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    bool stream_copy = false;
    bool encodes = false;
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
    bool converts_sound = false;
    int in_rate = 0, in_channels = 0;
    AVAudioFifo* sound_queue = nullptr;
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
    std::vector<InputStream*> input_streams;
    std::vector<OutputStream*> output_streams;
    std::vector<OutputStream*> pending_streams;  // created by add_*_stream, before transcode
    int64_t picture_bytes = 0, sound_bytes = 0, header_bytes = 0;
    int pictures_repeated = 0, pictures_dropped = 0;
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
void open_input_file(const char* filename);
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
