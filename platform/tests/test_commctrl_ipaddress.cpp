// IP-address control: the address in and out, blank fields, ranges kept when the user leaves a
// field, the parent's say through IPN_FIELDCHANGED, typing that moves between fields, the change
// and focus notices of the control as a whole, and its look.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

std::vector<std::pair<int, int>> g_commands;  // (id, code) of WM_COMMAND the parent got

LRESULT CALLBACK CommandParent(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND) g_commands.emplace_back(LOWORD(w), HIWORD(w));
    return ParentProc(h, m, w, l);
}

struct IpTest : ::testing::Test {
    HWND parent = nullptr, ip = nullptr;
    std::vector<NMIPADDRESS> changes;
    int replace_with = -2;  // what the parent answers in iValue; -2 leaves it
    void SetUp() override {
        Reset();
        g_commands.clear();
        parent = MakeParent();
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CommandParent));
        OnNotify() = [this](NMHDR* nm, bool*) -> LRESULT {
            if (nm->code != IPN_FIELDCHANGED) return 0;
            auto* ipn = reinterpret_cast<NMIPADDRESS*>(nm);
            changes.push_back(*ipn);
            if (replace_with != -2) ipn->iValue = replace_with;
            return 0;
        };
        ip = CreateWindowExA(0, WC_IPADDRESSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 160, 24, parent,
                             reinterpret_cast<HMENU>(5), nullptr, nullptr);
        WinTestActivate(parent);
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    DWORD Address(int* filled = nullptr) {
        DWORD a = 0;
        int n = int(SendMessageA(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a)));
        if (filled) *filled = n;
        return a;
    }
    HWND FocusedField() {
        HWND f = GetFocus();
        return f && GetParent(f) == ip ? f : nullptr;
    }
    int FocusedIndex() {
        HWND f = FocusedField();
        return f ? GetDlgCtrlID(f) : -1;
    }
    // As typed: one key at a time, each reaching the field that has the focus by then.
    static void Type(const char* text) {
        for (const char* c = text; *c; ++c) {
            char one[2] = {*c, 0};
            WinTestText(one);
            Pump();
        }
    }
    // Pixels near colour c inside the one-pixel border.
    static int Inside(const Capture& p, COLORREF c) {
        int n = 0;
        for (int y = 1; y + 1 < p.h; ++y)
            for (int x = 1; x + 1 < p.w; ++x) n += WinTestNear(p.At(x, y), c);
        return n;
    }
    static std::string Text(HWND h) {
        char buf[16] = {};
        GetWindowTextA(h, buf, sizeof buf);
        return buf;
    }
};

TEST_F(IpTest, AddressGoesInAndOutWithBlankFieldsCounted) {
    EXPECT_TRUE(SendMessageA(ip, IPM_ISBLANK, 0, 0));
    int filled = -1;
    EXPECT_EQ(Address(&filled), 0u);
    EXPECT_EQ(filled, 0);
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
    EXPECT_FALSE(SendMessageA(ip, IPM_ISBLANK, 0, 0));
    EXPECT_EQ(Address(&filled), DWORD(MAKEIPADDRESS(192, 168, 1, 20)));
    EXPECT_EQ(filled, 4);
    EXPECT_TRUE(changes.empty());  // set by the program: no notices
    EXPECT_TRUE(g_commands.empty());

    HWND third = GetDlgItem(ip, 2);
    SetWindowTextA(third, "");
    EXPECT_EQ(Address(&filled), DWORD(MAKEIPADDRESS(192, 168, 0, 20)));
    EXPECT_EQ(filled, 3);
    SendMessageA(ip, IPM_CLEARADDRESS, 0, 0);
    EXPECT_TRUE(SendMessageA(ip, IPM_ISBLANK, 0, 0));

    EXPECT_TRUE(SendMessageA(ip, IPM_SETRANGE, 0, MAKEIPRANGE(10, 20)));
    EXPECT_FALSE(SendMessageA(ip, IPM_SETRANGE, 4, MAKEIPRANGE(0, 1)));
    EXPECT_FALSE(SendMessageA(ip, IPM_SETRANGE, 1, MAKEIPRANGE(9, 3)));
}

