// Common control wrappers: each member sends the control's message.
#include "afx_api.h"
#include "afx_state.h"
#include "afxcmn.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CImageList, CObject)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

namespace {
LRESULT Send(const CWnd* w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageA(w->m_hWnd, msg, wp, lp); }
template <typename T>
LPARAM LP(T* p) {
    return reinterpret_cast<LPARAM>(p);
}
}  // namespace

// ---- image lists ---------------------------------------------------------------------------
// Image lists get the same permanent/temporary handle map as windows.
namespace {
std::mutex& IlLock() {
    static std::mutex m;
    return m;
}
std::unordered_map<HIMAGELIST, CImageList*>& IlMap() {
    static auto* m = new std::unordered_map<HIMAGELIST, CImageList*>;
    return *m;
}
thread_local std::unordered_map<HIMAGELIST, CImageList*>* t_temp_il = nullptr;
struct TempIlCleanup {
    ~TempIlCleanup() {
        if (!t_temp_il) return;
        for (auto& kv : *t_temp_il) {
            kv.second->m_hImageList = nullptr;
            delete kv.second;
        }
        delete t_temp_il;
        t_temp_il = nullptr;
    }
};
thread_local TempIlCleanup t_temp_il_cleanup;
}  // namespace

CImageList::~CImageList() { DeleteImageList(); }
HIMAGELIST CImageList::GetSafeHandle() const {
    const CImageList* self = this;
    return self ? m_hImageList : nullptr;
}
CImageList* CImageList::FromHandle(HIMAGELIST h) {
    if (!h) return nullptr;
    {
        std::lock_guard<std::mutex> g(IlLock());
        auto it = IlMap().find(h);
        if (it != IlMap().end()) return it->second;
    }
    (void)t_temp_il_cleanup;
    if (!t_temp_il) t_temp_il = new std::unordered_map<HIMAGELIST, CImageList*>;
    auto it = t_temp_il->find(h);
    if (it != t_temp_il->end()) return it->second;
    auto* il = new CImageList;
    il->m_hImageList = h;
    (*t_temp_il)[h] = il;
    return il;
}
BOOL CImageList::Attach(HIMAGELIST h) {
    if (!h || m_hImageList) return FALSE;
    std::lock_guard<std::mutex> g(IlLock());
    if (!IlMap().emplace(h, this).second) return FALSE;
    m_hImageList = h;
    return TRUE;
}
HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    if (h) {
        std::lock_guard<std::mutex> g(IlLock());
        auto it = IlMap().find(h);
        if (it != IlMap().end() && it->second == this) IlMap().erase(it);
    }
    m_hImageList = nullptr;
    return h;
}
BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    return Attach(::ImageList_Create(cx, cy, flags, initial, grow));
}
BOOL CImageList::Create(UINT id, int cx, int grow, COLORREF mask) { return Create(MAKEINTRESOURCEA(id), cx, grow, mask); }
BOOL CImageList::Create(LPCSTR name, int cx, int grow, COLORREF mask) {
    return Attach(::ImageList_LoadImageA(AfxGetResourceHandle(), name, cx, grow, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}
BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    HIMAGELIST h = Detach();
    return ::ImageList_Destroy(h);
}
int CImageList::GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
int CImageList::Add(CBitmap* image, CBitmap* mask) {
    return ::ImageList_Add(m_hImageList, image ? HBITMAP(*image) : nullptr, mask ? HBITMAP(*mask) : nullptr);
}
int CImageList::Add(CBitmap* image, COLORREF mask) {
    return ::ImageList_AddMasked(m_hImageList, image ? HBITMAP(*image) : nullptr, mask);
}
int CImageList::Add(HICON icon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, icon); }
BOOL CImageList::Remove(int i) { return ::ImageList_Remove(m_hImageList, i); }
BOOL CImageList::Replace(int i, CBitmap* image, CBitmap* mask) {
    return ::ImageList_Replace(m_hImageList, i, image ? HBITMAP(*image) : nullptr, mask ? HBITMAP(*mask) : nullptr);
}
int CImageList::Replace(int i, HICON icon) { return ::ImageList_ReplaceIcon(m_hImageList, i, icon); }
HICON CImageList::ExtractIcon(int i) { return ::ImageList_GetIcon(m_hImageList, i, ILD_NORMAL); }
BOOL CImageList::Draw(CDC* dc, int i, POINT p, UINT style) {
    return ::ImageList_Draw(m_hImageList, i, dc->m_hDC, p.x, p.y, style);
}
BOOL CImageList::DrawIndirect(IMAGELISTDRAWPARAMS* params) {
    params->cbSize = sizeof(IMAGELISTDRAWPARAMS);
    params->himl = m_hImageList;
    return ::ImageList_DrawIndirect(params);
}
BOOL CImageList::DrawIndirect(CDC* dc, int i, POINT p, SIZE s, POINT origin, UINT style, DWORD rop, COLORREF bk,
                              COLORREF fg, DWORD state, DWORD frame, COLORREF effect) {
    IMAGELISTDRAWPARAMS d{};
    d.i = i;
    d.hdcDst = dc->m_hDC;
    d.x = p.x;
    d.y = p.y;
    d.cx = s.cx;
    d.cy = s.cy;
    d.xBitmap = origin.x;
    d.yBitmap = origin.y;
    d.rgbBk = bk;
    d.rgbFg = fg;
    d.fStyle = style;
    d.dwRop = rop;
    d.fState = state;
    d.Frame = frame;
    d.crEffect = effect;
    return DrawIndirect(&d);
}
BOOL CImageList::GetImageInfo(int i, IMAGEINFO* info) const {
    return ::ImageList_GetImageInfo(m_hImageList, i, info);
}
COLORREF CImageList::SetBkColor(COLORREF c) { return ::ImageList_SetBkColor(m_hImageList, c); }
COLORREF CImageList::GetBkColor() const { return ::ImageList_GetBkColor(m_hImageList); }
BOOL CImageList::SetOverlayImage(int image, int overlay) {
    return ::ImageList_SetOverlayImage(m_hImageList, image, overlay);
}
BOOL CImageList::SetImageCount(UINT n) { return ::ImageList_SetImageCount(m_hImageList, n); }

