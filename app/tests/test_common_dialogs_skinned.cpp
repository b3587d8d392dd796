// The open-file and folder dialogs under the program's skin: the list of file types drops as
// the skin's list with the skin's scroll bar, like every other list of the program (its combo
// box is made after the dialog is skinned, and its list must be there to be skinned with it);
// and both dialogs keep the sizing frame their creation asks for, to the last pixel of their
// corner, the open-file dialog's file list growing with it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ListBoxSkin.h"
#include "SkinManager.h"
#include "app_test_support.h"
#include "commdlg.h"
#include "shlobj.h"
#include "skin_looks.h"
#include "winplat_test.h"

namespace {

apptest::TestApp g_app;

const int kFileList = 1120, kTypeCombo = 1136;

class SkinnedCommonDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(skinlooks::StartProgramSkin()) << GetSkinLastError();
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 400, nullptr,
                                nullptr, nullptr, nullptr);
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DestroyWindow(owner);
        WinTestPumpUntilIdle();
        skinlooks::StopProgramSkin();
    }
    // Opens the open-file dialog with fifteen file types and runs `look` on it once it is idle.
    void OpenFile(const std::function<void(HWND)>& look) {
        std::string types;
        for (int i = 0; i < 15; ++i) types += "Type " + std::to_string(i) + '\0' + "*.t" + std::to_string(i) + '\0';
        types += '\0';
        char buf[1024] = "";
        OPENFILENAMEA o{};
        o.lStructSize = sizeof o;
        o.hwndOwner = owner;
        o.lpstrFilter = types.c_str();
        o.lpstrFile = buf;
        o.nMaxFile = sizeof buf;
        o.Flags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_HIDEREADONLY;
        bool looked = false;
        WinTestIdleScript script({[&](int, HWND dialog) {
            look(dialog);
            looked = true;
            WinTestKeyPress(VK_ESCAPE);
        }});
        EXPECT_FALSE(GetOpenFileNameA(&o));
        EXPECT_TRUE(looked);
    }
    // What the frame answers at its lower right corner's last pixel and just inside it.
    static void ExpectSizingCorner(HWND dialog) {
        RECT w;
        GetWindowRect(dialog, &w);
        EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(w.right - 1, w.bottom - 1)), HTBOTTOMRIGHT);
        EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(w.right - 1, (w.top + w.bottom) / 2)), HTRIGHT);
        EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(w.right - 40, w.bottom - 40)), HTCLIENT);
    }
    HWND owner = nullptr;
};

TEST_F(SkinnedCommonDialog, TheFileTypesDropAsTheSkinsListWithTheSkinsScrollBar) {
    bool combo_skinned = false, list_skinned = false, bar = false, skinned_bar = false;
    OpenFile([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, kTypeCombo);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        CSkinManager& manager = CSkinManager::Instance();
        combo_skinned = manager.FindSkinWindow(combo) != nullptr;
        list_skinned = GetComboBoxInfo(combo, &info) && manager.FindSkinWindow(info.hwndList) != nullptr;
        if (auto* list = dynamic_cast<CSkinListBox*>(manager.FindSkinWindow(info.hwndList)))
            skinned_bar = list->HasSkinnedScrollBars();
        bar = (GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL) != 0;
    });
    EXPECT_TRUE(combo_skinned);
    EXPECT_TRUE(bar) << "fifteen types make the drop scroll";
    EXPECT_TRUE(list_skinned) << "the drop-down list of the file types was left to the plain look";
    EXPECT_TRUE(skinned_bar);
}

TEST_F(SkinnedCommonDialog, TheOpenFileDialogIsSizedByItsFrameAndItsListGrows) {
    RECT before{}, after{};
    OpenFile([&](HWND dialog) {
        ExpectSizingCorner(dialog);
        GetWindowRect(GetDlgItem(dialog, kFileList), &before);
        RECT w;
        GetWindowRect(dialog, &w);
        SetWindowPos(dialog, nullptr, 0, 0, w.right - w.left + 80, w.bottom - w.top + 60,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(GetDlgItem(dialog, kFileList), &after);
    });
    EXPECT_EQ(after.right - after.left, before.right - before.left + 80);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 60);
}

TEST_F(SkinnedCommonDialog, TheFolderDialogIsSizedByItsFrame) {
    char name[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = name;
    bool looked = false;
    WinTestIdleScript script({[&](int, HWND dialog) {
        ExpectSizingCorner(dialog);
        looked = true;
        WinTestKeyPress(VK_ESCAPE);
    }});
    EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);
    EXPECT_TRUE(looked);
}

}  // namespace
