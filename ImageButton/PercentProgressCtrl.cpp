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
ON_MESSAGE(PBM_SETTEXTCOLOR, OnSetTextColor)
ON_MESSAGE(PBM_SETSHOWTEXT, OnSetShowText)
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
    : m_crTextClr(CLR_DEFAULT), m_nPos(0), m_nStepSize(1), m_nMax(100), m_nMin(0), m_bShowText(TRUE),
      m_nBarWidth(-1), m_crBarClr(CLR_DEFAULT), m_crBgClr(CLR_DEFAULT) {}

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
    return Share(extent, m_nPos, m_nMin, m_nMax);
}

void CPercentProgressCtrl::Refresh() {
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPercentProgressCtrl::SetRange(int nLower, int nUpper) {
    m_nMin = nLower;
    m_nMax = nUpper;
    m_nBarWidth = -1;
    Refresh();
}

void CPercentProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    nLower = m_nMin;
    nUpper = m_nMax;
}

COLORREF CPercentProgressCtrl::SetBarColor(COLORREF crBarClr) {
    COLORREF old = m_crBarClr;
    m_crBarClr = crBarClr;
    Refresh();
    return old;
}

COLORREF CPercentProgressCtrl::SetBkColor(COLORREF crBgClr) {
    COLORREF old = m_crBgClr;
    m_crBgClr = crBgClr;
    Refresh();
    return old;
}

COLORREF CPercentProgressCtrl::SetTextColor(COLORREF crTextClr) {
    COLORREF old = m_crTextClr;
    m_crTextClr = crTextClr;
    Refresh();
    return old;
}

void CPercentProgressCtrl::SetShowText(BOOL bShow) {
    if (!bShow == !m_bShowText) return;
    m_bShowText = bShow;
    Refresh();
}

// ---- messages ----

LRESULT CPercentProgressCtrl::OnSetBarColor(WPARAM, LPARAM lParam) { return SetBarColor(COLORREF(lParam)); }
LRESULT CPercentProgressCtrl::OnSetBkColor(WPARAM, LPARAM lParam) { return SetBkColor(COLORREF(lParam)); }
LRESULT CPercentProgressCtrl::OnSetTextColor(WPARAM, LPARAM lParam) { return SetTextColor(COLORREF(lParam)); }

LRESULT CPercentProgressCtrl::OnSetShowText(WPARAM wParam, LPARAM) {
    BOOL old = m_bShowText;
    SetShowText(wParam != 0);
    return old;
}

LRESULT CPercentProgressCtrl::OnSetRange(WPARAM, LPARAM lParam) {
    LRESULT old = MAKELONG(WORD(m_nMin), WORD(m_nMax));
    SetRange(LOWORD(lParam), HIWORD(lParam));
    return old;
}

LRESULT CPercentProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam) {
    LRESULT old = MAKELONG(WORD(m_nMin), WORD(m_nMax));
    SetRange(int(wParam), int(lParam));
    return old;
}

LRESULT CPercentProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam) {
    if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
        range->iLow = m_nMin;
        range->iHigh = m_nMax;
    }
    return wParam ? m_nMin : m_nMax;
}

LRESULT CPercentProgressCtrl::OnSetPos(WPARAM wParam, LPARAM) {
    int old = m_nPos;
    if (!m_hWnd) return old;
    m_nPos = int(wParam);
    int len = BarLength();
    if (len != m_nBarWidth) {
        m_nBarWidth = len;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return old;
}

LRESULT CPercentProgressCtrl::OnGetPos(WPARAM, LPARAM) { return m_nPos; }

LRESULT CPercentProgressCtrl::OnOffsetPos(WPARAM wParam, LPARAM) { return SetPos(m_nPos + int(wParam)); }

LRESULT CPercentProgressCtrl::OnStepIt(WPARAM, LPARAM) { return SetPos(m_nPos + m_nStepSize); }

LRESULT CPercentProgressCtrl::OnSetStep(WPARAM wParam, LPARAM) {
    int old = m_nStepSize;
    m_nStepSize = int(wParam);
    return old;
}

LRESULT CPercentProgressCtrl::OnSetText(WPARAM, LPARAM lParam) {
    LRESULT result = Default();
    LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
    if (text ? m_strText != text : !m_strText.IsEmpty()) {
        m_strText = text ? text : "";
        Refresh();
    }
    return result;
}

LRESULT CPercentProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam) {
    char* out = reinterpret_cast<char*>(lParam);
    if (!out || wParam == 0) return 0;
    // Room is kept for the terminator, so the caller's buffer always ends in one.
    size_t n = std::min<size_t>(size_t(wParam) - 1, size_t(m_strText.GetLength()));
    std::memcpy(out, static_cast<LPCSTR>(m_strText), n);
    out[n] = '\0';
    return LRESULT(n);
}

void CPercentProgressCtrl::OnSize(UINT nType, int cx, int cy) {
    CProgressCtrl::OnSize(nType, cx, cy);
    m_nBarWidth = -1;
}

BOOL CPercentProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CPercentProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    if (m_nMin >= m_nMax) return;
    CRect rc;
    GetClientRect(&rc);
    const bool vertical = (GetStyle() & PBS_VERTICAL) != 0;
    const COLORREF bar = m_crBarClr == CLR_DEFAULT ? ::GetSysColor(COLOR_HIGHLIGHT) : m_crBarClr;
    const COLORREF bk = m_crBgClr == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_crBgClr;

    CMemDC mem(&dc);
    CWnd* parent = GetParent();
    CFont* font = parent ? parent->GetFont() : nullptr;
    CFont* old_font = font ? mem.SelectObject(font) : nullptr;

    CRect filled = rc, rest = rc;
    if (vertical) {
        filled.top = rc.bottom - Share(rc.Height(), m_nPos, m_nMin, m_nMax);
        rest.bottom = filled.top;
    } else {
        filled.right = rc.left + Share(rc.Width(), m_nPos, m_nMin, m_nMax);
        rest.left = filled.right;
    }
    mem.FillSolidRect(&filled, bar);
    mem.FillSolidRect(&rest, bk);

    if (m_bShowText && !vertical) {
        CString text = m_strText;
        if (text.IsEmpty()) text.Format("%d%%", Share(100, m_nPos, m_nMin, m_nMax));
        mem.SetBkMode(TRANSPARENT);
        const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        struct Side {
            const CRect& clip;
            COLORREF colour;
        } sides[] = {{filled, m_crTextClr == CLR_DEFAULT ? bk : m_crTextClr},
                     {rest, m_crTextClr == CLR_DEFAULT ? bar : m_crTextClr}};
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
