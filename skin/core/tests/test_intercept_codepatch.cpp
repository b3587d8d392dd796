// Entry patching of hand-written functions: their moved first instructions still compute the
// same results through the stub, the entry routes to the replacement, and removal gives the
// exact original bytes back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CodePatch.h"
#include "InstructionDecoder.h"

extern "C" {
int ipt_short(int);     // 2-byte and 3-byte instruction first: moves exactly 5 bytes
int ipt_rip(int);       // RIP-relative load at the entry
int ipt_jcc(int);       // a short conditional jump within the first 5 bytes
int ipt_jrcxz(int);     // jrcxz within the first 5 bytes
int ipt_call(int);      // a call first
int ipt_tail(int);      // a tail jump
int ipt_ret(int);       // nothing but a return
int ipt_loop_back(int); // a loop back into its first bytes
int ipt_helper(int);
int ipt_endbr(int);     // a branch-target marker first, which must stay in place
int ipt_value = 40;
}

asm(R"(
    .text
    .globl ipt_short, ipt_rip, ipt_jcc, ipt_jrcxz, ipt_call, ipt_tail, ipt_ret, ipt_loop_back, ipt_helper, ipt_endbr
    .p2align 4
ipt_short:
    xor %eax, %eax
    lea 1(%rdi), %eax
    add %eax, %eax
    ret
    .p2align 4
ipt_rip:
    mov ipt_value(%rip), %eax
    add %edi, %eax
    ret
    .p2align 4
ipt_jcc:
    test %edi, %edi
    jne 1f
    mov $100, %eax
    ret
1:  mov $200, %eax
    ret
    .p2align 4
ipt_jrcxz:
    mov %edi, %ecx
    jrcxz 1f
    mov $1, %eax
    ret
1:  mov $7, %eax
    ret
    .p2align 4
ipt_call:
    call ipt_helper
    add %eax, %eax
    ret
    .p2align 4
ipt_tail:
    .byte 0xE9
    .long ipt_short - . - 4
    .p2align 4
ipt_ret:
    ret
    .p2align 4
ipt_loop_back:
1:  dec %edi
    jg 1b
    mov %edi, %eax
    ret
    .p2align 4
ipt_endbr:
    endbr64
    lea 3(%rdi), %eax
    add %eax, %eax
    ret
    .p2align 4
ipt_helper:
    lea 1(%rdi), %eax
    ret
)");

namespace {

using Fn = int (*)(int);

int Replacement(int x) { return -1000 - x; }
int OtherReplacement(int x) { return -2000 - x; }

std::vector<uint8_t> Snapshot(const void* p, size_t n) {
    auto b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

struct Sample {
    const char* name;
    Fn fn;
    std::vector<int> args;
};

}  // namespace

TEST(InterceptCodePatch, MovedEntriesComputeTheSameThroughTheStub) {
    const Sample samples[] = {
        {"short", ipt_short, {0, 5, -3}},
        {"rip", ipt_rip, {0, 2}},
        {"jcc", ipt_jcc, {0, 1}},
        {"jrcxz", ipt_jrcxz, {0, 3}},
        {"call", ipt_call, {0, 9}},
        {"endbr", ipt_endbr, {0, 9}},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        std::vector<int> expected;
        for (int a : s.args) expected.push_back(s.fn(a));
        auto before = Snapshot(reinterpret_cast<void*>(s.fn), 32);

        uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(s.fn));
        ASSERT_NE(stub, nullptr);
        Fn viaStub = reinterpret_cast<Fn>(stub);
        // Before patching the stub already leads to the function.
        for (size_t i = 0; i < s.args.size(); ++i) EXPECT_EQ(viaStub(s.args[i]), expected[i]);

        ASSERT_TRUE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        for (size_t i = 0; i < s.args.size(); ++i) {
            EXPECT_EQ(s.fn(s.args[i]), Replacement(s.args[i]));
            EXPECT_EQ(viaStub(s.args[i]), expected[i]);
        }
        // A patched stub is not patched twice.
        EXPECT_FALSE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&OtherReplacement)));
        EXPECT_EQ(s.fn(1), Replacement(1));

        ASSERT_TRUE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        EXPECT_EQ(Snapshot(reinterpret_cast<void*>(s.fn), 32), before);
        for (size_t i = 0; i < s.args.size(); ++i) {
            EXPECT_EQ(s.fn(s.args[i]), expected[i]);
            EXPECT_EQ(viaStub(s.args[i]), expected[i]);
        }
        skin::FreeCodePatchStub(stub);
    }
    // A jump thunk is followed: its target is patched, the thunk itself stays as it was.
    {
        auto thunk = Snapshot(reinterpret_cast<void*>(&ipt_tail), 5);
        uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(&ipt_tail));
        ASSERT_TRUE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        EXPECT_EQ(Snapshot(reinterpret_cast<void*>(&ipt_tail), 5), thunk);
        EXPECT_EQ(ipt_short(4), Replacement(4));
        EXPECT_EQ(ipt_tail(4), Replacement(4));
        EXPECT_EQ(reinterpret_cast<Fn>(stub)(4), 10);
        EXPECT_TRUE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        EXPECT_EQ(ipt_tail(4), 10);
        skin::FreeCodePatchStub(stub);
    }
    // The marker stays first; the jump goes behind it.
    {
        uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(&ipt_endbr));
        ASSERT_TRUE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        const uint8_t endbr[4] = {0xF3, 0x0F, 0x1E, 0xFA};
        EXPECT_EQ(memcmp(reinterpret_cast<void*>(&ipt_endbr), endbr, 4), 0);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(&ipt_endbr)[4], 0xE9);
        EXPECT_TRUE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        skin::FreeCodePatchStub(stub);
    }
    // The short prologue moves exactly its two instructions.
    uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(&ipt_short));
    ASSERT_TRUE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
    EXPECT_EQ(stub[63], 5);
    EXPECT_TRUE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
    skin::FreeCodePatchStub(stub);
}

