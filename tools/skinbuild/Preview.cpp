#include "Preview.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "PreviewPainter.h"
#include "SkinDraw.h"
#include "SkinLook.h"
#include "SkinMemDC.h"

namespace skinbuild {

namespace {

constexpr int kSheetW = 1180;
constexpr int kSheetMaxH = 2600;  // drawn this high, then cut to the rows used
constexpr int kTitleW = 118;      // the row titles' column

// A font and the DC's text settings for the time of one drawing.
class CTextScope {
public:
    CTextScope(HDC dc, const SkinFont& font, COLORREF color) : m_dc(dc)
    {
        const LOGFONTA lf = font.ToLogFont();
        m_font = CreateFontIndirectA(&lf);
        m_old = m_font ? SelectObject(dc, m_font) : nullptr;
        m_mode = SetBkMode(dc, TRANSPARENT);
        m_color = SetTextColor(dc, color);
    }
    ~CTextScope()
    {
        SetTextColor(m_dc, m_color);
        SetBkMode(m_dc, m_mode);
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_font)
            DeleteObject(m_font);
    }
    CTextScope(const CTextScope&) = delete;
    CTextScope& operator=(const CTextScope&) = delete;

private:
    HDC m_dc;
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
    int m_mode = 0;
    COLORREF m_color = 0;
};

COLORREF PixelTopDown(const CRasterImage& img, int x, int y)
{
    RGBQUAD q = img.GetPixelColor(x, int(img.GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// The top `height` rows of the drawn surface as a 24-bit picture.
bool TakeTop(HBITMAP bitmap, int width, int height, CRasterImage& out)
{
    CRasterImage drawn;
    if (!drawn.CreateFromHBITMAP(bitmap) || !out.Create(width, DWORD(height), 24))
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.SetPixelColor(x, height - 1 - y, PixelTopDown(drawn, x, y));
    return true;
}

bool SavePng(const CRasterImage& img, const char* path, std::string* error)
{
    const int w = int(img.GetWidth()), h = int(img.GetHeight());
    std::vector<png_byte> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = PixelTopDown(img, x, y);
            png_byte* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = GetRValue(c), p[1] = GetGValue(c), p[2] = GetBValue(c);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr)) {
        if (error)
            *error = image.message;
        return false;
    }
    return true;
}

}  // namespace

// ---- the painter ----------------------------------------------------------------------------------

CPreviewPainter::CPreviewPainter(CSkinFile& skin, HDC dc, int width, COLORREF sheetColor, COLORREF cellColor)
    : m_skin(skin), m_dc(dc), m_width(width), m_sheetColor(sheetColor), m_cellColor(cellColor)
{
    m_labelFont = MakeFont(-11, FW_NORMAL, kWhite);
    m_y = kGap - m_rowHeight - kCaptionH - kGap;
}

void CPreviewPainter::BeginRow(const char* title, int height)
{
    m_y += m_rowHeight + kCaptionH + kGap;
    m_rowHeight = height;
    m_x = kTitleW;
    SkinFont bold = m_labelFont;
    bold.lfWeight = FW_BOLD;
    Text(title, {kGap, m_y, kTitleW - 4, m_y + height}, bold, RGB(240, 243, 247), DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

RECT CPreviewPainter::Cell(int type, const char* state, int width)
{
    if (m_x + width > m_width - kGap && m_x > kTitleW) {  // wraps under the same title
        m_y += m_rowHeight + kCaptionH + kGap;
        m_x = kTitleW;
    }
    const RECT cell{m_x, m_y, m_x + width, m_y + m_rowHeight};
    Fill(cell, m_cellColor);
    Text(state, {cell.left, cell.bottom + 1, cell.right, cell.bottom + kCaptionH}, m_labelFont, RGB(214, 220, 228),
         DT_SINGLELINE | DT_TOP | DT_CENTER);
    m_cells.push_back({type, state, cell});
    m_x += width + kGap;
    return {cell.left + kPad, cell.top + kPad, cell.right - kPad, cell.bottom - kPad};
}

void CPreviewPainter::Grid(const SkinNineGrid& grid, const RECT& rc)
{
    if (!grid.IsEmpty())
        DrawSkinImagePartTransparent(&m_skin, m_dc, rc, grid, kKeyColor, false);
}

void CPreviewPainter::Part(const SkinImagePart& part, const RECT& rc)
{
    if (!part.IsEmpty())
        DrawSkinImageTransparent(&m_skin, m_dc, rc, part, kKeyColor, false);
}

void CPreviewPainter::Frame(const SkinNineGrid& grid, const RECT& rc)
{
    if (!grid.IsEmpty())
        DrawSkinImageFrame(&m_skin, m_dc, rc, grid, m_cellColor, 0, false);
}

void CPreviewPainter::Fill(const RECT& rc, COLORREF color) { FillSolidRect(m_dc, rc, color); }

void CPreviewPainter::Text(const char* text, const RECT& rc, const SkinFont& font, COLORREF color, UINT format)
{
    CTextScope scope(m_dc, font, color);
    RECT r = rc;
    DrawTextA(m_dc, text, -1, &r, format | DT_NOPREFIX);
}

void CPreviewPainter::Line(int x0, int y0, int x1, int y1, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(m_dc, pen);
    MoveToEx(m_dc, x0, y0, nullptr);
    LineTo(m_dc, x1, y1);
    SelectObject(m_dc, old);
    DeleteObject(pen);
}

RECT CPreviewPainter::Window(const CSkinWindowObject& w, const RECT& rc, bool active, const char* title)
{
    // The design's corners keep their size; the edges between them stretch or tile.
    const RECT* f = w.m_frameRects;
    const LONG W = rc.right - rc.left, H = rc.bottom - rc.top;
    const LONG rw = f[2].right - f[2].left, bh = f[6].bottom - f[6].top, rbw = f[8].right - f[8].left;
    RECT r[9];
    r[0] = f[0];
    r[2] = {W - rw, f[2].top, W, f[2].bottom};
    r[1] = {f[1].left, f[1].top, r[2].left, f[1].bottom};
    r[5] = {W - (f[5].right - f[5].left), f[5].top, W, H - bh};
    r[3] = {f[3].left, f[3].top, f[3].right, H - bh};
    r[4] = {f[4].left, f[4].top, r[5].left, H - bh};
    r[6] = {f[6].left, H - bh, f[6].right, H};
    r[8] = {W - rbw, H - bh, W, H};
    r[7] = {f[7].left, H - bh, r[8].left, H};
    for (int i = 0; i < 9; ++i) {
        const SkinImagePart& part = active || w.m_parts[9 + i].IsEmpty() ? w.m_parts[i] : w.m_parts[9 + i];
        OffsetRect(&r[i], rc.left, rc.top);
        Part(part, r[i]);
    }
    const LONG shift = W - f[8].right;
    for (const auto& child : w.GetChildren()) {
        auto* button = dynamic_cast<CSkinCaptionButtonObject*>(child.second.get());
        if (!button || button->m_image.IsEmpty())
            continue;
        RECT b = button->m_rc;
        OffsetRect(&b, rc.left + shift, rc.top);
        Part(button->m_image, b);
    }
    if (title) {
        CSkinSysColorTableObject* colors = m_skin.GetSysColorTable();
        const COLORREF color = active || !colors ? w.m_captionFont.color : colors->m_colors[COLOR_INACTIVECAPTIONTEXT];
        Text(title, {rc.left + 12, rc.top, rc.left + W / 2, rc.top + f[1].bottom}, w.m_captionFont, color);
    }
    return {r[4].left, r[4].top, r[4].right, r[4].bottom};
}

// ---- the sheet ------------------------------------------------------------------------------------

bool RenderPreview(CSkinFile& skin, PreviewSheet& sheet)
{
    sheet.sheetColor = RGB(84, 92, 104);
    sheet.cellColor = ToColorRef(kBody);
    sheet.cells.clear();
    CSkinMemDC surface(nullptr, kSheetW, kSheetMaxH);
    if (!surface.IsValid())
        return false;
    FillSolidRect(surface, {0, 0, kSheetW, kSheetMaxH}, sheet.sheetColor);

    CPreviewPainter painter(skin, surface, kSheetW, sheet.sheetColor, sheet.cellColor);
    PreviewWindows(painter);
    PreviewControls(painter);
    PreviewCommonControls(painter);

    const int used = std::min(painter.UsedHeight(), kSheetMaxH);
    HBITMAP bitmap = surface.DetachBitmap();
    const bool ok = TakeTop(bitmap, kSheetW, used, sheet.image);
    DeleteObject(bitmap);
    sheet.cells = painter.Cells();
    return ok;
}

bool WritePreview(CSkinFile& skin, const char* path, std::string* error)
{
    PreviewSheet sheet;
    if (!RenderPreview(skin, sheet)) {
        if (error)
            *error = "cannot make the drawing surface";
        return false;
    }
    return SavePng(sheet.image, path, error);
}

}  // namespace skinbuild