// ---- header --------------------------------------------------------------------------------
BOOL CHeaderCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::CreateEx(0, WC_HEADERA, nullptr, style, r, parent, id);
}
int CHeaderCtrl::GetItemCount() const { return int(Send(this, HDM_GETITEMCOUNT)); }
int CHeaderCtrl::InsertItem(int pos, HDITEMA* item) { return int(Send(this, HDM_INSERTITEMA, WPARAM(pos), LP(item))); }
BOOL CHeaderCtrl::DeleteItem(int pos) { return BOOL(Send(this, HDM_DELETEITEM, WPARAM(pos))); }
BOOL CHeaderCtrl::GetItem(int pos, HDITEMA* item) const { return BOOL(Send(this, HDM_GETITEMA, WPARAM(pos), LP(item))); }
BOOL CHeaderCtrl::SetItem(int pos, HDITEMA* item) { return BOOL(Send(this, HDM_SETITEMA, WPARAM(pos), LP(item))); }
BOOL CHeaderCtrl::Layout(HDLAYOUT* layout) { return BOOL(Send(this, HDM_LAYOUT, 0, LP(layout))); }
BOOL CHeaderCtrl::GetItemRect(int i, LPRECT r) const { return BOOL(Send(this, HDM_GETITEMRECT, WPARAM(i), LP(r))); }
int CHeaderCtrl::OrderToIndex(int order) const { return int(Send(this, HDM_ORDERTOINDEX, WPARAM(order))); }
BOOL CHeaderCtrl::GetOrderArray(LPINT out, int count) {
    if (count < 0) count = GetItemCount();
    return BOOL(Send(this, HDM_GETORDERARRAY, WPARAM(count), LP(out)));
}
BOOL CHeaderCtrl::SetOrderArray(int count, LPINT order) { return BOOL(Send(this, HDM_SETORDERARRAY, WPARAM(count), LP(order))); }
int CHeaderCtrl::HitTest(LPHDHITTESTINFO info) { return int(Send(this, HDM_HITTEST, 0, LP(info))); }
CImageList* CHeaderCtrl::SetImageList(CImageList* l) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(this, HDM_SETIMAGELIST, 0, LP(l ? l->m_hImageList : nullptr))));
}
CImageList* CHeaderCtrl::GetImageList() const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(this, HDM_GETIMAGELIST)));
}
void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }  // owner-drawn items need an override
BOOL CHeaderCtrl::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg != WM_DRAWITEM) return CWnd::OnChildNotify(msg, wp, lp, r);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    if (r) *r = TRUE;
    return TRUE;
}

