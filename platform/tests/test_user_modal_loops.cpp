// The test interface's hold on modal loops and leaks: the idle hook scripts menus, dialogs
// and message boxes (nested ones too), and the live-object counters follow what is made and
// freed while leaving the layer's own shared objects out.
#include <gtest/gtest.h>

#include <vector>

#include "dialog_test_support.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

using dlgtest::TemplateBuilder;

constexpr WORD kAsk = 300;

HWND TopWindow() {
    HWND h = CreateWindowExA(0, "Static", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    return h;
}

TemplateBuilder AskingDialog() {
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME, 10, 10, 160, 80, "Ask");
    t.Item(dlgtest::kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 50, 50, 14)
        .Item(dlgtest::kButton, "&Ask", kAsk, BS_PUSHBUTTON | WS_TABSTOP, 70, 50, 50, 14);
    return t;
}

int g_answer = 0;

INT_PTR CALLBACK AskingProc(HWND h, UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITDIALOG) return TRUE;
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
        if (LOWORD(w) == kAsk) {
            g_answer = MessageBoxA(h, "Really?", "Ask", MB_YESNO);
            return TRUE;
        }
        EndDialog(h, LOWORD(w));
        return TRUE;
    }
    return FALSE;
}

void ClickCentre(HWND ctl) {
    RECT r;
    GetClientRect(ctl, &r);
    WinTestClick(ctl, WINTEST_LEFT, r.right / 2, r.bottom / 2);
}

struct Seen {
    int loop;
    HWND window;
};

TEST(ModalLoops, TheIdleHookScriptsADialogAndTheMessageBoxItOpens) {
    HWND owner = TopWindow();
    auto t = AskingDialog();
    std::vector<Seen> seen;
    g_answer = 0;
    WinTestIdleScript script({
        [&](int loop, HWND w) {
            seen.push_back({loop, w});
            ClickCentre(GetDlgItem(w, kAsk));
        },
        [&](int loop, HWND w) {
            seen.push_back({loop, w});
            EXPECT_NE(GetDlgItem(w, IDYES), nullptr);
            WinTestText("n");
        },
        [&](int loop, HWND w) {
            seen.push_back({loop, w});
            ClickCentre(GetDlgItem(w, IDOK));
        },
    });
    INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), owner, AskingProc, 0);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(g_answer, IDNO);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].loop, WINTEST_LOOP_DIALOG);
    EXPECT_EQ(seen[1].loop, WINTEST_LOOP_MESSAGEBOX);
    EXPECT_EQ(seen[2].loop, WINTEST_LOOP_DIALOG);
    EXPECT_EQ(seen[0].window, seen[2].window);  // back in the same dialog's loop
    EXPECT_NE(seen[0].window, seen[1].window);
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(script.Overruns(), 0);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST(ModalLoops, AMenuIsScriptedFromItsOwnLoopAndSeesItsWindow) {
    HWND owner = TopWindow();
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 11, "&First");
    AppendMenuA(m, MF_STRING, 12, "&Second");
    int loop_seen = -1;
    WinTestIdleScript script({[&](int loop, HWND) {
        loop_seen = loop;
        WinTestKeyPress(VK_DOWN);
        WinTestKeyPress(VK_DOWN);
        WinTestKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 60, 60, 0, owner, nullptr), 12);
    EXPECT_EQ(loop_seen, WINTEST_LOOP_MENU);
    DestroyMenu(m);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST(ModalLoops, AScriptThatRunsOutEndsTheLoopWithEscapeAndSaysSo) {
    HWND owner = TopWindow();
    auto t = AskingDialog();
    WinTestIdleScript script({});
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.Get(), owner, AskingProc, 0), IDCANCEL);
    EXPECT_EQ(script.Overruns(), 1);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST(ModalLoops, TheProgramsOwnLoopIsIdleToo) {
    HWND owner = TopWindow();
    SetActiveWindow(owner);
    int loop_seen = -1;
    HWND window_seen = nullptr;
    int turns = 0;
    WinTestIdleScript script({
        [&](int loop, HWND w) {
            loop_seen = loop;
            window_seen = w;
            ++turns;
            // A timer coming due on the hand-driven clock is what the loop wakes for.
            SetTimer(owner, 5, 100, nullptr);
            WinTestAdvanceClock(100);
        },
        [&](int, HWND) {
            ++turns;
            PostQuitMessage(3);
        },
    });
    MSG msg;
    int timers = 0;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER) {
            ++timers;
            KillTimer(owner, 5);
        }
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(timers, 1);
    EXPECT_EQ(turns, 2);
    EXPECT_EQ(loop_seen, WINTEST_LOOP_PROGRAM);
    EXPECT_EQ(window_seen, owner);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

