// Tooltips on the hand-driven clock: shown once the pointer rests for the initial delay, gone
// after the auto-pop delay or a click or when the pointer leaves, texts given or asked for by
// callback, tracking tips placed by the caller, and tips kept on the screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

struct Tips : ::testing::Test {
    HWND parent = nullptr, tool = nullptr, tip = nullptr;
    void SetUp() override {
        Reset();
        static bool once = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = PlainProc;
            wc.lpszClassName = "CommCtrlTipTool";
            wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
            return RegisterClassA(&wc) != 0;
        }();
        (void)once;
        parent = MakeParent();
        tool = CreateWindowExA(0, "CommCtrlTipTool", "", WS_CHILD | WS_VISIBLE, 50, 50, 100, 40, parent, nullptr, nullptr,
                               nullptr);
        tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent,
                              nullptr, nullptr, nullptr);
        ASSERT_NE(tip, nullptr);
        WinTestMouseMove(nullptr, 400, 300);
        Pump();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(tip);
        DestroyWindow(parent);
        Pump();
    }
    TOOLINFOA Info(UINT flags, const char* text, UINT_PTR id = 0, RECT rect = RECT{0, 0, 0, 0}) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = flags;
        ti.hwnd = parent;
        ti.uId = (flags & TTF_IDISHWND) ? reinterpret_cast<UINT_PTR>(tool) : id;
        ti.rect = rect;
        ti.lpszText = const_cast<char*>(text);
        return ti;
    }
    void AddTool(UINT flags, const char* text) {
        TOOLINFOA ti = Info(flags, text);
        ASSERT_TRUE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    }
    void Advance(DWORD ms) {
        WinTestAdvanceClock(ms);
        Pump();
    }
    bool Up() { return IsWindowVisible(tip) != 0; }
    RECT TipRect() {
        RECT r;
        GetWindowRect(tip, &r);
        return r;
    }
};

TEST_F(Tips, DelaysDefaultFromTheDoubleClickTime) {
    int dbl = int(GetDoubleClickTime());
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), dbl);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), dbl * 10);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), dbl / 5);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 200);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2000);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 50);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, -1);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
}

TEST_F(Tips, ShownAfterTheInitialDelayAndHiddenAfterAutopop) {
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 3000);
    AddTool(TTF_IDISHWND | TTF_SUBCLASS, "Hello tip");
    WinTestMouseMove(tool, 20, 10);
    Pump();
    Advance(400);
    EXPECT_FALSE(Up());
    Advance(150);
    ASSERT_TRUE(Up());
    EXPECT_NE(IndexOf(TTN_SHOW), size_t(-1));
    // Near the cursor, below it.
    POINT cur;
    GetCursorPos(&cur);
    RECT r = TipRect();
    EXPECT_GE(r.top, cur.y);
    EXPECT_LE(r.top, cur.y + 40);
    EXPECT_LE(std::abs(int(r.left - cur.x)), 4);
    char buf[80] = {0};
    TOOLINFOA ti = Info(TTF_IDISHWND, buf);
    EXPECT_TRUE(SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(buf, "Hello tip");

    Advance(2900);
    EXPECT_TRUE(Up());
    Advance(200);
    EXPECT_FALSE(Up());
    EXPECT_NE(IndexOf(TTN_POP), size_t(-1));
    // Resting on the same tool does not bring it back.
    Advance(2000);
    EXPECT_FALSE(Up());
}

TEST_F(Tips, ClickAndLeavingPutTheTipAway) {
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    AddTool(TTF_IDISHWND | TTF_SUBCLASS, "Tip");
    WinTestMouseMove(tool, 20, 10);
    Pump();
    Advance(150);
    ASSERT_TRUE(Up());
    WinTestClick(tool, WINTEST_LEFT, 20, 10);
    Pump();
    EXPECT_FALSE(Up());
    Advance(1000);
    EXPECT_FALSE(Up());

    // Out and back in: shown again; out of the tool into its parent: gone.
    WinTestMouseMove(nullptr, 300, 300);
    Pump();
    Advance(200);
    WinTestMouseMove(tool, 30, 10);
    Pump();
    Advance(150);
    ASSERT_TRUE(Up());
    WinTestMouseMove(parent, 300, 200);
    Pump();
    Advance(200);
    EXPECT_FALSE(Up());
}

