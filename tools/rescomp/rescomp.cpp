// The resource compiler's parser, encoders and drawing.
#include "rescomp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace rescomp {

namespace {

// Resource type ids.
enum : uint16_t { kBitmap = 2, kIcon = 3, kMenu = 4, kDialog = 5, kString = 6, kRcData = 10, kGroupIcon = 14 };

// Style and id names a resource may use, with their platform values.
const std::map<std::string, int64_t>& Constants() {
    static const std::map<std::string, int64_t> m = {
        {"WS_OVERLAPPED", 0}, {"WS_POPUP", 0x80000000LL}, {"WS_CHILD", 0x40000000}, {"WS_MINIMIZE", 0x20000000},
        {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000}, {"WS_CLIPSIBLINGS", 0x04000000},
        {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000}, {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000}, {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000}, {"WS_OVERLAPPEDWINDOW", 0x00CF0000}, {"WS_POPUPWINDOW", 0x80880000LL},
        {"WS_EX_DLGMODALFRAME", 0x1}, {"WS_EX_NOPARENTNOTIFY", 0x4}, {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_ACCEPTFILES", 0x10}, {"WS_EX_TRANSPARENT", 0x20}, {"WS_EX_TOOLWINDOW", 0x80},
        {"WS_EX_WINDOWEDGE", 0x100}, {"WS_EX_CLIENTEDGE", 0x200}, {"WS_EX_CONTEXTHELP", 0x400},
        {"WS_EX_RIGHT", 0x1000}, {"WS_EX_CONTROLPARENT", 0x10000}, {"WS_EX_STATICEDGE", 0x20000},
        {"WS_EX_APPWINDOW", 0x40000}, {"WS_EX_LAYOUTRTL", 0x400000},
        {"DS_ABSALIGN", 0x1}, {"DS_SYSMODAL", 0x2}, {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10}, {"DS_LOCALEDIT", 0x20}, {"DS_SETFONT", 0x40}, {"DS_MODALFRAME", 0x80},
        {"DS_NOIDLEMSG", 0x100}, {"DS_SETFOREGROUND", 0x200}, {"DS_CONTROL", 0x400}, {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x48},
        {"BS_PUSHBUTTON", 0}, {"BS_DEFPUSHBUTTON", 1}, {"BS_CHECKBOX", 2}, {"BS_AUTOCHECKBOX", 3},
        {"BS_RADIOBUTTON", 4}, {"BS_3STATE", 5}, {"BS_AUTO3STATE", 6}, {"BS_GROUPBOX", 7},
        {"BS_AUTORADIOBUTTON", 9}, {"BS_OWNERDRAW", 0xB}, {"BS_LEFTTEXT", 0x20}, {"BS_ICON", 0x40},
        {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200}, {"BS_CENTER", 0x300}, {"BS_TOP", 0x400},
        {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00}, {"BS_PUSHLIKE", 0x1000}, {"BS_MULTILINE", 0x2000},
        {"BS_NOTIFY", 0x4000}, {"BS_FLAT", 0x8000},
        {"SS_LEFT", 0}, {"SS_CENTER", 1}, {"SS_RIGHT", 2}, {"SS_ICON", 3}, {"SS_BLACKRECT", 4},
        {"SS_GRAYRECT", 5}, {"SS_WHITERECT", 6}, {"SS_BLACKFRAME", 7}, {"SS_GRAYFRAME", 8},
        {"SS_WHITEFRAME", 9}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_OWNERDRAW", 0xD},
        {"SS_BITMAP", 0xE}, {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11}, {"SS_ETCHEDFRAME", 0x12},
        {"SS_NOPREFIX", 0x80}, {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200}, {"SS_RIGHTJUST", 0x400},
        {"SS_SUNKEN", 0x1000}, {"SS_ENDELLIPSIS", 0x4000}, {"SS_PATHELLIPSIS", 0x8000},
        {"ES_LEFT", 0}, {"ES_CENTER", 1}, {"ES_RIGHT", 2}, {"ES_MULTILINE", 4}, {"ES_UPPERCASE", 8},
        {"ES_LOWERCASE", 0x10}, {"ES_PASSWORD", 0x20}, {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100}, {"ES_READONLY", 0x800}, {"ES_WANTRETURN", 0x1000}, {"ES_NUMBER", 0x2000},
        {"CBS_SIMPLE", 1}, {"CBS_DROPDOWN", 2}, {"CBS_DROPDOWNLIST", 3}, {"CBS_OWNERDRAWFIXED", 0x10},
        {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_SORT", 0x100},
        {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
        {"LBS_NOTIFY", 1}, {"LBS_SORT", 2}, {"LBS_NOREDRAW", 4}, {"LBS_MULTIPLESEL", 8},
        {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40},
        {"LBS_USETABSTOPS", 0x80}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200},
        {"LBS_WANTKEYBOARDINPUT", 0x400}, {"LBS_EXTENDEDSEL", 0x800}, {"LBS_DISABLENOSCROLL", 0x1000},
        {"LBS_STANDARD", 0xA00003},
        {"SBS_HORZ", 0}, {"SBS_VERT", 1},
        {"LVS_ICON", 0}, {"LVS_REPORT", 1}, {"LVS_SMALLICON", 2}, {"LVS_LIST", 3}, {"LVS_SINGLESEL", 4},
        {"LVS_SHOWSELALWAYS", 8}, {"LVS_SORTASCENDING", 0x10}, {"LVS_SORTDESCENDING", 0x20},
        {"LVS_SHAREIMAGELISTS", 0x40}, {"LVS_NOLABELWRAP", 0x80}, {"LVS_AUTOARRANGE", 0x100},
        {"LVS_EDITLABELS", 0x200}, {"LVS_OWNERDRAWFIXED", 0x400}, {"LVS_ALIGNLEFT", 0x800},
        {"LVS_OWNERDATA", 0x1000}, {"LVS_NOSCROLL", 0x2000}, {"LVS_NOCOLUMNHEADER", 0x4000},
        {"LVS_NOSORTHEADER", 0x8000},
        {"TBS_HORZ", 0}, {"TBS_AUTOTICKS", 1}, {"TBS_VERT", 2}, {"TBS_TOP", 4}, {"TBS_LEFT", 4},
        {"TBS_BOTTOM", 0}, {"TBS_RIGHT", 0}, {"TBS_BOTH", 8}, {"TBS_NOTICKS", 0x10},
        {"TBS_ENABLESELRANGE", 0x20}, {"TBS_FIXEDLENGTH", 0x40}, {"TBS_NOTHUMB", 0x80}, {"TBS_TOOLTIPS", 0x100},
        {"PBS_SMOOTH", 1}, {"PBS_VERTICAL", 4},
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6},
        {"IDNO", 7}, {"IDCLOSE", 8}, {"IDHELP", 9}, {"IDC_STATIC", -1},
    };
    return m;
}

struct Token {
    enum Kind { Word, Number, String, Pipe, Colour } kind;
    std::string text;    // word, string (UTF-8, escapes resolved)
    int64_t value = 0;   // number or colour (0xAARRGGBB)
};

struct Line {
    int number;
    std::vector<Token> tokens;
};

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void PutWord(std::vector<uint8_t>& v, uint16_t w) {
    v.push_back(uint8_t(w));
    v.push_back(uint8_t(w >> 8));
}
void PutDword(std::vector<uint8_t>& v, uint32_t d) {
    PutWord(v, uint16_t(d));
    PutWord(v, uint16_t(d >> 16));
}
void PutString16(std::vector<uint8_t>& v, const std::u16string& s) {
    for (char16_t c : s) PutWord(v, uint16_t(c));
    PutWord(v, 0);
}
void AlignDword(std::vector<uint8_t>& v) {
    while (v.size() % 4) v.push_back(0);
}

// ---------------------------------------------------------------------------------------------
// Drawing: shapes sample pixel centres, so edges are exact and the same at every size.

struct Art {
    std::string op;
    std::vector<double> num;
    std::vector<uint32_t> colours;
    bool horizontal = false;
};

// 0xAARRGGBB; alpha 0 is "none".
void Draw(Canvas& c, const Art& a, double scale) {
    auto S = [&](double v) { return v * scale; };
    uint32_t col = a.colours.empty() ? 0 : a.colours[0];
    if (a.op == "FILL") {
        std::fill(c.px.begin(), c.px.end(), col);
    } else if (a.op == "BOX" || a.op == "FRAME") {
        int x0 = int(std::lround(S(a.num[0]))), y0 = int(std::lround(S(a.num[1])));
        int x1 = int(std::lround(S(a.num[0] + a.num[2]))), y1 = int(std::lround(S(a.num[1] + a.num[3])));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (a.op == "BOX" || x == x0 || y == y0 || x == x1 - 1 || y == y1 - 1) c.Set(x, y, col);
    } else if (a.op == "PIXEL") {
        c.Set(int(S(a.num[0])), int(S(a.num[1])), col);
    } else if (a.op == "LINE") {
        int x0 = int(std::floor(S(a.num[0]))), y0 = int(std::floor(S(a.num[1])));
        int x1 = int(std::floor(S(a.num[2]))), y1 = int(std::floor(S(a.num[3])));
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1, dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            c.Set(x0, y0, col);
            if (x0 == x1 && y0 == y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x0 += sx; }
            if (e2 <= dx) { err += dx; y0 += sy; }
        }
    } else if (a.op == "ELLIPSE") {
        double cx = S(a.num[0] + a.num[2] / 2), cy = S(a.num[1] + a.num[3] / 2);
        double rx = S(a.num[2] / 2), ry = S(a.num[3] / 2);
        if (rx <= 0 || ry <= 0) return;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
                if (u * u + v * v <= 1.0) c.Set(x, y, col);
            }
    } else if (a.op == "POLYGON") {
        size_t n = a.num.size() / 2;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                double px = x + 0.5, py = y + 0.5;
                bool in = false;
                for (size_t i = 0, j = n - 1; i < n; j = i++) {
                    double xi = S(a.num[2 * i]), yi = S(a.num[2 * i + 1]);
                    double xj = S(a.num[2 * j]), yj = S(a.num[2 * j + 1]);
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
                }
                if (in) c.Set(x, y, col);
            }
    } else if (a.op == "GRADIENT") {
        int x0 = int(std::lround(S(a.num[0]))), y0 = int(std::lround(S(a.num[1])));
        int x1 = int(std::lround(S(a.num[0] + a.num[2]))), y1 = int(std::lround(S(a.num[1] + a.num[3])));
        uint32_t c0 = a.colours[0], c1 = a.colours[1];
        int span = a.horizontal ? x1 - x0 : y1 - y0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                int k = a.horizontal ? x - x0 : y - y0;
                double t = span > 1 ? double(k) / (span - 1) : 0.0;
                uint32_t out = 0xFF000000;
                for (int sh = 0; sh <= 16; sh += 8) {
                    double v = ((c0 >> sh) & 0xFF) * (1 - t) + ((c1 >> sh) & 0xFF) * t;
                    out |= uint32_t(std::lround(v)) << sh;
                }
                c.Set(x, y, out);
            }
    }
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& s, bool* ok) {
    std::u16string out;
    *ok = true;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = s[i];
        uint32_t c;
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0) {
            *ok = false;
            return out;
        }
        c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                *ok = false;
                return out;
            }
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::vector<uint8_t> EncodeBitmap(const Canvas& c) {
    std::vector<uint8_t> v;
    int stride = (c.width * 3 + 3) & ~3;
    PutDword(v, 40);
    PutDword(v, uint32_t(c.width));
    PutDword(v, uint32_t(c.height));
    PutWord(v, 1);
    PutWord(v, 24);
    PutDword(v, 0);  // BI_RGB
    PutDword(v, uint32_t(stride * c.height));
    PutDword(v, 2835);
    PutDword(v, 2835);
    PutDword(v, 0);
    PutDword(v, 0);
    for (int y = c.height - 1; y >= 0; --y) {
        size_t start = v.size();
        for (int x = 0; x < c.width; ++x) {
            uint32_t p = c.At(x, y);
            v.push_back(uint8_t(p));
            v.push_back(uint8_t(p >> 8));
            v.push_back(uint8_t(p >> 16));
        }
        while (v.size() - start < size_t(stride)) v.push_back(0);
    }
    return v;
}

