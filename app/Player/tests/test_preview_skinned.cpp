// The preview area under the program's own skin, which leaves the preview static's background
// to the dialog: once the preview stops, by Stop or by a batch starting, the area around the
// placeholder shows nothing of the last frame.
#include <fstream>
#include <string>

#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "Peloran.h"
#include "preview_test_support.h"
#include "test_dlg_support.h"

using namespace dlgtest;
using namespace previewtest;

namespace {

class SkinnedPreview : public DialogFixture {
protected:
    void SetUp() override {
        WinTestUseRealTime(FALSE);
        std::string skin = PeloranFileBesideProgram("z-arud.qvk");
        if (!std::ifstream(skin)) GTEST_SKIP() << "no skin beside the test program";
        InstallSkinners();
        ASSERT_TRUE(InitSkinLibrary(AfxGetInstanceHandle()));
        ASSERT_TRUE(LoadSkinFile(skin.c_str())) << GetSkinLastError();
        SetDialogSkin("Dialog");
        skinned_ = true;
        DialogFixture::SetUp();
        Settle();
        before_ = std::make_unique<WinTestWindowPicture>(H(IDC_PREVIEW));
        ASSERT_GT(before_->w, 0);
        // Around the placeholder, inside the border, is the dialog's own background, as it is
        // just left of the area (the skin's body is of one colour there).
        RECT area;
        ::GetWindowRect(H(IDC_PREVIEW), &area);
        POINT beside{area.left - 3, area.top + 2};
        ::ScreenToClient(dlg.GetSafeHwnd(), &beside);
        WinTestWindowPicture dialog(dlg.GetSafeHwnd());
        POINT client{0, 0};
        ::ClientToScreen(dlg.GetSafeHwnd(), &client);
        RECT frame;
        ::GetWindowRect(dlg.GetSafeHwnd(), &frame);
        COLORREF body = dialog.At(beside.x + client.x - frame.left, beside.y + client.y - frame.top);
        EXPECT_EQ(body, before_->At(1, 1));
        EXPECT_EQ(body, before_->At(before_->w - 2, before_->h - 2));
    }
    void TearDown() override {
        DialogFixture::TearDown();
        if (skinned_) ExitSkinLibrary();
    }

    // A clip of a picture unlike the placeholder, wider than the area so that the scaled
    // video leaves bands of the area's own above and below it.
    void AddWideClip() {
        testmedia::Options o;
        o.seconds = 2.0;
        o.width = 320;
        o.height = 120;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, scratch / "wide.avi", o));
        AddFiles("wide.avi");
        ASSERT_EQ(1, Rows());
    }
    void PlayAWhile() {
        ClickButton(dlg, IDC_PLAYPAUSE);
        ASSERT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
        for (int t = 0; t < 600; t += 100) {
            WinTestAdvanceClock(100);
            WinTestPumpUntilIdle();
        }
        ASSERT_TRUE(Eventually([&] { return Differing() > before_->w * before_->h / 4; }))
            << "the clip never showed in the preview area";
    }
    // How many pixels of the preview area differ from how it looked before anything played.
    int Differing() {
        WinTestWindowPicture now(H(IDC_PREVIEW));
        if (now.w != before_->w || now.h != before_->h) return now.w * now.h;
        int n = 0;
        for (size_t i = 0; i < now.px.size(); ++i) n += now.px[i] != before_->px[i];
        return n;
    }

    bool skinned_ = false;
    std::unique_ptr<WinTestWindowPicture> before_;
};

TEST_F(SkinnedPreview, StopLeavesThePlaceholderAloneInTheArea) {
    AddWideClip();
    PlayAWhile();
    ClickButton(dlg, IDC_PREVIEWSTOP);
    ASSERT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    Settle();
    EXPECT_EQ(0, Differing());
    // Played and stopped again: still clean.
    PlayAWhile();
    ClickButton(dlg, IDC_PREVIEWSTOP);
    Settle();
    EXPECT_EQ(0, Differing());
}

TEST_F(SkinnedPreview, ABatchStartingClearsTheAreaAtOnce) {
    AddWideClip();
    ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
    PlayAWhile();
    ClickButton(dlg, IDC_START);
    ASSERT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    WinTestPumpUntilIdle();
    EXPECT_EQ(0, Differing()) << "while the batch runs";
    EXPECT_TRUE(WaitForBatchEnd());
    Settle();
    EXPECT_EQ(0, Differing()) << "after the batch";
}

}  // namespace
