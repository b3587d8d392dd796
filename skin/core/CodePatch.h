// Patching a function's entry code in place: the first whole instructions move into a stub near
// the function, the entry jumps (through a relay beside the stub) to a replacement, and the stub
// calls the original function.
#pragma once

#include <cstddef>
#include <cstdint>

#include "windows.h"

namespace skin {

// Layout of one stub slot, in a page within rel32 reach of its function:
//   0..63    the stub. Unpatched: 90 90 E8 <getter> FF E0 C3, calling the function itself.
//            Patched: the moved instructions, E9 back into the function; byte 62 = bytes
//            emitted (E), byte 63 = source bytes moved (L).
//   64..95   the original L bytes of the entry, restored by removal
//   96..111  the relay: FF 25 00000000 <replacement, 8 bytes>
//   112..119 the getter: mov rax,[rip+1]; ret
//   120..127 the getter's answer: the function's address
constexpr size_t kCodePatchStubSize = 64;
constexpr size_t kCodePatchSlotSize = 160;
constexpr size_t kCodePatchMaxMoved = 26;

// Creates an unpatched stub for `function` in a page within rel32 reach of it; null when no such
// place can be mapped. Calling the stub calls the function.
uint8_t* CreateCodePatchStub(void* function);
// Releases a stub made by CreateCodePatchStub; it must not be patched any more.
void FreeCodePatchStub(uint8_t* stub);

// Moves the first instructions of the stub's function into the stub and makes the function's
// entry jump to `replacement`. False (nothing changed) when the stub is not an unpatched stub or
// the entry cannot be moved.
BOOL InstallCodePatch(void* stub, void* replacement);
// Restores the entry exactly and returns the stub to its unpatched form. On failure the thread's
// last error is 6 (stub not patched), 9 (entry no longer starts with a jump), 12 (the entry's
// jump leads elsewhere) or 13 (the restored bytes do not match). With `keepStub` the stub and
// its relay stay as they are, for threads already on their way through them; such a stub is
// never patched or freed again.
BOOL RemoveCodePatch(void* stub, void* replacement, bool keepStub = false);

// Writes `size` bytes over code or read-only data under a temporary protection change; the
// original protection (from /proc/self/maps) is restored. Execute permission is never dropped
// while writing, other threads may be running code on the same page.
bool WriteProtectedMemory(void* dst, const void* src, size_t size);

}  // namespace skin
