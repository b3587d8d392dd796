#include "SkinnerRegistry.h"

#include <atomic>

#include "SkinObject.h"
#include "SkinWindow.h"

namespace {

constexpr int kTypeSlots = SKIN_TOOLTIP + 1;

// Read on every GUI thread whenever a control is skinned; written at start-up (and by tests).
std::atomic<SkinControlMaker> g_controlMakers[kTypeSlots];
std::atomic<SkinWindowMaker> g_windowMakers[SKINKIND_COUNT];

bool IsKind(SkinWindowKind kind) { return kind >= 0 && kind < SKINKIND_COUNT; }

}  // namespace

bool IsSkinnerType(int type)
{
    switch (type) {
    case SKIN_BUTTON:
    case SKIN_CHECKBOX:
    case SKIN_COMBOBOX:
    case SKIN_EDIT:
    case SKIN_GROUPBOX:
    case SKIN_LISTBOX:
    case SKIN_PROGRESSBAR:
    case SKIN_RADIO:
    case SKIN_SCROLLBAR:
    case SKIN_SLIDER:
    case SKIN_STATIC:
    case SKIN_STATUSBAR:
    case SKIN_TAB:
    case SKIN_TOOLBAR:
    case SKIN_CONTROLBAR:
    case SKIN_SCROLLCONTROL:
    case SKIN_SPIN:
    case SKIN_LISTVIEW:
    case SKIN_TREEVIEW:
    case SKIN_RICHEDIT:
    case SKIN_DATETIME:
    case SKIN_MONTHCALENDAR:
    case SKIN_REBAR:
    case SKIN_HEADER:
    case SKIN_ANIMATE:
    case SKIN_LINKWND:
    case SKIN_TOOLTIP:
        return true;
    default:
        return false;
    }
}

BOOL RegisterControlSkinner(int type, SkinControlMaker maker)
{
    if (!IsSkinnerType(type))
        return FALSE;
    g_controlMakers[type].store(maker);
    return TRUE;
}

BOOL RegisterWindowSkinner(SkinWindowKind kind, SkinWindowMaker maker)
{
    if (!IsKind(kind))
        return FALSE;
    g_windowMakers[kind].store(maker);
    return TRUE;
}

CSkinWindow* MakeControlSkinner(int type, CSkinWindow* owner)
{
    if (!IsSkinnerType(type))
        return nullptr;
    const SkinControlMaker maker = g_controlMakers[type].load();
    if (!maker && type == SKIN_TOOLTIP)
        return nullptr;  // the base would take the control's mouse and paint no text: left as it is
    return maker ? maker(type, owner) : new CSkinWindow;
}

CSkinWindow* MakeWindowSkin(SkinWindowKind kind)
{
    if (!IsKind(kind))
        return nullptr;
    const SkinWindowMaker maker = g_windowMakers[kind].load();
    return maker ? maker() : new CSkinWindow;
}
