#include "CellHeaderCtrl.h"

#include "memdc.h"

IMPLEMENT_DYNCREATE(CCellHeaderCtrl, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CCellHeaderCtrl, CHeaderCtrl)
    ON_MESSAGE(HDM_INSERTITEMA, OnInsertItem)
    ON_MESSAGE(HDM_INSERTITEMW, OnInsertItem)
    ON_MESSAGE(HDM_DELETEITEM, OnDeleteItem)
    ON_MESSAGE(HDM_SETIMAGELIST, OnSetImageList)
    ON_MESSAGE(HDM_LAYOUT, OnLayout)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

namespace {
constexpr int kTextMax = 80;  // characters of an item's text the header reads for painting
}

CCellHeaderCtrl::CCellHeaderCtrl() { CacheColors(); }

CCellHeaderCtrl::~CCellHeaderCtrl() = default;

void CCellHeaderCtrl::CacheColors() {
    m_crEdgeLight = ::GetSysColor(COLOR_3DHIGHLIGHT);
    m_crEdgeShadow = ::GetSysColor(COLOR_3DSHADOW);
    m_crFace = ::GetSysColor(COLOR_3DFACE);
    m_crLabel = ::GetSysColor(COLOR_BTNTEXT);
}

BOOL CCellHeaderCtrl::SetStyleValue(int which, int value) {
    switch (which) {
        case 1: m_nImageGap = value; break;
        case 2: m_arrowSize = CSize(LOWORD(DWORD(value)), HIWORD(DWORD(value))); break;
        case 3: m_bExtraHeight = value; break;
        case 4: m_bSpareFlag = value; break;
        default: return FALSE;
    }
    if (m_hWnd) Invalidate();
    return TRUE;
}

void CCellHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {
    // Owner-drawn items are for a derived class; this header draws through the other overload.
    ASSERT(FALSE);
}

