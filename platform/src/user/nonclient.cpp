// The non-client area: its layout (WM_NCCALCSIZE), hit testing (WM_NCHITTEST) and the classic
// frame the layer paints itself (WM_NCPAINT), in GetSysColor colours.
#include <algorithm>
#include <cstring>

#include "gdi/objects.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
void DrawWindowScrollBars(HWND hwnd, HDC hdc, const NcLayout& l);     // scroll.cpp
void DrawMenuBarInto(HWND hwnd, HDC hdc, const RECT& bar, bool active);  // menu.cpp

namespace {

int Frame(DWORD style, DWORD exstyle) {
    if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((style & WS_DLGFRAME) || (exstyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

}  // namespace

NcLayout ComputeNcLayout(DWORD style, DWORD exstyle, bool has_menu, int width, int height, int menu_height) {
    NcLayout l;
    l.window = RECT{0, 0, width, height};
    RECT r = l.window;
    l.frame = Frame(style, exstyle);
    l.thick = (style & WS_THICKFRAME) != 0;
    // A dialog frame inside a thick frame adds nothing; a modal-frame dialog keeps 3.
    InflateRect(&r, -l.frame, -l.frame);
    if ((style & WS_CAPTION) == WS_CAPTION) {
        bool tool = (exstyle & WS_EX_TOOLWINDOW) != 0;
        int ch = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
        l.caption = RECT{r.left, r.top, r.right, r.top + ch};
        r.top += ch;
        int bh = ch - 4;
        int bw = tool ? GetSystemMetrics(SM_CXSMSIZE) - 2 : GetSystemMetrics(SM_CXSIZE) - 2;
        int x = l.caption.right - 2;
        int top = l.caption.top + 2;
        if (style & WS_SYSMENU) {
            l.close_button = RECT{x - bw, top, x, top + bh};
            x -= bw + 2;
            if (!tool && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
                l.max_button = RECT{x - bw, top, x, top + bh};
                x -= bw;
                l.min_button = RECT{x - bw, top, x, top + bh};
                x -= bw + 2;
            } else if (exstyle & WS_EX_CONTEXTHELP) {
                l.help_button = RECT{x - bw, top, x, top + bh};
                x -= bw + 2;
            }
            if (!tool && !(exstyle & WS_EX_DLGMODALFRAME)) {
                int s = GetSystemMetrics(SM_CXSMICON);
                int y = l.caption.top + (ch - 1 - s) / 2;
                l.sys_button = RECT{l.caption.left + 2, y, l.caption.left + 2 + s, y + s};
            }
        }
    }
    if (has_menu && !(style & WS_CHILD)) {
        l.menu_bar = RECT{r.left, r.top, r.right, std::min(r.bottom, r.top + menu_height)};
        r.top = l.menu_bar.bottom;
    }
    if (exstyle & WS_EX_CLIENTEDGE) l.edge = GetSystemMetrics(SM_CXEDGE);
    else if (exstyle & WS_EX_STATICEDGE) l.edge = GetSystemMetrics(SM_CXBORDER);
    InflateRect(&r, -l.edge, -l.edge);
    int sv = GetSystemMetrics(SM_CXVSCROLL), sh = GetSystemMetrics(SM_CYHSCROLL);
    bool v = (style & WS_VSCROLL) && r.right - r.left >= sv;
    bool h = (style & WS_HSCROLL) && r.bottom - r.top >= sh;
    if (v) {
        if (exstyle & WS_EX_LEFTSCROLLBAR) {
            l.vscroll = RECT{r.left, r.top, r.left + sv, r.bottom};
            r.left += sv;
        } else {
            l.vscroll = RECT{r.right - sv, r.top, r.right, r.bottom};
            r.right -= sv;
        }
    }
    if (h) {
        l.hscroll = RECT{r.left, r.bottom - sh, r.right, r.bottom};
        r.bottom -= sh;
        if (v) {
            l.vscroll.bottom -= sh;
            l.size_box = RECT{l.vscroll.left, l.hscroll.top, l.vscroll.right, l.hscroll.bottom};
        }
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    l.client = r;
    return l;
}

NcLayout LayoutOf(const Window* w) {
    int mh = 0;
    bool menu = w->menu && !(w->style & WS_CHILD);
    if (menu) mh = MenuBarHeight(w->menu, w->wr.right - w->wr.left);
    NcLayout l = ComputeNcLayout(w->style, w->exstyle, menu, w->wr.right - w->wr.left, w->wr.bottom - w->wr.top, mh);
    return l;
}

static bool In(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

LRESULT NcHitTest(HWND hwnd, POINT screen) {
    NcLayout l;
    RECT wr;
    DWORD style;
    {
        LockedWindow w(hwnd, Lookup::Quiet);
        if (!w) return HTNOWHERE;
        wr = ScreenWindowRect(w);
        l = LayoutOf(w);
        style = w->style;
        POINT p{screen.x - wr.left, screen.y - wr.top};
        if (!In(l.window, p)) return HTNOWHERE;
        if (w->window_region && !w->window_region->Contains(p.x, p.y)) return HTNOWHERE;
        screen = p;
    }
    POINT p = screen;
    if (In(l.client, p)) return HTCLIENT;
    int width = l.window.right, height = l.window.bottom;
    if (l.frame > 0 && (p.x < l.frame || p.y < l.frame || p.x >= width - l.frame || p.y >= height - l.frame)) {
        if (!l.thick || (style & WS_MAXIMIZE)) return HTBORDER;
        int corner = GetSystemMetrics(SM_CXSIZE) + l.frame;
        bool left = p.x < l.frame, right = p.x >= width - l.frame;
        bool top = p.y < l.frame, bottom = p.y >= height - l.frame;
        if (top || bottom) {
            if (p.x < corner) return top ? HTTOPLEFT : HTBOTTOMLEFT;
            if (p.x >= width - corner) return top ? HTTOPRIGHT : HTBOTTOMRIGHT;
            return top ? HTTOP : HTBOTTOM;
        }
        if (p.y < corner) return left ? HTTOPLEFT : HTTOPRIGHT;
        if (p.y >= height - corner) return left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
        return left ? HTLEFT : (right ? HTRIGHT : HTBORDER);
    }
    if (In(l.caption, p)) {
        if (In(l.close_button, p)) return HTCLOSE;
        if (In(l.max_button, p)) return HTMAXBUTTON;
        if (In(l.min_button, p)) return HTMINBUTTON;
        if (In(l.help_button, p)) return HTHELP;
        if (In(l.sys_button, p) || (l.sys_button.right > 0 && p.x < l.sys_button.right + 1 && p.x >= l.caption.left))
            return HTSYSMENU;
        return HTCAPTION;
    }
    if (In(l.menu_bar, p)) return HTMENU;
    if (In(l.vscroll, p)) return HTVSCROLL;
    if (In(l.hscroll, p)) return HTHSCROLL;
    if (In(l.size_box, p)) return l.thick ? HTGROWBOX : HTNOWHERE;
    return HTBORDER;  // the client edge
}

// ---- painting ----

void FillSolid(HDC hdc, const RECT& r, COLORREF c) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    COLORREF old = SetBkColor(hdc, c);
    ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(hdc, old);
}

// Two-colour one-pixel rectangle outline: top/left in one colour, bottom/right in the other.
void Frame3D(HDC hdc, const RECT& r, COLORREF tl, COLORREF br) {
    FillSolid(hdc, RECT{r.left, r.top, r.right - 1, r.top + 1}, tl);
    FillSolid(hdc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, tl);
    FillSolid(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    FillSolid(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
}

void RaisedEdge(HDC hdc, RECT r) {
    Frame3D(hdc, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    InflateRect(&r, -1, -1);
    Frame3D(hdc, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
}

void SunkenEdge(HDC hdc, RECT r) {
    Frame3D(hdc, r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
    InflateRect(&r, -1, -1);
    Frame3D(hdc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

// A caption or scroll-bar button: raised (or pushed) face with the glyph drawn by `glyph`.
void ButtonFace(HDC hdc, const RECT& r, bool pushed) {
    FillSolid(hdc, r, GetSysColor(COLOR_3DFACE));
    if (pushed) {
        Frame3D(hdc, r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
    } else {
        RaisedEdge(hdc, r);
    }
}

enum class Glyph { Close, Max, Restore, Min, Help, Up, Down, Left, Right };

void DrawGlyph(HDC hdc, const RECT& r, Glyph g, COLORREF c) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int cx = r.left + w / 2, cy = r.top + h / 2;
    switch (g) {
        case Glyph::Close:
            for (int i = -3; i <= 3; ++i) {
                FillSolid(hdc, RECT{cx + i - 1, cy + i, cx + i + 1, cy + i + 1}, c);
                FillSolid(hdc, RECT{cx - i - 1, cy + i, cx - i + 1, cy + i + 1}, c);
            }
            break;
        case Glyph::Max:
            Frame3D(hdc, RECT{cx - 4, cy - 4, cx + 5, cy + 4}, c, c);
            FillSolid(hdc, RECT{cx - 4, cy - 3, cx + 5, cy - 2}, c);
            break;
        case Glyph::Restore:
            Frame3D(hdc, RECT{cx - 2, cy - 5, cx + 5, cy + 1}, c, c);
            FillSolid(hdc, RECT{cx - 4, cy - 2, cx + 3, cy + 4}, GetSysColor(COLOR_3DFACE));
            Frame3D(hdc, RECT{cx - 4, cy - 2, cx + 3, cy + 4}, c, c);
            break;
        case Glyph::Min: FillSolid(hdc, RECT{cx - 4, cy + 2, cx + 2, cy + 4}, c); break;
        case Glyph::Help: FillSolid(hdc, RECT{cx - 1, cy + 2, cx + 1, cy + 4}, c); break;
        case Glyph::Up:
        case Glyph::Down:
            for (int i = 0; i < 4; ++i) {
                int y = g == Glyph::Up ? cy - 2 + i : cy + 1 - i;
                FillSolid(hdc, RECT{cx - i, y, cx + i + 1, y + 1}, c);
            }
            break;
        case Glyph::Left:
        case Glyph::Right:
            for (int i = 0; i < 4; ++i) {
                int x = g == Glyph::Left ? cx - 2 + i : cx + 1 - i;
                FillSolid(hdc, RECT{x, cy - i, x + 1, cy + i + 1}, c);
            }
            break;
    }
}

HFONT CaptionFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSA m{};
        m.cbSize = sizeof(m);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
        HFONT f = CreateFontIndirectA(&m.lfCaptionFont);
        gdi::KeepForever(f);
        return f;
    }();
    return font;
}

// Paints the whole frame of `hwnd` into a DC whose origin is the window's top-left corner.
void PaintNonClient(HWND hwnd, HDC hdc) {
    NcLayout l;
    DWORD style, exstyle;
    bool active;
    std::string text;
    HMENU menu;
    {
        Guard g(GlobalLock());
        Window* w = W(hwnd);
        if (!w) return;
        l = LayoutOf(w);
        style = w->style;
        exstyle = w->exstyle;
        active = w->nc_active;
        text = w->text;
        menu = (w->style & WS_CHILD) ? nullptr : w->menu;
    }
    RECT r = l.window;
    // Outer frame.
    if (l.thick) {
        RaisedEdge(hdc, r);
        InflateRect(&r, -2, -2);
        COLORREF b = GetSysColor(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
        for (int i = 2; i < l.frame; ++i) {
            Frame3D(hdc, r, b, b);
            InflateRect(&r, -1, -1);
        }
    } else if (l.frame >= 3) {
        RaisedEdge(hdc, r);
        InflateRect(&r, -2, -2);
        for (int i = 2; i < l.frame; ++i) {
            Frame3D(hdc, r, GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DFACE));
            InflateRect(&r, -1, -1);
        }
    } else if (l.frame == 1) {
        Frame3D(hdc, r, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    }
    // Caption.
    if (l.caption.bottom > l.caption.top) {
        RECT c = l.caption;
        c.bottom -= 1;
        FillSolid(hdc, c, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        FillSolid(hdc, RECT{l.caption.left, c.bottom, l.caption.right, l.caption.bottom}, GetSysColor(COLOR_3DFACE));
        int text_left = c.left + 2;
        if (l.sys_button.right > l.sys_button.left) {
            HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICONSM));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON));
            if (icon) DrawIconEx(hdc, l.sys_button.left, l.sys_button.top, icon, 16, 16, 0, nullptr, 3);
            text_left = l.sys_button.right + 2;
        }
        int text_right = c.right - 2;
        for (const RECT* b : {&l.close_button, &l.max_button, &l.min_button, &l.help_button})
            if (b->right > b->left) text_right = std::min<int>(text_right, b->left - 2);
        if (!text.empty() && text_right > text_left) {
            HGDIOBJ old = SelectObject(hdc, CaptionFont());
            int mode = SetBkMode(hdc, TRANSPARENT);
            COLORREF tc = SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            RECT tr{text_left, c.top, text_right, c.bottom};
            SIZE sz{0, 0};
            GetTextExtentPoint32A(hdc, text.c_str(), int(text.size()), &sz);
            ExtTextOutA(hdc, text_left, c.top + (c.bottom - c.top - sz.cy) / 2, ETO_CLIPPED, &tr, text.c_str(),
                        UINT(text.size()), nullptr);
            SetTextColor(hdc, tc);
            SetBkMode(hdc, mode);
            SelectObject(hdc, old);
        }
        COLORREF gc = GetSysColor(COLOR_BTNTEXT);
        if (l.close_button.right > l.close_button.left) {
            ButtonFace(hdc, l.close_button, false);
            DrawGlyph(hdc, l.close_button, Glyph::Close, gc);
        }
        if (l.max_button.right > l.max_button.left) {
            ButtonFace(hdc, l.max_button, false);
            DrawGlyph(hdc, l.max_button, (style & WS_MAXIMIZE) ? Glyph::Restore : Glyph::Max,
                      (style & WS_MAXIMIZEBOX) ? gc : GetSysColor(COLOR_GRAYTEXT));
        }
        if (l.min_button.right > l.min_button.left) {
            ButtonFace(hdc, l.min_button, false);
            DrawGlyph(hdc, l.min_button, (style & WS_MINIMIZE) ? Glyph::Restore : Glyph::Min,
                      (style & WS_MINIMIZEBOX) ? gc : GetSysColor(COLOR_GRAYTEXT));
        }
        if (l.help_button.right > l.help_button.left) {
            ButtonFace(hdc, l.help_button, false);
            DrawGlyph(hdc, l.help_button, Glyph::Help, gc);
        }
    }
    if (menu && l.menu_bar.bottom > l.menu_bar.top) DrawMenuBarInto(hwnd, hdc, l.menu_bar, active);
    // Client edge.
    if (l.edge) {
        RECT e = l.client;
        int sv = l.vscroll.right > l.vscroll.left ? l.vscroll.right - l.vscroll.left : 0;
        int sh = l.hscroll.bottom > l.hscroll.top ? l.hscroll.bottom - l.hscroll.top : 0;
        if (exstyle & WS_EX_LEFTSCROLLBAR) e.left -= sv;
        else e.right += sv;
        e.bottom += sh;
        InflateRect(&e, l.edge, l.edge);
        if (l.edge >= 2)
            SunkenEdge(hdc, e);
        else
            Frame3D(hdc, e, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
    }
    DrawWindowScrollBars(hwnd, hdc, l);
    if (l.size_box.right > l.size_box.left) FillSolid(hdc, l.size_box, GetSysColor(COLOR_3DFACE));
}

}  // namespace plat::user
