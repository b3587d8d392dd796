#include "StaticSkin.h"

#include <algorithm>
#include <cstring>

#include "SkinDraw.h"
#include "SkinObjectTypes.h"

namespace {

// The disabled text style lives in the record's 16-byte block.
SkinTextStyle DisabledStyle(const CSkinStaticObject& o)
{
    SkinTextStyle s;
    static_assert(sizeof s == sizeof o.m_extra, "the block holds one text style");
    std::memcpy(&s, o.m_extra, sizeof s);
    return s;
}

}  // namespace

CSkinStatic::CSkinStatic(CSkinWindow* owner, int type) : CSkinControlBase(owner, type) {}

BOOL CSkinStatic::Attach(HWND hwnd)
{
    const DWORD style = StyleOf(hwnd);
    if ((style & 0xB) == 0xB || (style & 0xD) == 0xD)
        return FALSE;
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    if (IsSeeThrough())
        AddTransparentStyle();
    RepaintParentUnder(nullptr);
    return TRUE;
}

CSkinStatic::Mode CSkinStatic::GetMode() const
{
    const DWORD style = m_hWnd ? StyleOf(m_hWnd) : 0;
    if ((style & 3) == 3)
        return MODE_ICON;
    if ((style & SS_TYPEMASK) == SS_BITMAP)
        return MODE_BITMAP;
    return MODE_TEXT;
}

bool CSkinStatic::IsSeeThrough() const
{
    auto* s = dynamic_cast<CSkinStaticObject*>(m_pSkinObject);
    return s && s->m_nStaticValue != 0;
}

UINT CSkinStatic::GetTextFormat() const
{
    const DWORD style = StyleOf(m_hWnd);
    UINT format = 0;
    if (style & SS_RIGHT)
        format |= DT_RIGHT;
    else if (style & SS_CENTER)
        format |= DT_CENTER;
    if (style & SS_CENTERIMAGE)
        format |= DT_VCENTER | DT_SINGLELINE;
    format |= (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (IsMirrored(m_hWnd))
        format |= DT_RTLREADING;
    if (style & SS_EDITCONTROL)
        format |= DT_WORDBREAK | DT_EDITCONTROL;
    return format;
}

void CSkinStatic::PaintBackground(HDC dc)
{
    if (IsSeeThrough()) {
        DrawParentBackground(dc);
        return;
    }
    auto* s = dynamic_cast<CSkinStaticObject*>(m_pSkinObject);
    if (!s)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const bool mirror = IsMirrored(m_hWnd);
    DrawSkinImagePart(s->GetOwner(), dc, rc, s->m_background, s->m_crBack, 1, mirror);
}

void CSkinStatic::DrawIconImage(HDC dc)
{
    auto icon = reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0));
    if (!icon)
        return;
    if (StyleOf(m_hWnd) & SS_CENTERIMAGE)
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    else
        DrawIcon(dc, 0, 0, icon);
}

void CSkinStatic::DrawBitmapImage(HDC dc)
{
    auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int x = 0, y = 0;
    if (StyleOf(m_hWnd) & SS_CENTERIMAGE) {
        x = (rc.right - bm.bmWidth) / 2;
        y = (rc.bottom - bm.bmHeight) / 2;
    }
    // Only the bitmap's own pixels are copied: nothing is read from beyond its edges.
    const int srcX = std::max(0, -x), srcY = std::max(0, -y);
    const int w = std::min<int>(bm.bmWidth - srcX, rc.right - std::max(0, x));
    const int h = std::min<int>(bm.bmHeight - srcY, rc.bottom - std::max(0, y));
    if (w <= 0 || h <= 0)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, std::max(0, x), std::max(0, y), w, h, source, srcX, srcY, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void CSkinStatic::DrawTextContent(HDC dc)
{
    auto* s = dynamic_cast<CSkinStaticObject*>(m_pSkinObject);
    if (!s)
        return;
    char text[1025] = {};
    GetWindowTextA(m_hWnd, text, sizeof text);
    PaintBackground(dc);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    if (HFONT font = GetControlFont())
        SelectObject(dc, font);
    SetTextColor(dc, s->m_font.color);
    SetBkMode(dc, TRANSPARENT);
    const bool enabledLook = IsWindowEnabled(m_hWnd) || (StyleOf(m_hWnd) & SS_EDITCONTROL);
    const SkinTextStyle look = enabledLook ? s->m_style : DisabledStyle(*s);
    DrawSkinTextStyle(dc, look, rc, text, -1, GetTextFormat());
    RestoreDC(dc, saved);
}

void CSkinStatic::Draw(HDC dc)
{
    switch (GetMode()) {
    case MODE_ICON:
        DrawIconImage(dc);
        break;
    case MODE_BITMAP:
        DrawBitmapImage(dc);
        break;
    default:
        DrawTextContent(dc);
        break;
    }
}

void CSkinStatic::OnPaint() { PaintIntoPaintDc(); }

LRESULT CSkinStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        if (GetMode() != MODE_TEXT)
            return CSkinWindow::WindowProc(msg, wParam, lParam);
        PaintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_ENABLE:
    case WM_SETTEXT: {
        // The static cannot paint its own look meanwhile; it repaints once, from the skin.
        const LRESULT result = CallSavedHidden(msg, wParam, lParam);
        RepaintNow(FALSE);
        return result;
    }
    default:
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
}

CSkinWindow* MakeStaticSkinner(int type, CSkinWindow* owner) { return new CSkinStatic(owner, type); }
