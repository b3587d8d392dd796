// The skinned tooltip as the engine's tooltip service.
#pragma once

// Installs the tooltip with the engine (SetSkinTooltipService, SetSkinElementTooltip) and the
// skinner of the platform's tooltip controls (type 42).
void InstallSkinTooltip();
