// The skinners of the standard controls (buttons, statics, edits, lists, combo boxes, sliders,
// progress bars, scroll-bar and spin controls, list and tree views, IP-address controls) and
// the skinned scroll bars.
#pragma once

// Installs this group's makers and services with the engine (see SkinnerRegistry.h).
void InstallControlSkinners();
