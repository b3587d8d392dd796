// Painting the list view: rows, cells, check boxes and images, with custom draw for the
// program down to the sub-items.
#include <algorithm>
#include <string>

#include "commctrl/listview_state.h"

namespace plat::commctrl::listview {

struct CdResult {
    LRESULT r;
    COLORREF text, bk;
};

CdResult Custom(HWND h, HDC dc, DWORD stage, const RECT& rc, int item, int sub, UINT state, LPARAM lp, COLORREF text,
                COLORREF bk) {
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = stage;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = rc;
    cd.nmcd.dwItemSpec = DWORD_PTR(item < 0 ? 0 : item);
    cd.nmcd.uItemState = state;
    cd.nmcd.lItemlParam = lp;
    cd.clrText = text;
    cd.clrTextBk = bk;
    cd.iSubItem = sub;
    LRESULT r = SendNotify(h, NM_CUSTOMDRAW, &cd.nmcd.hdr);
    return {r, cd.clrText, cd.clrTextBk};
}

void DrawCheck(HDC dc, const RECT& area, int check) {
    int size = 13;
    RECT b;
    b.left = area.left + std::max(0, (int(area.right - area.left) - size) / 2);
    b.top = area.top + std::max(0, (int(area.bottom - area.top) - size) / 2);
    b.right = b.left + size;
    b.bottom = b.top + size;
    if (b.right > area.right) return;
    DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONCHECK | (check == 2 ? DFCS_CHECKED : 0));
}

