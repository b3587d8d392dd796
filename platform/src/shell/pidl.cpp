// Item-id lists, the shell allocator and the special folders, answered with their Linux places.
#include "shell/pidl.h"

#include <malloc.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "windows.h"

namespace plat::shell {
namespace {

// Every list the layer hands out comes from malloc, so CoTaskMemFree, ILFree and the
// allocator's Free all release it alike.
class ShellMalloc final : public IMalloc {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (!out) return E_INVALIDARG;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return refs_ > 1 ? --refs_ : 1; }  // lives for the process
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override { return std::malloc(cb ? cb : 1); }
    void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override {
        if (pv && cb == 0) {
            std::free(pv);
            return nullptr;
        }
        return std::realloc(pv, cb);
    }
    void STDMETHODCALLTYPE Free(void* pv) override { std::free(pv); }
    SIZE_T STDMETHODCALLTYPE GetSize(void* pv) override { return pv ? malloc_usable_size(pv) : SIZE_T(-1); }
    int STDMETHODCALLTYPE DidAlloc(void* pv) override { return pv ? -1 : 0; }
    void STDMETHODCALLTYPE HeapMinimize() override {}

private:
    std::atomic<ULONG> refs_{1};
};

ShellMalloc& Allocator() {
    static ShellMalloc* m = new ShellMalloc;
    return *m;
}

LPITEMIDLIST MakePidl(char kind, const std::string& text) {
    size_t item = 2 + 1 + text.size() + 1;
    if (item > 0xFFFF) return nullptr;
    auto* p = static_cast<BYTE*>(std::malloc(item + 2));
    if (!p) return nullptr;
    USHORT cb = USHORT(item);
    std::memcpy(p, &cb, 2);
    p[2] = BYTE(kind);
    std::memcpy(p + 3, text.c_str(), text.size() + 1);
    std::memset(p + item, 0, 2);
    return reinterpret_cast<LPITEMIDLIST>(p);
}

std::string Home() {
    const char* h = std::getenv("HOME");
    if (h && *h) return h;
    if (passwd* pw = getpwuid(getuid())) return pw->pw_dir;
    return "/";
}

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder named in the user's XDG user-dirs file (XDG_DESKTOP_DIR="$HOME/Desktop"), if any.
std::string UserDir(const char* key, const char* fallback) {
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    std::string file = (cfg && *cfg ? std::string(cfg) : Home() + "/.config") + "/user-dirs.dirs";
    std::string found;
    if (FILE* f = std::fopen(file.c_str(), "r")) {
        char line[1024];
        size_t klen = std::strlen(key);
        while (std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, key, klen) != 0 || line[klen] != '=') continue;
            std::string v = line + klen + 1;
            while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
            if (v.compare(0, 5, "$HOME") == 0) v = Home() + v.substr(5);
            found = v;
        }
        std::fclose(f);
    }
    if (found.empty()) found = Home() + "/" + fallback;
    // A desktop without that folder uses the home folder, as the platform's own desktop is always there.
    return IsDir(found) ? found : Home();
}

std::string EnvDir(const char* var, const char* under_home) {
    const char* v = std::getenv(var);
    return v && *v ? std::string(v) : Home() + under_home;
}

bool MakeTree(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (!IsDir(part) && mkdir(part.c_str(), 0777) != 0 && !IsDir(part)) return false;
        }
    }
    return true;
}

}  // namespace

LPITEMIDLIST MakeFolderPidl(const std::string& path) { return MakePidl('F', path); }
LPITEMIDLIST MakeVirtualPidl(const std::string& name) { return MakePidl('V', name); }

bool PidlPath(LPCITEMIDLIST pidl, std::string* path) {
    if (!pidl) return false;
    auto* p = reinterpret_cast<const BYTE*>(pidl);
    USHORT cb;
    std::memcpy(&cb, p, 2);
    if (cb == 0) return SpecialFolderPath(CSIDL_DESKTOP, path);
    if (cb < 4 || p[2] != 'F') return false;
    *path = std::string(reinterpret_cast<const char*>(p + 3), strnlen(reinterpret_cast<const char*>(p + 3), cb - 3));
    return true;
}

bool SpecialFolderPath(int csidl, std::string* path) {
    switch (csidl & 0xFF) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: *path = UserDir("XDG_DESKTOP_DIR", "Desktop"); return true;
    case CSIDL_PERSONAL: *path = Home(); return true;
    case CSIDL_MYVIDEO: *path = UserDir("XDG_VIDEOS_DIR", "Videos"); return true;
    case CSIDL_APPDATA: *path = EnvDir("XDG_CONFIG_HOME", "/.config"); return true;
    case CSIDL_LOCAL_APPDATA: *path = EnvDir("XDG_DATA_HOME", "/.local/share"); return true;
    case CSIDL_PROGRAMS: *path = EnvDir("XDG_DATA_HOME", "/.local/share") + "/applications"; return true;
    }
    return false;
}

}  // namespace plat::shell

using namespace plat::shell;

extern "C" {

HRESULT WINAPI SHGetMalloc(LPMALLOC* out) {
    if (!out) return E_INVALIDARG;
    Allocator().AddRef();
    *out = &Allocator();
    return S_OK;
}

void WINAPI CoTaskMemFree(void* pv) { std::free(pv); }
void WINAPI ILFree(LPITEMIDLIST pidl) { std::free(pidl); }

BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR path) {
    if (!path) return FALSE;
    path[0] = 0;
    std::string p;
    if (!PidlPath(pidl, &p) || p.size() >= MAX_PATH) return FALSE;
    std::memcpy(path, p.c_str(), p.size() + 1);
    return TRUE;
}

BOOL WINAPI SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, PWSTR path, DWORD cch, GPFIDL_FLAGS) {
    if (!path || cch == 0) return FALSE;
    path[0] = 0;
    std::string p;
    if (!PidlPath(pidl, &p)) return FALSE;
    if (MultiByteToWideChar(CP_UTF8, 0, p.c_str(), -1, path, int(cch)) > 0) return TRUE;
    path[0] = 0;
    return FALSE;
}

HRESULT WINAPI SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if ((csidl & 0xFF) == CSIDL_DESKTOP) {
        *out = static_cast<LPITEMIDLIST>(std::calloc(1, 2));  // the empty list
    } else if ((csidl & 0xFF) == CSIDL_DRIVES) {
        *out = MakeVirtualPidl("Computer");
    } else {
        std::string p;
        if (!SpecialFolderPath(csidl, &p)) return E_INVALIDARG;
        *out = MakeFolderPidl(p);
    }
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR path) {
    if (!path) return E_INVALIDARG;
    path[0] = 0;
    std::string p;
    if (!SpecialFolderPath(csidl, &p)) return E_INVALIDARG;
    if (!IsDir(p)) {
        if (!(csidl & CSIDL_FLAG_CREATE) || !MakeTree(p)) return E_FAIL;
    }
    if (p.size() >= MAX_PATH) return E_FAIL;
    std::memcpy(path, p.c_str(), p.size() + 1);
    return S_OK;
}

}  // extern "C"
