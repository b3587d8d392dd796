// Adding files while their probe runs on the add's worker: rows and the failures' boxes in
// the order chosen, the window answering and painting meanwhile, what it refuses to start
// until the add is over, the loading box of a slow add, and the dialog closed or destroyed
// half-way. The test holds the probe of each file until it lets it go.
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "PeloranAutomation.h"
#include "WaitInfDlg.h"
#include "test_dlg_support.h"

using namespace dlgtest;

namespace {

const char kNoInfo[] = "The media info can not be get, the file may have been destroyed.";
const char kLoading[] = "Loading media file, please wait...";

class DlgAdd : public DialogFixture {
protected:
    std::vector<std::string> Names() {
        std::vector<std::string> v;
        for (int i = 0; i < Rows(); ++i) v.push_back(Cell(i, COL_NAME));
        return v;
    }
    // Starts an add of `names` and leaves it running.
    void BeginAdd(const std::string& names) {
        WinTestScriptOpenFile(scratch.path().c_str(), names.c_str());
        ClickButton(dlg, IDC_ADD);
    }
    // A button's click as the dialog hears it, with the clock left where it is.
    void Command(int id) {
        ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(H(id)));
        WinTestPumpUntilIdle();
    }
    bool LoadingBoxShown() {
        for (HWND d : peloran_auto::VisibleDialogs(dlg.GetSafeHwnd()))
            if (peloran_auto::DialogStaticTexts(d) == kLoading) return true;
        return false;
    }
};

TEST_F(DlgAdd, RowsAndFailuresComeInTheOrderChosenWhileTheRestIsProbed) {
    Media("a.avi");
    ASSERT_TRUE(testmedia::WriteJunk(scratch / "junk.avi"));
    Media("b.avi", 3.0);
    Media("gone.avi");
    // Opens, but with no picture to tell its duration by: nothing to convert.
    ASSERT_TRUE(testmedia::WriteCutBeforeFirstFrame(Media("whole.y4m", 2.0, testmedia::Kind::Y4m),
                                                    scratch / "nodur.y4m"));
    Media("c.avi");
    dlg.noInfo.push_back(scratch / "gone.avi");
    dlg.HoldProbes(3);
    BeginAdd("a.avi\njunk.avi\nb.avi\ngone.avi\nnodur.y4m\nc.avi");
    // The first three are listed (the junk one named) while the fourth is being probed.
    ASSERT_TRUE(PumpUntil([&] { return Rows() == 2 && dlg.shown.size() == 1 && dlg.ProbesStarted() == 4; }));
    EXPECT_TRUE(dlg.IsAdding());
    dlg.HoldProbes(INT_MAX);
    ASSERT_TRUE(WaitForAddEnd());

    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi", "c.avi"}));
    EXPECT_EQ(Cell(1, COL_DURATION), "00:00:03");
    EXPECT_EQ(Cell(1, COL_SIZE), "160x120");
    EXPECT_EQ(Cell(1, COL_STATUS), "Ready");
    EXPECT_EQ(List().GetCheckbox(1, COL_CHECK), 1);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetRecord(2)->strPath), scratch / "c.avi");
    // Each failure was shown in its place among the rows, on the UI thread.
    EXPECT_EQ(dlg.shown, (std::vector<std::string>{"decoder " + scratch / "junk.avi" + " @1",
                                                    std::string("box ") + kNoInfo + " @2",
                                                    "decoder " + scratch / "nodur.y4m" + " @2"}));
    EXPECT_FALSE(dlg.shownOffThread);
    ASSERT_EQ(dlg.boxes.size(), 1u);
    EXPECT_EQ(dlg.boxes[0].caption, "Error");
    EXPECT_EQ(dlg.boxes[0].type, UINT(MB_ICONHAND));
    // The last row is current; the preview's file is the last one chosen.
    EXPECT_EQ(dlg.GetCurrentItem(), 2);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "c.avi");

    // A failing file chosen last is still the preview's file, as it always was.
    dlg.HoldProbes(INT_MAX);
    AddFiles("junk.avi");
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(dlg.GetCurrentItem(), 2);
    EXPECT_EQ(std::string((LPCSTR)dlg.GetPreviewFile()), scratch / "junk.avi");
}

