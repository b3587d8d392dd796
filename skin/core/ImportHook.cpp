#include "ImportHook.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>
#include <mutex>

#include "CodePatch.h"
#include "windows.h"

namespace skin {
namespace {

// Guards the list and every hook's table of patched slots: the loader hooks patch from any
// thread while the engine's shut-down removes the hooks.
std::mutex g_listLock;
CImportHook* g_first = nullptr;

uintptr_t BaseOf(const void* addr) {
    Dl_info info{};
    if (!dladdr(addr, &info)) return 0;
    return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

}  // namespace

CImportHook* CImportHook::First() {
    std::lock_guard<std::mutex> lock(g_listLock);
    return g_first;
}

CImportHook::CImportHook(const char* moduleName, const char* functionName, void* replacement,
                         bool excludeOwnModule)
    : function_(functionName), replacement_(replacement), excludeOwn_(excludeOwnModule) {
    if (HMODULE m = LoadLibraryA(moduleName))
        system_ = reinterpret_cast<void*>(GetProcAddress(m, functionName));
    if (system_) exporterBase_ = BaseOf(system_);
    if (excludeOwn_) ownBase_ = BaseOf(reinterpret_cast<const void*>(&CImportHook::VisitModule));
    std::lock_guard<std::mutex> lock(g_listLock);
    next_ = g_first;
    g_first = this;
    PatchAllLocked();
}

CImportHook::~CImportHook() {
    std::lock_guard<std::mutex> lock(g_listLock);
    // Module by module while the loader lists it, so a module unloaded meanwhile (its slots
    // unmapped) is passed over and none can go while its slots are written.
    dl_iterate_phdr(&CImportHook::RestoreModule, this);
    for (CImportHook** p = &g_first; *p; p = &(*p)->next_)
        if (*p == this) {
            *p = next_;
            break;
        }
}

int CImportHook::RestoreModule(dl_phdr_info* info, size_t, void* selfArg) {
    auto* self = static_cast<CImportHook*>(selfArg);
    // Only slots that still hold the replacement are given back: anything written over them
    // since belongs to someone else.
    for (auto it = self->slots_.rbegin(); it != self->slots_.rend(); ++it) {
        if (it->module != info->dlpi_addr) continue;
        void* current = __atomic_load_n(it->where, __ATOMIC_SEQ_CST);
        if (current == self->replacement_) WriteProtectedMemory(it->where, &it->original, sizeof(void*));
    }
    return 0;
}

size_t CImportHook::PatchedSlotCount() const {
    std::lock_guard<std::mutex> lock(g_listLock);
    return slots_.size();
}

void CImportHook::PatchAll() {
    std::lock_guard<std::mutex> lock(g_listLock);
    PatchAllLocked();
}

void CImportHook::PatchAllHooks() {
    std::lock_guard<std::mutex> lock(g_listLock);
    for (CImportHook* h = g_first; h; h = h->next_) h->PatchAllLocked();
}

void* CImportHook::ReplacementFor(const void* system) {
    std::lock_guard<std::mutex> lock(g_listLock);
    for (CImportHook* h = g_first; h; h = h->next_)
        if (h->system_ && h->system_ == system) return h->replacement_;
    return nullptr;
}

void CImportHook::PatchAllLocked() {
    if (!system_ || !replacement_) return;
    dl_iterate_phdr(&CImportHook::VisitModule, this);
}

int CImportHook::VisitModule(dl_phdr_info* info, size_t, void* selfArg) {
    auto* self = static_cast<CImportHook*>(selfArg);
    const uintptr_t base = info->dlpi_addr;
    // The module's own identity: the address of its first loaded segment.
    uintptr_t start = UINTPTR_MAX;
    const void* dynamic = nullptr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type == PT_LOAD && base + ph.p_vaddr < start) start = base + (ph.p_vaddr & ~uintptr_t(ph.p_align ? ph.p_align - 1 : 0));
        if (ph.p_type == PT_DYNAMIC) dynamic = reinterpret_cast<const void*>(base + ph.p_vaddr);
    }
    if (!dynamic) return 0;
    if (self->exporterBase_ && start == self->exporterBase_) return 0;
    if (self->excludeOwn_ && self->ownBase_ && start == self->ownBase_) return 0;
    if (info->dlpi_name && strstr(info->dlpi_name, "linux-vdso")) return 0;
    self->PatchModule(base, dynamic);
    return 0;
}

void CImportHook::PatchModule(uintptr_t base, const void* dynamicArg) {
    const ElfW(Dyn)* dyn = static_cast<const ElfW(Dyn)*>(dynamicArg);
    uintptr_t symtab = 0, strtab = 0, jmprel = 0, rela = 0;
    size_t pltrelsz = 0, relasz = 0, strsz = 0;
    long pltrel = DT_RELA;
    for (; dyn->d_tag != DT_NULL; ++dyn) {
        switch (dyn->d_tag) {
            case DT_SYMTAB: symtab = dyn->d_un.d_ptr; break;
            case DT_STRTAB: strtab = dyn->d_un.d_ptr; break;
            case DT_STRSZ: strsz = dyn->d_un.d_val; break;
            case DT_JMPREL: jmprel = dyn->d_un.d_ptr; break;
            case DT_PLTRELSZ: pltrelsz = dyn->d_un.d_val; break;
            case DT_PLTREL: pltrel = long(dyn->d_un.d_val); break;
            case DT_RELA: rela = dyn->d_un.d_ptr; break;
            case DT_RELASZ: relasz = dyn->d_un.d_val; break;
            default: break;
        }
    }
    if (!symtab || !strtab) return;
    // The dynamic linker turns these into absolute addresses for loaded objects, but not for all
    // (the vDSO); a value below the load address is still relative.
    auto fix = [base](uintptr_t p) { return p && p < base ? p + base : p; };
    symtab = fix(symtab);
    strtab = fix(strtab);
    jmprel = fix(jmprel);
    rela = fix(rela);
    const auto* syms = reinterpret_cast<const ElfW(Sym)*>(symtab);
    const char* strs = reinterpret_cast<const char*>(strtab);

    auto scan = [&](uintptr_t table, size_t bytes) {
        if (!table) return;
        const auto* r = reinterpret_cast<const ElfW(Rela)*>(table);
        for (size_t i = 0; i < bytes / sizeof(ElfW(Rela)); ++i) {
            uint32_t type = ELF64_R_TYPE(r[i].r_info);
            if (type != R_X86_64_JUMP_SLOT && type != R_X86_64_GLOB_DAT) continue;
            uint32_t symIndex = ELF64_R_SYM(r[i].r_info);
            if (!symIndex) continue;
            uint32_t nameOff = syms[symIndex].st_name;
            if (strsz && nameOff >= strsz) continue;
            if (strcmp(strs + nameOff, function_) != 0) continue;
            void** slot = reinterpret_cast<void**>(base + r[i].r_offset);
            if (__atomic_load_n(slot, __ATOMIC_SEQ_CST) != system_) continue;
            void* value = replacement_;
            if (WriteProtectedMemory(slot, &value, sizeof(value))) slots_.push_back({slot, system_, base});
        }
    };
    if (pltrel == DT_RELA) scan(jmprel, pltrelsz);
    scan(rela, relasz);
}

}  // namespace skin
