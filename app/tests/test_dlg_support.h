// The main dialog under test: created modeless on the test's thread, driven by injected input
// and the scripted file and folder dialogs; its message boxes and small dialogs are recorded
// and answered here instead of being shown.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PeloranDlg.h"
#include "afxtest.h"
#include "testmedia.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

namespace dlgtest {

struct Box {
    std::string text, caption;
    UINT type;
};

class TestDlg : public CPeloranDlg {
public:
    std::vector<Box> boxes;
    std::deque<int> answers;  // answers of the next boxes; IDOK once they run out
    std::vector<std::string> decoderInfo;
    int aboutShown = 0;
    int helpShown = 0;
    // Runs inside the next message box, as the user would act while it is up.
    std::function<void()> duringBox;
    // Boxes are shown for real (and still recorded); the test answers them with input.
    bool realBoxes = false;

    // Called on the UI thread after the dialog handled one of the batch's messages, while the
    // worker waits for the answer: the test acts at a known point of the batch.
    std::function<void(UINT msg, WPARAM wp, LPARAM lp, LRESULT result)> onBatchMessage;
    void RealHelp() { CPeloranDlg::ShowHelp(); }
    // The batch's stop asked for while the engine was not listening: the engine goes on.
    void StopUnheardByTheEngine() { m_nStopMode = 1; }

    // What the add showed, in order, with the rows listed by then: "decoder <path> @<rows>",
    // "box <text> @<rows>"; and whether any of it was shown off the UI thread.
    std::vector<std::string> shown;
    bool shownOffThread = false;
    // The add's probe holds each file until the test lets it go: file n (from 1) is probed
    // once n <= the files let go. When the window goes, held probes end at once.
    void HoldProbes(int n) {
        std::lock_guard<std::mutex> lock(probeMutex);
        probesLetGo = n;
        probeCv.notify_all();
    }
    int ProbesStarted() {
        std::lock_guard<std::mutex> lock(probeMutex);
        return probesStarted;
    }
    // Files whose probe says the media information could not be read.
    std::vector<std::string> noInfo;

protected:
    int ProbeFile(LPCSTR path, MediaInfo* info) override {
        {
            std::unique_lock<std::mutex> lock(probeMutex);
            int n = ++probesStarted;
            probeCv.wait(lock, [&] { return n <= probesLetGo || going; });
            if (going) return PROBE_NO_DECODER;  // the file in hand when the window went
        }
        for (const std::string& f : noInfo)
            if (f == path) return PROBE_NO_INFO;
        return CPeloranDlg::ProbeFile(path, info);
    }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESTROY) {
            std::lock_guard<std::mutex> lock(probeMutex);
            going = true;
            probeCv.notify_all();
        }
        LRESULT r = CPeloranDlg::WindowProc(msg, wp, lp);
        if (msg >= WM_BATCH_NEXTROW && msg <= WM_BATCH_FINISHED && onBatchMessage) onBatchMessage(msg, wp, lp, r);
        return r;
    }

    int ShowMessage(LPCSTR text, LPCSTR caption, UINT type) override {
        boxes.push_back(Box{text ? text : "", caption ? caption : "", type});
        Shown("box ", text);
        if (realBoxes) return CPeloranDlg::ShowMessage(text, caption, type);
        if (duringBox) {
            auto f = duringBox;
            duringBox = nullptr;
            f();
        }
        if (answers.empty()) return IDOK;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowDecoderInfo(LPCSTR path) override {
        decoderInfo.push_back(path);
        Shown("decoder ", path);
        if (realBoxes) CPeloranDlg::ShowDecoderInfo(path);
    }
    void ShowAbout() override { ++aboutShown; }
    void ShowHelp() override { ++helpShown; }

private:
    void Shown(const char* what, LPCSTR text) {
        if (std::this_thread::get_id() != uiThread) shownOffThread = true;
        shown.push_back(what + std::string(text ? text : "") + " @" + std::to_string(GetFileList().GetItemCount()));
    }
    const std::thread::id uiThread = std::this_thread::get_id();
    std::mutex probeMutex;
    std::condition_variable probeCv;
    int probesLetGo = INT_MAX;
    int probesStarted = 0;
    bool going = false;
};

inline HWND Item(CWnd& dlg, int id) {
    return ::GetDlgItem(dlg.GetSafeHwnd(), id);
}

inline void ClickCenter(HWND h) {
    // Far enough from the previous click that the two never make a double-click.
    WinTestAdvanceClock(1000);
    RECT r;
    ::GetClientRect(h, &r);
    WinTestClick(h, WINTEST_LEFT, r.right / 2, r.bottom / 2);
    WinTestPumpUntilIdle();
}

// Clicks a button of the dialog the way a user does.
inline void ClickButton(CWnd& dlg, int id) {
    ClickCenter(Item(dlg, id));
}

