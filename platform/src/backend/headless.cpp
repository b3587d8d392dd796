#include "backend/headless.h"

#include <cstdio>
#include <cstring>

#include "core/clock.h"
#include "core/handles.h"
#include "backend/compositor.h"

namespace plat {

HeadlessBackend::HeadlessBackend(WindowSystemPort& port, int screen_width, int screen_height)
    : port_(port) {
    RECT r{0, 0, screen_width > 0 ? screen_width : 1024, screen_height > 0 ? screen_height : 768};
    monitors_.push_back(MonitorArea{r, r});
}

void HeadlessBackend::CreateTopLevel(HWND hwnd, const RECT& screen_rect, bool popup) {
    std::lock_guard<std::mutex> g(mu_);
    WindowRecord& r = windows_[hwnd];
    r = WindowRecord{};
    r.rect = screen_rect;
    r.popup = popup;
}

void HeadlessBackend::DestroyTopLevel(HWND hwnd) {
    std::lock_guard<std::mutex> g(mu_);
    windows_.erase(hwnd);
}

void HeadlessBackend::MoveTopLevel(HWND hwnd, const RECT& screen_rect) {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.rect = screen_rect;
}

void HeadlessBackend::ShowTopLevel(HWND hwnd, bool visible) {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.visible = visible;
}

// Stacking order is the window system's (TopLevelsInZOrder); nothing to keep here.
void HeadlessBackend::RaiseTopLevel(HWND) {}

void HeadlessBackend::SetTopLevelOwner(HWND hwnd, HWND owner) {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.owner = owner;
}

void HeadlessBackend::FocusTopLevel(HWND hwnd) {
    std::lock_guard<std::mutex> g(mu_);
    if (windows_.count(hwnd)) keyboard_ = hwnd;
}

HWND HeadlessBackend::KeyboardWindow() const {
    std::lock_guard<std::mutex> g(mu_);
    return windows_.count(keyboard_) ? keyboard_ : nullptr;
}

void HeadlessBackend::SetTitle(HWND hwnd, const char* utf8) {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.title = utf8 ? utf8 : "";
}

// The compositor reads the surfaces themselves when a test captures the screen.
void HeadlessBackend::Present(HWND hwnd, const Surface&, const RECT&) {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) ++it->second.presents;
}

bool HeadlessBackend::WaitAndDispatch(int timeout_ms) {
    // Timeouts run on the layer's clock: under virtual time a wait for a timer ends when a
    // test advances the clock past it, not after real milliseconds.
    uint64_t deadline = timeout_ms < 0 ? clock::kForever : clock::NowMs() + uint64_t(timeout_ms);
    bool woke;
    {
        std::unique_lock<std::mutex> lock(mu_);
        clock::WaitUntil(cv_, lock, deadline, [this] { return woken_ || !queue_.empty(); });
        woke = woken_ || !queue_.empty();
        woken_ = false;
    }
    DispatchQueuedInput();
    return woke;
}

void HeadlessBackend::Wake() {
    {
        std::lock_guard<std::mutex> g(mu_);
        woken_ = true;
    }
    cv_.notify_all();
}

std::vector<MonitorArea> HeadlessBackend::Monitors() const {
    std::lock_guard<std::mutex> g(mu_);
    return monitors_;
}

void HeadlessBackend::SetCursorShape(int idc) {
    std::lock_guard<std::mutex> g(mu_);
    cursor_ = idc;
}

int HeadlessBackend::CursorShape() const {
    std::lock_guard<std::mutex> g(mu_);
    return cursor_;
}

// Silent, but it answers as the real thing would: a sound that cannot be played fails.
bool HeadlessBackend::PlaySoundFile(const char* path) {
    if (!path || !*path) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char head[12];
    bool wav = std::fread(head, 1, 12, f) == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
               std::memcmp(head + 8, "WAVE", 4) == 0;
    std::fclose(f);
    return wav;
}

void HeadlessBackend::InjectInput(const InputEvent& e) {
    {
        std::lock_guard<std::mutex> g(mu_);
        queue_.push_back(e);
    }
    cv_.notify_all();
}

int HeadlessBackend::DispatchQueuedInput() {
    int n = 0;
    // One at a time, without the lock: delivering input runs window-system code that may
    // inject or wake in turn.
    for (;;) {
        InputEvent e;
        {
            std::lock_guard<std::mutex> g(mu_);
            if (queue_.empty()) break;
            e = queue_.front();
            queue_.pop_front();
        }
        port_.Deliver(e);
        ++n;
    }
    return n;
}

Surface HeadlessBackend::CaptureScreen() {
    RECT v = VirtualScreen();
    Surface screen(v.right - v.left, v.bottom - v.top);
    // Windows are drawn under the window system's lock; a capture from another thread takes
    // it too, so it never reads a frame half drawn.
    Guard g(GlobalLock());
    Composite(port_.TopLevels(), screen, POINT{v.left, v.top});
    return screen;
}

void HeadlessBackend::SetScreenSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    std::lock_guard<std::mutex> g(mu_);
    RECT r{0, 0, width, height};
    monitors_.assign(1, MonitorArea{r, r});
}

namespace {

bool Inside(const RECT& in, const RECT& out) {
    return in.left >= out.left && in.top >= out.top && in.right <= out.right && in.bottom <= out.bottom;
}

// Displays lie within this far of the origin, so a capture of them all stays a sane size.
constexpr long kMaxExtent = 8192;

}  // namespace

bool HeadlessBackend::SetMonitors(const std::vector<MonitorArea>& monitors) {
    if (monitors.empty() || monitors[0].monitor.left != 0 || monitors[0].monitor.top != 0) return false;
    for (const MonitorArea& m : monitors) {
        const RECT& r = m.monitor;
        if (r.right <= r.left || r.bottom <= r.top || r.left < -kMaxExtent || r.top < -kMaxExtent ||
            r.right > kMaxExtent || r.bottom > kMaxExtent)
            return false;
        if (m.work.right <= m.work.left || m.work.bottom <= m.work.top || !Inside(m.work, r)) return false;
    }
    std::lock_guard<std::mutex> g(mu_);
    monitors_ = monitors;
    return true;
}

bool HeadlessBackend::Record(HWND hwnd, WindowRecord* out) const {
    std::lock_guard<std::mutex> g(mu_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return false;
    *out = it->second;
    return true;
}

}  // namespace plat
