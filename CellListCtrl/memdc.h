// An off-screen DC over a target DC's clip box: callers draw in the target's coordinates and
// the whole picture reaches the target in one block transfer when the object goes away, so
// repainting does not flicker.
#pragma once

#include <afxwin.h>

class CMemDC : public CDC {
public:
    explicit CMemDC(CDC* dc) : m_pTarget(dc) {
        ASSERT(dc != nullptr);
        m_bBuffered = !dc->IsPrinting();
        dc->GetClipBox(&m_rcArea);
        if (m_bBuffered) {
            CreateCompatibleDC(dc);
            // A zero-sized bitmap cannot be created; keep at least one pixel so the DC stays usable.
            int w = m_rcArea.Width() > 0 ? m_rcArea.Width() : 1;
            int h = m_rcArea.Height() > 0 ? m_rcArea.Height() : 1;
            m_offscreen.CreateCompatibleBitmap(dc, w, h);
            m_pPrevBitmap = SelectObject(&m_offscreen);
            SetWindowOrg(m_rcArea.left, m_rcArea.top);
        } else {
            m_bPrinting = dc->m_bPrinting;
            m_hDC = dc->m_hDC;
            m_hAttribDC = dc->m_hAttribDC;
        }
    }

    ~CMemDC() override {
        if (m_bBuffered) {
            if (!m_rcArea.IsRectEmpty())
                m_pTarget->BitBlt(m_rcArea.left, m_rcArea.top, m_rcArea.Width(), m_rcArea.Height(), this, m_rcArea.left,
                                  m_rcArea.top, SRCCOPY);
            if (m_pPrevBitmap) SelectObject(m_pPrevBitmap);
        } else {
            // Borrowed handles belong to the target: let go without deleting them.
            m_hDC = nullptr;
            m_hAttribDC = nullptr;
        }
    }

    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    CBitmap m_offscreen;
    CBitmap* m_pPrevBitmap = nullptr;
    CDC* m_pTarget;
    CRect m_rcArea;
    BOOL m_bBuffered = FALSE;
};
