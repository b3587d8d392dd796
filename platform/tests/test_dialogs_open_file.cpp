// The open-file dialog: driven by injected input (navigate, Ctrl-click several files, Open),
// and by scripted answers; the result buffer as callers parse it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs_test_support.h"
#include "commdlg.h"
#include "winplat_test_shell.h"

using namespace dlgsteps;

namespace {

enum { kList = 1120, kNameEdit = 1152, kTypeCombo = 1136, kFolderEdit = 1137, kUp = 1280 };

// The framework's filter, its '|' turned into NULs.
struct FilterText {
    explicit FilterText(std::string f) : text(std::move(f)) {
        for (char& c : text)
            if (c == '|') c = '\0';
    }
    std::string text;
};

struct Ofn {
    Ofn(HWND owner, const FilterText& filter, DWORD flags, DWORD size = 1024)
        : buf(size, 'q') {
        buf[0] = 0;
        o.lStructSize = sizeof o;
        o.hwndOwner = owner;
        o.lpstrFilter = filter.text.c_str();
        o.lpstrFile = &buf[0];
        o.nMaxFile = DWORD(buf.size());
        o.Flags = flags;
    }
    // The buffer read the way the framework's GetNextPathName reads it.
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        const char* p = buf.data();
        std::string first = p;
        p += first.size() + 1;
        if (!*p) return {first};
        while (*p) {
            out.push_back(first + "/" + p);
            p += strlen(p) + 1;
        }
        return out;
    }
    std::string buf;
    OPENFILENAMEA o = {};
};

const DWORD kAddFlags = OFN_ENABLESIZING | OFN_ENABLEINCLUDENOTIFY | OFN_EXPLORER | OFN_ALLOWMULTISELECT |
                        OFN_HIDEREADONLY;

class OpenFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        WinTestClearScripts();
        Steps().clear();
        tree.File("a.avi");
        tree.File("B.AVI");
        tree.File("c.txt");
        tree.Dir("sub");
        tree.File("sub/d.mkv");
        tree.File("sub/e.doc");
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
    FilterText filter{"Video Files|*.avi;\t\t*.mkv|Documents|*.doc|All files (*.*)|*.*||"};
};

TEST_F(OpenFileDialog, SeveralFilesAreChosenByNavigatingAndCtrlClickingWithTheFilterApplied) {
    Ofn ofn(owner, filter, kAddFlags);
    ofn.o.lpstrInitialDir = tree.root().c_str();
    std::vector<std::string> first, inside, all_types;
    std::string folder_shown, typed;
    Steps() = {
        [&](HWND dlg) {
            EXPECT_EQ(WinTestCurrentFileDialog(), dlg);
            folder_shown = Text(dlg, kFolderEdit);
            first = ListTexts(GetDlgItem(dlg, kList));
            ClickItem(GetDlgItem(dlg, kList), "sub/", false, true);
        },
        [&](HWND dlg) {
            inside = ListTexts(GetDlgItem(dlg, kList));
            ClickButton(dlg, kUp);
        },
        [&](HWND dlg) {
            // Another file type shows the files the first one hid.
            SetFocus(GetDlgItem(dlg, kTypeCombo));
            WinTestKeyPress(VK_DOWN);
            WinTestKeyPress(VK_DOWN);
        },
        [&](HWND dlg) {
            all_types = ListTexts(GetDlgItem(dlg, kList));
            SetFocus(GetDlgItem(dlg, kTypeCombo));
            WinTestKeyPress(VK_HOME);
        },
        [&](HWND dlg) {
            ClickItem(GetDlgItem(dlg, kList), "a.avi");
            ClickItem(GetDlgItem(dlg, kList), "B.AVI", true);
        },
        [&](HWND dlg) {
            typed = Text(dlg, kNameEdit);
            ClickButton(dlg, IDOK);
        },
    };
    ASSERT_TRUE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(folder_shown, tree.root());
    EXPECT_EQ(first, (std::vector<std::string>{"..", "sub/", "a.avi", "B.AVI"}));
    EXPECT_EQ(inside, (std::vector<std::string>{"..", "d.mkv"}));
    EXPECT_EQ(all_types, (std::vector<std::string>{"..", "sub/", "a.avi", "B.AVI", "c.txt"}));
    EXPECT_EQ(typed, "\"a.avi\" \"B.AVI\"");
    EXPECT_EQ(ofn.Paths(), (std::vector<std::string>{tree.root() + "/a.avi", tree.root() + "/B.AVI"}));
    EXPECT_EQ(ofn.o.nFileOffset, tree.root().size() + 1);
    EXPECT_EQ(ofn.o.nFilterIndex, 1u);
    EXPECT_EQ(WinTestCurrentFileDialog(), nullptr);
}

