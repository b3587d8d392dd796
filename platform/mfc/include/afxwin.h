// This project's framework layer: windows, message maps, dialogs, data exchange, device contexts,
// GDI objects, standard controls, the application and its threads.
#pragma once

#include <cstring>

#include "afx.h"
#include "windows.h"
#include "commctrl.h"

class CWnd;
class CDC;
class CMenu;
class CScrollBar;
class CWinApp;
class CWinThread;
class CDataExchange;
class CToolTipCtrl;

// ---- geometry ------------------------------------------------------------------------------
class CSize : public tagSIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    CSize(POINT p) { cx = p.x; cy = p.y; }
    BOOL operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    BOOL operator!=(SIZE s) const { return !(*this == s); }
    void operator+=(SIZE s) { cx += s.cx; cy += s.cy; }
    void operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public tagPOINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int ix, int iy) { x = ix; y = iy; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    CPoint(SIZE s) { x = s.cx; y = s.cy; }
    explicit CPoint(LPARAM lp) { x = GET_X_LPARAM(lp); y = GET_Y_LPARAM(lp); }
    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT p) { Offset(p.x, p.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }
    void SetPoint(int ix, int iy) { x = ix; y = iy; }
    BOOL operator==(POINT p) const { return x == p.x && y == p.y; }
    BOOL operator!=(POINT p) const { return !(*this == p); }
    void operator+=(SIZE s) { Offset(s); }
    void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
    void operator+=(POINT p) { Offset(p); }
    void operator-=(POINT p) { Offset(-p.x, -p.y); }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public tagRECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { CopyRect(&r); }
    CRect(LPCRECT r) { CopyRect(r); }
    CRect(POINT p, SIZE s) { left = p.x; top = p.y; right = p.x + s.cx; bottom = p.y + s.cy; }
    CRect(POINT tl, POINT br) { left = tl.x; top = tl.y; right = br.x; bottom = br.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT r) { left = r->left; top = r->top; right = r->right; bottom = r->bottom; }
    BOOL EqualRect(LPCRECT r) const {
        return left == r->left && top == r->top && right == r->right && bottom == r->bottom;
    }
    void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(LPCRECT r) { left -= r->left; top -= r->top; right += r->right; bottom += r->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    void DeflateRect(LPCRECT r) { left += r->left; top += r->top; right -= r->right; bottom -= r->bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToX(int x) { right = x + Width(); left = x; }
    void MoveToY(int y) { bottom = y + Height(); top = y; }
    void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    BOOL IntersectRect(LPCRECT a, LPCRECT b);
    BOOL UnionRect(LPCRECT a, LPCRECT b);
    BOOL SubtractRect(LPCRECT a, LPCRECT b);
    void operator=(const RECT& r) { CopyRect(&r); }
    BOOL operator==(const RECT& r) const { return EqualRect(&r); }
    BOOL operator!=(const RECT& r) const { return !EqualRect(&r); }
    void operator+=(POINT p) { OffsetRect(p); }
    void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
    void operator&=(const RECT& r) { IntersectRect(this, &r); }
    void operator|=(const RECT& r) { UnionRect(this, &r); }
    CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
    CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(this, &o); return r; }
    CRect operator|(const RECT& o) const { CRect r; r.UnionRect(this, &o); return r; }
};

// ---- GDI objects ---------------------------------------------------------------------------
// A wrapper owns its handle (deleted with it) unless it came from FromHandle, which gives a
// temporary wrapper that lives until the thread's next idle time.
class CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    HGDIOBJ m_hObject = nullptr;
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const;
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, LPVOID out) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int index);
    BOOL UnrealizeObject() { return TRUE; }
    static CGdiObject* FromHandle(HGDIOBJ h);
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(LPLOGPEN pen);
    int GetLogPen(LOGPEN* pen) { return GetObject(sizeof(LOGPEN), pen); }
    static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
    explicit CBrush(class CBitmap* bitmap);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int index, COLORREF color);
    BOOL CreatePatternBrush(class CBitmap* bitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* lb);
    BOOL CreateSysColorBrush(int index);
    int GetLogBrush(LOGBRUSH* lb) { return GetObject(sizeof(LOGBRUSH), lb); }
    static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTA* lf);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strike, BYTE charset, BYTE out_precision, BYTE clip_precision, BYTE quality,
                    BYTE pitch_family, LPCSTR face);
    BOOL CreatePointFont(int tenths, LPCSTR face, CDC* dc = nullptr);
    int GetLogFont(LOGFONTA* lf) { return GetObject(sizeof(LOGFONTA), lf); }
    static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(LPCSTR name);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bits, const void* data);
    BOOL CreateBitmapIndirect(LPBITMAP bm);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateDiscardableBitmap(CDC* dc, int width, int height) { return CreateCompatibleBitmap(dc, width, height); }
    int GetBitmap(BITMAP* bm) { return GetObject(sizeof(BITMAP), bm); }
    DWORD GetBitmapBits(DWORD count, LPVOID bits) const;
    DWORD SetBitmapBits(DWORD count, const void* bits);
    CSize GetBitmapDimension() const;
    static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b);
    BOOL CreateRectRgnIndirect(LPCRECT r);
    BOOL CreateEllipticRgn(int l, int t, int r, int b);
    BOOL CreateEllipticRgnIndirect(LPCRECT r);
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
    BOOL CreatePolygonRgn(const POINT* pts, int count, int mode);
    void SetRectRgn(int l, int t, int r, int b);
    void SetRectRgn(LPCRECT r) { SetRectRgn(r->left, r->top, r->right, r->bottom); }
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    int CopyRgn(const CRgn* src);
    BOOL EqualRgn(const CRgn* other) const;
    int OffsetRgn(int dx, int dy);
    int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }
    int GetRgnBox(LPRECT r) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
    BOOL RectInRegion(LPCRECT r) const;
    static CRgn* FromHandle(HRGN h) { return static_cast<CRgn*>(CGdiObject::FromHandle(h)); }
};

