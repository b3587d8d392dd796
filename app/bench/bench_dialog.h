// The main dialog run for real on the benchmark's thread while another thread drives it, and
// the answer times of the messages that thread sends it meanwhile.
#pragma once

#include <benchmark/benchmark.h>

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "PeloranAutomation.h"
#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

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

// Starts the batch and times the answers until its end notice, which is then closed.
inline bool RunBatchToItsNotice(const Run& run, Latencies* out) {
    peloran_auto::ClickDlgItem(run.main, IDC_START);
    HWND box = nullptr;
    Probe(run.main, out,
          [&] { return (box = peloran_auto::WaitForDialog("Mission accomplished!", 0, run.main)) != nullptr; });
    peloran_auto::ClickDlgItem(box, IDOK);
    return peloran_auto::WaitUntil([&] { return !IsWindow(box); }, 10000);
}

// The folder of the running executable, where the program's skin lies beside it.
inline std::string ProgramFolder() {
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir(exe, n > 0 ? size_t(n) : 0);
    return dir.substr(0, dir.rfind('/') + 1);
}

// The skin engine started as the program starts it, with the program's own skin.
inline bool StartProgramSkin() {
    InstallSkinners();
    if (!InitSkinLibrary(GetModuleHandleA(nullptr)) || !LoadSkinFile((ProgramFolder() + "z-arud.qvk").c_str()))
        return false;
    SetDialogSkin("Dialog");
    return true;
}

// The main dialog made modeless, shown, active and painted, as the program shows it.
inline bool OpenMainDialog(CPeloranDlg& dlg) {
    if (!dlg.Create(IDD_PELORAN_DIALOG, nullptr)) return false;
    dlg.ShowWindow(SW_SHOW);
    WinTestActivate(dlg.GetSafeHwnd());
    WinTestPumpUntilIdle();
    return true;
}

inline void StopProgramSkin() {
    SetDialogSkin(nullptr);
    ExitSkinLibrary();
}

// The program's skin started and the main dialog open in it; false, with the benchmark told
// why and the skin stopped again, when either fails.
inline bool OpenSkinnedMainDialog(benchmark::State& state, CPeloranDlg& dlg) {
    if (!StartProgramSkin()) {
        state.SkipWithError("the default skin did not load");
        return false;
    }
    if (OpenMainDialog(dlg)) return true;
    state.SkipWithError("no dialog");
    StopProgramSkin();
    return false;
}

// The benchmarks' main: measured without a display, nothing started for real.
inline int BenchmarkMain(int argc, char** argv) {
    setenv("VELMORA_BACKEND", "headless", 1);
    WinTestShellRecord(TRUE);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace benchdlg
