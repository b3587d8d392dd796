// The conversion batch of the main dialog: the worker converts the checked rows one after
// another with the dialog's settings; Stop, closing, Enter and Escape during a batch; the
// end-of-batch message and the shut-down option.
#include <sys/stat.h>

#include <string>

#include "ffmpeg_internal.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

// The engine reports at most every half second of its clock; this one moves a second at every
// look, so each packet brings a report however fast the machine converts.
int64_t g_report_clock = 0;
int64_t RacingClock() { return g_report_clock += 1000000; }
struct RacingReports {
    RacingReports() { ffdrv::set_report_clock(RacingClock); }
    ~RacingReports() { ffdrv::set_report_clock(nullptr); }
};

bool IsFolder(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class DlgBatch : public DialogFixture {
protected:
    void SetOutputFolder(const std::string& folder) { ::SetWindowTextA(H(IDC_OUTFOLDER), folder.c_str()); }
    void Start() { ClickButton(dlg, IDC_START); }
    int BoxesWith(const std::string& text) {
        int n = 0;
        for (const Box& b : dlg.boxes) n += b.text == text;
        return n;
    }
    static constexpr const char* kRunning = "The convert is running, please first stop convert then exit.";
    static constexpr const char* kDone = "    Mission accomplished!        ";
    static constexpr const char* kStopQuestion = "  Stop the video convert operation?   ";
};

TEST_F(DlgBatch, StartNeedsACheckedRow) {
    ClickButton(dlg, IDC_START);  // empty list: nothing at all
    EXPECT_TRUE(dlg.boxes.empty());
    Media("a.avi");
    AddFiles("a.avi");
    List().SetCheckbox(0, COL_CHECK, 0);
    Start();
    ASSERT_EQ(dlg.boxes.size(), 1u);
    EXPECT_EQ(dlg.boxes[0].text, "There is no selected file in list! ");
    EXPECT_EQ(dlg.boxes[0].caption, "Warning");
    EXPECT_EQ(dlg.boxes[0].type, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(dlg.GetBatchState(), BATCH_IDLE);
}

TEST_F(DlgBatch, ConvertsCheckedRowsWithTheChosenSettings) {
    Media("a.avi", 2.0);
    Media("skip.avi", 2.0);
    Media("b.mp4", 3.0, testmedia::Kind::Mp4);
    AddFiles("a.avi\nskip.avi\nb.mp4");
    ASSERT_EQ(Rows(), 3);
    List().SetCheckbox(1, COL_CHECK, 0);
    ChooseCombo(dlg, IDC_FRAMESIZE, 1);  // 176x120
    ChooseCombo(dlg, IDC_CHANNELS, 0);   // Mono
    std::string out = scratch / "out/deeper";
    SetOutputFolder(out + "/");

    // What the window looks like while the worker waits on its first file.
    bool seenRunning = false;
    std::vector<int> progress;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        if (msg == WM_BATCH_NEXTROW && r == 0) {
            seenRunning = true;
            EXPECT_EQ(dlg.GetBatchState(), BATCH_CONVERTING);
            for (int id : {IDC_ADD, IDC_REMOVE, IDC_UP, IDC_DOWN, IDC_BROWSE, IDC_OUTFOLDER, IDC_FRAMESIZE,
                           IDC_VOLUME, IDC_PLAYPAUSE, IDC_SHUTDOWN, IDC_VIDEOCODEC})
                EXPECT_FALSE(::IsWindowEnabled(H(id))) << id;
            for (int id : {IDC_FILELIST, IDC_START, IDC_HELPBTN, IDC_ABOUT})
                EXPECT_TRUE(::IsWindowEnabled(H(id))) << id;
            EXPECT_TRUE(IsFolder(out)) << "the output folder is made before the first file";
            EXPECT_EQ(ButtonTip(dlg, IDC_START), "Stop Convert");
        }
        if (msg == WM_BATCH_PROGRESS && dlg.GetRecord(0)) progress.push_back(dlg.GetRecord(0)->nPercent);
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(seenRunning);

    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    EXPECT_EQ(Cell(1, COL_STATUS), "Ready");
    EXPECT_EQ(Cell(2, COL_STATUS), "Completed");
    EXPECT_EQ(List().GetCheckbox(0, COL_CHECK), 0);
    EXPECT_EQ(List().GetCheckbox(1, COL_CHECK), 0);
    EXPECT_EQ(List().GetCheckbox(2, COL_CHECK), 0);
    EXPECT_EQ(dlg.GetRecord(0)->nStatus, FILE_STATUS_FINISHED);
    EXPECT_EQ(dlg.GetRecord(0)->nPercent, 100);
    EXPECT_EQ(dlg.GetRecord(2)->nPercent, 100);
    ASSERT_FALSE(progress.empty());
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1], progress[i]);

    // The controls are back; the end is announced once.
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_BROWSE, IDC_FRAMESIZE, IDC_SHUTDOWN, IDC_START})
        EXPECT_TRUE(::IsWindowEnabled(H(id))) << id;
    EXPECT_FALSE(::IsWindowEnabled(H(IDC_AUDIOCODEC)));
    ASSERT_EQ(BoxesWith(kDone), 1);
    EXPECT_EQ(dlg.boxes.back().caption, "");
    EXPECT_EQ(dlg.boxes.back().type, UINT(MB_ICONINFORMATION));
    EXPECT_EQ(ButtonTip(dlg, IDC_START), "Start Convert");
    EXPECT_EQ(WinTestShellRequestCount(), 0);  // no shut-down asked for

    for (const char* name : {"a_new.mp4", "b_new.mp4"}) {
        testmedia::Report rep = testmedia::Check(out + "/" + name);
        ASSERT_TRUE(rep.opened) << name;
        EXPECT_EQ(rep.decodeErrors, 0) << name;
        const testmedia::StreamReport* v = rep.FirstOf("video");
        const testmedia::StreamReport* a = rep.FirstOf("audio");
        ASSERT_TRUE(v && a) << name;
        EXPECT_EQ(v->codec, "mpeg4");
        EXPECT_EQ(v->width, 176);
        EXPECT_EQ(v->height, 120);
        EXPECT_EQ(a->codec, "aac");
        EXPECT_EQ(a->channels, 1);
        EXPECT_EQ(a->sampleRate, 44100);
    }
    EXPECT_FALSE(testmedia::Check(out + "/skip_new.mp4", false).opened);

    // A second Start converts only rows checked again.
    List().SetCheckbox(1, COL_CHECK, 1);
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(Cell(1, COL_STATUS), "Completed");
    EXPECT_TRUE(testmedia::Check(out + "/skip_new.mp4", false).opened);
    EXPECT_EQ(BoxesWith(kDone), 2);
}

