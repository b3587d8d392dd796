// Style sheets, CSS properties, table attributes, lengths and attribute lists of the markup.
// All of it reads untrusted text: every scan advances, every number is clamped.
#include "MarkupStyle.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>


namespace {

bool IsWordStart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && IsSpace(s[a])) ++a;
    while (b > a && IsSpace(s[b - 1])) --b;
    return s.substr(a, b - a);
}

int ClampLength(long long v)
{
    return int(std::clamp<long long>(v, -markup_limits::kMaxLength, markup_limits::kMaxLength));
}

int TextAlignOf(const std::string& v, int current)
{
    if (v.empty() || v == "left") return MarkupTextStyle::kAlignLeft;
    if (v == "center") return MarkupTextStyle::kAlignCenter;
    if (v == "right") return MarkupTextStyle::kAlignRight;
    return current;
}

int VerticalAlignOf(const std::string& v, int current)
{
    if (v.empty() || v == "baseline") return MarkupTextStyle::kVAlignBaseline;
    if (v == "middle" || v == "vcenter") return MarkupTextStyle::kVAlignMiddle;
    if (v == "top") return MarkupTextStyle::kVAlignTop;
    if (v == "bottom") return MarkupTextStyle::kVAlignBottom;
    return current;
}

int BorderStyleOf(const std::string& v, int current)
{
    if (v.empty() || v == "none") return 0;
    if (v == "solid") return 1;
    if (v == "dotted") return 3;
    if (v == "dashed") return 2;
    if (v == "double") return 6;
    return current;
}

int WeightOf(const std::string& v)
{
    if (v.empty() || v == "normal") return FW_NORMAL;
    if (v == "bold") return FW_BOLD;
    if (v == "bolder") return FW_HEAVY;
    if (v == "lighter") return FW_THIN;
    return int(std::clamp<long long>(ParseMarkupNumber(v), 0, markup_limits::kMaxWeight));
}

int FontHeightOf(HDC hdc, const std::string& v, int current)
{
    return std::clamp(ParseCssLength(hdc, v, current, true), markup_limits::kMinFontHeight,
                      markup_limits::kMaxFontHeight);
}

void ApplyTextDecoration(const std::string& v, MarkupTextStyle& style)
{
    size_t pos = 0;
    while (pos < v.size()) {
        while (pos < v.size() && v[pos] == ' ') ++pos;
        size_t end = v.find(' ', pos);
        if (end == std::string::npos) end = v.size();
        const std::string word = v.substr(pos, end - pos);
        if (word == "none") style.underline = style.strikeOut = style.overline = 0;
        else if (word == "underline") style.underline = 1;
        else if (word == "line-through") style.strikeOut = 1;
        else if (word == "overline") style.overline = 1;
        pos = end;
    }
}

int BorderWidthOf(HDC hdc, const std::string& v, int current)
{
    if (v == "thin") return MulDiv(current, 75, 100);
    if (v == "thick") return MulDiv(current, 125, 100);
    if (v == "medium") return current;
    return std::clamp(ParseCssLength(hdc, v, current, false), 0, markup_limits::kMaxLength);
}

