// The skin engine's off-screen surface: a memory DC over a bitmap compatible with a target DC.
// Skinners paint a whole window or control into one and copy it to the screen with a single
// BitBlt from its origin, so nothing flickers.
#pragma once
#include <windows.h>

class CSkinMemDC {
public:
    // A surface of width x height compatible with hdc (the screen when hdc is null).
    CSkinMemDC(HDC hdc, int width, int height);
    virtual ~CSkinMemDC();
    CSkinMemDC(const CSkinMemDC&) = delete;
    CSkinMemDC& operator=(const CSkinMemDC&) = delete;

    // Ends the surface but keeps its picture: the caller owns the returned bitmap (DeleteObject)
    // and the surface no longer has a DC. A second call returns null.
    HBITMAP DetachBitmap();

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    bool IsValid() const { return m_hDC && m_hBitmap; }

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
};
