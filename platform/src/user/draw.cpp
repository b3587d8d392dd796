// The window system's drawing helpers: rectangles with brushes, 3-D edges, frame controls,
// focus rectangles, formatted text (DrawText) and DrawState.
#include <algorithm>
#include <cstring>

#include "user/icons.h"
#include "gdi/text.h"
#include "windows.h"

namespace plat::gdi {
namespace {

// The window system guards its colours with a lock of its own; they are read before the
// drawing layer takes the global lock, never under it, so the two locks are never nested
// this way round.
thread_local COLORREF tSys[31];
void CaptureSysColors() {
    for (int i = 0; i < 31; ++i) tSys[i] = GetSysColor(i);
}
COLORREF SysColor(int index) { return index >= 0 && index < 31 ? tSys[index] : 0; }

uint32_t SysPx(int index) { return Px(SysColor(index)); }

void ShiftRect(RECT* r, int dx, int dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

Paint Solid(uint32_t px, int rop2 = R2_COPYPEN) {
    Paint p;
    p.kind = Paint::SolidColor;
    p.color = px;
    p.rop2 = rop2;
    return p;
}

// A brush argument of the helpers: a handle or a system colour index plus one. Resolved
// before the global lock is taken (see CaptureSysColors).
std::shared_ptr<Brush> BrushArg(HBRUSH h) {
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    if (v > 0 && v <= 31) {
        return Brushes().Get(GetSysColorBrush(int(v - 1)));
    }
    return Brushes().Get(h);
}

RECT ToTarget(const Canvas& cv, const RECT& r) {
    return RECT{r.left + cv.ox(), r.top + cv.oy(), r.right + cv.ox(), r.bottom + cv.oy()};
}

void HLine(Canvas& cv, int x0, int x1, int y, uint32_t c) { FillRectT(cv, RECT{x0, y, x1, y + 1}, Solid(c)); }
void VLine(Canvas& cv, int x, int y0, int y1, uint32_t c) { FillRectT(cv, RECT{x, y0, x + 1, y1}, Solid(c)); }

// One ring of an edge: top and left in `tl`, bottom and right in `br`; the top-right and
// bottom-left corner pixels belong to the bottom-right colour.
void EdgeRing(Canvas& cv, const RECT& r, UINT sides, uint32_t tl, uint32_t br) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (sides & BF_TOP) HLine(cv, r.left, r.right - 1, r.top, tl);
    if (sides & BF_LEFT) VLine(cv, r.left, r.top, r.bottom - 1, tl);
    if (sides & BF_BOTTOM) HLine(cv, r.left, r.right, r.bottom - 1, br);
    if (sides & BF_RIGHT) VLine(cv, r.right - 1, r.top, r.bottom, br);
}

void Shrink(RECT& r, UINT sides) {
    if (sides & BF_LEFT) ++r.left;
    if (sides & BF_TOP) ++r.top;
    if (sides & BF_RIGHT) --r.right;
    if (sides & BF_BOTTOM) --r.bottom;
}

void DrawEdgeT(Canvas& cv, RECT& r, UINT edge, UINT flags) {
    uint32_t outerTL = 0, outerBR = 0, innerTL = 0, innerBR = 0;
    bool outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    if (flags & BF_MONO) {
        outerTL = outerBR = SysPx(COLOR_WINDOWFRAME);
        innerTL = innerBR = SysPx(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        outerTL = outerBR = SysPx(COLOR_BTNSHADOW);
        innerTL = innerBR = SysPx(COLOR_BTNFACE);
    } else {
        bool soft = flags & BF_SOFT;
        if (edge & BDR_RAISEDOUTER) {
            outerTL = SysPx(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT);
            outerBR = SysPx(COLOR_3DDKSHADOW);
        } else if (edge & BDR_SUNKENOUTER) {
            outerTL = SysPx(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
            outerBR = SysPx(COLOR_BTNHIGHLIGHT);
        }
        if (edge & BDR_RAISEDINNER) {
            innerTL = SysPx(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
            innerBR = SysPx(COLOR_BTNSHADOW);
        } else if (edge & BDR_SUNKENINNER) {
            innerTL = SysPx(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
            innerBR = SysPx(COLOR_3DLIGHT);
        }
    }
    if (flags & BF_DIAGONAL) {
        // A diagonal edge: a line across the box in the outer colour, the inner just beside it.
        int w = r.right - r.left, h = r.bottom - r.top;
        int n = std::min(w, h);
        bool up = (flags & (BF_TOP | BF_RIGHT)) == (BF_TOP | BF_RIGHT) || (flags & (BF_BOTTOM | BF_LEFT)) == (BF_BOTTOM | BF_LEFT);
        Paint po = Solid(up ? outerBR : outerTL), pi = Solid(up ? innerBR : innerTL);
        for (int i = 0; i < n; ++i) {
            int x = r.left + i;
            int y = up ? r.bottom - 1 - i : r.top + i;
            if (outer) FillRectT(cv, RECT{x, y, x + 1, y + 1}, po);
            if (inner && i + 1 < n) FillRectT(cv, RECT{x + 1, y, x + 2, y + 1}, pi);
        }
        if (flags & BF_MIDDLE) {
            // The half of the box on the far side of the line from the named corner.
            POINT tri[3];
            if (up) {
                bool endTopRight = (flags & (BF_TOP | BF_RIGHT)) == (BF_TOP | BF_RIGHT);
                tri[0] = POINT{r.left + 1, r.bottom};
                tri[1] = POINT{r.left + n, r.bottom - n + 1};
                tri[2] = endTopRight ? POINT{r.left + n, r.bottom} : POINT{r.left + 1, r.bottom - n + 1};
            } else {
                bool endBottomRight = (flags & (BF_BOTTOM | BF_RIGHT)) == (BF_BOTTOM | BF_RIGHT);
                tri[0] = POINT{r.left + 1, r.top};
                tri[1] = POINT{r.left + n, r.top + n - 1};
                tri[2] = endBottomRight ? POINT{r.left + n, r.top} : POINT{r.left + 1, r.top + n - 1};
            }
            const POINT* polys[1] = {tri};
            int three = 3;
            RECT lim = cv.clip->Bounds();
            FillRegion(cv, PolygonRegion(polys, &three, 1, ALTERNATE, &lim), Solid(SysPx(COLOR_BTNFACE)));
        }
        return;
    }
    UINT sides = flags & BF_RECT;
    if (outer) {
        EdgeRing(cv, r, sides, outerTL, outerBR);
        Shrink(r, sides);
    }
    if (inner) {
        EdgeRing(cv, r, sides, innerTL, innerBR);
        Shrink(r, sides);
    }
    if (flags & BF_MIDDLE) FillRectT(cv, r, Solid(SysPx((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE)));
}

// Filled triangle arrow pointing `dir` (0 up, 1 down, 2 left, 3 right) centred in r.
void Arrow(Canvas& cv, const RECT& r, int dir, uint32_t color) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int size = std::max(2, std::min(w, h) / 3);  // the long side of the triangle is 2*size-1
    int cx = r.left + w / 2, cy = r.top + h / 2;
    for (int i = 0; i < size; ++i) {
        int len = 2 * (size - i) - 1;
        if (dir <= 1) {
            int y = dir == 1 ? cy - size / 2 + i : cy + size / 2 - i;
            FillRectT(cv, RECT{cx - (len / 2), y, cx - (len / 2) + len, y + 1}, Solid(color));
        } else {
            int x = dir == 3 ? cx - size / 2 + i : cx + size / 2 - i;
            FillRectT(cv, RECT{x, cy - (len / 2), x + 1, cy - (len / 2) + len}, Solid(color));
        }
    }
}

void CheckMark(Canvas& cv, const RECT& r, uint32_t color) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int s = std::max(3, std::min(w, h) * 7 / 13);
    int x0 = r.left + (w - s) / 2, y0 = r.top + (h - s) / 2 + s / 3;
    // Short stroke down-right, long stroke up-right, three pixels thick.
    int third = s / 3;
    for (int i = 0; i < s; ++i) {
        int y = i <= third ? y0 + i : y0 + third - (i - third);
        FillRectT(cv, RECT{x0 + i, y, x0 + i + 1, y + 3}, Solid(color));
    }
}

void CrossMark(Canvas& cv, const RECT& r, uint32_t color) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int s = std::max(4, std::min(w, h) / 2);
    int x0 = r.left + (w - s) / 2, y0 = r.top + (h - s) / 2;
    for (int i = 0; i < s; ++i) {
        FillRectT(cv, RECT{x0 + i, y0 + i, x0 + i + 2, y0 + i + 1}, Solid(color));
        FillRectT(cv, RECT{x0 + s - 2 - i, y0 + i, x0 + s - i, y0 + i + 1}, Solid(color));
    }
}

bool DrawFrameControlT(Canvas& cv, RECT& r, UINT type, UINT state) {
    uint32_t face = SysPx(COLOR_BTNFACE);
    uint32_t text = SysPx((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    UINT kind = state & 0xFF;
    auto button = [&](bool pushed) {
        RECT in = r;
        if (state & DFCS_FLAT)
            DrawEdgeT(cv, in, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_FLAT);
        else if (state & DFCS_MONO)
            DrawEdgeT(cv, in, BDR_OUTER, BF_RECT | BF_MONO);
        else
            DrawEdgeT(cv, in, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (pushed ? 0 : BF_SOFT));
        if (!(state & DFCS_TRANSPARENT)) FillRectT(cv, in, Solid(face));
        if (pushed) ShiftRect(&in, 1, 1);
        return in;
    };
    switch (type) {
        case DFC_BUTTON: {
            if (kind & DFCS_BUTTONPUSH) {
                RECT in = button(state & (DFCS_PUSHED | DFCS_CHECKED));
                if (state & DFCS_ADJUSTRECT) r = in;
                return true;
            }
            int size = std::min<int>(13, std::min(r.right - r.left, r.bottom - r.top));
            RECT box{r.left, r.top + (r.bottom - r.top - size) / 2, r.left + size, r.top + (r.bottom - r.top - size) / 2 + size};
            bool radio = (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) != 0;
            uint32_t inside = SysPx((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
            if (kind & DFCS_BUTTONRADIOMASK) {
                // The mask of a radio button: a black disc on white.
                FillRectT(cv, box, Solid(0xFFFFFF));
                FillRegion(cv, RoundRectRegion(box.left, box.top, box.right, box.bottom, size, size), Solid(0));
                return true;
            }
            if (radio) {
                Region outer = RoundRectRegion(box.left, box.top, box.right, box.bottom, size, size);
                Region inner = RoundRectRegion(box.left + 2, box.top + 2, box.right - 2, box.bottom - 2, size - 4, size - 4);
                Region ring = outer;
                ring.Subtract(inner);
                // Upper-left half of the ring in shadow, lower-right in highlight.
                Region ul, lr;
                for (const RECT& rr : ring.Rects())
                    for (int y = rr.top; y < rr.bottom; ++y)
                        for (int x = rr.left; x < rr.right; ++x) {
                            RECT px{x, y, x + 1, y + 1};
                            ((x - box.left) + (y - box.top) < size ? ul : lr).Union(px);
                        }
                FillRegion(cv, ul, Solid(SysPx(COLOR_BTNSHADOW)));
                FillRegion(cv, lr, Solid(SysPx(COLOR_BTNHIGHLIGHT)));
                FillRegion(cv, inner, Solid(inside));
                if (state & DFCS_CHECKED) {
                    int d = std::max(2, size / 3);
                    int cx = box.left + (size - d) / 2, cy = box.top + (size - d) / 2;
                    Region dot = RoundRectRegion(cx, cy, cx + d, cy + d, d, d);
                    FillRegion(cv, dot, Solid(text));
                }
            } else {
                RECT in = box;
                if (state & DFCS_FLAT)
                    DrawEdgeT(cv, in, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
                else if (state & DFCS_MONO)
                    DrawEdgeT(cv, in, BDR_SUNKENOUTER, BF_RECT | BF_MONO);
                else
                    DrawEdgeT(cv, in, EDGE_SUNKEN, BF_RECT);
                bool indeterminate = (kind & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
                FillRectT(cv, in, Solid(indeterminate ? face : inside));
                if (state & DFCS_CHECKED) CheckMark(cv, in, indeterminate ? SysPx(COLOR_BTNSHADOW) : text);
            }
            return true;
        }
        case DFC_CAPTION: {
            RECT in = button(state & DFCS_PUSHED);
            switch (kind) {
                case DFCS_CAPTIONCLOSE: CrossMark(cv, in, text); break;
                case DFCS_CAPTIONMIN: {
                    int w = (in.right - in.left) / 2;
                    int x0 = in.left + (in.right - in.left - w) / 2, y = in.bottom - (in.bottom - in.top) / 3;
                    FillRectT(cv, RECT{x0, y, x0 + w, y + 2}, Solid(text));
                    break;
                }
                case DFCS_CAPTIONMAX:
                case DFCS_CAPTIONRESTORE: {
                    int s = std::max(4, std::min(in.right - in.left, in.bottom - in.top) * 2 / 3);
                    RECT b{in.left + (in.right - in.left - s) / 2, in.top + (in.bottom - in.top - s) / 2, 0, 0};
                    b.right = b.left + s;
                    b.bottom = b.top + s;
                    if (kind == DFCS_CAPTIONRESTORE) {
                        int o = s / 3;
                        RECT back{b.left + o, b.top, b.right, b.bottom - o};
                        FillRectT(cv, RECT{back.left, back.top, back.right, back.top + 2}, Solid(text));
                        FillRectT(cv, RECT{back.right - 1, back.top, back.right, back.bottom}, Solid(text));
                        b = RECT{b.left, b.top + o, b.right - o, b.bottom};
                        FillRectT(cv, RECT{b.left, b.top, b.right, b.bottom}, Solid(face));
                    }
                    FillRectT(cv, RECT{b.left, b.top, b.right, b.top + 2}, Solid(text));
                    FillRectT(cv, RECT{b.left, b.bottom - 1, b.right, b.bottom}, Solid(text));
                    FillRectT(cv, RECT{b.left, b.top, b.left + 1, b.bottom}, Solid(text));
                    FillRectT(cv, RECT{b.right - 1, b.top, b.right, b.bottom}, Solid(text));
                    break;
                }
                case DFCS_CAPTIONHELP: {
                    auto qm = DecodeText("?", 1);
                    FontFace& f = FaceOf(*cv.dc);
                    int w = RunWidth(*cv.dc, f, qm.data(), 1);
                    COLORREF old = cv.dc->st.textColor;
                    cv.dc->st.textColor = Cr(text);
                    DrawRun(cv, f, (in.left + in.right - w) / 2, (in.top + in.bottom - f.height) / 2 + f.ascent, qm.data(),
                            1, nullptr, &in, false, false);
                    cv.dc->st.textColor = old;
                    break;
                }
                default: return false;
            }
            return true;
        }
        case DFC_SCROLL: {
            if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
                if (!(state & DFCS_TRANSPARENT)) FillRectT(cv, r, Solid(face));
                int s = std::min(r.right - r.left, r.bottom - r.top);
                for (int k = 1; k + 1 < s; k += 4)
                    for (int i = 0; i < k && i < s; ++i) {
                        int x = r.right - 1 - i, y = r.bottom - k + i;
                        FillRectT(cv, RECT{x, y, x + 1, y + 1}, Solid(SysPx(COLOR_BTNHIGHLIGHT)));
                        FillRectT(cv, RECT{x - 1, y + 1, x, y + 2}, Solid(SysPx(COLOR_BTNSHADOW)));
                    }
                return true;
            }
            RECT in = button(state & DFCS_PUSHED);
            int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
            if (state & DFCS_INACTIVE) {
                RECT sh = in;
                ShiftRect(&sh, 1, 1);
                Arrow(cv, sh, dir, SysPx(COLOR_BTNHIGHLIGHT));
                Arrow(cv, in, dir, SysPx(COLOR_BTNSHADOW));
            } else {
                Arrow(cv, in, dir, text);
            }
            return true;
        }
        case DFC_MENU:
        case DFC_POPUPMENU: {
            // Menu glyphs are drawn black on white, to be used as masks.
            FillRectT(cv, r, Solid(0xFFFFFF));
            if (kind == DFCS_MENUARROW) Arrow(cv, r, 3, 0);
            else if (kind == DFCS_MENUARROWRIGHT) Arrow(cv, r, 2, 0);
            else if (kind == DFCS_MENUCHECK) CheckMark(cv, r, 0);
            else if (kind == DFCS_MENUBULLET) {
                int d = std::max(2, std::min(r.right - r.left, r.bottom - r.top) / 3);
                int cx = (r.left + r.right - d) / 2, cy = (r.top + r.bottom - d) / 2;
                FillRegion(cv, RoundRectRegion(cx, cy, cx + d, cy + d, d, d), Solid(0));
            } else
                return false;
            return true;
        }
        default: return false;
    }
}

// ---- DrawText ---------------------------------------------------------------------------

struct Item {
    TextChar ch;
    bool underline = false;
};

struct Line {
    std::vector<Item> items;
    int width = 0;
};

struct Layout {
    DC& dc;
    FontFace& face;
    int tabW;
    bool tabs;
    int Advance(const Item& it, int x) const {
        if (it.ch.cp == '\t' && tabs) return tabW > 0 ? (x / tabW + 1) * tabW - x : 0;
        return face.Get(it.ch.cp).advance + dc.st.charExtra;
    }
    int Width(const std::vector<Item>& v, size_t from = 0, size_t to = SIZE_MAX) const {
        int x = 0;
        for (size_t i = from; i < std::min(to, v.size()); ++i) x += Advance(v[i], x);
        return x;
    }
};

std::vector<Item> Ellipsis(const Layout& L) {
    std::vector<Item> e;
    for (int i = 0; i < 3; ++i) e.push_back(Item{TextChar{'.', -1, 0}, false});
    (void)L;
    return e;
}

void ApplyEllipsis(const Layout& L, Line& line, int width, UINT fmt) {
    if (line.width <= width) return;
    auto dots = Ellipsis(L);
    int dotsW = L.Width(dots);
    std::vector<Item>& v = line.items;
    if (fmt & DT_PATH_ELLIPSIS) {
        size_t sep = SIZE_MAX;
        for (size_t i = v.size(); i-- > 0;)
            if (v[i].ch.cp == '/' || v[i].ch.cp == '\\') {
                sep = i;
                break;
            }
        if (sep != SIZE_MAX && sep > 0) {
            std::vector<Item> tail(v.begin() + long(sep), v.end());
            int tailW = L.Width(tail);
            size_t keep = sep;
            while (keep > 0) {
                std::vector<Item> head(v.begin(), v.begin() + long(keep));
                if (L.Width(head) + dotsW + tailW <= width) break;
                --keep;
            }
            if (keep > 0 || dotsW + tailW <= width) {
                std::vector<Item> out(v.begin(), v.begin() + long(keep));
                out.insert(out.end(), dots.begin(), dots.end());
                out.insert(out.end(), tail.begin(), tail.end());
                v = out;
                line.width = L.Width(v);
                if (line.width <= width) return;
            }
        }
    }
    // End (or word) ellipsis: as many leading characters as fit before the dots, found in one
    // pass over the line (measuring every prefix again took the square of a long line's length).
    size_t keep = 0;
    int x = 0;
    for (size_t i = 0;; ++i) {
        if (x + dotsW <= width) keep = i;
        if (i == v.size()) break;
        x += L.Advance(v[i], x);
    }
    if (fmt & DT_WORD_ELLIPSIS) {
        size_t k = keep;
        while (k > 0 && v[k - 1].ch.cp != ' ' && k < v.size() && v[k].ch.cp != ' ') --k;
        if (k > 0) keep = k;
    }
    while (keep > 0 && v[keep - 1].ch.cp == ' ') --keep;
    v.resize(keep);
    v.insert(v.end(), dots.begin(), dots.end());
    line.width = L.Width(v);
}

int DrawTextT(std::shared_ptr<DC> d, const char* text, int count, RECT* rc, UINT fmt, DRAWTEXTPARAMS* params) {
    if (!rc) return 0;
    if (count < 0) count = text ? int(std::strlen(text)) : 0;
    if (!text) count = 0;
    FontFace& face = FaceOf(*d);
    int tabCount = 8;
    if (fmt & DT_TABSTOP) {
        tabCount = int((fmt >> 8) & 0xFF);
        fmt &= ~UINT(0xFF00);  // that byte is the tab count, not flags
    }
    if (params && params->iTabLength > 0) tabCount = params->iTabLength;
    Layout L{*d, face, tabCount * face.aveCharWidth, (fmt & DT_EXPANDTABS) != 0};
    int lineH = face.height + ((fmt & DT_EXTERNALLEADING) ? face.externalLeading : 0);
    int leftM = params ? params->iLeftMargin : 0, rightM = params ? params->iRightMargin : 0;
    int left = rc->left + leftM, right = rc->right - rightM;
    int width = right - left;

    // Characters, with mnemonic prefixes resolved.
    auto chars = DecodeText(text, count);
    std::vector<Item> items;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (!(fmt & DT_NOPREFIX) && chars[i].cp == '&') {
            if (i + 1 < chars.size()) {
                ++i;
                bool ul = chars[i].cp != '&' && !(fmt & DT_HIDEPREFIX);
                items.push_back(Item{chars[i], ul});
            }
            continue;
        }
        items.push_back(Item{chars[i], false});
    }
    // Lines.
    std::vector<Line> lines;
    bool single = fmt & DT_SINGLELINE;
    {
        Line cur;
        for (size_t i = 0; i < items.size(); ++i) {
            uint32_t c = items[i].ch.cp;
            if (c == '\r' || c == '\n') {
                if (single) continue;
                if (c == '\r' && i + 1 < items.size() && items[i + 1].ch.cp == '\n') ++i;
                lines.push_back(cur);
                cur = Line();
                continue;
            }
            cur.items.push_back(items[i]);
        }
        lines.push_back(cur);
    }
    if ((fmt & DT_WORDBREAK) && !single) {
        std::vector<Line> wrapped;
        for (Line& ln : lines) {
            std::vector<Item>& v = ln.items;
            size_t start = 0;
            if (v.empty()) {
                wrapped.push_back(Line());
                continue;
            }
            while (start < v.size()) {
                size_t end = start, lastBreak = SIZE_MAX;
                int x = 0;
                while (end < v.size()) {
                    int a = L.Advance(v[end], x);
                    if (x + a > width && end > start) {
                        // A blank that does not fit ends the line there: blanks at a break
                        // are dropped, so they never push the last word onto the next line.
                        if (v[end].ch.cp == ' ' || v[end].ch.cp == '\t') lastBreak = end;
                        break;
                    }
                    x += a;
                    if (v[end].ch.cp == ' ' || v[end].ch.cp == '\t') lastBreak = end;
                    ++end;
                }
                if (end < v.size()) {
                    if (lastBreak != SIZE_MAX && lastBreak >= start) {
                        end = lastBreak;  // break at the space; the space itself is dropped
                    } else if (!(fmt & DT_EDITCONTROL)) {
                        // A word longer than the line stays whole.
                        while (end < v.size() && v[end].ch.cp != ' ') ++end;
                    }
                }
                Line out;
                out.items.assign(v.begin() + long(start), v.begin() + long(end));
                while (!out.items.empty() && out.items.back().ch.cp == ' ') out.items.pop_back();
                wrapped.push_back(out);
                start = end;
                while (start < v.size() && v[start].ch.cp == ' ') ++start;
            }
        }
        lines = wrapped;
    }
    int maxW = 0;
    for (Line& ln : lines) {
        ln.width = L.Width(ln.items);
        if (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) ApplyEllipsis(L, ln, width, fmt);
        maxW = std::max(maxW, ln.width);
    }
    int total = int(lines.size()) * lineH;
    int top = rc->top;
    if (single) {
        if (fmt & DT_VCENTER)
            top = rc->top + (rc->bottom - rc->top - lineH) / 2;
        else if (fmt & DT_BOTTOM)
            top = rc->bottom - lineH;
    }
    if (params) params->uiLengthDrawn = UINT(count);
    if (fmt & DT_CALCRECT) {
        // Only the right side and the bottom move, whatever the alignment.
        rc->right = left + maxW + rightM;
        rc->bottom = rc->top + total;
        return total;
    }
    Canvas cv(d);
    if (cv.ok) {
        int ox = cv.ox(), oy = cv.oy();
        RECT clip{rc->left + ox, rc->top + oy, rc->right + ox, rc->bottom + oy};
        const RECT* clipP = (fmt & DT_NOCLIP) ? nullptr : &clip;
        int y = top;
        for (const Line& ln : lines) {
            // Like a multi-line edit control, a partly visible last line is not shown.
            if ((fmt & DT_EDITCONTROL) && !single && y + lineH > rc->bottom && y > rc->top) break;
            int x = left;
            if (fmt & DT_CENTER)
                x = left + (width - ln.width) / 2;
            else if (fmt & DT_RIGHT)
                x = right - ln.width;
            int tx = x + ox, base = y + oy + face.ascent;
            if (d->st.bkMode == OPAQUE && !(fmt & DT_PREFIXONLY)) {
                RECT b{tx, y + oy, tx + ln.width, y + oy + face.height};
                if (clipP) {
                    b.left = std::max(b.left, clip.left);
                    b.right = std::min(b.right, clip.right);
                    b.top = std::max(b.top, clip.top);
                    b.bottom = std::min(b.bottom, clip.bottom);
                }
                FillRectT(cv, b, Solid(Px(d->st.bkColor)));
            }
            // Draw character by character to place tabs and prefix underlines.
            int pos = 0;
            std::vector<TextChar> run;
            std::vector<int> adv;
            for (const Item& it : ln.items) {
                int a = L.Advance(it, pos);
                if (it.underline) {
                    uint32_t c = Px(d->st.textColor);
                    RECT u{tx + pos, base + 1, tx + pos + a, base + 2};
                    if (clipP) {
                        u.left = std::max(u.left, clip.left);
                        u.right = std::min(u.right, clip.right);
                        if (u.top < clip.top || u.bottom > clip.bottom) u.right = u.left;
                    }
                    FillRectT(cv, u, Solid(c));
                }
                TextChar tc = it.ch;
                if (tc.cp == '\t') tc.cp = ' ';
                run.push_back(tc);
                adv.push_back(a);
                pos += a;
            }
            if (!(fmt & DT_PREFIXONLY)) {
                const LOGFONTA& lf = d->st.fontObj->lf;
                DrawRun(cv, face, tx, base, run.data(), run.size(), adv.data(), clipP, lf.lfUnderline != 0,
                        lf.lfStrikeOut != 0);
            }
            y += lineH;
        }
    }
    if (single && (fmt & (DT_VCENTER | DT_BOTTOM))) return top - rc->top + lineH;
    return total;
}

}  // namespace
}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

WINUSERAPI int WINAPI FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    std::shared_ptr<Brush> b = BrushArg(brush);
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc || !b) return 0;
    Canvas cv(d);
    if (!cv.ok) return 1;
    Paint p = BrushPaint(*d, b.get(), cv.px.bpp);
    p.rop2 = R2_COPYPEN;  // a pattern copy whatever the DC's mix mode
    FillRectT(cv, ToTarget(cv, *rc), p);
    return 1;
}

WINUSERAPI int WINAPI FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    std::shared_ptr<Brush> b = BrushArg(brush);
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc || !b) return 0;
    Canvas cv(d);
    if (!cv.ok) return 1;
    RECT r = ToTarget(cv, *rc);
    if (r.right <= r.left || r.bottom <= r.top) return 1;
    Paint p = BrushPaint(*d, b.get(), cv.px.bpp);
    p.rop2 = R2_COPYPEN;
    FillRectT(cv, RECT{r.left, r.top, r.right, r.top + 1}, p);
    if (r.bottom - r.top > 1) FillRectT(cv, RECT{r.left, r.bottom - 1, r.right, r.bottom}, p);
    FillRectT(cv, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, p);
    if (r.right - r.left > 1) FillRectT(cv, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, p);
    return 1;
}

WINUSERAPI BOOL WINAPI InvertRect(HDC hdc, const RECT* rc) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc) return FALSE;
    Canvas cv(d);
    if (cv.ok) FillRectT(cv, ToTarget(cv, *rc), Solid(0, R2_NOT));
    return TRUE;
}

