// Fonts, text metrics, measuring and drawing. Faces come from fontconfig through a fixed map of
// the system's face names to installed families of close metrics; glyphs are rendered antialiased by
// FreeType with hinting, so advances are whole pixels and measuring equals drawing.
#include "gdi/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>

namespace plat::gdi {

struct FontFace::Impl {
    FT_Face face = nullptr;
    bool emboldenSynth = false, obliqueSynth = false;
    bool mono = false;  // NONANTIALIASED_QUALITY: bilevel glyphs
    // The size the face is set to, for faces of other families that lend it the characters it
    // lacks (Chinese text in a Latin face, say); those are opened at the same size on first use.
    FT_F26Dot6 charWidth = 0, charHeight = 0;
    std::map<std::pair<std::string, int>, FT_Face> lenders;
    ~Impl() {
        for (auto& l : lenders)
            if (l.second) FT_Done_Face(l.second);
        if (face) FT_Done_Face(face);
    }
};

namespace {

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

bool IEquals(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// The system's face names and the installed families closest to them in widths and heights.
// Where a metric-compatible family exists it stands in (Liberation has Arial's, Times New
// Roman's and Courier New's advances, Carlito and Caladea Calibri's and Cambria's). The dialog
// faces of 8 points (MS Sans Serif, MS Shell Dlg, Tahoma) lay dialogs out in 6x13 base units;
// Liberation Sans keeps both numbers where DejaVu Sans gives 7x14. Verdana and Segoe UI are
// wider faces: DejaVu Sans has Verdana's figure widths and Segoe UI's 7x15 base units at 9
// points. A family that is not installed gives way to the DejaVu family of the same look.
enum class Look { Sans, Serif, Mono };
struct StandIn {
    const char* name;
    const char* family;
    Look look;
};
const StandIn kStandIns[] = {
    {"Arial", "Liberation Sans", Look::Sans},
    {"Helvetica", "Liberation Sans", Look::Sans},
    {"MS Sans Serif", "Liberation Sans", Look::Sans},
    {"Microsoft Sans Serif", "Liberation Sans", Look::Sans},
    {"MS Shell Dlg", "Liberation Sans", Look::Sans},
    {"MS Shell Dlg 2", "Liberation Sans", Look::Sans},
    {"Tahoma", "Liberation Sans", Look::Sans},
    {"System", "Liberation Sans", Look::Sans},
    {"Verdana", "DejaVu Sans", Look::Sans},
    {"Segoe UI", "DejaVu Sans", Look::Sans},
    {"Calibri", "Carlito", Look::Sans},
    {"Times New Roman", "Liberation Serif", Look::Serif},
    {"Times", "Liberation Serif", Look::Serif},
    {"MS Serif", "Liberation Serif", Look::Serif},
    {"Cambria", "Caladea", Look::Serif},
    {"Georgia", "DejaVu Serif", Look::Serif},
    {"Book Antiqua", "DejaVu Serif", Look::Serif},
    {"Garamond", "DejaVu Serif", Look::Serif},
    {"Courier New", "Liberation Mono", Look::Mono},
    {"Courier", "Liberation Mono", Look::Mono},
    {"Lucida Console", "DejaVu Sans Mono", Look::Mono},
    {"Consolas", "DejaVu Sans Mono", Look::Mono},
    {"Fixedsys", "DejaVu Sans Mono", Look::Mono},
    {"Terminal", "DejaVu Sans Mono", Look::Mono},
};

const char* FallbackFamily(Look look) {
    switch (look) {
    case Look::Serif: return "DejaVu Serif";
    case Look::Mono: return "DejaVu Sans Mono";
    default: return "DejaVu Sans";
    }
}

struct FaceChoice {
    std::string family;  // the family asked of fontconfig
    Look look = Look::Sans;
    bool symbol = false;
};

FaceChoice ChooseFace(const LOGFONTA& lf) {
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
    const char* sym[] = {"Marlett", "Wingdings", "Webdings", "Symbol"};
    for (const char* m : sym)
        if (IEquals(name, m)) return {"DejaVu Sans", Look::Sans, true};
    if (name[0] == 0) {
        // No name: the pitch and family pick the look; the rest is the default face.
        if ((lf.lfPitchAndFamily & 3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN)
            std::strcpy(name, "Courier New");
        else if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN)
            std::strcpy(name, "Times New Roman");
        else
            std::strcpy(name, "MS Sans Serif");
    }
    for (const StandIn& s : kStandIns)
        if (IEquals(name, s.name)) return {s.family, s.look, false};
    // Another name: that family where it is installed, else the default sans face.
    return {name, Look::Sans, false};
}

bool FontconfigReady() {
    static bool ready = [] {
        if (!FcInit()) return false;
        // Release fontconfig's state at exit, or leak checkers report its caches.
        std::atexit([] { FcFini(); });
        return true;
    }();
    return ready;
}

bool MatchHasFamily(FcPattern* match, const std::string& family) {
    FcChar8* f = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &f) == FcResultMatch; ++i)
        if (f && IEquals(reinterpret_cast<const char*>(f), family.c_str())) return true;
    return false;
}

// fontconfig's best scalable face for `pat` (which this destroys), or null; the caller
// destroys the match.
FcPattern* BestScalableMatch(FcPattern* pat) {
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    return match;
}

// The file and face index of a match.
bool FileOfMatch(FcPattern* match, std::string* path, int* index) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
    *path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, index);
    return true;
}

