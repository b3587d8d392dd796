// GDI object wrappers and device contexts.
#include "afx_api.h"
#include "afx_state.h"

// ---- GDI objects ---------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const {
    const CGdiObject* self = this;
    return self ? m_hObject : nullptr;
}

BOOL CGdiObject::Attach(HGDIOBJ h) {
    if (!h || m_hObject) return FALSE;
    m_hObject = h;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int size, LPVOID out) const { return ::GetObjectA(m_hObject, size, out); }
UINT CGdiObject::GetObjectType() const { return UINT(::GetObjectType(m_hObject)); }
BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
    if (!h) return nullptr;
    auto& temp = afx::State().temp_gdi;
    auto it = temp.find(h);
    if (it != temp.end()) return it->second;
    // The temporary object has the class of its handle, so the typed FromHandle casts are safe.
    CGdiObject* o;
    switch (::GetObjectType(h)) {
        case OBJ_PEN:
        case OBJ_EXTPEN: o = new CPen; break;
        case OBJ_BRUSH: o = new CBrush; break;
        case OBJ_FONT: o = new CFont; break;
        case OBJ_BITMAP: o = new CBitmap; break;
        case OBJ_REGION: o = new CRgn; break;
        case OBJ_PAL: o = new CPalette; break;
        default: o = new CGdiObject; break;
    }
    o->m_hObject = h;
    temp[h] = o;
    return o;
}

BOOL CPen::CreatePen(int style, int width, COLORREF c) { return Attach(::CreatePen(style, width, c)); }
BOOL CPen::CreatePenIndirect(LPLOGPEN pen) { return Attach(::CreatePenIndirect(pen)); }

CBrush::CBrush(CBitmap* bitmap) { CreatePatternBrush(bitmap); }
BOOL CBrush::CreateSolidBrush(COLORREF c) { return Attach(::CreateSolidBrush(c)); }
BOOL CBrush::CreateHatchBrush(int index, COLORREF c) { return Attach(::CreateHatchBrush(index, c)); }
BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return bitmap ? Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject))) : FALSE;
}
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lb) { return Attach(::CreateBrushIndirect(lb)); }
BOOL CBrush::CreateSysColorBrush(int index) { return Attach(::GetSysColorBrush(index)); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
BOOL CFont::CreateFont(int height, int width, int esc, int orient, int weight, BYTE italic, BYTE underline,
                       BYTE strike, BYTE charset, BYTE outp, BYTE clipp, BYTE quality, BYTE pitch, LPCSTR face) {
    return Attach(::CreateFontA(height, width, esc, orient, weight, italic, underline, strike, charset, outp, clipp,
                                quality, pitch, face));
}
BOOL CFont::CreatePointFont(int tenths, LPCSTR face, CDC* dc) {
    LOGFONTA lf{};
    HDC hdc = dc ? dc->m_hDC : ::GetDC(nullptr);
    int dpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    if (!dc && hdc) ::ReleaseDC(nullptr, hdc);
    if (dpi <= 0) dpi = 96;
    lf.lfHeight = -((tenths * dpi + 360) / 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (face) std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }
BOOL CBitmap::LoadBitmap(LPCSTR name) { return Attach(::LoadBitmapA(AfxGetResourceHandle(), name)); }
BOOL CBitmap::CreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) {
    return Attach(::CreateBitmap(w, h, planes, bits, data));
}
BOOL CBitmap::CreateBitmapIndirect(LPBITMAP bm) { return Attach(::CreateBitmapIndirect(bm)); }
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int w, int h) {
    return dc ? Attach(::CreateCompatibleBitmap(dc->m_hDC, w, h)) : FALSE;
}
DWORD CBitmap::GetBitmapBits(DWORD count, LPVOID bits) const {
    return DWORD(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), LONG(count), bits));
}
DWORD CBitmap::SetBitmapBits(DWORD count, const void* bits) {
    return DWORD(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits));
}
CSize CBitmap::GetBitmapDimension() const {
    SIZE s{};
    ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &s);
    return s;
}

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
BOOL CRgn::CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT r) { return Attach(::CreateEllipticRgnIndirect(r)); }
BOOL CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
}
BOOL CRgn::CreatePolygonRgn(const POINT* pts, int count, int mode) {
    return Attach(::CreatePolygonRgn(pts, count, mode));
}
void CRgn::SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn(static_cast<HRGN>(m_hObject), l, t, r, b); }
int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), a ? static_cast<HRGN>(a->m_hObject) : nullptr,
                        b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
}
int CRgn::CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
BOOL CRgn::EqualRgn(const CRgn* o) const {
    return o && ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(o->m_hObject));
}
int CRgn::OffsetRgn(int dx, int dy) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), dx, dy); }
int CRgn::GetRgnBox(LPRECT r) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), r); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
BOOL CRgn::RectInRegion(LPCRECT r) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), r); }

