// The markup renderer's text style, its style sheet (selector -> rule text), the colour names,
// and the parsers of the values that properties and attributes take: lengths, colours and
// name=value attribute lists.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// Limits that keep hostile markup from overflowing the layout arithmetic or asking the font
// engine for absurd faces.
namespace markup_limits {
constexpr int kMaxLength = 10000;    // any length in pixels
constexpr int kMinFontHeight = 1;
constexpr int kMaxFontHeight = 500;
constexpr int kMaxWeight = 1000;
constexpr int kMaxCount = 100;       // "br=", "t=" counts
constexpr int kMaxPercent = 1000;
}  // namespace markup_limits

struct MarkupTextStyle {
    enum : int { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
    enum : int { kVAlignTop = 0, kVAlignMiddle = 1, kVAlignBottom = 2, kVAlignBaseline = 3 };
    enum : int { kTransformNone = 0, kTransformUpper = 1, kTransformLower = 2, kTransformCapitalize = 3 };
    enum : int { kLinkNone = 0, kLinkHref = 1, kLinkMsg = 2 };
    enum : int { kSideLeft = 0, kSideRight = 1, kSideTop = 2, kSideBottom = 3 };

    std::string name;  // canonical tag name of a saved copy
    int fontHeight = 12;
    int weight = FW_NORMAL;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int overline = 0;
    std::string face = "Verdana";
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    COLORREF borderLight = 0;
    COLORREF borderDark = 0;
    COLORREF backMiddle = 0xFFFFFF;
    COLORREF backEnd = 0xFFFFFF;
    int backMode = TRANSPARENT;
    int backEffect = -1;
    std::string backImage;
    int textAlign = kAlignLeft;
    int verticalAlign = kVAlignBaseline;
    int borderStyle = 0;
    int borderWidth = 0;
    int textTransform = kTransformNone;
    int inner[4] = {2, 2, 2, 2};  // left, right, top, bottom: "margin-*" and "cellpadding"
    int outer[4] = {0, 0, 0, 0};  // the same sides: "padding-*" and "cellspacing"
    int linkKind = kLinkNone;
    std::string linkTarget;
};

// name=value pairs of a tag or table attribute text (already lower-cased); spaces may stand
// around '=', a quoted value runs to the next quote (none: empty), an unquoted one to a space.
using MarkupAttributes = std::vector<std::pair<std::string, std::string>>;
MarkupAttributes ParseMarkupAttributes(const std::string& text);
// The value of the first attribute of that name, or null.
const std::string* FindMarkupAttribute(const MarkupAttributes& attributes, const char* name);

std::string ToLowerAscii(std::string s);
// A whole number as C reads one with base 0 (decimal, "0x" hexadecimal, leading-zero octal),
// clamped to +-2^31; the rest of the text is ignored. 0 when no digits start it.
long long ParseMarkupNumber(const std::string& text);

// The colour names: the CSS keywords and the system colours as GetSysColor gives them now.
class CMarkupColours {
public:
    CMarkupColours();
    void BuildNamedColours();
    void AddNamedColour(const std::string& name, COLORREF value);
    COLORREF LookupNamedColour(const std::string& name, COLORREF fallback) const;
    // "#rrggbb", a number used as the COLORREF itself, or a name; else the fallback.
    COLORREF ParseColour(const std::string& value, COLORREF fallback) const;
    size_t Count() const { return m_names.size(); }

private:
    std::map<std::string, COLORREF> m_names;
};

// Selector -> rule text. Selectors are matched lower-cased.
class CMarkupStyleSheet {
public:
    static const char* DefaultText();
    void Clear() { m_rules.clear(); }
    // Parses a whole sheet into the map (existing selectors are replaced).
    void Parse(const char* text);
    void AddStyleRule(const std::string& selector, const std::string& rule);
    const std::string* FindStyleRule(const std::string& selector) const;
    const std::map<std::string, std::string>& Rules() const { return m_rules; }

private:
    std::map<std::string, std::string> m_rules;
};

// Where lengths are measured: the DC with the current font selected.
int ParseCssLength(HDC hdc, const std::string& value, int base, bool fontSize);

// Applies CSS properties of a rule text to a style.
void ParseCssProperties(HDC hdc, const std::string& text, MarkupTextStyle& style, const CMarkupColours& colours);

// The "table", "tr" and "td" attributes; the spans are in/out (the current span is the base).
void ParseTableAttributes(HDC hdc, const std::string& text, MarkupTextStyle& style, const CMarkupColours& colours,
                          int* rowSpan, int* colSpan);
// Background effect names of "bgeffect" (else a number).
int ParseBackgroundEffect(const std::string& value);