TEST_F(IpTest, TypingFillsFieldsAndMovesOnWhenFullOrAtADot) {
    SendMessageA(ip, IPM_SETFOCUS, 0, 0);
    EXPECT_EQ(FocusedIndex(), 0);
    Type("10.0.255");
    EXPECT_EQ(FocusedIndex(), 3);  // "255" filled the third field and moved on
    Type("7");
    int filled = 0;
    EXPECT_EQ(Address(&filled), DWORD(MAKEIPADDRESS(10, 0, 255, 7)));
    EXPECT_EQ(filled, 4);

    // Backspace at the start of a field goes back into the one before.
    SendMessageA(FocusedField(), EM_SETSEL, 0, 0);
    WinTestKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(FocusedIndex(), 2);
    WinTestKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(Text(GetDlgItem(ip, 2)), "25");

    // A dot in an empty field stays put; letters are refused.
    SendMessageA(ip, IPM_CLEARADDRESS, 0, 0);
    SendMessageA(ip, IPM_SETFOCUS, 1, 0);
    Type(".x");
    EXPECT_EQ(FocusedIndex(), 1);
    EXPECT_TRUE(SendMessageA(ip, IPM_ISBLANK, 0, 0));

    // Past the last field means the first blank one.
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(1, 2, 3, 4));
    SetWindowTextA(GetDlgItem(ip, 1), "");
    SendMessageA(ip, IPM_SETFOCUS, 9, 0);
    EXPECT_EQ(FocusedIndex(), 1);
}

TEST_F(IpTest, LeavingAFieldKeepsItsRangeAndAsksTheParent) {
    SendMessageA(ip, IPM_SETRANGE, 0, MAKEIPRANGE(10, 20));
    SendMessageA(ip, IPM_SETFOCUS, 0, 0);
    WinTestText("300");  // full: moves on, and the value comes into the range
    Pump();
    EXPECT_EQ(FocusedIndex(), 1);
    EXPECT_EQ(Text(GetDlgItem(ip, 0)), "20");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].iField, 0);
    EXPECT_EQ(changes[0].iValue, 20);
    EXPECT_EQ(changes[0].hdr.hwndFrom, ip);

    // Passing through a field without changing it says nothing.
    SendMessageA(ip, IPM_SETFOCUS, 2, 0);
    EXPECT_EQ(changes.size(), 1u);

    // The parent may put another value in.
    replace_with = 99;
    Type("5");
    SendMessageA(ip, IPM_SETFOCUS, 3, 0);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].iField, 2);
    EXPECT_EQ(changes[1].iValue, 5);
    EXPECT_EQ(Text(GetDlgItem(ip, 2)), "99");
}

TEST_F(IpTest, ParentHearsChangesAndFocusOfTheWholeControl) {
    HWND other = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 60, 80, 20, parent, reinterpret_cast<HMENU>(6),
                                 nullptr, nullptr);
    SetFocus(other);
    g_commands.clear();
    SetFocus(ip);
    EXPECT_EQ(FocusedIndex(), 0);
    Type("1.");
    EXPECT_EQ(FocusedIndex(), 1);
    SetFocus(other);
    auto count = [](int id, int code) {
        int n = 0;
        for (auto& c : g_commands) n += c.first == id && c.second == code;
        return n;
    };
    EXPECT_EQ(count(5, EN_SETFOCUS), 1);  // moving between fields is no focus change
    EXPECT_EQ(count(5, EN_KILLFOCUS), 1);
    EXPECT_EQ(count(5, EN_CHANGE), 1);
}

TEST_F(IpTest, PaintsFieldsOnTheWindowColourWithDotsAndGreysWhenDisabled) {
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(1, 2, 3, 4));
    Pump();
    COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    Capture on(ip);
    EXPECT_GT(Inside(on, window), on.w * on.h / 2);
    EXPECT_GT(Inside(on, text), 8);  // digits and dots
    EnableWindow(ip, FALSE);
    Pump();
    Capture off(ip);
    EXPECT_EQ(Inside(off, text), 0);
    EXPECT_LT(Inside(off, window), off.w * off.h / 4);
}

}  // namespace
