// Arbitrary style sheets, then a text that uses every selector of the default sheet and a few
// classes. Parsing ends, keys are lower case, and parsing twice gives the same rules.
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    HDC dc = markupfuzz::SurfaceDc();
    const std::string sheet(reinterpret_cast<const char*>(data), size);
    const std::string text = sheet.substr(0, sheet.find('\0'));
    CSkinMarkupRenderer r;
    r.SetStyleSheet(text.c_str());
    for (const auto& rule : r.GetStyleSheet().Rules())
        markupfuzz::Check(ToLowerAscii(rule.first) == rule.first, "selector not lower case");
    CMarkupStyleSheet again;
    again.Parse(text.c_str());
    markupfuzz::Check(again.Rules() == r.GetStyleSheet().Rules(), "second parse differs");
    markupfuzz::MeasureAndPaint(
        r, dc,
        "<h1>a</h1><h2>b</h2><h3>c</h3><h4>d</h4><h5>e</h5><h6>f</h6><pre>g</pre><code>h</code>"
        "<a href=x>i</a><sub>j</sub><sup>k</sup><big>l</big><small>m</small><span class=cpp-comment>n</span>"
        "<span class=a>o</span><hr><table><tr><td>p</td></tr></table>");
    return 0;
}
