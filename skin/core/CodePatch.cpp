#include "CodePatch.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "InstructionDecoder.h"

namespace skin {
namespace {

constexpr size_t kSavedOffset = 64;
constexpr size_t kRelayOffset = 96;
constexpr size_t kGetterOffset = 112;
constexpr size_t kAnswerOffset = 120;
constexpr size_t kEmittedIndex = 62;
constexpr size_t kMovedIndex = 63;
constexpr size_t kJumpSize = 5;

// The system error codes removal reports.
constexpr DWORD kErrNotPatched = 6;     // ERROR_INVALID_HANDLE
constexpr DWORD kErrNoJump = 9;         // ERROR_INVALID_BLOCK
constexpr DWORD kErrJumpElsewhere = 12; // ERROR_INVALID_ACCESS
constexpr DWORD kErrCopyMismatch = 13;  // ERROR_INVALID_DATA

size_t PageSize() {
    static const size_t s = size_t(sysconf(_SC_PAGESIZE));
    return s;
}

// Protection of the mapping that holds `addr`, from /proc/self/maps; -1 when unmapped.
int ProtectionOf(uintptr_t addr) {
    FILE* f = fopen("/proc/self/maps", "r");
    if (!f) return -1;
    char line[512];
    int prot = -1;
    while (fgets(line, sizeof(line), f)) {
        unsigned long lo, hi;
        char perms[8] = {};
        if (sscanf(line, "%lx-%lx %7s", &lo, &hi, perms) != 3) continue;
        if (addr >= lo && addr < hi) {
            prot = 0;
            if (perms[0] == 'r') prot |= PROT_READ;
            if (perms[1] == 'w') prot |= PROT_WRITE;
            if (perms[2] == 'x') prot |= PROT_EXEC;
            break;
        }
    }
    fclose(f);
    return prot;
}

// Pages of the stub slots, each within reach of the functions whose stubs it holds.
struct StubPage {
    uint8_t* base;
    std::vector<bool> used;
};
std::mutex g_pagesLock;
std::vector<StubPage>& Pages() {
    static auto* p = new std::vector<StubPage>;
    return *p;
}

bool Near(uintptr_t a, uintptr_t b) {
    // Keep a margin below 2 GiB so that anything within a function's first bytes and the whole
    // page stay in reach.
    const uintptr_t reach = (uintptr_t(1) << 31) - (uintptr_t(1) << 24);
    return (a > b ? a - b : b - a) < reach;
}

uint8_t* MapNear(uintptr_t target) {
    const size_t page = PageSize();
    const uintptr_t step = 1 << 16;
    const uintptr_t start = target & ~(step - 1);
    for (uintptr_t k = 1; k < (uintptr_t(1) << 15); ++k) {
        for (int dir = 0; dir < 2; ++dir) {
            uintptr_t off = k * step;
            if (dir == 0 && off > start) continue;
            uintptr_t want = dir == 0 ? start - off : start + off;
            if (!Near(want, target) || !Near(want + page, target)) continue;
            void* p = mmap(reinterpret_cast<void*>(want), page, PROT_READ | PROT_EXEC,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
            if (p == MAP_FAILED) continue;
            // Kernels without MAP_FIXED_NOREPLACE take the address as a hint only.
            if (reinterpret_cast<uintptr_t>(p) != want) {
                munmap(p, page);
                continue;
            }
            return static_cast<uint8_t*>(p);
        }
    }
    return nullptr;
}

void WriteUnpatchedStub(uint8_t* slot, uint8_t out[kCodePatchStubSize]) {
    memset(out, 0x90, kCodePatchStubSize);
    out[kEmittedIndex] = 0;
    out[kMovedIndex] = 0;
    out[2] = 0xE8;
    int32_t rel = int32_t(int64_t(kGetterOffset) - 7);
    memcpy(out + 3, &rel, 4);
    out[7] = 0xFF;
    out[8] = 0xE0;
    out[9] = 0xC3;
    (void)slot;
}

bool IsUnpatchedStub(const uint8_t* s) {
    return s[0] == 0x90 && s[1] == 0x90 && s[2] == 0xE8 && s[7] == 0xFF && s[8] == 0xE0;
}

// Follows a jump thunk: E9 rel32, or FF 25 with a RIP-relative pointer.
uint8_t* FollowThunk(uint8_t* p) {
    for (int hops = 0; hops < 4; ++hops) {
        if (p[0] == 0xE9) {
            int32_t rel;
            memcpy(&rel, p + 1, 4);
            p = p + 5 + rel;
        } else if (p[0] == 0xFF && p[1] == 0x25) {
            int32_t rel;
            memcpy(&rel, p + 2, 4);
            uint8_t* slot = p + 6 + rel;
            memcpy(&p, slot, sizeof(p));
        } else {
            break;
        }
    }
    return p;
}

bool IsEndbr64(const uint8_t* p) { return p[0] == 0xF3 && p[1] == 0x0F && p[2] == 0x1E && p[3] == 0xFA; }

// Code pages have no shadow memory under a thread sanitizer, so the quadword that holds an entry
// is read and written by plain instructions the compiler cannot instrument. An aligned 8-byte
// move is atomic on x86-64; the store is followed by a full fence as a sequentially consistent
// store would be.
uint64_t LoadCodeWord(uintptr_t at) {
    uint64_t word;
    asm volatile("movq (%1), %0" : "=r"(word) : "r"(at) : "memory");
    return word;
}

void StoreCodeWord(uintptr_t at, uint64_t word) {
    asm volatile("movq %1, (%0)\n\tmfence" : : "r"(at), "r"(word) : "memory");
}

// Writes a 5-byte jump over a live entry; within one aligned quadword it is a single store, so a
// thread running into the entry sees either the old or the new bytes.
bool WriteEntryJump(uint8_t* at, const uint8_t jump[kJumpSize]) {
    uintptr_t a = reinterpret_cast<uintptr_t>(at);
    uintptr_t aligned = a & ~uintptr_t(7);
    if (a + kJumpSize <= aligned + 8) {
        uint64_t word = LoadCodeWord(aligned);
        memcpy(reinterpret_cast<uint8_t*>(&word) + (a - aligned), jump, kJumpSize);
        int prot = ProtectionOf(aligned);
        if (prot < 0) return false;
        uintptr_t pageStart = aligned & ~(PageSize() - 1);
        if (mprotect(reinterpret_cast<void*>(pageStart), PageSize(), prot | PROT_WRITE | PROT_EXEC) != 0)
            return false;
        StoreCodeWord(aligned, word);
        mprotect(reinterpret_cast<void*>(pageStart), PageSize(), prot);
        __builtin___clear_cache(reinterpret_cast<char*>(at), reinterpret_cast<char*>(at + kJumpSize));
        return true;
    }
    return WriteProtectedMemory(at, jump, kJumpSize);
}

}  // namespace

bool WriteProtectedMemory(void* dst, const void* src, size_t size) {
    if (size == 0) return true;
    const size_t page = PageSize();
    uintptr_t first = reinterpret_cast<uintptr_t>(dst) & ~(page - 1);
    uintptr_t last = (reinterpret_cast<uintptr_t>(dst) + size - 1) & ~(page - 1);
    // Each page keeps its own protection (a write may straddle two mappings).
    std::vector<int> prots;
    for (uintptr_t p = first; p <= last; p += page) {
        int prot = ProtectionOf(p);
        if (prot < 0) return false;
        prots.push_back(prot);
    }
    size_t i = 0;
    for (uintptr_t p = first; p <= last; p += page, ++i) {
        if (mprotect(reinterpret_cast<void*>(p), page, prots[i] | PROT_READ | PROT_WRITE | (prots[i] & PROT_EXEC)) != 0) {
            for (size_t j = 0; j < i; ++j) mprotect(reinterpret_cast<void*>(first + j * page), page, prots[j]);
            return false;
        }
    }
    memcpy(dst, src, size);
    i = 0;
    for (uintptr_t p = first; p <= last; p += page, ++i) mprotect(reinterpret_cast<void*>(p), page, prots[i]);
    // Coherent on x86; kept so the intent is explicit.
    __builtin___clear_cache(static_cast<char*>(dst), static_cast<char*>(dst) + size);
    return true;
}

uint8_t* CreateCodePatchStub(void* function) {
    if (!function) return nullptr;
    uintptr_t target = reinterpret_cast<uintptr_t>(FollowThunk(static_cast<uint8_t*>(function)));
    const size_t page = PageSize();
    const size_t perPage = page / kCodePatchSlotSize;
    std::lock_guard<std::mutex> lock(g_pagesLock);
    uint8_t* slot = nullptr;
    for (auto& pg : Pages()) {
        uintptr_t b = reinterpret_cast<uintptr_t>(pg.base);
        if (!Near(b, target) || !Near(b + page, target)) continue;
        for (size_t i = 0; i < perPage; ++i)
            if (!pg.used[i]) {
                pg.used[i] = true;
                slot = pg.base + i * kCodePatchSlotSize;
                break;
            }
        if (slot) break;
    }
    if (!slot) {
        uint8_t* base = MapNear(target);
        if (!base) return nullptr;
        Pages().push_back({base, std::vector<bool>(perPage, false)});
        Pages().back().used[0] = true;
        slot = base;
    }
    uint8_t image[kCodePatchSlotSize];
    memset(image, 0, sizeof(image));
    WriteUnpatchedStub(slot, image);
    static const uint8_t getter[8] = {0x48, 0x8B, 0x05, 0x01, 0x00, 0x00, 0x00, 0xC3};
    memcpy(image + kGetterOffset, getter, sizeof(getter));
    memcpy(image + kAnswerOffset, &target, 8);
    if (!WriteProtectedMemory(slot, image, sizeof(image))) {
        for (auto& pg : Pages())
            if (slot >= pg.base && slot < pg.base + page) pg.used[size_t(slot - pg.base) / kCodePatchSlotSize] = false;
        return nullptr;
    }
    return slot;
}

void FreeCodePatchStub(uint8_t* stub) {
    if (!stub) return;
    const size_t page = PageSize();
    std::lock_guard<std::mutex> lock(g_pagesLock);
    auto& pages = Pages();
    for (size_t k = 0; k < pages.size(); ++k) {
        auto& pg = pages[k];
        if (stub < pg.base || stub >= pg.base + page) continue;
        pg.used[size_t(stub - pg.base) / kCodePatchSlotSize] = false;
        // A stub that is executed later is a caller's fault; poison it with int3 meanwhile.
        uint8_t fill[kCodePatchSlotSize];
        memset(fill, 0xCC, sizeof(fill));
        WriteProtectedMemory(stub, fill, sizeof(fill));
        bool any = false;
        for (bool u : pg.used) any = any || u;
        if (!any) {
            munmap(pg.base, page);
            pages.erase(pages.begin() + long(k));
        }
        return;
    }
}

BOOL InstallCodePatch(void* stubArg, void* replacement) {
    if (!stubArg || !replacement) return FALSE;
    uint8_t* stub = FollowThunk(static_cast<uint8_t*>(stubArg));
    if (!IsUnpatchedStub(stub)) return FALSE;
    int32_t rel;
    memcpy(&rel, stub + 3, 4);
    const uint8_t* getter = stub + 7 + rel;
    if (getter != stub + kGetterOffset) return FALSE;  // not one of ours: no room for relay/saved bytes
    uint8_t* target;
    memcpy(&target, stub + kAnswerOffset, 8);
    target = FollowThunk(target);
    uint8_t* patchAt = IsEndbr64(target) ? target + 4 : target;

    uint8_t image[kCodePatchSlotSize];
    memcpy(image, stub, sizeof(image));
    RelocationResult r;
    memset(image, 0x90, kCodePatchStubSize);
    if (!RelocateInstructions(patchAt, kJumpSize, image, kEmittedIndex, reinterpret_cast<uintptr_t>(stub), &r))
        return FALSE;
    if (r.sourceLength < kJumpSize || r.sourceLength > kCodePatchMaxMoved) return FALSE;
    image[kEmittedIndex] = uint8_t(r.emittedLength - kJumpSize);
    image[kMovedIndex] = uint8_t(r.sourceLength);
    memcpy(image + kSavedOffset, patchAt, r.sourceLength);
    static const uint8_t relayHead[6] = {0xFF, 0x25, 0, 0, 0, 0};
    memcpy(image + kRelayOffset, relayHead, 6);
    memcpy(image + kRelayOffset + 6, &replacement, 8);

    int64_t toRelay = int64_t(reinterpret_cast<uintptr_t>(stub + kRelayOffset) -
                              reinterpret_cast<uintptr_t>(patchAt + kJumpSize));
    if (toRelay < INT32_MIN || toRelay > INT32_MAX) return FALSE;
    uint8_t jump[kJumpSize] = {0xE9};
    int32_t rel32 = int32_t(toRelay);
    memcpy(jump + 1, &rel32, 4);

    uint8_t original[kCodePatchSlotSize];
    memcpy(original, stub, sizeof(original));
    if (!WriteProtectedMemory(stub, image, sizeof(image))) return FALSE;
    if (!WriteEntryJump(patchAt, jump)) {
        WriteProtectedMemory(stub, original, sizeof(original));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveCodePatch(void* stubArg, void* replacement, bool keepStub) {
    uint8_t* stub = stubArg ? FollowThunk(static_cast<uint8_t*>(stubArg)) : nullptr;
    if (!stub) {
        SetLastError(kErrNotPatched);
        return FALSE;
    }
    size_t moved = stub[kMovedIndex], emitted = stub[kEmittedIndex];
    if (moved < 1 || moved > 30 || emitted + kJumpSize > kEmittedIndex || stub[emitted] != 0xE9) {
        SetLastError(kErrNotPatched);
        return FALSE;
    }
    int32_t rel;
    memcpy(&rel, stub + emitted + 1, 4);
    uint8_t* patchAt = stub + emitted + kJumpSize + rel - moved;
    if (patchAt[0] != 0xE9) {
        SetLastError(kErrNoJump);
        return FALSE;
    }
    memcpy(&rel, patchAt + 1, 4);
    uint8_t* relay = patchAt + kJumpSize + rel;
    void* answer = nullptr;
    if (relay == stub + kRelayOffset && relay[0] == 0xFF && relay[1] == 0x25) memcpy(&answer, relay + 6, 8);
    if (relay != stub + kRelayOffset || answer != replacement) {
        SetLastError(kErrJumpElsewhere);
        return FALSE;
    }
    if (!WriteProtectedMemory(patchAt, stub + kSavedOffset, moved) ||
        memcmp(patchAt, stub + kSavedOffset, moved) != 0) {
        SetLastError(kErrCopyMismatch);
        return FALSE;
    }
    if (keepStub) return TRUE;
    uint8_t image[kCodePatchStubSize];
    WriteUnpatchedStub(stub, image);
    uint8_t relayClear[16] = {};
    WriteProtectedMemory(stub + kRelayOffset, relayClear, sizeof(relayClear));
    WriteProtectedMemory(stub, image, sizeof(image));
    return TRUE;
}

}  // namespace skin
