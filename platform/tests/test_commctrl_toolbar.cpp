// The tool bar: buttons and their states, the layout of buttons, separators and rows, clicks
// that become commands, check buttons and groups, drop-downs, the hot button of a flat bar,
// texts from strings and pointers, hit tests, and the look of raised, sunken and flat buttons.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

std::vector<WPARAM> g_commands;

LRESULT CALLBACK CommandProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND) {
        g_commands.push_back(w);
        return 0;
    }
    return ParentProc(h, m, w, l);
}

TBBUTTON Btn(int image, int command, BYTE style = BTNS_BUTTON, BYTE state = TBSTATE_ENABLED, INT_PTR text = -1) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = state;
    b.fsStyle = style;
    b.iString = text;
    return b;
}

struct ToolbarFixture : ::testing::Test {
    HWND parent = nullptr, bar = nullptr;
    HIMAGELIST images = nullptr;
    void SetUp() override {
        Reset();
        g_commands.clear();
        parent = MakeParent(400, 300);
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CommandProc));
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        if (images) ImageList_Destroy(images);
        Pump();
    }
    HWND Make(DWORD style = 0) {
        bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(4), nullptr, nullptr);
        SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        return bar;
    }
    // Four red 16x15 images.
    void GiveImages() {
        images = ImageList_Create(16, 15, ILC_COLOR32, 4, 1);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bm = CreateCompatibleBitmap(screen, 64, 15);
        HGDIOBJ old = SelectObject(mem, bm);
        RECT all{0, 0, 64, 15};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(mem, &all, red);
        DeleteObject(red);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        ImageList_Add(images, bm, nullptr);
        DeleteObject(bm);
        SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    }
    // Open, a separator, Bold (check), Left and Right (a check group).
    void Standard() {
        TBBUTTON b[] = {Btn(0, 101), Btn(0, 0, BTNS_SEP), Btn(1, 102, BTNS_CHECK), Btn(2, 103, BTNS_CHECKGROUP),
                        Btn(3, 104, BTNS_CHECKGROUP)};
        ASSERT_TRUE(SendMessageA(bar, TB_ADDBUTTONSA, 5, reinterpret_cast<LPARAM>(b)));
        Pump();
    }
    RECT Rect(int command) {
        RECT r{};
        SendMessageA(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void ClickOn(int command) {
        RECT r = Rect(command);
        WinTestClick(bar, WINTEST_LEFT, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Pump();
    }
    LRESULT Checked(int command) { return SendMessageA(bar, TB_ISBUTTONCHECKED, command, 0); }
};

TEST_F(ToolbarFixture, ButtonsKeepTheirRecordsAndStates) {
    Make();
    Standard();
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 5);
    TBBUTTON got{};
    ASSERT_TRUE(SendMessageA(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&got)));
    EXPECT_EQ(got.idCommand, 102);
    EXPECT_EQ(got.iBitmap, 1);
    EXPECT_EQ(got.fsStyle, BTNS_CHECK);
    EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, 104, 0), 4);
    EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, 999, 0), -1);

    EXPECT_TRUE(SendMessageA(bar, TB_ENABLEBUTTON, 101, MAKELONG(FALSE, 0)));
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, 101, 0));
    EXPECT_TRUE(SendMessageA(bar, TB_CHECKBUTTON, 102, MAKELONG(TRUE, 0)));
    EXPECT_TRUE(Checked(102));
    EXPECT_EQ(SendMessageA(bar, TB_GETSTATE, 102, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_EQ(SendMessageA(bar, TB_GETSTATE, 999, 0), -1);
    EXPECT_FALSE(SendMessageA(bar, TB_CHECKBUTTON, 999, MAKELONG(TRUE, 0)));
    EXPECT_TRUE(SendMessageA(bar, TB_SETSTATE, 103, MAKELONG(TBSTATE_INDETERMINATE, 0)));
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONINDETERMINATE, 103, 0));
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, 103, 0));

    EXPECT_TRUE(SendMessageA(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, 102, 0), 1);
    EXPECT_FALSE(SendMessageA(bar, TB_DELETEBUTTON, 9, 0));
    TBBUTTON first = Btn(0, 100);
    EXPECT_TRUE(SendMessageA(bar, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&first)));
    EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, 100, 0), 0);
}

