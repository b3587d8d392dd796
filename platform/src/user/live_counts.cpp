// The tests' leak counters: what is alive now, over every thread and window.
#include "gdi/objects.h"
#include "user/icons.h"
#include "user/queue.h"
#include "user/window.h"
#include "winplat_test.h"

using namespace plat;
using namespace plat::user;

namespace {

size_t WindowCount() {
    size_t n = 0;
    Windows().ForEach([&](const std::shared_ptr<Window>& w) { n += w->is_desktop || w->destroyed ? 0 : 1; });
    return n;
}

size_t IconCount() {
    size_t n = 0;
    gdi::Icons().ForEach([&](const std::shared_ptr<gdi::IconObj>& o) { n += o->shared ? 0 : 1; });
    return n;
}

size_t PropertyCount() {
    size_t n = 0;
    Windows().ForEach([&](const std::shared_ptr<Window>& w) { n += w->props.size(); });
    return n;
}

}  // namespace

int WinTestLiveCount(int kind) {
    size_t n;
    switch (kind) {
        case WINTEST_LIVE_BITMAP: n = gdi::LiveObjectCount(HandleKind::Bitmap); break;
        case WINTEST_LIVE_BRUSH: n = gdi::LiveObjectCount(HandleKind::Brush); break;
        case WINTEST_LIVE_PEN: n = gdi::LiveObjectCount(HandleKind::Pen); break;
        case WINTEST_LIVE_FONT: n = gdi::LiveObjectCount(HandleKind::Font); break;
        case WINTEST_LIVE_REGION: n = gdi::LiveObjectCount(HandleKind::Region); break;
        case WINTEST_LIVE_PALETTE: n = gdi::LiveObjectCount(HandleKind::Palette); break;
        case WINTEST_LIVE_ICON: n = IconCount(); break;
        case WINTEST_LIVE_DC: n = gdi::LiveObjectCount(HandleKind::DC); break;
        case WINTEST_LIVE_TIMER: n = LiveTimerCount(); break;
        case WINTEST_LIVE_PROPERTY: n = PropertyCount(); break;
        case WINTEST_LIVE_HOOK: n = LiveHookCount(); break;
        case WINTEST_LIVE_WINDOW: n = WindowCount(); break;
        default: return -1;
    }
    return int(n);
}
