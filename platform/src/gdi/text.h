// Fonts through FreeType and fontconfig, and the text measuring and drawing shared by the
// text entry points and DrawText.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gdi/dc.h"

namespace plat::gdi {

struct Glyph {
    int advance = 0;            // pixels
    int left = 0, top = 0;      // bitmap offset from the pen position (top: above the baseline)
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;  // width*height, 0..255
};

struct FontFace {
    std::string family;        // the installed family the face name maps to
    std::string file;          // the font file drawn with (the family's, or a fallback's)
    std::string requestedName;
    int ascent = 0, descent = 0, height = 0, internalLeading = 0, externalLeading = 0;
    int aveCharWidth = 0, maxCharWidth = 0;
    int underlinePos = 0, underlineThickness = 1;  // below the baseline
    int strikePos = 0;                             // above the baseline
    bool fixedPitch = false;
    bool symbol = false;  // a symbol face: characters map to drawing symbols
    bool serif = false;
    const Glyph& Get(uint32_t cp);

    struct Impl;
    std::shared_ptr<Impl> impl;
    std::unordered_map<uint32_t, Glyph> cache;
};

// A character of program text with the bytes it came from.
struct TextChar {
    uint32_t cp;
    int byteStart, byteLen;
};
// Program text is UTF-8 when it is valid UTF-8 and Windows-1252 otherwise.
std::vector<TextChar> DecodeText(const char* s, int len);

FontFace& FaceOf(DC& dc);
FontFace& FaceOfFont(Font& f);
// How many faces the shared cache holds (it keeps a fixed number, the ones used last).
size_t CachedFaceCount();

// Width of characters with the DC's character spacing.
int RunWidth(DC& dc, FontFace& face, const TextChar* chars, size_t n);
// Draws characters with their baseline at `baseY` starting at pen position `x` (target
// coordinates), in the DC's text colour, limited to `clip` (target coordinates) when given.
// `dx` (may be null) gives each character's advance.
void DrawRun(Canvas& cv, FontFace& face, int x, int baseY, const TextChar* chars, size_t n, const int* dx,
             const RECT* clip, bool underline, bool strike);

}  // namespace plat::gdi
