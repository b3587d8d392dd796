// The skinned tooltip as the engine's tooltip service.
#pragma once

// Installs the tooltip with the engine (SetSkinTooltipService, SetSkinElementTooltip).
void InstallSkinTooltip();
