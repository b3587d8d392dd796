// The preview inside the main dialog: the Play/Pause and Stop buttons, the position slider
// that follows the clip from its 100 ms timer and seeks when moved, the volume label, the
// restart at the end of the clip, files that cannot be shown, and a batch start stopping it.
#include <cstdio>
#include <fstream>
#include <string>

#include "ImageButton.h"
#include "preview_test_support.h"
#include "test_dlg_support.h"

using namespace dlgtest;
using namespace previewtest;

namespace {

constexpr int kClipFrames = 50;  // 2 s at 25 fps, key frames every 12

class PreviewDialog : public DialogFixture {
protected:
    void SetUp() override {
        // Every step below is counted on the layer's virtual clock, moved only by the test.
        // Started outside CTest (which asks for the headless backend in the environment) the
        // process would run on real time instead, and positions would drift with the machine.
        WinTestUseRealTime(FALSE);
        DialogFixture::SetUp();
        placeholder_ = std::make_unique<WinTestWindowPicture>(H(IDC_PREVIEW));
        ASSERT_GT(placeholder_->w, 0);
    }

    // A 2-second clip as large as the preview area (so it is drawn 1:1), added to the list
    // (and so current, with its path previewed).
    void AddClip(const std::string& name = "clip.avi") {
        RECT client;
        ::GetClientRect(H(IDC_PREVIEW), &client);
        clipW_ = int(client.right) & ~1;
        clipH_ = int(client.bottom) & ~1;
        testmedia::Options o;
        o.seconds = 2.0;
        o.width = clipW_;
        o.height = clipH_;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, scratch / name, o));
        AddFiles(name);
        ASSERT_GE(Rows(), 1);
        ASSERT_EQ(scratch / name, std::string((LPCSTR)dlg.GetPreviewFile()));
    }
    // Replaces a listed file's content, as when it changes on disk after it was added.
    void Replace(const std::string& name, const std::string& with) {
        std::ifstream in(with, std::ios::binary);
        std::ofstream out(scratch / name, std::ios::binary | std::ios::trunc);
        out << in.rdbuf();
    }

    // Clicks a button without moving the clock (a playing clip would move on with it). Presses
    // alternate between two points far apart, so two of them never make a double-click.
    void Press(int id) {
        RECT r;
        ::GetClientRect(H(id), &r);
        left_ = !left_;
        WinTestClick(H(id), WINTEST_LEFT, left_ ? r.right / 5 : r.right * 4 / 5, r.bottom / 2);
        WinTestPumpUntilIdle();
    }
    std::string Tooltip(int id) {
        auto* button = static_cast<CImageButton*>(CWnd::FromHandlePermanent(H(id)));
        if (!button || !button->GetToolTipWindow()) return "";
        char text[100] = {};
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = button->GetSafeHwnd();
        ti.uId = 1;
        ti.lpszText = text;
        ::SendMessageA(button->GetToolTipWindow(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
        return text;
    }
    int Slider(int id) { return int(::SendMessageA(H(id), TBM_GETPOS, 0, 0)); }
    // Moves a slider by keys, as the user does; each step reaches the dialog as WM_HSCROLL.
    void SliderKeys(int id, std::initializer_list<UINT> keys) {
        ::SetFocus(H(id));
        for (UINT k : keys) WinTestKeyPress(k);
        WinTestPumpUntilIdle();
    }
    // Moves the clock in timer-sized steps so the slider is updated on the way.
    void Advance(int ms) {
        for (int t = 0; t < ms; t += 100) {
            WinTestAdvanceClock(std::min(100, ms - t));
            WinTestPumpUntilIdle();
        }
    }
    HWND VideoWindow() { return ::GetWindow(H(IDC_PREVIEW), GW_CHILD); }
    FrameMatch Shown() {
        WinTestWindowPicture pic(H(IDC_PREVIEW));
        RECT client;
        ::GetClientRect(H(IDC_PREVIEW), &client);
        RECT fit = FitPicture(client.right, client.bottom, clipW_, clipH_);
        // The picture is the whole window, border included.
        POINT origin{0, 0};
        ::ClientToScreen(H(IDC_PREVIEW), &origin);
        RECT window;
        ::GetWindowRect(H(IDC_PREVIEW), &window);
        ::OffsetRect(&fit, origin.x - window.left, origin.y - window.top);
        if (fit.right - fit.left == clipW_ && fit.bottom - fit.top == clipH_)
            return MatchFrame(pic, fit.left, fit.top, clipW_, clipH_, kClipFrames);
        return MatchScaledFrame(pic, fit, clipW_, clipH_, kClipFrames);
    }
    bool ShowsFrame(int frame) {
        FrameMatch m = Shown();
        return m.frame == frame && m.error < 15;
    }
    bool ShowsPlaceholder() {
        WinTestWindowPicture now(H(IDC_PREVIEW));
        return now.w == placeholder_->w && now.h == placeholder_->h && now.px == placeholder_->px;
    }

    std::unique_ptr<WinTestWindowPicture> placeholder_;
    bool left_ = false;
    int clipW_ = 0, clipH_ = 0;
};

TEST_F(PreviewDialog, PlayWithoutAFileDoesNothing) {
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    EXPECT_EQ(nullptr, VideoWindow());
    EXPECT_EQ("Play", Tooltip(IDC_PLAYPAUSE));
    Advance(300);
    EXPECT_EQ(0, Slider(IDC_POSITION));
    EXPECT_TRUE(ShowsPlaceholder());
}

TEST_F(PreviewDialog, PlayPauseResumeAndStop) {
    AddClip();
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    EXPECT_EQ("Pause", Tooltip(IDC_PLAYPAUSE));
    HWND video = VideoWindow();
    ASSERT_NE(nullptr, video);
    WinTestWindowPicture playingFace(H(IDC_PLAYPAUSE));

    // The picture and the slider follow the clock: 0.4 s is frame 10 and 20 % of the clip.
    Advance(400);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(10); })) << Shown().frame << " " << Shown().error;
    EXPECT_EQ(20, Slider(IDC_POSITION));

    // Pause holds the frame and the slider.
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_PAUSED, dlg.GetPreviewState());
    EXPECT_EQ("Play", Tooltip(IDC_PLAYPAUSE));
    WinTestWindowPicture pausedFace(H(IDC_PLAYPAUSE));
    EXPECT_NE(playingFace.px, pausedFace.px) << "the icon changes with the state";
    Advance(600);
    Settle();
    EXPECT_TRUE(ShowsFrame(10));
    EXPECT_EQ(20, Slider(IDC_POSITION));

    // Playing again goes on from there, in the same graph.
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    EXPECT_EQ("Pause", Tooltip(IDC_PLAYPAUSE));
    EXPECT_EQ(video, VideoWindow());
    Advance(600);
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(25); })) << Shown().frame << " " << Shown().error;
    EXPECT_EQ(50, Slider(IDC_POSITION));

    // Stop: the placeholder comes back, the slider goes to 0 and stays there.
    Press(IDC_PREVIEWSTOP);
    EXPECT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    EXPECT_EQ("Play", Tooltip(IDC_PLAYPAUSE));
    EXPECT_EQ(nullptr, VideoWindow());
    EXPECT_EQ(0, Slider(IDC_POSITION));
    EXPECT_TRUE(Eventually([&] { return ShowsPlaceholder(); }));
    Advance(500);
    EXPECT_EQ(0, Slider(IDC_POSITION));

    // And Play starts from the beginning again.
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(0); })) << Shown().frame << " " << Shown().error;
}

