// The header control: a row of column items, drag-resizable at their dividers, clickable as
// buttons, drawn with text, bitmaps and image-list images.
#include <algorithm>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "commctrl/imagelist.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

constexpr int kDividerGrip = 4;  // pixels on each side of a divider that start a resize
constexpr int kMargin = 6;       // space between an item's edge, its image and its text

struct HdItem {
    int cxy = 0;
    std::string text;
    bool has_text = false;
    HBITMAP hbm = nullptr;
    int fmt = HDF_LEFT | HDF_STRING;
    LPARAM lparam = 0;
    int image = -1;
    int order = 0;
};

struct Header {
    HWND hwnd = nullptr;
    std::vector<HdItem> items;
    HIMAGELIST images = nullptr;
    HFONT font = nullptr;
    int track = -1;        // item whose divider is being dragged
    int track_dx = 0;      // mouse x minus the item's right edge at the start
    int track_width = 0;   // width while dragging
    int pressed = -1;      // item pressed as a button
    bool pressed_in = false;
};

Header* H(HWND h) { return State<Header>(h); }

// Item indexes in display order.
std::vector<int> Ordered(const Header& s) {
    std::vector<int> idx(s.items.size());
    for (size_t k = 0; k < idx.size(); ++k) idx[k] = int(k);
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) { return s.items[size_t(a)].order < s.items[size_t(b)].order; });
    return idx;
}

void Renumber(Header& s) {
    auto idx = Ordered(s);
    for (size_t k = 0; k < idx.size(); ++k) s.items[size_t(idx[k])].order = int(k);
}

RECT ItemRect(HWND h, const Header& s, int index) {
    RECT cr;
    GetClientRect(h, &cr);
    int x = 0;
    for (int k : Ordered(s)) {
        int w = std::max(0, s.items[size_t(k)].cxy);
        if (k == index) return RECT{x, 0, x + w, cr.bottom};
        x += w;
    }
    return RECT{0, 0, 0, 0};
}

int Height(const Header& s) { return LineHeight(s.font) + 7; }

void FillItem(const HdItem& it, HDITEMA* out) {
    if (out->mask & HDI_WIDTH) out->cxy = it.cxy;
    if (out->mask & HDI_TEXT) CopyOut(it.text, out->pszText, out->cchTextMax);
    if (out->mask & HDI_FORMAT) out->fmt = it.fmt;
    if (out->mask & HDI_LPARAM) out->lParam = it.lparam;
    if (out->mask & HDI_BITMAP) out->hbm = it.hbm;
    if (out->mask & HDI_IMAGE) out->iImage = it.image;
    if (out->mask & HDI_ORDER) out->iOrder = it.order;
}

void Apply(HdItem& it, const HDITEMA& in) {
    if (in.mask & HDI_WIDTH) it.cxy = in.cxy;
    if (in.mask & HDI_TEXT) {
        it.has_text = in.pszText && in.pszText != LPSTR_TEXTCALLBACKA;
        it.text = it.has_text ? std::string(in.pszText) : std::string();
    }
    if (in.mask & HDI_FORMAT) it.fmt = in.fmt;
    if (in.mask & HDI_LPARAM) it.lparam = in.lParam;
    if (in.mask & HDI_BITMAP) it.hbm = in.hbm;
    if (in.mask & HDI_IMAGE) it.image = in.iImage;
}

LRESULT NotifyItem(HWND h, UINT code, int item, HDITEMA* pitem, int button = 0) {
    NMHEADERA nm{};
    nm.iItem = item;
    nm.iButton = button;
    nm.pitem = pitem;
    return SendNotify(h, code, &nm.hdr);
}

// Changes an item through the ITEMCHANGING / ITEMCHANGED pair; false when the parent refused.
bool SetItem(HWND h, int index, const HDITEMA& in) {
    Header* s = H(h);
    if (!s || index < 0 || index >= int(s->items.size())) return false;
    HDITEMA copy = in;
    if (NotifyItem(h, HDN_ITEMCHANGINGA, index, &copy)) return false;
    s = H(h);
    if (!s || index >= int(s->items.size())) return false;
    Apply(s->items[size_t(index)], in);
    if ((in.mask & HDI_ORDER) && in.iOrder >= 0) {
        // Moves the item to its new place in display order.
        auto idx = Ordered(*s);
        idx.erase(std::find(idx.begin(), idx.end(), index));
        idx.insert(idx.begin() + std::min<size_t>(size_t(in.iOrder), idx.size()), index);
        for (size_t k = 0; k < idx.size(); ++k) s->items[size_t(idx[k])].order = int(k);
    }
    InvalidateRect(h, nullptr, TRUE);
    copy = in;
    NotifyItem(h, HDN_ITEMCHANGEDA, index, &copy);
    return true;
}

