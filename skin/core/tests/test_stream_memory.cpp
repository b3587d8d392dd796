// The memory stream: growth, reads and seeks at the edges, whole files, and LZO packing with
// lying or broken input.
#include <gtest/gtest.h>
#include <lzo/lzo1x.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "MemoryStream.h"

namespace {

std::vector<BYTE> Contents(const CMemoryStream& s) { return {s.GetBuffer(), s.GetBuffer() + s.GetSize()}; }

std::vector<BYTE> Compressible(size_t n)
{
    std::vector<BYTE> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = BYTE("skin skin skin body "[i % 20]);
    return v;
}

// A file image of `raw`, its length word replaced by `claimed`.
std::vector<BYTE> PackClaiming(const std::vector<BYTE>& raw, DWORD claimed)
{
    CMemoryStream in(raw.data(), DWORD(raw.size()), 10240);
    CMemoryStream out;
    EXPECT_TRUE(in.CompressTo(out));
    std::vector<BYTE> file = Contents(out);
    for (int i = 0; i < 4; ++i)
        file[i] = BYTE(claimed >> (8 * i));
    return file;
}

std::string TempPath(const char* name) { return std::string(testing::TempDir()) + name + std::to_string(getpid()); }

}  // namespace

TEST(MemoryStream, GrowsInWholeStepsAndKeepsItsInvariant)
{
    CMemoryStream s(10240);
    EXPECT_EQ(s.Write("a", 1), 1u);
    EXPECT_EQ(s.GetCapacity(), 1u);  // the first write reserves exactly what it needs
    EXPECT_EQ(s.GetSize(), 1u);
    EXPECT_EQ(s.Write("0123456789", 10), 10u);
    EXPECT_EQ(s.GetCapacity(), 10241u);
    EXPECT_EQ(s.GetSize(), 11u);

    // Overwriting in the middle keeps the size; writing past the end extends it.
    s.Seek(5, 0);
    s.Write("XY", 2);
    EXPECT_EQ(s.GetSize(), 11u);
    EXPECT_EQ(s.GetPosition(), 7u);
    s.SeekToEnd();
    std::vector<BYTE> big(30000, 7);
    EXPECT_EQ(s.Write(big.data(), DWORD(big.size())), 30000u);
    EXPECT_EQ(s.GetCapacity() % 10240, 1u);
    EXPECT_GE(s.GetCapacity(), s.GetSize());
    EXPECT_EQ(s.GetSize(), 30011u);

    // Reserve drops the contents.
    EXPECT_TRUE(s.Reserve(16));
    EXPECT_EQ(s.GetSize(), 0u);
    EXPECT_EQ(s.GetCapacity(), 16u);
}

TEST(MemoryStream, ReadsAndSeeksStopAtTheEnd)
{
    CMemoryStream s("0123456789", 10, 10240);
    EXPECT_EQ(s.Seek(5, 0), 5u);
    char out[8] = {};
    EXPECT_EQ(s.Read(out, 8), 5u);
    EXPECT_EQ(std::string(out, 5), "56789");
    EXPECT_EQ(s.GetPosition(), 10u);
    EXPECT_EQ(s.Read(out, 1), 0u);

    EXPECT_EQ(s.Seek(100, 0), 10u);
    EXPECT_EQ(s.Seek(-3, 2), 7u);
    EXPECT_EQ(s.Seek(-2, 1), 5u);
    // A move before the start is an unsigned overflow and ends at the size.
    EXPECT_EQ(s.Seek(-20, 1), 10u);
    s.Rewind();
    EXPECT_EQ(s.GetPosition(), 0u);

    CMemoryStream empty;
    EXPECT_EQ(empty.Read(out, 4), 0u);
    EXPECT_EQ(empty.Seek(4, 0), 0u);
}