TEST_F(DlgBatch, StopDuringAFileFreezesItsBarAndLeavesTheRest) {
    Media("long.avi", 40.0);
    Media("b.avi");
    Media("c.avi");
    AddFiles("long.avi\nb.avi\nc.avi");
    SetOutputFolder(scratch / "out");
    ClickButton(dlg, IDC_SHUTDOWN);  // asked for, but a stopped batch doesn't power off

    bool asked = false;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) {
        if (msg != WM_BATCH_PROGRESS || asked) return;
        asked = true;
        // The user presses Start (now Stop) and first says No, then Yes.
        dlg.answers = {IDNO};
        ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(H(IDC_START)));
        EXPECT_EQ(dlg.GetBatchState(), BATCH_CONVERTING);
        dlg.answers = {IDYES};
        ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(H(IDC_START)));
        EXPECT_EQ(dlg.GetBatchState(), BATCH_STOPPING);
        EXPECT_FALSE(::IsWindowEnabled(H(IDC_START)));
        // While the stop is being finished the window still refuses to go.
        ::SendMessageA(dlg.GetSafeHwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(::IsWindow(dlg.GetSafeHwnd()));
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    ASSERT_TRUE(asked);

    EXPECT_EQ(BoxesWith(kStopQuestion), 2);
    EXPECT_EQ(BoxesWith(kRunning), 1);
    EXPECT_EQ(BoxesWith(kDone), 1);
    FileRecord* rec = dlg.GetRecord(0);
    EXPECT_EQ(rec->nStatus, FILE_STATUS_STOPPED);
    EXPECT_LT(rec->nPercent, 100);
    EXPECT_EQ(List().GetCheckbox(0, COL_CHECK), 0);
    for (int row : {1, 2}) {
        EXPECT_EQ(List().GetCheckbox(row, COL_CHECK), 1);
        EXPECT_EQ(Cell(row, COL_STATUS), "Ready");
        EXPECT_EQ(dlg.GetRecord(row)->nStatus, 0);
    }
    EXPECT_TRUE(::IsWindowEnabled(H(IDC_START)));
    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    EXPECT_EQ(WinTestShellRequestCount(), 0);
    // The stopped file's output was closed cleanly.
    testmedia::Report rep = testmedia::Check(scratch / "out/long_new.mp4");
    EXPECT_TRUE(rep.opened);
}