// The file of an installed family in the weight and slant asked for; empty when fontconfig
// would only offer another family.
std::string MatchFamily(const std::string& family, bool bold, bool italic, int* index) {
    if (!FontconfigReady()) return {};
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPattern* match = BestScalableMatch(pat);
    std::string path;
    if (match) {
        if (!MatchHasFamily(match, family) || !FileOfMatch(match, &path, index)) path.clear();
        FcPatternDestroy(match);
    }
    return path;
}

const char kLastResortFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The file of an installed face that has the character `cp` (fontconfig's choice among those
// that do), or empty; remembered per character, since text asks for the same ones again.
std::pair<std::string, int> FileWithCharacter(uint32_t cp) {
    static std::map<uint32_t, std::pair<std::string, int>> cache;
    auto it = cache.find(cp);
    if (it != cache.end()) return it->second;
    std::pair<std::string, int> found;
    if (FontconfigReady()) {
        FcPattern* pat = FcPatternCreate();
        FcCharSet* want = FcCharSetCreate();
        FcCharSetAddChar(want, cp);
        FcPatternAddCharSet(pat, FC_CHARSET, want);
        FcCharSetDestroy(want);  // the pattern holds its own copy
        if (FcPattern* match = BestScalableMatch(pat)) {
            FcCharSet* has = nullptr;
            if (FcPatternGetCharSet(match, FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, cp) ||
                !FileOfMatch(match, &found.first, &found.second))
                found = {};
            FcPatternDestroy(match);
        }
    }
    cache[cp] = found;
    return found;
}

std::string FindFile(const FaceChoice& choice, bool bold, bool italic, int* index) {
    static std::map<std::tuple<std::string, bool, bool>, std::pair<std::string, int>> cache;
    auto key = std::make_tuple(choice.family, bold, italic);
    auto it = cache.find(key);
    if (it != cache.end()) {
        *index = it->second.second;
        return it->second.first;
    }
    int idx = 0;
    std::string path = MatchFamily(choice.family, bold, italic, &idx);
    if (path.empty()) path = MatchFamily(FallbackFamily(choice.look), bold, italic, &idx);
    if (path.empty()) {
        path = kLastResortFile;
        idx = 0;
    }
    cache[key] = {path, idx};
    *index = idx;
    return path;
}

// Faces are shared by every font of the same look and size. The cache keeps the faces used
// last, a fixed number of them: fonts of ever new sizes (from skins, from markup) cannot pile up
// faces and their glyphs, and a font keeps its own face after the cache let it go.
using FaceKey = std::tuple<std::string, bool, bool, int, int, bool>;
struct CachedFace {
    std::shared_ptr<FontFace> face;
    uint64_t lastUse = 0;
};
constexpr size_t kCachedFaces = 64;
std::map<FaceKey, CachedFace>& FaceCache() {
    static std::map<FaceKey, CachedFace> c;
    return c;
}
uint64_t& FaceUseClock() {
    static uint64_t tick = 0;
    return tick;
}
std::shared_ptr<FontFace> RememberFace(const FaceKey& key, std::shared_ptr<FontFace> face) {
    auto& cache = FaceCache();
    if (cache.size() >= kCachedFaces) {
        auto oldest = std::min_element(cache.begin(), cache.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        cache.erase(oldest);
    }
    cache[key] = CachedFace{face, ++FaceUseClock()};
    return face;
}

std::shared_ptr<FontFace> MakeFace(const LOGFONTA& lf) {
    FaceChoice choice = ChooseFace(lf);
    const std::string& family = choice.family;
    bool symbol = choice.symbol;
    bool bold = lf.lfWeight >= FW_SEMIBOLD;
    bool italic = lf.lfItalic != 0;
    int h = lf.lfHeight == 0 ? -12 : lf.lfHeight;
    h = std::max(-2000, std::min(2000, h));
    int width = std::max(0, std::min(2000, int(lf.lfWidth)));
    bool mono = lf.lfQuality == NONANTIALIASED_QUALITY;
    auto key = std::make_tuple(family + (symbol ? "#sym" : ""), bold, italic, h, width, mono);
    auto& cache = FaceCache();
    auto it = cache.find(key);
    if (it != cache.end()) {
        it->second.lastUse = ++FaceUseClock();
        return it->second.face;
    }

    auto f = std::make_shared<FontFace>();
    f->family = family;
    f->symbol = symbol;
    f->serif = choice.look == Look::Serif;
    f->impl = std::make_shared<FontFace::Impl>();
    int index = 0;
    f->file = FindFile(choice, bold, italic, &index);
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), f->file.c_str(), index, &face) != 0) {
        f->file = kLastResortFile;
        FT_New_Face(Library(), kLastResortFile, 0, &face);
    }
    f->impl->face = face;
    if (!face) {
        // No font at all: metrics that keep layout sane, glyphs empty.
        int px = std::abs(h);
        f->ascent = px * 4 / 5;
        f->descent = px - f->ascent;
        f->height = px;
        f->aveCharWidth = std::max(1, px / 2);
        f->maxCharWidth = px;
        return RememberFace(key, f);
    }
    f->impl->mono = mono;
    f->impl->emboldenSynth = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    f->impl->obliqueSynth = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    // The cell of the face: the Windows ascent and descent where the face has them.
    double asc = face->ascender, desc = -face->descender;
    if (TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
    }
    double upem = face->units_per_EM ? face->units_per_EM : 2048;
    double ppem;
    if (h < 0)
        ppem = -h;  // a character height: the em
    else
        ppem = h * upem / (asc + desc);  // a cell height: ascent plus descent
    ppem = std::max(1.0, ppem);
    f->impl->charHeight = FT_F26Dot6(std::lround(ppem * 64));
    FT_Set_Char_Size(face, 0, f->impl->charHeight, 72, 72);
    double scale = ppem / upem;
    f->ascent = int(std::ceil(asc * scale - 0.01));
    f->descent = int(std::ceil(desc * scale - 0.01));
    if (h > 0) f->descent = std::max(0, h - f->ascent);  // the cell is exactly the height asked for
    f->height = f->ascent + f->descent;
    f->internalLeading = std::max(0, f->height - int(std::lround(ppem)));
    f->externalLeading = 0;
    f->fixedPitch = FT_IS_FIXED_WIDTH(face);
    f->underlineThickness = std::max(1, int(std::lround(face->underline_thickness * scale)));
    f->underlinePos = std::max(1, int(std::lround(-face->underline_position * scale)));
    if (f->underlinePos >= f->descent) f->underlinePos = std::max(0, f->descent - f->underlineThickness);
    f->strikePos = std::max(1, f->ascent / 3);
    // Average width as Windows reports it for Latin faces: the width of 'x' is close; the
    // weighted lower-case average is closer.
    const char* sample = "abcdefghijklmnopqrstuvwxyz ";
    const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20,
                             56, 56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
    long sum = 0, wsum = 0;
    for (int i = 0; i < 27; ++i) {
        sum += long(f->Get(uint8_t(sample[i])).advance) * weights[i];
        wsum += weights[i];
    }
    f->aveCharWidth = std::max(1, int((sum + wsum / 2) / wsum));
    if (width > 0 && width != f->aveCharWidth) {
        // A requested average width stretches or narrows the glyphs horizontally.
        double sx = double(width) / f->aveCharWidth;
        f->impl->charWidth = FT_F26Dot6(std::lround(ppem * sx * 64));
        FT_Set_Char_Size(face, f->impl->charWidth, f->impl->charHeight, 72, 72);
        f->cache.clear();
        f->aveCharWidth = width;
    }
    int mx = 0;
    for (uint32_t c = 32; c < 256; ++c) mx = std::max(mx, f->Get(c).advance);
    f->maxCharWidth = mx;
    return RememberFace(key, f);
}

