// Icons and cursors: a monochrome AND mask and an optional colour image.
#pragma once

#include "gdi/objects.h"

namespace plat::gdi {

struct IconObj {
    bool isIcon = true;
    POINT hotspot{0, 0};
    int width = 0, height = 0;
    std::shared_ptr<Bitmap> mask;   // 1 bpp; twice the height when there is no colour image
    std::shared_ptr<Bitmap> color;  // 32 bpp or null
    bool alpha = false;             // the colour image carries per-pixel alpha
    bool shared = false;            // the system's or a loader's shared icon: DestroyIcon keeps it
};

HandleTable<IconObj>& Icons();
// Copies a bitmap's pixels into a new bitmap of the same depth class (1 or 32 bpp).
std::shared_ptr<Bitmap> CloneBitmap(const Bitmap& b);
// Marks an icon as shared: it lives as long as the layer, whatever its users do with it.
void MarkIconShared(HICON icon);

}  // namespace plat::gdi
