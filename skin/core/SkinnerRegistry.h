// Where the skinners plug into the engine: one maker per control type and one per kind of
// whole-window skin. The skinner libraries (skin/skinners/*, skin/tooltip) install theirs once,
// before the engine's first start-up; a type or kind without a maker is skinned by the
// skinned-window base. The engine's other seams: the tooltip, popup-menu and scroll-bar
// services (SkinEngineServices.h), the frame-element maker and the elements' tooltip
// (SkinWindow.h).
#pragma once

#include <windows.h>

class CSkinWindow;

// The whole-window skins the manager attaches.
enum SkinWindowKind : int {
    SKINKIND_FRAME,            // a top-level or MDI child frame with a FrameWnd object (type 1)
    SKINKIND_DIALOG,           // a dialog with the dialog skin's object
    SKINKIND_SHAPE,            // a shaped window with a ShapeWnd object (type 2)
    SKINKIND_TYPE45,           // a window with an object of type 45
    SKINKIND_FLOATINGTOOLBAR,  // a toolbar outside any rebar or control bar
    SKINKIND_COUNT
};

// A new, unattached skinner for a control of the type. `owner` is the skinned window under
// which the control was found, null when the control is skinned on its own.
using SkinControlMaker = CSkinWindow* (*)(int type, CSkinWindow* owner);
// A new, unattached whole-window skin.
using SkinWindowMaker = CSkinWindow* (*)();

// The types the factory makes a control skinner for (4 to 16, 23, 24, 26 to 31, 35 to 37, 40,
// 41, and 42 for the platform's tooltip controls once its skinner is installed); every other
// type leaves a window unskinned.
bool IsSkinnerType(int type);

// Installs the maker for the type or kind, replacing the earlier one; null puts the base back.
// FALSE (and nothing changes) for a type that is not a skinner type or a kind out of range.
BOOL RegisterControlSkinner(int type, SkinControlMaker maker);
BOOL RegisterWindowSkinner(SkinWindowKind kind, SkinWindowMaker maker);

// What the manager and the skinned windows call: the installed maker's skinner, or the base.
// Null for a type that is not a skinner type or a kind out of range.
CSkinWindow* MakeControlSkinner(int type, CSkinWindow* owner);
CSkinWindow* MakeWindowSkin(SkinWindowKind kind);

// One line in a group's install function registers a skinner whose source file defines the
// maker in the same namespace as that function:
//   SKIN_CONTROL_SKINNER(SKIN_BUTTON, MakeButtonSkinner);
//   SKIN_WINDOW_SKINNER(SKINKIND_DIALOG, MakeDialogSkin);
#define SKIN_CONTROL_SKINNER(type, maker)            \
    do {                                             \
        CSkinWindow* maker(int, CSkinWindow*);       \
        RegisterControlSkinner((type), &maker);      \
    } while (0)
#define SKIN_WINDOW_SKINNER(kind, maker)             \
    do {                                             \
        extern CSkinWindow* maker();                 \
        RegisterWindowSkinner((kind), &maker);       \
    } while (0)
