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

// What the program does before its dialog's loop, up to the dialog painted once: the skin
// engine started with the program's skin, the dialog made, shown and painted.
void BM_StartToFirstPaintedFrame(benchmark::State& state) {
    for (auto _ : state) {
        {
            CPeloranDlg dlg;
            if (!OpenSkinnedMainDialog(state, dlg)) return;
            RECT dirty;
            if (::GetUpdateRect(dlg.GetSafeHwnd(), &dirty, FALSE)) {
                state.SkipWithError("the dialog was left unpainted");
                return;
            }
            state.PauseTiming();
            dlg.DestroyWindow();
            WinTestPumpUntilIdle();
        }
        StopProgramSkin();
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
    Latencies* out = during ? during : &ignored;
    Probe(run.main, out, [&] {
        // The look at the list is a message to the same thread: its answer is timed too.
        auto s0 = std::chrono::steady_clock::now();
        const int rows = ListRowCount(FileList(run));
        out->ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s0).count());
        // Over when every row is listed and the loading box has let the window have its input back.
        return (rows == kRows && IsWindowEnabled(run.main)) || std::chrono::steady_clock::now() > until;
    });
    *addMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return ListRowCount(FileList(run)) == kRows;
}

// Runs the dialog once per iteration with the thousand files added; `drive` then works it and
// times the answers, telling whether it could. Without one, the answers while the files are
// added and probed are what is timed.
using Drive = std::function<bool(const Run&, const ThousandFiles&, Latencies*)>;
void WithThousandRows(benchmark::State& state, const Drive& drive) {
    ThousandFiles files;
    if (!files.ok) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        Latencies l;
        double addMs = 0;
        bool ok = false;
        RunDialog([&](const Run& run) {
            ok = AddThousand(run, files, drive ? nullptr : &l, &addMs) && (!drive || drive(run, files, &l));
        });
        if (!ok) {
            state.SkipWithError("the dialog could not be driven");
            return;
        }
        Report(state, l);
        state.counters["add_ms"] = addMs;
        state.counters["add_per_file_ms"] = addMs / kRows;
    }
}

void BM_AddThousandFiles(benchmark::State& state) { WithThousandRows(state, nullptr); }

// The list of a thousand rows walked by keys (down, page down, end, home) from another
// thread while the answers are timed.
void BM_UiAnswerScrollingThousandRows(benchmark::State& state) {
    WithThousandRows(state, [](const Run& run, const ThousandFiles&, Latencies* l) {
        HWND list = FileList(run);
        const UINT keys[] = {VK_DOWN, VK_DOWN, VK_NEXT, VK_DOWN, VK_END, VK_UP, VK_HOME, VK_NEXT};
        int k = 0;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        Probe(run.main, l, [&] {
            PostMessageA(list, WM_KEYDOWN, keys[k++ % 8], 1);
            return std::chrono::steady_clock::now() >= end;
        });
        return true;
    });
}

// A batch over three of the thousand rows, the answers timed until its end notice.
void BM_UiAnswerDuringBatchOfThousandRows(benchmark::State& state) {
    WithThousandRows(state, [](const Run& run, const ThousandFiles& files, Latencies* l) {
        run.ui.Run([&] {
            for (int i = 0; i < kRows; ++i)
                run.dlg.GetFileList().SetCheckbox(i, COL_CHECK, i == 3 || i == 500 || i == 998);
        });
        return TypeIntoEdit(GetDlgItem(run.main, IDC_OUTFOLDER), (files.dir / "out").c_str()) &&
               RunBatchToItsNotice(run, l);
    });
}

BENCHMARK(BM_StartToFirstPaintedFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddThousandFiles)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UiAnswerScrollingThousandRows)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UiAnswerDuringBatchOfThousandRows)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return BenchmarkMain(argc, argv); }
