// Arbitrary markup text: measured and painted, then a second text painted over the records
// the first one left.
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    HDC dc = markupfuzz::SurfaceDc();
    static CSkinMarkupRenderer renderer;
    const std::string all(reinterpret_cast<const char*>(data), size);
    const std::string text = all.substr(0, all.find('\0'));
    markupfuzz::MeasureAndPaint(renderer, dc, text.c_str());
    // The rest (after a NUL) is painted against the first text's records.
    const size_t nul = all.find('\0');
    if (nul != std::string::npos) {
        const std::string second = all.substr(nul + 1);
        renderer.MeasureMarkup(dc, text.c_str());
        renderer.PaintMarkup(dc, second.c_str(), RECT{0, 0, 300, 300});
    }
    return 0;
}