void ApplyProperty(HDC hdc, const std::string& name, const std::string& value, MarkupTextStyle& s,
                   const CMarkupColours& colours)
{
    if (name == "font-size") s.fontHeight = FontHeightOf(hdc, value, s.fontHeight);
    else if (name == "font-family") { if (!value.empty()) s.face = value; }
    else if (name == "font-style") {
        if (value.empty() || value == "normal") s.italic = 0;
        else if (value == "italic" || value == "oblique") s.italic = 1;
    }
    else if (name == "font-weight") s.weight = WeightOf(value);
    else if (name == "text-align") s.textAlign = TextAlignOf(value, s.textAlign);
    else if (name == "text-transform") {
        if (value.empty() || value == "none") s.textTransform = MarkupTextStyle::kTransformNone;
        else if (value == "uppercase") s.textTransform = MarkupTextStyle::kTransformUpper;
        else if (value == "lowercase") s.textTransform = MarkupTextStyle::kTransformLower;
        else if (value == "capitalize") s.textTransform = MarkupTextStyle::kTransformCapitalize;
    }
    else if (name == "color") s.textColor = colours.ParseColour(value, s.textColor);
    else if (name == "background-color") {
        if (value == "transparent") {
            s.backMode = TRANSPARENT;
        } else {
            s.backMode = OPAQUE;
            s.backColor = colours.ParseColour(value, s.backColor);
        }
    }
    else if (name == "text-decoration") ApplyTextDecoration(value, s);
    else if (name == "vertical-align") s.verticalAlign = VerticalAlignOf(value, s.verticalAlign);
    else if (name == "border-color") s.borderLight = s.borderDark = colours.ParseColour(value, s.borderLight);
    else if (name == "border-width" || name == "size") s.borderWidth = BorderWidthOf(hdc, value, s.borderWidth);
    else if (name == "border-style") s.borderStyle = BorderStyleOf(value, s.borderStyle);
    else {
        static const char* const kSides[4] = {"left", "right", "top", "bottom"};
        for (int side = 0; side < 4; ++side) {
            if (name == std::string("margin-") + kSides[side])
                s.inner[side] = std::clamp(ParseCssLength(hdc, value, s.inner[side], false), 0, markup_limits::kMaxLength);
            else if (name == std::string("padding-") + kSides[side])
                s.outer[side] = std::clamp(ParseCssLength(hdc, value, s.outer[side], false), 0, markup_limits::kMaxLength);
        }
    }
}

// From `pos`, the next name=value pair; false at the end. Every call advances.
bool NextAttribute(const std::string& t, size_t& pos, std::string& name, std::string& value)
{
    while (pos < t.size() && IsSpace(t[pos])) ++pos;
    if (pos >= t.size()) return false;
    const size_t start = pos;
    while (pos < t.size() && !IsSpace(t[pos]) && t[pos] != '=') ++pos;
    name = t.substr(start, pos - start);
    value.clear();
    size_t look = pos;
    while (look < t.size() && IsSpace(t[look])) ++look;
    if (look < t.size() && t[look] == '=') {
        pos = look + 1;
        while (pos < t.size() && IsSpace(t[pos])) ++pos;
        if (pos < t.size() && t[pos] == '"') {
            const size_t close = t.find('"', pos + 1);
            if (close == std::string::npos) {
                pos = t.size();  // an unterminated quote gives an empty value
            } else {
                value = t.substr(pos + 1, close - pos - 1);
                pos = close + 1;
            }
        } else {
            const size_t vstart = pos;
            while (pos < t.size() && !IsSpace(t[pos])) ++pos;
            value = t.substr(vstart, pos - vstart);
        }
    }
    if (pos == start) ++pos;  // a lone '=' must not stall the scan
    return true;
}

}  // namespace

// ---- small parsers --------------------------------------------------------------------------------

std::string ToLowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

long long ParseMarkupNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
        base = 16;
        i += 2;
    } else if (i < text.size() && text[i] == '0') {
        base = 8;
    }
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (d >= base) break;
        v = std::min<long long>(v * base + d, 1LL << 32);
    }
    v = negative ? -v : v;
    return std::clamp<long long>(v, INT_MIN, 1LL << 32);
}

MarkupAttributes ParseMarkupAttributes(const std::string& text)
{
    MarkupAttributes out;
    size_t pos = 0;
    std::string name, value;
    while (NextAttribute(text, pos, name, value))
        if (!name.empty()) out.emplace_back(name, value);
    return out;
}

const std::string* FindMarkupAttribute(const MarkupAttributes& attributes, const char* name)
{
    for (const auto& a : attributes)
        if (a.first == name) return &a.second;
    return nullptr;
}

