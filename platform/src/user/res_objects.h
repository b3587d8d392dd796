// Window-system objects made from the program's resources, for the window system's own callers.
#pragma once

#include "windows.h"

namespace plat::user {

// Icons and cursors from the program's resources (LoadCursorA calls the second for names that
// are not system cursors). Null when missing.
HICON LoadIconResource(const char* name, int cx, int cy);
HCURSOR LoadCursorResource(const char* name, int cx, int cy);

}  // namespace plat::user
