#include "SkinTooltipSetup.h"

void InstallSkinTooltip()
{
    // The tooltip window's service and the elements' tooltip are set here once they exist.
}
