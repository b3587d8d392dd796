// The static control: text, icons, bitmaps, frames and rectangles.
#include "controls/common.h"

namespace plat::controls {
namespace {

struct Static {
    HFONT font = nullptr;
    HANDLE image = nullptr;  // icon (SS_ICON) or bitmap (SS_BITMAP)
};

UINT Type(HWND h) { return UINT(GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK); }

SIZE ImageSize(UINT type, HANDLE image) {
    SIZE s{0, 0};
    if (!image) return s;
    if (type == SS_ICON) {
        ICONINFO ii{};
        if (GetIconInfo(static_cast<HICON>(image), &ii)) {
            BITMAP bm{};
            if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) s = {bm.bmWidth, bm.bmHeight};
            else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) s = {bm.bmWidth, bm.bmHeight / 2};
            if (ii.hbmColor) DeleteObject(ii.hbmColor);
            if (ii.hbmMask) DeleteObject(ii.hbmMask);
        }
        if (!s.cx) s = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    } else {
        BITMAP bm{};
        if (GetObjectA(image, sizeof bm, &bm)) s = {bm.bmWidth, bm.bmHeight};
    }
    return s;
}

// Image statics take the size of their image unless told to centre it.
void FitToImage(HWND h, Static* st) {
    DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    if (style & (SS_CENTERIMAGE | SS_REALSIZEIMAGE)) return;
    SIZE s = ImageSize(Type(h), st->image);
    if (s.cx > 0) SetWindowPos(h, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Paint(HWND h, Static* st, HDC dc) {
    DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    UINT t = style & SS_TYPEMASK;
    RECT rc;
    GetClientRect(h, &rc);
    auto solid = [&](int color) { FillRect(dc, &rc, GetSysColorBrush(color)); };
    auto frame = [&](int color) { FrameRect(dc, &rc, GetSysColorBrush(color)); };
    switch (t) {
        case SS_BLACKRECT: solid(COLOR_WINDOWFRAME); return;
        case SS_GRAYRECT: solid(COLOR_BTNSHADOW); return;
        case SS_WHITERECT: solid(COLOR_WINDOW); return;
        case SS_BLACKFRAME: frame(COLOR_WINDOWFRAME); return;
        case SS_GRAYFRAME: frame(COLOR_BTNSHADOW); return;
        case SS_WHITEFRAME: frame(COLOR_WINDOW); return;
        case SS_ETCHEDHORZ: DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP); return;
        case SS_ETCHEDVERT: DrawEdge(dc, &rc, EDGE_ETCHED, BF_LEFT); return;
        case SS_ETCHEDFRAME: DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT); return;
        case SS_OWNERDRAW: {
            DRAWITEMSTRUCT d{};
            d.CtlType = ODT_STATIC;
            d.CtlID = UINT(GetDlgCtrlID(h));
            d.itemAction = ODA_DRAWENTIRE;
            d.hwndItem = h;
            d.hDC = dc;
            d.rcItem = rc;
            if (!IsWindowEnabled(h)) d.itemState |= ODS_DISABLED;
            SendMessageA(GetParent(h), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
            return;
        }
        default: break;
    }
    HBRUSH bg = ControlColor(h, dc, WM_CTLCOLORSTATIC);
    if (bg) FillRect(dc, &rc, bg);
    if (t == SS_ICON || t == SS_BITMAP) {
        if (!st->image) return;
        SIZE s = ImageSize(t, st->image);
        int x = rc.left, y = rc.top;
        if (style & SS_CENTERIMAGE) {
            x = (rc.right - rc.left - s.cx) / 2;
            y = (rc.bottom - rc.top - s.cy) / 2;
        }
        UINT kind = t == SS_ICON ? DST_ICON : DST_BITMAP;
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(st->image), 0, x, y, s.cx, s.cy,
                   kind | (IsWindowEnabled(h) ? DSS_NORMAL : DSS_DISABLED));
        return;
    }
    std::string text = WindowText(h);
    HFONT old = static_cast<HFONT>(SelectObject(dc, st->font ? st->font : DefaultFont()));
    UINT fmt = DT_EXPANDTABS;
    switch (t) {
        case SS_CENTER: fmt |= DT_CENTER | DT_WORDBREAK; break;
        case SS_RIGHT: fmt |= DT_RIGHT | DT_WORDBREAK; break;
        case SS_SIMPLE: fmt = DT_LEFT | DT_SINGLELINE; break;
        case SS_LEFTNOWORDWRAP: fmt |= DT_LEFT; break;
        default: fmt |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (style & SS_NOPREFIX) fmt |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) fmt = (fmt & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    switch (style & SS_WORDELLIPSIS) {
        case SS_ENDELLIPSIS: fmt |= DT_END_ELLIPSIS; break;
        case SS_PATHELLIPSIS: fmt |= DT_PATH_ELLIPSIS; break;
        case SS_WORDELLIPSIS: fmt |= DT_WORD_ELLIPSIS; break;
        default: break;
    }
    if (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) fmt = (fmt & ~DT_WORDBREAK) | DT_SINGLELINE;
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), -1, &rc, fmt);
    SelectObject(dc, old);
}

