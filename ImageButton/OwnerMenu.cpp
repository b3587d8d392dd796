#include "OwnerMenu.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>

#include "platres.h"
#include "winreg.h"

IMPLEMENT_DYNAMIC(COwnerMenu, CMenu)

namespace {

// ---- wide text ----

size_t WideLen(const WCHAR* s) {
    size_t n = 0;
    if (s)
        while (s[n]) ++n;
    return n;
}

std::u16string Widen(LPCSTR s) {
    if (!s || !*s) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    if (n <= 0) return {};
    std::u16string out(size_t(n), u'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s, -1, reinterpret_cast<LPWSTR>(&out[0]), n);
    out.resize(size_t(n - 1));
    return out;
}

std::string Narrow(const WCHAR* s) {
    if (!s || !*s) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<LPCWSTR>(s), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<LPCWSTR>(s), -1, &out[0], n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

bool WideEqual(const WCHAR* a, const WCHAR* b) {
    size_t n = WideLen(a);
    if (n != WideLen(b)) return false;
    return std::equal(a, a + n, b);
}

// ---- state shared by every menu ----

struct Shared {
    std::recursive_mutex mu;
    CImageList* images = nullptr;  // created with the first image
    std::vector<UINT_PTR> ids;     // parallel to `images`: the command of each image
    std::vector<COwnerMenu*> menus;
    std::vector<HMENU> resource_submenus;
    std::vector<COwnerMenu*> owned;  // popups created by a menu, deleted with it
};

Shared& S() {
    static auto* s = new Shared;  // lives to the end of the process: menus may outlive main
    return *s;
}

UINT g_lookThemed = COwnerMenu::LOOK_XP;
UINT g_lookOther = COwnerMenu::LOOK_CLASSIC;
BOOL g_disabledSelectableXP = FALSE;
BOOL g_disabledSelectableClassic = TRUE;
BOOL g_raisedImages = TRUE;

const char kClassicTheme[] = "Windows Classic.theme";

const int kArrowWidth = 12;  // room kept at the right for a submenu arrow

void Fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = ::CreateSolidBrush(c);
    ::FillRect(dc, &r, b);
    ::DeleteObject(b);
}

void Frame(HDC dc, const RECT& r, COLORREF tl, COLORREF br) {
    CDC::FromHandle(dc)->Draw3dRect(&r, tl, br);
}

// The check glyph, drawn into a small bitmap of its own and copied in, so that it is the same
// in both looks whatever the item's colours.
void DrawCheckMark(HDC dc, const RECT& box, COLORREF fg, COLORREF bk) {
    const int w = 9, h = 7;
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    RECT all{0, 0, w, h};
    Fill(mem, all, bk);
    // Two strokes, three pixels thick: down from (0,2) to (2,4), up from (3,3) to (7,-1).
    for (int x = 0; x < 7; ++x) {
        int y = x < 3 ? 2 + x : 2 + 2 - (x - 2);
        RECT col{x, y, x + 1, y + 3};
        Fill(mem, col, fg);
    }
    int x0 = box.left + ((box.right - box.left) - w) / 2, y0 = box.top + ((box.bottom - box.top) - h) / 2;
    ::BitBlt(dc, x0, y0, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
}

void DrawSubmenuArrow(HDC dc, const RECT& r, COLORREF c) {
    int cx = r.right - kArrowWidth + 3, cy = (r.top + r.bottom) / 2;
    for (int k = 0; k < 4; ++k) {
        RECT col{cx + k, cy - 3 + k, cx + k + 1, cy + 4 - k};
        Fill(dc, col, c);
    }
}

HFONT CreateMenuFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return nullptr;
    return ::CreateFontIndirectA(&ncm.lfMenuFont);
}

// Draws an item off screen: a bitmap of the item's size whose origin is the item's corner,
// copied back when the item is done. A printer is drawn on directly.
class ItemCanvas {
public:
    ItemCanvas(HDC target, const RECT& r) : target_(target), r_(r) {
        if (CDC::FromHandle(target)->IsPrinting()) {
            dc_ = target;
            return;
        }
        mem_ = ::CreateCompatibleDC(target);
        bmp_ = ::CreateCompatibleBitmap(target, std::max(1, int(r.right - r.left)), std::max(1, int(r.bottom - r.top)));
        if (!mem_ || !bmp_) {
            if (bmp_) ::DeleteObject(bmp_);
            if (mem_) ::DeleteDC(mem_);
            mem_ = nullptr;
            bmp_ = nullptr;
            dc_ = target;
            return;
        }
        old_ = ::SelectObject(mem_, bmp_);
        ::SetWindowOrgEx(mem_, r.left, r.top, nullptr);
        ::SelectObject(mem_, ::GetCurrentObject(target, OBJ_FONT));
        dc_ = mem_;
    }
    ~ItemCanvas() {
        if (!mem_) return;
        ::BitBlt(target_, r_.left, r_.top, r_.right - r_.left, r_.bottom - r_.top, mem_, r_.left, r_.top, SRCCOPY);
        ::SelectObject(mem_, old_);
        ::DeleteObject(bmp_);
        ::DeleteDC(mem_);
    }
    HDC dc() const { return dc_; }

private:
    HDC target_;
    RECT r_;
    HDC dc_ = nullptr, mem_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Label and accelerator of an item text ("Open\tCtrl+O").
void SplitText(const std::string& text, std::string* label, std::string* accel) {
    size_t tab = text.find('\t');
    *label = text.substr(0, tab);
    *accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// Draws an image of the shared list, greyed for a disabled item.
void DrawImage(HDC dc, CImageList* pImages, int index, int x, int y, BOOL disabled) {
    if (!pImages || index < 0) return;
    if (disabled) {
        HICON icon = ::ImageList_GetIcon(pImages->GetSafeHandle(), index, ILD_NORMAL);
        if (!icon) return;
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(pImages->GetSafeHandle(), &cx, &cy);
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, cx, cy, DST_ICON | DSS_DISABLED);
        ::DestroyIcon(icon);
        return;
    }
    ::ImageList_Draw(pImages->GetSafeHandle(), index, dc, x, y, ILD_TRANSPARENT);
}

// The image's silhouette in one colour: the raised look of a selected image.
void DrawImageShadow(HDC dc, CImageList* pImages, int index, int x, int y, COLORREF colour) {
    int cx = 0, cy = 0;
    if (!pImages || index < 0 || !::ImageList_GetIconSize(pImages->GetSafeHandle(), &cx, &cy)) return;
    HDC mask = ::CreateCompatibleDC(dc), tint = ::CreateCompatibleDC(dc);
    HBITMAP mask_bmp = ::CreateCompatibleBitmap(dc, cx, cy), tint_bmp = ::CreateCompatibleBitmap(dc, cx, cy);
    HGDIOBJ old_mask = ::SelectObject(mask, mask_bmp), old_tint = ::SelectObject(tint, tint_bmp);
    // The mask is white where the image is transparent and black where it is drawn.
    ::ImageList_Draw(pImages->GetSafeHandle(), index, mask, 0, 0, ILD_MASK);
    RECT all{0, 0, cx, cy};
    Fill(tint, all, colour);
    ::BitBlt(tint, 0, 0, cx, cy, mask, 0, 0, 0x00220326);  // DSna: the colour only under the image
    ::BitBlt(dc, x, y, cx, cy, mask, 0, 0, SRCAND);
    ::BitBlt(dc, x, y, cx, cy, tint, 0, 0, SRCPAINT);
    ::SelectObject(mask, old_mask);
    ::SelectObject(tint, old_tint);
    ::DeleteObject(mask_bmp);
    ::DeleteObject(tint_bmp);
    ::DeleteDC(mask);
    ::DeleteDC(tint);
}

// A bitmap resource from the resource module or else the instance.
HBITMAP LoadBitmapResource(UINT id) {
    HBITMAP b = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    if (!b) b = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
    return b;
}

// Finds a resource in the resource module, then in the instance.
const BYTE* FindResourceData(LPCSTR name, LPCSTR type, DWORD* size) {
    for (HINSTANCE module : {AfxGetResourceHandle(), AfxGetInstanceHandle()}) {
        HRSRC r = ::FindResourceA(module, name, type);
        if (!r) continue;
        HGLOBAL g = ::LoadResource(module, r);
        if (!g) continue;
        *size = ::SizeofResource(module, r);
        return static_cast<const BYTE*>(::LockResource(g));
    }
    return nullptr;
}

}  // namespace

// ---- OwnerMenuData ----

OwnerMenuData::~OwnerMenuData() { delete[] pszText; }

void OwnerMenuData::SetTextWide(const WCHAR* text) {
    size_t n = WideLen(text);
    WCHAR* copy = new WCHAR[n + 1];
    if (n) std::memcpy(copy, text, n * sizeof(WCHAR));
    copy[n] = 0;
    delete[] pszText;
    pszText = copy;
}

void OwnerMenuData::SetTextUtf8(LPCSTR text) {
    std::u16string w = Widen(text);
    SetTextWide(w.c_str());
}

CString OwnerMenuData::TextUtf8() const { return CString(Narrow(pszText).c_str()); }

// ---- construction ----

COwnerMenu::COwnerMenu() {
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    s.menus.push_back(this);
}

COwnerMenu::~COwnerMenu() {
    DestroyMenu();
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    s.menus.erase(std::remove(s.menus.begin(), s.menus.end(), this), s.menus.end());
    s.owned.erase(std::remove(s.owned.begin(), s.owned.end(), this), s.owned.end());
}

COwnerMenu* COwnerMenu::FromOwnedHandle(HMENU hMenu) {
    if (!hMenu) return nullptr;
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    for (COwnerMenu* m : s.menus)
        if (m->m_hMenu == hMenu) return m;
    return nullptr;
}

COwnerMenu* COwnerMenu::ChildFor(HMENU h) const {
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    for (COwnerMenu* m : s.owned)
        if (m->m_hMenu == h) return m;
    return nullptr;
}

void COwnerMenu::FreeEntries() {
    for (OwnerMenuData* d : m_entries) delete d;
    m_entries.clear();
}

BOOL COwnerMenu::DestroyMenu() {
    Shared& s = S();
    std::vector<COwnerMenu*> children;
    {
        std::lock_guard<std::recursive_mutex> g(s.mu);
        for (HMENU h : m_submenus) {
            s.resource_submenus.erase(std::remove(s.resource_submenus.begin(), s.resource_submenus.end(), h),
                                      s.resource_submenus.end());
            if (COwnerMenu* c = ChildFor(h)) {
                s.owned.erase(std::remove(s.owned.begin(), s.owned.end(), c), s.owned.end());
                children.push_back(c);
            }
        }
    }
    // The children go first: their handles die with ours, and they must not outlive them.
    for (COwnerMenu* c : children) delete c;
    m_submenus.clear();
    FreeEntries();
    if (m_pCheckImages && !m_bCheckImagesShared) delete m_pCheckImages;
    m_pCheckImages = nullptr;
    m_bCheckImagesShared = FALSE;
    m_bFromResource = FALSE;
    return CMenu::DestroyMenu();
}

// ---- looks ----

int COwnerMenu::VersionClassFrom(DWORD version, const OSVERSIONINFOA& info) {
    DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
    if ((version & 0x80000000u) && LOBYTE(LOWORD(version)) < 4) return 0;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4) return 5;
        if (major == 5 && minor == 0) return 6;
        if (major == 5 && minor == 1) return 7;
        return 1;
    }
    if (major == 4 && minor == 10) return 3;
    if (major == 4 && minor == 90) return 4;
    return 2;
}

