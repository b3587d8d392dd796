// What one full repaint of the main dialog costs with the program's own skin: the frame, the
// dialog's background and every skinned control, painted at once.
#include <benchmark/benchmark.h>

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "resource.h"
#include "bench_dialog.h"
#include "winplat_test.h"

using namespace benchdlg;

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("peloran_repaint_bench") {}
} g_app;

void BM_SkinnedMainDialogRepaint(benchmark::State& state) {
    {
        CPeloranDlg dlg;
        if (!OpenSkinnedMainDialog(state, dlg)) return;
        RECT wr;
        ::GetWindowRect(dlg.GetSafeHwnd(), &wr);
        for (auto _ : state) {
            RedrawWindow(dlg.GetSafeHwnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        state.counters["pixels"] = double((wr.right - wr.left) * (wr.bottom - wr.top));
        dlg.DestroyWindow();
        WinTestPumpUntilIdle();
    }
    StopProgramSkin();
}

BENCHMARK(BM_SkinnedMainDialogRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return BenchmarkMain(argc, argv); }
