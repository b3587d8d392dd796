// x86-64 instruction-length decoding and relocation of a function's first instructions, used to
// patch entry code in place (CodePatch.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin {

enum class BranchKind : uint8_t {
    None,
    Jmp,    // EB rel8 / E9 rel32
    Jcc,    // 70-7F rel8 / 0F 80-8F rel32
    Call,   // E8 rel32
    Loop,   // E0-E3 rel8: loopne, loope, loop, jrcxz/jecxz
};

struct DecodedInstruction {
    uint8_t length = 0;
    uint8_t opcode = 0;        // last opcode byte (the condition for Jcc is its low nibble)
    uint8_t prefixBytes = 0;   // legacy + REX/VEX/EVEX bytes before the opcode
    int8_t ripDispOffset = -1; // offset of a RIP-relative disp32, or -1
    int8_t relOffset = -1;     // offset of a relative branch field, or -1
    uint8_t relSize = 0;       // 1 or 4
    BranchKind branch = BranchKind::None;
    bool endsFlow = false;     // jmp, ret, int3, jmp through memory: nothing follows in sequence

    // Absolute target of a relative branch, or of a RIP-relative operand, given the address the
    // bytes were decoded at.
    uintptr_t BranchTarget(uintptr_t at) const;
    uintptr_t RipTarget(uintptr_t at) const;
};

// Decodes one instruction from at most `avail` bytes (never reads beyond them, nor beyond 15).
// False for invalid or truncated encodings and opcodes that do not exist in 64-bit mode.
bool DecodeInstruction(const uint8_t* code, size_t avail, DecodedInstruction* out);

// Measures whole instructions from `code` until at least `minBytes` are covered; stops early
// behind an instruction that ends the flow. Returns the length covered, 0 on an undecodable
// instruction.
size_t MeasureInstructions(const uint8_t* code, size_t minBytes);

struct RelocationResult {
    size_t sourceLength = 0;  // bytes of whole instructions moved (L)
    size_t emittedLength = 0; // bytes written to the destination, the jump back included
};

// Copies the whole instructions covering at least `minBytes` from `src` to `dst` (which will run
// at address `dstAddr`), re-aiming RIP-relative operands and relative branches at the same
// absolute targets, widening short branches to rel32 ones, and appends a rel32 jump back to
// src + L. Fails (returns false) on undecodable code, too little room, targets out of rel32
// reach, a branch back into the moved bytes, or code that ends before minBytes are covered.
bool RelocateInstructions(const uint8_t* src, size_t minBytes, uint8_t* dst, size_t dstCapacity,
                          uintptr_t dstAddr, RelocationResult* result);

}  // namespace skin
