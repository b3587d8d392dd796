// The dialog manager: dialogs built from templates, keyboard navigation (Tab order, group
// arrows, the default button following the focus, Enter, Escape, mnemonics), the dialog
// functions that read and write control values, modal loops and message boxes answered by
// injected input, and a worker thread that talks to a modal dialog's controls.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_test_support.h"

using namespace dlgtest;

namespace {

enum { kName = 101, kCheck = 102, kRadio1 = 103, kRadio2 = 104, kRadio3 = 105, kList = 106, kCombo = 107,
       kScroll = 108, kGroup = 109, kApply = 110, kLabel = 111 };

TemplateBuilder EveryControl(DWORD extra_style = 0) {
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | extra_style, 10, 10, 220, 160,
                      "Every control");
    t.Item(kStatic, "&Name:", kLabel, SS_LEFT, 6, 8, 30, 10)
        .Item(kEdit, "initial", kName, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 40, 6, 100, 12)
        .Item(kButton, "&Check", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 6, 24, 60, 10)
        .Item(kButton, "Group", kGroup, BS_GROUPBOX, 4, 36, 90, 50)
        .Item(kButton, "Radio &1", kRadio1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 46, 60, 10)
        .Item(kButton, "Radio &2", kRadio2, BS_AUTORADIOBUTTON, 10, 58, 60, 10)
        .Item(kButton, "Radio &3", kRadio3, BS_AUTORADIOBUTTON, 10, 70, 60, 10)
        .Item(kListBox, "", kList, WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 100, 24, 60, 50)
        .Item(kComboBox, "", kCombo, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 100, 80, 60, 60)
        .Item(kScrollBar, "", kScroll, SBS_HORZ, 6, 92, 90, 10)
        .Item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 20, 140, 50, 14)
        .Item(kButton, "Cancel", IDCANCEL, WS_TABSTOP, 80, 140, 50, 14)
        .Item(kButton, "&Apply", kApply, WS_TABSTOP, 140, 140, 50, 14);
    return t;
}

std::vector<std::pair<int, int>> g_commands;  // (id, code) seen by the dialog procedure
bool g_end_on_command = false;
bool g_owner_enabled_during = true;

INT_PTR CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITDIALOG) return TRUE;
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
        g_commands.emplace_back(LOWORD(w), HIWORD(w));
        HWND owner = GetWindow(h, GW_OWNER);
        if (owner) g_owner_enabled_during = IsWindowEnabled(owner) != FALSE;
        if (g_end_on_command && HIWORD(w) == BN_CLICKED && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL))
            EndDialog(h, LOWORD(w));
        return TRUE;
    }
    return FALSE;
}

// The modeless dialog's own loop: every message goes through IsDialogMessage.
void PumpDialog(HWND dlg) {
    for (int round = 0; round < 4; ++round) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsWindow(dlg) || !IsDialogMessageA(dlg, &m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
        WinTestPumpUntilIdle();
    }
}

struct Modeless {
    HWND dlg = nullptr;
    TemplateBuilder t;
    explicit Modeless(DWORD style = WS_VISIBLE) : t(EveryControl(style)) {
        g_commands.clear();
        g_end_on_command = false;
        dlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, RecordingProc, 0);
        PumpDialog(dlg);
    }
    ~Modeless() {
        if (IsWindow(dlg)) DestroyWindow(dlg);
        WinTestPumpUntilIdle();
    }
    HWND Item(int id) const { return GetDlgItem(dlg, id); }
    DWORD Type(int id) const { return DWORD(GetWindowLongA(Item(id), GWL_STYLE)) & BS_TYPEMASK; }
    void Key(UINT vk) {
        WinTestKeyPress(vk);
        PumpDialog(dlg);
    }
};