// ---- list view -----------------------------------------------------------------------------
BOOL CListCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::CreateEx(0, WC_LISTVIEWA, nullptr, style, r, parent, id);
}
BOOL CListCtrl::CreateEx(DWORD ex, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::CreateEx(ex, WC_LISTVIEWA, nullptr, style, r, parent, id);
}
COLORREF CListCtrl::GetBkColor() const { return COLORREF(Send(this, LVM_GETBKCOLOR)); }
BOOL CListCtrl::SetBkColor(COLORREF c) { return BOOL(Send(this, LVM_SETBKCOLOR, 0, LPARAM(c))); }
COLORREF CListCtrl::GetTextColor() const { return COLORREF(Send(this, LVM_GETTEXTCOLOR)); }
BOOL CListCtrl::SetTextColor(COLORREF c) { return BOOL(Send(this, LVM_SETTEXTCOLOR, 0, LPARAM(c))); }
COLORREF CListCtrl::GetTextBkColor() const { return COLORREF(Send(this, LVM_GETTEXTBKCOLOR)); }
BOOL CListCtrl::SetTextBkColor(COLORREF c) { return BOOL(Send(this, LVM_SETTEXTBKCOLOR, 0, LPARAM(c))); }
CImageList* CListCtrl::GetImageList(int which) const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(this, LVM_GETIMAGELIST, WPARAM(which))));
}
CImageList* CListCtrl::SetImageList(CImageList* l, int which) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        Send(this, LVM_SETIMAGELIST, WPARAM(which), LP(l ? l->m_hImageList : nullptr))));
}
int CListCtrl::GetItemCount() const { return int(Send(this, LVM_GETITEMCOUNT)); }
BOOL CListCtrl::GetItem(LVITEMA* item) const { return BOOL(Send(this, LVM_GETITEMA, 0, LP(item))); }
BOOL CListCtrl::SetItem(const LVITEMA* item) { return BOOL(Send(this, LVM_SETITEMA, 0, LP(item))); }
BOOL CListCtrl::SetItem(int item, int sub, UINT mask, LPCSTR text, int image, UINT state, UINT state_mask, LPARAM lp) {
    LVITEMA it{};
    it.mask = mask;
    it.iItem = item;
    it.iSubItem = sub;
    it.pszText = const_cast<LPSTR>(text);
    it.iImage = image;
    it.state = state;
    it.stateMask = state_mask;
    it.lParam = lp;
    return SetItem(&it);
}
int CListCtrl::InsertItem(const LVITEMA* item) { return int(Send(this, LVM_INSERTITEMA, 0, LP(item))); }
int CListCtrl::InsertItem(int item, LPCSTR text) { return InsertItem(LVIF_TEXT, item, text, 0, 0, 0, 0); }
int CListCtrl::InsertItem(int item, LPCSTR text, int image) {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, item, text, 0, 0, image, 0);
}
int CListCtrl::InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT state_mask, int image, LPARAM lp) {
    LVITEMA it{};
    it.mask = mask;
    it.iItem = item;
    it.pszText = const_cast<LPSTR>(text);
    it.state = state;
    it.stateMask = state_mask;
    it.iImage = image;
    it.lParam = lp;
    return InsertItem(&it);
}
BOOL CListCtrl::DeleteItem(int item) { return BOOL(Send(this, LVM_DELETEITEM, WPARAM(item))); }
BOOL CListCtrl::DeleteAllItems() { return BOOL(Send(this, LVM_DELETEALLITEMS)); }
int CListCtrl::GetNextItem(int item, int flags) const { return int(Send(this, LVM_GETNEXTITEM, WPARAM(item), MAKELPARAM(flags, 0))); }
POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    return reinterpret_cast<POSITION>(LONG_PTR(1 + GetNextItem(-1, LVNI_SELECTED)));
}
int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
    int item = int(reinterpret_cast<LONG_PTR>(pos)) - 1;
    pos = reinterpret_cast<POSITION>(LONG_PTR(1 + GetNextItem(item, LVNI_SELECTED)));
    return item;
}
BOOL CListCtrl::GetItemRect(int item, LPRECT r, UINT code) const {
    r->left = LONG(code);
    return BOOL(Send(this, LVM_GETITEMRECT, WPARAM(item), LP(r)));
}
BOOL CListCtrl::GetSubItemRect(int item, int sub, int area, CRect& r) const {
    r.top = sub;
    r.left = area;
    return BOOL(Send(this, LVM_GETSUBITEMRECT, WPARAM(item), LP(static_cast<RECT*>(&r))));
}
int CListCtrl::HitTest(LVHITTESTINFO* info) const { return int(Send(this, LVM_HITTEST, 0, LP(info))); }
int CListCtrl::HitTest(CPoint p, UINT* flags) const {
    LVHITTESTINFO hi{};
    hi.pt = p;
    int r = HitTest(&hi);
    if (flags) *flags = hi.flags;
    return r;
}
int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) { return int(Send(this, LVM_SUBITEMHITTEST, 0, LP(info))); }
BOOL CListCtrl::EnsureVisible(int item, BOOL partial) { return BOOL(Send(this, LVM_ENSUREVISIBLE, WPARAM(item), partial)); }
BOOL CListCtrl::Scroll(CSize s) { return BOOL(Send(this, LVM_SCROLL, WPARAM(s.cx), s.cy)); }
BOOL CListCtrl::RedrawItems(int first, int last) { return BOOL(Send(this, LVM_REDRAWITEMS, WPARAM(first), last)); }
BOOL CListCtrl::Update(int item) { return BOOL(Send(this, LVM_UPDATE, WPARAM(item))); }
BOOL CListCtrl::GetColumn(int col, LVCOLUMNA* c) const { return BOOL(Send(this, LVM_GETCOLUMNA, WPARAM(col), LP(c))); }
BOOL CListCtrl::SetColumn(int col, const LVCOLUMNA* c) { return BOOL(Send(this, LVM_SETCOLUMNA, WPARAM(col), LP(c))); }
int CListCtrl::InsertColumn(int col, const LVCOLUMNA* c) { return int(Send(this, LVM_INSERTCOLUMNA, WPARAM(col), LP(c))); }
int CListCtrl::InsertColumn(int col, LPCSTR heading, int format, int width, int sub) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_FMT;
    c.pszText = const_cast<LPSTR>(heading);
    c.fmt = format;
    if (width != -1) {
        c.mask |= LVCF_WIDTH;
        c.cx = width;
    }
    if (sub != -1) {
        c.mask |= LVCF_SUBITEM;
        c.iSubItem = sub;
    }
    return InsertColumn(col, &c);
}
BOOL CListCtrl::DeleteColumn(int col) { return BOOL(Send(this, LVM_DELETECOLUMN, WPARAM(col))); }
int CListCtrl::GetColumnWidth(int col) const { return int(Send(this, LVM_GETCOLUMNWIDTH, WPARAM(col))); }
BOOL CListCtrl::SetColumnWidth(int col, int cx) { return BOOL(Send(this, LVM_SETCOLUMNWIDTH, WPARAM(col), MAKELPARAM(cx, 0))); }
CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
    return static_cast<CHeaderCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(Send(this, LVM_GETHEADER))));
}
int CListCtrl::GetTopIndex() const { return int(Send(this, LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return int(Send(this, LVM_GETCOUNTPERPAGE)); }
BOOL CListCtrl::SetItemState(int item, LVITEMA* st) { return BOOL(Send(this, LVM_SETITEMSTATE, WPARAM(item), LP(st))); }
BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMA it{};
    it.state = state;
    it.stateMask = mask;
    return SetItemState(item, &it);
}
UINT CListCtrl::GetItemState(int item, UINT mask) const { return UINT(Send(this, LVM_GETITEMSTATE, WPARAM(item), LPARAM(mask))); }
CString CListCtrl::GetItemText(int item, int sub) const {
    // Grow the buffer until the text fits.
    CString s;
    for (int len = 256;; len *= 2) {
        LVITEMA it{};
        it.iSubItem = sub;
        it.cchTextMax = len;
        it.pszText = s.GetBuffer(len);
        int n = int(Send(this, LVM_GETITEMTEXTA, WPARAM(item), LP(&it)));
        s.ReleaseBuffer(n < 0 ? 0 : std::min(n, len - 1));
        if (n < len - 1 || len >= (1 << 20)) break;
    }
    return s;
}
int CListCtrl::GetItemText(int item, int sub, LPSTR buf, int len) const {
    LVITEMA it{};
    it.iSubItem = sub;
    it.cchTextMax = len;
    it.pszText = buf;
    return int(Send(this, LVM_GETITEMTEXTA, WPARAM(item), LP(&it)));
}
BOOL CListCtrl::SetItemText(int item, int sub, LPCSTR text) {
    LVITEMA it{};
    it.iSubItem = sub;
    it.pszText = const_cast<LPSTR>(text);
    return BOOL(Send(this, LVM_SETITEMTEXTA, WPARAM(item), LP(&it)));
}
BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) { return SetItem(item, 0, LVIF_PARAM, nullptr, 0, 0, 0, LPARAM(data)); }
DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    return GetItem(&it) ? DWORD_PTR(it.lParam) : 0;
}
UINT CListCtrl::GetSelectedCount() const { return UINT(Send(this, LVM_GETSELECTEDCOUNT)); }
int CListCtrl::GetSelectionMark() const { return int(Send(this, LVM_GETSELECTIONMARK)); }
int CListCtrl::SetSelectionMark(int item) { return int(Send(this, LVM_SETSELECTIONMARK, 0, item)); }
DWORD CListCtrl::SetExtendedStyle(DWORD ex) { return DWORD(Send(this, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(ex))); }
DWORD CListCtrl::GetExtendedStyle() const { return DWORD(Send(this, LVM_GETEXTENDEDLISTVIEWSTYLE)); }
BOOL CListCtrl::SortItems(PFNLVCOMPARE cmp, DWORD_PTR data) {
    return BOOL(Send(this, LVM_SORTITEMS, WPARAM(data), reinterpret_cast<LPARAM>(cmp)));
}
BOOL CListCtrl::GetCheck(int item) const { return ((GetItemState(item, LVIS_STATEIMAGEMASK) >> 12) - 1) != 0; }
BOOL CListCtrl::SetCheck(int item, BOOL check) {
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}
int CListCtrl::FindItem(LVFINDINFOA* info, int start) const { return int(Send(this, LVM_FINDITEMA, WPARAM(start), LP(info))); }
void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }
BOOL CListCtrl::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg != WM_DRAWITEM) return CWnd::OnChildNotify(msg, wp, lp, r);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    if (r) *r = TRUE;
    return TRUE;
}

