// This project's platform layer: test controls for the shell services and common dialogs.
// Tests record what would be started instead of starting it, and may script the answers of
// the open-file and folder dialogs instead of driving them.
#pragma once

#include "windef.h"
#include "winplat_test.h"

// Programs the layer would start (the opener, WinExec, the power-off command) are recorded in
// memory instead of started while recording is on. Every request is also appended as one line
// (words separated by tabs, with '\\', tab and line ends escaped as \\ \t \n) to the file named
// by VELMORA_OPENER_RECORDER (opener and WinExec) or VELMORA_SHUTDOWN_RECORDER (shut-down),
// which also keeps the program from being started. A test may set those files here too
// (NULL switches a file recorder off again).
WINTESTAPI void WinTestShellRecord(BOOL on);
WINTESTAPI void WinTestShellSetOpenerRecorder(const char* path);
WINTESTAPI void WinTestShellSetShutdownRecorder(const char* path);
// Recorded requests since the last clear: how many, and word `word` of request `index`
// (word 0 is the program). Returns the word's length, or -1 when there is no such word; the
// copy is cut to fit and always NUL-terminated.
WINTESTAPI int WinTestShellRequestCount(void);
WINTESTAPI int WinTestShellRequestWord(int index, int word, char* buffer, int size);
WINTESTAPI void WinTestShellClearRequests(void);

// Scripted dialog answers, used once each, in order, by the next dialogs of that kind:
// open-file: names separated by '\n' (full paths, or names in `folder`), or NULL to answer
// "cancelled"; folder: a folder path, or NULL to answer "cancelled".
WINTESTAPI void WinTestScriptOpenFile(const char* folder, const char* names);
WINTESTAPI void WinTestScriptFolder(const char* path);
WINTESTAPI void WinTestClearScripts(void);
// The dialog window currently shown by the open-file or folder dialog (NULL when none).
WINTESTAPI HWND WinTestCurrentFileDialog(void);