// Symbol faces: the caption and control glyphs of the system's symbol font as Unicode shapes.
uint32_t SymbolToUnicode(uint32_t c) {
    switch (c) {
        case '0': return 0x2581;  // minimise
        case '1': return 0x25A1;  // maximise
        case '2': return 0x2750;  // restore
        case '3': return 0x25C0;  // left arrow
        case '4': return 0x25B6;  // right arrow
        case '5': return 0x25B2;  // up arrow
        case '6': return 0x25BC;  // down arrow
        case '8': return 0x25B8;  // small right arrow (submenu)
        case 'a': return 0x2713;  // check mark
        case 'h': return 0x25CF;  // bullet
        case 'i': return 0x25E6;
        case 'n': return 0x25CF;
        case 'r': return 0x2715;  // close
        case 's': return 0x2753;  // help
        case 't': return 0x25B4;
        case 'u': return 0x25BE;
        default: return c;
    }
}

}  // namespace

// A face of another family at this face's size that has `u`, when this one lacks it; null
// when no installed face has it (the face's own missing-character box is drawn then).
static FT_Face LenderFor(FontFace::Impl& impl, uint32_t u) {
    if (u < 0x100) return nullptr;  // Latin-1 is in every face we map to; its gaps stay gaps
    std::pair<std::string, int> file = FileWithCharacter(u);
    if (file.first.empty()) return nullptr;
    auto it = impl.lenders.find(file);
    if (it == impl.lenders.end()) {
        FT_Face lender = nullptr;
        if (FT_New_Face(Library(), file.first.c_str(), file.second, &lender) != 0) lender = nullptr;
        if (lender) FT_Set_Char_Size(lender, impl.charWidth, impl.charHeight, 72, 72);
        it = impl.lenders.emplace(file, lender).first;
    }
    FT_Face lender = it->second;
    return lender && FT_Get_Char_Index(lender, u) ? lender : nullptr;
}

