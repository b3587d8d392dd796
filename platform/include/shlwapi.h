// This project's platform layer: path helpers. Both '/' and '\' separate folders; the layer
// writes '/'.
#pragma once

#include "windef.h"

WINSHELLAPI LPSTR WINAPI PathFindFileNameA(LPCSTR path);
#define PathFindFileName PathFindFileNameA
// The extension with its dot, or the terminating NUL when there is none.
WINSHELLAPI LPSTR WINAPI PathFindExtensionA(LPCSTR path);
#define PathFindExtension PathFindExtensionA
WINSHELLAPI BOOL WINAPI PathFileExistsA(LPCSTR path);
#define PathFileExists PathFileExistsA
WINSHELLAPI BOOL WINAPI PathIsDirectoryA(LPCSTR path);
#define PathIsDirectory PathIsDirectoryA
// Cuts the last component and its separator ("/a/b" -> "/a", "/a" -> "/"); TRUE when it cut.
WINSHELLAPI BOOL WINAPI PathRemoveFileSpecA(LPSTR path);
#define PathRemoveFileSpec PathRemoveFileSpecA
WINSHELLAPI void WINAPI PathStripPathA(LPSTR path);
#define PathStripPath PathStripPathA
WINSHELLAPI void WINAPI PathRemoveExtensionA(LPSTR path);
#define PathRemoveExtension PathRemoveExtensionA
// Adds a '/' unless the path ends in a separator; the result must fit in MAX_PATH.
WINSHELLAPI LPSTR WINAPI PathAddBackslashA(LPSTR path);
#define PathAddBackslash PathAddBackslashA
WINSHELLAPI LPSTR WINAPI PathRemoveBackslashA(LPSTR path);
#define PathRemoveBackslash PathRemoveBackslashA
// `path` (MAX_PATH characters) + separator + `more`; FALSE when it would not fit.
WINSHELLAPI BOOL WINAPI PathAppendA(LPSTR path, LPCSTR more);
#define PathAppend PathAppendA
WINSHELLAPI BOOL WINAPI PathIsRelativeA(LPCSTR path);
#define PathIsRelative PathIsRelativeA
