#include "ImageButton.h"

#include <cstring>

#include "shellapi.h"

namespace {

// Background colour behind disabled bitmaps and non-pressed bitmap faces.
const COLORREF kDisabledBk = RGB(73, 76, 104);

BOOL ReadBitmapSize(HBITMAP bmp, DWORD* w, DWORD* h) {
    BITMAP info{};
    if (!bmp || !::GetObjectA(bmp, sizeof info, &info)) return FALSE;
    *w = DWORD(info.bmWidth);
    *h = DWORD(info.bmHeight);
    return TRUE;
}

COLORREF Grey(COLORREF c) {
    int v = int(0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c));
    return RGB(v, v, v);
}
COLORREF Darker(COLORREF c) {
    auto d = [](int v) { return int(v - v * 0.25); };
    return RGB(d(GetRValue(c)), d(GetGValue(c)), d(GetBValue(c)));
}

// A new colour bitmap of the source with every pixel other than `keep` recoloured.
HBITMAP RecolouredCopy(HBITMAP src, DWORD w, DWORD h, COLORREF keep, bool grey) {
    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen), to = ::CreateCompatibleDC(screen);
    HBITMAP out = ::CreateCompatibleBitmap(screen, int(w), int(h));
    ::ReleaseDC(nullptr, screen);
    if (!out) {
        ::DeleteDC(from);
        ::DeleteDC(to);
        return nullptr;
    }
    HGDIOBJ old_from = ::SelectObject(from, src), old_to = ::SelectObject(to, out);
    for (int y = 0; y < int(h); ++y)
        for (int x = 0; x < int(w); ++x) {
            COLORREF c = ::GetPixel(from, x, y);
            ::SetPixel(to, x, y, c == keep ? c : grey ? Grey(c) : Darker(c));
        }
    ::SelectObject(from, old_from);
    ::SelectObject(to, old_to);
    ::DeleteDC(from);
    ::DeleteDC(to);
    return out;
}

// Reads an icon's size as twice its hot spot.
BOOL ReadIconSize(HICON icon, DWORD* w, DWORD* h, ICONINFO* keep = nullptr) {
    ICONINFO ii{};
    if (!icon || !::GetIconInfo(icon, &ii)) return FALSE;
    *w = ii.xHotspot * 2;
    *h = ii.yHotspot * 2;
    if (keep) {
        *keep = ii;
    } else {
        if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
        if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
    }
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CImageButton, CButton)
ON_WM_SETCURSOR()
ON_WM_KILLFOCUS()
ON_WM_MOUSEMOVE()
ON_WM_SYSCOLORCHANGE()
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_WM_ACTIVATE()
ON_WM_ENABLE()
ON_WM_CANCELMODE()
ON_WM_GETDLGCODE()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_ERASEBKGND()
ON_WM_MOUSELEAVE()
ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
ON_WM_MENUCHAR()
ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

CImageButton::CImageButton()
    : m_bShowDisabledBitmap(TRUE), m_ptImageOrg{3, 3}, m_ptPressedOffset{1, 1}, m_bIsFlat(TRUE),
      m_bMouseOnButton(FALSE), m_bDrawTransparent(FALSE), m_bIsPressed(FALSE), m_bIsFocused(FALSE),
      m_bIsDisabled(FALSE), m_bIsDefault(FALSE), m_bIsCheckBox(FALSE), m_byAlign(ST_ALIGN_HORIZ),
      m_bDrawBorder(TRUE), m_bDrawFlatFocus(FALSE), m_crColors{}, m_hParentWndMenu(nullptr),
      m_bMenuDisplayed(FALSE), m_hCursor(nullptr), m_hToolTip(nullptr), m_dwToolTipStyle(0), m_dcBk(nullptr),
      m_bmpBk(nullptr), m_pbmpOldBk(nullptr), m_bAlwaysTrack(TRUE), m_nCheck(0), m_szURL{}, m_csIcons{},
      m_csBitmaps{}, m_csCallbackHwnd(nullptr), m_csCallbackMsg(0), m_csCallbackLParam(0), m_csSounds{} {
    SetDefaultColors(FALSE);
}

CImageButton::~CImageButton() {
    if (m_dcBk) {
        if (m_pbmpOldBk) ::SelectObject(m_dcBk, m_pbmpOldBk);
        ::DeleteDC(m_dcBk);
    }
    if (m_bmpBk) ::DeleteObject(m_bmpBk);
    FreeResources();
    if (m_hCursor) ::DestroyIcon(HICON(m_hCursor));
}

void CImageButton::PreSubclassWindow() {
    UINT style = UINT(::GetWindowLongA(m_hWnd, GWL_STYLE));
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_bIsDefault = TRUE;
    CButton::PreSubclassWindow();
}

