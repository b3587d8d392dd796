// Measures and draws a small HTML-like markup into any DC: inline text with font, colour and
// alignment tags, line breaks and tabs, rules, images, strings from the string table, links and
// tables, styled by a CSS-like style sheet. Text is never wrapped. A paint reads the line and
// table records that the measuring of the same text left; when they belong to another text,
// style sheet or hovered link, the paint measures again first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "DrawManager.h"
#include "MarkupStyle.h"

struct MarkupLineInfo {
    int width = 0;         // pixels (rules given in percent grown in after measuring)
    int ascent = 0;        // tallest part above the baseline; after measuring the line height
    int descent = 0;
    int widthPercent = 0;  // sum of the percentage widths of rules on the line
    int align = 0;         // 0 left, 1 centre, 2 right
    int fixedWidth = 0;    // the width without the percentage rules
};

struct MarkupLinkArea {
    RECT rc{};
    int kind = 0;    // 1 href, 2 msg
    int number = 0;  // its place among the "a" tags of the text, from 0
    std::string target;
};

struct MarkupTableCell {
    int colSpan = 1;  // negative: a grid place covered by another cell's span
    int rowSpan = 1;
    int contentWidth = 0;
    int contentHeight = 0;
    int needWidth = 0;
    int needHeight = 0;
};

struct MarkupImageAttributes;
struct MarkupTableBlock;
struct MarkupTableRowBlock;
struct MarkupTableCellBlock;

class CSkinMarkupRenderer {
public:
    // Deeper nesting than this is not drawn.
    static constexpr int kMaxTableDepth = 8;
    static constexpr size_t kMaxStyleDepth = 256;
    static constexpr int kMaxGridColumns = 64;
    static constexpr int kMaxGridRows = 512;

    CSkinMarkupRenderer();
    virtual ~CSkinMarkupRenderer();
    CSkinMarkupRenderer(const CSkinMarkupRenderer&) = delete;
    CSkinMarkupRenderer& operator=(const CSkinMarkupRenderer&) = delete;

    SIZE MeasureMarkup(HDC hdc, const char* text);
    void PaintMarkup(HDC hdc, const char* text, const RECT& rc);
    SIZE DrawMarkup(HDC hdc, const char* text, RECT rc, bool measuring);

    void SetStyleSheet(const char* text);
    void SetDefaultStyleSheet();
    const CMarkupStyleSheet& GetStyleSheet() const { return m_sheet; }
    const CMarkupColours& GetColours() const { return m_colours; }

    void SetInstanceHandle(HINSTANCE instance) { m_hInstance = instance; }
    HINSTANCE GetInstanceHandle() const { return m_hInstance; }
    // Field n (from 0) of the newline-separated fields of a string resource; "" when missing.
    std::string GetResourceStringField(UINT id, int field);
    // The image list for "ilst" tags without a source, from a bitmap resource; id 0 destroys it.
    BOOL SetImageList(UINT bitmapId, int cx, int cy, int initial, COLORREF mask);
    void SetHonourLineBreaks(bool honour) { m_bLineBreaks = honour; }
    // Image shadows: mode (0 hard, else soft), offsets, blur extents, transparency percent.
    void SetImageShadow(int mode, int dx, int dy, int extentX, int extentY, int transparency);

    // Links, for a host that forwards its mouse input.
    int HitTestLink(int x, int y) const;
    BOOL OnLinkMouseMove(POINT pt);
    void OnLinkClick(POINT pt);
    void SetHoverTarget(HWND hwnd, UINT msg, LPARAM lParam);
    void SetMsgLinkTarget(HWND hwnd, UINT msg, LPARAM lParam);

    // What the last passes left (for tests and hosts).
    const std::vector<MarkupLineInfo>& GetLines() const { return m_lines; }
    const std::vector<MarkupLinkArea>& GetLinkAreas() const { return m_links; }
    size_t GetStyleStackDepth() const { return m_styleStack.size(); }
    int GetCreatedFontCount() const { return m_nFontsCreated; }

private:
    friend struct MarkupTableLayout;

    // ---- inline text (MarkupRenderer.cpp) ----
    SIZE DrawTags(const std::string& text, const RECT& rc);
    void HandleTextRun(std::string run, bool transform);
    void HandleTag(const std::string& tagText);
    bool HandleStyleTag(const std::string& name, const std::string& arg, const std::string& attrs);
    void HandleFontTag(const std::string& attrs);
    void HandleLinkTag(const std::string& attrs);
    void HandleRule(const std::string& attrs);
    void HandleStringTag(const std::string& attrs);
    bool PushStyle(const char* canonical);
    void PopStyle(const char* canonical);
    void ResetStyle(MarkupTextStyle& style) const;
    void ApplyStyleRule(const std::string& selector, MarkupTextStyle& style);
    void SelectStyleFont();
    void StartLine();
    void NewLine(int count);
    void AdvanceTabStop(int count);
    int GetLineAlignOffset(const MarkupLineInfo& line) const;
    int PlaceTextRun(int height);
    int PlaceObject(int height);
    int LineHeight() const { return m_line.ascent; }
    void AddLinkArea(const RECT& rc);
    void EndDraw();

