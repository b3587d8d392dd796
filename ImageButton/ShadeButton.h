// A bitmap button whose face is a generated 8-bit picture: one of nine shading patterns in
// the 3-D colours, optionally tinted, with noise, and a lighter copy shown under the mouse.
#pragma once

#include "DibBitmap.h"
#include "ImageButton.h"

class CShadeButton : public CImageButton {
public:
    enum {
        PATTERN_NOISE = 0,            // noise only
        PATTERN_DIAGONAL = 1,         // diagonal gradient
        PATTERN_VERTICAL = 2,         // dark at the top, light at the bottom
        PATTERN_HORIZONTAL = 3,       // light at the left, dark at the right
        PATTERN_VERTICAL_BUMP = 4,    // a bump across the height
        PATTERN_HORIZONTAL_BUMP = 5,  // a bump across the width
        PATTERN_SOFT_BUMP = 6,        // both bumps together
        PATTERN_HARD_BUMP = 7,        // the vertical bump with hard bevelled sides
        PATTERN_BRUSHED_METAL = 8     // brushed-metal strokes over a diagonal gradient
    };

    CShadeButton();
    ~CShadeButton() override;

    // Builds the faces for the button's current size.
    void SetShade(UINT nPattern = PATTERN_NOISE, BYTE byGrain = 8, BYTE byLighten = 10, BYTE byTint = 0,
                  COLORREF crTint = 0);

    // The faces, for tests and for callers that want to save them.
    const CDibBitmap& NormalFace() const { return m_normalFace; }
    const CDibBitmap& LighterFace() const { return m_lighterFace; }

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
    CDibBitmap m_normalFace, m_lighterCopy, m_normalCopy, m_lighterFace, m_dotsAcross, m_dotsDown;
};
