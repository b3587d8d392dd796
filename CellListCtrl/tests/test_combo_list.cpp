// The combo drop-down list, driven by injected input: what it tells its owner, how it lays
// itself out and scrolls, and how the owner closes it from a timer.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <vector>

#include "CellComboList.h"
#include "afxtest.h"
#include "commctrl_test_support.h"

namespace {

struct Sent {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Shows how often the popup has lost the focus.
class Popup : public CCellComboList {
public:
    using CCellComboList::CCellComboList;
    int Losses() const { return m_nFocusLosses; }
};

// Stands in for the list control: records what the popup sends and, like the list, closes the
// popup from a timer rather than inside the handler of the message the popup sent.
class Owner : public CWnd {
public:
    std::vector<Sent> sent;
    Popup* popup = nullptr;
    CString chosen;
    bool close_on_return = false;

    void Open(int strings, int rows = 10, int sel = -1) {
        popup = new Popup(this);
        LPCSTR cls = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS, ::LoadCursorA(nullptr, IDC_ARROW));
        CRect r(40, 60, 200, 60 + rows * 16);
        ASSERT_TRUE(popup->CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_BORDER, r, this, 0));
        for (int i = 0; i < strings; ++i) {
            CString s;
            s.Format("%c item %d", 'A' + i % 26, i);
            popup->AddString(s);
        }
        if (sel >= 0) popup->SetCurSel(sel);
        popup->Show(11);
    }
    void Close() {
        delete popup;
        popup = nullptr;
    }
    int Count(UINT msg) const {
        int n = 0;
        for (auto& s : sent) n += s.msg == msg;
        return n;
    }

protected:
    LRESULT Record(UINT msg, WPARAM wp, LPARAM lp) {
        sent.push_back({msg, wp, lp});
        return 0;
    }
    LRESULT OnReturn(WPARAM wp, LPARAM lp) {
        Record(WM_CELLCOMBO_VK_RETURN, wp, lp);
        if (close_on_return) SetTimer(3, 50);
        return 0;
    }
    LRESULT OnEscape(WPARAM wp, LPARAM lp) { return Record(WM_CELLCOMBO_VK_ESCAPE, wp, lp); }
    LRESULT OnKey(WPARAM wp, LPARAM lp) { return Record(WM_CELLCOMBO_KEYDOWN, wp, lp); }
    LRESULT OnButtonUp(WPARAM wp, LPARAM lp) { return Record(WM_CELLCOMBO_LBUTTONUP, wp, lp); }
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        if (id == 3 && popup) {
            int sel = popup->GetCurSel();
            if (sel >= 0) popup->GetLBText(sel, chosen);
            Close();
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Owner, CWnd)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_VK_RETURN, OnReturn)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_VK_ESCAPE, OnEscape)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_KEYDOWN, OnKey)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_LBUTTONUP, OnButtonUp)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// The framework's own loop: PreTranslateMessage runs before dispatching.
void Pump() { AfxTestPumpUntilIdle(20); }

class CellComboListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300,
                                   nullptr, nullptr));
        Pump();
    }
    void TearDown() override {
        owner.Close();
        owner.DestroyWindow();
        Pump();
    }
    SCROLLINFO Scroll() {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        owner.popup->GetPopupScrollBar(SB_VERT)->GetScrollInfo(&si, SIF_ALL);
        return si;
    }
    // The scroll bar keeps its position within the last page.
    int Limit() { return owner.popup->GetPopupScrollBar(SB_VERT)->GetScrollLimit(); }
    void Press(UINT vk) {
        owner.sent.clear();
        WinTestKeyPress(vk);
        Pump();
    }
    Owner owner;
};

TEST_F(CellComboListTest, RegisteredMessagesHaveTheirOwnNumbers) {
    UINT all[] = {WM_CELLCOMBO_VK_RETURN, WM_CELLCOMBO_VK_ESCAPE, WM_CELLCOMBO_KEYDOWN, WM_CELLCOMBO_LBUTTONUP};
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(all[i], 0xC000u);
        for (int j = 0; j < i; ++j) EXPECT_NE(all[i], all[j]);
    }
    EXPECT_EQ(WM_CELLCOMBO_VK_RETURN, ::RegisterWindowMessageA("WM_CELLCOMBO_VK_RETURN"));
}

