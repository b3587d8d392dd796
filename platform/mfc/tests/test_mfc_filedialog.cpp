// The framework's file dialog over the layer's open-file dialog, answered by test scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afxdlgs.h"
#include "winplat_test_shell.h"

namespace {

const DWORD kFlags = OFN_ENABLESIZING | OFN_ENABLEINCLUDENOTIFY | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;

class FileDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ::WinTestClearScripts();
    }
    void TearDown() override {
        ::WinTestClearScripts();
    }
    static std::vector<std::string> Paths(const CFileDialog& d) {
        std::vector<std::string> out;
        for (POSITION p = d.GetStartPosition(); p;) out.push_back(std::string(d.GetNextPathName(p)));
        return out;
    }
};

TEST_F(FileDialogTest, MultiSelectGivesEveryChosenPathInOrder) {
    ::WinTestScriptOpenFile("/media/clips", "a.avi\nb.mkv");
    CFileDialog d(TRUE, nullptr, nullptr, kFlags, "Video|*.avi;*.mkv|All files (*.*)|*.*||");
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(Paths(d), (std::vector<std::string>{"/media/clips/a.avi", "/media/clips/b.mkv"}));
}

TEST_F(FileDialogTest, OneChoiceIsOnePath) {
    ::WinTestScriptOpenFile("/media/clips", "only.avi");
    CFileDialog d(TRUE, nullptr, nullptr, kFlags, "All files (*.*)|*.*||");
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(Paths(d), (std::vector<std::string>{"/media/clips/only.avi"}));
    EXPECT_EQ(d.GetPathName(), "/media/clips/only.avi");
}

TEST_F(FileDialogTest, CancelAndSelectionsTooLongForTheBufferAnswerCancel) {
    ::WinTestScriptOpenFile("/media/clips", nullptr);
    CFileDialog cancelled(TRUE, nullptr, nullptr, kFlags, "All files (*.*)|*.*||");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    // 30 names of 20 characters do not fit the default 260-character buffer.
    std::string names;
    for (int i = 0; i < 30; ++i) names += (i ? "\n" : "") + std::string("clip_number_") + std::to_string(1000 + i) + ".avi";
    ::WinTestScriptOpenFile("/media/clips", names.c_str());
    CFileDialog too_long(TRUE, nullptr, nullptr, kFlags, "All files (*.*)|*.*||");
    EXPECT_EQ(too_long.DoModal(), IDCANCEL);
    EXPECT_EQ(::CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
}

}  // namespace
