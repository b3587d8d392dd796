// The headless backend: top-level windows live only in memory; the screen is what the
// compositor makes of their surfaces when a test captures it; input comes from tests.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "backend/backend.h"
#include "backend/window_system_port.h"

namespace plat {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(WindowSystemPort& port, int screen_width = 1024, int screen_height = 768);

    const char* Name() const override { return "headless"; }
    void CreateTopLevel(HWND hwnd, const RECT& screen_rect, bool popup) override;
    void DestroyTopLevel(HWND hwnd) override;
    void MoveTopLevel(HWND hwnd, const RECT& screen_rect) override;
    void ShowTopLevel(HWND hwnd, bool visible) override;
    void RaiseTopLevel(HWND hwnd) override;
    void SetTitle(HWND hwnd, const char* utf8) override;
    void SetTopLevelOwner(HWND hwnd, HWND owner) override;
    void FocusTopLevel(HWND hwnd) override;
    void Present(HWND hwnd, const Surface& surface, const RECT& dirty) override;
    bool WaitAndDispatch(int timeout_ms) override;
    void Wake() override;
    std::vector<MonitorArea> Monitors() const override;
    void SetCursorShape(int idc) override;
    bool PlaySoundFile(const char* path) override;
    void InjectInput(const InputEvent& e) override;
    int DispatchQueuedInput() override;
    Surface CaptureScreen() override;

    // Tests: one display of that size (windows keep their places).
    void SetScreenSize(int width, int height);
    // Tests: several displays, the primary first with its corner at (0,0); each work area
    // lies inside its display. False (and nothing changes) for a layout that breaks these.
    bool SetMonitors(const std::vector<MonitorArea>& monitors);

    // What the backend has been told about a top-level window, for tests of the window system.
    struct WindowRecord {
        RECT rect{0, 0, 0, 0};
        bool popup = false;
        bool visible = false;
        HWND owner = nullptr;
        std::string title;
        int presents = 0;
    };
    bool Record(HWND hwnd, WindowRecord* out) const;
    int CursorShape() const;
    // The window the desktop's keyboard was last given to (null: none yet).
    HWND KeyboardWindow() const;

private:
    WindowSystemPort& port_;
    mutable std::mutex mu_;
    std::condition_variable cv_;
    std::deque<InputEvent> queue_;
    bool woken_ = false;
    std::vector<MonitorArea> monitors_;
    int cursor_ = 0;
    HWND keyboard_ = nullptr;
    std::map<HWND, WindowRecord> windows_;
};

}  // namespace plat
