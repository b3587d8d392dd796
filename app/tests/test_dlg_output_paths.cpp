// The output folder as a batch uses it: typed with '\' separators, relative, starting with '-',
// or chosen deeper than MAX_PATH bytes; each gets its files, batch after batch.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "Utilities.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

bool IsFolder(const std::string& p) {
    std::error_code ec;
    return std::filesystem::is_directory(p, ec);
}

class DlgOutputPaths : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        // Relative folders are taken from the current directory: the scratch folder here.
        char here[4096] = {};
        ASSERT_NE(::getcwd(here, sizeof here), nullptr);
        previousDir = here;
        ASSERT_EQ(::chdir(scratch.path().c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(::chdir(previousDir.c_str()), 0);
        DialogFixture::TearDown();
    }
    void SetOutputFolder(const std::string& folder) { ::SetWindowTextA(H(IDC_OUTFOLDER), folder.c_str()); }
    // Checks row 0 again and converts it; true when it is "Completed".
    bool ConvertFirstRow() {
        List().SetCheckbox(0, COL_CHECK, 1);
        ClickButton(dlg, IDC_START);
        EXPECT_TRUE(WaitForBatchEnd());
        return Cell(0, COL_STATUS) == "Completed";
    }
    static bool Playable(const std::string& path) {
        testmedia::Report r = testmedia::Check(path);
        return r.opened && r.decodeErrors == 0 && r.FirstOf("video");
    }
    std::string previousDir;
};

TEST(OutputFolderRule, BackslashesSeparateRelativeFoldersBecomeAbsoluteAndOneTrailingSeparatorGoes) {
    std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(std::string(MakeOutputFolder("/a\\b\\c")), "/a/b/c");
    EXPECT_EQ(std::string(MakeOutputFolder("/a/b\\")), "/a/b");
    EXPECT_EQ(std::string(MakeOutputFolder("/a/b//")), "/a/b/");
    EXPECT_EQ(std::string(MakeOutputFolder("/")), "/");
    EXPECT_EQ(std::string(MakeOutputFolder("\\")), "/");
    EXPECT_EQ(std::string(MakeOutputFolder("out")), here + "/out");
    EXPECT_EQ(std::string(MakeOutputFolder("-out")), here + "/-out");
    EXPECT_EQ(std::string(MakeOutputFolder("x\\y\\")), here + "/x/y");
    EXPECT_EQ(std::string(MakeOutputFolder("")), "");
}

TEST_F(DlgOutputPaths, AFolderTypedWithBackslashesIsTheFolderMadeAndWrittenTo) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder(scratch.path() + "\\out\\sub\\");
    ASSERT_TRUE(ConvertFirstRow());
    EXPECT_TRUE(IsFolder(scratch / "out/sub"));
    EXPECT_TRUE(Playable(scratch / "out/sub/a_new.mp4"));
    EXPECT_FALSE(IsFolder(scratch.path() + "\\out\\sub"));
}

TEST_F(DlgOutputPaths, ARelativeFolderIsWrittenAgainByTheNextBatch) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder("relative/out");
    ASSERT_TRUE(ConvertFirstRow());
    ASSERT_TRUE(Playable(scratch / "relative/out/a_new.mp4"));
    // The second batch replaces its own earlier output, as it does in an absolute folder.
    ASSERT_EQ(::truncate((scratch / "relative/out/a_new.mp4").c_str(), 10), 0);
    EXPECT_TRUE(ConvertFirstRow());
    EXPECT_TRUE(Playable(scratch / "relative/out/a_new.mp4"));
}

TEST_F(DlgOutputPaths, AFolderStartingWithADashIsAFolderNotAnOption) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder("-out");
    ASSERT_TRUE(ConvertFirstRow());
    EXPECT_TRUE(Playable(scratch / "-out/a_new.mp4"));
}

TEST_F(DlgOutputPaths, AChosenFolderDeeperThanMaxPathIsShownAndUsed) {
    Media("a.avi");
    AddFiles("a.avi");
    std::string deep = scratch.path();
    while (deep.size() <= MAX_PATH + 20) deep += "/a-rather-long-folder-name";
    std::error_code ec;
    ASSERT_TRUE(std::filesystem::create_directories(deep, ec)) << ec.message();
    WinTestScriptFolder((deep + "/").c_str());
    ClickButton(dlg, IDC_BROWSE);
    ASSERT_EQ(WindowText(H(IDC_OUTFOLDER)), deep);
    ASSERT_TRUE(ConvertFirstRow());
    EXPECT_TRUE(Playable(deep + "/a_new.mp4"));
}

}  // namespace
