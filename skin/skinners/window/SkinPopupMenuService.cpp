// Plugs the skinned popup menu into the engine: the engine's menu loop creates, shows and
// destroys popups through this service, and hands them the keys.
#include <memory>

#include "SkinEngineServices.h"
#include "SkinPopupMenu.h"
#include "WindowSkinners.h"

namespace {

// A tracked popup and the window that was active when it opened: the menu is over as soon as
// another window takes activation.
struct TrackedPopup {
    std::unique_ptr<CSkinPopupMenu> popup;
    HWND active = nullptr;
};

TrackedPopup* Tracked(void* p) { return static_cast<TrackedPopup*>(p); }

void* Create(HWND owner, int mode, const UINT_PTR params[5])
{
    auto tracked = std::make_unique<TrackedPopup>();
    tracked->popup = std::make_unique<CSkinPopupMenu>(owner, nullptr, mode);
    if (params)
        tracked->popup->SetMenuParams(params);
    if (!tracked->popup->CreatePopupWindow())
        return nullptr;
    tracked->active = GetActiveWindow();
    return tracked.release();
}

void SetMenu(void* p, HMENU menu) { Tracked(p)->popup->LoadMenu(menu); }
void SetObject(void* p, CSkinObject* object) { Tracked(p)->popup->SetSkinObject(object); }
void Show(void* p, int x, int y, UINT flags) { Tracked(p)->popup->ShowAt(x, y, flags); }
int Result(void* p) { return int(Tracked(p)->popup->GetResult()); }
void Destroy(void* p) { delete Tracked(p); }
HWND Window(void* p) { return Tracked(p)->popup->GetHwnd(); }

HWND SubmenuWindow(void* p)
{
    CSkinPopupMenu* root = Tracked(p)->popup.get();
    CSkinPopupMenu* inner = root->GetInnermost();
    return inner != root ? inner->GetHwnd() : nullptr;
}

BOOL IsOver(void* p)
{
    const TrackedPopup* t = Tracked(p);
    HWND owner = t->popup->GetOwner();
    if (!t->popup->GetHwnd() || !IsWindow(t->popup->GetHwnd()) || (owner && !IsWindow(owner)))
        return TRUE;
    return t->active && GetActiveWindow() != t->active;
}

const SkinPopupMenuService kService = {&CSkinPopupMenu::PopupWndProc, &Create, &SetMenu, &SetObject, &Show, &Result,
                                       &Destroy, &Window, &SubmenuWindow, &IsOver};

}  // namespace

void InstallSkinPopupMenu() { SetSkinPopupMenuService(&kService); }
