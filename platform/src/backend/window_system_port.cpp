#include "backend/window_system_port.h"

#include <atomic>

namespace plat {

InputEvent InputEvent::Move(POINT p) {
    InputEvent e;
    e.kind = Kind::MouseMove;
    e.pt = p;
    return e;
}
InputEvent InputEvent::Button(input::Button b, bool down, POINT p) {
    InputEvent e;
    e.kind = Kind::MouseButton;
    e.button = b;
    e.down = down;
    e.pt = p;
    return e;
}
InputEvent InputEvent::Wheel(int delta, POINT p) {
    InputEvent e;
    e.kind = Kind::MouseWheel;
    e.delta = delta;
    e.pt = p;
    return e;
}
InputEvent InputEvent::KeyEvent(UINT vk, bool down) {
    InputEvent e;
    e.kind = Kind::Key;
    e.vk = vk;
    e.down = down;
    return e;
}
InputEvent InputEvent::CharEvent(uint32_t cp) {
    InputEvent e;
    e.kind = Kind::Char;
    e.codepoint = cp;
    return e;
}
InputEvent InputEvent::Close(HWND top) {
    InputEvent e;
    e.kind = Kind::CloseRequest;
    e.hwnd = top;
    return e;
}
InputEvent InputEvent::Minimize(HWND top, bool minimize) {
    InputEvent e;
    e.kind = Kind::MinimizeRequest;
    e.hwnd = top;
    e.down = minimize;
    return e;
}

InputEvent InputEvent::Moved(HWND top, POINT p) {
    InputEvent e;
    e.kind = Kind::MovedByDesktop;
    e.hwnd = top;
    e.pt = p;
    return e;
}

InputEvent InputEvent::Activate(HWND top) {
    InputEvent e;
    e.kind = Kind::Activate;
    e.hwnd = top;
    return e;
}

namespace {

std::atomic<WindowSystemPort*> g_port{nullptr};

class ForwardingPort : public WindowSystemPort {
public:
    std::vector<TopLevelView> TopLevels() override {
        WindowSystemPort* p = g_port.load();
        return p ? p->TopLevels() : std::vector<TopLevelView>{};
    }
    void Deliver(const InputEvent& e) override {
        if (WindowSystemPort* p = g_port.load()) p->Deliver(e);
    }
    void DisplayLost() override {
        if (WindowSystemPort* p = g_port.load()) p->DisplayLost();
    }
};

}  // namespace

void SetWindowSystemPort(WindowSystemPort* port) { g_port.store(port); }

WindowSystemPort& DefaultWindowSystemPort() {
    static ForwardingPort port;
    return port;
}

std::vector<uint32_t> Utf8ToCodepoints(const char* s) {
    std::vector<uint32_t> out;
    if (!s) return out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        uint32_t c = *p;
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0) {
            ++p;
            continue;
        }
        static const uint32_t kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
        static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        c &= kLeadMask[extra];
        int i = 1;
        for (; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) break;
            c = (c << 6) | (p[i] & 0x3F);
        }
        p += i;  // a broken sequence resumes at the byte that broke it
        if (i <= extra) continue;
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) continue;
        out.push_back(c);
    }
    return out;
}

}  // namespace plat
