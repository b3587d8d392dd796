// The window system's registration point for the classes it lends to the layers above: the
// standard and common controls give their procedures to the system classes from the library's
// initialisation, and the window system never calls up into them.
#pragma once

#include "windows.h"

namespace plat::user {

// What a control gives its system class. Recorded at once; applied when the window system
// makes its system classes, or straight away when they already exist. A name the window system
// does not know becomes a system class of its own.
struct SystemClassSetup {
    const char* name;  // a system class name ("Button", WC_LISTVIEWA...)
    WNDPROC proc;
    int wnd_extra;
    UINT style;
    HBRUSH background;
};
void RegisterSystemClass(const SystemClassSetup& setup);

// Sets a system class's procedure, extra bytes, style and background now; false when no system
// class has that name.
bool ReplaceSystemClassProc(const char* name, WNDPROC proc, int wnd_extra, UINT style, HBRUSH background);

}  // namespace plat::user
