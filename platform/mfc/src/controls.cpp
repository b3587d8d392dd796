// Standard control wrappers and menus.
#include "afx_api.h"
#include "afx_state.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {
LRESULT Send(const CWnd* w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageA(w->m_hWnd, msg, wp, lp); }
}  // namespace

// ---- static --------------------------------------------------------------------------------
BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "Static", text, style, r, parent, id);
}
HBITMAP CStatic::SetBitmap(HBITMAP b) { return reinterpret_cast<HBITMAP>(Send(this, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(b))); }
HBITMAP CStatic::GetBitmap() const { return reinterpret_cast<HBITMAP>(Send(this, STM_GETIMAGE, IMAGE_BITMAP)); }
HICON CStatic::SetIcon(HICON i) { return reinterpret_cast<HICON>(Send(this, STM_SETICON, reinterpret_cast<WPARAM>(i))); }
HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(Send(this, STM_GETICON)); }
HCURSOR CStatic::SetCursor(HCURSOR c) { return reinterpret_cast<HCURSOR>(Send(this, STM_SETIMAGE, IMAGE_CURSOR, reinterpret_cast<LPARAM>(c))); }
void CStatic::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }
BOOL CStatic::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg != WM_DRAWITEM) return CWnd::OnChildNotify(msg, wp, lp, r);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    if (r) *r = TRUE;
    return TRUE;
}

// ---- button --------------------------------------------------------------------------------
BOOL CButton::Create(LPCSTR caption, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "Button", caption, style, r, parent, id);
}
UINT CButton::GetState() const { return UINT(Send(this, BM_GETSTATE)); }
void CButton::SetState(BOOL h) { Send(this, BM_SETSTATE, WPARAM(h)); }
int CButton::GetCheck() const { return int(Send(this, BM_GETCHECK)); }
void CButton::SetCheck(int c) { Send(this, BM_SETCHECK, WPARAM(c)); }
UINT CButton::GetButtonStyle() const { return UINT(::GetWindowLongA(m_hWnd, GWL_STYLE)) & 0xFFFF; }
void CButton::SetButtonStyle(UINT style, BOOL redraw) { Send(this, BM_SETSTYLE, style, redraw); }
HICON CButton::SetIcon(HICON i) { return reinterpret_cast<HICON>(Send(this, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(i))); }
HICON CButton::GetIcon() const { return reinterpret_cast<HICON>(Send(this, BM_GETIMAGE, IMAGE_ICON)); }
HBITMAP CButton::SetBitmap(HBITMAP b) { return reinterpret_cast<HBITMAP>(Send(this, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(b))); }
HBITMAP CButton::GetBitmap() const { return reinterpret_cast<HBITMAP>(Send(this, BM_GETIMAGE, IMAGE_BITMAP)); }
void CButton::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }  // an owner-drawn button must override this
BOOL CButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg != WM_DRAWITEM) return CWnd::OnChildNotify(msg, wp, lp, r);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    if (r) *r = TRUE;
    return TRUE;
}

// ---- edit ----------------------------------------------------------------------------------
BOOL CEdit::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "Edit", nullptr, style, r, parent, id);
}
void CEdit::SetSel(int s, int e, BOOL no_scroll) {
    Send(this, EM_SETSEL, WPARAM(s), e);
    if (!no_scroll) Send(this, EM_SCROLLCARET);
}
void CEdit::GetSel(int& s, int& e) const {
    DWORD ds = 0, de = 0;
    Send(this, EM_GETSEL, reinterpret_cast<WPARAM>(&ds), reinterpret_cast<LPARAM>(&de));
    s = int(ds);
    e = int(de);
}
void CEdit::ReplaceSel(LPCSTR t, BOOL undo) { Send(this, EM_REPLACESEL, WPARAM(undo), reinterpret_cast<LPARAM>(t)); }
void CEdit::SetLimitText(UINT max) { Send(this, EM_LIMITTEXT, max); }
UINT CEdit::GetLimitText() const { return UINT(Send(this, EM_GETLIMITTEXT)); }
void CEdit::SetReadOnly(BOOL ro) { Send(this, EM_SETREADONLY, WPARAM(ro)); }
BOOL CEdit::GetModify() const { return BOOL(Send(this, EM_GETMODIFY)); }
void CEdit::SetModify(BOOL m) { Send(this, EM_SETMODIFY, WPARAM(m)); }
int CEdit::GetLineCount() const { return int(Send(this, EM_GETLINECOUNT)); }
void CEdit::Clear() { Send(this, WM_CLEAR); }
void CEdit::Copy() { Send(this, WM_COPY); }
void CEdit::Cut() { Send(this, WM_CUT); }
void CEdit::Paste() { Send(this, WM_PASTE); }
BOOL CEdit::Undo() { return BOOL(Send(this, EM_UNDO)); }

