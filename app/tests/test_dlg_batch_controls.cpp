// What a batch does to the settings: every control it must not see changed is disabled while
// it runs and enabled again after it, and looks disabled (the sliders and the folder button
// too, with the program's skin); the encoder's log line carries the settings it was given.
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "skin_looks.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

// The controls a batch disables, in the order it disables them. The audio codec combo holds a
// single entry and stays disabled throughout; it is checked apart.
const int kDisabledByBatch[] = {IDC_VIDEOCODEC,   IDC_POSITION, IDC_PREVIEWSTOP, IDC_PLAYPAUSE, IDC_SAMPLERATE,
                                IDC_FRAMESIZE,    IDC_VIDEOBITRATE, IDC_FRAMERATE, IDC_VOLUME,    IDC_AUDIOBITRATE,
                                IDC_CHANNELS,     IDC_BROWSE,   IDC_OUTFOLDER,   IDC_DOWN,      IDC_UP,
                                IDC_REMOVE,       IDC_ADD,      IDC_SHUTDOWN};
// The controls a batch leaves as they are.
const int kLeftAlone[] = {IDC_FILELIST, IDC_START, IDC_HELPBTN, IDC_ABOUT, IDC_HOMELINK, IDC_VOLUME_TEXT, IDC_PREVIEW};

class DlgBatchControls : public DialogFixture {
protected:
    // Runs a batch of one file; `during` runs on the UI thread while the worker waits on it.
    void RunBatch(const std::function<void()>& during) {
        Media("a.avi");
        AddFiles("a.avi");
        ::SetWindowTextA(H(IDC_OUTFOLDER), (scratch / "out").c_str());
        bool seen = false;
        dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
            if (msg != WM_BATCH_NEXTROW || r != 0 || seen) return;
            seen = true;
            during();
        };
        ClickButton(dlg, IDC_START);
        ASSERT_TRUE(WaitForBatchEnd());
        dlg.onBatchMessage = nullptr;
        EXPECT_TRUE(seen);
        EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    }
};

TEST_F(DlgBatchControls, EveryControlTheBatchMustNotSeeChangedIsDisabledAndEnabledAgainAfter) {
    for (int id : kDisabledByBatch) ASSERT_TRUE(::IsWindowEnabled(H(id))) << id;
    RunBatch([&] {
        for (int id : kDisabledByBatch) EXPECT_FALSE(::IsWindowEnabled(H(id))) << id;
        for (int id : kLeftAlone) EXPECT_TRUE(::IsWindowEnabled(H(id))) << id;
        EXPECT_FALSE(::IsWindowEnabled(H(IDC_AUDIOCODEC)));
    });
    for (int id : kDisabledByBatch) EXPECT_TRUE(::IsWindowEnabled(H(id))) << id;
    for (int id : kLeftAlone) EXPECT_TRUE(::IsWindowEnabled(H(id))) << id;
    // A combo with a single entry is never enabled by the batch's end.
    EXPECT_FALSE(::IsWindowEnabled(H(IDC_AUDIOCODEC)));
}

// Every line the engine logs at level 2, as formatted.
std::mutex g_linesLock;
std::vector<std::string> g_lines;
void KeepLine(int level, const char* format, va_list args) {
    if (level != 2) return;
    char text[2048];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.push_back(text);
}

TEST_F(DlgBatchControls, TheEncoderLogsTheSettingsItIsGivenInItsOwnWords) {
    ChooseCombo(dlg, IDC_FRAMESIZE, 1);  // 176x120
    ChooseCombo(dlg, IDC_FRAMERATE, 2);  // 29.97
    ChooseCombo(dlg, IDC_CHANNELS, 0);   // Mono
    ChooseCombo(dlg, IDC_SAMPLERATE, 2); // 48000
    ChooseCombo(dlg, IDC_AUDIOBITRATE, 4);  // 80
    ::SendMessageA(H(IDC_VOLUME), TBM_SETPOS, TRUE, 384);
    {
        std::lock_guard<std::mutex> lock(g_linesLock);
        g_lines.clear();
    }
    SetLogCallback(&KeepLine);
    RunBatch([] {});
    SetLogCallback(nullptr);
    const std::string in = scratch / "a.avi", out = scratch / "out/a_new.mp4";
    const std::string want = "Encoder: InFile=" + in + ", OutFile=" + out +
                             ", Width=176, Heigh=120, FrameRate=29, \t\tVideo Quality=512, Audio Quality=80, "
                             "Audio Sample Rate=48000, Audio Channel=0, Audio Volume=384\n";
    std::lock_guard<std::mutex> lock(g_linesLock);
    int found = 0;
    for (const std::string& line : g_lines) found += line == want;
    EXPECT_EQ(found, 1) << "lines at level 2:\n" << [&] {
        std::string all;
        for (const std::string& line : g_lines) all += "[" + line + "]\n";
        return all;
    }();
}

// A control's look, reduced to what tells enabled from disabled: how many of its pixels carry
// a colour (a channel far from the others), as the blue thumb or the yellow folder does.
int ColouredPixels(HWND h) {
    WinTestWindowPicture pic(h);
    int n = 0;
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            COLORREF c = pic.At(x, y);
            int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
            int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
            n += hi - lo > 60;
        }
    return n;
}

class SkinnedDlgBatchControls : public DlgBatchControls {
protected:
    void SetUp() override {
        ASSERT_TRUE(skinlooks::StartProgramSkin()) << GetSkinLastError();
        DlgBatchControls::SetUp();
    }
    void TearDown() override {
        DlgBatchControls::TearDown();
        skinlooks::StopProgramSkin();
    }
};

TEST_F(SkinnedDlgBatchControls, TheSlidersAndTheFolderButtonLookDisabledWhileABatchRuns) {
    const int ids[] = {IDC_VOLUME, IDC_POSITION, IDC_BROWSE};
    // Kept out of the way: a hovered button shows another picture.
    WinTestMouseMove(nullptr, 0, 0);
    WinTestPumpUntilIdle();
    std::vector<int> before, during, after;
    for (int id : ids) before.push_back(ColouredPixels(H(id)));
    RunBatch([&] {
        WinTestPumpUntilIdle();
        for (int id : ids) during.push_back(ColouredPixels(H(id)));
    });
    WinTestPumpUntilIdle();
    for (int id : ids) after.push_back(ColouredPixels(H(id)));
    ASSERT_EQ(during.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        // Enabled, each shows its colours; disabled, they are faded to grey.
        EXPECT_GT(before[k], 20) << ids[k];
        EXPECT_LT(during[k], before[k] / 10) << ids[k] << " does not look disabled";
        EXPECT_EQ(after[k], before[k]) << ids[k];
    }
}

}  // namespace
