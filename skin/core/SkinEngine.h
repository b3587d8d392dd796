// The skin engine's public functions, its start-up and shut-down per GUI thread, and the
// engine-wide state the rest of the engine reads (dialog skin name, skin-change notices,
// accelerator copies, the instance handle, the OS class, the windows with skinned scroll bars).
//
// Every public function returns zero on failure and leaves the reason in the calling thread's
// last error (GetSkinLastError), unless its comment says otherwise.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

// Last-error codes of the public functions.
enum SkinEngineError : int {
    SKINERR_NONE = 0,
    SKINERR_CLASS_NOT_REGISTERED = 1,   // popup-menu or tooltip window class
    SKINERR_CALLWNDPROC_HOOK = 2,       // WH_CALLWNDPROC hook not installed
    SKINERR_KEYBOARD_HOOK = 3,          // WH_KEYBOARD hook not installed
    SKINERR_FILE_UNREADABLE = 4,
    SKINERR_FILE_BAD_BODY = 5,          // decompression failed or gave another length
    SKINERR_FILE_SHORT_HEADER = 6,
    SKINERR_FILE_BAD_MAGIC = 7,         // wrong magic or unsupported version
    SKINERR_NOT_FOUND = 8,              // window without skin, or element/object/item not found
    SKINERR_WRONG_TYPE = 9,
    SKINERR_IMAGE_TOO_SMALL = 10,       // image smaller than one image-list cell
    SKINERR_IMAGELIST_FAILED = 11,
    SKINERR_NOT_SUPPORTED = 12,
    SKINERR_SCROLLBARS_NOT_ATTACHED = 14,
    SKINERR_RESOURCE_NOT_LOADED = 15,
    SKINERR_RESOURCE_NOT_FOUND = 16,
    SKINERR_NO_MEMORY = 18,
    SKINERR_NOT_STARTED = 19,
};

// Handle of a named skin object (a CSkinObject* of the current skin).
typedef void* HSKINELEMENT;

extern "C" {

// --- Start-up, shut-down and skin files -----------------------------------------------------
BOOL WINAPI InitSkinLibrary(HINSTANCE instance);
void WINAPI ExitSkinLibrary(void);
BOOL WINAPI LoadSkinFile(const char* path);
BOOL WINAPI LoadSkinFromResource(HMODULE module, const char* name, const char* type);
int WINAPI GetSkinLastError(void);
// Copies the version text with its terminator (buffer of at least 9 bytes); 1.
BOOL WINAPI GetSkinLibraryVersion(char* buffer);

// --- Windows --------------------------------------------------------------------------------
BOOL WINAPI SetWindowSkin(HWND hwnd, const char* objectName);
BOOL WINAPI SetDialogWindowSkin(HWND hwnd, const char* objectName);
BOOL WINAPI SetSingleDialogSkin(HWND hwnd, const char* objectName);
BOOL WINAPI RemoveWindowSkin(HWND hwnd);
BOOL WINAPI SetDialogSkin(const char* name);
BOOL WINAPI ClearDialogSkin(void);
BOOL WINAPI SkinControlWindow(HWND hwnd, const char* objectName, const char* parentObjectName);
// bar: 0 horizontal, 1 vertical, 3 both.
BOOL WINAPI SetWindowScrollBarSkin(HWND hwnd, int bar);
BOOL WINAPI RemoveWindowScrollBarSkin(HWND hwnd);
BOOL WINAPI SetWindowAccelerators(HWND hwnd, HACCEL accelerators);
// message 0 means the default skin-change message 3024 (0x0BD0).
BOOL WINAPI SetSkinChangeNotify(HWND hwnd, UINT message);
BOOL WINAPI RemoveSkinChangeNotify(HWND hwnd);
HMENU WINAPI GetSkinWindowMenu(HWND hwnd);
BOOL WINAPI SetSkinWindowMenu(HWND hwnd, HMENU menu);
BOOL WINAPI SetWindowSkinName(HWND hwnd, const char* name);
// The five menu parameter values (the third is the image list of item icons, hence pointer-sized).
BOOL WINAPI SetWindowMenuParams(HWND hwnd, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4,
                                DWORD_PTR p5);
BOOL WINAPI GetType45WindowMargins(HWND hwnd, RECT* margins);

// --- Elements of a skinned window's frame (looked up by skin object name, case-sensitive) -----
BOOL WINAPI EnableSkinCaptionButton(HWND hwnd, const char* name, BOOL enable);
BOOL WINAPI GetSkinCaptionButtonState(HWND hwnd, const char* name, int* state);
BOOL WINAPI SetSkinCaptionButtonState(HWND hwnd, const char* name, int state);
BOOL WINAPI SetSkinCaptionButtonName(HWND hwnd, const char* name, const char* newName);
BOOL WINAPI RedrawSkinCaptionText(HWND hwnd, const char* name);
BOOL WINAPI ShowSkinElement(HWND hwnd, const char* name, BOOL show);
BOOL WINAPI SetSkinCaptionText(HWND hwnd, const char* name, const char* text);
int WINAPI GetSkinCaptionText(HWND hwnd, const char* name, char* buffer, int size);

// --- Named skin objects and their data items ------------------------------------------------
HSKINELEMENT WINAPI FindSkinElement(const char* objectName);
BOOL WINAPI GetSkinElementFont(HSKINELEMENT element, const char* item, LOGFONTA* font, COLORREF* color);
// capacity: in, the buffer's size; out, the item's size when it does not fit.
BOOL WINAPI GetSkinElementData(HSKINELEMENT element, const char* item, void* buffer, DWORD* capacity);
BOOL WINAPI GetSkinElementKind2Value(HSKINELEMENT element, const char* item, DWORD* value);
BOOL WINAPI GetSkinElementKind5Value(HSKINELEMENT element, const char* item, DWORD* value);
BOOL WINAPI GetSkinElementKind6Value(HSKINELEMENT element, const char* item, DWORD* value);
BOOL WINAPI GetSkinElementKind7Value(HSKINELEMENT element, const char* item, DWORD* value);
// The second entry point of the kind-7 read.
BOOL WINAPI GetSkinElementValue(HSKINELEMENT element, const char* item, DWORD* value);
BOOL WINAPI DrawSkinElementImage(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect);
BOOL WINAPI GetSkinElementRegion(HSKINELEMENT element, const char* item, const RECT* rect, SIZE* size,
                                 HRGN* region);
BOOL WINAPI DrawSkinElementGrid(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect);
BOOL WINAPI DrawSkinElementGridFrame(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect);
BOOL WINAPI DrawSkinElementText(HSKINELEMENT element, const char* item, HDC dc, RECT* rect,
                                const char* text, int length, UINT format);
BOOL WINAPI SkinNotSupportedA(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR d);
BOOL WINAPI SkinNotSupportedB(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR d);

// --- Plain object accessors (no started check, no error) ------------------------------------
BOOL WINAPI GetSkinObjectRect(HSKINELEMENT element, RECT* rect, DWORD* value);
BOOL WINAPI GetSkinObjectBackColor(HSKINELEMENT element, COLORREF* color);
BOOL WINAPI GetSkinObjectTextColor(HSKINELEMENT element, COLORREF* color);
BOOL WINAPI GetSkinObjectFont(HSKINELEMENT element, HFONT* font, COLORREF* color);
BOOL WINAPI GetSkinObjectValue(HSKINELEMENT element, DWORD* value);
BOOL WINAPI GetSkinTransparency(COLORREF* keyColor, BOOL* transparent);

// --- Other functions ------------------------------------------------------------------------
// The caller owns the image list / bitmap.
HIMAGELIST WINAPI CreateSkinImageList(const char* objectName);
HBITMAP WINAPI GetSkinImageBitmap(const char* objectName);
COLORREF WINAPI GetSkinSysColor(int index);
HBRUSH WINAPI GetSkinSysColorBrush(int index);
int WINAPI TrackSkinPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);
int WINAPI TrackSkinPopupMenuEx(HMENU menu, const char* objectName, UINT flags, int x, int y, HWND owner,
                                DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4, DWORD_PTR p5);