std::vector<uint8_t> EncodeIconImage(const Canvas& c) {
    std::vector<uint8_t> v;
    int mask_stride = ((c.width + 31) / 32) * 4;
    PutDword(v, 40);
    PutDword(v, uint32_t(c.width));
    PutDword(v, uint32_t(c.height * 2));  // colour image and mask
    PutWord(v, 1);
    PutWord(v, 32);
    PutDword(v, 0);
    PutDword(v, uint32_t(c.width * 4 * c.height + mask_stride * c.height));
    for (int i = 0; i < 4; ++i) PutDword(v, 0);
    for (int y = c.height - 1; y >= 0; --y)
        for (int x = 0; x < c.width; ++x) {
            uint32_t p = c.At(x, y);
            bool opaque = (p >> 24) != 0;
            PutDword(v, opaque ? (p | 0xFF000000) : 0);  // transparent pixels are black under the mask
        }
    for (int y = c.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(mask_stride, 0);
        for (int x = 0; x < c.width; ++x)
            if ((c.At(x, y) >> 24) == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

// ---------------------------------------------------------------------------------------------

struct Parser {
    Compiler& comp;
    std::string file;
    std::vector<Line> lines;
    size_t at = 0;
    bool failed = false;

    std::string Where(int line) const { return file + ":" + std::to_string(line); }
    void Fail(int line, const std::string& msg) {
        comp.errors_.push_back({Where(line), msg});
        failed = true;
    }

    bool Tokenise(const std::string& text) {
        std::istringstream in(text);
        std::string raw;
        int n = 0;
        while (std::getline(in, raw)) {
            ++n;
            if (!raw.empty() && raw.back() == '\r') raw.pop_back();
            Line line{n, {}};
            size_t i = 0;
            while (i < raw.size()) {
                char ch = raw[i];
                if (ch == ' ' || ch == '\t') { ++i; continue; }
                if (ch == '/' && i + 1 < raw.size() && raw[i + 1] == '/') break;
                if (ch == '|') { line.tokens.push_back({Token::Pipe, "|"}); ++i; continue; }
                if (ch == '"') {
                    std::string s;
                    ++i;
                    bool closed = false;
                    while (i < raw.size()) {
                        char c = raw[i++];
                        if (c == '"') { closed = true; break; }
                        if (c == '\\' && i < raw.size()) {
                            char e = raw[i++];
                            switch (e) {
                                case 'n': s += '\n'; break;
                                case 't': s += '\t'; break;
                                case 'r': s += '\r'; break;
                                case '\\': s += '\\'; break;
                                case '"': s += '"'; break;
                                case '0': s += '\0'; break;
                                case 'x': {
                                    if (i + 2 > raw.size() || !std::isxdigit(static_cast<unsigned char>(raw[i])) ||
                                        !std::isxdigit(static_cast<unsigned char>(raw[i + 1]))) {
                                        Fail(n, "bad \\x escape");
                                        return false;
                                    }
                                    s += char(std::stoi(raw.substr(i, 2), nullptr, 16));
                                    i += 2;
                                    break;
                                }
                                default: Fail(n, std::string("unknown escape \\") + e); return false;
                            }
                        } else {
                            s += c;
                        }
                    }
                    if (!closed) { Fail(n, "unterminated string"); return false; }
                    line.tokens.push_back({Token::String, s});
                    continue;
                }
                size_t j = i;
                while (j < raw.size() && raw[j] != ' ' && raw[j] != '\t' && raw[j] != '|' && raw[j] != '"') ++j;
                std::string w = raw.substr(i, j - i);
                i = j;
                if (w[0] == '#') {
                    std::string hex = w.substr(1);
                    bool okhex = (hex.size() == 6 || hex.size() == 8) &&
                                 std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
                    if (!okhex) { Fail(n, "bad colour '" + w + "' (#RRGGBB)"); return false; }
                    uint32_t v = uint32_t(std::stoul(hex, nullptr, 16));
                    if (hex.size() == 6) v |= 0xFF000000;
                    Token t{Token::Colour, w};
                    t.value = v;
                    line.tokens.push_back(t);
                } else if (std::isdigit(static_cast<unsigned char>(w[0])) || ((w[0] == '-' || w[0] == '+') && w.size() > 1)) {
                    char* end = nullptr;
                    long long v = std::strtoll(w.c_str(), &end, 0);
                    if (*end == '.') {  // drawing coordinates may be fractional
                        std::strtod(w.c_str(), &end);
                        if (*end) { Fail(n, "bad number '" + w + "'"); return false; }
                        Token t{Token::Number, w};
                        line.tokens.push_back(t);
                        continue;
                    }
                    if (*end) { Fail(n, "bad number '" + w + "'"); return false; }
                    Token t{Token::Number, w};
                    t.value = v;
                    line.tokens.push_back(t);
                } else {
                    line.tokens.push_back({Token::Word, w});
                }
            }
            if (!line.tokens.empty()) lines.push_back(std::move(line));
        }
        return true;
    }

    // --- helpers over one line ---
    struct Cursor {
        Parser* p;
        const Line* line;
        size_t i = 0;
        bool More() const { return i < line->tokens.size(); }
        const Token* Peek() const { return More() ? &line->tokens[i] : nullptr; }
        bool Fail(const std::string& m) { p->Fail(line->number, m); return false; }
        bool Int(int64_t* v, const char* what) {
            const Token* t = Peek();
            if (t && t->kind == Token::Number && t->text.find('.') == std::string::npos) { *v = t->value; ++i; return true; }
            if (t && t->kind == Token::Word) {
                auto it = Constants().find(t->text);
                if (it != Constants().end()) { *v = it->second; ++i; return true; }
            }
            return Fail(std::string("expected ") + what);
        }
        bool Real(double* v, const char* what) {
            const Token* t = Peek();
            if (t && t->kind == Token::Number) { *v = std::strtod(t->text.c_str(), nullptr); ++i; return true; }
            return Fail(std::string("expected ") + what);
        }
        bool Str(std::string* s, const char* what) {
            const Token* t = Peek();
            if (t && t->kind == Token::String) { *s = t->text; ++i; return true; }
            return Fail(std::string("expected ") + what + " in quotes");
        }
        bool Colour(uint32_t* c) {
            const Token* t = Peek();
            if (t && t->kind == Token::Colour) { *c = uint32_t(t->value); ++i; return true; }
            if (t && t->kind == Token::Word && Upper(t->text) == "NONE") { *c = 0; ++i; return true; }
            return Fail("expected a colour (#RRGGBB or none)");
        }
        // term ('|' term)*, where a term is a name, a number, or NOT name (bits removed).
        bool Style(uint32_t* set, uint32_t* clear) {
            *set = 0;
            *clear = 0;
            for (;;) {
                bool neg = false;
                const Token* t = Peek();
                if (t && t->kind == Token::Word && Upper(t->text) == "NOT") { neg = true; ++i; }
                int64_t v;
                if (!Int(&v, "a style")) return false;
                (neg ? *clear : *set) |= uint32_t(v);
                t = Peek();
                if (!t || t->kind != Token::Pipe) return true;
                ++i;
            }
        }
        bool End() { return More() ? Fail("unexpected '" + Peek()->text + "'") : true; }
    };

    // A resource name: a number is an id, anything else a (case-insensitive) string name.
    bool Name(Cursor& c, Resource* r) {
        const Token* t = c.Peek();
        if (!t) return c.Fail("expected a resource name");
        if (t->kind == Token::Number) {
            if (t->value < 1 || t->value > 0xFFFF) return c.Fail("resource id out of range 1..65535");
            r->name_id = uint16_t(t->value);
        } else if (t->kind == Token::Word || t->kind == Token::String) {
            r->name = Upper(t->text);
        } else {
            return c.Fail("expected a resource name");
        }
        ++c.i;
        return true;
    }

    bool Utf16(int line, const std::string& s, std::u16string* out) {
        bool ok;
        *out = Utf8ToUtf16(s, &ok);
        if (!ok) Fail(line, "text is not valid UTF-8");
        return ok;
    }

    void Add(Resource r, int line) {
        r.origin = Where(line);
        comp.resources_.push_back(std::move(r));
    }

    bool Run() {
        while (at < lines.size() && !failed) {
            const Line& l = lines[at++];
            Cursor c{this, &l};
            std::string kw = Upper(l.tokens[0].text);
            c.i = 1;
            if (l.tokens[0].kind != Token::Word) { Fail(l.number, "expected a statement"); break; }
            if (kw == "STRING") ParseString(c);
            else if (kw == "MENU") ParseMenu(c);
            else if (kw == "DIALOG") ParseDialog(c);
            else if (kw == "BITMAP") ParseArt(c, false);
            else if (kw == "ICON") ParseArt(c, true);
            else if (kw == "RCDATA") ParseRcData(c);
            else if (kw == "AVI") ParseClip(c);
            else Fail(l.number, "unknown statement '" + l.tokens[0].text + "'");
        }
        return !failed;
    }

    void ParseString(Cursor& c) {
        int64_t id;
        std::string text;
        if (!c.Int(&id, "a string id") || !c.Str(&text, "the text") || !c.End()) return;
        if (id < 0 || id > 0xFFFF) { c.Fail("string id out of range 0..65535"); return; }
        std::u16string u;
        if (!Utf16(c.line->number, text, &u)) return;
        if (u.size() > 0xFFFF) { c.Fail("string too long"); return; }
        comp.strings_.push_back({uint16_t(id), u, Where(c.line->number)});
    }

    void ParseRcData(Cursor& c) {
        Resource r;
        r.type_id = kRcData;
        std::string text;
        if (!Name(c, &r) || !c.Str(&text, "the data") || !c.End()) return;
        r.data.assign(text.begin(), text.end());
        Add(std::move(r), c.line->number);
    }

    // A clip: the bytes of an AVI file, named relative to the resource file's folder, under the
    // string type "AVI" that the animation control looks for.
    void ParseClip(Cursor& c) {
        Resource r;
        r.type_name = "AVI";
        std::string path;
        if (!Name(c, &r) || !c.Str(&path, "the clip's file name") || !c.End()) return;
        if (path.empty() || path[0] != '/') {
            size_t cut = file.find_last_of("/\\");
            if (cut != std::string::npos) path = file.substr(0, cut + 1) + path;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) { c.Fail("cannot read the clip '" + path + "'"); return; }
        r.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (r.data.size() < 12 || std::memcmp(r.data.data(), "RIFF", 4) != 0 || std::memcmp(r.data.data() + 8, "AVI ", 4) != 0) {
            c.Fail("'" + path + "' is not an AVI file");
            return;
        }
        comp.inputs_.push_back(path);
        Add(std::move(r), c.line->number);
    }

    // Reads lines until END; `body` handles each, returns false to stop.
    template <typename F>
    bool Block(int start_line, F body) {
        while (at < lines.size()) {
            const Line& l = lines[at++];
            if (l.tokens[0].kind == Token::Word && Upper(l.tokens[0].text) == "END") {
                if (l.tokens.size() > 1) Fail(l.number, "unexpected text after END");
                return !failed;
            }
            Cursor c{this, &l, 1};
            if (l.tokens[0].kind != Token::Word) { Fail(l.number, "expected a statement"); return false; }
            if (!body(Upper(l.tokens[0].text), c) || failed) return false;
        }
        Fail(start_line, "block has no END");
        return false;
    }

    // --- menus ---
    struct MenuNode {
        uint16_t flags = 0;
        uint16_t id = 0;
        std::u16string text;
        bool popup = false;
        std::vector<MenuNode> children;
    };

    bool MenuItems(int start_line, std::vector<MenuNode>* items) {
        return Block(start_line, [&](const std::string& kw, Cursor& c) {
            MenuNode n;
            if (kw == "SEPARATOR") {
                return c.End() && (items->push_back(n), true);
            }
            std::string text;
            if (kw == "POPUP") {
                if (!c.Str(&text, "the popup text") || !Flags(c, &n.flags) || !c.End()) return false;
                if (!Utf16(c.line->number, text, &n.text)) return false;
                n.popup = true;
                if (!MenuItems(c.line->number, &n.children)) return false;
                if (n.children.empty()) return c.Fail("a popup needs at least one item");
                items->push_back(std::move(n));
                return true;
            }
            if (kw == "ITEM") {
                int64_t id;
                if (!c.Str(&text, "the item text") || !c.Int(&id, "a command id") || !Flags(c, &n.flags) || !c.End())
                    return false;
                if (id < 0 || id > 0xFFFF) return c.Fail("command id out of range 0..65535");
                if (!Utf16(c.line->number, text, &n.text)) return false;
                n.id = uint16_t(id);
                items->push_back(std::move(n));
                return true;
            }
            return c.Fail("expected ITEM, POPUP, SEPARATOR or END");
        });
    }

    bool Flags(Cursor& c, uint16_t* flags) {
        while (c.More()) {
            const Token* t = c.Peek();
            std::string w = Upper(t->text);
            if (t->kind != Token::Word) return c.Fail("unexpected '" + t->text + "'");
            if (w == "GRAYED") *flags |= 0x1;
            else if (w == "INACTIVE" || w == "DISABLED") *flags |= 0x2;
            else if (w == "CHECKED") *flags |= 0x8;
            else if (w == "MENUBARBREAK") *flags |= 0x20;
            else if (w == "MENUBREAK") *flags |= 0x40;
            else if (w == "HELP") *flags |= 0x4000;
            else return c.Fail("unknown menu flag '" + t->text + "'");
            ++c.i;
        }
        return true;
    }

    static void EmitMenu(std::vector<uint8_t>& v, const std::vector<MenuNode>& items) {
        for (size_t k = 0; k < items.size(); ++k) {
            const MenuNode& n = items[k];
            uint16_t f = n.flags | (n.popup ? 0x10 : 0) | (k + 1 == items.size() ? 0x80 : 0);
            PutWord(v, f);
            if (!n.popup) PutWord(v, n.id);
            PutString16(v, n.text);
            if (n.popup) EmitMenu(v, n.children);
        }
    }

    void ParseMenu(Cursor& c) {
        Resource r;
        r.type_id = kMenu;
        int line = c.line->number;
        if (!Name(c, &r) || !c.End()) return;
        std::vector<MenuNode> items;
        if (!MenuItems(line, &items)) return;
        if (items.empty()) { Fail(line, "a menu needs at least one item"); return; }
        PutWord(r.data, 0);
        PutWord(r.data, 0);
        EmitMenu(r.data, items);
        Add(std::move(r), line);
    }

    // --- dialogs ---
    struct Item {
        uint32_t style = 0, ex_style = 0;
        int16_t x = 0, y = 0, cx = 0, cy = 0;
        uint16_t id = 0;
        uint16_t class_atom = 0;
        std::u16string class_name;
        std::u16string text;
        int title_ordinal = -1;
    };

    static constexpr uint32_t kChild = 0x40000000, kVisible = 0x10000000, kTabStop = 0x10000, kGroup = 0x20000,
                              kBorder = 0x800000;

    bool Coords(Cursor& c, Item* it) {
        int64_t v[4];
        const char* names[] = {"x", "y", "width", "height"};
        for (int k = 0; k < 4; ++k) {
            if (!c.Int(&v[k], names[k])) return false;
            if (v[k] < -32768 || v[k] > 32767) return c.Fail("coordinate out of range");
        }
        it->x = int16_t(v[0]);
        it->y = int16_t(v[1]);
        it->cx = int16_t(v[2]);
        it->cy = int16_t(v[3]);
        return true;
    }

    bool Id(Cursor& c, Item* it) {
        int64_t id;
        if (!c.Int(&id, "a control id")) return false;
        if (id < -1 || id > 0xFFFF) return c.Fail("control id out of range -1..65535");
        it->id = uint16_t(id);
        return true;
    }

    // Optional trailing "style [exstyle]"; styles add to the statement's defaults.
    bool Tail(Cursor& c, Item* it) {
        if (!c.More()) return true;
        uint32_t set, clear;
        if (!c.Style(&set, &clear)) return false;
        it->style = (it->style | set) & ~clear;
        if (c.More()) {
            if (!c.Style(&set, &clear)) return false;
            it->ex_style = (it->ex_style | set) & ~clear;
        }
        return c.End();
    }

    bool Control(const std::string& kw, Cursor& c, Item* it) {
        std::string text, cls;
        static const std::map<std::string, std::pair<uint16_t, uint32_t>> simple = {
            {"PUSHBUTTON", {0x80, kTabStop | 0x0}}, {"DEFPUSHBUTTON", {0x80, kTabStop | 0x1}},
            {"CHECKBOX", {0x80, kTabStop | 0x2}}, {"AUTOCHECKBOX", {0x80, kTabStop | 0x3}},
            {"RADIOBUTTON", {0x80, 0x4}}, {"AUTORADIOBUTTON", {0x80, 0x9}},
            {"GROUPBOX", {0x80, 0x7}}, {"LTEXT", {0x82, kGroup | 0x0}},
            {"CTEXT", {0x82, kGroup | 0x1}}, {"RTEXT", {0x82, kGroup | 0x2}},
        };
        auto s = simple.find(kw);
        if (s != simple.end()) {
            it->class_atom = s->second.first;
            it->style = kChild | kVisible | s->second.second;
            if (!c.Str(&text, "the text") || !Id(c, it) || !Coords(c, it)) return false;
            return Utf16(c.line->number, text, &it->text) && Tail(c, it);
        }
        if (kw == "EDITTEXT" || kw == "COMBOBOX" || kw == "LISTBOX" || kw == "SCROLLBAR") {
            it->class_atom = kw == "EDITTEXT" ? 0x81 : kw == "COMBOBOX" ? 0x85 : kw == "LISTBOX" ? 0x83 : 0x84;
            it->style = kChild | kVisible |
                        (kw == "EDITTEXT"   ? kTabStop | kBorder
                         : kw == "COMBOBOX" ? kTabStop
                         : kw == "LISTBOX"  ? kTabStop | kBorder | 0x1
                                            : 0);
            return Id(c, it) && Coords(c, it) && Tail(c, it);
        }
        if (kw == "ICON") {  // a static showing an icon resource
            int64_t icon;
            it->class_atom = 0x82;
            it->style = kChild | kVisible | 0x3;
            if (!c.Int(&icon, "an icon id") || !Id(c, it) || !Coords(c, it)) return false;
            it->title_ordinal = int(icon);
            return Tail(c, it);
        }
        if (kw == "CONTROL") {
            // CONTROL "text" id "class" style x y cx cy [exstyle]
            uint32_t set, clear;
            if (!c.Str(&text, "the text") || !Id(c, it) || !c.Str(&cls, "the window class") ||
                !c.Style(&set, &clear) || !Coords(c, it))
                return false;
            it->style = ((kChild | kVisible) | set) & ~clear;
            if (c.More()) {
                if (!c.Style(&set, &clear)) return false;
                it->ex_style = set & ~clear;
            }
            static const std::map<std::string, uint16_t> atoms = {
                {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
            auto a = atoms.find(Upper(cls));
            if (a != atoms.end()) it->class_atom = a->second;
            else if (!Utf16(c.line->number, cls, &it->class_name)) return false;
            return Utf16(c.line->number, text, &it->text) && c.End();
        }
        return c.Fail("unknown dialog statement '" + kw + "'");
    }

    void ParseDialog(Cursor& c) {
        Resource r;
        r.type_id = kDialog;
        int line = c.line->number;
        Item frame;
        if (!Name(c, &r) || !Coords(c, &frame) || !c.End()) return;
        uint32_t style = 0x80000000 | 0x00C00000 | 0x00080000 | 0x80;  // WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME
        uint32_t ex_style = 0;
        std::u16string caption, font, menu, cls;
        int point_size = -1;
        std::vector<Item> items;
        bool ok = Block(line, [&](const std::string& kw, Cursor& k) {
            std::string s;
            uint32_t set, clear;
            if (kw == "STYLE") {
                if (!k.Style(&set, &clear) || !k.End()) return false;
                style = set & ~clear;
                return true;
            }
            if (kw == "EXSTYLE") {
                if (!k.Style(&set, &clear) || !k.End()) return false;
                ex_style = set & ~clear;
                return true;
            }
            if (kw == "CAPTION") return k.Str(&s, "the caption") && k.End() && Utf16(k.line->number, s, &caption);
            if (kw == "CLASS") return k.Str(&s, "the class") && k.End() && Utf16(k.line->number, s, &cls);
            if (kw == "MENU") return k.Str(&s, "the menu name") && k.End() && Utf16(k.line->number, s, &menu);
            if (kw == "FONT") {
                int64_t pt;
                if (!k.Int(&pt, "a point size") || !k.Str(&s, "the face name") || !k.End()) return false;
                if (pt <= 0 || pt > 0x7FFF) return k.Fail("point size out of range");
                point_size = int(pt);
                return Utf16(k.line->number, s, &font);
            }
            Item it;
            if (!Control(kw, k, &it)) return false;
            items.push_back(std::move(it));
            return true;
        });
        if (!ok) return;
        if (items.size() > 0xFFFF) { Fail(line, "too many controls"); return; }
        if (point_size > 0) style |= 0x40;  // DS_SETFONT
        else style &= ~0x40u;
        std::vector<uint8_t>& v = r.data;
        PutDword(v, style);
        PutDword(v, ex_style);
        PutWord(v, uint16_t(items.size()));
        PutWord(v, uint16_t(frame.x));
        PutWord(v, uint16_t(frame.y));
        PutWord(v, uint16_t(frame.cx));
        PutWord(v, uint16_t(frame.cy));
        if (menu.empty()) PutWord(v, 0);
        else if (std::all_of(menu.begin(), menu.end(), [](char16_t ch) { return ch >= u'0' && ch <= u'9'; }) && menu.size() < 6) {
            PutWord(v, 0xFFFF);
            PutWord(v, uint16_t(std::stoi(std::string(menu.begin(), menu.end()))));
        } else {
            std::u16string up = menu;
            for (char16_t& ch : up) if (ch >= u'a' && ch <= u'z') ch = char16_t(ch - 32);
            PutString16(v, up);
        }
        if (cls.empty()) PutWord(v, 0);
        else PutString16(v, cls);
        PutString16(v, caption);
        if (point_size > 0) {
            PutWord(v, uint16_t(point_size));
            PutString16(v, font);
        }
        for (const Item& it : items) {
            AlignDword(v);
            PutDword(v, it.style);
            PutDword(v, it.ex_style);
            PutWord(v, uint16_t(it.x));
            PutWord(v, uint16_t(it.y));
            PutWord(v, uint16_t(it.cx));
            PutWord(v, uint16_t(it.cy));
            PutWord(v, it.id);
            if (it.class_atom) {
                PutWord(v, 0xFFFF);
                PutWord(v, it.class_atom);
            } else {
                PutString16(v, it.class_name);
            }
            if (it.title_ordinal >= 0) {
                PutWord(v, 0xFFFF);
                PutWord(v, uint16_t(it.title_ordinal));
            } else {
                PutString16(v, it.text);
            }
            PutWord(v, 0);  // no creation data
        }
        Add(std::move(r), line);
    }

    // --- bitmaps and icons ---
    bool ArtBody(int line, std::vector<Art>* art, bool icon) {
        return Block(line, [&](const std::string& kw, Cursor& c) {
            Art a;
            a.op = kw;
            uint32_t col;
            auto nums = [&](int n) {
                for (int k = 0; k < n; ++k) {
                    double d;
                    if (!c.Real(&d, "a coordinate")) return false;
                    a.num.push_back(d);
                }
                return true;
            };
            if (kw == "FILL") {
                if (!c.Colour(&col)) return false;
            } else if (kw == "BOX" || kw == "FRAME" || kw == "ELLIPSE") {
                if (!nums(4) || !c.Colour(&col)) return false;
            } else if (kw == "LINE") {
                if (!nums(4) || !c.Colour(&col)) return false;
            } else if (kw == "PIXEL") {
                if (!nums(2) || !c.Colour(&col)) return false;
            } else if (kw == "POLYGON") {
                if (!c.Colour(&col)) return false;
                while (c.More()) if (!nums(1)) return false;
                if (a.num.size() < 6 || a.num.size() % 2) return c.Fail("a polygon needs three or more x y pairs");
            } else if (kw == "GRADIENT") {
                uint32_t c2;
                if (!nums(4) || !c.Colour(&col) || !c.Colour(&c2)) return false;
                a.colours.push_back(col);
                col = c2;
                const Token* t = c.Peek();
                std::string dir = t ? Upper(t->text) : "";
                if (dir != "H" && dir != "V") return c.Fail("expected H or V");
                a.horizontal = dir == "H";
                ++c.i;
                if (!(a.colours[0] >> 24) || !(col >> 24)) return c.Fail("a gradient needs two real colours");
            } else {
                return c.Fail("unknown drawing command '" + kw + "'");
            }
            if (!icon && (col >> 24) == 0) return c.Fail("bitmaps have no transparency; 'none' is for icons");
            a.colours.push_back(col);
            art->push_back(std::move(a));
            return c.End();
        });
    }

    void ParseArt(Cursor& c, bool icon) {
        int line = c.line->number;
        Resource r;
        if (!Name(c, &r)) return;
        std::vector<int64_t> sizes;
        while (c.More()) {
            int64_t v;
            if (!c.Int(&v, icon ? "an icon size" : "a size")) return;
            if (v < 1 || v > (icon ? 256 : 4096)) { c.Fail("size out of range"); return; }
            sizes.push_back(v);
        }
        if (!icon && sizes.size() != 2) { c.Fail("BITMAP takes a name, a width and a height"); return; }
        if (icon && sizes.empty()) { c.Fail("ICON takes a name and one or more sizes"); return; }
        std::vector<Art> art;
        if (!ArtBody(line, &art, icon)) return;
        if (!icon) {
            Canvas cv{int(sizes[0]), int(sizes[1])};
            std::fill(cv.px.begin(), cv.px.end(), 0xFF000000);
            for (const Art& a : art) Draw(cv, a, 1.0);
            r.type_id = kBitmap;
            r.data = EncodeBitmap(cv);
            Add(std::move(r), line);
            return;
        }
        // Commands are written for the first size and scaled to the others.
        Resource group = r;
        group.type_id = kGroupIcon;
        PutWord(group.data, 0);
        PutWord(group.data, 1);
        PutWord(group.data, uint16_t(sizes.size()));
        for (int64_t s : sizes) {
            Canvas cv{int(s), int(s)};
            for (const Art& a : art) Draw(cv, a, double(s) / double(sizes[0]));
            Resource img;
            img.type_id = kIcon;
            if (comp.next_icon_id_ == 0) { Fail(line, "too many icon images"); return; }
            img.name_id = comp.next_icon_id_++;
            img.data = EncodeIconImage(cv);
            group.data.push_back(uint8_t(s == 256 ? 0 : s));
            group.data.push_back(uint8_t(s == 256 ? 0 : s));
            group.data.push_back(0);
            group.data.push_back(0);
            PutWord(group.data, 1);
            PutWord(group.data, 32);
            PutDword(group.data, uint32_t(img.data.size()));
            PutWord(group.data, img.name_id);
            Add(std::move(img), line);
        }
        Add(std::move(group), line);
    }
};

bool Compiler::AddFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors_.push_back({path, "cannot read the file"});
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return AddText(ss.str(), path);
}

bool Compiler::AddText(const std::string& text, const std::string& file_name) {
    Parser p{*this, file_name, {}};
    // Editors may save a byte-order mark; it is not part of the first statement.
    bool bom = text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (!p.Tokenise(bom ? text.substr(3) : text)) return false;
    return p.Run();
}

bool Compiler::Finish() {
    if (finished_) return errors_.empty();
    finished_ = true;
    // Strings: 16 to a block, block id = id / 16 + 1, each a length-prefixed UTF-16 run.
    std::map<uint16_t, const StringEntry*> by_id;
    for (const StringEntry& s : strings_) {
        auto [it, fresh] = by_id.emplace(s.id, &s);
        if (!fresh) errors_.push_back({s.origin, "string " + std::to_string(s.id) + " already defined at " + it->second->origin});
    }
    std::map<int, std::vector<const StringEntry*>> blocks;
    for (auto& [id, s] : by_id) {
        auto& b = blocks[id / 16 + 1];
        b.resize(16, nullptr);
        b[id % 16] = s;
    }
    for (auto& [blk, entries] : blocks) {
        Resource r;
        r.type_id = kString;
        r.name_id = uint16_t(blk);
        for (const StringEntry* s : entries) {
            if (!s) {
                PutWord(r.data, 0);
                continue;
            }
            PutWord(r.data, uint16_t(s->text.size()));
            for (char16_t ch : s->text) PutWord(r.data, uint16_t(ch));
            if (r.origin.empty()) r.origin = s->origin;
        }
        resources_.push_back(std::move(r));
    }
    for (size_t i = 0; i < resources_.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const Resource &a = resources_[i], &b = resources_[j];
            if (a.type_id == b.type_id && a.type_name == b.type_name && a.name_id == b.name_id && a.name == b.name) {
                errors_.push_back({a.origin, "resource already defined at " + b.origin});
                break;
            }
        }
    return errors_.empty();
}

std::string GenerateSource(const std::vector<Resource>& resources, const std::string& comment) {
    std::ostringstream o;
    o << "// Generated by rescomp from " << comment << ". Do not edit.\n";
    o << "#include \"platres.h\"\n\nnamespace {\n\n";
    for (size_t i = 0; i < resources.size(); ++i) {
        const auto& d = resources[i].data;
        o << "alignas(4) const BYTE kData" << i << "[" << std::max<size_t>(d.size(), 1) << "] = {";
        for (size_t k = 0; k < d.size(); ++k) {
            if (k % 24 == 0) o << "\n   ";
            o << ' ' << unsigned(d[k]) << ',';
        }
        o << "\n};\n";
    }
    auto quoted = [](const std::string& s) {
        std::string q = "\"";
        for (char c : s) {
            if (c == '"' || c == '\\') q += '\\';
            q += c;
        }
        return q + "\"";
    };
    o << "\nconst PLATRES_ENTRY kEntries[] = {\n";
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource& r = resources[i];
        o << "    {" << (r.type_name.empty() ? "nullptr" : quoted(r.type_name)) << ", " << r.type_id << ", "
          << (r.name.empty() ? "nullptr" : quoted(r.name)) << ", " << r.name_id << ", kData" << i << ", "
          << r.data.size() << "},\n";
    }
    if (resources.empty()) o << "    {nullptr, 0, nullptr, 0, nullptr, 0},\n";
    o << "};\n\n}  // namespace\n\n";
    o << "// A prioritised constructor runs before every ordinary static initialiser of the program,\n"
         "// so code that loads resources from static objects already finds them.\n";
    o << "__attribute__((constructor(110))) static void RegisterCompiledResources() {\n";
    o << "    PlatRegisterResources(kEntries, " << resources.size() << ");\n}\n";
    return o.str();
}

}  // namespace rescomp
