#include "PercentProgressCtrl.h"

#include <algorithm>
#include <cstring>

#include "memdc.h"

BEGIN_MESSAGE_MAP(CPercentProgressCtrl, CProgressCtrl)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SIZE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColor)
ON_MESSAGE(CCM_SETBKCOLOR, OnSetBkColor)
ON_MESSAGE(WM_PERCENTBAR_SETTEXTCOLOR, OnSetTextColor)
ON_MESSAGE(WM_PERCENTBAR_SHOWTEXT, OnSetShowText)
ON_MESSAGE(PBM_SETRANGE, OnSetRange)
ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
ON_MESSAGE(PBM_GETRANGE, OnGetRange)
ON_MESSAGE(PBM_SETPOS, OnSetPos)
ON_MESSAGE(PBM_GETPOS, OnGetPos)
ON_MESSAGE(PBM_DELTAPOS, OnOffsetPos)
ON_MESSAGE(PBM_STEPIT, OnStepIt)
ON_MESSAGE(PBM_SETSTEP, OnSetStep)
END_MESSAGE_MAP()

CPercentProgressCtrl::CPercentProgressCtrl()
    : m_crText(CLR_DEFAULT),
      m_nPosition(0),
      m_nStep(1),
      m_nUpper(100),
      m_nLower(0),
      m_bCaptionShown(TRUE),
      m_nPaintedLength(-1),
      m_crBar(CLR_DEFAULT),
      m_crBack(CLR_DEFAULT) {}

CPercentProgressCtrl::~CPercentProgressCtrl() = default;

// ---- state ----

namespace {
// trunc(extent x share) of the position within the range, in exact integers (a double product
// such as 100 x 0.29 lands just below 29); positions outside the range draw a full or an empty
// bar, and an empty range draws none.
int Share(long long extent, int pos, int lo, int hi) {
    if (lo >= hi || extent <= 0) return 0;
    long long p = std::clamp<long long>(pos, lo, hi);
    return int(extent * (p - lo) / ((long long)hi - lo));
}
}  // namespace

int CPercentProgressCtrl::BarLength() const {
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    // A vertical bar grows along its height; measuring it across would skip repaints.
    long long extent = (GetStyle() & PBS_VERTICAL) ? rc.Height() : rc.Width();
    return Share(extent, m_nPosition, m_nLower, m_nUpper);
}

void CPercentProgressCtrl::Refresh() {
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPercentProgressCtrl::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPaintedLength = -1;
    Refresh();
}

void CPercentProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    nLower = m_nLower;
    nUpper = m_nUpper;
}

COLORREF CPercentProgressCtrl::SetBarColor(COLORREF crBar) {
    COLORREF old = m_crBar;
    m_crBar = crBar;
    Refresh();
    return old;
}

COLORREF CPercentProgressCtrl::SetBkColor(COLORREF crBack) {
    COLORREF old = m_crBack;
    m_crBack = crBack;
    Refresh();
    return old;
}

COLORREF CPercentProgressCtrl::SetTextColor(COLORREF crText) {
    COLORREF old = m_crText;
    m_crText = crText;
    Refresh();
    return old;
}

void CPercentProgressCtrl::SetShowText(BOOL bShow) {
    if (!bShow == !m_bCaptionShown) return;
    m_bCaptionShown = bShow;
    Refresh();
}

// ---- messages ----

LRESULT CPercentProgressCtrl::OnSetBarColor(WPARAM, LPARAM lParam) { return SetBarColor(COLORREF(lParam)); }
LRESULT CPercentProgressCtrl::OnSetBkColor(WPARAM, LPARAM lParam) { return SetBkColor(COLORREF(lParam)); }
LRESULT CPercentProgressCtrl::OnSetTextColor(WPARAM, LPARAM lParam) { return SetTextColor(COLORREF(lParam)); }

LRESULT CPercentProgressCtrl::OnSetShowText(WPARAM wParam, LPARAM) {
    BOOL old = m_bCaptionShown;
    SetShowText(wParam != 0);
    return old;
}

LRESULT CPercentProgressCtrl::OnSetRange(WPARAM, LPARAM lParam) {
    LRESULT old = MAKELONG(WORD(m_nLower), WORD(m_nUpper));
    SetRange(LOWORD(lParam), HIWORD(lParam));
    return old;
}