TEST_F(DlgAdd, TheWindowAnswersAndPaintsButStartsNothingConflictingUntilTheAddEnds) {
    Media("a.avi");
    Media("b.avi");
    Media("c.avi");
    Media("d.avi");
    dlg.HoldProbes(2);
    BeginAdd("a.avi\nb.avi\nc.avi");
    ASSERT_TRUE(PumpUntil([&] { return Rows() == 2; }));

    // A message from another thread is answered, and an invalidated window is painted.
    EXPECT_EQ(SendFromOtherThread(List().GetSafeHwnd(), LVM_GETITEMCOUNT), 2);
    ::InvalidateRect(dlg.GetSafeHwnd(), nullptr, TRUE);
    WinTestPumpUntilIdle();
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(dlg.GetSafeHwnd(), &dirty, FALSE));

    // A second add, a batch, removing and moving rows are refused meanwhile (clicked within
    // the add's first moment, before the loading box takes the input).
    WinTestScriptOpenFile(scratch.path().c_str(), "d.avi");
    Command(IDC_ADD);
    Command(IDC_START);
    EXPECT_EQ(dlg.GetBatchState(), BATCH_IDLE);
    ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, ID_LIST_REMOVEALL, 0);
    List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    WinTestPumpUntilIdle();
    ASSERT_EQ(dlg.GetCurrentItem(), 0);
    Command(IDC_DOWN);
    Command(IDC_REMOVE);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi"}));

    dlg.HoldProbes(INT_MAX);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi", "c.avi"}));
    EXPECT_EQ(dlg.GetBatchState(), BATCH_IDLE);
    // The refused add left its choice unread; the next add reads it.
    ClickButton(dlg, IDC_ADD);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi", "c.avi", "d.avi"}));
}

TEST_F(DlgAdd, APreviewPlaysWhileTheAddedFilesAreProbed) {
    Media("clip.avi", 10.0);
    for (const char* n : {"a.avi", "b.avi", "c.avi"}) Media(n, 3.0);
    AddFiles("clip.avi");
    dlg.HoldProbes(0);
    BeginAdd("a.avi\nb.avi\nc.avi");
    // The preview opens and plays on this thread while the worker probes with the engine.
    Command(IDC_PLAYPAUSE);
    ASSERT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    dlg.HoldProbes(INT_MAX);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"clip.avi", "a.avi", "b.avi", "c.avi"}));
    EXPECT_EQ(Cell(3, COL_DURATION), "00:00:03");
    EXPECT_EQ(dlg.GetPreviewState(), PREVIEW_PLAYING);
    Command(IDC_PREVIEWSTOP);
}

TEST_F(DlgAdd, AWorkerAheadOfTheListIsListedAFewRowsATurn) {
    std::string names;
    for (int i = 0; i < 20; ++i) {
        std::string n = "f" + std::to_string(i) + ".avi";
        if (i == 0) Media(n);
        else ASSERT_EQ(::link((scratch / "f0.avi").c_str(), (scratch / n).c_str()), 0);
        names += (i ? "\n" : "") + n;
    }
    dlg.HoldProbes(0);
    BeginAdd(names);
    dlg.HoldProbes(20);
    // Every file probed before the dialog reads a single notice.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (dlg.ProbesStarted() < 20 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(Rows(), 0);
    // One turn lists a few rows and leaves the rest for later turns, other messages between.
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, dlg.GetSafeHwnd(), WM_ADD_PROBED, WM_ADD_PROBED, PM_REMOVE));
    ::DispatchMessageA(&msg);
    EXPECT_GT(Rows(), 0);
    EXPECT_LT(Rows(), 20);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(Rows(), 20);
    EXPECT_EQ(Cell(19, COL_NAME), "f19.avi");
}

// Runs inside the loading box's loop: looks at it, lets the probes go, and once the add is
// over moves the clock so that the box sees its ready flag.
struct LoadingBoxWatch {
    TestDlg* dlg = nullptr;
    HWND box = nullptr;
    std::string text;
    bool mainEnabled = true;
    bool mainPainted = false;
    int turns = 0;
    static void Hook(int loop, HWND window, void* self) {
        auto* w = static_cast<LoadingBoxWatch*>(self);
        if (loop != WINTEST_LOOP_PROGRAM) return;  // the framework's modal loop
        HWND main = w->dlg->GetSafeHwnd();
        ++w->turns;
        if (!w->box) {
            w->box = window;
            w->text = peloran_auto::DialogStaticTexts(window);
            w->mainEnabled = ::IsWindowEnabled(main) != FALSE;
            ::InvalidateRect(main, nullptr, TRUE);  // painted before the next idle turn
            return;
        }
        if (w->turns == 2) {
            RECT dirty;
            w->mainPainted = !::GetUpdateRect(main, &dirty, FALSE);
            w->dlg->HoldProbes(INT_MAX);
        }
        if (!w->dlg->IsAdding()) WinTestAdvanceClock(WAIT_TIMER_MS);
        if (w->turns > 100000) WinTestKeyPress(VK_ESCAPE);  // never left open for ever
    }
};