int COwnerMenu::GetVersionClass() {
    static const int version_class = [] {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!::GetVersionExA(&info)) return 1;
        return VersionClassFrom(::GetVersion(), info);
    }();
    return version_class;
}

BOOL COwnerMenu::IsClassicThemeFile(LPCSTR themeFile) {
    if (!themeFile) return FALSE;
    size_t n = std::strlen(themeFile), k = sizeof kClassicTheme - 1;
    return n >= k && strcasecmp(themeFile + n - k, kClassicTheme) == 0;
}

BOOL COwnerMenu::ThemedXPStyle() {
    static const BOOL classic = [] {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return FALSE;
        char value[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH, type = 0;
        LONG r = ::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
        ::RegCloseKey(key);
        return r == ERROR_SUCCESS && IsClassicThemeFile(value) ? TRUE : FALSE;
    }();
    return GetVersionClass() == 7 && !classic;
}

void COwnerMenu::SetMenuDrawMode(UINT mode) {
    g_lookThemed = mode;
    g_lookOther = mode;
}

UINT COwnerMenu::CurrentLook() { return ThemedXPStyle() ? g_lookThemed : g_lookOther; }

BOOL COwnerMenu::UsesXPLook() { return CurrentLook() == LOOK_XP; }

void COwnerMenu::SetDisabledSelectable(BOOL select) {
    if (UsesXPLook())
        g_disabledSelectableXP = select;
    else
        g_disabledSelectableClassic = select;
}

BOOL COwnerMenu::DisabledSelectable() { return UsesXPLook() ? g_disabledSelectableXP : g_disabledSelectableClassic; }

void COwnerMenu::SetRaisedImages(BOOL on) { g_raisedImages = on; }
BOOL COwnerMenu::RaisedImages() { return g_raisedImages; }

COLORREF COwnerMenu::BlendTowardWhite(COLORREF col, double factor) {
    if (factor <= 0.0 || factor >= 1.0) return col;
    auto f = [factor](int v) { return int(v + (255 - v) * factor + 0.5); };
    return RGB(f(GetRValue(col)), f(GetGValue(col)), f(GetBValue(col)));
}

COLORREF COwnerMenu::BlendTowardBlack(COLORREF col, double factor) {
    if (factor <= 0.0 || factor >= 1.0) return col;
    auto f = [factor](int v) { return int(v - v * factor + 0.5); };
    return RGB(f(GetRValue(col)), f(GetGValue(col)), f(GetBValue(col)));
}

// ---- settings ----

// Submenus measure and draw their own items, so they follow their parent's settings.
void COwnerMenu::SetBitmapBackground(COLORREF color) {
    m_crMask = color;
    m_bMaskSet = TRUE;
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h)) sub->SetBitmapBackground(color);
}