class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    BOOL CreatePalette(LPLOGPALETTE pal);
    UINT GetPaletteEntries(UINT start, UINT count, LPPALETTEENTRY entries) const;
    static CPalette* FromHandle(HPALETTE h) { return static_cast<CPalette*>(CGdiObject::FromHandle(h)); }
};

// ---- device contexts -----------------------------------------------------------------------
class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    BOOL m_bPrinting = FALSE;

    CDC() = default;
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const;
    static CDC* FromHandle(HDC h);
    static void DeleteTempMap();
    BOOL Attach(HDC h);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
    BOOL IsPrinting() const { return m_bPrinting; }
    CWnd* GetWindow() const;
    int GetDeviceCaps(int index) const;

    int SaveDC();
    BOOL RestoreDC(int saved);
    CGdiObject* SelectStockObject(int index);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    int SelectObject(CRgn* rgn);
    CGdiObject* SelectObject(CGdiObject* obj);
    HGDIOBJ SelectObject(HGDIOBJ obj);
    CPalette* SelectPalette(CPalette* pal, BOOL background);
    UINT RealizePalette();
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    COLORREF GetBkColor() const;
    COLORREF SetBkColor(COLORREF c);
    int GetBkMode() const;
    int SetBkMode(int mode);
    COLORREF GetTextColor() const;
    COLORREF SetTextColor(COLORREF c);
    int SetROP2(int mode);
    int GetROP2() const;
    int SetStretchBltMode(int mode);
    int SetPolyFillMode(int mode);
    int SetMapMode(int mode);
    int GetMapMode() const;
    UINT SetTextAlign(UINT flags);
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }

    CPoint GetWindowOrg() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint GetViewportOrg() const;
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    void LPtoDP(LPPOINT pts, int count = 1) const;
    void LPtoDP(LPRECT r) const { LPtoDP(reinterpret_cast<LPPOINT>(r), 2); }
    void DPtoLP(LPPOINT pts, int count = 1) const;
    void DPtoLP(LPRECT r) const { DPtoLP(reinterpret_cast<LPPOINT>(r), 2); }

    int GetClipBox(LPRECT r) const;
    int SelectClipRgn(CRgn* rgn);
    int SelectClipRgn(CRgn* rgn, int mode);
    int ExcludeClipRect(int l, int t, int r, int b);
    int ExcludeClipRect(LPCRECT r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
    int IntersectClipRect(int l, int t, int r, int b);
    int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int OffsetClipRgn(int dx, int dy);
    BOOL PtVisible(int x, int y) const;
    BOOL RectVisible(LPCRECT r) const;

    CPoint GetCurrentPosition() const;
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* pts, int count);
    BOOL Polygon(const POINT* pts, int count);
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h);
    BOOL RoundRect(LPCRECT r, POINT p) { return RoundRect(r->left, r->top, r->right, r->bottom, p.x, p.y); }
    BOOL Ellipse(int l, int t, int r, int b);
    BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
    COLORREF SetPixel(int x, int y, COLORREF c);
    COLORREF SetPixel(POINT p, COLORREF c) { return SetPixel(p.x, p.y, c); }
    BOOL SetPixelV(int x, int y, COLORREF c);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    COLORREF GetNearestColor(COLORREF c) const;

    void FillRect(LPCRECT r, CBrush* brush);
    void FrameRect(LPCRECT r, CBrush* brush);
    void InvertRect(LPCRECT r);
    void FillSolidRect(LPCRECT r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    void Draw3dRect(LPCRECT r, COLORREF top_left, COLORREF bottom_right);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF top_left, COLORREF bottom_right);
    BOOL DrawEdge(LPRECT r, UINT edge, UINT flags);
    BOOL DrawFrameControl(LPRECT r, UINT type, UINT state);
    void DrawFocusRect(LPCRECT r);
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
    BOOL DrawState(CPoint p, CSize s, HICON icon, UINT flags, CBrush* brush = nullptr);
    BOOL DrawState(CPoint p, CSize s, HBITMAP bitmap, UINT flags, CBrush* brush = nullptr);
    BOOL DrawState(CPoint p, CSize s, LPCSTR text, UINT flags, BOOL prefix = TRUE, int length = 0,
                   CBrush* brush = nullptr);
    BOOL FillRgn(CRgn* rgn, CBrush* brush);
    BOOL FrameRgn(CRgn* rgn, CBrush* brush, int w, int h);
    BOOL PaintRgn(CRgn* rgn);
    BOOL InvertRgn(CRgn* rgn);

    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop);
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);
    BOOL MaskBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, CBitmap& mask, int mx, int my, DWORD rop);
    BOOL TransparentBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, UINT transparent);

    BOOL TextOut(int x, int y, LPCSTR text, int count);
    BOOL TextOut(int x, int y, const CString& s) { return TextOut(x, y, s, s.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT count, LPINT dx);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, const CString& s, LPINT dx) {
        return ExtTextOut(x, y, options, r, s, UINT(s.GetLength()), dx);
    }
    int DrawText(LPCSTR text, int count, LPRECT r, UINT format);
    int DrawText(const CString& s, LPRECT r, UINT format) { return DrawText(s, s.GetLength(), r, format); }
    CSize GetTextExtent(LPCSTR text, int count) const;
    CSize GetTextExtent(const CString& s) const { return GetTextExtent(s, s.GetLength()); }
    CSize GetOutputTextExtent(const CString& s) const { return GetTextExtent(s); }
    BOOL GetTextMetrics(LPTEXTMETRICA tm) const;
    int GetTextFace(int count, LPSTR face) const;
    int SetTextCharacterExtra(int extra);
    BOOL GetCharWidth(UINT first, UINT last, LPINT widths) const;

