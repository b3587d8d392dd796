#include "CellComboList.h"

#include <cctype>

namespace {
const UINT& Registered(const char* name, UINT& slot) {
    slot = ::RegisterWindowMessageA(name);
    return slot;
}
constexpr UINT_PTR kHotTrackTimer = 1;
constexpr UINT kHotTrackMs = 80;
}  // namespace

const UINT& CellComboVkReturnMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLCOMBO_VK_RETURN", m);
    return r;
}
const UINT& CellComboVkEscapeMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLCOMBO_VK_ESCAPE", m);
    return r;
}
const UINT& CellComboKeyDownMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLCOMBO_KEYDOWN", m);
    return r;
}
const UINT& CellComboLButtonUpMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLCOMBO_LBUTTONUP", m);
    return r;
}

namespace {
// Registers the four messages while the program starts, as well as on first use.
[[maybe_unused]] const bool g_registered_at_start = [] {
    CellComboVkReturnMessage();
    CellComboVkEscapeMessage();
    CellComboKeyDownMessage();
    CellComboLButtonUpMessage();
    return true;
}();
}  // namespace

BEGIN_MESSAGE_MAP(CCellComboList, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_VSCROLL()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CCellComboList::CCellComboList(CWnd* owner) : m_pOwner(owner) { ASSERT(owner != nullptr); }

CCellComboList::~CCellComboList() {
    if (m_hWnd) DestroyWindow();
}

void CCellComboList::SetFont(CFont* font, BOOL redraw) {
    if (m_list.m_hWnd) m_list.SetFont(font, redraw);
}

CScrollBar* CCellComboList::GetPopupScrollBar(int) const { return &m_scrollBar; }

void CCellComboList::SendRegisteredMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pOwner && ::IsWindow(m_pOwner->m_hWnd)) m_pOwner->SendMessage(msg, wp, lp);
}

int CCellComboList::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    BOOL list_ok = m_list.Create(WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, CRect(0, 0, 0, 0), this, 0);
    BOOL bar_ok = m_scrollBar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 0, 0), this, 0);
    ASSERT(list_ok && bar_ok);
    if (!list_ok || !bar_ok) return -1;
    if (m_pOwner && m_pOwner->m_hWnd) {
        if (CFont* font = m_pOwner->GetFont()) {
            m_list.SetFont(font, FALSE);
            m_scrollBar.SetFont(font, FALSE);
        }
    }
    return 0;
}

