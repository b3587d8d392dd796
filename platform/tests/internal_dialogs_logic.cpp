// The open-file dialog's rules apart from its window: the program's own filter text, the
// result layouts callers parse, typed names and paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "dialogs/file_logic.h"
#include "shell/spawn.h"

using namespace plat::dialogs;

namespace {

// The main dialog's filter after the framework turned '|' into NULs: tabs and a blank sit
// inside descriptions and patterns.
std::string ProgramFilter() {
    std::string f =
        "All Video Files|*.avi;*.divx;*.mpg;\t\t*.3gp;*.mkv|\t\tAVI Files (*.avi)|*.avi|"
        "\t\tQuick Time Files (*.mov, *.qt)|*.mov; *.qt|All files (*.*)|*.*||";
    for (char& c : f)
        if (c == '|') c = '\0';
    return f;
}

TEST(FileDialogFilters, PairsAreReadWithBlanksAroundPatternsIgnoredAndMatchingIgnoresCase) {
    std::string text = ProgramFilter();
    std::vector<Filter> f = ParseFilters(text.c_str());
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].description, "All Video Files");
    EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"*.avi", "*.divx", "*.mpg", "*.3gp", "*.mkv"}));
    EXPECT_EQ(f[1].description, "AVI Files (*.avi)");
    EXPECT_EQ(f[2].patterns, (std::vector<std::string>{"*.mov", "*.qt"}));
    EXPECT_TRUE(MatchesFilter(f[0], "CLIP.AVI"));
    EXPECT_TRUE(MatchesFilter(f[0], "phone.3GP"));
    EXPECT_TRUE(MatchesFilter(f[2], "movie.qt")) << "the pattern after the blank counts";
    EXPECT_FALSE(MatchesFilter(f[0], "clip.avi.txt"));
    EXPECT_FALSE(MatchesFilter(f[1], "avi"));
    EXPECT_TRUE(MatchesFilter(f[3], "README")) << "*.* also takes names without a dot";
    EXPECT_TRUE(MatchPattern("clip?.m*", "Clip1.MKV"));
    EXPECT_FALSE(MatchPattern("clip?.m*", "clip.mkv"));
    EXPECT_TRUE(MatchPattern("*a*b*c", "xxaxxbxxbxc"));
    EXPECT_TRUE(ParseFilters(nullptr).empty());
    // A description without its pattern ends the list.
    const char odd[] = "Only\0";
    EXPECT_TRUE(ParseFilters(odd).empty());
}

TEST(FileDialogResult, OneFileIsAFullPathAndSeveralAreFolderThenNames) {
    char buf[64];
    char title[16];
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buf;
    ofn.nMaxFile = sizeof buf;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    ASSERT_EQ(PackResult(&ofn, "/v", {"a.avi", "b c.mkv"}), 0u);
    EXPECT_EQ(std::string(buf, 18), std::string("/v\0a.avi\0b c.mkv\0\0", 18));
    EXPECT_EQ(ofn.nFileOffset, 3);
    EXPECT_STREQ(title, "");

    ASSERT_EQ(PackResult(&ofn, "/v/d", {"clip.final.avi"}), 0u);
    EXPECT_EQ(std::string(buf, 21), std::string("/v/d/clip.final.avi\0\0", 21));
    EXPECT_EQ(ofn.nFileOffset, 5);
    EXPECT_EQ(ofn.nFileExtension, 16);
    EXPECT_STREQ(title, "clip.final.avi");
    ofn.Flags = 0;
    ASSERT_EQ(PackResult(&ofn, "/v", {"noext"}), 0u);
    EXPECT_EQ(ofn.nFileExtension, strlen("/v/noext")) << "no extension: the terminator";
    ASSERT_EQ(PackResult(&ofn, "/", {"x"}), 0u);
    EXPECT_STREQ(buf, "/x");
}

TEST(FileDialogResult, TooSmallABufferGetsTheNeededSizeAndNothingElse) {
    char buf[16];
    memset(buf, 'z', sizeof buf);
    OPENFILENAMEA ofn = {};
    ofn.lpstrFile = buf;
    ofn.nMaxFile = sizeof buf;
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    ofn.nFileOffset = 77;
    EXPECT_EQ(PackResult(&ofn, "/videos", {"one.avi", "two.avi"}), DWORD(FNERR_BUFFERTOOSMALL));
    WORD need;
    memcpy(&need, buf, 2);
    EXPECT_EQ(need, strlen("/videos") + 1 + 8 + 8 + 1);
    EXPECT_EQ(buf[2], 'z') << "only the size is written";
    EXPECT_EQ(ofn.nFileOffset, 77);
    // Exactly enough is enough.
    ofn.nMaxFile = 16;
    EXPECT_EQ(PackResult(&ofn, "/v", {"a.avi", "b.avi"}), 0u);
}

TEST(FileDialogNames, TypedNamesAndPathsAreSplitAndResolved) {
    EXPECT_EQ(SplitTypedNames("\"a b.avi\" \"c.mkv\""), (std::vector<std::string>{"a b.avi", "c.mkv"}));
    EXPECT_EQ(SplitTypedNames("  one file.avi "), (std::vector<std::string>{"one file.avi"}));
    EXPECT_EQ(SplitTypedNames("\"x.avi\" y.avi \"unterminated"),
              (std::vector<std::string>{"x.avi", "y.avi", "unterminated"}));
    EXPECT_TRUE(SplitTypedNames("   ").empty());
    EXPECT_EQ(Normalize("..\\b/./c/", "/a/x"), "/a/b/c");
    EXPECT_EQ(Normalize("/../..", "/a"), "/");
    EXPECT_EQ(ParentOf("/a"), "/");
    EXPECT_EQ(ParentOf("/a/b"), "/a");
    EXPECT_EQ(JoinPath("/", "x"), "/x");
}

TEST(FileDialogListing, FoldersComeFirstAndFilesPassTheFilter) {
    char tmpl[] = "/tmp/velmora-list-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    for (const char* n : {"b.AVI", "a.avi", "c.txt", ".hidden.avi"}) std::ofstream(dir + "/" + n) << "x";
    mkdir((dir + "/Zeta").c_str(), 0777);
    mkdir((dir + "/alpha").c_str(), 0777);
    Filter avi{"AVI", {"*.avi"}};
    std::vector<Entry> e = ListFolder(dir, &avi, false);
    std::vector<std::string> names;
    for (const Entry& x : e) names.push_back(x.name + (x.folder ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"alpha/", "Zeta/", "a.avi", "b.AVI"}));
    EXPECT_EQ(ListFolder(dir, nullptr, true).size(), 6u);
    EXPECT_TRUE(ListFolder(dir + "/none", nullptr, false).empty());
    std::string cmd = "rm -rf '" + dir + "'";
    (void)system(cmd.c_str());
}

}  // namespace