void DrawCell(HWND h, ListView& s, HDC dc, int i, int col, const RECT& cell, COLORREF text, COLORREF bk, bool sel_look,
              bool focus) {
    const Item& it = s.items[size_t(i)];
    int sub = col < int(s.cols.size()) ? s.cols[size_t(col)].sub : col;
    RECT r = cell;
    COLORREF tc = text, bc = bk;
    RECT fill = r;
    if (col == 0) {
        RECT st, ic, lb;
        FirstCellParts(h, s, i, &st, &ic, &lb);
        if (bk != CLR_NONE) FillSolid(dc, r, bk == CLR_DEFAULT ? s.Bk() : bk);
        if (HasChecks(s)) {
            int chk = CheckIndex(it.state);
            if (s.il_state && chk > 0) {
                int cx, cy;
                ImageListSize(s.il_state, &cx, &cy);
                ImageList_Draw(s.il_state, chk - 1, dc, st.left, st.top + (RowHeight(s) - cy) / 2, ILD_TRANSPARENT);
            } else if (chk > 0) {
                DrawCheck(dc, st, chk);
            }
        }
        int img = CellImage(h, s, i, 0);
        if (s.il_small && img >= 0 && ic.right > ic.left) {
            int cx, cy;
            ImageListSize(s.il_small, &cx, &cy);
            ImageList_DrawEx(s.il_small, img, dc, ic.left, ic.top + (RowHeight(s) - cy) / 2, ic.right - ic.left, cy,
                             CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT | (sel_look ? ILD_BLEND50 : 0));
        }
        r = lb;
        fill = lb;
    } else if ((s.ex & LVS_EX_SUBITEMIMAGES) && s.il_small) {
        if (bk != CLR_NONE) FillSolid(dc, r, bk == CLR_DEFAULT ? s.Bk() : bk);
        int img = CellImage(h, s, i, sub);
        if (img >= 0) {
            int cx, cy;
            ImageListSize(s.il_small, &cx, &cy);
            ImageList_DrawEx(s.il_small, img, dc, r.left + 2, r.top + (RowHeight(s) - cy) / 2,
                             std::min(cx, int(r.right - r.left) - 2), cy, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
            r.left = std::min(int(r.right), int(r.left) + 2 + cx);
        }
        fill = r;
    }
    if (sel_look) {
        bc = focus ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
        tc = focus ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
    }
    if (bc != CLR_NONE) FillSolid(dc, fill, bc == CLR_DEFAULT ? s.Bk() : bc);
    std::string t = CellText(h, s, i, sub);
    if (t.empty()) return;
    RECT tr = r;
    InflateRect(&tr, -kCellPad / 2, 0);
    if (col == 0) tr.left = r.left + 2;
    int fmt = col < int(s.cols.size()) ? s.cols[size_t(col)].fmt : LVCFMT_LEFT;
    UINT align = (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT    ? DT_RIGHT
                 : (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? DT_CENTER
                                                               : DT_LEFT;
    if (col == 0) align = DT_LEFT;  // the first column is always left aligned
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, tc == CLR_DEFAULT ? s.Text() : tc);
    DrawTextA(dc, t.c_str(), -1, &tr, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// What painting a row needs beyond the list itself.
struct RowLook {
    int i = 0;
    Item it;  // a copy: the program's notices may change the list under the painting
    RECT row{};
    UINT cdis = 0;
    bool selected = false, show_sel = false, has_focus = false;
};

enum class RowDone { kNext, kStop, kGone };  // on to the next row, no more rows, the list went

void DrawOwnerRow(HWND h, HDC dc, const RowLook& r) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemID = UINT(r.i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (r.selected ? ODS_SELECTED : 0) | ((r.it.state & LVIS_FOCUSED) && r.has_focus ? ODS_FOCUS : 0);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = r.row;
    dis.itemData = ULONG_PTR(r.it.param);
    SendMessageA(GetParent(h), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

// The focus goes round the whole row with full-row selection, else round the first label.
void DrawRowFocus(HWND h, const ListView& s, HDC dc, const RowLook& r) {
    RECT fr = r.row;
    if (!(s.ex & LVS_EX_FULLROWSELECT) && !s.cols.empty()) {
        RECT st, ic, lb;
        FirstCellParts(h, s, r.i, &st, &ic, &lb);
        fr = lb;
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    DrawFocusRect(dc, &fr);
}

// The row's cells, each with custom draw of its own when the item asked for it. False when the
// list or the row went during a notice.
bool DrawCells(HWND h, HDC dc, const RECT& clip, const RowLook& r, const CdResult& ir) {
    ListView* s = L(h);
    if (!(ir.r & CDRF_NEWFONT)) SelectObject(dc, FontOr(s->font));
    // A font chosen for one sub-item (CDRF_NEWFONT) does not spill into the next.
    HGDIOBJ item_font = GetCurrentObject(dc, OBJ_FONT);
    for (int c = 0; c < int(s->cols.size()); ++c) {
        RECT cell = CellRect(h, *s, r.i, c);
        if (cell.right <= cell.left || cell.right <= clip.left || cell.left >= clip.right) continue;
        CdResult sr = ir;
        SelectObject(dc, item_font);
        if (ir.r & CDRF_NOTIFYSUBITEMDRAW) {
            sr = Custom(h, dc, CDDS_ITEMPREPAINT | CDDS_SUBITEM, cell, r.i, c, r.cdis, r.it.param, ir.text, ir.bk);
            s = L(h);
            if (!s || r.i >= int(s->items.size())) return false;
            if (sr.r & CDRF_SKIPDEFAULT) continue;
            if (!(sr.r & CDRF_NEWFONT)) SelectObject(dc, item_font);
        }
        int save = SaveDC(dc);
        IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
        bool sel_look = r.selected && r.show_sel && (c == 0 || (s->ex & LVS_EX_FULLROWSELECT));
        DrawCell(h, *s, dc, r.i, c, cell, sr.text, sr.bk, sel_look, r.has_focus);
        RestoreDC(dc, save);
        if (sr.r & CDRF_NOTIFYPOSTPAINT)
            Custom(h, dc, CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, cell, r.i, c, r.cdis, r.it.param, sr.text, sr.bk);
        s = L(h);
        if (!s || r.i >= int(s->items.size())) return false;
    }
    return true;
}

RowDone PaintRow(HWND h, HDC dc, const RECT& clip, const CdResult& pre, const RowLook& r) {
    ListView* s = L(h);
    if (Style(h) & LVS_OWNERDRAWFIXED) {
        DrawOwnerRow(h, dc, r);
        return RowDone::kNext;
    }
    CdResult ir{CDRF_DODEFAULT, s->Text(), s->TextBk()};
    if (pre.r & CDRF_NOTIFYITEMDRAW) {
        ir = Custom(h, dc, CDDS_ITEMPREPAINT, r.row, r.i, 0, r.cdis, r.it.param, s->Text(), s->TextBk());
        s = L(h);
        if (!s) return RowDone::kGone;
        if (r.i >= int(s->items.size())) return RowDone::kStop;
    }
    if (!(ir.r & CDRF_SKIPDEFAULT)) {
        if (!DrawCells(h, dc, clip, r, ir)) return RowDone::kGone;
        if ((r.it.state & LVIS_FOCUSED) && r.has_focus) DrawRowFocus(h, *L(h), dc, r);
    }
    if (ir.r & CDRF_NOTIFYPOSTPAINT)
        Custom(h, dc, CDDS_ITEMPOSTPAINT, r.row, r.i, 0, r.cdis, r.it.param, ir.text, ir.bk);
    return RowDone::kNext;
}

// The rows from the first the clip reaches. False when the list went during a notice.
bool PaintRows(HWND h, HDC dc, const RECT& clip, const RECT& content, int rh, const CdResult& pre) {
    bool has_focus = GetFocus() == h;
    bool show_sel = has_focus || (Style(h) & LVS_SHOWSELALWAYS);
    int first = L(h)->top + std::max(0, int(clip.top - content.top)) / rh;
    for (int i = first; L(h) && i < int(L(h)->items.size()); ++i) {
        ListView* s = L(h);
        RECT row = RowBounds(h, *s, i);
        if (row.top >= clip.bottom || row.top >= content.bottom) break;
        RowLook r;
        r.i = i;
        r.it = s->items[size_t(i)];
        r.row = row;
        r.selected = (r.it.state & LVIS_SELECTED) != 0;
        r.show_sel = show_sel;
        r.has_focus = has_focus;
        r.cdis =
            (r.selected && show_sel ? CDIS_SELECTED : 0) | ((r.it.state & LVIS_FOCUSED) && has_focus ? CDIS_FOCUS : 0);
        RowDone done = PaintRow(h, dc, clip, pre, r);
        if (done == RowDone::kGone) return false;
        if (done == RowDone::kStop) break;
    }
    return true;
}

void DrawGridLines(HDC dc, const ListView& s, const RECT& content, int rh) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, pen);
    int right = ColumnLeft(s, int(s.cols.size()));
    for (int y = content.top + rh - 1; y < content.bottom; y += rh) {
        MoveToEx(dc, ColumnLeft(s, 0), y, nullptr);
        LineTo(dc, right, y);
    }
    for (int c = 1; c <= int(s.cols.size()); ++c) {
        int x = ColumnLeft(s, c) - 1;
        MoveToEx(dc, x, content.top, nullptr);
        LineTo(dc, x, content.bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Paint(HWND h, HDC dc, const RECT& clip) {
    ListView* s = L(h);
    RECT cr;
    GetClientRect(h, &cr);
    HGDIOBJ old_font = SelectObject(dc, FontOr(s->font));
    CdResult pre = Custom(h, dc, CDDS_PREPAINT, cr, -1, 0, 0, 0, s->Text(), s->TextBk());
    s = L(h);
    if (!s) return;
    if (!(pre.r & CDRF_SKIPDEFAULT)) {
        RECT content = ContentRect(h, *s);
        int rh = RowHeight(*s);
        if (!PaintRows(h, dc, clip, content, rh, pre)) return;
        s = L(h);
        if (!s) return;
        if (s->ex & LVS_EX_GRIDLINES) DrawGridLines(dc, *s, content, rh);
    }
    if (pre.r & CDRF_NOTIFYPOSTPAINT) Custom(h, dc, CDDS_POSTPAINT, cr, -1, 0, 0, 0, pre.text, pre.bk);
    SelectObject(dc, old_font);
}

}  // namespace plat::commctrl::listview
