// The window tree: classes, windows and the per-thread state of the window system.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/handles.h"
#include "core/surface.h"
#include "gdi/region.h"
#include "windows.h"

namespace plat::user {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int cls_extra = 0;
    int wnd_extra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON icon_small = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::string menu_name;
    bool system = false;  // registered by the layer; shared by every instance
    int windows = 0;      // live windows of the class
    std::vector<uint8_t> extra;
};

// One scroll bar's state, as SCROLLINFO holds it.
struct ScrollState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int track = 0;
    UINT disabled = ESB_ENABLE_BOTH;  // ESB_DISABLE_* arrows
    bool tracking = false;
};

struct Window {
    HWND hwnd = nullptr;
    std::shared_ptr<WindowClass> cls;
    DWORD tid = 0;
    HWND parent = nullptr;  // child windows only; top levels have none
    HWND owner = nullptr;
    std::vector<HWND> children;  // z-order, topmost first
    DWORD style = 0;
    DWORD exstyle = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;  // child id (the menu handle slot of top levels is `menu`)
    LONG_PTR userdata = 0;
    std::vector<uint8_t> extra;
    std::string text;
    // Rectangles in the parent's client coordinates (screen coordinates for top levels).
    RECT wr{0, 0, 0, 0};
    RECT cr{0, 0, 0, 0};
    RECT normal{0, 0, 0, 0};  // restore position while minimised or maximised
    std::vector<std::pair<std::string, HANDLE>> props;
    HICON icon_big = nullptr;
    HICON icon_small = nullptr;

    // Painting: the update region in client coordinates, and pending frame / erase work.
    Region update;
    bool erase_pending = false;
    bool frame_pending = false;
    bool internal_paint = false;
    bool paint_seen = false;  // BeginPaint or a validation happened during WM_PAINT
    HRGN window_rgn = nullptr;  // owned by the window (window coordinates)
    std::shared_ptr<Region> window_region;
    std::shared_ptr<Surface> surface;  // top levels
    Region dirty;                      // top levels: surface parts not yet presented

    // Layered attributes.
    BYTE alpha = 255;
    COLORREF color_key = 0;
    DWORD layered_flags = 0;

    HMENU menu = nullptr;
    HMENU sysmenu = nullptr;
    ScrollState scroll[2];  // SB_HORZ, SB_VERT
    bool nc_active = false;
    bool shown = false;  // top levels: on the screen (shown or hidden by position changes only)

    bool destroying = false;   // DestroyWindow has begun
    bool destroyed = false;    // WM_NCDESTROY sent, handle freed
    bool created = false;      // WM_CREATE succeeded
    bool is_desktop = false;
    bool is_message_only = false;
};

// The window table. Lookups fail for stale handles.
HandleTable<Window>& Windows();
// Under the global lock.
Window* W(HWND h);
std::shared_ptr<Window> WRef(HWND h);

// The preamble of a function on a window: the global lock for the caller's scope and the
// window; a handle that names none sets ERROR_INVALID_WINDOW_HANDLE, unless the lookup is quiet.
enum class Lookup { Report, Quiet };
class LockedWindow : public Locked<Window> {
public:
    explicit LockedWindow(HWND h, Lookup how = Lookup::Report);
};

HWND Desktop();
// Top levels, z-order, topmost first (the desktop's children).
std::vector<HWND>& TopLevels();

// Geometry helpers (global lock held).
POINT ClientOrigin(const Window* w);  // client (0,0) in screen coordinates
POINT WindowOrigin(const Window* w);  // window (0,0) in screen coordinates
RECT ScreenWindowRect(const Window* w);
RECT ScreenClientRect(const Window* w);
Window* RootOf(Window* w);  // the top level that holds w
// Whether `owner` owns the top level w, directly or through the windows that own w.
bool OwnedBy(const Window* w, HWND owner);
// From the first top-level window on, SIGTERM and SIGINT end the session (session.cpp).
void WatchForSessionEnd();
// Finishes the watch's thread (also done at exit); a signal then ends the process at once, and
// the next window watches again. During a session end, ends the process with its status.
void StopSessionWatch();
// The display is gone: the session ends as on SIGTERM, the process with status 1 (any thread;
// returns at once, the windows' messages are served by their threads as usual).
void EndSessionForLostDisplay();
bool IsVisibleChain(const Window* w);

// Classes.
std::shared_ptr<WindowClass> FindClass(LPCSTR name, HINSTANCE instance);
void EnsureSystemClasses();

// Messages to windows (never with the global lock held).
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void NotifyTopLevelChanged(Window* w);
// Per-thread and window-tree hooks of the subsystems.
void KillWindowTimers(HWND hwnd);
void PurgeWindowMessages(HWND hwnd, DWORD tid);
void ForgetWindowState(HWND hwnd);  // focus, capture, active, tracking
void DestroyThreadWindows(DWORD tid);


// Non-client layout of a window, in window coordinates.
struct NcLayout {
    RECT window{0, 0, 0, 0};
    RECT client{0, 0, 0, 0};
    RECT caption{0, 0, 0, 0};  // empty when there is no caption
    RECT sys_button{0, 0, 0, 0};
    RECT close_button{0, 0, 0, 0};
    RECT max_button{0, 0, 0, 0};
    RECT min_button{0, 0, 0, 0};
    RECT help_button{0, 0, 0, 0};
    RECT menu_bar{0, 0, 0, 0};
    RECT vscroll{0, 0, 0, 0};
    RECT hscroll{0, 0, 0, 0};
    RECT size_box{0, 0, 0, 0};
    int frame = 0;   // outer frame thickness
    int edge = 0;    // client edge thickness
    bool thick = false;
};
NcLayout ComputeNcLayout(DWORD style, DWORD exstyle, bool has_menu, int width, int height, int menu_height);
NcLayout LayoutOf(const Window* w);
int MenuBarHeight(HMENU menu, int width);

}  // namespace plat::user
