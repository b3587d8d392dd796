// Errors, version identity, debug output and the small string helpers.
#include <strings.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "windows.h"
#include "core/utf8.h"

namespace {

thread_local DWORD t_last_error = 0;

enum class Identity { Xp, Win9x, Nt6 };

Identity CurrentIdentity() {
    const char* v = getenv("VELMORA_WINVER");
    if (!v) return Identity::Xp;
    if (strcasecmp(v, "9x") == 0) return Identity::Win9x;
    if (strcasecmp(v, "nt6") == 0) return Identity::Nt6;
    return Identity::Xp;
}

}  // namespace

extern "C" {

DWORD WINAPI GetLastError(void) { return t_last_error; }
void WINAPI SetLastError(DWORD code) { t_last_error = code; }

void WINAPI OutputDebugStringA(LPCSTR s) {
    if (!s) return;
    fputs(s, stderr);
    fflush(stderr);
}

DWORD WINAPI GetVersion(void) {
    switch (CurrentIdentity()) {
        case Identity::Win9x: return 0xC0000A04u;  // 4.10, high bit set: not NT
        case Identity::Nt6: return (7601u << 16) | (1u << 8) | 6u;
        default: return (2600u << 16) | (1u << 8) | 5u;
    }
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    bool ex = info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
    DWORD size = info->dwOSVersionInfoSize;
    memset(reinterpret_cast<char*>(info) + sizeof(DWORD), 0, size - sizeof(DWORD));
    WORD sp = 0;
    switch (CurrentIdentity()) {
        case Identity::Win9x:
            info->dwMajorVersion = 4;
            info->dwMinorVersion = 10;
            info->dwBuildNumber = (4u << 24) | (10u << 16) | 2222u;
            info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
            strcpy(info->szCSDVersion, " A ");
            break;
        case Identity::Nt6:
            info->dwMajorVersion = 6;
            info->dwMinorVersion = 1;
            info->dwBuildNumber = 7601;
            info->dwPlatformId = VER_PLATFORM_WIN32_NT;
            strcpy(info->szCSDVersion, "Service Pack 1");
            sp = 1;
            break;
        default:
            info->dwMajorVersion = 5;
            info->dwMinorVersion = 1;
            info->dwBuildNumber = 2600;
            info->dwPlatformId = VER_PLATFORM_WIN32_NT;
            strcpy(info->szCSDVersion, "Service Pack 3");
            sp = 3;
            break;
    }
    if (ex && info->dwPlatformId == VER_PLATFORM_WIN32_NT) {
        auto* x = reinterpret_cast<LPOSVERSIONINFOEXA>(info);
        x->wServicePackMajor = sp;
        x->wProductType = 1;  // workstation
    }
    return TRUE;
}

// ---- arithmetic ----
// a*b/c in 64 bits, rounded to the nearest integer with halves away from zero; -1 when c is
// zero or the result does not fit (a result of -1 itself looks the same, as on the platform).
int WINAPI MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    int64_t q = p / c, r = p % c;
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -int64_t(c) : int64_t(c))) q += (p < 0) != (c < 0) ? -1 : 1;
    if (q > INT32_MAX || q < INT32_MIN) return -1;
    return int(q);
}

// ---- strings ----
int WINAPI lstrlenA(LPCSTR s) { return s ? int(strlen(s)) : 0; }
int WINAPI lstrlenW(LPCWSTR s) {
    if (!s) return 0;
    int n = 0;
    while (s[n]) ++n;
    return n;
}
LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) {
    if (!dst || !src) return nullptr;
    return strcpy(dst, src);
}
LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int max) {
    if (!dst || !src) return nullptr;
    if (max <= 0) return dst;
    int i = 0;
    for (; i < max - 1 && src[i]; ++i) dst[i] = src[i];
    dst[i] = 0;
    return dst;
}
LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src) {
    if (!dst || !src) return nullptr;
    return strcat(dst, src);
}
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    int r = strcmp(a, b);
    return r < 0 ? -1 : r > 0;
}
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    int r = strcasecmp(a, b);
    return r < 0 ? -1 : r > 0;
}

// The program's narrow strings are UTF-8; wide strings are UTF-16.
int WINAPI MultiByteToWideChar(UINT, DWORD flags, LPCSTR src, int src_len, LPWSTR dst, int dst_len) {
    if (!src || dst_len < 0 || (dst_len > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = src_len < 0 ? strlen(src) + 1 : size_t(src_len);
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    std::u16string out;
    for (size_t i = 0; i < n;) {
        uint32_t c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        bool bad = extra < 0 || i + size_t(extra) >= n;
        if (!bad) {
            c = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
            for (int k = 1; k <= extra && !bad; ++k) {
                unsigned char cc = s[i + size_t(k)];
                if ((cc & 0xC0) != 0x80) bad = true;
                c = (c << 6) | (cc & 0x3F);
            }
            static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
            if (!bad && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) bad = true;
        }
        if (bad) {
            if (flags & MB_ERR_INVALID_CHARS) {
                SetLastError(1113);  // ERROR_NO_UNICODE_TRANSLATION
                return 0;
            }
            out.push_back(char16_t(0xFFFD));
            ++i;
            continue;
        }
        i += size_t(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    if (dst_len == 0) return int(out.size());
    if (int(out.size()) > dst_len) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(dst, out.data(), out.size() * sizeof(char16_t));
    return int(out.size());
}

int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWSTR src, int src_len, LPSTR dst, int dst_len, LPCSTR,
                               LPBOOL used_default) {
    if (!src || dst_len < 0 || (dst_len > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = src_len < 0 ? size_t(lstrlenW(src)) + 1 : size_t(src_len);
    std::string out;
    if (used_default) *used_default = FALSE;
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = src[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(src[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // lone surrogate
            if (used_default) *used_default = TRUE;
        }
        plat::core::AppendUtf8(out, c);
    }
    if (dst_len == 0) return int(out.size());
    if (int(out.size()) > dst_len) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(dst, out.data(), out.size());
    return int(out.size());
}

}  // extern "C"