void HitTest(HWND h, const Header& s, HDHITTESTINFO* ht) {
    RECT cr;
    GetClientRect(h, &cr);
    ht->flags = 0;
    ht->iItem = -1;
    POINT p = ht->pt;
    if (p.y < cr.top) ht->flags |= HHT_ABOVE;
    if (p.y >= cr.bottom) ht->flags |= HHT_BELOW;
    if (p.x < cr.left) ht->flags |= HHT_TOLEFT;
    if (p.x >= cr.right) ht->flags |= HHT_TORIGHT;
    if (ht->flags) return;
    // Dividers take priority over items, the rightmost one that is in reach winning, so a
    // zero-width item can still be widened again.
    auto order = Ordered(s);
    int x = 0;
    int divider = -1;
    for (int k : order) {
        int w = std::max(0, s.items[size_t(k)].cxy);
        int right = x + w;
        if (p.x >= right - kDividerGrip && p.x < right + kDividerGrip) divider = k;
        if (p.x >= x && p.x < right && ht->iItem < 0) ht->iItem = k;
        x = right;
    }
    if (divider >= 0) {
        ht->iItem = divider;
        ht->flags = HHT_ONDIVIDER;
        return;
    }
    ht->flags = ht->iItem >= 0 ? HHT_ONHEADER : HHT_NOWHERE;
}