TEST(DialogManager, TabOrderAndGroupArrowsFollowTheTemplate) {
    Modeless d;
    ASSERT_TRUE(d.dlg);
    // Classes of the items as the template named them by atom.
    char cls[32];
    GetClassNameA(d.Item(kCombo), cls, sizeof cls);
    EXPECT_STREQ(cls, "ComboBox");
    GetClassNameA(d.Item(kScroll), cls, sizeof cls);
    EXPECT_STREQ(cls, "ScrollBar");
    // WM_INITDIALOG answered TRUE: the first tab stop has the focus.
    EXPECT_EQ(GetFocus(), d.Item(kName));
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(kCheck));
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(kRadio1));
    // Arrows move within the group and check the auto radio button they land on.
    d.Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), d.Item(kRadio2));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio2), UINT(BST_CHECKED));
    d.Key(VK_DOWN);
    d.Key(VK_DOWN);  // wraps to the group's first
    EXPECT_EQ(GetFocus(), d.Item(kRadio1));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio1), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio2), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio3), UINT(BST_UNCHECKED));
    d.Key(VK_UP);  // and backwards to the last
    EXPECT_EQ(GetFocus(), d.Item(kRadio3));
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(kList));
    // Shift+Tab goes back; the radio group is entered through its checked button.
    WinTestKey(VK_SHIFT, TRUE);
    d.Key(VK_TAB);
    WinTestKey(VK_SHIFT, FALSE);
    PumpDialog(d.dlg);
    EXPECT_EQ(GetFocus(), d.Item(kRadio3));
    // A disabled or hidden control is skipped.
    EnableWindow(d.Item(kList), FALSE);
    ShowWindow(d.Item(kCombo), SW_HIDE);
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(IDOK));
    // From the last tab stop, Tab wraps to the first.
    d.Key(VK_TAB);
    d.Key(VK_TAB);
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(kName));
    EXPECT_EQ(GetNextDlgTabItem(d.dlg, d.Item(kName), TRUE), d.Item(kApply));
}

TEST(DialogManager, DefaultButtonFollowsTheFocusAndEnterPressesIt) {
    Modeless d;
    EXPECT_EQ(d.Type(IDOK), DWORD(BS_DEFPUSHBUTTON));
    // Enter from the edit presses the default button.
    d.Key(VK_RETURN);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0], std::make_pair(int(IDOK), int(BN_CLICKED)));
    // The focused push button takes the default look; the dialog's default loses it.
    SetFocus(d.Item(kApply));
    PumpDialog(d.dlg);
    EXPECT_EQ(d.Type(kApply), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(d.Type(IDOK), DWORD(BS_PUSHBUTTON));
    d.Key(VK_RETURN);
    ASSERT_EQ(g_commands.size(), 2u);
    EXPECT_EQ(g_commands[1].first, kApply);
    // Back on a non-button, the dialog's default id has the look again.
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(kName));
    EXPECT_EQ(d.Type(IDOK), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(d.Type(kApply), DWORD(BS_PUSHBUTTON));
    // DM_SETDEFID moves the default id; DM_GETDEFID reports it with DC_HASDEFID.
    SendMessageA(d.dlg, DM_SETDEFID, kApply, 0);
    EXPECT_EQ(SendMessageA(d.dlg, DM_GETDEFID, 0, 0), MAKELONG(kApply, DC_HASDEFID));
    EXPECT_EQ(d.Type(kApply), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(d.Type(IDOK), DWORD(BS_PUSHBUTTON));
    d.Key(VK_RETURN);
    ASSERT_EQ(g_commands.size(), 3u);
    EXPECT_EQ(g_commands[2].first, kApply);
    // A disabled default button is not pressed.
    EnableWindow(d.Item(kApply), FALSE);
    d.Key(VK_RETURN);
    EXPECT_EQ(g_commands.size(), 3u);
    // Escape sends IDCANCEL.
    d.Key(VK_ESCAPE);
    ASSERT_EQ(g_commands.size(), 4u);
    EXPECT_EQ(g_commands[3], std::make_pair(int(IDCANCEL), int(BN_CLICKED)));
}

TEST(DialogManager, AnOpenComboListTakesEnterAndEscapeBeforeTheDialog) {
    Modeless d;
    HWND combo = d.Item(kCombo);
    for (const char* s : {"one", "two"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetFocus(combo);
    PumpDialog(d.dlg);
    d.Key(VK_F4);
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    d.Key(VK_DOWN);
    d.Key(VK_RETURN);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    d.Key(VK_F4);
    d.Key(VK_ESCAPE);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(g_commands.empty());
    // Closed, the same keys belong to the dialog again.
    d.Key(VK_RETURN);
    d.Key(VK_ESCAPE);
    std::vector<std::pair<int, int>> want = {{IDOK, BN_CLICKED}, {IDCANCEL, BN_CLICKED}};
    EXPECT_EQ(g_commands, want);
    // Tab leaves the list box and the combo box; arrows stay inside them.
    SetFocus(d.Item(kList));
    SendMessageA(d.Item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    SendMessageA(d.Item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
    PumpDialog(d.dlg);
    d.Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), d.Item(kList));
    d.Key(VK_TAB);
    EXPECT_EQ(GetFocus(), combo);
}

TEST(DialogManager, MnemonicsClickButtonsAndLabelsFocusTheirControl) {
    Modeless d;
    SetFocus(d.Item(kCheck));
    PumpDialog(d.dlg);
    // Alt+letter.
    WinTestKey(VK_MENU, TRUE);
    WinTestKeyPress('C');
    WinTestKey(VK_MENU, FALSE);
    PumpDialog(d.dlg);
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kCheck), UINT(BST_CHECKED));
    // A plain letter works where the focused control takes no characters (a button).
    WinTestText("a");
    PumpDialog(d.dlg);
    ASSERT_FALSE(g_commands.empty());
    EXPECT_EQ(g_commands.back(), std::make_pair(int(kApply), int(BN_CLICKED)));
    WinTestText("2");
    PumpDialog(d.dlg);
    EXPECT_EQ(GetFocus(), d.Item(kRadio2));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio2), UINT(BST_CHECKED));
    // A label's mnemonic gives the focus to the control after it.
    WinTestKey(VK_MENU, TRUE);
    WinTestKeyPress('N');
    WinTestKey(VK_MENU, FALSE);
    PumpDialog(d.dlg);
    EXPECT_EQ(GetFocus(), d.Item(kName));
}

