// Instruction lengths: hand-made encodings of every form the patcher must understand, and a
// cross-check of instruction boundaries against the system disassembler over real compiled code.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "InstructionDecoder.h"
#include "windows.h"

using skin::BranchKind;
using skin::DecodedInstruction;
using skin::DecodeInstruction;

namespace {

struct Case {
    std::vector<uint8_t> bytes;
    int length;             // 0: must be refused
    int rip = -1;           // offset of a RIP-relative disp32
    BranchKind branch = BranchKind::None;
    bool ends = false;
};

void Check(const Case& c) {
    std::vector<uint8_t> buf = c.bytes;
    DecodedInstruction d;
    bool ok = DecodeInstruction(buf.data(), buf.size(), &d);
    std::string hex;
    for (uint8_t b : c.bytes) {
        char t[4];
        snprintf(t, sizeof(t), "%02X ", b);
        hex += t;
    }
    SCOPED_TRACE(hex);
    if (c.length == 0) {
        EXPECT_FALSE(ok);
        return;
    }
    ASSERT_TRUE(ok);
    EXPECT_EQ(int(d.length), c.length);
    EXPECT_EQ(int(d.ripDispOffset), c.rip);
    EXPECT_EQ(d.branch, c.branch);
    EXPECT_EQ(d.endsFlow, c.ends);
}

std::vector<uint8_t> Cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(InterceptDecoder, HandMadeEncodings) {
    const Case cases[] = {
        {{0x90}, 1},
        {{0x55}, 1},
        {{0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0}, 8},                      // lea rsp,[rsp+0]
        {{0xF3, 0x0F, 0x1E, 0xFA}, 4},                                  // endbr64
        {{0x66, 0x2E, 0x0F, 0x1F, 0x84, 0, 0, 0, 0, 0}, 10},            // cs nopw
        {{0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10},                     // mov rax, imm64
        {{0xB8, 1, 2, 3, 4}, 5},
        {{0x66, 0xB8, 1, 2}, 4},
        {{0x41, 0xBA, 1, 2, 3, 4}, 6},                                  // REX.B keeps imm32
        {{0x48, 0x8B, 0x05, 1, 2, 3, 4}, 7, 3},                         // mov rax,[rip+d]
        {{0x8B, 0x05, 1, 2, 3, 4}, 6, 2},
        {{0x48, 0x83, 0xEC, 0x08}, 4},
        {{0x48, 0x81, 0xEC, 0, 1, 0, 0}, 7},
        {{0x66, 0x81, 0xC1, 0x34, 0x12}, 5},                            // add cx, imm16
        {{0x66, 0x48, 0x81, 0xC1, 1, 2, 3, 4}, 8},                      // REX.W beats 66
        {{0x81, 0x3D, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 2},                  // cmp [rip+d], imm32
        {{0x80, 0x3D, 1, 2, 3, 4, 5}, 7, 2},
        {{0xF6, 0xC1, 0x01}, 3},                                        // test cl,1
        {{0xF6, 0xD1}, 2},                                              // not cl
        {{0xF7, 0xC1, 1, 2, 3, 4}, 6},                                  // test ecx, imm32
        {{0xF7, 0xD9}, 2},                                              // neg ecx
        {{0x66, 0xF7, 0xC1, 1, 2}, 5},
        {{0xF7, 0x05, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 2},                  // test [rip+d], imm32
        {{0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9},                            // moffs64
        {{0x67, 0xA1, 1, 2, 3, 4}, 6},                                  // moffs32
        {{0x64, 0x48, 0x8B, 0x04, 0x25, 0x28, 0, 0, 0}, 9},             // SIB, no base: disp32
        {{0x8B, 0x44, 0x24, 0x08}, 4},                                  // SIB + disp8
        {{0x8B, 0x84, 0x24, 1, 2, 3, 4}, 7},                            // SIB + disp32
        {{0x8B, 0x45, 0x08}, 3},                                        // [rbp+8]
        {{0x41, 0x8B, 0x45, 0x08}, 4},                                  // [r13+8]
        {{0xF0, 0x48, 0x0F, 0xB1, 0x0E}, 5},                            // lock cmpxchg
        {{0x0F, 0x20, 0xC0}, 3},                                        // mov rax, cr0
        {{0x0F, 0x20, 0x05}, 3},                                        // register form always
        {{0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6},                      // palignr
        {{0x66, 0x0F, 0x38, 0x00, 0xC1}, 5},                            // pshufb
        {{0x66, 0x0F, 0x70, 0xC1, 0x1B}, 5},                            // pshufd
        {{0x0F, 0xBA, 0xE0, 0x03}, 4},                                  // bt eax, 3
        {{0x0F, 0xA2}, 2},                                              // cpuid
        {{0xC8, 0x10, 0x00, 0x00}, 4},                                  // enter
        {{0xC5, 0xF8, 0x77}, 3},                                        // vzeroupper
        {{0xC5, 0xF9, 0x6F, 0x05, 1, 2, 3, 4}, 8, 4},                   // vmovdqa xmm0,[rip+d]
        {{0xC4, 0xE3, 0x79, 0x0F, 0xC1, 0x08}, 6},                      // vpalignr (map 0F3A)
        {{0xC4, 0xE2, 0x79, 0x00, 0xC1}, 5},                            // vpshufb (map 0F38)
        {{0xC5, 0xF9, 0x70, 0xC1, 0x1B}, 5},                            // vpshufd imm8
        {{0x62, 0xF1, 0x7C, 0x48, 0x10, 0x05, 1, 2, 3, 4}, 10, 6},      // vmovups zmm0,[rip+d]
        {{0x62, 0xF1, 0x7C, 0x48, 0x10, 0x40, 0x01}, 7},                // disp8*N still one byte
        {{0x74, 0x05}, 2, -1, BranchKind::Jcc},
        {{0x0F, 0x84, 1, 2, 3, 4}, 6, -1, BranchKind::Jcc},
        {{0xE8, 1, 2, 3, 4}, 5, -1, BranchKind::Call},
        {{0xE9, 1, 2, 3, 4}, 5, -1, BranchKind::Jmp, true},
        {{0xEB, 0xFE}, 2, -1, BranchKind::Jmp, true},
        {{0xE3, 0x10}, 2, -1, BranchKind::Loop},
        {{0x67, 0xE3, 0x10}, 3, -1, BranchKind::Loop},                  // jecxz
        {{0xE2, 0x10}, 2, -1, BranchKind::Loop},
        {{0xC3}, 1, -1, BranchKind::None, true},
        {{0xC2, 0x08, 0x00}, 3, -1, BranchKind::None, true},
        {{0xCC}, 1, -1, BranchKind::None, true},
        {{0xFF, 0x25, 1, 2, 3, 4}, 6, 2, BranchKind::None, true},       // jmp [rip+d]
        {{0xFF, 0x15, 1, 2, 3, 4}, 6, 2},                               // call [rip+d]
        {{0xFF, 0xE0}, 2, -1, BranchKind::None, true},                  // jmp rax
        {{0x3E, 0xFF, 0xE0}, 3, -1, BranchKind::None, true},            // notrack jmp rax
        {{0xFF, 0xD0}, 2},                                              // call rax
        // Opcodes that do not exist in 64-bit mode, and truncated encodings.
        {{0x06}, 0},
        {{0x60}, 0},
        {{0xD6}, 0},
        {{0xEA, 1, 2, 3, 4, 5, 6}, 0},
        {{0xE8, 1, 2}, 0},
        {{0x48, 0x8B}, 0},
        {{0x8B, 0x84, 0x24, 1, 2}, 0},
        {{0x66}, 0},
    };
    for (const Case& c : cases) Check(c);

    // Sixteen bytes are never one instruction.
    std::vector<uint8_t> tooLong(15, 0x66);
    tooLong.push_back(0x90);
    Check({tooLong, 0});
    std::vector<uint8_t> longest(14, 0x66);
    longest.push_back(0x90);
    Check({longest, 15});
}

TEST(InterceptDecoder, PrefixCombinationsShiftOperands) {
    const std::vector<std::vector<uint8_t>> groups[] = {
        {{}, {0x2E}, {0x64}, {0x65}},
        {{}, {0x66}},
        {{}, {0x67}},
        {{}, {0xF0}, {0xF2}, {0xF3}},
    };
    const std::vector<uint8_t> rexes[] = {{}, {0x48}, {0x41}, {0x40}};
    int combos = 0;
    for (auto& g0 : groups[0])
        for (auto& g1 : groups[1])
            for (auto& g2 : groups[2])
                for (auto& g3 : groups[3])
                    for (auto& rex : rexes) {
                        std::vector<uint8_t> pre = Cat(Cat(Cat(g0, g1), g2), g3);
                        // Both prefix orders are legal; REX always comes last.
                        for (int reversed = 0; reversed < 2; ++reversed) {
                            std::vector<uint8_t> p = pre;
                            if (reversed) std::reverse(p.begin(), p.end());
                            p = Cat(p, rex);
                            int n = int(p.size());
                            Check({Cat(p, {0x8B, 0x05, 1, 2, 3, 4}), n + 6, n + 2});
                            bool w = !rex.empty() && (rex[0] & 8);
                            int imm = (!g1.empty() && !w) ? 2 : 4;
                            Check({Cat(p, {0x81, 0x05, 1, 2, 3, 4, 9, 9, 9, 9}), n + 6 + imm, n + 2});
                            int immv = w ? 8 : !g1.empty() ? 2 : 4;
                            Check({Cat(p, {0xB9, 1, 2, 3, 4, 5, 6, 7, 8}), n + 1 + immv});
                            ++combos;
                        }
                    }
    EXPECT_EQ(combos, 4 * 2 * 2 * 4 * 4 * 2);
}

namespace {

struct Disassembly {
    std::vector<uint64_t> starts;  // instruction addresses, in order
    std::vector<bool> valid;       // false where the next boundary must not be trusted
};

bool Disassemble(const std::string& file, Disassembly* out) {
    std::string cmd = "objdump -d --no-show-raw-insn -j .text '" + file + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    char line[4096];
    while (fgets(line, sizeof(line), p)) {
        if (line[0] != ' ') {
            // A function header or blank line: the listing stays contiguous.
            continue;
        }
        unsigned long addr;
        int used = 0;
        if (sscanf(line, " %lx:%n", &addr, &used) != 1 || used == 0) continue;
        const char* rest = line + used;
        bool bad = strstr(rest, "(bad)") != nullptr || strstr(rest, "...") != nullptr;
        out->starts.push_back(addr);
        out->valid.push_back(!bad);
    }
    return pclose(p) == 0 && !out->starts.empty();
}

bool HaveObjdump() { return system("objdump --version >/dev/null 2>&1") == 0; }

// Compares our lengths with the disassembler's boundaries over a loaded object's .text.
void CrossCheck(const std::string& file, uintptr_t loadBias, size_t* compared) {
    Disassembly dis;
    ASSERT_TRUE(Disassemble(file, &dis)) << file;
    size_t mismatches = 0;
    for (size_t i = 0; i + 1 < dis.starts.size(); ++i) {
        if (!dis.valid[i] || !dis.valid[i + 1]) continue;
        uint64_t len = dis.starts[i + 1] - dis.starts[i];
        if (len == 0 || len > 15) continue;
        const uint8_t* code = reinterpret_cast<const uint8_t*>(loadBias + dis.starts[i]);
        DecodedInstruction d;
        bool ok = DecodeInstruction(code, 15, &d);
        if (!ok || d.length != len) {
            if (++mismatches <= 10) {
                std::string hex;
                for (uint64_t k = 0; k < len; ++k) {
                    char t[4];
                    snprintf(t, sizeof(t), "%02X ", code[k]);
                    hex += t;
                }
                ADD_FAILURE() << file << " +" << std::hex << dis.starts[i] << ": " << hex << " ours "
                              << std::dec << (ok ? int(d.length) : -1) << " theirs " << len;
            }
        }
        ++*compared;
    }
    EXPECT_EQ(mismatches, 0u) << file;
}

int FirstObject(dl_phdr_info* info, size_t, void* out) {
    *static_cast<uintptr_t*>(out) = info->dlpi_addr;
    return 1;
}

}  // namespace

TEST(InterceptDecoder, AgreesWithDisassemblerOnCompiledCode) {
    if (!HaveObjdump()) GTEST_SKIP() << "objdump is not installed";
    size_t compared = 0;

    // The platform library, whose exported functions are what gets patched.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&GetSysColor), &info), 0);
    ASSERT_NE(info.dli_fname, nullptr);
    CrossCheck(info.dli_fname, reinterpret_cast<uintptr_t>(info.dli_fbase), &compared);

    // This program itself: under the sanitizers its code carries the instrumentation.
    uintptr_t exeBias = 0;
    dl_iterate_phdr(&FirstObject, &exeBias);
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    ASSERT_GT(n, 0);
    exe[n] = 0;
    CrossCheck(exe, exeBias, &compared);

    EXPECT_GT(compared, 5000u);
}
