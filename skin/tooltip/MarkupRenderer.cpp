// The markup renderer's inline part: the whole-text walk, tokens, tags, lines, tab stops,
// fonts, links and string resources. Tables and images live in their own files.
#include "MarkupRenderer.h"

#include <algorithm>
#include <climits>
#include <cstring>


namespace {

// Pen coordinates stay far inside int range whatever the markup asks for.
constexpr int64_t kPenLimit = 1 << 28;

int ClampPen(int64_t v) { return int(std::clamp<int64_t>(v, -kPenLimit, kPenLimit)); }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

size_t FindTableStart(const std::string& t, size_t from)
{
    return t.find("<table", from);
}

// The end of the table block opening at `start`: behind the '>' of its matching "/table",
// nested tables counted; the text end when it has none.
size_t FindTableEnd(const std::string& t, size_t start)
{
    int depth = 0;
    size_t pos = start;
    while (pos < t.size()) {
        const size_t lt = t.find('<', pos);
        if (lt == std::string::npos) break;
        if (t.compare(lt, 6, "<table") == 0) {
            ++depth;
        } else if (t.compare(lt, 7, "</table") == 0) {
            if (--depth == 0) {
                const size_t gt = t.find('>', lt);
                return gt == std::string::npos ? t.size() : gt + 1;
            }
        }
        pos = lt + 1;
    }
    return t.size();
}

std::string Transform(std::string run, int mode)
{
    switch (mode) {
    case MarkupTextStyle::kTransformUpper:
        for (char& c : run)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        break;
    case MarkupTextStyle::kTransformLower: run = ToLowerAscii(run); break;
    case MarkupTextStyle::kTransformCapitalize:
        run = ToLowerAscii(run);
        for (size_t i = 0; i < run.size(); ++i)
            if ((i == 0 || run[i - 1] == ' ') && run[i] >= 'a' && run[i] <= 'z') run[i] = char(run[i] - 'a' + 'A');
        break;
    default: break;
    }
    return run;
}

int CountOf(const std::string& arg)
{
    if (arg.empty()) return 1;
    return int(std::clamp<long long>(ParseMarkupNumber(arg), 0, markup_limits::kMaxCount));
}

// Vertical-align tag -> (canonical name, value).
bool VerticalTag(const std::string& name, const char** canonical, int* value)
{
    static const struct { const char* tag; const char* canonical; int value; } kTags[] = {
        {"top", "top", 0}, {"middle", "vcenter", 1}, {"vcenter", "vcenter", 1},
        {"bottom", "bottom", 2}, {"baseline", "baseline", 3},
    };
    for (const auto& t : kTags)
        if (name == t.tag) {
            *canonical = t.canonical;
            *value = t.value;
            return true;
        }
    return false;
}

bool RuleTag(const std::string& name)
{
    static const char* const kTags[] = {"body", "h1", "h2", "h3", "h4", "h5", "h6", "code",
                                        "pre", "big", "small", "sub", "sup"};
    for (const char* t : kTags)
        if (name == t) return true;
    return false;
}

// The name a saved copy of the style carries for a tag; null for tags that save nothing.
const char* CanonicalName(const std::string& name)
{
    if (name == "b") return "bold";
    if (name == "i" || name == "em") return "italic";
    if (name == "u") return "underline";
    if (name == "s" || name == "strike") return "strikeout";
    if (name == "font") return "font";
    if (name == "left" || name == "center" || name == "right") return name == "left" ? "left" : name == "center" ? "center" : "right";
    if (name == "span") return "span";
    if (name == "a") return "link";
    const char* vertical = nullptr;
    int value = 0;
    if (VerticalTag(name, &vertical, &value)) return vertical;
    static const char* const kRuleTags[] = {"body", "h1", "h2", "h3", "h4", "h5", "h6", "code",
                                            "pre", "big", "small", "sub", "sup"};
    for (const char* t : kRuleTags)
        if (name == t) return t;
    return nullptr;
}

}  // namespace

