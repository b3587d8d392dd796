#include "WindowSkinners.h"

#include "FrameElements.h"
#include "SkinPopupMenu.h"
#include "SkinWindow.h"
#include "SkinnerRegistry.h"

void InstallWindowSkinners()
{
    // The elements of every skinned window's frame; then one line per whole-window skin of
    // this folder, whose source defines the maker.
    SetSkinElementCreator(&CreateFrameElement);
    InstallSkinPopupMenu();
    SKIN_WINDOW_SKINNER(SKINKIND_FRAME, MakeFrameSkin);
    SKIN_WINDOW_SKINNER(SKINKIND_DIALOG, MakeDialogSkin);
    SKIN_WINDOW_SKINNER(SKINKIND_SHAPE, MakeShapeSkin);
    SKIN_WINDOW_SKINNER(SKINKIND_TYPE45, MakeType45Skin);
}