void CCellComboList::Show(int scroll_bar_width) {
    if (!m_hWnd || !m_list.m_hWnd) return;
    m_list.SetFocus();
    if (!m_bNeedsLayout) return;
    m_bNeedsLayout = FALSE;

    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    int item_height = m_list.GetItemHeight(0);
    if (item_height <= 0) item_height = 1;  // a list without a usable height still lays out

    CRect list = client;
    list.top += 1;
    list.left += 1;
    list.right -= scroll_bar_width;
    int list_height = window.Height() / item_height * item_height;
    list.bottom = list.top + list_height;

    int visible = list_height / item_height;
    window.bottom = window.top + list_height + 4;

    MoveWindow(&window);
    m_list.MoveWindow(&list);
    ::SetWindowPos(m_list.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_scrollBar.MoveWindow(list.right, list.top, scroll_bar_width, list_height);

    int sel = m_list.GetCurSel();
    if (sel < 0) sel = 0;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = m_list.GetCount();
    si.nPage = UINT(visible);
    si.nPos = sel;
    m_list.SetTopIndex(sel > 0 ? sel - 1 : 0);
    m_scrollBar.SetScrollInfo(&si, TRUE);
    m_scrollBar.SetScrollPos(sel, TRUE);
    SetTimer(kHotTrackTimer, kHotTrackMs);
}

void CCellComboList::OnTimer(UINT_PTR id) {
    if (id != kHotTrackTimer) {
        CWnd::OnTimer(id);
        return;
    }
    if (!m_list.m_hWnd) return;
    CPoint pt;
    ::GetCursorPos(&pt);
    m_list.ScreenToClient(&pt);
    BOOL outside = TRUE;
    UINT index = m_list.ItemFromPoint(pt, outside);
    if (!outside && int(index) != m_list.GetCurSel() && int(index) >= 0 && int(index) < m_list.GetCount())
        m_list.SetCurSel(int(index));
}

void CCellComboList::SetScrollPosClamped(int pos) {
    int lo = 0, hi = 0;
    m_scrollBar.GetScrollRange(&lo, &hi);
    if (pos > hi) pos = hi;
    if (pos < 0) pos = 0;
    m_scrollBar.SetScrollPos(pos, TRUE);
}

BOOL CCellComboList::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        m_scrollBar.GetScrollInfo(&si, SIF_ALL);
        int sel = m_list.GetCurSel();
        if (sel < 0) sel = 0;
        int page = int(si.nPage);
        int pos = 0;
        bool moved = true;
        UINT key = UINT(msg->wParam);
        switch (key) {
            case VK_RETURN:
                SendRegisteredMessage(WM_CELLCOMBO_VK_RETURN, 0, 0);
                moved = false;
                break;
            case VK_ESCAPE:
                SendRegisteredMessage(WM_CELLCOMBO_VK_ESCAPE, 0, 0);
                moved = false;
                break;
            case VK_PRIOR: pos = sel - (page - 1); break;
            case VK_NEXT: pos = sel + page - 1; break;
            case VK_END: pos = si.nMax; break;
            case VK_HOME: pos = 0; break;
            case VK_UP: pos = sel - 1; break;
            case VK_DOWN: pos = sel + 1; break;
            default:
                moved = false;
                if (key >= 'A' && key <= 'Z') {
                    // The next choice after the selection that begins with the letter; no wrap.
                    int count = m_list.GetCount();
                    for (int i = sel + 1; i < count; ++i) {
                        CString s;
                        m_list.GetText(i, s);
                        if (!s.IsEmpty() && std::toupper(static_cast<unsigned char>(s[0])) == int(key)) {
                            pos = i;
                            moved = true;
                            break;
                        }
                    }
                }
                break;
        }
        if (moved) {
            SendRegisteredMessage(WM_CELLCOMBO_KEYDOWN, 0, 0);
            SetScrollPosClamped(pos);
        }
    } else if (msg->message == WM_LBUTTONUP) {
        SendRegisteredMessage(WM_CELLCOMBO_LBUTTONUP, 0, 0);
    }
    // The list box still gets the message and moves its own selection.
    return CWnd::PreTranslateMessage(msg);
}

void CCellComboList::OnLButtonDown(UINT flags, CPoint pt) {
    SendRegisteredMessage(WM_CELLCOMBO_LBUTTONUP, 0, 0);
    CWnd::OnLButtonDown(flags, pt);
}

void CCellComboList::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    if (m_list.m_hWnd) m_list.SendMessage(WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    int lo = 0, hi = 0;
    m_scrollBar.GetScrollRange(&lo, &hi);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    m_scrollBar.GetScrollInfo(&si, SIF_ALL);
    int cur = m_scrollBar.GetScrollPos();
    int next = cur;
    switch (code) {
        case SB_LINEUP: next = cur - 1; break;
        case SB_LINEDOWN: next = cur + 1; break;
        case SB_PAGEUP: next = cur - int(si.nPage); break;
        case SB_PAGEDOWN: next = cur + int(si.nPage); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: next = int(pos); break;
        case SB_TOP: next = 0; break;
        case SB_BOTTOM: next = hi; break;
        case SB_ENDSCROLL:
        default: return;
    }
    SetScrollPosClamped(next);
}

void CCellComboList::OnKillFocus(CWnd* next) {
    CWnd::OnKillFocus(next);
    // The first two losses come from the popup handing the focus on while it opens; a later
    // one means the user went elsewhere.
    if (++m_nFocusLosses > 2) SendRegisteredMessage(WM_CELLCOMBO_VK_ESCAPE, 0, 0);
}

void CCellComboList::OnDestroy() {
    KillTimer(kHotTrackTimer);
    if (m_list.m_hWnd) m_list.DestroyWindow();
    CWnd::OnDestroy();
}