TEST_F(OpenFileDialog, OneFileByDoubleClickIsAFullPathAndTypedFoldersAreEntered) {
    Ofn ofn(owner, filter, kAddFlags | OFN_FILEMUSTEXIST);
    ofn.o.lpstrInitialDir = tree.root().c_str();
    ofn.o.nFilterIndex = 2;
    std::vector<std::string> docs;
    std::string up_again;
    std::vector<std::string> typed_filter;
    Steps() = {
        [&](HWND dlg) {
            // Wildcards typed as the name narrow the list.
            SetDlgItemTextA(dlg, kNameEdit, "*.DOC; *.TXT");
            ClickButton(dlg, IDOK);
        },
        [&](HWND dlg) {
            typed_filter = ListTexts(GetDlgItem(dlg, kList));
            // A folder typed in the name box is entered, not returned.
            SetDlgItemTextA(dlg, kNameEdit, "sub");
            ClickButton(dlg, IDOK);
        },
        [&](HWND dlg) {
            docs = ListTexts(GetDlgItem(dlg, kList));
            EXPECT_EQ(Text(dlg, kNameEdit), "");
            // Backspace in the list goes up; the folder is entered again by double-click. The
            // file type chosen again ends the typed patterns.
            SendDlgItemMessageA(dlg, kTypeCombo, CB_SETCURSEL, 1, 0);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kTypeCombo, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, kTypeCombo)));
            SetFocus(GetDlgItem(dlg, kList));
            WinTestKeyPress(VK_BACK);
        },
        [&](HWND dlg) {
            up_again = Text(dlg, kFolderEdit);
            ClickItem(GetDlgItem(dlg, kList), "sub/", false, true);
        },
        [&](HWND dlg) { ClickItem(GetDlgItem(dlg, kList), "e.doc", false, true); },
    };
    ASSERT_TRUE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(docs, (std::vector<std::string>{"..", "e.doc"}));
    EXPECT_EQ(up_again, tree.root());
    EXPECT_EQ(typed_filter, (std::vector<std::string>{"..", "sub/", "c.txt"}));
    EXPECT_EQ(ofn.Paths(), (std::vector<std::string>{tree.root() + "/sub/e.doc"}));
    EXPECT_STREQ(ofn.o.lpstrFile + ofn.o.nFileExtension, "doc");
    EXPECT_EQ(ofn.o.nFilterIndex, 2u);
}

TEST_F(OpenFileDialog, SaveDialogAddsTheDefaultExtensionToATypedName) {
    Ofn ofn(owner, filter, OFN_EXPLORER | OFN_PATHMUSTEXIST);
    ofn.o.lpstrInitialDir = tree.root().c_str();
    ofn.o.lpstrDefExt = "mp4";
    std::string ok_text;
    Steps() = {[&](HWND dlg) {
        ok_text = Text(dlg, IDOK);
        SetDlgItemTextA(dlg, kNameEdit, "sub/new clip");
        ClickButton(dlg, IDOK);
    }};
    ASSERT_TRUE(GetSaveFileNameA(&ofn.o));
    EXPECT_EQ(ok_text, "&Save");
    EXPECT_EQ(std::string(ofn.o.lpstrFile), tree.root() + "/sub/new clip.mp4");
}

