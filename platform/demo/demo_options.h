// What the sample programs share: their automation options (capture the screen, or report
// being on screen for an outside screenshot) and the report itself.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "winplat_test.h"

namespace demo {

struct Options {
    const char* capture = nullptr;
    const char* ready = nullptr;
    int hold_ms = 0;
    bool automated() const { return capture || ready; }
};

// Parses --capture FILE.png, --ready FILE and --hold-ms N; false (after the usage line) on
// anything else. Automated runs wait on real timers, also under the headless backend.
inline bool ParseOptions(int argc, char** argv, Options* opt) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--capture" && i + 1 < argc)
            opt->capture = argv[++i];
        else if (a == "--ready" && i + 1 < argc)
            opt->ready = argv[++i];
        else if (a == "--hold-ms" && i + 1 < argc)
            opt->hold_ms = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--capture FILE.png] [--ready FILE] [--hold-ms N]\n", argv[0]);
            return false;
        }
    }
    if (opt->automated()) WinTestUseRealTime(TRUE);
    return true;
}

// Everything is on screen: capture it, or tell the waiting test. False if either failed.
inline bool ReportShown(const Options& opt) {
    bool ok = true;
    if (opt.capture && !WinTestCaptureScreenPng(opt.capture)) ok = false;
    if (opt.ready) {
        FILE* f = std::fopen(opt.ready, "w");
        if (f) {
            std::fputs("ready\n", f);
            std::fclose(f);
        } else {
            ok = false;
        }
    }
    return ok;
}

}  // namespace demo
