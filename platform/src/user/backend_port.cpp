// The window system's port for the backends.
#include "user/backend_port.h"
#include "user/window.h"

namespace plat::user {

namespace {

class Port : public WindowSystemPort {
public:
    std::vector<TopLevelView> TopLevels() override { return TopLevelsInZOrder(); }
    void Deliver(const InputEvent& e) override {
        using K = InputEvent::Kind;
        switch (e.kind) {
        case K::MouseMove:
            input::MouseMove(e.pt);
            break;
        case K::MouseButton:
            input::MouseButton(e.button, e.down, e.pt);
            break;
        case K::MouseWheel:
            input::MouseWheel(e.delta, e.pt);
            break;
        case K::Key:
            input::Key(e.vk, e.down);
            break;
        case K::Char:
            input::Char(e.codepoint);
            break;
        case K::CloseRequest:
            input::CloseRequest(e.hwnd);
            break;
        case K::Activate:
            input::Activate(e.hwnd);
            break;
        case K::MinimizeRequest:
            input::MinimizeRequest(e.hwnd, e.down);
            break;
        case K::MovedByDesktop:
            input::MovedByDesktop(e.hwnd, e.pt);
            break;
        }
    }
    void DisplayLost() override { EndSessionForLostDisplay(); }
};

}  // namespace

WindowSystemPort& BackendPort() {
    static Port port;
    return port;
}

}  // namespace plat::user
