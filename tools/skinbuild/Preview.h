// A contact sheet of the skin for people to look at: a mock dialog assembled from the skin's
// objects the way the skinners cut and stretch them, and every picture of the skin enlarged.
#pragma once

#include <string>

#include "SkinFile.h"

namespace skinbuild {

// Writes the sheet as a PNG file; false with a reason in *error when it cannot.
bool WritePreview(CSkinFile& skin, const char* path, std::string* error);

}  // namespace skinbuild