// ---- construction --------------------------------------------------------------------------------

CSkinMarkupRenderer::CSkinMarkupRenderer()
{
    m_defaultFont.lfHeight = 12;
    m_defaultFont.lfWeight = FW_NORMAL;
    m_defaultFont.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(m_defaultFont.lfFaceName, "Verdana", sizeof m_defaultFont.lfFaceName - 1);
    m_hHandCursor = LoadCursorA(nullptr, IDC_HAND);
    SetImageShadow(m_nShadowMode, m_nShadowDx, m_nShadowDy, m_nShadowExtentX, m_nShadowExtentY,
                   m_nShadowTransparency);
    SetDefaultStyleSheet();
    ResetStyle(m_style);
}

CSkinMarkupRenderer::~CSkinMarkupRenderer()
{
    // The hand cursor is the system's shared one and is not destroyed.
    if (m_hImageList) ImageList_Destroy(m_hImageList);
}

void CSkinMarkupRenderer::SetStyleSheet(const char* text)
{
    m_sheet.Clear();
    ++m_nSheetGeneration;
    m_sheet.Parse(text ? text : CMarkupStyleSheet::DefaultText());
}

void CSkinMarkupRenderer::SetDefaultStyleSheet()
{
    ++m_nSheetGeneration;
    m_sheet.Parse(CMarkupStyleSheet::DefaultText());
}

void CSkinMarkupRenderer::SetImageShadow(int mode, int dx, int dy, int extentX, int extentY, int transparency)
{
    m_nShadowMode = mode;
    m_nShadowDx = std::clamp(dx, -100, 100);
    m_nShadowDy = std::clamp(dy, -100, 100);
    m_nShadowExtentX = std::clamp(extentX, 1, 99);
    m_nShadowExtentY = std::clamp(extentY, 1, 99);
    m_nShadowTransparency = std::clamp(transparency, 0, 100);
    const int level = 255 * (100 - m_nShadowTransparency) / 100;
    m_crShadow = RGB(level, level, level);
}

// ---- whole texts ---------------------------------------------------------------------------------

SIZE CSkinMarkupRenderer::MeasureMarkup(HDC hdc, const char* text)
{
    SIZE s = DrawMarkup(hdc, text, RECT{0, 0, 0, 0}, true);
    m_bHaveMeasure = true;
    m_measuredText = text ? text : "";
    m_nMeasuredGeneration = m_nSheetGeneration;
    m_nMeasuredHover = m_nHoverLink;
    return SIZE{s.cx + 1, s.cy + 1};
}

void CSkinMarkupRenderer::PaintMarkup(HDC hdc, const char* text, const RECT& rc)
{
    // The records must be those of this very text, sheet and hovered link.
    const std::string t = text ? text : "";
    if (!m_bHaveMeasure || m_measuredText != t || m_nMeasuredGeneration != m_nSheetGeneration ||
        m_nMeasuredHover != m_nHoverLink)
        MeasureMarkup(hdc, text);
    RECT r = rc;
    r.right -= 1;
    r.bottom -= 1;
    DrawMarkup(hdc, text, r, false);
}

