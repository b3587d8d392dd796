#include "backend/sdl_backend.h"

#include <SDL.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/handles.h"
#include "backend/compositor.h"
#include "backend/sdl_keymap.h"
#include "backend/x11_desktop.h"
#include "backend/x11_shape.h"

namespace plat {
namespace {

RECT FromSdl(const SDL_Rect& r) { return RECT{r.x, r.y, r.x + r.w, r.y + r.h}; }
bool EqualRects(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void Shift(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}
bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The desktop's displays and what of each the desktop leaves to windows (display thread).
std::vector<MonitorArea> ReadDisplays() {
    std::vector<MonitorArea> out;
    int n = SDL_GetNumVideoDisplays();
    for (int i = 0; i < n; ++i) {
        SDL_Rect b, u;
        if (SDL_GetDisplayBounds(i, &b) != 0 || b.w <= 0 || b.h <= 0) continue;
        if (SDL_GetDisplayUsableBounds(i, &u) != 0 || u.w <= 0 || u.h <= 0) u = b;
        out.push_back(MonitorArea{FromSdl(b), FromSdl(u)});
    }
    if (out.empty()) out.push_back(MonitorArea{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}});
    return out;
}

SDL_SystemCursor SdlCursorFor(int idc) {
    switch (idc) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

class SdlBackend;
SdlBackend* g_backend = nullptr;  // the one the X connection's loss is told to

class SdlBackend : public Backend {
public:
    SdlBackend(WindowSystemPort& port, Uint32 wake_event) : port_(port), wake_event_(wake_event) {
        if (pipe2(wake_pipe_, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
        displays_ = ReadDisplays();
        SDL_StartTextInput();
        listener_ = clock::AddAdvanceListener([this] { Wake(); });
        g_backend = this;
    }

    ~SdlBackend() override {
        End();
        clock::RemoveAdvanceListener(listener_);
        if (g_backend == this) g_backend = nullptr;
        for (int fd : wake_pipe_)
            if (fd >= 0) close(fd);
    }

    // Gives back every window, cursor and sound and quits SDL; from then on the backend is one
    // without a display, as after the display's loss. Only on the display thread, where SDL
    // runs; after the loss nothing is given back, as no call may reach the dead server, and the
    // loss found here ends no session: the process is ending already, or the owner ends it.
    void End() {
        if (!OnDisplayThread()) return;
        {
            std::lock_guard<std::mutex> g(push_mu_);
            if (lost_.exchange(true)) return;
        }
        if (g_backend == this) g_backend = nullptr;
        // A server that went away unnoticed would hold SDL's teardown in a wait for its answer.
        if (!sdl::X11ConnectionAlive()) return;
        for (auto& [h, w] : wins_) DestroyWin(w);
        wins_.clear();
        for (auto& [id, c] : cursors_) SDL_FreeCursor(c);
        cursors_.clear();
        {
            std::lock_guard<std::mutex> g(sound_mu_);
            for (SDL_AudioDeviceID d : sounds_) SDL_CloseAudioDevice(d);
            sounds_.clear();
            if (audio_ready_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
            audio_ready_ = false;
            ended_ = true;
        }
        sdl::ForgetX11Connection();
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        // The rest of SDL (its D-Bus connection, its hints) goes too, unless another part of the
        // program still plays sound through it.
        if (SDL_WasInit(0) == 0) SDL_Quit();
    }

    const char* Name() const override { return "sdl"; }

    void CreateTopLevel(HWND hwnd, const RECT& r, bool popup) override {
        OnDisplay([=] {
            auto old = wins_.find(hwnd);
            if (old != wins_.end()) {
                DestroyWin(old->second);
                wins_.erase(old);
            }
            Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
            if (popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
            Win w;
            w.rect = r;
            w.shown = r;
            w.popup = popup;
            w.window = SDL_CreateWindow("", r.left, r.top, Width(r), Height(r), flags);
            if (!w.window) return;
            w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_ACCELERATED);
            if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
            by_id_[SDL_GetWindowID(w.window)] = hwnd;
            wins_[hwnd] = w;
            if (!x11_wait_ && wake_pipe_[0] >= 0) x11_wait_ = sdl::WatchX11Connection(w.window, &OnDisplayLost);
        });
    }

    void DestroyTopLevel(HWND hwnd) override {
        OnDisplay([=] {
            auto it = wins_.find(hwnd);
            if (it == wins_.end()) return;
            HandKeyboardOver(hwnd);
            DestroyWin(it->second);
            wins_.erase(it);
            KeepKeyboard();
        });
    }

    void MoveTopLevel(HWND hwnd, const RECT& r) override {
        OnDisplay([=] {
            Win* w = Find(hwnd);
            if (!w) return;
            w->rect = r;
            if (w->minimized) return;  // where it goes back to once restored
            PlaceOnDesktop(*w);
        });
    }

    void ShowTopLevel(HWND hwnd, bool visible) override {
        OnDisplay([=] {
            Win* w = Find(hwnd);
            if (!w) return;
            w->visible = visible;
            if (visible && w->minimized) return;
            if (visible) {
                SDL_ShowWindow(w->window);
                // The window manager may have placed it elsewhere on mapping: the window
                // system decides where top-level windows go.
                RequestPosition(*w);
                SyncShapeAndAlpha(hwnd, *w);
                Redraw(*w);
                if (w->popup || hwnd == keyboard_) KeepKeyboard();
            } else {
                HandKeyboardOver(hwnd);
                SDL_HideWindow(w->window);
                KeepKeyboard();
            }
        });
    }

    void RaiseTopLevel(HWND hwnd) override {
        OnDisplay([=] {
            if (Win* w = Find(hwnd)) sdl::RaiseX11Window(w->window);
        });
    }

    void MinimizeTopLevel(HWND hwnd, bool minimized) override {
        OnDisplay([=] {
            Win* w = Find(hwnd);
            if (!w || w->popup || w->minimized == minimized) return;
            w->minimized = minimized;
            // Without a window manager nobody keeps an icon of it: it is simply not shown.
            const bool manager = sdl::X11HasWindowManager(w->window);
            if (minimized) {
                if (manager) {
                    SDL_MinimizeWindow(w->window);
                } else {
                    ShowStub(hwnd, *w);
                    SDL_HideWindow(w->window);
                }
                return;
            }
            DestroyStub(*w);
            PlaceOnDesktop(*w);
            if (manager && (SDL_GetWindowFlags(w->window) & SDL_WINDOW_MINIMIZED)) SDL_RestoreWindow(w->window);
            if (w->visible) SDL_ShowWindow(w->window);
            Redraw(*w);
            KeepKeyboard();
        });
    }

    void SetTopLevelOwner(HWND hwnd, HWND owner) override {
        OnDisplay([=] {
            Win* w = Find(hwnd);
            Win* o = Find(owner);
            // A popup is no window of the manager's, so it neither stays above nor holds one.
            if (w && o && !w->popup && !o->popup) SDL_SetWindowModalFor(w->window, o->window);
        });
    }

    void FocusTopLevel(HWND hwnd) override {
        OnDisplay([=] {
            Win* w = Find(hwnd);
            if (!w || w->popup) return;
            keyboard_ = hwnd;
            KeepKeyboard();
        });
    }

    void SetTitle(HWND hwnd, const char* utf8) override {
        std::string t = utf8 ? utf8 : "";
        OnDisplay([=] {
            if (Win* w = Find(hwnd)) SDL_SetWindowTitle(w->window, t.c_str());
        });
    }

    void Present(HWND hwnd, const Surface& surface, const RECT& dirty) override {
        RECT d{std::max<LONG>(dirty.left, 0), std::max<LONG>(dirty.top, 0),
               std::min<LONG>(dirty.right, surface.width), std::min<LONG>(dirty.bottom, surface.height)};
        if (d.right <= d.left || d.bottom <= d.top) return;
        if (OnDisplayThread()) {
            if (!lost_) Upload(hwnd, surface, d);
            return;
        }
        // Another thread painted: hand a copy of the dirty pixels to the display thread.
        auto copy = std::make_shared<Surface>(Crop(surface, d));
        int sw = surface.width, sh = surface.height;
        OnDisplay([=] { UploadPart(hwnd, *copy, d, sw, sh); });
    }

    bool WaitAndDispatch(int timeout_ms) override {
        if (lost_) return WaitWithoutDisplay(timeout_ms);
        RunTasks();
        bool any = DispatchQueuedInput() > 0;
        SDL_Event e;
        int got = NextEvent(&e, any ? 0 : timeout_ms, &any);
        while (got && !lost_) {
            any = true;
            Handle(e);
            got = SDL_PollEvent(&e);
        }
        RunTasks();
        any = DispatchQueuedInput() > 0 || any;
        if (!lost_) ReapSounds();
        return any;
    }

    void Wake() override {
        // One wake-up in flight is enough, however often other threads post.
        if (wake_pending_.exchange(true)) return;
        if (wake_pipe_[1] >= 0) {
            ssize_t n = write(wake_pipe_[1], "w", 1);
            (void)n;
        }
        if (x11_wait_ || lost_) return;
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = wake_event_;
        std::lock_guard<std::mutex> g(push_mu_);
        if (!lost_) SDL_PushEvent(&e);  // not while SDL is being quit
    }

    std::vector<MonitorArea> Monitors() const override {
        std::lock_guard<std::mutex> g(displays_mu_);
        return displays_;
    }

    void SetCursorShape(int idc) override {
        OnDisplay([=] {
            SDL_Cursor*& c = cursors_[idc];
            if (!c) c = SDL_CreateSystemCursor(SdlCursorFor(idc));
            if (c) SDL_SetCursor(c);
        });
    }

    bool PlaySoundFile(const char* path) override {
        if (!path || !*path) return false;
        std::lock_guard<std::mutex> g(sound_mu_);
        if (ended_) return false;
        if (!audio_ready_) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
            audio_ready_ = true;
        }
        SDL_AudioSpec spec;
        Uint8* buf = nullptr;
        Uint32 len = 0;
        if (!SDL_LoadWAV(path, &spec, &buf, &len)) return false;
        // A short device buffer: closing a device waits for its buffer to drain, and closing
        // happens on the display thread.
        spec.samples = 512;
        SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        bool ok = dev != 0 && SDL_QueueAudio(dev, buf, len) == 0;
        SDL_FreeWAV(buf);
        if (!ok) {
            if (dev) SDL_CloseAudioDevice(dev);
            return false;
        }
        SDL_PauseAudioDevice(dev, 0);
        sounds_.push_back(dev);
        return true;
    }

    void InjectInput(const InputEvent& e) override {
        {
            std::lock_guard<std::mutex> g(tasks_mu_);
            injected_.push_back(e);
        }
        Wake();
    }

    int DispatchQueuedInput() override {
        int n = 0;
        for (;;) {
            InputEvent e;
            {
                std::lock_guard<std::mutex> g(tasks_mu_);
                if (injected_.empty()) break;
                e = injected_.front();
                injected_.erase(injected_.begin());
            }
            port_.Deliver(e);
            ++n;
        }
        return n;
    }

    Surface CaptureScreen() override {
        RECT v = VirtualScreen();
        Surface s(Width(v), Height(v));
        // As the headless capture: under the lock that drawing holds.
        Guard g(GlobalLock());
        Composite(port_.TopLevels(), s, POINT{v.left, v.top});
        return s;
    }

private:
    struct Request {
        POINT pos;
        Uint32 ticks;
    };
    static constexpr Uint32 kRequestAnswerMs = 1000;

    struct Win {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        int tex_w = 0, tex_h = 0;
        RECT rect{0, 0, 0, 0};
        // Where the desktop has the window, which is what its pointer positions are relative
        // to: a minimised window keeps its place there while the window system moves it away,
        // and the desktop restores it there before the window system hears of it.
        RECT shown{0, 0, 0, 0};
        std::vector<Request> requested;  // positions asked of the desktop, oldest first
        bool popup = false;
        bool visible = false;
        // By the window system; the desktop shows its icon at most. What the window paints
        // meanwhile (its minimised size and shape) never reaches the desktop's window, which
        // the desktop may give back before the window system hears of it.
        bool minimized = false;
        bool stale = false;  // presents were left out: the next one takes the whole surface
        // The window region and layered alpha last given to the desktop.
        bool shaped = false;
        Region shape;
        uint8_t opacity = 255;
        // Minimised without a window manager: the start of its caption at the foot of the
        // screen, which a click restores.
        SDL_Window* stub = nullptr;
        SDL_Renderer* stub_renderer = nullptr;
        SDL_Texture* stub_texture = nullptr;
        int stub_slot = 0;
    };
    static constexpr int kStubWidth = 160, kStubHeight = 28;

    // With no task bar to keep it, a minimised window shows as the left end of its top edge
    // (its caption's icon and title), side by side with others from the screen's lower left
    // corner, as the system does on a desktop without one.
    void ShowStub(HWND hwnd, Win& w) {
        if (w.stub || !w.renderer || !w.texture) return;
        const int sw = std::min(kStubWidth, w.tex_w), sh = std::min(kStubHeight, w.tex_h);
        std::vector<uint32_t> px(size_t(sw) * size_t(sh));
        SDL_Rect part{0, 0, sw, sh};
        SDL_RenderClear(w.renderer);
        SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
        if (SDL_RenderReadPixels(w.renderer, &part, SDL_PIXELFORMAT_ARGB8888, px.data(), sw * 4) != 0) return;
        auto taken = [&](int slot) {
            for (auto& [h, o] : wins_)
                if (o.stub && o.stub_slot == slot) return true;
            return false;
        };
        int slot = 0;
        while (taken(slot)) ++slot;
        const RECT work = Monitors().front().work;
        w.stub = SDL_CreateWindow("", work.left + slot * (kStubWidth + 2), work.bottom - sh, sw, sh,
                                  SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
        if (!w.stub) return;
        w.stub_slot = slot;
        w.stub_renderer = SDL_CreateRenderer(w.stub, -1, SDL_RENDERER_SOFTWARE);
        if (w.stub_renderer)
            w.stub_texture = SDL_CreateTexture(w.stub_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, sw, sh);
        if (w.stub_texture) SDL_UpdateTexture(w.stub_texture, nullptr, px.data(), sw * 4);
        stubs_[SDL_GetWindowID(w.stub)] = hwnd;
        RedrawStub(w);
    }

    void RedrawStub(Win& w) {
        if (!w.stub_renderer) return;
        SDL_RenderClear(w.stub_renderer);
        if (w.stub_texture) SDL_RenderCopy(w.stub_renderer, w.stub_texture, nullptr, nullptr);
        SDL_RenderPresent(w.stub_renderer);
    }

    void DestroyStub(Win& w) {
        if (!w.stub) return;
        stubs_.erase(SDL_GetWindowID(w.stub));
        if (w.stub_texture) SDL_DestroyTexture(w.stub_texture);
        if (w.stub_renderer) SDL_DestroyRenderer(w.stub_renderer);
        SDL_DestroyWindow(w.stub);
        w.stub = nullptr;
        w.stub_renderer = nullptr;
        w.stub_texture = nullptr;
    }

    // Pointer input on a minimised window's stub is for the stub alone: a click on it asks
    // the window system to restore the window. True when the event was a stub's.
    bool HandleStub(const SDL_Event& e) {
        Uint32 id = 0;
        if (e.type == SDL_MOUSEMOTION) id = e.motion.windowID;
        else if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) id = e.button.windowID;
        else if (e.type == SDL_WINDOWEVENT) id = e.window.windowID;
        else return false;
        auto it = stubs_.find(id);
        if (it == stubs_.end()) return false;
        pointer_root_valid_ = false;  // the X server's position of this event was the stub's
        if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT)
            port_.Deliver(InputEvent::Minimize(it->second, false));
        else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED)
            if (Win* w = Find(it->second)) RedrawStub(*w);
        return true;
    }

    static int Width(const RECT& r) { return std::max<int>(1, r.right - r.left); }
    static int Height(const RECT& r) { return std::max<int>(1, r.bottom - r.top); }

    void PlaceOnDesktop(Win& w) {
        if (EqualRects(w.shown, w.rect)) return;
        w.shown = w.rect;
        RequestPosition(w);
        SDL_SetWindowSize(w.window, Width(w.rect), Height(w.rect));
    }

    void RequestPosition(Win& w) {
        w.requested.push_back(Request{POINT{w.rect.left, w.rect.top}, SDL_GetTicks()});
        SDL_SetWindowPosition(w.window, w.rect.left, w.rect.top);
    }

    // The desktop reports the window at (x, y). The answers to our own requests come back
    // here too, late and possibly several at once; a position no request of ours explains,
    // with none in flight, is the window manager's own move (the user dragged it there).
    void OnDesktopMove(HWND h, int x, int y) {
        Win* w = Find(h);
        if (!w || w->popup || w->minimized) return;
        const Uint32 now = SDL_GetTicks();
        auto& q = w->requested;
        // A request the manager refused or changed gets no answer of its own.
        while (!q.empty() && now - q.front().ticks > kRequestAnswerMs) q.erase(q.begin());
        for (size_t i = 0; i < q.size(); ++i)
            if (q[i].pos.x == x && q[i].pos.y == y) {
                q.erase(q.begin(), q.begin() + long(i) + 1);
                return;
            }
        if (!q.empty() || (x == w->shown.left && y == w->shown.top)) return;
        Shift(w->shown, x - w->shown.left, y - w->shown.top);
        w->rect = w->shown;
        port_.Deliver(InputEvent::Moved(h, POINT{x, y}));
    }

    Win* Find(HWND h) {
        auto it = wins_.find(h);
        return it == wins_.end() ? nullptr : &it->second;
    }

    void DestroyWin(Win& w) {
        DestroyStub(w);
        if (w.texture) SDL_DestroyTexture(w.texture);
        if (w.renderer) SDL_DestroyRenderer(w.renderer);
        if (w.window) {
            by_id_.erase(SDL_GetWindowID(w.window));
            SDL_DestroyWindow(w.window);
        }
        w = Win{};
    }

    // The display thread is the process's main thread, whichever thread first asked for the
    // backend: the window system runs the main thread's message loop into WaitAndDispatch.
    static bool OnDisplayThread() { return pid_t(syscall(SYS_gettid)) == getpid(); }

    void OnDisplay(std::function<void()> fn) {
        // Without a display there is nothing left to show or move.
        if (lost_) return;
        if (OnDisplayThread()) {
            fn();
            return;
        }
        {
            std::lock_guard<std::mutex> g(tasks_mu_);
            tasks_.push_back(std::move(fn));
        }
        Wake();
    }

    void RunTasks() {
        std::vector<std::function<void()>> t;
        {
            std::lock_guard<std::mutex> g(tasks_mu_);
            t.swap(tasks_);
        }
        for (auto& fn : t)
            if (!lost_) fn();
    }

    // `fresh` tells whether the texture was (re)made and so holds nothing yet.
    bool EnsureTexture(Win& w, int sw, int sh, bool* fresh = nullptr) {
        if (fresh) *fresh = false;
        if (!w.renderer) return false;
        if (w.texture && w.tex_w == sw && w.tex_h == sh) return true;
        if (fresh) *fresh = true;
        if (w.texture) SDL_DestroyTexture(w.texture);
        w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, sw, sh);
        w.tex_w = sw;
        w.tex_h = sh;
        if (!w.texture) return false;
        // Window surfaces carry no meaningful alpha.
        SDL_SetTextureBlendMode(w.texture, SDL_BLENDMODE_NONE);
        return true;
    }

    void Upload(HWND hwnd, const Surface& s, const RECT& dirty) {
        Win* w = Find(hwnd);
        bool fresh;
        if (!w) return;
        if (w->minimized) {
            w->stale = true;
            return;
        }
        if (!EnsureTexture(*w, s.width, s.height, &fresh)) return;
        // A new texture (first present, or the window changed size) takes the whole surface,
        // as does the first present after presents were left out.
        RECT d = fresh || w->stale ? RECT{0, 0, s.width, s.height} : dirty;
        w->stale = false;
        SDL_Rect r{d.left, d.top, d.right - d.left, d.bottom - d.top};
        SDL_UpdateTexture(w->texture, &r, s.Row(d.top) + d.left, s.width * 4);
        SyncShapeAndAlpha(hwnd, *w);
        Redraw(*w);
    }

    // `part` holds the pixels of `d` of a surface sized sw x sh.
    void UploadPart(HWND hwnd, const Surface& part, const RECT& d, int sw, int sh) {
        Win* w = Find(hwnd);
        if (w && w->minimized) w->stale = true;
        if (!w || w->minimized || part.width <= 0 || !EnsureTexture(*w, sw, sh)) return;
        SDL_Rect r{d.left, d.top, part.width, part.height};
        SDL_UpdateTexture(w->texture, &r, part.pixels.data(), part.width * 4);
        SyncShapeAndAlpha(hwnd, *w);
        Redraw(*w);
    }

    // Window regions become window shapes and constant layered alpha the window's opacity.
    // A change of either comes with a repaint, so checking at each present is enough.
    void SyncShapeAndAlpha(HWND hwnd, Win& w) {
        for (const TopLevelView& v : port_.TopLevels()) {
            if (v.hwnd != hwnd) continue;
            bool want = v.window_region != nullptr;
            if (want != w.shaped || (want && !v.window_region->Equals(w.shape))) {
                std::vector<sdl::ShapeRect> rects;
                if (want)
                    for (const RECT& r : v.window_region->Rects()) rects.push_back({r.left, r.top, r.right, r.bottom});
                sdl::SetX11WindowShape(w.window, want ? &rects : nullptr);
                w.shaped = want;
                w.shape = want ? *v.window_region : Region();
            }
            if (v.alpha != w.opacity) {
                SDL_SetWindowOpacity(w.window, float(v.alpha) / 255.0f);
                w.opacity = v.alpha;
            }
            return;
        }
    }

    // The desktop's keyboard belongs to the window the window system made active. A window
    // manager hands it over when asked; without one SDL gives it to every window it maps,
    // popups included, and an unmapped window leaves it nowhere, so it is put back here.
    // Our own record of what is on screen: SDL marks a window shown only once its event queue
    // has caught up with the mapping.
    void KeepKeyboard() {
        Win* w = Find(keyboard_);
        if (!w || !w->visible || w->minimized) return;
        if (sdl::X11HasWindowManager(w->window)) {
            if (!(SDL_GetWindowFlags(w->window) & SDL_WINDOW_INPUT_FOCUS)) SDL_RaiseWindow(w->window);
        } else {
            SDL_SetWindowInputFocus(w->window);
        }
    }

    // Before a window leaves the screen: the keyboard moves to the active window first, as an
    // unmapped window that holds it leaves it nowhere and keys typed meanwhile would be lost.
    void HandKeyboardOver(HWND leaving) {
        if (leaving != keyboard_) KeepKeyboard();
    }

    void Redraw(Win& w) {
        if (!w.renderer) return;
        SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
        SDL_RenderClear(w.renderer);
        if (w.texture) {
            SDL_Rect dst{0, 0, w.tex_w, w.tex_h};
            SDL_RenderCopy(w.renderer, w.texture, nullptr, &dst);
        }
        SDL_RenderPresent(w.renderer);
    }

    HWND HwndOf(Uint32 window_id) {
        auto it = by_id_.find(window_id);
        return it == by_id_.end() ? nullptr : it->second;
    }

    POINT ToScreen(Uint32 window_id, int x, int y) {
        if (Win* w = Find(HwndOf(window_id))) return POINT{w->shown.left + x, w->shown.top + y};
        return POINT{x, y};
    }

    // Where on the screen the X server said the pointer event just before happened, once: the
    // event SDL makes of it says where in the window, and the window may have moved since the
    // server sent it (the next step of a caption drag, sent while the last one was being moved).
    bool TakeServerPointer(POINT* p) {
        const bool had = pointer_root_valid_;
        if (had) *p = pointer_root_;
        pointer_root_valid_ = false;
        return had;
    }

    void Handle(const SDL_Event& e) {
        if (HandleStub(e)) return;
        switch (e.type) {
        case SDL_SYSWMEVENT:
            pointer_root_valid_ = sdl::X11PointerEventRoot(e.syswm.msg, &pointer_root_.x, &pointer_root_.y);
            break;
        case SDL_MOUSEMOTION:
            if (!TakeServerPointer(&last_mouse_)) last_mouse_ = ToScreen(e.motion.windowID, e.motion.x, e.motion.y);
            last_motion_ = Motion{e.motion.windowID, e.motion.x, e.motion.y};
            port_.Deliver(InputEvent::Move(last_mouse_));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            input::Button b;
            if (e.button.button == SDL_BUTTON_LEFT)
                b = input::Button::Left;
            else if (e.button.button == SDL_BUTTON_RIGHT)
                b = input::Button::Right;
            else if (e.button.button == SDL_BUTTON_MIDDLE)
                b = input::Button::Middle;
            else
                break;
            // SDL gives a button the position of the last motion, relative to where the window
            // was then: a window moved since (dragged by its caption) would put the button off
            // by that move. The pointer has not moved since that motion, so it is where it was.
            const Motion at{e.button.windowID, e.button.x, e.button.y};
            if (!TakeServerPointer(&last_mouse_) && !(at == last_motion_))
                last_mouse_ = ToScreen(e.button.windowID, e.button.x, e.button.y);
            port_.Deliver(InputEvent::Button(b, e.type == SDL_MOUSEBUTTONDOWN, last_mouse_));
            break;
        }
        case SDL_MOUSEWHEEL: {
            int y = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
            if (y) port_.Deliver(InputEvent::Wheel(y * 120, last_mouse_));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (UINT vk = sdl::VirtualKeyFromSdl(e.key.keysym.sym))
                port_.Deliver(InputEvent::KeyEvent(vk, e.type == SDL_KEYDOWN));
            break;
        case SDL_TEXTINPUT:
            for (uint32_t cp : Utf8ToCodepoints(e.text.text)) port_.Deliver(InputEvent::CharEvent(cp));
            break;
        case SDL_WINDOWEVENT: {
            HWND h = HwndOf(e.window.windowID);
            if (!h) break;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: port_.Deliver(InputEvent::Close(h)); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                if (Win* w = Find(h); w && !w->popup) port_.Deliver(InputEvent::Activate(h));
                break;
            case SDL_WINDOWEVENT_LEAVE: {
                // The pointer went out to the desktop: the window system sees it move there, so
                // hover effects and mouse-leave tracking end as they would on the real screen.
                // (While a button is held SDL keeps reporting moves itself.)
                int gx, gy;
                if (SDL_GetGlobalMouseState(&gx, &gy) != 0) break;
                Win* w = Find(h);
                POINT p{gx, gy};
                if (w && Inside(w->shown, p)) break;
                last_mouse_ = p;
                last_motion_ = Motion{};
                port_.Deliver(InputEvent::Move(p));
                break;
            }
            case SDL_WINDOWEVENT_MINIMIZED:
            case SDL_WINDOWEVENT_RESTORED: {
                // The desktop's own minimising and restoring (its task bar) reach the window as
                // requests; the window system's own come back here with nothing left to do.
                const bool down = e.window.event == SDL_WINDOWEVENT_MINIMIZED;
                if (Win* w = Find(h); w && !w->popup && w->minimized != down)
                    port_.Deliver(InputEvent::Minimize(h, down));
                break;
            }
            case SDL_WINDOWEVENT_MOVED: OnDesktopMove(h, e.window.data1, e.window.data2); break;
            case SDL_WINDOWEVENT_EXPOSED:
                if (Win* w = Find(h)) Redraw(*w);
                break;
            default: break;
            }
            break;
        }
        case SDL_DISPLAYEVENT: {
            // A display came, went or turned: read the layout again.
            std::vector<MonitorArea> now = ReadDisplays();
            std::lock_guard<std::mutex> g(displays_mu_);
            displays_ = std::move(now);
            break;
        }
        default:
            if (e.type == wake_event_) TakeWake();
            break;  // the wake-up event and the rest carry nothing for the window system
        }
    }