const Glyph& FontFace::Get(uint32_t cp) {
    auto it = cache.find(cp);
    if (it != cache.end()) return it->second;
    Glyph g;
    FT_Face face = impl ? impl->face : nullptr;
    if (face) {
        uint32_t u = symbol ? SymbolToUnicode(cp) : cp;
        if (u == '\t') u = ' ';
        FT_UInt gi = FT_Get_Char_Index(face, u);
        if (gi == 0 && u >= 0x80 && u < 0xA0) gi = FT_Get_Char_Index(face, '?');
        if (gi == 0 && !symbol) {
            if (FT_Face lender = LenderFor(*impl, u)) {
                face = lender;
                gi = FT_Get_Char_Index(face, u);
            }
        }
        if (FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT | (impl->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL)) == 0) {
            FT_GlyphSlot slot = face->glyph;
            int extra = 0;
            if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
                if (impl->emboldenSynth) {
                    FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
                    FT_Outline_Embolden(&slot->outline, strength);
                    extra = int((strength + 32) >> 6);
                }
                if (impl->obliqueSynth) {
                    FT_Matrix m{0x10000, 0x0366A, 0, 0x10000};
                    FT_Outline_Transform(&slot->outline, &m);
                }
            }
            g.advance = int((slot->advance.x + 32) >> 6) + extra;
            if (FT_Render_Glyph(slot, impl->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                g.left = slot->bitmap_left;
                g.top = slot->bitmap_top;
                g.width = int(bm.width);
                g.height = int(bm.rows);
                g.coverage.resize(size_t(g.width) * size_t(g.height));
                for (int y = 0; y < g.height; ++y) {
                    const uint8_t* src = bm.buffer + (bm.pitch >= 0 ? y * bm.pitch : (g.height - 1 - y) * -bm.pitch);
                    if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                        std::memcpy(&g.coverage[size_t(y) * size_t(g.width)], src, size_t(g.width));
                    } else if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                        for (int x = 0; x < g.width; ++x)
                            g.coverage[size_t(y) * size_t(g.width) + size_t(x)] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    }
                }
            }
        }
    } else {
        g.advance = aveCharWidth;
    }
    return cache.emplace(cp, std::move(g)).first->second;
}

