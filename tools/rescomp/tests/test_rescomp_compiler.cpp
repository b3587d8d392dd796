// The resource compiler's diagnostics and encodings.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "rescomp.h"

namespace {

std::string FirstError(const std::string& text) {
    rescomp::Compiler c;
    if (c.AddText(text, "t.res.txt") && c.Finish()) return "";
    return c.errors().empty() ? "?" : c.errors()[0].Text();
}

TEST(RescompDiagnostics, ErrorsNameFileAndLine) {
    EXPECT_EQ(FirstError("STRING 1 \"a\"\nBOGUS 2\n"), "t.res.txt:2: unknown statement 'BOGUS'");
    EXPECT_EQ(FirstError("STRING 1 \"open\n"), "t.res.txt:1: unterminated string");
    EXPECT_EQ(FirstError("MENU 5\n  ITEM \"a\" 1\n"), "t.res.txt:1: block has no END");
    EXPECT_EQ(FirstError("DIALOG 1 0 0 10 10\n  PUSHBUTTON \"x\" 1 0 0 10\nEND\n"), "t.res.txt:2: expected height");
    EXPECT_EQ(FirstError("DIALOG 1 0 0 10 10\n  LTEXT \"x\" 1 0 0 1 1 WS_BOGUS\nEND\n"),
              "t.res.txt:2: expected a style");
    EXPECT_EQ(FirstError("BITMAP 1 4 4\n  FILL none\nEND\n"),
              "t.res.txt:2: bitmaps have no transparency; 'none' is for icons");
    EXPECT_EQ(FirstError("BITMAP 1 4 4\n  BOX 0 0 1 1 #12345\nEND\n"), "t.res.txt:2: bad colour '#12345' (#RRGGBB)");
    EXPECT_EQ(FirstError("STRING 1 \"\\q\"\n"), "t.res.txt:1: unknown escape \\q");
    EXPECT_EQ(FirstError("STRING 70000 \"x\"\n"), "t.res.txt:1: string id out of range 0..65535");
    EXPECT_EQ(FirstError("STRING 1 \"\xff\"\n"), "t.res.txt:1: text is not valid UTF-8");
    EXPECT_EQ(FirstError("MENU 5\n  POPUP \"p\"\n  END\nEND\n"), "t.res.txt:2: a popup needs at least one item");
}

TEST(RescompClips, AClipIsReadBesideItsResourceFileAndMustBeAnAviFile) {
    char dir[] = "/tmp/rescomp-clip-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string folder = dir;
    const std::string clip = std::string("RIFF\x04\0\0\0AVI ", 12);
    std::ofstream(folder + "/a.avi", std::ios::binary) << clip;
    std::ofstream(folder + "/not.avi", std::ios::binary) << "RIFF\x04\0\0\0WAVE";
    std::ofstream(folder + "/r.res.txt") << "AVI 7 \"a.avi\"\n";
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddFile(folder + "/r.res.txt"));
    ASSERT_TRUE(c.Finish());
    ASSERT_EQ(c.resources().size(), 1u);
    const rescomp::Resource& r = c.resources()[0];
    EXPECT_EQ(r.type_name, "AVI");
    EXPECT_EQ(r.name_id, 7);
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), clip);
    EXPECT_EQ(c.inputs(), (std::vector<std::string>{folder + "/a.avi"}));

    EXPECT_EQ(FirstError("AVI 8 \"" + folder + "/not.avi\"\n"), "t.res.txt:1: '" + folder + "/not.avi' is not an AVI file");
    EXPECT_EQ(FirstError("AVI 9 \"" + folder + "/gone.avi\"\n"), "t.res.txt:1: cannot read the clip '" + folder + "/gone.avi'");
    EXPECT_EQ(FirstError("AVI 9\n"), "t.res.txt:1: expected the clip's file name in quotes");
    for (const char* f : {"/a.avi", "/not.avi", "/r.res.txt"}) std::remove((folder + f).c_str());
    rmdir(dir);
}

TEST(RescompDiagnostics, ByteOrderMarkAndWindowsLineEndsAreAccepted) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("\xEF\xBB\xBFSTRING 1 \"a\"\r\nSTRING 2 \"b\" // note\r\n", "w.res.txt"));
    ASSERT_TRUE(c.Finish());
    ASSERT_EQ(c.resources().size(), 1u);
    EXPECT_EQ(c.resources()[0].data.size(), 2u * 16 + 2 * 2);  // 16 lengths plus "a" and "b"
}