SIZE CSkinMarkupRenderer::DrawMarkup(HDC hdc, const char* text, RECT rc, bool measuring)
{
    if (!hdc) return SIZE{1, 1};
    const std::string t = text ? text : "";
    if (measuring) {
        m_tableRows.clear();
        m_columnWidths.clear();
        m_rowHeights.clear();
        m_lines.clear();
    }
    m_links.clear();  // painting adds them again; repeated paints must not pile them up
    m_hdc = hdc;
    m_bMeasuring = measuring;
    m_nLinkNumber = -1;
    m_nLineNumber = 0;
    m_nWidest = 0;
    m_nTableCounter = 0;
    m_nRowCounter = 0;
    m_nTableDepth = 0;
    m_styleStack.clear();
    ResetStyle(m_style);
    ApplyStyleRule("body", m_style);
    m_hOldFont = nullptr;
    m_nOldBkMode = GetBkMode(hdc);
    m_crOldText = GetTextColor(hdc);
    m_crOldBack = GetBkColor(hdc);
    SelectStyleFont();

    int widest = 0;
    int64_t total = 0;
    size_t pos = 0;
    while (pos < t.size()) {
        const size_t start = FindTableStart(t, pos);
        const size_t stop = start == std::string::npos ? t.size() : start;
        SIZE piece{0, 0};
        if (stop > pos) {
            piece = DrawTags(t.substr(pos, stop - pos), rc);
            widest = std::max(widest, int(piece.cx));
            total += piece.cy;
            if (!measuring) rc.top = ClampPen(int64_t(rc.top) + piece.cy);
        }
        if (start == std::string::npos) break;
        const size_t end = FindTableEnd(t, start);
        piece = DrawTable(t.substr(start, end - start), rc);
        widest = std::max(widest, int(piece.cx));
        total += piece.cy;
        if (!measuring) rc.top = ClampPen(int64_t(rc.top) + piece.cy);
        pos = end;
    }
    EndDraw();
    return SIZE{widest + 1, ClampPen(total) + 1};
}

void CSkinMarkupRenderer::EndDraw()
{
    SetBkMode(m_hdc, m_nOldBkMode);
    SetTextColor(m_hdc, m_crOldText);
    SetBkColor(m_hdc, m_crOldBack);
    if (m_hOldFont) SelectObject(m_hdc, m_hOldFont);
    if (m_hFont) DeleteObject(m_hFont);
    m_hFont = nullptr;
    m_hOldFont = nullptr;
    m_styleStack.clear();
    m_hdc = nullptr;
}

// ---- inline text ---------------------------------------------------------------------------------

SIZE CSkinMarkupRenderer::DrawTags(const std::string& text, const RECT& rc)
{
    if (text.empty()) return SIZE{0, 0};
    m_box = rc;
    m_pen = POINT{rc.left, rc.top};
    // The widest line of this piece alone: a cell must not take the width of earlier text.
    m_nWidest = 0;
    const int firstLine = m_nLineNumber;
    const std::string w = "<body>" + text + "</body>";
    StartLine();
    // Plain text and "<<" gather into one run, so that "<<x" measures as the text "<x".
    std::string run;
    const auto flush = [&] {
        if (!run.empty()) HandleTextRun(std::move(run), true);
        run.clear();
    };
    size_t i = 0;
    while (i < w.size()) {
        const char c = w[i];
        if (c == '<') {
            if (i + 1 >= w.size() || w[i + 1] == '<') {
                run += '<';
                i += 2;
                continue;
            }
            flush();
            const size_t close = w.find('>', i + 1);
            const size_t end = close == std::string::npos ? w.size() : close;
            HandleTag(w.substr(i + 1, end - i - 1));
            i = close == std::string::npos ? w.size() : close + 1;
        } else if (c == '\n' || c == '\t') {
            flush();
            if (m_bLineBreaks) HandleTag(c == '\n' ? "\n" : "\t");
            ++i;
        } else if (c == '\r') {
            ++i;
        } else {
            size_t j = w.find_first_of("<\n\r\t", i);
            if (j == std::string::npos) j = w.size();
            run.append(w, i, j - i);
            i = j;
        }
    }
    flush();
    NewLine(1);
    const int height = ClampPen(int64_t(m_pen.y) - m_box.top);
    if (m_bMeasuring) {
        for (int n = firstLine; n < m_nLineNumber && n < int(m_lines.size()); ++n) {
            MarkupLineInfo& line = m_lines[size_t(n)];
            if (line.widthPercent == 0) continue;
            line.width = ClampPen(int64_t(line.width) + int64_t(line.widthPercent) * m_nWidest / 100);
            m_nWidest = std::max(m_nWidest, line.width);
        }
    }
    return SIZE{m_nWidest, height};
}

