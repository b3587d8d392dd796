// A skin for skinner tests in which every image record is a picture of its own in a colour of
// its own (a nine-grid: one colour per cell), so that any pixel a skinner paints tells which
// record, and which cell of it, painted it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SkinFile.h"
#include "SkinObject.h"

namespace skinkit {

// What a colour of a flat skin stands for.
struct FlatRecord {
    std::string path;       // the record's path (SkinRecords.h)
    int cell = -1;          // nine-grid cell 0..8, row by row; -1 for an image part
    RECT margins = {};      // the nine-grid's margins (left, top, right, bottom)
    std::string Describe() const;  // "Button.states[0].grid cell 4"
};

class CFlatSkin {
public:
    struct Options {
        // Records whose path starts with one of these are left empty (for the fall-backs).
        std::vector<std::string> leaveEmpty;
        // Picture sizes of records that come without a source rectangle; nine-grids get
        // margins of a third of the size.
        SIZE partSize = {16, 16};
        SIZE gridSize = {30, 30};
    };

    // Takes the objects. A record that already has a source rectangle keeps its size, margins
    // and mode; one without gets the default size and stretches.
    explicit CFlatSkin(std::vector<std::unique_ptr<CSkinObject>> objects);
    CFlatSkin(std::vector<std::unique_ptr<CSkinObject>> objects, const Options& options);

    // A new copy of the skin, as the skin file reader makes it.
    std::unique_ptr<CSkinFile> MakeFile() const;
    bool SaveToFile(const char* path) const;
    // Makes a new copy the skin manager's current skin.
    void Apply() const;

    // The record a colour stands for; null when no record has it.
    const FlatRecord* Find(COLORREF color) const;
    // Find's answer as text, or "no record (#rrggbb)".
    std::string Describe(COLORREF color) const;
    // The colour of a record (of a nine-grid's cell); CLR_INVALID for a record the skin lacks.
    COLORREF ColorOf(const std::string& path, int cell = -1) const;
    // The record of a path (cell 0 for a nine-grid); null when the skin lacks it.
    const FlatRecord* FindRecord(const std::string& path) const;
    size_t ColorCount() const { return m_byColor.size(); }

private:
    void Build(std::vector<std::unique_ptr<CSkinObject>> objects, const Options& options);

    std::vector<BYTE> m_body;  // the saved skin, unpacked
    std::map<COLORREF, FlatRecord> m_byColor;
    std::map<std::pair<std::string, int>, COLORREF> m_byRecord;
};

}  // namespace skinkit
