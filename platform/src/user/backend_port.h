// The window system as the backends see it: the top-level windows to show and the sink for
// the input they read from the screen. The library's start-up registers the port.
#pragma once

#include <vector>

#include "backend/window_system_port.h"

namespace plat {

// Every top-level window, bottom to top.
std::vector<TopLevelView> TopLevelsInZOrder();

// Input from the screen, in screen coordinates, routed to the queue of the thread that owns the
// target window (capture, hit testing, focus).
namespace input {
void MouseMove(POINT screen);
void MouseButton(Button button, bool down, POINT screen);
void MouseWheel(int delta, POINT screen);
void Key(UINT vk, bool down);
void Char(uint32_t codepoint);
void CloseRequest(HWND top_level);
void Activate(HWND top_level);
void MinimizeRequest(HWND top_level, bool minimize);
void MovedByDesktop(HWND top_level, POINT screen);
}  // namespace input

namespace user {
WindowSystemPort& BackendPort();
}  // namespace user

}  // namespace plat