protected:
    static CDC* FromHandleImpl(HDC h);
};

class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

// ---- menus ---------------------------------------------------------------------------------
class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu = nullptr;
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const;
    static CMenu* FromHandle(HMENU h);
    static CMenu* FromHandlePermanent(HMENU h);
    BOOL Attach(HMENU h);
    HMENU Detach();
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(LPCSTR name);
    BOOL LoadMenuIndirect(const void* tmpl);
    virtual BOOL DestroyMenu();
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags);
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
    UINT CheckMenuItem(UINT id, UINT check);
    UINT EnableMenuItem(UINT id, UINT enable);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT id, LPSTR text, int max, UINT flags) const;
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL by_pos = FALSE);
    BOOL SetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL by_pos = FALSE);
    CMenu* GetSubMenu(int position) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT mis);
};

// ---- command targets and message maps ------------------------------------------------------
class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CWnd::*AFX_PMSGW)();

// Handler signatures a map entry can call.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,       // void ()
    AfxSig_bv,       // BOOL ()
    AfxSig_is,       // int (LPCREATESTRUCT)
    AfxSig_bD,       // BOOL (CDC*)
    AfxSig_vwii,     // void (UINT, int, int)
    AfxSig_vii,      // void (int, int)
    AfxSig_vt,       // void (UINT_PTR)
    AfxSig_vwp,      // void (UINT, CPoint)
    AfxSig_bWww,     // BOOL (CWnd*, UINT, UINT)
    AfxSig_vwww,     // void (UINT, UINT, UINT)
    AfxSig_vW,       // void (CWnd*)
    AfxSig_vwWb,     // void (UINT, CWnd*, BOOL)
    AfxSig_vb,       // void (BOOL)
    AfxSig_wv,       // UINT ()
    AfxSig_vwl,      // void (UINT, LPARAM)
    AfxSig_hv,       // HCURSOR ()
    AfxSig_hDWw,     // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_hDw,      // HBRUSH (CDC*, UINT)  reflected colours
    AfxSig_vOWNER,   // void (int, LPDRAWITEMSTRUCT)
    AfxSig_vMEASURE, // void (int, LPMEASUREITEMSTRUCT)
    AfxSig_lwwM,     // LRESULT (UINT, UINT, CMenu*)
    AfxSig_vwwX,     // void (UINT, UINT, CScrollBar*)
    AfxSig_vWp,      // void (CWnd*, CPoint)
    AfxSig_vbw,      // void (BOOL, UINT)
    AfxSig_vMwb,     // void (CMenu*, UINT, BOOL)
    AfxSig_lwl,      // LRESULT (WPARAM, LPARAM)
    AfxSig_lp,       // LRESULT (CPoint)
    AfxSig_bwsp,     // BOOL (UINT, short, CPoint)
    AfxSig_cmd_v,    // void () for commands and control notifications
    AfxSig_cmd_w,    // void (UINT) for command ranges
    AfxSig_cmd_b,    // BOOL () reflected control notification with a result
    AfxSig_notify_v, // void (NMHDR*, LRESULT*)
    AfxSig_notify_b, // BOOL (NMHDR*, LRESULT*) reflected notification with a result
    AfxSig_notify_ex,// BOOL (UINT, NMHDR*, LRESULT*)
    AfxSig_notify_range, // void (UINT, NMHDR*, LRESULT*)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // window message, or WM_COMMAND / WM_NOTIFY, or a reflected message
    UINT nCode;      // control notification code
    UINT nID;        // first control id
    UINT nLastID;    // last control id
    UINT_PTR nSig;   // AfxSig
    const UINT* pRegistered;  // registered message: the variable that holds its number
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages are looked up under this base plus the message.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        (void)sizeof(ThisClass);                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                        \
    {0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};                                 \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                          \
    }