TEST_F(DlgBatch, StopBetweenTwoFilesEndsTheWalk) {
    Media("a.avi");
    Media("b.avi");
    AddFiles("a.avi\nb.avi");
    SetOutputFolder(scratch / "out");
    dlg.onBatchMessage = [&](UINT msg, WPARAM wp, LPARAM, LRESULT) {
        // After the first file is written up, before the worker asks for the next.
        if (msg == WM_BATCH_ROWDONE && wp == 0) {
            dlg.answers = {IDYES};
            ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                           reinterpret_cast<LPARAM>(H(IDC_START)));
        }
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd(60));
    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    EXPECT_EQ(Cell(1, COL_STATUS), "Ready");
    EXPECT_EQ(List().GetCheckbox(1, COL_CHECK), 1);
    EXPECT_TRUE(::IsWindowEnabled(H(IDC_START)));
    EXPECT_EQ(BoxesWith(kDone), 1);
}

TEST_F(DlgBatch, StopAsAFileIsPreparedStopsThatFile) {
    Media("long.avi", 30.0);
    Media("b.avi");
    AddFiles("long.avi\nb.avi");
    SetOutputFolder(scratch / "out");
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        // Stop and Yes once the row is prepared, before the worker has started the engine.
        if (msg == WM_BATCH_NEXTROW && r == 0) {
            dlg.answers = {IDYES};
            ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                           reinterpret_cast<LPARAM>(H(IDC_START)));
        }
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(BoxesWith(kStopQuestion), 1);
    EXPECT_EQ(BoxesWith(kDone), 1);
    EXPECT_EQ(dlg.GetRecord(0)->nStatus, FILE_STATUS_STOPPED);
    EXPECT_NE(Cell(0, COL_STATUS), "Completed");
    EXPECT_LT(dlg.GetRecord(0)->nPercent, 100);
    EXPECT_EQ(List().GetCheckbox(0, COL_CHECK), 0);
    EXPECT_EQ(Cell(1, COL_STATUS), "Ready");
    EXPECT_EQ(List().GetCheckbox(1, COL_CHECK), 1);
    // Nothing of the stopped file was converted.
    EXPECT_FALSE(testmedia::Check(scratch / "out/long_new.mp4", false).opened);
    EXPECT_FALSE(testmedia::Check(scratch / "out/b_new.mp4", false).opened);
    EXPECT_TRUE(::IsWindowEnabled(H(IDC_START)));
}

TEST_F(DlgBatch, AStopTheEngineMissedIsPassedOnAtTheNextProgress) {
    Media("long.avi", 60.0);
    Media("b.avi");
    AddFiles("long.avi\nb.avi");
    SetOutputFolder(scratch / "out");
    int reports = 0;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) {
        if (msg == WM_BATCH_PROGRESS && ++reports == 1) dlg.StopUnheardByTheEngine();
    };
    // A second report must come before the clip's end, not only on a slow machine.
    RacingReports racing;
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(dlg.GetRecord(0)->nStatus, FILE_STATUS_STOPPED);
    EXPECT_LT(dlg.GetRecord(0)->nPercent, 100);
    EXPECT_EQ(Cell(1, COL_STATUS), "Ready");
    // What was written up to the stop plays.
    testmedia::Report part = testmedia::Check(scratch / "out/long_new.mp4");
    EXPECT_TRUE(part.opened);
    EXPECT_EQ(part.decodeErrors, 0);
    EXPECT_LT(part.duration, 59.0);
}

