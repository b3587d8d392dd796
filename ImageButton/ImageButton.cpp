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
// A disabled bitmap's colours: its grey, halfway to white, as washed out as disabled text.
COLORREF Faded(COLORREF c) {
    int v = GetRValue(Grey(c));
    v += (255 - v) / 2;
    return RGB(v, v, v);
}
COLORREF GreyOrDarker(intptr_t special, COLORREF c) {
    return special == CImageButton::OUT_GREY_COPY ? Grey(c) : Darker(c);
}

// A new colour bitmap of the source with every pixel other than `keep` recoloured.
template <typename Recolour>
HBITMAP RecolouredCopy(HBITMAP src, DWORD w, DWORD h, COLORREF keep, Recolour recolour) {
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
            ::SetPixel(to, x, y, c == keep ? c : recolour(c));
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

// A monochrome mask of the bitmap (1 where a pixel has the key colour); the bitmap itself is
// changed so that those pixels become black.
HBITMAP MakeMask(HBITMAP hSource, DWORD cx, DWORD cy, COLORREF crKey) {
    HBITMAP mask = ::CreateBitmap(int(cx), int(cy), 1, 1, nullptr);
    if (!mask) return nullptr;
    HDC src = ::CreateCompatibleDC(nullptr), dst = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old_src = ::SelectObject(src, hSource), old_dst = ::SelectObject(dst, mask);
    ::SetBkColor(src, crKey);
    ::BitBlt(dst, 0, 0, int(cx), int(cy), src, 0, 0, SRCCOPY);
    // Transparent pixels become black so the bitmap can be ORed over a masked background: mask
    // bits of 1 expand to the background colour (black), 0 to the text colour (white, kept).
    ::SetBkColor(src, RGB(0, 0, 0));
    ::SetTextColor(src, RGB(255, 255, 255));
    ::BitBlt(src, 0, 0, int(cx), int(cy), dst, 0, 0, SRCAND);
    ::SelectObject(src, old_src);
    ::SelectObject(dst, old_dst);
    ::DeleteDC(src);
    ::DeleteDC(dst);
    return mask;
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
    : m_bMaskDisabledBitmap(TRUE),
      m_ptImageMargin{3, 3},
      m_ptPressShift{1, 1},
      m_bFlat(TRUE),
      m_bHovering(FALSE),
      m_bTransparent(FALSE),
      m_bPressed(FALSE),
      m_bFocused(FALSE),
      m_bDisabled(FALSE),
      m_bDefaultButton(FALSE),
      m_bCheckMode(FALSE),
      m_byImageAlign(ALIGN_IMAGE_LEFT),
      m_bBorder(TRUE),
      m_bFlatFocus(FALSE),
      m_crState{},
      m_hMenuOwner(nullptr),
      m_bMenuOpen(FALSE),
      m_hButtonCursor(nullptr),
      m_hTip(nullptr),
      m_dwTipStyle(0),
      m_hBackDC(nullptr),
      m_hBackBitmap(nullptr),
      m_hBackPrevBitmap(nullptr),
      m_bAlwaysHover(TRUE),
      m_nChecked(0),
      m_szLink{},
      m_icons{},
      m_bitmaps{},
      m_hCallbackWnd(nullptr),
      m_nCallbackMsg(0),
      m_lCallbackParam(0),
      m_sounds{} {
    SetDefaultColors(FALSE);
}

CImageButton::~CImageButton() {
    if (m_hBackDC) {
        if (m_hBackPrevBitmap) ::SelectObject(m_hBackDC, m_hBackPrevBitmap);
        ::DeleteDC(m_hBackDC);
    }
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
    ReleaseImages();
    if (m_hButtonCursor) ::DestroyIcon(HICON(m_hButtonCursor));
}

void CImageButton::PreSubclassWindow() {
    UINT style = UINT(::GetWindowLongA(m_hWnd, GWL_STYLE));
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_bDefaultButton = TRUE;
    CButton::PreSubclassWindow();
}

void CImageButton::Repaint(BOOL bRepaint) {
    if (bRepaint && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageButton::ReleaseImages() {
    // The out image may be the in image handed twice; free each handle once.
    if (m_icons[0].hImage) ::DestroyIcon(m_icons[0].hImage);
    if (m_icons[1].hImage && m_icons[1].hImage != m_icons[0].hImage) ::DestroyIcon(m_icons[1].hImage);
    for (int n = 0; n < 3; ++n) {
        auto& b = m_bitmaps[n];
        bool dup = false;
        for (int k = 0; k < n; ++k) dup |= m_bitmaps[k].hImage == b.hImage;
        if (b.hImage && !dup) ::DeleteObject(b.hImage);
        if (b.hMask) ::DeleteObject(b.hMask);
    }
    std::memset(m_icons, 0, sizeof m_icons);
    std::memset(m_bitmaps, 0, sizeof m_bitmaps);
}

DWORD CImageButton::SetIcon(int nInId, int nOutId) { return SetIcon(nInId, 0, 0, nOutId, 0, 0); }

DWORD CImageButton::SetIcon(int nInId, int cxIn, int cyIn, int nOutId, int cxOut, int cyOut) {
    HINSTANCE inst = AfxGetResourceHandle();
    HICON in = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(nInId), IMAGE_ICON, cxIn, cyIn, 0));
    HICON out = nullptr;
    if (nOutId == OUT_GREY_COPY || nOutId == OUT_DARKER_COPY)
        out = reinterpret_cast<HICON>(intptr_t(nOutId));
    else if (nOutId)
        out = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(nOutId), IMAGE_ICON, cxOut, cyOut, 0));
    return SetIcon(in, out);
}

