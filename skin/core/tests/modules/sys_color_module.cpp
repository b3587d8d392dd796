// A module the interception tests load after the hooks are in place: it reaches GetSysColor
// through an import slot of its own.
#include <windows.h>

extern "C" __attribute__((visibility("default"))) DWORD ModuleSysColor(int index) { return GetSysColor(index); }
