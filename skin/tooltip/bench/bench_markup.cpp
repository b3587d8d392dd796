// Measuring and painting a typical tooltip: a few lines with tags and a small table.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "../../core/tests/test_skindraw_canvas.h"
#include "MarkupRenderer.h"

namespace {

const char kTip[] =
    "<b>Start Convert</b><br>Converts every checked file<br>"
    "<font color=#808080>to <i>MP4</i> in the output folder</font>\n"
    "<table border=1 cellpadding=2><tr><td>Files</td><td align=right>12</td></tr>"
    "<tr><td>Size</td><td align=right><b>1.4 GB</b></td></tr></table>";

void BM_MeasureTooltip(benchmark::State& state)
{
    skindrawtest::Canvas s(400, 200, RGB(255, 255, 255));
    CSkinMarkupRenderer r;
    for (auto _ : state) benchmark::DoNotOptimize(r.MeasureMarkup(s.Dc(), kTip));
}
BENCHMARK(BM_MeasureTooltip);

void BM_MeasureAndPaintTooltip(benchmark::State& state)
{
    skindrawtest::Canvas s(400, 200, RGB(255, 255, 255));
    CSkinMarkupRenderer r;
    for (auto _ : state) {
        const SIZE size = r.MeasureMarkup(s.Dc(), kTip);
        r.PaintMarkup(s.Dc(), kTip, RECT{0, 0, size.cx, size.cy});
    }
}
BENCHMARK(BM_MeasureAndPaintTooltip);

}  // namespace

BENCHMARK_MAIN();
