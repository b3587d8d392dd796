// Generated tables: nesting, spans, widths, borders, spacings and backgrounds drawn from the
// input. The grid stays within its caps and the measured width covers the columns.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz_support.h"

namespace {

const char* const kAttributes[] = {"rowspan", "colspan", "width", "border", "borderstyle", "cellpadding",
                                   "cellspacing", "bgcolor", "bgeffect", "align", "valign", "bordercolor",
                                   "background"};
const char* const kValues[] = {"0", "1", "2", "3", "-1", "50%", "0%", "200%", "99999", "double", "solid",
                               "hgradient", "3vgradient", "red", "#00ff00", "center", "bottom", "", "\"x",
                               "idres:5", "file:none.bmp"};

std::string Attributes(FuzzedDataProvider& in)
{
    std::string s;
    const int n = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < n; ++i) {
        s += ' ';
        s += kAttributes[in.ConsumeIntegralInRange<size_t>(0, sizeof kAttributes / sizeof *kAttributes - 1)];
        s += '=';
        s += kValues[in.ConsumeIntegralInRange<size_t>(0, sizeof kValues / sizeof *kValues - 1)];
    }
    return s;
}

std::string Table(FuzzedDataProvider& in, int depth)
{
    std::string s = "<table" + Attributes(in) + ">";
    const int rows = in.ConsumeIntegralInRange(0, 4);
    for (int r = 0; r < rows && in.remaining_bytes(); ++r) {
        s += "<tr" + Attributes(in) + ">";
        const int cells = in.ConsumeIntegralInRange(0, 4);
        for (int c = 0; c < cells && in.remaining_bytes(); ++c) {
            s += "<td" + Attributes(in) + ">";
            const int kind = in.ConsumeIntegralInRange(0, 3);
            if (kind == 0 && depth < 12) s += Table(in, depth + 1);
            else if (kind == 1) s += in.ConsumeRandomLengthString(16);
            else s += "x<b>y</b>";
            if (in.ConsumeBool()) s += "</td>";  // cells without an end too
        }
        if (in.ConsumeBool()) s += "</tr>";
    }
    if (in.ConsumeBool()) s += "</table>";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    HDC dc = markupfuzz::SurfaceDc();
    static CSkinMarkupRenderer renderer;
    FuzzedDataProvider in(data, size);
    const std::string text = Table(in, 0) + in.ConsumeRemainingBytesAsString();
    markupfuzz::MeasureAndPaint(renderer, dc, text.c_str());
    return 0;
}
