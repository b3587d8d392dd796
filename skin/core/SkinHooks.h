// The two thread hooks that make skinning automatic: the call-window hook skins new dialogs,
// the controls created under skinned windows and floating toolbars; the keyboard hook routes
// menu keys to the skinned window that owns the menu and swallows accelerators whose menu
// command is disabled.
#pragma once

#include <windows.h>

#include <vector>

// A copy of an accelerator table, kept per window by the engine.
class CSkinAccelTable {
public:
    CSkinAccelTable() = default;
    // Copies the table; an invalid handle leaves it empty.
    explicit CSkinAccelTable(HACCEL accel);
    BOOL Copy(HACCEL accel);
    void Clear();
    int GetCount() const { return int(m_entries.size()); }
    const ACCEL* GetEntries() const { return m_entries.data(); }
    // The first entry for the key whose required modifiers are down (modifiers that the entry
    // does not require are not checked).
    BOOL Find(int virtualKey, ACCEL* out) const;

private:
    std::vector<ACCEL> m_entries;
};

// What the hooks read from the engine's per-thread and engine-wide state. The engine installs
// it at start-up; tests may install their own. Each member may be null.
struct SkinHookEnvironment {
    // The calling thread's WH_CALLWNDPROC / WH_KEYBOARD hook, or null when it has none.
    HHOOK (*callWndHook)();
    HHOOK (*keyboardHook)();
    // Copies the dialog skin name (at most 50 characters and a terminator) into out[51];
    // an empty name means dialogs are not skinned automatically.
    void (*getDialogSkinName)(char* out);
    // Looks the key up in the window's accelerator copy; false without a copy or a match.
    BOOL (*findAccelerator)(HWND hwnd, int virtualKey, ACCEL* out);
};
void SetSkinHookEnvironment(const SkinHookEnvironment* environment);

// WH_CALLWNDPROC hook procedure (lParam: CWPSTRUCT*).
LRESULT CALLBACK CallWndProcHookProc(int code, WPARAM wParam, LPARAM lParam);
// WH_KEYBOARD hook procedure (wParam: virtual key, lParam: key data).
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
