// Helpers for the driver's tests: run the driver over a word list and capture
// its messages.
#ifndef VELMORA_FFMPEG_TESTS_DRIVER_SUPPORT_H
#define VELMORA_FFMPEG_TESTS_DRIVER_SUPPORT_H

#include "ffmpeg.h"
#include "ffmpeg_internal.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace drivertest {

struct RunResult {
    int rc = 0;
    std::string err;  // standard-error messages of the driver
    std::string out;  // standard-output messages (help)
};

inline std::string& ErrSink() {
    static std::string s;
    return s;
}
inline std::string& OutSink() {
    static std::string s;
    return s;
}

// When set, sees every message of the driver as it is written (tests that act at a moment).
typedef void (*MessageHook)(const char* text);
inline MessageHook& OnMessage() {
    static MessageHook hook = nullptr;
    return hook;
}

inline void Capture(int stream, const char* text) {
    (stream == 1 ? OutSink() : ErrSink()) += text;
    if (OnMessage()) OnMessage()(text);
}

inline RunResult RunDriver(const std::vector<std::string>& words) {
    std::vector<std::string> copy;
    copy.push_back("ffmpeg");
    copy.insert(copy.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& w : copy) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    ErrSink().clear();
    OutSink().clear();
    ffdrv::set_message_sink(Capture);
    RunResult r;
    r.rc = ffmpeg_main(static_cast<int>(copy.size()), argv.data());
    ffdrv::set_message_sink(nullptr);
    r.err = ErrSink();
    r.out = OutSink();
    return r;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The vector the encoder wrapper builds for its default settings, with the
// input and output changed.
inline std::vector<std::string> WrapperVector(const std::string& in, const std::string& out,
                                              const std::string& vcodec = "mpeg4") {
    return {"-i", in, "-title", "clip", "-bitexact", "-maxrate", "768", "-bufsize", "4096",
            "-vcodec", vcodec, "-acodec", "aac", "-f", "ipod", "-s", "320x240", "-r", "23.976000",
            "-b", "512", "-ac", "2", "-ab", "64", "-vol", "256", "-ar", "44100", out};
}

}  // namespace drivertest

#endif
