// Window-system objects made from the program's resources, for the window system's own callers.
#pragma once

#include "windows.h"

namespace plat::user {

// A cursor from the program's resources, shared as LoadCursorA's are (LoadCursorA calls it for
// names that are not system cursors). Null when missing.
HCURSOR LoadCursorResource(const char* name, int cx, int cy);

}  // namespace plat::user
