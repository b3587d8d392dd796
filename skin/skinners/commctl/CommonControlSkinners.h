// The skinners of the bar-like and special common controls: tab, header, toolbar (docked and
// floating), rebar, status bar, control bar, date-time picker, month calendar, animation and
// link window.
#pragma once

// Installs this group's makers with the engine (see SkinnerRegistry.h).
void InstallCommonControlSkinners();
