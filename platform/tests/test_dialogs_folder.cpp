// The folder browser: a folder chosen by injected clicks, the callback's messages in the
// platform's order, the root limit, cancel, and the folder picker's sequence of calls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs_test_support.h"
#include "shlobj.h"
#include "winplat_test_shell.h"

using namespace dlgsteps;

namespace {

enum { kTitle = 14145, kList = 14146, kPath = 14148, kUp = 14149 };

struct Seen {
    std::vector<std::string> events;  // "init", "sel <path>"
    std::string start;                // the folder the callback asks for
};

int CALLBACK Callback(HWND dlg, UINT msg, LPARAM lp, LPARAM data) {
    auto* seen = reinterpret_cast<Seen*>(data);
    if (msg == BFFM_INITIALIZED) {
        seen->events.push_back("init");
        if (!seen->start.empty())
            SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(seen->start.c_str()));
    } else if (msg == BFFM_SELCHANGED) {
        char path[MAX_PATH] = {};
        SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lp), path);
        seen->events.push_back(std::string("sel ") + path);
    }
    return 0;
}

// What the folder picker does with the browser's answer: 2 a folder, 1 no path, 0 cancelled.
int Pick(BROWSEINFOA* bi, char* out) {
    LPITEMIDLIST pidl = SHBrowseForFolderA(bi);
    if (!pidl) return 0;
    int r = SHGetPathFromIDListA(pidl, out) ? 2 : 1;
    IMalloc* m = nullptr;
    if (SHGetMalloc(&m) == S_OK) {
        m->Free(pidl);
        m->Release();
    }
    return r;
}

class FolderDialog : public ::testing::Test {
protected:
    void SetUp() override {
        WinTestClearScripts();
        Steps().clear();
        tree.Dir("one");
        tree.Dir("two");
        tree.Dir("two/deeper");
        tree.File("file.avi");
        owner = Owner();
    }
    void TearDown() override {
        EXPECT_TRUE(Steps().empty()) << "the dialog closed before every step ran";
        Steps().clear();
        DestroyWindow(owner);
        WinTestPumpUntilIdle();
    }
    TempTree tree;
    HWND owner = nullptr;
};

TEST_F(FolderDialog, AFolderIsChosenByClicksAndTheCallbackHearsEachSelection) {
    Seen seen;
    seen.start = tree.root();
    char display[MAX_PATH] = "junk";
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = "Please select output directory:";
    bi.lpfn = Callback;
    bi.lParam = reinterpret_cast<LPARAM>(&seen);
    std::string title;
    std::vector<std::string> listed, deeper;
    Steps() = {
        [&](HWND dlg) {
            title = Text(dlg, kTitle);
            listed = ListTexts(GetDlgItem(dlg, kList));
            ClickItem(GetDlgItem(dlg, kList), "two", false, true);
        },
        [&](HWND dlg) {
            deeper = ListTexts(GetDlgItem(dlg, kList));
            ClickItem(GetDlgItem(dlg, kList), "deeper");
        },
        [&](HWND dlg) { ClickButton(dlg, IDOK); },
    };
    char path[MAX_PATH] = {};
    ASSERT_EQ(Pick(&bi, path), 2);
    EXPECT_EQ(std::string(path), tree.root() + "/two/deeper");
    EXPECT_STREQ(display, "deeper");
    EXPECT_EQ(title, "Please select output directory:");
    EXPECT_EQ(listed, (std::vector<std::string>{"..", "one", "two"})) << "folders only";
    EXPECT_EQ(deeper, (std::vector<std::string>{"..", "deeper"}));
    std::vector<std::string> want = {"init", "sel " + tree.root(), "sel " + tree.root() + "/two",
                                     "sel " + tree.root() + "/two/deeper"};
    EXPECT_EQ(seen.events, want);
}

