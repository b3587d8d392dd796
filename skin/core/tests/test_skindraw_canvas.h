// A memory DC over a top-down 32-bit DIB section whose pixels the tests read directly.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace skindrawtest {

inline uint32_t Pack(COLORREF c)
{
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

class Canvas {
public:
    Canvas(LONG w, LONG h, COLORREF fill) : m_w(w), m_h(h)
    {
        BITMAPINFO bmi;
        std::memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bmp = CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, (void**)&m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bmp);
        Fill(fill);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    void Fill(COLORREF c)
    {
        for (LONG i = 0; i < m_w * m_h; ++i)
            m_bits[i] = Pack(c);
    }
    bool Ok() const { return m_dc && m_bmp && m_bits; }
    HDC Dc() const { return m_dc; }
    LONG W() const { return m_w; }
    LONG H() const { return m_h; }
    COLORREF At(LONG x, LONG y) const
    {
        const uint32_t p = m_bits[y * m_w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Set(LONG x, LONG y, COLORREF c) { m_bits[y * m_w + x] = Pack(c); }

private:
    LONG m_w, m_h;
    HDC m_dc = nullptr;
    HBITMAP m_bmp = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

}  // namespace skindrawtest
