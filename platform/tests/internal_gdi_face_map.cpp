// Which font file stands in for each of the system's face names, and what a face that is not
// installed gives way to.
#include <gtest/gtest.h>

#include <string>

#include "gdi/objects.h"
#include "gdi/text.h"
#include "windows.h"

namespace {

std::string FileOf(const char* face, int weight = FW_NORMAL, bool italic = false, BYTE pitchAndFamily = 0) {
    HFONT h = CreateFontA(-13, 0, 0, 0, weight, italic, 0, 0, ANSI_CHARSET, 0, 0, 0, pitchAndFamily, face);
    std::shared_ptr<plat::gdi::Font> font = plat::gdi::Fonts().Get(h);
    std::string file = font ? plat::gdi::FaceOfFont(*font).file : "";
    DeleteObject(h);
    return file.substr(file.find_last_of('/') + 1);
}

TEST(FaceMap, EachSystemFaceResolvesToTheFileOfItsStandIn) {
    struct Case {
        const char* face;
        int weight;
        bool italic;
        const char* file;
    };
    const Case cases[] = {
        {"Arial", FW_NORMAL, false, "LiberationSans-Regular.ttf"},
        {"arial", FW_BOLD, false, "LiberationSans-Bold.ttf"},
        {"Arial", FW_NORMAL, true, "LiberationSans-Italic.ttf"},
        {"MS Sans Serif", FW_NORMAL, false, "LiberationSans-Regular.ttf"},
        {"MS Shell Dlg", FW_NORMAL, false, "LiberationSans-Regular.ttf"},
        {"Tahoma", FW_BOLD, false, "LiberationSans-Bold.ttf"},
        {"Times New Roman", FW_NORMAL, false, "LiberationSerif-Regular.ttf"},
        {"Courier New", FW_NORMAL, false, "LiberationMono-Regular.ttf"},
        {"Calibri", FW_NORMAL, false, "Carlito-Regular.ttf"},
        {"Cambria", FW_NORMAL, false, "Caladea-Regular.ttf"},
        {"Verdana", FW_NORMAL, false, "DejaVuSans.ttf"},
        {"Segoe UI", FW_BOLD, false, "DejaVuSans-Bold.ttf"},
        {"Lucida Console", FW_NORMAL, false, "DejaVuSansMono.ttf"},
        // An installed family asked for by its own name, and one that is not installed.
        {"DejaVu Serif", FW_NORMAL, false, "DejaVuSerif.ttf"},
        {"No Such Face At All", FW_NORMAL, false, "DejaVuSans.ttf"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileOf(c.face, c.weight, c.italic), c.file) << c.face;
    // Without a name the pitch and family choose the look.
    EXPECT_EQ(FileOf("", FW_NORMAL, false, FIXED_PITCH), "LiberationMono-Regular.ttf");
    EXPECT_EQ(FileOf("", FW_NORMAL, false, FF_ROMAN), "LiberationSerif-Regular.ttf");
    EXPECT_EQ(FileOf(""), "LiberationSans-Regular.ttf");
}

}  // namespace