DWORD CImageButton::SetIcon(HICON hInIcon, HICON hOutIcon) {
    ReleaseImages();
    intptr_t special = reinterpret_cast<intptr_t>(hOutIcon);
    // Without an in icon the button shows none: an out icon handed over with it is freed.
    if (!hInIcon && hOutIcon && special != OUT_GREY_COPY && special != OUT_DARKER_COPY) ::DestroyIcon(hOutIcon);
    if (hInIcon) {
        ICONINFO ii{};
        if (!ReadIconSize(hInIcon, &m_icons[0].cx, &m_icons[0].cy, &ii)) {
            ReleaseImages();
            // The handed-over out icon would otherwise be lost.
            if (hOutIcon && special != OUT_GREY_COPY && special != OUT_DARKER_COPY) ::DestroyIcon(hOutIcon);
            return RESULT_BAD_RESOURCE;
        }
        m_icons[0].hImage = hInIcon;
        if (special == OUT_GREY_COPY || special == OUT_DARKER_COPY) {
            // Black stays black: icon copies keep their mask and recolour the rest.
            ICONINFO copy = ii;
            copy.hbmColor = ii.hbmColor ? RecolouredCopy(ii.hbmColor, m_icons[0].cx, m_icons[0].cy, RGB(0, 0, 0),
                                                         [special](COLORREF c) { return GreyOrDarker(special, c); })
                                        : nullptr;
            m_icons[1].hImage = copy.hbmColor ? ::CreateIconIndirect(&copy) : nullptr;
            if (copy.hbmColor) ::DeleteObject(copy.hbmColor);
            m_icons[1].cx = m_icons[0].cx;
            m_icons[1].cy = m_icons[0].cy;
        } else if (hOutIcon) {
            if (!ReadIconSize(hOutIcon, &m_icons[1].cx, &m_icons[1].cy)) {
                if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
                if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
                ReleaseImages();
                ::DestroyIcon(hOutIcon);
                return RESULT_BAD_RESOURCE;
            }
            m_icons[1].hImage = hOutIcon;
        }
        if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
        if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
    }
    Repaint(TRUE);
    return RESULT_OK;
}

DWORD CImageButton::SetBitmaps(int nInId, COLORREF crInKey, int nOutId, COLORREF crOutKey) {
    HINSTANCE inst = AfxGetResourceHandle();
    HBITMAP in = HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(nInId), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP out = nullptr;
    if (nOutId == OUT_GREY_COPY || nOutId == OUT_DARKER_COPY)
        out = reinterpret_cast<HBITMAP>(intptr_t(nOutId));
    else if (nOutId)
        out = HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(nOutId), IMAGE_BITMAP, 0, 0, 0));
    return SetBitmaps(in, crInKey, out, crOutKey);
}

DWORD CImageButton::SetBitmaps(HBITMAP hInBitmap, COLORREF crInKey, HBITMAP hOutBitmap, COLORREF crOutKey) {
    return SetThreeBitmaps(hInBitmap, crInKey, hOutBitmap, crOutKey, nullptr, 0);
}

