// Painting of the extended list control's cells, through the list view's custom draw.
#include "CellListCtrl.h"

namespace {
constexpr COLORREF kProgressTrough = RGB(224, 224, 224);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Line(CDC* dc, int x0, int y0, int x1, int y1) {
    dc->MoveTo(x0, y0);
    dc->LineTo(x1, y1);
}

// The drop-down arrow: three lines 5, 3 and 1 pixels long.
void DrawArrow(CDC* dc, int x, int y) {
    CPen pen(PS_SOLID, 1, kBlack);
    CPen* old = dc->SelectObject(&pen);
    Line(dc, x, y, x + 5, y);
    Line(dc, x + 1, y + 1, x + 4, y + 1);
    Line(dc, x + 2, y + 2, x + 3, y + 2);
    dc->SelectObject(old);
}
// One line of cell text in the given colours, leaving the DC's mode and colours as they were.
// File names may hold '&': it is shown, not taken for a mnemonic. A text longer than its cell
// ends in "..." so that the cut shows, rather than stopping mid-letter at the cell's edge.
void DrawCellText(CDC* dc, const CString& text, CRect rect, UINT align, COLORREF text_colour, COLORREF back) {
    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF oldText = dc->SetTextColor(text_colour);
    COLORREF oldBk = dc->SetBkColor(back);
    dc->DrawText(text, &rect, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    dc->SetBkColor(oldBk);
    dc->SetTextColor(oldText);
    dc->SetBkMode(oldMode);
}
}  // namespace

void CCellListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    DWORD stage = cd->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (stage == CDDS_ITEMPREPAINT) {
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    }
    if (stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return;

    int row = int(cd->nmcd.dwItemSpec);
    int col = cd->iSubItem;
    // A row without records (its allocation failed) is drawn with the default colours.
    CELLLISTDATA* first = Cell(row, 0);
    CELLLISTDATA* cell = Cell(row, col);
    COLORREF crTextColor = m_sys.windowText, crFill = m_sys.window;
    if (cell) {
        crTextColor = cell->crTextColor;
        crFill = cell->crFillColor;
    }
    if (first && !first->bRowEnabled) crTextColor = m_sys.grayText;
    cd->clrText = crTextColor;
    cd->clrTextBk = crFill;

    CDC* pDC = CDC::FromHandle(cd->nmcd.hdc);
    CRect rect = CellRect(row, col);
    if (!pDC || rect.IsRectEmpty()) {
        *pResult = CDRF_SKIPDEFAULT;
        return;
    }
    int saved = pDC->SaveDC();
    // Nothing of a cell reaches its neighbours (the combo frame is one pixel taller).
    CRect clip = rect;
    if (cell && cell->bDropDown) clip.bottom += 1;
    pDC->IntersectClipRect(&clip);

    if (cell && cell->bProgressBar) {
        PaintProgressCell(row, col, pDC, crTextColor, crFill, rect, *cell);
    } else if (cell && cell->bDropDown) {
        bool selected = (CListCtrl::GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (selected)
            PaintComboCell(row, col, pDC, rect, cell);
        else
            PaintTextCell(row, col, pDC, crTextColor, crFill, rect, cell);
    } else if (cell && cell->nCheckMark != -1) {
        PaintCheckCell(row, col, pDC, crTextColor, crFill, rect, cell);
    } else {
        int used = PaintCellImage(row, col, pDC, crTextColor, crFill, rect, cell);
        CRect text = rect;
        text.left += used;
        PaintTextCell(row, col, pDC, crTextColor, crFill, text, cell);
    }
    pDC->RestoreDC(saved);
    *pResult = CDRF_SKIPDEFAULT;
}

void CCellListCtrl::ApplySelectionColors(int nItem, int nSubItem, COLORREF& crTextColor, COLORREF& crFill) const {
    if (!(CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED)) return;
    bool full_row = (CListCtrl::GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
    if (!full_row && nSubItem != 0) return;
    if (::GetFocus() == m_hWnd) {
        crTextColor = m_sys.selectionText;
        crFill = m_sys.selection;
    } else if (GetStyle() & LVS_SHOWSELALWAYS) {
        crTextColor = m_sys.windowText;
        crFill = m_sys.buttonFace;
    }
}

void CCellListCtrl::PaintProgressCell(int, int, CDC* pDC, COLORREF crTextColor, COLORREF crFill, const CRect& cellRect,
                                      const CELLLISTDATA& cell) {
    CRect rect = cellRect;
    rect.left += 1;
    rect.right -= 2;
    rect.bottom -= 1;
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;

    // Frame on the rectangle's edges; the bottom line reaches one pixel further right.
    CPen shadow(PS_SOLID, 1, m_sys.buttonShadow);
    CPen* oldPen = pDC->SelectObject(&shadow);
    Line(pDC, rect.left, rect.bottom, rect.left, rect.top);
    Line(pDC, rect.left, rect.top, rect.right, rect.top);
    Line(pDC, rect.right, rect.top, rect.right, rect.bottom);
    Line(pDC, rect.left, rect.bottom, rect.right + 1, rect.bottom);

    CRect inside = rect;
    inside.left += 1;
    inside.top += 1;
    pDC->FillSolidRect(&inside, kProgressTrough);
    CPen black(PS_SOLID, 1, kBlack);
    pDC->SelectObject(&black);
    Line(pDC, inside.left, inside.top, inside.right, inside.top);
    Line(pDC, inside.left, inside.top, inside.left, inside.bottom);
    pDC->SelectObject(oldPen);

    int percent = cell.nPercentDone;
    if (percent < 1) return;

    CRect bar = rect;
    bar.left += 2;
    bar.top += 2;
    int full = bar.Width() > 0 ? bar.Width() : 0;
    // Above 100 the bar stops at the frame: the cell is never painted past.
    long long width = (long long)full * percent / 100;
    if (width > full) width = full;
    bar.right = bar.left + int(width);
    pDC->FillSolidRect(&bar, m_sys.selection);
    CRect rest = rect;
    rest.left = bar.right + 1;

    if (!cell.bPercentShown) return;
    CString text = FormatProgressText(cell.strPercentFormat, percent);
    CRect textRect = rect;
    textRect.DeflateRect(1, 1);
    textRect.top += 1;
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF oldColor = pDC->SetTextColor(crFill);
    // Drawn twice so that the text reads inverted where the bar lies under it.
    int saved = pDC->SaveDC();
    pDC->IntersectClipRect(&bar);
    pDC->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->RestoreDC(saved);
    if (rest.right > rest.left) {
        saved = pDC->SaveDC();
        pDC->IntersectClipRect(&rest);
        pDC->SetTextColor(crTextColor);
        pDC->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        pDC->RestoreDC(saved);
    }
    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
}

void CCellListCtrl::PaintCheckCell(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill,
                                   const CRect& rect, const CELLLISTDATA* pRecord) {
    ApplySelectionColors(nItem, nSubItem, crTextColor, crFill);
    pDC->FillSolidRect(&rect, crFill);

    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    int size = rect.Height() - 1;
    if (size < 1) return;
    CRect box(rect.left + 9, rect.top, rect.left + 9 + size, rect.top + size);
    if (text.IsEmpty()) {
        box.left = rect.left + rect.Width() / 2 - size / 2 - 1;
        box.right = box.left + size;
    }
    pDC->FillSolidRect(&box, m_sys.window);
    box.left += 1;
    pDC->DrawEdge(&box, EDGE_SUNKEN, BF_RECT);

    if (pRecord && pRecord->nCheckMark == 1) {
        CELLLISTDATA* first = Cell(nItem, 0);
        bool enabled = !first || first->bRowEnabled;
        CPen pen(PS_SOLID, 1, enabled ? kBlack : m_sys.grayText);
        CPen* old = pDC->SelectObject(&pen);
        int x = box.left + 9, y = box.top + 3;
        // Down to the left for four strokes, then up to the left for three: a tick.
        for (int k = 0; k < 4; ++k, --x, ++y) Line(pDC, x, y, x, y + 3);
        y -= 2;
        for (int k = 0; k < 3; ++k, --x, --y) Line(pDC, x, y, x, y + 3);
        pDC->SelectObject(old);
    }

    if (!text.IsEmpty()) {
        CRect textRect = rect;
        textRect.left = box.right + 4;
        DrawCellText(pDC, text, textRect, DT_LEFT, crTextColor, crFill);
    }
}

int CCellListCtrl::PaintCellImage(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, CRect rect,
                                  const CELLLISTDATA* pRecord) {
    ApplySelectionColors(nItem, nSubItem, crTextColor, crFill);
    pDC->FillSolidRect(&rect, crFill);
    int gap = m_header.GetSpacing();
    rect.left += gap;
    CImageList* images = CListCtrl::GetImageList(LVSIL_SMALL);
    if (!images || !images->GetSafeHandle() || !pRecord || pRecord->nImageIndex == -1 || rect.Width() < 1) return 0;
    IMAGEINFO info{};
    if (!images->GetImageInfo(pRecord->nImageIndex, &info)) return 0;
    int w = info.rcImage.right - info.rcImage.left;
    int h = info.rcImage.bottom - info.rcImage.top;
    int cx = w < rect.Width() ? w : rect.Width();
    int cy = h < rect.Height() ? h : rect.Height();
    int y = rect.top + (rect.Height() - cy) / 2;
    COLORREF oldBk = images->SetBkColor(crFill);
    images->DrawIndirect(pDC, pRecord->nImageIndex, CPoint(rect.left, y), CSize(cx, cy), CPoint(0, 0), ILD_NORMAL,
                         SRCCOPY, CLR_DEFAULT, CLR_DEFAULT);
    images->SetBkColor(oldBk);
    return w + gap;
}

void CCellListCtrl::PaintTextCell(int nItem, int nSubItem, CDC* pDC, COLORREF crTextColor, COLORREF crFill, CRect rect,
                                  const CELLLISTDATA* pRecord) {
    ApplySelectionColors(nItem, nSubItem, crTextColor, crFill);
    if (rect.right < rect.left) rect.right = rect.left;
    pDC->FillSolidRect(&rect, crFill);
    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    if (text.IsEmpty()) return;

    UINT align = DT_RIGHT;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA hi{};
    hi.mask = HDI_FORMAT;
    if (header && ::SendMessageA(header, HDM_GETITEMA, WPARAM(nSubItem), reinterpret_cast<LPARAM>(&hi))) {
        int justify = hi.fmt & HDF_JUSTIFYMASK;
        align = justify == HDF_CENTER ? DT_CENTER : justify == HDF_LEFT ? DT_LEFT : DT_RIGHT;
    }

    CFont bold;
    CFont* oldFont = nullptr;
    if (pRecord && pRecord->bBoldText) {
        LOGFONTA lf{};
        CFont* current = pDC->GetCurrentFont();
        if (current && current->GetLogFont(&lf)) {
            lf.lfWeight = FW_BOLD;
            if (bold.CreateFontIndirect(&lf)) oldFont = pDC->SelectObject(&bold);
        }
    }
    DrawCellText(pDC, text, rect, align, crTextColor, crFill);
    if (oldFont) pDC->SelectObject(oldFont);
}

void CCellListCtrl::PaintComboCell(int nItem, int nSubItem, CDC* pDC, CRect rect, CELLLISTDATA* pRecord) {
    if (!(CListCtrl::GetExtendedStyle() & LVS_EX_FULLROWSELECT)) {
        // Without full-row selection the row's other cells are never drawn selected.
        TRACE("CellListCtrl: combo boxes require LVS_EX_FULLROWSELECT style\n");
        PaintTextCell(nItem, nSubItem, pDC, pRecord->crTextColor, pRecord->crFillColor, rect, pRecord);
        return;
    }
    rect.bottom += 1;
    rect.left += 1;
    rect.right -= 2;
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    CBrush shadow(m_sys.buttonShadow);
    pDC->FrameRect(&rect, &shadow);
    CRect inside = rect;
    inside.DeflateRect(1, 1);
    pDC->FillSolidRect(&inside, kWhite);

    CRect button(rect.right - rect.Height(), rect.top, rect.right, rect.bottom);
    button.DeflateRect(2, 2);

    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    if (text.IsEmpty() && pRecord->pChoices && pRecord->nDefaultChoice >= 0 &&
        pRecord->nDefaultChoice < pRecord->pChoices->GetSize()) {
        text = pRecord->pChoices->GetAt(pRecord->nDefaultChoice);
        CListCtrl::SetItemText(nItem, nSubItem, text);
    }

    CRect textRect = rect;
    textRect.left += 2;
    textRect.right = button.left - 1;
    if (textRect.right > textRect.left) {
        CELLLISTDATA* first = Cell(nItem, 0);
        bool enabled = !first || first->bRowEnabled;
        DrawCellText(pDC, text, textRect, DT_LEFT, enabled ? m_sys.windowText : m_sys.grayText, m_sys.window);
    }

    if (button.Width() <= 0 || button.Height() <= 0) return;
    if (!pRecord->bDropButtonDown) {
        pDC->DrawEdge(&button, EDGE_RAISED, BF_RECT);
        CRect face = button;
        face.DeflateRect(2, 2);
        pDC->FillSolidRect(&face, m_sys.buttonFace);
        DrawArrow(pDC, face.left + 1, face.top + 2);
        return;
    }

    m_rcDropButton = button;
    pDC->FrameRect(&button, &shadow);
    CRect face = button;
    face.DeflateRect(1, 1);
    pDC->FillSolidRect(&face, m_sys.buttonFace);
    DrawArrow(pDC, button.left + 3, button.top + 4);
    if (!m_pDropList) OpenComboList(nItem, nSubItem, rect, pDC);
}