INT_PTR CALLBACK OwnFocusProc(HWND h, UINT m, WPARAM, LPARAM) {
    if (m == WM_INITDIALOG) {
        SetFocus(GetDlgItem(h, kApply));  // the procedure places the focus and answers FALSE
        return FALSE;
    }
    return FALSE;
}

TEST(DialogManager, InitialFocusCentringAndFocusKeptAcrossActivation) {
    auto t = EveryControl(WS_VISIBLE | DS_CENTER);
    HWND dlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, OwnFocusProc, 0);
    ASSERT_TRUE(dlg);
    PumpDialog(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kApply));
    // DS_CENTER with no owner: centred on the work area.
    RECT wr, work;
    GetWindowRect(dlg, &wr);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((wr.left + wr.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((wr.top + wr.bottom) / 2, (work.top + work.bottom) / 2, 1);
    // Another window takes the activation; coming back restores the control that had the focus.
    SetFocus(GetDlgItem(dlg, kCheck));
    HWND other = CreateWindowExA(0, "Static", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    SetActiveWindow(other);
    PumpDialog(dlg);
    EXPECT_NE(GetFocus(), GetDlgItem(dlg, kCheck));
    SetActiveWindow(dlg);
    PumpDialog(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kCheck));
    // IsDialogMessage leaves other windows' messages alone.
    MSG m{other, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessageA(dlg, &m));
    DestroyWindow(other);
    DestroyWindow(dlg);
    WinTestPumpUntilIdle();
}

TEST(DialogManager, ValuesAreReadAndWrittenThroughTheDialogFunctions) {
    Modeless d;
    char buf[64];
    EXPECT_EQ(GetDlgItemTextA(d.dlg, kName, buf, sizeof buf), 7u);
    EXPECT_STREQ(buf, "initial");
    EXPECT_TRUE(SetDlgItemTextA(d.dlg, kName, "renamed"));
    GetDlgItemTextA(d.dlg, kName, buf, 4);
    EXPECT_STREQ(buf, "ren");  // truncated to the buffer
    EXPECT_EQ(GetDlgItemTextA(d.dlg, 999, buf, sizeof buf), 0u);
    EXPECT_STREQ(buf, "");

    BOOL ok = FALSE;
    SetDlgItemInt(d.dlg, kName, UINT(-42), TRUE);
    EXPECT_EQ(int(GetDlgItemInt(d.dlg, kName, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    GetDlgItemInt(d.dlg, kName, &ok, FALSE);  // a sign where none is allowed
    EXPECT_FALSE(ok);
    SetDlgItemInt(d.dlg, kName, 4000000000u, FALSE);
    EXPECT_EQ(GetDlgItemInt(d.dlg, kName, &ok, FALSE), 4000000000u);
    EXPECT_TRUE(ok);
    GetDlgItemInt(d.dlg, kName, &ok, TRUE);  // beyond a signed value
    EXPECT_FALSE(ok);
    SetDlgItemTextA(d.dlg, kName, "12abc");
    EXPECT_EQ(GetDlgItemInt(d.dlg, kName, &ok, TRUE), 0u);
    EXPECT_FALSE(ok);
    SetDlgItemTextA(d.dlg, kName, "99999999999");
    GetDlgItemInt(d.dlg, kName, &ok, FALSE);
    EXPECT_FALSE(ok);

    EXPECT_TRUE(CheckDlgButton(d.dlg, kCheck, BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kCheck), UINT(BST_CHECKED));
    EXPECT_TRUE(CheckRadioButton(d.dlg, kRadio1, kRadio3, kRadio3));
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio3), UINT(BST_CHECKED));
    CheckRadioButton(d.dlg, kRadio1, kRadio3, kRadio1);
    EXPECT_EQ(IsDlgButtonChecked(d.dlg, kRadio3), UINT(BST_UNCHECKED));
    EXPECT_EQ(SendDlgItemMessageA(d.dlg, kRadio1, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Dialog units: the control rectangles and MapDialogRect agree.
    RECT r{140, 140, 190, 154};
    EXPECT_TRUE(MapDialogRect(d.dlg, &r));
    RECT wr;
    GetWindowRect(d.Item(kApply), &wr);
    MapWindowPoints(nullptr, d.dlg, reinterpret_cast<POINT*>(&wr), 2);
    EXPECT_EQ(wr.left, r.left);
    EXPECT_EQ(wr.top, r.top);
    EXPECT_EQ(wr.right, r.right);
    EXPECT_EQ(wr.bottom, r.bottom);
    EXPECT_GT(LOWORD(GetDialogBaseUnits()), 0);
    EXPECT_GT(HIWORD(GetDialogBaseUnits()), LOWORD(GetDialogBaseUnits()));
    EXPECT_FALSE(MapDialogRect(d.Item(kApply), &r));  // not a dialog
}

std::vector<std::function<void(HWND)>> g_idle_steps;  // run one per WM_ENTERIDLE
int g_idle_calls = 0;

LRESULT CALLBACK OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ENTERIDLE && w == MSGF_DIALOGBOX) {
        ++g_idle_calls;
        if (!g_idle_steps.empty()) {
            auto step = g_idle_steps.front();
            g_idle_steps.erase(g_idle_steps.begin());
            step(reinterpret_cast<HWND>(l));
        }
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND Owner() {
    static bool reg = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "DialogTestOwner";
        return RegisterClassA(&wc) != 0;
    }();
    (void)reg;
    HWND h = CreateWindowExA(0, "DialogTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 400,
                             nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    return h;
}

TEST(DialogManager, ModalDialogKeepsItsOwnerDisabledAndEndsOnEscape) {
    HWND owner = Owner();
    auto t = EveryControl();
    g_commands.clear();
    g_end_on_command = true;
    g_owner_enabled_during = true;
    WinTestKeyPress(VK_TAB);
    WinTestKeyPress(VK_ESCAPE);
    INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), owner, RecordingProc, 0);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_FALSE(g_owner_enabled_during);
    EXPECT_TRUE(IsWindowEnabled(owner));
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].first, IDCANCEL);
    // Space on the focused check box, then Enter on the default button.
    // Keys go one per idle turn, so each reaches the control that has the focus by then.
    g_commands.clear();
    g_idle_steps.clear();
    for (UINT vk : {VK_TAB, VK_SPACE, VK_TAB, VK_TAB /* past the radio group */, VK_RETURN})
        g_idle_steps.push_back([vk](HWND) { WinTestKeyPress(vk); });
    r = DialogBoxIndirectParamA(nullptr, t.Get(), owner, RecordingProc, 0);
    EXPECT_EQ(r, IDOK);
    std::vector<std::pair<int, int>> want = {{kCheck, BN_CLICKED}, {IDOK, BN_CLICKED}};
    EXPECT_EQ(g_commands, want);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST(DialogManager, DialogByResourceNameAndTheCloseBox) {
    auto t = EveryControl();
    static PLATRES_ENTRY table[1];
    table[0] = PLATRES_ENTRY{nullptr, 5, "EVERYCONTROL", 0, reinterpret_cast<const BYTE*>(t.Get()), 4096};
    PlatRegisterResources(table, 1);
    HWND owner = Owner();
    g_commands.clear();
    g_end_on_command = true;
    g_idle_steps = {[](HWND dlg) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kName));
        WinTestCloseRequest(dlg);
    }};
    INT_PTR r = DialogBoxParamA(nullptr, "EveryControl", owner, RecordingProc, 0);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(DialogBoxParamA(nullptr, "Missing", owner, RecordingProc, 0), -1);
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(77), owner, RecordingProc, 0), nullptr);
    PlatUnregisterResources(table);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST(DialogManager, MessageBoxIsAnsweredByInjectedInputAndKeepsItsText) {
    HWND owner = Owner();
    std::string text, caption;
    std::vector<std::string> buttons;
    g_idle_steps = {[&](HWND box) {
        char buf[256] = {};
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        text = buf;
        GetWindowTextA(box, buf, sizeof buf);
        caption = buf;
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
            HWND b = GetDlgItem(box, id);
            if (b) {
                GetWindowTextA(b, buf, sizeof buf);
                buttons.push_back(buf);
            }
        }
        EXPECT_NE(SendDlgItemMessageA(box, 20, STM_GETICON, 0, 0), 0);
        EXPECT_FALSE(IsWindowEnabled(GetWindow(box, GW_OWNER)));
        HWND no = GetDlgItem(box, IDNO);
        POINT c = CenterOf(no);
        WinTestClick(no, WINTEST_LEFT, c.x, c.y);
    }};
    int r = MessageBoxA(owner, "  two blanks before and after  ", nullptr, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(r, IDNO);
    EXPECT_EQ(text, "  two blanks before and after  ");
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(IsWindowEnabled(owner));

    // The second button as default answers Enter.
    WinTestKeyPress(VK_RETURN);
    EXPECT_EQ(MessageBoxA(owner, "Proceed?", "Question", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    // Escape does nothing on Yes/No; the Y mnemonic answers.
    WinTestKeyPress(VK_ESCAPE);
    WinTestText("y");
    EXPECT_EQ(MessageBoxA(owner, "Sure?", "Question", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
    // A lone OK answers Escape with IDOK; no owner is needed.
    WinTestKeyPress(VK_ESCAPE);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "", MB_OK | MB_ICONASTERISK | MB_TOPMOST), IDOK);
    // Abort/Retry/Ignore by mnemonic.
    WinTestText("i");
    EXPECT_EQ(MessageBoxA(owner, "Disk", "Disk", MB_ABORTRETRYIGNORE | MB_ICONHAND), IDIGNORE);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

std::atomic<bool> g_worker_done{false};

INT_PTR CALLBACK WorkerProc(HWND h, UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITDIALOG) {
        std::thread([h] {
            // From another thread: the UI thread answers inside its modal loop.
            SendMessageA(GetDlgItem(h, kName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("from the worker"));
            SendDlgItemMessageA(h, kCheck, BM_SETCHECK, BST_CHECKED, 0);
            LRESULT c = SendDlgItemMessageA(h, kCheck, BM_GETCHECK, 0, 0);
            SendMessageA(h, WM_COMMAND, MAKEWPARAM(c == BST_CHECKED ? IDOK : IDCANCEL, BN_CLICKED), 0);
            g_worker_done = true;
        }).detach();
        return TRUE;
    }
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
        char buf[64] = {};
        GetDlgItemTextA(h, kName, buf, sizeof buf);
        EndDialog(h, std::string(buf) == "from the worker" ? LOWORD(w) : -2);
        return TRUE;
    }
    return FALSE;
}

TEST(DialogManager, WorkerThreadChangesControlsWhileTheModalLoopRuns) {
    HWND owner = Owner();
    auto t = EveryControl();
    g_worker_done = false;
    WinTestUseRealTime(TRUE);
    INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), owner, WorkerProc, 0);
    WinTestUseRealTime(FALSE);
    EXPECT_EQ(r, IDOK);
    while (!g_worker_done) std::this_thread::yield();
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

}  // namespace
