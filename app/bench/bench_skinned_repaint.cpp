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
#include "winplat_test.h"

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("peloran_repaint_bench") {}
} g_app;

std::string ProgramFolder() {
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir(exe, n > 0 ? size_t(n) : 0);
    return dir.substr(0, dir.rfind('/') + 1);
}

void BM_SkinnedMainDialogRepaint(benchmark::State& state) {
    InstallSkinners();
    if (!InitSkinLibrary(GetModuleHandleA(nullptr)) ||
        !LoadSkinFile((ProgramFolder() + "z-arud.qvk").c_str())) {
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
        WinTestActivate(dlg.GetSafeHwnd());
        WinTestPumpUntilIdle();
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
    SetDialogSkin(nullptr);
    ExitSkinLibrary();
}

BENCHMARK(BM_SkinnedMainDialogRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Measured on the headless backend: the program's own painting, no display in the way.
    setenv("VELMORA_BACKEND", "headless", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