TEST_F(FolderDialog, TheRootLimitsNavigationAndCancelLeavesTheCallersBufferAlone) {
    LPITEMIDLIST root = nullptr;
    WinTestScriptFolder(tree.root().c_str());  // the scripted answer stands in for a real pick
    BROWSEINFOA pick = {};
    pick.hwndOwner = owner;
    root = SHBrowseForFolderA(&pick);
    ASSERT_NE(root, nullptr);

    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pidlRoot = root;
    bool up_enabled = true;
    std::vector<std::string> listed;
    Steps() = {[&](HWND dlg) {
        up_enabled = IsWindowEnabled(GetDlgItem(dlg, kUp));
        listed = ListTexts(GetDlgItem(dlg, kList));
        ClickButton(dlg, kUp);
        ClickButton(dlg, IDCANCEL);
    }};
    char path[MAX_PATH] = "unchanged";
    EXPECT_EQ(Pick(&bi, path), 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_FALSE(up_enabled);
    EXPECT_EQ(listed, (std::vector<std::string>{"one", "two"}));
    ILFree(root);

    // A root with no file-system place shows nothing to choose.
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    bi.pidlRoot = computer;
    EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);
    CoTaskMemFree(computer);
}

TEST_F(FolderDialog, TypedFoldersAreTakenOnlyWhenTheyExist) {
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS;
    std::string typed_missing = tree.root() + "/none";
    std::string after_missing;
    Steps() = {
        [&](HWND dlg) {
            SetDlgItemTextA(dlg, kPath, typed_missing.c_str());
            ClickButton(dlg, IDOK);
        },
        [&](HWND dlg) {
            after_missing = Text(dlg, kPath);
            std::string one = tree.root() + "\\one";
            SetDlgItemTextA(dlg, kPath, one.c_str());
            ClickButton(dlg, IDOK);
        },
    };
    char path[MAX_PATH] = {};
    ASSERT_EQ(Pick(&bi, path), 2);
    EXPECT_EQ(after_missing, typed_missing) << "the dialog stayed open";
    EXPECT_EQ(std::string(path), tree.root() + "/one");

    WinTestScriptFolder(nullptr);
    EXPECT_EQ(Pick(&bi, path), 0);
}

TEST_F(FolderDialog, TheWheelOverTheListScrollsItWhereverTheKeyboardIs) {
    tree.Dir("many");
    for (int i = 0; i < 40; ++i) tree.Dir("many/f" + std::to_string(100 + i));
    Seen seen;
    seen.start = tree.root();
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.ulFlags = BIF_EDITBOX;
    bi.lpfn = Callback;
    bi.lParam = reinterpret_cast<LPARAM>(&seen);
    // Each wheel turn is handled once the step hands the dialog back; the next step reads it.
    auto wheel = [](HWND dlg, int delta) {
        HWND list = GetDlgItem(dlg, kList);
        RECT r;
        GetClientRect(list, &r);
        WinTestWheel(list, delta, r.right / 2, r.bottom / 2);
    };
    auto top = [](HWND dlg) { return SendDlgItemMessageA(dlg, kList, LB_GETTOPINDEX, 0, 0); };
    LRESULT first = -1, down = -1, back = -1, from_edit = -1, from_button = -1;
    Steps() = {
        [&](HWND dlg) { ClickItem(GetDlgItem(dlg, kList), "many", false, true); },
        [&](HWND dlg) {
            first = top(dlg);
            wheel(dlg, -WHEEL_DELTA);
        },
        [&](HWND dlg) {
            down = top(dlg);
            wheel(dlg, WHEEL_DELTA);
        },
        [&](HWND dlg) {
            back = top(dlg);
            // The keyboard in the path field, then on a button: the list under the pointer
            // still scrolls.
            SetFocus(GetDlgItem(dlg, kPath));
            wheel(dlg, -WHEEL_DELTA);
        },
        [&](HWND dlg) {
            from_edit = top(dlg);
            SetFocus(GetDlgItem(dlg, kUp));
            wheel(dlg, -WHEEL_DELTA);
        },
        [&](HWND dlg) {
            from_button = top(dlg);
            ClickButton(dlg, IDCANCEL);
        },
    };
    char path[MAX_PATH] = {};
    EXPECT_EQ(Pick(&bi, path), 0);
    EXPECT_EQ(first, 0);
    EXPECT_GT(down, first);
    EXPECT_EQ(back, first);
    EXPECT_GT(from_edit, back);
    EXPECT_GT(from_button, from_edit);
}

}  // namespace