TEST_F(DlgBatch, CloseEnterAndEscapeAreRefusedWhileConverting) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder(scratch / "out");
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        if (msg != WM_BATCH_NEXTROW || r != 0) return;
        WinTestCloseRequest(dlg.GetSafeHwnd());
        ::SetFocus(H(IDC_FILELIST));
        WinTestKeyPress(VK_ESCAPE);
        WinTestKeyPress(VK_RETURN);
        PumpAsModalLoop(dlg);
        // Nothing that changes rows works during the batch.
        ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, ID_LIST_REMOVEALL, 0);
        ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, ID_LIST_REMOVE, 0);
        EXPECT_EQ(Rows(), 1);
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_TRUE(::IsWindow(dlg.GetSafeHwnd()));
    EXPECT_TRUE(::IsWindowVisible(dlg.GetSafeHwnd()));
    // The close box and Escape each get the warning; Enter does nothing.
    EXPECT_EQ(BoxesWith(kRunning), 2);
    for (const Box& b : dlg.boxes)
        if (b.text == kRunning) {
            EXPECT_EQ(b.caption, "Warning");
            EXPECT_EQ(b.type, UINT(MB_ICONEXCLAMATION));
        }
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
}

TEST_F(DlgBatch, FinishedBatchPowersOffWhenAskedAndTheStartStopsThePreview) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder(scratch / "out");
    ClickButton(dlg, IDC_SHUTDOWN);
    ClickButton(dlg, IDC_PLAYPAUSE);
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    Start();
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_STOPPED);
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    // The shut-down comes before the final message.
    EXPECT_EQ(BoxesWith(kDone), 1);
}

TEST_F(DlgBatch, UnwritableOutputFolderFailsEachFile) {
    Media("a.avi");
    Media("b");
    AddFiles("a.avi\nb");
    ASSERT_EQ(Rows(), 2);
    std::string blocker = scratch / "file";
    testmedia::WriteJunk(blocker, 16);
    SetOutputFolder(blocker + "/out");
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(Cell(0, COL_STATUS), "Fail");
    EXPECT_EQ(Cell(1, COL_STATUS), "Fail");
    EXPECT_EQ(dlg.GetRecord(0)->nStatus, FILE_STATUS_FINISHED);
    EXPECT_EQ(BoxesWith(kDone), 1);
}

TEST_F(DlgBatch, AFolderTypedWithSpacesAndLettersBeyondAsciiGetsTheOutputs) {
    Media("a.avi");
    AddFiles("a.avi");
    const std::string out = scratch / "my videos/vid\xC3\xA9os \xE2\x82\xAC";
    ::SetFocus(H(IDC_OUTFOLDER));
    ::SendMessageA(H(IDC_OUTFOLDER), EM_SETSEL, 0, -1);
    WinTestText(out.c_str());
    WinTestPumpUntilIdle();
    ASSERT_EQ(WindowText(H(IDC_OUTFOLDER)), out);
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
    testmedia::Report r = testmedia::Check(out + "/a_new.mp4");
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.decodeErrors, 0);
}

TEST_F(DlgBatch, SameNamedInputsGetNumberedOutputs) {
    ASSERT_EQ(::mkdir((scratch / "x").c_str(), 0777), 0);
    ASSERT_EQ(::mkdir((scratch / "y").c_str(), 0777), 0);
    Media("x/a.avi", 2.0);
    Media("y/a.avi", 3.0);
    Media("a.mkv", 2.0, testmedia::Kind::MkvSurround);
    // One folder per choice, as the open-file dialog allows.
    AddFiles("a.avi", scratch / "x");
    AddFiles("a.avi", scratch / "y");
    AddFiles("a.mkv");
    ASSERT_EQ(Rows(), 3);
    std::string out = scratch / "out";
    SetOutputFolder(out);
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Cell(row, COL_STATUS), "Completed") << row;
    testmedia::Report first = testmedia::Check(out + "/a_new.mp4", false);
    testmedia::Report second = testmedia::Check(out + "/a_new(2).mp4", false);
    testmedia::Report third = testmedia::Check(out + "/a_new(3).mp4", false);
    ASSERT_TRUE(first.opened && second.opened && third.opened);
    EXPECT_NEAR(first.duration, 2.0, 0.3);
    EXPECT_NEAR(second.duration, 3.0, 0.3);
}

