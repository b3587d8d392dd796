// The program's default skin, made in code: every object the dialogs, controls, menus, scroll
// bars and tooltips look up, and the pictures they cut their parts from.
#pragma once

#include "SkinFile.h"

namespace skinbuild {

// The name of the skin file beside the program.
constexpr const char kSkinFileName[] = "z-arud.qvk";

// Fills an empty skin with the default objects and pictures. The result depends on nothing but
// this code, so two builds give the same bytes.
void BuildDefaultSkin(CSkinFile& skin);

}  // namespace skinbuild