void CImageButton::Repaint(BOOL bRepaint) {
    if (bRepaint && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageButton::FreeResources(BOOL bCheckForNULL) {
    (void)bCheckForNULL;
    // The out image may be the in image handed twice; free each handle once.
    if (m_csIcons[0].hIcon) ::DestroyIcon(m_csIcons[0].hIcon);
    if (m_csIcons[1].hIcon && m_csIcons[1].hIcon != m_csIcons[0].hIcon) ::DestroyIcon(m_csIcons[1].hIcon);
    for (int n = 0; n < 3; ++n) {
        auto& b = m_csBitmaps[n];
        bool dup = false;
        for (int k = 0; k < n; ++k) dup |= m_csBitmaps[k].hBitmap == b.hBitmap;
        if (b.hBitmap && !dup) ::DeleteObject(b.hBitmap);
        if (b.hMask) ::DeleteObject(b.hMask);
    }
    std::memset(m_csIcons, 0, sizeof m_csIcons);
    std::memset(m_csBitmaps, 0, sizeof m_csBitmaps);
}

DWORD CImageButton::SetIcon(int nIconIn, int nIconOut) {
    return SetIcon(nIconIn, 0, 0, nIconOut, 0, 0);
}

DWORD CImageButton::SetIcon(int nIconIn, int cxIn, int cyIn, int nIconOut, int cxOut, int cyOut) {
    HINSTANCE inst = AfxGetResourceHandle();
    HICON in = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(nIconIn), IMAGE_ICON, cxIn, cyIn, 0));
    HICON out = nullptr;
    if (nIconOut == BTNST_AUTO_GRAY || nIconOut == BTNST_AUTO_DARKER)
        out = reinterpret_cast<HICON>(intptr_t(nIconOut));
    else if (nIconOut)
        out = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(nIconOut), IMAGE_ICON, cxOut, cyOut, 0));
    return SetIcon(in, out);
}

DWORD CImageButton::SetIcon(HICON hIconIn, HICON hIconOut) {
    FreeResources();
    if (hIconIn) {
        ICONINFO ii{};
        intptr_t special = reinterpret_cast<intptr_t>(hIconOut);
        if (!ReadIconSize(hIconIn, &m_csIcons[0].dwWidth, &m_csIcons[0].dwHeight, &ii)) {
            FreeResources();
            // The handed-over out icon would otherwise be lost.
            if (hIconOut && special != BTNST_AUTO_GRAY && special != BTNST_AUTO_DARKER) ::DestroyIcon(hIconOut);
            return BTNST_INVALIDRESOURCE;
        }
        m_csIcons[0].hIcon = hIconIn;
        if (special == BTNST_AUTO_GRAY || special == BTNST_AUTO_DARKER) {
            // Black stays black: icon copies keep their mask and recolour the rest.
            ICONINFO copy = ii;
            copy.hbmColor = ii.hbmColor ? RecolouredCopy(ii.hbmColor, m_csIcons[0].dwWidth,
                                                         m_csIcons[0].dwHeight, RGB(0, 0, 0),
                                                         special == BTNST_AUTO_GRAY)
                                        : nullptr;
            m_csIcons[1].hIcon = copy.hbmColor ? ::CreateIconIndirect(&copy) : nullptr;
            if (copy.hbmColor) ::DeleteObject(copy.hbmColor);
            m_csIcons[1].dwWidth = m_csIcons[0].dwWidth;
            m_csIcons[1].dwHeight = m_csIcons[0].dwHeight;
        } else if (hIconOut) {
            if (!ReadIconSize(hIconOut, &m_csIcons[1].dwWidth, &m_csIcons[1].dwHeight)) {
                if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
                if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
                FreeResources();
                ::DestroyIcon(hIconOut);
                return BTNST_INVALIDRESOURCE;
            }
            m_csIcons[1].hIcon = hIconOut;
        }
        if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
        if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
    }
    Repaint(TRUE);
    return BTNST_OK;
}

HBITMAP CImageButton::CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight,
                                       COLORREF crTransColor) {
    HBITMAP mask = ::CreateBitmap(int(dwWidth), int(dwHeight), 1, 1, nullptr);
    if (!mask) return nullptr;
    HDC src = ::CreateCompatibleDC(nullptr), dst = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old_src = ::SelectObject(src, hSourceBitmap), old_dst = ::SelectObject(dst, mask);
    ::SetBkColor(src, crTransColor);
    ::BitBlt(dst, 0, 0, int(dwWidth), int(dwHeight), src, 0, 0, SRCCOPY);
    // Transparent pixels become black so the bitmap can be ORed over a masked background: mask
    // bits of 1 expand to the background colour (black), 0 to the text colour (white, kept).
    ::SetBkColor(src, RGB(0, 0, 0));
    ::SetTextColor(src, RGB(255, 255, 255));
    ::BitBlt(src, 0, 0, int(dwWidth), int(dwHeight), dst, 0, 0, SRCAND);
    ::SelectObject(src, old_src);
    ::SelectObject(dst, old_dst);
    ::DeleteDC(src);
    ::DeleteDC(dst);
    return mask;
}

