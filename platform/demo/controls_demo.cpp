// A sample dialog with every control kind the program's windows are made of: standard
// controls, a list view with check boxes, a trackbar and a progress bar. The backend tests
// show it headless and on an X server and compare the two pictures.
//
//   controls_demo                    interactive
//   controls_demo --capture F.png    captures the screen to F.png once painted, exits
//   controls_demo --ready F [--hold-ms N]
//                                    writes F once everything is on screen, keeps it there
//                                    N ms (for an outside screenshot), exits
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commctrl.h"
#include "dialog_test_support.h"
#include "windows.h"
#include "demo_options.h"
#include "winplat_test.h"

namespace {

using dlgtest::kButton;
using dlgtest::kComboBox;
using dlgtest::kEdit;
using dlgtest::kListBox;
using dlgtest::kScrollBar;
using dlgtest::kStatic;

constexpr UINT_PTR kShownTimer = 1, kHoldTimer = 2;
constexpr WORD kList = 120, kSlider = 121, kProgress = 122;

demo::Options g_opt;

bool g_shown = false, g_failed = false;

void Fill(HWND dlg) {
    for (const char* s : {"First", "Second", "Third"}) {
        SendDlgItemMessageA(dlg, 106, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageA(dlg, 107, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    SendDlgItemMessageA(dlg, 106, LB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dlg, 107, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dlg, 102, BST_CHECKED);
    CheckDlgButton(dlg, 104, BST_CHECKED);
    SetScrollPos(GetDlgItem(dlg, 108), SB_CTL, 30, TRUE);

    HWND list = GetDlgItem(dlg, kList);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 150;
    col.pszText = const_cast<char*>("File");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    col.cx = 80;
    col.pszText = const_cast<char*>("Status");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    const char* rows[][2] = {{"holiday.avi", "Ready"}, {"concert.mkv", "Completed"}, {"lecture.mp4", "Fail"}};
    for (int i = 0; i < 3; ++i) {
        LVITEMA it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = const_cast<char*>(rows[i][0]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
        it.iSubItem = 1;
        it.pszText = const_cast<char*>(rows[i][1]);
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(&it));
        LVITEMA st{};
        st.stateMask = LVIS_STATEIMAGEMASK;
        st.state = INDEXTOSTATEIMAGEMASK(i == 1 ? 1 : 2);
        SendMessageA(list, LVM_SETITEMSTATE, WPARAM(i), reinterpret_cast<LPARAM>(&st));
    }
    SendDlgItemMessageA(dlg, kSlider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 768));
    SendDlgItemMessageA(dlg, kSlider, TBM_SETPOS, TRUE, 256);
    SendDlgItemMessageA(dlg, kProgress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(dlg, kProgress, PBM_SETPOS, 60, 0);
}

void Shown(HWND dlg) {
    if (!demo::ReportShown(g_opt)) g_failed = true;
    g_shown = true;
    if (g_opt.hold_ms > 0)
        SetTimer(dlg, kHoldTimer, UINT(g_opt.hold_ms), nullptr);
    else
        DestroyWindow(dlg);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        Fill(dlg);
        if (g_opt.automated()) SetTimer(dlg, kShownTimer, 300, nullptr);
        // Focus on a button: no blinking caret, so both screens show one picture.
        SetFocus(GetDlgItem(dlg, IDOK));
        return FALSE;
    case WM_TIMER:
        KillTimer(dlg, wp);
        if (wp == kShownTimer) Shown(dlg);
        if (wp == kHoldTimer) DestroyWindow(dlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(dlg);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    if (!demo::ParseOptions(argc, argv, &g_opt)) return 2;
    InitCommonControls();

    dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE, 20, 20,
                               240, 230, "Every control");
    t.Item(kStatic, "&Name:", 100, SS_LEFT, 6, 8, 30, 10)
        .Item(kEdit, "Some text", 101, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 40, 6, 100, 12)
        .Item(kButton, "&Check", 102, BS_AUTOCHECKBOX | WS_TABSTOP, 6, 24, 60, 10)
        .Item(kButton, "Group", 109, BS_GROUPBOX, 4, 36, 90, 50)
        .Item(kButton, "Radio &1", 103, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 46, 60, 10)
        .Item(kButton, "Radio &2", 104, BS_AUTORADIOBUTTON, 10, 58, 60, 10)
        .Item(kListBox, "", 106, WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 150, 6, 80, 50)
        .Item(kComboBox, "", 107, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 150, 62, 80, 60)
        .Item(kScrollBar, "", 108, SBS_HORZ, 6, 92, 90, 10)
        .Item(kStatic, "", 111, SS_BLACKRECT, 110, 92, 20, 10)
        .Item(0, "", kList, WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, 6, 108, 228, 56, WC_LISTVIEWA)
        .Item(0, "", kSlider, WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 6, 168, 110, 14, TRACKBAR_CLASSA)
        .Item(0, "", kProgress, PBS_SMOOTH, 124, 170, 110, 10, PROGRESS_CLASSA)
        .Item(kStatic, "", 110, SS_ETCHEDHORZ, 6, 190, 228, 2)
        .Item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 120, 206, 50, 14)
        .Item(kButton, "Cancel", IDCANCEL, WS_TABSTOP, 180, 206, 50, 14);
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, DialogProc, 0);
    if (!dlg) return 1;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(dlg) && IsDialogMessageA(dlg, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_opt.automated() && (!g_shown || g_failed)) return 1;
    return 0;
}