TEST(RescompDiagnostics, DuplicatesAreRefusedAcrossFiles) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("STRING 7 \"a\"\nBITMAP 3 1 1\n  FILL #000000\nEND\n", "a.res.txt"));
    ASSERT_TRUE(c.AddText("STRING 7 \"b\"\nBITMAP 3 2 2\n  FILL #000000\nEND\n", "b.res.txt"));
    EXPECT_FALSE(c.Finish());
    ASSERT_EQ(c.errors().size(), 2u);
    EXPECT_EQ(c.errors()[0].Text(), "b.res.txt:1: string 7 already defined at a.res.txt:1");
    EXPECT_EQ(c.errors()[1].Text(), "b.res.txt:2: resource already defined at a.res.txt:2");
}

TEST(RescompEncoding, IconImagesGetIdsUniqueAcrossFilesAndGroupsListThem) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("ICON 1 16 32\n  FILL #FF0000\nEND\n", "a"));
    ASSERT_TRUE(c.AddText("ICON 2 16\n  FILL #00FF00\nEND\n", "b"));
    ASSERT_TRUE(c.Finish());
    std::vector<uint16_t> image_ids;
    for (const auto& r : c.resources())
        if (r.type_id == 3) image_ids.push_back(r.name_id);
    EXPECT_EQ(image_ids, (std::vector<uint16_t>{1, 2, 3}));
    const auto& group = c.resources()[2];  // group 1 follows its two images
    ASSERT_EQ(group.type_id, 14);
    ASSERT_EQ(group.data.size(), 6u + 2 * 14);
    EXPECT_EQ(group.data[4], 2);       // two entries
    EXPECT_EQ(group.data[6], 16);      // first entry 16 px
    EXPECT_EQ(group.data[6 + 14], 32);  // second 32 px
    EXPECT_EQ(group.data[6 + 14 + 12], 2);  // its image id
}

TEST(RescompEncoding, StringBlocksHoldSixteenLengthPrefixedEntries) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("STRING 17 \"ab\"\nSTRING 31 \"\xc3\xa9\"\n", "s"));
    ASSERT_TRUE(c.Finish());
    ASSERT_EQ(c.resources().size(), 1u);
    const auto& r = c.resources()[0];
    EXPECT_EQ(r.type_id, 6);
    EXPECT_EQ(r.name_id, 2);  // 17 / 16 + 1
    // entry 1 "ab", entries 2..14 empty, entry 15 one UTF-16 unit.
    std::vector<uint8_t> want = {0, 0, 2, 0, 'a', 0, 'b', 0};
    for (int i = 2; i < 15; ++i) want.insert(want.end(), {0, 0});
    want.insert(want.end(), {1, 0, 0xE9, 0});
    EXPECT_EQ(r.data, want);
}

TEST(RescompEncoding, GeneratedSourceRegistersFromAPrioritisedConstructor) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("RCDATA \"na\\\"me\" \"xy\"\n", "s"));
    ASSERT_TRUE(c.Finish());
    std::string src = rescomp::GenerateSource(c.resources(), "s");
    EXPECT_NE(src.find("__attribute__((constructor(110)))"), std::string::npos);
    EXPECT_NE(src.find("PlatRegisterResources(kEntries, 1)"), std::string::npos);
    EXPECT_NE(src.find("\"NA\\\"ME\""), std::string::npos);  // name quoted and upper-cased
    EXPECT_NE(src.find(" 120, 121,"), std::string::npos);
}

TEST(RescompDrawing, ScaledIconShapesKeepTheirProportions) {
    rescomp::Compiler c;
    ASSERT_TRUE(c.AddText("ICON 1 10 20\n  FILL none\n  BOX 0 0 5 10 #0000FF\n  POLYGON #FF0000 5 0 10 0 10 10\nEND\n", "a"));
    ASSERT_TRUE(c.Finish());
    const auto& img20 = c.resources()[1];
    ASSERT_EQ(img20.type_id, 3);
    auto px = [&](int x, int y) {  // 20x20 bottom-up BGRA after a 40-byte header
        const uint8_t* p = img20.data.data() + 40 + (19 - y) * 80 + x * 4;
        return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    EXPECT_EQ(px(9, 19), 0xFF0000FFu);  // box covers the left half
    EXPECT_EQ(px(10, 19), 0u);          // under the triangle's hypotenuse: transparent
    EXPECT_EQ(px(19, 1), 0xFFFF0000u);  // upper-right triangle
    EXPECT_EQ(px(11, 15), 0u);
}

}  // namespace