std::vector<TextChar> DecodeText(const char* s, int len) {
    std::vector<TextChar> out;
    if (!s || len <= 0) return out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(s);
    // Valid UTF-8 throughout?
    bool utf8 = true;
    for (int i = 0; i < len && utf8;) {
        uint8_t c = p[i];
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > len) {
            utf8 = false;
            break;
        }
        uint32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                utf8 = false;
                break;
            }
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!utf8) break;
        // Overlong forms, surrogates and out-of-range values are not UTF-8.
        if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            utf8 = false;
            break;
        }
        out.push_back({cp, i, n});
        i += n;
    }
    if (utf8) return out;
    out.clear();
    static const uint16_t cp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                        0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    for (int i = 0; i < len; ++i) {
        uint32_t c = p[i];
        if (c >= 0x80 && c < 0xA0) c = cp1252[c - 0x80];
        out.push_back({c, i, 1});
    }
    return out;
}

size_t CachedFaceCount() { return FaceCache().size(); }

FontFace& FaceOfFont(Font& f) {
    if (!f.face) f.face = MakeFace(f.lf);
    return *f.face;
}

FontFace& FaceOf(DC& dc) {
    if (!dc.st.fontObj) {
        dc.st.font = HFONT(Stock(SYSTEM_FONT));
        dc.st.fontObj = Fonts().Get(dc.st.font);
    }
    return FaceOfFont(*dc.st.fontObj);
}

int RunWidth(DC& dc, FontFace& face, const TextChar* chars, size_t n) {
    int w = 0;
    for (size_t i = 0; i < n; ++i) w += face.Get(chars[i].cp).advance + dc.st.charExtra;
    return w;
}

void DrawRun(Canvas& cv, FontFace& face, int x, int baseY, const TextChar* chars, size_t n, const int* dx,
             const RECT* clip, bool underline, bool strike) {
    if (!cv.ok) return;
    DC& dc = *cv.dc;
    PixelStore& t = cv.px;
    uint32_t color = Px(dc.st.textColor);
    if (t.bpp == 1) color = t.Nearest(color);
    const uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
    int startX = x;
    for (const RECT& c0 : cv.clip->Rects()) {
        RECT c = c0;
        if (clip) {
            c.left = std::max(c.left, clip->left);
            c.top = std::max(c.top, clip->top);
            c.right = std::min(c.right, clip->right);
            c.bottom = std::min(c.bottom, clip->bottom);
            if (c.right <= c.left || c.bottom <= c.top) continue;
        }
        if (c.bottom <= baseY - face.ascent - 4 || c.top >= baseY + face.descent + 4) {
            // Glyphs may reach beyond the cell; only skip bands far from the line.
            if (c.bottom <= baseY - face.height * 2 || c.top >= baseY + face.height * 2) continue;
        }
        int px = startX;
        for (size_t i = 0; i < n; ++i) {
            const Glyph& g = face.Get(chars[i].cp);
            int gx = px + g.left, gy = baseY - g.top;
            int x0 = std::max<int>(gx, c.left), x1 = std::min<int>(gx + g.width, c.right);
            int y0 = std::max<int>(gy, c.top), y1 = std::min<int>(gy + g.height, c.bottom);
            for (int y = y0; y < y1 && x0 < x1; ++y) {
                const uint8_t* cov = &g.coverage[size_t(y - gy) * size_t(g.width)];
                uint32_t* row = t.Row32(y);
                for (int xx = x0; xx < x1; ++xx) {
                    uint32_t a = cov[xx - gx];
                    if (!a) continue;
                    if (row) {
                        uint32_t d = row[xx];
                        if (a == 255) {
                            row[xx] = color;
                            continue;
                        }
                        uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                        dr += (int(cr) - int(dr)) * int(a) / 255;
                        dg += (int(cg) - int(dg)) * int(a) / 255;
                        db += (int(cb) - int(db)) * int(a) / 255;
                        row[xx] = (dr << 16) | (dg << 8) | db;
                    } else if (t.bpp == 1) {
                        if (a >= 128) t.Set(xx, y, color);
                    } else {
                        uint32_t d = t.Get(xx, y);
                        uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                        dr += (int(cr) - int(dr)) * int(a) / 255;
                        dg += (int(cg) - int(dg)) * int(a) / 255;
                        db += (int(cb) - int(db)) * int(a) / 255;
                        t.Set(xx, y, (dr << 16) | (dg << 8) | db);
                    }
                }
            }
            px += dx ? dx[i] : g.advance + dc.st.charExtra;
        }
        auto line = [&](int y, int thick) {
            int x0 = std::max<int>(startX, c.left), x1 = std::min<int>(px, c.right);
            for (int yy = std::max<int>(y, c.top); yy < std::min<int>(y + thick, c.bottom); ++yy)
                for (int xx = x0; xx < x1; ++xx) t.Set(xx, yy, color);
        };
        if (underline) line(baseY + face.underlinePos, face.underlineThickness);
        if (strike) line(baseY - face.strikePos, face.underlineThickness);
    }
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

// ---- fonts --------------------------------------------------------------------------------

WINGDIAPI HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lf) {
    if (!lf) return nullptr;
    auto f = std::make_shared<Font>();
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return Fonts().Add<HFONT>(f);
}