void DrawItemContent(HWND h, Header& s, HDC dc, int index, RECT r, bool pressed) {
    const HdItem& it = s.items[size_t(index)];
    if (it.fmt & HDF_OWNERDRAW) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_HEADER;
        dis.CtlID = UINT(GetDlgCtrlID(h));
        dis.itemID = UINT(index);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = pressed ? ODS_SELECTED : 0;
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = ULONG_PTR(it.lparam);
        SendMessageA(GetParent(h), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
        return;
    }
    RECT in = r;
    InflateRect(&in, -kMargin, -2);
    if (pressed) OffsetRect(&in, 1, 1);
    bool on_right = (it.fmt & HDF_BITMAP_ON_RIGHT) != 0;
    int icx = 0, icy = 0;
    bool has_image = (it.fmt & HDF_IMAGE) && s.images && it.image >= 0 && ImageListSize(s.images, &icx, &icy);
    BITMAP bm{};
    bool has_bitmap = (it.fmt & HDF_BITMAP) && it.hbm && GetObjectA(it.hbm, sizeof bm, &bm);
    auto place_box = [&](int w, int hgt, bool right) {
        RECT b{0, 0, 0, 0};
        if (in.right - in.left < 1) return b;
        w = std::min(w, int(in.right - in.left));
        b.top = in.top + std::max(0, (int(in.bottom - in.top) - hgt) / 2);
        b.bottom = std::min(b.top + hgt, int(in.bottom));
        if (right) {
            b.right = in.right;
            b.left = in.right - w;
            in.right = b.left - kMargin;
        } else {
            b.left = in.left;
            b.right = in.left + w;
            in.left = b.right + kMargin;
        }
        return b;
    };
    if (has_image) {
        RECT b = place_box(icx, icy, on_right);
        if (b.right > b.left)
            ImageList_DrawEx(s.images, it.image, dc, b.left, b.top, b.right - b.left, b.bottom - b.top, CLR_NONE,
                             CLR_DEFAULT, ILD_TRANSPARENT);
    }
    if (has_bitmap) {
        RECT b = place_box(bm.bmWidth, bm.bmHeight, on_right || has_image);
        if (b.right > b.left) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, it.hbm);
            BitBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    }
    if ((it.fmt & HDF_STRING) && it.has_text && in.right > in.left) {
        UINT align = (it.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                     : (it.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT
                                                               : DT_LEFT;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, it.text.c_str(), -1, &in, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

LRESULT CustomDraw(HWND h, HDC dc, DWORD stage, const RECT& r, int item, UINT state, LPARAM lp) {
    NMCUSTOMDRAW cd{};
    cd.dwDrawStage = stage;
    cd.hdc = dc;
    cd.rc = r;
    cd.dwItemSpec = DWORD_PTR(item < 0 ? 0 : item);
    cd.uItemState = state;
    cd.lItemlParam = lp;
    return SendNotify(h, NM_CUSTOMDRAW, &cd.hdr);
}

void Paint(HWND h, Header& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s.font));
    LRESULT pre = CustomDraw(h, dc, CDDS_PREPAINT, cr, -1, 0, 0);
    if (!(pre & CDRF_SKIPDEFAULT)) {
        FillSolid(dc, cr, GetSysColor(COLOR_BTNFACE));
        int x = 0;
        for (int k : Ordered(s)) {
            HdItem it = s.items[size_t(k)];
            RECT r{x, 0, x + std::max(0, it.cxy), cr.bottom};
            x = r.right;
            if (r.right <= r.left) continue;
            bool pressed = s.pressed == k && s.pressed_in;
            UINT state = pressed ? CDIS_SELECTED : 0;
            LRESULT ir = CDRF_DODEFAULT;
            if (pre & CDRF_NOTIFYITEMDRAW) ir = CustomDraw(h, dc, CDDS_ITEMPREPAINT, r, k, state, it.lparam);
            if (!H(h)) break;
            if (!(ir & CDRF_SKIPDEFAULT)) {
                RECT e = r;
                DrawEdge(dc, &e, pressed ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (pressed ? BF_FLAT : BF_SOFT));
                DrawItemContent(h, s, dc, k, r, pressed);
            }
            if (ir & CDRF_NOTIFYPOSTPAINT) CustomDraw(h, dc, CDDS_ITEMPOSTPAINT, r, k, state, it.lparam);
        }
        if (x < cr.right) {
            RECT rest{x, 0, cr.right, cr.bottom};
            DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
        }
    }
    if (pre & CDRF_NOTIFYPOSTPAINT) CustomDraw(h, dc, CDDS_POSTPAINT, cr, -1, 0, 0);
    SelectObject(dc, old_font);
}

void TrackTo(HWND h, Header& s, int x, bool live) {
    RECT r = ItemRect(h, s, s.track);
    int w = std::max(0, x - s.track_dx - int(r.left));
    s.track_width = w;
    HDITEMA it{};
    it.mask = HDI_WIDTH;
    it.cxy = w;
    if (NotifyItem(h, HDN_TRACKA, s.track, &it)) return;
    if (live && H(h) && s.track >= 0) SetItem(h, s.track, it);
}

LRESULT OnSetFont(HWND h, Header* s, WPARAM w, LPARAM l) {
    s->font = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

// Like PaintOrPrint, but an empty update region paints nothing.
LRESULT OnPaint(HWND h, Header* s, UINT m, WPARAM w) {
    PAINTSTRUCT ps;
    HDC dc = m == WM_PAINT ? BeginPaint(h, &ps) : reinterpret_cast<HDC>(w);
    if (!(m == WM_PAINT && IsRectEmpty(&ps.rcPaint))) Paint(h, *s, dc);
    if (m == WM_PAINT) EndPaint(h, &ps);
    return 0;
}

LRESULT OnInsertItem(HWND h, Header* s, WPARAM w, LPARAM l) {
    auto* in = reinterpret_cast<HDITEMA*>(l);
    if (!in) return -1;
    int at = std::clamp(int(w), 0, int(s->items.size()));
    HdItem it;
    Apply(it, *in);
    // Display order: items after the insertion point move one place to the right.
    int order = (in->mask & HDI_ORDER) && in->iOrder >= 0 ? in->iOrder : at;
    order = std::min(order, int(s->items.size()));
    for (auto& o : s->items)
        if (o.order >= order) ++o.order;
    it.order = order;
    s->items.insert(s->items.begin() + at, it);
    Renumber(*s);
    InvalidateRect(h, nullptr, TRUE);
    return at;
}

LRESULT OnDeleteItem(HWND h, Header* s, WPARAM w) {
    int at = int(w);
    if (at < 0 || at >= int(s->items.size())) return FALSE;
    s->items.erase(s->items.begin() + at);
    Renumber(*s);
    if (s->pressed == at) s->pressed = -1;
    if (s->track == at) {
        s->track = -1;
        ReleaseCapture();
    }
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

bool ValidIndex(const Header* s, WPARAM w) { return int(w) >= 0 && int(w) < int(s->items.size()); }

LRESULT OnGetItem(Header* s, WPARAM w, LPARAM l) {
    auto* out = reinterpret_cast<HDITEMA*>(l);
    if (!out || !ValidIndex(s, w)) return FALSE;
    FillItem(s->items[size_t(w)], out);
    return TRUE;
}

LRESULT OnLayout(HWND h, Header* s, LPARAM l) {
    auto* lay = reinterpret_cast<HDLAYOUT*>(l);
    if (!lay || !lay->prc || !lay->pwpos) return FALSE;
    int hh = (GetWindowLongA(h, GWL_STYLE) & HDS_HIDDEN) ? 0 : Height(*s);
    lay->pwpos->hwnd = h;
    lay->pwpos->hwndInsertAfter = nullptr;
    lay->pwpos->x = lay->prc->left;
    lay->pwpos->y = lay->prc->top;
    lay->pwpos->cx = lay->prc->right - lay->prc->left;
    lay->pwpos->cy = hh;
    lay->pwpos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
    lay->prc->top += hh;
    return TRUE;
}

LRESULT OnHitTest(HWND h, Header* s, LPARAM l) {
    auto* ht = reinterpret_cast<HDHITTESTINFO*>(l);
    if (!ht) return -1;
    HitTest(h, *s, ht);
    return ht->iItem;
}

LRESULT OnGetItemRect(HWND h, Header* s, WPARAM w, LPARAM l) {
    auto* r = reinterpret_cast<RECT*>(l);
    if (!r || !ValidIndex(s, w)) return FALSE;
    *r = ItemRect(h, *s, int(w));
    return TRUE;
}

LRESULT OnSetImageList(HWND h, Header* s, LPARAM l) {
    HIMAGELIST old = s->images;
    s->images = reinterpret_cast<HIMAGELIST>(l);
    InvalidateRect(h, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT OnOrderToIndex(Header* s, WPARAM w) {
    auto idx = Ordered(*s);
    return ValidIndex(s, w) ? idx[size_t(w)] : int(w);
}

LRESULT OnGetOrderArray(Header* s, WPARAM w, LPARAM l) {
    auto* out = reinterpret_cast<int*>(l);
    if (!out || int(w) != int(s->items.size())) return FALSE;
    auto idx = Ordered(*s);
    std::copy(idx.begin(), idx.end(), out);
    return TRUE;
}

LRESULT OnSetOrderArray(HWND h, Header* s, WPARAM w, LPARAM l) {
    auto* in = reinterpret_cast<const int*>(l);
    if (!in || int(w) != int(s->items.size())) return FALSE;
    std::vector<bool> seen(s->items.size(), false);
    for (int k = 0; k < int(w); ++k) {
        if (in[k] < 0 || in[k] >= int(w) || seen[size_t(in[k])]) return FALSE;
        seen[size_t(in[k])] = true;
    }
    for (int k = 0; k < int(w); ++k) s->items[size_t(in[k])].order = k;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT OnSetCursor(HWND h, Header* s, WPARAM w, LPARAM l) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(h, &p);
    HDHITTESTINFO ht{p, 0, -1};
    HitTest(h, *s, &ht);
    if (s->track < 0 && !(ht.flags & HHT_ONDIVIDER)) return DefWindowProcA(h, WM_SETCURSOR, w, l);
    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
    return TRUE;
}

// A press on a divider starts resizing its item, unless the parent refuses.
void BeginTrack(HWND h, Header* s, int item, int x) {
    HdItem it = s->items[size_t(item)];
    HDITEMA hi{};
    hi.mask = HDI_WIDTH;
    hi.cxy = it.cxy;
    if (NotifyItem(h, HDN_BEGINTRACKA, item, &hi)) return;
    s = H(h);
    if (!s || item >= int(s->items.size())) return;
    RECT r = ItemRect(h, *s, item);
    s->track = item;
    s->track_dx = x - int(r.right);
    s->track_width = it.cxy;
    SetCapture(h);
}

LRESULT OnLButtonDown(HWND h, Header* s, UINT m, LPARAM l) {
    HDHITTESTINFO ht{{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, 0, -1};
    HitTest(h, *s, &ht);
    if (m == WM_LBUTTONDBLCLK && ht.iItem >= 0) {
        NotifyItem(h, (ht.flags & HHT_ONDIVIDER) ? HDN_DIVIDERDBLCLICKA : HDN_ITEMDBLCLICKA, ht.iItem, nullptr);
        return 0;
    }
    if (ht.flags & HHT_ONDIVIDER) {
        BeginTrack(h, s, ht.iItem, GET_X_LPARAM(l));
    } else if ((ht.flags & HHT_ONHEADER) && (GetWindowLongA(h, GWL_STYLE) & HDS_BUTTONS)) {
        s->pressed = ht.iItem;
        s->pressed_in = true;
        SetCapture(h);
        InvalidateRect(h, nullptr, TRUE);
    }
    return 0;
}

LRESULT OnMouseMove(HWND h, Header* s, LPARAM l) {
    int x = GET_X_LPARAM(l);
    if (s->track >= 0) {
        TrackTo(h, *s, x, (GetWindowLongA(h, GWL_STYLE) & HDS_FULLDRAG) != 0);
    } else if (s->pressed >= 0) {
        RECT r = ItemRect(h, *s, s->pressed);
        POINT p{x, GET_Y_LPARAM(l)};
        bool in = PtInRect(&r, p) != 0;
        if (in != s->pressed_in) {
            s->pressed_in = in;
            InvalidateRect(h, &r, TRUE);
        }
    }
    return 0;
}

void EndTrack(HWND h, Header* s, int x) {
    int item = s->track;
    TrackTo(h, *s, x, false);
    s = H(h);
    if (!s) return;
    s->track = -1;
    ReleaseCapture();
    HDITEMA hi{};
    hi.mask = HDI_WIDTH;
    hi.cxy = s->track_width;
    NotifyItem(h, HDN_ENDTRACKA, item, &hi);
    if (H(h) && item < int(H(h)->items.size()) && H(h)->items[size_t(item)].cxy != hi.cxy) SetItem(h, item, hi);
    NMHDR nm{};
    if (H(h)) SendNotify(h, NM_RELEASEDCAPTURE, &nm);
}

void EndPress(HWND h, Header* s) {
    int item = s->pressed;
    bool in = s->pressed_in;
    s->pressed = -1;
    s->pressed_in = false;
    ReleaseCapture();
    InvalidateRect(h, nullptr, TRUE);
    NMHDR nm{};
    SendNotify(h, NM_RELEASEDCAPTURE, &nm);
    if (in && H(h)) NotifyItem(h, HDN_ITEMCLICKA, item, nullptr);
}

LRESULT OnLButtonUp(HWND h, Header* s, LPARAM l) {
    if (s->track >= 0)
        EndTrack(h, s, GET_X_LPARAM(l));
    else if (s->pressed >= 0)
        EndPress(h, s);
    return 0;
}

// Losing the capture to another window ends a resize or a press without a click.
LRESULT OnCaptureChanged(HWND h, Header* s, LPARAM l) {
    if (reinterpret_cast<HWND>(l) == h) return 0;
    if (s->track >= 0) {
        HDITEMA hi{};
        hi.mask = HDI_WIDTH;
        hi.cxy = s->track_width;
        int item = s->track;
        s->track = -1;
        NotifyItem(h, HDN_ENDTRACKA, item, &hi);
    }
    if (s->pressed >= 0) {
        s->pressed = -1;
        InvalidateRect(h, nullptr, TRUE);
    }
    return 0;
}

// The header's own messages.
LRESULT OnHeaderMessage(HWND h, Header* s, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case HDM_GETITEMCOUNT: return LRESULT(s->items.size());
        case HDM_INSERTITEMA: return OnInsertItem(h, s, w, l);
        case HDM_DELETEITEM: return OnDeleteItem(h, s, w);
        case HDM_GETITEMA: return OnGetItem(s, w, l);
        case HDM_SETITEMA: return l ? SetItem(h, int(w), *reinterpret_cast<HDITEMA*>(l)) : FALSE;
        case HDM_LAYOUT: return OnLayout(h, s, l);
        case HDM_HITTEST: return OnHitTest(h, s, l);
        case HDM_GETITEMRECT: return OnGetItemRect(h, s, w, l);
        case HDM_SETIMAGELIST: return OnSetImageList(h, s, l);
        case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(s->images);
        case HDM_ORDERTOINDEX: return OnOrderToIndex(s, w);
        case HDM_GETORDERARRAY: return OnGetOrderArray(s, w, l);
        case HDM_SETORDERARRAY: return OnSetOrderArray(h, s, w, l);
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace

LRESULT CALLBACK HeaderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Header* s = AttachState<Header>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return FreeState(h, m, w, l, s);
        case WM_SETFONT: return OnSetFont(h, s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return OnPaint(h, s, m, w);
        case WM_SETCURSOR: return OnSetCursor(h, s, w, l);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(h, s, m, l);
        case WM_MOUSEMOVE: return OnMouseMove(h, s, l);
        case WM_LBUTTONUP: return OnLButtonUp(h, s, l);
        case WM_CAPTURECHANGED: return OnCaptureChanged(h, s, l);
        default: return OnHeaderMessage(h, s, m, w, l);
    }
}

}  // namespace plat::commctrl
