// Icons and cursors from their stored form, for the resource loaders and LoadImage.
#pragma once

#include <cstddef>

#include "windows.h"

namespace plat::user {

// An icon or cursor image as icon files and resources store it: a DIB of 1, 4, 8, 24 or 32 bits
// whose height counts the colour rows and then the AND mask's. `hotspot` is a cursor's.
HICON IconFromDib(const BYTE* p, size_t size, POINT hotspot, bool icon);

// From an .ico or .cur file: the image nearest in size to cx×cy (the largest for 0×0), stretched
// to that size when the file has none of it. Null for a missing or malformed file.
HICON LoadIconFile(const char* path, int cx, int cy, bool icon);

}  // namespace plat::user
