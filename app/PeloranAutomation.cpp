#include "PeloranAutomation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "commctrl.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

namespace peloran_auto {

namespace {

const char* const kMainTitle = "Velmora Corvane";
const int kIdList = 1002, kIdStart = 1004, kIdAdd = 1005, kIdFolder = 1006;
const int kIdVideoCodec = 1019, kIdFrameSize = 1013;
const UINT kInvokeMessage = WM_APP + 0x3A1, kFocusMessage = WM_APP + 0x3A2, kMarkMessage = WM_APP + 0x3A3;
// The last mark the UI thread took from its queue.
std::atomic<WPARAM> g_mark_taken{0};

LRESULT CALLBACK InvokerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kInvokeMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        return 1;
    }
    // Only a handle comes back: a question whose asker stopped waiting leaves nothing to dangle.
    if (msg == kFocusMessage) return reinterpret_cast<LRESULT>(GetFocus());
    if (msg == kMarkMessage) {
        g_mark_taken = wp;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM lp) {
    auto* out = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(lp);
    if (hwnd != out->first && IsWindowVisible(hwnd) && ClassName(hwnd) == "#32770") out->second.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectStatics(HWND hwnd, LPARAM lp) {
    auto* out = reinterpret_cast<std::string*>(lp);
    if (ClassName(hwnd) == "Static") {
        std::string t = WindowText(hwnd);
        if (!t.empty()) {
            if (!out->empty()) *out += '\n';
            *out += t;
        }
    }
    return TRUE;
}

void Sleep10() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }

}  // namespace

namespace {
std::atomic<const UiInvoker*> g_invoker{nullptr};
}

void SetUiInvoker(const UiInvoker* invoker) { g_invoker = invoker; }

HWND UiFocus() {
    const UiInvoker* ui = g_invoker;
    HWND focus = nullptr;
    if (ui) ui->Run([&] { focus = GetFocus(); });
    return focus;
}

std::string WindowText(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) return std::string();
    LRESULT n = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return std::string();
    std::vector<char> buf(size_t(n) + 2, 0);
    SendMessageA(hwnd, WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
    return buf.data();
}

std::string ClassName(HWND hwnd) {
    char buf[128] = {};
    if (!hwnd || GetClassNameA(hwnd, buf, sizeof buf) <= 0) return std::string();
    return buf;
}

HWND FindTopLevel(const char* title) {
    HWND h = FindWindowA(nullptr, title);
    return h && IsWindowVisible(h) ? h : nullptr;
}

