#include "InstructionDecoder.h"

#include <cstring>
#include <initializer_list>

namespace skin {
namespace {

// Operand layout of an opcode: ModRM presence, immediate kind, and special handling.
enum : uint8_t {
    kModRM = 0x01,
    kInvalid = 0x02,
    kRel8 = 0x04,
    kRel32 = 0x08,
    kGroup3 = 0x10,  // F6/F7: an immediate only for /0 and /1 (test)
    kRegOnly = 0x20, // 0F 20-23: mov to/from control/debug registers, ModRM always a register form
};
enum ImmKind : uint8_t { kImmNone, kImm8, kImm16, kImmZ, kImmV, kImmMoffs, kImmEnter };

struct OpInfo {
    uint8_t flags;
    uint8_t imm;
};

struct Tables {
    OpInfo one[256];
    OpInfo two[256];  // after 0F
    Tables();
};

Tables::Tables() {
    for (int i = 0; i < 256; ++i) one[i] = {0, kImmNone};
    for (int i = 0; i < 0x40; ++i) {
        int col = i & 7;
        if (col < 4) one[i] = {kModRM, kImmNone};
        else if (col == 4) one[i] = {0, kImm8};
        else if (col == 5) one[i] = {0, kImmZ};
    }
    for (int i : {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37, 0x3F, 0x60, 0x61,
                  0x82, 0x9A, 0xCE, 0xD4, 0xD5, 0xD6, 0xEA})
        one[i] = {kInvalid, kImmNone};
    one[0x63] = {kModRM, kImmNone};
    one[0x68] = {0, kImmZ};
    one[0x69] = {kModRM, kImmZ};
    one[0x6A] = {0, kImm8};
    one[0x6B] = {kModRM, kImm8};
    for (int i = 0x70; i <= 0x7F; ++i) one[i] = {kRel8, kImmNone};
    one[0x80] = {kModRM, kImm8};
    one[0x81] = {kModRM, kImmZ};
    one[0x83] = {kModRM, kImm8};
    for (int i = 0x84; i <= 0x8F; ++i) one[i] = {kModRM, kImmNone};
    for (int i = 0xA0; i <= 0xA3; ++i) one[i] = {0, kImmMoffs};
    one[0xA8] = {0, kImm8};
    one[0xA9] = {0, kImmZ};
    for (int i = 0xB0; i <= 0xB7; ++i) one[i] = {0, kImm8};
    for (int i = 0xB8; i <= 0xBF; ++i) one[i] = {0, kImmV};
    one[0xC0] = one[0xC1] = {kModRM, kImm8};
    one[0xC2] = {0, kImm16};
    one[0xC6] = {kModRM, kImm8};
    one[0xC7] = {kModRM, kImmZ};
    one[0xC8] = {0, kImmEnter};
    one[0xCA] = {0, kImm16};
    one[0xCD] = {0, kImm8};
    for (int i = 0xD0; i <= 0xD3; ++i) one[i] = {kModRM, kImmNone};
    for (int i = 0xD8; i <= 0xDF; ++i) one[i] = {kModRM, kImmNone};
    for (int i = 0xE0; i <= 0xE3; ++i) one[i] = {kRel8, kImmNone};
    for (int i = 0xE4; i <= 0xE7; ++i) one[i] = {0, kImm8};
    one[0xE8] = one[0xE9] = {kRel32, kImmNone};
    one[0xEB] = {kRel8, kImmNone};
    one[0xF6] = {kModRM | kGroup3, kImm8};
    one[0xF7] = {kModRM | kGroup3, kImmZ};
    one[0xFE] = one[0xFF] = {kModRM, kImmNone};

    for (int i = 0; i < 256; ++i) two[i] = {kModRM, kImmNone};
    for (int i : {0x04, 0x0A, 0x0C, 0x24, 0x25, 0x26, 0x27, 0x36, 0x39, 0x3B, 0x3C, 0x3D, 0x3E,
                  0x3F, 0x7A, 0x7B, 0xA6, 0xA7})
        two[i] = {kInvalid, kImmNone};
    for (int i : {0x05, 0x06, 0x07, 0x08, 0x09, 0x0B, 0x0E, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35,
                  0x37, 0x77, 0xA0, 0xA1, 0xA2, 0xA8, 0xA9, 0xAA})
        two[i] = {0, kImmNone};
    two[0x0F] = {kModRM, kImm8};  // 3DNow!: the suffix opcode sits where an imm8 would
    for (int i = 0x20; i <= 0x23; ++i) two[i] = {kModRM | kRegOnly, kImmNone};
    for (int i = 0x70; i <= 0x73; ++i) two[i] = {kModRM, kImm8};
    for (int i = 0x80; i <= 0x8F; ++i) two[i] = {kRel32, kImmNone};
    for (int i : {0xA4, 0xAC, 0xBA, 0xC2, 0xC4, 0xC5, 0xC6}) two[i] = {kModRM, kImm8};
    for (int i = 0xC8; i <= 0xCF; ++i) two[i] = {0, kImmNone};
}

const Tables& T() {
    static const Tables t;
    return t;
}

bool IsLegacyPrefix(uint8_t b) {
    switch (b) {
        case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
        case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
            return true;
        default:
            return false;
    }
}

constexpr size_t kMaxLength = 15;

// Bytes after a ModRM byte at code[pos]: SIB and displacement. Records a RIP-relative disp32.
bool ModRMExtra(const uint8_t* code, size_t avail, size_t pos, bool regOnly, size_t* extra,
                int8_t* ripOffset) {
    if (pos >= avail) return false;
    uint8_t modrm = code[pos];
    uint8_t mod = modrm >> 6, rm = modrm & 7;
    *extra = 0;
    if (mod == 3 || regOnly) return true;
    size_t n = 0;
    if (rm == 4) {
        if (pos + 1 >= avail) return false;
        n = 1;
        uint8_t base = code[pos + 1] & 7;
        if (mod == 0 && base == 5) n += 4;
    } else if (mod == 0 && rm == 5) {
        *ripOffset = int8_t(pos + 1);
        n = 4;
    }
    if (mod == 1) n += 1;
    else if (mod == 2) n += 4;
    *extra = n;
    return true;
}

}  // namespace

uintptr_t DecodedInstruction::BranchTarget(uintptr_t at) const {
    if (relOffset < 0) return 0;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(at) + relOffset;
    int64_t rel;
    if (relSize == 1) {
        rel = int8_t(*p);
    } else {
        int32_t r;
        memcpy(&r, p, 4);
        rel = r;
    }
    return at + length + uintptr_t(rel);
}

uintptr_t DecodedInstruction::RipTarget(uintptr_t at) const {
    if (ripDispOffset < 0) return 0;
    int32_t d;
    memcpy(&d, reinterpret_cast<const uint8_t*>(at) + ripDispOffset, 4);
    return at + length + uintptr_t(int64_t(d));
}

bool DecodeInstruction(const uint8_t* code, size_t avail, DecodedInstruction* out) {
    const Tables& t = T();
    DecodedInstruction d;
    if (avail > kMaxLength) avail = kMaxLength;
    size_t i = 0;
    bool opsize = false, addrsize = false, rexW = false;
    while (i < avail && IsLegacyPrefix(code[i])) {
        if (code[i] == 0x66) opsize = true;
        if (code[i] == 0x67) addrsize = true;
        ++i;
    }
    // REX counts only directly before the opcode; an earlier one is overridden by the later.
    while (i < avail && (code[i] & 0xF0) == 0x40) {
        rexW = (code[i] & 0x08) != 0;
        ++i;
    }
    if (i >= avail) return false;

    uint8_t op = code[i];
    OpInfo info;
    bool hasModRM;
    size_t imm = 0;
    bool vexLike = op == 0xC4 || op == 0xC5 || op == 0x62;
    if (vexLike) {
        int map;
        size_t prefixLen = op == 0xC5 ? 2 : op == 0xC4 ? 3 : 4;
        if (i + prefixLen >= avail) return false;
        if (op == 0xC5) {
            map = 1;
        } else if (op == 0xC4) {
            map = code[i + 1] & 0x1F;
            rexW = (code[i + 2] & 0x80) != 0;
        } else {
            map = code[i + 1] & 0x07;
            if ((code[i + 2] & 0x04) == 0) return false;  // EVEX requires this bit set
        }
        i += prefixLen;
        op = code[i];
        d.prefixBytes = uint8_t(i);
        d.opcode = op;
        ++i;
        hasModRM = true;
        if (map == 1) {
            info = t.two[op];
            if (op == 0x77 && code[i - prefixLen - 1] != 0x62) hasModRM = false;  // vzeroupper/all
            if (info.flags & (kInvalid | kRel32)) return false;
            if (info.imm == kImm8) imm = 1;
        } else if (map == 2 || map == 5 || map == 6) {
            if (map != 2 && code[i - prefixLen - 1] != 0x62) return false;
        } else if (map == 3) {
            imm = 1;
        } else {
            return false;
        }
        size_t pos = i;
        size_t extra = 0;
        if (hasModRM) {
            if (!ModRMExtra(code, avail, pos, false, &extra, &d.ripDispOffset)) return false;
            i = pos + 1 + extra;
        }
        i += imm;
        if (i > avail) return false;
        d.length = uint8_t(i);
        *out = d;
        return true;
    }

    ++i;
    if (op == 0x0F) {
        if (i >= avail) return false;
        uint8_t op2 = code[i++];
        if (op2 == 0x38 || op2 == 0x3A) {
            if (i >= avail) return false;
            d.opcode = code[i++];
            info = {kModRM, op2 == 0x3A ? uint8_t(kImm8) : uint8_t(kImmNone)};
        } else {
            d.opcode = op2;
            info = t.two[op2];
            if (info.flags & kRel32) d.branch = BranchKind::Jcc;
        }
        d.prefixBytes = uint8_t(i - (op2 == 0x38 || op2 == 0x3A ? 3 : 2));
    } else {
        d.opcode = op;
        d.prefixBytes = uint8_t(i - 1);
        info = t.one[op];
        if (op >= 0x70 && op <= 0x7F) d.branch = BranchKind::Jcc;
        else if (op == 0xEB || op == 0xE9) d.branch = BranchKind::Jmp;
        else if (op == 0xE8) d.branch = BranchKind::Call;
        else if (op >= 0xE0 && op <= 0xE3) d.branch = BranchKind::Loop;
    }
    if (info.flags & kInvalid) return false;

    if (info.flags & kModRM) {
        size_t extra = 0;
        if (!ModRMExtra(code, avail, i, info.flags & kRegOnly, &extra, &d.ripDispOffset)) return false;
        uint8_t reg = (code[i] >> 3) & 7;
        if ((info.flags & kGroup3) && reg > 1) info.imm = kImmNone;
        if (op == 0xFF && d.prefixBytes == i - 1 && (reg == 4 || reg == 5)) d.endsFlow = true;
        i += 1 + extra;
    }
    switch (info.imm) {
        case kImm8: imm = 1; break;
        case kImm16: imm = 2; break;
        case kImmZ: imm = (opsize && !rexW) ? 2 : 4; break;
        case kImmV: imm = rexW ? 8 : opsize ? 2 : 4; break;
        case kImmMoffs: imm = addrsize ? 4 : 8; break;
        case kImmEnter: imm = 3; break;
        default: break;
    }
    if (info.flags & kRel8) {
        d.relOffset = int8_t(i);
        d.relSize = 1;
        imm = 1;
    } else if (info.flags & kRel32) {
        d.relOffset = int8_t(i);
        d.relSize = 4;
        imm = 4;
    }
    i += imm;
    if (i > avail) return false;
    d.length = uint8_t(i);
    if (op == 0xE9 || op == 0xEB || op == 0xC2 || op == 0xC3 || op == 0xCA || op == 0xCB ||
        op == 0xCC || op == 0xCF)
        d.endsFlow = true;
    *out = d;
    return true;
}

size_t MeasureInstructions(const uint8_t* code, size_t minBytes) {
    size_t n = 0;
    while (n < minBytes) {
        DecodedInstruction d;
        if (!DecodeInstruction(code + n, kMaxLength, &d)) return 0;
        n += d.length;
        if (d.endsFlow) break;
    }
    return n;
}

namespace {

bool FitsRel32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

void Put32(uint8_t* p, int32_t v) { memcpy(p, &v, 4); }

}  // namespace

bool RelocateInstructions(const uint8_t* src, size_t minBytes, uint8_t* dst, size_t dstCapacity,
                          uintptr_t dstAddr, RelocationResult* result) {
    const uintptr_t srcAddr = reinterpret_cast<uintptr_t>(src);
    size_t len = MeasureInstructions(src, minBytes);
    if (len < minBytes) return false;

    // A branch back into the moved bytes would land on the patch.
    for (size_t n = 0; n < len;) {
        DecodedInstruction d;
        DecodeInstruction(src + n, kMaxLength, &d);
        if (d.relOffset >= 0) {
            uintptr_t target = d.BranchTarget(srcAddr + n);
            if (target >= srcAddr && target < srcAddr + len) return false;
        }
        n += d.length;
    }

    size_t out = 0;
    auto room = [&](size_t need) { return out + need <= dstCapacity; };
    auto relFrom = [&](size_t endOffset, uintptr_t target, int32_t* rel) {
        int64_t v = int64_t(target - (dstAddr + endOffset));
        if (!FitsRel32(v)) return false;
        *rel = int32_t(v);
        return true;
    };

    for (size_t n = 0; n < len;) {
        DecodedInstruction d;
        DecodeInstruction(src + n, kMaxLength, &d);
        const uintptr_t at = srcAddr + n;
        int32_t rel;
        if (d.branch == BranchKind::None) {
            if (!room(d.length)) return false;
            memcpy(dst + out, src + n, d.length);
            if (d.ripDispOffset >= 0) {
                if (!relFrom(out + d.length, d.RipTarget(at), &rel)) return false;
                Put32(dst + out + d.ripDispOffset, rel);
            }
            out += d.length;
        } else if (d.branch == BranchKind::Jmp || d.branch == BranchKind::Call) {
            // Branch hints and the like are dropped; the opcode is rebuilt as rel32.
            if (!room(5)) return false;
            dst[out] = d.opcode == 0xE8 ? 0xE8 : 0xE9;
            if (!relFrom(out + 5, d.BranchTarget(at), &rel)) return false;
            Put32(dst + out + 1, rel);
            out += 5;
        } else if (d.branch == BranchKind::Jcc) {
            if (!room(6)) return false;
            uint8_t cc = d.opcode & 0x0F;
            dst[out] = 0x0F;
            dst[out + 1] = uint8_t(0x80 | cc);
            if (!relFrom(out + 6, d.BranchTarget(at), &rel)) return false;
            Put32(dst + out + 2, rel);
            out += 6;
        } else {
            // loop/jrcxz have only a rel8 form: branch over a short jump to a far jump.
            //   [67] E0-E3 02 ; EB 05 ; E9 rel32
            size_t pre = (d.prefixBytes && src[n] == 0x67) ? 1 : 0;
            if (!room(pre + 9)) return false;
            if (pre) dst[out++] = 0x67;
            dst[out] = d.opcode;
            dst[out + 1] = 0x02;
            dst[out + 2] = 0xEB;
            dst[out + 3] = 0x05;
            dst[out + 4] = 0xE9;
            if (!relFrom(out + 9, d.BranchTarget(at), &rel)) return false;
            Put32(dst + out + 5, rel);
            out += 9;
        }
        n += d.length;
    }
    int32_t back;
    if (!room(5) || !relFrom(out + 5, srcAddr + len, &back)) return false;
    dst[out] = 0xE9;
    Put32(dst + out + 1, back);
    out += 5;
    result->sourceLength = len;
    result->emittedLength = out;
    return true;
}

}  // namespace skin
