// Fuzzes the skin body parser (the unpacked file: header, objects, images, sounds). A body that
// loads must save, and what it saves must load and save again to the same bytes.
#include <cstdint>
#include <cstring>

#include "MemoryStream.h"
#include "SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    CMemoryStream body(data, DWORD(size), 10240);
    CSkinFile skin;
    if (!skin.LoadBody(body)) {
        int e = skin.GetLastError();
        if (e != 5 && e != 6 && e != 7)
            __builtin_trap();
        return 0;
    }
    CMemoryStream first;
    if (!skin.SaveBody(first))
        return 0;  // e.g. nothing to write for a picture that did not encode
    CSkinFile again;
    first.Rewind();
    if (!again.LoadBody(first))
        __builtin_trap();
    CMemoryStream second;
    if (!again.SaveBody(second) || second.GetSize() != first.GetSize() ||
        memcmp(second.GetBuffer(), first.GetBuffer(), first.GetSize()) != 0)
        __builtin_trap();
    return 0;
}
