#include "WindowSkinners.h"

#include "SkinnerRegistry.h"

void InstallWindowSkinners()
{
    // One line per skin of this folder, whose source defines the maker, for example
    //   SKIN_WINDOW_SKINNER(SKINKIND_DIALOG, MakeDialogSkin);
    // The frame-element maker and the popup-menu service are installed here as well
    // (SetSkinElementCreator, SetSkinPopupMenuService).
}
