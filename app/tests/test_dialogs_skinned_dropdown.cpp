// Under the program's skin, the open-file dialog's list of file types drops as the skin's list
// with the skin's scroll bar, like every other list of the program: its combo box is made after
// the dialog is skinned, and its list must be there to be skinned with it.
#include <gtest/gtest.h>

#include <string>

#include "ListBoxSkin.h"
#include "SkinManager.h"
#include "app_test_support.h"
#include "commdlg.h"
#include "skin_looks.h"
#include "winplat_test.h"

namespace {

apptest::TestApp g_app;

const int kTypeCombo = 1136;

TEST(SkinnedOpenFileDialog, ItsFileTypesDropAsTheSkinsListWithTheSkinsScrollBar) {
    ASSERT_TRUE(skinlooks::StartProgramSkin()) << GetSkinLastError();
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 400, nullptr,
                                 nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
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
    bool combo_skinned = false, list_skinned = false, bar = false, skinned_bar = false;
    WinTestIdleScript script({[&](int, HWND dialog) {
        HWND combo = GetDlgItem(dialog, kTypeCombo);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        CSkinManager& manager = CSkinManager::Instance();
        combo_skinned = manager.FindSkinWindow(combo) != nullptr;
        list_skinned = GetComboBoxInfo(combo, &info) && manager.FindSkinWindow(info.hwndList) != nullptr;
        if (auto* list = dynamic_cast<CSkinListBox*>(manager.FindSkinWindow(info.hwndList)))
            skinned_bar = list->HasSkinnedScrollBars();
        bar = (GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL) != 0;
        WinTestKeyPress(VK_ESCAPE);
    }});
    EXPECT_FALSE(GetOpenFileNameA(&o));
    EXPECT_TRUE(combo_skinned);
    EXPECT_TRUE(bar) << "fifteen types make the drop scroll";
    EXPECT_TRUE(list_skinned) << "the drop-down list of the file types was left to the plain look";
    EXPECT_TRUE(skinned_bar);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
    skinlooks::StopProgramSkin();
}

}  // namespace
