// A contact sheet of the skin for people to look at: one row per skinned window or control
// type, its states side by side, each drawn from the skin's records with the engine's own
// drawing calls (nine-grids, image parts, text styles), as the skinners cut and stretch them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "RasterImage.h"
#include "SkinFile.h"

namespace skinbuild {

// One sample on the sheet: a type in one of its states.
struct PreviewCell {
    int type;           // the skin object type shown
    std::string state;  // the caption under it
    RECT rc;            // where it lies on the sheet, its background included
};

struct PreviewSheet {
    CRasterImage image;  // 24 bits; rows bottom-up like every picture of the image class
    std::vector<PreviewCell> cells;
    COLORREF sheetColor = 0;  // between the cells
    COLORREF cellColor = 0;   // under each sample, as a dialog's body lies under its controls
};

// Draws the sheet; false when the drawing surface cannot be made.
bool RenderPreview(CSkinFile& skin, PreviewSheet& sheet);
// Draws the sheet and writes it as a PNG file; false with a reason in *error when it cannot.
bool WritePreview(CSkinFile& skin, const char* path, std::string* error);

}  // namespace skinbuild