// ---- trackbar ------------------------------------------------------------------------------
BOOL CSliderCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::CreateEx(0, TRACKBAR_CLASSA, nullptr, style, r, parent, id);
}
int CSliderCtrl::GetLineSize() const { return int(Send(this, TBM_GETLINESIZE)); }
int CSliderCtrl::SetLineSize(int s) { return int(Send(this, TBM_SETLINESIZE, 0, s)); }
int CSliderCtrl::GetPageSize() const { return int(Send(this, TBM_GETPAGESIZE)); }
int CSliderCtrl::SetPageSize(int s) { return int(Send(this, TBM_SETPAGESIZE, 0, s)); }
int CSliderCtrl::GetRangeMax() const { return int(Send(this, TBM_GETRANGEMAX)); }
int CSliderCtrl::GetRangeMin() const { return int(Send(this, TBM_GETRANGEMIN)); }
void CSliderCtrl::GetRange(int& mn, int& mx) const {
    mn = GetRangeMin();
    mx = GetRangeMax();
}
void CSliderCtrl::SetRangeMin(int mn, BOOL redraw) { Send(this, TBM_SETRANGEMIN, WPARAM(redraw), mn); }
void CSliderCtrl::SetRangeMax(int mx, BOOL redraw) { Send(this, TBM_SETRANGEMAX, WPARAM(redraw), mx); }
void CSliderCtrl::SetRange(int mn, int mx, BOOL redraw) {
    // Both ends separately: TBM_SETRANGE packs them into 16 bits each.
    SetRangeMin(mn, FALSE);
    SetRangeMax(mx, redraw);
}
int CSliderCtrl::GetPos() const { return int(Send(this, TBM_GETPOS)); }
void CSliderCtrl::SetPos(int pos) { Send(this, TBM_SETPOS, TRUE, pos); }
void CSliderCtrl::SetTicFreq(int f) { Send(this, TBM_SETTICFREQ, WPARAM(f)); }
void CSliderCtrl::ClearTics(BOOL redraw) { Send(this, TBM_CLEARTICS, WPARAM(redraw)); }
BOOL CSliderCtrl::SetTic(int pos) { return BOOL(Send(this, TBM_SETTIC, 0, pos)); }
void CSliderCtrl::GetChannelRect(LPRECT r) const { Send(this, TBM_GETCHANNELRECT, 0, LP(r)); }
void CSliderCtrl::GetThumbRect(LPRECT r) const { Send(this, TBM_GETTHUMBRECT, 0, LP(r)); }

