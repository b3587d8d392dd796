// The engine as the program drives it: the default skin beside the program, "Dialog" as the
// dialog skin so that every new dialog is skinned on every started thread, skins removed from
// single windows, and everything released by the last shut-down.
#include <cstring>

#include "SkinManager.h"
#include "SkinWindow.h"
#include "test_engine_support.h"
#include "windlg.h"
#include "winplat_test.h"

using namespace enginetest;

namespace {

// A dialog template in memory: a captioned dialog with one push button.
class DialogTemplate {
public:
    DialogTemplate() {
        Put<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
        Put<DWORD>(0);
        Put<WORD>(1);  // one item
        for (short v : {10, 10, 160, 90}) Put<short>(v);
        Put<WORD>(0);  // menu
        Put<WORD>(0);  // class
        Str("Skinned");
        while (buf_.size() % 4) buf_.push_back(0);
        Put<DWORD>(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
        Put<DWORD>(0);
        for (short v : {10, 60, 50, 14}) Put<short>(v);
        Put<WORD>(IDOK);
        Put<WORD>(0xFFFF);
        Put<WORD>(0x0080);  // Button
        Str("OK");
        Put<WORD>(0);
        while (buf_.size() % 4) buf_.push_back(0);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }

private:
    template <class T>
    void Put(T v) {
        const size_t at = buf_.size();
        buf_.resize(at + sizeof(T));
        memcpy(&buf_[at], &v, sizeof(T));
    }
    void Str(const char* s) {
        for (; *s; ++s) Put<WORD>(WORD(static_cast<unsigned char>(*s)));
        Put<WORD>(0);
    }
    std::vector<unsigned char> buf_;
};

INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND NewDialog() {
    static const DialogTemplate t;
    return CreateDialogIndirectParamA(Instance(), t.Get(), nullptr, &DialogProc, 0);
}

bool Skinned(HWND hwnd) { return CSkinManager::Instance().FindSkinWindow(hwnd) != nullptr; }

class Skinning : public EngineFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitSkinLibrary(Instance()));
        // The default skin lies beside the programs, where the tests run.
        ASSERT_TRUE(LoadSkinFile("z-arud.qvk")) << "error " << GetSkinLastError();
        EXPECT_EQ(GetSkinLastError(), 0);
    }
};

TEST_F(Skinning, NewDialogsAreSkinnedWhileTheDialogSkinIsSet) {
    HWND before = NewDialog();
    ASSERT_TRUE(before);
    EXPECT_FALSE(Skinned(before));

    ASSERT_TRUE(SetDialogSkin("Dialog"));
    HWND dialog = NewDialog();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Skinned(dialog));
    EXPECT_STREQ(CSkinManager::Instance().FindSkinWindow(dialog)->GetObjectName(), "Dialog");
    WinTestPumpUntilIdle();

    // The skin of a single window takes names and menu parameters.
    EXPECT_TRUE(SetWindowSkinName(dialog, "Main"));
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(dialog)->GetName(), "Main");
    EXPECT_TRUE(SetWindowMenuParams(dialog, 1, 2, 3, 4, 5));
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(dialog)->GetMenuParams()[2], 3u);
    EXPECT_EQ(GetSkinWindowMenu(dialog), nullptr);  // a dialog without a menu

    // Removing a window's skin leaves the window; a second removal finds nothing.
    EXPECT_TRUE(RemoveWindowSkin(dialog));
    EXPECT_FALSE(Skinned(dialog));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(RemoveWindowSkin(dialog));
    SkinEngine::SetThreadError(0);
    EXPECT_FALSE(SetWindowSkinName(dialog, "Main"));
    EXPECT_EQ(GetSkinLastError(), 8);

    // One dialog on request while dialogs are not skinned automatically.
    ASSERT_TRUE(ClearDialogSkin());
    HWND after = NewDialog();
    EXPECT_FALSE(Skinned(after));
    EXPECT_TRUE(SetSingleDialogSkin(after, "Dialog"));
    EXPECT_TRUE(Skinned(after));
    EXPECT_FALSE(SetSingleDialogSkin(after, "Dialog"));  // already skinned

    for (HWND h : {before, dialog, after}) DestroyWindow(h);
    WinTestPumpUntilIdle();
}

TEST_F(Skinning, TheWorkerSkinsItsOwnDialogsUntilItsShutDown) {
    ASSERT_TRUE(SetDialogSkin("Dialog"));
    OnThread([] {
        ASSERT_TRUE(InitSkinLibrary(Instance()));
        HWND dialog = NewDialog();
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(Skinned(dialog));
        DestroyWindow(dialog);
        EXPECT_FALSE(Skinned(dialog));
        ExitSkinLibrary();
        // Without its hooks the worker's new dialogs stay plain.
        HWND plain = NewDialog();
        EXPECT_FALSE(Skinned(plain));
        DestroyWindow(plain);
    });
    // The UI thread still skins.
    HWND dialog = NewDialog();
    EXPECT_TRUE(Skinned(dialog));
    DestroyWindow(dialog);
}

TEST_F(Skinning, TheLastShutDownReleasesEverySkinAndTheSkinFile) {
    ASSERT_TRUE(SetDialogSkin("Dialog"));
    HWND a = NewDialog();
    HWND b = NewDialog();
    ASSERT_TRUE(Skinned(a) && Skinned(b));
    ASSERT_TRUE(FindSkinElement("Dialog"));
    // A second load re-skins what is skinned, from the new file.
    ASSERT_TRUE(LoadSkinFile("z-arud.qvk"));
    EXPECT_TRUE(Skinned(a) && Skinned(b));

    ExitSkinLibrary();
    EXPECT_FALSE(Skinned(a));
    EXPECT_FALSE(Skinned(b));
    EXPECT_EQ(CSkinManager::Instance().GetWindowCount(), 0u);
    EXPECT_FALSE(FindSkinElement("Dialog"));
    // The windows live on, unskinned, and go without trouble.
    EXPECT_TRUE(IsWindow(a));
    WinTestPumpUntilIdle();
    DestroyWindow(a);
    DestroyWindow(b);
}

}  // namespace
