// The default skin's tooltip look: a small rounded card in the skin's cool greys, its body a
// soft top-to-bottom wash that the tip stretches to its height, with room round the text, and
// a style sheet that sets the markup in the skin's face and colours.
#include "SkinLook.h"

namespace skinbuild {

namespace {

const Rgba kTipBorder = Hex(0x8D9BB0);
const Rgba kTipWashTop = kWhite;
const Rgba kTipWashBottom = Hex(0xE8EEF6);

// The picture: corners and sides kTipEdge pixels thick (one of border, the rest body, which is
// the padding round the text), a one-pixel column between them, and kTipWash rows of body
// between the top and the bottom rows that the tip stretches to its height.
constexpr int kTipEdge = 5;
constexpr int kTipWash = 30;
constexpr int kTipW = 2 * kTipEdge + 1;
constexpr int kTipH = 2 * kTipEdge + kTipWash;
constexpr float kTipRadius = 3.0f;

void AddTooltipPicture(CSkinFile& skin)
{
    CCanvas c(kTipW, kTipH);
    c.RoundRect(0, 0, kTipW, kTipH, kTipRadius, Solid(kTipBorder));
    // The wash runs over the stretched rows only, so the top and bottom rows meet it without a
    // seam whatever the tip's height.
    c.RoundRect(1, 1, kTipW - 1, kTipH - 1, kTipRadius - 1,
                VerticalGradient(kTipEdge, kTipEdge + kTipWash, kTipWashTop, kTipWashBottom));
    // Edge pixels of the corners are blended against a mid-tone body colour: the tip floats over
    // anything.
    AddPicture(skin, "tooltip", c, Flat(kBody));
}

// Corners are clipped at their size, sides and middle stretched; both halves are the same (a
// tip is never inactive).
void SetTooltipParts(CSkinWindowObject& w)
{
    const int xs[4] = {0, kTipEdge, kTipEdge + 1, kTipW};
    const int ys[4] = {0, kTipEdge, kTipEdge + kTipWash, kTipH};
    for (int half = 0; half < 2; ++half)
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const bool corner = row != 1 && col != 1;
                w.m_parts[half * 9 + row * 3 + col].Set("tooltip", xs[col], ys[row], xs[col + 1], ys[row + 1],
                                                        corner ? 0 : 2);
            }
    SetFrameRects(w, 60, 30, kTipEdge, kTipEdge, kTipEdge, kTipEdge);
    w.m_bClientBackground = 1;
}

// The markup's rules in the skin's face: body text as the controls write theirs, headings and
// links in the accent blues, code and preformatted text in the monospaced face.
const char kTooltipStyleSheet[] =
    "body {font-size: 13px; color:#1e2833; font-family:DejaVu Sans}\r\n"
    "h1 {font-size: 16px; color:#2f63a8; font-family:DejaVu Sans; font-weight:bold}\r\n"
    "h2 {font-size: 15px; color:#2f63a8; font-family:DejaVu Sans; font-weight:bold}\r\n"
    "h3 {font-size: 14px; color:#3a72bc; font-family:DejaVu Sans; font-weight:bold}\r\n"
    "h4 {font-size: 13px; color:#1e2833; font-family:DejaVu Sans; font-weight:bold}\r\n"
    "h5 {font-size: 12px; color:#3a72bc; font-family:DejaVu Sans; font-weight:bold}\r\n"
    "h6 {font-size: 11px; color:#56637a; font-family:DejaVu Sans; font-weight:normal}\r\n"
    "pre {font-size: 12px; font-family:\"Courier New\"; background-color:#eef1f5}\r\n"
    "code {color:#8a3b12; font-family:\"Courier New\"}\r\n"
    "a:link {text-decoration:none; color:#3a72bc}\r\n"
    "a:hover {text-decoration:underline; color:#2f63a8}\r\n"
    "sub {font-size:75%; vertical-align:bottom}\r\n"
    "sup {font-size:75%; vertical-align:top}\r\n"
    "big {font-size:125%}\r\n"
    "small {font-size:85%}\r\n"
    ".note {color:#56637a; font-style:italic}\r\n"
    ".cpp-comment {color:#3d7a3d; font-style:italic}\r\n";

std::unique_ptr<CSkinTooltipObject> MakeTooltip()
{
    auto o = MakeObject<CSkinTooltipObject>("Tooltip");
    SetTooltipParts(*o);
    o->m_captionFont = MakeFont(-11, FW_NORMAL, kText);
    o->m_crBack = ToColorRef(kTipFill);
    // The frame colour and the body colour for whatever draws the tip flat.
    o->m_crActiveFill = ToColorRef(kTipBorder);
    o->m_crInactiveFill = ToColorRef(kTipBorder);
    o->m_crBackground = ToColorRef(kTipFill);
    o->m_textStyle = MakeStyle(kText);
    o->m_nShowDelay = 1000;
    o->m_nHideDelay = 8000;
    o->m_nPlacement = 0;
    o->SetStyleSheet(kTooltipStyleSheet);
    return o;
}

}  // namespace

void AddTooltipLook(CSkinFile& skin)
{
    AddTooltipPicture(skin);
    skin.AddObject(MakeTooltip());
}

}  // namespace skinbuild
