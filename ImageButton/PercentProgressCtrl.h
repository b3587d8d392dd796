// A progress bar that paints itself: the filled part in a bar colour, the rest in a background
// colour and, for horizontal bars, a centred text (the percentage by default) whose colours
// swap where the bar passes under it. It keeps its own range, position and step and answers
// the standard progress-bar messages, so it is driven exactly like the common control.
#pragma once

#include "afxcmn.h"
#include "afxwin.h"

class CPercentProgressCtrl : public CProgressCtrl {
public:
    // Text colour (lParam) and show-text flag (wParam).
    enum { WM_PERCENTBAR_SETTEXTCOLOR = WM_USER + 100, WM_PERCENTBAR_SHOWTEXT = WM_USER + 101 };

    CPercentProgressCtrl();
    ~CPercentProgressCtrl() override;

    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    COLORREF SetBarColor(COLORREF crBar = CLR_DEFAULT);
    COLORREF GetBarColor() const { return m_crBar; }
    COLORREF SetBkColor(COLORREF crBack = CLR_DEFAULT);
    COLORREF GetBkColor() const { return m_crBack; }
    COLORREF SetTextColor(COLORREF crText = CLR_DEFAULT);
    COLORREF GetTextColor() const { return m_crText; }
    void SetShowText(BOOL bShow);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBarColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBkColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetTextColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetShowText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnOffsetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The filled part's length in pixels along the bar's direction.
    int BarLength() const;
    void Refresh();

    COLORREF m_crText;
    int m_nPosition;
    int m_nStep;
    int m_nUpper;
    int m_nLower;
    CString m_strCaption;
    BOOL m_bCaptionShown;
    int m_nPaintedLength;
    COLORREF m_crBar;
    COLORREF m_crBack;
};