// ---- progress ------------------------------------------------------------------------------
BOOL CProgressCtrl::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::CreateEx(0, PROGRESS_CLASSA, nullptr, style, r, parent, id);
}
void CProgressCtrl::SetRange(short lo, short hi) { Send(this, PBM_SETRANGE, 0, MAKELPARAM(lo, hi)); }
void CProgressCtrl::SetRange32(int lo, int hi) { Send(this, PBM_SETRANGE32, WPARAM(lo), hi); }
void CProgressCtrl::GetRange(int& lo, int& hi) const {
    PBRANGE r{};
    Send(this, PBM_GETRANGE, FALSE, LP(&r));
    lo = r.iLow;
    hi = r.iHigh;
}
int CProgressCtrl::GetPos() const { return int(Send(this, PBM_GETPOS)); }
int CProgressCtrl::SetPos(int pos) { return int(Send(this, PBM_SETPOS, WPARAM(pos))); }
int CProgressCtrl::OffsetPos(int d) { return int(Send(this, PBM_DELTAPOS, WPARAM(d))); }
int CProgressCtrl::SetStep(int s) { return int(Send(this, PBM_SETSTEP, WPARAM(s))); }
int CProgressCtrl::StepIt() { return int(Send(this, PBM_STEPIT)); }
COLORREF CProgressCtrl::SetBarColor(COLORREF c) { return COLORREF(Send(this, PBM_SETBARCOLOR, 0, LPARAM(c))); }
COLORREF CProgressCtrl::SetBkColor(COLORREF c) { return COLORREF(Send(this, PBM_SETBKCOLOR, 0, LPARAM(c))); }

