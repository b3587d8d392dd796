// CWnd: thin members over the window-system API.
#include "afx_api.h"
#include "afx_state.h"

DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return DWORD(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(HWND h, DWORD remove, DWORD add, UINT flags) {
    DWORD old = DWORD(::GetWindowLongA(h, GWL_STYLE));
    DWORD now = (old & ~remove) | add;
    if (old == now) return FALSE;
    ::SetWindowLongA(h, GWL_STYLE, LONG(now));
    if (flags) ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
BOOL CWnd::ModifyStyleEx(HWND h, DWORD remove, DWORD add, UINT flags) {
    DWORD old = DWORD(::GetWindowLongA(h, GWL_EXSTYLE));
    DWORD now = (old & ~remove) | add;
    if (old == now) return FALSE;
    ::SetWindowLongA(h, GWL_EXSTYLE, LONG(now));
    if (flags) ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return ModifyStyle(m_hWnd, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return ModifyStyleEx(m_hWnd, remove, add, flags); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) { return int(::SetWindowLongPtrA(m_hWnd, GWLP_ID, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* parent) { return FromHandle(::SetParent(m_hWnd, parent ? parent->m_hWnd : nullptr)); }
CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER) ? ::GetWindow(m_hWnd, GW_OWNER) : ::GetParent(m_hWnd)); }
void CWnd::SetOwner(CWnd* owner) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner ? owner->m_hWnd : nullptr));
}
CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    while (h && (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return FromHandle(h);
}
CWnd* CWnd::GetParentOwner() const {
    HWND h = m_hWnd;
    while (h && (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return FromHandle(h);
}
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
void CWnd::GetDlgItem(int id, HWND* out) const { *out = ::GetDlgItem(m_hWnd, id); }
CWnd* CWnd::GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetNextDlgTabItem(CWnd* ctl, BOOL prev) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, ctl ? ctl->m_hWnd : nullptr, prev));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* ctl, BOOL prev) const {
    return FromHandle(::GetNextDlgGroupItem(m_hWnd, ctl ? ctl->m_hWnd : nullptr, prev));
}
CWnd* CWnd::ChildWindowFromPoint(POINT p) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, p)); }
BOOL CWnd::IsChild(const CWnd* w) const { return w && ::IsChild(m_hWnd, w->m_hWnd); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::WindowFromPoint(POINT p) { return FromHandle(::WindowFromPoint(p)); }
CWnd* CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
CWnd* CWnd::FindWindow(LPCSTR cls, LPCSTR name) { return FromHandle(::FindWindowA(cls, name)); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }

void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
int CWnd::GetWindowText(LPSTR text, int max) const { return ::GetWindowTextA(m_hWnd, text, max); }
void CWnd::GetWindowText(CString& text) const {
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBuffer(n), n + 1);
    text.ReleaseBuffer();
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
void CWnd::SetFont(CFont* font, BOOL redraw) {
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}
CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}
HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
HICON CWnd::GetIcon(BOOL big) const {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
}
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr); }
CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