DWORD CImageButton::SetThreeBitmaps(int nInId, COLORREF crInKey, int nOutId, COLORREF crOutKey, int nPressedId,
                                    COLORREF crPressedKey) {
    HINSTANCE inst = AfxGetResourceHandle();
    auto load = [inst](int id) {
        return id ? HBITMAP(::LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    };
    return SetThreeBitmaps(load(nInId), crInKey, load(nOutId), crOutKey, load(nPressedId), crPressedKey);
}

DWORD CImageButton::SetThreeBitmaps(HBITMAP hInBitmap, COLORREF crInKey, HBITMAP hOutBitmap, COLORREF crOutKey,
                                    HBITMAP hPressedBitmap, COLORREF crPressedKey) {
    ReleaseImages();
    if (hPressedBitmap) m_ptPressShift = POINT{0, 0};
    HBITMAP given[3] = {hInBitmap, hOutBitmap, hPressedBitmap};
    COLORREF colours[3] = {crInKey, crOutKey, crPressedKey};
    intptr_t special = reinterpret_cast<intptr_t>(hOutBitmap);
    bool automatic = special == OUT_GREY_COPY || special == OUT_DARKER_COPY;
    // Frees the handed-over bitmaps from `from` on that the button did not take.
    auto freeGiven = [&](int from) {
        for (int k = from; k < 3; ++k)
            if (given[k] && !(k == 1 && automatic)) ::DeleteObject(given[k]);
    };
    if (!hInBitmap) {
        // Without an in bitmap the button shows none: what came with it is not kept either.
        freeGiven(1);
        Repaint(TRUE);
        return RESULT_OK;
    }
    auto fail = [&](DWORD code, int from) {
        ReleaseImages();
        freeGiven(from);
        return code;
    };
    for (int n = 0; n < 3; ++n) {
        auto& b = m_bitmaps[n];
        HBITMAP h = given[n];
        COLORREF tc = colours[n];
        if (n == 1 && automatic) {
            h = RecolouredCopy(m_bitmaps[0].hImage, m_bitmaps[0].cx, m_bitmaps[0].cy, RGB(0, 0, 0),
                               [special](COLORREF c) { return GreyOrDarker(special, c); });
            tc = crInKey;
            // The in bitmap's transparent pixels are already black, which the copy keeps.
            given[1] = nullptr;
            if (!h) return fail(RESULT_BAD_RESOURCE, 2);
        }
        if (!h) continue;
        if (!ReadBitmapSize(h, &b.cx, &b.cy)) {
            b.cx = b.cy = 0;
            return fail(RESULT_BAD_RESOURCE, n);
        }
        b.hImage = h;
        b.crKey = tc;
        b.hMask = MakeMask(h, b.cx, b.cy, n == 1 && automatic ? RGB(0, 0, 0) : tc);
        if (!b.hMask) return fail(RESULT_NO_MASK, n + 1);
    }
    Repaint(TRUE);
    return RESULT_OK;
}

DWORD CImageButton::SetAlign(BYTE byImageAlign, BOOL bRepaint) {
    if (byImageAlign > ALIGN_IMAGE_BEHIND) return RESULT_BAD_ALIGN;
    m_byImageAlign = byImageAlign;
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetPressedStyle(BYTE byPressStyle, BOOL bRepaint) {
    switch (byPressStyle) {
        case PRESS_SHIFT_DIAGONAL: m_ptPressShift = POINT{1, 1}; break;
        case PRESS_SHIFT_DOWN: m_ptPressShift = POINT{0, 2}; break;
        default: return RESULT_BAD_PRESS_STYLE;
    }
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetFlat(BOOL bFlat, BOOL bRepaint) {
    m_bFlat = bFlat;
    Repaint(bRepaint);
    return RESULT_OK;
}
DWORD CImageButton::DrawBorder(BOOL bDrawBorder, BOOL bRepaint) {
    m_bBorder = bDrawBorder;
    Repaint(bRepaint);
    return RESULT_OK;
}
DWORD CImageButton::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint) {
    m_bFlatFocus = bDrawFlatFocus;
    Repaint(bRepaint);
    return RESULT_OK;
}
DWORD CImageButton::SetAlwaysTrack(BOOL bAlwaysTrack) {
    m_bAlwaysHover = bAlwaysTrack;
    return RESULT_OK;
}

DWORD CImageButton::SetCheck(int nCheck, BOOL bRepaint) {
    if (m_bCheckMode) {
        m_nChecked = nCheck ? 1 : 0;
        Repaint(bRepaint);
    }
    return RESULT_OK;
}
int CImageButton::GetCheck() { return m_nChecked; }

DWORD CImageButton::SetDefaultColors(BOOL bRepaint) {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE), text = ::GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < STATE_COLOR_COUNT; ++i) m_crState[i] = (i % 2 == 0) ? face : text;
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetColor(BYTE bySlot, COLORREF crColor, BOOL bRepaint) {
    if (bySlot >= STATE_COLOR_COUNT) return RESULT_BAD_COLOR_INDEX;
    m_crState[bySlot] = crColor;
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::GetColor(BYTE bySlot, COLORREF* pcrColor) {
    if (bySlot >= STATE_COLOR_COUNT) return RESULT_BAD_COLOR_INDEX;
    if (!pcrColor) return RESULT_BAD_ARGUMENT;
    *pcrColor = m_crState[bySlot];
    return RESULT_OK;
}

DWORD CImageButton::OffsetColor(BYTE bySlot, short shShade, BOOL bRepaint) {
    if (bySlot >= STATE_COLOR_COUNT) return RESULT_BAD_COLOR_INDEX;
    if (shShade < -255 || shShade > 255) return RESULT_BAD_ARGUMENT;
    COLORREF c = m_crState[bySlot];
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int shade = shShade;
    if (shade > 0) {
        int room = std::min(255 - r, std::min(255 - g, 255 - b));
        shade = std::min(shade, room);
    } else if (shade < 0) {
        int room = std::min(r, std::min(g, b));
        shade = std::max(shade, -room);
    }
    m_crState[bySlot] = RGB(r + shade, g + shade, b + shade);
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetBtnCursor(int nCursorId, BOOL bRepaint) {
    if (m_hButtonCursor) ::DestroyIcon(HICON(m_hButtonCursor));
    m_hButtonCursor = nullptr;
    if (nCursorId) {
        m_hButtonCursor =
            HCURSOR(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nCursorId), IMAGE_CURSOR, 0, 0, 0));
        Repaint(bRepaint);
        if (!m_hButtonCursor) return RESULT_BAD_RESOURCE;
    }
    return RESULT_OK;
}

void CImageButton::EnsureTip() {
    if (m_hTip || !m_hWnd) return;
    m_hTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | m_dwTipStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_hTip) return;
    ::SendMessageA(m_hTip, TTM_ACTIVATE, FALSE, 0);
    ::SendMessageA(m_hTip, TTM_SETMAXTIPWIDTH, 0, 400);
}

