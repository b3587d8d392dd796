// Header, rebar, status bar and control bar: a background and one image per item, with texts.
#include <commctrl.h>

#include <vector>

#include "CommCtlSkins.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

// Texts of a bar: its font, the colour, no background behind the letters; the font goes back.
class TextScope {
public:
    TextScope(HDC hdc, HFONT font, COLORREF color) : m_dc(hdc), m_old(SelectObject(hdc, font))
    {
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, color);
    }
    ~TextScope() { SelectObject(m_dc, m_old); }
    TextScope(const TextScope&) = delete;
    TextScope& operator=(const TextScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

RECT ClientOf(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return r;
}

// The bar's background: the object's grid over the face colour, or the face colour alone when
// the bar has no object of the type (null then).
template <class T>
T* PaintBarBackground(CSkinObject* object, CSkinFile* file, HDC hdc, const RECT& client)
{
    auto* o = dynamic_cast<T*>(object);
    if (o)
        commctl::FillBackground(file, hdc, client, o->m_background, GetSysColor(COLOR_BTNFACE));
    else
        FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
    return o;
}

}  // namespace

// ---- header ----------------------------------------------------------------------------------------

void CSkinHeader::Draw(HDC hdc)
{
    auto* o = PaintBarBackground<CSkinHeaderObject>(m_pSkinObject, GetSkinFile(), hdc, ClientOf(m_hWnd));
    if (!o)
        return;
    TextScope text(hdc, GetControlFont(), o->m_font.color);
    const int count = int(::SendMessageA(m_hWnd, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[101] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = text;
        item.cchTextMax = int(sizeof text);
        ::SendMessageA(m_hWnd, HDM_GETITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        text[sizeof text - 1] = '\0';
        RECT r{};
        if (!::SendMessageA(m_hWnd, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
            continue;
        DrawSkinImagePart(GetSkinFile(), hdc, r, o->m_item, GetSysColor(COLOR_BTNFACE), 0, false);
        RECT tr{r.left + o->m_item.marginLeft, r.top, r.right - o->m_item.marginRight, r.bottom};
        UINT format = DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            format |= DT_CENTER;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            format |= DT_RIGHT;
        DrawTextA(hdc, text, -1, &tr, format);
    }
}

// ---- rebar ------------------------------------------------------------------------------------------

void CSkinRebar::Draw(HDC hdc)
{
    auto* o = PaintBarBackground<CSkinRebarObject>(m_pSkinObject, GetSkinFile(), hdc, ClientOf(m_hWnd));
    if (!o)
        return;
    TextScope text(hdc, GetControlFont(), o->m_font.color);
    const RECT margins = commctl::RectFromBlock(o->m_block);
    const int count = int(::SendMessageA(m_hWnd, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!::SendMessageA(m_hWnd, RB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
            continue;
        char text[201] = {};
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_TEXT;
        band.lpText = text;
        band.cch = sizeof text;
        ::SendMessageA(m_hWnd, RB_GETBANDINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&band));
        text[sizeof text - 1] = '\0';
        DrawSkinImagePart(GetSkinFile(), hdc, r, o->m_band, GetSysColor(COLOR_BTNFACE), 0, false);
        if (!text[0])
            continue;
        RECT tr{r.left + margins.left, r.top + margins.top, r.right - margins.right, r.bottom - margins.bottom};
        DrawTextA(hdc, text, -1, &tr, DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
}

// ---- status bar -------------------------------------------------------------------------------------

CSkinStatusBar::CSkinStatusBar(CSkinWindow* owner)
    : CSkinControlBase(owner, SKIN_STATUSBAR), m_pDefault(std::make_unique<CSkinStatusBarObject>())
{
    // The built-in look: the system's face colour and text, parts with a little room for text.
    m_pDefault->m_crBack = GetSysColor(COLOR_BTNFACE);
    m_pDefault->m_font.color = GetSysColor(COLOR_BTNTEXT);
    m_pDefault->m_font.lfFaceName[0] = '\0';  // keeps the bar's own font
    m_pDefault->m_pane.marginLeft = 2;
    m_pDefault->m_pane.marginRight = 2;
}

CSkinStatusBar::~CSkinStatusBar() = default;

BOOL CSkinStatusBar::Attach(HWND hwnd)
{
    if (!m_pSkinObject)
        CSkinControlBase::SetSkinObject(m_pDefault.get());
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    // The size grip and any child stay the bar's own.
    ChangeStyleBits(GWL_STYLE, WS_CLIPCHILDREN, 0);
    return TRUE;
}

CSkinObject* CSkinStatusBar::SetSkinObject(CSkinObject* object)
{
    return CSkinControlBase::SetSkinObject(object ? object : m_pDefault.get());
}

void CSkinStatusBar::OnPaint()
{
    // The bar's own procedure finds nothing left to paint; the skin paints through the window DC.
    ValidateRect(m_hWnd, nullptr);
    CallSaved(WM_PAINT, 0, 0);
    const RECT client = ClientOf(m_hWnd);
    HDC dc = GetDC(m_hWnd);
    if (!dc)
        return;
    if (!IsRectEmpty(&client)) {
        CSkinMemDC surface(dc, client.right, client.bottom);
        if (surface.IsValid()) {
            Draw(surface);
            BitBlt(dc, 0, 0, client.right, client.bottom, surface, 0, 0, SRCCOPY);
        }
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CSkinStatusBar::Draw(HDC hdc)
{
    auto* o = dynamic_cast<CSkinStatusBarObject*>(m_pSkinObject);
    if (!o)
        o = m_pDefault.get();
    const RECT client = ClientOf(m_hWnd);
    commctl::FillBackground(GetSkinFile(), hdc, client, o->m_background, o->m_crBack);
    TextScope text(hdc, GetControlFont(), o->m_font.color);
    // Asked for the count first: a bar may have any number of parts.
    const int count = int(::SendMessageA(m_hWnd, SB_GETPARTS, 0, 0));
    if (count <= 0)
        return;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!::SendMessageA(m_hWnd, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
            continue;
        DrawSkinImagePart(GetSkinFile(), hdc, r, o->m_pane, o->m_crBack, 0, false);
        RECT tr{r.left + o->m_pane.marginLeft, r.top, r.right - o->m_pane.marginRight, r.bottom};
        const std::string text = commctl::OneLineShown(commctl::StatusPartText(m_hWnd, i), tr.right - tr.left);
        if (text.empty())
            continue;
        DrawTextA(hdc, text.c_str(), int(text.size()), &tr, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

// ---- control bar ------------------------------------------------------------------------------------

void CSkinControlBar::Draw(HDC hdc)
{
    auto* o = dynamic_cast<CSkinFontObject*>(m_pSkinObject);
    const RECT client = ClientOf(m_hWnd);
    if (!o) {
        FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
        return;
    }
    commctl::FillBackground(GetSkinFile(), hdc, client, o->m_background, o->m_crBack);
}

CSkinWindow* MakeHeaderSkinner(int, CSkinWindow* owner) { return new CSkinHeader(owner); }
CSkinWindow* MakeRebarSkinner(int, CSkinWindow* owner) { return new CSkinRebar(owner); }
CSkinWindow* MakeStatusBarSkinner(int, CSkinWindow* owner) { return new CSkinStatusBar(owner); }
CSkinWindow* MakeControlBarSkinner(int, CSkinWindow* owner) { return new CSkinControlBar(owner); }
