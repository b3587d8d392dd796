// The dialog's side of the preview: Play/Pause and Stop states, the position slider that the
// 100 ms timer moves and that seeks when dragged.
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

class DlgPreview : public DialogFixture {
protected:
    int SliderPos() { return int(::SendMessageA(H(IDC_POSITION), TBM_GETPOS, 0, 0)); }
    void Tick(int times) {
        for (int i = 0; i < times; ++i) {
            WinTestAdvanceClock(100);
            WinTestPumpUntilIdle();
        }
    }
};

TEST_F(DlgPreview, PlayNeedsACurrentFile) {
    ClickButton(dlg, IDC_PLAYPAUSE);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_STOPPED);
    ClickButton(dlg, IDC_PREVIEWSTOP);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_STOPPED);
}

TEST_F(DlgPreview, PlayPauseResumeAndStop) {
    Media("clip.avi", 10.0);
    AddFiles("clip.avi");
    ClickButton(dlg, IDC_PLAYPAUSE);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    EXPECT_EQ(ButtonTip(dlg, IDC_PLAYPAUSE), "Pause");
    ClickButton(dlg, IDC_PLAYPAUSE);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PAUSED);
    EXPECT_EQ(ButtonTip(dlg, IDC_PLAYPAUSE), "Play");
    ClickButton(dlg, IDC_PLAYPAUSE);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);

    // Dragging the position to the middle seeks there; the timer then shows where play is.
    ::SendMessageA(H(IDC_POSITION), TBM_SETPOS, TRUE, 50);
    ::SendMessageA(dlg.GetSafeHwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 50),
                   reinterpret_cast<LPARAM>(H(IDC_POSITION)));
    Tick(3);
    EXPECT_GE(SliderPos(), 45);
    EXPECT_LE(SliderPos(), 100);

    ClickButton(dlg, IDC_PREVIEWSTOP);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_STOPPED);
    EXPECT_EQ(ButtonTip(dlg, IDC_PLAYPAUSE), "Play");
    EXPECT_EQ(SliderPos(), 0);
    Tick(3);
    EXPECT_EQ(SliderPos(), 0);  // the timer is gone with the preview
}

TEST_F(DlgPreview, ClickingAnotherRowKeepsThePreviewPlaying) {
    Media("a.avi", 5.0);
    Media("b.avi", 5.0);
    AddFiles("a.avi\nb.avi");
    ClickButton(dlg, IDC_PLAYPAUSE);
    ASSERT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    CRect r;
    List().GetSubItemRect(0, COL_NAME, LVIR_BOUNDS, r);
    WinTestAdvanceClock(1000);
    WinTestClick(List().GetSafeHwnd(), WINTEST_LEFT, r.left + 5, (r.top + r.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(dlg.GetCurrentItem(), 0);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "a.avi");
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    ClickButton(dlg, IDC_PREVIEWSTOP);
}

}  // namespace
