// How quickly the UI thread answers while a conversion runs on the worker: another thread
// sends the main dialog messages and times each round trip (percentiles as counters), against
// the same measure with the dialog idle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "PeloranAutomation.h"
#include "PeloranDlg.h"
#include "bench_dialog.h"
#include "testmedia.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

using namespace peloran_auto;
using namespace benchdlg;

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("peloran_bench") {}
} g_app;

void BM_UiAnswerIdle(benchmark::State& state) {
    for (auto _ : state) {
        Latencies l;
        RunDialog([&](const Run& run) {
            HWND main = run.main;
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            Probe(main, &l, [&] { return std::chrono::steady_clock::now() >= end; });
        });
        Report(state, l);
    }
}

void BM_UiAnswerDuringConversion(benchmark::State& state) {
    testmedia::ScratchDir dir("peloran_bench");
    // Long enough to keep the worker busy for several seconds with H.264 at 640x360.
    if (!testmedia::Generate(testmedia::Kind::AviMpeg4, dir / "long.avi", 30.0, 640, 480, 25)) {
        state.SkipWithError("no input");
        return;
    }
    for (auto _ : state) {
        Latencies l;
        bool ok = true;
        RunDialog([&](const Run& run) {
            HWND main = run.main;
            WinTestScriptOpenFile(dir.path().c_str(), "long.avi");
            ClickDlgItem(main, IDC_ADD);
            ok = WaitUntil([&] { return ListRowCount(GetDlgItem(main, IDC_FILELIST)) == 1; }, 60000) &&
                 TypeIntoEdit(GetDlgItem(main, IDC_OUTFOLDER), (dir / "out").c_str()) &&
                 ChooseComboEntry(GetDlgItem(main, IDC_VIDEOCODEC), "h264") &&
                 ChooseComboEntry(GetDlgItem(main, IDC_FRAMESIZE), "640x360");
            ok = ok && RunBatchToItsNotice(run, &l);
        });
        if (!ok) {
            state.SkipWithError("the dialog could not be driven");
            return;
        }
        Report(state, l);
    }
}

BENCHMARK(BM_UiAnswerIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UiAnswerDuringConversion)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return BenchmarkMain(argc, argv); }
