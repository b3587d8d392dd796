// Control bars: the tool bar, status bar and rebar as framework objects over their common
// controls, and dock sites that hold bars along a window's edges.
#include <algorithm>

#include "afxext.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDockSite, CControlBar)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)

namespace {

// The framework's bar class, registered on first use.
LPCSTR ControlBarClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        wc.lpszClassName = AFX_WNDCONTROLBAR;
        WNDCLASSA existing;
        return ::RegisterClassA(&wc) != 0 || ::GetClassInfoA(wc.hInstance, AFX_WNDCONTROLBAR, &existing);
    }();
    return registered ? AFX_WNDCONTROLBAR : nullptr;
}

bool Horizontal(DWORD style) { return (style & CBRS_ORIENT_VERT) == 0; }

CSize WindowSize(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return CSize(r.right - r.left, r.bottom - r.top);
}

// The framework places its bars itself; the controls must not move to their parent's edge.
constexpr DWORD kPlacedByFramework = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;

}  // namespace

// ---- CControlBar ----

CSize CControlBar::CalcFixedLayout(BOOL, BOOL) { return WindowSize(m_hWnd); }

// ---- CDockSite ----

BOOL CDockSite::Create(CWnd* parent, DWORD align, UINT id) {
    align &= CBRS_ALIGN_ANY;
    if (!parent || !ControlBarClass() || (align != CBRS_ALIGN_LEFT && align != CBRS_ALIGN_TOP &&
                                           align != CBRS_ALIGN_RIGHT && align != CBRS_ALIGN_BOTTOM))
        return FALSE;
    if (!id) {
        id = align == CBRS_ALIGN_TOP ? AFX_IDW_DOCKBAR_TOP : align == CBRS_ALIGN_LEFT ? AFX_IDW_DOCKBAR_LEFT
           : align == CBRS_ALIGN_RIGHT ? AFX_IDW_DOCKBAR_RIGHT : AFX_IDW_DOCKBAR_BOTTOM;
    }
    m_dwStyle = align;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | align;
    if (!CWnd::CreateEx(0, ControlBarClass(), nullptr, style, CRect(0, 0, 0, 0), parent, id)) return FALSE;
    Layout();
    return TRUE;
}

void CDockSite::Dock(CControlBar* bar) {
    if (!bar || !bar->m_hWnd || !m_hWnd) return;
    Undock(bar);
    ::SetParent(bar->m_hWnd, m_hWnd);
    DWORD old = bar->m_dwStyle;
    bar->m_dwStyle = (bar->m_dwStyle & ~CBRS_ALIGN_ANY) | (m_dwStyle & CBRS_ALIGN_ANY);
    bar->OnBarStyleChange(old, bar->m_dwStyle);
    m_bars.push_back(bar);
    Layout();
}

void CDockSite::Undock(CControlBar* bar) {
    auto it = std::find(m_bars.begin(), m_bars.end(), bar);
    if (it == m_bars.end()) return;
    m_bars.erase(it);
    Layout();
}

CSize CDockSite::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
    CSize total;
    for (CControlBar* bar : m_bars) {
        if (!bar->m_hWnd || !::IsWindowVisible(bar->m_hWnd)) continue;
        CSize s = bar->CalcFixedLayout(stretch, horizontal);
        if (horizontal) {
            total.cx = std::max(total.cx, s.cx);
            total.cy += s.cy;
        } else {
            total.cx += s.cx;
            total.cy = std::max(total.cy, s.cy);
        }
    }
    return total;
}