WINUSERAPI BOOL WINAPI DrawFocusRect(HDC hdc, const RECT* rc) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    RECT r = ToTarget(cv, *rc);
    if (r.right <= r.left || r.bottom <= r.top) return TRUE;
    // Every other pixel of the outline inverted: drawing twice restores the image.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) FillRectT(cv, RECT{x, y, x + 1, y + 1}, Solid(0, R2_NOT));
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 > r.left) dot(r.right - 1, y);
    }
    return TRUE;
}

WINUSERAPI BOOL WINAPI DrawEdge(HDC hdc, LPRECT rc, UINT edge, UINT flags) {
    CaptureSysColors();
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc) return FALSE;
    Canvas cv(d);
    RECT r = ToTarget(cv, *rc);
    if (cv.ok) {
        DrawEdgeT(cv, r, edge, flags);
    } else {
        // Nothing visible, but BF_ADJUST still reports the interior.
        RECT tmp = r;
        if (edge & BDR_OUTER) Shrink(tmp, flags & BF_RECT);
        if (edge & BDR_INNER) Shrink(tmp, flags & BF_RECT);
        r = tmp;
    }
    if ((flags & BF_ADJUST) && !(flags & BF_DIAGONAL))
        *rc = RECT{r.left - cv.ox(), r.top - cv.oy(), r.right - cv.ox(), r.bottom - cv.oy()};
    return TRUE;
}

