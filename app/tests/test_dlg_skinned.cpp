// The main dialog with the program's own skin: its caption carries the skin's close, minimise
// and system-menu buttons; the close button ends the dialog when no batch runs and gets the
// warning while one does; the minimise button minimises it; message boxes are skinned too.
#include <limits.h>

#include "DialogSkin.h"
#include "FrameElements.h"
#include "SkinEngine.h"
#include "SkinManager.h"
#include "Skinners.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

std::string ProgramFolder() {
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir(exe, n > 0 ? size_t(n) : 0);
    return dir.substr(0, dir.rfind('/') + 1);
}

class SkinnedDlg : public DialogFixture {
protected:
    void SetUp() override {
        InstallSkinners();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile((ProgramFolder() + "z-arud.qvk").c_str())) << GetSkinLastError();
        SetDialogSkin("Dialog");
        DialogFixture::SetUp();
        WinTestActivate(dlg.GetSafeHwnd());
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DialogFixture::TearDown();
        SetDialogSkin(nullptr);
        ExitSkinLibrary();
    }
public:
    CSkinCaptionButton* Button(HWND hwnd, const char* name) {
        CSkinWindow* skin = CSkinManager::Instance().FindSkinWindow(hwnd);
        if (!skin) return nullptr;
        skin->LayoutElements();
        for (CSkinElement* e : skin->GetElements())
            if (e->GetName() == name) return dynamic_cast<CSkinCaptionButton*>(e);
        return nullptr;
    }
protected:
    // Clicks the middle of the caption button and handles what follows as the dialog's loop.
    void ClickCaptionButton(const char* name) {
        CSkinCaptionButton* b = Button(dlg.GetSafeHwnd(), name);
        ASSERT_NE(b, nullptr) << name;
        RECT rc, wr;
        b->GetElementRect(&rc);
        ::GetWindowRect(dlg.GetSafeHwnd(), &wr);
        const int x = wr.left + (rc.left + rc.right) / 2, y = wr.top + (rc.top + rc.bottom) / 2;
        WinTestMouseMove(nullptr, x, y);
        WinTestClick(nullptr, WINTEST_LEFT, x, y);
        WinTestPumpUntilIdle();
        PumpAsModalLoop(dlg);
    }
    static constexpr const char* kRunning = "The convert is running, please first stop convert then exit.";
};

TEST_F(SkinnedDlg, TheCaptionHasTheSkinsButtonsAndTheCloseButtonEndsTheIdleDialog) {
    HWND h = dlg.GetSafeHwnd();
    ASSERT_NE(dynamic_cast<CSkinDialog*>(CSkinManager::Instance().FindSkinWindow(h)), nullptr);
    for (const char* name : {"Close", "Minimize", "SysMenu"}) EXPECT_NE(Button(h, name), nullptr) << name;
    // The dialog has no maximise box: the skin's dialog object has no such button either, and
    // every button it has is enabled.
    EXPECT_EQ(Button(h, "Maximize"), nullptr);
    EXPECT_TRUE(Button(h, "Close")->IsEnabled());
    EXPECT_TRUE(Button(h, "Minimize")->IsEnabled());
    ClickCaptionButton("Close");
    EXPECT_TRUE(dlg.boxes.empty());
    EXPECT_FALSE(::IsWindowVisible(h));  // ended
}

TEST_F(SkinnedDlg, TheCloseButtonIsRefusedWithTheWarningWhileABatchRuns) {
    Media("a.avi");
    AddFiles("a.avi");
    ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
    bool clicked = false;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        if (clicked || msg != WM_BATCH_NEXTROW || r != 0) return;
        clicked = true;
        ClickCaptionButton("Close");
    };
    ClickButton(dlg, IDC_START);
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(clicked);
    ASSERT_FALSE(dlg.boxes.empty());
    EXPECT_EQ(dlg.boxes[0].text, kRunning);
    EXPECT_EQ(dlg.boxes[0].caption, "Warning");
    EXPECT_TRUE(::IsWindowVisible(dlg.GetSafeHwnd()));
    // It is idle again: now the button ends it.
    dlg.boxes.clear();
    ClickCaptionButton("Close");
    EXPECT_FALSE(::IsWindowVisible(dlg.GetSafeHwnd()));
}

TEST_F(SkinnedDlg, TheMinimiseButtonMinimisesTheDialog) {
    HWND h = dlg.GetSafeHwnd();
    ClickCaptionButton("Minimize");
    EXPECT_TRUE(::IsIconic(h));
    ::SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(::IsIconic(h));
    EXPECT_TRUE(::IsWindowVisible(h));
}

TEST_F(SkinnedDlg, MessageBoxesGetTheSkinnedFrameAndCaptionButtons) {
    bool skinned = false, closeButton = false;
    struct Probe {
        SkinnedDlg* test;
        bool* skinned;
        bool* closeButton;
        static void Hook(int loop, HWND box, void* self) {
            auto* p = static_cast<Probe*>(self);
            if (loop != WINTEST_LOOP_MESSAGEBOX) return;
            *p->skinned = dynamic_cast<CSkinDialog*>(CSkinManager::Instance().FindSkinWindow(box)) != nullptr;
            *p->closeButton = p->test->Button(box, "Close") != nullptr;
            WinTestKeyPress(VK_RETURN);
        }
    } probe{this, &skinned, &closeButton};
    WinTestSetIdleHook(&Probe::Hook, &probe);
    ::MessageBoxA(dlg.GetSafeHwnd(), "    Mission accomplished!        ", "", MB_OK);
    WinTestSetIdleHook(nullptr, nullptr);
    EXPECT_TRUE(skinned);
    EXPECT_TRUE(closeButton);
}

}  // namespace
