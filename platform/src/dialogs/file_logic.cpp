#include "dialogs/file_logic.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace plat::dialogs {
namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool Glob(const char* p, const char* s) {
    // Iterative matcher with one backtrack point: linear enough for file names.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*s) {
        if (*p == '*') {
            star = p++;
            resume = s;
        } else if (*p == '?' || (*p && std::tolower(static_cast<unsigned char>(*p)) ==
                                           std::tolower(static_cast<unsigned char>(*s)))) {
            ++p;
            ++s;
        } else if (star) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == 0;
}

}  // namespace

std::vector<Filter> ParseFilters(const char* filters) {
    std::vector<Filter> out;
    if (!filters) return out;
    const char* p = filters;
    while (*p) {
        std::string desc = p;
        p += desc.size() + 1;
        if (!*p) break;  // a description without patterns ends the list
        std::string pats = p;
        p += pats.size() + 1;
        Filter f;
        f.description = Trim(desc);
        size_t start = 0;
        while (start <= pats.size()) {
            size_t semi = pats.find(';', start);
            if (semi == std::string::npos) semi = pats.size();
            std::string one = Trim(pats.substr(start, semi - start));
            if (!one.empty()) f.patterns.push_back(one);
            start = semi + 1;
        }
        if (f.patterns.empty()) f.patterns.push_back("*");
        out.push_back(f);
    }
    return out;
}

bool MatchPattern(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    return Glob(pattern.c_str(), name.c_str());
}

bool MatchesFilter(const Filter& f, const std::string& name) {
    for (const std::string& p : f.patterns)
        if (MatchPattern(p, name)) return true;
    return false;
}

std::vector<Entry> ListFolder(const std::string& folder, const Filter* filter, bool show_hidden) {
    std::vector<Entry> dirs, files;
    DIR* d = opendir(folder.c_str());
    if (!d) return {};
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (name[0] == '.' && !show_hidden) continue;
        struct stat st;
        if (stat(JoinPath(folder, name).c_str(), &st) != 0) continue;  // dangling links
        if (S_ISDIR(st.st_mode)) dirs.push_back({name, true});
        else if (!filter || MatchesFilter(*filter, name)) files.push_back({name, false});
    }
    closedir(d);
    auto by_name = [](const Entry& a, const Entry& b) {
        int c = strcasecmp(a.name.c_str(), b.name.c_str());
        return c != 0 ? c < 0 : a.name < b.name;
    };
    std::sort(dirs.begin(), dirs.end(), by_name);
    std::sort(files.begin(), files.end(), by_name);
    dirs.insert(dirs.end(), files.begin(), files.end());
    return dirs;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string ParentOf(const std::string& folder) {
    size_t cut = folder.find_last_of('/');
    if (cut == std::string::npos || cut == 0) return "/";
    return folder.substr(0, cut);
}

std::string Normalize(const std::string& path, const std::string& base) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || p[0] != '/') p = JoinPath(base, p);
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= p.size()) {
        size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string part = p.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

std::vector<std::string> SplitTypedNames(const std::string& text) {
    std::vector<std::string> names;
    if (text.find('"') == std::string::npos) {
        std::string t = Trim(text);
        if (!t.empty()) names.push_back(t);
        return names;
    }
    size_t i = 0;
    while (i < text.size()) {
        size_t q = text.find('"', i);
        if (q == std::string::npos) {
            std::string rest = Trim(text.substr(i));
            if (!rest.empty()) names.push_back(rest);
            break;
        }
        std::string before = Trim(text.substr(i, q - i));
        if (!before.empty()) names.push_back(before);
        size_t e = text.find('"', q + 1);
        if (e == std::string::npos) e = text.size();
        std::string name = text.substr(q + 1, e - q - 1);
        if (!name.empty()) names.push_back(name);
        i = e + 1;
    }
    return names;
}

DWORD PackResult(OPENFILENAMEA* ofn, const std::string& folder, const std::vector<std::string>& names) {
    std::string packed;
    size_t offset = 0, ext = 0;
    bool several = names.size() > 1 && (ofn->Flags & OFN_ALLOWMULTISELECT);
    if (several) {
        packed = folder;
        packed += '\0';
        offset = packed.size();
        for (const std::string& n : names) {
            packed += n;
            packed += '\0';
        }
        packed += '\0';
    } else {
        std::string full = names.empty() ? folder : JoinPath(folder, names[0]);
        offset = full.find_last_of('/') + 1;
        size_t dot = full.find_last_of('.');
        // No extension: it points at the terminator; a name ending in '.' has none at all.
        if (dot == std::string::npos || dot < offset) ext = full.size();
        else ext = dot + 1 == full.size() ? 0 : dot + 1;
        packed = full;
        packed += '\0';
        if (ofn->Flags & OFN_ALLOWMULTISELECT) packed += '\0';  // callers walk to the double NUL
    }
    if (!ofn->lpstrFile || packed.size() > ofn->nMaxFile) {
        if (ofn->lpstrFile && ofn->nMaxFile >= 2) {
            WORD need = WORD(std::min<size_t>(packed.size(), 0xFFFF));
            std::memcpy(ofn->lpstrFile, &need, 2);
        }
        return FNERR_BUFFERTOOSMALL;
    }
    std::memcpy(ofn->lpstrFile, packed.data(), packed.size());
    ofn->nFileOffset = WORD(std::min<size_t>(offset, 0xFFFF));
    ofn->nFileExtension = WORD(std::min<size_t>(ext, 0xFFFF));
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) {
        std::string title = several ? std::string() : std::string(packed.c_str() + offset);
        size_t n = std::min<size_t>(title.size(), ofn->nMaxFileTitle - 1);
        std::memcpy(ofn->lpstrFileTitle, title.data(), n);
        ofn->lpstrFileTitle[n] = 0;
    }
    ofn->Flags &= ~DWORD(OFN_READONLY | OFN_EXTENSIONDIFFERENT);
    return 0;
}

}  // namespace plat::dialogs