void COwnerMenu::ClearBitmapBackground() {
    m_bMaskSet = FALSE;
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h)) sub->ClearBitmapBackground();
}

COLORREF COwnerMenu::MaskColor() const { return m_bMaskSet ? m_crMask : ::GetSysColor(COLOR_BTNFACE); }

void COwnerMenu::SetIconSize(int width, int height) {
    if (width > 0) m_nIconWidth = width;
    if (height > 0) m_nIconHeight = height;
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h)) sub->SetIconSize(width, height);
}

// ---- measuring ----

void COwnerMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
    if (!lpMIS) return;
    auto* data = reinterpret_cast<OwnerMenuData*>(lpMIS->itemData);
    const BOOL xp = UsesXPLook();
    const int pad = (xp && g_raisedImages) ? 7 : 4;
    if (!data) return;
    if (data->nMenuFlags & MF_SEPARATOR) {
        lpMIS->itemWidth = 0;
        lpMIS->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU) / 2, (m_nIconHeight + pad) / 2));
        return;
    }
    HFONT font = CreateMenuFont();
    CWnd* main = AfxGetMainWnd();
    HWND wnd = main ? main->GetSafeHwnd() : nullptr;
    if (!wnd) wnd = ::GetDesktopWindow();
    HDC dc = ::GetDC(wnd);
    HGDIOBJ old = nullptr;
    const int version = GetVersionClass();
    if (font && version >= 2) old = ::SelectObject(dc, font);
    std::string text = Narrow(data->TextWide());
    SIZE size{0, 0};
    if (version == 0) {
        RECT r{0, 0, 0, 0};
        ::DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        size.cx = r.right - r.left + 3;
        size.cy = r.bottom - r.top;
        if (!text.empty()) size.cx += size.cx / int(text.size()) * 3;
    } else {
        ::GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    }
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);
    if (font) ::DeleteObject(font);
    lpMIS->itemWidth = UINT(xp ? m_nIconWidth + pad + size.cx + 8 : size.cx + 2 * m_nIconWidth + 1);
    lpMIS->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU), m_nIconHeight + pad));
}

// ---- drawing ----

void COwnerMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    if (!lpDIS || lpDIS->CtlType != ODT_MENU || !lpDIS->itemData) return;
    // A palette device gets the classic look whatever the mode.
    if (::GetDeviceCaps(lpDIS->hDC, RASTERCAPS) & RC_PALETTE) {
        PaintClassicItem(lpDIS);
        return;
    }
    if (UsesXPLook())
        PaintXPItem(lpDIS);
    else
        PaintClassicItem(lpDIS);
}