// ---- live objects ----

int Live(int kind) { return WinTestLiveCount(kind); }

TEST(LiveCounts, EachKindCountsWhatIsMadeAndFreed) {
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_KINDS), -1);
    const WinTestLiveCounts base = WinTestLiveCounts::Now();

    HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
    HBRUSH br = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    LOGFONTA lf{};
    lf.lfHeight = -12;
    HFONT font = CreateFontIndirectA(&lf);
    HRGN rgn = CreateRectRgn(0, 0, 5, 5);
    HDC mem = CreateCompatibleDC(nullptr);
    BYTE mask_bits[16] = {};  // 8 rows of one 16-bit word each
    ICONINFO ii{TRUE, 0, 0, CreateBitmap(8, 8, 1, 1, mask_bits), nullptr};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmMask);
    HWND h = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetPropA(h, "one", reinterpret_cast<HANDLE>(1));
    SetPropA(h, "two", reinterpret_cast<HANDLE>(2));
    SetTimer(h, 1, 100, nullptr);
    HHOOK hook = SetWindowsHookExA(
        WH_CALLWNDPROC, [](int c, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, c, w, l); }, nullptr,
        GetCurrentThreadId());
    HDC wdc = GetDC(h);

    WinTestLiveCounts now = WinTestLiveCounts::Now();
    const int want[WINTEST_LIVE_KINDS] = {1, 1, 1, 1, 1, 0, 1, 2, 1, 2, 1, 1};
    for (int k = 0; k < WINTEST_LIVE_KINDS; ++k) EXPECT_EQ(now.n[k] - base.n[k], want[k]) << "kind " << k;

    ReleaseDC(h, wdc);
    EXPECT_EQ(Live(WINTEST_LIVE_DC), base.n[WINTEST_LIVE_DC] + 1);
    UnhookWindowsHookEx(hook);
    // A window takes its properties and timers with it.
    DestroyWindow(h);
    DestroyIcon(icon);
    DeleteDC(mem);
    for (HGDIOBJ o : {HGDIOBJ(bm), HGDIOBJ(br), HGDIOBJ(pen), HGDIOBJ(font), HGDIOBJ(rgn)}) DeleteObject(o);
    now = WinTestLiveCounts::Now();
    EXPECT_EQ(now, base) << now.ChangesFrom(base);
}

TEST(LiveCounts, SharedObjectsOfTheLayerAreNotLeaks) {
    WinTestPumpUntilIdle();
    const WinTestLiveCounts base = WinTestLiveCounts::Now();
    // Stock objects, system colour brushes and stock icons are the layer's to keep...
    GetStockObject(DEFAULT_GUI_FONT);
    GetSysColorBrush(COLOR_INFOBK);
    HICON stock = LoadIconA(nullptr, IDI_QUESTION);
    // ...and so are the fonts it makes for captions and menus the first time it paints them.
    HWND h = CreateWindowExA(0, "Static", "Caption", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "&File");
    SetMenu(h, bar);
    WinTestPumpUntilIdle();
    DestroyWindow(h);
    WinTestPumpUntilIdle();
    // Destroying a shared icon keeps it for its other users.
    EXPECT_TRUE(DestroyIcon(stock));
    ICONINFO ii{};
    EXPECT_TRUE(GetIconInfo(stock, &ii));
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    EXPECT_EQ(LoadIconA(nullptr, IDI_QUESTION), stock);
    WinTestLiveCounts now = WinTestLiveCounts::Now();
    EXPECT_EQ(now, base) << now.ChangesFrom(base);
    // A counter that moved is named in the message.
    DeleteObject(CreateSolidBrush(0));
    WinTestLiveCounts moved = base;
    moved.n[WINTEST_LIVE_FONT] += 1;
    EXPECT_EQ(moved.ChangesFrom(base), "fonts " + std::to_string(base.n[WINTEST_LIVE_FONT]) + " -> " +
                                           std::to_string(base.n[WINTEST_LIVE_FONT] + 1));
}

}  // namespace