DWORD CImageButton::SetBitmaps(int nBitmapIn, COLORREF crTransColorIn, int nBitmapOut, COLORREF crTransColorOut) {
    HINSTANCE inst = AfxGetResourceHandle();
    HBITMAP in = HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(nBitmapIn), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP out = nullptr;
    if (nBitmapOut == BTNST_AUTO_GRAY || nBitmapOut == BTNST_AUTO_DARKER)
        out = reinterpret_cast<HBITMAP>(intptr_t(nBitmapOut));
    else if (nBitmapOut)
        out = HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(nBitmapOut), IMAGE_BITMAP, 0, 0, 0));
    return SetBitmaps(in, crTransColorIn, out, crTransColorOut);
}

DWORD CImageButton::SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut,
                               COLORREF crTransColorOut) {
    return SetThreeBitmaps(hBitmapIn, crTransColorIn, hBitmapOut, crTransColorOut, nullptr, 0);
}

DWORD CImageButton::SetThreeBitmaps(int nBitmap1, COLORREF cr1, int nBitmap2, COLORREF cr2, int nBitmap3,
                                    COLORREF cr3) {
    HINSTANCE inst = AfxGetResourceHandle();
    auto load = [inst](int id) {
        return id ? HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    };
    return SetThreeBitmaps(load(nBitmap1), cr1, load(nBitmap2), cr2, load(nBitmap3), cr3);
}

DWORD CImageButton::SetThreeBitmaps(HBITMAP hBitmap1, COLORREF cr1, HBITMAP hBitmap2, COLORREF cr2,
                                    HBITMAP hBitmap3, COLORREF cr3) {
    FreeResources();
    if (hBitmap3) m_ptPressedOffset = POINT{0, 0};
    if (!hBitmap1) {
        Repaint(TRUE);
        return BTNST_OK;
    }
    HBITMAP given[3] = {hBitmap1, hBitmap2, hBitmap3};
    COLORREF colours[3] = {cr1, cr2, cr3};
    intptr_t special = reinterpret_cast<intptr_t>(hBitmap2);
    bool automatic = special == BTNST_AUTO_GRAY || special == BTNST_AUTO_DARKER;
    auto fail = [&](DWORD code, int from) {
        FreeResources();
        for (int k = from; k < 3; ++k)
            if (given[k] && !(k == 1 && automatic)) ::DeleteObject(given[k]);
        return code;
    };
    for (int n = 0; n < 3; ++n) {
        auto& b = m_csBitmaps[n];
        HBITMAP h = given[n];
        COLORREF tc = colours[n];
        if (n == 1 && automatic) {
            h = RecolouredCopy(m_csBitmaps[0].hBitmap, m_csBitmaps[0].dwWidth, m_csBitmaps[0].dwHeight,
                               RGB(0, 0, 0), special == BTNST_AUTO_GRAY);
            tc = cr1;
            // The in bitmap's transparent pixels are already black, which the copy keeps.
            given[1] = nullptr;
            if (!h) return fail(BTNST_INVALIDRESOURCE, 2);
        }
        if (!h) continue;
        if (!ReadBitmapSize(h, &b.dwWidth, &b.dwHeight)) {
            b.dwWidth = b.dwHeight = 0;
            return fail(BTNST_INVALIDRESOURCE, n);
        }
        b.hBitmap = h;
        b.crTransparent = tc;
        b.hMask = CreateBitmapMask(h, b.dwWidth, b.dwHeight, n == 1 && automatic ? RGB(0, 0, 0) : tc);
        if (!b.hMask) return fail(BTNST_FAILEDMASK, n + 1);
    }
    Repaint(TRUE);
    return BTNST_OK;
}

