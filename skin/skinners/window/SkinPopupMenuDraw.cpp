// Measuring and painting a skinned popup menu.
#include <commctrl.h>

#include <algorithm>

#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinPopupMenu.h"

namespace {

constexpr int kArrowWidth = 4, kArrowHeight = 8;   // the submenu arrow without an image
constexpr int kScrollArrowW = 8, kScrollArrowH = 4;
constexpr int kCheckSquare = 6;                    // the check mark without an image

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The DC with a font selected for as long as it lives.
class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font) : m_dc(dc), m_font(font), m_old(font ? SelectObject(dc, font) : nullptr) {}
    ~SelectedFont()
    {
        if (m_font) {
            SelectObject(m_dc, m_old);
            DeleteObject(m_font);
        }
    }

private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_old;
};

// The (command id, image index) pairs and image lists the menu bar or the caller gave.
struct MenuImages {
    explicit MenuImages(const UINT_PTR* p)
        : pairs(reinterpret_cast<const int*>(p[0])), count(int(p[1])), normal(reinterpret_cast<HIMAGELIST>(p[2])),
          selected(reinterpret_cast<HIMAGELIST>(p[3])), disabled(reinterpret_cast<HIMAGELIST>(p[4]))
    {
    }
    int ImageOf(UINT id) const
    {
        for (int i = 0; pairs && normal && i < count; ++i)
            if (UINT(pairs[2 * i]) == id)
                return pairs[2 * i + 1];
        return -1;
    }
    const int* pairs;
    int count;
    HIMAGELIST normal, selected, disabled;
};

SIZE TextSize(HDC dc, const std::string& text)
{
    RECT rc = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &rc, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{Width(rc), Height(rc)};
}

}  // namespace

bool CSkinPopupMenu::IsRightToLeft() const
{
    return m_hWnd && (GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
}

HFONT CSkinPopupMenu::CreateMenuFont()
{
    LOGFONTA lf = GetMenuObject()->m_captionFont.ToLogFont();
    if (!lf.lfFaceName[0])
        lstrcpynA(lf.lfFaceName, "Arial", sizeof lf.lfFaceName);
    return CreateFontIndirectA(&lf);
}

int CSkinPopupMenu::MeasureRowHeight()
{
    HDC dc = CreateCompatibleDC(nullptr);
    int text = 0;
    {
        SelectedFont font(dc, CreateMenuFont());
        text = TextSize(dc, "TEST").cy;
    }
    DeleteDC(dc);
    const MenuImages images(GetMenuParams());
    int icon = 0;
    if (images.normal) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images.normal, &cx, &cy);
        icon = std::max(cx, cy);
    }
    const RECT& margins = GetMenuObject()->m_rects[0];
    return std::max(text, icon) + margins.top + margins.bottom + 2;
}

SIZE CSkinPopupMenu::GetPopupSize()
{
    m_nRowHeight = MeasureRowHeight();
    int widest = 0;
    HDC dc = CreateCompatibleDC(nullptr);
    {
        SelectedFont font(dc, CreateMenuFont());
        const int tabGap = TextSize(dc, "    ").cx;
        for (int i = 0; i < m_pModel->GetCount(); ++i) {
            const std::string& text = m_pModel->GetEntry(i)->m_strText;
            const size_t tab = text.find('\t');
            int w = TextSize(dc, text.substr(0, tab)).cx;
            if (tab != std::string::npos)
                w += TextSize(dc, text.substr(tab + 1)).cx + tabGap;
            widest = std::max(widest, w);
        }
    }
    DeleteDC(dc);
    CSkinPopupMenuObject* o = GetMenuObject();
    const RECT* f = o->m_frameRects;
    const RECT& margins = o->m_rects[0];
    return SIZE{widest + Width(f[3]) + Width(f[5]) + margins.left + 2 * m_nRowHeight + margins.right + 1,
                m_nRowHeight * m_pModel->GetCount() + Height(f[0]) + Height(f[6])};
}