TEST(MemoryStream, LoadsAndSavesWholeFiles)
{
    std::string path = TempPath("stream_file");
    CMemoryStream s("payload", 7, 10240);
    ASSERT_TRUE(s.SaveToFile(path.c_str()));
    CMemoryStream back;
    ASSERT_TRUE(back.LoadFile(path.c_str()));
    EXPECT_EQ(back.GetSize(), 7u);
    EXPECT_EQ(back.GetCapacity(), 7u);
    EXPECT_EQ(back.GetPosition(), 0u);
    EXPECT_EQ(memcmp(back.GetBuffer(), "payload", 7), 0);
    unlink(path.c_str());

    // Nothing to write is not a success; missing files, folders and devices don't load.
    CMemoryStream none;
    EXPECT_FALSE(none.SaveToFile(path.c_str()));
    unlink(path.c_str());
    EXPECT_FALSE(back.LoadFile((path + "-missing").c_str()));
    EXPECT_FALSE(back.LoadFile(testing::TempDir().c_str()));
    EXPECT_FALSE(back.LoadFile("/dev/zero"));
    EXPECT_FALSE(back.LoadFile(nullptr));
}

TEST(MemoryStream, PacksAndUnpacks)
{
    std::vector<BYTE> raw = Compressible(50000);
    CMemoryStream in(raw.data(), DWORD(raw.size()), 10240);
    CMemoryStream packed;
    ASSERT_TRUE(in.CompressTo(packed));
    ASSERT_GT(packed.GetSize(), 4u);
    EXPECT_LT(packed.GetSize(), raw.size());
    const BYTE* p = packed.GetBuffer();
    EXPECT_EQ(DWORD(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24), 50000u);

    // Unpacking writes at the position and leaves what was before it.
    CMemoryStream out;
    out.Write("HEAD", 4);
    ASSERT_TRUE(out.DecompressFrom(packed));
    ASSERT_EQ(out.GetSize(), 50004u);
    EXPECT_EQ(memcmp(out.GetBuffer() + 4, raw.data(), raw.size()), 0);

    // Noise does not shrink: no answer and nothing written.
    std::mt19937 rng(7);
    std::vector<BYTE> noise(16);
    for (auto& b : noise)
        b = BYTE(rng());
    CMemoryStream noisy(noise.data(), 16, 10240);
    CMemoryStream target;
    target.Write("keep", 4);
    EXPECT_FALSE(noisy.CompressTo(target));
    EXPECT_EQ(target.GetSize(), 4u);
    CMemoryStream nothing;
    EXPECT_FALSE(nothing.CompressTo(target));
}

TEST(MemoryStream, RefusesBodiesThatDoNotMatchTheirLength)
{
    std::vector<BYTE> raw = Compressible(999);
    CMemoryStream out;
    out.Write("X", 1);

    // The length word says 1000, the data yields 999; or it says less than the data yields.
    for (DWORD claimed : {1000u, 998u, 0u}) {
        std::vector<BYTE> file = PackClaiming(raw, claimed);
        CMemoryStream src(file.data(), DWORD(file.size()), 10240);
        EXPECT_FALSE(out.DecompressFrom(src)) << claimed;
        EXPECT_EQ(out.GetSize(), 1u) << claimed;
    }

    // A length word far beyond anything the data could yield is refused before allocating.
    std::vector<BYTE> file = PackClaiming(raw, 0xFFFFFFF0u);
    CMemoryStream huge(file.data(), DWORD(file.size()), 10240);
    EXPECT_FALSE(out.DecompressFrom(huge));

    // Shorter than a length word; a truncated stream; bytes after the end marker.
    CMemoryStream tiny("\1\0", 2, 10240);
    EXPECT_FALSE(out.DecompressFrom(tiny));
    std::vector<BYTE> good = PackClaiming(raw, 999);
    CMemoryStream cut(good.data(), DWORD(good.size() - 3), 10240);
    EXPECT_FALSE(out.DecompressFrom(cut));
    std::vector<BYTE> trailing = good;
    trailing.push_back(0);
    CMemoryStream extra(trailing.data(), DWORD(trailing.size()), 10240);
    EXPECT_FALSE(out.DecompressFrom(extra));
    EXPECT_EQ(out.GetSize(), 1u);

    CMemoryStream whole(good.data(), DWORD(good.size()), 10240);
    EXPECT_TRUE(out.DecompressFrom(whole));
    EXPECT_EQ(out.GetSize(), 1000u);
}