TEST_F(OpenFileDialog, CancelAndEscapeLeaveTheBufferAlone) {
    Ofn ofn(owner, filter, kAddFlags);
    strcpy(&ofn.buf[0], "keep me");
    ofn.o.lpstrInitialDir = tree.root().c_str();
    Steps() = {[&](HWND dlg) {
        ClickItem(GetDlgItem(dlg, kList), "a.avi");
        WinTestKeyPress(VK_ESCAPE);
    }};
    EXPECT_FALSE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(CommDlgExtendedError(), 0u) << "a cancel is no error";
    EXPECT_STREQ(ofn.buf.c_str(), "keep me");

    WinTestScriptOpenFile(nullptr, nullptr);
    EXPECT_FALSE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(ofn.buf.c_str(), "keep me");
}

// The keyboard starts in the name box: a name typed at once and Enter open that file, and a
// path typed over a given name replaces it.
TEST_F(OpenFileDialog, ANameTypedAtOnceIsTheFileOpened) {
    Ofn ofn(owner, filter, kAddFlags);
    ofn.o.lpstrInitialDir = tree.root().c_str();
    // Still open after Enter: the keys went elsewhere, and the dialog is cancelled.
    auto stillOpen = [](HWND) {
        ADD_FAILURE() << "the typed name did not open the file";
        WinTestKeyPress(VK_ESCAPE);
    };
    Steps() = {[&](HWND) {
                   WinTestText("B.AVI");
                   WinTestKeyPress(VK_RETURN);
               },
               stillOpen};
    EXPECT_TRUE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(ofn.Paths(), (std::vector<std::string>{tree.root() + "/B.AVI"}));

    Ofn given(owner, filter, kAddFlags);
    strcpy(&given.buf[0], "a.avi");
    given.o.lpstrInitialDir = tree.root().c_str();
    Steps() = {[&](HWND) {
                   WinTestText((tree.root() + "/sub/d.mkv").c_str());
                   WinTestKeyPress(VK_RETURN);
               },
               stillOpen};
    EXPECT_TRUE(GetOpenFileNameA(&given.o));
    EXPECT_EQ(given.Paths(), (std::vector<std::string>{tree.root() + "/sub/d.mkv"}));
    Steps().clear();
}

// A dialog without a folder of its own opens where the last file was chosen; one that was
// cancelled leaves that folder as it was.
TEST_F(OpenFileDialog, TheNextDialogOpensInTheFolderOfTheLastFileChosen) {
    Ofn first(owner, filter, kAddFlags);
    first.o.lpstrInitialDir = tree.root().c_str();
    Steps() = {[&](HWND dlg) { ClickItem(GetDlgItem(dlg, kList), "sub/", false, true); },
               [&](HWND dlg) { ClickItem(GetDlgItem(dlg, kList), "d.mkv", false, true); }};
    ASSERT_TRUE(GetOpenFileNameA(&first.o));
    std::vector<std::string> shown;
    for (int round = 0; round < 2; ++round) {
        Ofn next(owner, filter, kAddFlags);
        Steps() = {[&](HWND dlg) {
            shown.push_back(Text(dlg, kFolderEdit));
            ClickButton(dlg, kUp);
        },
                   [&](HWND) { WinTestKeyPress(VK_ESCAPE); }};
        EXPECT_FALSE(GetOpenFileNameA(&next.o));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{tree.root() + "/sub", tree.root() + "/sub"}));
}