void CSkinMarkupRenderer::HandleTextRun(std::string run, bool transform)
{
    if (run.empty()) return;
    if (transform) run = Transform(std::move(run), m_style.textTransform);
    SIZE sz{0, 0};
    GetTextExtentPoint32A(m_hdc, run.c_str(), int(run.size()), &sz);
    const int top = PlaceTextRun(sz.cy);
    if (m_bMeasuring) {
        m_line.align = m_style.textAlign;
    } else {
        TextOutA(m_hdc, m_pen.x, top, run.c_str(), int(run.size()));
        AddLinkArea(RECT{m_pen.x, top, ClampPen(int64_t(m_pen.x) + sz.cx), top + sz.cy});
        if (transform && m_style.overline) {
            // A wide pen is centred on its line: moved down by half, it stays inside the line.
            const int thickness = m_style.weight >= FW_BOLD ? 2 : 1;
            const int y = m_pen.y + thickness / 2;
            m_draw.DrawLine(m_hdc, m_pen.x, y, ClampPen(int64_t(m_pen.x) + sz.cx), y, m_style.textColor,
                            CDrawManager::kBorderSolid, thickness);
        }
    }
    m_pen.x = ClampPen(int64_t(m_pen.x) + sz.cx);
}

void CSkinMarkupRenderer::HandleTag(const std::string& tagText)
{
    const std::string t = ToLowerAscii(tagText);
    size_t pos = 0;
    const bool closing = !t.empty() && t[0] == '/';
    if (closing) pos = 1;
    size_t end = pos;
    while (end < t.size() && t[end] != ' ' && t[end] != '=') ++end;
    const std::string name = t.substr(pos, end - pos);
    std::string arg;
    if (end < t.size() && t[end] == '=') {
        const size_t stop = std::min(t.find(' ', end), t.size());
        arg = t.substr(end + 1, stop - end - 1);
        end = stop;
    }
    const std::string attrs = end < t.size() ? t.substr(end) : std::string();
    if (closing) {
        if (const char* canonical = CanonicalName(name)) PopStyle(canonical);
        return;
    }
    if (name == "br" || name == "\n") {
        NewLine(name == "br" ? CountOf(arg) : 1);
    } else if (name == "t" || name == "\t") {
        AdvanceTabStop(name == "t" ? CountOf(arg) : 1);
    } else if (name == "hr") {
        HandleRule(attrs);
    } else if (name == "bmp" || name == "icon" || name == "ilst") {
        HandleImageTag(name, attrs);
    } else if (name == "string") {
        HandleStringTag(attrs);
    } else if (HandleStyleTag(name, arg, attrs)) {
        SelectStyleFont();
    }
}

// The tags that save the style; false for any tag the language does not have.
bool CSkinMarkupRenderer::HandleStyleTag(const std::string& name, const std::string&, const std::string& attrs)
{
    const char* canonical = CanonicalName(name);
    if (!canonical) return false;
    if (!PushStyle(canonical)) return false;
    MarkupTextStyle& s = m_style;
    const char* vertical = nullptr;
    int value = 0;
    if (name == "b") s.weight = std::min(s.weight * 2, 900);
    else if (name == "i" || name == "em") s.italic = !s.italic;
    else if (name == "u") s.underline = !s.underline;
    else if (name == "s" || name == "strike") s.strikeOut = !s.strikeOut;
    else if (name == "font") HandleFontTag(attrs);
    else if (name == "left") s.textAlign = MarkupTextStyle::kAlignLeft;
    else if (name == "center") s.textAlign = MarkupTextStyle::kAlignCenter;
    else if (name == "right") s.textAlign = MarkupTextStyle::kAlignRight;
    else if (VerticalTag(name, &vertical, &value)) s.verticalAlign = value;
    else if (RuleTag(name)) ApplyStyleRule(name, s);
    else if (name == "span") {
        const MarkupAttributes a = ParseMarkupAttributes(attrs);
        const std::string* cls = FindMarkupAttribute(a, "class");
        if (cls) ApplyStyleRule("." + *cls, s);
    }
    else if (name == "a") HandleLinkTag(attrs);
    return true;
}

