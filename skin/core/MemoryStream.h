// A growable in-memory byte stream: sequential read/write with a position, seeking, whole-file
// load and save, and the LZO1X packing of skin file bodies.
#pragma once

#include <windef.h>

class CMemoryStream {
public:
    enum { kDefaultGrowth = 10240 };
    // Whole files and unpacked bodies larger than this are refused: nothing the engine reads
    // comes near it, and it keeps a hostile length word from asking for gigabytes.
    static constexpr DWORD kMaxSize = 256u * 1024u * 1024u;

    CMemoryStream();
    explicit CMemoryStream(DWORD growthStep);
    CMemoryStream(const void* data, DWORD size, DWORD growthStep);
    virtual ~CMemoryStream();

    CMemoryStream(const CMemoryStream&) = delete;
    CMemoryStream& operator=(const CMemoryStream&) = delete;

    // Drops the contents and allocates n bytes (size 0, position 0). False leaves it empty.
    bool Reserve(DWORD n);
    DWORD Read(void* out, DWORD n);
    DWORD Write(const void* in, DWORD n);
    // origin 0 start, 1 position, 2 end; the result is clamped to the size.
    DWORD Seek(LONG offset, int origin);
    void Rewind() { Seek(0, 0); }
    void SeekToEnd() { Seek(0, 2); }

    bool LoadFile(const char* path);
    bool SaveToFile(const char* path) const;

    // Source: u32 raw length L, then LZO1X data that must unpack to exactly L bytes; the L
    // bytes are written here at the position. Nothing is written on failure.
    bool DecompressFrom(const CMemoryStream& source);
    // Packs this stream's contents with LZO1X-1 into target (u32 length, then the packed
    // data) when that is smaller than the contents; else writes nothing and answers false.
    bool CompressTo(CMemoryStream& target) const;

    DWORD GetSize() const { return m_nSize; }
    DWORD GetPosition() const { return m_nPosition; }
    DWORD GetCapacity() const { return m_nCapacity; }
    DWORD GetGrowthStep() const { return m_nGrowth; }
    DWORD GetRemaining() const { return m_nSize - m_nPosition; }
    const BYTE* GetBuffer() const { return m_pBuffer; }

private:
    void Free();

    DWORD m_nSize = 0;
    DWORD m_nPosition = 0;
    BYTE* m_pBuffer = nullptr;
    DWORD m_nCapacity = 0;
    DWORD m_nGrowth = kDefaultGrowth;
};
