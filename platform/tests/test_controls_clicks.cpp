// Clicks the layer simulates (BM_CLICK, dialog mnemonics, arrow keys in a radio group) reach a
// button as one WM_LBUTTONDOWN and one WM_LBUTTONUP inside it, through every subclass on it,
// so a procedure that takes over the button's press tracking sees them as a real click.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "dialog_test_support.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

using dlgtest::TemplateBuilder;

enum : WORD { kPush = 10, kCheck = 11, kRadio1 = 12, kRadio2 = 13, kRadio3 = 14 };

struct Spy {
    WNDPROC saved = nullptr;
    int downs = 0, ups = 0, outside = 0;
    bool eat = false;  // take the press over, as a skin does, instead of passing it on
};
std::map<HWND, Spy> g_spies;
std::vector<std::pair<int, int>> g_commands;  // (id, code)

LRESULT CALLBACK SpyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Spy& s = g_spies[h];
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP) {
        ++(m == WM_LBUTTONDOWN ? s.downs : s.ups);
        RECT r;
        GetClientRect(h, &r);
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        if (!PtInRect(&r, p)) ++s.outside;
        if (s.eat) return 0;
    }
    return CallWindowProcA(s.saved, h, m, w, l);
}

void SpyOn(HWND h) {
    g_spies[h].saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProc)));
}

INT_PTR CALLBACK DlgProc(HWND h, UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITDIALOG) {
        for (int id : {kPush, kCheck, kRadio1, kRadio2, kRadio3}) SpyOn(GetDlgItem(h, id));
        CheckRadioButton(h, kRadio1, kRadio3, kRadio1);
        return TRUE;
    }
    if (m == WM_COMMAND) {
        g_commands.emplace_back(LOWORD(w), HIWORD(w));
        if (LOWORD(w) == IDCANCEL) EndDialog(h, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

TemplateBuilder Buttons() {
    TemplateBuilder t(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME, 10, 10, 200, 120, "Clicks");
    t.Item(dlgtest::kButton, "&Push", kPush, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14)
        .Item(dlgtest::kButton, "&Check", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 80, 12)
        .Item(dlgtest::kButton, "One", kRadio1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 50, 60, 12)
        .Item(dlgtest::kButton, "Two", kRadio2, BS_AUTORADIOBUTTON, 10, 64, 60, 12)
        .Item(dlgtest::kButton, "Three", kRadio3, BS_AUTORADIOBUTTON, 10, 78, 60, 12)
        .Item(dlgtest::kButton, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 120, 90, 60, 14);
    return t;
}

struct Clicked {
    int downs, ups, outside;
};
Clicked Of(HWND dlg, int id) {
    Spy& s = g_spies[GetDlgItem(dlg, id)];
    return Clicked{s.downs, s.ups, s.outside};
}

void ExpectOneClick(const Clicked& c, const char* what) {
    EXPECT_EQ(c.downs, 1) << what;
    EXPECT_EQ(c.ups, 1) << what;
    EXPECT_EQ(c.outside, 0) << what << ": the point lies inside the button";
}

class Clicks : public ::testing::Test {
protected:
    void SetUp() override {
        g_spies.clear();
        g_commands.clear();
        owner_ = CreateWindowExA(0, "Static", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 400, nullptr,
                                 nullptr, nullptr, nullptr);
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DestroyWindow(owner_);
        WinTestPumpUntilIdle();
    }
    INT_PTR Run(std::vector<WinTestIdleScript::Step> steps) {
        auto t = Buttons();
        WinTestIdleScript script(std::move(steps));
        INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), owner_, DlgProc, 0);
        EXPECT_EQ(script.Overruns(), 0);
        return r;
    }
    HWND owner_ = nullptr;
};

TEST_F(Clicks, BmClickIsOneButtonDownAndUpInsideTheButton) {
    Clicked push{}, check{};
    UINT checked = 0;
    Run({[&](int, HWND dlg) {
        SendDlgItemMessageA(dlg, kPush, BM_CLICK, 0, 0);
        SendDlgItemMessageA(dlg, kCheck, BM_CLICK, 0, 0);
        push = Of(dlg, kPush);
        check = Of(dlg, kCheck);
        checked = UINT(IsDlgButtonChecked(dlg, kCheck));
        EndDialog(dlg, IDOK);
    }});
    ExpectOneClick(push, "BM_CLICK on a push button");
    ExpectOneClick(check, "BM_CLICK on a check box");
    EXPECT_EQ(checked, UINT(BST_CHECKED));
    std::vector<std::pair<int, int>> want = {{kPush, BN_CLICKED}, {kCheck, BN_CLICKED}};
    EXPECT_EQ(g_commands, want);
}

TEST_F(Clicks, AMnemonicClicksThroughTheMouseMessages) {
    Clicked check{}, push{};
    Run({[&](int, HWND) { WinTestText("c"); },
         [&](int, HWND dlg) {
             check = Of(dlg, kCheck);
             WinTestKey(VK_MENU, TRUE);
             WinTestText("p");
             WinTestKey(VK_MENU, FALSE);
         },
         [&](int, HWND dlg) {
             push = Of(dlg, kPush);
             EndDialog(dlg, IDOK);
         }});
    ExpectOneClick(check, "mnemonic of a check box");
    ExpectOneClick(push, "Alt and the mnemonic of a push button");
    std::vector<std::pair<int, int>> want = {{kCheck, BN_CLICKED}, {kPush, BN_CLICKED}};
    EXPECT_EQ(g_commands, want);
}

TEST_F(Clicks, AnArrowInARadioGroupClicksTheNextRadioButton) {
    Clicked two{}, three{};
    UINT two_checked = 0, one_checked = 1;
    Run({[&](int, HWND dlg) {
             SetFocus(GetDlgItem(dlg, kRadio1));
             WinTestKeyPress(VK_DOWN);
         },
         [&](int, HWND dlg) {
             two = Of(dlg, kRadio2);
             two_checked = UINT(IsDlgButtonChecked(dlg, kRadio2));
             one_checked = UINT(IsDlgButtonChecked(dlg, kRadio1));
             three = Of(dlg, kRadio3);
             EndDialog(dlg, IDOK);
         }});
    ExpectOneClick(two, "down arrow from the first radio button");
    EXPECT_EQ(three.downs, 0);
    EXPECT_EQ(two_checked, UINT(BST_CHECKED));
    EXPECT_EQ(one_checked, UINT(BST_UNCHECKED));
}

TEST_F(Clicks, ASubclassThatTakesThePressOverDecidesWhetherItIsAClick) {
    int clicked_while_eaten = -1;
    Clicked check{};
    Run({[&](int, HWND dlg) {
             g_spies[GetDlgItem(dlg, kCheck)].eat = true;
             SendDlgItemMessageA(dlg, kCheck, BM_CLICK, 0, 0);
             WinTestText("c");
         },
         [&](int, HWND dlg) {
             clicked_while_eaten = int(g_commands.size());
             check = Of(dlg, kCheck);
             EndDialog(dlg, IDOK);
         }});
    EXPECT_EQ(check.downs, 2);
    EXPECT_EQ(check.ups, 2);
    // The saved procedure never saw the press, so it neither checked nor notified.
    EXPECT_EQ(clicked_while_eaten, 0);
}

}  // namespace