int ParseCssLength(HDC hdc, const std::string& raw, int base, bool fontSize)
{
    std::string v = raw;
    if (v.empty()) return base;
    if (v.back() == '%') {
        const long long n = std::clamp<long long>(ParseMarkupNumber(v.substr(0, v.size() - 1)), 0,
                                                  markup_limits::kMaxPercent);
        return ClampLength(MulDiv(base, int(n), 100));
    }
    if (v[0] == '+' || v[0] == '-') v.erase(0, 1);  // signs have no effect
    // A unit needs a number before it; shorter values are numbers alone.
    const bool hasUnit = v.size() >= 3 && std::isalpha(static_cast<unsigned char>(v[v.size() - 1])) &&
                         std::isalpha(static_cast<unsigned char>(v[v.size() - 2]));
    if (hasUnit) {
        const std::string unit = v.substr(v.size() - 2);
        const long long n = std::clamp<long long>(std::atoll(v.substr(0, v.size() - 2).c_str()), 0,
                                                  markup_limits::kMaxLength);
        const long long d = hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : 96;
        if (unit == "px") return ClampLength(n);
        if (unit == "ex") {
            SIZE x{0, 0};
            if (hdc) GetTextExtentPoint32A(hdc, "x", 1, &x);
            return ClampLength(n * x.cy);
        }
        if (unit == "em") {
            TEXTMETRICA tm{};
            if (hdc) GetTextMetricsA(hdc, &tm);
            return ClampLength(n * tm.tmHeight);
        }
        if (unit == "in") return ClampLength(n * d);
        if (unit == "cm") return ClampLength((long long)(double(n) * double(d) * 0.3937007874015748));
        if (unit == "mm") return ClampLength((long long)(double(n) * double(d) * 0.03937007874015748));
        if (unit == "pt") return ClampLength(n * d / 72);
        if (unit == "pc") return ClampLength(n * d / 6);
    }
    const long long n = ParseMarkupNumber(v);
    if (fontSize && n >= 1 && n <= 7) {
        static const int kHtmlSizes[7] = {8, 10, 12, 14, 18, 24, 36};
        return kHtmlSizes[n - 1];
    }
    return ClampLength(n);
}

// ---- style sheets ---------------------------------------------------------------------------------

const char* CMarkupStyleSheet::DefaultText()
{
    return "body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
           "p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
           "h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
           "pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
           "code {color:#990000; font-family:Arial}\r\n"
           "a:link {text-decoration:none; color:blue}\r\n"
           "a:hover {text-decoration:underline; color:blue}\r\n"
           "sub {font-size:65%; vertical-align:bottom}\r\n"
           "sup {font-size:65%; vertical-align:top}\r\n"
           "big {font-size:125%}\r\n"
           "small {font-size:75%}\r\n"
           ".cpp-comment {color:green; font-style:italic}\r\n";
}

void CMarkupStyleSheet::Parse(const char* text)
{
    if (!text) return;
    const std::string t(text);
    size_t pos = 0;
    while (pos < t.size()) {
        while (pos < t.size() && !IsWordStart(t[pos])) ++pos;
        if (pos >= t.size()) return;
        size_t end = pos;
        while (end < t.size() && t[end] != ' ' && t[end] != '{') ++end;
        const std::string selector = t.substr(pos, end - pos);
        const size_t open = t.find('{', end);
        if (open == std::string::npos) return;
        const size_t close = t.find('}', open + 1);
        if (close == std::string::npos) return;
        AddStyleRule(selector, t.substr(open + 1, close - open - 1));
        pos = close + 1;
    }
}

void CMarkupStyleSheet::AddStyleRule(const std::string& selector, const std::string& rule)
{
    m_rules[ToLowerAscii(selector)] = rule;
}

const std::string* CMarkupStyleSheet::FindStyleRule(const std::string& selector) const
{
    const auto it = m_rules.find(ToLowerAscii(selector));
    return it == m_rules.end() ? nullptr : &it->second;
}