void COwnerMenu::PaintClassicItem(LPDRAWITEMSTRUCT lpDIS) {
    auto* data = reinterpret_cast<OwnerMenuData*>(lpDIS->itemData);
    RECT item = lpDIS->rcItem;
    ItemCanvas canvas(lpDIS->hDC, item);
    HDC dc = canvas.dc();
    const COLORREF menu_bk = ::GetSysColor(COLOR_MENU);
    Fill(dc, item, menu_bk);
    if (data->nMenuFlags & MF_SEPARATOR) {
        RECT line = item;
        line.top += (item.bottom - item.top) / 2;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const BOOL disabled = (lpDIS->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL checked = (lpDIS->itemState & ODS_CHECKED) != 0;
    const BOOL selected = (lpDIS->itemState & ODS_SELECTED) && (!disabled || g_disabledSelectableClassic);
    const int image = data->nSharedImage;
    CImageList* images = SharedImages();
    const int item_h = item.bottom - item.top;

    // The image cell: icon-wide, with a one-pixel frame around it.
    RECT cell{item.left, item.top, item.left + m_nIconWidth + 2, item.bottom};
    RECT text_area = item;
    text_area.left = cell.right + 1;
    if (selected) Fill(dc, text_area, ::GetSysColor(COLOR_HIGHLIGHT));

    RECT box{cell.left, item.top + (item_h - m_nIconHeight) / 2 - 1, cell.right, 0};
    box.bottom = box.top + m_nIconHeight + 2;
    if (image >= 0 && images) {
        if (checked) {
            Fill(dc, box, BlendTowardWhite(::GetSysColor(COLOR_BTNFACE), 0.6));
            Frame(dc, box, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_3DHILIGHT));
        } else if (selected && !disabled) {
            Frame(dc, box, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        }
        DrawImage(dc, images, image, box.left + 1, box.top + 1, disabled);
    } else if (checked) {
        RECT edge = box;
        ::DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
        DrawCheckMark(dc, box, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT), menu_bk);
    }

    std::string label, accel;
    SplitText(Narrow(data->TextWide()), &label, &accel);
    RECT tr = text_area;
    tr.left += 4;
    tr.right -= m_nIconWidth / 2 + ((data->nMenuFlags & MF_POPUP) ? kArrowWidth : 0);
    ::SetBkMode(dc, TRANSPARENT);
    const UINT fmt = DT_SINGLELINE | DT_VCENTER;
    if (disabled && !selected) {
        // Embossed: a light copy one pixel down-right under the shadow-coloured text.
        RECT shifted = tr;
        ::OffsetRect(&shifted, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, label.c_str(), -1, &shifted, fmt | DT_LEFT);
        if (!accel.empty()) ::DrawTextA(dc, accel.c_str(), -1, &shifted, fmt | DT_RIGHT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    ::DrawTextA(dc, label.c_str(), -1, &tr, fmt | DT_LEFT);
    if (!accel.empty()) ::DrawTextA(dc, accel.c_str(), -1, &tr, fmt | DT_RIGHT);
    if (data->nMenuFlags & MF_POPUP)
        DrawSubmenuArrow(dc, item, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
}

void COwnerMenu::PaintXPItem(LPDRAWITEMSTRUCT lpDIS) {
    auto* data = reinterpret_cast<OwnerMenuData*>(lpDIS->itemData);
    RECT item = lpDIS->rcItem;
    ItemCanvas canvas(lpDIS->hDC, item);
    HDC dc = canvas.dc();
    const int gap = g_raisedImages ? 7 : 4;
    const int strip_w = m_nIconWidth + gap;
    RECT strip{item.left, item.top, item.left + strip_w, item.bottom};
    RECT rest = item;
    rest.left = strip.right;
    Fill(dc, strip, ::GetSysColor(COLOR_BTNFACE));
    Fill(dc, rest, ::GetSysColor(COLOR_WINDOW));
    if (data->nMenuFlags & MF_SEPARATOR) {
        RECT line = rest;
        line.left += gap;
        line.top += (item.bottom - item.top) / 2;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const BOOL disabled = (lpDIS->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL checked = (lpDIS->itemState & ODS_CHECKED) != 0;
    const BOOL selected = (lpDIS->itemState & ODS_SELECTED) && (!disabled || g_disabledSelectableXP);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const int item_h = item.bottom - item.top;
    if (selected) {
        Fill(dc, item, BlendTowardWhite(highlight, ThemedXPStyle() ? 0.7 : 0.85));
        Frame(dc, item, highlight, highlight);
    }
    const int dx = std::max(0, int((strip_w - m_nIconWidth) / 2.0 + 0.5));
    const int dy = std::max(0, int((item_h - m_nIconHeight) / 2.0 + 0.5));
    RECT box{item.left + dx - 2, item.top + dy - 2, item.left + dx + m_nIconWidth + 2,
             item.top + dy + m_nIconHeight + 2};
    box.left = std::max(box.left, item.left + 1);
    box.top = std::max(box.top, item.top + 1);
    box.right = std::min(box.right, strip.right - 1);
    box.bottom = std::min(box.bottom, item.bottom - 1);
    const int image = data->nSharedImage;
    CImageList* images = SharedImages();
    if (checked) {
        Fill(dc, box, BlendTowardWhite(highlight, 0.85));
        Frame(dc, box, highlight, highlight);
    }
    if (image >= 0 && images && selected && !disabled && !checked && g_raisedImages) {
        // Raised: a shadow below and to the right, the image lifted up and to the left.
        const COLORREF fill = BlendTowardWhite(highlight, ThemedXPStyle() ? 0.7 : 0.85);
        DrawImageShadow(dc, images, image, item.left + dx + 1, item.top + dy + 1, BlendTowardBlack(fill, 0.3));
        DrawImage(dc, images, image, item.left + dx - 1, item.top + dy - 1, FALSE);
    } else if (image >= 0 && images) {
        DrawImage(dc, images, image, item.left + dx, item.top + dy, disabled);
    } else if (checked)
        DrawCheckMark(dc, box, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT),
                      BlendTowardWhite(highlight, 0.85));

    std::string label, accel;
    SplitText(Narrow(data->TextWide()), &label, &accel);
    RECT tr = rest;
    tr.left += 8;
    tr.right -= 8 + ((data->nMenuFlags & MF_POPUP) ? kArrowWidth : 0);
    COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
    if (disabled) {
        text = ::GetSysColor(COLOR_GRAYTEXT);
        if (!selected) text = BlendTowardWhite(text, 0.4);
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, text);
    ::DrawTextA(dc, label.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!accel.empty()) ::DrawTextA(dc, accel.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    if (data->nMenuFlags & MF_POPUP) DrawSubmenuArrow(dc, item, text);
}

// ---- images ----

CImageList* COwnerMenu::SharedImages() {
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    return s.images;
}

int COwnerMenu::SharedImageIndex(UINT_PTR nCommand) {
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    if (!nCommand) return -1;
    for (size_t i = 0; i < s.ids.size(); ++i)
        if (s.ids[i] == nCommand) return int(i);
    return -1;
}

namespace {
// Puts an icon into the shared list as the image of a command, replacing an older one.
int StoreSharedImage(UINT_PTR nCommand, HICON icon, int cx, int cy) {
    if (!icon || !nCommand) return -1;
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    if (!s.images) {
        auto* pImages = new CImageList;
        if (!pImages->Create(cx, cy, ILC_COLOR24 | ILC_MASK, 0, 8)) {
            delete pImages;
            return -1;
        }
        s.images = pImages;
    }
    int index = -1;
    for (size_t i = 0; i < s.ids.size(); ++i)
        if (s.ids[i] == nCommand) index = int(i);
    if (index >= 0) return s.images->Replace(index, icon);
    index = s.images->Add(icon);
    if (index < 0) return -1;
    if (size_t(index) >= s.ids.size()) s.ids.resize(size_t(index) + 1, 0);
    s.ids[size_t(index)] = nCommand;
    return index;
}

// The first square of a bitmap as a masked icon.
HICON IconFromBitmap(HBITMAP bmp, int cx, int cy, COLORREF mask) {
    BITMAP info{};
    if (!bmp || !::GetObjectA(bmp, sizeof info, &info)) return nullptr;
    HIMAGELIST tmp = ::ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 1, 1);
    if (!tmp) return nullptr;
    HICON icon = nullptr;
    if (::ImageList_AddMasked(tmp, bmp, mask) >= 0) icon = ::ImageList_GetIcon(tmp, 0, ILD_NORMAL);
    ::ImageList_Destroy(tmp);
    return icon;
}
}  // namespace

BOOL COwnerMenu::SetCommandImage(UINT_PTR nCommand, HICON hIcon) {
    OwnerMenuData* data = EntryFor(nCommand);
    int index = StoreSharedImage(nCommand, hIcon, m_nIconWidth, m_nIconHeight);
    if (index < 0) return FALSE;
    if (data) data->nSharedImage = index;
    return TRUE;
}

BOOL COwnerMenu::SetCommandImage(UINT_PTR nCommand, UINT nBitmapId, COLORREF crKey) {
    HBITMAP bmp = LoadBitmapResource(nBitmapId);
    if (!bmp) return FALSE;
    HICON icon = IconFromBitmap(bmp, m_nIconWidth, m_nIconHeight, crKey);
    ::DeleteObject(bmp);
    if (!icon) return FALSE;
    BOOL ok = SetCommandImage(nCommand, icon);
    ::DestroyIcon(icon);
    return ok;
}

BOOL COwnerMenu::AttachImage(OwnerMenuData* data, int nBitmapId, CImageList* pImages, int nImageOffset) {
    UINT_PTR id = (data->nMenuFlags & MF_POPUP) ? 0 : data->nCommand;
    if (pImages && nImageOffset >= 0) {
        HICON icon = pImages->ExtractIcon(nImageOffset);
        int cx = m_nIconWidth, cy = m_nIconHeight;
        ::ImageList_GetIconSize(pImages->GetSafeHandle(), &cx, &cy);
        int index = StoreSharedImage(id, icon, cx, cy);
        if (icon) ::DestroyIcon(icon);
        data->nImageOffset = nImageOffset;
        data->nSharedImage = index;
        return index >= 0;
    }
    if (nBitmapId >= 0) {
        HBITMAP bmp = LoadBitmapResource(UINT(nBitmapId));
        HICON icon = bmp ? IconFromBitmap(bmp, m_nIconWidth, m_nIconHeight, MaskColor()) : nullptr;
        if (bmp) ::DeleteObject(bmp);
        int index = StoreSharedImage(id, icon, m_nIconWidth, m_nIconHeight);
        if (icon) ::DestroyIcon(icon);
        data->nBitmapId = nBitmapId;
        data->nSharedImage = index;
        return index >= 0;
    }
    data->nSharedImage = SharedImageIndex(id);
    return TRUE;
}

BOOL COwnerMenu::LoadToolbar(UINT nToolbarId) {
    // The tool-bar resource: version, image width and height, button count, then the
    // command of each button (0 for a separator); its images are the bitmap of the same id.
    DWORD size = 0;
    const BYTE* res = FindResourceData(MAKEINTRESOURCEA(nToolbarId), RT_TOOLBAR, &size);
    if (!res || size < 8) return FALSE;
    auto word = [res](size_t i) { return WORD(res[2 * i] | (res[2 * i + 1] << 8)); };
    const int width = word(1), height = word(2), count = word(3);
    if (width <= 0 || height <= 0 || size < 8u + 2u * DWORD(count)) return FALSE;
    HBITMAP bmp = LoadBitmapResource(nToolbarId);
    if (!bmp) return FALSE;
    SetIconSize(std::max(m_nIconWidth, width), std::max(m_nIconHeight, height));
    CImageList strip;
    BOOL ok = strip.Create(width, height, ILC_COLOR24 | ILC_MASK, count, 1);
    if (ok) ok = ::ImageList_AddMasked(strip.GetSafeHandle(), bmp, MaskColor()) >= 0;
    ::DeleteObject(bmp);
    if (!ok) return FALSE;
    int image = 0;
    for (int i = 0; i < count; ++i) {
        UINT id = word(size_t(4 + i));
        if (!id) continue;
        if (image < strip.GetImageCount() && EntryFor(id)) ChangeEntryW(nullptr, id, &strip, image);
        ++image;
    }
    return TRUE;
}

// ---- items ----

BOOL COwnerMenu::PlaceEntry(int nPosition, const WCHAR* text, UINT nMenuFlags, UINT_PTR nCommand, int nBitmapId,
                            CImageList* pImages, int nImageOffset) {
    if (!m_hMenu && !CreatePopupMenu()) return FALSE;
    if (!(nMenuFlags & MF_POPUP) && nCommand == 0) {
        // A command of 0 is a separator, drawn by the menu like every other item.
        nMenuFlags = (nMenuFlags & MF_BYPOSITION) ? (MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION)
                                                  : (MF_SEPARATOR | MF_OWNERDRAW);
    } else {
        nMenuFlags |= MF_OWNERDRAW;
    }
    if ((nMenuFlags & MF_POPUP) && !::IsMenu(reinterpret_cast<HMENU>(nCommand))) return FALSE;
    auto* data = new OwnerMenuData;
    data->SetTextWide(text);
    data->nMenuFlags = nMenuFlags & ~UINT(MF_BYPOSITION);
    data->nCommand = nCommand;
    AttachImage(data, nBitmapId, pImages, nImageOffset);
    const int count = int(m_entries.size());
    const bool append = nPosition < 0 || nPosition >= count;
    BOOL ok = append
                  ? ::AppendMenuA(m_hMenu, nMenuFlags & ~UINT(MF_BYPOSITION), nCommand, reinterpret_cast<LPCSTR>(data))
                  : ::InsertMenuA(m_hMenu, UINT(nPosition), nMenuFlags | MF_BYPOSITION, nCommand,
                                  reinterpret_cast<LPCSTR>(data));
    if (!ok) {
        delete data;
        return FALSE;
    }
    if (append)
        m_entries.push_back(data);
    else
        m_entries.insert(m_entries.begin() + nPosition, data);
    if (nMenuFlags & MF_POPUP) m_submenus.push_back(reinterpret_cast<HMENU>(nCommand));
    return TRUE;
}

BOOL COwnerMenu::AppendEntryW(const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, int nBitmapId) {
    return PlaceEntry(-1, lpszLabel, nMenuFlags, nCommand, nBitmapId, nullptr, -1);
}
BOOL COwnerMenu::AppendEntryA(LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, int nBitmapId) {
    return AppendEntryW(Widen(lpszLabel).c_str(), nMenuFlags, nCommand, nBitmapId);
}
BOOL COwnerMenu::AppendEntryW(const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                              int nImageOffset) {
    return PlaceEntry(-1, lpszLabel, nMenuFlags, nCommand, -1, pImages, nImageOffset);
}
BOOL COwnerMenu::AppendEntryA(LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                              int nImageOffset) {
    return AppendEntryW(Widen(lpszLabel).c_str(), nMenuFlags, nCommand, pImages, nImageOffset);
}

BOOL COwnerMenu::InsertEntryW(UINT nPosition, const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand,
                              int nBitmapId) {
    if (!(nMenuFlags & MF_BYPOSITION)) {
        int loc = -1;
        COwnerMenu* holder = FindEntry(nPosition, loc);
        if (!holder) return PlaceEntry(-1, lpszLabel, nMenuFlags, nCommand, nBitmapId, nullptr, -1);
        return holder->PlaceEntry(loc, lpszLabel, nMenuFlags | MF_BYPOSITION, nCommand, nBitmapId, nullptr, -1);
    }
    return PlaceEntry(int(nPosition), lpszLabel, nMenuFlags, nCommand, nBitmapId, nullptr, -1);
}
BOOL COwnerMenu::InsertEntryA(UINT nPosition, LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, int nBitmapId) {
    return InsertEntryW(nPosition, Widen(lpszLabel).c_str(), nMenuFlags, nCommand, nBitmapId);
}
BOOL COwnerMenu::InsertEntryW(UINT nPosition, const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand,
                              CImageList* pImages, int nImageOffset) {
    if (!(nMenuFlags & MF_BYPOSITION)) {
        int loc = -1;
        COwnerMenu* holder = FindEntry(nPosition, loc);
        if (!holder) return PlaceEntry(-1, lpszLabel, nMenuFlags, nCommand, -1, pImages, nImageOffset);
        return holder->PlaceEntry(loc, lpszLabel, nMenuFlags | MF_BYPOSITION, nCommand, -1, pImages, nImageOffset);
    }
    return PlaceEntry(int(nPosition), lpszLabel, nMenuFlags, nCommand, -1, pImages, nImageOffset);
}
BOOL COwnerMenu::InsertEntryA(UINT nPosition, LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                              int nImageOffset) {
    return InsertEntryW(nPosition, Widen(lpszLabel).c_str(), nMenuFlags, nCommand, pImages, nImageOffset);
}

// Hands the record to the window system again with the item's current flags.
BOOL COwnerMenu::RefreshEntry(int nPosition, OwnerMenuData* data) {
    UINT state = ::GetMenuState(m_hMenu, UINT(nPosition), MF_BYPOSITION);
    if (state == UINT(-1)) return FALSE;
    UINT keep = state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBREAK | MF_MENUBARBREAK);
    UINT flags = MF_BYPOSITION | MF_OWNERDRAW | keep | (data->nMenuFlags & (MF_POPUP | MF_SEPARATOR));
    return ::ModifyMenuA(m_hMenu, UINT(nPosition), flags, data->nCommand, reinterpret_cast<LPCSTR>(data));
}

BOOL COwnerMenu::ChangeEntryW(const WCHAR* lpszLabel, UINT_PTR nCommand, int nBitmapId) {
    int loc = -1;
    COwnerMenu* holder = FindEntry(nCommand, loc);
    if (!holder) return FALSE;
    OwnerMenuData* data = holder->m_entries[size_t(loc)];
    if (lpszLabel) data->SetTextWide(lpszLabel);
    if (nBitmapId >= 0) holder->AttachImage(data, nBitmapId, nullptr, -1);
    return holder->RefreshEntry(loc, data);
}
BOOL COwnerMenu::ChangeEntryA(LPCSTR lpszLabel, UINT_PTR nCommand, int nBitmapId) {
    if (!lpszLabel) return ChangeEntryW(nullptr, nCommand, nBitmapId);
    return ChangeEntryW(Widen(lpszLabel).c_str(), nCommand, nBitmapId);
}
BOOL COwnerMenu::ChangeEntryW(const WCHAR* lpszLabel, UINT_PTR nCommand, CImageList* pImages, int nImageOffset) {
    int loc = -1;
    COwnerMenu* holder = FindEntry(nCommand, loc);
    if (!holder) return FALSE;
    OwnerMenuData* data = holder->m_entries[size_t(loc)];
    if (lpszLabel) data->SetTextWide(lpszLabel);
    if (pImages) holder->AttachImage(data, -1, pImages, nImageOffset);
    return holder->RefreshEntry(loc, data);
}
BOOL COwnerMenu::ChangeEntryA(LPCSTR lpszLabel, UINT_PTR nCommand, CImageList* pImages, int nImageOffset) {
    if (!lpszLabel) return ChangeEntryW(nullptr, nCommand, pImages, nImageOffset);
    return ChangeEntryW(Widen(lpszLabel).c_str(), nCommand, pImages, nImageOffset);
}
BOOL COwnerMenu::ChangeEntryW(const WCHAR* lpszLabel, const WCHAR* lpszNewLabel, int nBitmapId) {
    int loc = -1;
    COwnerMenu* holder = FindEntryByTextW(lpszLabel, loc);
    if (!holder) return FALSE;
    OwnerMenuData* data = holder->m_entries[size_t(loc)];
    if (lpszNewLabel) data->SetTextWide(lpszNewLabel);
    if (nBitmapId >= 0) holder->AttachImage(data, nBitmapId, nullptr, -1);
    return holder->RefreshEntry(loc, data);
}
BOOL COwnerMenu::ChangeEntryA(LPCSTR lpszLabel, LPCSTR lpszNewLabel, int nBitmapId) {
    std::u16string a = Widen(lpszLabel), b = Widen(lpszNewLabel);
    return ChangeEntryW(a.c_str(), lpszNewLabel ? b.c_str() : nullptr, nBitmapId);
}

BOOL COwnerMenu::SetEntryState(UINT_PTR nCommand, UINT nMenuFlags) {
    int loc = -1;
    COwnerMenu* holder = FindEntry(nCommand, loc);
    if (!holder) return FALSE;
    OwnerMenuData* data = holder->m_entries[size_t(loc)];
    UINT state = nMenuFlags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBREAK | MF_MENUBARBREAK);
    UINT flags = MF_BYPOSITION | MF_OWNERDRAW | state | (data->nMenuFlags & (MF_POPUP | MF_SEPARATOR));
    return ::ModifyMenuA(holder->m_hMenu, UINT(loc), flags, data->nCommand, reinterpret_cast<LPCSTR>(data));
}

COwnerMenu* COwnerMenu::AppendSubmenuW(const WCHAR* lpszLabel) {
    auto* popup = new COwnerMenu;
    popup->m_nIconWidth = m_nIconWidth;
    popup->m_nIconHeight = m_nIconHeight;
    popup->m_crMask = m_crMask;
    popup->m_bMaskSet = m_bMaskSet;
    if (!popup->CreatePopupMenu() ||
        !PlaceEntry(-1, lpszLabel, MF_POPUP, reinterpret_cast<UINT_PTR>(popup->m_hMenu), -1, nullptr, -1)) {
        delete popup;
        return nullptr;
    }
    Shared& s = S();
    std::lock_guard<std::recursive_mutex> g(s.mu);
    s.owned.push_back(popup);
    return popup;
}
COwnerMenu* COwnerMenu::AppendSubmenuA(LPCSTR lpszLabel) { return AppendSubmenuW(Widen(lpszLabel).c_str()); }

// ---- find, remove, delete ----

COwnerMenu* COwnerMenu::FindEntry(UINT_PTR nCommand, int& nIndex) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const OwnerMenuData* d = m_entries[i];
        if (!(d->nMenuFlags & (MF_POPUP | MF_SEPARATOR)) && d->nCommand == nCommand) {
            nIndex = int(i);
            return this;
        }
    }
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h))
            if (COwnerMenu* found = sub->FindEntry(nCommand, nIndex)) return found;
    nIndex = -1;
    return nullptr;
}

