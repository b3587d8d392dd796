// Counts of live drawing objects and device contexts, for the tests' leak checks.
#include "gdi/dc.h"

namespace plat::gdi {
namespace {

template <typename T>
size_t CountUnshared(const HandleTable<T>& t) {
    size_t n = 0;
    t.ForEach([&](const std::shared_ptr<T>& o) { n += o->stock ? 0 : 1; });
    return n;
}

}  // namespace

size_t LiveObjectCount(HandleKind kind) {
    switch (kind) {
        case HandleKind::Bitmap: return CountUnshared(Bitmaps());
        case HandleKind::Brush: return CountUnshared(Brushes());
        case HandleKind::Pen: return CountUnshared(Pens());
        case HandleKind::Font: return CountUnshared(Fonts());
        case HandleKind::Region: return CountUnshared(Regions());
        case HandleKind::Palette: return CountUnshared(Palettes());
        case HandleKind::DC: return DCs().Count();
        default: return 0;
    }
}

}  // namespace plat::gdi