namespace {

// Compiled functions without loops, whose prologues are whatever the compiler (and, in sanitizer
// builds, its instrumentation) makes of them: global loads, jump tables, early returns.
int g_table[8] = {3, 1, 4, 1, 5, 9, 2, 6};
volatile int g_bias = 17;

__attribute__((noinline)) int CompiledGlobal(int x) { return g_table[x & 7] * 3 + g_bias; }

__attribute__((noinline)) int CompiledSwitch(int x) {
    switch (x) {
        case 0: return 11;
        case 1: return g_bias * 2;
        case 2: return 37;
        case 3: return x * g_bias;
        case 4: return 5 - g_bias;
        case 5: return 101;
        default: return -x;
    }
}

__attribute__((noinline)) int CompiledEarlyReturn(int x) {
    if (x < 0) return -1;
    if (x > 1000) return g_table[1];
    return x + g_table[x % 8];
}

}  // namespace

TEST(InterceptCodePatch, CompiledProloguesComputeTheSameThroughTheStub) {
    int patched = 0;
    for (Fn fn : {&CompiledGlobal, &CompiledSwitch, &CompiledEarlyReturn}) {
        std::vector<int> args = {-5, 0, 1, 2, 3, 4, 5, 6, 999, 1001};
        std::vector<int> expected;
        for (int a : args) expected.push_back(fn(a));
        auto before = Snapshot(reinterpret_cast<void*>(fn), 32);
        uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(fn));
        ASSERT_NE(stub, nullptr);
        if (!skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement))) {
            // Refusing is allowed; touching anything then is not.
            EXPECT_EQ(Snapshot(reinterpret_cast<void*>(fn), 32), before);
            skin::FreeCodePatchStub(stub);
            continue;
        }
        ++patched;
        for (size_t i = 0; i < args.size(); ++i) {
            EXPECT_EQ(fn(args[i]), Replacement(args[i]));
            EXPECT_EQ(reinterpret_cast<Fn>(stub)(args[i]), expected[i]) << args[i];
        }
        EXPECT_TRUE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        EXPECT_EQ(Snapshot(reinterpret_cast<void*>(fn), 32), before);
        skin::FreeCodePatchStub(stub);
    }
    EXPECT_GE(patched, 2);
}

TEST(InterceptCodePatch, EntriesThatCannotMoveStayUntouched) {
    for (Fn fn : {ipt_ret, ipt_loop_back}) {
        auto before = Snapshot(reinterpret_cast<void*>(fn), 16);
        uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(fn));
        ASSERT_NE(stub, nullptr);
        auto stubBefore = Snapshot(stub, skin::kCodePatchSlotSize);
        EXPECT_FALSE(skin::InstallCodePatch(stub, reinterpret_cast<void*>(&Replacement)));
        EXPECT_EQ(Snapshot(reinterpret_cast<void*>(fn), 16), before);
        EXPECT_EQ(Snapshot(stub, skin::kCodePatchSlotSize), stubBefore);
        skin::FreeCodePatchStub(stub);
    }
    EXPECT_EQ(ipt_loop_back(3), 0);
    EXPECT_EQ(ipt_loop_back(-5), -6);

    // Something that is not a stub is refused.
    uint8_t notStub[skin::kCodePatchSlotSize] = {0x90, 0x90, 0x90};
    EXPECT_FALSE(skin::InstallCodePatch(notStub, reinterpret_cast<void*>(&Replacement)));
}