// Image statics name their image in the title: load it and keep the title empty.
LRESULT OnNcCreate(HWND h, Static* st, UINT msg, WPARAM wp, LPARAM lp) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    UINT t = UINT(cs->style) & SS_TYPEMASK;
    bool image = (t == SS_ICON || t == SS_BITMAP) && cs->lpszName && (IS_INTRESOURCE(cs->lpszName) || cs->lpszName[0]);
    if (!image) return DefWindowProcA(h, msg, wp, lp);
    st->image = t == SS_ICON ? static_cast<HANDLE>(LoadIconA(cs->hInstance, cs->lpszName))
                             : static_cast<HANDLE>(LoadBitmapA(cs->hInstance, cs->lpszName));
    LRESULT r = DefWindowProcA(h, msg, wp, lp);
    SetWindowTextA(h, "");
    return r;
}

bool IsImage(UINT t) { return t == SS_ICON || t == SS_BITMAP; }
bool Notifies(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & SS_NOTIFY) != 0; }

// An image static's text names an image resource.
LRESULT OnSetImageName(HWND h, LPCSTR name) {
    UINT t = Type(h);
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
    if (!name || (!IS_INTRESOURCE(name) && !name[0])) return TRUE;
    HANDLE img = t == SS_ICON ? static_cast<HANDLE>(LoadIconA(inst, name)) : static_cast<HANDLE>(LoadBitmapA(inst, name));
    if (img)
        SendMessageA(h, t == SS_ICON ? STM_SETICON : STM_SETIMAGE, t == SS_ICON ? reinterpret_cast<WPARAM>(img) : IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(img));
    return TRUE;
}

// Whether the parent leaves the static's background to itself (a hollow brush, as skins answer).
bool OverParentBackground(HWND h) {
    HDC dc = GetDC(h);
    HBRUSH b = ControlColor(h, dc, WM_CTLCOLORSTATIC);
    ReleaseDC(h, dc);
    LOGBRUSH lb{};
    return !b || (GetObjectA(b, sizeof lb, &lb) && lb.lbStyle == BS_NULL);
}

LRESULT OnSetText(HWND h, WPARAM wp, LPARAM lp) {
    if (IsImage(Type(h))) return OnSetImageName(h, reinterpret_cast<LPCSTR>(lp));
    LRESULT r = DefWindowProcA(h, WM_SETTEXT, wp, lp);
    HWND parent = GetParent(h);
    if (parent && OverParentBackground(h)) {
        // A transparent static cannot wipe its old text: the parent repaints the place
        // first, then the new text is drawn over that.
        RECT rc;
        GetWindowRect(h, &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else {
        InvalidateRect(h, nullptr, TRUE);
    }
    return r;
}

LRESULT OnSetFont(HWND h, Static* st, WPARAM wp, LPARAM lp) {
    st->font = reinterpret_cast<HFONT>(wp);
    if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnEnable(HWND h, WPARAM wp) {
    InvalidateRect(h, nullptr, TRUE);
    if (Notifies(h)) Notify(h, wp ? STN_ENABLE : STN_DISABLE);
    return 0;
}

LRESULT NotifyIfAsked(HWND h, int code) {
    if (Notifies(h)) Notify(h, code);
    return 0;
}

bool ImageKindFits(HWND h, WPARAM kind) {
    UINT t = Type(h);
    return (kind == IMAGE_ICON && t == SS_ICON) || (kind == IMAGE_BITMAP && t == SS_BITMAP);
}

LRESULT ReplaceImage(HWND h, Static* st, HANDLE image) {
    HANDLE old = st->image;
    st->image = image;
    FitToImage(h, st);
    InvalidateRect(h, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Static* st = AttachState<Static>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wp, lp);
    switch (msg) {
        case WM_NCCREATE: return OnNcCreate(h, st, msg, wp, lp);
        case WM_NCDESTROY: return FreeState(h, msg, wp, lp, st);
        case WM_CREATE:
            if (IsImage(Type(h))) FitToImage(h, st);
            return 0;
        case WM_NCHITTEST: return Notifies(h) ? HTCLIENT : HTTRANSPARENT;
        case WM_GETDLGCODE: return DLGC_STATIC;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, msg, wp, [&](HDC dc) { Paint(h, st, dc); });
        case WM_SETFONT: return OnSetFont(h, st, wp, lp);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT: return OnSetText(h, wp, lp);
        case WM_ENABLE: return OnEnable(h, wp);
        case WM_LBUTTONDOWN: return NotifyIfAsked(h, STN_CLICKED);
        case WM_LBUTTONDBLCLK: return NotifyIfAsked(h, STN_DBLCLK);
        case STM_GETICON: return Type(h) == SS_ICON ? reinterpret_cast<LRESULT>(st->image) : 0;
        case STM_SETICON: return Type(h) == SS_ICON ? ReplaceImage(h, st, reinterpret_cast<HANDLE>(wp)) : 0;
        case STM_GETIMAGE: return ImageKindFits(h, wp) ? reinterpret_cast<LRESULT>(st->image) : 0;
        case STM_SETIMAGE: return ImageKindFits(h, wp) ? ReplaceImage(h, st, reinterpret_cast<HANDLE>(lp)) : 0;
        default: return DefWindowProcA(h, msg, wp, lp);
    }
}

}  // namespace plat::controls