TEST_F(DlgBatch, EveryBarReachesTheWholeWithItsFileTimestampsStartingLateOrNot) {
    // Movies and Matroska files whose first packet is at 10 s: listed with the 4 s they hold,
    // so the last report of each conversion (at 4 s of output) fills the bar, as it does for
    // a file starting at zero.
    struct Clip {
        const char* name;
        testmedia::Kind kind;
        double start;
    };
    const Clip clips[] = {{"late.mp4", testmedia::Kind::Mp4, 10.0},
                          {"late.mkv", testmedia::Kind::MkvSurround, 10.0},
                          {"late.mov", testmedia::Kind::Mov, 10.0},
                          {"zero.mp4", testmedia::Kind::Mp4, 0.0}};
    std::string names;
    for (const Clip& c : clips) {
        testmedia::Options o;
        o.seconds = 4.0;
        o.start = c.start;
        o.width = 160;
        o.height = 120;
        o.fps = 25;
        ASSERT_TRUE(testmedia::Generate(c.kind, scratch / c.name, o)) << c.name;
        names += (names.empty() ? "" : "\n") + std::string(c.name);
    }
    AddFiles(names);
    ASSERT_EQ(Rows(), 4);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(Cell(row, COL_DURATION), "00:00:04") << clips[row].name;
    SetOutputFolder(scratch / "out");

    int converting = -1;
    std::vector<int> lastPercent(4, -1);
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT r) {
        if (msg == WM_BATCH_NEXTROW) converting = int(r);
        if (msg == WM_BATCH_PROGRESS && converting >= 0 && converting < 4)
            lastPercent[converting] = dlg.GetRecord(converting)->nPercent;
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(clips[row].name);
        EXPECT_EQ(Cell(row, COL_STATUS), "Completed");
        EXPECT_EQ(lastPercent[row], 100) << "the bar's last value before Completed";
    }
}

TEST_F(DlgBatch, ClipsShorterThanASecondAreListedAndConvert) {
    Media("short.avi", 0.4);
    Media("short.mp4", 0.5, testmedia::Kind::Mp4);
    AddFiles("short.avi\nshort.mp4");
    ASSERT_EQ(Rows(), 2);
    EXPECT_TRUE(dlg.decoderInfo.empty());
    for (int row = 0; row < 2; ++row) EXPECT_EQ(Cell(row, COL_DURATION), "00:00:00") << row;
    std::string out = scratch / "out";
    SetOutputFolder(out);

    // No whole second to divide by: the bar stays within its range until the row completes.
    std::vector<int> progress;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) {
        if (msg != WM_BATCH_PROGRESS) return;
        for (int row = 0; row < 2; ++row) progress.push_back(dlg.GetRecord(row)->nPercent);
    };
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    for (int p : progress) {
        EXPECT_GE(p, 0);
        EXPECT_LE(p, 100);
    }
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Cell(row, COL_STATUS), "Completed") << row;
        EXPECT_EQ(dlg.GetRecord(row)->nPercent, 100) << row;
    }
    testmedia::Report avi = testmedia::Check(out + "/short_new.mp4", false);
    testmedia::Report mp4 = testmedia::Check(out + "/short_new(2).mp4", false);
    ASSERT_TRUE(avi.opened && mp4.opened);
    EXPECT_NEAR(avi.duration, 0.4, 0.15);
    EXPECT_NEAR(mp4.duration, 0.5, 0.15);
}

TEST_F(DlgBatch, TheProgressCallbackEndsWithTheBatch) {
    Media("a.avi");
    AddFiles("a.avi");
    SetOutputFolder(scratch / "out");
    Start();
    ASSERT_TRUE(WaitForBatchEnd());
    // Another conversion in the process afterwards reports nothing to the dialog.
    int reports = 0;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) { reports += msg == WM_BATCH_PROGRESS; };
    CFFmpegEncoder other;
    other.ResetDefaults();
    other.SetVideoCodec("mpeg4");
    other.SetAudioCodec("aac");
    other.SetInputFile(scratch / "a.avi");
    other.SetOutputFile(scratch / "other.mp4");
    EXPECT_EQ(other.StartEncode(PROFILE_IPOD), 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(reports, 0);
}