std::vector<HWND> VisibleDialogs(HWND except) {
    std::pair<HWND, std::vector<HWND>> found{except, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

std::string DialogStaticTexts(HWND dialog) {
    std::string out;
    if (dialog) EnumChildWindows(dialog, CollectStatics, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep10();
    }
}

HWND WaitForDialog(const char* fragment, int timeout_ms, HWND except) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND d : VisibleDialogs(except)) {
                if (WindowText(d).find(fragment) != std::string::npos ||
                    DialogStaticTexts(d).find(fragment) != std::string::npos) {
                    found = d;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
    return found;
}

bool ClickWindow(HWND hwnd) {
    RECT r;
    if (!hwnd || !GetClientRect(hwnd, &r)) return false;
    return WinTestClick(hwnd, WINTEST_LEFT, (r.right - r.left) / 2, (r.bottom - r.top) / 2) != FALSE;
}

bool ClickDlgItem(HWND dialog, int id) { return ClickWindow(GetDlgItem(dialog, id)); }

// Input goes to the window that has the focus when the layer delivers it, so each step waits
// for the effect of the one before.
bool TypeIntoEdit(HWND edit, const char* text, int timeout_ms) {
    if (!edit) return false;
    ClickWindow(edit);
    if (!WaitUntil([&] { return UiFocus() == edit; }, timeout_ms)) return false;
    WinTestKeyPress(VK_END);
    size_t old = WindowText(edit).size();
    for (size_t i = 0; i < old; ++i) WinTestKeyPress(VK_BACK);
    WinTestText(text);
    return WaitUntil([&] { return WindowText(edit) == text; }, timeout_ms);
}

bool ChooseComboEntry(HWND combo, const char* entry, int timeout_ms) {
    if (!combo) return false;
    LRESULT want = SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(entry));
    if (want < 0) return false;
    auto current = [&] { return SendMessageA(combo, CB_GETCURSEL, 0, 0); };
    auto dropped = [&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    if (current() == want) return true;
    // Open the list on the face (the top of the window: a combo's window may be as tall as
    // its list), walk to the entry, take it.
    RECT r;
    GetWindowRect(combo, &r);
    int h = r.bottom - r.top;
    WinTestClick(combo, WINTEST_LEFT, (r.right - r.left) / 2, h / 2 < 10 ? h / 2 : 10);
    if (!WaitUntil(dropped, timeout_ms)) return false;
    while (current() != want) {
        LRESULT before = current();
        WinTestKeyPress(before < want ? VK_DOWN : VK_UP);
        if (!WaitUntil([&] { return current() != before; }, timeout_ms)) return false;
    }
    WinTestKeyPress(VK_RETURN);
    return WaitUntil([&] { return !dropped() && current() == want; }, timeout_ms);
}

int ListRowCount(HWND list) { return list ? int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0; }

std::string ListCellText(HWND list, int row, int column) {
    char buf[512] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    if (!list) return std::string();
    SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

UiInvoker::UiInvoker() {
    static const char* const kClass = "PeloranUiInvoker";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = InvokerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);  // a second registration fails harmlessly
    m_hwnd = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    m_thread_id = GetCurrentThreadId();
}

UiInvoker::~UiInvoker() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

bool UiInvoker::Run(const std::function<void()>& fn) const {
    return m_hwnd && SendMessageA(m_hwnd, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&fn)) == 1;
}

bool UiInvoker::Focus(UINT timeout_ms, HWND* focus) const {
    DWORD_PTR got = 0;
    if (!m_hwnd || !SendMessageTimeoutA(m_hwnd, kFocusMessage, 0, 0, SMTO_BLOCK, timeout_ms, &got)) return false;
    *focus = reinterpret_cast<HWND>(got);
    return true;
}

// Posted work comes before painting in the UI thread's queue: once a mark posted behind it is
// taken, what that work invalidated is either painted or still waiting, and the layer says which.
bool UiInvoker::WaitUntilPainted(int timeout_ms) const {
    if (!m_hwnd) return false;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    auto left = [&] {
        return int(std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
    };
    while (left() > 0) {
        const WPARAM mark = ++m_marks;
        if (!PostMessageA(m_hwnd, kMarkMessage, mark, 0)) return false;
        if (!WaitUntil([&] { return g_mark_taken == mark; }, left())) return false;
        if (!WinTestPaintPending(m_thread_id)) return true;
        Sleep10();
    }
    return false;
}

}  // namespace peloran_auto

// ---- the program's own automation ----------------------------------------------------------

using namespace peloran_auto;

void PeloranAutomation::StartFromEnvironment() {
    const char* mode = std::getenv("PELORAN_AUTOMATION");
    if (mode && std::strcmp(mode, "observe") == 0) {
        // Input comes from the desktop; nothing here touches the windows.
        m_invoker.reset(new UiInvoker);
        const UiInvoker* ui = m_invoker.get();
        m_thread = std::thread([ui] { RunObserve(*ui); });
        return;
    }
    if (!mode || std::strcmp(mode, "convert") != 0) return;
    // Waits run on real time, under the headless backend too.
    WinTestUseRealTime(TRUE);
    m_invoker.reset(new UiInvoker);
    SetUiInvoker(m_invoker.get());
    m_thread = std::thread([this] { RunConvert(); });
}

namespace {

BOOL CALLBACK ReportControlRect(HWND hwnd, LPARAM lp) {
    RECT r;
    if (GetWindowRect(hwnd, &r))
        *reinterpret_cast<std::ofstream*>(lp) << "control " << GetDlgCtrlID(hwnd) << ": " << r.left << " " << r.top
                                               << " " << r.right << " " << r.bottom << "\n";
    return TRUE;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

// The observe mode's watcher. Everything it asks of the windows is asked with a time limit:
// the UI thread waits for this thread once the dialog has ended, and a message sent just then
// would never be answered. The answers land in buffers of its own, which outlive a receiver
// that answers after the asker gave up.
class Observer {
public:
    Observer(const char* path, HWND main, const UiInvoker& ui)
        : m_out(path && *path ? path : "/dev/null"), m_main(main), m_ui(ui) {}

    // Where the dialog and its controls are on the screen.
    void Start() {
        EnumChildWindows(m_main, ReportControlRect, reinterpret_cast<LPARAM>(&m_out));
        RECT r{};
        GetWindowRect(m_main, &r);
        m_out << "window: " << RectText(r) << "\n";
        Say("main", "shown");
    }

    void Look() {
        HWND folder = GetDlgItem(m_main, kIdFolder);
        if (Ask(folder, WM_GETTEXT, sizeof m_text, reinterpret_cast<LPARAM>(m_text))) Say("folder", m_text);
        DWORD_PTR sel = 0;
        if (Ask(folder, EM_GETSEL, 0, 0, &sel))
            Say("folder caret", std::to_string(LOWORD(sel)) + " " + std::to_string(HIWORD(sel)));
        // The settings are locked while a batch runs.
        Say("settings", IsWindowEnabled(folder) ? "unlocked" : "locked");
        HWND focus = nullptr;
        if (m_ui.Focus(200, &focus)) Say("focus", std::to_string(focus ? GetDlgCtrlID(focus) : 0));
        if (Ask(GetDlgItem(m_main, kIdVideoCodec), WM_GETTEXT, sizeof m_text, reinterpret_cast<LPARAM>(m_text)))
            Say("video codec", m_text);
        LookAtList();
        LookAtBox();
    }

private:
    bool Ask(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr) {
        DWORD_PTR got = 0;
        if (!hwnd || !SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_BLOCK, 200, &got)) return false;
        if (result) *result = got;
        return true;
    }

    // Each key once, and again each time its value changes.
    void Say(const std::string& key, const std::string& value) {
        auto it = m_said.find(key);
        if (it != m_said.end() && it->second == value) return;
        m_said[key] = value;
        m_out << key << ": " << value << "\n";
        m_out.flush();
    }

    // The rows of the file list and the status column of each.
    void LookAtList() {
        HWND list = GetDlgItem(m_main, kIdList);
        DWORD_PTR rows = 0;
        if (!Ask(list, LVM_GETITEMCOUNT, 0, 0, &rows)) return;
        Say("rows", std::to_string(rows));
        // Where the first row is on the screen, for clicks on rows; said before the top row, so
        // that whoever sees a new top finds where the rows are with it.
        m_rect = RECT{LVIR_BOUNDS, 0, 0, 0};
        if (rows && Ask(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&m_rect))) {
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&m_rect), 2);
            Say("row 0", RectText(m_rect));
        }
        DWORD_PTR top = 0;
        if (Ask(list, LVM_GETTOPINDEX, 0, 0, &top)) Say("top", std::to_string(top));
        // The row the list shows selected (-1: none).
        DWORD_PTR selected = 0;
        if (Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED, &selected))
            Say("selected", std::to_string(int(LRESULT(selected))));
        for (DWORD_PTR row = 0; row < rows; ++row) {
            if (Cell(list, row, 1)) Say("name " + std::to_string(row), m_cell);
            if (Cell(list, row, 4)) Say("status " + std::to_string(row), m_cell);
        }
    }

    bool Cell(HWND list, DWORD_PTR row, int column) {
        m_item = LVITEMA{};
        m_item.iSubItem = column;
        m_item.pszText = m_cell;
        m_item.cchTextMax = sizeof m_cell;
        m_cell[0] = 0;
        return Ask(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&m_item));
    }

    // The newest box or small dialog in front of the main dialog: its title, its texts and
    // where its controls are (written before its title, so whoever sees the title finds them).
    void LookAtBox() {
        std::vector<HWND> boxes = VisibleDialogs(m_main);
        HWND box = boxes.empty() ? nullptr : boxes.front();  // the windows come front to back
        if (!box) {
            Say("box", "none");
            return;
        }
        std::string texts;
        EnumChildWindows(box, CollectBoxTexts, reinterpret_cast<LPARAM>(this));
        for (const std::string& t : m_box_texts) texts += (texts.empty() ? "" : " | ") + t;
        m_box_texts.clear();
        if (!Ask(box, WM_GETTEXT, sizeof m_text, reinterpret_cast<LPARAM>(m_text))) return;
        const std::string title = m_text;
        for (const auto& c : m_box_controls) Say("box control " + std::to_string(c.first), RectText(c.second));
        m_box_controls.clear();
        for (const auto& f : m_box_fields) Say("box field " + std::to_string(f.first), f.second);
        m_box_fields.clear();
        Say("box text", texts);
        Say("box", title);
    }

    static BOOL CALLBACK CollectBoxTexts(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<Observer*>(lp);
        RECT r;
        // Texts without an id of their own (IDC_STATIC) share one key: told apart they are not,
        // and reported in turn they would rewrite it on every look.
        const int id = GetDlgCtrlID(hwnd);
        if (id != 0xFFFF && id != -1 && GetWindowRect(hwnd, &r)) self->m_box_controls.emplace_back(id, r);
        if (ClassName(hwnd) == "Static" && self->Ask(hwnd, WM_GETTEXT, sizeof self->m_text,
                                                     reinterpret_cast<LPARAM>(self->m_text)) &&
            self->m_text[0])
            self->m_box_texts.push_back(self->m_text);
        // Read-only fields show what the box has taken in (a dialog's current folder, say).
        else if (ClassName(hwnd) == "Edit" && (GetWindowLongA(hwnd, GWL_STYLE) & ES_READONLY) &&
                 self->Ask(hwnd, WM_GETTEXT, sizeof self->m_text, reinterpret_cast<LPARAM>(self->m_text)))
            self->m_box_fields.emplace_back(id, self->m_text);
        return TRUE;
    }

    std::ofstream m_out;
    HWND m_main;
    const UiInvoker& m_ui;
    std::map<std::string, std::string> m_said;
    std::vector<std::pair<int, RECT>> m_box_controls;
    std::vector<std::string> m_box_texts;
    std::vector<std::pair<int, std::string>> m_box_fields;
    char m_text[1024] = {};
    char m_cell[512] = {};
    LVITEMA m_item{};
    RECT m_rect{};
};

}  // namespace

