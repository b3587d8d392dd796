// Every skinner group and the skinned tooltip, installed with the engine in one call.
#pragma once

// Installs them; call it once before the engine's first start-up (InitSkinLibrary), since the
// engine registers the tooltip's and the popup menu's window classes then. Further calls do
// nothing.
void InstallSkinners();