void CDockSite::Layout() {
    CWnd* parent = GetParent();
    if (!m_hWnd || !parent) return;
    RECT pr;
    ::GetClientRect(parent->m_hWnd, &pr);
    bool horz = Horizontal(m_dwStyle);
    CSize need = CalcFixedLayout(TRUE, horz);
    int x = 0, y = 0, cx = pr.right, cy = pr.bottom;
    switch (m_dwStyle & CBRS_ALIGN_ANY) {
        case CBRS_ALIGN_TOP: cy = need.cy; break;
        case CBRS_ALIGN_BOTTOM: cy = need.cy; y = pr.bottom - cy; break;
        case CBRS_ALIGN_LEFT: cx = need.cx; break;
        default: cx = need.cx; x = pr.right - cx; break;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    int at = 0;
    for (CControlBar* bar : m_bars) {
        if (!bar->m_hWnd || !::IsWindowVisible(bar->m_hWnd)) continue;
        CSize s = bar->CalcFixedLayout(TRUE, horz);
        if (horz) ::SetWindowPos(bar->m_hWnd, nullptr, 0, at, cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        else ::SetWindowPos(bar->m_hWnd, nullptr, at, 0, s.cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        at += horz ? s.cy : s.cx;
    }
}

// ---- CToolBar ----

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) { return CreateEx(parent, 0, style, CRect(), id); }

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrl_style, DWORD style, CRect, UINT id) {
    // The bar's CBRS_* bits stay in m_dwStyle: in the window style they would mean TBSTYLE_*.
    m_dwStyle = style & CBRS_ALL;
    DWORD window = (style & ~CBRS_ALL) | (ctrl_style & 0xFFFF) | kPlacedByFramework;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, window, CRect(0, 0, 0, 0), parent, id)) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) { return LoadToolBar(MAKEINTRESOURCEA(id)); }

BOOL CToolBar::LoadToolBar(LPCSTR name) {
    HRSRC r = ::FindResourceA(AfxGetResourceHandle(), name, RT_TOOLBAR);
    if (!r) return FALSE;  // no tool-bar resources on this platform
    TRACE("CToolBar: tool-bar resources are not supported\n");
    return FALSE;
}

CToolBar::~CToolBar() {
    if (m_images) ImageList_Destroy(m_images);
}

BOOL CToolBar::SetBitmap(HBITMAP bitmap) {
    if (!m_hWnd || !bitmap) return FALSE;
    HIMAGELIST old = m_images;
    HIMAGELIST list = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR32, 8, 8);
    if (ImageList_Add(list, bitmap, nullptr) < 0) {
        ImageList_Destroy(list);
        return FALSE;
    }
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    m_images = list;
    if (old) ImageList_Destroy(old);
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
    if (!m_hWnd || count < 0 || (count > 0 && !ids)) return FALSE;
    while (SendMessage(TB_BUTTONCOUNT, 0, 0) > 0) SendMessage(TB_DELETEBUTTON, 0, 0);
    m_texts.assign(size_t(count), CString());
    std::vector<TBBUTTON> buttons(static_cast<size_t>(count));
    int image = 0;
    for (int k = 0; k < count; ++k) {
        TBBUTTON& b = buttons[size_t(k)];
        b.idCommand = int(ids[k]);
        b.iString = -1;
        if (ids[k] == ID_SEPARATOR) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
        }
    }
    if (count) SendMessage(TB_ADDBUTTONSA, WPARAM(count), reinterpret_cast<LPARAM>(buttons.data()));
    OnBarStyleChange(m_dwStyle, m_dwStyle);
    return TRUE;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
    m_sizeButton = button;
    m_sizeImage = image;
    if (!m_hWnd) return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(image.cx, image.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(button.cx, button.cy));
}

BOOL CToolBar::SetButtonText(int index, LPCSTR text) {
    if (index < 0 || index >= GetCount()) return FALSE;
    m_texts.resize(size_t(GetCount()));
    m_texts[size_t(index)] = text ? text : "";
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = const_cast<LPSTR>(m_texts[size_t(index)].GetString());
    return SendMessage(TB_SETBUTTONINFOA, WPARAM(index), reinterpret_cast<LPARAM>(&info)) != 0;
}