TEST_F(CellComboListTest, OpeningSizesTheListToWholeRowsAndSetsTheScrollBar) {
    owner.Open(30, 10, 12);
    CListBox& list = owner.popup->ListBox();
    int item = list.GetItemHeight(0);
    ASSERT_GT(item, 0);
    CRect lr, wr;
    list.GetClientRect(&lr);
    owner.popup->GetWindowRect(&wr);
    EXPECT_EQ(lr.Height() % item, 0);
    EXPECT_EQ(wr.Height(), lr.Height() + 4);
    SCROLLINFO si = Scroll();
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 30);
    EXPECT_EQ(int(si.nPage), lr.Height() / item);
    EXPECT_EQ(si.nPos, 12);
    EXPECT_EQ(list.GetTopIndex(), 11);
    EXPECT_EQ(::GetFocus(), list.m_hWnd);
    // Sized once: a second call leaves the layout alone.
    owner.popup->MoveWindow(40, 60, 160, 300);
    owner.popup->Show(11);
    owner.popup->GetWindowRect(&wr);
    EXPECT_EQ(wr.Height(), 300);
}

TEST_F(CellComboListTest, FewerStringsThanRowsStillScrollFromZero) {
    owner.Open(3, 10);
    SCROLLINFO si = Scroll();
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 3);
    EXPECT_EQ(si.nPos, 0);
    EXPECT_EQ(owner.popup->ListBox().GetTopIndex(), 0);
}

TEST_F(CellComboListTest, NavigationKeysReportAndMoveTheScrollBarWithinItsRange) {
    owner.Open(30, 10, 0);
    int page = int(Scroll().nPage);
    ASSERT_GT(page, 1);
    Press(VK_DOWN);
    ASSERT_EQ(owner.sent.size(), 1u);
    EXPECT_EQ(owner.sent[0].msg, WM_CELLCOMBO_KEYDOWN);
    EXPECT_EQ(owner.sent[0].wp, 0u);
    EXPECT_EQ(owner.sent[0].lp, 0);
    EXPECT_EQ(Scroll().nPos, 1);
    EXPECT_EQ(owner.popup->GetCurSel(), 1);  // the list box moved its own selection
    Press(VK_NEXT);
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_KEYDOWN), 1);
    EXPECT_EQ(Scroll().nPos, 1 + page - 1);
    Press(VK_END);
    EXPECT_EQ(Scroll().nPos, Limit());
    EXPECT_GT(Limit(), 1 + page - 1);
    // On the last page, Page Down stops at the end of the range.
    Press(VK_NEXT);
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_KEYDOWN), 1);
    EXPECT_EQ(Scroll().nPos, Limit());
    Press(VK_HOME);
    EXPECT_EQ(Scroll().nPos, 0);
    Press(VK_UP);
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_KEYDOWN), 1);
    EXPECT_EQ(Scroll().nPos, 0);  // never below zero
}

TEST_F(CellComboListTest, LettersJumpToTheNextMatchingChoiceOrSendNothing) {
    owner.Open(30, 10, 2);  // choices begin with A..Z, then A..D again
    Press('E');
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_KEYDOWN), 1);
    EXPECT_EQ(Scroll().nPos, 4);
    owner.popup->SetCurSel(27);
    ASSERT_EQ(owner.popup->GetCurSel(), 27);
    Press('E');  // only before the selection: no wrapping round
    EXPECT_TRUE(owner.sent.empty());
    owner.popup->SetCurSel(27);  // the list box's own letter search may have moved it
    Press('Z');
    EXPECT_TRUE(owner.sent.empty());
}

TEST_F(CellComboListTest, EnterAndEscapeReportWithZeroParameters) {
    owner.Open(5);
    Press(VK_RETURN);
    ASSERT_EQ(owner.sent.size(), 1u);
    EXPECT_EQ(owner.sent[0].msg, WM_CELLCOMBO_VK_RETURN);
    EXPECT_EQ(owner.sent[0].wp, 0u);
    EXPECT_EQ(owner.sent[0].lp, 0);
    Press(VK_ESCAPE);
    ASSERT_EQ(owner.sent.size(), 1u);
    EXPECT_EQ(owner.sent[0].msg, WM_CELLCOMBO_VK_ESCAPE);
    EXPECT_EQ(owner.sent[0].wp, 0u);
    EXPECT_EQ(owner.sent[0].lp, 0);
}

