// Frame windows: created with the menu of a menu resource, commands reaching the frame's
// handlers and, unhandled, the application; the frame deleting itself with its window.
#include <gtest/gtest.h>

#include "afxwin.h"
#include "menu_resource.h"
#include "winplat_test.h"

namespace {

using namespace menures;

int g_deleted = 0;

class TestFrame : public CFrameWnd {
public:
    ~TestFrame() override { ++g_deleted; }
    std::vector<UINT> seen;

protected:
    afx_msg void OnOpen() { seen.push_back(101); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
ON_COMMAND(101, OnOpen)
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    std::vector<UINT> seen;

protected:
    afx_msg void OnAbout() { seen.push_back(501); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(501, OnAbout)
END_MESSAGE_MAP()

TestApp theApp;

TEST(FrameWnd, ItIsCreatedWithItsMenuAndItsCommandsReachItsHandlersThenTheApplication)
{
    MenuResource res(200, {Popup("&File", {Item("&Open", 101), Separator(), Item("E&xit", 103)}),
                           Popup("&Help", {Item("&About", 501)})});
    g_deleted = 0;
    auto* frame = new TestFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(10, 10, 310, 210), nullptr,
                              res.Name()));
    HWND hwnd = frame->GetSafeHwnd();
    HMENU menu = ::GetMenu(hwnd);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(frame->m_hMenuDefault, menu);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 3);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 0), 501u);
    // The system frame makes room for the menu bar.
    RECT wr, client;
    ::GetWindowRect(hwnd, &wr);
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(wr.right - wr.left, 300);
    EXPECT_LT(client.bottom, 200 - GetSystemMetrics(SM_CYCAPTION));

    ::SendMessageA(hwnd, WM_COMMAND, 101, 0);
    ::SendMessageA(hwnd, WM_COMMAND, 501, 0);
    ::SendMessageA(hwnd, WM_COMMAND, 103, 0);  // nobody's: nothing happens
    EXPECT_EQ(frame->seen, (std::vector<UINT>{101}));
    EXPECT_EQ(theApp.seen, (std::vector<UINT>{501}));

    // Closing destroys the window, its menu and the frame object.
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsMenu(menu));
    EXPECT_EQ(g_deleted, 1);
}

TEST(FrameWnd, AMissingMenuResourceFailsTheCreationAndLeavesNothing)
{
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    g_deleted = 0;
    auto* frame = new TestFrame;
    EXPECT_FALSE(frame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr,
                               MAKEINTRESOURCEA(999)));
    EXPECT_EQ(frame->GetSafeHwnd(), nullptr);
    delete frame;
    // Without a menu and at the system's place and size.
    auto* plain = new TestFrame;
    ASSERT_TRUE(plain->Create(nullptr, "Plain"));
    EXPECT_EQ(::GetMenu(plain->GetSafeHwnd()), nullptr);
    RECT wr;
    ::GetWindowRect(plain->GetSafeHwnd(), &wr);
    EXPECT_GT(wr.right - wr.left, 0);
    plain->DestroyWindow();
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_deleted, 2);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, before) << after.ChangesFrom(before);
}

}  // namespace