// ---- tooltips ------------------------------------------------------------------------------
BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) { return CreateEx(parent, style, 0); }
BOOL CToolTipCtrl::CreateEx(CWnd* parent, DWORD style, DWORD ex) {
    return CWnd::CreateEx(ex, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, nullptr);
}
void CToolTipCtrl::FillInToolInfo(TOOLINFOA& ti, CWnd* wnd, UINT_PTR id) const {
    std::memset(&ti, 0, sizeof ti);
    ti.cbSize = sizeof ti;
    HWND h = wnd ? wnd->m_hWnd : nullptr;
    if (id == 0) {
        // The tool is the window itself, named by its handle.
        ti.hwnd = ::GetParent(h);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(h);
    } else {
        ti.hwnd = h;
        ti.uId = id;
    }
}
BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect, UINT_PTR id) {
    if (!wnd) return FALSE;
    TOOLINFOA ti;
    FillInToolInfo(ti, wnd, id);
    if (rect) ti.rect = *rect;
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = const_cast<LPSTR>(text);
    return BOOL(Send(this, TTM_ADDTOOLA, 0, LP(&ti)));
}
BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT text_id, LPCRECT rect, UINT_PTR id) {
    return AddTool(wnd, MAKEINTRESOURCEA(text_id), rect, id);
}
void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
    TOOLINFOA ti;
    FillInToolInfo(ti, wnd, id);
    Send(this, TTM_DELTOOLA, 0, LP(&ti));
}
void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id) {
    TOOLINFOA ti;
    FillInToolInfo(ti, wnd, id);
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = const_cast<LPSTR>(text);
    Send(this, TTM_UPDATETIPTEXTA, 0, LP(&ti));
}
void CToolTipCtrl::UpdateTipText(UINT text_id, CWnd* wnd, UINT_PTR id) { UpdateTipText(MAKEINTRESOURCEA(text_id), wnd, id); }
void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect) {
    TOOLINFOA ti;
    FillInToolInfo(ti, wnd, id);
    ti.rect = *rect;
    Send(this, TTM_NEWTOOLRECTA, 0, LP(&ti));
}
void CToolTipCtrl::GetText(CString& out, CWnd* wnd, UINT_PTR id) const {
    TOOLINFOA ti;
    FillInToolInfo(ti, wnd, id);
    char buf[1024] = {0};
    ti.lpszText = buf;
    Send(this, TTM_GETTEXTA, sizeof buf, LP(&ti));
    out = buf;
}
BOOL CToolTipCtrl::GetToolInfo(TOOLINFOA* ti, CWnd* wnd, UINT_PTR id) const {
    FillInToolInfo(*ti, wnd, id);
    return BOOL(Send(this, TTM_GETTOOLINFOA, 0, LP(ti)));
}
void CToolTipCtrl::SetToolInfo(TOOLINFOA* ti) { Send(this, TTM_SETTOOLINFOA, 0, LP(ti)); }
int CToolTipCtrl::GetToolCount() const { return int(Send(this, TTM_GETTOOLCOUNT)); }
void CToolTipCtrl::Activate(BOOL a) { Send(this, TTM_ACTIVATE, WPARAM(a)); }
void CToolTipCtrl::RelayEvent(LPMSG msg) { Send(this, TTM_RELAYEVENT, 0, LP(msg)); }
void CToolTipCtrl::Pop() { Send(this, TTM_POP); }
void CToolTipCtrl::Update() { Send(this, TTM_UPDATE); }
int CToolTipCtrl::SetMaxTipWidth(int w) { return int(Send(this, TTM_SETMAXTIPWIDTH, 0, w)); }
int CToolTipCtrl::GetMaxTipWidth() const { return int(Send(this, TTM_GETMAXTIPWIDTH)); }
void CToolTipCtrl::SetDelayTime(UINT d) { Send(this, TTM_SETDELAYTIME, TTDT_AUTOMATIC, LPARAM(d)); }
void CToolTipCtrl::SetDelayTime(DWORD which, int t) { Send(this, TTM_SETDELAYTIME, which, MAKELPARAM(t, 0)); }
int CToolTipCtrl::GetDelayTime(DWORD which) const { return int(Send(this, TTM_GETDELAYTIME, which)); }
void CToolTipCtrl::SetTipBkColor(COLORREF c) { Send(this, TTM_SETTIPBKCOLOR, c); }
void CToolTipCtrl::SetTipTextColor(COLORREF c) { Send(this, TTM_SETTIPTEXTCOLOR, c); }
COLORREF CToolTipCtrl::GetTipBkColor() const { return COLORREF(Send(this, TTM_GETTIPBKCOLOR)); }
COLORREF CToolTipCtrl::GetTipTextColor() const { return COLORREF(Send(this, TTM_GETTIPTEXTCOLOR)); }
void CToolTipCtrl::SetMargin(LPRECT r) { Send(this, TTM_SETMARGIN, 0, LP(r)); }
BOOL CToolTipCtrl::SetTitle(UINT icon, LPCSTR title) { return BOOL(Send(this, TTM_SETTITLEA, icon, LP(title))); }