void CSkinMarkupRenderer::HandleFontTag(const std::string& attrs)
{
    MarkupTextStyle& s = m_style;
    for (const auto& [name, v] : ParseMarkupAttributes(attrs)) {
        if (name == "face") { if (!v.empty()) s.face = v; }
        else if (name == "size")
            s.fontHeight = std::clamp(ParseCssLength(m_hdc, v, s.fontHeight, true), markup_limits::kMinFontHeight,
                                      markup_limits::kMaxFontHeight);
        else if (name == "color") s.textColor = m_colours.ParseColour(v, s.textColor);
        else if (name == "weight") ParseCssProperties(m_hdc, "font-weight:" + v, s, m_colours);
        else if (name == "bkgnd") {
            if (v == "transparent") {
                s.backMode = TRANSPARENT;
            } else {
                s.backMode = OPAQUE;
                s.backColor = m_colours.ParseColour(v, s.backColor);
            }
        } else if (name == "style") {
            bool on = true;
            for (char c : v) {
                if (c == '-') { on = false; continue; }
                if (c == '+') { on = true; continue; }
                switch (c) {
                case 'b': s.weight = on ? FW_BOLD : FW_NORMAL; break;
                case 'i': s.italic = on; break;
                case 'u': s.underline = on; break;
                case 's': s.strikeOut = on; break;
                case 'o': s.overline = on; break;
                default: break;
                }
                on = true;
            }
        }
    }
}

void CSkinMarkupRenderer::HandleLinkTag(const std::string& attrs)
{
    MarkupTextStyle& s = m_style;
    s.linkKind = MarkupTextStyle::kLinkMsg;
    s.linkTarget.clear();
    for (const auto& [name, v] : ParseMarkupAttributes(attrs)) {
        if (name == "href") {
            s.linkKind = MarkupTextStyle::kLinkHref;
            s.linkTarget = v;
        } else if (name == "msg") {
            s.linkKind = MarkupTextStyle::kLinkMsg;
            s.linkTarget = v;
        }
    }
    if (m_nLinkNumber < INT_MAX) ++m_nLinkNumber;
    ApplyStyleRule(m_nLinkNumber == m_nHoverLink ? "a:hover" : "a:link", s);
}

void CSkinMarkupRenderer::HandleRule(const std::string& attrs)
{
    MarkupTextStyle copy = m_style;
    ApplyStyleRule("hr", copy);
    int width = 100, size = 1;
    bool percent = true;
    COLORREF color = copy.textColor;
    for (const auto& [name, v] : ParseMarkupAttributes(attrs)) {
        if (name == "width") {
            percent = !v.empty() && v.back() == '%';
            width = std::clamp(ParseCssLength(m_hdc, v, 100, false), 0,
                               percent ? markup_limits::kMaxPercent : markup_limits::kMaxLength);
        } else if (name == "size") {
            size = std::clamp(ParseCssLength(m_hdc, v, size, false), 0, 100);
        } else if (name == "color") {
            color = m_colours.ParseColour(v, color);
        }
    }
    int advance = 0;
    if (m_bMeasuring) {
        if (percent)
            m_line.widthPercent = std::min(m_line.widthPercent + width, markup_limits::kMaxPercent);
        else
            advance = width;
        m_line.ascent = std::max(m_line.ascent, size + 8);
        m_line.align = copy.textAlign;
    } else {
        advance = percent ? std::max(0, MulDiv(m_box.right - m_box.left, width, 100)) : width;
        const int y = ClampPen(int64_t(m_pen.y) + LineHeight() / 2);
        if (advance > 0)
            m_draw.DrawLine(m_hdc, m_pen.x, y, ClampPen(int64_t(m_pen.x) + advance), y, color,
                            CDrawManager::kBorderSolid, size);
    }
    m_pen.x = ClampPen(int64_t(m_pen.x) + advance);
}