TEST(InterceptCodePatch, RemovalReportsWhatWentWrong) {
    void* repl = reinterpret_cast<void*>(&Replacement);
    uint8_t* stub = skin::CreateCodePatchStub(reinterpret_cast<void*>(&ipt_short));
    ASSERT_NE(stub, nullptr);

    SetLastError(0);
    EXPECT_FALSE(skin::RemoveCodePatch(stub, repl));  // never patched
    EXPECT_EQ(GetLastError(), 6u);

    ASSERT_TRUE(skin::InstallCodePatch(stub, repl));
    uint8_t* entry = reinterpret_cast<uint8_t*>(&ipt_short);
    auto patched = Snapshot(entry, 5);

    SetLastError(0);
    EXPECT_FALSE(skin::RemoveCodePatch(stub, reinterpret_cast<void*>(&OtherReplacement)));
    EXPECT_EQ(GetLastError(), 12u);

    // Someone else aimed the entry elsewhere.
    const uint8_t foreign[5] = {0xE9, 0, 0, 0, 0};
    ASSERT_TRUE(skin::WriteProtectedMemory(entry, foreign, 5));
    SetLastError(0);
    EXPECT_FALSE(skin::RemoveCodePatch(stub, repl));
    EXPECT_EQ(GetLastError(), 12u);

    // Or wrote something that is not a jump at all.
    const uint8_t noJump[5] = {0x90, 0x90, 0x90, 0x90, 0x90};
    ASSERT_TRUE(skin::WriteProtectedMemory(entry, noJump, 5));
    SetLastError(0);
    EXPECT_FALSE(skin::RemoveCodePatch(stub, repl));
    EXPECT_EQ(GetLastError(), 9u);

    ASSERT_TRUE(skin::WriteProtectedMemory(entry, patched.data(), 5));
    EXPECT_TRUE(skin::RemoveCodePatch(stub, repl));
    EXPECT_EQ(ipt_short(2), 6);
    // The stub is unpatched again: a second removal fails, a new installation works.
    SetLastError(0);
    EXPECT_FALSE(skin::RemoveCodePatch(stub, repl));
    EXPECT_EQ(GetLastError(), 6u);
    ASSERT_TRUE(skin::InstallCodePatch(stub, repl));
    EXPECT_EQ(ipt_short(2), Replacement(2));
    EXPECT_TRUE(skin::RemoveCodePatch(stub, repl));
    EXPECT_EQ(ipt_short(2), 6);
    skin::FreeCodePatchStub(stub);
}

TEST(InterceptCodePatch, RelocationRefusesTargetsOutOfReach) {
    // A RIP-relative load moved 8 GiB away cannot reach its operand any more.
    uint8_t out[64];
    skin::RelocationResult r;
    const uint8_t* src = reinterpret_cast<const uint8_t*>(&ipt_rip);
    EXPECT_FALSE(skin::RelocateInstructions(src, 5, out, sizeof(out),
                                            reinterpret_cast<uintptr_t>(src) + (uintptr_t(1) << 33), &r));
    // Nearby it can, and the jump back lands right behind the moved instructions.
    uintptr_t near = reinterpret_cast<uintptr_t>(src) + 4096;
    ASSERT_TRUE(skin::RelocateInstructions(src, 5, out, sizeof(out), near, &r));
    EXPECT_EQ(r.sourceLength, 6u);
    EXPECT_EQ(r.emittedLength, 11u);
    skin::DecodedInstruction d;
    ASSERT_TRUE(skin::DecodeInstruction(out, 6, &d));
    EXPECT_EQ(d.RipTarget(reinterpret_cast<uintptr_t>(out)) - reinterpret_cast<uintptr_t>(out) + near,
              reinterpret_cast<uintptr_t>(&ipt_value));
    ASSERT_TRUE(skin::DecodeInstruction(out + 6, 5, &d));
    EXPECT_EQ(d.BranchTarget(reinterpret_cast<uintptr_t>(out + 6)) - reinterpret_cast<uintptr_t>(out) + near,
              reinterpret_cast<uintptr_t>(src) + 6);
    // Too little room for the moved code is a refusal, not an overrun.
    EXPECT_FALSE(skin::RelocateInstructions(src, 5, out, 10, near, &r));
}
