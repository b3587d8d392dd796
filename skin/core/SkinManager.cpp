#include "SkinManager.h"

#include <algorithm>

#include <cstring>
#include <vector>

#include "SkinFile.h"
#include "SkinObject.h"
#include "SkinWindow.h"
#include "SkinnerRegistry.h"

namespace {

bool IsOtherThreadWindow(HWND hwnd)
{
    return IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId();
}

}  // namespace

CSkinManager::CSkinManager() : m_pSkinFile(new CSkinFile)
{
    static const struct {
        const char* name;
        int type;
    } kClasses[] = {
        {"msctls_statusbar32", SKIN_STATUSBAR},
        {"ToolbarWindow32", SKIN_TOOLBAR},
        {"AfxControlBar42", SKIN_CONTROLBAR},
        {"AfxControlBar42d", SKIN_CONTROLBAR},
        {"AfxControlBar42u", SKIN_CONTROLBAR},
        {"AfxControlBar42ud", SKIN_CONTROLBAR},
        {"AfxControlBar42s", SKIN_CONTROLBAR},
        {"AfxControlBar42sd", SKIN_CONTROLBAR},
        {"AfxControlBar42su", SKIN_CONTROLBAR},
        {"AfxControlBar42sud", SKIN_CONTROLBAR},
        {"AfxControlBar70", SKIN_CONTROLBAR},
        {"AfxControlBar70d", SKIN_CONTROLBAR},
        {"AfxControlBar70u", SKIN_CONTROLBAR},
        {"AfxControlBar70ud", SKIN_CONTROLBAR},
        {"AfxControlBar70s", SKIN_CONTROLBAR},
        {"AfxControlBar70sd", SKIN_CONTROLBAR},
        {"AfxControlBar70su", SKIN_CONTROLBAR},
        {"AfxControlBar70sud", SKIN_CONTROLBAR},
        {"Static", SKIN_STATIC},
        {"Button", SKIN_BUTTON},
        {"GroupBox", SKIN_GROUPBOX},
        {"Radio", SKIN_RADIO},
        {"CheckBox", SKIN_CHECKBOX},
        {"ScrollBar", SKIN_SCROLLBAR},
        {"msctls_progress32", SKIN_PROGRESSBAR},
        {"msctls_updown32", SKIN_SPIN},
        {"msctls_trackbar32", SKIN_SLIDER},
        {"ComboBox", SKIN_COMBOBOX},
        {"SysTabControl32", SKIN_TAB},
        {"Edit", SKIN_EDIT},
        {"SysListView32", SKIN_LISTVIEW},
        {"ListBox", SKIN_LISTBOX},
        {"SysTreeView32", SKIN_TREEVIEW},
        {"RICHEDIT", SKIN_RICHEDIT},
        {"SysIPAddress32", SKIN_SCROLLCONTROL},
        {"SysHeader32", SKIN_HEADER},
        {"ReBarWindow32", SKIN_REBAR},
        {"SysAnimate32", SKIN_ANIMATE},
        {"Link Window", SKIN_LINKWND},
        {"SysMonthCal32", SKIN_MONTHCALENDAR},
        {"SysDateTimePick32", SKIN_DATETIME},
        {"tooltips_class32", SKIN_TOOLTIP},
    };
    for (const auto& c : kClasses)
        m_classes[c.name] = c.type;
}

CSkinManager::~CSkinManager()
{
    // At process exit the windows may be gone with the window system: skins are only freed.
    for (auto& entry : m_windows)
        delete entry.second;
    m_windows.clear();
    delete m_pSkinFile;
}

CSkinManager& CSkinManager::Instance()
{
    // Never destroyed: skins must not be freed behind the window system's back while the
    // process ends; the engine's last shut-down cleans up.
    static CSkinManager* manager = new CSkinManager;
    return *manager;
}

// ---- classification and the factory -------------------------------------------------------------