void PeloranAutomation::RunObserve(const UiInvoker& ui) {
    const char* path = std::getenv("PELORAN_AUTOMATION_REPORT");
    HWND main = nullptr;
    if (!WaitUntil([&] { return (main = FindTopLevel(kMainTitle)) != nullptr; }, 30000)) return;
    Observer watch(path, main, ui);
    watch.Start();
    // What the user did to the dialog, as it changes, until the dialog is gone.
    for (; IsWindow(main); Sleep10()) watch.Look();
}

void PeloranAutomation::Join() {
    if (m_thread.joinable()) m_thread.join();
    if (m_invoker) {
        SetUiInvoker(nullptr);
        m_invoker.reset();
    }
}

void PeloranAutomation::RunConvert() {
    auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    std::string input = env("PELORAN_AUTOMATION_INPUT");
    std::string output = env("PELORAN_AUTOMATION_OUTPUT");
    std::string capture = env("PELORAN_AUTOMATION_CAPTURE");
    std::ofstream report(env("PELORAN_AUTOMATION_REPORT").empty() ? "/dev/null" : env("PELORAN_AUTOMATION_REPORT"));
    auto say = [&](const std::string& key, const std::string& value) {
        report << key << ": " << value << "\n";
        report.flush();
    };
    auto shot = [&](const char* stage) {
        if (capture.empty()) return;
        // Taken once the windows show their state, however slow the machine.
        if (!m_invoker->WaitUntilPainted(60000)) say(std::string("unsettled_") + stage, "yes");
        std::string path = capture + "_" + stage + ".png";
        say(std::string("capture_") + stage, WinTestCaptureScreenPng(path.c_str()) ? path : "failed");
    };

    HWND main = nullptr;
    WaitUntil([&] { return (main = FindTopLevel(kMainTitle)) != nullptr; }, 30000);
    if (!main) {
        say("error", "the main dialog did not appear");
        return;
    }
    say("main", "shown");
    // Where everything is, for whoever checks the captures.
    EnumChildWindows(main, ReportControlRect, reinterpret_cast<LPARAM>(&report));
    RECT frame{};
    GetWindowRect(main, &frame);
    report << "window: " << frame.left << " " << frame.top << " " << frame.right << " " << frame.bottom << "\n";
    report.flush();
    HWND list = GetDlgItem(main, kIdList);
    shot("idle");

    auto finish = [&](const char* error) {
        if (error) say("error", error);
        for (HWND d : VisibleDialogs(main)) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        WinTestCloseRequest(main);
        say("closed", "requested");
    };

    WinTestScriptOpenFile(nullptr, input.c_str());
    ClickDlgItem(main, kIdAdd);
    // Added once the row is there and the loading box (if a slow probe brought it up) is gone;
    // any other box means the file was refused.
    auto added = [&] { return ListRowCount(list) >= 1 && IsWindowEnabled(main); };
    auto refused = [&] {
        for (HWND d : VisibleDialogs(main))
            if (DialogStaticTexts(d).find("Loading media file") == std::string::npos) return true;
        return false;
    };
    if (!WaitUntil([&] { return added() || refused(); }, 60000) || !added())
        return finish("the file was not added");
    say("added", ListCellText(list, 0, 1));

    if (!TypeIntoEdit(GetDlgItem(main, kIdFolder), output.c_str())) return finish("the output folder was not typed");
    if (!ChooseComboEntry(GetDlgItem(main, kIdVideoCodec), "h264")) return finish("h264 was not chosen");
    if (!ChooseComboEntry(GetDlgItem(main, kIdFrameSize), "640x360")) return finish("640x360 was not chosen");
    say("settings", "h264 640x360");

    ClickDlgItem(main, kIdStart);
    bool progressed = WaitUntil(
        [&] {
            // The row reads "Ready" until its file is done; the settings are locked while it runs.
            std::string s = ListCellText(list, 0, 4);
            return s != "Ready" || !IsWindowEnabled(GetDlgItem(main, kIdFolder)) || !VisibleDialogs(main).empty();
        },
        30000);
    say("started", progressed ? "yes" : "no");
    shot("batch");
    // Whether the batch still ran when it was captured: settings locked, no box yet.
    say("running_at_capture",
        !IsWindowEnabled(GetDlgItem(main, kIdFolder)) && VisibleDialogs(main).empty() ? "yes" : "no");

    HWND box = WaitForDialog("Mission accomplished!", 600000, main);
    if (!box) return finish("the batch did not end");
    say("final_box", DialogStaticTexts(box));
    shot("final");
    ClickDlgItem(box, IDOK);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
    say("status", ListCellText(list, 0, 4));
    shot("after");
    finish(nullptr);
}