    // The next event, waiting at most `timeout_ms` (-1: no limit); `woken` is set when a Wake
    // ended the wait. On X11 the wait is ours, on the X connection and the wake pipe: SDL's
    // own wait would have other threads wake it through a second X connection, whose loss
    // would then be found on whichever thread posted a message.
    int NextEvent(SDL_Event* e, int timeout_ms, bool* woken) {
        if (!x11_wait_) {
            if (timeout_ms == 0) return SDL_PollEvent(e);
            return timeout_ms < 0 ? SDL_WaitEvent(e) : SDL_WaitEventTimeout(e, timeout_ms);
        }
        const Uint64 start = SDL_GetTicks64();
        for (;;) {
            if (SDL_PollEvent(e)) return 1;
            if (lost_ || timeout_ms == 0) return 0;
            int left = -1;
            if (timeout_ms > 0) {
                const Uint64 spent = SDL_GetTicks64() - start;
                if (spent >= Uint64(timeout_ms)) return 0;
                left = int(Uint64(timeout_ms) - spent);
            }
            if (!sdl::WaitForX11Events(wake_pipe_[0], left) && !lost_) continue;  // the loop sees the time is up
            if (TakeWake()) {
                *woken = true;
                return lost_ ? 0 : SDL_PollEvent(e);
            }
        }
    }

