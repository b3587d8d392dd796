// A report-view list control that paints every cell itself and keeps a record per cell: plain
// text in its own colours (bold on request, with an image from the small image list), a check
// box, a progress bar with a percentage text, or a drop-down combo box; any cell may carry its
// own tooltip text.
//
// Threads: the control's windows belong to the thread that created them. Every public member
// may also be called from another thread (the conversion worker does): such a call is handed to
// the window's thread through a message sent to the control and runs there, so per-cell records
// are only ever read and written on the window's thread and painting never sees a record half
// written. The window's thread must keep pumping messages while another thread calls in, and
// must not wait for that thread.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "CellComboList.h"
#include "CellHeaderCtrl.h"

// Sent to the parent (or, without one, the main window) with wParam = row, lParam = column.
// Registered on first use and while the program starts, whatever the order of initialisation.
const UINT& CellListComboSelectionMessage();
const UINT& CellListCheckboxClickedMessage();
#define WM_CELLLIST_COMBO_SELECTION (CellListComboSelectionMessage())
#define WM_CELLLIST_CHECKBOX_CLICKED (CellListCheckboxClickedMessage())

// One cell's record. Each row owns an array of them, one per column, sized by the column count
// when the row is inserted.
struct CELLLISTDATA {
    CELLLISTDATA();

    BOOL bRowEnabled;        // first record of a row only: 0 greys the whole row's text
    BOOL bBoldText;          // text drawn with weight 700
    int nImageIndex;         // small image list index; -1 none
    CString strTipText;      // shown while the mouse rests on the cell's label
    BOOL bDropDown;          // the cell is a combo cell
    BOOL bDropButtonDown;    // the drop-down button is drawn pressed
    CStringArray* pChoices;  // the choices; belongs to the caller and must outlive the row
    int nDropRows;           // rows the drop-down list shows
    int nDefaultChoice;      // choice shown while the cell's text is empty
    COLORREF crTextColor;
    COLORREF crFillColor;
    BOOL bProgressBar;         // the cell is drawn as a progress bar
    int nPercentDone;          // 0..100 by convention; stored as given
    CString strPercentFormat;  // holds at most one integer conversion for the percent; empty: "%d%%"
    BOOL bPercentShown;        // draw the text over the bar
    int nCheckMark;            // -1 no check box, 0 unchecked, 1 checked
    DWORD_PTR dwRowData;       // first record of a row only: the application's word (pointer-sized)
};

class CCellListCtrl : public CListCtrl {
public:
    CCellListCtrl();
    ~CCellListCtrl() override;

    // Rows. Columns are set up before rows are inserted: while rows exist, inserting or deleting
    // a column is refused.
    int InsertItem(int nItem, LPCSTR lpszItem);
    int InsertItemEx(int nItem, LPCSTR lpszItem, COLORREF crTextColor, COLORREF crFillColor);
    int InsertItem(const LVITEMA* pItem);
    BOOL SetItem(const LVITEMA* pItem);
    BOOL SetItemImage(int nItem, int nSubItem, int nImageIndex);
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    // A colour of (COLORREF)-1 means the control's window-text or window colour.
    BOOL SetItemTextEx(int nItem, int nSubItem, LPCSTR lpszText, COLORREF crTextColor = COLORREF(-1),
                       COLORREF crFillColor = COLORREF(-1));
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();

    // Progress cells.
    BOOL SetProgress(int nItem, int nSubItem, BOOL bShowPercent = TRUE, LPCSTR lpszPercentFormat = nullptr);
    void DeleteProgress(int nItem, int nSubItem);
    void UpdateProgress(int nItem, int nSubItem, int nPercent);

    // Check boxes: -1 none, 0 unchecked, 1 checked.
    BOOL SetCheckbox(int nItem, int nSubItem, int nCheckMark);
    int GetCheckbox(int nItem, int nSubItem);
    int CountCheckedItems(int nSubItem);
    // Header item image: 0 none, 1 unchecked box, 2 checked box.
    int GetHeaderCheckedState(int nSubItem);
    BOOL SetHeaderCheckedState(int nSubItem, int nCheckMark);

    // Row and cell look.
    BOOL SetEnabled(int nItem, BOOL bEnable);
    BOOL GetEnabled(int nItem);
    BOOL SetBold(int nItem, int nSubItem, BOOL bBoldText);
    BOOL GetBold(int nItem, int nSubItem);

    // Combo cells (the list needs LVS_EX_FULLROWSELECT). The array belongs to the caller.
    BOOL SetComboBox(int nItem, int nSubItem, BOOL bEnableDropDown, CStringArray* pChoices, int nDropRows,
                     int nDefaultChoice);
    CString GetComboText(int nItem, int nSubItem);