// Stores a handler of any signature in an entry; the entry's AfxSig says how to call it back.
template <typename F>
inline AFX_PMSG AfxStorePmsg(F f) {
    static_assert(sizeof(F) == sizeof(AFX_PMSG), "member function pointers of one size");
    AFX_PMSG r;
    std::memcpy(&r, &f, sizeof r);
    return r;
}
#define AFX_ENTRY(msg, code, id, last, sig, reg, type, fn) \
    {msg, code, id, last, sig, reg, AfxStorePmsg(static_cast<type>(&ThisClass::fn))},

// window messages
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, 0, 0, 0, AfxSig_is, nullptr, int (CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnDestroy)
#define ON_WM_NCDESTROY() AFX_ENTRY(WM_NCDESTROY, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnNcDestroy)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnClose)
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnPaint)
#define ON_WM_NCPAINT() AFX_ENTRY(WM_NCPAINT, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnNcPaint)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, AfxSig_bD, nullptr, BOOL (CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, 0, 0, 0, AfxSig_vwii, nullptr, void (CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_MOVE() AFX_ENTRY(WM_MOVE, 0, 0, 0, AfxSig_vii, nullptr, void (CWnd::*)(int, int), OnMove)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, 0, 0, 0, AfxSig_vt, nullptr, void (CWnd::*)(UINT_PTR), OnTimer)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ENTRY(WM_LBUTTONDBLCLK, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ENTRY(WM_RBUTTONDOWN, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ENTRY(WM_RBUTTONUP, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_ENTRY(WM_RBUTTONDBLCLK, 0, 0, 0, AfxSig_vwp, nullptr, void (CWnd::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MOUSELEAVE() AFX_ENTRY(WM_MOUSELEAVE, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnMouseLeave)
#define ON_WM_MOUSEWHEEL() AFX_ENTRY(WM_MOUSEWHEEL, 0, 0, 0, AfxSig_bwsp, nullptr, BOOL (CWnd::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, 0, 0, 0, AfxSig_bWww, nullptr, BOOL (CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_KEYDOWN() AFX_ENTRY(WM_KEYDOWN, 0, 0, 0, AfxSig_vwww, nullptr, void (CWnd::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() AFX_ENTRY(WM_KEYUP, 0, 0, 0, AfxSig_vwww, nullptr, void (CWnd::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR() AFX_ENTRY(WM_CHAR, 0, 0, 0, AfxSig_vwww, nullptr, void (CWnd::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() AFX_ENTRY(WM_SYSKEYDOWN, 0, 0, 0, AfxSig_vwww, nullptr, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SETFOCUS() AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, AfxSig_vW, nullptr, void (CWnd::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_ENTRY(WM_KILLFOCUS, 0, 0, 0, AfxSig_vW, nullptr, void (CWnd::*)(CWnd*), OnKillFocus)
#define ON_WM_CAPTURECHANGED() AFX_ENTRY(WM_CAPTURECHANGED, 0, 0, 0, AfxSig_vW, nullptr, void (CWnd::*)(CWnd*), OnCaptureChanged)
#define ON_WM_ACTIVATE() AFX_ENTRY(WM_ACTIVATE, 0, 0, 0, AfxSig_vwWb, nullptr, void (CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ENABLE() AFX_ENTRY(WM_ENABLE, 0, 0, 0, AfxSig_vb, nullptr, void (CWnd::*)(BOOL), OnEnable)
#define ON_WM_CANCELMODE() AFX_ENTRY(WM_CANCELMODE, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnCancelMode)
#define ON_WM_GETDLGCODE() AFX_ENTRY(WM_GETDLGCODE, 0, 0, 0, AfxSig_wv, nullptr, UINT (CWnd::*)(), OnGetDlgCode)
#define ON_WM_SYSCOLORCHANGE() AFX_ENTRY(WM_SYSCOLORCHANGE, 0, 0, 0, AfxSig_vv, nullptr, void (CWnd::*)(), OnSysColorChange)
#define ON_WM_SYSCOMMAND() AFX_ENTRY(WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, nullptr, void (CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv, nullptr, HCURSOR (CWnd::*)(), OnQueryDragIcon)
#define ON_WM_CTLCOLOR() AFX_ENTRY(WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, nullptr, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_CTLCOLOR_REFLECT() AFX_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, AfxSig_hDw, nullptr, HBRUSH (CWnd::*)(CDC*, UINT), CtlColor)
#define ON_WM_DRAWITEM() AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, AfxSig_vOWNER, nullptr, void (CWnd::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)
#define ON_WM_MEASUREITEM() AFX_ENTRY(WM_MEASUREITEM, 0, 0, 0, AfxSig_vMEASURE, nullptr, void (CWnd::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
#define ON_WM_MENUCHAR() AFX_ENTRY(WM_MENUCHAR, 0, 0, 0, AfxSig_lwwM, nullptr, LRESULT (CWnd::*)(UINT, UINT, CMenu*), OnMenuChar)
#define ON_WM_HSCROLL() AFX_ENTRY(WM_HSCROLL, 0, 0, 0, AfxSig_vwwX, nullptr, void (CWnd::*)(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL() AFX_ENTRY(WM_VSCROLL, 0, 0, 0, AfxSig_vwwX, nullptr, void (CWnd::*)(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_CONTEXTMENU() AFX_ENTRY(WM_CONTEXTMENU, 0, 0, 0, AfxSig_vWp, nullptr, void (CWnd::*)(CWnd*, CPoint), OnContextMenu)
#define ON_WM_SHOWWINDOW() AFX_ENTRY(WM_SHOWWINDOW, 0, 0, 0, AfxSig_vbw, nullptr, void (CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_INITMENUPOPUP() AFX_ENTRY(WM_INITMENUPOPUP, 0, 0, 0, AfxSig_vMwb, nullptr, void (CWnd::*)(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_NCHITTEST() AFX_ENTRY(WM_NCHITTEST, 0, 0, 0, AfxSig_lp, nullptr, LRESULT (CWnd::*)(CPoint), OnNcHitTest)
// any message
#define ON_MESSAGE(msg, fn) AFX_ENTRY(msg, 0, 0, 0, AfxSig_lwl, nullptr, LRESULT (CWnd::*)(WPARAM, LPARAM), fn)
#define ON_REGISTERED_MESSAGE(var, fn) AFX_ENTRY(0xC000, 0, 0, 0, AfxSig_lwl, &var, LRESULT (CWnd::*)(WPARAM, LPARAM), fn)
// commands and control notifications
#define ON_COMMAND(id, fn) AFX_ENTRY(WM_COMMAND, 0, UINT(id), UINT(id), AfxSig_cmd_v, nullptr, void (CCmdTarget::*)(), fn)
#define ON_COMMAND_RANGE(id, last, fn) AFX_ENTRY(WM_COMMAND, 0, UINT(id), UINT(last), AfxSig_cmd_w, nullptr, void (CCmdTarget::*)(UINT), fn)
#define ON_CONTROL(code, id, fn) AFX_ENTRY(WM_COMMAND, UINT(code), UINT(id), UINT(id), AfxSig_cmd_v, nullptr, void (CCmdTarget::*)(), fn)
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_NOTIFY(code, id, fn) AFX_ENTRY(WM_NOTIFY, UINT(code), UINT(id), UINT(id), AfxSig_notify_v, nullptr, void (CCmdTarget::*)(NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_RANGE(code, id, last, fn) AFX_ENTRY(WM_NOTIFY, UINT(code), UINT(id), UINT(last), AfxSig_notify_range, nullptr, void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_EX(code, id, fn) AFX_ENTRY(WM_NOTIFY, UINT(code), UINT(id), UINT(id), AfxSig_notify_ex, nullptr, BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_EX_RANGE(code, id, last, fn) AFX_ENTRY(WM_NOTIFY, UINT(code), UINT(id), UINT(last), AfxSig_notify_ex, nullptr, BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), fn)
// reflected to the control that sent them
#define ON_NOTIFY_REFLECT(code, fn) AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, UINT(code), 0, 0, AfxSig_notify_v, nullptr, void (CCmdTarget::*)(NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_REFLECT_EX(code, fn) AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, UINT(code), 0, 0, AfxSig_notify_b, nullptr, BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), fn)
#define ON_CONTROL_REFLECT(code, fn) AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0, AfxSig_cmd_v, nullptr, void (CCmdTarget::*)(), fn)
#define ON_CONTROL_REFLECT_EX(code, fn) AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0, AfxSig_cmd_b, nullptr, BOOL (CCmdTarget::*)(), fn)

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    // Handles a command (nCode 0 or a control notification) or, with `extra`, a WM_NOTIFY
    // (extra = AFX_NOTIFY*). TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, void* handler_info);
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Finds the entry for a message in this object's map chain.
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT msg, UINT code, UINT id);
};

struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// ---- windows -------------------------------------------------------------------------------
// Framework flags in CWnd::m_nFlags.
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_TRACKINGTOOLTIPS 0x0400

#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;
    WNDPROC m_pfnSuper = nullptr;

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Safe on a null object, as callers of the framework rely on.
    operator HWND() const { return GetSafeHwnd(); }
    HWND GetSafeHwnd() const;
    BOOL operator==(const CWnd& w) const { return m_hWnd == w.m_hWnd; }
    BOOL operator!=(const CWnd& w) const { return m_hWnd != w.m_hWnd; }

    // The handle map: a permanent object for windows the framework created or subclassed,
    // otherwise a temporary one that lives until the owning thread's next idle time.
    static CWnd* FromHandle(HWND h);
    static CWnd* FromHandlePermanent(HWND h);
    static void DeleteTempMap();
    BOOL Attach(HWND h);
    HWND Detach();
    BOOL SubclassWindow(HWND h);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow();

    virtual BOOL Create(LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                        void* context = nullptr);
    virtual BOOL CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int w,
                          int h, HWND parent, HMENU id_or_menu, LPVOID param = nullptr);
    BOOL CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, LPVOID param = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL DestroyWindow();
    virtual void PostNcDestroy();

    // Message handling.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    BOOL ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);
    BOOL OnCmdMsg(UINT id, int code, void* extra, void* handler_info) override;
    LRESULT Default();
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int result);
    int RunModalLoop(DWORD flags = 0);

    // Tooltips through the thread's tooltip control.
    BOOL EnableToolTips(BOOL enable = TRUE);
    BOOL EnableTrackingToolTips(BOOL enable = TRUE);
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* ti) const;
    static void CancelToolTips(BOOL keys = FALSE);
    void FilterToolTipMessage(MSG* msg);

    // Window state.
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    static BOOL ModifyStyle(HWND h, DWORD remove, DWORD add, UINT flags);
    static BOOL ModifyStyleEx(HWND h, DWORD remove, DWORD add, UINT flags);
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* parent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner);
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentOwner() const;
    CWnd* GetDlgItem(int id) const;
    void GetDlgItem(int id, HWND* out) const;
    CWnd* GetWindow(UINT cmd) const;
    CWnd* GetTopWindow() const;
    CWnd* GetNextDlgTabItem(CWnd* ctl, BOOL previous = FALSE) const;
    CWnd* GetNextDlgGroupItem(CWnd* ctl, BOOL previous = FALSE) const;
    CWnd* ChildWindowFromPoint(POINT p) const;
    BOOL IsChild(const CWnd* wnd) const;
    static CWnd* GetFocus();
    CWnd* SetFocus();
    static CWnd* GetActiveWindow();
    CWnd* SetActiveWindow();
    static CWnd* GetCapture();
    CWnd* SetCapture();
    static CWnd* WindowFromPoint(POINT p);
    static CWnd* GetDesktopWindow();
    static CWnd* FindWindow(LPCSTR class_name, LPCSTR window_name);
    BOOL SetForegroundWindow();
    static CWnd* GetForegroundWindow();
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL ShowWindow(int cmd);
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR text, int max) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* menu);
    CMenu* GetSystemMenu(BOOL revert) const;

    void GetClientRect(LPRECT r) const;
    void GetWindowRect(LPRECT r) const;
    void ClientToScreen(LPPOINT p) const;
    void ClientToScreen(LPRECT r) const;
    void ScreenToClient(LPPOINT p) const;
    void ScreenToClient(LPRECT r) const;
    void MapWindowPoints(CWnd* to, LPPOINT pts, UINT count) const;
    void MapWindowPoints(CWnd* to, LPRECT r) const;
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT r, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void CenterWindow(CWnd* alternate = nullptr);
    BOOL SetWindowRgn(HRGN rgn, BOOL redraw);

    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT r, BOOL erase = TRUE);
    void InvalidateRgn(CRgn* rgn, BOOL erase = TRUE);
    void ValidateRect(LPCRECT r);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT r = nullptr, CRgn* rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL LockWindowUpdate();
    void UnlockWindowUpdate();
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    CDC* BeginPaint(LPPAINTSTRUCT ps);
    void EndPaint(LPPAINTSTRUCT ps);
    BOOL GetUpdateRect(LPRECT r, BOOL erase = FALSE);

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void SendMessageToDescendants(UINT msg, WPARAM wp = 0, LPARAM lp = 0, BOOL deep = TRUE, BOOL only_perm = FALSE);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void (CALLBACK* proc)(HWND, UINT, UINT_PTR, DWORD) = nullptr);
    BOOL KillTimer(UINT_PTR id);
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

    void SetDlgItemText(int id, LPCSTR text);
    int GetDlgItemText(int id, LPSTR text, int max) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL is_signed = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL is_signed = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int first, int last, int check);
    BOOL UpdateData(BOOL save = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL);
    BOOL SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE);
    int GetScrollPos(int bar) const;
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
    void SetScrollRange(int bar, int min, int max, BOOL redraw = TRUE);
    void ShowScrollBar(UINT bar, BOOL show = TRUE);
    void DragAcceptFiles(BOOL = TRUE) {}

    // Default handlers (the framework's behaviour for each message).
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnMouseMove(UINT flags, CPoint p);
    afx_msg void OnLButtonDown(UINT flags, CPoint p);
    afx_msg void OnLButtonUp(UINT flags, CPoint p);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint p);
    afx_msg void OnRButtonDown(UINT flags, CPoint p);
    afx_msg void OnRButtonUp(UINT flags, CPoint p);
    afx_msg void OnRButtonDblClk(UINT flags, CPoint p);
    afx_msg void OnMouseLeave();
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint p);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSetFocus(CWnd* old);
    afx_msg void OnKillFocus(CWnd* next);
    afx_msg void OnCaptureChanged(CWnd* wnd);
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    afx_msg void OnEnable(BOOL enable);
    afx_msg void OnCancelMode();
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSysColorChange();
    afx_msg void OnSysCommand(UINT id, LPARAM lp);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctl_color);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
    afx_msg LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnContextMenu(CWnd* wnd, CPoint p);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sys);
    afx_msg LRESULT OnNcHitTest(CPoint p);

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

