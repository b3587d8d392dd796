// A bitmap button with a flatter look: no border, and under the mouse or while pressed a
// black-outlined face in the mouse-over colour, optionally with rounded corners.
#pragma once

#include "ImageButton.h"

class CFlatXPButton : public CImageButton {
public:
    CFlatXPButton();
    ~CFlatXPButton() override;

    void SetRounded(BOOL bRoundCorners = TRUE, BOOL bRepaint = TRUE);
    BOOL GetRounded() const { return m_bRoundCorners; }

protected:
    DWORD OnDrawBorder(CDC* pDC, CRect* pRect) override;
    DWORD OnDrawBackground(CDC* pDC, CRect* pRect) override;

private:
    BOOL m_bRoundCorners;
};
