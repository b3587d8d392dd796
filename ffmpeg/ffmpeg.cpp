// Entry of the transcoding driver: one run per call.
#include "ffmpeg_internal.h"

#include <clocale>
#include <locale.h>
#include <unistd.h>

extern "C" {
#include <libavutil/time.h>
}

namespace ffdrv {

static std::atomic<bool> g_running{false};

void release_run() {
    transcode_release();
    for (OutputFile& of : g_run.output_files) close_output_file(of);
    g_run.output_files.clear();
    close_input_files();
}

static int run(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    setvbuf(stderr, nullptr, _IONBF, 0);

    ResetOptionDefaults();
    ParseOptions(argc, argv, kOptionTable);

    if (g_run.output_files.empty()) {
        emsg("Must supply at least one output file\n");
        transcode_release();
        close_input_files();
        return -1;
    }
    int result = 0;
    if (g_run.input_files.empty()) {
        result = -1;
    } else {
        const int64_t t0 = av_gettime_relative();
        const int ret = transcode();
        const int64_t t1 = av_gettime_relative();
        if (g_opt.print_run_time) emsg("bench: utime=%0.3fs\n", double(t1 - t0) / 1000000.0);
        if (ret != 0) result = -1;
    }
    transcode_release();
    for (OutputFile& of : g_run.output_files) {
        close_output_file(of);
        // A file whose writing failed is never reported as converted.
        if (of.write_failed && result == 0) result = -1;
        // A stop before the first frame leaves a header with nothing behind it, which no
        // player takes for a file: what this run created and filled with nothing goes.
        // So does a file whose picture stream received no picture: nothing a player would show.
        if (!of.created_path.empty() && (of.packets_written == 0 || of.without_picture))
            unlink(of.created_path.c_str());
    }
    g_run.output_files.clear();
    close_input_files();
    g_opt.intra_matrix.clear();
    g_opt.inter_matrix.clear();

    if (stop_requested.load()) {
        emsg("Received signal %d: terminating.\n", stop_requested.load());
        return -2;
    }
    return result;
}

}  // namespace ffdrv

int ffmpeg_main(int argc, char** argv) {
    using namespace ffdrv;
    bool expected = false;
    if (!g_running.compare_exchange_strong(expected, true)) {
        emsg("The transcoding driver is already running\n");
        return -1;
    }
    // Numbers are written and read the same way whatever locale the host set.
    locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    locale_t previous = c_locale ? uselocale(c_locale) : static_cast<locale_t>(0);
    const int log_level = av_log_get_level();

    int result = -1;
    try {
        result = run(argc, argv);
    } catch (...) {
        // Nothing may escape into the host; a run that threw converted nothing,
        // and leaves nothing open for the next run to trip over.
        result = -1;
        try {
            release_run();
        } catch (...) {
        }
    }

    end_script_handover();
    // A stop belongs to the run it came during (or, when it came between runs, to the next):
    // this run has taken it into its result.
    stop_requested.store(0);
    av_log_set_level(log_level);
    if (c_locale) {
        uselocale(previous);
        freelocale(c_locale);
    }
    g_running.store(false);
    return result;
}