WINGDIAPI HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                                   DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                                   DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

WINGDIAPI BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !tm) return FALSE;
    FontFace& f = FaceOf(*d);
    const LOGFONTA& lf = d->st.fontObj->lf;
    *tm = TEXTMETRICA{};
    tm->tmHeight = f.height;
    tm->tmAscent = f.ascent;
    tm->tmDescent = f.descent;
    tm->tmInternalLeading = f.internalLeading;
    tm->tmExternalLeading = f.externalLeading;
    tm->tmAveCharWidth = f.aveCharWidth;
    tm->tmMaxCharWidth = f.maxCharWidth;
    tm->tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm->tmOverhang = 0;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 32;
    tm->tmLastChar = 255;
    tm->tmDefaultChar = 31;
    tm->tmBreakChar = 32;
    tm->tmItalic = lf.lfItalic ? 255 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 255 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 255 : 0;
    // The "fixed pitch" bit is set for variable-pitch fonts: a historical inversion.
    tm->tmPitchAndFamily = BYTE((f.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                (f.fixedPitch ? FF_MODERN : (f.serif ? FF_ROMAN : FF_SWISS)));
    tm->tmCharSet = f.symbol ? SYMBOL_CHARSET : ANSI_CHARSET;
    return TRUE;
}

WINGDIAPI int WINAPI GetTextFaceA(HDC hdc, int size, LPSTR face) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !d->st.fontObj) return 0;
    // The face name the program asked for, as the platform reports the selected face.
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, d->st.fontObj->lf.lfFaceName, LF_FACESIZE);
    if (!name[0]) std::strcpy(name, "MS Sans Serif");
    int len = int(std::strlen(name));
    if (!face) return len + 1;
    if (size <= 0) return 0;
    int n = std::min(len, size - 1);
    std::memcpy(face, name, size_t(n));
    face[n] = 0;
    return n;
}

// ---- measuring ----------------------------------------------------------------------------

WINGDIAPI BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !size || count < 0 || (!text && count > 0)) return FALSE;
    FontFace& f = FaceOf(*d);
    auto chars = DecodeText(text, count);
    size->cx = RunWidth(*d, f, chars.data(), chars.size());
    size->cy = f.height;
    return TRUE;
}

WINGDIAPI BOOL WINAPI GetTextExtentPointA(HDC hdc, LPCSTR text, int count, LPSIZE size) {
    return GetTextExtentPoint32A(hdc, text, count, size);
}

WINGDIAPI BOOL WINAPI GetTextExtentExPointA(HDC hdc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx,
                                            LPSIZE size) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !size || count < 0 || (!text && count > 0)) return FALSE;
    FontFace& f = FaceOf(*d);
    auto chars = DecodeText(text, count);
    // Positions are per byte of the program's string: a multi-byte character's bytes all end
    // where the character ends.
    int x = 0, fits = 0;
    bool stillFits = true;
    for (const TextChar& c : chars) {
        x += f.Get(c.cp).advance + d->st.charExtra;
        if (stillFits && (maxExtent < 0 || x <= maxExtent))
            fits = c.byteStart + c.byteLen;
        else
            stillFits = false;
        if (dx)
            for (int k = 0; k < c.byteLen; ++k) dx[c.byteStart + k] = x;
    }
    if (fit) *fit = fits;
    size->cx = x;
    size->cy = f.height;
    return TRUE;
}