TEST_F(PreviewDialog, ThePositionSliderSeeksToItsShareOfTheClip) {
    // A two-minute clip with a key frame every 2.4 s: the middle, 60 s, is one of them.
    testmedia::Options o;
    o.seconds = 120.0;
    o.width = 64;
    o.height = 48;
    o.fps = 5;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, scratch / "long.avi", o));
    AddFiles("long.avi");
    Press(IDC_PLAYPAUSE);
    ASSERT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    // Home, two pages of 20 and ten steps: 50.
    SliderKeys(IDC_POSITION, {VK_HOME, VK_NEXT, VK_NEXT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT,
                              VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT});
    ASSERT_EQ(50, Slider(IDC_POSITION));
    // Playing on from 60 s: 1.1 s later the timer still puts the slider at 50, then at 51.
    Advance(1100);
    EXPECT_EQ(50, Slider(IDC_POSITION));
    Advance(200);
    EXPECT_EQ(51, Slider(IDC_POSITION));
    // Pausing and seeking to the very start shows 0 at once and keeps it.
    Press(IDC_PLAYPAUSE);
    SliderKeys(IDC_POSITION, {VK_HOME});
    EXPECT_EQ(0, Slider(IDC_POSITION));
    Press(IDC_PLAYPAUSE);
    Advance(2400);
    EXPECT_EQ(2, Slider(IDC_POSITION));
}

