#include "EngineFormat.h"

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace {

locale_t CLocale() {
    // Created once and kept for the life of the process.
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

class ScopedCLocale {
public:
    ScopedCLocale() : m_old(static_cast<locale_t>(0)) {
        if (locale_t c = CLocale()) m_old = uselocale(c);
    }
    ~ScopedCLocale() {
        if (m_old) uselocale(m_old);
    }

private:
    locale_t m_old;
};

}  // namespace

int FormatC_v(char* buf, std::size_t size, const char* fmt, va_list ap) {
    ScopedCLocale scope;
    return std::vsnprintf(buf, size, fmt, ap);
}

int FormatC(char* buf, std::size_t size, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = FormatC_v(buf, size, fmt, ap);
    va_end(ap);
    return n;
}

std::string FormatStringC(const char* fmt, ...) {
    char small[128];
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    int n = FormatC_v(small, sizeof small, fmt, ap);
    va_end(ap);
    std::string out;
    if (n < 0) {
        out.clear();
    } else if (static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        FormatC_v(big.data(), big.size(), fmt, copy);
        out.assign(big.data(), static_cast<std::size_t>(n));
    }
    va_end(copy);
    return out;
}