    // Once the display is gone: waits for a wake or the timeout, and hands on injected input.
    bool WaitWithoutDisplay(int timeout_ms) {
        bool any = DispatchQueuedInput() > 0;
        if (!any) {
            pollfd p{wake_pipe_[0], POLLIN, 0};
            poll(&p, 1, timeout_ms);
        }
        any = TakeWake() || any;
        return DispatchQueuedInput() > 0 || any;
    }

    // Ends a pending wake-up; whether there was one.
    bool TakeWake() {
        const bool was = wake_pending_.exchange(false);
        char buf[64];
        while (wake_pipe_[0] >= 0 && read(wake_pipe_[0], buf, sizeof buf) > 0) {
        }
        return was;
    }

    // The X server is gone (called on the thread whose request found it, the display thread):
    // no SDL video call may follow, and the window system ends the session.
    static void OnDisplayLost() {
        SdlBackend* b = g_backend;
        if (!b) return;
        b->lost_ = true;
        b->port_.DisplayLost();
    }

    void ReapSounds() {
        std::lock_guard<std::mutex> g(sound_mu_);
        for (size_t i = 0; i < sounds_.size();) {
            if (SDL_GetQueuedAudioSize(sounds_[i]) == 0) {
                SDL_CloseAudioDevice(sounds_[i]);
                sounds_.erase(sounds_.begin() + long(i));
            } else {
                ++i;
            }
        }
    }