TEST_F(PreviewDialog, TheVolumeLabelShowsThePercentOf256) {
    EXPECT_EQ("100%", WindowText(H(IDC_VOLUME_TEXT)));
    ::SendMessageA(H(IDC_VOLUME), TBM_SETPOS, TRUE, 384);
    ::SendMessageA(dlg.GetSafeHwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 384),
                   reinterpret_cast<LPARAM>(H(IDC_VOLUME)));
    EXPECT_EQ("150%", WindowText(H(IDC_VOLUME_TEXT)));
    SliderKeys(IDC_VOLUME, {VK_HOME});
    EXPECT_EQ("0%", WindowText(H(IDC_VOLUME_TEXT)));
    SliderKeys(IDC_VOLUME, {VK_END});
    EXPECT_EQ("300%", WindowText(H(IDC_VOLUME_TEXT)));
    // The position slider's label is untouched by it, and the other way round.
    SliderKeys(IDC_POSITION, {VK_END});
    EXPECT_EQ("300%", WindowText(H(IDC_VOLUME_TEXT)));
}

TEST_F(PreviewDialog, AClipThatEndsStartsAgainAndKeepsPlaying) {
    AddClip();
    Press(IDC_PLAYPAUSE);
    Advance(1900);
    EXPECT_EQ(95, Slider(IDC_POSITION));
    // The end, at 2 s, arrives as a graph notification as soon as the clock gets there; the
    // dialog has the player seek to 0, so 2.1 s is 0.1 s into the clip again.
    Advance(200);
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    EXPECT_EQ(5, Slider(IDC_POSITION));
    Advance(500);
    EXPECT_EQ(30, Slider(IDC_POSITION));
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(15); })) << Shown().frame << " " << Shown().error;
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
}

TEST_F(PreviewDialog, AFileThatCannotBeShownLeavesThePlaceholderAndTheSliderAlone) {
    AddClip();
    std::string junk = scratch / "junk.bin";
    ASSERT_TRUE(testmedia::WriteJunk(junk));
    Replace("clip.avi", junk);
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(nullptr, VideoWindow());
    Advance(500);
    Settle();
    EXPECT_TRUE(ShowsPlaceholder());
    EXPECT_EQ(0, Slider(IDC_POSITION)) << "no duration: nothing to follow";
    // Moving the slider has nothing to seek in.
    SliderKeys(IDC_POSITION, {VK_END});
    Advance(300);
    EXPECT_TRUE(ShowsPlaceholder());
    // Pause and Stop still work as buttons.
    Press(IDC_PLAYPAUSE);
    Press(IDC_PREVIEWSTOP);
    EXPECT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    EXPECT_EQ(0, Slider(IDC_POSITION));
    EXPECT_TRUE(ShowsPlaceholder());
}

TEST_F(PreviewDialog, AFileWithoutVideoPlaysBehindThePlaceholder) {
    AddClip();
    testmedia::Options o;
    o.seconds = 2.0;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Wav, scratch / "sound.wav", o));
    Replace("clip.avi", scratch / "sound.wav");
    Press(IDC_PLAYPAUSE);
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    EXPECT_EQ(nullptr, VideoWindow());
    Advance(1000);
    EXPECT_EQ(50, Slider(IDC_POSITION));
    EXPECT_TRUE(ShowsPlaceholder());
    // Started again from the beginning at 2 s.
    Advance(1200);
    EXPECT_EQ(10, Slider(IDC_POSITION));
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
}

TEST_F(PreviewDialog, StartingABatchStopsThePreview) {
    AddClip();
    ASSERT_EQ(1, List().GetCheckbox(0, COL_CHECK));
    ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
    Press(IDC_PLAYPAUSE);
    Advance(600);
    ASSERT_EQ(30, Slider(IDC_POSITION));
    ASSERT_NE(nullptr, VideoWindow());
    ClickButton(dlg, IDC_START);
    EXPECT_EQ(PREVIEW_STOPPED, dlg.GetPreviewState());
    EXPECT_EQ(nullptr, VideoWindow());
    EXPECT_EQ(0, Slider(IDC_POSITION));
    EXPECT_EQ("Play", Tooltip(IDC_PLAYPAUSE));
    EXPECT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(Eventually([&] { return ShowsPlaceholder(); }));
}

TEST_F(PreviewDialog, ClickingAnotherRowKeepsThePreviewPlaying) {
    AddClip("one.avi");
    AddClip("two.avi");
    Press(IDC_PLAYPAUSE);
    Advance(400);
    CRect r;
    List().GetSubItemRect(0, COL_NAME, LVIR_BOUNDS, r);
    WinTestClick(List().GetSafeHwnd(), WINTEST_LEFT, r.CenterPoint().x, r.CenterPoint().y);
    WinTestPumpUntilIdle();
    EXPECT_EQ(scratch / "one.avi", std::string((LPCSTR)dlg.GetPreviewFile()));
    EXPECT_EQ(PREVIEW_PLAYING, dlg.GetPreviewState());
    Advance(400);
    EXPECT_EQ(40, Slider(IDC_POSITION));
    EXPECT_TRUE(Eventually([&] { return ShowsFrame(20); })) << Shown().frame << " " << Shown().error;
}

}  // namespace