TEST_F(ToolbarFixture, ButtonsSitInARowWithSeparatorsAndWrapWhereAsked) {
    Make();
    Standard();
    RECT a = Rect(101), b = Rect(102), c = Rect(103);
    EXPECT_EQ(a.right - a.left, 23);  // a 16x15 image and its padding
    EXPECT_EQ(a.bottom - a.top, 22);
    EXPECT_EQ(b.left, a.right + 8);   // the separator between them
    EXPECT_EQ(c.left, b.right);
    SIZE max{};
    SendMessageA(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&max));
    EXPECT_EQ(max.cx, Rect(104).right);
    EXPECT_EQ(SendMessageA(bar, TB_GETROWS, 0, 0), 1);

    SendMessageA(bar, TB_HIDEBUTTON, 102, MAKELONG(TRUE, 0));
    EXPECT_EQ(Rect(103).left, a.right + 8);  // a hidden button takes no room
    SendMessageA(bar, TB_HIDEBUTTON, 102, MAKELONG(FALSE, 0));

    SendMessageA(bar, TB_SETSTATE, 102, MAKELONG(TBSTATE_ENABLED | TBSTATE_WRAP, 0));
    EXPECT_EQ(Rect(103).left, 0);
    EXPECT_EQ(Rect(103).top, b.bottom);
    EXPECT_EQ(SendMessageA(bar, TB_GETROWS, 0, 0), 2);

    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELONG(30, 28));
    RECT big = Rect(101);
    EXPECT_EQ(big.right - big.left, 30);
    EXPECT_EQ(big.bottom - big.top, 28);
}

TEST_F(ToolbarFixture, TheBarSpansTheTopOfItsParentAndAutoSizesToItsButtons) {
    Make();
    Standard();
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    RECT r;
    GetWindowRect(bar, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, Rect(101).bottom + 2);
}

TEST_F(ToolbarFixture, AClickPressesWhileHeldAndSendsTheCommandOnRelease) {
    Make();
    Standard();
    RECT r = Rect(101);
    WinTestMouseButton(bar, WINTEST_LEFT, TRUE, r.left + 5, r.top + 5);
    Pump();
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONPRESSED, 101, 0));
    EXPECT_TRUE(g_commands.empty());
    WinTestMouseButton(bar, WINTEST_LEFT, FALSE, r.left + 5, r.top + 5);
    Pump();
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONPRESSED, 101, 0));
    EXPECT_EQ(g_commands, (std::vector<WPARAM>{MAKEWPARAM(101, BN_CLICKED)}));
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_CLICK}));

    // Released off the button: nothing is done.
    g_commands.clear();
    WinTestMouseButton(bar, WINTEST_LEFT, TRUE, r.left + 5, r.top + 5);
    WinTestMouseMove(bar, 300, 5);
    WinTestMouseButton(bar, WINTEST_LEFT, FALSE, 300, 5);
    Pump();
    EXPECT_TRUE(g_commands.empty());
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONPRESSED, 101, 0));

    SendMessageA(bar, TB_ENABLEBUTTON, 101, MAKELONG(FALSE, 0));
    ClickOn(101);
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(ToolbarFixture, CheckButtonsToggleAndOneOfAGroupStaysChecked) {
    Make();
    Standard();
    ClickOn(102);
    EXPECT_TRUE(Checked(102));
    ClickOn(102);
    EXPECT_FALSE(Checked(102));
    ClickOn(103);
    EXPECT_TRUE(Checked(103));
    ClickOn(104);
    EXPECT_FALSE(Checked(103));
    EXPECT_TRUE(Checked(104));
    ClickOn(104);
    EXPECT_TRUE(Checked(104));
    EXPECT_EQ(g_commands.size(), 5u);
}

TEST_F(ToolbarFixture, ADropDownButtonAsksTheParentInsteadOfSendingACommand) {
    Make();
    TBBUTTON b[] = {Btn(0, 201, BTNS_DROPDOWN)};
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(b));
    int item = 0;
    OnNotify() = [&](NMHDR* nm, bool*) -> LRESULT {
        if (nm->code == TBN_DROPDOWN) item = reinterpret_cast<NMTOOLBARA*>(nm)->iItem;
        return 0;
    };
    ClickOn(201);
    EXPECT_EQ(item, 201);
    EXPECT_TRUE(g_commands.empty());

    // With drawn arrows only the arrow drops down; the rest is an ordinary button.
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    item = 0;
    RECT r = Rect(201);
    EXPECT_EQ(r.right - r.left, 23 + 12);
    WinTestClick(bar, WINTEST_LEFT, r.left + 5, r.top + 5);
    Pump();
    EXPECT_EQ(item, 0);
    EXPECT_EQ(g_commands.size(), 1u);
    WinTestClick(bar, WINTEST_LEFT, r.right - 4, r.top + 5);
    Pump();
    EXPECT_EQ(item, 201);
}