    WindowSystemPort& port_;
    Uint32 wake_event_;
    std::atomic<bool> wake_pending_{false};
    int wake_pipe_[2] = {-1, -1};
    std::atomic<bool> x11_wait_{false};  // the display thread waits on the X connection itself
    std::atomic<bool> lost_{false};      // the display went away, or the backend ended
    std::mutex push_mu_;                 // SDL's event queue is not quit under a push
    mutable std::mutex displays_mu_;
    std::vector<MonitorArea> displays_;
    int listener_ = 0;
    std::map<HWND, Win> wins_;
    std::map<Uint32, HWND> by_id_;
    std::map<Uint32, HWND> stubs_;  // the stubs of windows minimised without a window manager
    HWND keyboard_ = nullptr;  // the active window, which keys typed on the desktop are for
    std::map<int, SDL_Cursor*> cursors_;
    POINT last_mouse_{0, 0};
    POINT pointer_root_{0, 0};  // from the X server's event before SDL's, while valid
    bool pointer_root_valid_ = false;
    // The last motion as SDL reported it (window-relative) that last_mouse_ was taken from.
    struct Motion {
        Uint32 window = 0;
        int x = 0, y = 0;
        bool operator==(const Motion& o) const { return window == o.window && x == o.x && y == o.y; }
    };
    Motion last_motion_{};
    std::mutex tasks_mu_;
    std::vector<std::function<void()>> tasks_;
    std::vector<InputEvent> injected_;
    std::mutex sound_mu_;
    bool audio_ready_ = false;
    bool ended_ = false;  // SDL was quit: no sound starts it again
    std::vector<SDL_AudioDeviceID> sounds_;
};

}  // namespace

}  // namespace plat