protected:
    virtual BOOL OnChildNotifyDefault(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    int m_nModalResult = -1;
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Creation hook: windows created on this thread until the unhook are attached to `wnd` at birth.
void AfxHookWindowCreate(CWnd* wnd);
BOOL AfxUnhookWindowCreate();
LPCSTR AfxRegisterWndClass(UINT class_style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);
// Runs the thread's idle work: temporary wrappers from FromHandle are freed.
void AfxOnIdleCleanup();

// ---- data exchange -------------------------------------------------------------------------
class CDataExchange {
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    CDataExchange(CWnd* dlg, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dlg) {}
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    void Fail();
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
void DDX_Slider(CDataExchange* dx, int id, int& value);
void DDX_Scroll(CDataExchange* dx, int id, int& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max);
void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double min, double max);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int max);

// ---- dialogs -------------------------------------------------------------------------------
class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT id_template, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR template_name, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    BOOL Create(UINT id_template, CWnd* parent = nullptr);
    BOOL Create(LPCSTR template_name, CWnd* parent = nullptr);
    BOOL CreateIndirect(const void* tmpl, CWnd* parent = nullptr);
    BOOL InitModalIndirect(const void* tmpl, CWnd* parent = nullptr);
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSetFont(CFont*) {}
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, void* handler_info) override;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* ctl);
    void SetDefID(UINT id);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT r) const;

    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    const void* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    const void* FindTemplate() const;
    HWND PreModal();
    void PostModal();
    DECLARE_MESSAGE_MAP()
};