void CImageButton::SetTooltipText(int nText, BOOL bActivate) {
    char text[1024] = {};
    if (::LoadStringA(AfxGetResourceHandle(), UINT(nText), text, int(sizeof text)) <= 0 || !text[0]) return;
    SetTooltipText(text, bActivate);
}

void CImageButton::SetTooltipText(LPCSTR lpszText, BOOL bActivate) {
    if (!lpszText) return;
    EnsureTip();
    if (!m_hTip) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = 1;
    ti.lpszText = const_cast<LPSTR>(lpszText);
    if (::SendMessageA(m_hTip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        ::GetClientRect(m_hWnd, &ti.rect);
        ::SendMessageA(m_hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ::SendMessageA(m_hTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(m_hTip, TTM_ACTIVATE, bActivate, 0);
}

void CImageButton::ActivateTooltip(BOOL bEnable) {
    if (m_hTip && ::SendMessageA(m_hTip, TTM_GETTOOLCOUNT, 0, 0) > 0) ::SendMessageA(m_hTip, TTM_ACTIVATE, bEnable, 0);
}

DWORD CImageButton::EnableBalloonTooltip() {
    m_dwTipStyle |= TTS_BALLOON;
    return RESULT_OK;
}

DWORD CImageButton::DrawTransparent(BOOL bRepaint) {
    m_bTransparent = TRUE;
    if (m_hBackDC) {
        if (m_hBackPrevBitmap) ::SelectObject(m_hBackDC, m_hBackPrevBitmap);
        ::DeleteDC(m_hBackDC);
        m_hBackDC = nullptr;
        m_hBackPrevBitmap = nullptr;
    }
    if (m_hBackBitmap) ::DeleteObject(m_hBackBitmap);
    m_hBackBitmap = nullptr;
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetBk(CDC* pDC) {
    if (!m_bTransparent || !pDC || !m_hWnd) return RESULT_BAD_ARGUMENT;
    DrawTransparent(FALSE);
    RECT client, win;
    ::GetClientRect(m_hWnd, &client);
    ::GetWindowRect(m_hWnd, &win);
    HWND parent = ::GetParent(m_hWnd);
    POINT origin{win.left, win.top};
    if (parent) ::ScreenToClient(parent, &origin);
    m_hBackDC = ::CreateCompatibleDC(pDC->GetSafeHdc());
    m_hBackBitmap = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), client.right, client.bottom);
    m_hBackPrevBitmap = HBITMAP(::SelectObject(m_hBackDC, m_hBackBitmap));
    ::BitBlt(m_hBackDC, 0, 0, client.right, client.bottom, pDC->GetSafeHdc(), origin.x, origin.y, SRCCOPY);
    return RESULT_OK;
}

void CImageButton::PaintSavedBackground(CDC* pDC) {
    RECT client, win;
    ::GetClientRect(m_hWnd, &client);
    if (!m_hBackDC) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetWindowRect(m_hWnd, &win);
        POINT origin{win.left, win.top};
        if (parent) ::ScreenToClient(parent, &origin);
        HDC pdc = ::GetDC(parent);
        m_hBackDC = ::CreateCompatibleDC(pdc);
        m_hBackBitmap = ::CreateCompatibleBitmap(pdc, client.right, client.bottom);
        m_hBackPrevBitmap = HBITMAP(::SelectObject(m_hBackDC, m_hBackBitmap));
        ::BitBlt(m_hBackDC, 0, 0, client.right, client.bottom, pdc, origin.x, origin.y, SRCCOPY);
        ::ReleaseDC(parent, pdc);
    }
    ::BitBlt(pDC->GetSafeHdc(), 0, 0, client.right, client.bottom, m_hBackDC, 0, 0, SRCCOPY);
}

DWORD CImageButton::SetURL(LPCSTR lpszLink) {
    std::memset(m_szLink, 0, sizeof m_szLink);
    if (lpszLink) std::strncpy(m_szLink, lpszLink, MAX_PATH);
    return RESULT_OK;
}

DWORD CImageButton::SetMenu(UINT nMenuId, HWND hMenuOwner, BOOL bXPLook, UINT nToolbarId, CSize sizeIcons,
                            COLORREF crToolbarMask, BOOL bRepaint) {
    if (m_dropMenu.GetSafeHmenu()) m_dropMenu.DestroyMenu();
    if (nMenuId) {
        COwnerMenu::SetMenuDrawMode(bXPLook ? COwnerMenu::LOOK_XP : COwnerMenu::LOOK_CLASSIC);
        if (!m_dropMenu.LoadMenu(nMenuId)) return RESULT_BAD_RESOURCE;
        if (nToolbarId) {
            m_dropMenu.SetBitmapBackground(crToolbarMask);
            m_dropMenu.SetIconSize(sizeIcons.cx, sizeIcons.cy);
            if (!m_dropMenu.LoadToolbar(nToolbarId)) {
                m_dropMenu.DestroyMenu();
                return RESULT_BAD_RESOURCE;
            }
        }
    }
    m_hMenuOwner = hMenuOwner;
    m_bMenuOpen = FALSE;
    Repaint(bRepaint);
    return RESULT_OK;
}

DWORD CImageButton::SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam) {
    m_hCallbackWnd = hWnd;
    m_nCallbackMsg = nMessage;
    m_lCallbackParam = lParam;
    return RESULT_OK;
}

DWORD CImageButton::SetSound(LPCSTR pszSound, HMODULE hModule, BOOL bOnClick, BOOL bAsync) {
    SoundRecord& s = m_sounds[bOnClick ? 1 : 0];
    std::memset(&s, 0, sizeof s);
    if (!pszSound) return RESULT_OK;
    if (hModule) {
        s.pszSound = pszSound;
    } else {
        if (std::strlen(pszSound) >= sizeof s.szFile) return RESULT_BAD_ARGUMENT;
        std::strcpy(s.szFile, pszSound);
        s.pszSound = s.szFile;
    }
    s.hModule = hModule;
    s.dwFlags = SND_NODEFAULT | SND_NOWAIT | (hModule ? SND_RESOURCE : SND_FILENAME) | (bAsync ? SND_ASYNC : 0);
    return RESULT_OK;
}

void CImageButton::PlaySoundRecord(const SoundRecord& s) {
    if (s.pszSound) ::PlaySoundA(s.pszSound, s.hModule, s.dwFlags);
}

DWORD CImageButton::SizeToContent() {
    DWORD w = 0, h = 0;
    if (m_icons[0].hImage) {
        w = m_icons[0].cx;
        h = m_icons[0].cy;
    } else if (m_bitmaps[0].hImage) {
        w = m_bitmaps[0].cx;
        h = m_bitmaps[0].cy;
    }
    m_ptImageMargin = POINT{0, 0};
    if (m_hWnd && w && h)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, int(w), int(h), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return RESULT_OK;
}

BOOL CImageButton::GetDefault() { return m_bDefaultButton; }

// ---- messages ----

BOOL CImageButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (m_hButtonCursor) {
        ::SetCursor(m_hButtonCursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CImageButton::EndHover() {
    if (m_bFlat && m_bHovering) {
        m_bHovering = FALSE;
        Repaint(TRUE);
    }
}

void CImageButton::OnKillFocus(CWnd* pNewWnd) {
    CButton::OnKillFocus(pNewWnd);
    EndHover();
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
    if ((nFlags & MK_LBUTTON) && !m_bHovering) return;
    HWND parent = ::GetParent(m_hWnd);
    if (parent && !IsDialogWindow(parent))
        ::PostMessageA(parent, WM_IMAGEBUTTON_MOUSEMOVE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    if (!m_bFlat) return;
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    HWND under = ::WindowFromPoint(screen);
    if (under == m_hWnd && (m_bAlwaysHover || ::GetActiveWindow())) {
        if (!m_bHovering) {
            m_bHovering = TRUE;
            Repaint(TRUE);
            PlaySoundRecord(m_sounds[0]);
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = m_hWnd;
            ::TrackMouseEvent(&tme);
        }
    } else {
        EndHover();
    }
}

void CImageButton::OnMouseLeave() { EndHover(); }

void CImageButton::OnSysColorChange() {
    CButton::OnSysColorChange();
    if (m_hBackDC) DrawTransparent(FALSE);
    SetDefaultColors(TRUE);
}

BOOL CImageButton::OnClicked() {
    ::SetFocus(m_hWnd);
    PlaySoundRecord(m_sounds[1]);
    if (m_bCheckMode) {
        m_nChecked = !m_nChecked;
        Repaint(TRUE);
    } else if (m_dropMenu.GetSafeHmenu()) {
        TrackDropMenu();
    } else if (m_szLink[0]) {
        SHELLEXECUTEINFOA sei{};
        sei.cbSize = sizeof sei;
        sei.fMask = SEE_MASK_FLAG_NO_UI;
        sei.lpVerb = "open";
        sei.lpFile = m_szLink;
        sei.nShow = SW_MAXIMIZE;
        ::ShellExecuteExA(&sei);
    }
    return FALSE;  // the parent sees the click too
}

void CImageButton::TrackDropMenu() {
    CMenu* popup = m_dropMenu.GetSubMenu(0);
    if (!popup) return;
    m_bMenuOpen = TRUE;
    Repaint(TRUE);
    ::UpdateWindow(m_hWnd);
    if (m_hCallbackWnd)
        ::SendMessageA(m_hCallbackWnd, m_nCallbackMsg, reinterpret_cast<WPARAM>(popup->m_hMenu), m_lCallbackParam);
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    UINT cmd = UINT(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, r.left,
                                          r.bottom, this));
    m_bMenuOpen = FALSE;
    Repaint(TRUE);
    // A dismissed menu chooses nothing: no command 0 reaches the owner.
    if (cmd && m_hMenuOwner) ::PostMessageA(m_hMenuOwner, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

LRESULT CImageButton::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    if (m_dropMenu.GetSafeHmenu() && pMenu && COwnerMenu::FromOwnedHandle(pMenu->m_hMenu))
        return COwnerMenu::AnswerMenuChar(nChar, nFlags, pMenu);
    return CButton::OnMenuChar(nChar, nFlags, pMenu);
}

void CImageButton::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct && lpMeasureItemStruct->CtlType == ODT_MENU && m_dropMenu.GetSafeHmenu() &&
        ::IsMenu(m_dropMenu.m_hMenu)) {
        m_dropMenu.MeasureItem(lpMeasureItemStruct);
        return;
    }
    CButton::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

void CImageButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE) EndHover();
}

void CImageButton::OnEnable(BOOL bEnable) {
    CButton::OnEnable(bEnable);
    if (!bEnable) {
        HWND parent = ::GetParent(m_hWnd);
        if (parent && ::GetFocus() == m_hWnd) {
            HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
            ::SetFocus(next && next != m_hWnd ? next : parent);
        }
        EndHover();
    }
}

void CImageButton::OnCancelMode() {
    CButton::OnCancelMode();
    EndHover();
}

UINT CImageButton::OnGetDlgCode() {
    UINT code = CButton::OnGetDlgCode();
    code |= m_bDefaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

HBRUSH CImageButton::CtlColor(CDC*, UINT) { return HBRUSH(::GetStockObject(NULL_BRUSH)); }

BOOL CImageButton::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CImageButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    UINT type = UINT(wParam) & BS_TYPEMASK;
    m_bDefaultButton = type == BS_DEFPUSHBUTTON;
    return DefWindowProcA(BM_SETSTYLE, (wParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CImageButton::OnSetCheck(WPARAM wParam, LPARAM) {
    if (!m_bCheckMode) return 0;
    SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0);
    return 0;
}

LRESULT CImageButton::OnGetCheck(WPARAM, LPARAM) { return m_nChecked; }

BOOL CImageButton::PreTranslateMessage(MSG* pMsg) {
    EnsureTip();
    if (m_hTip) ::SendMessageA(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    if (pMsg->message == WM_LBUTTONDBLCLK) pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

// ---- painting ----

void CImageButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    HDC dc = lpDIS->hDC;
    if (m_bCheckMode)
        m_bPressed = (lpDIS->itemState & ODS_SELECTED) || m_nChecked;
    else
        m_bPressed = (lpDIS->itemState & ODS_SELECTED) || m_bMenuOpen;
    m_bFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

    CRect item(lpDIS->rcItem);
    ::SetBkMode(dc, TRANSPARENT);
    if (!m_bitmaps[2].hImage) {
        if (m_bTransparent)
            PaintSavedBackground(pDC);
        else
            OnDrawBackground(pDC, &item);
        OnDrawBorder(pDC, &item);
    }
    char title[512] = {};
    ::GetWindowTextA(m_hWnd, title, int(sizeof title));
    CRect caption(lpDIS->rcItem);
    if (m_icons[0].hImage) DrawTheIcon(pDC, title[0] != 0, &lpDIS->rcItem, &caption, m_bPressed, m_bDisabled);
    if (m_bitmaps[0].hImage) {
        if (!m_bitmaps[2].hImage) ::SetBkColor(dc, kDisabledBk);
        DrawTheBitmap(pDC, title[0] != 0, &lpDIS->rcItem, &caption, m_bPressed, m_bDisabled);
    }
    if (title[0]) DrawTheText(pDC, title, &lpDIS->rcItem, &caption, m_bPressed, m_bDisabled);
    if (m_bFocused && (!m_bFlat || m_bFlatFocus)) {
        CRect focus(lpDIS->rcItem);
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

DWORD CImageButton::OnDrawBackground(CDC* pDC, CRect* pRect) {
    HDC dc = pDC->GetSafeHdc();
    RECT r = *pRect;
    if (!m_bFlat && (m_bFocused || m_bDefaultButton)) {
        HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
        ::FrameRect(dc, &r, black);
        ::DeleteObject(black);
        ::InflateRect(&r, -1, -1);
        *pRect = r;
    }
    COLORREF c = (m_bHovering || m_bPressed) ? m_crState[HOVER_FACE]
                 : m_bFocused                ? m_crState[FOCUS_FACE]
                                             : m_crState[NORMAL_FACE];
    HBRUSH b = ::CreateSolidBrush(c);
    ::FillRect(dc, &r, b);
    ::DeleteObject(b);
    return RESULT_OK;
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
    if (m_bPressed) {
        if (!m_bFlat) {
            HBRUSH b = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
            ::FrameRect(dc, &r, b);
            ::DeleteObject(b);
        } else if (m_bBorder) {
            Rect3D(dc, r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHILIGHT));
        }
    } else if (!m_bFlat) {
        int l = r.left, t = r.top, rr = r.right, b = r.bottom;
        Line3(dc, COLOR_BTNHILIGHT, {l, b - 1}, {l, t}, {rr, t});
        Line3(dc, COLOR_3DLIGHT, {l + 1, b - 1}, {l + 1, t + 1}, {rr, t + 1});
        Line3(dc, COLOR_3DDKSHADOW, {l, b - 1}, {rr - 1, b - 1}, {rr - 1, t - 1});
        Line3(dc, COLOR_BTNSHADOW, {l + 1, b - 2}, {rr - 2, b - 2}, {rr - 2, t});
    } else if (m_bHovering && m_bBorder) {
        Rect3D(dc, r, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    return RESULT_OK;
}

void CImageButton::PlaceImage(BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed, DWORD cx, DWORD cy,
                              CRect* prcImage) {
    RECT client = *prcItem;
    int cw = client.right - client.left, ch = client.bottom - client.top;
    int w = int(cx), h = int(cy);
    RECT img = client;
    switch (m_byImageAlign) {
        case ALIGN_IMAGE_LEFT:
            if (!bHasCaption) {
                img.left += (cw - w) / 2;
            } else {
                img.left += m_ptImageMargin.x;
                prcCaption->left += w + m_ptImageMargin.x;
            }
            img.top += (ch - h) / 2;
            break;
        case ALIGN_IMAGE_RIGHT:
            if (!bHasCaption) {
                img.left += (cw - w) / 2;
            } else {
                prcCaption->left = m_ptImageMargin.x;
                prcCaption->right = cw - w - m_ptImageMargin.x;
                img.left = cw - w - m_ptImageMargin.x;
            }
            img.top += (ch - h) / 2;
            break;
        case ALIGN_IMAGE_ABOVE:
            img.left += (cw - w) / 2;
            if (!bHasCaption) {
                img.top += (ch - h) / 2;
            } else {
                img.top = m_ptImageMargin.y;
                prcCaption->top += h;
            }
            break;
        case ALIGN_IMAGE_BEHIND: break;
    }
    img.right = img.left + w;
    img.bottom = img.top + h;
    if (bPressed && !m_bCheckMode) ::OffsetRect(&img, m_ptPressShift.x, m_ptPressShift.y);
    *prcImage = CRect(img);
}

void CImageButton::DrawTheIcon(CDC* pDC, BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed,
                               BOOL bDisabled) {
    int index;
    if (m_bCheckMode)
        index = (bPressed || !m_icons[1].hImage) ? 0 : 1;
    else
        index = (m_bHovering || bPressed || !m_icons[1].hImage) ? 0 : 1;
    CRect img;
    PlaceImage(bHasCaption, prcItem, prcCaption, bPressed, m_icons[0].cx, m_icons[0].cy, &img);
    ::DrawStateA(pDC->GetSafeHdc(), nullptr, nullptr, reinterpret_cast<LPARAM>(m_icons[index].hImage), 0, img.left,
                 img.top, img.Width(), img.Height(), DST_ICON | (bDisabled ? DSS_DISABLED : DSS_NORMAL));
}

void CImageButton::DrawTheBitmap(CDC* pDC, BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed,
                                 BOOL bDisabled) {
    HDC dc = pDC->GetSafeHdc();
    bool three = m_bitmaps[2].hImage != nullptr;
    int index;
    if (m_bCheckMode)
        index = (bPressed || !m_bitmaps[1].hImage) ? 0 : 1;
    else if (three)
        index = bPressed ? 2 : (m_bHovering || !m_bitmaps[1].hImage) ? 0 : 1;
    else
        index = (m_bHovering || bPressed || !m_bitmaps[1].hImage) ? 0 : 1;
    const BitmapImage& bm = m_bitmaps[index];
    CRect img;
    PlaceImage(bHasCaption, prcItem, prcCaption, bPressed, m_bitmaps[0].cx, m_bitmaps[0].cy, &img);
    int w = int(m_bitmaps[0].cx), h = int(m_bitmaps[0].cy);
    HDC src = ::CreateCompatibleDC(dc);
    if (bDisabled && m_bMaskDisabledBitmap) {
        HDC tmp = ::CreateCompatibleDC(dc);
        HBITMAP tb = ::CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old_tmp = ::SelectObject(tmp, tb);
        RECT all{0, 0, w, h};
        HBRUSH bk = ::CreateSolidBrush(kDisabledBk);
        ::FillRect(tmp, &all, bk);
        ::DeleteObject(bk);
        // A picture without transparent pixels would show unchanged: its colours are faded, as
        // a disabled icon is greyed, so that the button reads disabled like its neighbours.
        HBITMAP faded = RecolouredCopy(bm.hImage, DWORD(w), DWORD(h), RGB(0, 0, 0), Faded);
        HGDIOBJ old_src = ::SelectObject(src, bm.hMask);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCAND);
        ::SelectObject(src, faded ? faded : bm.hImage);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCPAINT);
        ::SelectObject(src, old_src);
        if (faded) ::DeleteObject(faded);
        ::BitBlt(dc, img.left, img.top, w, h, tmp, 0, 0, SRCCOPY);
        ::SelectObject(tmp, old_tmp);
        ::DeleteObject(tb);
        ::DeleteDC(tmp);
    } else if (!three) {
        HGDIOBJ old_src = ::SelectObject(src, bm.hImage);
        ::BitBlt(dc, img.left, img.top, w, h, src, 0, 0, SRCCOPY);
        ::SelectObject(src, old_src);
    } else {
        HDC tmp = ::CreateCompatibleDC(dc);
        HBITMAP tb = ::CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old_tmp = ::SelectObject(tmp, tb);
        ::BitBlt(tmp, 0, 0, w, h, dc, 0, 0, SRCCOPY);
        HGDIOBJ old_src = ::SelectObject(src, bm.hMask);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCAND);
        ::SelectObject(src, bm.hImage);
        ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCPAINT);
        ::SelectObject(src, old_src);
        ::BitBlt(dc, 0, 0, w, h, tmp, 0, 0, SRCCOPY);
        ::SelectObject(tmp, old_tmp);
        ::DeleteObject(tb);
        ::DeleteDC(tmp);
    }
    ::DeleteDC(src);
}

void CImageButton::DrawTheText(CDC* pDC, LPCSTR lpszText, RECT*, CRect* prcCaption, BOOL bPressed, BOOL bDisabled) {
    HDC dc = pDC->GetSafeHdc();
    RECT cap = *prcCaption;
    if (bPressed && !m_bCheckMode) ::OffsetRect(&cap, m_ptPressShift.x, m_ptPressShift.y);
    const UINT fmt = DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER;
    RECT centre = cap;
    ::DrawTextA(dc, lpszText, -1, &centre, fmt | DT_CALCRECT);
    int tw = centre.right - centre.left, th = centre.bottom - centre.top;
    centre.left = cap.left + ((cap.right - cap.left) - tw) / 2;
    centre.top = cap.top + ((cap.bottom - cap.top) - th) / 2;
    centre.right = centre.left + tw;
    centre.bottom = centre.top + th;
    ::SetBkMode(dc, TRANSPARENT);
    if (!bDisabled) {
        int fg, bg;
        if (m_bHovering || bPressed) {
            fg = HOVER_TEXT, bg = HOVER_FACE;
        } else if (m_bFocused) {
            fg = FOCUS_TEXT, bg = FOCUS_FACE;
        } else {
            fg = NORMAL_TEXT, bg = NORMAL_FACE;
        }
        ::SetTextColor(dc, m_crState[fg]);
        ::SetBkColor(dc, m_crState[bg]);
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
