// The framework's tooltips: windows with tooltips enabled get their tools in the thread's
// tooltip control as the mouse moves over them.
#include <gtest/gtest.h>

#include "afx_state.h"
#include "afxcmn.h"

namespace {

// Cells of 10x10 pixels; the tool id names the cell, as the list control does.
class CCells : public CWnd {
public:
    INT_PTR OnToolHitTest(CPoint p, TOOLINFOA* ti) const override {
        if (p.x >= 50) return -1;  // no tool on the right half
        int id = (p.y / 10) * 1000 + p.x / 10 + 1;
        ti->hwnd = m_hWnd;
        ti->uId = UINT_PTR(id);
        ti->lpszText = LPSTR_TEXTCALLBACKA;
        ti->rect = RECT{p.x / 10 * 10, p.y / 10 * 10, p.x / 10 * 10 + 10, p.y / 10 * 10 + 10};
        return id;
    }
};

MSG Mouse(HWND h, int x, int y) {
    MSG m{};
    m.hwnd = h;
    m.message = WM_MOUSEMOVE;
    POINT pt{x, y};
    ::ClientToScreen(h, &pt);
    m.pt = pt;
    m.lParam = MAKELPARAM(x, y);
    return m;
}

int ToolCount() {
    HWND tip = afx::State().tooltip;
    return tip ? int(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0)) : -1;
}

TEST(FrameworkToolTips, ToolsFollowTheHitTestAsTheMouseMoves) {
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, AfxRegisterWndClass(0), "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200,
                             nullptr, nullptr));
    CCells cells;
    ASSERT_TRUE(cells.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &top, 5));
    cells.EnableToolTips(TRUE);
    MSG m = Mouse(cells.m_hWnd, 15, 25);
    CWnd::WalkPreTranslateTree(nullptr, &m);
    HWND tip = afx::State().tooltip;
    if (!tip) GTEST_SKIP() << "no tooltip control in this build";
    char cls[64] = {0};
    ::GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(afx::State().tip_hit, 2002);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = cells.m_hWnd;
    ti.uId = 2002;
    EXPECT_TRUE(::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    // Another cell replaces the tool; a point without a tool removes it.
    m = Mouse(cells.m_hWnd, 35, 5);
    CWnd::WalkPreTranslateTree(nullptr, &m);
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(afx::State().tip_hit, 4);
    m = Mouse(cells.m_hWnd, 80, 5);
    CWnd::WalkPreTranslateTree(nullptr, &m);
    EXPECT_EQ(ToolCount(), 0);
    EXPECT_EQ(afx::State().tip_hit, -1);
    // A destroyed window leaves no tool behind to be asked for text.
    m = Mouse(cells.m_hWnd, 15, 25);
    CWnd::WalkPreTranslateTree(nullptr, &m);
    EXPECT_EQ(ToolCount(), 1);
    cells.DestroyWindow();
    EXPECT_EQ(afx::State().tip_owner, nullptr);
    EXPECT_EQ(ToolCount(), 0);
    top.DestroyWindow();
}

}  // namespace