int CSkinManager::ClassifyWindow(HWND hwnd)
{
    char name[101] = {};
    if (!hwnd || GetClassNameA(hwnd, name, sizeof name) <= 0)
        return 0;
    std::string key = name;
    if (key == "Button") {
        const DWORD s = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
        if ((s & 7) == 7)
            key = "GroupBox";
        else if ((s & 2) == 2 || (s & 3) == 3 || (s & 5) == 5)
            key = "CheckBox";
        else if ((s & 4) == 4 || (s & 9) == 9)
            key = "Radio";
    } else if (key == "ComboLBox") {
        // Only the always-open list of a simple combo box is a list box of its own.
        HWND parent = GetParent(hwnd);
        if (!parent)
            return 0;
        const DWORD ps = DWORD(GetWindowLongA(parent, GWL_STYLE));
        return (ps & 1) && (ps & 3) != 3 ? SKIN_LISTBOX : 0;
    }
    std::lock_guard<std::recursive_mutex> g(m_lock);
    auto it = m_classes.find(key);
    return it == m_classes.end() ? 0 : it->second;
}

std::map<std::string, int> CSkinManager::GetClassTable()
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    return m_classes;
}

CSkinWindow* CSkinManager::CreateControlSkinner(int type, CSkinWindow* owner)
{
    return MakeControlSkinner(type, owner);
}

// ---- the window map ---------------------------------------------------------------------------------

CSkinWindow* CSkinManager::FindSkinWindow(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second;
}

int CSkinManager::RegisterWindow(CSkinWindow* skin, HWND hwnd)
{
    if (!skin || !hwnd)
        return 0;
    std::lock_guard<std::recursive_mutex> g(m_lock);
    return m_windows.emplace(hwnd, skin).second ? 1 : 0;
}

void CSkinManager::AddWindow(HWND hwnd, CSkinWindow* skin) { RegisterWindow(skin, hwnd); }

CSkinWindow* CSkinManager::UnregisterWindow(HWND hwnd, CSkinWindow* only)
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end() || (only && it->second != only))
        return nullptr;
    CSkinWindow* skin = it->second;
    m_windows.erase(it);
    return skin;
}

size_t CSkinManager::GetWindowCount()
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    return m_windows.size();
}

CSkinFile* CSkinManager::GetSkinFile()
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    return m_pSkinFile;
}

CSkinWindow* CSkinManager::FindSkinnedAncestor(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> g(m_lock);
    for (HWND h = hwnd; h;) {
        auto it = m_windows.find(h);
        if (it != m_windows.end() && it->second) {
            CSkinObject* object = it->second->GetSkinObject();
            const int type = object ? object->GetType() : 0;
            if (!object || type == SKIN_FRAMEWND || type == SKIN_SHAPEWND || type == SKIN_TYPE45)
                return it->second;
        }
        const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
        const DWORD ex = DWORD(GetWindowLongA(h, GWL_EXSTYLE));
        if (!(style & WS_CHILD) || (ex & WS_EX_MDICHILD))
            return nullptr;
        h = GetParent(h);
    }
    return nullptr;
}

// ---- attaching ------------------------------------------------------------------------------------------

