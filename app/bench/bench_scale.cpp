// The program at scale and at its start: the start to the first painted frame of the skinned
// main dialog, and a thousand files in the list - how long adding them takes, and how quickly
// the dialog answers while they are added, while the list is scrolled, and during a short
// batch over a few of them (percentiles of the answer times as counters).
#include <benchmark/benchmark.h>
#include <limits.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PeloranAutomation.h"
#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "bench_dialog.h"
#include "testmedia.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

using namespace peloran_auto;
using namespace benchdlg;

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("peloran_scale_bench") {}
} g_app;

constexpr int kRows = 1000;

std::string ProgramFolder() {
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir(exe, n > 0 ? size_t(n) : 0);
    return dir.substr(0, dir.rfind('/') + 1);
}

// What the program does before its dialog's loop, up to the dialog painted once: the skin
// engine started with the program's skin, the dialog made, shown and painted.
void BM_StartToFirstPaintedFrame(benchmark::State& state) {
    const std::string skin = ProgramFolder() + "z-arud.qvk";
    InstallSkinners();
    for (auto _ : state) {
        if (!InitSkinLibrary(GetModuleHandleA(nullptr)) || !LoadSkinFile(skin.c_str())) {
            state.SkipWithError("the default skin did not load");
            return;
        }
        SetDialogSkin("Dialog");
        {
            CPeloranDlg dlg;
            if (!dlg.Create(IDD_PELORAN_DIALOG, nullptr)) {
                state.SkipWithError("no dialog");
                return;
            }
            dlg.ShowWindow(SW_SHOW);
            WinTestPumpUntilIdle();
            RECT dirty;
            if (::GetUpdateRect(dlg.GetSafeHwnd(), &dirty, FALSE)) {
                state.SkipWithError("the dialog was left unpainted");
                return;
            }
            state.PauseTiming();
            dlg.DestroyWindow();
            WinTestPumpUntilIdle();
        }
        SetDialogSkin(nullptr);
        ExitSkinLibrary();
        state.ResumeTiming();
    }
}

// f0000.avi .. f0999.avi, links to one short generated file.
struct ThousandFiles {
    testmedia::ScratchDir dir{"peloran_scale_bench"};
    std::string names;
    bool ok = false;
    ThousandFiles() {
        if (!testmedia::Generate(testmedia::Kind::AviMpeg4, dir / "one.avi", 1.0, 160, 120, 10)) return;
        for (int i = 0; i < kRows; ++i) {
            char n[16];
            std::snprintf(n, sizeof n, "f%04d.avi", i);
            if (::link((dir / "one.avi").c_str(), (dir / n).c_str()) != 0) return;
            names += (i ? "\n" : "") + std::string(n);
        }
        ok = true;
    }
};

HWND FileList(const Run& run) { return GetDlgItem(run.main, IDC_FILELIST); }

// Adds the thousand files through the open-file dialog, timing each answer meanwhile; the
// time the adding took goes to `addMs`.
bool AddThousand(const Run& run, const ThousandFiles& files, Latencies* during, double* addMs) {
    WinTestScriptOpenFile(files.dir.path().c_str(), files.names.c_str());
    auto t0 = std::chrono::steady_clock::now();
    PostMessageA(run.main, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED), LPARAM(GetDlgItem(run.main, IDC_ADD)));
    auto until = t0 + std::chrono::seconds(300);
    Latencies ignored;
    Probe(run.main, during ? during : &ignored, [&] {
        return ListRowCount(FileList(run)) == kRows || std::chrono::steady_clock::now() > until;
    });
    *addMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return ListRowCount(FileList(run)) == kRows;
}

void BM_AddThousandFiles(benchmark::State& state) {
    ThousandFiles files;
    if (!files.ok) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        Latencies l;
        double addMs = 0;
        bool ok = false;
        RunDialog([&](const Run& run) { ok = AddThousand(run, files, &l, &addMs); });
        if (!ok) {
            state.SkipWithError("the files were not added");
            return;
        }
        Report(state, l);
        state.counters["add_ms"] = addMs;
        state.counters["per_file_ms"] = addMs / kRows;
    }
}

// The list of a thousand rows walked by keys (down, page down, end, home) from another
// thread while the answers are timed.
void BM_UiAnswerScrollingThousandRows(benchmark::State& state) {
    ThousandFiles files;
    if (!files.ok) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        Latencies l;
        bool ok = false;
        RunDialog([&](const Run& run) {
            double addMs = 0;
            if (!(ok = AddThousand(run, files, nullptr, &addMs))) return;
            HWND list = FileList(run);
            const UINT keys[] = {VK_DOWN, VK_DOWN, VK_NEXT, VK_DOWN, VK_END, VK_UP, VK_HOME, VK_NEXT};
            int k = 0;
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            Probe(run.main, &l, [&] {
                PostMessageA(list, WM_KEYDOWN, keys[k++ % 8], 1);
                return std::chrono::steady_clock::now() >= end;
            });
        });
        if (!ok) {
            state.SkipWithError("the files were not added");
            return;
        }
        Report(state, l);
    }
}

// A batch over three of the thousand rows, the answers timed until its end notice.
void BM_UiAnswerDuringBatchOfThousandRows(benchmark::State& state) {
    ThousandFiles files;
    if (!files.ok) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        Latencies l;
        bool ok = false;
        RunDialog([&](const Run& run) {
            double addMs = 0;
            if (!AddThousand(run, files, nullptr, &addMs)) return;
            run.ui.Run([&] {
                for (int i = 0; i < kRows; ++i)
                    run.dlg.GetFileList().SetCheckbox(i, COL_CHECK, i == 3 || i == 500 || i == 998);
            });
            if (!TypeIntoEdit(GetDlgItem(run.main, IDC_OUTFOLDER), (files.dir / "out").c_str())) return;
            ClickDlgItem(run.main, IDC_START);
            HWND box = nullptr;
            Probe(run.main, &l, [&] { return (box = WaitForDialog("Mission accomplished!", 0, run.main)) != nullptr; });
            ClickDlgItem(box, IDOK);
            ok = WaitUntil([&] { return !IsWindow(box); }, 10000);
        });
        if (!ok) {
            state.SkipWithError("the dialog could not be driven");
            return;
        }
        Report(state, l);
    }
}

BENCHMARK(BM_StartToFirstPaintedFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddThousandFiles)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UiAnswerScrollingThousandRows)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UiAnswerDuringBatchOfThousandRows)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Measured without a display; nothing is started for real.
    setenv("VELMORA_BACKEND", "headless", 0);
    WinTestShellRecord(TRUE);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
