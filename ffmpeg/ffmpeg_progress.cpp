// Progress report to the host and the stop request.
#include "ffmpeg_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/time.h>
}

ProgressInfo progress_info;

namespace ffdrv {

std::atomic<int> stop_requested{0};

static ProgressCallback progress_callback = nullptr;
static void* progress_user = nullptr;
// Process-wide on purpose: a later run reports at once when half a second has
// passed since the previous run's last report.
static int64_t last_report_time = AV_NOPTS_VALUE;

// Builds the status line; it grows as needed, whatever the stream count.
struct LineBuilder {
    std::string text;
    void add(const char* fmt, ...) __attribute__((format(printf, 2, 3))) {
        char small[256];
        va_list ap;
        va_start(ap, fmt);
        const int n = vsnprintf(small, sizeof small, fmt, ap);
        va_end(ap);
        if (n < 0) return;
        if (static_cast<size_t>(n) < sizeof small) {
            text.append(small, static_cast<size_t>(n));
            return;
        }
        std::string big(static_cast<size_t>(n) + 1, '\0');
        va_start(ap, fmt);
        vsnprintf(&big[0], big.size(), fmt, ap);
        va_end(ap);
        text.append(big.c_str(), static_cast<size_t>(n));
    }
};

void reset_report_clock() { last_report_time = AV_NOPTS_VALUE; }

static ReportClock report_clock = av_gettime_relative;
void set_report_clock(ReportClock now) { report_clock = now ? now : av_gettime_relative; }

static double psnr(double d) { return d > 0 ? -10.0 * log10(d) : INFINITY; }

void report_progress(int is_last_report) {
    if (!is_last_report) {
        const int64_t now = report_clock();
        if (last_report_time == AV_NOPTS_VALUE) {
            last_report_time = now;
            return;
        }
        if (now - last_report_time < 500000) return;
        last_report_time = now;
    }

    int64_t total_size = 0;
    if (!g_run.output_files.empty()) {
        AVFormatContext* oc = g_run.output_files[0].ctx;
        // Formats that write no file have no byte stream.
        if (oc && oc->pb) total_size = std::max<int64_t>(0, avio_tell(oc->pb));
    }

    LineBuilder b;
    double reached = 1e10;
    bool first_video = true;
    int64_t frame_number = -1;
    for (OutputStream* ost : g_run.output_streams) {
        AVCodecContext* enc = ost->enc;
        if (ost->type == AVMEDIA_TYPE_VIDEO) {
            const float q = ost->has_quality ? ost->quality / static_cast<float>(FF_QP2LAMBDA) : 0.0f;
            if (!first_video) {
                b.add("q=%2.1f ", q);
            } else {
                frame_number = ost->frame_number;
                b.add("frame=%5d q=%2.1f ", static_cast<int>(ost->frame_number), q);
                if (is_last_report) b.add("L");
                if (enc && (enc->flags & AV_CODEC_FLAG_PSNR)) {
                    static const char kPlanes[3] = {'Y', 'U', 'V'};
                    double error_sum = 0, scale_sum = 0;
                    b.add("PSNR=");
                    for (int j = 0; j < 3; ++j) {
                        double error, scale = double(enc->width) * enc->height * 255.0 * 255.0;
                        if (j) scale /= 4;
                        if (is_last_report) {
                            error = double(enc->error[j]);
                            scale *= double(ost->frame_number);
                        } else {
                            error = double(ost->last_error[j]);
                        }
                        error_sum += error;
                        scale_sum += scale;
                        b.add("%c:%2.2f ", kPlanes[j], scale > 0 ? psnr(error / scale) : 0.0);
                    }
                    b.add("*:%2.2f ", scale_sum > 0 ? psnr(error_sum / scale_sum) : 0.0);
                }
                first_video = false;
            }
        }
        double t;
        if (enc && ost->encodes)
            t = double(ost->sync_opts) * av_q2d(enc->time_base);
        else
            t = double(ost->last_pts_out) * av_q2d(ost->st->time_base);
        if (t > 0 && t < reached) reached = t;
    }
    if (reached < 0.01) reached = 0.01;

    if (g_opt.verbosity || is_last_report) {
        const double bitrate = double(total_size) * 8 / reached / 1000.0;
        b.add("size=%8.0fkB time=%0.1f bitrate=%6.1fkbits/s", double(total_size) / 1024, reached, bitrate);
        if (g_opt.verbosity > 1) b.add(" dup=%d drop=%d", g_run.pictures_repeated, g_run.pictures_dropped);
        if (g_opt.verbosity >= 0) {
            snprintf(progress_info.status_line, sizeof progress_info.status_line, "%s", b.text.c_str());
            // With no video stream there is no frame counter: report 0.
            progress_info.frame_number = frame_number < 0 ? 0 : frame_number;
            progress_info.time_seconds = reached;
            progress_info.size_kib = total_size / 1024;
            if (progress_callback) progress_callback(&progress_info, progress_user);
        }
        fflush(stderr);
    }

    if (is_last_report && g_opt.verbosity >= 0) {
        const int64_t raw = g_run.picture_bytes + g_run.sound_bytes + g_run.header_bytes;
        emsg("\n");
        emsg("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\n",
             double(g_run.picture_bytes) / 1024.0, double(g_run.sound_bytes) / 1024.0,
             double(g_run.header_bytes) / 1024.0, raw ? 100.0 * double(total_size - raw) / double(raw) : 0.0);
    }
}

}  // namespace ffdrv

void set_progress_callback(ProgressCallback callback, void* user) {
    ffdrv::progress_callback = callback;
    ffdrv::progress_user = user;
}

void request_stop(void) { ffdrv::stop_requested.store(1); }

int stop_pending(void) { return ffdrv::stop_requested.load(); }

void forget_stop_request(void) { ffdrv::stop_requested.store(0); }