COwnerMenu* COwnerMenu::FindEntryByTextW(const WCHAR* lpszLabel, int& nIndex) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const OwnerMenuData* d = m_entries[i];
        if (!(d->nMenuFlags & MF_SEPARATOR) && WideEqual(d->TextWide(), lpszLabel)) {
            nIndex = int(i);
            return this;
        }
    }
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h))
            if (COwnerMenu* found = sub->FindEntryByTextW(lpszLabel, nIndex)) return found;
    nIndex = -1;
    return nullptr;
}

COwnerMenu* COwnerMenu::FindEntryByTextA(LPCSTR lpszLabel, int& nIndex) {
    return FindEntryByTextW(Widen(lpszLabel).c_str(), nIndex);
}

OwnerMenuData* COwnerMenu::EntryFor(UINT_PTR nCommand) {
    int loc = -1;
    COwnerMenu* holder = FindEntry(nCommand, loc);
    return holder ? holder->m_entries[size_t(loc)] : nullptr;
}

OwnerMenuData* COwnerMenu::EntryAt(int nPosition) const {
    if (nPosition < 0 || size_t(nPosition) >= m_entries.size()) return nullptr;
    return m_entries[size_t(nPosition)];
}

BOOL COwnerMenu::TakeOutEntry(UINT nPosition, UINT nMenuFlags, BOOL destroy) {
    COwnerMenu* holder = this;
    int loc = int(nPosition);
    if (!(nMenuFlags & MF_BYPOSITION)) {
        holder = FindEntry(nPosition, loc);
        if (!holder) return FALSE;
    }
    if (loc < 0 || size_t(loc) >= holder->m_entries.size()) return FALSE;
    OwnerMenuData* data = holder->m_entries[size_t(loc)];
    HMENU sub = (data->nMenuFlags & MF_POPUP) ? reinterpret_cast<HMENU>(data->nCommand) : nullptr;
    BOOL ok = destroy ? ::DeleteMenu(holder->m_hMenu, UINT(loc), MF_BYPOSITION)
                      : ::RemoveMenu(holder->m_hMenu, UINT(loc), MF_BYPOSITION);
    if (!ok) return FALSE;
    holder->m_entries.erase(holder->m_entries.begin() + loc);
    delete data;
    if (sub) {
        auto& subs = holder->m_submenus;
        subs.erase(std::remove(subs.begin(), subs.end(), sub), subs.end());
        if (destroy) {
            // The window system destroyed the handle; a popup object we made goes with it.
            Shared& s = S();
            COwnerMenu* child = nullptr;
            {
                std::lock_guard<std::recursive_mutex> g(s.mu);
                child = holder->ChildFor(sub);
                if (child) s.owned.erase(std::remove(s.owned.begin(), s.owned.end(), child), s.owned.end());
            }
            if (child) {
                child->Detach();
                delete child;
            }
        }
    }
    return TRUE;
}

