// What the default skin's builder files share: its palette and font face, the helpers that
// make its pictures and objects, and one builder function per group of skinners. Each group
// adds its objects and pictures in its own file (WindowLooks.cpp, ControlLooks.cpp,
// ScrollLooks.cpp, CommonControlLooks.cpp, TooltipLook.cpp); SkinBuilder.cpp puts them together.
#pragma once

#include <memory>

#include "Canvas.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"

namespace skinbuild {

// ---- the palette: a calm dark-blue caption over a light, cool body ---------------------------

inline const Rgba kBody = Hex(0xEEF1F5);
inline const Rgba kWhite = Hex(0xFFFFFF);
inline const Rgba kText = Hex(0x1E2833);
inline const Rgba kTextDisabled = Hex(0x9AA3AE);
inline const Rgba kAccent = Hex(0x3A72BC);
inline const Rgba kAccentDark = Hex(0x2F63A8);
inline const Rgba kAccentLight = Hex(0xDCE8F7);
inline const Rgba kBorder = Hex(0xA3AFBF);
inline const Rgba kBorderLight = Hex(0xC6CED9);
inline const Rgba kGlyph = Hex(0x56637A);
inline const Rgba kTrack = Hex(0xE9EDF2);     // scroll-bar track
inline const Rgba kTipFill = Hex(0xF8FAFD);   // tooltip body

struct CaptionLook {
    Rgba top, bottom, outline, border, edge;
};
inline const CaptionLook kActive = {Hex(0x3466A8), Hex(0x1F4379), Hex(0x14305A), Hex(0x1F4379), Hex(0x183868)};
inline const CaptionLook kInactive = {Hex(0x8E9DB2), Hex(0x72839B), Hex(0x5B6A80), Hex(0x72839B), Hex(0x65758C)};

// The face the dialogs are laid out for: the platform draws it with a stand-in of its metrics.
constexpr char kFace[] = "Tahoma";

// ---- helpers ------------------------------------------------------------------------------------

SkinFont MakeFont(LONG height, LONG weight, const Rgba& color);
SkinTextStyle MakeStyle(const Rgba& color);
void AddPicture(CSkinFile& skin, const char* name, const CCanvas& canvas, const CCanvas::Matte& matte);
CCanvas::Matte Flat(const Rgba& c);
// The nine frame rectangles of a window object's W x H design: the top row topH high with its
// corners topLeftW and topRightW wide, the sides and the bottom `border` thick.
void SetFrameRects(CSkinWindowObject& w, LONG W, LONG H, LONG topLeftW, LONG topRightW, LONG topH, LONG border);
// The nine parts of a small window drawn from a 9 x 9 cell at (x, 0) with 3-pixel borders.
void SetSmallWindowParts(CSkinWindowObject& w, const char* picture, int x, int designW, int designH);

// Fields every object of the skin shares: body and text colours where a skinner falls back to
// the object's own colours, and the font.
template <typename T, typename... Args>
std::unique_ptr<T> MakeObject(const char* name, Args... args)
{
    auto o = std::make_unique<T>(args...);
    o->SetName(name);
    o->m_crBack = ToColorRef(kBody);
    o->m_crText = ToColorRef(kText);
    o->m_nThird = ToColorRef(kTextDisabled);
    return o;
}

template <typename T>
std::unique_ptr<T> MakeControl(const char* name, const Rgba& textColor = kText, LONG weight = FW_NORMAL)
{
    auto o = MakeObject<T>(name);
    o->m_font = MakeFont(-11, weight, textColor);
    return o;
}

// ---- the groups' builders -------------------------------------------------------------------------

// Frames, dialogs, their caption buttons and menu bar, popup menus.
void AddWindowLooks(CSkinFile& skin);
// Buttons, check boxes, radios, group boxes, statics, edits and rich edits, the IP address
// field, lists, combo boxes, sliders, progress bars, spins.
void AddControlLooks(CSkinFile& skin);
// Scroll bars (the window bars and the scroll-bar control).
void AddScrollLooks(CSkinFile& skin);
// Headers and the other common controls.
void AddCommonControlLooks(CSkinFile& skin);
// The tooltip.
void AddTooltipLook(CSkinFile& skin);

}  // namespace skinbuild