BOOL CSkinManager::AttachNew(HWND hwnd, const ObjectLookup& find, const SkinMaker& make, bool sendSysColor)
{
    CSkinWindow* skin;
    CSkinObject* object;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        if (m_windows.count(hwnd))
            return FALSE;
        object = find(*m_pSkinFile);
        // A maker that could not make its skin leaves the window as it is.
        skin = object ? make(*object) : nullptr;
        if (!skin)
            return FALSE;
        m_windows.emplace(hwnd, skin);
    }
    // Attaching sends messages and skins the controls: the map is not kept locked meanwhile,
    // so that no other thread waits on it while this one works.
    skin->SetSkinObject(object);
    if (!skin->Attach(hwnd)) {
        // A failed attach leaves no entry behind.
        UnregisterWindow(hwnd, skin);
        CSkinWindow::Destroy(skin);
        return FALSE;
    }
    if (sendSysColor)
        if (HWND top = GetAncestor(hwnd, GA_ROOT))
            SendMessageA(top, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

BOOL CSkinManager::AttachFrameSkin(HWND hwnd, const char* name)
{
    if (!IsWindow(hwnd))
        return FALSE;
    if (IsOtherThreadWindow(hwnd)) {
        // Subclassing belongs on the thread that runs the window's procedure.
        BOOL result = FALSE;
        SkinRunOnWindowThread(hwnd, [&] { result = AttachFrameSkin(hwnd, name); });
        return result;
    }
    return AttachNew(
        hwnd,
        [&](CSkinFile& file) {
            CSkinObject* object = name ? file.FindObject(name) : file.FindObjectByType(SKIN_FRAMEWND);
            return object && object->GetType() == SKIN_FRAMEWND ? object : nullptr;
        },
        [](CSkinObject&) { return MakeWindowSkin(SKINKIND_FRAME); }, true);
}

BOOL CSkinManager::AttachWindowSkin(HWND hwnd, const char* name)
{
    if (!IsWindow(hwnd))
        return FALSE;
    if (IsOtherThreadWindow(hwnd)) {
        BOOL result = FALSE;
        SkinRunOnWindowThread(hwnd, [&] { result = AttachWindowSkin(hwnd, name); });
        return result;
    }
    return AttachNew(
        hwnd, [&](CSkinFile& file) { return name ? file.FindObject(name) : file.FindObjectByType(SKIN_SHAPEWND); },
        [](CSkinObject& object) -> CSkinWindow* {
            if (object.GetType() == SKIN_SHAPEWND)
                return MakeWindowSkin(SKINKIND_SHAPE);
            if (object.GetType() == SKIN_TYPE45)
                return MakeWindowSkin(SKINKIND_TYPE45);
            return nullptr;
        },
        true);
}

BOOL CSkinManager::AttachDialogSkin(HWND hwnd, const char* name)
{
    if (!name || !IsWindow(hwnd))
        return FALSE;
    if (IsOtherThreadWindow(hwnd)) {
        BOOL result = FALSE;
        SkinRunOnWindowThread(hwnd, [&] { result = AttachDialogSkin(hwnd, name); });
        return result;
    }
    return AttachNew(
        hwnd, [&](CSkinFile& file) { return file.FindObject(name); },
        [](CSkinObject&) { return MakeWindowSkin(SKINKIND_DIALOG); }, false);
}

BOOL CSkinManager::AttachFloatingToolBar(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    if (IsOtherThreadWindow(hwnd)) {
        BOOL result = FALSE;
        SkinRunOnWindowThread(hwnd, [&] { result = AttachFloatingToolBar(hwnd); });
        return result;
    }
    return AttachNew(
        hwnd, [](CSkinFile& file) { return file.FindObjectByType(SKIN_TOOLBAR); },
        [](CSkinObject&) { return MakeWindowSkin(SKINKIND_FLOATINGTOOLBAR); }, false);
}

BOOL CSkinManager::CreateControlSkin(HWND hwnd, const char* name, const char* parentName)
{
    if (!name || !IsWindow(hwnd))
        return FALSE;
    if (IsOtherThreadWindow(hwnd)) {
        BOOL result = FALSE;
        SkinRunOnWindowThread(hwnd, [&] { result = CreateControlSkin(hwnd, name, parentName); });
        return result;
    }
    return AttachNew(
        hwnd,
        [&](CSkinFile& file) -> CSkinObject* {
            if (!parentName)
                return file.FindObject(name);
            CSkinObject* parent = file.FindObject(parentName);
            return parent ? parent->FindChildRecursive(name) : nullptr;
        },
        [](CSkinObject& object) { return CreateControlSkinner(object.GetType()); }, false);
}

// ---- removing -------------------------------------------------------------------------------------------

void CSkinManager::ReleaseSkin(HWND hwnd, CSkinWindow* skin, BOOL destroying)
{
    if (!skin)
        return;
    if (destroying)
        skin->DetachDestroyed();
    else
        skin->Detach();
    CSkinWindow::Destroy(skin);
}

BOOL CSkinManager::RemoveSkin(HWND hwnd, BOOL destroying)
{
    if (!destroying && IsOtherThreadWindow(hwnd)) {
        // The owner thread may be inside the window's procedure right now: the skin is
        // taken away there. An owner that cannot be reached leaves it to this thread.
        BOOL result = FALSE;
        if (SkinRunOnWindowThread(hwnd, [&] { result = RemoveSkin(hwnd, FALSE); }))
            return result;
    }
    CSkinWindow* skin;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return FALSE;
        skin = it->second;
        // Out of the map first: detaching calls back into the manager.
        m_windows.erase(it);
    }
    // Detaching sends messages, maybe to other threads: the map is not kept locked meanwhile.
    ReleaseSkin(hwnd, skin, destroying);
    return TRUE;
}