TEST_F(Tips, RelayedMovesOverARectangleToolAndDeactivation) {
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    TOOLINFOA ti = Info(0, "Rect tool", 5, RECT{200, 100, 260, 140});
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    auto relay = [&](int x, int y) {
        MSG msg{};
        msg.hwnd = parent;
        msg.message = WM_MOUSEMOVE;
        msg.lParam = MAKELPARAM(x, y);
        SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    };
    WinTestMouseMove(parent, 210, 110);
    relay(210, 110);
    Advance(150);
    EXPECT_TRUE(Up());
    relay(100, 300);  // outside the rectangle
    Pump();
    EXPECT_FALSE(Up());

    TTHITTESTINFOA ht{};
    ht.hwnd = parent;
    ht.pt = POINT{259, 139};
    ht.ti.cbSize = sizeof(TOOLINFOA);
    EXPECT_TRUE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&ht)));
    EXPECT_EQ(ht.ti.uId, UINT_PTR(5));
    ht.pt = POINT{260, 139};
    EXPECT_FALSE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&ht)));

    SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
    relay(210, 110);
    Advance(500);
    EXPECT_FALSE(Up());
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(Tips, CallbackTextComesFromTheToolsWindowInEitherForm) {
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    AddTool(TTF_IDISHWND | TTF_SUBCLASS, LPSTR_TEXTCALLBACKA);
    bool wide = false;
    int asked = 0;
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code == TTN_GETDISPINFOA && !wide) {
            ++asked;
            strcpy(reinterpret_cast<NMTTDISPINFOA*>(nm)->szText, "From callback");
        } else if (nm->code == TTN_GETDISPINFOW && wide) {
            ++asked;
            auto* di = reinterpret_cast<NMTTDISPINFOW*>(nm);
            const char16_t w[] = u"Wide caf\u00e9";
            memcpy(di->szText, w, sizeof w);
        }
        *handled = true;
        return 0;
    };
    char buf[80] = {0};
    TOOLINFOA ti = Info(TTF_IDISHWND, buf);
    SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(buf, "From callback");
    WinTestMouseMove(tool, 20, 10);
    Pump();
    Advance(150);
    ASSERT_TRUE(Up());
    EXPECT_GE(asked, 2);

    wide = true;
    SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(buf, "Wide caf\xc3\xa9");
}

TEST_F(Tips, TrackingTipsGoWhereTheCallerPutsThem) {
    TOOLINFOA ti = Info(TTF_TRACK | TTF_ABSOLUTE, "Tracking", 9);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(120, 90));
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    Pump();
    ASSERT_TRUE(Up());
    EXPECT_EQ(TipRect().left, 120);
    EXPECT_EQ(TipRect().top, 90);
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(140, 100));
    EXPECT_EQ(TipRect().left, 140);
    Advance(60000);  // no auto-pop for a tracking tip
    EXPECT_TRUE(Up());
    SendMessageA(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    EXPECT_FALSE(Up());
}

TEST_F(Tips, TipsStayOnTheScreenAndWrapAtTheMaximumWidth) {
    int sw = 0, sh = 0;
    WinTestGetScreenSize(&sw, &sh);
    TOOLINFOA ti = Info(TTF_TRACK, "A rather long tip text that would run off the screen", 9);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(sw - 10, sh - 5));
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    RECT r = TipRect();
    EXPECT_LE(r.right, sw);
    EXPECT_LE(r.bottom, sh);
    int one_line = r.bottom - r.top;
    EXPECT_EQ(SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 80), -1);
    SendMessageA(tip, TTM_UPDATE, 0, 0);
    r = TipRect();
    EXPECT_LE(r.right - r.left, 80 + 16);
    EXPECT_GT(r.bottom - r.top, 2 * one_line - 8);

    // Updated text is what shows next.
    ti.lpszText = const_cast<char*>("Short");
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    char buf[80] = {0};
    TOOLINFOA get = Info(0, buf, 9);
    SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&get));
    EXPECT_STREQ(buf, "Short");
    EXPECT_LT(TipRect().bottom - TipRect().top, 2 * one_line - 8);
}

}  // namespace
