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
    int GetSpacing() const { return m_nSpace; }
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
    void ReadSysColors();

    BOOL m_bDoubleBuffer = TRUE;
    int m_nSpace = 6;
    CSize m_sizeImage{0, 0};
    CSize m_sizeArrow{8, 8};
    BOOL m_bStaticBorder = FALSE;
    BOOL m_bResizing = FALSE;
    COLORREF m_cr3DHighLight = 0;
    COLORREF m_cr3DShadow = 0;
    COLORREF m_cr3DFace = 0;
    COLORREF m_crBtnText = 0;

    DECLARE_MESSAGE_MAP()
};