LRESULT CPercentProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam) {
    LRESULT old = MAKELONG(WORD(m_nLower), WORD(m_nUpper));
    SetRange(int(wParam), int(lParam));
    return old;
}

LRESULT CPercentProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam) {
    if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
        range->iLow = m_nLower;
        range->iHigh = m_nUpper;
    }
    return wParam ? m_nLower : m_nUpper;
}

LRESULT CPercentProgressCtrl::OnSetPos(WPARAM wParam, LPARAM) {
    int old = m_nPosition;
    if (!m_hWnd) return old;
    m_nPosition = int(wParam);
    int len = BarLength();
    if (len != m_nPaintedLength) {
        m_nPaintedLength = len;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return old;
}

LRESULT CPercentProgressCtrl::OnGetPos(WPARAM, LPARAM) { return m_nPosition; }

LRESULT CPercentProgressCtrl::OnOffsetPos(WPARAM wParam, LPARAM) { return SetPos(m_nPosition + int(wParam)); }

LRESULT CPercentProgressCtrl::OnStepIt(WPARAM, LPARAM) { return SetPos(m_nPosition + m_nStep); }

LRESULT CPercentProgressCtrl::OnSetStep(WPARAM wParam, LPARAM) {
    int old = m_nStep;
    m_nStep = int(wParam);
    return old;
}

LRESULT CPercentProgressCtrl::OnSetText(WPARAM, LPARAM lParam) {
    LRESULT result = Default();
    LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
    if (text ? m_strCaption != text : !m_strCaption.IsEmpty()) {
        m_strCaption = text ? text : "";
        Refresh();
    }
    return result;
}

LRESULT CPercentProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam) {
    char* out = reinterpret_cast<char*>(lParam);
    if (!out || wParam == 0) return 0;
    // Room is kept for the terminator, so the caller's buffer always ends in one.
    size_t n = std::min<size_t>(size_t(wParam) - 1, size_t(m_strCaption.GetLength()));
    std::memcpy(out, static_cast<LPCSTR>(m_strCaption), n);
    out[n] = '\0';
    return LRESULT(n);
}

void CPercentProgressCtrl::OnSize(UINT nType, int cx, int cy) {
    CProgressCtrl::OnSize(nType, cx, cy);
    m_nPaintedLength = -1;
}

BOOL CPercentProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CPercentProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    if (m_nLower >= m_nUpper) return;
    CRect rc;
    GetClientRect(&rc);
    const bool vertical = (GetStyle() & PBS_VERTICAL) != 0;
    const COLORREF bar = m_crBar == CLR_DEFAULT ? ::GetSysColor(COLOR_HIGHLIGHT) : m_crBar;
    const COLORREF bk = m_crBack == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_crBack;

    CMemDC mem(&dc);
    CWnd* parent = GetParent();
    CFont* font = parent ? parent->GetFont() : nullptr;
    CFont* old_font = font ? mem.SelectObject(font) : nullptr;

    CRect filled = rc, rest = rc;
    if (vertical) {
        filled.top = rc.bottom - Share(rc.Height(), m_nPosition, m_nLower, m_nUpper);
        rest.bottom = filled.top;
    } else {
        filled.right = rc.left + Share(rc.Width(), m_nPosition, m_nLower, m_nUpper);
        rest.left = filled.right;
    }
    mem.FillSolidRect(&filled, bar);
    mem.FillSolidRect(&rest, bk);

    if (m_bCaptionShown && !vertical) {
        CString text = m_strCaption;
        if (text.IsEmpty()) text.Format("%d%%", Share(100, m_nPosition, m_nLower, m_nUpper));
        mem.SetBkMode(TRANSPARENT);
        const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        struct Side {
            const CRect& clip;
            COLORREF colour;
        } sides[] = {{filled, m_crText == CLR_DEFAULT ? bk : m_crText},
                     {rest, m_crText == CLR_DEFAULT ? bar : m_crText}};
        for (const Side& p : sides) {
            if (p.clip.IsRectEmpty()) continue;
            int saved = mem.SaveDC();
            mem.IntersectClipRect(&p.clip);
            mem.SetTextColor(p.colour);
            CRect box = rc;
            mem.DrawText(text, &box, fmt);
            mem.RestoreDC(saved);
        }
    }
    if (old_font) mem.SelectObject(old_font);
}
