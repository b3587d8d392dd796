// This project's framework layer: common control wrappers (list view, header, trackbar, progress
// bar, tooltips, image lists).
#pragma once

#include "afxwin.h"
#include "commctrl.h"

class CImageList : public CObject {
    DECLARE_DYNAMIC(CImageList)
public:
    HIMAGELIST m_hImageList = nullptr;
    CImageList() = default;
    ~CImageList() override;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const;
    static CImageList* FromHandle(HIMAGELIST h);
    BOOL Attach(HIMAGELIST h);
    HIMAGELIST Detach();
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL Create(UINT bitmap_id, int cx, int grow, COLORREF mask);
    BOOL Create(LPCSTR bitmap_name, int cx, int grow, COLORREF mask);
    BOOL DeleteImageList();
    int GetImageCount() const;
    int Add(CBitmap* image, CBitmap* mask);
    int Add(CBitmap* image, COLORREF mask);
    int Add(HICON icon);
    BOOL Remove(int i);
    BOOL Replace(int i, CBitmap* image, CBitmap* mask);
    int Replace(int i, HICON icon);
    HICON ExtractIcon(int i);
    BOOL Draw(CDC* dc, int i, POINT p, UINT style);
    BOOL DrawIndirect(IMAGELISTDRAWPARAMS* params);
    BOOL DrawIndirect(CDC* dc, int i, POINT p, SIZE s, POINT origin, UINT style = ILD_NORMAL, DWORD rop = SRCCOPY,
                      COLORREF bk = CLR_DEFAULT, COLORREF fg = CLR_DEFAULT, DWORD state = 0, DWORD frame = 0,
                      COLORREF effect = CLR_DEFAULT);
    BOOL GetImageInfo(int i, IMAGEINFO* info) const;
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const;
    BOOL SetOverlayImage(int image, int overlay);
    BOOL SetImageCount(UINT n);
};

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id);
    int GetItemCount() const;
    int InsertItem(int pos, HDITEMA* item);
    BOOL DeleteItem(int pos);
    BOOL GetItem(int pos, HDITEMA* item) const;
    BOOL SetItem(int pos, HDITEMA* item);
    BOOL Layout(HDLAYOUT* layout);
    BOOL GetItemRect(int index, LPRECT r) const;
    int OrderToIndex(int order) const;
    BOOL GetOrderArray(LPINT out, int count = -1);
    BOOL SetOrderArray(int count, LPINT order);
    int HitTest(LPHDHITTESTINFO info);
    CImageList* SetImageList(CImageList* list);
    CImageList* GetImageList() const;
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) override;
};

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id);
    BOOL CreateEx(DWORD ex_style, DWORD style, const RECT& r, CWnd* parent, UINT id);
    using CWnd::CreateEx;
    COLORREF GetBkColor() const;
    BOOL SetBkColor(COLORREF c);
    COLORREF GetTextColor() const;
    BOOL SetTextColor(COLORREF c);
    COLORREF GetTextBkColor() const;
    BOOL SetTextBkColor(COLORREF c);
    CImageList* GetImageList(int which) const;
    CImageList* SetImageList(CImageList* list, int which);
    int GetItemCount() const;
    BOOL GetItem(LVITEMA* item) const;
    BOOL SetItem(const LVITEMA* item);
    BOOL SetItem(int item, int sub, UINT mask, LPCSTR text, int image, UINT state, UINT state_mask, LPARAM lp);
    int InsertItem(const LVITEMA* item);
    int InsertItem(int item, LPCSTR text);
    int InsertItem(int item, LPCSTR text, int image);
    int InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT state_mask, int image, LPARAM lp);
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetNextItem(int item, int flags) const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    BOOL GetItemRect(int item, LPRECT r, UINT code) const;
    BOOL GetSubItemRect(int item, int sub, int area, CRect& r) const;
    int HitTest(LVHITTESTINFO* info) const;
    int HitTest(CPoint p, UINT* flags = nullptr) const;
    int SubItemHitTest(LVHITTESTINFO* info);
    BOOL EnsureVisible(int item, BOOL partial_ok);
    BOOL Scroll(CSize s);
    BOOL RedrawItems(int first, int last);
    BOOL Update(int item);
    BOOL GetColumn(int col, LVCOLUMNA* column) const;
    BOOL SetColumn(int col, const LVCOLUMNA* column);
    int InsertColumn(int col, const LVCOLUMNA* column);
    int InsertColumn(int col, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int sub = -1);
    BOOL DeleteColumn(int col);
    int GetColumnWidth(int col) const;
    BOOL SetColumnWidth(int col, int cx);
    CHeaderCtrl* GetHeaderCtrl() const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL SetItemState(int item, LVITEMA* item_state);
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    CString GetItemText(int item, int sub) const;
    int GetItemText(int item, int sub, LPSTR buf, int len) const;
    BOOL SetItemText(int item, int sub, LPCSTR text);
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    UINT GetSelectedCount() const;
    int GetSelectionMark() const;
    int SetSelectionMark(int item);
    DWORD SetExtendedStyle(DWORD ex_style);
    DWORD GetExtendedStyle() const;
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data);
    BOOL GetCheck(int item) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    int FindItem(LVFINDINFOA* info, int start = -1) const;
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) override;
};

class CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id);
    int GetLineSize() const;
    int SetLineSize(int size);
    int GetPageSize() const;
    int SetPageSize(int size);
    int GetRangeMax() const;
    int GetRangeMin() const;
    void GetRange(int& mn, int& mx) const;
    void SetRangeMin(int mn, BOOL redraw = FALSE);
    void SetRangeMax(int mx, BOOL redraw = FALSE);
    void SetRange(int mn, int mx, BOOL redraw = FALSE);
    int GetPos() const;
    void SetPos(int pos);
    void SetTicFreq(int freq);
    void ClearTics(BOOL redraw = FALSE);
    BOOL SetTic(int pos);
    void GetChannelRect(LPRECT r) const;
    void GetThumbRect(LPRECT r) const;
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id);
    void SetRange(short lower, short upper);
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int GetPos() const;
    int SetPos(int pos);
    int OffsetPos(int pos);
    int SetStep(int step);
    int StepIt();
    COLORREF SetBarColor(COLORREF c);
    COLORREF SetBkColor(COLORREF c);
};

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL CreateEx(CWnd* parent, DWORD style = 0, DWORD ex_style = 0);
    using CWnd::CreateEx;
    BOOL AddTool(CWnd* wnd, LPCSTR text = LPSTR_TEXTCALLBACKA, LPCRECT rect = nullptr, UINT_PTR id = 0);
    BOOL AddTool(CWnd* wnd, UINT text_id, LPCRECT rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id = 0);
    void UpdateTipText(UINT text_id, CWnd* wnd, UINT_PTR id = 0);
    void SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect);
    void GetText(CString& out, CWnd* wnd, UINT_PTR id = 0) const;
    BOOL GetToolInfo(TOOLINFOA* ti, CWnd* wnd, UINT_PTR id = 0) const;
    void SetToolInfo(TOOLINFOA* ti);
    int GetToolCount() const;
    void Activate(BOOL activate);
    void RelayEvent(LPMSG msg);
    void Pop();
    void Update();
    int SetMaxTipWidth(int width);
    int GetMaxTipWidth() const;
    void SetDelayTime(UINT delay);
    void SetDelayTime(DWORD which, int time);
    int GetDelayTime(DWORD which) const;
    void SetTipBkColor(COLORREF c);
    void SetTipTextColor(COLORREF c);
    COLORREF GetTipBkColor() const;
    COLORREF GetTipTextColor() const;
    void SetMargin(LPRECT r);
    BOOL SetTitle(UINT icon, LPCSTR title);

protected:
    void FillInToolInfo(TOOLINFOA& ti, CWnd* wnd, UINT_PTR id) const;
};
