// The video-for-windows entry points the layer provides, and their registration under the
// system's module names.
#pragma once

namespace plat::vfw {

// Makes "avifil32.dll" and "msvfw32.dll" loadable with their functions (from the library's
// start-up).
void RegisterVideoModules();

}  // namespace plat::vfw