void CSkinMarkupRenderer::HandleStringTag(const std::string& attrs)
{
    UINT id = 0;
    for (const auto& [name, v] : ParseMarkupAttributes(attrs))
        if (name == "idres" || name == "iddll") id = UINT(ParseMarkupNumber(v));
    HandleTextRun(GetResourceStringField(id, -1), false);
}

// ---- styles and fonts ----------------------------------------------------------------------------

bool CSkinMarkupRenderer::PushStyle(const char* canonical)
{
    // Unclosed tags must not grow the stack without bound.
    if (m_styleStack.size() >= kMaxStyleDepth) return false;
    m_style.name = canonical;
    m_styleStack.push_back(m_style);
    return true;
}

void CSkinMarkupRenderer::PopStyle(const char* canonical)
{
    if (m_styleStack.empty() || m_styleStack.back().name != canonical) return;
    m_style = m_styleStack.back();
    m_styleStack.pop_back();
    SelectStyleFont();
}

void CSkinMarkupRenderer::ResetStyle(MarkupTextStyle& style) const
{
    style = MarkupTextStyle{};
    style.fontHeight = m_defaultFont.lfHeight;
    style.weight = m_defaultFont.lfWeight;
    style.italic = m_defaultFont.lfItalic;
    style.underline = m_defaultFont.lfUnderline;
    style.strikeOut = m_defaultFont.lfStrikeOut;
    style.face = m_defaultFont.lfFaceName;
}

void CSkinMarkupRenderer::ApplyStyleRule(const std::string& selector, MarkupTextStyle& style)
{
    const std::string* rule = m_sheet.FindStyleRule(selector);
    if (rule) ParseCssProperties(m_hdc, *rule, style, m_colours);
}

void CSkinMarkupRenderer::SelectStyleFont()
{
    LOGFONTA lf = m_defaultFont;
    lf.lfHeight = std::clamp(m_style.fontHeight, markup_limits::kMinFontHeight, markup_limits::kMaxFontHeight);
    lf.lfWeight = std::clamp(m_style.weight, 0, markup_limits::kMaxWeight);
    lf.lfItalic = BYTE(m_style.italic ? 1 : 0);
    lf.lfUnderline = BYTE(m_style.underline ? 1 : 0);
    lf.lfStrikeOut = BYTE(m_style.strikeOut ? 1 : 0);
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::strncpy(lf.lfFaceName, m_style.face.c_str(), sizeof lf.lfFaceName - 1);
    // The new font is selected before the last one is deleted, so a selected font is never
    // deleted and the DC's own font is put back exactly once, at the end of the draw.
    HFONT font = CreateFontIndirectA(&lf);
    if (font) {
        HGDIOBJ previous = SelectObject(m_hdc, font);
        if (!m_hOldFont) m_hOldFont = static_cast<HFONT>(previous);
        if (m_hFont) DeleteObject(m_hFont);
        m_hFont = font;
        ++m_nFontsCreated;
    }
    GetTextMetricsA(m_hdc, &m_tm);
    SetBkMode(m_hdc, m_style.backMode);
    SetTextColor(m_hdc, m_style.textColor);
    SetBkColor(m_hdc, m_style.backColor);
}

// ---- lines ---------------------------------------------------------------------------------------

void CSkinMarkupRenderer::StartLine()
{
    if (m_nLineNumber < 0) m_nLineNumber = 0;
    if (m_bMeasuring) {
        if (m_lines.size() <= size_t(m_nLineNumber)) m_lines.resize(size_t(m_nLineNumber) + 1);
        m_line = MarkupLineInfo{};
        m_line.align = m_style.textAlign;
        m_lines[size_t(m_nLineNumber)] = m_line;
        return;
    }
    // A line the measuring did not leave counts as an empty one.
    m_line = size_t(m_nLineNumber) < m_lines.size() ? m_lines[size_t(m_nLineNumber)] : MarkupLineInfo{};
    m_line.width = ClampPen(int64_t(m_line.fixedWidth) +
                            int64_t(m_box.right - m_box.left) * m_line.widthPercent / 100);
    m_pen.x = GetLineAlignOffset(m_line);
}

