// Image lists: equal-sized images kept as 32-bit pixels with an optional transparency mask.
#pragma once

#include "commctrl.h"

namespace plat::commctrl {
// Size of the list's images; false for a bad handle.
bool ImageListSize(HIMAGELIST himl, int* cx, int* cy);
}
