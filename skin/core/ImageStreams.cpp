// Byte streams of the image codecs: over a C FILE and over a heap buffer.
#include "ImageCodecs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

bool CImageStream::PutC(unsigned char c) { return Write(&c, 1, 1) == 1; }

// --- CImageFileStream -----------------------------------------------------------------------

bool CImageFileStream::Close() {
    if (!m_file || !m_closeFile) return true;
    const int rc = std::fclose(m_file);
    m_file = nullptr;
    return rc == 0;
}

size_t CImageFileStream::Read(void* buffer, size_t size, size_t count) {
    if (!m_file || !buffer) return 0;
    return std::fread(buffer, size, count, m_file);
}

size_t CImageFileStream::Write(const void* buffer, size_t size, size_t count) {
    if (!m_file || !buffer) return 0;
    return std::fwrite(buffer, size, count, m_file);
}

bool CImageFileStream::Seek(int64_t offset, int origin) {
    if (!m_file) return false;
    return fseeko(m_file, (off_t)offset, origin) == 0;
}

int64_t CImageFileStream::Tell() {
    if (!m_file) return 0;
    return (int64_t)ftello(m_file);
}

int64_t CImageFileStream::Size() {
    if (!m_file) return -1;
    const off_t pos = ftello(m_file);
    if (pos < 0 || fseeko(m_file, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(m_file);
    fseeko(m_file, pos, SEEK_SET);
    return (int64_t)end;
}

bool CImageFileStream::Flush() { return m_file && std::fflush(m_file) == 0; }
bool CImageFileStream::Eof() { return !m_file || std::feof(m_file) != 0; }
long CImageFileStream::Error() { return m_file ? std::ferror(m_file) : -1; }
bool CImageFileStream::PutC(unsigned char c) { return m_file && std::fputc(c, m_file) == c; }
long CImageFileStream::GetC() { return m_file ? std::fgetc(m_file) : -1; }

// --- CImageMemoryStream ---------------------------------------------------------------------

bool CImageMemoryStream::Open() {
    if (m_buffer) return false;
    m_size = m_position = m_capacity = 0;
    m_buffer = (BYTE*)std::malloc(1);  // an empty block of our own
    if (!m_buffer) return false;
    m_owns = true;
    return true;
}

void CImageMemoryStream::Attach(const BYTE* buffer, size_t size) {
    Close();
    m_buffer = const_cast<BYTE*>(buffer);  // read-only use: Write never reaches a caller's buffer
    m_size = buffer ? size : 0;
    m_capacity = m_size;
    m_position = 0;
    m_owns = buffer == nullptr;
}

BYTE* CImageMemoryStream::Detach() {
    BYTE* b = m_buffer;
    m_buffer = nullptr;
    m_size = m_position = m_capacity = 0;
    m_owns = false;
    return b;
}

bool CImageMemoryStream::Close() {
    if (m_owns) std::free(m_buffer);
    m_buffer = nullptr;
    m_size = m_position = m_capacity = 0;
    m_owns = false;
    return true;
}

size_t CImageMemoryStream::Read(void* buffer, size_t size, size_t count) {
    if (!m_buffer || !buffer || size == 0 || count == 0 || m_position > m_size) return 0;
    if (count > std::numeric_limits<size_t>::max() / size) return 0;
    const size_t n = std::min(size * count, m_size - m_position);
    std::memcpy(buffer, m_buffer + m_position, n);
    m_position += n;
    return n / size;
}

size_t CImageMemoryStream::Write(const void* buffer, size_t size, size_t count) {
    if (!m_buffer || !buffer) return 0;
    if (size == 0 || count == 0) return count;
    if (!m_owns) return 0;  // a caller's buffer is only read
    if (count > std::numeric_limits<size_t>::max() / size) return 0;
    const size_t bytes = size * count;
    if (m_position > std::numeric_limits<size_t>::max() - bytes) return 0;
    const size_t needed = m_position + bytes;
    if (needed > m_capacity) {
        const size_t grow = (needed - m_capacity + 4095) / 4096 * 4096;
        BYTE* b = (BYTE*)std::realloc(m_buffer, m_capacity + grow);
        if (!b) return 0;
        m_buffer = b;
        m_capacity += grow;
    }
    // A Seek past the end leaves a gap: fill it with zeros rather than leave stale heap bytes.
    if (m_position > m_size) std::memset(m_buffer + m_size, 0, m_position - m_size);
    std::memcpy(m_buffer + m_position, buffer, bytes);
    m_position += bytes;
    m_size = std::max(m_size, m_position);
    return count;
}

bool CImageMemoryStream::Seek(int64_t offset, int origin) {
    if (!m_buffer) return false;
    int64_t base;
    switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = (int64_t)m_position; break;
    case SEEK_END: base = (int64_t)m_size; break;
    default: return false;
    }
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) ||
        base + offset < 0)
        return false;
    m_position = (size_t)(base + offset);
    return true;
}

int64_t CImageMemoryStream::Tell() { return m_buffer ? (int64_t)m_position : -1; }
int64_t CImageMemoryStream::Size() { return m_buffer ? (int64_t)m_size : -1; }
bool CImageMemoryStream::Flush() { return m_buffer != nullptr; }
bool CImageMemoryStream::Eof() { return !m_buffer || m_position >= m_size; }
long CImageMemoryStream::Error() { return m_buffer ? (m_position > m_size ? 1 : 0) : -1; }

long CImageMemoryStream::GetC() {
    if (Eof()) return -1;
    return m_buffer[m_position++];
}

// --- CImageLineIterator ---------------------------------------------------------------------

void CImageLineIterator::Attach(CRasterImage* image) {
    m_image = image;
    m_x = m_y = m_dx = m_dy = 0;
    m_row = image ? image->GetBits(0) : nullptr;
}

bool CImageLineIterator::SetRow(LONG y) {
    if (!m_image || !m_image->IsValid() || y < 0 || (DWORD)y > m_image->GetHeight()) return false;
    m_y = y;
    m_row = m_image->GetBits(0) + (size_t)y * m_image->GetRowStride();
    return true;
}
