// Entry points that the skin engine patches in place start with a prologue long enough to be
// overwritten by a jump, and are never inlined into the layer's own callers.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__CET__)
#define PLAT_HOTPATCH __attribute__((noinline, ms_hook_prologue))
#else
#define PLAT_HOTPATCH __attribute__((noinline, patchable_function_entry(8)))
#endif
