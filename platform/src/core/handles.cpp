// The platform layer's one lock over the window tree and the handle tables.
#include "handles.h"

namespace plat {

std::recursive_mutex& GlobalLock() {
    // Function-local so that it exists before any static initialiser of the program calls in.
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace plat
