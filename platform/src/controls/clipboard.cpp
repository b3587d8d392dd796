// The clipboard's text, shared by every window of the process.
#include <mutex>

#include "controls/common.h"

namespace plat::controls {
namespace {

std::mutex& Lock() {
    static std::mutex m;
    return m;
}
std::string& Text() {
    static auto* s = new std::string;
    return *s;
}
bool& Has() {
    static bool b = false;
    return b;
}

}  // namespace

bool ClipboardSetText(HWND, const std::string& text) {
    std::lock_guard<std::mutex> g(Lock());
    Text() = text;
    Has() = true;
    return true;
}

bool ClipboardGetText(std::string* text) {
    std::lock_guard<std::mutex> g(Lock());
    if (!Has()) return false;
    *text = Text();
    return true;
}

}  // namespace plat::controls
