// Modules: the program itself, this library, what LoadLibrary opened, and the modules the layer
// provides under system module names (the window system's own, and those other parts of the
// layer register). Handles count references as the platform's do.
#include "kernel/modules.h"

#include <dlfcn.h>
#include <limits.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/handles.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

using plat::kernel::BuiltinProc;

// A module of the layer's own: its procedures, or (the window system's modules) every export.
struct Builtin {
    std::vector<BuiltinProc> procs;
    bool layer_exports = false;
    HMODULE handle = nullptr;  // once loaded
};

struct Module {
    void* dl = nullptr;
    std::string path;
    int refs = 1;
    bool permanent = false;  // the program, the layer and its own modules are never unloaded
    std::shared_ptr<Builtin> builtin;
};

plat::HandleTable<Module>& Modules() {
    static auto* t = new plat::HandleTable<Module>(plat::HandleKind::Module);
    return *t;
}
std::map<std::string, HMODULE>& ModulesByPath() {
    static auto* m = new std::map<std::string, HMODULE>;
    return *m;
}
std::map<std::string, std::shared_ptr<Builtin>>& Builtins() {
    static auto* m = new std::map<std::string, std::shared_ptr<Builtin>>;
    return *m;
}
std::set<std::string>& Missing() {
    static auto* s = new std::set<std::string>;
    return *s;
}

std::string ExePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return {};
    return std::string(buf, size_t(n));
}

std::string LayerPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&GetProcAddress), &info) && info.dli_fname) {
        char buf[PATH_MAX];
        if (realpath(info.dli_fname, buf)) return buf;
        return info.dli_fname;
    }
    return {};
}

// Finds or registers a module by path (under the global lock).
HMODULE ModuleFor(const std::string& path, void* dl, bool permanent, bool add_ref) {
    plat::Guard g(plat::GlobalLock());
    auto it = ModulesByPath().find(path);
    if (it != ModulesByPath().end()) {
        if (Module* m = Modules().GetRaw(it->second)) {
            if (add_ref) m->refs++;
            if (dl && m->dl && dl != m->dl) dlclose(dl);  // the existing handle keeps its reference
            return it->second;
        }
    }
    auto m = std::make_shared<Module>();
    m->dl = dl;
    m->path = path;
    m->permanent = permanent;
    HMODULE h = Modules().Add<HMODULE>(m);
    ModulesByPath()[path] = h;
    return h;
}

HMODULE ExeModule() { return ModuleFor(ExePath(), dlopen(nullptr, RTLD_NOW), true, false); }
HMODULE LayerModule() {
    std::string p = LayerPath();
    return ModuleFor(p, dlopen(p.c_str(), RTLD_NOW | RTLD_NOLOAD), true, false);
}

// The window system's modules are the layer itself.
void EnsureSystemModules() {
    static bool done = [] {
        auto sys = std::make_shared<Builtin>();
        sys->layer_exports = true;
        plat::Guard g(plat::GlobalLock());
        for (const char* n : {"user32", "kernel32", "gdi32", "comctl32", "advapi32", "shell32", "winmm"})
            Builtins().emplace(n, sys);
        return true;
    }();
    (void)done;
}

// The layer's module answering to `name` (`known` tells whether one does), loading it on first
// use when `load`; null with ERROR_MOD_NOT_FOUND when it is not loaded or a test made it missing.
HMODULE BuiltinFor(const char* name, bool load, bool* known) {
    EnsureSystemModules();
    std::string key = plat::kernel::ModuleKey(name);
    std::shared_ptr<Builtin> b;
    {
        plat::Guard g(plat::GlobalLock());
        auto it = Builtins().find(key);
        *known = it != Builtins().end();
        if (!*known) return nullptr;
        if (Missing().count(key)) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        b = it->second;
        // The window system's modules are always loaded; the others once something loads them.
        if (b->handle) return b->handle;
        if (!load && !b->layer_exports) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }
    HMODULE h;
    if (b->layer_exports) {
        h = LayerModule();
    } else {
        auto m = std::make_shared<Module>();
        m->path = LayerPath();
        m->permanent = true;
        m->builtin = b;
        h = Modules().Add<HMODULE>(m);
    }
    plat::Guard g(plat::GlobalLock());
    if (!b->handle) b->handle = h;
    return b->handle;
}

}  // namespace

