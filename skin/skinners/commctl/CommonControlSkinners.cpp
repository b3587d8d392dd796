#include "CommonControlSkinners.h"

#include "SkinnerRegistry.h"

void InstallCommonControlSkinners()
{
    // One line per skinner of this folder, whose source defines the maker, for example
    //   SKIN_CONTROL_SKINNER(SKIN_TAB, MakeTabSkinner);
    //   SKIN_WINDOW_SKINNER(SKINKIND_FLOATINGTOOLBAR, MakeFloatingToolBarSkin);
}