void CSkinPopupMenu::RepaintRow(int index)
{
    const RECT row = GetRowRect(index);
    if (m_hWnd && !IsRectEmpty(&row))
        InvalidateRect(m_hWnd, &row, FALSE);
}

void CSkinPopupMenu::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (Width(client) > 0 && Height(client) > 0) {
        CSkinMemDC mem(dc, Width(client), Height(client));
        if (mem.IsValid()) {
            DrawBackground(mem, TRUE);
            const int last = std::min(m_pModel->GetCount(), m_nFirstVisible + m_nVisibleRows);
            for (int i = m_nFirstVisible; i < last; ++i)
                DrawEntry(mem, i, GetRowRect(i));
            if (m_bScrolling)
                DrawScrollArrows(mem);
            BitBlt(dc, 0, 0, Width(client), Height(client), mem, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &ps);
}

void CSkinPopupMenu::DrawScrollArrows(HDC hdc)
{
    const COLORREF color = GetMenuObject()->m_crText;
    const int upX = (m_rcScrollUp.left + m_rcScrollUp.right) / 2, upY = m_rcScrollUp.top;
    const POINT up[3] = {{upX - kScrollArrowW / 2, upY + kScrollArrowH}, {upX + kScrollArrowW / 2, upY + kScrollArrowH},
                         {upX, upY}};
    const int dnX = (m_rcScrollDown.left + m_rcScrollDown.right) / 2, dnY = m_rcScrollDown.bottom - 1;
    const POINT down[3] = {{dnX - kScrollArrowW / 2, dnY - kScrollArrowH},
                           {dnX + kScrollArrowW / 2, dnY - kScrollArrowH}, {dnX, dnY}};
    if (Height(m_rcScrollUp) > kScrollArrowH) {
        FillPolygon(hdc, up, 3, color);
        FillPolygon(hdc, down, 3, color);
    }
}

void CSkinPopupMenu::DrawEntry(HDC hdc, int index, const RECT& row)
{
    const CSkinMenuEntry* e = m_pModel->GetEntry(index);
    if (!e || IsRectEmpty(&row))
        return;
    CSkinPopupMenuObject* o = GetMenuObject();
    CSkinFile* file = o->GetOwner();
    const bool mirror = IsRightToLeft();
    const int h = m_nRowHeight;
    if (e->IsSeparator()) {
        const SkinNineGrid& image = o->m_grids[1];
        if (IsGridPartEmpty(image)) {
            RECT line = {row.left, (row.top + row.bottom) / 2 - 1, row.right, (row.top + row.bottom) / 2 + 1};
            DrawEdge(hdc, &line, EDGE_ETCHED, BF_TOP);
        } else {
            const int ih = Height(image.src);
            RECT line = {row.left, row.top + (h - ih) / 2, row.right, row.top + (h - ih) / 2 + ih};
            DrawSkinImagePart(file, hdc, line, image, o->m_crBackground, 0, mirror);
        }
        return;
    }
    const RECT& margins = o->m_rects[0];
    // A right-to-left menu shows the row mirrored: text from the right, icons at the right end.
    const auto shown = [&](RECT r) {
        return mirror ? RECT{row.left + row.right - r.right, r.top, row.left + row.right - r.left, r.bottom} : r;
    };
    RECT text = shown(RECT{row.left + margins.left + h + 1, row.top + margins.top, row.right - margins.right - h,
                           row.bottom - margins.bottom});
    const bool selectable = e->IsSelectable();
    if (e->m_bSelected) {
        if (IsGridPartEmpty(o->m_grids[0]))
            FillSolidRect(hdc, row, o->m_crBack);
        else
            DrawSkinImagePart(file, hdc, row, o->m_grids[0], o->m_crBack, 1, mirror);
    }
    const COLORREF color = !selectable ? COLORREF(o->m_values[1]) : e->m_bSelected ? COLORREF(o->m_values[0]) : o->m_crText;
    {
        SelectedFont font(hdc, CreateMenuFont());
        const int oldMode = SetBkMode(hdc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(hdc, color);
        const size_t tab = e->m_strText.find('\t');
        const std::string label = e->m_strText.substr(0, tab);
        const UINT line = DT_VCENTER | DT_SINGLELINE | (mirror ? DT_RTLREADING : 0);
        DrawTextA(hdc, label.c_str(), int(label.size()), &text, line | (mirror ? DT_RIGHT : DT_LEFT));
        if (tab != std::string::npos) {
            const std::string keys = e->m_strText.substr(tab + 1);
            DrawTextA(hdc, keys.c_str(), int(keys.size()), &text, line | (mirror ? DT_LEFT : DT_RIGHT));
        }
        SetTextColor(hdc, oldColor);
        SetBkMode(hdc, oldMode);
    }
    DrawEntryImage(hdc, *e, shown(RECT{row.left + margins.left, row.top, row.left + margins.left + h, row.bottom}),
                   selectable);
    if (e->m_hSubMenu) {
        const RECT right = {row.right - margins.right - h, row.top, row.right - margins.right, row.bottom};
        if (!IsImagePartEmpty(o->m_image2)) {
            const int side = std::min(h, Width(o->m_image2.src) ? int(Width(o->m_image2.src)) : h);
            const RECT box = {right.right - side, row.top + (h - side) / 2, right.right, row.top + (h - side) / 2 + side};
            DrawSkinImageTransparent(file, hdc, shown(box), o->m_image2, GetKeyColor(), mirror);
        } else {
            // Pointing away from the text, the way the submenu opens.
            const int tip = mirror ? row.left + margins.left + 4 : right.right - 4, y = (row.top + row.bottom) / 2;
            const int back = mirror ? tip + kArrowWidth : tip - kArrowWidth;
            const POINT arrow[3] = {{back, y - kArrowHeight / 2}, {back, y + kArrowHeight / 2}, {tip, y}};
            FillPolygon(hdc, arrow, 3, color);
        }
    }
}

void CSkinPopupMenu::DrawEntryImage(HDC hdc, const CSkinMenuEntry& e, const RECT& column, bool selectable)
{
    CSkinPopupMenuObject* o = GetMenuObject();
    if (e.IsChecked()) {
        if (!IsImagePartEmpty(o->m_image1)) {
            const int w = std::min(Width(column), int(Width(o->m_image1.src)));
            const int ih = std::min(Height(column), int(Height(o->m_image1.src)));
            const RECT box = {column.left + (Width(column) - w) / 2, column.top + (Height(column) - ih) / 2,
                              column.left + (Width(column) - w) / 2 + w, column.top + (Height(column) - ih) / 2 + ih};
            DrawSkinImageTransparent(o->GetOwner(), hdc, box, o->m_image1, GetKeyColor(), IsRightToLeft());
        } else {
            const int x = (column.left + column.right - kCheckSquare) / 2, y = (column.top + column.bottom - kCheckSquare) / 2;
            FillSolidRect(hdc, RECT{x, y, x + kCheckSquare, y + kCheckSquare}, RGB(0, 0, 0));
        }
        return;
    }
    const MenuImages images(GetMenuParams());
    const int image = images.ImageOf(e.m_nId);
    if (image < 0)
        return;
    HIMAGELIST list = images.normal;
    if (!selectable && images.disabled)
        list = images.disabled;
    else if (e.m_bSelected && images.selected)
        list = images.selected;
    const RECT& offsets = o->m_rects[1];
    ImageList_DrawEx(list, image, hdc, column.left + offsets.left + 1, column.top + offsets.top + 1, 0, 0, CLR_NONE,
                     CLR_NONE, ILD_TRANSPARENT);
}
