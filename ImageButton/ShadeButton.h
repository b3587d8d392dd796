// A bitmap button whose face is a generated 8-bit picture: one of nine shading patterns in
// the 3-D colours, optionally tinted, with noise, and a lighter copy shown under the mouse.
#pragma once

#include "DibBitmap.h"
#include "ImageButton.h"

class CShadeButton : public CImageButton {
public:
    enum {
        SHS_NOISE = 0,      // noise only
        SHS_DIAGSHADE = 1,  // diagonal gradient
        SHS_VSHADE = 2,     // dark at the top, light at the bottom
        SHS_HSHADE = 3,     // light at the left, dark at the right
        SHS_VBUMP = 4,      // a bump across the height
        SHS_HBUMP = 5,      // a bump across the width
        SHS_SOFTBUMP = 6,   // both bumps together
        SHS_HARDBUMP = 7,   // the vertical bump with hard bevelled sides
        SHS_METAL = 8       // brushed-metal strokes over a diagonal gradient
    };

    CShadeButton();
    ~CShadeButton() override;

    // Builds the faces for the button's current size.
    void SetShade(UINT shadeID = SHS_NOISE, BYTE granularity = 8, BYTE highlight = 10, BYTE coloring = 0,
                  COLORREF color = 0);

    // The faces, for tests and for callers that want to save them.
    const CDibBitmap& NormalFace() const { return m_dNormal; }
    const CDibBitmap& LighterFace() const { return m_dOver; }

    // The C library's classic 15-bit generator, started from its initial seed for every face,
    // so equal buttons get equal pictures whatever the platform's own rand() does.
    class CNoise {
    public:
        explicit CNoise(unsigned seed = 1) : m_state(seed) {}
        int Next() {
            m_state = m_state * 214013u + 2531011u;
            return int((m_state >> 16) & 0x7FFF);
        }

    private:
        unsigned m_state;
    };

protected:
    DWORD OnDrawBackground(CDC* pDC, CRect* pRect) override;

private:
    CDibBitmap m_dNormal, m_dDown, m_dDisabled, m_dOver, m_dh, m_dv;
};
