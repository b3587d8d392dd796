#include "Skinners.h"

#include <mutex>

#include "CommonControlSkinners.h"
#include "ControlSkinners.h"
#include "SkinTooltipSetup.h"
#include "WindowSkinners.h"

void InstallSkinners()
{
    static std::once_flag once;
    std::call_once(once, [] {
        InstallSkinTooltip();
        InstallWindowSkinners();
        InstallControlSkinners();
        InstallCommonControlSkinners();
    });
}