BOOL CPalette::CreatePalette(LPLOGPALETTE pal) { return Attach(::CreatePalette(pal)); }
UINT CPalette::GetPaletteEntries(UINT start, UINT count, LPPALETTEENTRY e) const {
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, e);
}

// ---- geometry helpers that need the platform -----------------------------------------------
BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b) {
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (r.right <= r.left || r.bottom <= r.top) {
        SetRectEmpty();
        return FALSE;
    }
    CopyRect(&r);
    return TRUE;
}
BOOL CRect::UnionRect(LPCRECT a, LPCRECT b) {
    bool ea = a->right <= a->left || a->bottom <= a->top, eb = b->right <= b->left || b->bottom <= b->top;
    if (ea && eb) {
        SetRectEmpty();
        return FALSE;
    }
    if (ea) {
        RECT r = *b;
        CopyRect(&r);
        return TRUE;
    }
    if (eb) {
        RECT r = *a;
        CopyRect(&r);
        return TRUE;
    }
    RECT r{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
           std::max(a->bottom, b->bottom)};
    CopyRect(&r);
    return TRUE;
}
BOOL CRect::SubtractRect(LPCRECT a, LPCRECT b) {
    // The result is `a` less `b` only where `b` covers a whole side of `a`.
    RECT r = *a;
    CRect in;
    if (in.IntersectRect(a, b)) {
        if (in.left == a->left && in.right == a->right) {
            if (in.top == a->top) r.top = in.bottom;
            else if (in.bottom == a->bottom) r.bottom = in.top;
        } else if (in.top == a->top && in.bottom == a->bottom) {
            if (in.left == a->left) r.left = in.right;
            else if (in.right == a->right) r.right = in.left;
        }
    }
    CopyRect(&r);
    return !IsRectEmpty();
}

// ---- CDC -----------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC::~CDC() {
    if (m_hDC) DeleteDC();
}

HDC CDC::GetSafeHdc() const {
    const CDC* self = this;
    return self ? m_hDC : nullptr;
}

CDC* CDC::FromHandle(HDC h) {
    if (!h) return nullptr;
    auto& temp = afx::State().temp_dcs;
    auto it = temp.find(h);
    if (it != temp.end()) return it->second;
    CDC* dc = new CDC;
    dc->m_hDC = dc->m_hAttribDC = h;
    temp[h] = dc;
    return dc;
}
void CDC::DeleteTempMap() { AfxOnIdleCleanup(); }