void CSkinMarkupRenderer::NewLine(int count)
{
    count = std::clamp(count, 1, markup_limits::kMaxCount);
    if (m_bMeasuring) {
        if (m_line.ascent == 0) m_line.ascent = m_tm.tmHeight;
        const int distance = ClampPen(int64_t(m_pen.x) - m_box.left);
        m_nWidest = std::max(m_nWidest, distance);
        m_line.width = m_line.fixedWidth = distance;
        m_line.ascent = ClampPen(int64_t(m_line.ascent) + m_line.descent);
        if (size_t(m_nLineNumber) < m_lines.size()) m_lines[size_t(m_nLineNumber)] = m_line;
    }
    m_pen.y = ClampPen(int64_t(m_pen.y) + int64_t(LineHeight()) * count);
    if (m_nLineNumber < INT_MAX - 1) ++m_nLineNumber;
    m_pen.x = m_box.left;
    StartLine();
}

void CSkinMarkupRenderer::AdvanceTabStop(int count)
{
    count = std::clamp(count, 1, markup_limits::kMaxCount);
    // On a stop the pen moves count stops; off one it reaches the next stop and count - 1
    // more: both land count stops past the last stop behind it.
    const int64_t stops = int64_t(FloorDiv(m_pen.x - m_box.left, 32)) + count;
    m_pen.x = ClampPen(int64_t(m_box.left) + stops * 32);
}

int CSkinMarkupRenderer::GetLineAlignOffset(const MarkupLineInfo& line) const
{
    switch (line.align) {
    case MarkupTextStyle::kAlignCenter:
        return ClampPen(int64_t(m_box.left) + (int64_t(m_box.right - m_box.left) - line.width) / 2);
    case MarkupTextStyle::kAlignRight: return ClampPen(int64_t(m_box.right) - line.width);
    default: return m_box.left;
    }
}

int CSkinMarkupRenderer::PlaceTextRun(int height)
{
    if (m_bMeasuring) {
        m_line.ascent = std::max(m_line.ascent, int(m_tm.tmAscent));
        m_line.descent = std::max(m_line.descent, height - int(m_tm.tmAscent));
        return m_pen.y;
    }
    const int lh = LineHeight();
    int offset = 0;
    switch (m_style.verticalAlign) {
    case MarkupTextStyle::kVAlignMiddle: offset = (lh - int(m_tm.tmHeight)) / 2; break;
    case MarkupTextStyle::kVAlignBottom: offset = lh - int(m_tm.tmAscent); break;
    case MarkupTextStyle::kVAlignBaseline: offset = lh - int(m_tm.tmAscent) - m_line.descent; break;
    default: break;
    }
    return ClampPen(int64_t(m_pen.y) + offset);
}

int CSkinMarkupRenderer::PlaceObject(int height)
{
    if (m_bMeasuring) {
        m_line.ascent = std::max(m_line.ascent, height);
        return m_pen.y;
    }
    const int lh = LineHeight();
    int offset = 0;
    switch (m_style.verticalAlign) {
    case MarkupTextStyle::kVAlignMiddle: offset = (lh - height) / 2; break;
    case MarkupTextStyle::kVAlignBottom: offset = lh - height; break;
    case MarkupTextStyle::kVAlignBaseline: offset = lh - m_line.descent - height; break;
    default: break;
    }
    return ClampPen(int64_t(m_pen.y) + offset);
}

// ---- links ---------------------------------------------------------------------------------------

void CSkinMarkupRenderer::AddLinkArea(const RECT& rc)
{
    if (m_bMeasuring || m_style.linkKind == MarkupTextStyle::kLinkNone) return;
    MarkupLinkArea area;
    area.rc = rc;
    area.kind = m_style.linkKind;
    area.number = m_nLinkNumber;
    area.target = m_style.linkTarget;
    m_links.push_back(std::move(area));
}