// More file types than the drop shows: its scroll bar, clicked below its thumb, brings the
// last ones into view, and one of them is chosen with the mouse.
TEST_F(OpenFileDialog, ALongListOfFileTypesScrollsInItsDrop) {
    std::string many;
    for (int i = 0; i < 15; ++i) many += "Type " + std::to_string(i) + "|*.t" + std::to_string(i) + "|";
    FilterText types(many + "All files (*.*)|*.*||");
    Ofn ofn(owner, types, kAddFlags);
    ofn.o.lpstrInitialDir = tree.root().c_str();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    LRESULT top = -1;
    bool bar = false;
    std::vector<std::string> shown;
    Steps() = {
        [&](HWND dlg) {
            HWND combo = GetDlgItem(dlg, kTypeCombo);
            RECT r;
            GetClientRect(combo, &r);
            WinTestClick(combo, WINTEST_LEFT, r.right / 2, r.bottom / 2);
        },
        [&](HWND dlg) {
            HWND combo = GetDlgItem(dlg, kTypeCombo);
            ASSERT_TRUE(GetComboBoxInfo(combo, &info));
            ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
            bar = (GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL) != 0;
            RECT c, w;
            GetClientRect(info.hwndList, &c);
            GetWindowRect(info.hwndList, &w);
            POINT origin{0, 0};
            ClientToScreen(info.hwndList, &origin);
            // Just above the bar's lower arrow, right of the list's items, a page at a time.
            const int bar_x = c.right + (w.right - origin.x - c.right) / 2;
            for (int i = 0; i < 3; ++i) WinTestClick(info.hwndList, WINTEST_LEFT, bar_x, c.bottom - 20);
        },
        [&](HWND dlg) {
            top = SendMessageA(info.hwndList, LB_GETTOPINDEX, 0, 0);
            const int last = int(SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0)) - 1;
            RECT item{};
            SendMessageA(info.hwndList, LB_GETITEMRECT, WPARAM(last), reinterpret_cast<LPARAM>(&item));
            WinTestClick(info.hwndList, WINTEST_LEFT, item.left + 10, (item.top + item.bottom) / 2);
        },
        [&](HWND dlg) {
            shown = ListTexts(GetDlgItem(dlg, kList));
            WinTestKeyPress(VK_ESCAPE);
        },
    };
    EXPECT_FALSE(GetOpenFileNameA(&ofn.o));
    EXPECT_TRUE(bar);
    EXPECT_GT(top, 0) << "the drop's last types never come into view";
    EXPECT_EQ(shown, (std::vector<std::string>{"..", "sub/", "a.avi", "B.AVI", "c.txt"}));
}

TEST_F(OpenFileDialog, ScriptedAnswersUseTheSameLayoutsAndATooSmallBufferFails) {
    Ofn ofn(owner, filter, kAddFlags);
    WinTestScriptOpenFile(tree.root().c_str(), "a.avi\nB.AVI");
    ASSERT_TRUE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(ofn.Paths(), (std::vector<std::string>{tree.root() + "/a.avi", tree.root() + "/B.AVI"}));
    // Files from two folders cannot be one answer.
    WinTestScriptOpenFile(tree.root().c_str(), "a.avi\nsub/d.mkv");
    EXPECT_FALSE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_INVALIDFILENAME));

    WinTestScriptOpenFile(tree.root().c_str(), "a.avi");
    ASSERT_TRUE(GetOpenFileNameA(&ofn.o));
    EXPECT_EQ(ofn.Paths(), (std::vector<std::string>{tree.root() + "/a.avi"}));

    // Twenty long names do not fit in the framework's 260 characters.
    std::string names;
    for (int i = 0; i < 20; ++i) names += "a rather long video file name " + std::to_string(i) + ".avi\n";
    Ofn small(owner, filter, kAddFlags, 260);
    WinTestScriptOpenFile(tree.root().c_str(), names.c_str());
    EXPECT_FALSE(GetOpenFileNameA(&small.o));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    WORD need;
    memcpy(&need, small.buf.data(), 2);
    EXPECT_GT(need, 260);

    // A missing file with OFN_FILEMUSTEXIST is never returned.
    Ofn must(owner, filter, kAddFlags | OFN_FILEMUSTEXIST);
    WinTestScriptOpenFile(tree.root().c_str(), "none.avi");
    EXPECT_FALSE(GetOpenFileNameA(&must.o));

    OPENFILENAMEA bad = ofn.o;
    bad.lStructSize = 10;
    EXPECT_FALSE(GetOpenFileNameA(&bad));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(CDERR_STRUCTSIZE));
}

}  // namespace