BOOL CDC::Attach(HDC h) {
    if (!h || m_hDC) return FALSE;
    m_hDC = m_hAttribDC = h;
    return TRUE;
}
HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    return h;
}
BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}
BOOL CDC::CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init) {
    return Attach(::CreateDCA(driver, device, output, init));
}
CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }
int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
CGdiObject* CDC::SelectStockObject(int index) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index))); }
CPen* CDC::SelectObject(CPen* p) { return static_cast<CPen*>(CGdiObject::FromHandle(::SelectObject(m_hDC, p ? p->m_hObject : nullptr))); }
CBrush* CDC::SelectObject(CBrush* b) { return static_cast<CBrush*>(CGdiObject::FromHandle(::SelectObject(m_hDC, b ? b->m_hObject : nullptr))); }
CFont* CDC::SelectObject(CFont* f) { return static_cast<CFont*>(CGdiObject::FromHandle(::SelectObject(m_hDC, f ? f->m_hObject : nullptr))); }
CBitmap* CDC::SelectObject(CBitmap* b) { return static_cast<CBitmap*>(CGdiObject::FromHandle(::SelectObject(m_hDC, b ? b->m_hObject : nullptr))); }
int CDC::SelectObject(CRgn* r) { return ::SelectClipRgn(m_hDC, r ? static_cast<HRGN>(r->m_hObject) : nullptr); }
CGdiObject* CDC::SelectObject(CGdiObject* o) { return CGdiObject::FromHandle(::SelectObject(m_hDC, o ? o->m_hObject : nullptr)); }
HGDIOBJ CDC::SelectObject(HGDIOBJ o) { return ::SelectObject(m_hDC, o); }
CPalette* CDC::SelectPalette(CPalette* p, BOOL bg) {
    return CPalette::FromHandle(::SelectPalette(m_hDC, p ? static_cast<HPALETTE>(p->m_hObject) : nullptr, bg));
}
UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }
CPen* CDC::GetCurrentPen() const { return static_cast<CPen*>(CGdiObject::FromHandle(::GetCurrentObject(m_hDC, OBJ_PEN))); }
CBrush* CDC::GetCurrentBrush() const { return static_cast<CBrush*>(CGdiObject::FromHandle(::GetCurrentObject(m_hDC, OBJ_BRUSH))); }
CFont* CDC::GetCurrentFont() const { return static_cast<CFont*>(CGdiObject::FromHandle(::GetCurrentObject(m_hDC, OBJ_FONT))); }
CBitmap* CDC::GetCurrentBitmap() const { return static_cast<CBitmap*>(CGdiObject::FromHandle(::GetCurrentObject(m_hDC, OBJ_BITMAP))); }

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }
int CDC::SetBkMode(int m) { return ::SetBkMode(m_hDC, m); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
int CDC::SetROP2(int m) { return ::SetROP2(m_hDC, m); }
int CDC::GetROP2() const { return ::GetROP2(m_hDC); }
int CDC::SetStretchBltMode(int m) { return ::SetStretchBltMode(m_hDC, m); }
int CDC::SetPolyFillMode(int m) { return ::SetPolyFillMode(m_hDC, m); }
int CDC::SetMapMode(int m) { return ::SetMapMode(m_hDC, m); }
int CDC::GetMapMode() const { return ::GetMapMode(m_hDC); }
UINT CDC::SetTextAlign(UINT f) { return ::SetTextAlign(m_hDC, f); }
CPoint CDC::SetBrushOrg(int x, int y) {
    POINT old{};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetWindowOrg() const {
    POINT p{};
    ::GetWindowOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT p{};
    ::SetWindowOrgEx(m_hDC, x, y, &p);
    return p;
}
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
    POINT p{};
    ::OffsetWindowOrgEx(m_hDC, dx, dy, &p);
    return p;
}
CPoint CDC::GetViewportOrg() const {
    POINT p{};
    ::GetViewportOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT p{};
    ::SetViewportOrgEx(m_hDC, x, y, &p);
    return p;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    POINT p{};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &p);
    return p;
}
void CDC::LPtoDP(LPPOINT pts, int n) const { ::LPtoDP(m_hDC, pts, n); }
void CDC::DPtoLP(LPPOINT pts, int n) const { ::DPtoLP(m_hDC, pts, n); }

int CDC::GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }
int CDC::SelectClipRgn(CRgn* r) { return ::SelectClipRgn(m_hDC, r ? static_cast<HRGN>(r->m_hObject) : nullptr); }
int CDC::SelectClipRgn(CRgn* r, int mode) {
    return ::ExtSelectClipRgn(m_hDC, r ? static_cast<HRGN>(r->m_hObject) : nullptr, mode);
}
int CDC::ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
int CDC::IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
int CDC::OffsetClipRgn(int dx, int dy) { return ::OffsetClipRgn(m_hDC, dx, dy); }
BOOL CDC::PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
BOOL CDC::RectVisible(LPCRECT r) const { return ::RectVisible(m_hDC, r); }

