// An off-screen DC over a target DC's clip box: callers draw in the target's coordinates and
// the whole picture reaches the target in one block transfer when the object goes away, so
// repainting does not flicker.
#pragma once

#include <afxwin.h>

class CMemDC : public CDC {
public:
    explicit CMemDC(CDC* dc) : m_pDC(dc) {
        ASSERT(dc != nullptr);
        m_bMemDC = !dc->IsPrinting();
        dc->GetClipBox(&m_rect);
        if (m_bMemDC) {
            CreateCompatibleDC(dc);
            // A zero-sized bitmap cannot be created; keep at least one pixel so the DC stays usable.
            int w = m_rect.Width() > 0 ? m_rect.Width() : 1;
            int h = m_rect.Height() > 0 ? m_rect.Height() : 1;
            m_bitmap.CreateCompatibleBitmap(dc, w, h);
            m_oldBitmap = SelectObject(&m_bitmap);
            SetWindowOrg(m_rect.left, m_rect.top);
        } else {
            m_bPrinting = dc->m_bPrinting;
            m_hDC = dc->m_hDC;
            m_hAttribDC = dc->m_hAttribDC;
        }
    }

    ~CMemDC() override {
        if (m_bMemDC) {
            if (!m_rect.IsRectEmpty())
                m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                              SRCCOPY);
            if (m_oldBitmap) SelectObject(m_oldBitmap);
        } else {
            // Borrowed handles belong to the target: let go without deleting them.
            m_hDC = nullptr;
            m_hAttribDC = nullptr;
        }
    }

    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
};