void CWnd::GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
void CWnd::GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
void CWnd::ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
void CWnd::ClientToScreen(LPRECT r) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->right));
}
void CWnd::ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
void CWnd::ScreenToClient(LPRECT r) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->right));
}
void CWnd::MapWindowPoints(CWnd* to, LPPOINT pts, UINT count) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, pts, count);
}
void CWnd::MapWindowPoints(CWnd* to, LPRECT r) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(r), 2);
}
void CWnd::MoveWindow(int x, int y, int w, int h, BOOL repaint) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
void CWnd::MoveWindow(LPCRECT r, BOOL repaint) {
    ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::CenterWindow(CWnd* alternate) {
    RECT me, area;
    ::GetWindowRect(m_hWnd, &me);
    HWND around = alternate ? alternate->m_hWnd : ::GetParent(m_hWnd);
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(around, &area);
        POINT tl{me.left, me.top};
        ::ScreenToClient(around, &tl);
        me = RECT{tl.x, tl.y, tl.x + (me.right - me.left), tl.y + (me.bottom - me.top)};
    } else if (around) {
        ::GetWindowRect(around, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
BOOL CWnd::SetWindowRgn(HRGN rgn, BOOL redraw) { return ::SetWindowRgn(m_hWnd, rgn, redraw); }

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT r, BOOL erase) { ::InvalidateRect(m_hWnd, r, erase); }
void CWnd::InvalidateRgn(CRgn* rgn, BOOL erase) { ::InvalidateRgn(m_hWnd, rgn ? HRGN(rgn->m_hObject) : nullptr, erase); }
void CWnd::ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT r, CRgn* rgn, UINT flags) {
    return ::RedrawWindow(m_hWnd, r, rgn ? HRGN(rgn->m_hObject) : nullptr, flags);
}
BOOL CWnd::LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
void CWnd::UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0; }
CDC* CWnd::BeginPaint(LPPAINTSTRUCT ps) { return CDC::FromHandle(::BeginPaint(m_hWnd, ps)); }
void CWnd::EndPaint(LPPAINTSTRUCT ps) { ::EndPaint(m_hWnd, ps); }
BOOL CWnd::GetUpdateRect(LPRECT r, BOOL erase) { return ::GetUpdateRect(m_hWnd, r, erase); }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wp, LPARAM lp) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
BOOL CWnd::PostMessage(UINT msg, WPARAM wp, LPARAM lp) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
LRESULT CWnd::SendDlgItemMessage(int id, UINT msg, WPARAM wp, LPARAM lp) const {
    return ::SendMessageA(::GetDlgItem(m_hWnd, id), msg, wp, lp);
}
namespace {
struct DescendantSend {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    BOOL deep;
    BOOL only_perm;
    HWND parent;
};
BOOL CALLBACK SendToChild(HWND h, LPARAM data) {
    auto* d = reinterpret_cast<DescendantSend*>(data);
    if (!d->deep && ::GetParent(h) != d->parent) return TRUE;
    if (!d->only_perm || CWnd::FromHandlePermanent(h)) ::SendMessageA(h, d->msg, d->wp, d->lp);
    return TRUE;
}
}  // namespace
void CWnd::SendMessageToDescendants(UINT msg, WPARAM wp, LPARAM lp, BOOL deep, BOOL only_perm) {
    DescendantSend d{msg, wp, lp, deep, only_perm, m_hWnd};
    ::EnumChildWindows(m_hWnd, &SendToChild, reinterpret_cast<LPARAM>(&d));
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void(CALLBACK* proc)(HWND, UINT, UINT_PTR, DWORD)) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    if (!caption) caption = AfxGetAppName();
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetWindowTextA(::GetDlgItem(m_hWnd, id), text); }
int CWnd::GetDlgItemText(int id, LPSTR text, int max) const { return ::GetWindowTextA(::GetDlgItem(m_hWnd, id), text, max); }
int CWnd::GetDlgItemText(int id, CString& text) const {
    CWnd* w = GetDlgItem(id);
    if (!w) {
        text.Empty();
        return 0;
    }
    w->GetWindowText(text);
    return text.GetLength();
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL is_signed) {
    CString s;
    if (is_signed) s.Format("%d", int(value));
    else s.Format("%u", value);
    SetDlgItemText(id, s);
}
UINT CWnd::GetDlgItemInt(int id, BOOL* ok, BOOL is_signed) const {
    CString s;
    GetDlgItemText(id, s);
    s.Trim();
    char* end = nullptr;
    long long v = std::strtoll(s, &end, 10);
    bool good = !s.IsEmpty() && end && *end == 0 && (is_signed || v >= 0);
    if (ok) *ok = good;
    return good ? UINT(v) : 0;
}
void CWnd::CheckDlgButton(int id, UINT check) { ::SendMessageA(::GetDlgItem(m_hWnd, id), BM_SETCHECK, check, 0); }
UINT CWnd::IsDlgButtonChecked(int id) const { return UINT(::SendMessageA(::GetDlgItem(m_hWnd, id), BM_GETCHECK, 0, 0)); }
void CWnd::CheckRadioButton(int first, int last, int check) {
    for (int id = first; id <= last; ++id) CheckDlgButton(id, id == check ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask) {
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
}
BOOL CWnd::SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw) {
    info->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
    return TRUE;
}
int CWnd::GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
void CWnd::SetScrollRange(int bar, int min, int max, BOOL redraw) { ::SetScrollRange(m_hWnd, bar, min, max, redraw); }
void CWnd::ShowScrollBar(UINT bar, BOOL show) { ::ShowScrollBar(m_hWnd, int(bar), show); }
