// The resource functions of the API over the resource table.
#include <cstring>

#include "res/resources.h"

using namespace plat::res;

WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    const Resource* r = Find(type, name);
    return r ? r->handle : nullptr;
}

WINBASEAPI HRSRC WINAPI FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD) {
    return FindResourceA(module, name, type);
}

WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE, HRSRC res) {
    const Resource* r = FromHandle(res);
    return r ? const_cast<BYTE*>(r->data) : nullptr;
}

// Resource data is part of the program image: locking is the identity, freeing a no-op.
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

WINBASEAPI DWORD WINAPI SizeofResource(HMODULE, HRSRC res) {
    const Resource* r = FromHandle(res);
    return r ? r->size : 0;
}

WINBASEAPI BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

WINUSERAPI int WINAPI LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int buffer_max) {
    if (!buffer || buffer_max <= 0) return 0;
    std::string s;
    if (!LoadString(id, &s)) {
        buffer[0] = 0;
        return 0;
    }
    // Truncate on a character boundary so the copy stays valid UTF-8.
    size_t n = s.size();
    if (n > size_t(buffer_max - 1)) {
        n = size_t(buffer_max - 1);
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(buffer, s.data(), n);
    buffer[n] = 0;
    return int(n);
}
