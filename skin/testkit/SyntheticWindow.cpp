#include "SyntheticWindow.h"

#include <cstring>

#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinObject.h"
#include "SkinnerRegistry.h"

namespace skinkit {

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void EnsureClass(const char* cls)
{
    WNDCLASSA existing{};
    if (GetClassInfoA(Instance(), cls, &existing) || GetClassInfoA(nullptr, cls, &existing))
        return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
}

CSkinObject* FindObject(const char* name, const char* parentName)
{
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    if (!file || !name)
        return nullptr;
    if (!parentName)
        return file->FindObject(name);
    CSkinObject* parent = file->FindObject(parentName);
    return parent ? parent->FindChildRecursive(name) : nullptr;
}

bool IsDialog(HWND hwnd)
{
    char cls[101] = {};
    return GetClassNameA(hwnd, cls, sizeof cls) > 0 && std::strcmp(cls, "#32770") == 0;
}

}  // namespace

HWND CreateSyntheticWindow(const WindowSpec& spec)
{
    EnsureClass(spec.cls);
    const RECT& r = spec.rect;
    return CreateWindowExA(spec.exStyle, spec.cls, spec.text, spec.style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, spec.parent, reinterpret_cast<HMENU>(INT_PTR(spec.id)), Instance(),
                           nullptr);
}

BOOL AttachSkin(HWND hwnd, const char* objectName, const char* parentObjectName)
{
    CSkinObject* object = FindObject(objectName, parentObjectName);
    if (!object)
        return FALSE;
    CSkinManager& manager = CSkinManager::Instance();
    switch (object->GetType()) {
    case SKIN_FRAMEWND:
        return IsDialog(hwnd) ? manager.AttachDialogSkin(hwnd, objectName) : manager.AttachFrameSkin(hwnd, objectName);
    case SKIN_SHAPEWND:
    case SKIN_TYPE45:
        return manager.AttachWindowSkin(hwnd, objectName);
    default:
        return IsSkinnerType(object->GetType()) ? manager.CreateControlSkin(hwnd, objectName, parentObjectName)
                                                : FALSE;
    }
}

CSyntheticWindow::~CSyntheticWindow()
{
    if (IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

BOOL CSyntheticWindow::Detach() { return CSkinManager::Instance().RemoveSkin(m_hwnd, FALSE); }

}  // namespace skinkit