// ---- list box ------------------------------------------------------------------------------
BOOL CListBox::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "ListBox", nullptr, style, r, parent, id);
}
int CListBox::AddString(LPCSTR s) { return int(Send(this, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
int CListBox::InsertString(int i, LPCSTR s) { return int(Send(this, LB_INSERTSTRING, WPARAM(i), reinterpret_cast<LPARAM>(s))); }
int CListBox::DeleteString(UINT i) { return int(Send(this, LB_DELETESTRING, i)); }
void CListBox::ResetContent() { Send(this, LB_RESETCONTENT); }
int CListBox::GetCount() const { return int(Send(this, LB_GETCOUNT)); }
int CListBox::GetCurSel() const { return int(Send(this, LB_GETCURSEL)); }
int CListBox::SetCurSel(int i) { return int(Send(this, LB_SETCURSEL, WPARAM(i))); }
int CListBox::GetText(int i, LPSTR buf) const { return int(Send(this, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf))); }
void CListBox::GetText(int i, CString& s) const {
    int n = GetTextLen(i);
    if (n < 0) {
        s.Empty();
        return;
    }
    GetText(i, s.GetBuffer(n));
    s.ReleaseBuffer();
}
int CListBox::GetTextLen(int i) const { return int(Send(this, LB_GETTEXTLEN, WPARAM(i))); }
int CListBox::FindString(int after, LPCSTR s) const { return int(Send(this, LB_FINDSTRING, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
int CListBox::FindStringExact(int after, LPCSTR s) const { return int(Send(this, LB_FINDSTRINGEXACT, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
int CListBox::SelectString(int after, LPCSTR s) { return int(Send(this, LB_SELECTSTRING, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
int CListBox::GetItemHeight(int i) const { return int(Send(this, LB_GETITEMHEIGHT, WPARAM(i))); }
int CListBox::SetItemHeight(int i, UINT h) { return int(Send(this, LB_SETITEMHEIGHT, WPARAM(i), MAKELPARAM(h, 0))); }
int CListBox::GetTopIndex() const { return int(Send(this, LB_GETTOPINDEX)); }
int CListBox::SetTopIndex(int i) { return int(Send(this, LB_SETTOPINDEX, WPARAM(i))); }
DWORD_PTR CListBox::GetItemData(int i) const { return DWORD_PTR(Send(this, LB_GETITEMDATA, WPARAM(i))); }
int CListBox::SetItemData(int i, DWORD_PTR d) { return int(Send(this, LB_SETITEMDATA, WPARAM(i), LPARAM(d))); }
int CListBox::GetItemRect(int i, LPRECT r) const { return int(Send(this, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(r))); }
UINT CListBox::ItemFromPoint(CPoint p, BOOL& outside) const {
    DWORD r = DWORD(Send(this, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y)));
    outside = HIWORD(r);
    return LOWORD(r);
}
int CListBox::GetSel(int i) const { return int(Send(this, LB_GETSEL, WPARAM(i))); }
int CListBox::SetSel(int i, BOOL sel) { return int(Send(this, LB_SETSEL, WPARAM(sel), i)); }
int CListBox::GetSelCount() const { return int(Send(this, LB_GETSELCOUNT)); }
void CListBox::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) { ASSERT(FALSE); }
BOOL CListBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg == WM_DRAWITEM) DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    else if (msg == WM_MEASUREITEM) MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lp));
    else return CWnd::OnChildNotify(msg, wp, lp, r);
    if (r) *r = TRUE;
    return TRUE;
}

// ---- combo box -----------------------------------------------------------------------------
BOOL CComboBox::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "ComboBox", nullptr, style, r, parent, id);
}
int CComboBox::AddString(LPCSTR s) { return int(Send(this, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
int CComboBox::InsertString(int i, LPCSTR s) { return int(Send(this, CB_INSERTSTRING, WPARAM(i), reinterpret_cast<LPARAM>(s))); }
int CComboBox::DeleteString(UINT i) { return int(Send(this, CB_DELETESTRING, i)); }
void CComboBox::ResetContent() { Send(this, CB_RESETCONTENT); }
int CComboBox::GetCount() const { return int(Send(this, CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return int(Send(this, CB_GETCURSEL)); }
int CComboBox::SetCurSel(int i) { return int(Send(this, CB_SETCURSEL, WPARAM(i))); }
int CComboBox::GetLBText(int i, LPSTR buf) const { return int(Send(this, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf))); }
void CComboBox::GetLBText(int i, CString& s) const {
    int n = GetLBTextLen(i);
    if (n < 0) {
        s.Empty();
        return;
    }
    GetLBText(i, s.GetBuffer(n));
    s.ReleaseBuffer();
}
int CComboBox::GetLBTextLen(int i) const { return int(Send(this, CB_GETLBTEXTLEN, WPARAM(i))); }
int CComboBox::FindString(int after, LPCSTR s) const { return int(Send(this, CB_FINDSTRING, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
int CComboBox::FindStringExact(int after, LPCSTR s) const { return int(Send(this, CB_FINDSTRINGEXACT, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
int CComboBox::SelectString(int after, LPCSTR s) { return int(Send(this, CB_SELECTSTRING, WPARAM(after), reinterpret_cast<LPARAM>(s))); }
DWORD_PTR CComboBox::GetItemData(int i) const { return DWORD_PTR(Send(this, CB_GETITEMDATA, WPARAM(i))); }
int CComboBox::SetItemData(int i, DWORD_PTR d) { return int(Send(this, CB_SETITEMDATA, WPARAM(i), LPARAM(d))); }
void CComboBox::ShowDropDown(BOOL show) { Send(this, CB_SHOWDROPDOWN, WPARAM(show)); }
BOOL CComboBox::GetDroppedState() const { return BOOL(Send(this, CB_GETDROPPEDSTATE)); }
int CComboBox::GetItemHeight(int i) const { return int(Send(this, CB_GETITEMHEIGHT, WPARAM(i))); }
int CComboBox::SetItemHeight(int i, UINT h) { return int(Send(this, CB_SETITEMHEIGHT, WPARAM(i), LPARAM(h))); }
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) { ASSERT(FALSE); }
BOOL CComboBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg == WM_DRAWITEM) DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    else if (msg == WM_MEASUREITEM) MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lp));
    else return CWnd::OnChildNotify(msg, wp, lp, r);
    if (r) *r = TRUE;
    return TRUE;
}

// ---- scroll bar ----------------------------------------------------------------------------
BOOL CScrollBar::Create(DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CreateEx(0, "ScrollBar", nullptr, style, r, parent, id);
}
int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int pos, BOOL redraw) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
void CScrollBar::GetScrollRange(LPINT mn, LPINT mx) const { ::GetScrollRange(m_hWnd, SB_CTL, mn, mx); }
void CScrollBar::SetScrollRange(int mn, int mx, BOOL redraw) { ::SetScrollRange(m_hWnd, SB_CTL, mn, mx, redraw); }
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO info, BOOL redraw) {
    info->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw);
    return TRUE;
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO info, UINT mask) {
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, info);
}
int CScrollBar::GetScrollLimit() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(m_hWnd, SB_CTL, &si)) return 0;
    int limit = si.nMax - std::max<int>(int(si.nPage) - 1, 0);
    return std::max(limit, si.nMin);
}
void CScrollBar::ShowScrollBar(BOOL show) { ::ShowScrollBar(m_hWnd, SB_CTL, show); }

// ---- menus ---------------------------------------------------------------------------------
namespace {
std::mutex& MenuLock() {
    static std::mutex m;
    return m;
}
std::unordered_map<HMENU, CMenu*>& MenuMap() {
    static auto* m = new std::unordered_map<HMENU, CMenu*>;
    return *m;
}
}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const {
    const CMenu* self = this;
    return self ? m_hMenu : nullptr;
}

CMenu* CMenu::FromHandlePermanent(HMENU h) {
    std::lock_guard<std::mutex> g(MenuLock());
    auto it = MenuMap().find(h);
    return it == MenuMap().end() ? nullptr : it->second;
}

CMenu* CMenu::FromHandle(HMENU h) {
    if (!h) return nullptr;
    if (CMenu* m = FromHandlePermanent(h)) return m;
    auto& temp = afx::State().temp_menus;
    auto it = temp.find(h);
    if (it != temp.end()) return it->second;
    CMenu* m = new CMenu;
    m->m_hMenu = h;
    temp[h] = m;
    return m;
}

BOOL CMenu::Attach(HMENU h) {
    if (!h || m_hMenu) return FALSE;
    std::lock_guard<std::mutex> g(MenuLock());
    if (!MenuMap().emplace(h, this).second) return FALSE;
    m_hMenu = h;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    if (h) {
        std::lock_guard<std::mutex> g(MenuLock());
        auto it = MenuMap().find(h);
        if (it != MenuMap().end() && it->second == this) MenuMap().erase(it);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(id)); }
BOOL CMenu::LoadMenu(LPCSTR name) { return Attach(::LoadMenuA(AfxGetResourceHandle(), name)); }
BOOL CMenu::LoadMenuIndirect(const void* tmpl) { return Attach(::LoadMenuIndirectA(tmpl)); }
BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}
BOOL CMenu::DeleteMenu(UINT pos, UINT flags) { return ::DeleteMenu(m_hMenu, pos, flags); }
BOOL CMenu::RemoveMenu(UINT pos, UINT flags) { return ::RemoveMenu(m_hMenu, pos, flags); }
BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR item) { return ::AppendMenuA(m_hMenu, flags, id, item); }
BOOL CMenu::InsertMenu(UINT pos, UINT flags, UINT_PTR id, LPCSTR item) { return ::InsertMenuA(m_hMenu, pos, flags, id, item); }
BOOL CMenu::ModifyMenu(UINT pos, UINT flags, UINT_PTR id, LPCSTR item) { return ::ModifyMenuA(m_hMenu, pos, flags, id, item); }
UINT CMenu::CheckMenuItem(UINT id, UINT check) { return UINT(::CheckMenuItem(m_hMenu, id, check)); }
UINT CMenu::EnableMenuItem(UINT id, UINT enable) { return UINT(::EnableMenuItem(m_hMenu, id, enable)); }
UINT CMenu::GetMenuItemCount() const { return UINT(::GetMenuItemCount(m_hMenu)); }
UINT CMenu::GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
int CMenu::GetMenuString(UINT id, LPSTR text, int max, UINT flags) const { return ::GetMenuStringA(m_hMenu, id, text, max, flags); }
int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    int n = ::GetMenuStringA(m_hMenu, id, nullptr, 0, flags);
    if (n <= 0) {
        text.Empty();
        return 0;
    }
    ::GetMenuStringA(m_hMenu, id, text.GetBuffer(n), n + 1, flags);
    text.ReleaseBuffer();
    return text.GetLength();
}
BOOL CMenu::GetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL by_pos) { return ::GetMenuItemInfoA(m_hMenu, item, by_pos, info); }
BOOL CMenu::SetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL by_pos) { return ::SetMenuItemInfoA(m_hMenu, item, by_pos, info); }
CMenu* CMenu::GetSubMenu(int pos) const { return FromHandle(::GetSubMenu(m_hMenu, pos)); }
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT r) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, r);
}
void CMenu::DrawItem(LPDRAWITEMSTRUCT) { ASSERT(FALSE); }  // an owner-drawn menu must override this
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) { ASSERT(FALSE); }
