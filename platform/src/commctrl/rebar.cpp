// The rebar: bands in rows, each a gripper, a title and a child window it places, sized by
// their widths and their children's heights; a gripper dragged widens or narrows the band
// before it, and the bar tells its parent when its height changes.
#include <algorithm>
#include <string>
#include <vector>

#include "commctrl/bars.h"
#include "commctrl/common.h"

namespace plat::commctrl {
namespace {

constexpr int kGripper = 8;   // a band's gripper, before its title
constexpr int kTitleGap = 4;  // between the title and the child
constexpr int kBandPadY = 2;  // above and below a band's child
constexpr int kBorder = 2;    // the line between bands and rows with RBS_BANDBORDERS

struct Band {
    UINT style = 0;
    COLORREF fore = CLR_DEFAULT, back = CLR_DEFAULT;
    std::string text;
    int image = -1;
    HWND child = nullptr;
    int min_cx = 0, min_cy = 0;
    int cx = 0;
    HBITMAP background = nullptr;
    UINT id = 0;
    int cy_child = 0, max_cy = 0, integral = 0;
    int ideal = 0;
    LPARAM lparam = 0;
    int header = -1;  // RBBIM_HEADERSIZE; -1 measured
};

struct Rebar {
    HWND hwnd = nullptr;
    HWND notify = nullptr;
    std::vector<Band> bands;
    HIMAGELIST images = nullptr;
    HFONT font = nullptr;
    COLORREF bk = CLR_DEFAULT, text = CLR_DEFAULT;
    int height = 0;  // the last laid-out height, for RBN_HEIGHTCHANGE
    int drag = -1;   // band whose gripper is held
    int drag_x = 0;
    bool laying_out = false;
};

struct Placed {
    RECT band{};   // the whole band
    RECT child{};  // where the child goes
    int row = 0;
};

Rebar* R(HWND h) { return State<Rebar>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
bool Visible(const Band& b) { return !(b.style & RBBS_HIDDEN); }
HWND NotifyWindow(HWND h, const Rebar& s) { return s.notify ? s.notify : GetParent(h); }

int VisibleCount(const Rebar& s) {
    return int(std::count_if(s.bands.begin(), s.bands.end(), Visible));
}

bool HasGripper(const Rebar& s, const Band& b) {
    if (b.style & (RBBS_NOGRIPPER | RBBS_FIXEDSIZE)) return false;
    return (b.style & RBBS_GRIPPERALWAYS) || VisibleCount(s) > 1;
}

int HeaderWidth(const Rebar& s, const Band& b) {
    if (b.header >= 0) return b.header;
    int w = HasGripper(s, b) ? kGripper : 2;
    int icx = 0, icy = 0;
    if (b.image >= 0 && s.images && ImageList_GetIconSize(s.images, &icx, &icy)) w += icx + kTitleGap;
    if (!b.text.empty() && !(b.style & RBBS_HIDETITLE)) w += TextWidth(s.font, b.text) + kTitleGap;
    return w;
}

int BandHeight(const Rebar& s, const Band& b) {
    int child = b.min_cy;
    if ((b.style & RBBS_VARIABLEHEIGHT) && b.cy_child > child) child = std::min(b.cy_child, b.max_cy > 0 ? b.max_cy : b.cy_child);
    return std::max(child, LineHeight(s.font)) + 2 * kBandPadY;
}

int Least(const Rebar& s, const Band& b) { return HeaderWidth(s, b) + b.min_cx; }

// Rows of bands: a band starts a new row on RBBS_BREAK or where it no longer fits; the last
// band of a row takes what is left of it.
std::vector<Placed> Layout(HWND h, const Rebar& s) {
    RECT cr;
    GetClientRect(h, &cr);
    int width = std::max(1, int(cr.right));
    int border = (Style(h) & RBS_BANDBORDERS) ? kBorder : 0;
    std::vector<Placed> out(s.bands.size());
    std::vector<std::vector<int>> rows(1);
    int x = 0;
    for (int k = 0; k < int(s.bands.size()); ++k) {
        const Band& b = s.bands[size_t(k)];
        if (!Visible(b)) continue;
        int w = std::max(b.cx, Least(s, b));
        if (!rows.back().empty() && ((b.style & RBBS_BREAK) || x + w > width)) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back(k);
        x += w + border;
    }
    int y = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].empty()) continue;
        int row_h = 0;
        for (int k : rows[r]) row_h = std::max(row_h, BandHeight(s, s.bands[size_t(k)]));
        int bx = 0;
        for (size_t i = 0; i < rows[r].size(); ++i) {
            int k = rows[r][i];
            const Band& b = s.bands[size_t(k)];
            bool last = i + 1 == rows[r].size();
            int w = last ? std::max(width - bx, Least(s, b)) : std::max(b.cx, Least(s, b));
            Placed& p = out[size_t(k)];
            p.row = int(r);
            p.band = RECT{bx, y, bx + w, y + row_h};
            int child_h = std::min(row_h - 2 * kBandPadY, std::max(b.min_cy, 0));
            int top = y + (row_h - child_h) / 2;
            p.child = RECT{bx + HeaderWidth(s, b), top, bx + w, top + child_h};
            bx += w + border;
        }
        y += row_h + border;
    }
    return out;
}