CPoint CDC::GetCurrentPosition() const {
    POINT p{};
    ::GetCurrentPositionEx(m_hDC, &p);
    return p;
}
CPoint CDC::MoveTo(int x, int y) {
    POINT p{};
    ::MoveToEx(m_hDC, x, y, &p);
    return p;
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Polyline(const POINT* pts, int n) { return ::Polyline(m_hDC, pts, n); }
BOOL CDC::Polygon(const POINT* pts, int n) { return ::Polygon(m_hDC, pts, n); }
BOOL CDC::Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
BOOL CDC::RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
BOOL CDC::Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
COLORREF CDC::SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
BOOL CDC::SetPixelV(int x, int y, COLORREF c) { return ::SetPixelV(m_hDC, x, y, c); }
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::GetNearestColor(COLORREF c) const { return ::GetNearestColor(m_hDC, c); }

void CDC::FillRect(LPCRECT r, CBrush* b) { ::FillRect(m_hDC, r, b ? static_cast<HBRUSH>(b->m_hObject) : nullptr); }
void CDC::FrameRect(LPCRECT r, CBrush* b) { ::FrameRect(m_hDC, r, b ? static_cast<HBRUSH>(b->m_hObject) : nullptr); }
void CDC::InvertRect(LPCRECT r) { ::InvertRect(m_hDC, r); }

// Solid fills go through the background colour and an opaque ExtTextOut, as the framework
// does; the DC's background colour is left as it was set by the fill.
void CDC::FillSolidRect(LPCRECT r, COLORREF c) {
    ::SetBkColor(m_hDC, c);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, c);
}
void CDC::Draw3dRect(LPCRECT r, COLORREF tl, COLORREF br) {
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, tl, br);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF tl, COLORREF br) {
    FillSolidRect(x, y, cx - 1, 1, tl);
    FillSolidRect(x, y, 1, cy - 1, tl);
    FillSolidRect(x + cx - 1, y, 1, cy, br);
    FillSolidRect(x, y + cy - 1, cx, 1, br);
}
BOOL CDC::DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
BOOL CDC::DrawFrameControl(LPRECT r, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, r, type, state); }
void CDC::DrawFocusRect(LPCRECT r) { ::DrawFocusRect(m_hDC, r); }
BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
BOOL CDC::DrawState(CPoint p, CSize s, HICON icon, UINT flags, CBrush* b) {
    return ::DrawStateA(m_hDC, b ? static_cast<HBRUSH>(b->m_hObject) : nullptr, nullptr, reinterpret_cast<LPARAM>(icon),
                        0, p.x, p.y, s.cx, s.cy, flags | DST_ICON);
}
BOOL CDC::DrawState(CPoint p, CSize s, HBITMAP bm, UINT flags, CBrush* b) {
    return ::DrawStateA(m_hDC, b ? static_cast<HBRUSH>(b->m_hObject) : nullptr, nullptr, reinterpret_cast<LPARAM>(bm),
                        0, p.x, p.y, s.cx, s.cy, flags | DST_BITMAP);
}
BOOL CDC::DrawState(CPoint p, CSize s, LPCSTR text, UINT flags, BOOL prefix, int len, CBrush* b) {
    return ::DrawStateA(m_hDC, b ? static_cast<HBRUSH>(b->m_hObject) : nullptr, nullptr, reinterpret_cast<LPARAM>(text),
                        WPARAM(len), p.x, p.y, s.cx, s.cy, flags | (prefix ? DST_PREFIXTEXT : DST_TEXT));
}
BOOL CDC::FillRgn(CRgn* r, CBrush* b) {
    return ::FillRgn(m_hDC, static_cast<HRGN>(r->m_hObject), static_cast<HBRUSH>(b->m_hObject));
}
BOOL CDC::FrameRgn(CRgn* r, CBrush* b, int w, int h) {
    return ::FrameRgn(m_hDC, static_cast<HRGN>(r->m_hObject), static_cast<HBRUSH>(b->m_hObject), w, h);
}
BOOL CDC::PaintRgn(CRgn* r) { return ::PaintRgn(m_hDC, static_cast<HRGN>(r->m_hObject)); }
BOOL CDC::InvertRgn(CRgn* r) { return ::InvertRgn(m_hDC, static_cast<HRGN>(r->m_hObject)); }

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
}
BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
}
BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
BOOL CDC::MaskBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, CBitmap& mask, int mx, int my, DWORD rop) {
    return ::MaskBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, static_cast<HBITMAP>(mask.m_hObject), mx,
                     my, rop);
}
BOOL CDC::TransparentBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, UINT tr) {
    return ::TransparentBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, tr);
}

BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
BOOL CDC::ExtTextOut(int x, int y, UINT opt, LPCRECT r, LPCSTR text, UINT count, LPINT dx) {
    return ::ExtTextOutA(m_hDC, x, y, opt, r, text, count, dx);
}
int CDC::DrawText(LPCSTR text, int count, LPRECT r, UINT format) { return ::DrawTextA(m_hDC, text, count, r, format); }
CSize CDC::GetTextExtent(LPCSTR text, int count) const {
    SIZE s{};
    ::GetTextExtentPoint32A(m_hAttribDC ? m_hAttribDC : m_hDC, text, count, &s);
    return s;
}
BOOL CDC::GetTextMetrics(LPTEXTMETRICA tm) const { return ::GetTextMetricsA(m_hAttribDC ? m_hAttribDC : m_hDC, tm); }
int CDC::GetTextFace(int count, LPSTR face) const { return ::GetTextFaceA(m_hDC, count, face); }
int CDC::SetTextCharacterExtra(int extra) { return ::SetTextCharacterExtra(m_hDC, extra); }
BOOL CDC::GetCharWidth(UINT first, UINT last, LPINT widths) const {
    return ::GetCharWidth32A(m_hDC, first, last, widths);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }
CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
