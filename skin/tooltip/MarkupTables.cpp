// Table blocks of the markup: "table", "tr" and "td", nested tables inside cells, spans,
// borders, spacings, background fills and tiles. A block is parsed into rows and cells once
// per pass; both passes place the cells on the grid the same way, so the painting pass finds
// the records the measuring left in the same order.
#include <algorithm>
#include <climits>
#include <functional>
#include <tuple>

#include "MarkupRenderer.h"
#include "MarkupTableBlock.h"

namespace {

constexpr int kSizeLimit = 1 << 28;

int ClampSize(int64_t v) { return int(std::clamp<int64_t>(v, -kSizeLimit, kSizeLimit)); }

bool IsTagEnd(char c) { return c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\r' || c == '\n'; }

// True when the text at `pos` opens the tag `name` ("<td", "</tr"...), followed by a break.
bool TagAt(const std::string& t, size_t pos, const char* name)
{
    const size_t n = std::char_traits<char>::length(name);
    if (t.compare(pos, n, name) != 0) return false;
    return pos + n >= t.size() || IsTagEnd(t[pos + n]);
}

// The end of the tag opening at `pos`: behind its '>', or `limit`.
size_t TagEnd(const std::string& t, size_t pos, size_t limit)
{
    const size_t gt = t.find('>', pos);
    return gt == std::string::npos || gt >= limit ? limit : gt + 1;
}

// The attribute text of the tag opening at `pos` with a name of `nameLength` characters.
std::string TagAttributes(const std::string& t, size_t pos, size_t nameLength, size_t end)
{
    size_t a = pos + 1 + nameLength, b = end;
    if (b > a && b <= t.size() && t[b - 1] == '>') --b;
    return a < b ? t.substr(a, b - a) : std::string();
}

// The end of a nested table opening at `start`, bounded by `limit`.
size_t NestedTableEnd(const std::string& t, size_t start, size_t limit)
{
    int depth = 0;
    size_t pos = start;
    while (pos < limit) {
        const size_t lt = t.find('<', pos);
        if (lt == std::string::npos || lt >= limit) break;
        if (t.compare(lt, 6, "<table") == 0) {
            ++depth;
        } else if (t.compare(lt, 7, "</table") == 0 && --depth == 0) {
            return TagEnd(t, lt, limit);
        }
        pos = lt + 1;
    }
    return limit;
}

// The next '<' at the top level of [pos, limit) (nested tables skipped), or limit.
size_t NextTopTag(const std::string& t, size_t pos, size_t limit)
{
    while (pos < limit) {
        const size_t lt = t.find('<', pos);
        if (lt == std::string::npos || lt >= limit) return limit;
        if (t.compare(lt, 6, "<table") == 0) {
            pos = NestedTableEnd(t, lt, limit);
            continue;
        }
        return lt;
    }
    return limit;
}

// A cell's content from `pos`: inline pieces and nested tables up to "/td" or up to the next
// cell or row, never past `limit`. Returns where the cell ends.
size_t ParseCellContent(const std::string& t, size_t pos, size_t limit, MarkupTableCellBlock& cell)
{
    size_t textStart = pos;
    const auto flushText = [&](size_t upTo) {
        if (upTo > textStart) cell.pieces.push_back(MarkupTablePiece{false, t.substr(textStart, upTo - textStart)});
    };
    while (pos < limit) {
        const size_t lt = t.find('<', pos);
        if (lt == std::string::npos || lt >= limit) break;
        if (t.compare(lt, 6, "<table") == 0) {
            flushText(lt);
            const size_t end = NestedTableEnd(t, lt, limit);
            cell.pieces.push_back(MarkupTablePiece{true, t.substr(lt, end - lt)});
            pos = textStart = end;
            continue;
        }
        if (TagAt(t, lt, "</td")) {
            flushText(lt);
            return TagEnd(t, lt, limit);
        }
        if (TagAt(t, lt, "<td") || TagAt(t, lt, "<tr") || TagAt(t, lt, "</tr")) {
            flushText(lt);
            return lt;
        }
        pos = lt + 1;
    }
    flushText(limit);
    return limit;
}

// One row from behind its "<tr ...>": cells up to "/tr" or the next row.
size_t ParseRow(const std::string& t, size_t pos, size_t limit, MarkupTableRowBlock& row)
{
    while (pos < limit) {
        const size_t lt = NextTopTag(t, pos, limit);
        if (lt >= limit) return limit;
        if (TagAt(t, lt, "</tr")) return TagEnd(t, lt, limit);
        if (TagAt(t, lt, "<tr")) return lt;
        if (TagAt(t, lt, "<td")) {
            const size_t open = TagEnd(t, lt, limit);
            MarkupTableCellBlock cell;
            cell.attrs = TagAttributes(t, lt, 2, open);
            pos = ParseCellContent(t, open, limit, cell);
            row.cells.push_back(std::move(cell));
            continue;
        }
        pos = lt + 1;
    }
    return limit;
}

}  // namespace

MarkupTableBlock ParseMarkupTable(const std::string& block)
{
    MarkupTableBlock table;
    if (block.compare(0, 6, "<table") != 0) return table;
    const size_t open = TagEnd(block, 0, block.size());
    table.attrs = TagAttributes(block, 0, 5, open);
    // The content ends at the block's own closing tag when it has one.
    size_t limit = block.size();
    const size_t last = block.rfind("</table");
    if (last != std::string::npos && last >= open) limit = last;
    size_t pos = open;
    while (pos < limit) {
        const size_t lt = NextTopTag(block, pos, limit);
        if (lt >= limit) break;
        if (TagAt(block, lt, "<tr")) {
            const size_t rowOpen = TagEnd(block, lt, limit);
            MarkupTableRowBlock row;
            row.attrs = TagAttributes(block, lt, 2, rowOpen);
            pos = ParseRow(block, rowOpen, limit, row);
            table.rows.push_back(std::move(row));
            if (table.rows.size() >= size_t(CSkinMarkupRenderer::kMaxGridRows)) break;
            continue;
        }
        pos = lt + 1;
    }
    return table;
}

// ---- the renderer's table pass ----------------------------------------------------------------------

SIZE CSkinMarkupRenderer::DrawTable(const std::string& block, const RECT& rc)
{
    // Nesting deeper than this is not drawn, so no text can exhaust the stack.
    if (m_nTableDepth >= kMaxTableDepth) return SIZE{0, 0};
    ++m_nTableDepth;
    MarkupTableBlock table = ParseMarkupTable(block);
    const MarkupTextStyle saved = m_style;
    const size_t stackDepth = m_styleStack.size();
    const SIZE size = m_bMeasuring ? MeasureTable(table) : PaintTable(table, rc);
    m_style = saved;
    m_styleStack.resize(std::min(m_styleStack.size(), stackDepth));
    SelectStyleFont();
    --m_nTableDepth;
    return size;
}

void CSkinMarkupRenderer::BeginBlockStyle(const char* rule, const std::string& attrs, int* rowSpan, int* colSpan,
                                          bool reset)
{
    if (reset) ResetStyle(m_style);
    ApplyStyleRule(rule, m_style);
    ParseTableAttributes(m_hdc, attrs, m_style, m_colours, rowSpan, colSpan);
    SelectStyleFont();
}

// Puts every cell on the grid: covered places are skipped, spans are cut to the grid, cells
// that fall outside the largest grid are dropped. The same in both passes.
void PlaceMarkupTableCells(MarkupTableBlock& table, HDC hdc)
{
    const int rows = int(table.rows.size());
    std::vector<std::vector<bool>> used(static_cast<size_t>(rows),
                                        std::vector<bool>(static_cast<size_t>(CSkinMarkupRenderer::kMaxGridColumns)));
    table.columns = 0;
    for (int r = 0; r < rows; ++r) {
        int col = 0;
        for (MarkupTableCellBlock& cell : table.rows[size_t(r)].cells) {
            int rs = 1, cs = 1;
            for (const auto& [name, v] : ParseMarkupAttributes(ToLowerAscii(cell.attrs))) {
                if (name == "rowspan") rs = ParseCssLength(hdc, v, rs, false);
                else if (name == "colspan") cs = ParseCssLength(hdc, v, cs, false);
            }
            while (col < CSkinMarkupRenderer::kMaxGridColumns && used[size_t(r)][size_t(col)]) ++col;
            cell.placed = col < CSkinMarkupRenderer::kMaxGridColumns;
            if (!cell.placed) continue;
            cell.row = r;
            cell.col = col;
            cell.rowSpan = std::clamp(rs, 1, rows - r);
            cell.colSpan = std::clamp(cs, 1, CSkinMarkupRenderer::kMaxGridColumns - col);
            for (int y = r; y < r + cell.rowSpan; ++y)
                for (int x = col; x < col + cell.colSpan; ++x) used[size_t(y)][size_t(x)] = true;
            col += cell.colSpan;
            table.columns = std::max(table.columns, col);
        }
    }
}

SIZE CSkinMarkupRenderer::DrawCellPieces(const MarkupTableCellBlock& cell, const RECT& rc)
{
    RECT r = rc;
    int width = 0;
    int64_t height = 0;
    for (const MarkupTablePiece& piece : cell.pieces) {
        const SIZE s = piece.table ? DrawTable(piece.text, r) : DrawTags(piece.text, r);
        width = std::max(width, int(s.cx));
        height += s.cy;
        if (!m_bMeasuring) r.top = ClampSize(int64_t(r.top) + s.cy);
    }
    return SIZE{width, ClampSize(height)};
}

namespace {

// Widens spanned columns (or rows) to what their cells need, narrow spans first.
void DistributeNeeds(std::vector<int>& sizes, const std::vector<std::tuple<int, int, int>>& needs)
{
    const int count = int(sizes.size());
    for (int span = 1; span <= count; ++span) {
        for (const auto& [first, cells, need] : needs) {
            if (cells != span) continue;
            int64_t sum = 0;
            for (int i = first; i < first + span; ++i) sum += sizes[size_t(i)];
            if (sum >= need) continue;
            const int64_t missing = need - sum;
            for (int i = first; i < first + span; ++i) sizes[size_t(i)] = ClampSize(sizes[size_t(i)] + missing / span);
            sizes[size_t(first + span - 1)] = ClampSize(sizes[size_t(first + span - 1)] + missing % span);
        }
    }
}

int BorderAllowance(const MarkupTextStyle& s)
{
    return ClampSize(int64_t(s.borderWidth) * (s.borderStyle == CDrawManager::kBorderDouble ? 6 : 2));
}

int64_t Sum(const std::vector<int>& v)
{
    int64_t s = 0;
    for (int x : v) s += x;
    return s;
}


// The table's "width": a percentage (above 0) or a length; false without one.
bool ReadTableWidth(const std::string& attrs, int* percent, std::string* length)
{
    const MarkupAttributes a = ParseMarkupAttributes(ToLowerAscii(attrs));
    const std::string* w = FindMarkupAttribute(a, "width");
    if (!w || w->empty()) return false;
    if (w->back() == '%') {
        *percent = int(std::clamp<long long>(ParseMarkupNumber(w->substr(0, w->size() - 1)), 0, markup_limits::kMaxPercent));
        return *percent > 0;
    }
    *length = *w;
    return true;
}

}  // namespace

// Visits the placed cells row by row with each row's and cell's style in force; whatever a
// cell's markup leaves on the style stack goes with the cell.
void CSkinMarkupRenderer::ForEachCell(MarkupTableBlock& table, const MarkupTextStyle& tableStyle,
                                      const std::function<void(const MarkupTableCellBlock&, int)>& visit)
{
    for (int r = 0; r < int(table.rows.size()); ++r) {
        m_style = tableStyle;
        BeginBlockStyle("tr", table.rows[size_t(r)].attrs, nullptr, nullptr, false);
        const MarkupTextStyle rowStyle = m_style;
        for (const MarkupTableCellBlock& cell : table.rows[size_t(r)].cells) {
            if (!cell.placed) continue;
            m_style = rowStyle;
            const size_t depth = m_styleStack.size();
            BeginBlockStyle("td", cell.attrs, nullptr, nullptr, false);
            visit(cell, r);
            m_styleStack.resize(std::min(m_styleStack.size(), depth));
        }
    }
}

SIZE CSkinMarkupRenderer::MeasureTable(MarkupTableBlock& table)
{
    PlaceMarkupTableCells(table, m_hdc);
    const int rows = int(table.rows.size()), cols = table.columns;
    // An empty table takes no records, as painting refuses it without any.
    if (rows == 0 || cols == 0) return SIZE{0, 0};
    const int index = m_nTableCounter++;
    const size_t rowBase = size_t(m_nRowCounter);
    m_nRowCounter += rows;
    if (m_columnWidths.size() <= size_t(index)) {
        m_columnWidths.resize(size_t(index) + 1);
        m_rowHeights.resize(size_t(index) + 1);
    }
    m_tableRows.resize(std::max(m_tableRows.size(), rowBase + size_t(rows)));
    for (int r = 0; r < rows; ++r) {
        auto& grid = m_tableRows[rowBase + size_t(r)];
        grid.assign(size_t(cols), MarkupTableCell{-1, -1, 0, 0, 0, 0});
    }

    BeginBlockStyle("table", table.attrs, nullptr, nullptr, true);
    const MarkupTextStyle tableStyle = m_style;
    std::vector<std::tuple<int, int, int>> widthNeeds, heightNeeds;
    ForEachCell(table, tableStyle, [&](const MarkupTableCellBlock& cell, int r) {
        const MarkupTextStyle cellStyle = m_style;
        const SIZE content = DrawCellPieces(cell, RECT{0, 0, 0, 0});
        const int border = cellStyle.borderWidth != 0 ? (cellStyle.borderStyle == CDrawManager::kBorderDouble ? 6 : 2) : 0;
        MarkupTableCell rec;
        rec.colSpan = cell.colSpan;
        rec.rowSpan = cell.rowSpan;
        rec.contentWidth = content.cx;
        rec.contentHeight = content.cy;
        rec.needWidth = ClampSize(int64_t(content.cx) + cellStyle.outer[0] + cellStyle.outer[1] + cellStyle.inner[0] +
                                  cellStyle.inner[1] + border);
        rec.needHeight = ClampSize(int64_t(content.cy) + cellStyle.outer[2] + cellStyle.outer[3] + cellStyle.inner[2] +
                                   cellStyle.inner[3] + border);
        m_tableRows[rowBase + size_t(r)][size_t(cell.col)] = rec;
        widthNeeds.emplace_back(cell.col, cell.colSpan, rec.needWidth);
        heightNeeds.emplace_back(r, cell.rowSpan, rec.needHeight);
    });
    std::vector<int> widths(size_t(cols), 0), heights(size_t(rows), 0);
    DistributeNeeds(widths, widthNeeds);
    DistributeNeeds(heights, heightNeeds);
    m_columnWidths[size_t(index)] = widths;
    m_rowHeights[size_t(index)] = heights;

    const int allowance = BorderAllowance(tableStyle);
    const int64_t sum = Sum(widths) + allowance;
    int64_t width = sum;
    int percent = 0;
    std::string length;
    // A width of 0 % would divide by zero: it counts as no width at all.
    if (ReadTableWidth(table.attrs, &percent, &length)) {
        if (percent > 0) width = percent <= 100 ? sum * 100 / percent : sum * percent / 100;
        else if (!length.empty()) width = ParseCssLength(m_hdc, length, ClampSize(sum), false);
    }
    return SIZE{ClampSize(std::max(width, sum)), ClampSize(Sum(heights) + allowance)};
}

bool CSkinMarkupRenderer::TableRecordsFit(size_t index, size_t rowBase, int rows, int cols) const
{
    if (rows == 0 || cols == 0 || index >= m_columnWidths.size() || m_columnWidths[index].size() != size_t(cols) ||
        m_rowHeights[index].size() != size_t(rows) || rowBase + size_t(rows) > m_tableRows.size())
        return false;
    for (int r = 0; r < rows; ++r)
        if (m_tableRows[rowBase + size_t(r)].size() != size_t(cols)) return false;
    return true;
}

SIZE CSkinMarkupRenderer::PaintTable(MarkupTableBlock& table, const RECT& box)
{
    PlaceMarkupTableCells(table, m_hdc);
    const int rows = int(table.rows.size()), cols = table.columns;
    const size_t index = size_t(m_nTableCounter);
    const size_t rowBase = size_t(m_nRowCounter);
    // Records of another text: nothing to draw from, and the counters stay where they are, as
    // they would for a table the records do not hold.
    if (!TableRecordsFit(index, rowBase, rows, cols)) return SIZE{0, 0};
    ++m_nTableCounter;
    m_nRowCounter += rows;
    std::vector<int> widths = m_columnWidths[index];
    const std::vector<int>& heights = m_rowHeights[index];

    BeginBlockStyle("table", table.attrs, nullptr, nullptr, true);
    const MarkupTextStyle tableStyle = m_style;
    const int allowance = BorderAllowance(tableStyle);
    const int64_t boxWidth = int64_t(box.right) - box.left;
    const int64_t sum = Sum(widths);
    int64_t width = boxWidth;
    int percent = 0;
    std::string length;
    if (ReadTableWidth(table.attrs, &percent, &length)) {
        if (percent > 0 && percent < 100) width = boxWidth * percent / 100;
        else if (!length.empty()) width = ParseCssLength(m_hdc, length, ClampSize(sum), false);
    }
    // Never narrower than the columns and the border need.
    width = std::max(width, sum + allowance);
    const int height = ClampSize(Sum(heights) + allowance);
    RECT rc{box.left, box.top, ClampSize(box.left + width), ClampSize(int64_t(box.top) + height)};
    if (width < boxWidth) {
        const int64_t diff = boxWidth - width;
        const int64_t shift = tableStyle.textAlign == MarkupTextStyle::kAlignCenter ? diff / 2
                              : tableStyle.textAlign == MarkupTextStyle::kAlignRight ? diff : 0;
        rc.left = ClampSize(rc.left + shift);
        rc.right = ClampSize(rc.right + shift);
    }
    if (tableStyle.backEffect != CDrawManager::kBackTransparent)
        m_draw.FillBackground(m_hdc, tableStyle.backEffect, rc, tableStyle.backColor, tableStyle.backMiddle,
                              tableStyle.backEnd);
    else if (!tableStyle.backImage.empty())
        TileBackground(tableStyle.backImage, rc);
    m_draw.DrawBorder(m_hdc, rc, tableStyle.borderLight, tableStyle.borderDark, tableStyle.borderStyle,
                      tableStyle.borderWidth);
    const int inset = allowance / 2;
    InflateRect(&rc, -inset, -inset);
    const int64_t extra = int64_t(rc.right) - rc.left - sum;
    if (extra > 0) {
        for (int& w : widths) w = ClampSize(w + extra / cols);
        widths[0] = ClampSize(widths[0] + extra % cols);
    }
    std::vector<int> lefts(size_t(cols) + 1, rc.left), tops(size_t(rows) + 1, rc.top);
    for (int c = 0; c < cols; ++c) lefts[size_t(c) + 1] = ClampSize(int64_t(lefts[size_t(c)]) + widths[size_t(c)]);
    for (int r = 0; r < rows; ++r) tops[size_t(r) + 1] = ClampSize(int64_t(tops[size_t(r)]) + heights[size_t(r)]);

    ForEachCell(table, tableStyle, [&](const MarkupTableCellBlock& cell, int r) {
        const RECT cellRect{lefts[size_t(cell.col)], tops[size_t(r)], lefts[size_t(cell.col + cell.colSpan)],
                            tops[size_t(r + cell.rowSpan)]};
        PaintCell(cell, m_tableRows[rowBase + size_t(r)][size_t(cell.col)], cellRect);
    });
    return SIZE{ClampSize(width), height};
}

void CSkinMarkupRenderer::PaintCell(const MarkupTableCellBlock& cell, const MarkupTableCell& record, RECT rc)
{
    const MarkupTextStyle s = m_style;
    rc.left += s.outer[0];
    rc.right -= s.outer[1];
    rc.top += s.outer[2];
    rc.bottom -= s.outer[3];
    if (s.backEffect != CDrawManager::kBackTransparent && rc.right > rc.left && rc.bottom > rc.top)
        m_draw.FillBackground(m_hdc, s.backEffect, rc, s.backColor, s.backMiddle, s.backEnd);
    m_draw.DrawBorder(m_hdc, rc, s.borderLight, s.borderDark, s.borderStyle, s.borderWidth);
    if (s.borderWidth != 0) {
        const int in = s.borderStyle == CDrawManager::kBorderDouble ? 3 : 1;
        InflateRect(&rc, -in, -in);
    }
    rc.left += s.inner[0];
    rc.right -= s.inner[1];
    rc.top += s.inner[2];
    rc.bottom -= s.inner[3];
    int offset = 0;
    const int room = rc.bottom - rc.top;
    if (s.verticalAlign == MarkupTextStyle::kVAlignMiddle) offset = (room - record.contentHeight) / 2;
    else if (s.verticalAlign == MarkupTextStyle::kVAlignBottom) offset = room - record.contentHeight;
    DrawCellPieces(cell, RECT{rc.left, ClampSize(int64_t(rc.top) + offset), rc.right, rc.bottom});
}
