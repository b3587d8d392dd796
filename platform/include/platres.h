// This project's platform layer: the program's compiled-in resource table (registration side).
#pragma once

#include "windef.h"

// One resource as the resource compiler emits it. A type or name is either a 16-bit id
// (the string pointer NULL) or an upper-case string. Data stays owned by the program image.
typedef struct PLATRES_ENTRY {
    const char* type_name;
    WORD type_id;
    const char* name;
    WORD name_id;
    const BYTE* data;
    DWORD size;
} PLATRES_ENTRY;

// Adds a table of resources. The compiler's generated source calls it from a prioritised
// constructor, before any ordinary static initialiser of the program runs; the table is
// constant data, so it needs no initialisation of its own. Registering the same table twice
// is harmless. Where two tables hold the same type and name, the first registered wins.
WINBASEAPI void WINAPI PlatRegisterResources(const PLATRES_ENTRY* entries, UINT count);
// Removes a table again (tests that register their own data).
WINBASEAPI void WINAPI PlatUnregisterResources(const PLATRES_ENTRY* entries);

// Resource types (their real values).
#ifndef RT_BITMAP
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_TOOLBAR MAKEINTRESOURCEA(241)
#endif

// Resource access (the program's one resource table; every module handle reads it).
WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
WINBASEAPI HRSRC WINAPI FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC res);
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL data);
WINBASEAPI DWORD WINAPI SizeofResource(HMODULE module, HRSRC res);
WINBASEAPI BOOL WINAPI FreeResource(HGLOBAL data);
WINUSERAPI int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int buffer_max);
#define FindResource FindResourceA
#define FindResourceEx FindResourceExA
#define LoadString LoadStringA