int BarHeight(HWND h, const Rebar& s) {
    int bottom = 0;
    std::vector<Placed> placed = Layout(h, s);
    for (size_t k = 0; k < s.bands.size(); ++k)
        if (Visible(s.bands[k])) bottom = std::max(bottom, int(placed[k].band.bottom));
    return bottom;
}

int RowCount(HWND h, const Rebar& s) {
    int rows = 0;
    std::vector<Placed> placed = Layout(h, s);
    for (size_t k = 0; k < s.bands.size(); ++k)
        if (Visible(s.bands[k])) rows = std::max(rows, placed[k].row + 1);
    return rows;
}

// Places the children, sizes the bar along its parent, and tells the parent of a new height.
void Relayout(HWND h) {
    Rebar* s = R(h);
    if (!s || s->laying_out) return;
    s->laying_out = true;
    std::vector<Placed> placed = Layout(h, *s);
    for (size_t k = 0; k < s->bands.size(); ++k) {
        const Band& b = s->bands[k];
        if (!b.child || !IsWindow(b.child)) continue;
        const RECT& c = placed[k].child;
        if (!Visible(b)) {
            ShowWindow(b.child, SW_HIDE);
            continue;
        }
        SetWindowPos(b.child, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    int height = BarHeight(h, *s);
    AlignBar(h, height, BarEdge::Top);
    s = R(h);
    if (!s) return;
    s->laying_out = false;
    InvalidateRect(h, nullptr, TRUE);
    if (height != s->height) {
        s->height = height;
        NMHDR nm{};
        SendNotifyTo(NotifyWindow(h, *s), h, RBN_HEIGHTCHANGE, &nm);
    }
}

// ---- painting ----

void DrawGripper(HDC dc, const RECT& band) {
    RECT g{band.left + 2, band.top + 2, band.left + 5, band.bottom - 2};
    DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT);
}

void DrawBand(HWND h, const Rebar& s, HDC dc, const Band& b, const Placed& p) {
    if (b.back != CLR_DEFAULT) FillSolid(dc, p.band, b.back);
    if (HasGripper(s, b)) DrawGripper(dc, p.band);
    int x = p.band.left + (HasGripper(s, b) ? kGripper : 2);
    int icx = 0, icy = 0;
    if (b.image >= 0 && s.images && ImageList_GetIconSize(s.images, &icx, &icy)) {
        ImageList_Draw(s.images, b.image, dc, x, (p.band.top + p.band.bottom - icy) / 2, ILD_TRANSPARENT);
        x += icx + kTitleGap;
    }
    if (!b.text.empty() && !(b.style & RBBS_HIDETITLE)) {
        RECT t{x, p.band.top, p.child.left, p.band.bottom};
        COLORREF fg = b.fore != CLR_DEFAULT ? b.fore : s.text != CLR_DEFAULT ? s.text : Sys(COLOR_BTNTEXT);
        SetTextColor(dc, fg);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, b.text.c_str(), -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (Style(h) & RBS_BANDBORDERS) {
        RECT e{p.band.left, p.band.top, p.band.right + kBorder, p.band.bottom + kBorder};
        DrawEdge(dc, &e, EDGE_ETCHED, BF_RIGHT | BF_BOTTOM);
    }
}

void Paint(HWND h, const Rebar& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    FillSolid(dc, cr, s.bk == CLR_DEFAULT ? Sys(COLOR_BTNFACE) : s.bk);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    std::vector<Placed> placed = Layout(h, s);
    for (size_t k = 0; k < s.bands.size(); ++k)
        if (Visible(s.bands[k])) DrawBand(h, s, dc, s.bands[k], placed[k]);
    SelectObject(dc, old_font);
}

// ---- bands ----

bool SizeOk(const REBARBANDINFOA* info) { return info && info->cbSize >= offsetof(REBARBANDINFOA, cyChild); }

void Apply(Band& b, const REBARBANDINFOA& in) {
    UINT m = in.fMask;
    if (m & RBBIM_STYLE) b.style = in.fStyle;
    if (m & RBBIM_COLORS) { b.fore = in.clrFore; b.back = in.clrBack; }
    if (m & RBBIM_TEXT) b.text = in.lpText ? in.lpText : "";
    if (m & RBBIM_IMAGE) b.image = in.iImage;
    if (m & RBBIM_CHILD) b.child = in.hwndChild;
    if (m & RBBIM_CHILDSIZE) {
        b.min_cx = int(in.cxMinChild);
        b.min_cy = int(in.cyMinChild);
        if (in.cbSize >= sizeof(REBARBANDINFOA)) {
            b.cy_child = int(in.cyChild);
            b.max_cy = int(in.cyMaxChild);
            b.integral = int(in.cyIntegral);
        }
    }
    if (m & RBBIM_SIZE) b.cx = int(in.cx);
    if (m & RBBIM_BACKGROUND) b.background = in.hbmBack;
    if (m & RBBIM_ID) b.id = in.wID;
    if (in.cbSize >= sizeof(REBARBANDINFOA)) {
        if (m & RBBIM_IDEALSIZE) b.ideal = int(in.cxIdeal);
        if (m & RBBIM_LPARAM) b.lparam = in.lParam;
        if (m & RBBIM_HEADERSIZE) b.header = int(in.cxHeader);
    }
}

void Fill(const Rebar& s, const Band& b, REBARBANDINFOA* out) {
    UINT m = out->fMask;
    if (m & RBBIM_STYLE) out->fStyle = b.style;
    if (m & RBBIM_COLORS) { out->clrFore = b.fore; out->clrBack = b.back; }
    if (m & RBBIM_TEXT) CopyOut(b.text, out->lpText, int(out->cch));
    if (m & RBBIM_IMAGE) out->iImage = b.image;
    if (m & RBBIM_CHILD) out->hwndChild = b.child;
    if (m & RBBIM_CHILDSIZE) {
        out->cxMinChild = UINT(b.min_cx);
        out->cyMinChild = UINT(b.min_cy);
    }
    if (m & RBBIM_SIZE) out->cx = UINT(b.cx);
    if (m & RBBIM_BACKGROUND) out->hbmBack = b.background;
    if (m & RBBIM_ID) out->wID = b.id;
    if (out->cbSize >= sizeof(REBARBANDINFOA)) {
        if (m & RBBIM_CHILDSIZE) {
            out->cyChild = UINT(b.cy_child);
            out->cyMaxChild = UINT(b.max_cy);
            out->cyIntegral = UINT(b.integral);
        }
        if (m & RBBIM_IDEALSIZE) out->cxIdeal = UINT(b.ideal);
        if (m & RBBIM_LPARAM) out->lParam = b.lparam;
        if (m & RBBIM_HEADERSIZE) out->cxHeader = UINT(HeaderWidth(s, b));
    }
}

LRESULT OnInsertBand(HWND h, Rebar& s, int at, const REBARBANDINFOA* in) {
    if (!SizeOk(in)) return FALSE;
    at = (at < 0 || at > int(s.bands.size())) ? int(s.bands.size()) : at;
    Band b;
    Apply(b, *in);
    if (b.child && GetParent(b.child) != h) SetParent(b.child, h);
    s.bands.insert(s.bands.begin() + at, b);
    Relayout(h);
    return TRUE;
}

LRESULT OnSetBandInfo(HWND h, Rebar& s, int k, const REBARBANDINFOA* in) {
    if (!SizeOk(in) || k < 0 || k >= int(s.bands.size())) return FALSE;
    HWND old_child = s.bands[size_t(k)].child;
    Apply(s.bands[size_t(k)], *in);
    HWND child = s.bands[size_t(k)].child;
    if (child != old_child && old_child && IsWindow(old_child)) ShowWindow(old_child, SW_HIDE);
    if (child && GetParent(child) != h) SetParent(child, h);
    Relayout(h);
    return TRUE;
}

LRESULT OnGetBandInfo(const Rebar& s, int k, REBARBANDINFOA* out) {
    if (!SizeOk(out) || k < 0 || k >= int(s.bands.size())) return FALSE;
    Fill(s, s.bands[size_t(k)], out);
    return TRUE;
}

LRESULT OnDeleteBand(HWND h, Rebar& s, int k) {
    if (k < 0 || k >= int(s.bands.size())) return FALSE;
    NMREBAR nm{};
    nm.dwMask = RBNM_ID | RBNM_STYLE | RBNM_LPARAM;
    nm.uBand = UINT(k);
    nm.wID = s.bands[size_t(k)].id;
    nm.fStyle = s.bands[size_t(k)].style;
    nm.lParam = s.bands[size_t(k)].lparam;
    SendNotifyTo(NotifyWindow(h, s), h, RBN_DELETINGBAND, &nm.hdr);
    Rebar* now = R(h);
    if (!now || k >= int(now->bands.size())) return FALSE;
    HWND child = now->bands[size_t(k)].child;
    if (child && IsWindow(child)) ShowWindow(child, SW_HIDE);
    now->bands.erase(now->bands.begin() + k);
    if (now->drag == k) now->drag = -1;
    SendNotifyTo(NotifyWindow(h, *now), h, RBN_DELETEDBAND, &nm.hdr);
    Relayout(h);
    return TRUE;
}

LRESULT OnGetRect(HWND h, const Rebar& s, int k, RECT* out) {
    if (!out || k < 0 || k >= int(s.bands.size())) return FALSE;
    *out = Layout(h, s)[size_t(k)].band;
    return TRUE;
}

LRESULT OnGetBandBorders(HWND h, const Rebar& s, int k, RECT* out) {
    if (!out || k < 0 || k >= int(s.bands.size())) return 0;
    int border = (Style(h) & RBS_BANDBORDERS) ? kBorder : 0;
    *out = RECT{HeaderWidth(s, s.bands[size_t(k)]), kBandPadY, border, kBandPadY + border};
    return 0;
}

LRESULT OnGetRowHeight(HWND h, const Rebar& s, int k) {
    if (k < 0 || k >= int(s.bands.size())) return 0;
    RECT r = Layout(h, s)[size_t(k)].band;
    return r.bottom - r.top;
}

LRESULT OnIdToIndex(const Rebar& s, UINT id) {
    for (size_t k = 0; k < s.bands.size(); ++k)
        if (s.bands[k].id == id) return LRESULT(k);
    return -1;
}

LRESULT OnShowBand(HWND h, Rebar& s, int k, BOOL show) {
    if (k < 0 || k >= int(s.bands.size())) return FALSE;
    UINT& st = s.bands[size_t(k)].style;
    st = show ? (st & ~UINT(RBBS_HIDDEN)) : (st | RBBS_HIDDEN);
    Relayout(h);
    return TRUE;
}

LRESULT OnMoveBand(HWND h, Rebar& s, int from, int to) {
    int n = int(s.bands.size());
    if (from < 0 || from >= n || to < 0 || to >= n) return FALSE;
    Band b = s.bands[size_t(from)];
    s.bands.erase(s.bands.begin() + from);
    s.bands.insert(s.bands.begin() + to, b);
    Relayout(h);
    return TRUE;
}

int HitTest(HWND h, const Rebar& s, POINT p, UINT* flags) {
    *flags = RBHT_NOWHERE;
    std::vector<Placed> placed = Layout(h, s);
    for (size_t k = 0; k < s.bands.size(); ++k) {
        if (!Visible(s.bands[k]) || !PtInRect(&placed[k].band, p)) continue;
        const Band& b = s.bands[k];
        int grip_end = placed[k].band.left + (HasGripper(s, b) ? kGripper : 0);
        *flags = p.x < grip_end ? RBHT_GRABBER : p.x < placed[k].child.left ? RBHT_CAPTION : RBHT_CLIENT;
        return int(k);
    }
    return -1;
}

LRESULT OnHitTest(HWND h, const Rebar& s, RBHITTESTINFO* ht) {
    if (!ht) return -1;
    ht->iBand = HitTest(h, s, ht->pt, &ht->flags);
    return ht->iBand;
}

LRESULT OnSetBarInfo(HWND h, Rebar& s, const REBARINFO* info) {
    if (!info || info->cbSize != sizeof(REBARINFO)) return FALSE;
    if (info->fMask & RBIM_IMAGELIST) s.images = info->himl;
    Relayout(h);
    return TRUE;
}

LRESULT OnGetBarInfo(const Rebar& s, REBARINFO* info) {
    if (!info || info->cbSize != sizeof(REBARINFO)) return FALSE;
    if (info->fMask & RBIM_IMAGELIST) info->himl = s.images;
    return TRUE;
}

// ---- the mouse: a gripper dragged moves the band's left edge ----

void NotifyDrag(HWND h, const Rebar& s, UINT code, int k) {
    NMREBAR nm{};
    nm.dwMask = RBNM_ID;
    nm.uBand = UINT(k);
    nm.wID = s.bands[size_t(k)].id;
    SendNotifyTo(NotifyWindow(h, s), h, code, &nm.hdr);
}

// The band before k in its row, or -1 when k starts the row.
int Before(HWND h, const Rebar& s, int k) {
    std::vector<Placed> placed = Layout(h, s);
    for (int j = k - 1; j >= 0; --j) {
        if (!Visible(s.bands[size_t(j)])) continue;
        return placed[size_t(j)].row == placed[size_t(k)].row ? j : -1;
    }
    return -1;
}

LRESULT OnLButtonDown(HWND h, Rebar& s, LPARAM l) {
    UINT flags;
    int k = HitTest(h, s, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &flags);
    if (k < 0 || flags != RBHT_GRABBER) return 0;
    NotifyDrag(h, s, RBN_BEGINDRAG, k);
    Rebar* now = R(h);
    if (!now || k >= int(now->bands.size())) return 0;
    now->drag = k;
    now->drag_x = GET_X_LPARAM(l);
    SetCapture(h);
    return 0;
}

LRESULT OnMouseMove(HWND h, Rebar& s, LPARAM l) {
    if (s.drag < 0) return 0;
    int before = Before(h, s, s.drag);
    int dx = GET_X_LPARAM(l) - s.drag_x;
    if (before < 0 || dx == 0) return 0;
    Band& b = s.bands[size_t(before)];
    RECT r = Layout(h, s)[size_t(before)].band;
    int width = std::max(Least(s, b), int(r.right - r.left) + dx);
    s.drag_x += width - int(r.right - r.left);
    b.cx = width;
    Relayout(h);
    return 0;
}

LRESULT OnLButtonUp(HWND h, Rebar& s) {
    if (s.drag < 0) return 0;
    int k = s.drag;
    s.drag = -1;
    if (GetCapture() == h) ReleaseCapture();
    NotifyDrag(h, s, RBN_ENDDRAG, k);
    NMHDR nm{};
    if (Rebar* now = R(h)) SendNotifyTo(NotifyWindow(h, *now), h, RBN_LAYOUTCHANGED, &nm);
    return 0;
}

LRESULT OnSetColor(HWND h, COLORREF& slot, COLORREF c) {
    COLORREF old = slot;
    slot = c;
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(old);
}

LRESULT OnSetParent(HWND h, Rebar& s, HWND to) {
    HWND old = NotifyWindow(h, s);
    s.notify = to;
    return reinterpret_cast<LRESULT>(old);
}

LRESULT OnSetFont(HWND h, Rebar& s, WPARAM w) {
    s.font = reinterpret_cast<HFONT>(w);
    Relayout(h);
    return 0;
}

LRESULT OnSize(HWND h) {
    Relayout(h);
    return 0;
}

}  // namespace

LRESULT CALLBACK RebarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Rebar* s = AttachState<Rebar>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_CREATE:
        case WM_SIZE: return OnSize(h);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SETFONT: return OnSetFont(h, *s, w);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_NOTIFY:  // the bands' children talk to the rebar's parent
        case WM_COMMAND: return SendMessageA(NotifyWindow(h, *s), m, w, l);
        case WM_LBUTTONDOWN: return OnLButtonDown(h, *s, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, *s, l);
        case WM_LBUTTONUP: return OnLButtonUp(h, *s);
        case WM_CAPTURECHANGED: s->drag = reinterpret_cast<HWND>(l) == h ? s->drag : -1; return 0;
        case RB_INSERTBANDA: return OnInsertBand(h, *s, int(w), reinterpret_cast<const REBARBANDINFOA*>(l));
        case RB_DELETEBAND: return OnDeleteBand(h, *s, int(w));
        case RB_SETBANDINFOA: return OnSetBandInfo(h, *s, int(w), reinterpret_cast<const REBARBANDINFOA*>(l));
        case RB_GETBANDINFOA: return OnGetBandInfo(*s, int(w), reinterpret_cast<REBARBANDINFOA*>(l));
        case RB_GETBANDCOUNT: return LRESULT(s->bands.size());
        case RB_GETROWCOUNT: return RowCount(h, *s);
        case RB_GETROWHEIGHT: return OnGetRowHeight(h, *s, int(w));
        case RB_GETBARHEIGHT: return BarHeight(h, *s);
        case RB_GETRECT: return OnGetRect(h, *s, int(w), reinterpret_cast<RECT*>(l));
        case RB_GETBANDBORDERS: return OnGetBandBorders(h, *s, int(w), reinterpret_cast<RECT*>(l));
        case RB_IDTOINDEX: return OnIdToIndex(*s, UINT(w));
        case RB_HITTEST: return OnHitTest(h, *s, reinterpret_cast<RBHITTESTINFO*>(l));
        case RB_SHOWBAND: return OnShowBand(h, *s, int(w), BOOL(l));
        case RB_MOVEBAND: return OnMoveBand(h, *s, int(w), int(l));
        case RB_SETBARINFO: return OnSetBarInfo(h, *s, reinterpret_cast<const REBARINFO*>(l));
        case RB_GETBARINFO: return OnGetBarInfo(*s, reinterpret_cast<REBARINFO*>(l));
        case RB_SETBKCOLOR: return OnSetColor(h, s->bk, COLORREF(l));
        case RB_GETBKCOLOR: return LRESULT(s->bk);
        case RB_SETTEXTCOLOR: return OnSetColor(h, s->text, COLORREF(l));
        case RB_GETTEXTCOLOR: return LRESULT(s->text);
        case RB_SETPARENT: return OnSetParent(h, *s, reinterpret_cast<HWND>(w));
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
