// Profile strings in INI files, temporary files and the file and folder helpers.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/kobjects.h"
#include "windows.h"

namespace {

DWORD ErrorFromErrno(int e) {
    switch (e) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES: case EPERM: case EROFS: return ERROR_ACCESS_DENIED;
        case EEXIST: return ERROR_ALREADY_EXISTS;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case ENAMETOOLONG: return ERROR_INVALID_NAME;
        default: return ERROR_INVALID_FUNCTION;
    }
}

// ---- INI files ----
struct IniLine {
    std::string text;
};

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

std::vector<std::string> ReadLines(const char* file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool SectionName(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t[0] != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyValue(const std::string& line, std::string* key, std::string* value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
}

// Copies a double-null-terminated list, truncating as the platform does (size - 2 returned).
DWORD CopyList(const std::vector<std::string>& items, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    if (size == 1) {
        out[0] = 0;
        return 0;
    }
    DWORD pos = 0;
    for (const auto& it : items) {
        for (char c : it) {
            if (pos + 2 >= size) {
                out[size - 2] = 0;
                out[size - 1] = 0;
                return size - 2;
            }
            out[pos++] = c;
        }
        if (pos + 2 >= size) {
            out[size - 2] = 0;
            out[size - 1] = 0;
            return size - 2;
        }
        out[pos++] = 0;
    }
    out[pos] = 0;
    return pos;
}

DWORD CopyString(const std::string& s, LPSTR out, DWORD size) {
    if (!out || size == 0) return 0;
    size_t n = s.size() < size - 1 ? s.size() : size - 1;
    memcpy(out, s.data(), n);
    out[n] = 0;
    return DWORD(n);
}

struct FindState : plat::kernel::KObject {
    FindState() : KObject(Type::Find) {}
    std::string dir;
    std::vector<std::string> names;
    size_t next = 0;
};

bool FillFindData(const std::string& dir, const std::string& name, LPWIN32_FIND_DATAA data) {
    memset(data, 0, sizeof(*data));
    std::string full = dir.empty() ? name : dir + "/" + name;
    struct stat st {};
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) return false;
    data->dwFileAttributes = GetFileAttributesA(full.c_str());
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size);
    data->nFileSizeHigh = DWORD(size >> 32);
    data->nFileSizeLow = DWORD(size);
    // FILETIME counts 100 ns steps since 1601.
    auto to_ft = [](time_t t) {
        uint64_t v = (uint64_t(t) + 11644473600ull) * 10000000ull;
        return FILETIME{DWORD(v), DWORD(v >> 32)};
    };
    data->ftCreationTime = to_ft(st.st_ctime);
    data->ftLastAccessTime = to_ft(st.st_atime);
    data->ftLastWriteTime = to_ft(st.st_mtime);
    strncpy(data->cFileName, name.c_str(), MAX_PATH - 1);
    return true;
}

}  // namespace