DWORD CImageButton::SetAlign(BYTE byAlign, BOOL bRepaint) {
    if (byAlign > ST_ALIGN_OVERLAP) return BTNST_INVALIDALIGN;
    m_byAlign = byAlign;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetPressedStyle(BYTE byStyle, BOOL bRepaint) {
    switch (byStyle) {
        case BTNST_PRESSED_LEFTRIGHT: m_ptPressedOffset = POINT{1, 1}; break;
        case BTNST_PRESSED_TOPBOTTOM: m_ptPressedOffset = POINT{0, 2}; break;
        default: return BTNST_INVALIDPRESSEDSTYLE;
    }
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetFlat(BOOL bFlat, BOOL bRepaint) {
    m_bIsFlat = bFlat;
    Repaint(bRepaint);
    return BTNST_OK;
}
DWORD CImageButton::DrawBorder(BOOL bDrawBorder, BOOL bRepaint) {
    m_bDrawBorder = bDrawBorder;
    Repaint(bRepaint);
    return BTNST_OK;
}
DWORD CImageButton::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint) {
    m_bDrawFlatFocus = bDrawFlatFocus;
    Repaint(bRepaint);
    return BTNST_OK;
}
DWORD CImageButton::SetAlwaysTrack(BOOL bAlwaysTrack) {
    m_bAlwaysTrack = bAlwaysTrack;
    return BTNST_OK;
}

DWORD CImageButton::SetCheck(int nCheck, BOOL bRepaint) {
    if (m_bIsCheckBox) {
        m_nCheck = nCheck ? 1 : 0;
        Repaint(bRepaint);
    }
    return BTNST_OK;
}
int CImageButton::GetCheck() { return m_nCheck; }

DWORD CImageButton::SetDefaultColors(BOOL bRepaint) {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE), text = ::GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < BTNST_MAX_COLORS; ++i) m_crColors[i] = (i % 2 == 0) ? face : text;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint) {
    if (byColorIndex >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    m_crColors[byColorIndex] = crColor;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::GetColor(BYTE byColorIndex, COLORREF* crpColor) {
    if (byColorIndex >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    if (!crpColor) return BTNST_BADPARAM;
    *crpColor = m_crColors[byColorIndex];
    return BTNST_OK;
}

DWORD CImageButton::OffsetColor(BYTE byColorIndex, short shOffset, BOOL bRepaint) {
    if (byColorIndex >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
    if (shOffset < -255 || shOffset > 255) return BTNST_BADPARAM;
    COLORREF c = m_crColors[byColorIndex];
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int shade = shOffset;
    if (shade > 0) {
        int room = std::min(255 - r, std::min(255 - g, 255 - b));
        shade = std::min(shade, room);
    } else if (shade < 0) {
        int room = std::min(r, std::min(g, b));
        shade = std::max(shade, -room);
    }
    m_crColors[byColorIndex] = RGB(r + shade, g + shade, b + shade);
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetBtnCursor(int nCursorId, BOOL bRepaint) {
    if (m_hCursor) ::DestroyIcon(HICON(m_hCursor));
    m_hCursor = nullptr;
    if (nCursorId) {
        m_hCursor = HCURSOR(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nCursorId), IMAGE_CURSOR, 0, 0, 0));
        Repaint(bRepaint);
        if (!m_hCursor) return BTNST_INVALIDRESOURCE;
    }
    return BTNST_OK;
}

void CImageButton::InitToolTip() {
    if (m_hToolTip || !m_hWnd) return;
    m_hToolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | m_dwToolTipStyle, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_hToolTip) return;
    ::SendMessageA(m_hToolTip, TTM_ACTIVATE, FALSE, 0);
    ::SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, 400);
}

void CImageButton::SetTooltipText(int nText, BOOL bActivate) {
    char text[1024] = {};
    if (::LoadStringA(AfxGetResourceHandle(), UINT(nText), text, int(sizeof text)) <= 0 || !text[0]) return;
    SetTooltipText(text, bActivate);
}

void CImageButton::SetTooltipText(LPCSTR lpszText, BOOL bActivate) {
    if (!lpszText) return;
    InitToolTip();
    if (!m_hToolTip) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = 1;
    ti.lpszText = const_cast<LPSTR>(lpszText);
    if (::SendMessageA(m_hToolTip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        ::GetClientRect(m_hWnd, &ti.rect);
        ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ::SendMessageA(m_hToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(m_hToolTip, TTM_ACTIVATE, bActivate, 0);
}

void CImageButton::ActivateTooltip(BOOL bEnable) {
    if (m_hToolTip && ::SendMessageA(m_hToolTip, TTM_GETTOOLCOUNT, 0, 0) > 0)
        ::SendMessageA(m_hToolTip, TTM_ACTIVATE, bEnable, 0);
}

DWORD CImageButton::EnableBalloonTooltip() {
    m_dwToolTipStyle |= TTS_BALLOON;
    return BTNST_OK;
}

DWORD CImageButton::DrawTransparent(BOOL bRepaint) {
    m_bDrawTransparent = TRUE;
    if (m_dcBk) {
        if (m_pbmpOldBk) ::SelectObject(m_dcBk, m_pbmpOldBk);
        ::DeleteDC(m_dcBk);
        m_dcBk = nullptr;
        m_pbmpOldBk = nullptr;
    }
    if (m_bmpBk) ::DeleteObject(m_bmpBk);
    m_bmpBk = nullptr;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetBk(CDC* pDC) {
    if (!m_bDrawTransparent || !pDC || !m_hWnd) return BTNST_BADPARAM;
    DrawTransparent(FALSE);
    RECT client, win;
    ::GetClientRect(m_hWnd, &client);
    ::GetWindowRect(m_hWnd, &win);
    HWND parent = ::GetParent(m_hWnd);
    POINT origin{win.left, win.top};
    if (parent) ::ScreenToClient(parent, &origin);
    m_dcBk = ::CreateCompatibleDC(pDC->GetSafeHdc());
    m_bmpBk = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), client.right, client.bottom);
    m_pbmpOldBk = HBITMAP(::SelectObject(m_dcBk, m_bmpBk));
    ::BitBlt(m_dcBk, 0, 0, client.right, client.bottom, pDC->GetSafeHdc(), origin.x, origin.y, SRCCOPY);
    return BTNST_OK;
}

void CImageButton::PaintBk(CDC* pDC) {
    RECT client, win;
    ::GetClientRect(m_hWnd, &client);
    if (!m_dcBk) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetWindowRect(m_hWnd, &win);
        POINT origin{win.left, win.top};
        if (parent) ::ScreenToClient(parent, &origin);
        HDC pdc = ::GetDC(parent);
        m_dcBk = ::CreateCompatibleDC(pdc);
        m_bmpBk = ::CreateCompatibleBitmap(pdc, client.right, client.bottom);
        m_pbmpOldBk = HBITMAP(::SelectObject(m_dcBk, m_bmpBk));
        ::BitBlt(m_dcBk, 0, 0, client.right, client.bottom, pdc, origin.x, origin.y, SRCCOPY);
        ::ReleaseDC(parent, pdc);
    }
    ::BitBlt(pDC->GetSafeHdc(), 0, 0, client.right, client.bottom, m_dcBk, 0, 0, SRCCOPY);
}

DWORD CImageButton::SetURL(LPCSTR lpszURL) {
    std::memset(m_szURL, 0, sizeof m_szURL);
    if (lpszURL) std::strncpy(m_szURL, lpszURL, MAX_PATH);
    return BTNST_OK;
}

DWORD CImageButton::SetMenu(UINT nMenu, HWND hParentWnd, BOOL bWinXPStyle, UINT nToolbarID, CSize sizeToolbarIcon,
                            COLORREF crToolbarBk, BOOL bRepaint) {
    if (m_menuPopup.GetSafeHmenu()) m_menuPopup.DestroyMenu();
    if (nMenu) {
        COwnerMenu::SetMenuDrawMode(bWinXPStyle ? COwnerMenu::DRAWMODE_XP : COwnerMenu::DRAWMODE_ORIGINAL);
        if (!m_menuPopup.LoadMenu(nMenu)) return BTNST_INVALIDRESOURCE;
        if (nToolbarID) {
            m_menuPopup.SetBitmapBackground(crToolbarBk);
            m_menuPopup.SetIconSize(sizeToolbarIcon.cx, sizeToolbarIcon.cy);
            if (!m_menuPopup.LoadToolbar(nToolbarID)) {
                m_menuPopup.DestroyMenu();
                return BTNST_INVALIDRESOURCE;
            }
        }
    }
    m_hParentWndMenu = hParentWnd;
    m_bMenuDisplayed = FALSE;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CImageButton::SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam) {
    m_csCallbackHwnd = hWnd;
    m_csCallbackMsg = nMessage;
    m_csCallbackLParam = lParam;
    return BTNST_OK;
}

DWORD CImageButton::SetSound(LPCSTR lpszSound, HMODULE hMod, BOOL bPlayOnClick, BOOL bPlayAsync) {
    STRUCT_SOUND& s = m_csSounds[bPlayOnClick ? 1 : 0];
    std::memset(&s, 0, sizeof s);
    if (!lpszSound) return BTNST_OK;
    if (hMod) {
        s.lpszSound = lpszSound;
    } else {
        if (std::strlen(lpszSound) >= sizeof s.szSound) return BTNST_BADPARAM;
        std::strcpy(s.szSound, lpszSound);
        s.lpszSound = s.szSound;
    }
    s.hMod = hMod;
    s.dwFlags = SND_NODEFAULT | SND_NOWAIT | (hMod ? SND_RESOURCE : SND_FILENAME) | (bPlayAsync ? SND_ASYNC : 0);
    return BTNST_OK;
}

void CImageButton::PlayButtonSound(const STRUCT_SOUND& s) {
    if (s.lpszSound) ::PlaySoundA(s.lpszSound, s.hMod, s.dwFlags);
}

DWORD CImageButton::SizeToContent() {
    DWORD w = 0, h = 0;
    if (m_csIcons[0].hIcon) {
        w = m_csIcons[0].dwWidth;
        h = m_csIcons[0].dwHeight;
    } else if (m_csBitmaps[0].hBitmap) {
        w = m_csBitmaps[0].dwWidth;
        h = m_csBitmaps[0].dwHeight;
    }
    m_ptImageOrg = POINT{0, 0};
    if (m_hWnd && w && h)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, int(w), int(h), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return BTNST_OK;
}

BOOL CImageButton::GetDefault() { return m_bIsDefault; }

// ---- messages ----

BOOL CImageButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CImageButton::CancelHover() {
    if (m_bIsFlat && m_bMouseOnButton) {
        m_bMouseOnButton = FALSE;
        Repaint(TRUE);
    }
}

void CImageButton::OnKillFocus(CWnd* pNewWnd) {
    CButton::OnKillFocus(pNewWnd);
    CancelHover();
}

// The mouse-move notice shares its number with the dialog manager's DM_SETDEFID: posted to a
// dialog it would make the button's window handle the default id, and Enter would stop working.
static bool IsDialogWindow(HWND wnd) {
    char name[16] = "";
    ::GetClassNameA(wnd, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

void CImageButton::OnMouseMove(UINT nFlags, CPoint point) {
    CButton::OnMouseMove(nFlags, point);
    if ((nFlags & MK_LBUTTON) && !m_bMouseOnButton) return;
    HWND parent = ::GetParent(m_hWnd);
    if (parent && !IsDialogWindow(parent))
        ::PostMessageA(parent, WM_BTNST_MOUSEMOVE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    if (!m_bIsFlat) return;
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    HWND under = ::WindowFromPoint(screen);
    if (under == m_hWnd && (m_bAlwaysTrack || ::GetActiveWindow())) {
        if (!m_bMouseOnButton) {
            m_bMouseOnButton = TRUE;
            Repaint(TRUE);
            PlayButtonSound(m_csSounds[0]);
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = m_hWnd;
            ::TrackMouseEvent(&tme);
        }
    } else {
        CancelHover();
    }
}

void CImageButton::OnMouseLeave() { CancelHover(); }

void CImageButton::OnSysColorChange() {
    CButton::OnSysColorChange();
    if (m_dcBk) DrawTransparent(FALSE);
    SetDefaultColors(TRUE);
}

BOOL CImageButton::OnClicked() {
    ::SetFocus(m_hWnd);
    PlayButtonSound(m_csSounds[1]);
    if (m_bIsCheckBox) {
        m_nCheck = !m_nCheck;
        Repaint(TRUE);
    } else if (m_menuPopup.GetSafeHmenu()) {
        ShowMenu();
    } else if (m_szURL[0]) {
        SHELLEXECUTEINFOA sei{};
        sei.cbSize = sizeof sei;
        sei.fMask = SEE_MASK_FLAG_NO_UI;
        sei.lpVerb = "open";
        sei.lpFile = m_szURL;
        sei.nShow = SW_MAXIMIZE;
        ::ShellExecuteExA(&sei);
    }
    return FALSE;  // the parent sees the click too
}

void CImageButton::ShowMenu() {
    CMenu* popup = m_menuPopup.GetSubMenu(0);
    if (!popup) return;
    m_bMenuDisplayed = TRUE;
    Repaint(TRUE);
    ::UpdateWindow(m_hWnd);
    if (m_csCallbackHwnd)
        ::SendMessageA(m_csCallbackHwnd, m_csCallbackMsg, reinterpret_cast<WPARAM>(popup->m_hMenu), m_csCallbackLParam);
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    UINT cmd = UINT(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, r.left,
                                          r.bottom, this));
    m_bMenuDisplayed = FALSE;
    Repaint(TRUE);
    // A dismissed menu chooses nothing: no command 0 reaches the owner.
    if (cmd && m_hParentWndMenu) ::PostMessageA(m_hParentWndMenu, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

LRESULT CImageButton::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    if (m_menuPopup.GetSafeHmenu() && pMenu && COwnerMenu::FromOwnedHandle(pMenu->m_hMenu))
        return COwnerMenu::FindKeyboardShortcut(nChar, nFlags, pMenu);
    return CButton::OnMenuChar(nChar, nFlags, pMenu);
}

void CImageButton::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct && lpMeasureItemStruct->CtlType == ODT_MENU && m_menuPopup.GetSafeHmenu() &&
        ::IsMenu(m_menuPopup.m_hMenu)) {
        m_menuPopup.MeasureItem(lpMeasureItemStruct);
        return;
    }
    CButton::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

void CImageButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE) CancelHover();
}

void CImageButton::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    if (!bEnable) {
        HWND parent = ::GetParent(m_hWnd);
        if (parent && ::GetFocus() == m_hWnd) {
            HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
            ::SetFocus(next && next != m_hWnd ? next : parent);
        }
        CancelHover();
    }
}

void CImageButton::OnCancelMode() {
    CButton::OnCancelMode();
    CancelHover();
}

UINT CImageButton::OnGetDlgCode() {
    UINT code = CButton::OnGetDlgCode();
    code |= m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

HBRUSH CImageButton::CtlColor(CDC*, UINT) { return HBRUSH(::GetStockObject(NULL_BRUSH)); }

BOOL CImageButton::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CImageButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    UINT type = UINT(wParam) & BS_TYPEMASK;
    m_bIsDefault = type == BS_DEFPUSHBUTTON;
    return DefWindowProcA(BM_SETSTYLE, (wParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CImageButton::OnSetCheck(WPARAM wParam, LPARAM) {
    if (!m_bIsCheckBox) return 0;
    SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0);
    return 0;
}

LRESULT CImageButton::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

BOOL CImageButton::PreTranslateMessage(MSG* pMsg) {
    InitToolTip();
    if (m_hToolTip) ::SendMessageA(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    if (pMsg->message == WM_LBUTTONDBLCLK) pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

// ---- painting ----

void CImageButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    HDC dc = lpDIS->hDC;
    if (m_bIsCheckBox)
        m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) || m_nCheck;
    else
        m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) || m_bMenuDisplayed;
    m_bIsFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bIsDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

    CRect item(lpDIS->rcItem);
    ::SetBkMode(dc, TRANSPARENT);
    if (!m_csBitmaps[2].hBitmap) {
        if (m_bDrawTransparent)
            PaintBk(pDC);
        else
            OnDrawBackground(pDC, &item);
        OnDrawBorder(pDC, &item);
    }
    char title[512] = {};
    ::GetWindowTextA(m_hWnd, title, int(sizeof title));
    CRect caption(lpDIS->rcItem);
    if (m_csIcons[0].hIcon) DrawTheIcon(pDC, title[0] != 0, &lpDIS->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
    if (m_csBitmaps[0].hBitmap) {
        if (!m_csBitmaps[2].hBitmap) ::SetBkColor(dc, kDisabledBk);
        DrawTheBitmap(pDC, title[0] != 0, &lpDIS->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
    }
    if (title[0]) DrawTheText(pDC, title, &lpDIS->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
    if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus)) {
        CRect focus(lpDIS->rcItem);
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

DWORD CImageButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    HDC dc = pDC->GetSafeHdc();
    RECT r = *pRect;
    if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
        HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
        ::FrameRect(dc, &r, black);
        ::DeleteObject(black);
        ::InflateRect(&r, -1, -1);
        *pRect = r;
    }
    COLORREF c = (m_bMouseOnButton || m_bIsPressed) ? m_crColors[BTNST_COLOR_BK_IN]
                 : m_bIsFocused                    ? m_crColors[BTNST_COLOR_BK_FOCUS]
                                                   : m_crColors[BTNST_COLOR_BK_OUT];
    HBRUSH b = ::CreateSolidBrush(c);
    ::FillRect(dc, &r, b);
    ::DeleteObject(b);
    return BTNST_OK;
}

namespace {
void Line3(HDC dc, int colour_index, POINT a, POINT b, POINT c) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(colour_index));
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, a.x, a.y, nullptr);
    ::LineTo(dc, b.x, b.y);
    ::LineTo(dc, c.x, c.y);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}
void Rect3D(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
    auto fill = [dc](int l, int t, int w, int h, COLORREF c) {
        HBRUSH b = ::CreateSolidBrush(c);
        RECT x{l, t, l + w, t + h};
        ::FillRect(dc, &x, b);
        ::DeleteObject(b);
    };
    int w = r.right - r.left, h = r.bottom - r.top;
    fill(r.left, r.top, w - 1, 1, top_left);
    fill(r.left, r.top, 1, h - 1, top_left);
    fill(r.right - 1, r.top, 1, h, bottom_right);
    fill(r.left, r.bottom - 1, w, 1, bottom_right);
}
}  // namespace

