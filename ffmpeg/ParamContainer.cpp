#include "ParamContainer.h"

#include <cstdlib>
#include <cstring>

CParamContainer::CParamContainer() : m_count(1), m_overflow(false) {
    for (char*& s : m_slots) s = nullptr;
}

CParamContainer::~CParamContainer() { Reset(); }

bool CParamContainer::Append(const char* text) {
    if (text == nullptr || text[0] == '\0') return true;
    if (m_count >= kMaxSlots) {
        m_overflow = true;
        return false;
    }
    // Paths on this system may be far longer than a block; never cut an argument, since a cut
    // output path would silently name another file.
    std::size_t len = std::strlen(text);
    std::size_t size = len + 1 > static_cast<std::size_t>(kBlockSize) ? len + 1 : static_cast<std::size_t>(kBlockSize);
    char* block = static_cast<char*>(std::calloc(size, 1));
    if (block == nullptr) {
        m_overflow = true;
        return false;
    }
    std::memcpy(block, text, len);
    m_slots[m_count++] = block;
    m_slots[m_count] = nullptr;
    return true;
}

void CParamContainer::Add(const char* first, const char* second) {
    if (Append(first)) Append(second);
}

const char* CParamContainer::GetArg(int index) const {
    if (index < 1 || index >= m_count) return nullptr;
    return m_slots[index];
}

void CParamContainer::Reset() {
    for (int i = 1; i < m_count; ++i) {
        std::free(m_slots[i]);
        m_slots[i] = nullptr;
    }
    m_count = 1;
    m_overflow = false;
}