BOOL COwnerMenu::RemoveMenu(UINT nPosition, UINT nMenuFlags) { return TakeOutEntry(nPosition, nMenuFlags, FALSE); }
BOOL COwnerMenu::DeleteMenu(UINT nPosition, UINT nMenuFlags) { return TakeOutEntry(nPosition, nMenuFlags, TRUE); }

void COwnerMenu::RebuildEntries() {
    if (!m_hMenu) return;
    std::vector<OwnerMenuData*> old;
    old.swap(m_entries);
    std::vector<HMENU> subs;
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
        ::GetMenuItemInfoA(m_hMenu, UINT(i), TRUE, &mii);
        HMENU sub = mii.hSubMenu;
        UINT_PTR id = sub ? reinterpret_cast<UINT_PTR>(sub) : mii.wID;
        // An item that already carries one of our records keeps it; others get a new one.
        OwnerMenuData* data = nullptr;
        if (mii.fType & MFT_OWNERDRAW) {
            auto it = std::find(old.begin(), old.end(), reinterpret_cast<OwnerMenuData*>(mii.dwItemData));
            if (it != old.end()) {
                data = *it;
                old.erase(it);
            }
        }
        if (!data) {
            data = new OwnerMenuData;
            if (mii.fType & MFT_SEPARATOR) {
                data->SetTextWide(nullptr);
            } else {
                CString text;
                CMenu::GetMenuString(UINT(i), text, MF_BYPOSITION);
                data->SetTextUtf8(text);
            }
            data->nMenuFlags = (mii.fType & MFT_SEPARATOR) ? UINT(MF_SEPARATOR) : 0u;
            data->nCommand = (mii.fType & MFT_SEPARATOR) ? 0 : id;
            if (sub) data->nMenuFlags |= MF_POPUP;
            data->nSharedImage = sub ? -1 : SharedImageIndex(id);
        }
        data->nMenuFlags = (data->nMenuFlags & (MF_POPUP | MF_SEPARATOR)) | MF_OWNERDRAW;
        data->bSynced = TRUE;
        m_entries.push_back(data);
        if (sub) subs.push_back(sub);
        RefreshEntry(i, data);
    }
    for (OwnerMenuData* d : old) delete d;
    m_submenus = subs;
    for (HMENU h : m_submenus)
        if (COwnerMenu* sub = FromOwnedHandle(h)) sub->RebuildEntries();
}