int CSkinMarkupRenderer::HitTestLink(int x, int y) const
{
    for (const MarkupLinkArea& a : m_links)
        if (x >= a.rc.left && x < a.rc.right && y >= a.rc.top && y < a.rc.bottom) return a.number;
    return -1;
}

BOOL CSkinMarkupRenderer::OnLinkMouseMove(POINT pt)
{
    const int number = HitTestLink(pt.x, pt.y);
    BOOL overTarget = FALSE;
    for (const MarkupLinkArea& a : m_links)
        if (a.number == number && !a.target.empty()) overTarget = TRUE;
    if (overTarget && m_hHandCursor) SetCursor(m_hHandCursor);
    const int hover = number < 0 ? -2 : number;
    if (hover != m_nHoverLink) {
        m_nHoverLink = hover;
        if (m_hHoverWnd) SendMessageA(m_hHoverWnd, m_nHoverMsg, WPARAM(INT_PTR(hover)), m_hoverParam);
    }
    return overTarget;
}

void CSkinMarkupRenderer::OnLinkClick(POINT pt)
{
    for (const MarkupLinkArea& a : m_links) {
        if (pt.x < a.rc.left || pt.x >= a.rc.right || pt.y < a.rc.top || pt.y >= a.rc.bottom) continue;
        if (a.kind == MarkupTextStyle::kLinkMsg && m_hMsgLinkWnd)
            SendMessageA(m_hMsgLinkWnd, m_nMsgLinkMsg, reinterpret_cast<WPARAM>(a.target.c_str()), m_msgLinkParam);
        return;
    }
}

void CSkinMarkupRenderer::SetHoverTarget(HWND hwnd, UINT msg, LPARAM lParam)
{
    m_hHoverWnd = hwnd;
    m_nHoverMsg = msg;
    m_hoverParam = lParam;
}

void CSkinMarkupRenderer::SetMsgLinkTarget(HWND hwnd, UINT msg, LPARAM lParam)
{
    m_hMsgLinkWnd = hwnd;
    m_nMsgLinkMsg = msg;
    m_msgLinkParam = lParam;
}

// ---- resources -----------------------------------------------------------------------------------

// field < 0: the whole string.
std::string CSkinMarkupRenderer::GetResourceStringField(UINT id, int field)
{
    HRSRC res = FindResourceA(m_hInstance, MAKEINTRESOURCEA(id / 16 + 1), RT_STRING);
    const DWORD size = res ? SizeofResource(m_hInstance, res) : 0;
    if (!size) return std::string();
    std::vector<char> buffer(size_t(size) + 1, 0);
    const int length = LoadStringA(m_hInstance, id, buffer.data(), int(size));
    if (length <= 0) return std::string();
    const std::string whole(buffer.data(), size_t(std::min<int>(length, int(size))));
    if (field < 0) return whole;
    size_t start = 0;
    for (int n = 0; n < field; ++n) {
        const size_t nl = whole.find('\n', start);
        if (nl == std::string::npos) return std::string();
        start = nl + 1;
    }
    const size_t nl = whole.find('\n', start);
    return whole.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
}

BOOL CSkinMarkupRenderer::SetImageList(UINT bitmapId, int cx, int cy, int initial, COLORREF mask)
{
    if (!bitmapId) {
        if (m_hImageList) ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        m_nImageCx = m_nImageCy = 0;
        return TRUE;
    }
    if (cx <= 0 || cy <= 0) return FALSE;
    if (m_hImageList && (cx != m_nImageCx || cy != m_nImageCy)) {
        ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
    if (m_hImageList)
        ImageList_RemoveAll(m_hImageList);
    else
        m_hImageList = ImageList_Create(cx, cy, ILC_MASK | ILC_COLOR32, initial, 1);
    if (!m_hImageList) return FALSE;
    m_nImageCx = cx;
    m_nImageCy = cy;
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(m_hInstance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    if (!bmp) return FALSE;
    const int added = ImageList_AddMasked(m_hImageList, bmp, mask);
    DeleteObject(bmp);
    return added >= 0;
}
