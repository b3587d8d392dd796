#include "MemoryStream.h"

#include <lzo/lzo1x.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

bool LzoReady()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = lzo_init() == LZO_E_OK; });
    return ok;
}

// LZO1X-1's documented worst case for incompressible input.
size_t LzoBound(size_t n) { return n + n / 16 + 64 + 3; }

void PutU32(BYTE* p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}

DWORD GetU32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

}  // namespace

CMemoryStream::CMemoryStream() = default;

CMemoryStream::CMemoryStream(DWORD growthStep) : m_nGrowth(growthStep ? growthStep : DWORD(kDefaultGrowth)) {}

CMemoryStream::CMemoryStream(const void* data, DWORD size, DWORD growthStep)
    : m_nGrowth(growthStep ? growthStep : DWORD(kDefaultGrowth))
{
    if (Reserve(size) && data && size) {
        memcpy(m_pBuffer, data, size);
        m_nSize = size;
    }
}

CMemoryStream::~CMemoryStream() { Free(); }

void CMemoryStream::Free()
{
    free(m_pBuffer);
    m_pBuffer = nullptr;
    m_nSize = m_nPosition = m_nCapacity = 0;
}

bool CMemoryStream::Reserve(DWORD n)
{
    Free();
    // malloc(0) may answer null; one byte keeps "reserved" distinct from "no buffer".
    m_pBuffer = static_cast<BYTE*>(malloc(n ? n : 1));
    if (!m_pBuffer)
        return false;
    m_nCapacity = n;
    return true;
}

DWORD CMemoryStream::Read(void* out, DWORD n)
{
    if (!m_pBuffer || !out)
        return 0;
    DWORD count = n < m_nSize - m_nPosition ? n : m_nSize - m_nPosition;
    if (count)
        memcpy(out, m_pBuffer + m_nPosition, count);
    m_nPosition += count;
    return count;
}

DWORD CMemoryStream::Write(const void* in, DWORD n)
{
    if (!in && n)
        return 0;
    if (!m_pBuffer && !Reserve(n))
        return 0;
    DWORD room = m_nCapacity - m_nPosition;
    if (n > room) {
        // Grow in whole steps; a capacity that would pass 4 GiB is refused rather than wrapped.
        uint64_t grow = (uint64_t(n - room) / m_nGrowth + 1) * m_nGrowth;
        uint64_t cap = uint64_t(m_nCapacity) + grow;
        if (cap > 0xFFFFFFFFu)
            return 0;
        BYTE* p = static_cast<BYTE*>(realloc(m_pBuffer, size_t(cap)));
        if (!p)
            return 0;
        m_pBuffer = p;
        m_nCapacity = DWORD(cap);
    }
    if (n)
        memcpy(m_pBuffer + m_nPosition, in, n);
    m_nPosition += n;
    if (m_nPosition > m_nSize)
        m_nSize = m_nPosition;
    return n;
}

DWORD CMemoryStream::Seek(LONG offset, int origin)
{
    DWORD base = origin == 1 ? m_nPosition : origin == 2 ? m_nSize : 0;
    // Unsigned arithmetic: a move before the start wraps to a huge value and ends at the size.
    DWORD pos = base + DWORD(offset);
    m_nPosition = pos > m_nSize ? m_nSize : pos;
    return m_nPosition;
}

bool CMemoryStream::LoadFile(const char* path)
{
    if (!path)
        return false;
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> guard(f, fclose);
    // Only regular files: a pipe or device has no length to trust.
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 || uint64_t(st.st_size) > kMaxSize)
        return false;
    DWORD length = DWORD(st.st_size);
    if (!Reserve(length))
        return false;
    if (length && fread(m_pBuffer, 1, length, f) != length) {
        m_nSize = 0;
        return false;
    }
    m_nSize = length;
    m_nPosition = 0;
    return true;
}

bool CMemoryStream::SaveToFile(const char* path) const
{
    if (!path)
        return false;
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    size_t written = m_nSize ? fwrite(m_pBuffer, 1, m_nSize, f) : 0;
    bool closed = fclose(f) == 0;
    return written == m_nSize && written > 0 && closed;
}

bool CMemoryStream::DecompressFrom(const CMemoryStream& source)
{
    if (!LzoReady() || !source.m_pBuffer || source.m_nSize < 4)
        return false;
    DWORD rawLength = GetU32(source.m_pBuffer);
    size_t packedLength = source.m_nSize - 4;
    // LZO1X cannot expand one input byte into more than a few hundred output bytes, so a
    // length word far beyond that is a lie; refuse it before allocating.
    if (rawLength > kMaxSize || uint64_t(rawLength) > uint64_t(packedLength) * 256 + 4096)
        return false;
    std::unique_ptr<BYTE, void (*)(void*)> block(static_cast<BYTE*>(malloc(rawLength ? rawLength : 1)), free);
    if (!block)
        return false;
    lzo_uint outLength = rawLength;
    int rc = lzo1x_decompress_safe(source.m_pBuffer + 4, packedLength, block.get(), &outLength, nullptr);
    // Trailing bytes after the end marker also count as a broken body.
    if (rc != LZO_E_OK || outLength != rawLength)
        return false;
    if (rawLength == 0)
        return true;
    return Write(block.get(), rawLength) == rawLength;
}

bool CMemoryStream::CompressTo(CMemoryStream& target) const
{
    if (!LzoReady() || !m_pBuffer || m_nSize == 0)
        return false;
    size_t bound = 4 + LzoBound(m_nSize);
    std::unique_ptr<BYTE, void (*)(void*)> block(static_cast<BYTE*>(malloc(bound)), free);
    std::unique_ptr<BYTE, void (*)(void*)> work(static_cast<BYTE*>(malloc(LZO1X_1_MEM_COMPRESS)), free);
    if (!block || !work)
        return false;
    lzo_uint outLength = bound - 4;
    if (lzo1x_1_compress(m_pBuffer, m_nSize, block.get() + 4, &outLength, work.get()) != LZO_E_OK)
        return false;
    if (outLength >= m_nSize)
        return false;
    PutU32(block.get(), m_nSize);
    DWORD total = DWORD(outLength + 4);
    return target.Write(block.get(), total) == total;
}
