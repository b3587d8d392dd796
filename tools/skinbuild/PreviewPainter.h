// The preview sheet's layout and drawing kit: rows of captioned cells on a memory surface, and
// the skin records drawn into them through the engine's drawing calls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Preview.h"
#include "SkinObjectTypes.h"

namespace skinbuild {

class CPreviewPainter {
public:
    CPreviewPainter(CSkinFile& skin, HDC dc, int width, COLORREF sheetColor, COLORREF cellColor);

    CSkinFile& Skin() { return m_skin; }
    HDC Dc() const { return m_dc; }
    COLORREF CellColor() const { return m_cellColor; }

    // Starts a row titled with the type's name; its cells are `height` high.
    void BeginRow(const char* title, int height);
    // Reserves the next cell of the row, `width` wide, captioned with the state; returns the
    // inside of the cell where the sample goes.
    RECT Cell(int type, const char* state, int width);
    // The bottom of the last row: the sheet's used height.
    int UsedHeight() const { return m_y + m_rowHeight + kCaptionH + kGap; }
    const std::vector<PreviewCell>& Cells() const { return m_cells; }

    // Skin records, leaving the key colour's pixels alone.
    void Grid(const SkinNineGrid& grid, const RECT& rc);
    void Part(const SkinImagePart& part, const RECT& rc);
    // The grid's border alone, as fields draw it around the control's own background.
    void Frame(const SkinNineGrid& grid, const RECT& rc);
    void Fill(const RECT& rc, COLORREF color);
    void Text(const char* text, const RECT& rc, const SkinFont& font, COLORREF color,
              UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    void Line(int x0, int y0, int x1, int y1, COLORREF color);
    // A window object's nine frame parts laid out for rc, its caption buttons right-anchored and
    // its title; returns the client area.
    RECT Window(const CSkinWindowObject& window, const RECT& rc, bool active, const char* title);

    static constexpr int kPad = 8;       // between a cell's edge and its sample
    static constexpr int kCaptionH = 16;  // the state caption under a cell
    static constexpr int kGap = 10;       // between rows and cells

private:
    CSkinFile& m_skin;
    HDC m_dc;
    int m_width;
    COLORREF m_sheetColor;
    COLORREF m_cellColor;
    SkinFont m_labelFont;
    int m_x = 0;
    int m_y = 0;
    int m_rowHeight = 0;
    int m_rowStart = 0;
    std::vector<PreviewCell> m_cells;
};

// The rows, one function per group of types.
void PreviewWindows(CPreviewPainter& p);
void PreviewControls(CPreviewPainter& p);
void PreviewCommonControls(CPreviewPainter& p);

template <typename T>
T* FindLook(CSkinFile& skin, const char* name)
{
    return dynamic_cast<T*>(skin.FindObject(name));
}

}  // namespace skinbuild