// ---- loading ----

BOOL COwnerMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource)); }

BOOL COwnerMenu::LoadMenu(LPCSTR lpszResourceName) {
    DWORD size = 0;
    const BYTE* res = FindResourceData(lpszResourceName, RT_MENU, &size);
    if (!res) return FALSE;
    COwnerMenu fresh;
    fresh.m_nIconWidth = m_nIconWidth;
    fresh.m_nIconHeight = m_nIconHeight;
    fresh.m_crMask = m_crMask;
    fresh.m_bMaskSet = m_bMaskSet;
    if (!fresh.ReadTemplate(res, size)) return FALSE;
    // The template read cleanly: the new items replace the old menu.
    DestroyMenu();
    HMENU h = fresh.Detach();
    std::swap(m_entries, fresh.m_entries);
    std::swap(m_submenus, fresh.m_submenus);
    Attach(h);
    m_bFromResource = TRUE;
    return TRUE;
}

BOOL COwnerMenu::ReadTemplate(const BYTE* data, DWORD size) {
    if (size < 4) return FALSE;
    auto word = [data](DWORD at) { return WORD(data[at] | (data[at + 1] << 8)); };
    DWORD pos = 4u + word(2);  // header: version, offset to the items
    if (!CreatePopupMenu()) return FALSE;
    struct Level {
        COwnerMenu* menu;
        bool closes_parent;  // the popup item that opened it was its level's last
    };
    std::vector<Level> stack{{this, false}};
    Shared& s = S();
    while (!stack.empty()) {
        if (pos + 2 > size) return FALSE;
        WORD flags = word(pos);
        pos += 2;
        WORD id = 0;
        if (!(flags & MF_POPUP)) {
            if (pos + 2 > size) return FALSE;
            id = word(pos);
            pos += 2;
        }
        std::u16string text;
        for (;;) {
            if (pos + 2 > size) return FALSE;
            WCHAR c = WCHAR(word(pos));
            pos += 2;
            if (!c) break;
            text.push_back(c);
        }
        COwnerMenu* target = stack.back().menu;
        const UINT state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBREAK | MF_MENUBARBREAK);
        if (flags & MF_POPUP) {
            auto* popup = new COwnerMenu;
            popup->m_nIconWidth = m_nIconWidth;
            popup->m_nIconHeight = m_nIconHeight;
            popup->m_crMask = m_crMask;
            popup->m_bMaskSet = m_bMaskSet;
            if (!popup->CreatePopupMenu()) {
                delete popup;
                return FALSE;
            }
            {
                std::lock_guard<std::recursive_mutex> g(s.mu);
                s.owned.push_back(popup);
                s.resource_submenus.push_back(popup->m_hMenu);
            }
            if (!target->PlaceEntry(-1, text.c_str(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(popup->m_hMenu), -1,
                                    nullptr, -1)) {
                std::lock_guard<std::recursive_mutex> g(s.mu);
                s.owned.erase(std::remove(s.owned.begin(), s.owned.end(), popup), s.owned.end());
                delete popup;
                return FALSE;
            }
            stack.push_back({popup, (flags & MF_END) != 0});
            continue;
        }
        if (!target->PlaceEntry(-1, text.c_str(), state, id, -1, nullptr, -1)) return FALSE;
        if (flags & MF_END) {
            // Close this level and every enclosing level whose popup item was its last.
            bool close_parent;
            do {
                close_parent = stack.back().closes_parent;
                stack.pop_back();
            } while (close_parent && !stack.empty());
        }
    }
    m_bFromResource = TRUE;
    return TRUE;
}

// ---- keyboard ----

LRESULT COwnerMenu::AnswerMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    (void)nFlags;
    COwnerMenu* menu = pMenu ? FromOwnedHandle(pMenu->m_hMenu) : nullptr;
    if (!menu) return 0;
    const int want = std::tolower(int(nChar & 0xFF));
    for (size_t i = 0; i < menu->m_entries.size(); ++i) {
        const WCHAR* t = menu->m_entries[i]->TextWide();
        for (size_t k = 0; t && t[k] && t[k] != u'\t'; ++k) {
            if (t[k] != u'&') continue;
            WCHAR next = t[k + 1];
            if (next == u'&') {
                ++k;  // "&&" is a literal ampersand
                continue;
            }
            if (next && next < 0x80 && std::tolower(int(next)) == want) return MAKELRESULT(WORD(i), MNC_EXECUTE);
            break;
        }
    }
    return 0;
}