// ---- frame windows -------------------------------------------------------------------------
// A top-level frame window with the window menu of a menu resource. Frames live on the heap and
// delete themselves once their window is gone.
class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    // Lets the window system choose place and size.
    static const CRect rectDefault;

    CFrameWnd();
    ~CFrameWnd() override;
    // The framework's frame class when class_name is null. A menu name that names no menu
    // resource fails the creation (FALSE, no window).
    BOOL Create(LPCSTR class_name, LPCSTR window_name, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr, LPCSTR menu_name = nullptr,
                DWORD ex_style = 0, void* context = nullptr);
    // Commands nobody in the frame handles go to the application.
    BOOL OnCmdMsg(UINT id, int code, void* extra, void* handler_info) override;

    HMENU m_hMenuDefault = nullptr;  // the menu the frame was created with

protected:
    void PostNcDestroy() override;
};

// ---- standard controls ---------------------------------------------------------------------
class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
    HCURSOR SetCursor(HCURSOR cursor);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    UINT GetState() const;
    void SetState(BOOL highlight);
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL no_scroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(LPCSTR text, BOOL can_undo = FALSE);
    void SetLimitText(UINT max);
    void LimitText(int max = 0) { SetLimitText(UINT(max)); }
    UINT GetLimitText() const;
    void SetReadOnly(BOOL read_only = TRUE);
    BOOL GetModify() const;
    void SetModify(BOOL modified = TRUE);
    int GetLineCount() const;
    void Clear();
    void Copy();
    void Cut();
    void Paste();
    BOOL Undo();
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCSTR s);
    int InsertString(int index, LPCSTR s);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetText(int index, LPSTR buf) const;
    void GetText(int index, CString& s) const;
    int GetTextLen(int index) const;
    int FindString(int start_after, LPCSTR s) const;
    int FindStringExact(int start_after, LPCSTR s) const;
    int SelectString(int start_after, LPCSTR s);
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    int GetTopIndex() const;
    int SetTopIndex(int index);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    int GetItemRect(int index, LPRECT r) const;
    UINT ItemFromPoint(CPoint p, BOOL& outside) const;
    int GetSel(int index) const;
    int SetSel(int index, BOOL select = TRUE);
    int GetSelCount() const;
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT mis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCSTR s);
    int InsertString(int index, LPCSTR s);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, LPSTR buf) const;
    void GetLBText(int index, CString& s) const;
    int GetLBTextLen(int index) const;
    int FindString(int start_after, LPCSTR s) const;
    int FindStringExact(int start_after, LPCSTR s) const;
    int SelectString(int start_after, LPCSTR s);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    void ShowDropDown(BOOL show = TRUE);
    BOOL GetDroppedState() const;
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT mis);
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetScrollPos() const;
    int SetScrollPos(int pos, BOOL redraw = TRUE);
    void GetScrollRange(LPINT min, LPINT max) const;
    void SetScrollRange(int min, int max, BOOL redraw = TRUE);
    BOOL SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL);
    int GetScrollLimit();
    void ShowScrollBar(BOOL show = TRUE);
};