TEST_F(DlgAdd, ASlowAddShowsTheLoadingBoxWhichClosesWhenTheAddEnds) {
    Media("a.avi");
    Media("b.avi");
    dlg.HoldProbes(0);
    BeginAdd("a.avi\nb.avi");
    // A quick add shows no box.
    WinTestAdvanceClock(ADD_WAIT_DELAY_MS - 10);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(LoadingBoxShown());

    LoadingBoxWatch watch;
    watch.dlg = &dlg;
    WinTestSetIdleHook(&LoadingBoxWatch::Hook, &watch);
    WinTestAdvanceClock(20);
    WinTestPumpUntilIdle();  // returns when the box has closed
    WinTestSetIdleHook(nullptr, nullptr);

    ASSERT_NE(watch.box, nullptr) << "no loading box";
    EXPECT_EQ(watch.text, kLoading);
    EXPECT_FALSE(watch.mainEnabled) << "the main window took input under the loading box";
    EXPECT_TRUE(watch.mainPainted) << "the main window was not painted under the loading box";
    EXPECT_FALSE(::IsWindow(watch.box));
    EXPECT_FALSE(dlg.IsAdding());
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi"}));
    EXPECT_TRUE(::IsWindowEnabled(dlg.GetSafeHwnd()));
}

TEST_F(DlgAdd, AFailureBoxUpHoldsTheLoadingBoxBack) {
    Media("gone.avi");
    Media("a.avi");
    dlg.noInfo.push_back(scratch / "gone.avi");
    dlg.HoldProbes(1);
    // The box of the first file is up while the add's moment passes: no loading box over it.
    bool loadingOverBox = true;
    dlg.duringBox = [&] {
        WinTestAdvanceClock(ADD_WAIT_DELAY_MS + 10);
        WinTestPumpUntilIdle();
        loadingOverBox = LoadingBoxShown();
    };
    BeginAdd("gone.avi\na.avi");
    ASSERT_TRUE(PumpUntil([&] { return dlg.boxes.size() == 1; }));
    EXPECT_FALSE(loadingOverBox);
    dlg.HoldProbes(INT_MAX);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi"}));
}

// The missing-decoder box gives the keyboard back to the list, where the add put it, though
// the Add button had it when an earlier box (the open-file dialog) came over the dialog.
TEST_F(DlgAdd, TheMissingDecoderBoxGivesTheKeyboardBackToTheList) {
    auto answer = [](int, HWND) { WinTestKeyPress(VK_ESCAPE); };
    WinTestActivate(dlg.GetSafeHwnd());
    WinTestPumpUntilIdle();
    ::SetFocus(H(IDC_ADD));
    {
        WinTestIdleScript script({answer});
        ::MessageBoxA(dlg.GetSafeHwnd(), "Open", "Open", MB_OKCANCEL);
        WinTestPumpUntilIdle();
    }
    ASSERT_EQ(::GetFocus(), H(IDC_ADD));
    ASSERT_TRUE(testmedia::WriteJunk(scratch / "junk.avi"));
    dlg.realBoxes = true;
    {
        WinTestIdleScript script({answer});
        AddFiles("junk.avi");
        EXPECT_EQ(script.Left(), 0u);
    }
    dlg.realBoxes = false;
    EXPECT_EQ(dlg.decoderInfo, (std::vector<std::string>{scratch / "junk.avi"}));
    EXPECT_EQ(::GetFocus(), List().GetSafeHwnd());
}

TEST_F(DlgAdd, ClosingHalfWayStopsTheProbeAfterTheFileInHand) {
    for (const char* n : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"}) Media(n);
    dlg.HoldProbes(1);
    BeginAdd("a.avi\nb.avi\nc.avi\nd.avi\ne.avi");
    ASSERT_TRUE(PumpUntil([&] { return Rows() == 1 && dlg.ProbesStarted() == 2; }));
    WinTestCloseRequest(dlg.GetSafeHwnd());
    WinTestPumpUntilIdle();
    dlg.HoldProbes(INT_MAX);
    ASSERT_TRUE(WaitForAddEnd());
    EXPECT_EQ(dlg.ProbesStarted(), 2);
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(dlg.shown.empty());
}

TEST_F(DlgAdd, DestroyedHalfWayTheDialogWaitsForItsWorkerAndListsNothingMore) {
    for (const char* n : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"}) Media(n);
    ASSERT_TRUE(testmedia::WriteJunk(scratch / "junk.avi"));
    dlg.HoldProbes(2);
    BeginAdd("a.avi\nb.avi\njunk.avi\nc.avi\nd.avi\ne.avi");
    ASSERT_TRUE(PumpUntil([&] { return Rows() == 2 && dlg.ProbesStarted() == 3; }));
    // Going ends the junk file's probe; its result and the rest are never shown, and the
    // worker is over when the window is gone.
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.IsAdding());
    const int probed = dlg.ProbesStarted();
    WinTestPumpUntilIdle();
    EXPECT_EQ(dlg.ProbesStarted(), probed);
    EXPECT_TRUE(dlg.shown.empty());
}

}  // namespace