DWORD CImageButton::OnDrawBorder(CDC* pDC, CRect* pRect) {
    HDC dc = pDC->GetSafeHdc();
    RECT r = *pRect;
    if (m_bIsPressed) {
        if (!m_bIsFlat) {
            HBRUSH b = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
            ::FrameRect(dc, &r, b);
            ::DeleteObject(b);
        } else if (m_bDrawBorder) {
            Rect3D(dc, r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHILIGHT));
        }
    } else if (!m_bIsFlat) {
        int l = r.left, t = r.top, rr = r.right, b = r.bottom;
        Line3(dc, COLOR_BTNHILIGHT, {l, b - 1}, {l, t}, {rr, t});
        Line3(dc, COLOR_3DLIGHT, {l + 1, b - 1}, {l + 1, t + 1}, {rr, t + 1});
        Line3(dc, COLOR_3DDKSHADOW, {l, b - 1}, {rr - 1, b - 1}, {rr - 1, t - 1});
        Line3(dc, COLOR_BTNSHADOW, {l + 1, b - 2}, {rr - 2, b - 2}, {rr - 2, t});
    } else if (m_bMouseOnButton && m_bDrawBorder) {
        Rect3D(dc, r, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    return BTNST_OK;
}

void CImageButton::PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                                    DWORD dwHeight, CRect* rpImage) {
    RECT client = *rpItem;
    int cw = client.right - client.left, ch = client.bottom - client.top;
    int w = int(dwWidth), h = int(dwHeight);
    RECT img = client;
    switch (m_byAlign) {
        case ST_ALIGN_HORIZ:
            if (!bHasTitle) {
                img.left += (cw - w) / 2;
            } else {
                img.left += m_ptImageOrg.x;
                rpTitle->left += w + m_ptImageOrg.x;
            }
            img.top += (ch - h) / 2;
            break;
        case ST_ALIGN_HORIZ_RIGHT:
            if (!bHasTitle) {
                img.left += (cw - w) / 2;
            } else {
                rpTitle->left = m_ptImageOrg.x;
                rpTitle->right = cw - w - m_ptImageOrg.x;
                img.left = cw - w - m_ptImageOrg.x;
            }
            img.top += (ch - h) / 2;
            break;
        case ST_ALIGN_VERT:
            img.left += (cw - w) / 2;
            if (!bHasTitle) {
                img.top += (ch - h) / 2;
            } else {
                img.top = m_ptImageOrg.y;
                rpTitle->top += h;
            }
            break;
        case ST_ALIGN_OVERLAP: break;
    }
    img.right = img.left + w;
    img.bottom = img.top + h;
    if (bIsPressed && !m_bIsCheckBox) ::OffsetRect(&img, m_ptPressedOffset.x, m_ptPressedOffset.y);
    *rpImage = CRect(img);
}