TEST_F(CellComboListTest, ClickingAChoiceSelectsItAndReportsTheButtonRelease) {
    owner.Open(6, 10, 0);
    CListBox& list = owner.popup->ListBox();
    CRect item;
    ASSERT_NE(list.GetItemRect(3, &item), LB_ERR);
    owner.sent.clear();
    WinTestClick(list.m_hWnd, WINTEST_LEFT, item.left + 5, item.CenterPoint().y);
    Pump();
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_LBUTTONUP), 1);
    EXPECT_EQ(owner.popup->GetCurSel(), 3);
    for (auto& s : owner.sent) {
        EXPECT_EQ(s.wp, 0u);
        EXPECT_EQ(s.lp, 0);
    }
    // A press on the popup's own border area reports too.
    owner.sent.clear();
    owner.popup->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_LBUTTONUP), 1);
}

TEST_F(CellComboListTest, TheHoveredChoiceIsSelectedOnTheNextTick) {
    owner.Open(6, 10, 0);
    CListBox& list = owner.popup->ListBox();
    CRect item;
    ASSERT_NE(list.GetItemRect(4, &item), LB_ERR);
    WinTestMouseMove(list.m_hWnd, item.left + 5, item.CenterPoint().y);
    Pump();
    WinTestAdvanceClock(100);
    Pump();
    EXPECT_EQ(owner.popup->GetCurSel(), 4);
    EXPECT_TRUE(owner.sent.empty());
}

TEST_F(CellComboListTest, TheThirdLossOfFocusAsksTheOwnerToClose) {
    owner.Open(4);
    // Opening may already hand the focus on from the popup to its list.
    int losses = owner.popup->Losses();
    ASSERT_LE(losses, 2);
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_VK_ESCAPE), 0);
    while (losses < 2) {
        owner.popup->SendMessage(WM_KILLFOCUS, 0, 0);
        ++losses;
    }
    EXPECT_EQ(owner.Count(WM_CELLCOMBO_VK_ESCAPE), 0);
    owner.sent.clear();
    owner.popup->SendMessage(WM_KILLFOCUS, 0, 0);
    ASSERT_EQ(owner.sent.size(), 1u);
    EXPECT_EQ(owner.sent[0].msg, WM_CELLCOMBO_VK_ESCAPE);
}

TEST_F(CellComboListTest, ScrollBarMessagesMoveThePositionWithinTheRange) {
    owner.Open(30, 10, 0);
    CScrollBar* bar = owner.popup->GetPopupScrollBar(SB_VERT);
    auto scroll = [&](int code, int pos = 0) {
        owner.popup->SendMessage(WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(bar->m_hWnd));
        return Scroll().nPos;
    };
    int page = int(Scroll().nPage);
    EXPECT_EQ(scroll(SB_LINEDOWN), 1);
    EXPECT_EQ(scroll(SB_PAGEDOWN), 1 + page);
    // A thumb position inside the range, whatever page the font's row height gives.
    const int track = Limit() - 1;
    ASSERT_GT(track, 1 + page);
    EXPECT_EQ(scroll(SB_THUMBTRACK, track), track);
    EXPECT_EQ(scroll(SB_ENDSCROLL), track);
    EXPECT_EQ(scroll(SB_BOTTOM), Limit());
    EXPECT_EQ(scroll(SB_LINEDOWN), Limit());
    EXPECT_EQ(scroll(SB_TOP), 0);
    EXPECT_EQ(scroll(SB_PAGEUP), 0);
}

TEST_F(CellComboListTest, TheOwnerClosesThePopupFromATimerAfterEnter) {
    owner.close_on_return = true;
    owner.Open(5, 10, 2);
    HWND popup = owner.popup->m_hWnd;
    HWND list = owner.popup->ListBox().m_hWnd;
    Press(VK_RETURN);
    // Still open right after the message: closing waits for the owner's timer.
    ASSERT_NE(owner.popup, nullptr);
    EXPECT_TRUE(::IsWindow(popup));
    WinTestAdvanceClock(60);
    Pump();
    EXPECT_EQ(owner.popup, nullptr);
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(owner.chosen, "C item 2");
    // The hot-tracking timer died with the window.
    WinTestAdvanceClock(200);
    Pump();
}

}  // namespace