// ---- applying a skin ----------------------------------------------------------------------------------

int CSkinManager::ApplySkinToAllWindows(CSkinFile* file)
{
    if (!file)
        return 0;
    // One skin change at a time; the map lock itself is never held while another thread's
    // window is sent a message, since that thread may be waiting for the lock.
    static std::recursive_mutex applyLock;
    std::lock_guard<std::recursive_mutex> serial(applyLock);

    CSkinFile* old;
    std::vector<std::pair<HWND, CSkinWindow*>> windows;
    bool updateLocked = false;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        old = m_pSkinFile;
        if (old && !old->GetObjects().empty())
            updateLocked = LockWindowUpdate(GetDesktopWindow()) != FALSE;
        m_pSkinFile = file;
        windows.assign(m_windows.begin(), m_windows.end());
    }

    std::vector<HWND> noted;
    for (auto& entry : windows) {
        const HWND hwnd = entry.first;
        CSkinWindow* const expected = entry.second;
        bool remove = false;
        auto update = [&] {
            // Earlier steps may have removed or replaced this skin.
            if (FindSkinWindow(hwnd) != expected || !expected)
                return;
            if (!GetParent(hwnd))
                SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
            if (FindSkinWindow(hwnd) != expected)
                return;
            CSkinObject* current = expected->GetSkinObject();
            CSkinObject* next = nullptr;
            if (current) {
                next = file->FindObject(current->GetName());
                // A same-named object of another kind would be read as the wrong record.
                if (next && next->GetType() != current->GetType())
                    next = nullptr;
                if (!next)
                    next = file->FindObjectByType(current->GetType());
            }
            if (next) {
                expected->SetSkinObject(next);
            } else if (expected->IsMdiClient()) {
                if (current)
                    expected->SetSkinObject(nullptr);  // never keep an object of the old file
            } else {
                remove = true;
            }
        };
        if (!IsWindow(hwnd) || !SkinRunOnWindowThread(hwnd, update))
            remove = true;
        if (remove)
            noted.push_back(hwnd);
    }
    for (HWND hwnd : noted)
        RemoveSkin(hwnd, FALSE);

    // Skins of the walk no longer attached to their entry's window go. Entries made since are
    // attaches still in progress on their own threads, to objects of the new file.
    std::vector<CSkinWindow*> stale;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        for (auto it = m_windows.begin(); it != m_windows.end();) {
            const std::pair<HWND, CSkinWindow*> entry(it->first, it->second);
            const bool walked = std::find(windows.begin(), windows.end(), entry) != windows.end();
            if (walked && (!it->second || it->second->GetHwnd() != it->first)) {
                stale.push_back(it->second);
                it = m_windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (CSkinWindow* skin : stale)
        CSkinWindow::Destroy(skin);

    if (m_pfnNotifier)
        m_pfnNotifier();

    delete old;
    SetSkinCurrentMinorVersion(file->GetMinorVersion());
    if (updateLocked)
        LockWindowUpdate(nullptr);
    return 1;
}

void CSkinManager::Cleanup()
{
    std::vector<std::pair<HWND, CSkinWindow*>> windows;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        windows.assign(m_windows.begin(), m_windows.end());
    }
    for (auto& entry : windows) {
        const HWND hwnd = entry.first;
        CSkinWindow* const expected = entry.second;
        auto detach = [&] {
            if (expected && FindSkinWindow(hwnd) == expected)
                expected->Detach();
        };
        if (!SkinRunOnWindowThread(hwnd, detach))
            detach();
    }
    std::vector<CSkinWindow*> skins;
    CSkinFile* old;
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        for (auto& entry : m_windows)
            skins.push_back(entry.second);
        m_windows.clear();
        old = m_pSkinFile;
        m_pSkinFile = new CSkinFile;
    }
    for (CSkinWindow* skin : skins)
        CSkinWindow::Destroy(skin);
    delete old;
}