// point: screen position, or null for the cursor position. The first argument is not read.
BOOL WINAPI ShowSkinTooltip(DWORD_PTR unused, const char* text, const POINT* point);
BOOL WINAPI HideSkinTooltip(void);

}  // extern "C"

class CSkinAccelTable;

// Engine-wide state for the rest of the engine. All of these are safe from any thread.
namespace SkinEngine {

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);

bool IsStarted();
// The module handle given to the first InitSkinLibrary (hooks, window classes).
HINSTANCE GetInstance();
// SetLayeredWindowAttributes as looked up at the first start-up; null where the system lacks it.
SetLayeredWindowAttributesFn GetLayeredWindowAttributes();
// The OS class computed at the first start-up (0..7).
int GetOsClass();

// The thread's WH_CALLWNDPROC / WH_KEYBOARD hook installed by InitSkinLibrary; null when the
// thread is not started (a hook procedure then answers 0 without passing on).
HHOOK GetCallWndProcHook(DWORD threadId);
HHOOK GetKeyboardHook(DWORD threadId);

// Sets the calling thread's last error (for engine parts that fail on behalf of a public call).
void SetThreadError(int code);

// The name of the skin object every new dialog gets; empty when dialogs are not skinned.
std::string GetDialogSkinName();

// Windows told when a skin is applied, with their messages (a copy, safe to send from).
std::vector<std::pair<HWND, UINT>> GetSkinChangeNotices();
// Sends each registered window its skin-change message (wParam 0, lParam 0).
void SendSkinChangeNotices();

// Looks up the window's accelerator copy (SetWindowAccelerators) for a virtual key with the
// current modifier state; true and the entry copied when one matches.
bool FindWindowAccelerator(HWND hwnd, UINT virtualKey, ACCEL* entry);
bool HasWindowAccelerators(HWND hwnd);

// Whether the window's scroll bars were skinned through SetWindowScrollBarSkin.
bool HasSkinnedScrollBars(HWND hwnd);

}  // namespace SkinEngine
