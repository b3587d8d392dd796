// The tool bar's layout (rows of buttons and separators, wrapping where asked) and its plain
// look: raised or flat buttons, sunken when pressed or checked, images and texts.
#include <algorithm>

#include "commctrl/toolbar.h"

namespace plat::commctrl::toolbar {
namespace {

constexpr int kTop = 2;          // space above the first row
constexpr int kImagePad = 7;     // a button is its image plus this much
constexpr int kTextPad = 6;
constexpr int kSeparator = 8;
constexpr int kArrow = 12;       // the drop-down arrow part with TBSTYLE_EX_DRAWDDARROWS

DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool IsSep(const Button& b) { return (b.style & BTNS_SEP) != 0; }
bool Hidden(const Button& b) { return (b.state & TBSTATE_HIDDEN) != 0; }

bool AnyText(const Toolbar& s) {
    for (const Button& b : s.buttons)
        if (!IsSep(b) && !TextOf(s, b).empty()) return true;
    return false;
}

int WidestText(const Toolbar& s) {
    int w = 0;
    for (const Button& b : s.buttons)
        if (!IsSep(b)) w = std::max(w, TextWidth(s.font, TextOf(s, b)));
    return w;
}

bool HasArrow(const Toolbar& s, const Button& b) {
    return (b.style & BTNS_DROPDOWN) && (s.ex_style & TBSTYLE_EX_DRAWDDARROWS);
}

int WidthOf(HWND h, const Toolbar& s, const Button& b, int standard) {
    if (IsSep(b)) return b.image > 0 ? b.image : kSeparator;
    int w = b.cx > 0 ? b.cx : standard;
    if (b.cx <= 0 && (b.style & BTNS_AUTOSIZE)) {
        int text = TextWidth(s.font, TextOf(s, b));
        w = (Style(h) & TBSTYLE_LIST) ? s.bitmap_cx + kImagePad + (text ? text + kTextPad : 0)
                                      : std::max(s.bitmap_cx + kImagePad, text + kTextPad);
    }
    return w + (HasArrow(s, b) ? kArrow : 0);
}

}  // namespace

std::string TextOf(const Toolbar& s, const Button& b) {
    if (b.string >= 0 && b.string < INT_PTR(s.strings.size())) return s.strings[size_t(b.string)];
    return b.text;
}

SIZE ButtonSize(const Toolbar& s, HWND h) {
    if (s.button_cx > 0 && s.button_cy > 0) return SIZE{s.button_cx, s.button_cy};
    SIZE sz{s.bitmap_cx + kImagePad, s.bitmap_cy + kImagePad};
    if (AnyText(s)) {
        int text = WidestText(s);
        if (Style(h) & TBSTYLE_LIST) {
            sz.cx += text + kTextPad;
            sz.cy = std::max(int(sz.cy), LineHeight(s.font) + kImagePad);
        } else {
            sz.cx = std::max(int(sz.cx), text + kTextPad);
            sz.cy += LineHeight(s.font) * std::max(1, s.max_text_rows);
        }
    }
    return sz;
}

std::vector<RECT> Layout(HWND h, const Toolbar& s) {
    RECT cr;
    GetClientRect(h, &cr);
    SIZE std_size = ButtonSize(s, h);
    bool wrapable = (Style(h) & TBSTYLE_WRAPABLE) != 0;
    std::vector<RECT> out;
    int x = s.indent, y = kTop;
    for (const Button& b : s.buttons) {
        if (Hidden(b)) {
            out.push_back(RECT{0, 0, 0, 0});
            continue;
        }
        int w = WidthOf(h, s, b, int(std_size.cx));
        if (wrapable && x > s.indent && x + w > cr.right) {
            x = s.indent;
            y += std_size.cy;
        }
        out.push_back(RECT{x, y, x + w, y + int(std_size.cy)});
        x += w;
        if (b.state & TBSTATE_WRAP) {
            x = s.indent;
            y += std_size.cy;
        }
    }
    return out;
}

SIZE MaxSize(HWND h, const Toolbar& s) {
    SIZE sz{0, 0};
    for (const RECT& r : Layout(h, s)) {
        sz.cx = std::max(sz.cx, LONG(r.right));
        sz.cy = std::max(sz.cy, LONG(r.bottom));
    }
    return sz;
}

int ButtonAt(HWND h, const Toolbar& s, POINT p) {
    std::vector<RECT> rects = Layout(h, s);
    for (size_t k = 0; k < rects.size(); ++k)
        if (PtInRect(&rects[k], p)) return IsSep(s.buttons[k]) ? -int(std::max<size_t>(k, 1)) : int(k);
    return -1;
}

namespace {

void DrawSeparator(HWND h, HDC dc, RECT r) {
    if (!(Style(h) & TBSTYLE_FLAT)) return;
    RECT line{(r.left + r.right) / 2 - 1, r.top + 1, (r.left + r.right) / 2 + 1, r.bottom - 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
}

void DrawFrame(HWND h, const Toolbar& s, HDC dc, int k, RECT r) {
    const Button& b = s.buttons[size_t(k)];
    bool down = (b.state & (TBSTATE_PRESSED | TBSTATE_CHECKED)) != 0;
    if (b.state & TBSTATE_CHECKED && !(b.state & TBSTATE_PRESSED)) {
        RECT in = r;
        InflateRect(&in, -2, -2);
        FillSolid(dc, in, Sys(COLOR_BTNHIGHLIGHT));
    }
    if (Style(h) & TBSTYLE_FLAT) {
        if (down) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (k == s.hot && (b.state & TBSTATE_ENABLED)) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        return;
    }
    DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

void DrawImage(const Toolbar& s, HDC dc, int k, int x, int y, bool enabled) {
    const Button& b = s.buttons[size_t(k)];
    HIMAGELIST list = !enabled && s.disabled_images ? s.disabled_images
                      : k == s.hot && s.hot_images ? s.hot_images
                                                   : s.images;
    if (!list || b.image < 0 || b.image >= ImageList_GetImageCount(list)) return;
    if (enabled || list == s.disabled_images) {
        ImageList_Draw(list, b.image, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HICON icon = ImageList_GetIcon(list, b.image, ILD_NORMAL);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0, DST_ICON | DSS_DISABLED);
    DestroyIcon(icon);
}

void DrawArrow(HDC dc, RECT r, bool enabled) {
    int cx = r.right - kArrow / 2 - 1, cy = (r.top + r.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, Sys(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 0; i < 3; ++i) {
        MoveToEx(dc, cx - 2 + i, cy - 1 + i, nullptr);
        LineTo(dc, cx + 3 - i, cy - 1 + i);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawButton(HWND h, const Toolbar& s, HDC dc, int k, RECT r) {
    const Button& b = s.buttons[size_t(k)];
    bool enabled = (b.state & TBSTATE_ENABLED) && !(b.state & TBSTATE_INDETERMINATE);
    DrawFrame(h, s, dc, k, r);
    RECT body = r;
    if (HasArrow(s, b)) {
        body.right -= kArrow;
        DrawArrow(dc, r, enabled);
    }
    int shift = (b.state & TBSTATE_PRESSED) ? 1 : 0;
    bool list = (Style(h) & TBSTYLE_LIST) != 0;
    int ix = list ? body.left + 3 : (body.left + body.right - s.bitmap_cx) / 2;
    int iy = list ? (body.top + body.bottom - s.bitmap_cy) / 2 : body.top + 3;
    DrawImage(s, dc, k, ix + shift, iy + shift, enabled);
    std::string text = TextOf(s, b);
    if (text.empty()) return;
    RECT tr = list ? RECT{ix + s.bitmap_cx + 3, body.top, body.right - 2, body.bottom}
                   : RECT{body.left + 2, iy + s.bitmap_cy + 1, body.right - 2, body.bottom - 1};
    OffsetRect(&tr, shift, shift);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Sys(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    UINT fmt = list ? DT_LEFT | DT_VCENTER | DT_SINGLELINE : DT_CENTER | DT_TOP | DT_SINGLELINE;
    DrawTextA(dc, text.c_str(), -1, &tr, fmt | DT_END_ELLIPSIS | ((b.style & BTNS_NOPREFIX) ? DT_NOPREFIX : 0));
}

}  // namespace

void Paint(HWND h, const Toolbar& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, Sys(COLOR_BTNFACE));
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    std::vector<RECT> rects = Layout(h, s);
    for (size_t k = 0; k < rects.size(); ++k) {
        const Button& b = s.buttons[k];
        if (Hidden(b)) continue;
        if (IsSep(b)) DrawSeparator(h, dc, rects[k]);
        else DrawButton(h, s, dc, int(k), rects[k]);
    }
    SelectObject(dc, old_font);
}

}  // namespace plat::commctrl::toolbar
