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
    enum { PBM_SETTEXTCOLOR = WM_USER + 100, PBM_SETSHOWTEXT = WM_USER + 101 };

    CPercentProgressCtrl();
    ~CPercentProgressCtrl() override;

    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    COLORREF SetBarColor(COLORREF crBarClr = CLR_DEFAULT);
    COLORREF GetBarColor() const { return m_crBarClr; }
    COLORREF SetBkColor(COLORREF crBgClr = CLR_DEFAULT);
    COLORREF GetBkColor() const { return m_crBgClr; }
    COLORREF SetTextColor(COLORREF crTextClr = CLR_DEFAULT);
    COLORREF GetTextColor() const { return m_crTextClr; }
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

    COLORREF m_crTextClr;
    int m_nPos;
    int m_nStepSize;
    int m_nMax;
    int m_nMin;
    CString m_strText;
    BOOL m_bShowText;
    int m_nBarWidth;
    COLORREF m_crBarClr;
    COLORREF m_crBgClr;
};
