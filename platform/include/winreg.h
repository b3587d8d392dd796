// This project's platform layer: the registry, as a small read-only store of the answers the
// program asks for (document associations).
#pragma once

#include "windef.h"

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003)

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4

typedef DWORD REGSAM;
typedef HKEY* PHKEY;

WINBASEAPI LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subkey, DWORD options, REGSAM access, PHKEY result);
#define RegOpenKeyEx RegOpenKeyExA
WINBASEAPI LONG WINAPI RegOpenKeyA(HKEY key, LPCSTR subkey, PHKEY result);
#define RegOpenKey RegOpenKeyA
// `name` NULL or "" reads the key's default value. With `data` NULL only the size is given.
WINBASEAPI LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                        LPDWORD size);
#define RegQueryValueEx RegQueryValueExA
// The default value of `subkey` under `key` (a string).
WINBASEAPI LONG WINAPI RegQueryValueA(HKEY key, LPCSTR subkey, LPSTR data, LONG* size);
#define RegQueryValue RegQueryValueA
WINBASEAPI LONG WINAPI RegCloseKey(HKEY key);