void CCellHeaderCtrl::DrawItem(CDC* dc, CRect rect, LPHDITEM item) {
    ASSERT(item != nullptr);
    CImageList* images = GetImageList();
    // Image 0 is the blank entry: it counts as no image.
    if (item->iImage != 0 && images && images->GetSafeHandle() && rect.Width() > 0) {
        int cx = m_imageSize.cx < rect.Width() ? m_imageSize.cx : rect.Width();
        int cy = m_imageSize.cy < rect.Height() ? m_imageSize.cy : rect.Height();
        int y = rect.top + (rect.Height() - cy) / 2;
        ::ImageList_DrawEx(images->GetSafeHandle(), item->iImage, dc->GetSafeHdc(), rect.left, y, cx, cy,
                           dc->GetBkColor(), CLR_DEFAULT, ILD_NORMAL);
        rect.left += m_imageSize.cx + m_nImageGap;
    }

    if ((item->fmt & HDF_BITMAP) && item->hbm) {
        BITMAP bm{};
        if (::GetObjectA(item->hbm, sizeof bm, &bm) && bm.bmWidth <= rect.Width()) {
            CDC mem;
            if (mem.CreateCompatibleDC(dc)) {
                HGDIOBJ old = ::SelectObject(mem.GetSafeHdc(), item->hbm);
                int y = rect.top + (rect.Height() - bm.bmHeight) / 2;
                dc->BitBlt(rect.right - bm.bmWidth, y, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
                ::SelectObject(mem.GetSafeHdc(), old);
            }
            rect.right -= bm.bmWidth + m_nImageGap;
        }
    }

    if ((item->mask & HDI_TEXT) && (item->fmt & HDF_STRING) && item->pszText && item->pszText[0] &&
        rect.Width() > 0) {
        COLORREF old_text = dc->SetTextColor(RGB(0, 0, 255));
        int old_mode = dc->SetBkMode(TRANSPARENT);
        dc->DrawText(item->pszText, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        dc->SetBkMode(old_mode);
        dc->SetTextColor(old_text);
    }
}

void CCellHeaderCtrl::OnPaint() {
    CPaintDC paint(this);
    CMemDC* mem = m_bBuffered ? new CMemDC(&paint) : nullptr;
    CDC* dc = mem ? static_cast<CDC*>(mem) : static_cast<CDC*>(&paint);

    CRect clip;
    dc->GetClipBox(&clip);
    if (!clip.IsRectEmpty()) {
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, m_crFace);
        CFont* font = GetFont();
        CFont* old_font = font ? dc->SelectObject(font) : nullptr;
        CPen shadow(PS_SOLID, 1, m_crEdgeShadow);
        CPen highlight(PS_SOLID, 1, m_crEdgeLight);
        CPen* old_pen = dc->SelectObject(&shadow);

        int count = GetItemCount();
        int total = 0;
        for (int order = 0; order < count; ++order) {
            int index = OrderToIndex(order);
            char text[kTextMax + 1] = {0};
            HDITEM item{};
            item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
            item.pszText = text;
            item.cchTextMax = kTextMax;
            if (!GetItem(index, &item)) continue;
            text[kTextMax] = '\0';
            CRect r;
            GetItemRect(index, &r);
            total += item.cxy;
            if (r.right >= clip.left && r.left <= clip.right) {
                if (item.fmt & HDF_OWNERDRAW) {
                    DRAWITEMSTRUCT dis{};
                    dis.CtlType = ODT_HEADER;
                    dis.CtlID = UINT(GetDlgCtrlID());
                    dis.itemID = UINT(index);
                    dis.itemAction = ODA_DRAWENTIRE;
                    dis.itemState = 0;
                    dis.hwndItem = m_hWnd;
                    dis.hDC = dc->GetSafeHdc();
                    dis.rcItem = r;
                    DrawItem(&dis);
                } else {
                    DrawItem(dc, r, &item);
                }
            }
            if (order < count - 1) {
                dc->SelectObject(&shadow);
                dc->MoveTo(r.right - 1, r.top + 2);
                dc->LineTo(r.right - 1, r.bottom - 2);
                dc->SelectObject(&highlight);
                dc->MoveTo(r.right, r.top + 2);
                dc->LineTo(r.right, r.bottom - 2);
            }
        }
        if (total > 0) {
            CRect rest = client;
            rest.left += total;
            dc->Draw3dRect(&rest, m_crEdgeLight, m_crEdgeShadow);
        }
        dc->SelectObject(old_pen);
        if (old_font) dc->SelectObject(old_font);
    }
    delete mem;  // the one block transfer to the screen
}

BOOL CCellHeaderCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CCellHeaderCtrl::OnSysColorChange() {
    TRACE("in CCellHeaderCtrl::OnSysColorChange\n");
    CHeaderCtrl::OnSysColorChange();
    CacheColors();
}

LRESULT CCellHeaderCtrl::OnInsertItem(WPARAM, LPARAM) { return Default(); }

LRESULT CCellHeaderCtrl::OnDeleteItem(WPARAM, LPARAM) { return Default(); }

LRESULT CCellHeaderCtrl::OnSetImageList(WPARAM wp, LPARAM lp) {
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(lp);
    // Only the normal list is drawn from; a state list leaves the stored size alone.
    if (wp != 0) return Default();
    m_imageSize = CSize(0, 0);
    if (list) {
        IMAGEINFO info{};
        if (::ImageList_GetImageInfo(list, 0, &info))
            m_imageSize = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
    }
    return Default();
}

LRESULT CCellHeaderCtrl::OnLayout(WPARAM, LPARAM lp) {
    LRESULT r = Default();
    auto* layout = reinterpret_cast<HDLAYOUT*>(lp);
    // The taller header goes to the window position the default layout computed.
    if (r && m_bExtraHeight && layout && layout->pwpos) layout->pwpos->cy += 2 * ::GetSystemMetrics(SM_CXBORDER);
    return r;
}
