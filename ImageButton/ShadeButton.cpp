#include "ShadeButton.h"

#include <algorithm>

namespace {

// The cube term of the bumps: t in -127..128 maps to -123..128.
long Cube(long t) { return t * t * t / 16384; }

// rand() / (32767 / n) with a divisor of at least 1, for sizes beyond the generator's range.
long Scaled(CShadeButton::CNoise& rnd, long n) { return rnd.Next() / std::max(1L, 32767 / std::max(1L, n)); }

}  // namespace

CShadeButton::CShadeButton() = default;
CShadeButton::~CShadeButton() = default;

void CShadeButton::SetShade(UINT nPattern, BYTE byGrain, BYTE byLighten, BYTE byTint, COLORREF crTint) {
    long w = 0, h = 0;
    if (m_hWnd) {
        RECT r{};
        ::GetWindowRect(m_hWnd, &r);
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    // A window without area still gets one-pixel pictures, so no formula divides by zero.
    w = std::max(1L, w);
    h = std::max(1L, h);

    m_normalFace.Create(DWORD(w), DWORD(h), 8);
    m_dotsAcross.Create(DWORD(w), 1, 8);
    m_dotsDown.Create(1, DWORD(h), 8);

    // Shadow to face over entries 0..128, face to highlight over 128..255.
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), face = ::GetSysColor(COLOR_BTNFACE),
             light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    auto mix = [](long a, long b, long i) { return BYTE(((128 - i) * a + i * b) / 128); };
    for (CDibBitmap* d : {&m_normalFace, &m_dotsAcross, &m_dotsDown}) {
        for (long i = 0; i <= 128; ++i)
            d->SetPaletteIndex(BYTE(i), mix(GetRValue(shadow), GetRValue(face), i),
                               mix(GetGValue(shadow), GetGValue(face), i), mix(GetBValue(shadow), GetBValue(face), i));
        for (long i = 1; i <= 128; ++i)
            d->SetPaletteIndex(BYTE(127 + i), mix(GetRValue(face), GetRValue(light), i),
                               mix(GetGValue(face), GetGValue(light), i), mix(GetBValue(face), GetBValue(light), i));
    }
    m_normalFace.BlendPalette(crTint, byTint);

    for (long x = 0; x < w; ++x) m_dotsAcross.SetPixelIndex(x, 0, BYTE((x & 1) ? 255 : 0));
    for (long y = 0; y < h; ++y) m_dotsDown.SetPixelIndex(0, y, BYTE((y & 1) ? 255 : 0));

    CNoise rnd;
    const long g = byGrain;
    const long grain = g ? 2 * g : 1;
    const long low = g, high = 255 - g;
    auto noise = [&]() { return Scaled(rnd, grain) - g; };

    switch (nPattern) {
        case PATTERN_BRUSHED_METAL: {
            m_normalFace.Clear(0);
            const long side = std::min(w, h);
            for (int n = 0; n < 200; ++n) {
                long x = Scaled(rnd, w), y = Scaled(rnd, h);
                long len = Scaled(rnd, side) / 2;
                BYTE v = BYTE(Scaled(rnd, 40));
                for (long k = 0; k < len; ++k) {
                    if (x - k > 0 && y + k < h) m_normalFace.SetPixelIndex(x - k, y + k, v);
                    if (x + k < w && y - k > 0) m_normalFace.SetPixelIndex(w - x + k, y - k, v);
                }
            }
            const long a = (high - low - 40) / 2;
            BYTE* bits = m_normalFace.GetBits();
            const DWORD line = m_normalFace.GetLineWidth();
            for (long y = 0; y < h; ++y) {
                BYTE* row = bits + size_t(h - y - 1) * line;
                for (long x = 0; x < w; ++x)
                    row[x] = BYTE(row[x] + a * y / h + a * (w - x) / w + Scaled(rnd, grain));
            }
            break;
        }
        default: {
            // The hard bump's bevel width and the curve of its sides.
            const long d = std::max(1L, std::min(w / 6, 16L));
            const long e = std::max(1L, h * h / 4);
            for (long y = 0; y < h; ++y)
                for (long x = 0; x < w; ++x) {
                    long v;
                    switch (nPattern) {
                        case PATTERN_DIAGONAL: {
                            long a = (high - low) / 2;
                            v = low + a * y / h + a * (w - x) / w + noise();
                            break;
                        }
                        case PATTERN_VERTICAL: v = low + (high - low) * y / h + noise(); break;
                        case PATTERN_HORIZONTAL: v = low + (high - low) * (w - x) / w + noise(); break;
                        case PATTERN_VERTICAL_BUMP:
                            v = 128 + Cube(y * 255 / h - 127) * (128 - g) / 128 + noise();
                            break;
                        case PATTERN_HORIZONTAL_BUMP:
                            v = 128 + Cube((w - x) * 255 / w - 127) * (128 - g) / 128 + noise();
                            break;
                        case PATTERN_SOFT_BUMP: {
                            v = (Cube(y * 255 / h - 127) + Cube((w - x) * 255 / w - 127)) * (128 - g) / 128 + 128;
                            if (v < low) v = low;
                            if (v > high) v = high;
                            v += noise();
                            break;
                        }
                        case PATTERN_HARD_BUMP: {
                            v = 128 + Cube(y * 255 / h - 127) * (128 - 2 * g) / 128;
                            long j = x - w / 2, i = y - h / 2;
                            long k = (w / 2 - d) + i * i * d / e;
                            if (j > k)
                                v = low + (w - x) * 128 / d;
                            else if (j + k < 0)
                                v = high - x * 128 / d;
                            v += noise();
                            break;
                        }
                        default: v = Scaled(rnd, grain) - 128 - g; break;
                    }
                    m_normalFace.SetPixelIndex(x, y, BYTE(v));
                }
            break;
        }
    }

    m_lighterFace.Clone(&m_normalFace);
    m_lighterFace.BlendPalette(light, byLighten);
    m_lighterCopy.Clone(&m_lighterFace);
    m_normalCopy.Clone(&m_normalFace);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

DWORD CShadeButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    (void)pRect;
    HDC dc = pDC->GetSafeHdc();
    if (!m_bHovering)
        m_normalFace.Draw(dc, 0, 0);
    else if (!m_bPressed)
        m_lighterFace.Draw(dc, 0, 0);
    else
        m_lighterFace.Draw(dc, 1, 1);
    return RESULT_OK;
}
