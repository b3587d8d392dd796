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
// File names may hold '&': it is shown, not taken for a mnemonic.
void DrawCellText(CDC* dc, const CString& text, CRect rect, UINT align, COLORREF text_colour, COLORREF back) {
    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF oldText = dc->SetTextColor(text_colour);
    COLORREF oldBk = dc->SetBkColor(back);
    dc->DrawText(text, &rect, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
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
    COLORREF crText = m_crWindowText, crBkgnd = m_crWindow;
    if (cell) {
        crText = cell->crText;
        crBkgnd = cell->crBackground;
    }
    if (first && !first->bEnabled) crText = m_crGrayText;
    cd->clrText = crText;
    cd->clrTextBk = crBkgnd;

    CDC* pDC = CDC::FromHandle(cd->nmcd.hdc);
    CRect rect = CellRect(row, col);
    if (!pDC || rect.IsRectEmpty()) {
        *pResult = CDRF_SKIPDEFAULT;
        return;
    }
    int saved = pDC->SaveDC();
    // Nothing of a cell reaches its neighbours (the combo frame is one pixel taller).
    CRect clip = rect;
    if (cell && cell->bCombo) clip.bottom += 1;
    pDC->IntersectClipRect(&clip);

    if (cell && cell->bShowProgress) {
        DrawProgress(row, col, pDC, crText, crBkgnd, rect, *cell);
    } else if (cell && cell->bCombo) {
        bool selected = (CListCtrl::GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (selected) DrawComboBox(row, col, pDC, rect, cell);
        else DrawText(row, col, pDC, crText, crBkgnd, rect, cell);
    } else if (cell && cell->nCheckedState != -1) {
        DrawCheckbox(row, col, pDC, crText, crBkgnd, rect, cell);
    } else {
        int used = DrawImage(row, col, pDC, crText, crBkgnd, rect, cell);
        CRect text = rect;
        text.left += used;
        DrawText(row, col, pDC, crText, crBkgnd, text, cell);
    }
    pDC->RestoreDC(saved);
    *pResult = CDRF_SKIPDEFAULT;
}

void CCellListCtrl::SelectionColors(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBkgnd) const {
    if (!(CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED)) return;
    bool full_row = (CListCtrl::GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
    if (!full_row && nSubItem != 0) return;
    if (::GetFocus() == m_hWnd) {
        crText = m_crHighLightText;
        crBkgnd = m_crHighLight;
    } else if (GetStyle() & LVS_SHOWSELALWAYS) {
        crText = m_crWindowText;
        crBkgnd = m_crBtnFace;
    }
}

void CCellListCtrl::DrawProgress(int, int, CDC* pDC, COLORREF crText, COLORREF crBkgnd, const CRect& cellRect,
                                 const CELLLISTDATA& cell) {
    CRect rect = cellRect;
    rect.left += 1;
    rect.right -= 2;
    rect.bottom -= 1;
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;

    // Frame on the rectangle's edges; the bottom line reaches one pixel further right.
    CPen shadow(PS_SOLID, 1, m_crBtnShadow);
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

    int percent = cell.nProgressPercent;
    if (percent < 1) return;

    CRect bar = rect;
    bar.left += 2;
    bar.top += 2;
    int full = bar.Width() > 0 ? bar.Width() : 0;
    // Above 100 the bar stops at the frame: the cell is never painted past.
    long long width = (long long)full * percent / 100;
    if (width > full) width = full;
    bar.right = bar.left + int(width);
    pDC->FillSolidRect(&bar, m_crHighLight);
    CRect rest = rect;
    rest.left = bar.right + 1;

    if (!cell.bShowProgressMessage) return;
    CString text = FormatProgressText(cell.strProgressText, percent);
    CRect textRect = rect;
    textRect.DeflateRect(1, 1);
    textRect.top += 1;
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF oldColor = pDC->SetTextColor(crBkgnd);
    // Drawn twice so that the text reads inverted where the bar lies under it.
    int saved = pDC->SaveDC();
    pDC->IntersectClipRect(&bar);
    pDC->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->RestoreDC(saved);
    if (rest.right > rest.left) {
        saved = pDC->SaveDC();
        pDC->IntersectClipRect(&rest);
        pDC->SetTextColor(crText);
        pDC->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        pDC->RestoreDC(saved);
    }
    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
}

void CCellListCtrl::DrawCheckbox(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd,
                                 const CRect& rect, const CELLLISTDATA* pCell) {
    SelectionColors(nItem, nSubItem, crText, crBkgnd);
    pDC->FillSolidRect(&rect, crBkgnd);

    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    int size = rect.Height() - 1;
    if (size < 1) return;
    CRect box(rect.left + 9, rect.top, rect.left + 9 + size, rect.top + size);
    if (text.IsEmpty()) {
        box.left = rect.left + rect.Width() / 2 - size / 2 - 1;
        box.right = box.left + size;
    }
    pDC->FillSolidRect(&box, m_crWindow);
    box.left += 1;
    pDC->DrawEdge(&box, EDGE_SUNKEN, BF_RECT);

    if (pCell && pCell->nCheckedState == 1) {
        CELLLISTDATA* first = Cell(nItem, 0);
        bool enabled = !first || first->bEnabled;
        CPen pen(PS_SOLID, 1, enabled ? kBlack : m_crGrayText);
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
        DrawCellText(pDC, text, textRect, DT_LEFT, crText, crBkgnd);
    }
}

int CCellListCtrl::DrawImage(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect rect,
                             const CELLLISTDATA* pCell) {
    SelectionColors(nItem, nSubItem, crText, crBkgnd);
    pDC->FillSolidRect(&rect, crBkgnd);
    int gap = m_HeaderCtrl.GetSpacing();
    rect.left += gap;
    CImageList* images = CListCtrl::GetImageList(LVSIL_SMALL);
    if (!images || !images->GetSafeHandle() || !pCell || pCell->nImage == -1 || rect.Width() < 1) return 0;
    IMAGEINFO info{};
    if (!images->GetImageInfo(pCell->nImage, &info)) return 0;
    int w = info.rcImage.right - info.rcImage.left;
    int h = info.rcImage.bottom - info.rcImage.top;
    int cx = w < rect.Width() ? w : rect.Width();
    int cy = h < rect.Height() ? h : rect.Height();
    int y = rect.top + (rect.Height() - cy) / 2;
    COLORREF oldBk = images->SetBkColor(crBkgnd);
    images->DrawIndirect(pDC, pCell->nImage, CPoint(rect.left, y), CSize(cx, cy), CPoint(0, 0), ILD_NORMAL, SRCCOPY,
                         CLR_DEFAULT, CLR_DEFAULT);
    images->SetBkColor(oldBk);
    return w + gap;
}

void CCellListCtrl::DrawText(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect rect,
                             const CELLLISTDATA* pCell) {
    SelectionColors(nItem, nSubItem, crText, crBkgnd);
    if (rect.right < rect.left) rect.right = rect.left;
    pDC->FillSolidRect(&rect, crBkgnd);
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
    if (pCell && pCell->bBold) {
        LOGFONTA lf{};
        CFont* current = pDC->GetCurrentFont();
        if (current && current->GetLogFont(&lf)) {
            lf.lfWeight = FW_BOLD;
            if (bold.CreateFontIndirect(&lf)) oldFont = pDC->SelectObject(&bold);
        }
    }
    DrawCellText(pDC, text, rect, align, crText, crBkgnd);
    if (oldFont) pDC->SelectObject(oldFont);
}

void CCellListCtrl::DrawComboBox(int nItem, int nSubItem, CDC* pDC, CRect rect, CELLLISTDATA* pCell) {
    if (!(CListCtrl::GetExtendedStyle() & LVS_EX_FULLROWSELECT)) {
        // Without full-row selection the row's other cells are never drawn selected.
        TRACE("CellListCtrl: combo boxes require LVS_EX_FULLROWSELECT style\n");
        DrawText(nItem, nSubItem, pDC, pCell->crText, pCell->crBackground, rect, pCell);
        return;
    }
    rect.bottom += 1;
    rect.left += 1;
    rect.right -= 2;
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    CBrush shadow(m_crBtnShadow);
    pDC->FrameRect(&rect, &shadow);
    CRect inside = rect;
    inside.DeflateRect(1, 1);
    pDC->FillSolidRect(&inside, kWhite);

    CRect button(rect.right - rect.Height(), rect.top, rect.right, rect.bottom);
    button.DeflateRect(2, 2);

    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    if (text.IsEmpty() && pCell->psa && pCell->nInitialComboSel >= 0 &&
        pCell->nInitialComboSel < pCell->psa->GetSize()) {
        text = pCell->psa->GetAt(pCell->nInitialComboSel);
        CListCtrl::SetItemText(nItem, nSubItem, text);
    }

    CRect textRect = rect;
    textRect.left += 2;
    textRect.right = button.left - 1;
    if (textRect.right > textRect.left) {
        CELLLISTDATA* first = Cell(nItem, 0);
        bool enabled = !first || first->bEnabled;
        DrawCellText(pDC, text, textRect, DT_LEFT, enabled ? m_crWindowText : m_crGrayText, m_crWindow);
    }

    if (button.Width() <= 0 || button.Height() <= 0) return;
    if (!pCell->bComboButtonPressed) {
        pDC->DrawEdge(&button, EDGE_RAISED, BF_RECT);
        CRect face = button;
        face.DeflateRect(2, 2);
        pDC->FillSolidRect(&face, m_crBtnFace);
        DrawArrow(pDC, face.left + 1, face.top + 2);
        return;
    }

    m_rectComboButton = button;
    pDC->FrameRect(&button, &shadow);
    CRect face = button;
    face.DeflateRect(1, 1);
    pDC->FillSolidRect(&face, m_crBtnFace);
    DrawArrow(pDC, button.left + 3, button.top + 4);
    if (!m_pListBox) OpenComboList(nItem, nSubItem, rect, pDC);
}