    // Selection: selects and focuses a row / the first selected row, -1 when none.
    BOOL SetCurSel(int nItem);
    int GetCurSel();

    void UpdateSubItem(int nItem, int nSubItem);  // nSubItem -1: the whole row
    int GetColumns();

    // The application's word for a row, pointer-sized.
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem);

    // Cell tooltips (shown once EnableToolTips is on).
    BOOL SetItemToolTipText(int nItem, int nSubItem, LPCSTR lpszTip);
    CString GetItemToolTipText(int nItem, int nSubItem);
    void DeleteAllToolTips();

    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;

    // The id of a cell's tool: row * 1000 + column + 1.
    static INT_PTR ToolId(int nItem, int nSubItem) { return INT_PTR(nItem) * 1000 + nSubItem + 1; }
    // Longest tooltip text handed to the tooltip, in characters (its buffer holds 80 with the end).
    static constexpr int kMaxToolTipChars = 79;
    // A progress cell's text: the percent in place of the format's one integer conversion
    // ("%d%%" when the format is empty); other '%' sequences are shown as written.
    static CString FormatProgressText(LPCSTR lpszFormat, int nPercent);

    CCellHeaderCtrl& HeaderCtrl() { return m_header; }
    // The open drop-down list of a combo cell, or nullptr.
    CCellComboList* GetComboList() const { return m_pDropList; }

protected:
    void PreSubclassWindow() override;
    virtual BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult);

    BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnDeleteItemNotify(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnPaint();
    void OnSysColorChange();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnComboEscape(WPARAM, LPARAM);
    LRESULT OnComboReturn(WPARAM, LPARAM);
    LRESULT OnComboLButtonUp(WPARAM, LPARAM);
    LRESULT OnComboKeydown(WPARAM, LPARAM);
    LRESULT OnInvoke(WPARAM, LPARAM);
    LRESULT OnInsertColumn(WPARAM, LPARAM);
    LRESULT OnDeleteColumn(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    struct CellRow;  // a row's records and their count

    // Calls from another thread run on the window's thread, through a sent message.
    bool OnOwnThread() const;
    template <class R, class F>
    R Marshal(R fallback, F&& f);
    template <class F>
    void MarshalVoid(F&& f);

    CellRow* AllocateRow();
    CellRow* Row(int nItem) const;
    CELLLISTDATA* Cell(int nItem, int nSubItem) const;
    void FreeRow(int nItem);
    void FreeAllRows();
    void HookHeader();
    void SyncHeaderCheck(int nSubItem);
    void FlipCheckbox(int nItem, int nSubItem);
    void NotifyParent(UINT msg, int nItem, int nSubItem);
    void ReleaseComboButton();
    void CloseComboList();
    void StartComboEscape();
    void ResetCombo();
    BOOL TakeComboChoice();
    void OpenComboList(int nItem, int nSubItem, const CRect& rcCombo, CDC* pDC);
    BOOL ComboCellValid() const;
    CRect CellRect(int nItem, int nSubItem) const;

    // Painting of one cell.
    void ApplySelectionColors(int nItem, int nSubItem, COLORREF& crTextColor, COLORREF& crFill) const;
    void PaintProgressCell(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, const CRect& rect,
                           const CELLLISTDATA& cell);
    void PaintCheckCell(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, const CRect& rect,
                        const CELLLISTDATA* pRecord);
    int PaintCellImage(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, CRect rect,
                       const CELLLISTDATA* pRecord);
    void PaintTextCell(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, CRect rect,
                       const CELLLISTDATA* pRecord);
    void PaintComboCell(int nItem, int nSubItem, CDC* pDC, CRect rect, CELLLISTDATA* pRecord);

    CCellHeaderCtrl m_header;
    CImageList m_images;  // never filled by the control: the list view's small image list is drawn
    BOOL m_bHeaderHooked = FALSE;

    // System colours, read at construction and again when the user changes them.
    struct SystemColors {
        COLORREF face3d = 0, light3d = 0, shadow3d = 0, buttonFace = 0, buttonShadow = 0, buttonText = 0, grayText = 0,
                 selection = 0, selectionText = 0, window = 0, windowText = 0;
        void Read();
    } m_sys;

    // The combo cell being worked on.
    BOOL m_bDropButtonHeld = FALSE;
    int m_nDropRow = -1;
    int m_nDropColumn = -1;
    CRect m_rcDropButton;
    CRect m_rcDropList;
    CCellComboList* m_pDropList = nullptr;
    CFont m_dropFont;
    BOOL m_bDropFontMade = FALSE;
    CString m_strTextBeforeDrop;  // written back on Escape
};
