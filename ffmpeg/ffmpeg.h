// Public interface of the transcoding driver.
//
// The driver is called once per file, synchronously, on the caller's thread.
// One run may be active at a time in the process; all option state is reset
// at the start of every run.
#ifndef VELMORA_FFMPEG_FFMPEG_H
#define VELMORA_FFMPEG_FFMPEG_H

#include <cstdint>

// Results of ffmpeg_main.
enum {
    FFMPEG_RESULT_OK = 0,        // converted (inputs read to the end or a limit reached)
    FFMPEG_RESULT_FAILED = -1,   // no input, no output, set-up failed, a resampler or an encoder
                                 // failed, not one frame or sample was converted, or a picture
                                 // stream received no picture
    FFMPEG_RESULT_STOPPED = -2,  // stopped by request_stop(); output is complete but shorter
};

// Runs the driver over argv[1..argc-1]; argv[0] is only used as the program
// name in parser messages (may be null).
int ffmpeg_main(int argc, char** argv);

// Progress record, rewritten by each report.
struct ProgressInfo {
    int64_t frame_number;     // frames encoded on the first video output stream
    double time_seconds;      // time reached in the output, at least 0.01
    int64_t size_kib;         // bytes written to the first output so far / 1024
    char status_line[2048];   // NUL-terminated status line
};

// Called on the thread that runs the driver, at least 0.5 s apart and exactly
// once at the end of a run. The record must not be kept beyond the call.
typedef void (*ProgressCallback)(const ProgressInfo* info, void* user);

// Registers (or with a null callback, removes) the progress callback. Stays
// registered across runs. Call while no run is active.
void set_progress_callback(ProgressCallback callback, void* user);

// Asks the running conversion to stop. Safe from any thread; returns at once.
// A request made while no run is active holds for the next run: the host may be about to
// start it. Each run clears the request when it ends.
void request_stop(void);

// True while a stop asked for has not been taken by the end of a run.
int stop_pending(void);

// Forgets a stop asked for and not yet taken (a host starting afresh, as a new batch).
void forget_stop_request(void);

// The host's hand-over of the input script it wrote for the next run, which it keeps locked
// against other programs until the driver has read it. When that run opens `script`, it reads
// the name the script gives, calls `read(user)` (the host lets its lock go), and converts the
// file only when the name is `target`, the file the host gave. A run that never opens the
// script calls `read(user)` as it ends. Holds for one run; call while no run is active.
typedef void (*ScriptReadCallback)(void* user);
void set_input_script(const char* script, const char* target, ScriptReadCallback read, void* user);

// The process-wide progress record that the callback receives.
extern ProgressInfo progress_info;

#endif
