// A table block of the markup as rows of cells, each cell a list of inline pieces and nested
// table blocks, with its place on the grid.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MarkupTablePiece {
    bool table = false;  // a nested table block, else inline markup
    std::string text;
};

struct MarkupTableCellBlock {
    std::string attrs;
    std::vector<MarkupTablePiece> pieces;
    bool placed = false;  // false: it fell outside the largest grid and is not drawn
    int row = 0, col = 0;
    int rowSpan = 1, colSpan = 1;
};

struct MarkupTableRowBlock {
    std::string attrs;
    std::vector<MarkupTableCellBlock> cells;
};

struct MarkupTableBlock {
    std::string attrs;
    std::vector<MarkupTableRowBlock> rows;
    int columns = 0;  // after placing
};

// Rows and cells of a block that starts with "<table"; searches never leave the block.
MarkupTableBlock ParseMarkupTable(const std::string& block);
// Places the cells on the grid (spans cut to it); the same in measuring and painting.
void PlaceMarkupTableCells(MarkupTableBlock& table, HDC hdc);
