// SDL key codes to the platform's virtual-key codes.
#pragma once

#include <cstdint>

#include "windef.h"

namespace plat::sdl {

// The virtual-key code (VK_*) for an SDL keycode, 0 for keys the platform has no code for.
// Left and right modifier keys both give the generic code (VK_SHIFT, VK_CONTROL, VK_MENU),
// which is what programs test with GetKeyState.
UINT VirtualKeyFromSdl(int32_t sdl_keycode);

}  // namespace plat::sdl
