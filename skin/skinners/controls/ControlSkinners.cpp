#include "ControlSkinners.h"

#include "SkinnerRegistry.h"

void InstallControlSkinners()
{
    // One line per skinner of this folder, whose source defines the maker, for example
    //   SKIN_CONTROL_SKINNER(SKIN_BUTTON, MakeButtonSkinner);
    // The skinned scroll bars' service is installed here as well (SetSkinScrollBarService).
}
