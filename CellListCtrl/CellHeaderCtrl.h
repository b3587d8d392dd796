// The column header of the extended list control: paints every item itself (an optional
// image such as a check box, an optional bitmap, the text) through an off-screen DC.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

class CCellHeaderCtrl : public CHeaderCtrl {
    DECLARE_DYNCREATE(CCellHeaderCtrl)
public:
    CCellHeaderCtrl();
    ~CCellHeaderCtrl() override;

    // The space after an item's image or bitmap; the list also leaves it before a cell image.
    int GetSpacing() const { return m_nImageGap; }
    // 1: the gap; 2: arrow size (width low word, height high word); 3, 4: the two flags.
    BOOL SetStyleValue(int which, int value);

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    virtual void DrawItem(CDC* dc, CRect rect, LPHDITEM item);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSysColorChange();
    LRESULT OnInsertItem(WPARAM wp, LPARAM lp);
    LRESULT OnDeleteItem(WPARAM wp, LPARAM lp);
    LRESULT OnSetImageList(WPARAM wp, LPARAM lp);
    LRESULT OnLayout(WPARAM wp, LPARAM lp);
    void CacheColors();

    BOOL m_bBuffered = TRUE;
    int m_nImageGap = 6;
    CSize m_imageSize{0, 0};
    CSize m_arrowSize{8, 8};
    BOOL m_bExtraHeight = FALSE;
    BOOL m_bSpareFlag = FALSE;
    COLORREF m_crEdgeLight = 0;
    COLORREF m_crEdgeShadow = 0;
    COLORREF m_crFace = 0;
    COLORREF m_crLabel = 0;

    DECLARE_MESSAGE_MAP()
};
