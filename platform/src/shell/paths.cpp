// Path helpers over native paths; '\' is read as a separator too.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "windows.h"
#include "shlwapi.h"

namespace {

bool IsSep(char c) { return c == '/' || c == '\\'; }

char* LastSep(char* p) {
    char* last = nullptr;
    for (; *p; ++p)
        if (IsSep(*p)) last = p;
    return last;
}

}  // namespace

extern "C" {

LPSTR WINAPI PathFindFileNameA(LPCSTR path) {
    if (!path) return nullptr;
    // A trailing separator belongs to the last name ("/a/b/" -> "b/").
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (IsSep(*p) && p[1] && !IsSep(p[1])) name = p + 1;
    return const_cast<LPSTR>(name);
}

LPSTR WINAPI PathFindExtensionA(LPCSTR path) {
    if (!path) return nullptr;
    const char* dot = nullptr;
    const char* p = path;
    for (; *p; ++p) {
        if (IsSep(*p) || *p == ' ') dot = nullptr;
        else if (*p == '.') dot = p;
    }
    return const_cast<LPSTR>(dot ? dot : p);
}

BOOL WINAPI PathFileExistsA(LPCSTR path) {
    if (!path || !*path) return FALSE;
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

BOOL WINAPI PathIsDirectoryA(LPCSTR path) {
    if (!path || !*path) return FALSE;
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

BOOL WINAPI PathRemoveFileSpecA(LPSTR path) {
    if (!path || !*path) return FALSE;
    char* sep = LastSep(path);
    if (!sep) {
        *path = 0;
        return TRUE;
    }
    if (sep == path) {  // "/name" keeps the root
        if (!sep[1]) return FALSE;
        sep[1] = 0;
        return TRUE;
    }
    *sep = 0;
    return TRUE;
}

void WINAPI PathStripPathA(LPSTR path) {
    if (!path) return;
    char* name = PathFindFileNameA(path);
    if (name != path) memmove(path, name, strlen(name) + 1);
}

void WINAPI PathRemoveExtensionA(LPSTR path) {
    if (!path) return;
    *PathFindExtensionA(path) = 0;
}

LPSTR WINAPI PathAddBackslashA(LPSTR path) {
    if (!path) return nullptr;
    size_t n = strlen(path);
    if (n && IsSep(path[n - 1])) return path + n;
    if (n + 2 > MAX_PATH) return nullptr;
    path[n] = '/';
    path[n + 1] = 0;
    return path + n + 1;
}

LPSTR WINAPI PathRemoveBackslashA(LPSTR path) {
    if (!path) return nullptr;
    size_t n = strlen(path);
    if (n > 1 && IsSep(path[n - 1])) {
        path[n - 1] = 0;
        return path + n - 1;
    }
    return path + n;
}

BOOL WINAPI PathAppendA(LPSTR path, LPCSTR more) {
    if (!path || !more) return FALSE;
    while (IsSep(*more)) ++more;
    size_t n = strlen(path);
    bool sep = n && !IsSep(path[n - 1]) && *more;
    size_t total = n + (sep ? 1 : 0) + strlen(more);
    if (total + 1 > MAX_PATH) return FALSE;
    if (sep) path[n++] = '/';
    memcpy(path + n, more, strlen(more) + 1);
    return TRUE;
}

BOOL WINAPI PathIsRelativeA(LPCSTR path) {
    if (!path || !*path) return TRUE;
    return !IsSep(path[0]);
}

}  // extern "C"