// ---- threads and the application -----------------------------------------------------------
typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC proc, LPVOID param);
    ~CWinThread() override;
    BOOL CreateThread(DWORD flags = 0, UINT stack = 0, LPSECURITY_ATTRIBUTES sa = nullptr);
    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority();
    BOOL SetThreadPriority(int priority);
    DWORD SuspendThread();
    DWORD ResumeThread();
    BOOL PostThreadMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual CWnd* GetMainWnd();
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG count);
    virtual void Delete();

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
    MSG m_msgCur{};
    int m_nThreadPriority = THREAD_PRIORITY_NORMAL;
};

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stack = 0, DWORD flags = 0, LPSECURITY_ATTRIBUTES sa = nullptr);
void AfxEndThread(UINT code, BOOL del = TRUE);
CWinThread* AfxGetThread();

class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;
    virtual void ParseParam(LPCSTR param, BOOL flag, BOOL last);
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR app_name = nullptr);
    ~CWinApp() override;
    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    virtual int DoMessageBox(LPCSTR text, UINT type, UINT help_id);
    void ParseCommandLine(CCommandLineInfo& info);
    void SetRegistryKey(LPCSTR key);
    UINT GetProfileInt(LPCSTR section, LPCSTR entry, int def);
    BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);
    CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR def = nullptr);
    BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);
    HICON LoadIcon(UINT id) const;
    HICON LoadIcon(LPCSTR name) const;
    HICON LoadStandardIcon(LPCSTR name) const;
    HCURSOR LoadCursor(UINT id) const;
    HCURSOR LoadStandardCursor(LPCSTR name) const;
    void Enable3dControls() {}
    void Enable3dControlsStatic() {}
    void LoadStdProfileSettings(UINT = 4) {}
    afx_msg void OnHelp();
    virtual void WinHelp(DWORD_PTR data, UINT cmd = 0x0001);

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    int __argc_copy = 0;

    DECLARE_MESSAGE_MAP()

private:
    CString m_appName, m_exeName, m_profile, m_helpPath, m_regKey, m_cmdLine;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE h);
LPCSTR AfxGetAppName();
void AfxEnableControlContainer();
BOOL AfxInitRichEdit();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT help_id = 0);
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT help_id = UINT(-1));
// The program's entry, run by the main() in the winmfc_main library.
int AfxWinMain(int argc, char** argv);
BOOL AfxWinInit(HINSTANCE instance, HINSTANCE prev, LPSTR cmd_line, int show);

#define ID_HELP 0xE146
#define ID_DEFAULT_HELP 0xE147
#define ID_HELP_INDEX 0xE142
#define ID_HELP_FINDER 0xE143
#define ID_HELP_USING 0xE144
#define ID_CONTEXT_HELP 0xE145
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_PANE_FIRST 0xE900