    // ---- tables (MarkupTables.cpp) ----
    SIZE DrawTable(const std::string& block, const RECT& rc);
    SIZE MeasureTable(MarkupTableBlock& table);
    // True when the records at these counters were measured for a table of this shape.
    bool TableRecordsFit(size_t index, size_t rowBase, int rows, int cols) const;
    SIZE PaintTable(MarkupTableBlock& table, const RECT& rc);
    SIZE DrawCellPieces(const MarkupTableCellBlock& cell, const RECT& rc);
    void PaintCell(const MarkupTableCellBlock& cell, const MarkupTableCell& record, RECT rc);
    void ForEachCell(MarkupTableBlock& table, const MarkupTextStyle& tableStyle,
                     const std::function<void(const MarkupTableCellBlock&, int)>& visit);
    void TileBackground(const std::string& source, const RECT& rc);
    void BeginBlockStyle(const char* rule, const std::string& attrs, int* rowSpan, int* colSpan, bool reset);

    // ---- images (MarkupImages.cpp) ----
    void HandleImageTag(const std::string& name, const std::string& attrs);
    HBITMAP LoadMarkupBitmap(const MarkupImageAttributes& a);
    HICON LoadMarkupIcon(const MarkupImageAttributes& a);
    DWORD EffectsOf(const std::string& letters) const;
    void PlaceImage(int w, int h, const std::string& style, const std::string& hotStyle, HBITMAP bitmap, HICON icon,
                    BOOL mask, COLORREF maskColor);

    // Notification targets: window, message, lParam.
    HWND m_hHoverWnd = nullptr;
    UINT m_nHoverMsg = 0;
    LPARAM m_hoverParam = 0;
    HWND m_hMsgLinkWnd = nullptr;
    UINT m_nMsgLinkMsg = 0;
    LPARAM m_msgLinkParam = 0;

    MarkupTextStyle m_style;
    MarkupLineInfo m_line;
    CDrawManager m_draw;
    HIMAGELIST m_hImageList = nullptr;
    int m_nImageCx = 0, m_nImageCy = 0;
    HINSTANCE m_hInstance = nullptr;
    HCURSOR m_hHandCursor = nullptr;

    // The pass in progress.
    HDC m_hdc = nullptr;
    bool m_bMeasuring = false;
    HFONT m_hOldFont = nullptr;
    int m_nOldBkMode = 0;
    COLORREF m_crOldText = 0, m_crOldBack = 0;
    HFONT m_hFont = nullptr;  // the font the renderer created last
    int m_nFontsCreated = 0;
    TEXTMETRICA m_tm{};

    int m_nWidest = 0;
    int m_nLineNumber = 0;
    RECT m_box{};
    POINT m_pen{};
    int m_nHoverLink = -2;
    int m_nLinkNumber = -1;
    bool m_bLineBreaks = true;

    int m_nShadowMode = 1;
    int m_nShadowDx = 4, m_nShadowDy = 4;
    int m_nShadowExtentX = 7, m_nShadowExtentY = 7;
    int m_nShadowTransparency = 50;
    COLORREF m_crShadow = RGB(127, 127, 127);

    LOGFONTA m_defaultFont{};

    std::vector<MarkupLineInfo> m_lines;
    size_t m_nFirstLineOfCall = 0;
    std::vector<MarkupTextStyle> m_styleStack;
    std::vector<MarkupLinkArea> m_links;
    CMarkupColours m_colours;
    CMarkupStyleSheet m_sheet;
    unsigned m_nSheetGeneration = 0;

    // The table cache: the grid rows of every table of the text, then per table its columns
    // and rows; counters restart with every draw.
    std::vector<std::vector<MarkupTableCell>> m_tableRows;
    std::vector<std::vector<int>> m_columnWidths;
    std::vector<std::vector<int>> m_rowHeights;
    int m_nTableCounter = 0;
    int m_nRowCounter = 0;
    int m_nTableDepth = 0;

    // What the records belong to.
    bool m_bHaveMeasure = false;
    std::string m_measuredText;
    unsigned m_nMeasuredGeneration = 0;
    int m_nMeasuredHover = -2;
};
