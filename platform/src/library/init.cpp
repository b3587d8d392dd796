// The library's start-up: the layers meet here. A lower layer never calls up; it offers a
// registration point, and this is where each one is given what the layers above provide.
#include "backend/backend.h"
#include "backend/window_system_port.h"
#include "commctrl/common.h"
#include "controls/common.h"
#include "gdi/screen.h"
#include "user/backend_port.h"
#include "vfw/api.h"

namespace {

RECT BackendScreen() { return plat::CurrentBackend().ScreenRect(); }

struct Startup {
    Startup() {
        plat::gdi::SetScreenRectSource(BackendScreen);
        plat::SetWindowSystemPort(&plat::user::BackendPort());
        plat::controls::RegisterStandardClasses();
        plat::commctrl::RegisterCommonClasses();
        plat::vfw::RegisterVideoModules();
    }
};
const Startup g_startup;

}  // namespace
