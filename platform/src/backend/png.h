// PNG files from and to surfaces: screen captures for tests and for the demo, and reference
// images read back by tests.
#pragma once

#include <string>

#include "core/surface.h"

namespace plat::png {

// Writes `surface` as an 8-bit RGBA PNG. With `opaque`, alpha is written as 255 everywhere:
// window surfaces leave alpha undefined (GDI drawing does not maintain it), so a capture of
// what is on screen must not carry it. Returns false (and leaves no partial file) on failure.
bool Write(const Surface& surface, const std::string& path, bool opaque = true);

// Reads any PNG (palette, grey, 16-bit, with or without alpha) into a surface of 0xAARRGGBB
// pixels. Returns false on a missing or malformed file; `out` is then left empty.
bool Read(const std::string& path, Surface* out);

}  // namespace plat::png