#if defined(__SANITIZE_ADDRESS__)
// SDL's D-Bus session (screensaver and input-method services) keeps a buffer inside libdbus
// that it never frees; the leak checker would fail every program that opens a display.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
#endif

namespace plat {

std::unique_ptr<Backend> CreateSdlBackend(WindowSystemPort& port) {
    // SIGTERM and SIGINT belong to the window system, which ends the session on them; SDL
    // would turn them into a quit event that no one reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The click that activates a window is also a click on what lies under the pointer; SDL
    // would drop a press that comes with the window's focus.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return nullptr;
    // The X server's own events come too: they say where on the screen the pointer was.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    if (SDL_GetNumVideoDisplays() < 1) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    Uint32 wake = SDL_RegisterEvents(1);
    if (wake == Uint32(-1)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    // SDL blocks the screensaver by default; a desktop program has no business doing so.
    SDL_EnableScreenSaver();
    sdl::SurviveX11Errors();
    // The program's backend is never destroyed (windows may still be torn down while the process
    // exits): it ends at exit. Exit handlers run in the reverse order of their registration, so
    // this one runs before those registered when the process started (the leak checker's).
    static const bool ends_at_exit = [] {
        std::atexit([] {
            if (g_backend) g_backend->End();
        });
        return true;
    }();
    (void)ends_at_exit;
    return std::make_unique<SdlBackend>(port, wake);
}

}  // namespace plat
