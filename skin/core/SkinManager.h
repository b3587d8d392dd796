// The engine's single skin manager: the current skin file, every skinned window mapped to its
// skin, the class-name table that tells what a window is, the attach and remove operations,
// and the skinner factory that turns a type code into a new control skinner.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>

class CSkinFile;
class CSkinObject;
class CSkinWindow;

class CSkinManager {
public:
    CSkinManager();
    ~CSkinManager();
    CSkinManager(const CSkinManager&) = delete;
    CSkinManager& operator=(const CSkinManager&) = delete;

    // The process's manager.
    static CSkinManager& Instance();

    // The skin type code for a window by its class name and style (0: not skinned).
    int ClassifyWindow(HWND hwnd);
    // The class-name table ClassifyWindow reads: each name with its skin type code. "Button"
    // is filed under the names of its kinds as well (group box, check box, radio button).
    std::map<std::string, int> GetClassTable();
    // A new control skinner for the type (SkinnerRegistry.h), or null. `owner` is the skinned
    // window whose child the control is, if any.
    static CSkinWindow* CreateControlSkinner(int type, CSkinWindow* owner = nullptr);

    CSkinWindow* FindSkinWindow(HWND hwnd);
    BOOL AttachFrameSkin(HWND hwnd, const char* name);
    BOOL AttachWindowSkin(HWND hwnd, const char* name);
    BOOL AttachDialogSkin(HWND hwnd, const char* name);
    BOOL AttachFloatingToolBar(HWND hwnd);
    // Takes the window's skin away and deletes it. With destroying set (the window is going)
    // only the window procedure and the property are put back; nothing is redrawn.
    BOOL RemoveSkin(HWND hwnd, BOOL destroying);
    // 1 when added; 0 when the window is already mapped (or an argument is null).
    int RegisterWindow(CSkinWindow* skin, HWND hwnd);
    void AddWindow(HWND hwnd, CSkinWindow* skin);
    // Takes the window out of the map without deleting its skin; the skin is returned. With
    // `only` given, the entry goes only when it holds that skin.
    CSkinWindow* UnregisterWindow(HWND hwnd, CSkinWindow* only = nullptr);
    CSkinWindow* FindSkinnedAncestor(HWND hwnd);
    // Takes ownership of the file: it becomes the current skin and every skinned window is
    // given its object from it. 0 for a null file.
    int ApplySkinToAllWindows(CSkinFile* file);
    BOOL CreateControlSkin(HWND hwnd, const char* name, const char* parentName);
    CSkinFile* GetSkinFile();
    void Cleanup();

    // Number of mapped windows (for tests and diagnostics).
    size_t GetWindowCount();

    // Sends the skin-change notices after a skin was applied. The engine installs this
    // (its list of windows registered for the notice); without one nothing is sent.
    using ChangeNotifier = void (*)();
    void SetChangeNotifier(ChangeNotifier notifier) { m_pfnNotifier = notifier; }

    void Lock() { m_lock.lock(); }
    void Unlock() { m_lock.unlock(); }

private:
    // Attaches a new skin to the window: `find` picks the object from the current file and
    // `make` the skin for it, both under the lock that enters the window in the map, so a skin
    // applied meanwhile sees the window and moves it to its own file before the old one goes.
    using ObjectLookup = std::function<CSkinObject*(CSkinFile&)>;
    using SkinMaker = std::function<CSkinWindow*(CSkinObject&)>;
    BOOL AttachNew(HWND hwnd, const ObjectLookup& find, const SkinMaker& make, bool sendSysColor);
    // Removes a skin whose entry was already erased.
    static void ReleaseSkin(HWND hwnd, CSkinWindow* skin, BOOL destroying);

    std::recursive_mutex m_lock;
    std::map<HWND, CSkinWindow*> m_windows;
    std::map<std::string, int> m_classes;
    CSkinFile* m_pSkinFile;
    ChangeNotifier m_pfnNotifier = nullptr;
};
