// Where the open-file and folder dialogs open, and how the open-file dialog resizes: centred
// over the window that opened them; the open-file dialog's frame is a sizing one to its
// corner's last pixel, and its file list grows with it.
#include <gtest/gtest.h>

#include "commdlg.h"
#include "dialogs_test_support.h"
#include "shlobj.h"

using namespace dlgsteps;

namespace {

const int kFileList = 1120;

class DialogPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        Steps().clear();
        owner = Owner();
        SetWindowPos(owner, nullptr, 220, 140, 620, 480, SWP_NOZORDER);
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        EXPECT_TRUE(Steps().empty()) << "the dialog closed before every step ran";
        Steps().clear();
        DestroyWindow(owner);
        WinTestPumpUntilIdle();
    }
    // How far the dialog's centre is from its owner's, each way.
    void ExpectCentred(HWND dlg) {
        RECT d, o;
        GetWindowRect(dlg, &d);
        GetWindowRect(owner, &o);
        EXPECT_LE(std::abs((d.left + d.right) - (o.left + o.right)), 2) << d.left << " " << d.right;
        EXPECT_LE(std::abs((d.top + d.bottom) - (o.top + o.bottom)), 2) << d.top << " " << d.bottom;
    }
    TempTree tree;
    HWND owner = nullptr;
};

TEST_F(DialogPlacement, TheOpenFileDialogOpensCentredOverItsOwnerAndResizesWithItsList) {
    char buf[1024] = "";
    OPENFILENAMEA o{};
    o.lStructSize = sizeof o;
    o.hwndOwner = owner;
    o.lpstrFilter = "All files\0*.*\0\0";
    o.lpstrFile = buf;
    o.nMaxFile = sizeof buf;
    o.lpstrInitialDir = tree.root().c_str();
    o.Flags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    LRESULT corner = 0, inside = 0;
    RECT list_before{}, list_after{};
    Steps() = {
        [&](HWND dlg) {
            ExpectCentred(dlg);
            RECT w;
            GetWindowRect(dlg, &w);
            corner = SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(w.right - 1, w.bottom - 1));
            inside = SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(w.right - 12, w.bottom - 12));
            GetWindowRect(GetDlgItem(dlg, kFileList), &list_before);
            // 80 wider and 60 taller, as a drag of that corner makes it.
            SetWindowPos(dlg, nullptr, 0, 0, w.right - w.left + 80, w.bottom - w.top + 60,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        },
        [&](HWND dlg) {
            GetWindowRect(GetDlgItem(dlg, kFileList), &list_after);
            WinTestKeyPress(VK_ESCAPE);
        },
    };
    EXPECT_FALSE(GetOpenFileNameA(&o));
    EXPECT_EQ(corner, HTBOTTOMRIGHT);
    EXPECT_NE(inside, HTBOTTOMRIGHT);
    EXPECT_EQ(list_after.right - list_after.left, list_before.right - list_before.left + 80);
    EXPECT_EQ(list_after.bottom - list_after.top, list_before.bottom - list_before.top + 60);
}

TEST_F(DialogPlacement, TheFolderDialogOpensCentredOverItsOwner) {
    char name[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = name;
    bi.lpszTitle = "Choose";
    Steps() = {
        [&](HWND dlg) {
            ExpectCentred(dlg);
            WinTestKeyPress(VK_ESCAPE);
        },
    };
    EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);
}

}  // namespace
