// The main dialog run for real on the benchmark's thread while another thread drives it, and
// the answer times of the messages that thread sends it meanwhile.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "PeloranAutomation.h"
#include "PeloranDlg.h"
#include "winplat_test.h"

namespace benchdlg {

struct Latencies {
    std::vector<double> ms;
    double Percentile(double p) {
        if (ms.empty()) return 0;
        std::sort(ms.begin(), ms.end());
        size_t i = size_t(p / 100.0 * double(ms.size() - 1) + 0.5);
        return ms[std::min(i, ms.size() - 1)];
    }
};

// Sends WM_NULL to the dialog every 2 ms until `stop` says so.
inline void Probe(HWND main, Latencies* out, const std::function<bool()>& stop) {
    while (!stop()) {
        auto t0 = std::chrono::steady_clock::now();
        SendMessageA(main, WM_NULL, 0, 0);
        auto t1 = std::chrono::steady_clock::now();
        out->ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// What the driving thread has: the dialog's window, the dialog, and a way onto its thread.
struct Run {
    HWND main;
    CPeloranDlg& dlg;
    const peloran_auto::UiInvoker& ui;
};

// Runs the dialog on this thread; `drive` works it from another thread and then it is closed.
inline void RunDialog(const std::function<void(const Run&)>& drive) {
    WinTestUseRealTime(TRUE);
    CPeloranDlg dlg;
    peloran_auto::UiInvoker ui;
    peloran_auto::SetUiInvoker(&ui);
    std::thread t([&] {
        HWND main = nullptr;
        peloran_auto::WaitUntil([&] { return (main = peloran_auto::FindTopLevel("Velmora Corvane")) != nullptr; },
                                20000);
        if (main) drive(Run{main, dlg, ui});
        if (main) WinTestCloseRequest(main);
    });
    dlg.DoModal();
    t.join();
    peloran_auto::SetUiInvoker(nullptr);
    WinTestPumpUntilIdle();
}

inline void Report(benchmark::State& state, Latencies& l) {
    state.counters["samples"] = double(l.ms.size());
    state.counters["p50_ms"] = l.Percentile(50);
    state.counters["p99_ms"] = l.Percentile(99);
    state.counters["max_ms"] = l.Percentile(100);
}

}  // namespace benchdlg