void ParseCssProperties(HDC hdc, const std::string& raw, MarkupTextStyle& style, const CMarkupColours& colours)
{
    const std::string t = ToLowerAscii(raw);
    size_t pos = 0;
    while (pos < t.size()) {
        while (pos < t.size() && !IsWordStart(t[pos])) ++pos;
        if (pos >= t.size()) return;
        const size_t start = pos;
        while (pos < t.size() && t[pos] != ' ' && t[pos] != ':' && t[pos] != ';') ++pos;
        const std::string name = t.substr(start, pos - start);
        while (pos < t.size() && t[pos] == ' ') ++pos;
        if (pos >= t.size() || t[pos] != ':') {
            // A name without ':' has no value: go on behind its ';'.
            const size_t semi = t.find(';', pos);
            pos = semi == std::string::npos ? t.size() : semi + 1;
            continue;
        }
        ++pos;
        while (pos < t.size() && t[pos] == ' ') ++pos;
        std::string value;
        if (pos < t.size() && t[pos] == '"') {
            const size_t close = t.find('"', pos + 1);
            const size_t stop = close == std::string::npos ? t.size() : close;
            value = t.substr(pos + 1, stop - pos - 1);
            const size_t semi = t.find(';', stop);
            pos = semi == std::string::npos ? t.size() : semi + 1;
        } else {
            const size_t semi = t.find(';', pos);
            const size_t stop = semi == std::string::npos ? t.size() : semi;
            value = Trim(t.substr(pos, stop - pos));
            pos = semi == std::string::npos ? t.size() : semi + 1;
        }
        if (!name.empty()) ApplyProperty(hdc, name, value, style, colours);
    }
}

int ParseBackgroundEffect(const std::string& v)
{
    static const char* const kNames[] = {"solid", "hgradient", "vgradient", "hcgradient",
                                         "vcgradient", "3hgradient", "3vgradient"};
    if (v == "transparent") return -1;
    for (int i = 0; i < int(sizeof kNames / sizeof kNames[0]); ++i)
        if (v == kNames[i]) return i;
    return int(std::clamp<long long>(ParseMarkupNumber(v), INT_MIN, INT_MAX));
}

void ParseTableAttributes(HDC hdc, const std::string& text, MarkupTextStyle& s, const CMarkupColours& colours,
                          int* rowSpan, int* colSpan)
{
    for (const auto& [name, value] : ParseMarkupAttributes(ToLowerAscii(text))) {
        if (name == "rowspan" && rowSpan) *rowSpan = ParseCssLength(hdc, value, *rowSpan, false);
        else if (name == "colspan" && colSpan) *colSpan = ParseCssLength(hdc, value, *colSpan, false);
        else if (name == "border") {
            s.borderWidth = std::clamp(ParseCssLength(hdc, value, s.borderWidth, false), 0, markup_limits::kMaxLength);
            s.borderStyle = s.borderWidth != 0 ? 1 : 0;
        }
        else if (name == "borderstyle") s.borderStyle = BorderStyleOf(value, s.borderStyle);
        else if (name == "bordercolor") s.borderLight = s.borderDark = colours.ParseColour(value, s.borderLight);
        else if (name == "bordercolorlight") s.borderLight = colours.ParseColour(value, s.borderLight);
        else if (name == "bordercolordark") s.borderDark = colours.ParseColour(value, s.borderDark);
        else if (name == "bgcolor") {
            s.backColor = colours.ParseColour(value, s.backColor);
            s.backEffect = 0;
        }
        else if (name == "bgmidcolor") s.backMiddle = colours.ParseColour(value, s.backMiddle);
        else if (name == "bgendcolor") s.backEnd = colours.ParseColour(value, s.backEnd);
        else if (name == "bgeffect") s.backEffect = ParseBackgroundEffect(value);
        else if (name == "align") s.textAlign = TextAlignOf(value, s.textAlign);
        else if (name == "valign") s.verticalAlign = VerticalAlignOf(value, s.verticalAlign);
        else if (name == "cellpadding") {
            const int v = std::clamp(ParseCssLength(hdc, value, s.inner[0], false), 0, markup_limits::kMaxLength);
            std::fill(std::begin(s.inner), std::end(s.inner), v);
        }
        else if (name == "cellspacing") {
            const int v = std::clamp(ParseCssLength(hdc, value, s.outer[0], false), 0, markup_limits::kMaxLength);
            std::fill(std::begin(s.outer), std::end(s.outer), v);
        }
        else if (name == "background") s.backImage = value;
    }
}
