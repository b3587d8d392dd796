// A small read-only registry holding what the program asks the system: which program opens
// ".htm" pages. Keys and value names are case-insensitive, as on the platform.
#include <strings.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "core/handles.h"
#include "windows.h"

namespace plat::shell {
namespace {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

// Full key path ("HKCR\.htm") -> value name ("" = default) -> text.
using Values = std::map<std::string, std::string, NoCase>;
using Tree = std::map<std::string, Values, NoCase>;

const Tree& Store() {
    static const Tree tree = [] {
        Tree t;
        t["HKCR"];
        t["HKCU"];
        t["HKLM"];
        t["HKU"];
        for (const char* ext : {".htm", ".html"}) {
            t[std::string("HKCR\\") + ext][""] = "htmlfile";
            t[std::string("HKCR\\") + ext]["Content Type"] = "text/html";
        }
        t["HKCR\\htmlfile"][""] = "HTML Document";
        t["HKCR\\htmlfile\\shell"];
        t["HKCR\\htmlfile\\shell\\open"];
        t["HKCR\\htmlfile\\shell\\open\\command"][""] = "xdg-open \"%1\"";
        return t;
    }();
    return tree;
}

struct Key {
    std::string path;
};

HandleTable<Key>& Keys() {
    static HandleTable<Key>* t = new HandleTable<Key>(HandleKind::Other);
    return *t;
}

const char* RootName(HKEY key) {
    switch (reinterpret_cast<ULONG_PTR>(key)) {
    case 0x80000000: return "HKCR";
    case 0x80000001: return "HKCU";
    case 0x80000002: return "HKLM";
    case 0x80000003: return "HKU";
    }
    return nullptr;
}

// The full path of an open or predefined key, or false for an invalid handle.
bool PathOf(HKEY key, std::string* path) {
    if (const char* root = RootName(key)) {
        *path = root;
        return true;
    }
    std::shared_ptr<Key> k = Keys().Get(key);
    if (!k) return false;
    *path = k->path;
    return true;
}

// `base` + "\" + `sub`, with empty parts and stray separators dropped.
std::string Join(const std::string& base, const char* sub) {
    std::string out = base;
    std::string part;
    for (const char* p = sub ? sub : "";; ++p) {
        if (*p == '\\' || *p == 0) {
            if (!part.empty()) out += "\\" + part;
            part.clear();
            if (!*p) break;
        } else {
            part += *p;
        }
    }
    return out;
}

LONG CopyString(const std::string& text, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type) *type = REG_SZ;
    DWORD need = DWORD(text.size() + 1);
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (!data) {
        *size = need;
        return ERROR_SUCCESS;
    }
    if (*size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, text.c_str(), need);
    *size = need;
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace plat::shell

using namespace plat::shell;

extern "C" {

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subkey, DWORD, REGSAM access, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::string base;
    if (!PathOf(key, &base)) return ERROR_INVALID_HANDLE;
    // Nothing here may be changed.
    if (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK)) return ERROR_ACCESS_DENIED;
    std::string path = Join(base, subkey);
    if (!Store().count(path)) return ERROR_FILE_NOT_FOUND;
    *result = Keys().Add<HKEY>(std::make_shared<Key>(Key{path}));
    return ERROR_SUCCESS;
}

LONG WINAPI RegOpenKeyA(HKEY key, LPCSTR subkey, PHKEY result) {
    return RegOpenKeyExA(key, subkey, 0, KEY_READ, result);
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    std::string path;
    if (!PathOf(key, &path)) return ERROR_INVALID_HANDLE;
    auto k = Store().find(path);
    if (k == Store().end()) return ERROR_FILE_NOT_FOUND;
    auto v = k->second.find(name ? name : "");
    if (v == k->second.end()) return ERROR_FILE_NOT_FOUND;
    return CopyString(v->second, type, data, size);
}

LONG WINAPI RegQueryValueA(HKEY key, LPCSTR subkey, LPSTR data, LONG* size) {
    std::string base;
    if (!PathOf(key, &base)) return ERROR_INVALID_HANDLE;
    auto k = Store().find(Join(base, subkey));
    if (k == Store().end()) return ERROR_FILE_NOT_FOUND;
    auto v = k->second.find("");
    // A key without a default value reads as an empty text.
    std::string text = v == k->second.end() ? std::string() : v->second;
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (*size < 0) return ERROR_INVALID_PARAMETER;
    DWORD n = DWORD(*size);
    LONG r = CopyString(text, nullptr, reinterpret_cast<LPBYTE>(data), &n);
    *size = LONG(n);
    return r;
}

LONG WINAPI RegCloseKey(HKEY key) {
    if (RootName(key)) return ERROR_SUCCESS;
    return Keys().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // extern "C"