int CToolBar::GetCount() const { return m_hWnd ? int(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0)) : 0; }

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON b{};
    if (!m_hWnd || !::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&b))) return 0;
    return b.fsStyle & BTNS_SEP ? ID_SEPARATOR : UINT(b.idCommand);
}

int CToolBar::CommandToIndex(UINT id) const {
    return m_hWnd ? int(::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, id, 0)) : -1;
}

void CToolBar::GetItemRect(int index, LPRECT rect) const {
    if (rect) *rect = RECT{};
    if (m_hWnd && rect) ::SendMessageA(m_hWnd, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(rect));
}

UINT CToolBar::GetButtonStyle(int index) const {
    TBBUTTON b{};
    if (!m_hWnd || !::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&b))) return 0;
    return UINT(b.fsStyle) | (UINT(b.fsState) << 16);
}

void CToolBar::SetButtonStyle(int index, UINT style) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = BYTE(style);
    info.fsState = BYTE(style >> 16);
    if (!(style >> 16)) {
        TBBUTTON b{};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&b));
        info.fsState = b.fsState;
    }
    SendMessage(TB_SETBUTTONINFOA, WPARAM(index), reinterpret_cast<LPARAM>(&info));
}

// A bar on a side stands its buttons one under another.
void CToolBar::OnBarStyleChange(DWORD, DWORD new_style) {
    bool vertical = !Horizontal(new_style);
    for (int k = 0; k < GetCount(); ++k) {
        TBBUTTON b{};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, WPARAM(k), reinterpret_cast<LPARAM>(&b));
        BYTE state = vertical ? BYTE(b.fsState | TBSTATE_WRAP) : BYTE(b.fsState & ~TBSTATE_WRAP);
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = state;
        SendMessage(TB_SETBUTTONINFOA, WPARAM(k), reinterpret_cast<LPARAM>(&info));
    }
}

CSize CToolBar::CalcFixedLayout(BOOL, BOOL) {
    SIZE s{};
    if (m_hWnd) ::SendMessageA(m_hWnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&s));
    return CSize(s.cx + 2, s.cy + 2);
}

// ---- CStatusBar ----

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    DWORD window = style & ~CBRS_ALL;
    if (m_dwStyle & CBRS_ALIGN_TOP) window |= CCS_TOP;
    return CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, window, CRect(0, 0, 0, 0), parent, id);
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (!m_hWnd || count <= 0 || !ids) return FALSE;
    m_panes.assign(size_t(count), Pane{});
    CClientDC dc(this);
    HGDIOBJ old = ::SelectObject(dc.m_hDC, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT, 0, 0)));
    if (!old) old = ::SelectObject(dc.m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    for (int k = 0; k < count; ++k) {
        Pane& p = m_panes[size_t(k)];
        p.id = ids[k];
        if (p.id == ID_SEPARATOR) {
            p.style = SBPS_STRETCH | SBPS_NOBORDERS;
            continue;
        }
        p.text.LoadString(p.id);
        SIZE sz{};
        ::GetTextExtentPoint32A(dc.m_hDC, p.text, p.text.GetLength(), &sz);
        p.width = sz.cx + 8;
    }
    ::SelectObject(dc.m_hDC, old);
    UpdateParts();
    return TRUE;
}

// The parts' right edges: fixed panes at their widths from the right end, a stretchy one
// taking what is left.
void CStatusBar::UpdateParts() {
    RECT cr;
    ::GetClientRect(m_hWnd, &cr);
    int n = int(m_panes.size());
    std::vector<int> rights(static_cast<size_t>(n));
    int fixed = 0;
    for (const Pane& p : m_panes) fixed += (p.style & SBPS_STRETCH) ? 0 : p.width + 2;
    int stretch = std::max(0, int(cr.right) - fixed);
    int x = 0;
    for (int k = 0; k < n; ++k) {
        const Pane& p = m_panes[size_t(k)];
        x += (p.style & SBPS_STRETCH) ? stretch : p.width + 2;
        rights[size_t(k)] = k == n - 1 ? -1 : x;
    }
    SendMessage(SB_SETPARTS, WPARAM(n), reinterpret_cast<LPARAM>(rights.data()));
    for (int k = 0; k < n; ++k) {
        const Pane& p = m_panes[size_t(k)];
        SendMessage(SB_SETTEXTA, WPARAM(k) | (p.style & (SBT_NOBORDERS | SBT_POPOUT)), reinterpret_cast<LPARAM>(p.text.GetString()));
    }
}