TEST_F(DlgBatch, DestroyingTheWindowStopsAndJoinsTheWorkerFirst) {
    Media("long.avi", 40.0);
    Media("b.avi");
    AddFiles("long.avi\nb.avi");
    SetOutputFolder(scratch / "out");
    bool destroyed = false;
    dlg.onBatchMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT) {
        if (msg == WM_BATCH_PROGRESS) destroyed = true;
    };
    Start();
    // Destroyed from the test's own loop once the first file is under way.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!destroyed && std::chrono::steady_clock::now() < until) {
        WinTestPumpUntilIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(destroyed);
    ASSERT_EQ(dlg.GetBatchState(), BATCH_CONVERTING);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    WinTestPumpUntilIdle();
    EXPECT_EQ(BoxesWith(kDone), 0);
}

}  // namespace

namespace {

// The user asks to stop while the last file is finishing: the question is still up when the
// batch ends and its notice comes. Everything here happens inside the boxes' own loops.
struct AnswerAtTheEnd {
    CPeloranDlg* dlg = nullptr;
    HWND question = nullptr, notice = nullptr;
    bool noticeOverQuestion = false;  // the main window stayed disabled under the notice
    bool mainEnabledAfterNotice = true;
    HWND activeAfterNotice = nullptr;
    bool questionAboveMain = false;
    int turnsAfterNotice = 0;

    static int Depth(HWND h) {
        int n = 0;
        for (HWND t = ::GetWindow(::GetTopWindow(nullptr), GW_HWNDLAST); t; t = ::GetWindow(t, GW_HWNDPREV), ++n)
            if (t == h) return n;
        return -1;
    }
    static void Hook(int loop, HWND box, void* self) {
        auto* a = static_cast<AnswerAtTheEnd*>(self);
        if (loop != WINTEST_LOOP_MESSAGEBOX) return;
        HWND main = a->dlg->GetSafeHwnd();
        if (!a->question) a->question = box;
        if (box == a->question && !a->notice) return;  // the batch is still running
        if (box != a->question) {
            a->notice = box;
            a->noticeOverQuestion = !::IsWindowEnabled(main);
            WinTestKeyPress(VK_RETURN);
            return;
        }
        if (++a->turnsAfterNotice == 1) {
            a->mainEnabledAfterNotice = ::IsWindowEnabled(main) != FALSE;
            a->activeAfterNotice = ::GetActiveWindow();
            a->questionAboveMain = Depth(a->question) > Depth(main);
            WinTestKeyPress(VK_RETURN);  // Yes, with the keyboard
        } else {
            ::PostMessageA(a->question, WM_COMMAND, IDNO, 0);  // Enter went elsewhere
        }
    }
};

}  // namespace

TEST_F(DlgBatch, AStopQuestionStillOpenWhenTheBatchEndsStaysInFrontAndAnswers) {
    Media("last.avi", 3.0);
    AddFiles("last.avi");
    SetOutputFolder(scratch / "out");
    dlg.realBoxes = true;
    AnswerAtTheEnd answer;
    answer.dlg = &dlg;
    WinTestUseRealTime(TRUE);
    WinTestSetIdleHook(&AnswerAtTheEnd::Hook, &answer);
    Start();
    Start();  // Stop: the question, open until the batch has ended on its own
    WinTestSetIdleHook(nullptr, nullptr);
    WinTestUseRealTime(FALSE);
    ASSERT_NE(answer.notice, nullptr) << "the batch did not end while the question was up";
    EXPECT_EQ(BoxesWith(kDone), 1);
    EXPECT_TRUE(answer.noticeOverQuestion);
    EXPECT_FALSE(answer.mainEnabledAfterNotice) << "the main window took input while the question was up";
    EXPECT_EQ(answer.activeAfterNotice, answer.question) << "the question lost activation";
    EXPECT_TRUE(answer.questionAboveMain) << "the question went behind the main window";
    EXPECT_EQ(answer.turnsAfterNotice, 1) << "the question did not hear Enter";
    // Answered: the main window is back in charge, and closes.
    EXPECT_TRUE(::IsWindowEnabled(dlg.GetSafeHwnd()));
    EXPECT_EQ(::GetActiveWindow(), dlg.GetSafeHwnd());
    EXPECT_EQ(dlg.GetBatchState(), BATCH_FINISHED);
    EXPECT_EQ(Cell(0, COL_STATUS), "Completed");
}
