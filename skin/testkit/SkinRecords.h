// The drawing records of skin objects, listed with a readable path each, so that tests can fill,
// empty or look up every image part and nine-grid of an object without knowing its type.
#pragma once

#include <string>
#include <vector>

#include "SkinObject.h"

namespace skinkit {

// One image record of an object: exactly one of `part` and `grid` is set. The path names the
// object (children after a '/', as in "Dialog/Close") and the field, for example
// "Button.states[0].grid" or "Dialog.parts[4]".
struct ImageRecord {
    std::string path;
    SkinImagePart* part = nullptr;
    SkinNineGrid* grid = nullptr;
};

// Every image part and nine-grid of the object, then of each child in name order.
std::vector<ImageRecord> ListImageRecords(CSkinObject& object);

}  // namespace skinkit
