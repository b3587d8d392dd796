// The whole-window skins: frames (with their caption elements and menu bar), dialogs, popup
// menus, shaped and type-45 windows.
#pragma once

// Installs this group's makers and services with the engine (see SkinnerRegistry.h).
void InstallWindowSkinners();
