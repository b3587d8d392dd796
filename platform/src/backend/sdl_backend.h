// The SDL2 backend: each top-level window is a borderless window of its own on the desktop
// (popups as popup-menu windows), painted by uploading its surface to a streaming texture.
#pragma once

#include <memory>

#include "backend/backend.h"
#include "backend/window_system_port.h"

namespace plat {

// Initialises SDL video; null when there is no usable display. The display thread, where every
// SDL video call runs, is the process's main thread: calls from other threads are handed to it
// and carried out in its WaitAndDispatch. The backend ends, giving back what it holds and
// quitting SDL, when destroyed or at the process's exit, whichever comes first; ended, it goes
// on as one without a display.
std::unique_ptr<Backend> CreateSdlBackend(WindowSystemPort& port);

}  // namespace plat
