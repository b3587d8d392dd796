// The program's resource table: tables registered by the compiler's generated sources, looked
// up by type and name, plus readers of the binary layouts stored in them.
#include "res/resources.h"
#include "core/utf8.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "core/handles.h"

namespace plat::res {

namespace {

struct Registry {
    std::vector<const PLATRES_ENTRY*> tables;                 // in registration order
    std::vector<std::shared_ptr<Resource>> resources;         // in registration order
    HandleTable<Resource> handles{HandleKind::Resource};
};

// Function-local: registration runs from constructors of the program before main. The
// layer's global lock guards it, so lookups made under that lock cannot deadlock with it.
Registry& Reg() {
    static Registry* r = new Registry;  // never destroyed: lookups may come from exit handlers
    return *r;
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

ResId FromEntry(const char* name, WORD id) {
    ResId r;
    if (name)
        r.name = Upper(name);
    else
        r.id = id;
    return r;
}

}  // namespace

ResId ResId::From(const char* p) {
    ResId r;
    if (IS_INTRESOURCE(p)) {
        r.id = WORD(reinterpret_cast<uintptr_t>(p));
        return r;
    }
    if (p[0] == '#') {  // "#123" names the id 123
        char* end = nullptr;
        unsigned long v = std::strtoul(p + 1, &end, 10);
        if (end && *end == 0 && end != p + 1 && v <= 0xFFFF) {
            r.id = WORD(v);
            return r;
        }
    }
    r.name = Upper(p);
    return r;
}

const Resource* Find(const char* type, const char* name) {
    if (!type || !name) return nullptr;
    ResId t = ResId::From(type), n = ResId::From(name);
    Registry& r = Reg();
    Guard g(GlobalLock());
    for (auto& res : r.resources)
        if (res->type == t && res->name == n) return res.get();
    return nullptr;
}

const Resource* FromHandle(HRSRC h) { return Reg().handles.GetRaw(h); }

bool LoadString(UINT id, std::string* out) {
    // Strings live in blocks of 16: block (id / 16) + 1, each string a length-prefixed UTF-16 run.
    const Resource* blk = Find(MAKEINTRESOURCEA(6), MAKEINTRESOURCEA((id >> 4) + 1));
    if (!blk) return false;
    const BYTE* p = blk->data;
    const BYTE* end = p + blk->size;
    for (UINT i = 0; i < 16; ++i) {
        if (end - p < 2) return false;
        WORD len;
        std::memcpy(&len, p, 2);
        p += 2;
        if (size_t(end - p) < size_t(len) * 2) return false;
        if (i == (id & 15)) {
            if (len == 0) return false;
            std::u16string s(len, u'\0');
            std::memcpy(&s[0], p, size_t(len) * 2);
            *out = Utf16ToUtf8(s.data(), s.size());
            return true;
        }
        p += size_t(len) * 2;
    }
    return false;
}

std::string Utf16ToUtf8(const char16_t* s, size_t n) {
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        plat::core::AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& s) {
    std::u16string out;
    size_t i = 0, n = s.size();
    while (i < n) {
        unsigned char b = s[i];
        uint32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { out += u'\xFFFD'; ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) { out += u'\xFFFD'; ++i; continue; }
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

// ---------------------------------------------------------------------------------------------
// A bounds-checked reader over a template.
namespace {
struct Reader {
    const BYTE* base;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    template <typename T>
    T Get() {
        T v{};
        if (pos + sizeof(T) > size) { ok = false; pos = size; return v; }
        std::memcpy(&v, base + pos, sizeof(T));
        pos += sizeof(T);
        return v;
    }
    std::string String() {
        std::u16string s;
        for (;;) {
            char16_t c = Get<char16_t>();
            if (!ok || c == 0) break;
            s += c;
        }
        return Utf16ToUtf8(s.data(), s.size());
    }
    // A string or a 0xFFFF-prefixed ordinal; ordinals come back as "#<n>" with `*ord` set.
    std::string StringOrOrdinal(WORD* ord = nullptr) {
        if (pos + 2 > size) { ok = false; return {}; }
        WORD first;
        std::memcpy(&first, base + pos, 2);
        if (first == 0xFFFF) {
            pos += 2;
            WORD v = Get<WORD>();
            if (ord) *ord = v;
            return "#" + std::to_string(v);
        }
        return String();
    }
    void AlignDword() { pos = (pos + 3) & ~size_t(3); }
};

bool ParseMenuLevel(Reader& rd, std::vector<MenuItem>* items, int depth) {
    if (depth > 32) return false;
    for (;;) {
        MenuItem it;
        it.flags = rd.Get<WORD>();
        if (!(it.flags & 0x10)) it.id = rd.Get<WORD>();
        it.text = rd.String();
        if (!rd.ok) return false;
        bool last = it.flags & 0x80;
        if (it.flags & 0x10)
            if (!ParseMenuLevel(rd, &it.children, depth + 1)) return false;
        items->push_back(std::move(it));
        if (last) return true;
    }
}

std::string ClassFromAtom(const std::string& s) {
    static const char* const names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (s.size() > 1 && s[0] == '#') {
        int v = std::atoi(s.c_str() + 1);
        if (v >= 0x80 && v <= 0x85) return names[v - 0x80];
    }
    return s;
}
}  // namespace

bool ParseMenuTemplate(const void* data, size_t size, std::vector<MenuItem>* items) {
    if (!data) return false;
    Reader rd{static_cast<const BYTE*>(data), size};
    WORD version = rd.Get<WORD>();
    WORD offset = rd.Get<WORD>();
    if (!rd.ok || version != 0) return false;
    rd.pos += offset;
    items->clear();
    return ParseMenuLevel(rd, items, 0);
}

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out) {
    if (!data) return false;
    Reader rd{static_cast<const BYTE*>(data), size};
    DialogTemplate t;
    WORD count;
    if (size >= 4 && rd.base[2] == 0xFF && rd.base[3] == 0xFF && rd.base[0] == 1 && rd.base[1] == 0) {
        t.extended = true;
        rd.pos = 4;
        t.help_id = rd.Get<DWORD>();
        t.ex_style = rd.Get<DWORD>();
        t.style = rd.Get<DWORD>();
    } else {
        t.style = rd.Get<DWORD>();
        t.ex_style = rd.Get<DWORD>();
    }
    count = rd.Get<WORD>();
    t.x = rd.Get<short>();
    t.y = rd.Get<short>();
    t.cx = rd.Get<short>();
    t.cy = rd.Get<short>();
    t.menu = rd.StringOrOrdinal();
    if (t.menu.empty()) {}
    t.class_name = ClassFromAtom(rd.StringOrOrdinal());
    t.title = rd.String();
    const DWORD kSetFont = 0x40, kShellFont = 0x48;
    if ((t.style & kSetFont) || (t.extended && (t.style & kShellFont) == kShellFont)) {
        t.point_size = rd.Get<WORD>();
        if (t.extended) {
            t.weight = rd.Get<WORD>();
            t.italic = rd.Get<BYTE>();
            t.charset = rd.Get<BYTE>();
        }
        t.font = rd.String();
    }
    for (WORD i = 0; i < count && rd.ok; ++i) {
        rd.AlignDword();
        DialogItem it;
        if (t.extended) {
            it.help_id = rd.Get<DWORD>();
            it.ex_style = rd.Get<DWORD>();
            it.style = rd.Get<DWORD>();
        } else {
            it.style = rd.Get<DWORD>();
            it.ex_style = rd.Get<DWORD>();
        }
        it.x = rd.Get<short>();
        it.y = rd.Get<short>();
        it.cx = rd.Get<short>();
        it.cy = rd.Get<short>();
        it.id = t.extended ? rd.Get<DWORD>() : rd.Get<WORD>();
        it.class_name = ClassFromAtom(rd.StringOrOrdinal());
        it.text = rd.StringOrOrdinal(&it.title_id);
        WORD extra = rd.Get<WORD>();
        if (extra) {
            if (rd.pos + extra > size) { rd.ok = false; break; }
            it.creation_data.assign(rd.base + rd.pos, rd.base + rd.pos + extra);
            rd.pos += extra;
        }
        t.items.push_back(std::move(it));
    }
    if (!rd.ok) return false;
    *out = std::move(t);
    return true;
}

const Resource* BestIconImage(const char* group_name, bool cursor, int cx, int cy) {
    const Resource* grp = Find(MAKEINTRESOURCEA(cursor ? 12 : 14), group_name);
    if (!grp || grp->size < 6) return nullptr;
    Reader rd{grp->data, grp->size};
    rd.Get<WORD>();
    WORD type = rd.Get<WORD>();
    WORD n = rd.Get<WORD>();
    if (type != (cursor ? 2 : 1)) return nullptr;
    int best_id = -1;
    long best_score = 0;
    for (WORD i = 0; i < n; ++i) {
        int w, h;
        if (cursor) {
            w = rd.Get<WORD>();
            h = rd.Get<WORD>() / 2;
        } else {
            w = rd.Get<BYTE>();
            h = rd.Get<BYTE>();
            rd.Get<BYTE>();
            rd.Get<BYTE>();
            if (w == 0) w = 256;
            if (h == 0) h = 256;
        }
        rd.Get<WORD>();
        WORD bits = rd.Get<WORD>();
        rd.Get<DWORD>();
        WORD id = rd.Get<WORD>();
        if (!rd.ok) return nullptr;
        // Exact size first, then the nearest larger, then the nearest smaller; deeper colour wins ties.
        long score;
        if (cx <= 0 && cy <= 0)
            score = -(long(w) * h) * 64 - bits;
        else {
            long dx = w - (cx > 0 ? cx : w), dy = h - (cy > 0 ? cy : h);
            long d = std::labs(dx) + std::labs(dy);
            score = (dx < 0 || dy < 0 ? 100000 : 0) + d * 64 - bits;
        }
        if (best_id < 0 || score < best_score) {
            best_id = id;
            best_score = score;
        }
    }
    if (best_id < 0) return nullptr;
    return Find(MAKEINTRESOURCEA(cursor ? 1 : 3), MAKEINTRESOURCEA(best_id));
}

}  // namespace plat::res

using namespace plat;
using namespace plat::res;

WINBASEAPI void WINAPI PlatRegisterResources(const PLATRES_ENTRY* entries, UINT count) {
    if (!entries) return;
    Registry& r = Reg();
    Guard g(GlobalLock());
    if (std::find(r.tables.begin(), r.tables.end(), entries) != r.tables.end()) return;
    r.tables.push_back(entries);
    for (UINT i = 0; i < count; ++i) {
        auto res = std::make_shared<Resource>();
        res->type = FromEntry(entries[i].type_name, entries[i].type_id);
        res->name = FromEntry(entries[i].name, entries[i].name_id);
        res->data = entries[i].data;
        res->size = entries[i].size;
        res->table = entries;
        res->handle = r.handles.Add<HRSRC>(res);
        r.resources.push_back(std::move(res));
    }
}

WINBASEAPI void WINAPI PlatUnregisterResources(const PLATRES_ENTRY* entries) {
    Registry& r = Reg();
    Guard g(GlobalLock());
    r.tables.erase(std::remove(r.tables.begin(), r.tables.end(), entries), r.tables.end());
    for (auto& res : r.resources)
        if (res->table == entries) r.handles.Remove(res->handle);
    r.resources.erase(std::remove_if(r.resources.begin(), r.resources.end(),
                                     [&](const std::shared_ptr<Resource>& p) { return p->table == entries; }),
                      r.resources.end());
}
