// Interception through the import slots of every loaded module: each module's GOT slots that the
// dynamic linker bound to a function (PLT slots and address slots) are pointed at a replacement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct dl_phdr_info;

namespace skin {

class CImportHook {
public:
    // Resolves `functionName` in `moduleName` (through LoadLibraryA/GetProcAddress), links itself
    // first in the list of hooks and patches every loaded module except the one that exports the
    // function (and, with `excludeOwnModule`, the module that holds this code).
    CImportHook(const char* moduleName, const char* functionName, void* replacement,
                bool excludeOwnModule);
    // Writes the remembered original values back into exactly the slots it changed and unlinks.
    ~CImportHook();
    CImportHook(const CImportHook&) = delete;
    CImportHook& operator=(const CImportHook&) = delete;

    // Patches the modules loaded since (slots already patched are not touched again).
    void PatchAll();
    // Every hook's PatchAll, for a module just loaded; safe from any thread while hooks come and go.
    static void PatchAllHooks();
    // The replacement of the hook whose system function is at `system`, or null.
    static void* ReplacementFor(const void* system);

    void* SystemAddress() const { return system_; }
    void* Replacement() const { return replacement_; }
    const char* FunctionName() const { return function_; }
    size_t PatchedSlotCount() const;
    CImportHook* Next() const { return next_; }
    static CImportHook* First();

private:
    struct Slot {
        void** where;
        void* original;
        uintptr_t module;  // load address of the module the slot lies in
    };
    static int VisitModule(struct dl_phdr_info* info, size_t size, void* self);
    static int RestoreModule(struct dl_phdr_info* info, size_t size, void* self);
    void PatchAllLocked();
    void PatchModule(uintptr_t base, const void* dynamic);

    CImportHook* next_ = nullptr;
    const char* function_;
    void* system_ = nullptr;
    void* replacement_;
    bool excludeOwn_;
    uintptr_t exporterBase_ = 0;
    uintptr_t ownBase_ = 0;
    std::vector<Slot> slots_;
};

}  // namespace skin