TEST_F(ToolbarFixture, AFlatBarTracksItsHotButtonAndTheParentMayRefuseIt) {
    Make(TBSTYLE_FLAT);
    Standard();
    RECT r = Rect(102);
    WinTestMouseMove(bar, r.left + 3, r.top + 3);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), 2);
    ASSERT_FALSE(Notes().empty());
    EXPECT_EQ(Notes().back().code, TBN_HOTITEMCHANGE);
    WinTestMouseMove(nullptr, 399, 299);  // off the bar: the hot button goes
    Pump();
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), -1);

    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        *handled = nm->code == TBN_HOTITEMCHANGE;
        return TRUE;
    };
    WinTestMouseMove(bar, r.left + 3, r.top + 3);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), -1);
    OnNotify() = nullptr;
    EXPECT_EQ(SendMessageA(bar, TB_SETHOTITEM, 0, 0), -1);
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), 0);
    EXPECT_EQ(SendMessageA(bar, TB_SETHOTITEM, 1, 0), 0);  // a separator cannot be hot
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), -1);
}

TEST_F(ToolbarFixture, ABarWithoutTheFlatStyleHasNoHotButton) {
    Make();
    Standard();
    RECT r = Rect(101);
    WinTestMouseMove(bar, r.left + 3, r.top + 3);
    Pump();
    EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), -1);
}

TEST_F(ToolbarFixture, TextsComeFromTheStringListOrThePointerAndWidenTheButtons) {
    Make();
    EXPECT_EQ(SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("Open\0Save\0")), 0);
    EXPECT_EQ(SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("Print\0")), 2);
    TBBUTTON b[] = {Btn(0, 1, BTNS_BUTTON, TBSTATE_ENABLED, 1), Btn(1, 2, BTNS_BUTTON, TBSTATE_ENABLED,
                                                                    reinterpret_cast<INT_PTR>("A longer caption"))};
    SendMessageA(bar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONTEXTA, 1, 0), 4);
    char buf[32];
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONTEXTA, 2, reinterpret_cast<LPARAM>(buf)), 16);
    EXPECT_STREQ(buf, "A longer caption");
    SendMessageA(bar, TB_GETBUTTONTEXTA, 1, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "Save");
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONTEXTA, 77, 0), -1);
    RECT r = Rect(1);
    EXPECT_GT(r.right - r.left, 23);  // wide enough for the longest text
    EXPECT_GT(r.bottom - r.top, 22);  // and tall enough for a line below the image
    EXPECT_EQ(Rect(2).right - Rect(2).left, r.right - r.left);  // every button alike

    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) | TBSTYLE_LIST);
    RECT l = Rect(1);
    EXPECT_EQ(l.bottom - l.top, 22);  // text beside the image

    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_COMMAND;
    info.pszText = buf;
    info.cchText = 3;
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONINFOA, 2, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_STREQ(buf, "A ");
    EXPECT_EQ(info.idCommand, 2);
}

TEST_F(ToolbarFixture, HitTestsAnswerButtonsSeparatorsAndMisses) {
    Make();
    Standard();
    RECT a = Rect(101), c = Rect(103);
    POINT on{c.left + 2, c.top + 2}, sep{a.right + 3, a.top + 3}, off{390, 5};
    EXPECT_EQ(SendMessageA(bar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&on)), 3);
    EXPECT_LT(SendMessageA(bar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&sep)), 0);
    EXPECT_EQ(SendMessageA(bar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&off)), -1);
}

TEST_F(ToolbarFixture, ButtonsLookRaisedSunkenCheckedAndFlatAsTheirStatesSay) {
    Make();
    GiveImages();
    Standard();
    SendMessageA(bar, TB_PRESSBUTTON, 103, MAKELONG(TRUE, 0));
    SendMessageA(bar, TB_CHECKBUTTON, 102, MAKELONG(TRUE, 0));
    Pump();
    Capture pic(bar);
    const COLORREF white = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW),
                   red = RGB(255, 0, 0);
    RECT a = Rect(101), b = Rect(102), c = Rect(103);
    EXPECT_EQ(pic.At(a.left + 1, a.top + 1), white);      // raised
    EXPECT_EQ(pic.At(c.left, c.top), shadow);             // pressed: sunken
    EXPECT_EQ(pic.At(b.left + 2, b.bottom - 3), white);   // checked: a light face
    int ix = (a.left + a.right - 16) / 2;
    EXPECT_EQ(pic.At(ix + 1, a.top + 4), red);            // the image

    SendMessageA(bar, TB_ENABLEBUTTON, 101, MAKELONG(FALSE, 0));
    Pump();
    Capture grey(bar);
    int reds = 0;
    for (int x = a.left; x < a.right; ++x)
        for (int y = a.top; y < a.bottom; ++y) reds += grey.At(x, y) == red;
    EXPECT_EQ(reds, 0);  // a disabled image is drawn greyed

    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) | TBSTYLE_FLAT);
    InvalidateRect(bar, nullptr, TRUE);
    Pump();
    Capture flat(bar);
    EXPECT_EQ(flat.At(Rect(104).left + 1, Rect(104).top + 1), GetSysColor(COLOR_BTNFACE));  // no frame
}

}  // namespace
