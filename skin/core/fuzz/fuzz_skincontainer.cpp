// Fuzzes a whole skin file image: the raw length word, the LZO1X data and the body in it. Only
// the load errors of the skin file may come out.
#include <cstdint>

#include "MemoryStream.h"
#include "SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    CMemoryStream file(data, DWORD(size), 10240);
    CSkinFile skin;
    if (!skin.Load(file)) {
        int e = skin.GetLastError();
        if (e < 5 || e > 7)
            __builtin_trap();
    }
    return 0;
}