void CImageButton::DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                               BOOL bIsDisabled) {
    int index;
    if (m_bIsCheckBox)
        index = (bIsPressed || !m_csIcons[1].hIcon) ? 0 : 1;
    else
        index = (m_bMouseOnButton || bIsPressed || !m_csIcons[1].hIcon) ? 0 : 1;
    CRect img;
    PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, m_csIcons[0].dwWidth, m_csIcons[0].dwHeight, &img);
    ::DrawStateA(pDC->GetSafeHdc(), nullptr, nullptr, reinterpret_cast<LPARAM>(m_csIcons[index].hIcon), 0,
                 img.left, img.top, img.Width(), img.Height(), DST_ICON | (bIsDisabled ? DSS_DISABLED : DSS_NORMAL));
}

void CImageButton::DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                                 BOOL bIsDisabled) {
    HDC dc = pDC->GetSafeHdc();
    bool three = m_csBitmaps[2].hBitmap != nullptr;
    int index;
    if (m_bIsCheckBox)
        index = (bIsPressed || !m_csBitmaps[1].hBitmap) ? 0 : 1;
    else if (three)
        index = bIsPressed ? 2 : (m_bMouseOnButton || !m_csBitmaps[1].hBitmap) ? 0 : 1;
    else
        index = (m_bMouseOnButton || bIsPressed || !m_csBitmaps[1].hBitmap) ? 0 : 1;
    const STRUCT_BITMAPS& bm = m_csBitmaps[index];
    CRect img;
    PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, m_csBitmaps[0].dwWidth, m_csBitmaps[0].dwHeight, &img);
    int w = int(m_csBitmaps[0].dwWidth), h = int(m_csBitmaps[0].dwHeight);
    HDC src = ::CreateCompatibleDC(dc);
    if (bIsDisabled && m_bShowDisabledBitmap) {
        HDC tmp = ::CreateCompatibleDC(dc);
        HBITMAP tb = ::CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old_tmp = ::SelectObject(tmp, tb);
        RECT all{0, 0, w, h};
        HBRUSH bk = ::CreateSolidBrush(kDisabledBk);
        ::FillRect(tmp, &all, bk);
        ::DeleteObject(bk);
        HGDIOBJ old_src = ::SelectObject(src, bm.hMask);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCAND);
        ::SelectObject(src, bm.hBitmap);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCPAINT);
        ::SelectObject(src, old_src);
        ::BitBlt(dc, img.left, img.top, w, h, tmp, 0, 0, SRCCOPY);
        ::SelectObject(tmp, old_tmp);
        ::DeleteObject(tb);
        ::DeleteDC(tmp);
    } else if (!three) {
        HGDIOBJ old_src = ::SelectObject(src, bm.hBitmap);
        ::BitBlt(dc, img.left, img.top, w, h, src, 0, 0, SRCCOPY);
        ::SelectObject(src, old_src);
    } else {
        HDC tmp = ::CreateCompatibleDC(dc);
        HBITMAP tb = ::CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old_tmp = ::SelectObject(tmp, tb);
        ::BitBlt(tmp, 0, 0, w, h, dc, 0, 0, SRCCOPY);
        HGDIOBJ old_src = ::SelectObject(src, bm.hMask);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCAND);
        ::SelectObject(src, bm.hBitmap);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCPAINT);
        ::SelectObject(src, old_src);
        ::BitBlt(dc, 0, 0, w, h, tmp, 0, 0, SRCCOPY);
        ::SelectObject(tmp, old_tmp);
        ::DeleteObject(tb);
        ::DeleteDC(tmp);
    }
    ::DeleteDC(src);
}