extern "C" {

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file) {
    if (!out || size == 0) return 0;
    std::vector<std::string> lines = file ? ReadLines(file) : std::vector<std::string>{};
    if (!section) {
        std::vector<std::string> names;
        std::string n;
        for (auto& l : lines)
            if (SectionName(l, &n)) names.push_back(n);
        return CopyList(names, out, size);
    }
    std::string cur;
    bool in = false;
    std::vector<std::string> keys;
    for (auto& l : lines) {
        std::string n, k, v;
        if (SectionName(l, &n)) {
            in = SameName(n, section);
            continue;
        }
        if (!in || !KeyValue(l, &k, &v)) continue;
        if (!key) {
            keys.push_back(k);
        } else if (SameName(k, key)) {
            // Surrounding quotes are dropped, as the platform does.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return CopyString(v, out, size);
        }
    }
    if (!key) return CopyList(keys, out, size);
    std::string d = def ? def : "";
    while (!d.empty() && d.back() == ' ') d.pop_back();  // the default loses trailing blanks
    SetLastError(ERROR_FILE_NOT_FOUND);
    return CopyString(d, out, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    char buf[64];
    char defbuf[1] = {0};
    DWORD n = GetPrivateProfileStringA(section, key, defbuf, buf, sizeof(buf), file);
    if (n == 0) return UINT(def);
    // Leading digits only, like the platform ("12abc" reads 12, "abc" reads 0).
    const char* p = buf;
    bool neg = false;
    if (*p == '-') {
        neg = true;
        ++p;
    }
    long long v = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        v = strtoll(p + 2, nullptr, 16);
    } else {
        while (*p >= '0' && *p <= '9') v = v * 10 + (*p++ - '0');
    }
    return UINT(neg ? -v : v);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (!file) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!section) return TRUE;  // flushing a cache we don't have
    std::vector<std::string> lines = ReadLines(file);
    std::vector<std::string> out;
    bool in = false, found_section = false, done = false;
    size_t section_end = 0;  // where new keys of the section go
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        std::string n, k, v;
        if (SectionName(l, &n)) {
            if (in && !done && key && value) {
                out.insert(out.begin() + long(section_end), std::string(key) + "=" + value);
                done = true;
            }
            in = SameName(n, section);
            if (in) {
                found_section = true;
                if (!key) {  // delete the whole section
                    done = true;
                    continue;
                }
            }
            out.push_back(l);
            if (in) section_end = out.size();
            continue;
        }
        if (in && !key) continue;
        if (in && KeyValue(l, &k, &v) && SameName(k, key)) {
            if (!done && value) out.push_back(std::string(key) + "=" + value);
            done = true;
            section_end = out.size();
            continue;
        }
        out.push_back(l);
        if (in && !Trim(l).empty()) section_end = out.size();
    }
    if (in && !done && key && value) {
        out.insert(out.begin() + long(section_end), std::string(key) + "=" + value);
        done = true;
    }
    if (!found_section && key && value) {
        out.push_back(std::string("[") + section + "]");
        out.push_back(std::string(key) + "=" + value);
    }
    std::string tmp = std::string(file) + ".tmp~";
    {
        std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
        if (!o) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        for (auto& l : out) o << l << "\r\n";
        if (!o.good()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    // Replace in one step so a crash never leaves half a settings file.
    if (rename(tmp.c_str(), file) != 0) {
        SetLastError(ErrorFromErrno(errno));
        unlink(tmp.c_str());
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) {
    std::string p;
    const char* env = getenv("TMPDIR");
    p = (env && *env) ? env : "/tmp";
    if (p.back() != '/') p += '/';
    if (!buffer || size <= p.size()) return DWORD(p.size() + 1);
    memcpy(buffer, p.c_str(), p.size() + 1);
    return DWORD(p.size());
}

UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR out) {
    if (!path || !out) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string dir = path;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    std::string pre = prefix ? std::string(prefix).substr(0, 3) : "";
    auto make = [&](UINT n) {
        char num[16];
        snprintf(num, sizeof(num), "%X", n & 0xFFFF);
        return dir + pre + num + ".tmp";
    };
    if (unique != 0) {
        std::string name = make(unique);
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_INVALID_NAME);
            return 0;
        }
        strcpy(out, name.c_str());
        return unique & 0xFFFF;
    }
    UINT start = (UINT(getpid()) ^ GetTickCount()) & 0xFFFF;
    for (UINT i = 0; i < 0x10000; ++i) {
        UINT n = (start + i) & 0xFFFF;
        if (n == 0) continue;
        std::string name = make(n);
        int fd = open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd >= 0) {
            close(fd);
            if (name.size() >= MAX_PATH) {
                unlink(name.c_str());
                SetLastError(ERROR_INVALID_NAME);
                return 0;
            }
            strcpy(out, name.c_str());
            return n;
        }
        if (errno != EEXIST) {
            SetLastError(ErrorFromErrno(errno));
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (mkdir(path, 0777) != 0) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR path) {
    if (!path || rmdir(path) != 0) {
        SetLastError(path ? ErrorFromErrno(errno) : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
    struct stat st {};
    if (!path || stat(path, &st) != 0) {
        SetLastError(path ? ErrorFromErrno(errno) : ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD a = 0;
    if (S_ISDIR(st.st_mode)) a |= FILE_ATTRIBUTE_DIRECTORY;
    if (access(path, W_OK) != 0 && errno == EACCES) a |= FILE_ATTRIBUTE_READONLY;
    const char* base = strrchr(path, '/');
    base = base ? base + 1 : path;
    if (base[0] == '.' && strcmp(base, ".") != 0 && strcmp(base, "..") != 0) a |= FILE_ATTRIBUTE_HIDDEN;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) a |= FILE_ATTRIBUTE_ARCHIVE;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI DeleteFileA(LPCSTR path) {
    struct stat st {};
    if (!path || lstat(path, &st) != 0) {
        SetLastError(path ? ErrorFromErrno(errno) : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists) {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int in = open(from, O_RDONLY);
    if (in < 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    struct stat st {};
    fstat(in, &st);
    if (S_ISDIR(st.st_mode)) {
        close(in);
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    int flags = O_WRONLY | O_CREAT | (fail_if_exists ? O_EXCL : O_TRUNC);
    int out = open(to, flags, st.st_mode & 0777);
    if (out < 0) {
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno));
        close(in);
        return FALSE;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        for (ssize_t off = 0; off < n;) {
            ssize_t w = write(out, buf + off, size_t(n - off));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            off += w;
        }
        if (!ok) break;
    }
    int e = errno;
    close(in);
    if (close(out) != 0) ok = false;
    if (!ok) {
        unlink(to);  // no half-copied file is left behind
        SetLastError(ErrorFromErrno(e));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI MoveFileA(LPCSTR from, LPCSTR to) {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (access(to, F_OK) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (rename(from, to) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string p = pattern;
    size_t cut = p.find_last_of("/\\");
    std::string dir = cut == std::string::npos ? "" : p.substr(0, cut);
    std::string mask = cut == std::string::npos ? p : p.substr(cut + 1);
    if (cut != std::string::npos && dir.empty()) dir = "/";
    if (mask == "*.*") mask = "*";  // the platform's "everything"
    auto st = std::make_shared<FindState>();
    st->dir = dir;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    while (dirent* e = readdir(d)) {
        if (fnmatch(mask.c_str(), e->d_name, FNM_CASEFOLD) == 0) st->names.push_back(e->d_name);
    }
    closedir(d);
    while (st->next < st->names.size()) {
        if (FillFindData(st->dir, st->names[st->next++], data)) return plat::kernel::AddObject(st);
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
    auto o = plat::kernel::ObjectOf(find);
    if (!o || o->type != plat::kernel::KObject::Type::Find || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* st = static_cast<FindState*>(o.get());
    while (st->next < st->names.size()) {
        if (FillFindData(st->dir, st->names[st->next++], data)) return TRUE;
    }
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL WINAPI FindClose(HANDLE find) {
    auto o = plat::kernel::ObjectOf(find);
    if (!o || o->type != plat::kernel::KObject::Type::Find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(find);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    char buf[4096];
    if (!getcwd(buf, sizeof(buf))) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    size_t n = strlen(buf);
    if (!buffer || size <= n) return DWORD(n + 1);
    memcpy(buffer, buf, n + 1);
    return DWORD(n);
}

// There is no system folder on this platform; the program folder stands in for it.
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string dir(exe, n);
    size_t cut = dir.find_last_of('/');
    dir = cut == std::string::npos ? "." : dir.substr(0, cut == 0 ? 1 : cut);
    if (!buffer || size <= dir.size()) return UINT(dir.size() + 1);
    memcpy(buffer, dir.c_str(), dir.size() + 1);
    return UINT(dir.size());
}

}  // extern "C"
