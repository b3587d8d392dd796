// Driving the program from outside input, for tests only: another thread finds the program's
// windows, clicks and types into them through the platform's injected input, and answers
// the boxes that appear. Used by the end-to-end tests and, when PELORAN_AUTOMATION is set in
// the environment, by the program itself (runs on a real desktop without an input tool).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "windows.h"

namespace peloran_auto {

// --- Finding windows and reading them (any thread) ------------------------------------------
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
// The visible top-level window with that title (null when none).
HWND FindTopLevel(const char* title);
// Visible dialogs and message boxes ("#32770") other than `except`, newest last.
std::vector<HWND> VisibleDialogs(HWND except = nullptr);
// The texts of a dialog's static controls, joined by '\n'.
std::string DialogStaticTexts(HWND dialog);
// Polls `done` every 10 ms for at most `timeout_ms` (real time).
bool WaitUntil(const std::function<bool()>& done, int timeout_ms);
// The first visible dialog whose static texts or title contain `fragment`, waited for.
HWND WaitForDialog(const char* fragment, int timeout_ms, HWND except = nullptr);

// --- Input (any thread; delivered by the UI thread's message loop) --------------------------
bool ClickWindow(HWND hwnd);  // a left click at its centre
bool ClickDlgItem(HWND dialog, int id);
// Replaces an edit's text by typing: click, select all, type.
bool TypeIntoEdit(HWND edit, const char* text, int timeout_ms = 5000);
// Picks an entry of a drop-down list with the mouse and the arrow keys.
bool ChooseComboEntry(HWND combo, const char* entry, int timeout_ms = 5000);

// --- The file list (reads through the list's window messages) -------------------------------
int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);

class UiInvoker;
// The UI thread's invoker that the helpers use to see where the focus is (null: none).
void SetUiInvoker(const UiInvoker* invoker);
// The UI thread's focus window, through that invoker (null without one).
HWND UiFocus();

// Runs functions on the thread that created it (the UI thread) from any other thread; the
// call returns when the function has run. Create on the UI thread before use.
class UiInvoker {
public:
    UiInvoker();
    ~UiInvoker();
    bool Run(const std::function<void()>& fn) const;
    // The UI thread's focus window, if the UI thread answers within `timeout_ms`.
    bool Focus(UINT timeout_ms, HWND* focus) const;
    // Waits until the UI thread has handled what was posted to it and its windows are painted
    // (false when that did not happen within `timeout_ms`, real time).
    bool WaitUntilPainted(int timeout_ms) const;

private:
    HWND m_hwnd = nullptr;
    DWORD m_thread_id = 0;
    mutable std::atomic<WPARAM> m_marks{0};
};

}  // namespace peloran_auto

// The program's own automation, started from InitInstance when PELORAN_AUTOMATION=convert:
// it adds PELORAN_AUTOMATION_INPUT, sets the output folder PELORAN_AUTOMATION_OUTPUT, picks
// H.264 at 640x360, starts the batch, answers the final box, writes what it saw to
// PELORAN_AUTOMATION_REPORT (one "key: value" per line) and closes the program. With
// PELORAN_AUTOMATION_CAPTURE set it writes screen captures <prefix>_idle.png, _batch.png,
// _final.png (with the last box) and _after.png on the way, each once the windows are painted
// ("unsettled_<stage>: yes" when they never were), and "running_at_capture: yes|no" after the
// batch one. With PELORAN_AUTOMATION=observe it
// only watches, for tests that drive the program from the desktop itself: it writes the screen
// rectangles of the main dialog's controls ("control <id>: left top right bottom") and of the
// dialog itself ("window: ..."), then "main: shown", then each time one changes: the output
// folder's text and selection ("folder: ...", "folder caret: start end"), whether the settings
// are locked by a batch ("settings: locked" or "unlocked"), the id of the control with the
// focus ("focus: <id>"), the video codec's text ("video codec: ..."), the file list's rows
// ("rows: n", "name <row>: ...", "status <row>: ...") and the first row it shows ("top: n"), and
// the newest box in front ("box control <id>: ...", "box text: a | b", "box: <title>" or "none").
class PeloranAutomation {
public:
    PeloranAutomation() = default;
    ~PeloranAutomation() { Join(); }
    void StartFromEnvironment();
    void Join();

private:
    void RunConvert();
    static void RunObserve(const peloran_auto::UiInvoker& ui);
    std::thread m_thread;
    std::unique_ptr<peloran_auto::UiInvoker> m_invoker;
};
