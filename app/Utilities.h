// Small helpers of the application over the system services: the program's folder, output
// folder creation, path kinds, shutting the computer down, and a few general tools.
#pragma once

#include <cstddef>

#include "afx.h"
#include "afxwin.h"
#include "windows.h"

// The folder of the running program with its trailing separator, cut to fit `size` bytes
// (always terminated). Used to find the help pages.
void GetProgramDir(LPSTR buffer, size_t size);

// The folder of the running program with its trailing separator; "settings.ini" lies there.
CString GetModuleDir();

// Creates every missing folder along `path`, parents first ('/' and '\\' both separate).
// 0 when the last folder was created by this call, -1 otherwise (an existing folder gives -1,
// as does a path that cannot be made). The process's current directory is left alone.
int CreateDirectoryTree(const CString& path);

// The output folder as a batch uses it, from the folder the user typed or chose: '\\'
// separates as '/' does and is written '/', so that the folder made and the files written
// into it are one path; a relative folder (or one that would read as an option, "-out") is
// taken from the current directory; one trailing separator goes, but never the root's. An
// empty text stays empty.
CString MakeOutputFolder(const CString& typed);

// 0 absent, 1 file, 2 folder, -1 error (for example a path through a file).
int GetPathKind(LPCSTR path);

// Asks for the process's shut-down privilege on the NT family, then `ExitWindowsEx(flags)`.
BOOL ShutdownSystem(UINT flags);

// A worker thread that its starter joins and deletes itself (JoinThread): null when no thread
// could be made.
CWinThread* BeginJoinableThread(AFX_THREADPROC proc, LPVOID param, int priority);
// Waits for the thread to return, deletes it and clears the pointer; nothing when null.
void JoinThread(CWinThread*& thread);

// Handles every message waiting for the calling thread.
void PumpMessages();

// "hh:mm:ss" of a number of seconds, in a per-thread buffer that the next call overwrites.
LPCSTR FormatSeconds(int seconds);

// Whether a file (not a folder) exists at `path`.
BOOL FileExists(LPCSTR path);

// Writes a formatted line to the system log under the source "Velmora video"; `type` is an
// event type (1 error, 2 warning, 4 information).
void ReportEventLog(WORD type, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));

// The default value of `subkey` under `root`, into `buffer` of MAX_PATH bytes.
BOOL ReadRegistryDefault(HKEY root, LPCSTR subkey, LPSTR buffer);

// Opens an address with the shell; when that fails, with the command registered for ".htm"
// documents, started without a shell.
BOOL OpenURL(LPCSTR url);