void CImageButton::DrawTheText(CDC* pDC, LPCSTR lpszText, RECT*, CRect* rpCaption, BOOL bIsPressed,
                               BOOL bIsDisabled) {
    HDC dc = pDC->GetSafeHdc();
    RECT cap = *rpCaption;
    if (bIsPressed && !m_bIsCheckBox) ::OffsetRect(&cap, m_ptPressedOffset.x, m_ptPressedOffset.y);
    const UINT fmt = DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER;
    RECT centre = cap;
    ::DrawTextA(dc, lpszText, -1, &centre, fmt | DT_CALCRECT);
    int tw = centre.right - centre.left, th = centre.bottom - centre.top;
    centre.left = cap.left + ((cap.right - cap.left) - tw) / 2;
    centre.top = cap.top + ((cap.bottom - cap.top) - th) / 2;
    centre.right = centre.left + tw;
    centre.bottom = centre.top + th;
    ::SetBkMode(dc, TRANSPARENT);
    if (!bIsDisabled) {
        int fg, bg;
        if (m_bMouseOnButton || bIsPressed) {
            fg = BTNST_COLOR_FG_IN, bg = BTNST_COLOR_BK_IN;
        } else if (m_bIsFocused) {
            fg = BTNST_COLOR_FG_FOCUS, bg = BTNST_COLOR_BK_FOCUS;
        } else {
            fg = BTNST_COLOR_FG_OUT, bg = BTNST_COLOR_BK_OUT;
        }
        ::SetTextColor(dc, m_crColors[fg]);
        ::SetBkColor(dc, m_crColors[bg]);
        ::DrawTextA(dc, lpszText, -1, &centre, fmt);
    } else {
        RECT shifted = centre;
        ::OffsetRect(&shifted, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, lpszText, -1, &shifted, fmt);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        ::DrawTextA(dc, lpszText, -1, &centre, fmt);
    }
}
