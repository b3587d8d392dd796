// The drop-down list under a combo cell of the extended list control. It never changes the
// cell itself: it reports keys, clicks and the loss of focus to its owner through registered
// messages (wParam and lParam 0), and the owner decides, from a timer, what to copy into the
// cell and when to destroy the popup.
#pragma once

#include <afxwin.h>

// Registered on first use, so any code running at start-up (static initialisers of other
// files included) sees the real numbers.
const UINT& CellComboVkReturnMessage();
const UINT& CellComboVkEscapeMessage();
const UINT& CellComboKeyDownMessage();
const UINT& CellComboLButtonUpMessage();

// The names message maps and callers use (ON_REGISTERED_MESSAGE takes the variable).
#define WM_CELLCOMBO_VK_RETURN (CellComboVkReturnMessage())
#define WM_CELLCOMBO_VK_ESCAPE (CellComboVkEscapeMessage())
#define WM_CELLCOMBO_KEYDOWN (CellComboKeyDownMessage())
#define WM_CELLCOMBO_LBUTTONUP (CellComboLButtonUpMessage())

class CCellComboList : public CWnd {
public:
    explicit CCellComboList(CWnd* owner);
    ~CCellComboList() override;

    void SetFont(CFont* font, BOOL redraw = TRUE);
    int AddString(LPCSTR text) { return m_list.AddString(text); }
    int GetCount() const { return m_list.GetCount(); }
    void GetLBText(int index, CString& text) const { m_list.GetText(index, text); }
    int FindStringExact(int start, LPCSTR text) const { return m_list.FindStringExact(start, text); }
    int SetCurSel(int index) { return m_list.SetCurSel(index); }
    int GetCurSel() const { return m_list.GetCurSel(); }

    // Sizes and arranges the popup on the first call; later calls only focus the list.
    void Show(int scroll_bar_width);
    void SendRegisteredMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual CScrollBar* GetPopupScrollBar(int bar) const;

    BOOL PreTranslateMessage(MSG* msg) override;

    CListBox& ListBox() { return m_list; }

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnKillFocus(CWnd* next);
    void OnLButtonDown(UINT flags, CPoint pt);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnTimer(UINT_PTR id);
    void SetScrollPosClamped(int pos);

    CListBox m_list;
    mutable CScrollBar m_scrollBar;
    CWnd* m_pOwner;
    int m_nFocusLosses = 0;
    BOOL m_bNeedsLayout = TRUE;

    DECLARE_MESSAGE_MAP()
};