WINGDIAPI BOOL WINAPI GetCharWidth32A(HDC hdc, UINT first, UINT last, LPINT widths) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !widths || last < first || last - first > 0x10000) return FALSE;
    FontFace& f = FaceOf(*d);
    for (UINT c = first; c <= last; ++c) {
        char b = char(c);
        auto ch = DecodeText(&b, 1);  // single bytes are Windows-1252 characters
        widths[c - first] = f.Get(c < 256 && !ch.empty() ? ch[0].cp : c).advance;
    }
    return TRUE;
}

WINGDIAPI BOOL WINAPI GetCharABCWidthsA(HDC hdc, UINT first, UINT last, LPABC abc) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !abc || last < first || last - first > 0x10000) return FALSE;
    FontFace& f = FaceOf(*d);
    for (UINT c = first; c <= last; ++c) {
        char b = char(c);
        auto ch = DecodeText(&b, 1);
        const Glyph& gl = f.Get(c < 256 && !ch.empty() ? ch[0].cp : c);
        ABC& o = abc[c - first];
        if (gl.width == 0) {
            o = ABC{0, UINT(gl.advance), 0};
        } else {
            o.abcA = gl.left;
            o.abcB = UINT(gl.width);
            o.abcC = gl.advance - gl.left - gl.width;
        }
    }
    return TRUE;
}

// ---- drawing ------------------------------------------------------------------------------

WINGDIAPI BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rc, LPCSTR text, UINT count,
                                  const INT* dx) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || (!text && count > 0)) return FALSE;
    Canvas cv(d);
    if (!cv.ok) {
        if (d->st.textAlign & TA_UPDATECP) {
            // The current position still advances.
        }
        return TRUE;
    }
    FontFace& f = FaceOf(*d);
    int ox = cv.ox(), oy = cv.oy();
    RECT trc{};
    if (rc) trc = RECT{rc->left + ox, rc->top + oy, rc->right + ox, rc->bottom + oy};
    if ((options & ETO_OPAQUE) && rc) {
        Paint p;
        p.kind = Paint::SolidColor;
        p.color = Px(d->st.bkColor);
        FillRectT(cv, trc, p);
    }
    auto chars = DecodeText(text, int(count));
    if (chars.empty()) return TRUE;
    // Advances from lpDx are per byte; a character takes the sum over its bytes.
    std::vector<int> adv;
    if (dx) {
        for (const TextChar& c : chars) {
            int a = 0;
            for (int k = 0; k < c.byteLen; ++k) a += dx[c.byteStart + k];
            adv.push_back(a);
        }
    }
    int width = 0;
    if (dx)
        for (int a : adv) width += a;
    else
        width = RunWidth(*d, f, chars.data(), chars.size());
    UINT align = d->st.textAlign;
    bool updateCp = align & TA_UPDATECP;
    if (updateCp) {
        x = d->st.curPos.x;
        y = d->st.curPos.y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (align & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - f.ascent;
    else if (align & TA_BOTTOM)
        top = y - f.height;
    if (updateCp) {
        if ((align & TA_CENTER) != TA_CENTER) d->st.curPos.x = (align & TA_RIGHT) ? x - width : x + width;
    }
    RECT box{left + ox, top + oy, left + ox + width, top + oy + f.height};
    const RECT* clip = (options & ETO_CLIPPED) && rc ? &trc : nullptr;
    if (d->st.bkMode == OPAQUE && !(options & ETO_OPAQUE && rc)) {
        Paint p;
        p.kind = Paint::SolidColor;
        p.color = Px(d->st.bkColor);
        RECT b = box;
        if (clip) {
            b.left = std::max(b.left, clip->left);
            b.top = std::max(b.top, clip->top);
            b.right = std::min(b.right, clip->right);
            b.bottom = std::min(b.bottom, clip->bottom);
        }
        FillRectT(cv, b, p);
    }
    const LOGFONTA& lf = d->st.fontObj->lf;
    DrawRun(cv, f, box.left, box.top + f.ascent, chars.data(), chars.size(), dx ? adv.data() : nullptr, clip,
            lf.lfUnderline != 0, lf.lfStrikeOut != 0);
    return TRUE;
}

WINGDIAPI BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    if (count < 0) return FALSE;
    return ExtTextOutA(hdc, x, y, 0, nullptr, text, UINT(count), nullptr);
}