inline std::string WindowText(HWND h) {
    char buf[1024] = {};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

inline std::string ComboText(CWnd& dlg, int id) {
    return WindowText(Item(dlg, id));
}

// The tooltip text of one of the dialog's image buttons.
inline std::string ButtonTip(CWnd& dlg, int id) {
    auto* btn = dynamic_cast<CImageButton*>(CWnd::FromHandlePermanent(Item(dlg, id)));
    if (!btn || !btn->GetToolTipWindow()) return "<no tooltip>";
    char buf[256] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = btn->GetSafeHwnd();
    ti.uId = 1;
    ti.lpszText = buf;
    ::SendMessageA(btn->GetToolTipWindow(), TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    return buf;
}

// Handles the thread's waiting messages the way the dialog's modal loop does: each one first
// walks the pre-translation chain (where the dialog manager turns Enter and Escape into
// commands), then is dispatched.
inline void PumpAsModalLoop(CWnd& dlg) {
    MSG msg;
    for (int guard = 0; guard < 10000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (!CWnd::WalkPreTranslateTree(dlg.GetSafeHwnd(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Picks entry `index` of a drop-down list by keys: Home, then Down index times.
inline void ChooseCombo(CWnd& dlg, int id, int index) {
    ::SetFocus(Item(dlg, id));
    WinTestKeyPress(VK_HOME);
    for (int i = 0; i < index; ++i) WinTestKeyPress(VK_DOWN);
    WinTestPumpUntilIdle();
}

// The visible top-level window of the class (a popup menu's, say), or null.
inline HWND VisibleWindowOfClass(const char* cls) {
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        char name[64] = {};
        ::GetClassNameA(h, name, sizeof name);
        if (std::string(name) == cls && ::IsWindowVisible(h)) return h;
    }
    return nullptr;
}

// The tooltip control on show whose tool is the window.
inline HWND TipShownFor(HWND tool) {
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        char cls[32] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        if (std::string(cls) == TOOLTIPS_CLASSA && ::IsWindowVisible(h) &&
            ::SendMessageA(h, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) && ti.hwnd == tool)
            return h;
    }
    return nullptr;
}

// Rests the mouse on the screen point through the framework's loop until the tip's delay has
// passed; true when the tip is up then.
inline bool HoverUntilShown(POINT at, HWND* tip, HWND tool) {
    WinTestMouseMove(nullptr, at.x, at.y);
    AfxTestPumpUntilIdle();
    WinTestMouseMove(nullptr, at.x + 1, at.y);
    AfxTestPumpUntilIdle();
    for (int step = 0; step < 30; ++step) {
        *tip = TipShownFor(tool);
        if (*tip) return true;
        WinTestAdvanceClock(100);
        AfxTestPumpUntilIdle();
    }
    return false;
}

// The dialog, created and shown, with the test backend's recorders on.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CFFmpegEncoder::SetLogLevel(-1);  // the codec library's own chatter
        WinTestShellRecord(TRUE);
        WinTestShellClearRequests();
        WinTestClearScripts();
        ASSERT_TRUE(dlg.Create(IDD_PELORAN_DIALOG, nullptr));
        dlg.ShowWindow(SW_SHOW);
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        if (dlg.GetSafeHwnd()) {
            // A batch still running is stopped and finished before the window goes.
            WaitForBatchEnd();
            dlg.DestroyWindow();
        }
        WinTestPumpUntilIdle();
        WinTestClearScripts();
        WinTestShellRecord(FALSE);
    }

    HWND H(int id) { return Item(dlg, id); }
    CCellListCtrl& List() { return dlg.GetFileList(); }
    int Rows() { return List().GetItemCount(); }
    std::string Cell(int row, int col) { return std::string((LPCSTR)List().GetItemText(row, col)); }

    // Generates `name` in the scratch folder.
    std::string Media(const std::string& name, double seconds = 2.0,
                      testmedia::Kind kind = testmedia::Kind::AviMpeg4) {
        std::string path = scratch / name;
        testmedia::Options o;
        o.seconds = seconds;
        o.width = 160;
        o.height = 120;
        o.fps = 10;
        std::string err;
        EXPECT_TRUE(testmedia::Generate(kind, path, o, &err)) << err;
        return path;
    }

    // Adds files through the Add button and the (scripted) open-file dialog, and waits for the
    // add to end.
    void AddFiles(const std::string& names, const std::string& folder = "") {
        WinTestScriptOpenFile(folder.empty() ? scratch.path().c_str() : folder.c_str(), names.c_str());
        ClickButton(dlg, IDC_ADD);
        EXPECT_TRUE(WaitForAddEnd());
    }

    // Pumps the UI thread until `done` says so, at most `seconds` of real time (the worker's).
    bool PumpUntil(const std::function<bool()>& done, double seconds = 120.0) {
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            WinTestPumpUntilIdle();
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Sends a message to `hwnd` from another thread while this (the UI) thread pumps, and
    // gives its answer.
    LRESULT SendFromOtherThread(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        std::atomic<bool> answered{false};
        LRESULT result = -1;
        std::thread sender([&] {
            result = ::SendMessageA(hwnd, msg, wp, lp);
            answered = true;
        });
        EXPECT_TRUE(PumpUntil([&] { return answered.load(); }));
        sender.join();
        return result;
    }
    bool WaitForAddEnd() {
        return PumpUntil([&] { return !dlg.IsAdding(); });
    }

    // Pumps the UI thread until the batch has ended (state 5 or 0), at most `seconds`.
    bool WaitForBatchEnd(double seconds = 120.0) {
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < until) {
            WinTestPumpUntilIdle();
            int s = dlg.GetBatchState();
            if (s != BATCH_CONVERTING && s != BATCH_STOPPING) {
                WinTestPumpUntilIdle();
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    testmedia::ScratchDir scratch{"dlgtest"};
    TestDlg dlg;
};

}  // namespace dlgtest
