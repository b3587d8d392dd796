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

void CShadeButton::SetShade(UINT shadeID, BYTE granularity, BYTE highlight, BYTE coloring, COLORREF color) {
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

    m_dNormal.Create(DWORD(w), DWORD(h), 8);
    m_dh.Create(DWORD(w), 1, 8);
    m_dv.Create(1, DWORD(h), 8);

    // Shadow to face over entries 0..128, face to highlight over 128..255.
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), face = ::GetSysColor(COLOR_BTNFACE),
             light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    auto mix = [](long a, long b, long i) { return BYTE(((128 - i) * a + i * b) / 128); };
    for (CDibBitmap* d : {&m_dNormal, &m_dh, &m_dv}) {
        for (long i = 0; i <= 128; ++i)
            d->SetPaletteIndex(BYTE(i), mix(GetRValue(shadow), GetRValue(face), i),
                               mix(GetGValue(shadow), GetGValue(face), i), mix(GetBValue(shadow), GetBValue(face), i));
        for (long i = 1; i <= 128; ++i)
            d->SetPaletteIndex(BYTE(127 + i), mix(GetRValue(face), GetRValue(light), i),
                               mix(GetGValue(face), GetGValue(light), i), mix(GetBValue(face), GetBValue(light), i));
    }
    m_dNormal.BlendPalette(color, coloring);

    for (long x = 0; x < w; ++x) m_dh.SetPixelIndex(x, 0, BYTE((x & 1) ? 255 : 0));
    for (long y = 0; y < h; ++y) m_dv.SetPixelIndex(0, y, BYTE((y & 1) ? 255 : 0));

    CNoise rnd;
    const long g = granularity;
    const long grain = g ? 2 * g : 1;
    const long low = g, high = 255 - g;
    auto noise = [&]() { return Scaled(rnd, grain) - g; };

    switch (shadeID) {
        case SHS_METAL: {
            m_dNormal.Clear(0);
            const long side = std::min(w, h);
            for (int n = 0; n < 200; ++n) {
                long x = Scaled(rnd, w), y = Scaled(rnd, h);
                long len = Scaled(rnd, side) / 2;
                BYTE v = BYTE(Scaled(rnd, 40));
                for (long k = 0; k < len; ++k) {
                    if (x - k > 0 && y + k < h) m_dNormal.SetPixelIndex(x - k, y + k, v);
                    if (x + k < w && y - k > 0) m_dNormal.SetPixelIndex(w - x + k, y - k, v);
                }
            }
            const long a = (high - low - 40) / 2;
            BYTE* bits = m_dNormal.GetBits();
            const DWORD line = m_dNormal.GetLineWidth();
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
                    switch (shadeID) {
                        case SHS_DIAGSHADE: {
                            long a = (high - low) / 2;
                            v = low + a * y / h + a * (w - x) / w + noise();
                            break;
                        }
                        case SHS_VSHADE: v = low + (high - low) * y / h + noise(); break;
                        case SHS_HSHADE: v = low + (high - low) * (w - x) / w + noise(); break;
                        case SHS_VBUMP: v = 128 + Cube(y * 255 / h - 127) * (128 - g) / 128 + noise(); break;
                        case SHS_HBUMP: v = 128 + Cube((w - x) * 255 / w - 127) * (128 - g) / 128 + noise(); break;
                        case SHS_SOFTBUMP: {
                            v = (Cube(y * 255 / h - 127) + Cube((w - x) * 255 / w - 127)) * (128 - g) / 128 + 128;
                            if (v < low) v = low;
                            if (v > high) v = high;
                            v += noise();
                            break;
                        }
                        case SHS_HARDBUMP: {
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
                    m_dNormal.SetPixelIndex(x, y, BYTE(v));
                }
            break;
        }
    }

    m_dOver.Clone(&m_dNormal);
    m_dOver.BlendPalette(light, highlight);
    m_dDown.Clone(&m_dOver);
    m_dDisabled.Clone(&m_dNormal);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

DWORD CShadeButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    (void)pRect;
    HDC dc = pDC->GetSafeHdc();
    if (!m_bMouseOnButton)
        m_dNormal.Draw(dc, 0, 0);
    else if (!m_bIsPressed)
        m_dOver.Draw(dc, 0, 0);
    else
        m_dOver.Draw(dc, 1, 1);
    return BTNST_OK;
}