WINUSERAPI BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT rc, UINT type, UINT state) {
    CaptureSysColors();
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !rc) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    RECT r = ToTarget(cv, *rc);
    if (!DrawFrameControlT(cv, r, type, state)) return FALSE;
    if (state & DFCS_ADJUSTRECT) *rc = RECT{r.left - cv.ox(), r.top - cv.oy(), r.right - cv.ox(), r.bottom - cv.oy()};
    return TRUE;
}

WINUSERAPI int WINAPI DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rc, UINT format) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return 0;
    return DrawTextT(d, text, count, rc, format, nullptr);
}

WINUSERAPI int WINAPI DrawTextExA(HDC hdc, LPSTR text, int count, LPRECT rc, UINT format, LPDRAWTEXTPARAMS params) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return 0;
    if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
    return DrawTextT(d, text, count, rc, format, params);
}

WINUSERAPI BOOL WINAPI DrawStateA(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y,
                                  int cx, int cy, UINT flags) {
    UINT type = flags & 0xF;
    bool disabled = flags & DSS_DISABLED;
    CaptureSysColors();
    if (type == DST_TEXT || type == DST_PREFIXTEXT) {
        const char* s = reinterpret_cast<const char*>(data);
        int n = wdata ? int(wdata) : (s ? int(std::strlen(s)) : 0);
        UINT fmt = DT_SINGLELINE | DT_NOCLIP | (type == DST_TEXT ? DT_NOPREFIX : 0);
        if (flags & DSS_HIDEPREFIX) fmt |= DT_HIDEPREFIX;
        if (flags & DSS_PREFIXONLY) fmt |= DT_PREFIXONLY;
        if (flags & DSS_RIGHT) fmt |= DT_RIGHT;
        RECT r{x, y, x + (cx ? cx : 10000), y + (cy ? cy : 10000)};
        COLORREF oldText = GetTextColor(hdc);
        int oldMode = SetBkMode(hdc, TRANSPARENT);
        if (disabled) {
            RECT r2 = r;
            r2.left += 1;
            r2.right += 1;
            r2.top += 1;
            r2.bottom += 1;
            SetTextColor(hdc, SysColor(COLOR_BTNHIGHLIGHT));
            DrawTextA(hdc, s, n, &r2, fmt);
            SetTextColor(hdc, SysColor(COLOR_BTNSHADOW));
        } else if (brush && (flags & DSS_MONO)) {
            LOGBRUSH lb{};
            if (GetObjectA(brush, sizeof(lb), &lb)) SetTextColor(hdc, lb.lbColor);
        }
        DrawTextA(hdc, s, n, &r, fmt);
        SetTextColor(hdc, oldText);
        SetBkMode(hdc, oldMode);
        return TRUE;
    }
    if (type == DST_ICON || type == DST_BITMAP) {
        HICON icon = nullptr;
        int w = cx, h = cy;
        {
            Guard g(GlobalLock());
            if (type == DST_ICON) {
                IconObj* ic = Icons().GetRaw(reinterpret_cast<HICON>(data));
                if (!ic) return FALSE;
                if (!w) w = ic->width;
                if (!h) h = ic->height;
                icon = reinterpret_cast<HICON>(data);
            } else {
                Bitmap* b = Bitmaps().GetRaw(reinterpret_cast<HBITMAP>(data));
                if (!b) return FALSE;
                if (!w) w = b->px.width;
                if (!h) h = b->px.height;
            }
        }
        if (!disabled) {
            if (icon) return DrawIconEx(hdc, x, y, icon, w, h, 0, nullptr, DI_NORMAL);
            HDC mem = CreateCompatibleDC(hdc);
            HGDIOBJ old = SelectObject(mem, reinterpret_cast<HBITMAP>(data));
            BitBlt(hdc, x, y, w, h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
            return TRUE;
        }
        // Disabled: the image's shape embossed in highlight and shadow colours. The shape is
        // the icon's opaque pixels, or the bitmap's pixels that differ from its top-left one.
        HDC mem = CreateCompatibleDC(hdc);
        HBITMAP img = CreateCompatibleBitmap(hdc, w, h);
        HGDIOBJ old = SelectObject(mem, img);
        RECT all{0, 0, w, h};
        HBRUSH white = HBRUSH(GetStockObject(WHITE_BRUSH));
        FillRect(mem, &all, white);
        if (icon) {
            DrawIconEx(mem, 0, 0, icon, w, h, 0, nullptr, DI_MASK);
        } else {
            HDC src = CreateCompatibleDC(hdc);
            HGDIOBJ o2 = SelectObject(src, reinterpret_cast<HBITMAP>(data));
            COLORREF key = GetPixel(src, 0, 0);
            for (int yy = 0; yy < h; ++yy)
                for (int xx = 0; xx < w; ++xx) SetPixelV(mem, xx, yy, GetPixel(src, xx, yy) == key ? 0xFFFFFF : 0);
            SelectObject(src, o2);
            DeleteDC(src);
        }
        COLORREF hi = SysColor(COLOR_BTNHIGHLIGHT), sh = SysColor(COLOR_BTNSHADOW);
        for (int pass = 0; pass < 2; ++pass)
            for (int yy = 0; yy < h; ++yy)
                for (int xx = 0; xx < w; ++xx)
                    if (GetPixel(mem, xx, yy) == 0) SetPixelV(hdc, x + xx + (pass ? 0 : 1), y + yy + (pass ? 0 : 1), pass ? sh : hi);
        SelectObject(mem, old);
        DeleteObject(img);
        DeleteDC(mem);
        return TRUE;
    }
    if (type == DST_COMPLEX && proc) {
        // The callback draws; it is program code, so no lock is held around it.
        return proc(hdc, data, wdata, cx, cy);
    }
    return FALSE;
}