namespace plat::kernel {

std::string ModuleKey(const char* name) {
    std::string n(name ? name : "");
    size_t cut = n.find_last_of("/\\");
    if (cut != std::string::npos) n = n.substr(cut + 1);
    for (auto& c : n) c = char(tolower(static_cast<unsigned char>(c)));
    if (n.size() > 4 && n.compare(n.size() - 4, 4, ".dll") == 0) n.resize(n.size() - 4);
    return n;
}

void RegisterBuiltinModule(const std::vector<std::string>& names, std::vector<BuiltinProc> procs) {
    EnsureSystemModules();
    auto b = std::make_shared<Builtin>();
    b->procs = std::move(procs);
    Guard g(GlobalLock());
    for (const std::string& n : names) Builtins().emplace(ModuleKey(n.c_str()), b);
}

}  // namespace plat::kernel

void WinTestSetModuleMissing(const char* name, BOOL missing) {
    if (!name) return;
    std::string key = plat::kernel::ModuleKey(name);
    plat::Guard g(plat::GlobalLock());
    if (missing)
        Missing().insert(key);
    else
        Missing().erase(key);
}

extern "C" {

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    std::string path;
    if (!module) {
        path = ExePath();
    } else {
        plat::Guard g(plat::GlobalLock());
        Module* m = Modules().GetRaw(module);
        if (!m) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path = m->path;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= size) {
        // Truncated and still terminated, as the platform's later versions do.
        memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(buffer, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return DWORD(path.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (!name) return ExeModule();
    bool known;
    HMODULE b = BuiltinFor(name, false, &known);
    if (known) return b;
    plat::Guard g(plat::GlobalLock());
    // By path, or by file name against the modules already loaded.
    for (auto& [path, h] : ModulesByPath()) {
        std::string base = path.substr(path.find_last_of('/') + 1);
        if (path == name || strcasecmp(base.c_str(), name) == 0) {
            if (Modules().Valid(h)) return h;
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE WINAPI LoadLibraryExA(LPCSTR name, HANDLE, DWORD) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool known;
    HMODULE b = BuiltinFor(name, true, &known);
    if (known) return b;
    void* dl = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string path = name;
    char real[PATH_MAX];
    if (strchr(name, '/') && realpath(name, real)) path = real;
    return ModuleFor(path, dl, false, true);
}

HMODULE WINAPI LoadLibraryA(LPCSTR name) { return LoadLibraryExA(name, nullptr, 0); }

HMODULE WINAPI LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    if (!name) return LoadLibraryExA(nullptr, file, flags);
    // File names are UTF-8 here.
    const int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string narrow(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, &narrow[0], n, nullptr, nullptr);
    return LoadLibraryExA(narrow.c_str(), file, flags);
}

HMODULE WINAPI LoadLibraryW(LPCWSTR name) { return LoadLibraryExW(name, nullptr, 0); }

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    void* dl = nullptr;
    std::shared_ptr<Builtin> builtin;
    {
        plat::Guard g(plat::GlobalLock());
        Module* m = Modules().GetRaw(module);
        if (!m) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        dl = m->dl;
        builtin = m->builtin;
    }
    if (!name || IS_INTRESOURCE(name) || (!dl && !builtin)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* sym = nullptr;
    if (builtin) {
        for (const BuiltinProc& p : builtin->procs)
            if (strcmp(p.name, name) == 0) sym = reinterpret_cast<void*>(p.proc);
    } else {
        sym = dlsym(dl, name);
    }
    if (!sym) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(sym);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    plat::Guard g(plat::GlobalLock());
    Module* m = Modules().GetRaw(module);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (m->permanent) return TRUE;
    if (--m->refs > 0) return TRUE;
    void* dl = m->dl;
    ModulesByPath().erase(m->path);
    Modules().Remove(module);
    if (dl) dlclose(dl);
    return TRUE;
}

}  // extern "C"