BOOL CStatusBar::SetPaneText(int index, LPCSTR text, BOOL update) {
    if (index < 0 || index >= GetCount()) return FALSE;
    Pane& p = m_panes[size_t(index)];
    p.text = text ? text : "";
    SendMessage(SB_SETTEXTA, WPARAM(index) | (p.style & (SBT_NOBORDERS | SBT_POPOUT)), reinterpret_cast<LPARAM>(p.text.GetString()));
    if (update) ::UpdateWindow(m_hWnd);
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= int(m_panes.size())) return CString();
    return m_panes[size_t(index)].text;
}

UINT CStatusBar::GetItemID(int index) const {
    return index >= 0 && index < int(m_panes.size()) ? m_panes[size_t(index)].id : 0;
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (int k = 0; k < int(m_panes.size()); ++k)
        if (m_panes[size_t(k)].id == id) return k;
    return -1;
}

void CStatusBar::GetItemRect(int index, LPRECT rect) const {
    if (rect) *rect = RECT{};
    if (m_hWnd && rect) ::SendMessageA(m_hWnd, SB_GETRECT, WPARAM(index), reinterpret_cast<LPARAM>(rect));
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
    if (index < 0 || index >= GetCount()) return;
    Pane& p = m_panes[size_t(index)];
    p.id = id;
    p.style = style;
    p.width = std::max(0, width);
    UpdateParts();
}

void CStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const {
    id = style = 0;
    width = 0;
    if (index < 0 || index >= int(m_panes.size())) return;
    id = m_panes[size_t(index)].id;
    style = m_panes[size_t(index)].style;
    width = m_panes[size_t(index)].width;
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL) { return WindowSize(m_hWnd); }

// ---- CReBar ----

BOOL CReBar::Create(CWnd* parent, DWORD ctrl_style, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    DWORD window = (style & ~CBRS_ALL) | (ctrl_style & 0xFFFF);
    if (m_dwStyle & CBRS_ALIGN_BOTTOM) window |= CCS_BOTTOM;
    return CWnd::CreateEx(0, REBARCLASSNAMEA, nullptr, window, CRect(0, 0, 0, 0), parent, id);
}

BOOL CReBar::AddBar(CWnd* bar, LPCSTR text, HBITMAP background, DWORD band_style) {
    if (!m_hWnd || !bar || !bar->m_hWnd) return FALSE;
    CSize s = WindowSize(bar->m_hWnd);
    if (auto* control = dynamic_cast<CControlBar*>(bar)) s = control->CalcFixedLayout(FALSE, TRUE);
    REBARBANDINFOA b{};
    b.cbSize = sizeof b;
    b.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | (text ? RBBIM_TEXT : 0) |
              (background ? RBBIM_BACKGROUND : 0);
    b.fStyle = band_style;
    b.hwndChild = bar->m_hWnd;
    b.cxMinChild = UINT(s.cx);
    b.cyMinChild = UINT(s.cy);
    b.cx = UINT(s.cx);
    b.lpText = const_cast<LPSTR>(text);
    b.hbmBack = background;
    return SendMessage(RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&b)) != 0;
}

int CReBar::GetBandCount() const { return m_hWnd ? int(::SendMessageA(m_hWnd, RB_GETBANDCOUNT, 0, 0)) : 0; }

CSize CReBar::CalcFixedLayout(BOOL, BOOL) {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return CSize(r.right, int(::SendMessageA(m_hWnd, RB_GETBARHEIGHT, 0, 0)));
}
