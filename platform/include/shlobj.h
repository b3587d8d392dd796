// This project's platform layer: shell item-id lists and the folder browser.
#pragma once

#include "windows.h"
#include "unknwn.h"

#pragma pack(push, 1)
typedef struct _SHITEMID {
    USHORT cb;
    BYTE abID[1];
} SHITEMID, *LPSHITEMID;
typedef const SHITEMID* LPCSHITEMID;
typedef struct _ITEMIDLIST {
    SHITEMID mkid;
} ITEMIDLIST, *LPITEMIDLIST, *PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;
#pragma pack(pop)

typedef int(CALLBACK* BFFCALLBACK)(HWND hwnd, UINT msg, LPARAM lparam, LPARAM data);

typedef struct _browseinfoA {
    HWND hwndOwner;
    LPCITEMIDLIST pidlRoot;
    LPSTR pszDisplayName;
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
} BROWSEINFOA, *PBROWSEINFOA, *LPBROWSEINFOA, BROWSEINFO, *LPBROWSEINFO;

#define BIF_RETURNONLYFSDIRS 0x0001
#define BIF_DONTGOBELOWDOMAIN 0x0002
#define BIF_STATUSTEXT 0x0004
#define BIF_RETURNFSANCESTORS 0x0008
#define BIF_EDITBOX 0x0010
#define BIF_VALIDATE 0x0020
#define BIF_NEWDIALOGSTYLE 0x0040
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_BROWSEINCLUDEURLS 0x0080
#define BIF_BROWSEFORCOMPUTER 0x1000
#define BIF_BROWSEFORPRINTER 0x2000
#define BIF_BROWSEINCLUDEFILES 0x4000
#define BIF_SHAREABLE 0x8000

#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2
#define BFFM_VALIDATEFAILEDA 3
#define BFFM_SETSTATUSTEXTA (WM_USER + 100)
#define BFFM_ENABLEOK (WM_USER + 101)
#define BFFM_SETSELECTIONA (WM_USER + 102)
#define BFFM_SETSTATUSTEXT BFFM_SETSTATUSTEXTA
#define BFFM_SETSELECTION BFFM_SETSELECTIONA

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_PERSONAL 0x0005
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_DRIVES 0x0011
#define CSIDL_APPDATA 0x001A
#define CSIDL_LOCAL_APPDATA 0x001C
#define CSIDL_MYVIDEO 0x000E
#define CSIDL_FLAG_CREATE 0x8000

// The folder browser: a modal dialog of the layer's own controls. The result is freed through
// the shell allocator (SHGetMalloc).
WINSHELLAPI LPITEMIDLIST WINAPI SHBrowseForFolderA(LPBROWSEINFOA info);
#define SHBrowseForFolder SHBrowseForFolderA
WINSHELLAPI BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR path);
#define SHGetPathFromIDList SHGetPathFromIDListA
// The path of an item of any length, in wide characters: `cch` counts them with the
// terminator. FALSE when the item has no file-system path or the buffer is too short.
typedef int GPFIDL_FLAGS;
#define GPFIDL_DEFAULT 0x0000
WINSHELLAPI BOOL WINAPI SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, PWSTR path, DWORD cch, GPFIDL_FLAGS flags);
WINSHELLAPI HRESULT WINAPI SHGetMalloc(LPMALLOC* malloc);
WINSHELLAPI HRESULT WINAPI SHGetSpecialFolderLocation(HWND hwnd, int csidl, LPITEMIDLIST* pidl);
WINSHELLAPI HRESULT WINAPI SHGetFolderPathA(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPSTR path);
#define SHGetFolderPath SHGetFolderPathA
WINSHELLAPI void WINAPI ILFree(LPITEMIDLIST pidl);
WINSHELLAPI void WINAPI CoTaskMemFree(void* pv);
