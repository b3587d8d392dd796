// On a system without the metric-compatible families, each face gives way to the DejaVu family
// of its look. The test program's fontconfig sees the DejaVu folder only.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gdi/objects.h"
#include "gdi/text.h"
#include "windows.h"

namespace {

std::string FileOf(const char* face) {
    HFONT h = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
    std::shared_ptr<plat::gdi::Font> font = plat::gdi::Fonts().Get(h);
    std::string file = font ? plat::gdi::FaceOfFont(*font).file : "";
    DeleteObject(h);
    return file.substr(file.find_last_of('/') + 1);
}

TEST(FaceFallback, AMissingStandInGivesWayToTheDejaVuFamilyOfItsLook) {
    // Before the first font: fontconfig reads its configuration once.
    const std::string dir = testing::TempDir();
    const std::string conf = dir + "/dejavu-only.conf";
    FILE* f = std::fopen(conf.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f,
                 "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                 "<dir>/usr/share/fonts/truetype/dejavu</dir>\n<cachedir>%s/fc-cache</cachedir>\n</fontconfig>\n",
                 dir.c_str());
    std::fclose(f);
    setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    EXPECT_EQ(FileOf("Arial"), "DejaVuSans.ttf");
    EXPECT_EQ(FileOf("Times New Roman"), "DejaVuSerif.ttf");
    EXPECT_EQ(FileOf("Courier New"), "DejaVuSansMono.ttf");
    EXPECT_EQ(FileOf("Cambria"), "DejaVuSerif.ttf");
    // And the text still has its width.
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPoint32A(dc, "1280x720", 8, &s);
    EXPECT_GT(s.cx, 40);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

}  // namespace
