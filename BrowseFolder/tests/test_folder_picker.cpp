// The folder picker against the platform's folder browser: scripted answers, a pick by
// injected clicks, cancel, an item without a usable path, and the flags it passes on.
#include <gtest/gtest.h>

#include <string>

#include "FolderPicker.h"
#include "dialogs_test_support.h"
#include "winplat_test_shell.h"

using namespace dlgsteps;

namespace {

enum { kTitle = 14145, kList = 14146, kPath = 14148 };

class FolderPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WinTestClearScripts();
        Steps().clear();
        tree.Dir("one");
        tree.Dir("two");
        owner = Owner();
    }
    void TearDown() override {
        EXPECT_TRUE(Steps().empty()) << "the dialog closed before every step ran";
        Steps().clear();
        WinTestClearScripts();
        DestroyWindow(owner);
        WinTestPumpUntilIdle();
    }
    TempTree tree;
    HWND owner = nullptr;
};

TEST_F(FolderPickerTest, ChosenFolderIsWrittenAndCancelLeavesTheBufferAlone) {
    CFolderPicker picker;
    picker.SetTitle("Please select output directory:");

    std::string want = tree.root() + "/two";
    WinTestScriptFolder(want.c_str());
    char path[MAX_PATH] = "previous";
    EXPECT_EQ(picker.Show(owner, path), 2);
    EXPECT_EQ(std::string(path), want);
    EXPECT_STREQ(picker.GetDisplayName(), "two");

    WinTestScriptFolder(nullptr);
    EXPECT_EQ(picker.Show(owner, path), 0);
    EXPECT_EQ(std::string(path), want) << "cancel must not touch the caller's text";

    // Cancelled by the user in the shown dialog, too.
    Steps() = {[&](HWND dlg) { ClickButton(dlg, IDCANCEL); }};
    char untouched[MAX_PATH] = "untouched";
    EXPECT_EQ(picker.Show(owner, untouched), 0);
    EXPECT_STREQ(untouched, "untouched");
}

TEST_F(FolderPickerTest, AFolderPickedByClicksShowsTheTitleAndComesBack) {
    CFolderPicker picker;
    picker.SetTitle("Please select output directory:");
    std::string shown_title;
    std::string start = tree.root();
    Steps() = {
        [&](HWND dlg) {
            shown_title = Text(dlg, kTitle);
            // Go to the temporary tree first by typing it, then pick "one" by a click.
            SetDlgItemTextA(dlg, kPath, start.c_str());
            SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
        },
        [&](HWND dlg) { ClickItem(GetDlgItem(dlg, kList), "one"); },
        [&](HWND dlg) { ClickButton(dlg, IDOK); },
    };
    char path[MAX_PATH] = {};
    ASSERT_EQ(picker.Show(owner, path), 2);
    EXPECT_EQ(std::string(path), tree.root() + "/one");
    EXPECT_EQ(shown_title, "Please select output directory:");
}

TEST_F(FolderPickerTest, AnItemWithoutAUsableFileSystemPathGivesOne) {
    // The platform's stand-in for a virtual item: a place whose path cannot be written into a
    // MAX_PATH buffer has no file-system path for the caller.
    std::string deep = "/" + std::string(MAX_PATH + 20, 'v');
    WinTestScriptFolder(deep.c_str());
    CFolderPicker picker;
    char path[MAX_PATH] = "kept";
    EXPECT_EQ(picker.Show(owner, path), 1);
    EXPECT_STREQ(path, "kept");
}

TEST_F(FolderPickerTest, AFolderDeeperThanMaxPathComesBackWholeAsAString) {
    std::string deep = tree.root();
    while (deep.size() <= MAX_PATH + 20) {
        deep += "/deeper-and-deeper";
        tree.Dir(deep.substr(tree.root().size() + 1));
    }
    WinTestScriptFolder(deep.c_str());
    CFolderPicker picker;
    std::string path = "kept";
    EXPECT_EQ(picker.Show(owner, path), 2);
    EXPECT_EQ(path, deep);
    // Into a MAX_PATH buffer it does not fit: refused there as before, the buffer untouched.
    WinTestScriptFolder(deep.c_str());
    char buffer[MAX_PATH] = "kept";
    EXPECT_EQ(picker.Show(owner, buffer), 1);
    EXPECT_STREQ(buffer, "kept");
    // Cancel leaves the string alone too.
    WinTestScriptFolder(nullptr);
    EXPECT_EQ(picker.Show(owner, path), 0);
    EXPECT_EQ(path, deep);
}

TEST(FolderPickerState, FlagsAndTitle) {
    CFolderPicker picker;
    EXPECT_EQ(picker.GetStyle(), 0u);
    EXPECT_EQ(picker.ModifyStyle(BIF_RETURNONLYFSDIRS | BIF_EDITBOX, 0), UINT(BIF_RETURNONLYFSDIRS | BIF_EDITBOX));
    EXPECT_EQ(picker.ModifyStyle(BIF_STATUSTEXT, BIF_EDITBOX), UINT(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT));
    // Removing and adding the same bit leaves it set: the removal happens first.
    EXPECT_EQ(picker.ModifyStyle(BIF_STATUSTEXT, BIF_STATUSTEXT), UINT(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT));
    EXPECT_EQ(picker.GetStyle(), UINT(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT));

    std::string longer(2 * MAX_PATH, 't');
    picker.SetTitle(longer.c_str());
    EXPECT_EQ(std::string(picker.GetTitle()), longer.substr(0, MAX_PATH - 1)) << "cut, not overrun";
}

}  // namespace
